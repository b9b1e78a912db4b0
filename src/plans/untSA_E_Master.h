#pragma once
// TfrmSA_E_Master: the operating parameters of every group (SCS_M_SAOPERATE) in
// one list: control mode, cycle-change settings, TRC switches, join settings and
// use flag. The statements and the group-number check are GroupStore's; a
// committed save raises the main window's group refresh flag.
#include "core/untBaseGrid.h"

class QLabel;
class QLineEdit;

class TfrmSA_E_Master : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmSA_E_Master(QWidget *owner = nullptr);

    QLabel *lblSA = nullptr, *lblSA_NAME = nullptr;
    QLineEdit *edtSA = nullptr;

    // The group shown: its name in the label and, when it exists, its row focused.
    void SetSA_ID(int Value) override;
    int GroupShown() const { return FGroup; }

    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    QString DuplicateText() const override;
    void Retranslate() override;
    void showEvent(QShowEvent *e) override;

private:
    int FGroup = 0;
    bool FShown = false;
};
