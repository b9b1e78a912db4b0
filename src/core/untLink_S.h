#pragma once
// TfrmLink_S: modal link picker (SCS_M_LINK). Opener: create, caption
// DM->T_LinkSTitle, exec(); on OK read qryLinkListLINK_ID() as text; free.
#include "core/untPickerBase.h"

class TfrmLink_S : public TfrmFilterPicker
{
    Q_OBJECT
public:
    explicit TfrmLink_S(QWidget *owner = nullptr);
    QVariant qryLinkListLINK_ID() const { return Value("LINK_ID"); }
    QVariant qryLinkListNODE_FID() const { return Value("NODE_FID"); }
    QVariant qryLinkListNODE_TID() const { return Value("NODE_TID"); }

protected:
    QString ListSql() const override;
    QList<int> FilterColumns() const override { return {0, 1, 2}; }
};
