#pragma once
// TfrmSA_E_Merge: how one group joins its neighbours. "New" lists up to four
// merge links (SCS_M_SAMERGE); "Simple" the group's six axis variables of
// SCS_M_SAOPERATE as one row. The statements are GroupStore's; no refresh flag
// of the main window is raised.
#include "core/untBaseGrid.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class TfrmSA_E_Merge : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmSA_E_Merge(QWidget *owner = nullptr);

    QLabel *lblSA = nullptr, *lblSA_NAME = nullptr;
    QLineEdit *edtSA = nullptr;
    QGroupBox *rgpMergeType = nullptr;
    QRadioButton *rbNew = nullptr, *rbSimple = nullptr;

    // 0 New, 1 Simple.
    int MergeType() const;
    void SetMergeType(int type);
    // Shows the columns of the current method.
    void ShowMergeColumns();
    // The picker of a cell (target group, main or sub intersection).
    void CellButtonClick(int rec, const QString &column);

    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;

public slots:
    void actAddExecute() override;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;
};
