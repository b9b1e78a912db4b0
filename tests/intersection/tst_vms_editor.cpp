// The VMS message and schedule editor against the fixture database: loading both
// grids, the row limits, renumbering, the number box, the 48-byte text limit,
// a failed save that keeps every edit, modal closing and the English value texts.
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"
#include "core/FileDialogService.h"
#include "core/GridResources.h"
#include "core/Quorval.h"
#include "intersection/IntersectionWindows.h"
#include "intersection/VmsRules.h"
#include "intersection/untVMSMsgPlan.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_vms_editor";

QStringList States(TGridModel *m)
{
    QStringList s;
    for (int r = 0; r < m->RecordCount(); ++r)
        s << m->State(r);
    return s;
}

} // namespace

class TestVmsEditor : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb)); }
    void init()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QString err;
        QVERIFY2(FDb.Run(
            "DELETE FROM SCS_M_VMSMESSAGE WHERE INT_LCNO IN (1, 12);"
            "DELETE FROM SCS_M_VMSSCHEDULE WHERE INT_LCNO IN (1, 12);"
            "INSERT INTO SCS_M_VMSMESSAGE (INT_LCNO, MSG_INDEX, MSG_MESSAGE) VALUES (1, 1, '하나'), (12, 1, '열둘'), (12, 2, '열둘 둘');"
            "DELETE FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16;"
            "INSERT INTO SCS_M_VMSMESSAGE VALUES "
            "(16, 1, '강남역 일대 정체', 1, 2, 10, 0, 3, 0, 0, 0, 2, 1, 5, 1, 5),"
            "(16, 2, '우회도로를 이용하세요', 1, 2, 10, 0, 2, 0, 0, 0, 2, 1, 5, 1, 5),"
            "(16, 3, '보행자 안전 우선', 3, 1, 8, 0, 2, 0, 1, 0, 2, 0, 0, 0, 0);"
            "DELETE FROM SCS_M_VMSSCHEDULE WHERE INT_LCNO = 16;"
            "INSERT INTO SCS_M_VMSSCHEDULE VALUES (16, 1, 0, 0, 9, 7, 0, 10, 0, 200, 9, 4),"
            "(16, 2, 0, 0, 10, 10, 0, 22, 0, 150, 9, 1);",
            &err), qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    void loadsBothGrids()
    {
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        QCOMPARE(w.MsgModel()->RecordCount(), 3);
        QCOMPARE(w.SchdModel()->RecordCount(), 2);
        QCOMPARE(w.MsgModel()->KeyValue(2).toString(), QString("16,3"));
        QCOMPARE(w.SchdModel()->KeyValue(1).toString(), QString("16,2"));
        QCOMPARE(w.MsgModel()->Text(1, w.MsgModel()->ColumnIndex("MSG_MESSAGE")), QString("우회도로를 이용하세요"));
        QCOMPARE(w.gtvMsg->DisplayText(0, w.MsgModel()->ColumnIndex("MSG_DIRECTION")), QString("북쪽"));
        QCOMPARE(w.gtvSchd->DisplayText(0, w.SchdModel()->ColumnIndex("INT_MSGWKD")), QString("모든 주중(월-금)"));
        QVERIFY(w.actAdd->isEnabled() && w.actAdd1->isEnabled());
        QVERIFY(!w.actSave->isEnabled() && !w.actSave1->isEnabled());
        QVERIFY(w.actExport->isEnabled() && w.actExport1->isEnabled());
        // A number that names nothing empties both grids.
        w.SetTCDV_ID(9999);
        QCOMPARE(w.MsgModel()->RecordCount(), 0);
        QCOMPARE(w.SchdModel()->RecordCount(), 0);
        QVERIFY(!w.actAdd->isEnabled() && !w.actAdd1->isEnabled());
    }

    // The 17th message and the 11th schedule entry are refused; new rows are numbered by position.
    void rowLimits_data()
    {
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("limit");
        QTest::newRow("messages") << 0 << 16;
        QTest::newRow("schedules") << 1 << 10;
    }
    void rowLimits()
    {
        QFETCH(int, grid);
        QFETCH(int, limit);
        ScriptedMsgDlg boxes;
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        TGridModel *m = grid == 0 ? w.MsgModel() : w.SchdModel();
        QAction *add = grid == 0 ? w.actAdd : w.actAdd1;
        while (m->RecordCount() < limit)
            add->trigger();
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(m->RecordCount(), limit);
        QCOMPARE(m->Value(limit - 1, 0).toInt(), limit);
        QCOMPARE(m->State(limit - 1), QString("I"));
        add->trigger();
        QCOMPARE(m->RecordCount(), limit);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, mkInformation);
        QCOMPARE(boxes.last().text, QString("입력가능한 최대행수를 초과하였습니다."));
        QCOMPARE(boxes.last().caption, QString("추가 확인"));
    }

    void renumberingMovesTheStoredRow()
    {
        ScriptedMsgDlg boxes;
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        w.MsgModel()->EditValue(2, 0, 5);
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT MSG_INDEX FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16 ORDER BY MSG_INDEX"),
                 QStringList({"1", "2", "5"}));
        QCOMPARE(Column("SELECT MSG_MESSAGE FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16 AND MSG_INDEX = 5"),
                 QStringList({"보행자 안전 우선"}));
        QCOMPARE(w.MsgModel()->KeyValue(2).toString(), QString("16,5"));
    }

    void addAndDeleteOnEachGrid()
    {
        ScriptedMsgDlg boxes;
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        // A new row deleted before saving disappears; a loaded one is marked and deleted by its key.
        w.actAdd1->trigger();
        QCOMPARE(w.SchdModel()->RecordCount(), 3);
        w.gtvSchd->FocusRecord(2);
        w.actDel1->trigger();
        QCOMPARE(w.SchdModel()->RecordCount(), 2);
        w.gtvSchd->FocusRecord(0);
        w.actDel1->trigger();
        QCOMPARE(States(w.SchdModel()), QStringList({"D", "N"}));
        w.actAdd1->trigger();
        const int rec = w.SchdModel()->RecordCount() - 1;
        QCOMPARE(w.SchdModel()->Value(rec, 0).toInt(), 3);
        w.SchdModel()->EditValue(rec, w.SchdModel()->ColumnIndex("INT_BRIGHT"), 99);
        boxes.enqueue(mrYes);
        w.actSave1->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT CONCAT(INT_MSGINDEX, ':', INT_BRIGHT, ':', INT_MSGWKD) FROM SCS_M_VMSSCHEDULE "
                        "WHERE INT_LCNO = 16 ORDER BY INT_MSGINDEX"),
                 QStringList({"2:150:10", "3:99:0"}));
        // The message grid was not touched by the schedule grid's save.
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16"), QStringList({"3"}));
    }

    void typingLoadsOnEachKeystroke()
    {
        TfrmVMSMsgPlan w;
        w.show();
        w.edtTCDV->setFocus();
        QTest::keyClick(w.edtTCDV, Qt::Key_1);
        QCOMPARE(w.TCDV_ID(), 1);
        QCOMPARE(w.MsgModel()->RecordCount(), 1);
        QCOMPARE(w.MsgModel()->Text(0, 1), QString("하나"));
        QTest::keyClick(w.edtTCDV, Qt::Key_2);
        QCOMPARE(w.TCDV_ID(), 12);
        QCOMPARE(w.MsgModel()->RecordCount(), 2);
        QCOMPARE(w.MsgModel()->Text(1, 1), QString("열둘 둘"));
        QCOMPARE(w.lblTCDV_NAME->text(), QString("언주역사거리"));
    }

    // 48 CP949 bytes fit (24 Korean characters), 49 do not: refused before anything is written.
    void messageTextLimit()
    {
        QVERIFY(Vms::TextFits(QString(24, QChar(0xAC00))));
        QVERIFY(!Vms::TextFits(QString(24, QChar(0xAC00)) + "a"));
        QVERIFY(Vms::TextFits(QString(48, 'a')));
        QVERIFY(!Vms::TextFits(QString(49, 'a')));

        ScriptedMsgDlg boxes;
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        const int col = w.MsgModel()->ColumnIndex("MSG_MESSAGE");
        const QString tooLong = QString(24, QChar(0xAC00)) + "a";
        w.MsgModel()->EditValue(1, col, tooLong);
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("메시지는 48바이트(한글 24자)까지 입력할 수 있습니다."));
        QCOMPARE(w.gtvMsg->FocusedRecord(), 1);
        QCOMPARE(w.MsgModel()->Text(1, col), tooLong);
        QCOMPARE(w.MsgModel()->State(1), QString("M"));
        QCOMPARE(Column("SELECT MSG_MESSAGE FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16 AND MSG_INDEX = 2"),
                 QStringList({"우회도로를 이용하세요"}));
        w.MsgModel()->EditValue(1, col, QString(24, QChar(0xAC00)));
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT MSG_MESSAGE FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 16 AND MSG_INDEX = 2"),
                 QStringList({QString(24, QChar(0xAC00))}));
    }

    // A duplicate number is refused by the database: rolled back, boxed, every edit kept, then saved.
    void failedSaveKeepsEdits_data()
    {
        QTest::addColumn<int>("grid");
        QTest::newRow("messages") << 0;
        QTest::newRow("schedules") << 1;
    }
    void failedSaveKeepsEdits()
    {
        QFETCH(int, grid);
        ScriptedMsgDlg boxes;
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        TGridModel *m = grid == 0 ? w.MsgModel() : w.SchdModel();
        const QString table = grid == 0 ? "SCS_M_VMSMESSAGE" : "SCS_M_VMSSCHEDULE";
        const QString index = grid == 0 ? "MSG_INDEX" : "INT_MSGINDEX";
        QAction *save = grid == 0 ? w.actSave : w.actSave1;
        const int other = grid == 0 ? m->ColumnIndex("MSG_DISPTIME") : m->ColumnIndex("INT_BRIGHT");
        m->EditValue(0, other, 77);
        m->EditValue(1, 0, 1);                    // the number of row 1 again
        const QStringList before = Column("SELECT CONCAT(" + index + ") FROM " + table + " WHERE INT_LCNO = 16");
        const QStringList states = States(m);
        boxes.enqueue(mrYes);
        save->trigger();
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("저장 실패"));
        QVERIFY(!ConInTransaction(DM->Con()));
        QCOMPARE(Column("SELECT CONCAT(" + index + ") FROM " + table + " WHERE INT_LCNO = 16"), before);
        QCOMPARE(States(m), states);
        QCOMPARE(m->Value(0, other).toInt(), 77);
        QCOMPARE(m->Value(1, 0).toInt(), 1);
        QVERIFY(save->isEnabled());
        // Corrected, both edits are saved together.
        m->EditValue(1, 0, 4);
        boxes.enqueue(mrYes);
        save->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        const QString col = m->Column(other).Name;
        QCOMPARE(Column("SELECT CONCAT(" + index + ", ':', " + col + ") FROM " + table +
                        " WHERE INT_LCNO = 16 AND " + index + " IN (1, 4) ORDER BY " + index),
                 QStringList({"1:77", grid == 0 ? "4:10" : "4:150"}));
    }

    // Each grid proposes its workbook as the caption with the grid's caption in
    // brackets, and fits its columns only while the window is as wide as they are.
    void exportNameAndColumnFit()
    {
        QTemporaryDir dir;
        ScriptedFileDialog files;
        ScriptedMsgDlg boxes; // the offer to open the workbook: No
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        files.enqueue(dir.filePath("msg.xlsx"));
        w.actExport->trigger();
        QCOMPARE(files.last().fileName, QString("VMS 메시지계획(VMS 메시지)"));
        files.enqueue(dir.filePath("schd.xlsx"));
        w.actExport1->trigger();
        QCOMPARE(files.last().fileName, QString("VMS 메시지계획(VMS 스케줄)"));
        QVERIFY(QFile::exists(dir.filePath("msg.xlsx")) && QFile::exists(dir.filePath("schd.xlsx")));
        // Designed widths: messages 1310, schedules 860.
        const struct { int width; bool msgFits, schdFits; } cases[] = {
            {1400, true, true}, {1000, false, true}, {800, false, false}, {1310, true, true}};
        for (const auto &c : cases) {
            w.resize(c.width, 700);
            QCOMPARE(w.gtvMsg->FitColumns(), c.msgFits);
            QCOMPARE(w.gtvSchd->FitColumns(), c.schdFits);
        }
    }

    void modalCloseReturnsOk()
    {
        auto *w = new TfrmVMSMsgPlan;
        QPointer<TfrmVMSMsgPlan> alive(w);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->SetTCDV_ID(16);
        QTimer::singleShot(0, w, [w] { w->actClose->trigger(); });
        QCOMPARE(w->ShowModal(), 1);
        QVERIFY(w->IsModal());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete alive.data();
    }

    void englishValueTexts()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        TfrmVMSMsgPlan w;
        w.show();
        w.SetTCDV_ID(16);
        QCOMPARE(w.windowTitle(), QString("VMS Message Plan"));
        const struct { TGridView *view; const char *col; int rec; QString text; } cases[] = {
            {w.gtvMsg, "MSG_DIRECTION", 2, "3)SS"},
            {w.gtvMsg, "MSG_TYPE", 0, "2)Traffic"},
            {w.gtvMsg, "MSG_TEXTCOLOR", 0, "3)YELLOW"},
            {w.gtvMsg, "MSG_BLINK", 2, "1)ENABLE"},
            {w.gtvMsg, "MSG_DISPMODE", 0, "2)AFTER"},
            {w.gtvMsg, "MSG_DISAPPEARTYPE", 0, "1)LEFT"},
            {w.gtvSchd, "INT_MSGWKD", 0, "9)MON TO SAT"},
            {w.gtvSchd, "INT_DIRECTION", 0, "9)ALL"},
            {w.gtvSchd, "INT_TYPE", 0, "4)NOR+TRA"},
            {w.gtvSchd, "INT_TYPE", 1, "1)Normal"},
        };
        for (const auto &c : cases)
            QCOMPARE(c.view->DisplayText(c.rec, c.view->GridModel()->ColumnIndex(c.col)), c.text);
        const QList<TGridItem> week = Vms::Choices("eriImageComboBoxItemWeek");
        QCOMPARE(week.size(), 13);
        QCOMPARE(week.at(8).Text, QString("8)HOLIDAY"));
        const QList<TGridItem> font = Vms::Choices("eriImageComboBoxItemFont");
        QCOMPARE(font.at(2).Text, QString("3)FONT3"));
    }

    // The core's shared edit items show the texts of the active language, also
    // in their drop-down editors.
    void sharedEditItemsFollowTheLanguage()
    {
        const struct { const char *item; int value; QString korean, english; } cases[] = {
            {"eriImageComboBoxItemMsgDirection", 0, "미사용", "0)NU"},
            {"eriImageComboBoxItemMsgDirection", 1, "북쪽", "1)NN"},
            {"eriImageComboBoxItemSchdDirection", 9, "전방향", "9)ALL"},
            {"eriImageComboBoxItemWeek", 8, "공휴일(휴일계획에 지정된 휴일)", "8)HOLIDAY"},
            {"eriImageComboBoxItemSchdType", 4, "일반+교통", "4)NOR+TRA"},
            {"eriImageComboBoxItemColor", 3, "황색", "3)YELLOW"},
            {"eriImageComboBoxItemFont", 2, "폰트2", "3)FONT3"},
        };
        auto *lang = TsiLangDispatcher::instance();
        for (const auto &c : cases) {
            const TRepositoryItem *item = GridResources::Item(c.item);
            QVERIFY(item);
            for (int language : {int(TsiLangDispatcher::LangKorean), int(TsiLangDispatcher::LangEnglish)}) {
                lang->SetActiveLanguage(language);
                const QString want = language == TsiLangDispatcher::LangKorean ? c.korean : c.english;
                QCOMPARE(GridResources::DisplayText(*item, c.value), want);
                std::unique_ptr<QAbstractItemDelegate> d(GridResources::CreateDelegate(c.item, nullptr));
                QWidget parent;
                std::unique_ptr<QWidget> editor(d->createEditor(&parent, QStyleOptionViewItem(), QModelIndex()));
                auto *combo = qobject_cast<QComboBox *>(editor.get());
                QVERIFY(combo);
                QCOMPARE(combo->itemText(combo->findData(c.value)), want);
            }
        }
        lang->SetActiveLanguage(TsiLangDispatcher::LangKorean);
    }

    void openerTableListsTheEditors()
    {
        QStringList actions;
        for (const auto &w : IntersectionWindows())
            actions << w.Action;
        QCOMPARE(actions, QStringList({"actOpenTCDV_E_SignalManagerVariable", "actOpenTCDV_E_Algorithm",
                                       "actOpenTCDV_E_FlashMap", "actOpenTCDV_E_ConflictMap",
                                       "actOpenTCDV_E_Master", "actOpenVMSMsgPlan", "actOpenTFDT_E",
                                       "actOpenCarTimer", "actOpenFirmwareInfo",
                                       "actOpenCopyGroup", "actOpenCopyInt", ""}));
        std::unique_ptr<QWidget> vms(IntersectionWindows().at(actions.indexOf("actOpenVMSMsgPlan")).Create(nullptr));
        QVERIFY(qobject_cast<TfrmVMSMsgPlan *>(vms.get()));
    }
};

QTEST_MAIN(TestVmsEditor)
#include "tst_vms_editor.moc"
