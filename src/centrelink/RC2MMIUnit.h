#pragma once
// Records of the centre-server protocol: the 32-byte packet header, the two packet
// records with their builders, the byte-order switch, packet times, the state image
// with the bit-field getters of the status bytes, the live record of one
// intersection and the live state set with its decoder.
//
// Byte order: multi-byte header fields (target_num, dsize, the two time-stamp
// words) and the state image's intGroup are in the centre server's order; every
// other data byte is copied as it stands. The order is one process-wide switch
// that follows the data module's setting (or SetServerBigEndian); the explicit
// forms take the order as an argument.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSqlError>
#include <QString>
#include <QtEndian>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <memory>
#include <vector>

#include "foundation/TypeUnit.h"

class QSqlDatabase;

// ===========================================================================
// Byte-order switch
// ===========================================================================

// The centre server expects big-endian header fields: the data module's
// G_SERVER_BIGENDIAN (INI COM-ENV RC_BIG_ENDIAN) unless set here explicitly.
void SetServerBigEndian(bool bigEndian);
void FollowDataModuleByteOrder(); // forget an explicit setting
bool ServerBigEndian();

// Host value to server order and back. With little-endian order the value is
// returned unchanged (on a little-endian host), with big-endian order its bytes
// are swapped.
inline quint16 HostToNetShort(quint16 v, bool bigEndian)
{
    return bigEndian ? qToBigEndian(v) : qToLittleEndian(v);
}
inline quint32 HostToNetLong(quint32 v, bool bigEndian)
{
    return bigEndian ? qToBigEndian(v) : qToLittleEndian(v);
}
inline quint16 NetToHostShort(quint16 v, bool bigEndian)
{
    return bigEndian ? qFromBigEndian(v) : qFromLittleEndian(v);
}
inline quint32 NetToHostLong(quint32 v, bool bigEndian)
{
    return bigEndian ? qFromBigEndian(v) : qFromLittleEndian(v);
}
inline quint16 HostToNetShort(quint16 v) { return HostToNetShort(v, ServerBigEndian()); }
inline quint32 HostToNetLong(quint32 v) { return HostToNetLong(v, ServerBigEndian()); }
inline quint16 NetToHostShort(quint16 v) { return NetToHostShort(v, ServerBigEndian()); }
inline quint32 NetToHostLong(quint32 v) { return NetToHostLong(v, ServerBigEndian()); }

// ===========================================================================
// Result codes of the exchanges
// ===========================================================================

enum TRcResult : int {
    rcConnectFailed = 99991, // connecting failed
    rcSendFailed = 99992,    // sending failed
    rcReceiveFailed = 99993, // receiving failed (header or data, or a reply too large)
    rcCloseFailed = 99994,   // sending the closing packet or disconnecting failed
    rcWrongOpcode = 99995,   // the reply's controller opcode differs from the expected one
    rcSuccess = 99996,
    rcWrongSize = 99997,     // the reply's data size does not match
    rcRefused = 99998        // the controller refused (status byte 0)
};

// Opcodes and target kinds of the requests the console sends.
enum TRcKindTarget : quint8 { ktNone = 0, ktIntersection = 1, ktGroup = 2, ktServer = 3 };
enum TRcOpcode : quint8 {
    opClose = 1,
    opMonitor = 2,
    opMonitorReply = 3,
    opParamsChanged = 4,
    opParamsChangedReply = 5,
    opRestartServer = 6,
    opRestartServerReply = 7,
    opCtrlMode = 0x10,
    opSpecial = 0x50,
    opFwUpgrade = 0x56,
    opGroupOprMode = 0xE6,
    opLcOprMode = 0xE8,
    opTodTrc = 0xEA,
    opGroupManual = 0xEC
};

// ===========================================================================
// Packet header and packets
// ===========================================================================

// Seconds and microseconds of a packet time stamp, 32 bits each.
struct TTimeVal
{
    qint32 tv_sec = 0;
    qint32 tv_usec = 0;
};

constexpr int RC_HEAD_SIZE = 32;
constexpr int RC_SIMPLE_DATA_SIZE = 1024;
constexpr int RC_STATE_IMAGE_SIZE = 124768;

#pragma pack(push, 1)
struct THostPacketHead
{
    quint8 stx1;          // 0x43 'C'
    quint8 stx2;          // 0x4D 'M'
    quint8 src;           // 1 the console
    quint8 dst;           // 2 the centre server
    quint8 current_frame;
    quint8 total_frame;
    quint8 frame_seq;
    quint8 kind_target;   // TRcKindTarget
    quint8 opcode;
    quint8 command;       // requests carry opcode = command
    quint16 target_num;   // server order on the wire
    quint32 dsize;        // server order on the wire
    quint8 CurrentTime[16]; // two 64-bit members (seconds, microseconds), server order

    // All 32 bytes zero.
    void Reset();
    // As the packets' SetHead, without a data area.
    void SetHead(quint8 _command, quint8 _kind_target, quint16 _target_num);
    // target_num and dsize to host order (after a header was received).
    void ConvertRecvHead();

    // The local wall clock read as UTC, 0 microseconds.
    void SetCurrentTime();
    // Explicit time stamp (tests, simulator).
    void SetTime(qint32 secs, qint32 usecs, bool bigEndian);
    void SetTime(qint32 secs, qint32 usecs) { SetTime(secs, usecs, ServerBigEndian()); }
    TTimeVal GetCurrentTime() const;
    TTimeVal GetCurrentTime(bool bigEndian) const;

    const quint8 *Bytes() const { return reinterpret_cast<const quint8 *>(this); }
    QByteArray ToByteArray() const { return QByteArray(reinterpret_cast<const char *>(this), RC_HEAD_SIZE); }
};
#pragma pack(pop)
static_assert(sizeof(THostPacketHead) == 32, "the packet header is 32 bytes");

// The local wall-clock date and time as Unix seconds read as if it were UTC.
qint64 LocalClockAsUnixSeconds();

// A header followed by its data area; on the wire the 32 header bytes and the first
// DataSize data bytes. DataSize itself is never sent.
template <int N>
struct THostPacketT
{
    static constexpr int DataCapacity = N;

    THostPacketHead Head;
    quint8 Data[N];
    qint32 DataSize;

    // 32 header bytes and the whole data area zero, DataSize 0.
    void Reset()
    {
        std::memset(&Head, 0, sizeof(Head));
        std::memset(Data, 0, sizeof(Data));
        DataSize = 0;
    }
    // Clears header and data, then sets the fields of a request (time stamp now).
    void SetHead(quint8 _command, quint8 _kind_target, quint16 _target_num)
    {
        std::memset(Data, 0, sizeof(Data));
        Head.SetHead(_command, _kind_target, _target_num);
        DataSize = 0;
    }
    // Appends _DataSize bytes (none copied for a null pointer, the size still counts)
    // and sets dsize. Refuses (false, nothing changed) what would not fit the data area.
    bool AddData(const void *pData, quint32 _DataSize)
    {
        if (quint64(DataSize) + _DataSize > quint64(N) || DataSize < 0)
            return false;
        if (pData && _DataSize > 0)
            std::memcpy(Data + DataSize, pData, _DataSize);
        DataSize += qint32(_DataSize);
        Head.dsize = HostToNetLong(quint32(DataSize));
        return true;
    }
    bool AddData(const QByteArray &bytes) { return AddData(bytes.constData(), quint32(bytes.size())); }
    // The controller head: controller type and opcode.
    bool AddDazavaHead(quint8 _lc_id, quint8 _opcode)
    {
        const quint8 head[2] = {_lc_id, _opcode};
        return AddData(head, 2);
    }
    bool AddDazavaData(const void *pData, quint32 _DataSize) { return AddData(pData, _DataSize); }
    bool AddDazavaData(const QByteArray &bytes) { return AddData(bytes); }
    // Appends the XOR of the data bytes 2 .. DataSize-1 (0 when DataSize < 3).
    bool MakeDazavaLrcCode()
    {
        quint8 lrc = 0;
        for (int i = 2; i < DataSize; ++i)
            lrc ^= Data[i];
        return AddData(&lrc, 1);
    }
    void ConvertRecvHead() { Head.ConvertRecvHead(); }

    // The wire image: header and DataSize data bytes.
    int WireSize() const { return RC_HEAD_SIZE + qBound(0, int(DataSize), N); }
    const char *WireBytes() const { return reinterpret_cast<const char *>(&Head); }
    QByteArray ToByteArray() const { return QByteArray(WireBytes(), WireSize()); }
    QByteArray DataBytes() const { return QByteArray(reinterpret_cast<const char *>(Data), qBound(0, int(DataSize), N)); }
};

using THostSimplePacket = THostPacketT<RC_SIMPLE_DATA_SIZE>;
using PHostSimplePacket = THostSimplePacket *;
using THostPacket = THostPacketT<RC_STATE_IMAGE_SIZE>;
using PHostPacket = THostPacket *;
static_assert(sizeof(THostSimplePacket) == 32 + 1024 + 4, "header, data, size");
static_assert(offsetof(THostSimplePacket, Data) == 32, "data follows the header directly");

// The closing packet: opcode 1, kind 0, target 0, no data, current time stamp.
void MakeClosePacket(THostSimplePacket &packet);

// ===========================================================================
// Packet times
// ===========================================================================

// A packet time stamp as a local date and time: 0 seconds give now, any other value
// that instant plus 540 minutes (the centre's time zone). The seconds go through the
// shared packet-time routine of the lookups.
QDateTime PacketTimeToDateTime(const TTimeVal &time);
QDateTime RcPacketTimeToDateTime(qint32 seconds);

// ===========================================================================
// State image
// ===========================================================================

constexpr int RC_GROUP_COUNT = 200;
constexpr int RC_GROUP_RECORD_SIZE = 76;
constexpr int RC_LC_COUNT = 1024;
constexpr int RC_LC_RECORD_SIZE = 107;
constexpr int RC_LCST_SIZE = 33;

#pragma pack(push, 1)
struct TST_ITST_STATE
{
    quint8 defined;      // record in use
    quint8 status;       // operating state 0..12
    quint16 intGroup;    // group number, server order
    quint8 trcControl;
    quint8 overSat;
    quint8 maxDS;
    quint8 transCount;
    quint8 reqCycle;
    quint8 split[16];     // ring * 8 + phase - 1
    quint8 lcSplit[16];
    quint8 planSplit[16];
    quint8 relPt[16];
    quint8 endOfPhase;
    quint8 lcst[RC_LCST_SIZE]; // status bytes, layout by controller type

    quint16 GetIntGroup() const { return NetToHostShort(intGroup); }
    quint16 GetIntGroup(bool bigEndian) const { return NetToHostShort(intGroup, bigEndian); }
    // Split of ring (0 A, 1 B) and phase 1..8.
    static int SplitIndex(int ring, int phase) { return ring * 8 + phase - 1; }
};

struct TST_VESK_STATE
{
    quint8 grp_state[RC_GROUP_COUNT][RC_GROUP_RECORD_SIZE];
    TST_ITST_STATE lc_state[RC_LC_COUNT];
};
#pragma pack(pop)
static_assert(sizeof(TST_ITST_STATE) == 107, "an intersection record is 107 bytes");
static_assert(offsetof(TST_ITST_STATE, lcst) == 74, "status bytes at 74");
static_assert(sizeof(TST_VESK_STATE) == RC_STATE_IMAGE_SIZE, "the state image is 124768 bytes");
static_assert(offsetof(TST_VESK_STATE, lc_state) == 15200, "intersections follow 200 group records");

using TPST_VESK_STATE = TST_VESK_STATE *;
using TPST_ITST_STATE = TST_ITST_STATE *;

// Bit-field getters over the status bytes; index = start bit * 256 + width.
// The bytes both controller generations share.
struct TLcstBits
{
    const quint8 *lcst;
    explicit TLcstBits(const quint8 *bytes) : lcst(bytes) {}
    int GetBits0(int index) const;
    int GetBits1(int index) const;
    int GetBits2(int index) const;
    int GetBits3(int index) const;
    int GetBits4(int index) const;
    int GetBits5(int index) const;
    int GetBits16(int index) const;
};
struct TLcst2004 : TLcstBits
{
    explicit TLcst2004(const quint8 *bytes) : TLcstBits(bytes) {}
};
struct TLcst2010 : TLcstBits
{
    explicit TLcst2010(const quint8 *bytes) : TLcstBits(bytes) {}
    int GetBits24(int index) const;
};
struct TBitByte
{
    quint8 value;
    explicit TBitByte(quint8 v) : value(v) {}
    int GetBits(int index) const;
};
// Four bytes of LSU ring view (lcst bytes 25 to 28).
struct TLsuRingBits
{
    const quint8 *bytes;
    explicit TLsuRingBits(const quint8 *p) : bytes(p) {}
    int GetBits0(int index) const;
    int GetBits1(int index) const;
    int GetBits2(int index) const;
    int GetBits3(int index) const;
};

// Field indexes of the status bytes.
namespace LcstBit {
constexpr int Bit7 = 7 * 256 + 1, Bit6 = 6 * 256 + 1, Bit5 = 5 * 256 + 1, Bit4 = 4 * 256 + 1,
              Bit3 = 3 * 256 + 1, Bit2 = 2 * 256 + 1, Bit1 = 1 * 256 + 1, Bit0 = 0 * 256 + 1;
constexpr int Bits0_2 = 3;           // 3 bits from 0
constexpr int Bits0_3 = 4;           // 4 bits from 0
constexpr int Bits0_4 = 5;           // 5 bits from 0
constexpr int Bits4_6 = 4 * 256 + 3; // 3 bits from 4
constexpr int Bits4_7 = 4 * 256 + 4; // 4 bits from 4
constexpr int Bits5_7 = 5 * 256 + 3; // 3 bits from 5
} // namespace LcstBit

// ===========================================================================
// Live record of one intersection
// ===========================================================================

// One movement of plan class, phase and ring.
struct TMovement
{
    int mvmt_no = 0; // 0 none, 1..18
    TShortText<20> head_lat, head_lng, mid_lat, mid_lng, end_lat, end_lng,
        label_lat, label_lng, head_angle, end_angle;
    int min_split = 0;
    int max_split = 0;
    int yellow = 0;
    quint8 phase_type = 0; // 1 for movements 17 and 18
    TShortText<10> link_id;
};
constexpr int MVMT_PLAN_CLASSES = 7;
constexpr int MVMT_PHASES = 8;
constexpr int MVMT_RINGS = 2;
// Element (plan class - 1, phase - 1, ring - 1).
using TMovementBlock = std::array<std::array<std::array<TMovement, MVMT_RINGS>, MVMT_PHASES>, MVMT_PLAN_CLASSES>;

// The fields a state image decodes. Kept together so that the monitoring cycle can
// decode into its own copy and hand the result back in one piece.
struct TLcStatus
{
    int opr_stat = 0;       // operating state of the latest image
    int opr_stat_prev = -1; // of the image before; -1 before the first
    bool mntr_ok = false;   // decoded in the latest image
    quint8 reserved1[3] = {}; // always zero: the record has no padding (see below)

    int powerFail = 0;
    int commFail = 0;
    int dualRing = 0;
    int oprMode = 0;
    int stepA = 0;
    int phaseA = 0;
    int stepB = 0;
    int phaseB = 0;
    int policeIng = 0;
    int policeMan = 0;
    int policeFlash = 0;
    int policeOff = 0;
    int conflict = 0;
    int lightsOut = 0;
    int flash = 0;
    int dbError = 0;
    int pushBtnEnable = 0;
    int flashCause = 0;
    int turnLeft = 0;
    int manEnable = 0;
    int conflictEnable = 0;
    int doorOpen = 0;
    int conflictLsuNo = 0;
    int conflictReason = 0;
    int conflictCircuit = 0;
    int lampType = 0;
    int planInfo = 0;
    quint8 detInfo[4] = {0, 0, 0, 0};
    int pedLightFlags = 0;
    int pushBtnFlags = 0;
    int pedTroubleFlags = 0;
    int optionBdFlags = 0;
    int cycleCount = 0;
    int previousCycle = 0;
    int currentCycle = 0;
    int offset = 0;
    int phaseHold = 0;
    int phaseOmit = 0;
    int spillback_subpahse_end = 0;
    int spillback_mainpahse_end = 0;
    int spillback_ctrmode = 0;
    int spillback_perm = 0;
    quint16 fwModuleID = 0;    // as received, most significant byte first
    quint16 fwModuleDgIdx = 0; // as received
    int DBErrorCode = 0;
    int PPCFlags = 0;
    int UPSFlags = 0;
    int applyStatus = 0;
    int lockStatus1 = 0;
    int lockStatus2 = 0;
    int dbReadOnly = 0;
    quint8 ppcControlMode = 0;
    quint8 reserved2[3] = {}; // always zero

    // The reset after a monitoring failure (InitLC); lampType, planInfo, mntr_ok and
    // ppcControlMode keep their values.
    void InitLC();
    bool operator==(const TLcStatus &) const = default;
};
// Every byte of the record belongs to a field (no padding), so two records are
// equal exactly when their bytes are: the hand-over of the monitoring cycle
// compares and copies them whole.
static_assert(std::has_unique_object_representations_v<TLcStatus>);

// The identity of an intersection as loaded from the database.
struct TLcIdentity
{
    int iSeq = 0;                 // row number in the load query
    TShortText<10> ints_id;       // node identifier
    int tcdv_id = 0;              // intersection number
    TShortText<255> ints_name;
    int tcdv_type = 0;            // 0 MI, 1 CI, 2 SCI, 3 RAMP
    int sa_id = 0;                // group
    int fep_no = 0;               // always 0
    int port_no = 0;
    int lc_type = 0;              // 1 = 2004, 2 = 2010
    bool is_use = false;          // INT_REGFLAG = 1
    TShortText<20> cx;            // node latitude as text
    TShortText<20> cy;            // node longitude as text
    bool is_OnLine = true;
    int virtualLC_No = 0;         // MAIN_LCNO; 1 or more for a virtual intersection
};

// The live record of one intersection: identity, decoded status, movements and the
// fields of the VIP panel and the intersection monitor.
class TSTT_LC_INFO : public TLcIdentity, public TLcStatus
{
public:
    TMovementBlock Movements{};
    quint8 phaseCount[112] = {};
    int phaseCountFixValue = 0;
    int savePhaseCount = 0;
    int saveStepA = 0;
    bool clickedLcCtrl = false;
    TCommandType lcCtrlMode = ctHold;
    int savedPhase = 0;
    TShortText<10> linkID_A;
    TShortText<10> linkID_B;
    bool actuateMode = false;

    TLcStatus &Status() { return *this; }
    const TLcStatus &Status() const { return *this; }
    TLcIdentity &Identity() { return *this; }
    const TLcIdentity &Identity() const { return *this; }
    // Movement of plan class 1..7, phase 1..8, ring 1 (A) or 2 (B); null outside.
    TMovement *Movement(int planClass, int phase, int ring);
    const TMovement *Movement(int planClass, int phase, int ring) const;
    void InitLC();
};
// Records are shared: a window or a running cycle that holds one keeps it alive
// even when the set is reloaded.
using PSTT_LC_INFO = std::shared_ptr<TSTT_LC_INFO>;

// Decodes one intersection's state record into its status fields by controller
// type (1 the 2004 layout, 2 the 2010 layout, any other type: only opr_stat and
// mntr_ok). The caller has decided that the record is to be decoded (in use or
// virtual).
void DecodeLcStatus(const TST_ITST_STATE &rec, int lc_type, TLcStatus &st);

// What the monitoring cycle needs of one record: its number, type, use, virtual
// mapping and its status, copied from the set on the user-interface thread.
struct TLcDecodeEntry
{
    int lcNo = 0;
    int lc_type = 0;
    bool is_use = false;
    int mainLcNo = 0; // the main intersection when virtual, else 0
    TLcStatus st;
};

// A copy of the set's decode-relevant part. The monitoring thread decodes a state
// image into it; the user-interface thread applies it to the set.
struct TLcStateSnapshot
{
    quint64 generation = 0; // the set's load generation when taken
    QList<TLcDecodeEntry> entries; // by intersection number
};

// Decodes a whole image into the snapshot: for every entry, the record of its main
// intersection when virtual, else its own (number n at index n-1). Entries that
// are not in use and not virtual keep their fields and get mntr_ok False.
void DecodeStateImage(const TST_VESK_STATE &image, TLcStateSnapshot &snapshot);

// ===========================================================================
// Live state set
// ===========================================================================

class TLC_INFO_SET
{
public:
    TLC_INFO_SET() = default;
    TLC_INFO_SET(const TLC_INFO_SET &) = delete;
    TLC_INFO_SET &operator=(const TLC_INFO_SET &) = delete;

    // The record of an intersection number, null when there is none.
    PSTT_LC_INFO GetLcInfo(int nLcId) const;
    // Adds or replaces (the set lets go of a replaced record).
    void SetLcInfo(int nLcId, const PSTT_LC_INFO &Value);
    void Remove(int nLcId);
    // Lets go of all records and the virtual map.
    void Clear();
    // Resets the live part of every record after a monitoring failure.
    void InitLC();
    int Count() const { return int(FItems.size()); }
    // Intersection numbers, ascending.
    QList<int> Numbers() const { return FItems.keys(); }

    // Virtual intersection -> main intersection (registration flag 0, MAIN_LCNO > 0).
    const QHash<int, int> &VirtualLCList() const { return FVirtual; }
    void SetVirtual(int nLcId, int nMainLcId);
    int MainOf(int nLcId) const { return FVirtual.value(nLcId, 0); }

    quint64 Generation() const { return FGeneration; }

    // For the monitoring cycle: copy, decode elsewhere, apply back (user-interface thread).
    TLcStateSnapshot TakeSnapshot() const;
    // The same into `snapshot`, reusing its storage.
    void TakeSnapshot(TLcStateSnapshot &snapshot) const;
    // Copies each entry's status into the record of the same number; numbers no
    // longer in the set are skipped. `changed` (when given) gets, in ascending
    // order, the numbers whose status differs from what the record held.
    void ApplySnapshot(const TLcStateSnapshot &snapshot, QList<int> *changed = nullptr);
    // Snapshot, decode and apply on the calling thread.
    void DecodeImage(const TST_VESK_STATE &image);

    // Load from the database (one connection of the calling thread). The query runs
    // first; on failure nothing changes and the error is returned as the driver gave
    // it (its native code tells a lost connection), or as its text. Records of
    // numbers that stay are reused (so holders see the reloaded data), others dropped.
    bool LoadFromDb(const QSqlDatabase &db, QSqlError *error);
    bool LoadFromDb(const QSqlDatabase &db, QString *error = nullptr);
    // Movement rows of one intersection (0: all); rows outside the ranges are skipped.
    bool LoadMovementsFromDb(const QSqlDatabase &db, int nLcId, QSqlError *error);
    bool LoadMovementsFromDb(const QSqlDatabase &db, int nLcId = 0, QString *error = nullptr);

    // Statements of the two loads (also for tests).
    static QString LoadSql();
    static QString MovementSql(bool oneIntersection);

private:
    // The records in ascending number order with their main intersection (0: none),
    // for the walks of the monitoring cycle (no tree or hash look-ups on the way);
    // worked out again after any change of the set.
    struct TFlatEntry
    {
        int lcNo = 0;
        int mainLcNo = 0;
        TSTT_LC_INFO *info = nullptr;
    };
    const std::vector<TFlatEntry> &Flat() const;
    void Changed() { FFlatValid = false; }

    QMap<int, PSTT_LC_INFO> FItems;
    QHash<int, int> FVirtual;
    quint64 FGeneration = 0;
    mutable std::vector<TFlatEntry> FFlat;
    mutable bool FFlatValid = false;
};
