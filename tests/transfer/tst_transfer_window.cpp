// The controller database window over the fixture database, offscreen: tabs and
// enabling by controller type, the centre-side cells of every tab, the controller
// side cleared on a new choice, the all-run walk over recording handlers, cancel
// and close, the all-run panels and the day-plan save dialog.
#include <QtTest>

#include <QCheckBox>
#include <QDialog>
#include <QSqlQuery>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "TestConsoleFolder.h"
#include "TransferTestSupport.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "transfer/AllExecutorPanelUnit.h"
#include "transfer/DayPlanSaveDlgForm.h"
#include "transfer/untTCDV_C_DBUpDn.h"

using namespace TransferFixture;

namespace {

// What a button click reached: the button, the day plan and map shown, the sender.
struct TClick
{
    QString Button;
    int DayPlan = 0;
    int Map = 0;
    bool NilSender = false;
};

QString CellText(QTableWidget *g, int r, int c)
{
    const QTableWidgetItem *item = g ? g->item(r, c) : nullptr;
    return item ? item->text() : QString();
}

} // namespace

class TstTransferWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;
    QSqlDatabase FDb;
    ScriptedMsgDlg *FMsg = nullptr;

    TfrmTCDV_C_DBUpDn *Open(int lc)
    {
        auto *w = new TfrmTCDV_C_DBUpDn;
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        w->SetTCDV_ID(lc);
        return w;
    }

    // Records every tagged click; an action shown in `busyAt` stays busy until the
    // test ends it.
    static void Record(TfrmTCDV_C_DBUpDn *w, QList<TClick> *clicks)
    {
        w->ActionHandler = [w, clicks](QPushButton *b, QObject *sender) {
            clicks->append({b->objectName(), w->DayPlanSpinner()->value(), w->GennType()->currentIndex() + 1,
                            sender == nullptr});
            w->AddAllExecutorContainer(b->objectName());
            w->MarkAllExecutorResult(sender, true);
        };
    }

    static QStringList Names(const QList<TClick> &clicks)
    {
        QStringList names;
        for (const TClick &c : clicks) {
            QString n = c.Button;
            if (n == QLatin1String("btnDayPlanDownload") || n == QLatin1String("btnDayPlanSave"))
                n += QStringLiteral("#%1").arg(c.DayPlan);
            if (n.startsWith(QLatin1String("btnSignalMap")))
                n += QStringLiteral("#%1").arg(c.Map);
            names << n;
        }
        return names;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
        QVERIFY(FDir.isValid());
        QVERIFY(Create(QStringLiteral("tst_transfer_window")));
        FDb = TestDb::open(QStringLiteral("tst_transfer_window"), QStringLiteral("fixture"));
        QVERIFY(FDb.isOpen());
        // A reservation of the four-lamp controller whose time-difference plan is stored as 2.
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral(
            "INSERT INTO SCS_M_INTFPLAN (INT_LCNO, INT_FPLANINDEX, INT_RSRVMONTH, INT_RSRVDAY, INT_RSRVWKD, "
            "INT_CNTLSTARTHOUR, INT_CNTLSTARTMIN, INT_CNTLENDHOUR, INT_CNTLENDMIN, INT_CNTLTYPE, INT_CNTLSPCNO) "
            "VALUES (903, 3, 7, 4, 0, 8, 0, 9, 0, 4, 2)")));
        DM = TestConsole::OpenDataModule(FDir.path(), QStringLiteral("tst_transfer_window"));
        QVERIFY(DM);
        FMsg = new ScriptedMsgDlg;
    }
    void cleanupTestCase() { delete FMsg; }
    void init()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        FMsg->clear();
    }

    void tabsAndEnablingByType_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<bool>("output");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("2004") << Lc2004 << false << true;
        QTest::newRow("three-lamp") << Lc3L << true << true;
        QTest::newRow("four-lamp") << Lc4L << true << true;
        QTest::newRow("none") << 0 << false << false;
    }
    void tabsAndEnablingByType()
    {
        QFETCH(int, lc);
        QFETCH(bool, output);
        QFETCH(bool, enabled);
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(lc));
        QTabWidget *pgc = w->PageControl();
        const QList<int> always{ttStartUpCode, ttSignalMap, ttFlashMap, ttDtrConfig, ttDayPlan, ttWeekHolyDayPlan,
                                ttFnTable, ttCommandProtocol};
        for (int t : always)
            QVERIFY2(pgc->isTabVisible(t), qPrintable(TransferTabName(TTransferTab(t))));
        for (int t : {ttInOutPed, ttConflictMap, ttDumpSystem, ttUPS})
            QCOMPARE(pgc->isTabVisible(t), output);
        for (int t : {ttVMSMsg, ttCarTimer, ttSDProtocol, ttActuateVar})
            QVERIFY(!pgc->isTabVisible(t));
        for (const char *b : {"btnStartupDownload", "btnDayPlanUpload", "btnFlashMapSave", "btnReservePlanCompare",
                              "btnAllDownload", "btnAllUpload", "btnDayPlanEdit"})
            QCOMPARE(w->Button(QString::fromLatin1(b))->isEnabled(), enabled);
        QVERIFY(w->Button(QStringLiteral("btnClose"))->isEnabled());
        w->SetDoing(true);
        QVERIFY(!w->Button(QStringLiteral("btnStartupDownload"))->isEnabled());
        QVERIFY(!w->Button(QStringLiteral("btnClose"))->isEnabled());
        w->SetDoing(false);
    }

    void otherGenerationOnOutputMapShowsFirstTab()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc3L));
        w->PageControl()->setCurrentIndex(ttInOutPed);
        QCOMPARE(w->PageControl()->currentIndex(), int(ttInOutPed));
        w->SetTCDV_ID(Lc2004);
        QCOMPARE(w->PageControl()->currentIndex(), int(ttStartUpCode));
    }

    void startupRowsFollowType()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc3L));
        QCOMPARE(w->Grid(QStringLiteral("gtvHStartup"))->rowCount(), 39);
        QCOMPARE(w->Grid(QStringLiteral("gtvLStartup"))->rowCount(), 39);
        w->SetTCDV_ID(Lc2004);
        QCOMPARE(w->Grid(QStringLiteral("gtvHStartup"))->rowCount(), 11);
        QCOMPARE(w->Grid(QStringLiteral("gtvLStartup"))->rowCount(), 11);
        QCOMPARE(CellText(w->Grid(QStringLiteral("gtvLStartup")), 0, 0), QStringLiteral("링운영방법"));
        QCOMPARE(CellText(w->Grid(QStringLiteral("gtvLStartup")), 0, 2), QString());
    }

    void numberEditStepsAndApplies()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        auto *edit = w->findChild<QLineEdit *>(QStringLiteral("edtTCDV"));
        auto *name = w->findChild<QLabel *>(QStringLiteral("lblTCDV_NAME"));
        QCOMPARE(name->text(), QStringLiteral("둘공공사"));
        QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(edit->text(), QStringLiteral("902"));
        QCOMPARE(name->text(), QStringLiteral("삼색"));
        QCOMPARE(w->TCDV_ID(), Lc2004); // stepping alone applies nothing
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(w->TCDV_ID(), Lc3L);
        QCOMPARE(w->LCType(), lct2010_3L);
        QTest::keyClick(edit, Qt::Key_Down);
        QCOMPARE(edit->text(), QStringLiteral("901"));
    }

    void centreCells_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("dayPlan");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        // Start-up values as the fixture's rows pack them.
        QTest::newRow("2004 dual time") << Lc2004 << int(ttStartUpCode) << 1 << "gtvHStartup" << 0 << 2 << "3";
        QTest::newRow("2004 spill") << Lc2004 << int(ttStartUpCode) << 1 << "gtvHStartup" << 1 << 2 << "2";
        QTest::newRow("2004 gap") << Lc2004 << int(ttStartUpCode) << 1 << "gtvHStartup" << 4 << 2 << "7";
        QTest::newRow("3L full act") << Lc3L << int(ttStartUpCode) << 1 << "gtvHStartup" << 0 << 2 << "1";
        QTest::newRow("3L dual time") << Lc3L << int(ttStartUpCode) << 1 << "gtvHStartup" << 1 << 2 << "2";
        QTest::newRow("3L gap") << Lc3L << int(ttStartUpCode) << 1 << "gtvHStartup" << 6 << 2 << "20";
        QTest::newRow("4L no row") << Lc4L << int(ttStartUpCode) << 1 << "gtvHStartup" << 0 << 2 << "";
        QTest::newRow("4L caption") << Lc4L << int(ttStartUpCode) << 1 << "gtvHStartup" << 0 << 1 << "전감응";
        // Signal map: hexadecimal lamp codes, numbers for min, max and end of phase.
        QTest::newRow("2004 step 1 lsu 1") << Lc2004 << int(ttSignalMap) << 1 << "gtvHRingA" << 0 << 1 << "01";
        QTest::newRow("2004 step 1 lsu 16") << Lc2004 << int(ttSignalMap) << 1 << "gtvHRingA" << 0 << 16 << "10";
        QTest::newRow("2004 step 1 max") << Lc2004 << int(ttSignalMap) << 1 << "gtvHRingA" << 0 << 18 << "40";
        QTest::newRow("2004 step 1 eop") << Lc2004 << int(ttSignalMap) << 1 << "gtvHRingA" << 0 << 19 << "1";
        QTest::newRow("2004 step 2 empty") << Lc2004 << int(ttSignalMap) << 1 << "gtvHRingA" << 1 << 1 << "00";
        QTest::newRow("2004 step no") << Lc2004 << int(ttSignalMap) << 1 << "gtvHRingB" << 31 << 0 << "32";
        // Flash map labels.
        QTest::newRow("3L lsu 2 veh") << Lc3L << int(ttFlashMap) << 1 << "lblHVEH2" << 0 << 0 << "GF";
        QTest::newRow("3L lsu 2 ped") << Lc3L << int(ttFlashMap) << 1 << "lblHPED2" << 0 << 0 << "Y0";
        QTest::newRow("3L lsu 3 veh") << Lc3L << int(ttFlashMap) << 1 << "lblHVEH3" << 0 << 0 << "";
        QTest::newRow("3L flash time") << Lc3L << int(ttFlashMap) << 1 << "lblHFL" << 0 << 0 << "9";
        QTest::newRow("2004 lsu 1 veh") << Lc2004 << int(ttFlashMap) << 1 << "lblHVEH1" << 0 << 0 << "GREEN";
        QTest::newRow("2004 lsu 1 ped") << Lc2004 << int(ttFlashMap) << 1 << "lblHPED1" << 0 << 0 << "GREEN";
        QTest::newRow("2004 lsu 2 ped") << Lc2004 << int(ttFlashMap) << 1 << "lblHPED2" << 0 << 0 << "RED";
        QTest::newRow("2004 lane control") << Lc2004 << int(ttFlashMap) << 1 << "lblHVL" << 0 << 0 << "사용함";
        QTest::newRow("4L lsu 8 veh") << Lc4L << int(ttFlashMap) << 1 << "lblHVEH8" << 0 << 0 << "GREEN";
        // Detectors.
        QTest::newRow("2004 ch 1 type") << Lc2004 << int(ttDtrConfig) << 1 << "gtvHDtrConfig" << 0 << 1 << "2";
        QTest::newRow("2004 ch 1 position") << Lc2004 << int(ttDtrConfig) << 1 << "gtvHDtrConfig" << 0 << 3 << "40";
        QTest::newRow("2004 ch 2 number only") << Lc2004 << int(ttDtrConfig) << 1 << "gtvHDtrConfig" << 1 << 0 << "2";
        QTest::newRow("2004 ch 2 empty") << Lc2004 << int(ttDtrConfig) << 1 << "gtvHDtrConfig" << 1 << 1 << "";
        QTest::newRow("4L ch 64 phase") << Lc4L << int(ttDtrConfig) << 1 << "gtvHDtrConfig" << 63 << 7 << "8";
        // Day plan 2 of the group.
        QTest::newRow("plan 2 row 1 cycle") << Lc2004 << int(ttDayPlan) << 2 << "gtvHDayPlan" << 0 << 3 << "120";
        QTest::newRow("plan 2 row 2 hour") << Lc2004 << int(ttDayPlan) << 2 << "gtvHDayPlan" << 1 << 1 << "6";
        QTest::newRow("plan 2 row 9 hour") << Lc2004 << int(ttDayPlan) << 2 << "gtvHDayPlan" << 8 << 1 << "23";
        QTest::newRow("plan 1 empty") << Lc2004 << int(ttDayPlan) << 1 << "gtvHDayPlan" << 0 << 3 << "0";
        // Weekly labels and holiday bands.
        QTest::newRow("week 1") << Lc2004 << int(ttWeekHolyDayPlan) << 1 << "lblHWeekPlan1" << 0 << 0 << "2";
        QTest::newRow("week 7") << Lc2004 << int(ttWeekHolyDayPlan) << 1 << "lblHWeekPlan7" << 0 << 0 << "3";
        QTest::newRow("holiday caption") << Lc2004 << int(ttWeekHolyDayPlan) << 1 << "gtvHHolyDayPlan" << 0 << 0
                                         << "플랜번호";
        QTest::newRow("holiday 1 plan") << Lc2004 << int(ttWeekHolyDayPlan) << 1 << "gtvHHolyDayPlan" << 0 << 1 << "4";
        QTest::newRow("holiday 30 plan") << Lc2004 << int(ttWeekHolyDayPlan) << 1 << "gtvHHolyDayPlan" << 0 << 30 << "5";
        QTest::newRow("holiday 1 band") << Lc2004 << int(ttWeekHolyDayPlan) << 1 << "header gtvHHolyDayPlan" << 0 << 1
                                        << "1/1";
        QTest::newRow("holiday 30 band") << Lc2004 << int(ttWeekHolyDayPlan) << 1 << "header gtvHHolyDayPlan" << 0
                                         << 30 << "12/25";
        // Reservations: control type 4 shows its time-difference plan, a stored 2 as 8.
        QTest::newRow("3L res 1 month") << Lc3L << int(ttFnTable) << 1 << "gtvHReservePlan" << 0 << 0 << "5";
        QTest::newRow("3L res 1 plan") << Lc3L << int(ttFnTable) << 1 << "gtvHReservePlan" << 0 << 8 << "8";
        QTest::newRow("3L res 10 type") << Lc3L << int(ttFnTable) << 1 << "gtvHReservePlan" << 9 << 7 << "5";
        QTest::newRow("3L res 10 no plan") << Lc3L << int(ttFnTable) << 1 << "gtvHReservePlan" << 9 << 8 << "";
        QTest::newRow("3L res 2 blank") << Lc3L << int(ttFnTable) << 1 << "gtvHReservePlan" << 1 << 0 << "";
        QTest::newRow("4L res 3 stored 2") << Lc4L << int(ttFnTable) << 1 << "gtvHReservePlan" << 2 << 8 << "8";
        // Output map of direction 1 (grid column 2) and LSU lamp types.
        QTest::newRow("out veh") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 0 << 2 << "1";
        QTest::newRow("out install") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 3 << 2 << "2";
        QTest::newRow("out straight lsu") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 4 << 2 << "3";
        QTest::newRow("out straight sort") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 5 << 2 << "2";
        QTest::newRow("out left lsu 1") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 6 << 2 << "1";
        QTest::newRow("out left sort 0") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 7 << 2 << "0";
        QTest::newRow("out ped none") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 8 << 2 << "0";
        QTest::newRow("out right lsu") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 12 << 2 << "16";
        QTest::newRow("out spc phase") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 17 << 2 << "5";
        QTest::newRow("out solid") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 20 << 2 << "20";
        QTest::newRow("out ped ext") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 22 << 2 << "5";
        QTest::newRow("out caption") << Lc3L << int(ttInOutPed) << 1 << "gtvHInOutPed" << 4 << 1 << "직진";
        QTest::newRow("lsu 1 four") << Lc3L << int(ttInOutPed) << 1 << "gtvHLSUType" << 1 << 2 << "4색";
        QTest::newRow("lsu 2 three") << Lc3L << int(ttInOutPed) << 1 << "gtvHLSUType" << 1 << 3 << "3색";
        // Conflict labels by type and the stored conflicts.
        QTest::newRow("3L row 0") << Lc3L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 0 << 2 << "G1";
        QTest::newRow("3L row 1") << Lc3L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 1 << 2 << "G2";
        QTest::newRow("3L row 31 lsu") << Lc3L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 31 << 1 << "LSU #16";
        QTest::newRow("4L row 3") << Lc4L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 3 << 2 << "-";
        QTest::newRow("4L row 4") << Lc4L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 4 << 2 << "PG";
        QTest::newRow("4L row 4 lsu") << Lc4L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 4 << 1 << "LSU #2";
        QTest::newRow("4L group") << Lc4L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 0 << 0 << "기준출력";
        QTest::newRow("4L conflict 0-1") << Lc4L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 0 << 4 << "1";
        QTest::newRow("4L conflict 30-31") << Lc4L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 30 << 34 << "1";
        QTest::newRow("4L no conflict 4-5") << Lc4L << int(ttConflictMap) << 1 << "gtvHConflictMap" << 4 << 8 << "0";
    }
    void centreCells()
    {
        QFETCH(int, lc);
        QFETCH(int, tab);
        QFETCH(int, dayPlan);
        QFETCH(QString, grid);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(lc));
        w->DayPlanSpinner()->setValue(dayPlan);
        w->PageControl()->setCurrentIndex(tab);
        QString shown;
        if (grid.startsWith(QLatin1String("header "))) {
            QTableWidget *g = w->Grid(grid.mid(7));
            QVERIFY(g);
            shown = g->horizontalHeaderItem(col)->text();
        } else if (grid.startsWith(QLatin1String("lbl"))) {
            QVERIFY(w->Label(grid));
            shown = w->Label(grid)->text();
        } else {
            QVERIFY(w->Grid(grid));
            shown = CellText(w->Grid(grid), row, col);
        }
        QCOMPARE(shown, text);
    }

    void flashColoursAndReservationBuffer()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc3L));
        w->PageControl()->setCurrentIndex(ttFlashMap);
        QCOMPARE(w->Label(QStringLiteral("lblHVEH2"))->palette().color(QPalette::Window), QColor(102, 204, 102));
        QCOMPARE(w->Label(QStringLiteral("lblHPED2"))->palette().color(QPalette::Window), QColor(255, 204, 51));
        QCOMPARE(w->Label(QStringLiteral("lblHVEH3"))->palette().color(QPalette::Window), QColor(Qt::white));
        w->SetTCDV_ID(Lc4L);
        w->PageControl()->setCurrentIndex(ttFnTable);
        // The shown number goes into the centre copy only.
        QCOMPARE(quint8(w->HFunctionTable.at(2 * 8 + 7)), quint8(0x84));
        QCOMPARE(w->Executor().Buffers.LFunctionTable, QByteArray(80, 0));
    }

    void differingCellsInBothGrids()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        QTableWidget *h = w->Grid(QStringLiteral("gtvHStartup"));
        QTableWidget *l = w->Grid(QStringLiteral("gtvLStartup"));
        // Row 0 differs in its value; row 1 is equal but marked; row 4 differs unmarked.
        l->item(0, 2)->setText(QStringLiteral("4"));
        l->item(1, 2)->setText(CellText(h, 1, 2));
        l->item(4, 2)->setText(QStringLiteral("99"));
        for (QTableWidget *g : {h, l}) {
            g->item(0, 3)->setText(QStringLiteral("1"));
            g->item(1, 3)->setText(QStringLiteral("1"));
            g->item(4, 3)->setText(QStringLiteral("0"));
        }
        w->PaintDifferences(QStringLiteral("Startup"), 3);
        for (QTableWidget *g : {h, l}) {
            QVERIFY(g->item(0, 2)->font().bold());
            QCOMPARE(g->item(0, 2)->foreground().color(), QColor(Qt::red));
            QVERIFY(!g->item(0, 0)->font().bold()); // equal labels stay plain
            QVERIFY(!g->item(1, 2)->font().bold());
            QVERIFY(!g->item(4, 2)->font().bold());
        }
    }

    void pairedGridsFollowFocus()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        w->PageControl()->setCurrentIndex(ttDayPlan);
        QTableWidget *h = w->Grid(QStringLiteral("gtvHDayPlan"));
        QTableWidget *l = w->Grid(QStringLiteral("gtvLDayPlan"));
        int moves = 0;
        connect(l, &QTableWidget::currentCellChanged, [&]() { ++moves; });
        h->setCurrentCell(7, 4);
        QCOMPARE(l->currentRow(), 7);
        QCOMPARE(l->currentColumn(), 4);
        l->setCurrentCell(3, 2);
        QCOMPARE(h->currentRow(), 3);
        QCOMPARE(moves, 1); // only the operator's own move reaches the controller grid's handlers
        w->SetTCDV_ID(Lc4L);
        w->PageControl()->setCurrentIndex(ttConflictMap);
        w->Grid(QStringLiteral("gtvLConflictMap"))->setCurrentCell(5, 5);
        QVERIFY(w->Grid(QStringLiteral("gtvHConflictMap"))->currentRow() != 5);
        w->Grid(QStringLiteral("gtvHConflictMap"))->setCurrentCell(6, 7);
        QCOMPARE(w->Grid(QStringLiteral("gtvLConflictMap"))->currentRow(), 6);
    }

    void ringAndConflictPaint()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        w->PageControl()->setCurrentIndex(ttSignalMap);
        QTableWidget *ring = w->Grid(QStringLiteral("gtvHRingA"));
        // Step 1 of map 1: LSU 1 code 01 green, end of phase 1 painted on the row's numbers.
        QCOMPARE(ring->item(0, 1)->background().color(), QColor(0x66, 0xCC, 0x66));
        QCOMPARE(ring->item(0, 2)->background().color(), QColor(0xFF, 0xCC, 0x33));
        QCOMPARE(ring->item(0, 19)->background().color(), QColor(0xDC, 0x7C, 0x7C));
        QCOMPARE(ring->item(1, 1)->foreground().color(), QColor(0xB3, 0xB3, 0xB3)); // code 0: grey text
        QCOMPARE(ring->item(1, 1)->background().style(), Qt::NoBrush);
        w->SetTCDV_ID(Lc4L);
        w->PageControl()->setCurrentIndex(ttConflictMap);
        QTableWidget *conflict = w->Grid(QStringLiteral("gtvHConflictMap"));
        QCOMPARE(conflict->item(0, 4)->background().color(), QColor(0xDC, 0x7C, 0x7C));
        QCOMPARE(conflict->item(0, 6)->background().color(), QColor(0xB3, 0xB3, 0xB3)); // fourth lamp column
        QCOMPARE(conflict->item(5, 3)->background().color(), QColor(0xB3, 0xB3, 0xB3)); // below the diagonal
        QCOMPARE(conflict->item(0, 5)->background().style(), Qt::NoBrush);
    }

    void choosingControllerClearsControllerSide()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        TTransferBuffers &b = w->Executor().Buffers;
        for (auto &[name, buffer] : b.All())
            const_cast<QByteArray *>(buffer)->fill(char(0x5A));
        w->SetTCDV_ID(Lc3L);
        for (const auto &[name, buffer] : b.All())
            QVERIFY2(buffer->count(char(0x5A)) == 0, name);
        QTableWidget *device = w->Grid(QStringLiteral("gtvDevice"));
        QCOMPARE(device->rowCount(), 21);
        QCOMPARE(CellText(device, 0, 0), QStringLiteral("제조사"));
        QCOMPARE(CellText(device, 4, 0), QStringLiteral("서비스전화번호"));
        QCOMPARE(CellText(device, 20, 0), QStringLiteral("설치정보"));
        QCOMPARE(CellText(w->Grid(QStringLiteral("gtvLRingA")), 5, 3), QStringLiteral("00"));
        QCOMPARE(w->Grid(QStringLiteral("gtvLDtrConfig"))->rowCount(), 64);
        QCOMPARE(w->Grid(QStringLiteral("gtvLDayPlan"))->rowCount(), 16);
        QCOMPARE(w->Grid(QStringLiteral("gtvLReservePlan"))->rowCount(), 10);
    }

    void allDownloadWalk2004()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        w->PageControl()->setCurrentIndex(ttFlashMap);
        QList<TClick> clicks;
        Record(w.get(), &clicks);
        FMsg->enqueue(mrYes);
        w->Button(QStringLiteral("btnAllDownload"))->click();
        QStringList expected{"btnStartupDownload", "btnClockDownload", "btnSignalMapDownload#1",
                             "btnSignalMapDownload#2", "btnFlashMapDownload", "btnDtrConfigDownload"};
        for (int j = 1; j <= 10; ++j)
            expected << QStringLiteral("btnDayPlanDownload#%1").arg(j);
        expected << "btnWeekPlanDownload" << "btnHolidayPlanDownload" << "btnHolidayToAll" << "btnReservePlanDownload";
        QCOMPARE(Names(clicks), expected);
        for (const TClick &c : clicks)
            QVERIFY(c.NilSender);
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(w->PageControl()->currentIndex(), int(ttFlashMap));
        QCOMPARE(w->DayPlanSpinner()->value(), 1);
        TAllExecutorPanel *panel = w->AllExecutorPanel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->Items().size(), expected.size());
        QCOMPARE(panel->Items().first()->height(), 50);
        QVERIFY(panel->Items().first()->ProgressBar());
        QCOMPARE(panel->Items().last()->ResultImageIndex(), 2);
        QCOMPARE(panel->Title(), QStringLiteral("  전체 다운로드"));
        QCOMPARE(panel->BottomText(), QStringLiteral("  전송완료"));
        QCOMPARE(panel->ButtonCaption(), QStringLiteral("닫기"));
        // A run that has ended lets the window close even with its panel shown.
        QVERIFY(w->FormCloseQuery());
    }

    void allDownloadRefusedStartsNothing()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        QList<TClick> clicks;
        Record(w.get(), &clicks);
        FMsg->enqueue(mrNo);
        w->Button(QStringLiteral("btnAllDownload"))->click();
        QVERIFY(clicks.isEmpty());
        QVERIFY(!w->AllExecutorPanel());
    }

    void allVerifyWalk2010()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc3L));
        QList<TClick> clicks;
        Record(w.get(), &clicks);
        w->Button(QStringLiteral("btnAllCompare"))->click();
        QStringList expected{"btnStartupCompare"};
        for (int m = 1; m <= 7; ++m)
            expected << QStringLiteral("btnSignalMapCompare#%1").arg(m);
        expected << "btnFlashMapCompare" << "btnDtrConfigCompare";
        for (int j = 1; j <= 10; ++j)
            expected << QStringLiteral("btnDayPlanCompare");
        expected << "btnWeekPlanCompare" << "btnHolidayPlanCompare" << "btnReservePlanCompare"
                 << "btnInOutPedCompare" << "btnConflictMapCompare";
        QCOMPARE(Names(clicks), expected);
        TAllExecutorPanel *panel = w->AllExecutorPanel();
        QCOMPARE(panel->Items().first()->height(), 25);
        QVERIFY(!panel->Items().first()->ProgressBar());
        // The done text names the run from the fourth character of the button caption.
        QCOMPARE(panel->BottomText(), QStringLiteral("  검증완료"));
    }

    void allUploadTicksEveryPlanOnce()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        w->DayPlanSpinner()->setValue(3);
        QList<TClick> clicks;
        QList<int> ticked;
        w->ActionHandler = [&](QPushButton *b, QObject *) {
            clicks << TClick{b->objectName(), 0, 0, true};
            if (b->objectName() == QLatin1String("btnDayPlanUpload"))
                for (QCheckBox *c : w->DayPlanChecks())
                    ticked << (c->isChecked() ? 1 : 0);
        };
        w->Button(QStringLiteral("btnAllUpload"))->click();
        QCOMPARE(ticked, QList<int>(10, 1));
        int dayPlanUploads = 0;
        for (const TClick &c : clicks)
            dayPlanUploads += c.Button == QLatin1String("btnDayPlanUpload");
        QCOMPARE(dayPlanUploads, 1);
        QVERIFY(!Names(clicks).contains(QStringLiteral("btnSystemVersionUpload")));
        QVERIFY(!Names(clicks).contains(QStringLiteral("btnSpillBackUpload")));
        // The previous ticks are back: plan 3 alone.
        for (int k = 0; k < 10; ++k)
            QCOMPARE(w->DayPlanChecks()[k]->isChecked(), k == 2);
    }

    void cancelDuringRequest()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        w->PageControl()->setCurrentIndex(ttWeekHolyDayPlan);
        QList<TClick> clicks;
        bool closeWhileBusy = true, closeWhileRunning = true;
        w->ActionHandler = [&](QPushButton *b, QObject *) {
            clicks << TClick{b->objectName(), 0, 0, true};
            if (clicks.size() != 3)
                return;
            // The third request runs: the operator cancels it; the request then ends.
            w->SetDoing(true);
            closeWhileBusy = w->FormCloseQuery();
            QTimer::singleShot(150, w.get(), [&]() {
                w->AllExecutorPanel()->CancelButton()->click();
                w->SetDoing(false);
            });
        };
        w->Button(QStringLiteral("btnAllSave"))->setEnabled(true);
        QTimer::singleShot(0, w.get(), [&]() {
            // The all-save asks for the day-plan patterns first.
            QVERIFY(FormDayPlanSaveDlg);
            QVERIFY(FormDayPlanSaveDlg->SetItemText(0, 1, QStringLiteral("1")));
            FormDayPlanSaveDlg->btnConfirmClick();
        });
        QTimer::singleShot(50, w.get(), [&]() { closeWhileRunning = w->FormCloseQuery(); });
        w->Button(QStringLiteral("btnAllSave"))->click();
        QVERIFY(!closeWhileBusy);
        QVERIFY(!closeWhileRunning);
        QCOMPARE(clicks.size(), 3);
        QVERIFY(!w->AllExecutorVisible());
        QVERIFY(!w->AllExecutorPanel()->isVisible());
        QCOMPARE(w->PageControl()->currentIndex(), int(ttWeekHolyDayPlan));
        QVERIFY(!FormDayPlanSaveDlg);
        QVERIFY(w->FormCloseQuery());
    }

    void cancelledAllSaveDialogStartsNothing()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        QList<TClick> clicks;
        Record(w.get(), &clicks);
        QTimer::singleShot(0, w.get(), []() { FormDayPlanSaveDlg->reject(); });
        w->Button(QStringLiteral("btnAllSave"))->click();
        QVERIFY(clicks.isEmpty());
        QVERIFY(!w->AllExecutorPanel());
        QVERIFY(!FormDayPlanSaveDlg);
    }

    void secondRunStartsClean()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        bool fail = true;
        w->ActionHandler = [&](QPushButton *b, QObject *sender) {
            w->AddAllExecutorContainer(b->objectName());
            w->MarkAllExecutorResult(sender, !fail);
            fail = false;
        };
        FMsg->enqueue(mrYes);
        w->Button(QStringLiteral("btnAllDownload"))->click();
        TAllExecutorPanel *panel = w->AllExecutorPanel();
        QCOMPARE(panel->FailCount(), 1);
        QCOMPARE(panel->BottomText(), QStringLiteral("  실패건수 : 1건"));
        QCOMPARE(panel->Items().first()->ResultImageIndex(), 3);
        panel->CancelButton()->click(); // "닫기": the panel goes
        QVERIFY(!panel->isVisible());
        // The next run on the same panel starts with no rows and no count.
        int rowsAtFirstClick = -1, countAtFirstClick = -1;
        QString bottomAtFirstClick = QStringLiteral("x");
        w->ActionHandler = [&](QPushButton *, QObject *) {
            if (rowsAtFirstClick < 0) {
                rowsAtFirstClick = int(panel->Items().size());
                countAtFirstClick = panel->FailCount();
                bottomAtFirstClick = panel->BottomText();
            }
        };
        w->Button(QStringLiteral("btnAllUpload"))->click();
        QCOMPARE(w->AllExecutorPanel(), panel);
        QCOMPARE(rowsAtFirstClick, 0);
        QCOMPARE(countAtFirstClick, 0);
        QCOMPARE(bottomAtFirstClick, QString());
        QCOMPARE(panel->Title(), QStringLiteral("  전체 업로드"));
    }

    void markWithSenderLeavesPanel()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        QObject sender;
        QVERIFY(!w->MarkAllExecutorResult(&sender, false));
        QVERIFY(w->MarkAllExecutorResult(nullptr, false));
        w->AddAllExecutorContainer(QStringLiteral("no panel")); // nothing shown: nothing happens
        QVERIFY(!w->AllExecutorPanel());
    }

    void panelTextsByActionType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("failText");
        QTest::addColumn<QString>("doneText");
        QTest::newRow("download") << 1 << 50 << "  실패건수 : 2건" << "  전송완료";
        QTest::newRow("upload") << 2 << 50 << "  실패건수 : 2건" << "  전송완료";
        QTest::newRow("save") << 3 << 25 << "  실패건수 : 2건" << "  저장완료";
        QTest::newRow("verify") << 4 << 25 << "  불일치건수 : 2건" << "  검증완료";
    }
    void panelTextsByActionType()
    {
        QFETCH(int, type);
        QFETCH(int, height);
        QFETCH(QString, failText);
        QFETCH(QString, doneText);
        QWidget owner;
        owner.resize(1000, 700);
        bool doing = false;
        TAllExecutorPanel panel(&owner, QStringLiteral("제목"), 300, 469, doing);
        QVERIFY(doing);
        // Centred by rounded halves: 350 - 150 and 350 - 234 (234.5 to the even 234).
        QCOMPARE(panel.geometry(), QRect(350, 116, 300, 469));
        QCOMPARE(panel.property("Tag").toInt(), 1000);
        QCOMPARE(panel.ButtonCaption(), QStringLiteral("취소"));
        panel.FActionType = quint8(type);
        panel.PanelCaption = type == 3 ? QStringLiteral("전체 저장") : QStringLiteral("전체 검증");
        panel.AddContainer(QStringLiteral("row"));
        QCOMPARE(panel.GetItem()->height(), height);
        QCOMPARE(panel.GetItem()->ResultImageIndex(), 1);
        panel.SetIsAvailableClose(true);
        QCOMPARE(panel.BottomText(), doneText);
        QCOMPARE(panel.ButtonCaption(), QStringLiteral("닫기"));
        panel.SetFailCount(2);
        QCOMPARE(panel.BottomText(), failText);
        panel.ClearItem();
        QVERIFY(panel.Items().isEmpty());
        QCOMPARE(panel.FailCount(), 0);
        QCOMPARE(panel.BottomText(), QString());
        owner.resize(800, 600);
        panel.Realign();
        QCOMPARE(panel.pos(), QPoint(250, 66)); // 400 - 150, 300 - 234
    }

    void panelButtonMessages()
    {
        QWidget owner;
        owner.resize(1000, 700);
        bool doing = false;
        TAllExecutorPanel panel(&owner, QStringLiteral("t"), 300, 469, doing);
        QStringList messages;
        connect(&panel, &TAllExecutorPanel::cancelRequested, [&]() { messages << "2026"; });
        connect(&panel, &TAllExecutorPanel::closeRequested, [&]() { messages << "2027"; });
        panel.CancelButton()->click();
        QCOMPARE(messages, (QStringList{"2026", "2027"}));
        messages.clear();
        panel.SetIsAvailableClose(true);
        panel.CancelButton()->click();
        QCOMPARE(messages, QStringList{"2027"});
    }

    void progressPanel()
    {
        QWidget owner;
        owner.resize(1000, 700);
        bool doing = false;
        TAllExecutorProgress progress(&owner, QStringLiteral("내보내기"), 400, 5, doing);
        QVERIFY(doing);
        QCOMPARE(progress.geometry(), QRect(300, 320, 400, 60));
        QCOMPARE(progress.property("Tag").toInt(), 1000);
        QCOMPARE(progress.Title(), QStringLiteral("  내보내기"));
        int closes = 0;
        connect(&progress, &TAllExecutorProgress::closeRequested, [&]() { ++closes; });
        progress.IncPartsByOne();
        progress.IncPartsByOne();
        QCOMPARE(progress.ProgressBar()->value(), 2);
        progress.CancelButton()->click();
        progress.SetIsAvailableClose(true);
        QCOMPARE(progress.CancelButton()->text(), QStringLiteral("닫기"));
        progress.CancelButton()->click();
        QCOMPARE(closes, 2);
        progress.hide();
        progress.Init(QStringLiteral("다시"), 9);
        QVERIFY(!progress.isHidden());
        QCOMPARE(progress.ProgressBar()->value(), 0);
        QCOMPARE(progress.ProgressBar()->maximum(), 9);
    }

    void dayPlanDialog()
    {
        TFormDayPlanSaveDlg dlg(nullptr, {3, 5});
        dlg.show();
        QTableWidget *g = dlg.Grid();
        QCOMPARE(g->currentRow(), 0);
        QCOMPARE(g->currentColumn(), 3); // the first editable plan
        QVERIFY(dlg.CleanUpBox()->isChecked());
        // Empty confirm: the warning, the dialog stays.
        dlg.btnConfirmClick();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().text, QStringLiteral("입력값을 확인바랍니다."));
        QCOMPARE(FMsg->last().caption, QStringLiteral("유효성 체크"));
        QCOMPARE(dlg.result(), 0);
        QVERIFY(dlg.isVisible());
        // Values: 1..16 in editable columns only.
        QVERIFY(!dlg.SetItemText(0, 1, QStringLiteral("2")));
        QVERIFY(!dlg.SetItemText(0, 3, QStringLiteral("17")));
        QVERIFY(!dlg.SetItemText(0, 3, QStringLiteral("0")));
        QVERIFY(!dlg.SetItemText(0, 3, QStringLiteral("a")));
        QCOMPARE(dlg.ItemValue(0, 3), -1);
        QVERIFY(dlg.SetItemText(15, 5, QStringLiteral("16")));
        QCOMPARE(dlg.ItemValue(15, 5), 16);
        QCOMPARE(dlg.ItemValue(15, 3), -1);
        // Enter: down the column, then from the last row to the next editable column.
        g->setCurrentCell(14, 3);
        QTest::keyClick(g, Qt::Key_Return);
        QCOMPARE(g->currentRow(), 15);
        QTest::keyClick(g, Qt::Key_Return);
        QCOMPARE(g->currentRow(), 0);
        QCOMPARE(g->currentColumn(), 5);
        g->setCurrentCell(15, 5);
        QTest::keyClick(g, Qt::Key_Return);
        QCOMPARE(g->currentColumn(), 3); // wraps to the first editable
        dlg.btnConfirmClick();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(FMsg->count(), 1);
    }

    void clockAndLanguage()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        QVERIFY(w->TimerCurrTime().isActive());
        QCOMPARE(w->TimerCurrTime().interval(), 1000);
        w->UpdateCurrentTime();
        QVERIFY(w->Label(QStringLiteral("lblCurrDateTime"))->text().contains(QStringLiteral("년")));
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        w->UpdateCurrentTime();
        QVERIFY(w->Label(QStringLiteral("lblCurrDateTime"))->text().contains(QStringLiteral(" at ")));
        w->close();
        QVERIFY(!w->TimerCurrTime().isActive());
    }

    void editorsOpenByClassName_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("setters");
        QTest::newRow("flash map by group") << "btnFlashMapEdit" << int(ttFlashMap) << "TfrmTCDV_E_FlashMap"
                                            << "교차로플래시맵" << QStringList{"SA_ID=50", "IsModal=true"};
        QTest::newRow("day plan number first") << "btnDayPlanEdit" << int(ttDayPlan) << "TFormTcdvTod"
                                               << "교차로TOD정보"
                                               << QStringList{"spnTODNo=3", "TCDV_ID=901", "IsModal=true",
                                                              "PageIndex=0"};
        QTest::newRow("signal maps page") << "btnSignalMapEdit" << int(ttSignalMap) << "TFormTcdvTod"
                                          << "교차로TOD정보"
                                          << QStringList{"TCDV_ID=901", "IsModal=true", "PageIndex=1"};
        QTest::newRow("reservations") << "btnReservePlanEdit" << int(ttFnTable) << "TFormTcdvReservePlan"
                                      << "교차로예약계획" << QStringList{"TcdvID=901", "IsModal=true"};
    }
    void editorsOpenByClassName()
    {
        QFETCH(QString, button);
        QFETCH(int, tab);
        QFETCH(QString, windowClass);
        QFETCH(QString, caption);
        QFETCH(QStringList, setters);
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc2004));
        w->DayPlanSpinner()->setValue(3);
        w->PageControl()->setCurrentIndex(tab);
        QStringList applied;
        QString shownCaption;
        bool modal = false;
        TMainOpeners::Register(windowClass,
                               {[](const TOpenContext &c) -> QWidget * { return new QDialog(c.Owner); },
                                [&](QWidget *, const QString &setter, const QVariant &v) {
                                    applied << setter + QLatin1Char('=') + v.toString();
                                },
                                {}, {}});
        // The editor "saves" a new flash time; the tab shows it once the editor has gone.
        QSqlQuery(FDb).exec(QStringLiteral("UPDATE SCS_M_INTFLSMAP SET INT_FLASHTIME = 7 WHERE INT_LCNO = 901"));
        QTimer::singleShot(50, w.get(), [&]() {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<QDialog *>(top); d && d->isVisible()) {
                    shownCaption = d->windowTitle();
                    modal = d->windowModality() == Qt::ApplicationModal;
                    d->close();
                }
        });
        w->Button(button)->click();
        TMainOpeners::Unregister(windowClass);
        QSqlQuery(FDb).exec(QStringLiteral("UPDATE SCS_M_INTFLSMAP SET INT_FLASHTIME = 5 WHERE INT_LCNO = 901"));
        QCOMPARE(applied, setters);
        QCOMPARE(shownCaption, caption);
        QVERIFY(modal);
        if (tab == ttFlashMap)
            QCOMPARE(w->Label(QStringLiteral("lblHFL"))->text(), QStringLiteral("7"));
    }

    void editorNotBuiltSaysSo()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc3L));
        TMainOpeners::Unregister(QStringLiteral("TfrmTCDV_E_ConflictMap"));
        w->PageControl()->setCurrentIndex(ttConflictMap);
        w->Button(QStringLiteral("btnConflictMapEdit"))->click();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().text, QStringLiteral("이 편집기는 아직 없습니다."));
    }

    void screenshot2010()
    {
        std::unique_ptr<TfrmTCDV_C_DBUpDn> w(Open(Lc3L));
        w->PageControl()->setCurrentIndex(ttSignalMap);
        QCoreApplication::processEvents();
        const QString dir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("artefacts"));
        QDir().mkpath(dir);
        const QString file = QDir(dir).filePath(QStringLiteral("transfer-window-2010.png"));
        QVERIFY(w->grab().save(file));
        QVERIFY(QFileInfo(file).size() > 0);
    }
};

QTEST_MAIN(TstTransferWindow)
#include "tst_transfer_window.moc"
