#include "core/untTFDT_S.h"

TfrmTFDT_S::TfrmTFDT_S(QWidget *owner) : TfrmFilterPicker(owner)
{
    resize(560, 460);
    SetColumns({
        TGridColumn("TFDT_ID", QString::fromUtf8("검지기 ID")).Key("gtvTFDTTFDT_ID.Caption").W(90),
        TGridColumn("TFDT_NAME", QString::fromUtf8("검지기명")).Key("gtvTFDTTFDT_NAME.Caption").W(180).Left(),
        TGridColumn("TFDT_LAT", QString::fromUtf8("위도")).Key("gtvTFDTTFDT_LAT.Caption").W(100),
        TGridColumn("TFDT_LNG", QString::fromUtf8("경도")).Key("gtvTFDTTFDT_LNG.Caption").W(100),
    });
    InitLanguage();
}

QString TfrmTFDT_S::ListSql() const
{
    return QStringLiteral("SELECT TFDT_ID, TFDT_NAME, TFDT_LAT, TFDT_LNG FROM SCS_M_TFDT ORDER BY ")
        + NumericOrder(QStringLiteral("TFDT_ID"));
}
