#include "centrelink/ExchangeLogUnit.h"

#include "core/siLang.h"
#include "core/untDM.h"
#include "centrelink/untTH_TCDV_C_Log.h"

#include <QCoreApplication>
#include <QThread>

#include "core/LookupUnit.h"

namespace {
// Set and read on the user-interface thread only: the threads hand their lines over
// through RcSynchronize and take endpoints and look-ups in their constructors.
TExchangeLogObserver g_observer;
bool g_haveEndpointOverride = false;
TRcEndpoint g_endpointOverride;
TLcTypeLookup g_typeLookup;
TLcNameLookup g_nameLookup;

bool OnUiThread()
{
    QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}
} // namespace

void RcSynchronize(const std::function<void()> &fn)
{
    if (OnUiThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

void RcQueue(const std::function<void()> &fn)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, fn, Qt::QueuedConnection);
}

TUpDnTexts TUpDnTexts::Current()
{
    TUpDnTexts texts;
    if (DM) {
        QString *fields[25] = {nullptr,        &DM->T_UpDn1,  &DM->T_UpDn2,  &DM->T_UpDn3,
                               &DM->T_UpDn4,  &DM->T_UpDn5,  &DM->T_UpDn6,  &DM->T_UpDn7,
                               &DM->T_UpDn8,  &DM->T_UpDn9,  &DM->T_UpDn10, &DM->T_UpDn11,
                               &DM->T_UpDn12, &DM->T_UpDn13, &DM->T_UpDn14, &DM->T_UpDn15,
                               &DM->T_UpDn16, &DM->T_UpDn17, &DM->T_UpDn18, &DM->T_UpDn19,
                               &DM->T_UpDn20, &DM->T_UpDn21, &DM->T_UpDn22, &DM->T_UpDn23,
                               &DM->T_UpDn24};
        for (int i = 1; i <= 24; ++i)
            texts.t[i] = *fields[i];
    }
    for (int i = 1; i <= 24; ++i) {
        if (texts.t[i].isEmpty())
            texts.t[i] = siText(QStringLiteral("TDM"), QStringLiteral("strUpDn%1").arg(i));
    }
    return texts;
}

void SetExchangeLogObserver(TExchangeLogObserver observer)
{
    g_observer = std::move(observer);
}

void NotifyExchangeLogObserver(const QString &line)
{
    const TExchangeLogObserver observer = g_observer; // a copy: the observer may replace itself
    if (observer)
        observer(line);
}

QStringList DispatchExchangeLog(const QString &line, const TExchangeDump &dump, bool replaceCommaMark)
{
    NotifyExchangeLogObserver(line);
    QStringList parts = line.split(QLatin1Char(','));
    if (replaceCommaMark) {
        for (QString &p : parts)
            p.replace(QStringLiteral("!@#$"), QStringLiteral(","));
    }
    TfrmTH_TCDV_C_Log *log = frmTH_TCDV_C_Log;
    if (!log)
        return parts;
    if (parts.size() == 1) {
        log->AddLog(parts.first());
        return parts;
    }
    const QString kind = parts.at(1);
    const QByteArray *bytes = nullptr;
    if (kind == QLatin1String("SND"))
        bytes = &dump.request;
    else if (kind == QLatin1String("RSV_HEAD"))
        bytes = &dump.replyHead;
    else if (kind == QLatin1String("RSV_DATA"))
        bytes = &dump.replyData;
    if (bytes)
        log->DsplPacket(parts.first(), bytes->constData(), int(bytes->size()), 16);
    return parts;
}

TRcEndpoint DefaultCtrlEndpoint()
{
    if (g_haveEndpointOverride)
        return g_endpointOverride;
    TRcEndpoint ep;
    if (DM) {
        ep.host = DM->G_HOST;
        ep.port = DM->G_RC_CTRL_PORT;
        ep.connectTimeout = DM->G_CONNECTION_TIMEOUT;
        ep.readTimeout = DM->G_READ_TIMEOUT;
    }
    return ep;
}

TRcEndpoint DefaultMntrEndpoint()
{
    TRcEndpoint ep = DefaultCtrlEndpoint();
    if (g_haveEndpointOverride)
        return ep;
    if (DM)
        ep.port = DM->G_RC_MNTR_PORT;
    return ep;
}

void SetCtrlEndpointOverride(const TRcEndpoint *endpoint)
{
    g_haveEndpointOverride = endpoint != nullptr;
    if (endpoint)
        g_endpointOverride = *endpoint;
}

void SetLcLookups(TLcTypeLookup typeLookup, TLcNameLookup nameLookup)
{
    g_typeLookup = std::move(typeLookup);
    g_nameLookup = std::move(nameLookup);
}

int LookupLcType(int lcNo)
{
    if (g_typeLookup)
        return g_typeLookup(lcNo);
    if (DM)
        return GetLcType(lcNo);
    return 1;
}

QString LookupLcName(int lcNo)
{
    if (g_nameLookup)
        return g_nameLookup(lcNo);
    if (DM)
        return GetLcName(lcNo);
    return QString::number(lcNo);
}

TExchangeDump ExchangeDumpFor(const QString &line, const THostSimplePacket &request,
                              const THostSimplePacket &reply)
{
    TExchangeDump dump;
    const QString kind = line.section(QLatin1Char(','), 1, 1);
    if (kind == QLatin1String("SND"))
        dump.request = request.ToByteArray();
    else if (kind == QLatin1String("RSV_HEAD"))
        dump.replyHead = reply.Head.ToByteArray();
    else if (kind == QLatin1String("RSV_DATA"))
        dump.replyData = reply.DataBytes();
    return dump;
}

bool RcSendLogged(TRcClient &client, const THostSimplePacket &request, const TUpDnTexts &texts,
                  const TExchangeLogFn &log, bool fits)
{
    const int wireSize = request.WireSize();
    log(QStringLiteral(">> %1,SND,%2").arg(texts[14]).arg(wireSize));
    if (!fits || !client.Send(request.WireBytes(), wireSize)) {
        log(texts[4]);
        return false;
    }
    return true;
}

bool RcReceiveLogged(TRcClient &client, THostSimplePacket &reply, const TUpDnTexts &texts,
                     const TExchangeLogFn &log)
{
    if (!client.ReceiveExact(reinterpret_cast<char *>(&reply.Head), RC_HEAD_SIZE)) {
        log(texts[6]);
        return false;
    }
    if (!IsServerReplyHead(reply.Head)) {
        // Not a reply of the centre server: shown as it came, and nothing more is read.
        reply.DataSize = 0;
        log(QStringLiteral(">> %1,RSV_HEAD,%2").arg(texts[11]).arg(RC_HEAD_SIZE));
        log(texts[6]);
        return false;
    }
    reply.ConvertRecvHead();
    log(QStringLiteral(">> %1,RSV_HEAD,%2").arg(texts[11]).arg(RC_HEAD_SIZE));
    reply.DataSize = 0;
    const quint32 dsize = reply.Head.dsize;
    if (dsize == 0)
        return true;
    if (dsize > quint32(THostSimplePacket::DataCapacity)
        || !client.ReceiveExact(reinterpret_cast<char *>(reply.Data), int(dsize))) {
        log(QStringLiteral(">> %1").arg(texts[12]));
        return false;
    }
    reply.DataSize = qint32(dsize);
    log(QStringLiteral(">> %1,RSV_DATA,%2").arg(texts[13]).arg(dsize));
    return true;
}

bool RcDrainLogged(TRcClient &client, const TUpDnTexts &texts, const TExchangeLogFn &log)
{
    if (client.DrainPending() == 0)
        return true;
    log(QStringLiteral(">> %1").arg(texts[12]));
    return false;
}

bool RcCloseLogged(TRcClient &client, THostSimplePacket &buffer, const TUpDnTexts &texts,
                   const TExchangeLogFn &log)
{
    bool closed = true;
    if (client.Connected()) {
        if (!client.SendClosing(buffer)) {
            log(texts[10]);
            closed = false;
        }
        client.PauseAndDisconnect();
    } else {
        client.Abort();
    }
    if (!closed)
        log(texts[2]);
    return closed;
}
