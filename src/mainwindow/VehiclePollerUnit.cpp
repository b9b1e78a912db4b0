#include "mainwindow/VehiclePollerUnit.h"

#include "foundation/JsEscape.h"
#include "core/MainContracts.h"
#include "core/untDM.h"
#include "mainwindow/PanelTextUnit.h"
#include "centrelink/RC2MMIUnit.h"

#include <QLocale>
#include <QSet>
#include <QtEndian>

#include <cstring>

// ===========================================================================
// Bus positions
// ===========================================================================

QByteArray BusRequest()
{
    THostSimplePacket req;
    req.Reset();
    req.SetHead(opMonitor, ktServer, 0);
    return req.Head.ToByteArray();
}

namespace {

QString ZeroText(const char *bytes, int width)
{
    int n = 0;
    while (n < width && bytes[n] != 0)
        ++n;
    return QString::fromLatin1(bytes, n);
}

QString E7Text(qint32 v) { return JsNum(double(v) / 10000000.0); }

bool NonZero(const QString &text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && v != 0.0;
}

} // namespace

bool ParseBusData(const QByteArray &data, QList<TBusRecord> *records)
{
    if (data.isEmpty())
        return false;
    const int n = quint8(data.at(0));
    // The records are read only as far as the data holds them; a reply that holds
    // fewer whole records than it announces is refused as a whole.
    if (data.size() < 1 + n * BUS_RECORD_SIZE)
        return false;
    QList<TBusRecord> out;
    for (int i = 0; i < n; ++i) {
        const char *r = data.constData() + 1 + i * BUS_RECORD_SIZE;
        TBusRecord b;
        b.ObeId = ZeroText(r, 17);
        b.Second = ZeroText(r + 17, 11);
        b.LatE7 = qFromBigEndian<qint32>(r + 28);
        b.LngE7 = qFromBigEndian<qint32>(r + 32);
        out << b;
    }
    if (records)
        *records = out;
    return true;
}

QString BusMarkerScript(const TBusRecord &bus)
{
    const QString v = PanelJsVar(QStringLiteral("bus_"), bus.ObeId);
    const QString lat = E7Text(bus.LatE7);
    const QString lng = E7Text(bus.LngE7);
    const bool placed = bus.LatE7 != 0 && bus.LngE7 != 0;
    return QStringLiteral(" if (typeof %1 !== \"undefined\") {"
                          " if (%2) { if (!map.hasLayer(%1)) { %1.addTo(map); } %1.setLatLng([%3, %4]); }"
                          " else { map.removeLayer(%1); } }"
                          " else { window.%1 = L.marker([%3, %4], {icon: L.AwesomeMarkers.icon({icon: \"bus\","
                          " prefix: \"fa\", markerColor: \"darkblue\"})});"
                          " %1.bindPopup(%5); if (%2) { %1.addTo(map); } } ")
        .arg(v, placed ? QStringLiteral("true") : QStringLiteral("false"), lat, lng,
             JsStr(QStringLiteral("OBE ID : ") + bus.ObeId));
}

QString BusRemoveScript(const QString &obeId)
{
    const QString v = PanelJsVar(QStringLiteral("bus_"), obeId);
    return QStringLiteral(" if (typeof %1 !== \"undefined\") { map.removeLayer(%1); } ").arg(v);
}

QStringList BusScripts(const QList<TBusRecord> &records, const QStringList &previousIds)
{
    QStringList scripts;
    QSet<QString> now;
    for (const TBusRecord &b : records) {
        now.insert(b.ObeId);
        scripts << BusMarkerScript(b);
    }
    for (const QString &id : previousIds)
        if (!now.contains(id))
            scripts << BusRemoveScript(id);
    return scripts;
}

// ===========================================================================
// Vehicle positions
// ===========================================================================

QByteArray WasRequest()
{
    QByteArray b(6, '\0');
    b[0] = char(0xA0);
    return b;
}

quint8 WasCheckByte(const QByteArray &bytes)
{
    quint8 x = 0;
    for (char c : bytes)
        x ^= quint8(c);
    return x;
}

QList<TWasVehicle> ParseWasText(const QString &text)
{
    QList<TWasVehicle> out;
    const QString t = text.trimmed();
    if (t.size() < 2 || t == QLatin1String("[]"))
        return out;
    const QString inner = t.mid(1, t.size() - 2);
    for (const QString &entry : inner.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = entry.split(QLatin1Char(';'));
        if (parts.size() < 3 || parts.at(0).trimmed().isEmpty())
            continue;
        out << TWasVehicle{parts.at(0).trimmed(), parts.at(1).trimmed(), parts.at(2).trimmed()};
    }
    return out;
}

QString WasClearScript()
{
    return QStringLiteral(" carLayer.eachLayer(function (layer) {     carLayer.removeLayer(layer);        });");
}

QStringList WasScripts(const QString &text)
{
    if (text.trimmed() == QLatin1String("[]"))
        return {WasClearScript()};
    const QList<TWasVehicle> vehicles = ParseWasText(text);
    QStringList keep;
    for (const TWasVehicle &v : vehicles)
        keep << JsStr(v.Id) + QStringLiteral(": true");
    QStringList scripts;
    scripts << QStringLiteral(" var ovikKeep = {%1}; carLayer.eachLayer(function (layer) {"
                              " if (!Object.prototype.hasOwnProperty.call(ovikKeep, layer.options.IMEI_NO)) {"
                              " carLayer.removeLayer(layer); } }); ")
                   .arg(keep.join(QStringLiteral(", ")));
    for (const TWasVehicle &v : vehicles) {
        const QString var = PanelJsVar(QStringLiteral("car_"), v.Id);
        const QString lat = JsNumText(v.Lat);
        const QString lng = JsNumText(v.Lng);
        const bool placed = NonZero(v.Lat) && NonZero(v.Lng);
        scripts << QStringLiteral(" if (typeof %1 !== \"undefined\") {"
                                  " if (%2) { %1.setLatLng([%3, %4]); if (!carLayer.hasLayer(%1)) { carLayer.addLayer(%1); } }"
                                  " else { carLayer.removeLayer(%1); } }"
                                  " else { window.%1 = L.marker([%3, %4], {icon: L.AwesomeMarkers.icon({icon: \"bus\","
                                  " prefix: \"fa\", markerColor: _assignColor()}), IMEI_NO: %5});"
                                  " carLayer.addLayer(%1); window.updateCarName(%5); } ")
                       .arg(var, placed ? QStringLiteral("true") : QStringLiteral("false"), lat, lng, JsStr(v.Id));
    }
    return scripts;
}

// ===========================================================================
// Threads
// ===========================================================================

TVehiclePollerBase::TVehiclePollerBase(const QString &AHost, int APort, int AConnectionTimeOut, int AReadTimeOut,
                                       unsigned AInterval, unsigned ARetryTime, IMapBridge *APage)
    : FInterval(AInterval), FRetryTime(ARetryTime), FMapViewController(APage)
{
    FEndpoint.host = AHost;
    FEndpoint.port = APort;
    FEndpoint.connectTimeout = AConnectionTimeOut;
    FEndpoint.readTimeout = AReadTimeOut;
    FEndpoint.closePause = 0;
}

TVehiclePollerBase::~TVehiclePollerBase()
{
    requestInterruption();
    wait();
}

void TVehiclePollerBase::Script(const QString &script)
{
    if (FMapViewController)
        FMapViewController->ExecuteJavaScript(script);
}

void TVehiclePollerBase::Pause(qint64 ms)
{
    while (ms > 0 && !isInterruptionRequested()) {
        QThread::msleep(100);
        ms -= 100;
    }
}

qint64 TVehiclePollerBase::CountedPoll(const std::function<bool()> &poll)
{
    bool ok = false;
    try {
        ok = poll();
    } catch (...) {
        ok = false;
    }
    ++FPolls;
    if (ok)
        return FInterval;
    ++FFails;
    return FRetryTime;
}

bool TVehiclePollerBase::ConnectAndSend(TRcClient &client, const QByteArray &request)
{
    if ((!client.Connected() && !client.Connect(FEndpoint)) || !client.Send(request)) {
        client.Abort();
        return false;
    }
    return true;
}

TBRTThread::TBRTThread(const QString &AHost, int APort, int AConnectionTimeOut, int AReadTimeOut, unsigned AInterval,
                       unsigned ARetryTime, IMapBridge *AMapViewController)
    : TVehiclePollerBase(AHost, APort, AConnectionTimeOut, AReadTimeOut, AInterval, ARetryTime, AMapViewController)
{
    setObjectName(QStringLiteral("TBRTThread"));
    start();
}

bool TBRTThread::Poll(TRcClient &client)
{
    if (!ConnectAndSend(client, BusRequest()))
        return false;
    THostPacketHead head;
    if (!client.ReceiveExact(reinterpret_cast<char *>(&head), RC_HEAD_SIZE)) {
        client.Abort();
        return false;
    }
    head.ConvertRecvHead();
    if (head.command != opMonitorReply || head.dsize == 0 || head.dsize > quint32(BUS_REPLY_MAX)) {
        client.Abort();
        return false;
    }
    QByteArray data(int(head.dsize), '\0');
    if (!client.ReceiveExact(data.data(), int(data.size()))) {
        client.Abort();
        return false;
    }
    QList<TBusRecord> records;
    if (!ParseBusData(data, &records))
        return false;
    for (const QString &s : BusScripts(records, FPrevIds))
        Script(s);
    FPrevIds.clear();
    for (const TBusRecord &b : records)
        FPrevIds << b.ObeId;
    return true;
}

void TBRTThread::run()
{
    TRcClient client;
    while (!isInterruptionRequested())
        Pause(CountedPoll([&] { return Poll(client); }));
    client.Abort();
}

TWASThread::TWASThread(const QString &AHost, int APort, int AConnectionTimeOut, int AReadTimeOut, unsigned AInterval,
                       unsigned ARetryTime, const std::atomic<bool> *AVisible, IMapBridge *AMapViewController)
    : TVehiclePollerBase(AHost, APort, AConnectionTimeOut, AReadTimeOut, AInterval, ARetryTime, AMapViewController),
      FVisible(AVisible)
{
    setObjectName(QStringLiteral("TWASThread"));
    start();
}

bool TWASThread::Poll(TRcClient &client)
{
    if (!ConnectAndSend(client, WasRequest()))
        return false;
    char head[5];
    if (!client.ReceiveExact(head, 5)) {
        client.Abort();
        return false;
    }
    const quint32 n = qFromBigEndian<quint32>(head + 1);
    if (quint8(head[0]) != 0xA1 || n == 0 || n > quint32(WAS_TEXT_MAX)) {
        client.Abort();
        return false;
    }
    QByteArray text(int(n), '\0');
    char check = 0;
    if (!client.ReceiveExact(text.data(), int(n)) || !client.ReceiveExact(&check, 1)) {
        client.Abort();
        return false;
    }
    // A wrong check byte abandons the poll; the connection stays.
    if (quint8(check) != WasCheckByte(text))
        return false;
    for (const QString &s : WasScripts(QString::fromUtf8(text)))
        Script(s);
    return true;
}

void TWASThread::run()
{
    TRcClient client;
    while (!isInterruptionRequested()) {
        qint64 pause = FInterval;
        if (FVisible && !FVisible->load()) {
            if (client.Connected())
                client.Abort();
        } else {
            pause = CountedPoll([&] { return Poll(client); });
        }
        Pause(pause);
    }
    if (client.Connected())
        client.Abort();
}

// ---------------------------------------------------------------------------
// The main window's pair
// ---------------------------------------------------------------------------

void StartVehiclePollers(TBRTThread *&brt, TWASThread *&was, const std::atomic<bool> *wasVisible, IMapBridge *page)
{
    if (!DM)
        return;
    auto hostPort = [](const QString &server, int defaultPort, QString *host, int *port) {
        const int colon = server.lastIndexOf(QLatin1Char(':'));
        *host = colon > 0 ? server.left(colon) : server;
        *port = colon > 0 ? server.mid(colon + 1).toInt() : defaultPort;
        return !host->isEmpty() && *port > 0;
    };
    QString host;
    int port = 0;
    if (!brt && hostPort(DM->G_BRT_SERVER, 0, &host, &port))
        brt = new TBRTThread(host, port, DM->G_CONNECTION_TIMEOUT, DM->G_READ_TIMEOUT,
                             unsigned(qMax(100, DM->G_BRT_MNTR_PERIOD)), 5000, page);
    if (!was && hostPort(DM->G_WAS_SERVER, DM->G_WAS_PORT, &host, &port))
        was = new TWASThread(host, port, DM->G_CONNECTION_TIMEOUT, DM->G_READ_TIMEOUT,
                             unsigned(qMax(100, DM->G_WAS_MNTR_PERIOD)), 5000, wasVisible, page);
}

void StopVehiclePollers(TBRTThread *&brt, TWASThread *&was)
{
    for (TVehiclePollerBase *t : {static_cast<TVehiclePollerBase *>(brt), static_cast<TVehiclePollerBase *>(was)}) {
        if (!t)
            continue;
        t->Terminate();
        t->WaitFor();
        delete t;
    }
    brt = nullptr;
    was = nullptr;
}
