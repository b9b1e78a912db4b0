// The test fixture's private MariaDB answers and takes the schema and the demo city,
// and the demo city holds what the other tests and the demo rely on.
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "TestDb.h"

namespace {

const char *const kDb = "tst_fixture";

// First column of the first row of `sql` as an integer; fails the test on error.
qlonglong scalar(const QString &sql)
{
    QSqlQuery q(TestDb::open(kDb));
    if (!q.exec(sql) || !q.next()) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return -1;
    }
    return q.value(0).toLongLong();
}

} // namespace

class TestFixture : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
    }

    void schemaAndDemoLoad()
    {
        QSqlDatabase db = TestDb::open(kDb);
        QVERIFY(db.isOpen());
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT @@character_set_database"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("utf8mb4"));
    }

    // Counts the other tests and the demo rely on; [min, max] inclusive.
    void demoCity_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        const QString placed = "SELECT COUNT(*) FROM SCS_M_INTLC I JOIN SCS_M_NODE N ON N.NODE_ID = I.NODE_ID"
                               " WHERE COALESCE(I.MAIN_LCNO, 0) = 0 AND N.NODE_LAT IS NOT NULL"
                               " AND N.NODE_LNG IS NOT NULL AND ";
        QTest::newRow("2004 controllers with a position") << placed + "I.INT_LCTYPE = 1" << 1 << 1024;
        QTest::newRow("2010 three lamps with a position")
            << placed + "I.INT_LCTYPE = 2 AND I.INT_LAMPTYPE = 0" << 1 << 1024;
        QTest::newRow("2010 four lamps with a position")
            << placed + "I.INT_LCTYPE = 2 AND I.INT_LAMPTYPE = 1" << 1 << 1024;
        QTest::newRow("about forty real intersections")
            << "SELECT COUNT(*) FROM SCS_M_INTLC WHERE COALESCE(MAIN_LCNO, 0) = 0" << 35 << 45;
        QTest::newRow("intersection numbers in range")
            << "SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_LCNO NOT BETWEEN 1 AND 1024" << 0 << 0;
        QTest::newRow("four groups") << "SELECT COUNT(*) FROM SCS_M_SAOPERATE" << 4 << 4;
        QTest::newRow("every group has members")
            << "SELECT COUNT(*) FROM SCS_M_SAOPERATE S WHERE NOT EXISTS"
               " (SELECT 1 FROM SCS_M_INTLC I WHERE I.INT_SANO = S.SA_NO)" << 0 << 0;
        QTest::newRow("every intersection in a group")
            << "SELECT COUNT(*) FROM SCS_M_INTLC I LEFT JOIN SCS_M_SAOPERATE S"
               " ON S.SA_NO = I.INT_SANO WHERE S.SA_NO IS NULL" << 0 << 0;
        QTest::newRow("one virtual intersection")
            << "SELECT COUNT(*) FROM SCS_M_INTLC WHERE MAIN_LCNO >= 1" << 1 << 1;
        QTest::newRow("virtual intersection names a real main")
            << "SELECT COUNT(*) FROM SCS_M_INTLC V JOIN SCS_M_INTLC M ON M.INT_LCNO = V.MAIN_LCNO"
               " WHERE V.MAIN_LCNO >= 1 AND COALESCE(M.MAIN_LCNO, 0) = 0 AND V.INT_REGFLAG = 0"
               " AND V.INT_LCTYPE = M.INT_LCTYPE AND V.INT_LAMPTYPE = M.INT_LAMPTYPE" << 1 << 1;
        QTest::newRow("virtual phases mirror the main's")
            << "SELECT COUNT(*) FROM SCS_M_INTLC V JOIN SCS_M_INTPHASE M ON M.INT_LCNO = V.MAIN_LCNO"
               " LEFT JOIN SCS_M_INTPHASE P ON P.INT_LCNO = V.INT_LCNO AND P.INT_PLANCLSS = M.INT_PLANCLSS"
               " AND P.INT_PHASENO = M.INT_PHASENO AND P.INT_RING = M.INT_RING"
               " AND P.INT_FLOWNUMBER = M.INT_FLOWNUMBER WHERE V.MAIN_LCNO >= 1 AND P.INT_LCNO IS NULL"
            << 0 << 0;
        QTest::newRow("every real intersection has phases")
            << "SELECT COUNT(*) FROM SCS_M_INTLC I WHERE NOT EXISTS (SELECT 1 FROM SCS_M_INTPHASE P"
               " WHERE P.INT_LCNO = I.INT_LCNO AND P.INT_PLANCLSS = 1)" << 0 << 0;
        QTest::newRow("movement numbers 1 to 18")
            << "SELECT COUNT(*) FROM SCS_M_INTPHASE WHERE INT_FLOWNUMBER NOT BETWEEN 1 AND 18" << 0 << 0;
        QTest::newRow("links with vertices")
            << "SELECT COUNT(*) FROM SCS_M_LINK L WHERE (SELECT COUNT(*) FROM SCS_M_LINK_DETAIL D"
               " WHERE D.LINK_ID = L.LINK_ID) < 2" << 0 << 0;
        QTest::newRow("links join nodes")
            << "SELECT COUNT(*) FROM SCS_M_LINK L LEFT JOIN SCS_M_NODE F ON F.NODE_ID = L.NODE_FID"
               " LEFT JOIN SCS_M_NODE T ON T.NODE_ID = L.NODE_TID WHERE F.NODE_ID IS NULL OR T.NODE_ID IS NULL"
            << 0 << 0;
        // GEOM keeps latitude first and the vertices in NUM order.
        QTest::newRow("link geometry starts at vertex 1, latitude first")
            << "SELECT COUNT(*) FROM SCS_M_LINK L JOIN SCS_M_LINK_DETAIL D ON D.LINK_ID = L.LINK_ID"
               " AND D.NUM = 1 WHERE L.GEOM IS NULL OR ABS(ST_X(ST_StartPoint(L.GEOM)) - D.POINT_LAT) > 1e-9"
               " OR ABS(ST_Y(ST_StartPoint(L.GEOM)) - D.POINT_LNG) > 1e-9" << 0 << 0;
        QTest::newRow("registered detectors")
            << "SELECT COUNT(*) FROM SCS_M_TFDTOPERATE WHERE TFDT_REGFLAG = 1" << 1 << 100000;
        QTest::newRow("unregistered detector") << "SELECT COUNT(*) FROM SCS_M_TFDTOPERATE WHERE TFDT_REGFLAG = 0"
                                               << 1 << 100000;
        QTest::newRow("firmware of 2010 controllers registered")
            << "SELECT COUNT(*) FROM SCS_M_INTLC I LEFT JOIN SCS_M_FIRMWARE F ON F.FW_ID = I.MCU_FW_ID"
               " WHERE I.INT_LCTYPE = 2 AND COALESCE(I.MAIN_LCNO, 0) = 0 AND F.FW_ID IS NULL" << 0 << 0;
        QTest::newRow("firmware size and CRC match the image")
            << "SELECT COUNT(*) FROM SCS_M_FIRMWARE WHERE FW_SIZE <> LENGTH(FW_BINARY)"
               " OR FW_CRC32 <> LPAD(HEX(CRC32(FW_BINARY)), 8, '0')" << 0 << 0;
        QTest::newRow("node and link layers") << "SELECT COUNT(*) FROM SCS_M_LAYER WHERE LAYER_NAME IN ('NODE', 'LINK')"
                                              << 2 << 2;
        // The console writes code 41 with the special-command items and 161 to 174.
        QTest::newRow("event values of code 41")
            << "SELECT COUNT(*) FROM SCS_M_EVENT_VALUE WHERE EVENT_CODE = 41 AND (EVENT_VALUE BETWEEN 161 AND 174"
               " OR EVENT_VALUE IN (1, 2, 4, 8, 16, 32, 64, 128)) AND EVENT_VALUE_DESC <> ''" << 22 << 22;
        QTest::newRow("event codes the console writes")
            << "SELECT COUNT(*) FROM SCS_M_EVENT_CODE WHERE EVENT_CODE IN (13, 14, 41, 64, 67, 68, 160)" << 7 << 7;
        QTest::newRow("login and logout values")
            << "SELECT COUNT(*) FROM SCS_M_EVENT_VALUE WHERE EVENT_CODE = 160 AND EVENT_VALUE IN (0, 1)" << 2 << 2;
    }

    void demoCity()
    {
        QFETCH(QString, sql);
        QFETCH(int, min);
        QFETCH(int, max);
        const qlonglong n = scalar(sql);
        QVERIFY2(n >= min && n <= max, qPrintable(QString("%1 rows").arg(n)));
    }

    // One operator of each grade, with a password date recent enough and a validity
    // long enough that the login shows no expiry warning.
    void operators_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<int>("grade");
        QTest::newRow("administrator") << "admin" << 1;
        QTest::newRow("operator") << "operator" << 2;
        QTest::newRow("manager") << "manager" << 3;
        QTest::newRow("police") << "police" << 4;
    }

    void operators()
    {
        QFETCH(QString, userId);
        QFETCH(int, grade);
        QSqlQuery q(TestDb::open(kDb));
        q.prepare("SELECT AUT_GRADE, USER_CHECK, USER_UPDATE, CURRENT_TIMESTAMP(6) FROM SCS_M_USER"
                  " WHERE USER_ID = :USER_ID");
        q.bindValue(":USER_ID", userId);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), grade);
        QVERIFY(q.value(1).toInt() >= 1);
        const QDateTime changed = q.value(2).toDateTime();
        const QDateTime now = q.value(3).toDateTime();
        QVERIFY(changed.isValid());
        QVERIFY(changed.addMonths(q.value(1).toInt()) > now);
    }

    // The schema may be run again on a loaded database: it changes nothing.
    void schemaRunsAgain()
    {
        const QString counts = "SELECT (SELECT COUNT(*) FROM SCS_M_EVENT_VALUE) * 10000"
                               " + (SELECT COUNT(*) FROM SCS_M_INTLC)";
        const qlonglong before = scalar(counts);
        QString err;
        QVERIFY2(TestDb::runScriptFile(kDb, TestDb::sourceDir() + "/db/mariadb/schema.sql", &err),
                 qPrintable(err));
        QCOMPARE(scalar(counts), before);
    }
};

QTEST_GUILESS_MAIN(TestFixture)
#include "tst_fixture.moc"
