#pragma once
// The side panels at the map's right edge (VIP phase hold, traffic information,
// emergency vehicles): at most one is open; opening one closes the others, and
// none is toggled while the map page is loading or while the emergency panel
// lists services or adds one. Wires the built panels to the window: the VIP
// panel's colours follow the window's legend and its refresh is registered with
// the monitoring hub; the emergency panel closes at shutdown.
#include <QObject>

#include "mainwindow/MainWindowBuilder.h"

class TfrmMain;

class TMainSidePanels : public QObject
{
    Q_OBJECT
public:
    TMainSidePanels(TfrmMain *main, const TMainWindowUi &ui);

    // Closes every open panel but keep.
    void CloseOthers(QWidget *keep);
    void actOpenVIPControlExecute();
    void actOpenTrafficInfoExecute();
    void actTrafficInfoCloseExecute();
    void actAppEmergencyOpenExecute();

private:
    TfrmMain *FMain;
    const TMainWindowUi &FUi;
};
