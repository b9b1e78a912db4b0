#pragma once
// TFormTcdvReservePlan: the reservation (special-function) plans of one
// intersection or of all at once, on the grid editor frame. The logic lives in
// plans/ReservePlanUnit.h; the window connects the number box, the "All" box,
// the grid's lists by controller type and the actions. The save asks no
// question; Insert is refused beyond ten entries.
#include "core/untBaseGrid.h"
#include "plans/ReservePlanUnit.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class TFormTcdvReservePlan : public TfrmBaseGrid
{
    Q_OBJECT
    Q_PROPERTY(int TcdvID READ TcdvID WRITE SetTcdvID)
public:
    explicit TFormTcdvReservePlan(QWidget *owner = nullptr);

    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QCheckBox *cbxAllTCDV = nullptr;

    int TcdvID() const { return TCDV_ID(); }
    void SetTcdvID(int value) { SetTCDV_ID(value); }
    // The controller type whose lists the grid shows (that of the focused row).
    TLcTypeEx TcdvLCType() const { return FLCType; }
    ReservePlan::TReservePlanEdits &Edits() { return FEdits; }

    void SetTCDV_ID(int Value) override;
    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;

public slots:
    void actAddExecute() override;
    bool actSaveNoQuestion();
    void cbxAllTCDVClick();

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;

private:
    void FollowLcType(int lcNo);
    TLcTypeEx FLCType = lct2004;
    ReservePlan::TReservePlanEdits FEdits;
};
