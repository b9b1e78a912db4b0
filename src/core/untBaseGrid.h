#pragma once
// TfrmBaseGrid: the frame of the grid editors: a top panel for the
// descendant's search controls (pnlTop), one grid (cxGrid) and a bottom button
// bar (search, add, delete, save, export ... close), the row-state protocol,
// the intersection and group number boxes with their pickers, the save
// confirmation, validation and a duplicate check.
//
// A descendant:
//   1. describes its columns on a TGridModel and gives it to cxGrid
//      (cxGrid->SetGridModel(model)); StateIdx/KeyValueIdx follow the model's
//      hidden columns; sets PrimaryKeyIdx; wires its number box with
//      AttachTCDVEdit / AttachSAEdit; optionally sets GridColumnWidth;
//   2. overrides SetTCDV_ID or SetSA_ID: calls the base, sets Searched false,
//      shows the name (GetLcName / GetSaName) and, when it is not
//      DM->T_NotExist, writes the number into its box, sets Searched true and
//      runs actSearch; otherwise empties the grid;
//   3. its search loads the grid (BeginLoad / model->LoadQuery / EndLoad);
//   4. its save handler calls actSaveExecute() first (false: stop), then
//      Validate / Duplicate, then SaveRows(proc, columns) - one transaction,
//      the boxes, reload and refocus of the grid kit.
#include <QPointer>

#include "core/GridControllerUnit.h"
#include "foundation/TypeUnit.h"
#include "core/untBase.h"

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

    int StateIdx() const;
    void SetStateIdx(int idx) { FStateIdx = idx; }
    int PrimaryKeyIdx() const { return FPrimaryKeyIdx; }
    void SetPrimaryKeyIdx(int idx) { FPrimaryKeyIdx = idx; }
    int KeyValueIdx() const;
    void SetKeyValueIdx(int idx) { FKeyValueIdx = idx; }
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

    virtual void SetSA_ID(int Value);
    virtual void SetTCDV_ID(int Value);
    // Required (Tag-1) cells of changed rows filled and, with the check, no other
    // row holding the same value in the PrimaryKeyIdx column (deleted rows
    // included); the first problem is focused. msg T_CheckRequiredField /
    // T_DuplicateDataMsg.
    virtual TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck);
    // Changed rows with a non-empty value in the column must not share it with any other row.
    TRtnBoolStr Duplicate(TGridView *TableView, int AColumnIndex);
    // Shows a failed validation: error box (T_ValidationCaption), grid focused, editor opened.
    void ShowValidation(const TRtnBoolStr &result);

    // The grid controller on cxGrid (created on first use; search = actSearch).
    TGridController *Controller();
    // The save of the grid kit: one transaction, every changed row through proc,
    // boxes, reload (actSearch) and refocus; edits kept after a failure.
    bool SaveRows(const TRowSaveProc &proc, const QList<int> &columns);
    // Loading frame for descendants' searches.
    void BeginLoad();
    void EndLoad();

    // Wires a number box (and its optional name/group labels) to TCDV_ID / SA_ID:
    // change, Up/Down keys, digits only, and a picker button inside the box.
    void AttachTCDVEdit(QLineEdit *edit);
    void AttachSAEdit(QLineEdit *edit);

    // Pickers of the number boxes; true with the choice in *value.
    virtual bool PickTCDV(int *value);
    virtual bool PickSA(int *value);

public slots:
    virtual void actAddExecute();
    virtual void actDelExecute();
    // The save confirmation; false when refused (the descendant's save stops).
    virtual bool actSaveExecute();
    virtual void actExportExecute();
    void edtTCDVButtonClick();
    void edtSAButtonClick();
    void UpdateActions();

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) override;
    void Retranslate() override;
    bool HasView() const { return GridModel() != nullptr; }

private:
    void ApplyNumber(QLineEdit *edit, int kind, int value);
    // Makes `edit` a number field of `kind` (typing applies it); returns its pick button.
    QAction *AttachNumberEdit(QLineEdit *edit, int kind);
    int FStateIdx = -1;
    int FPrimaryKeyIdx = -1;
    int FKeyValueIdx = -1;
    bool FSearched = false;
    bool FEditedForced = false;
    int FSA_ID = 0;
    int FTCDV_ID = 0;
    TLcTypeEx FLCType = lct2004;
    int FGridColumnWidth = 0;
    QPointer<TGridController> FController;
    QPointer<QLineEdit> FTCDVEdit;
    QPointer<QLineEdit> FSAEdit;
    QPointer<TGridModel> FWatched;
};
