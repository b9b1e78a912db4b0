#pragma once
// The console's main window, the hub of every other window: created after a
// successful login and alive until the program ends. It builds its menu bar, owns
// the two communication logs and the current-event window, loads the lists of
// intersections and groups, the trees and the map layers, keeps the live state set
// that the monitoring cycle refreshes every monitoring period, shows the map page,
// the legend and the status counters, and keeps its settings in the INI file.
//
// Hooks for the windows written elsewhere:
//   - live views implement IMonitorView (MainWindowIntf.h) and register with
//     RegisterMonitorView (one of each kind) or, for intersection monitors, with
//     AddLcMonitor (one per intersection); the cycle refreshes them in a fixed order;
//   - SetLcMonitorFactory creates the intersection monitor (OpenLCMonitor);
//   - SetCurrentEventFactory creates the current-event window at start-up;
//   - SetStateListOpener opens the state list on a counter click;
//   - every other window is opened by its action through the registry of window
//     classes (TMainOpeners::Register in MainActionsUnit.h) and kept once in the
//     one-instance window registry (WindowRegistry.h);
//   - the menu bar is built by MenuUnit (MakeTwoLevelMenu, grade rules);
//     SetMenuBuilder replaces it (tests);
//   - formClosing() is the moment the side panels close at shutdown.
// Window messages are public slots (numbers in MainWindowIntf.h).
#include <QAction>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QMutex>
#include <QPointer>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "mainwindow/MainMapPageUnit.h"
#include "mainwindow/MainSettingsUnit.h"
#include "mainwindow/MainTreeModels.h"
#include "mainwindow/MainWindowIntf.h"
#include "mainwindow/MonitorThreadUnit.h"
#include "centrelink/RC2MMIUnit.h"
#include "foundation/TypeUnit.h"

class QLabel;
class QPushButton;
class QLineEdit;
class QMenu;
class QSplitter;
class QTableWidget;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class TAppEmergencyPanel;
class TVipPanel;
class TBRTThread;
class TWASThread;
class QTreeView;
class TLegendPanel;
class TColorShape;
class TMapViewController;
class TTfdtInfoThread;
class TsiLangLinked;
struct TStatusCounterDef;
struct THostRequestHooks;

class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    // bridge: a page bridge to use instead of the map view (tests and benchmarks; not
    // owned). Without one the window creates its map view controller for G_URL.
    explicit TfrmMain(QWidget *parent = nullptr, IMapBridge *bridge = nullptr);
    ~TfrmMain() override;

    // --- hooks of windows written elsewhere ----------------------------------------
    // Creates an intersection monitor for OpenLCMonitor (owner, live record, movement
    // colour, second movement colour). The window should implement IMonitorView.
    using TLcMonitorFactory = std::function<QWidget *(TfrmMain *, const PSTT_LC_INFO &, const QColor &, const QColor &)>;
    static void SetLcMonitorFactory(TLcMonitorFactory factory);
    // Creates the current-event window, hidden and owned by the main window, at start.
    using TWindowFactory = std::function<QWidget *(TfrmMain *)>;
    static void SetCurrentEventFactory(TWindowFactory factory);
    // Opens (or brings forward) the state list and applies a counter's filter.
    using TStateListOpener = std::function<void(TfrmMain *, const TStateListFilter &)>;
    static void SetStateListOpener(TStateListOpener opener);
    // Fills the two-level menu for admin mode and grade (and binds grade rules).
    using TMenuBuilder = std::function<void(TfrmMain *, bool adminMode, int grade, TArrayOvikTwoLevelMenu &menu)>;
    static void SetMenuBuilder(TMenuBuilder builder);
    // Starting the local application server and sending it a command (tests replace them).
    using TAppServerLauncher = std::function<bool(const QString &program)>;
    using TAppServerSender = std::function<int(const QString &command, bool *connected)>;
    static void SetAppServerHooks(TAppServerLauncher launcher, TAppServerSender sender);

    void RegisterMonitorView(TMonitorViewKind kind, IMonitorView *view);
    void UnregisterMonitorView(TMonitorViewKind kind, IMonitorView *view);
    IMonitorView *MonitorView(TMonitorViewKind kind) const;
    // The list of open intersection monitors (FTCDV_MList): one per intersection.
    void AddLcMonitor(int lcNo, QWidget *window);
    void RemoveLcMonitor(int lcNo);
    QWidget *LcMonitor(int lcNo) const;
    // "number=window" lines, in opening order.
    QStringList LcMonitorList() const;

    // --- data that other windows read ------------------------------------------------
    TLC_INFO_SET G_LC_INFO_SET;
    const TST_VESK_STATE &m_scs_state() const { return *FImage; }
    TTimeVal m_PacketTime;
    TMmiMain m_MmiMain;
    const TMonitorCounters &Counters() const { return FCounters; }
    QMap<int, QString> FSA_NameList;
    QMap<int, QString> FSA_BoundsList;
    // FLC_List and the class lists of the markers (refilled by DrawLCMarkers).
    TLcMarkerLists FMarkerLists;
    const QList<int> &FLC_List() const { return FMarkerLists.LC; }
    std::optional<QJsonObject> FBookmarkJsonObject;
    int FSA_ID = 0;
    int FTCDV_ID = 0;
    TLatLng FCurrentPos;
    int FScale = 0;
    bool FMoving = false;

    IMapBridge *MapBridge() const { return FBridge; }
    TMapViewController *MapViewController() const { return FMapViewController; }
    TLegendPanel *LegendPanel() const { return FLegend; }
    TMapLegend Legend() const;
    QAction *Action(const QString &name) const;
    QList<QAction *> Actions() const;
    QMenu *PopupMenu() const { return pmLC; }

    // --- window events ---------------------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormDeactivate();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();

    // --- operations ------------------------------------------------------------------
    QString GetDBErrorCode(int ACode) const;
    void LCInfosPhase(int TCDV_ID);
    void LoadSettings();
    void SaveSettings();
    void SendAppServerCommand(const QString &command);
    void ReloadApplication();
    bool LoadLcInfos();
    bool LoadSaList();
    void BuildSaTree();
    void BuildLcTree();
    bool LoadDBErrorCodes();
    bool LoadMapLayers();
    void AddLogCom(const QString &Msg);

    // --- monitoring ------------------------------------------------------------------
    QTimer *ttRCTimer = nullptr;
    TMonitorThread *RCThread = nullptr;
    bool IsRCThreadBusy() const { return FIsRCThreadBusy; }
    // Waits, serving events, until no monitoring cycle runs.
    void WaitForMonitorCycle();
    void ttRCTimerTimer();
    void ShowMonitorState();
    void RefreshLcMonitors();
    // After the communication settings were changed: stop, close, restart.
    void ApplyCommSettingsChanged();
    QString GetLcStatusColor(int state, int mode) const;
    void MakeLcScript(int lcNo, QString &script) const;
    // The status glyphs (image numbers): connection, request, receive.
    TMonitorGlyphs Glyphs() const { return FGlyphs; }

    // --- map page --------------------------------------------------------------------
    void InitMapPage();
    void DrawLCMarkers(QString &script);
    void RedrawLCMarkers();
    void DrawSA(QString &script);
    void DrawSA();
    // Console messages ("key:value") and native calls of the page.
    void crmConsoleMessage(const QString &message);
    bool BrowserMessageReceived(const QString &name, const QVariantList &args);

    // --- trees and selection -----------------------------------------------------------
    QTreeView *trvSA = nullptr;
    QTreeView *trvLC = nullptr;
    TNodeTreeModel *SaModel() const { return FSaModel; }
    TNodeTreeModel *LcModel() const { return FLcModel; }
    QTabWidget *pgcTree = nullptr;
    QWidget *tshSA = nullptr;
    QWidget *tshLC = nullptr;
    QLabel *pnlSelNodeDesc = nullptr;
    QLineEdit *edtSA = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QTableWidget *gtvSAMot = nullptr;
    QString GetBounds(int GroupID);
    void ShowSelectionText();
    void SelectLCMarker(int lcNo);
    void FindTreeByLcId(QTreeView *tree, int LcId);
    void FindTreeBySaId(QTreeView *tree, int GroupID);
    int FindLcSaNo(int lcNo);
    void FindSaId(int GroupID);
    void FindTcdvId(int LcId);
    void OpenLCMonitor(int LcId);
    // Prepares the pop-up menu for a node (kind of TPopupKind, image of the title).
    void PreparePopup(const TNodeData &data, int kind, int titleImage);
    // Tree events (also driven by tests).
    void trvLCClick(const QModelIndex &index);
    void trvSAClick(const QModelIndex &index);
    void trvLCDblClick(const QModelIndex &index);
    void trvSADblClick(const QModelIndex &index);
    // The pop-up of a tree at a node; false when no menu is shown.
    bool TreePopup(QTreeView *tree, const QModelIndex &index, const QPoint &globalPos, bool popup = true);
    void gtvSAMotCellClick(int row);
    // Search boxes: Enter in the group and intersection boxes.
    void edtSAEnter();
    void edtTCDVEnter();
    // Search-box buttons: the group and intersection pickers.
    void edtSAButtonClick();
    void edtTCDVButtonClick();

    // --- actions and openers (MainActionsUnit.h) ---------------------------------------
    // Opens the window of an action by its pattern with the current selection; the
    // window of a class nothing has registered is not opened (false).
    bool ExecuteOpenAction(const QString &actionName);
    // The open window of an action's class (nullptr when none).
    QWidget *OpenedWindow(const QString &actionName) const;
    // Host requests, reload, bookmarks, map picture, help and tools.
    void actReqtParamsChangedExecute();
    void actReqtHostRebootExecute();
    void btnPacketSizeClick();
    void actReqtAppReloadExecute();
    void actBookmarkExecute(int n);
    void actBookmarkRegExecute(int n);
    void actSaveMapViewExecute();
    void actHelpExecute();
    void actOpenUserManualExecute();
    void actOpenTimeSpaceDiagramExecute();
    void actOpenTCDV_SExecute();
    void actOpenSA_SExecute();
    void actOpenSA_MExecute();
    void actOpenTCDV_E_PhaseMvmtExecute();
    // Opens a local file or program with the desktop (tests replace it).
    using TShellOpen = std::function<bool(const QString &path, const QStringList &arguments)>;
    static void SetShellOpen(TShellOpen open);

    // --- side panels -----------------------------------------------------------------
    TVipPanel *VipPanel() const { return pnlVIPControl; }
    TAppEmergencyPanel *AppEmergencyPanel() const { return pnlAppEmergency; }
    QWidget *TrafficInfoPanel() const { return pnlTrafficInfo; }
    QTableWidget *gtvTrafficInfo = nullptr;
    TTrafficInfoSel FTrafficInfoSel;
    QTimer *ttTITimer = nullptr;
    void actOpenVIPControlExecute();
    void actOpenTrafficInfoExecute();
    void actTrafficInfoCloseExecute();
    void actAppEmergencyOpenExecute();
    // Console messages and native calls of the page that belong to the panels.
    bool PanelConsoleMessage(const QString &key, const QString &value);
    bool PanelNative(const QString &name, const QVariantList &args);
    void RefreshTrafficInfo();
    QToolBar *ToolBar() const { return tbMain; }
    QWidget *SimpleButtons() const { return pnlSimpleButtons; }
    // The vehicle-position pollers run when their servers are set (G_BRT_SERVER,
    // G_WAS_SERVER); stopped at shutdown.
    void StartVehiclePollers();
    void StopVehiclePollers();
    TBRTThread *BrtThread() const { return FBRTThread; }
    TWASThread *WasThread() const { return FWASThread; }

    bool IsAreaBrowserOpen() const;
    void SetAreaBrowserOpen(bool open);
    bool IsMntrPanelOpen() const;
    void SetMntrPanelOpen(bool open);

public slots:
    // WM_USER+100: select a group (tree, text, map).
    void SelectSA(int GroupID);
    void PanToTCDV(int TCDV);
    void PanToTCDV(int TCDV, const QString &NODE_ID);
    void WmLocateSA(int GroupID);
    void WmLocateTCDV(int TCDV);
    void WmReloadLists();
    void WmPanToLatLng(const QString &lat, const QString &lng);

signals:
    // A monitoring cycle has ended (after its refreshes).
    void rcThreadIdle();
    // Shutdown step 2: the side panels close now.
    void formClosing();
    // Every refresh after an image (or a failure) has run.
    void monitorRefreshed(bool monitored);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildUi();
    void CreateActions();
    void BuildMenuBar();
    void BuildPopupMenu();
    void BuildToolBar();
    void BuildSidePanels();
    void ApplyGradeToToolBar(int grade);
    void CloseOtherSidePanels(QWidget *keep);
    void ShowWindowOf(const QString &actionName, QWidget *w, bool created);
    void Retranslate();
    QString Tx(const QString &key) const;
    void ShowDbError(const QSqlError &error);
    void SetGlyphs(const TMonitorGlyphs &glyphs);
    void OnMonitorLog(const QString &title, const QByteArray &packet);
    void OnCycleFinished(std::shared_ptr<TMonitorCycleResult> result);
    void RefreshViews(bool monitored);
    TMonitorRefresh MakeRefresh(bool monitored) const;
    void FillSaMotGrid();
    void RunScript(const QString &script);
    bool PageReady() const;
    void FitGroupScript(int GroupID, bool takeCurZoom);
    void ActOnRefreshFlags();
    void RestartMonitoring(bool wasActive);
    bool PauseMonitoring();
    void ApplyLegendToPage();
    // The monitoring timer and log hooks both host requests run with.
    THostRequestHooks HostRequestHooks();

    // Legend handlers.
    void SAColorSelectMouseDown(TColorShape *shape);
    void LCStatusColorSelectMouseMouseDown(TColorShape *shape);
    void GreenMvmtColorSelectMouseDown(TColorShape *shape);
    void LCShapeChange(int tag);
    void LCSizeChange(int tag);
    void SAOpacityChange();
    void ttChangeSATimer();
    void MvmtLabelDispClick();
    void CounterClick(const TStatusCounterDef &def);

    // Action handlers.
    void actCloseExecute();
    void actOpenLogComExecute();
    void actOpenTCDV_C_LogExecute();
    void actOpenCURR_EVExecute();
    void actOpenTCDV_MExecute();
    void actCollapseAllExecute();
    void actOpenCOM_EExecute();
    void actShowDevToolExecute();
    void actWebViewRefreshExecute();

    TVipPanel *pnlVIPControl = nullptr;
    TAppEmergencyPanel *pnlAppEmergency = nullptr;
    QWidget *pnlTrafficInfo = nullptr;
    QToolBar *tbMain = nullptr;
    QWidget *pnlSimpleButtons = nullptr;
    QPushButton *btnPacketSize = nullptr;
    QToolButton *btnAppEmergency = nullptr;
    TBRTThread *FBRTThread = nullptr;
    TWASThread *FWASThread = nullptr;
    std::atomic<bool> FWasVisible{true};

    IMapBridge *FBridge = nullptr;
    std::unique_ptr<IMapBridge> FOwnBridge;
    TMapViewController *FMapViewController = nullptr;

    TsiLangLinked *FLang = nullptr;
    QHash<QString, QAction *> FActions;
    QMenu *pmLC = nullptr;
    QAction *pmMapCaption = nullptr;
    QMenu *pmLcEdit = nullptr;
    QMenu *pmSaEdit = nullptr;
    TNodeTreeModel *FSaModel = nullptr;
    TNodeTreeModel *FLcModel = nullptr;
    TLegendPanel *FLegend = nullptr;
    QSplitter *FMainSplit = nullptr;
    QSplitter *FMapSplit = nullptr;
    QWidget *pnlAreaBrowser = nullptr;
    QWidget *pnlMapView = nullptr;
    QWidget *pnlMntr = nullptr;
    QLabel *gsConnection = nullptr;
    QLabel *gsRequest = nullptr;
    QLabel *gsReceive = nullptr;
    QLabel *spUserID = nullptr;
    QLabel *spLat = nullptr;
    QLabel *spLng = nullptr;
    bool FAreaBrowserOpen = true;
    bool FMntrPanelOpen = true;

    std::unique_ptr<TST_VESK_STATE> FImage;
    TMonitorCounters FCounters;
    TMonitorGlyphs FGlyphs;
    bool FIsRCThreadBusy = false;
    QString FLogTitle;
    QMutex FCS_LOG_COM;
    mutable QRecursiveMutex FCS_TCDV_M;
    QList<QPair<int, QPointer<QWidget>>> FTCDV_MList;
    IMonitorView *FViews[mvkCount] = {};
    QPointer<QWidget> FCurrentEventWindow;

    QMap<int, QString> FDBErrorCode;
    TTfdtInfoThread *FTfdtInfoThread = nullptr;
    int FGridColumnWidth = 0;
    bool FShown = false;
    bool FInActivate = false;
    bool FClosed = false;
    bool FDestroyed = false;
};

// The one main window (set while it exists).
extern TfrmMain *frmMain;

// Registers the main window's creation with the start-up sequence.
void RegisterMainWindow();

// The rows of the group grid of the monitoring panel: one per group 1 to 200 whose
// record byte 0 is not 0 and that has a name: "#", name, packet time "hh:nn:ss",
// control mode text, then bytes 3 to 9, 10, 12, 11, 13 and 14 as numbers.
QList<QStringList> SaMotRows(const TST_VESK_STATE &image, const QMap<int, QString> &names, const QDateTime &time);
// Column captions of the group grid (keys of the window's table).
QStringList SaMotColumnKeys();
