// rcsim: the centre-server simulator as a program.
//   rcsim --mntr-port N --ctrl-port M [--big-endian] [--scenario FILE] [--capture FILE]
//         [--control FILE] [--speed X]
//         [--ctrl-db NAME [--db-socket PATH | --db-host H --db-port P] [--db-user U]
//          [--db-password W] [--seed FILE]]
// With --ctrl-db the simulator keeps the controller database (RcCtrlDb.h) and reads
// the centre rows of its downloads from database NAME.
// Runs until stopped (quit on stdin, a signal). Failure modes are switched at run
// time by commands on stdin or in the control file (see --help).
#include "RcCtrlDb.h"
#include "RcSim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rcsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Centre-server simulator: serves state images on the monitoring port, answers\n"
                       "the console's requests on the control port, records what it receives and\n"
                       "fails on command.\n\n")
        + rcsim::RcSim::commandHelp());
    parser.addHelpOption();
    const QCommandLineOption mntrPort(QStringLiteral("mntr-port"),
                                      QStringLiteral("Monitoring port (0: any free port; the same number as the\n"
                                                     "control port: one port for both, as the console's defaults)."),
                                      QStringLiteral("N"), QStringLiteral("12000"));
    const QCommandLineOption ctrlPort(QStringLiteral("ctrl-port"),
                                      QStringLiteral("Control port (0: any free port)."), QStringLiteral("M"),
                                      QStringLiteral("12000"));
    const QCommandLineOption bigEndian(QStringLiteral("big-endian"),
                                       QStringLiteral("Header fields and group numbers in big-endian order."));
    const QCommandLineOption scenario(QStringLiteral("scenario"),
                                      QStringLiteral("Scenario file (default: the built-in scenario)."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption capture(QStringLiteral("capture"),
                                     QStringLiteral("Append every received packet to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption control(QStringLiteral("control"),
                                     QStringLiteral("Control file: its lines are run as commands whenever it changes."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Scenario seconds per real second (default 1)."),
                                   QStringLiteral("X"), QStringLiteral("1"));
    const QCommandLineOption printScenario(QStringLiteral("print-scenario"),
                                           QStringLiteral("Print the built-in scenario and exit."));
    const QCommandLineOption ctrlDb(QStringLiteral("ctrl-db"),
                                    QStringLiteral("Centre database whose rows the controller downloads read."),
                                    QStringLiteral("name"));
    const QCommandLineOption dbSocket(QStringLiteral("db-socket"), QStringLiteral("Database server socket."),
                                      QStringLiteral("path"));
    const QCommandLineOption dbHost(QStringLiteral("db-host"), QStringLiteral("Database server host."),
                                    QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption dbPort(QStringLiteral("db-port"), QStringLiteral("Database server port."),
                                    QStringLiteral("port"), QStringLiteral("3306"));
    const QCommandLineOption dbUser(QStringLiteral("db-user"), QStringLiteral("Database user."),
                                    QStringLiteral("user"));
    const QCommandLineOption dbPassword(QStringLiteral("db-password"), QStringLiteral("Database password."),
                                        QStringLiteral("password"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed file of the controller database (\"db set\" lines)."),
                                  QStringLiteral("file"));
    parser.addOptions({mntrPort, ctrlPort, bigEndian, scenario, capture, control, speed, printScenario, ctrlDb,
                       dbSocket, dbHost, dbPort, dbUser, dbPassword, seed});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (parser.isSet(printScenario)) {
        out << rcsim::Scenario::builtInText();
        return 0;
    }

    rcsim::Options options;
    bool ok1 = false, ok2 = false, ok3 = false;
    const int m = parser.value(mntrPort).toInt(&ok1);
    const int c = parser.value(ctrlPort).toInt(&ok2);
    options.speed = parser.value(speed).toDouble(&ok3);
    if (!ok1 || !ok2 || !ok3 || m < 0 || m > 65535 || c < 0 || c > 65535 || options.speed <= 0) {
        err << "rcsim: bad port or speed\n";
        return 2;
    }
    options.mntrPort = quint16(m);
    options.ctrlPort = quint16(c);
    options.bigEndian = parser.isSet(bigEndian);
    options.scenarioFile = parser.value(scenario);
    options.captureFile = parser.value(capture);

    rcsim::RcSim sim(options);
    QString error;
    std::unique_ptr<rcsim::ControllerDb> controllers;
    if (parser.isSet(ctrlDb) || parser.isSet(seed)) {
        rcsim::CtrlDbSource source;
        source.database = parser.value(ctrlDb);
        source.socket = parser.value(dbSocket);
        source.host = parser.value(dbHost);
        source.port = parser.value(dbPort).toInt();
        source.user = parser.value(dbUser);
        source.password = parser.value(dbPassword);
        controllers = std::make_unique<rcsim::ControllerDb>(source);
        controllers->install(sim);
        if (parser.isSet(seed) && !controllers->loadSeed(parser.value(seed), &error)) {
            err << "rcsim: " << error << "\n";
            return 2;
        }
    }
    if (!sim.start(&error)) {
        err << "rcsim: " << error << "\n";
        return 1;
    }
    out << "rcsim: monitoring port " << sim.mntrPort() << ", control port " << sim.ctrlPort() << ", "
        << (options.bigEndian ? "big-endian" : "little-endian") << Qt::endl;

    auto run = [&](const QString &line) {
        QString answer;
        bool quit = false;
        sim.execCommand(line, &answer, &quit);
        if (!answer.isEmpty())
            out << answer << Qt::endl;
        if (quit)
            QCoreApplication::quit();
    };

    // Commands on stdin; the end of stdin does not stop the simulator.
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, &app, [&] {
        char buf[1024];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            stdinNotifier.setEnabled(false);
            return;
        }
        pending.append(buf, int(n));
        int eol;
        while ((eol = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(eol)).trimmed();
            pending.remove(0, eol + 1);
            if (!line.isEmpty())
                run(line);
        }
    });

    // The control file, looked at every 300 ms.
    QTimer controlTimer;
    QDateTime lastModified;
    qint64 lastSize = -1;
    const QString controlFile = parser.value(control);
    if (!controlFile.isEmpty()) {
        QObject::connect(&controlTimer, &QTimer::timeout, &app, [&] {
            const QFileInfo info(controlFile);
            if (!info.exists())
                return;
            if (info.lastModified() == lastModified && info.size() == lastSize)
                return;
            lastModified = info.lastModified();
            lastSize = info.size();
            QFile f(controlFile);
            if (!f.open(QIODevice::ReadOnly))
                return;
            const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
            for (const QString &line : lines) {
                const QString t = line.trimmed();
                if (!t.isEmpty() && !t.startsWith(QLatin1Char('#')))
                    run(t);
            }
        });
        controlTimer.start(300);
    }

    const int rc = app.exec();
    sim.stop();
    return rc;
}
