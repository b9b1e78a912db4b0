#include "centrelink/RcClientUnit.h"

#include "core/Quorval.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>

namespace {
// A running read looks at the cancel flag at least this often (ms).
constexpr int kReadSlice = 50;
} // namespace

bool IsServerReplyHead(const THostPacketHead &head)
{
    return head.stx1 == 0x43 && head.stx2 == 0x4D && head.src == 2 && head.dst == 1;
}

TRcClient::TRcClient() = default;

TRcClient::~TRcClient()
{
    if (FSocket)
        FSocket->abort();
}

QTcpSocket *TRcClient::EnsureSocket()
{
    if (!FSocket) {
        FSocket = std::make_unique<QTcpSocket>();
        FSocket->setReadBufferSize(ReadBufferLimit);
    }
    return FSocket.get();
}

bool TRcClient::Connect(const TRcEndpoint &endpoint)
{
    FEndpoint = endpoint;
    QTcpSocket *s = EnsureSocket();
    SetSocketReadTimeout(s, endpoint.readTimeout);
    SetSocketWriteTimeout(s, qMax(endpoint.readTimeout, 1000));
    if (s->state() == QAbstractSocket::ConnectedState)
        return true;
    if (endpoint.port <= 0 || endpoint.port > 65535)
        return false;
    if (!ConnectSocket(s, endpoint.host, quint16(endpoint.port), endpoint.connectTimeout))
        return false;
    // Requests are small and go out at once, never held back for an acknowledgement.
    s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

bool TRcClient::Connected() const
{
    return FSocket && FSocket->state() == QAbstractSocket::ConnectedState;
}

int TRcClient::SendCounted(const char *data, int len)
{
    if (!Connected())
        return -1;
    if (len <= 0)
        return 0;
    const int n = FSendLimit >= 0 ? qMin(FSendLimit, len) : len;
    if (n == 0)
        return 0;
    const qint64 queued = FSocket->write(data, n);
    if (queued <= 0)
        return -1;
    QDeadlineTimer deadline(qMax(FEndpoint.readTimeout, 1000));
    while (FSocket->bytesToWrite() > 0 && FSocket->state() == QAbstractSocket::ConnectedState) {
        if (deadline.hasExpired() || Cancelled())
            break;
        FSocket->waitForBytesWritten(int(qMin<qint64>(kReadSlice, qMax<qint64>(1, deadline.remainingTime()))));
    }
    // A connection lost meanwhile may have dropped what was queued: nothing is
    // known to have gone out.
    if (FSocket->state() != QAbstractSocket::ConnectedState)
        return -1;
    return int(queued - FSocket->bytesToWrite());
}

bool TRcClient::Send(const char *data, int len)
{
    if (!Connected())
        return false;
    return SendCounted(data, len) == qMax(0, len) && Connected();
}

int TRcClient::ReceiveCounted(char *buffer, int n)
{
    if (!FSocket)
        return 0;
    if (n <= 0)
        return 0;
    // One deadline for the whole read, however the bytes come.
    QDeadlineTimer deadline(qMax(1, FEndpoint.readTimeout));
    int got = 0;
    // What the socket object holds came first; it is taken before the wire is read.
    if (FSocket->bytesAvailable() > 0) {
        const qint64 r = FSocket->read(buffer, n);
        if (r > 0)
            got = int(r);
    }
    const qintptr fd = FSocket->socketDescriptor();
    while (got < n) {
        if (Cancelled())
            break;
        if (fd < 0 || FSocket->state() != QAbstractSocket::ConnectedState) {
            // Data already received stays readable after the peer closed.
            const qint64 r = FSocket->bytesAvailable() > 0 ? FSocket->read(buffer + got, n - got) : 0;
            if (r <= 0)
                break;
            got += int(r);
            continue;
        }
        // Straight from the connection into the caller's buffer: as many bytes as
        // have arrived in one call, no copy through the socket object's buffer.
        const ssize_t r = ::recv(int(fd), buffer + got, size_t(n - got), MSG_DONTWAIT);
        if (r > 0) {
            got += int(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            // The peer closed or reset the connection: the socket object is made to
            // look now, so that it reports the connection as lost, as it would have
            // after reading itself.
            FSocket->waitForReadyRead(0);
            if (FSocket->state() == QAbstractSocket::ConnectedState)
                FSocket->abort();
            break;
        }
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        pollfd p;
        p.fd = int(fd);
        p.events = POLLIN;
        p.revents = 0;
        ::poll(&p, 1, int(qMin<qint64>(left, kReadSlice)));
    }
    return got;
}

qint64 TRcClient::DrainPending(qint64 limit)
{
    if (!FSocket)
        return 0;
    qint64 dropped = 0;
    while (dropped < limit) {
        const qint64 available = FSocket->bytesAvailable();
        if (available > 0) {
            dropped += FSocket->skip(qMin(available, limit - dropped));
            continue;
        }
        // Fetch what the host holds for the socket without waiting.
        if (FSocket->state() != QAbstractSocket::ConnectedState || !FSocket->waitForReadyRead(0))
            break;
    }
    return dropped;
}

bool TRcClient::Poll()
{
    if (!Connected())
        return false;
    if (FSocket->bytesAvailable() == 0)
        FSocket->waitForReadyRead(0); // a closed or reset connection shows here
    return Connected();
}

qint64 TRcClient::BufferedBytes() const { return FSocket ? FSocket->bytesAvailable() : 0; }

bool TRcClient::SendClosing(THostSimplePacket &buffer)
{
    if (!Connected())
        return true;
    buffer.Reset();
    buffer.SetHead(opClose, ktNone, 0);
    return Send(buffer.WireBytes(), RC_HEAD_SIZE);
}

void TRcClient::PauseAndDisconnect()
{
    if (!FSocket)
        return;
    if (FEndpoint.closePause > 0 && !Cancelled())
        QThread::msleep(ulong(FEndpoint.closePause));
    // Whatever the peer still sends is not read any more.
    FSocket->setReadBufferSize(1);
    ClearInputBuffer(FSocket.get());
    Disconnect(FSocket.get());
    ClearInputBuffer(FSocket.get());
    if (FSocket->state() != QAbstractSocket::UnconnectedState)
        FSocket->abort();
    FSocket->setReadBufferSize(ReadBufferLimit);
}

bool TRcClient::Close(THostSimplePacket &buffer)
{
    if (!Connected()) {
        if (FSocket && FSocket->state() != QAbstractSocket::UnconnectedState)
            FSocket->abort();
        return true;
    }
    const bool sent = SendClosing(buffer);
    PauseAndDisconnect();
    return sent;
}

void TRcClient::Abort()
{
    if (FSocket)
        FSocket->abort();
}

QString TRcClient::ErrorString() const { return FSocket ? FSocket->errorString() : QString(); }
