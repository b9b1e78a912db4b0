#include "mainwindow/AppServerClientUnit.h"

#include "core/Quorval.h"
#include "core/untDM.h"
#include "mainwindow/MainServices.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QWidget>

QString TAppServerClient::ExecutableName()
{
    return QStringLiteral("OvikAppSvr");
}

QString TAppServerClient::ExecutablePath(const QString &appDir)
{
    return QDir(appDir).filePath(ExecutableName());
}

bool TAppServerClient::StartIfPresent(const QString &appDir, const QStringList &arguments, qint64 *pid)
{
    const QString path = ExecutablePath(appDir);
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile() || !fi.isExecutable())
        return false;
    return QProcess::startDetached(path, arguments, appDir, pid);
}

QStringList TAppServerClient::ArgumentsFor(const QString &iniFile, const QString &pipeName)
{
    QStringList args;
    if (!iniFile.isEmpty())
        args << QStringLiteral("--ini") << iniFile;
    if (!pipeName.isEmpty())
        args << QStringLiteral("--pipe") << pipeName;
    return args;
}

TAppServerResult TAppServerClient::SendCommand(const QString &command, const QString &pipeName,
                                               int connectTimeoutMs, int replyTimeoutMs)
{
    TAppServerResult r;
    QLocalSocket socket;
    socket.connectToServer(pipeName);
    if (!socket.waitForConnected(connectTimeoutMs))
        return r;
    r.Connected = true;

    AppServerPipe::TRequest req;
    req.Id = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    req.Fields.insert(QStringLiteral("Command"), command);
    socket.write(AppServerPipe::EncodeRequest(req));
    socket.flush();

    QByteArray buffer;
    QElapsedTimer timer;
    timer.start();
    while (!buffer.contains('\n')) {
        const int left = replyTimeoutMs - int(timer.elapsed());
        if (left <= 0)
            break;
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(left)) {
            buffer += socket.readAll();
            break; // closed or timed out
        }
        buffer += socket.readAll();
    }
    if (!buffer.contains('\n')) {
        r.ErrorCode = -1;
    } else {
        AppServerPipe::TReply reply;
        if (AppServerPipe::DecodeReply(buffer.left(buffer.indexOf('\n')), &reply)) {
            r.Answered = true;
            r.ErrorCode = reply.Error;
            r.Text = reply.Text;
        } else {
            r.ErrorCode = -2;
        }
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(200);
    return r;
}

TAppServerResult SendAppServerCommand(QWidget *owner, const QString &command, const QString &pipeName)
{
    const TAppServerResult r = TAppServerClient::SendCommand(command, pipeName);
    if (r.Connected && !r.Ok()) {
        if (DM)
            DM->G_APP_SERVER = false;
        ShowMsgDlg(owner, DM ? DM->G_APP_TITLE : QString(), QStringLiteral("OvikAppSever program is not running"),
                   QStringLiteral("App Server Running"), QStringLiteral("Error: Code %1").arg(r.ErrorCode),
                   mkInformation);
    }
    return r;
}

void StartMainAppServer()
{
    if (!DM)
        return;
    DM->G_APP_SERVER = false;
    if (QFileInfo::exists(TAppServerClient::ExecutablePath(DM->G_APP_PATH))) {
        DM->G_APP_SERVER = TMainServices::Current().AppServerLauncher
            ? TMainServices::Current().AppServerLauncher(TAppServerClient::ExecutablePath(DM->G_APP_PATH))
            : TAppServerClient::StartIfPresent(DM->G_APP_PATH, TAppServerClient::ArgumentsFor(DM->IniFileName()));
    }
}

void SendMainAppServerCommand(QWidget *owner, const QString &command)
{
    if (!TMainServices::Current().AppServerSender) {
        SendAppServerCommand(owner, command);
        return;
    }
    bool connected = false;
    const int error = TMainServices::Current().AppServerSender(command, &connected);
    if (!connected || error == 0)
        return; // nothing is shown when the server cannot be reached
    if (DM)
        DM->G_APP_SERVER = false;
    ShowMsgDlg(owner, DM ? DM->G_APP_TITLE : owner->windowTitle(), QStringLiteral("OvikAppSever program is not running"),
               QStringLiteral("App Server Running"), QStringLiteral("Error: Code %1").arg(error), mkInformation);
}
