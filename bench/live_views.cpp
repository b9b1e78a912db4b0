// One refresh of the live views of many intersections after a state image of 1,024
// intersections: the whole-system monitor (1,024 tiles, painted), the group monitor
// (64 members), the real-time state list (1,024 rows) and the current-event window
// (the comparison and its rows), then the main window's whole refresh with all four
// registered. Each figure is printed beside the monitoring period (1 s) of the same
// run as a share of it.
//
//   bench-live_views [refreshes]
#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

#include "BenchCity.h"
#include "BenchMainWindow.h"
#include "control/ControlWindows.h"
#include "control/untCURR_EV.h"
#include "control/untSA_M.h"
#include "control/untSYS_M.h"
#include "control/untTCDV_M_State.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/untMain.h"

namespace {

constexpr int kLcs = 1024;
constexpr double kPeriodMs = 1000.0;

// Image k: every intersection defined in centre mode; odd images flash 60 and cut the
// communication of 40, so that every second image brings about 200 events.
std::unique_ptr<TST_VESK_STATE> image(int k)
{
    auto img = std::make_unique<TST_VESK_STATE>();
    std::memset(img.get(), 0, sizeof(TST_VESK_STATE));
    for (int g = 0; g < 16; ++g)
        img->grp_state[g][0] = 1;
    for (int n = 0; n < kLcs; ++n) {
        TST_ITST_STATE &r = img->lc_state[n];
        r.defined = 1;
        r.status = 1;
        r.lcst[0] = 5;
        r.lcst[4] = 0x02;
    }
    if (k % 2) {
        for (int n = 4; n < 64; ++n) {
            img->lc_state[n].status = 5;
            img->lc_state[n].lcst[3] = 0x02;
            img->lc_state[n].lcst[4] = 0x42;
        }
        for (int n = 99; n < 139; ++n)
            img->lc_state[n].status = 0;
    }
    return img;
}

double ms(QElapsedTimer &t) { return t.nsecsElapsed() / 1e6; }

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(2, atoi(argv[1])) : 20;

    QTemporaryDir dir;
    ScriptedMsgDlg boxes;
    TDM dm(dir.path(), QStringLiteral("signal-console"));
    dm.LoadConfig();
    dm.UpdateStrings();
    DM = nullptr; // the views load nothing from a database here

    TBenchMainWindow main;
    TfrmMain &w = main.Window;
    QMap<int, QString> names;
    for (int n = 1; n <= kLcs; ++n) {
        auto r = BenchCity::Controller(n);
        w.LcInfoSet().SetLcInfo(n, r);
    }
    for (int g = 1; g <= 16; ++g)
        names.insert(g, QStringLiteral("그룹 %1").arg(g));
    w.SetSaNames(names);
    DM = &dm;

    auto *sys = new TfrmSYS_M(&w, &w, &w.LcInfoSet(), w.Legend().Status);
    QList<int> all;
    for (int n = 1; n <= kLcs; ++n)
        all << n;
    sys->FillGrid(all);
    sys->resize(1400, 900);
    sys->show();
    auto *group = new TfrmSA_M(&w, &w, &w.LcInfoSet());
    QList<QPair<int, QString>> members;
    for (int n = 1; n <= 64; ++n)
        members.append({n, QStringLiteral("교차로 %1").arg(n)});
    DM = nullptr;
    group->SetSA_ID(1);
    DM = &dm;
    group->FillLcList(members);
    group->show();
    auto *list = new TfrmTCDV_M_State(&w, &w, &w.LcInfoSet());
    list->show();
    auto *events = static_cast<TfrmCURR_EV *>(CreateCurrentEventWindow(&w, &w));
    events->SetSettings(CurrentEvents::TEventSettings());
    events->SetContext(names, names.keys(), all);

    QList<double> tSys, tGroup, tList, tEvents, tAll;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        auto img = image(i);
        w.LcInfoSet().DecodeImage(*img);
        w.Hub()->ReplaceImage(*img, TTimeVal());
        const TMonitorRefresh r = w.Hub()->MakeRefresh(true);
        t.start();
        sys->RefreshFromImage(r);
        sys->repaint();
        tSys << ms(t);
        t.start();
        group->RefreshFromImage(r);
        QCoreApplication::processEvents();
        tGroup << ms(t);
        t.start();
        list->RefreshFromImage(r);
        QCoreApplication::processEvents();
        tList << ms(t);
        t.start();
        events->RefreshFromImage(r);
        tEvents << ms(t);
        // The whole refresh of the main window with the four views registered.
        auto next = image(i + 1);
        w.LcInfoSet().DecodeImage(*next);
        w.Hub()->ReplaceImage(*next, TTimeVal());
        t.start();
        w.Hub()->RefreshViews(true);
        QCoreApplication::processEvents();
        tAll << ms(t);
    }
    auto avg = [](const QList<double> &v) {
        double s = 0;
        for (int i = 1; i < v.size(); ++i) // the first run also lays out
            s += v.at(i);
        return v.size() > 1 ? s / (v.size() - 1) : 0.0;
    };
    auto line = [&](const char *what, const QList<double> &v) {
        const double a = avg(v);
        std::printf("  %-46s %8.2f ms   limit %6.0f ms   ratio %.4f\n", what, a, kPeriodMs, a / kPeriodMs);
    };
    std::printf("live views after an image of %d intersections, %d refreshes (averages)\n", kLcs, runs - 1);
    line("whole-system monitor (blink and paint)", tSys);
    line("group monitor (64 members)", tGroup);
    line("state list, real time (1,024 rows)", tList);
    line("current events (comparison and rows)", tEvents);
    line("main window refresh with all four views", tAll);
    std::printf("  rows: state list %d, intersection events %d, group events %d\n", list->gtvLCList->rowCount(),
                events->gtvTCDV->rowCount(), events->gtvSA->rowCount());
    w.FormDestroy();
    DM = nullptr;
    return 0;
}
