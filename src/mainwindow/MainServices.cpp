#include "mainwindow/MainServices.h"

TMainServices &TMainServices::Current()
{
    static TMainServices services;
    return services;
}
