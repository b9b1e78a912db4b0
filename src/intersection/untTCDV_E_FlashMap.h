#pragma once
// TfrmTCDV_E_FlashMap: the flash maps of the intersections of one group (or of all
// intersections), one row per intersection: the lamp code of every load-switch
// output during flash operation, the flash time and the lane-control flag. The
// codes are shown as texts by the row's controller type; a three-lamp output
// cell edits its two halves (P1, P2) each from its own list. Rows copy and paste
// between compatible controller types. A row without a stored map is inserted
// by its first edit.
#include "core/untBaseGrid.h"
#include "intersection/FlashMap.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

class TfrmTCDV_E_FlashMap : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmTCDV_E_FlashMap(QWidget *owner = nullptr);

    QLabel *lblSA = nullptr;
    QLineEdit *edtSA = nullptr;
    QLabel *lblSA_NAME = nullptr;
    QCheckBox *cbxAllTCDV = nullptr;
    QAction *actCopyRow = nullptr;
    QAction *actPasteRow = nullptr;

    static constexpr int colSANO = 0, colLCNO = 1, colNAME = 2, colFirstOutput = 3;
    // The column of output n (1 to 8) of a kind.
    static int OutputCol(int n, Flash::TKind kind) { return colFirstOutput + (n - 1) * 2 + (kind == Flash::TKind::Pedestrian); }
    int ColFlashTime() const { return colFirstOutput + 16; }
    int ColVariabCntl() const { return colFirstOutput + 17; }
    int ColDB() const { return colFirstOutput + 18; }
    int ColLcType() const { return colFirstOutput + 19; }

    // The intersection and controller type of the focused row (the editing rules follow it).
    int FocusedLc() const { return FFocusedLc; }
    TLcTypeEx FocusedLcType() const { return FFocusedType; }
    // The controller type of a record (LC_TYPE of the query).
    TLcTypeEx RecordLcType(int rec) const;
    // Whether a cell takes edits by the focused row's type.
    bool CellEditable(int rec, int col) const;
    // The caption of band k (0-based LSU bands 0..7) and of an output column by the focused type.
    QString LsuBandCaption(int k) const;
    QString OutputCaption(int col) const;
    // While a three-lamp row is focused: the two halves of LSU band k
    // ("LSU #2k+1", "LSU #2k+2") and of an output column ("P1", "P2"); else empty.
    QStringList LsuBandParts(int k) const;
    QStringList OutputParts(int col) const;

    // Three-lamp cells: the value list of one half.
    static constexpr int HalfButtonWidth = 14;
    QListWidget *lstHalf = nullptr;
    // Opens the list of a half under the cell (a second call for the same half closes it).
    void ToggleHalfList(int rec, int col, TLsuType2 half);
    void CloseHalfList();
    // The half whose list is open (ltNone when closed), and its cell.
    TLsuType2 OpenHalf() const { return FListHalf; }
    int OpenHalfRecord() const { return FListRec; }
    int OpenHalfColumn() const { return FListCol; }
    // Writes the list's current item into the open half and closes the list.
    void ChooseHalfItem();
    // The rectangle of a cell in the grid's viewport.
    QRect CellRect(int rec, int col) const;
    // The half whose button is hot (mouse over) or pressed, and its cell.
    struct THalfHit { int rec = -1, col = -1; TLsuType2 half = ltNone; };
    THalfHit HotHalf() const { return FHot; }
    bool HalfPressed() const { return FPressed; }

    void SetSA_ID(int Value) override;

public slots:
    void actCopyRowExecute();
    void actPasteRowExecute();

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;

    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    THalfHit HitHalf(const QPoint &viewportPos) const;
    void FollowFocus();
    void UpdateHeader();
    int FFocusedLc = 0;
    TLcTypeEx FFocusedType = lctNone;
    TLcTypeEx FCopiedType = lctNone;
    TLsuType2 FListHalf = ltNone;
    int FListRec = -1, FListCol = -1;
    THalfHit FHot;
    bool FPressed = false;
};
