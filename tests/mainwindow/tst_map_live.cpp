// The live map of the main window end to end: the window with its real map page,
// the demo city, the centre-server simulator and the local application server as a
// process of its own. After the page's initialisation the markers and outlines are
// in the page; monitoring cycles colour the markers the page lists, read back from
// the page's own objects; the page's calls and messages reach the window; the
// detector counters show the city's numbers; "AppClose" ends the server at shutdown.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <csignal>
#include <sys/prctl.h>

#include "mainwindow/AppServerClientUnit.h"
#include "core/LcStatusColor.h"
#include "MainWindowTestEnv.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "core/Quorval.h"
#include "RcSim.h"
#include "core/untDM.h"
#include "mainwindow/untLegend.h"
#include "mainwindow/untMain.h"

namespace {

const char *const kDb = "tst_map_live";
constexpr double kScenarioTime = 70.0;

int FreePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

QSet<QString> Column(QSqlDatabase db, const QString &sql, const QString &prefix)
{
    QSet<QString> out;
    QSqlQuery q(db);
    if (!q.exec(sql))
        return out;
    while (q.next())
        out.insert(prefix + q.value(0).toString());
    return out;
}

QSet<QString> ToSet(const QString &commaList)
{
    QSet<QString> out;
    for (const QString &s : commaList.split(QLatin1Char(','), Qt::SkipEmptyParts))
        out.insert(s);
    return out;
}

} // namespace

class TstMapLive : public QObject
{
    Q_OBJECT
    std::unique_ptr<rcsim::RcSim> sim;
    std::unique_ptr<MainTest::ConsoleFolder> folder;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<ScriptedMsgDlg> boxes;
    std::unique_ptr<TScopedMainServices> services;
    QProcess *server = nullptr;
    QString pipe;
    QStringList sent;
    QStringList pageErrors;

    QVariant Js(TfrmMain &w, const QString &script)
    {
        return w.MapViewController()->EvaluateJavaScript(script, 20000);
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
        pipe = QStringLiteral("OvikAppSvr_live_%1").arg(QCoreApplication::applicationPid());
        // The window starts the real server, on a pipe of this test's own (tests run
        // side by side), and sends its commands there.
        services = std::make_unique<TScopedMainServices>([this](TMainServices &s) {
            s.AppServerLauncher = [this](const QString &program) {
                server = new QProcess(this);
                server->setProcessChannelMode(QProcess::ForwardedChannels);
                // The server ends with this test even when the test dies.
                server->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
                server->start(program, TAppServerClient::ArgumentsFor(folder->ini(), pipe));
                return server->waitForStarted(10000);
            };
            s.AppServerSender = [this](const QString &command, bool *connected) {
                sent << command;
                const TAppServerResult r = TAppServerClient::SendCommand(command, pipe, 2000);
                *connected = r.Connected;
                return r.Ok() ? 0 : r.ErrorCode;
            };
        });
    }

    void cleanupTestCase()
    {
        services.reset();
        if (server && server->state() != QProcess::NotRunning) {
            server->kill();
            server->waitForFinished(5000);
        }
        sim.reset();
        boxes.reset();
        dm.reset();
        DM = nullptr;
        folder.reset();
    }

    void liveMapOfTheDemoCity()
    {
        boxes = std::make_unique<ScriptedMsgDlg>();
        const int appPort = FreePort();
        // No tile server: the tile address leads nowhere.
        folder = std::make_unique<MainTest::ConsoleFolder>(
            kDb, QString("[COM-ENV]\nRC_IP=127.0.0.1\nRC_MNTR_PORT=%1\nRC_MNTR_PERIOD=1\nRC_MNTR_RETRYPERIOD=2\n"
                         "APP_CTRL_PORT=%2\nTILE_URL=http://127.0.0.1:%3/tiles\n"
                         "[MAP]\nLAT=37.5050\nLNG=127.0420\nZOOM=15\n")
                         .arg(sim->mntrPort())
                         .arg(appPort)
                         .arg(FreePort()));
        const QString bin = QCoreApplication::applicationDirPath();
        QVERIFY(QFile::link(bin + "/html", folder->dir.filePath("html")));
        QVERIFY(QFile::link(TAppServerClient::ExecutablePath(bin), TAppServerClient::ExecutablePath(folder->path())));
        dm = MainTest::OpenAdminDataModule(folder->path());
        QVERIFY(dm);
        dm->G_APP_USER.RoleName = "메인관리자";
        QSqlDatabase db = TestDb::open(kDb, "check");

        {
            TfrmMain w(nullptr);
            TMapViewController *ctl = w.MapViewController();
            QVERIFY(ctl);
            connect(ctl, &TMapViewController::consoleMessage, this,
                    [this](int level, const QString &message, int line, const QString &source) {
                        if (level == QWebEnginePage::ErrorMessageLevel)
                            pageErrors << QStringLiteral("%1 (%2:%3)").arg(message, source).arg(line);
                    });
            w.resize(1400, 900);
            w.show();
            QVERIFY(server);
            QVERIFY(DM->G_APP_SERVER);
            QVERIFY(MainTest::WaitFor([&] { return !ctl->IsLoading(); }, 60000));
            QCOMPARE(boxes->count(), 0);

            // One marker per intersection with a position, one outline per stored outline.
            const QSet<QString> lcs = Column(db,
                                             "SELECT I.INT_LCNO FROM SCS_M_INTLC I JOIN SCS_M_NODE N ON N.NODE_ID = I.NODE_ID"
                                             " WHERE N.NODE_LAT IS NOT NULL AND N.NODE_LNG IS NOT NULL",
                                             "LC");
            QVERIFY(lcs.size() >= 40);
            QCOMPARE(ToSet(Js(w, "Object.keys(lcObj).join(',')").toString()), lcs);
            const QSet<QString> groups = Column(db, "SELECT SA_NO FROM SCS_M_SAOPERATE WHERE SA_LATLNGS IS NOT NULL"
                                                    " AND SA_LATLNGS <> ''",
                                                "SA");
            QVERIFY(!groups.isEmpty());
            QCOMPARE(ToSet(Js(w, "Object.keys(saObj).join(',')").toString()), groups);
            QVERIFY(Js(w, "SALayer.getLayers().length > 0 && map.hasLayer(SALayer)").toBool());

            // A monitoring cycle asks the page for its visible markers; the server lists
            // them; the window colours them. Read the colours back from the page.
            const rcsim::Scenario sc = sim->scenario();
            const TLcStatusColors colours = w.Legend().Status;
            QString lastMismatch;
            auto coloursMatch = [&]() {
                const QString shown =
                    Js(w, "LCLayer.getLayers().map(function (m) { return m.options.lcId + '=' + m.options.color"
                          " + (m.blinking() ? '*' : ''); }).join(',')")
                        .toString();
                if (shown.isEmpty())
                    return false;
                for (const QString &item : shown.split(QLatin1Char(','))) {
                    const int n = item.section(QLatin1Char('='), 0, 0).toInt();
                    const PSTT_LC_INFO info = w.LcInfoSet().GetLcInfo(n);
                    if (!info)
                        return false;
                    const int source = info->virtualLC_No >= 1 ? info->virtualLC_No : n;
                    const rcsim::ScLcView v = sc.view(source, kScenarioTime);
                    QString expected = QString::number(n) + "=#" + TColorToHex(LcStatusColor(colours, v.state, info->oprMode));
                    if (info->flash == 1)
                        expected += QLatin1Char('*');
                    if (item != expected) {
                        lastMismatch = item + " expected " + expected;
                        return false;
                    }
                }
                return true;
            };
            QVERIFY2(MainTest::WaitFor(coloursMatch, 30000), qPrintable(lastMismatch));
            // The page shows more than one state and at least one flashing marker.
            const QString shown = Js(w, "LCLayer.getLayers().map(function (m) { return m.options.color; }).join(',')").toString();
            QVERIFY(QSet<QString>(ToSet(shown)).size() >= 3);
            QVERIFY(Js(w, "LCLayer.getLayers().some(function (m) { return m.blinking(); })").toBool());
            QVERIFY(Js(w, "LCLayer.getLayers().length").toInt() >= 20);

            // A typed native call and a console message reach the window's handlers.
            ctl->ExecuteJavaScript("window.zoomEnd('17'); window.mouseMove(37.5, 127.25); console.log('SelectedLC:LC7');");
            QVERIFY(MainTest::WaitFor([&] { return w.Scale() == 17 && w.SelectedTCDV() == 7; }, 20000));
            QCOMPARE(w.CurrentPos().Lat, QStringLiteral("37.5"));
            QCOMPARE(w.CurrentPos().Lng, QStringLiteral("127.25"));
            // ... and the window answers with the selection marker on the intersection.
            QVERIFY(MainTest::WaitFor([&] { return Js(w, "selMarker.getLatLng().equals(LC7.getLatLng())").toBool(); },
                                      20000));

            // The detector counters show the city's numbers.
            const int oper = MainTest::Scalar(db, "SELECT COALESCE(SUM(TFDT_REGFLAG), 0) FROM SCS_M_TFDTOPERATE");
            const int unused = MainTest::Scalar(db, "SELECT COUNT(*) FROM SCS_M_TFDTOPERATE WHERE TFDT_REGFLAG = 0");
            QVERIFY(oper > 0);
            QVERIFY(MainTest::WaitFor([&] { return w.LegendPanel()->lblTfdtOperCnt->text() == QString::number(oper); },
                                      20000));
            QCOMPARE(w.LegendPanel()->lblTfdtUnusedCnt->text(), QString::number(unused));

            // Without a tile server no tile loaded, every layer is there, no script failed.
            QCOMPARE(Js(w, "document.querySelectorAll('.leaflet-tile-loaded').length").toInt(), 0);
            QVERIFY(Js(w, "map.hasLayer(nodeLayer) && map.hasLayer(linkLayer) && map.hasLayer(tfdtLayer)"
                          " && map.hasLayer(MvmtLayer) && map.hasLayer(LCLayer)")
                        .toBool());
            QVERIFY2(pageErrors.filter("Uncaught").isEmpty(), qPrintable(pageErrors.join('\n')));

            // Shutdown: "AppClose" reaches the server, which ends.
            QVERIFY(server->state() == QProcess::Running);
            boxes->enqueue(mrYes);
            QVERIFY(w.close());
            QCOMPARE(sent, QStringList({"AppClose"}));
            QVERIFY(server->waitForFinished(15000));
            QCOMPARE(server->exitStatus(), QProcess::NormalExit);
            QCOMPARE(server->exitCode(), 0);
        }
    }
};

int main(int argc, char *argv[])
{
    InitMapViewRuntime();
    QApplication app(argc, argv);
    TstMapLive t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_map_live.moc"
