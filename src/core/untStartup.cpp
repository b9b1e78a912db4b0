#include "untStartup.h"

#include <QApplication>

int RunConsole(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return 0;
}
