#pragma once
// The main window the benchmarks drive: 1600 x 1000 on screen, its map page a
// bridge that counts scripts without keeping them, and its monitoring timer
// stopped (the benchmark calls each cycle itself).
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/untMain.h"

struct TBenchMainWindow
{
    TRecordingMapBridge Bridge;
    TfrmMain Window;

    TBenchMainWindow() : Window(nullptr, Quiet(&Bridge))
    {
        Window.resize(1600, 1000);
        Window.show();
        Window.Hub()->Timer()->stop();
    }

private:
    // The bridge stops keeping scripts before the window first uses it.
    static TRecordingMapBridge *Quiet(TRecordingMapBridge *bridge)
    {
        bridge->SetRecording(false);
        return bridge;
    }
};
