// The outline tool on the fixture database: a round trip through a workbook
// leaves every stored outline byte for byte as it was, a blank outline gives
// NULL, rows without a group number are skipped at Load, an outline longer than
// a cell is refused naming its group, and no refresh flag is raised.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "EditorFixture.h"
#include "core/FileDialogService.h"
#include "core/GridExport.h"
#include "core/GridModel.h"
#include "core/InAppMessage.h"
#include "core/Quorval.h"
#include "plans/untSaTool.h"

using EditorFixture::Column;
using EditorFixture::Exec;

namespace {

const char *const kDb = "tst_sa_tool";
const QString kStored = "SELECT CONCAT(SA_NO, ':', COALESCE(HEX(SA_LATLNGS), 'NULL')) FROM SCS_M_SAOPERATE ORDER BY SA_NO";

} // namespace

class TestSaTool : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        QString err;
        QVERIFY2(FDb.Run("CREATE TABLE BASE_SAOPERATE AS SELECT * FROM SCS_M_SAOPERATE;", &err), qPrintable(err));
    }
    void init()
    {
        QString err;
        QVERIFY2(FDb.Run("DELETE FROM SCS_M_SAOPERATE; INSERT INTO SCS_M_SAOPERATE SELECT * FROM BASE_SAOPERATE;"
                         // group 3 without an outline; group 4's outline with surrounding blanks kept inside
                         "UPDATE SCS_M_SAOPERATE SET SA_LATLNGS = NULL WHERE SA_NO = 3;",
                         &err),
                 qPrintable(err));
        TInAppMessageHolder::instance()->Take();
    }
    void cleanupTestCase() { FDb.Close(); }

    void listsOutlines()
    {
        TFormSaTool w;
        const auto rows = w.Outlines();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0].Name, QString("도산대로 축"));
        QVERIFY(rows[0].Links.startsWith("1221000001,1221000002,"));
        QVERIFY(rows[0].LatLngs.startsWith("{\"type\":\"Feature\""));
        QCOMPARE(rows[2].LatLngs, QString());
        QCOMPARE(rows[2].Links, QString());
        QCOMPARE(w.Model()->RecordCount(), 4);
    }

    // Save to Excel, change the database, Load, DB Insert: the outlines are back as
    // they were, byte for byte; the group without one is NULL again.
    void roundTripIsByteIdentical()
    {
        const QStringList before = Column(kStored);
        QTemporaryDir dir;
        const QString file = dir.filePath("outlines.xlsx");
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        TFormSaTool w;
        files.enqueue(file);
        QVERIFY(w.actSaveToExcelExecute());
        QVERIFY(Exec("UPDATE SCS_M_SAOPERATE SET SA_LATLNGS = 'changed'"));
        files.enqueue(file);
        QVERIFY(w.actLoadExecute());
        QCOMPARE(w.Outlines().size(), 4);
        QCOMPARE(w.Model()->RecordCount(), 4);
        boxes.clear();
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveToDBExecute());
        QCOMPARE(boxes.requests().first().text, QString("기존 데이터는 삭제됩니다.\n계속하시겠습니까?"));
        QCOMPARE(boxes.requests().first().caption, QString("확인"));
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column(kStored), before);
        QVERIFY(Column("SELECT SA_LATLNGS IS NULL FROM SCS_M_SAOPERATE WHERE SA_NO = 3") == QStringList{"1"});
        const TInAppMessage flags = TInAppMessageHolder::instance()->Take();
        QVERIFY(!flags.REFRESH_SA_MASTER && !flags.REFRESH_SA_CONF);
    }

    // Load: column A must be a group number above 0; the texts are trimmed.
    void loadSkipsRowsWithoutGroup()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("hand.xlsx");
        TXlsxTable t;
        t.Header = {"그룹ID", "그룹명칭", "SA_LATLNGS"};
        t.Rows = {{"abc", "x", "{\"a\":1}"}, {"0", "y", "{\"b\":2}"}, {"-2", "z", "{}"},
                  {"2", " 이름 ", "  {\"c\":3}  "}, {"4", "", ""}};
        QVERIFY(WriteXlsxTable(file, t));
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        TFormSaTool w;
        files.enqueue(file);
        QVERIFY(w.actLoadExecute());
        const auto rows = w.Outlines();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].SaNo, 2);
        QCOMPARE(rows[0].Name, QString("이름"));
        QCOMPARE(rows[0].LatLngs, QString("{\"c\":3}"));
        QCOMPARE(rows[1].SaNo, 4);
        // DB Insert: the text as held, blank gives NULL, only the outline column changes.
        boxes.enqueue(mrYes);
        QVERIFY(w.actSaveToDBExecute());
        QCOMPARE(Column("SELECT CONCAT(SA_NO, ':', SA_NAME, ':', COALESCE(SA_LATLNGS, 'NULL')) FROM SCS_M_SAOPERATE "
                        "WHERE SA_NO IN (2, 4) ORDER BY SA_NO"),
                 (QStringList{"2:테헤란로 축:{\"c\":3}", "4:남부순환로 축:NULL"}));
        QVERIFY(Column("SELECT SA_LATLNGS IS NOT NULL FROM SCS_M_SAOPERATE WHERE SA_NO = 1") == QStringList{"1"});
    }

    // Cancelled dialogs and a refused question change nothing.
    void cancelChangesNothing()
    {
        const QStringList before = Column(kStored);
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;   // empty queue: every dialog cancelled
        TFormSaTool w;
        const QString folder = DM->G_DIALOG_PATH;
        QVERIFY(!w.actSaveToExcelExecute());
        QVERIFY(!w.actLoadExecute());
        QCOMPARE(DM->G_DIALOG_PATH, folder);
        QCOMPARE(w.Outlines().size(), 4);
        boxes.enqueue(mrNo);
        QVERIFY(!w.actSaveToDBExecute());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(Column(kStored), before);
    }

    // A workbook that cannot be read: the box with the import texts.
    void unreadableWorkbook()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("bad.xlsx");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a workbook");
        f.close();
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        TFormSaTool w;
        files.enqueue(file);
        QVERIFY(!w.actLoadExecute());
        QCOMPARE(boxes.last().text, QString("엑셀 가져오기 도중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("엑셀 가져오기 오류"));
        QVERIFY(!boxes.last().detail.isEmpty());
    }

    // An outline longer than a cell holds: refused naming the group, no file, nothing cut.
    void tooLongOutlineRefused()
    {
        const QString longText = "{\"type\":\"Feature\",\"properties\":{\"linkList\":\"" + QString(32767, '1') + "\"}}";
        QVERIFY(Exec("UPDATE SCS_M_SAOPERATE SET SA_LATLNGS = '" + longText + "' WHERE SA_NO = 2"));
        QTemporaryDir dir;
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        files.enqueue(dir.filePath("long.xlsx"));
        TFormSaTool w;
        QCOMPARE(w.Outlines()[1].LatLngs.size(), longText.size());
        QVERIFY(!w.actSaveToExcelExecute());
        QCOMPARE(boxes.count(), 1);
        QVERIFY2(boxes.last().text.contains("2") && boxes.last().text.contains("테헤란로 축"),
                 qPrintable(boxes.last().text));
        QCOMPARE(boxes.last().kind, mkError);
        QVERIFY(!QFile::exists(dir.filePath("long.xlsx")));
        QCOMPARE(Column("SELECT LENGTH(SA_LATLNGS) FROM SCS_M_SAOPERATE WHERE SA_NO = 2"),
                 QStringList{QString::number(longText.size())});
    }
};

QTEST_MAIN(TestSaTool)
#include "tst_sa_tool.moc"
