#include "transfer/untTCDV_C_DBUpDn.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "centrelink/untTH_TCDV_C_Log.h"
#include "core/LookupUnit.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "core/ShadowForm.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "transfer/AllExecutorPanelUnit.h"
#include "transfer/DayPlanSaveDlgForm.h"
#include "transfer/TransferGridLayouts.h"
#include "transfer/TransferReaders.h"
#include "transfer/UPDNUnit.h"

QPointer<TfrmTCDV_C_DBUpDn> frmTCDV_C_DBUpDn;

namespace {

const QString kTable = QStringLiteral("TfrmTCDV_C_DBUpDn");

// The kinds whose tabs carry the four tagged buttons, by tab.
struct TKindButtons
{
    TTransferTab Tab;
    const char *Prefix;
};

void SetCell(QTableWidget *grid, int row, int col, const QVariant &value)
{
    if (row >= grid->rowCount() || col >= grid->columnCount())
        return;
    auto *item = grid->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, col, item);
    }
    item->setData(Qt::DisplayRole, value.isNull() ? QVariant(QString()) : value);
}

void ClearGrid(QTableWidget *grid, int rows)
{
    grid->clearContents();
    grid->setRowCount(rows);
}

} // namespace

TfrmTCDV_C_DBUpDn::TfrmTCDV_C_DBUpDn(QWidget *AOwner) : QWidget(AOwner, Qt::Window), FExecutor(this)
{
    setObjectName(QStringLiteral("frmTCDV_C_DBUpDn"));
    setAttribute(Qt::WA_DeleteOnClose);
    frmTCDV_C_DBUpDn = this;
    FExecutor.AddAllRunRow = [this](const QString &caption) { AddAllExecutorContainer(caption); };
    FExecutor.MarkAllRunRow = [this](bool ok) { MarkAllExecutorResult(nullptr, ok); };
    FExecutor.AllDownloadCaption = Tx("btnAllDownload.Caption");
    BuildUi();
    SetTabVisibility();
    FTimerCurrTime.setInterval(1000);
    connect(&FTimerCurrTime, &QTimer::timeout, this, &TfrmTCDV_C_DBUpDn::UpdateCurrentTime);
    resize(1000, 700);
}

TfrmTCDV_C_DBUpDn::~TfrmTCDV_C_DBUpDn()
{
    FTimerCurrTime.stop();
    delete Shadow;
}

QString TfrmTCDV_C_DBUpDn::Tx(const char *key) const { return siText(kTable, QString::fromLatin1(key)); }

// ---------------------------------------------------------------------------
// Building
// ---------------------------------------------------------------------------

QPushButton *TfrmTCDV_C_DBUpDn::AddButton(QWidget *row, const QString &name, const QString &captionKey, int tag)
{
    auto *b = new QPushButton(siText(kTable, captionKey), row);
    b->setObjectName(name);
    if (tag)
        b->setProperty("Tag", tag);
    row->layout()->addWidget(b);
    FButtons.insert(name, b);
    FActionButtons << b;
    connect(b, &QPushButton::clicked, this, [this, b]() {
        if (b->objectName().endsWith(QLatin1String("Edit")))
            actEditExecute(b->objectName());
        else if (ActionHandler)
            ActionHandler(b, b);
    });
    return b;
}

QWidget *TfrmTCDV_C_DBUpDn::ButtonRow(QWidget *parent, const QString &prefix, bool withEdit)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    AddButton(row, QStringLiteral("btn%1Download").arg(prefix), QStringLiteral("Download.Caption"), 1);
    AddButton(row, QStringLiteral("btn%1Upload").arg(prefix), QStringLiteral("Upload.Caption"), 2);
    AddButton(row, QStringLiteral("btn%1Save").arg(prefix), QStringLiteral("Save.Caption"), 3);
    AddButton(row, QStringLiteral("btn%1Compare").arg(prefix), QStringLiteral("Compare.Caption"), 4);
    if (withEdit)
        AddButton(row, QStringLiteral("btn%1Edit").arg(prefix), QStringLiteral("Edit.Caption"), 0);
    layout->addStretch(1);
    parent->layout()->addWidget(row);
    return row;
}

QTableWidget *TfrmTCDV_C_DBUpDn::AddGrid(const QString &name, int columns, QWidget *parent)
{
    auto *grid = new QTableWidget(0, columns, parent);
    grid->setObjectName(name);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->horizontalHeader()->setDefaultSectionSize(44);
    FGrids.insert(name, grid);
    return grid;
}

QWidget *TfrmTCDV_C_DBUpDn::BuildTab(TTransferTab tab)
{
    auto *page = new QWidget;
    page->setObjectName(TransferTabName(tab));
    auto *layout = new QVBoxLayout(page);
    // A centre/controller pair of grids side by side.
    auto pair = [&](const QString &suffix, int columns, QWidget *into) {
        auto *box = new QWidget(into);
        auto *h = new QHBoxLayout(box);
        h->setContentsMargins(0, 0, 0, 0);
        for (const char side : {'H', 'L'}) {
            auto *group = new QGroupBox(Tx(side == 'H' ? "centre.Caption" : "local.Caption"), box);
            group->setObjectName(QStringLiteral("gbx%1%2").arg(QLatin1Char(side)).arg(suffix));
            auto *v = new QVBoxLayout(group);
            v->addWidget(AddGrid(QStringLiteral("gtv%1%2").arg(QLatin1Char(side)).arg(suffix), columns, group));
            h->addWidget(group);
        }
        into->layout()->addWidget(box);
    };
    switch (tab) {
    case ttStartUpCode: {
        ButtonRow(page, QStringLiteral("Startup"));
        auto *clock = new QWidget(page);
        clock->setLayout(new QHBoxLayout);
        AddButton(clock, QStringLiteral("btnClockDownload"), QStringLiteral("btnClockDownload.Caption"), 1);
        AddButton(clock, QStringLiteral("btnClockUpload"), QStringLiteral("btnClockUpload.Caption"), 2);
        for (const char *name : {"lblCurrDateTime", "lblHDateTime", "lblLDateTime"}) {
            auto *l = new QLabel(clock);
            l->setObjectName(QString::fromLatin1(name));
            clock->layout()->addWidget(l);
            FLabels.insert(l->objectName(), l);
        }
        layout->addWidget(clock);
        // The system-version group is kept hidden; its button never takes part.
        auto *version = new QGroupBox(page);
        version->setObjectName(QStringLiteral("grpSystemVersion"));
        version->setLayout(new QHBoxLayout);
        AddButton(version, QStringLiteral("btnSystemVersionUpload"), QStringLiteral("Upload.Caption"), 2);
        version->hide();
        layout->addWidget(version);
        pair(QStringLiteral("Startup"), 4, page);
        break;
    }
    case ttSignalMap:
        cbxGennType = new QComboBox(page);
        cbxGennType->setObjectName(QStringLiteral("cbxGennType"));
        layout->addWidget(cbxGennType);
        connect(cbxGennType, &QComboBox::activated, this, [this]() {
            DisplayRings(false);
            DisplayRings(true);
        });
        ButtonRow(page, QStringLiteral("SignalMap"));
        pair(QStringLiteral("RingA"), 21, page);
        pair(QStringLiteral("RingB"), 21, page);
        break;
    case ttFlashMap: {
        ButtonRow(page, QStringLiteral("FlashMap"));
        auto *box = new QWidget(page);
        auto *grid = new QHBoxLayout(box);
        for (const char side : {'H', 'L'}) {
            auto *group = new QGroupBox(Tx(side == 'H' ? "centre.Caption" : "local.Caption"), box);
            auto *g = new QGridLayout(group);
            for (int n = 1; n <= 16; ++n)
                for (const char *kind : {"VEH", "PED"}) {
                    auto *l = new QLabel(group);
                    l->setObjectName(QStringLiteral("lbl%1%2%3").arg(QLatin1Char(side)).arg(QLatin1String(kind)).arg(n));
                    l->setAutoFillBackground(true);
                    l->setAlignment(Qt::AlignCenter);
                    g->addWidget(l, (n - 1) % 8, ((n - 1) / 8) * 2 + (kind[0] == 'P' ? 1 : 0));
                    FLabels.insert(l->objectName(), l);
                }
            for (const char *kind : {"FL", "VL"}) {
                auto *l = new QLabel(group);
                l->setObjectName(QStringLiteral("lbl%1%2").arg(QLatin1Char(side)).arg(QLatin1String(kind)));
                g->addWidget(l, 8, kind[0] == 'F' ? 0 : 1);
                FLabels.insert(l->objectName(), l);
            }
            grid->addWidget(group);
        }
        layout->addWidget(box);
        break;
    }
    case ttDtrConfig: {
        ButtonRow(page, QStringLiteral("DtrConfig"));
        pair(QStringLiteral("DtrConfig"), 9, page);
        // The spillback pane stays hidden, with its own buttons.
        auto *spill = new QWidget(page);
        spill->setObjectName(QStringLiteral("pnlSpillBack"));
        spill->setLayout(new QVBoxLayout);
        ButtonRow(spill, QStringLiteral("SpillBack"));
        spill->hide();
        layout->addWidget(spill);
        break;
    }
    case ttDayPlan: {
        auto *sel = new QWidget(page);
        auto *h = new QHBoxLayout(sel);
        spnSA_TODNO = new QSpinBox(sel);
        spnSA_TODNO->setObjectName(QStringLiteral("spnSA_TODNO"));
        spnSA_TODNO->setRange(1, 10);
        spnSA_TODNO->setProperty("Tag", -1);
        h->addWidget(spnSA_TODNO);
        auto *group = new QGroupBox(Tx("grpSelDayPlan.Caption"), sel);
        group->setObjectName(QStringLiteral("grpSelDayPlan"));
        auto *gh = new QHBoxLayout(group);
        for (int n = 1; n <= 10; ++n) {
            auto *c = new QCheckBox(QStringLiteral("#%1").arg(n), group);
            gh->addWidget(c);
            grpSelDayPlan << c;
        }
        h->addWidget(group, 1);
        layout->addWidget(sel);
        connect(spnSA_TODNO, &QSpinBox::valueChanged, this, &TfrmTCDV_C_DBUpDn::spnSA_TODNOChange);
        ButtonRow(page, QStringLiteral("DayPlan"));
        pair(QStringLiteral("DayPlan"), 22, page);
        break;
    }
    case ttWeekHolyDayPlan: {
        ButtonRow(page, QStringLiteral("WeekPlan"));
        auto *week = new QWidget(page);
        auto *wg = new QGridLayout(week);
        for (int side = 0; side < 2; ++side)
            for (int d = 1; d <= 7; ++d) {
                auto *l = new QLabel(week);
                l->setObjectName(QStringLiteral("lbl%1WeekPlan%2").arg(side ? 'L' : 'H').arg(d));
                l->setAlignment(Qt::AlignCenter);
                wg->addWidget(l, side, d);
                FLabels.insert(l->objectName(), l);
            }
        layout->addWidget(week);
        ButtonRow(page, QStringLiteral("HolidayPlan"));
        auto *all = new QWidget(page);
        all->setLayout(new QHBoxLayout);
        AddButton(all, QStringLiteral("btnHolidayToAll"), QStringLiteral("btnHolidayToAll.Caption"), 1);
        layout->addWidget(all);
        pair(QStringLiteral("HolyDayPlan"), 31, page);
        break;
    }
    case ttFnTable:
        ButtonRow(page, QStringLiteral("ReservePlan"));
        pair(QStringLiteral("ReservePlan"), 10, page);
        break;
    case ttInOutPed:
        ButtonRow(page, QStringLiteral("InOutPed"));
        pair(QStringLiteral("InOutPed"), 12, page);
        pair(QStringLiteral("LSUType"), 18, page);
        break;
    case ttConflictMap:
        ButtonRow(page, QStringLiteral("ConflictMap"));
        pair(QStringLiteral("ConflictMap"), 35, page);
        break;
    case ttDumpSystem: {
        auto *device = AddGrid(QStringLiteral("gtvDevice"), 3, page);
        layout->addWidget(device);
        break;
    }
    default:
        break;
    }
    layout->addStretch(1);
    return page;
}

void TfrmTCDV_C_DBUpDn::BuildUi()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    edtTCDV = new QLineEdit(this);
    edtTCDV->setObjectName(QStringLiteral("edtTCDV"));
    edtTCDV->setFixedWidth(80);
    lblTCDV_NAME = new QLabel(this);
    lblTCDV_NAME->setObjectName(QStringLiteral("lblTCDV_NAME"));
    top->addWidget(edtTCDV);
    top->addWidget(lblTCDV_NAME, 1);
    connect(edtTCDV, &QLineEdit::textEdited, this, [this](const QString &t) { lblTCDV_NAME->setText(GetLcName(t.toInt())); });
    edtTCDV->installEventFilter(this);
    connect(edtTCDV, &QLineEdit::returnPressed, this, [this]() { SetTCDV_ID(edtTCDV->text().toInt()); });
    auto *allRow = new QWidget(this);
    allRow->setLayout(new QHBoxLayout);
    allRow->layout()->setContentsMargins(0, 0, 0, 0);
    struct
    {
        const char *name;
        int tag;
    } const alls[] = {{"btnAllDownload", 1}, {"btnAllUpload", 2}, {"btnAllSave", 3}, {"btnAllCompare", 4}};
    for (const auto &a : alls) {
        auto *b = new QPushButton(Tx((QByteArray(a.name) + ".Caption").constData()), allRow);
        b->setObjectName(QString::fromLatin1(a.name));
        b->setProperty("AllTag", a.tag);
        allRow->layout()->addWidget(b);
        FButtons.insert(b->objectName(), b);
        FActionButtons << b;
        const int tag = a.tag;
        connect(b, &QPushButton::clicked, this, [this, tag]() {
            if (tag == 2)
                actAllUploadExecute();
            else
                actAllExecutorExecute(tag);
        });
    }
    top->addWidget(allRow);
    cbxShowLog = new QCheckBox(Tx("cbxShowLog.Caption"), this);
    cbxShowLog->setObjectName(QStringLiteral("cbxShowLog"));
    cbxShowLog->setVisible(DM && DM->G_ADMIN_MODE);
    connect(cbxShowLog, &QCheckBox::clicked, this, [](bool checked) {
        if (frmTH_TCDV_C_Log)
            frmTH_TCDV_C_Log->setVisible(checked);
    });
    top->addWidget(cbxShowLog);
    auto *close = new QPushButton(Tx("btnClose.Caption"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    FButtons.insert(close->objectName(), close);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    top->addWidget(close);
    layout->addLayout(top);
    pgcUpDn = new QTabWidget(this);
    pgcUpDn->setObjectName(QStringLiteral("pgcUpDn"));
    for (int t = 0; t < ttTabCount; ++t) {
        QWidget *page = BuildTab(TTransferTab(t));
        FTabs.insert(t, page);
        pgcUpDn->addTab(page, siText(kTable, TransferTabName(TTransferTab(t)) + QStringLiteral(".Caption")));
    }
    layout->addWidget(pgcUpDn, 1);
    // The two grids of a pair keep the same focused cell (the controller conflict
    // grid follows its centre twin, never the other way).
    for (QTableWidget *g : std::as_const(FGrids)) {
        const QString suffix = PairedGridSuffix(g->objectName());
        if (suffix.isEmpty() || g->objectName() == QLatin1String("gtvLConflictMap"))
            continue;
        connect(g, &QTableWidget::currentCellChanged, this, [this, g, suffix](int row, int col) {
            QTableWidget *twin = Grid((g->objectName().at(3) == QLatin1Char('H') ? QStringLiteral("gtvL")
                                                                                  : QStringLiteral("gtvH"))
                                      + suffix);
            if (!twin || row < 0 || (twin->currentRow() == row && twin->currentColumn() == col))
                return;
            const QSignalBlocker block(twin);
            twin->setCurrentCell(row, col);
        });
    }
    connect(pgcUpDn, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0)
            ShowTab(TTransferTab(index));
    });
    spnSA_TODNOChange(1);
}

void TfrmTCDV_C_DBUpDn::SetTabVisibility()
{
    for (int t = 0; t < ttTabCount; ++t)
        pgcUpDn->setTabVisible(t, TransferTabVisible(TTransferTab(t), FLCType));
}

void TfrmTCDV_C_DBUpDn::DoingUpdate()
{
    const bool enabled = ::DoingUpdate(FExecutor.FDoing, FTCDV_ID);
    for (QPushButton *b : FActionButtons)
        b->setEnabled(enabled);
    if (QPushButton *close = FButtons.value(QStringLiteral("btnClose")))
        close->setEnabled(!FExecutor.FDoing);
}

void TfrmTCDV_C_DBUpDn::SetDoing(bool doing)
{
    FExecutor.FDoing = doing;
    DoingUpdate();
}

// ---------------------------------------------------------------------------
// Controller choice
// ---------------------------------------------------------------------------

void TfrmTCDV_C_DBUpDn::SetTCDV_ID(int Value)
{
    FTCDV_ID = Value;
    QSqlDatabase db = DM ? DM->Con() : QSqlDatabase();
    FSA_ID = db.isOpen() ? ReadLcSaNo(db, Value) : 0;
    FLCType = db.isOpen() && Value > 0 ? ReadLcTypeEx(db, Value) : lctNone;
    FExecutor.FLCType = FLCType;
    // The tab shown before the choice: hiding it must not pick another one.
    const int current = pgcUpDn->currentIndex();
    {
        const QSignalBlocker block(pgcUpDn);
        SetTabVisibility();
        if (current >= 0 && pgcUpDn->isTabVisible(current))
            pgcUpDn->setCurrentIndex(current);
    }
    edtTCDV->setText(QString::number(Value));
    lblTCDV_NAME->setText(Value > 0 ? GetLcName(Value) : QString());
    if (!FAllExecutorVisible)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    if (current >= 0 && pgcUpDn->isTabVisible(current))
        ShowTab(TTransferTab(current));
    else if (pgcUpDn->currentIndex() == 0)
        ShowTab(ttStartUpCode);
    else
        pgcUpDn->setCurrentIndex(0);
    ClearControllerSide();
    if (!FAllExecutorVisible)
        QApplication::restoreOverrideCursor();
    DoingUpdate();
}

void TfrmTCDV_C_DBUpDn::ClearControllerSide()
{
    // Nothing of the previous controller stays: every controller-side block,
    // banks, history, network, devices and the extended records included.
    FExecutor.Buffers.Clear();
    for (int t : {ttStartUpCode, ttSignalMap, ttFlashMap, ttDtrConfig, ttDayPlan, ttWeekHolyDayPlan, ttFnTable,
                  ttInOutPed, ttConflictMap})
        DisplayLSide(TTransferTab(t));
    FLabels.value(QStringLiteral("lblLDateTime"))->clear();
    if (QTableWidget *device = Grid(QStringLiteral("gtvDevice"))) {
        ClearGrid(device, 21);
        const char *const keys[5] = {"IDS_2011", "IDS_2012", "IDS_2013", "IDS_2014", "IDS_2015"};
        for (int r = 0; r < 21; ++r)
            SetCell(device, r, 0, Tx(r < 5 ? keys[r] : "IDS_2016"));
    }
}

// ---------------------------------------------------------------------------
// Centre side
// ---------------------------------------------------------------------------

void TfrmTCDV_C_DBUpDn::ShowTab(TTransferTab tab)
{
    QSqlDatabase db = DM ? DM->Con() : QSqlDatabase();
    const bool haveDb = db.isOpen();
    switch (tab) {
    case ttStartUpCode:
        HStartUpCode = haveDb ? LoadHStartupCode(db, FTCDV_ID, FLCType) : QByteArray();
        DisplayStartup(Grid(QStringLiteral("gtvHStartup")), HStartUpCode);
        FTimerCurrTime.start(1000);
        break;
    case ttSignalMap:
        FillGennTypeItems();
        HSignalMap = haveDb ? LoadHSignalMap(db, FTCDV_ID, FLCType) : QByteArray(SignalMapSize(FLCType), 0);
        for (const char *ring : {"RingA", "RingB"})
            for (const char side : {'H', 'L'}) {
                QTableWidget *g = Grid(QStringLiteral("gtv%1%2").arg(QLatin1Char(side)).arg(QLatin1String(ring)));
                QStringList headers{QStringLiteral("STEP")};
                for (int lsu = 1; lsu <= 8; ++lsu)
                    headers << RingSubBandCaptions(FLCType, lsu);
                headers << QStringLiteral("MIN") << QStringLiteral("MAX") << QStringLiteral("EOP") << QString();
                g->setHorizontalHeaderLabels(headers);
                g->setColumnHidden(20, true);
            }
        DisplayRings(false);
        break;
    case ttFlashMap:
        HFlashMap = haveDb && FTCDV_ID > 0 ? LoadHFlashMap(db, FTCDV_ID, FLCType) : QByteArray(17, 0);
        DisplayFlashMap(false);
        break;
    case ttDtrConfig: {
        HDetector = haveDb && FTCDV_ID > 0 ? LoadHDetector(db, FTCDV_ID) : QByteArray(DetectorSize, 0);
        QTableWidget *g = Grid(QStringLiteral("gtvHDtrConfig"));
        const QList<QVariantList> rows = DetectorRows(HDetector, FLCType);
        ClearGrid(g, int(rows.size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                SetCell(g, r, c, rows[r][c]);
        break;
    }
    case ttDayPlan:
        HDayPlan = haveDb ? LoadHDayPlan(db, FTCDV_ID, FSA_ID) : QByteArray(DayPlanSize, 0);
        DisplayDayPlan(false);
        break;
    case ttWeekHolyDayPlan:
        HWeekPlan = haveDb && FTCDV_ID > 0 ? LoadHWeekPlan(db, FTCDV_ID) : QByteArray(WeekPlanSize, 0);
        for (int d = 1; d <= 7; ++d)
            FLabels.value(QStringLiteral("lblHWeekPlan%1").arg(d))->setText(QString::number(quint8(HWeekPlan.at(d - 1))));
        HHoliDayPlan = haveDb && FTCDV_ID > 0 ? LoadHHoliDayPlan(db, FTCDV_ID) : QByteArray(HoliDayPlanSize, 0);
        DisplayHoliday(Grid(QStringLiteral("gtvHHolyDayPlan")), HHoliDayPlan);
        break;
    case ttFnTable: {
        HFunctionTable = haveDb && FTCDV_ID > 0 ? LoadHFunctionTable(db, FTCDV_ID) : QByteArray(80, 0);
        for (const char side : {'H', 'L'})
            Grid(QStringLiteral("gtv%1ReservePlan").arg(QLatin1Char(side)))->setColumnHidden(8, FLCType == lct2004 || FLCType == lctNone);
        DisplayReservation(Grid(QStringLiteral("gtvHReservePlan")), HFunctionTable);
        break;
    }
    case ttInOutPed:
        memset(FCorrectValue, 0, sizeof(FCorrectValue));
        HInOutPed = haveDb && FTCDV_ID > 0 ? LoadHInOutPed(db, FTCDV_ID, FCorrectValue) : QByteArray(119, 0);
        DisplayInOutPed(Grid(QStringLiteral("gtvHInOutPed")), Grid(QStringLiteral("gtvHLSUType")), HInOutPed, true);
        break;
    case ttConflictMap: {
        QTableWidget *g = Grid(QStringLiteral("gtvHConflictMap"));
        ApplyConflictLayout(g);
        HConflictMap = haveDb && FTCDV_ID > 0 ? LoadHConflictMap(db, FTCDV_ID) : QByteArray(ConflictMapSize, 0);
        if (g->rowCount() == 32)
            for (int r = 0; r < 32; ++r)
                for (int c = 0; c < 32; ++c)
                {
                    const bool conflict = ConflictBit(HConflictMap, r, c);
                    SetCell(g, r, c + 3, conflict ? 1 : 0);
                    if (conflict)
                        g->item(r, c + 3)->setBackground(QColor(0xDC, 0x7C, 0x7C));
                }
        break;
    }
    default:
        break;
    }
}

void TfrmTCDV_C_DBUpDn::DisplayStartup(QTableWidget *grid, const QByteArray &block)
{
    const int rows = StartupRowCount(FLCType);
    if (rows >= 0)
        grid->setRowCount(rows);
    const QList<TStartupRow> labels = StartupRowLabels(FLCType, TsiLangDispatcher::instance()->ActiveLanguage());
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 2; c < grid->columnCount(); ++c)
            SetCell(grid, r, c, QVariant());
    for (int r = 0; r < labels.size(); ++r) {
        SetCell(grid, r, 0, labels[r].Group);
        SetCell(grid, r, 1, labels[r].Item);
    }
    grid->setColumnHidden(3, true);
    if (block.isEmpty() || AllZeroBytes(block.constData(), int(block.size())))
        return;
    const QList<int> values = StartupRowValues(FLCType, block);
    for (int r = 0; r < values.size(); ++r) {
        SetCell(grid, r, 2, values[r]);
        SetCell(grid, r, 3, 0);
    }
}

void TfrmTCDV_C_DBUpDn::FillGennTypeItems()
{
    if (!GennTypeItemsNeedRebuild(cbxGennType->count(), FLCType))
        return;
    cbxGennType->clear();
    cbxGennType->addItems(GennTypeItems(FLCType));
    cbxGennType->setCurrentIndex(0);
}

void TfrmTCDV_C_DBUpDn::DisplayRings(bool controller)
{
    const int map = qMax(0, cbxGennType->currentIndex()) + 1;
    const QByteArray &block = controller ? (FLCType == lct2004 ? FExecutor.Buffers.LSignalMap_2004
                                                               : FExecutor.Buffers.LSignalMap_2010)
                                         : HSignalMap;
    for (int ring = 1; ring <= 2; ++ring) {
        QTableWidget *g = Grid(QStringLiteral("gtv%1Ring%2").arg(controller ? 'L' : 'H').arg(ring == 1 ? 'A' : 'B'));
        ClearGrid(g, 32);
        for (int s = 1; s <= 32; ++s) {
            const QStringList cells = SignalMapStepCells(block, map, ring, s);
            for (int c = 0; c < cells.size(); ++c) {
                SetCell(g, s - 1, c, cells[c]);
                if (c >= 1 && c <= 16) {
                    // Code 0 greys its text; the lamp colours fill the cell.
                    const TRingCellPaint paint = RingCellPaint(cells[c].toInt(nullptr, 16), FLCType);
                    if (paint == rcpGrey)
                        g->item(s - 1, c)->setForeground(RingCellColour(paint));
                    else if (paint != rcpDefault)
                        g->item(s - 1, c)->setBackground(RingCellColour(paint));
                }
            }
            SetCell(g, s - 1, 20, 0);
            if (cells.value(19) == QLatin1String("1"))
                for (int c : {0, 17, 18, 19})
                    g->item(s - 1, c)->setBackground(QColor(0xDC, 0x7C, 0x7C));
        }
    }
}

void TfrmTCDV_C_DBUpDn::DisplayFlashMap(bool controller)
{
    const char side = controller ? 'L' : 'H';
    const QByteArray block = controller ? (FLCType == lct2004 ? FExecutor.Buffers.LFlashMap_2004
                                                              : FExecutor.Buffers.LFlashMap_2010)
                                        : HFlashMap;
    const int count = FlashMapLsuCount(FLCType);
    for (int n = 1; n <= 16; ++n) {
        QLabel *veh = FLabels.value(QStringLiteral("lbl%1VEH%2").arg(QLatin1Char(side)).arg(n));
        QLabel *ped = FLabels.value(QStringLiteral("lbl%1PED%2").arg(QLatin1Char(side)).arg(n));
        const bool shown = n <= count;
        veh->setVisible(shown);
        ped->setVisible(shown);
        if (!shown)
            continue;
        for (const auto &[label, value] : {std::pair{veh, FlashVehicleLabel(block, FLCType, n)},
                                           std::pair{ped, FlashPedestrianLabel(block, FLCType, n)}}) {
            label->setText(value.Text);
            QPalette p = label->palette();
            p.setColor(QPalette::Window, value.Colour);
            label->setPalette(p);
        }
    }
    FLabels.value(QStringLiteral("lbl%1FL").arg(QLatin1Char(side)))->setText(QString::number(FlashTime(block, FLCType)));
    QLabel *vl = FLabels.value(QStringLiteral("lbl%1VL").arg(QLatin1Char(side)));
    vl->setVisible(FLCType == lct2004);
    vl->setText(FLCType == lct2004 && block.size() > 12 && block.at(12) == 1 ? Tx("IDS_116") : Tx("IDS_117"));
}

void TfrmTCDV_C_DBUpDn::DisplayDayPlan(bool controller)
{
    const int plan = spnSA_TODNO->value();
    const QByteArray &block = controller ? FExecutor.Buffers.LDayPlan : HDayPlan;
    if (auto *box = findChild<QGroupBox *>(controller ? QStringLiteral("gbxLDayPlan") : QStringLiteral("gbxHDayPlan")))
        box->setTitle(QString::asprintf(Tx(controller ? "IDS_920" : "IDS_919").toUtf8().constData(), plan));
    QTableWidget *g = Grid(controller ? QStringLiteral("gtvLDayPlan") : QStringLiteral("gtvHDayPlan"));
    ClearGrid(g, 16);
    g->setColumnHidden(17, true);
    if (block.size() < DayPlanSize)
        return;
    const QList<QVariantList> rows = DayPlanRows(block, plan, controller);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            SetCell(g, r, c, rows[r][c]);
}

void TfrmTCDV_C_DBUpDn::DisplayHoliday(QTableWidget *grid, const QByteArray &block)
{
    ClearGrid(grid, 1);
    const QStringList cells = HolidayCells(block, Tx("IDS_4"));
    const QStringList bands = HolidayBandCaptions(block);
    QStringList headers{QString()};
    for (int i = 0; i < HolidayEntries; ++i)
        headers << QStringLiteral("%1/%2").arg(bands.value(2 * i), bands.value(2 * i + 1));
    grid->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < cells.size(); ++c)
        SetCell(grid, 0, c, cells[c]);
}

void TfrmTCDV_C_DBUpDn::DisplayReservation(QTableWidget *grid, QByteArray &block)
{
    ClearGrid(grid, 10);
    grid->setColumnHidden(9, true);
    const QList<QVariantList> rows = ReservationRows(block);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            SetCell(grid, r, c, rows[r][c]);
        if (!rows[r].isEmpty())
            SetCell(grid, r, 9, 0);
    }
}

void TfrmTCDV_C_DBUpDn::DisplayInOutPed(QTableWidget *grid, QTableWidget *lsuGrid, const QByteArray &block, bool centre)
{
    ClearGrid(grid, 23);
    const char *const captions[23][2] = {
        {"strLightType", "strVehicle"},     {"strLightType", "strPedestrian"}, {"strLightType", "strPedEquipment"},
        {"strLightType", "strLocation"},    {"strOutput", "IDS_410"},          {"strOutput", "IDS_410"},
        {"strOutput", "IDS_411"},           {"strOutput", "IDS_411"},          {"strOutput", "IDS_412"},
        {"strOutput", "IDS_412"},           {"strOutput", "IDS_413"},          {"strOutput", "IDS_413"},
        {"strOutput", "IDS_414"},           {"strOutput", "IDS_414"},          {"strOutput", "IDS_415"},
        {"strOutput", "IDS_415"},           {"strPedEquipment", "strGeneral"}, {"strPedEquipment", "strSpecial"},
        {"strPedEquipment", "strGeneralRing"}, {"strPedEquipment", "strSpecialRing"},
        {"strProgressionPedTime", "strSolid"}, {"strProgressionPedTime", "strFlash"},
        {"strProgressionPedTime", "strPedExtendedTime"}};
    for (int r = 0; r < 23; ++r) {
        SetCell(grid, r, 0, Tx(captions[r][0]));
        SetCell(grid, r, 1, Tx(captions[r][1]));
    }
    const QList<QList<int>> cells = OutputMapCells(block, centre ? FCorrectValue : nullptr);
    for (int r = 0; r < 23; ++r)
        for (int d = 0; d < 10; ++d)
            SetCell(grid, r, d + 2, cells[r][d]);
    ClearGrid(lsuGrid, 2);
    SetCell(lsuGrid, 0, 0, Tx("strSignalType"));
    SetCell(lsuGrid, 0, 1, Tx("strLsuNo"));
    SetCell(lsuGrid, 1, 0, Tx("strSignalType"));
    SetCell(lsuGrid, 1, 1, Tx("strLsuType"));
    const QList<int> types = LsuLampTypes(block);
    for (int n = 0; n < 16; ++n) {
        SetCell(lsuGrid, 0, n + 2, n + 1);
        SetCell(lsuGrid, 1, n + 2, types[n] ? QStringLiteral("4색") : QStringLiteral("3색"));
    }
}

void TfrmTCDV_C_DBUpDn::ApplyConflictLayout(QTableWidget *grid)
{
    grid->setRowCount(0);
    const QList<TConflictRow> rows = ConflictLayoutRows(FLCType);
    grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        SetCell(grid, r, 0, rows[r].MainLabel);
        SetCell(grid, r, 1, rows[r].SubLabel);
        SetCell(grid, r, 2, rows[r].LsuNo);
        for (int c = 0; c < 32; ++c) {
            SetCell(grid, r, c + 3, QVariant());
            if (ConflictCellReadOnly(r, c, FLCType))
                grid->item(r, c + 3)->setBackground(QColor(0xB3, 0xB3, 0xB3));
        }
    }
    const QStringList bands = ConflictBandCaptions(FLCType);
    QStringList headers{QString(), QString(), QString()};
    for (int c = 0; c < 32; ++c)
        headers << (bands.isEmpty() ? QString() : bands.at(c % bands.size()));
    grid->setHorizontalHeaderLabels(headers);
}

// ---------------------------------------------------------------------------
// Controller side
// ---------------------------------------------------------------------------

void TfrmTCDV_C_DBUpDn::DisplayLSide(TTransferTab tab)
{
    TTransferBuffers &b = FExecutor.Buffers;
    switch (tab) {
    case ttStartUpCode:
        DisplayStartup(Grid(QStringLiteral("gtvLStartup")), FLCType == lct2004 ? b.LStartUpCode_2004 : b.LStartUpCode_2010);
        break;
    case ttSignalMap:
        DisplayRings(true);
        break;
    case ttFlashMap:
        DisplayFlashMap(true);
        break;
    case ttDtrConfig: {
        QTableWidget *g = Grid(QStringLiteral("gtvLDtrConfig"));
        const QList<QVariantList> rows = DetectorRows(b.LDetector, FLCType);
        ClearGrid(g, int(rows.size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                SetCell(g, r, c, rows[r][c]);
        break;
    }
    case ttDayPlan:
        DisplayDayPlan(true);
        break;
    case ttWeekHolyDayPlan:
        for (int d = 1; d <= 7; ++d)
            FLabels.value(QStringLiteral("lblLWeekPlan%1").arg(d))->clear();
        ClearGrid(Grid(QStringLiteral("gtvLHolyDayPlan")), 1);
        break;
    case ttFnTable:
        ClearGrid(Grid(QStringLiteral("gtvLReservePlan")), 10);
        break;
    case ttInOutPed:
        DisplayInOutPed(Grid(QStringLiteral("gtvLInOutPed")), Grid(QStringLiteral("gtvLLSUType")), b.LInOutPed, false);
        break;
    case ttConflictMap:
        ApplyConflictLayout(Grid(QStringLiteral("gtvLConflictMap")));
        break;
    default:
        break;
    }
}

void TfrmTCDV_C_DBUpDn::spnSA_TODNOChange(int value)
{
    if (value < 1 || value > 10 || spnSA_TODNO->property("Tag").toInt() == value)
        return;
    for (QCheckBox *c : grpSelDayPlan)
        c->setChecked(false);
    spnSA_TODNO->setProperty("Tag", value);
    grpSelDayPlan[value - 1]->setChecked(true);
    FExecutor.DayPlanNo = value;
    DisplayDayPlan(false);
    DisplayDayPlan(true);
}

void TfrmTCDV_C_DBUpDn::PaintDifferences(const QString &pair, int compareColumn)
{
    QTableWidget *grids[2] = {Grid(QStringLiteral("gtvH") + pair), Grid(QStringLiteral("gtvL") + pair)};
    if (!grids[0] || !grids[1])
        return;
    for (int side = 0; side < 2; ++side) {
        QTableWidget *g = grids[side];
        QTableWidget *other = grids[1 - side];
        for (int r = 0; r < g->rowCount(); ++r) {
            const QTableWidgetItem *mark = g->item(r, compareColumn);
            const int compare = mark ? mark->data(Qt::DisplayRole).toInt() : 0;
            for (int c = 0; c < g->columnCount(); ++c) {
                if (c == compareColumn)
                    continue;
                QTableWidgetItem *item = g->item(r, c);
                if (!item) {
                    if (compare != 1)
                        continue;
                    item = new QTableWidgetItem;
                    g->setItem(r, c, item);
                }
                const QTableWidgetItem *twin = other->item(r, c);
                const bool differs = CellDiffers(compare, item->text(), twin ? twin->text() : QString());
                QFont f = item->font();
                f.setBold(differs);
                item->setFont(f);
                item->setForeground(differs ? QBrush(Qt::red) : QBrush());
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Editors of the kinds
// ---------------------------------------------------------------------------

namespace {

// The editor of each edit button: window class, caption, the property naming the
// controller (or its group), the day-plan number first, the page of the TOD editor.
struct TEditEntry
{
    const char *Button;
    TTransferTab Tab;
    const char *WindowClass;
    const char *CaptionKey;
    const char *IdSetter;
    bool Group;
    bool DayPlanNo;
    int Page;
};

const TEditEntry kEditors[] = {
    {"btnStartupEdit", ttStartUpCode, "TfrmTCDV_E_SignalManagerVariable", "IDS_709", "TCDV_ID", false, false, -1},
    {"btnSignalMapEdit", ttSignalMap, "TFormTcdvTod", "IDS_708", "TCDV_ID", false, false, 1},
    {"btnInOutPedEdit", ttInOutPed, "TFormTcdvTod", "IDS_705", "TCDV_ID", false, false, 2},
    {"btnDayPlanEdit", ttDayPlan, "TFormTcdvTod", "IDS_705", "TCDV_ID", false, true, 0},
    {"btnWeekPlanEdit", ttWeekHolyDayPlan, "TFormTcdvTod", "IDS_705", "TCDV_ID", false, false, 0},
    {"btnHolidayPlanEdit", ttWeekHolyDayPlan, "TFormTcdvTod", "IDS_705", "TCDV_ID", false, false, 0},
    {"btnFlashMapEdit", ttFlashMap, "TfrmTCDV_E_FlashMap", "IDS_707", "SA_ID", true, false, -1},
    {"btnDtrConfigEdit", ttDtrConfig, "TFormTfdtMaster", "IDS_706", "TCDV_ID", false, false, -1},
    {"btnSpillBackEdit", ttDtrConfig, "TFormSpillbackParameter", "IDS_59", "TcdvID", false, false, -1},
    {"btnReservePlanEdit", ttFnTable, "TFormTcdvReservePlan", "IDS_721", "TcdvID", false, false, -1},
    {"btnConflictMapEdit", ttConflictMap, "TfrmTCDV_E_ConflictMap", "IDS_704", "TCDV_ID", false, false, -1},
};

} // namespace

void TfrmTCDV_C_DBUpDn::actEditExecute(const QString &buttonName)
{
    const TEditEntry *entry = nullptr;
    for (const TEditEntry &e : kEditors)
        if (buttonName == QLatin1String(e.Button))
            entry = &e;
    if (!entry)
        return;
    const QString windowClass = QString::fromLatin1(entry->WindowClass);
    const TWindowClassHooks *hooks = TMainOpeners::Hooks(windowClass);
    if (!hooks || !hooks->Create) {
        ShowMsgDlg(this, QApplication::applicationName(), Tx("strEditorMissing"), Tx(entry->CaptionKey), windowClass,
                   mkInformation);
        return;
    }
    // One instance: an editor of the same class open elsewhere is closed first.
    for (QWidget *open : QApplication::allWidgets())
        if (open->isWindow() && open->isVisible() && windowClass == QLatin1String(open->metaObject()->className()))
            open->close();
    TOpenContext context;
    context.Owner = this;
    context.Caption = Tx(entry->CaptionKey);
    context.TCDV_ID = FTCDV_ID;
    context.SA_ID = FSA_ID;
    QPointer<QWidget> editor = hooks->Create(context);
    if (!editor)
        return;
    editor->setWindowTitle(context.Caption);
    if (entry->DayPlanNo)
        TMainOpeners::Apply(*hooks, editor, QStringLiteral("spnTODNo"), spnSA_TODNO->value());
    TMainOpeners::Apply(*hooks, editor, QString::fromLatin1(entry->IdSetter), entry->Group ? FSA_ID : FTCDV_ID);
    TMainOpeners::Apply(*hooks, editor, QStringLiteral("IsModal"), true);
    if (entry->Page >= 0)
        TMainOpeners::Apply(*hooks, editor, QStringLiteral("PageIndex"), entry->Page);
    if (!editor->isWindow())
        editor->setWindowFlag(Qt::Window);
    editor->setWindowModality(Qt::ApplicationModal);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    // Modal: wait serving events until the editor has gone.
    QEventLoop loop;
    connect(editor, &QObject::destroyed, &loop, &QEventLoop::quit);
    editor->show();
    if (editor)
        loop.exec();
    if (pgcUpDn->currentIndex() == entry->Tab)
        ShowTab(entry->Tab);
}

// ---------------------------------------------------------------------------
// Clock
// ---------------------------------------------------------------------------

void TfrmTCDV_C_DBUpDn::UpdateCurrentTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    QByteArray clock(7, 0);
    clock[0] = char(now.date().year() % 100);
    clock[1] = char(now.date().month());
    clock[2] = char(now.date().day());
    clock[3] = char(now.time().hour());
    clock[4] = char(now.time().minute());
    clock[5] = char(now.time().second());
    clock[6] = char(now.date().dayOfWeek() % 7);
    FLabels.value(QStringLiteral("lblCurrDateTime"))
        ->setText(ClockText(clock, TsiLangDispatcher::instance()->ActiveLanguage()));
}

// ---------------------------------------------------------------------------
// All-runs
// ---------------------------------------------------------------------------

void TfrmTCDV_C_DBUpDn::Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TfrmTCDV_C_DBUpDn::ClickTaggedButtons(QWidget *container, int tag)
{
    for (QObject *child : container->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->isHidden())
            continue;
        auto *button = qobject_cast<QPushButton *>(w);
        if (button && button->property("Tag").toInt() == tag) {
            if (!FAllExecutorVisible)
                continue;
            QCoreApplication::processEvents();
            Pause(100);
            if (ActionHandler)
                ActionHandler(button, nullptr);
            while (FExecutor.FDoing)
                Pause(100);
            QCoreApplication::processEvents();
            Pause(100);
        } else if (!button && !qobject_cast<QAbstractItemView *>(w)) {
            ClickTaggedButtons(w, tag);
        }
    }
}

void TfrmTCDV_C_DBUpDn::actAllExecutorExecute(int tag)
{
    const QString caption = FButtons.value(tag == 1 ? QStringLiteral("btnAllDownload")
                                                    : tag == 3 ? QStringLiteral("btnAllSave")
                                                               : QStringLiteral("btnAllCompare"))
                                ->text();
    if (tag == 1 && ShowMsgDlg(this, QApplication::applicationName(), Tx("IDS_521"), Tx("IDS_522"), QString(),
                               mkQuestion) != mrYes)
        return;
    if (tag == 3) {
        FormDayPlanSaveDlg = new TFormDayPlanSaveDlg(this, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        if (FormDayPlanSaveDlg->exec() != QDialog::Accepted) {
            delete FormDayPlanSaveDlg;
            FormDayPlanSaveDlg = nullptr;
            return;
        }
    }
    actAllRun(tag, caption);
    if (tag == 3) {
        delete FormDayPlanSaveDlg;
        FormDayPlanSaveDlg = nullptr;
    }
}

void TfrmTCDV_C_DBUpDn::actAllUploadExecute() { actAllRun(2, FButtons.value(QStringLiteral("btnAllUpload"))->text()); }

void TfrmTCDV_C_DBUpDn::actAllRun(int tag, const QString &caption)
{
    if (FAllExecutorPanel) {
        FAllExecutorPanel->ClearItem();
        FAllExecutorPanel->SetTitle(caption);
        FAllExecutorPanel->show();
        FAllExecutorVisible = true;
    } else {
        FAllExecutorPanel = new TAllExecutorPanel(this, caption, 300, 469, FAllExecutorVisible);
        FAllExecutorPanel->setObjectName(QStringLiteral("FAllExecutorPanel"));
        connect(FAllExecutorPanel, &TAllExecutorPanel::cancelRequested, this, &TfrmTCDV_C_DBUpDn::WMAllExecutorCancel,
                Qt::DirectConnection);
        connect(FAllExecutorPanel, &TAllExecutorPanel::closeRequested, this, &TfrmTCDV_C_DBUpDn::WMAllExecutorClose,
                Qt::DirectConnection);
        FAllExecutorPanel->show();
    }
    FAllExecutorPanel->PanelCaption = caption;
    FAllExecutorPanel->raise();
    delete Shadow;
    Shadow = new TFormShadow(this);
    Shadow->UpdateShadow();
    FAllExecutorPanel->raise();
    FAllExecutorPanel->FActionType = quint8(tag);
    FAllExecutorPanel->SetIsAvailableClose(false);
    FExecutor.FAllExecutorVisible = true;
    FExecutor.AllRunPanelText = caption;

    const int active = pgcUpDn->currentIndex();
    for (int i = 0; i < pgcUpDn->count(); ++i) {
        if (!pgcUpDn->isTabVisible(i))
            continue;
        pgcUpDn->setCurrentIndex(i);
        QWidget *page = pgcUpDn->widget(i);
        if (i == ttDayPlan && tag != 2) {
            const int keep = spnSA_TODNO->value();
            for (int j = 1; j <= 10; ++j) {
                spnSA_TODNO->setValue(j);
                ClickTaggedButtons(page, tag);
            }
            spnSA_TODNO->setValue(keep);
        } else if (i == ttDayPlan) {
            QList<bool> ticks;
            for (QCheckBox *c : grpSelDayPlan) {
                ticks << c->isChecked();
                c->setChecked(true);
            }
            ClickTaggedButtons(page, tag);
            for (int k = 0; k < grpSelDayPlan.size(); ++k)
                grpSelDayPlan[k]->setChecked(ticks[k]);
        } else if (i == ttSignalMap) {
            const int keep = cbxGennType->currentIndex();
            for (int k = 0; k < cbxGennType->count(); ++k) {
                cbxGennType->setCurrentIndex(k);
                ClickTaggedButtons(page, tag);
            }
            cbxGennType->setCurrentIndex(keep);
        } else {
            ClickTaggedButtons(page, tag);
        }
    }
    if (FAllExecutorVisible)
        FAllExecutorPanel->SetIsAvailableClose(true);
    pgcUpDn->setCurrentIndex(active);
}

void TfrmTCDV_C_DBUpDn::WMAllExecutorCancel() { FExecutor.TerminateRunning(); }

void TfrmTCDV_C_DBUpDn::WMAllExecutorClose()
{
    FAllExecutorVisible = false;
    FExecutor.FAllExecutorVisible = false;
    if (FAllExecutorPanel)
        FAllExecutorPanel->hide();
    delete Shadow;
}

void TfrmTCDV_C_DBUpDn::AddAllExecutorContainer(const QString &caption)
{
    if (FAllExecutorVisible && FAllExecutorPanel)
        FAllExecutorPanel->AddContainer(caption);
}

bool TfrmTCDV_C_DBUpDn::MarkAllExecutorResult(QObject *Sender, bool ok)
{
    if (Sender)
        return false;
    if (FAllExecutorPanel && FAllExecutorPanel->GetItem()) {
        FAllExecutorPanel->GetItem()->SetResultImageIndex(ok ? 2 : 3);
        if (!ok)
            FAllExecutorPanel->SetFailCount(FAllExecutorPanel->FailCount() + 1);
    }
    return true;
}

bool TfrmTCDV_C_DBUpDn::FormCloseQuery() const
{
    if (FExecutor.FDoing)
        return false;
    return !(FAllExecutorPanel && FAllExecutorPanel->isVisibleTo(const_cast<TfrmTCDV_C_DBUpDn *>(this))
             && !FAllExecutorPanel->IsAvailableClose());
}

void TfrmTCDV_C_DBUpDn::closeEvent(QCloseEvent *e)
{
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FTimerCurrTime.stop();
    e->accept();
}

bool TfrmTCDV_C_DBUpDn::eventFilter(QObject *o, QEvent *e)
{
    // Up and Down step the typed number (its name follows); Enter applies it.
    if (o == edtTCDV && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const int n = edtTCDV->text().toInt() + (key == Qt::Key_Up ? 1 : -1);
            edtTCDV->setText(QString::number(qMax(0, n)));
            lblTCDV_NAME->setText(GetLcName(edtTCDV->text().toInt()));
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}

void TfrmTCDV_C_DBUpDn::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (FAllExecutorPanel)
        FAllExecutorPanel->Realign();
    if (Shadow)
        Shadow->UpdateShadow();
}
