#include "control/ControlWindows.h"
#include "core/CoreWindows.h"
#include "core/untStartup.h"
#include "intersection/IntersectionWindows.h"
#include "mainwindow/LcMonitorHook.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/untMain.h"

int main(int argc, char *argv[])
{
    InitMapViewRuntime(); // before the application object exists
    // Every library registers the windows the main window's actions open.
    RegisterCoreWindows();
    RegisterControlWindows();
    RegisterIntersectionWindows();
    RegisterMainWindow();
    InstallLcMonitorFactory();
    return RunConsole(argc, argv);
}
