#pragma once
// TFormTfdtMaster: the detector channels of one intersection's controller (or of
// every intersection while "All" is ticked), up to 128 per intersection:
// channels 1 to 64 wired to this controller, 65 to 128 mirroring a channel of
// another intersection. The rules and statements live in TfdtMaster; after
// every commit the main window's detector layer is asked to refresh.
#include "core/untBaseGrid.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class TFormTfdtMaster : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TFormTfdtMaster(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QCheckBox *cbxAllTCDV = nullptr;

    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;
    // The picker of a cell (phase, detector id, installed intersection) on a record.
    void CellButtonClick(int rec, const QString &column);

public slots:
    void actAddExecute() override;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;

private:
    void cbxAllTCDVClick(bool all);
};
