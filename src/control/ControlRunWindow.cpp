#include "control/ControlRunWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QListWidget>
#include <QWindow>

#include "control/ControlWidgets.h"
#include "core/ProgressBarThreadUnit.h"
#include "centrelink/untTH_TCDV_C_Log.h"

TControlRunWindow::TControlRunWindow(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
}

TControlRunWindow::~TControlRunWindow()
{
    if (FDiscardInput)
        qApp->removeEventFilter(this);
    EndProgress();
}

namespace {

bool IsUserInput(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TControlRunWindow::eventFilter(QObject *watched, QEvent *event)
{
    // During a run, clicks and keys given to this window are dropped: the wait for
    // the centre server holds them back, and carried out afterwards they would run
    // a command the operator no longer sees (a second "실행").
    if (FDiscardInput && IsUserInput(event->type())) {
        if (watched->isWidgetType()) {
            auto *target = static_cast<QWidget *>(watched);
            if (target == this || isAncestorOf(target))
                return true;
        } else if (watched->isWindowType() && static_cast<QWindow *>(watched) == windowHandle()) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TControlRunWindow::ReleaseRunningWindows(QWidget *owner)
{
    if (!owner)
        return;
    const auto windows = owner->findChildren<TControlRunWindow *>();
    for (TControlRunWindow *w : windows) {
        if (!w->FDoing)
            continue;
        const bool visible = w->isVisible();
        const QRect geometry = w->geometry();
        w->setParent(nullptr, w->windowFlags() | Qt::Window);
        w->setAttribute(Qt::WA_DeleteOnClose, true);
        w->FCloseAfterRun = true;
        w->setGeometry(geometry);
        if (visible)
            w->show();
    }
}

void TControlRunWindow::closeEvent(QCloseEvent *e)
{
    if (FDoing) {
        // A run is going: the window closes when it has ended.
        FCloseAfterRun = true;
        AddResultLine(T(QStringLiteral("IDS_RunBusy")));
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void TControlRunWindow::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        cbxShowLog->setChecked(frmTH_TCDV_C_Log && frmTH_TCDV_C_Log->isVisible());
}

void TControlRunWindow::AddResultLine(const QString &line) { AppendResultLine(lsbMsgList, line); }

void TControlRunWindow::StartProgress(const QString &text)
{
    // The progress thread is owned by the window's owner and frees itself when it ends.
    if (!FProgressThread)
        FProgressThread = new TProgressBarThread(parentWidget() ? parentWidget() : this);
    FProgressThread->StartProgress(text, pbstMarquee, 0, 100, 1);
}

void TControlRunWindow::EndProgress()
{
    if (FProgressThread)
        FProgressThread->EndProgress();
    FProgressThread = nullptr;
}

void TControlRunWindow::BeginBusy()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FDoing = true;
    if (!FDiscardInput) {
        FDiscardInput = true;
        qApp->installEventFilter(this);
    }
    DoingUpdate();
}

void TControlRunWindow::EndBusy()
{
    EndProgress();
    // Input held back during the run is delivered now, while it is still dropped;
    // only then do the commands come back.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    if (FDiscardInput) {
        FDiscardInput = false;
        qApp->removeEventFilter(this);
    }
    QApplication::restoreOverrideCursor();
    FDoing = false;
    DoingUpdate();
    if (FCloseAfterRun) {
        FCloseAfterRun = false;
        close();
    }
}
