#pragma once
// TGridController: the row-state protocol attached to one grid view. It keeps
// the row states while the operator edits, paints them into the row indicator
// (through the model), marks required columns, validates, saves every changed
// row through a procedure of the window inside ONE transaction, exports the
// grid to an XLSX file, and drives the window's add / delete / save / cancel /
// export / close / search actions. It follows the view's model: a window that
// gives the view another model keeps the protocol.
//
// Editors derive from TfrmBaseGrid (core/untBaseGrid.h), which owns a controller
// and its save; a window with grids of its own uses a controller directly:
//
//     model->SetColumns({TGridColumn("USER_ID").W(100).Req(), TGridColumn("USER_NAME")});
//     model->SetPrimaryKeys({"USER_ID"});        // + hidden KeyValue and State
//     grid->SetGridModel(model);
//     FCtrl = new TGridController(grid, this);
//     FCtrl->SetSearchProc([this] { Search(); });
//     FCtrl->SetSaveProc([](const TGridRow &row) {
//         if (row.IsInserted()) ExecSqlOrThrow(DM->Con(), "INSERT ...", {{":A", row["USER_ID"]}});
//         ...
//     });
//     FCtrl->AttachActions({.Search = actSearch, .Add = actAdd, .Delete = actDel,
//                           .Save = actSave, .Export = actExport, .Close = actClose});
//
// Search():  FCtrl->BeginLoad(); model->LoadQuery(q, "USER_ID"); FCtrl->EndLoad();
//
// A failed save rolls the transaction back and keeps the operator's edits
// (row states intact) so that they can be corrected and saved again; a
// successful one reloads through the search and refocuses the saved row.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QStringList>
#include <functional>

#include "core/GridHelpers.h"
#include "core/GridModel.h"
#include "core/GridView.h"
#include "foundation/TypeUnit.h"

class QAction;

// Replacements of the controller's own view handlers (nullptr keeps its own).
using TGridCustomDrawIndicatorCell = std::function<QString(int rec)>;  // indicator text of a record
using TGridEditValueChanged = std::function<void(int rec, int col)>;   // state rule after an edit
using TGridCustomDrawColumnHeader = std::function<void(QPainter *, const QRect &, int col)>;

// Required-column header painter (the green mark of Tag-1 columns).
struct TcxGridHelper
{
    static void DrawKeyColumnHeader(QPainter *painter, const QRect &section)
    {
        TGridHeaderView::DrawRequiredMark(painter, section);
    }
};

class TGridController : public QObject
{
    Q_OBJECT
public:
    // The full form: column indexes given by the window (stored in the model),
    // optional replacements of the indicator text, the state rule and the header marks.
    TGridController(TGridView *view, const QList<int> &primaryKeyIdx, const QList<int> &requiredIdx,
                    int keyValueIdx, int stateIdx, QAction *actionSearch = nullptr,
                    TGridCustomDrawIndicatorCell drawIndicator = nullptr,
                    TGridEditValueChanged editValueChanged = nullptr,
                    TGridCustomDrawColumnHeader drawColumnHeader = nullptr);
    // The short form: key columns by name (stored in the model); required columns
    // are the model's Tag-1 columns; key-as-loaded and state columns from the model.
    TGridController(TGridView *view, const QStringList &primaryKeys, QObject *parent = nullptr);
    // Everything from the model (its primary key, Tag-1 columns, hidden columns).
    explicit TGridController(TGridView *view, QObject *parent = nullptr);
    ~TGridController() override;

    TGridView *Grid() const { return FGridView; }
    TGridView *GridView() const { return FGridView; }
    TGridModel *Model() const;

    bool Edited() const;
    void SetEdited(bool edited);
    bool Searched() const { return FSearched; }
    void SetSearched(bool searched);
    // The column indexes live in the model; these read and write it.
    QList<int> PrimaryKeyIdx() const;
    void SetPrimaryKeyIdx(const QList<int> &idx);
    QList<int> RequiredIdx() const;            // the Tag-1 columns
    void SetRequiredIdx(const QList<int> &idx); // marks them Tag 1
    int KeyValueIdx() const;
    void SetKeyValueIdx(int idx);
    int StateIdx() const;
    void SetStateIdx(int idx);
    int GridColumnWidth() const { return FGridColumnWidth; }
    void SetGridColumnWidth(int w) { FGridColumnWidth = w; }

    // The search that reloads the grid: an action (triggered) or a procedure.
    void SetActionSearch(QAction *action) { FActionSearch = action; }
    void SetSearchProc(std::function<void()> proc) { FSearchProc = std::move(proc); }
    void RunSearch();
    // The connection saves run on (default: the data module's Con()).
    void SetConnection(std::function<QSqlDatabase()> connection) { FConnection = std::move(connection); }
    QSqlDatabase Connection() const;
    // The window's per-row save procedure (the save action then runs Save()).
    void SetSaveProc(TGridRowSaveProc proc) { FSaveProc = std::move(proc); }
    // The check Save() runs before writing (default: Validate(dupCheck) below).
    // It returns the problem's text (the offending cell focused) or rtn true.
    void SetValidateProc(std::function<TRtnBoolStr(bool dupCheck)> proc) { FValidateProc = std::move(proc); }
    // Replaces the state rule after an edit (the edit handler of a window with
    // derived cells); nullptr restores the plain rule.
    void SetEditValueChanged(TGridEditValueChanged proc) { FEditValueChanged = std::move(proc); }

    // Loading: BeginLoad empties the grid inside an update; EndLoad marks it
    // searched and not edited.
    void BeginLoad();
    void EndLoad();

    // ---- operations ----
    int AppendRecord();            // searches first when not searched; returns the record
    void DeleteRecord();           // delete rule on the focused record
    void EditStateChange();        // state rule on the focused record
    TRtnBoolStr Validate(bool DuplicationCheck);
    // Saves every changed record through `proc` in one transaction; boxes,
    // reload and refocus as described above. True when committed.
    bool SaveToDB(const TGridRowSaveProc &proc);
    // The whole save of an editor: confirmation (T_SaveQryMsg), the check (the
    // validate procedure, else Validate(dupCheck)) with its box (the offending
    // cell focused and opened), then SaveToDB with the save procedure.
    bool Save(bool ask = true, bool dupCheck = true);
    bool Save(const TGridRowSaveProc &proc, bool ask = true, bool dupCheck = true);
    // Export: save dialog (T_SAVEDIALOG_FILTER, G_DIALOG_PATH, the window caption as
    // file name), the grid written as XLSX, then OpenExcel. An export error is shown
    // in an error box. True when written.
    bool SaveToExcel();
    // Cancel: reloads (discarding the edits) when a search is set.
    void CancelEdits();
    // Before the edits would be lost (closing, another number): true when the grid
    // holds no edits or the operator agrees to discard them (question box).
    bool ConfirmDiscard();

    // ---- actions ----
    struct TActions
    {
        QAction *Search = nullptr;
        QAction *Add = nullptr;
        QAction *Delete = nullptr;
        QAction *Save = nullptr;
        QAction *Cancel = nullptr;
        QAction *Export = nullptr;
        QAction *Close = nullptr;
    };
    // Connects the actions to the controller and keeps their Enabled state:
    // add once searched (or searchable), delete while rows exist, save and cancel
    // while edited, export while rows exist and nothing is edited. The search
    // action becomes the controller's search when none is set; when a search
    // procedure is set, the search action is connected to it (the window then
    // does not connect the action itself). Close closes the window that holds
    // the grid.
    void AttachActions(const TActions &actions);
    void UpdateActions();

    // Update rules (for windows that keep their own actions).
    bool OnActionEditedUpdate() const { return Edited(); }
    bool OnActionSearchedUpdate() const { return Searched(); }
    bool OnActionDeleteUpdate() const;
    bool OnActionBrowseUpdate() const;

    // Texts the controller shows (owner window of its boxes).
    QWidget *OwnerWindow() const;

public slots:
    void OnActionAddExecute() { AppendRecord(); }
    void OnActionDeleteExecute() { DeleteRecord(); }
    void OnActionExportExecute() { SaveToExcel(); }
    void OnActionCloseExecute();
    void OnActionSaveExecute() { Save(); }
    void OnActionCancelExecute() { CancelEdits(); }

signals:
    // After a committed save that passed at least one row (count) or none (0).
    void Saved(int count);
    void SaveFailed(const QString &error);
    void EditedChanged(bool edited);

private:
    void Init(TGridView *view);
    // Hooks the state rule and the action updates into the view's current model.
    void AttachModel(TGridModel *model);
    void Refocus(const QString &lastKey, int notedRecord);

    QPointer<TGridView> FGridView;
    QPointer<TGridModel> FModel;    // the model hooked
    bool FSearched = false;
    bool FEditedForced = false;
    bool FLastEdited = false;
    int FGridColumnWidth = 0;
    QPointer<QAction> FActionSearch;
    std::function<void()> FSearchProc;
    std::function<QSqlDatabase()> FConnection;
    TGridRowSaveProc FSaveProc;
    std::function<TRtnBoolStr(bool)> FValidateProc;
    TActions FActions;
    TGridEditValueChanged FEditValueChanged;
    TGridCustomDrawIndicatorCell FDrawIndicator;
};

// The question before unsaved edits of a window are dropped ("저장하지 않은 변경
// 내용이 있습니다..."): true when the operator agrees to discard them.
bool ConfirmDiscardEdits(QWidget *owner);

// The export of a grid as the operator starts it: save dialog (T_SAVEDIALOG_FILTER,
// G_DIALOG_PATH, the caption of the grid's window as file name; the chosen folder
// is kept in G_DIALOG_PATH), every row of the grid written as XLSX, then OpenExcel.
// An export error is shown in an error box. True when written. Every export of the
// grid kit (controller, base grid window, pickers) goes through here.
bool SaveGridToExcel(TGridView *view);
