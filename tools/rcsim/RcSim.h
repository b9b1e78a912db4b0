#pragma once
// The centre-server simulator: listens on a monitoring port and a control port
// (loopback by default) in either byte order, answers the monitor request with the
// state image of its scenario and every other request with the reply its sender
// expects (opcode + 1), records every packet it receives, and fails on command in
// each of the ways the console must survive.
//
// The server runs on a thread of its own, so that a caller may block (a console
// thread waiting for a reply, a test polling) without stopping it. Every public
// member may be called from any thread.
//
// Requests are answered from a table of handlers by opcode; a request without a
// handler of its own gets the generic reply (below). Later parts of the console
// add their requests with setHandler.
//   generic reply: opcode and command = request opcode + 1, same kind and target;
//     data = [controller type, opcode + 1, 1] when the request carries a controller
//     head (kind 1 with 2 or more data bytes), [1] for other kind 1 and kind 2
//     requests, nothing for kind 3 requests.

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "RcScenario.h"
#include "RcWire.h"

class QThread;

namespace rcsim {

enum class FailMode {
    None,
    Refuse,          // the ports stop listening: connections are refused
    CloseMidReply,   // header and half the data, then the connection is closed
    Stall,           // no reply at all (the connection stays open)
    ShortData,       // one data byte fewer than a good reply (header says so too)
    OversizedData,   // the data size is 4096 bytes beyond a good reply
    WrongOpcode,     // opcode and command (and the controller opcode) + 2 instead of + 1
    RefusalByte,     // the controller's status byte is 0
    ResetAfterReply, // a good reply, then the connection is reset
    ResetOnAccept,   // the connection is accepted and reset 100 ms later, unserved
    DripFeed,        // a good reply sent one byte at a time (dripInterval apart)
    UnrequestedFlood,// every open and new connection of the scope gets an endless
                     // stream of bytes that are no packets; nothing is answered
                     // (skip and count do not apply)
    GarbageStart,    // a reply whose header begins DE AD instead of 43 4D
    DuplicatedReply, // a good reply sent twice
    ResetBeforeRequest // the request is never read: the connection is reset as soon as
                       // the exchange before it is over (when it is accepted, for the
                       // first request of a connection), so that sending it fails
};
enum class PortScope { Both, Monitor, Control };

QString failModeName(FailMode mode);
bool failModeFromName(const QString &name, FailMode *mode);

// A failure applies to the requests (for ResetOnAccept: the connections) of its
// scope: the first `skip` pass, then `count` fail (-1: until cleared).
struct FailureRule
{
    FailMode mode = FailMode::None;
    PortScope scope = PortScope::Both;
    int skip = 0;
    int count = -1;
};

struct Request
{
    bool control = false; // arrived on the control port
    int connection = 0;
    WireHead head;
    QByteArray data;
};

struct Reply
{
    bool send = true;
    quint8 opcode = 0;
    quint8 command = 0;
    quint8 kind = 0;
    quint16 target = 0;
    QByteArray data;
    int statusIndex = -1; // the controller's status byte in data (-1 none)
    int opcodeIndex = -1; // the controller's reply opcode in data, which the wrong-opcode
                          // failure changes too (-1: only by the status-byte rule)
};
using Handler = std::function<Reply(const Request &)>;

struct CapturedPacket
{
    QDateTime at;
    bool control = false;
    int connection = 0;
    WireHead head;
    QByteArray data;
    // One line: time, port#connection, header fields, data in hex.
    QString toLine() const;
};

struct Options
{
    // 0: any free port. The same non-zero number for both: one listener, and a
    // connection whose first request is the monitor request is a monitoring one.
    quint16 mntrPort = 0;
    quint16 ctrlPort = 0;
    bool bigEndian = false;
    QString scenarioFile; // empty: the built-in scenario
    QString captureFile;  // empty: in memory only
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    double speed = 1.0;   // scenario seconds per real second
};

class RcSim
{
public:
    explicit RcSim(const Options &options = Options());
    ~RcSim();
    RcSim(const RcSim &) = delete;
    RcSim &operator=(const RcSim &) = delete;

    bool start(QString *error = nullptr);
    void stop();
    bool isRunning() const;
    quint16 mntrPort() const;
    quint16 ctrlPort() const;
    bool bigEndian() const;

    // Failures.
    void setFailure(const FailureRule &rule);
    void setFailure(FailMode mode, PortScope scope = PortScope::Both, int skip = 0, int count = -1)
    {
        setFailure(FailureRule{mode, scope, skip, count});
    }
    void clearFailure() { setFailure(FailureRule()); }
    FailureRule failure() const;
    // While held, the cuts of ResetBeforeRequest wait: the connection stays accepted
    // and nothing more of it is read or answered. Releasing makes every waiting cut
    // at once. A test holds them to choose the moment of the cut, for instance only
    // after the client has seen its connection made.
    void holdCuts(bool hold);

    // Pause between the bytes of a drip-fed reply (ms, 500 unless changed).
    void setDripInterval(int ms);
    // Bytes written by the unrequested flood so far (all connections).
    qint64 floodedBytes() const;

    // Replies.
    void setHandler(quint8 opcode, Handler handler); // empty handler: back to the generic reply
    static Reply genericReply(const Request &request);

    // Scenario and clock.
    void setScenario(const Scenario &scenario);
    Scenario scenario() const;
    void freezeClock(double scenarioSeconds);
    void runClock();
    double scenarioTime() const;
    QByteArray stateImage() const; // of the current scenario time

    // What arrived.
    QList<CapturedPacket> captured() const;
    int capturedCount() const;
    // Keeps only the newest `packets` captured packets (-1, the default: all), so that
    // long runs hold no growing record.
    void setCaptureLimit(int packets);
    void clearCapture();
    // Waits (any thread) until at least `count` packets have been captured.
    bool waitForCapture(int count, int timeoutMs) const;
    int connectionsAccepted() const;
    int connectionsReset() const;
    // Waits until at least `count` connections have been reset by the simulator.
    bool waitForResets(int count, int timeoutMs) const;

    // Text commands of the program's stdin and control file; false for an unknown
    // command. "quit" sets *quit.
    bool execCommand(const QString &line, QString *answer, bool *quit = nullptr);
    static QString commandHelp();
    // Further commands (the controller database's): asked for a line that no
    // command of the simulator takes; true when it took the line (its *ok tells
    // whether the command succeeded).
    using CommandHook = std::function<bool(const QStringList &words, QString *answer, bool *ok)>;
    void setCommandHook(CommandHook hook);

    struct Shared;

private:
    std::shared_ptr<Shared> FShared;
    Options FOptions;
    QThread *FThread = nullptr;
    QObject *FServer = nullptr;
    CommandHook FCommandHook;
};

} // namespace rcsim
