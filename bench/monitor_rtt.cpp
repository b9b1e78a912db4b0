// One monitor request and its 124,800-byte reply against the centre-server simulator
// over loopback, on one connection kept open as the monitoring cycle keeps it.
// Prints the round-trip time (median, mean, 95th percentile, worst).
//
//   bench-monitor_rtt [requests] [--big-endian]
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"
#include "RcSim.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int requests = 500;
    bool bigEndian = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--big-endian") == 0)
            bigEndian = true;
        else
            requests = qMax(1, atoi(argv[i]));
    }

    rcsim::Options o;
    o.bigEndian = bigEndian;
    rcsim::RcSim sim(o);
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "rcsim: %s\n", qPrintable(error));
        return 1;
    }
    SetServerBigEndian(bigEndian);

    TRcEndpoint ep;
    ep.port = sim.mntrPort();
    TRcClient client;
    if (!client.Connect(ep)) {
        std::fprintf(stderr, "cannot connect\n");
        return 1;
    }
    auto packet = std::make_unique<THostPacket>();
    std::vector<double> ms;
    ms.reserve(size_t(requests));
    QElapsedTimer t;
    for (int i = 0; i < requests + 5; ++i) {
        t.start();
        packet->Reset();
        packet->SetHead(opMonitor, ktServer, 0);
        if (!client.Send(packet->WireBytes(), RC_HEAD_SIZE) || client.ReceivePacket(*packet) != rrOk
            || packet->Head.command != opMonitorReply || packet->DataSize != RC_STATE_IMAGE_SIZE) {
            std::fprintf(stderr, "exchange %d failed\n", i);
            return 1;
        }
        if (i >= 5) // warm-up
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    THostSimplePacket closing;
    client.Close(closing);

    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("monitor request and reply over loopback (%s), %d requests, %d bytes each\n",
                bigEndian ? "big-endian" : "little-endian", requests, RC_HEAD_SIZE + RC_STATE_IMAGE_SIZE);
    std::printf("median %.3f ms, mean %.3f ms, 95th percentile %.3f ms, worst %.3f ms\n", ms[ms.size() / 2],
                sum / double(ms.size()), ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.95))], ms.back());
    std::printf("share of the 1 s monitoring period (median): %.3f %%\n", ms[ms.size() / 2] / 10.0);
    return 0;
}
