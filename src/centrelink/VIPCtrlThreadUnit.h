#pragma once
// The VIP panel's exchange thread: a whole list of phase commands (hold or release,
// advance, jump) sent to the centre server's control port over ONE connection.
//
//   hold / release  opcode 0x50, the special command record of the controller's
//                   generation (22 bytes 2004, 35 bytes 2010): phase_hold 1,
//                   run_type 1 (hold) or 0 (release), holdomit_phase = the phase
//   advance, jump   opcode 0x10, 4 bytes: byte 0 dual-ring flag (bit 7) and
//                   control-mode code (bits 0..6); byte 1 the phase in both
//                   nibbles (advance in modes 16 and 18: 9 in both nibbles)
//
// Each element gets its own result (TLcData.FReturnVal): 99992 send failed, 99993
// receive failed, 99995 wrong reply opcode, 99996 success, 99997 wrong reply size.
// The next element follows whatever the result. After a failed receive, or bytes
// that came unasked before a request, the connection is closed (what is left of a
// late reply must never be taken for the next element's) and the next element
// connects again. The run's RtnValue is 99991 when the connection fails, 99994 when
// the closing step fails, else 0.
//
// Use (user-interface thread):
//     TLcDataArray list = ...;
//     TVipCtrlThread th(list, rtRun, DM->G_HOST, DM->G_RC_CTRL_PORT,
//                       DM->G_CONNECTION_TIMEOUT, DM->G_READ_TIMEOUT);
//     th.Start();
//     th.WaitFor();                  // serves the thread's synchronised log calls
//     ... th.RtnValue(), list[i].FReturnVal
// The list is shared with the caller, who must not touch it while the thread runs.
// The controller type of every element (header byte and record size) is looked up
// once, on the creating thread.

#include <QList>
#include <QThread>

#include "centrelink/ExchangeLogUnit.h"
#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"
#include "foundation/TypeUnit.h"

class TVipCtrlThread : public QThread
{
    Q_OBJECT
public:
    TVipCtrlThread(TLcDataArray &ALcDataArray, TRunType ARunType, const QString &AHost, int ARcCtrlPort,
                   int AConnectionTimeOut, int AReadTimeOut, QObject *parent = nullptr);
    TVipCtrlThread(TLcDataArray &ALcDataArray, TRunType ARunType, const TRcEndpoint &AEndpoint,
                   QObject *parent = nullptr);
    ~TVipCtrlThread() override;

    void Start() { start(); }
    // Waits while serving the thread's synchronised calls; returns RtnValue().
    int WaitFor();
    int RtnValue() const { return FRtnValue; }
    TRunType RunType() const { return FRunType; }
    // Controller types looked up at creation, one per element (1 = 2004, else 2010).
    const QList<int> &LcTypes() const { return FLcTypes; }

    // --- pure parts (tests) -------------------------------------------------------
    // The data of a hold or release: the special command record of the controller's
    // generation with phase_hold 1, run_type and holdomit_phase set.
    static QByteArray HoldRecord(int lcType, TRunType runType, quint8 phaseNo);
    // The 4 control-mode bytes of an advance or jump.
    static QByteArray CtrlModeRecord(const TLcData &data);
    // Builds the request of one element into `req` (reset first). False when the
    // command type is unknown.
    static bool BuildRequest(THostSimplePacket &req, const TLcData &data, TRunType runType, int lcType);
    // The check of one reply: 99995, 99996 or 99997.
    static int CheckReply(TCommandType commandType, const THostSimplePacket &reply);

protected:
    void run() override; // Execute

private:
    void Log(const QString &line);
    bool SendRequest(TRcClient &client);
    bool ReceiveReply(TRcClient &client);

    QString FHost;
    int FRcCtrlPort = 0;
    int FConnectionTimeOut = 0;
    int FReadTimeOut = 0;
    TRcEndpoint FEndpoint;
    THostSimplePacket FPacketReq;
    THostSimplePacket FPacketRes;
    QString FLogStrArray;
    int FRtnValue = 0;
    TLcDataArray &FLcDataArray;
    TRunType FRunType = rtRun;
    QList<int> FLcTypes;
    TUpDnTexts FTexts;
};
