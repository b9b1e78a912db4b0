// The intersection monitor end to end: opened from the main window against the
// centre-server simulator, with its real monitor page offscreen. A 2010 intersection
// of the scenario shows the scenario's state and status bytes; its page holds the
// marker and the arrows of both rings (read back from the page's own objects). The
// simulator's status statement is checked on its own first.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>

#include "MainWindowTestEnv.h"
#include "RcScenario.h"
#include "RcSim.h"
#include "control/untTCDV_M.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "mainwindow/LcMonitorHook.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/untMain.h"

namespace {

const char *const kDb = "tst_lcmonitor_live";
constexpr double kScenarioTime = 50.0;
QString u(const char *s) { return QString::fromUtf8(s); }

int FreePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// The status bytes of intersection `lc` in an image (offset of the intersection
// records 15200, 107 bytes each, status bytes at 74).
QByteArray Lcst(const QByteArray &image, int lc) { return image.mid(15200 + (lc - 1) * 107 + 74, 33); }

} // namespace

class TstLcMonitorLive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(TestDb::create(kDb, true)); }

    // Each key of the status statement writes its bytes, only within its time.
    void scenarioStatusStatement_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("lc");
        QTest::addColumn<double>("time");
        QTest::addColumn<QString>("bytes"); // "index=hex,..."
        QTest::newRow("ppc flags") << "status 16 ppc=0xA0" << 16 << 10.0 << "22=a0";
        QTest::newRow("ppc mode bit") << "status 16 ppcmode=1" << 16 << 10.0 << "0=1c";
        QTest::newRow("ring view") << "status 16 ring=1,2,0x10,255" << 16 << 10.0 << "25=01,26=02,27=10,28=ff";
        QTest::newRow("ups") << "status 16 ups=0xE4" << 16 << 10.0 << "23=e4";
        QTest::newRow("firmware") << "status 16 fw=10201 fwidx=300" << 16 << 10.0 << "17=27,18=d9,19=01,20=2c";
        QTest::newRow("occupancy 2004") << "status 15 occupancy=0,2,0,0x80" << 15 << 10.0 << "6=00,7=02,8=00,9=80";
        QTest::newRow("spill-back flags") << "status 16 spillback=5" << 16 << 10.0 << "16=05";
        QTest::newRow("lock flags") << "status 16 lock=6" << 16 << 10.0 << "24=06";
        QTest::newRow("plan 2010") << "status 16 plan=7" << 16 << 10.0 << "16=78";
        QTest::newRow("plan 2004") << "status 15 plan=1" << 15 << 10.0 << "4=0e";
        QTest::newRow("range") << "status 15-16 ups=0x80" << 15 << 10.0 << "23=80";
        QTest::newRow("outside its time") << "status 16 from=20 to=30 ups=0xE4" << 16 << 10.0 << "23=00";
        QTest::newRow("inside its time") << "status 16 from=20 to=30 ups=0xE4" << 16 << 25.0 << "23=e4";
    }
    void scenarioStatusStatement()
    {
        QFETCH(QString, statement);
        QFETCH(int, lc);
        QFETCH(double, time);
        QFETCH(QString, bytes);
        const QString base = QStringLiteral("period 300\ngroup 2 cycle=140\nlc 15 group=2 type=2004 phases=4\n"
                                            "lc 16 group=2 type=2010 phases=4 lamp=3 actuated=1\n");
        rcsim::Scenario sc;
        QString error;
        QVERIFY2(rcsim::Scenario::parse(base + statement + QLatin1Char('\n'), &sc, &error), qPrintable(error));
        const QByteArray lcst = Lcst(sc.stateImage(time, false), lc);
        for (const QString &b : bytes.split(QLatin1Char(','))) {
            const int index = b.section(QLatin1Char('='), 0, 0).toInt();
            const int value = b.section(QLatin1Char('='), 1).toInt(nullptr, 16);
            QCOMPARE(int(quint8(lcst.at(index))), value);
        }
    }

    void scenarioStatusRefused_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("ring of three") << "status 16 ring=1,2,3";
        QTest::newRow("plan 8") << "status 16 plan=8";
        QTest::newRow("byte above 255") << "status 16 ups=256";
        QTest::newRow("not a number") << "status 16 ppc=x";
        QTest::newRow("no intersection") << "status ups=1";
        QTest::newRow("times reversed") << "status 16 from=30 to=20";
    }
    void scenarioStatusRefused()
    {
        QFETCH(QString, statement);
        rcsim::Scenario sc;
        QString error;
        QVERIFY(!rcsim::Scenario::parse(statement, &sc, &error));
        QVERIFY(error.startsWith(QStringLiteral("line 1:")));
    }

    void monitorOpenedFromTheMainWindow()
    {
        QVERIFY(MainTest::LoadLanguage());
        auto sim = std::make_unique<rcsim::RcSim>();
        QString error;
        QVERIFY2(sim->start(&error), qPrintable(error));
        rcsim::Scenario sc;
        QVERIFY2(rcsim::Scenario::parse(rcsim::Scenario::builtInText()
                                            + QStringLiteral("status 16 ppc=0x80 ups=0xE4 fw=10201 fwidx=12 lock=6\n"),
                                        &sc, &error),
                 qPrintable(error));
        sim->setScenario(sc);
        sim->freezeClock(kScenarioTime);
        const rcsim::ScLcView view = sc.view(16, kScenarioTime);
        QCOMPARE(view.state, 1); // the scenario keeps Gangnam station in centre mode then

        auto boxes = std::make_unique<ScriptedMsgDlg>();
        MainTest::ConsoleFolder folder(
            kDb, QString("[COM-ENV]\nRC_IP=127.0.0.1\nRC_MNTR_PORT=%1\nRC_MNTR_PERIOD=1\nRC_MNTR_RETRYPERIOD=2\n"
                         "ADMIN_MODE=1\nTILE_URL=http://127.0.0.1:%2/tiles\n")
                .arg(sim->mntrPort())
                .arg(FreePort()));
        const QString bin = QCoreApplication::applicationDirPath();
        QVERIFY(QFile::link(bin + "/html", folder.dir.filePath("html")));
        std::unique_ptr<TDM> dm = MainTest::OpenAdminDataModule(folder.path());
        QVERIFY(dm);
        QVERIFY(QFile::exists(QUrl(dm->G_MONITOR_URL).toLocalFile()));

        {
            TScopedMainServices scope([](TMainServices &) { InstallLcMonitorFactory(); });
            TfrmMain w(nullptr);
            w.show();
            QVERIFY(MainTest::WaitFor([&] { return !w.MapViewController()->IsLoading(); }, 60000));
            QVERIFY(MainTest::WaitFor([&] { return w.LcInfoSet().GetLcInfo(16)->mntr_ok; }, 20000));

            w.OpenLCMonitor(16);
            auto *m = qobject_cast<TfrmTCDV_M *>(w.Hub()->LcMonitor(16));
            QVERIFY(m);
            QCOMPARE(m->windowTitle(), u("교차로감시"));
            auto *bridge = dynamic_cast<TMapViewBridge *>(m->Page());
            QVERIFY(bridge && bridge->Controller());
            TMapViewController *ctl = bridge->Controller();
            QStringList pageErrors;
            connect(ctl, &TMapViewController::consoleMessage, this,
                    [&pageErrors](int level, const QString &message, int line, const QString &source) {
                        if (level == QWebEnginePage::ErrorMessageLevel)
                            pageErrors << QStringLiteral("%1 (%2:%3)").arg(message, source).arg(line);
                    });
            QVERIFY2(MainTest::WaitFor([&] { return !ctl->IsLoading(); }, 60000), qPrintable(pageErrors.join("; ")));
            auto js = [&](const QString &s) { return ctl->EvaluateJavaScript(s, 20000); };

            // The scenario's state after a few cycles.
            QVERIFY(MainTest::WaitFor(
                [&] { return m->ValueLabel("lc_status")->text() == u("센터모드"); }, 20000));
            QVERIFY2(MainTest::WaitFor(
                [&] { return js("typeof mvmt1 !== 'undefined' && typeof mvmt2 !== 'undefined'").toBool(); },
                20000),
                qPrintable(pageErrors.join("; ") + " A=" + m->Model().TmpPhaseAMvmt() + " head="
                           + w.LcInfoSet().GetLcInfo(16)->Movements[0][0][0].head_lat.str()));
            QCOMPARE(m->ValueLabel("lblFwModuleID")->text(), QStringLiteral("10201"));
            QCOMPARE(m->pgbFwModuleDgIdx->value(), 12);
            QCOMPARE(m->ValueLabel("lblLockStatus")->text(), u("설치(풀림)"));
            QCOMPARE(m->ValueLabel("phaseAB")->text(), QStringLiteral("%1/%1").arg(view.phase));
            QCOMPARE(m->gtvUPSStatus->item(0, 0)->text(), u("정상"));
            QCOMPARE(m->gtvUPSStatus->item(0, 2)->text(), u("교체"));
            // Its active spill-back settings.
            QCOMPARE(m->gtvSpillback->rowCount(), 3);

            // The page's own objects: the marker at the intersection, the arrows of both
            // rings in the movement layer, the knob counting.
            QVERIFY(js("typeof LC !== 'undefined' && map.hasLayer(LC)").toBool());
            const PSTT_LC_INFO info = w.LcInfoSet().GetLcInfo(16);
            QCOMPARE(js("LC.getLatLng().lat.toFixed(5)").toString(),
                     QString::number(info->cx.str().toDouble(), 'f', 5));
            QCOMPARE(js("LC.getLatLng().lng.toFixed(5)").toString(),
                     QString::number(info->cy.str().toDouble(), 'f', 5));
            QVERIFY(js("map.hasLayer(MvmtLayer) && MvmtLayer.hasLayer(mvmt1) && MvmtLayer.hasLayer(mvmt2)").toBool());
            QCOMPARE(js("MvmtLayer.getLayers().length").toInt(), 2);
            QCOMPARE(js("$('#ovik-lc-counter-container').css('display')").toString(), QStringLiteral("block"));

            // The monitor closes and leaves the list.
            QVERIFY(m->close());
            QVERIFY(MainTest::WaitFor([&] { return !w.Hub()->LcMonitor(16); }, 5000));
            boxes->enqueue(mrYes);
            QVERIFY(w.close());
        }
        dm.reset();
        DM = nullptr;
    }
};

QTEST_MAIN(TstLcMonitorLive)
#include "tst_lcmonitor_live.moc"
