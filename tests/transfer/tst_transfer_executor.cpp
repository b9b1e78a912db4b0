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
#include "TransferRunSupport.h"
#include "centrelink/ExchangeLogUnit.h"
#include "core/untDM.h"
#include "transfer/TransferExecutor.h"
#include "transfer/TransferGridLayouts.h"

using namespace TransferFixture;
using TransferRun::Counting;
using TransferRun::Frame;

namespace {
const QString kDb = QStringLiteral("transfer_executor");
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
    void allRunRowCaption_data();
    void allRunRowCaption();
    void allDownloadNamesDayPlanRow();
    void conflictLayout_data();
    void conflictLayout();

private:
    QStringList events();
    QTemporaryDir FDir;
    std::unique_ptr<rcsim::RcSim> FSim;
    TRcEndpoint FEndpoint;
    QSqlDatabase FDb;
};

void TransferExecutorTest::initTestCase()
{
    QVERIFY(TransferRun::Open(kDb, QStringLiteral("tst_transfer"), FDir.path(), &FDb));

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
    TransferRun::Close(FSim);
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
    TCtrlDataArray frames = {Frame({}, 2, 10)};
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
    TCtrlDataArray frames = {Frame({}, 2, 10)};
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
    TCtrlDataArray frames = {Frame({}, 2, 10)};
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
        frames << Frame(QByteArray::fromHex("000213") + QByteArray(1, char(n)), 2, 72);
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
    TCtrlDataArray frames = {Frame({}, 2, 10)};
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
    TCtrlDataArray frames = {Frame({}, 2, 10)};
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

void TransferExecutorTest::allRunRowCaption_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("plan");
    QTest::addColumn<QString>("expected");
    const QString all = QStringLiteral("전체 다운로드");
    const QString dayPlan = QStringLiteral("일계획 다운로드");
    QTest::newRow("day plan in the all-download") << all << dayPlan << 3 << QStringLiteral("일계획 다운로드(일계획: #03)");
    QTest::newRow("plan 10") << all << dayPlan << 10 << QStringLiteral("일계획 다운로드(일계획: #10)");
    QTest::newRow("other kind in the all-download") << all << QStringLiteral("주간계획 다운로드") << 3
                                                    << QStringLiteral("주간계획 다운로드");
    QTest::newRow("day plan in the all-upload") << QStringLiteral("전체 업로드") << dayPlan << 3 << dayPlan;
}

void TransferExecutorTest::allRunRowCaption()
{
    QFETCH(QString, panel);
    QFETCH(QString, caption);
    QFETCH(int, plan);
    QFETCH(QString, expected);
    QCOMPARE(TTransferExecutor::AllRunRowCaption(panel, QStringLiteral("전체 다운로드"), caption, plan), expected);
}

void TransferExecutorTest::allDownloadNamesDayPlanRow()
{
    TTransferExecutor ex;
    ex.FAllExecutorVisible = true;
    ex.AllRunPanelText = ex.AllDownloadCaption = QStringLiteral("전체 다운로드");
    ex.DayPlanNo = 7;
    QStringList rows;
    ex.AddAllRunRow = [&](const QString &c) { rows << c; };
    TCtrlDataArray frames = {Frame({}, 2, 10)};
    ex.RunTransfer(nullptr, QStringLiteral("일계획 다운로드"), {}, {}, {}, {}, Lc2004, frames, 162, 163);
    QCOMPARE(rows, QStringList{QStringLiteral("일계획 다운로드(일계획: #07)")});
    // the event keeps the run's own caption
    QCOMPARE(events().size(), 1);
    QVERIFY(events().at(0).endsWith(QStringLiteral("|일계획 다운로드:성공")));
}

void TransferExecutorTest::conflictLayout_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("kind");
    QTest::newRow("3L row 0") << int(lct2010_3L) << 0 << QStringLiteral("LSU #1") << QStringLiteral("G1");
    QTest::newRow("3L row 1") << int(lct2010_3L) << 1 << QStringLiteral("LSU #1") << QStringLiteral("G2");
    QTest::newRow("3L row 2") << int(lct2010_3L) << 2 << QStringLiteral("LSU #2") << QStringLiteral("G1");
    QTest::newRow("3L row 31") << int(lct2010_3L) << 31 << QStringLiteral("LSU #16") << QStringLiteral("G2");
    QTest::newRow("4L row 0") << int(lct2010_4L) << 0 << QStringLiteral("LSU #1") << QStringLiteral("PG");
    QTest::newRow("4L row 1") << int(lct2010_4L) << 1 << QStringLiteral("LSU #1") << QStringLiteral("A");
    QTest::newRow("4L row 2") << int(lct2010_4L) << 2 << QStringLiteral("LSU #1") << QStringLiteral("G");
    QTest::newRow("4L row 3") << int(lct2010_4L) << 3 << QStringLiteral("LSU #1") << QStringLiteral("-");
    QTest::newRow("4L row 4") << int(lct2010_4L) << 4 << QStringLiteral("LSU #2") << QStringLiteral("PG");
    QTest::newRow("4L row 31") << int(lct2010_4L) << 31 << QStringLiteral("LSU #8") << QStringLiteral("-");
}

void TransferExecutorTest::conflictLayout()
{
    QFETCH(int, type);
    QFETCH(int, row);
    QFETCH(QString, item);
    QFETCH(QString, kind);
    const QList<TConflictRow> rows = ConflictLayoutRows(TLcTypeEx(type));
    QCOMPARE(rows.size(), 32);
    QCOMPARE(rows.at(row).MainLabel, QStringLiteral("기준출력"));
    QCOMPARE(rows.at(row).SubLabel, item);
    QCOMPARE(rows.at(row).LsuNo, kind);
    // no conflict map for a 2004 controller or none
    QVERIFY(ConflictLayoutRows(lct2004).isEmpty());
    QVERIFY(ConflictLayoutRows(lctNone).isEmpty());
    QCOMPARE(ConflictBandCaptions(lct2010_3L), (QStringList{"G1", "G2", "G1", "G2", "G1", "G2", "G1", "G2"}));
    QCOMPARE(ConflictBandCaptions(lct2010_4L), (QStringList{"PG", "A", "G", "-", "PG", "A", "G", "-"}));
}

QTEST_MAIN(TransferExecutorTest)
#include "tst_transfer_executor.moc"
