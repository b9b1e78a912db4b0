#pragma once
// TfrmTCDV_E_SignalManagerVariable: the start-up variables of one intersection
// as a vertical list (group label, item label, value), one row per column of
// SCS_M_INTSTARTUP. Each row edits its value with its own editor (value list,
// phase, number or eight phase boxes); a value outside its controller field is
// refused with a message. Every changed row is one UPDATE of its column.
#include "core/untBaseGrid.h"
#include "intersection/StartupVariables.h"

class QLabel;
class QLineEdit;
class QWidget;

// Clears (and disables) or enables the input controls inside a container and
// every panel or group box it holds.
void ClearAndDisableInputs(QWidget *container);
void EnableInputs(QWidget *container);
void ClearInputs(QWidget *container);

class TfrmTCDV_E_SignalManagerVariable : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmTCDV_E_SignalManagerVariable(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    // The row of a column of SCS_M_INTSTARTUP (-1 when the type has none).
    int RowOf(const QString &column) const;
    // The text the value cell of a record shows (list text, phases "1,3", number).
    QString ValueText(int rec) const;
    const QList<Startup::TRow> &Rows() const { return FRows; }
    // The merged group-label cells of the loaded rows: (first row, number of rows).
    const QList<QPair<int, int>> &MergedRuns() const { return FMergedRuns; }
    static constexpr int colLabel = 0, colSubLabel = 1, colValue = 2;

    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;

private:
    void MergeLabels();
    QList<Startup::TRow> FRows;
    QList<QPair<int, int>> FMergedRuns;
};
