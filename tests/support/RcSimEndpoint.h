#pragma once
// The centre-server simulator of a test program: started in-process in the byte
// order of its options, with the console's control exchanges pointed at its
// control port over the loopback address (short time-outs, a short closing
// pause). Header only: the programs that include it link rcsimlib and centrelink.
#include <QString>
#include <QThread>

#include <functional>
#include <memory>

#include "RcSim.h"
#include "centrelink/ExchangeLogUnit.h"
#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"

namespace TestRcSim {

// Fills endpoint for a simulator's control port.
inline void PointAt(TRcEndpoint &endpoint, const rcsim::RcSim &sim, int readTimeout = 600)
{
    endpoint.host = QStringLiteral("127.0.0.1");
    endpoint.port = sim.ctrlPort();
    endpoint.connectTimeout = 1500;
    endpoint.readTimeout = readTimeout;
    endpoint.closePause = 5;
}

// Starts a simulator, sets the console's server byte order to the simulator's and
// makes endpoint (which must outlive the override) the control endpoint. Null with
// *error set when the simulator does not start.
inline std::unique_ptr<rcsim::RcSim> Start(TRcEndpoint &endpoint, int readTimeout = 600,
                                           const rcsim::Options &options = rcsim::Options(),
                                           QString *error = nullptr)
{
    auto sim = std::make_unique<rcsim::RcSim>(options);
    if (!sim->start(error))
        return nullptr;
    SetServerBigEndian(options.bigEndian);
    PointAt(endpoint, *sim, readTimeout);
    SetCtrlEndpointOverride(&endpoint);
    return sim;
}

// Ends what Start began: the override is removed and the simulator stopped.
inline void Stop(std::unique_ptr<rcsim::RcSim> &sim)
{
    SetCtrlEndpointOverride(nullptr);
    SetServerBigEndian(false);
    if (sim)
        sim->stop();
    sim.reset();
}

// While it lives, the console's exchange thread stops at the `occurrence`-th log
// line (1 for the first) that contains `marker` until the simulator has cut one more
// connection, so that the cut always comes before the thread's next write. A cut
// before a request (ResetBeforeRequest) is held until that line: the cut of a
// connection's first request then comes only after the console has seen its
// connection made, never while it is still connecting.
class TCutBeforeNextWrite
{
public:
    TCutBeforeNextWrite(rcsim::RcSim *sim, const QString &marker, int occurrence = 1) : FSim(sim)
    {
        const int resets = sim->connectionsReset();
        auto seen = std::make_shared<int>(0);
        sim->holdCuts(true);
        SetExchangeLogObserver([sim, marker, occurrence, resets, seen](const QString &line) {
            if (line.contains(marker) && ++*seen == occurrence) {
                sim->holdCuts(false);
                sim->waitForResets(resets + 1, 5000);
                QThread::msleep(30); // the reset reaches the console's socket
            }
        });
    }
    ~TCutBeforeNextWrite()
    {
        SetExchangeLogObserver({});
        FSim->holdCuts(false);
    }
    TCutBeforeNextWrite(const TCutBeforeNextWrite &) = delete;
    TCutBeforeNextWrite &operator=(const TCutBeforeNextWrite &) = delete;

private:
    rcsim::RcSim *FSim;
};

} // namespace TestRcSim
