#pragma once
// The map bridge: every window of the console that shows a map embeds one page
// through one TMapViewController. The controller owns the browser view and a
// loading panel laid over it, loads and reloads the window's page, runs script
// text in the page (from any thread), opens the developer tools and runs the
// window's initialisation procedure each time the page has finished loading.
//
// The page talks back in two ways, both dispatched here by EXACT name to the
// handlers the owning window registered:
//   - console messages "key:value" (console.log in the page): RegisterConsole(key, fn);
//   - calls of the native `window` functions (window.loadEnd(), window.drawLC("1,2"),
//     ...), delivered through QWebChannel with their typed arguments:
//     RegisterNative(name, fn). A call no window handles is answered as not handled.
// The page also gets the object `app` with app.CopyToClipboard(text).
//
// Threads: everything runs on the user-interface thread except ExecuteJavaScript,
// which any thread may call (the script is queued to the user-interface thread;
// page scripts only ever run there).
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QHash>
#include <functional>

#include <QWebEnginePage>
#include <QWebEngineView>

class QWidget;
class QWebEngineView;
class QWebChannel;
class QWebEngineDownloadRequest;
class QWebEngineNewWindowRequest;
class QProgressBar;
class QTimer;
class TMapViewController;

// Process-wide set-up of the browser runtime, before QApplication is created:
// shared OpenGL contexts and the runtime's switches (--disable-extensions,
// --disable-multilingual-spellchecker). Calling it more than once does nothing more.
void InitMapViewRuntime();

// The native `window` functions that every page gets (the names the console's
// windows handle). RegisterNative adds further names for the next load.
const QStringList &MapNativeFunctionNames();

// Argument converters of native calls: a number may arrive as a number or as
// text, a Boolean as a Boolean, a number or "true"/"false".
int NativeArgInt(const QVariantList &args, int index, int defaultValue = 0);
double NativeArgDouble(const QVariantList &args, int index, double defaultValue = 0.0);
QString NativeArgStr(const QVariantList &args, int index, const QString &defaultValue = QString());
bool NativeArgBool(const QVariantList &args, int index, bool defaultValue = false);
// A number as the text the console keeps positions in (C locale, shortest form).
QString NativeArgNumText(const QVariantList &args, int index);

// Splits a console message at its first ':'; false when there is none.
bool SplitConsoleMessage(const QString &message, QString *key, QString *value);

// The `app` object of the pages.
class TDcefExtension
{
public:
    // Removes every "-" from the text and puts the rest on the clipboard as plain text.
    static void CopyToClipboard(const QString &AText);
};

// Object published on the page's web channel; the page's native functions call it.
class TMapPageBridge : public QObject
{
    Q_OBJECT
public:
    explicit TMapPageBridge(TMapViewController *owner);
public slots:
    // A native function call: its name and its arguments in order, typed.
    void invoke(const QString &name, const QVariantList &args);
    void copyToClipboard(const QString &text);
private:
    TMapViewController *FOwner;
};

// The page: console messages go to the controller.
class TMapWebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    TMapWebPage(TMapViewController *owner, QObject *parent);
protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;
private:
    TMapViewController *FOwner;
};

class TMapViewController : public QObject
{
    Q_OBJECT
public:
    using TMapViewInit = std::function<void()>;
    using TNativeHandler = std::function<void(const QVariantList &args)>;
    using TConsoleHandler = std::function<void(const QString &value)>;

    // The view fills AContainerPanel; the loading panel lies over it. The page is not
    // loaded yet: the window calls Load when it is shown.
    TMapViewController(QWidget *AOwner, QWidget *AContainerPanel, const QUrl &AMapURL,
                       TMapViewInit AMapViewInit);
    TMapViewController(QWidget *AOwner, QWidget *AContainerPanel, const QString &AMapURL,
                       TMapViewInit AMapViewInit);
    ~TMapViewController() override;

    // The browser view (windows set options on it).
    QWebEngineView *MapView() const { return FChromium; }
    QWebEnginePage *Page() const;
    QUrl MapURL() const { return FMapURL; }
    void SetMapViewInit(TMapViewInit init) { FMapViewInit = std::move(init); }

    // True from a load request until the window says the page is ready. Writing it sets
    // the hourglass cursor while true and shows or hides the loading panel.
    bool IsLoading() const { return FLoading; }
    void SetIsLoading(bool loading);
    bool ShowLoadingPanel() const;
    void SetShowLoadingPanel(bool show);
    // The browser exists and the page is not loading: page scripts may be run.
    bool IsPageReady() const { return FChromium && !FLoading; }

    // While on, the view takes the keyboard focus whenever its window is the active
    // window and the mouse pointer lies over it (the map then gets wheel and key input
    // without a click). Checked when the application is idle, about four times a second.
    void SetFocusUnderMouse(bool on);
    bool FocusUnderMouse() const { return FFocusTimer != nullptr; }

    // Lets the page at a file address reach the local application server and other
    // file addresses (the main window switches the browser's web security off).
    void SetWebSecurity(bool enabled);

    void Load(const QUrl &AUrl);
    void Load(const QString &AUrl);
    void Reload();
    // Runs the script in the page's main frame; nothing is returned, errors are not
    // reported. Callable from any thread (queued to the user-interface thread).
    void ExecuteJavaScript(const QString &AScript);
    // User-interface thread only: runs the script and hands its value to `done`.
    void RunJavaScript(const QString &AScript, std::function<void(const QVariant &)> done);
    // User-interface thread only: runs the script and waits (serving events) for its
    // value; an invalid QVariant after the time-out.
    QVariant EvaluateJavaScript(const QString &AScript, int timeoutMs = 10000);
    void ShowDevTools();

    // Handlers of the owning window, looked up by exact name. Registering a name that
    // is not among MapNativeFunctionNames() adds it to the page's functions from the
    // next load on. "loadEnd" and "loadEndEx" clear IsLoading unless a handler of the
    // window replaces that.
    void RegisterNative(const QString &name, TNativeHandler handler);
    void RegisterConsole(const QString &key, TConsoleHandler handler);
    void UnregisterNative(const QString &name);
    void UnregisterConsole(const QString &key);
    // Dispatches a call or a message as if the page had sent it; true when handled.
    bool DispatchNative(const QString &name, const QVariantList &args);
    bool DispatchConsole(const QString &message);

    // Number of script runs handed to the page (for benchmarks and tests).
    quint64 ScriptRuns() const { return FScriptRuns; }

    // Replaceable answer of the download dialog (tests): returns the file to save to,
    // or an empty text to cancel.
    using TSaveDialog = std::function<QString(const QString &proposedFile)>;
    void SetDownloadDialog(TSaveDialog dialog) { FSaveDialog = std::move(dialog); }

signals:
    // Every console message as the page wrote it (before dispatch).
    void consoleMessage(int level, const QString &message, int lineNumber, const QString &sourceID);
    // Every native call (before dispatch) and whether a handler took it.
    void nativeCall(const QString &name, const QVariantList &args, bool handled);
    // The page address finished loading (after the initialisation procedure ran).
    void pageInitialised();
    // The page file is missing or unreadable (the error box has been shown).
    void pageLoadFailed();

private slots:
    void OnLoadEnd(bool ok);

private:
    friend class TMapPageBridge;
    friend class TMapWebPage;
    void Build(QWidget *AOwner, QWidget *AContainerPanel);
    void InstallBridgeScript();
    void OnConsole(int level, const QString &message, int lineNumber, const QString &sourceID);
    void OnDownload(QWebEngineDownloadRequest *download);
    void OnNewWindow(QWebEngineNewWindowRequest &request);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void PlaceLoadingPanel();
    void TakeFocusUnderMouse();

    QPointer<QWebEngineView> FChromium;
    QUrl FMapURL;
    QPointer<QWidget> FLoadingPanel;
    QProgressBar *FLoadingImage = nullptr;
    TMapViewInit FMapViewInit;
    bool FLoading = false;
    bool FCursorOverridden = false;

    QPointer<QWidget> FContainer;
    TMapWebPage *FPage = nullptr;
    QWebChannel *FChannel = nullptr;
    TMapPageBridge *FBridge = nullptr;
    QPointer<QWebEngineView> FDevTools;
    QHash<QString, TNativeHandler> FNative;
    QHash<QString, TConsoleHandler> FConsole;
    quint64 FScriptRuns = 0;
    TSaveDialog FSaveDialog;
    QTimer *FFocusTimer = nullptr;
};
