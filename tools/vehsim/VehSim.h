#pragma once
// Small servers that stand in for the bus-position server and the vehicle-position
// server on loopback. Each answers every request on a connection with the reply
// of its current fleet, counts the requests and can be told to send a faulty reply.
// They live on the thread that creates them (its event loop must run).
//
// Bus server: a request is a 32-byte header (bytes 0-1 "CM"); the reply is a header
// with opcode and command 3, kind 3, the data size at bytes 12..15 (byte order
// chosen at creation), then 1 byte of count and 52-byte records (17 bytes unit
// identifier, 11 bytes second text, latitude and longitude x 10^7, most significant
// byte first, 16 bytes zero).
// Vehicle server: a request is 6 bytes starting with 0xA0; the reply is 0xA1, the
// text's length (most significant byte first), the UTF-8 text and its XOR byte.
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace vehsim {

struct Bus
{
    QByteArray obeId;
    QByteArray second;
    qint32 latE7 = 0;
    qint32 lngE7 = 0;
};

enum class BusFault {
    None,
    WrongCommand, // command 2 instead of 3
    ZeroSize,     // data size 0
    ShortRecords  // announces one record more than it sends
};

enum class VehicleFault {
    None,
    BadCheck,   // the check byte is off by one
    ZeroLength, // length 0, no text
    WrongHead   // first byte 0xA2
};

// What both servers share: listening on loopback, cutting the stream into requests
// of a fixed size, counting them and answering each with the current reply. A
// connection whose request does not start as it should is dropped.
class RequestServer : public QObject
{
    Q_OBJECT
public:
    ~RequestServer() override;
    bool start(quint16 port = 0, QString *error = nullptr);
    quint16 port() const;
    int requests() const;

protected:
    RequestServer(int requestSize, QObject *parent);
    // Whether a request (requestSize bytes) starts as it should.
    virtual bool isRequest(const QByteArray &request) const = 0;
    // The reply to one request, made while FMutex is held.
    virtual QByteArray currentReply() const = 0;
    mutable QMutex FMutex;

private:
    void serve(QTcpSocket *s);
    QTcpServer *FServer = nullptr;
    int FRequestSize = 0;
    int FRequests = 0;
};

class BusServer : public RequestServer
{
    Q_OBJECT
public:
    explicit BusServer(bool bigEndian = false, QObject *parent = nullptr);
    ~BusServer() override;
    void setBuses(const QList<Bus> &buses);
    void setFault(BusFault fault);
    // The reply bytes of a fleet.
    static QByteArray reply(const QList<Bus> &buses, BusFault fault, bool bigEndian);

protected:
    bool isRequest(const QByteArray &request) const override;
    QByteArray currentReply() const override;

private:
    bool FBigEndian = false;
    QList<Bus> FBuses;
    BusFault FFault = BusFault::None;
};

class VehicleServer : public RequestServer
{
    Q_OBJECT
public:
    explicit VehicleServer(QObject *parent = nullptr);
    ~VehicleServer() override;
    // The text sent, e.g. "[]" or "[id;37.5;127.0,...]".
    void setText(const QString &text);
    void setFault(VehicleFault fault);
    static QByteArray reply(const QString &text, VehicleFault fault);

protected:
    bool isRequest(const QByteArray &request) const override;
    QByteArray currentReply() const override;

private:
    QString FText = QStringLiteral("[]");
    VehicleFault FFault = VehicleFault::None;
};

} // namespace vehsim
