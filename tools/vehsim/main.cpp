// vehsim: a bus-position server and a vehicle-position server on loopback whose
// fleets drive back and forth along Gangnam-daero and Teheran-ro of the demo city.
//   vehsim [--bus-port N] [--vehicle-port N] [--big-endian] [--period ms]
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <QtMath>
#include <cstdio>

#include "VehSim.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Bus-position and vehicle-position test servers"));
    p.addHelpOption();
    QCommandLineOption busPort(QStringLiteral("bus-port"), QStringLiteral("Bus-position port."), QStringLiteral("port"),
                               QStringLiteral("12030"));
    QCommandLineOption vehPort(QStringLiteral("vehicle-port"), QStringLiteral("Vehicle-position port."),
                               QStringLiteral("port"), QStringLiteral("12031"));
    QCommandLineOption big(QStringLiteral("big-endian"), QStringLiteral("Bus header fields most significant byte first."));
    QCommandLineOption period(QStringLiteral("period"), QStringLiteral("Fleet update period (ms)."), QStringLiteral("ms"),
                              QStringLiteral("1000"));
    p.addOptions({busPort, vehPort, big, period});
    p.process(app);

    vehsim::BusServer bus(p.isSet(big));
    vehsim::VehicleServer veh;
    QString error;
    if (!bus.start(quint16(p.value(busPort).toUInt()), &error) || !veh.start(quint16(p.value(vehPort).toUInt()), &error)) {
        std::fprintf(stderr, "vehsim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("vehsim: buses on %u, vehicles on %u\n", bus.port(), veh.port());
    std::fflush(stdout);

    int tick = 0;
    auto update = [&] {
        const double t = (tick++ % 120) / 120.0;
        const double s = 0.5 - 0.5 * qCos(2 * M_PI * t); // 0 .. 1 .. 0
        QList<vehsim::Bus> buses;
        // Gangnam-daero, south to north; Teheran-ro, west to east.
        buses << vehsim::Bus{"OBE-0140", "R140", qint32((37.4946 + 0.0150 * s) * 1e7), qint32(127.0276 * 1e7)};
        buses << vehsim::Bus{"OBE-0341", "R341", qint32(37.4995 * 1e7), qint32((127.0280 + 0.0220 * s) * 1e7)};
        bus.setBuses(buses);
        veh.setText(QStringLiteral("[350000000000001;%1;127.0300,350000000000002;37.5010;%2]")
                        .arg(37.4960 + 0.0120 * s, 0, 'f', 7)
                        .arg(127.0300 + 0.0180 * s, 0, 'f', 7));
    };
    update();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &app, update);
    timer.start(qMax(100, p.value(period).toInt()));
    return app.exec();
}
