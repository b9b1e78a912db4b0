#include "mainwindow/MonitorThreadUnit.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QThread>

#include <cstring>

#include "centrelink/CommLogFormat.h"
#include "core/siLang.h"

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

QString TMonitorTexts::HeadSizeLine(int requested, int received)
{
    return QStringLiteral("%1, REQ len : %2, RCV len : %3").arg(RxHeadSizeError()).arg(requested).arg(received);
}

QString TMonitorTexts::UnrequestedLine(qint64 bytes)
{
    return QStringLiteral("RX MONITOR UNREQUESTED DATA Error, RCV len : %1").arg(bytes);
}

QString TMonitorTexts::DataErrLine(qint64 dsize, int received) const
{
    return CommLog::FormatC(DataErr, {QString::number(dsize), QString::number(received),
                                      QString::number(RC_STATE_IMAGE_SIZE)});
}

TMonitorTexts TMonitorTexts::FromLanguage()
{
    const QString t = QStringLiteral("TfrmMain");
    TMonitorTexts x;
    x.ConnectOk = siText(t, QStringLiteral("IDS_11"));
    x.DisconnectErr = siText(t, QStringLiteral("IDS_12"));
    x.RequestErr = siText(t, QStringLiteral("IDS_14"));
    x.Request = siText(t, QStringLiteral("IDS_15"));
    x.HeaderErr = siText(t, QStringLiteral("IDS_16"));
    x.Header = siText(t, QStringLiteral("IDS_17"));
    x.OpcodeErr = siText(t, QStringLiteral("IDS_18"));
    x.DataLenErr = siText(t, QStringLiteral("IDS_19"));
    x.DataErr = siText(t, QStringLiteral("IDS_20"));
    x.ConnectFail = siText(t, QStringLiteral("IDS_21"));
    return x;
}

// ---------------------------------------------------------------------------
// Counters
// ---------------------------------------------------------------------------

void CountLcStates(const TLcStateSnapshot &snapshot, TMonitorCounters *c)
{
    c->Clear();
    for (const TLcDecodeEntry &e : snapshot.entries) {
        const bool isVirtual = e.mainLcNo > 0;
        if (!e.is_use && !isVirtual)
            ++c->UnusedLC;
        if (e.is_use)
            ++c->LiveLC;
        if (!e.st.mntr_ok || isVirtual || (e.lc_type != 1 && e.lc_type != 2))
            continue;
        const int status = e.st.opr_stat;
        // States are 0 to 12; anything else is not defined and never counted.
        if (status < 0 || status >= MNTR_COUNTER_SLOTS)
            continue;
        ++c->OprStateStt[status];
        if (status == 0)
            continue;
        if (e.st.oprMode >= 0 && e.st.oprMode < MNTR_COUNTER_SLOTS)
            ++c->OprModeStt[e.st.oprMode];
        if (e.st.lightsOut)
            ++c->StateStt[lscLightsOut];
        if (e.st.flash)
            ++c->StateStt[lscFlash];
        if (e.st.policeIng)
            ++c->StateStt[lscPoliceIng];
        if (e.st.conflict)
            ++c->StateStt[lscConflict];
        if (e.st.doorOpen)
            ++c->StateStt[lscDoorOpen];
        if (e.st.conflictEnable == 0)
            ++c->StateStt[lscConflictDisabled];
    }
}

void TMmiMain::Fill(const TMonitorCounters &c, const QDateTime &packetTime, const TST_VESK_STATE *image)
{
    auto n = [](int v) { return QString::number(v); };
    tPacketTime = packetTime;
    sLcOprState2Stt00 = n(c.LiveLC);
    sLcOprState2Stt01 = n(c.StateStt[lscDoorOpen]);
    sLcOprModeStt00 = n(c.OprModeStt[0]);
    sLcOprModeStt01 = n(c.OprModeStt[1]);
    sLcOprModeStt02 = n(c.OprModeStt[2]);
    sLcOprModeStt03 = n(c.OprModeStt[3]);
    sLcOprModeStt04 = n(c.OprModeStt[4]);
    sLcOprModeStt05 = n(c.OprModeStt[5]);
    sLcOprStateStt00 = n(c.OprStateStt[0]);
    sLcOprStateStt03 = n(c.OprStateStt[3]);
    sLcOprStateStt04 = n(c.OprStateStt[4]);
    sLcOprStateStt05 = n(c.OprStateStt[5]);
    sLcOprStateStt06 = n(c.OprStateStt[6]);
    sLcOprStateStt07 = n(c.OprStateStt[7] + c.OprStateStt[8] + c.OprStateStt[9]);
    sLcOprStateStt10 = n(c.OprStateStt[10]);
    sLcOprStateStt11 = n(c.OprStateStt[11]);
    sLcOprStateStt12 = n(c.OprStateStt[12]);
    m_pscs_state = image;
}

// ---------------------------------------------------------------------------
// One cycle
// ---------------------------------------------------------------------------


TMonitorCycle::TMonitorCycle() : m_Packet(std::make_unique<THostPacket>()) { m_Packet->Reset(); }

TMonitorCycle::~TMonitorCycle() = default;

bool TMonitorCycle::Connected() const { return FClient.Connected(); }

void TMonitorCycle::Log(IMonitorCycleSink *sink, const QString &title, bool dump)
{
    if (!sink)
        return;
    sink->MonitorLog(title, dump ? QByteArray(m_Packet->WireBytes(), m_Packet->WireSize()) : QByteArray());
}

void TMonitorCycle::SetGlyphs(IMonitorCycleSink *sink, const TMonitorGlyphs &glyphs)
{
    FGlyphs = glyphs;
    if (sink)
        sink->MonitorGlyphs(glyphs);
}

TMonitorCycleResult TMonitorCycle::Run(TMonitorJob &job, IMonitorCycleSink *sink)
{
    TMonitorCycleResult r;
    m_Packet->Reset();
    if (ConnectMonitor(job, sink)) {
        if (RequestMonitor(job, sink, &r)) {
            r.Outcome = moImage;
        } else {
            r.Outcome = moExchangeFailed;
            r.Closed = true;
        }
    } else {
        CloseMonitor(job.Texts, sink, job.DumpPackets);
        Log(sink, job.Texts.ConnectFail, job.DumpPackets);
        r.Outcome = moConnectFailed;
        r.Closed = true;
    }
    r.Glyphs = FGlyphs;
    return r;
}

bool TMonitorCycle::ConnectMonitor(const TMonitorJob &job, IMonitorCycleSink *sink)
{
    // A kept connection that the peer has closed or reset meanwhile is made anew.
    if (FClient.Connected() && FClient.Poll()) {
        FClient.Connect(job.Endpoint); // takes the current host, port and time-outs
        return true;
    }
    if (FClient.Socket() && FClient.Socket()->state() != QAbstractSocket::UnconnectedState)
        FClient.Abort();
    if (!FClient.Connect(job.Endpoint))
        return false;
    Log(sink, job.Texts.ConnectOk, job.DumpPackets);
    TMonitorGlyphs g;
    g.Connection = TMonitorGlyphs::ConnConnected;
    g.Request = TMonitorGlyphs::ReqIdle;
    g.Receive = TMonitorGlyphs::RcvIdle;
    SetGlyphs(sink, g);
    return true;
}

bool TMonitorCycle::RequestMonitor(TMonitorJob &job, IMonitorCycleSink *sink, TMonitorCycleResult *result)
{
    const TMonitorTexts &t = job.Texts;
    const bool dump = job.DumpPackets;
    auto fail = [&](const QString &title) {
        Log(sink, title, dump);
        CloseMonitor(t, sink, dump);
        return false;
    };

    // Anything waiting on the kept connection was not asked for (a reply sent twice,
    // a peer talking on its own): it is dropped and the connection is given up, so
    // that no reply is ever taken for a later request.
    const qint64 unrequested = FClient.DrainPending();
    if (unrequested > 0)
        return fail(TMonitorTexts::UnrequestedLine(unrequested));

    // 1. The request: the header alone.
    m_Packet->Reset();
    m_Packet->SetHead(opMonitor, ktServer, 0);
    const int toSend = RC_HEAD_SIZE + m_Packet->DataSize;
    const int sent = FClient.SendCounted(m_Packet->WireBytes(), toSend);
    if (sent <= 0)
        return fail(t.RequestErr);

    // 2. The receive glyph blinks once per request.
    TMonitorGlyphs g = FGlyphs;
    g.Receive = g.Receive == TMonitorGlyphs::RcvIdle ? TMonitorGlyphs::RcvToggled : TMonitorGlyphs::RcvIdle;
    SetGlyphs(sink, g);
    Log(sink, t.Request, dump);
    if (sent != toSend)
        return fail(TMonitorTexts::TxSizeError());

    // 3. The reply header, within one read time-out however it comes.
    m_Packet->Reset();
    const int headGot = FClient.ReceiveCounted(reinterpret_cast<char *>(&m_Packet->Head), RC_HEAD_SIZE);
    if (headGot == 0)
        return fail(t.HeaderErr);
    if (headGot != RC_HEAD_SIZE) {
        Log(sink, t.HeaderErr, dump);
        return fail(TMonitorTexts::HeadSizeLine(RC_HEAD_SIZE, headGot));
    }
    // A header that the centre server did not send is no reply to this request.
    if (!IsServerReplyHead(m_Packet->Head))
        return fail(t.HeaderErr);

    // 4. Header to host order.
    m_Packet->ConvertRecvHead();
    Log(sink, t.Header, dump);

    // 5. Reply checks.
    if (m_Packet->Head.command != opMonitorReply)
        return fail(t.OpcodeErr);
    const quint32 dsize = m_Packet->Head.dsize;
    if (dsize < 1)
        return fail(t.DataLenErr);

    // 6. The image. A size beyond the data area is refused without reading a byte.
    int received = 0;
    if (dsize <= quint32(THostPacket::DataCapacity))
        received = FClient.ReceiveCounted(reinterpret_cast<char *>(m_Packet->Data), int(dsize));
    m_Packet->DataSize = received;
    if (dsize != quint32(RC_STATE_IMAGE_SIZE) || received != int(dsize))
        return fail(t.DataErrLine(qint64(dsize), received));

    // 7. Keep the image and its time; 8. decode and count into the cycle's own copy.
    m_Packet->DataSize = qint32(dsize);
    result->PacketTime = m_Packet->Head.GetCurrentTime();
    auto image = std::make_shared<TST_VESK_STATE>();
    std::memcpy(static_cast<void *>(image.get()), m_Packet->Data, RC_STATE_IMAGE_SIZE);
    DecodeStateImage(*image, job.Snapshot);
    CountLcStates(job.Snapshot, &result->Counters);
    result->Snapshot = std::move(job.Snapshot);
    result->Image = std::move(image);
    return true;
}

void TMonitorCycle::CloseMonitor(const TMonitorTexts &texts, IMonitorCycleSink *sink, bool dumpPackets)
{
    TMonitorGlyphs g;
    g.Connection = TMonitorGlyphs::ConnDisconnected;
    g.Request = TMonitorGlyphs::ReqIdle;
    g.Receive = TMonitorGlyphs::RcvIdle;
    SetGlyphs(sink, g);
    if (!FClient.Connected()) {
        FClient.Abort(); // a half-open attempt is dropped
        return;
    }
    m_Packet->Reset();
    m_Packet->SetHead(opClose, ktNone, 0);
    if (!FClient.Send(m_Packet->WireBytes(), RC_HEAD_SIZE))
        Log(sink, texts.DisconnectErr, dumpPackets);
    FClient.PauseAndDisconnect();
}

void TMonitorCycle::Abort() { FClient.Abort(); }

qint64 TMonitorCycle::BufferedBytes() const { return FClient.BufferedBytes(); }

// ---------------------------------------------------------------------------
// Worker and thread
// ---------------------------------------------------------------------------

// Lives on the worker thread; its cycle's socket is created and freed there.
class TMonitorWorker : public QObject, public IMonitorCycleSink
{
    Q_OBJECT
public:
    std::atomic<bool> Terminated{false};

    void MonitorLog(const QString &title, const QByteArray &packet) override { emit logLine(title, packet); }
    void MonitorGlyphs(const TMonitorGlyphs &g) override { emit glyphsChanged(g.Connection, g.Request, g.Receive); }

public slots:
    void RunCycle(std::shared_ptr<TMonitorJob> job)
    {
        auto result = std::make_shared<TMonitorCycleResult>();
        QElapsedTimer clock;
        clock.start();
        if (!Terminated && job) {
            if (!FCycle) {
                FCycle = std::make_unique<TMonitorCycle>();
                FCycle->SetCancelFlag(&Terminated);
            }
            *result = FCycle->Run(*job, this);
        }
        result->WorkerNs = clock.nsecsElapsed();
        emit finished(result);
    }
    // The closing step; with `silent` nothing is reported (shutdown).
    void Close(const TMonitorTexts &texts, bool dumpPackets, bool silent)
    {
        if (FCycle)
            FCycle->CloseMonitor(texts, silent ? nullptr : this, dumpPackets);
    }
    void Release() { FCycle.reset(); }

signals:
    void logLine(const QString &title, const QByteArray &packet);
    void glyphsChanged(int connection, int request, int receive);
    void finished(std::shared_ptr<TMonitorCycleResult> result);

private:
    std::unique_ptr<TMonitorCycle> FCycle;
};

TMonitorThread::TMonitorThread(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<std::shared_ptr<TMonitorJob>>();
    qRegisterMetaType<std::shared_ptr<TMonitorCycleResult>>();
    FThread = new QThread;
    FThread->setObjectName(QStringLiteral("RCThread"));
    FWorker = new TMonitorWorker;
    FWorker->moveToThread(FThread);
    connect(FThread, &QThread::finished, FWorker, &QObject::deleteLater);
    connect(FWorker, &TMonitorWorker::logLine, this, &TMonitorThread::logLine, Qt::QueuedConnection);
    connect(FWorker, &TMonitorWorker::glyphsChanged, this, &TMonitorThread::glyphsChanged, Qt::QueuedConnection);
    connect(FWorker, &TMonitorWorker::finished, this, &TMonitorThread::OnWorkerFinished, Qt::QueuedConnection);
    FThread->start();
}

TMonitorThread::~TMonitorThread()
{
    if (!FShutDown)
        Shutdown(TMonitorTexts(), false);
    delete FThread;
}

bool TMonitorThread::Start(std::shared_ptr<TMonitorJob> job)
{
    if (FBusy || FShutDown)
        return false;
    FBusy = true;
    emit begin();
    TMonitorWorker *w = FWorker;
    QMetaObject::invokeMethod(w, [w, job = std::move(job)]() { w->RunCycle(job); }, Qt::QueuedConnection);
    return true;
}

void TMonitorThread::OnWorkerFinished(std::shared_ptr<TMonitorCycleResult> result)
{
    emit cycleFinished(std::move(result));
    FBusy = false;
    emit idle();
}

void TMonitorThread::WaitForIdle()
{
    while (FBusy) {
        QEventLoop loop;
        connect(this, &TMonitorThread::idle, &loop, &QEventLoop::quit);
        if (FBusy)
            loop.exec();
    }
}

void TMonitorThread::Terminate()
{
    if (FWorker)
        FWorker->Terminated = true;
}

void TMonitorThread::CloseConnection(const TMonitorTexts &texts, bool dumpPackets)
{
    if (FShutDown)
        return;
    WaitForIdle();
    // The worker never waits for this thread, so a blocking call cannot lock up.
    TMonitorWorker *w = FWorker;
    QMetaObject::invokeMethod(w, [w, &texts, dumpPackets]() { w->Close(texts, dumpPackets, false); },
                              Qt::BlockingQueuedConnection);
}

void TMonitorThread::Shutdown(const TMonitorTexts &texts, bool dumpPackets)
{
    if (FShutDown)
        return;
    // A running cycle gives up its read at once (a peer may be sending a byte now
    // and then); waiting for it never takes longer than a connect attempt.
    Terminate();
    WaitForIdle();
    FShutDown = true;
    TMonitorWorker *w = FWorker;
    QMetaObject::invokeMethod(w, [w, &texts, dumpPackets]() {
            w->Close(texts, dumpPackets, true);
            w->Release();
        }, Qt::BlockingQueuedConnection);
    w->disconnect(this);
    // The thread's loop ends; wait for it with a local loop, not QThread::wait.
    QEventLoop loop;
    connect(FThread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    FThread->quit();
    if (!FThread->isFinished())
        loop.exec();
    // The thread has signalled its end; this only joins it (returns at once).
    FThread->wait();
    FWorker = nullptr; // deleted by the thread's finished signal
}

#include "MonitorThreadUnit.moc"
