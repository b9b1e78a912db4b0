#pragma once
// The two read-only group overviews: TfrmSA_S_Conf (one group's members and
// merge links side by side, exported as one workbook of two sheets) and
// TfrmSA_E_Cycle (the cycle lengths of every group and plan in one line).
// Neither loads anything before Search; the rows are GroupStore's.
#include "core/untBaseGrid.h"

class QLabel;
class QLineEdit;

class TfrmSA_S_Conf : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmSA_S_Conf(QWidget *owner = nullptr);

    QLabel *lblSA = nullptr, *lblMembers = nullptr, *lblMerges = nullptr;
    QLineEdit *edtSA = nullptr;            // the group's name, read-only; its button picks
    TGridView *gtvMerge = nullptr;         // the merge links (cxGrid holds the members)

    // Stores the group and shows its name; does not search.
    void SetSA_ID(int Value) override;
    int GroupShown() const { return FGroup; }

public slots:
    void actExportExecute() override;

protected:
    void Load() override;
    void Retranslate() override;

private:
    void ApplyExportState();
    int FGroup = 0;
};

class TfrmSA_E_Cycle : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmSA_E_Cycle(QWidget *owner = nullptr);

protected:
    void Load() override;
    void Retranslate() override;
};
