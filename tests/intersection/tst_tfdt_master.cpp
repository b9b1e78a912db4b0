// The detector channel editor against the fixture database: what a save writes
// for direct and indirect channels, spill-back phases and renumbered rows, the
// checks that refuse a save, the row limit and numbering of new rows, the type
// list of the intersection's controller, the refresh flag and modal closing.
#include <QCheckBox>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"
#include "core/InAppMessage.h"
#include "core/Quorval.h"
#include "intersection/untTfdtMaster.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_tfdt_master";
const char *const kRow =
    "SELECT CONCAT_WS('|', TFDT_NO, TFDT_USE, IFNULL(TFDT_LANE, 'NULL'), IFNULL(TFDT_POSITION, 'NULL'), "
    "IFNULL(TFDT_REAL_LCNO, 'NULL'), IFNULL(TFDT_REAL_CHANNEL, 'NULL'), IFNULL(MAIN_RING, 'NULL'), "
    "IFNULL(MAIN_PHASE, 'NULL'), IFNULL(SUB_RING, 'NULL'), IFNULL(SUB_PHASE, 'NULL'), IFNULL(TFDT_ID, 'NULL')) "
    "FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 3 ORDER BY TFDT_NO";

using TEdits = QList<QPair<QString, QVariant>>;

int Col(TGridModel *m, const QString &name)
{
    return m->ColumnIndex(name);
}

void Apply(TGridModel *m, int rec, const TEdits &edits)
{
    for (const auto &e : edits)
        m->EditValue(rec, Col(m, e.first), e.second);
}

} // namespace

class TestTfdtMaster : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb)); }
    void init()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QString err;
        // Intersection 3 has a 2004 controller; its channels 1 and 2 are stored.
        QVERIFY2(FDb.Run("DELETE FROM SCS_M_TFDTOPERATE WHERE INT_LCNO IN (3, 4);"
                         "INSERT INTO SCS_M_TFDTOPERATE (INT_LCNO, TFDT_NO, TFDT_TYPE, TFDT_USE, TFDT_PHASE, TFDT_LANE, "
                         "TFDT_POSITION, MAIN_RING, MAIN_PHASE, SUB_RING, SUB_PHASE, TFDT_REGFLAG, TFDT_ID) VALUES "
                         "(3, 1, 0, 1, 0, 1, 20, 1, 2, 2, 6, 1, '0'),"
                         "(3, 2, 4, 4, 3, 2, 25, 1, 3, 2, 7, 1, 'D300');",
                         &err),
                 qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    void loadsTheChannels()
    {
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 2);
        QCOMPARE(m->KeyValue(1).toString(), QString("3,2"));
        QCOMPARE(m->State(0), QString("N"));
        // A stored phase 0 and detector id "0" show empty.
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "TFDT_PHASE")), QString());
        QCOMPARE(m->Text(0, Col(m, "TFDT_ID")), QString());
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "Type")), QString("직접"));
        QCOMPARE(w.cxGrid->DisplayText(1, Col(m, "TFDT_USE")), QString("앞막힘"));
        // A 2004 controller: type 4 is "MAGNETIC", not the 2010 list's spot detector.
        QCOMPARE(w.cxGrid->DisplayText(1, Col(m, "TFDT_TYPE")), QString("MAGNETIC"));
        QVERIFY(!w.actSave->isEnabled());
    }

    // Edits and what intersection 3 holds after the save.
    void saveWritesTheRows_data()
    {
        QTest::addColumn<int>("record"); // -1: a new row
        QTest::addColumn<TEdits>("edits");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("channel 64 writes lane and position")
            << -1 << TEdits{{"TFDT_NO", 64}, {"TFDT_USE", 1}, {"TFDT_LANE", 2}, {"TFDT_POSITION", 30},
                            {"TFDT_REAL_LCNO", 5}, {"TFDT_REAL_CHANNEL", 7}, {"TFDT_POSITION_MIRROR", 12}}
            << QStringList{"1|1|1|20|NULL|NULL|1|2|2|6|0", "2|4|2|25|NULL|NULL|1|3|2|7|D300",
                           "64|1|2|30|NULL|NULL|NULL|NULL|NULL|NULL|"};
        QTest::newRow("channel 65 writes the installed intersection, channel and distance")
            << -1 << TEdits{{"TFDT_NO", 65}, {"TFDT_USE", 3}, {"TFDT_LANE", 2}, {"TFDT_POSITION", 30},
                            {"TFDT_REAL_LCNO", 5}, {"TFDT_REAL_CHANNEL", 7}, {"TFDT_POSITION_MIRROR", 12}}
            << QStringList{"1|1|1|20|NULL|NULL|1|2|2|6|0", "2|4|2|25|NULL|NULL|1|3|2|7|D300",
                           "65|3|NULL|12|5|7|NULL|NULL|NULL|NULL|"};
        QTest::newRow("an indirect channel without distance stores 0")
            << -1 << TEdits{{"TFDT_NO", 100}, {"TFDT_USE", 1}}
            << QStringList{"1|1|1|20|NULL|NULL|1|2|2|6|0", "2|4|2|25|NULL|NULL|1|3|2|7|D300",
                           "100|1|NULL|0|0|0|NULL|NULL|NULL|NULL|"};
        QTest::newRow("main and sub phases dropped when the use is not spill-back")
            << 0 << TEdits{{"TFDT_WGHVOL", 5}}
            << QStringList{"1|1|1|20|NULL|NULL|NULL|NULL|NULL|NULL|", "2|4|2|25|NULL|NULL|1|3|2|7|D300"};
        QTest::newRow("main and sub phases kept for spill-back")
            << 1 << TEdits{{"SUB_PHASE", 8}}
            << QStringList{"1|1|1|20|NULL|NULL|1|2|2|6|0", "2|4|2|25|NULL|NULL|1|3|2|8|D300"};
        QTest::newRow("a renumbered row moves")
            << 1 << TEdits{{"TFDT_NO", 9}}
            << QStringList{"1|1|1|20|NULL|NULL|1|2|2|6|0", "9|4|2|25|NULL|NULL|1|3|2|7|D300"};
    }
    void saveWritesTheRows()
    {
        QFETCH(int, record);
        QFETCH(TEdits, edits);
        QFETCH(QStringList, stored);
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        if (record < 0) {
            w.actAdd->trigger();
            record = m->RecordCount() - 1;
        }
        Apply(m, record, edits);
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column(kRow), stored);
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(m->ChangedCount(), 0);
    }

    void deletedRowGoes()
    {
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        w.cxGrid->FocusRecord(0);
        w.actDel->trigger();
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT TFDT_NO FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 3"), QStringList{"2"});
    }

    // Changes a save refuses before anything is written, with the offending cell focused.
    void refusedSaves_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<TEdits>("edits");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("column");
        QTest::newRow("duplicate channel") << 1 << TEdits{{"TFDT_NO", 1}} << "중복된 데이터가 존재합니다." << "TFDT_NO";
        QTest::newRow("duplicate detector id")
            << 0 << TEdits{{"TFDT_ID", "D300"}} << "중복된 데이터가 존재합니다." << "TFDT_ID";
        QTest::newRow("empty use") << 0 << TEdits{{"TFDT_USE", QVariant()}} << "필수 입력 항목을 확인바랍니다."
                                   << "TFDT_USE";
        QTest::newRow("empty channel") << 1 << TEdits{{"TFDT_NO", QVariant()}} << "필수 입력 항목을 확인바랍니다."
                                       << "TFDT_NO";
    }
    void refusedSaves()
    {
        QFETCH(int, record);
        QFETCH(TEdits, edits);
        QFETCH(QString, message);
        QFETCH(QString, column);
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        const QStringList before = Column(kRow);
        Apply(m, record, edits);
        QVERIFY(!w.actSaveExecute());
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().caption, QString("유효성 체크"));
        QCOMPARE(boxes.last().text, message);
        QCOMPARE(w.cxGrid->FocusedRecord(), record);
        QCOMPARE(w.cxGrid->FocusedColumn(), Col(m, column));
        QCOMPARE(Column(kRow), before);
        QCOMPARE(m->State(record), QString("M"));
    }

    void emptyDetectorIdsNeverClash()
    {
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        w.actAdd->trigger();
        Apply(w.GridModel(), 2, {{"TFDT_USE", 2}});
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT TFDT_NO FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 3 AND TFDT_ID = ''"),
                 QStringList{"3"});
    }

    // The database refuses the row (written meanwhile by someone else): the edits stay.
    void failedSaveKeepsTheEdits()
    {
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        Apply(m, 0, {{"TFDT_WGHVOL", 9}});
        w.actAdd->trigger();
        Apply(m, 2, {{"TFDT_USE", 2}});
        QVERIFY(EditorFixture::Exec("INSERT INTO SCS_M_TFDTOPERATE (INT_LCNO, TFDT_NO, TFDT_USE) VALUES (3, 3, 8)"));
        auto &flags = TInAppMessageHolder::instance()->Flags();
        flags.REFRESH_TFDT_MASTER = false;
        QVERIFY(!w.actSaveExecute());
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QVERIFY(!flags.REFRESH_TFDT_MASTER);
        QCOMPARE(m->RecordCount(), 3);
        QCOMPARE(m->State(0), QString("M"));
        QCOMPARE(m->Value(0, Col(m, "TFDT_WGHVOL")).toInt(), 9);
        QCOMPARE(m->State(2), QString("I"));
        QCOMPARE(Column("SELECT IFNULL(TFDT_WGHVOL, 'NULL') FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 3 AND TFDT_NO = 1"),
                 QStringList{"NULL"});
        // Renumbered, the new row saves and the flag goes up.
        Apply(m, 2, {{"TFDT_NO", 4}});
        QVERIFY(w.actSaveExecute());
        QVERIFY(flags.REFRESH_TFDT_MASTER);
        QCOMPARE(Column("SELECT TFDT_NO FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 3 ORDER BY TFDT_NO"),
                 QStringList({"1", "2", "3", "4"}));
    }

    void newRows()
    {
        ScriptedMsgDlg boxes;
        boxes.setDefaultAnswer(mrYes);
        QVERIFY(EditorFixture::Exec("INSERT INTO SCS_M_TFDTOPERATE (INT_LCNO, TFDT_NO, TFDT_USE) VALUES (3, 5, 1)"));
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        w.actAdd->trigger();
        // After 1, 2, 5 comes 6, on the window's intersection, with its 2004 type list.
        QCOMPARE(m->Value(3, Col(m, "TFDT_NO")).toInt(), 6);
        QCOMPARE(m->Value(3, Col(m, "INT_LCNO")).toInt(), 3);
        m->EditValue(3, Col(m, "TFDT_TYPE"), 4);
        QCOMPARE(w.cxGrid->DisplayText(3, Col(m, "TFDT_TYPE")), QString("MAGNETIC"));
        QCOMPARE(w.cxGrid->FocusedColumn(), Col(m, "TFDT_TYPE"));
        // An untouched new row is neither checked nor saved.
        w.actAdd->trigger();
        QCOMPARE(m->State(4), QString());
        Apply(m, 3, {{"TFDT_USE", 2}});
        QVERIFY(w.actSaveExecute());
        QCOMPARE(Column("SELECT TFDT_NO FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 3 ORDER BY TFDT_NO"),
                 QStringList({"1", "2", "5", "6"}));
        // The first row of an empty grid is channel 1; a 2010 intersection offers its own list.
        w.SetTCDV_ID(4);
        QCOMPARE(m->RecordCount(), 0);
        w.actAdd->trigger();
        QCOMPARE(m->Value(0, Col(m, "TFDT_NO")).toInt(), 1);
        m->EditValue(0, Col(m, "TFDT_TYPE"), 4);
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "TFDT_TYPE")), QString("점형 검지기"));
    }

    // Direct channels edit lane and position, indirect ones the installed intersection.
    void cellRules()
    {
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        auto editable = [m](int rec, const char *col) {
            return bool(m->flags(m->index(rec, Col(m, col))) & Qt::ItemIsEditable);
        };
        Apply(m, 0, {{"TFDT_NO", 64}});
        QVERIFY(editable(0, "TFDT_LANE") && editable(0, "TFDT_POSITION"));
        QVERIFY(!editable(0, "TFDT_REAL_LCNO") && !editable(0, "TFDT_POSITION_MIRROR"));
        QVERIFY(!editable(0, "MAIN_RING"));
        Apply(m, 0, {{"TFDT_NO", 65}});
        QVERIFY(!editable(0, "TFDT_LANE") && !editable(0, "TFDT_POSITION"));
        QVERIFY(editable(0, "TFDT_REAL_LCNO") && editable(0, "TFDT_REAL_CHANNEL"));
        QVERIFY(editable(1, "MAIN_RING") && editable(1, "SUB_PHASE"));
        QVERIFY(!editable(1, "INT_LCNO"));
    }

    void rowLimitAndAll()
    {
        ScriptedMsgDlg boxes;
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        // A deleted row still counts toward the 128 until the save.
        w.cxGrid->FocusRecord(0);
        w.actDel->trigger();
        while (m->RecordCount() < 128)
            w.actAdd->trigger();
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(m->Value(127, Col(m, "TFDT_NO")).toInt(), 128);
        w.actAdd->trigger();
        QCOMPARE(m->RecordCount(), 128);
        QCOMPARE(boxes.last().text, QString("입력가능한 최대행수를 초과하였습니다."));
        QCOMPARE(boxes.last().caption, QString("추가 확인"));
        // With "All" ticked nothing is added.
        boxes.setDefaultAnswer(mrYes);
        TFormTfdtMaster all;
        all.show();
        all.SetTCDV_ID(3);
        all.cbxAllTCDV->setChecked(true);
        const int rows = all.GridModel()->RecordCount();
        QVERIFY(rows > 2);
        all.actAdd->trigger();
        QCOMPARE(all.GridModel()->RecordCount(), rows);
        QCOMPARE(boxes.last().text, QString("모든 신호검지기 체크를 해지하십시오"));
    }

    // The lists and texts follow the language.
    void englishTexts()
    {
        TFormTfdtMaster w;
        w.show();
        w.SetTCDV_ID(3);
        TGridModel *m = w.GridModel();
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        QCOMPARE(w.cxGrid->DisplayText(1, Col(m, "TFDT_USE")), QString("SPILL-BACK"));
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "TFDT_TYPE")), QString("1.8 x 1.8"));
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "Type")), QString("Direct"));
        QCOMPARE(w.cbxAllTCDV->text(), QString("All"));
        QCOMPARE(m->headerData(Col(m, "TFDT_POSITION_MIRROR"), Qt::Horizontal).toString(),
                 QString("Length Of Control (Unit : 10m)"));
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QCOMPARE(w.cxGrid->DisplayText(0, Col(m, "Type")), QString("직접"));
    }

    void modalCloseGivesOk()
    {
        TFormTfdtMaster w;
        w.SetTCDV_ID(3);
        QTimer::singleShot(0, &w, [&w] { w.actClose->trigger(); });
        QCOMPARE(w.ShowModal(), int(TfrmBase::mrOK));
    }
};

QTEST_MAIN(TestTfdtMaster)
#include "tst_tfdt_master.moc"
