// One monitoring refresh of ten open intersection monitors (the windows with their
// labels and grids; each page takes its script without a browser): the state image
// is decoded into the live set and every monitor refreshes from it, as the main
// window's cycle does. Prints the time per refresh beside the monitoring period the
// refresh has to fit in, as a ratio.
//   bench-lcmonitor_refresh [refreshes]
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>
#include <memory>

#include "centrelink/RC2MMIUnit.h"
#include "control/untTCDV_M.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "QuietMapPage.h"

namespace {

// A page that only counts what it is given.
class TCountingPage : public TQuietMapPage
{
public:
    qint64 Scripts = 0, Bytes = 0;
    void ExecuteJavaScript(const QString &s) override
    {
        ++Scripts;
        Bytes += s.size();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ScriptedMsgDlg boxes;
    const int refreshes = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    constexpr int kMonitors = 10;
    constexpr double kPeriodMs = 1000.0; // the default monitoring period

    TLC_INFO_SET set;
    for (int n = 1; n <= kMonitors; ++n) {
        auto info = std::make_shared<TSTT_LC_INFO>();
        info->tcdv_id = n;
        info->lc_type = n % 3 == 0 ? 1 : 2;
        info->is_use = true;
        info->cx = QString::number(37.50 + n * 0.001, 'f', 6);
        info->cy = QString::number(127.00 + n * 0.001, 'f', 6);
        for (int p = 0; p < 4; ++p)
            for (int ring = 0; ring < 2; ++ring) {
                TMovement &m = info->Movements[0][p][ring];
                m.mvmt_no = p * 2 + ring + 1;
                m.head_lat = QStringLiteral("37.5001");
                m.head_lng = QStringLiteral("127.0001");
                m.mid_lat = QStringLiteral("37.5002");
                m.mid_lng = QStringLiteral("127.0002");
                m.end_lat = QStringLiteral("37.5003");
                m.end_lng = QStringLiteral("127.0003");
                m.label_lat = QStringLiteral("37.5004");
                m.label_lng = QStringLiteral("127.0004");
                m.head_angle = QStringLiteral("90");
                m.end_angle = QStringLiteral("180");
            }
        set.SetLcInfo(n, info);
    }

    QList<std::shared_ptr<TCountingPage>> pages;
    QList<TfrmTCDV_M *> monitors;
    TLcMonitorHost host;
    host.LcInfoSet = &set;
    host.MakePage = [&pages](QWidget *, QWidget *) {
        auto p = std::make_shared<TCountingPage>();
        pages << p;
        return std::static_pointer_cast<IMapBridge>(p);
    };
    for (int n = 1; n <= kMonitors; ++n) {
        auto *m = NewLcMonitor(nullptr, set.GetLcInfo(n), host);
        m->show();
        monitors << m;
    }
    QCoreApplication::processEvents();

    auto image = std::make_shared<TST_VESK_STATE>();
    auto run = [&](bool phasesMove) {
        double total = 0;
        for (int r = 0; r < refreshes; ++r) {
            std::memset(image.get(), 0, sizeof(TST_VESK_STATE));
            for (int n = 1; n <= kMonitors; ++n) {
                TST_ITST_STATE &rec = image->lc_state[n - 1];
                rec.defined = 1;
                rec.status = 1;
                const int phase = phasesMove ? r % 4 : 0;
                rec.lcst[0] = 0x14;
                rec.lcst[1] = quint8(phase << 5);
                rec.lcst[2] = quint8(phase << 5);
                rec.lcst[10] = quint8(r % 120);
                rec.lcst[23] = 0xE4;
                for (int k = 0; k < 16; ++k)
                    rec.split[k] = rec.lcSplit[k] = rec.planSplit[k] = 30;
            }
            QElapsedTimer t;
            t.start();
            set.DecodeImage(*image);
            TMonitorRefresh refresh;
            refresh.Image = image;
            refresh.LcInfoSet = &set;
            refresh.PacketDateTime = QDateTime::currentDateTime();
            refresh.Monitored = true;
            for (TfrmTCDV_M *m : monitors)
                m->RefreshFromImage(refresh);
            QCoreApplication::processEvents(); // the repaints of the refresh
            total += t.nsecsElapsed() / 1e6;
        }
        return total / refreshes;
    };
    run(false); // warm-up
    const double steady = run(false);
    const double moving = run(true);
    qint64 scripts = 0, bytes = 0;
    for (const auto &p : pages) {
        scripts += p->Scripts;
        bytes += p->Bytes;
    }
    std::printf("intersection monitors: one refresh of %d monitors, %d refreshes each\n", kMonitors, refreshes);
    std::printf("  steady phases:   %.2f ms per refresh, limit %.0f ms (monitoring period), ratio %.4f\n", steady,
                kPeriodMs, steady / kPeriodMs);
    std::printf("  phases changing: %.2f ms per refresh, limit %.0f ms (monitoring period), ratio %.4f\n", moving,
                kPeriodMs, moving / kPeriodMs);
    std::printf("  page scripts: %lld (%lld characters)\n", static_cast<long long>(scripts),
                static_cast<long long>(bytes));
    for (TfrmTCDV_M *m : monitors)
        delete m;
    return 0;
}
