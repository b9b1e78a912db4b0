#include "core/untLink_S.h"

TfrmLink_S::TfrmLink_S(QWidget *owner) : TfrmFilterPicker(owner)
{
    resize(480, 460);
    SetColumns({
        TGridColumn("LINK_ID", QString::fromUtf8("링크 ID")).Key("gtvLinkLINK_ID.Caption").W(110),
        TGridColumn("NODE_FID", QString::fromUtf8("시작 노드")).Key("gtvLinkNODE_FID.Caption").W(110),
        TGridColumn("NODE_TID", QString::fromUtf8("종료 노드")).Key("gtvLinkNODE_TID.Caption").W(110),
    });
    InitLanguage();
}

QString TfrmLink_S::ListSql() const
{
    return QStringLiteral("SELECT LINK_ID, NODE_FID, NODE_TID FROM SCS_M_LINK ORDER BY ")
        + NumericOrder(QStringLiteral("LINK_ID"));
}
