#include "core/GridControllerUnit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "core/FileDialogService.h"
#include "core/GridExport.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace {

QString Tdm(QString TDM::*field, const char *key)
{
    if (DM)
        return DM->*field;
    return siText(QStringLiteral("TDM"), QString::fromLatin1(key));
}

QString AppTitle()
{
    if (DM && !DM->G_APP_TITLE.isEmpty())
        return DM->G_APP_TITLE;
    return siText(QStringLiteral("TDM"), QStringLiteral("strAPP_TITLE"));
}

struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TGridController::TGridController(TGridView *view, const QList<int> &primaryKeyIdx,
                                 const QList<int> &requiredIdx, int keyValueIdx, int stateIdx,
                                 QAction *actionSearch, TGridCustomDrawIndicatorCell drawIndicator,
                                 TGridEditValueChanged editValueChanged,
                                 TGridCustomDrawColumnHeader drawColumnHeader)
    : QObject(view)
    , FActionSearch(actionSearch)
    , FEditValueChanged(std::move(editValueChanged))
    , FDrawIndicator(std::move(drawIndicator))
{
    Init(view);
    if (TGridModel *m = Model()) {
        m->SetKeyValueIdx(keyValueIdx);
        m->SetStateIdx(stateIdx);
        m->SetPrimaryKeyIdx(primaryKeyIdx);
    }
    SetRequiredIdx(requiredIdx);
    if (view && drawColumnHeader)
        view->Header()->CustomDraw = std::move(drawColumnHeader);
}

TGridController::TGridController(TGridView *view, const QStringList &primaryKeys, QObject *parent)
    : QObject(parent ? parent : view)
{
    Init(view);
    if (TGridModel *m = Model())
        m->SetPrimaryKeys(primaryKeys);
}

TGridController::TGridController(TGridView *view, QObject *parent) : QObject(parent ? parent : view)
{
    Init(view);
}

TGridController::~TGridController()
{
    if (FModel) {
        FModel->EditHook = nullptr;
        FModel->IndicatorText = nullptr;
    }
}

void TGridController::Init(TGridView *view)
{
    FGridView = view;
    if (!view)
        return;
    connect(view, &TGridView::GridModelChanged, this, &TGridController::AttachModel);
    AttachModel(view->GridModel());
}

void TGridController::AttachModel(TGridModel *m)
{
    if (FModel == m)
        return;
    if (FModel) {
        FModel->EditHook = nullptr;
        FModel->IndicatorText = nullptr;
        disconnect(FModel, nullptr, this, nullptr);
    }
    FModel = m;
    if (m) {
        m->EditHook = [this](int rec, int col) {
            if (FEditValueChanged)
                FEditValueChanged(rec, col);
            else if (FModel)
                FModel->EditStateChange(rec);
        };
        if (FDrawIndicator)
            m->IndicatorText = FDrawIndicator;
        auto update = [this] { UpdateActions(); };
        connect(m, &TGridModel::StateChanged, this, update);
        connect(m, &TGridModel::RecordsChanged, this, update);
        connect(m, &QAbstractItemModel::modelReset, this, update);
        connect(m, &QAbstractItemModel::rowsInserted, this, update);
        connect(m, &QAbstractItemModel::rowsRemoved, this, update);
    }
    UpdateActions();
}

TGridModel *TGridController::Model() const
{
    return FGridView ? FGridView->GridModel() : nullptr;
}

bool TGridController::Edited() const
{
    if (FEditedForced)
        return true;
    const TGridModel *m = Model();
    return m && m->HasChanges();
}

void TGridController::SetEdited(bool edited)
{
    FEditedForced = edited;
    UpdateActions();
}

void TGridController::SetSearched(bool searched)
{
    FSearched = searched;
    UpdateActions();
}

QList<int> TGridController::PrimaryKeyIdx() const
{
    const TGridModel *m = Model();
    return m ? m->PrimaryKeyIdx() : QList<int>{};
}

void TGridController::SetPrimaryKeyIdx(const QList<int> &idx)
{
    if (TGridModel *m = Model())
        m->SetPrimaryKeyIdx(idx);
}

QList<int> TGridController::RequiredIdx() const
{
    const TGridModel *m = Model();
    return m ? RequiredColumns(*m) : QList<int>{};
}

void TGridController::SetRequiredIdx(const QList<int> &idx)
{
    if (TGridModel *m = Model()) {
        for (int c : idx)
            if (c >= 0 && c < m->ColumnCount())
                m->ColumnRef(c).Tag = 1;
        if (FGridView)
            FGridView->Header()->viewport()->update();
    }
}

int TGridController::KeyValueIdx() const
{
    const TGridModel *m = Model();
    return m ? m->KeyValueIdx() : -1;
}

void TGridController::SetKeyValueIdx(int idx)
{
    if (TGridModel *m = Model())
        m->SetKeyValueIdx(idx);
}

int TGridController::StateIdx() const
{
    const TGridModel *m = Model();
    return m ? m->StateIdx() : -1;
}

void TGridController::SetStateIdx(int idx)
{
    if (TGridModel *m = Model())
        m->SetStateIdx(idx);
}

void TGridController::RunSearch()
{
    if (FActionSearch)
        FActionSearch->trigger();
    else if (FSearchProc)
        FSearchProc();
}

QSqlDatabase TGridController::Connection() const
{
    if (FConnection)
        return FConnection();
    return DM ? DM->Con() : QSqlDatabase();
}

void TGridController::BeginLoad()
{
    if (TGridModel *m = Model()) {
        m->BeginUpdate();
        m->Clear();
    }
}

void TGridController::EndLoad()
{
    if (TGridModel *m = Model())
        m->EndUpdate();
    FSearched = true;
    FEditedForced = false;
    UpdateActions();
}

int TGridController::AppendRecord()
{
    if (!FSearched && (FActionSearch || FSearchProc))
        RunSearch();
    TGridModel *m = Model();
    if (!m || !FGridView)
        return -1;
    FGridView->PostEdit();
    const int rec = m->AppendRecord();
    FGridView->FocusRecord(rec);
    UpdateActions();
    return rec;
}

void TGridController::DeleteRecord()
{
    if (!FGridView)
        return;
    DelExecute(FGridView, KeyValueIdx(), StateIdx());
    UpdateActions();
}

void TGridController::EditStateChange()
{
    if (TGridModel *m = Model(); m && FGridView)
        m->EditStateChange(FGridView->FocusedRecord());
}

TRtnBoolStr TGridController::Validate(bool DuplicationCheck)
{
    return ValidateEx(FGridView, PrimaryKeyIdx(), RequiredIdx(), StateIdx(), DuplicationCheck,
                      Tdm(&TDM::T_CheckRequiredField, "strCheckRequiredField"),
                      Tdm(&TDM::T_DuplicateDataMsg, "strDuplicateDataMsg"));
}

QWidget *TGridController::OwnerWindow() const
{
    return FGridView ? FGridView->window() : nullptr;
}

void TGridController::Refocus(const QString &lastKey, int notedRow)
{
    TGridModel *m = Model();
    if (!m || !FGridView || FGridView->DisplayCount() == 0)
        return;
    TWaitCursor wait;
    int rec = lastKey.isEmpty() ? -1 : m->FindKeyValue(lastKey);
    if (rec >= 0 && FGridView->DisplayOfRecord(rec) >= 0) {
        FGridView->FocusRecord(rec);
        return;
    }
    const int n = FGridView->DisplayCount();
    FGridView->FocusDisplayRow(notedRow >= 0 && notedRow < n ? notedRow : n - 1);
}

bool TGridController::SaveToDB(const TGridRowSaveProc &proc)
{
    TGridModel *m = Model();
    if (!m || !FGridView)
        return false;
    if (!proc) {
        qWarning("TGridController::SaveToDB: no save procedure");
        return false;
    }
    FGridView->PostEdit();
    TGridSaveResult r;
    {
        TWaitCursor wait;
        r = SaveGridRows(*m, Connection(), proc);
    }
    if (!r.Ok) {
        ShowMsgDlg(OwnerWindow(), AppTitle(), Tdm(&TDM::T_SaveFailMsg, "strSaveFailMsg"),
                   Tdm(&TDM::T_SaveFailCaption, "strSaveFailCaption"), r.Error, mkError);
        // Nothing reloads: the edits and row states stay in the grid, the
        // record that failed is focused.
        if (r.FailedRecord >= 0)
            FGridView->FocusRecord(r.FailedRecord);
        emit SaveFailed(r.Error);
        return false;
    }
    const int notedRow = FGridView->DisplayOfRecord(FGridView->FocusedRecord());
    if (r.Count > 0)
        ShowMsgDlg(OwnerWindow(), AppTitle(), Tdm(&TDM::T_SaveSuccessMsg, "strSaveSuccessMsg"),
                   Tdm(&TDM::T_SaveSuccessCaption, "strSaveSuccessCaption"), QString(),
                   mkInformation);
    if (FActionSearch || FSearchProc) {
        RunSearch();
    } else {
        const QList<int> keys = m->PrimaryKeyIdx();
        m->AcceptChanges(keys.isEmpty() ? -1 : keys.first());
    }
    FEditedForced = false;
    Refocus(r.LastKey, notedRow);
    UpdateActions();
    emit Saved(r.Count);
    return true;
}

bool TGridController::Save(bool ask, bool dupCheck)
{
    return Save(FSaveProc, ask, dupCheck);
}

bool TGridController::Save(const TGridRowSaveProc &proc, bool ask, bool dupCheck)
{
    if (!FGridView || !Model())
        return false;
    FGridView->PostEdit();
    if (ask) {
        const int answer = ShowMsgDlg(OwnerWindow(), AppTitle(),
                                      Tdm(&TDM::T_SaveQryMsg, "strSaveQryMsg"),
                                      Tdm(&TDM::T_SaveQryCaption, "strSaveQryCaption"), QString(),
                                      mkQuestion);
        if (answer != mrYes)
            return false;
    }
    const TRtnBoolStr v = FValidateProc ? FValidateProc(dupCheck) : Validate(dupCheck);
    if (!v.rtn) {
        ShowMsgDlg(OwnerWindow(), AppTitle(), v.msg,
                   Tdm(&TDM::T_ValidationCaption, "strValidationCaption"), QString(), mkError);
        FGridView->OpenFocusedEditor();
        return false;
    }
    return SaveToDB(proc);
}

bool TGridController::ConfirmDiscard()
{
    if (FGridView)
        FGridView->PostEdit();
    return !Edited() || ConfirmDiscardEdits(OwnerWindow());
}

bool ConfirmDiscardEdits(QWidget *owner)
{
    const QString table = QStringLiteral("TfrmBase");
    return ShowMsgDlg(owner, AppTitle(), siText(table, QStringLiteral("strDiscardEditsMsg")),
                      siText(table, QStringLiteral("strDiscardEditsCaption")), QString(), mkQuestion)
           == mrYes;
}

bool TGridController::SaveToExcel()
{
    return SaveGridToExcel(FGridView);
}

bool SaveGridToExcel(TGridView *view)
{
    if (!view)
        return false;
    view->PostEdit();
    QWidget *win = view->window();
    const QString caption = win ? win->windowTitle() : QString();
    // A window with several grids names each grid's workbook itself: the grid's
    // property "ExportFileName", when it holds a text, is the proposed name.
    const QString own = view->property("ExportFileName").toString();
    const QString folder = DM ? DM->G_DIALOG_PATH : QDir::homePath();
    const QString filter = Tdm(&TDM::T_SAVEDIALOG_FILTER, "strSAVEDIALOG_FILTER");
    const QString file = ShowSaveDialog(win, caption, folder, RemoveInvalidFileChars(own.isEmpty() ? caption : own),
                                        filter, QStringLiteral("xlsx"));
    if (file.isEmpty())
        return false;
    if (DM)
        DM->G_DIALOG_PATH = QFileInfo(file).absolutePath();
    QString error;
    bool ok = false;
    {
        TWaitCursor wait;
        ok = ExportGridToXlsx(view, file, &error);
    }
    if (!ok) {
        ShowMsgDlg(win, AppTitle(), Tdm(&TDM::T_SaveFailMsg, "strSaveFailMsg"),
                   Tdm(&TDM::T_SaveFailCaption, "strSaveFailCaption"), error, mkError);
        return false;
    }
    OpenExcel(nullptr, file, DM ? DM->G_EXCEL_PATH : QString(),
              Tdm(&TDM::T_FileOpenMsg, "strFileOpenMsg"),
              Tdm(&TDM::T_FileOpenCaption, "strFileOpenCaption"));
    return true;
}

void TGridController::CancelEdits()
{
    if (FGridView)
        FGridView->PostEdit();
    FEditedForced = false;
    RunSearch();
    UpdateActions();
}

void TGridController::OnActionCloseExecute()
{
    if (QWidget *w = OwnerWindow())
        w->close();
}

bool TGridController::OnActionDeleteUpdate() const
{
    return FGridView && FGridView->DisplayCount() > 0;
}

bool TGridController::OnActionBrowseUpdate() const
{
    return FGridView && FGridView->DisplayCount() > 0 && !Edited();
}

void TGridController::AttachActions(const TActions &a)
{
    FActions = a;
    if (a.Search && !FActionSearch && !FSearchProc)
        FActionSearch = a.Search;
    if (a.Add)
        connect(a.Add, &QAction::triggered, this, &TGridController::OnActionAddExecute);
    if (a.Delete)
        connect(a.Delete, &QAction::triggered, this, &TGridController::OnActionDeleteExecute);
    if (a.Save)
        connect(a.Save, &QAction::triggered, this, &TGridController::OnActionSaveExecute);
    if (a.Cancel)
        connect(a.Cancel, &QAction::triggered, this, &TGridController::OnActionCancelExecute);
    if (a.Export)
        connect(a.Export, &QAction::triggered, this, &TGridController::OnActionExportExecute);
    if (a.Close)
        connect(a.Close, &QAction::triggered, this, &TGridController::OnActionCloseExecute);
    if (a.Search && FSearchProc && FActionSearch != a.Search)
        connect(a.Search, &QAction::triggered, this, [this] { FSearchProc(); });
    UpdateActions();
}

void TGridController::UpdateActions()
{
    const bool edited = Edited();
    if (FActions.Add)
        FActions.Add->setEnabled(FSearched || FActionSearch || FSearchProc);
    if (FActions.Delete)
        FActions.Delete->setEnabled(OnActionDeleteUpdate());
    if (FActions.Save)
        FActions.Save->setEnabled(edited);
    if (FActions.Cancel)
        FActions.Cancel->setEnabled(edited);
    if (FActions.Export)
        FActions.Export->setEnabled(OnActionBrowseUpdate());
    if (edited != FLastEdited) {
        FLastEdited = edited;
        emit EditedChanged(edited);
    }
}
