#pragma once
// The group grid of the monitoring panel, apart from the window: its rows from a
// state image and the keys of its column captions.
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct TST_VESK_STATE;

// The rows of the group grid of the monitoring panel: one per group 1 to 200 whose
// record byte 0 is not 0 and that has a name: "#", name, packet time "hh:nn:ss",
// control mode text, then bytes 3 to 9, 10, 12, 11, 13 and 14 as numbers.
QList<QStringList> SaMotRows(const TST_VESK_STATE &image, const QMap<int, QString> &names, const QDateTime &time);
// Column captions of the group grid (keys of the window's table).
QStringList SaMotColumnKeys();
