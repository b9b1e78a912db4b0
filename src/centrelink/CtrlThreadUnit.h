#pragma once
// A list of request frames for one controller over one connection to the centre
// server's control port. Every frame gets its own result (TCtrlData.FReturnVal):
// 99992 or 99993 when sending or receiving fails (the list stops there), else the
// reply check's 99995, 99996, 99997 or 99998. The run's own result (RtnValue) is
// 99991 when the connection fails, 99994 when the closing step fails, else 99996.
//
// Use (user-interface thread):
//     TCtrlThread th(lcNo, frames, reqOp, resOp, 1, title, statusBar, progress,
//                    DM->G_HOST, DM->G_RC_CTRL_PORT, DM->G_CONNECTION_TIMEOUT, DM->G_READ_TIMEOUT);
//     th.Start();
//     while (!th.FFinished()) { QThread::msleep(10); QCoreApplication::processEvents(); }
//     // or th.WaitFor();
//     ... frames[i].FReturnVal, frames[i].FResData, th.RtnValue()
// The thread shares the caller's frame array: the caller must not touch it while
// the thread runs. The controller type (sent in every controller head) and the
// intersection's name are looked up once, on the creating thread.

#include <QPointer>
#include <QThread>

#include "centrelink/ExchangeLogUnit.h"
#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"
#include "foundation/TypeUnit.h"

// A view that shows the outcome of each frame (the transfer window's status bar):
// imageIndex 1 success, 2 failure; text " <intersection name> - <result line>".
// A plain QStatusBar given as log object shows the text as its message.
class ICtrlOutcomeView
{
public:
    virtual ~ICtrlOutcomeView() = default;
    virtual void ShowCtrlOutcome(int imageIndex, const QString &text) = 0;
};

class TCtrlThread : public QThread
{
    Q_OBJECT
public:
    TCtrlThread(int ALcId, TCtrlDataArray &ADataArray, quint16 AReqOpcode, quint16 AResOpcode,
                int AReqtType, const QString &ATitle, QObject *ALogObj, QObject *AProgressBar,
                const QString &AHost, int ARcCtrlPort, int AConnectionTimeOut, int AReadTimeOut,
                QObject *parent = nullptr);
    // The same with a whole endpoint (close pause included).
    TCtrlThread(int ALcId, TCtrlDataArray &ADataArray, quint16 AReqOpcode, quint16 AResOpcode,
                int AReqtType, const QString &ATitle, QObject *ALogObj, QObject *AProgressBar,
                const TRcEndpoint &AEndpoint, QObject *parent = nullptr);
    ~TCtrlThread() override;

    void Start() { start(); }
    // Waits while serving the thread's synchronised calls; returns RtnValue().
    int WaitFor();
    // Asks the thread to stop after the running frame.
    void Terminate() { requestInterruption(); }
    bool FFinished() const { return isFinished(); }
    int RtnValue() const { return FRtnValue; }

    int LcId() const { return FLcId; }
    int LcType() const { return FLcType; }
    // Replaces the controller type looked up at creation (before Start).
    void SetLcType(int lcType) { FLcType = lcType; }
    // Pause between frames (ms), 100 unless changed.
    void SetFramePause(int ms) { FFramePause = ms; }

    // The reply check of one frame (pure): fills frame.FResData and returns 99995,
    // 99996, 99997 or 99998.
    static int CheckReply(TCtrlData &frame, const THostSimplePacket &reply, quint16 resOpcode,
                          quint16 reqOpcode);
    // Whether the controller's status byte in resData refuses a request opcode.
    static bool IsRefused(quint16 reqOpcode, const QByteArray &resData);

protected:
    void run() override; // Execute

private:
    void Log(const QString &line);
    void LogResult(const QString &title, int result);

    QString FHost;
    int FRcCtrlPort = 0;
    int FConnectionTimeOut = 0;
    int FReadTimeOut = 0;
    TRcEndpoint FEndpoint;
    THostSimplePacket FPacketReq;
    THostSimplePacket FPacketRes;
    QString FLogStrArray;
    int FRtnValue = 0;
    quint16 FReqOpcode = 0;
    quint16 FResOpcode = 0;
    int FReqtType = 1;
    QString FTitle;
    QPointer<QObject> FLogObj;
    QPointer<QObject> FProgressBar;
    int FLcId = 0;
    int FLcType = 1;
    QString FLcName;
    TCtrlDataArray &FDataArray;
    TUpDnTexts FTexts;
    int FFramePause = 100;
};
