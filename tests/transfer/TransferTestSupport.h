#pragma once
// Shared by the transfer tests: the fixture database of one group with a 2004,
// a three-lamp and a four-lamp controller, and the golden blocks of its rows,
// written by hand from the block layouts.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTest>

#include "TestDb.h"

namespace TransferFixture {

constexpr int Group = 50;
constexpr int Lc2004 = 901;
constexpr int Lc3L = 902;
constexpr int Lc4L = 903;

// Creates database `name` with the schema and the fixture rows.
inline bool Create(const QString &name)
{
    if (!TestDb::create(name, false))
        return false;
    QString error;
    const bool ok = TestDb::runScriptFile(
        name, TestDb::sourceDir() + QStringLiteral("/tests/transfer/transfer-fixture.sql"), &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

// A block of `size` bytes, zero except the given runs (offset -> hex bytes).
inline QByteArray Block(int size, const QMap<int, QByteArray> &runs)
{
    QByteArray b(size, 0);
    for (auto it = runs.cbegin(); it != runs.cend(); ++it) {
        const QByteArray run = QByteArray::fromHex(it.value());
        b.replace(it.key(), run.size(), run);
    }
    return b;
}

// Day-plan slots of the fixture's two split rows (row 1 with cycle row 1 and
// offset row 1, row 2 with cycle row 2 and offset row 2).
inline QByteArray DayPlanGolden()
{
    const QByteArray split1 = "1e1f1e201e211e180000000000000000";
    const QByteArray split2 = "28291e2a282b1e2c0105020603070408";
    const QList<QByteArray> slotBytes = {
        "0000780f" + split1, "061e8c19" + split2, "07007800" + split1, "08008c19" + split2,
        "0900780f" + split1, "0a008c19" + split2, "0c00780f" + split1, "0d008c19" + split2,
    };
    QMap<int, QByteArray> runs;
    runs.insert(322, "10");
    for (int j = 0; j < 8; ++j)
        runs.insert(322 + 1 + 20 * j, slotBytes[j]);
    runs.insert(483, "11" + QByteArray("173b780f") + split1);
    return Block(3220, runs);
}

// Golden centre blocks of the fixture (by kind and controller).
inline QByteArray StartupGolden(int lc)
{
    if (lc == Lc2004)
        return QByteArray::fromHex("3542050103 0a0709");
    if (lc == Lc3L)
        return QByteArray::fromHex("ad3406aa0507141e 0102040810 a021030c7927 000000000000");
    return QByteArray(25, 0);
}

inline QByteArray SignalMapGolden(int lc)
{
    if (lc == Lc2004)
        return Block(2432, {{0, "0102030405060708090a0b0c0d0e0f10 0a2801"},
                            {2413, "30203020302030203020302030203020 050601"}});
    if (lc == Lc3L)
        return Block(8512, {{8493, "1112131415161718191a1b1c1d1e1f20 212201"}});
    return Block(8512, {{3667, "10201020102010201020102010201020 0f3c00"}});
}

inline QByteArray FlashMapGolden(int lc)
{
    if (lc == Lc2004)
        return QByteArray::fromHex("302010100000200030201010 01 05");
    if (lc == Lc3L)
        return QByteArray::fromHex("41257708010203040580000000000000 09");
    return QByteArray::fromHex("30203020302030203020302030203020 03");
}

inline QByteArray DetectorGolden(int lc)
{
    if (lc == Lc2004)
        return Block(448, {{0, "02032801010102"}});
    if (lc == Lc4L)
        return Block(448, {{441, "05087803070208"}});
    return QByteArray(448, 0);
}

inline QByteArray WeekPlanGolden() { return QByteArray::fromHex("02010000000003"); }
inline QByteArray HoliDayPlanGolden() { return Block(90, {{0, "010104"}, {87, "0c1905"}}); }

inline QByteArray FunctionTableGolden(int lc)
{
    if (lc == Lc3L)
        return Block(80, {{0, "0505001600171e84"}, {72, "0c1806120f152d05"}});
    return QByteArray(80, 0);
}

inline QByteArray InOutPedGolden(int lc)
{
    if (lc != Lc3L)
        return QByteArray(119, 0);
    return Block(119, {{0, "15 22 00 00 00 f1 00 53 14 0a 10"},
                       {22, "5f 11 00 32 00 00 00 42 00 00 01"},
                       {99, "0a 00 00 41 00 00 00 01 00 00 00"},
                       {110, "81 01 50 20 00 00 0a"}});
}

inline QByteArray ConflictMapGolden(int lc)
{
    if (lc == Lc4L)
        return Block(128, {{0, "40"}, {9, "40"}, {123, "01"}});
    return QByteArray(128, 0);
}

inline QByteArray VMSMsgsGolden(int lc)
{
    if (lc != Lc4L)
        return QByteArray(1024, 0);
    QMap<int, QByteArray> runs;
    for (int k = 0; k < 16; ++k) {
        const QByteArray n = QByteArray::number(k + 1, 16).rightJustified(2, '0');
        runs.insert(64 * k, "0102" + n + n);
        const QByteArray text = k == 1 ? QByteArray("41") + QByteArray("b0a1").repeated(23)
                                       : QByteArray("4d") + QByteArray::number(k + 1).toHex();
        runs.insert(64 * k + 16, text);
    }
    return Block(1024, runs);
}

inline QByteArray VMSSchdsGolden(int lc)
{
    if (lc != Lc4L)
        return QByteArray(160, 0);
    QMap<int, QByteArray> runs;
    for (int k = 0; k < 10; ++k)
        runs.insert(16 * k, "01" + QByteArray::number(k + 1, 16).rightJustified(2, '0') + "0006001600320102");
    return Block(160, runs);
}

inline QByteArray CarTimerGolden(int lc)
{
    if (lc == Lc4L)
        return Block(32, {{0, "010f"}, {18, "0a"}, {31, "05"}});
    return QByteArray(32, 0);
}

inline QByteArray SpillBacksGolden(int lc)
{
    if (lc == Lc4L)
        return QByteArray::fromHex("01b2 0249 0311 0411 0511 0611 0711 08ef");
    return QByteArray(16, 0);
}

// The first differing byte, for readable failures.
inline QString FirstDifference(const QByteArray &actual, const QByteArray &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1, expected %2").arg(actual.size()).arg(expected.size());
    for (int i = 0; i < actual.size(); ++i)
        if (actual.at(i) != expected.at(i))
            return QStringLiteral("byte %1 is %2, expected %3")
                .arg(i)
                .arg(quint8(actual.at(i)), 2, 16, QLatin1Char('0'))
                .arg(quint8(expected.at(i)), 2, 16, QLatin1Char('0'));
    return QString();
}

} // namespace TransferFixture

#define COMPARE_BLOCK(actual, expected)                                                        \
    do {                                                                                       \
        const QString diff_ = TransferFixture::FirstDifference((actual), (expected));          \
        if (!diff_.isEmpty())                                                                  \
            QFAIL(qPrintable(diff_));                                                          \
    } while (false)
