#pragma once
// What every window around the main window shares with it, below the main window's
// own library so that the libraries of those windows never include it:
//   - IMapBridge: how scripts run in the map page (the map view controller in the
//     program, a recording stand-in in tests and benchmarks);
//   - IMonitorView and TMonitorRefresh: the one hook of every live view that the
//     monitoring cycle refreshes after each state image (and after a failed exchange);
//   - IMainWindow: what a window opened from the main window may ask of it;
//   - TMainOpeners: the registry of window classes through which the main window's
//     actions open their windows. Every library registers its own windows in one
//     function of its own (RegisterCoreWindows, RegisterControlWindows, ...), which
//     main.cpp calls before the main window is created;
//   - the numbers of the window messages the main window accepts (for reference;
//     they are public slots of the main window) and the state-list filter.
// The link's records (state image, live state set) are only named here.
#include <QList>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

#include "core/LcStatusColor.h"

class QObject;
class QWidget;
struct TST_VESK_STATE;
class TLC_INFO_SET;

// ---------------------------------------------------------------------------
// The map page
// ---------------------------------------------------------------------------

class IMapBridge
{
public:
    virtual ~IMapBridge() = default;

    // Runs the script in the page (nothing is returned).
    virtual void ExecuteJavaScript(const QString &script) = 0;
    // The browser exists (scripts that must run regardless need only this).
    virtual bool BrowserExists() const = 0;
    // From a load request until the page reported that it is ready (loadEnd).
    virtual bool IsLoading() const = 0;
    virtual void SetIsLoading(bool loading) = 0;
    virtual void SetShowLoadingPanel(bool show) = 0;
    // Loads an address; the initialisation procedure runs when it has loaded.
    virtual void Load(const QString &url) = 0;
    virtual void Reload() = 0;
    virtual void ShowDevTools() {}
    // The procedure run after every load of the page (the main window's InitMapPage).
    virtual void SetMapViewInit(std::function<void()> init) = 0;
    // The browser's widget (for its on-screen rectangle and focus); may be null.
    virtual QWidget *View() const { return nullptr; }

    // Page scripts may run: the browser exists and the page is not loading.
    bool IsPageReady() const { return BrowserExists() && !IsLoading(); }
};

// ---------------------------------------------------------------------------
// Live views
// ---------------------------------------------------------------------------

// The state image as the views share it: every new image is a new snapshot, and a
// view that keeps one keeps it alive (never a pointer into an image that the next
// one frees).
using TStateImageRef = std::shared_ptr<const TST_VESK_STATE>;

// What a live view gets after every state image, and after a failed exchange.
struct TMonitorRefresh
{
    // The latest state image (all zero before the first one arrived).
    TStateImageRef Image;
    // The live state set: after a failed exchange every record reads "not monitored".
    const TLC_INFO_SET *LcInfoSet = nullptr;
    // Time stamp of the latest image (seconds and microseconds) and the same as a
    // local date and time.
    qint32 PacketSeconds = 0;
    qint32 PacketMicroseconds = 0;
    QDateTime PacketDateTime;
    // True when this refresh follows a decoded image; false after a failure.
    bool Monitored = false;
    // The movement refresh flag (REFRESH_MVMT_TCDV_M) was raised: intersection
    // monitors clear and redraw their movement arrows (ClearMvmt).
    bool RefreshMovements = false;
    // The intersections whose decoded status changed with this image (ascending);
    // when AllLcsChanged is set (after a failure, a reload of the set, the first
    // image) every intersection counts as changed. A view may skip what did not change.
    QList<int> ChangedLcNos;
    bool AllLcsChanged = true;
};

// A window refreshed by the monitoring cycle. The monitoring hub calls the views in a
// fixed order (intersection monitors, group monitor, current events, whole-system
// monitor, state list, VIP panel), all on the user-interface thread.
class IMonitorView
{
public:
    virtual ~IMonitorView() = default;
    // One refresh (DisplyTCDVSecInfo, UpdateSAMotInfo, UpdateEvnts, RepaintCells,
    // RefreshOprState, the VIP panel's refresh).
    virtual void RefreshFromImage(const TMonitorRefresh &refresh) = 0;
    // Whether this view wants the refresh now (the state list: its real-time box is
    // ticked; the VIP panel: it is visible). Windows that exist want it.
    virtual bool WantsRefresh() const { return true; }
    // The group monitor is re-targeted when another group is selected (SelectSA).
    virtual void SetTargetGroup(int /*saNo*/) {}
};

// The single live views (one of each at most); intersection monitors are kept in
// the hub's monitor list instead (one per intersection).
enum TMonitorViewKind {
    mvkGroupMonitor = 0, // TfrmSA_M.UpdateSAMotInfo
    mvkCurrentEvent,     // TfrmCURR_EV.UpdateEvnts
    mvkSystemMonitor,    // TfrmSYS_M.RepaintCells
    mvkStateList,        // TfrmTCDV_M_State.RefreshOprState (real time only)
    mvkVipPanel,         // the VIP panel's refresh (visible only)
    mvkCount
};

// ---------------------------------------------------------------------------
// The main window as the windows it opens see it
// ---------------------------------------------------------------------------

class IMainWindow
{
public:
    virtual ~IMainWindow() = default;
    // The window itself (owner of owned windows, context of connections).
    virtual QWidget *MainWidget() = 0;
    // The live state set the monitoring cycle refreshes.
    virtual const TLC_INFO_SET *LiveLcInfoSet() const = 0;
    // The map page.
    virtual IMapBridge *MapBridge() const = 0;
    // Window messages: select a group, locate an intersection.
    virtual void LocateSA(int groupId) = 0;
    virtual void LocateTCDV(int lcNo) = 0;

    // Live views of many intersections (whole system, group, state list, events).
    // Registers a view with the monitoring cycle; it leaves the cycle when `window`
    // is destroyed.
    virtual void RegisterMonitorView(TMonitorViewKind /*kind*/, IMonitorView * /*view*/, QObject * /*window*/) {}
    // Pans the map to an intersection (PanToTCDV).
    virtual void PanToLc(int lcNo) { LocateTCDV(lcNo); }
    // Group names (FSA_NameList), groups with an outline (FSA_BoundsList), the
    // intersections with a marker (FLC_List).
    virtual QMap<int, QString> SaNameList() const { return {}; }
    virtual QList<int> SaOutlineList() const { return {}; }
    virtual QList<int> LcMarkerList() const { return {}; }
    // The state colours of the legend.
    virtual TLcStatusColors LcStatusColors() const { return TLcStatusColors::Defaults(); }
};

// ---------------------------------------------------------------------------
// Window messages (reference numbers; the handlers are public slots of TfrmMain)
// ---------------------------------------------------------------------------

enum TMainWindowMessage : int {
    WM_USER_BASE = 0x0400,
    wmLocateSA = WM_USER_BASE + 100,      // WmLocateSA(group): locate a group
    wmLocateTCDV = WM_USER_BASE + 101,    // WmLocateTCDV(intersection): locate an intersection
    wmReloadLists = WM_USER_BASE + 102,   // WmReloadLists(): lists, trees and markers again
    wmPanToLatLng = WM_USER_BASE + 1001,  // WmPanToLatLng(lat, lng): pan the map to a point
    wmAllRunCancelling = WM_USER_BASE + 1002, // batch panels (transfer window)
    wmAllRunCancel = WM_USER_BASE + 1003      // batch panels (transfer window)
};

// The filter a click on a status counter hands to the intersection state list.
struct TStateListFilter
{
    // Mode counter: the item of the mode radio group (grpOpr); -1 for a state counter.
    int ModeItem = -1;
    // State counter: the item of the state check group (grpOprSt) to tick; -1 for a
    // mode counter.
    int StateItem = -1;
};

// ---------------------------------------------------------------------------
// Window openers
// ---------------------------------------------------------------------------
//
// A library registers how each of its windows is created (and, when its entry
// properties are plain methods, how they are set); from then on the main window's
// action for that class opens it:
//
//     void RegisterHistoryWindows()
//     {
//         TMainOpeners::Register(QStringLiteral("TfrmTFDT_HS"), {
//             [](const TOpenContext &c) { return new TfrmTFDT_HS(c.Owner); },
//             [](QWidget *w, const QString &setter, const QVariant &v) {
//                 if (setter == QLatin1String("TCDV_ID")) static_cast<TfrmTFDT_HS *>(w)->SetTCDV_ID(v.toInt());
//             }});
//     }
//
// Without a Set function the setters are given as Qt properties (setProperty), so a
// window that declares Q_PROPERTY(int TCDV_ID WRITE SetTCDV_ID) needs none. A window
// that opens at a place of its own says so with its Placement.

// What a window factory gets.
struct TOpenContext
{
    IMainWindow *Main = nullptr;
    QWidget *Owner = nullptr; // the main window, or nullptr for the application
    QString ActionName;
    QString Caption;
    int SA_ID = 0;
    int TCDV_ID = 0;
};

// Where a window opens besides its entry properties. The map editors (TFormOvikEditor,
// TfrmSimpleNodeEditor, TfrmSimpleTFDTEditor, TPPCLinkForm, TfrmSA_E_Conf) register
// with oplMapStart, the movement editor (TfrmTCDV_E_PhaseMvmt) with oplSelectedLc and
// the intersection state list (TfrmTCDV_M_State) with oplMainTopRight.
enum TOpenPlacement {
    oplDefault = 0,
    // Map editors: FLat, FLng and FZoom := the initial map position of the data module.
    oplMapStart,
    // FLat, FLng := the position of the selected intersection (when it has one).
    oplSelectedLc,
    // At the main window's top right (14 pixels in from its right edge, 55 down).
    oplMainTopRight
};

struct TWindowClassHooks
{
    // Creates the window (not shown). May return nullptr (nothing opened).
    std::function<QWidget *(const TOpenContext &)> Create;
    // Applies one entry property; default: QObject::setProperty.
    std::function<void(QWidget *, const QString &, const QVariant &)> Set;
    // Runs after the setters, before showing (e.g. placement); optional.
    std::function<void(QWidget *, const TOpenContext &)> BeforeShow;
    // Runs after showing (e.g. a first refresh); optional.
    std::function<void(QWidget *, const TOpenContext &)> AfterShow;
    TOpenPlacement Placement = oplDefault;
};

class TMainOpeners
{
public:
    static void Register(const QString &windowClass, TWindowClassHooks hooks);
    static void Unregister(const QString &windowClass);
    static bool IsRegistered(const QString &windowClass);
    static const TWindowClassHooks *Hooks(const QString &windowClass);
    // Applies one entry property through the class's Set function (or setProperty).
    static void Apply(const TWindowClassHooks &hooks, QWidget *w, const QString &setter, const QVariant &value);

    // Run when the main window closes, before the windows it owns go with it: a
    // library whose windows may be inside a running operation (a control window
    // waiting on the centre server) detaches them here so that they finish first.
    using TCloseHook = std::function<void(QWidget *owner)>;
    static void AddMainCloseHook(TCloseHook hook);
    static void RunMainCloseHooks(QWidget *owner);
};
