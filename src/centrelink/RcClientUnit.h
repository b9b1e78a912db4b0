#pragma once
// The blocking TCP client of the centre-server connections, used inside worker
// threads (the exchange threads and the monitoring cycle): connect with a time-out,
// send a packet, read a header and its data, the closing packet and the disconnect.
// The socket is created in the thread that first uses the client and must stay there.
//
// Every read (a header, or the data that follows it) has one deadline, the read
// time-out counted from the start of that read: a peer that sends a byte now and then
// cannot hold a reader longer. What the socket buffers is bounded (ReadBufferLimit);
// bytes that arrive while nothing was asked are found and dropped by DrainPending.

#include <QString>

#include <atomic>
#include <memory>

#include "centrelink/RC2MMIUnit.h"

class QTcpSocket;

// Where and how long to wait. Callers fill it from the settings; tests inject theirs.
struct TRcEndpoint
{
    QString host = QStringLiteral("127.0.0.1");
    int port = 12000;
    int connectTimeout = 3000; // ms
    int readTimeout = 5000;    // ms, for each whole read of a header or of its data
    int closePause = 100;      // ms between the closing packet and the disconnect
};

// How a reply was received.
enum TRcReceive {
    rrOk = 0,
    rrHeaderFailed, // fewer than 32 header bytes before the read's deadline
    rrDataFailed,   // fewer than dsize data bytes before the read's deadline
    rrTooLarge,     // dsize larger than the data area it is read into: nothing is read
    rrForeign       // the header is not a reply of the centre server (start bytes,
                    // source or destination): nothing more is read
};

// A received header (before ConvertRecvHead) that the centre server sent to the
// console: start bytes 0x43 0x4D, source 2 (the centre server), destination 1 (the
// console).
bool IsServerReplyHead(const THostPacketHead &head);

class TRcClient
{
public:
    // Bytes the socket may hold unread (a reply is read as it arrives, so this only
    // bounds what a peer can push while nobody reads).
    static constexpr int ReadBufferLimit = 64 * 1024;

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
    // Sends and tells how many bytes went out (-1: nothing could be sent at all).
    int SendCounted(const char *data, int len);
    // Reads exactly n bytes before one deadline (the read time-out from now).
    bool ReceiveExact(char *buffer, int n) { return ReceiveCounted(buffer, n) == n; }
    // The same, returning how many bytes arrived before the deadline (0..n).
    int ReceiveCounted(char *buffer, int n);

    // Reads a header into packet.Head, checks that it is a reply of the centre
    // server, converts it (ConvertRecvHead), sets DataSize 0, then reads dsize data
    // bytes. A dsize beyond the packet's data area is refused without reading it
    // (rrTooLarge). *headerRead tells whether the header arrived.
    template <int N>
    TRcReceive ReceivePacket(THostPacketT<N> &packet, bool *headerRead = nullptr)
    {
        if (headerRead)
            *headerRead = false;
        if (!ReceiveExact(reinterpret_cast<char *>(&packet.Head), RC_HEAD_SIZE))
            return rrHeaderFailed;
        if (headerRead)
            *headerRead = true;
        if (!IsServerReplyHead(packet.Head))
            return rrForeign;
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

    // Drops every byte that is waiting (in the socket or already at the host) and
    // returns how many there were: before a request on a kept connection anything
    // waiting was not asked for. Stops after `limit` bytes (a flood never ends).
    qint64 DrainPending(qint64 limit = 4 * 1024 * 1024);
    // Looks at the wire without waiting: false when the connection has been closed
    // or reset meanwhile (what arrived before stays readable).
    bool Poll();
    // Bytes the socket holds unread.
    qint64 BufferedBytes() const;

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

    // A flag that ends a running read at once (the owner is shutting down); the
    // read then fails as if its deadline had passed.
    void SetCancelFlag(const std::atomic<bool> *flag) { FCancel = flag; }
    // Tests of a short send: at most this many bytes of each send go out (-1: all).
    void SetSendLimit(int bytes) { FSendLimit = bytes; }

    const TRcEndpoint &Endpoint() const { return FEndpoint; }
    QTcpSocket *Socket() const { return FSocket.get(); }
    QString ErrorString() const;

private:
    QTcpSocket *EnsureSocket();
    bool Cancelled() const { return FCancel && FCancel->load(); }

    std::unique_ptr<QTcpSocket> FSocket;
    TRcEndpoint FEndpoint;
    const std::atomic<bool> *FCancel = nullptr;
    int FSendLimit = -1;
};
