#include "transfer/TransferGridLayouts.h"

#include "core/siLang.h"

namespace {

QStringList Kinds(TLcTypeEx type)
{
    if (type == lct2010_3L)
        return {QStringLiteral("G1"), QStringLiteral("G2")};
    if (type == lct2010_4L)
        return {QStringLiteral("PG"), QStringLiteral("A"), QStringLiteral("G"), QStringLiteral("-")};
    return {};
}

} // namespace

QList<TConflictRow> ConflictLayoutRows(TLcTypeEx type)
{
    const QStringList kinds = Kinds(type);
    QList<TConflictRow> rows;
    if (kinds.isEmpty())
        return rows;
    const QString group = siText(QStringLiteral("TfrmTCDV_C_DBUpDn"), QStringLiteral("IDS_1162"));
    for (int r = 0; r < 32; ++r)
        rows << TConflictRow{group, QStringLiteral("LSU #%1").arg(r / kinds.size() + 1), kinds.at(r % kinds.size())};
    return rows;
}

QStringList ConflictBandCaptions(TLcTypeEx type)
{
    const QStringList kinds = Kinds(type);
    QStringList captions;
    if (kinds.isEmpty())
        return captions;
    for (int b = 0; b < 8; ++b)
        captions << kinds.at(b % kinds.size());
    return captions;
}
