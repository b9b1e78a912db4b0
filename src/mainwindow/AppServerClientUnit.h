#pragma once
// The console's side of the local application server OvikAppSvr: starting it when
// its executable lies beside the program, and sending it one pipe command
// ("AppClose" at shutdown, "Reconnect" after the communication settings changed).
#include <QString>
#include <QStringList>

#include "foundation/AppServerPipe.h"

class QWidget;

struct TAppServerResult
{
    bool Connected = false; // the pipe could be opened
    bool Answered = false;  // an answer came back in time
    int ErrorCode = 0;      // the answer's code, or -1 no answer, -2 an unreadable answer
    QString Text;
    bool Ok() const { return Connected && Answered && ErrorCode == 0; }
};

class TAppServerClient
{
public:
    // "OvikAppSvr" (file name of the executable, no suffix on this system).
    static QString ExecutableName();
    // The executable's path in the program folder.
    static QString ExecutablePath(const QString &appDir);
    // Starts the server when its executable exists in appDir (detached, working folder
    // appDir). True when it was started (the main window's G_APP_SERVER).
    static bool StartIfPresent(const QString &appDir, const QStringList &arguments = {},
                               qint64 *pid = nullptr);
    // The server's arguments for the console's settings file (and pipe name).
    static QStringList ArgumentsFor(const QString &iniFile, const QString &pipeName = QString());

    // Connects (waiting at most connectTimeoutMs), sends one request whose identifier is
    // the current date and time and whose field "Command" holds the command, waits for
    // the answer and disconnects.
    static TAppServerResult SendCommand(const QString &command,
                                        const QString &pipeName = QLatin1String(AppServerPipe::DefaultName),
                                        int connectTimeoutMs = 500, int replyTimeoutMs = 5000);
};

// The main window's command to the server: nothing is shown when the pipe cannot be
// opened; when the request reports an error, DM->G_APP_SERVER becomes false and the
// information box "OvikAppSever program is not running" tells the code.
TAppServerResult SendAppServerCommand(QWidget *owner, const QString &command,
                                      const QString &pipeName = QLatin1String(AppServerPipe::DefaultName));

// The main window's start of the server at its first show: DM->G_APP_SERVER tells
// whether the executable beside the program was started (through the services'
// launcher when one is set). Nothing without a data module.
void StartMainAppServer();
// The main window's command to the server, through the services' sender when one is
// set (the same rules as SendAppServerCommand: nothing shown when the server cannot
// be reached; an error clears DM->G_APP_SERVER and shows its code).
void SendMainAppServerCommand(QWidget *owner, const QString &command);
