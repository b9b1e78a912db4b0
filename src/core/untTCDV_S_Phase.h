#pragma once
// TfrmTCDV_S_Phase: modal picker of the phases of one intersection for one plan
// class. Opener: create, caption, SetTCDV_ID(n), optionally SetINT_RING(1|2);
// exec(); on OK read mmPhaseListINT_PHASENO(); free.
#include "core/untPickerBase.h"

class QComboBox;
class QLabel;

// Movement picture of a movement number: 1 to 8, 17 and 18 keep their number;
// any other n gives (n mod 9) + 1.
int MvmtPictureIndex(int movementNo);

class TfrmTCDV_S_Phase : public TfrmPickerBase
{
    Q_OBJECT
public:
    explicit TfrmTCDV_S_Phase(QWidget *owner = nullptr);

    int TCDV_ID() const { return FTCDV_ID; }
    void SetTCDV_ID(int value);           // stores it and shows its name
    int PLAN_CLSS() const { return FPLAN_CLSS; }
    void SetPLAN_CLSS(int value);         // reloads the list
    int INT_RING() const { return FINT_RING; }
    void SetINT_RING(int value);          // 0: no ring filter

    QVariant mmPhaseListINT_PHASENO() const { return Value("INT_PHASENO"); }
    QVariant mmPhaseListINT_RING() const { return Value("INT_RING"); }
    QVariant mmPhaseListINT_FLOWNUMBER() const { return Value("INT_FLOWNUMBER"); }

    QLabel *lblTCDV = nullptr;      // "교차로"
    QLabel *lblTCDVName = nullptr;
    QComboBox *cbxPlanClss = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void Retranslate() override;

private:
    void FillPlanClasses();
    void UpdateSelect();
    int FTCDV_ID = 0;
    int FPLAN_CLSS = 1;
    int FINT_RING = 0;
    bool FShown = false;
};
