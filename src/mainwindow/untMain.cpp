#include "mainwindow/untMain.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QCheckBox>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSet>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QTreeView>
#include <QVBoxLayout>

#include "mainwindow/AppServerClientUnit.h"
#include "mainwindow/BookmarkUnit.h"
#include "core/FileDialogService.h"
#include "mainwindow/HostRequestUnit.h"
#include "mainwindow/MainActionsUnit.h"
#include "mainwindow/MenuUnit.h"
#include "mainwindow/PanelTextUnit.h"
#include "mainwindow/VehiclePollerUnit.h"
#include "core/WindowRegistry.h"
#include "mainwindow/untEmergencyPanel.h"
#include "core/untSA_S.h"
#include "core/untTCDV_S.h"
#include "mainwindow/untTrafficInfoPanel.h"
#include "mainwindow/untVipPanel.h"
#include "foundation/AppServerPipe.h"
#include "core/InAppMessage.h"
#include "foundation/JsEscape.h"
#include "core/LcStatusColor.h"
#include "core/LookupUnit.h"
#include "mainwindow/MainListsUnit.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "core/Quorval.h"
#include "mainwindow/TfdtInfoThreadUnit.h"
#include "core/siLang.h"
#include "core/untCodeToText.h"
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

// Shortcuts given while the main window is active (removed when it is not).
const QList<QPair<const char *, const char *>> kActiveShortcuts = {
    {"actOpenTCDV_S", "Ctrl+F"},        {"actOpenTCDV_M", "Ctrl+M"},
    {"actOpenTCDV_C_Control", "Ctrl+A"}, {"actOpenTCDV_C_DBUpDn", "Ctrl+U"},
    {"actOpenCURR_EV", "Ctrl+E"},       {"actOpenTCDV_Conf", "Ctrl+S"},
    {"actOpenVIPControl", "Ctrl+P"},    {"actOpenTrafficInfo", "Ctrl+I"},
    {"actOpenEventHistory", "Ctrl+H"},  {"actOpenTCDV_HS_Sgnl", "Ctrl+O"},
};

// Status glyphs (the window's image list): 0 receive blink, 1 request blink,
// 2 receive idle, 3 request idle, 6 connected, 7 disconnected.
QPixmap GlyphPixmap(int index)
{
    QColor c;
    switch (index) {
    case 0: c = QColor(0x2e, 0xcc, 0x40); break;
    case 1: c = QColor(0xff, 0xdc, 0x00); break;
    case 2: c = QColor(0x1b, 0x5e, 0x20); break;
    case 3: c = QColor(0x80, 0x6a, 0x00); break;
    case 6: c = QColor(0x00, 0x74, 0xd9); break;
    case 7: c = QColor(0xff, 0x41, 0x36); break;
    default: c = Qt::gray; break;
    }
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(c);
    p.setPen(c.darker());
    p.drawEllipse(1, 1, 12, 12);
    return pm;
}

void setGlyph(QLabel *label, int index)
{
    if (!label)
        return;
    label->setProperty("imageIndex", index);
    label->setPixmap(GlyphPixmap(index));
}

// Pauses the monitoring timer for the life of the guard. A cycle that runs meanwhile
// finishes on its own; its snapshot is not applied to a set that was reloaded.
class TMonitorPause
{
public:
    explicit TMonitorPause(TMonitorHub *hub) : FHub(hub), FWasActive(hub->Pause()) {}
    ~TMonitorPause()
    {
        if (FHub)
            FHub->Resume(FWasActive);
    }

private:
    QPointer<TMonitorHub> FHub;
    bool FWasActive;
};

} // namespace

// ---------------------------------------------------------------------------
// Registration with the start-up sequence
// ---------------------------------------------------------------------------

void RegisterMainWindow()
{
    SetMainWindowFactory([]() -> QWidget * { return new TfrmMain; });
}

// ---------------------------------------------------------------------------
// Group grid of the monitoring panel
// ---------------------------------------------------------------------------

QStringList SaMotColumnKeys()
{
    QStringList keys;
    for (int i = 0; i < 16; ++i)
        keys << QStringLiteral("gtvSAMot.Col%1").arg(i);
    return keys;
}

QList<QStringList> SaMotRows(const TST_VESK_STATE &image, const QMap<int, QString> &names, const QDateTime &time)
{
    static const int kBytes[] = {3, 4, 5, 6, 7, 8, 9, 10, 12, 11, 13, 14};
    QList<QStringList> rows;
    const QString t = time.toString(QStringLiteral("hh:mm:ss"));
    for (int g = 1; g <= RC_GROUP_COUNT; ++g) {
        const quint8 *rec = image.grp_state[g - 1];
        if (rec[0] == 0 || !names.contains(g))
            continue;
        QStringList r;
        r << QString::number(g) << names.value(g) << t << GetCtrlModeText(rec[2]);
        for (int b : kBytes)
            r << QString::number(rec[b]);
        rows << r;
    }
    return rows;
}

// ---------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------

TMainServices &TMainServices::Current()
{
    static TMainServices services;
    return services;
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

QAction *TfrmMain::Action(const QString &name) const { return FActions.value(name); }

QList<QAction *> TfrmMain::Actions() const { return FActions.values(); }

TMapLegend TfrmMain::Legend() const { return FLegend ? FLegend->Legend() : TMapLegend::Defaults(); }

void TfrmMain::CreateActions()
{
    for (const TMainActionDef &d : MainActionDefs()) {
        auto *a = new QAction(this);
        a->setObjectName(QString::fromLatin1(d.Name));
        if (d.Separator)
            a->setSeparator(true);
        if (*d.Shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(d.Shortcut)));
        FActions.insert(a->objectName(), a);
        const QString name = a->objectName();
        if (d.Pattern != opNone && d.Pattern != opResident)
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
        if (QAction *a = Action(QStringLiteral("actBookmark%1").arg(n))) {
            a->setProperty("Tag", n);
            connect(a, &QAction::triggered, this, [this, n] { actBookmarkExecute(n); });
        }
        if (QAction *a = Action(QStringLiteral("actBookmark%1Reg").arg(n))) {
            a->setProperty("Tag", n);
            connect(a, &QAction::triggered, this, [this, n] { actBookmarkRegExecute(n); });
        }
    }
    for (QAction *a : std::as_const(FActions))
        addAction(a);
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

void TfrmMain::BuildPopupMenu()
{
    pmLC = new QMenu(this);
    pmLC->setObjectName(QStringLiteral("pmLC"));
    auto proxy = [this](QMenu *menu, const char *name, int tag) {
        QAction *main = Action(QString::fromLatin1(name));
        auto *p = new QAction(menu);
        p->setObjectName(QStringLiteral("pm_") + QString::fromLatin1(name));
        p->setProperty("tag", tag);
        p->setProperty("mainAction", QString::fromLatin1(name));
        if (main && main->isSeparator())
            p->setSeparator(true);
        else if (main)
            connect(p, &QAction::triggered, main, &QAction::trigger);
        menu->addAction(p);
        return p;
    };
    pmMapCaption = new QAction(pmLC);
    pmMapCaption->setObjectName(QStringLiteral("pmMapCaption"));
    pmMapCaption->setProperty("tag", 1);
    pmLC->addAction(pmMapCaption);
    proxy(pmLC, "actLine1", 1);
    proxy(pmLC, "actOpenTCDV_E_Master", 1);
    proxy(pmLC, "actAuth", 1);
    proxy(pmLC, "actOpenTCDV_M", 1);
    proxy(pmLC, "actOpenTCDV_C_Control", 1);
    proxy(pmLC, "actOpenTCDV_C_DBUpDn", 1);
    proxy(pmLC, "actLine7", 1);
    pmLcEdit = new QMenu(pmLC);
    pmLcEdit->setObjectName(QStringLiteral("pmLcEdit"));
    for (const char *n : {"actOpenTCDV_E_SignalManagerVariable", "actOpenTCDV_E_Algorithm", "actOpenTcdvTod",
                          "actOpenTcdvOffsetInfo", "actOpenTCDV_E_FlashMap", "actOpenTCDV_E_ReservePlan",
                          "actOpenTCDV_E_ConflictMap"})
        proxy(pmLcEdit, n, 1);
    pmLcEdit->menuAction()->setProperty("tag", 1);
    pmLC->addMenu(pmLcEdit);
    pmSaEdit = new QMenu(pmLC);
    pmSaEdit->setObjectName(QStringLiteral("pmSaEdit"));
    for (const char *n : {"actOpenSA_E_Master", "actOpenSA_E_Conf"})
        proxy(pmSaEdit, n, 1);
    pmSaEdit->menuAction()->setProperty("tag", 1);
    pmLC->addMenu(pmSaEdit);
    QAction *plain = pmLC->addSeparator();
    plain->setProperty("tag", 1);
    proxy(pmLC, "actOpenTFDT_E", 1);
    proxy(pmLC, "actAuth", 1);
    proxy(pmLC, "actSaveMapView", 999);
    proxy(pmLC, "actCollapseAll", 1000);

    // The editing sub-menus by grade: intersection editors for 1 and 3, group editors for 1.
    const int grade = DM ? DM->G_APP_USER.Role : 2;
    pmLcEdit->menuAction()->setEnabled(grade == 1 || grade == 3);
    pmSaEdit->menuAction()->setEnabled(grade == 1);
}

void TfrmMain::BuildUi()
{
    resize(1024, 684);
    setMinimumSize(895, 600); // FormCanResize

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnlMain"));
    setCentralWidget(central);
    auto *cl = new QVBoxLayout(central);
    cl->setContentsMargins(0, 0, 0, 0);
    FMainSplit = new QSplitter(Qt::Horizontal, central);
    FMainSplit->setObjectName(QStringLiteral("splMain"));
    cl->addWidget(FMainSplit);

    // Left: search boxes, selection text, trees and the legend.
    pnlAreaBrowser = new QWidget(FMainSplit);
    pnlAreaBrowser->setObjectName(QStringLiteral("pnlAreaBrowser"));
    auto *al = new QVBoxLayout(pnlAreaBrowser);
    al->setContentsMargins(2, 2, 2, 2);
    auto *search = new QWidget(pnlAreaBrowser);
    search->setObjectName(QStringLiteral("pnlSearchBox"));
    auto *sl = new QHBoxLayout(search);
    sl->setContentsMargins(0, 0, 0, 0);
    auto *lblSA = new QLabel(search);
    lblSA->setObjectName(QStringLiteral("lblSearchSA"));
    edtSA = new QLineEdit(search);
    edtSA->setObjectName(QStringLiteral("edtSA"));
    auto *btnSA = new QPushButton(QStringLiteral("..."), search);
    btnSA->setObjectName(QStringLiteral("btnSA"));
    btnSA->setFixedWidth(24);
    auto *lblTCDV = new QLabel(search);
    lblTCDV->setObjectName(QStringLiteral("lblSearchTCDV"));
    edtTCDV = new QLineEdit(search);
    edtTCDV->setObjectName(QStringLiteral("edtTCDV"));
    auto *btnTCDV = new QPushButton(QStringLiteral("..."), search);
    btnTCDV->setObjectName(QStringLiteral("btnTCDV"));
    btnTCDV->setFixedWidth(24);
    sl->addWidget(lblSA);
    sl->addWidget(edtSA);
    sl->addWidget(btnSA);
    sl->addWidget(lblTCDV);
    sl->addWidget(edtTCDV);
    sl->addWidget(btnTCDV);
    al->addWidget(search);
    pnlSelNodeDesc = new QLabel(pnlAreaBrowser);
    pnlSelNodeDesc->setObjectName(QStringLiteral("pnlSelNodeDesc"));
    al->addWidget(pnlSelNodeDesc);
    auto *leftSplit = new QSplitter(Qt::Vertical, pnlAreaBrowser);
    leftSplit->setObjectName(QStringLiteral("splTree"));
    pgcTree = new QTabWidget(leftSplit);
    pgcTree->setObjectName(QStringLiteral("pgcTree"));
    FSaModel = new TNodeTreeModel(this);
    FLcModel = new TNodeTreeModel(this);
    auto makeTree = [this](const QString &name, TNodeTreeModel *model) {
        auto *t = new QTreeView;
        t->setObjectName(name);
        t->setModel(model);
        t->setHeaderHidden(true);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->setContextMenuPolicy(Qt::CustomContextMenu);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        return t;
    };
    trvSA = makeTree(QStringLiteral("trvSA"), FSaModel);
    trvSA->setExpandsOnDoubleClick(false); // a double click does not toggle a group node
    trvLC = makeTree(QStringLiteral("trvLC"), FLcModel);
    trvLC->setRootIsDecorated(false);
    tshSA = trvSA;
    tshLC = trvLC;
    pgcTree->addTab(trvSA, QString());
    pgcTree->addTab(trvLC, QString());
    FLegend = new TLegendPanel(leftSplit);
    leftSplit->addWidget(pgcTree);
    leftSplit->addWidget(FLegend);
    leftSplit->setStretchFactor(0, 3);
    leftSplit->setStretchFactor(1, 2);
    al->addWidget(leftSplit, 1);
    FMainSplit->addWidget(pnlAreaBrowser);

    // Right: the map and, below it, the monitoring panel with the group grid.
    FMapSplit = new QSplitter(Qt::Vertical, FMainSplit);
    FMapSplit->setObjectName(QStringLiteral("splMap"));
    // The map with the side panels at its right edge (VIP, traffic information,
    // emergency vehicles; at most one open).
    auto *mapArea = new QWidget(FMapSplit);
    mapArea->setObjectName(QStringLiteral("pnlMapArea"));
    auto *mapLayout = new QHBoxLayout(mapArea);
    mapLayout->setContentsMargins(0, 0, 0, 0);
    mapLayout->setSpacing(0);
    pnlMapView = new QWidget(mapArea);
    pnlMapView->setObjectName(QStringLiteral("pnlMapView"));
    mapLayout->addWidget(pnlMapView, 1);
    pnlMntr = new QWidget(FMapSplit);
    pnlMntr->setObjectName(QStringLiteral("pnlMntr"));
    auto *ml = new QVBoxLayout(pnlMntr);
    ml->setContentsMargins(0, 0, 0, 0);
    gtvSAMot = new QTableWidget(0, 16, pnlMntr);
    gtvSAMot->setObjectName(QStringLiteral("gtvSAMot"));
    gtvSAMot->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gtvSAMot->setSelectionBehavior(QAbstractItemView::SelectRows);
    gtvSAMot->verticalHeader()->hide();
    static const int kWidths[16] = {40, 120, 70, 60, 48, 48, 48, 56, 56, 48, 56, 56, 56, 48, 48, 48};
    for (int i = 0; i < 16; ++i) {
        gtvSAMot->setColumnWidth(i, kWidths[i]);
        FGridColumnWidth += kWidths[i];
    }
    ml->addWidget(gtvSAMot);
    FMapSplit->addWidget(mapArea);
    FMapSplit->addWidget(pnlMntr);
    FMapSplit->setStretchFactor(0, 4);
    FMapSplit->setStretchFactor(1, 1);
    FMainSplit->addWidget(FMapSplit);
    FMainSplit->setStretchFactor(1, 1);
    connect(FMainSplit, &QSplitter::splitterMoved, this, [this] { FAreaBrowserOpen = FMainSplit->sizes().value(0) > 0; });
    connect(FMapSplit, &QSplitter::splitterMoved, this, [this] { FMntrPanelOpen = FMapSplit->sizes().value(1) > 0; });

    // Status bar.
    gsConnection = new QLabel(this);
    gsConnection->setObjectName(QStringLiteral("gsConnection"));
    gsRequest = new QLabel(this);
    gsRequest->setObjectName(QStringLiteral("gsRequest"));
    gsReceive = new QLabel(this);
    gsReceive->setObjectName(QStringLiteral("gsReceive"));
    spUserID = new QLabel(this);
    spUserID->setObjectName(QStringLiteral("spUserID"));
    spLat = new QLabel(this);
    spLat->setObjectName(QStringLiteral("spLat"));
    spLng = new QLabel(this);
    spLng->setObjectName(QStringLiteral("spLng"));
    statusBar()->addWidget(gsConnection);
    statusBar()->addWidget(gsRequest);
    statusBar()->addWidget(gsReceive);
    statusBar()->addWidget(spUserID);
    statusBar()->addPermanentWidget(spLat);
    statusBar()->addPermanentWidget(spLng);
    ShowGlyphs(TMonitorGlyphs());

    // Events.
    connect(trvLC, &QTreeView::clicked, this, &TfrmMain::trvLCClick);
    connect(trvSA, &QTreeView::clicked, this, &TfrmMain::trvSAClick);
    connect(trvLC, &QTreeView::doubleClicked, this, &TfrmMain::trvLCDblClick);
    connect(trvSA, &QTreeView::doubleClicked, this, &TfrmMain::trvSADblClick);
    connect(trvLC, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        TreePopup(trvLC, trvLC->indexAt(pos), trvLC->viewport()->mapToGlobal(pos));
    });
    connect(trvSA, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        TreePopup(trvSA, trvSA->indexAt(pos), trvSA->viewport()->mapToGlobal(pos));
    });
    connect(gtvSAMot, &QTableWidget::cellClicked, this, [this](int row, int) { gtvSAMotCellClick(row); });
    connect(gtvSAMot, &QTableWidget::cellDoubleClicked, this, [this](int, int) {
        if (QAction *a = Action(QStringLiteral("actOpenSA_M")))
            a->trigger();
    });
    connect(btnSA, &QPushButton::clicked, this, &TfrmMain::edtSAButtonClick);
    connect(btnTCDV, &QPushButton::clicked, this, &TfrmMain::edtTCDVButtonClick);
    InstallIdEditKeys(edtSA, IdEditKindSa, nullptr, nullptr, [](int) {}, [this] { edtSAEnter(); });
    InstallIdEditKeys(edtTCDV, IdEditKindLc, nullptr, nullptr, [](int) {}, [this] { edtTCDVEnter(); });

    connect(FLegend, &TLegendPanel::saColorMouseDown, this, &TfrmMain::SAColorSelectMouseDown);
    connect(FLegend, &TLegendPanel::stateColorMouseDown, this, &TfrmMain::LCStatusColorSelectMouseMouseDown);
    connect(FLegend, &TLegendPanel::greenMvmtMouseDown, this, &TfrmMain::GreenMvmtColorSelectMouseDown);
    connect(FLegend, &TLegendPanel::shapeChanged, this, &TfrmMain::LCShapeChange);
    connect(FLegend, &TLegendPanel::sizeChanged, this, &TfrmMain::LCSizeChange);
    connect(FLegend, &TLegendPanel::opacityChanged, this, &TfrmMain::SAOpacityChange);
    connect(FLegend, &TLegendPanel::saSizeTimer, this, &TfrmMain::ttChangeSATimer);
    connect(FLegend, &TLegendPanel::mvmtLabelClicked, this, &TfrmMain::MvmtLabelDispClick);
    connect(FLegend, &TLegendPanel::counterClicked, this, &TfrmMain::CounterClick);
}

void TfrmMain::Retranslate()
{
    setWindowTitle(windowTitle().isEmpty() ? Tx(QStringLiteral("Caption")) : windowTitle());
    if (QLabel *l = findChild<QLabel *>(QStringLiteral("lblSearchSA")))
        l->setText(Tx(QStringLiteral("IDS_9")));
    if (QLabel *l = findChild<QLabel *>(QStringLiteral("lblSearchTCDV")))
        l->setText(Tx(QStringLiteral("IDS_10")));
    const QStringList keys = SaMotColumnKeys();
    QStringList headers;
    for (const QString &k : keys)
        headers << Tx(k);
    gtvSAMot->setHorizontalHeaderLabels(headers);
    pmLcEdit->setTitle(Tx(QStringLiteral("pmLcEdit.Caption")));
    pmSaEdit->setTitle(Tx(QStringLiteral("pmSaEdit.Caption")));
    for (QAction *p : pmLC->findChildren<QAction *>()) {
        const QString main = p->property("mainAction").toString();
        if (!main.isEmpty())
            if (QAction *a = Action(main))
                p->setText(a->text());
    }
    // The host-request buttons: the caption, or the hint of an action without one.
    // (QAction::text() falls back on the icon text, so the reload action is named.)
    for (const char *n : {"actReqtParamsChanged", "actReqtAppReload", "actReqtHostReboot"})
        if (QAction *act = Action(QString::fromLatin1(n)))
            act->setIconText(qstrcmp(n, "actReqtAppReload") == 0 ? act->toolTip() : act->text());
    ShowSelectionText();
}

void TfrmMain::FormCreate()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // 1. Actions and the menu bar by admin mode and grade.
    CreateActions();
    BuildUi();
    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    BuildPopupMenu();
    BuildToolBar();
    FLang->Retranslate();
    BuildMenuBar();
    ApplyGradeToToolBar(DM ? DM->G_APP_USER.Role : 2);
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
        FMapViewController = new TMapViewController(this, pnlMapView, url, [this] { InitMapPage(); });
        FMapViewController->SetWebSecurity(false);
        FMapViewController->SetFocusUnderMouse(true); // the map takes wheel and keys under the mouse
        FOwnBridge = std::make_unique<TMapViewBridge>(FMapViewController);
        FBridge = FOwnBridge.get();
    } else {
        FBridge->SetMapViewInit([this] { InitMapPage(); });
    }

    // The side panels need the page bridge.
    BuildSidePanels();
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
    if (DM) {
        QString text = DM->G_APP_USER.Bookmarks;
        if (text.trimmed().isEmpty())
            text = QStringLiteral("{}");
        QJsonParseError err;
        const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &err);
        if (err.error == QJsonParseError::NoError && doc.isObject())
            FBookmarkJsonObject = doc.object();
    }

    // 11. The detector counter.
    if (DM && DM->Connected())
        FTfdtInfoThread = new TTfdtInfoThread(DM->ConnectionFactory(), 10000, FLegend->lblTfdtOperCnt,
                                              FLegend->lblTfdtFailCnt, FLegend->lblTfdtUnusedCnt, this);
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
    FLegend->setCurrentWidget(FLegend->tbsStt);
    pgcTree->setCurrentWidget(tshLC);
    gtvSAMot->setRowCount(0);

    // 4. Lists and trees.
    LoadLcInfos();
    LCInfosPhase(0);
    LoadSaList();
    BuildSaTree();
    BuildLcTree();

    // 5. The local application server.
    if (DM) {
        DM->G_APP_SERVER = false;
        if (QFileInfo::exists(TAppServerClient::ExecutablePath(DM->G_APP_PATH))) {
            DM->G_APP_SERVER = TMainServices::Current().AppServerLauncher
                ? TMainServices::Current().AppServerLauncher(TAppServerClient::ExecutablePath(DM->G_APP_PATH))
                : TAppServerClient::StartIfPresent(DM->G_APP_PATH, TAppServerClient::ArgumentsFor(DM->IniFileName()));
        }
    }

    // 6. Monitoring starts (first tick after 500 ms).
    FHub->Timer()->setInterval(500);
    FHub->Timer()->start();
    AddLogCom(Tx(QStringLiteral("IDS_8")));

    // 7. The map page.
    if (DM)
        FBridge->Load(DM->G_URL);

    // 8. The operator.
    if (DM)
        spUserID->setText(DM->G_APP_USER.ID + QStringLiteral(" (") + DM->G_APP_USER.RoleName + QLatin1Char(')'));

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
    for (const auto &s : kActiveShortcuts)
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
    for (const auto &s : kActiveShortcuts)
        if (QAction *a = Action(QString::fromLatin1(s.first)))
            a->setShortcut(QKeySequence());
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // FormResize: the group grid fills the width when its columns are narrower.
    if (gtvSAMot && pnlAreaBrowser) {
        const bool stretch = pnlAreaBrowser->width() + FGridColumnWidth < width();
        gtvSAMot->horizontalHeader()->setSectionResizeMode(stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
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
    if (FTfdtInfoThread) {
        FTfdtInfoThread->Stop();
        delete FTfdtInfoThread;
        FTfdtInfoThread = nullptr;
    }
    // The vehicle-position pollers.
    StopVehiclePollers();
    // 2. The side panels close now.
    emit formClosing();
    // 3. Settings.
    SaveSettings();
    if (DM) {
        // 4. Bookmarks (an error is ignored).
        if (FBookmarkJsonObject)
            MainLists::SaveBookmarks(DM->Con(), DM->G_APP_USER.ID,
                                     QString::fromUtf8(QJsonDocument(*FBookmarkJsonObject).toJson(QJsonDocument::Compact)));
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

void TfrmMain::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    FClosed = true;
    TMainOpeners::RunMainCloseHooks(this);
    if (FHub)
        FHub->Timer()->stop();
    if (FTfdtInfoThread) {
        FTfdtInfoThread->Stop();
        delete FTfdtInfoThread;
        FTfdtInfoThread = nullptr;
    }
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
    TIniFile ini(DM->IniFileName());
    QScreen *scr = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = scr ? scr->size() : QSize(1024, 768);
    const TMainFormSettings s = MainSettings::Read(ini, screenSize, DM->G_MAP_MAX_ZOOM);
    if (s.Maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        resize(s.Width, s.Height);
        move(s.Left, s.Top);
    }
    FLegend->SetLegend(s.Legend);
    DM->G_MAP_INIT_LAT = s.MapLat;
    DM->G_MAP_INIT_LNG = s.MapLng;
    DM->G_MAP_INIT_ZOOM = s.MapZoom;
    DM->G_MINIMAP_WIDTH = s.MiniMapWidth;
    DM->G_MINIMAP_HEIGHT = s.MiniMapHeight;
    DM->G_MINIMAP_ZOOM_LEVEL = s.MiniMapZoomLevel;
    DM->G_MVMT_SIZE = s.MvmtSize;
    bool ok = false;
    const int zoom = s.MapZoom.trimmed().toInt(&ok);
    if (ok)
        FScale = zoom;
}

void TfrmMain::SaveSettings()
{
    if (!DM)
        return;
    TIniFile ini(DM->IniFileName());
    TMainFormSettings s;
    s.Maximized = isMaximized();
    const QRect g = isMaximized() ? normalGeometry() : geometry();
    s.Width = g.width();
    s.Height = g.height();
    s.Left = frameGeometry().left();
    s.Top = frameGeometry().top();
    if (isMaximized()) {
        s.Left = g.left();
        s.Top = g.top();
    }
    s.Legend = Legend();
    s.MapLat = FCurrentPos.Lat;
    s.MapLng = FCurrentPos.Lng;
    s.MapZoom = QString::number(FScale);
    TLayerFlags f;
    f.Node = DM->G_NODE_VISIBLE;
    f.Link = DM->G_LINK_VISIBLE;
    f.Tfdt = DM->G_TFDT_VISIBLE;
    f.Tcdv = DM->G_TCDV_VISIBLE;
    f.SA = DM->G_SA_VISIBLE;
    f.LC = DM->G_LC_VISIBLE;
    f.Mvmt = DM->G_MVMT_VISIBLE;
    MainSettings::Write(ini, s, f);
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

void TfrmMain::BuildSaTree()
{
    if (!DM)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<MainLists::TTreeRow> rows;
    int groups = 0;
    QSqlError error;
    const bool ok = MainLists::LoadSaTree(DM->Con(), &rows, &groups, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        ShowDbError(error);
        return;
    }
    trvSA->setUpdatesEnabled(false);
    FSaModel->BuildSaTree(rows);
    trvSA->setUpdatesEnabled(true);
    pgcTree->setTabText(pgcTree->indexOf(tshSA), Tx(QStringLiteral("IDS_9")) + QStringLiteral(" (")
                                                     + QString::number(groups) + QLatin1Char(')'));
}

void TfrmMain::BuildLcTree()
{
    if (!DM)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<TNodeData> nodes;
    QSqlError error;
    const bool ok = MainLists::LoadLcTree(DM->Con(), DM->DBInfo().DBType, &nodes, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        ShowDbError(error);
        return;
    }
    trvLC->setUpdatesEnabled(false);
    FLcModel->BuildLcTree(nodes);
    trvLC->setUpdatesEnabled(true);
    pgcTree->setTabText(pgcTree->indexOf(tshLC), Tx(QStringLiteral("IDS_10")) + QStringLiteral(" (")
                                                     + QString::number(nodes.size()) + QLatin1Char(')'));
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

void TfrmMain::SendAppServerCommand(const QString &command)
{
    if (!TMainServices::Current().AppServerSender) {
        ::SendAppServerCommand(this, command);
        return;
    }
    bool connected = false;
    const int error = TMainServices::Current().AppServerSender(command, &connected);
    if (!connected || error == 0)
        return; // nothing is shown when the server cannot be reached
    if (DM)
        DM->G_APP_SERVER = false;
    ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), QStringLiteral("OvikAppSever program is not running"),
               QStringLiteral("App Server Running"), QStringLiteral("Error: Code %1").arg(error), mkInformation);
}

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
    setGlyph(gsConnection, g.Connection);
    setGlyph(gsRequest, g.Request);
    setGlyph(gsReceive, g.Receive);
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
    const int total = qMax(FMainSplit->width(), 800);
    FMainSplit->setSizes({open ? 300 : 0, open ? total - 300 : total});
}

bool TfrmMain::IsMntrPanelOpen() const { return FMntrPanelOpen; }

void TfrmMain::SetMntrPanelOpen(bool open)
{
    FMntrPanelOpen = open;
    const int total = qMax(FMapSplit->height(), 600);
    FMapSplit->setSizes({open ? total - 160 : total, open ? 160 : 0});
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
    pnlVIPControl->RegisterPageMessages(FPageMessages);
    pnlTrafficInfo->RegisterPageMessages(FPageMessages);
    pnlAppEmergency->RegisterPageMessages(FPageMessages);

    // Console messages of the window.
    FPageMessages.AddConsole(QStringLiteral("DoubleClicked"), [this](const QString &) { OpenLCMonitor(FTCDV_ID); });
    FPageMessages.AddConsole(QStringLiteral("SelectedLC"), [this](const QString &value) {
        const int n = MainMapPage::IdAfterPrefix(value);
        if (n > 0) {
            SelectLCMarker(n);
            FindTreeByLcId(trvSA, n);
            FindTreeByLcId(trvLC, n);
            ShowSelectionText();
        }
    });
    FPageMessages.AddConsole(QStringLiteral("SelectedSA"), [this](const QString &value) {
        FTCDV_ID = 0;
        FSA_ID = MainMapPage::IdAfterPrefix(value);
        SelectSA(FSA_ID);
        FindTreeBySaId(trvSA, FSA_ID);
        ShowSelectionText();
    });
    FPageMessages.AddConsole(QStringLiteral("PopupMenu"), [this](const QString &) {
        const QModelIndex idx = trvSA->currentIndex();
        if (TNodeTreeModel::HasData(idx)) {
            const TNodeData d = TNodeTreeModel::Data(idx);
            PreparePopup(d, pkMapLc, d.Flag + 1);
            pmLC->popup(QCursor::pos());
        }
    });
    FPageMessages.AddConsole(QStringLiteral("copyID"),
                             [](const QString &value) { QGuiApplication::clipboard()->setText(value); });

    // Native calls of the window.
    FPageMessages.AddNative(QStringLiteral("mouseMove"), [this](const QVariantList &args) {
        FCurrentPos.Lat = NativeArgNumText(args, 0);
        FCurrentPos.Lng = NativeArgNumText(args, 1);
        spLat->setText(QStringLiteral("Lat : ") + FCurrentPos.Lat);
        spLng->setText(QStringLiteral("Lng : ") + FCurrentPos.Lng);
    });
    FPageMessages.AddNative(QStringLiteral("zoomEnd"), [this](const QVariantList &args) { FScale = NativeArgInt(args, 0); });
    FPageMessages.AddNative(QStringLiteral("loadEnd"), [this](const QVariantList &) { FBridge->SetIsLoading(false); });
    FPageMessages.AddNative(QStringLiteral("changeVisible"), [this](const QVariantList &args) { ChangeLayerVisible(args); });
    FPageMessages.AddNative(QStringLiteral("clearSelection"), [this](const QVariantList &) {
        FTCDV_ID = 0;
        FSA_ID = 0;
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
// Selection
// ---------------------------------------------------------------------------

void TfrmMain::ShowSelectionText()
{
    if (!pnlSelNodeDesc)
        return;
    pnlSelNodeDesc->setText(MainMapPage::SelectionText(
        Tx(FTCDV_ID > 0 ? QStringLiteral("IDS_67") : QStringLiteral("IDS_68")), FSA_ID, FTCDV_ID));
}

void TfrmMain::SelectLCMarker(int lcNo)
{
    const PSTT_LC_INFO info = G_LC_INFO_SET.GetLcInfo(lcNo);
    if (!info || !FBridge || !FBridge->BrowserExists())
        return;
    FBridge->ExecuteJavaScript(MainMapPage::SelectLCMarkerScript(Legend(), info->cx.str(), info->cy.str()));
}

void TfrmMain::SelectSA(int GroupID)
{
    if (!DM)
        return;
    const TMapLegend legend = Legend();
    QSqlError error;
    const int count = MainLists::SaLcCount(DM->Con(), GroupID, &error);
    if (count < 0) {
        if (error.isValid())
            ShowDbError(error);
        return;
    }
    if (count == 1) {
        QString lat, lng;
        QSqlError e2;
        if (!MainLists::SaSingleNodePos(DM->Con(), GroupID, &lat, &lng, &e2)) {
            if (e2.isValid())
                ShowDbError(e2);
            return;
        }
        if (FBridge && FBridge->BrowserExists())
            FBridge->ExecuteJavaScript(MainMapPage::SelectSingleNodeGroupScript(legend, lat, lng));
    } else if (FBridge && FBridge->BrowserExists()) {
        FBridge->ExecuteJavaScript(MainMapPage::SelectGroupScript(legend, GroupID));
    }
    // The group monitor follows the selected group.
    if (IMonitorView *v = FHub->MonitorView(mvkGroupMonitor)) {
        if (auto *w = dynamic_cast<QWidget *>(v)) {
            w->setWindowTitle(Action(QStringLiteral("actOpenSA_M"))->text() + QStringLiteral(" : ") + GetSaName(FSA_ID));
            v->SetTargetGroup(FSA_ID);
            w->show();
        } else {
            v->SetTargetGroup(FSA_ID);
        }
    }
}

QString TfrmMain::GetBounds(int GroupID)
{
    if (!DM)
        return QString();
    QSqlError error;
    const QString b = MainLists::GetBounds(DM->Con(), DM->DBInfo().DBType, GroupID, &error);
    if (error.isValid())
        ShowDbError(error);
    return b;
}

void TfrmMain::FitGroupScript(int GroupID, bool takeCurZoom)
{
    RunScript(MainMapPage::FitGroupScript(GroupID, GetBounds(GroupID), takeCurZoom));
}

int TfrmMain::FindLcSaNo(int lcNo)
{
    if (!DM)
        return 1;
    QSqlError error;
    const int sa = MainLists::FindLcSaNo(DM->Con(), lcNo, &error);
    if (error.isValid())
        ShowDbError(error);
    return sa;
}

void TfrmMain::FindTreeByLcId(QTreeView *tree, int LcId)
{
    FSA_ID = FindLcSaNo(LcId);
    FTCDV_ID = LcId;
    const QString key = QStringLiteral("%1-%2").arg(FSA_ID).arg(LcId);
    tree->setUpdatesEnabled(false);
    if (tree == trvSA) {
        const QModelIndex g = FSaModel->FindByKey(QString::number(FSA_ID));
        if (g.isValid()) {
            tree->setCurrentIndex(g);
            tree->expand(g);
        }
        const QModelIndex n = FSaModel->FindByKey(key);
        if (n.isValid())
            tree->setCurrentIndex(n);
    } else {
        const QModelIndex n = FLcModel->FindByKey(key);
        if (n.isValid())
            tree->setCurrentIndex(n);
    }
    tree->setUpdatesEnabled(true);
}

void TfrmMain::FindTreeBySaId(QTreeView *tree, int GroupID)
{
    FSA_ID = GroupID;
    FTCDV_ID = 0;
    auto *model = static_cast<TNodeTreeModel *>(tree->model());
    const QModelIndex g = model->FindByKey(QString::number(GroupID));
    if (g.isValid())
        tree->setCurrentIndex(g);
}

void TfrmMain::FindSaId(int GroupID)
{
    pgcTree->setCurrentWidget(tshSA);
    trvSA->setUpdatesEnabled(false);
    const QModelIndex g = FSaModel->FindByKey(QString::number(GroupID));
    if (g.isValid()) {
        trvSA->setCurrentIndex(g);
        trvSA->expand(g);
        trvSA->scrollTo(g, QAbstractItemView::PositionAtCenter);
    }
    trvSA->setUpdatesEnabled(true);
}

void TfrmMain::FindTcdvId(int LcId)
{
    pgcTree->setCurrentWidget(tshLC);
    trvLC->setUpdatesEnabled(false);
    const QModelIndex n = FLcModel->FindByKey(QStringLiteral("%1-%2").arg(GetLcSaNo(LcId)).arg(LcId));
    if (n.isValid()) {
        trvLC->setCurrentIndex(n);
        trvLC->scrollTo(n, QAbstractItemView::PositionAtCenter);
    }
    trvLC->setUpdatesEnabled(true);
}

void TfrmMain::edtSAEnter()
{
    edtTCDV->clear();
    FindSaId(VarToIntDef(edtSA->text(), 0));
}

void TfrmMain::edtTCDVEnter()
{
    const int n = VarToIntDef(edtTCDV->text(), 0);
    FindTcdvId(n);
    edtSA->setText(QString::number(GetLcSaNo(n)));
}

void TfrmMain::trvLCClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index))
        return;
    FTCDV_ID = TNodeTreeModel::Data(index).ID;
    FindTreeByLcId(trvSA, FTCDV_ID);
    ShowSelectionText();
}

void TfrmMain::trvSAClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index))
        return;
    const TNodeData d = TNodeTreeModel::Data(index);
    if (d.TreeType == 0) {
        FSA_ID = d.ID;
        FTCDV_ID = 0;
    } else {
        FTCDV_ID = d.ID;
        FindTreeByLcId(trvLC, d.ID);
    }
    ShowSelectionText();
}

void TfrmMain::trvLCDblClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index) || !PageReady())
        return;
    const TNodeData d = TNodeTreeModel::Data(index);
    const PSTT_LC_INFO info = G_LC_INFO_SET.GetLcInfo(d.ID);
    SelectLCMarker(d.ID);
    if (info)
        FBridge->ExecuteJavaScript(MainMapPage::PanToScript(info->cx.str(), info->cy.str()));
}

void TfrmMain::trvSADblClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index) || !PageReady())
        return;
    const TNodeData d = TNodeTreeModel::Data(index);
    if (d.TreeType != 0) {
        trvLCDblClick(index);
        return;
    }
    SelectSA(d.ID);
    FitGroupScript(d.ID, true);
}

void TfrmMain::PreparePopup(const TNodeData &data, int kind, int titleImage)
{
    pmMapCaption->setText(PopupCaption(Tx(QStringLiteral("IDS_10")), data.ID, data.TreeType));
    pmMapCaption->setIcon(TreeImage(titleImage));
    pmMapCaption->setEnabled(true);
    // Every proxy follows its action's state.
    for (QMenu *m : {pmLC, pmLcEdit, pmSaEdit})
        for (QAction *p : m->actions()) {
            const QString main = p->property("mainAction").toString();
            if (main.isEmpty())
                continue;
            if (QAction *a = Action(main)) {
                p->setText(a->text());
                // Separators carry only a grade rule (enabled for some grades).
                p->setEnabled(a->isSeparator() ? a->isEnabled() : (a->isEnabled() && a->isVisible()));
            }
        }
    SetPopupMenuItems(pmLC, kind);
}

bool TfrmMain::TreePopup(QTreeView *tree, const QModelIndex &index, const QPoint &globalPos, bool popup)
{
    if (!TNodeTreeModel::HasData(index))
        return false;
    const QRect item = tree->visualRect(index);
    const QPoint local = tree->viewport()->mapFromGlobal(globalPos);
    if (popup && !item.contains(local))
        return false;
    const TNodeData d = TNodeTreeModel::Data(index);
    if (tree == trvSA && d.TreeType == 0)
        PreparePopup(d, pkGroupNode, 0);
    else
        PreparePopup(d, pkTreeLc, d.Flag);
    if (popup)
        pmLC->popup(globalPos);
    return true;
}

void TfrmMain::gtvSAMotCellClick(int row)
{
    FTCDV_ID = 0;
    const QTableWidgetItem *item = gtvSAMot->item(row, 0);
    FSA_ID = item ? VarToIntDef(item->text(), 0) : 0;
    SelectSA(FSA_ID);
    FindTreeBySaId(trvSA, FSA_ID);
    ShowSelectionText();
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

void TfrmMain::PanToTCDV(int TCDV)
{
    if (TCDV <= 0)
        return;
    const PSTT_LC_INFO info = G_LC_INFO_SET.GetLcInfo(TCDV);
    if (!info)
        return;
    FindTreeByLcId(trvSA, TCDV);
    FindTreeByLcId(trvLC, TCDV);
    ShowSelectionText();
    SelectLCMarker(TCDV);
    if (PageReady())
        FBridge->ExecuteJavaScript(QStringLiteral(" map.panTo(new L.LatLng(") + JsNumText(info->cx.str())
                                   + QStringLiteral(", ") + JsNumText(info->cy.str()) + QStringLiteral("));"));
}

void TfrmMain::PanToTCDV(int TCDV, const QString &NODE_ID)
{
    if (G_LC_INFO_SET.GetLcInfo(TCDV)) {
        PanToTCDV(TCDV);
        return;
    }
    if (PageReady()) {
        const QString id = JsStr(NODE_ID);
        FBridge->ExecuteJavaScript(QStringLiteral("if (nodeObj[") + id + QStringLiteral("]) { map.panTo(nodeObj[") + id
                                   + QStringLiteral("].getLatLng()); } "));
    }
}

void TfrmMain::WmLocateSA(int GroupID)
{
    FindTreeBySaId(trvSA, GroupID);
    ShowSelectionText();
    if (PageReady()) {
        SelectSA(GroupID);
        FitGroupScript(GroupID, false);
    }
}

void TfrmMain::WmLocateTCDV(int TCDV)
{
    FindTreeByLcId(trvSA, TCDV);
    FindTreeByLcId(trvLC, TCDV);
    ShowSelectionText();
    const PSTT_LC_INFO info = G_LC_INFO_SET.GetLcInfo(TCDV);
    if (PageReady() && info) {
        SelectLCMarker(TCDV);
        FBridge->ExecuteJavaScript(MainMapPage::PanToScript(info->cx.str(), info->cy.str()));
    }
}

void TfrmMain::WmPanToLatLng(const QString &lat, const QString &lng)
{
    if (!FBridge || !FBridge->BrowserExists())
        return;
    const QString la = JsNumText(lat), ln = JsNumText(lng);
    FBridge->ExecuteJavaScript(QStringLiteral(" map.panTo([") + la + QLatin1Char(',') + ln
                               + QStringLiteral("]);  selMarker.setLatLng([") + la + QLatin1Char(',') + ln
                               + QStringLiteral("]); "));
}

// ---------------------------------------------------------------------------
// Legend
// ---------------------------------------------------------------------------

void TfrmMain::SAColorSelectMouseDown(TColorShape *shape)
{
    const QColor c = ChooseColor(this, shape->Color());
    if (!c.isValid() || !PageReady())
        return; // cancelled, or the page cannot take it: the choice is dropped
    shape->SetColor(c);
    const TMapLegend l = Legend();
    if (shape == FLegend->shpSA)
        FBridge->ExecuteJavaScript(LegendScripts::SAColorScript(FSA_BoundsList.keys(), l.SAColor, l.SASelectedColor));
    else
        FBridge->ExecuteJavaScript(LegendScripts::SelectedSAColorScript(l.SASelectedColor));
}

void TfrmMain::LCStatusColorSelectMouseMouseDown(TColorShape *shape)
{
    const QColor c = ChooseColor(this, shape->Color());
    if (!c.isValid())
        return;
    shape->SetColor(c);
    if (!PageReady())
        return;
    const QString s = LegendScripts::StateColorScript(shape->Tag(), c, FMarkerLists.LC, G_LC_INFO_SET);
    if (!s.isEmpty())
        FBridge->ExecuteJavaScript(s);
}

void TfrmMain::GreenMvmtColorSelectMouseDown(TColorShape *shape)
{
    const QColor c = ChooseColor(this, shape->Color());
    if (!c.isValid())
        return;
    shape->SetColor(c);
    RunScript(LegendScripts::GreenMvmtScript(c));
}

void TfrmMain::LCShapeChange(int tag)
{
    if (!PageReady() || tag < 0 || tag > 4)
        return;
    RunScript(LegendScripts::ShapeScript(FMarkerLists.ByClass[tag], Legend().Corners(tag)));
}

void TfrmMain::LCSizeChange(int tag)
{
    if (!PageReady() || tag < 0 || tag > 4)
        return;
    RunScript(LegendScripts::SizeScript(FMarkerLists.ByClass[tag], Legend().Radius(tag)));
}

void TfrmMain::SAOpacityChange()
{
    RunScript(LegendScripts::OpacityScript(FSA_BoundsList.keys(), Legend().Opacity()));
}

void TfrmMain::ttChangeSATimer() { DrawSA(); }

void TfrmMain::MvmtLabelDispClick() { RunScript(LegendScripts::MvmtLabelScript(FLegend->chxMvmtLabelDisp->isChecked())); }

void TfrmMain::CounterClick(const TStatusCounterDef &def)
{
    if (TMainServices::Current().StateListOpener)
        TMainServices::Current().StateListOpener(this, CounterFilter(def));
    else if (QAction *a = Action(QStringLiteral("actOpenTCDV_M_State")))
        a->trigger();
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

void TfrmMain::actOpenTCDV_MExecute() { OpenLCMonitor(FTCDV_ID); }

void TfrmMain::actCollapseAllExecute() { trvSA->collapseAll(); }

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
// Tool bar, host-request strip and side panels
// ---------------------------------------------------------------------------

void TfrmMain::BuildToolBar()
{
    // The top row: the tool bar, which folds the buttons it has no room for into its
    // extension menu, and at the right the host-request strip, which always keeps
    // the room its buttons need.
    auto *topRow = new QWidget(centralWidget());
    topRow->setObjectName(QStringLiteral("pnlTopBar"));
    auto *topLayout = new QHBoxLayout(topRow);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    if (auto *cl = qobject_cast<QVBoxLayout *>(centralWidget()->layout()))
        cl->insertWidget(0, topRow);
    tbMain = new QToolBar(QStringLiteral("tbMain"), topRow);
    tbMain->setObjectName(QStringLiteral("tbMain"));
    topLayout->addWidget(tbMain, 1);
    tbMain->setMovable(false);
    tbMain->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Buttons follow the enabled and visible state of their actions (grade rules).
    const QList<QPair<const char *, const char *>> buttons = {
        {"actOpenTCDV_S", "RzToolButton1"},        {"actOpenTCDV_M", "RzToolButton2"},
        {"actOpenTCDV_C_Control", "RzToolButton3"}, {"actOpenTCDV_C_DBUpDn", "RzToolButton4"},
        {"actOpenCURR_EV", "RzToolButton5"},       {"actOpenTCDV_Conf", "RzToolButton6"},
        {"actOpenVIPControl", "RzToolButton7"},    {"actOpenTrafficInfo", "btnTrafficInfo"},
        {"actOpenEventHistory", "RzToolButton8"},  {"actOpenTCDV_HS_Sgnl", "RzToolButton9"}};
    for (const auto &b : buttons) {
        QAction *a = Action(QString::fromLatin1(b.first));
        if (!a)
            continue;
        tbMain->addAction(a);
        if (QWidget *w = tbMain->widgetForAction(a))
            w->setObjectName(QString::fromLatin1(b.second));
    }
    // The emergency-panel button exists but stays hidden.
    btnAppEmergency = new QToolButton(this);
    btnAppEmergency->setObjectName(QStringLiteral("btnAppEmergency"));
    btnAppEmergency->setDefaultAction(Action(QStringLiteral("actAppEmergencyOpen")));
    btnAppEmergency->hide();

    // The host-request strip at the right end: parameters changed, reload, restart (hidden).
    pnlSimpleButtons = new QWidget(topRow);
    pnlSimpleButtons->setObjectName(QStringLiteral("pnlSimpleButtons"));
    auto *hl = new QHBoxLayout(pnlSimpleButtons);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->setSpacing(0);
    const QList<QPair<const char *, const char *>> strip = {{"actReqtParamsChanged", "btnReqtParamsChanged"},
                                                            {"actReqtAppReload", "btnReqtAppReload"},
                                                            {"actReqtHostReboot", "btnReqtHostReboot"}};
    // Each button shows its whole caption (the reload action has only a hint, which
    // is its caption on the button) and is as wide as that caption needs.
    for (const auto &b : strip) {
        auto *btn = new QToolButton(pnlSimpleButtons);
        btn->setObjectName(QString::fromLatin1(b.second));
        btn->setDefaultAction(Action(QString::fromLatin1(b.first)));
        btn->setToolButtonStyle(Qt::ToolButtonTextOnly);
        btn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        hl->addWidget(btn);
    }
    // The restart button is on a hidden button.
    if (auto *reboot = pnlSimpleButtons->findChild<QToolButton *>(QStringLiteral("btnReqtHostReboot")))
        reboot->setVisible(false);
    pnlSimpleButtons->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    topLayout->addWidget(pnlSimpleButtons, 0);

    // Hidden check of the state image's record and total sizes.
    btnPacketSize = new QPushButton(QStringLiteral("PS"), this);
    btnPacketSize->setObjectName(QStringLiteral("btnPacketSize"));
    btnPacketSize->setVisible(false);
    connect(btnPacketSize, &QPushButton::clicked, this, &TfrmMain::btnPacketSizeClick);
}

void TfrmMain::btnPacketSizeClick()
{
    const QString title = Tx(QStringLiteral("IDS_PacketSize"));
    for (int size : {int(RC_GROUP_RECORD_SIZE), int(sizeof(TST_ITST_STATE)), int(sizeof(TST_VESK_STATE))})
        ShowMsgDlg(this, title, QString::number(size), title, QString(), mkInformation);
}

void TfrmMain::ApplyGradeToToolBar(int grade)
{
    // Grades other than 1 and 3 keep the right-hand host-request button only (the
    // reload); the parameters-changed button goes.
    if (pnlSimpleButtons && !AuthManager(grade))
        if (auto *params = pnlSimpleButtons->findChild<QToolButton *>(QStringLiteral("btnReqtParamsChanged")))
            params->setVisible(false);
    // The editing sub-menus of the pop-up: intersection editors for 1 and 3, group editors for 1.
    if (pmLcEdit)
        pmLcEdit->menuAction()->setEnabled(AuthManager(grade));
    if (pmSaEdit)
        pmSaEdit->menuAction()->setEnabled(grade == 1);
}

void TfrmMain::BuildSidePanels()
{
    QWidget *area = pnlMapView ? pnlMapView->parentWidget() : nullptr;
    auto *layout = area ? qobject_cast<QHBoxLayout *>(area->layout()) : nullptr;

    // VIP phase-hold panel.
    pnlVIPControl = new TVipPanel(area);
    pnlVIPControl->setObjectName(QStringLiteral("pnlVIPControl"));
    pnlVIPControl->SetSources(&G_LC_INFO_SET, [hub = FHub] { return hub->Image(); }, FBridge);
    pnlVIPControl->SetColorHooks([this](int state, int mode) { return GetLcStatusColor(state, mode); },
                                 [this]() { return Legend().Status.Unused; });
    pnlVIPControl->setFixedWidth(330);
    pnlVIPControl->hide();
    connect(pnlVIPControl, &TVipPanel::preferredWidthChanged, this, [this](int w) {
        if (w > 0)
            pnlVIPControl->setFixedWidth(w);
    });
    FHub->RegisterMonitorView(mvkVipPanel, pnlVIPControl);

    // Traffic-information panel.
    pnlTrafficInfo = new TTrafficInfoPanel(area);
    pnlTrafficInfo->SetPage(FBridge);
    pnlTrafficInfo->hide();
    connect(pnlTrafficInfo, &TTrafficInfoPanel::closeClicked, this, [this] {
        if (QAction *a = Action(QStringLiteral("actTrafficInfoClose")))
            a->trigger();
    });

    // Emergency-vehicle panel.
    pnlAppEmergency = new TAppEmergencyPanel(area);
    pnlAppEmergency->setObjectName(QStringLiteral("pnlAppEmergency"));
    pnlAppEmergency->SetPage(FBridge);
    pnlAppEmergency->SetCloseOtherPanels([this] { CloseOtherSidePanels(pnlAppEmergency); });
    pnlAppEmergency->hide();
    // At shutdown the panel closes when it is open.
    connect(this, &TfrmMain::formClosing, pnlAppEmergency, &TAppEmergencyPanel::ClosePanel);

    if (layout) {
        layout->addWidget(pnlVIPControl);
        layout->addWidget(pnlTrafficInfo);
        layout->addWidget(pnlAppEmergency);
    }
}

void TfrmMain::CloseOtherSidePanels(QWidget *keep)
{
    if (keep != pnlVIPControl && pnlVIPControl && pnlVIPControl->IsPanelOpen())
        pnlVIPControl->SetPanelOpen(false);
    if (keep != pnlTrafficInfo && pnlTrafficInfo && pnlTrafficInfo->IsPanelOpen())
        actTrafficInfoCloseExecute();
    if (keep != pnlAppEmergency && pnlAppEmergency && pnlAppEmergency->IsPanelOpen() && pnlAppEmergency->CanToggle())
        pnlAppEmergency->actAppEmergencyOpenExecute();
}

void TfrmMain::actOpenVIPControlExecute()
{
    if (!pnlVIPControl || (FBridge && FBridge->IsLoading()))
        return;
    CloseOtherSidePanels(pnlVIPControl);
    // The emergency panel keeps the edge while it lists services or adds one.
    if (pnlAppEmergency && pnlAppEmergency->IsPanelOpen() && !pnlAppEmergency->CanToggle())
        return;
    pnlVIPControl->SetPanelOpen(!pnlVIPControl->IsPanelOpen());
    QThread::msleep(100);
}

void TfrmMain::actOpenTrafficInfoExecute()
{
    if (!pnlTrafficInfo || (FBridge && FBridge->IsLoading()))
        return;
    CloseOtherSidePanels(pnlTrafficInfo);
    if (pnlAppEmergency && pnlAppEmergency->IsPanelOpen() && !pnlAppEmergency->CanToggle())
        return;
    pnlTrafficInfo->SetPanelOpen(!pnlTrafficInfo->IsPanelOpen());
}

void TfrmMain::actTrafficInfoCloseExecute()
{
    if (pnlTrafficInfo)
        pnlTrafficInfo->ClosePanel();
}

void TfrmMain::actAppEmergencyOpenExecute()
{
    if (!pnlAppEmergency || !pnlAppEmergency->CanToggle())
        return;
    pnlAppEmergency->actAppEmergencyOpenExecute();
}

// ---------------------------------------------------------------------------
// Vehicle-position pollers
// ---------------------------------------------------------------------------

void TfrmMain::StartVehiclePollers()
{
    if (!DM)
        return;
    auto hostPort = [](const QString &server, int defaultPort, QString *host, int *port) {
        const int colon = server.lastIndexOf(QLatin1Char(':'));
        *host = colon > 0 ? server.left(colon) : server;
        *port = colon > 0 ? server.mid(colon + 1).toInt() : defaultPort;
        return !host->isEmpty() && *port > 0;
    };
    QString host;
    int port = 0;
    if (!FBRTThread && hostPort(DM->G_BRT_SERVER, 0, &host, &port))
        FBRTThread = new TBRTThread(host, port, DM->G_CONNECTION_TIMEOUT, DM->G_READ_TIMEOUT,
                                    unsigned(qMax(100, DM->G_BRT_MNTR_PERIOD)), 5000, FBridge);
    if (!FWASThread && hostPort(DM->G_WAS_SERVER, DM->G_WAS_PORT, &host, &port))
        FWASThread = new TWASThread(host, port, DM->G_CONNECTION_TIMEOUT, DM->G_READ_TIMEOUT,
                                    unsigned(qMax(100, DM->G_WAS_MNTR_PERIOD)), 5000, &FWasVisible, FBridge);
}

void TfrmMain::StopVehiclePollers()
{
    for (TVehiclePollerBase *t : {static_cast<TVehiclePollerBase *>(FBRTThread), static_cast<TVehiclePollerBase *>(FWASThread)}) {
        if (!t)
            continue;
        t->Terminate();
        t->WaitFor();
        delete t;
    }
    FBRTThread = nullptr;
    FWASThread = nullptr;
}

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
    ctx.SA_ID = FSA_ID;
    ctx.TCDV_ID = FTCDV_ID;
    const bool ownedByMain = def->Pattern == opOwned || def->Pattern == opModalFreed || def->Pattern == opModal;
    ctx.Owner = ownedByMain ? this : nullptr;
    return OpenActionWindow(*def, ctx, G_LC_INFO_SET, QRect(x(), y(), width(), height()));
}

void TfrmMain::actOpenSA_MExecute()
{
    if (FSA_ID <= 0 && !TWindowRegistry::Find(QStringLiteral("TfrmSA_M"))) {
        ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), Tx(QStringLiteral("IDS_23")), Tx(QStringLiteral("IDS_24")),
                   QString(), mkInformation);
        return;
    }
    const bool wasOpen = TWindowRegistry::Find(QStringLiteral("TfrmSA_M")) != nullptr;
    if (!ExecuteOpenAction(QStringLiteral("actOpenSA_M")) || wasOpen)
        return;
    if (QWidget *w = TWindowRegistry::Find(QStringLiteral("TfrmSA_M"))) {
        w->setWindowTitle(Action(QStringLiteral("actOpenSA_M"))->text() + QStringLiteral(" : ") + GetSaName(FSA_ID));
        const int mntrH = pnlMntr ? pnlMntr->height() : 0;
        w->move(x() + width() / 2 - w->width() / 2, y() + height() - w->height() - mntrH - 14);
    }
}

void TfrmMain::actOpenTCDV_E_PhaseMvmtExecute()
{
    if (FTCDV_ID <= 0 && !TWindowRegistry::Find(QStringLiteral("TfrmTCDV_E_PhaseMvmt"))) {
        ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), Tx(QStringLiteral("IDS_23")), Tx(QStringLiteral("IDS_24")),
                   QString(), mkInformation);
        return;
    }
    ExecuteOpenAction(QStringLiteral("actOpenTCDV_E_PhaseMvmt"));
}

void TfrmMain::actOpenTCDV_SExecute()
{
    auto *dlg = new TfrmTCDV_S(this);
    TWindowRegistry::Register(QStringLiteral("TfrmTCDV_S"), dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->setWindowTitle(Action(QStringLiteral("actOpenTCDV_S"))->text());
    dlg->FTCDV_ID = FTCDV_ID;
    QPointer<TfrmTCDV_S> guard(dlg);
    const int result = dlg->ShowModal();
    if (guard && result == QDialog::Accepted) {
        const int lc = dlg->qryTCDVINT_LCNO().toInt();
        const QString node = dlg->qryTCDVNODE_ID().toString();
        delete guard.data();
        PanToTCDV(lc, node);
        return;
    }
    delete guard.data();
}

void TfrmMain::actOpenSA_SExecute()
{
    auto *dlg = new TfrmSA_S(this);
    TWindowRegistry::Register(QStringLiteral("TfrmSA_S"), dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->setWindowTitle(Action(QStringLiteral("actOpenSA_S"))->text());
    QPointer<TfrmSA_S> guard(dlg);
    const int result = dlg->ShowModal();
    const int group = guard ? dlg->SA_ID() : 0;
    delete guard.data();
    if (result == QDialog::Accepted && PageReady() && group > 0) {
        FSA_ID = group;
        FTCDV_ID = 0;
        SelectSA(group);
    }
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
    if (FSA_ID > 0 && FTCDV_ID == 0) {
        SelectSA(FSA_ID);
        FindTreeBySaId(trvSA, FSA_ID);
        ShowSelectionText();
    } else if (FTCDV_ID > 0) {
        const int lc = FTCDV_ID;
        SelectLCMarker(lc);
        FindTreeByLcId(trvSA, lc);
        FindTreeByLcId(trvLC, lc);
        ShowSelectionText();
    }
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
    QWidget *view = (FBridge && FBridge->View()) ? FBridge->View() : pnlMapView;
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

// ---------------------------------------------------------------------------
// Search-box pickers
// ---------------------------------------------------------------------------

void TfrmMain::edtSAButtonClick()
{
    auto *dlg = new TfrmSA_S(this);
    QPointer<TfrmSA_S> guard(dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    if (DM)
        dlg->setWindowTitle(DM->T_SaSTitle);
    const int result = dlg->ShowModal();
    const int group = guard ? dlg->SA_ID() : 0;
    delete guard.data();
    if (result == QDialog::Accepted && group > 0) {
        edtSA->setText(QString::number(group));
        FindSaId(group);
    }
}

void TfrmMain::edtTCDVButtonClick()
{
    auto *dlg = new TfrmTCDV_S(this);
    QPointer<TfrmTCDV_S> guard(dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    if (DM)
        dlg->setWindowTitle(DM->T_TcdvSTitle);
    if (dlg->chxOnlySgnl) {
        dlg->chxOnlySgnl->setChecked(true);
        dlg->chxOnlySgnl->hide();
    }
    dlg->FTCDV_ID = edtTCDV->text().trimmed().toInt(); // 0 when not a number
    const int result = dlg->ShowModal();
    if (guard && result == QDialog::Accepted) {
        const int lc = dlg->qryTCDVINT_LCNO().toInt();
        const int sa = dlg->qryTCDVINT_SANO().toInt();
        delete guard.data();
        if (lc > 0) {
            edtTCDV->setText(QString::number(lc));
            edtSA->setText(QString::number(sa));
            FindTcdvId(lc);
        }
        return;
    }
    delete guard.data();
}
