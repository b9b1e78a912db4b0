// Settings file, configuration values, page addresses, language texts and the
// code-to-text routines (no database).
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/GridResources.h"
#include "foundation/IniFile.h"
#include "foundation/LinkGeometry.h"
#include "core/siLang.h"
#include "core/untCodeToText.h"
#include "core/untDM.h"
#include "core/untLogin.h"
#include "core/untStartup.h"

namespace {

QString readAll(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

void writeAll(const QString &file, const QByteArray &data)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// The joined language file of the build (beside the test programs).
QString languageFile()
{
    return QCoreApplication::applicationDirPath() + "/res/signal-console.sil";
}

// A field of the data module by name, as text.
QString field(TDM &dm, const QString &name)
{
    const TDBInfo &db = dm.DBInfo();
    const QHash<QString, std::function<QString()>> f = {
        {"G_SERVER_BIGENDIAN", [&] { return QString::number(dm.G_SERVER_BIGENDIAN); }},
        {"G_HOST", [&] { return dm.G_HOST; }},
        {"G_RC_CTRL_PORT", [&] { return QString::number(dm.G_RC_CTRL_PORT); }},
        {"G_RC_MNTR_PORT", [&] { return QString::number(dm.G_RC_MNTR_PORT); }},
        {"G_RC_MNTR_PERIOD", [&] { return QString::number(dm.G_RC_MNTR_PERIOD); }},
        {"G_RC_MNTR_RETRYPERIOD", [&] { return QString::number(dm.G_RC_MNTR_RETRYPERIOD); }},
        {"G_DB_CONNECTION_TIMEOUT", [&] { return QString::number(dm.G_DB_CONNECTION_TIMEOUT); }},
        {"G_CONNECTION_TIMEOUT", [&] { return QString::number(dm.G_CONNECTION_TIMEOUT); }},
        {"G_READ_TIMEOUT", [&] { return QString::number(dm.G_READ_TIMEOUT); }},
        {"G_ORA_FUNC", [&] { return QString::number(dm.G_ORA_FUNC); }},
        {"G_NODE_VISIBLE", [&] { return QString::number(dm.G_NODE_VISIBLE); }},
        {"G_MVMT_VISIBLE", [&] { return QString::number(dm.G_MVMT_VISIBLE); }},
        {"G_THEME_NAME", [&] { return dm.G_THEME_NAME; }},
        {"G_LC_MNTR_OPTION", [&] { return QString::number(int(dm.G_LC_MNTR_OPTION)); }},
        {"G_ADMIN_MODE", [&] { return QString::number(dm.G_ADMIN_MODE); }},
        {"G_MAP_BOUNDS.FSouth", [&] { return dm.G_MAP_BOUNDS.FSouth.str(); }},
        {"G_MAP_BOUNDS.IsEmpty", [&] { return QString::number(dm.G_MAP_BOUNDS.IsEmpty()); }},
        {"G_NODE_MAXZOOM_OFFSET", [&] { return QString::number(dm.G_NODE_MAXZOOM_OFFSET); }},
        {"G_LC_MAXZOOM_OFFSET", [&] { return QString::number(dm.G_LC_MAXZOOM_OFFSET); }},
        {"G_SA_MAXZOOM_OFFSET", [&] { return QString::number(dm.G_SA_MAXZOOM_OFFSET); }},
        {"G_MVMT_MAXZOOM_OFFSET", [&] { return QString::number(dm.G_MVMT_MAXZOOM_OFFSET); }},
        {"G_MARKER_MAXZOOM_OFFSET", [&] { return QString::number(dm.G_MARKER_MAXZOOM_OFFSET); }},
        {"G_L10N_SIL_FILE", [&] { return dm.G_L10N_SIL_FILE; }},
        {"G_L10N_LANGUAGE", [&] { return dm.G_L10N_LANGUAGE; }},
        {"G_TILE_URL", [&] { return dm.G_TILE_URL; }},
        {"G_MAP_NAME", [&] { return dm.G_MAP_NAME; }},
        {"G_MAP_MAX_ZOOM", [&] { return QString::number(dm.G_MAP_MAX_ZOOM); }},
        {"G_APP_CTRL_PORT", [&] { return QString::number(dm.G_APP_CTRL_PORT); }},
        {"G_GEOMETRY_FUNC", [&] { return QString::number(dm.G_GEOMETRY_FUNC); }},
        {"G_EXCEL_PATH", [&] { return dm.G_EXCEL_PATH; }},
        {"G_NODE_EDITOR_URL.file", [&] { return QUrl(dm.G_NODE_EDITOR_URL).fileName(); }},
        {"G_TFDT_EDITOR_URL.file", [&] { return QUrl(dm.G_TFDT_EDITOR_URL).fileName(); }},
        {"G_LINK_EDITOR_URL.file", [&] { return QUrl(dm.G_LINK_EDITOR_URL).fileName(); }},
        {"FDB.DBType", [&] { return QString::number(int(db.DBType)); }},
        {"FDB.Server", [&] { return db.Server.str(); }},
        {"FDB.Port", [&] { return db.Port.str(); }},
        {"FDB.SID", [&] { return db.SID.str(); }},
        {"FDB.IsServiceName", [&] { return QString::number(db.IsServiceName); }},
        {"FDB.UserID", [&] { return db.UserID.str(); }},
        {"FDB.UserPW", [&] { return db.UserPW.str(); }},
    };
    if (!f.contains(name)) {
        qWarning("unknown field %s", qPrintable(name));
        return QStringLiteral("<unknown field>");
    }
    return f.value(name)();
}

} // namespace

class TestStartupConfig : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(languageFile()), qPrintable(languageFile()));
    }

    // --- the settings file ------------------------------------------------------

    void iniReads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // ReadString with default "<def>"
        QTest::addColumn<int>("expectedInt");  // ReadInteger with default -99

        QTest::newRow("odd case") << QByteArray("[Com-Env]\nRc_Ctrl_Port=12345\n") << "COM-ENV" << "RC_CTRL_PORT" << "12345" << 12345;
        QTest::newRow("blanks around") << QByteArray("[A]\n  K  =  v 1  \n") << "a" << "k" << "v 1" << -99;
        QTest::newRow("raw quotes and =") << QByteArray("[A]\nK=\"x=y\"\n") << "A" << "K" << "\"x=y\"" << -99;
        QTest::newRow("first of duplicates") << QByteArray("[A]\nK=1\nK=2\n") << "A" << "K" << "1" << 1;
        QTest::newRow("duplicate section") << QByteArray("[A]\nX=1\n[B]\n[a]\nK=7\n") << "A" << "K" << "7" << 7;
        QTest::newRow("key before any section") << QByteArray("K=1\n[A]\n") << "A" << "K" << "<def>" << -99;
        QTest::newRow("comment line") << QByteArray("[A]\n;K=1\n") << "A" << "K" << "<def>" << -99;
        QTest::newRow("empty value") << QByteArray("[A]\nK=\n") << "A" << "K" << "" << -99;
        QTest::newRow("other section") << QByteArray("[A]\n[B]\nK=3\n") << "A" << "K" << "<def>" << -99;
        QTest::newRow("negative") << QByteArray("[A]\nK=-5\n") << "A" << "K" << "-5" << -5;
        QTest::newRow("hex") << QByteArray("[A]\nK=0x10\n") << "A" << "K" << "0x10" << 16;
        QTest::newRow("trailing letters") << QByteArray("[A]\nK=12abc\n") << "A" << "K" << "12abc" << -99;
        QTest::newRow("decimal point") << QByteArray("[A]\nK=1.5\n") << "A" << "K" << "1.5" << -99;
        QTest::newRow("too big") << QByteArray("[A]\nK=99999999999\n") << "A" << "K" << "99999999999" << -99;
        QTest::newRow("CRLF and BOM") << QByteArray("\xEF\xBB\xBF[A]\r\nK=4\r\n") << "A" << "K" << "4" << 4;
        QTest::newRow("UTF-8 value") << QByteArray("[A]\nK=교차로\n") << "A" << "K" << "교차로" << -99;
    }
    void iniReads()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QFETCH(int, expectedInt);
        QTemporaryDir dir;
        const QString file = dir.filePath("t.ini");
        writeAll(file, text);
        TIniFile ini(file);
        QCOMPARE(ini.ReadString(section, key, "<def>"), expected);
        QCOMPARE(ini.ReadInteger(section, key, -99), expectedInt);
    }

    void iniWriteKeepsOtherLines()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.ini");
        writeAll(file, "; operator's notes\r\n[COM-ENV]\r\nRC_IP = 10.0.0.1 ; centre\r\nrc_ctrl_port=1\r\n\r\n[MAP]\r\nZOOM=18\r\n");
        TIniFile ini(file);
        QVERIFY(ini.WriteInteger("com-env", "RC_CTRL_PORT", 12000)); // existing key, odd case
        QVERIFY(ini.WriteString("COM-ENV", "THEME_NAME", "Fusion"));  // new key in a section
        QVERIFY(ini.WriteString("L10N", "LANGUAGE", "Korean"));       // new section
        QCOMPARE(readAll(file),
                 QString("; operator's notes\r\n[COM-ENV]\r\nRC_IP = 10.0.0.1 ; centre\r\nrc_ctrl_port=12000\r\n"
                         "THEME_NAME=Fusion\r\n\r\n[MAP]\r\nZOOM=18\r\n\r\n[L10N]\r\nLANGUAGE=Korean\r\n"));
        QCOMPARE(ini.ReadString("COM-ENV", "RC_IP", ""), QString("10.0.0.1 ; centre"));
        QVERIFY(ini.DeleteKey("MAP", "zoom"));
        QVERIFY(!ini.ValueExists("MAP", "ZOOM"));
        QVERIFY(ini.SectionExists("map"));
        QCOMPARE(ini.ReadSection("com-env"), QStringList({"RC_IP", "rc_ctrl_port", "THEME_NAME"}));
    }

    void iniMissingFile()
    {
        QTemporaryDir dir;
        TIniFile ini(dir.filePath("none.ini"));
        QCOMPARE(ini.ReadInteger("A", "K", 7), 7);
        QCOMPARE(ini.ReadBool("A", "K", true), true);
        QVERIFY(ini.WriteBool("A", "K", false));
        QCOMPARE(readAll(dir.filePath("none.ini")), QString("[A]\nK=0\n"));
    }

    // --- configuration read at start -----------------------------------------

    void loadConfig_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");

        const QByteArray none;
        QTest::newRow("default ctrl port") << none << "G_RC_CTRL_PORT" << "12000";
        QTest::newRow("default mntr port") << none << "G_RC_MNTR_PORT" << "12000";
        QTest::newRow("default period ms") << none << "G_RC_MNTR_PERIOD" << "1000";
        QTest::newRow("default retry ms") << none << "G_RC_MNTR_RETRYPERIOD" << "10000";
        QTest::newRow("default db timeout ms") << none << "G_DB_CONNECTION_TIMEOUT" << "3000";
        QTest::newRow("fixed connect timeout") << none << "G_CONNECTION_TIMEOUT" << "3000";
        QTest::newRow("fixed read timeout") << none << "G_READ_TIMEOUT" << "5000";
        QTest::newRow("default big endian") << none << "G_SERVER_BIGENDIAN" << "0";
        QTest::newRow("default host") << none << "G_HOST" << "";
        QTest::newRow("default db type") << none << "FDB.DBType" << "0";
        QTest::newRow("default oracle dialect") << none << "G_ORA_FUNC" << "1";
        QTest::newRow("default oracle server") << none << "FDB.Server" << "127.0.0.1";
        QTest::newRow("default oracle port") << none << "FDB.Port" << "1521";
        QTest::newRow("no SID: service ITS") << none << "FDB.SID" << "ITS";
        QTest::newRow("no SID: service flag") << none << "FDB.IsServiceName" << "1";
        QTest::newRow("default oracle user") << none << "FDB.UserID" << "SCS";
        QTest::newRow("default oracle pw") << none << "FDB.UserPW" << "QVX";
        QTest::newRow("default layers") << none << "G_NODE_VISIBLE" << "1";
        QTest::newRow("default theme") << none << "G_THEME_NAME" << "Windows";
        QTest::newRow("default monitors") << none << "G_LC_MNTR_OPTION" << "1";
        QTest::newRow("default admin") << none << "G_ADMIN_MODE" << "0";
        QTest::newRow("default bounds empty") << none << "G_MAP_BOUNDS.IsEmpty" << "1";
        QTest::newRow("default node offset") << none << "G_NODE_MAXZOOM_OFFSET" << "4";
        QTest::newRow("default lc offset") << none << "G_LC_MAXZOOM_OFFSET" << "5";
        QTest::newRow("default sa offset") << none << "G_SA_MAXZOOM_OFFSET" << "5";
        QTest::newRow("default marker offset") << none << "G_MARKER_MAXZOOM_OFFSET" << "4";
        QTest::newRow("default sil") << none << "G_L10N_SIL_FILE" << "signal-console.sil";
        QTest::newRow("default language") << none << "G_L10N_LANGUAGE" << "Korean";
        QTest::newRow("default tiles") << none << "G_TILE_URL" << "../tiles/{z}/{x}/{y}.png";
        QTest::newRow("default map") << none << "G_MAP_NAME" << "OSM";
        QTest::newRow("default max zoom") << none << "G_MAP_MAX_ZOOM" << "19";
        QTest::newRow("default app port") << none << "G_APP_CTRL_PORT" << "12022";
        QTest::newRow("default geometry") << none << "G_GEOMETRY_FUNC" << "1";
        QTest::newRow("no spreadsheet path") << none << "G_EXCEL_PATH" << "";
        QTest::newRow("korean node editor") << none << "G_NODE_EDITOR_URL.file" << "node_editor.html";

        QTest::newRow("period 2 s") << QByteArray("[COM-ENV]\nRC_MNTR_PERIOD=2\n") << "G_RC_MNTR_PERIOD" << "2000";
        QTest::newRow("odd case keys") << QByteArray("[com-env]\nrc_mntr_retryperiod=3\n") << "G_RC_MNTR_RETRYPERIOD" << "3000";
        QTest::newRow("db timeout 7 s") << QByteArray("[COM-ENV]\nDB_CONNECTION_TIMEOUT=7\n") << "G_DB_CONNECTION_TIMEOUT" << "7000";
        QTest::newRow("bad port number") << QByteArray("[COM-ENV]\nRC_CTRL_PORT=abc\n") << "G_RC_CTRL_PORT" << "12000";
        QTest::newRow("fractional period") << QByteArray("[COM-ENV]\nRC_MNTR_PERIOD=1.5\n") << "G_RC_MNTR_PERIOD" << "1000";
        QTest::newRow("admin 1") << QByteArray("[COM-ENV]\nADMIN_MODE=1\n") << "G_ADMIN_MODE" << "1";
        QTest::newRow("admin 2 is off") << QByteArray("[COM-ENV]\nADMIN_MODE=2\n") << "G_ADMIN_MODE" << "0";
        QTest::newRow("big endian 5") << QByteArray("[COM-ENV]\nRC_BIG_ENDIAN=5\n") << "G_SERVER_BIGENDIAN" << "1";
        QTest::newRow("layer off") << QByteArray("[COM-ENV]\nMVMT_VISIBLE=0\n") << "G_MVMT_VISIBLE" << "0";
        QTest::newRow("layer not a number") << QByteArray("[COM-ENV]\nNODE_VISIBLE=no\n") << "G_NODE_VISIBLE" << "1";
        QTest::newRow("single monitor") << QByteArray("[COM-ENV]\nLC_MNTR_OPTION=0\n") << "G_LC_MNTR_OPTION" << "0";
        QTest::newRow("G_ prefixed key") << QByteArray("[MAP]\nG_MVMT_MAXZOOM_OFFSET=2\nMVMT_MAXZOOM_OFFSET=9\n") << "G_MVMT_MAXZOOM_OFFSET" << "2";
        QTest::newRow("host from IP") << QByteArray("[COM-ENV]\nRC_IP=10.1.2.3\n") << "G_HOST" << "10.1.2.3";
        QTest::newRow("URL before IP") << QByteArray("[COM-ENV]\nRC_URL=127.0.0.1\nRC_IP=10.1.2.3\n") << "G_HOST" << "127.0.0.1";
        QTest::newRow("blank URL takes IP") << QByteArray("[COM-ENV]\nRC_URL=\nRC_IP=10.1.2.3\n") << "G_HOST" << "10.1.2.3";
        QTest::newRow("tiles one slash") << QByteArray("[COM-ENV]\nTILE_URL=../tiles/\n") << "G_TILE_URL" << "../tiles/{z}/{x}/{y}.png";
        QTest::newRow("tiles two slashes") << QByteArray("[COM-ENV]\nTILE_URL=http://t//\n") << "G_TILE_URL" << "http://t//{z}/{x}/{y}.png";
        QTest::newRow("map lower case") << QByteArray("[COM-ENV]\nMAP_NAME=naver\n") << "G_MAP_NAME" << "NAVER";
        QTest::newRow("naver zoom") << QByteArray("[COM-ENV]\nMAP_NAME=naver\n") << "G_MAP_MAX_ZOOM" << "13";
        QTest::newRow("gbmap zoom") << QByteArray("[COM-ENV]\nMAP_NAME=GBMap\n") << "G_MAP_MAX_ZOOM" << "13";
        QTest::newRow("osm zoom") << QByteArray("[COM-ENV]\nMAP_NAME=osm\n") << "G_MAP_MAX_ZOOM" << "19";
        QTest::newRow("english pages") << QByteArray("[L10N]\nLANGUAGE=english\n") << "G_NODE_EDITOR_URL.file" << "node_editor.eng.html";
        QTest::newRow("korean lower case pages") << QByteArray("[L10N]\nLANGUAGE=korean\n") << "G_TFDT_EDITOR_URL.file" << "tfdt_editor.eng.html";
        QTest::newRow("Korean pages") << QByteArray("[L10N]\nLANGUAGE=Korean\n") << "G_TFDT_EDITOR_URL.file" << "tfdt_editor.html";
        QTest::newRow("link editor one page") << QByteArray("[L10N]\nLANGUAGE=English\n") << "G_LINK_EDITOR_URL.file" << "link_editor.html";
        QTest::newRow("bounds cut to 20") << QByteArray("[MAP_BOUNDS]\nSOUTH=37.12345678901234567890123\n") << "G_MAP_BOUNDS.FSouth" << "37.12345678901234567";
        QTest::newRow("three bounds are empty") << QByteArray("[MAP_BOUNDS]\nSOUTH=1\nWEST=2\nNORTH=3\nEAST= \n") << "G_MAP_BOUNDS.IsEmpty" << "1";
        QTest::newRow("four bounds") << QByteArray("[MAP_BOUNDS]\nSOUTH=1\nWEST=2\nNORTH=3\nEAST=4\n") << "G_MAP_BOUNDS.IsEmpty" << "0";
        QTest::newRow("geometry off") << QByteArray("[COM-ENV]\nGEOMETRY_FUNC=0\n") << "G_GEOMETRY_FUNC" << "0";
        QTest::newRow("oracle SID") << QByteArray("[ORACLE]\nSID=ORCL\n") << "FDB.IsServiceName" << "0";
        QTest::newRow("oracle service name") << QByteArray("[ORACLE]\nSERVICE_NAME=SVC\n") << "FDB.SID" << "SVC";
        QTest::newRow("mariadb lower case type") << QByteArray("[DBMS]\nDBMS_TYPE=mariadb\n") << "FDB.DBType" << "2";
        QTest::newRow("mariadb dialect") << QByteArray("[DBMS]\nDBMS_TYPE=MARIADB\n") << "G_ORA_FUNC" << "0";
        QTest::newRow("mariadb port") << QByteArray("[DBMS]\nDBMS_TYPE=MARIADB\n") << "FDB.Port" << "3306";
        QTest::newRow("mariadb database") << QByteArray("[DBMS]\nDBMS_TYPE=MARIADB\n") << "FDB.SID" << "scsdb";
        QTest::newRow("mariadb user") << QByteArray("[DBMS]\nDBMS_TYPE=MARIADB\n") << "FDB.UserID" << "scs";
        QTest::newRow("mariadb user cut to 20") << QByteArray("[DBMS]\nDBMS_TYPE=MARIADB\n[MARIADB]\nUSER_ID=abcdefghijklmnopqrstuvwxyz\n") << "FDB.UserID" << "abcdefghijklmnopqrst";
        QTest::newRow("tibero source") << QByteArray("[DBMS]\nDBMS_TYPE=Tibero\n") << "FDB.SID" << "UCT";
        QTest::newRow("tibero dialect") << QByteArray("[DBMS]\nDBMS_TYPE=TIBERO\n") << "G_ORA_FUNC" << "1";
        QTest::newRow("unknown type: oracle, empty") << QByteArray("[DBMS]\nDBMS_TYPE=DB2\n") << "FDB.Server" << "";
        QTest::newRow("unknown type: no oracle text") << QByteArray("[DBMS]\nDBMS_TYPE=DB2\n") << "G_ORA_FUNC" << "0";
    }
    void loadConfig()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        if (!ini.isNull())
            writeAll(dir.filePath("signal-console.ini"), ini);
        TDM dm(dir.path(), "signal-console");
        dm.LoadConfig();
        dm.BuildPaths();
        QCOMPARE(::field(dm, field), expected);
    }

    void emptyLanguageKeysWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << QByteArray() << "[L10N]\nSIL_FILE=signal-console.sil\nLANGUAGE=Korean\n";
        QTest::newRow("empty values") << QByteArray("; keep me\n[L10N]\nSIL_FILE=\nLANGUAGE=\n[MAP]\nZOOM=3\n")
                                      << "; keep me\n[L10N]\nSIL_FILE=signal-console.sil\nLANGUAGE=Korean\n[MAP]\nZOOM=3\n";
        QTest::newRow("only language empty") << QByteArray("[L10N]\nSIL_FILE=other.sil\n")
                                             << "[L10N]\nSIL_FILE=other.sil\nLANGUAGE=Korean\n";
        QTest::newRow("both set: untouched") << QByteArray("[l10n]\nsil_file=x.sil\nlanguage=english\n")
                                             << "[l10n]\nsil_file=x.sil\nlanguage=english\n";
    }
    void emptyLanguageKeysWrittenBack()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString file = dir.filePath("signal-console.ini");
        if (!ini.isNull())
            writeAll(file, ini);
        TDM dm(dir.path(), "signal-console");
        dm.LoadConfig();
        QCOMPARE(readAll(file), expected);
    }

    // --- page addresses --------------------------------------------------------

    void encodeForWeb_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("windows folder with space") << "C:\\My App\\" << "C:/My%20App/";
        QTest::newRow("plain") << "/opt/console/" << "/opt/console/";
        QTest::newRow("korean") << "/opt/신호/" << "/opt/%EC%8B%A0%ED%98%B8/";
        QTest::newRow("reserved") << "/a+b#c%d{e}|^[x]`<>\"*/" << "/a%2Bb%23c%25d%7Be%7D%7C%5E%5Bx%5D%60%3C%3E%22%2A/";
        QTest::newRow("kept") << "/a:b.c-d_e~f/" << "/a:b.c-d_e~f/";
        QTest::newRow("outside BMP") << QString("/x") + QString::fromUcs4(U"\U0001F6A6") + "/" << "/x%F0%9F%9A%A6/";
    }
    void encodeForWeb()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(TDM::EncodeForWeb(path), expected);
    }

    void pageUrlsOfFolderWithSpaces()
    {
        QTemporaryDir base;
        const QString folder = base.filePath("My App 교차로");
        QVERIFY(QDir().mkpath(folder));
        TDM dm(folder, "signal-console");
        dm.LoadConfig();
        dm.BuildPaths();
        QVERIFY(dm.G_APP_PATH.endsWith("/My App 교차로/"));
        QVERIFY2(dm.G_URL.startsWith("file:///"), qPrintable(dm.G_URL));
        QVERIFY2(dm.G_URL.endsWith("/My%20App%20%EA%B5%90%EC%B0%A8%EB%A1%9C/html/main.html"), qPrintable(dm.G_URL));
        QCOMPARE(QUrl(dm.G_URL).toLocalFile(), folder + "/html/main.html");
        QCOMPARE(QUrl(dm.G_MONITOR_URL).toLocalFile(), folder + "/html/lc_monitoring.html");
        QCOMPARE(QUrl(dm.G_OVIK_EDITOR_URL).toLocalFile(), folder + "/html/ovik_editor.html");
        QCOMPARE(dm.G_DEFAULT_URL, QString("about:blank"));
        QVERIFY(dm.G_APP_PATH_FOR_WEB.endsWith("/My%20App%20%EA%B5%90%EC%B0%A8%EB%A1%9C/"));
    }

    // --- connection parameters ---------------------------------------------------

    void connectionParams_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("contains"); // in database name or options
        QTest::newRow("mariadb") << QByteArray("[DBMS]\nDBMS_TYPE=MARIADB\n[MARIADB]\nSERVER=10.0.0.9\nPORT=3307\nDBNAME=city\n[COM-ENV]\nDB_CONNECTION_TIMEOUT=4\n")
                                 << "QMYSQL" << "MYSQL_OPT_CONNECT_TIMEOUT=4";
        QTest::newRow("tibero") << QByteArray("[DBMS]\nDBMS_TYPE=TIBERO\n[TIBERO]\nDataSource=UCT2\n") << "QODBC" << "UCT2";
        QTest::newRow("oracle service") << QByteArray("[DBMS]\nDBMS_TYPE=ORACLE\n") << "" << "ITS";
    }
    void connectionParams()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, driver);
        QFETCH(QString, contains);
        QTemporaryDir dir;
        writeAll(dir.filePath("signal-console.ini"), ini);
        TDM dm(dir.path(), "signal-console");
        dm.LoadConfig();
        const TDBConnectionParams p = dm.ConnectionFactory().Params();
        if (!driver.isEmpty())
            QCOMPARE(p.Driver, driver);
        QVERIFY2((p.DatabaseName + " " + p.ConnectOptions).contains(contains),
                 qPrintable(p.DatabaseName + " " + p.ConnectOptions));
        if (p.Driver == "QMYSQL") {
            QCOMPARE(p.HostName, QString("10.0.0.9"));
            QCOMPARE(p.Port, 3307);
            QCOMPARE(p.DatabaseName, QString("city"));
        }
    }

    // --- error classes -------------------------------------------------------------

    void errorClasses_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mainClass");
        QTest::addColumn<int>("workerClass");
        const int conn = int(TDbErrorClass::Connection), other = int(TDbErrorClass::Other);
        QTest::newRow("lost during query") << "2013" << "Lost connection" << int(QSqlError::StatementError) << conn << conn;
        QTest::newRow("server gone") << "2006" << "MySQL server has gone away" << int(QSqlError::StatementError) << conn << conn;
        QTest::newRow("cannot connect") << "2003" << "Can't connect" << int(QSqlError::ConnectionError) << conn << conn;
        QTest::newRow("2139 main only") << "2139" << "x" << int(QSqlError::StatementError) << conn << other;
        QTest::newRow("oracle channel") << "ORA-03113" << "end-of-file" << int(QSqlError::StatementError) << conn << conn;
        QTest::newRow("generic io") << "-1" << " Generic I/O error.   " << int(QSqlError::StatementError) << conn << conn;
        QTest::newRow("oracle unique constraint") << "1" << "ORA-00001: unique constraint" << int(QSqlError::StatementError) << other << other;
        QTest::newRow("duplicate key") << "1062" << "Duplicate entry" << int(QSqlError::StatementError) << other << other;
        QTest::newRow("foreign key") << "1452" << "foreign key constraint fails" << int(QSqlError::StatementError) << other << other;
        QTest::newRow("syntax") << "1064" << "syntax" << int(QSqlError::StatementError) << other << other;
    }
    void errorClasses()
    {
        QFETCH(QString, code);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, mainClass);
        QFETCH(int, workerClass);
        const QSqlError e("", text, QSqlError::ErrorType(type), code);
        QCOMPARE(int(ClassifyDbError(e, false)), mainClass);
        QCOMPARE(int(ClassifyDbError(e, true)), workerClass);
    }

    // --- SQL texts of the other database types ---------------------------------------

    void oracleAndTiberoTexts()
    {
        QCOMPARE(SchemaSql::ExistTable(dtOracle).simplified(),
                 QString("SELECT COUNT(*) AS CNT FROM user_tab_cols WHERE TABLE_NAME = :TABLE_NAME"));
        QCOMPARE(SchemaSql::ExistColumn(dtTibero).simplified(),
                 QString("SELECT COUNT(*) AS CNT FROM USER_TAB_COLUMNS WHERE TABLE_NAME = :TABLE_NAME AND COLUMN_NAME = :COLUMN_NAME"));
        QCOMPARE(SchemaSql::LayerTable(dtTibero).simplified(),
                 QString("CREATE TABLE SCS_M_LAYER ( LAYER_NAME CHAR(4), GEOJSON BLOB, CONSTRAINT PK_SCS_M_LAYER PRIMARY KEY(LAYER_NAME) )"));
        const QString forced = SchemaSql::ForceTodTable(dtOracle);
        QVERIFY(forced.contains("INT_LCNO NUMBER(4) NOT NULL, INT_FORCEPLAN NUMBER(2) NOT NULL, INT_SUN NUMBER(1)"));
        QVERIFY(forced.contains("INT_ASPLIT8 NUMBER(3), INT_BSPLIT1 NUMBER(3)"));
        QVERIFY(forced.contains("CONSTRAINT SCS_M_INTFORCETOD_PK PRIMARY KEY (INT_LCNO, INT_FORCEPLAN)"));
        const TSchemaColumn &upd = SchemaSql::Columns().at(13);
        QCOMPARE(upd.Column, QString("USER_UPDATE"));
        QCOMPARE(SchemaSql::AddColumn(dtOracle, upd).simplified(), QString("ALTER TABLE SCS_M_USER ADD USER_UPDATE TIMESTAMP DEFAULT NULL"));
        QCOMPARE(SchemaSql::AddColumn(dtMariaDB, upd).simplified(), QString("ALTER TABLE SCS_M_USER ADD COLUMN USER_UPDATE TIMESTAMP(6) NULL"));
        QCOMPARE(SchemaSql::AddColumn(dtMariaDB, SchemaSql::Columns().at(0)).simplified(),
                 QString("ALTER TABLE SCS_M_INTLC ADD COLUMN INT_COMMENTS BLOB DEFAULT NULL"));
        QCOMPARE(TDM::WriteEventControlSql(dtTibero).simplified(),
                 QString("INSERT INTO SCS_L_USERCONTROL ( CTL_CREDATE, CTL_CODE, CTL_KIND, CTL_ALL, CTL_NO, USER_ID, CTL_VALUE, CTL_DESC )"
                         " VALUES ( SYSTIMESTAMP, :CTL_CODE, :CTL_KIND, :CTL_ALL, :CTL_NO, :USER_ID, :CTL_VALUE, :CTL_DESC )"));
        QVERIFY(TDM::WriteEventControlSql(dtMariaDB).contains("CURRENT_TIMESTAMP(6), :CTL_CODE"));
        // geometry: vertices by NUM on every type, latitude first
        QVERIFY(LinkGeometry::UpdateSql(dtTibero, true).contains("AGGR_CONCAT(POINT_LAT || ' ' || POINT_LNG, ',' ORDER BY NUM)"));
        QVERIFY(LinkGeometry::UpdateSql(dtOracle, false).contains("ORDER BY NUM, K"));
        QVERIFY(LinkGeometry::UpdateSql(dtMariaDB, false).contains("GROUP_CONCAT(POINT_LAT, ' ', POINT_LNG ORDER BY NUM"));
        QVERIFY(!LinkGeometry::UpdateSql(dtMariaDB, false).contains(":LINK_ID"));
        QVERIFY(LinkGeometry::UpdateSql(dtMariaDB, true).contains("WHERE A.LINK_ID = :LINK_ID"));
    }

    void lineStringText()
    {
        const QList<QPointF> pts = {{37.5, 127.25}, {37.125, 127.0625}};
        const QString wkt = LinkGeometry::LineStringWkt(pts);
        QCOMPARE(wkt, QString("LINESTRING(37.5 127.25,37.125 127.0625)"));
        QCOMPARE(LinkGeometry::ParseLineStringWkt(wkt), pts);
        QVERIFY(LinkGeometry::ParseLineStringWkt("POINT(1 2)").isEmpty());
        QVERIFY(LinkGeometry::ParseLineStringWkt("LINESTRING(1 x)").isEmpty());
    }

    // --- language texts --------------------------------------------------------------

    void everyQuotedKeyInBothLanguages()
    {
        TsiLangDispatcher *d = TsiLangDispatcher::instance();
        QVERIFY(d->LoadFromFile(languageFile()));
        QTemporaryDir dir;
        TDM dm(dir.path(), "signal-console");
        QStringList tdmKeys = {"IDS_1", "IDS_2", "IDS_3", "IDS_4", "IDS_5", "IDS_6", "IDS_7"};
        for (const auto &f : dm.TranslatedFields())
            tdmKeys << f.first;
        QCOMPARE(dm.TranslatedFields().size(), 1 + 172 + 40);
        for (const QString &k : tdmKeys)
            for (int lang : {1, 2})
                QVERIFY2(d->HasText("TDM", k, lang) && !d->TextIn("TDM", k, lang).isEmpty(),
                         qPrintable(QString("[TDM] %1 language %2").arg(k).arg(lang)));
        for (int i = 1; i <= 14; ++i)
            for (int lang : {1, 2})
                QVERIFY2(d->HasText("TfrmLogin", QString("IDS_%1").arg(i), lang),
                         qPrintable(QString("[TfrmLogin] IDS_%1 language %2").arg(i).arg(lang)));
    }

    void exactTexts_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("korean");
        QTest::addColumn<QString>("english");
        QTest::newRow("title") << "TDM" << "strAPP_TITLE" << "교통신호제어 운영 단말" << "Traffic Signal Control Systerm";
        QTest::newRow("running") << "TDM" << "IDS_6" << "이 이미 실행중입니다." << " is already running.";
        QTest::newRow("duplicate") << "TDM" << "IDS_7" << "프로그램 재실행" << "Dupliacte Execute";
        QTest::newRow("db failed") << "TDM" << "IDS_1" << "DBMS에 연결할 수 없어 프로그램을 종료합니다." << "Program is terminated due to connection failure.";
        QTest::newRow("opcode") << "TDM" << "strUpDn15" << "zuzi헤더의 OP코드 오류" << "Opcode Error";
        QTest::newRow("recieve") << "TDM" << "strUpDn7" << ">> 헤더 수신,RSV_HEAD" << ">> Recieve header,RSV_HEAD";
        QTest::newRow("two underscores") << "TDM" << "strLC_OPRMODE__ACT_ONLINE" << "센터-감응" << "Center-Actuate";
        QTest::newRow("leading blank") << "TDM" << "strSearchResultMsg" << "개의 행이 검색되었습니다." << " records found.";
        QTest::newRow("fail count") << "TDM" << "strFailCountMsg" << "  실패건수 : %d건" << "  Fail Count : %d";
        QTest::newRow("filter") << "TDM" << "strSAVEDIALOG_FILTER" << "Excel 통합 문서(*.xlsx)|*.xlsx" << "Excel File(*.xlsx)|*.xlsx";
        QTest::newRow("login count") << "TfrmLogin" << "IDS_5" << "사용자 정보를 확인바랍니다. (로그인 시도횟수 " << "Please input valid password (Count : ";
        QTest::newRow("login manager") << "TfrmLogin" << "IDS_7" << "관리자" << "Manager";
        QTest::newRow("account id") << "TfrmUSER_E" << "IDS_1" << "운영자ID" << "Operator ID";
        QTest::newRow("account months") << "TfrmUSER_E" << "IDS_2" << "0. 월" << "0. Months";
        QTest::newRow("account admin refused") << "TfrmUSER_E" << "IDS_3" << "메인관리자 ID를 생성할 권한이 없습니다."
                                               << "You don't have permission to create admin user id.";
        QTest::newRow("account duplicate") << "TfrmUSER_E" << "strDuplicateMsg" << "가 중복됐습니다." << " has been duplicated.";
        QTest::newRow("group without members") << "TfrmSA_S" << "IDS_1" << "없음" << "None";
        QTest::newRow("picker intersection") << "TfrmTCDV_S" << "IDS_Tcdv" << "LC번호/교차로명" << "Intersection";
        QTest::newRow("picker node") << "TfrmTCDV_S" << "IDS_Node" << "노드ID/노드명" << "Node";
        QTest::newRow("table choice") << "TFormSelectTableDlg" << "IDS_SelectTable" << "입력하실 테이블을 선택바랍니다."
                                      << "Please select the tables to import.";
        QTest::newRow("login fallback to TDM") << "TfrmLogin" << "strAPP_TITLE" << "교통신호제어 운영 단말" << "Traffic Signal Control Systerm";
    }
    void exactTexts()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, korean);
        QFETCH(QString, english);
        TsiLangDispatcher *d = TsiLangDispatcher::instance();
        QVERIFY(d->LoadFromFile(languageFile()));
        QCOMPARE(d->TextIn(table, key, 1), korean);
        QCOMPARE(d->TextIn(table, key, 2), english);
    }

    void languageFileFormat()
    {
        TsiLangDispatcher *d = TsiLangDispatcher::instance();
        d->Clear();
        d->LoadFromText("# c\n[TfrmX]\r\nA\t가\\n나\tline\\tone\\\\two\nB\t한국어만\n[TDM]\nC\t공통\tcommon\n");
        QCOMPARE(d->TextIn("TfrmX", "A", 1), QString("가\n나"));
        QCOMPARE(d->TextIn("TfrmX", "A", 2), QString("line\tone\\two"));
        QCOMPARE(d->TextIn("TfrmX", "B", 2), QString("한국어만")); // no English column
        QCOMPARE(d->TextIn("TfrmX", "C", 2), QString("common"));   // [TDM] fallback
        QCOMPARE(d->TextIn("TfrmX", "D", 1), QString("D"));        // missing everywhere
        QVERIFY(!d->HasText("TfrmX", "C", 1));
        QVERIFY(d->LoadFromFile(languageFile()));
    }

    // Switching the language changes the data module's texts at once and the
    // texts of an open window.
    void switchingLanguage()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("res")));
        QVERIFY(QFile::copy(languageFile(), dir.filePath("res/signal-console.sil")));
        writeAll(dir.filePath("signal-console.ini"), "[L10N]\nSIL_FILE=signal-console.sil\nLANGUAGE=Korean\n");
        TDM dm(dir.path(), "signal-console");
        DM = &dm;
        dm.LoadConfig();
        QVERIFY(dm.LoadLanguage());
        TsiLangDispatcher *d = TsiLangDispatcher::instance();
        QCOMPARE(d->ActiveLanguage(), 1);
        QCOMPARE(dm.T_NotExist, QString("없음"));
        QCOMPARE(dm.G_APP_TITLE, QString("교통신호제어 운영 단말"));
        QCOMPARE(GetLcStatusText(1), QString("센터모드"));

        TfrmLogin login;
        auto *userLabel = login.findChild<QLabel *>("lblUserID");
        auto *title = login.findChild<QLabel *>("lblTitle");
        QVERIFY(userLabel && title);
        QCOMPARE(userLabel->text(), QString("아이디"));
        QCOMPARE(title->text(), QString("교통신호제어 운영 단말"));
        QCOMPARE(login.font().family(), QString("Noto Sans CJK KR"));

        QSignalSpy spy(d, &TsiLangDispatcher::languageChanged);
        d->SetActiveLanguage(2);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(dm.T_NotExist, QString("None"));
        QCOMPARE(GetLcStatusText(1), QString("Center Mode"));
        QCOMPARE(userLabel->text(), QString("ID"));
        QCOMPARE(title->text(), QString("Traffic Signal Control Systerm"));
        QCOMPARE(login.font().family(), QString("DejaVu Sans"));
        QCOMPARE(GridResources::StyleFont("stlBold").family(), QString("DejaVu Sans"));
        d->SetActiveLanguage(2); // no change, no signal
        QCOMPARE(spy.count(), 1);
        d->SetActiveLanguage(1);
        QCOMPARE(dm.T_NotExist, QString("없음"));
        DM = nullptr;
    }

    // --- single instance -------------------------------------------------------------

    void secondInstanceWakesTheFirst()
    {
        QTemporaryDir dir, other;
        TAppInstances first(dir.path());
        QVERIFY(first.Primary());
        TAppInstances second(dir.path());
        QVERIFY(!second.Primary());
        TAppInstances elsewhere(other.path()); // another program folder is another program
        QVERIFY(elsewhere.Primary());

        QWidget main;
        main.showMinimized();
        QVERIFY(main.isMinimized());
        first.SetMainWindow(&main);
        QSignalSpy woken(&first, &TAppInstances::UserNotified);
        QSignalSpy wokenElsewhere(&elsewhere, &TAppInstances::UserNotified);
        second.Notify(InstanceNotifyValue + 1);   // not the wake-up value: ignored
        QTest::qWait(200);
        QCOMPARE(woken.count(), 0);
        QVERIFY(main.isMinimized());
        second.Notify(InstanceNotifyValue);
        QVERIFY(woken.wait(5000));
        QCOMPARE(woken.count(), 1);
        QCOMPARE(woken.at(0).at(0).value<QWidget *>(), &main);
        QVERIFY(!main.isMinimized());
        QCOMPARE(wokenElsewhere.count(), 0);
    }

    // --- code-to-text ------------------------------------------------------------------

    void codeToText_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("korean");
        QTest::addColumn<QString>("english");
        QTest::newRow("status 13") << "LcStatus" << 13 << "" << "";
        QTest::newRow("status 0") << "LcStatus" << 0 << "통신이상" << "Comm Error";
        QTest::newRow("status 10") << "LcStatus" << 10 << "현시유지" << "Phase Hold";
        QTest::newRow("status 12") << "LcStatus" << 12 << "PPC 모드" << "PPC Mode";
        QTest::newRow("status -1") << "LcStatus" << -1 << "" << "";
        QTest::newRow("opr 4") << "OprMode" << 4 << "센터-감응" << "Center-Actuate";
        QTest::newRow("opr 6") << "OprMode" << 6 << "통신이상" << "Comm Error";
        QTest::newRow("opr 7") << "OprMode" << 7 << "" << "";
        QTest::newRow("opr long 4") << "OprModeLong" << 4 << "감응하는 센터모드" << "Center-Actuate";
        QTest::newRow("flash 0") << "FlashCause" << 0 << "" << "";
        QTest::newRow("flash 3") << "FlashCause" << 3 << "수동" << "P.S/W";
        QTest::newRow("flash 6") << "FlashCause" << 6 << "소등" << "Light Off";
        QTest::newRow("flash 7") << "FlashCause" << 7 << "" << "";
        QTest::newRow("plan -1") << "PlanClass" << -1 << "" << "";
        QTest::newRow("plan 0") << "PlanClass" << 0 << "일반제" << "GMAP";
        QTest::newRow("plan 5") << "PlanClass" << 5 << "시차제#5" << "EMAP #5";
        QTest::newRow("plan 6") << "PlanClass" << 6 << "보행맵" << "Pedestrian";
        QTest::newRow("flag 255") << "Conflict" << 255 << "모순" << "Conflict";
        QTest::newRow("flag -3") << "Conflict" << -3 << "모순" << "Conflict";
        QTest::newRow("flag 0") << "Conflict" << 0 << "정상" << "Normal";
        QTest::newRow("oversat 0") << "Oversat" << 0 << "없음" << "No";
        QTest::newRow("police") << "PoliceMan" << 1 << "ON" << "On";
        QTest::newRow("readonly") << "DbReadOnly" << 1 << "DB쓰기방지됨" << "Disable";
        QTest::newRow("spillback end") << "SpillbackSub" << 1 << "발생" << "Occurrence";
        QTest::newRow("defined 1") << "Defined" << 1 << "운영안함" << "No Operated";
        QTest::newRow("defined 2") << "Defined" << 2 << "" << "";
        QTest::newRow("trc 1") << "Trc" << 1 << "가능" << "TRC control";
        QTest::newRow("lamp 1") << "Lamp" << 1 << "4색등화기" << "4 Color";
        QTest::newRow("lamp short 0") << "LampShort" << 0 << "3색" << "3색";
        QTest::newRow("circuit 3L 6") << "Circuit3L" << 6 << "BUS ERROR" << "BUS ERROR";
        QTest::newRow("circuit 6") << "Circuit" << 6 << "" << "";
        QTest::newRow("ctrl 2") << "CtrlMode" << 2 << "MAN" << "MAN";
        QTest::newRow("imporflag 3") << "Impor" << 3 << "RAMP" << "RAMP";
        QTest::newRow("lc type 2") << "LcType" << 2 << "2010" << "2010";
        QTest::newRow("lc type 0") << "LcType" << 0 << "" << "";
    }
    void codeToText()
    {
        QFETCH(QString, routine);
        QFETCH(int, value);
        QFETCH(QString, korean);
        QFETCH(QString, english);
        const QHash<QString, std::function<QString(int)>> r = {
            {"LcStatus", GetLcStatusText}, {"OprMode", GetOprModeText},
            {"OprModeLong", GetOprModeLongText}, {"FlashCause", GetFlashCauseText},
            {"PlanClass", GetPlanClassText}, {"Conflict", GetConflictText},
            {"Oversat", GetOversatText}, {"PoliceMan", GetPoliceManText},
            {"DbReadOnly", GetDbReadOnlyText}, {"SpillbackSub", GetSpillbackSubPhaseEndText},
            {"Defined", GetDefinedText}, {"Trc", GetTrcControlText}, {"Lamp", GetLampTypeText},
            {"LampShort", GetLampTypeShortText}, {"Circuit3L", GetConflictCircuit3LText},
            {"Circuit", GetConflictCircuitText}, {"CtrlMode", [](int v) { return GetCtrlModeText(quint8(v)); }},
            {"Impor", GetImporFlagText}, {"LcType", GetLcTypeText},
        };
        QVERIFY(r.contains(routine));
        TsiLangDispatcher *d = TsiLangDispatcher::instance();
        QVERIFY(d->LoadFromFile(languageFile()));
        QTemporaryDir dir;
        TDM dm(dir.path(), "signal-console");
        DM = &dm;
        d->SetActiveLanguage(1);
        dm.UpdateStrings();
        QCOMPARE(r.value(routine)(value), korean);
        d->SetActiveLanguage(2);
        QCOMPARE(r.value(routine)(value), english);
        d->SetActiveLanguage(1);
        DM = nullptr;
    }

    void netWords()
    {
        const uchar b1[2] = {0x01, 0x02};
        const uchar b0[2] = {0x00, 0x00};
        QCOMPARE(GetNetWordText(b1), QString("258"));
        QCOMPARE(NetWordToInt(b1), 258);
        QCOMPARE(NetWordToInt(b0), 0);
        QCOMPARE(GetNetWordText(b0), QString());
        quint16 w;
        memcpy(&w, b1, 2);
        QCOMPARE(NetWordToInt(w), 258);
    }

    // --- shared grid editors --------------------------------------------------------

    void gridItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("hide zero") << "cxEditRepositorySpinItemHideZero" << QVariant(0) << "";
        QTest::newRow("hide zero 5") << "cxEditRepositorySpinItemHideZero" << QVariant(5) << "5";
        QTest::newRow("spin null") << "cxEditRepositorySpinItem" << QVariant() << "";
        QTest::newRow("check 1") << "cxEditRepositoryCheckBoxItem" << QVariant(1) << "Y";
        QTest::newRow("check 0") << "cxEditRepositoryCheckBoxItem" << QVariant(0) << "N";
        QTest::newRow("check null") << "cxEditRepositoryCheckBoxItem" << QVariant() << "";
        QTest::newRow("week 8") << "eriImageComboBoxItemWeek" << QVariant(8) << "공휴일(휴일계획에 지정된 휴일)";
        QTest::newRow("congestion text") << "erTFDTCongestion" << QVariant("2") << "정체";
        QTest::newRow("ring 2") << "eriImageComboBoxRing" << QVariant(2) << "B Ring";
        QTest::newRow("currency") << "cxEditRepositoryCurrencyItemAlignRight" << QVariant(1234567) << "1,234,567";
    }
    void gridItems()
    {
        QFETCH(QString, item);
        QFETCH(QVariant, value);
        QFETCH(QString, shown);
        const TRepositoryItem *i = GridResources::Item(item);
        QVERIFY(i);
        QCOMPARE(GridResources::DisplayText(*i, value), shown);
        std::unique_ptr<QAbstractItemDelegate> d(GridResources::CreateDelegate(item, nullptr));
        QVERIFY(d);
    }

    void gridItemInput_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("phase clamps") << "cxEditRepositorySpinItemPhase" << "12" << true << QVariant(8);
        QTest::newRow("phase below") << "cxEditRepositorySpinItemPhase" << "0" << true << QVariant(1);
        QTest::newRow("empty is null") << "eriSpinItemHour" << "" << true << QVariant(QMetaType::fromType<qint64>());
        QTest::newRow("4 byte") << "cxEditRepositorySpinItem4Byte" << "4294967295" << true << QVariant(qint64(4294967295LL));
        QTest::newRow("link id 10 digits") << "cxEditRepositoryMaskItemLinkID" << "1234567890" << true << QVariant("1234567890");
        QTest::newRow("link id 9 digits") << "cxEditRepositoryMaskItemLinkID" << "123456789" << false << QVariant();
        QTest::newRow("3L code 08") << "eriMaskItemP_3L_Phil" << "08" << true << QVariant("08");
        QTest::newRow("3L code 5") << "eriMaskItemP_3L_Phil" << "5" << false << QVariant();
    }
    void gridItemInput()
    {
        QFETCH(QString, item);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QVariant, value);
        bool good = false;
        const QVariant v = GridResources::ValueFromText(*GridResources::Item(item), text, &good);
        QCOMPARE(good, ok);
        if (ok) {
            QCOMPARE(v.isNull(), value.isNull());
            if (!value.isNull())
                QCOMPARE(v.toString(), value.toString());
        }
    }

    void gridStyles()
    {
        QCOMPARE(GridResources::StyleNames().size(), 16);
        QCOMPARE(GridResources::Style("stlReadOnly")->Background, QColor(179, 179, 179));
        QCOMPARE(GridResources::Style("stlInvalidate2")->Text, QColor(255, 255, 255));
        QVERIFY(GridResources::Style("stlInvalidate")->Bold);
        QVERIFY(!GridResources::Style("stlNothing"));
    }
};

QTEST_MAIN(TestStartupConfig)
#include "tst_startup_config.moc"
