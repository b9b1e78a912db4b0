#include "control/untSYS_M.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include "centrelink/RC2MMIUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "foundation/QuorvalBase.h"

namespace {
const QString kTable = QStringLiteral("TfrmSYS_M");

// Legend rows: swatch name, state tag (255 not in use) and caption key.
struct TLegendItem
{
    const char *Name;
    int Tag;
};
const TLegendItem kLegend[] = {
    {"shpLCStatCommErr", 0},     {"shpLCStatOnLine", 1},      {"shpLCStatOffLine", 2},
    {"shpLCStatFail", 3},        {"shpLCStatTrans", 4},       {"shpLCStatFlash", 5},
    {"shpLCStatLightOff", 6},    {"shpLCStatManOpr", 7},      {"shpLCStatManFlash", 8},
    {"shpLCStatManLightOff", 9}, {"shpLCStatPhaseHold", 10},  {"shpLCStatSCUMode", 11},
    {"shpLCStatPPCMode", 12},    {"shpLCStatUnused", 255},
};

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}
} // namespace

// ---------------------------------------------------------------------------
// Legend swatch
// ---------------------------------------------------------------------------

TLegendSwatch::TLegendSwatch(const QString &name, const QColor &colour, QWidget *parent)
    : QWidget(parent), FColour(colour)
{
    setObjectName(name);
    setFixedSize(18, 18);
}

void TLegendSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    const bool white = FColour.rgb() == QColor(Qt::white).rgb();
    p.setPen(QPen(white ? TColorToQColor(14540253) : FColour, 1));
    p.setBrush(withAlpha(FColour, 160));
    if (objectName() == QLatin1String("shpCI"))
        p.drawRect(r);
    else
        p.drawEllipse(r);
}

// ---------------------------------------------------------------------------
// Tile painting
// ---------------------------------------------------------------------------

void TSysTileDelegate::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const SysMonitor::TTileLook look = FForm->CellLook(index.row(), index.column());
    if (!look.Draw) {
        QStyledItemDelegate::paint(p, option, index);
        return;
    }
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QRect cell = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    // Top band: the cell's top 29 pixels in the background colour, the tile 2 inside.
    QRect top(cell.left(), cell.top(), cell.width(), qMin(29, cell.height()));
    p->fillRect(top, selected ? option.palette.highlight() : option.palette.base());
    const QRectF tile = QRectF(top).adjusted(2, 2, -2, -2);
    p->setPen(QPen(look.Colour, 1));
    p->setBrush(withAlpha(look.Colour, 160));
    if (look.Ci)
        p->drawRoundedRect(tile, 5, 5);
    else
        p->drawEllipse(tile);
    // Bottom band: the conflict-detection state, with the number in it.
    const QRect bottom(cell.left(), cell.bottom() - 15, cell.width(), 16);
    if (look.ConflictOn) {
        p->setPen(QPen(SysMonitor::ConflictOnColour(), 1));
        p->setBrush(withAlpha(SysMonitor::ConflictOnColour(), 160));
    } else {
        p->setPen(QPen(SysMonitor::ConflictOffPen(), 1));
        p->setBrush(withAlpha(QColor(Qt::white), 160));
    }
    p->drawRect(bottom);
    QFont f = option.font;
    f.setPointSize(7);
    p->setFont(f);
    p->setPen(selected ? QColor(Qt::black) : option.palette.text().color());
    p->drawText(bottom, Qt::AlignCenter, QString::number(look.Number));
    p->restore();
}

bool TSysTileDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid()) {
        const QString hint = FForm->CellHint(index.row(), index.column());
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPos() + QPoint(0, 30), hint, view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

// ---------------------------------------------------------------------------
// Window
// ---------------------------------------------------------------------------

TfrmSYS_M::TfrmSYS_M(QWidget *owner, IMainWindow *main, const TLC_INFO_SET *set, const TLcStatusColors &colours)
    : QWidget(owner), FMain(main), FLcInfoSet(set), FColours(colours)
{
    setObjectName(QStringLiteral("frmSYS_M"));
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    resize(32 * 40 + 40, 720);

    gtvSysM = new QTableWidget(SysMonitor::kMinRows, SysMonitor::kColumns, this);
    gtvSysM->setObjectName(QStringLiteral("gtvSysM"));
    gtvSysM->horizontalHeader()->hide();
    gtvSysM->verticalHeader()->hide();
    gtvSysM->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gtvSysM->setSelectionMode(QAbstractItemView::SingleSelection);
    gtvSysM->verticalHeader()->setDefaultSectionSize(SysMonitor::kRowHeight);
    gtvSysM->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gtvSysM->setItemDelegate(new TSysTileDelegate(this));
    gtvSysM->setMouseTracking(true);

    auto *bottom = new QWidget(this);
    auto *bl = new QVBoxLayout(bottom);
    auto *info = new QHBoxLayout;
    lblINTS_NAME = new QLabel(bottom);
    lblINTS_NAME->setObjectName(QStringLiteral("lblINTS_NAME"));
    lblTCDV_Status = new QLabel(bottom);
    lblTCDV_Status->setObjectName(QStringLiteral("lblTCDV_Status"));
    btnMapMove = new QPushButton(bottom);
    btnMapMove->setObjectName(QStringLiteral("btnMapMove"));
    info->addWidget(lblINTS_NAME, 1);
    info->addWidget(lblTCDV_Status, 1);
    info->addWidget(btnMapMove);
    bl->addLayout(info);

    auto *legend = new QGridLayout;
    int col = 0;
    for (const TLegendItem &it : kLegend) {
        auto *sw = new TLegendSwatch(QString::fromLatin1(it.Name), FColours.ByTag(it.Tag), bottom);
        auto *lbl = new QLabel(bottom);
        lbl->setObjectName(QString::fromLatin1(it.Name) + QStringLiteral("Label"));
        FLegendLabels << lbl;
        legend->addWidget(sw, col / 8, (col % 8) * 2);
        legend->addWidget(lbl, col / 8, (col % 8) * 2 + 1);
        ++col;
    }
    // Conflict detection and class.
    auto *on = new TLegendSwatch(QStringLiteral("shpConflOn"), SysMonitor::ConflictOnColour(), bottom);
    auto *lblOn = new QLabel(bottom);
    lblOn->setObjectName(QStringLiteral("lblConfl_Enable"));
    auto *off = new TLegendSwatch(QStringLiteral("shpConflOff"), QColor(Qt::white), bottom);
    auto *lblOff = new QLabel(bottom);
    lblOff->setObjectName(QStringLiteral("lblConfl_Disable"));
    auto *ci = new TLegendSwatch(QStringLiteral("shpCI"), QColor(Qt::white), bottom);
    auto *etc = new TLegendSwatch(QStringLiteral("shpEtc"), QColor(Qt::white), bottom);
    auto *lblCi = new QLabel(bottom);
    lblCi->setObjectName(QStringLiteral("lblCIEtc"));
    auto *lblConf = new QLabel(bottom);
    lblConf->setObjectName(QStringLiteral("lblConf"));
    auto *extra = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{lblConf, on, lblOn, off, lblOff, lblCi, ci, etc})
        extra->addWidget(w);
    extra->addStretch();
    bl->addLayout(legend);
    bl->addLayout(extra);

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(gtvSysM, 1);
    lay->addWidget(bottom);

    connect(gtvSysM, &QTableWidget::currentCellChanged, this, [this] { ShowLcInfo(); });
    connect(gtvSysM, &QTableWidget::cellDoubleClicked, this, [this] { btnMapMoveClick(); });
    connect(btnMapMove, &QPushButton::clicked, this, &TfrmSYS_M::btnMapMoveClick);

    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    FLang->Retranslate();
    if (FMain)
        FMain->RegisterMonitorView(mvkSystemMonitor, this, this);
}

void TfrmSYS_M::Retranslate()
{
    int i = 0;
    for (const TLegendItem &it : kLegend)
        FLegendLabels.at(i++)->setText(FLang->Text(QString::fromLatin1(it.Name) + QStringLiteral(".Caption")));
}

void TfrmSYS_M::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!FLoaded) {
        FLoaded = true;
        LoadLcGrid();
    }
}

void TfrmSYS_M::LoadLcGrid()
{
    QList<int> numbers;
    if (DM) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QSqlQuery q = DM->NewQuery();
        q.prepare(QStringLiteral("SELECT INT_LCNO, INT_NAME FROM SCS_M_INTLC ORDER BY INT_LCNO"));
        if (DM->QueryOpen(q, this)) {
            do
                numbers << q.value(0).toInt();
            while (q.next());
        }
        QApplication::restoreOverrideCursor();
    }
    FillGrid(numbers);
}

void TfrmSYS_M::FillGrid(const QList<int> &numbers)
{
    gtvSysM->clearContents();
    gtvSysM->setRowCount(SysMonitor::GridRowCount(int(numbers.size())));
    for (int k = 1; k <= numbers.size(); ++k) {
        const QPoint c = SysMonitor::CellOf(k);
        auto *item = new QTableWidgetItem(QString::number(numbers.at(k - 1)));
        item->setData(Qt::UserRole, numbers.at(k - 1));
        gtvSysM->setItem(c.y(), c.x(), item);
    }
}

void TfrmSYS_M::RepaintCells()
{
    FFlashDraw = !FFlashDraw;
    gtvSysM->viewport()->update();
}

int TfrmSYS_M::CellNumber(int row, int column) const
{
    const QTableWidgetItem *item = gtvSysM->item(row, column);
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

SysMonitor::TTileLook TfrmSYS_M::CellLook(int row, int column) const
{
    if (!FLcInfoSet)
        return {};
    return SysMonitor::TileLook(*FLcInfoSet, CellNumber(row, column), FColours, FFlashDraw);
}

QString TfrmSYS_M::CellHint(int row, int column) const
{
    return FLcInfoSet ? SysMonitor::CellHint(*FLcInfoSet, CellNumber(row, column)) : QString();
}

void TfrmSYS_M::ShowLcInfo()
{
    lblINTS_NAME->clear();
    lblTCDV_Status->clear();
    if (!FLcInfoSet)
        return;
    const QStringList t = SysMonitor::InfoTexts(*FLcInfoSet, CellNumber(gtvSysM->currentRow(), gtvSysM->currentColumn()));
    lblINTS_NAME->setText(t.value(0));
    lblTCDV_Status->setText(t.value(1));
}

void TfrmSYS_M::btnMapMoveClick()
{
    const int n = CellNumber(gtvSysM->currentRow(), gtvSysM->currentColumn());
    if (n <= 0 || !FLcInfoSet)
        return;
    const PSTT_LC_INFO info = FLcInfoSet->GetLcInfo(n);
    if (!info)
        return;
    LiveView::PanToLc(info->tcdv_id, [this](int lc) { emit RequestPanToTCDV(lc); }, FMain);
}
