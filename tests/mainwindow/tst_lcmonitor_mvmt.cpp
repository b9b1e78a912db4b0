// An open intersection monitor and the movement arrow editor, both opened from the
// main window against the centre-server simulator, with pages that record their
// scripts: once the editor's save ends with "Done", the live record holds the new
// arrows, the main window's next cycle hands the movement refresh to the monitor and
// the monitor sends the arrows of both rings again, at the saved points, although no
// ring changed its phase.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "MainWindowTestEnv.h"
#include "QuietMapPage.h"
#include "RcScenario.h"
#include "RcSim.h"
#include "control/untTCDV_M.h"
#include "core/InAppMessage.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "intersection/untTCDV_E_PhaseMvmt.h"
#include "mainwindow/LcMonitorHook.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/MvmtEditorHook.h"
#include "mainwindow/untMain.h"

namespace {

const char *const kDb = "tst_lcmonitor_mvmt";
constexpr double kScenarioTime = 50.0;
constexpr int kLc = 16;

// The "savePoint" message an arrow of the editor page writes: ten numbers from `base`
// (head, middle, end and label points, then the two angles).
QString SavePoint(const QString &name, const QStringList &values)
{
    return QStringLiteral("savePoint:{\"name\":\"%1\",\"headPointLat\":\"%2\",\"headPointLng\":\"%3\","
                          "\"middlePointLat\":\"%4\",\"middlePointLng\":\"%5\",\"endPointLat\":\"%6\","
                          "\"endPointLng\":\"%7\",\"labelPointLat\":\"%8\",\"labelPointLng\":\"%9\","
                          "\"headAngle\":\"%10\",\"endAngle\":\"%11\"}")
        .arg(name, values.value(0), values.value(1), values.value(2), values.value(3), values.value(4),
             values.value(5), values.value(6), values.value(7))
        .arg(values.value(8), values.value(9));
}

// Scripts from index `from` on that contain `text`.
QStringList ScriptsFrom(const TRecordingLoadPage &page, int from, const QString &text)
{
    QStringList out;
    for (int k = from; k < page.Scripts.size(); ++k)
        if (page.Scripts.at(k).contains(text))
            out << page.Scripts.at(k);
    return out;
}

} // namespace

class TstLcMonitorMvmt : public QObject
{
    Q_OBJECT

    static bool WaitCycle(TfrmMain &w, int timeoutMs = 8000)
    {
        QSignalSpy spy(w.Hub(), &TMonitorHub::monitorRefreshed);
        return spy.wait(timeoutMs);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        QVERIFY(MainTest::LoadLanguage());
    }

    void editorDoneResendsBothArrows()
    {
        auto sim = std::make_unique<rcsim::RcSim>();
        QString error;
        QVERIFY2(sim->start(&error), qPrintable(error));
        sim->setScenario(rcsim::Scenario::builtIn());
        sim->freezeClock(kScenarioTime);

        ScriptedMsgDlg boxes;
        MainTest::ConsoleFolder folder(
            kDb, QString("[COM-ENV]\nRC_IP=127.0.0.1\nRC_MNTR_PORT=%1\nRC_MNTR_PERIOD=1\nRC_MNTR_RETRYPERIOD=2\n"
                         "ADMIN_MODE=1\n")
                     .arg(sim->mntrPort()));
        std::unique_ptr<TDM> dm = MainTest::OpenAdminDataModule(folder.path());
        QVERIFY(dm);

        std::shared_ptr<TRecordingLoadPage> monitorPage, editorPage;
        InstallMvmtEditor([&editorPage](TMvmtEditorHost &h) {
            h.MakePage = [&editorPage](QWidget *, QWidget *) {
                editorPage = std::make_shared<TRecordingLoadPage>();
                return std::static_pointer_cast<IMapBridge>(editorPage);
            };
            h.StartLayerThreads = nullptr;
        });
        {
            TScopedMainServices scope([&monitorPage](TMainServices &) {
                InstallLcMonitorFactory([&monitorPage](TLcMonitorHost &h) {
                    h.MakePage = [&monitorPage](QWidget *, QWidget *) {
                        monitorPage = std::make_shared<TRecordingLoadPage>();
                        return std::static_pointer_cast<IMapBridge>(monitorPage);
                    };
                    h.StartLayerThreads = nullptr;
                });
            });
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.show();
            QVERIFY(MainTest::WaitFor([&] { return w.LcInfoSet().GetLcInfo(kLc)->mntr_ok; }, 20000));

            // The monitor draws one arrow per ring, then sends none while the phases stay.
            w.OpenLCMonitor(kLc);
            auto *m = qobject_cast<TfrmTCDV_M *>(w.Hub()->LcMonitor(kLc));
            QVERIFY(m && monitorPage);
            QVERIFY(MainTest::WaitFor(
                [&] { return !m->Model().TmpPhaseAMvmt().isEmpty() && !m->Model().TmpPhaseBMvmt().isEmpty(); },
                20000));
            const QString keyA = m->Model().TmpPhaseAMvmt(), keyB = m->Model().TmpPhaseBMvmt();
            QVERIFY(!ScriptsFrom(*monitorPage, 0, "var mvmt1").isEmpty());
            QVERIFY(!ScriptsFrom(*monitorPage, 0, "var mvmt2").isEmpty());
            int mark = int(monitorPage->Scripts.size());
            QVERIFY(WaitCycle(w));
            QVERIFY(WaitCycle(w));
            QVERIFY(ScriptsFrom(*monitorPage, mark, "L.simpleMovement").isEmpty());

            // Arrow key "mvmt" + plan index + phase index + ring; the editor names the
            // same arrows by plan class and phase counted from 1.
            QCOMPARE(keyA.size(), 7);
            QCOMPARE(keyB.size(), 7);
            const int plan = keyA.mid(4, 1).toInt(), phaseA = keyA.mid(5, 1).toInt(),
                      phaseB = keyB.mid(5, 1).toInt();
            const QString nameA = QStringLiteral("mvmt%1%2%3").arg(plan + 1).arg(phaseA + 1).arg(1);
            const QString nameB = QStringLiteral("mvmt%1%2%3").arg(plan + 1).arg(phaseB + 1).arg(2);

            // The editor, opened from the main window on the selected intersection.
            w.crmConsoleMessage(QStringLiteral("SelectedLC:LC%1").arg(kLc));
            QCOMPARE(w.SelectedTCDV(), kLc);
            QVERIFY(w.Action("actOpenTCDV_E_PhaseMvmt"));
            w.Action("actOpenTCDV_E_PhaseMvmt")->trigger();
            QPointer<TfrmTCDV_E_PhaseMvmt> editor;
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *e = qobject_cast<TfrmTCDV_E_PhaseMvmt *>(top))
                    editor = e;
            QVERIFY2(editor && editorPage, qPrintable(boxes.count() ? boxes.last().text : QString()));
            QCOMPARE(editor->TCDV_ID(), kLc);
            QVERIFY(MainTest::WaitFor([&] { return !editorPage->IsLoading(); }, 5000));
            const PSTT_LC_INFO live = w.LcInfoSet().GetLcInfo(kLc);
            QCOMPARE(editor->LiveRecord().get(), live.get());

            const QStringList pointsA{"37.49711", "127.02811", "37.49721", "127.02821", "37.49731",
                                      "127.02831", "37.49741", "127.02841", "45",        "135"};
            const QStringList pointsB{"37.49811", "127.02911", "37.49821", "127.02921", "37.49831",
                                      "127.02931", "37.49841", "127.02941", "225",       "315"};
            TInAppMessageHolder::instance()->Clear(&TInAppMessage::REFRESH_MVMT_TCDV_M);
            const int boxesBefore = boxes.count();
            editor->ConsoleMessage(SavePoint(nameA, pointsA));
            editor->ConsoleMessage(SavePoint(nameB, pointsB));
            mark = int(monitorPage->Scripts.size());
            editor->ConsoleMessage(QStringLiteral("Done"));
            QCOMPARE(boxes.count(), boxesBefore + 1);
            QCOMPARE(boxes.last().caption, QStringLiteral("저장 성공"));
            // The live record holds the saved points.
            QCOMPARE(live->Movements[plan][phaseA][0].head_lat.str(), QStringLiteral("37.49711"));
            QCOMPARE(live->Movements[plan][phaseB][1].label_lng.str(), QStringLiteral("127.02941"));
            QVERIFY(TInAppMessageHolder::instance()->Flags().REFRESH_MVMT_TCDV_M);

            // The main window's next cycle hands the movement refresh to the monitor (after
            // its display of that cycle) and clears the flag; the cycle after it sends
            // both arrows again, at the saved points.
            QVERIFY(MainTest::WaitFor(
                [&] { return !TInAppMessageHolder::instance()->Flags().REFRESH_MVMT_TCDV_M; }, 8000));
            QVERIFY(MainTest::WaitFor(
                [&] {
                    return !ScriptsFrom(*monitorPage, mark, "mvmt1.setLatlngs(").isEmpty()
                           && !ScriptsFrom(*monitorPage, mark, "mvmt2.setLatlngs(").isEmpty();
                },
                8000));
            const QStringList ringA = ScriptsFrom(*monitorPage, mark, "mvmt1.setLatlngs(");
            const QStringList ringB = ScriptsFrom(*monitorPage, mark, "mvmt2.setLatlngs(");
            QCOMPARE(ringA.size(), 1);
            QCOMPARE(ringB.size(), 1);
            for (const char *part : {"L.latLng(37.49711,127.02811)", "L.latLng(37.49741,127.02841)",
                                     "headAngle: 45, endAngle: 135"})
                QVERIFY2(ringA.first().contains(QString::fromLatin1(part)), part);
            for (const char *part : {"L.latLng(37.49811,127.02911)", "L.latLng(37.49841,127.02941)",
                                     "headAngle: 225, endAngle: 315"})
                QVERIFY2(ringB.first().contains(QString::fromLatin1(part)), part);
            // The same arrows (no ring changed its phase), kept as drawn afterwards.
            QCOMPARE(m->Model().TmpPhaseAMvmt(), keyA);
            QCOMPARE(m->Model().TmpPhaseBMvmt(), keyB);
            mark = int(monitorPage->Scripts.size());
            QVERIFY(WaitCycle(w));
            QVERIFY(ScriptsFrom(*monitorPage, mark, "L.simpleMovement").isEmpty());

            editor->close();
            QVERIFY(MainTest::WaitFor([&] { return editor.isNull(); }, 5000));
            QVERIFY(m->close());
            boxes.enqueue(mrYes);
            QVERIFY(w.close());
        }
        SetMvmtEditorHost({});
        TMainOpeners::Unregister(QStringLiteral("TfrmTCDV_E_PhaseMvmt"));
        dm.reset();
        DM = nullptr;
    }
};

QTEST_MAIN(TstLcMonitorMvmt)
#include "tst_lcmonitor_mvmt.moc"
