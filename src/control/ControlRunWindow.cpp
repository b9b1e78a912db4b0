#include "control/ControlRunWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QListWidget>

#include "control/ControlWidgets.h"
#include "core/ProgressBarThreadUnit.h"
#include "centrelink/untTH_TCDV_C_Log.h"

TControlRunWindow::TControlRunWindow(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
}

TControlRunWindow::~TControlRunWindow()
{
    EndProgress();
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
    DoingUpdate();
}

void TControlRunWindow::EndBusy()
{
    EndProgress();
    QApplication::restoreOverrideCursor();
    FDoing = false;
    DoingUpdate();
    if (FCloseAfterRun) {
        FCloseAfterRun = false;
        close();
    }
}
