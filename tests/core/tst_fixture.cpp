// The test fixture's private MariaDB answers and takes the schema and the demo city.
#include <QSqlQuery>
#include <QTest>

#include "TestDb.h"

class TestFixture : public QObject
{
    Q_OBJECT
private slots:
    void schemaAndDemoLoad()
    {
        QVERIFY(TestDb::create("tst_fixture", true));
        QSqlDatabase db = TestDb::open("tst_fixture");
        QVERIFY(db.isOpen());
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT @@character_set_database"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("utf8mb4"));
    }
};

QTEST_GUILESS_MAIN(TestFixture)
#include "tst_fixture.moc"
