#pragma once
// The executor through which every exchange of the controller database window
// runs: RunTransfer prepares the user interface, calls the caller's procedures in
// a fixed order and writes the operator event (code 14); ExecuteTransfer runs one
// TCtrlThread over the whole frame array on the centre server's control port,
// waits for it on the user-interface thread while serving its events, and files
// every accepted reply into the controller-side buffers (TransferDispatch.h).
//
// A run succeeds only when every frame was accepted and filed; a failed close
// (99994) or a failed connection files nothing and fails the run.

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "transfer/TransferDispatch.h"

class QWidget;
class TCtrlThread;
class TProgressBarThread;

class TTransferExecutor : public QObject
{
    Q_OBJECT
public:
    using TProc = std::function<void()>;

    explicit TTransferExecutor(QWidget *owner = nullptr);

    // The controller-side buffers that the runs fill.
    TTransferBuffers Buffers;
    // The controller's type (chooses the 2004 or 2010 buffers).
    TLcTypeEx FLCType = lct2004;
    // True while a run is going.
    bool FDoing = false;
    // An all-run is shown in its panel: runs without a sender go ahead and report
    // into the panel through the two hooks below.
    bool FAllExecutorVisible = false;
    std::function<void(const QString &caption)> AddAllRunRow;
    // The all-run panel's text (the caption of the button that started the all-run),
    // the caption of the all-download button and the day-plan number shown: an
    // all-download's day-plan rows are named after the plan (AllRunRowCaption).
    QString AllRunPanelText;
    QString AllDownloadCaption;
    int DayPlanNo = 1;
    std::function<void(bool ok)> MarkAllRunRow;
    // Log object of the exchange thread (the window's status bar), may be null.
    QObject *StatusBar = nullptr;
    // Shows a progress window for user runs (off in tests that run headless).
    bool ShowProgress = true;
    // The result of the last exchange thread (99991 .. 99996), 0 before any.
    int LastThreadResult() const { return FLastThreadResult; }

    // Sender: the control that started the run, or null for the all-run walker.
    // Returns the run's result; nothing happens (false) for a null sender outside
    // an all-run.
    bool RunTransfer(QObject *Sender, const QString &ACaption, const TProc &AClearView,
                     const TProc &AClearData, const TProc &AOnSuccess, const TProc &AOnFinish,
                     int ATcdvId, TCtrlDataArray &ADataArray, quint16 AReqOpcode, quint16 AResOpcode,
                     int AReqtType = 1);
    bool ExecuteTransfer(const QString &ACaption, int ATcdvId, QObject *AProgressBar, int AReqtType,
                         quint16 AResOpcode, quint16 AReqOpcode, TCtrlDataArray &ADataArray);

    // The caption of a run's all-run row: "caption(일계획: #NN)" with the day-plan
    // number when the panel belongs to the all-download and the run is the day-plan
    // download (its caption the window text IDS_539), else the caption itself.
    static QString AllRunRowCaption(const QString &panelText, const QString &allDownloadCaption,
                                    const QString &caption, int dayPlanNo);
    // The event text of a run: "caption:성공" / "caption:실패" (active language).
    static QString EventText(const QString &caption, bool ok);

    // Asks the exchange thread of the running request to end (the all-run's cancel);
    // the run then ends as a failure once the thread has stopped.
    void TerminateRunning();
    bool IsExchanging() const { return FCtrlThread != nullptr; }

private:
    QPointer<QWidget> FOwner;
    TCtrlThread *FCtrlThread = nullptr;
    int FLastThreadResult = 0;
};
