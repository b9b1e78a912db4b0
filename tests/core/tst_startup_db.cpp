// Database side of the start-up: connection, schema check, event log, query opening,
// error filter and reconnection, link geometry, and the login dialog.
#include <QLineEdit>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "foundation/LinkGeometry.h"
#include "foundation/QuorvalCipher.h"
#include "core/Quorval.h"
#include "TestConsoleFolder.h"
#include "TestDb.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untLogin.h"

namespace {

const char *const kDb = "tst_startup_db";
const char *const kRef = "tst_startup_ref";
const char *const kSchema = "tst_startup_schema";

int unusedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// A program folder with a settings file for database `db` and the language file.
struct ConsoleFolder : TestConsole::Folder
{
    explicit ConsoleFolder(const QString &db, const QString &extra = QString(), int port = 0)
        : TestConsole::Folder(db, "[COM-ENV]\nDB_CONNECTION_TIMEOUT=30\n" + extra, port)
    {
    }
};

using TestConsole::Scalar;

QString text(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next())
        return QStringLiteral("<no row>");
    return q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString();
}

// Column definitions of some tables of a database, one line per column (position aside:
// columns added later to the schema may stand before re-added ones).
QStringList columns(QSqlDatabase db, const QString &schema, const QStringList &tables)
{
    QSqlQuery q(db);
    q.prepare("SELECT TABLE_NAME, COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE,"
              " COALESCE(COLUMN_DEFAULT, '-'), COLUMN_KEY FROM information_schema.COLUMNS"
              " WHERE TABLE_SCHEMA = :S ORDER BY TABLE_NAME, COLUMN_NAME");
    q.bindValue(":S", schema);
    QStringList out;
    if (!q.exec())
        return {q.lastError().text()};
    while (q.next()) {
        if (!tables.contains(q.value(0).toString()))
            continue;
        QStringList parts;
        for (int i = 0; i < 6; ++i)
            parts << q.value(i).toString();
        out << parts.join('|');
    }
    return out;
}

const QStringList kCheckedTables = {"SCS_M_LAYER", "SCS_M_INTFORCETOD", "SCS_M_LINK", "SCS_M_INTLC",
                                    "SCS_M_TFDTOPERATE", "SCS_M_INTALGORITHM", "SCS_M_INTSPILLBACK",
                                    "SCS_M_INTPHASE", "SCS_M_INTOUTPED", "SCS_M_USER"};

int userControlRows(QSqlDatabase db)
{
    return Scalar(db, "SELECT COUNT(*) FROM SCS_L_USERCONTROL");
}

} // namespace

// The text and detail of the last message box shown, for failure messages.
static QString LastBoxText()
{
    auto *boxes = dynamic_cast<ScriptedMsgDlg *>(CurrentMsgDlgService());
    if (!boxes)
        return QString();
    const TMsgDlgRequest r = boxes->last();
    return r.caption + QLatin1String(": ") + r.text + QLatin1String(" / ") + r.detail;
}

class TestStartupDb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        QVERIFY(TestDb::create(kRef, false));
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
    }
    void cleanup()
    {
        DM = nullptr;
    }

    // --- connection ---------------------------------------------------------------

    void brokenConnectionShowsMessage()
    {
        ConsoleFolder folder(kDb, QString(), unusedPort());
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY(!dm.DataModuleCreate());
        QVERIFY(!dm.Connected());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("DBMS에 연결할 수 없어 프로그램을 종료합니다."));
        QCOMPARE(boxes.last().caption, QString("DB 연결 실패"));
        QCOMPARE(boxes.last().title, QString("교통신호제어 운영 단말"));
        QVERIFY(!boxes.last().detail.isEmpty());
    }

    void fullSchemaNeedsNoDdl()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        QCOMPARE(dm.SchemaStatements(), QStringList());
        QCOMPARE(boxes.count(), 0);
        QVERIFY(dm.IsExistTable("SCS_M_LAYER"));
        QVERIFY(!dm.IsExistTable("SCS_M_NOTHING"));
        QVERIFY(dm.IsExistColumn("SCS_M_USER", "BOOKMARKS"));
        QVERIFY(!dm.IsExistColumn("SCS_M_USER", "NOTHING"));
        QVERIFY(dm.G_GEOMETRY_FUNC);
    }

    // --- schema check on a stripped schema ---------------------------------------

    void schemaCheck_data()
    {
        QTest::addColumn<QStringList>("strip");    // statements run on the fresh schema
        QTest::addColumn<QString>("extraIni");
        QTest::addColumn<QStringList>("expected"); // statements of the check, by content
        QTest::addColumn<bool>("geomAfter");

        QStringList dropAllColumns, addAll;
        for (const TSchemaColumn &c : SchemaSql::Columns()) {
            dropAllColumns << QString("ALTER TABLE %1 DROP COLUMN %2").arg(c.Table, c.Column);
            addAll << QString("ADD COLUMN %1 ").arg(c.Column);
            if (!c.FollowUp.isEmpty())
                addAll << QString("SET %1 =").arg(c.Column);
        }
        QTest::newRow("everything missing")
            << (QStringList{"DROP TABLE SCS_M_LAYER", "DROP TABLE SCS_M_INTFORCETOD",
                            "ALTER TABLE SCS_M_LINK DROP COLUMN GEOM"} + dropAllColumns)
            << QString()
            << (QStringList{"CREATE TABLE SCS_M_LAYER", "CREATE TABLE SCS_M_INTFORCETOD",
                            "ADD COLUMN GEOM LINESTRING DEFAULT NULL AFTER LINK_TYPE", "UPDATE SCS_M_LINK A"} + addAll)
            << true;
        QTest::newRow("password columns missing")
            << QStringList{"ALTER TABLE SCS_M_USER DROP COLUMN USER_UPDATE", "ALTER TABLE SCS_M_USER DROP COLUMN USER_CHECK"}
            << QString()
            << QStringList{"ADD COLUMN USER_UPDATE TIMESTAMP(6) NULL", "SET USER_UPDATE =",
                           "ADD COLUMN USER_CHECK TINYINT DEFAULT NULL", "SET USER_CHECK ="}
            << true;
        QTest::newRow("layer table missing") << QStringList{"DROP TABLE SCS_M_LAYER"} << QString()
                                             << QStringList{"CREATE TABLE SCS_M_LAYER"} << true;
        QTest::newRow("geometry off: link untouched")
            << QStringList{"ALTER TABLE SCS_M_LINK DROP COLUMN GEOM"} << QString("GEOMETRY_FUNC=0\n")
            << QStringList() << false;
        QTest::newRow("nothing missing") << QStringList() << QString() << QStringList() << true;
    }
    void schemaCheck()
    {
        QFETCH(QStringList, strip);
        QFETCH(QString, extraIni);
        QFETCH(QStringList, expected);
        QFETCH(bool, geomAfter);

        QVERIFY(TestDb::create(kSchema, true));
        QSqlDatabase raw = TestDb::open(kSchema, "schema_raw");
        QSqlQuery q(raw);
        // links whose vertices were stored out of order, and one of a single vertex
        QVERIFY(q.exec("INSERT INTO SCS_M_LINK (LINK_ID, LINK_TYPE) VALUES ('9900000001', 'LineString'), ('9900000002', 'LineString')"));
        QVERIFY(q.exec("INSERT INTO SCS_M_LINK_DETAIL (LINK_ID, NUM, GROUP_NUM, POINT_LAT, POINT_LNG) VALUES"
                       " ('9900000001', 3, 1, 37.3, 127.3), ('9900000001', 1, 1, 37.1, 127.1),"
                       " ('9900000001', 2, 1, 37.2, 127.2), ('9900000002', 1, 1, 37.5, 127.5)"));
        for (const QString &s : strip)
            QVERIFY2(q.exec(s), qPrintable(s + ": " + q.lastError().text()));

        ConsoleFolder folder(kSchema, extraIni);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        QCOMPARE(boxes.count(), 0);
        const QStringList ran = dm.SchemaStatements();
        QCOMPARE(ran.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(ran.at(i).contains(expected.at(i)), qPrintable(ran.at(i) + "  <->  " + expected.at(i)));

        // the upgraded tables equal the current schema's (geometry off: GEOM stays missing)
        QStringList mine = columns(raw, kSchema, kCheckedTables);
        QStringList ref = columns(raw, kRef, kCheckedTables);
        if (!geomAfter)
            ref.removeIf([](const QString &l) { return l.startsWith("SCS_M_LINK|GEOM|"); });
        QCOMPARE(mine, ref);

        if (strip.contains("ALTER TABLE SCS_M_LINK DROP COLUMN GEOM") && geomAfter) {
            QCOMPARE(text(raw, "SELECT ST_AsText(GEOM) FROM SCS_M_LINK WHERE LINK_ID = '9900000001'"),
                     LinkGeometry::LineStringWkt({{37.1, 127.1}, {37.2, 127.2}, {37.3, 127.3}}));
            QCOMPARE(text(raw, "SELECT ST_AsText(GEOM) FROM SCS_M_LINK WHERE LINK_ID = '9900000002'"), QString("<null>"));
        }
        if (strip.contains("ALTER TABLE SCS_M_USER DROP COLUMN USER_CHECK")) {
            QCOMPARE(Scalar(raw, "SELECT COUNT(*) FROM SCS_M_USER WHERE USER_CHECK <> 1 OR USER_CHECK IS NULL"), 0);
            QVERIFY(Scalar(raw, "SELECT COUNT(*) FROM SCS_M_USER") > 0);
            QSqlQuery u(raw);
            QVERIFY(u.exec("SELECT MIN(USER_UPDATE) FROM SCS_M_USER") && u.next());
            QVERIFY(u.value(0).toDateTime() >= before);
        }

        // a second start runs no DDL
        TDM again(folder.path(), "signal-console");
        QVERIFY(again.DataModuleCreate());
        QCOMPARE(again.SchemaStatements(), QStringList());
        QCOMPARE(boxes.count(), 0);
        raw.close();
    }

    void schemaCheckFailureEndsStart()
    {
        QVERIFY(TestDb::create(kSchema, false));
        QSqlDatabase raw = TestDb::open(kSchema, "schema_raw");
        QSqlQuery q(raw);
        // a missing column on a table that does not exist cannot be added
        QVERIFY(q.exec("DROP TABLE SCS_M_INTOUTPED"));
        ConsoleFolder folder(kSchema);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY(!dm.DataModuleCreate());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("테이블 및 컬럼 생성중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("쿼리 실패"));
        QVERIFY(boxes.last().detail.contains("SCS_M_INTOUTPED"));
        // objects made before the failure stay
        QVERIFY(dm.IsExistColumn("SCS_M_INTPHASE", "LINK_ID"));
        raw.close();
    }

    void geometryFailureTurnsGeometryOff()
    {
        QVERIFY(TestDb::create(kSchema, false));
        QSqlDatabase raw = TestDb::open(kSchema, "schema_raw");
        QSqlQuery q(raw);
        // GEOM goes after LINK_TYPE: without that column the step fails
        QVERIFY(q.exec("ALTER TABLE SCS_M_LINK DROP COLUMN GEOM"));
        QVERIFY(q.exec("ALTER TABLE SCS_M_LINK DROP COLUMN LINK_TYPE"));
        ConsoleFolder folder(kSchema);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString())); // the check goes on
        QVERIFY(!dm.G_GEOMETRY_FUNC);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("GEOM 컬럼생성 도중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("컬럼 생성 실패"));
        raw.close();
    }

    void linkGeometryOfOneLink()
    {
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QSqlQuery q(raw);
        QVERIFY(q.exec("DELETE FROM SCS_M_LINK_DETAIL WHERE LINK_ID LIKE '98%'"));
        QVERIFY(q.exec("DELETE FROM SCS_M_LINK WHERE LINK_ID LIKE '98%'"));
        QVERIFY(q.exec("INSERT INTO SCS_M_LINK (LINK_ID, LINK_TYPE) VALUES ('9800000001', 'LineString'), ('9800000002', 'LineString')"));
        QVERIFY(q.exec("INSERT INTO SCS_M_LINK_DETAIL (LINK_ID, NUM, GROUP_NUM, POINT_LAT, POINT_LNG) VALUES"
                       " ('9800000001', 2, 1, 36.5, 126.5), ('9800000001', 1, 1, 36.25, 126.25),"
                       " ('9800000002', 1, 1, 1, 2), ('9800000002', 2, 1, 3, 4)"));
        QSqlError err;
        QVERIFY2(LinkGeometry::Rebuild(raw, dtMariaDB, "9800000001", &err), qPrintable(err.text()));
        QCOMPARE(text(raw, "SELECT ST_AsText(GEOM) FROM SCS_M_LINK WHERE LINK_ID = '9800000001'"),
                 QString("LINESTRING(36.25 126.25,36.5 126.5)"));
        QCOMPARE(text(raw, "SELECT ST_AsText(GEOM) FROM SCS_M_LINK WHERE LINK_ID = '9800000002'"), QString("<null>"));
        QCOMPARE(LinkGeometry::ParseLineStringWkt(text(raw, "SELECT ST_AsText(GEOM) FROM SCS_M_LINK WHERE LINK_ID = '9800000001'")).first(),
                 QPointF(36.25, 126.25));
        raw.close();
    }

    // --- event log and query opening ---------------------------------------------

    void writeEventControl()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QVERIFY(QSqlQuery(raw).exec("DELETE FROM SCS_L_USERCONTROL WHERE USER_ID = 'evtest'"));
        QVERIFY(dm.WriteEventControl("evtest", 41, 165, 1, false, 12, "로컬 모드"));
        QVERIFY(dm.WriteEventControl("evtest", 13, 2, 3, true, 0, QString()));
        QSqlQuery q(raw);
        QVERIFY(q.exec("SELECT CTL_CODE, CTL_KIND, CTL_ALL, CTL_NO, CTL_VALUE, CTL_DESC, CTL_CREDATE FROM SCS_L_USERCONTROL"
                       " WHERE USER_ID = 'evtest' ORDER BY CTL_CODE DESC"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 41);
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toInt(), 0);
        QCOMPARE(q.value(3).toInt(), 12);
        QCOMPARE(q.value(4).toInt(), 165);
        QCOMPARE(q.value(5).toString(), QString("로컬 모드"));
        QVERIFY(qAbs(q.value(6).toDateTime().secsTo(QDateTime::currentDateTime())) < 60);
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toInt(), 1);
        QVERIFY(!q.value(5).isNull());
        QCOMPARE(q.value(5).toString(), QString());
        QCOMPARE(boxes.count(), 0);
        raw.close();
    }

    void queryOpen()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));

        QSqlQuery none = dm.NewQuery();
        none.prepare("SELECT USER_ID FROM SCS_M_USER WHERE USER_ID = :ID");
        none.bindValue(":ID", "nobody");
        QVERIFY(!dm.QueryOpen(none));
        QVERIFY(!none.isActive());
        QCOMPARE(boxes.count(), 0);

        QSqlQuery some = dm.NewQuery();
        some.prepare("SELECT USER_ID FROM SCS_M_USER WHERE USER_ID = :ID");
        some.bindValue(":ID", "admin");
        QVERIFY(dm.QueryOpen(some));
        QCOMPARE(some.value(0).toString(), QString("admin"));

        QSqlQuery bad = dm.NewQuery();
        bad.prepare("SELEC USER_ID FRM SCS_M_USER");
        QVERIFY(!dm.QueryOpen(bad));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("처리중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("쿼리 실패"));
        QVERIFY2(boxes.last().detail.contains("syntax"), qPrintable(boxes.last().detail));
    }

    // --- error filter and reconnection ------------------------------------------

    void constraintViolationIsNotFiltered()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        dm.SetErrorFilterActive(true); // as after the main window exists
        QSqlQuery dup = dm.NewQuery();
        dup.prepare("INSERT INTO SCS_M_USER (USER_ID, USER_NAME) VALUES (:ID, 'x')");
        dup.bindValue(":ID", "admin");
        QVERIFY(!dm.ExecSQL(dup));
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.last().detail.contains("Duplicate"));
        QVERIFY(dm.Connected());
    }

    void connectionClosedIsReopened()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        dm.SetErrorFilterActive(true);

        // closed under the module
        QSqlDatabase con = dm.Con();
        con.close();
        QVERIFY(!dm.Connected());
        QVERIFY(dm.WriteEventControl("reopen", 13, 1, 3, false, 0, "after close"));
        QVERIFY(dm.Connected());

        // killed by the server: the failing statement is dropped silently (no result),
        // the next one runs on a reopened connection
        const int id = Scalar(dm.Con(), "SELECT CONNECTION_ID()");
        QVERIFY(id > 0);
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QVERIFY(QSqlQuery(raw).exec(QString("KILL %1").arg(id)));
        QSqlQuery lost = dm.NewQuery();
        lost.prepare("SELECT USER_ID FROM SCS_M_USER WHERE USER_ID = :ID");
        lost.bindValue(":ID", "admin");
        QVERIFY(!dm.QueryOpen(lost));
        QCOMPARE(boxes.count(), 0);
        QSqlQuery next = dm.NewQuery();
        next.prepare("SELECT USER_ID FROM SCS_M_USER WHERE USER_ID = :ID");
        next.bindValue(":ID", "admin");
        QVERIFY(dm.QueryOpen(next));
        QVERIFY(Scalar(dm.Con(), "SELECT CONNECTION_ID()") != id);
        QCOMPARE(boxes.count(), 0);
        raw.close();
    }

    void lostConnectionShownBeforeMainWindow()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        const int id = Scalar(dm.Con(), "SELECT CONNECTION_ID()");
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QVERIFY(QSqlQuery(raw).exec(QString("KILL %1").arg(id)));
        QVERIFY(!dm.WriteEventControl("lost", 13, 1, 3, false, 0, "x"));
        QCOMPARE(boxes.count(), 1); // nothing is filtered before the main window exists
        raw.close();
    }

    void workerConnection()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        const TDBConnectionFactory factory = dm.ConnectionFactory();
        QCOMPARE(factory.TimeoutSeconds(), 30);
        int users = -1;
        QString name;
        QThread *t = QThread::create([&]() {
            TThreadConnection con(factory, "TTestThread");
            name = con.name();
            if (con.isOpen())
                users = Scalar(con.db(), "SELECT COUNT(*) FROM SCS_M_USER");
        });
        t->start();
        QVERIFY(t->wait(30000));
        delete t;
        QVERIFY(users > 0);
        QVERIFY(name.startsWith("TTestThread_"));
        QVERIFY(!QSqlDatabase::contains(name));
    }

    // --- login ---------------------------------------------------------------------

    void loginEmptyFieldsUseNoAttempt_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("both empty") << "" << "" << "사용자 아이디를 입력바랍니다.";
        QTest::newRow("blank id") << "   " << "admin1234" << "사용자 아이디를 입력바랍니다.";
        QTest::newRow("empty password") << "admin" << "" << "사용자 암호를 입력바랍니다.";
        QTest::newRow("blank password") << "admin" << "  " << "사용자 암호를 입력바랍니다.";
    }
    void loginEmptyFieldsUseNoAttempt()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(QString, message);
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        const int rows = userControlRows(dm.Con());
        TfrmLogin login;
        login.UserIdEdit()->setText(id);
        login.PasswordEdit()->setText(password);
        for (int i = 0; i < 4; ++i)
            login.btnLoginClick();
        QCOMPARE(login.LoginTryCount(), 0);
        QCOMPARE(login.result(), 0); // still open
        QCOMPARE(boxes.count(), 4);
        QCOMPARE(boxes.last().text, message);
        QCOMPARE(boxes.last().caption, QString("로그인 실패"));
        QCOMPARE(boxes.last().kind, mkInformation);
        QCOMPARE(userControlRows(dm.Con()), rows);
    }

    void loginThreeWrongPasswords()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        const int rows = userControlRows(dm.Con());
        TfrmLogin login;
        login.UserIdEdit()->setText("admin");
        const QStringList tries = {"wrong", "admin12345", "ADMIN1234"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(login.result(), 0);
            login.PasswordEdit()->setText(tries.at(i));
            QTest::keyClick(login.PasswordEdit(), Qt::Key_Return); // Enter logs in
            QCOMPARE(login.LoginTryCount(), i + 1);
            QCOMPARE(boxes.last().text, QString("사용자 정보를 확인바랍니다. (로그인 시도횟수 %1회)").arg(i + 1));
            QCOMPARE(boxes.last().detail, QString("사용자 암호를 확인바랍니다."));
        }
        QCOMPARE(boxes.count(), 3);
        QCOMPARE(login.result(), int(QDialog::Rejected));
        QCOMPARE(userControlRows(dm.Con()), rows); // failed attempts are not logged
        QVERIFY(dm.G_APP_USER.ID.isEmpty());
    }

    void loginUnknownOrUntrimmedId_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("unknown") << "ghost";
        // compared as typed: a leading blank finds no row (a trailing one is padded away
        // by MariaDB's comparison rules)
        QTest::newRow("leading blank") << " admin";
    }
    void loginUnknownOrUntrimmedId()
    {
        QFETCH(QString, id);
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        TfrmLogin login;
        login.UserIdEdit()->setText(id);
        login.PasswordEdit()->setText("admin1234");
        login.btnLoginClick();
        QCOMPARE(login.LoginTryCount(), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().detail, QString("등록된 사용자 아이디가 아닙니다."));
    }

    void loginDatabaseErrorCountsAsFailure()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QVERIFY(QSqlQuery(raw).exec("RENAME TABLE SCS_M_USER TO SCS_M_USER_AWAY"));
        TfrmLogin login;
        login.UserIdEdit()->setText("admin");
        login.PasswordEdit()->setText("admin1234");
        login.btnLoginClick();
        QVERIFY(QSqlQuery(raw).exec("RENAME TABLE SCS_M_USER_AWAY TO SCS_M_USER"));
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.requests().at(0).caption, QString("쿼리 실패"));
        QCOMPARE(boxes.requests().at(1).detail, QString("등록된 사용자 아이디가 아닙니다."));
        QCOMPARE(login.LoginTryCount(), 1);
        raw.close();
    }

    // A stored password the cipher cannot read is a wrong password to the operator, and
    // the reason goes to the log for the administrator.
    void loginUnreadableStoredPassword_data()
    {
        QTest::addColumn<QString>("keySetup");
        QTest::addColumn<QString>("storedPassword"); // empty: as installed
        QTest::addColumn<QString>("reason");
        QTest::newRow("key file missing") << "missing" << "" << "password key file .* is missing";
        QTest::newRow("another key") << "other" << "" << "does not open with this key";
        QTest::newRow("plain text stored") << "demo" << "admin1234" << "not an enciphered text";
    }
    void loginUnreadableStoredPassword()
    {
        QFETCH(QString, keySetup);
        QFETCH(QString, storedPassword);
        QFETCH(QString, reason);
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY(dm.DataModuleCreate());
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QSqlQuery old(raw);
        QVERIFY(old.exec("SELECT USER_PW FROM SCS_M_USER WHERE USER_ID = 'admin'") && old.next());
        const QString installed = old.value(0).toString();
        auto restore = qScopeGuard([&] {
            ResetPasswordKey();
            SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
            QSqlQuery q(raw);
            q.prepare("UPDATE SCS_M_USER SET USER_PW = :pw WHERE USER_ID = 'admin'");
            q.bindValue(":pw", installed);
            q.exec();
        });
        if (keySetup == "missing")
            SetPasswordKeyFile(folder.path() + "/absent.key");
        else if (keySetup == "other")
            SetPasswordKey(QByteArray(PasswordKeySize, 'k'));
        if (!storedPassword.isEmpty()) {
            QSqlQuery q(raw);
            q.prepare("UPDATE SCS_M_USER SET USER_PW = :pw WHERE USER_ID = 'admin'");
            q.bindValue(":pw", storedPassword);
            QVERIFY(q.exec());
        }
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("login: the stored password of admin cannot be read: .*" + reason));
        TfrmLogin login;
        login.UserIdEdit()->setText("admin");
        login.PasswordEdit()->setText("admin1234");
        login.btnLoginClick();
        QCOMPARE(login.LoginTryCount(), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().detail, QString("사용자 암호를 확인바랍니다."));
        QVERIFY(dm.G_APP_USER.ID.isEmpty());
    }

    void loginSucceeds()
    {
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QVERIFY(QSqlQuery(raw).exec("UPDATE SCS_M_USER SET USER_UPDATE = NOW(6), USER_CHECK = 6 WHERE USER_ID = 'admin'"));
        QVERIFY(QSqlQuery(raw).exec("DELETE FROM SCS_L_USERCONTROL WHERE USER_ID = 'admin'"));
        TfrmLogin login;
        login.UserIdEdit()->setText("admin");
        login.PasswordEdit()->setText("admin1234");
        login.btnLoginClick();
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(boxes.count(), 0);
        const ST_USER &u = dm.G_APP_USER;
        QCOMPARE(u.ID, QString("admin"));
        QCOMPARE(u.Pass, QString("admin1234"));
        QCOMPARE(u.Role, 1);
        QCOMPARE(u.RoleName, QString("메인관리자"));
        QCOMPARE(int(u.UserCheck), 6);
        QSqlQuery q(raw);
        QVERIFY(q.exec("SELECT CTL_CODE, CTL_VALUE, CTL_KIND, CTL_ALL, CTL_NO, CTL_DESC FROM SCS_L_USERCONTROL WHERE USER_ID = 'admin'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 160);
        QCOMPARE(q.value(1).toInt(), 0);
        QCOMPARE(q.value(2).toInt(), 3);
        QCOMPARE(q.value(3).toInt(), 0);
        QCOMPARE(q.value(4).toInt(), 0);
        QCOMPARE(q.value(5).toString(), QString("로그인"));
        QVERIFY(!q.next()); // exactly one row
        raw.close();
    }

    void loginGrades_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("storedGrade"); // -1: as the demo has it
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("roleName");
        QTest::newRow("operator") << "operator" << "oper1234" << -1 << 2 << "운영자";
        QTest::newRow("manager") << "manager" << "mgr1234" << -1 << 3 << "관리자";
        QTest::newRow("police") << "police" << "police1234" << -1 << 4 << "경찰서";
        QTest::newRow("grade 7 is operator") << "police" << "police1234" << 7 << 2 << "운영자";
    }
    void loginGrades()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(int, storedGrade);
        QFETCH(int, role);
        QFETCH(QString, roleName);
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QSqlQuery q(raw);
        q.prepare("SELECT AUT_GRADE FROM SCS_M_USER WHERE USER_ID = :ID");
        q.bindValue(":ID", id);
        QVERIFY(q.exec() && q.next());
        const int old = q.value(0).toInt();
        if (storedGrade >= 0) {
            q.prepare("UPDATE SCS_M_USER SET AUT_GRADE = :G WHERE USER_ID = :ID");
            q.bindValue(":G", storedGrade);
            q.bindValue(":ID", id);
            QVERIFY(q.exec());
        }
        TfrmLogin login;
        login.UserIdEdit()->setText(id);
        login.PasswordEdit()->setText(password);
        login.btnLoginClick();
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(dm.G_APP_USER.Role, role);
        QCOMPARE(dm.G_APP_USER.RoleName, roleName);
        q.prepare("UPDATE SCS_M_USER SET AUT_GRADE = :G WHERE USER_ID = :ID");
        q.bindValue(":G", old);
        q.bindValue(":ID", id);
        QVERIFY(q.exec());
        raw.close();
    }

    void loginPasswordExpiry_data()
    {
        QTest::addColumn<QString>("update"); // SQL expression for USER_UPDATE
        QTest::addColumn<QString>("check");  // SQL expression for USER_CHECK
        QTest::addColumn<bool>("warned");
        QTest::newRow("45 days, 1 month") << "NOW(6) - INTERVAL 45 DAY" << "1" << true;
        QTest::newRow("29 days, 1 month") << "NOW(6) - INTERVAL 29 DAY" << "1" << false;
        QTest::newRow("validity 0") << "NOW(6)" << "0" << true;
        QTest::newRow("validity null") << "NOW(6)" << "NULL" << true;
        QTest::newRow("never changed") << "NULL" << "12" << true;
        QTest::newRow("5 months of 6") << "NOW(6) - INTERVAL 150 DAY" << "6" << false;
    }
    void loginPasswordExpiry()
    {
        QFETCH(QString, update);
        QFETCH(QString, check);
        QFETCH(bool, warned);
        ConsoleFolder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY2(dm.DataModuleCreate(), qPrintable(CurrentMsgDlgService() ? LastBoxText() : QString()));
        QSqlDatabase raw = TestDb::open(kDb, "db_raw");
        QVERIFY(QSqlQuery(raw).exec(QString("UPDATE SCS_M_USER SET USER_UPDATE = %1, USER_CHECK = %2 WHERE USER_ID = 'manager'")
                                        .arg(update, check)));
        TfrmLogin login;
        login.UserIdEdit()->setText("manager");
        login.PasswordEdit()->setText("mgr1234");
        login.btnLoginClick();
        QCOMPARE(login.result(), int(QDialog::Accepted)); // the login goes on after the warning
        QCOMPARE(boxes.count(), warned ? 1 : 0);
        if (warned) {
            QCOMPARE(boxes.last().kind, mkWarning);
            QCOMPARE(boxes.last().text, QString("귀하의 비밀번호가 만료되었습니다."));
            QCOMPARE(boxes.last().caption, QString("비밀번호 만료"));
        }
        raw.close();
    }

    void passwordAgeMonths_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("months");
        QTest::newRow("29 days") << 29 << 0;
        QTest::newRow("30 days") << 30 << 0;
        QTest::newRow("31 days") << 31 << 1;
        QTest::newRow("45 days") << 45 << 1;
        QTest::newRow("61 days") << 61 << 2;
        QTest::newRow("in the future") << -45 << 1;
    }
    void passwordAgeMonths()
    {
        QFETCH(int, days);
        QFETCH(int, months);
        const QDateTime now(QDate(2024, 3, 1), QTime(12, 0));
        QCOMPARE(PasswordAgeMonths(now.addDays(-days), now), qint64(months));
    }
};

QTEST_MAIN(TestStartupDb)
#include "tst_startup_db.moc"
