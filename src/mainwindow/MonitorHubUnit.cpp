#include "mainwindow/MonitorHubUnit.h"

#include <QTimer>
#include <QWidget>

#include "core/InAppMessage.h"
#include "core/untDM.h"

namespace {

TStateImageRef ZeroImage()
{
    auto image = std::make_shared<TST_VESK_STATE>();
    std::memset(static_cast<void *>(image.get()), 0, sizeof(TST_VESK_STATE));
    return image;
}

} // namespace

TMonitorHub::TMonitorHub(TLC_INFO_SET *set, QObject *parent) : QObject(parent), FSet(set), FImage(ZeroImage())
{
    FTimer = new QTimer(this);
    FTimer->setObjectName(QStringLiteral("ttRCTimer"));
    FTimer->setInterval(500);
    connect(FTimer, &QTimer::timeout, this, &TMonitorHub::StartCycle);
    FThread = new TMonitorThread(this);
    connect(FThread, &TMonitorThread::begin, this, [this] { FBusy = true; });
    connect(FThread, &TMonitorThread::logLine, this, &TMonitorHub::logLine);
    connect(FThread, &TMonitorThread::glyphsChanged, this, [this](int c, int q, int r) {
        TMonitorGlyphs g;
        g.Connection = c;
        g.Request = q;
        g.Receive = r;
        SetGlyphs(g);
    });
    connect(FThread, &TMonitorThread::cycleFinished, this, &TMonitorHub::ApplyResult);
    connect(FThread, &TMonitorThread::idle, this, [this] {
        FBusy = false;
        emit idle();
    });
}

TMonitorHub::~TMonitorHub() { Shutdown(); }

// ---------------------------------------------------------------------------
// Views
// ---------------------------------------------------------------------------

void TMonitorHub::RegisterMonitorView(TMonitorViewKind kind, IMonitorView *view)
{
    if (kind >= 0 && kind < mvkCount)
        FViews[kind] = view;
}

void TMonitorHub::UnregisterMonitorView(TMonitorViewKind kind, IMonitorView *view)
{
    if (kind >= 0 && kind < mvkCount && FViews[kind] == view)
        FViews[kind] = nullptr;
}

IMonitorView *TMonitorHub::MonitorView(TMonitorViewKind kind) const
{
    return kind >= 0 && kind < mvkCount ? FViews[kind] : nullptr;
}

void TMonitorHub::AddLcMonitor(int lcNo, QWidget *window)
{
    for (auto &e : FLcMonitors)
        if (e.first == lcNo) {
            e.second = window;
            return;
        }
    FLcMonitors.append({lcNo, QPointer<QWidget>(window)});
    if (window)
        connect(window, &QObject::destroyed, this, [this, lcNo, window]() {
            for (int i = 0; i < FLcMonitors.size(); ++i)
                if (FLcMonitors[i].first == lcNo && (!FLcMonitors[i].second || FLcMonitors[i].second == window)) {
                    FLcMonitors.removeAt(i);
                    break;
                }
        });
}

void TMonitorHub::RemoveLcMonitor(int lcNo)
{
    for (int i = 0; i < FLcMonitors.size(); ++i)
        if (FLcMonitors[i].first == lcNo) {
            FLcMonitors.removeAt(i);
            return;
        }
}

QWidget *TMonitorHub::LcMonitor(int lcNo) const
{
    for (const auto &e : FLcMonitors)
        if (e.first == lcNo)
            return e.second.data();
    return nullptr;
}

QStringList TMonitorHub::LcMonitorList() const
{
    QStringList out;
    for (const auto &e : FLcMonitors)
        out << QStringLiteral("%1=%2").arg(e.first).arg(reinterpret_cast<quintptr>(e.second.data()));
    return out;
}

void TMonitorHub::ClearViews()
{
    for (auto &v : FViews)
        v = nullptr;
    // Open intersection monitors no longer report their end to the hub.
    for (const auto &e : std::as_const(FLcMonitors))
        if (e.second)
            disconnect(e.second.data(), nullptr, this, nullptr);
    FLcMonitors.clear();
}

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

void TMonitorHub::ReplaceImage(const TST_VESK_STATE &image, const TTimeVal &time)
{
    FImage = std::make_shared<const TST_VESK_STATE>(image);
    FPacketTime = time;
}

TMonitorRefresh TMonitorHub::MakeRefresh(bool monitored) const
{
    TMonitorRefresh r;
    r.Image = FImage;
    r.LcInfoSet = FSet;
    r.PacketSeconds = FPacketTime.tv_sec;
    r.PacketMicroseconds = FPacketTime.tv_usec;
    r.PacketDateTime = RcPacketTimeToDateTime(FPacketTime.tv_sec);
    r.Monitored = monitored;
    r.RefreshMovements = TInAppMessageHolder::instance()->Flags().REFRESH_MVMT_TCDV_M;
    r.ChangedLcNos = FChangedLcs;
    r.AllLcsChanged = FAllLcsChanged || !monitored;
    return r;
}

void TMonitorHub::SetGlyphs(const TMonitorGlyphs &glyphs)
{
    FGlyphs = glyphs;
    emit glyphsChanged(glyphs);
}

// ---------------------------------------------------------------------------
// The cycle
// ---------------------------------------------------------------------------

void TMonitorHub::StartCycle()
{
    if (FClosed || FThread->Busy() || !DM)
        return;
    auto job = std::make_shared<TMonitorJob>();
    job->Endpoint.host = DM->G_HOST;
    job->Endpoint.port = DM->G_RC_MNTR_PORT;
    job->Endpoint.connectTimeout = DM->G_CONNECTION_TIMEOUT;
    job->Endpoint.readTimeout = DM->G_READ_TIMEOUT;
    job->Endpoint.closePause = 100;
    FSet->TakeSnapshot(FSpareSnapshot);
    job->Snapshot = std::move(FSpareSnapshot);
    FSpareSnapshot = TLcStateSnapshot();
    job->Texts = TMonitorTexts::FromLanguage();
    job->DumpPackets = DM->G_ADMIN_MODE;
    FThread->Start(std::move(job));
}

void TMonitorHub::ApplyResult(const std::shared_ptr<TMonitorCycleResult> &result)
{
    if (!result)
        return;
    SetGlyphs(result->Glyphs);
    int interval = DM ? DM->G_RC_MNTR_PERIOD : FTimer->interval();
    switch (result->Outcome) {
    case moImage:
        // The set is applied only when it was not reloaded while the cycle ran.
        FChangedLcs.clear();
        if (result->Snapshot.generation == FSet->Generation()) {
            FSet->ApplySnapshot(result->Snapshot, &FChangedLcs);
            FAllLcsChanged = false;
        } else {
            FAllLcsChanged = true;
        }
        FSpareSnapshot = std::move(result->Snapshot);
        if (result->Image)
            ReplaceImage(*result->Image, result->PacketTime);
        else
            FPacketTime = result->PacketTime;
        FCountersChanged = !(FCounters == result->Counters);
        FCounters = result->Counters;
        break;
    case moExchangeFailed:
        FSet->InitLC();
        FChangedLcs.clear();
        FAllLcsChanged = true;
        break;
    case moConnectFailed:
        if (DM)
            interval = DM->G_RC_MNTR_RETRYPERIOD;
        FSet->InitLC();
        FChangedLcs.clear();
        FAllLcsChanged = true;
        break;
    case moTerminated:
        return;
    }
    // Only a changed period restarts the timer; otherwise cycles keep their rhythm.
    if (FTimer->interval() != interval)
        FTimer->setInterval(interval);
    if (FClosed)
        return;
    RefreshViews(result->Outcome == moImage);
}

void TMonitorHub::RefreshViews(bool monitored)
{
    // 1. The request glyph blinks once per image.
    if (monitored) {
        TMonitorGlyphs g = FGlyphs;
        g.Request = g.Request == TMonitorGlyphs::ReqIdle ? TMonitorGlyphs::ReqToggled : TMonitorGlyphs::ReqIdle;
        SetGlyphs(g);
    }
    // 2. The main window's counters, group grid and markers.
    emit stateShown(monitored);
    // 3. The open intersection monitors.
    RefreshLcMonitors(monitored);
    // 4 to 8. Group monitor, current events, whole system, state list, VIP panel.
    const TMonitorRefresh refresh = MakeRefresh(monitored);
    for (int k = 0; k < mvkCount; ++k) {
        IMonitorView *v = FViews[k];
        if (v && v->WantsRefresh())
            v->RefreshFromImage(refresh);
    }
    emit monitorRefreshed(monitored);
}

void TMonitorHub::RefreshLcMonitors(bool monitored)
{
    if (FLcMonitors.isEmpty())
        return;
    const TMonitorRefresh refresh = MakeRefresh(monitored);
    // A monitor may close itself while it refreshes: the list is walked as it stood.
    const QList<QPair<int, QPointer<QWidget>>> list = FLcMonitors;
    for (const auto &e : list)
        if (auto *v = dynamic_cast<IMonitorView *>(e.second.data()))
            v->RefreshFromImage(refresh);
    TInAppMessageHolder::instance()->Flags().REFRESH_MVMT_TCDV_M = false;
}

// ---------------------------------------------------------------------------
// Pausing and ending
// ---------------------------------------------------------------------------

bool TMonitorHub::Pause()
{
    const bool wasActive = FTimer->isActive();
    FTimer->stop();
    return wasActive;
}

void TMonitorHub::Resume(bool wasActive)
{
    if (wasActive && !FClosed)
        FTimer->start();
}

void TMonitorHub::RestartAfterSettingsChange(int period)
{
    FTimer->stop();
    FThread->CloseConnection(TMonitorTexts::FromLanguage(), DM && DM->G_ADMIN_MODE);
    FSet->InitLC();
    FChangedLcs.clear();
    FAllLcsChanged = true;
    RefreshViews(false);
    TMonitorGlyphs g = FGlyphs;
    g.Request = TMonitorGlyphs::ReqIdle;
    g.Receive = TMonitorGlyphs::RcvIdle;
    SetGlyphs(g);
    FTimer->setInterval(period);
    if (!FClosed)
        FTimer->start();
}

void TMonitorHub::Shutdown()
{
    FClosed = true;
    FTimer->stop();
    if (!FThread->IsShutDown())
        FThread->Shutdown(TMonitorTexts::FromLanguage(), DM && DM->G_ADMIN_MODE);
}
