#include "centrelink/UpDnThread.h"

#include <QCoreApplication>
#include <QEventLoop>

void RcWaitForThread(QThread *thread)
{
    if (!thread)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        QEventLoop loop;
        QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        // A thread that has not been started yet cannot finish: nothing to wait for.
        if (!thread->isFinished() && thread->isRunning())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The finished signal comes just before the thread's very end.
        thread->wait();
        return;
    }
    thread->wait();
}

TUpDnThread::TUpDnThread(PHostSimplePacket pPacketReq, PHostSimplePacket pPacketRes, QObject *parent)
    : TUpDnThread(pPacketReq, pPacketRes, DefaultCtrlEndpoint(), parent)
{
}

TUpDnThread::TUpDnThread(PHostSimplePacket pPacketReq, PHostSimplePacket pPacketRes,
                         const TRcEndpoint &endpoint, QObject *parent)
    : QThread(parent), m_pPacketReq(pPacketReq), m_pPacketRes(pPacketRes), FEndpoint(endpoint),
      FTexts(TUpDnTexts::Current())
{
}

TUpDnThread::~TUpDnThread()
{
    if (isRunning())
        RcWaitForThread(this);
}

int TUpDnThread::WaitFor()
{
    RcWaitForThread(this);
    return FReturnValue;
}

void TUpDnThread::Log(const QString &line)
{
    FLogStrArray = line;
    const TExchangeDump dump = ExchangeDumpFor(line, *m_pPacketReq, *m_pPacketRes);
    RcSynchronize([line, dump] { DispatchExchangeLog(line, dump, false); });
}

void TUpDnThread::run()
{
    FReturnValue = 0;
    TRcClient client;

    if (!client.Connect(FEndpoint)) {
        Log(FTexts[1]);
        FReturnValue = rcConnectFailed;
    } else {
        const int wireSize = m_pPacketReq->WireSize();
        Log(FTexts[3] + QString::number(wireSize));
        bool ok = false;
        bool unrequested = false;
        if (m_pPacketReq->DataSize < 0 || m_pPacketReq->DataSize > THostSimplePacket::DataCapacity) {
            Log(FTexts[5]);
        } else if (client.DrainPending() > 0) {
            // The peer sent before it was asked: nothing it sends can be trusted as the reply.
            Log(FTexts[8]);
            unrequested = true;
        } else if (!client.Send(m_pPacketReq->WireBytes(), wireSize)) {
            Log(FTexts[4]);
        } else {
            ok = true;
        }
        if (unrequested) {
            FReturnValue = rcReceiveFailed;
        } else if (!ok) {
            FReturnValue = rcSendFailed;
        } else {
            // The header is logged before its data is read so that the dump shows
            // what came, also when the data then fails.
            if (!client.ReceiveExact(reinterpret_cast<char *>(&m_pPacketRes->Head), RC_HEAD_SIZE)) {
                Log(FTexts[6]);
                FReturnValue = rcReceiveFailed;
            } else if (!IsServerReplyHead(m_pPacketRes->Head)) {
                // Not a reply of the centre server: shown as it came, nothing more is read.
                m_pPacketRes->DataSize = 0;
                Log(FTexts[7]);
                Log(FTexts[6]);
                FReturnValue = rcReceiveFailed;
            } else {
                m_pPacketRes->ConvertRecvHead();
                Log(FTexts[7]);
                m_pPacketRes->DataSize = 0;
                const quint32 dsize = m_pPacketRes->Head.dsize;
                if (dsize != 0) {
                    if (dsize > quint32(THostSimplePacket::DataCapacity)
                        || !client.ReceiveExact(reinterpret_cast<char *>(m_pPacketRes->Data), int(dsize))) {
                        // A reply larger than the data area is refused unread.
                        Log(FTexts[8]);
                        FReturnValue = rcReceiveFailed;
                    } else {
                        m_pPacketRes->DataSize = qint32(dsize);
                        Log(FTexts[9] + QString::number(dsize));
                    }
                }
                if (FReturnValue == 0)
                    FReturnValue = m_pPacketRes->DataSize;
            }
        }
    }

    // Closing step, whatever happened before (built in the request buffer).
    if (!RcCloseLogged(client, *m_pPacketReq, FTexts, [this](const QString &line) { Log(line); }))
        FReturnValue = rcCloseFailed;
}
