// The reservation plan window on the demo city: opened by its main-window
// action with the selected intersection and brought forward on a second
// opening, the save without a question, Insert refused at ten entries, the
// "All" box, the lists of the focused row's controller type, and Close of a
// modal showing returning OK.
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"
#include "core/GridModel.h"
#include "core/GridView.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "core/WindowRegistry.h"
#include "plans/PlansWindows.h"
#include "plans/untTcdvReservePlan.h"

using EditorFixture::Column;
using EditorFixture::Exec;

class TestReservePlanWindow : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

    QStringList Entries(int lc)
    {
        return Column(QStringLiteral("SELECT CONCAT_WS(' ', INT_FPLANINDEX, INT_CNTLTYPE) FROM SCS_M_INTFPLAN "
                                     "WHERE INT_LCNO = %1 ORDER BY INT_FPLANINDEX").arg(lc));
    }
    bool Store(int lc, int count)
    {
        for (int i = 1; i <= count; ++i)
            if (!Exec(QStringLiteral("INSERT INTO SCS_M_INTFPLAN VALUES (%1, %2, 0, 0, 0, 8, 0, 9, 0, 1, 0)").arg(lc).arg(i)))
                return false;
        return true;
    }

private slots:
    void initTestCase() { QVERIFY(FDb.Open("tst_reserve_plan_window")); }
    void init() { QVERIFY(Exec("DELETE FROM SCS_M_INTFPLAN")); }

    void savesWithoutQuestion()
    {
        QVERIFY(Store(1, 3));
        ScriptedMsgDlg boxes;
        TFormTcdvReservePlan w;
        w.SetTcdvID(1);
        TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 3);
        QCOMPARE(w.TcdvLCType(), lct2010_4L);
        w.actAdd->trigger();
        QCOMPARE(m->RecordCount(), 4);
        QCOMPARE(m->Value(3, QStringLiteral("INT_FPLANINDEX")).toInt(), 4);
        QVERIFY(m->EditValue(3, m->ColumnIndex(QStringLiteral("INT_CNTLTYPE")), 2));
        QCOMPARE(m->State(3), QStringLiteral("I"));
        QVERIFY(w.actSave->isEnabled());
        w.actSave->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("저장되었습니다."));
        QCOMPARE(Entries(1), (QStringList{"1 1", "2 1", "3 1", "4 2"}));
        QCOMPARE(m->State(3), QStringLiteral("N"));
    }

    void insertRefusedAtTen()
    {
        QVERIFY(Store(1, 10));
        ScriptedMsgDlg boxes;
        TFormTcdvReservePlan w;
        w.SetTcdvID(1);
        w.actAdd->trigger();
        QCOMPARE(w.GridModel()->RecordCount(), 10);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("교차로당 예약계획은 10개까지 입력할 수 있습니다."));
    }

    // A save failing at its third row keeps every edit and state in the window.
    void failedSaveKeepsEdits()
    {
        QVERIFY(Store(1, 2));
        ScriptedMsgDlg boxes;
        TFormTcdvReservePlan w;
        w.SetTcdvID(1);
        TGridModel *m = w.GridModel();
        QVERIFY(m->EditValue(0, m->ColumnIndex(QStringLiteral("INT_CNTLTYPE")), 3));
        QVERIFY(m->EditValue(1, m->ColumnIndex(QStringLiteral("INT_CNTLTYPE")), 5));
        w.actAdd->trigger();
        QVERIFY(m->EditValue(2, m->ColumnIndex(QStringLiteral("INT_CNTLTYPE")), 2));
        QVERIFY(Exec("INSERT INTO SCS_M_INTFPLAN VALUES (1, 3, 0, 0, 0, 0, 0, 0, 0, 7, 0)"));
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QStringLiteral("저장중 문제가 발생했습니다."));
        QCOMPARE(Entries(1), (QStringList{"1 1", "2 1", "3 7"}));
        QCOMPARE(m->RecordCount(), 3);
        QCOMPARE(m->State(0), QStringLiteral("M"));
        QCOMPARE(m->State(1), QStringLiteral("M"));
        QCOMPARE(m->State(2), QStringLiteral("I"));
        QCOMPARE(m->Value(1, QStringLiteral("INT_CNTLTYPE")).toInt(), 5);
    }

    // "All" lists every intersection's entries; the lists follow the focused row.
    void allIntersections()
    {
        QVERIFY(Store(1, 2));
        QVERIFY(Store(3, 1));
        ScriptedMsgDlg boxes;
        TFormTcdvReservePlan w;
        w.SetTcdvID(3);
        QCOMPARE(w.GridModel()->RecordCount(), 1);
        QCOMPARE(w.TcdvLCType(), lct2004);
        const int wkd = w.GridModel()->ColumnIndex(QStringLiteral("INT_RSRVWKD"));
        QCOMPARE(w.GridModel()->Column(wkd).Items.size(), 8);
        w.cbxAllTCDV->click();
        QVERIFY(!w.edtTCDV->isEnabled());
        QCOMPARE(w.GridModel()->RecordCount(), 3);
        w.cxGrid->FocusRecord(0);
        QCOMPARE(w.TcdvLCType(), lct2010_4L);
        QCOMPARE(w.GridModel()->Column(wkd).Items.size(), 13);
        // Insert under "All" gives an empty row, which the save refuses.
        w.actAdd->trigger();
        QCOMPARE(w.GridModel()->RecordCount(), 4);
        QVERIFY(w.GridModel()->Value(3, QStringLiteral("INT_LCNO")).isNull()
                || w.GridModel()->Text(3, w.GridModel()->ColumnIndex(QStringLiteral("INT_LCNO"))).isEmpty());
        QVERIFY(w.GridModel()->EditValue(3, w.GridModel()->ColumnIndex(QStringLiteral("INT_RSRVMONTH")), 1));
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QStringLiteral("필수 입력 항목을 확인바랍니다."));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTFPLAN"), QStringList{"3"});
    }

    void openerAndModalClose()
    {
        RegisterPlansWindows();
        const TWindowClassHooks *hooks = TMainOpeners::Hooks(QStringLiteral("TFormTcdvReservePlan"));
        QVERIFY(hooks && hooks->Create);
        bool created = false;
        auto *first = TWindowRegistry::Open<QWidget>(
            [hooks] { return hooks->Create(TOpenContext{}); }, &created, QStringLiteral("TFormTcdvReservePlan"));
        QVERIFY(created);
        TMainOpeners::Apply(*hooks, first, QStringLiteral("TcdvID"), 3);
        auto *plan = qobject_cast<TFormTcdvReservePlan *>(first);
        QVERIFY(plan);
        QCOMPARE(plan->TcdvID(), 3);
        QCOMPARE(plan->edtTCDV->text(), QStringLiteral("3"));
        auto *second = TWindowRegistry::Open<QWidget>(
            [hooks] { return hooks->Create(TOpenContext{}); }, &created, QStringLiteral("TFormTcdvReservePlan"));
        QVERIFY(!created);
        QCOMPARE(second, first);

        TMainOpeners::Apply(*hooks, first, QStringLiteral("IsModal"), true);
        QTimer::singleShot(0, plan, [plan] { plan->actClose->trigger(); });
        QPointer<QWidget> alive(first);
        QCOMPARE(plan->exec(), int(QDialog::Accepted));
        delete alive.data();
        QVERIFY(!TWindowRegistry::Find(QStringLiteral("TFormTcdvReservePlan")));
    }

    void cleanupTestCase() { FDb.Close(); }
};

QTEST_MAIN(TestReservePlanWindow)
#include "tst_reserve_plan_window.moc"
