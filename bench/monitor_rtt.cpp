// One monitor request and its 124,800-byte reply against the centre-server simulator
// over loopback, on one connection kept open as the monitoring cycle keeps it, with
// the simulator serving a city of 1,024 intersections. Beside it, in the same run, the
// limit: a plain loopback round trip of the same bytes (32 out, 124,800 back) between
// two sockets of this program. Prints both (median, mean, 95th percentile, worst)
// and their ratio.
//
//   bench-monitor_rtt [requests] [--big-endian]
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "BenchCity.h"
#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"
#include "RcScenario.h"
#include "RcSim.h"

namespace {

QString fullCity()
{
    return BenchCity::Scenario(true, QStringLiteral("event 5-60 from=0 to=300 state=flash flash=1\n"
                                                    "event 100-140 from=0 to=300 state=commfail\n"));
}

struct Figures
{
    double median = 0, mean = 0, p95 = 0, worst = 0;
};

Figures figuresOf(std::vector<double> ms)
{
    Figures f;
    if (ms.empty())
        return f;
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    f.median = ms[ms.size() / 2];
    f.mean = sum / double(ms.size());
    f.p95 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.95))];
    f.worst = ms.back();
    return f;
}

bool readAll(int fd, char *buffer, size_t n)
{
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::recv(fd, buffer + got, n - got, MSG_WAITALL);
        if (r <= 0)
            return false;
        got += size_t(r);
    }
    return true;
}

bool writeAll(int fd, const char *data, size_t n)
{
    size_t sent = 0;
    while (sent < n) {
        const ssize_t r = ::send(fd, data + sent, n - sent, MSG_NOSIGNAL);
        if (r <= 0)
            return false;
        sent += size_t(r);
    }
    return true;
}

// The limit: 32 bytes out, 124,800 back, over a loopback TCP connection between two
// plain sockets of this program (the answering one on a thread of its own).
std::vector<double> plainRoundTrips(int requests)
{
    std::vector<double> ms;
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) != 0
        || ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        if (listener >= 0)
            ::close(listener);
        return ms;
    }
    const size_t replySize = size_t(RC_HEAD_SIZE + RC_STATE_IMAGE_SIZE);
    std::thread server([listener, replySize] {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0)
            return;
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
        std::vector<char> reply(replySize, char(0x11));
        char request[RC_HEAD_SIZE];
        while (readAll(fd, request, sizeof(request)) && writeAll(fd, reply.data(), reply.size())) {
        }
        ::close(fd);
    });
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) == 0) {
        std::vector<char> reply(replySize);
        char request[RC_HEAD_SIZE] = {};
        ms.reserve(size_t(requests));
        QElapsedTimer t;
        for (int i = 0; i < requests + 5; ++i) {
            t.start();
            if (!writeAll(fd, request, sizeof(request)) || !readAll(fd, reply.data(), reply.size()))
                break;
            if (i >= 5) // warm-up
                ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    server.join();
    ::close(listener);
    return ms;
}

} // namespace

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
    rcsim::Scenario sc;
    if (!rcsim::Scenario::parse(fullCity(), &sc, &error)) {
        std::fprintf(stderr, "scenario: %s\n", qPrintable(error));
        return 1;
    }
    sim.setScenario(sc);
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

    const Figures ex = figuresOf(ms);
    const Figures plain = figuresOf(plainRoundTrips(requests));
    std::printf("monitor request and reply over loopback (%s), 1,024 intersections, %d requests, %d bytes each\n",
                bigEndian ? "big-endian" : "little-endian", requests, RC_HEAD_SIZE + RC_STATE_IMAGE_SIZE);
    std::printf("  console and simulator:  median %7.3f ms  mean %7.3f ms  95th %7.3f ms  worst %7.3f ms\n",
                ex.median, ex.mean, ex.p95, ex.worst);
    std::printf("  plain sockets (limit):  median %7.3f ms  mean %7.3f ms  95th %7.3f ms  worst %7.3f ms\n",
                plain.median, plain.mean, plain.p95, plain.worst);
    std::printf("  ratio exchange / plain round trip (median): %6.2f   (goal: 3 or less)\n",
                ex.median / qMax(1e-6, plain.median));
    std::printf("  ratio exchange / plain round trip (95th):   %6.2f\n", ex.p95 / qMax(1e-6, plain.p95));
    std::printf("  share of the 1 s monitoring period (median): %.3f %%\n", ex.median / 10.0);
    return 0;
}
