#include "centrelink/VIPCtrlThreadUnit.h"

#include "centrelink/CtrlBitsUnit.h"
#include "centrelink/UpDnThread.h"
#include "centrelink/SpecialCommandRecords.h"

#include <cstring>

namespace {

TRcEndpoint MakeEndpoint(const QString &host, int port, int connectTimeout, int readTimeout)
{
    TRcEndpoint ep = DefaultCtrlEndpoint();
    ep.host = host;
    ep.port = port;
    ep.connectTimeout = connectTimeout;
    ep.readTimeout = readTimeout;
    return ep;
}

bool Is2004(int lcType) { return lcType == 1; }

} // namespace

TVipCtrlThread::TVipCtrlThread(TLcDataArray &ALcDataArray, TRunType ARunType, const QString &AHost,
                               int ARcCtrlPort, int AConnectionTimeOut, int AReadTimeOut, QObject *parent)
    : TVipCtrlThread(ALcDataArray, ARunType, MakeEndpoint(AHost, ARcCtrlPort, AConnectionTimeOut, AReadTimeOut),
                     parent)
{
}

TVipCtrlThread::TVipCtrlThread(TLcDataArray &ALcDataArray, TRunType ARunType, const TRcEndpoint &AEndpoint,
                               QObject *parent)
    : QThread(parent), FHost(AEndpoint.host), FRcCtrlPort(AEndpoint.port),
      FConnectionTimeOut(AEndpoint.connectTimeout), FReadTimeOut(AEndpoint.readTimeout), FEndpoint(AEndpoint),
      FLcDataArray(ALcDataArray), FRunType(ARunType), FTexts(TUpDnTexts::Current())
{
    FPacketReq.Reset();
    FPacketRes.Reset();
    // One look-up per element, here on the creating thread: the header's controller
    // type and the record size that follows come from the same value.
    for (const TLcData &d : FLcDataArray)
        FLcTypes << LookupLcType(d.FLcId);
}

TVipCtrlThread::~TVipCtrlThread()
{
    if (isRunning())
        RcWaitForThread(this);
}

int TVipCtrlThread::WaitFor()
{
    RcWaitForThread(this);
    return FRtnValue;
}

QByteArray TVipCtrlThread::HoldRecord(int lcType, TRunType runType, quint8 phaseNo)
{
    const quint8 run = runType == rtRun ? 1 : 0;
    if (Is2004(lcType)) {
        SpecialCommand_2004 r = ZeroRecord<SpecialCommand_2004>();
        r.phase_hold = 1;
        r.run_type = run;
        r.holdomit_phase = phaseNo;
        return RecordBytes(r);
    }
    SpecialCommand_2010 r = ZeroRecord<SpecialCommand_2010>();
    r.phase_hold = 1;
    r.run_type = run;
    r.holdomit_phase = phaseNo;
    return RecordBytes(r);
}

QByteArray TVipCtrlThread::CtrlModeRecord(const TLcData &data)
{
    TCtrlModeData d;
    SetCtrlModeBits(d.Bytes, CtrlModeDualRingIndex, data.FRingMode);
    SetCtrlModeBits(d.Bytes, CtrlModeCodeIndex, data.FOprMode);
    quint8 phase = data.FPhaseNo;
    // An advance in the fixed-cycle modes ends the running phase whatever it is.
    if (data.FCommandType == ctForceOff && (data.FOprMode == 16 || data.FOprMode == 18))
        phase = 9;
    SetCtrlPhaseBits(d.Bytes, CtrlPhaseRingAIndex, phase);
    SetCtrlPhaseBits(d.Bytes, CtrlPhaseRingBIndex, phase);
    return d.ToByteArray();
}

bool TVipCtrlThread::BuildRequest(THostSimplePacket &req, const TLcData &data, TRunType runType, int lcType)
{
    req.Reset();
    switch (data.FCommandType) {
    case ctHold:
        req.SetHead(opSpecial, ktIntersection, quint16(data.FLcId));
        return req.AddDazavaHead(quint8(lcType), opSpecial)
            && req.AddDazavaData(HoldRecord(lcType, runType, data.FPhaseNo));
    case ctForceOff:
    case ctJump:
        req.SetHead(opCtrlMode, ktIntersection, quint16(data.FLcId));
        return req.AddDazavaHead(quint8(lcType), opCtrlMode) && req.AddDazavaData(CtrlModeRecord(data));
    }
    return false;
}

int TVipCtrlThread::CheckReply(TCommandType commandType, const THostSimplePacket &reply)
{
    const int size = reply.DataSize;
    if (commandType == ctHold) {
        if (size < 2)
            return rcWrongSize;
        return reply.Data[1] == 0x51 ? rcSuccess : rcWrongOpcode;
    }
    if (size != 3)
        return rcWrongSize;
    return reply.Data[1] == 0x11 ? rcSuccess : rcWrongOpcode;
}

void TVipCtrlThread::Log(const QString &line)
{
    FLogStrArray = line;
    const TExchangeDump dump = ExchangeDumpFor(line, FPacketReq, FPacketRes);
    RcSynchronize([line, dump] { DispatchExchangeLog(line, dump, false); });
}

bool TVipCtrlThread::SendRequest(TRcClient &client)
{
    return RcSendLogged(client, FPacketReq, FTexts, [this](const QString &line) { Log(line); });
}

bool TVipCtrlThread::ReceiveReply(TRcClient &client)
{
    return RcReceiveLogged(client, FPacketRes, FTexts, [this](const QString &line) { Log(line); });
}

void TVipCtrlThread::run()
{
    FRtnValue = 0;
    TRcClient client;
    if (!client.Connect(FEndpoint)) {
        Log(FTexts[1]);
        FRtnValue = rcConnectFailed;
    } else {
        for (int i = 0; i < FLcDataArray.size(); ++i) {
            TLcData &d = FLcDataArray[i];
            const int lcType = i < FLcTypes.size() ? FLcTypes.at(i) : 1;
            FPacketRes.Reset();
            const TExchangeLogFn log = [this](const QString &line) { Log(line); };
            // A connection closed after a failed element is made again for the next.
            if (!client.Connected() && !client.Connect(FEndpoint)) {
                Log(FTexts[1]);
                d.FReturnVal = rcSendFailed;
                continue;
            }
            if (!RcDrainLogged(client, FTexts, log)) {
                // Bytes that came unasked: this connection cannot tell replies apart
                // any more and is closed.
                d.FReturnVal = rcReceiveFailed;
                RcCloseLogged(client, FPacketReq, FTexts, log);
                continue;
            }
            if (!BuildRequest(FPacketReq, d, FRunType, lcType) || !SendRequest(client)) {
                d.FReturnVal = rcSendFailed;
                continue;
            }
            if (!ReceiveReply(client)) {
                // What is left of this reply would be read as the next one's: this
                // connection is closed.
                d.FReturnVal = rcReceiveFailed;
                RcCloseLogged(client, FPacketReq, FTexts, log);
                continue;
            }
            d.FReturnVal = CheckReply(d.FCommandType, FPacketRes);
        }
    }

    // Closing step (nothing to close after a failed connection).
    if (!RcCloseLogged(client, FPacketReq, FTexts, [this](const QString &line) { Log(line); }))
        FRtnValue = rcCloseFailed;
}
