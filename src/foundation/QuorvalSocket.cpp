// Blocking socket helpers of the utility library, used inside worker threads.
#include "foundation/QuorvalSocket.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace {

constexpr const char *kReadTimeout = "scReadTimeout";
constexpr const char *kWriteTimeout = "scWriteTimeout";

int timeoutProperty(const QAbstractSocket *s, const char *name, int fallback)
{
    if (!s)
        return fallback;
    const QVariant v = s->property(name);
    bool ok = false;
    const int ms = v.toInt(&ok);
    return ok && v.isValid() ? ms : fallback;
}

} // namespace

void SetSocketReadTimeout(QAbstractSocket *socket, int ms)
{
    if (socket)
        socket->setProperty(kReadTimeout, ms);
}

void SetSocketWriteTimeout(QAbstractSocket *socket, int ms)
{
    if (socket)
        socket->setProperty(kWriteTimeout, ms);
}

int SocketReadTimeout(const QAbstractSocket *socket)
{
    return timeoutProperty(socket, kReadTimeout, DefaultSocketReadTimeoutMs);
}

int SocketWriteTimeout(const QAbstractSocket *socket)
{
    return timeoutProperty(socket, kWriteTimeout, DefaultSocketWriteTimeoutMs);
}

bool ConnectSocket(QTcpSocket *client, const QString &host, quint16 port, int connectTimeoutMs)
{
    if (!client)
        return false;
    if (client->state() != QAbstractSocket::UnconnectedState)
        client->abort();
    client->connectToHost(host, port);
    if (client->waitForConnected(qMax(1, connectTimeoutMs)))
        return true;
    client->abort();
    return false;
}

bool SendBuffer_TIdBytes(QTcpSocket *client, const QByteArray &bytes)
{
    if (!client || client->state() != QAbstractSocket::ConnectedState)
        return false;
    if (bytes.isEmpty())
        return true;
    const qint64 n = client->write(bytes);
    if (n != bytes.size())
        return false;
    const int timeout = SocketWriteTimeout(client);
    while (client->bytesToWrite() > 0) {
        if (!client->waitForBytesWritten(timeout))
            return false;
    }
    return client->state() == QAbstractSocket::ConnectedState;
}

bool ReceiveBuffer_TIdBytes_Size(QTcpSocket *client, QByteArray &bytes, int n)
{
    bytes.clear();
    if (n <= 0)
        return client != nullptr;
    if (!client)
        return false;
    bytes.resize(n);
    qint64 got = 0;
    const int timeout = SocketReadTimeout(client);
    while (got < n) {
        if (client->bytesAvailable() == 0) {
            // Data already received stays readable after the peer closed.
            if (client->state() != QAbstractSocket::ConnectedState)
                break;
            if (!client->waitForReadyRead(timeout) && client->bytesAvailable() == 0)
                break;
            continue;
        }
        const qint64 r = client->read(bytes.data() + got, n - got);
        if (r < 0)
            break;
        got += r;
    }
    if (got < n) {
        bytes.resize(int(got));
        return false;
    }
    return true;
}

void ClearInputBuffer(QTcpSocket *client)
{
    if (!client)
        return;
    while (client->bytesAvailable() > 0)
        client->readAll();
}

void Disconnect(QTcpSocket *client)
{
    if (!client)
        return;
    if (client->state() == QAbstractSocket::UnconnectedState)
        return;
    client->disconnectFromHost();
    if (client->state() != QAbstractSocket::UnconnectedState
        && !client->waitForDisconnected(qMin(1000, SocketWriteTimeout(client))))
        client->abort();
}
