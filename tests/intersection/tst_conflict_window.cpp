// The conflict map window on the fixture database: rows and labels per lamp
// type, a save replacing the matrix, a failure that keeps the edits, modal Close.
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "intersection/untTCDV_E_ConflictMap.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_conflict_window";

} // namespace

class TestConflictWindow : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        QCOMPARE(GetLcTypeEx(1), lct2010_4L);
        QCOMPARE(GetLcTypeEx(2), lct2010_3L);
        QCOMPARE(GetLcTypeEx(3), lct2004);
    }
    void init() { QSqlQuery(DM->Con()).exec("DELETE FROM SCS_M_INTCONFLICT WHERE INT_LCNO IN (1, 2, 3)"); }
    void cleanupTestCase() { FDb.Close(); }

    void rowsPerType()
    {
        TfrmTCDV_E_ConflictMap w;
        w.show();
        w.SetTCDV_ID(3);
        QCOMPARE(w.GridModel()->RecordCount(), 0);
        w.SetTCDV_ID(1);
        QCOMPARE(w.GridModel()->RecordCount(), 32);
        QCOMPARE(w.GridModel()->Text(5, 1), QString("LSU #2"));
        QCOMPARE(w.GridModel()->Text(5, 2), QString("A"));
        QCOMPARE(w.GridModel()->Text(0, 0), QString("기준출력"));
        w.SetTCDV_ID(2);
        QCOMPARE(w.GridModel()->Text(31, 1), QString("LSU #16"));
        QCOMPARE(w.GridModel()->Text(31, 2), QString("G2"));
    }

    // Bands and output captions per lamp type; cell colours by the painting rules.
    void bandsAndCellColours()
    {
        const QColor readOnly(179, 179, 179), selection(220, 230, 245), even(237, 237, 237), eop(220, 124, 124);
        const struct { int lc; QString band1, band8; QStringList outputs; } layouts[] = {
            {1, "비교출력\nLSU #1", "비교출력\nLSU #8", {"PG", "A", "G", "-"}},
            {2, "비교출력\nLSU #1 | LSU #2", "비교출력\nLSU #15 | LSU #16", {"G1", "G2", "G1", "G2"}},
        };
        TfrmTCDV_E_ConflictMap w;
        w.show();
        for (const auto &l : layouts) {
            w.SetTCDV_ID(l.lc);
            const QList<TGridBand> bands = w.cxGrid->Header()->Bands();
            QCOMPARE(bands.size(), 9);
            QCOMPARE(bands.at(0).Caption, QString("LSU번호"));
            QCOMPARE(bands.at(0).Columns, QList<int>({0, 1, 2}));
            QCOMPARE(bands.at(1).Caption, l.band1);
            QCOMPARE(bands.at(8).Caption, l.band8);
            QCOMPARE(bands.at(2).Columns, QList<int>({7, 8, 9, 10}));
            for (int x = 0; x < 4; ++x)
                QCOMPARE(w.GridModel()->headerData(w.FirstOutputCol + 4 + x, Qt::Horizontal).toString(), l.outputs.at(x));
        }
        // Four lamps (intersection 1): pair (0, 5) set to 1.
        w.SetTCDV_ID(1);
        TGridModel *m = w.GridModel();
        m->EditValue(0, w.FirstOutputCol + 5, 1);
        const struct { int row, col; QColor colour; } cells[] = {
            {0, 0, selection}, {4, 1, even}, {4, 2, even},
            {0, w.FirstOutputCol + 0, readOnly},    // the diagonal
            {6, w.FirstOutputCol + 2, readOnly},    // below it
            {0, w.FirstOutputCol + 3, readOnly},    // output "-" as compared output
            {3, w.FirstOutputCol + 9, readOnly},    // output "-" as base output
            {0, w.FirstOutputCol + 5, eop},         // holds 1
            {0, w.FirstOutputCol + 4, QColor()},    // edited, 0
        };
        for (const auto &c : cells)
            QCOMPARE(m->data(m->index(c.row, c.col), Qt::BackgroundRole).value<QColor>(), c.colour);
    }

    // The focused output column and the focused row are highlighted, the focused
    // cell white; read-only cells and pairs holding 1 keep their colours. Three
    // lamps draw each LSU band as two halves.
    void focusHighlightAndHalfBands()
    {
        const QColor readOnly(179, 179, 179), selection(220, 230, 245), even(237, 237, 237), eop(220, 124, 124);
        TfrmTCDV_E_ConflictMap w;
        w.show();
        w.SetTCDV_ID(2);
        const QList<TGridBand> bands = w.cxGrid->Header()->Bands();
        QCOMPARE(bands.at(0).Parts, QStringList());
        QCOMPARE(bands.at(1).Parts, QStringList({"LSU #1", "LSU #2"}));
        QCOMPARE(bands.at(8).Parts, QStringList({"LSU #15", "LSU #16"}));
        w.SetTCDV_ID(1);
        QVERIFY(w.cxGrid->Header()->Bands().at(1).Parts.isEmpty());
        const int c = TfrmTCDV_E_ConflictMap::FirstOutputCol;
        w.GridModel()->EditValue(0, c + 5, 1);
        w.cxGrid->FocusRecord(0, c + 6);
        const struct { int row, col; QColor colour; } cells[] = {
            {0, c + 6, Qt::white},       // the focused cell
            {0, c + 4, selection},       // focused row
            {2, c + 6, selection},       // focused column
            {0, c + 5, eop},             // focused row, holds 1
            {10, c + 6, readOnly},       // focused column below the diagonal
            {0, c + 3, readOnly},        // focused row, output "-"
            {0, 0, selection}, {0, 1, even}, {0, 2, even},
            {5, c + 9, QColor()},        // elsewhere
        };
        for (const auto &cell : cells)
            QCOMPARE(w.CellColour(cell.row, cell.col), cell.colour);
        // The highlight follows the focus.
        w.cxGrid->FocusRecord(5, c + 9);
        QCOMPARE(w.CellColour(0, c + 4), QColor());
        QCOMPARE(w.CellColour(5, c + 9), QColor(Qt::white));
        QCOMPARE(w.CellColour(5, c + 10), selection);
        QCOMPARE(w.CellColour(1, c + 9), selection);
    }

    void saveReplacesAndFailureKeepsEdits()
    {
        ScriptedMsgDlg boxes;
        QSqlQuery(DM->Con()).exec("INSERT INTO SCS_M_INTCONFLICT VALUES (2, 0, 40, 1)");
        TfrmTCDV_E_ConflictMap w;
        w.show();
        w.SetTCDV_ID(2);
        TGridModel *m = w.GridModel();
        const int c = TfrmTCDV_E_ConflictMap::FirstOutputCol;
        m->EditValue(0, c + 1, 1);     // (0, 1)
        m->EditValue(4, c + 9, 1);     // (4, 9)
        // The database refuses the pair (4, 9) once.
        QVERIFY(QSqlQuery(DM->Con()).exec(
            "CREATE TRIGGER CW_FAIL BEFORE INSERT ON SCS_M_INTCONFLICT FOR EACH ROW "
            "BEGIN IF NEW.INT_YNO = 4 AND NEW.INT_XNO = 9 AND NEW.INT_CONFLICTYN = 1 THEN SIGNAL SQLSTATE '45000' "
            "SET MESSAGE_TEXT = 'injected failure'; END IF; END"));
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().caption, QString("저장 실패"));
        QCOMPARE(Column("SELECT CONCAT(INT_YNO, ',', INT_XNO) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 2"),
                 QStringList({"0,40"}));
        QCOMPARE(m->Value(0, c + 1).toInt(), 1);
        QCOMPARE(m->Value(4, c + 9).toInt(), 1);
        QCOMPARE(m->State(0), QString("M"));
        QVERIFY(QSqlQuery(DM->Con()).exec("DROP TRIGGER CW_FAIL"));
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 2"), QStringList({"496"}));
        QCOMPARE(Column("SELECT CONCAT(INT_YNO, ',', INT_XNO) FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 2 "
                        "AND INT_CONFLICTYN = 1 ORDER BY INT_YNO"),
                 QStringList({"0,1", "4,9"}));
        QCOMPARE(m->Value(4, c + 9).toInt(), 1);   // reloaded
        QCOMPARE(m->State(4), QString("N"));
    }

    void modalCloseReturnsOk()
    {
        auto *w = new TfrmTCDV_E_ConflictMap;
        QPointer<QWidget> alive(w);
        w->SetTCDV_ID(1);
        QTimer::singleShot(0, w, [w] { w->actClose->trigger(); });
        QCOMPARE(w->ShowModal(), 1);
        delete alive.data();
    }
};

QTEST_MAIN(TestConflictWindow)
#include "tst_conflict_window.moc"
