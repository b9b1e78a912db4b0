#pragma once
// TfrmCarTimer: the countdown timer flags of every intersection of a group (or
// of all groups): one record per intersection, eight flags per display. The
// rows come from the intersection list, so there is no Insert; the rules and
// statements live in CarTimer.
#include "core/untBaseGrid.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class TfrmCarTimer : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmCarTimer(QWidget *owner = nullptr);

    QLabel *lblSA = nullptr;
    QLineEdit *edtSA = nullptr;
    QLabel *lblSA_NAME = nullptr;
    QCheckBox *cbxAllTCDV = nullptr;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;
};
