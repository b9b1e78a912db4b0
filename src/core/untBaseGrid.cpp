#include "core/untBaseGrid.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
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
QString NotExist() { return KIT_T(T_NotExist); }
constexpr const char *KindProperty = "scNumberKind"; // 0 intersection, 1 group
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

    connect(actAdd, &QAction::triggered, this, [this] { actAddExecute(); });
    connect(actDel, &QAction::triggered, this, [this] { actDelExecute(); });
    connect(actExport, &QAction::triggered, this, [this] { actExportExecute(); });
    // actSave: the descendant connects its own save handler, which calls actSaveExecute.

    InitLanguage();
    UpdateActions();
}

int TfrmBaseGrid::StateIdx() const
{
    if (FStateIdx >= 0)
        return FStateIdx;
    return GridModel() ? GridModel()->StateIdx() : -1;
}

int TfrmBaseGrid::KeyValueIdx() const
{
    if (FKeyValueIdx >= 0)
        return FKeyValueIdx;
    return GridModel() ? GridModel()->KeyValueIdx() : -1;
}

void TfrmBaseGrid::SetSearched(bool searched)
{
    FSearched = searched;
    UpdateActions();
}

bool TfrmBaseGrid::Edited() const
{
    if (FEditedForced)
        return true;
    TGridModel *m = GridModel();
    if (!m)
        return false;
    const int st = StateIdx();
    if (st < 0)
        return false;
    for (int r = 0; r < m->RecordCount(); ++r)
        if (m->Text(r, st) != RowState::Unchanged)
            return true;
    return false;
}

void TfrmBaseGrid::SetEdited(bool edited)
{
    FEditedForced = edited;
    UpdateActions();
}

void TfrmBaseGrid::UpdateActions()
{
    // Follow the model the descendant gave the grid.
    if (TGridModel *m = GridModel(); m != FWatched) {
        if (FWatched)
            disconnect(FWatched, nullptr, this, nullptr);
        FWatched = m;
        if (m) {
            connect(m, &TGridModel::StateChanged, this, &TfrmBaseGrid::UpdateActions);
            connect(m, &TGridModel::RecordsChanged, this, &TfrmBaseGrid::UpdateActions);
            connect(m, &QAbstractItemModel::modelReset, this, &TfrmBaseGrid::UpdateActions);
        }
    }
    const bool view = HasView();
    const bool edited = Edited();
    actSearch->setEnabled(view && FSearched);
    actAdd->setEnabled(view && FSearched);
    actDel->setEnabled(view && FSearched);
    actSave->setEnabled(view && edited && FSearched);
    actExport->setEnabled(view && !edited && FSearched);
}

void TfrmBaseGrid::SetSA_ID(int Value)
{
    FSA_ID = Value;
    UpdateActions();
}

void TfrmBaseGrid::SetTCDV_ID(int Value)
{
    FTCDV_ID = Value;
    FLCType = GetLcTypeEx(Value);
    UpdateActions();
}

TRtnBoolStr TfrmBaseGrid::Validate(TGridView *TableView, bool DuplicationCheck)
{
    if (!TableView || !TableView->GridModel())
        return TRtnBoolStr();
    const TGridModel &m = *TableView->GridModel();
    const int st = TableView == cxGrid ? StateIdx() : m.StateIdx();
    const QList<int> keys = FPrimaryKeyIdx >= 0 ? QList<int>{FPrimaryKeyIdx} : QList<int>{};
    return ValidateEx(TableView, keys, RequiredColumns(m), st, DuplicationCheck,
                      KIT_T(T_CheckRequiredField), KIT_T(T_DuplicateDataMsg));
}

TRtnBoolStr TfrmBaseGrid::Duplicate(TGridView *TableView, int AColumnIndex)
{
    TRtnBoolStr r;
    if (!TableView || !TableView->GridModel())
        return r;
    TableView->PostEdit();
    const TGridModel &m = *TableView->GridModel();
    const int st = TableView == cxGrid ? StateIdx() : m.StateIdx();
    const TGridCheckResult c = CheckGridRows(m, {AColumnIndex}, {}, st, true, true);
    if (c.Ok)
        return r;
    r.rtn = false;
    r.msg = KIT_T(T_DuplicateDataMsg);
    TableView->FocusRecord(c.Record, c.Column);
    return r;
}

void TfrmBaseGrid::ShowValidation(const TRtnBoolStr &result)
{
    if (result.rtn)
        return;
    ShowMsgDlg(this, AppTitle(), result.msg,
               KIT_T(T_ValidationCaption), QString(),
               mkError);
    cxGrid->OpenFocusedEditor();
}

TGridController *TfrmBaseGrid::Controller()
{
    if (!FController) {
        FController = new TGridController(cxGrid, FPrimaryKeyIdx >= 0 ? QList<int>{FPrimaryKeyIdx} : QList<int>{},
                                          GridModel() ? RequiredColumns(*GridModel()) : QList<int>{},
                                          KeyValueIdx(), StateIdx(), actSearch);
        FController->SetSearched(FSearched);
    }
    return FController;
}

bool TfrmBaseGrid::SaveRows(const TRowSaveProc &proc, const QList<int> &columns)
{
    TGridController *c = Controller();
    c->SetPrimaryKeyIdx(FPrimaryKeyIdx >= 0 ? QList<int>{FPrimaryKeyIdx} : QList<int>{});
    c->SetKeyValueIdx(KeyValueIdx());
    c->SetStateIdx(StateIdx());
    const bool ok = c->SaveToDB(proc, columns);
    UpdateActions();
    return ok;
}

void TfrmBaseGrid::BeginLoad()
{
    if (TGridModel *m = GridModel()) {
        m->BeginUpdate();
        m->Clear();
    }
}

void TfrmBaseGrid::EndLoad()
{
    if (TGridModel *m = GridModel())
        m->EndUpdate();
    FEditedForced = false;
    UpdateActions();
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

bool TfrmBaseGrid::actSaveExecute()
{
    if (!HasView())
        return false;
    cxGrid->PostEdit();
    const int answer = ShowMsgDlg(this, AppTitle(), KIT_T(T_SaveQryMsg),
                                  KIT_T(T_SaveQryCaption),
                                  QString(), mkQuestion);
    return answer == mrYes;
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
    if (PickTCDV(&v)) {
        if (FTCDVEdit) {
            const QSignalBlocker block(FTCDVEdit);
            FTCDVEdit->setText(QString::number(v));
        }
        SetTCDV_ID(v);
    }
}

void TfrmBaseGrid::edtSAButtonClick()
{
    int v = 0;
    if (PickSA(&v)) {
        if (FSAEdit) {
            const QSignalBlocker block(FSAEdit);
            FSAEdit->setText(QString::number(v));
        }
        SetSA_ID(v);
    }
}

void TfrmBaseGrid::ApplyNumber(QLineEdit *edit, int kind, int value)
{
    if (kind == IdEditKindLc)
        SetTCDV_ID(value);
    else
        SetSA_ID(value);
    Q_UNUSED(edit);
}

QAction *TfrmBaseGrid::AttachNumberEdit(QLineEdit *edit, int kind)
{
    edit->setProperty(KindProperty, kind);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this,
            [this, edit, kind](const QString &t) { ApplyNumber(edit, kind, t.trimmed().toInt()); });
    QAction *pick = edit->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                    QLineEdit::TrailingPosition);
    pick->setObjectName(edit->objectName() + QStringLiteral("Button"));
    return pick;
}

void TfrmBaseGrid::AttachTCDVEdit(QLineEdit *edit)
{
    if (!edit)
        return;
    FTCDVEdit = edit;
    connect(AttachNumberEdit(edit, IdEditKindLc), &QAction::triggered, this, &TfrmBaseGrid::edtTCDVButtonClick);
}

void TfrmBaseGrid::AttachSAEdit(QLineEdit *edit)
{
    if (!edit)
        return;
    FSAEdit = edit;
    connect(AttachNumberEdit(edit, IdEditKindSa), &QAction::triggered, this, &TfrmBaseGrid::edtSAButtonClick);
}

bool TfrmBaseGrid::eventFilter(QObject *obj, QEvent *e)
{
    auto *edit = qobject_cast<QLineEdit *>(obj);
    if (edit && e->type() == QEvent::KeyPress && edit->property(KindProperty).isValid()) {
        auto *k = static_cast<QKeyEvent *>(e);
        const int kind = edit->property(KindProperty).toInt();
        const int number = edit->text().trimmed().toInt();
        if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
            int next = number + 1;
            if (k->key() == Qt::Key_Down) {
                const QString name = kind == IdEditKindLc ? GetLcName(number) : GetSaName(number);
                next = name != NotExist() ? number - 1 : number;
            }
            if (next > 0) {
                const int caret = edit->cursorPosition();
                {
                    const QSignalBlocker block(edit);
                    edit->setText(QString::number(next));
                }
                edit->setCursorPosition(qMin(caret, int(edit->text().size())));
                ApplyNumber(edit, kind, next);
            }
            return true;
        }
        if (k->key() == Qt::Key_Backspace)
            return false;
        const QString t = k->text();
        if (!t.isEmpty() && t.at(0).isPrint())
            return !(t.size() == 1 && t.at(0) >= '0' && t.at(0) <= '9');
        return false;
    }
    return TfrmBase::eventFilter(obj, e);
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
