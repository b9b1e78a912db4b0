#pragma once
// TfrmBaseGrid: the frame of the grid editors and their one save path: a top
// panel for the descendant's search controls (pnlTop), one grid (cxGrid) and a
// bottom button bar (search, add, delete, save, export ... close), the
// row-state protocol (through its TGridController), the intersection and group
// number boxes with their pickers, and the save: confirmation, validation with
// the duplicate check, every changed row through SaveRow in one transaction,
// the boxes, reload and refocus. A failed save rolls back and keeps every edit
// and row state in the grid. Closing (Esc, the window's close button, Close) or
// choosing another number while the grid holds unsaved edits asks first.
//
// A descendant gives only what is its own (see core/README.md and the example
// editor core/untExampleEditor.h):
//   1. its columns: SetGridColumns({...}, {"KEY", ...}) (or its own model on
//      cxGrid); optionally its number box: AddTCDVBox / AttachTCDVEdit(edit, nameLabel) or
//      AttachSAEdit(edit, nameLabel); optionally GridColumnWidth;
//   2. its load: Load() fills GridModel() (AddLoaded / LoadQuery, key as
//      loaded), called inside the grid update of a search;
//   3. its row save: SaveRow(row) runs the statement of one changed row
//      (row.State, row["COLUMN"], row.KeyValue) and throws on failure;
//   4. optionally its own row rule: Validate() (call the base first).
// Openers set TCDV_ID / SA_ID after creating the window: the name is shown and,
// when the number exists, the grid is loaded.
#include <QPointer>

#include "core/GridControllerUnit.h"
#include "core/untBase.h"
#include "foundation/TypeUnit.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class TfrmBaseGrid : public TfrmBase
{
    Q_OBJECT
public:
    explicit TfrmBaseGrid(QWidget *owner = nullptr, const QString &table = QString());

    QWidget *pnlTop = nullptr;       // 37 px, the descendant's search controls (pnlTopLayout)
    QHBoxLayout *pnlTopLayout = nullptr;
    QWidget *pnlClient = nullptr;
    TGridView *cxGrid = nullptr;     // the grid (its model is the descendant's)
    QWidget *pnlBottom = nullptr;    // 37 px
    QHBoxLayout *pnlBottomLayout = nullptr;
    QPushButton *btnSearch = nullptr, *btnAdd = nullptr, *btnDel = nullptr, *btnSave = nullptr,
                *btnExport = nullptr, *btnClose = nullptr;

    // Column indexes: the model's (hidden state and key-as-loaded columns, key columns).
    int StateIdx() const;
    int KeyValueIdx() const;
    int PrimaryKeyIdx() const;                     // first key column, -1 when none
    void SetPrimaryKeyIdx(int idx);
    bool Searched() const { return FSearched; }
    void SetSearched(bool searched);
    bool Edited() const;
    void SetEdited(bool edited);
    int SA_ID() const { return FSA_ID; }
    int TCDV_ID() const { return FTCDV_ID; }
    TLcTypeEx TCDV_LC_TYPE() const { return FLCType; }
    int GridColumnWidth() const { return FGridColumnWidth; }
    void SetGridColumnWidth(int w) { FGridColumnWidth = w; }
    TGridModel *GridModel() const { return cxGrid ? cxGrid->GridModel() : nullptr; }
    TGridController *Controller() const { return FController; }

    // Gives the grid a model of these columns (+ hidden key as loaded and state)
    // with these key columns; returns it.
    TGridModel *SetGridColumns(const TGridColumns &columns, const QStringList &primaryKeys);

    // Store the number, show its name in the attached label and, when it exists,
    // write it into the attached box, mark the grid searched and run actSearch;
    // otherwise empty the grid (not searched).
    virtual void SetSA_ID(int Value);
    virtual void SetTCDV_ID(int Value);
    // Required (Tag-1) cells of changed rows filled and, with the check, no other
    // row holding the same key values (deleted rows included); the first problem
    // is focused. msg T_CheckRequiredField / DuplicateText().
    virtual TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck);
    // Changed rows with a non-empty value in the column must not share it with any other row.
    TRtnBoolStr Duplicate(TGridView *TableView, int AColumnIndex);
    // Shows a failed validation: error box (T_ValidationCaption), grid focused, editor opened.
    void ShowValidation(const TRtnBoolStr &result);

    // Wires a number box (and its name label, either may be null) to TCDV_ID / SA_ID:
    // typing applies the number, Enter applies it (never the default button),
    // Up/Down step it, only digits, a picker button inside the box.
    void AttachTCDVEdit(QLineEdit *edit, QLabel *nameLabel = nullptr);
    void AttachSAEdit(QLineEdit *edit, QLabel *nameLabel = nullptr);
    // The usual number row of the top panel: a caption label, the number box
    // (object name `boxName`, 90 px) and the name label, laid out in pnlTop and
    // attached as above. The three widgets are returned through the references.
    void AddTCDVBox(QLabel *&caption, QLineEdit *&edit, QLabel *&name,
                    const QString &boxName = QStringLiteral("edtTCDV"));
    void AddSABox(QLabel *&caption, QLineEdit *&edit, QLabel *&name,
                  const QString &boxName = QStringLiteral("edtSA"));

    // Pickers of the number boxes; true with the choice in *value.
    virtual bool PickTCDV(int *value);
    virtual bool PickSA(int *value);

    // The question before unsaved edits are dropped; true when there are none or
    // the operator agrees.
    bool CanClose() override;

public slots:
    // The search: the grid emptied and loaded by Load() inside one update, then
    // not edited.
    void actSearchExecute();
    virtual void actAddExecute();
    virtual void actDelExecute();
    // The save of every editor. False when refused, invalid or failed.
    bool actSaveExecute();
    virtual void actExportExecute();
    void edtTCDVButtonClick();
    void edtSAButtonClick();
    void UpdateActions();

protected:
    // The descendant's load: fills GridModel() with the rows of the current number.
    virtual void Load() {}
    // The descendant's row save: the statement of one changed row; throws to fail.
    virtual void SaveRow(const TGridRow &row);
    // The text of a failed duplicate check (default T_DuplicateDataMsg).
    virtual QString DuplicateText() const;
    // The save's confirmation question ("저장하시겠습니까?"); true on Yes.
    bool ConfirmSave();

    void resizeEvent(QResizeEvent *e) override;
    void Retranslate() override;
    bool HasView() const { return GridModel() != nullptr; }

private:
    void ApplyNumber(int kind, int value);
    QAction *AttachNumberEdit(QLineEdit *edit, int kind);
    void FollowModel();
    void ShowNumber(QLineEdit *edit, QLabel *label, int value, const QString &name, bool exists);
    bool FSearched = false;
    int FSA_ID = 0;
    int FTCDV_ID = 0;
    TLcTypeEx FLCType = lct2004;
    int FGridColumnWidth = 0;
    TGridController *FController = nullptr;
    QPointer<QLineEdit> FTCDVEdit;
    QPointer<QLabel> FTCDVName;
    QPointer<QLineEdit> FSAEdit;
    QPointer<QLabel> FSAName;
    QPointer<TGridModel> FWatched;
};
