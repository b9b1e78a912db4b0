#include "centrelink/RcClientUnit.h"

#include "core/Quorval.h"

#include <QTcpSocket>
#include <QThread>

TRcClient::TRcClient() = default;

TRcClient::~TRcClient()
{
    if (FSocket)
        FSocket->abort();
}

QTcpSocket *TRcClient::EnsureSocket()
{
    if (!FSocket)
        FSocket = std::make_unique<QTcpSocket>();
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
    return ConnectSocket(s, endpoint.host, quint16(endpoint.port), endpoint.connectTimeout);
}

bool TRcClient::Connected() const
{
    return FSocket && FSocket->state() == QAbstractSocket::ConnectedState;
}

bool TRcClient::Send(const char *data, int len)
{
    if (!Connected())
        return false;
    return SendBuffer_TIdBytes(FSocket.get(), QByteArray::fromRawData(data, len));
}

bool TRcClient::ReceiveExact(char *buffer, int n)
{
    if (!FSocket)
        return false;
    if (n <= 0)
        return true;
    QByteArray bytes;
    if (!ReceiveBuffer_TIdBytes_Size(FSocket.get(), bytes, n))
        return false;
    std::memcpy(buffer, bytes.constData(), size_t(n));
    return true;
}

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
    if (FEndpoint.closePause > 0)
        QThread::msleep(ulong(FEndpoint.closePause));
    Disconnect(FSocket.get());
    ClearInputBuffer(FSocket.get());
    if (FSocket->state() != QAbstractSocket::UnconnectedState)
        FSocket->abort();
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
