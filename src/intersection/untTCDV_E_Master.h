#pragma once
// TfrmTCDV_E_Master: the intersection master list (SCS_M_INTLC) of one group or
// of all intersections. Operators add, change, renumber and delete
// intersections, name the main intersection of a virtual one and pick the MCU
// and SCU firmware. The checks and statements are TcdvMaster's; a committed
// save raises the main window's intersection refresh flag.
#include "core/untBaseGrid.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class TfrmTCDV_E_Master : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmTCDV_E_Master(QWidget *owner = nullptr);

    QLabel *lblSA = nullptr, *lblSA_NAME = nullptr, *lblTCDV = nullptr, *lblTCDV_NAME = nullptr;
    QLineEdit *edtSA = nullptr, *edtTCDV = nullptr;
    QCheckBox *cbxAllTCDV = nullptr;

    QString Order() const { return FOrder; }
    void SetOrder(const QString &order) { FOrder = order; }
    int TcdvID() const { return FTcdvID; }

    void SetSA_ID(int Value) override;
    void SetTCDV_ID(int Value) override;
    void SetTcdvID(int Value) { SetTCDV_ID(Value); }

    // Focuses the row of an intersection number (false when the list has none).
    bool LocateGridRow(int lcNo);
    // The button of a cell (node, group, firmware, main intersection) of a record.
    void CellButtonClick(int rec, const QString &column);

public slots:
    // The save: question, checks, the renumbering question, every changed row in
    // one transaction; the refresh flag after a commit. False when nothing was written.
    bool SaveMaster();

protected:
    void Load() override;
    void Retranslate() override;

private:
    bool CellEditable(int rec, int col) const;
    QString FOrder;
    int FTcdvID = 0;
    int FBaseWidth = 0;        // the window's width in Korean
    bool FEnglishWidth = false; // the English widening applied
};
