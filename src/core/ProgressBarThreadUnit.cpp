#include "core/ProgressBarThreadUnit.h"

#include <QMetaObject>

TProgressBarThread::TProgressBarThread(QWidget *owner)
{
    FProgressBar = new TfrmProgressBar(owner);
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TProgressBarThread::~TProgressBarThread()
{
    requestInterruption();
    wait();
    if (FProgressBar) {
        FProgressBar->close();
        FProgressBar->deleteLater();
    }
}

void TProgressBarThread::StartProgress(const QString &Msg, TProgressBarStyle Style, int Min, int Max, int Step)
{
    if (!FProgressBar)
        return;
    FProgressBar->show();
    FProgressBar->InitProgress(Msg, Style, Min, Max, Step);
    if (!FStarted) {
        FStarted = true;
        start();
    }
}

void TProgressBarThread::EndProgress()
{
    requestInterruption();
    if (!FStarted) // never ran: nothing will finish it, so it goes now
        deleteLater();
}

QString TProgressBarThread::Caption() const
{
    return FProgressBar ? FProgressBar->windowTitle() : QString();
}

void TProgressBarThread::SetCaption(const QString &caption)
{
    if (FProgressBar) {
        FProgressBar->setWindowTitle(caption);
        FProgressBar->repaint();
    }
}

void TProgressBarThread::run()
{
    while (!isInterruptionRequested()) {
        // One step at a time: a step not yet run by the user-interface thread is not doubled.
        if (FPending.testAndSetOrdered(0, 1)) {
            QMetaObject::invokeMethod(
                FProgressBar.data(),
                [this] {
                    if (FProgressBar)
                        FProgressBar->ProgressStep();
                    FPending.storeRelease(0);
                },
                Qt::QueuedConnection);
        }
        msleep(50);
    }
}
