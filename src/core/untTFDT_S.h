#pragma once
// TfrmTFDT_S: modal detector picker (SCS_M_TFDT). Opener: create, caption
// DM->T_TfdtSTitle, exec(); on OK read qryTFDTListTFDT_ID() as text; free.
#include "core/untPickerBase.h"

class TfrmTFDT_S : public TfrmFilterPicker
{
    Q_OBJECT
public:
    explicit TfrmTFDT_S(QWidget *owner = nullptr);
    QVariant qryTFDTListTFDT_ID() const { return Value("TFDT_ID"); }
    QVariant qryTFDTListTFDT_NAME() const { return Value("TFDT_NAME"); }
    QVariant qryTFDTListTFDT_LAT() const { return Value("TFDT_LAT"); }
    QVariant qryTFDTListTFDT_LNG() const { return Value("TFDT_LNG"); }

protected:
    QString ListSql() const override;
    QList<int> FilterColumns() const override { return {0, 1}; }
};
