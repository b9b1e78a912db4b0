// Time plans and cycle plans of the TOD plan editor on the demo city: the
// cycle-index layout, edits with their copied cycle values and sums, row paste
// modes, validation, the required check, the save (upserts, the kept cycle rows
// of deleted rows, a failure at the third statement), the completeness marks,
// the copy to other plan numbers, and the dialect statements they use.
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "core/SqlDialect.h"
#include "plans/TcdvTodUnit.h"

using EditorFixture::Column;
using EditorFixture::Exec;
using namespace TcdvTod;

namespace {

const char *const kDb = "tst_tod_timeplans";

// Group 1 holds intersection 1 (a 2010 controller); group 2 holds 16 and its virtual 41.
constexpr int kLc = 1;
constexpr int kSa = 1;

QStringList CycleRows(int sa, int plan)
{
    return Column(QStringLiteral("SELECT CONCAT_WS(' ', SA_APLANINDEX, COALESCE(SA_CYCLELENGTH,'-'), COALESCE(SA_IORATIO,'-'), "
                                 "COALESCE(SA_ACTIVE,'-')) FROM SCS_M_SAAPLAN WHERE SA_NO = %1 AND SA_APLAN = %2 "
                                 "ORDER BY SA_APLANINDEX").arg(sa).arg(plan));
}

// "index A1 B1 A2 offset" of every stored time-plan row.
QStringList TimeRows(int lc, int plan)
{
    return Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_TPLANINDEX, COALESCE(INT_ASPLIT1,'-'), COALESCE(INT_BSPLIT1,'-'), "
                                 "COALESCE(INT_ASPLIT2,'-'), COALESCE(INT_OFFSET,'-')) FROM SCS_M_INTTPLAN WHERE "
                                 "INT_LCNO = %1 AND INT_TPLAN = %2 ORDER BY INT_TPLANINDEX").arg(lc).arg(plan));
}

// A stored plan 6 of group 1 and intersection 1: cycle indexes 1 and 2, time-plan rows 1-4.
const char *const kPlan6 =
    "INSERT INTO SCS_M_SAAPLAN VALUES (1, 6, 1, 100, 3, 1), (1, 6, 2, 120, 4, 1);"
    "INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_ASPLIT1, INT_BSPLIT1, INT_ASPLIT2, INT_BSPLIT2, INT_OFFSET) "
    "VALUES (1, 6, 1, 60, 60, 40, 40, 5), (1, 6, 2, 70, 70, 50, 50, 6), (1, 6, 3, 70, 70, 50, 50, 7), (1, 6, 4, 60, 60, 60, 60, 8);";

// 26 fields of a row copy: cycle index 2, cycle 100, IO ratio 5, active, split index 2,
// ring captions, A1 30 B1 25, A2 20 B2 25, A3..B8 empty but A8 50 B8 50, sums, offset 7.
QString CopiedRow(const QString &active = QStringLiteral("Y"), const QString &a1 = QStringLiteral("30"))
{
    QStringList f{"2", "100", "5", active, "2", "A", "B", a1, "25", "20", "25"};
    for (int n = 3; n <= 7; ++n)
        f << "" << "";
    f << "50" << "50" << "100" << "100" << "7";
    return f.join(QLatin1Char('\t'));
}

} // namespace

class TestTodTimePlans : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

    void Load(TGridModel &m, int plan, int lc = kLc, int sa = kSa, int main = 0)
    {
        QString error;
        QVERIFY2(LoadSplitGrid(DM->Con(), &m, lc, sa, plan, main, &error), qPrintable(error));
        QCOMPARE(m.RecordCount(), 16);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        QVERIFY(FDb.Run("CREATE TABLE APLAN_SNAP AS SELECT * FROM SCS_M_SAAPLAN;"
                        "CREATE TABLE TPLAN_SNAP AS SELECT * FROM SCS_M_INTTPLAN;"
                        "CREATE TABLE DPLAN_SNAP AS SELECT * FROM SCS_M_SADPLAN;"));
    }
    void init()
    {
        QVERIFY(FDb.Run("DELETE FROM SCS_M_SAAPLAN; INSERT INTO SCS_M_SAAPLAN SELECT * FROM APLAN_SNAP;"
                        "DELETE FROM SCS_M_INTTPLAN; INSERT INTO SCS_M_INTTPLAN SELECT * FROM TPLAN_SNAP;"
                        "DELETE FROM SCS_M_SADPLAN; INSERT INTO SCS_M_SADPLAN SELECT * FROM DPLAN_SNAP;"
                        "DELETE FROM SCS_M_SAAPLAN WHERE SA_NO = 1 AND SA_APLAN >= 5;"
                        "DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1 AND INT_TPLAN >= 5;"));
    }

    void cycleLayout_data()
    {
        QTest::addColumn<int>("rec");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("copiesDown");
        QTest::newRow("0") << 0 << 1 << true << false;
        QTest::newRow("1") << 1 << 2 << true << true;
        QTest::newRow("2") << 2 << 2 << false << false;
        QTest::newRow("3") << 3 << 2 << false << false;
        QTest::newRow("4") << 4 << 3 << true << true;
        QTest::newRow("6") << 6 << 3 << false << false;
        QTest::newRow("7") << 7 << 4 << true << true;
        QTest::newRow("10") << 10 << 5 << true << true;
        QTest::newRow("12") << 12 << 5 << false << false;
        QTest::newRow("13") << 13 << 6 << true << true;
        QTest::newRow("15") << 15 << 6 << false << false;
    }
    void cycleLayout()
    {
        QFETCH(int, rec);
        QFETCH(int, index);
        QFETCH(bool, editable);
        QFETCH(bool, copiesDown);
        QCOMPARE(CycleIndexOfRecord(rec), index);
        QCOMPARE(IsCycleRecord(rec), editable);
        QCOMPARE(CopiesCycleDown(rec), copiesDown);
        QCOMPARE(SplitCellEditable(rec, QStringLiteral("SA_CYCLELENGTH"), false), editable);
        QCOMPARE(SplitCellEditable(rec, QStringLiteral("SA_ACTIVE"), false), editable);
        QVERIFY(SplitCellEditable(rec, QStringLiteral("INT_BSPLIT3"), false));
        QVERIFY(!SplitCellEditable(rec, QStringLiteral("INT_BSPLIT3"), true));
        QVERIFY(!SplitCellEditable(rec, QStringLiteral("SA_CYCLELENGTH"), true));
        QVERIFY(!SplitCellEditable(rec, QStringLiteral("SumA"), false));
    }

    void load()
    {
        QVERIFY(FDb.Run(kPlan6));
        QVERIFY(Exec("INSERT INTO SCS_M_SAAPLAN VALUES (1, 6, 7, 90, 0, 1)"));            // no cycle index 7
        QVERIFY(Exec("INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX) VALUES (1, 6, 17)"));
        TGridModel m;
        Load(m, 6);
        QCOMPARE(m.Value(0, "SA_CYCLELENGTH").toInt(), 100);
        QCOMPARE(m.KeyValue(0).toString(), QStringLiteral("1,6,1"));
        for (int rec : {1, 2, 3}) {
            QCOMPARE(m.Value(rec, "SA_CYCLELENGTH").toInt(), 120);
            QCOMPARE(m.Value(rec, "SA_IORATIO").toInt(), 4);
            QCOMPARE(m.Value(rec, "SA_APLANINDEX").toInt(), 2);
        }
        QCOMPARE(m.Value(1, "SumA").toInt(), 120);
        QCOMPARE(m.Value(3, "INT_OFFSET").toInt(), 8);
        QCOMPARE(m.KeyValue(3).toString(), QStringLiteral("1,6,4"));
        QCOMPARE(m.Value(15, "INT_TPLANINDEX").toInt(), 16);
        QCOMPARE(m.Text(15, m.ColumnIndex("CaptionBRing")), QStringLiteral("B"));
        QCOMPARE(m.KeyValue(15).toString(), QString());
        QVERIFY(m.Value(4, "SA_CYCLELENGTH").isNull());
        for (int rec = 0; rec < 16; ++rec)
            QCOMPARE(m.State(rec), QStringLiteral("N"));
        // A virtual intersection shows its main intersection's time plan.
        QVERIFY(Exec("INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_ASPLIT1) VALUES (16, 6, 1, 44)"));
        TGridModel v;
        Load(v, 6, 41, 2, 16);
        QCOMPARE(v.Value(0, "INT_ASPLIT1").toInt(), 44);
        QCOMPARE(v.KeyValue(0).toString(), QStringLiteral("16,6,1"));
    }

    // 120 on row 5 (index 4) fills rows 5-7 and ticks them active; the save upserts
    // cycle index 3, twice on the same keys without a duplicate.
    void cycleEditAndSave()
    {
        TGridModel m;
        Load(m, 5);
        QVERIFY(EditSplitCell(&m, 4, m.ColumnIndex("SA_CYCLELENGTH"), 120, false).Ok);
        for (int rec : {4, 5, 6}) {
            QCOMPARE(m.Value(rec, "SA_CYCLELENGTH").toInt(), 120);
            QCOMPARE(m.Value(rec, "SA_ACTIVE").toInt(), 1);
            QCOMPARE(m.State(rec), QStringLiteral("I"));
        }
        QCOMPARE(m.State(3), QStringLiteral("N"));
        QCOMPARE(m.State(7), QStringLiteral("N"));
        QVERIFY(m.Value(7, "SA_CYCLELENGTH").isNull());
        // Not on a row that only shows its cycle index's values.
        QVERIFY(!EditSplitCell(&m, 5, m.ColumnIndex("SA_CYCLELENGTH"), 90, false).Ok);
        QCOMPARE(m.Value(5, "SA_CYCLELENGTH").toInt(), 120);

        for (int round = 0; round < 2; ++round) {
            const TSplitSaveResult r = SaveSplits(DM->Con(), dtMariaDB, m, kLc, kSa, 5, false);
            QVERIFY2(r.Ok, qPrintable(r.Error));
            QCOMPARE(r.Count, 4); // three time-plan rows and one cycle row
            QCOMPARE(CycleRows(kSa, 5), QStringList{"3 120 0 1"});
            QCOMPARE(TimeRows(kLc, 5), (QStringList{"5 0 0 0 0", "6 0 0 0 0", "7 0 0 0 0"}));
        }
        // Loaded again and changed: an update of the same keys.
        TGridModel again;
        Load(again, 5);
        QCOMPARE(again.KeyValue(4).toString(), QStringLiteral("1,5,5"));
        QVERIFY(EditSplitCell(&again, 4, again.ColumnIndex("SA_IORATIO"), 9, false).Ok);
        QCOMPARE(again.State(4), QStringLiteral("M"));
        QCOMPARE(again.State(6), QStringLiteral("M"));
        QVERIFY(SaveSplits(DM->Con(), dtMariaDB, again, kLc, kSa, 5, false).Ok);
        QCOMPARE(CycleRows(kSa, 5), QStringList{"3 120 9 1"});
    }

    // A split cell's editor range: the phase row's minimum and maximum plus yellow.
    void splitEditorRange_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("phaseRec");
        QTest::newRow("A1") << "INT_ASPLIT1" << 23 << 83 << 0;
        QTest::newRow("B2") << "INT_BSPLIT2" << 18 << 83 << 3;
        QTest::newRow("A7 prepared empty row") << "INT_ASPLIT7" << 0 << 0 << 12;
        QTest::newRow("not a split") << "SumA" << 0 << 0 << -1;
    }
    void splitEditorRange()
    {
        QFETCH(QString, column);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, phaseRec);
        TGridModel phases;
        QVERIFY(LoadPhaseGrid(DM->Con(), &phases, kLc, 1, 0) > 0);
        int rec = -2;
        const auto range = SplitEditorRange(phases, column, &rec);
        QCOMPARE(range.first, min);
        QCOMPARE(range.second, max);
        QCOMPARE(rec, phaseRec);
        TGridModel none;
        QCOMPARE(SplitEditorRange(none, column), qMakePair(0, 0));
    }

    void splitEdits()
    {
        TGridModel m;
        Load(m, 5);
        QVERIFY(EditSplitCell(&m, 2, m.ColumnIndex("INT_ASPLIT1"), 30, false).Ok);
        QVERIFY(EditSplitCell(&m, 2, m.ColumnIndex("INT_ASPLIT4"), 45, false).Ok);
        QVERIFY(EditSplitCell(&m, 2, m.ColumnIndex("INT_BSPLIT2"), 80, false).Ok);
        QCOMPARE(m.Value(2, "SumA").toInt(), 75);
        QCOMPARE(m.Value(2, "SumB").toInt(), 80);
        QCOMPARE(m.State(2), QStringLiteral("I"));
        QVERIFY(EditSplitCell(&m, 2, m.ColumnIndex("INT_ASPLIT1"), QVariant(), false).Ok);
        QCOMPARE(m.Value(2, "SumA").toInt(), 45);
        const TEditResult tooLong = EditSplitCell(&m, 2, m.ColumnIndex("INT_ASPLIT2"), 256, false);
        QVERIFY(!tooLong.Ok);
        QVERIFY(!tooLong.Message.isEmpty());
        QVERIFY(m.Value(2, "INT_ASPLIT2").isNull());
        QVERIFY(!EditSplitCell(&m, 3, m.ColumnIndex("INT_ASPLIT2"), 10, true).Ok);
        QCOMPARE(m.State(3), QStringLiteral("N"));
    }

    void pastes_data()
    {
        QTest::addColumn<int>("rec");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("virt");
        QTest::addColumn<bool>("ok");
        // Afterwards: rec's cycle, active, A1, sum A, offset; the cycle of rec+1 and
        // rec+2; the states of rec, rec+1, rec+2.
        QTest::addColumn<QString>("expected");

        QTest::newRow("all on row 8") << 7 << 2 << CopiedRow() << false << true << "100 1 30 100 7 | 100 100 | I I I";
        QTest::newRow("splits on row 8") << 7 << 1 << CopiedRow() << false << true << "- - 30 100 7 | - - | I N N";
        QTest::newRow("cycle on row 8") << 7 << 0 << CopiedRow() << false << true << "100 1 - - - | 100 100 | I I I";
        QTest::newRow("all on row 9 leaves cycle") << 8 << 2 << CopiedRow() << false << true << "- - 30 100 7 | - - | I N N";
        QTest::newRow("cycle on row 1 not copied down") << 0 << 0 << CopiedRow() << false << true << "100 1 - - - | - - | I N N";
        QTest::newRow("y is not ticked") << 7 << 0 << CopiedRow("y") << false << true << "100 0 - - - | 100 100 | I I I";
        QTest::newRow("25 fields") << 7 << 2 << CopiedRow().section('\t', 0, 24) << false << true << "- - - - - | - - | N N N";
        QTest::newRow("27 fields") << 7 << 2 << CopiedRow() + "\t1" << false << true << "- - - - - | - - | N N N";
        QTest::newRow("split 300 refused") << 7 << 2 << CopiedRow("Y", "300") << false << false << "- - - - - | - - | N N N";
        QTest::newRow("virtual") << 7 << 2 << CopiedRow() << true << true << "- - - - - | - - | N N N";
    }
    void pastes()
    {
        QFETCH(int, rec);
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(bool, virt);
        QFETCH(bool, ok);
        QFETCH(QString, expected);
        TGridModel m;
        Load(m, 5);
        const TEditResult r = PasteSplitRow(&m, rec, text, TSplitPasteMode(mode), virt);
        QCOMPARE(r.Ok, ok);
        auto v = [&m](int rec, const char *col) {
            const QVariant x = m.Value(rec, QString::fromLatin1(col));
            return x.isNull() || x.toString().isEmpty() ? QStringLiteral("-") : x.toString();
        };
        const QString got = QStringLiteral("%1 %2 %3 %4 %5 | %6 %7 | %8 %9 %10")
                                .arg(v(rec, "SA_CYCLELENGTH"), v(rec, "SA_ACTIVE"), v(rec, "INT_ASPLIT1"), v(rec, "SumA"),
                                     v(rec, "INT_OFFSET"), v(rec + 1, "SA_CYCLELENGTH"), v(rec + 2, "SA_CYCLELENGTH"),
                                     m.State(rec), m.State(rec + 1))
                                .arg(m.State(rec + 2));
        QCOMPARE(got, expected);
        // The row's own numbers are never pasted.
        QCOMPARE(m.Value(rec, "INT_TPLANINDEX").toInt(), rec + 1);
        QCOMPARE(m.Value(rec, "SA_APLANINDEX").toInt(), CycleIndexOfRecord(rec));
    }

    void copyRow()
    {
        QVERIFY(FDb.Run(kPlan6));
        TGridModel m;
        Load(m, 6);
        QStringList f{"2", "120", "4", "Y", "3", "A", "B", "70", "70", "50", "50"};
        for (int n = 3; n <= 8; ++n)
            f << "0" << "0";
        f << "120" << "120" << "7";
        QCOMPARE(SplitRowText(m, 2), f.join(QLatin1Char('\t')));
    }

    // A plan whose every row has cycle 0 and no splits matches.
    void validationOfEmptyPlan()
    {
        TGridModel m;
        Load(m, 5);
        QString mark;
        QCOMPARE(ValidateSplits(&m, &mark), -1);
    }

    void validationMarks()
    {
        QVERIFY(FDb.Run(kPlan6));
        TGridModel m;
        Load(m, 6);
        QString mark;
        // Row 4 sums 120 on both rings against the cycle 120 of index 2: every stored row matches.
        QCOMPARE(ValidateSplits(&m, &mark), -1);
        QVERIFY(EditSplitCell(&m, 2, m.ColumnIndex("INT_BSPLIT1"), 60, false).Ok);
        QCOMPARE(ValidateSplits(&m, &mark), 2);
        QCOMPARE(mark, QStringLiteral("2"));
        QCOMPARE(m.Text(2, m.ColumnIndex("Validate")), QStringLiteral("2"));
        QVERIFY(EditSplitCell(&m, 1, m.ColumnIndex("INT_ASPLIT2"), 10, false).Ok);
        QCOMPARE(ValidateSplits(&m, &mark), 1);
        QCOMPARE(mark, QStringLiteral("1"));
        QCOMPARE(m.Text(2, m.ColumnIndex("Validate")), QString());
    }

    void required()
    {
        TGridModel m;
        Load(m, 5);
        QVERIFY(CheckSplitRows(m).Ok);
        QVERIFY(EditSplitCell(&m, 9, m.ColumnIndex("INT_ASPLIT1"), 10, false).Ok);
        const TGridCheckResult c = CheckSplitRows(m);
        QCOMPARE(c.Problem, TGridCheckResult::Required);
        QCOMPARE(c.Record, 9);
        QCOMPARE(c.Column, m.ColumnIndex("SA_CYCLELENGTH"));
        QVERIFY(EditSplitCell(&m, 7, m.ColumnIndex("SA_CYCLELENGTH"), 80, false).Ok);
        QVERIFY(CheckSplitRows(m).Ok);
    }

    // Deleted rows: the answer No keeps the cycle rows, any other deletes them too.
    void deleteKeepsOrDropsCycles_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QStringList>("cycles");
        QTest::newRow("No keeps") << true << QStringList{"1 100 3 1", "2 120 4 1"};
        QTest::newRow("Yes deletes") << false << QStringList{"1 100 3 1"};
    }
    void deleteKeepsOrDropsCycles()
    {
        QFETCH(bool, keep);
        QFETCH(QStringList, cycles);
        QVERIFY(FDb.Run(kPlan6));
        TGridModel m;
        Load(m, 6);
        m.MarkDeleted(1);
        m.MarkDeleted(12); // never stored: writes nothing
        const TSplitSaveResult r = SaveSplits(DM->Con(), dtMariaDB, m, kLc, kSa, 6, keep);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(r.Count, keep ? 1 : 2);
        QCOMPARE(TimeRows(kLc, 6), (QStringList{"1 60 60 40 5", "3 70 70 50 7", "4 60 60 60 8"}));
        QCOMPARE(CycleRows(kSa, 6), cycles);
    }

    // The third statement fails: no table changes, the model keeps its edits.
    void failureRollsBack()
    {
        QVERIFY(FDb.Run(kPlan6));
        QVERIFY(FDb.Run("CREATE TABLE TPLAN_GUARD (V INT NOT NULL PRIMARY KEY); INSERT INTO TPLAN_GUARD VALUES (77);"
                        "CREATE TRIGGER TPLAN_GUARD_T BEFORE INSERT ON SCS_M_INTTPLAN FOR EACH ROW "
                        "INSERT INTO TPLAN_GUARD (V) SELECT 77 FROM DUAL WHERE NEW.INT_OFFSET = 77;"));
        TGridModel m;
        Load(m, 6);
        QVERIFY(EditSplitCell(&m, 0, m.ColumnIndex("INT_OFFSET"), 9, false).Ok);
        QVERIFY(EditSplitCell(&m, 1, m.ColumnIndex("INT_ASPLIT1"), 71, false).Ok);
        QVERIFY(EditSplitCell(&m, 2, m.ColumnIndex("INT_OFFSET"), 77, false).Ok);
        const QStringList times = TimeRows(kLc, 6);
        const QStringList cycles = CycleRows(kSa, 6);
        const TSplitSaveResult r = SaveSplits(DM->Con(), dtMariaDB, m, kLc, kSa, 6, false);
        QVERIFY(!r.Ok);
        QVERIFY(!r.Error.isEmpty());
        QCOMPARE(TimeRows(kLc, 6), times);
        QCOMPARE(CycleRows(kSa, 6), cycles);
        QCOMPARE(m.State(0), QStringLiteral("M"));
        QCOMPARE(m.Value(1, "INT_ASPLIT1").toInt(), 71);
        QCOMPARE(m.Value(2, "INT_OFFSET").toInt(), 77);
        QVERIFY(Exec("DROP TRIGGER TPLAN_GUARD_T"));
    }

    void planNumbers()
    {
        QVERIFY(FDb.Run("DELETE FROM SCS_M_SAAPLAN WHERE SA_NO = 1; DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1;"
                        "DELETE FROM SCS_M_SADPLAN WHERE SA_NO = 1;"
                        "INSERT INTO SCS_M_SAAPLAN VALUES (1, 1, 1, 100, 0, 1), (1, 2, 1, 100, 0, 1), (1, 10, 1, 90, 0, 1);"
                        "INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX) VALUES (1, 1, 1), (1, 3, 1), (1, 10, 2);"
                        "INSERT INTO SCS_M_SADPLAN (SA_NO, SA_DPLAN, SA_DPLANINDEX) VALUES (1, 1, 1), (1, 2, 1), (1, 10, 4);"));
        const QVector<int> chk = CheckPlanNumbers(DM->Con(), dtMariaDB, 1, 1);
        QCOMPARE(chk, (QVector<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
        const QVector<int> none = CheckPlanNumbers(DM->Con(), dtMariaDB, 1, 999);
        QCOMPARE(none, QVector<int>(10, 0));
    }

    // Plan 1 copied to #2 and #3 (and to #1, which is passed over).
    void copyPlan()
    {
        QVERIFY(FDb.Run("DELETE FROM SCS_M_SAAPLAN WHERE SA_NO = 1 AND SA_APLAN <= 3;"
                        "DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1 AND INT_TPLAN <= 3;"
                        "INSERT INTO SCS_M_SAAPLAN VALUES (1, 1, 1, 100, 3, 1), (1, 1, 2, 140, 0, 0), (1, 3, 5, 80, 0, 1);"
                        "INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_ASPLIT1, INT_BSPLIT1, INT_ASPLIT2, INT_OFFSET) "
                        "VALUES (1, 1, 1, 50, 50, 50, 3), (1, 1, 2, 70, 70, 70, 4), (1, 3, 9, 1, 1, 1, 1);"));
        const QStringList otherGroup = CycleRows(2, 2);
        const TSplitSaveResult r = CopyPlan(DM->Con(), 1, 1, 1, {1, 2, 3});
        QVERIFY2(r.Ok, qPrintable(r.Error));
        for (int plan : {1, 2, 3}) {
            QCOMPARE(CycleRows(1, plan), (QStringList{"1 100 3 1", "2 140 0 0"}));
            QCOMPARE(TimeRows(1, plan), (QStringList{"1 50 50 50 3", "2 70 70 70 4"}));
        }
        QCOMPARE(CycleRows(2, 2), otherGroup);
    }

    // The demo city's plans 1-4: complete for every intersection, ring sums equal
    // to their row's cycle length, day plans naming stored cycle and time-plan rows.
    void demoPlans()
    {
        const QStringList lcs = Column("SELECT CONCAT(INT_LCNO, ' ', INT_SANO) FROM SCS_M_INTLC WHERE COALESCE(MAIN_LCNO, 0) = 0 ORDER BY INT_LCNO");
        QCOMPARE(lcs.size(), 40);
        for (const QString &entry : lcs) {
            const int lc = entry.section(' ', 0, 0).toInt();
            const int sa = entry.section(' ', 1, 1).toInt();
            QCOMPARE(CheckPlanNumbers(DM->Con(), dtMariaDB, sa, lc), (QVector<int>{1, 1, 1, 1, 0, 0, 0, 0, 0, 0}));
            for (int plan = 1; plan <= 4; ++plan) {
                TGridModel m;
                Load(m, plan, lc, sa);
                QVERIFY2(ValidateSplits(&m) == -1, qPrintable(QStringLiteral("%1 plan %2").arg(lc).arg(plan)));
                QVERIFY(m.Value(6, "SA_CYCLELENGTH").toInt() > 0);
            }
        }
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_SADPLAN D JOIN SCS_M_INTLC L ON L.INT_SANO = D.SA_NO "
                        "AND COALESCE(L.MAIN_LCNO, 0) = 0 WHERE NOT EXISTS (SELECT 1 FROM SCS_M_SAAPLAN A WHERE "
                        "A.SA_NO = D.SA_NO AND A.SA_APLAN = D.SA_DPLAN AND A.SA_APLANINDEX = D.SA_CYCLE) OR NOT EXISTS "
                        "(SELECT 1 FROM SCS_M_INTTPLAN T WHERE T.INT_LCNO = L.INT_LCNO AND T.INT_TPLAN = D.SA_DPLAN "
                        "AND T.INT_TPLANINDEX = D.SA_SPLIT)"),
                 QStringList{"0"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_SADPLAN WHERE SA_DPLAN BETWEEN 1 AND 4"), QStringList{"80"});
    }

    void spinnerValues_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("plan");
        QTest::newRow("0") << 0 << 1;
        QTest::newRow("-4") << -4 << 1;
        QTest::newRow("3") << 3 << 3;
        QTest::newRow("15") << 15 << 10;
    }
    void spinnerValues()
    {
        QFETCH(int, value);
        QFETCH(int, plan);
        QCOMPARE(ClampPlanNumber(value), plan);
    }

    // The dialect statements of the upserts and the row generator.
    void dialects()
    {
        QCOMPARE(UpsertSql(dtMariaDB, "SCS_M_SAAPLAN", {"SA_NO", "SA_APLAN", "SA_APLANINDEX"},
                           {"SA_CYCLELENGTH", "SA_IORATIO", "SA_ACTIVE"}, "A"),
                 QStringLiteral("INSERT INTO SCS_M_SAAPLAN (SA_NO, SA_APLAN, SA_APLANINDEX, SA_CYCLELENGTH, SA_IORATIO, "
                                "SA_ACTIVE) VALUES (:SA_NO, :SA_APLAN, :SA_APLANINDEX, :SA_CYCLELENGTH, :SA_IORATIO, "
                                ":SA_ACTIVE) ON DUPLICATE KEY UPDATE SA_CYCLELENGTH = :SA_CYCLELENGTH, SA_IORATIO = "
                                ":SA_IORATIO, SA_ACTIVE = :SA_ACTIVE"));
        QCOMPARE(UpsertSql(dtOracle, "SCS_M_SAAPLAN", {"SA_NO", "SA_APLAN", "SA_APLANINDEX"},
                           {"SA_CYCLELENGTH", "SA_IORATIO", "SA_ACTIVE"}, "A"),
                 QStringLiteral("MERGE INTO SCS_M_SAAPLAN A USING DUAL ON (A.SA_NO = :SA_NO AND A.SA_APLAN = :SA_APLAN AND "
                                "A.SA_APLANINDEX = :SA_APLANINDEX) WHEN MATCHED THEN UPDATE SET SA_CYCLELENGTH = "
                                ":SA_CYCLELENGTH, SA_IORATIO = :SA_IORATIO, SA_ACTIVE = :SA_ACTIVE WHEN NOT MATCHED THEN "
                                "INSERT (SA_NO, SA_APLAN, SA_APLANINDEX, SA_CYCLELENGTH, SA_IORATIO, SA_ACTIVE) VALUES "
                                "(:SA_NO, :SA_APLAN, :SA_APLANINDEX, :SA_CYCLELENGTH, :SA_IORATIO, :SA_ACTIVE)"));
        QCOMPARE(RowGeneratorFromSql(dtTibero, 10, "PLAN_IDX", "C"),
                 QStringLiteral(" FROM (SELECT LEVEL AS PLAN_IDX FROM DUAL CONNECT BY LEVEL <= 10) C "));
        QCOMPARE(RowGeneratorFromSql(dtMariaDB, 10, "PLAN_IDX", "C"),
                 QStringLiteral(" FROM (SELECT @i:=@i+1 AS PLAN_IDX FROM information_schema.TABLES,(SELECT @i:=0) AS "
                                "dummy LIMIT 10) C "));
    }

    void cleanupTestCase() { FDb.Close(); }
};

QTEST_MAIN(TestTodTimePlans)
#include "tst_tod_timeplans.moc"
