#include "mainwindow/SaMotGridUnit.h"

#include "centrelink/RC2MMIUnit.h"
#include "core/untCodeToText.h"

QStringList SaMotColumnKeys()
{
    QStringList keys;
    for (int i = 0; i < 16; ++i)
        keys << QStringLiteral("gtvSAMot.Col%1").arg(i);
    return keys;
}

QList<QStringList> SaMotRows(const TST_VESK_STATE &image, const QMap<int, QString> &names, const QDateTime &time)
{
    static const int kBytes[] = {3, 4, 5, 6, 7, 8, 9, 10, 12, 11, 13, 14};
    QList<QStringList> rows;
    const QString t = time.toString(QStringLiteral("hh:mm:ss"));
    for (int g = 1; g <= RC_GROUP_COUNT; ++g) {
        const quint8 *rec = image.grp_state[g - 1];
        if (rec[0] == 0 || !names.contains(g))
            continue;
        QStringList r;
        r << QString::number(g) << names.value(g) << t << GetCtrlModeText(rec[2]);
        for (int b : kBytes)
            r << QString::number(rec[b]);
        rows << r;
    }
    return rows;
}
