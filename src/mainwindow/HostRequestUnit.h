#pragma once
// The two requests the console sends to the centre server itself, "Reload
// Parameter" (parameters changed, opcode 4, accepted reply 5, event value 1) and
// "Restart Server" (opcode 6, accepted reply 7, event value 2): confirmation, one
// exchange on the control port with target kind 3 (host) and target 0, the result
// text, the operator event (code 13, kind 3), a line in the monitoring-link log and
// the result box. The monitoring timer is stopped from the confirmation until the
// box has been closed.
//
// The main window's actions call it:
//     void TfrmMain::actReqtParamsChangedExecute() {
//         THostRequestHooks h;
//         h.StopMonitoring = [this] { ttRCTimer->stop(); };
//         h.StartMonitoring = [this] { ttRCTimer->start(); };
//         h.AddLogCom = [this](const QString &m) { AddLogCom(m); };
//         ExecuteHostRequest(this, hrParamsChanged, h);
//     }
#include <QString>
#include <functional>

#include "centrelink/RC2MMIUnit.h"

class QWidget;

enum THostRequestKind { hrParamsChanged = 0, hrHostReboot = 1 };

// What differs between the two requests.
struct THostRequestDef
{
    QString ActionName;   // actReqtParamsChanged / actReqtHostReboot
    QString NameKey;      // IDS_64 / IDS_65
    QString QuestionKey;  // IDS_35 / IDS_36
    quint8 Opcode = 0;    // 4 / 6
    quint8 ReplyCommand = 0; // 5 / 7
    int EventValue = 0;   // 1 / 2
};
const THostRequestDef &HostRequestDef(THostRequestKind kind);

// The request packet: header opcode, kind 3, target 0, no data (reset first).
void BuildHostRequest(THostSimplePacket &req, THostRequestKind kind);

// The result text of an exchange's return value and the reply header's command:
// 99991/99992/99993 "<name> : <failure>"; anything else "[<name>] " followed by
// IDS_33 when the command is the accepted one, else IDS_34.
QString HostRequestResultText(THostRequestKind kind, int rtn, quint8 replyCommand);

struct THostRequestHooks
{
    std::function<void()> StopMonitoring;             // ttRCTimer off
    std::function<void()> StartMonitoring;            // ttRCTimer on
    std::function<void(const QString &)> AddLogCom;   // monitoring-link log line
};

// Runs one host request from the user-interface thread. False when the operator
// declined (nothing sent); true otherwise, with the result text in *resultText.
bool ExecuteHostRequest(QWidget *owner, THostRequestKind kind, const THostRequestHooks &hooks,
                        QString *resultText = nullptr);
