#include "mainwindow/untMain.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSet>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

#include "mainwindow/AppServerClientUnit.h"
#include "mainwindow/BookmarkUnit.h"
#include "core/FileDialogService.h"
#include "mainwindow/HostRequestUnit.h"
#include "mainwindow/MainActionsUnit.h"
#include "mainwindow/MainLegendUnit.h"
#include "mainwindow/MonitorPause.h"
#include "mainwindow/MenuUnit.h"
#include "mainwindow/PanelTextUnit.h"
#include "mainwindow/VehiclePollerUnit.h"
#include "core/WindowRegistry.h"
#include "mainwindow/untEmergencyPanel.h"
#include "mainwindow/untTrafficInfoPanel.h"
#include "mainwindow/untVipPanel.h"
#include "foundation/AppServerPipe.h"
#include "core/InAppMessage.h"
#include "core/LcStatusColor.h"
#include "core/LookupUnit.h"
#include "mainwindow/MainListsUnit.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "core/Quorval.h"
#include "mainwindow/TfdtInfoThreadUnit.h"
#include "core/siLang.h"
#include "centrelink/untCOM_E.h"
#include "core/untDM.h"
#include "mainwindow/untLegend.h"
#include "core/untStartup.h"
#include "centrelink/untTH_LogCom.h"
#include "centrelink/untTH_TCDV_C_Log.h"

TfrmMain *frmMain = nullptr;

namespace {

const QString kTable = QStringLiteral("TfrmMain");

bool ShellOpen(const QString &path, const QStringList &arguments)
{
    if (const auto &open = TMainServices::Current().ShellOpen)
        return open(path, arguments);
    if (arguments.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return QProcess::startDetached(path, arguments);
}

} // namespace

// ---------------------------------------------------------------------------
// Registration with the start-up sequence
// ---------------------------------------------------------------------------

void RegisterMainWindow()
{
    SetMainWindowFactory([]() -> QWidget * { return new TfrmMain; });
}

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------

TfrmMain::TfrmMain(QWidget *parent, IMapBridge *bridge) : QMainWindow(parent), FBridge(bridge)
{
    setObjectName(QStringLiteral("frmMain"));
    frmMain = this;
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    FormDestroy();
    if (frmMain == this)
        frmMain = nullptr;
}

QString TfrmMain::Tx(const QString &key) const { return siText(kTable, key); }

QAction *TfrmMain::Action(const QString &name) const { return FUi.Action(name); }

QList<QAction *> TfrmMain::Actions() const { return FUi.Actions.values(); }

TMapLegend TfrmMain::Legend() const { return FUi.Legend ? FUi.Legend->Legend() : TMapLegend::Defaults(); }

void TfrmMain::CreateActions()
{
    MainWindowBuilder::CreateActions(this, FUi);
    for (const TMainActionDef &d : MainActionDefs()) {
        const QString name = QString::fromLatin1(d.Name);
        if (d.Pattern != opNone && d.Pattern != opResident)
            if (QAction *a = Action(name))
                connect(a, &QAction::triggered, this, [this, name] { ExecuteOpenAction(name); });
    }
    auto on = [this](const char *name, void (TfrmMain::*handler)()) {
        if (QAction *a = Action(QString::fromLatin1(name))) {
            disconnect(a, &QAction::triggered, this, nullptr);
            connect(a, &QAction::triggered, this, handler);
        }
    };
    on("actClose", &TfrmMain::actCloseExecute);
    on("actOpenLogCom", &TfrmMain::actOpenLogComExecute);
    on("actOpenTCDV_C_Log", &TfrmMain::actOpenTCDV_C_LogExecute);
    on("actOpenCURR_EV", &TfrmMain::actOpenCURR_EVExecute);
    on("actOpenTCDV_M", &TfrmMain::actOpenTCDV_MExecute);
    on("actCollapseAll", &TfrmMain::actCollapseAllExecute);
    on("actOpenCOM_E", &TfrmMain::actOpenCOM_EExecute);
    on("actShowDevTool", &TfrmMain::actShowDevToolExecute);
    on("actWebViewRefresh", &TfrmMain::actWebViewRefreshExecute);
    on("actReqtParamsChanged", &TfrmMain::actReqtParamsChangedExecute);
    on("actReqtHostReboot", &TfrmMain::actReqtHostRebootExecute);
    on("actReqtAppReload", &TfrmMain::actReqtAppReloadExecute);
    on("actSaveMapView", &TfrmMain::actSaveMapViewExecute);
    on("actHelp", &TfrmMain::actHelpExecute);
    on("actOpenUserManual", &TfrmMain::actOpenUserManualExecute);
    on("actOpenTimeSpaceDiagram", &TfrmMain::actOpenTimeSpaceDiagramExecute);
    on("actOpenTCDV_S", &TfrmMain::actOpenTCDV_SExecute);
    on("actOpenSA_S", &TfrmMain::actOpenSA_SExecute);
    on("actOpenSA_M", &TfrmMain::actOpenSA_MExecute);
    on("actOpenTCDV_E_PhaseMvmt", &TfrmMain::actOpenTCDV_E_PhaseMvmtExecute);
    on("actOpenVIPControl", &TfrmMain::actOpenVIPControlExecute);
    on("actOpenTrafficInfo", &TfrmMain::actOpenTrafficInfoExecute);
    on("actTrafficInfoClose", &TfrmMain::actTrafficInfoCloseExecute);
    on("actAppEmergencyOpen", &TfrmMain::actAppEmergencyOpenExecute);
    for (int n = 1; n <= 9; ++n) {
        if (QAction *a = Action(QStringLiteral("actBookmark%1").arg(n)))
            connect(a, &QAction::triggered, this, [this, n] { actBookmarkExecute(n); });
        if (QAction *a = Action(QStringLiteral("actBookmark%1Reg").arg(n)))
            connect(a, &QAction::triggered, this, [this, n] { actBookmarkRegExecute(n); });
    }
}

void TfrmMain::BuildMenuBar()
{
    const bool admin = DM && DM->G_ADMIN_MODE;
    const int grade = DM ? DM->G_APP_USER.Role : 2;
    TArrayOvikTwoLevelMenu menu;
    if (TMainServices::Current().MenuBuilder)
        TMainServices::Current().MenuBuilder(this, admin, grade, menu);
    else
        MakeTwoLevelMenu([this](const QString &n) { return Action(n); }, admin, grade, menu);
    QFont f(Tx(QStringLiteral("IDS_4")));
    f.setPointSize(8);
    ::SetActionMainMenu(menu, f, admin, menuBar());
}

void TfrmMain::Retranslate()
{
    setWindowTitle(windowTitle().isEmpty() ? Tx(QStringLiteral("Caption")) : windowTitle());
    MainWindowBuilder::Retranslate(FUi, [this](const QString &key) { return Tx(key); });
    ShowSelectionText();
}

void TfrmMain::FormCreate()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // 1. Actions and the menu bar by admin mode and grade.
    CreateActions();
    MainWindowBuilder::BuildUi(this, FUi);
    FLegend = FUi.Legend;
    gtvSAMot = FUi.gtvSAMot;
    FSelection = new TMainSelection(this, FUi);
    FLegendHandlers = new TMainLegendHandlers(this, FUi.Legend);
    connect(FUi.MainSplit, &QSplitter::splitterMoved, this, [this] { FAreaBrowserOpen = FUi.MainSplit->sizes().value(0) > 0; });
    connect(FUi.MapSplit, &QSplitter::splitterMoved, this, [this] { FMntrPanelOpen = FUi.MapSplit->sizes().value(1) > 0; });
    ShowGlyphs(TMonitorGlyphs());
    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    // The editing sub-menus of the pop-up by grade.
    MainWindowBuilder::BuildPopupMenu(this, DM ? DM->G_APP_USER.Role : 2, FUi);
    MainWindowBuilder::BuildToolBar(this, FUi);
    connect(FUi.btnPacketSize, &QPushButton::clicked, this, &TfrmMain::btnPacketSizeClick);
    FLang->Retranslate();
    BuildMenuBar();
    MainWindowBuilder::ApplyGrade(FUi, DM ? DM->G_APP_USER.Role : 2);
    // The page tools work in admin mode only (they stay visible).
    for (const char *n : {"actShowDevTool", "actWebViewRefresh"})
        Action(QString::fromLatin1(n))->setEnabled(DM && DM->G_ADMIN_MODE);

    // 2. Monitoring: the hub with its timer and worker thread.
    FHub = new TMonitorHub(&G_LC_INFO_SET, this);
    connect(FHub, &TMonitorHub::logLine, this, &TfrmMain::OnMonitorLog);
    connect(FHub, &TMonitorHub::glyphsChanged, this, &TfrmMain::ShowGlyphs);
    connect(FHub, &TMonitorHub::stateShown, this, &TfrmMain::OnStateShown);

    // 3. The two logs and the current-event window, hidden and owned by the window.
    auto *logCom = new TfrmTH_LogCom(this);
    logCom->setWindowTitle(Action(QStringLiteral("actOpenLogCom"))->text());
    frmTH_LogCom = logCom;
    auto *ctrlLog = new TfrmTH_TCDV_C_Log(this);
    ctrlLog->setWindowTitle(Action(QStringLiteral("actOpenTCDV_C_Log"))->text());
    frmTH_TCDV_C_Log = ctrlLog;
    if (TMainServices::Current().CurrentEventFactory) {
        FCurrentEventWindow = TMainServices::Current().CurrentEventFactory(this);
        if (FCurrentEventWindow) {
            FCurrentEventWindow->hide();
            FCurrentEventWindow->setWindowTitle(Action(QStringLiteral("actOpenCURR_EV"))->text());
            if (auto *view = dynamic_cast<IMonitorView *>(FCurrentEventWindow.data()))
                FHub->RegisterMonitorView(mvkCurrentEvent, view);
        }
    }

    // 5. The map view (unless a bridge was given).
    if (!FBridge) {
        const QString url = DM ? DM->G_URL : QString();
        FMapViewController = new TMapViewController(this, FUi.MapView, url, [this] { InitMapPage(); });
        FMapViewController->SetWebSecurity(false);
        FMapViewController->SetFocusUnderMouse(true); // the map takes wheel and keys under the mouse
        FOwnBridge = std::make_unique<TMapViewBridge>(FMapViewController);
        FBridge = FOwnBridge.get();
    } else {
        FBridge->SetMapViewInit([this] { InitMapPage(); });
    }

    // The side panels need the page bridge.
    MainWindowBuilder::BuildSidePanels(this, &G_LC_INFO_SET, [hub = FHub] { return hub->Image(); }, FBridge, FUi);
    FSidePanels = new TMainSidePanels(this, FUi);
    // The page's messages: the window's own and the panels'.
    RegisterPageMessages();
    if (FMapViewController) {
        for (const QString &name : FPageMessages.NativeNames())
            FMapViewController->RegisterNative(name, [this, name](const QVariantList &args) {
                BrowserMessageReceived(name, args);
            });
        for (const QString &key : FPageMessages.ConsoleKeys())
            FMapViewController->RegisterConsole(key, [this, key](const QString &value) {
                crmConsoleMessage(key + QLatin1Char(':') + value);
            });
    }

    // 8. Layers and error texts.
    LoadMapLayers();
    LoadDBErrorCodes();

    // 9. Bookmarks: an empty text is an empty object; anything but an object disables them.
    if (DM)
        FBookmarkJsonObject = ParseBookmarks(DM->G_APP_USER.Bookmarks);

    // 11. The detector counter.
    if (DM && DM->Connected())
        FTfdtInfoThread = new TTfdtInfoThread(DM->ConnectionFactory(), 10000, FUi.Legend->lblTfdtOperCnt,
                                              FUi.Legend->lblTfdtFailCnt, FUi.Legend->lblTfdtUnusedCnt, this);
    QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------
// First show
// ---------------------------------------------------------------------------

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TfrmMain::FormShow()
{
    // 1. Caption: title, site, build stamp, admin mode.
    const QDateTime built = QFileInfo(QCoreApplication::applicationFilePath()).lastModified().toLocalTime();
    QString caption = (DM ? DM->G_APP_TITLE : QString());
    if (caption.isEmpty())
        caption = Tx(QStringLiteral("Caption"));
    caption += QStringLiteral(" for ") + Tx(QStringLiteral("SITE_NAME")) + QStringLiteral(" Ver.")
               + built.toString(QStringLiteral("yyMMdd.hhmm"));
    if (DM && DM->G_ADMIN_MODE)
        caption += QStringLiteral(" (Admin Mode)");
    setWindowTitle(caption);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // 2. The side panels start collapsed.
    SetAreaBrowserOpen(false);
    SetMntrPanelOpen(false);

    // 3. Settings, status page, intersection tree page, empty group grid.
    LoadSettings();
    FUi.Legend->setCurrentWidget(FUi.Legend->tbsStt);
    FUi.TreePages->setCurrentWidget(FUi.trvLC);
    FUi.gtvSAMot->setRowCount(0);

    // 4. Lists and trees.
    LoadLcInfos();
    LCInfosPhase(0);
    LoadSaList();
    BuildSaTree();
    BuildLcTree();

    // 5. The local application server.
    StartMainAppServer();

    // 6. Monitoring starts (first tick after 500 ms).
    FHub->Timer()->setInterval(500);
    FHub->Timer()->start();
    AddLogCom(Tx(QStringLiteral("IDS_8")));

    // 7. The map page.
    if (DM)
        FBridge->Load(DM->G_URL);

    // 8. The operator.
    if (DM)
        FUi.spUserID->setText(DM->G_APP_USER.ID + QStringLiteral(" (") + DM->G_APP_USER.RoleName + QLatin1Char(')'));

    // 9. The logs and the current-event window at the top right of the main window.
    for (QWidget *w : {static_cast<QWidget *>(frmTH_LogCom), static_cast<QWidget *>(frmTH_TCDV_C_Log),
                       FCurrentEventWindow.data()}) {
        if (!w)
            continue;
        w->move(x() + width() - w->width() - 14, y() + 55);
    }
    // The vehicle-position pollers, when their servers are configured.
    StartVehiclePollers();
    QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------
// Activation
// ---------------------------------------------------------------------------

void TfrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && FShown && !FClosed) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
}

void TfrmMain::FormActivate()
{
    if (FInActivate)
        return;
    FInActivate = true;
    // 1. The timer stands still while the flags are acted on and restarts whatever
    // happens; a cycle running meanwhile is not applied to a reloaded set.
    const bool wasActive = FShown;
    FHub->Pause();
    // 2. The shortcuts that work only in the main window.
    for (const auto &s : MainActiveShortcuts())
        if (QAction *a = Action(QString::fromLatin1(s.first)))
            a->setShortcut(QKeySequence(QString::fromLatin1(s.second)));
    // 3. The refresh flags.
    ActOnRefreshFlags();
    FHub->Resume(wasActive);
    FInActivate = false;
}

void TfrmMain::ActOnRefreshFlags()
{
    TInAppMessage &m = TInAppMessageHolder::instance()->Flags();
    if (m.REFRESH_SA_MASTER) {
        m.REFRESH_SA_MASTER = false;
        LoadSaList();
        BuildSaTree();
    }
    if (m.REFRESH_SA_CONF) {
        m.REFRESH_SA_CONF = false;
        LoadSaList();
        BuildSaTree();
        DrawSA();
    }
    if (m.REFRESH_TCDV_MASTER) {
        m.REFRESH_TCDV_MASTER = false;
        LoadLcInfos();
        LCInfosPhase(0);
        BuildSaTree();
        BuildLcTree();
        RedrawLCMarkers();
    }
    if (m.REFRESH_TCDV_TOD) {
        m.REFRESH_TCDV_TOD = false;
        LoadLcInfos();
        LCInfosPhase(0);
        RedrawLCMarkers();
    }
    if (m.REFRESH_TFDT_MASTER) {
        m.REFRESH_TFDT_MASTER = false;
        if (DM && DM->G_APP_SERVER)
            RunScript(QStringLiteral(" if (map.hasLayer(tfdtLayer)) { getAxSpecialLayer(); }"));
    }
    if (m.REFRESH_APPLICATION) {
        m.REFRESH_APPLICATION = false;
        ReloadApplication();
    }
    // REFRESH_MVMT_TCDV_M stays for the next refresh of the intersection monitors.
}

void TfrmMain::FormDeactivate()
{
    for (const auto &s : MainActiveShortcuts())
        if (QAction *a = Action(QString::fromLatin1(s.first)))
            a->setShortcut(QKeySequence());
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // FormResize: the group grid fills the width when its columns are narrower.
    if (FUi.gtvSAMot && FUi.AreaBrowser) {
        const bool stretch = FUi.AreaBrowser->width() + FUi.GridColumnWidth < width();
        FUi.gtvSAMot->horizontalHeader()->setSectionResizeMode(stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
    }
}

// ---------------------------------------------------------------------------
// Shutdown
// ---------------------------------------------------------------------------

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (FClosed) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TfrmMain::FormCloseQuery()
{
    const int answer = ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), Tx(QStringLiteral("IDS_2")),
                                  Tx(QStringLiteral("IDS_3")), QString(), mkQuestion);
    return answer == mrYes;
}

void TfrmMain::FormClose()
{
    if (FClosed)
        return;
    FClosed = true;
    // Control windows in the middle of a run outlive this window until the run ends.
    TMainOpeners::RunMainCloseHooks(this);
    // 1. The detector counter.
    StopTfdtInfoThread();
    // The vehicle-position pollers.
    StopVehiclePollers();
    // 2. The side panels close now.
    emit formClosing();
    // 3. Settings.
    SaveSettings();
    if (DM) {
        // 4. Bookmarks (an error is ignored).
        if (FBookmarkJsonObject)
            MainLists::SaveBookmarks(DM->Con(), DM->G_APP_USER.ID, BookmarksJson(FBookmarkJsonObject));
        // 5. Logout event.
        DM->WriteEventControl(DM->G_APP_USER.ID, 160, 1, 3, false, 0, Tx(QStringLiteral("IDS_1")));
    }
    // 6. Monitoring stops.
    FHub->Timer()->stop();
    FHub->SetClosed();
    // 7. The two logs go.
    if (frmTH_LogCom) {
        frmTH_LogCom->close();
        delete frmTH_LogCom;
        frmTH_LogCom = nullptr;
    }
    if (frmTH_TCDV_C_Log) {
        frmTH_TCDV_C_Log->close();
        delete frmTH_TCDV_C_Log;
        frmTH_TCDV_C_Log = nullptr;
    }
    // 8. The application server ends with the console.
    if (DM && DM->G_APP_SERVER)
        SendAppServerCommand(QString::fromLatin1(AppServerPipe::CmdAppClose));
    // 9. The database connection (errors ignored).
    if (DM)
        DM->DisconnectDB();
}

void TfrmMain::StopTfdtInfoThread()
{
    if (FTfdtInfoThread)
        FTfdtInfoThread->Stop();
    delete FTfdtInfoThread;
    FTfdtInfoThread = nullptr;
}

void TfrmMain::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    FClosed = true;
    TMainOpeners::RunMainCloseHooks(this);
    if (FHub)
        FHub->Timer()->stop();
    StopTfdtInfoThread();
    // Wait for a running cycle, then the closing step of the monitoring connection.
    if (FHub)
        FHub->Shutdown();
    StopVehiclePollers();
    delete frmTH_LogCom;
    frmTH_LogCom = nullptr;
    delete frmTH_TCDV_C_Log;
    frmTH_TCDV_C_Log = nullptr;
    delete FCurrentEventWindow.data();
    if (FHub)
        FHub->ClearViews();
    if (FMapViewController) {
        FOwnBridge.reset();
        FBridge = nullptr;
        delete FMapViewController;
        FMapViewController = nullptr;
    }
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

void TfrmMain::LoadSettings()
{
    if (!DM)
        return;
    const TMainFormSettings s = MainSettings::ReadForWindow(this);
    FUi.Legend->SetLegend(s.Legend);
    bool ok = false;
    const int zoom = s.MapZoom.trimmed().toInt(&ok);
    if (ok)
        FScale = zoom;
}

void TfrmMain::SaveSettings()
{
    if (!DM)
        return;
    TMainFormSettings s = MainSettings::WindowPlace(this);
    s.Legend = Legend();
    s.MapLat = FCurrentPos.Lat;
    s.MapLng = FCurrentPos.Lng;
    s.MapZoom = QString::number(FScale);
    MainSettings::WriteForWindow(s);
}

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

void TfrmMain::ShowDbError(const QSqlError &error)
{
    if (DM)
        DM->ShowDbError(this, error, DM->Text(QStringLiteral("IDS_5")), DM->Text(QStringLiteral("IDS_4")));
}

bool TfrmMain::LoadLcInfos()
{
    if (!DM)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QSqlError error;
    const bool ok = G_LC_INFO_SET.LoadFromDb(DM->Con(), &error);
    QApplication::restoreOverrideCursor();
    if (!ok)
        ShowDbError(error);
    return ok;
}

void TfrmMain::LCInfosPhase(int TCDV_ID)
{
    if (!DM)
        return;
    QSqlError error;
    if (!G_LC_INFO_SET.LoadMovementsFromDb(DM->Con(), TCDV_ID, &error))
        ShowDbError(error);
}

bool TfrmMain::LoadSaList()
{
    if (!DM)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QSqlError error;
    const bool ok = MainLists::LoadSaList(DM->Con(), &FSA_NameList, &FSA_BoundsList, &error);
    QApplication::restoreOverrideCursor();
    if (!ok)
        ShowDbError(error);
    return ok;
}

bool TfrmMain::LoadDBErrorCodes()
{
    if (!DM)
        return false;
    QSqlError error;
    QMap<int, QString> codes;
    if (!MainLists::LoadDBErrorCodes(DM->Con(), &codes, &error)) {
        ShowDbError(error);
        return false;
    }
    FDBErrorCode = codes;
    return true;
}

QString TfrmMain::GetDBErrorCode(int ACode) const { return FDBErrorCode.value(ACode); }

bool TfrmMain::LoadMapLayers()
{
    if (!DM)
        return false;
    QSqlError error;
    const bool ok = MainLists::LoadMapLayers(DM->Con(), &DM->G_NodeGeoJson, &DM->G_LinkGeoJson, &error);
    if (!ok)
        ShowDbError(error);
    return ok;
}

void TfrmMain::ReloadApplication()
{
    TMonitorPause pause(FHub);
    FBridge->SetShowLoadingPanel(true);
    QCoreApplication::processEvents();
    FBridge->Load(QStringLiteral("about:blank"));
    LoadMapLayers();
    LoadDBErrorCodes();
    LoadLcInfos();
    LCInfosPhase(0);
    LoadSaList();
    BuildSaTree();
    BuildLcTree();
    if (DM)
        FBridge->Load(DM->G_URL);
}

void TfrmMain::WmReloadLists()
{
    TMonitorPause pause(FHub);
    LoadSaList();
    LoadLcInfos();
    LCInfosPhase(0);
    BuildSaTree();
    BuildLcTree();
    RedrawLCMarkers();
}

// ---------------------------------------------------------------------------
// Local application server
// ---------------------------------------------------------------------------

void TfrmMain::SendAppServerCommand(const QString &command) { SendMainAppServerCommand(this, command); }

// ---------------------------------------------------------------------------
// Monitoring-link log
// ---------------------------------------------------------------------------

void TfrmMain::AddLogCom(const QString &Msg)
{
    if (frmTH_LogCom)
        frmTH_LogCom->AddLog(Msg);
}

void TfrmMain::OnMonitorLog(const QString &title, const QByteArray &packet)
{
    // LogMonitorPacket: the line and the dump of the packet as it stood.
    FLogTitle = title;
    if (!frmTH_LogCom)
        return;
    frmTH_LogCom->AddLog(FLogTitle);
    frmTH_LogCom->DsplPacket(FLogTitle, packet.constData(), int(packet.size()), 16);
}

// ---------------------------------------------------------------------------
// Monitoring cycle
// ---------------------------------------------------------------------------

void TfrmMain::ShowGlyphs(const TMonitorGlyphs &g)
{
    MainWindowBuilder::SetGlyph(FUi.gsConnection, g.Connection);
    MainWindowBuilder::SetGlyph(FUi.gsRequest, g.Request);
    MainWindowBuilder::SetGlyph(FUi.gsReceive, g.Receive);
}

void TfrmMain::OnStateShown(bool monitored)
{
    Q_UNUSED(monitored);
    // Counters, group grid and markers, unless minimised.
    if (!isMinimized())
        ShowMonitorState();
}

void TfrmMain::ShowMonitorState()
{
    const QDateTime t = RcPacketTimeToDateTime(FHub->PacketTime().tv_sec);
    const TStateImageRef image = FHub->Image();
    m_MmiMain.Fill(FHub->Counters(), t, image.get());
    m_MmiMain.m_pscs_state = nullptr; // the snapshot is the hub's to keep
    if (IsAreaBrowserOpen())
        FLegend->ShowCounters(FHub->Counters());
    if (IsMntrPanelOpen())
        FillSaMotGrid();
    if (PageReady() && !FMoving)
        FBridge->ExecuteJavaScript(QStringLiteral("getAxLCLayer()"));
}

void TfrmMain::FillSaMotGrid()
{
    const TStateImageRef image = FHub->Image();
    const QList<QStringList> rows = SaMotRows(*image, FSA_NameList, m_MmiMain.tPacketTime);
    // The grid is filled anew in content, but only the cells whose text changed are
    // touched (mostly the time column); rows are added or dropped at the end.
    gtvSAMot->setUpdatesEnabled(false);
    if (gtvSAMot->rowCount() != rows.size())
        gtvSAMot->setRowCount(int(rows.size()));
    const int columns = gtvSAMot->columnCount();
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns; ++c) {
            const QString text = c < rows[r].size() ? rows[r][c] : QString();
            if (QTableWidgetItem *item = gtvSAMot->item(r, c)) {
                if (item->text() != text)
                    item->setText(text);
                continue;
            }
            if (c >= rows[r].size())
                continue;
            auto *item = new QTableWidgetItem(text);
            if (c != 1)
                item->setTextAlignment(Qt::AlignCenter);
            gtvSAMot->setItem(r, c, item);
        }
    gtvSAMot->setUpdatesEnabled(true);
}

QString TfrmMain::GetLcStatusColor(int state, int mode) const
{
    return ::GetLcStatusColor(Legend().Status, state, mode);
}

void TfrmMain::MakeLcScript(int lcNo, QString &script) const
{
    const int maxZoom = DM ? DM->G_MAP_MAX_ZOOM : 19;
    const int offset = DM ? DM->G_MVMT_MAXZOOM_OFFSET : 4;
    MainMapPage::MakeLcScript(script, lcNo, G_LC_INFO_SET, Legend(), FScale, maxZoom, offset);
}

void TfrmMain::ApplyCommSettingsChanged()
{
    FHub->RestartAfterSettingsChange(DM ? DM->G_RC_MNTR_PERIOD : FHub->Timer()->interval());
    if (DM && DM->G_APP_SERVER)
        SendAppServerCommand(QString::fromLatin1(AppServerPipe::CmdReconnect));
    AddLogCom(Tx(QStringLiteral("IDS_27")));
}

// ---------------------------------------------------------------------------
// Side panels
// ---------------------------------------------------------------------------

bool TfrmMain::IsAreaBrowserOpen() const { return FAreaBrowserOpen; }

void TfrmMain::SetAreaBrowserOpen(bool open)
{
    FAreaBrowserOpen = open;
    const int total = qMax(FUi.MainSplit->width(), 800);
    FUi.MainSplit->setSizes({open ? 300 : 0, open ? total - 300 : total});
}

bool TfrmMain::IsMntrPanelOpen() const { return FMntrPanelOpen; }

void TfrmMain::SetMntrPanelOpen(bool open)
{
    FMntrPanelOpen = open;
    const int total = qMax(FUi.MapSplit->height(), 600);
    FUi.MapSplit->setSizes({open ? total - 160 : total, open ? 160 : 0});
}

// ---------------------------------------------------------------------------
// Map page
// ---------------------------------------------------------------------------

bool TfrmMain::PageReady() const { return FBridge && FBridge->IsPageReady(); }

void TfrmMain::RunScript(const QString &script)
{
    if (PageReady() && !script.isEmpty())
        FBridge->ExecuteJavaScript(script);
}

void TfrmMain::InitMapPage()
{
    // A loaded page holds no marker the console has coloured yet.
    FShownMarkers.Clear();
    if (!FBridge || !FBridge->BrowserExists() || !DM)
        return;
    TMainMapPageConfig cfg = TMainMapPageConfig::FromDM();
    QList<int> all;
    QSet<int> withDetectors;
    QSqlError error;
    if (!LoadLcMarkerSources(DM->Con(), &all, &withDetectors, &error))
        ShowDbError(error);
    const QList<TLcMarkerSpec> markers = CollectLcMarkers(all, withDetectors, G_LC_INFO_SET);
    QList<QPair<int, QString>> outlines;
    for (auto it = FSA_BoundsList.cbegin(); it != FSA_BoundsList.cend(); ++it)
        outlines << qMakePair(it.key(), it.value());
    const TInitMapPageScript s = MainMapPage::InitMapPage(cfg, Legend(), markers, outlines, &FMarkerLists);
    if (!s.PreScript.isEmpty())
        FBridge->ExecuteJavaScript(s.PreScript);
    if (s.BoundsMissing) {
        ShowMsgDlg(this, DM->G_APP_TITLE,
                   Tx(QStringLiteral("IDS_56")) + QLatin1Char('\n') + Tx(QStringLiteral("IDS_57")),
                   Tx(QStringLiteral("IDS_66")), QString(), mkInformation);
        return;
    }
    FBridge->ExecuteJavaScript(s.Script);
}

void TfrmMain::DrawLCMarkers(QString &script)
{
    // Rebuilt markers start in the communication-error colour, without arrows.
    FShownMarkers.Clear();
    if (!DM)
        return;
    QList<int> all;
    QSet<int> withDetectors;
    QSqlError error;
    if (!LoadLcMarkerSources(DM->Con(), &all, &withDetectors, &error))
        ShowDbError(error);
    MainMapPage::DrawLCMarkers(script, Legend(), CollectLcMarkers(all, withDetectors, G_LC_INFO_SET), &FMarkerLists);
}

void TfrmMain::RedrawLCMarkers()
{
    QString script;
    DrawLCMarkers(script);
    if (FBridge && FBridge->BrowserExists())
        FBridge->ExecuteJavaScript(script);
}

void TfrmMain::DrawSA(QString &script)
{
    if (!FBridge || !FBridge->BrowserExists())
        return;
    QList<QPair<int, QString>> outlines;
    for (auto it = FSA_BoundsList.cbegin(); it != FSA_BoundsList.cend(); ++it)
        outlines << qMakePair(it.key(), it.value());
    MainMapPage::DrawSA(script, Legend(), outlines);
}

void TfrmMain::DrawSA()
{
    if (!PageReady())
        return;
    QString script;
    DrawSA(script);
    FBridge->ExecuteJavaScript(script);
}

void TfrmMain::crmConsoleMessage(const QString &message)
{
    QString key, value;
    if (SplitConsoleMessage(message, &key, &value))
        FPageMessages.Console(key, value);
}

bool TfrmMain::BrowserMessageReceived(const QString &name, const QVariantList &args)
{
    return FPageMessages.Native(name, args);
}

void TfrmMain::RegisterPageMessages()
{
    // The side panels' messages (VIP and traffic-information selections, the
    // emergency panel's markers).
    FUi.VipPanel->RegisterPageMessages(FPageMessages);
    FUi.TrafficInfoPanel->RegisterPageMessages(FPageMessages);
    FUi.AppEmergencyPanel->RegisterPageMessages(FPageMessages);

    // Console messages of the window.
    FPageMessages.AddConsole(QStringLiteral("DoubleClicked"), [this](const QString &) { OpenLCMonitor(SelectedTCDV()); });
    FSelection->RegisterPageMessages(FPageMessages);
    FPageMessages.AddConsole(QStringLiteral("copyID"),
                             [](const QString &value) { QGuiApplication::clipboard()->setText(value); });

    // Native calls of the window.
    FPageMessages.AddNative(QStringLiteral("mouseMove"), [this](const QVariantList &args) {
        FCurrentPos.Lat = NativeArgNumText(args, 0);
        FCurrentPos.Lng = NativeArgNumText(args, 1);
        FUi.spLat->setText(QStringLiteral("Lat : ") + FCurrentPos.Lat);
        FUi.spLng->setText(QStringLiteral("Lng : ") + FCurrentPos.Lng);
    });
    FPageMessages.AddNative(QStringLiteral("zoomEnd"), [this](const QVariantList &args) { FScale = NativeArgInt(args, 0); });
    FPageMessages.AddNative(QStringLiteral("loadEnd"), [this](const QVariantList &) { FBridge->SetIsLoading(false); });
    FPageMessages.AddNative(QStringLiteral("changeVisible"), [this](const QVariantList &args) { ChangeLayerVisible(args); });
    FPageMessages.AddNative(QStringLiteral("clearSelection"), [this](const QVariantList &) {
        SetSelection(0, 0);
        if (FBridge->BrowserExists())
            FBridge->ExecuteJavaScript(MainMapPage::ClearSelectionScript(Legend()));
    });
    FPageMessages.AddNative(QStringLiteral("selectTcdv"), [](const QVariantList &) {});
    FPageMessages.AddNative(QStringLiteral("miniMapSync"), [](const QVariantList &) {});
    FPageMessages.AddNative(QStringLiteral("keyPress"), [this](const QVariantList &args) {
        if (NativeArgInt(args, 0) != 32)
            return;
        const bool show = !menuBar()->isVisible();
        menuBar()->setVisible(show);
        statusBar()->setVisible(show);
        setWindowFlag(Qt::FramelessWindowHint, !show);
        QMainWindow::show();
    });
    FPageMessages.AddNative(QStringLiteral("drawLC"), [this](const QVariantList &args) {
        if (!FBridge->BrowserExists())
            return;
        // Only the markers whose colour, blink or arrows changed since the page
        // applied them are sent.
        const int maxZoom = DM ? DM->G_MAP_MAX_ZOOM : 19;
        const int offset = DM ? DM->G_MVMT_MAXZOOM_OFFSET : 4;
        const QString script = FShownMarkers.DrawLCScript(NativeArgStr(args, 0), G_LC_INFO_SET, Legend(), FScale,
                                                          maxZoom, offset);
        if (!script.isEmpty())
            FBridge->ExecuteJavaScript(script);
    });
    FPageMessages.AddNative(QStringLiteral("bookmark"), [this](const QVariantList &args) {
        if (QAction *a = Action(QStringLiteral("actBookmark%1").arg(NativeArgInt(args, 0))))
            a->trigger();
    });
    FPageMessages.AddNative(QStringLiteral("moving"), [this](const QVariantList &args) { FMoving = NativeArgBool(args, 0); });
}

void TfrmMain::ChangeLayerVisible(const QVariantList &args)
{
    if (!DM)
        return;
    const bool visible = NativeArgStr(args, 0) == QLatin1String("Visible");
    switch (MainMapPage::ChangeVisibleTarget(NativeArgStr(args, 1), Tx(QStringLiteral("IDS_101")), Tx(QStringLiteral("IDS_60")))) {
    case MainMapPage::vtNode: DM->G_NODE_VISIBLE = visible; break;
    case MainMapPage::vtLink: DM->G_LINK_VISIBLE = visible; break;
    case MainMapPage::vtTfdt: DM->G_TFDT_VISIBLE = visible; break;
    case MainMapPage::vtTcdv: DM->G_TCDV_VISIBLE = visible; break;
    case MainMapPage::vtSA: DM->G_SA_VISIBLE = visible; break;
    case MainMapPage::vtLC: DM->G_LC_VISIBLE = visible; break;
    case MainMapPage::vtMvmt: DM->G_MVMT_VISIBLE = visible; break;
    case MainMapPage::vtNone: break;
    }
}

// ---------------------------------------------------------------------------
// Intersection monitors
// ---------------------------------------------------------------------------

void TfrmMain::RegisterMonitorView(TMonitorViewKind kind, IMonitorView *view, QObject *window)
{
    TMonitorHub *hub = FHub;
    if (!hub || !view)
        return;
    hub->RegisterMonitorView(kind, view);
    if (window)
        connect(window, &QObject::destroyed, hub, [hub, kind, view] { hub->UnregisterMonitorView(kind, view); });
}

void TfrmMain::OpenLCMonitor(int LcId)
{
    if (LcId <= 0) {
        ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), Tx(QStringLiteral("IDS_23")),
                   Tx(QStringLiteral("IDS_24")), QString(), mkInformation);
        return;
    }
    if (QWidget *w = FHub->LcMonitor(LcId)) {
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    if (DM && DM->G_LC_MNTR_OPTION == lcmoSingle) {
        const QStringList open = FHub->LcMonitorList();
        if (!open.isEmpty())
            if (QWidget *first = FHub->LcMonitor(open.first().section(QLatin1Char('='), 0, 0).toInt()))
                first->close();
    }
    if (!TMainServices::Current().LcMonitorFactory)
        return;
    const TMapLegend legend = Legend();
    QWidget *w = TMainServices::Current().LcMonitorFactory(this, G_LC_INFO_SET.GetLcInfo(LcId), legend.GreenMvmt, legend.YellowMvmt);
    if (!w)
        return;
    w->setWindowTitle(Action(QStringLiteral("actOpenTCDV_M"))->text());
    w->show();
    FHub->AddLcMonitor(LcId, w);
}

// ---------------------------------------------------------------------------
// Actions
// ---------------------------------------------------------------------------

void TfrmMain::actCloseExecute() { close(); }

static void showResident(QWidget *w)
{
    if (!w)
        return;
    if (w->isHidden()) {
        w->show();
    } else {
        w->raise();
        w->activateWindow();
    }
}

void TfrmMain::actOpenLogComExecute() { showResident(frmTH_LogCom); }

void TfrmMain::actOpenTCDV_C_LogExecute() { showResident(frmTH_TCDV_C_Log); }

void TfrmMain::actOpenCURR_EVExecute() { showResident(FCurrentEventWindow.data()); }

void TfrmMain::actOpenTCDV_MExecute() { OpenLCMonitor(SelectedTCDV()); }

void TfrmMain::actCollapseAllExecute() { FUi.trvSA->collapseAll(); }

void TfrmMain::actOpenCOM_EExecute()
{
    TfrmCOM_E dlg(this);
    dlg.setWindowTitle(Action(QStringLiteral("actOpenCOM_E"))->text());
    if (dlg.exec() == QDialog::Accepted)
        ApplyCommSettingsChanged();
}

void TfrmMain::actShowDevToolExecute()
{
    if (DM && DM->G_ADMIN_MODE && FBridge)
        FBridge->ShowDevTools();
}

void TfrmMain::actWebViewRefreshExecute()
{
    if (DM && DM->G_ADMIN_MODE && FBridge)
        FBridge->Load(DM->G_URL);
}

// ---------------------------------------------------------------------------
// Packet sizes
// ---------------------------------------------------------------------------

void TfrmMain::btnPacketSizeClick()
{
    const QString title = Tx(QStringLiteral("IDS_PacketSize"));
    for (int size : {int(RC_GROUP_RECORD_SIZE), int(sizeof(TST_ITST_STATE)), int(sizeof(TST_VESK_STATE))})
        ShowMsgDlg(this, title, QString::number(size), title, QString(), mkInformation);
}

// ---------------------------------------------------------------------------
// Vehicle-position pollers
// ---------------------------------------------------------------------------

void TfrmMain::StartVehiclePollers() { ::StartVehiclePollers(FBRTThread, FWASThread, &FWasVisible, FBridge); }

void TfrmMain::StopVehiclePollers() { ::StopVehiclePollers(FBRTThread, FWASThread); }

// ---------------------------------------------------------------------------
// Window openers
// ---------------------------------------------------------------------------

QWidget *TfrmMain::OpenedWindow(const QString &actionName) const
{
    const TMainActionDef *def = FindMainActionDef(actionName);
    if (!def || !*def->WindowClass)
        return nullptr;
    return TWindowRegistry::Find(QString::fromLatin1(def->WindowClass));
}

bool TfrmMain::ExecuteOpenAction(const QString &actionName)
{
    const TMainActionDef *def = FindMainActionDef(actionName);
    if (!def || !*def->WindowClass)
        return false;
    QAction *act = Action(actionName);
    TOpenContext ctx;
    ctx.Main = this;
    ctx.ActionName = actionName;
    ctx.Caption = act ? act->text() : QString();
    ctx.SA_ID = SelectedSA();
    ctx.TCDV_ID = SelectedTCDV();
    const bool ownedByMain = def->Pattern == opOwned || def->Pattern == opModalFreed || def->Pattern == opModal;
    ctx.Owner = ownedByMain ? this : nullptr;
    return OpenActionWindow(*def, ctx, G_LC_INFO_SET, QRect(x(), y(), width(), height()));
}

void TfrmMain::actOpenSA_MExecute()
{
    if (SelectedSA() <= 0 && !TWindowRegistry::Find(QStringLiteral("TfrmSA_M"))) {
        ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), Tx(QStringLiteral("IDS_23")), Tx(QStringLiteral("IDS_24")),
                   QString(), mkInformation);
        return;
    }
    const bool wasOpen = TWindowRegistry::Find(QStringLiteral("TfrmSA_M")) != nullptr;
    if (!ExecuteOpenAction(QStringLiteral("actOpenSA_M")) || wasOpen)
        return;
    if (QWidget *w = TWindowRegistry::Find(QStringLiteral("TfrmSA_M"))) {
        w->setWindowTitle(Action(QStringLiteral("actOpenSA_M"))->text() + QStringLiteral(" : ") + GetSaName(SelectedSA()));
        const int mntrH = FUi.Mntr ? FUi.Mntr->height() : 0;
        w->move(x() + width() / 2 - w->width() / 2, y() + height() - w->height() - mntrH - 14);
    }
}

void TfrmMain::actOpenTCDV_E_PhaseMvmtExecute()
{
    if (SelectedTCDV() <= 0 && !TWindowRegistry::Find(QStringLiteral("TfrmTCDV_E_PhaseMvmt"))) {
        ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), Tx(QStringLiteral("IDS_23")), Tx(QStringLiteral("IDS_24")),
                   QString(), mkInformation);
        return;
    }
    ExecuteOpenAction(QStringLiteral("actOpenTCDV_E_PhaseMvmt"));
}

// ---------------------------------------------------------------------------
// Host requests, reload, bookmarks, map picture, help and tools
// ---------------------------------------------------------------------------

THostRequestHooks TfrmMain::HostRequestHooks()
{
    THostRequestHooks h;
    h.StopMonitoring = [this] { FHub->Timer()->stop(); };
    h.StartMonitoring = [this] {
        if (!FClosed)
            FHub->Timer()->start();
    };
    h.AddLogCom = [this](const QString &m) { AddLogCom(m); };
    return h;
}

void TfrmMain::actReqtParamsChangedExecute()
{
    ExecuteHostRequest(this, hrParamsChanged, HostRequestHooks());
}

void TfrmMain::actReqtHostRebootExecute()
{
    ExecuteHostRequest(this, hrHostReboot, HostRequestHooks());
}

void TfrmMain::actReqtAppReloadExecute()
{
    if (ShowMsgDlg(this, PanelAppTitle(), PanelText(QStringLiteral("IDS_112")), PanelText(QStringLiteral("IDS_29")),
                   QString(), mkQuestion)
        != mrYes)
        return;
    if (DM) {
        DM->G_MAP_INIT_LAT = FCurrentPos.Lat;
        DM->G_MAP_INIT_LNG = FCurrentPos.Lng;
        DM->G_MAP_INIT_ZOOM = QString::number(FScale);
    }
    ReloadApplication();
    FSelection->ShowSelectionAgain();
}

void TfrmMain::actBookmarkExecute(int n)
{
    // actBookmarkUpdate: only while the page can take scripts.
    if (!FBridge || !FBridge->IsPageReady())
        return;
    ExecuteBookmarkRecall(this, FBookmarkJsonObject, n, FBridge);
}

void TfrmMain::actBookmarkRegExecute(int n)
{
    if (!FBridge || !FBridge->IsPageReady())
        return;
    ExecuteBookmarkRegister(FBookmarkJsonObject, n, FCurrentPos, FScale, FBridge);
}

void TfrmMain::actSaveMapViewExecute()
{
    if (FBridge && FBridge->IsLoading())
        return;
    const QString folder = DM ? DM->G_DIALOG_PATH : QString();
    const QString file = ShowSaveDialog(this, Action(QStringLiteral("actSaveMapView"))->text(), folder,
                                        Tx(QStringLiteral("IDS_62")), QStringLiteral("Bitmaps (*.bmp)|*.bmp"),
                                        QStringLiteral("bmp"));
    if (file.isEmpty())
        return;
    if (DM)
        DM->G_DIALOG_PATH = QFileInfo(file).absolutePath();
    QWidget *view = (FBridge && FBridge->View()) ? FBridge->View() : FUi.MapView;
    const QPixmap picture = view->grab();
    picture.save(file, "BMP");
}

void TfrmMain::actHelpExecute()
{
    ShellOpen((DM ? DM->G_APP_PATH : QString()) + QStringLiteral("help/Quorval_Help.chm"), {});
}

void TfrmMain::actOpenUserManualExecute()
{
    ShellOpen((DM ? DM->G_APP_PATH : QString()) + QStringLiteral("help/Quorval_UserManual.chm"), {});
}

void TfrmMain::actOpenTimeSpaceDiagramExecute()
{
    const QString path = (DM ? DM->G_APP_PATH : QString()) + QStringLiteral("ViduZozodAroduvud.exe");
    if (!QFileInfo::exists(path)) {
        ShowMsgDlg(this, PanelAppTitle(), Tx(QStringLiteral("IDS_72")), Tx(QStringLiteral("IDS_73")), path, mkError);
        return;
    }
    ShellOpen(path, {DM ? DM->G_APP_USER.ID : QString(), DM ? DM->G_APP_USER.Pass : QString()});
}

