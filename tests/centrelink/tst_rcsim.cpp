// The centre-server simulator: scenarios, the monitor reply in both byte orders,
// failure rules, the table of handlers, the capture, and the program with its
// run-time commands.
#include <QtTest>

#include "CentreLinkTestSupport.h"
#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"
#include "RcSim.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace rcsim;

namespace {

// One request and its reply over an open client.
TRcReceive exchange(TRcClient &client, quint8 op, quint8 kind, quint16 target, const QByteArray &data,
                    THostSimplePacket &res)
{
    THostSimplePacket req;
    req.Reset();
    req.SetHead(op, kind, target);
    req.AddData(data);
    res.Reset();
    if (!client.Send(req.WireBytes(), req.WireSize()))
        return rrHeaderFailed;
    return client.ReceivePacket(res);
}

} // namespace

class TestRcSim : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { SetServerBigEndian(false); }

    void scenarioParse_data();
    void scenarioParse();
    void scenarioGroupsCount();
    void monitorReply_data();
    void monitorReply();
    void monitorFailures_data();
    void monitorFailures();
    void onePortForBoth();
    void ruleSkipCountAndScope();
    void resetBeforeRequest();
    void heldCuts();
    void tableOfHandlers();
    void captureFile();
    void malformedPacketDropsTheConnection();
    void commands();
    void program();
};

void TestRcSim::scenarioParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::newRow("built-in") << Scenario::builtInText() << true << QString();
    QTest::newRow("ranges and comments") << QStringLiteral("# city\nperiod 60\ngroup 1 cycle=90\nlc 1-3 group=1 type=2004 # ok\n"
                                                           "event 2 from=0 to=10 state=flash flash=1\n")
                                         << true << QString();
    QTest::newRow("unknown statement") << QStringLiteral("period 60\nroad 1\n") << false << QStringLiteral("line 2");
    QTest::newRow("bad state") << QStringLiteral("lc 1 group=1\nevent 1 from=0 to=5 state=dancing\n") << false
                               << QStringLiteral("line 2: unknown state");
    QTest::newRow("group out of range") << QStringLiteral("group 201 cycle=100\n") << false << QStringLiteral("line 1");
    QTest::newRow("intersection out of range") << QStringLiteral("lc 1000-1025 group=1\n") << false
                                               << QStringLiteral("line 1");
    QTest::newRow("no key=value") << QStringLiteral("lc 1 group\n") << false << QStringLiteral("key=value");
    QTest::newRow("bad type") << QStringLiteral("lc 1 group=1 type=1999\n") << false << QStringLiteral("type");
    QTest::newRow("end before start") << QStringLiteral("event 1 from=9 to=3\n") << false << QStringLiteral("times");
}

void TestRcSim::scenarioParse()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    Scenario s;
    QString why;
    QCOMPARE(Scenario::parse(text, &s, &why), ok);
    if (!ok)
        QVERIFY2(why.contains(error), qPrintable(why));
}

void TestRcSim::scenarioGroupsCount()
{
    Scenario s;
    QString why;
    QVERIFY2(Scenario::parse(QStringLiteral("group 2 cycle=100 offset=7 split=3\n"
                                           "lc 1-4 group=2 type=2010 phases=2\n"
                                           "event 1 from=10 to=20 state=flash\n"
                                           "event 2 from=10 to=20 state=manual\n"
                                           "event 3 from=0 to=300 state=commfail\n"),
                            &s, &why),
            qPrintable(why));
    const QByteArray img = s.stateImage(15, false);
    const auto *g = reinterpret_cast<const quint8 *>(img.constData()) + 1 * 76;
    QCOMPARE(int(g[0]), 1);
    QCOMPARE(int(g[3]), 100);
    QCOMPARE(int(g[4]), 7);
    QCOMPARE(int(g[5]), 3);
    QCOMPARE(int(g[6]), 4);  // members
    QCOMPARE(int(g[7]), 1);  // centre: intersection 4
    QCOMPARE(int(g[12]), 1); // communication failure: 3
    QCOMPARE(int(g[13]), 1); // flashing: 1
    QCOMPARE(int(g[14]), 1); // manual: 2
    // after the events the flash and manual clear
    const QByteArray later = s.stateImage(25, false);
    const auto *g2 = reinterpret_cast<const quint8 *>(later.constData()) + 1 * 76;
    QCOMPARE(int(g2[7]), 3);
    QCOMPARE(int(g2[13]), 0);
    QCOMPARE(int(g2[14]), 0);
    // an intersection record outside the scenario stays undefined
    QCOMPARE(int(img.at(15200 + 10 * 107)), 0);
}

void TestRcSim::monitorReply_data()
{
    QTest::addColumn<bool>("bigEndian");
    QTest::newRow("little-endian") << false;
    QTest::newRow("big-endian") << true;
}

void TestRcSim::monitorReply()
{
    QFETCH(bool, bigEndian);
    Options o;
    o.bigEndian = bigEndian;
    RcSim sim(o);
    QVERIFY(sim.start());
    sim.freezeClock(50);
    SetServerBigEndian(bigEndian);
    TRcClient client;
    QVERIFY(client.Connect(CentreLinkTest::MntrEndpoint(sim)));
    auto packet = std::make_unique<THostPacket>();
    packet->Reset();
    packet->SetHead(2, 3, 0);
    QVERIFY(client.Send(packet->WireBytes(), 32));
    QCOMPARE(client.ReceivePacket(*packet), rrOk);
    QCOMPARE(int(packet->Head.command), 3);
    QCOMPARE(packet->DataSize, 124768);
    QVERIFY(qAbs(qint64(packet->Head.GetCurrentTime().tv_sec) - LocalClockAsUnixSeconds()) <= 2);
    const auto *image = reinterpret_cast<const TST_VESK_STATE *>(packet->Data);
    QCOMPARE(int(image->lc_state[3].status), 5); // intersection 4 flashes at 50 s
    QCOMPARE(int(image->lc_state[20].GetIntGroup()), 2);
    THostSimplePacket closing;
    QVERIFY(client.Close(closing));
    QVERIFY(sim.waitForCapture(2, 2000));
    const QList<CapturedPacket> cap = sim.captured();
    QVERIFY(!cap[0].control);
    QCOMPARE(int(cap[0].head.opcode), 2);
    QCOMPARE(int(cap[0].head.kind), 3);
    QVERIFY(cap[1].head.isClosing());
}

void TestRcSim::monitorFailures_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("receive");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("dsize");
    QTest::newRow("wrong opcode") << int(FailMode::WrongOpcode) << int(rrOk) << 4 << 124768;
    QTest::newRow("short image") << int(FailMode::ShortData) << int(rrOk) << 3 << 124767;
    QTest::newRow("oversized image") << int(FailMode::OversizedData) << int(rrTooLarge) << 3 << 124768 + 4096;
    QTest::newRow("closed mid image") << int(FailMode::CloseMidReply) << int(rrDataFailed) << 3 << 124768;
    QTest::newRow("no image") << int(FailMode::Stall) << int(rrHeaderFailed) << 0 << 0;
}

void TestRcSim::monitorFailures()
{
    QFETCH(int, mode);
    QFETCH(int, receive);
    QFETCH(int, command);
    QFETCH(int, dsize);
    RcSim sim;
    QVERIFY(sim.start());
    sim.setFailure(FailMode(mode), PortScope::Monitor);
    TRcClient client;
    QVERIFY(client.Connect(CentreLinkTest::MntrEndpoint(sim, 500)));
    auto packet = std::make_unique<THostPacket>();
    packet->Reset();
    packet->SetHead(2, 3, 0);
    QVERIFY(client.Send(packet->WireBytes(), 32));
    QCOMPARE(int(client.ReceivePacket(*packet)), receive);
    if (receive != rrHeaderFailed) {
        QCOMPARE(int(packet->Head.command), command);
        QCOMPARE(qint64(packet->Head.dsize), qint64(dsize));
    }
    if (receive == rrTooLarge)
        QCOMPARE(packet->DataSize, 0);
}

void TestRcSim::onePortForBoth()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    Options o;
    o.mntrPort = port;
    o.ctrlPort = port;
    RcSim sim(o);
    QVERIFY(sim.start());
    QCOMPARE(sim.mntrPort(), port);
    QCOMPARE(sim.ctrlPort(), port);
    sim.setFailure(FailMode::WrongOpcode, PortScope::Control);

    TRcClient mntr;
    QVERIFY(mntr.Connect(CentreLinkTest::MntrEndpoint(sim)));
    auto packet = std::make_unique<THostPacket>();
    packet->Reset();
    packet->SetHead(2, 3, 0);
    QVERIFY(mntr.Send(packet->WireBytes(), 32));
    QCOMPARE(mntr.ReceivePacket(*packet), rrOk);
    QCOMPARE(int(packet->Head.command), 3); // a monitoring connection: the control rule spares it

    TRcClient ctrl;
    QVERIFY(ctrl.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    THostSimplePacket res;
    QCOMPARE(exchange(ctrl, 0x10, 1, 4, QByteArray::fromHex("021081000000"), res), rrOk);
    QCOMPARE(int(res.Head.opcode), 0x12);
    const QList<CapturedPacket> cap = sim.captured();
    QCOMPARE(cap.size(), 2);
    QVERIFY(!cap[0].control);
    QVERIFY(cap[1].control);
}

void TestRcSim::ruleSkipCountAndScope()
{
    RcSim sim;
    QVERIFY(sim.start());
    sim.setFailure(FailMode::WrongOpcode, PortScope::Control, 1, 2);
    TRcClient ctrl;
    QVERIFY(ctrl.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    QList<int> opcodes;
    for (int i = 0; i < 4; ++i) {
        THostSimplePacket res;
        QCOMPARE(exchange(ctrl, 0xE8, 1, 7, QByteArray(1, '\x01'), res), rrOk);
        opcodes << res.Head.opcode;
    }
    QCOMPARE(opcodes, QList<int>({0xE9, 0xEA, 0xEA, 0xE9}));

    // A monitor-port rule leaves the control port alone.
    sim.setFailure(FailMode::Stall, PortScope::Monitor);
    THostSimplePacket res;
    QCOMPARE(exchange(ctrl, 0xE6, 2, 3, QByteArray(1, '\x00'), res), rrOk);
    QCOMPARE(int(res.Head.opcode), 0xE7);
    QCOMPARE(res.DataBytes().size(), 1);

    // Refusing only the control port.
    sim.setFailure(FailMode::Refuse, PortScope::Control);
    TRcClient refused;
    QVERIFY(!refused.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    TRcClient mntr;
    QVERIFY(mntr.Connect(CentreLinkTest::MntrEndpoint(sim)));
    sim.clearFailure();
    TRcClient again;
    QVERIFY(again.Connect(CentreLinkTest::CtrlEndpoint(sim)));
}

void TestRcSim::resetBeforeRequest()
{
    RcSim sim;
    QVERIFY(sim.start());
    // The second request is hit: the first is answered, then the connection goes.
    sim.setFailure(FailMode::ResetBeforeRequest, PortScope::Control, 1, 1);
    TRcClient first;
    QVERIFY(first.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    THostSimplePacket res;
    QCOMPARE(exchange(first, 0xE8, 1, 7, QByteArray(1, '\x01'), res), rrOk);
    QCOMPARE(int(res.Head.opcode), 0xE9);
    QVERIFY(sim.waitForResets(1, 5000));
    QTRY_VERIFY_WITH_TIMEOUT(!first.Poll(), 5000);
    QVERIFY(!first.Send(QByteArray(32, '\0')));
    // The rule is used up: the next connection is served.
    TRcClient second;
    QVERIFY(second.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    QCOMPARE(exchange(second, 0xE8, 1, 7, QByteArray(1, '\x01'), res), rrOk);
    QCOMPARE(sim.connectionsReset(), 1);

    // A monitor-port rule leaves the control port alone.
    sim.setFailure(FailMode::ResetBeforeRequest, PortScope::Monitor);
    TRcClient fourth;
    QVERIFY(fourth.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    QCOMPARE(exchange(fourth, 0xE8, 1, 7, QByteArray(1, '\x01'), res), rrOk);
    QCOMPARE(exchange(fourth, 0xE8, 1, 7, QByteArray(1, '\x01'), res), rrOk);
    QCOMPARE(sim.connectionsReset(), 1);
}

// Held cuts wait: the connection stays made and unread until the cuts are
// released, then it is reset. For a connection's first request the cut comes only
// after the client has seen its connection made.
void TestRcSim::heldCuts()
{
    RcSim sim;
    QVERIFY(sim.start());
    sim.holdCuts(true);
    sim.setFailure(FailMode::ResetBeforeRequest, PortScope::Control, 0, 1);
    TRcClient first;
    QVERIFY(first.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    QTRY_COMPARE_WITH_TIMEOUT(sim.connectionsAccepted(), 1, 5000);
    QVERIFY(first.Poll());
    QCOMPARE(sim.connectionsReset(), 0);
    sim.holdCuts(false);
    QVERIFY(sim.waitForResets(1, 5000));
    QTRY_VERIFY_WITH_TIMEOUT(!first.Poll(), 5000);
    QVERIFY(!first.Send(QByteArray(32, '\0')));

    // A cut after a reply: the reply comes whole, the connection goes on release.
    sim.setFailure(FailMode::ResetBeforeRequest, PortScope::Control, 1, 1);
    sim.holdCuts(true);
    TRcClient second;
    QVERIFY(second.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    THostSimplePacket res;
    QCOMPARE(exchange(second, 0xE8, 1, 7, QByteArray(1, '\x01'), res), rrOk);
    QCOMPARE(int(res.Head.opcode), 0xE9);
    QVERIFY(second.Poll());
    QCOMPARE(sim.connectionsReset(), 1);
    sim.holdCuts(false);
    QVERIFY(sim.waitForResets(2, 5000));
    QTRY_VERIFY_WITH_TIMEOUT(!second.Poll(), 5000);
    QCOMPARE(sim.connectionsAccepted(), 2);
}

void TestRcSim::tableOfHandlers()
{
    RcSim sim;
    QVERIFY(sim.start());
    sim.setHandler(0xC8, [](const Request &r) {
        Reply reply = RcSim::genericReply(r);
        reply.data = QByteArray::fromHex("02c9010a0b0c");
        reply.statusIndex = 2;
        return reply;
    });
    TRcClient client;
    QVERIFY(client.Connect(CentreLinkTest::CtrlEndpoint(sim)));
    THostSimplePacket res;
    QCOMPARE(exchange(client, 0xC8, 1, 9, QByteArray::fromHex("02c8"), res), rrOk);
    QCOMPARE(res.DataBytes().toHex(), QByteArray("02c9010a0b0c"));
    sim.setFailure(FailMode::RefusalByte, PortScope::Control);
    QCOMPARE(exchange(client, 0xC8, 1, 9, QByteArray::fromHex("02c8"), res), rrOk);
    QCOMPARE(res.DataBytes().toHex(), QByteArray("02c9000a0b0c"));
    sim.clearFailure();
    sim.setHandler(0xC8, {});
    QCOMPARE(exchange(client, 0xC8, 1, 9, QByteArray::fromHex("02c8"), res), rrOk);
    QCOMPARE(res.DataBytes().toHex(), QByteArray("02c901"));

    // Replies to the requests the console sends (opcode + 1 and the data its sender
    // accepts).
    struct Case { quint8 op, kind; QByteArray data; QByteArray reply; };
    const QList<Case> cases = {
        {4, 3, {}, {}},
        {6, 3, {}, {}},
        {0xE6, 2, QByteArray::fromHex("01"), QByteArray::fromHex("01")},
        {0xEA, 2, QByteArray::fromHex("00"), QByteArray::fromHex("00")},
        {0xEC, 2, QByteArray::fromHex("010203"), QByteArray::fromHex("010203")},
        {0xE8, 1, QByteArray::fromHex("01"), QByteArray::fromHex("01")},
        {0xEA, 1, QByteArray::fromHex("01"), QByteArray::fromHex("01")},
        {0x10, 1, QByteArray::fromHex("011081000000"), QByteArray::fromHex("011101")},
        {0x50, 1, QByteArray::fromHex("0250") + QByteArray(35, '\0'), QByteArray::fromHex("025101")},
        {0x56, 1, QByteArray::fromHex("0256") + QByteArray(32, '\0'), QByteArray::fromHex("025700")},
        {0xA0, 1, QByteArray::fromHex("01a0"), QByteArray::fromHex("01a101")},
    };
    for (const Case &c : cases) {
        QCOMPARE(exchange(client, c.op, c.kind, 1, c.data, res), rrOk);
        QCOMPARE(int(res.Head.opcode), c.op + 1);
        QCOMPARE(int(res.Head.command), c.op + 1);
        QCOMPARE(res.DataBytes().toHex(), c.reply.toHex());
    }
}

void TestRcSim::captureFile()
{
    QTemporaryDir dir;
    Options o;
    o.captureFile = dir.filePath(QStringLiteral("cap.txt"));
    {
        RcSim sim(o);
        QVERIFY(sim.start());
        TRcClient client;
        QVERIFY(client.Connect(CentreLinkTest::CtrlEndpoint(sim)));
        THostSimplePacket res;
        QCOMPARE(exchange(client, 0x10, 1, 77, QByteArray::fromHex("021081000000"), res), rrOk);
        THostSimplePacket closing;
        QVERIFY(client.Close(closing));
        QVERIFY(sim.waitForCapture(2, 2000));
    }
    QFile f(o.captureFile);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].contains(QStringLiteral("ctrl#1 stx=434d src=1 dst=2 frame=0/0/0 kind=1 op=16 cmd=16 "
                                               "target=77 dsize=6 time=")),
             qPrintable(lines[0]));
    QVERIFY(lines[0].endsWith(QStringLiteral("data=02 10 81 00 00 00")));
    QVERIFY(lines[1].contains(QStringLiteral("kind=0 op=1 cmd=1 target=0 dsize=0")));
}

void TestRcSim::malformedPacketDropsTheConnection()
{
    RcSim sim;
    QVERIFY(sim.start());
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), sim.ctrlPort());
    QVERIFY(s.waitForConnected(2000));
    s.write(QByteArray(32, 'X'));
    QVERIFY(s.waitForBytesWritten(2000));
    QVERIFY(sim.waitForCapture(1, 2000));
    QVERIFY(s.state() == QAbstractSocket::UnconnectedState || s.waitForDisconnected(2000));
    QVERIFY(!sim.captured().first().head.validStart());
}

void TestRcSim::commands()
{
    RcSim sim;
    QString answer;
    QVERIFY(sim.execCommand(QStringLiteral("fail stall ctrl skip=2 count=3"), &answer));
    QCOMPARE(sim.failure().mode, FailMode::Stall);
    QCOMPARE(sim.failure().scope, PortScope::Control);
    QCOMPARE(sim.failure().skip, 2);
    QCOMPARE(sim.failure().count, 3);
    QVERIFY(sim.execCommand(QStringLiteral("clear"), &answer));
    QCOMPARE(sim.failure().mode, FailMode::None);
    QVERIFY(!sim.execCommand(QStringLiteral("fail sideways"), &answer));
    QVERIFY(!sim.execCommand(QStringLiteral("fail stall nowhere"), &answer));
    QVERIFY(!sim.execCommand(QStringLiteral("dance"), &answer));
    QVERIFY(sim.execCommand(QStringLiteral("freeze 42.5"), &answer));
    QCOMPARE(sim.scenarioTime(), 42.5);
    QVERIFY(sim.execCommand(QStringLiteral("status"), &answer));
    QVERIFY(answer.contains(QStringLiteral("little-endian")));
    QVERIFY(sim.execCommand(QStringLiteral("drip 250"), &answer));
    QCOMPARE(answer, QStringLiteral("drip interval 250 ms"));
    QVERIFY(!sim.execCommand(QStringLiteral("drip 0"), &answer));
    QVERIFY(sim.execCommand(QStringLiteral("fail duplicated-reply ctrl"), &answer));
    QCOMPARE(sim.failure().mode, FailMode::DuplicatedReply);
    bool quit = false;
    QVERIFY(sim.execCommand(QStringLiteral("quit"), &answer, &quit));
    QVERIFY(quit);
    for (FailMode m : {FailMode::None, FailMode::Refuse, FailMode::CloseMidReply, FailMode::Stall,
                       FailMode::ShortData, FailMode::OversizedData, FailMode::WrongOpcode, FailMode::RefusalByte,
                       FailMode::ResetAfterReply, FailMode::ResetOnAccept, FailMode::DripFeed,
                       FailMode::UnrequestedFlood, FailMode::GarbageStart, FailMode::DuplicatedReply,
                       FailMode::ResetBeforeRequest}) {
        FailMode back = FailMode::None;
        QVERIFY(failModeFromName(failModeName(m), &back));
        QCOMPARE(back, m);
    }
}

void TestRcSim::program()
{
    const QString exe = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("rcsim"));
    QVERIFY2(QFile::exists(exe), qPrintable(exe));

    QProcess help;
    help.start(exe, {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(5000));
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    for (const char *option : {"--mntr-port", "--ctrl-port", "--big-endian", "--scenario", "--capture", "--control"})
        QVERIFY2(text.contains(QLatin1String(option)), option);

    QTemporaryDir dir;
    const QString control = dir.filePath(QStringLiteral("control.txt"));
    QProcess p;
    p.start(exe, {QStringLiteral("--mntr-port"), QStringLiteral("0"), QStringLiteral("--ctrl-port"), QStringLiteral("0"),
                  QStringLiteral("--big-endian"), QStringLiteral("--control"), control});
    QVERIFY(p.waitForStarted(5000));
    QString banner;
    QTRY_VERIFY_WITH_TIMEOUT((banner += QString::fromUtf8(p.readAllStandardOutput())).contains(QLatin1String("control port")), 5000);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("monitoring port (\\d+), control port (\\d+), big-endian")).match(banner);
    QVERIFY2(m.hasMatch(), qPrintable(banner));
    TRcEndpoint ep;
    ep.port = m.captured(2).toInt();
    ep.readTimeout = 2000;

    SetServerBigEndian(true);
    {
        TRcClient client;
        QVERIFY(client.Connect(ep));
        THostSimplePacket res;
        QCOMPARE(exchange(client, 0xE8, 1, 300, QByteArray(1, '\x01'), res), rrOk);
        QCOMPARE(int(res.Head.target_num), 300);
        THostSimplePacket closing;
        client.Close(closing);
    }

    // The control file switches a failure on at run time.
    {
        QFile f(control);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("fail refuse ctrl\n");
    }
    QTRY_VERIFY_WITH_TIMEOUT(!TRcClient().Connect(ep), 5000);

    // stdin commands; "quit" ends the program.
    p.write("clear\n");
    QTRY_VERIFY_WITH_TIMEOUT(TRcClient().Connect(ep), 5000);
    p.write("quit\n");
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestRcSim)
#include "tst_rcsim.moc"
