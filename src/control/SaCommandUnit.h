#pragma once
// The group commands apart from the window: group operating mode (0xE6), group
// TOD/TRC (0xEA, target kind 2) and group manual control (0xEC with TManCtrl). For
// one group at a time it builds the request, runs the exchange, judges the reply,
// writes the control-command log, hands the line to the window and writes the
// operator-event row.

#include <QString>

#include <functional>

#include "control/ControlPacketUnit.h"
#include "control/ControlRecordUnit.h"
#include "centrelink/RC2MMIUnit.h"

struct TSaCommandInputs
{
    quint8 OprMode = 0x80;  // 0x80 centre mode, 0x40 local mode
    quint8 TodTrcMode = 0;  // 0 TOD, 1 TRC
    TManCtrl ManCtrl{1, 1, 1};
};

class TSaCommandRunner
{
public:
    static QString LangTable() { return QStringLiteral("TfrmSA_C_Control"); }
    static QString Text(const QString &key);

    TSaCommandInputs Inputs;
    // The window's result list: group name, " - " and the text.
    std::function<void(const QString &line)> OnResultLine;

    // One exchange with a group; true when the reply was accepted with the expected
    // opcode. Another opcode sends nothing and returns false.
    bool SendSaCommand(int saNo, quint8 opcode, const QString &title);
    // The event row of a group command (codes 64, 68, 67; kind 2).
    void WriteSaCommandEvent(int saNo, quint8 opcode, const QString &title, bool ok);

    int ExchangeCount() const { return FExchangeCount; }

private:
    THostSimplePacket FReq;
    THostSimplePacket FRes;
    int FExchangeCount = 0;
};
