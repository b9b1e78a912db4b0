#pragma once
// TfrmVMSMsgPlan: the VMS messages (up to 16) and the schedule entries (up to 10)
// of one intersection, two grids that search, add, delete, save and export on
// their own. The message grid is the base window's grid; the schedule grid has
// its own controller on the same save path. A message text longer than the
// controller record's 48 bytes (CP949) is refused before anything is written.
#include "core/untBaseGrid.h"

class QLabel;
class QLineEdit;

class TfrmVMSMsgPlan : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmVMSMsgPlan(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QLabel *lblMsg = nullptr;
    QLabel *lblSchd = nullptr;
    TGridView *gtvMsg = nullptr;   // the base window's grid
    TGridView *gtvSchd = nullptr;
    TGridController *SchdController() const { return FSchd; }
    QAction *actSearch1 = nullptr, *actAdd1 = nullptr, *actDel1 = nullptr, *actSave1 = nullptr,
            *actExport1 = nullptr;

    TGridModel *MsgModel() const { return GridModel(); }
    TGridModel *SchdModel() const { return gtvSchd->GridModel(); }

    void SetTCDV_ID(int Value) override;
    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;
    bool CanClose() override;

public slots:
    void actAddExecute() override;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void NameExports();
    int FSchdColumnWidth = 0;
    void SearchSchedules();
    void SaveSchedule(const TGridRow &row);
    void AddRow(int grid);
    TGridController *FSchd = nullptr;
};
