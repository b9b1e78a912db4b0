// The live views in the real monitoring cycle of the main window against the
// centre-server simulator: a scenario flashes one intersection and cuts another's
// communication; the cycle brings the change into the current-event window (both
// intersection pages, popped up) and into the real-time state list.
#include <QApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "RcSim.h"
#include "TestConsoleFolder.h"
#include "control/ControlWindows.h"
#include "control/untCURR_EV.h"
#include "control/untTCDV_M_State.h"
#include "core/Quorval.h"
#include "core/WindowRegistry.h"
#include "core/untDM.h"
#include "control/untSA_M.h"
#include "control/untSYS_M.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/untMain.h"

namespace {

const char *kScenario = "period 300\n"
                        "group 1 cycle=120\n"
                        "lc 1-6 group=1 type=2004\n"
                        "event 2 from=50 to=300 state=flash flash=1\n"
                        "event 3 from=50 to=300 state=commfail\n";

// One cycle of the hub, to its end.
bool runCycle(TfrmMain &w)
{
    QSignalSpy idle(w.Hub(), &TMonitorHub::idle);
    w.Hub()->StartCycle();
    return idle.count() > 0 || idle.wait(10000);
}

// The rows of an event grid as "number|event|current|previous".
QStringList rowsOf(const QTableWidget *g)
{
    QStringList rows;
    for (int r = 0; r < g->rowCount(); ++r)
        rows << QStringList{g->item(r, 1)->text(), g->item(r, 3)->text(), g->item(r, 4)->text(), g->item(r, 5)->text()}
                    .join('|');
    return rows;
}

} // namespace

class TstLiveViewsCycle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(TestConsole::LoadLanguage()); }

    void cycleFeedsEventsAndStateList()
    {
        rcsim::RcSim sim;
        QString error;
        QVERIFY2(sim.start(&error), qPrintable(error));
        rcsim::Scenario sc;
        QVERIFY2(rcsim::Scenario::parse(QString::fromLatin1(kScenario), &sc, &error), qPrintable(error));
        sim.setScenario(sc);
        sim.freezeClock(10);

        QTemporaryDir dir;
        ScriptedMsgDlg boxes; // no database here: its boxes are answered
        TDM dm(dir.path(), QStringLiteral("signal-console"));
        dm.LoadConfig();
        dm.UpdateStrings();
        DM = &dm;
        dm.G_HOST = QStringLiteral("127.0.0.1");
        dm.G_RC_MNTR_PORT = sim.mntrPort();
        dm.G_READ_TIMEOUT = 3000;
        dm.G_APP_USER.ID = QStringLiteral("tester");

        {
            TRecordingMapBridge bridge;
            bridge.SetRecording(false);
            TfrmMain w(nullptr, &bridge);
            w.show();
            w.Hub()->Timer()->stop();
            for (int n = 1; n <= 6; ++n) {
                auto r = std::make_shared<TSTT_LC_INFO>();
                r->tcdv_id = n;
                r->lc_type = 1;
                r->is_use = true;
                r->sa_id = 1;
                r->ints_name = QStringLiteral("교차로%1").arg(n);
                w.LcInfoSet().SetLcInfo(n, r);
            }

            auto *events = static_cast<TfrmCURR_EV *>(CreateCurrentEventWindow(&w, &w));
            QVERIFY(w.Hub()->MonitorView(mvkCurrentEvent) == events);
            events->hide();
            CurrentEvents::TEventSettings s;
            s.ConnectionFail = true;
            s.PopupOption = 1;
            events->SetSettings(s);
            events->SetContext({{1, QStringLiteral("그룹1")}}, {1}, {1, 2, 3, 4, 5, 6});

            auto *list = new TfrmTCDV_M_State(&w, &w, &w.LcInfoSet());
            QVERIFY(w.Hub()->MonitorView(mvkStateList) == list);
            list->show();
            list->SetStateItem(0, true); // communication failures

            QVERIFY(runCycle(w));
            QVERIFY(runCycle(w));
            QCOMPARE(w.LcInfoSet().GetLcInfo(3)->opr_stat, 1);
            QCOMPARE(events->gtvTCDV->rowCount(), 0);
            QCOMPARE(list->gtvLCList->rowCount(), 0);

            sim.freezeClock(60);
            QVERIFY(runCycle(w));
            const QStringList all = rowsOf(events->gtvTCDV);
            QVERIFY2(all.contains(QStringLiteral("2|교차로운영상태|점멸|센터모드")), qPrintable(all.join('\n')));
            QVERIFY2(all.contains(QStringLiteral("3|교차로운영상태|통신이상|센터모드")), qPrintable(all.join('\n')));
            QVERIFY2(all.filter(QRegularExpression(QStringLiteral("^2\\|점멸여부\\|점멸"))).size() == 1,
                     qPrintable(all.join('\n')));
            QCOMPARE(rowsOf(events->gtvTCDV2), QStringList{QStringLiteral("3|교차로운영상태|통신이상|센터모드")});
            QVERIFY(events->isVisible());
            QCOMPARE(events->pctrlEvnt->currentIndex(), int(CurrentEvents::pgSelected));

            QCOMPARE(list->gtvLCList->rowCount(), 1);
            QCOMPARE(list->gtvLCList->item(0, StateList::colLC)->text(), QStringLiteral("3"));
            QCOMPARE(list->gtvLCList->item(0, StateList::colStatus)->text(), QStringLiteral("통신이상"));

            // The list leaves the cycle when it closes.
            delete list;
            QVERIFY(w.Hub()->MonitorView(mvkStateList) == nullptr);
            QVERIFY(runCycle(w));
            w.FormDestroy();
        }
        DM = nullptr;
    }

    // The main window's actions open the views through their registered openers, and
    // each view joins the cycle while it exists.
    void actionsOpenRegisteredViews()
    {
        RegisterControlWindows();
        QTemporaryDir dir;
        ScriptedMsgDlg boxes; // no database: the member and tile queries fail with a box
        TDM dm(dir.path(), QStringLiteral("signal-console"));
        dm.LoadConfig();
        dm.UpdateStrings();
        DM = &dm;
        {
            TRecordingMapBridge bridge;
            bridge.SetRecording(false);
            TfrmMain w(nullptr, &bridge);
            w.show();
            w.Hub()->Timer()->stop();

            w.Action(QStringLiteral("actOpenSYS_M"))->trigger();
            auto *sys = qobject_cast<TfrmSYS_M *>(TWindowRegistry::Find(QStringLiteral("TfrmSYS_M")));
            QVERIFY(sys);
            QVERIFY(w.Hub()->MonitorView(mvkSystemMonitor) == sys);
            QCOMPARE(sys->gtvSysM->rowCount(), 40); // nothing read: 40 empty rows

            w.SetSelection(7, 0);
            w.Action(QStringLiteral("actOpenSA_M"))->trigger();
            auto *group = qobject_cast<TfrmSA_M *>(TWindowRegistry::Find(QStringLiteral("TfrmSA_M")));
            QVERIFY(group);
            QCOMPARE(group->SA_ID(), 7);
            QVERIFY(w.Hub()->MonitorView(mvkGroupMonitor) == group);

            w.Action(QStringLiteral("actOpenTCDV_M_State"))->trigger();
            auto *list = qobject_cast<TfrmTCDV_M_State *>(TWindowRegistry::Find(QStringLiteral("TfrmTCDV_M_State")));
            QVERIFY(list);
            QVERIFY(w.Hub()->MonitorView(mvkStateList) == list);
            // Placed at the main window's top right.
            QCOMPARE(list->y(), w.y() + 55);

            delete sys;
            QVERIFY(w.Hub()->MonitorView(mvkSystemMonitor) == nullptr);
            w.FormDestroy();
        }
        DM = nullptr;
    }
};

QTEST_MAIN(TstLiveViewsCycle)
#include "tst_live_views_cycle.moc"
