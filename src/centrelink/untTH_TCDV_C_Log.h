#pragma once
// The control-command log: the commands and transfers sent on the control port,
// their packets and their results. Lines, packet dumps and title blocks only in
// admin mode; result lines always. Lines go into the memo at once; a memo of more
// than 1000 lines loses its first lines until fewer than 1000 remain.
// Created hidden by the main window and kept until shutdown (frmTH_TCDV_C_Log).

#include "centrelink/CommLogWindow.h"

class TfrmTH_TCDV_C_Log : public TCommLogWindow
{
    Q_OBJECT
public:
    explicit TfrmTH_TCDV_C_Log(QWidget *owner = nullptr);
    ~TfrmTH_TCDV_C_Log() override;

    void AddLog(const QString &Msg, const QString &Time = QString());
    void DsplPacket(const QString &Title, const void *pPacket, int Len, int Line_Len = 16);
    void DsplTitle(const QString &Cmd, int TcdvId, const QString &TcdvName);
    void DsplTitleSa(const QString &Cmd, int SaNo, const QString &SaName);
    void DsplRslt(const QString &Rslt);

private:
    void Write(const QStringList &lines);
};

// The one instance (set by its creator; cleared when it is destroyed).
extern TfrmTH_TCDV_C_Log *frmTH_TCDV_C_Log;
