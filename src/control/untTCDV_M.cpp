#include "control/untTCDV_M.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/GridResources.h"
#include "core/GridView.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untTCDV_S.h"

namespace {

const QString kTable = QStringLiteral("TfrmTCDV_M");
const QColor kHeader(0xED, 0xF3, 0xF8), kRingA(0xE1, 0xF4, 0xF7), kRingB(0xE0, 0xE1, 0xF8),
    kDetector(0x7E, 0xAC, 0xF1), kGreen(0x66, 0xCC, 0x66), kAmber(0xFF, 0xCC, 0x33), kReadOnly(0xEB, 0xEB, 0xEB),
    kDisabledText(0xA0, 0xA0, 0xA0), kHold(0xED, 0x1C, 0x24), kMvmtPicture(0x5B, 0x9B, 0x5B);

QString Tx(const QString &key) { return siText(kTable, key); }

QTableWidget *NewGrid(QWidget *parent, const QString &name, int rows, int cols, bool header)
{
    auto *g = new QTableWidget(rows, cols, parent);
    g->setObjectName(name);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    if (!header)
        g->horizontalHeader()->hide();
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    g->verticalHeader()->setDefaultSectionSize(18);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            auto *it = new QTableWidgetItem;
            it->setTextAlignment(Qt::AlignCenter);
            g->setItem(r, c, it);
        }
    return g;
}

void SetCell(QTableWidget *g, int r, int c, const QString &text, const QColor &bg = QColor())
{
    QTableWidgetItem *it = g->item(r, c);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignCenter);
        g->setItem(r, c, it);
    }
    if (it->text() != text)
        it->setText(text);
    it->setBackground(bg.isValid() ? QBrush(bg) : QBrush());
}

// Phase grid: movement pictures (rows 2 and 3) and the red frame of the hold phase.
class TPhaseGridDelegate : public QStyledItemDelegate
{
public:
    TPhaseGridDelegate(const TLcMonitorModel *model, QObject *parent) : QStyledItemDelegate(parent), FModel(model) {}
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int col = index.column(), row = index.row();
        if (col >= 2 && (row == 2 || row == 3)) {
            const TLcMonitorModel::TPicture &pic = FModel->Pictures[row - 2][col - 2];
            const QColor bg = index.data(Qt::BackgroundRole).value<QBrush>().color();
            const QColor back = bg.isValid() && bg.alpha() ? bg : option.palette.base().color();
            if (pic.Number != 0)
                DrawSmoothMvmt(p, option.rect.adjusted(2, 2, -2, -2), pic.Number == 17 || pic.Number == 18, pic.Head,
                               pic.End, back, kMvmtPicture);
            else
                p->fillRect(option.rect, back);
        } else {
            QStyledItemDelegate::paint(p, option, index);
        }
        if (col >= 2 && FModel->HoldColumn == col - 1) {
            p->save();
            QPen pen(kHold, 2);
            p->setPen(pen);
            const QRect r = option.rect.adjusted(1, 0, -1, 0);
            p->drawLine(r.topLeft(), r.bottomLeft());
            p->drawLine(r.topRight(), r.bottomRight());
            if (row == 0)
                p->drawLine(r.topLeft() + QPoint(0, 1), r.topRight() + QPoint(0, 1));
            if (row == index.model()->rowCount() - 1)
                p->drawLine(r.bottomLeft(), r.bottomRight());
            p->restore();
        }
    }

private:
    const TLcMonitorModel *FModel;
};

// Addresses in the memo are underlined in the link colour.
class TMemoUrlHighlighter : public QSyntaxHighlighter
{
public:
    explicit TMemoUrlHighlighter(QTextDocument *doc) : QSyntaxHighlighter(doc) {}

protected:
    void highlightBlock(const QString &text) override
    {
        QTextCharFormat f;
        f.setForeground(QColor(0x00, 0x66, 0xCC));
        f.setFontUnderline(true);
        for (const TLcMemoUrl &u : LcMemoUrls(text))
            setFormat(u.Start, u.Length, f);
    }
};

} // namespace

TfrmTCDV_M *NewLcMonitor(QWidget *owner, const PSTT_LC_INFO &info, const TLcMonitorHost &host)
{
    if (!info)
        return nullptr;
    return new TfrmTCDV_M(owner, info, host);
}

TfrmTCDV_M::TfrmTCDV_M(QWidget *owner, const PSTT_LC_INFO &info, const TLcMonitorHost &host)
    : QWidget(owner, Qt::Tool), FHost(host), FLC_INFO(info)
{
    setObjectName(QStringLiteral("frmTCDV_M"));
    setAttribute(Qt::WA_DeleteOnClose);
    FTCDV_ID = info ? info->tcdv_id : 0;
    FV_TCDV_ID = info ? info->virtualLC_No : 0;
    FLCType = GetLcTypeEx(FTCDV_ID);
    FModel.Legend = host.Legend;
    FModel.DbErrorText = host.DbErrorText;
    FModel.FirmwareSize = [this](const QString &fwId, bool *failed) -> std::optional<qint64> {
        if (!DM)
            return std::nullopt;
        QSqlQuery q(DM->Con());
        q.prepare(QStringLiteral(" SELECT FW_SIZE        FROM SCS_M_FIRMWARE   WHERE FW_ID = :FW_ID "));
        q.bindValue(QStringLiteral(":FW_ID"), fwId.toInt());
        if (!q.exec()) {
            *failed = true;
            ReportDbErrorOnce(QStringLiteral("SCS_M_FIRMWARE"), q.lastError());
            return std::nullopt;
        }
        if (!q.next())
            return std::nullopt;
        return q.value(0).toLongLong();
    };
    if (info)
        FModel.Reset(info->Movements);
    BuildUi();
    if (FHost.MakePage)
        FPage = FHost.MakePage(this, pnlMapView);
    FModel.Page = FPage.get();
    if (FPage)
        FPage->SetMapViewInit([this] { MapViewInit(); });
    // Admin strip and actions only in admin mode.
    const bool admin = DM && DM->G_ADMIN_MODE;
    pnlMapViewControl->setVisible(admin);
    actRefresh->setEnabled(admin);
    actShowDevTools->setEnabled(admin);
    if (!admin)
        pnlMapView->setContentsMargins(0, 0, 0, 8);
    // No event history for grade 4.
    btnShowEventHistory->setVisible(!(DM && DM->G_APP_USER.Role == 4));
    actShowEventHistory->setEnabled(TMainOpeners::IsRegistered(QStringLiteral("TfrmEventHistory")));

    ShowIdentity();
    InitPhaseInfoGrid();
    InitDetectorGrid();
    ApplyLayoutByType();
    LoadPage();
    // The window opens with the detail panel folded.
    FMainPanelWidth = LcMonitorMainPanelWidth();
    FDetailFolded = true;
    ApplyDetailGeometry();
    LoadSpillbackList();
    LoadComments();
}

TfrmTCDV_M::~TfrmTCDV_M()
{
    FModel.Page = nullptr;
}

void TfrmTCDV_M::BuildUi()
{
    resize(kLcMonitorDesignWidth, 619);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(2);

    // Top panel.
    auto *top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnlTop"));
    top->setFixedHeight(58);
    // The top panel is clipped by the window's width, as in the design.
    top->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto *tl = new QHBoxLayout(top);
    auto *lblSA = new QLabel(top);
    lblSA->setObjectName(QStringLiteral("lblSA"));
    lblSA_ID = new QLabel(top);
    lblSA_ID->setObjectName(QStringLiteral("lblSA_ID"));
    lblSA_NAME = new QLabel(top);
    lblSA_NAME->setObjectName(QStringLiteral("lblSA_NAME"));
    lblSA_NAME->setFixedWidth(361);
    auto *lblTCDV = new QLabel(top);
    lblTCDV->setObjectName(QStringLiteral("lblTCDV"));
    edtTCDV = new QLineEdit(top);
    edtTCDV->setObjectName(QStringLiteral("edtTCDV"));
    edtTCDV->setFixedWidth(60);
    edtTCDV->installEventFilter(this);
    auto *pick = new QToolButton(top);
    pick->setObjectName(QStringLiteral("edtTCDVButton"));
    pick->setText(QStringLiteral("..."));
    connect(pick, &QToolButton::clicked, this, &TfrmTCDV_M::OpenPicker);
    lblTCDV_NAME = new QLabel(top);
    lblTCDV_NAME->setObjectName(QStringLiteral("lblTCDV_NAME"));
    lblTCDV_NAME->setFixedWidth(361);
    connect(edtTCDV, &QLineEdit::textChanged, this, [this](const QString &t) {
        bool ok = false;
        const int n = t.toInt(&ok);
        lblTCDV_NAME->setText(ok ? GetLcName(n) : QString());
    });
    actShowEventHistory = new QAction(this);
    actShowEventHistory->setObjectName(QStringLiteral("actShowEventHistory"));
    connect(actShowEventHistory, &QAction::triggered, this, &TfrmTCDV_M::ShowEventHistory);
    btnShowEventHistory = new QToolButton(top);
    btnShowEventHistory->setObjectName(QStringLiteral("btnShowEventHistory"));
    btnShowEventHistory->setDefaultAction(actShowEventHistory);
    btnShowEventHistory->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    btnShowEventHistory->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tl->addWidget(lblSA);
    tl->addWidget(lblSA_ID);
    tl->addWidget(lblSA_NAME);
    tl->addWidget(lblTCDV);
    tl->addWidget(edtTCDV);
    tl->addWidget(pick);
    tl->addWidget(lblTCDV_NAME);
    tl->addStretch();
    tl->addWidget(btnShowEventHistory);
    root->addWidget(top);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    root->addLayout(middle, 1);

    // Left: map and phase grid.
    auto *left = new QWidget(this);
    left->setObjectName(QStringLiteral("pnlLeft"));
    left->setFixedWidth(353);
    auto *ll = new QVBoxLayout(left);
    ll->setContentsMargins(0, 0, 0, 0);
    gbMapView = new QGroupBox(left);
    gbMapView->setObjectName(QStringLiteral("gbMapView"));
    gbMapView->setFixedHeight(210);
    auto *ml = new QVBoxLayout(gbMapView);
    ml->setContentsMargins(2, 2, 2, 2);
    pnlMapView = new QWidget(gbMapView);
    pnlMapView->setObjectName(QStringLiteral("pnlMapView"));
    pnlMapView->setLayout(new QVBoxLayout);
    pnlMapView->layout()->setContentsMargins(0, 0, 0, 0);
    ml->addWidget(pnlMapView, 1);
    pnlMapViewControl = new QWidget(gbMapView);
    pnlMapViewControl->setObjectName(QStringLiteral("pnlMapViewControl"));
    auto *cl = new QHBoxLayout(pnlMapViewControl);
    cl->setContentsMargins(0, 0, 0, 0);
    auto *g = new QLabel(QStringLiteral("G"), pnlMapViewControl);
    g->setObjectName(QStringLiteral("lblGreenMvmt"));
    g->setAutoFillBackground(true);
    g->setStyleSheet(QStringLiteral("background:%1").arg(FModel.Legend.GreenMvmt.name()));
    auto *y = new QLabel(QStringLiteral("Y"), pnlMapViewControl);
    y->setObjectName(QStringLiteral("lblYellowMvmt"));
    y->setStyleSheet(QStringLiteral("background:%1").arg(FModel.Legend.YellowMvmt.name()));
    actRefresh = new QAction(this);
    actRefresh->setObjectName(QStringLiteral("actRefresh"));
    actRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    connect(actRefresh, &QAction::triggered, this, [this] {
        FLoadEnd[0] = FLoadEnd[1] = false;
        LoadPage();
    });
    actShowDevTools = new QAction(this);
    actShowDevTools->setObjectName(QStringLiteral("actShowDevTools"));
    actShowDevTools->setShortcut(QKeySequence(Qt::Key_F12));
    connect(actShowDevTools, &QAction::triggered, this, [this] {
        if (FPage)
            FPage->ShowDevTools();
    });
    addAction(actRefresh);
    addAction(actShowDevTools);
    auto *bRefresh = new QToolButton(pnlMapViewControl);
    bRefresh->setDefaultAction(actRefresh);
    auto *bDev = new QToolButton(pnlMapViewControl);
    bDev->setDefaultAction(actShowDevTools);
    cl->addWidget(g);
    cl->addWidget(y);
    cl->addStretch();
    cl->addWidget(bRefresh);
    cl->addWidget(bDev);
    ml->addWidget(pnlMapViewControl);
    ll->addWidget(gbMapView);
    auto *gpPhaseInfo = new QGroupBox(left);
    gpPhaseInfo->setObjectName(QStringLiteral("gpPhaseInfo"));
    auto *pl = new QVBoxLayout(gpPhaseInfo);
    pl->setContentsMargins(2, 2, 2, 5);
    gtvPhaseInfo = NewGrid(gpPhaseInfo, QStringLiteral("gtvPhaseInfo"), 10, 10, true);
    gtvPhaseInfo->setItemDelegate(new TPhaseGridDelegate(&FModel, gtvPhaseInfo));
    gtvPhaseInfo->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gtvPhaseInfo->setColumnWidth(0, 47);
    gtvPhaseInfo->setColumnWidth(1, 40);
    for (int c = 2; c < 10; ++c)
        gtvPhaseInfo->setColumnWidth(c, 31);
    gtvPhaseInfo->setRowHeight(2, 35);
    gtvPhaseInfo->setRowHeight(3, 35);
    pl->addWidget(gtvPhaseInfo);
    // The LSU ring view: eight bands "LSU1".."LSU8" over two columns "P1" and "P2" each.
    gtvRing = NewGrid(gpPhaseInfo, QStringLiteral("gtvRing"), 1, 16, true);
    auto *ringHeader = new TGridHeaderView(gtvRing);
    ringHeader->setSectionsClickable(false);
    ringHeader->setSortIndicatorShown(false);
    gtvRing->setHorizontalHeader(ringHeader);
    ringHeader->setSectionResizeMode(QHeaderView::Stretch);
    QStringList ringCols;
    QList<TGridBand> ringBands;
    for (int k = 1; k <= 8; ++k) {
        ringCols << QStringLiteral("P1") << QStringLiteral("P2");
        ringBands << TGridBand{QStringLiteral("LSU%1").arg(k), {(k - 1) * 2, (k - 1) * 2 + 1}};
    }
    gtvRing->setHorizontalHeaderLabels(ringCols);
    ringHeader->SetBands(ringBands);
    gtvRing->setFixedHeight(ringHeader->sizeHint().height() + 26);
    gtvRing->hide();
    pl->addWidget(gtvRing);
    ll->addWidget(gpPhaseInfo, 1);
    middle->addWidget(left);

    // Basic status labels and the detail labels.
    auto makeLabels = [this](QGroupBox *box, const QStringList &names) {
        auto *gl = new QGridLayout(box);
        gl->setSpacing(1);
        int row = 0;
        for (const QString &n : names) {
            auto *cap = new QLabel(box);
            cap->setObjectName(QStringLiteral("cap_") + n);
            cap->setStyleSheet(QStringLiteral("background:#E9E9F3; border:1px solid #7F9DB9"));
            FCaptionLabels.insert(n, cap);
            gl->addWidget(cap, row, 0);
            if (n == QLatin1String("pgbFwModuleDgIdx")) {
                pgbFwModuleDgIdx = new QProgressBar(box);
                pgbFwModuleDgIdx->setObjectName(n);
                pgbFwModuleDgIdx->setRange(0, 0);
                pgbFwModuleDgIdx->setValue(0);
                pgbFwModuleDgIdx->setTextVisible(true);
                gl->addWidget(pgbFwModuleDgIdx, row, 1);
            } else {
                auto *val = new QLabel(box);
                val->setObjectName(n);
                val->setAutoFillBackground(true);
                val->setStyleSheet(QStringLiteral("background:#FFFFFF; border:1px solid #7F9DB9"));
                FValueLabels.insert(n, val);
                gl->addWidget(val, row, 1);
            }
            ++row;
        }
        gl->setRowStretch(row, 1);
    };
    const QStringList all = TLcMonitorModel::LabelNames();
    auto *simple = new QGroupBox(this);
    simple->setObjectName(QStringLiteral("grpLCSimpleInfo"));
    simple->setFixedWidth(219);
    makeLabels(simple, all.mid(0, 20));
    middle->addWidget(simple);

    // Detail panel: the hot-spot bar folds and unfolds it.
    pnlDetailInfo = new QWidget(this);
    pnlDetailInfo->setObjectName(QStringLiteral("pnlDetailInfo"));
    auto *dpl = new QHBoxLayout(pnlDetailInfo);
    dpl->setContentsMargins(0, 0, 0, 0);
    dpl->setSpacing(1);
    pnlDetailInfoHotSpot = new QToolButton(pnlDetailInfo);
    pnlDetailInfoHotSpot->setObjectName(QStringLiteral("pnlDetailInfoHotSpot"));
    pnlDetailInfoHotSpot->setFixedWidth(kLcMonitorHotSpotWidth);
    pnlDetailInfoHotSpot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    pnlDetailInfoHotSpot->setArrowType(Qt::RightArrow);
    connect(pnlDetailInfoHotSpot, &QToolButton::clicked, this, &TfrmTCDV_M::ToggleDetailPanel);
    dpl->addWidget(pnlDetailInfoHotSpot);
    pnlDetailContent = new QWidget(pnlDetailInfo);
    pnlDetailContent->setObjectName(QStringLiteral("pnlDetailContent"));
    pnlDetailContent->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    dpl->addWidget(pnlDetailContent, 1);
    QWidget *detail = pnlDetailContent;
    auto *dl = new QGridLayout(detail);
    dl->setContentsMargins(0, 0, 0, 0);
    auto *info1 = new QGroupBox(detail);
    info1->setObjectName(QStringLiteral("grpLCInfo1"));
    makeLabels(info1, all.mid(20, 15));
    auto *spill = new QGroupBox(detail);
    spill->setObjectName(QStringLiteral("grpSpillback"));
    makeLabels(spill, all.mid(35, 4));
    auto *expand = new QGroupBox(detail);
    expand->setObjectName(QStringLiteral("grpExpandInfo"));
    grpExpandInfo = expand;
    makeLabels(expand, all.mid(39));
    dl->addWidget(info1, 0, 0, 2, 1);
    dl->addWidget(spill, 0, 1);
    dl->addWidget(expand, 1, 1);

    gpDetector = new QGroupBox(detail);
    gpDetector->setObjectName(QStringLiteral("gpDetector"));
    auto *del = new QVBoxLayout(gpDetector);
    gtvDetector = NewGrid(gpDetector, QStringLiteral("gtvDetector"), 4, 8, false);
    del->addWidget(gtvDetector);
    dl->addWidget(gpDetector, 2, 0, 1, 2);

    pnlExpandInfo = new QWidget(detail);
    pnlExpandInfo->setObjectName(QStringLiteral("pnlExpandInfo"));
    auto *el = new QGridLayout(pnlExpandInfo);
    el->setContentsMargins(0, 0, 0, 0);
    auto *ppcBox = new QGroupBox(pnlExpandInfo);
    ppcBox->setObjectName(QStringLiteral("grpPPCStatus"));
    auto *ppl = new QVBoxLayout(ppcBox);
    gtvPPCStatus = NewGrid(ppcBox, QStringLiteral("gtvPPCStatus"), 1, 9, true);
    gtvPPCStatus->setFixedHeight(44);
    ppl->addWidget(gtvPPCStatus);
    auto *upsBox = new QGroupBox(pnlExpandInfo);
    upsBox->setObjectName(QStringLiteral("grpUPSStatus"));
    auto *upl = new QVBoxLayout(upsBox);
    gtvUPSStatus = NewGrid(upsBox, QStringLiteral("gtvUPSStatus"), 1, 6, true);
    gtvUPSStatus->setFixedHeight(60);
    // Until a record says otherwise: not installed.
    for (int c = 0; c < 5; ++c)
        gtvUPSStatus->setColumnHidden(c, true);
    gtvUPSStatus->horizontalHeader()->setVisible(false);
    gtvUPSStatus->setRowHeight(0, 37);
    upl->addWidget(gtvUPSStatus);
    auto *extBox = new QGroupBox(pnlExpandInfo);
    extBox->setObjectName(QStringLiteral("grpExpandGridInfo"));
    auto *exl = new QVBoxLayout(extBox);
    gtvExpand = NewGrid(extBox, QStringLiteral("gtvExpand"), 5, 9, true);
    exl->addWidget(gtvExpand);
    el->addWidget(ppcBox, 0, 0);
    el->addWidget(upsBox, 0, 1);
    el->addWidget(extBox, 1, 0, 1, 2);
    dl->addWidget(pnlExpandInfo, 3, 0, 1, 2);

    auto *sbBox = new QGroupBox(detail);
    sbBox->setObjectName(QStringLiteral("gbxSpillback"));
    gbxSpillback = sbBox;
    auto *sbl = new QVBoxLayout(sbBox);
    gtvSpillback = NewGrid(sbBox, QStringLiteral("gtvSpillback"), 0, 5, true);
    sbl->addWidget(gtvSpillback);
    dl->addWidget(sbBox, 4, 0, 1, 2, Qt::AlignLeft);
    dl->setRowStretch(5, 1);
    middle->addWidget(pnlDetailInfo);
    middle->addStretch(1);

    // Memo.
    auto *memo = new QWidget(this);
    memo->setObjectName(QStringLiteral("pnlMemo"));
    memo->setFixedHeight(66);
    memo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto *mel = new QHBoxLayout(memo);
    mel->setContentsMargins(0, 0, 0, 0);
    auto *lblMemo = new QLabel(memo);
    lblMemo->setObjectName(QStringLiteral("lblMemo"));
    edtMemo = new QPlainTextEdit(memo);
    edtMemo->setObjectName(QStringLiteral("edtMemo"));
    new TMemoUrlHighlighter(edtMemo->document());
    edtMemo->viewport()->installEventFilter(this);
    connect(edtMemo, &QPlainTextEdit::textChanged, this, [this] {
        if (FLoadingMemo)
            return;
        FMemoChanged = true;
        actSaveMemo->setEnabled(true);
    });
    actSaveMemo = new QAction(this);
    actSaveMemo->setObjectName(QStringLiteral("actSaveMemo"));
    actSaveMemo->setEnabled(false);
    connect(actSaveMemo, &QAction::triggered, this, [this] { SaveMemo(); });
    auto *save = new QToolButton(memo);
    save->setObjectName(QStringLiteral("btnSaveMemo"));
    save->setDefaultAction(actSaveMemo);
    mel->addWidget(lblMemo);
    mel->addWidget(edtMemo, 1);
    mel->addWidget(save);
    root->addWidget(memo);

    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    FLang->Retranslate();
}

void TfrmTCDV_M::Retranslate()
{
    for (auto it = FCaptionLabels.begin(); it != FCaptionLabels.end(); ++it)
        it.value()->setText(Tx(QStringLiteral("cap_") + it.key()));
    actShowEventHistory->setText(Tx(QStringLiteral("actShowEventHistory.Caption")));
    btnShowEventHistory->setToolTip(Tx(QStringLiteral("btnShowEventHistory.Hint")));
    actSaveMemo->setText(Tx(QStringLiteral("actSaveMemo.Caption")));
    actRefresh->setText(Tx(QStringLiteral("actRefresh.Caption")));
    actShowDevTools->setText(Tx(QStringLiteral("actShowDevTools.Caption")));
    QStringList ph = {Tx(QStringLiteral("IDS_COL1")), Tx(QStringLiteral("IDS_COL2"))};
    for (int k = 1; k <= 8; ++k)
        ph << QString::number(k);
    gtvPhaseInfo->setHorizontalHeaderLabels(ph);
    QStringList ex = {Tx(QStringLiteral("colDirection"))};
    for (const char *k : {"colN", "colE", "colS", "colW", "colNE", "colSE", "colSW", "colNW"})
        ex << Tx(QString::fromLatin1(k));
    gtvExpand->setHorizontalHeaderLabels(ex);
    for (int r = 0; r < 5; ++r)
        SetCell(gtvExpand, r, 0, Tx(QStringLiteral("IDS_%1").arg(41 + r)), kHeader);
    const QString ringA = Tx(QStringLiteral("bandRingA")), ringB = Tx(QStringLiteral("bandRingB"));
    gtvPPCStatus->setHorizontalHeaderLabels({Tx(QStringLiteral("bandPPC")), Tx(QStringLiteral("bandState")),
                                             Tx(QStringLiteral("bandState")), ringA, ringA, ringA, ringB, ringB,
                                             ringB});
    gtvUPSStatus->setHorizontalHeaderLabels({Tx(QStringLiteral("colUpsState")), Tx(QStringLiteral("colUpsPower")),
                                             QStringLiteral("BAT3"), QStringLiteral("BAT2"), QStringLiteral("BAT1"),
                                             QString()});
    SetCell(gtvUPSStatus, 0, 5, Tx(QStringLiteral("IDS_40")));
    gtvSpillback->setHorizontalHeaderLabels({Tx(QStringLiteral("colSbDir")), Tx(QStringLiteral("colSbStart")),
                                             Tx(QStringLiteral("colSbEnd")), Tx(QStringLiteral("colSbLc")),
                                             Tx(QStringLiteral("colSbName"))});
    InitPhaseInfoGrid();
    ShowModel();
}

void TfrmTCDV_M::ShowIdentity()
{
    edtTCDV->setText(QString::number(FTCDV_ID));
    edtTCDV->setCursorPosition(edtTCDV->text().size());
    const int sa = FLC_INFO ? FLC_INFO->sa_id : 0;
    lblSA_ID->setText(QString::asprintf("%d", sa));
    lblSA_NAME->setText(QStringLiteral(" %1").arg(GetSaName(sa)));
}

void TfrmTCDV_M::ApplyLayoutByType()
{
    const int t = FLC_INFO ? FLC_INFO->lc_type : 0;
    // 2004: the detector grid, the spill-back list in the place of the 2010 panels.
    // 2010: the 2010 panels where the detector grid stands, the list below them.
    if (t == 1) {
        gpDetector->show();
        pnlExpandInfo->hide();
        gbxSpillback->setFixedWidth(404);
    } else if (t == 2) {
        gpDetector->hide();
        pnlExpandInfo->show();
        gbxSpillback->setFixedWidth(612);
    }
    grpExpandInfo->setVisible(t == 2);
}

void TfrmTCDV_M::ToggleDetailPanel()
{
    FDetailFolded = !FDetailFolded;
    ApplyDetailGeometry();
}

void TfrmTCDV_M::ApplyDetailGeometry()
{
    const int t = FLC_INFO ? FLC_INFO->lc_type : 0;
    const TLcDetailGeometry g = LcMonitorDetailGeometry(FDetailFolded, t, FMainPanelWidth, FRestoredPanelWidth);
    if (!FDetailFolded)
        FRestoredPanelWidth = g.PanelWidth;
    pnlDetailContent->setVisible(!FDetailFolded);
    pnlDetailInfoHotSpot->setArrowType(FDetailFolded ? Qt::RightArrow : Qt::LeftArrow);
    if (g.ExpandInfoVisible)
        grpExpandInfo->setVisible(*g.ExpandInfoVisible);
    pnlDetailInfo->setFixedWidth(g.PanelWidth);
    if (layout())
        layout()->activate();
    resize(g.WindowWidth, height());
}

bool TfrmTCDV_M::MemoClicked(const QPoint &pos)
{
    const QTextCursor c = edtMemo->cursorForPosition(pos);
    const QString text = c.block().text();
    const int at = c.positionInBlock();
    QString url = LcMemoUrlAt(text, at);
    if (url.isEmpty() && at > 0)
        url = LcMemoUrlAt(text, at - 1);
    if (url.isEmpty())
        return false;
    if (FHost.OpenUrl)
        FHost.OpenUrl(QUrl(url));
    else
        QDesktopServices::openUrl(QUrl(url));
    return true;
}

void TfrmTCDV_M::InitPhaseInfoGrid()
{
    if (!gtvPhaseInfo)
        return;
    static const char *labels[5] = {"IDS_141", "IDS_142", "IDS_139", "IDS_138", "IDS_143"};
    for (int r = 0; r < 10; ++r) {
        SetCell(gtvPhaseInfo, r, 0, Tx(QString::fromLatin1(labels[r / 2])), kHeader);
        SetCell(gtvPhaseInfo, r, 1, r % 2 == 0 ? QStringLiteral("A") : QStringLiteral("B"), kHeader);
        for (int c = 2; c < 10; ++c)
            SetCell(gtvPhaseInfo, r, c, QString());
    }
}

void TfrmTCDV_M::InitDetectorGrid()
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 8; ++c)
            SetCell(gtvDetector, r, c, QString::number(r * 8 + c + 1), Qt::white);
}

void TfrmTCDV_M::LoadPage()
{
    if (!FPage)
        return;
    const QString url = DM ? DM->G_MONITOR_URL : QString();
    FPage->SetIsLoading(true);
    FPage->Load(url);
}

void TfrmTCDV_M::MapViewInit()
{
    if (!FPage || !FPage->BrowserExists())
        return;
    const QString script = FLC_INFO ? LcMonitorInitScript(FHost.PageConfig, FModel.Legend, *FLC_INFO) : QString();
    if (script.isEmpty()) {
        // Nothing to show: the window can still be closed.
        FPage->SetIsLoading(false);
        return;
    }
    FPage->ExecuteJavaScript(script);
}

bool TfrmTCDV_M::PageMessage(const QString &name, const QVariantList &args)
{
    if (name == QLatin1String("getLimitedNodeLink")) {
        if (FHost.StartLayerThreads)
            FHost.StartLayerThreads(args.value(0).toString(), this);
        return true;
    }
    if (name == QLatin1String("loadEndEx")) {
        if (args.value(0).toString() == QLatin1String("link"))
            FLoadEnd[0] = true;
        else
            FLoadEnd[1] = true;
        // Loading ends once both layers have arrived (never starts again here).
        if (FPage && FLoadEnd[0] && FLoadEnd[1])
            FPage->SetIsLoading(false);
        return true;
    }
    if (name == QLatin1String("loadEnd")) {
        if (FPage)
            FPage->SetIsLoading(false);
        return true;
    }
    return false;
}

void TfrmTCDV_M::PageLoadFailed()
{
    if (FPage)
        FPage->SetIsLoading(false);
}

void TfrmTCDV_M::RefreshFromImage(const TMonitorRefresh &refresh)
{
    DisplyTCDVSecInfo(refresh);
    if (refresh.RefreshMovements)
        ClearMvmt();
}

void TfrmTCDV_M::DisplyTCDVSecInfo(const TMonitorRefresh &refresh)
{
    if (FTCDV_ID < 1 || FTCDV_ID > 1024 || !refresh.Image)
        return;
    const TLC_INFO_SET *set = refresh.LcInfoSet ? refresh.LcInfoSet : FHost.LcInfoSet;
    if (set) {
        if (PSTT_LC_INFO now = set->GetLcInfo(FTCDV_ID))
            FLC_INFO = now;
    }
    if (!FLC_INFO)
        return;
    const int idx = (FV_TCDV_ID != 0 ? FV_TCDV_ID : FTCDV_ID) - 1;
    if (idx < 0 || idx >= RC_LC_COUNT)
        return;
    TLcMonitorModel::TCycle c;
    c.Info = FLC_INFO.get();
    c.State = &refresh.Image->lc_state[idx];
    c.PacketTime = refresh.PacketDateTime;
    bool inUse = FLC_INFO->is_use;
    if (FLC_INFO->virtualLC_No > 0 && set)
        if (PSTT_LC_INFO main = set->GetLcInfo(FLC_INFO->virtualLC_No))
            inUse = inUse || main->is_use;
    c.InUse = inUse;
    FModel.Refresh(c);
    ShowModel();
    LoadSpillbackList();
}

void TfrmTCDV_M::ShowModel()
{
    if (!gtvPhaseInfo)
        return;
    // Texts and colours are written only when they change (a style sheet costs a
    // re-polish of the label).
    for (auto it = FValueLabels.begin(); it != FValueLabels.end(); ++it) {
        const TLcMonitorLabel l = FModel.Labels.value(it.key());
        QLabel *label = it.value();
        if (label->text() != l.Text)
            label->setText(l.Text);
        const QString style = QStringLiteral("background:%1; border:1px solid #7F9DB9").arg(l.Color.name());
        if (label->styleSheet() != style)
            label->setStyleSheet(style);
    }
    pgbFwModuleDgIdx->setRange(0, qMax(0, FModel.FwTotal));
    pgbFwModuleDgIdx->setValue(FModel.FwTotal > 0 ? qMin(FModel.FwDone, FModel.FwTotal) : 0);

    gtvPhaseInfo->setUpdatesEnabled(false);
    for (int r = 0; r < 10; ++r)
        for (int j = 0; j < 8; ++j) {
            const int ring = r % 2;
            const bool current = FModel.CurrentPhase[ring] == j + 1;
            SetCell(gtvPhaseInfo, r, j + 2, (r == 2 || r == 3) ? QString() : FModel.PhaseCells[r][j],
                    current ? (ring == 0 ? kRingA : kRingB) : QColor());
        }
    gtvPhaseInfo->setUpdatesEnabled(true);

    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 8; ++c)
            SetCell(gtvDetector, r, c, QString::number(r * 8 + c + 1),
                    FModel.ColourDetectors && FModel.Occupied[r * 8 + c] ? kDetector : QColor(Qt::white));

    if (FLC_INFO && FLC_INFO->lc_type == 2) {
        SetCell(gtvPPCStatus, 0, 0, FModel.PpcControl);
        SetCell(gtvPPCStatus, 0, 1, FModel.PpcState);
        SetCell(gtvPPCStatus, 0, 2, FModel.PpcKind);
        static const char *ringTexts[6] = {"Hold", "Off", "jmp", "Hold", "Off", "Jmp"};
        for (int k = 0; k < 6; ++k) {
            SetCell(gtvPPCStatus, 0, 3 + k, QString::fromLatin1(ringTexts[k]));
            gtvPPCStatus->item(0, 3 + k)->setForeground(FModel.PpcRingOn[k] ? QBrush() : QBrush(kDisabledText));
        }
        if (gtvRing->isVisibleTo(this) != FModel.RingGridVisible)
            gtvRing->setVisible(FModel.RingGridVisible);
        for (int k = 0; k < 16; ++k) {
            const int v = FModel.RingCells[k].toInt(nullptr, 16);
            SetCell(gtvRing, 0, k, FModel.RingCells[k], v == 1 ? kGreen : (v == 2 || v == 3) ? kAmber : QColor());
        }
        if (gbMapView->height() != FModel.MapGroupHeight || gbMapView->minimumHeight() != FModel.MapGroupHeight)
            gbMapView->setFixedHeight(FModel.MapGroupHeight);
        for (int c = 0; c < 5; ++c) {
            if (gtvUPSStatus->isColumnHidden(c) == FModel.UpsInstalled)
                gtvUPSStatus->setColumnHidden(c, !FModel.UpsInstalled);
            SetCell(gtvUPSStatus, 0, c, FModel.UpsCells[c],
                    c >= 2 && FModel.UpsCells[c] == Tx(QStringLiteral("IDS_30")) ? kAmber : QColor());
        }
        if (gtvUPSStatus->isColumnHidden(5) != FModel.UpsInstalled) {
            gtvUPSStatus->setColumnHidden(5, FModel.UpsInstalled);
            gtvUPSStatus->horizontalHeader()->setVisible(FModel.UpsInstalled);
            gtvUPSStatus->setRowHeight(0, FModel.UpsInstalled ? 18 : 37);
        }
        for (int r = 0; r < 5; ++r)
            for (int k = 0; k < 8; ++k) {
                QColor bg;
                if (r == 3 || (r == 4 && k == 7))
                    bg = kReadOnly;
                else if (r == 0 && FModel.ExtCells[r][k] == Tx(QStringLiteral("IDS_2")))
                    bg = kGreen;
                else if (r == 4 && FModel.ExtCells[r][k] == Tx(QStringLiteral("IDS_1")))
                    bg = kAmber;
                SetCell(gtvExpand, r, k + 1, FModel.ExtCells[r][k], bg);
            }
    }
    gtvPhaseInfo->viewport()->update();
}

void TfrmTCDV_M::ReportDbErrorOnce(const QString &what, const QSqlError &error)
{
    if (FReported.contains(what))
        return;
    FReported.insert(what);
    // Shown after the refresh has finished, never from inside it.
    const QString detail = error.text();
    QMetaObject::invokeMethod(
        this,
        [this, detail] {
            ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), Tx(QStringLiteral("IDS_DBERROR_ONCE")),
                       DM ? DM->T_DialogCaption : QString(), detail, mkError);
        },
        Qt::QueuedConnection);
}

void TfrmTCDV_M::LoadSpillbackList()
{
    if (!DM)
        return;
    QList<TSpillbackRow> rows;
    QSqlError error;
    if (!::LoadSpillbackList(DM->Con(), DM->DBInfo().DBType, FTCDV_ID, &rows, &error)) {
        rows.clear();
        ReportDbErrorOnce(QStringLiteral("SCS_M_INTSPILLBACK"), error);
    }
    // The direction index reads as the data module's direction list shows it.
    const TRepositoryItem *dir = GridResources::Item(QStringLiteral("erTFDTSimpleDir"));
    gtvSpillback->setUpdatesEnabled(false);
    gtvSpillback->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const TSpillbackRow &s = rows[r];
        const QString dirText = dir ? GridResources::DisplayText(*dir, s.Index) : QString();
        SetCell(gtvSpillback, r, 0, dirText.isEmpty() ? QString::number(s.Index) : dirText);
        SetCell(gtvSpillback, r, 1, s.Start);
        SetCell(gtvSpillback, r, 2, s.End);
        SetCell(gtvSpillback, r, 3, QString::number(s.LcNo));
        SetCell(gtvSpillback, r, 4, s.Name);
    }
    gtvSpillback->setUpdatesEnabled(true);
}

void TfrmTCDV_M::LoadComments()
{
    if (!DM)
        return;
    QSqlError error;
    const std::optional<QString> text = ::LoadComments(DM->Con(), FTCDV_ID, &error);
    if (!text) {
        // As the data module's query opener reports it (the filter decides).
        if (error.isValid())
            DM->ShowDbError(this, error, DM->Text(QStringLiteral("IDS_5")), DM->Text(QStringLiteral("IDS_4")));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FLoadingMemo = true;
    edtMemo->setPlainText(*text);
    FLoadingMemo = false;
    FMemoChanged = false;
    actSaveMemo->setEnabled(false);
    QApplication::restoreOverrideCursor();
}

bool TfrmTCDV_M::SaveMemo()
{
    if (!DM)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QSqlError error;
    const bool ok = ::SaveComments(DM->Con(), FTCDV_ID, edtMemo->toPlainText(), &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveFailMsg, DM->T_DialogCaption, error.text(), mkInformation);
        return false;
    }
    FMemoChanged = false;
    actSaveMemo->setEnabled(false);
    return true;
}

void TfrmTCDV_M::ShowEventHistory()
{
    const QString cls = QStringLiteral("TfrmEventHistory");
    const TWindowClassHooks *hooks = TMainOpeners::Hooks(cls);
    if (!hooks || !hooks->Create)
        return;
    if (!FEventHistory) {
        TOpenContext ctx;
        ctx.Owner = this;
        ctx.Caption = actShowEventHistory->text();
        ctx.TCDV_ID = FTCDV_ID;
        QWidget *w = hooks->Create(ctx);
        if (!w)
            return;
        w->setWindowTitle(ctx.Caption);
        FEventHistory = w;
    } else {
        FEventHistory->setWindowState(FEventHistory->windowState() & ~Qt::WindowMinimized);
    }
    TMainOpeners::Apply(*hooks, FEventHistory, QStringLiteral("TCDV_ID"), FTCDV_ID);
    FEventHistory->show();
    FEventHistory->raise();
    FEventHistory->activateWindow();
    if (auto *search = FEventHistory->findChild<QAbstractButton *>(QStringLiteral("btnSearch")))
        search->click();
}

void TfrmTCDV_M::SetTCDV_ID(int n)
{
    auto restoreEdit = [this] {
        edtTCDV->setText(QString::number(FTCDV_ID));
        edtTCDV->setCursorPosition(edtTCDV->text().size());
    };
    if (n == FTCDV_ID)
        return;
    const TLC_INFO_SET *set = FHost.LcInfoSet;
    const PSTT_LC_INFO info = set ? set->GetLcInfo(n) : PSTT_LC_INFO();
    if (!info) {
        restoreEdit();
        return;
    }
    if (FHost.FindMonitor) {
        if (QWidget *other = FHost.FindMonitor(n); other && other != this) {
            restoreEdit();
            other->show();
            other->raise();
            other->activateWindow();
            return;
        }
    }
    const int old = FTCDV_ID;
    FLC_INFO = info;
    if (FHost.Reregister)
        FHost.Reregister(old, n, this);
    FTCDV_ID = n;
    FV_TCDV_ID = info->virtualLC_No;
    FModel.Reset(info->Movements);
    FLCType = GetLcTypeEx(n);
    ShowIdentity();
    FLoadEnd[0] = FLoadEnd[1] = false;
    LoadPage();
    ApplyLayoutByType();
    if (!FDetailFolded)
        ApplyDetailGeometry();
    InitPhaseInfoGrid();
    LoadSpillbackList();
    LoadComments();
    ShowModel();
}

void TfrmTCDV_M::OpenPicker()
{
    TfrmTCDV_S picker(this);
    if (DM)
        picker.setWindowTitle(DM->T_TcdvSTitle);
    if (picker.chxOnlySgnl) {
        picker.chxOnlySgnl->setChecked(true);
        picker.chxOnlySgnl->hide();
    }
    picker.FTCDV_ID = FTCDV_ID;
    if (picker.exec() == QDialog::Accepted)
        SetTCDV_ID(picker.qryTCDVINT_LCNO().toInt());
}

bool TfrmTCDV_M::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edtTCDV && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && (k->modifiers() & Qt::ControlModifier)) {
            OpenPicker();
            return true;
        }
        if (IdEditKeyDown(edtTCDV, k, lblTCDV_NAME, IdEditKindLc))
            return true;
        if (IdEditKeyPress(edtTCDV, k, {}, [this](int n) { SetTCDV_ID(n); }, true))
            return true;
    }
    if (edtMemo && watched == edtMemo->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto *m = static_cast<QMouseEvent *>(event);
        // A plain left click on an address opens it (a drag selects as usual).
        if (m->button() == Qt::LeftButton && !edtMemo->textCursor().hasSelection())
            MemoClicked(m->position().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmTCDV_M::closeEvent(QCloseEvent *event)
{
    if (FPage && FPage->IsLoading()) {
        event->ignore();
        return;
    }
    FModel.Page = nullptr;
    event->accept();
}
