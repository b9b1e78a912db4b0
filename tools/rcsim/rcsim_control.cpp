#include "rcsim_control.h"

#include "RcSim.h"

namespace rcsim {

namespace {

// The mode byte of the request back.
Reply echoMode(const Request &r)
{
    Reply reply = RcSim::genericReply(r);
    reply.data = QByteArray(1, r.data.isEmpty() ? char(0) : r.data.at(0));
    reply.statusIndex = -1;
    return reply;
}

Reply firmwareUpgrade(const Request &r)
{
    Reply reply = RcSim::genericReply(r);
    reply.data.clear();
    reply.data.append(r.data.isEmpty() ? char(1) : r.data.at(0));
    reply.data.append(char(0x57));
    reply.data.append(char(0)); // "No error"
    reply.statusIndex = -1;
    return reply;
}

} // namespace

void installControlReplies(RcSim &sim)
{
    sim.setHandler(0xE6, echoMode);
    sim.setHandler(0xE8, echoMode);
    sim.setHandler(0xEA, echoMode);
    sim.setHandler(0x56, firmwareUpgrade);
}

} // namespace rcsim
