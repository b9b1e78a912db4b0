#pragma once
// The program's entry sequence: single-instance guard, data module (settings,
// language, database, schema check), login, main window, message loop.
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QLocalServer;

// The main window is created through this hook after a successful login (the main
// window's unit installs it). Without a factory a plain window titled with the
// application's title stands in. The returned window is shown and deleted at the end.
void SetMainWindowFactory(std::function<QWidget *()> factory);

// Runs the console; returns the program's exit code.
//  0: the message loop ended, the login was cancelled or failed, or a second
//     instance was refused (it shows "... is already running." and wakes the first);
//  1: no database connection or a failed schema check, a settings file that is
//     missing or names no database, or a password key file that others can read
//     (the reason was shown; nothing is written into the program folder).
// Environment:
//  SC_APP_DIR      program folder holding the settings file and res/ (default: the
//                  executable's folder);
//  SC_MSGDLG_LOG   file that message boxes are appended to instead of being shown
//                  (one line each: kind, title, text, caption, detail separated by
//                  tabs); questions are answered with SC_MSGDLG_ANSWER (default 7, No).
int RunConsole(int argc, char *argv[]);

// A settings file is complete when it says which database to use: a DBMS_TYPE in
// [DBMS] or one of the sections [ORACLE], [TIBERO], [MARIADB].
enum class TSettingsFileState { Complete, Missing, Incomplete };
TSettingsFileState CheckSettingsFile(const QString &iniFile);

// Name of the single-instance channel of a program folder (one instance per folder
// and user).
QString InstanceServerName(const QString &appDir);
// The message the first instance receives when a second one starts.
constexpr int InstanceNotifyValue = 1004;

// At most one running instance per program folder and user: a lock file decides,
// a local server lets a later instance wake the first.
class TAppInstances : public QObject
{
    Q_OBJECT
public:
    explicit TAppInstances(const QString &appDir, QObject *parent = nullptr);
    ~TAppInstances() override;
    // This is the first (the only running) instance.
    bool Primary() const { return FPrimary; }
    // The window the first instance brings to the front when woken (default: the
    // modal dialog open at that moment, e.g. the login).
    void SetMainWindow(QWidget *w);
    // Second instance: wakes the first with `value`.
    void Notify(int value);

signals:
    // The first instance was woken by a second one (w: the window brought to the
    // front, null when there was none).
    void UserNotified(QWidget *w);

private:
    // Restores a minimised window and brings it to the front.
    void JvAppInstancesUserNotify();

    QString FName;
    QLockFile FLock;
    bool FPrimary = false;
    QLocalServer *FServer = nullptr;
    QPointer<QWidget> FMain;
};
