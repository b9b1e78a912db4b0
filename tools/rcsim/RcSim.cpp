#include "RcSim.h"
#include "rcsim_control.h"

#include <QElapsedTimer>
#include <cmath>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>

#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>
#include <utility>

namespace rcsim {

// ---------------------------------------------------------------------------
// Names
// ---------------------------------------------------------------------------

namespace {
struct ModeName { FailMode mode; const char *name; };
const ModeName kModeNames[] = {
    {FailMode::None, "none"},
    {FailMode::Refuse, "refuse"},
    {FailMode::CloseMidReply, "close-mid-reply"},
    {FailMode::Stall, "stall"},
    {FailMode::ShortData, "short-data"},
    {FailMode::OversizedData, "oversized-data"},
    {FailMode::WrongOpcode, "wrong-opcode"},
    {FailMode::RefusalByte, "refusal-byte"},
    {FailMode::ResetAfterReply, "reset-after-reply"},
    {FailMode::ResetOnAccept, "reset-on-accept"},
    {FailMode::DripFeed, "drip-feed"},
    {FailMode::UnrequestedFlood, "unrequested-flood"},
    {FailMode::GarbageStart, "garbage-start"},
    {FailMode::DuplicatedReply, "duplicated-reply"},
    {FailMode::ResetBeforeRequest, "reset-before-request"},
};

constexpr quint32 kMaxRequestData = 1u << 20;
constexpr int kOversize = 4096;
constexpr int kResetOnAcceptDelayMs = 100;
constexpr int kFloodChunk = 64 * 1024;
constexpr qint64 kFloodQueue = 256 * 1024; // written ahead while the peer does not read

qint64 localClockAsUtcSeconds()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), now.time(), Qt::UTC).toSecsSinceEpoch();
}

QString scopeName(PortScope scope)
{
    switch (scope) {
    case PortScope::Monitor: return QStringLiteral("mntr");
    case PortScope::Control: return QStringLiteral("ctrl");
    default: return QStringLiteral("both");
    }
}
} // namespace

QString failModeName(FailMode mode)
{
    for (const ModeName &m : kModeNames)
        if (m.mode == mode)
            return QString::fromLatin1(m.name);
    return QStringLiteral("none");
}

bool failModeFromName(const QString &name, FailMode *mode)
{
    for (const ModeName &m : kModeNames) {
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) {
            *mode = m.mode;
            return true;
        }
    }
    return false;
}

QString CapturedPacket::toLine() const
{
    return QStringLiteral("%1 %2#%3 stx=%4%5 src=%6 dst=%7 frame=%8/%9/%10 kind=%11 op=%12 cmd=%13 "
                          "target=%14 dsize=%15 time=%16.%17 data=%18")
        .arg(at.toString(Qt::ISODateWithMs), control ? QStringLiteral("ctrl") : QStringLiteral("mntr"))
        .arg(connection)
        .arg(head.stx1, 2, 16, QLatin1Char('0'))
        .arg(head.stx2, 2, 16, QLatin1Char('0'))
        .arg(head.src)
        .arg(head.dst)
        .arg(head.currentFrame)
        .arg(head.totalFrame)
        .arg(head.frameSeq)
        .arg(head.kind)
        .arg(head.opcode)
        .arg(head.command)
        .arg(head.target)
        .arg(head.dsize)
        .arg(head.seconds)
        .arg(head.micros)
        .arg(toHex(data));
}

// ---------------------------------------------------------------------------
// State shared between the caller's threads and the server thread
// ---------------------------------------------------------------------------

struct RcSim::Shared
{
    mutable QMutex mutex;
    mutable QWaitCondition changed;
    bool bigEndian = false;
    FailureRule rule;
    int ruleSeen = 0; // matching requests (connections) since the rule was set
    QHash<quint8, Handler> handlers;
    Scenario scenario;
    QElapsedTimer clock;
    double speed = 1.0;
    bool frozen = false;
    double frozenAt = 0;
    QList<CapturedPacket> captured;
    int captureLimit = -1; // newest packets kept (-1: all)
    QFile captureFile;
    // The scenario's version (raised with every new scenario) and the state image of
    // one scenario second, kept while neither changes: the image depends only on
    // the whole second.
    quint64 scenarioVersion = 0;
    quint64 imageVersion = 0;
    qint64 imageSecond = -1;
    bool imageBigEndian = false;
    QByteArray image;
    int accepted = 0;
    int resets = 0;
    bool cutsHeld = false; // cuts before a request wait until released
    quint16 mntrPort = 0;
    quint16 ctrlPort = 0;
    int dripInterval = 500;
    qint64 flooded = 0;

    // The flood covers the connections of its scope as long as the rule stands.
    bool flooding(bool control) const
    {
        QMutexLocker lock(&mutex);
        if (rule.mode != FailMode::UnrequestedFlood)
            return false;
        return !(rule.scope == PortScope::Monitor && control) && !(rule.scope == PortScope::Control && !control);
    }

    double timeLocked() const
    {
        if (frozen)
            return frozenAt;
        return clock.isValid() ? clock.elapsed() / 1000.0 * speed : 0.0;
    }

    // The failure that applies to the next request (or connection) of a port.
    FailMode take(bool control, bool connection)
    {
        QMutexLocker lock(&mutex);
        if (rule.mode == FailMode::None || rule.mode == FailMode::Refuse
            || rule.mode == FailMode::UnrequestedFlood)
            return FailMode::None;
        if ((rule.mode == FailMode::ResetOnAccept) != connection)
            return FailMode::None;
        if (rule.scope == PortScope::Monitor && control)
            return FailMode::None;
        if (rule.scope == PortScope::Control && !control)
            return FailMode::None;
        const int index = ruleSeen++;
        if (index < rule.skip)
            return FailMode::None;
        if (rule.count >= 0 && index >= rule.skip + rule.count)
            return FailMode::None;
        return rule.mode;
    }

    // Whether the next request of a port is to be cut off before it is read (then
    // it counts as taken); asked when a connection is accepted and after each reply.
    bool takeResetBeforeRequest(bool control)
    {
        QMutexLocker lock(&mutex);
        if (rule.mode != FailMode::ResetBeforeRequest)
            return false;
        if ((rule.scope == PortScope::Monitor && control) || (rule.scope == PortScope::Control && !control))
            return false;
        const int index = ruleSeen;
        if (index < rule.skip || (rule.count >= 0 && index >= rule.skip + rule.count))
            return false;
        ++ruleSeen;
        return true;
    }

    void capture(const CapturedPacket &p)
    {
        QMutexLocker lock(&mutex);
        captured.append(p);
        if (captureLimit >= 0)
            while (captured.size() > captureLimit)
                captured.removeFirst();
        if (captureFile.isOpen()) {
            captureFile.write(p.toLine().toUtf8());
            captureFile.write("\n");
            captureFile.flush();
        }
        changed.wakeAll();
    }
};

// ---------------------------------------------------------------------------
// The server (lives on the simulator's thread)
// ---------------------------------------------------------------------------

namespace {

class Server : public QObject
{
public:
    Server(std::shared_ptr<RcSim::Shared> shared, QHostAddress address)
        : FShared(std::move(shared)), FAddress(address)
    {
    }

    // Two listeners, or one when both ports are the same non-zero number: then a
    // connection counts as a monitoring connection when its first request is the
    // monitor request.
    bool listen(quint16 mntrPort, quint16 ctrlPort, QString *error)
    {
        FOnePort = mntrPort != 0 && mntrPort == ctrlPort;
        FMntrPort = mntrPort;
        FCtrlPort = ctrlPort;
        FCtrl = new QTcpServer(this);
        connect(FCtrl, &QTcpServer::newConnection, this, [this] { accept(FCtrl, true); });
        if (!FOnePort) {
            FMntr = new QTcpServer(this);
            connect(FMntr, &QTcpServer::newConnection, this, [this] { accept(FMntr, false); });
            if (!FMntr->listen(FAddress, mntrPort)) {
                *error = QStringLiteral("monitoring port %1: %2").arg(mntrPort).arg(FMntr->errorString());
                return false;
            }
            FMntrPort = FMntr->serverPort();
        }
        if (!FCtrl->listen(FAddress, ctrlPort)) {
            *error = QStringLiteral("control port %1: %2").arg(ctrlPort).arg(FCtrl->errorString());
            return false;
        }
        FCtrlPort = FCtrl->serverPort();
        if (FOnePort)
            FMntrPort = FCtrlPort;
        QMutexLocker lock(&FShared->mutex);
        FShared->mntrPort = FMntrPort;
        FShared->ctrlPort = FCtrlPort;
        return true;
    }

    // Refuse: stop listening on the ports of the rule's scope; otherwise listen again.
    void applyListenState()
    {
        FailureRule rule;
        {
            QMutexLocker lock(&FShared->mutex);
            rule = FShared->rule;
        }
        const bool refuse = rule.mode == FailMode::Refuse;
        auto apply = [&](QTcpServer *server, quint16 port, bool affected) {
            if (!server)
                return;
            if (refuse && affected) {
                if (server->isListening())
                    server->close();
            } else if (!server->isListening()) {
                server->listen(FAddress, port);
            }
        };
        apply(FMntr, FMntrPort, rule.scope != PortScope::Control);
        apply(FCtrl, FCtrlPort, FOnePort || rule.scope != PortScope::Monitor);
        for (auto it = FConnections.begin(); it != FConnections.end(); ++it)
            startFlood(it.key(), it->control);
    }

    // Makes the cuts that wait (holdCuts) now.
    void releaseCuts()
    {
        const QList<QPointer<QTcpSocket>> held = std::exchange(FHeldCuts, {});
        for (const QPointer<QTcpSocket> &s : held) {
            if (!s)
                continue;
            reset(s);
            s->deleteLater();
        }
    }

    void shutdown()
    {
        for (const QPointer<QTcpSocket> &s : std::exchange(FHeldCuts, {}))
            if (s) {
                s->abort();
                delete s.data();
            }
        for (QTcpSocket *s : FConnections.keys())
            s->abort();
        qDeleteAll(FConnections.keys());
        FConnections.clear();
        if (FMntr)
            FMntr->close();
        if (FCtrl)
            FCtrl->close();
    }

private:
    struct Conn
    {
        int id = 0;
        bool control = false;
        bool kindKnown = false;
        QByteArray buffer;
    };

    void accept(QTcpServer *server, bool control)
    {
        while (QTcpSocket *s = server->nextPendingConnection()) {
            int id;
            {
                QMutexLocker lock(&FShared->mutex);
                id = ++FShared->accepted;
            }
            if (FShared->take(control, true) == FailMode::ResetOnAccept) {
                // Reset a moment after the accept, so that the client has seen its
                // connection made; nothing it sends meanwhile is answered.
                s->setParent(this);
                QTimer::singleShot(kResetOnAcceptDelayMs, s, [this, s] {
                    reset(s);
                    s->deleteLater();
                });
                continue;
            }
            if (FShared->takeResetBeforeRequest(control)) {
                cutBeforeRequest(s);
                continue;
            }
            // Replies go out at once, never held back for an acknowledgement.
            s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            Conn c;
            c.id = id;
            c.control = control;
            FConnections.insert(s, c);
            connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                FConnections.remove(s);
                s->deleteLater();
            });
            startFlood(s, control);
        }
    }

    // Unrequested flood: bytes that are no packets, written as long as the rule
    // stands and the peer takes them (never more than kFloodQueue ahead).
    void startFlood(QTcpSocket *s, bool control)
    {
        if (!FShared->flooding(control) || s->property("rcsimFlood").toBool())
            return;
        s->setProperty("rcsimFlood", true);
        auto *timer = new QTimer(s);
        timer->setInterval(2);
        const QByteArray chunk(kFloodChunk, char(0x5A));
        connect(timer, &QTimer::timeout, s, [this, s, timer, chunk, control] {
            if (!FShared->flooding(control) || s->state() != QAbstractSocket::ConnectedState) {
                timer->stop();
                s->setProperty("rcsimFlood", false);
                return;
            }
            if (s->bytesToWrite() < kFloodQueue) {
                const qint64 n = s->write(chunk);
                if (n > 0) {
                    QMutexLocker lock(&FShared->mutex);
                    FShared->flooded += n;
                }
            }
        });
        timer->start();
    }

    // A reply goes to the socket in one system call, header and data from where they
    // stand, as far as the kernel takes it; only the rest waits in the socket's
    // buffer for the event loop.
    static void writeReply(QTcpSocket *s, const QByteArray &head, const QByteArray &data)
    {
        const qint64 total = head.size() + data.size();
        qint64 done = 0;
        const qintptr fd = s->socketDescriptor();
        if (fd >= 0 && s->bytesToWrite() == 0 && s->state() == QAbstractSocket::ConnectedState) {
            iovec parts[2];
            parts[0].iov_base = const_cast<char *>(head.constData());
            parts[0].iov_len = size_t(head.size());
            parts[1].iov_base = const_cast<char *>(data.constData());
            parts[1].iov_len = size_t(data.size());
            msghdr msg{};
            msg.msg_iov = parts;
            msg.msg_iovlen = data.isEmpty() ? 1 : 2;
            ssize_t n;
            do {
                n = ::sendmsg(int(fd), &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
            } while (n < 0 && errno == EINTR);
            if (n > 0)
                done = n;
        }
        if (done >= total)
            return;
        if (done < head.size()) {
            s->write(head.constData() + done, head.size() - done);
            s->write(data);
        } else {
            const qint64 at = done - head.size();
            s->write(data.constData() + at, data.size() - at);
        }
        s->flush();
    }

    // Drip feed: one byte of `wire` every interval until all went out or the peer left.
    void startDrip(QTcpSocket *s, const QByteArray &wire)
    {
        int interval;
        {
            QMutexLocker lock(&FShared->mutex);
            interval = FShared->dripInterval;
        }
        auto *timer = new QTimer(s);
        timer->setInterval(qMax(1, interval));
        auto left = std::make_shared<QByteArray>(wire);
        connect(timer, &QTimer::timeout, s, [s, timer, left] {
            if (left->isEmpty() || s->state() != QAbstractSocket::ConnectedState) {
                timer->deleteLater();
                return;
            }
            s->write(left->left(1));
            s->flush();
            left->remove(0, 1);
        });
        // The first byte at once, the rest one by one.
        s->write(left->left(1));
        s->flush();
        left->remove(0, 1);
        timer->start();
    }

    // The cut of ResetBeforeRequest: the connection is reset now, or, while cuts are
    // held, kept as it is (nothing more of it is read or answered) until released.
    void cutBeforeRequest(QTcpSocket *s)
    {
        FConnections.remove(s);
        bool hold;
        {
            QMutexLocker lock(&FShared->mutex);
            hold = FShared->cutsHeld;
        }
        if (hold) {
            QObject::disconnect(s, nullptr, this, nullptr);
            FHeldCuts.append(QPointer<QTcpSocket>(s));
            return;
        }
        reset(s);
        s->deleteLater();
    }

    void reset(QTcpSocket *s)
    {
        const qintptr fd = s->socketDescriptor();
        if (fd >= 0) {
            struct linger lin;
            lin.l_onoff = 1;
            lin.l_linger = 0;
            ::setsockopt(int(fd), SOL_SOCKET, SO_LINGER, &lin, sizeof(lin));
        }
        s->abort();
        QMutexLocker lock(&FShared->mutex);
        ++FShared->resets;
        FShared->changed.wakeAll();
    }

    void read(QTcpSocket *s)
    {
        auto it = FConnections.find(s);
        if (it == FConnections.end())
            return;
        it->buffer += s->readAll();
        bool be;
        {
            QMutexLocker lock(&FShared->mutex);
            be = FShared->bigEndian;
        }
        while (true) {
            it = FConnections.find(s);
            if (it == FConnections.end())
                return;
            Conn &c = *it;
            if (c.buffer.size() < kHeadSize)
                return;
            const WireHead head = WireHead::decode(c.buffer.constData(), be);
            if (!head.validStart() || head.dsize > kMaxRequestData) {
                // Not a packet of this protocol (or of the other byte order): keep a
                // record of what came and drop the connection.
                CapturedPacket p;
                p.at = QDateTime::currentDateTime();
                p.control = c.control;
                p.connection = c.id;
                p.head = head;
                p.data = c.buffer.mid(kHeadSize, 64);
                FShared->capture(p);
                FConnections.remove(s);
                s->abort();
                s->deleteLater();
                return;
            }
            if (c.buffer.size() < kHeadSize + qint64(head.dsize))
                return;
            if (FOnePort && !c.kindKnown && !head.isClosing()) {
                c.control = head.opcode != 2;
                c.kindKnown = true;
            }
            Request r;
            r.control = c.control;
            r.connection = c.id;
            r.head = head;
            r.data = c.buffer.mid(kHeadSize, int(head.dsize));
            c.buffer.remove(0, kHeadSize + int(head.dsize));

            CapturedPacket p;
            p.at = QDateTime::currentDateTime();
            p.control = r.control;
            p.connection = r.connection;
            p.head = r.head;
            p.data = r.data;
            FShared->capture(p);

            if (!answer(s, r, be))
                return; // the connection is gone
            if (!r.head.isClosing() && FShared->takeResetBeforeRequest(r.control)) {
                // The reply goes out whole; then the next request has no connection.
                while (s->bytesToWrite() > 0 && s->waitForBytesWritten(1000)) {
                }
                cutBeforeRequest(s);
                return;
            }
        }
    }

    // Answers one request; false when the connection was closed.
    bool answer(QTcpSocket *s, const Request &r, bool be)
    {
        if (r.head.isClosing())
            return true;
        Handler handler;
        {
            QMutexLocker lock(&FShared->mutex);
            handler = FShared->handlers.value(r.head.opcode);
        }
        Reply reply = handler ? handler(r) : RcSim::genericReply(r);
        const FailMode mode = FShared->take(r.control, false);
        if (!reply.send)
            return true;
        if (FShared->flooding(r.control))
            return true; // a flooding peer answers nothing
        if (mode == FailMode::Stall)
            return true;

        switch (mode) {
        case FailMode::WrongOpcode:
            reply.opcode = quint8(r.head.opcode + 2);
            reply.command = quint8(r.head.opcode + 2);
            if (reply.statusIndex >= 2 && reply.data.size() >= 2)
                reply.data[1] = char(r.head.opcode + 2);
            else if (reply.opcodeIndex >= 0 && reply.opcodeIndex < reply.data.size())
                reply.data[reply.opcodeIndex] = char(quint8(reply.data.at(reply.opcodeIndex)) + 1);
            break;
        case FailMode::RefusalByte:
            if (reply.statusIndex >= 0 && reply.statusIndex < reply.data.size())
                reply.data[reply.statusIndex] = 0;
            break;
        case FailMode::OversizedData:
            reply.data.append(QByteArray(kOversize, '\0'));
            break;
        default:
            break;
        }

        WireHead h;
        h.src = 2;
        h.dst = 1;
        h.kind = reply.kind;
        h.opcode = reply.opcode;
        h.command = reply.command;
        h.target = reply.target;
        h.seconds = quint32(localClockAsUtcSeconds());
        QByteArray data = reply.data;
        if (mode == FailMode::ShortData) {
            if (data.isEmpty()) {
                // Nothing to shorten: half a header and then silence.
                h.dsize = 0;
                s->write(h.encode(be).left(kHeadSize / 2));
                s->flush();
                return true;
            }
            data.chop(1);
        }
        h.dsize = quint32(data.size());
        if (mode == FailMode::None) {
            writeReply(s, h.encode(be), data);
            return true;
        }
        QByteArray wire = h.encode(be) + data;

        if (mode == FailMode::CloseMidReply) {
            const int keep = data.isEmpty() ? kHeadSize / 2 : kHeadSize + int(data.size()) / 2;
            s->write(wire.left(keep));
            s->flush();
            FConnections.remove(s);
            s->disconnectFromHost();
            if (s->state() != QAbstractSocket::UnconnectedState)
                s->waitForDisconnected(1000);
            s->deleteLater();
            return false;
        }
        if (mode == FailMode::GarbageStart) {
            wire[0] = char(0xDE);
            wire[1] = char(0xAD);
        }
        if (mode == FailMode::DripFeed) {
            startDrip(s, wire);
            return true;
        }
        s->write(wire);
        if (mode == FailMode::DuplicatedReply)
            s->write(wire);
        s->flush();
        if (mode == FailMode::ResetAfterReply) {
            while (s->bytesToWrite() > 0 && s->waitForBytesWritten(1000)) {
            }
            FConnections.remove(s);
            reset(s);
            s->deleteLater();
            return false;
        }
        return true;
    }

    std::shared_ptr<RcSim::Shared> FShared;
    QHostAddress FAddress;
    QTcpServer *FMntr = nullptr;
    QTcpServer *FCtrl = nullptr;
    quint16 FMntrPort = 0;
    quint16 FCtrlPort = 0;
    bool FOnePort = false; // one port for both
    QHash<QTcpSocket *, Conn> FConnections;
    QList<QPointer<QTcpSocket>> FHeldCuts; // cuts waiting for their release
};

} // namespace

// ---------------------------------------------------------------------------
// RcSim
// ---------------------------------------------------------------------------

RcSim::RcSim(const Options &options) : FShared(std::make_shared<Shared>()), FOptions(options)
{
    FShared->bigEndian = options.bigEndian;
    FShared->speed = options.speed > 0 ? options.speed : 1.0;
    FShared->scenario = Scenario::builtIn();
    FShared->handlers.insert(2, [this](const Request &r) {
        Reply reply;
        reply.opcode = 3;
        reply.command = 3;
        reply.kind = r.head.kind;
        reply.target = r.head.target;
        reply.data = stateImage();
        return reply;
    });
    installControlReplies(*this); // replies of the control windows
}

RcSim::~RcSim() { stop(); }

Reply RcSim::genericReply(const Request &r)
{
    Reply reply;
    reply.opcode = quint8(r.head.opcode + 1);
    reply.command = quint8(r.head.opcode + 1);
    reply.kind = r.head.kind;
    reply.target = r.head.target;
    const quint8 op = r.head.opcode;
    if (r.head.kind == 3)
        return reply;
    if (op == 0xEC) {
        // group manual control: the three bytes of the command back
        reply.data = r.data.left(3);
        reply.data.append(QByteArray(3 - reply.data.size(), '\0'));
        return reply;
    }
    if (r.head.kind == 1 && r.data.size() >= 2 && op != 0xE8 && op != 0xEA) {
        reply.data.append(r.data.at(0));
        reply.data.append(char(op + 1));
        reply.data.append(char(1));
        reply.statusIndex = 2;
        return reply;
    }
    reply.data = QByteArray(1, char(1));
    reply.statusIndex = 0;
    return reply;
}

bool RcSim::start(QString *error)
{
    if (FThread)
        return true;
    if (!FOptions.scenarioFile.isEmpty()) {
        Scenario sc;
        QString why;
        if (!Scenario::load(FOptions.scenarioFile, &sc, &why)) {
            if (error)
                *error = why;
            return false;
        }
        QMutexLocker lock(&FShared->mutex);
        FShared->scenario = sc;
        ++FShared->scenarioVersion;
    }
    if (!FOptions.captureFile.isEmpty()) {
        QMutexLocker lock(&FShared->mutex);
        FShared->captureFile.setFileName(FOptions.captureFile);
        if (!FShared->captureFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            if (error)
                *error = QStringLiteral("cannot write %1").arg(FOptions.captureFile);
            return false;
        }
    }
    FShared->clock.start();

    FThread = new QThread;
    FThread->setObjectName(QStringLiteral("rcsim"));
    auto *server = new Server(FShared, FOptions.address);
    server->moveToThread(FThread);
    FServer = server;
    FThread->start();
    bool ok = false;
    QString why;
    QMetaObject::invokeMethod(server, [&] { ok = server->listen(FOptions.mntrPort, FOptions.ctrlPort, &why); },
                              Qt::BlockingQueuedConnection);
    if (!ok) {
        if (error)
            *error = why;
        stop();
        return false;
    }
    return true;
}

void RcSim::stop()
{
    if (!FThread)
        return;
    auto *server = static_cast<Server *>(FServer);
    QMetaObject::invokeMethod(server, [server] { server->shutdown(); delete server; },
                              Qt::BlockingQueuedConnection);
    FServer = nullptr;
    FThread->quit();
    FThread->wait();
    delete FThread;
    FThread = nullptr;
    QMutexLocker lock(&FShared->mutex);
    if (FShared->captureFile.isOpen())
        FShared->captureFile.close();
}

bool RcSim::isRunning() const { return FThread != nullptr; }

quint16 RcSim::mntrPort() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->mntrPort;
}

quint16 RcSim::ctrlPort() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->ctrlPort;
}

bool RcSim::bigEndian() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->bigEndian;
}

void RcSim::setFailure(const FailureRule &rule)
{
    {
        QMutexLocker lock(&FShared->mutex);
        FShared->rule = rule;
        FShared->ruleSeen = 0;
    }
    if (FServer) {
        auto *server = static_cast<Server *>(FServer);
        QMetaObject::invokeMethod(server, [server] { server->applyListenState(); },
                                  Qt::BlockingQueuedConnection);
    }
}

void RcSim::holdCuts(bool hold)
{
    {
        QMutexLocker lock(&FShared->mutex);
        FShared->cutsHeld = hold;
    }
    if (!hold && FServer) {
        auto *server = static_cast<Server *>(FServer);
        QMetaObject::invokeMethod(server, [server] { server->releaseCuts(); }, Qt::BlockingQueuedConnection);
    }
}

FailureRule RcSim::failure() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->rule;
}

void RcSim::setDripInterval(int ms)
{
    QMutexLocker lock(&FShared->mutex);
    FShared->dripInterval = qMax(1, ms);
}

qint64 RcSim::floodedBytes() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->flooded;
}

void RcSim::setHandler(quint8 opcode, Handler handler)
{
    QMutexLocker lock(&FShared->mutex);
    if (handler)
        FShared->handlers.insert(opcode, std::move(handler));
    else
        FShared->handlers.remove(opcode);
}

void RcSim::setCaptureLimit(int packets)
{
    QMutexLocker lock(&FShared->mutex);
    FShared->captureLimit = packets;
    if (packets >= 0)
        while (FShared->captured.size() > packets)
            FShared->captured.removeFirst();
}

void RcSim::setScenario(const Scenario &scenario)
{
    QMutexLocker lock(&FShared->mutex);
    FShared->scenario = scenario;
    ++FShared->scenarioVersion;
}

Scenario RcSim::scenario() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->scenario;
}

void RcSim::freezeClock(double scenarioSeconds)
{
    QMutexLocker lock(&FShared->mutex);
    FShared->frozen = true;
    FShared->frozenAt = scenarioSeconds;
}

void RcSim::runClock()
{
    QMutexLocker lock(&FShared->mutex);
    FShared->frozen = false;
}

double RcSim::scenarioTime() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->timeLocked();
}

QByteArray RcSim::stateImage() const
{
    Scenario sc;
    double t;
    bool be;
    quint64 version;
    {
        QMutexLocker lock(&FShared->mutex);
        t = FShared->timeLocked();
        be = FShared->bigEndian;
        version = FShared->scenarioVersion;
        // Events start and end on whole seconds and the cycles count whole seconds:
        // within one second the image stays the same.
        const qint64 second = qint64(std::floor(qMax(0.0, t)));
        if (FShared->imageSecond == second && FShared->imageVersion == version && FShared->imageBigEndian == be
            && !FShared->image.isEmpty())
            return FShared->image;
        sc = FShared->scenario;
    }
    const QByteArray image = sc.stateImage(t, be);
    QMutexLocker lock(&FShared->mutex);
    if (FShared->scenarioVersion == version) {
        FShared->image = image;
        FShared->imageSecond = qint64(std::floor(qMax(0.0, t)));
        FShared->imageVersion = version;
        FShared->imageBigEndian = be;
    }
    return image;
}

QList<CapturedPacket> RcSim::captured() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->captured;
}

int RcSim::capturedCount() const
{
    QMutexLocker lock(&FShared->mutex);
    return int(FShared->captured.size());
}

void RcSim::clearCapture()
{
    QMutexLocker lock(&FShared->mutex);
    FShared->captured.clear();
}

bool RcSim::waitForCapture(int count, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&FShared->mutex);
    while (FShared->captured.size() < count) {
        if (!FShared->changed.wait(&FShared->mutex, deadline))
            return FShared->captured.size() >= count;
    }
    return true;
}

int RcSim::connectionsAccepted() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->accepted;
}

int RcSim::connectionsReset() const
{
    QMutexLocker lock(&FShared->mutex);
    return FShared->resets;
}

bool RcSim::waitForResets(int count, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&FShared->mutex);
    while (FShared->resets < count) {
        if (!FShared->changed.wait(&FShared->mutex, deadline))
            return FShared->resets >= count;
    }
    return true;
}

QString RcSim::commandHelp()
{
    return QStringLiteral(
        "Commands (stdin or control file, one per line):\n"
        "  fail <mode> [mntr|ctrl|both] [skip=N] [count=N]   fail the next requests\n"
        "       modes: none refuse close-mid-reply stall short-data oversized-data\n"
        "              wrong-opcode refusal-byte reset-after-reply reset-on-accept\n"
        "              drip-feed unrequested-flood garbage-start duplicated-reply\n"
        "              reset-before-request\n"
        "       skip=N lets N requests (connections for reset-on-accept) pass first,\n"
        "       count=N fails N of them (default: until cleared)\n"
        "  clear                 no more failures (same as: fail none)\n"
        "  drip <ms>             pause between the bytes of a drip-fed reply\n"
        "  freeze <seconds>      stop the scenario clock at that scenario time\n"
        "  run                   let the scenario clock run again\n"
        "  scenario <file>       load another scenario (\"builtin\" for the built-in one)\n"
        "  capture clear         forget the captured packets\n"
        "  status                ports, byte order, failure, clock, counts\n"
        "  help                  this text\n"
        "  quit                  stop the simulator\n");
}

bool RcSim::execCommand(const QString &line, QString *answer, bool *quit)
{
    const QStringList w = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString out;
    bool ok = true;
    if (quit)
        *quit = false;
    if (w.isEmpty()) {
        out.clear();
    } else if (w.first() == QLatin1String("help")) {
        out = commandHelp();
    } else if (w.first() == QLatin1String("quit") || w.first() == QLatin1String("exit")) {
        if (quit)
            *quit = true;
        out = QStringLiteral("bye");
    } else if (w.first() == QLatin1String("clear")) {
        clearFailure();
        out = QStringLiteral("failure: none");
    } else if (w.first() == QLatin1String("fail") && w.size() >= 2) {
        FailureRule rule;
        if (!failModeFromName(w.at(1), &rule.mode)) {
            ok = false;
            out = QStringLiteral("unknown failure mode %1").arg(w.at(1));
        }
        for (int i = 2; ok && i < w.size(); ++i) {
            const QString &a = w.at(i);
            if (a == QLatin1String("mntr") || a == QLatin1String("monitor"))
                rule.scope = PortScope::Monitor;
            else if (a == QLatin1String("ctrl") || a == QLatin1String("control"))
                rule.scope = PortScope::Control;
            else if (a == QLatin1String("both"))
                rule.scope = PortScope::Both;
            else if (a.startsWith(QLatin1String("skip=")))
                rule.skip = a.mid(5).toInt(&ok);
            else if (a.startsWith(QLatin1String("count=")))
                rule.count = a.mid(6).toInt(&ok);
            else
                ok = false;
            if (!ok)
                out = QStringLiteral("bad argument %1").arg(a);
        }
        if (ok) {
            setFailure(rule);
            out = QStringLiteral("failure: %1 %2 skip=%3 count=%4")
                      .arg(failModeName(rule.mode), scopeName(rule.scope))
                      .arg(rule.skip)
                      .arg(rule.count);
        }
    } else if (w.first() == QLatin1String("drip") && w.size() == 2) {
        const int ms = w.at(1).toInt(&ok);
        if (ok && ms > 0) {
            setDripInterval(ms);
            out = QStringLiteral("drip interval %1 ms").arg(ms);
        } else {
            ok = false;
            out = QStringLiteral("bad interval");
        }
    } else if (w.first() == QLatin1String("freeze") && w.size() == 2) {
        const double t = w.at(1).toDouble(&ok);
        if (ok) {
            freezeClock(t);
            out = QStringLiteral("clock frozen at %1 s").arg(t);
        } else {
            out = QStringLiteral("bad time");
        }
    } else if (w.first() == QLatin1String("run")) {
        runClock();
        out = QStringLiteral("clock running");
    } else if (w.first() == QLatin1String("scenario") && w.size() == 2) {
        Scenario sc;
        QString why;
        if (w.at(1) == QLatin1String("builtin")) {
            sc = Scenario::builtIn();
        } else if (!Scenario::load(w.at(1), &sc, &why)) {
            ok = false;
            out = why;
        }
        if (ok) {
            setScenario(sc);
            out = QStringLiteral("scenario: %1 intersections, %2 groups").arg(sc.lcs.size()).arg(sc.groups.size());
        }
    } else if (w.size() == 2 && w.first() == QLatin1String("capture") && w.at(1) == QLatin1String("clear")) {
        clearCapture();
        out = QStringLiteral("capture cleared");
    } else if (w.first() == QLatin1String("status")) {
        const FailureRule r = failure();
        out = QStringLiteral("mntr-port %1 ctrl-port %2 %3 failure %4 %5 clock %6 s captured %7 "
                             "connections %8 resets %9")
                  .arg(mntrPort())
                  .arg(ctrlPort())
                  .arg(bigEndian() ? QStringLiteral("big-endian") : QStringLiteral("little-endian"),
                       failModeName(r.mode), scopeName(r.scope))
                  .arg(scenarioTime(), 0, 'f', 1)
                  .arg(capturedCount())
                  .arg(connectionsAccepted())
                  .arg(connectionsReset());
    } else if (FCommandHook && FCommandHook(w, &out, &ok)) {
        // taken by the hook
    } else {
        ok = false;
        out = QStringLiteral("unknown command: %1 (try help)").arg(line.trimmed());
    }
    if (answer)
        *answer = out;
    return ok;
}

void RcSim::setCommandHook(CommandHook hook) { FCommandHook = std::move(hook); }

} // namespace rcsim
