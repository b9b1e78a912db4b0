#include <QAction>

#include "control/ControlWindows.h"
#include "core/CoreWindows.h"
#include "core/untStartup.h"
#include "intersection/IntersectionWindows.h"
#include "mainwindow/MainServices.h"
#include "mainwindow/LcMonitorHook.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/MvmtEditorHook.h"
#include "mainwindow/PlanSheetHook.h"
#include "mainwindow/untMain.h"
#include "plans/PlansWindows.h"
#include "transfer/TransferWindows.h"

int main(int argc, char *argv[])
{
    InitMapViewRuntime(); // before the application object exists
    // Every library registers the windows the main window's actions open.
    RegisterCoreWindows();
    RegisterControlWindows();
    RegisterIntersectionWindows();
    RegisterPlansWindows();
    RegisterTransferWindows();
    RegisterMainWindow();
    // The current-event window and the state list behind the status counters.
    TMainServices::Current().CurrentEventFactory = [](TfrmMain *m) { return CreateCurrentEventWindow(m, m); };
    TMainServices::Current().StateListOpener = [](TfrmMain *m, const TStateListFilter &filter) {
        if (QAction *a = m->Action(QStringLiteral("actOpenTCDV_M_State")))
            a->trigger();
        ApplyStateListFilter(filter);
    };
    InstallLcMonitorFactory();
    InstallMvmtEditor();
    InstallPlanSheet();
    return RunConsole(argc, argv);
}
