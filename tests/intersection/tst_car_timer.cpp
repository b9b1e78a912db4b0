// The countdown timer editor against the fixture database: ticks packed into the
// 32 state bytes, the state of records with and without a stored row, deleting,
// the reserved column SSL on MariaDB, and modal closing.
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"
#include "core/Quorval.h"
#include "intersection/CarTimer.h"
#include "intersection/untCarTimer.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_car_timer";
// The 32 bytes of intersection 2 in stored order.
const char *const kBytes =
    "SELECT CONCAT_WS(' ', NN, EE, SS, WW, NE, SE, SW, EW, R1, R2, R3, R4, R5, R6, R7, R8, "
    "NNL, EEL, `SSL`, WWL, NEL, SEL, SWL, EWL, R1L, R2L, R3L, R4L, R5L, R6L, R7L, R8L) "
    "FROM SCS_M_CARTIMER WHERE INT_LCNO = 2";

int Rec(TGridModel *m, int lcNo)
{
    return m->FindText(m->ColumnIndex("INT_LCNO"), QString::number(lcNo));
}

// Ticks (display, line) on the record of an intersection.
using TTicks = QList<QPair<QString, int>>;

} // namespace

class TestCarTimer : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb)); }
    void init()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QString err;
        // Intersection 1 has a stored row (NN: isEnable and isSpecial plus the high
        // bits 0xF0; SSL: isWireless); intersection 2 has none.
        QVERIFY2(FDb.Run("DELETE FROM SCS_M_CARTIMER WHERE INT_LCNO IN (1, 2);"
                         "INSERT INTO SCS_M_CARTIMER (INT_LCNO, NN, `SSL`) VALUES (1, 249, 2);",
                         &err),
                 qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    void loadsTheBits()
    {
        TfrmCarTimer w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        const int one = Rec(m, 1), two = Rec(m, 2);
        QVERIFY(one >= 0 && two >= 0);
        QCOMPARE(m->Value(one, "DB").toInt(), 1);
        QCOMPARE(m->Value(two, "DB").toInt(), 0);
        QStringList nn;
        for (int line = 1; line <= 8; ++line)
            nn << m->Value(one, CarTimer::CellName("NN", line)).toString();
        QCOMPARE(nn, QStringList({"1", "0", "0", "1", "0", "0", "0", "0"}));
        QCOMPARE(m->Value(one, CarTimer::CellName("SS", 6)).toString(), QString("1"));
        QCOMPARE(m->Value(two, CarTimer::CellName("NN", 1)).toString(), QString("0"));
        QCOMPARE(m->State(two), QString("N"));
        // The group's intersections only; "All" lists every group.
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_SANO = 1"), QStringList{QString::number(m->RecordCount())});
        w.cbxAllTCDV->setChecked(true);
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC"), QStringList{QString::number(m->RecordCount())});
        QVERIFY(!w.btnAdd->isVisible());
    }

    // Ticks on intersection 2 (no stored row) and the 32 bytes the save inserts.
    void ticksToBytes_data()
    {
        QTest::addColumn<TTicks>("ticks");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("one tick inserts one bit")
            << TTicks{{"EE", 2}} << "0 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";
        QTest::newRow("all four straight flags of north")
            << TTicks{{"NN", 1}, {"NN", 2}, {"NN", 3}, {"NN", 4}}
            << "15 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";
        QTest::newRow("left turn of south is SSL")
            << TTicks{{"SS", 5}, {"SS", 8}} << "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 9 0 0 0 0 0 0 0 0 0 0 0 0 0";
        QTest::newRow("north-west and the last further display")
            << TTicks{{"EW", 3}, {"R8", 7}, {"R8", 4}}
            << "0 0 0 0 0 0 0 4 0 0 0 0 0 0 0 8 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 4";
    }
    void ticksToBytes()
    {
        QFETCH(TTicks, ticks);
        QFETCH(QString, bytes);
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TfrmCarTimer w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        const int rec = Rec(m, 2);
        for (const auto &t : ticks)
            m->EditValue(rec, m->ColumnIndex(CarTimer::CellName(t.first, t.second)), 1);
        QCOMPARE(m->State(rec), QString("I"));
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column(kBytes), QStringList{bytes});
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
    }

    // An update of a stored row writes SSL and clears bits 4 to 7.
    void updateWritesSslAndClearsHighBits()
    {
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TfrmCarTimer w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        const int rec = Rec(m, 1);
        m->EditValue(rec, m->ColumnIndex(CarTimer::CellName("SS", 8)), 1);
        QCOMPARE(m->State(rec), QString("M"));
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT CONCAT_WS(' ', NN, EE, `SSL`, R8L) FROM SCS_M_CARTIMER WHERE INT_LCNO = 1"),
                 QStringList{"9 0 10 0"});
    }

    void deleteThenSearch()
    {
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TfrmCarTimer w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        w.cxGrid->FocusRecord(Rec(m, 1));
        w.actDel->trigger();
        QCOMPARE(m->State(Rec(m, 1)), QString("D"));
        // Editing a deleted record with a stored row leaves it deleted.
        m->EditValue(Rec(m, 1), m->ColumnIndex(CarTimer::CellName("WW", 1)), 1);
        QCOMPARE(m->State(Rec(m, 1)), QString("D"));
        // One without a stored row turns inserted.
        w.cxGrid->FocusRecord(Rec(m, 2));
        w.actDel->trigger();
        m->EditValue(Rec(m, 2), m->ColumnIndex(CarTimer::CellName("WW", 1)), 1);
        QCOMPARE(m->State(Rec(m, 2)), QString("I"));
        m->EditValue(Rec(m, 2), m->ColumnIndex(CarTimer::CellName("WW", 1)), 0);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT INT_LCNO FROM SCS_M_CARTIMER WHERE INT_LCNO IN (1, 2)"), QStringList{"2"});
        const int one = Rec(m, 1);
        QVERIFY(one >= 0);
        QCOMPARE(m->Value(one, "DB").toInt(), 0);
        QCOMPARE(m->Value(one, CarTimer::CellName("NN", 1)).toString(), QString("0"));
        QCOMPARE(m->State(one), QString("N"));
    }

    // Someone else stored a row for intersection 2 meanwhile: the insert fails,
    // nothing is written and the ticks stay.
    void failedSaveKeepsTheTicks()
    {
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TfrmCarTimer w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        m->EditValue(Rec(m, 1), m->ColumnIndex(CarTimer::CellName("R1", 1)), 1);
        m->EditValue(Rec(m, 2), m->ColumnIndex(CarTimer::CellName("NN", 2)), 1);
        QVERIFY(EditorFixture::Exec("INSERT INTO SCS_M_CARTIMER (INT_LCNO, NN) VALUES (2, 8)"));
        QVERIFY(!w.actSaveExecute());
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QCOMPARE(Column("SELECT CONCAT_WS(' ', INT_LCNO, NN, IFNULL(R1, 'NULL')) FROM SCS_M_CARTIMER "
                        "WHERE INT_LCNO IN (1, 2) ORDER BY INT_LCNO"),
                 QStringList({"1 249 NULL", "2 8 NULL"}));
        QCOMPARE(m->State(Rec(m, 1)), QString("M"));
        QCOMPARE(m->State(Rec(m, 2)), QString("I"));
        QCOMPARE(m->Value(Rec(m, 2), CarTimer::CellName("NN", 2)).toInt(), 1);
    }

    void intersectionCellIsReadOnly()
    {
        TfrmCarTimer w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        QVERIFY(!(m->flags(m->index(0, m->ColumnIndex("INT_LCNO"))) & Qt::ItemIsEditable));
        QVERIFY(!m->setData(m->index(0, m->ColumnIndex("INT_LCNO")), 77));
        QCOMPARE(m->State(0), QString("N"));
    }

    void modalCloseGivesOk()
    {
        TfrmCarTimer w;
        w.SetSA_ID(1);
        QTimer::singleShot(0, &w, [&w] { w.actClose->trigger(); });
        QCOMPARE(w.ShowModal(), int(TfrmBase::mrOK));
    }
};

QTEST_MAIN(TestCarTimer)
#include "tst_car_timer.moc"
