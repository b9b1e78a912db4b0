// Reservation plans of intersections on the demo city: the new-row proposal
// and its limit of ten entries, the save's checks, the day limit of a month by
// the year of a set clock, the EMAP number by controller type, the row
// statements (a key change moves the entry, deletes) and a save that fails at
// its third row.
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "core/siLang.h"
#include "plans/ReservePlanUnit.h"

using EditorFixture::Column;
using EditorFixture::Exec;
using namespace ReservePlan;

namespace {

const char *const kDb = "tst_reserve_plans";

// Intersection 1 is a 2010 controller, intersection 3 a 2004 one.
constexpr int kLc2010 = 1;
constexpr int kLc2004 = 3;

// "index month day wkd type emap" of every stored entry of an intersection.
QStringList Entries(int lc)
{
    return Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_FPLANINDEX, COALESCE(INT_RSRVMONTH,'-'), "
                                 "COALESCE(INT_RSRVDAY,'-'), COALESCE(INT_RSRVWKD,'-'), COALESCE(INT_CNTLTYPE,'-'), "
                                 "COALESCE(INT_CNTLSPCNO,'-')) FROM SCS_M_INTFPLAN WHERE INT_LCNO = %1 "
                                 "ORDER BY INT_FPLANINDEX").arg(lc));
}

QStringList AllEntries()
{
    return Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_LCNO, INT_FPLANINDEX, COALESCE(INT_CNTLTYPE,'-')) "
                                 "FROM SCS_M_INTFPLAN ORDER BY INT_LCNO, INT_FPLANINDEX"));
}

// `count` stored entries 1..count of an intersection: month 5, day 10, type 1.
bool Store(int lc, int count)
{
    for (int i = 1; i <= count; ++i)
        if (!Exec(QStringLiteral("INSERT INTO SCS_M_INTFPLAN VALUES (%1, %2, 5, 10, 0, 8, 0, 9, 0, 1, 0)").arg(lc).arg(i)))
            return false;
    return true;
}

int Col(const TGridModel &m, const char *name)
{
    return m.ColumnIndex(QString::fromLatin1(name));
}

} // namespace

class TestReservePlans : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

    void Load(TGridModel &m, int lc, bool all = false)
    {
        m.SetColumns(Columns(lct2010_4L));
        m.SetPrimaryKeys({"INT_LCNO", "INT_FPLANINDEX"});
        QString error;
        QVERIFY2(LoadReservePlans(DM->Con(), &m, all, lc, &error) >= 0, qPrintable(error));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
    }
    void init()
    {
        // Each case starts from its own entries only.
        QVERIFY(Exec("DELETE FROM SCS_M_INTFPLAN"));
    }

    void newRowProposal_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QVariant>("lcNo");
        QTest::addColumn<QVariant>("index");
        QTest::newRow("three entries propose 4") << 3 << false << true << QVariant(kLc2010) << QVariant(4);
        QTest::newRow("none proposes 1") << 0 << false << true << QVariant(kLc2010) << QVariant(1);
        QTest::newRow("nine propose 10") << 9 << false << true << QVariant(kLc2010) << QVariant(10);
        QTest::newRow("ten refuse") << 10 << false << false << QVariant() << QVariant();
        QTest::newRow("all gives an empty row") << 3 << true << true << QVariant() << QVariant();
    }
    void newRowProposal()
    {
        QFETCH(int, stored);
        QFETCH(bool, all);
        QFETCH(bool, ok);
        QFETCH(QVariant, lcNo);
        QFETCH(QVariant, index);
        QVERIFY(Store(kLc2010, stored));
        TGridModel m;
        Load(m, kLc2010);
        if (!all)
            QCOMPARE(m.RecordCount(), stored);
        const int before = m.RecordCount();
        const TNewRow row = ProposeNewRow(m, all, kLc2010);
        QCOMPARE(row.Ok, ok);
        const int rec = AppendProposedRow(&m, row);
        if (!ok) {
            QCOMPARE(row.Message, QStringLiteral("교차로당 예약계획은 10개까지 입력할 수 있습니다."));
            QCOMPARE(rec, -1);
            QCOMPARE(m.RecordCount(), before);
            return;
        }
        QCOMPARE(m.Value(rec, Col(m, "INT_LCNO")).toString(), lcNo.toString());
        QCOMPARE(m.Value(rec, Col(m, "INT_FPLANINDEX")).toString(), index.toString());
        QCOMPARE(m.State(rec), QString());
    }

    // Rows are typed as the operator would; the first problem names its text and cell.
    void checks_data()
    {
        QTest::addColumn<QList<QVariantList>>("rows");   // {lc, index}
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("column");
        QTest::newRow("index 11") << QList<QVariantList>{{1, 2}, {1, 11}}
                                  << QStringLiteral("순번은 1부터 10까지 입력할 수 있습니다.") << 1 << "INT_FPLANINDEX";
        QTest::newRow("index 0") << QList<QVariantList>{{1, 0}}
                                 << QStringLiteral("순번은 1부터 10까지 입력할 수 있습니다.") << 0 << "INT_FPLANINDEX";
        QTest::newRow("duplicate key") << QList<QVariantList>{{1, 2}, {1, 2}}
                                       << QStringLiteral("중복된 데이터가 존재합니다.") << 0 << "";
        QTest::newRow("empty row under all") << QList<QVariantList>{{QVariant(), QVariant()}}
                                             << QStringLiteral("필수 입력 항목을 확인바랍니다.") << 0 << "INT_LCNO";
        QTest::newRow("same index, other intersections") << QList<QVariantList>{{1, 2}, {3, 2}} << QString() << -1 << "";
    }
    void checks()
    {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QString, message);
        QFETCH(int, record);
        QFETCH(QString, column);
        TGridModel m;
        Load(m, kLc2010);
        TReservePlanEdits edits;
        for (const QVariantList &r : rows) {
            const int rec = m.AppendRecord();
            m.SetValue(rec, Col(m, "INT_LCNO"), r.at(0));
            m.SetValue(rec, Col(m, "INT_FPLANINDEX"), r.at(1));
            edits.CellEdited(&m, rec, Col(m, "INT_RSRVMONTH"));
        }
        const TCheckResult c = CheckReservePlanRows(m);
        QCOMPARE(c.Ok, message.isEmpty());
        QCOMPARE(c.Message, message);
        QCOMPARE(c.Record, record);
        if (!column.isEmpty())
            QCOMPARE(c.Column, m.ColumnIndex(column));
    }

    // The day limit of a month follows the year of the set clock.
    void dayLimit_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("dayBefore");
        QTest::addColumn<int>("dayMax");
        QTest::addColumn<int>("dayAfter");
        QTest::newRow("February of a leap year") << QDate(2028, 3, 1) << 2 << 31 << 29 << 29;
        QTest::newRow("February otherwise") << QDate(2026, 12, 11) << 2 << 31 << 28 << 28;
        QTest::newRow("February of a century year") << QDate(2100, 1, 1) << 2 << 29 << 28 << 28;
        QTest::newRow("April lowers 31") << QDate(2026, 12, 11) << 4 << 31 << 30 << 30;
        QTest::newRow("smaller day stays") << QDate(2026, 12, 11) << 2 << 12 << 28 << 12;
        QTest::newRow("month 0 leaves the limit") << QDate(2026, 12, 11) << 0 << 31 << 31 << 31;
    }
    void dayLimit()
    {
        QFETCH(QDate, today);
        QFETCH(int, month);
        QFETCH(int, dayBefore);
        QFETCH(int, dayMax);
        QFETCH(int, dayAfter);
        QVERIFY(Store(kLc2010, 1));
        TGridModel m;
        Load(m, kLc2010);
        TReservePlanEdits edits;
        edits.Today = [today] { return today; };
        m.SetValue(0, Col(m, "INT_RSRVDAY"), dayBefore);
        QVERIFY(edits.Edit(&m, 0, Col(m, "INT_RSRVMONTH"), month).Ok);
        QCOMPARE(edits.DayMax, dayMax);
        QCOMPARE(m.Value(0, Col(m, "INT_RSRVDAY")).toInt(), dayAfter);
        QCOMPARE(m.State(0), QStringLiteral("M"));
        // A typed day above the limit is refused and the cell keeps its value.
        const TEditResult r = edits.Edit(&m, 0, Col(m, "INT_RSRVDAY"), dayMax + 1);
        QVERIFY(!r.Ok);
        QCOMPARE(m.Value(0, Col(m, "INT_RSRVDAY")).toInt(), dayAfter);
    }

    void typedValuesOutsideTheirLists_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("ok");
        QTest::newRow("2004 day of week 8") << kLc2004 << "INT_RSRVWKD" << 8 << false;
        QTest::newRow("2010 day of week 12") << kLc2010 << "INT_RSRVWKD" << 12 << true;
        QTest::newRow("2010 control type 16") << kLc2010 << "INT_CNTLTYPE" << 16 << false;
        QTest::newRow("hour 24") << kLc2010 << "INT_CNTLSTARTHOUR" << 24 << false;
        QTest::newRow("minute 59") << kLc2010 << "INT_CNTLENDMIN" << 59 << true;
        QTest::newRow("index 11") << kLc2010 << "INT_FPLANINDEX" << 11 << false;
    }
    void typedValuesOutsideTheirLists()
    {
        QFETCH(int, lc);
        QFETCH(QString, column);
        QFETCH(int, value);
        QFETCH(bool, ok);
        QVERIFY(Store(lc, 1));
        TGridModel m;
        Load(m, lc);
        ApplyLcType(&m, lc == kLc2004 ? lct2004 : lct2010_4L);
        TReservePlanEdits edits;
        QCOMPARE(edits.Edit(&m, 0, m.ColumnIndex(column), value).Ok, ok);
        QCOMPARE(m.State(0), ok ? QStringLiteral("M") : QStringLiteral("N"));
    }

    // The lists by controller type, with the texts that stay as they stand.
    void lists()
    {
        QCOMPARE(WeekItems(lct2004).size(), 8);
        QCOMPARE(WeekItems(lct2010_3L).size(), 13);
        QCOMPARE(FunctionItems(lct2004).size(), 8);
        QCOMPARE(FunctionItems(lct2010_4L).size(), 16);
        QCOMPARE(FunctionItems(lct2010_4L).at(4).Text, QStringLiteral("시차제어"));
        QCOMPARE(siText(TextTable, "strWeek9"), QStringLiteral("모든 주중(월-금)"));
        QCOMPARE(TsiLangDispatcher::instance()->TextIn(TextTable, "strWeek9", 2), QStringLiteral("9)MON TO SAT"));
        QCOMPARE(TsiLangDispatcher::instance()->TextIn(TextTable, "strWeek10", 2), QStringLiteral("10)SUN"));
        QCOMPARE(TsiLangDispatcher::instance()->TextIn(TextTable, "strFunction15", 2), QStringLiteral("14)REV15"));
    }

    // The EMAP number: cleared on a 2010 row leaving type 4, saved only for
    // type 4 of a 2010 intersection, never on a 2004 one.
    void emap()
    {
        QVERIFY(Exec("INSERT INTO SCS_M_INTFPLAN VALUES (1, 1, 0, 0, 9, 7, 0, 9, 0, 4, 7), (1, 2, 0, 0, 9, 7, 0, 9, 0, 4, 8),"
                     " (3, 1, 0, 0, 1, 7, 0, 9, 0, 4, 8)"));
        TGridModel m;
        Load(m, 0, true);
        QCOMPARE(m.RecordCount(), 3);
        TReservePlanEdits edits;
        QVERIFY(TReservePlanEdits::EmapEditable(m, 0, lct2010_4L));
        QVERIFY(!TReservePlanEdits::EmapEditable(m, 2, lct2004));
        QVERIFY(edits.Edit(&m, 0, Col(m, "INT_CNTLTYPE"), 2).Ok);
        QCOMPARE(m.Value(0, Col(m, "INT_CNTLSPCNO")).toInt(), 0);
        QVERIFY(!TReservePlanEdits::EmapShown(m, 0));
        // Row 2 keeps type 4 and takes EMAP 9; the 2004 row is changed elsewhere.
        QVERIFY(edits.Edit(&m, 1, Col(m, "INT_CNTLSPCNO"), 9).Ok);
        QVERIFY(!edits.Edit(&m, 1, Col(m, "INT_CNTLSPCNO"), 5).Ok);
        QVERIFY(!edits.Edit(&m, 2, Col(m, "INT_CNTLSPCNO"), 9).Ok);
        QVERIFY(edits.Edit(&m, 2, Col(m, "INT_CNTLSTARTHOUR"), 6).Ok);
        const TGridSaveResult r = SaveReservePlans(DM->Con(), m);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(r.Count, 3);
        QCOMPARE(Entries(kLc2010), (QStringList{"1 0 0 9 2 0", "2 0 0 9 4 9"}));
        QCOMPARE(Entries(kLc2004), (QStringList{"1 0 0 1 4 0"}));
    }

    // Inserts (empty cells as 0), a key change that moves the entry, deletes of
    // a stored and of an unsaved row.
    void saveStatements()
    {
        QVERIFY(Store(kLc2010, 3));
        TGridModel m;
        Load(m, kLc2010);
        TReservePlanEdits edits;
        // Entry 2 becomes entry 5.
        QVERIFY(edits.Edit(&m, 1, Col(m, "INT_FPLANINDEX"), 5).Ok);
        QCOMPARE(m.State(1), QStringLiteral("M"));
        // Entry 3 deleted: stays visible as "D".
        QVERIFY(!m.DeleteRecord(2));
        QCOMPARE(m.RecordCount(), 3);
        QCOMPARE(m.State(2), QStringLiteral("D"));
        // A new row with month 12 only; another new row deleted before the save.
        int rec = AppendProposedRow(&m, ProposeNewRow(m, false, kLc2010));
        QCOMPARE(m.Value(rec, Col(m, "INT_FPLANINDEX")).toInt(), 4);
        QVERIFY(edits.Edit(&m, rec, Col(m, "INT_RSRVMONTH"), 12).Ok);
        QCOMPARE(m.State(rec), QStringLiteral("I"));
        rec = AppendProposedRow(&m, ProposeNewRow(m, false, kLc2010));
        QVERIFY(edits.Edit(&m, rec, Col(m, "INT_RSRVMONTH"), 1).Ok);
        QVERIFY(m.DeleteRecord(rec));
        QCOMPARE(m.RecordCount(), 4);

        QVERIFY(CheckReservePlanRows(m).Ok);
        const TGridSaveResult r = SaveReservePlans(DM->Con(), m);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(r.Count, 3);
        QCOMPARE(Entries(kLc2010), (QStringList{"1 5 10 0 1 0", "4 12 0 0 0 0", "5 5 10 0 1 0"}));
    }

    // A save failing at its third row changes no table and keeps the grid as it was.
    void failedSaveKeepsEverything()
    {
        QVERIFY(Store(kLc2010, 2));
        TGridModel m;
        Load(m, kLc2010);
        TReservePlanEdits edits;
        QVERIFY(edits.Edit(&m, 0, Col(m, "INT_RSRVMONTH"), 7).Ok);
        QVERIFY(!m.DeleteRecord(1));
        const int rec = AppendProposedRow(&m, ProposeNewRow(m, false, kLc2010));
        QVERIFY(edits.Edit(&m, rec, Col(m, "INT_CNTLTYPE"), 2).Ok);
        // Meanwhile entry 3 is stored elsewhere: the third statement hits the key.
        QVERIFY(Exec("INSERT INTO SCS_M_INTFPLAN VALUES (1, 3, 1, 1, 0, 0, 0, 0, 0, 0, 0)"));
        const QStringList before = AllEntries();
        const QVariantList values0 = m.RecordValues(0), values1 = m.RecordValues(1), values2 = m.RecordValues(2);

        const TGridSaveResult r = SaveReservePlans(DM->Con(), m);
        QVERIFY(!r.Ok);
        QCOMPARE(r.FailedRecord, 2);
        QVERIFY(!r.Error.isEmpty());
        QCOMPARE(AllEntries(), before);
        QCOMPARE(m.RecordValues(0), values0);
        QCOMPARE(m.RecordValues(1), values1);
        QCOMPARE(m.RecordValues(2), values2);
        QCOMPARE(m.State(0), QStringLiteral("M"));
        QCOMPARE(m.State(1), QStringLiteral("D"));
        QCOMPARE(m.State(2), QStringLiteral("I"));
    }
};

QTEST_MAIN(TestReservePlans)
#include "tst_reserve_plans.moc"
