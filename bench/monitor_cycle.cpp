// One whole monitoring cycle of the main window for 1,024 intersections: the request
// and the 124,800-byte reply from the centre-server simulator, the decode into the
// cycle's own copy, and every refresh with the main window visible (counters, group
// grid, the marker request and the page's drawLC answer for all 1,024 markers with
// their arrows, and the live views). Prints the times and their share of the
// monitoring period (1 s) beside the goals (2 % on average, 4 % at worst), and the
// resident size of the process at the start and the end of the run.
//
//   bench-monitor_cycle [cycles] [--memory N]
//     --memory N: afterwards N more cycles (10,000 for the long run), printing the
//                 resident size every tenth of them and at the end.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "BenchCity.h"
#include "BenchMainWindow.h"
#include "mainwindow/MapBridgeUnit.h"
#include "core/Quorval.h"
#include "RcSim.h"
#include "core/untDM.h"
#include "mainwindow/untLegend.h"
#include "mainwindow/untMain.h"

namespace {

constexpr int kLcs = 1024;

QString scenarioText()
{
    return BenchCity::Scenario(true, QStringLiteral("event 5-60 from=0 to=300 state=flash flash=1\n"
                                                    "event 100-140 from=0 to=300 state=commfail\n"
                                                    "event 300-320 from=0 to=300 state=manual police=1\n"
                                                    "event 500-520 from=0 to=300 state=phasehold\n"));
}

// A live view that does nothing: the windows of other parts that register later.
struct NullView : IMonitorView
{
    int calls = 0;
    void RefreshFromImage(const TMonitorRefresh &r) override
    {
        // Touch what every view reads.
        calls += r.Image && r.LcInfoSet ? 1 : 0;
    }
};

void fillSet(TfrmMain &w)
{
    for (int n = 1; n <= kLcs; ++n) {
        auto r = BenchCity::Controller(n);
        const double lat = 37.40 + (n % 32) * 0.005, lng = 127.00 + (n / 32) * 0.005;
        r->cx = QString::number(lat, 'f', 7);
        r->cy = QString::number(lng, 'f', 7);
        for (int plan = 0; plan < MVMT_PLAN_CLASSES; ++plan)
            for (int phase = 0; phase < MVMT_PHASES; ++phase)
                for (int ring = 0; ring < MVMT_RINGS; ++ring) {
                    TMovement &m = r->Movements[plan][phase][ring];
                    m.mvmt_no = phase * 2 + ring + 1;
                    m.head_lat = QString::number(lat + 0.0002, 'f', 7);
                    m.head_lng = QString::number(lng + 0.0001, 'f', 7);
                    m.mid_lat = QString::number(lat, 'f', 7);
                    m.mid_lng = QString::number(lng, 'f', 7);
                    m.end_lat = QString::number(lat - 0.0002, 'f', 7);
                    m.end_lng = QString::number(lng - 0.0001, 'f', 7);
                    m.label_lat = m.head_lat;
                    m.label_lng = m.head_lng;
                    m.head_angle = QStringLiteral("90");
                    m.end_angle = QStringLiteral("270");
                }
        w.LcInfoSet().SetLcInfo(n, r);
    }
    QMap<int, QString> names;
    for (int g = 1; g <= 200; ++g)
        names.insert(g, QStringLiteral("그룹 %1").arg(g));
    w.SetSaNames(names);
}

// Resident size of this process in kB (VmRSS), 0 when unknown.
long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int cycles = 30;
    int memoryCycles = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--memory") == 0 && i + 1 < argc)
            memoryCycles = qMax(1, atoi(argv[++i]));
        else
            cycles = qMax(1, atoi(argv[i]));
    }

    rcsim::RcSim sim;
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    rcsim::Scenario sc;
    if (!rcsim::Scenario::parse(scenarioText(), &sc, &error)) {
        std::fprintf(stderr, "scenario: %s\n", qPrintable(error));
        return 1;
    }
    sim.setScenario(sc);
    sim.freezeClock(120);
    sim.setCaptureLimit(16); // the simulator shares the process: it keeps no growing record

    QTemporaryDir dir;
    ScriptedMsgDlg boxes; // no database here: its errors are answered silently
    TDM dm(dir.path(), QStringLiteral("signal-console"));
    DM = &dm;
    dm.G_HOST = QStringLiteral("127.0.0.1");
    dm.G_RC_MNTR_PORT = sim.mntrPort();
    dm.G_READ_TIMEOUT = 2000;
    dm.G_APP_USER.ID = QStringLiteral("bench");
    dm.G_APP_USER.Role = 1;
    dm.G_MAP_MAX_ZOOM = 19;
    dm.G_MVMT_MAXZOOM_OFFSET = 4;

    TBenchMainWindow main;
    TfrmMain &w = main.Window;
    TRecordingMapBridge &bridge = main.Bridge;
    w.SetAreaBrowserOpen(true);
    w.SetMntrPanelOpen(true);
    fillSet(w);
    w.BrowserMessageReceived(QStringLiteral("zoomEnd"), {19}); // arrows drawn
    NullView views[mvkCount];
    for (int k = 0; k < mvkCount; ++k)
        w.Hub()->RegisterMonitorView(TMonitorViewKind(k), &views[k]);

    QStringList all;
    for (int n = 1; n <= kLcs; ++n)
        all << QString::number(n);
    const QString drawList = all.join(QLatin1Char(','));

    QList<double> whole, exchange, refresh, markers;
    qint64 scriptBytes = 0;
    QElapsedTimer t;
    double exchangeMs = 0;
    QObject::connect(w.Hub()->Thread(), &TMonitorThread::cycleFinished, &w,
                     [&](std::shared_ptr<TMonitorCycleResult> r) { exchangeMs = r ? r->WorkerNs / 1e6 : 0; });
    long rssStart = 0;
    for (int i = 0; i < cycles + 1; ++i) {
        QEventLoop loop;
        QObject::connect(w.Hub(), &TMonitorHub::idle, &loop, &QEventLoop::quit);
        t.start();
        w.Hub()->StartCycle();
        if (w.Hub()->IsBusy())
            loop.exec();
        const double afterRefresh = t.nsecsElapsed() / 1e6;
        const qint64 before = bridge.ScriptBytes();
        w.BrowserMessageReceived(QStringLiteral("drawLC"), {drawList});
        const double total = t.nsecsElapsed() / 1e6;
        if (i == 0) {
            rssStart = residentKb();
            continue; // the first cycle also connects and sends every marker
        }
        scriptBytes = bridge.ScriptBytes() - before;
        whole << total;
        exchange << exchangeMs;
        refresh << afterRefresh - exchangeMs;
        markers << total - afterRefresh;
    }
    auto avg = [](const QList<double> &v) {
        double s = 0;
        for (double x : v)
            s += x;
        return v.isEmpty() ? 0.0 : s / v.size();
    };
    auto mx = [](const QList<double> &v) { return v.isEmpty() ? 0.0 : *std::max_element(v.begin(), v.end()); };
    std::printf("monitoring cycle, %d intersections, %d cycles (main window visible, 1 s period)\n", kLcs,
                int(whole.size()));
    std::printf("  exchange + decode + count (worker):    avg %8.2f ms  max %8.2f ms\n", avg(exchange), mx(exchange));
    std::printf("  hand-over, counters, grid, views (UI): avg %8.2f ms  max %8.2f ms\n", avg(refresh), mx(refresh));
    std::printf("  marker colours and arrows (drawLC):    avg %8.2f ms  max %8.2f ms  (%lld bytes of script)\n",
                avg(markers), mx(markers), static_cast<long long>(scriptBytes));
    std::printf("  whole cycle:                           avg %8.2f ms  max %8.2f ms\n", avg(whole), mx(whole));
    std::printf("  share of the 1000 ms period:           avg %7.2f %%   max %7.2f %%\n", avg(whole) / 10.0,
                mx(whole) / 10.0);
    std::printf("  ratio to the goal (avg 2 %%, max 4 %%):   avg %7.2f     max %7.2f\n", avg(whole) / 20.0,
                mx(whole) / 40.0);
    std::printf("  resident size: %ld kB after the first cycle, %ld kB after %d more\n", rssStart, residentKb(),
                int(whole.size()));
    if (memoryCycles > 0) {
        // The long run: the same cycle again and again, the resident size at every tenth.
        const long memStart = residentKb();
        std::printf("memory over %d more cycles: start %ld kB\n", memoryCycles, memStart);
        std::fflush(stdout);
        for (int i = 1; i <= memoryCycles; ++i) {
            QEventLoop loop;
            QObject::connect(w.Hub(), &TMonitorHub::idle, &loop, &QEventLoop::quit);
            w.Hub()->StartCycle();
            if (w.Hub()->IsBusy())
                loop.exec();
            w.BrowserMessageReceived(QStringLiteral("drawLC"), {drawList});
            if (i % qMax(1, memoryCycles / 10) == 0) {
                std::printf("  after %6d cycles: %ld kB\n", i, residentKb());
                std::fflush(stdout);
            }
        }
        const long memEnd = residentKb();
        std::printf("memory: start %ld kB, end %ld kB, growth %ld kB (%.2f %%)\n", memStart, memEnd,
                    memEnd - memStart, memStart > 0 ? 100.0 * double(memEnd - memStart) / double(memStart) : 0.0);
    }
    std::printf("  decoded: %s, live %s, communication failures %s\n",
                qPrintable(w.LcInfoSet().GetLcInfo(1)->mntr_ok ? QStringLiteral("yes") : QStringLiteral("no")),
                qPrintable(w.LegendPanel()->CounterText(QStringLiteral("lblLcOprSttTotal"))),
                qPrintable(w.LegendPanel()->CounterText(QStringLiteral("lblSysSttCommErr"))));
    for (int k = 0; k < mvkCount; ++k)
        w.Hub()->UnregisterMonitorView(TMonitorViewKind(k), &views[k]);
    w.FormDestroy();
    DM = nullptr;
    return 0;
}
