#include "centrelink/untTH_LogCom.h"

#include "centrelink/CommLogFormat.h"
#include "foundation/Cp949.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTimer>

TfrmTH_LogCom *frmTH_LogCom = nullptr;

namespace {
constexpr int kFlushThresholdBytes = 2500;
constexpr int kLineBreakBytes = 2;
} // namespace

TfrmTH_LogCom::TfrmTH_LogCom(QWidget *owner)
    : TCommLogWindow(owner, QStringLiteral("TfrmTH_LogCom"))
{
    setObjectName(QStringLiteral("frmTH_LogCom"));
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(500);
    connect(Timer, &QTimer::timeout, this, &TfrmTH_LogCom::Flush);
    if (!frmTH_LogCom)
        frmTH_LogCom = this;
}

TfrmTH_LogCom::~TfrmTH_LogCom()
{
    Timer->stop();
    if (frmTH_LogCom == this)
        frmTH_LogCom = nullptr;
}

bool TfrmTH_LogCom::TimerActive() const { return Timer->isActive(); }

void TfrmTH_LogCom::Buffer(const QStringList &lines)
{
    for (const QString &line : lines) {
        FBuffer << line;
        FBufferBytes += Cp949ByteLength(line) + kLineBreakBytes;
    }
    if (!Timer->isActive() && FBufferBytes > kFlushThresholdBytes)
        Flush();
}

void TfrmTH_LogCom::AddLog(const QString &Msg, const QString &Time)
{
    if (!FAdminMode)
        return;
    Buffer({CommLog::TimedLine(Msg, Time)});
}

void TfrmTH_LogCom::DsplPacket(const QString &Title, const void *pPacket, int Len, int Line_Len)
{
    if (!FAdminMode)
        return;
    Buffer(CommLog::PacketDump(Title, pPacket, Len, Line_Len));
}

void TfrmTH_LogCom::Flush()
{
    if (FBuffer.isEmpty())
        return;
    mmLog->setUpdatesEnabled(false);
    CommLog::TrimBeforeFlush(mmLog, 1000, 100);
    CommLog::AppendLines(mmLog, FBuffer);
    mmLog->setUpdatesEnabled(true);
    FBuffer.clear();
    FBufferBytes = 0;
    CommLog::ScrollToEnd(mmLog);
}

void TfrmTH_LogCom::showEvent(QShowEvent *event)
{
    TCommLogWindow::showEvent(event);
    Timer->start();
}

void TfrmTH_LogCom::hideEvent(QHideEvent *event)
{
    Timer->stop();
    TCommLogWindow::hideEvent(event);
}

void TfrmTH_LogCom::closeEvent(QCloseEvent *event)
{
    Timer->stop();
    TCommLogWindow::closeEvent(event);
}
