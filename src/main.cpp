#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/untMain.h"
#include "core/untStartup.h"

int main(int argc, char *argv[])
{
    InitMapViewRuntime(); // before the application object exists
    RegisterMainWindow();
    return RunConsole(argc, argv);
}
