// The group offset table on the demo city: the rows of a group or of every
// intersection with the offsets of one plan number, the row paste and clear,
// the plan number an Enter keeps, and the save: an upsert per split index
// that gives a new row zero splits, stores pasted numbers as numbers and
// empty cells as NULL, and changes nothing when it fails on its third row.
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "core/SqlDialect.h"
#include "plans/OffsetInfoUnit.h"

using EditorFixture::Column;
using EditorFixture::Exec;
using namespace OffsetInfo;

namespace {

const char *const kDb = "tst_offset_info";
// The plan number of these cases; each case starts without rows of it.
constexpr int kPlan = 9;

QString P(int i)
{
    return QStringLiteral("gtvGridPhase%1").arg(i);
}

// "index offset" of the stored rows of an intersection for the plan.
QStringList Offsets(int lc)
{
    return Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_TPLANINDEX, COALESCE(INT_OFFSET,'NULL')) FROM SCS_M_INTTPLAN "
                                 "WHERE INT_LCNO = %1 AND INT_TPLAN = %2 ORDER BY INT_TPLANINDEX").arg(lc).arg(kPlan));
}

// The sixteen splits of every stored row of an intersection for the plan, one text per row.
QStringList StoredSplits(int lc)
{
    return Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_ASPLIT1, INT_ASPLIT2, INT_ASPLIT3, INT_ASPLIT4, INT_ASPLIT5, "
                                 "INT_ASPLIT6, INT_ASPLIT7, INT_ASPLIT8, INT_BSPLIT1, INT_BSPLIT2, INT_BSPLIT3, INT_BSPLIT4, "
                                 "INT_BSPLIT5, INT_BSPLIT6, INT_BSPLIT7, INT_BSPLIT8) FROM SCS_M_INTTPLAN "
                                 "WHERE INT_LCNO = %1 AND INT_TPLAN = %2 ORDER BY INT_TPLANINDEX").arg(lc).arg(kPlan));
}

// "1 <o1>" .. "16 <o16>" from a list of sixteen offsets.
QStringList Expected(const QStringList &offsets)
{
    QStringList out;
    for (int i = 0; i < offsets.size(); ++i)
        out << QStringLiteral("%1 %2").arg(i + 1).arg(offsets.at(i));
    return out;
}

QStringList Repeat(const QString &text, int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << text;
    return l;
}

// A stored row of the plan with given splits (all sixteen the same) and offset.
bool StoreRow(int lc, int index, int split, const QString &offset)
{
    QStringList s = Repeat(QString::number(split), 16);
    return Exec(QStringLiteral("INSERT INTO SCS_M_INTTPLAN VALUES (%1, %2, %3, %4, %5)")
                    .arg(lc).arg(kPlan).arg(index).arg(s.join(',')).arg(offset));
}

// An operator's typing of a cell: the value and the row state of the shared rule.
void Type(TGridModel &m, int rec, int index, const QVariant &value)
{
    m.SetValue(rec, m.ColumnIndex(P(index)), value);
    m.SetState(rec, GetStateVal(&m, rec, m.StateIdx(), m.KeyValueIdx()));
}

} // namespace

class TestOffsetInfo : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;
    int FSa = 0;
    QStringList FMembers;   // intersection numbers of group FSa, ordered

    void Load(TGridModel &m, bool all = false, int sa = -1)
    {
        m.SetColumns(Columns());
        m.SetPrimaryKeys({"INT_LCNO", "INT_TPLAN"});
        QString error;
        QVERIFY2(LoadOffsets(DM->Con(), &m, all, sa < 0 ? FSa : sa, kPlan, &error) >= 0, qPrintable(error));
    }
    int Lc(int member) const { return FMembers.at(member).toInt(); }

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        const QStringList groups = Column("SELECT INT_SANO FROM SCS_M_INTLC WHERE INT_SANO > 0 GROUP BY INT_SANO "
                                          "HAVING COUNT(*) >= 3 ORDER BY INT_SANO");
        QVERIFY(!groups.isEmpty());
        FSa = groups.first().toInt();
        FMembers = Column(QStringLiteral("SELECT INT_LCNO FROM SCS_M_INTLC WHERE INT_SANO = %1 ORDER BY INT_LCNO").arg(FSa));
        QVERIFY(FMembers.size() >= 3);
    }
    void init()
    {
        QVERIFY(Exec(QStringLiteral("DELETE FROM SCS_M_INTTPLAN WHERE INT_TPLAN = %1").arg(kPlan)));
    }

    // The rows of the group in number order, key "lcno,plan", state "N"; the
    // stored offsets in their columns, a NULL or missing index empty.
    void loadsGroupWithOffsets()
    {
        QVERIFY(StoreRow(Lc(0), 1, 30, "12"));
        QVERIFY(StoreRow(Lc(0), 3, 30, "NULL"));
        QVERIFY(StoreRow(Lc(0), 16, 30, "40"));
        QVERIFY(StoreRow(Lc(1), 2, 30, "0"));
        TGridModel m;
        Load(m);
        QCOMPARE(m.RecordCount(), FMembers.size());
        for (int r = 0; r < m.RecordCount(); ++r) {
            QCOMPARE(m.Value(r, "INT_LCNO").toString(), FMembers.at(r));
            QCOMPARE(m.Value(r, "INT_TPLAN").toInt(), kPlan);
            QCOMPARE(m.Value(r, m.KeyValueIdx()).toString(), FMembers.at(r) + ",9");
            QCOMPARE(m.State(r), QStringLiteral("N"));
        }
        QCOMPARE(m.Value(0, P(1)).toInt(), 12);
        QVERIFY(m.Value(0, P(2)).toString().isEmpty());
        QVERIFY(m.Value(0, P(3)).isNull());
        QCOMPARE(m.Value(0, P(16)).toInt(), 40);
        QVERIFY(!m.Value(1, P(2)).isNull());
        QCOMPARE(m.Value(1, P(2)).toInt(), 0);
        QVERIFY(m.Value(2, P(1)).isNull());
    }

    // "All" lists every intersection; a group without intersections lists none.
    void allAndEmptyGroup()
    {
        TGridModel m;
        Load(m, true);
        QCOMPARE(m.RecordCount(), Column("SELECT COUNT(*) FROM SCS_M_INTLC").first().toInt());
        Load(m, false, 0x7fff);
        QCOMPARE(m.RecordCount(), 0);
    }

    void planNumberOnEnter_data()
    {
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("remembered");
        QTest::addColumn<int>("kept");
        QTest::newRow("0 restores") << 0 << 3 << 3;
        QTest::newRow("11 restores") << 11 << 3 << 3;
        QTest::newRow("negative restores") << -1 << 4 << 4;
        QTest::newRow("1 accepted") << 1 << 3 << 1;
        QTest::newRow("10 accepted") << 10 << 3 << 10;
    }
    void planNumberOnEnter()
    {
        QFETCH(int, typed);
        QFETCH(int, remembered);
        QFETCH(int, kept);
        QCOMPARE(AcceptPlanNumber(typed, remembered), kept);
    }

    // The upsert: only the offset is updated; a new row gets zero splits.
    void upsertStatements()
    {
        QCOMPARE(SaveOffsetSql(dtMariaDB),
                 QStringLiteral("INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_ASPLIT1, INT_ASPLIT2, "
                                "INT_ASPLIT3, INT_ASPLIT4, INT_ASPLIT5, INT_ASPLIT6, INT_ASPLIT7, INT_ASPLIT8, INT_BSPLIT1, "
                                "INT_BSPLIT2, INT_BSPLIT3, INT_BSPLIT4, INT_BSPLIT5, INT_BSPLIT6, INT_BSPLIT7, INT_BSPLIT8, "
                                "INT_OFFSET) VALUES (:INT_LCNO, :INT_TPLAN, :INT_TPLANINDEX, :INT_ASPLIT1, :INT_ASPLIT2, "
                                ":INT_ASPLIT3, :INT_ASPLIT4, :INT_ASPLIT5, :INT_ASPLIT6, :INT_ASPLIT7, :INT_ASPLIT8, "
                                ":INT_BSPLIT1, :INT_BSPLIT2, :INT_BSPLIT3, :INT_BSPLIT4, :INT_BSPLIT5, :INT_BSPLIT6, "
                                ":INT_BSPLIT7, :INT_BSPLIT8, :INT_OFFSET) ON DUPLICATE KEY UPDATE INT_OFFSET = :INT_OFFSET"));
        const QString oracle = SaveOffsetSql(dtOracle);
        QVERIFY2(oracle.startsWith("MERGE INTO SCS_M_INTTPLAN T USING DUAL ON (T.INT_LCNO = :INT_LCNO AND "
                                   "T.INT_TPLAN = :INT_TPLAN AND T.INT_TPLANINDEX = :INT_TPLANINDEX) "
                                   "WHEN MATCHED THEN UPDATE SET INT_OFFSET = :INT_OFFSET WHEN NOT MATCHED THEN INSERT ("),
                 qPrintable(oracle));
    }

    void storedOffsetValue_data()
    {
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QVariant>("stored");
        const QVariant null(QMetaType(QMetaType::Int));
        QTest::newRow("typed number") << QVariant(25) << QVariant(25);
        QTest::newRow("pasted number") << QVariant("25") << QVariant(25);
        QTest::newRow("pasted with blanks") << QVariant(" 7 ") << QVariant(7);
        QTest::newRow("negative") << QVariant("-3") << QVariant(-3);
        QTest::newRow("zero") << QVariant("0") << QVariant(0);
        QTest::newRow("cleared") << QVariant(QString()) << null;
        QTest::newRow("never loaded") << QVariant() << null;
        QTest::newRow("not a number") << QVariant("abc") << null;
    }
    void storedOffsetValue()
    {
        QFETCH(QVariant, cell);
        QFETCH(QVariant, stored);
        const QVariant v = OffsetValue(cell);
        QCOMPARE(v.isNull(), stored.isNull());
        if (!stored.isNull())
            QCOMPARE(v.toInt(), stored.toInt());
    }

    // A changed row of an intersection without the plan creates its sixteen
    // rows with zero splits and the typed offsets (NULL where empty); saving
    // again leaves one row per key.
    void newPlanRowsWithZeroSplits()
    {
        TGridModel m;
        Load(m);
        Type(m, 1, 1, 15);
        Type(m, 1, 5, 7);
        QCOMPARE(m.State(1), QStringLiteral("M"));
        TGridSaveResult r = SaveOffsets(DM->Con(), dtMariaDB, m);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QStringList offsets = Repeat("NULL", 16);
        offsets[0] = "15";
        offsets[4] = "7";
        QCOMPARE(Offsets(Lc(1)), Expected(offsets));
        QCOMPARE(StoredSplits(Lc(1)), Repeat("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0", 16));
        QCOMPARE(Offsets(Lc(0)), QStringList());   // unchanged rows are not written

        r = SaveOffsets(DM->Con(), dtMariaDB, m);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(Offsets(Lc(1)), Expected(offsets));
    }

    // Clearing a row and saving writes sixteen NULL offsets and keeps the splits.
    void clearKeepsSplits()
    {
        for (int i = 1; i <= 16; ++i)
            QVERIFY(StoreRow(Lc(0), i, 30 + i % 3, QString::number(i * 2)));
        const QStringList splits = StoredSplits(Lc(0));
        TGridModel m;
        Load(m);
        ClearRow(&m, 0);
        QCOMPARE(m.State(0), QStringLiteral("M"));
        for (int i = 1; i <= 16; ++i)
            QVERIFY(m.Value(0, P(i)).toString().isEmpty());
        const TGridSaveResult r = SaveOffsets(DM->Con(), dtMariaDB, m);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(Offsets(Lc(0)), Expected(Repeat("NULL", 16)));
        QCOMPARE(StoredSplits(Lc(0)), splits);
    }

    // A row copied from this list with its caption line: 18 captions and 18
    // values tab-separated, the line break inside one field.
    void paste_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QStringList>("cells");   // P1..P16 after the paste ("-" untouched)
        QStringList caps{"교차로번호", "교차로명칭"};
        for (int i = 1; i <= 16; ++i)
            caps << QStringLiteral("P%1").arg(i);
        QStringList vals{"101", "시청앞"};
        QStringList offsets;
        for (int i = 1; i <= 16; ++i)
            offsets << QString::number(i * 5);
        vals << offsets;
        const QString full = caps.join('\t') + '\n' + vals.join('\t');
        QTest::newRow("35 fields") << full << true << offsets;
        // The last value missing: 34 fields fill P1..P15.
        const QString short34 = caps.join('\t') + '\n' + vals.mid(0, 17).join('\t');
        QStringList first15 = offsets.mid(0, 15);
        first15 << "-";
        QTest::newRow("34 fields") << short34 << true << first15;
        QTest::newRow("trailing line break") << full + "\r\n" << true << offsets;
        QTest::newRow("33 fields") << caps.mid(0, 17).join('\t') + '\n' + vals.mid(0, 16).join('\t') << false
                                   << Repeat("-", 16);
        QTest::newRow("36 fields") << full + "\t1" << false << Repeat("-", 16);
        QTest::newRow("values only") << vals.join('\t') << false << Repeat("-", 16);
        QTest::newRow("empty") << QString() << false << Repeat("-", 16);
    }
    void paste()
    {
        QFETCH(QString, text);
        QFETCH(bool, pasted);
        QFETCH(QStringList, cells);
        TGridModel m;
        Load(m);
        for (int i = 1; i <= 16; ++i)
            m.SetValue(0, m.ColumnIndex(P(i)), "-");
        m.SetState(0, QStringLiteral("N"));
        QCOMPARE(PasteRow(&m, 0, text), pasted);
        QStringList now;
        for (int i = 1; i <= 16; ++i)
            now << m.Value(0, P(i)).toString();
        QCOMPARE(now, cells);
        QCOMPARE(m.State(0), pasted ? QStringLiteral("M") : QStringLiteral("N"));
    }

    // A pasted row keeps its numbers when saved; a non-numeric field is NULL.
    void pastedNumbersAreStored()
    {
        QStringList fields = Repeat("x", 19);
        for (int i = 1; i <= 16; ++i)
            fields << (i == 4 ? QStringLiteral("abc") : i == 6 ? QString() : QString::number(i * 3));
        TGridModel m;
        Load(m);
        QVERIFY(PasteRow(&m, 2, fields.join('\t')));
        const TGridSaveResult r = SaveOffsets(DM->Con(), dtMariaDB, m);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QStringList offsets;
        for (int i = 1; i <= 16; ++i)
            offsets << (i == 4 || i == 6 ? QStringLiteral("NULL") : QString::number(i * 3));
        QCOMPARE(Offsets(Lc(2)), Expected(offsets));
    }

    // A save failing at its third row changes no table and keeps the grid as it was.
    void failedSaveKeepsEverything()
    {
        QVERIFY(StoreRow(Lc(0), 1, 30, "5"));
        TGridModel m;
        Load(m);
        Type(m, 0, 1, 6);
        Type(m, 1, 2, 8);
        Type(m, 2, 3, 99999);   // beyond the column's range: the database refuses it
        const QStringList before = Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_LCNO, INT_TPLANINDEX, "
                                                         "COALESCE(INT_OFFSET,'NULL')) FROM SCS_M_INTTPLAN ORDER BY 1"));
        QList<QVariantList> values;
        for (int r = 0; r < 3; ++r)
            values << m.RecordValues(r);

        const TGridSaveResult r = SaveOffsets(DM->Con(), dtMariaDB, m);
        QVERIFY(!r.Ok);
        QCOMPARE(r.FailedRecord, 2);
        QVERIFY(!r.Error.isEmpty());
        QCOMPARE(Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_LCNO, INT_TPLANINDEX, COALESCE(INT_OFFSET,'NULL')) "
                                       "FROM SCS_M_INTTPLAN ORDER BY 1")),
                 before);
        for (int rec = 0; rec < 3; ++rec) {
            QCOMPARE(m.RecordValues(rec), values.at(rec));
            QCOMPARE(m.State(rec), QStringLiteral("M"));
        }
    }
};

QTEST_MAIN(TestOffsetInfo)
#include "tst_offset_info.moc"
