#pragma once
// Blocking socket helpers of the utility library (worker threads).
#include <QByteArray>
#include <QString>

class QTcpSocket;
class QAbstractSocket;

// ===========================================================================
// Blocking socket helpers (for worker threads)
// ===========================================================================

// Default time-outs (ms) used when a socket carries none of its own.
constexpr int DefaultSocketReadTimeoutMs = 5000;
constexpr int DefaultSocketWriteTimeoutMs = 5000;
// Per-socket time-outs, kept as properties of the socket ("scReadTimeout",
// "scWriteTimeout"). A read time-out limits each wait for more bytes.
void SetSocketReadTimeout(QAbstractSocket *socket, int ms);
void SetSocketWriteTimeout(QAbstractSocket *socket, int ms);
int SocketReadTimeout(const QAbstractSocket *socket);
int SocketWriteTimeout(const QAbstractSocket *socket);

// Connects within the time-out; true when connected.
bool ConnectSocket(QTcpSocket *client, const QString &host, quint16 port, int connectTimeoutMs);
// Sends all bytes (waiting until written); true on success.
bool SendBuffer_TIdBytes(QTcpSocket *client, const QByteArray &bytes);
// Reads exactly n bytes into `bytes` (resized to n); false when the connection
// fails or no byte arrives within the read time-out. n <= 0 reads nothing and
// succeeds with an empty array.
bool ReceiveBuffer_TIdBytes_Size(QTcpSocket *client, QByteArray &bytes, int n);
// Drops whatever is waiting in the input buffer.
void ClearInputBuffer(QTcpSocket *client);
// Closes the connection (gracefully, then at once when it does not close).
void Disconnect(QTcpSocket *client);

