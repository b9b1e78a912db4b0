// Filing of accepted replies: each upload opcode fills exactly its buffer at its
// offset and nothing else; replies that do not fit file nothing and fail.
#include <QTest>

#include "transfer/TransferDispatch.h"

Q_DECLARE_METATYPE(TLcTypeEx)

namespace {

// A reply of `length` data bytes (after the two skipped bytes) counting 1, 2, 3 ...
QByteArray Counting(int length, int start = 1)
{
    QByteArray a(length, 0);
    for (int i = 0; i < length; ++i)
        a[i] = char((start + i) & 0xFF);
    return a;
}

TCtrlData Frame(const QByteArray &req, const QByteArray &data, int headerSize = 2, int returnVal = 99996)
{
    TCtrlData f;
    f.FReqData = req;
    f.FReqDataSize = int(req.size());
    f.FResData = data;
    f.FResHeaderSize = headerSize;
    f.FResDataSize = int(data.size()) + headerSize;
    f.FReturnVal = returnVal;
    return f;
}

} // namespace

class TransferDispatchTest : public QObject
{
    Q_OBJECT
private slots:
    void uploads_data();
    void uploads();
    void refusedFits_data();
    void refusedFits();
    void runOutcome();
};

void TransferDispatchTest::uploads_data()
{
    QTest::addColumn<TLcTypeEx>("type");
    QTest::addColumn<int>("opcode");
    QTest::addColumn<QByteArray>("req");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("copied");
    const auto h = [](const char *x) { return QByteArray::fromHex(x); };
    const auto row = [&](const char *name, TLcTypeEx t, int op, QByteArray req, QByteArray data, int index,
                         const char *target, int offset, QByteArray copied) {
        QTest::newRow(name) << t << op << req << data << index << QString::fromLatin1(target) << offset << copied;
    };
    row("66 clock", lct2004, 66, {}, Counting(7), 0, "LClock", 0, Counting(7));
    row("100 extended command", lct2004, 100, {}, Counting(17), 0, "FExtCmd", 0, Counting(17));
    row("162 start-up 2004", lct2004, 162, {}, Counting(8), 0, "LStartUpCode_2004", 0, Counting(8));
    row("162 start-up 2010", lct2010_3L, 162, {}, Counting(25), 0, "LStartUpCode_2010", 0, Counting(25));
    row("166 holiday", lct2004, 166, {}, Counting(90), 0, "LHoliDayPlan", 0, Counting(90));
    row("170 weekly", lct2004, 170, {}, Counting(7), 0, "LWeekPlan", 0, Counting(7));
    row("178 day plan 3 part 1", lct2004, 178, h("21"), Counting(161), 0, "LDayPlan", 2 * 322 + 161, Counting(161));
    row("178 day plan 10 part 0", lct2010_4L, 178, h("90"), Counting(161), 0, "LDayPlan", 9 * 322, Counting(161));
    row("182 reservation", lct2004, 182, {}, Counting(80), 0, "LFunctionTable", 0, Counting(80));
    row("190 2004 map 2 ring B", lct2004, 190, h("fc"), h("fc") + Counting(608), 0, "LSignalMap_2004", 1824, Counting(608));
    row("190 2004 map 1 ring A", lct2004, 190, h("08"), h("08") + Counting(608), 0, "LSignalMap_2004", 0, Counting(608));
    row("190 4L 0x13", lct2010_4L, 190, h("13"), h("13") + Counting(608), 0, "LSignalMap_2010", 3 * 1216, Counting(608));
    row("190 3L 0x46", lct2010_3L, 190, h("46"), h("46") + Counting(608), 0, "LSignalMap_2010", 6 * 1216 + 608, Counting(608));
    row("194 flash 2004", lct2004, 194, {}, Counting(14), 0, "LFlashMap_2004", 0, Counting(14));
    row("194 flash 2010", lct2010_4L, 194, {}, Counting(17), 0, "LFlashMap_2010", 0, Counting(17));
    row("198 detectors 1-32", lct2004, 198, {}, Counting(224), 0, "LDetector", 0, Counting(224));
    row("204 detectors 33-64", lct2010_3L, 204, {}, Counting(224), 0, "LDetector", 224, Counting(224));
    row("206 common command", lct2004, 206, {}, Counting(30), 0, "FCommonCmd", 0, Counting(30));
    row("210 output map", lct2010_3L, 210, {}, Counting(119), 0, "LInOutPed", 0, Counting(119));
    row("214 conflict map", lct2010_3L, 214, {}, Counting(128), 0, "LConflictMap", 0, Counting(128));
    row("216 devices", lct2010_4L, 216, {}, Counting(122), 0, "LDevices", 0, Counting(122));
    row("218 network read", lct2010_4L, 218, QByteArray(40, 0), Counting(40), 0, "LNetwork", 0, Counting(40));
    row("218 actuated variables", lct2004, 218, {}, Counting(192), 0, "FActuateVar", 0, Counting(192));
    // UPS replies: [type, 221, sub-command, record], three bytes skipped
    row("220 UPS control", lct2010_3L, 220, h("31"), h("05"), 0, "FUPSControl", 0, h("05"));
    row("220 UPS status", lct2010_3L, 220, h("30"), Counting(24), 0, "FUPSStatus", 0, Counting(24));
    row("220 UPS vendor", lct2010_3L, 220, h("32"), Counting(60), 0, "FUPSVendor", 0, Counting(60));
    // option board: bytes 3 kind, 4 command, 5 selector
    row("84 bank 1", lct2010_3L, 84, {}, h("0000000101 01") + Counting(128), 0, "LSystemBank1", 0, Counting(128));
    row("84 bank 2", lct2010_3L, 84, {}, h("0000000101 02") + Counting(128), 0, "LSystemBank2", 0, Counting(128));
    row("84 VMS message 5", lct2010_4L, 84, {}, h("0000000213 05") + Counting(64), 4, "LVMSMsgs", 4 * 64, Counting(64));
    row("84 VMS schedules", lct2010_4L, 84, {}, h("0000000223") + Counting(160), 0, "LVMSSchds", 0, Counting(160));
    row("84 car timer", lct2010_4L, 84, {}, h("0000000313") + Counting(32), 0, "LCarTimer", 0, Counting(32));
    row("84 car timer status", lct2010_4L, 84, {}, h("0000000341") + Counting(128), 0, "LCarTimerStatus", 0, Counting(128));
    row("84 dump info", lct2010_4L, 84, {}, h("0000000411") + Counting(4), 0, "LDumpInfo", 0, Counting(4));
    row("84 dump part", lct2010_4L, 84, {}, h("0000000413") + Counting(180), 3, "LDumpDatas", 0, Counting(180));
    row("84 spillback", lct2010_4L, 84, {}, h("0000000513") + Counting(16), 0, "LSpillBacks", 0, Counting(16));
}

void TransferDispatchTest::uploads()
{
    QFETCH(TLcTypeEx, type);
    QFETCH(int, opcode);
    QFETCH(QByteArray, req);
    QFETCH(QByteArray, data);
    QFETCH(int, index);
    QFETCH(QString, target);
    QFETCH(int, offset);
    QFETCH(QByteArray, copied);
    TTransferBuffers b;
    const TTransferBuffers zero;
    const int header = opcode == 220 ? 3 : 2;
    QVERIFY(FileTransferReply(b, type, quint16(opcode), Frame(req, data, header), index));
    bool found = false;
    const auto all = b.All();
    const auto zeros = zero.All();
    for (int i = 0; i < all.size(); ++i) {
        const QByteArray &actual = *all.at(i).second;
        if (QString::fromLatin1(all.at(i).first) == target) {
            found = true;
            QByteArray expected = *zeros.at(i).second;
            if (expected.isEmpty())
                expected = copied;
            else
                expected.replace(offset, copied.size(), copied);
            QCOMPARE(actual, expected);
        } else {
            QVERIFY2(actual == *zeros.at(i).second, all.at(i).first);
        }
    }
    QVERIFY(found);
}

void TransferDispatchTest::refusedFits_data()
{
    QTest::addColumn<TLcTypeEx>("type");
    QTest::addColumn<int>("opcode");
    QTest::addColumn<QByteArray>("req");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("index");
    const auto h = [](const char *x) { return QByteArray::fromHex(x); };
    QTest::newRow("day plan 11") << lct2004 << 178 << h("a0") << Counting(161) << 0;
    QTest::newRow("day plan part 2") << lct2004 << 178 << h("12") << Counting(161) << 0;
    QTest::newRow("day plan over-long") << lct2004 << 178 << h("10") << Counting(162) << 0;
    QTest::newRow("signal map slot 7") << lct2010_3L << 190 << h("37") << h("37") + Counting(608) << 0;
    QTest::newRow("signal map no type") << lctNone << 190 << h("13") << h("13") + Counting(608) << 0;
    QTest::newRow("start-up over-long") << lct2004 << 162 << QByteArray() << Counting(25) << 0;
    QTest::newRow("clock short") << lct2004 << 66 << QByteArray() << Counting(6) << 0;
    QTest::newRow("network 41") << lct2010_3L << 218 << QByteArray(40, 0) << Counting(41) << 0;
    QTest::newRow("VMS message 17") << lct2010_4L << 84 << QByteArray() << h("0000000213 05") + Counting(64) << 16;
    QTest::newRow("VMS schedules over") << lct2010_4L << 84 << QByteArray() << h("0000000223") + Counting(160) << 1;
    QTest::newRow("spillback entry 8") << lct2010_4L << 84 << QByteArray() << h("0000000513") + Counting(2) << 8;
    QTest::newRow("bank over-long") << lct2010_3L << 84 << QByteArray() << h("0000000101 01") + Counting(129) << 0;
}

void TransferDispatchTest::refusedFits()
{
    QFETCH(TLcTypeEx, type);
    QFETCH(int, opcode);
    QFETCH(QByteArray, req);
    QFETCH(QByteArray, data);
    QFETCH(int, index);
    TTransferBuffers b;
    const TTransferBuffers zero;
    QVERIFY(!FileTransferReply(b, type, quint16(opcode), Frame(req, data), index));
    const auto all = b.All();
    const auto zeros = zero.All();
    for (int i = 0; i < all.size(); ++i)
        QVERIFY2(*all.at(i).second == *zeros.at(i).second, all.at(i).first);
}

void TransferDispatchTest::runOutcome()
{
    // Three VMS message frames; the middle one was refused.
    const QByteArray head = QByteArray::fromHex("0000000213 00");
    TCtrlDataArray frames = {Frame({}, head + Counting(64, 1)), Frame({}, head + Counting(64, 2), 2, 99998),
                             Frame({}, head + Counting(64, 3))};
    TTransferBuffers b;
    QVERIFY(!FileTransferReplies(b, lct2010_4L, 84, frames, 99996));
    QCOMPARE(b.LVMSMsgs.mid(0, 64), Counting(64, 1));    // accepted frames are filed
    QCOMPARE(b.LVMSMsgs.mid(64, 64), QByteArray(64, 0)); // the refused one is not
    QCOMPARE(b.LVMSMsgs.mid(128, 64), Counting(64, 3));
    frames[1].FReturnVal = 99996;
    b.Clear();
    QVERIFY(FileTransferReplies(b, lct2010_4L, 84, frames, 99996));
    // A failed close or connection: nothing is filed, the run fails.
    for (int code : {99994, 99991}) {
        b.Clear();
        QVERIFY(!FileTransferReplies(b, lct2010_4L, 84, frames, code));
        QCOMPARE(b.LVMSMsgs, QByteArray(1024, 0));
    }
    // A frame that does not fit fails the run even when the others were accepted.
    TCtrlDataArray plans = {Frame(QByteArray::fromHex("10"), Counting(161)), Frame(QByteArray::fromHex("b0"), Counting(161))};
    b.Clear();
    QVERIFY(!FileTransferReplies(b, lct2004, 178, plans, 99996));
    QCOMPARE(b.LDayPlan.mid(322, 161), Counting(161));
}

QTEST_GUILESS_MAIN(TransferDispatchTest)
#include "tst_transfer_dispatch.moc"
