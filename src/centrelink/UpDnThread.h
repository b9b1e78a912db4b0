#pragma once
// One request and its reply with the centre server on the control port: connect,
// send, receive the header and the data, closing packet, disconnect. Every step is
// written to the control-command log through synchronisation.
//
// Use (user-interface thread):
//     TUpDnThread th(&req, &res);           // host, port and time-outs of the data module
//     th.Start();
//     const int rtn = th.WaitFor();         // serves the thread's synchronised calls
// Return value: the reply's data size (0 to 1024) on success, else 99991 (connect),
// 99992 (send), 99993 (receive: the header or the data not complete within its read
// time-out, a reply larger than the data area, a header the centre server did not
// send, or bytes that came before the request), or 99994 when the closing step
// failed (overrides any other value).

#include <QThread>

#include "centrelink/ExchangeLogUnit.h"
#include "centrelink/RC2MMIUnit.h"
#include "centrelink/RcClientUnit.h"

class TUpDnThread : public QThread
{
    Q_OBJECT
public:
    // Host, control port and time-outs from the data module (DefaultCtrlEndpoint).
    TUpDnThread(PHostSimplePacket pPacketReq, PHostSimplePacket pPacketRes, QObject *parent = nullptr);
    TUpDnThread(PHostSimplePacket pPacketReq, PHostSimplePacket pPacketRes,
                const TRcEndpoint &endpoint, QObject *parent = nullptr);
    ~TUpDnThread() override;

    void Start() { start(); }
    // Waits until the thread has finished while serving its synchronised calls (a
    // local event loop on the user-interface thread); returns ReturnValue().
    int WaitFor();
    int ReturnValue() const { return FReturnValue; }
    const TRcEndpoint &Endpoint() const { return FEndpoint; }

protected:
    void run() override; // Execute

private:
    void Log(const QString &line);

    PHostSimplePacket m_pPacketReq;
    PHostSimplePacket m_pPacketRes;
    TRcEndpoint FEndpoint;
    TUpDnTexts FTexts;
    QString FLogStrArray;
    int FReturnValue = 0;
};

// Waits for a QThread from the user-interface thread while serving its synchronised
// calls; from any other thread a plain wait.
void RcWaitForThread(QThread *thread);
