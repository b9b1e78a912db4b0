#include "core/untStartup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMainWindow>
#include <QPointer>
#include <QStandardPaths>
#include <QTextStream>

#include "foundation/IniFile.h"
#include "foundation/QuorvalCipher.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untLogin.h"

namespace {

std::function<QWidget *()> &mainWindowFactory()
{
    static std::function<QWidget *()> f;
    return f;
}

// Message boxes appended to a file (SC_MSGDLG_LOG) instead of being shown.
class TMsgDlgLogService : public TMsgDlgService
{
public:
    TMsgDlgLogService(const QString &file, int answer) : FFile(file), FAnswer(answer) {}
    int Execute(const TMsgDlgRequest &r) override
    {
        auto flat = [](QString s) {
            return s.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                .replace(QLatin1Char('\n'), QLatin1String("\\n"))
                .replace(QLatin1Char('\t'), QLatin1String("\\t"));
        };
        QFile f(FFile);
        if (f.open(QIODevice::Append | QIODevice::Text)) {
            const QString line = QString::number(int(r.kind)) + QLatin1Char('\t') + flat(r.title)
                + QLatin1Char('\t') + flat(r.text) + QLatin1Char('\t') + flat(r.caption)
                + QLatin1Char('\t') + flat(r.detail) + QLatin1Char('\n');
            f.write(line.toUtf8());
        }
        return r.kind == mkQuestion ? FAnswer : mrOk;
    }

private:
    QString FFile;
    int FAnswer;
};

// The application object: a last-resort handler shows an exception that escaped a
// slot or an event handler and carries on.
class TConsoleApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            report(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            report(QStringLiteral("unknown exception"));
        }
        return false;
    }

private:
    void report(const QString &detail)
    {
        static bool inside = false;
        if (inside)
            return;
        inside = true;
        ShowMsgDlg(activeWindow(), DM ? DM->G_APP_TITLE : applicationName(),
                   siText(QStringLiteral("TDM"), QStringLiteral("strExceptionMsg")),
                   siText(QStringLiteral("TDM"), QStringLiteral("strExceptionCaption")), detail,
                   mkError);
        inside = false;
    }
};

// Loads the language file that the settings name, without writing defaults back
// (the file may be missing).
TsiLangDispatcher *loadLanguageAsSet(const QString &appDir, const QString &programName)
{
    TIniFile ini(QDir(appDir).filePath(programName + QStringLiteral(".ini")));
    QString sil = ini.ReadString(QStringLiteral("L10N"), QStringLiteral("SIL_FILE"), QString());
    if (sil.isEmpty())
        sil = programName + QStringLiteral(".sil");
    QString language = ini.ReadString(QStringLiteral("L10N"), QStringLiteral("LANGUAGE"), QString());
    if (language.isEmpty())
        language = QStringLiteral("Korean");
    TsiLangDispatcher *d = TsiLangDispatcher::instance();
    d->LoadFromFile(QDir(appDir).filePath(QStringLiteral("res/") + sil));
    d->SetActiveLanguage(TsiLangDispatcher::LanguageFromName(language));
    return d;
}

// The second instance's work before it ends: style and language as the settings
// say (no defaults written), then the already-running box.
void JvAppInstancesRejected(const QString &appDir, const QString &programName)
{
    TIniFile ini(QDir(appDir).filePath(programName + QStringLiteral(".ini")));
    ApplyVisualStyle(ini.ReadString(QStringLiteral("COM-ENV"), QStringLiteral("THEME_NAME"),
                                    QStringLiteral("Windows")));
    TsiLangDispatcher *d = loadLanguageAsSet(appDir, programName);
    const QString title = d->Text(QStringLiteral("TDM"), QStringLiteral("strAPP_TITLE"));
    ShowMsgDlg(nullptr, title, title + d->Text(QStringLiteral("TDM"), QStringLiteral("IDS_6")),
               d->Text(QStringLiteral("TDM"), QStringLiteral("IDS_7")), QString(), mkInformation);
}

// What must be in place before the data module starts: a settings file that says
// which database to use (without it the data module would write a stub and try a
// database that was never configured) and a password key that only its owner can
// read. False after the reason was shown.
bool CheckBeforeStart(const QString &appDir, const QString &programName)
{
    const QString iniFile = QDir(appDir).filePath(programName + QStringLiteral(".ini"));
    const TSettingsFileState state = CheckSettingsFile(iniFile);
    QString perms;
    const QString keyFile = PasswordKeyFile();
    const bool keyPrivate = state != TSettingsFileState::Complete
        || PasswordKeyFileIsPrivate(keyFile, &perms);
    if (state == TSettingsFileState::Complete && keyPrivate)
        return true;
    TsiLangDispatcher *d = loadLanguageAsSet(appDir, programName);
    auto text = [d](const char *key) { return d->Text(QStringLiteral("TDM"), QLatin1StringView(key)); };
    const QString title = text("strAPP_TITLE");
    if (state != TSettingsFileState::Complete) {
        const QString reason = text(state == TSettingsFileState::Missing ? "strSettingsNoFile"
                                                                         : "strSettingsNoDb");
        ShowMsgDlg(nullptr, title,
                   text("strSettingsMissing") + QLatin1Char('\n') + QDir::toNativeSeparators(iniFile),
                   text("strSettingsCaption"), reason, mkError);
        return false;
    }
    ShowMsgDlg(nullptr, title, text("strKeyFileOpen") + QLatin1Char('\n') + QDir::toNativeSeparators(keyFile),
               text("strKeyFileCaption"), perms, mkError);
    return false;
}

void applyLanguageFont()
{
    QFont f = QApplication::font();
    f.setFamily(TsiLangDispatcher::instance()->ActiveFontFamily());
    QApplication::setFont(f);
}

QWidget *createPlaceholderMainWindow()
{
    auto *w = new QMainWindow;
    w->setObjectName(QStringLiteral("frmMain"));
    auto *label = new QLabel(w);
    label->setAlignment(Qt::AlignCenter);
    w->setCentralWidget(label);
    auto retranslate = [w, label]() {
        w->setWindowTitle(DM->G_APP_TITLE);
        label->setText(DM->G_APP_USER.Name + QStringLiteral(" (") + DM->G_APP_USER.RoleName
                       + QStringLiteral(")"));
    };
    siOnLanguageChanged(w, retranslate);
    w->resize(1024, 700);
    return w;
}

} // namespace

TAppInstances::TAppInstances(const QString &appDir, QObject *parent)
    : QObject(parent),
      FName(InstanceServerName(appDir)),
      FLock(QDir(QDir::tempPath()).filePath(FName + QStringLiteral(".lock")))
{
    FLock.setStaleLockTime(0);
    // A running first instance answers on its channel: that settles it even
    // when the lock file cannot tell (a lock taken over as stale, say).
    auto firstAnswers = [this](int ms) {
        QLocalSocket probe;
        probe.connectToServer(FName);
        const bool answered = probe.waitForConnected(ms);
        if (answered)
            probe.disconnectFromServer();
        return answered;
    };
    if (firstAnswers(1500)) {
        FPrimary = false;
        return;
    }
    FPrimary = FLock.tryLock(200);
    if (!FPrimary)
        return;
    // Asked again before the channel is taken over: a first instance that answers
    // now (a slow machine, a lock file read as stale) keeps running alone.
    if (firstAnswers(500)) {
        FLock.unlock();
        FPrimary = false;
        return;
    }
    QLocalServer::removeServer(FName);
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer->listen(FName))
        qWarning("single-instance channel %s: %s", qPrintable(FName), qPrintable(FServer->errorString()));
    connect(FServer, &QLocalServer::newConnection, this, [this]() {
        while (QLocalSocket *s = FServer->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s]() {
                const int value = QString::fromUtf8(s->readAll()).trimmed().toInt();
                if (value == InstanceNotifyValue)
                    JvAppInstancesUserNotify();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
}

TAppInstances::~TAppInstances() = default;

void TAppInstances::SetMainWindow(QWidget *w)
{
    FMain = w;
}

void TAppInstances::Notify(int value)
{
    QLocalSocket s;
    s.connectToServer(FName);
    if (!s.waitForConnected(1000))
        return;
    s.write(QByteArray::number(value) + '\n');
    s.waitForBytesWritten(1000);
    s.disconnectFromServer();
}

void TAppInstances::JvAppInstancesUserNotify()
{
    QWidget *w = FMain;
    if (!w)
        w = QApplication::activeModalWidget();
    if (w) {
        if (w->isMinimized())
            w->showNormal();
        w->raise();
        w->activateWindow();
    }
    emit UserNotified(w);
}

void SetMainWindowFactory(std::function<QWidget *()> factory)
{
    mainWindowFactory() = std::move(factory);
}

TSettingsFileState CheckSettingsFile(const QString &iniFile)
{
    if (!QFileInfo(iniFile).isFile())
        return TSettingsFileState::Missing;
    TIniFile ini(iniFile);
    if (ini.ValueExists(QStringLiteral("DBMS"), QStringLiteral("DBMS_TYPE")))
        return TSettingsFileState::Complete;
    for (const char *section : {"ORACLE", "TIBERO", "MARIADB"})
        if (ini.SectionExists(QLatin1StringView(section)))
            return TSettingsFileState::Complete;
    return TSettingsFileState::Incomplete;
}

QString InstanceServerName(const QString &appDir)
{
    QString dir = QFileInfo(appDir).canonicalFilePath();
    if (dir.isEmpty())
        dir = QDir::cleanPath(QFileInfo(appDir).absoluteFilePath());
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QDir::home().dirName();
    const QByteArray hash = QCryptographicHash::hash((user + QLatin1Char('\n') + dir).toUtf8(),
                                                     QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("signal-console-") + QString::fromLatin1(hash);
}

int RunConsole(int argc, char *argv[])
{
    TConsoleApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    std::unique_ptr<TMsgDlgLogService> logService;
    const QString logFile = qEnvironmentVariable("SC_MSGDLG_LOG");
    if (!logFile.isEmpty()) {
        const int answer = qEnvironmentVariableIsSet("SC_MSGDLG_ANSWER")
            ? qEnvironmentVariableIntValue("SC_MSGDLG_ANSWER") : mrNo;
        logService = std::make_unique<TMsgDlgLogService>(logFile, answer);
        SetMsgDlgService(logService.get());
    }
    struct RestoreService {
        bool active;
        ~RestoreService() { if (active) SetMsgDlgService(nullptr); }
    } restoreService{logService != nullptr};

    QString appDir = qEnvironmentVariable("SC_APP_DIR");
    if (appDir.isEmpty())
        appDir = QCoreApplication::applicationDirPath();
    QString programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (programName.isEmpty())
        programName = QStringLiteral("signal-console");

    TAppInstances instances(appDir);
    if (!instances.Primary()) {
        JvAppInstancesRejected(appDir, programName);
        instances.Notify(InstanceNotifyValue);
        return 0;
    }

    if (!CheckBeforeStart(appDir, programName))
        return 1;

    std::unique_ptr<TDM> dm = std::make_unique<TDM>(appDir, programName);
    DM = dm.get();
    QObject::connect(TsiLangDispatcher::instance(), &TsiLangDispatcher::languageChanged, &app,
                     [](int) { applyLanguageFont(); });
    const bool ready = DM->DataModuleCreate();
    applyLanguageFont();
    QCoreApplication::setApplicationName(programName);
    if (!ready) {
        dm.reset();
        return 1;
    }

    int rc = 0;
    {
        TfrmLogin login;
        instances.SetMainWindow(&login);
        const int result = login.exec();
        instances.SetMainWindow(nullptr);
        if (result != QDialog::Accepted) {
            DM->DisconnectDB();
            dm.reset();
            return 0;
        }
    }

    QPointer<QWidget> mainWindow = mainWindowFactory() ? mainWindowFactory()() : nullptr;
    if (!mainWindow)
        mainWindow = createPlaceholderMainWindow();
    DM->SetErrorFilterActive(true);
    instances.SetMainWindow(mainWindow);
    app.setQuitOnLastWindowClosed(true);
    mainWindow->show();
    rc = app.exec();
    delete mainWindow.data(); // unless it deleted itself on close
    DM->DisconnectDB();
    dm.reset();
    return rc;
}
