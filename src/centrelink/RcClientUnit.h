#pragma once
// The blocking TCP client of the centre-server connections, used inside worker
// threads (the exchange threads and the monitoring cycle): connect with a time-out,
// send a packet, read a header and its data with the read time-out, the closing
// packet and the disconnect. The socket is created in the thread that first uses
// the client and must stay there.

#include <QString>

#include <memory>

#include "centrelink/RC2MMIUnit.h"

class QTcpSocket;

// Where and how long to wait. Callers fill it from the settings; tests inject theirs.
struct TRcEndpoint
{
    QString host = QStringLiteral("127.0.0.1");
    int port = 12000;
    int connectTimeout = 3000; // ms
    int readTimeout = 5000;    // ms
    int closePause = 100;      // ms between the closing packet and the disconnect
};

// How a reply was received.
enum TRcReceive {
    rrOk = 0,
    rrHeaderFailed, // fewer than 32 header bytes within the read time-out
    rrDataFailed,   // fewer than dsize data bytes within the read time-out
    rrTooLarge      // dsize larger than the data area it is read into: nothing is read
};

class TRcClient
{
public:
    TRcClient();
    ~TRcClient();
    TRcClient(const TRcClient &) = delete;
    TRcClient &operator=(const TRcClient &) = delete;

    // Takes host, port and time-outs; connects when not connected. True when connected.
    bool Connect(const TRcEndpoint &endpoint);
    // Connected as far as the socket knows (no new look at the wire).
    bool Connected() const;
    // Sends all bytes; false when the connection fails or not all could be written.
    bool Send(const char *data, int len);
    bool Send(const QByteArray &bytes) { return Send(bytes.constData(), int(bytes.size())); }
    // Reads exactly n bytes within the read time-out (per wait for more bytes).
    bool ReceiveExact(char *buffer, int n);

    // Reads a header into packet.Head, converts it (ConvertRecvHead), sets DataSize 0,
    // then reads dsize data bytes. A dsize beyond the packet's data area is refused
    // without reading it (rrTooLarge). *headerRead tells whether the header arrived.
    template <int N>
    TRcReceive ReceivePacket(THostPacketT<N> &packet, bool *headerRead = nullptr)
    {
        if (headerRead)
            *headerRead = false;
        if (!ReceiveExact(reinterpret_cast<char *>(&packet.Head), RC_HEAD_SIZE))
            return rrHeaderFailed;
        if (headerRead)
            *headerRead = true;
        packet.ConvertRecvHead();
        packet.DataSize = 0;
        if (packet.Head.dsize == 0)
            return rrOk;
        if (packet.Head.dsize > quint32(N))
            return rrTooLarge;
        if (!ReceiveExact(reinterpret_cast<char *>(packet.Data), int(packet.Head.dsize)))
            return rrDataFailed;
        packet.DataSize = qint32(packet.Head.dsize);
        return rrOk;
    }

    // Sends the closing packet (built in `buffer`: Reset, SetHead(1, 0, 0)) when
    // connected; false when that send failed. Not connected: nothing sent, true.
    bool SendClosing(THostSimplePacket &buffer);
    // Waits the close pause, disconnects and clears the input buffer.
    void PauseAndDisconnect();
    // The whole closing step: SendClosing, then PauseAndDisconnect when it was
    // connected. False when the closing packet could not be sent.
    bool Close(THostSimplePacket &buffer);
    // Drops the connection at once.
    void Abort();

    const TRcEndpoint &Endpoint() const { return FEndpoint; }
    QTcpSocket *Socket() const { return FSocket.get(); }
    QString ErrorString() const;

private:
    QTcpSocket *EnsureSocket();

    std::unique_ptr<QTcpSocket> FSocket;
    TRcEndpoint FEndpoint;
};
