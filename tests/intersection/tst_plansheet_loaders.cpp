// What the operation plan sheet shows, read without its window from the fixture
// database (intersection 1: 2010 four lamps, 3: 2004; both in group 1).
#include <QTest>

#include "EditorFixture.h"
#include "PlanSheetFixture.h"
#include "core/siLang.h"
#include "intersection/TcdvConf.h"

using namespace TcdvConf;

Q_DECLARE_METATYPE(TLcTypeEx)

class TstPlanSheetLoaders : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb db;

    static QSqlDatabase Con() { return DM->Con(); }

private slots:
    void initTestCase()
    {
        QVERIFY(db.Open("plansheet_loaders"));
        QString error;
        QVERIFY2(db.Run(PlanSheetFixture::Sql(), &error), qPrintable(error));
    }
    void init() { TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean); }

    void planTabs_data()
    {
        QTest::addColumn<int>("lcNo");
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<int>>("plans");
        QTest::newRow("2004 general") << 3 << lct2004 << 0 << QList<int>{1, 2, 3};
        QTest::newRow("2004 time-difference") << 3 << lct2004 << 1 << QList<int>{6, 7};
        QTest::newRow("2010 general") << 1 << lct2010_4L << 0 << QList<int>{1, 2, 3};
        QTest::newRow("2010 first time-difference map") << 1 << lct2010_4L << 1 << QList<int>{6};
        QTest::newRow("2010 second time-difference map") << 1 << lct2010_4L << 2 << QList<int>{7};
        QTest::newRow("2010 third time-difference map") << 1 << lct2010_4L << 3 << QList<int>{};
        QTest::newRow("no type: every plan") << 1 << lctNone << 4 << QList<int>{1, 2, 3, 6, 7};
        QTest::newRow("group without plans") << 21 << lct2010_4L << 0 << QList<int>{};
        QTest::newRow("no intersection") << 999 << lct2004 << 0 << QList<int>{};
    }
    void planTabs()
    {
        QFETCH(int, lcNo);
        QFETCH(TLcTypeEx, type);
        QFETCH(int, index);
        QFETCH(QList<int>, plans);
        QList<int> got{99};
        QString error;
        QVERIFY2(LoadPlanTabs(Con(), lcNo, type, index, &got, &error), qPrintable(error));
        QCOMPARE(got, plans);
    }

    void planClassTexts()
    {
        QCOMPARE(PlanClassTexts(lct2004), (QStringList{"일반제", "시차제"}));
        QCOMPARE(PlanClassTexts(lct2010_3L),
                 (QStringList{"일반제", "시차제#1", "시차제#2", "시차제#3", "시차제#4", "시차제#5"}));
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        QCOMPARE(PlanClassTexts(lct2010_4L),
                 (QStringList{"GMAP", "EMAP #1", "EMAP #2", "EMAP #3", "EMAP #4", "EMAP #5"}));
        QCOMPARE(PlanClassTexts(lct2004), (QStringList{"GMAP", "EMAP"}));
    }

    // Rows with a cycle index 0 are hidden; a missing cycle row leaves the length empty.
    void dayPlans_data()
    {
        QTest::addColumn<int>("plan");
        QTest::addColumn<QStringList>("rows"); // index start cycle length offset split mode
        QTest::newRow("plan 1") << 1 << QStringList{"1 00:00 1 120 0 1 TOD", "2 07:30 2 140 10 2 TRC"};
        QTest::newRow("plan 2") << 2 << QStringList{"1 06:05 1 100 5 1 TOD", "2 18:00 5 - 0 3 TOD"};
        QTest::newRow("plan 3") << 3 << QStringList{"1 00:00 1 90 0 1 TOD"};
        QTest::newRow("plan 6") << 6 << QStringList{"1 05:00 1 110 0 1 TOD"};
        QTest::newRow("plan 7") << 7 << QStringList{"1 09:15 2 130 20 4 TRC"};
        QTest::newRow("plan 4 has none") << 4 << QStringList{};
    }
    void dayPlans()
    {
        QFETCH(int, plan);
        QFETCH(QStringList, rows);
        for (int lcNo : {1, 3}) {
            QList<TDayRow> got;
            QString error;
            QVERIFY2(LoadDayPlan(Con(), lcNo, plan, &got, &error), qPrintable(error));
            QStringList texts;
            for (const TDayRow &r : got)
                texts << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                             .arg(r.Index)
                             .arg(r.Start)
                             .arg(r.Cycle)
                             .arg(r.CycleLength.isNull() ? "-" : r.CycleLength.toString(), r.Offset.toString(),
                                  r.Split.toString(), r.TodAuto);
            QCOMPARE(texts, rows);
        }
    }

    // Time plans whose cycle row is missing are hidden; the totals sum each ring.
    void todPatterns_data()
    {
        QTest::addColumn<int>("lcNo");
        QTest::addColumn<int>("plan");
        QTest::addColumn<QStringList>("rows"); // index cycle offset A1 B1 totA totB
        QTest::newRow("2010 plan 1") << 1 << 1 << QStringList{"1 120 0 30 40 120 120", "2 140 15 40 40 140 140"};
        QTest::newRow("2010 plan 6") << 1 << 6 << QStringList{"1 110 5 55 50 110 110"};
        QTest::newRow("2010 plan 7 without rows") << 1 << 7 << QStringList{};
        QTest::newRow("2004 plan 1") << 3 << 1 << QStringList{"1 120 0 60 60 120 120"};
    }
    void todPatterns()
    {
        QFETCH(int, lcNo);
        QFETCH(int, plan);
        QFETCH(QStringList, rows);
        QList<TTodRow> got;
        QString error;
        QVERIFY2(LoadTODPattern(Con(), lcNo, plan, &got, &error), qPrintable(error));
        QStringList texts;
        for (const TTodRow &r : got)
            texts << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                         .arg(r.Index)
                         .arg(r.Cycle.toString(), r.Offset.toString(), r.A[0].toString(), r.B[0].toString())
                         .arg(r.TotA)
                         .arg(r.TotB);
        QCOMPARE(texts, rows);
    }

    void cycleRows_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("row");
        const int table[][2] = {{0, 0}, {1, 1}, {2, 2}, {4, 2}, {5, 3}, {7, 3}, {8, 4}, {10, 4},
                                {11, 5}, {13, 5}, {14, 6}, {16, 6}, {17, 0}};
        for (const auto &t : table)
            QTest::newRow(qPrintable(QString::number(t[0]))) << t[0] << t[1];
    }
    void cycleRows()
    {
        QFETCH(int, index);
        QFETCH(int, row);
        QCOMPARE(CycleRowOfTimePlan(index), row);
    }

    void weekPlan()
    {
        TWeekRow w;
        QString error;
        QVERIFY2(LoadWeekPlan(Con(), 3, &w, &error), qPrintable(error));
        QVERIFY(w.Exists);
        QStringList days;
        for (const QVariant &d : w.Days)
            days << d.toString();
        QCOMPARE(days, (QStringList{"2", "1", "1", "1", "1", "1", "3"}));
        QVERIFY(LoadWeekPlan(Con(), 21, &w, &error));
        QVERIFY(!w.Exists);
    }

    void specialDays()
    {
        QList<TSpecialRow> rows;
        QString error;
        QVERIFY2(LoadSpecialDayPlan(Con(), 1, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].MonthDay, "05/01");
        QCOMPARE(rows[0].Plan.toInt(), 2);
        QCOMPARE(rows[1].MonthDay, "12/25");
        QCOMPARE(rows[1].Plan.toInt(), 3);
    }

    // The time-difference plan shows only for function 4 on a 2010 controller.
    void reservations_data()
    {
        QTest::addColumn<int>("lcNo");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("2010") << 1
                              << QStringList{"1|5|1|8|공휴일(휴일계획에 지정된 휴일)|08:00|09:30|4|시차제어|2",
                                             "2|0|0|1|일|23:05|05:00|2|점멸제어|"};
        QTest::newRow("2004") << 3 << QStringList{"1|0|0|9|모든 주중(월-금)|07:00|10:00|4|시차제어|"};
        QTest::newRow("none") << 5 << QStringList{};
    }
    void reservations()
    {
        QFETCH(int, lcNo);
        QFETCH(QStringList, rows);
        QList<TReserveRow> got;
        QString error;
        QVERIFY2(LoadReservePlan(Con(), lcNo, &got, &error), qPrintable(error));
        QStringList texts;
        for (const TReserveRow &r : got)
            texts << QStringList{QString::number(r.Index), r.Month.toString(), r.Day.toString(),
                                 QString::number(r.WeekdayCode), r.Weekday, r.Start, r.End,
                                 QString::number(r.FunctionCode), r.Function, r.SpcNo}
                         .join('|');
        QCOMPARE(texts, rows);
    }

    // A translation with a quote reaches no statement: the rows still load.
    void quoteInTranslation()
    {
        TsiLangDispatcher::instance()->LoadFromText(
            "[TfrmTCDV_Conf]\nIDS_92\tO'Day\tO'Day\nIDS_106\tit's \"EMAP\"\tit's \"EMAP\"\n");
        QList<TReserveRow> got;
        QString error;
        QVERIFY2(LoadReservePlan(Con(), 1, &got, &error), qPrintable(error));
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].Weekday, "O'Day");
        QCOMPARE(got[0].Function, "it's \"EMAP\"");
        QVERIFY(CoreKit::LoadLanguage());
    }

    void startupMainPhase_data()
    {
        QTest::addColumn<int>("lcNo");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("main"); // -100: no start-up row
        QTest::newRow("general") << 1 << 0 << 3;
        QTest::newRow("time-difference, NULL") << 1 << 1 << 0;
        QTest::newRow("other maps") << 1 << 2 << -1;
        QTest::newRow("no row") << 3 << 0 << -100;
    }
    void startupMainPhase()
    {
        QFETCH(int, lcNo);
        QFETCH(int, index);
        QFETCH(int, main);
        std::optional<int> got = 77;
        QString error;
        QVERIFY2(LoadStartupMain(Con(), lcNo, index, &got, &error), qPrintable(error));
        QCOMPARE(got.value_or(-100), main);
    }

    void failedQueryIsReported()
    {
        QSqlDatabase closed;
        QList<TDayRow> rows;
        QString error;
        QVERIFY(!LoadDayPlan(closed, 1, 1, &rows, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TstPlanSheetLoaders)
#include "tst_plansheet_loaders.moc"
