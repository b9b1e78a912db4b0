#include "centrelink/CtrlThreadUnit.h"

#include "centrelink/UpDnThread.h"
#include "centrelink/untTH_TCDV_C_Log.h"

#include <QStatusBar>
#include <QWidget>

namespace {

TRcEndpoint MakeEndpoint(const QString &host, int port, int connectTimeout, int readTimeout)
{
    TRcEndpoint ep;
    ep.host = host;
    ep.port = port;
    ep.connectTimeout = connectTimeout;
    ep.readTimeout = readTimeout;
    return ep;
}

void SetProgressCaption(QObject *progress, const QString &caption)
{
    if (!progress)
        return;
    const QMetaObject *mo = progress->metaObject();
    if (mo->indexOfProperty("Caption") >= 0) {
        progress->setProperty("Caption", caption);
        return;
    }
    if (mo->indexOfMethod("SetCaption(QString)") >= 0) {
        QMetaObject::invokeMethod(progress, "SetCaption", Qt::DirectConnection, Q_ARG(QString, caption));
        return;
    }
    if (auto *w = qobject_cast<QWidget *>(progress))
        w->setWindowTitle(caption);
}

void ShowOutcome(QObject *logObj, int imageIndex, const QString &text)
{
    if (!logObj)
        return;
    if (auto *view = dynamic_cast<ICtrlOutcomeView *>(logObj)) {
        view->ShowCtrlOutcome(imageIndex, text);
        return;
    }
    if (auto *bar = qobject_cast<QStatusBar *>(logObj))
        bar->showMessage(text);
}

} // namespace

TCtrlThread::TCtrlThread(int ALcId, TCtrlDataArray &ADataArray, quint16 AReqOpcode, quint16 AResOpcode,
                         int AReqtType, const QString &ATitle, QObject *ALogObj, QObject *AProgressBar,
                         const QString &AHost, int ARcCtrlPort, int AConnectionTimeOut, int AReadTimeOut,
                         QObject *parent)
    : TCtrlThread(ALcId, ADataArray, AReqOpcode, AResOpcode, AReqtType, ATitle, ALogObj, AProgressBar,
                  MakeEndpoint(AHost, ARcCtrlPort, AConnectionTimeOut, AReadTimeOut), parent)
{
}

TCtrlThread::TCtrlThread(int ALcId, TCtrlDataArray &ADataArray, quint16 AReqOpcode, quint16 AResOpcode,
                         int AReqtType, const QString &ATitle, QObject *ALogObj, QObject *AProgressBar,
                         const TRcEndpoint &AEndpoint, QObject *parent)
    : QThread(parent), FHost(AEndpoint.host), FRcCtrlPort(AEndpoint.port),
      FConnectionTimeOut(AEndpoint.connectTimeout), FReadTimeOut(AEndpoint.readTimeout),
      FEndpoint(AEndpoint), FReqOpcode(AReqOpcode), FResOpcode(AResOpcode), FReqtType(AReqtType),
      FTitle(ATitle), FLogObj(ALogObj), FProgressBar(AProgressBar), FLcId(ALcId),
      FDataArray(ADataArray), FTexts(TUpDnTexts::Current())
{
    FPacketReq.Reset();
    FPacketRes.Reset();
    // One lookup for every controller head of the run, done here on the creating
    // thread: the worker never touches the user-interface thread's connection.
    FLcType = LookupLcType(ALcId);
    FLcName = LookupLcName(ALcId);
}

TCtrlThread::~TCtrlThread()
{
    if (isRunning()) {
        requestInterruption();
        RcWaitForThread(this);
    }
}

int TCtrlThread::WaitFor()
{
    RcWaitForThread(this);
    return FRtnValue;
}

bool TCtrlThread::IsRefused(quint16 reqOpcode, const QByteArray &resData)
{
    int index = -1;
    switch (reqOpcode) {
    case 64: case 160: case 164: case 168: case 180: case 192: case 196: case 202: case 208: case 212:
        index = 0;
        break;
    case 176: case 188:
        index = 1;
        break;
    case 206:
        index = 26;
        break;
    default:
        return false;
    }
    return index < resData.size() && quint8(resData.at(index)) == 0;
}

int TCtrlThread::CheckReply(TCtrlData &frame, const THostSimplePacket &reply, quint16 resOpcode,
                            quint16 reqOpcode)
{
    const int h = qMax(0, frame.FResHeaderSize);
    const int n = frame.FResDataSize;
    const int d = qBound(0, int(reply.DataSize), THostSimplePacket::DataCapacity);
    auto opcodeMatches = [&] { return d >= 2 && quint16(reply.Data[1]) == resOpcode; };

    int result;
    if (frame.FEqualCompare) {
        frame.FResData = QByteArray(qMax(0, n - h), '\0');
        if (d == n) {
            const int count = qMax(0, d - h);
            if (count > 0)
                std::memcpy(frame.FResData.data(), reply.Data + h, size_t(count));
            result = opcodeMatches() ? rcSuccess : rcWrongOpcode;
        } else {
            result = rcWrongSize;
        }
    } else {
        if (d < n) {
            result = rcWrongSize;
        } else {
            frame.FResData = QByteArray(reinterpret_cast<const char *>(reply.Data) + qMin(h, d), qMax(0, d - h));
            result = opcodeMatches() ? rcSuccess : rcWrongOpcode;
        }
    }
    if (result == rcSuccess && IsRefused(reqOpcode, frame.FResData))
        result = rcRefused;
    return result;
}

void TCtrlThread::Log(const QString &line)
{
    FLogStrArray = line;
    const TExchangeDump dump = ExchangeDumpFor(line, FPacketReq, FPacketRes);

    QPointer<QObject> logObj = FLogObj;
    QPointer<QObject> progress = FProgressBar;
    const QString lcName = FLcName;
    RcSynchronize([line, dump, logObj, progress, lcName] {
        const QStringList parts = DispatchExchangeLog(line, dump, true);
        if (parts.size() < 2)
            return;
        if (parts.at(1) == QLatin1String("START")) {
            SetProgressCaption(progress, parts.first());
        } else if (parts.at(1) == QLatin1String("RESULT")) {
            if (TfrmTH_TCDV_C_Log *log = frmTH_TCDV_C_Log)
                log->DsplRslt(parts.first());
            const bool success = parts.size() > 2 && parts.at(2) == QLatin1String("Success");
            ShowOutcome(logObj, success ? 1 : 2,
                        QStringLiteral(" %1 - %2").arg(lcName, parts.first()));
        }
    });
}

void TCtrlThread::LogResult(const QString &title, int result)
{
    switch (result) {
    case rcSuccess:
        Log(QStringLiteral("%1 : %2,RESULT,Success").arg(title, FTexts[16]));
        break;
    case rcWrongOpcode:
        Log(QStringLiteral("%1 : %2,RESULT,Fail").arg(title, FTexts[15]));
        break;
    case rcWrongSize:
        Log(QStringLiteral("%1 : %2,RESULT,Fail").arg(title, FTexts[18]));
        break;
    case rcRefused:
        Log(QStringLiteral("%1 : %2,RESULT,Fail").arg(title, FTexts[17]));
        break;
    default:
        break;
    }
}

void TCtrlThread::run()
{
    TRcClient client;
    if (!client.Connect(FEndpoint)) {
        Log(FTexts[1]);
        FRtnValue = rcConnectFailed;
        client.Abort();
        return;
    }

    const TExchangeLogFn log = [this](const QString &line) { Log(line); };
    const int count = int(FDataArray.size());
    for (int i = 0; i < count && !isInterruptionRequested(); ++i) {
        TCtrlData &frame = FDataArray[i];
        if (frame.FTitle.isEmpty())
            frame.FTitle = FTitle;
        const QString title = frame.FTitle;
        Log(QStringLiteral("%1,START").arg(title));

        // Request: header, controller head, the frame's bytes.
        FPacketReq.Reset();
        FPacketRes.Reset();
        if (FReqtType == ktServer)
            FPacketReq.SetHead(quint8(FReqOpcode), ktServer, 0);
        else if (FReqtType == ktIntersection)
            FPacketReq.SetHead(quint8(FReqOpcode), ktIntersection, quint16(FLcId));
        else
            FPacketReq.SetHead(quint8(FReqOpcode), quint8(FReqtType), 0);
        bool fits = FPacketReq.AddDazavaHead(quint8(FLcType), quint8(FReqOpcode));
        if (frame.FReqDataSize > 0) {
            // Never read past the frame's bytes: missing bytes are sent as zeros.
            const int have = qMin(int(frame.FReqData.size()), frame.FReqDataSize);
            fits = fits && FPacketReq.AddDazavaData(nullptr, quint32(frame.FReqDataSize));
            if (fits && have > 0)
                std::memcpy(FPacketReq.Data + 2, frame.FReqData.constData(), size_t(have));
        }

        // Nothing may wait on the connection before a request: a peer that sent
        // unasked (a reply twice, a flood) would have its bytes taken as this
        // frame's reply. The list stops here as after a failed receive.
        if (!RcDrainLogged(client, FTexts, log)) {
            frame.FReturnVal = rcReceiveFailed;
            Log(QStringLiteral("%1 : %2,RESULT,Fail").arg(title, FTexts[23]));
            break;
        }

        // Send.
        if (!RcSendLogged(client, FPacketReq, FTexts, log, fits)) {
            frame.FReturnVal = rcSendFailed;
            Log(QStringLiteral("%1 : %2,RESULT,Fail").arg(title, FTexts[22]));
            break;
        }

        // Receive.
        if (!RcReceiveLogged(client, FPacketRes, FTexts, log)) {
            frame.FReturnVal = rcReceiveFailed;
            Log(QStringLiteral("%1 : %2,RESULT,Fail").arg(title, FTexts[23]));
            break;
        }

        frame.FReturnVal = CheckReply(frame, FPacketRes, FResOpcode, FReqOpcode);
        LogResult(title, frame.FReturnVal);
        if (i + 1 < count && FFramePause > 0)
            QThread::msleep(ulong(FFramePause));
    }

    FRtnValue = rcSuccess;
    if (!RcCloseLogged(client, FPacketReq, FTexts, log))
        FRtnValue = rcCloseFailed;
}
