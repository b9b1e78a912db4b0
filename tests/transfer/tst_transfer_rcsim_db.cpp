// The transfer executor against the simulated centre server's controller
// database: every download kind leaves exactly its golden block in the store,
// every upload files its block into its buffer and nothing else, each failure of
// the simulator on the first, a middle or the last frame gives its result code and
// files nothing for that frame, and the big-endian server works the same. No test
// leaves a protocol error in the simulator.
#include <QApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

#include "RcCtrlDb.h"
#include "RcSim.h"
#include "RcSimEndpoint.h"
#include "TestConsoleFolder.h"
#include "TransferTestSupport.h"
#include "centrelink/ExchangeLogUnit.h"
#include "core/untDM.h"
#include "transfer/TransferExecutor.h"

using namespace TransferFixture;

namespace {
const QString kDb = QStringLiteral("transfer_rcsim_db");

TCtrlData Frame(const QByteArray &req, int resHeader, int resSize)
{
    TCtrlData f;
    f.FReqData = req;
    f.FReqDataSize = int(req.size());
    f.FResHeaderSize = resHeader;
    f.FResDataSize = resSize;
    f.FEqualCompare = true;
    return f;
}

// One frame per selector byte.
TCtrlDataArray SelectorFrames(const QByteArray &selectors, int resHeader, int resSize)
{
    TCtrlDataArray frames;
    for (char s : selectors)
        frames << Frame(QByteArray(1, s), resHeader, resSize);
    return frames;
}

QByteArray Counting(int length, int start)
{
    QByteArray a(length, 0);
    for (int i = 0; i < length; ++i)
        a[i] = char((start + i) & 0xFF);
    return a;
}

// Signal-map selectors of every map and ring, as the download table gives them.
QByteArray SignalSelectors(int lc)
{
    if (lc == Lc2004)
        return QByteArray::fromHex("00 04 f0 f4");
    if (lc == Lc3L)
        return QByteArray::fromHex("30 40 31 41 32 42 33 43 34 44 35 45 36 46");
    return QByteArray::fromHex("10 20 11 21 12 22 13 23 14 24 15 25 16 26");
}

// Day-plan selectors of all ten plans, both halves.
QByteArray DayPlanSelectors()
{
    return QByteArray::fromHex("00 01 10 11 20 21 30 31 40 41 50 51 60 61 70 71 80 81 90 91");
}

const QByteArray kHead = QByteArray::fromHex("09c005");
} // namespace

class TransferRcSimDbTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void centreDownloads_data();
    void centreDownloads();
    void payloadDownloads_data();
    void payloadDownloads();
    void uploads_data();
    void uploads();
    void historyUploads_data();
    void historyUploads();
    void foreignSelectorIsProtocolError();
    void faultOnFrame_data();
    void faultOnFrame();
    void connectionLostOnFrame_data();
    void connectionLostOnFrame();
    void unreachableServer();
    void bigEndianServer();
    void seedAndCommands_data();
    void seedAndCommands();

private:
    bool run(TTransferExecutor &ex, int lc, TCtrlDataArray &frames, int req, int res);
    void verifyOneFailedRun(int requestOpcode);
    QTemporaryDir FDir;
    std::unique_ptr<rcsim::RcSim> FSim;
    std::unique_ptr<rcsim::ControllerDb> FStore;
    TRcEndpoint FEndpoint;
    QSqlDatabase FDb;
    bool FExpectProtocolError = false;
};

static rcsim::CtrlDbSource Source()
{
    rcsim::CtrlDbSource s;
    s.database = kDb;
    s.host = QStringLiteral("127.0.0.1");
    s.port = TestDb::port();
    s.user = TestDb::user();
    s.password = TestDb::password();
    return s;
}

// The run wrote exactly one event row: the transfer code 14, its request opcode and
// "run:실패".
void TransferRcSimDbTest::verifyOneFailedRun(int requestOpcode)
{
    QSqlQuery q(FDb);
    QVERIFY(q.exec(QStringLiteral("SELECT CTL_CODE, CTL_VALUE, CTL_DESC FROM SCS_L_USERCONTROL")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 14);
    QCOMPARE(q.value(1).toInt(), requestOpcode);
    QCOMPARE(q.value(2).toString(), QStringLiteral("run:실패"));
    QVERIFY(!q.next());
}

void TransferRcSimDbTest::initTestCase()
{
    QVERIFY(TestConsole::LoadLanguage());
    QVERIFY(Create(kDb));
    FDb = TestDb::open(kDb, QStringLiteral("tst_transfer_rcsim_db"));
    QVERIFY(FDb.isOpen());
    DM = TestConsole::OpenDataModule(FDir.path(), kDb);
    QVERIFY(DM);
    QString error;
    FSim = TestRcSim::Start(FEndpoint, 600, rcsim::Options(), &error);
    QVERIFY2(FSim, qPrintable(error));
    FStore = std::make_unique<rcsim::ControllerDb>(Source());
    FStore->install(*FSim);
}

void TransferRcSimDbTest::cleanupTestCase()
{
    TestRcSim::Stop(FSim);
    FStore.reset();
    delete DM;
    DM = nullptr;
}

void TransferRcSimDbTest::init()
{
    FSim->clearFailure();
    FStore->clear();
    FExpectProtocolError = false;
    QSqlQuery(FDb).exec(QStringLiteral("DELETE FROM SCS_L_USERCONTROL"));
}

void TransferRcSimDbTest::cleanup()
{
    // no test leaves a protocol error behind
    const QStringList errors = FStore->protocolErrors();
    if (!FExpectProtocolError && !errors.isEmpty())
        QFAIL(qPrintable(errors.join(QLatin1Char('\n'))));
    FStore->clear();
}

bool TransferRcSimDbTest::run(TTransferExecutor &ex, int lc, TCtrlDataArray &frames, int req, int res)
{
    ex.ShowProgress = false;
    ex.FLCType = lc == Lc2004 ? lct2004 : lc == Lc3L ? lct2010_3L : lct2010_4L;
    QObject sender;
    return ex.RunTransfer(&sender, QStringLiteral("run"), {}, {}, {}, {}, lc, frames, quint16(req), quint16(res));
}

// ------------------------------------------------------------------ downloads

void TransferRcSimDbTest::centreDownloads_data()
{
    QTest::addColumn<int>("lc");
    QTest::addColumn<QString>("kind");
    for (int lc : {Lc2004, Lc3L, Lc4L})
        for (const char *k : {"startup", "flashmap", "holiday", "weekplan", "reservation", "outputmap",
                              "conflict", "detector", "dayplan", "signalmap"})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(k)).arg(lc)))
                << lc << QString::fromLatin1(k);
}

void TransferRcSimDbTest::centreDownloads()
{
    QFETCH(int, lc);
    QFETCH(QString, kind);
    struct Run
    {
        int req, res;
        TCtrlDataArray frames;
    };
    QList<Run> runs;
    QString block;
    QByteArray golden;
    const TCtrlDataArray one = {Frame({}, 2, 3)};
    if (kind == QLatin1String("startup")) {
        runs << Run{160, 161, one};
        block = QStringLiteral("StartUpCode");
        golden = StartupGolden(lc);
    } else if (kind == QLatin1String("flashmap")) {
        runs << Run{192, 193, one};
        block = QStringLiteral("FlashMap");
        golden = FlashMapGolden(lc);
    } else if (kind == QLatin1String("holiday")) {
        runs << Run{164, 165, one};
        block = QStringLiteral("HoliDayPlan");
        golden = HoliDayPlanGolden();
    } else if (kind == QLatin1String("weekplan")) {
        runs << Run{168, 169, one};
        block = QStringLiteral("WeekPlan");
        golden = WeekPlanGolden();
    } else if (kind == QLatin1String("reservation")) {
        runs << Run{180, 181, one};
        block = QStringLiteral("FunctionTable");
        golden = FunctionTableGolden(lc);
    } else if (kind == QLatin1String("outputmap")) {
        runs << Run{208, 209, one};
        block = QStringLiteral("InOutPed");
        golden = InOutPedGolden(lc);
    } else if (kind == QLatin1String("conflict")) {
        runs << Run{212, 213, one};
        block = QStringLiteral("ConflictMap");
        golden = ConflictMapGolden(lc);
    } else if (kind == QLatin1String("detector")) {
        runs << Run{196, 197, one};
        if (lc != Lc2004) // channels 33-64 only for a 2010 controller
            runs << Run{202, 203, one};
        block = QStringLiteral("Detector");
        golden = DetectorGolden(lc);
    } else if (kind == QLatin1String("dayplan")) {
        runs << Run{176, 177, SelectorFrames(DayPlanSelectors(), 2, 4)};
        block = QStringLiteral("DayPlan");
        golden = lc == Lc2004 ? DayPlanGolden() : QByteArray(3220, 0);
    } else if (kind == QLatin1String("signalmap")) {
        runs << Run{188, 185, SelectorFrames(SignalSelectors(lc), 2, 4)};
        block = QStringLiteral("SignalMap");
        golden = SignalMapGolden(lc);
    }
    for (Run &r : runs) {
        TTransferExecutor ex;
        QVERIFY(run(ex, lc, r.frames, r.req, r.res));
        for (const TCtrlData &f : r.frames)
            QCOMPARE(f.FReturnVal, 99996);
    }
    COMPARE_BLOCK(FStore->block(lc, block), golden);
    // nothing else of the controller changed
    for (const QString &name : rcsim::ControllerDb::blockNames())
        if (name != block && name != QLatin1String("Clock"))
            QVERIFY2(FStore->block(lc, name).count('\0') == FStore->block(lc, name).size(), qPrintable(name));
}

void TransferRcSimDbTest::payloadDownloads_data()
{
    QTest::addColumn<int>("lc");
    QTest::addColumn<int>("req");
    QTest::addColumn<int>("res");
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::addColumn<int>("resHeader");
    QTest::addColumn<int>("resSize");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QByteArray>("golden");

    const QByteArray timer = Counting(32, 0x40);
    QTest::newRow("car timer") << Lc4L << 82 << 83 << QList<QByteArray>{kHead + QByteArray::fromHex("0310") + timer}
                               << 7 << 7 << QStringLiteral("CarTimer") << timer;
    QList<QByteArray> msgs;
    QByteArray allMsgs;
    for (int n = 1; n <= 16; ++n) {
        msgs << kHead + QByteArray::fromHex("0210") + QByteArray(1, char(n)) + Counting(64, n);
        allMsgs += Counting(64, n);
    }
    QTest::newRow("vms messages") << Lc4L << 82 << 83 << msgs << 8 << 8 << QStringLiteral("VMSMsgs") << allMsgs;
    const QByteArray schds = Counting(160, 3);
    QTest::newRow("vms schedules") << Lc3L << 82 << 83 << QList<QByteArray>{kHead + QByteArray::fromHex("0220") + schds}
                                   << 7 << 7 << QStringLiteral("VMSSchds") << schds;
    const QByteArray spill = QByteArray::fromHex("01b2 0249 0311 0411 0511 0611 0711 08ef");
    QTest::newRow("spillback") << Lc4L << 82 << 83 << QList<QByteArray>{kHead + QByteArray::fromHex("0510") + spill}
                               << 7 << 7 << QStringLiteral("SpillBacks") << spill;
    const QByteArray bank2 = QByteArray("Vendor").leftJustified(128, '\0');
    QTest::newRow("bank 2") << Lc2004 << 82 << 83
                            << QList<QByteArray>{kHead + QByteArray::fromHex("011002") + bank2} << 7 << 8
                            << QStringLiteral("SystemBank2") << bank2;
    const QByteArray ext = Counting(17, 0x20);
    QTest::newRow("extended command") << Lc3L << 98 << 99 << QList<QByteArray>{ext} << 2 << 2
                                      << QStringLiteral("ExtCmd") << ext;
    const QByteArray net = QByteArray::fromHex("c0a8000a ffffff00 c0a80001 0a000001 3075 0000")
                           + QByteArray("00:11:22:33:44:55").leftJustified(18, '\0') + QByteArray::fromHex("0102");
    QTest::newRow("network") << Lc4L << 218 << 219 << QList<QByteArray>{net} << 2 << 42 << QStringLiteral("Network")
                             << net;
    const QByteArray act = Counting(192, 9);
    QTest::newRow("actuated variables") << Lc3L << 220 << 221 << QList<QByteArray>{act} << 2 << 2
                                        << QStringLiteral("ActuateVar") << act;
}

void TransferRcSimDbTest::payloadDownloads()
{
    QFETCH(int, lc);
    QFETCH(int, req);
    QFETCH(int, res);
    QFETCH(QList<QByteArray>, requests);
    QFETCH(int, resHeader);
    QFETCH(int, resSize);
    QFETCH(QString, block);
    QFETCH(QByteArray, golden);
    TCtrlDataArray frames;
    for (const QByteArray &r : requests)
        frames << Frame(r, resHeader, resSize);
    TTransferExecutor ex;
    QVERIFY(run(ex, lc, frames, req, res));
    COMPARE_BLOCK(FStore->block(lc, block), golden);
}

// -------------------------------------------------------------------- uploads

void TransferRcSimDbTest::uploads_data()
{
    QTest::addColumn<int>("lc");
    QTest::addColumn<int>("req");
    QTest::addColumn<int>("res");
    QTest::addColumn<QByteArray>("requests"); // selector bytes (one frame each), or none
    QTest::addColumn<int>("resSize");
    QTest::addColumn<QString>("block");   // seeded with a counting pattern
    QTest::addColumn<QString>("buffer");  // the only buffer that may change
    QTest::addColumn<int>("at");          // where the seeded bytes land in the buffer
    QTest::addColumn<int>("from");        // ... taken from this offset of the block
    QTest::addColumn<int>("length");

    QTest::newRow("start-up 2004") << Lc2004 << 162 << 163 << QByteArray() << 10 << QStringLiteral("StartUpCode")
                                   << QStringLiteral("LStartUpCode_2004") << 0 << 0 << 8;
    QTest::newRow("start-up 2010") << Lc4L << 162 << 163 << QByteArray() << 27 << QStringLiteral("StartUpCode")
                                   << QStringLiteral("LStartUpCode_2010") << 0 << 0 << 25;
    QTest::newRow("clock") << Lc3L << 66 << 67 << QByteArray() << 9 << QStringLiteral("Clock") << QStringLiteral("LClock") << 0 << 0 << 7;
    QTest::newRow("flash map 2004") << Lc2004 << 194 << 195 << QByteArray() << 16 << QStringLiteral("FlashMap")
                                    << QStringLiteral("LFlashMap_2004") << 0 << 0 << 14;
    QTest::newRow("flash map 2010") << Lc3L << 194 << 195 << QByteArray() << 19 << QStringLiteral("FlashMap")
                                    << QStringLiteral("LFlashMap_2010") << 0 << 0 << 17;
    QTest::newRow("weekly plan") << Lc3L << 170 << 171 << QByteArray() << 9 << QStringLiteral("WeekPlan") << QStringLiteral("LWeekPlan") << 0 << 0 << 7;
    QTest::newRow("holiday plan") << Lc4L << 166 << 167 << QByteArray() << 92 << QStringLiteral("HoliDayPlan") << QStringLiteral("LHoliDayPlan")
                                  << 0 << 0 << 90;
    QTest::newRow("reservations") << Lc4L << 182 << 183 << QByteArray() << 82 << QStringLiteral("FunctionTable")
                                  << QStringLiteral("LFunctionTable") << 0 << 0 << 80;
    QTest::newRow("output map") << Lc3L << 210 << 211 << QByteArray() << 121 << QStringLiteral("InOutPed") << QStringLiteral("LInOutPed") << 0 << 0
                                << 119;
    QTest::newRow("conflict map") << Lc4L << 214 << 215 << QByteArray() << 130 << QStringLiteral("ConflictMap") << QStringLiteral("LConflictMap")
                                  << 0 << 0 << 128;
    QTest::newRow("detectors 1-32") << Lc4L << 198 << 199 << QByteArray() << 226 << QStringLiteral("Detector") << QStringLiteral("LDetector") << 0
                                    << 0 << 224;
    QTest::newRow("detectors 33-64") << Lc4L << 204 << 205 << QByteArray() << 226 << QStringLiteral("Detector") << QStringLiteral("LDetector") << 224
                                     << 224 << 224;
    // plan 3, both halves: 2 x 161 bytes at 2 x 322
    QTest::newRow("day plan 3") << Lc2004 << 178 << 179 << QByteArray::fromHex("2021") << 163 << QStringLiteral("DayPlan")
                                << QStringLiteral("LDayPlan") << 644 << 644 << 322;
    // 2010 four-lamp map 2 (the first time-difference map), rings A and B
    QTest::newRow("signal map 4L map 2") << Lc4L << 190 << 187 << QByteArray::fromHex("1121") << 611 << QStringLiteral("SignalMap")
                                         << QStringLiteral("LSignalMap_2010") << 1216 << 1216 << 1216;
    QTest::newRow("actuated variables") << Lc3L << 218 << 219 << QByteArray() << 194 << QStringLiteral("ActuateVar")
                                        << QStringLiteral("FActuateVar") << 0 << 0 << 192;
}

void TransferRcSimDbTest::uploads()
{
    QFETCH(int, lc);
    QFETCH(int, req);
    QFETCH(int, res);
    QFETCH(QByteArray, requests);
    QFETCH(int, resSize);
    QFETCH(QString, block);
    QFETCH(QString, buffer);
    QFETCH(int, at);
    QFETCH(int, from);
    QFETCH(int, length);
    const int size = FStore->block(lc, block).size();
    const QByteArray seeded = Counting(size, 1);
    QVERIFY(FStore->setBlock(lc, block, seeded));
    TCtrlDataArray frames = requests.isEmpty() ? TCtrlDataArray{Frame({}, 2, resSize)}
                                               : SelectorFrames(requests, 2, resSize);
    TTransferExecutor ex;
    QVERIFY(run(ex, lc, frames, req, res));
    for (const auto &b : ex.Buffers.All()) {
        QByteArray expected(b.second->size(), 0);
        if (buffer == QLatin1String(b.first))
            expected.replace(at, length, seeded.mid(from, length));
        COMPARE_BLOCK(*b.second, expected);
    }
}

// The controller's event history: its information (newest index, count) and parts
// of the 2,048-entry ring (18 bytes an entry, entry i at (i - 1) x 18).
void TransferRcSimDbTest::historyUploads_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("resSize");
    QTest::addColumn<QString>("buffer"); // empty: the request is foreign, nothing is filed
    QTest::addColumn<QByteArray>("expected");

    // Ring entry i (1-based) of the seeded history: 18 bytes, the first two the
    // entry's index low byte first, then 16 bytes of i's low byte.
    auto entry = [](int i) {
        QByteArray e;
        e.append(char(i & 0xff)).append(char(i >> 8)).append(QByteArray(16, char(i & 0xff)));
        return e;
    };
    auto entries = [&](std::initializer_list<int> list) {
        QByteArray b;
        for (int i : list)
            b += entry(i);
        return b;
    };
    const QByteArray info = QByteArray::fromHex("6400c800"); // newest 100, 200 entries
    QTest::newRow("information") << QByteArray::fromHex("09c005041000") << 11 << QStringLiteral("LDumpInfo") << info;
    QTest::newRow("ten from 100") << QByteArray::fromHex("09c00504126400" "0a00") << 187 << QStringLiteral("LDumpDatas")
                                  << entries({100, 101, 102, 103, 104, 105, 106, 107, 108, 109});
    QTest::newRow("ten from 2044, wrapping") << QByteArray::fromHex("09c0050412fc07" "0a00") << 187
                                             << QStringLiteral("LDumpDatas")
                                             << entries({2044, 2045, 2046, 2047, 2048, 1, 2, 3, 4, 5});
    QTest::newRow("three from 1") << QByteArray::fromHex("09c00504120100" "0300") << 61 << QStringLiteral("LDumpDatas")
                                  << entries({1, 2, 3}) + QByteArray(7 * 18, 0);
    QTest::newRow("last entry alone") << QByteArray::fromHex("09c0050412" "0008" "0100") << 25
                                      << QStringLiteral("LDumpDatas") << entry(2048) + QByteArray(9 * 18, 0);
    QTest::newRow("start 0") << QByteArray::fromHex("09c00504120000" "0a00") << 187 << QString() << QByteArray();
    QTest::newRow("start 2049") << QByteArray::fromHex("09c00504120108" "0a00") << 187 << QString() << QByteArray();
    QTest::newRow("no entries") << QByteArray::fromHex("09c00504126400" "0000") << 7 << QString() << QByteArray();
    QTest::newRow("eleven entries") << QByteArray::fromHex("09c00504126400" "0b00") << 205 << QString() << QByteArray();
    QTest::newRow("index byte missing") << QByteArray::fromHex("09c00504126400") << 187 << QString() << QByteArray();
}

void TransferRcSimDbTest::historyUploads()
{
    QFETCH(QByteArray, request);
    QFETCH(int, resSize);
    QFETCH(QString, buffer);
    QFETCH(QByteArray, expected);

    QByteArray ring;
    for (int i = 1; i <= 2048; ++i)
        ring.append(char(i & 0xff)).append(char(i >> 8)).append(QByteArray(16, char(i & 0xff)));
    QVERIFY(FStore->setBlock(Lc3L, QStringLiteral("History"), ring));
    QVERIFY(FStore->setBlock(Lc3L, QStringLiteral("DumpInfo"), QByteArray::fromHex("6400c800")));
    TCtrlDataArray frames = {Frame(request, 2, resSize)};
    TTransferExecutor ex;
    const bool ok = run(ex, Lc3L, frames, 84, 85);
    QCOMPARE(ok, !buffer.isEmpty());
    if (buffer.isEmpty()) {
        FExpectProtocolError = true;
        QCOMPARE(FStore->protocolErrors().size(), 1);
        QCOMPARE(frames.at(0).FReturnVal, 99997); // the reply is the controller head alone
    }
    for (const auto &b : ex.Buffers.All()) {
        const QByteArray want = buffer == QLatin1String(b.first) ? expected : QByteArray(b.second->size(), 0);
        COMPARE_BLOCK(*b.second, want);
    }
}

void TransferRcSimDbTest::foreignSelectorIsProtocolError()
{
    // ring selector 0x17 names an eighth map, which no controller has: refused, kept
    TTransferExecutor ex;
    TCtrlDataArray frames = SelectorFrames(QByteArray::fromHex("17"), 2, 4);
    QVERIFY(!run(ex, Lc4L, frames, 188, 185));
    QCOMPARE(frames.at(0).FReturnVal, 99998);
    QCOMPARE(FStore->protocolErrors().size(), 1);
    COMPARE_BLOCK(FStore->block(Lc4L, QStringLiteral("SignalMap")), QByteArray(8512, 0));
    FExpectProtocolError = true;
}

// --------------------------------------------------------------------- faults

void TransferRcSimDbTest::faultOnFrame_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("stops"); // a receive failure ends the run there
    using F = rcsim::FailMode;
    const struct
    {
        const char *name;
        F mode;
        int code;
        bool stops;
    } modes[] = {
        {"wrong opcode", F::WrongOpcode, 99995, false},
        {"short data", F::ShortData, 99997, false},
        {"refusal byte", F::RefusalByte, 99998, false},
        {"oversized data", F::OversizedData, 99993, true},
        {"close mid reply", F::CloseMidReply, 99993, true},
        {"garbage start", F::GarbageStart, 99993, true},
        {"stall", F::Stall, 99993, true},
    };
    const char *places[] = {"first", "middle", "last"};
    for (const auto &m : modes)
        for (int frame = 0; frame < 3; ++frame)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(m.name), QLatin1String(places[frame]))))
                << int(m.mode) << frame << m.code << m.stops;
}

void TransferRcSimDbTest::faultOnFrame()
{
    QFETCH(int, mode);
    QFETCH(int, frame);
    QFETCH(int, code);
    QFETCH(bool, stops);
    // A three-frame day-plan download (176 checks its status byte) stores plan
    // parts; the same three frames uploaded (178) file them.
    const QByteArray selectors = QByteArray::fromHex("10 11 20");
    const QByteArray golden = DayPlanGolden();
    if (mode == int(rcsim::FailMode::RefusalByte)) {
        FSim->setFailure(rcsim::FailMode(mode), rcsim::PortScope::Control, frame, 1);
        TTransferExecutor ex;
        TCtrlDataArray frames = SelectorFrames(selectors, 2, 4);
        QVERIFY(!run(ex, Lc2004, frames, 176, 177));
        for (int n = 0; n < 3; ++n)
            QCOMPARE(frames[n].FReturnVal, n == frame ? code : 99996);
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("SELECT CTL_VALUE, CTL_DESC FROM SCS_L_USERCONTROL")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 176);
        QCOMPARE(q.value(1).toString(), QStringLiteral("run:실패"));
        return;
    }
    QVERIFY(FStore->setBlock(Lc2004, QStringLiteral("DayPlan"), golden));
    FSim->setFailure(rcsim::FailMode(mode), rcsim::PortScope::Control, frame, 1);
    TTransferExecutor ex;
    TCtrlDataArray frames = SelectorFrames(selectors, 2, 163);
    QVERIFY(!run(ex, Lc2004, frames, 178, 179));
    QCOMPARE(ex.LastThreadResult(), 99996);
    const int offsets[] = {322, 483, 644};
    for (int n = 0; n < 3; ++n) {
        const bool sent = !(stops && n > frame);
        QCOMPARE(frames[n].FReturnVal, n == frame ? code : sent ? 99996 : 0);
        const bool filed = n != frame && sent;
        QCOMPARE(ex.Buffers.LDayPlan.mid(offsets[n], 161),
                 filed ? golden.mid(offsets[n], 161) : QByteArray(161, 0));
    }
    verifyOneFailedRun(178);
}

// The simulator cuts the connection: before the chosen request is read (so that
// sending it fails) or just after answering it (so that the next request, or the
// closing packet after the last one, cannot be sent). A failed send stops the run
// at that frame; a failed closing files nothing at all.
void TransferRcSimDbTest::connectionLostOnFrame_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("frame"); // the request the rule hits
    QTest::addColumn<int>("count"); // frames of the run
    QTest::addColumn<QString>("syncAt"); // the thread's line that waits for the reset
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("thread");
    QTest::addColumn<QList<int>>("filed"); // 1: the frame's part is in the buffer
    const int before = int(rcsim::FailMode::ResetBeforeRequest);
    const int after = int(rcsim::FailMode::ResetAfterReply);
    const QString start = QStringLiteral(",START");
    const QString result = QStringLiteral(",RESULT,");
    // Send failures.
    QTest::newRow("send fails first") << before << 0 << 3 << start << QList<int>{99992, 0, 0} << 99996
                                      << QList<int>{0, 0, 0};
    QTest::newRow("send fails middle") << before << 1 << 3 << start << QList<int>{99996, 99992, 0} << 99996
                                       << QList<int>{1, 0, 0};
    QTest::newRow("send fails last") << before << 2 << 3 << start << QList<int>{99996, 99996, 99992} << 99996
                                     << QList<int>{1, 1, 0};
    QTest::newRow("reset after first reply") << after << 0 << 3 << result << QList<int>{99996, 99992, 0}
                                             << 99996 << QList<int>{1, 0, 0};
    QTest::newRow("reset after middle reply") << after << 1 << 3 << result << QList<int>{99996, 99996, 99992}
                                              << 99996 << QList<int>{1, 1, 0};
    // Closing failures: every frame answered, nothing filed.
    QTest::newRow("closing fails after last") << after << 2 << 3 << result << QList<int>{99996, 99996, 99996}
                                              << 99994 << QList<int>{0, 0, 0};
    QTest::newRow("closing fails after second") << after << 1 << 2 << result << QList<int>{99996, 99996}
                                                << 99994 << QList<int>{0, 0};
    QTest::newRow("closing fails single") << after << 0 << 1 << result << QList<int>{99996} << 99994
                                          << QList<int>{0};
}

void TransferRcSimDbTest::connectionLostOnFrame()
{
    QFETCH(int, mode);
    QFETCH(int, frame);
    QFETCH(int, count);
    QFETCH(QString, syncAt);
    QFETCH(QList<int>, codes);
    QFETCH(int, thread);
    QFETCH(QList<int>, filed);

    const QByteArray golden = DayPlanGolden();
    QVERIFY(FStore->setBlock(Lc2004, QStringLiteral("DayPlan"), golden));
    // The thread goes on past the chosen line only once the simulator has cut the
    // connection, so that the cut always comes before the next write.
    rcsim::RcSim *sim = FSim.get();
    const int resets = sim->connectionsReset();
    FSim->setFailure(rcsim::FailMode(mode), rcsim::PortScope::Control, frame, 1);
    TTransferExecutor ex;
    TCtrlDataArray frames = SelectorFrames(QByteArray::fromHex("10 11 20").left(count), 2, 163);
    bool ok = false;
    {
        TestRcSim::TCutBeforeNextWrite order(sim, syncAt, frame + 1);
        ok = run(ex, Lc2004, frames, 178, 179);
    }
    QVERIFY(!ok);
    QCOMPARE(sim->connectionsReset(), resets + 1);
    QCOMPARE(ex.LastThreadResult(), thread);
    const int offsets[] = {322, 483, 644};
    for (int n = 0; n < count; ++n) {
        QCOMPARE(frames[n].FReturnVal, codes.at(n));
        QCOMPARE(ex.Buffers.LDayPlan.mid(offsets[n], 161),
                 filed.at(n) ? golden.mid(offsets[n], 161) : QByteArray(161, 0));
    }
    // Nothing else of the buffer was touched.
    QCOMPARE(ex.Buffers.LDayPlan.left(322), QByteArray(322, 0));
    QCOMPARE(ex.Buffers.LDayPlan.mid(644 + 161), QByteArray(3220 - 805, 0));
    verifyOneFailedRun(178);
}

void TransferRcSimDbTest::unreachableServer()
{
    FSim->setFailure(rcsim::FailMode::Refuse, rcsim::PortScope::Control);
    TTransferExecutor ex;
    TCtrlDataArray frames = SelectorFrames(QByteArray::fromHex("00 01"), 2, 163);
    QVERIFY(!run(ex, Lc2004, frames, 178, 179));
    QCOMPARE(ex.LastThreadResult(), 99991);
    COMPARE_BLOCK(ex.Buffers.LDayPlan, QByteArray(3220, 0));
    FSim->clearFailure();
}

// ----------------------------------------------------------------- byte order

void TransferRcSimDbTest::bigEndianServer()
{
    TRcEndpoint endpoint;
    rcsim::Options o;
    o.bigEndian = true;
    QString error;
    auto big = TestRcSim::Start(endpoint, 600, o, &error);
    QVERIFY2(big, qPrintable(error));
    rcsim::ControllerDb store(Source());
    store.install(*big);
    bool ok = true;
    {
        TTransferExecutor down;
        TCtrlDataArray frames = SelectorFrames(SignalSelectors(Lc3L), 2, 4);
        ok = run(down, Lc3L, frames, 188, 185) && ok;
        TTransferExecutor up;
        TCtrlDataArray ups = SelectorFrames(QByteArray::fromHex("36 46"), 2, 611); // map 7 upload, rings A and B
        ok = run(up, Lc3L, ups, 190, 187) && ok;
        QCOMPARE(up.Buffers.LSignalMap_2010.mid(7296), SignalMapGolden(Lc3L).mid(7296));
    }
    const QByteArray stored = store.block(Lc3L, QStringLiteral("SignalMap"));
    const QStringList errors = store.protocolErrors();
    TestRcSim::Stop(big);
    // back to the little-endian simulator of the other tests
    SetServerBigEndian(false);
    SetCtrlEndpointOverride(&FEndpoint);
    QVERIFY(ok);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    COMPARE_BLOCK(stored, SignalMapGolden(Lc3L));
}

// ------------------------------------------------------------ seed, commands

void TransferRcSimDbTest::seedAndCommands_data()
{
    QTest::addColumn<QString>("seed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("weekPlan"); // after the seed, in hexadecimal
    QTest::newRow("comments and a block") << QStringLiteral("# week\n\ndb set 903 WeekPlan 01020304050607\n") << true
                                          << QStringLiteral("01020304050607");
    QTest::newRow("one byte short") << QStringLiteral("db set 903 WeekPlan 010203040506\n") << false << QStringLiteral("00000000000000");
    QTest::newRow("unknown block") << QStringLiteral("db set 903 Weekly 01020304050607\n") << false << QStringLiteral("00000000000000");
    QTest::newRow("not a set line") << QStringLiteral("db clear\n") << false << QStringLiteral("00000000000000");
}

void TransferRcSimDbTest::seedAndCommands()
{
    QFETCH(QString, seed);
    QFETCH(bool, ok);
    QFETCH(QString, weekPlan);
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("seed.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(seed.toUtf8());
    f.close();
    QString answer;
    QCOMPARE(FSim->execCommand(QStringLiteral("db seed %1").arg(f.fileName()), &answer), ok);
    QVERIFY(FSim->execCommand(QStringLiteral("db get 903 WeekPlan"), &answer));
    QCOMPARE(answer, weekPlan);
    QVERIFY(FSim->execCommand(QStringLiteral("db type 902"), &answer));
    QCOMPARE(answer, QStringLiteral("3L"));
    // the uploaded weekly plan is the stored one
    TTransferExecutor ex;
    TCtrlDataArray frames = {Frame({}, 2, 9)};
    QVERIFY(run(ex, Lc4L, frames, 170, 171));
    QCOMPARE(ex.Buffers.LWeekPlan, QByteArray::fromHex(weekPlan.toLatin1()));
}

QTEST_MAIN(TransferRcSimDbTest)
#include "tst_transfer_rcsim_db.moc"
