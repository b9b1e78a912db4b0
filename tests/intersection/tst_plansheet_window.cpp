// The operation plan sheet window on the fixture database (without the main
// window: no live records, no map page): panels by controller type, the tab
// rows kept together, the export of one intersection and of all of them.
#include <QDir>
#include <QTabBar>
#include <QTableWidget>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include "EditorFixture.h"
#include "PlanSheetFixture.h"
#include "XlsxProbe.h"
#include "core/FileDialogService.h"
#include "core/Quorval.h"
#include "intersection/untTCDV_Conf.h"

namespace {

QStringList Tabs(QTabBar *t)
{
    QStringList list;
    for (int i = 0; i < t->count(); ++i)
        list << t->tabText(i);
    return list;
}

QStringList Column(QTableWidget *g, int col)
{
    QStringList list;
    for (int r = 0; r < g->rowCount(); ++r)
        list << (g->item(r, col) ? g->item(r, col)->text() : QString());
    return list;
}

} // namespace

class TstPlanSheetWindow : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb db;
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        QVERIFY(db.Open("plansheet_window"));
        QString error;
        QVERIFY2(db.Run(PlanSheetFixture::Sql(), &error), qPrintable(error));
        DM->G_APP_PATH = QCoreApplication::applicationDirPath() + '/';
    }

    void panelsByType()
    {
        TfrmTCDV_Conf w(nullptr);
        w.setWindowTitle("교차로신호운영계획입출력");
        w.SetTCDV_ID(1);
        QCOMPARE(w.cbxGennType->count(), 6);
        QCOMPARE(w.cbxGennType->itemText(5), "시차제#5");
        QCOMPARE(Tabs(w.tcDayPlan), (QStringList{"계획1", "계획2", "계획3"}));
        QCOMPARE(Tabs(w.tcLcTod), Tabs(w.tcDayPlan));
        QCOMPARE(Column(w.gtvDayPlan, 1), (QStringList{"00:00", "07:30"}));
        QCOMPARE(Column(w.gtvDayPlan, 5), (QStringList{"TOD", "TRC"}));
        QCOMPARE(Column(w.gtvTODWin, 0), (QStringList{"1", "2"}));
        QCOMPARE(Column(w.gtvTODWin, 11), (QStringList{"120\n120", "140\n140"}));
        QCOMPARE(w.lblTCDV_NAME->text(), " 교차로 : 1.신사역사거리 (CI), 일반제");
        QCOMPARE(w.lblPHASE_INFO->text(), " 현시구성 : 시작현시(3)");
        QCOMPARE(Column(w.gtvWeekPlan, 0), QStringList{"일계획#"});
        QCOMPARE(Column(w.gtvWeekPlan, 1), QStringList{"2"});
        QCOMPARE(Column(w.gtvSpPlan, 0), (QStringList{"05/01", "12/25"}));
        QCOMPARE(Column(w.gtvFnTab, 3), (QStringList{"공휴일(휴일계획에 지정된 휴일)", "일"}));
        QCOMPARE(Column(w.gtvFnTab, 6), (QStringList{"시차제어", "점멸제어"}));
        QCOMPARE(w.gtvPhaseInfo->rowCount(), 10);
        QCOMPARE(w.gtvPhaseInfo->rowHeight(0), 35);
        QCOMPARE(w.gtvPhaseInfo->rowHeight(1), 18);

        // The tab rows follow each other; both grids reload.
        w.tcLcTod->setCurrentIndex(1);
        QCOMPARE(w.tcDayPlan->currentIndex(), 1);
        QCOMPARE(Column(w.gtvDayPlan, 1), (QStringList{"06:05", "18:00"}));
        QCOMPARE(w.gtvTODWin->rowCount(), 0);
        w.tcDayPlan->setCurrentIndex(0);
        QCOMPARE(w.tcLcTod->currentIndex(), 0);
        QCOMPARE(w.gtvTODWin->rowCount(), 2);

        // Second time-difference map of a 2010 controller: plan 7 only, main phase -1.
        w.cbxGennType->setCurrentIndex(2);
        w.actSearchExecute();
        QCOMPARE(Tabs(w.tcDayPlan), QStringList{"계획7"});
        QCOMPARE(w.lblPHASE_INFO->text(), " 현시구성 : 시작현시(-1)");
        QCOMPARE(w.lblTCDV_NAME->text(), " 교차로 : 1.신사역사거리 (CI), 시차제#2");

        // A 2004 controller: two entries, no start-up row.
        w.SetTCDV_ID(3);
        QCOMPARE(w.cbxGennType->count(), 2);
        QCOMPARE(w.cbxGennType->currentIndex(), 0);
        QCOMPARE(w.lblPHASE_INFO->text(), " 현시구성");
        w.cbxGennType->setCurrentIndex(1);
        w.actSearchExecute();
        QCOMPARE(Tabs(w.tcDayPlan), (QStringList{"계획6", "계획7"}));

        // No such intersection: everything empty.
        w.SetTCDV_ID(999);
        QCOMPARE(w.tcDayPlan->count(), 0);
        QCOMPARE(w.gtvDayPlan->rowCount(), 0);
        QCOMPARE(w.gtvSpPlan->rowCount(), 0);
        QCOMPARE(w.lblTCDV_NAME->text(), " 교차로 : ");
    }

    void exportOne()
    {
        TfrmTCDV_Conf w(nullptr);
        w.setWindowTitle("교차로신호운영계획입출력");
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;

        // No intersection yet.
        w.actExportExecute();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, DM->T_SelectIntMsg);

        w.SetTCDV_ID(1);
        const QString out = tmp.filePath("one.xlsx");
        files.enqueue(out);
        boxes.enqueue(mrNo); // do not open the file
        w.actExportExecute();
        QCOMPARE(files.last().fileName, "0001 신사역사거리 도산대로 축");
        QCOMPARE(files.last().defaultExtension, "xlsx");
        QVERIFY(QFile::exists(out));
        QCOMPARE(boxes.last().kind, mkQuestion);
        const QJsonObject p = XlsxProbe::Read(out, {"AK3", "C21", "AY44"});
        QCOMPARE(p.value("title").toString(), "교차로신호운영계획입출력");
        QCOMPARE(XlsxProbe::Cell(p, "AK3").value("value").toString(), "1");
        QCOMPARE(XlsxProbe::Cell(p, "C21").value("value").toString(), "07:30");
        QCOMPARE(XlsxProbe::Cell(p, "AY44").value("value").toString(), "2010");

        // Without the template folder: the box, no file.
        const QString saved = DM->G_APP_PATH;
        DM->G_APP_PATH = tmp.path() + '/';
        const QString none = tmp.filePath("none.xlsx");
        files.enqueue(none);
        boxes.clear();
        w.actExportExecute();
        DM->G_APP_PATH = saved;
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, "템플릿파일을 확인바랍니다.");
        QCOMPARE(boxes.last().caption, "저장 실패");
        QVERIFY(!QFile::exists(none));

        // A target that cannot be replaced.
        const QString busy = tmp.filePath("busy.xlsx");
        QVERIFY(QDir().mkpath(busy + "/inside"));
        files.enqueue(busy);
        boxes.clear();
        w.actExportExecute();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, "다른 프로세스가 파일을 사용중입니다.\n확인바랍니다.");
    }

    // Every intersection on its own type's template; the one shown comes back.
    void exportAll()
    {
        TfrmTCDV_Conf w(nullptr);
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        w.SetTCDV_ID(3);
        const QString dir = tmp.filePath("all");
        QDir().mkpath(dir);
        files.enqueue(dir);
        w.actExportAllExecute();
        QCOMPARE(boxes.count(), 0);
        const QStringList lcs = EditorFixture::Column("SELECT INT_LCNO FROM SCS_M_INTLC");
        const QStringList written = QDir(dir).entryList({"*.xlsx"}, QDir::Files, QDir::Name);
        QCOMPARE(written.size(), lcs.size());
        // Number, the number edit again and the group name.
        QCOMPARE(written.first(), "0001 1 도산대로 축.xlsx");
        QCOMPARE(w.TCDV_ID(), 3);
        QVERIFY(!w.AllExecutorRunning());
        // Intersection 1 (2010) and 3 (2004): each on its own template.
        const QJsonObject p1 = XlsxProbe::Read(QDir(dir).filePath(written[0]), {"A178", "AY44"});
        QCOMPARE(XlsxProbe::Cell(p1, "A178").value("value").toString(), "시차제#1");
        const QJsonObject p3 = XlsxProbe::Read(QDir(dir).filePath(written[2]), {"A178", "AY44"});
        QCOMPARE(XlsxProbe::Cell(p3, "A178").value("value").toString(), "시차제");
        QCOMPARE(XlsxProbe::Cell(p3, "AY44").value("value").toString(), "2004");
    }

    void exportAllCancelled()
    {
        TfrmTCDV_Conf w(nullptr);
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        w.SetTCDV_ID(5);
        const QString dir = tmp.filePath("cancelled");
        QDir().mkpath(dir);
        files.enqueue(dir);
        w.OnExportAllStep = [&w](int) { w.AllExecutorCancel(); };
        w.actExportAllExecute();
        QCOMPARE(QDir(dir).entryList({"*.xlsx"}, QDir::Files).size(), 1);
        QCOMPARE(w.TCDV_ID(), 5);
        QVERIFY(!w.AllExecutorRunning());
        QVERIFY(!w.AllExecutorProgress->isVisible());
    }
};

QTEST_MAIN(TstPlanSheetWindow)
#include "tst_plansheet_window.moc"
