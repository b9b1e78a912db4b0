// Loading the live state set and its movements from the demo city's database.
#include <QSqlError>
#include <QtTest>

#include "centrelink/RC2MMIUnit.h"
#include "TestDb.h"

#include <QSqlQuery>

class TestRcLoad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void loadsEveryIntersection();
    void virtualIntersectionTakesItsMain();
    void movementsWithinRangesOnly();
    void reloadKeepsHeldRecords();
    void failedQueryChangesNothing();

private:
    void exec(const QString &sql)
    {
        QSqlQuery q(m_db);
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
    }
    QSqlDatabase m_db;
};

void TestRcLoad::initTestCase()
{
    QVERIFY(TestDb::create(QStringLiteral("centrelink_load"), true));
    m_db = TestDb::open(QStringLiteral("centrelink_load"));
    QVERIFY(m_db.isOpen());
}

void TestRcLoad::loadsEveryIntersection()
{
    TLC_INFO_SET set;
    QString error;
    QVERIFY2(set.LoadFromDb(m_db, &error), qPrintable(error));
    QCOMPARE(set.Count(), 41);
    const PSTT_LC_INFO one = set.GetLcInfo(1);
    QVERIFY(one);
    QCOMPARE(one->iSeq, 1);
    QCOMPARE(one->tcdv_id, 1);
    QCOMPARE(one->ints_name.str(), QStringLiteral("신사역사거리"));
    QCOMPARE(one->ints_id.str(), QStringLiteral("1220000001"));
    QCOMPARE(one->tcdv_type, 1);
    QCOMPARE(one->sa_id, 1);
    QCOMPARE(one->port_no, 7070);
    QCOMPARE(one->lc_type, 2);
    QVERIFY(one->is_use);
    QCOMPARE(one->cx.str(), QStringLiteral("37.516223"));
    QCOMPARE(one->cy.str(), QStringLiteral("127.0201324"));
    QCOMPARE(one->fep_no, 0);
    QCOMPARE(one->opr_stat, 0);
    QCOMPARE(one->opr_stat_prev, -1);
    QVERIFY(one->is_OnLine);
    QCOMPARE(set.GetLcInfo(3)->lc_type, 1);
    QCOMPARE(set.GetLcInfo(40)->iSeq, 40);
    QVERIFY(!set.GetLcInfo(42));
}

void TestRcLoad::virtualIntersectionTakesItsMain()
{
    TLC_INFO_SET set;
    QVERIFY(set.LoadFromDb(m_db));
    QCOMPARE(set.VirtualLCList().size(), 1);
    QCOMPARE(set.MainOf(41), 16);
    const PSTT_LC_INFO v = set.GetLcInfo(41);
    QVERIFY(!v->is_use);
    QCOMPARE(v->virtualLC_No, 16);

    // In the image the virtual intersection shows its main intersection's record.
    auto img = std::make_unique<TST_VESK_STATE>();
    std::memset(static_cast<void *>(img.get()), 0, sizeof(TST_VESK_STATE));
    img->lc_state[15].status = 5;
    img->lc_state[15].lcst[3] = 0x02;
    img->lc_state[40].status = 1;
    set.DecodeImage(*img);
    QCOMPARE(v->opr_stat, 5);
    QCOMPARE(v->flash, 1);
    QVERIFY(v->mntr_ok);
}

void TestRcLoad::movementsWithinRangesOnly()
{
    exec(QStringLiteral("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, "
                        "INT_HEAD_LAT, INT_HEAD_ANGLE, INT_END_ANGLE, INT_MINSPLIT, INT_MAXSPLIT, INT_YELLOW, LINK_ID) VALUES "
                        "(2, 8, 1, 1, 3, '1', '2', '3', 1, 2, 3, 'X'), "
                        "(2, 1, 9, 1, 3, '1', '2', '3', 1, 2, 3, 'X'), "
                        "(2, 1, 1, 3, 3, '1', '2', '3', 1, 2, 3, 'X'), "
                        "(2, 2, 1, 1, 19, '1', '2', '3', 1, 2, 3, 'X'), "
                        "(2, 3, 2, 2, 17, '37.5', '90', '270', 11, 44, 4, '1221000099')"));
    TLC_INFO_SET set;
    QVERIFY(set.LoadFromDb(m_db));
    QString error;
    QVERIFY2(set.LoadMovementsFromDb(m_db, 0, &error), qPrintable(error));

    const PSTT_LC_INFO one = set.GetLcInfo(1);
    const TMovement *m = one->Movement(1, 1, 2);
    QCOMPARE(m->mvmt_no, 2);
    QCOMPARE(m->min_split, 20);
    QCOMPARE(m->max_split, 80);
    QCOMPARE(m->yellow, 3);
    QCOMPARE(m->link_id.str(), QStringLiteral("1221000002"));
    QCOMPARE(int(m->phase_type), 0);
    QCOMPARE(one->Movement(1, 4, 2)->mvmt_no, 7);

    const PSTT_LC_INFO two = set.GetLcInfo(2);
    QCOMPARE(two->Movement(2, 1, 1)->mvmt_no, 0); // movement 19 skipped
    const TMovement *ped = two->Movement(3, 2, 2);
    QCOMPARE(ped->mvmt_no, 17);
    QCOMPARE(int(ped->phase_type), 1);
    QCOMPARE(ped->head_lat.str(), QStringLiteral("37.5"));
    QCOMPARE(ped->head_angle.str(), QStringLiteral("90"));
    QCOMPARE(ped->end_angle.str(), QStringLiteral("270"));
    QCOMPARE(ped->min_split, 11);

    // The virtual intersection's own rows.
    QCOMPARE(set.GetLcInfo(41)->Movement(1, 1, 1)->mvmt_no, set.GetLcInfo(16)->Movement(1, 1, 1)->mvmt_no);

    // One intersection: only its rows are read again, the others stay.
    exec(QStringLiteral("UPDATE SCS_M_INTPHASE SET INT_YELLOW = 5 WHERE INT_LCNO IN (1, 2)"));
    QVERIFY(set.LoadMovementsFromDb(m_db, 2));
    QCOMPARE(two->Movement(3, 2, 2)->yellow, 5);
    QCOMPARE(one->Movement(1, 1, 2)->yellow, 3);

    exec(QStringLiteral("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO = 2 AND INT_PLANCLSS IN (2, 3, 8)"));
    exec(QStringLiteral("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO = 2 AND (INT_PHASENO = 9 OR INT_RING = 3)"));
    exec(QStringLiteral("UPDATE SCS_M_INTPHASE SET INT_YELLOW = 3 WHERE INT_LCNO IN (1, 2)"));
}

void TestRcLoad::reloadKeepsHeldRecords()
{
    TLC_INFO_SET set;
    QVERIFY(set.LoadFromDb(m_db));
    const PSTT_LC_INFO held5 = set.GetLcInfo(5);
    const PSTT_LC_INFO held40 = set.GetLcInfo(40);
    held5->opr_stat = 7;
    const quint64 generation = set.Generation();

    exec(QStringLiteral("UPDATE SCS_M_INTLC SET INT_NAME = 'renamed' WHERE INT_LCNO = 5"));
    exec(QStringLiteral("DELETE FROM SCS_M_INTLC WHERE INT_LCNO = 40"));
    QVERIFY(set.LoadFromDb(m_db));
    QVERIFY(set.Generation() != generation);
    QCOMPARE(set.Count(), 40);
    // The record of a number that stays is the same object, reloaded.
    QCOMPARE(set.GetLcInfo(5).get(), held5.get());
    QCOMPARE(held5->ints_name.str(), QStringLiteral("renamed"));
    QCOMPARE(held5->opr_stat, 0);
    // A number that is gone leaves the set; its holder keeps a valid record.
    QVERIFY(!set.GetLcInfo(40));
    QCOMPARE(held40->tcdv_id, 40);
    QCOMPARE(held40->ints_name.str(), QStringLiteral("양재천길입구"));

    exec(QStringLiteral("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_NAME, INT_IMPORFLAG, INT_LCTYPE, "
                        "INT_LAMPTYPE, INT_PORT, MAIN_LCNO, INT_SANO, INT_SAINDEX, INT_REGFLAG) VALUES "
                        "(40, '1220000040', '양재천길입구', 0, 2, 1, 7070, 0, 4, 7, 1)"));
    exec(QStringLiteral("UPDATE SCS_M_INTLC SET INT_NAME = '청담사거리' WHERE INT_LCNO = 5"));
}

void TestRcLoad::failedQueryChangesNothing()
{
    TLC_INFO_SET set;
    QVERIFY(set.LoadFromDb(m_db));
    const PSTT_LC_INFO held = set.GetLcInfo(1);
    exec(QStringLiteral("RENAME TABLE SCS_M_NODE TO SCS_M_NODE_AWAY"));
    QString error;
    const bool ok = set.LoadFromDb(m_db, &error);
    exec(QStringLiteral("RENAME TABLE SCS_M_NODE_AWAY TO SCS_M_NODE"));
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());
    QCOMPARE(set.Count(), 41);
    QCOMPARE(set.GetLcInfo(1).get(), held.get());
    QCOMPARE(set.MainOf(41), 16);
}

QTEST_GUILESS_MAIN(TestRcLoad)
#include "tst_rc_load.moc"
