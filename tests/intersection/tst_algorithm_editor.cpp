// The algorithm parameters editor against the fixture database: an intersection
// without parameters, Default, the direction check of both grids, the row states
// of the prepared rows and moving a loaded row to another direction.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include "EditorFixture.h"
#include "core/Quorval.h"
#include "intersection/AlgorithmRules.h"
#include "intersection/untTCDV_E_Algorithm.h"

using EditorFixture::Column;

namespace {

// Whether an input of the panel takes input (a choice: every one of its items).
bool Enabled(QWidget *input)
{
    const QList<QRadioButton *> items = input->findChildren<QRadioButton *>();
    if (items.isEmpty())
        return input->isEnabled();
    for (QRadioButton *r : items)
        if (!r->isEnabled())
            return false;
    return true;
}

const char *const kDb = "tst_algorithm_editor";

// Intersection 7 holds no parameters at all; 12 holds direction 3 in both grids.
const char *const kSetUp =
    "DELETE FROM SCS_M_INTALGORITHM WHERE INT_LCNO IN (7, 12);"
    "DELETE FROM SCS_M_INTQUEUE WHERE INT_LCNO IN (7, 12);"
    "DELETE FROM SCS_M_INTLINKQUEUE WHERE INT_LCNO IN (7, 12);"
    "DELETE FROM SCS_M_INTSPILLBACK WHERE INT_LCNO IN (7, 12);"
    "INSERT INTO SCS_M_INTLINKQUEUE VALUES (12, 3, 60, 20, 5, 4, 9, 150);"
    "INSERT INTO SCS_M_INTSPILLBACK VALUES (12, 3, 14, 2, 4, 320, 80, 18, 7, 0, 9, 30, 1);";

} // namespace

class TestAlgorithmEditor : public QObject
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

    void intersectionWithoutParametersOpensEnabled()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Algorithm w;
        w.show();
        w.SetTCDV_ID(7);
        QVERIFY(w.Searched());
        for (const Algorithm::TParam &p : Algorithm::Params()) {
            QVERIFY2(Enabled(w.PanelInput(p.Column)), qPrintable(p.Column));
            QCOMPARE(w.PanelValue(p.Column), 0); // the first item of a choice, a number's blank 0
        }
        QCOMPARE(w.PanelValue("INT_RAMPCNTLDOSTDIR"), 0);
        QVERIFY(w.findChild<QRadioButton *>("rgINT_RAMPCNTLDOSTDIR_0")->isChecked());
        QVERIFY(!w.ControlsEdited());
        QVERIFY(!w.actSave->isEnabled());
        QVERIFY(w.actInit->isEnabled());
        for (TGridModel *m : {w.LinkQueueModel(), w.SpillBackModel()}) {
            QCOMPARE(m->RecordCount(), 8);
            for (int r = 0; r < 8; ++r) {
                QCOMPARE(m->State(r), QString("N"));
                QVERIFY(m->KeyValue(r).toString().isEmpty());
            }
        }
        // One changed number: the save inserts one row into each panel table,
        // the choices the operator left on their first item stored as 0.
        w.findChild<QSpinBox *>("edtINT_ALPHA")->setValue(80);
        QVERIFY(w.ControlsEdited());
        QVERIFY(w.actSave->isEnabled());
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_ALPHA, INT_MDSSELECT, INT_ASAMAXISMAIN, INT_STOSCNTL1, "
                        "INT_STOSCNTL4, INT_RAMPCNTLFLAG, INT_RAMPCNTLDOSTDIR, INT_FCCLC2) "
                        "FROM SCS_M_INTALGORITHM WHERE INT_LCNO = 7"),
                 QStringList({"80,0,0,0,0,0,0,0"}));
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_WGH1, INT_SPLITCORRMTD, INT_SPLITFATOR) FROM SCS_M_INTQUEUE "
                        "WHERE INT_LCNO = 7"),
                 QStringList({"0,0,0"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLINKQUEUE WHERE INT_LCNO = 7"), QStringList({"0"}));
        // A second save updates the same rows.
        w.findChild<QSpinBox *>("edtINT_WGH1")->setValue(4);
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT CONCAT(COUNT(*), ':', MAX(INT_WGH1)) FROM SCS_M_INTQUEUE WHERE INT_LCNO = 7"),
                 QStringList({"1:4"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTALGORITHM WHERE INT_LCNO = 7"), QStringList({"1"}));
    }

    void unknownIntersectionDisablesThePanel()
    {
        TfrmTCDV_E_Algorithm w;
        w.show();
        w.SetTCDV_ID(7);
        w.SetTCDV_ID(9999);
        QVERIFY(!w.Searched());
        for (const Algorithm::TParam &p : Algorithm::Params()) {
            QVERIFY2(!Enabled(w.PanelInput(p.Column)), qPrintable(p.Column));
            QCOMPARE(w.PanelValue(p.Column), p.Choices > 0 ? -1 : 0);
        }
        QVERIFY(!w.actSearch->isEnabled());
        QVERIFY(!w.actInit->isEnabled());
        QVERIFY(!w.actSave->isEnabled());
    }

    void defaultThenSaveStoresTheDefaults()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Algorithm w;
        w.show();
        w.SetTCDV_ID(7);
        w.SetPanelValue("INT_ASAMINFLOW1", 4); // Default leaves the corridor alone
        w.actInit->trigger();
        TGridModel *lq = w.LinkQueueModel();
        QCOMPARE(lq->RecordCount(), 9);
        QCOMPARE(lq->Value(8, 0).toInt(), 1);
        QCOMPARE(lq->State(8), QString("I"));
        QCOMPARE(lq->KeyValue(8).toString(), QString("7,1"));
        QVERIFY(w.actSave->isEnabled());
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_DIRINDEX, INT_DOCSPD1, INT_DOCSPD2, INT_THDOC, INT_ADJSTFATOR, "
                        "INT_DIRSTANDARDDS, INT_DIRSTANDARDQL) FROM SCS_M_INTLINKQUEUE WHERE INT_LCNO = 7"),
                 QStringList({"1,70,15,7,6,8,200"}));
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_MDSSELECT, INT_ALPHA, INT_FORCETRC, INT_CONDEGREE1, INT_CONDEGREE2, "
                        "INT_CONDEGREE3, INT_FDSFACTOR1, INT_FDSFACTOR2, INT_FDSFACTOR3, INT_FCCLY1, INT_FCCLY2, "
                        "INT_FCCLC1, INT_FCCLC2, INT_DSDEGREE1, INT_DSDEGREE2, INT_ASAMINFLOW1) "
                        "FROM SCS_M_INTALGORITHM WHERE INT_LCNO = 7"),
                 QStringList({"1,60,0,50,30,15,5,3,2,60,90,60,100,95,70,4"}));
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_WGH1, INT_WGH2, INT_WGH3, INT_SPLITCORRMTD, INT_SPLITFATOR) "
                        "FROM SCS_M_INTQUEUE WHERE INT_LCNO = 7"),
                 QStringList({"5,3,2,1,3"}));
        // Default on a stored direction-1 row changes it ("M") instead of adding one.
        QCOMPARE(lq->Value(0, 0).toInt(), 1);
        lq->EditValue(0, lq->ColumnIndex("INT_THDOC"), 9);
        lq->SetState(0, "N");
        w.actInit->trigger();
        QCOMPARE(lq->RecordCount(), 8);
        QCOMPARE(lq->State(0), QString("M"));
        QCOMPARE(lq->Value(0, lq->ColumnIndex("INT_THDOC")).toInt(), 7);
    }

    // Two rows of one direction stop the save with the grid's message; a row
    // marked for deletion still counts.
    void duplicateDirectionIsRefused_data()
    {
        QTest::addColumn<bool>("spillBack");
        QTest::addColumn<bool>("deleteLoaded");
        QTest::newRow("link queue, two rows") << false << false;
        QTest::newRow("link queue, deleted row counts") << false << true;
        QTest::newRow("spill-back, two rows") << true << false;
        QTest::newRow("spill-back, deleted row counts") << true << true;
    }
    void duplicateDirectionIsRefused()
    {
        QFETCH(bool, spillBack);
        QFETCH(bool, deleteLoaded);
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Algorithm w;
        w.show();
        w.SetTCDV_ID(12);
        TGridView *view = spillBack ? w.gtvSpillBack : w.gtvLinkQueue;
        TGridModel *m = view->GridModel();
        QCOMPARE(m->Value(0, 0).toInt(), 3);
        if (deleteLoaded) {
            view->FocusRecord(0);
            (spillBack ? w.actSpillBackDel : w.actLinkQueueDel)->trigger();
            QCOMPARE(m->State(0), QString("D"));
        }
        m->EditValue(1, 0, 3);
        QCOMPARE(m->State(1), QString("I"));
        boxes.enqueue(mrYes);
        QVERIFY(!w.actSaveExecute());
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("방향이 중복됐습니다."));
        QCOMPARE(view->FocusedRecord() == 0 || view->FocusedRecord() == 1, true);
        const QString table = spillBack ? "SCS_M_INTSPILLBACK" : "SCS_M_INTLINKQUEUE";
        QCOMPARE(Column("SELECT COUNT(*) FROM " + table + " WHERE INT_LCNO = 12"), QStringList({"1"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTALGORITHM WHERE INT_LCNO = 12"), QStringList({"0"}));
    }

    // Row states of the direction grids and what the save makes of them.
    void rowStates_data()
    {
        QTest::addColumn<bool>("spillBack");
        QTest::newRow("link queue") << false;
        QTest::newRow("spill-back") << true;
    }
    void rowStates()
    {
        QFETCH(bool, spillBack);
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Algorithm w;
        w.show();
        w.SetTCDV_ID(12);
        TGridView *view = spillBack ? w.gtvSpillBack : w.gtvLinkQueue;
        TGridModel *m = view->GridModel();
        const QString table = spillBack ? "SCS_M_INTSPILLBACK" : "SCS_M_INTLINKQUEUE";
        const QString dir = spillBack ? "INT_SPILLBACKINDEX" : "INT_DIRINDEX";
        const int value = 1; // the first value column after the direction
        // A prepared row without a direction takes nothing but a direction.
        QVERIFY(!(m->flags(m->index(2, value)) & Qt::ItemIsEditable));
        QVERIFY(m->flags(m->index(2, 0)) & Qt::ItemIsEditable);
        m->EditValue(2, 0, 6);
        QCOMPARE(m->State(2), QString("I"));
        QVERIFY(m->flags(m->index(2, value)) & Qt::ItemIsEditable);
        // A prepared row marked for deletion writes nothing.
        view->FocusRecord(4);
        (spillBack ? w.actSpillBackDel : w.actLinkQueueDel)->trigger();
        QCOMPARE(m->State(4), QString("D"));
        // The loaded row moves to direction 5 with its values.
        m->EditValue(0, 0, 5);
        QCOMPARE(m->State(0), QString("M"));
        QVERIFY(w.actSave->isEnabled());
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        const QString second = spillBack ? "INT_SPILLBACKINT" : "INT_DOCSPD1";
        QCOMPARE(Column("SELECT CONCAT(" + dir + ", ':', " + second + ") FROM " + table +
                        " WHERE INT_LCNO = 12 ORDER BY " + dir),
                 QStringList({spillBack ? "5:14" : "5:60", "6:0"}));
        // Reloaded: stored rows first, in direction order, then the prepared rows.
        QCOMPARE(m->RecordCount(), 8);
        QCOMPARE(m->KeyValue(0).toString(), QString("12,5"));
        QCOMPARE(m->KeyValue(1).toString(), QString("12,6"));
        QCOMPARE(m->State(2), QString("N"));
        QVERIFY(!w.actSave->isEnabled());
    }

    // The wheel over a number box changes nothing; with Ctrl held it steps by one.
    void wheelLeavesNumbersAlone()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Algorithm w;
        w.show();
        w.SetTCDV_ID(7);
        auto *spin = qobject_cast<QSpinBox *>(w.PanelInput("INT_ALPHA"));
        QVERIFY(spin);
        spin->setFocus();
        spin->setValue(40);
        const struct { Qt::KeyboardModifiers mods; int dy, expected; } cases[] = {
            {Qt::NoModifier, 120, 40}, {Qt::NoModifier, -240, 40}, {Qt::ShiftModifier, 120, 40},
            {Qt::ControlModifier, 120, 41}, {Qt::ControlModifier, -120, 40}, {Qt::ControlModifier, -120, 39},
        };
        for (const auto &c : cases) {
            const QPointF at = spin->rect().center();
            QWheelEvent e(at, spin->mapToGlobal(at), QPoint(), QPoint(0, c.dy), Qt::NoButton, c.mods,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(spin, &e);
            QCOMPARE(spin->value(), c.expected);
        }
    }
};

QTEST_MAIN(TestAlgorithmEditor)
#include "tst_algorithm_editor.moc"
