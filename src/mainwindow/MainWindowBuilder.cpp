#include "mainwindow/MainWindowBuilder.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "mainwindow/MainActionsUnit.h"
#include "mainwindow/MenuUnit.h"
#include "mainwindow/SaMotGridUnit.h"
#include "mainwindow/untEmergencyPanel.h"
#include "mainwindow/untLegend.h"
#include "mainwindow/untTrafficInfoPanel.h"
#include "mainwindow/untVipPanel.h"

namespace MainWindowBuilder {

namespace {

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

QLabel *NamedLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

void SetGlyph(QLabel *label, int index)
{
    if (!label)
        return;
    label->setProperty("imageIndex", index);
    label->setPixmap(GlyphPixmap(index));
}

void CreateActions(QWidget *owner, TMainWindowUi &ui)
{
    for (const TMainActionDef &d : MainActionDefs()) {
        auto *a = new QAction(owner);
        a->setObjectName(QString::fromLatin1(d.Name));
        if (d.Separator)
            a->setSeparator(true);
        if (*d.Shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(d.Shortcut)));
        ui.Actions.insert(a->objectName(), a);
    }
    for (int n = 1; n <= 9; ++n) {
        if (QAction *a = ui.Action(QStringLiteral("actBookmark%1").arg(n)))
            a->setProperty("Tag", n);
        if (QAction *a = ui.Action(QStringLiteral("actBookmark%1Reg").arg(n)))
            a->setProperty("Tag", n);
    }
    for (QAction *a : std::as_const(ui.Actions))
        owner->addAction(a);
}

void BuildUi(QMainWindow *window, TMainWindowUi &ui)
{
    window->resize(1024, 684);
    window->setMinimumSize(895, 600); // FormCanResize

    auto *central = new QWidget(window);
    central->setObjectName(QStringLiteral("pnlMain"));
    window->setCentralWidget(central);
    auto *cl = new QVBoxLayout(central);
    cl->setContentsMargins(0, 0, 0, 0);
    ui.MainSplit = new QSplitter(Qt::Horizontal, central);
    ui.MainSplit->setObjectName(QStringLiteral("splMain"));
    cl->addWidget(ui.MainSplit);

    // Left: search boxes, selection text, trees and the legend.
    ui.AreaBrowser = new QWidget(ui.MainSplit);
    ui.AreaBrowser->setObjectName(QStringLiteral("pnlAreaBrowser"));
    auto *al = new QVBoxLayout(ui.AreaBrowser);
    al->setContentsMargins(2, 2, 2, 2);
    auto *search = new QWidget(ui.AreaBrowser);
    search->setObjectName(QStringLiteral("pnlSearchBox"));
    auto *sl = new QHBoxLayout(search);
    sl->setContentsMargins(0, 0, 0, 0);
    QLabel *lblSA = NamedLabel(search, "lblSearchSA");
    ui.edtSA = new QLineEdit(search);
    ui.edtSA->setObjectName(QStringLiteral("edtSA"));
    ui.btnSA = new QPushButton(QStringLiteral("..."), search);
    ui.btnSA->setObjectName(QStringLiteral("btnSA"));
    ui.btnSA->setFixedWidth(24);
    QLabel *lblTCDV = NamedLabel(search, "lblSearchTCDV");
    ui.edtTCDV = new QLineEdit(search);
    ui.edtTCDV->setObjectName(QStringLiteral("edtTCDV"));
    ui.btnTCDV = new QPushButton(QStringLiteral("..."), search);
    ui.btnTCDV->setObjectName(QStringLiteral("btnTCDV"));
    ui.btnTCDV->setFixedWidth(24);
    sl->addWidget(lblSA);
    sl->addWidget(ui.edtSA);
    sl->addWidget(ui.btnSA);
    sl->addWidget(lblTCDV);
    sl->addWidget(ui.edtTCDV);
    sl->addWidget(ui.btnTCDV);
    al->addWidget(search);
    ui.SelNodeDesc = NamedLabel(ui.AreaBrowser, "pnlSelNodeDesc");
    al->addWidget(ui.SelNodeDesc);
    auto *leftSplit = new QSplitter(Qt::Vertical, ui.AreaBrowser);
    leftSplit->setObjectName(QStringLiteral("splTree"));
    ui.TreePages = new QTabWidget(leftSplit);
    ui.TreePages->setObjectName(QStringLiteral("pgcTree"));
    auto makeTree = [](const QString &name) {
        auto *t = new QTreeView;
        t->setObjectName(name);
        t->setHeaderHidden(true);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->setContextMenuPolicy(Qt::CustomContextMenu);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        return t;
    };
    ui.trvSA = makeTree(QStringLiteral("trvSA"));
    ui.trvSA->setExpandsOnDoubleClick(false); // a double click does not toggle a group node
    ui.trvLC = makeTree(QStringLiteral("trvLC"));
    ui.trvLC->setRootIsDecorated(false);
    ui.TreePages->addTab(ui.trvSA, QString());
    ui.TreePages->addTab(ui.trvLC, QString());
    ui.Legend = new TLegendPanel(leftSplit);
    leftSplit->addWidget(ui.TreePages);
    leftSplit->addWidget(ui.Legend);
    leftSplit->setStretchFactor(0, 3);
    leftSplit->setStretchFactor(1, 2);
    al->addWidget(leftSplit, 1);
    ui.MainSplit->addWidget(ui.AreaBrowser);

    // Right: the map and, below it, the monitoring panel with the group grid.
    ui.MapSplit = new QSplitter(Qt::Vertical, ui.MainSplit);
    ui.MapSplit->setObjectName(QStringLiteral("splMap"));
    // The map with the side panels at its right edge (VIP, traffic information,
    // emergency vehicles; at most one open).
    auto *mapArea = new QWidget(ui.MapSplit);
    mapArea->setObjectName(QStringLiteral("pnlMapArea"));
    auto *mapLayout = new QHBoxLayout(mapArea);
    mapLayout->setContentsMargins(0, 0, 0, 0);
    mapLayout->setSpacing(0);
    ui.MapView = new QWidget(mapArea);
    ui.MapView->setObjectName(QStringLiteral("pnlMapView"));
    mapLayout->addWidget(ui.MapView, 1);
    ui.Mntr = new QWidget(ui.MapSplit);
    ui.Mntr->setObjectName(QStringLiteral("pnlMntr"));
    auto *ml = new QVBoxLayout(ui.Mntr);
    ml->setContentsMargins(0, 0, 0, 0);
    ui.gtvSAMot = new QTableWidget(0, 16, ui.Mntr);
    ui.gtvSAMot->setObjectName(QStringLiteral("gtvSAMot"));
    ui.gtvSAMot->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.gtvSAMot->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui.gtvSAMot->verticalHeader()->hide();
    static const int kWidths[16] = {40, 120, 70, 60, 48, 48, 48, 56, 56, 48, 56, 56, 56, 48, 48, 48};
    ui.GridColumnWidth = 0;
    for (int i = 0; i < 16; ++i) {
        ui.gtvSAMot->setColumnWidth(i, kWidths[i]);
        ui.GridColumnWidth += kWidths[i];
    }
    ml->addWidget(ui.gtvSAMot);
    ui.MapSplit->addWidget(mapArea);
    ui.MapSplit->addWidget(ui.Mntr);
    ui.MapSplit->setStretchFactor(0, 4);
    ui.MapSplit->setStretchFactor(1, 1);
    ui.MainSplit->addWidget(ui.MapSplit);
    ui.MainSplit->setStretchFactor(1, 1);

    // Status bar.
    ui.gsConnection = NamedLabel(window, "gsConnection");
    ui.gsRequest = NamedLabel(window, "gsRequest");
    ui.gsReceive = NamedLabel(window, "gsReceive");
    ui.spUserID = NamedLabel(window, "spUserID");
    ui.spLat = NamedLabel(window, "spLat");
    ui.spLng = NamedLabel(window, "spLng");
    QStatusBar *bar = window->statusBar();
    bar->addWidget(ui.gsConnection);
    bar->addWidget(ui.gsRequest);
    bar->addWidget(ui.gsReceive);
    bar->addWidget(ui.spUserID);
    bar->addPermanentWidget(ui.spLat);
    bar->addPermanentWidget(ui.spLng);
}

void BuildPopupMenu(QWidget *owner, int grade, TMainWindowUi &ui)
{
    ui.pmLC = new QMenu(owner);
    ui.pmLC->setObjectName(QStringLiteral("pmLC"));
    auto proxy = [&ui](QMenu *menu, const char *name, int tag) {
        QAction *main = ui.Action(QString::fromLatin1(name));
        auto *p = new QAction(menu);
        p->setObjectName(QStringLiteral("pm_") + QString::fromLatin1(name));
        p->setProperty("tag", tag);
        p->setProperty("mainAction", QString::fromLatin1(name));
        if (main && main->isSeparator())
            p->setSeparator(true);
        else if (main)
            QObject::connect(p, &QAction::triggered, main, &QAction::trigger);
        menu->addAction(p);
        return p;
    };
    ui.pmMapCaption = new QAction(ui.pmLC);
    ui.pmMapCaption->setObjectName(QStringLiteral("pmMapCaption"));
    ui.pmMapCaption->setProperty("tag", 1);
    ui.pmLC->addAction(ui.pmMapCaption);
    for (const char *n : {"actLine1", "actOpenTCDV_E_Master", "actAuth", "actOpenTCDV_M", "actOpenTCDV_C_Control",
                          "actOpenTCDV_C_DBUpDn", "actLine7"})
        proxy(ui.pmLC, n, 1);
    ui.pmLcEdit = new QMenu(ui.pmLC);
    ui.pmLcEdit->setObjectName(QStringLiteral("pmLcEdit"));
    for (const char *n : {"actOpenTCDV_E_SignalManagerVariable", "actOpenTCDV_E_Algorithm", "actOpenTcdvTod",
                          "actOpenTcdvOffsetInfo", "actOpenTCDV_E_FlashMap", "actOpenTCDV_E_ReservePlan",
                          "actOpenTCDV_E_ConflictMap"})
        proxy(ui.pmLcEdit, n, 1);
    ui.pmLcEdit->menuAction()->setProperty("tag", 1);
    ui.pmLC->addMenu(ui.pmLcEdit);
    ui.pmSaEdit = new QMenu(ui.pmLC);
    ui.pmSaEdit->setObjectName(QStringLiteral("pmSaEdit"));
    for (const char *n : {"actOpenSA_E_Master", "actOpenSA_E_Conf"})
        proxy(ui.pmSaEdit, n, 1);
    ui.pmSaEdit->menuAction()->setProperty("tag", 1);
    ui.pmLC->addMenu(ui.pmSaEdit);
    QAction *plain = ui.pmLC->addSeparator();
    plain->setProperty("tag", 1);
    proxy(ui.pmLC, "actOpenTFDT_E", 1);
    proxy(ui.pmLC, "actAuth", 1);
    proxy(ui.pmLC, "actSaveMapView", 999);
    proxy(ui.pmLC, "actCollapseAll", 1000);

    ui.pmLcEdit->menuAction()->setEnabled(grade == 1 || grade == 3);
    ui.pmSaEdit->menuAction()->setEnabled(grade == 1);
}

void BuildToolBar(QMainWindow *window, TMainWindowUi &ui)
{
    // The top row: the tool bar, which folds the buttons it has no room for into its
    // extension menu, and at the right the host-request strip, which always keeps
    // the room its buttons need.
    QWidget *central = window->centralWidget();
    auto *topRow = new QWidget(central);
    topRow->setObjectName(QStringLiteral("pnlTopBar"));
    auto *topLayout = new QHBoxLayout(topRow);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    if (auto *cl = qobject_cast<QVBoxLayout *>(central->layout()))
        cl->insertWidget(0, topRow);
    ui.tbMain = new QToolBar(QStringLiteral("tbMain"), topRow);
    ui.tbMain->setObjectName(QStringLiteral("tbMain"));
    topLayout->addWidget(ui.tbMain, 1);
    ui.tbMain->setMovable(false);
    ui.tbMain->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Buttons follow the enabled and visible state of their actions (grade rules).
    const QList<QPair<const char *, const char *>> buttons = {
        {"actOpenTCDV_S", "RzToolButton1"},        {"actOpenTCDV_M", "RzToolButton2"},
        {"actOpenTCDV_C_Control", "RzToolButton3"}, {"actOpenTCDV_C_DBUpDn", "RzToolButton4"},
        {"actOpenCURR_EV", "RzToolButton5"},       {"actOpenTCDV_Conf", "RzToolButton6"},
        {"actOpenVIPControl", "RzToolButton7"},    {"actOpenTrafficInfo", "btnTrafficInfo"},
        {"actOpenEventHistory", "RzToolButton8"},  {"actOpenTCDV_HS_Sgnl", "RzToolButton9"}};
    for (const auto &b : buttons) {
        QAction *a = ui.Action(QString::fromLatin1(b.first));
        if (!a)
            continue;
        ui.tbMain->addAction(a);
        if (QWidget *w = ui.tbMain->widgetForAction(a))
            w->setObjectName(QString::fromLatin1(b.second));
    }
    // The emergency-panel button exists but stays hidden.
    ui.btnAppEmergency = new QToolButton(window);
    ui.btnAppEmergency->setObjectName(QStringLiteral("btnAppEmergency"));
    ui.btnAppEmergency->setDefaultAction(ui.Action(QStringLiteral("actAppEmergencyOpen")));
    ui.btnAppEmergency->hide();

    // The host-request strip at the right end: parameters changed, reload, restart (hidden).
    ui.SimpleButtons = new QWidget(topRow);
    ui.SimpleButtons->setObjectName(QStringLiteral("pnlSimpleButtons"));
    auto *hl = new QHBoxLayout(ui.SimpleButtons);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->setSpacing(0);
    const QList<QPair<const char *, const char *>> strip = {{"actReqtParamsChanged", "btnReqtParamsChanged"},
                                                            {"actReqtAppReload", "btnReqtAppReload"},
                                                            {"actReqtHostReboot", "btnReqtHostReboot"}};
    // Each button shows its whole caption (the reload action has only a hint, which
    // is its caption on the button) and is as wide as that caption needs.
    for (const auto &b : strip) {
        auto *btn = new QToolButton(ui.SimpleButtons);
        btn->setObjectName(QString::fromLatin1(b.second));
        btn->setDefaultAction(ui.Action(QString::fromLatin1(b.first)));
        btn->setToolButtonStyle(Qt::ToolButtonTextOnly);
        btn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        hl->addWidget(btn);
    }
    // The restart button is on a hidden button.
    if (auto *reboot = ui.SimpleButtons->findChild<QToolButton *>(QStringLiteral("btnReqtHostReboot")))
        reboot->setVisible(false);
    ui.SimpleButtons->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    topLayout->addWidget(ui.SimpleButtons, 0);

    // Hidden check of the state image's record and total sizes.
    ui.btnPacketSize = new QPushButton(QStringLiteral("PS"), window);
    ui.btnPacketSize->setObjectName(QStringLiteral("btnPacketSize"));
    ui.btnPacketSize->setVisible(false);
}

void BuildSidePanels(QWidget *owner, const TLC_INFO_SET *set, std::function<TStateImageRef()> image,
                     IMapBridge *page, TMainWindowUi &ui)
{
    QWidget *area = ui.MapView ? ui.MapView->parentWidget() : nullptr;
    auto *layout = area ? qobject_cast<QHBoxLayout *>(area->layout()) : nullptr;

    // VIP phase-hold panel.
    TVipPanel *vip = ui.VipPanel = new TVipPanel(area);
    vip->setObjectName(QStringLiteral("pnlVIPControl"));
    vip->SetSources(set, std::move(image), page);
    vip->setFixedWidth(330);
    vip->hide();
    QObject::connect(vip, &TVipPanel::preferredWidthChanged, owner, [vip](int w) {
        if (w > 0)
            vip->setFixedWidth(w);
    });

    // Traffic-information panel; its close button runs the window's close action.
    ui.TrafficInfoPanel = new TTrafficInfoPanel(area);
    ui.TrafficInfoPanel->SetPage(page);
    ui.TrafficInfoPanel->hide();
    QAction *closeTrafficInfo = ui.Action(QStringLiteral("actTrafficInfoClose"));
    QObject::connect(ui.TrafficInfoPanel, &TTrafficInfoPanel::closeClicked, owner, [closeTrafficInfo] {
        if (closeTrafficInfo)
            closeTrafficInfo->trigger();
    });

    // Emergency-vehicle panel.
    ui.AppEmergencyPanel = new TAppEmergencyPanel(area);
    ui.AppEmergencyPanel->setObjectName(QStringLiteral("pnlAppEmergency"));
    ui.AppEmergencyPanel->SetPage(page);
    ui.AppEmergencyPanel->hide();

    if (layout) {
        layout->addWidget(ui.VipPanel);
        layout->addWidget(ui.TrafficInfoPanel);
        layout->addWidget(ui.AppEmergencyPanel);
    }
}

void Retranslate(const TMainWindowUi &ui, const std::function<QString(const QString &)> &tx)
{
    if (QLabel *l = ui.AreaBrowser->findChild<QLabel *>(QStringLiteral("lblSearchSA")))
        l->setText(tx(QStringLiteral("IDS_9")));
    if (QLabel *l = ui.AreaBrowser->findChild<QLabel *>(QStringLiteral("lblSearchTCDV")))
        l->setText(tx(QStringLiteral("IDS_10")));
    const QStringList keys = SaMotColumnKeys();
    QStringList headers;
    for (const QString &k : keys)
        headers << tx(k);
    ui.gtvSAMot->setHorizontalHeaderLabels(headers);
    ui.pmLcEdit->setTitle(tx(QStringLiteral("pmLcEdit.Caption")));
    ui.pmSaEdit->setTitle(tx(QStringLiteral("pmSaEdit.Caption")));
    for (QAction *p : ui.pmLC->findChildren<QAction *>()) {
        const QString main = p->property("mainAction").toString();
        if (!main.isEmpty())
            if (QAction *a = ui.Action(main))
                p->setText(a->text());
    }
    // (QAction::text() falls back on the icon text, so the reload action is named.)
    for (const char *n : {"actReqtParamsChanged", "actReqtAppReload", "actReqtHostReboot"})
        if (QAction *act = ui.Action(QString::fromLatin1(n)))
            act->setIconText(qstrcmp(n, "actReqtAppReload") == 0 ? act->toolTip() : act->text());
}

void ApplyGrade(const TMainWindowUi &ui, int grade)
{
    if (ui.SimpleButtons && !AuthManager(grade))
        if (auto *params = ui.SimpleButtons->findChild<QToolButton *>(QStringLiteral("btnReqtParamsChanged")))
            params->setVisible(false);
    if (ui.pmLcEdit)
        ui.pmLcEdit->menuAction()->setEnabled(AuthManager(grade));
    if (ui.pmSaEdit)
        ui.pmSaEdit->menuAction()->setEnabled(grade == 1);
}

} // namespace MainWindowBuilder
