#pragma once
// The monitoring cycle of the main window: once per monitoring period it fetches
// the state image from the centre server's monitoring port over one connection that
// stays open from cycle to cycle, checks the reply, decodes it into its own copy of
// the live state set and counts the states.
//
//   TMonitorCycle   one cycle, with no window and no thread of its own (tests run it
//                   directly); it reports log lines and status glyphs to a sink;
//   TMonitorThread  "RCThread": a worker thread that runs one cycle at a time and hands
//                   log lines, glyphs and the finished result to the user-interface
//                   thread by queued calls. It never waits for the user-interface
//                   thread, and the user-interface thread waits for it only with a
//                   local event loop (WaitForIdle), never with QThread::wait.
//
// The worker never touches the live state set: the main window takes a snapshot of it
// when it starts a cycle (TLC_INFO_SET::TakeSnapshot) and applies the decoded snapshot
// when the cycle has finished (ApplySnapshot).
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"

class QThread;

// ---------------------------------------------------------------------------
// Texts of the monitoring-link log
// ---------------------------------------------------------------------------

struct TMonitorTexts
{
    QString ConnectOk;      // IDS_11 "RC MONITOR PORT 연결성공"
    QString DisconnectErr;  // IDS_12 "RC 연결 끊는 도중 문제발생"
    QString RequestErr;     // IDS_14 "모니터링 요청 에러"
    QString Request;        // IDS_15 "모니터링 요청"
    QString HeaderErr;      // IDS_16 "모니터링 헤더 수신 도중 에러"
    QString Header;         // IDS_17 "모니터링 헤더 수신"
    QString OpcodeErr;      // IDS_18 "RX MONITOR 잘못된 OPCODE 수신"
    QString DataLenErr;     // IDS_19 "RX MONITOR HEADER DATA_LEN 에러"
    QString DataErr;        // IDS_20 "... %d, rcv_count: %d, 요구BYTE : %d"
    QString ConnectFail;    // IDS_21 "RC MONITOR PORT 연결실패"

    // Fixed texts (not translated).
    static QString TxSizeError() { return QStringLiteral("TX MONITOR REQ SIZE Error"); }
    static QString RxHeadSizeError() { return QStringLiteral("RX MONITOR HEAD SIZE Error"); }
    // "%s, REQ len : %d, RCV len : %d"
    static QString HeadSizeLine(int requested, int received);
    // Bytes found waiting on the kept connection before a request.
    static QString UnrequestedLine(qint64 bytes);
    // IDS_20 filled with the header's dsize, the bytes received and 124768.
    QString DataErrLine(qint64 dsize, int received) const;

    // The texts of the main window's table in the active language.
    static TMonitorTexts FromLanguage();
};

// ---------------------------------------------------------------------------
// Counters of the status panel
// ---------------------------------------------------------------------------

constexpr int MNTR_COUNTER_SLOTS = 20;

// Indexes of FCntLcStateStt.
enum TLcStateCounter {
    lscLightsOut = 0,        // lights-out bit set (status not 0)
    lscFlash = 1,            // flash bit set
    lscPoliceIng = 2,        // police manual-progress switch set
    lscConflict = 3,         // conflict bit set
    lscDoorOpen = 4,         // cabinet door open
    lscConflictDisabled = 5  // conflict detection not enabled
};

struct TMonitorCounters
{
    int OprModeStt[MNTR_COUNTER_SLOTS] = {};  // FCntLcOprModeStt: per oprMode, status not 0
    int OprStateStt[MNTR_COUNTER_SLOTS] = {}; // FCntLcOprStateStt: per status
    int StateStt[MNTR_COUNTER_SLOTS] = {};    // FCntLcStateStt: TLcStateCounter
    int LiveLC = 0;                           // FLiveLCCount: in use
    int UnusedLC = 0;                         // FUnusedLCCount: not in use and not virtual
    void Clear() { *this = TMonitorCounters(); }
    bool operator==(const TMonitorCounters &) const = default;
};

// Counts a decoded snapshot: every entry in use counts in LiveLC, every entry neither
// in use nor virtual in UnusedLC; a decoded 2004 or 2010 intersection that is not
// virtual counts its state (states of 20 or more are not counted) and, when its state
// is not 0, its mode and its six state bits.
void CountLcStates(const TLcStateSnapshot &snapshot, TMonitorCounters *counters);

// Counter texts of the status panel and the latest image (RC2MMIUnit's TMmiMain).
struct TMmiMain
{
    QDateTime tPacketTime;
    QString sLcOprState2Stt00; // intersections in use
    QString sLcOprState2Stt01; // cabinet door open
    QString sLcOprModeStt00, sLcOprModeStt01, sLcOprModeStt02, sLcOprModeStt03,
        sLcOprModeStt04, sLcOprModeStt05;
    QString sLcOprStateStt00, sLcOprStateStt03, sLcOprStateStt04, sLcOprStateStt05,
        sLcOprStateStt06, sLcOprStateStt07 /* states 7 + 8 + 9 */, sLcOprStateStt10,
        sLcOprStateStt11, sLcOprStateStt12;
    const TST_VESK_STATE *m_pscs_state = nullptr;

    void Fill(const TMonitorCounters &c, const QDateTime &packetTime, const TST_VESK_STATE *image);
};

// ---------------------------------------------------------------------------
// Status glyphs of the status bar (image numbers of the window's image list)
// ---------------------------------------------------------------------------

struct TMonitorGlyphs
{
    enum {
        ConnConnected = 6, ConnDisconnected = 7, // gsConnection
        ReqIdle = 3, ReqToggled = 1,             // gsRequest
        RcvIdle = 2, RcvToggled = 0              // gsReceive
    };
    int Connection = ConnDisconnected;
    int Request = ReqIdle;
    int Receive = RcvIdle;
    bool operator==(const TMonitorGlyphs &o) const
    {
        return Connection == o.Connection && Request == o.Request && Receive == o.Receive;
    }
};

// ---------------------------------------------------------------------------
// One cycle
// ---------------------------------------------------------------------------

struct TMonitorJob
{
    TRcEndpoint Endpoint;       // G_HOST, G_RC_MNTR_PORT, connect and read time-outs
    TLcStateSnapshot Snapshot;  // taken from the live state set when the cycle starts
    TMonitorTexts Texts;
    bool DumpPackets = false;   // admin mode: every log line carries the packet bytes
};

enum TMonitorOutcome {
    moImage = 0,        // an image was received and decoded
    moExchangeFailed,   // connected, but the exchange failed: the connection was closed
    moConnectFailed,    // no connection: retry after the retry period
    moTerminated        // the thread was being ended: nothing was done
};

struct TMonitorCycleResult
{
    TMonitorOutcome Outcome = moTerminated;
    // moImage: the image, its time stamp, the decoded snapshot and the counters.
    std::shared_ptr<TST_VESK_STATE> Image;
    TTimeVal PacketTime;
    TLcStateSnapshot Snapshot;
    TMonitorCounters Counters;
    // The closing step ran (after a failed connect or exchange): the views show every
    // intersection as not monitored.
    bool Closed = false;
    TMonitorGlyphs Glyphs;
    // Time the worker spent on the cycle (connect, exchange, decode, count).
    qint64 WorkerNs = 0;
};

class IMonitorCycleSink
{
public:
    virtual ~IMonitorCycleSink() = default;
    // One line of the monitoring-link log with the packet dump (empty without admin mode).
    virtual void MonitorLog(const QString &title, const QByteArray &packet) = 0;
    virtual void MonitorGlyphs(const TMonitorGlyphs &glyphs) = 0;
};

class TMonitorCycle
{
public:
    TMonitorCycle();
    ~TMonitorCycle();
    TMonitorCycle(const TMonitorCycle &) = delete;
    TMonitorCycle &operator=(const TMonitorCycle &) = delete;

    // One cycle (RCThreadExecute): connect when not connected, request, receive, check,
    // decode into the job's snapshot and count. Runs on the calling thread, which must
    // be the same for every call (the socket lives there).
    TMonitorCycleResult Run(TMonitorJob &job, IMonitorCycleSink *sink);

    // ConnectMonitor: true when connected (a new connection logs IDS_11).
    bool ConnectMonitor(const TMonitorJob &job, IMonitorCycleSink *sink);
    // RequestMonitor: one exchange; false after a failure (logged, CloseMonitor run).
    bool RequestMonitor(TMonitorJob &job, IMonitorCycleSink *sink, TMonitorCycleResult *result);
    // CloseMonitor: glyphs to disconnected; when connected the closing packet, the
    // pause and the disconnect.
    void CloseMonitor(const TMonitorTexts &texts, IMonitorCycleSink *sink, bool dumpPackets);
    // Drops the connection without the closing packet (the thread is ending).
    void Abort();

    bool Connected() const;
    // Bytes the kept connection holds unread (bounded by TRcClient::ReadBufferLimit).
    qint64 BufferedBytes() const;
    // A flag that ends a running read at once (the thread is ending).
    void SetCancelFlag(const std::atomic<bool> *flag) { FClient.SetCancelFlag(flag); }
    // The connection's client (tests: a short send).
    TRcClient &Client() { return FClient; }
    const TMonitorGlyphs &Glyphs() const { return FGlyphs; }
    const THostPacket &Packet() const { return *m_Packet; }

private:
    void Log(IMonitorCycleSink *sink, const QString &title, bool dump);
    void SetGlyphs(IMonitorCycleSink *sink, const TMonitorGlyphs &glyphs);

    TRcClient FClient;
    std::unique_ptr<THostPacket> m_Packet;
    TMonitorGlyphs FGlyphs;
};

// ---------------------------------------------------------------------------
// The worker thread (RCThread)
// ---------------------------------------------------------------------------

class TMonitorWorker;

class TMonitorThread : public QObject
{
    Q_OBJECT
public:
    explicit TMonitorThread(QObject *parent = nullptr);
    ~TMonitorThread() override;

    // A cycle is running (FIsRCThreadBusy): from Start until the finished handlers ran.
    bool Busy() const { return FBusy; }
    // Starts one cycle unless one is running (false then). Emits begin() at once.
    bool Start(std::shared_ptr<TMonitorJob> job);
    // Waits, serving events, until no cycle runs (a local event loop quit by idle()).
    void WaitForIdle();
    // Waits for a running cycle, runs the closing step on the worker thread and ends
    // the thread. Nothing is emitted any more afterwards.
    void Shutdown(const TMonitorTexts &texts, bool dumpPackets);
    // Runs the closing step on the worker thread while the thread goes on (settings
    // changed). Waits for a running cycle first.
    void CloseConnection(const TMonitorTexts &texts, bool dumpPackets);
    // Asks a running cycle to stop at its next step.
    void Terminate();
    bool IsShutDown() const { return FShutDown; }

signals:
    // On the user-interface thread, in this order for each cycle:
    void begin();                                    // RCThreadBegin
    void logLine(const QString &title, const QByteArray &packet);
    void glyphsChanged(int connection, int request, int receive);
    void cycleFinished(std::shared_ptr<TMonitorCycleResult> result); // before idle()
    void idle();                                     // RCThreadFinishAll

private slots:
    void OnWorkerFinished(std::shared_ptr<TMonitorCycleResult> result);

private:
    QThread *FThread = nullptr;
    TMonitorWorker *FWorker = nullptr;
    bool FBusy = false;
    bool FShutDown = false;
};

Q_DECLARE_METATYPE(std::shared_ptr<TMonitorJob>)
Q_DECLARE_METATYPE(std::shared_ptr<TMonitorCycleResult>)
