#pragma once
// TfrmTCDV_E_ConflictMap: the conflict matrix of one 2010 controller, 32 base
// outputs (rows) against 32 compared outputs (columns); only the upper triangle
// (for four lamps without the "-" outputs) is edited. A save replaces the whole
// stored matrix; a 2004 controller has none (its save only deletes).
#include "core/untBaseGrid.h"
#include "intersection/ConflictMap.h"

class QLabel;
class QLineEdit;

class TfrmTCDV_E_ConflictMap : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmTCDV_E_ConflictMap(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    static constexpr int FirstOutputCol = 3;   // column of compared output 0
    // The matrix the grid holds.
    Conflict::TMatrix Matrix() const;
    // The colour a cell is painted with, the grid's focus included: the focused
    // output column and row highlighted, the focused cell white.
    QColor CellColour(int rec, int col) const;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;

private:
    void LayOutBands();
};
