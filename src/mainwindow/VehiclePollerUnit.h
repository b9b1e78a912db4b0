#pragma once
// Two worker threads that poll position servers and draw vehicle markers on a map
// page, each with its own small wire format:
//
//   TBRTThread  bus positions: request = a 32-byte header built like the monitor
//               request (opcode 2, kind 3, target 0), no data; reply = a header with
//               command 3 and a non-zero data size, then the data: byte 0 the number
//               n of buses, n records of 52 bytes (0..16 on-board unit identifier,
//               zero-terminated; 17..27 a second text; 28..31 latitude x 10^7 and
//               32..35 longitude x 10^7, signed, most significant byte first).
//               Markers are page variables "bus_" + identifier on the map.
//   TWASThread  vehicle positions: request = 0xA0 and five zero bytes; reply =
//               0xA1, a 32-bit length n (most significant byte first, not 0), n bytes
//               of UTF-8 text, one check byte = XOR of the text bytes. Text "[]" or
//               "[id;lat;lng,id;lat;lng,...]". Markers "car_" + identifier on the
//               page's carLayer (option IMEI_NO).
//
// A failed poll (connection, send, receive, a reply that does not hold what it
// announces) changes no marker and the next poll comes after the retry time. The
// page scripts go to the page from the poller's own thread (the page bridge queues
// them to the user-interface thread).
//
// The main window starts them at its first show when their servers are set
// (G_BRT_SERVER "host:port", G_WAS_SERVER with G_WAS_PORT) and stops them at
// shutdown (StartVehiclePollers / StopVehiclePollers below), like this:
//     FWasVisible = true;
//     FWas = new TWASThread(host, port, DM->G_CONNECTION_TIMEOUT, DM->G_READ_TIMEOUT,
//                           period, retry, &FWasVisible, MapBridge());
//     ... at shutdown: FWas->Terminate(); FWas->WaitFor(); delete FWas;
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <functional>

#include "centrelink/RcClientUnit.h"

class IMapBridge;

// --- bus positions ----------------------------------------------------------------

struct TBusRecord
{
    QString ObeId;   // on-board unit identifier
    QString Second;  // the second text (not used)
    qint32 LatE7 = 0;
    qint32 LngE7 = 0;
};

constexpr int BUS_RECORD_SIZE = 52;
// The largest data area a bus reply can need (255 records).
constexpr int BUS_REPLY_MAX = 1 + 255 * BUS_RECORD_SIZE;

// The request: header of opcode 2, kind 3, target 0 (link byte order, time now).
QByteArray BusRequest();
// The data area of a reply; false when it does not hold the records it announces.
bool ParseBusData(const QByteArray &data, QList<TBusRecord> *records);
// Scripts of one poll: one per bus, then one per bus of the previous poll that is gone.
QStringList BusScripts(const QList<TBusRecord> &records, const QStringList &previousIds);
QString BusMarkerScript(const TBusRecord &bus);
QString BusRemoveScript(const QString &obeId);

// --- vehicle positions ------------------------------------------------------------

struct TWasVehicle
{
    QString Id;
    QString Lat;
    QString Lng;
};

constexpr int WAS_TEXT_MAX = 4 * 1024 * 1024;

QByteArray WasRequest();
// XOR of the bytes.
quint8 WasCheckByte(const QByteArray &bytes);
// The text's vehicles; "[]" gives none. Entries without three parts are skipped.
QList<TWasVehicle> ParseWasText(const QString &text);
// Scripts of one poll's text.
QStringList WasScripts(const QString &text);
QString WasClearScript();

// --- the threads ------------------------------------------------------------------

class TVehiclePollerBase : public QThread
{
    Q_OBJECT
public:
    ~TVehiclePollerBase() override;
    // Asks the thread to stop; WaitFor waits for it.
    void Terminate() { requestInterruption(); }
    void WaitFor() { wait(); }
    // Polls done, and polls that failed (tests and diagnostics).
    int PollCount() const { return FPolls.load(); }
    int FailCount() const { return FFails.load(); }

protected:
    TVehiclePollerBase(const QString &AHost, int APort, int AConnectionTimeOut, int AReadTimeOut,
                       unsigned AInterval, unsigned ARetryTime, IMapBridge *APage);
    void Script(const QString &script);
    // Sleeps in steps of 100 ms until the pause is used up or the thread is told to stop.
    void Pause(qint64 ms);
    // One poll of the server, counted; a failure (or an exception) is counted too.
    // Returns the pause before the next poll: the interval, or the retry time.
    qint64 CountedPoll(const std::function<bool()> &poll);
    // Connects when not connected and sends the request; the connection is
    // abandoned when either fails (false).
    bool ConnectAndSend(TRcClient &client, const QByteArray &request);

    TRcEndpoint FEndpoint;
    unsigned FInterval = 1000;
    unsigned FRetryTime = 5000;
    IMapBridge *FMapViewController = nullptr;
    std::atomic<int> FPolls{0};
    std::atomic<int> FFails{0};
};

class TBRTThread : public TVehiclePollerBase
{
    Q_OBJECT
public:
    // Starts at once.
    TBRTThread(const QString &AHost, int APort, int AConnectionTimeOut, int AReadTimeOut, unsigned AInterval,
               unsigned ARetryTime, IMapBridge *AMapViewController);

protected:
    void run() override; // Execute

private:
    bool Poll(TRcClient &client);
    QStringList FPrevIds;
};

class TWASThread : public TVehiclePollerBase
{
    Q_OBJECT
public:
    // Starts at once. Polls only while *AVisible is true (nullptr: always).
    TWASThread(const QString &AHost, int APort, int AConnectionTimeOut, int AReadTimeOut, unsigned AInterval,
               unsigned ARetryTime, const std::atomic<bool> *AVisible, IMapBridge *AMapViewController);

protected:
    void run() override; // Execute

private:
    bool Poll(TRcClient &client);
    const std::atomic<bool> *FVisible = nullptr;
};

// --- the main window's pair -----------------------------------------------------------

// Starts each poller that is not running yet and whose server is set in the data
// module ("host:port"; the vehicle server's port defaults to G_WAS_PORT). Nothing
// without a data module.
void StartVehiclePollers(TBRTThread *&brt, TWASThread *&was, const std::atomic<bool> *wasVisible, IMapBridge *page);
// Ends, waits for and deletes both pollers (either may be absent); both become null.
void StopVehiclePollers(TBRTThread *&brt, TWASThread *&was);
