#include "intersection/untTCDV_Conf.h"

#include <QApplication>
#include <QBuffer>
#include <QSqlError>
#include <QSqlQuery>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableWidget>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/FileDialogService.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/ShadowForm.h"
#include "core/siLang.h"
#include "core/untCodeToText.h"
#include "core/untDM.h"
#include "foundation/QuorvalBase.h"
#include "intersection/TcdvConfExport.h"

using namespace TcdvConf;

namespace {

TPlanSheetHost &HostRef()
{
    static TPlanSheetHost host;
    return host;
}

QTableWidgetItem *Item(const QVariant &v, Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter)
{
    auto *it = new QTableWidgetItem(v.isNull() || !v.isValid() ? QString() : v.toString());
    it->setData(Qt::UserRole, v);
    it->setTextAlignment(int(align));
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return it;
}

QTableWidget *ReadOnlyGrid(const QStringList &headers)
{
    auto *g = new QTableWidget(0, headers.size());
    g->setHorizontalHeaderLabels(headers);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return g;
}

// Rows 0 and 2 of the phase grid are painted with the arrow of the live record.
class TPhaseArrowDelegate : public QStyledItemDelegate
{
public:
    TPhaseArrowDelegate(std::function<const TMovement *(int phase, int ring)> movement, QObject *parent)
        : QStyledItemDelegate(parent), FMovement(std::move(movement))
    {
    }
    void paint(QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &index) const override
    {
        const int row = index.row(), col = index.column();
        if ((row == 0 || row == 2) && col >= 2) {
            const QColor back = opt.state & QStyle::State_Selected ? opt.palette.highlight().color()
                                                                   : opt.palette.base().color();
            p->fillRect(opt.rect, back);
            const TMovement *m = FMovement(col - 1, row == 0 ? 1 : 2);
            if (m && m->mvmt_no != 0)
                DrawSmoothMvmt(p, opt.rect, m->mvmt_no == 17 || m->mvmt_no == 18, m->head_angle.str().toDouble(),
                               m->end_angle.str().toDouble(), back, QColor(91, 155, 91));
            return;
        }
        QStyledItemDelegate::paint(p, opt, index);
    }

private:
    std::function<const TMovement *(int, int)> FMovement;
};

} // namespace

void SetPlanSheetHost(const TPlanSheetHost &host)
{
    HostRef() = host;
}

const TPlanSheetHost &PlanSheetHost()
{
    return HostRef();
}

TfrmTCDV_Conf::TfrmTCDV_Conf(QWidget *owner, IMainWindow *main) : QWidget(owner, Qt::Window), FMain(main)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("frmTCDV_Conf");
    setMinimumSize(1238, 706);
    setWindowTitle(Tx("Caption"));
    BuildUi();
    if (PlanSheetHost().MakePage) {
        FMapView = PlanSheetHost().MakePage(this, pnlMapView);
        if (FMapView) {
            FMapView->SetMapViewInit([this] { MapViewInit(); });
            if (DM)
                FMapView->Load(DM->G_MONITOR_URL);
        }
    }
    const bool admin = DM && DM->G_ADMIN_MODE;
    btnRefresh->setVisible(admin);
    btnDevTools->setVisible(admin);
    // The import is not offered here yet; it stays hidden for grade 4 in any case.
    btnImport->setVisible(false);
    ClearPanels();
}

TfrmTCDV_Conf::~TfrmTCDV_Conf()
{
    StopShadow();
}

QString TfrmTCDV_Conf::Tx(const char *key) const
{
    return TsiLangDispatcher::instance()->Text(kTextTable, QString::fromLatin1(key));
}

void TfrmTCDV_Conf::BuildUi()
{
    auto *root = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(Tx("lblTCDV.Caption")));
    edtTCDV = new QLineEdit;
    edtTCDV->setMaximumWidth(80);
    top->addWidget(edtTCDV);
    lblTcdvName = new QLabel;
    top->addWidget(lblTcdvName);
    top->addWidget(new QLabel(Tx("lblSA.Caption")));
    lblSA_NAME = new QLabel;
    top->addWidget(lblSA_NAME);
    top->addStretch();
    btnImport = new QPushButton(Tx("actImport.Caption"));
    top->addWidget(btnImport);
    btnExport = new QToolButton;
    btnExport->setText(Tx("actExport.Caption"));
    btnExport->setPopupMode(QToolButton::MenuButtonPopup);
    auto *menu = new QMenu(btnExport);
    QAction *all = menu->addAction(Tx("actExportAll.Caption"));
    all->setObjectName("NAllTcdvSave");
    btnExport->setMenu(menu);
    top->addWidget(btnExport);
    auto *close = new QPushButton(Tx("actClose.Caption"));
    top->addWidget(close);
    root->addLayout(top);

    auto *body = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    lblTCDV_NAME = new QLabel;
    left->addWidget(lblTCDV_NAME);
    pnlMapView = new QWidget;
    pnlMapView->setMinimumSize(360, 300);
    new QVBoxLayout(pnlMapView);
    left->addWidget(pnlMapView, 1);
    auto *bar = new QHBoxLayout;
    cbxGennType = new QComboBox;
    bar->addWidget(cbxGennType);
    btnRefresh = new QPushButton(Tx("actWebViewRefresh.Caption"));
    btnDevTools = new QPushButton(Tx("actShowDevTool.Caption"));
    btnSaveMap = new QPushButton(Tx("actSaveMapView.Caption"));
    bar->addWidget(btnRefresh);
    bar->addWidget(btnDevTools);
    bar->addWidget(btnSaveMap);
    left->addLayout(bar);
    lblPHASE_INFO = new QLabel;
    left->addWidget(lblPHASE_INFO);
    QStringList phaseHeads{Tx("Items"), QString()};
    for (int k = 1; k <= 8; ++k)
        phaseHeads << (TsiLangDispatcher::instance()->ActiveLanguage() == TsiLangDispatcher::LangEnglish
                           ? QStringLiteral("P%1").arg(k)
                           : QStringLiteral("%1현시").arg(k));
    gtvPhaseInfo = ReadOnlyGrid(phaseHeads);
    gtvPhaseInfo->setItemDelegate(new TPhaseArrowDelegate(
        [this](int phase, int ring) -> const TMovement * {
            const int cls = cbxGennType->currentIndex() + 1;
            if (!FLC_INFO || cls < 1 || cls > MVMT_PLAN_CLASSES || phase < 1 || phase > 8)
                return nullptr;
            return &FLC_INFO->Movements[cls - 1][phase - 1][ring - 1];
        },
        gtvPhaseInfo));
    left->addWidget(gtvPhaseInfo);
    body->addLayout(left, 3);

    auto *middle = new QVBoxLayout;
    middle->addWidget(new QLabel(Tx("lblTOD.Caption")));
    tcDayPlan = new QTabBar;
    middle->addWidget(tcDayPlan);
    QStringList todHeads{Tx("IDS_153") + "\n" + Tx("IDS_154"), Tx("Cycle"), Tx("Offset")};
    for (int k = 1; k <= 8; ++k)
        todHeads << QString::number(k);
    todHeads << "Tot";
    gtvTODWin = ReadOnlyGrid(todHeads);
    middle->addWidget(gtvTODWin, 1);
    body->addLayout(middle, 4);

    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(Tx("lblDayPlan.Caption")));
    tcLcTod = new QTabBar;
    right->addWidget(tcLcTod);
    gtvDayPlan = ReadOnlyGrid({Tx("Seq"), Tx("Time"), Tx("Cycle"), Tx("OffsetNo"), Tx("SplitNo"), Tx("TodTrc")});
    right->addWidget(gtvDayPlan, 2);
    right->addWidget(new QLabel(Tx("lblWeekPlan.Caption")));
    gtvWeekPlan = ReadOnlyGrid({Tx("DayOfWeek"), Tx("IDS_85"), Tx("IDS_86"), Tx("IDS_87"), Tx("IDS_88"), Tx("IDS_89"),
                                Tx("IDS_90"), Tx("IDS_91")});
    gtvWeekPlan->setMaximumHeight(60);
    right->addWidget(gtvWeekPlan);
    right->addWidget(new QLabel(Tx("lblFnTab.Caption")));
    gtvFnTab = ReadOnlyGrid({Tx("Seq"), Tx("Month"), Tx("Day"), Tx("DayOfWeek"), Tx("Start"), Tx("End"), Tx("Function")});
    right->addWidget(gtvFnTab, 1);
    body->addLayout(right, 4);

    auto *far = new QVBoxLayout;
    far->addWidget(new QLabel(Tx("lblSpPlan.Caption")));
    gtvSpPlan = ReadOnlyGrid({Tx("MonthDay"), Tx("PlanNo")});
    far->addWidget(gtvSpPlan, 1);
    body->addLayout(far, 2);
    root->addLayout(body, 1);

    AllExecutorProgress = new QProgressBar(this);
    AllExecutorProgress->setFixedWidth(300);
    AllExecutorProgress->hide();

    connect(edtTCDV, &QLineEdit::returnPressed, this, [this] { SetTCDV_ID(edtTCDV->text().toInt()); });
    connect(edtTCDV, &QLineEdit::textEdited, this, [this](const QString &t) { lblTcdvName->setText(GetLcName(t.toInt())); });
    connect(cbxGennType, &QComboBox::activated, this, [this](int) { actSearchExecute(); });
    connect(tcDayPlan, &QTabBar::currentChanged, this, [this](int i) { TabChanged(tcDayPlan, i); });
    connect(tcLcTod, &QTabBar::currentChanged, this, [this](int i) { TabChanged(tcLcTod, i); });
    connect(btnExport, &QToolButton::clicked, this, [this] { actExportExecute(); });
    connect(all, &QAction::triggered, this, [this] { actExportAllExecute(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(btnSaveMap, &QPushButton::clicked, this, [this] { actSaveMapViewExecute(); });
    connect(btnRefresh, &QPushButton::clicked, this, [this] {
        FLoadEnd[0] = FLoadEnd[1] = false;
        if (FMapView)
            FMapView->Reload();
    });
    connect(btnDevTools, &QPushButton::clicked, this, [this] {
        if (FMapView)
            FMapView->ShowDevTools();
    });
}

void TfrmTCDV_Conf::ClearPanels()
{
    lblTCDV_NAME->setText(FTCDV_ID > 0 ? Tx("IDS_28") : Tx("lblTCDV_NAME.Caption"));
    lblPHASE_INFO->setText(Tx("IDS_104"));
    InitPhaseGrid();
    FSyncingTabs = true;
    while (tcDayPlan->count())
        tcDayPlan->removeTab(0);
    while (tcLcTod->count())
        tcLcTod->removeTab(0);
    FSyncingTabs = false;
    FiDayPlanNOs.clear();
    for (QTableWidget *g : {gtvTODWin, gtvDayPlan, gtvWeekPlan, gtvFnTab, gtvSpPlan})
        g->setRowCount(0);
    FSpecial.clear();
    FReserve.clear();
}

void TfrmTCDV_Conf::SetTCDV_ID(int value)
{
    FTCDV_ID = value;
    edtTCDV->setText(QString::number(value));
    lblTcdvName->setText(GetLcName(value));
    lblSA_NAME->setText(GetLcSaName(value));
    if (DM && lblTcdvName->text() != DM->T_NotExist) {
        FLC_INFO = FMain && FMain->LiveLcInfoSet() ? FMain->LiveLcInfoSet()->GetLcInfo(FTCDV_ID) : nullptr;
        FMovements = FLC_INFO ? FLC_INFO->Movements : TMovementBlock{};
        FLCType = GetLcTypeEx(FTCDV_ID);
        const QStringList entries = PlanClassTexts(FLCType);
        if (cbxGennType->count() != entries.size()) {
            cbxGennType->clear();
            cbxGennType->addItems(entries);
        }
        cbxGennType->setCurrentIndex(0);
        actSearchExecute();
    } else {
        if (FMapView)
            FMapView->SetShowLoadingPanel(true);
        FLC_INFO = nullptr;
        ClearPanels();
        lblTCDV_NAME->setText(Tx("IDS_28"));
    }
}

bool TfrmTCDV_Conf::ReportDbError(bool ok, const QString &error)
{
    if (!ok && DM)
        ShowMsgDlg(this, DM->G_APP_TITLE, error, Tx("IDS_24"), QString(), mkError);
    return ok;
}

void TfrmTCDV_Conf::actSearchExecute()
{
    if (!DM || lblTcdvName->text() == DM->T_NotExist)
        return;
    const bool cursor = !FAllExecutorVisible;
    if (cursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    if (FMapView) {
        FLoadEnd[0] = FLoadEnd[1] = false;
        FMapView->Load(DM->G_MONITOR_URL);
    }
    InitPhaseGrid();
    LoadPhaseGrid();
    LoadPlanTabs();
    LoadDayPlan();
    LoadTODPattern();
    LoadWeekPlan();
    LoadReservePlan();
    LoadSpecialDayPlan();
    QString text = Tx("IDS_27");
    text.replace("%d", QString::number(FTCDV_ID));
    text.replace(text.indexOf("%s"), 2, GetLcName(FTCDV_ID));
    text.replace(text.indexOf("%s"), 2, GetImporFlagText(GetLcImporFlag(FTCDV_ID)));
    text.replace(text.indexOf("%s"), 2, cbxGennType->currentText());
    lblTCDV_NAME->setText(text);
    if (cursor)
        QApplication::restoreOverrideCursor();
}

void TfrmTCDV_Conf::InitPhaseGrid()
{
    gtvPhaseInfo->setRowCount(0);
    gtvPhaseInfo->setRowCount(10);
    const char *labels[] = {"IDS_49", "IDS_49", "IDS_49", "IDS_49", "IDS_52", "IDS_52", "IDS_55", "IDS_55",
                            "IDS_56", "IDS_56"};
    const char *rings[] = {"IDS_58", "IDS_58", "IDS_59", "IDS_59", "IDS_58", "IDS_59", "IDS_58", "IDS_59",
                           "IDS_58", "IDS_59"};
    for (int r = 0; r < 10; ++r) {
        gtvPhaseInfo->setItem(r, 0, Item(Tx(labels[r]), Qt::AlignCenter));
        gtvPhaseInfo->setItem(r, 1, Item(Tx(rings[r]), Qt::AlignCenter));
        for (int c = 2; c < 10; ++c)
            gtvPhaseInfo->setItem(r, c, Item(QVariant()));
        gtvPhaseInfo->setRowHeight(r, r == 0 || r == 2 ? 35 : 18);
    }
}

void TfrmTCDV_Conf::LoadPhaseGrid()
{
    const TPhaseGrid g = PhaseGridOf(FMovements, cbxGennType->currentIndex() + 1);
    for (int r = 0; r < 10; ++r)
        for (int p = 0; p < 8; ++p)
            gtvPhaseInfo->setItem(r, p + 2, Item(g[r][p], r == 1 || r == 3 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter));
    std::optional<int> main;
    QString error;
    if (!ReportDbError(LoadStartupMain(DM->Con(), FTCDV_ID, cbxGennType->currentIndex(), &main, &error), error))
        return;
    lblPHASE_INFO->setText(main ? Tx("IDS_107").replace("%d", QString::number(*main)) : Tx("IDS_104"));
}

void TfrmTCDV_Conf::LoadPlanTabs()
{
    FSyncingTabs = true;
    while (tcDayPlan->count())
        tcDayPlan->removeTab(0);
    while (tcLcTod->count())
        tcLcTod->removeTab(0);
    QString error;
    const bool ok = TcdvConf::LoadPlanTabs(DM->Con(), FTCDV_ID, FLCType, cbxGennType->currentIndex(), &FiDayPlanNOs, &error);
    for (int plan : FiDayPlanNOs) {
        const QString caption = Tx("IDS_41").replace("%d", QString::number(plan));
        tcDayPlan->addTab(caption);
        tcLcTod->addTab(caption);
    }
    if (!FiDayPlanNOs.isEmpty()) {
        tcDayPlan->setCurrentIndex(0);
        tcLcTod->setCurrentIndex(0);
    } else {
        gtvTODWin->setRowCount(0);
        gtvDayPlan->setRowCount(0);
    }
    FSyncingTabs = false;
    ReportDbError(ok, error);
}

void TfrmTCDV_Conf::TabChanged(QTabBar *from, int index)
{
    if (FSyncingTabs || index < 0)
        return;
    FSyncingTabs = true;
    (from == tcDayPlan ? tcLcTod : tcDayPlan)->setCurrentIndex(index);
    FSyncingTabs = false;
    LoadDayPlan();
    LoadTODPattern();
}

void TfrmTCDV_Conf::LoadDayPlan()
{
    gtvDayPlan->setRowCount(0);
    const int tab = tcDayPlan->currentIndex();
    if (tab < 0 || tab >= FiDayPlanNOs.size())
        return;
    QList<TDayRow> rows;
    QString error;
    if (!ReportDbError(TcdvConf::LoadDayPlan(DM->Con(), FTCDV_ID, FiDayPlanNOs[tab], &rows, &error), error))
        return;
    gtvDayPlan->setRowCount(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const TDayRow &r = rows[i];
        const QVariantList v{r.Index, r.Start, r.CycleLength, r.Offset, r.Split, r.TodAuto};
        for (int c = 0; c < v.size(); ++c)
            gtvDayPlan->setItem(i, c, Item(v[c]));
    }
}

void TfrmTCDV_Conf::LoadTODPattern()
{
    gtvTODWin->setRowCount(0);
    const int tab = tcLcTod->currentIndex();
    if (tab < 0 || tab >= FiDayPlanNOs.size())
        return;
    QList<TTodRow> rows;
    QString error;
    if (!ReportDbError(TcdvConf::LoadTODPattern(DM->Con(), FTCDV_ID, FiDayPlanNOs[tab], &rows, &error), error))
        return;
    gtvTODWin->setRowCount(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const TTodRow &r = rows[i];
        gtvTODWin->setItem(i, 0, Item(r.Index));
        gtvTODWin->setItem(i, 1, Item(r.Cycle));
        gtvTODWin->setItem(i, 2, Item(r.Offset));
        for (int k = 0; k < 8; ++k)
            gtvTODWin->setItem(i, 3 + k, Item(QStringLiteral("%1\n%2").arg(r.A[k].toString(), r.B[k].toString())));
        gtvTODWin->setItem(i, 11, Item(QStringLiteral("%1\n%2").arg(r.TotA).arg(r.TotB)));
        gtvTODWin->setRowHeight(i, 36);
    }
}

void TfrmTCDV_Conf::LoadWeekPlan()
{
    gtvWeekPlan->setRowCount(0);
    TWeekRow w;
    QString error;
    if (!ReportDbError(TcdvConf::LoadWeekPlan(DM->Con(), FTCDV_ID, &w, &error), error) || !w.Exists)
        return;
    gtvWeekPlan->setRowCount(1);
    gtvWeekPlan->setItem(0, 0, Item(Tx("WeekLabel"), Qt::AlignCenter));
    for (int d = 0; d < 7; ++d)
        gtvWeekPlan->setItem(0, d + 1, Item(w.Days[d]));
}

void TfrmTCDV_Conf::LoadReservePlan()
{
    gtvFnTab->setRowCount(0);
    QString error;
    if (!ReportDbError(TcdvConf::LoadReservePlan(DM->Con(), FTCDV_ID, &FReserve, &error), error))
        return;
    gtvFnTab->setRowCount(FReserve.size());
    for (int i = 0; i < FReserve.size(); ++i) {
        const TReserveRow &r = FReserve[i];
        const QVariantList v{r.Index, r.Month, r.Day, r.Weekday, r.Start, r.End, r.Function};
        for (int c = 0; c < v.size(); ++c)
            gtvFnTab->setItem(i, c, Item(v[c]));
    }
}

void TfrmTCDV_Conf::LoadSpecialDayPlan()
{
    gtvSpPlan->setRowCount(0);
    QString error;
    if (!ReportDbError(TcdvConf::LoadSpecialDayPlan(DM->Con(), GetLcSaNo(FTCDV_ID), &FSpecial, &error), error))
        return;
    gtvSpPlan->setRowCount(FSpecial.size());
    for (int i = 0; i < FSpecial.size(); ++i) {
        gtvSpPlan->setItem(i, 0, Item(FSpecial[i].MonthDay, Qt::AlignCenter));
        gtvSpPlan->setItem(i, 1, Item(FSpecial[i].Plan));
    }
}

bool TfrmTCDV_Conf::PageMessage(const QString &name, const QVariantList &args)
{
    if (name == QLatin1String("getLimitedNodeLink")) {
        if (PlanSheetHost().StartLayerThreads)
            PlanSheetHost().StartLayerThreads(args.value(0).toString(), this);
        return true;
    }
    if (name == QLatin1String("loadEndEx")) {
        FLoadEnd[args.value(0).toString() == QLatin1String("link") ? 1 : 0] = true;
        if (FMapView)
            FMapView->SetIsLoading(!(FLoadEnd[0] && FLoadEnd[1]));
        return true;
    }
    if (name == QLatin1String("loadEnd")) {
        if (FMapView)
            FMapView->SetIsLoading(false);
        return true;
    }
    return false;
}

QString TfrmTCDV_Conf::GetMovementScript() const
{
    const QColor green = PlanSheetHost().GreenMvmtColor ? PlanSheetHost().GreenMvmtColor() : QColor(0, 128, 0);
    const bool labels = PlanSheetHost().MvmtLabels && PlanSheetHost().MvmtLabels();
    return MovementScript(FLC_INFO ? FLC_INFO->Movements : FMovements, cbxGennType->currentIndex(), FLat, FLng,
                          TColorToHex(green), labels);
}

void TfrmTCDV_Conf::MapViewInit()
{
    if (!FMapView || !FMapView->BrowserExists())
        return;
    FLat = FLC_INFO ? FLC_INFO->cx.str() : QString();
    FLng = FLC_INFO ? FLC_INFO->cy.str() : QString();
    if (!FLC_INFO || (FLat.isEmpty() && FLng.isEmpty())) {
        FMapView->SetIsLoading(false);
        return;
    }
    auto quoted = [](QString s) { return '"' + s.replace('\\', "\\\\").replace('"', "\\\"") + '"'; };
    bool latOk = false, lngOk = false;
    const double lat = FLat.toDouble(&latOk), lng = FLng.toDouble(&lngOk);
    if (!latOk || !lngOk) {
        FMapView->SetIsLoading(false);
        return;
    }
    QString s = QStringLiteral("initialize(%1, %2, %3, %4, %5); MvmtLayer = new L.FeatureGroup(); map.addLayer(MvmtLayer);")
                    .arg(lat, 0, 'g', 10)
                    .arg(lng, 0, 'g', 10)
                    .arg(DM->G_MAP_MAX_ZOOM - 2)
                    .arg(quoted(DM->G_TILE_URL), quoted(DM->G_MAP_NAME));
    s += GetMovementScript();
    s += QStringLiteral(" window.loadEnd();");
    FMapView->ExecuteJavaScript(s);
}

QImage TfrmTCDV_Conf::MapPicture() const
{
    QWidget *view = FMapView ? FMapView->View() : nullptr;
    if (!view)
        return {};
    return view->grab().toImage();
}

void TfrmTCDV_Conf::actSaveMapViewExecute()
{
    if (FMapView && FMapView->IsLoading())
        return;
    const QString file = ShowSaveDialog(this, Tx("actSaveMapView.Caption"), DM->G_DIALOG_PATH, windowTitle(),
                                        "Bitmaps (*.bmp)|*.bmp", "bmp");
    if (file.isEmpty())
        return;
    DM->G_DIALOG_PATH = QFileInfo(file).absolutePath() + '/';
    const QImage img = MapPicture();
    if (!img.isNull())
        img.save(file, "BMP");
}

TSheetSnapshot TfrmTCDV_Conf::Snapshot() const
{
    TSheetSnapshot s;
    s.LcNo = FTCDV_ID;
    s.SaNo = GetLcSaNo(FTCDV_ID);
    s.LcName = GetLcName(FTCDV_ID);
    s.SheetName = windowTitle();
    s.CreateDate = Tx("CreateDate").replace("%s", DM->FS.toString(QDate::currentDate(), QLocale::LongFormat));
    s.Type = FLCType;
    const int cls = cbxGennType->currentIndex() + 1;
    s.Phase = PhaseGridOf(FMovements, cls);
    for (int p = 0; p < 8; ++p) {
        const int width = std::max(gtvPhaseInfo->columnWidth(p + 2) - 2, 20);
        for (int ring = 0; ring < 2; ++ring) {
            if (!s.Phase[ring * 2][p].isValid() || cls < 1 || cls > MVMT_PLAN_CLASSES)
                continue;
            const TMovement &m = (FLC_INFO ? FLC_INFO->Movements : FMovements)[cls - 1][p][ring];
            s.Arrows[p][ring] = ArrowPng(m, QSize(width, 35), palette().base().color());
        }
    }
    s.Special = FSpecial;
    s.Reserve = FReserve;
    const QImage map = MapPicture();
    if (!map.isNull()) {
        QBuffer buf(&s.MapPng);
        buf.open(QIODevice::WriteOnly);
        map.save(&buf, "PNG");
    }
    return s;
}

void TfrmTCDV_Conf::ShowExportResult(int result, const QString &detail)
{
    switch (TExportResult(result)) {
    case TExportResult::Ok:
        break;
    case TExportResult::TemplateMissing:
    case TExportResult::NameMissing:
        ShowMsgDlg(this, DM->G_APP_TITLE, Tx("IDS_161"), Tx("IDS_24"), detail, mkError);
        break;
    case TExportResult::FileInUse:
        ShowMsgDlg(this, DM->G_APP_TITLE, Tx("IDS_22") + "\n" + Tx("IDS_23"), Tx("IDS_24"), detail, mkError);
        break;
    case TExportResult::DbError:
    case TExportResult::WriteError:
        ShowMsgDlg(this, DM->G_APP_TITLE, detail, Tx("IDS_24"), QString(), mkError);
        break;
    }
}

void TfrmTCDV_Conf::actExportExecute()
{
    if ((FMapView && FMapView->IsLoading()) || FTCDV_ID < 1) {
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SelectIntMsg, DM->T_SelectIntCaption, QString(), mkInformation);
        return;
    }
    const QString proposed = RemoveInvalidFileChars(
        QStringLiteral("%1 %2 %3").arg(FTCDV_ID, 4, 10, QLatin1Char('0')).arg(lblTcdvName->text(), lblSA_NAME->text()));
    const QString file = ShowSaveDialog(this, Tx("actExport.Caption"), DM->G_DIALOG_PATH, proposed,
                                        Tx("XlsxFilter") + "|*.xlsx", "xlsx");
    if (file.isEmpty())
        return;
    DM->G_DIALOG_PATH = QFileInfo(file).absolutePath() + '/';
    const QString tmpl = TemplatePath(DM->G_APP_PATH, FLCType, TsiLangDispatcher::instance()->ActiveLanguage());
    QString detail;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TExportResult r = ExportToWorkbook(DM->Con(), Snapshot(), tmpl, file, &detail);
    QApplication::restoreOverrideCursor();
    ShowExportResult(int(r), detail);
    if (r == TExportResult::Ok)
        OpenExcel(this, file, DM->G_EXCEL_PATH, DM->T_FileOpenMsg, DM->T_FileOpenCaption);
}

void TfrmTCDV_Conf::actExportAllExecute()
{
    QString folder = ShowFolderDialog(this, Tx("actExportAll.Caption"), DM->G_DIALOG_PATH);
    if (folder.isEmpty())
        return;
    if (!folder.endsWith('/'))
        folder += '/';
    DM->G_DIALOG_PATH = folder;
    QSqlQuery q(DM->Con());
    if (!q.exec("SELECT INT_LCNO FROM SCS_M_INTLC ORDER BY INT_LCNO")) {
        ReportDbError(false, q.lastError().text());
        return;
    }
    QList<int> lcs;
    while (q.next())
        lcs << q.value(0).toInt();
    if (lcs.isEmpty())
        return;
    const int before = FTCDV_ID;
    FAllExecutorVisible = true;
    AllExecutorProgress->setRange(0, lcs.size());
    AllExecutorProgress->setValue(0);
    AllExecutorProgress->move((width() - AllExecutorProgress->width()) / 2, height() / 2);
    AllExecutorProgress->show();
    Shadow = TFormShadow::CreateShadow(this);
    Shadow->UpdateShadow();
    AllExecutorProgress->raise();
    for (int i = 0; i < lcs.size() && FAllExecutorVisible; ++i) {
        AllExecutorProgress->setValue(i + 1);
        SetTCDV_ID(lcs[i]);
        while (FMapView && FMapView->IsLoading() && FAllExecutorVisible) {
            QThread::msleep(100);
            QApplication::processEvents();
        }
        if (FMapView) {
            // The page draws its arrows after loading.
            for (int k = 0; k < 10; ++k) {
                QThread::msleep(100);
                QApplication::processEvents();
            }
        }
        const QString file = folder + RemoveInvalidFileChars(QStringLiteral("%1 %2 %3.xlsx")
                                                                 .arg(FTCDV_ID, 4, 10, QLatin1Char('0'))
                                                                 .arg(edtTCDV->text(), lblSA_NAME->text()));
        // Each intersection on the template of its own controller type.
        const QString tmpl = TemplatePath(DM->G_APP_PATH, FLCType, TsiLangDispatcher::instance()->ActiveLanguage());
        QString detail;
        const TExportResult r = ExportToWorkbook(DM->Con(), Snapshot(), tmpl, file, &detail);
        ShowExportResult(int(r), detail); // a failure skips this intersection only
        QApplication::processEvents();
        if (OnExportAllStep)
            OnExportAllStep(FTCDV_ID);
    }
    if (FAllExecutorVisible)
        AllExecutorCancel(); // the run ended: the panel goes
    if (before > 0)
        SetTCDV_ID(before);
}

void TfrmTCDV_Conf::AllExecutorCancel()
{
    FAllExecutorVisible = false;
    AllExecutorProgress->hide();
    StopShadow();
}

void TfrmTCDV_Conf::StopShadow()
{
    if (Shadow)
        delete Shadow.data();
}

void TfrmTCDV_Conf::closeEvent(QCloseEvent *e)
{
    if ((FMapView && FMapView->IsLoading()) || FAllExecutorVisible) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void TfrmTCDV_Conf::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (AllExecutorProgress)
        AllExecutorProgress->move((width() - AllExecutorProgress->width()) / 2, height() / 2);
    if (Shadow)
        Shadow->UpdateShadow();
}
