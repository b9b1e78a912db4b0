// The monitoring cycle against the centre-server simulator, without a window: one
// cycle decodes the scenario's image into its own snapshot and counts it; the
// connection stays open from cycle to cycle; every failure mode gives its log text,
// the closing step and the disconnected glyph, and the next cycle recovers; the
// worker thread hands everything back by queued calls and shuts down cleanly.
#include <QSignalSpy>
#include <QTest>

#include "MainWindowTestEnv.h"
#include "mainwindow/MonitorThreadUnit.h"
#include "RcSim.h"

namespace {

constexpr double kScenarioTime = 110.0;

struct RecordingSink : IMonitorCycleSink
{
    QStringList titles;
    QList<QByteArray> packets;
    QList<TMonitorGlyphs> glyphs;
    void MonitorLog(const QString &title, const QByteArray &packet) override
    {
        titles << title;
        packets << packet;
    }
    void MonitorGlyphs(const TMonitorGlyphs &g) override { glyphs << g; }
};

} // namespace

class TestMainMonitor : public QObject
{
    Q_OBJECT
    std::unique_ptr<rcsim::RcSim> sim;
    TMonitorTexts texts;

    TMonitorJob job(int readTimeout = 400) const
    {
        TMonitorJob j;
        j.Endpoint.host = "127.0.0.1";
        j.Endpoint.port = sim->mntrPort();
        j.Endpoint.connectTimeout = 1000;
        j.Endpoint.readTimeout = readTimeout;
        j.Endpoint.closePause = 100;
        j.Texts = texts;
        // The demo city: 1..40 in use (every third of the 2004 type), 41 mirrors 16.
        for (int n = 1; n <= 41; ++n) {
            TLcDecodeEntry e;
            e.lcNo = n;
            e.lc_type = n % 3 == 0 ? 1 : 2;
            e.is_use = n <= 40;
            e.mainLcNo = n == 41 ? 16 : 0;
            j.Snapshot.entries << e;
        }
        return j;
    }

    int closingPackets() const
    {
        int n = 0;
        for (const rcsim::CapturedPacket &p : sim->captured())
            if (!p.control && p.head.isClosing())
                ++n;
        return n;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MainTest::LoadLanguage());
        texts = TMonitorTexts::FromLanguage();
        sim = std::make_unique<rcsim::RcSim>();
        QString error;
        QVERIFY2(sim->start(&error), qPrintable(error));
        sim->setScenario(rcsim::Scenario::builtIn());
        sim->freezeClock(kScenarioTime);
    }
    void cleanupTestCase() { sim.reset(); }
    void init()
    {
        sim->clearFailure();
        sim->clearCapture();
    }

    void imageIsDecodedAndCountedOverOneConnection()
    {
        TMonitorCycle cycle;
        RecordingSink sink;
        const int accepted = sim->connectionsAccepted();
        TMonitorJob j = job();
        TMonitorCycleResult r = cycle.Run(j, &sink);
        QCOMPARE(r.Outcome, moImage);
        QVERIFY(!r.Closed);
        QCOMPARE(sink.titles, QStringList({"RC MONITOR PORT 연결성공", "모니터링 요청", "모니터링 헤더 수신"}));
        QCOMPARE(r.Glyphs.Connection, int(TMonitorGlyphs::ConnConnected));
        QCOMPARE(r.Glyphs.Receive, int(TMonitorGlyphs::RcvToggled));
        QVERIFY(r.Image);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.Image.get()), RC_STATE_IMAGE_SIZE), sim->stateImage());

        // The states decoded for each intersection are the scenario's.
        const rcsim::Scenario sc = sim->scenario();
        int expected[20] = {};
        for (const TLcDecodeEntry &e : r.Snapshot.entries) {
            const int source = e.mainLcNo > 0 ? e.mainLcNo : e.lcNo;
            QVERIFY2(e.st.mntr_ok, qPrintable(QString::number(e.lcNo)));
            QCOMPARE(e.st.opr_stat, sc.view(source, kScenarioTime).state);
            if (e.mainLcNo == 0)
                ++expected[sc.view(e.lcNo, kScenarioTime).state];
        }
        for (int s = 0; s < 13; ++s)
            QCOMPARE(r.Counters.OprStateStt[s], expected[s]);
        QCOMPARE(r.Counters.LiveLC, 40);
        QCOMPARE(r.Counters.UnusedLC, 0); // the virtual 41 is neither used nor "unused"
        QVERIFY(expected[0] > 0 && expected[7] > 0); // the scenario has failures at this time

        // The next cycle uses the same connection and does not log a new one.
        sink.titles.clear();
        TMonitorJob j2 = job();
        r = cycle.Run(j2, &sink);
        QCOMPARE(r.Outcome, moImage);
        QCOMPARE(sink.titles, QStringList({"모니터링 요청", "모니터링 헤더 수신"}));
        QCOMPARE(r.Glyphs.Receive, int(TMonitorGlyphs::RcvIdle));
        QCOMPARE(sim->connectionsAccepted(), accepted + 1);
        // The request: header only, opcode and command 2, kind 3.
        const QList<rcsim::CapturedPacket> got = sim->captured();
        QVERIFY(!got.isEmpty());
        QCOMPARE(int(got.first().head.opcode), 2);
        QCOMPARE(int(got.first().head.command), 2);
        QCOMPARE(int(got.first().head.kind), 3);
        QCOMPARE(int(got.first().head.dsize), 0);
    }

    void failuresAreLoggedClosedAndRecovered_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<bool>("closingPacket");
        QTest::newRow("refused") << int(rcsim::FailMode::Refuse) << int(moConnectFailed)
                                 << "RC MONITOR PORT 연결실패" << false;
        QTest::newRow("stalled") << int(rcsim::FailMode::Stall) << int(moExchangeFailed)
                                 << "모니터링 헤더 수신 도중 에러" << true;
        QTest::newRow("short reply") << int(rcsim::FailMode::ShortData) << int(moExchangeFailed)
                                     << "RX MONITOR 수신데이터 크기 에러, 헤더.dsize : 124767, rcv_count: 124767, 요구BYTE : 124768"
                                     << true;
        QTest::newRow("oversized reply: nothing read")
            << int(rcsim::FailMode::OversizedData) << int(moExchangeFailed)
            << "RX MONITOR 수신데이터 크기 에러, 헤더.dsize : 128864, rcv_count: 0, 요구BYTE : 124768" << true;
        QTest::newRow("closed in the middle")
            << int(rcsim::FailMode::CloseMidReply) << int(moExchangeFailed)
            << "RX MONITOR 수신데이터 크기 에러, 헤더.dsize : 124768, rcv_count: 62384, 요구BYTE : 124768" << false;
        QTest::newRow("wrong opcode") << int(rcsim::FailMode::WrongOpcode) << int(moExchangeFailed)
                                      << "RX MONITOR 잘못된 OPCODE 수신" << true;
    }
    void failuresAreLoggedClosedAndRecovered()
    {
        QFETCH(int, mode);
        QFETCH(int, outcome);
        QFETCH(QString, lastLine);
        QFETCH(bool, closingPacket);
        TMonitorCycle cycle;
        RecordingSink sink;
        // A good cycle first: the connection is open when the failure comes.
        TMonitorJob j0 = job();
        QCOMPARE(cycle.Run(j0, &sink).Outcome, moImage);
        sim->clearCapture();
        sink.titles.clear();
        sink.glyphs.clear();

        if (rcsim::FailMode(mode) == rcsim::FailMode::Refuse) {
            // Refused from the start: a new cycle object has no connection yet.
            sim->setFailure(rcsim::FailMode::Refuse);
            TMonitorCycle fresh;
            TMonitorJob j = job();
            const TMonitorCycleResult r = fresh.Run(j, &sink);
            QCOMPARE(int(r.Outcome), outcome);
            QVERIFY(r.Closed);
            QCOMPARE(sink.titles, QStringList({lastLine}));
            QCOMPARE(r.Glyphs.Connection, int(TMonitorGlyphs::ConnDisconnected));
            sim->clearFailure();
            TMonitorJob j2 = job();
            QCOMPARE(fresh.Run(j2, &sink).Outcome, moImage);
            QVERIFY(sink.titles.contains("RC MONITOR PORT 연결성공"));
            return;
        }

        sim->setFailure(rcsim::FailMode(mode), rcsim::PortScope::Monitor, 0, 1);
        TMonitorJob j = job();
        const TMonitorCycleResult r = cycle.Run(j, &sink);
        QCOMPARE(int(r.Outcome), outcome);
        QVERIFY(r.Closed);
        QVERIFY(!r.Image);
        QVERIFY2(!sink.titles.isEmpty(), "nothing logged");
        QCOMPARE(sink.titles.last(), lastLine);
        QCOMPARE(sink.glyphs.last().Connection, int(TMonitorGlyphs::ConnDisconnected));
        QCOMPARE(sink.glyphs.last().Request, int(TMonitorGlyphs::ReqIdle));
        QCOMPARE(sink.glyphs.last().Receive, int(TMonitorGlyphs::RcvIdle));
        QVERIFY(!cycle.Connected());
        if (closingPacket)
            QVERIFY(sim->waitForCapture(2, 2000) && closingPackets() == 1);

        // The next cycle connects again and gets the image.
        sink.titles.clear();
        TMonitorJob j2 = job();
        const TMonitorCycleResult again = cycle.Run(j2, &sink);
        QCOMPARE(again.Outcome, moImage);
        QCOMPARE(sink.titles.first(), QString("RC MONITOR PORT 연결성공"));
    }

    void packetsAreDumpedOnlyWhenAsked()
    {
        TMonitorCycle cycle;
        RecordingSink sink;
        TMonitorJob j = job();
        j.DumpPackets = true;
        cycle.Run(j, &sink);
        QCOMPARE(sink.packets.size(), 3);
        QCOMPARE(sink.packets[1].size(), 32); // the request: header only
        QCOMPARE(sink.packets[1].left(2), QByteArray("CM"));
        sink.packets.clear();
        TMonitorJob j2 = job();
        cycle.Run(j2, &sink);
        for (const QByteArray &p : sink.packets)
            QVERIFY(p.isEmpty());
    }

    void threadRunsOneCycleAtATimeAndShutsDown()
    {
        TMonitorThread thread;
        QSignalSpy begin(&thread, &TMonitorThread::begin);
        QSignalSpy lines(&thread, &TMonitorThread::logLine);
        std::shared_ptr<TMonitorCycleResult> last;
        connect(&thread, &TMonitorThread::cycleFinished, this,
                [&](std::shared_ptr<TMonitorCycleResult> r) {
                    QVERIFY(thread.Busy()); // the result is handled while the cycle still counts as running
                    last = r;
                });
        QVERIFY(thread.Start(std::make_shared<TMonitorJob>(job())));
        QVERIFY(thread.Busy());
        QVERIFY(!thread.Start(std::make_shared<TMonitorJob>(job()))); // one at a time
        thread.WaitForIdle();
        QVERIFY(!thread.Busy());
        QCOMPARE(begin.count(), 1);
        QVERIFY(last);
        QCOMPARE(last->Outcome, moImage);
        QCOMPARE(lines.count(), 3);

        // A stalled exchange: the user-interface thread waits with a local loop only.
        sim->setFailure(rcsim::FailMode::Stall, rcsim::PortScope::Monitor, 0, 1);
        QVERIFY(thread.Start(std::make_shared<TMonitorJob>(job(300))));
        thread.WaitForIdle();
        QCOMPARE(last->Outcome, moExchangeFailed);

        QVERIFY(thread.Start(std::make_shared<TMonitorJob>(job())));
        thread.WaitForIdle();
        QCOMPARE(last->Outcome, moImage);
        sim->clearCapture();
        thread.Shutdown(texts, false);
        QVERIFY(thread.IsShutDown());
        QVERIFY(!thread.Start(std::make_shared<TMonitorJob>(job())));
        // The closing packet went out before the disconnect.
        QVERIFY(sim->waitForCapture(1, 2000));
        QCOMPARE(closingPackets(), 1);
    }
};

QTEST_MAIN(TestMainMonitor)
#include "tst_main_monitor.moc"
