#pragma once
// What the group and intersection control windows share around a run: the busy
// state and the commands it disables, the progress window, the result list, the
// close asked for during a run (it waits until the run has ended), the input that
// reaches the window during a run (discarded, never replayed after it) and the log
// window's check box that follows the log window.

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QListWidget;
class TProgressBarThread;

class TControlRunWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TControlRunWindow(QWidget *owner = nullptr);
    ~TControlRunWindow() override;

    bool Doing() const { return FDoing; }

    // The owner is closing or going away: every control window of `owner` whose run
    // is going is detached from it (it stays open on its own), closes when its run
    // has ended and then frees itself, so the owner's end never destroys a window
    // under its running loop. Windows without a run are left to the owner.
    static void ReleaseRunningWindows(QWidget *owner);

    QListWidget *lsbMsgList = nullptr;
    QCheckBox *cbxShowLog = nullptr;

public slots:
    // Enables the window's commands when no run is going.
    virtual void DoingUpdate() = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;
    // The window's own language table.
    virtual QString T(const QString &key) const = 0;

    void AddResultLine(const QString &line);
    // The progress window (created on first use; it frees itself when it ends).
    void StartProgress(const QString &text);
    void EndProgress();
    // Busy cursor and the commands disabled.
    void BeginBusy();
    // Progress ended, cursor back, commands enabled; closes the window when a close
    // was asked for during the run.
    void EndBusy();

    bool FDoing = false;
    bool FDiscardInput = false;
    bool FCloseAfterRun = false;
    QPointer<TProgressBarThread> FProgressThread;
};
