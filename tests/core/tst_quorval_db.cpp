// The MariaDB dialect builders and CopyTable executed against the fixture's MariaDB:
// the generated texts must be valid SQL that means what the Oracle texts mean.
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "core/Quorval.h"
#include "TestDb.h"

class TestQuorvalDb : public QObject
{
    Q_OBJECT

    QSqlDatabase db;

    QVariant scalar(const QString &sql, const QVariantMap &binds = {})
    {
        QSqlQuery q(db);
        if (!q.prepare(sql)) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return QVariant();
        }
        for (auto it = binds.begin(); it != binds.end(); ++it)
            q.bindValue(it.key(), it.value());
        if (!q.exec() || !q.next()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return QVariant();
        }
        return q.value(0);
    }

    bool exec(const QString &sql)
    {
        QSqlQuery q(db);
        if (!q.exec(sql)) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return false;
        }
        return true;
    }

    int count(const QString &sql) { return scalar(sql).toInt(); }

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create("tst_quorval", false));
        db = TestDb::open("tst_quorval");
        QVERIFY(db.isOpen());
        QVERIFY(exec("CREATE TABLE QV_LOG (ID INT NOT NULL, CREDATE DATETIME(6) NOT NULL, "
                     "NAME VARCHAR(20) NULL, PRIMARY KEY (ID))"));
        QVERIFY(exec("INSERT INTO QV_LOG VALUES (1, '2024-01-31 23:59:58.000000', 'a'), "
                     "(2, '2024-01-31 23:59:59.250000', NULL), (3, '2024-02-01 00:00:00', 'c'), "
                     "(4, '2024-02-01 10:30:00', 'd'), (5, '2024-02-02 00:00:00', 'e')"));
    }

    void dateRoundTrip_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("seconds") << "YYYYMMDDHH24MISS" << "20240131235959";
        QTest::newRow("fractions") << "YYYYMMDDHH24MISSFF" << "20240131235959123456";
        QTest::newRow("upper bound") << "YYYYMMDDHH24MISSFF" << "20241231235959999999";
        QTest::newRow("minutes") << "YYYYMMDDHH24MI" << "202402291305";
    }

    void dateRoundTrip()
    {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        const QString toDate = GetToDateStr(dtMariaDB, ":D", false, mask);
        const QString sql = "SELECT " + GetToCharStr(dtMariaDB, toDate, true, "", mask);
        QCOMPARE(scalar(sql, {{":D", text}}).toString(), text);
    }

    void dateTextMasks_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("grid time") << "YY-MM-DD, HH24:MI:SS" << "24-02-01, 10:30:00";
        QTest::newRow("hour") << "HH24" << "10";
        QTest::newRow("minute") << "MI" << "30";
        QTest::newRow("day and time") << "DD, HH24:MI" << "01, 10:30";
        QTest::newRow("month") << "MM" << "02";
        QTest::newRow("day") << "YYYYMMDD" << "20240201";
    }

    void dateTextMasks()
    {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        const QString sql = "SELECT " + GetToCharStr(dtMariaDB, "L.CREDATE", false, "", mask)
            + " L.ID FROM QV_LOG L WHERE L.ID = 4";
        QSqlQuery q(db);
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
        QVERIFY(q.next());
        QCOMPARE(q.value("CREDATE").toString(), text); // alias: the column's own name
    }

    void periodBoundsFormABetween()
    {
        const QString sql = "SELECT COUNT(*) FROM QV_LOG WHERE CREDATE BETWEEN"
            + GetToDateStr(dtMariaDB, ":FROM_DATE", true, "YYYYMMDDHH24MISS")
            + GetToDateStr(dtMariaDB, ":TO_DATE", false, "YYYYMMDDHH24MISS") + " AND ID > 0";
        QCOMPARE(scalar(sql, {{":FROM_DATE", "20240131235959"}, {":TO_DATE", "20240201235959"}}).toInt(), 3);
        // With fractions the bounds include the partial second.
        const QString ff = "SELECT COUNT(*) FROM QV_LOG WHERE CREDATE BETWEEN"
            + GetToDateStr(dtMariaDB, ":A", true, "YYYYMMDDHH24MISSFF")
            + GetToDateStr(dtMariaDB, ":B", false, "YYYYMMDDHH24MISSFF");
        QCOMPARE(scalar(ff, {{":A", "20240131235959000000"}, {":B", "20240131235959999999"}}).toInt(), 1);
    }

    void concatenationTreatsNullAsEmpty()
    {
        const QString sql = "SELECT " + GetConcat(dtMariaDB, {"'['", "NAME", "','", "ID", "']'"}, "LATLNG")
            + " FROM QV_LOG WHERE ID = :ID";
        QCOMPARE(scalar(sql, {{":ID", 1}}).toString(), QString("[a,1]"));
        QCOMPARE(scalar(sql, {{":ID", 2}}).toString(), QString("[,2]"));
        const QString key = "SELECT"
            + GetConcat(dtMariaDB,
                        {GetToCharStr(dtMariaDB, "CREDATE", true, "", "YYYYMMDDHH24MISS"), "ID"},
                        "KEYVALUE", true)
            + "ID FROM QV_LOG WHERE ID = 3";
        QCOMPARE(scalar(key).toString(), QString("202402010000003"));
    }

    void castAndRowLimit()
    {
        QCOMPARE(scalar("SELECT" + GetCastStr(dtMariaDB, "12.5", true, "", false, 20)).toString(),
                 QString("12.5"));
        QCOMPARE(scalar("SELECT" + GetCastStr(dtMariaDB, "'abcdef'", false, "X", false, 3)).toString(),
                 QString("abc"));
        // After a WHERE condition, and after the upper bound of a period.
        QCOMPARE(count("SELECT COUNT(*) FROM (SELECT ID FROM QV_LOG WHERE ID > 1"
                       + GetRowNumStr(dtMariaDB, 2, 0) + ") T"),
                 2);
        QCOMPARE(count("SELECT COUNT(*) FROM (SELECT ID FROM QV_LOG WHERE CREDATE BETWEEN"
                       + GetToDateStr(dtMariaDB, "'20240101000000'", true, "YYYYMMDDHH24MISS")
                       + GetToDateStr(dtMariaDB, "'20241231000000'", false, "YYYYMMDDHH24MISS")
                       + GetRowNumStr(dtMariaDB, 1, 0) + " ORDER BY CREDATE) T"),
                 1);
        QCOMPARE(count("SELECT COUNT(*) FROM (SELECT ID FROM QV_LOG" + GetRowNumStr(dtMariaDB, 4, rnfWhere)
                       + ") T"),
                 4);
        QCOMPARE(count("SELECT COUNT(*) FROM (SELECT ID FROM QV_LOG WHERE ID > 0"
                       + GetRowNumStr(dtMariaDB, 0, 0) + ") T"),
                 0);
    }

    // ------------------------------------------------------------------ copy

    void copyTableReplacesTheTargetsRows()
    {
        const QString ssl = GetMariaDBColumName(dtMariaDB, "SSL");
        QVERIFY(exec("CREATE TABLE QV_COPY (SA_NO INT NOT NULL, IDX INT NOT NULL, " + ssl
                     + " INT NULL, NOTE VARCHAR(10) NULL, PRIMARY KEY (SA_NO, IDX))"));
        QVERIFY(exec("INSERT INTO QV_COPY (SA_NO, IDX, " + ssl + ", NOTE) VALUES "
                     "(1, 1, 11, '가'), (1, 2, 12, NULL), (2, 1, 99, 'old'), (2, 5, 98, 'old'), (3, 1, 31, 'keep')"));

        QVERIFY(db.transaction());
        QSqlQuery q(db);
        CopyTable(q, dtMariaDB, "QV_COPY", "SA_NO", 1, 2);
        QVERIFY(db.commit());

        QSqlQuery r(db);
        QVERIFY(r.exec("SELECT SA_NO, IDX, `SSL`, NOTE FROM QV_COPY ORDER BY SA_NO, IDX"));
        QStringList rows;
        while (r.next())
            rows << QString("%1/%2/%3/%4").arg(r.value(0).toString(), r.value(1).toString(),
                                                r.value(2).toString(), r.value(3).toString());
        QCOMPARE(rows, QStringList({"1/1/11/가", "1/2/12/", "2/1/11/가", "2/2/12/", "3/1/31/keep"}));

        // A new target number gets the rows; the same source and target change nothing.
        CopyTable(q, dtMariaDB, "QV_COPY", "SA_NO", 3, 7);
        QCOMPARE(count("SELECT COUNT(*) FROM QV_COPY WHERE SA_NO = 7 AND `SSL` = 31"), 1);
        CopyTable(q, dtMariaDB, "QV_COPY", "SA_NO", 7, QString("7"));
        QCOMPARE(count("SELECT COUNT(*) FROM QV_COPY WHERE SA_NO = 7"), 1);
        // A source without rows empties the target.
        CopyTable(q, dtMariaDB, "QV_COPY", "SA_NO", 42, 7);
        QCOMPARE(count("SELECT COUNT(*) FROM QV_COPY WHERE SA_NO = 7"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM QV_COPY"), 5);
    }

    void demoOperatorsLogInWithTheDemoKey()
    {
        QVERIFY(TestDb::create("tst_quorval_demo", true));
        QSqlDatabase demo = TestDb::open("tst_quorval_demo");
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
        QSqlQuery q(demo);
        QVERIFY(q.exec("SELECT USER_ID, USER_PW FROM SCS_M_USER ORDER BY USER_ID"));
        QMap<QString, QString> pw;
        while (q.next())
            pw[q.value(0).toString()] = Decrypt(q.value(0).toString(), q.value(1).toString());
        ResetPasswordKey();
        QCOMPARE(pw.value("admin"), QString("admin1234"));
        QCOMPARE(pw.value("operator"), QString("oper1234"));
        QCOMPARE(pw.value("manager"), QString("mgr1234"));
        QCOMPARE(pw.value("police"), QString("police1234"));
    }

    void copyTableFailuresThrow()
    {
        QSqlQuery q(db);
        QVERIFY_THROWS_EXCEPTION(EUtilityError, CopyTable(q, dtMariaDB, "NO_SUCH_TABLE", "SA_NO", 1, 2));
        QVERIFY_THROWS_EXCEPTION(EUtilityError, CopyTable(q, dtMariaDB, "QV_COPY", "NO_COLUMN", 1, 2));
        QVERIFY_THROWS_EXCEPTION(EUtilityError,
                                 CopyTable(q, dtMariaDB, "QV_COPY; DROP TABLE QV_LOG", "SA_NO", 1, 2));
        QVERIFY_THROWS_EXCEPTION(EUtilityError, CopyTable(q, dtMariaDB, "QV_COPY", "SA_NO", QVariant(), 2));
        // A copy that breaks a constraint is reported, not swallowed.
        QVERIFY(exec("CREATE TABLE QV_UNIQ (K INT NOT NULL, V INT NOT NULL, UNIQUE KEY (V))"));
        QVERIFY(exec("INSERT INTO QV_UNIQ VALUES (1, 10)"));
        QVERIFY_THROWS_EXCEPTION(EUtilityError, CopyTable(q, dtMariaDB, "QV_UNIQ", "K", 1, 2));
        QCOMPARE(count("SELECT COUNT(*) FROM QV_LOG"), 5);
    }
};

QTEST_GUILESS_MAIN(TestQuorvalDb)
#include "tst_quorval_db.moc"
