// The flash map editor window against the fixture database: loading codes as
// texts per controller type, insert, update and delete by the stored flag and
// the row state, outputs 7 and 8 of a 2004 controller, the editing rules and
// headers that follow the focused row, and row copy and paste.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

#include "EditorFixture.h"
#include "core/Quorval.h"
#include "intersection/untTCDV_E_FlashMap.h"

using EditorFixture::Column;
using Flash::TKind;

namespace {

const char *const kDb = "tst_flash_window";

// 1: 2010 four lamps, 2: 2010 three lamps, 3 and 6: 2004, 4: four lamps without a map.
const char *const kSetUp =
    "UPDATE SCS_M_INTLC SET INT_LCTYPE = 2, INT_LAMPTYPE = 1 WHERE INT_LCNO IN (1, 4);"
    "UPDATE SCS_M_INTLC SET INT_LCTYPE = 2, INT_LAMPTYPE = 0 WHERE INT_LCNO = 2;"
    "UPDATE SCS_M_INTLC SET INT_LCTYPE = 1 WHERE INT_LCNO IN (3, 6);"
    "DELETE FROM SCS_M_INTFLSMAP WHERE INT_LCNO IN (1, 2, 3, 4, 6);"
    "INSERT INTO SCS_M_INTFLSMAP (INT_LCNO, INT_VEH1, INT_PED1, INT_VEH2, INT_PED2, INT_VEH7, INT_PED7, "
    "INT_VARIABCNTL, INT_FLASHTIME) VALUES "
    "(1, 16, 16, 64, 0, 0, 0, 0, 20), (2, 49, 132, 0, 0, 0, 0, 0, 25),"
    "(3, 48, 32, 0, 16, NULL, NULL, 1, 30), (6, 0, 16, 0, 16, NULL, NULL, 0, 10);";

int RecordOf(TfrmTCDV_E_FlashMap &w, int lc)
{
    TGridModel *m = w.GridModel();
    for (int r = 0; r < m->RecordCount(); ++r)
        if (m->Value(r, TfrmTCDV_E_FlashMap::colLCNO).toInt() == lc)
            return r;
    return -1;
}

void Focus(TfrmTCDV_E_FlashMap &w, int lc, int col = TfrmTCDV_E_FlashMap::colFirstOutput)
{
    w.cxGrid->FocusRecord(RecordOf(w, lc), col);
}

} // namespace

class TestFlashWindow : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb)); }
    void init()
    {
        QString err;
        QVERIFY2(FDb.Run(kSetUp, &err), qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    void loadsTextsPerTypeAndKind()
    {
        TfrmTCDV_E_FlashMap w;
        w.show();
        w.cbxAllTCDV->setChecked(true);
        QVERIFY(w.Searched());
        QVERIFY(!w.edtSA->isEnabled());
        TGridModel *m = w.GridModel();
        QVERIFY(m->RecordCount() >= 6);
        const int v1 = w.OutputCol(1, TKind::Vehicle), p1 = w.OutputCol(1, TKind::Pedestrian);
        const int v2 = w.OutputCol(2, TKind::Vehicle), p2 = w.OutputCol(2, TKind::Pedestrian);
        const int v7 = w.OutputCol(7, TKind::Vehicle);
        const struct { int lc, col; QString text; } cases[] = {
            {1, v1, "YF"}, {1, p1, "RF"}, {1, v2, "X"}, {1, p2, "X"},   // four lamps
            {2, v1, "G0;YF"}, {2, p1, "RF;X"}, {2, v2, "R0;R0"},         // three lamps
            {3, v1, "GF"}, {3, p1, "GF"}, {3, v2, "RF"}, {3, p2, "RF"},  // 2004
            {3, v7, ""},                                                 // 2004 output 7
            {4, v1, "RF"}, {4, p1, "X"}, {4, v7, "RF"},                  // no map stored
        };
        for (const auto &c : cases)
            QCOMPARE(m->Text(RecordOf(w, c.lc), c.col), c.text);
        QCOMPARE(m->Value(RecordOf(w, 3), w.ColDB()).toInt(), 1);
        QCOMPARE(m->Value(RecordOf(w, 4), w.ColDB()).toInt(), 0);
        QVERIFY(m->Value(RecordOf(w, 4), w.ColFlashTime()).isNull());
        QCOMPARE(m->State(RecordOf(w, 1)), QString("N"));
        QCOMPARE(m->KeyValue(RecordOf(w, 1)).toInt(), 1);
    }

    // Editing rules and headers follow the focused row's type.
    void rulesFollowTheFocusedRow()
    {
        TfrmTCDV_E_FlashMap w;
        w.show();
        w.cbxAllTCDV->setChecked(true);
        const int v7 = w.OutputCol(7, TKind::Vehicle), p8 = w.OutputCol(8, TKind::Pedestrian);
        const struct { int lc; TLcTypeEx type; bool out78, flag; QString band2, caption; } cases[] = {
            {3, lct2004, false, true, "LSU #2", "VEH"},
            {1, lct2010_4L, true, false, "LSU #2", "VEH"},
            {2, lct2010_3L, true, false, "LSU #3 | LSU #4", "P1 | P2"},
        };
        for (const auto &c : cases) {
            Focus(w, c.lc);
            const int rec = RecordOf(w, c.lc);
            QCOMPARE(w.FocusedLc(), c.lc);
            QCOMPARE(w.FocusedLcType(), c.type);
            QCOMPARE(w.CellEditable(rec, v7), c.out78);
            QCOMPARE(w.CellEditable(rec, p8), c.out78);
            QCOMPARE(w.CellEditable(rec, w.ColVariabCntl()), c.flag);
            QCOMPARE(w.LsuBandCaption(1), c.band2);
            QCOMPARE(w.OutputCaption(w.OutputCol(1, TKind::Vehicle)), c.caption);
            QCOMPARE(w.cxGrid->Header()->Bands().at(4).Caption, c.band2);
        }
    }

    // Insert, update and delete by the stored flag and the state; 2004 outputs 7
    // and 8 stay NULL.
    void saveByStoredFlagAndState()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_FlashMap w;
        w.show();
        w.cbxAllTCDV->setChecked(true);
        TGridModel *m = w.GridModel();
        const int v1 = w.OutputCol(1, TKind::Vehicle), p1 = w.OutputCol(1, TKind::Pedestrian);
        m->EditValue(RecordOf(w, 4), v1, "GF");                    // no map: insert
        m->EditValue(RecordOf(w, 2), p1, "GF;Y0");                 // stored: update
        m->EditValue(RecordOf(w, 6), w.ColFlashTime(), 12);        // 2004 stored: update
        m->EditValue(RecordOf(w, 3), w.ColVariabCntl(), 0);
        QCOMPARE(m->State(RecordOf(w, 4)), QString("I"));
        QCOMPARE(m->State(RecordOf(w, 2)), QString("M"));
        w.cxGrid->FocusRecord(RecordOf(w, 1));
        w.actDel->trigger();                                        // stored: delete
        QCOMPARE(m->State(RecordOf(w, 1)), QString("D"));
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_LCNO, INT_VEH1, INT_PED1, IFNULL(INT_VEH8, 'NULL'), "
                        "INT_FLASHTIME, INT_VARIABCNTL) FROM SCS_M_INTFLSMAP WHERE INT_LCNO IN (1, 2, 3, 4, 6) "
                        "ORDER BY INT_LCNO"),
                 QStringList({"2,49,37,0,25,0", "3,48,32,NULL,30,0", "4,48,0,0,0,0", "6,0,16,NULL,12,0"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTFLSMAP WHERE INT_LCNO IN (3, 6) AND (INT_VEH7 IS NOT NULL "
                        "OR INT_PED7 IS NOT NULL OR INT_VEH8 IS NOT NULL OR INT_PED8 IS NOT NULL)"),
                 QStringList({"0"}));
        // Reloaded: the inserted row is stored now.
        QCOMPARE(m->Value(RecordOf(w, 4), w.ColDB()).toInt(), 1);
        QCOMPARE(m->State(RecordOf(w, 4)), QString("N"));
    }

    // A four-lamp row pastes onto a 2004 row, not onto a three-lamp row.
    void copyAndPaste()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_FlashMap w;
        w.show();
        w.cbxAllTCDV->setChecked(true);
        TGridModel *m = w.GridModel();
        Focus(w, 3);
        w.actPasteRowExecute();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("복사된 행이 없습니다."));
        Focus(w, 1);
        w.actCopyRowExecute();
        Focus(w, 2);
        w.actPasteRowExecute();
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().text, QString("교차로 타입을 확인바랍니다."));
        QCOMPARE(m->State(RecordOf(w, 2)), QString("N"));
        Focus(w, 3);
        w.actPasteRowExecute();
        QCOMPARE(boxes.count(), 2);
        const int rec = RecordOf(w, 3);
        QCOMPARE(m->Text(rec, w.OutputCol(1, TKind::Vehicle)), QString("YF"));
        QCOMPARE(m->Text(rec, w.OutputCol(2, TKind::Vehicle)), QString("X"));
        QCOMPARE(m->Value(rec, w.ColFlashTime()).toInt(), 20);
        QCOMPARE(m->Value(rec, w.ColVariabCntl()).toInt(), 0);
        QCOMPARE(m->Value(rec, TfrmTCDV_E_FlashMap::colLCNO).toInt(), 3);
        QCOMPARE(m->State(rec), QString("M"));
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_VEH1, INT_VEH2, IFNULL(INT_VEH7, 'NULL'), IFNULL(INT_PED8, 'NULL'), "
                        "INT_FLASHTIME) FROM SCS_M_INTFLSMAP WHERE INT_LCNO = 3"),
                 QStringList({"16,64,NULL,NULL,20"}));
    }

    // Geometry and texts of the two halves of a three-lamp cell.
    void halfCellRules()
    {
        using Flash::HalfText, Flash::WithHalf, Flash::HalfRect, Flash::HalfButtonRect, Flash::HalfButtonAt,
            Flash::HalfListRect;
        const struct { QString text; TLsuType2 half; QString code, p, after; } texts[] = {
            {"G0;YF", ltP1, "RF", "G0", "RF;YF"},
            {"G0;YF", ltP2, "X", "YF", "G0;X"},
            {";", ltP2, "GF", "", ";GF"},          // empty halves (unknown codes)
            {"R0;R0", ltNone, "GF", "", "R0;R0"},
        };
        for (const auto &t : texts) {
            QCOMPARE(HalfText(t.text, t.half), t.p);
            QCOMPARE(WithHalf(t.text, t.half, t.code), t.after);
        }
        // A cell 60 wide at (100, 20), buttons 14 wide.
        const QRect cell(100, 20, 60, 20);
        QCOMPARE(HalfRect(cell, ltP1), QRect(100, 20, 30, 20));
        QCOMPARE(HalfRect(cell, ltP2), QRect(130, 20, 30, 20));
        QCOMPARE(HalfButtonRect(cell, ltP1, 14), QRect(116, 20, 14, 20));
        QCOMPARE(HalfButtonRect(cell, ltP2, 14), QRect(146, 20, 14, 20));
        const struct { QPoint at; TLsuType2 half; } hits[] = {
            {{120, 25}, ltP1}, {{129, 39}, ltP1}, {{110, 25}, ltNone}, {{135, 25}, ltNone},
            {{146, 20}, ltP2}, {{159, 39}, ltP2}, {{160, 25}, ltNone}, {{150, 40}, ltNone},
        };
        for (const auto &h : hits)
            QCOMPARE(HalfButtonAt(cell, h.at, 14), h.half);
        QCOMPARE(HalfListRect(cell, ltP1, 14, 100), QRect(100, 40, 30, 100));
        QCOMPARE(HalfListRect(cell, ltP2, 14, 100), QRect(130, 40, 30, 100));
    }

    // A three-lamp row: headers in halves; each half opens its own list by its
    // button, a second click closes it, the chosen item is written into that
    // half only and saved.
    void threeLampHalfLists()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_FlashMap w;
        w.resize(900, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.cbxAllTCDV->setChecked(true);
        TGridModel *m = w.GridModel();
        const int v1 = w.OutputCol(1, TKind::Vehicle), p1 = w.OutputCol(1, TKind::Pedestrian);
        const int rec = RecordOf(w, 2);
        Focus(w, 3);
        QCOMPARE(w.LsuBandParts(0), QStringList());
        QCOMPARE(w.OutputParts(v1), QStringList());
        QCOMPARE(w.cxGrid->Header()->Bands().at(3).Parts, QStringList());
        Focus(w, 2);
        QCOMPARE(w.LsuBandParts(0), QStringList({"LSU #1", "LSU #2"}));
        QCOMPARE(w.LsuBandParts(7), QStringList({"LSU #15", "LSU #16"}));
        QCOMPARE(w.OutputParts(p1), QStringList({"P1", "P2"}));
        QCOMPARE(w.OutputParts(w.ColFlashTime()), QStringList());
        QCOMPARE(w.cxGrid->Header()->Bands().at(3).Parts, QStringList({"LSU #1", "LSU #2"}));
        QCOMPARE(w.cxGrid->Header()->Bands().at(4).Parts, QStringList({"LSU #3", "LSU #4"}));

        // A click on the P2 button of "G0;YF" opens the list under that half with "YF" chosen.
        const QRect cell = w.CellRect(rec, v1);
        QVERIFY(cell.isValid());
        const QPoint p2Button = Flash::HalfButtonRect(cell, ltP2, w.HalfButtonWidth).center();
        QTest::mouseClick(w.cxGrid->viewport(), Qt::LeftButton, {}, p2Button);
        QCOMPARE(w.OpenHalf(), ltP2);
        QVERIFY(w.lstHalf->isVisible());
        QCOMPARE(w.lstHalf->currentItem()->text(), QString("YF"));
        QCOMPARE(w.lstHalf->count(), 7);
        QCOMPARE(w.lstHalf->geometry().left(),
                 w.cxGrid->viewport()->mapTo(&w, Flash::HalfRect(cell, ltP2).topLeft()).x());
        // A second click on the same half closes it.
        QTest::mouseClick(w.cxGrid->viewport(), Qt::LeftButton, {}, p2Button);
        QCOMPARE(w.OpenHalf(), ltNone);
        QVERIFY(!w.lstHalf->isVisible());
        QCOMPARE(m->State(rec), QString("N"));

        // P1: hovering selects "GF", the release writes it; P2 keeps "YF".
        QTest::mouseClick(w.cxGrid->viewport(), Qt::LeftButton, {},
                          Flash::HalfButtonRect(cell, ltP1, w.HalfButtonWidth).center());
        QCOMPARE(w.OpenHalf(), ltP1);
        QCOMPARE(w.lstHalf->currentItem()->text(), QString("G0"));
        QListWidgetItem *gf = w.lstHalf->findItems("GF", Qt::MatchExactly).value(0);
        QVERIFY(gf);
        const QPoint at = w.lstHalf->visualItemRect(gf).center();
        QTest::mouseMove(w.lstHalf->viewport(), at);
        QTest::mouseRelease(w.lstHalf->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w.OpenHalf(), ltNone);
        QCOMPARE(m->Text(rec, v1), QString("GF;YF"));
        QCOMPARE(m->State(rec), QString("M"));

        // Enter writes the current item of the pedestrian cell's P2 ("RF;X" to "RF;Y0").
        w.ToggleHalfList(rec, p1, ltP2);
        QCOMPARE(w.lstHalf->currentItem()->text(), QString("X"));
        w.lstHalf->setCurrentRow(2);
        QTest::keyClick(w.lstHalf, Qt::Key_Return);
        QCOMPARE(m->Text(rec, p1), QString("RF;Y0"));

        // The list closes when the focus moves to another column or the grid scrolls sideways.
        w.ToggleHalfList(rec, v1, ltP1);
        QCOMPARE(w.OpenHalf(), ltP1);
        w.cxGrid->FocusRecord(rec, w.ColFlashTime());
        QCOMPARE(w.OpenHalf(), ltNone);
        w.ToggleHalfList(rec, v1, ltP1);
        w.cxGrid->horizontalScrollBar()->setValue(w.cxGrid->horizontalScrollBar()->value() + 1);
        if (w.cxGrid->horizontalScrollBar()->maximum() > 0)
            QCOMPARE(w.OpenHalf(), ltNone);
        w.CloseHalfList();

        // GF;YF = 5 + 48, RF;Y0 = 4 + 32.
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_VEH1, INT_PED1) FROM SCS_M_INTFLSMAP WHERE INT_LCNO = 2"),
                 QStringList({"53,36"}));
    }

    // Clipboard keys in the group box act on the box, not on grid rows.
    void clipboardKeysOutsideTheGrid()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_FlashMap w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.edtSA->setText("12");
        w.edtSA->setFocus();
        w.edtSA->selectAll();
        QTest::keyClick(w.edtSA, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("12"));
        QTest::keyClick(w.edtSA, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(w.edtSA->text(), QString());
        QTest::keyClick(w.edtSA, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.edtSA->text(), QString("12"));
        // No row was copied.
        w.actPasteRowExecute();
        QCOMPARE(boxes.last().text, QString("복사된 행이 없습니다."));
    }
};

QTEST_MAIN(TestFlashWindow)
#include "tst_flash_window.moc"
