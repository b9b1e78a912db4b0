// The exchange threads against the simulator over loopback: every result code
// 99991..99998, the closing packet at the end of every control session, the list
// thread stopping at the first send or receive failure, the log lines, both byte
// orders, and the one lookup of the controller type.
#include <QtTest>

#include "CentreLinkTestSupport.h"
#include "centrelink/CtrlThreadUnit.h"
#include "centrelink/UpDnThread.h"
#include "centrelink/untTH_TCDV_C_Log.h"

#include <QAtomicInt>

using namespace rcsim;

namespace {

class OutcomeView : public QWidget, public ICtrlOutcomeView
{
public:
    void ShowCtrlOutcome(int imageIndex, const QString &text) override { shown << qMakePair(imageIndex, text); }
    QList<QPair<int, QString>> shown;
};

TCtrlDataArray makeFrames(int count, int resSize = 3, bool equal = true)
{
    TCtrlDataArray frames;
    for (int i = 0; i < count; ++i) {
        TCtrlData f;
        f.FReqData = QByteArray::fromHex("0a0b0c0d");
        f.FReqData[0] = char(i + 1);
        f.FReqDataSize = 4;
        f.FResHeaderSize = 2;
        f.FResDataSize = resSize;
        f.FEqualCompare = equal;
        f.FReturnVal = -1;
        frames << f;
    }
    return frames;
}

void buildCtrlMode(THostSimplePacket &req, THostSimplePacket &res, int lcNo = 5)
{
    req.Reset();
    res.Reset();
    req.SetHead(0x10, 1, quint16(lcNo));
    req.AddDazavaHead(2, 0x10);
    const quint8 rec[4] = {0x81, 0, 0, 0};
    req.AddDazavaData(rec, 4);
}

QList<CapturedPacket> ofConnection(const QList<CapturedPacket> &all, int connection)
{
    QList<CapturedPacket> out;
    for (const CapturedPacket &p : all)
        if (p.connection == connection)
            out << p;
    return out;
}

} // namespace

class TestRcExchange : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void upDnSuccess();
    void upDnHostRequestWithoutData();
    void upDnResults_data();
    void upDnResults();
    void upDnOversizedReplyStaysInItsBuffer();
    void closingPacketEndsEverySession();
    void bigEndianServer();
    void byteOrderMismatchIsAReceiveFailure();

    void checkReply_data();
    void checkReply();
    void listSuccessOneConnection();
    void listToTheCentreServer();
    void listResults_data();
    void listResults();
    void listLogLines();
    void listLogLinesOutsideAdminMode();
    void listTerminated();

private:
    int runUpDn(THostSimplePacket &req, THostSimplePacket &res, int readTimeout = 2000)
    {
        TUpDnThread th(&req, &res, CentreLinkTest::CtrlEndpoint(*m_sim, readTimeout));
        th.Start();
        return th.WaitFor();
    }
    std::unique_ptr<RcSim> m_sim;
    TUpDnTexts m_texts;
    QAtomicInt m_typeLookups;
};

void TestRcExchange::initTestCase()
{
    CentreLinkTest::LoadTexts(TsiLangDispatcher::LangKorean);
    m_texts = TUpDnTexts::Current();
    QVERIFY2(m_texts[3].contains(QLatin1String(",SND,")), "the exchange texts must be loaded");
    m_sim = std::make_unique<RcSim>();
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    SetLcLookups(
        [this](int lcNo) {
            m_typeLookups.fetchAndAddRelaxed(1);
            return lcNo == 3 ? 1 : 2;
        },
        [](int lcNo) { return QStringLiteral("LC %1").arg(lcNo); });
}

void TestRcExchange::init()
{
    m_sim->clearFailure();
    m_sim->clearCapture();
    SetServerBigEndian(false);
    SetExchangeLogObserver({});
    m_typeLookups = 0;
}

void TestRcExchange::cleanup()
{
    SetExchangeLogObserver({});
    m_sim->clearFailure();
}

void TestRcExchange::cleanupTestCase()
{
    SetLcLookups({}, {});
    m_sim.reset();
}

void TestRcExchange::upDnSuccess()
{
    THostSimplePacket req, res;
    buildCtrlMode(req, res);
    QCOMPARE(runUpDn(req, res), 3);
    QCOMPARE(int(res.Head.opcode), 0x11);
    QCOMPARE(int(res.Head.command), 0x11);
    QCOMPARE(int(res.Head.target_num), 5);
    QCOMPARE(res.DataBytes().toHex(), QByteArray("021101"));
    // The request buffer carries the closing packet afterwards.
    QCOMPARE(int(req.Head.opcode), 1);
    QCOMPARE(req.DataSize, 0);

    QVERIFY(m_sim->waitForCapture(2, 2000));
    const QList<CapturedPacket> cap = m_sim->captured();
    QCOMPARE(cap.size(), 2);
    QVERIFY(cap[0].control);
    QCOMPARE(int(cap[0].head.kind), 1);
    QCOMPARE(int(cap[0].head.opcode), 0x10);
    QCOMPARE(int(cap[0].head.target), 5);
    QCOMPARE(cap[0].data.toHex(), QByteArray("021081000000"));
    QVERIFY(cap[1].head.isClosing());
    QCOMPARE(cap[1].connection, cap[0].connection);
}

void TestRcExchange::upDnHostRequestWithoutData()
{
    THostSimplePacket req, res;
    req.Reset();
    res.Reset();
    req.SetHead(4, 3, 0);
    QCOMPARE(runUpDn(req, res), 0);
    QCOMPARE(int(res.Head.command), 5);
    QCOMPARE(res.DataSize, 0);
}

void TestRcExchange::upDnResults_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("syncAt"); // log line at which the worker waits for the reset
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("expectedLogText"); // T_UpDn index that must have been logged (0 none)

    QTest::newRow("connection refused") << int(FailMode::Refuse) << QString() << 99991 << 1;
    QTest::newRow("reset before sending") << int(FailMode::ResetOnAccept) << QStringLiteral(",SND,") << 99992 << 4;
    QTest::newRow("no reply") << int(FailMode::Stall) << QString() << 99993 << 6;
    QTest::newRow("closed mid reply") << int(FailMode::CloseMidReply) << QString() << 99993 << 8;
    QTest::newRow("oversized data") << int(FailMode::OversizedData) << QString() << 99993 << 8;
    QTest::newRow("reset after the reply") << int(FailMode::ResetAfterReply) << QStringLiteral("RSV_DATA") << 99994 << 2;
    // These arrive whole: the exchange gives the data size and the window judges.
    QTest::newRow("short data") << int(FailMode::ShortData) << QString() << 2 << 0;
    QTest::newRow("wrong opcode") << int(FailMode::WrongOpcode) << QString() << 3 << 0;
    QTest::newRow("refusal byte") << int(FailMode::RefusalByte) << QString() << 3 << 0;
}

void TestRcExchange::upDnResults()
{
    QFETCH(int, mode);
    QFETCH(QString, syncAt);
    QFETCH(int, expected);
    QFETCH(int, expectedLogText);

    auto lines = std::make_shared<QStringList>();
    auto seen = std::make_shared<int>(0);
    RcSim *sim = m_sim.get();
    SetExchangeLogObserver([lines, syncAt, seen, sim](const QString &line) {
        *lines << line;
        if (!syncAt.isEmpty() && line.contains(syncAt) && ++*seen == 1) {
            sim->waitForResets(1, 3000);
            QThread::msleep(30);
        }
    });
    m_sim->setFailure(FailMode(mode), PortScope::Control);
    THostSimplePacket req, res;
    buildCtrlMode(req, res);
    QCOMPARE(runUpDn(req, res, 400), expected);
    if (expectedLogText)
        QVERIFY2(lines->contains(m_texts[expectedLogText]), qPrintable(lines->join(QLatin1Char('|'))));

    if (FailMode(mode) == FailMode::WrongOpcode)
        QCOMPARE(int(res.Head.opcode), 0x12);
    if (FailMode(mode) == FailMode::RefusalByte)
        QCOMPARE(int(res.Data[2]), 0);
    if (FailMode(mode) == FailMode::ShortData)
        QCOMPARE(res.DataBytes().toHex(), QByteArray("0211"));
}

void TestRcExchange::upDnOversizedReplyStaysInItsBuffer()
{
    struct Guarded
    {
        THostSimplePacket res;
        quint8 canary[8192];
    };
    auto g = std::make_unique<Guarded>();
    std::memset(g->canary, 0xAA, sizeof g->canary);
    m_sim->setFailure(FailMode::OversizedData, PortScope::Control);
    THostSimplePacket req;
    buildCtrlMode(req, g->res);
    QCOMPARE(runUpDn(req, g->res, 400), 99993);
    QCOMPARE(qint64(g->res.Head.dsize), qint64(3 + 4096));
    QCOMPARE(g->res.DataSize, 0);
    for (quint8 c : g->canary)
        QCOMPARE(int(c), 0xAA);
}

void TestRcExchange::closingPacketEndsEverySession()
{
    // Sessions whose connection stays up to the end, with and without failures.
    const QList<FailMode> modes = {FailMode::None,       FailMode::WrongOpcode,   FailMode::RefusalByte,
                                   FailMode::Stall,      FailMode::ShortData,     FailMode::OversizedData};
    for (FailMode mode : modes) {
        m_sim->setFailure(mode, PortScope::Control);
        THostSimplePacket req, res;
        buildCtrlMode(req, res);
        runUpDn(req, res, 300);
    }
    m_sim->clearFailure();
    TCtrlDataArray frames = makeFrames(3);
    TCtrlThread list(5, frames, 160, 161, 1, QStringLiteral("list"), nullptr, nullptr,
                     CentreLinkTest::CtrlEndpoint(*m_sim));
    list.Start();
    QCOMPARE(list.WaitFor(), 99996);

    const QList<CapturedPacket> cap = m_sim->captured();
    QSet<int> connections;
    for (const CapturedPacket &p : cap)
        connections.insert(p.connection);
    QCOMPARE(connections.size(), modes.size() + 1);
    for (int c : std::as_const(connections)) {
        const QList<CapturedPacket> session = ofConnection(cap, c);
        QVERIFY2(session.last().head.isClosing(), qPrintable(session.last().toLine()));
        int closings = 0;
        for (const CapturedPacket &p : session)
            closings += p.head.isClosing() ? 1 : 0;
        QCOMPARE(closings, 1);
        QCOMPARE(session.last().head.dsize, 0u);
        QCOMPARE(int(session.last().head.target), 0);
    }
}

void TestRcExchange::bigEndianServer()
{
    Options o;
    o.bigEndian = true;
    RcSim sim(o);
    QVERIFY(sim.start());
    SetServerBigEndian(true);
    THostSimplePacket req, res;
    buildCtrlMode(req, res, 300);
    TUpDnThread th(&req, &res, CentreLinkTest::CtrlEndpoint(sim));
    th.Start();
    QCOMPARE(th.WaitFor(), 3);
    QCOMPARE(int(res.Head.target_num), 300);
    QCOMPARE(res.DataBytes().toHex(), QByteArray("021101"));
    QVERIFY(sim.waitForCapture(2, 2000));
    QCOMPARE(int(sim.captured().first().head.target), 300);
    QCOMPARE(sim.captured().first().head.dsize, 6u);
}

void TestRcExchange::byteOrderMismatchIsAReceiveFailure()
{
    Options o;
    o.bigEndian = true;
    RcSim sim(o);
    QVERIFY(sim.start());
    SetServerBigEndian(false); // the console thinks little-endian
    THostSimplePacket req, res;
    buildCtrlMode(req, res);
    TUpDnThread th(&req, &res, CentreLinkTest::CtrlEndpoint(sim, 400));
    th.Start();
    QCOMPARE(th.WaitFor(), 99993);
}

void TestRcExchange::checkReply_data()
{
    QTest::addColumn<bool>("equal");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("reqOpcode");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QByteArray>("resData");

    const QByteArray ten = QByteArray::fromHex("02a10102030405060708");
    QTest::newRow("equal size, opcode right") << true << 2 << 10 << ten << 0xA0 << 99996
                                              << QByteArray::fromHex("0102030405060708");
    QTest::newRow("equal size, refused by 160") << true << 2 << 10 << QByteArray::fromHex("02a10002030405060708")
                                                << 0xA0 << 99998 << QByteArray::fromHex("0002030405060708");
    QTest::newRow("equal size, 12 bytes") << true << 2 << 10 << QByteArray::fromHex("02a1010203040506070809aa")
                                          << 0xA0 << 99997 << QByteArray(8, '\0');
    QTest::newRow("at least 4, 20 bytes") << false << 2 << 4 << QByteArray(20, '\x01').replace(1, 1, "\xa1")
                                          << 0xA0 << 99996 << QByteArray(18, '\x01');
    QTest::newRow("at least 4, 3 bytes") << false << 2 << 4 << QByteArray::fromHex("02a101") << 0xA0 << 99997
                                         << QByteArray();
    QTest::newRow("wrong opcode") << true << 2 << 3 << QByteArray::fromHex("02a301") << 0xA0 << 99995
                                  << QByteArray::fromHex("01");
    QTest::newRow("176 looks at the second byte") << true << 2 << 4 << QByteArray::fromHex("02a10100") << 176
                                                  << 99998 << QByteArray::fromHex("0100");
    QTest::newRow("176 second byte set") << true << 2 << 4 << QByteArray::fromHex("02a10001") << 176 << 99996
                                         << QByteArray::fromHex("0001");
    QByteArray r206(30, '\x01');
    r206[1] = char(0xA1);
    r206[28] = 0;
    QByteArray d206 = r206.mid(2);
    QTest::newRow("206 looks at byte 26") << true << 2 << 30 << r206 << 206 << 99998 << d206;
    QTest::newRow("other opcodes keep success") << true << 2 << 3 << QByteArray::fromHex("02a100") << 0xA2 << 99996
                                                << QByteArray::fromHex("00");
    QTest::newRow("no data at all") << false << 2 << 0 << QByteArray() << 0xA0 << 99995 << QByteArray();
}

void TestRcExchange::checkReply()
{
    QFETCH(bool, equal);
    QFETCH(int, h);
    QFETCH(int, n);
    QFETCH(QByteArray, reply);
    QFETCH(int, reqOpcode);
    QFETCH(int, expected);
    QFETCH(QByteArray, resData);
    TCtrlData frame;
    frame.FEqualCompare = equal;
    frame.FResHeaderSize = h;
    frame.FResDataSize = n;
    THostSimplePacket res;
    res.Reset();
    res.AddData(reply);
    QCOMPARE(TCtrlThread::CheckReply(frame, res, 0xA1, quint16(reqOpcode)), expected);
    QCOMPARE(frame.FResData.toHex(), resData.toHex());
}

void TestRcExchange::listSuccessOneConnection()
{
    TCtrlDataArray frames = makeFrames(3);
    TCtrlThread th(5, frames, 160, 161, 1, QStringLiteral("download"), nullptr, nullptr,
                   CentreLinkTest::CtrlEndpoint(*m_sim));
    QCOMPARE(int(m_typeLookups), 1); // once, at creation
    th.Start();
    QCOMPARE(th.WaitFor(), 99996);
    QVERIFY(th.FFinished());
    QCOMPARE(int(m_typeLookups), 1);
    for (const TCtrlData &f : frames) {
        QCOMPARE(f.FReturnVal, 99996);
        QCOMPARE(f.FResData.toHex(), QByteArray("01"));
        QCOMPARE(f.FTitle, QStringLiteral("download"));
    }
    const QList<CapturedPacket> cap = m_sim->captured();
    QCOMPARE(cap.size(), 4);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(cap[i].connection, cap[0].connection);
        QCOMPARE(int(cap[i].head.kind), 1);
        QCOMPARE(int(cap[i].head.opcode), 160);
        QCOMPARE(int(cap[i].head.target), 5);
        QCOMPARE(cap[i].head.dsize, 6u);
        // controller head: the type of the one lookup, then the opcode
        QCOMPARE(cap[i].data.toHex(), QByteArray("02a0") + QByteArray::number(i + 1, 16).rightJustified(2, '0') + "0b0c0d");
    }
    QVERIFY(cap[3].head.isClosing());
}

void TestRcExchange::listToTheCentreServer()
{
    TCtrlDataArray frames = makeFrames(1);
    frames[0].FReqDataSize = 0;
    TCtrlThread th(3, frames, 64, 65, 3, QStringLiteral("all"), nullptr, nullptr,
                   CentreLinkTest::CtrlEndpoint(*m_sim));
    th.Start();
    QCOMPARE(th.WaitFor(), 99996);
    const CapturedPacket first = m_sim->captured().first();
    QCOMPARE(int(first.head.kind), 3);
    QCOMPARE(int(first.head.target), 0);
    QCOMPARE(first.data.toHex(), QByteArray("0140")); // the head alone
}

void TestRcExchange::listResults_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("skip");
    QTest::addColumn<QString>("syncAt");
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<int>("rtn");

    const int U = -1; // untouched
    QTest::newRow("wrong opcode on frame 2") << int(FailMode::WrongOpcode) << 1 << QString()
                                             << QList<int>{99996, 99995, 99996} << 99996;
    QTest::newRow("short reply on frame 1") << int(FailMode::ShortData) << 0 << QString()
                                            << QList<int>{99997, 99996, 99996} << 99996;
    QTest::newRow("refused on frame 3") << int(FailMode::RefusalByte) << 2 << QString()
                                        << QList<int>{99996, 99996, 99998} << 99996;
    QTest::newRow("send fails on frame 2") << int(FailMode::ResetAfterReply) << 0 << QString()
                                           << QList<int>{99996, 99992, U} << 99996;
    QTest::newRow("no reply to frame 2") << int(FailMode::Stall) << 1 << QString()
                                         << QList<int>{99996, 99993, U} << 99996;
    QTest::newRow("closed mid reply 2") << int(FailMode::CloseMidReply) << 1 << QString()
                                        << QList<int>{99996, 99993, U} << 99996;
    QTest::newRow("oversized reply 1") << int(FailMode::OversizedData) << 0 << QString()
                                       << QList<int>{99993, U, U} << 99996;
    QTest::newRow("connection refused") << int(FailMode::Refuse) << 0 << QString() << QList<int>{U, U, U} << 99991;
    QTest::newRow("closing fails") << int(FailMode::ResetAfterReply) << 2 << QStringLiteral(",RESULT,")
                                   << QList<int>{99996, 99996, 99996} << 99994;
}

void TestRcExchange::listResults()
{
    QFETCH(int, mode);
    QFETCH(int, skip);
    QFETCH(QString, syncAt);
    QFETCH(QList<int>, results);
    QFETCH(int, rtn);

    RcSim *sim = m_sim.get();
    auto seen = std::make_shared<int>(0);
    SetExchangeLogObserver([sim, syncAt, seen](const QString &line) {
        if (!syncAt.isEmpty() && line.contains(syncAt) && ++*seen == 3) {
            sim->waitForResets(1, 3000);
            QThread::msleep(30);
        }
    });
    m_sim->setFailure(FailMode(mode), PortScope::Control, skip, 1);
    TCtrlDataArray frames = makeFrames(3);
    TCtrlThread th(5, frames, 160, 161, 1, QStringLiteral("frames"), nullptr, nullptr,
                   CentreLinkTest::CtrlEndpoint(*m_sim, 400));
    th.Start();
    QCOMPARE(th.WaitFor(), rtn);
    QCOMPARE(th.RtnValue(), rtn);
    QList<int> got;
    for (const TCtrlData &f : frames)
        got << f.FReturnVal;
    QCOMPARE(got, results);
}

void TestRcExchange::listLogLines()
{
    TfrmTH_TCDV_C_Log log;
    log.SetAdminMode(true);
    QCOMPARE(frmTH_TCDV_C_Log, &log);
    QWidget progress;
    OutcomeView outcome;
    TCtrlDataArray frames = makeFrames(2);
    frames[1].FTitle = QStringLiteral("second!@#$frame");
    TCtrlThread th(5, frames, 160, 161, 1, QStringLiteral("first"), &outcome, &progress,
                   CentreLinkTest::CtrlEndpoint(*m_sim));
    th.Start();
    QCOMPARE(th.WaitFor(), 99996);

    const QString text = log.Lines().join(QLatin1Char('\n'));
    const QString request = QStringLiteral(">> %1 (38 Byte)").arg(m_texts[14]);
    QVERIFY2(text.contains(request), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("[01] 001 :  43 4d 01 02 00 00 00 01 a0 a0 05 00 06 00 00 00")));
    QVERIFY(text.contains(QStringLiteral(">> %1 (32 Byte)").arg(m_texts[11])));
    QVERIFY(text.contains(QStringLiteral(">> %1 (3 Byte)").arg(m_texts[13])));
    QVERIFY(text.contains(QStringLiteral("[01] 001 :  02 a1 01")));
    QVERIFY(text.contains(QStringLiteral(">> first : %1").arg(m_texts[16])));
    QVERIFY(text.contains(QStringLiteral(">> second,frame : %1").arg(m_texts[16])));
    QCOMPARE(progress.windowTitle(), QStringLiteral("second,frame"));
    QCOMPARE(outcome.shown.size(), 2);
    QCOMPARE(outcome.shown[0], qMakePair(1, QStringLiteral(" LC 5 - first : %1").arg(m_texts[16])));
    QCOMPARE(outcome.shown[1].first, 1);
}

void TestRcExchange::listLogLinesOutsideAdminMode()
{
    TfrmTH_TCDV_C_Log log;
    log.SetAdminMode(false);
    OutcomeView outcome;
    m_sim->setFailure(FailMode::RefusalByte, PortScope::Control, 1, 1);
    TCtrlDataArray frames = makeFrames(2);
    TCtrlThread th(5, frames, 160, 161, 1, QStringLiteral("t"), &outcome, nullptr,
                   CentreLinkTest::CtrlEndpoint(*m_sim));
    th.Start();
    th.WaitFor();
    // Only the result lines, each after a blank line.
    QCOMPARE(log.Lines(), QStringList({QString(), QStringLiteral(">> t : %1").arg(m_texts[16]), QString(),
                                       QStringLiteral(">> t : %1").arg(m_texts[17])}));
    QCOMPARE(outcome.shown.last().first, 2);
}

void TestRcExchange::listTerminated()
{
    // Asked to stop while the first frame runs: later frames stay untouched.
    TCtrlDataArray frames = makeFrames(3);
    TCtrlThread th(5, frames, 160, 161, 1, QStringLiteral("t"), nullptr, nullptr,
                   CentreLinkTest::CtrlEndpoint(*m_sim));
    SetExchangeLogObserver([&th](const QString &line) {
        if (line.contains(QLatin1String(",RESULT,")))
            th.Terminate();
    });
    th.Start();
    QCOMPARE(th.WaitFor(), 99996);
    QCOMPARE(frames[0].FReturnVal, 99996);
    QCOMPARE(frames[1].FReturnVal, -1);
    QCOMPARE(frames[2].FReturnVal, -1);
    QVERIFY(m_sim->captured().last().head.isClosing());
}

QTEST_MAIN(TestRcExchange)
#include "tst_rc_exchange.moc"
