#include "core/untBaseGrid.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/ActionButton.h"
#include "core/FileDialogService.h"
#include "core/GridExport.h"
#include "core/LookupUnit.h"
#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untSA_S.h"
#include "core/untTCDV_S.h"

namespace {
QString AppTitle() { return KitAppTitle(); }
} // namespace

TfrmBaseGrid::TfrmBaseGrid(QWidget *owner, const QString &table) : TfrmBase(owner, table)
{
    resize(800, 500);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    pnlTop = new QWidget(this);
    pnlTop->setObjectName("pnlTop");
    pnlTop->setFixedHeight(37);
    pnlTopLayout = new QHBoxLayout(pnlTop);
    pnlTopLayout->setContentsMargins(5, 3, 5, 3);
    root->addWidget(pnlTop);

    pnlClient = new QWidget(this);
    pnlClient->setObjectName("pnlClient");
    auto *cl = new QVBoxLayout(pnlClient);
    cl->setContentsMargins(5, 5, 5, 5);
    cxGrid = new TGridView(pnlClient);
    cxGrid->setObjectName("cxGrid");
    cl->addWidget(cxGrid);
    root->addWidget(pnlClient, 1);

    pnlBottom = new QWidget(this);
    pnlBottom->setObjectName("pnlBottom");
    pnlBottom->setFixedHeight(37);
    pnlBottomLayout = new QHBoxLayout(pnlBottom);
    pnlBottomLayout->setContentsMargins(5, 3, 5, 3);
    auto button = [this](QPushButton *&b, const char *name, QAction *a) {
        b = NewActionButton(pnlBottom, name, a, true);
        // Enter in a box or a cell never presses a button of the bar (a search
        // would reload the grid over the unsaved edits).
        b->setAutoDefault(false);
        b->setDefault(false);
    };
    button(btnSearch, "btnSearch", actSearch);
    button(btnAdd, "btnAdd", actAdd);
    button(btnDel, "btnDel", actDel);
    button(btnSave, "btnSave", actSave);
    button(btnExport, "btnExport", actExport);
    button(btnClose, "btnClose", actClose);
    for (QPushButton *b : {btnSearch, btnAdd, btnDel, btnSave, btnExport})
        pnlBottomLayout->addWidget(b);
    pnlBottomLayout->addStretch(1);
    pnlBottomLayout->addWidget(btnClose);
    root->addWidget(pnlBottom);

    FController = new TGridController(cxGrid, this);
    FController->SetActionSearch(actSearch);
    FController->SetSaveProc([this](const TGridRow &row) { SaveRow(row); });
    FController->SetValidateProc([this](bool dup) { return Validate(cxGrid, dup); });
    connect(FController, &TGridController::EditedChanged, this, &TfrmBaseGrid::UpdateActions);
    connect(cxGrid, &TGridView::GridModelChanged, this, &TfrmBaseGrid::UpdateActions);

    connect(actSearch, &QAction::triggered, this, [this] { actSearchExecute(); });
    connect(actAdd, &QAction::triggered, this, [this] { actAddExecute(); });
    connect(actDel, &QAction::triggered, this, [this] { actDelExecute(); });
    connect(actSave, &QAction::triggered, this, [this] { actSaveExecute(); });
    connect(actExport, &QAction::triggered, this, [this] { actExportExecute(); });

    InitLanguage();
    UpdateActions();
}

TGridModel *TfrmBaseGrid::SetGridColumns(const TGridColumns &columns, const QStringList &primaryKeys)
{
    auto *m = new TGridModel(this);
    m->SetColumns(columns);
    m->SetPrimaryKeys(primaryKeys);
    cxGrid->SetGridModel(m);
    return m;
}

int TfrmBaseGrid::StateIdx() const
{
    return GridModel() ? GridModel()->StateIdx() : -1;
}

int TfrmBaseGrid::KeyValueIdx() const
{
    return GridModel() ? GridModel()->KeyValueIdx() : -1;
}

int TfrmBaseGrid::PrimaryKeyIdx() const
{
    const QList<int> keys = GridModel() ? GridModel()->PrimaryKeyIdx() : QList<int>{};
    return keys.isEmpty() ? -1 : keys.first();
}

void TfrmBaseGrid::SetPrimaryKeyIdx(int idx)
{
    if (TGridModel *m = GridModel())
        m->SetPrimaryKeyIdx(idx >= 0 ? QList<int>{idx} : QList<int>{});
}

void TfrmBaseGrid::SetSearched(bool searched)
{
    FSearched = searched;
    FController->SetSearched(searched);
    UpdateActions();
}

bool TfrmBaseGrid::Edited() const
{
    return FController->Edited();
}

void TfrmBaseGrid::SetEdited(bool edited)
{
    FController->SetEdited(edited);
    UpdateActions();
}

void TfrmBaseGrid::FollowModel()
{
    TGridModel *m = GridModel();
    if (m == FWatched)
        return;
    if (FWatched)
        disconnect(FWatched, nullptr, this, nullptr);
    FWatched = m;
    if (m) {
        connect(m, &TGridModel::StateChanged, this, &TfrmBaseGrid::UpdateActions);
        connect(m, &TGridModel::RecordsChanged, this, &TfrmBaseGrid::UpdateActions);
        connect(m, &QAbstractItemModel::modelReset, this, &TfrmBaseGrid::UpdateActions);
    }
}

void TfrmBaseGrid::UpdateActions()
{
    FollowModel();
    const bool view = HasView();
    const bool edited = Edited();
    actSearch->setEnabled(view && FSearched);
    actAdd->setEnabled(view && FSearched);
    actDel->setEnabled(view && FSearched);
    actSave->setEnabled(view && edited && FSearched);
    actExport->setEnabled(view && !edited && FSearched);
}

void TfrmBaseGrid::ShowNumber(QLineEdit *edit, QLabel *label, int value, const QString &name, bool exists)
{
    if (label)
        label->setText(name);
    if (exists && edit && edit->text().trimmed() != QString::number(value)) {
        const QSignalBlocker block(edit);
        edit->setText(QString::number(value));
    }
}

void TfrmBaseGrid::SetSA_ID(int Value)
{
    FSA_ID = Value;
    SetSearched(false);
    const bool exists = SaExists(Value);
    ShowNumber(FSAEdit, FSAName, Value, GetSaName(Value), exists);
    if (exists) {
        SetSearched(true);
        actSearch->trigger();
    } else if (TGridModel *m = GridModel()) {
        m->Clear();
        SetEdited(false);
    }
}

void TfrmBaseGrid::SetTCDV_ID(int Value)
{
    FTCDV_ID = Value;
    FLCType = GetLcTypeEx(Value);
    SetSearched(false);
    const bool exists = LcExists(Value);
    ShowNumber(FTCDVEdit, FTCDVName, Value, GetLcName(Value), exists);
    if (exists) {
        SetSearched(true);
        actSearch->trigger();
    } else if (TGridModel *m = GridModel()) {
        m->Clear();
        SetEdited(false);
    }
}

QString TfrmBaseGrid::DuplicateText() const
{
    return KIT_T(T_DuplicateDataMsg);
}

TRtnBoolStr TfrmBaseGrid::Validate(TGridView *TableView, bool DuplicationCheck)
{
    if (!TableView || !TableView->GridModel())
        return TRtnBoolStr();
    const TGridModel &m = *TableView->GridModel();
    return ValidateEx(TableView, m.PrimaryKeyIdx(), RequiredColumns(m), m.StateIdx(), DuplicationCheck,
                      KIT_T(T_CheckRequiredField), DuplicateText());
}

TRtnBoolStr TfrmBaseGrid::Duplicate(TGridView *TableView, int AColumnIndex)
{
    TRtnBoolStr r;
    if (!TableView || !TableView->GridModel())
        return r;
    TableView->PostEdit();
    const TGridModel &m = *TableView->GridModel();
    const TGridCheckResult c = CheckGridRows(m, {AColumnIndex}, {}, m.StateIdx(), true, true);
    if (c.Ok)
        return r;
    r.rtn = false;
    r.msg = DuplicateText();
    TableView->FocusRecord(c.Record, c.Column);
    return r;
}

void TfrmBaseGrid::ShowValidation(const TRtnBoolStr &result)
{
    if (result.rtn)
        return;
    ShowMsgDlg(this, AppTitle(), result.msg, KIT_T(T_ValidationCaption), QString(), mkError);
    cxGrid->OpenFocusedEditor();
}

void TfrmBaseGrid::actSearchExecute()
{
    TGridModel *m = GridModel();
    if (!m)
        return;
    m->BeginUpdate();
    m->Clear();
    Load();
    m->EndUpdate();
    FController->SetEdited(false);
    UpdateActions();
}

void TfrmBaseGrid::SaveRow(const TGridRow &)
{
    throw EGridSaveError(QStringLiteral("%1: no row save").arg(QString::fromLatin1(metaObject()->className())));
}

void TfrmBaseGrid::actAddExecute()
{
    TGridModel *m = GridModel();
    if (!m)
        return;
    cxGrid->PostEdit();
    const int rec = m->AppendRecord();
    cxGrid->FocusRecord(rec);
    UpdateActions();
}

void TfrmBaseGrid::actDelExecute()
{
    if (!HasView())
        return;
    DelExecute(cxGrid, KeyValueIdx(), StateIdx());
    UpdateActions();
}

bool TfrmBaseGrid::ConfirmSave()
{
    return ShowMsgDlg(this, AppTitle(), KIT_T(T_SaveQryMsg), KIT_T(T_SaveQryCaption), QString(),
                      mkQuestion)
           == mrYes;
}

bool TfrmBaseGrid::actSaveExecute()
{
    if (!HasView())
        return false;
    cxGrid->PostEdit();
    if (!ConfirmSave())
        return false;
    const bool ok = FController->Save(false, true);
    UpdateActions();
    return ok;
}

bool TfrmBaseGrid::CanClose()
{
    return FController->ConfirmDiscard();
}

void TfrmBaseGrid::actExportExecute()
{
    if (HasView())
        SaveGridToExcel(cxGrid);
}

bool TfrmBaseGrid::PickTCDV(int *value)
{
    TfrmTCDV_S dlg(this);
    dlg.setWindowTitle(KIT_T(T_TcdvSTitle));
    dlg.chxOnlySgnl->setChecked(true);
    dlg.chxOnlySgnl->setVisible(false);
    dlg.FTCDV_ID = FTCDV_ID;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *value = dlg.qryTCDVINT_LCNO().toString().toInt();
    return true;
}

bool TfrmBaseGrid::PickSA(int *value)
{
    TfrmSA_S dlg(this);
    dlg.setWindowTitle(KIT_T(T_SaSTitle));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *value = dlg.SA_ID();
    return true;
}

void TfrmBaseGrid::edtTCDVButtonClick()
{
    int v = 0;
    if (PickTCDV(&v))
        ApplyNumber(IdEditKindLc, v);
}

void TfrmBaseGrid::edtSAButtonClick()
{
    int v = 0;
    if (PickSA(&v))
        ApplyNumber(IdEditKindSa, v);
}

void TfrmBaseGrid::ApplyNumber(int kind, int value)
{
    const bool lc = kind == IdEditKindLc;
    QLineEdit *edit = lc ? FTCDVEdit.data() : FSAEdit.data();
    const int current = lc ? FTCDV_ID : FSA_ID;
    // The number already shown: nothing to load (Enter keeps the edits).
    if (value == current && FSearched)
        return;
    if (!FController->ConfirmDiscard()) {
        if (edit) {
            const QSignalBlocker block(edit);
            edit->setText(QString::number(current));
        }
        return;
    }
    if (lc)
        SetTCDV_ID(value);
    else
        SetSA_ID(value);
}

QAction *TfrmBaseGrid::AttachNumberEdit(QLineEdit *edit, int kind)
{
    connect(edit, &QLineEdit::textEdited, this,
            [this, kind](const QString &t) { ApplyNumber(kind, t.trimmed().toInt()); });
    InstallIdEditKeys(edit, kind, nullptr, nullptr, [this, kind](int n) { ApplyNumber(kind, n); }, {}, false,
                      TIdEditStep::Apply);
    QAction *pick = edit->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                    QLineEdit::TrailingPosition);
    pick->setObjectName(edit->objectName() + QStringLiteral("Button"));
    return pick;
}

void TfrmBaseGrid::AttachTCDVEdit(QLineEdit *edit, QLabel *nameLabel)
{
    FTCDVName = nameLabel;
    if (!edit)
        return;
    FTCDVEdit = edit;
    connect(AttachNumberEdit(edit, IdEditKindLc), &QAction::triggered, this, &TfrmBaseGrid::edtTCDVButtonClick);
}

namespace {
void buildNumberRow(QWidget *panel, QHBoxLayout *layout, QLabel *&caption, QLineEdit *&edit, QLabel *&name,
                    const QString &boxName)
{
    caption = new QLabel(panel);
    edit = new QLineEdit(panel);
    edit->setObjectName(boxName);
    edit->setFixedWidth(90);
    name = new QLabel(panel);
    layout->addWidget(caption);
    layout->addWidget(edit);
    layout->addWidget(name, 1);
}
} // namespace

void TfrmBaseGrid::AddTCDVBox(QLabel *&caption, QLineEdit *&edit, QLabel *&name, const QString &boxName)
{
    buildNumberRow(pnlTop, pnlTopLayout, caption, edit, name, boxName);
    AttachTCDVEdit(edit, name);
}

void TfrmBaseGrid::AddSABox(QLabel *&caption, QLineEdit *&edit, QLabel *&name, const QString &boxName)
{
    buildNumberRow(pnlTop, pnlTopLayout, caption, edit, name, boxName);
    AttachSAEdit(edit, name);
}

void TfrmBaseGrid::AttachSAEdit(QLineEdit *edit, QLabel *nameLabel)
{
    FSAName = nameLabel;
    if (!edit)
        return;
    FSAEdit = edit;
    connect(AttachNumberEdit(edit, IdEditKindSa), &QAction::triggered, this, &TfrmBaseGrid::edtSAButtonClick);
}

void TfrmBaseGrid::resizeEvent(QResizeEvent *e)
{
    TfrmBase::resizeEvent(e);
    if (HasView() && FGridColumnWidth != 0)
        cxGrid->SetFitColumns(width() >= FGridColumnWidth);
}

void TfrmBaseGrid::Retranslate()
{
    TfrmBase::Retranslate();
    SetActionButtonTexts({{btnSearch, actSearch}, {btnAdd, actAdd}, {btnDel, actDel}, {btnSave, actSave},
                          {btnExport, actExport}, {btnClose, actClose}});
    if (cxGrid)
        cxGrid->Retranslate(TextTable());
}
