#pragma once
// What the main window offers the windows around it besides its class:
//   - IMapBridge: how it runs scripts in its map page (the map view controller in
//     the program, a recording stand-in in tests and benchmarks);
//   - IMonitorView: the one hook of every live view that the monitoring cycle
//     refreshes after each state image (and after a failed exchange);
//   - the numbers of the window messages it accepts, kept for reference (here they
//     are public slots of TfrmMain).
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <functional>

#include "centrelink/RC2MMIUnit.h"

class QWidget;

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

// What a live view gets after every state image, and after a failed exchange.
struct TMonitorRefresh
{
    // The latest state image (all zero before the first one arrived).
    const TST_VESK_STATE *Image = nullptr;
    // The live state set: after a failed exchange every record reads "not monitored".
    const TLC_INFO_SET *LcInfoSet = nullptr;
    // Time stamp of the latest image and the same as a local date and time.
    TTimeVal PacketTime;
    QDateTime PacketDateTime;
    // True when this refresh follows a decoded image; false after a failure.
    bool Monitored = false;
    // The movement refresh flag (REFRESH_MVMT_TCDV_M) was raised: intersection
    // monitors clear and redraw their movement arrows (ClearMvmt).
    bool RefreshMovements = false;
};

// A window refreshed by the monitoring cycle. The main window calls the views in a
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
// the main window's monitor list instead (one per intersection).
enum TMonitorViewKind {
    mvkGroupMonitor = 0, // TfrmSA_M.UpdateSAMotInfo
    mvkCurrentEvent,     // TfrmCURR_EV.UpdateEvnts
    mvkSystemMonitor,    // TfrmSYS_M.RepaintCells
    mvkStateList,        // TfrmTCDV_M_State.RefreshOprState (real time only)
    mvkVipPanel,         // the VIP panel's refresh (visible only)
    mvkCount
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
