#pragma once
// The intersection commands apart from the window that chooses them: for one
// intersection at a time it builds the request, runs the exchange, judges the reply,
// writes the control-command log and hands the result line to the window, and
// writes the operator-event rows.
//
// Commands: operating mode (0xE8), TOD/TRC (0xEA), control mode (0x10), firmware
// upgrade (0x56), special command (0x50) and the priority-list requests (0x50).
// The controller type of an intersection is looked up once per command and that one
// value goes into the controller head and chooses the record.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "control/ControlPacketUnit.h"
#include "control/ControlRecordUnit.h"
#include "centrelink/RC2MMIUnit.h"

class QWidget;

// The operator's choices, taken from the window's controls when a run starts.
struct TLcCommandInputs
{
    quint8 OprMode = 0x80;        // 0x80 centre mode, 0x40 local mode
    quint8 TodTrcMode = 0;        // 0 TOD, 1 TRC
    int CtrlModeItem = -1;        // item of the control-mode list, -1 none
    TFirmwareKind FwKind = fkMCU; // MCU or SCU firmware of the intersection
    int UpgradeMode = 0;          // item index of "업그레이드 방법"
    int RebootFlag = 0;           // item index of "재시작"
    QString UpgradeModeText;      // item texts for the event row
    QString RebootText;
    TSpecialCommandChoice Special;
    int PpcManager = 1;           // agency code of the read-list request
    QList<TPpcEntry> PpcRows;     // the rows of the entries grid (with their ticks)
};

class TLC_INFO_SET;

class TTcdvCommandRunner
{
public:
    static QString LangTable() { return QStringLiteral("TfrmTCDV_C_Control"); }
    // Text of the window's table ([TDM] when missing there).
    static QString Text(const QString &key);

    // The live state set (the dual-ring flag of the control mode); not owned.
    const TLC_INFO_SET *LcInfoSet = nullptr;
    TLcCommandInputs Inputs;
    // Owner of message boxes of the database look-ups.
    QWidget *Owner = nullptr;
    // The window's result list: intersection name, " - " and the text.
    std::function<void(const QString &line)> OnResultLine;
    // Called after each exchange, before the next one (the window processes events).
    std::function<void()> OnExchanged;

    // Records as the last request of each kind left them.
    SpecialCommand_2004 FSpCmd_2004 = ZeroRecord<SpecialCommand_2004>();
    SpecialCommand_2010 FSpCmd_2010 = ZeroRecord<SpecialCommand_2010>();
    TFWUpgrade FFWUpgare = ZeroRecord<TFWUpgrade>();

    // One exchange of 0xE8, 0xEA, 0x10 or 0x56 with an intersection; true on success.
    // Another opcode sends nothing and returns false.
    bool SendLcCommand(int lcNo, quint8 opcode, const QString &title);
    // Event row of code 41 for 0xE8, 0xEA and 0x56 (none for 0x10).
    void WriteLcCommandEvent(int lcNo, quint8 opcode, const QString &title, bool ok);

    // Fills the record of the controller type from the choice.
    void BuildSpecialCommand(int lcType);
    // One special command to an intersection of the given type; true on success.
    bool SendSpecialCommand(int lcNo, int lcType);
    // Event rows (code 41) of the record of the given type, one per item sent.
    void LogSpecialCommandEvents(int lcNo, int lcType, bool ok);

    // Fills FFWUpgare from the intersection's firmware row of the chosen kind. False
    // when there is none (the record is left as it was). *crcValid tells whether
    // the stored CRC-32 is a hexadecimal text.
    bool LoadFirmwareRecord(int lcNo, bool *crcValid = nullptr);

    // Priority lists (2010 intersections): register or delete the ticked rows of the
    // intersection, or delete all; true when the (last) exchange succeeded.
    bool SendPpcCommand(int lcNo, int lcType, TPpcKind kind);
    bool SendPpcGetList(int lcNo, int lcType);

    // Number of requests sent (exchanges run) since creation.
    int ExchangeCount() const { return FExchangeCount; }

private:
    int Exchange();
    void Title(const QString &title, int lcNo);
    void Result(int lcNo, const QString &text);
    bool PpcExchange(int lcNo, int lcType, const QString &title, bool withNumber);

    THostSimplePacket FReq;
    THostSimplePacket FRes;
    int FExchangeCount = 0;
};

// Title of a priority-list kind (IDS_312, IDS_313, IDS_311).
QString PpcKindTitle(TPpcKind kind);
