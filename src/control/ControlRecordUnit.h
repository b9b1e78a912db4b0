#pragma once
// Command records that the control windows send to controllers and groups, byte
// for byte as they go on the wire, with the routines that fill them:
//   SpecialCommand_2004 and SpecialCommand_2010 of opcode 0x50 (the records themselves
//   are the link's, centrelink/SpecialCommandRecords.h),
//   TFWUpgrade (32 bytes) of opcode 0x56, its multi-byte fields always big-endian,
//   TManCtrl (3 bytes) of the group manual control (opcode 0xEC),
//   the priority-list requests, special commands whose vehicle or route number
//   (ppc_number_cd) is always little-endian.
// The byte-order switch of the centre-server link touches none of these bytes.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QtEndian>

#include <cstddef>

#include "centrelink/SpecialCommandRecords.h"

#pragma pack(push, 1)

// ===========================================================================
// Firmware upgrade
// ===========================================================================

struct TFWUpgrade
{
    quint16_be ModuleID;  // FW_ID
    quint32_be FileSize;  // FW_SIZE
    quint8 FileName[15];  // zeros
    quint8 VerMajor;
    quint8 VerMinor;
    quint8 VerModule;
    quint16_be VerRev;
    quint8 UpgradeMode;   // 0 higher version, 1 forced
    quint8 RebootFlaag;   // 0 no, 1 restart, 2 cancel the upgrade
    quint32_be Crc32;     // FW_CRC32
};

// ===========================================================================
// Group manual control
// ===========================================================================

struct TManCtrl
{
    quint8 CycleNo;
    quint8 PhaseNo;
    quint8 OffsetNo;
};
#pragma pack(pop)

static_assert(sizeof(TFWUpgrade) == 32, "TFWUpgrade is 32 bytes");
static_assert(offsetof(TFWUpgrade, VerRev) == 24, "VerRev at 24");
static_assert(offsetof(TFWUpgrade, Crc32) == 28, "Crc32 at 28");
static_assert(sizeof(TManCtrl) == 3, "TManCtrl is 3 bytes");

// ===========================================================================
// Filling the special command from the operator's choice
// ===========================================================================

// What the operator chose on the "공통" page for a special command.
struct TSpecialCommandChoice
{
    bool Shutdown = false;    // 소등
    bool Flash = false;       // 점멸
    bool FrenzyCtl = false;   // 조광제어
    bool ConflDtr = false;    // 모순검지
    bool Manual = false;      // 수동조작
    bool ConflReset = false;  // 모순해제
    bool ScuReset = false;    // SCU 리셋
    bool McuReset = false;    // MCU 리셋
    bool ActiveStart = false; // 감응제어
    bool PedBtn = false;      // 보행자버튼(2010), the 2010 record only

    bool HoldOmit = false;    // the "현시 유지/생략" box is ticked
    int HoldOmitItem = 0;     // 0 hold, 1 omit
    int HoldOmitPhase = 1;    // 1..8

    bool Spillback = false;   // the "앞막힘 제어" box is ticked
    int SpillbackDirItem = 4; // item index 0..7 (north .. north-west); the direction is index + 1
    int SpillbackPhase1 = 1;  // 1..16
    int SpillbackPhase2 = 1;  // 1..16

    bool TimeDiff = false;    // the "시차제" box is ticked
    int TimeDiffPlan = 6;     // 6..10, the 2010 record only

    int RunTypeItem = 0;      // 0 "수행" (run_type 1), 1 "수행종료" (run_type 0)

    // True when any of the ten boxes or the three group boxes is ticked.
    bool AnyChosen() const;
};

SpecialCommand_2004 BuildSpecialCommand2004(const TSpecialCommandChoice &c);
SpecialCommand_2010 BuildSpecialCommand2010(const TSpecialCommandChoice &c);

// ===========================================================================
// Event rows of a special command (event code 41, kind 1)
// ===========================================================================

// One operator-event row of a special command: the event value, the language key of
// the item text and the numbers the text is formatted with.
struct TSpecialEvent
{
    int Value = 0;
    QString Key;
    QList<int> Args;
};

// The rows of a record, in the order they are written: one for every listed
// non-zero field (push_btn_enable and ppc_ctl exist in the 2010 record only).
QList<TSpecialEvent> SpecialCommandEvents(const SpecialCommand_2004 &r);
QList<TSpecialEvent> SpecialCommandEvents(const SpecialCommand_2010 &r);

// ===========================================================================
// Firmware
// ===========================================================================

// Firmware kinds of the "펌웨어 종류" choice.
enum TFirmwareKind { fkMCU = 0, fkSCU = 1 };

// The firmware register row that an intersection's MCU_FW_ID or SCU_FW_ID names.
struct TFirmwareRow
{
    int FW_ID = 0;
    qint64 FW_SIZE = 0;
    int FW_VER_MAJOR = 0;
    int FW_VER_MINOR = 0;
    int FW_VER_MODULE = 0;
    int FW_VER_REV = 0;
    QString FW_CRC32;   // hexadecimal text without a prefix
    QString FW_FILENAME;
};

// Reads the stored CRC-32 text: one to eight hexadecimal digits (either case, blanks
// around ignored; a leading "$" or "0x" of older rows is tolerated). False, and 0,
// for anything else.
bool ParseFirmwareCrc32(const QString &text, quint32 *crc);

// The record of a firmware row; every multi-byte field most significant byte first.
// A CRC text that is not hexadecimal gives four zero bytes. FileName stays zero.
TFWUpgrade BuildFWUpgrade(const TFirmwareRow &row, quint8 upgradeMode, quint8 rebootFlag);

// Text of the controller's firmware result byte (the same in both languages), with
// manufacturerPrefix (IDS_228) for codes outside 0..4: prefix + v + ")".
QString FirmwareResultText(quint8 v, const QString &manufacturerPrefix);

// ===========================================================================
// Priority lists
// ===========================================================================

// Kinds of the priority-list requests.
enum TPpcKind { pkDeleteAll = 0, pkRegister = 1, pkDeleteSelected = 2 };

// One row of the registered-entries grid.
struct TPpcEntry
{
    bool Sel = false;
    int IntLcNo = 0;
    int PpcManager = 0;
    int PpcType = 0;      // 0 emergency, 1 bus
    qint64 PpcNumber = 0; // route or vehicle number
    QString Comments;
};

// The priority fields of the 2010 record as each request sets them; every other
// field is zero. ppc_manager_cd takes the low byte of the agency code, ppc_number_cd
// the low 32 bits of the number.
SpecialCommand_2010 PpcRegisterRecord(const TPpcEntry &entry);
SpecialCommand_2010 PpcDeleteRecord(const TPpcEntry &entry);
SpecialCommand_2010 PpcDeleteAllRecord();
SpecialCommand_2010 PpcGetListRecord(int ppcManager);

// ===========================================================================
// Texts
// ===========================================================================

// Formats a language text with C-style placeholders in order: %s, %d, %.Nd (at
// least N digits) and %% for a percent sign.
QString FormatCText(const QString &format, const QVariantList &args);
