#include "plans/untTcdvTod.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "centrelink/RC2MMIUnit.h"
#include "core/FileDialogService.h"
#include "core/GridExport.h"
#include "core/GridHelpers.h"
#include "core/GridModel.h"
#include "core/GridView.h"
#include "core/InAppMessage.h"
#include "core/LookupUnit.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "core/WindowRegistry.h"
#include "core/untDM.h"
#include "core/untTCDV_S.h"
#include "plans/TcdvTodUnit.h"

using namespace TcdvTod;

namespace {

const QString kMvmtEditor = QStringLiteral("TfrmTCDV_E_PhaseMvmt");

QPushButton *ActionButton(QAction *action, QWidget *parent)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QStringLiteral("btn") + action->objectName().mid(3));
    QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, b, [b, action] {
        b->setText(action->text());
        b->setEnabled(action->isEnabled());
    });
    b->setText(action->text());
    return b;
}

// A row action of one grid: its shortcut works only while that grid has the focus.
QAction *GridAction(QWidget *owner, TGridView *grid, const char *name, const QKeySequence &key)
{
    auto *a = new QAction(owner);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid->addAction(a);
    return a;
}

// The split cells: a spin editor whose range comes from the phase row of its
// phase and ring, which is focused in the phase grid when the editor opens.
class TSplitCellDelegate : public TGridSpinDelegate
{
public:
    TSplitCellDelegate(TGridView *phases, QObject *parent)
        : TGridSpinDelegate(parent), FPhases(phases) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = TGridSpinDelegate::createEditor(parent, option, index);
        auto *spin = qobject_cast<QSpinBox *>(editor);
        const auto *proxy = qobject_cast<const QSortFilterProxyModel *>(index.model());
        const QModelIndex source = proxy ? proxy->mapToSource(index) : index;
        const auto *model = qobject_cast<const TGridModel *>(source.model());
        if (spin && model) {
            int phaseRec = -1;
            const auto range = SplitEditorRange(*FPhases->GridModel(), model->Column(source.column()).Name, &phaseRec);
            spin->setRange(range.first, range.second);
            if (phaseRec >= 0)
                FPhases->FocusRecord(phaseRec);
        }
        return editor;
    }

private:
    TGridView *FPhases;
};

} // namespace

TFormTcdvTod::TFormTcdvTod(QWidget *owner)
    : TfrmBase(owner, TcdvTod::TextTable)
{
    setObjectName(QStringLiteral("FormTcdvTod"));
    FMain = dynamic_cast<IMainWindow *>(owner);
    FPhaseModel = new TGridModel(this);
    FPhaseModel->SetColumns(PhaseColumns());
    FSplitModel = new TGridModel(this);
    FSplitModel->SetColumns(SplitColumns());
    BuildWidgets();
    BuildActions();
    InitPhaseGrid(FPhaseModel);
    InitSplitGrid(FSplitModel);
    // Edits typed into the grids go through the editor's row rules.
    FPhaseModel->CanEdit = [this](int rec, int col) { return PhaseCellEditable(*FPhaseModel, rec, col, IsVirtual()); };
    FPhaseModel->EditHook = [this](int rec, int col) { PhaseCellEdited(FPhaseModel, rec, col); };
    FSplitModel->CanEdit = [this](int rec, int col) {
        return SplitCellEditable(rec, FSplitModel->Column(col).Name, IsVirtual());
    };
    FSplitModel->EditHook = [this](int rec, int col) { SplitCellEdited(FSplitModel, rec, col); };
    connect(FPhaseModel, &TGridModel::StateChanged, this, &TFormTcdvTod::UpdateActions);
    connect(FPhaseModel, &TGridModel::RecordsChanged, this, &TFormTcdvTod::UpdateActions);
    connect(FSplitModel, &TGridModel::StateChanged, this, &TFormTcdvTod::UpdateActions);
    connect(FSplitModel, &TGridModel::RecordsChanged, this, &TFormTcdvTod::UpdateActions);
    connect(FPhaseModel, &QAbstractItemModel::dataChanged, this, &TFormTcdvTod::UpdateActions);
    connect(FSplitModel, &QAbstractItemModel::dataChanged, this, &TFormTcdvTod::UpdateActions);
    connect(FSplitModel, &QAbstractItemModel::modelReset, this, &TFormTcdvTod::UpdateActions);
    connect(FPhaseModel, &QAbstractItemModel::modelReset, this, &TFormTcdvTod::UpdateActions);
    // Cells that cannot be edited are painted read only; a sum that differs
    // from its row's cycle length is painted as invalid.
    FPhaseModel->StyleHook = [this](int rec, int col, int role) -> QVariant {
        if (role != Qt::BackgroundRole)
            return {};
        const QColor colour = PhaseCellBackground(*FPhaseModel, rec, col, gtvPhase->FocusedRecord(),
                                                  gtvPhase->FocusedColumn(), IsVirtual());
        return colour.isValid() ? QVariant(colour) : QVariant();
    };
    FSplitModel->StyleHook = [this](int rec, int col, int role) -> QVariant {
        const QString name = FSplitModel->Column(col).Name;
        if (name == QLatin1String("SumA") || name == QLatin1String("SumB")) {
            const QVariant cycle = FSplitModel->Value(rec, QStringLiteral("SA_CYCLELENGTH"));
            const bool wrong = FSplitModel->Value(rec, col).toInt() != cycle.toInt();
            if (wrong && role == Qt::BackgroundRole)
                return QColor(197, 64, 64);
            if (wrong && role == Qt::ForegroundRole)
                return QColor(255, 255, 255);
            return {};
        }
        if (role == Qt::BackgroundRole && (IsCycleColumn(name) || name.startsWith(QLatin1String("INT_")))
            && !SplitCellEditable(rec, name, IsVirtual()) && name != QLatin1String("INT_TPLANINDEX"))
            return QColor(179, 179, 179);
        return {};
    };
    InitLanguage();
    cbxGennType->addItems(PlanClassEntries(lct2010_4L));
    lblTCDV_NAME->setText(DM ? DM->T_NotExist : QString());
    UpdateActions();
}

TFormTcdvTod::~TFormTcdvTod() = default;

void TFormTcdvTod::BuildWidgets()
{
    auto *root = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    lblTCDV = new QLabel(this);
    lblTCDV->setObjectName(QStringLiteral("lblTCDV"));
    edtTCDV = new QLineEdit(this);
    edtTCDV->setObjectName(QStringLiteral("edtTCDV"));
    edtTCDV->setMaximumWidth(80);
    btnTCDV = new QToolButton(this);
    btnTCDV->setText(QStringLiteral("..."));
    lblTCDV_NAME = new QLabel(this);
    lblTCDV_NAME->setObjectName(QStringLiteral("lblTCDV_NAME"));
    lblSA = new QLabel(this);
    lblSA->setObjectName(QStringLiteral("lblSA"));
    lblSA_NAME = new QLabel(this);
    lblSA_NAME->setObjectName(QStringLiteral("lblSA_NAME"));
    cbxGennType = new QComboBox(this);
    cbxGennType->setObjectName(QStringLiteral("cbxGennType"));
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QWidget *w : {static_cast<QWidget *>(lblTCDV), static_cast<QWidget *>(edtTCDV), static_cast<QWidget *>(btnTCDV),
                       static_cast<QWidget *>(lblTCDV_NAME), static_cast<QWidget *>(lblSA),
                       static_cast<QWidget *>(lblSA_NAME), static_cast<QWidget *>(cbxGennType)})
        top->addWidget(w);
    top->addStretch();
    top->addWidget(btnClose);
    root->addLayout(top);

    pclTCDVTOD = new QTabWidget(this);
    pclTCDVTOD->setObjectName(QStringLiteral("pclTCDVTOD"));
    tshPhase = new QWidget;
    tshPhase->setObjectName(QStringLiteral("tshPhase"));
    tshSignalMap = new QWidget;
    tshSignalMap->setObjectName(QStringLiteral("tshSignalMap"));
    tshInOutPed = new QWidget;
    tshInOutPed->setObjectName(QStringLiteral("tshInOutPed"));
    pclTCDVTOD->addTab(tshPhase, QString());
    pclTCDVTOD->addTab(tshSignalMap, QString());
    pclTCDVTOD->addTab(tshInOutPed, QString());
    root->addWidget(pclTCDVTOD, 1);

    auto *page = new QVBoxLayout(tshPhase);
    gtvPhase = new TGridView(tshPhase);
    gtvPhase->setObjectName(QStringLiteral("gtvPhase"));
    gtvPhase->SetGridModel(FPhaseModel);
    gtvPhase->SetEnterMovesToNextCell(true);
    page->addWidget(gtvPhase, 1);
    auto *split = new QGroupBox(tshPhase);
    split->setObjectName(QStringLiteral("grpSplit"));
    auto *splitBox = new QVBoxLayout(split);
    gtvSplit = new TGridView(split);
    gtvSplit->setObjectName(QStringLiteral("gtvSplit"));
    gtvSplit->SetGridModel(FSplitModel);
    gtvSplit->SetEnterMovesToNextCell(true);
    auto *splitCells = new TSplitCellDelegate(gtvPhase, gtvSplit);
    for (const QString &name : SplitVisibleColumns())
        if (name.startsWith(QLatin1String("INT_ASPLIT")) || name.startsWith(QLatin1String("INT_BSPLIT")))
            gtvSplit->setItemDelegateForColumn(FSplitModel->ColumnIndex(name), splitCells);
    splitBox->addWidget(gtvSplit, 1);
    page->addWidget(split, 1);

    auto *plan = new QHBoxLayout;
    lblTODNo = new QLabel(tshPhase);
    lblTODNo->setObjectName(QStringLiteral("lblTODNo"));
    spnTODNo = new QSpinBox(tshPhase);
    spnTODNo->setObjectName(QStringLiteral("spnTODNo"));
    spnTODNo->setRange(1, 10);
    spnTODNo->setValue(1);
    plan->addWidget(lblTODNo);
    plan->addWidget(spnTODNo);
    for (int n = 1; n <= 10; ++n) {
        auto *box = new QCheckBox(QStringLiteral("#%1").arg(n), tshPhase);
        box->setObjectName(QStringLiteral("grpSelSplit%1").arg(n));
        connect(box, &QCheckBox::toggled, this, &TFormTcdvTod::UpdateActions);
        grpSelSplit << box;
        plan->addWidget(box);
    }
    grpSelSplit.first()->setEnabled(false);
    plan->addStretch();
    splitBox->addLayout(plan);
    connect(spnTODNo, qOverload<int>(&QSpinBox::valueChanged), this, &TFormTcdvTod::spnTODNoChanged);

    connect(btnTCDV, &QToolButton::clicked, this, &TFormTcdvTod::PickIntersection);
    // Ctrl+Enter in the number edit presses its button.
    auto *pick = new QAction(edtTCDV);
    pick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    pick->setShortcutContext(Qt::WidgetShortcut);
    edtTCDV->addAction(pick);
    connect(pick, &QAction::triggered, btnTCDV, &QToolButton::click);
    connect(edtTCDV, &QLineEdit::textEdited, this, [this](const QString &text) {
        lblTCDV_NAME->setText(GetLcName(text.toInt()));
    });
    InstallIdEditKeys(edtTCDV, IdEditKindLc, lblTCDV_NAME, nullptr, [this](int n) { SetTCDV_ID(n); });
    connect(cbxGennType, qOverload<int>(&QComboBox::activated), this, [this](int index) { SetPLAN_CLSS(index); });
    connect(btnClose, &QPushButton::clicked, this, [this] { actCloseExecute(); });
}

void TFormTcdvTod::BuildActions()
{
    auto make = [this](const char *name, void (TFormTcdvTod::*slot)()) {
        auto *a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actPhaseSearch = make("actPhaseSearch", &TFormTcdvTod::actPhaseSearchExecute);
    actPhaseSave = make("actPhaseSave", &TFormTcdvTod::actPhaseSaveExecute);
    actEditMvmt = make("actEditMvmt", &TFormTcdvTod::actEditMvmtExecute);
    actSplitSearch = make("actSplitSearch", &TFormTcdvTod::actSplitSearchExecute);
    actSplitSave = make("actSplitSave", &TFormTcdvTod::actSplitSaveExecute);
    actSplitValidate = make("actSplitValidate", &TFormTcdvTod::actSplitValidateExecute);
    actSplitMultiCopy = make("actSplitMultiCopy", &TFormTcdvTod::actSplitMultiCopyExecute);

    actPhaseCopy = GridAction(this, gtvPhase, "actPhaseCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
    actPhasePaste = GridAction(this, gtvPhase, "actPhasePaste", QKeySequence(Qt::CTRL | Qt::Key_V));
    actPhaseDel = GridAction(this, gtvPhase, "actPhaseDel", QKeySequence(Qt::CTRL | Qt::Key_D));
    actSplitCopy = GridAction(this, gtvSplit, "actSplitCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
    actSplitPaste = GridAction(this, gtvSplit, "actSplitPaste", QKeySequence(Qt::CTRL | Qt::Key_V));
    actSplitPasteAll = GridAction(this, gtvSplit, "actSplitPasteAll", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    actSplitDel = GridAction(this, gtvSplit, "actSplitDel", QKeySequence(Qt::CTRL | Qt::Key_D));
    actPhaseExport = GridAction(this, gtvPhase, "actPhaseExport", QKeySequence(Qt::CTRL | Qt::Key_S));
    actSplitExport = GridAction(this, gtvSplit, "actSplitExport", QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(actPhaseExport, &QAction::triggered, this, [this] { ExportGrid(gtvPhase, QStringLiteral("IDS_1")); });
    connect(actSplitExport, &QAction::triggered, this, [this] { ExportGrid(gtvSplit, QStringLiteral("IDS_6")); });
    // Ctrl+Enter in the time-plan grid moves to its next row.
    auto *nextRow = GridAction(this, gtvSplit, "actSplitNextRow", QKeySequence(Qt::CTRL | Qt::Key_Return));
    connect(nextRow, &QAction::triggered, this, [this] {
        gtvSplit->PostEdit();
        const int row = gtvSplit->DisplayOfRecord(gtvSplit->FocusedRecord());
        if (row >= 0 && row + 1 < gtvSplit->DisplayCount())
            gtvSplit->FocusDisplayRow(row + 1, gtvSplit->FocusedColumn());
    });
    connect(actPhaseCopy, &QAction::triggered, this, &TFormTcdvTod::actPhaseCopyExecute);
    connect(actPhasePaste, &QAction::triggered, this, &TFormTcdvTod::actPhasePasteExecute);
    connect(actPhaseDel, &QAction::triggered, this, &TFormTcdvTod::actPhaseDelExecute);
    connect(actSplitCopy, &QAction::triggered, this, &TFormTcdvTod::actSplitCopyExecute);
    connect(actSplitPaste, &QAction::triggered, this, &TFormTcdvTod::actSplitPasteExecute);
    connect(actSplitPasteAll, &QAction::triggered, this, &TFormTcdvTod::actSplitPasteAllExecute);
    connect(actSplitDel, &QAction::triggered, this, &TFormTcdvTod::actSplitDelExecute);
    gtvPhase->setContextMenuPolicy(Qt::ActionsContextMenu);
    gtvSplit->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(gtvPhase, &TGridView::FocusedRecordChanged, this, [this] { FFocusedGrid = rtNone; });
    // A phase row focuses the split cell of its phase and ring in the time plan.
    connect(gtvPhase, &TGridView::FocusedRecordChanged, this, &TFormTcdvTod::PhaseRowFocused);
    // The highlight follows the focused cell and column of the phase grid.
    connect(gtvPhase->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (FPhaseModel->RecordCount() > 0 && FPhaseModel->columnCount() > 0)
            emit FPhaseModel->dataChanged(FPhaseModel->index(0, 0),
                                          FPhaseModel->index(FPhaseModel->RecordCount() - 1,
                                                             FPhaseModel->columnCount() - 1),
                                          {Qt::BackgroundRole});
    });

    // Buttons of the phase page.
    auto *phaseButtons = new QHBoxLayout;
    for (QAction *a : {actPhaseSearch, actPhaseSave, actEditMvmt})
        phaseButtons->addWidget(ActionButton(a, tshPhase));
    phaseButtons->addStretch();
    auto *splitButtons = new QHBoxLayout;
    for (QAction *a : {actSplitMultiCopy, actSplitValidate, actSplitSearch, actSplitSave})
        splitButtons->addWidget(ActionButton(a, tshPhase));
    splitButtons->addStretch();
    auto *page = static_cast<QVBoxLayout *>(tshPhase->layout());
    page->insertLayout(1, phaseButtons);
    page->addLayout(splitButtons);
}

void TFormTcdvTod::Retranslate()
{
    TfrmBase::Retranslate();
    for (QAction *a : findChildren<QAction *>()) {
        const QString text = Tx(a->objectName() + QStringLiteral(".Caption"));
        if (!a->objectName().isEmpty() && !text.isEmpty() && text != a->objectName() + QStringLiteral(".Caption"))
            a->setText(text);
    }
    btnClose->setText(Tx(QStringLiteral("actClose.Caption")));
    pclTCDVTOD->setTabText(0, Tx(QStringLiteral("tshPhase.Caption")));
    pclTCDVTOD->setTabText(1, Tx(QStringLiteral("tshSignalMap.Caption")));
    pclTCDVTOD->setTabText(2, Tx(QStringLiteral("tshInOutPed.Caption")));
    gtvPhase->Retranslate(TcdvTod::TextTable);
    gtvSplit->Retranslate(TcdvTod::TextTable);
    ApplySplitBands();
}

// The phase band of the time-plan grid carries the phase numbers 1..8 under
// its caption, each over the A and B split of that phase.
void TFormTcdvTod::ApplySplitBands()
{
    QList<TGridBand> bands = gtvSplit->Header()->Bands();
    const QString phase = Tx(QStringLiteral("bndPhase.Caption"));
    for (TGridBand &b : bands) {
        if (b.Caption == phase) {
            b.Parts.clear();
            for (int n = 1; n <= 8; ++n)
                b.Parts << QString::number(n);
        }
    }
    gtvSplit->Header()->SetBands(bands);
}

bool TFormTcdvTod::Shown() const
{
    return DM && lblTCDV_NAME->text() != DM->T_NotExist;
}

bool TFormTcdvTod::PhaseEdited() const
{
    return FPhaseModel->HasChanges();
}

bool TFormTcdvTod::SplitEdited() const
{
    return FSplitModel->HasChanges();
}

int TFormTcdvTod::PlanNumber() const
{
    return ClampPlanNumber(spnTODNo->value());
}

void TFormTcdvTod::UpdateActions()
{
    if (!actPhaseSave)
        return;
    const bool shown = Shown();
    bool copyChecked = false;
    for (QCheckBox *b : grpSelSplit)
        copyChecked = copyChecked || (b->isChecked() && b->isEnabled());
    for (QAction *a : {actPhaseSearch, actSplitSearch, actSplitValidate})
        a->setEnabled(shown);
    actPhaseSave->setEnabled(shown && PhaseEdited());
    actSplitSave->setEnabled(shown && SplitEdited());
    actSplitMultiCopy->setEnabled(shown && copyChecked && !IsVirtual());
    actEditMvmt->setEnabled(shown);
    for (QAction *a : {actPhaseCopy, actPhasePaste, actPhaseDel, actSplitCopy, actPhaseExport, actSplitExport})
        a->setEnabled(FSearched);
    // A virtual intersection shows its main intersection's time plan: nothing of it may change here.
    for (QAction *a : {actSplitPaste, actSplitPasteAll, actSplitDel})
        a->setEnabled(FSearched && !IsVirtual());
}

// ------------------------------------------------------------ intersection and class

void TFormTcdvTod::SetTCDV_ID(int lcNo)
{
    FSearched = false;
    FTCDV_ID = lcNo;
    FLCType = GetLcTypeEx(lcNo);
    lblTCDV_NAME->setText(GetLcName(lcNo));
    FSA_ID = GetLcSaNo(lcNo);
    lblSA_NAME->setText(FSA_ID != 0 ? QStringLiteral("%1 : %2").arg(FSA_ID).arg(GetSaName(FSA_ID)) : GetSaName(0));
    if (Shown()) {
        edtTCDV->setText(QString::number(lcNo));
        FSearched = true;
        FVirtualTCDV_ID = 0;
        QSqlQuery q(DM->Con());
        q.prepare(QStringLiteral(" SELECT MAIN_LCNO FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO "));
        q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
        if (DM->QueryOpen(q, this))
            FVirtualTCDV_ID = q.value(0).isNull() ? 0 : q.value(0).toInt();
        pclTCDVTOD->setTabVisible(1, !IsVirtual());
        pclTCDVTOD->setTabVisible(2, !IsVirtual());
        LoadAll();
    } else {
        FVirtualTCDV_ID = 0;
        ClearGrids();
    }
    if (FPhaseModel->RecordCount() > 0)
        gtvPhase->FocusRecord(0);
    if (FSplitModel->RecordCount() > 0)
        gtvSplit->FocusRecord(0);
    UpdateActions();
}

void TFormTcdvTod::PhaseRowFocused(int rec)
{
    if (IsVirtual())
        return;
    const int col = FSplitModel->ColumnIndex(SplitColumnOfPhaseRow(*FPhaseModel, rec));
    if (col < 0 || gtvSplit->DisplayCount() == 0)
        return;
    int splitRec = gtvSplit->FocusedRecord();
    if (splitRec < 0)
        splitRec = gtvSplit->RecordAtDisplay(0);
    gtvSplit->FocusRecord(splitRec, col);
}

void TFormTcdvTod::ClearGrids()
{
    FPhaseModel->Clear();
    FSplitModel->Clear();
}

void TFormTcdvTod::SetPLAN_CLSS(int index)
{
    FPLAN_CLSS = index + 1;
    LoadAll();
}

void TFormTcdvTod::SetupByLcType()
{
    QStringList current;
    for (int i = 0; i < cbxGennType->count(); ++i)
        current << cbxGennType->itemText(i);
    const int remembered = cbxGennType->currentIndex();
    const TPlanClassSetup s = TcdvTod::SetupByLcType(FLCType, current, remembered);
    {
        QSignalBlocker block(cbxGennType);
        if (s.Changed) {
            cbxGennType->clear();
            cbxGennType->addItems(s.Entries);
        }
        cbxGennType->setCurrentIndex(s.Index);
    }
    // The grids hold the class the list shows: a moved index takes the class along.
    if (s.Index != remembered || FPLAN_CLSS > s.Entries.size())
        FPLAN_CLSS = s.Index + 1;
    const bool inOut = FLCType != lct2004 && !IsVirtual();
    if (!inOut && pclTCDVTOD->currentWidget() == tshInOutPed)
        pclTCDVTOD->setCurrentWidget(tshPhase);
    pclTCDVTOD->setTabVisible(2, inOut);
}

void TFormTcdvTod::LoadAll()
{
    SetupByLcType();
    LoadPhaseGrid();
    LoadSplitGrid();
    CheckPlanNumbers();
    UpdateActions();
}

void TFormTcdvTod::LoadPhaseGrid()
{
    QString error;
    gtvPhase->PostEdit();
    if (TcdvTod::LoadPhaseGrid(DM->Con(), FPhaseModel, FTCDV_ID, FPLAN_CLSS, FVirtualTCDV_ID, &error) < 0)
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->Text(QStringLiteral("IDS_5")), DM->Text(QStringLiteral("IDS_4")), error,
                   mkError);
    else if (FPhaseModel->RecordCount() > 0)
        gtvPhase->FocusRecord(0);
    UpdateActions();
}

void TFormTcdvTod::LoadSplitGrid()
{
    QString error;
    gtvSplit->PostEdit();
    if (!TcdvTod::LoadSplitGrid(DM->Con(), FSplitModel, FTCDV_ID, FSA_ID, PlanNumber(), FVirtualTCDV_ID, &error))
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->Text(QStringLiteral("IDS_5")), DM->Text(QStringLiteral("IDS_4")), error,
                   mkError);
    MergeEqualNeighbourCells(gtvSplit, FSplitModel->ColumnIndex(QStringLiteral("SA_APLANINDEX")));
    UpdateActions();
}

void TFormTcdvTod::CheckPlanNumbers()
{
    const QVector<int> chk = TcdvTod::CheckPlanNumbers(DM->Con(), DM->DBInfo().DBType, FSA_ID, FTCDV_ID);
    for (int i = 0; i < chk.size() && i < grpSelSplit.size(); ++i) {
        QPalette p = grpSelSplit[i]->palette();
        p.setColor(QPalette::WindowText, chk[i] == 1 ? palette().color(QPalette::WindowText) : QColor(255, 0, 0));
        grpSelSplit[i]->setPalette(p);
        grpSelSplit[i]->setProperty("planComplete", chk[i] == 1);
    }
}

void TFormTcdvTod::PickIntersection()
{
    auto *picker = new TfrmTCDV_S(this);
    picker->setWindowTitle(DM->T_TcdvSTitle);
    picker->chxOnlySgnl->setChecked(true);
    picker->chxOnlySgnl->setVisible(false);
    picker->FTCDV_ID = FTCDV_ID;
    if (picker->exec() == QDialog::Accepted)
        SetTCDV_ID(picker->qryTCDVINT_LCNO().toInt());
    delete picker;
}

void TFormTcdvTod::spnTODNoChanged(int value)
{
    const int plan = ClampPlanNumber(value);
    for (int i = 0; i < grpSelSplit.size(); ++i) {
        grpSelSplit[i]->setEnabled(i + 1 != plan);
        if (i + 1 == plan)
            grpSelSplit[i]->setChecked(false);
    }
    if (Shown())
        actSplitSearchExecute();
    UpdateActions();
}

// ------------------------------------------------------------ phases

void TFormTcdvTod::actPhaseSearchExecute()
{
    if (edtTCDV->text().toInt() == FTCDV_ID)
        LoadPhaseGrid();
    else
        SetTCDV_ID(edtTCDV->text().toInt());
}

void TFormTcdvTod::actPhaseSaveExecute()
{
    if (ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveQryMsg, DM->T_SaveQryCaption, QString(), mkQuestion) != mrYes)
        return;
    gtvPhase->PostEdit();
    const TGridCheckResult check = CheckPhaseRows(*FPhaseModel);
    if (!check.Ok) {
        gtvPhase->FocusRecord(check.Record, check.Column);
        ShowMsgDlg(this, DM->G_APP_TITLE,
                   check.Problem == TGridCheckResult::Required ? DM->T_CheckRequiredField : DM->T_DuplicateDataMsg,
                   DM->T_ValidationCaption, QString(), mkError);
        return;
    }
    const TGridSaveResult r = SavePhases(DM->Con(), *FPhaseModel, FTCDV_ID, FPLAN_CLSS, IsVirtual());
    if (!r.Ok) {
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveFailMsg, DM->T_SaveFailCaption, r.Error, mkError);
        return;
    }
    if (r.Count > 0)
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveSuccessMsg, DM->T_SaveSuccessCaption, QString(), mkInformation);
    actPhaseSearchExecute();
    FREFRESH_TCDV_TOD = true;
}

void TFormTcdvTod::actPhaseCopyExecute()
{
    const int rec = gtvPhase->FocusedRecord();
    if (rec >= 0)
        QApplication::clipboard()->setText(PhaseRowText(*FPhaseModel, rec));
}

void TFormTcdvTod::ShowRefused(const QString &message)
{
    ShowMsgDlg(this, DM->G_APP_TITLE, message, Tx(QStringLiteral("IDS_676")), QString(), mkWarning);
}

void TFormTcdvTod::actPhasePasteExecute()
{
    const int rec = gtvPhase->FocusedRecord();
    if (rec < 0)
        return;
    gtvPhase->PostEdit();
    const TEditResult r = PastePhaseRow(FPhaseModel, rec, QApplication::clipboard()->text(), IsVirtual());
    if (!r.Ok)
        ShowRefused(r.Message);
    UpdateActions();
}

void TFormTcdvTod::actPhaseDelExecute()
{
    DelNoAddExecute(gtvPhase, FPhaseModel->StateIdx());
    UpdateActions();
}

void TFormTcdvTod::actEditMvmtExecute()
{
    if (QWidget *open = TWindowRegistry::Find(kMvmtEditor)) {
        TWindowRegistry::BringToFront(open);
        return;
    }
    PSTT_LC_INFO live;
    if (FMain && FMain->LiveLcInfoSet())
        live = FMain->LiveLcInfoSet()->GetLcInfo(FTCDV_ID);
    const TWindowClassHooks *hooks = TMainOpeners::Hooks(kMvmtEditor);
    if (!live || !hooks || !hooks->Create) {
        ShowMsgDlg(this, DM->G_APP_TITLE, Tx(QStringLiteral("IDS_938")), actEditMvmt->text(), QString(), mkInformation);
        return;
    }
    TOpenContext ctx;
    ctx.Main = FMain;
    ctx.Owner = this;
    ctx.ActionName = actEditMvmt->objectName();
    ctx.Caption = actEditMvmt->text();
    ctx.TCDV_ID = FTCDV_ID;
    QWidget *w = hooks->Create(ctx);
    if (!w)
        return;
    w->setWindowFlag(Qt::Window, true);
    w->setWindowTitle(actEditMvmt->text());
    TMainOpeners::Apply(*hooks, w, QStringLiteral("TCDV_ID"), FTCDV_ID);
    TMainOpeners::Apply(*hooks, w, QStringLiteral("FLat"), live->cx.str());
    TMainOpeners::Apply(*hooks, w, QStringLiteral("FLng"), live->cy.str());
    TMainOpeners::Apply(*hooks, w, QStringLiteral("PlanClass"), FPLAN_CLSS);
    TWindowRegistry::Register(kMvmtEditor, w);
    TWindowRegistry::Show(w);
}

// ------------------------------------------------------------ time plans

void TFormTcdvTod::actSplitSearchExecute()
{
    if (edtTCDV->text().toInt() != FTCDV_ID) {
        SetTCDV_ID(edtTCDV->text().toInt());
        return;
    }
    LoadSplitGrid();
    CheckPlanNumbers();
}

void TFormTcdvTod::actSplitValidateExecute()
{
    QString mark;
    const int rec = ValidateSplits(FSplitModel, &mark);
    if (rec < 0) {
        ShowMsgDlg(this, DM->G_APP_TITLE, Tx(QStringLiteral("IDS_942")), Tx(QStringLiteral("IDS_943")), QString(),
                   mkInformation);
        return;
    }
    int col = gtvSplit->FocusedColumn();
    const QString name = col >= 0 ? FSplitModel->Column(col).Name : QString();
    if (mark == QLatin1String("1") && name.startsWith(QLatin1String("INT_BSPLIT")))
        col -= 1;
    else if (mark == QLatin1String("2") && name.startsWith(QLatin1String("INT_ASPLIT")))
        col += 1;
    gtvSplit->FocusRecord(rec, col);
    ShowMsgDlg(this, DM->G_APP_TITLE, Tx(QStringLiteral("IDS_941")), Tx(QStringLiteral("IDS_943")), QString(), mkWarning);
}

void TFormTcdvTod::actSplitSaveExecute()
{
    if (ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveQryMsg, DM->T_SaveQryCaption, QString(), mkQuestion) != mrYes)
        return;
    gtvSplit->PostEdit();
    const TGridCheckResult check = CheckSplitRows(*FSplitModel);
    if (!check.Ok) {
        gtvSplit->FocusRecord(check.Record, check.Column);
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_CheckRequiredField, DM->T_ValidationCaption, QString(), mkError);
        return;
    }
    // Every deleted row asks; the last answer decides.
    bool keepCycles = false;
    for (int rec = 0; rec < FSplitModel->RecordCount(); ++rec) {
        if (FSplitModel->RowStateOf(rec) != TRowState::Deleted)
            continue;
        keepCycles = ShowMsgDlg(this, DM->G_APP_TITLE, Tx(QStringLiteral("IDS_936")), Tx(QStringLiteral("IDS_937")),
                                QString(), mkQuestion)
                  == mrNo;
    }
    const TSplitSaveResult r =
        SaveSplits(DM->Con(), DM->DBInfo().DBType, *FSplitModel, FTCDV_ID, FSA_ID, PlanNumber(), keepCycles);
    if (!r.Ok) {
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveFailMsg, DM->T_SaveFailCaption, r.Error, mkError);
        return;
    }
    if (r.Count > 0)
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveSuccessMsg, DM->T_SaveSuccessCaption, QString(), mkInformation);
    actSplitSearchExecute();
    FREFRESH_TCDV_TOD = true;
}

void TFormTcdvTod::actSplitMultiCopyExecute()
{
    QStringList names;
    QList<int> targets;
    for (int i = 0; i < grpSelSplit.size(); ++i) {
        if (grpSelSplit[i]->isChecked()) {
            names << grpSelSplit[i]->text();
            targets << i + 1;
        }
    }
    const QString question = Tx(QStringLiteral("IDS_934")).replace(QStringLiteral("%s"), names.join(QLatin1Char(',')));
    if (ShowMsgDlg(this, DM->G_APP_TITLE, question, Tx(QStringLiteral("IDS_935")), QString(), mkQuestion) != mrYes)
        return;
    const TSplitSaveResult r =
        CopyPlan(DM->Con(), FSA_ID, IsVirtual() ? FVirtualTCDV_ID : FTCDV_ID, PlanNumber(), targets);
    if (!r.Ok) {
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveFailMsg, DM->T_SaveFailCaption, r.Error, mkError);
        return;
    }
    ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveSuccessMsg, DM->T_SaveSuccessCaption, QString(), mkInformation);
    FREFRESH_TCDV_TOD = true;
}

void TFormTcdvTod::actSplitCopyExecute()
{
    const int rec = gtvSplit->FocusedRecord();
    if (rec >= 0)
        QApplication::clipboard()->setText(SplitRowText(*FSplitModel, rec));
}

void TFormTcdvTod::PasteSplit(int mode)
{
    const int rec = gtvSplit->FocusedRecord();
    if (rec < 0 || IsVirtual())
        return;
    gtvSplit->PostEdit();
    const TEditResult r =
        PasteSplitRow(FSplitModel, rec, QApplication::clipboard()->text(), TSplitPasteMode(mode), IsVirtual());
    if (!r.Ok)
        ShowRefused(r.Message);
    UpdateActions();
}

void TFormTcdvTod::actSplitPasteExecute()
{
    const int col = gtvSplit->FocusedColumn();
    PasteSplit(PasteModeForColumn(col >= 0 ? FSplitModel->Column(col).Name : QString()));
}

void TFormTcdvTod::actSplitPasteAllExecute()
{
    PasteSplit(spmAll);
}

void TFormTcdvTod::actSplitDelExecute()
{
    if (IsVirtual())
        return;
    DelNoAddExecute(gtvSplit, FSplitModel->StateIdx());
    UpdateActions();
}

void TFormTcdvTod::ExportGrid(TGridView *grid, const QString &prefixKey)
{
    const QString name = lblTCDV_NAME->text() + Tx(prefixKey) + cbxGennType->currentText() + QStringLiteral(")");
    const QString file = ShowSaveDialog(this, windowTitle(), DM->G_DIALOG_PATH, name,
                                        QStringLiteral("Excel 통합 문서(*.xlsx)|*.xlsx"), QStringLiteral("xlsx"));
    if (file.isEmpty())
        return;
    DM->G_DIALOG_PATH = QFileInfo(file).absolutePath();
    QString error;
    if (!ExportGridToXlsx(grid, file, &error)) {
        ShowMsgDlg(this, DM->G_APP_TITLE, DM->T_SaveFailMsg, DM->T_SaveFailCaption, error, mkError);
        return;
    }
    OpenExcel(this, file, DM->G_EXCEL_PATH, DM->T_FileOpenMsg, DM->T_FileOpenCaption);
}

// ------------------------------------------------------------ life cycle

void TFormTcdvTod::showEvent(QShowEvent *e)
{
    TfrmBase::showEvent(e);
    if (FShownOnce)
        return;
    FShownOnce = true;
    {
        QSignalBlocker block(cbxGennType);
        cbxGennType->setCurrentIndex(0);
    }
    SetPLAN_CLSS(0);
}

void TFormTcdvTod::closeEvent(QCloseEvent *e)
{
    TfrmBase::closeEvent(e);
    if (e->isAccepted())
        RaiseRefresh();
}

void TFormTcdvTod::done(int result)
{
    RaiseRefresh();
    TfrmBase::done(result);
}

// Raised once, after a committed save only.
void TFormTcdvTod::RaiseRefresh()
{
    if (!FREFRESH_TCDV_TOD)
        return;
    RaiseInAppMessage(&TInAppMessage::REFRESH_TCDV_TOD);
    FREFRESH_TCDV_TOD = false;
}
