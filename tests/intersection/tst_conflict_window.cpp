// The conflict map window on the fixture database: rows and labels per lamp
// type, a save replacing the matrix, a failure that keeps the edits, modal Close.
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include "CoreKitSupport.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "intersection/untTCDV_E_ConflictMap.h"

namespace {

const char *const kDb = "tst_conflict_window";

QStringList Column(const QString &sql)
{
    QSqlQuery q(DM->Con());
    QStringList list;
    if (!q.exec(sql))
        return {q.lastError().text()};
    while (q.next())
        list << q.value(0).toString();
    return list;
}

} // namespace

class TestConflictWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<CoreKit::TDataModule> FDm;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        FDm = std::make_unique<CoreKit::TDataModule>(kDb);
        QVERIFY(FDm->ok);
        QVERIFY(CoreKit::LoadLanguage());
        QCOMPARE(GetLcTypeEx(1), lct2010_4L);
        QCOMPARE(GetLcTypeEx(2), lct2010_3L);
        QCOMPARE(GetLcTypeEx(3), lct2004);
    }
    void init() { QSqlQuery(DM->Con()).exec("DELETE FROM SCS_M_INTCONFLICT WHERE INT_LCNO IN (1, 2, 3)"); }
    void cleanupTestCase() { FDm.reset(); }

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
