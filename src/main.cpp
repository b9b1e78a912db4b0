#include "MapViewControllerUnit.h"
#include "untMain.h"
#include "untStartup.h"

int main(int argc, char *argv[])
{
    InitMapViewRuntime(); // before the application object exists
    RegisterMainWindow();
    return RunConsole(argc, argv);
}
