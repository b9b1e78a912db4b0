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

class BusServer : public QObject
{
    Q_OBJECT
public:
    explicit BusServer(bool bigEndian = false, QObject *parent = nullptr);
    ~BusServer() override;
    bool start(quint16 port = 0, QString *error = nullptr);
    quint16 port() const;
    void setBuses(const QList<Bus> &buses);
    void setFault(BusFault fault);
    int requests() const;
    // The reply bytes of a fleet.
    static QByteArray reply(const QList<Bus> &buses, BusFault fault, bool bigEndian);

private:
    void serve(QTcpSocket *s);
    QTcpServer *FServer = nullptr;
    bool FBigEndian = false;
    mutable QMutex FMutex;
    QList<Bus> FBuses;
    BusFault FFault = BusFault::None;
    int FRequests = 0;
};

class VehicleServer : public QObject
{
    Q_OBJECT
public:
    explicit VehicleServer(QObject *parent = nullptr);
    ~VehicleServer() override;
    bool start(quint16 port = 0, QString *error = nullptr);
    quint16 port() const;
    // The text sent, e.g. "[]" or "[id;37.5;127.0,...]".
    void setText(const QString &text);
    void setFault(VehicleFault fault);
    int requests() const;
    static QByteArray reply(const QString &text, VehicleFault fault);

private:
    void serve(QTcpSocket *s);
    QTcpServer *FServer = nullptr;
    mutable QMutex FMutex;
    QString FText = QStringLiteral("[]");
    VehicleFault FFault = VehicleFault::None;
    int FRequests = 0;
};

} // namespace vehsim
