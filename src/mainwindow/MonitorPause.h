#pragma once
// Pauses the monitoring hub's timer for the life of the guard (a reload of the lists
// the cycle reads). A cycle that runs meanwhile finishes on its own; its snapshot is
// not applied to a set that was reloaded. The timer runs again afterwards when it
// ran before.
#include <QPointer>

#include "mainwindow/MonitorHubUnit.h"

class TMonitorPause
{
public:
    explicit TMonitorPause(TMonitorHub *hub) : FHub(hub), FWasActive(hub->Pause()) {}
    ~TMonitorPause()
    {
        if (FHub)
            FHub->Resume(FWasActive);
    }
    TMonitorPause(const TMonitorPause &) = delete;
    TMonitorPause &operator=(const TMonitorPause &) = delete;

private:
    QPointer<TMonitorHub> FHub;
    bool FWasActive;
};
