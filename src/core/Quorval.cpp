// Utility library: message boxes, value helpers, bit fields, colours, folders,
// CRC-32, periods and opening written workbooks.
#include "core/Quorval.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QMessageBox>
#include <QMetaObject>
#include <QMutexLocker>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QWidget>

#include <zlib.h>

#include <atomic>
#include <cmath>
#include <limits>

// ===========================================================================
// Message boxes
// ===========================================================================

namespace {

int showMessageBox(const TMsgDlgRequest &r)
{
    QWidget *parent = r.owner ? r.owner : QApplication::activeWindow();
    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(r.title.isEmpty() ? QGuiApplication::applicationDisplayName() : r.title);
    if (!r.caption.isEmpty() && r.caption != r.text) {
        box.setText(r.caption);
        box.setInformativeText(r.text);
    } else {
        box.setText(r.text);
    }
    if (!r.detail.isEmpty())
        box.setDetailedText(r.detail);

    QPushButton *yes = nullptr;
    QPushButton *no = nullptr;
    switch (r.kind) {
    case mkQuestion:
        box.setIcon(QMessageBox::Question);
        yes = box.addButton(QMessageBox::Yes);
        no = box.addButton(QMessageBox::No);
        box.setDefaultButton(yes);
        break;
    case mkWarning:
        box.setIcon(QMessageBox::Warning);
        box.addButton(QMessageBox::Ok);
        break;
    case mkError:
        box.setIcon(QMessageBox::Critical);
        box.addButton(QMessageBox::Ok);
        break;
    case mkInformation:
    default:
        box.setIcon(QMessageBox::Information);
        box.addButton(QMessageBox::Ok);
        break;
    }
    box.exec();
    if (r.kind != mkQuestion)
        return mrOk;
    QAbstractButton *clicked = box.clickedButton();
    if (clicked && clicked == static_cast<QAbstractButton *>(yes))
        return mrYes;
    if (clicked && clicked == static_cast<QAbstractButton *>(no))
        return mrNo;
    return mrCancel;
}

class DefaultMsgDlgService : public TMsgDlgService
{
public:
    int Execute(const TMsgDlgRequest &r) override
    {
        if (!qApp)
            return r.kind == mkQuestion ? mrCancel : mrOk;
        if (QThread::currentThread() == qApp->thread())
            return showMessageBox(r);
        // A worker thread waits for the box on the user-interface thread.
        int result = r.kind == mkQuestion ? mrCancel : mrOk;
        TMsgDlgRequest copy = r;
        copy.owner = nullptr; // widgets of another thread are not touched from here
        QMetaObject::invokeMethod(qApp, [&result, copy] { result = showMessageBox(copy); },
                                  Qt::BlockingQueuedConnection);
        return result;
    }
};

DefaultMsgDlgService g_defaultService;
std::atomic<TMsgDlgService *> g_service{nullptr};

} // namespace

TMsgDlgService *SetMsgDlgService(TMsgDlgService *service)
{
    return g_service.exchange(service);
}

TMsgDlgService *CurrentMsgDlgService()
{
    TMsgDlgService *s = g_service.load();
    return s ? s : &g_defaultService;
}

int ShowMsgDlg(QWidget *owner, const QString &title, const QString &text,
               const QString &caption, const QString &detail, TMsgDlgKind kind)
{
    TMsgDlgRequest r;
    r.owner = owner;
    r.title = title;
    r.text = text;
    r.caption = caption;
    r.detail = detail;
    r.kind = kind;
    const int answer = CurrentMsgDlgService()->Execute(r);
    if (kind != mkQuestion)
        return mrOk;
    return (answer == mrYes || answer == mrNo) ? answer : mrCancel;
}

// ---------------------------------------------------------------------------

ScriptedMsgDlg::ScriptedMsgDlg(bool installNow)
{
    if (installNow)
        install();
}

ScriptedMsgDlg::~ScriptedMsgDlg()
{
    uninstall();
}

void ScriptedMsgDlg::install()
{
    QMutexLocker lock(&m_mutex);
    if (m_installed)
        return;
    m_previous = SetMsgDlgService(this);
    m_installed = true;
}

void ScriptedMsgDlg::uninstall()
{
    QMutexLocker lock(&m_mutex);
    if (!m_installed)
        return;
    // Put back what was there before, unless someone else has been installed since.
    TMsgDlgService *expected = this;
    if (!g_service.compare_exchange_strong(expected, m_previous)) {
        // Another service replaced us; leave it in place.
    }
    m_installed = false;
    m_previous = nullptr;
}

bool ScriptedMsgDlg::installed() const
{
    QMutexLocker lock(&m_mutex);
    return m_installed;
}

void ScriptedMsgDlg::enqueue(int answer)
{
    QMutexLocker lock(&m_mutex);
    m_answers.append(answer);
}

void ScriptedMsgDlg::enqueue(std::initializer_list<int> answers)
{
    QMutexLocker lock(&m_mutex);
    for (int a : answers)
        m_answers.append(a);
}

void ScriptedMsgDlg::setDefaultAnswer(int answer)
{
    QMutexLocker lock(&m_mutex);
    m_defaultAnswer = answer;
}

void ScriptedMsgDlg::setResponder(std::function<int(const TMsgDlgRequest &)> responder)
{
    QMutexLocker lock(&m_mutex);
    m_responder = std::move(responder);
}

QList<TMsgDlgRequest> ScriptedMsgDlg::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

int ScriptedMsgDlg::count() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_requests.size());
}

TMsgDlgRequest ScriptedMsgDlg::last() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests.isEmpty() ? TMsgDlgRequest() : m_requests.last();
}

int ScriptedMsgDlg::pendingAnswers() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_answers.size());
}

void ScriptedMsgDlg::clear()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
    m_answers.clear();
}

int ScriptedMsgDlg::Execute(const TMsgDlgRequest &request)
{
    std::function<int(const TMsgDlgRequest &)> responder;
    {
        QMutexLocker lock(&m_mutex);
        m_requests.append(request);
        responder = m_responder;
    }
    if (responder) {
        const int a = responder(request); // outside the lock: it may show further boxes
        if (a >= 0)
            return request.kind == mkQuestion ? a : mrOk;
    }
    QMutexLocker lock(&m_mutex);
    if (request.kind != mkQuestion)
        return mrOk;
    return m_answers.isEmpty() ? m_defaultAnswer : m_answers.takeFirst();
}

// ===========================================================================
// Displays
// ===========================================================================

void EnsureValidDisplay(QWidget *window)
{
    if (!window)
        return;
    QWidget *w = window->window();
    const QRect frame = w->frameGeometry();
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    // Visible when a good part of the title area lies on some screen.
    const QRect titleArea(frame.left(), frame.top(), frame.width(), qMin(frame.height(), 40));
    for (QScreen *s : screens) {
        const QRect inter = s->availableGeometry().intersected(titleArea);
        if (inter.width() >= qMin(100, titleArea.width() / 2) && inter.height() >= qMin(20, titleArea.height()))
            return;
    }
    QScreen *target = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!target)
        target = screens.first();
    const QRect avail = target->availableGeometry();
    QSize size = frame.size().boundedTo(avail.size());
    if (size != frame.size())
        w->resize(w->size() - (frame.size() - size));
    const QRect moved(QPoint(avail.left() + (avail.width() - size.width()) / 2,
                             avail.top() + (avail.height() - size.height()) / 2),
                      size);
    w->move(moved.topLeft());
}


// Opening a written workbook
// ===========================================================================

namespace {

TFileOpener g_opener; // user-interface thread only, like the question before it

bool defaultOpen(const QString &fileName, const QString &program)
{
    if (!program.trimmed().isEmpty())
        return QProcess::startDetached(program, QStringList{fileName});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

} // namespace

void SetFileOpener(TFileOpener opener)
{
    g_opener = std::move(opener);
}

bool OpenExcel(QWidget *owner, const QString &fileName, const QString &spreadsheetProgram,
               const QString &question, const QString &caption)
{
    if (ShowMsgDlg(owner, QGuiApplication::applicationDisplayName(), question, caption,
                   QString(), mkQuestion)
        != mrYes)
        return false;
    return g_opener ? g_opener(fileName, spreadsheetProgram) : defaultOpen(fileName, spreadsheetProgram);
}
