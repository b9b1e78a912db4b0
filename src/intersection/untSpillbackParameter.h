#pragma once
// TFormSpillbackParameter: the spill-back phases of one intersection (or of all
// while "All" is ticked), up to eight directions each, saved without a question.
// Opened modally by the transfer window on its controller; the rules and
// statements live in SpillBack.
#include "core/untBaseGrid.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class TFormSpillbackParameter : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TFormSpillbackParameter(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QCheckBox *cbxAllTCDV = nullptr;

    int TcdvID() const { return TCDV_ID(); }
    void SetTcdvID(int value) { SetTCDV_ID(value); }
    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;
    // The intersection picker opens on the intersection of the focused row.
    bool PickTCDV(int *value) override;

public slots:
    void actAddExecute() override;
    bool SaveSpillBack();

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;
};
