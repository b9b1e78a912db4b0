// The main window offscreen, after a login set up in the data module, with the demo
// city and the centre-server simulator: menus, trees and the first show; monitoring
// cycles that fill the counters and colour the markers by the one state-to-colour
// rule; failures that mark every intersection not monitored and the recovery;
// activation with refresh flags; selection, pop-up and search; the shutdown with its
// settings, bookmarks, logout row and application-server command.
#include <QTimer>
#include <QRegularExpression>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QTableWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "core/InAppMessage.h"
#include "foundation/IniFile.h"
#include "core/LcStatusColor.h"
#include "MainWindowTestEnv.h"
#include "mainwindow/MapBridgeUnit.h"
#include "core/Quorval.h"
#include "RcSim.h"
#include "core/untDM.h"
#include "mainwindow/untLegend.h"
#include "mainwindow/untMain.h"
#include "centrelink/untTH_LogCom.h"

namespace {

const char *const kDb = "tst_main_window";
constexpr double kScenarioTime = 70.0;

// An intersection monitor stand-in: counts its refreshes, frees itself on close.
class FakeLcMonitor : public QWidget, public IMonitorView
{
public:
    int refreshes = 0;
    bool movements = false;
    FakeLcMonitor() { setAttribute(Qt::WA_DeleteOnClose); }
    void RefreshFromImage(const TMonitorRefresh &r) override
    {
        ++refreshes;
        movements = movements || r.RefreshMovements;
    }
};

// A single live view that records the order of the refreshes.
class OrderView : public IMonitorView
{
public:
    OrderView(QStringList *order, QString name, bool wants = true) : FOrder(order), FName(std::move(name)), FWants(wants) {}
    void RefreshFromImage(const TMonitorRefresh &r) override
    {
        *FOrder << FName + (r.Monitored ? "+" : "-");
        lastSet = r.LcInfoSet;
    }
    bool WantsRefresh() const override { return FWants; }
    const TLC_INFO_SET *lastSet = nullptr;

private:
    QStringList *FOrder;
    QString FName;
    bool FWants;
};

QString keyOf(const QModelIndex &i) { return TNodeTreeModel::Data(i).Key; }

// The start of intersection n's entry in the marker script (the page function
// applyLcStates takes [number, "#colour", blink, arrows]).
QString markerEntry(int n, const QString &hashColour, bool blink)
{
    return QStringLiteral("[%1,\"%2\",%3").arg(n).arg(hashColour).arg(blink ? 1 : 0);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<rcsim::RcSim> sim;
    std::unique_ptr<TScopedMainServices> services;
    std::unique_ptr<MainTest::ConsoleFolder> folder;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<ScriptedMsgDlg> boxes;
    QStringList launched;
    QStringList sent;

    void makeConsole(bool withAppServer = false)
    {
        folder = std::make_unique<MainTest::ConsoleFolder>(
            kDb, QString("[COM-ENV]\nRC_IP=127.0.0.1\nRC_MNTR_PORT=%1\nRC_MNTR_PERIOD=1\nRC_MNTR_RETRYPERIOD=2\n"
                         "ADMIN_MODE=1\n")
                     .arg(sim->mntrPort()));
        if (withAppServer) {
            QFile f(folder->dir.filePath("OvikAppSvr"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        dm = MainTest::OpenAdminDataModule(folder->path());
        QVERIFY(dm);
        dm->G_APP_USER.RoleName = "메인관리자";
        dm->G_APP_USER.Bookmarks = "{\"B1\":{\"zoom\":15,\"latlng\":[37.49794,127.02762]}}";
    }

    bool waitRefresh(TfrmMain &w, bool monitored, int timeoutMs = 8000)
    {
        QSignalSpy spy(w.Hub(), &TMonitorHub::monitorRefreshed);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            if (!spy.wait(200))
                continue;
            for (const QList<QVariant> &args : spy)
                if (args.value(0).toBool() == monitored)
                    return true;
            spy.clear();
        }
        return false;
    }

    QStringList logLines()
    {
        if (!frmTH_LogCom)
            return {};
        frmTH_LogCom->Flush();
        return frmTH_LogCom->Lines();
    }

    static bool anyLineEndsWith(const QStringList &lines, const QString &text)
    {
        for (const QString &l : lines)
            if (l.endsWith(" : " + text))
                return true;
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
        sim = std::make_unique<rcsim::RcSim>();
        QString error;
        QVERIFY2(sim->start(&error), qPrintable(error));
        sim->setScenario(rcsim::Scenario::builtIn());
        sim->freezeClock(kScenarioTime);
        services = std::make_unique<TScopedMainServices>([this](TMainServices &s) {
            s.AppServerLauncher = [this](const QString &program) {
                launched << program;
                return true;
            };
            s.AppServerSender = [this](const QString &command, bool *connected) {
                sent << command;
                *connected = true;
                return 0;
            };
        });
    }
    void init()
    {
        boxes = std::make_unique<ScriptedMsgDlg>();
        launched.clear();
        sent.clear();
        sim->clearFailure();
        TInAppMessageHolder::instance()->Take();
    }
    void cleanup()
    {
        boxes.reset();
        dm.reset();
        DM = nullptr;
        folder.reset();
    }
    void cleanupTestCase()
    {
        services.reset();
        sim.reset();
    }

    void createdWithMenusTreesAndMap()
    {
        // An intersection without a position gets no marker.
        QSqlDatabase db = TestDb::open(kDb, "check");
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_NODE SET NODE_LAT = NULL WHERE NODE_ID = '1220000040'"));
        makeConsole();
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            QCOMPARE(frmMain, &w);
            w.show();
            QStringList menus;
            for (QAction *a : w.menuBar()->actions())
                menus << a->text();
            QCOMPARE(menus, QStringList({"시스템", "편집", "감시/제어", "이벤트", "이력", "도구", "Admin"}));
            QVERIFY(w.Action("actOpenLogCom")->associatedObjects().size() > 1); // in the monitoring menu
            QCOMPARE(w.Action("actClose")->text(), QString("프로그램종료"));

            QCOMPARE(w.SaModel()->rowCount(), 4);
            QCOMPARE(w.SaModel()->NodeCount(), 4 + 41);
            QCOMPARE(w.LcModel()->NodeCount(), 41);
            QCOMPARE(w.TreePages()->tabText(0), QString("그룹 (4)"));
            QCOMPARE(w.TreePages()->tabText(1), QString("교차로 (41)"));
            QCOMPARE(w.TreePages()->currentWidget(), w.LcTreePage());
            QVERIFY(w.LcModel()->FindByKey("2-41").isValid());

            QCOMPARE(bridge.Loads(), QStringList({DM->G_URL}));
            QCOMPARE(bridge.CountContaining("initialize("), 1);
            QVERIFY(!bridge.IsLoading());
            QCOMPARE(w.FLC_List().size(), 40);
            QVERIFY(!w.FLC_List().contains(40));
            QVERIFY(w.FLC_List().contains(41));
            QVERIFY(!DM->G_APP_SERVER); // no application server beside the program
            QVERIFY(launched.isEmpty());

            QVERIFY(anyLineEndsWith(logLines(), "모니터링 쓰레드 구동"));
            QCOMPARE(w.findChild<QLabel *>("spUserID")->text(), QString("admin (메인관리자)"));
            QVERIFY(w.windowTitle().startsWith("교통신호제어 운영 단말 for "));
            QVERIFY(w.windowTitle().endsWith(" (Admin Mode)"));
            QVERIFY(w.Hub()->Timer()->isActive());
            QVERIFY(!w.IsAreaBrowserOpen());
            QVERIFY(!w.IsMntrPanelOpen());
            boxes->enqueue(mrYes);
            QVERIFY(w.close());
        }
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_NODE SET NODE_LAT = 37.4847 WHERE NODE_ID = '1220000040'"));
    }

    void monitoringFillsCountersAndColoursMarkers()
    {
        makeConsole();
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        w.SetAreaBrowserOpen(true);
        w.SetMntrPanelOpen(true);
        QStringList order;
        OrderView group(&order, "group"), events(&order, "events"), system(&order, "system"),
            list(&order, "list", false), vip(&order, "vip");
        w.Hub()->RegisterMonitorView(mvkVipPanel, &vip);
        w.Hub()->RegisterMonitorView(mvkStateList, &list);
        w.Hub()->RegisterMonitorView(mvkSystemMonitor, &system);
        w.Hub()->RegisterMonitorView(mvkCurrentEvent, &events);
        w.Hub()->RegisterMonitorView(mvkGroupMonitor, &group);
        QVERIFY(waitRefresh(w, true));

        // The views in their fixed order; the state list only when it wants it.
        QCOMPARE(order.mid(0, 4), QStringList({"group+", "events+", "system+", "vip+"}));
        QCOMPARE(group.lastSet, &w.LcInfoSet());

        const rcsim::Scenario sc = sim->scenario();
        int states[20] = {};
        int flashing = 0;
        for (int n = 1; n <= 40; ++n) {
            const rcsim::ScLcView v = sc.view(n, kScenarioTime);
            ++states[v.state];
            if (v.state != 0 && v.flash)
                ++flashing;
            QCOMPARE(w.LcInfoSet().GetLcInfo(n)->opr_stat, v.state);
        }
        // The virtual intersection shows its main intersection's state.
        QCOMPARE(w.LcInfoSet().GetLcInfo(41)->opr_stat, sc.view(16, kScenarioTime).state);
        TLegendPanel *legend = w.LegendPanel();
        QCOMPARE(legend->CounterText("lblLcOprSttTotal"), QString("40"));
        QCOMPARE(legend->CounterText("lblSysSttCommErr"), QString::number(states[0]));
        QCOMPARE(legend->CounterText("lblSysSttManual"), QString::number(states[7] + states[8] + states[9]));
        QCOMPARE(legend->CounterText("lblSysSttTrans"), QString::number(states[4]));
        QCOMPARE(legend->CounterText("lblSysSttFlash"), QString::number(flashing));
        QCOMPARE(legend->CounterText("lblSysSttUnused"), QString("0"));
        QVERIFY(states[0] > 0 && flashing > 0);
        QCOMPARE(w.SaMotGrid()->rowCount(), 4);
        QCOMPARE(w.SaMotGrid()->item(1, 1)->text(), QString("테헤란로 축"));
        QCOMPARE(w.Glyphs().Connection, int(TMonitorGlyphs::ConnConnected));

        // The page is asked for its visible markers; their colours follow the one rule.
        QVERIFY(bridge.CountContaining("getAxLCLayer()") >= 1);
        bridge.ClearScripts();
        QVERIFY(w.BrowserMessageReceived("drawLC", {QString("1,3,4,5,16,25,31,41")}));
        QCOMPARE(bridge.Scripts().size(), 1);
        const QString script = bridge.Scripts().first();
        const TLcStatusColors colours = w.Legend().Status;
        for (int n : {1, 3, 4, 5, 16, 25, 31, 41}) {
            const PSTT_LC_INFO info = w.LcInfoSet().GetLcInfo(n);
            const int source = n == 41 ? 16 : n;
            const rcsim::ScLcView v = sc.view(source, kScenarioTime);
            const QString hex = "#" + TColorToHex(LcStatusColor(colours, v.state, info->oprMode));
            QVERIFY2(script.contains(markerEntry(n, hex, v.flash)), qPrintable(QString::number(n) + " " + hex));
        }
        // While the page is moved the cycle does not ask.
        QVERIFY(w.BrowserMessageReceived("moving", {true}));
        bridge.ClearScripts();
        QVERIFY(waitRefresh(w, true));
        QCOMPARE(bridge.CountContaining("getAxLCLayer()"), 0);
        QVERIFY(w.BrowserMessageReceived("moving", {false}));
        w.Hub()->UnregisterMonitorView(mvkVipPanel, &vip);
        w.Hub()->UnregisterMonitorView(mvkStateList, &list);
        w.Hub()->UnregisterMonitorView(mvkSystemMonitor, &system);
        w.Hub()->UnregisterMonitorView(mvkCurrentEvent, &events);
        w.Hub()->UnregisterMonitorView(mvkGroupMonitor, &group);
        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    void markerScriptCarriesOnlyChanges()
    {
        makeConsole();
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        QVERIFY(waitRefresh(w, true));
        QString list("1,2,3,4,5");
        // The page answers getAxLCLayer with its list; the markers in the script that
        // the console runs for it.
        auto drawn = [&]() {
            bridge.ClearScripts();
            w.BrowserMessageReceived("drawLC", {list});
            return MainTest::MarkersIn(bridge.Scripts().join(QLatin1Char(' ')));
        };
        const QList<int> all{1, 2, 3, 4, 5};
        QCOMPARE(drawn(), all);
        // A steady image: nothing is sent again, neither at once nor after a whole cycle.
        QCOMPARE(drawn(), QList<int>());
        QVERIFY(waitRefresh(w, true));
        QCOMPARE(drawn(), QList<int>());
        QCOMPARE(bridge.CountContaining("applyLcStates"), 0);

        // A state change sends that marker alone, in the colour of its new state.
        const TLcStatusColors colours = w.Legend().Status;
        PSTT_LC_INFO three = w.LcInfoSet().GetLcInfo(3);
        three->is_use = true;
        three->flash = 0;
        three->oprMode = 4;
        three->opr_stat = three->opr_stat == 4 ? 10 : 4; // transition, or phase hold
        QCOMPARE(drawn(), QList<int>{3});
        QVERIFY(bridge.Scripts().value(0).contains(
            markerEntry(3, "#" + TColorToHex(colours.State[three->opr_stat]), false)));
        QCOMPARE(drawn(), QList<int>());

        // A marker that starts blinking is sent once with its blink and then left
        // alone, so that it keeps blinking.
        PSTT_LC_INFO four = w.LcInfoSet().GetLcInfo(4);
        four->is_use = true;
        four->oprMode = 4;
        four->opr_stat = 8; // manual flash
        four->flash = 1;
        QCOMPARE(drawn(), QList<int>{4});
        QVERIFY(bridge.Scripts().value(0).contains(markerEntry(4, "#" + TColorToHex(colours.State[8]), true)));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(drawn(), QList<int>());

        // A marker that leaves the page's list is sent again when it comes back.
        list = "1,2,3,5";
        QCOMPARE(drawn(), QList<int>());
        list = "1,2,3,4,5";
        QCOMPARE(drawn(), QList<int>{4});

        // Whatever the page showed is gone after a reload, after the markers were
        // rebuilt and at another zoom: every listed marker is sent again.
        bridge.Reload();
        QCOMPARE(drawn(), all);
        QCOMPARE(drawn(), QList<int>());
        w.RedrawLCMarkers();
        QCOMPARE(drawn(), all);
        QCOMPARE(drawn(), QList<int>());
        QVERIFY(w.BrowserMessageReceived("zoomEnd", {w.Scale() + 1}));
        QCOMPARE(drawn(), all);
        // A page that lists nothing has stopped every blink: the record is empty.
        list = "";
        QCOMPARE(drawn(), QList<int>());
        QCOMPARE(w.ShownMarkers().Count(), 0);
        list = "1,2,3,4,5";
        QCOMPARE(drawn(), all);
        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    void failuresMarkNotMonitoredAndRecover()
    {
        makeConsole();
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        w.SetAreaBrowserOpen(true);
        QVERIFY(waitRefresh(w, true));
        const QString live = w.LegendPanel()->CounterText("lblLcOprSttTotal");
        const QString commErr = w.LegendPanel()->CounterText("lblSysSttCommErr");

        // A stalled reply: logged, closed, every intersection not monitored.
        sim->setFailure(rcsim::FailMode::Stall, rcsim::PortScope::Monitor);
        QVERIFY(waitRefresh(w, false));
        QVERIFY(anyLineEndsWith(logLines(), "모니터링 헤더 수신 도중 에러"));
        for (int n : w.LcInfoSet().Numbers())
            QCOMPARE(w.LcInfoSet().GetLcInfo(n)->opr_stat, 0);
        QCOMPARE(w.Glyphs().Connection, int(TMonitorGlyphs::ConnDisconnected));
        // Only a decoded image changes the counters.
        QCOMPARE(w.LegendPanel()->CounterText("lblLcOprSttTotal"), live);
        QCOMPARE(w.LegendPanel()->CounterText("lblSysSttCommErr"), commErr);
        bridge.ClearScripts();
        w.BrowserMessageReceived("drawLC", {QString("1,2,41")});
        const QString fail = "#" + TColorToHex(w.Legend().Status.ByTag(0));
        for (int n : {1, 2, 41})
            QVERIFY(bridge.Scripts().value(0).contains(markerEntry(n, fail, false)));
        QCOMPARE(w.Hub()->Timer()->interval(), 1000); // a failed exchange keeps the period

        // Back: the next cycle connects again.
        sim->clearFailure();
        QVERIFY(waitRefresh(w, true));
        QCOMPARE(w.LcInfoSet().GetLcInfo(1)->opr_stat, sim->scenario().view(1, kScenarioTime).state);
        QVERIFY(logLines().filter("RC MONITOR PORT 연결성공").size() >= 2);

        // Refused: the retry period, then the normal period again.
        sim->setFailure(rcsim::FailMode::Refuse);
        w.Hub()->Thread()->CloseConnection(TMonitorTexts::FromLanguage(), true); // drop the open connection
        QVERIFY(waitRefresh(w, false));
        QVERIFY(anyLineEndsWith(logLines(), "RC MONITOR PORT 연결실패"));
        QCOMPARE(w.Hub()->Timer()->interval(), 2000);
        sim->clearFailure();
        QVERIFY(waitRefresh(w, true, 10000));
        QCOMPARE(w.Hub()->Timer()->interval(), 1000);
        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    void activationActsOnFlagsWithoutWaitingForTheCycle()
    {
        makeConsole();
        QSqlDatabase db = TestDb::open(kDb, "check");
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_SAOPERATE SET SA_NAME = '바뀐 축' WHERE SA_NO = 1"));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_INTLC SET INT_NAME = '새 이름' WHERE INT_LCNO = 5"));
        RaiseInAppMessage(&TInAppMessage::REFRESH_SA_MASTER);
        RaiseInAppMessage(&TInAppMessage::REFRESH_TCDV_TOD);
        RaiseInAppMessage(&TInAppMessage::REFRESH_MVMT_TCDV_M);

        // A cycle is running (stalled) when the window is activated: the window does
        // not wait for it, and the cycle's snapshot of the set before the reload is
        // not applied when it ends.
        sim->setFailure(rcsim::FailMode::Stall, rcsim::PortScope::Monitor);
        QVERIFY(MainTest::WaitFor([&] { return !w.Hub()->IsBusy(); }, 5000));
        w.Hub()->StartCycle();
        QVERIFY(w.Hub()->IsBusy());
        bridge.ClearScripts();
        w.FormActivate();
        QVERIFY(w.Hub()->IsBusy());
        QVERIFY(w.Hub()->Timer()->isActive());
        QCOMPARE(w.SaModel()->FindByKey("1").data().toString(), QString("0001 바뀐 축"));
        QCOMPARE(w.LcInfoSet().GetLcInfo(5)->ints_name.str(), QString("새 이름"));
        const TInAppMessage &m = TInAppMessageHolder::instance()->Flags();
        QVERIFY(!m.REFRESH_SA_MASTER && !m.REFRESH_TCDV_TOD);
        QVERIFY(m.REFRESH_MVMT_TCDV_M); // left for the intersection monitors
        QCOMPARE(bridge.CountContaining("new L.lcMarker("), 1); // markers redrawn once
        QCOMPARE(w.Action("actOpenTCDV_M")->shortcut(), QKeySequence("Ctrl+M"));
        w.FormDeactivate();
        QVERIFY(w.Action("actOpenTCDV_M")->shortcut().isEmpty());
        sim->clearFailure();
        QVERIFY(MainTest::WaitFor([&] { return !w.Hub()->IsBusy(); }, 10000));
        QCOMPARE(w.LcInfoSet().GetLcInfo(5)->ints_name.str(), QString("새 이름"));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_SAOPERATE SET SA_NAME = '도산대로 축' WHERE SA_NO = 1"));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_INTLC SET INT_NAME = '청담사거리' WHERE INT_LCNO = 5"));
        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    // A connection the server dropped during a reload is reopened without a box,
    // whichever loader meets it first; the next load runs on the new connection.
    void reloadsReopenALostConnection_data()
    {
        QTest::addColumn<QString>("step");
        for (const char *step : {"LoadLcInfos", "LCInfosPhase", "LoadSaList", "BuildSaTree", "BuildLcTree",
                                 "LoadDBErrorCodes", "LoadMapLayers", "RedrawLCMarkers"})
            QTest::newRow(step) << QString(step);
    }
    void reloadsReopenALostConnection()
    {
        QFETCH(QString, step);
        makeConsole();
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        dm->SetErrorFilterActive(true); // as after the start-up
        const QMap<QString, std::function<void()>> steps = {
            {"LoadLcInfos", [&] { w.LoadLcInfos(); }},       {"LCInfosPhase", [&] { w.LCInfosPhase(0); }},
            {"LoadSaList", [&] { w.LoadSaList(); }},         {"BuildSaTree", [&] { w.BuildSaTree(); }},
            {"BuildLcTree", [&] { w.BuildLcTree(); }},       {"LoadDBErrorCodes", [&] { w.LoadDBErrorCodes(); }},
            {"LoadMapLayers", [&] { w.LoadMapLayers(); }},   {"RedrawLCMarkers", [&] { w.RedrawLCMarkers(); }}};
        const int id = MainTest::Scalar(dm->Con(), "SELECT CONNECTION_ID()");
        QVERIFY(id > 0);
        {
            QSqlDatabase raw = TestDb::open(kDb, "killer");
            QVERIFY(MainTest::Exec(raw, QString("KILL %1").arg(id)));
            raw.close();
        }
        steps.value(step)();
        QCOMPARE(boxes->count(), 0);
        QVERIFY(w.LoadLcInfos());
        QVERIFY(MainTest::Scalar(dm->Con(), "SELECT CONNECTION_ID()") != id);
        QCOMPARE(boxes->count(), 0);
        // Any other error is still shown.
        QVERIFY(MainTest::Exec(dm->Con(), "RENAME TABLE SCS_M_INTLC TO SCS_M_INTLC_AWAY"));
        const bool loaded = w.LoadLcInfos();
        QVERIFY(MainTest::Exec(dm->Con(), "RENAME TABLE SCS_M_INTLC_AWAY TO SCS_M_INTLC"));
        QVERIFY(!loaded);
        QCOMPARE(boxes->count(), 1);
        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    void selectionPopupAndSearch()
    {
        makeConsole();
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        bridge.ClearScripts();

        // From the map.
        w.crmConsoleMessage("SelectedLC:LC12");
        QCOMPARE(w.SelectedSA(), 2);
        QCOMPARE(w.SelectedTCDV(), 12);
        QCOMPARE(keyOf(w.SaTree()->currentIndex()), QString("2-12"));
        QCOMPARE(keyOf(w.LcTree()->currentIndex()), QString("2-12"));
        QCOMPARE(w.SelectionLabel()->text(), QString("그룹 : 2, 교차로 : 12"));
        QVERIFY(bridge.CountContaining("selMarker.setLatLng([37.") == 1);
        w.crmConsoleMessage("SelectedLC:LCab");
        w.crmConsoleMessage("no colon here");
        QCOMPARE(w.SelectedTCDV(), 12);
        w.crmConsoleMessage("SelectedSA:SA3");
        QCOMPARE(w.SelectedSA(), 3);
        QCOMPARE(w.SelectedTCDV(), 0);
        QCOMPARE(keyOf(w.SaTree()->currentIndex()), QString("3"));
        QCOMPARE(w.SelectionLabel()->text(), QString("그룹 : 3"));
        QVERIFY(bridge.CountContaining("selGroup = \"SA3\"") == 1);

        // An intersection that is not in the master list is looked for under group 1.
        w.FindTreeByLcId(w.LcTree(), 999);
        QCOMPARE(w.SelectedSA(), 1);

        // Pop-up items by kind.
        auto visible = [&w](const QString &name) {
            QAction *a = w.PopupMenu()->findChild<QAction *>(name);
            return a && a->isVisible();
        };
        QVERIFY(w.TreePopup(w.SaTree(), w.SaModel()->FindByKey("2"), QPoint(), false));
        QVERIFY(!visible("pm_actOpenTCDV_M"));
        QVERIFY(!visible("pmMapCaption"));
        QVERIFY(visible("pm_actSaveMapView"));
        QVERIFY(visible("pm_actCollapseAll"));
        QVERIFY(w.TreePopup(w.LcTree(), w.LcModel()->FindByKey("2-12"), QPoint(), false));
        QVERIFY(visible("pmMapCaption"));
        QCOMPARE(w.PopupMenu()->findChild<QAction *>("pmMapCaption")->text(), QString("교차로 : #012 (2004)"));
        QVERIFY(visible("pm_actOpenTCDV_M"));
        QVERIFY(visible("pm_actCollapseAll"));
        QVERIFY(w.findChild<QMenu *>("pmLcEdit")->menuAction()->isVisible()); // grade 1
        QVERIFY(!w.TreePopup(w.LcTree(), QModelIndex(), QPoint(), false));
        w.SaTree()->setCurrentIndex(w.SaModel()->FindByKey("2-12"));
        w.crmConsoleMessage("PopupMenu:0");
        QVERIFY(!visible("pm_actCollapseAll"));
        QVERIFY(visible("pm_actSaveMapView"));
        w.PopupMenu()->close();

        // Search boxes move the trees only.
        w.SetSelection(3, 0);
        w.LcSearchBox()->setText("23");
        QTest::keyClick(w.LcSearchBox(), Qt::Key_Return);
        QCOMPARE(w.TreePages()->currentWidget(), w.LcTreePage());
        QCOMPARE(keyOf(w.LcTree()->currentIndex()), QString("3-23"));
        QCOMPARE(w.SaSearchBox()->text(), QString("3"));
        w.SaSearchBox()->setText("4");
        QTest::keyClick(w.SaSearchBox(), Qt::Key_Return);
        QCOMPARE(w.TreePages()->currentWidget(), w.SaTreePage());
        QCOMPARE(keyOf(w.SaTree()->currentIndex()), QString("4"));
        QVERIFY(w.LcSearchBox()->text().isEmpty());
        QCOMPARE(w.SelectedSA(), 3);
        w.LcSearchBox()->setText("777");
        QTest::keyClick(w.LcSearchBox(), Qt::Key_Return);
        QCOMPARE(w.SaSearchBox()->text(), QString("0"));

        // Texts from outside reach the page only as numbers.
        bridge.ClearScripts();
        w.WmPanToLatLng("37.5", "127.0]);alert(1);([");
        QCOMPARE(bridge.Scripts().size(), 1);
        QVERIFY(!bridge.Scripts().first().contains("alert"));
        QVERIFY(bridge.Scripts().first().contains("selMarker.setLatLng([37.5,0])"));
        w.PanToTCDV(0, "1\"]);alert(1);//");
        QVERIFY(bridge.Scripts().last().contains("nodeObj[\"1\\\"]);alert(1);//\"]"));

        // A group of one intersection: pan to its node and show the bouncing arrow.
        QSqlDatabase db = TestDb::open(kDb, "check");
        QVERIFY(MainTest::Exec(db, "INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (5, 'one')"));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_INTLC SET INT_SANO = 5 WHERE INT_LCNO = 39"));
        bridge.ClearScripts();
        w.SelectSA(5);
        QVERIFY(bridge.Scripts().value(0).contains("imhereMarker.bounce(3)"));
        QVERIFY(bridge.Scripts().value(0).contains("map.panTo(L.latLng(37."));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_INTLC SET INT_SANO = 4 WHERE INT_LCNO = 39"));
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_SAOPERATE WHERE SA_NO = 5"));
        // Group tree double click fits the outline, never zooming in.
        bridge.ClearScripts();
        w.trvSADblClick(w.SaModel()->FindByKey("2"));
        QVERIFY(bridge.CountContaining("curZoom = map.getZoom();") == 1);
        QVERIFY(bridge.CountContaining("map.fitBoundsEx([[37.") == 1);

        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    void intersectionMonitorsOpenOncePerIntersection()
    {
        makeConsole();
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        QList<QPointer<FakeLcMonitor>> made;
        TScopedMainServices monitors([&made](TMainServices &s) {
            s.LcMonitorFactory = [&made](TfrmMain *owner, const PSTT_LC_INFO &info, const QColor &, const QColor &) {
                auto *m = new FakeLcMonitor;
                m->setObjectName(QString("monitor%1").arg(info ? info->tcdv_id : 0));
                Q_UNUSED(owner);
                made << m;
                return m;
            };
        });
        w.OpenLCMonitor(0);
        QCOMPARE(boxes->count(), 1);
        QCOMPARE(boxes->last().text, QString("먼저 교차로를 선택하세요."));
        QCOMPARE(boxes->last().caption, QString("교차로 선택 오류"));

        DM->G_LC_MNTR_OPTION = lcmoMulti;
        w.OpenLCMonitor(3);
        w.OpenLCMonitor(7);
        w.OpenLCMonitor(3); // only brought to the front
        QCOMPARE(made.size(), 2);
        QCOMPARE(w.Hub()->LcMonitorList().size(), 2);
        QCOMPARE(made[0]->windowTitle(), QString("교차로감시"));

        RaiseInAppMessage(&TInAppMessage::REFRESH_MVMT_TCDV_M);
        QVERIFY(waitRefresh(w, true));
        QVERIFY(made[0]->refreshes >= 1 && made[1]->refreshes >= 1);
        QVERIFY(made[0]->movements);
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_MVMT_TCDV_M);

        // One window only: opening another closes the open one.
        DM->G_LC_MNTR_OPTION = lcmoSingle;
        w.OpenLCMonitor(9);
        QVERIFY(MainTest::WaitFor([&] { return made[0].isNull(); }, 2000));
        QCOMPARE(w.Hub()->LcMonitorList().size(), 2);
        QVERIFY(w.Hub()->LcMonitor(9));
        QVERIFY(!w.Hub()->LcMonitor(3));
        for (auto &m : made)
            delete m.data();
        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    void closingWritesSettingsBookmarksAndOneLogout()
    {
        makeConsole(true);
        QSqlDatabase db = TestDb::open(kDb, "check");
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_L_USERCONTROL"));
        const int accepted = sim->connectionsAccepted();
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.show();
            QCOMPARE(launched.size(), 1);
            QVERIFY(DM->G_APP_SERVER);
            QVERIFY(waitRefresh(w, true));
            w.BrowserMessageReceived("zoomEnd", {16});
            w.BrowserMessageReceived("mouseMove", {37.51, 127.03});
            w.BrowserMessageReceived("changeVisible", {QString("Invisible"), QString(" Node ")});

            // "No" keeps everything running.
            boxes->enqueue(mrNo);
            QVERIFY(!w.close());
            QVERIFY(w.isVisible());
            QCOMPARE(boxes->last().text, QString("교통신호제어 운영 단말을 종료하시겠습니까?"));
            QCOMPARE(boxes->last().caption, QString("프로그램 종료"));
            QCOMPARE(MainTest::Scalar(db, "SELECT COUNT(*) FROM SCS_L_USERCONTROL"), 0);
            QVERIFY(sent.isEmpty());

            boxes->enqueue(mrYes);
            QVERIFY(w.close());
            QVERIFY(!w.Hub()->Timer()->isActive());
            QVERIFY(!frmTH_LogCom);
            QCOMPARE(sent, QStringList({"AppClose"}));
        }
        QCOMPARE(MainTest::Scalar(db, "SELECT COUNT(*) FROM SCS_L_USERCONTROL"), 1);
        QCOMPARE(MainTest::Scalar(db, "SELECT COUNT(*) FROM SCS_L_USERCONTROL WHERE CTL_CODE = 160 AND CTL_VALUE = 1"
                                      " AND CTL_KIND = 3 AND USER_ID = 'admin' AND CTL_DESC = '로그아웃'"),
                 1);
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT BOOKMARKS FROM SCS_M_USER WHERE USER_ID = 'admin'") && q.next());
        const QJsonObject saved = QJsonDocument::fromJson(q.value(0).toString().toUtf8()).object();
        QCOMPARE(saved.value("B1").toObject().value("zoom").toInt(), 15);

        TIniFile ini(folder->ini());
        QVERIFY(ini.SectionExists("FORM"));
        QCOMPARE(ini.ReadInteger("FORM", "WIDTH", 0) > 0, true);
        QCOMPARE(ini.ReadInteger("DISP-INDEX", "LC_STATUS_COMM_FAIL_COLOR", -1), 255);
        QCOMPARE(ini.ReadInteger("DISP-INDEX", "SA_SIZE", -1), 50);
        QCOMPARE(ini.ReadString("MAP", "ZOOM", ""), QString("16"));
        QCOMPARE(ini.ReadString("MAP", "LAT", ""), QString("37.51"));
        QCOMPARE(ini.ReadBool("COM-ENV", "NODE_VISIBLE", true), false);
        QCOMPARE(ini.ReadBool("COM-ENV", "LINK_VISIBLE", false), true);
        // The settings of the start stay (RC_IP was not touched).
        QCOMPARE(ini.ReadString("COM-ENV", "RC_IP", ""), QString("127.0.0.1"));
        // The monitoring connection was closed with the closing packet.
        QVERIFY(sim->connectionsAccepted() > accepted);
        bool closing = false;
        for (const rcsim::CapturedPacket &p : sim->captured())
            closing = closing || (!p.control && p.head.isClosing());
        QVERIFY(closing);
    }

    // The host request through the main window's action: the exchange on the
    // control port (kind 3, opcode 4), the event row, the log line, the result box,
    // and the monitoring that runs again afterwards.
    void hostRequestThroughTheAction()
    {
        makeConsole();
        DM->G_RC_CTRL_PORT = sim->ctrlPort();
        QSqlDatabase db = TestDb::open(kDb, "check");
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_L_USERCONTROL"));
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        sim->clearCapture();
        boxes->enqueue(mrYes);
        w.Action("actReqtParamsChanged")->trigger();
        bool seen = false;
        for (const rcsim::CapturedPacket &p : sim->captured())
            seen = seen || (p.control && p.head.opcode == 4 && p.head.kind == 3 && p.head.target == 0);
        QVERIFY(seen);
        QCOMPARE(boxes->last().text, QString("[파라미터변경통보] 변경통보 성공"));
        QCOMPARE(MainTest::Scalar(db, "SELECT COUNT(*) FROM SCS_L_USERCONTROL WHERE CTL_CODE = 13 AND CTL_VALUE = 1"), 1);
        QVERIFY(anyLineEndsWith(logLines(), "[파라미터변경통보] 변경통보 성공"));
        QVERIFY(w.Hub()->Timer()->isActive());
        boxes->enqueue(mrYes);
        QVERIFY(w.close());
    }

    void bookmarksThatAreNotAnObjectAreNotSaved()
    {
        makeConsole();
        QSqlDatabase db = TestDb::open(kDb, "check");
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_USER SET BOOKMARKS = 'unchanged' WHERE USER_ID = 'admin'"));
        DM->G_APP_USER.Bookmarks = "[1, 2]";
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            QVERIFY(!w.BookmarkJson().has_value());
            w.show();
            boxes->enqueue(mrYes);
            QVERIFY(w.close());
        }
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT BOOKMARKS FROM SCS_M_USER WHERE USER_ID = 'admin'") && q.next());
        QCOMPARE(q.value(0).toString(), QString("unchanged"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
