// The conflict matrix: output numbering per lamp type, the pairs stored (upper
// triangle, four-lamp "-" outputs left out), loading that skips stray rows, and
// a save that replaces every pair inside the caller's transaction.
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "intersection/ConflictMap.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_conflict_map";

} // namespace

class TestConflictMap : public QObject
{
    Q_OBJECT
    QSqlDatabase FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, false));
        FDb = TestDb::open(kDb, "conflict");
        QVERIFY(FDb.isOpen());
    }

    void numbering_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("lsu");
        QTest::addColumn<QString>("label");
        QTest::newRow("3L 0") << int(lct2010_3L) << 0 << "LSU #1" << "G1";
        QTest::newRow("3L 1") << int(lct2010_3L) << 1 << "LSU #1" << "G2";
        QTest::newRow("3L 31") << int(lct2010_3L) << 31 << "LSU #16" << "G2";
        QTest::newRow("4L 0") << int(lct2010_4L) << 0 << "LSU #1" << "PG";
        QTest::newRow("4L 5") << int(lct2010_4L) << 5 << "LSU #2" << "A";
        QTest::newRow("4L 30") << int(lct2010_4L) << 30 << "LSU #8" << "G";
        QTest::newRow("4L 31") << int(lct2010_4L) << 31 << "LSU #8" << "-";
    }
    void numbering()
    {
        QFETCH(int, type);
        QFETCH(int, n);
        QFETCH(QString, lsu);
        QFETCH(QString, label);
        QCOMPARE(Conflict::LsuLabel(TLcTypeEx(type), n), lsu);
        QCOMPARE(Conflict::OutputLabel(TLcTypeEx(type), n), label);
    }

    void saveReplacesTheMatrix_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("rows");
        QTest::newRow("three lamps") << int(lct2010_3L) << 496;
        QTest::newRow("four lamps") << int(lct2010_4L) << 276;
        QTest::newRow("2004: only the delete") << int(lct2004) << 0;
    }
    void saveReplacesTheMatrix()
    {
        QFETCH(int, type);
        QFETCH(int, rows);
        const auto t = TLcTypeEx(type);
        QVERIFY(QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTCONFLICT"));
        QVERIFY(QSqlQuery(FDb).exec("INSERT INTO SCS_M_INTCONFLICT VALUES (5, 0, 1, 1), (5, 2, 1, 1), (6, 0, 1, 1)"));
        Conflict::TMatrix m{};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                m[y][x] = 1;                     // also on and below the diagonal
        QCOMPARE(Conflict::Save(FDb, 5, t, m), rows);
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 5"),
                 QStringList({QString::number(rows)}));
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 5 AND INT_YNO >= INT_XNO"),
                 QStringList({"0"}));
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 5 "
                             "AND (INT_YNO % 4 = 3 OR INT_XNO % 4 = 3)"),   // 496 - 276 for three lamps
                 QStringList({t == lct2010_3L ? QString("220") : QString("0")}));
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 6"), QStringList({"1"}));
        // A matrix without any 1 still stores every pair, with 0.
        Conflict::TMatrix zero{};
        QCOMPARE(Conflict::Save(FDb, 5, t, zero), rows);
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 5 AND INT_CONFLICTYN = 0"),
                 QStringList({QString::number(rows)}));
    }

    void loadSkipsRowsWithoutAPlace()
    {
        QVERIFY(QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTCONFLICT"));
        QVERIFY(QSqlQuery(FDb).exec("INSERT INTO SCS_M_INTCONFLICT VALUES (7, 0, 1, 1), (7, 0, 32, 1), "
                                    "(7, 40, 41, 1), (7, 5, 2, 1), (7, 2, 3, 1), (7, 30, 31, 1)"));
        Conflict::TMatrix m;
        QVERIFY(Conflict::Load(FDb, 7, lct2010_4L, &m));
        int ones = 0;
        for (const auto &row : m)
            for (int v : row)
                ones += v;
        QCOMPARE(ones, 1);                      // only (0, 1): the rest have no place
        QCOMPARE(m[0][1], 1);
        QVERIFY(Conflict::Load(FDb, 7, lct2010_3L, &m));
        QCOMPARE(m[2][3] + m[30][31] + m[0][1], 3);
        QCOMPARE(m[5][2], 0);
        QVERIFY(Conflict::Load(FDb, 7, lct2004, &m));
        QCOMPARE(m[0][1], 0);
    }

    void aFailedSaveRollsBack()
    {
        QVERIFY(QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTCONFLICT"));
        QVERIFY(QSqlQuery(FDb).exec("INSERT INTO SCS_M_INTCONFLICT VALUES (8, 0, 1, 1)"));
        QVERIFY(QSqlQuery(FDb).exec("CREATE TRIGGER CONFLICT_FAIL BEFORE INSERT ON SCS_M_INTCONFLICT FOR EACH ROW "
                                    "BEGIN IF NEW.INT_YNO = 20 THEN SIGNAL SQLSTATE '45000' "
                                    "SET MESSAGE_TEXT = 'injected failure'; END IF; END"));
        Conflict::TMatrix m{};
        QVERIFY(FDb.transaction());
        bool thrown = false;
        try {
            Conflict::Save(FDb, 8, lct2010_3L, m);
        } catch (const std::exception &e) {
            thrown = QString::fromUtf8(e.what()).contains("injected failure");
        }
        QVERIFY(FDb.rollback());
        QVERIFY(QSqlQuery(FDb).exec("DROP TRIGGER CONFLICT_FAIL"));
        QVERIFY(thrown);
        QCOMPARE(Column(FDb, "SELECT CONCAT(INT_YNO, ',', INT_XNO, ',', INT_CONFLICTYN) FROM SCS_M_INTCONFLICT "
                             "WHERE INT_LCNO = 8"),
                 QStringList({"0,1,1"}));
    }
};

QTEST_MAIN(TestConflictMap)
#include "tst_conflict_map.moc"
