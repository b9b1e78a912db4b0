// The readers of the centre tables against the fixture group: each block holds
// exactly the golden bytes; rows outside a block change nothing.
#include <QSqlDatabase>
#include <QTest>

#include "TransferTestSupport.h"
#include "transfer/TransferReaders.h"

using namespace TransferFixture;

class TransferReadersTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void controllerTypes();
    void blocks_data();
    void blocks();
    void outputMapCorrections();
    void failedStatementLeavesZeros();

private:
    QSqlDatabase m_db;
};

void TransferReadersTest::initTestCase()
{
    QVERIFY(Create(QStringLiteral("transfer_readers")));
    m_db = TestDb::open(QStringLiteral("transfer_readers"));
    QVERIFY(m_db.isOpen());
}

void TransferReadersTest::controllerTypes()
{
    QCOMPARE(ReadLcTypeEx(m_db, Lc2004), lct2004);
    QCOMPARE(ReadLcTypeEx(m_db, Lc3L), lct2010_3L);
    QCOMPARE(ReadLcTypeEx(m_db, Lc4L), lct2010_4L);
    QCOMPARE(ReadLcTypeEx(m_db, 4242), lct2004);
    QCOMPARE(ReadLcSaNo(m_db, Lc3L), Group);
}

void TransferReadersTest::blocks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("lc");
    const char *kinds[] = {"startup", "signalmap", "flashmap", "detector", "dayplan", "weekplan",
                           "holiday", "reservation", "outputmap", "conflict", "vmsmsgs", "vmsschds",
                           "cartimer", "spillback"};
    for (const char *k : kinds)
        for (int lc : {Lc2004, Lc3L, Lc4L})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(k)).arg(lc)))
                << QString::fromLatin1(k) << lc;
}

void TransferReadersTest::blocks()
{
    QFETCH(QString, kind);
    QFETCH(int, lc);
    const TLcTypeEx type = ReadLcTypeEx(m_db, lc);
    TReaderError err;
    QByteArray actual, expected;
    if (kind == QLatin1String("startup")) {
        actual = LoadHStartupCode(m_db, lc, type, &err);
        expected = StartupGolden(lc);
    } else if (kind == QLatin1String("signalmap")) {
        actual = LoadHSignalMap(m_db, lc, type, &err);
        expected = SignalMapGolden(lc);
    } else if (kind == QLatin1String("flashmap")) {
        actual = LoadHFlashMap(m_db, lc, type, &err);
        expected = FlashMapGolden(lc);
    } else if (kind == QLatin1String("detector")) {
        actual = LoadHDetector(m_db, lc, &err);
        expected = DetectorGolden(lc);
    } else if (kind == QLatin1String("dayplan")) {
        actual = LoadHDayPlan(m_db, lc, Group, &err);
        // the time plans belong to the 2004 controller alone
        expected = lc == Lc2004 ? DayPlanGolden() : QByteArray(3220, 0);
    } else if (kind == QLatin1String("weekplan")) {
        actual = LoadHWeekPlan(m_db, lc, &err);
        expected = WeekPlanGolden();
    } else if (kind == QLatin1String("holiday")) {
        actual = LoadHHoliDayPlan(m_db, lc, &err);
        expected = HoliDayPlanGolden();
    } else if (kind == QLatin1String("reservation")) {
        actual = LoadHFunctionTable(m_db, lc, &err);
        expected = FunctionTableGolden(lc);
    } else if (kind == QLatin1String("outputmap")) {
        actual = LoadHInOutPed(m_db, lc, nullptr, &err);
        expected = InOutPedGolden(lc);
    } else if (kind == QLatin1String("conflict")) {
        actual = LoadHConflictMap(m_db, lc, &err);
        expected = ConflictMapGolden(lc);
    } else if (kind == QLatin1String("vmsmsgs")) {
        actual = LoadHVMSMsgs(m_db, lc, &err);
        expected = VMSMsgsGolden(lc);
    } else if (kind == QLatin1String("vmsschds")) {
        actual = LoadHVMSSchds(m_db, lc, &err);
        expected = VMSSchdsGolden(lc);
    } else if (kind == QLatin1String("cartimer")) {
        actual = LoadHCarTimer(m_db, lc, &err);
        expected = CarTimerGolden(lc);
    } else if (kind == QLatin1String("spillback")) {
        actual = LoadHSpillBacks(m_db, lc, &err);
        expected = SpillBacksGolden(lc);
    }
    QVERIFY2(err.Text.isEmpty(), qPrintable(err.Text));
    COMPARE_BLOCK(actual, expected);
}

void TransferReadersTest::outputMapCorrections()
{
    int correct[10][6];
    LoadHInOutPed(m_db, Lc3L, correct);
    for (int d = 0; d < 10; ++d)
        for (int o = 0; o < 6; ++o)
            QCOMPARE(correct[d][o], (d == 0 && o == 1) ? 1 : 0); // direction 1, left turn: LSU 1 sort 0
}

void TransferReadersTest::failedStatementLeavesZeros()
{
    QSqlDatabase closed = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), QStringLiteral("closed"));
    TReaderError err;
    QCOMPARE(LoadHDetector(closed, Lc2004, &err), QByteArray(448, 0));
    QVERIFY(!err.Text.isEmpty());
    QCOMPARE(LoadHStartupCode(closed, Lc2004, lct2004), QByteArray(8, 0));
}

QTEST_GUILESS_MAIN(TransferReadersTest)
#include "tst_transfer_readers.moc"
