#include "core/untDM.h"

#include <QApplication>
#include <QAtomicInt>
#include <QStyle>
#include <QStyleFactory>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSqlDriver>
#include <QSqlRecord>
#include <QThread>

#include "foundation/IniFile.h"
#include "foundation/LinkGeometry.h"
#include "core/Quorval.h"
#include "core/siLang.h"

TDM *DM = nullptr;


bool ApplyVisualStyle(const QString &themeName)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return false;
    if (themeName.isEmpty() || themeName.compare(QLatin1String("Windows"), Qt::CaseInsensitive) == 0)
        return true; // the platform's own look
    const QStringList keys = QStyleFactory::keys();
    for (const QString &k : keys) {
        if (k.compare(themeName, Qt::CaseInsensitive) == 0) {
            QApplication::setStyle(k);
            return true;
        }
    }
    qWarning("visual style \"%s\" does not exist; the current style stays", qPrintable(themeName));
    return false;
}

// ===========================================================================
// The data module
// ===========================================================================

TDM::TDM(const QString &appPath, const QString &programName, QObject *parent)
    : QObject(parent)
{
    FAppPath = appPath.isEmpty() ? QCoreApplication::applicationDirPath() : appPath;
    FProgramName = programName;
    if (FProgramName.isEmpty())
        FProgramName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (FProgramName.isEmpty())
        FProgramName = QStringLiteral("signal-console");
    FConName = QStringLiteral("DM_Con_%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
    BuildPaths();
    connect(TsiLangDispatcher::instance(), &TsiLangDispatcher::languageChanged, this,
            &TDM::siLangChangeLanguage);
}

TDM::~TDM()
{
    if (QSqlDatabase::contains(FConName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(FConName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(FConName);
    }
    if (DM == this)
        DM = nullptr;
}

QString TDM::IniFileName() const
{
    return QDir(FAppPath).filePath(FProgramName + QStringLiteral(".ini"));
}

bool TDM::DataModuleCreate()
{
    LoadConfig();
    BuildPaths();
    G_DIALOG_PATH = GetDeskTopPath();
    if (G_DIALOG_PATH.isEmpty() || !QFileInfo(G_DIALOG_PATH).isDir())
        G_DIALOG_PATH = QDir::homePath();
    FS = QLocale::system();
    LoadLanguage();

    // This computer's IPv4 address (no name look-up: the interfaces are asked).
    G_LOCAL_IP = QStringLiteral("Unkown");
    QString loopback;
    const auto addresses = QNetworkInterface::allAddresses();
    for (const QHostAddress &a : addresses) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        if (a.isLoopback()) {
            if (loopback.isEmpty())
                loopback = a.toString();
            continue;
        }
        G_LOCAL_IP = a.toString();
        loopback.clear();
        break;
    }
    if (!loopback.isEmpty())
        G_LOCAL_IP = loopback;

    if (!ConnectDB())
        return false;
    return CheckObjects();
}

void TDM::ReadDBSettings()
{
    TIniFile ini(IniFileName());
    FDB = ::ReadDBSettings(ini, &G_ORA_FUNC);
}

void TDM::LoadConfig()
{
    TIniFile ini(IniFileName());
    const QString env = QStringLiteral("COM-ENV");

    G_SERVER_BIGENDIAN = ini.ReadBool(env, "RC_BIG_ENDIAN", false);
    G_HOST.clear();
    const QString url = ini.ReadString(env, "RC_URL", "");
    if (!url.isEmpty())
        G_HOST = GetIPFromHost(url);
    if (G_HOST.trimmed().isEmpty())
        G_HOST = ini.ReadString(env, "RC_IP", "");
    G_CONNECTION_TIMEOUT = 3000;
    G_READ_TIMEOUT = 5000;
    G_RC_CTRL_PORT = ini.ReadInteger(env, "RC_CTRL_PORT", 12000);
    G_RC_MNTR_PORT = ini.ReadInteger(env, "RC_MNTR_PORT", 12000);
    G_RC_MNTR_PERIOD = ini.ReadInteger(env, "RC_MNTR_PERIOD", 1) * 1000;
    G_RC_MNTR_RETRYPERIOD = ini.ReadInteger(env, "RC_MNTR_RETRYPERIOD", 10) * 1000;
    G_DB_CONNECTION_TIMEOUT = ini.ReadInteger(env, "DB_CONNECTION_TIMEOUT", 3) * 1000;

    ReadDBSettings();

    G_EXCEL_PATH.clear(); // the desktop's default program opens workbooks

    G_NODE_VISIBLE = ini.ReadBool(env, "NODE_VISIBLE", true);
    G_LINK_VISIBLE = ini.ReadBool(env, "LINK_VISIBLE", true);
    G_TFDT_VISIBLE = ini.ReadBool(env, "TFDT_VISIBLE", true);
    G_TCDV_VISIBLE = ini.ReadBool(env, "TCDV_VISIBLE", true);
    G_SA_VISIBLE = ini.ReadBool(env, "SA_VISIBLE", true);
    G_LC_VISIBLE = ini.ReadBool(env, "LC_VISIBLE", true);
    G_MVMT_VISIBLE = ini.ReadBool(env, "MVMT_VISIBLE", true);
    G_THEME_NAME = ini.ReadString(env, "THEME_NAME", "Windows");
    ApplyVisualStyle(G_THEME_NAME);

    G_LC_MNTR_OPTION = ini.ReadInteger(env, "LC_MNTR_OPTION", 1) == 0 ? lcmoSingle : lcmoMulti;
    G_ADMIN_MODE = ini.ReadInteger(env, "ADMIN_MODE", 0) == 1;

    G_MAP_BOUNDS.FSouth = ini.ReadString("MAP_BOUNDS", "SOUTH", "");
    G_MAP_BOUNDS.FWest = ini.ReadString("MAP_BOUNDS", "WEST", "");
    G_MAP_BOUNDS.FNorth = ini.ReadString("MAP_BOUNDS", "NORTH", "");
    G_MAP_BOUNDS.FEast = ini.ReadString("MAP_BOUNDS", "EAST", "");

    const QString map = QStringLiteral("MAP");
    G_NODE_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "NODE_MAXZOOM_OFFSET", 4));
    G_LINK_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "LINK_MAXZOOM_OFFSET", 4));
    G_LC_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "LC_MAXZOOM_OFFSET", 5));
    G_SA_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "SA_MAXZOOM_OFFSET", 5));
    G_TCDV_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "TCDV_MAXZOOM_OFFSET", 4));
    G_TFDT_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "TFDT_MAXZOOM_OFFSET", 4));
    G_MVMT_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "G_MVMT_MAXZOOM_OFFSET", 4));
    G_MARKER_MAXZOOM_OFFSET = qint8(ini.ReadInteger(map, "G_MARKER_MAXZOOM_OFFSET", 4));

    G_L10N_SIL_FILE = ini.ReadString("L10N", "SIL_FILE", "");
    G_L10N_LANGUAGE = ini.ReadString("L10N", "LANGUAGE", "");

    QString tile = ini.ReadString(env, "TILE_URL", "../tiles");
    if (tile.endsWith(QLatin1Char('/')))
        tile.chop(1);
    G_TILE_URL = tile + QStringLiteral("/{z}/{x}/{y}.png");
    G_MAP_NAME = ini.ReadString(env, "MAP_NAME", "OSM").toUpper();
    static const QStringList smallZoomMaps = {"DAUM", "NAVER", "BAROEMAP", "DAWULMAP", "GBMAP"};
    G_MAP_MAX_ZOOM = smallZoomMaps.contains(G_MAP_NAME) ? 13 : 19;

    if (G_L10N_SIL_FILE.isEmpty()) {
        G_L10N_SIL_FILE = FProgramName + QStringLiteral(".sil");
        ini.WriteString("L10N", "SIL_FILE", G_L10N_SIL_FILE);
    }
    if (G_L10N_LANGUAGE.isEmpty()) {
        G_L10N_LANGUAGE = QStringLiteral("Korean");
        ini.WriteString("L10N", "LANGUAGE", G_L10N_LANGUAGE);
    }

    G_APP_CTRL_PORT = ini.ReadInteger(env, "APP_CTRL_PORT", 12022);
    G_GEOMETRY_FUNC = ini.ReadBool(env, "GEOMETRY_FUNC", true);
}

QString TDM::EncodeForWeb(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    static const QString special = QStringLiteral("*<>#%\"{}|\\^[]`+");
    QString out;
    const QList<uint> ucs = p.toUcs4();
    for (const uint u : ucs) {
        const char32_t cp = char32_t(u);
        const QString ch = QString::fromUcs4(&cp, 1);
        if (u <= 32 || u >= 128 || special.contains(ch)) {
            for (const char b : ch.toUtf8())
                out += QStringLiteral("%%1").arg(uchar(b), 2, 16, QLatin1Char('0')).toUpper();
        } else {
            out += ch;
        }
    }
    return out;
}

QUrl TDM::PageUrl(const QString &relative) const
{
    return QUrl::fromLocalFile(G_APP_PATH + relative);
}

void TDM::BuildPaths()
{
    G_APP_PATH = QDir::cleanPath(QFileInfo(FAppPath).absoluteFilePath());
    if (!G_APP_PATH.endsWith(QLatin1Char('/')))
        G_APP_PATH += QLatin1Char('/');
    G_APP_PATH_FOR_WEB = EncodeForWeb(G_APP_PATH);
    auto page = [this](const QString &rel) {
        return PageUrl(rel).toString(QUrl::FullyEncoded);
    };
    const QString suffix = G_L10N_LANGUAGE == QLatin1String("Korean") ? QString()
                                                                      : QStringLiteral(".eng");
    G_URL = page(QStringLiteral("html/main.html"));
    G_MIN_URL = page(QStringLiteral("html/min.html"));
    G_EDITOR_URL = page(QStringLiteral("html/mvmt_editor.html"));
    G_MONITOR_URL = page(QStringLiteral("html/lc_monitoring.html"));
    G_LOCATION_URL = page(QStringLiteral("html/location.html"));
    G_NODE_EDITOR_URL = page(QStringLiteral("html/node_editor%1.html").arg(suffix));
    G_LINK_EDITOR_URL = page(QStringLiteral("html/link_editor.html"));
    G_TFDT_EDITOR_URL = page(QStringLiteral("html/tfdt_editor%1.html").arg(suffix));
    G_OVIK_EDITOR_URL = page(QStringLiteral("html/ovik_editor.html"));
    G_DEFAULT_URL = QStringLiteral("about:blank");
}

bool TDM::LoadLanguage()
{
    TsiLangDispatcher *d = TsiLangDispatcher::instance();
    const bool loaded = d->LoadFromFile(G_APP_PATH + QStringLiteral("res/") + G_L10N_SIL_FILE);
    const int lang = TsiLangDispatcher::LanguageFromName(G_L10N_LANGUAGE);
    if (d->ActiveLanguage() != lang)
        d->SetActiveLanguage(lang); // runs UpdateStrings through the change event
    else
        siLangChangeLanguage(lang);
    return loaded;
}

QString TDM::Text(const QString &key) const
{
    return TsiLangDispatcher::instance()->Text(QStringLiteral("TDM"), key);
}

QList<QPair<QString, QString *>> TDM::TranslatedFields()
{
    QList<QPair<QString, QString *>> f = {
        {QStringLiteral("strAPP_TITLE"), &G_APP_TITLE},
    {QStringLiteral("strOVERSAT_1"), &T_OVERSAT_1},
    {QStringLiteral("strOVERSAT_0"), &T_OVERSAT_0},
    {QStringLiteral("strPOWER_FAIL_1"), &T_POWER_FAIL_1},
    {QStringLiteral("strPOWER_FAIL_0"), &T_POWER_FAIL_0},
    {QStringLiteral("strCOMM_FAIL_1"), &T_COMM_FAIL_1},
    {QStringLiteral("strCOMM_FAIL_0"), &T_COMM_FAIL_0},
    {QStringLiteral("strDUAL"), &T_DUAL},
    {QStringLiteral("strSINGLE"), &T_SINGLE},
    {QStringLiteral("strON"), &T_ON},
    {QStringLiteral("strOFF"), &T_OFF},
    {QStringLiteral("strCONFLICT_1"), &T_CONFLICT_1},
    {QStringLiteral("strCONFLICT_0"), &T_CONFLICT_0},
    {QStringLiteral("strLIGHT_OUT_1"), &T_LIGHT_OUT_1},
    {QStringLiteral("strLIGHT_OUT_0"), &T_LIGHT_OUT_0},
    {QStringLiteral("strFLASH_1"), &T_FLASH_1},
    {QStringLiteral("strFLASH_0"), &T_FLASH_0},
    {QStringLiteral("strERROR"), &T_ERROR},
    {QStringLiteral("strNORMAL"), &T_NORMAL},
    {QStringLiteral("strAPPLY_STATUS_1"), &T_APPLY_STATUS_1},
    {QStringLiteral("strAPPLY_STATUS_0"), &T_APPLY_STATUS_0},
    {QStringLiteral("strLOCK_STATUS1_1"), &T_LOCK_STATUS1_1},
    {QStringLiteral("strLOCK_STATUS1_0"), &T_LOCK_STATUS1_0},
    {QStringLiteral("strLOCK_STATUS2_1"), &T_LOCK_STATUS2_1},
    {QStringLiteral("strLOCK_STATUS2_0"), &T_LOCK_STATUS2_0},
    {QStringLiteral("strDB_READONLY_1"), &T_DB_READONLY_1},
    {QStringLiteral("strDB_READONLY_0"), &T_DB_READONLY_0},
    {QStringLiteral("strTURN_LEFT_1"), &T_TURN_LEFT_1},
    {QStringLiteral("strTURN_LEFT_0"), &T_TURN_LEFT_0},
    {QStringLiteral("strENABLE"), &T_ENABLE},
    {QStringLiteral("strDISABLE"), &T_DISABLE},
    {QStringLiteral("strDOOR_OPEN_1"), &T_DOOR_OPEN_1},
    {QStringLiteral("strDOOR_OPEN_0"), &T_DOOR_OPEN_0},
    {QStringLiteral("strSPILLBACK_PERM_1"), &T_SPILLBACK_PERM_1},
    {QStringLiteral("strSPILLBACK_PERM_0"), &T_SPILLBACK_PERM_0},
    {QStringLiteral("strSPILLBACK_CTRL_MODE_1"), &T_SPILLBACK_CTRL_MODE_1},
    {QStringLiteral("strSPILLBACK_CTRL_MODE_0"), &T_SPILLBACK_CTRL_MODE_0},
    {QStringLiteral("strSPILLBACK_PHASE_END_1"), &T_SPILLBACK_PHASE_END_1},
    {QStringLiteral("strSPILLBACK_PHASE_END_0"), &T_SPILLBACK_PHASE_END_0},
    {QStringLiteral("strDEFINED_0"), &T_DEFINED_0},
    {QStringLiteral("strDEFINED_1"), &T_DEFINED_1},
    {QStringLiteral("strTRC_CONTROL_0"), &T_TRC_CONTROL_0},
    {QStringLiteral("strTRC_CONTROL_1"), &T_TRC_CONTROL_1},
    {QStringLiteral("strLC_STATUS_COMM_FAIL"), &T_LC_STATUS_COMM_FAIL},
    {QStringLiteral("strLC_STATUS_CENTER_MODE"), &T_LC_STATUS_CENTER_MODE},
    {QStringLiteral("strLC_STATUS_LOCAL_MODE"), &T_LC_STATUS_LOCAL_MODE},
    {QStringLiteral("strLC_STATUS_FAIL"), &T_LC_STATUS_FAIL},
    {QStringLiteral("strLC_STATUS_TRANSE"), &T_LC_STATUS_TRANSE},
    {QStringLiteral("strLC_STATUS_FLASH"), &T_LC_STATUS_FLASH},
    {QStringLiteral("strLC_STATUS_LIGHT_OFF"), &T_LC_STATUS_LIGHT_OFF},
    {QStringLiteral("strLC_STATUS_MAN_OPR"), &T_LC_STATUS_MAN_OPR},
    {QStringLiteral("strLC_STATUS_MAN_FLASH"), &T_LC_STATUS_MAN_FLASH},
    {QStringLiteral("strLC_STATUS_MAN_LIGHT_OFF"), &T_LC_STATUS_MAN_LIGHT_OFF},
    {QStringLiteral("strLC_STATUS_PAHSE_HOLD"), &T_LC_STATUS_PAHSE_HOLD},
    {QStringLiteral("strLC_STATUS_SCU_MODE"), &T_LC_STATUS_SCU_MODE},
    {QStringLiteral("strLC_STATUS_PPC_MODE"), &T_LC_STATUS_PPC_MODE},
    {QStringLiteral("strLC_OPRMODE_SCU_FIXCYCLE"), &T_LC_OPRMODE_SCU_FIXCYCLE},
    {QStringLiteral("strLC_OPRMODE_NOACT_OFFLINE"), &T_LC_OPRMODE_NOACT_OFFLINE},
    {QStringLiteral("strLC_OPRMODE_ACT_OFFLINE"), &T_LC_OPRMODE_ACT_OFFLINE},
    {QStringLiteral("strLC_OPRMODE_HALF_ACT"), &T_LC_OPRMODE_HALF_ACT},
    {QStringLiteral("strLC_OPRMODE__ACT_ONLINE"), &T_LC_OPRMODE_ACT_ONLINE},
    {QStringLiteral("strLC_OPRMODE_NOACT_ONLINE"), &T_LC_OPRMODE_NOACT_ONLINE},
    {QStringLiteral("strLC_OPRMODE_SCU_FIXCYCLE_2"), &T_LC_OPRMODE_SCU_FIXCYCLE_2},
    {QStringLiteral("strLC_OPRMODE_NOACT_OFFLINE_2"), &T_LC_OPRMODE_NOACT_OFFLINE_2},
    {QStringLiteral("strLC_OPRMODE_ACT_OFFLINE_2"), &T_LC_OPRMODE_ACT_OFFLINE_2},
    {QStringLiteral("strLC_OPRMODE_HALF_ACT_2"), &T_LC_OPRMODE_HALF_ACT_2},
    {QStringLiteral("strLC_OPRMODE__ACT_ONLINE_2"), &T_LC_OPRMODE_ACT_ONLINE_2},
    {QStringLiteral("strLC_OPRMODE_NOACT_ONLINE_2"), &T_LC_OPRMODE_NOACT_ONLINE_2},
    {QStringLiteral("strLC_FLASH_CAUSE_POWERON"), &T_LC_FLASH_CAUSE_POWERON},
    {QStringLiteral("strLC_FLASH_CAUSE_NORMAL"), &T_LC_FLASH_CAUSE_NORMAL},
    {QStringLiteral("strLC_FLASH_CAUSE_PPSW"), &T_LC_FLASH_CAUSE_PPSW},
    {QStringLiteral("strLC_FLASH_CAUSE_CONFLICT"), &T_LC_FLASH_CAUSE_CONFLICT},
    {QStringLiteral("strLC_FLASH_CAUSE_DBERR"), &T_LC_FLASH_CAUSE_DBERR},
    {QStringLiteral("strLC_FLASH_CAUSE_LIGHTOFF"), &T_LC_FLASH_CAUSE_LIGHTOFF},
    {QStringLiteral("strGENERAL"), &T_GENERAL},
    {QStringLiteral("strSPECIAL1"), &T_SPECIAL1},
    {QStringLiteral("strSPECIAL2"), &T_SPECIAL2},
    {QStringLiteral("strSPECIAL3"), &T_SPECIAL3},
    {QStringLiteral("strSPECIAL4"), &T_SPECIAL4},
    {QStringLiteral("strSPECIAL5"), &T_SPECIAL5},
    {QStringLiteral("strPED"), &T_PED},
    {QStringLiteral("str3COLOR"), &T_3COLOR},
    {QStringLiteral("str4COLOR"), &T_4COLOR},
    {QStringLiteral("strNotExist"), &T_NotExist},
    {QStringLiteral("strSaSTitle"), &T_SaSTitle},
    {QStringLiteral("strTcdvSTitle"), &T_TcdvSTitle},
    {QStringLiteral("strUserSTitle"), &T_UserSTitle},
    {QStringLiteral("strTfdtSTitle"), &T_TfdtSTitle},
    {QStringLiteral("strLinkSTitle"), &T_LinkSTitle},
    {QStringLiteral("strSearchPeriodMsg"), &T_SearchPeriodMsg},
    {QStringLiteral("strSearchPeriodCaption"), &T_SearchPeriodCaption},
    {QStringLiteral("strSearchNoResultMsg"), &T_SearchNoResultMsg},
    {QStringLiteral("strSearchResultMsg"), &T_SearchResultMsg},
    {QStringLiteral("strSelectIntMsg"), &T_SelectIntMsg},
    {QStringLiteral("strSelectIntCaption"), &T_SelectIntCaption},
    {QStringLiteral("strSelectGroupMsg"), &T_SelectGroupMsg},
    {QStringLiteral("strSelectGroupCaption"), &T_SelectGroupCaption},
    {QStringLiteral("strSelectDetMsg"), &T_SelectDetMsg},
    {QStringLiteral("strSelectDetCaption"), &T_SelectDetCaption},
    {QStringLiteral("strSRCHTYPE_SA"), &T_SRCHTYPE_SA},
    {QStringLiteral("strSRCHTYPE_SA_ALL"), &T_SRCHTYPE_SA_ALL},
    {QStringLiteral("strSRCHTYPE_SA_ALL_CURRENT"), &T_SRCHTYPE_SA_ALL_CURRENT},
    {QStringLiteral("strSRCHTYPE_TCDV"), &T_SRCHTYPE_TCDV},
    {QStringLiteral("strSRCHTYPE_TCDV_ALL"), &T_SRCHTYPE_TCDV_ALL},
    {QStringLiteral("strSRCHTYPE_TCDV_SA"), &T_SRCHTYPE_TCDV_SA},
    {QStringLiteral("strSRCHTYPE_TCDV_SA_CURRENT"), &T_SRCHTYPE_TCDV_SA_CURRENT},
    {QStringLiteral("strSRCHTYPE_TCDV_ALL_CURRENT"), &T_SRCHTYPE_TCDV_ALL_CURRENT},
    {QStringLiteral("strSRCHTYPE_TFDT_TCDV"), &T_SRCHTYPE_TFDT_TCDV},
    {QStringLiteral("strSRCHTYPE_TFDT_ALL"), &T_SRCHTYPE_TFDT_ALL},
    {QStringLiteral("strSRCHTYPE_USER"), &T_SRCHTYPE_USER},
    {QStringLiteral("strSRCHTYPE_USER_ALL"), &T_SRCHTYPE_USER_ALL},
    {QStringLiteral("strSRCHTYPE_TCDV_RESULT"), &T_SRCHTYPE_TCDV_RESULT},
    {QStringLiteral("strSRCHTYPE_TCDV_REQUEST"), &T_SRCHTYPE_TCDV_REQUEST},
    {QStringLiteral("strSRCHTYPE_TCDV_TRC"), &T_SRCHTYPE_TCDV_TRC},
    {QStringLiteral("strSRCHTYPE_TCDV15MINTRAFFIC"), &T_SRCHTYPE_TCDV15MINTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TCDVHOURLYTRAFFIC"), &T_SRCHTYPE_TCDVHOURLYTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TCDVDAILYTRAFFIC"), &T_SRCHTYPE_TCDVDAILYTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TCDVMONTHLYTRAFFIC"), &T_SRCHTYPE_TCDVMONTHLYTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TCDVYEARLYTRAFFIC"), &T_SRCHTYPE_TCDVYEARLYTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TFDT15MINTRAFFIC"), &T_SRCHTYPE_TFDT15MINTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TFDTHOURLYTRAFFIC"), &T_SRCHTYPE_TFDTHOURLYTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TFDTDAILYTRAFFIC"), &T_SRCHTYPE_TFDTDAILYTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TFDTMONTHLYTRAFFIC"), &T_SRCHTYPE_TFDTMONTHLYTRAFFIC},
    {QStringLiteral("strSRCHTYPE_TFDTYEARLYTRAFFIC"), &T_SRCHTYPE_TFDTYEARLYTRAFFIC},
    {QStringLiteral("strUpDn1"), &T_UpDn1},
    {QStringLiteral("strUpDn2"), &T_UpDn2},
    {QStringLiteral("strUpDn3"), &T_UpDn3},
    {QStringLiteral("strUpDn4"), &T_UpDn4},
    {QStringLiteral("strUpDn5"), &T_UpDn5},
    {QStringLiteral("strUpDn6"), &T_UpDn6},
    {QStringLiteral("strUpDn7"), &T_UpDn7},
    {QStringLiteral("strUpDn8"), &T_UpDn8},
    {QStringLiteral("strUpDn9"), &T_UpDn9},
    {QStringLiteral("strUpDn10"), &T_UpDn10},
    {QStringLiteral("strUpDn11"), &T_UpDn11},
    {QStringLiteral("strUpDn12"), &T_UpDn12},
    {QStringLiteral("strUpDn13"), &T_UpDn13},
    {QStringLiteral("strUpDn14"), &T_UpDn14},
    {QStringLiteral("strUpDn15"), &T_UpDn15},
    {QStringLiteral("strUpDn16"), &T_UpDn16},
    {QStringLiteral("strUpDn17"), &T_UpDn17},
    {QStringLiteral("strUpDn18"), &T_UpDn18},
    {QStringLiteral("strUpDn19"), &T_UpDn19},
    {QStringLiteral("strUpDn20"), &T_UpDn20},
    {QStringLiteral("strUpDn21"), &T_UpDn21},
    {QStringLiteral("strUpDn22"), &T_UpDn22},
    {QStringLiteral("strUpDn23"), &T_UpDn23},
    {QStringLiteral("strUpDn24"), &T_UpDn24},
    {QStringLiteral("strFailCountMsg"), &T_FailCountMsg},
    {QStringLiteral("strValidationCountMsg"), &T_ValidationCountMsg},
    {QStringLiteral("strProcessDoneMsg"), &T_ProcessDoneMsg},
    {QStringLiteral("strConfirm"), &T_Confirm},
    {QStringLiteral("strCheckRequiredField"), &T_CheckRequiredField},
    {QStringLiteral("strDuplicateDataMsg"), &T_DuplicateDataMsg},
    {QStringLiteral("strDuplicateMsg"), &T_DuplicateMsg},
    {QStringLiteral("strFileOpenCaption"), &T_FileOpenCaption},
    {QStringLiteral("strFileOpenMsg"), &T_FileOpenMsg},
    {QStringLiteral("strMapViewCheckUrlMsg"), &T_MapViewCheckUrlMsg},
    {QStringLiteral("strMapViewLoadFailCpation"), &T_MapViewLoadFailCpation},
    {QStringLiteral("strSaveSuccessMsg"), &T_SaveSuccessMsg},
    {QStringLiteral("strSaveSuccessCaption"), &T_SaveSuccessCaption},
    {QStringLiteral("strSaveFailMsg"), &T_SaveFailMsg},
    {QStringLiteral("strSaveFailCaption"), &T_SaveFailCaption},
    {QStringLiteral("strSaveQryMsg"), &T_SaveQryMsg},
    {QStringLiteral("strSaveQryCaption"), &T_SaveQryCaption},
    {QStringLiteral("strValidationCaption"), &T_ValidationCaption},
    {QStringLiteral("strDialogCaption"), &T_DialogCaption},
    {QStringLiteral("strQueryFailMsg"), &T_QueryFailMsg},
    {QStringLiteral("strQueryFailCaption"), &T_QueryFailCaption},
    {QStringLiteral("strCancelCaption"), &T_CancelCaption},
    {QStringLiteral("strCloseCaption"), &T_CloseCaption},
    {QStringLiteral("strSendDoneMsg"), &T_SendDoneMsg},
    {QStringLiteral("strSAVEDIALOG_FILTER"), &T_SAVEDIALOG_FILTER},
    };
    for (int i = 1; i <= 40; ++i)
        f.append({QStringLiteral("strDB_ERROR_%1").arg(i, 2, 10, QLatin1Char('0')), &T_DB_ERROR[i]});
    return f;
}

void TDM::UpdateStrings()
{
    const auto fields = TranslatedFields();
    for (const auto &f : fields)
        *f.second = Text(f.first);
}

void TDM::siLangChangeLanguage(int)
{
    UpdateStrings();
    emit stringsUpdated();
}

// ---------------------------------------------------------------------------
// Connection
// ---------------------------------------------------------------------------

TDBConnectionFactory TDM::ConnectionFactory() const
{
    return TDBConnectionFactory(FDB, qMax(1, G_DB_CONNECTION_TIMEOUT / 1000));
}

bool TDM::ConnectDB()
{
    DisconnectDB();
    QString error;
    QSqlDatabase db = ConnectionFactory().Open(FConName, &error);
    if (!db.isOpen()) {
        ShowMsgDlg(nullptr, G_APP_TITLE, Text(QStringLiteral("IDS_1")), Text(QStringLiteral("IDS_2")),
                   error, mkError);
        return false;
    }
    FConnectedOnce = true;
    return true;
}

void TDM::DisconnectDB()
{
    if (QSqlDatabase::contains(FConName)) {
        QSqlDatabase db = QSqlDatabase::database(FConName, false);
        db.close();
    }
    FConnectedOnce = false;
}

bool TDM::Connected() const
{
    return QSqlDatabase::contains(FConName) && QSqlDatabase::database(FConName, false).isOpen();
}

QSqlDatabase TDM::Con()
{
    if (!QSqlDatabase::contains(FConName))
        return QSqlDatabase::database(FConName, false);
    QSqlDatabase db = QSqlDatabase::database(FConName, false);
    if (FConnectedOnce && !db.isOpen())
        db.open(); // found closed: reopened before the next statement
    return db;
}

QSqlQuery TDM::NewQuery()
{
    return QSqlQuery(Con());
}

bool TDM::ConError(const QSqlError &error)
{
    const TDbErrorClass cls = ClassifyDbError(error, false);
    if (cls == TDbErrorClass::NoError)
        return false;
    if (cls == TDbErrorClass::Connection) {
        // The connection is of no use any more: close it, the next statement reopens it.
        if (QSqlDatabase::contains(FConName)) {
            QSqlDatabase db = QSqlDatabase::database(FConName, false);
            db.close();
        }
        return !FErrorFilterActive;
    }
    return true;
}

void TDM::ShowDbError(QWidget *owner, const QSqlError &error, const QString &text,
                      const QString &caption)
{
    if (ConError(error))
        ShowMsgDlg(owner, G_APP_TITLE, text, caption, error.text(), mkError);
}

bool TDM::QueryOpen(QSqlQuery &Query, QWidget *owner)
{
    // A failed prepare (e.g. on a connection the server dropped) is the error to report;
    // exec() would forget it.
    const QSqlError prepared = Query.lastError();
    if (prepared.isValid()) {
        Query.finish();
        ShowDbError(owner, prepared, Text(QStringLiteral("IDS_5")), Text(QStringLiteral("IDS_4")));
        return false;
    }
    if (!Query.exec()) {
        const QSqlError e = Query.lastError();
        Query.finish();
        ShowDbError(owner, e, Text(QStringLiteral("IDS_5")), Text(QStringLiteral("IDS_4")));
        return false;
    }
    if (!Query.next()) {
        Query.finish();
        return false;
    }
    return true;
}

bool TDM::ExecSQL(QSqlQuery &Query, QWidget *owner)
{
    const QSqlError prepared = Query.lastError();
    if (prepared.isValid()) {
        ShowDbError(owner, prepared, Text(QStringLiteral("IDS_5")), Text(QStringLiteral("IDS_4")));
        return false;
    }
    if (!Query.exec()) {
        const QSqlError e = Query.lastError();
        ShowDbError(owner, e, Text(QStringLiteral("IDS_5")), Text(QStringLiteral("IDS_4")));
        return false;
    }
    return true;
}

QString TDM::WriteEventControlSql(TDBType type)
{
    return QStringLiteral(" INSERT INTO SCS_L_USERCONTROL ( CTL_CREDATE, CTL_CODE, CTL_KIND, CTL_ALL,"
                          " CTL_NO, USER_ID, CTL_VALUE, CTL_DESC ) VALUES ( ")
        + (type == dtMariaDB ? QStringLiteral("CURRENT_TIMESTAMP(6)") : QStringLiteral("SYSTIMESTAMP"))
        + QStringLiteral(", :CTL_CODE, :CTL_KIND, :CTL_ALL, :CTL_NO, :USER_ID, :CTL_VALUE, :CTL_DESC ) ");
}

bool TDM::WriteEventControl(const QString &UserID, int EventID, int EventValue, int CtlKind,
                            bool CtlAll, int CtlTargetNo, const QString &RtnStr)
{
    QSqlQuery q(Con());
    if (!q.prepare(WriteEventControlSql(FDB.DBType))) {
        ShowDbError(nullptr, q.lastError(), Text(QStringLiteral("IDS_5")), Text(QStringLiteral("IDS_4")));
        return false;
    }
    q.bindValue(QStringLiteral(":CTL_CODE"), EventID);
    q.bindValue(QStringLiteral(":CTL_KIND"), CtlKind);
    q.bindValue(QStringLiteral(":CTL_ALL"), CtlAll ? 1 : 0);
    q.bindValue(QStringLiteral(":CTL_NO"), CtlTargetNo);
    q.bindValue(QStringLiteral(":USER_ID"), UserID);
    q.bindValue(QStringLiteral(":CTL_VALUE"), EventValue);
    q.bindValue(QStringLiteral(":CTL_DESC"), RtnStr.isNull() ? QString(QLatin1String("")) : RtnStr);
    // A row that was not written is never reported as written, even when the error
    // itself is dropped by the filter.
    return ExecSQL(q);
}

// ---------------------------------------------------------------------------
// Schema check
// ---------------------------------------------------------------------------

static bool existQuery(QSqlDatabase db, const QString &sql, const QList<QPair<QString, QVariant>> &binds,
                       bool *exists, QSqlError *error)
{
    QSqlQuery q(db);
    if (!q.prepare(sql)) {
        if (error) *error = q.lastError();
        return false;
    }
    for (const auto &b : binds)
        q.bindValue(b.first, b.second);
    if (!q.exec() || !q.next()) {
        if (error) *error = q.lastError();
        return false;
    }
    *exists = q.value(0).toLongLong() > 0;
    return true;
}

static QList<QPair<QString, QVariant>> existBinds(const TDBInfo &db, const QString &table,
                                                  const QString &column = QString())
{
    QList<QPair<QString, QVariant>> b;
    if (db.DBType == dtMariaDB)
        b.append({QStringLiteral(":SCHEMA"), QString(db.DBName)});
    b.append({QStringLiteral(":TABLE_NAME"), table});
    if (!column.isNull())
        b.append({QStringLiteral(":COLUMN_NAME"), column});
    return b;
}

bool TDM::IsExistTable(const QString &TableName)
{
    bool exists = false;
    existQuery(Con(), SchemaSql::ExistTable(FDB.DBType), existBinds(FDB, TableName), &exists, nullptr);
    return exists;
}

bool TDM::IsExistColumn(const QString &TableName, const QString &ColumnName)
{
    bool exists = false;
    existQuery(Con(), SchemaSql::ExistColumn(FDB.DBType), existBinds(FDB, TableName, ColumnName),
               &exists, nullptr);
    return exists;
}

bool TDM::RunSchemaStatement(const QString &sql, QSqlError *error)
{
    FSchemaStatements << sql.trimmed();
    QSqlQuery q(Con());
    if (!q.exec(sql)) {
        if (error) *error = q.lastError();
        return false;
    }
    return true;
}

bool TDM::CheckObjects()
{
    FSchemaStatements.clear();
    QSqlDatabase db = Con();
    const TDBType type = FDB.DBType;
    QSqlError err;
    auto fail = [&]() {
        ShowMsgDlg(nullptr, G_APP_TITLE, Text(QStringLiteral("IDS_3")), Text(QStringLiteral("IDS_4")),
                   err.text(), mkError);
        return false;
    };

    // 1, 2: tables
    const QList<QPair<QString, QString>> tables = {
        {QStringLiteral("SCS_M_LAYER"), SchemaSql::LayerTable(type)},
        {QStringLiteral("SCS_M_INTFORCETOD"), SchemaSql::ForceTodTable(type)},
    };
    for (const auto &t : tables) {
        bool exists = false;
        if (!existQuery(db, SchemaSql::ExistTable(type), existBinds(FDB, t.first), &exists, &err))
            return fail();
        if (!exists && !t.second.isEmpty() && !RunSchemaStatement(t.second, &err))
            return fail();
    }

    // 3: the link's spatial column
    if (G_GEOMETRY_FUNC) {
        bool exists = true;
        bool ok = existQuery(db, SchemaSql::ExistColumn(type),
                             existBinds(FDB, QStringLiteral("SCS_M_LINK"), QStringLiteral("GEOM")),
                             &exists, &err);
        if (ok && !exists) {
            const bool ownTransaction = db.driver()->hasFeature(QSqlDriver::Transactions)
                && db.transaction();
            QSqlQuery q(db);
            switch (type) {
            case dtOracle:
                ok = RunSchemaStatement(QStringLiteral(" ALTER TABLE SCS_M_LINK ADD GEOM SDO_GEOMETRY DEFAULT NULL "), &err)
                    && RunSchemaStatement(QStringLiteral(
                           " INSERT INTO USER_SDO_GEOM_METADATA (TABLE_NAME, COLUMN_NAME, DIMINFO, SRID)"
                           " SELECT 'SCS_M_LINK', 'GEOM', SDO_DIM_ARRAY ( SDO_DIM_ELEMENT ('Long',-180,180,0.5),"
                           " SDO_DIM_ELEMENT ('Lat',-90,90,0.5) ), 4326 FROM DUAL WHERE NOT EXISTS(SELECT *"
                           " FROM USER_SDO_GEOM_METADATA WHERE TABLE_NAME = 'SCS_M_LINK' AND COLUMN_NAME = 'GEOM') "), &err);
                [[fallthrough]];
            case dtTibero:
                if (ok && type == dtTibero)
                    ok = RunSchemaStatement(QStringLiteral(" ALTER TABLE SCS_M_LINK ADD GEOM GEOMETRY DEFAULT NULL "), &err);
                if (ok) {
                    ok = q.exec(QStringLiteral(" SELECT COUNT(*) AS CNT FROM USER_INDEXES WHERE TABLE_NAME = 'SCS_M_LINK'"
                                               " AND INDEX_NAME = 'SCS_M_LINK_IDX' "));
                    if (!ok)
                        err = q.lastError();
                    const bool hasIndex = ok && q.next() && q.value(0).toInt() > 0;
                    if (ok && !hasIndex)
                        ok = RunSchemaStatement(type == dtOracle
                                                    ? QStringLiteral(" CREATE INDEX SCS_M_LINK_IDX ON SCS_M_LINK (GEOM) INDEXTYPE IS MDSYS.SPATIAL_INDEX ")
                                                    : QStringLiteral(" CREATE INDEX SCS_M_LINK_IDX ON SCS_M_LINK (GEOM) RTREE "),
                                                &err);
                }
                if (ok) {
                    FSchemaStatements << LinkGeometry::UpdateSql(type, false).trimmed();
                    ok = LinkGeometry::Rebuild(db, type, QString(), &err);
                }
                break;
            case dtMariaDB:
                ok = RunSchemaStatement(QStringLiteral(" ALTER TABLE SCS_M_LINK ADD COLUMN GEOM LINESTRING DEFAULT NULL AFTER LINK_TYPE "), &err);
                if (ok) {
                    FSchemaStatements << LinkGeometry::UpdateSql(type, false).trimmed();
                    ok = LinkGeometry::Rebuild(db, type, QString(), &err);
                }
                break;
            }
            if (ok && ownTransaction && !db.commit()) {
                ok = false;
                err = db.lastError();
            }
            if (!ok && ownTransaction)
                db.rollback();
        }
        if (!ok) {
            ShowMsgDlg(nullptr, G_APP_TITLE, QStringLiteral("GEOM 컬럼생성 도중 문제가 발생했습니다."),
                       QStringLiteral("컬럼 생성 실패"), err.text(), mkError);
            G_GEOMETRY_FUNC = false;
        }
    }

    // 4: columns
    for (const TSchemaColumn &c : SchemaSql::Columns()) {
        bool exists = false;
        if (!existQuery(db, SchemaSql::ExistColumn(type), existBinds(FDB, c.Table, c.Column), &exists, &err))
            return fail();
        if (exists)
            continue;
        if (!RunSchemaStatement(SchemaSql::AddColumn(type, c), &err))
            return fail();
        if (c.FollowUp.isEmpty())
            continue;
        FSchemaStatements << c.FollowUp.trimmed();
        QSqlQuery q(db);
        q.prepare(c.FollowUp);
        if (c.Column == QLatin1String("USER_UPDATE"))
            q.bindValue(QStringLiteral(":USER_UPDATE"), QDateTime::currentDateTime());
        else
            q.bindValue(QStringLiteral(":USER_CHECK"), 1);
        if (!q.exec()) {
            err = q.lastError();
            return fail();
        }
    }
    return true;
}
