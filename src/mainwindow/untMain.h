#pragma once
// The console's main window, the hub of every other window: created after a
// successful login and alive until the program ends. It builds its menu bar, owns
// the two communication logs and the current-event window, loads the lists of
// intersections and groups, the trees and the map layers, keeps the live state set
// that the monitoring cycle refreshes every monitoring period, shows the map page,
// the legend and the status counters, and keeps its settings in the INI file.
//
// Its widgets and actions are built by MainWindowBuilder.h; the selection with the
// trees and search boxes (MainSelectionUnit.h), the legend's handlers
// (MainLegendUnit.h) and the side panels' switching (MainSidePanelsUnit.h) are
// controllers of their own that the window forwards to.
//
// Hooks for the windows written elsewhere:
//   - live views implement IMonitorView (core/MainContracts.h) and register with the
//     monitoring hub (Hub(), MonitorHubUnit.h): RegisterMonitorView (one of each kind)
//     or, for intersection monitors, AddLcMonitor (one per intersection); the cycle
//     refreshes them in a fixed order;
//   - the services object (MainServices.h) creates the intersection monitor
//     (OpenLCMonitor) and the current-event window, opens the state list on a counter
//     click, builds the menu bar (tests), starts and talks to the local application
//     server and opens files with the desktop;
//   - every other window is opened by its action through the registry of window
//     classes (TMainOpeners::Register in core/MainContracts.h, filled by each library's
//     own registration function called from main.cpp) and kept once in the
//     one-instance window registry (WindowRegistry.h);
//   - the menu bar is built by MenuUnit (MakeTwoLevelMenu, grade rules) unless the
//     services give a builder;
//   - formClosing() is the moment the side panels close at shutdown.
// Window messages are public slots (numbers in core/MainContracts.h).
#include <QAction>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTreeView>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "mainwindow/MainMapPageUnit.h"
#include "mainwindow/MainSelectionUnit.h"
#include "mainwindow/MainSidePanelsUnit.h"
#include "mainwindow/MainServices.h"
#include "mainwindow/MainSettingsUnit.h"
#include "mainwindow/MainTreeModels.h"
#include "mainwindow/MainWindowBuilder.h"
#include "core/MainContracts.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/PageMessageTable.h"
#include "mainwindow/SaMotGridUnit.h"
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
class TTrafficInfoPanel;
class TBRTThread;
class TWASThread;
class TLegendPanel;
class TMainLegendHandlers;
class TMapViewController;
class TTfdtInfoThread;
class TsiLangLinked;
struct TStatusCounterDef;
struct THostRequestHooks;

class TfrmMain : public QMainWindow, public IMainWindow
{
    Q_OBJECT
public:
    // bridge: a page bridge to use instead of the map view (tests and benchmarks; not
    // owned). Without one the window creates its map view controller for G_URL.
    explicit TfrmMain(QWidget *parent = nullptr, IMapBridge *bridge = nullptr);
    ~TfrmMain() override;

    // --- services from outside (MainServices.h) -----------------------------------
    using TLcMonitorFactory = TMainServices::TLcMonitorFactory;
    using TWindowFactory = TMainServices::TWindowFactory;
    using TStateListOpener = TMainServices::TStateListOpener;
    using TMenuBuilder = TMainServices::TMenuBuilder;

    // The monitoring hub: state image, live views, intersection monitors, the cycle.
    TMonitorHub *Hub() const { return FHub; }

    // IMainWindow
    QWidget *MainWidget() override { return this; }
    const TLC_INFO_SET *LiveLcInfoSet() const override { return &G_LC_INFO_SET; }
    void LocateSA(int groupId) override { WmLocateSA(groupId); }
    void LocateTCDV(int lcNo) override { WmLocateTCDV(lcNo); }
    void RegisterMonitorView(TMonitorViewKind kind, IMonitorView *view, QObject *window) override;
    void PanToLc(int lcNo) override { PanToTCDV(lcNo); }
    QMap<int, QString> SaNameList() const override { return FSA_NameList; }
    QList<int> SaOutlineList() const override { return FSA_BoundsList.keys(); }
    QList<int> LcMarkerList() const override { return FMarkerLists.LC; }
    TLcStatusColors LcStatusColors() const override { return Legend().Status; }

    // --- data that other windows read ------------------------------------------------
    // The live state set (G_LC_INFO_SET).
    TLC_INFO_SET &LcInfoSet() { return G_LC_INFO_SET; }
    const TLC_INFO_SET &LcInfoSet() const { return G_LC_INFO_SET; }
    // The counter texts of the status panel.
    const TMmiMain &MmiMain() const { return m_MmiMain; }
    // Group names and outlines (FSA_NameList, FSA_BoundsList).
    const QMap<int, QString> &SaNames() const { return FSA_NameList; }
    const QMap<int, QString> &SaBounds() const { return FSA_BoundsList; }
    void SetSaNames(const QMap<int, QString> &names) { FSA_NameList = names; }
    // FLC_List and the class lists of the markers (refilled by DrawLCMarkers).
    const TLcMarkerLists &MarkerLists() const { return FMarkerLists; }
    const MainMapPage::TLcMarkerRecord &ShownMarkers() const { return FShownMarkers; }
    const QList<int> &FLC_List() const { return FMarkerLists.LC; }
    // The operator's bookmarks (nothing when the stored text is not an object).
    const std::optional<QJsonObject> &BookmarkJson() const { return FBookmarkJsonObject; }
    // The current selection: group (FSA_ID) and intersection (FTCDV_ID).
    int SelectedSA() const { return FSelection->SelectedSA(); }
    int SelectedTCDV() const { return FSelection->SelectedTCDV(); }
    void SetSelection(int saId, int tcdvId) { FSelection->SetSelection(saId, tcdvId); }
    // Where the mouse is on the map, the map's zoom, whether the map is moving.
    const TLatLng &CurrentPos() const { return FCurrentPos; }
    int Scale() const { return FScale; }
    bool IsMapMoving() const { return FMoving; }

    IMapBridge *MapBridge() const override { return FBridge; }
    TMapViewController *MapViewController() const { return FMapViewController; }
    TLegendPanel *LegendPanel() const { return FUi.Legend; }
    TMapLegend Legend() const;
    QAction *Action(const QString &name) const;
    QList<QAction *> Actions() const;
    QMenu *PopupMenu() const { return FUi.pmLC; }

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
    void BuildSaTree() { FSelection->BuildSaTree(); }
    void BuildLcTree() { FSelection->BuildLcTree(); }
    bool LoadDBErrorCodes();
    bool LoadMapLayers();
    void AddLogCom(const QString &Msg);

    // --- monitoring ------------------------------------------------------------------
    // The main window's part of a refresh: counters, group grid and markers.
    void ShowMonitorState();
    // After the communication settings were changed: stop, close, restart.
    void ApplyCommSettingsChanged();
    QString GetLcStatusColor(int state, int mode) const;
    void MakeLcScript(int lcNo, QString &script) const;
    // The status glyphs (image numbers): connection, request, receive.
    TMonitorGlyphs Glyphs() const { return FHub->Glyphs(); }

    // --- map page --------------------------------------------------------------------
    void InitMapPage();
    void DrawLCMarkers(QString &script);
    void RedrawLCMarkers();
    void DrawSA(QString &script);
    void DrawSA();
    // Console messages ("key:value") and native calls of the page, routed by the
    // table the window and its panels registered into (false: nobody takes it).
    void crmConsoleMessage(const QString &message);
    bool BrowserMessageReceived(const QString &name, const QVariantList &args);
    const TPageMessageTable &PageMessages() const { return FPageMessages; }

    // --- trees and selection (MainSelectionUnit.h) ------------------------------------
    TMainSelection *Selection() const { return FSelection; }
    QTreeView *SaTree() const { return FUi.trvSA; }
    QTreeView *LcTree() const { return FUi.trvLC; }
    TNodeTreeModel *SaModel() const { return FSelection->SaModel(); }
    TNodeTreeModel *LcModel() const { return FSelection->LcModel(); }
    QTabWidget *TreePages() const { return FUi.TreePages; }
    QWidget *SaTreePage() const { return FUi.trvSA; }
    QWidget *LcTreePage() const { return FUi.trvLC; }
    QLabel *SelectionLabel() const { return FUi.SelNodeDesc; }
    QLineEdit *SaSearchBox() const { return FUi.edtSA; }
    QLineEdit *LcSearchBox() const { return FUi.edtTCDV; }
    QTableWidget *SaMotGrid() const { return FUi.gtvSAMot; }
    QString GetBounds(int GroupID) { return FSelection->GetBounds(GroupID); }
    void ShowSelectionText() { FSelection->ShowSelectionText(); }
    void SelectLCMarker(int lcNo) { FSelection->SelectLCMarker(lcNo); }
    void FindTreeByLcId(QTreeView *tree, int LcId) { FSelection->FindTreeByLcId(tree, LcId); }
    void FindTreeBySaId(QTreeView *tree, int GroupID) { FSelection->FindTreeBySaId(tree, GroupID); }
    int FindLcSaNo(int lcNo) { return FSelection->FindLcSaNo(lcNo); }
    void FindSaId(int GroupID) { FSelection->FindSaId(GroupID); }
    void FindTcdvId(int LcId) { FSelection->FindTcdvId(LcId); }
    void OpenLCMonitor(int LcId);
    // Prepares the pop-up menu for a node (kind of TPopupKind, image of the title).
    void PreparePopup(const TNodeData &data, int kind, int titleImage) { FSelection->PreparePopup(data, kind, titleImage); }
    // Tree events (also driven by tests).
    void trvLCClick(const QModelIndex &index) { FSelection->trvLCClick(index); }
    void trvSAClick(const QModelIndex &index) { FSelection->trvSAClick(index); }
    void trvLCDblClick(const QModelIndex &index) { FSelection->trvLCDblClick(index); }
    void trvSADblClick(const QModelIndex &index) { FSelection->trvSADblClick(index); }
    // The pop-up of a tree at a node; false when no menu is shown.
    bool TreePopup(QTreeView *tree, const QModelIndex &index, const QPoint &globalPos, bool popup = true)
    {
        return FSelection->TreePopup(tree, index, globalPos, popup);
    }
    void gtvSAMotCellClick(int row) { FSelection->gtvSAMotCellClick(row); }
    // Search boxes: Enter in the group and intersection boxes.
    void edtSAEnter() { FSelection->edtSAEnter(); }
    void edtTCDVEnter() { FSelection->edtTCDVEnter(); }
    // Search-box buttons: the group and intersection pickers.
    void edtSAButtonClick() { FSelection->edtSAButtonClick(); }
    void edtTCDVButtonClick() { FSelection->edtTCDVButtonClick(); }

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
    void actOpenTCDV_SExecute() { FSelection->actOpenTCDV_SExecute(); }
    void actOpenSA_SExecute() { FSelection->actOpenSA_SExecute(); }
    void actOpenSA_MExecute();
    void actOpenTCDV_E_PhaseMvmtExecute();

    // --- side panels -----------------------------------------------------------------
    TVipPanel *VipPanel() const { return FUi.VipPanel; }
    TAppEmergencyPanel *AppEmergencyPanel() const { return FUi.AppEmergencyPanel; }
    TTrafficInfoPanel *TrafficInfoPanel() const { return FUi.TrafficInfoPanel; }
    void actOpenVIPControlExecute() { FSidePanels->actOpenVIPControlExecute(); }
    void actOpenTrafficInfoExecute() { FSidePanels->actOpenTrafficInfoExecute(); }
    void actTrafficInfoCloseExecute() { FSidePanels->actTrafficInfoCloseExecute(); }
    void actAppEmergencyOpenExecute() { FSidePanels->actAppEmergencyOpenExecute(); }
    QToolBar *ToolBar() const { return FUi.tbMain; }
    QWidget *SimpleButtons() const { return FUi.SimpleButtons; }
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

    // --- shared with the window's controllers ---------------------------------------
    QString Tx(const QString &key) const;
    void ShowDbError(const QSqlError &error);
    bool PageReady() const;
    void RunScript(const QString &script);

public slots:
    // WM_USER+100: select a group (tree, text, map).
    void SelectSA(int GroupID) { FSelection->SelectSA(GroupID); }
    void PanToTCDV(int TCDV) { FSelection->PanToTCDV(TCDV); }
    void PanToTCDV(int TCDV, const QString &NODE_ID) { FSelection->PanToTCDV(TCDV, NODE_ID); }
    void WmLocateSA(int GroupID) { FSelection->WmLocateSA(GroupID); }
    void WmLocateTCDV(int TCDV) { FSelection->WmLocateTCDV(TCDV); }
    void WmReloadLists();
    void WmPanToLatLng(const QString &lat, const QString &lng) { FSelection->WmPanToLatLng(lat, lng); }

signals:
    // Shutdown step 2: the side panels close now.
    void formClosing();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The actions (MainWindowBuilder) wired to their handlers.
    void CreateActions();
    void BuildMenuBar();
    void RegisterPageMessages();
    void ChangeLayerVisible(const QVariantList &args);
    void Retranslate();
    void ShowGlyphs(const TMonitorGlyphs &glyphs);
    void OnMonitorLog(const QString &title, const QByteArray &packet);
    void OnStateShown(bool monitored);
    void FillSaMotGrid();
    void FitGroupScript(int GroupID, bool takeCurZoom) { FSelection->FitGroupScript(GroupID, takeCurZoom); }
    void ActOnRefreshFlags();
    // Stops and deletes the detector counter (when running).
    void StopTfdtInfoThread();
    // The monitoring timer and log hooks both host requests run with.
    THostRequestHooks HostRequestHooks();

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

    TLC_INFO_SET G_LC_INFO_SET;
    TMmiMain m_MmiMain;
    QMap<int, QString> FSA_NameList;
    QMap<int, QString> FSA_BoundsList;
    TLcMarkerLists FMarkerLists;
    MainMapPage::TLcMarkerRecord FShownMarkers; // what the page shows of the listed markers
    std::optional<QJsonObject> FBookmarkJsonObject;
    TLatLng FCurrentPos;
    int FScale = 0;
    bool FMoving = false;

    // The widgets and actions (MainWindowBuilder) and the controllers of the
    // selection, the legend and the side panels.
    TMainWindowUi FUi;
    // The legend and the group grid as the monitoring refresh reaches them.
    TLegendPanel *FLegend = nullptr;
    QTableWidget *gtvSAMot = nullptr;
    TMainSelection *FSelection = nullptr;
    TMainLegendHandlers *FLegendHandlers = nullptr;
    TMainSidePanels *FSidePanels = nullptr;
    TPageMessageTable FPageMessages;
    TBRTThread *FBRTThread = nullptr;
    TWASThread *FWASThread = nullptr;
    std::atomic<bool> FWasVisible{true};

    IMapBridge *FBridge = nullptr;
    std::unique_ptr<IMapBridge> FOwnBridge;
    TMapViewController *FMapViewController = nullptr;

    TsiLangLinked *FLang = nullptr;
    bool FAreaBrowserOpen = true;
    bool FMntrPanelOpen = true;

    TMonitorHub *FHub = nullptr;
    QString FLogTitle;
    QPointer<QWidget> FCurrentEventWindow;

    QMap<int, QString> FDBErrorCode;
    TTfdtInfoThread *FTfdtInfoThread = nullptr;
    bool FShown = false;
    bool FInActivate = false;
    bool FClosed = false;
    bool FDestroyed = false;
};

// The one main window (set while it exists).
extern TfrmMain *frmMain;

// Registers the main window's creation with the start-up sequence.
void RegisterMainWindow();
