// The spill-back phase editor against the fixture database: new rows and their
// directions, the checks that refuse a save, a direction change that moves the
// stored row, empty cells, "All", saving without a question, modal closing.
#include <QCheckBox>
#include <algorithm>
#include <memory>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "intersection/IntersectionWindows.h"
#include "intersection/untSpillbackParameter.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_spillback";
const char *const kRows =
    "SELECT CONCAT_WS(' ', INT_SPILLBACKINDEX, MAIN_RING, MAIN_PHASE, SUB_RING, SUB_PHASE) "
    "FROM SCS_M_INTSPILLBACK2 WHERE INT_LCNO = 5 ORDER BY INT_SPILLBACKINDEX";

int Col(TGridModel *m, const char *name)
{
    return m->ColumnIndex(QString::fromLatin1(name));
}

} // namespace

class TestSpillBack : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb)); }
    void init()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QString err;
        QVERIFY2(FDb.Run("DELETE FROM SCS_M_INTSPILLBACK2 WHERE INT_LCNO IN (5, 6);"
                         "INSERT INTO SCS_M_INTSPILLBACK2 VALUES (5, 1, 1, 2, 2, 6), (5, 3, 2, 4, NULL, NULL);",
                         &err),
                 qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    void loads()
    {
        TFormSpillbackParameter w;
        w.show();
        w.SetTcdvID(5);
        TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 2);
        QCOMPARE(m->KeyValue(1).toString(), QString("5,3"));
        QCOMPARE(w.cxGrid->DisplayText(1, Col(m, "INT_SPILLBACKINDEX")), QString("남"));
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "MAIN_RING")), QString("A Ring"));
        QVERIFY(m->Value(1, Col(m, "SUB_RING")).isNull());
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        QCOMPARE(w.cxGrid->DisplayText(1, Col(m, "INT_SPILLBACKINDEX")), QString("S"));
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "MAIN_RING")), QString("A RING"));
        QCOMPARE(w.windowTitle(), QString("Spillback Parameter for Controller"));
    }

    void newRowsAndTheirDirections()
    {
        TFormSpillbackParameter w;
        w.show();
        w.SetTcdvID(6);
        TGridModel *m = w.GridModel();
        QList<int> dirs;
        for (int i = 0; i < 8; ++i) {
            w.actAdd->trigger();
            dirs << m->Value(i, Col(m, "INT_SPILLBACKINDEX")).toInt();
            QCOMPARE(m->Value(i, Col(m, "INT_LCNO")).toInt(), 6);
        }
        QCOMPARE(dirs, QList<int>({1, 2, 3, 4, 5, 6, 7, 0}));
        QCOMPARE(w.cxGrid->FocusedColumn(), Col(m, "INT_SPILLBACKINDEX"));
        // The eighth row's direction 0 is refused as a missing value; nothing is written.
        ScriptedMsgDlg boxes;
        w.actSave->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("필수 입력 항목을 확인바랍니다."));
        QCOMPARE(w.cxGrid->FocusedRecord(), 7);
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTSPILLBACK2 WHERE INT_LCNO = 6"), QStringList{"0"});
        // Chosen, the eight rows are saved at once, without a question, empty cells as 0.
        m->EditValue(7, Col(m, "INT_SPILLBACKINDEX"), 8);
        boxes.clear();
        w.actSave->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT CONCAT_WS(' ', INT_SPILLBACKINDEX, MAIN_RING, MAIN_PHASE, SUB_RING, SUB_PHASE) "
                        "FROM SCS_M_INTSPILLBACK2 WHERE INT_LCNO = 6 ORDER BY INT_SPILLBACKINDEX"),
                 QStringList({"1 0 0 0 0", "2 0 0 0 0", "3 0 0 0 0", "4 0 0 0 0", "5 0 0 0 0", "6 0 0 0 0",
                              "7 0 0 0 0", "8 0 0 0 0"}));
    }

    // Edits of the loaded rows of intersection 5 and what it holds afterwards.
    void saves_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("a changed direction moves the row")
            << 1 << "INT_SPILLBACKINDEX" << QVariant(7) << QStringList({"1 1 2 2 6", "7 2 4 0 0"});
        QTest::newRow("empty cells store 0")
            << 0 << "MAIN_PHASE" << QVariant() << QStringList({"1 1 0 2 6", "3 2 4 NULL NULL"});
    }
    void saves()
    {
        QFETCH(int, record);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QStringList, stored);
        ScriptedMsgDlg boxes;
        TFormSpillbackParameter w;
        w.show();
        w.SetTcdvID(5);
        TGridModel *m = w.GridModel();
        m->EditValue(record, m->ColumnIndex(column), value);
        QVERIFY(w.SaveSpillBack());
        // CONCAT_WS skips NULLs: spell them out.
        QStringList got;
        for (const QString &row : Column("SELECT CONCAT_WS(' ', INT_SPILLBACKINDEX, IFNULL(MAIN_RING, 'NULL'), "
                                         "IFNULL(MAIN_PHASE, 'NULL'), IFNULL(SUB_RING, 'NULL'), IFNULL(SUB_PHASE, 'NULL')) "
                                         "FROM SCS_M_INTSPILLBACK2 WHERE INT_LCNO = 5 ORDER BY INT_SPILLBACKINDEX"))
            got << row;
        QCOMPARE(got, stored);
    }

    void duplicateDirectionRefused()
    {
        ScriptedMsgDlg boxes;
        TFormSpillbackParameter w;
        w.show();
        w.SetTcdvID(5);
        TGridModel *m = w.GridModel();
        m->EditValue(1, Col(m, "INT_SPILLBACKINDEX"), 1);
        QVERIFY(!w.SaveSpillBack());
        QCOMPARE(boxes.last().text, QString("중복된 데이터가 존재합니다."));
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(Column(kRows), QStringList({"1 1 2 2 6", "3 2 4"}));
        QCOMPARE(m->State(1), QString("M"));
    }

    // The database refuses a row written meanwhile by someone else: nothing is
    // stored and every edit stays in the grid.
    void failedSaveKeepsTheEdits()
    {
        ScriptedMsgDlg boxes;
        TFormSpillbackParameter w;
        w.show();
        w.SetTcdvID(5);
        TGridModel *m = w.GridModel();
        m->EditValue(0, Col(m, "SUB_PHASE"), 4);
        w.actAdd->trigger();
        m->EditValue(2, Col(m, "INT_SPILLBACKINDEX"), 5);
        QVERIFY(EditorFixture::Exec("INSERT INTO SCS_M_INTSPILLBACK2 VALUES (5, 5, 1, 1, 1, 1)"));
        QVERIFY(!w.SaveSpillBack());
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QCOMPARE(Column(kRows), QStringList({"1 1 2 2 6", "3 2 4", "5 1 1 1 1"}));
        QCOMPARE(m->RecordCount(), 3);
        QCOMPARE(m->State(0), QString("M"));
        QCOMPARE(m->Value(0, Col(m, "SUB_PHASE")).toInt(), 4);
        QCOMPARE(m->State(2), QString("I"));
        QCOMPARE(m->Value(2, Col(m, "INT_SPILLBACKINDEX")).toInt(), 5);
    }

    void allAddsAnEmptyRow()
    {
        TFormSpillbackParameter w;
        w.show();
        w.SetTcdvID(5);
        w.cbxAllTCDV->setChecked(true);
        TGridModel *m = w.GridModel();
        const int rows = m->RecordCount();
        QVERIFY(rows >= 2);
        w.actAdd->trigger();
        QCOMPARE(m->RecordCount(), rows + 1);
        QVERIFY(m->Text(rows, Col(m, "INT_LCNO")).isEmpty());
        QVERIFY(m->Text(rows, Col(m, "INT_SPILLBACKINDEX")).isEmpty());
        QCOMPARE(w.cxGrid->FocusedColumn(), Col(m, "INT_LCNO"));
    }

    // The transfer window opens it through the opener table and sets IsModal there.
    void modalThroughTheOpenerTable()
    {
        RegisterIntersectionWindows();
        const auto &windows = IntersectionWindows();
        auto it = std::find_if(windows.begin(), windows.end(),
                               [](const TIntersectionWindow &e) { return e.WindowClass == "TFormSpillbackParameter"; });
        QVERIFY(it != windows.end());
        std::unique_ptr<QWidget> created(it->Create(nullptr));
        auto *w = qobject_cast<TFormSpillbackParameter *>(created.get());
        QVERIFY(w);
        const TWindowClassHooks *hooks = TMainOpeners::Hooks("TFormSpillbackParameter");
        QVERIFY(hooks && hooks->Set);
        hooks->Set(w, "TcdvID", 5);
        hooks->Set(w, "IsModal", true);
        QVERIFY(w->IsModal());
        QCOMPARE(w->GridModel()->RecordCount(), 2);
        QTimer::singleShot(0, w, [w] { w->actClose->trigger(); });
        QCOMPARE(w->exec(), int(TfrmBase::mrOK));
    }
};

QTEST_MAIN(TestSpillBack)
#include "tst_spillback.moc"
