// Phases of the TOD plan editor on the demo city: the plan-class list by
// controller type, loading (main, virtual, stray rows, unknown number), the
// edits and pastes with the row states they give, the checks before a save and
// the statements of a save with their cascade to virtual intersections.
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "core/Quorval.h"
#include "plans/TcdvTodUnit.h"

using EditorFixture::Column;
using EditorFixture::Exec;
using namespace TcdvTod;

namespace {

const char *const kDb = "tst_tod_phases";

// A stored phase row as "movement min max mds main lane fixed yellow ext act dual link".
QString PhaseRow(int lc, int cls, int phase, int ring)
{
    const QStringList r = Column(QStringLiteral(
        "SELECT CONCAT_WS(' ', COALESCE(INT_FLOWNUMBER,'-'), COALESCE(INT_MINSPLIT,'-'), COALESCE(INT_MAXSPLIT,'-'), "
        "COALESCE(INT_MDSCONTROL,'-'), COALESCE(INT_MAINPHASE,'-'), COALESCE(INT_LANE,'-'), COALESCE(INT_FIXEDPHASE,'-'), "
        "COALESCE(INT_YELLOW,'-'), COALESCE(INT_EXTENDED,'-'), COALESCE(INT_ACTCONTROL,'-'), COALESCE(INT_DUALFLAG,'-'), "
        "COALESCE(LINK_ID,'-')) FROM SCS_M_INTPHASE WHERE INT_LCNO = %1 AND INT_PLANCLSS = %2 AND INT_PHASENO = %3 "
        "AND INT_RING = %4").arg(lc).arg(cls).arg(phase).arg(ring));
    return r.isEmpty() ? QStringLiteral("none") : r.first();
}

// Every phase row of the intersections in the list, one text per row.
QStringList AllPhases(const QString &lcs)
{
    return Column(QStringLiteral(
        "SELECT CONCAT_WS(' ', INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, COALESCE(INT_FLOWNUMBER,'-'), "
        "COALESCE(INT_MINSPLIT,'-'), COALESCE(INT_YELLOW,'-'), COALESCE(LINK_ID,'-')) FROM SCS_M_INTPHASE "
        "WHERE INT_LCNO IN (%1) ORDER BY INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING").arg(lcs));
}

int Col(const TGridModel &m, const char *name)
{
    return m.ColumnIndex(QString::fromLatin1(name));
}

// Tab-separated 15 fields of a phase row.
QString Fields(const QStringList &f)
{
    return f.join(QLatin1Char('\t'));
}

} // namespace

class TestTodPhases : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        // A second virtual intersection of 16 besides 41 (without phase rows) and a snapshot to restore.
        QVERIFY(FDb.Run("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_NAME, INT_LCTYPE, INT_LAMPTYPE, MAIN_LCNO, INT_SANO) "
                        "VALUES (42, '1220000016', '강남역사거리(보조)', 2, 1, 16, 2);"
                        "CREATE TABLE PHASE_SNAP AS SELECT * FROM SCS_M_INTPHASE;"));
    }
    void init()
    {
        QVERIFY(Exec("DELETE FROM SCS_M_INTPHASE"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE SELECT * FROM PHASE_SNAP"));
    }

    void planClassList_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("newCount");
        QTest::addColumn<int>("newIndex");
        QTest::addColumn<QString>("second");
        QTest::newRow("2004 from seven, index 6") << int(lct2004) << 7 << 6 << 2 << 1 << "시차제";
        QTest::newRow("2004 from seven, index 0") << int(lct2004) << 7 << 0 << 2 << 0 << "시차제";
        QTest::newRow("2004 keeps two") << int(lct2004) << 2 << 1 << 2 << 1 << "시차제";
        QTest::newRow("2010 3L from two") << int(lct2010_3L) << 2 << 1 << 7 << 1 << "시차제#1";
        QTest::newRow("2010 4L keeps seven") << int(lct2010_4L) << 7 << 6 << 7 << 6 << "시차제#1";
        QTest::newRow("none keeps two") << int(lctNone) << 2 << 1 << 2 << 1 << "시차제";
    }
    void planClassList()
    {
        QFETCH(int, type);
        QFETCH(int, count);
        QFETCH(int, index);
        QFETCH(int, newCount);
        QFETCH(int, newIndex);
        QFETCH(QString, second);
        const QStringList current = count == 2 ? PlanClassEntries(lct2004) : PlanClassEntries(lct2010_4L);
        const TPlanClassSetup s = SetupByLcType(TLcTypeEx(type), current, index);
        QCOMPARE(s.Entries.size(), newCount);
        QCOMPARE(s.Index, newIndex);
        QCOMPARE(s.Entries.value(0), QStringLiteral("일반제"));
        QCOMPARE(s.Entries.value(1), second);
        if (newCount == 7)
            QCOMPARE(s.Entries.value(6), QStringLiteral("보행맵"));
    }

    void movementPicture_data()
    {
        QTest::addColumn<QVariant>("movement");
        QTest::addColumn<int>("picture");
        QTest::newRow("empty") << QVariant() << -1;
        QTest::newRow("0") << QVariant(0) << -1;
        QTest::newRow("-3") << QVariant(-3) << -1;
        QTest::newRow("1") << QVariant(1) << 1;
        QTest::newRow("8") << QVariant(8) << 8;
        QTest::newRow("9") << QVariant(9) << 1;
        QTest::newRow("12") << QVariant(12) << 4;
        QTest::newRow("16") << QVariant(16) << 8;
        QTest::newRow("17") << QVariant(17) << 17;
        QTest::newRow("18") << QVariant(18) << 18;
    }
    void movementPicture()
    {
        QFETCH(QVariant, movement);
        QFETCH(int, picture);
        QCOMPARE(GetMvmtImageIndex(movement), picture);
    }

    // Main intersection 16, its virtual 41 (own movements, no links), an unknown
    // number, and stray stored rows that have no place in the grid.
    void load()
    {
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER) "
                     "VALUES (16, 1, 9, 1, 3), (16, 1, 2, 3, 3), (16, 1, 0, 1, 3)"));
        QVERIFY(Exec("UPDATE SCS_M_INTPHASE SET INT_FLOWNUMBER = 12, LINK_ID = '9999' WHERE INT_LCNO = 41 "
                     "AND INT_PLANCLSS = 1 AND INT_PHASENO = 2 AND INT_RING = 1"));
        QVERIFY(Exec("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO = 41 AND INT_PHASENO = 4 AND INT_RING = 2"));
        TGridModel m;
        QCOMPARE(LoadPhaseGrid(DM->Con(), &m, 16, 1, 0), 8);
        QCOMPARE(m.RecordCount(), 16);
        // Row 3: phase 2 ring B, movement 5, min 15, max 80, link 1221000026.
        QCOMPARE(m.Value(3, Col(m, "INT_PHASENO")).toInt(), 2);
        QCOMPARE(m.Value(3, Col(m, "INT_RING")).toInt(), 2);
        QCOMPARE(m.Value(3, Col(m, "INT_FLOWNUMBER")).toInt(), 5);
        QCOMPARE(m.Value(3, Col(m, "Mvmt")).toInt(), 5);
        QCOMPARE(m.Value(3, Col(m, "INT_MINSPLIT")).toInt(), 15);
        QCOMPARE(m.Text(3, Col(m, "LINK_ID")), QStringLiteral("1221000026"));
        QCOMPARE(m.KeyValue(3).toString(), QStringLiteral("16,1,2,2"));
        QCOMPARE(m.State(3), QStringLiteral("N"));
        // Phases 5-8 stay prepared: numbered, no key.
        QCOMPARE(m.Value(15, Col(m, "INT_PHASENO")).toInt(), 8);
        QCOMPARE(m.Value(15, Col(m, "INT_RING")).toInt(), 2);
        QVERIFY(m.Value(15, Col(m, "INT_FLOWNUMBER")).isNull());
        QCOMPARE(m.KeyValue(15).toString(), QString());

        TGridModel v;
        QCOMPARE(LoadPhaseGrid(DM->Con(), &v, 41, 1, 16), 8);
        QCOMPARE(v.RecordCount(), 16);
        // Own movement and link where 41 has them, the main's plan values.
        QCOMPARE(v.Value(2, Col(v, "INT_FLOWNUMBER")).toInt(), 12);
        QCOMPARE(v.Value(2, Col(v, "Mvmt")).toInt(), 4);
        QCOMPARE(v.Text(2, Col(v, "LINK_ID")), QStringLiteral("9999"));
        QCOMPARE(v.Value(2, Col(v, "INT_MINSPLIT")).toInt(), 15);
        QCOMPARE(v.KeyValue(2).toString(), QStringLiteral("41,1,2,1"));
        // Without an own row: the main's movement and no key.
        QCOMPARE(v.Value(7, Col(v, "INT_FLOWNUMBER")).toInt(), 7);
        QCOMPARE(v.KeyValue(7).toString(), QString());
        QCOMPARE(v.Text(7, Col(v, "LINK_ID")), QString());

        TGridModel none;
        QCOMPARE(LoadPhaseGrid(DM->Con(), &none, 999, 1, 0), 0);
        QCOMPARE(none.RecordCount(), 16);
        QCOMPARE(none.Value(4, Col(none, "INT_PHASENO")).toInt(), 3);
        QCOMPARE(none.Value(4, Col(none, "INT_RING")).toInt(), 1);
        QCOMPARE(none.State(4), QStringLiteral("N"));
    }

    // Edits and pastes on the grid of 16 (rows 0-7 stored) and of its virtual 41.
    void editsAndPastes_data()
    {
        QTest::addColumn<bool>("virt");
        QTest::addColumn<int>("rec");
        QTest::addColumn<QString>("column");   // an edit of this column ...
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("paste");    // ... or a paste of this text
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("check");    // column read afterwards
        QTest::addColumn<QVariant>("expected");

        const QString full = Fields({"1", "A", "11", "3", "25", "70", "Y", "N", "2", "Y", "4", "N", "Y", "Y", "L1"});
        QTest::newRow("movement on a stored row") << false << 0 << "INT_FLOWNUMBER" << QVariant(9) << "" << true << "M" << "Mvmt" << QVariant(1);
        QTest::newRow("min split on an empty row") << false << 8 << "INT_MINSPLIT" << QVariant(30) << "" << true << "I" << "INT_MINSPLIT" << QVariant(30);
        QTest::newRow("movement 19 refused") << false << 0 << "INT_FLOWNUMBER" << QVariant(19) << "" << false << "N" << "INT_FLOWNUMBER" << QVariant(6);
        QTest::newRow("min split 256 refused") << false << 0 << "INT_MINSPLIT" << QVariant(256) << "" << false << "N" << "INT_MINSPLIT" << QVariant(20);
        QTest::newRow("dual flag on phase 2 refused") << false << 2 << "INT_DUALFLAG" << QVariant(1) << "" << false << "N" << "INT_DUALFLAG" << QVariant(0);
        QTest::newRow("dual flag on phase 3") << false << 4 << "INT_DUALFLAG" << QVariant(1) << "" << true << "M" << "INT_DUALFLAG" << QVariant(1);
        QTest::newRow("phase number read only") << false << 0 << "INT_PHASENO" << QVariant(5) << "" << false << "N" << "INT_PHASENO" << QVariant(1);
        QTest::newRow("virtual min split refused") << true << 0 << "INT_MINSPLIT" << QVariant(5) << "" << false << "N" << "INT_MINSPLIT" << QVariant(20);
        QTest::newRow("virtual movement") << true << 0 << "INT_FLOWNUMBER" << QVariant(2) << "" << true << "M" << "INT_FLOWNUMBER" << QVariant(2);
        QTest::newRow("virtual link") << true << 1 << "LINK_ID" << QVariant("X1") << "" << true << "M" << "LINK_ID" << QVariant("X1");

        QTest::newRow("paste 15 fields") << false << 1 << "" << QVariant() << full << true << "M" << "INT_MAXSPLIT" << QVariant(70);
        QTest::newRow("paste keeps phase and ring") << false << 1 << "" << QVariant() << full << true << "M" << "INT_PHASENO" << QVariant(1);
        QTest::newRow("paste sets picture") << false << 1 << "" << QVariant() << full << true << "M" << "Mvmt" << QVariant(3);
        QTest::newRow("paste Y ticks") << false << 1 << "" << QVariant() << full << true << "M" << "INT_MDSCONTROL" << QVariant(1);
        QTest::newRow("paste into an empty row") << false << 9 << "" << QVariant() << full << true << "I" << "LINK_ID" << QVariant("L1");
        QTest::newRow("paste y gives 0")
            << false << 1 << "" << QVariant()
            << Fields({"1", "A", "11", "3", "25", "70", "y", "N", "2", "Y", "4", "N", "Y", "Y", "L1"}) << true << "M"
            << "INT_MDSCONTROL" << QVariant(0);
        QTest::newRow("paste empty spin gives empty")
            << false << 1 << "" << QVariant()
            << Fields({"1", "A", "11", "3", "", "70", "Y", "N", "2", "Y", "4", "N", "Y", "Y", "L1"}) << true << "M"
            << "INT_MINSPLIT" << QVariant();
        QTest::newRow("paste 14 fields changes nothing")
            << false << 1 << "" << QVariant()
            << Fields({"1", "A", "11", "3", "25", "70", "Y", "N", "2", "Y", "4", "N", "Y", "Y"}) << true << "N"
            << "INT_FLOWNUMBER" << QVariant(2);
        QTest::newRow("paste 16 fields changes nothing") << false << 1 << "" << QVariant() << full + "\tX" << true << "N" << "INT_FLOWNUMBER" << QVariant(2);
        QTest::newRow("paste movement 19 refused")
            << false << 1 << "" << QVariant()
            << Fields({"1", "A", "19", "3", "25", "70", "Y", "N", "2", "Y", "4", "N", "Y", "Y", "L1"}) << false << "N"
            << "INT_MAXSPLIT" << QVariant(80);
        QTest::newRow("paste yellow 300 refused")
            << false << 1 << "" << QVariant()
            << Fields({"1", "A", "11", "3", "25", "70", "Y", "N", "2", "Y", "300", "N", "Y", "Y", "L1"}) << false << "N"
            << "INT_FLOWNUMBER" << QVariant(2);
        QTest::newRow("paste leaves even-phase dual flag") << false << 2 << "" << QVariant() << full << true << "M" << "INT_DUALFLAG" << QVariant(0);
        QTest::newRow("paste on odd phase sets dual flag") << false << 0 << "" << QVariant() << full << true << "M" << "INT_DUALFLAG" << QVariant(1);
        QTest::newRow("virtual paste keeps plan values") << true << 0 << "" << QVariant() << full << true << "M" << "INT_MAXSPLIT" << QVariant(80);
        QTest::newRow("virtual paste takes movement") << true << 0 << "" << QVariant() << full << true << "M" << "INT_FLOWNUMBER" << QVariant(11);
    }
    void editsAndPastes()
    {
        QFETCH(bool, virt);
        QFETCH(int, rec);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QString, paste);
        QFETCH(bool, ok);
        QFETCH(QString, state);
        QFETCH(QString, check);
        QFETCH(QVariant, expected);
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, virt ? 41 : 16, 1, virt ? 16 : 0) > 0);
        const QVariantList before = m.RecordValues(rec);
        TEditResult r = column.isEmpty() ? PastePhaseRow(&m, rec, paste, virt)
                                         : EditPhaseCell(&m, rec, m.ColumnIndex(column), value, virt);
        QCOMPARE(r.Ok, ok);
        QCOMPARE(r.Message.isEmpty(), ok);
        QCOMPARE(m.State(rec), state);
        const QVariant got = m.Value(rec, check);
        if (expected.isNull())
            QVERIFY2(got.isNull() || got.toString().isEmpty(), qPrintable(got.toString()));
        else
            QCOMPARE(got.toString(), expected.toString());
        if (!ok)
            QCOMPARE(m.RecordValues(rec), before);
    }

    void copyRow()
    {
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, 16, 1, 0) > 0);
        QCOMPARE(PhaseRowText(m, 1), Fields({"1", "B", "2", "2", "20", "80", "N", "Y", "3", "N", "3", "N", "N", "N", "1221000026"}));
        // A copied row pasted into another row gives the same values there.
        QVERIFY(PastePhaseRow(&m, 9, PhaseRowText(m, 1), false).Ok);
        QCOMPARE(m.Value(9, "INT_FLOWNUMBER").toInt(), 2);
        QCOMPARE(m.Value(9, "INT_MAINPHASE").toInt(), 1);
        QCOMPARE(m.Value(9, "INT_PHASENO").toInt(), 5);
    }

    void checks()
    {
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, 16, 1, 0) > 0);
        QVERIFY(CheckPhaseRows(m).Ok);
        // A changed row without a movement.
        QVERIFY(EditPhaseCell(&m, 10, m.ColumnIndex("INT_MINSPLIT"), 10, false).Ok);
        TGridCheckResult c = CheckPhaseRows(m);
        QCOMPARE(c.Problem, TGridCheckResult::Required);
        QCOMPARE(c.Record, 10);
        QVERIFY(EditPhaseCell(&m, 10, m.ColumnIndex("INT_FLOWNUMBER"), 4, false).Ok);
        QVERIFY(CheckPhaseRows(m).Ok);
        // Two rows of the same phase and ring.
        m.SetValue(3, m.ColumnIndex("INT_RING"), 1);
        c = CheckPhaseRows(m);
        QCOMPARE(c.Problem, TGridCheckResult::Duplicate);
        QCOMPARE(c.Record, 2);
    }

    // An edit reaches only its row; its virtual intersections keep theirs.
    void saveUpdateReachesOnlyItsRow()
    {
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, 16, 1, 0) > 0);
        QStringList before = AllPhases("16, 41, 42");
        QVERIFY(EditPhaseCell(&m, 5, m.ColumnIndex("INT_YELLOW"), 4, false).Ok);
        QVERIFY(EditPhaseCell(&m, 5, m.ColumnIndex("INT_FLOWNUMBER"), 14, false).Ok);
        const TGridSaveResult r = SavePhases(DM->Con(), m, 16, 1, false);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(r.Count, 1);
        QCOMPARE(PhaseRow(16, 1, 3, 2), QStringLiteral("14 15 80 0 0 3 0 4 0 0 0 1221000071"));
        const QStringList after = AllPhases("16, 41, 42");
        before.replace(before.indexOf("16 1 3 2 4 15 3 1221000071"), "16 1 3 2 14 15 4 1221000071");
        QCOMPARE(after, before);
    }

    // An inserted row reaches every virtual intersection that lacks it, none when one has it.
    void saveInsertCascades()
    {
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, 16, 1, 0) > 0);
        QVERIFY(PastePhaseRow(&m, 9, Fields({"5", "B", "13", "", "12", "40", "N", "N", "2", "N", "3", "N", "N", "N", ""}), false).Ok);
        QCOMPARE(m.State(9), QStringLiteral("I"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER) VALUES (41, 1, 6, 1, 2)"));
        QVERIFY(EditPhaseCell(&m, 10, m.ColumnIndex("INT_FLOWNUMBER"), 15, false).Ok);
        const TGridSaveResult r = SavePhases(DM->Con(), m, 16, 1, false);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(r.Count, 2);
        QCOMPARE(PhaseRow(16, 1, 5, 2), QStringLiteral("13 12 40 0 0 2 0 3 0 0 0 -"));
        QCOMPARE(PhaseRow(41, 1, 5, 2), QStringLiteral("13 - - - - - - - - - - -"));
        QCOMPARE(PhaseRow(42, 1, 5, 2), QStringLiteral("13 - - - - - - - - - - -"));
        QCOMPARE(PhaseRow(16, 1, 6, 1), QStringLiteral("15 0 0 0 0 0 0 0 0 0 0 -"));
        QCOMPARE(PhaseRow(41, 1, 6, 1), QStringLiteral("2 - - - - - - - - - - -"));
        QCOMPARE(PhaseRow(42, 1, 6, 1), QStringLiteral("none"));
    }

    // A deleted stored row goes with the same row of every virtual intersection;
    // a deleted row never stored writes nothing.
    void saveDelete()
    {
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER) VALUES (42, 1, 4, 1, 3), (41, 2, 4, 1, 3)"));
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, 16, 1, 0) > 0);
        m.MarkDeleted(6);
        m.MarkDeleted(12);
        const QStringList others = AllPhases("1, 2, 3");
        TGridSaveResult r = SavePhases(DM->Con(), m, 16, 1, false);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(r.Count, 1);
        QCOMPARE(PhaseRow(16, 1, 4, 1), QStringLiteral("none"));
        QCOMPARE(PhaseRow(41, 1, 4, 1), QStringLiteral("none"));
        QCOMPARE(PhaseRow(42, 1, 4, 1), QStringLiteral("none"));
        QCOMPARE(PhaseRow(41, 2, 4, 1), QStringLiteral("3 - - - - - - - - - - -")); // another plan class
        QCOMPARE(PhaseRow(16, 1, 4, 2), QStringLiteral("7 15 80 0 0 3 0 3 0 0 0 1221000071"));
        QCOMPARE(AllPhases("1, 2, 3"), others);

        TGridModel only;
        QVERIFY(LoadPhaseGrid(DM->Con(), &only, 16, 1, 0) > 0);
        only.MarkDeleted(14);
        const QStringList before = AllPhases("16, 41, 42");
        r = SavePhases(DM->Con(), only, 16, 1, false);
        QVERIFY(r.Ok);
        QCOMPARE(r.Count, 0);
        QCOMPARE(AllPhases("16, 41, 42"), before);
    }

    // A virtual intersection stores its own rows with plan values 0, inserting
    // the rows it has none of.
    void saveVirtual()
    {
        QVERIFY(Exec("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO = 41 AND INT_PHASENO = 4 AND INT_RING = 2"));
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, 41, 1, 16) > 0);
        QVERIFY(EditPhaseCell(&m, 0, m.ColumnIndex("INT_FLOWNUMBER"), 5, true).Ok);
        QVERIFY(EditPhaseCell(&m, 7, m.ColumnIndex("LINK_ID"), QStringLiteral("L7"), true).Ok);
        QCOMPARE(m.State(7), QStringLiteral("I"));
        const QStringList main = AllPhases("16");
        const TGridSaveResult r = SavePhases(DM->Con(), m, 41, 1, true);
        QVERIFY2(r.Ok, qPrintable(r.Error));
        QCOMPARE(r.Count, 2);
        QCOMPARE(PhaseRow(41, 1, 1, 1), QStringLiteral("5 0 0 0 0 0 0 0 0 0 0 -"));
        QCOMPARE(PhaseRow(41, 1, 4, 2), QStringLiteral("7 0 0 0 0 0 0 0 0 0 0 L7"));
        QCOMPARE(AllPhases("16"), main);
    }

    // The third statement fails: nothing of the save remains, the model keeps its edits.
    void failureRollsBack()
    {
        QVERIFY(FDb.Run("CREATE TABLE PHASE_GUARD (V INT NOT NULL PRIMARY KEY); INSERT INTO PHASE_GUARD VALUES (77);"
                        "CREATE TRIGGER PHASE_GUARD_T AFTER UPDATE ON SCS_M_INTPHASE FOR EACH ROW "
                        "INSERT INTO PHASE_GUARD (V) SELECT 77 FROM DUAL WHERE NEW.INT_LANE = 77;"));
        TGridModel m;
        QVERIFY(LoadPhaseGrid(DM->Con(), &m, 16, 1, 0) > 0);
        QVERIFY(EditPhaseCell(&m, 0, m.ColumnIndex("INT_LANE"), 5, false).Ok);
        QVERIFY(EditPhaseCell(&m, 1, m.ColumnIndex("INT_FLOWNUMBER"), 3, false).Ok);
        QVERIFY(EditPhaseCell(&m, 3, m.ColumnIndex("INT_LANE"), 77, false).Ok);  // the third statement
        const QStringList before = AllPhases("16, 41, 42");
        const TGridSaveResult r = SavePhases(DM->Con(), m, 16, 1, false);
        QVERIFY(!r.Ok);
        QVERIFY(!r.Error.isEmpty());
        QCOMPARE(AllPhases("16, 41, 42"), before);
        QCOMPARE(m.State(0), QStringLiteral("M"));
        QCOMPARE(m.State(1), QStringLiteral("M"));
        QCOMPARE(m.Value(1, "INT_FLOWNUMBER").toInt(), 3);
        QCOMPARE(m.Value(3, "INT_LANE").toInt(), 77);
        QVERIFY(Exec("DROP TRIGGER PHASE_GUARD_T"));
    }

    void cleanupTestCase() { FDb.Close(); }
};

QTEST_MAIN(TestTodPhases)
#include "tst_tod_phases.moc"
