#pragma once
// TfrmExampleEditor: the example every grid editor copies. It keeps the
// priority-signal entries (agency code and route or vehicle number) of one
// intersection in SCS_M_INTPPC, written on TfrmBaseGrid: columns, load, row
// save - the confirmation, checks, transaction, boxes, number box, reload and
// the question before unsaved edits are dropped are the base window's.
#include "core/untBaseGrid.h"

class QLabel;
class QLineEdit;

class TfrmExampleEditor : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmExampleEditor(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDVName = nullptr;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;
};
