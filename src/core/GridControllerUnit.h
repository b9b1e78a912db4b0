#pragma once
// TGridController: the row-state protocol attached to one grid view. It keeps
// the row states while the operator edits, paints them into the row indicator
// (through the model), marks required columns, validates, saves every changed
// row through a procedure of the window inside ONE transaction, exports the
// grid to an XLSX file, and drives the window's add / delete / save / cancel /
// export / close / search actions.
//
// An editor describes its columns and its save procedure; the rest is here:
//
//     auto *model = new TGridModel(this);
//     model->SetColumns({
//         TGridColumn("USER_ID").Key("gtvGridUSER_ID.Caption").W(100).Req(),
//         TGridColumn("USER_NAME").Key("gtvGridUSER_NAME.Caption").W(120),
//     });                                    // + hidden KeyValue and State
//     grid->SetGridModel(model);
//     FCtrl = new TGridController(grid, {"USER_ID"}, this);   // key column(s) by name
//     FCtrl->SetSearchProc([this] { Search(); });
//     FCtrl->SetSaveProc({0, 1}, [](const QVariantList &v, const QString &key,
//                                   const QString &state) {
//         if (state == "I") ExecSqlOrThrow(DM->Con(), "INSERT ...", {{"A", v[0]}, ...});
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
    // The full form: column indexes given by the window, optional replacements of the
    // indicator text, the state rule and the header marks.
    TGridController(TGridView *view, const QList<int> &primaryKeyIdx, const QList<int> &requiredIdx,
                    int keyValueIdx, int stateIdx, QAction *actionSearch = nullptr,
                    TGridCustomDrawIndicatorCell drawIndicator = nullptr,
                    TGridEditValueChanged editValueChanged = nullptr,
                    TGridCustomDrawColumnHeader drawColumnHeader = nullptr);
    // The short form: key columns by name; required columns are the model's
    // Tag-1 columns; key-as-loaded and state columns from the model.
    TGridController(TGridView *view, const QStringList &primaryKeys, QObject *parent = nullptr);
    ~TGridController() override;

    TGridView *Grid() const { return FGridView; }
    TGridView *GridView() const { return FGridView; }
    TGridModel *Model() const;

    bool Edited() const;
    void SetEdited(bool edited);
    bool Searched() const { return FSearched; }
    void SetSearched(bool searched);
    QList<int> PrimaryKeyIdx() const { return FPrimaryKeyIdx; }
    void SetPrimaryKeyIdx(const QList<int> &idx) { FPrimaryKeyIdx = idx; }
    QList<int> RequiredIdx() const { return FRequiredIdx; }
    void SetRequiredIdx(const QList<int> &idx);
    int KeyValueIdx() const { return FKeyValueIdx; }
    void SetKeyValueIdx(int idx) { FKeyValueIdx = idx; }
    int StateIdx() const { return FStateIdx; }
    void SetStateIdx(int idx) { FStateIdx = idx; }
    int GridColumnWidth() const { return FGridColumnWidth; }
    void SetGridColumnWidth(int w) { FGridColumnWidth = w; }

    // The search that reloads the grid: an action (triggered) or a procedure.
    void SetActionSearch(QAction *action) { FActionSearch = action; }
    void SetSearchProc(std::function<void()> proc) { FSearchProc = std::move(proc); }
    void RunSearch();
    // The connection saves run on (default: the data module's Con()).
    void SetConnection(std::function<QSqlDatabase()> connection) { FConnection = std::move(connection); }
    QSqlDatabase Connection() const;
    // The window's per-row save procedure and the columns it gets (the save
    // action then runs Save()).
    void SetSaveProc(const QList<int> &columns, TRowSaveProc proc);
    void SetSaveProc(const QStringList &columns, TRowSaveProc proc);

    // Loading: BeginLoad empties the grid inside an update; EndLoad marks it
    // searched and not edited.
    void BeginLoad();
    void EndLoad();

    // ---- operations ----
    int AppendRecord();            // searches first when not searched; returns the record
    void DeleteRecord();           // delete rule on the focused record
    void EditStateChange();        // state rule on the focused record
    TRtnBoolStr Validate(bool DuplicationCheck);
    // Saves every changed record through `proc` (values of `columns`, key as
    // loaded, state) in one transaction; boxes, reload and refocus as described
    // above. True when committed.
    bool SaveToDB(const TRowSaveProc &proc, const QList<int> &columns);
    // The whole save of an editor: confirmation (T_SaveQryMsg), Validate(dupCheck)
    // with its box (the offending cell focused and opened), then SaveToDB with
    // the procedure set by SetSaveProc (or given here).
    bool Save(bool ask = true, bool dupCheck = true);
    bool Save(const TRowSaveProc &proc, const QList<int> &columns, bool ask = true, bool dupCheck = true);
    // Export: save dialog (T_SAVEDIALOG_FILTER, G_DIALOG_PATH, the window caption as
    // file name), the grid written as XLSX, then OpenExcel. An export error is shown
    // in an error box. True when written.
    bool SaveToExcel();
    // Cancel: reloads (discarding the edits) when a search is set.
    void CancelEdits();

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
    void Refocus(const QString &lastKey, int notedRecord);

    QPointer<TGridView> FGridView;
    QList<int> FPrimaryKeyIdx;
    QList<int> FRequiredIdx;
    int FKeyValueIdx = -1;
    int FStateIdx = -1;
    bool FSearched = false;
    bool FEditedForced = false;
    bool FLastEdited = false;
    int FGridColumnWidth = 0;
    QPointer<QAction> FActionSearch;
    std::function<void()> FSearchProc;
    std::function<QSqlDatabase()> FConnection;
    QList<int> FSaveColumns;
    TRowSaveProc FSaveProc;
    TActions FActions;
    TGridEditValueChanged FEditValueChanged;
    TGridCustomDrawIndicatorCell FDrawIndicator;
};

// The export of a grid as the operator starts it: save dialog (T_SAVEDIALOG_FILTER,
// G_DIALOG_PATH, the caption of the grid's window as file name; the chosen folder
// is kept in G_DIALOG_PATH), every row of the grid written as XLSX, then OpenExcel.
// An export error is shown in an error box. True when written. Every export of the
// grid kit (controller, base grid window, pickers) goes through here.
bool SaveGridToExcel(TGridView *view);
