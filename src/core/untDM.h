#pragma once
// The data module: created before any window and alive for the whole run (one
// instance, the global DM). It holds the settings read from the INI file (fields
// G_...), the database settings (FDB, private), the user-interface thread's
// database connection, the logged-in operator, the translated texts (fields T_...)
// and the operator event log writer.
//
// Threads: everything here belongs to the user-interface thread, except
// ConnectionFactory(), whose copy worker threads use to open their own connections.
#include <QLocale>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "foundation/TypeUnit.h"

class QWidget;
#include "foundation/DbConnection.h"


// Applies a visual style by name ("Windows", the default, keeps the platform's look).
// An unknown name keeps the current style. No effect without a widget application.
bool ApplyVisualStyle(const QString &themeName);

// ---------------------------------------------------------------------------
// The data module
// ---------------------------------------------------------------------------

class TDM : public QObject
{
    Q_OBJECT
public:
    // appPath: the program folder (default: the executable's folder); programName: the
    // base name of the settings and language files (default: the executable's name).
    explicit TDM(const QString &appPath = QString(), const QString &programName = QString(),
                 QObject *parent = nullptr);
    ~TDM() override;

    // Start-up: LoadConfig, paths and URLs, language, local address, connection and
    // schema check. False when the program cannot go on (no connection or a failed
    // check); the reason has been shown.
    bool DataModuleCreate();
    // Reads the INI file into the fields (writes back empty SIL_FILE / LANGUAGE).
    void LoadConfig();
    // Builds G_APP_PATH, G_APP_PATH_FOR_WEB and the page URLs.
    void BuildPaths();
    // Loads the language file and chooses the language (G_L10N_...).
    bool LoadLanguage();

    QString IniFileName() const;
    QString ProgramName() const { return FProgramName; }
    // Percent-encoding of a folder for page addresses (backslashes become slashes).
    static QString EncodeForWeb(const QString &path);
    // Address of a file under the program folder, e.g. PageUrl("html/main.html").
    QUrl PageUrl(const QString &relative) const;

    // --- database -------------------------------------------------------------
    // The database settings (read-only).
    const TDBInfo &DBInfo() const { return FDB; }
    // The connection of the user-interface thread. A connection found closed is
    // reopened here, before the next statement (silently; still closed on failure).
    QSqlDatabase Con();
    bool Connected() const;
    // Builds the connections of worker threads from the settings.
    TDBConnectionFactory ConnectionFactory() const;
    // Opens the connection; on failure the box IDS_1 / IDS_2 with the reason.
    bool ConnectDB();
    void DisconnectDB();

    // Schema check: creates the tables and columns an older schema lacks. False after
    // a failure (shown). SchemaStatements() lists the DDL of the last check.
    bool CheckObjects();
    QStringList SchemaStatements() const { return FSchemaStatements; }
    bool IsExistTable(const QString &TableName);
    bool IsExistColumn(const QString &TableName, const QString &ColumnName);

    // Error filter of the main connection. Connection-class errors close the
    // connection (reopened before the next statement); once the main window exists
    // (SetErrorFilterActive) they are also dropped. True when the error must be shown.
    bool ConError(const QSqlError &error);
    void SetErrorFilterActive(bool active) { FErrorFilterActive = active; }
    bool ErrorFilterActive() const { return FErrorFilterActive; }
    // Shows a database error as an error box (title G_APP_TITLE, detail the error
    // text) unless the filter drops it.
    void ShowDbError(QWidget *owner, const QSqlError &error, const QString &text,
                     const QString &caption);

    // Appends one row to SCS_L_USERCONTROL. False after an error, which has been shown.
    bool WriteEventControl(const QString &UserID, int EventID, int EventValue, int CtlKind,
                           bool CtlAll, int CtlTargetNo, const QString &RtnStr);
    // Runs the caller's prepared query and moves to its first row. True when a row
    // exists; False for an empty result or an error (shown: IDS_5 / IDS_4).
    bool QueryOpen(QSqlQuery &Query, QWidget *owner = nullptr);
    // Runs a statement; on error the same box as QueryOpen. True on success.
    bool ExecSQL(QSqlQuery &Query, QWidget *owner = nullptr);
    // The statement of WriteEventControl for a database type.
    static QString WriteEventControlSql(TDBType type);
    // A new query on Con().
    QSqlQuery NewQuery();

    // --- language ---------------------------------------------------------------
    // Text of the data module's table ([TDM]) in the active language.
    QString Text(const QString &key) const;
    // Copies the translated texts (T_..., G_APP_TITLE) from the [TDM] table.
    void UpdateStrings();
    // The T_ fields and their keys (for checks and tests).
    QList<QPair<QString, QString *>> TranslatedFields();

    // --- configuration read from the INI file at start ---------------------------
    bool G_SERVER_BIGENDIAN = false;
    QString G_HOST;
    int G_RC_CTRL_PORT = 12000;
    int G_RC_MNTR_PORT = 12000;
    int G_RC_MNTR_PERIOD = 1000;        // ms
    int G_RC_MNTR_RETRYPERIOD = 10000;  // ms
    int G_DB_CONNECTION_TIMEOUT = 3000; // ms (the driver gets seconds)
    int G_CONNECTION_TIMEOUT = 3000;    // ms, centre-server connect time-out
    int G_READ_TIMEOUT = 5000;          // ms, centre-server read time-out
    bool G_ORA_FUNC = true;
    bool G_NODE_VISIBLE = true;
    bool G_LINK_VISIBLE = true;
    bool G_TFDT_VISIBLE = true;
    bool G_TCDV_VISIBLE = true;
    bool G_SA_VISIBLE = true;
    bool G_LC_VISIBLE = true;
    bool G_MVMT_VISIBLE = true;
    QString G_THEME_NAME = QStringLiteral("Windows");
    TLCMoniteringOption G_LC_MNTR_OPTION = lcmoMulti;
    bool G_ADMIN_MODE = false;
    TMapBounds G_MAP_BOUNDS;
    qint8 G_NODE_MAXZOOM_OFFSET = 4;
    qint8 G_LINK_MAXZOOM_OFFSET = 4;
    qint8 G_LC_MAXZOOM_OFFSET = 5;
    qint8 G_SA_MAXZOOM_OFFSET = 5;
    qint8 G_TCDV_MAXZOOM_OFFSET = 4;
    qint8 G_TFDT_MAXZOOM_OFFSET = 4;
    qint8 G_MVMT_MAXZOOM_OFFSET = 4;
    qint8 G_MARKER_MAXZOOM_OFFSET = 4;
    QString G_L10N_SIL_FILE;
    QString G_L10N_LANGUAGE;
    QString G_TILE_URL;
    QString G_MAP_NAME = QStringLiteral("OSM");
    int G_MAP_MAX_ZOOM = 19;
    int G_APP_CTRL_PORT = 12022;
    bool G_GEOMETRY_FUNC = true;

    // --- derived and fixed --------------------------------------------------------
    QString G_EXCEL_PATH;          // empty: the desktop's default program opens files
    QString G_APP_PATH;            // program folder, with a trailing "/"
    QString G_APP_PATH_FOR_WEB;
    QString G_URL;                 // html/main.html
    QString G_MIN_URL;             // html/min.html
    QString G_EDITOR_URL;          // html/mvmt_editor.html
    QString G_MONITOR_URL;         // html/lc_monitoring.html
    QString G_LOCATION_URL;        // html/location.html
    QString G_NODE_EDITOR_URL;     // html/node_editor[.eng].html
    QString G_LINK_EDITOR_URL;     // html/link_editor.html
    QString G_TFDT_EDITOR_URL;     // html/tfdt_editor[.eng].html
    QString G_OVIK_EDITOR_URL;     // html/ovik_editor.html
    QString G_DEFAULT_URL = QStringLiteral("about:blank");
    QString G_DIALOG_PATH;         // folder of the last file dialog
    QLocale FS;                    // format settings of dates in queries and reports
    QString G_LOCAL_IP;
    QString G_APP_TITLE;           // strAPP_TITLE

    // --- filled by other windows --------------------------------------------------
    ST_USER G_APP_USER;
    QString G_MAP_INIT_LAT;
    QString G_MAP_INIT_LNG;
    QString G_MAP_INIT_ZOOM;
    int G_MVMT_SIZE = 10;
    int G_MINIMAP_WIDTH = 250;
    int G_MINIMAP_HEIGHT = 250;
    int G_MINIMAP_ZOOM_LEVEL = 5;
    QString G_NodeGeoJson;
    QString G_LinkGeoJson;
    bool G_APP_SERVER = false;
    QString G_BRT_SERVER;
    int G_BRT_MNTR_PERIOD = 0;
    QString G_WAS_SERVER;
    int G_WAS_PORT = 0;
    int G_WAS_MNTR_PERIOD = 0;

    // --- translated texts (UpdateStrings) -----------------------------------------
    // code-to-text words
    QString T_OVERSAT_1, T_OVERSAT_0, T_POWER_FAIL_1, T_POWER_FAIL_0, T_COMM_FAIL_1,
        T_COMM_FAIL_0, T_DUAL, T_SINGLE, T_ON, T_OFF, T_CONFLICT_1, T_CONFLICT_0,
        T_LIGHT_OUT_1, T_LIGHT_OUT_0, T_FLASH_1, T_FLASH_0, T_ERROR, T_NORMAL,
        T_APPLY_STATUS_1, T_APPLY_STATUS_0, T_LOCK_STATUS1_1, T_LOCK_STATUS1_0,
        T_LOCK_STATUS2_1, T_LOCK_STATUS2_0, T_DB_READONLY_1, T_DB_READONLY_0,
        T_TURN_LEFT_1, T_TURN_LEFT_0, T_ENABLE, T_DISABLE, T_DOOR_OPEN_1, T_DOOR_OPEN_0,
        T_SPILLBACK_PERM_1, T_SPILLBACK_PERM_0, T_SPILLBACK_CTRL_MODE_1,
        T_SPILLBACK_CTRL_MODE_0, T_SPILLBACK_PHASE_END_1, T_SPILLBACK_PHASE_END_0,
        T_DEFINED_0, T_DEFINED_1, T_TRC_CONTROL_0, T_TRC_CONTROL_1;
    QString T_LC_STATUS_COMM_FAIL, T_LC_STATUS_CENTER_MODE, T_LC_STATUS_LOCAL_MODE,
        T_LC_STATUS_FAIL, T_LC_STATUS_TRANSE, T_LC_STATUS_FLASH, T_LC_STATUS_LIGHT_OFF,
        T_LC_STATUS_MAN_OPR, T_LC_STATUS_MAN_FLASH, T_LC_STATUS_MAN_LIGHT_OFF,
        T_LC_STATUS_PAHSE_HOLD, T_LC_STATUS_SCU_MODE, T_LC_STATUS_PPC_MODE;
    QString T_LC_OPRMODE_SCU_FIXCYCLE, T_LC_OPRMODE_NOACT_OFFLINE, T_LC_OPRMODE_ACT_OFFLINE,
        T_LC_OPRMODE_HALF_ACT, T_LC_OPRMODE_ACT_ONLINE, T_LC_OPRMODE_NOACT_ONLINE,
        T_LC_OPRMODE_SCU_FIXCYCLE_2, T_LC_OPRMODE_NOACT_OFFLINE_2, T_LC_OPRMODE_ACT_OFFLINE_2,
        T_LC_OPRMODE_HALF_ACT_2, T_LC_OPRMODE_ACT_ONLINE_2, T_LC_OPRMODE_NOACT_ONLINE_2;
    QString T_LC_FLASH_CAUSE_POWERON, T_LC_FLASH_CAUSE_NORMAL, T_LC_FLASH_CAUSE_PPSW,
        T_LC_FLASH_CAUSE_CONFLICT, T_LC_FLASH_CAUSE_DBERR, T_LC_FLASH_CAUSE_LIGHTOFF;
    QString T_GENERAL, T_SPECIAL1, T_SPECIAL2, T_SPECIAL3, T_SPECIAL4, T_SPECIAL5, T_PED,
        T_3COLOR, T_4COLOR;
    // window titles and the missing-value word
    QString T_NotExist, T_SaSTitle, T_TcdvSTitle, T_UserSTitle, T_TfdtSTitle, T_LinkSTitle;
    // search and selection
    QString T_SearchPeriodMsg, T_SearchPeriodCaption, T_SearchNoResultMsg, T_SearchResultMsg,
        T_SelectIntMsg, T_SelectIntCaption, T_SelectGroupMsg, T_SelectGroupCaption,
        T_SelectDetMsg, T_SelectDetCaption;
    // search types of the history and statistics windows
    QString T_SRCHTYPE_SA, T_SRCHTYPE_SA_ALL, T_SRCHTYPE_SA_ALL_CURRENT, T_SRCHTYPE_TCDV,
        T_SRCHTYPE_TCDV_ALL, T_SRCHTYPE_TCDV_SA, T_SRCHTYPE_TCDV_SA_CURRENT,
        T_SRCHTYPE_TCDV_ALL_CURRENT, T_SRCHTYPE_TFDT_TCDV, T_SRCHTYPE_TFDT_ALL,
        T_SRCHTYPE_USER, T_SRCHTYPE_USER_ALL, T_SRCHTYPE_TCDV_RESULT, T_SRCHTYPE_TCDV_REQUEST,
        T_SRCHTYPE_TCDV_TRC, T_SRCHTYPE_TCDV15MINTRAFFIC, T_SRCHTYPE_TCDVHOURLYTRAFFIC,
        T_SRCHTYPE_TCDVDAILYTRAFFIC, T_SRCHTYPE_TCDVMONTHLYTRAFFIC,
        T_SRCHTYPE_TCDVYEARLYTRAFFIC, T_SRCHTYPE_TFDT15MINTRAFFIC,
        T_SRCHTYPE_TFDTHOURLYTRAFFIC, T_SRCHTYPE_TFDTDAILYTRAFFIC,
        T_SRCHTYPE_TFDTMONTHLYTRAFFIC, T_SRCHTYPE_TFDTYEARLYTRAFFIC;
    // exchange texts of the centre-server threads
    QString T_UpDn1, T_UpDn2, T_UpDn3, T_UpDn4, T_UpDn5, T_UpDn6, T_UpDn7, T_UpDn8, T_UpDn9,
        T_UpDn10, T_UpDn11, T_UpDn12, T_UpDn13, T_UpDn14, T_UpDn15, T_UpDn16, T_UpDn17,
        T_UpDn18, T_UpDn19, T_UpDn20, T_UpDn21, T_UpDn22, T_UpDn23, T_UpDn24;
    // dialog captions and common messages (T_FailCountMsg, T_ValidationCountMsg:
    // "%d" format; T_ProcessDoneMsg: "%s" format)
    QString T_Confirm, T_CheckRequiredField, T_DuplicateDataMsg, T_DuplicateMsg,
        T_FileOpenCaption, T_FileOpenMsg, T_MapViewCheckUrlMsg, T_MapViewLoadFailCpation,
        T_SaveSuccessMsg, T_SaveSuccessCaption, T_SaveFailMsg, T_SaveFailCaption,
        T_SaveQryMsg, T_SaveQryCaption, T_ValidationCaption, T_DialogCaption,
        T_QueryFailMsg, T_QueryFailCaption, T_CancelCaption, T_CloseCaption,
        T_FailCountMsg, T_ValidationCountMsg, T_SendDoneMsg, T_ProcessDoneMsg;
    QString T_SAVEDIALOG_FILTER; // "...(*.xlsx)|*.xlsx"
    QString T_DB_ERROR[41];      // T_DB_ERROR_01 .. _40 at [1] .. [40]

signals:
    // After UpdateStrings ran for a new language.
    void stringsUpdated();

private:
    void siLangChangeLanguage(int language);
    void ReadDBSettings();
    bool RunSchemaStatement(const QString &sql, QSqlError *error);

    QString FAppPath;
    QString FProgramName;
    TDBInfo FDB;
    QString FConName;
    bool FConnectedOnce = false;
    bool FErrorFilterActive = false;
    QStringList FSchemaStatements;
};

// The one data module of the program (created by the start-up sequence).
extern TDM *DM;
