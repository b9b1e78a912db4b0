// Packet header byte images in both byte orders, the packet builders, the closing
// packet and packet times.
#include <QtTest>

#include "centrelink/RC2MMIUnit.h"
#include "RcWire.h"

namespace {
QByteArray bytesOf(const THostSimplePacket &p, int from, int len)
{
    return QByteArray(p.WireBytes() + from, len);
}
quint32 le32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(b.constData() + at));
}
quint32 be32(const QByteArray &b, int at)
{
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(b.constData() + at));
}
} // namespace

class TestRcPackets : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { SetServerBigEndian(false); }

    void headerImage_data();
    void headerImage();
    void timeStampLayout_data();
    void timeStampLayout();
    void addDataCounts();
    void addDataNullPointer();
    void addDataNeverWritesPastTheDataArea();
    void dazavaHeadAndLrc();
    void closingPacket();
    void convertReceivedHeader_data();
    void convertReceivedHeader();
    void packetTime_data();
    void packetTime();
    void packetTimeZeroIsNow();
};

void TestRcPackets::headerImage_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("target");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("bigEndian");
    QTest::addColumn<QByteArray>("first16"); // hex

    const QByteArray one = QByteArray::fromHex("01");
    const QByteArray ctrlMode = QByteArray::fromHex("021081000000");
    const QByteArray special = QByteArray(2 + 35, '\x07');
    QTest::newRow("group operating mode, little") << 0xE6 << 2 << 17 << one << false
                                                  << QByteArray("434d010200000002e6e6110001000000");
    QTest::newRow("group operating mode, big") << 0xE6 << 2 << 17 << one << true
                                               << QByteArray("434d010200000002e6e6001100000001");
    QTest::newRow("monitor request, little") << 2 << 3 << 0 << QByteArray() << false
                                             << QByteArray("434d010200000003020200000000" "0000");
    QTest::newRow("monitor request, big") << 2 << 3 << 0 << QByteArray() << true
                                          << QByteArray("434d01020000000302020000000000" "00");
    QTest::newRow("parameters changed, big") << 4 << 3 << 0 << QByteArray() << true
                                             << QByteArray("434d010200000003040400000000" "0000");
    QTest::newRow("server restart, little") << 6 << 3 << 0 << QByteArray() << false
                                            << QByteArray("434d010200000003060600000000" "0000");
    QTest::newRow("control mode 1024, little") << 0x10 << 1 << 1024 << ctrlMode << false
                                               << QByteArray("434d010200000001101000040600" "0000");
    QTest::newRow("control mode 1024, big") << 0x10 << 1 << 1024 << ctrlMode << true
                                            << QByteArray("434d010200000001101004000000" "0006");
    QTest::newRow("special 2010 at 300, little") << 0x50 << 1 << 300 << special << false
                                                 << QByteArray("434d010200000001505" "02c0125000000");
    QTest::newRow("special 2010 at 300, big") << 0x50 << 1 << 300 << special << true
                                              << QByteArray("434d01020000000150500" "12c00000025");
    QTest::newRow("intersection TOD/TRC, big") << 0xEA << 1 << 5 << one << true
                                               << QByteArray("434d010200000001eaea000500000001");
    QTest::newRow("group manual, little") << 0xEC << 2 << 200 << QByteArray::fromHex("010203") << false
                                          << QByteArray("434d010200000002ecec" "c80003000000");
}

void TestRcPackets::headerImage()
{
    QFETCH(int, command);
    QFETCH(int, kind);
    QFETCH(int, target);
    QFETCH(QByteArray, data);
    QFETCH(bool, bigEndian);
    QFETCH(QByteArray, first16);

    SetServerBigEndian(bigEndian);
    THostSimplePacket p;
    p.Reset();
    p.SetHead(quint8(command), quint8(kind), quint16(target));
    QVERIFY(p.AddData(data));
    QCOMPARE(p.DataSize, qint32(data.size()));
    QCOMPARE(p.WireSize(), 32 + int(data.size()));
    QCOMPARE(bytesOf(p, 0, 16).toHex(), first16);
    QCOMPARE(bytesOf(p, 32, int(data.size())), data);

    // The simulator's independent reading of the same bytes agrees field by field.
    const rcsim::WireHead h = rcsim::WireHead::decode(p.WireBytes(), bigEndian);
    QVERIFY(h.validStart());
    QCOMPARE(int(h.src), 1);
    QCOMPARE(int(h.dst), 2);
    QCOMPARE(int(h.kind), kind);
    QCOMPARE(int(h.opcode), command);
    QCOMPARE(int(h.command), command);
    QCOMPARE(int(h.target), target);
    QCOMPARE(qint64(h.dsize), qint64(data.size()));
    QCOMPARE(h.secondsHigh, 0u);
    QCOMPARE(h.micros, 0u);
    QVERIFY(qAbs(qint64(h.seconds) - LocalClockAsUnixSeconds()) <= 2);
}

void TestRcPackets::timeStampLayout_data()
{
    QTest::addColumn<bool>("bigEndian");
    QTest::newRow("little-endian") << false;
    QTest::newRow("big-endian") << true;
}

void TestRcPackets::timeStampLayout()
{
    QFETCH(bool, bigEndian);
    SetServerBigEndian(bigEndian);
    THostPacketHead h;
    h.Reset();
    h.SetTime(0x12345678, 0x0A0B0C0D);
    const QByteArray b = h.ToByteArray();
    if (!bigEndian) {
        QCOMPARE(b.mid(16, 16).toHex(), QByteArray("78563412000000000d0c0b0a00000000"));
    } else {
        QCOMPARE(b.mid(16, 16).toHex(), QByteArray("0000000012345678000000000a0b0c0d"));
    }
    const TTimeVal tv = h.GetCurrentTime();
    QCOMPARE(tv.tv_sec, 0x12345678);
    QCOMPARE(tv.tv_usec, 0x0A0B0C0D);

    // The console's own stamp: local clock read as UTC, zero microseconds.
    h.SetCurrentTime();
    const QByteArray now = h.ToByteArray();
    const quint32 secs = bigEndian ? be32(now, 20) : le32(now, 16);
    QVERIFY(qAbs(qint64(secs) - LocalClockAsUnixSeconds()) <= 2);
    QCOMPARE(bigEndian ? be32(now, 16) : le32(now, 20), 0u);
    QCOMPARE(le32(now, 24), 0u);
    QCOMPARE(le32(now, 28), 0u);
}

void TestRcPackets::addDataCounts()
{
    SetServerBigEndian(true);
    THostSimplePacket p;
    p.Reset();
    p.SetHead(0xEC, 2, 1);
    const quint8 a = 1;
    const quint8 b[3] = {2, 3, 4};
    QVERIFY(p.AddData(&a, 1));
    QVERIFY(p.AddData(b, 3));
    QCOMPARE(p.DataSize, 4);
    QCOMPARE(bytesOf(p, 12, 4).toHex(), QByteArray("00000004"));
    QCOMPARE(bytesOf(p, 32, 4).toHex(), QByteArray("01020304"));
}

void TestRcPackets::addDataNullPointer()
{
    THostSimplePacket p;
    p.Reset();
    p.SetHead(0x50, 1, 3);
    p.Data[0] = 0x11;
    QVERIFY(p.AddData(nullptr, 5));
    QCOMPARE(p.DataSize, 5);
    QCOMPARE(p.Head.dsize, 5u);
    QCOMPARE(int(p.Data[0]), 0x11); // bytes untouched
}

void TestRcPackets::addDataNeverWritesPastTheDataArea()
{
    struct Guarded
    {
        THostSimplePacket packet;
        quint8 canary[64];
    } g;
    std::memset(g.canary, 0xAA, sizeof g.canary);
    g.packet.Reset();
    g.packet.SetHead(0x50, 1, 3);
    const QByteArray big(1000, '\x01');
    QVERIFY(g.packet.AddData(big));
    QVERIFY(!g.packet.AddData(QByteArray(30, '\x02'))); // 1030 > 1024: refused whole
    QCOMPARE(g.packet.DataSize, 1000);
    QCOMPARE(g.packet.Head.dsize, 1000u);
    QVERIFY(!g.packet.AddData(nullptr, 100));
    QVERIFY(g.packet.AddData(QByteArray(24, '\x03'))); // exactly full
    QCOMPARE(g.packet.DataSize, 1024);
    QVERIFY(!g.packet.AddDazavaHead(1, 2));
    QVERIFY(!g.packet.MakeDazavaLrcCode());
    for (quint8 c : g.canary)
        QCOMPARE(int(c), 0xAA);
}

void TestRcPackets::dazavaHeadAndLrc()
{
    THostSimplePacket p;
    p.Reset();
    p.SetHead(0x50, 1, 3);
    QVERIFY(p.AddDazavaHead(1, 0x50));
    const quint8 rec[2] = {0x02, 0x03};
    QVERIFY(p.AddDazavaData(rec, 2));
    QVERIFY(p.MakeDazavaLrcCode());
    QCOMPARE(p.DataBytes().toHex(), QByteArray("0150020301"));

    THostSimplePacket q;
    q.Reset();
    q.SetHead(0x10, 1, 3);
    QVERIFY(q.AddDazavaHead(2, 0x10));
    QVERIFY(q.MakeDazavaLrcCode());
    QCOMPARE(q.DataBytes().toHex(), QByteArray("021000"));
}

void TestRcPackets::closingPacket()
{
    for (bool be : {false, true}) {
        SetServerBigEndian(be);
        THostSimplePacket p;
        p.Reset();
        p.SetHead(0x50, 1, 99);
        p.AddData(QByteArray(10, '\x05'));
        MakeClosePacket(p);
        QCOMPARE(p.WireSize(), 32);
        QCOMPARE(bytesOf(p, 0, 16).toHex(), QByteArray("434d0102000000000101000000000000"));
        QCOMPARE(p.DataBytes(), QByteArray());
        QCOMPARE(int(p.Data[0]), 0); // the request's bytes are gone
        QVERIFY(qAbs(qint64(p.Head.GetCurrentTime().tv_sec) - LocalClockAsUnixSeconds()) <= 2);
    }
}

void TestRcPackets::convertReceivedHeader_data()
{
    QTest::addColumn<bool>("bigEndian");
    QTest::addColumn<QByteArray>("raw"); // bytes 0..15 as received
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("dsize");
    QTest::newRow("little") << false << QByteArray("434d02010000000103031100e8e70100") << 17 << 124904;
    QTest::newRow("big") << true << QByteArray("434d02010000000103030011000001e8") << 17 << 488;
    QTest::newRow("zero data") << true << QByteArray("434d02010000000305050000" "00000000") << 0 << 0;
}

void TestRcPackets::convertReceivedHeader()
{
    QFETCH(bool, bigEndian);
    QFETCH(QByteArray, raw);
    QFETCH(int, target);
    QFETCH(int, dsize);
    SetServerBigEndian(bigEndian);
    THostSimplePacket p;
    p.Reset();
    const QByteArray bytes = QByteArray::fromHex(raw);
    std::memcpy(&p.Head, bytes.constData(), 16);
    p.ConvertRecvHead();
    QCOMPARE(int(p.Head.target_num), target);
    QCOMPARE(qint64(p.Head.dsize), qint64(dsize));
}

void TestRcPackets::packetTime_data()
{
    QTest::addColumn<qint32>("seconds");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("one day") << qint32(86400) << QDateTime(QDate(1970, 1, 2), QTime(9, 0));
    QTest::newRow("2023") << qint32(1700000000) << QDateTime(QDate(2023, 11, 15), QTime(7, 13, 20));
    QTest::newRow("one second") << qint32(1) << QDateTime(QDate(1970, 1, 1), QTime(9, 0, 1));
    QTest::newRow("negative") << qint32(-1) << QDateTime(QDate(1970, 1, 1), QTime(8, 59, 59));
}

void TestRcPackets::packetTime()
{
    QFETCH(qint32, seconds);
    QFETCH(QDateTime, expected);
    for (bool be : {false, true}) {
        SetServerBigEndian(be);
        THostPacketHead h;
        h.Reset();
        h.SetTime(seconds, 0);
        const QDateTime got = PacketTimeToDateTime(h.GetCurrentTime());
        QCOMPARE(got.date(), expected.date());
        QCOMPARE(got.time(), expected.time());
    }
}

void TestRcPackets::packetTimeZeroIsNow()
{
    TTimeVal tv;
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime got = PacketTimeToDateTime(tv);
    QVERIFY(qAbs(got.secsTo(before)) <= 2);
}

QTEST_GUILESS_MAIN(TestRcPackets)
#include "tst_rc_packets.moc"
