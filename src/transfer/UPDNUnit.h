#pragma once
// The controller's signal database as fixed byte blocks, byte for byte as the
// controller keeps and sends them, for both generations (2004 and 2010).
//
// Rules shared by every record:
// - packed, no gaps, offsets from 0, bytes unsigned;
// - a 16-bit field is low byte first, except TDevice::FBuildDateYY (high byte
//   first), TNetwork::FCenterPort (the centre server's byte order) and the UPS
//   status voltages (high byte first); such fields are kept as two bytes and
//   read through accessors, so the host's byte order never matters;
// - a bit field is addressed by one index, start bit x 256 + width, and read and
//   written through the utility library's GetBitsByOneByte / SetBitsToOneByte /
//   GetBitsByOneWord / SetBitsToOneWord;
// - texts are single-byte (CP949) character arrays, zero-padded, no length byte.
//
// Only foundation headers are used, so that the simulated centre server can keep
// the same blocks without windows.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstring>

#include "foundation/QuorvalBase.h"
#include "foundation/RecordBytes.h"
#include "foundation/TypeUnit.h"

// ===========================================================================
// Whole records as bytes (the byte image sent or stored)
// ===========================================================================

// Whether every byte of a range is 0.
bool AllZeroBytes(const void *data, int size);

// A 16-bit value kept as two bytes, low byte first unless said.
inline quint16 GetWordLE(const quint8 *p) { return quint16(p[0] | (p[1] << 8)); }
inline void SetWordLE(quint8 *p, quint16 v) { p[0] = quint8(v & 0xFF); p[1] = quint8(v >> 8); }
inline quint16 GetWordBE(const quint8 *p) { return quint16((p[0] << 8) | p[1]); }
inline void SetWordBE(quint8 *p, quint16 v) { p[0] = quint8(v >> 8); p[1] = quint8(v & 0xFF); }

// ===========================================================================
// Block sizes
// ===========================================================================

constexpr int StartUpCode2004Size = 8;
constexpr int StartUpCode2010Size = 25;
constexpr int ClockSize = 7;
constexpr int SignalStepSize = 19;
constexpr int SignalRingSize = 32 * SignalStepSize;       // 608
constexpr int SignalMapImageSize = 2 * SignalRingSize;   // 1216
constexpr int SignalMap2004Maps = 2;
constexpr int SignalMap2010Maps = 7;
constexpr int SignalMap2004Size = SignalMap2004Maps * SignalMapImageSize; // 2432
constexpr int SignalMap2010Size = SignalMap2010Maps * SignalMapImageSize; // 8512
constexpr int FlashMap2004Size = 14;
constexpr int FlashMap2010Size = 17;
constexpr int DetectorEntrySize = 7;
constexpr int DetectorChannels = 64;
constexpr int DetectorSize = DetectorChannels * DetectorEntrySize; // 448
constexpr int DayPlanSlotSize = 20;
constexpr int DayPlanPartSize = 1 + 8 * DayPlanSlotSize; // 161
constexpr int DayPlanPlanSize = 2 * DayPlanPartSize;     // 322
constexpr int DayPlanCount = 10;
constexpr int DayPlanSize = DayPlanCount * DayPlanPlanSize; // 3220
constexpr int WeekPlanSize = 7;
constexpr int HolidayEntries = 30;
constexpr int HoliDayPlanSize = HolidayEntries * 3; // 90
constexpr int FunctionTableCount = 10;
constexpr int ConflictMapSize = 128;
constexpr int SystemBankSize = 128;
constexpr int DumpHistoryRing = 2048;

// ===========================================================================
// Start-up code
// ===========================================================================

#pragma pack(push, 1)

// One byte of phase bits (bit k marks phase k + 1).
struct DualBarrierConfig
{
    quint8 Phase;
};

struct StartUpCode_2004
{
    quint8 Byte1;            // 1027 INT_DUALTIME, 259 INT_SPILLCONT, 1 INT_RING
    quint8 Byte2;            // 1028 INT_ACTYN, 4 INT_GENMAIN
    DualBarrierConfig dual_phase_gen; // INT_GENDUAL
    quint8 Byte4;            // 1 INT_MANUALOPT
    quint8 main_phase_diff;  // INT_SPCMAIN
    DualBarrierConfig dual_phase_diff; // INT_SPCDUAL
    quint8 limit_occ;        // INT_GAPTIME
    quint8 limit_loss;       // INT_LMTLOS

    quint8 GetByte1Bits(int index) const { return GetBitsByOneByte(Byte1, index); }
    void SetByte1Bits(int index, quint8 v) { Byte1 = SetBitsToOneByte(Byte1, index, v); }
    quint8 GetByte2Bits(int index) const { return GetBitsByOneByte(Byte2, index); }
    void SetByte2Bits(int index, quint8 v) { Byte2 = SetBitsToOneByte(Byte2, index, v); }
    quint8 GetByte4Bits(int index) const { return GetBitsByOneByte(Byte4, index); }
    void SetByte4Bits(int index, quint8 v) { Byte4 = SetBitsToOneByte(Byte4, index, v); }
};

struct StartUpCode_2010
{
    quint8 Byte1;            // 1793 INT_FULLACT, 1027 INT_DUALTIME, 769 INT_SPILLPROC, 258 INT_SPILLCONT, 1 INT_RING
    quint8 Byte2;            // 1028 INT_ACTYN, 4 INT_GENMAIN
    DualBarrierConfig dual_phase_gen;
    quint8 Byte4;            // 1 MANUALOPT, 257 NORMALPUSH, 513 FLASHPUSH, 769 FLASHPUSHOP,
                             // 1025 PUSHCYCLE, 1281 SIGMAPMTD, 1537 ACTPHASE1, 1793 ACTPHASE2
    quint8 main_phase_diff;
    DualBarrierConfig dual_phase_diff;
    quint8 limit_occ;
    quint8 limit_loss;
    DualBarrierConfig dual_phase_diffs[5]; // INT_SPC1DUAL .. INT_SPC5DUAL
    quint8 Byte5;            // 1281 INT_PREBUS, 1537 INT_JUMPPHASE, 1793 INT_PREEMERGENCY
    quint8 Byte6;            // 1 INT_CHECKMONTH, 1025 INT_POWERDIM, 1281 INT_POWERFLASH
    DualBarrierConfig aring_act;
    DualBarrierConfig bring_act;
    quint8 Byte7;            // 1537 INT_VOICEYN, 1026 INT_NIGHTVOL, 514 INT_DAYVOL, 2 INT_VOICECYCLE
    quint8 Byte8;            // 771 INT_NIGHTEND, 3 INT_NIGHTSTART
    quint8 reserved[6];

    quint8 GetByte1Bits(int index) const { return GetBitsByOneByte(Byte1, index); }
    void SetByte1Bits(int index, quint8 v) { Byte1 = SetBitsToOneByte(Byte1, index, v); }
    quint8 GetByte2Bits(int index) const { return GetBitsByOneByte(Byte2, index); }
    void SetByte2Bits(int index, quint8 v) { Byte2 = SetBitsToOneByte(Byte2, index, v); }
    quint8 GetByte4Bits(int index) const { return GetBitsByOneByte(Byte4, index); }
    void SetByte4Bits(int index, quint8 v) { Byte4 = SetBitsToOneByte(Byte4, index, v); }
    quint8 GetByte5Bits(int index) const { return GetBitsByOneByte(Byte5, index); }
    void SetByte5Bits(int index, quint8 v) { Byte5 = SetBitsToOneByte(Byte5, index, v); }
    quint8 GetByte6Bits(int index) const { return GetBitsByOneByte(Byte6, index); }
    void SetByte6Bits(int index, quint8 v) { Byte6 = SetBitsToOneByte(Byte6, index, v); }
    quint8 GetByte7Bits(int index) const { return GetBitsByOneByte(Byte7, index); }
    void SetByte7Bits(int index, quint8 v) { Byte7 = SetBitsToOneByte(Byte7, index, v); }
    quint8 GetByte8Bits(int index) const { return GetBitsByOneByte(Byte8, index); }
    void SetByte8Bits(int index, quint8 v) { Byte8 = SetBitsToOneByte(Byte8, index, v); }
};

// ===========================================================================
// Flash map
// ===========================================================================

struct FlashMap_2004
{
    quint8 ssr[12]; // INT_VEH1, INT_PED1, ..., INT_VEH6, INT_PED6
    quint8 VL;      // INT_VARIABCNTL
    quint8 FL;      // INT_FLASHTIME
};

struct FlashMap_2010
{
    quint8 ssr[16]; // INT_VEH1, INT_PED1, ..., INT_VEH8, INT_PED8 (three-lamp: LSU 1..16 nibbles)
    quint8 FL;      // INT_FLASHTIME
};

// ===========================================================================
// Reservation plans
// ===========================================================================

struct FunctionTable
{
    quint8 mm, dd, week, s_hh, s_mi, e_hh, e_mi;
    quint8 cntl; // 4 INT_CNTLTYPE, 1028 INT_CNTLSPCNO (only for control type 4)

    bool IsEmpty() const { return AllZeroBytes(this, sizeof(*this)); }
    quint8 GetCntlBits(int index) const { return GetBitsByOneByte(cntl, index); }
    void SetCntlBits(int index, quint8 v) { cntl = SetBitsToOneByte(cntl, index, v); }
};

struct FunctionTables
{
    FunctionTable Items[FunctionTableCount];
};

// ===========================================================================
// Output map
// ===========================================================================

struct InOutPed_DirEntry
{
    quint8 Bytes[11];

    quint8 GetBits(int byteIndex, int index) const { return GetBitsByOneByte(Bytes[byteIndex], index); }
    void SetBits(int byteIndex, int index, quint8 v) { Bytes[byteIndex] = SetBitsToOneByte(Bytes[byteIndex], index, v); }
};

struct InOutPed
{
    InOutPed_DirEntry InOutPed_Dir[10];
    quint8 LSU_Dir[2];   // one word, low byte first: word bits 8..15 LSU 1..8, bits 0..7 LSU 9..16
    quint8 PedExt[5];    // PedExt1..PedExt5: bits 4..7 direction 2j-1, bits 0..3 direction 2j
    quint8 reserved[2];

    quint16 LsuDirWord() const { return GetWordLE(LSU_Dir); }
    quint16 GetLsuDirBits(int index) const { return GetBitsByOneWord(LsuDirWord(), index); }
    void SetLsuDirBits(int index, quint16 v) { SetWordLE(LSU_Dir, SetBitsToOneWord(LsuDirWord(), index, v)); }
    quint8 GetPedExtBits(int j, int index) const { return GetBitsByOneByte(PedExt[j], index); }
    void SetPedExtBits(int j, int index, quint8 v) { PedExt[j] = SetBitsToOneByte(PedExt[j], index, v); }
    // Lamp type (0 three-lamp, 1 four-lamp) of LSU n (1..16).
    int LsuLampType(int n) const;
    void SetLsuLampType(int n, int type);
    // Pedestrian extension of direction d (1..10).
    quint8 PedExtOf(int d) const;
    void SetPedExtOf(int d, quint8 v);
};

// ===========================================================================
// Spillback, network, devices
// ===========================================================================

struct TSpillBack
{
    quint8 FDirection; // 0 unused
    quint8 Byte1;      // 4 main ring/phase, 1028 sub ring/phase; v > 7: ring B phase v - 8

    quint8 GetByte1Bits(int index) const { return GetBitsByOneByte(Byte1, index); }
};

struct TSpillBacks
{
    TSpillBack Items[8];
};

struct TAddress
{
    quint8 FField1, FField2, FField3, FField4;
    QString ToText() const;
};

struct TNetwork
{
    TAddress FLocalIP;
    TAddress FLocalNetmask;
    TAddress FLocalGateway;
    TAddress FCenterIP;
    quint8 FCenterPort[2]; // in the centre server's byte order
    quint8 FReserved[2];
    char FMacAddr[18];
    quint8 FCommand;
    quint8 FComMode;

    // The port as a number, reading the two bytes in the centre server's order.
    quint16 CenterPort(bool serverBigEndian) const
    {
        return serverBigEndian ? GetWordBE(FCenterPort) : GetWordLE(FCenterPort);
    }
    void SetCenterPort(quint16 port, bool serverBigEndian)
    {
        if (serverBigEndian)
            SetWordBE(FCenterPort, port);
        else
            SetWordLE(FCenterPort, port);
    }
};

struct TDevice
{
    char FManufacturer[20];
    quint8 FVersionMajor;
    quint8 FVersionMinor;
    quint8 FVersionModule;
    quint8 FVersionRevision[2]; // low byte first
    quint8 FBuildDateYY[2];     // high byte first
    quint8 FBuildDateMM;
    quint8 FBuildDateDD;
    quint8 FSignalLightType;
    char FServicePhoneNum[15];

    quint16 VersionRevision() const { return GetWordLE(FVersionRevision); }
    quint16 BuildYear() const { return GetWordBE(FBuildDateYY); }
    void SetBuildYear(quint16 y) { SetWordBE(FBuildDateYY, y); }
    QString VersionText() const;
};

struct TDevices
{
    TDevice FMCU;
    quint8 FDet[8];
    quint8 FOpt[8];
    TDevice FSCU;
    quint8 FLsu[16];
};

// ===========================================================================
// VMS messages and schedules, countdown timers
// ===========================================================================

struct TVMSMsg
{
    quint8 FDirection, FType, FIndex, FDispTime, FFont, FTextColor, FBgColor, FBlink;
    quint8 FFuncType, FDispMode, FAppearType, FAppearSpeed, FDisappearType, FDisappearSpeed;
    quint8 FReserved[2];
    char FMessage[48];
};

struct TVMSMsgs
{
    TVMSMsg Items[16];
};

struct TVMSSchd
{
    quint8 FMonth, FDay, FWkd, FStartHour, FStartMin, FEndHour, FEndMin, FBright, FDirection, FType;
    quint8 FReserved[6];

    bool IsEmpty() const { return AllZeroBytes(this, 10); }
};

struct TVMSSchds
{
    TVMSSchd Items[10];
};

// Bits of a countdown-timer state byte.
constexpr int CarTimerEnableIndex = 1;     // isEnable
constexpr int CarTimerWirelessIndex = 257; // isWireless
constexpr int CarTimerPowerOffIndex = 513; // isPowerOff
constexpr int CarTimerSpecialIndex = 769;  // isSpecial

inline quint8 GetCarTimerStateBits(quint8 state, int index) { return GetBitsByOneByte(state, index); }
inline quint8 SetCarTimerStateBits(quint8 state, int index, quint8 value) { return SetBitsToOneByte(state, index, value); }

struct TCarTimer
{
    quint8 strState[16];  // NN, EE, SS, WW, NE, SE, SW, EW, R1..R8
    quint8 leftState[16]; // NNL .. R8L
};

struct TCarTimerStatusItem
{
    quint8 Byte0; // 1 Enable, 257 Normal, 516 State
    quint8 LampColor;
    quint8 RemainTime;
    quint8 RSSI;

    quint8 GetByte0Bits(int index) const { return GetBitsByOneByte(Byte0, index); }
};

struct TCarTimerStatus
{
    TCarTimerStatusItem FDirInfo[32]; // direction d: [2d] straight, [2d + 1] left turn
};

// ===========================================================================
// Controller information, event history
// ===========================================================================

struct TSystemBank1
{
    char FIntersection[32];
    char FSiteInfo[32];
    char FEstablishedDate[32];
    char FReserved[32];
};

struct TSystemBank2
{
    char FVendorName[32];
    char FVendorTel[32];
    char FVendorInfo[32];
    char FReserved[32];
};

struct TDumpInfo
{
    quint8 FCurrentIndex[2];
    quint8 FHistoryCount[2];

    quint16 CurrentIndex() const { return GetWordLE(FCurrentIndex); }
    quint16 HistoryCount() const { return GetWordLE(FHistoryCount); }
    void SetCurrentIndex(quint16 v) { SetWordLE(FCurrentIndex, v); }
    void SetHistoryCount(quint16 v) { SetWordLE(FHistoryCount, v); }
};

struct TDumpData
{
    quint8 FCurrentIndex[2]; // 0 marks an empty entry
    quint8 FMonth, FDay, FHour, FMin, FSec;
    quint8 FType;
    quint8 FKind;
    quint8 FPara;
    quint8 FDF[8];

    quint16 CurrentIndex() const { return GetWordLE(FCurrentIndex); }
    void SetCurrentIndex(quint16 v) { SetWordLE(FCurrentIndex, v); }
};

struct TDumpDatas
{
    TDumpData Items[10];
};

// ===========================================================================
// SD extended command, actuated-control variables, UPS
// ===========================================================================

struct TExtendCommand
{
    quint8 cmd01, cmd02, cmd03, cmd04, cmd05, cmd06, cmd07, cmd08;
    quint8 cmd09, cmd10, cmd11, cmd12, cmd13, cmd14, cmd15, cmd16, cmd17;

    // Read and write a bit field of cmdNN (9..14, 16, 17); other numbers read 0 and write nothing.
    quint8 GetCmdBits(int cmdNo, int index) const;
    void SetCmdBits(int cmdNo, int index, quint8 v);

private:
    quint8 *CmdByte(int cmdNo);
};

struct TActuatePhaseInfo
{
    quint8 ExtTime;
    quint8 EarlyEndTime;
    quint8 DualAllowed;
    quint8 PedSignal1;
    quint8 PedSignal2;
    quint8 FixedPhase;
    quint8 GapActuation;
    quint8 BrokenDetTime;
    quint8 Reserved[8];
};

struct TActuateVar
{
    quint8 act_mode;
    quint8 act_ped;
    quint8 act_rev[30];
    TActuatePhaseInfo act_phaseInfo[8];
    quint8 occ_check_time[32];
};

struct TUPSStatus
{
    quint8 Byte1;              // 4 input state, 1025 charging, 1281 battery, 1537 bypass, 1793 test
    quint8 Byte2;              // 1 transformer, 257 overload, 1025/1281/1537 battery modules 1..3
    quint8 Byte3;              // cells of modules 1 and 2
    quint8 Byte4;              // cells of module 3
    quint8 FInputVoltage[2];   // volts, high byte first
    quint8 FOutputVoltage[2];  // volts, high byte first
    quint8 FLoad;              // percent
    quint8 FLoadCurrent;       // in steps of 100 mA
    quint8 Byte5;              // 7 degrees, 1793 sign (1 below zero)
    quint8 FMod1CellVoltage[4];
    quint8 FMod2CellVoltage[4];
    quint8 FMod3CellVoltage[4];
    quint8 FRemainLevel;

    bool isEmpty() const { return AllZeroBytes(this, sizeof(*this)); }
    quint8 GetByte1Bits(int index) const { return GetBitsByOneByte(Byte1, index); }
    quint8 GetByte2Bits(int index) const { return GetBitsByOneByte(Byte2, index); }
    quint8 GetByte3Bits(int index) const { return GetBitsByOneByte(Byte3, index); }
    quint8 GetByte4Bits(int index) const { return GetBitsByOneByte(Byte4, index); }
    quint8 GetByte5Bits(int index) const { return GetBitsByOneByte(Byte5, index); }
    quint16 InputVoltage() const { return GetWordBE(FInputVoltage); }
    quint16 OutputVoltage() const { return GetWordBE(FOutputVoltage); }
    int LoadCurrentMilliAmps() const { return int(FLoadCurrent) * 100; }
    // Temperature in degrees, negative below zero.
    int Temperature() const { return GetByte5Bits(1793) ? -int(GetByte5Bits(7)) : int(GetByte5Bits(7)); }
};

struct TUPSVendor
{
    quint8 FID;
    char FName[20];
    char FTel[16];
    quint8 FSWMajorVersion;
    quint8 FSWMinorVersion;
    char FModelName[11];
    char FSerialNum[10];
};

#pragma pack(pop)

static_assert(sizeof(StartUpCode_2004) == 8);
static_assert(sizeof(StartUpCode_2010) == 25);
static_assert(sizeof(FlashMap_2004) == 14);
static_assert(sizeof(FlashMap_2010) == 17);
static_assert(sizeof(FunctionTable) == 8);
static_assert(sizeof(FunctionTables) == 80);
static_assert(sizeof(InOutPed_DirEntry) == 11);
static_assert(sizeof(InOutPed) == 119);
static_assert(sizeof(TSpillBack) == 2);
static_assert(sizeof(TSpillBacks) == 16);
static_assert(sizeof(TAddress) == 4);
static_assert(sizeof(TNetwork) == 40);
static_assert(sizeof(TDevice) == 45);
static_assert(sizeof(TDevices) == 122);
static_assert(sizeof(TVMSMsg) == 64);
static_assert(sizeof(TVMSMsgs) == 1024);
static_assert(sizeof(TVMSSchd) == 16);
static_assert(sizeof(TVMSSchds) == 160);
static_assert(sizeof(TCarTimer) == 32);
static_assert(sizeof(TCarTimerStatus) == 128);
static_assert(sizeof(TSystemBank1) == 128);
static_assert(sizeof(TSystemBank2) == 128);
static_assert(sizeof(TDumpInfo) == 4);
static_assert(sizeof(TDumpData) == 18);
static_assert(sizeof(TDumpDatas) == 180);
static_assert(sizeof(TExtendCommand) == 17);
static_assert(sizeof(TActuatePhaseInfo) == 16);
static_assert(sizeof(TActuateVar) == 192);
static_assert(sizeof(TUPSStatus) == 24);
static_assert(sizeof(TUPSVendor) == 60);

// ===========================================================================
// Offsets inside the byte blocks and the request bytes
// ===========================================================================

// Start of step s (1..32) of ring r (1 A, 2 B) of map m (1..).
constexpr int SignalStepOffset(int m, int r, int s)
{
    return (m - 1) * SignalMapImageSize + (r - 1) * SignalRingSize + (s - 1) * SignalStepSize;
}
// Start of part k (0, 1) of day plan p (1..10).
constexpr int DayPlanPartOffset(int p, int k) { return (p - 1) * DayPlanPlanSize + k * DayPlanPartSize; }
// Start of entry e (1..16) of day plan p: part (e - 1) div 8, slot (e - 1) mod 8.
constexpr int DayPlanEntryOffset(int p, int e)
{
    return DayPlanPartOffset(p, (e - 1) / 8) + 1 + ((e - 1) % 8) * DayPlanSlotSize;
}
// Day-plan request byte: bits 4..7 plan - 1, bits 0..3 part.
quint8 DayPlanRequestByte(int plan, int part);
// Number of maps of a controller type's signal map (0 for lctNone).
int SignalMapCount(TLcTypeEx type);
// Size of a controller type's signal-map block.
int SignalMapSize(TLcTypeEx type);
// Signal-map request byte of one ring (1 A, 2 B) of map m for a download or an upload.
quint8 SignalMapRequestByte(TLcTypeEx type, int map, int ring, bool upload);
// Offset in the type's signal-map block at which the ring a request byte names
// starts, by the filing rule of upload replies; -1 for lctNone.
int SignalMapRingOffset(TLcTypeEx type, quint8 requestByte);
// Start index of the next event-history part after the current index c (> 0).
int NextDumpStartIndex(int currentIndex);
// An output byte of a direction entry: bits 4..7 LSU - 1, bits 0..3 sort; 0 when
// both are 0. *correct (when given) turns 1 when the centre names an output (LSU or
// sort not 0) whose packed byte is 0 (LSU 1 with sort 0), else 0.
quint8 PackInOutPedOutput(int lsu, int sort, int *correct = nullptr);
// The cntl byte of a reservation plan: control type in bits 0..3, the
// time-difference plan number in bits 4..7 only for control type 4.
quint8 MakeFunctionTableCntl(int controlType, int spcNo);
// Whether the 20 bytes of a day-plan slot are all zero.
inline bool IsEmptyDayPlanSlot(const quint8 *slot) { return AllZeroBytes(slot, DayPlanSlotSize); }

// Conflict map: whether outputs r and c (0..31) conflict; set a conflict bit.
bool ConflictBit(const QByteArray &map, int r, int c);
void SetConflictBit(QByteArray &map, int r, int c, bool on);

// Flash-map lamp names of a three-lamp 2010 nibble ("R0", "G0", ... "X"; empty otherwise).
QString FlashMap3LampName(quint8 nibble);

// ===========================================================================
// Event history texts
// ===========================================================================

// Type name of a type byte (its low four bits).
QString DumpTypeName(quint8 type);
// Kind name of a type and kind byte (type low four bits, kind low five bits).
QString DumpKindName(quint8 type, quint8 kind);
// The text of one event-history entry for a controller type.
QString DumpDataText(const TDumpData &d, TLcTypeEx type);
