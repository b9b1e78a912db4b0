#pragma once
// The emergency-vehicle panel ("긴급상황정보"): the unfinished services of the
// emergency-vehicle phone application, one grid row and one map marker each; the
// selected service's latest route on the map and its events in a second grid. The
// operator can add a service with a draggable marker (saved where the marker was
// dropped), delete a service that is only requested and mark one as finished. The
// tables are polled every second while the panel is open.
//
// Three parts:
//   TAppEmergencyDb    the statements on SCS_M_APP_EMERGENCY, SCS_L_APP_EVENT and
//                      SCS_L_APP_ROUTE (values always bound);
//   TAppEmergencyList  the service grid's rows with their row states ("I" added
//                      here and not saved, "C" seen by the current poll) and the
//                      merge of a poll;
//   TAppEmergencyPanel the panel widget (pnlAppEmergency) with its actions.
//
// What the main window does with TAppEmergencyPanel:
//   - creates it in the map's right-hand side area with SetPage(MapBridge()) and
//     SetCloseOtherPanels(...) (closes the VIP and traffic-information panels);
//   - actAppEmergencyOpen toggles it (actAppEmergencyOpenExecute), enabled by
//     CanToggle(); at shutdown, when open, ClosePanel();
//   - native calls of the page: HandleNative(name, args) takes "dragEnd" (service,
//     latitude, longitude) and "selectServiceID" (service).
#include <QAction>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <functional>

#include "core/MainContracts.h"
#include "foundation/TypeUnit.h"

class TPageMessageTable;
class QMenu;
class QPushButton;
class QLabel;
class QTableWidget;
class QTimer;

// One service as the list query reads it.
struct TAppService
{
    QString ServiceId;
    QString ServiceName;
    QString Lat;
    QString Lng;
    int Status = 0; // 0 requested, 1 in progress, 2 finished
    QDateTime CreateDate;
    // "lat,lng" (the grid's position column).
    QString Position() const { return Lat + QLatin1Char(',') + Lng; }
};

// One event of a service.
struct TAppEvent
{
    QString ServiceId;
    QString CreateText; // YYYYMMDDHH24MISSFF
    QVariant Lat;
    QVariant Lng;
    QVariant Speed; // null when unknown
    QVariant LcNo;  // null when none
    QVariant Description;
};

class TAppEmergencyDb
{
public:
    TAppEmergencyDb(QSqlDatabase db, TDBType type) : FDb(db), FType(type) {}

    // Statements.
    static QString ListSql();
    static QString RouteSql(TDBType type);
    static QString EventSql(TDBType type, bool newerOnly);
    static QString InsertSql();
    static QStringList DeleteSqls();
    static QString FinishSql();

    // Services not finished, by creation time. False on error (*error).
    bool LoadOpenServices(QList<TAppService> &rows, QString *error = nullptr);
    // The newest route text; *found false when the service has none.
    bool LoadRoute(const QString &serviceId, QString *route, bool *found, QString *error = nullptr);
    // Events in time order; with afterCreateText only those newer than it.
    bool LoadEvents(const QString &serviceId, const QString &afterCreateText, QList<TAppEvent> &events,
                    QString *error = nullptr);
    bool InsertService(const QString &serviceId, const QString &name, const QString &lat, const QString &lng,
                       QString *error = nullptr);
    // The service, its events and its routes, in one transaction (rolled back on error).
    bool DeleteService(const QString &serviceId, QString *error = nullptr);
    // STATUS := 2.
    bool FinishService(const QString &serviceId, QString *error = nullptr);

    // "교차로[%d] : ", "속도 %dkm/h" (", " when a description follows), the description.
    static QString EventDescription(const TAppEvent &e);
    // "S" + YYMMDDHHNNSS of the local time.
    static QString NewServiceId(const QDateTime &now);

private:
    QSqlDatabase FDb;
    TDBType FType;
};

// A row of the service grid.
struct TAppServiceRow
{
    QString ServiceId;
    QString ServiceName;
    QString Position; // "lat,lng"
    int Status = 0;
    QDateTime CreateDate;
    QString State;    // "I", "C" or empty
};

class TAppEmergencyList
{
public:
    QList<TAppServiceRow> Rows;

    int IndexOf(const QString &serviceId) const;
    bool Adding() const; // a row in state "I" exists

    // What a poll changed.
    struct TPollChanges
    {
        QList<TAppService> Added;  // new rows: their markers are to be created
        QStringList Removed;       // rows gone: their markers are to be removed
    };
    // Merges the rows of a poll (steps 2, 3 and 5): new services are appended (before
    // the row being added, when there is one), known ones get their status, and
    // rows no longer polled go, except those in state "I". A failed or empty poll
    // removes every row but those in state "I".
    TPollChanges MergePoll(const QList<TAppService> &polled);
    // Rows of opening: one per service, empty row state.
    void Load(const QList<TAppService> &services);
    // A new service row in state "I" with status 0.
    void AddNew(const QString &serviceId);
    // Removes the rows in state "I" (from the last up); returns their identifiers.
    QStringList CancelNew();
};

// Page scripts of the panel (identifiers become page variables "M_" + identifier).
namespace AppEmergencyScript {
// The page variable of a service's marker.
QString MarkerVar(const QString &serviceId);
QString ClearAll();
QString Marker(const TAppService &s);
QString RemoveMarker(const QString &serviceId);
QString ClearRoute();
QString Route(const QString &route);
QString PanTo(const QString &position);
QString NewMarker(const QString &serviceId, const QString &popupText);
QString CancelMarker(const QString &serviceId);
QString Tooltip(const QString &serviceId, const QString &name);
QString Saved(const QString &serviceId);
} // namespace AppEmergencyScript

class TAppEmergencyPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TAppEmergencyPanel(QWidget *parent = nullptr);
    ~TAppEmergencyPanel() override;

    void SetPage(IMapBridge *page) { FPage = page; }
    void SetCloseOtherPanels(std::function<void()> fn) { FCloseOtherPanels = std::move(fn); }
    // The connection (default: the data module's).
    void SetDatabase(std::function<QSqlDatabase()> db, TDBType type);

    bool IsPanelOpen() const { return FOpen; }
    TAppEmergencyMode Mode() const { return FAppEmergencyMode; }
    QString ServiceID() const { return FServiceID; }
    QString RouteJson() const { return FRouteJson; }
    const TAppEmergencyList &List() const { return FList; }

    // Actions.
    void actAppEmergencyOpenExecute(); // toggle
    void ClosePanel();                 // when open
    void actAppEmergencyAddExecute();
    void actAppEmergencySaveExecute();
    void actAppEmergencyDelExecute();
    void actAppEmergencyChangeStatusExecute();
    // Update rules.
    bool CanToggle() const;    // actAppEmergencyButtonUpdate
    bool CanSave() const;      // actAppEmergencySaveUpdate
    bool CanDelete() const;    // actAppEmergencyDelUpdate

    // Timer and grid events.
    void ttAppEmergencyTimer();
    void gtvAppEmergencyFocusedRecordChanged();
    void gtvAppEmergencyDblClick();
    void LoadAppRoute(const QString &serviceId);
    void LoadAppEvents(const QString &serviceId);
    // Focuses the row of a service (selects it); false when it is not listed.
    bool FocusService(const QString &serviceId);
    // Changes the name of the row in state "I" (the name cell's edit).
    void SetNewServiceName(const QString &serviceId, const QString &name);

    // Native calls of the page; true when taken.
    bool HandleNative(const QString &name, const QVariantList &args);
    // Registers "dragEnd" and "selectServiceID" with the page's table.
    void RegisterPageMessages(TPageMessageTable &table);
    void dragEnd(const QString &serviceId, const QString &lat, const QString &lng);
    void selectServiceID(const QString &serviceId);

    // Widgets and actions.
    QTableWidget *gtvAppEmergency = nullptr;
    QTableWidget *gtvAppEmergencyLog = nullptr;
    QTimer *ttAppEmergency = nullptr;
    QTimer *ttAppEmergencyOpen = nullptr;
    QAction *actAppEmergencyOpen = nullptr;
    QAction *actAppEmergencyClose = nullptr;
    QAction *actAppEmergencyAdd = nullptr;
    QAction *actAppEmergencySave = nullptr;
    QAction *actAppEmergencyDel = nullptr;
    QAction *actAppEmergencyChangeStatus = nullptr;
    QMenu *pmAppEmergency = nullptr;

    // Columns of the two grids.
    enum { scServiceId = 0, scServiceName, scPosition, scStatus, scCreateDate, scState, scCount };
    enum { ecRowNo = 0, ecCreateDate, ecDescription, ecLat, ecLng, ecCount };

signals:
    void openChanged(bool open);

private:
    void BuildUi();
    void Retranslate();
    void UpdateActions();
    bool CommitNameEdit();
    void SyncGrid(const QString &focusId);
    void RunScript(const QString &script);
    void ClearSelected();
    void RemoveRow(const QString &serviceId);
    QString FocusedId() const;
    TAppEmergencyDb Db() const;
    QString StatusText(int status) const;

    TAppEmergencyList FList;
    IMapBridge *FPage = nullptr;
    std::function<void()> FCloseOtherPanels;
    std::function<QSqlDatabase()> FDbFn;
    TDBType FDbType = dtMariaDB;
    bool FHaveDbType = false;
    TAppEmergencyMode FAppEmergencyMode = aemNormal;
    QString FServiceID;
    QString FRouteJson;
    QString FLastFocusId;
    bool FOpen = false;
    bool FSyncing = false;
    QLabel *lblTitle = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnDel = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnClose = nullptr;
};
