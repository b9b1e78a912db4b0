#include "VehSim.h"

#include <QDateTime>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

#include <memory>

namespace vehsim {

namespace {

void put32(QByteArray &b, int at, quint32 v, bool bigEndian)
{
    if (bigEndian)
        qToBigEndian<quint32>(v, b.data() + at);
    else
        qToLittleEndian<quint32>(v, b.data() + at);
}

} // namespace

// ---------------------------------------------------------------------------
// Both servers
// ---------------------------------------------------------------------------

RequestServer::RequestServer(int requestSize, QObject *parent) : QObject(parent), FRequestSize(requestSize)
{
    FServer = new QTcpServer(this);
    connect(FServer, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = FServer->nextPendingConnection())
            serve(s);
    });
}

RequestServer::~RequestServer() = default;

bool RequestServer::start(quint16 port, QString *error)
{
    if (FServer->listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = FServer->errorString();
    return false;
}

quint16 RequestServer::port() const { return FServer->serverPort(); }

int RequestServer::requests() const
{
    QMutexLocker lock(&FMutex);
    return FRequests;
}

void RequestServer::serve(QTcpSocket *s)
{
    s->setParent(this);
    auto buffer = std::make_shared<QByteArray>();
    connect(s, &QTcpSocket::readyRead, this, [this, s, buffer] {
        buffer->append(s->readAll());
        while (buffer->size() >= FRequestSize) {
            if (!isRequest(*buffer)) {
                s->abort();
                return;
            }
            buffer->remove(0, FRequestSize);
            QByteArray out;
            {
                QMutexLocker lock(&FMutex);
                ++FRequests;
                out = currentReply();
            }
            s->write(out);
        }
    });
    connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
}

// ---------------------------------------------------------------------------
// Bus server
// ---------------------------------------------------------------------------

BusServer::BusServer(bool bigEndian, QObject *parent) : RequestServer(32, parent), FBigEndian(bigEndian) {}

BusServer::~BusServer() = default;

void BusServer::setBuses(const QList<Bus> &buses)
{
    QMutexLocker lock(&FMutex);
    FBuses = buses;
}

void BusServer::setFault(BusFault fault)
{
    QMutexLocker lock(&FMutex);
    FFault = fault;
}

QByteArray BusServer::reply(const QList<Bus> &buses, BusFault fault, bool bigEndian)
{
    QByteArray data;
    const int announced = int(buses.size()) + (fault == BusFault::ShortRecords ? 1 : 0);
    data.append(char(announced & 0xFF));
    for (const Bus &b : buses) {
        QByteArray rec(52, '\0');
        rec.replace(0, qMin(16, int(b.obeId.size())), b.obeId.left(16));
        rec.replace(17, qMin(10, int(b.second.size())), b.second.left(10));
        qToBigEndian<qint32>(b.latE7, rec.data() + 28);
        qToBigEndian<qint32>(b.lngE7, rec.data() + 32);
        data += rec;
    }
    if (fault == BusFault::ZeroSize)
        data.clear();
    QByteArray head(32, '\0');
    head[0] = 0x43;
    head[1] = 0x4D;
    head[2] = 2;
    head[3] = 1;
    head[7] = 3;
    head[8] = fault == BusFault::WrongCommand ? 2 : 3;
    head[9] = fault == BusFault::WrongCommand ? 2 : 3;
    put32(head, 12, quint32(data.size()), bigEndian);
    put32(head, bigEndian ? 20 : 16, quint32(QDateTime::currentSecsSinceEpoch()), bigEndian);
    return head + data;
}

bool BusServer::isRequest(const QByteArray &request) const { return request.at(0) == 0x43 && request.at(1) == 0x4D; }

QByteArray BusServer::currentReply() const { return reply(FBuses, FFault, FBigEndian); }

// ---------------------------------------------------------------------------
// Vehicle server
// ---------------------------------------------------------------------------

VehicleServer::VehicleServer(QObject *parent) : RequestServer(6, parent) {}

VehicleServer::~VehicleServer() = default;

void VehicleServer::setText(const QString &text)
{
    QMutexLocker lock(&FMutex);
    FText = text;
}

void VehicleServer::setFault(VehicleFault fault)
{
    QMutexLocker lock(&FMutex);
    FFault = fault;
}

QByteArray VehicleServer::reply(const QString &text, VehicleFault fault)
{
    QByteArray body = fault == VehicleFault::ZeroLength ? QByteArray() : text.toUtf8();
    quint8 x = 0;
    for (char c : body)
        x ^= quint8(c);
    if (fault == VehicleFault::BadCheck)
        x = quint8(x + 1);
    QByteArray head(5, '\0');
    head[0] = char(fault == VehicleFault::WrongHead ? 0xA2 : 0xA1);
    qToBigEndian<quint32>(quint32(body.size()), head.data() + 1);
    QByteArray out = head + body;
    if (fault != VehicleFault::ZeroLength)
        out.append(char(x));
    return out;
}

bool VehicleServer::isRequest(const QByteArray &request) const { return quint8(request.at(0)) == 0xA0; }

QByteArray VehicleServer::currentReply() const { return reply(FText, FFault); }

} // namespace vehsim
