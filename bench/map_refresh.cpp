// Map refresh of one monitoring cycle with 1,024 intersections on the main page:
// the colour and arrow script of the listed intersections whose drawn state changed
// is built, run in the page and applied (the page has answered). Prints the time per
// cycle with every state changing, with the states steady and with every marker
// sent, beside the script for zero changes measured in the same run.
//   bench-map_refresh [cycles]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "mainwindow/MainMapPageUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"

int main(int argc, char *argv[])
{
    InitMapViewRuntime();
    QApplication app(argc, argv);
    ScriptedMsgDlg boxes;
    const int cycles = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    constexpr int kCount = 1024;

    // 1,024 intersections on a 32 x 32 grid, each with one arrow per ring.
    TLC_INFO_SET set;
    QList<TLcMarkerSpec> markers;
    for (int n = 1; n <= kCount; ++n) {
        auto info = std::make_shared<TSTT_LC_INFO>();
        const double lat = 37.50 + ((n - 1) / 32) * 0.001;
        const double lng = 127.00 + ((n - 1) % 32) * 0.001;
        info->tcdv_id = n;
        info->ints_name = QStringLiteral("교차로 %1").arg(n);
        info->cx = QString::number(lat, 'f', 6);
        info->cy = QString::number(lng, 'f', 6);
        info->is_use = true;
        info->lc_type = 2;
        for (int ring = 0; ring < 2; ++ring) {
            TMovement &m = info->Movements[0][0][ring];
            m.mvmt_no = ring + 2;
            m.head_lat = QString::number(lat + 0.0002, 'f', 6);
            m.head_lng = QString::number(lng + (ring ? 0.0002 : -0.0002), 'f', 6);
            m.mid_lat = QString::number(lat + 0.0001, 'f', 6);
            m.mid_lng = QString::number(lng, 'f', 6);
            m.end_lat = QString::number(lat, 'f', 6);
            m.end_lng = QString::number(lng, 'f', 6);
            m.label_lat = QString::number(lat + 0.00015, 'f', 6);
            m.label_lng = QString::number(lng + 0.0001, 'f', 6);
            m.head_angle = QStringLiteral("0");
            m.end_angle = QStringLiteral("0");
        }
        set.SetLcInfo(n, info);
        TLcMarkerSpec s;
        s.LcNo = n;
        s.Lat = info->cx;
        s.Lng = info->cy;
        s.Name = info->ints_name;
        markers << s;
    }

    TMainMapPageConfig config;
    config.Lat = QStringLiteral("37.516");
    config.Lng = QStringLiteral("127.016");
    config.Zoom = QStringLiteral("16");
    config.TileUrl = QStringLiteral("../tiles/{z}/{x}/{y}.png");
    config.Bounds.FSouth = QStringLiteral("37.4");
    config.Bounds.FWest = QStringLiteral("126.9");
    config.Bounds.FNorth = QStringLiteral("37.6");
    config.Bounds.FEast = QStringLiteral("127.1");
    const TMapLegend legend = TMapLegend::Defaults();

    QWidget window;
    window.resize(1280, 800);
    auto *panel = new QWidget(&window);
    panel->setGeometry(0, 0, 1280, 800);
    const QUrl url = QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("html/main.html")));
    TMapViewController *ctl = nullptr;
    QElapsedTimer initTimer;
    ctl = new TMapViewController(&window, panel, url, [&] {
        const TInitMapPageScript s = MainMapPage::InitMapPage(config, legend, markers, {}, nullptr);
        ctl->ExecuteJavaScript(s.Script);
    });
    window.show();
    initTimer.start();
    ctl->Load(url);
    QElapsedTimer wait;
    wait.start();
    while (ctl->IsLoading() && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (ctl->IsLoading()) {
        std::fprintf(stderr, "map page did not load (html/main.html beside the program?)\n");
        return 1;
    }
    const qint64 initMs = initTimer.elapsed();
    // Every marker visible, as after getAxLCLayer at a high zoom.
    ctl->EvaluateJavaScript(QStringLiteral("for (var o in lcObj) { LCLayer.addLayer(lcObj[o]); } 0"), 60000);

    QStringList all;
    for (int n = 1; n <= kCount; ++n)
        all << QString::number(n);
    const QString drawLc = all.join(QLatin1Char(','));
    auto *rng = QRandomGenerator::global();
    MainMapPage::TLcMarkerRecord record;
    double scriptMs = 0; // time the page spent in the scripts themselves
    // One measured cycle as the main window runs it for the page's drawLC answer: the
    // script of the changed intersections is built, run and applied (the page has
    // answered). Nothing runs when nothing changed.
    auto cycle = [&](double *build, double *total, qint64 *chars) {
        QElapsedTimer t;
        t.start();
        const QString script = record.DrawLCScript(drawLc, set, legend, 18, 19, 4);
        *build += t.nsecsElapsed() / 1e6;
        *chars += script.size();
        if (!script.isEmpty())
            scriptMs += ctl->EvaluateJavaScript(QStringLiteral("(function () { var t0 = performance.now();")
                                                     + script + QStringLiteral("; return performance.now() - t0; })()"),
                                                 60000)
                            .toDouble();
        *total += t.nsecsElapsed() / 1e6;
    };
    // a) every state image changes every intersection's state (worst case);
    double changingBuild = 0, changingTotal = 0;
    double firstCycle = 0; // the first one also draws every arrow for the first time
    qint64 changingChars = 0;
    for (int c = 0; c < cycles; ++c) {
        for (int n = 1; n <= kCount; ++n) {
            PSTT_LC_INFO info = set.GetLcInfo(n);
            // Another state every time, so that every marker changes.
            info->opr_stat = (info->opr_stat + 1 + int(rng->bounded(12))) % 13;
            info->oprMode = int(rng->bounded(6));
            info->flash = rng->bounded(10) == 0 ? 1 : 0;
            info->phaseA = 0;
            info->phaseB = 0;
        }
        const double before = changingTotal;
        cycle(&changingBuild, &changingTotal, &changingChars);
        if (c == 0)
            firstCycle = changingTotal - before;
    }
    const double changingScript = scriptMs / cycles;
    // b) steady operation: the states stay as they are (the common cycle).
    for (int n = 1; n <= kCount; ++n) {
        PSTT_LC_INFO info = set.GetLcInfo(n);
        info->opr_stat = 1;
        info->oprMode = 4;
        info->flash = 0;
    }
    double warm = 0, warmTotal = 0;
    qint64 warmChars = 0;
    cycle(&warm, &warmTotal, &warmChars);
    double steadyBuild = 0, steadyTotal = 0;
    qint64 steadyChars = 0;
    for (int c = 0; c < cycles; ++c)
        cycle(&steadyBuild, &steadyTotal, &steadyChars);
    // c) the limit's unit: the script for zero changes, one empty call run in the page.
    double emptyTotal = 0;
    for (int c = 0; c < cycles; ++c) {
        QElapsedTimer t;
        t.start();
        ctl->EvaluateJavaScript(QStringLiteral(" applyLcStates([]); 0"), 60000);
        emptyTotal += t.nsecsElapsed() / 1e6;
    }
    // d) every marker sent whatever it shows (the page just loaded).
    double fullBuild = 0, fullTotal = 0;
    qint64 fullChars = 0;
    for (int c = 0; c < cycles; ++c) {
        record.Clear();
        cycle(&fullBuild, &fullTotal, &fullChars);
    }

    const double changing = changingTotal / cycles, empty = emptyTotal / cycles;
    std::printf("map refresh, %d intersections with two arrows each on the page, %d cycles\n", kCount, cycles);
    std::printf("  page initialisation (load + InitMapPage):   %lld ms\n", static_cast<long long>(initMs));
    std::printf("  states changing:  build %.2f ms, build + run + applied %.2f ms per cycle (%lld characters)"
                "   (goal: under 150 ms)\n",
                changingBuild / cycles, changing, static_cast<long long>(changingChars / cycles));
    std::printf("    of which the page's script itself: %.2f ms per cycle\n", changingScript);
    if (cycles > 1)
        std::printf("    first cycle (draws every arrow for the first time) %.2f ms, the others %.2f ms per cycle\n",
                    firstCycle, (changingTotal - firstCycle) / (cycles - 1));
    std::printf("  states steady:    build %.2f ms, build + run + applied %.2f ms per cycle (%lld characters)\n",
                steadyBuild / cycles, steadyTotal / cycles, static_cast<long long>(steadyChars / cycles));
    std::printf("  every marker sent (page loaded): build %.2f ms, build + run + applied %.2f ms (%lld characters)\n",
                fullBuild / cycles, fullTotal / cycles, static_cast<long long>(fullChars / cycles));
    std::printf("  script for zero changes (one empty call run in the page): %.2f ms per cycle\n", empty);
    std::printf("  ratio states changing / zero changes: %.1f\n", changing / qMax(1e-3, empty));
    std::printf("  ratio states steady / zero changes:   %.2f\n", (steadyTotal / cycles) / qMax(1e-3, empty));
    std::printf("  ratio states changing / 150 ms goal:  %.2f\n", changing / 150.0);
    return 0;
}
