#pragma once
// TProgressBarThread: keeps a progress window moving while the user-interface
// thread is busy in a waiting loop that still processes events: every 50 ms it
// asks the user-interface thread (queued, never blocking) to step the bar. The
// thread object frees itself when it ends and closes its window then.
//
//     auto *t = new TProgressBarThread(this);
//     t->StartProgress(caption, pbstMarquee, 0, 100, 1);
//     ... long exchange ...
//     t->EndProgress();           // do not touch t afterwards
#include <QAtomicInt>
#include <QPointer>
#include <QThread>

#include "core/untProgressBar.h"

class TProgressBarThread : public QThread
{
    Q_OBJECT
public:
    explicit TProgressBarThread(QWidget *owner);
    ~TProgressBarThread() override;

    void StartProgress(const QString &Msg, TProgressBarStyle Style, int Min, int Max, int Step);
    void EndProgress();
    QString Caption() const;
    void SetCaption(const QString &caption);
    TfrmProgressBar *ProgressBar() const { return FProgressBar; }

protected:
    void run() override;

private:
    QPointer<TfrmProgressBar> FProgressBar;
    QAtomicInt FPending{0};
    bool FStarted = false;
};
