#include "centrelink/untTH_TCDV_C_Log.h"

#include "centrelink/CommLogFormat.h"
#include "core/siLang.h"

#include <QPlainTextEdit>

TfrmTH_TCDV_C_Log *frmTH_TCDV_C_Log = nullptr;

TfrmTH_TCDV_C_Log::TfrmTH_TCDV_C_Log(QWidget *owner)
    : TCommLogWindow(owner, QStringLiteral("TfrmTH_TCDV_C_Log"))
{
    setObjectName(QStringLiteral("frmTH_TCDV_C_Log"));
    if (!frmTH_TCDV_C_Log)
        frmTH_TCDV_C_Log = this;
}

TfrmTH_TCDV_C_Log::~TfrmTH_TCDV_C_Log()
{
    if (frmTH_TCDV_C_Log == this)
        frmTH_TCDV_C_Log = nullptr;
}

void TfrmTH_TCDV_C_Log::Write(const QStringList &lines)
{
    CommLog::AppendLines(mmLog, lines);
    CommLog::TrimAfterChange(mmLog, 1000);
    CommLog::ScrollToEnd(mmLog);
}

void TfrmTH_TCDV_C_Log::AddLog(const QString &Msg, const QString &Time)
{
    if (!FAdminMode)
        return;
    Write({CommLog::TimedLine(Msg, Time)});
}

void TfrmTH_TCDV_C_Log::DsplPacket(const QString &Title, const void *pPacket, int Len, int Line_Len)
{
    if (!FAdminMode)
        return;
    Write(CommLog::PacketDump(Title, pPacket, Len, Line_Len));
}

void TfrmTH_TCDV_C_Log::DsplTitle(const QString &Cmd, int TcdvId, const QString &TcdvName)
{
    if (!FAdminMode)
        return;
    Write(CommLog::TitleBlock(FLang->Text(QStringLiteral("IDS_5")), FLang->Text(QStringLiteral("IDS_6")),
                              FLang->Text(QStringLiteral("IDS_7")), Cmd, TcdvId, TcdvName));
}

void TfrmTH_TCDV_C_Log::DsplTitleSa(const QString &Cmd, int SaNo, const QString &SaName)
{
    if (!FAdminMode)
        return;
    Write(CommLog::TitleBlock(FLang->Text(QStringLiteral("IDS_5")), FLang->Text(QStringLiteral("IDS_10")),
                              FLang->Text(QStringLiteral("IDS_7")), Cmd, SaNo, SaName));
}

void TfrmTH_TCDV_C_Log::DsplRslt(const QString &Rslt)
{
    Write(CommLog::ResultLines(Rslt));
}
