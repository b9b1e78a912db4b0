// Every exchange of the centre-server link against every way the simulator can
// misbehave: the monitoring cycle, the single exchange, the frame list and the VIP
// list each end with their result code within the time-outs plus a margin, nothing
// that failed reports success, and the next run after a failure gets the right
// reply. Also: the kept monitoring connection stays bounded under an unrequested
// flood, the monitoring thread shuts down at once while a peer drips, and the two
// fixed size texts of the monitoring log.
#include <QtTest>

#include <QElapsedTimer>

#include "CentreLinkTestSupport.h"
#include "centrelink/CtrlThreadUnit.h"
#include "centrelink/UpDnThread.h"
#include "centrelink/VIPCtrlThreadUnit.h"
#include "mainwindow/MonitorThreadUnit.h"

using namespace rcsim;

namespace {

constexpr int kConnectTimeout = 1000;
constexpr int kReadTimeout = 600;
constexpr int kDripMs = 150;
// Closing pause, the disconnect and thread hand-overs on a loaded test machine.
constexpr int kMargin = 1500;
constexpr double kScenarioTime = 95.0;

enum Exchange { exMonitor, exSingle, exFrames, exVip };

// Monitoring outcomes of the table (the failing cycle's first log line).
enum MonitorExpect {
    meImage,        // every cycle decodes the image
    meConnectFail,  // IDS_21
    meHeaderFail,   // IDS_16 (nothing, part of or a foreign header)
    meDataFail,     // IDS_20
    meOpcodeFail,   // IDS_18
    meHeaderOrUnrequested, // IDS_16, or the unrequested-data line when the flood came first
    meSecondUnrequested    // the first cycle decodes, the second finds the duplicate waiting
};

struct RecordingSink : IMonitorCycleSink
{
    QStringList titles;
    void MonitorLog(const QString &title, const QByteArray &) override { titles << title; }
    void MonitorGlyphs(const TMonitorGlyphs &) override {}
};

TRcEndpoint Endpoint(quint16 port)
{
    TRcEndpoint ep;
    ep.host = QStringLiteral("127.0.0.1");
    ep.port = port;
    ep.connectTimeout = kConnectTimeout;
    ep.readTimeout = kReadTimeout;
    ep.closePause = 20;
    return ep;
}

TCtrlDataArray Frames()
{
    TCtrlDataArray frames;
    for (int i = 0; i < 2; ++i) {
        TCtrlData f;
        f.FReqData = QByteArray::fromHex("01020304");
        f.FReqDataSize = 4;
        f.FResHeaderSize = 2;
        f.FResDataSize = 3;
        f.FEqualCompare = true;
        f.FReturnVal = -1;
        frames << f;
    }
    return frames;
}

TLcDataArray VipList()
{
    TLcDataArray list;
    for (int lc : {4, 5}) {
        TLcData d;
        d.FLcId = lc;
        d.FPhaseNo = 2;
        d.FCommandType = ctJump;
        d.FRingMode = 1;
        d.FOprMode = 16;
        d.FReturnVal = -1;
        list << d;
    }
    return list;
}

void BuildCtrlMode(THostSimplePacket &req, THostSimplePacket &res)
{
    req.Reset();
    res.Reset();
    req.SetHead(0x10, 1, 5);
    req.AddDazavaHead(2, 0x10);
    const quint8 rec[4] = {0x81, 0x22, 0, 0};
    req.AddDazavaData(rec, 4);
}

} // namespace

class TestLinkHardening : public QObject
{
    Q_OBJECT
    std::unique_ptr<RcSim> sim;
    TMonitorTexts texts;

    TMonitorJob Job() const
    {
        TMonitorJob j;
        j.Endpoint = Endpoint(sim->mntrPort());
        j.Texts = texts;
        for (int n = 1; n <= 12; ++n) {
            TLcDecodeEntry e;
            e.lcNo = n;
            e.lc_type = n % 3 == 0 ? 1 : 2;
            e.is_use = true;
            j.Snapshot.entries << e;
        }
        return j;
    }

    // The observer makes the exchange thread wait at a log line until the
    // simulator has reset the connection (modes whose outcome is a race otherwise).
    void SyncAt(const QString &syncAt)
    {
        RcSim *s = sim.get();
        auto seen = std::make_shared<int>(0);
        const int resets = sim->connectionsReset();
        SetExchangeLogObserver([s, syncAt, seen, resets](const QString &line) {
            if (!syncAt.isEmpty() && line.contains(syncAt) && ++*seen == 1) {
                s->waitForResets(resets + 1, 3000);
                QThread::msleep(30);
            }
        });
    }

    // Whether a monitoring cycle result holds exactly the simulator's image.
    bool RightImage(const TMonitorCycleResult &r) const
    {
        return r.Outcome == moImage && r.Image
            && QByteArray(reinterpret_cast<const char *>(r.Image.get()), RC_STATE_IMAGE_SIZE) == sim->stateImage();
    }

private slots:
    void initTestCase()
    {
        CentreLinkTest::LoadTexts(TsiLangDispatcher::LangEnglish);
        texts = TMonitorTexts::FromLanguage();
        QVERIFY(!texts.HeaderErr.isEmpty());
        sim = std::make_unique<RcSim>();
        QString error;
        QVERIFY2(sim->start(&error), qPrintable(error));
        sim->freezeClock(kScenarioTime);
        sim->setDripInterval(kDripMs);
        SetLcLookups([](int lcNo) { return lcNo == 3 ? 1 : 2; },
                     [](int lcNo) { return QStringLiteral("LC %1").arg(lcNo); });
    }
    void cleanupTestCase()
    {
        SetLcLookups({}, {});
        sim.reset();
    }
    void init()
    {
        sim->clearFailure();
        sim->clearCapture();
        SetExchangeLogObserver({});
    }
    void cleanup()
    {
        SetExchangeLogObserver({});
        sim->clearFailure();
    }

    void exchangeByMode_data()
    {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("syncAt"); // control threads: wait for the reset at this line
        QTest::addColumn<int>("monitor");    // MonitorExpect
        QTest::addColumn<int>("single");     // TUpDnThread's return value
        QTest::addColumn<QList<int>>("results"); // frame or element results
        QTest::addColumn<int>("rtn");        // the list thread's own result
        QTest::addColumn<int>("requests");   // read time-outs the run may spend

        const int U = -1; // left as the caller set it
        const int S = 99996;
        struct Row
        {
            const char *name;
            FailMode mode;
            int monitor;
            int single;
            QList<int> frames;
            int framesRtn;
            QList<int> vip;
            int vipRtn;
            QString syncSingle, syncFrames, syncVip;
            int reads;
        };
        const QString snd = QStringLiteral(",SND,");
        const QString data = QStringLiteral(",RSV_DATA,");
        const QString head = QStringLiteral("RSV_HEAD");
        // Replies: the control-mode command's is [type, 0x11, 1]; frame opcode 160
        // expects 161 and a non-zero status byte; the VIP jumps expect exactly three
        // bytes, the second 0x11 (no status byte).
        const QList<Row> rows = {
            {"none", FailMode::None, meImage, 3, {S, S}, S, {S, S}, 0, {}, {}, {}, 0},
            {"refuse", FailMode::Refuse, meConnectFail, 99991, {U, U}, 99991, {U, U}, 99991, {}, {}, {}, 0},
            {"close-mid-reply", FailMode::CloseMidReply, meDataFail, 99993, {99993, U}, S, {99993, 99993}, 0,
             {}, {}, {}, 2},
            {"stall", FailMode::Stall, meHeaderFail, 99993, {99993, U}, S, {99993, 99993}, 0, {}, {}, {}, 2},
            {"short-data", FailMode::ShortData, meDataFail, 2, {99997, 99997}, S, {99997, 99997}, 0, {}, {}, {}, 0},
            {"oversized-data", FailMode::OversizedData, meDataFail, 99993, {99993, U}, S, {99993, 99993}, 0,
             {}, {}, {}, 0},
            {"wrong-opcode", FailMode::WrongOpcode, meOpcodeFail, 3, {99995, 99995}, S, {99995, 99995}, 0,
             {}, {}, {}, 0},
            {"refusal-byte", FailMode::RefusalByte, meImage, 3, {99998, 99998}, S, {S, S}, 0, {}, {}, {}, 0},
            {"reset-after-reply", FailMode::ResetAfterReply, meImage, 99994, {S, 99992}, S, {S, 99992}, 0,
             data, data, data, 0},
            {"reset-on-accept", FailMode::ResetOnAccept, meHeaderFail, 99992, {99992, U}, S, {99992, 99993}, 0,
             snd, snd, snd, 2},
            {"drip-feed", FailMode::DripFeed, meHeaderFail, 99993, {99993, U}, S, {99993, 99993}, 0,
             {}, {}, {}, 2},
            {"unrequested-flood", FailMode::UnrequestedFlood, meHeaderOrUnrequested, 99993, {99993, U}, S,
             {99993, 99993}, 0, {}, {}, {}, 2},
            {"garbage-start", FailMode::GarbageStart, meHeaderFail, 99993, {99993, U}, S, {99993, 99993}, 0,
             {}, {}, {}, 0},
            {"duplicated-reply", FailMode::DuplicatedReply, meSecondUnrequested, 3, {S, 99993}, S, {S, 99993}, 0,
             {}, {}, {}, 0},
        };
        for (const Row &r : rows) {
            const QByteArray name(r.name);
            QTest::newRow(("monitor/" + name).constData())
                << int(exMonitor) << int(r.mode) << QString() << r.monitor << 0 << QList<int>() << 0 << r.reads;
            QTest::newRow(("single/" + name).constData())
                << int(exSingle) << int(r.mode) << r.syncSingle << 0 << r.single << QList<int>() << 0 << r.reads;
            QTest::newRow(("frames/" + name).constData())
                << int(exFrames) << int(r.mode) << r.syncFrames << 0 << 0 << r.frames << r.framesRtn << r.reads;
            QTest::newRow(("vip/" + name).constData())
                << int(exVip) << int(r.mode) << r.syncVip << 0 << 0 << r.vip << r.vipRtn << r.reads;
        }
    }

    void exchangeByMode()
    {
        QFETCH(int, exchange);
        QFETCH(int, mode);
        QFETCH(QString, syncAt);
        QFETCH(int, monitor);
        QFETCH(int, single);
        QFETCH(QList<int>, results);
        QFETCH(int, rtn);
        QFETCH(int, requests);

        // Every failing run ends within the connect time-out, the read time-outs it
        // may spend and a margin; a peer that drips or floods holds no reader longer.
        const qint64 budget = kConnectTimeout + qMax(1, requests) * kReadTimeout + kMargin;
        sim->setFailure(FailMode(mode), PortScope::Both);
        SyncAt(syncAt);
        QElapsedTimer clock;
        clock.start();

        if (exchange == exMonitor) {
            TMonitorCycle cycle;
            RecordingSink sink;
            // Two cycles on the kept connection; a failure ends the round.
            QList<TMonitorCycleResult> got;
            for (int i = 0; i < 2; ++i) {
                TMonitorJob job = Job();
                got << cycle.Run(job, &sink);
                if (got.last().Outcome != moImage)
                    break;
                QVERIFY2(RightImage(got.last()), "a decoded cycle holds the simulator's image");
                // The second copy is on its way when the first has been read; the
                // next cycle is to find it waiting, however slowly the machine runs.
                if (i == 0 && FailMode(mode) == FailMode::DuplicatedReply)
                    QTRY_VERIFY_WITH_TIMEOUT(cycle.BufferedBytes() > 0, 5000);
            }
            const qint64 took = clock.elapsed();
            switch (MonitorExpect(monitor)) {
            case meImage:
                QCOMPARE(got.size(), 2);
                break;
            case meConnectFail:
                QCOMPARE(int(got.last().Outcome), int(moConnectFailed));
                QVERIFY(sink.titles.contains(texts.ConnectFail));
                break;
            case meSecondUnrequested:
                QCOMPARE(got.size(), 2);
                QCOMPARE(int(got.last().Outcome), int(moExchangeFailed));
                QVERIFY2(sink.titles.last().startsWith(QLatin1String("RX MONITOR UNREQUESTED DATA Error")),
                         qPrintable(sink.titles.join(QLatin1Char('|'))));
                break;
            default: {
                QCOMPARE(got.size(), 1);
                QCOMPARE(int(got.last().Outcome), int(moExchangeFailed));
                QVERIFY(got.last().Closed);
                QVERIFY(!got.last().Image);
                QString expected = texts.HeaderErr;
                if (monitor == meDataFail)
                    expected = texts.DataErr.section(QLatin1Char(','), 0, 0);
                if (monitor == meOpcodeFail)
                    expected = texts.OpcodeErr;
                // The failure text follows the request line.
                bool ok = false;
                for (qsizetype i = sink.titles.indexOf(texts.Request) + 1; i > 0 && i < sink.titles.size(); ++i)
                    ok = ok || sink.titles.at(i).startsWith(expected);
                if (monitor == meHeaderOrUnrequested)
                    ok = ok || sink.titles.last().startsWith(QLatin1String("RX MONITOR UNREQUESTED DATA Error"));
                QVERIFY2(ok, qPrintable(sink.titles.join(QLatin1Char('|'))));
                QVERIFY(!cycle.Connected());
                break;
            }
            }
            QVERIFY2(took < budget, qPrintable(QStringLiteral("%1 ms").arg(took)));
            // The next cycle after the failure starts clean and decodes the right image.
            sim->clearFailure();
            SetExchangeLogObserver({});
            TMonitorJob job = Job();
            const TMonitorCycleResult next = cycle.Run(job, &sink);
            QVERIFY2(RightImage(next), qPrintable(sink.titles.join(QLatin1Char('|'))));
            cycle.CloseMonitor(texts, nullptr, false);
            return;
        }

        if (exchange == exSingle) {
            THostSimplePacket req, res;
            BuildCtrlMode(req, res);
            TUpDnThread th(&req, &res, Endpoint(sim->ctrlPort()));
            th.Start();
            QCOMPARE(th.WaitFor(), single);
            QVERIFY2(clock.elapsed() < budget, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
            if (single == 3)
                QCOMPARE(int(res.Head.stx1), 0x43);
            sim->clearFailure();
            SetExchangeLogObserver({});
            BuildCtrlMode(req, res);
            TUpDnThread again(&req, &res, Endpoint(sim->ctrlPort()));
            again.Start();
            QCOMPARE(again.WaitFor(), 3);
            QCOMPARE(res.DataBytes().toHex(), QByteArray("021101"));
            return;
        }

        if (exchange == exFrames) {
            TCtrlDataArray frames = Frames();
            TCtrlThread th(5, frames, 160, 161, 1, QStringLiteral("frames"), nullptr, nullptr, Endpoint(sim->ctrlPort()));
            th.Start();
            QCOMPARE(th.WaitFor(), rtn);
            QVERIFY2(clock.elapsed() < budget + 200, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
            QList<int> got;
            for (const TCtrlData &f : frames)
                got << f.FReturnVal;
            QCOMPARE(got, results);
            sim->clearFailure();
            SetExchangeLogObserver({});
            TCtrlDataArray again = Frames();
            TCtrlThread next(5, again, 160, 161, 1, QStringLiteral("frames"), nullptr, nullptr, Endpoint(sim->ctrlPort()));
            next.Start();
            QCOMPARE(next.WaitFor(), 99996);
            for (const TCtrlData &f : again) {
                QCOMPARE(f.FReturnVal, 99996);
                QCOMPARE(f.FResData.toHex(), QByteArray("01"));
            }
            return;
        }

        TLcDataArray list = VipList();
        TVipCtrlThread th(list, rtRun, Endpoint(sim->ctrlPort()));
        th.Start();
        QCOMPARE(th.WaitFor(), rtn);
        // Each element may spend its own read time-outs.
        QVERIFY2(clock.elapsed() < budget + qMax(1, requests) * kReadTimeout,
                 qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        QList<int> got;
        for (const TLcData &d : list)
            got << d.FReturnVal;
        QCOMPARE(got, results);
        sim->clearFailure();
        SetExchangeLogObserver({});
        TLcDataArray again = VipList();
        TVipCtrlThread next(again, rtRun, Endpoint(sim->ctrlPort()));
        next.Start();
        QCOMPARE(next.WaitFor(), 0);
        for (const TLcData &d : again)
            QCOMPARE(d.FReturnVal, 99996);
    }

    // A 33-byte reply dripped a byte every 150 ms would take five seconds: the
    // single exchange gives it up at its read time-out, whatever keeps trickling.
    void dripIsCutAtTheDeadline()
    {
        sim->setFailure(FailMode::DripFeed, PortScope::Control);
        THostSimplePacket req, res;
        BuildCtrlMode(req, res);
        TRcEndpoint ep = Endpoint(sim->ctrlPort());
        ep.readTimeout = 400;
        QElapsedTimer clock;
        clock.start();
        TUpDnThread th(&req, &res, ep);
        th.Start();
        QCOMPARE(th.WaitFor(), 99993);
        QVERIFY2(clock.elapsed() >= 400, "the read waits its whole time-out");
        QVERIFY2(clock.elapsed() < 400 + kMargin, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
    }

    // Between cycles the peer floods the kept connection: what is buffered stays
    // within the socket's bound, the next cycle fails on the unrequested bytes and
    // closes, and the one after decodes the right image.
    void floodStaysBounded()
    {
        TMonitorCycle cycle;
        RecordingSink sink;
        TMonitorJob job = Job();
        QVERIFY(RightImage(cycle.Run(job, &sink)));
        QVERIFY(cycle.Connected());

        sim->setFailure(FailMode::UnrequestedFlood, PortScope::Monitor);
        QTRY_VERIFY_WITH_TIMEOUT(sim->floodedBytes() > 4 * TRcClient::ReadBufferLimit, 5000);
        // The cycle's socket reads whatever the event loop lets it.
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(25);
            QVERIFY2(cycle.BufferedBytes() <= TRcClient::ReadBufferLimit,
                     qPrintable(QString::number(cycle.BufferedBytes())));
        }
        QVERIFY(cycle.BufferedBytes() > 0);

        job = Job();
        const TMonitorCycleResult failed = cycle.Run(job, &sink);
        QCOMPARE(int(failed.Outcome), int(moExchangeFailed));
        QVERIFY(sink.titles.last().startsWith(QLatin1String("RX MONITOR UNREQUESTED DATA Error")));
        QVERIFY(!cycle.Connected());
        QCOMPARE(cycle.BufferedBytes(), qint64(0));

        sim->clearFailure();
        job = Job();
        QVERIFY(RightImage(cycle.Run(job, &sink)));
        cycle.CloseMonitor(texts, nullptr, false);
    }

    // The console closes while the monitoring peer drips a reply: the thread's
    // shutdown gives up the read at once instead of waiting for the last byte.
    void shutdownWhilePeerDrips()
    {
        sim->setDripInterval(500);
        sim->setFailure(FailMode::DripFeed, PortScope::Monitor);
        TMonitorThread thread;
        QSignalSpy begun(&thread, &TMonitorThread::begin);
        auto job = std::make_shared<TMonitorJob>(Job());
        job->Endpoint.readTimeout = 5000; // the product's read time-out
        QVERIFY(thread.Start(job));
        // Wait until the request has reached the peer and the drip has begun.
        QVERIFY(sim->waitForCapture(1, 3000));
        QTest::qWait(300);
        QVERIFY(thread.Busy());
        QElapsedTimer clock;
        clock.start();
        thread.Shutdown(texts, false);
        const qint64 took = clock.elapsed();
        sim->setDripInterval(kDripMs);
        QVERIFY(thread.IsShutDown());
        QVERIFY2(took < 1000 + kMargin, qPrintable(QStringLiteral("%1 ms").arg(took)));
    }

    // The fixed texts of the monitoring log: a short send and a partial header.
    void sizeErrorTexts()
    {
        {
            TMonitorCycle cycle;
            RecordingSink sink;
            TMonitorJob job = Job();
            QVERIFY(RightImage(cycle.Run(job, &sink)));
            cycle.Client().SetSendLimit(20);
            job = Job();
            sink.titles.clear();
            QCOMPARE(int(cycle.Run(job, &sink).Outcome), int(moExchangeFailed));
            QCOMPARE(sink.titles.mid(0, 2), QStringList({texts.Request, QStringLiteral("TX MONITOR REQ SIZE Error")}));
            QVERIFY(!cycle.Connected());
        }
        {
            // Four bytes a 150 ms within a 600 ms read: part of a header.
            sim->setFailure(FailMode::DripFeed, PortScope::Monitor);
            TMonitorCycle cycle;
            RecordingSink sink;
            TMonitorJob job = Job();
            QCOMPARE(int(cycle.Run(job, &sink).Outcome), int(moExchangeFailed));
            QVERIFY2(sink.titles.size() >= 4, qPrintable(sink.titles.join(QLatin1Char('|'))));
            QCOMPARE(sink.titles.at(sink.titles.size() - 2), texts.HeaderErr);
            const QString line = sink.titles.last();
            QVERIFY2(line.startsWith(QLatin1String("RX MONITOR HEAD SIZE Error, REQ len : 32, RCV len : ")),
                     qPrintable(line));
            const int rcv = line.section(QLatin1Char(':'), -1).trimmed().toInt();
            QVERIFY2(rcv >= 1 && rcv < 32, qPrintable(line));
        }
    }
};

QTEST_MAIN(TestLinkHardening)
#include "tst_link_hardening.moc"
