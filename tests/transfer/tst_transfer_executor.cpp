// The transfer executor against the fixture database and the centre-server
// simulator in-process: filing of accepted replies, the outcome of multi-frame
// runs, the operator event of every run and the runs that send nothing.
#include <QApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>

#include "RcSim.h"
#include "RcSimEndpoint.h"
#include "TestConsoleFolder.h"
#include "TransferTestSupport.h"
#include "centrelink/ExchangeLogUnit.h"
#include "core/untDM.h"
#include "transfer/TransferExecutor.h"

using namespace TransferFixture;

namespace {
const QString kDb = QStringLiteral("transfer_executor");

QByteArray Counting(int length, int start)
{
    QByteArray a(length, 0);
    for (int i = 0; i < length; ++i)
        a[i] = char((start + i) & 0xFF);
    return a;
}

TCtrlData Frame(const QByteArray &req, int resSize, int header = 2)
{
    TCtrlData f;
    f.FReqData = req;
    f.FReqDataSize = int(req.size());
    f.FResHeaderSize = header;
    f.FResDataSize = resSize;
    f.FEqualCompare = true;
    return f;
}
} // namespace

class TransferExecutorTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void userUploadFilesAndLogsSuccess();
    void nilSenderOutsideAllRunDoesNothing();
    void allRunReportsIntoPanel();
    void failedFrame_data();
    void failedFrame();
    void unreachableServer();
    void exceptionSkipsEventButFinishes();

private:
    QStringList events();
    QTemporaryDir FDir;
    std::unique_ptr<rcsim::RcSim> FSim;
    TRcEndpoint FEndpoint;
    QSqlDatabase FDb;
};

void TransferExecutorTest::initTestCase()
{
    QVERIFY(TestConsole::LoadLanguage());
    QVERIFY(Create(kDb));
    FDb = TestDb::open(kDb, QStringLiteral("tst_transfer"));
    QVERIFY(FDb.isOpen());
    DM = TestConsole::OpenDataModule(FDir.path(), kDb);
    QVERIFY(DM);

    QString error;
    FSim = TestRcSim::Start(FEndpoint, 600, rcsim::Options(), &error);
    QVERIFY2(FSim, qPrintable(error));

    // Start-up code upload: the 2004 block after the two controller bytes.
    FSim->setHandler(162, [](const rcsim::Request &r) {
        rcsim::Reply reply = rcsim::RcSim::genericReply(r);
        reply.data = QByteArray::fromHex("00a3") + StartupGolden(Lc2004);
        reply.statusIndex = -1;
        return reply;
    });
    // VMS message upload: the controller's two bytes (its reply opcode second),
    // six leading bytes (kind 2, command 19), then message n.
    FSim->setHandler(84, [](const rcsim::Request &r) {
        rcsim::Reply reply = rcsim::RcSim::genericReply(r);
        const int n = r.data.isEmpty() ? 0 : quint8(r.data.at(r.data.size() - 1));
        reply.data = QByteArray::fromHex("0055 000000021300") + Counting(64, n);
        reply.statusIndex = 2;
        return reply;
    });
}

void TransferExecutorTest::cleanupTestCase()
{
    SetCtrlEndpointOverride(nullptr);
    if (FSim)
        FSim->stop();
    FSim.reset();
    delete DM;
    DM = nullptr;
}

void TransferExecutorTest::init()
{
    FSim->clearFailure();
    FSim->clearCapture();
    QSqlQuery(FDb).exec(QStringLiteral("DELETE FROM SCS_L_USERCONTROL"));
}

QStringList TransferExecutorTest::events()
{
    QStringList out;
    QSqlQuery q(FDb);
    q.exec(QStringLiteral("SELECT CTL_CODE, CTL_VALUE, CTL_KIND, CTL_ALL, CTL_NO, CTL_DESC FROM SCS_L_USERCONTROL "
                          "ORDER BY CTL_CREDATE"));
    while (q.next())
        out << QStringLiteral("%1|%2|%3|%4|%5|%6")
                   .arg(q.value(0).toInt()).arg(q.value(1).toInt()).arg(q.value(2).toInt())
                   .arg(q.value(3).toInt()).arg(q.value(4).toInt()).arg(q.value(5).toString());
    return out;
}

void TransferExecutorTest::userUploadFilesAndLogsSuccess()
{
    TTransferExecutor ex;
    ex.ShowProgress = false;
    QObject sender;
    QStringList order;
    TCtrlDataArray frames = {Frame({}, 10)};
    const bool ok = ex.RunTransfer(
        &sender, QStringLiteral("기동코드 업로드"), [&] { order << "view"; }, [&] { order << "data"; },
        [&] { order << "success"; }, [&] { order << "finish"; }, Lc2004, frames, 162, 163);
    QVERIFY(ok);
    QCOMPARE(order, (QStringList{"view", "data", "success", "finish"}));
    COMPARE_BLOCK(ex.Buffers.LStartUpCode_2004, StartupGolden(Lc2004));
    QCOMPARE(ex.Buffers.LStartUpCode_2010, QByteArray(25, 0));
    QVERIFY(!ex.FDoing);
    QCOMPARE(events(), QStringList{QStringLiteral("14|162|1|0|901|기동코드 업로드:성공")});
}

void TransferExecutorTest::nilSenderOutsideAllRunDoesNothing()
{
    TTransferExecutor ex;
    bool called = false;
    TCtrlDataArray frames = {Frame({}, 10)};
    QVERIFY(!ex.RunTransfer(nullptr, QStringLiteral("x"), [&] { called = true; }, {}, {}, [&] { called = true; },
                            Lc2004, frames, 162, 163));
    QVERIFY(!called);
    QTest::qWait(100);
    QCOMPARE(FSim->capturedCount(), 0);
    QCOMPARE(events(), QStringList());
}

void TransferExecutorTest::allRunReportsIntoPanel()
{
    TTransferExecutor ex;
    ex.FAllExecutorVisible = true;
    QStringList rows;
    QList<bool> marks;
    ex.AddAllRunRow = [&](const QString &c) { rows << c; };
    ex.MarkAllRunRow = [&](bool okRow) { marks << okRow; };
    TCtrlDataArray frames = {Frame({}, 10)};
    QVERIFY(ex.RunTransfer(nullptr, QStringLiteral("기동코드"), {}, {}, {}, {}, Lc2004, frames, 162, 163));
    QCOMPARE(rows, QStringList{QStringLiteral("기동코드")});
    QCOMPARE(marks, QList<bool>{true});
    QCOMPARE(events().size(), 1);
}

void TransferExecutorTest::failedFrame_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("code");
    QTest::newRow("wrong opcode first") << int(rcsim::FailMode::WrongOpcode) << 0 << 99995;
    QTest::newRow("short data middle") << int(rcsim::FailMode::ShortData) << 1 << 99997;
    QTest::newRow("oversized last") << int(rcsim::FailMode::OversizedData) << 2 << 99993;
}

void TransferExecutorTest::failedFrame()
{
    QFETCH(int, mode);
    QFETCH(int, skip);
    QFETCH(int, code);
    FSim->setFailure(rcsim::FailMode(mode), rcsim::PortScope::Control, skip, 1);
    TTransferExecutor ex;
    ex.FLCType = lct2010_4L;
    ex.ShowProgress = false;
    QObject sender;
    TCtrlDataArray frames;
    for (int n = 0; n < 3; ++n)
        frames << Frame(QByteArray::fromHex("000213") + QByteArray(1, char(n)), 72);
    QVERIFY(!ex.RunTransfer(&sender, QStringLiteral("VMS"), {}, {}, {}, {}, Lc4L, frames, 84, 85));
    for (int n = 0; n < 3; ++n) {
        QCOMPARE(frames[n].FReturnVal, n == skip ? code : 99996);
        // accepted frames are filed, the failed one is not
        QCOMPARE(ex.Buffers.LVMSMsgs.mid(64 * n, 64), n == skip ? QByteArray(64, 0) : Counting(64, n));
    }
    QCOMPARE(events(), QStringList{QStringLiteral("14|84|1|0|903|VMS:실패")});
}

void TransferExecutorTest::unreachableServer()
{
    FSim->setFailure(rcsim::FailMode::Refuse, rcsim::PortScope::Control);
    TTransferExecutor ex;
    ex.ShowProgress = false;
    QObject sender;
    TCtrlDataArray frames = {Frame({}, 10)};
    QVERIFY(!ex.RunTransfer(&sender, QStringLiteral("기동코드"), {}, {}, {}, {}, Lc2004, frames, 162, 163));
    QCOMPARE(ex.LastThreadResult(), 99991);
    QCOMPARE(ex.Buffers.LStartUpCode_2004, QByteArray(8, 0));
    QCOMPARE(events(), QStringList{QStringLiteral("14|162|1|0|901|기동코드:실패")});
}

void TransferExecutorTest::exceptionSkipsEventButFinishes()
{
    TTransferExecutor ex;
    ex.ShowProgress = false;
    QObject sender;
    bool finished = false;
    TCtrlDataArray frames = {Frame({}, 10)};
    bool thrown = false;
    try {
        ex.RunTransfer(&sender, QStringLiteral("x"), {}, [] { throw std::runtime_error("clear"); }, {},
                       [&] { finished = true; }, Lc2004, frames, 162, 163);
    } catch (const std::runtime_error &) {
        thrown = true;
    }
    QVERIFY(thrown);
    QVERIFY(finished);
    QVERIFY(!ex.FDoing);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(FSim->capturedCount(), 0);
    QCOMPARE(events(), QStringList());
}

QTEST_MAIN(TransferExecutorTest)
#include "tst_transfer_executor.moc"
