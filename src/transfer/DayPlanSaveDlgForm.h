#pragma once
// The pattern input of a day-plan DB save: for every entry (row 0..15) of every
// plan (column 1..10) the time-plan row (1..16) under which it is stored. Only
// the plan columns named at creation are editable.
#include <QDialog>
#include <QList>

class QCheckBox;
class QPushButton;
class QTableWidget;

class TFormDayPlanSaveDlg : public QDialog
{
    Q_OBJECT
public:
    TFormDayPlanSaveDlg(QWidget *AOwner, const QList<quint8> &AVisibleNum);

    // The value of entry row ARowIndex (0..15) of plan AColIndex (1..10); -1 empty.
    int ItemValue(int ARowIndex, int AColIndex) const;
    // Ticked: the existing rows of a plan stay (cbxCleanUp).
    bool KeepExisting() const;
    bool ColumnEditable(int plan) const;
    // Puts a typed text into a cell as the cell editor does: an empty text or a
    // number 1..16 in an editable column; anything else is refused (false).
    bool SetItemText(int row, int plan, const QString &text);
    // Enter in the grid: the next row, or from the last row the next editable plan
    // column (wrapping to the first) at row 0.
    void EnterPressed();
    // Confirm: OK when some plan cell holds a value, else the warning IDS_1.
    void btnConfirmClick();

    QTableWidget *Grid() const { return gtvGrid; }
    QCheckBox *CleanUpBox() const { return cbxCleanUp; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    QTableWidget *gtvGrid = nullptr;
    QCheckBox *cbxCleanUp = nullptr;
    QPushButton *btnConfirm = nullptr;
    QPushButton *btnCancel = nullptr;
    QList<bool> FEditable; // index 1..10
};

extern TFormDayPlanSaveDlg *FormDayPlanSaveDlg;
