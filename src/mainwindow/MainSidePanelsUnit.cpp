#include "mainwindow/MainSidePanelsUnit.h"

#include <QThread>

#include "mainwindow/untEmergencyPanel.h"
#include "mainwindow/untMain.h"
#include "mainwindow/untTrafficInfoPanel.h"
#include "mainwindow/untVipPanel.h"

TMainSidePanels::TMainSidePanels(TfrmMain *main, const TMainWindowUi &ui) : QObject(main), FMain(main), FUi(ui)
{
    FUi.VipPanel->SetColorHooks([main](int state, int mode) { return main->GetLcStatusColor(state, mode); },
                                [main]() { return main->Legend().Status.Unused; });
    main->Hub()->RegisterMonitorView(mvkVipPanel, FUi.VipPanel);
    FUi.AppEmergencyPanel->SetCloseOtherPanels([this] { CloseOthers(FUi.AppEmergencyPanel); });
    // At shutdown the emergency panel closes when it is open.
    connect(main, &TfrmMain::formClosing, FUi.AppEmergencyPanel, &TAppEmergencyPanel::ClosePanel);
}

void TMainSidePanels::CloseOthers(QWidget *keep)
{
    if (keep != FUi.VipPanel && FUi.VipPanel && FUi.VipPanel->IsPanelOpen())
        FUi.VipPanel->SetPanelOpen(false);
    if (keep != FUi.TrafficInfoPanel && FUi.TrafficInfoPanel && FUi.TrafficInfoPanel->IsPanelOpen())
        actTrafficInfoCloseExecute();
    if (keep != FUi.AppEmergencyPanel && FUi.AppEmergencyPanel && FUi.AppEmergencyPanel->IsPanelOpen() && FUi.AppEmergencyPanel->CanToggle())
        FUi.AppEmergencyPanel->actAppEmergencyOpenExecute();
}

void TMainSidePanels::actOpenVIPControlExecute()
{
    if (!FUi.VipPanel || (FMain->MapBridge() && FMain->MapBridge()->IsLoading()))
        return;
    CloseOthers(FUi.VipPanel);
    // The emergency panel keeps the edge while it lists services or adds one.
    if (FUi.AppEmergencyPanel && FUi.AppEmergencyPanel->IsPanelOpen() && !FUi.AppEmergencyPanel->CanToggle())
        return;
    FUi.VipPanel->SetPanelOpen(!FUi.VipPanel->IsPanelOpen());
    QThread::msleep(100);
}

void TMainSidePanels::actOpenTrafficInfoExecute()
{
    if (!FUi.TrafficInfoPanel || (FMain->MapBridge() && FMain->MapBridge()->IsLoading()))
        return;
    CloseOthers(FUi.TrafficInfoPanel);
    if (FUi.AppEmergencyPanel && FUi.AppEmergencyPanel->IsPanelOpen() && !FUi.AppEmergencyPanel->CanToggle())
        return;
    FUi.TrafficInfoPanel->SetPanelOpen(!FUi.TrafficInfoPanel->IsPanelOpen());
}

void TMainSidePanels::actTrafficInfoCloseExecute()
{
    if (FUi.TrafficInfoPanel)
        FUi.TrafficInfoPanel->ClosePanel();
}

void TMainSidePanels::actAppEmergencyOpenExecute()
{
    if (!FUi.AppEmergencyPanel || !FUi.AppEmergencyPanel->CanToggle())
        return;
    FUi.AppEmergencyPanel->actAppEmergencyOpenExecute();
}
