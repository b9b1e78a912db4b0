// Every controller data editor: a save that fails at the database with a
// duplicate key rolls the whole save back, shows the failure box, keeps every
// value and row state the operator left, and saves once the value is corrected.
#include <QCheckBox>
#include <QTest>
#include <functional>

#include "EditorFixture.h"
#include "core/Quorval.h"
#include "intersection/AlgorithmRules.h"
#include "intersection/untTCDV_E_Algorithm.h"
#include "intersection/untTCDV_E_ConflictMap.h"
#include "intersection/untTCDV_E_FlashMap.h"
#include "intersection/untTCDV_E_SignalManagerVariable.h"
#include "intersection/untVMSMsgPlan.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_editor_save_failure";

// Writing the marker value 77 where a trigger watches adds 77 to EDIT_GUARD,
// which holds it already: the statement fails with a duplicate key.
const char *const kGuards =
    "CREATE TABLE EDIT_GUARD (V INT NOT NULL PRIMARY KEY);"
    "INSERT INTO EDIT_GUARD VALUES (77);"
    "CREATE TRIGGER STARTUP_GUARD AFTER UPDATE ON SCS_M_INTSTARTUP FOR EACH ROW "
    "INSERT INTO EDIT_GUARD (V) SELECT NEW.INT_GAPTIME FROM DUAL WHERE NEW.INT_GAPTIME = 77;"
    "CREATE TRIGGER FLASH_GUARD AFTER UPDATE ON SCS_M_INTFLSMAP FOR EACH ROW "
    "INSERT INTO EDIT_GUARD (V) SELECT NEW.INT_FLASHTIME FROM DUAL WHERE NEW.INT_FLASHTIME = 77;"
    "CREATE TRIGGER CONFLICT_GUARD AFTER INSERT ON SCS_M_INTCONFLICT FOR EACH ROW "
    "INSERT INTO EDIT_GUARD (V) SELECT 77 FROM DUAL WHERE NEW.INT_LCNO = 16 AND NEW.INT_YNO = 0 "
    "AND NEW.INT_XNO = 5 AND NEW.INT_CONFLICTYN = 1;";

struct TCase
{
    const char *Name;
    const char *SetUp;                      // before the window opens
    std::function<QWidget *()> Open;        // creates and loads the window
    std::function<void(QWidget *)> Edit;    // the operator's edits, one of them failing
    const char *BehindBack;                 // written by someone else after loading
    std::function<bool(QWidget *)> Save;
    const char *Stored;                     // what the database holds
    QStringList StoredBefore;               // ... untouched by the failed save
    std::function<void(QWidget *)> Correct;
    QStringList StoredAfter;                // ... after the corrected save
};

template <typename W>
W *As(QWidget *w)
{
    return static_cast<W *>(w);
}

int FlashRecord(TfrmTCDV_E_FlashMap *w, int lc)
{
    for (int r = 0; r < w->GridModel()->RecordCount(); ++r)
        if (w->GridModel()->Value(r, TfrmTCDV_E_FlashMap::colLCNO).toInt() == lc)
            return r;
    return -1;
}

const QList<TCase> &Cases()
{
    static const QList<TCase> cases{
        {"start-up variables",
         "DELETE FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 16;"
         "INSERT INTO SCS_M_INTSTARTUP (INT_LCNO, INT_DUALTIME, INT_GAPTIME) VALUES (16, 1, 30);",
         [] {
             auto *w = new TfrmTCDV_E_SignalManagerVariable;
             w->SetTCDV_ID(16);
             return w;
         },
         [](QWidget *p) {
             auto *w = As<TfrmTCDV_E_SignalManagerVariable>(p);
             w->GridModel()->EditValue(w->RowOf("INT_DUALTIME"), w->colValue, 3);
             w->GridModel()->EditValue(w->RowOf("INT_GAPTIME"), w->colValue, 77);
         },
         "",
         [](QWidget *p) { return As<TfrmBaseGrid>(p)->actSaveExecute(); },
         "SELECT CONCAT(INT_DUALTIME, ',', INT_GAPTIME) FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 16",
         {"1,30"},
         [](QWidget *p) {
             auto *w = As<TfrmTCDV_E_SignalManagerVariable>(p);
             w->GridModel()->EditValue(w->RowOf("INT_GAPTIME"), w->colValue, 78);
         },
         {"3,78"}},
        {"algorithm parameters",
         "DELETE FROM SCS_M_INTALGORITHM WHERE INT_LCNO = 12; DELETE FROM SCS_M_INTQUEUE WHERE INT_LCNO = 12;"
         "DELETE FROM SCS_M_INTLINKQUEUE WHERE INT_LCNO = 12;"
         "INSERT INTO SCS_M_INTLINKQUEUE VALUES (12, 3, 60, 20, 5, 4, 9, 150);",
         [] {
             auto *w = new TfrmTCDV_E_Algorithm;
             w->SetTCDV_ID(12);
             return w;
         },
         [](QWidget *p) {
             auto *w = As<TfrmTCDV_E_Algorithm>(p);
             w->SetPanelValue("INT_ALPHA", 88);
             w->LinkQueueModel()->EditValue(0, 1, 61);
             w->LinkQueueModel()->EditValue(1, 0, 4);
             w->LinkQueueModel()->EditValue(1, 1, 40);
         },
         "INSERT INTO SCS_M_INTLINKQUEUE VALUES (12, 4, 1, 1, 1, 1, 1, 1);",
         [](QWidget *p) { return As<TfrmTCDV_E_Algorithm>(p)->actSaveExecute(); },
         "SELECT CONCAT(INT_DIRINDEX, ':', INT_DOCSPD1) FROM SCS_M_INTLINKQUEUE WHERE INT_LCNO = 12 "
         "UNION ALL SELECT CONCAT('alpha:', INT_ALPHA) FROM SCS_M_INTALGORITHM WHERE INT_LCNO = 12",
         {"3:60", "4:1"},
         [](QWidget *p) { As<TfrmTCDV_E_Algorithm>(p)->LinkQueueModel()->EditValue(1, 0, 5); },
         {"3:61", "4:1", "5:40", "alpha:88"}},
        {"flash map",
         "UPDATE SCS_M_INTLC SET INT_LCTYPE = 1 WHERE INT_LCNO IN (3, 6);"
         "DELETE FROM SCS_M_INTFLSMAP WHERE INT_LCNO IN (3, 6);"
         "INSERT INTO SCS_M_INTFLSMAP (INT_LCNO, INT_VEH1, INT_FLASHTIME) VALUES (3, 0, 30), (6, 0, 10);",
         [] {
             auto *w = new TfrmTCDV_E_FlashMap;
             w->cbxAllTCDV->setChecked(true);
             return w;
         },
         [](QWidget *p) {
             auto *w = As<TfrmTCDV_E_FlashMap>(p);
             const int first = qMin(FlashRecord(w, 3), FlashRecord(w, 6));
             const int second = qMax(FlashRecord(w, 3), FlashRecord(w, 6));
             w->GridModel()->EditValue(first, w->OutputCol(1, Flash::TKind::Vehicle), "GF");
             w->GridModel()->EditValue(second, w->ColFlashTime(), 77);
         },
         "",
         [](QWidget *p) { return As<TfrmBaseGrid>(p)->actSaveExecute(); },
         "SELECT CONCAT(INT_LCNO, ':', INT_VEH1, ':', INT_FLASHTIME) FROM SCS_M_INTFLSMAP "
         "WHERE INT_LCNO IN (3, 6) ORDER BY INT_LCNO",
         {"3:0:30", "6:0:10"},
         [](QWidget *p) {
             auto *w = As<TfrmTCDV_E_FlashMap>(p);
             const int second = qMax(FlashRecord(w, 3), FlashRecord(w, 6));
             w->GridModel()->EditValue(second, w->ColFlashTime(), 78);
         },
         {}}, // filled below: which of the two rows comes first depends on the groups
        {"conflict map",
         "UPDATE SCS_M_INTLC SET INT_LCTYPE = 2, INT_LAMPTYPE = 1 WHERE INT_LCNO = 16;"
         "DELETE FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 16;"
         "INSERT INTO SCS_M_INTCONFLICT VALUES (16, 1, 2, 1);",
         [] {
             auto *w = new TfrmTCDV_E_ConflictMap;
             w->SetTCDV_ID(16);
             return w;
         },
         [](QWidget *p) {
             auto *w = As<TfrmTCDV_E_ConflictMap>(p);
             w->GridModel()->EditValue(1, TfrmTCDV_E_ConflictMap::FirstOutputCol + 2, 0);
             w->GridModel()->EditValue(0, TfrmTCDV_E_ConflictMap::FirstOutputCol + 5, 1);
         },
         "",
         [](QWidget *p) { return As<TfrmBaseGrid>(p)->actSaveExecute(); },
         "SELECT CONCAT(COUNT(*), ':', SUM(INT_CONFLICTYN), ':', "
         "GROUP_CONCAT(IF(INT_CONFLICTYN = 1, CONCAT(INT_YNO, '-', INT_XNO), NULL))) "
         "FROM SCS_M_INTCONFLICT WHERE INT_LCNO = 16",
         {"1:1:1-2"},
         [](QWidget *p) {
             auto *w = As<TfrmTCDV_E_ConflictMap>(p);
             w->GridModel()->EditValue(0, TfrmTCDV_E_ConflictMap::FirstOutputCol + 5, 0);
             w->GridModel()->EditValue(0, TfrmTCDV_E_ConflictMap::FirstOutputCol + 6, 1);
         },
         {"276:1:0-6"}},
        {"VMS messages",
         "DELETE FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16;"
         "INSERT INTO SCS_M_VMSMESSAGE (INT_LCNO, MSG_INDEX, MSG_MESSAGE) VALUES (16, 1, '하나'), (16, 2, '둘'), "
         "(16, 3, '셋');",
         [] {
             auto *w = new TfrmVMSMsgPlan;
             w->SetTCDV_ID(16);
             return w;
         },
         [](QWidget *p) {
             auto *w = As<TfrmVMSMsgPlan>(p);
             TGridModel *m = w->MsgModel();
             m->EditValue(0, m->ColumnIndex("MSG_MESSAGE"), "첫째");
             w->actAdd->trigger();
             m->EditValue(3, m->ColumnIndex("MSG_MESSAGE"), "넷");
         },
         "INSERT INTO SCS_M_VMSMESSAGE (INT_LCNO, MSG_INDEX, MSG_MESSAGE) VALUES (16, 4, '남의 것');",
         [](QWidget *p) { return As<TfrmBaseGrid>(p)->actSaveExecute(); },
         "SELECT CONCAT(MSG_INDEX, ':', MSG_MESSAGE) FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16 ORDER BY MSG_INDEX",
         {"1:하나", "2:둘", "3:셋", "4:남의 것"},
         [](QWidget *p) { As<TfrmVMSMsgPlan>(p)->MsgModel()->EditValue(3, 0, 5); },
         {"1:첫째", "2:둘", "3:셋", "4:남의 것", "5:넷"}},
    };
    return cases;
}

// Every value and state of every grid of the window (and the algorithm panel).
QStringList Snapshot(QWidget *w)
{
    QStringList s;
    for (TGridView *view : w->findChildren<TGridView *>()) {
        TGridModel *m = view->GridModel();
        for (int r = 0; m && r < m->RecordCount(); ++r) {
            QStringList row;
            for (const QVariant &v : m->RecordValues(r))
                row << v.toString();
            s << view->objectName() + ':' + row.join('|');
        }
    }
    if (auto *a = qobject_cast<TfrmTCDV_E_Algorithm *>(w))
        for (const Algorithm::TParam &p : Algorithm::Params())
            s << p.Column + '=' + QString::number(a->PanelValue(p.Column));
    return s;
}

} // namespace

class TestEditorSaveFailure : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        QString err;
        QVERIFY2(FDb.Run(kGuards, &err), qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    void failedSaveKeepsEditsAndSavesAfterCorrection_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < Cases().size(); ++i)
            QTest::newRow(Cases().at(i).Name) << i;
    }
    void failedSaveKeepsEditsAndSavesAfterCorrection()
    {
        QFETCH(int, index);
        const TCase &c = Cases().at(index);
        QString err;
        QVERIFY2(FDb.Run(c.SetUp, &err), qPrintable(err));
        ScriptedMsgDlg boxes;
        std::unique_ptr<QWidget> w(c.Open());
        w->show();
        c.Edit(w.get());
        if (*c.BehindBack)
            QVERIFY2(FDb.Run(c.BehindBack, &err), qPrintable(err));
        const QStringList edited = Snapshot(w.get());

        boxes.enqueue(mrYes);
        QVERIFY(!c.Save(w.get()));
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("저장 실패"));
        QVERIFY2(boxes.last().detail.contains("Duplicate"), qPrintable(boxes.last().detail));
        QCOMPARE(Snapshot(w.get()), edited);
        QCOMPARE(Column(c.Stored), c.StoredBefore);

        c.Correct(w.get());
        boxes.enqueue(mrYes);
        QVERIFY(c.Save(w.get()));
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QStringList after = c.StoredAfter;
        if (after.isEmpty()) { // the flash map: the edited rows by their order in the grid
            auto *f = As<TfrmTCDV_E_FlashMap>(w.get());
            const bool threeFirst = FlashRecord(f, 3) < FlashRecord(f, 6);
            after = threeFirst ? QStringList{"3:48:30", "6:0:78"} : QStringList{"3:0:78", "6:48:10"};
        }
        QCOMPARE(Column(c.Stored), after);
    }
};

QTEST_MAIN(TestEditorSaveFailure)
#include "tst_editor_save_failure.moc"
