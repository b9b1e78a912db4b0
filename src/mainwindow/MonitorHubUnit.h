#pragma once
// The monitoring hub: the state image, the live views and the monitoring cycle of
// the console, without a window. Once per monitoring period its timer hands a job
// (endpoint, snapshot of the live state set, texts) to the worker thread
// (TMonitorThread); the result comes back as a queued call and is applied here: the
// decoded snapshot goes into the live state set, the image becomes the current
// snapshot, and the views are refreshed in a fixed order. The user-interface thread
// never waits for the worker.
//
// The state image is shared: Image() is the current snapshot, and every view that
// keeps one keeps that image alive; a new image never frees one that is still read.
//
// Order of one refresh (RefreshViews):
//   1. the request glyph blinks (after an image);
//   2. stateShown(monitored): the main window's counters, group grid and markers;
//   3. the open intersection monitors (opening order);
//   4. the single views: group monitor, current events, whole system, state list,
//      VIP panel (those that want it);
//   5. monitorRefreshed(monitored).
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>

#include <memory>

#include "centrelink/RC2MMIUnit.h"
#include "core/MainContracts.h"
#include "mainwindow/MonitorThreadUnit.h"

class QTimer;
class QWidget;

class TMonitorHub : public QObject
{
    Q_OBJECT
public:
    // set: the live state set the hub refreshes (not owned; outlives the hub).
    explicit TMonitorHub(TLC_INFO_SET *set, QObject *parent = nullptr);
    ~TMonitorHub() override;

    // --- views -----------------------------------------------------------------------
    void RegisterMonitorView(TMonitorViewKind kind, IMonitorView *view);
    void UnregisterMonitorView(TMonitorViewKind kind, IMonitorView *view);
    IMonitorView *MonitorView(TMonitorViewKind kind) const;
    // The list of open intersection monitors (FTCDV_MList): one per intersection; a
    // monitor leaves it when it is destroyed.
    void AddLcMonitor(int lcNo, QWidget *window);
    void RemoveLcMonitor(int lcNo);
    QWidget *LcMonitor(int lcNo) const;
    // "number=window" lines, in opening order.
    QStringList LcMonitorList() const;
    // Forgets every view (the main window is going).
    void ClearViews();

    // --- state -----------------------------------------------------------------------
    // The current state image (all zero before the first one arrived); never null.
    TStateImageRef Image() const { return FImage; }
    const TTimeVal &PacketTime() const { return FPacketTime; }
    const TMonitorCounters &Counters() const { return FCounters; }
    const TMonitorGlyphs &Glyphs() const { return FGlyphs; }
    TLC_INFO_SET &LcInfoSet() const { return *FSet; }
    // Makes image the current one (a copy of it); the previous image lives on in the
    // views that still hold it.
    void ReplaceImage(const TST_VESK_STATE &image, const TTimeVal &time);
    TMonitorRefresh MakeRefresh(bool monitored) const;
    // What the latest refresh changed: the intersections whose decoded status differs
    // from the one before (ascending), or every intersection (AllLcsChanged) after a
    // failure, a reload of the set or before the first image; and whether the
    // counters changed. Views refresh only what changed.
    const QList<int> &ChangedLcs() const { return FChangedLcs; }
    bool AllLcsChanged() const { return FAllLcsChanged; }
    bool CountersChanged() const { return FCountersChanged; }

    // --- the cycle --------------------------------------------------------------------
    QTimer *Timer() const { return FTimer; }
    TMonitorThread *Thread() const { return FThread; }
    // A cycle runs (from its start until its result was applied).
    bool IsBusy() const { return FBusy; }
    // One tick of the timer (ttRCTimerTimer): starts a cycle unless one runs.
    void StartCycle();
    // Applies a finished cycle (OnCycleFinished) and refreshes the views.
    void ApplyResult(const std::shared_ptr<TMonitorCycleResult> &result);
    // Refreshes every view (after an image, or with monitored false after a failure).
    void RefreshViews(bool monitored);
    void SetGlyphs(const TMonitorGlyphs &glyphs);

    // Stops the timer for a reload; true when it was running. A cycle that is running
    // goes on: its snapshot is not applied when the set was reloaded meanwhile.
    bool Pause();
    void Resume(bool wasActive);
    // After the communication settings were changed: closes the connection and shows
    // every intersection as not monitored; the timer starts again.
    void RestartAfterSettingsChange(int period);
    // No further refresh (the main window closes); the thread ends with Shutdown.
    void SetClosed() { FClosed = true; }
    bool IsClosed() const { return FClosed; }
    void Shutdown();

signals:
    void glyphsChanged(const TMonitorGlyphs &glyphs);
    // One line of the monitoring-link log (with the packet dump in admin mode).
    void logLine(const QString &title, const QByteArray &packet);
    // Step 2 of a refresh: the main window's own display of the state.
    void stateShown(bool monitored);
    // Every refresh after an image (or a failure) has run.
    void monitorRefreshed(bool monitored);
    // A cycle has ended (after its refreshes).
    void idle();

private:
    void RefreshLcMonitors(bool monitored);

    TLC_INFO_SET *FSet;
    TStateImageRef FImage;
    TTimeVal FPacketTime;
    TMonitorCounters FCounters;
    QList<int> FChangedLcs;
    bool FAllLcsChanged = true;
    bool FCountersChanged = true;
    // The snapshot of the cycle before, whose storage the next cycle reuses.
    TLcStateSnapshot FSpareSnapshot;
    TMonitorGlyphs FGlyphs;
    QTimer *FTimer = nullptr;
    TMonitorThread *FThread = nullptr;
    bool FBusy = false;
    bool FClosed = false;
    QList<QPair<int, QPointer<QWidget>>> FLcMonitors;
    IMonitorView *FViews[mvkCount] = {};
};
