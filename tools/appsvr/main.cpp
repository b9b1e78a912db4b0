// OvikAppSvr: the console's local application server.
//   OvikAppSvr [--ini FILE] [--port N] [--pipe NAME]
// Reads the database settings and the application port (COM-ENV APP_CTRL_PORT) from
// the console's settings file (default: signal-console.ini beside this program); a
// --port given on the command line wins. Ends on the pipe command "AppClose".
#include "AppSvrUnit.h"
#include "foundation/DbConnection.h"
#include "foundation/IniFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("OvikAppSvr"));

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption iniOpt(QStringLiteral("ini"), QStringLiteral("Settings file of the console."), QStringLiteral("file"));
    QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("Application port."), QStringLiteral("port"));
    QCommandLineOption pipeOpt(QStringLiteral("pipe"), QStringLiteral("Pipe name."), QStringLiteral("name"),
                               QLatin1String(AppServerPipe::DefaultName));
    parser.addOptions({iniOpt, portOpt, pipeOpt});
    parser.process(app);

    QString iniDir = QCoreApplication::applicationDirPath();
    QString program = QStringLiteral("signal-console");
    if (parser.isSet(iniOpt)) {
        const QFileInfo fi(parser.value(iniOpt));
        iniDir = fi.absolutePath();
        program = fi.completeBaseName();
    }
    const TIniFile ini(QDir(iniDir).filePath(program + QStringLiteral(".ini")));
    const QString env = QStringLiteral("COM-ENV");
    int port = ini.ReadInteger(env, "APP_CTRL_PORT", 12022);
    const int timeoutSeconds = qMax(1, ini.ReadInteger(env, "DB_CONNECTION_TIMEOUT", 3));
    if (parser.isSet(portOpt)) {
        bool ok = false;
        const int p = parser.value(portOpt).toInt(&ok);
        if (ok && p > 0 && p < 65536)
            port = p;
    }

    TOvikAppServer server(TDBConnectionFactory(ReadDBSettings(ini), timeoutSeconds));
    QString error;
    if (!server.Start(quint16(port), parser.value(pipeOpt), &error)) {
        qCritical("OvikAppSvr: %s", qPrintable(error));
        return 1;
    }
    QObject::connect(&server, &TOvikAppServer::closeRequested, &app, &QCoreApplication::quit);
    qInfo("OvikAppSvr: port %d, pipe %s", int(server.Port()), qPrintable(server.PipeName()));
    return app.exec();
}
