#include "mainwindow/MapViewControllerUnit.h"

#include "foundation/JsEscape.h"
#include "core/Quorval.h"
#include "core/untDM.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

// ---------------------------------------------------------------------------
// Process-wide set-up
// ---------------------------------------------------------------------------

void InitMapViewRuntime()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const char *sw : {"--disable-extensions", "--disable-multilingual-spellchecker"}) {
        if (!flags.contains(sw)) {
            if (!flags.isEmpty())
                flags += ' ';
            flags += sw;
        }
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

const QStringList &MapNativeFunctionNames()
{
    static const QStringList names = {
        // main window
        "mouseMove", "zoomEnd", "loadEnd", "changeVisible", "clearSelection", "selectTcdv",
        "keyPress", "drawLC", "bookmark", "moving", "miniMapSync",
        // emergency-vehicle panel of the main window (markers of the services)
        "dragEnd", "selectServiceID",
        // intersection monitor, movement editor, phase history, plan sheet
        "getLimitedNodeLink", "loadEndEx",
        // group membership editor
        "drawSA", "modified", "sync",
        // node and detector editors
        "gridBeginUpdate", "gridEndUpdate", "appendNode", "insertNode", "updateNode",
        "deleteNode", "selectNode", "saveToFile",
        // priority-link editor
        "saveToDB", "saveToDetailDB", "loadStream",
        // network map editor
        "gridBeginUpdateEx", "gridEndUpdateEx", "selectLayer", "saveToDBEx",
    };
    return names;
}

// ---------------------------------------------------------------------------
// Argument converters
// ---------------------------------------------------------------------------

static QVariant ArgAt(const QVariantList &args, int index)
{
    if (index < 0 || index >= args.size())
        return QVariant();
    return args.at(index);
}

int NativeArgInt(const QVariantList &args, int index, int defaultValue)
{
    const QVariant v = ArgAt(args, index);
    if (!v.isValid() || v.isNull())
        return defaultValue;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d > 2147483647.0 || d < -2147483648.0)
            return defaultValue;
        return static_cast<int>(d);
    }
    default:
        break;
    }
    bool ok = false;
    const QString s = v.toString().trimmed();
    int n = s.toInt(&ok);
    if (ok)
        return n;
    const double d = s.toDouble(&ok);
    if (ok && std::isfinite(d) && d <= 2147483647.0 && d >= -2147483648.0)
        return static_cast<int>(d);
    return defaultValue;
}

double NativeArgDouble(const QVariantList &args, int index, double defaultValue)
{
    const QVariant v = ArgAt(args, index);
    if (!v.isValid() || v.isNull())
        return defaultValue;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1.0 : 0.0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(d) ? d : defaultValue;
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? d : defaultValue;
}

QString NativeArgStr(const QVariantList &args, int index, const QString &defaultValue)
{
    const QVariant v = ArgAt(args, index);
    if (!v.isValid() || v.isNull())
        return defaultValue;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return JsNum(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return v.toString();
    }
}

bool NativeArgBool(const QVariantList &args, int index, bool defaultValue)
{
    const QVariant v = ArgAt(args, index);
    if (!v.isValid() || v.isNull())
        return defaultValue;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        if (s == QLatin1String("true"))
            return true;
        if (s == QLatin1String("false") || s.isEmpty())
            return false;
        bool ok = false;
        const double d = s.toDouble(&ok);
        return ok ? d != 0.0 : defaultValue;
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d != 0.0 : defaultValue;
}

QString NativeArgNumText(const QVariantList &args, int index)
{
    const QVariant v = ArgAt(args, index);
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QString)
        return JsNumText(v.toString(), QString());
    return JsNum(NativeArgDouble(args, index));
}

bool SplitConsoleMessage(const QString &message, QString *key, QString *value)
{
    const qsizetype p = message.indexOf(QLatin1Char(':'));
    if (p < 0)
        return false;
    if (key)
        *key = message.left(p);
    if (value)
        *value = message.mid(p + 1);
    return true;
}

// ---------------------------------------------------------------------------
// app object and bridge
// ---------------------------------------------------------------------------

void TDcefExtension::CopyToClipboard(const QString &AText)
{
    QString text = AText;
    text.remove(QLatin1Char('-'));
    if (QClipboard *cb = QGuiApplication::clipboard())
        cb->setText(text, QClipboard::Clipboard);
}

TMapPageBridge::TMapPageBridge(TMapViewController *owner)
    : QObject(owner), FOwner(owner)
{
}

void TMapPageBridge::invoke(const QString &name, const QVariantList &args)
{
    FOwner->DispatchNative(name, args);
}

void TMapPageBridge::copyToClipboard(const QString &text)
{
    TDcefExtension::CopyToClipboard(text);
}

TMapWebPage::TMapWebPage(TMapViewController *owner, QObject *parent)
    : QWebEnginePage(parent), FOwner(owner)
{
}

void TMapWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                           int lineNumber, const QString &sourceID)
{
    FOwner->OnConsole(static_cast<int>(level), message, lineNumber, sourceID);
}

// ---------------------------------------------------------------------------
// Controller
// ---------------------------------------------------------------------------

TMapViewController::TMapViewController(QWidget *AOwner, QWidget *AContainerPanel, const QUrl &AMapURL,
                                       TMapViewInit AMapViewInit)
    : QObject(AOwner), FMapURL(AMapURL), FMapViewInit(std::move(AMapViewInit))
{
    Build(AOwner, AContainerPanel);
}

TMapViewController::TMapViewController(QWidget *AOwner, QWidget *AContainerPanel, const QString &AMapURL,
                                       TMapViewInit AMapViewInit)
    : TMapViewController(AOwner, AContainerPanel, QUrl(AMapURL), std::move(AMapViewInit))
{
}

void TMapViewController::Build(QWidget *AOwner, QWidget *AContainerPanel)
{
    Q_UNUSED(AOwner);
    FContainer = AContainerPanel;

    // The browser view fills the container.
    FChromium = new QWebEngineView(AContainerPanel);
    FPage = new TMapWebPage(this, FChromium);
    FChromium->setPage(FPage);
    FChromium->setContextMenuPolicy(Qt::PreventContextMenu); // the pages use their own menus
    if (AContainerPanel) {
        QLayout *layout = AContainerPanel->layout();
        if (!layout) {
            layout = new QVBoxLayout(AContainerPanel);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
        }
        layout->addWidget(FChromium);
    }

    QWebEngineSettings *settings = FPage->settings();
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);

    // Native functions and the app object through the web channel.
    FBridge = new TMapPageBridge(this);
    FChannel = new QWebChannel(this);
    FChannel->registerObject(QStringLiteral("ovikBridge"), FBridge);
    FPage->setWebChannel(FChannel);
    InstallBridgeScript();

    // The window's own handlers may replace these.
    FNative.insert(QStringLiteral("loadEnd"), [this](const QVariantList &) { SetIsLoading(false); });
    FNative.insert(QStringLiteral("loadEndEx"), [this](const QVariantList &) { SetIsLoading(false); });

    connect(FChromium, &QWebEngineView::loadFinished, this, &TMapViewController::OnLoadEnd);
    connect(FPage, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) { OnNewWindow(request); });
    connect(FPage->profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest *d) { OnDownload(d); });

    // Loading panel: white, over the whole container, with a busy bar in its middle.
    FLoadingPanel = new QWidget(AContainerPanel);
    FLoadingPanel->setObjectName(QStringLiteral("FLoadingPanel"));
    FLoadingPanel->setAutoFillBackground(true);
    QPalette pal = FLoadingPanel->palette();
    pal.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xFF));
    FLoadingPanel->setPalette(pal);
    auto *panelLayout = new QVBoxLayout(FLoadingPanel);
    panelLayout->setAlignment(Qt::AlignCenter);
    FLoadingImage = new QProgressBar(FLoadingPanel);
    FLoadingImage->setObjectName(QStringLiteral("FLoadingImage"));
    FLoadingImage->setRange(0, 0); // animated
    FLoadingImage->setTextVisible(false);
    FLoadingImage->setFixedSize(220, 19);
    panelLayout->addWidget(FLoadingImage, 0, Qt::AlignCenter);
    FLoadingPanel->hide();
    if (AContainerPanel)
        AContainerPanel->installEventFilter(this);
    PlaceLoadingPanel();
}

TMapViewController::~TMapViewController()
{
    if (FCursorOverridden) {
        QApplication::restoreOverrideCursor();
        FCursorOverridden = false;
    }
    if (FContainer)
        FContainer->removeEventFilter(this);
    if (FChromium) {
        disconnect(FChromium, nullptr, this, nullptr);
        if (FPage) {
            disconnect(FPage, nullptr, this, nullptr);
            disconnect(FPage->profile(), nullptr, this, nullptr);
        }
    }
    delete FDevTools;
    delete FChromium;
    delete FLoadingPanel;
}

QWebEnginePage *TMapViewController::Page() const
{
    return FChromium ? FChromium->page() : nullptr;
}

void TMapViewController::InstallBridgeScript()
{
    QFile f(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QString channelJs;
    if (f.open(QIODevice::ReadOnly))
        channelJs = QString::fromUtf8(f.readAll());
    else
        qWarning("map bridge: qwebchannel.js not found");

    QStringList names = MapNativeFunctionNames();
    for (auto it = FNative.cbegin(); it != FNative.cend(); ++it)
        if (!names.contains(it.key()))
            names << it.key();
    QStringList quoted;
    for (const QString &n : names)
        quoted << JsStr(n);

    const QString shim = QStringLiteral(R"JS(
(function () {
  if (window.__ovikBridgeInstalled) { return; }
  window.__ovikBridgeInstalled = true;
  var names = [%1];
  var queue = [];
  var bridge = null;
  function clean(v) {
    if (v === undefined || typeof v === 'function') { return null; }
    return v;
  }
  function send(kind, name, args) {
    if (bridge) {
      if (kind === 'call') { bridge.invoke(name, args); } else { bridge.copyToClipboard(args[0]); }
    } else {
      queue.push([kind, name, args]);
    }
  }
  names.forEach(function (n) {
    window[n] = function () {
      var args = Array.prototype.slice.call(arguments).map(clean);
      send('call', n, args);
    };
  });
  window.app = {
    CopyToClipboard: function (text) { send('clip', '', [String(text)]); }
  };
  function connect() {
    if (typeof qt === 'undefined' || !qt.webChannelTransport) { setTimeout(connect, 5); return; }
    new QWebChannel(qt.webChannelTransport, function (channel) {
      bridge = channel.objects.ovikBridge;
      var pending = queue; queue = [];
      pending.forEach(function (m) { send(m[0], m[1], m[2]); });
    });
  }
  connect();
})();
)JS").arg(quoted.join(QLatin1Char(',')));

    QWebEngineScriptCollection &scripts = FPage->scripts();
    for (const QWebEngineScript &old : scripts.find(QStringLiteral("ovikBridge")))
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(QStringLiteral("ovikBridge"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(channelJs + QLatin1Char('\n') + shim);
    scripts.insert(script);
}

void TMapViewController::SetIsLoading(bool loading)
{
    if (loading && !FCursorOverridden) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        FCursorOverridden = true;
    } else if (!loading && FCursorOverridden) {
        QApplication::restoreOverrideCursor();
        FCursorOverridden = false;
    }
    SetShowLoadingPanel(loading);
    FLoading = loading;
}

bool TMapViewController::ShowLoadingPanel() const
{
    return FLoadingPanel && !FLoadingPanel->isHidden();
}

void TMapViewController::SetShowLoadingPanel(bool show)
{
    if (!FLoadingPanel)
        return;
    if (show) {
        PlaceLoadingPanel();
        FLoadingPanel->show();
        FLoadingPanel->raise();
    } else {
        FLoadingPanel->hide();
    }
}

void TMapViewController::PlaceLoadingPanel()
{
    if (FLoadingPanel && FContainer)
        FLoadingPanel->setGeometry(FContainer->rect());
}

bool TMapViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FContainer && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        PlaceLoadingPanel();
    return QObject::eventFilter(watched, event);
}

void TMapViewController::SetFocusUnderMouse(bool on)
{
    if (!on) {
        delete FFocusTimer;
        FFocusTimer = nullptr;
        return;
    }
    if (FFocusTimer)
        return;
    FFocusTimer = new QTimer(this);
    FFocusTimer->setInterval(250);
    connect(FFocusTimer, &QTimer::timeout, this, &TMapViewController::TakeFocusUnderMouse);
    FFocusTimer->start();
}

void TMapViewController::TakeFocusUnderMouse()
{
    if (!FChromium || !FChromium->isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    QWidget *window = FChromium->window();
    if (!window || !window->isActiveWindow())
        return;
    if (!FChromium->rect().contains(FChromium->mapFromGlobal(QCursor::pos())))
        return;
    QWidget *target = FChromium->focusProxy() ? FChromium->focusProxy() : FChromium.data();
    if (!target->hasFocus())
        target->setFocus(Qt::OtherFocusReason);
}

void TMapViewController::SetWebSecurity(bool enabled)
{
    if (!FPage)
        return;
    QWebEngineSettings *s = FPage->settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, !enabled);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, !enabled);
}

void TMapViewController::Load(const QUrl &AUrl)
{
    SetIsLoading(true);
    if (!FChromium)
        return;
    InstallBridgeScript(); // picks up names registered since the last load
    FChromium->load(AUrl);
}

void TMapViewController::Load(const QString &AUrl)
{
    Load(QUrl(AUrl));
}

void TMapViewController::Reload()
{
    Load(FMapURL);
}

void TMapViewController::ExecuteJavaScript(const QString &AScript)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, AScript] { ExecuteJavaScript(AScript); },
                                  Qt::QueuedConnection);
        return;
    }
    if (!FChromium)
        return;
    ++FScriptRuns;
    FChromium->page()->runJavaScript(AScript);
}

void TMapViewController::RunJavaScript(const QString &AScript, std::function<void(const QVariant &)> done)
{
    if (!FChromium) {
        if (done)
            done(QVariant());
        return;
    }
    ++FScriptRuns;
    FChromium->page()->runJavaScript(AScript, [done](const QVariant &v) {
        if (done)
            done(v);
    });
}

QVariant TMapViewController::EvaluateJavaScript(const QString &AScript, int timeoutMs)
{
    if (!FChromium)
        return QVariant();
    auto result = std::make_shared<QVariant>();
    auto finished = std::make_shared<bool>(false);
    QEventLoop loop;
    QPointer<QEventLoop> guard(&loop);
    ++FScriptRuns;
    FChromium->page()->runJavaScript(AScript, [result, finished, guard](const QVariant &v) {
        *result = v;
        *finished = true;
        if (guard)
            guard->quit();
    });
    if (!*finished) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return *result;
}

void TMapViewController::ShowDevTools()
{
    if (!FChromium)
        return;
    if (!FDevTools) {
        FDevTools = new QWebEngineView();
        FDevTools->setAttribute(Qt::WA_DeleteOnClose);
        FDevTools->setWindowTitle(QStringLiteral("DevTools"));
        FDevTools->resize(900, 600);
        FChromium->page()->setDevToolsPage(FDevTools->page());
    }
    FDevTools->show();
    FDevTools->raise();
}

void TMapViewController::RegisterNative(const QString &name, TNativeHandler handler)
{
    FNative.insert(name, std::move(handler));
}

void TMapViewController::RegisterConsole(const QString &key, TConsoleHandler handler)
{
    FConsole.insert(key, std::move(handler));
}

void TMapViewController::UnregisterNative(const QString &name)
{
    FNative.remove(name);
}

void TMapViewController::UnregisterConsole(const QString &key)
{
    FConsole.remove(key);
}

bool TMapViewController::DispatchNative(const QString &name, const QVariantList &args)
{
    const auto it = FNative.constFind(name);
    const bool handled = it != FNative.constEnd() && it.value();
    emit nativeCall(name, args, handled);
    if (handled) {
        try {
            it.value()(args);
        } catch (const std::exception &e) {
            qWarning("map page call %s: %s", qPrintable(name), e.what());
        }
    }
    return handled;
}

bool TMapViewController::DispatchConsole(const QString &message)
{
    QString key, value;
    if (!SplitConsoleMessage(message, &key, &value))
        return false;
    const auto it = FConsole.constFind(key);
    if (it == FConsole.constEnd() || !it.value())
        return false;
    try {
        it.value()(value);
    } catch (const std::exception &e) {
        qWarning("map page message %s: %s", qPrintable(key), e.what());
    }
    return true;
}

void TMapViewController::OnConsole(int level, const QString &message, int lineNumber, const QString &sourceID)
{
    emit consoleMessage(level, message, lineNumber, sourceID);
    DispatchConsole(message);
}

void TMapViewController::OnLoadEnd(bool ok)
{
    if (!FChromium)
        return;
    // Only the page given at construction runs the initialisation procedure.
    const QUrl current = FChromium->page()->url();
    if (current.toString(QUrl::FullyEncoded) != FMapURL.toString(QUrl::FullyEncoded))
        return;

    // The document the browser shows for a missing file is empty.
    QPointer<TMapViewController> self(this);
    auto reportFailure = [self]() {
        if (!self)
            return;
        const QString title = DM ? DM->G_APP_TITLE : QCoreApplication::applicationName();
        const QString caption = DM ? DM->T_MapViewLoadFailCpation : QStringLiteral("Map loading failed");
        const QString text = DM ? DM->T_MapViewCheckUrlMsg : QStringLiteral("Please check the map folder path.");
        QWidget *owner = self->FChromium ? self->FChromium->window() : nullptr;
        ShowMsgDlg(owner, title, text, caption, QString(), mkError);
        emit self->pageLoadFailed();
    };
    if (!ok) {
        QTimer::singleShot(0, this, reportFailure);
    } else {
        FChromium->page()->toHtml([self, reportFailure](const QString &html) {
            if (!self)
                return;
            const QString first = html.section(QLatin1Char('\n'), 0, 0);
            if (first == QLatin1String("<html><head></head><body></body></html>"))
                reportFailure();
        });
    }

    if (FMapViewInit) {
        try {
            FMapViewInit();
        } catch (const std::exception &e) {
            qWarning("map page initialisation: %s", e.what());
        }
    }
    emit pageInitialised();
}

void TMapViewController::OnNewWindow(QWebEngineNewWindowRequest &request)
{
    // No second window: the target is loaded into this view instead.
    const QUrl target = request.requestedUrl();
    if (FChromium && target.isValid())
        QTimer::singleShot(0, this, [this, target] {
            if (FChromium)
                FChromium->load(target);
        });
}

void TMapViewController::OnDownload(QWebEngineDownloadRequest *download)
{
    if (!download || !FChromium || download->page() != FChromium->page())
        return;
    const QString proposed = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(download->suggestedFileName());
    QString chosen;
    if (FSaveDialog)
        chosen = FSaveDialog(proposed);
    else
        chosen = QFileDialog::getSaveFileName(FChromium->window(), QString(), proposed);
    if (chosen.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo fi(chosen);
    download->setDownloadDirectory(fi.absolutePath());
    download->setDownloadFileName(fi.fileName());
    download->accept();
}
