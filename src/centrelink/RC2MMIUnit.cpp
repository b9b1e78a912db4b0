#include "centrelink/RC2MMIUnit.h"

#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
// -1: follow the data module's setting (INI RC_BIG_ENDIAN); 0 or 1: set explicitly.
std::atomic<int> g_serverBigEndian{-1};

void PutLong(quint8 *p, quint32 v, bool bigEndian)
{
    if (bigEndian)
        qToBigEndian(v, p);
    else
        qToLittleEndian(v, p);
}
quint32 GetLong(const quint8 *p, bool bigEndian)
{
    return bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
}
} // namespace

void SetServerBigEndian(bool bigEndian) { g_serverBigEndian.store(bigEndian ? 1 : 0); }
void FollowDataModuleByteOrder() { g_serverBigEndian.store(-1); }
bool ServerBigEndian()
{
    const int set = g_serverBigEndian.load();
    if (set >= 0)
        return set != 0;
    return DM ? DM->G_SERVER_BIGENDIAN : false;
}

// ---------------------------------------------------------------------------
// Header
// ---------------------------------------------------------------------------

qint64 LocalClockAsUnixSeconds()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), now.time(), Qt::UTC).toSecsSinceEpoch();
}

void THostPacketHead::Reset() { std::memset(this, 0, sizeof(*this)); }

void THostPacketHead::SetHead(quint8 _command, quint8 _kind_target, quint16 _target_num)
{
    Reset();
    stx1 = 0x43;
    stx2 = 0x4D;
    src = 1;
    dst = 2;
    current_frame = 0;
    total_frame = 0;
    frame_seq = 0;
    kind_target = _kind_target;
    opcode = _command;
    command = _command;
    target_num = HostToNetShort(_target_num);
    dsize = 0;
    SetCurrentTime();
}

void THostPacketHead::ConvertRecvHead()
{
    target_num = NetToHostShort(target_num);
    dsize = NetToHostLong(dsize);
}

void THostPacketHead::SetCurrentTime()
{
    SetTime(qint32(quint32(LocalClockAsUnixSeconds())), 0, ServerBigEndian());
}

void THostPacketHead::SetTime(qint32 secs, qint32 usecs, bool bigEndian)
{
    std::memset(CurrentTime, 0, sizeof(CurrentTime));
    // Two 64-bit members whose upper halves stay zero: the low word stands first
    // in little-endian order and second in big-endian order.
    const int lowWord = bigEndian ? 4 : 0;
    PutLong(CurrentTime + lowWord, quint32(secs), bigEndian);
    PutLong(CurrentTime + 8 + lowWord, quint32(usecs), bigEndian);
}

TTimeVal THostPacketHead::GetCurrentTime() const { return GetCurrentTime(ServerBigEndian()); }

TTimeVal THostPacketHead::GetCurrentTime(bool bigEndian) const
{
    const int lowWord = bigEndian ? 4 : 0;
    TTimeVal tv;
    tv.tv_sec = qint32(GetLong(CurrentTime + lowWord, bigEndian));
    tv.tv_usec = qint32(GetLong(CurrentTime + 8 + lowWord, bigEndian));
    return tv;
}

void MakeClosePacket(THostSimplePacket &packet)
{
    packet.Reset();
    packet.SetHead(opClose, ktNone, 0);
}

QDateTime PacketTimeToDateTime(const TTimeVal &time) { return PacketTimeToDateTime(time.tv_sec); }

QDateTime RcPacketTimeToDateTime(qint32 seconds) { return PacketTimeToDateTime(seconds); }

// ---------------------------------------------------------------------------
// Bit-field getters
// ---------------------------------------------------------------------------

int TLcstBits::GetBits0(int index) const { return GetBitsByOneByte(lcst[0], index); }
int TLcstBits::GetBits1(int index) const { return GetBitsByOneByte(lcst[1], index); }
int TLcstBits::GetBits2(int index) const { return GetBitsByOneByte(lcst[2], index); }
int TLcstBits::GetBits3(int index) const { return GetBitsByOneByte(lcst[3], index); }
int TLcstBits::GetBits4(int index) const { return GetBitsByOneByte(lcst[4], index); }
int TLcstBits::GetBits5(int index) const { return GetBitsByOneByte(lcst[5], index); }
int TLcstBits::GetBits16(int index) const { return GetBitsByOneByte(lcst[16], index); }

int TLcst2010::GetBits24(int index) const { return GetBitsByOneByte(lcst[24], index); }

int TBitByte::GetBits(int index) const { return GetBitsByOneByte(value, index); }

int TLsuRingBits::GetBits0(int index) const { return GetBitsByOneByte(bytes[0], index); }
int TLsuRingBits::GetBits1(int index) const { return GetBitsByOneByte(bytes[1], index); }
int TLsuRingBits::GetBits2(int index) const { return GetBitsByOneByte(bytes[2], index); }
int TLsuRingBits::GetBits3(int index) const { return GetBitsByOneByte(bytes[3], index); }

// ---------------------------------------------------------------------------
// Live record
// ---------------------------------------------------------------------------

void TLcStatus::InitLC()
{
    opr_stat = 0;
    opr_stat_prev = -1;
    powerFail = commFail = dualRing = 0;
    oprMode = 6;
    stepA = phaseA = stepB = phaseB = 0;
    policeIng = policeMan = policeFlash = policeOff = 0;
    conflict = lightsOut = flash = dbError = 0;
    pushBtnEnable = flashCause = turnLeft = manEnable = conflictEnable = doorOpen = 0;
    conflictLsuNo = conflictReason = conflictCircuit = 0;
    std::memset(detInfo, 0, sizeof(detInfo));
    pedLightFlags = pushBtnFlags = pedTroubleFlags = optionBdFlags = 0;
    cycleCount = previousCycle = currentCycle = offset = phaseHold = phaseOmit = 0;
    spillback_subpahse_end = spillback_mainpahse_end = spillback_ctrmode = spillback_perm = 0;
    fwModuleID = fwModuleDgIdx = 0;
    DBErrorCode = PPCFlags = UPSFlags = 0;
    applyStatus = lockStatus1 = lockStatus2 = dbReadOnly = 0;
}

TMovement *TSTT_LC_INFO::Movement(int planClass, int phase, int ring)
{
    if (planClass < 1 || planClass > MVMT_PLAN_CLASSES || phase < 1 || phase > MVMT_PHASES
        || ring < 1 || ring > MVMT_RINGS)
        return nullptr;
    return &Movements[planClass - 1][phase - 1][ring - 1];
}

const TMovement *TSTT_LC_INFO::Movement(int planClass, int phase, int ring) const
{
    return const_cast<TSTT_LC_INFO *>(this)->Movement(planClass, phase, ring);
}

void TSTT_LC_INFO::InitLC()
{
    TLcStatus::InitLC();
    phaseCountFixValue = savePhaseCount = saveStepA = 0;
    linkID_A = QString();
    linkID_B = QString();
    actuateMode = false;
}

// ---------------------------------------------------------------------------
// Decoding
// ---------------------------------------------------------------------------

void DecodeLcStatus(const TST_ITST_STATE &rec, int lc_type, TLcStatus &st)
{
    using namespace LcstBit;
    st.mntr_ok = true;
    st.opr_stat_prev = st.opr_stat;
    st.opr_stat = rec.status;
    if (lc_type != 1 && lc_type != 2)
        return;

    const quint8 *b = rec.lcst;
    const bool is2004 = lc_type == 1;
    // A field of one status byte (index: start bit * 256 + width), worked out in
    // line: every field of every intersection passes here once per image.
    auto bits = [](quint8 value, int index) {
        const int start = (index >> 8) & 0xFF, width = index & 0xFF;
        return int((unsigned(value) >> start) & ((1u << width) - 1u));
    };

    st.powerFail = bits(b[0], Bit7);
    st.commFail = bits(b[0], Bit6);
    st.dualRing = bits(b[0], Bit4);
    if (rec.status != 0) {
        st.oprMode = bits(b[0], Bits0_2);
        st.lightsOut = bits(b[3], Bit2);
        st.flash = bits(b[3], Bit1);
        st.conflict = bits(b[3], Bit3);
        st.doorOpen = bits(b[4], Bit0);
        st.conflictEnable = bits(b[4], Bit1);
    } else {
        // communication failure
        st.oprMode = 6;
        st.lightsOut = 0;
        st.flash = 0;
        st.conflict = 0;
        st.doorOpen = 0;
        st.conflictEnable = 1;
    }
    st.stepA = bits(b[1], Bits0_4);
    st.phaseA = bits(b[1], Bits5_7);
    st.stepB = bits(b[2], Bits0_4);
    st.phaseB = bits(b[2], Bits5_7);
    st.policeIng = bits(b[3], Bit7);
    st.policeMan = bits(b[3], Bit6);
    st.policeFlash = bits(b[3], Bit5);
    st.policeOff = bits(b[3], Bit4);
    st.dbError = bits(b[3], Bit0);
    st.flashCause = bits(b[4], is2004 ? Bits4_7 : Bits4_6);
    st.turnLeft = bits(b[4], Bit3);
    st.manEnable = bits(b[4], Bit2);
    st.conflictLsuNo = bits(b[5], Bits4_7);
    st.conflictCircuit = bits(b[5], is2004 ? Bits0_3 : Bits0_2);
    st.cycleCount = b[10];
    st.previousCycle = b[11];
    st.currentCycle = b[12];
    st.offset = b[13];
    st.phaseHold = b[14];
    st.phaseOmit = b[15];
    st.spillback_perm = bits(b[16], Bit3);
    st.spillback_ctrmode = bits(b[16], Bit2);
    st.spillback_mainpahse_end = bits(b[16], Bit1);
    st.spillback_subpahse_end = bits(b[16], Bit0);

    if (is2004) {
        st.pushBtnEnable = 0;
        st.conflictReason = -1;
        std::memcpy(st.detInfo, b + 6, 4);
        st.pedLightFlags = st.pushBtnFlags = st.pedTroubleFlags = st.optionBdFlags = -1;
        st.lampType = -1;
        st.planInfo = bits(b[4], Bit3) == 1 ? 1 : 0;
        st.fwModuleID = 0;
        st.fwModuleDgIdx = 0;
        st.DBErrorCode = st.PPCFlags = st.UPSFlags = -1;
        st.applyStatus = st.lockStatus1 = st.lockStatus2 = st.dbReadOnly = -1;
        st.ppcControlMode = 0;
    } else {
        st.pushBtnEnable = bits(b[4], Bit7);
        st.conflictReason = bits(b[5], Bit3);
        std::memset(st.detInfo, 0, 4);
        st.pedLightFlags = b[6];
        st.pushBtnFlags = b[7];
        st.pedTroubleFlags = b[8];
        st.optionBdFlags = b[9];
        st.lampType = bits(b[16], Bit7);
        st.planInfo = bits(b[16], Bits4_6);
        // The two firmware words are kept as they stand in the image (most
        // significant byte first); readers convert them.
        std::memcpy(&st.fwModuleID, b + 17, 2);
        std::memcpy(&st.fwModuleDgIdx, b + 19, 2);
        st.DBErrorCode = b[21];
        st.PPCFlags = b[22];
        st.UPSFlags = b[23];
        st.dbReadOnly = bits(b[24], Bit3);
        st.lockStatus2 = bits(b[24], Bit2);
        st.lockStatus1 = bits(b[24], Bit1);
        st.applyStatus = bits(b[24], Bit0);
        st.ppcControlMode = quint8(bits(b[0], Bit3));
    }
}

void DecodeStateImage(const TST_VESK_STATE &image, TLcStateSnapshot &snapshot)
{
    for (TLcDecodeEntry &e : snapshot.entries) {
        e.st.mntr_ok = false;
        const bool isVirtual = e.mainLcNo > 0;
        if (!e.is_use && !isVirtual)
            continue;
        const int source = isVirtual ? e.mainLcNo : e.lcNo;
        if (source < 1 || source > RC_LC_COUNT)
            continue;
        DecodeLcStatus(image.lc_state[source - 1], e.lc_type, e.st);
    }
}

// ---------------------------------------------------------------------------
// Live state set
// ---------------------------------------------------------------------------

PSTT_LC_INFO TLC_INFO_SET::GetLcInfo(int nLcId) const { return FItems.value(nLcId); }

void TLC_INFO_SET::SetLcInfo(int nLcId, const PSTT_LC_INFO &Value)
{
    if (Value)
        FItems.insert(nLcId, Value);
    else
        FItems.remove(nLcId);
    Changed();
}

void TLC_INFO_SET::Remove(int nLcId)
{
    FItems.remove(nLcId);
    FVirtual.remove(nLcId);
    Changed();
}

void TLC_INFO_SET::Clear()
{
    FItems.clear();
    FVirtual.clear();
    ++FGeneration;
    Changed();
}

void TLC_INFO_SET::InitLC()
{
    for (const PSTT_LC_INFO &info : std::as_const(FItems))
        info->InitLC();
}

void TLC_INFO_SET::SetVirtual(int nLcId, int nMainLcId)
{
    if (nMainLcId > 0)
        FVirtual.insert(nLcId, nMainLcId);
    else
        FVirtual.remove(nLcId);
    Changed();
}

TLcStateSnapshot TLC_INFO_SET::TakeSnapshot() const
{
    TLcStateSnapshot snap;
    TakeSnapshot(snap);
    return snap;
}

const std::vector<TLC_INFO_SET::TFlatEntry> &TLC_INFO_SET::Flat() const
{
    if (!FFlatValid) {
        FFlat.clear();
        FFlat.reserve(size_t(FItems.size()));
        for (auto it = FItems.cbegin(); it != FItems.cend(); ++it)
            FFlat.push_back({it.key(), FVirtual.value(it.key(), 0), it.value().get()});
        FFlatValid = true;
    }
    return FFlat;
}

namespace {

// The live status of a record a few places ahead, asked for before it is needed:
// the records lie apart in memory.
inline void PrefetchStatus(const TLcStatus &st)
{
    const char *p = reinterpret_cast<const char *>(&st);
    for (size_t at = 0; at < sizeof(TLcStatus); at += 64)
        __builtin_prefetch(p + at);
}

constexpr size_t kPrefetchAhead = 6;

} // namespace

void TLC_INFO_SET::TakeSnapshot(TLcStateSnapshot &snap) const
{
    snap.generation = FGeneration;
    const std::vector<TFlatEntry> &flat = Flat();
    const size_t n = flat.size();
    // The entries' storage is reused from cycle to cycle: no allocation while the
    // number of records stays.
    snap.entries.resize(qsizetype(n));
    TLcDecodeEntry *e = snap.entries.data();
    for (size_t i = 0; i < n; ++i, ++e) {
        if (i + kPrefetchAhead < n) {
            const TSTT_LC_INFO *ahead = flat[i + kPrefetchAhead].info;
            __builtin_prefetch(&ahead->lc_type);
            __builtin_prefetch(&ahead->opr_stat);
        }
        const TSTT_LC_INFO &info = *flat[i].info;
        e->lcNo = flat[i].lcNo;
        e->lc_type = info.lc_type;
        e->is_use = info.is_use;
        e->mainLcNo = flat[i].mainLcNo;
        // A record the image decodes whole (a known layout, in use or virtual, with
        // a record in the image) needs only what the decode reads: the state it
        // keeps as the previous one. Every other field is written by the decode, so
        // whatever the reused entry held before does not matter. Other records keep
        // fields through the decode and are copied whole.
        const int source = e->mainLcNo > 0 ? e->mainLcNo : e->lcNo;
        const bool decodedWhole = (e->lc_type == 1 || e->lc_type == 2) && (e->is_use || e->mainLcNo > 0)
                                  && source >= 1 && source <= RC_LC_COUNT;
        if (decodedWhole)
            e->st.opr_stat = info.opr_stat;
        else
            e->st = info.Status();
    }
}

void TLC_INFO_SET::ApplySnapshot(const TLcStateSnapshot &snapshot, QList<int> *changed)
{
    // Both are in ascending number order: one walk through the two, no look-ups.
    const std::vector<TFlatEntry> &flat = Flat();
    const size_t n = flat.size();
    size_t j = 0;
    for (const TLcDecodeEntry &e : snapshot.entries) {
        while (j < n && flat[j].lcNo < e.lcNo)
            ++j;
        if (j == n)
            break;
        if (flat[j].lcNo != e.lcNo)
            continue; // no longer in the set
        if (j + kPrefetchAhead < n)
            PrefetchStatus(flat[j + kPrefetchAhead].info->Status());
        TLcStatus &st = flat[j].info->Status();
        // Equal bytes are equal records (the record has no padding).
        if (std::memcmp(&st, &e.st, sizeof(TLcStatus)) != 0) {
            std::memcpy(static_cast<void *>(&st), &e.st, sizeof(TLcStatus));
            if (changed)
                changed->append(e.lcNo);
        }
    }
}

void TLC_INFO_SET::DecodeImage(const TST_VESK_STATE &image)
{
    TLcStateSnapshot snap = TakeSnapshot();
    DecodeStateImage(image, snap);
    ApplySnapshot(snap);
}

QString TLC_INFO_SET::LoadSql()
{
    return QStringLiteral(
        "SELECT T1.INT_LCNO, T1.INT_SANO, T1.INT_IMPORFLAG, T1.INT_PORT, T1.INT_REGFLAG, "
        "T1.INT_NAME, T1.INT_LCTYPE, T1.MAIN_LCNO, COALESCE(T2.NODE_ID, '') AS NODE_ID, "
        "T2.NODE_LAT, T2.NODE_LNG "
        "FROM SCS_M_INTLC T1 LEFT JOIN SCS_M_NODE T2 ON T1.NODE_ID = T2.NODE_ID "
        "ORDER BY T1.INT_LCNO");
}

QString TLC_INFO_SET::MovementSql(bool oneIntersection)
{
    QString sql = QStringLiteral(
        "SELECT P.INT_LCNO, P.INT_PLANCLSS, P.INT_PHASENO, P.INT_RING, P.INT_FLOWNUMBER, "
        "CASE WHEN P.INT_FLOWNUMBER IN (17, 18) THEN 1 ELSE 0 END AS PHASETYPE, "
        "COALESCE(P.INT_HEAD_LAT, '') AS INT_HEAD_LAT, COALESCE(P.INT_HEAD_LNG, '') AS INT_HEAD_LNG, "
        "COALESCE(P.INT_MIDDLE_LAT, '') AS INT_MIDDLE_LAT, COALESCE(P.INT_MIDDLE_LNG, '') AS INT_MIDDLE_LNG, "
        "COALESCE(P.INT_END_LAT, '') AS INT_END_LAT, COALESCE(P.INT_END_LNG, '') AS INT_END_LNG, "
        "COALESCE(P.INT_LABEL_LAT, '') AS INT_LABEL_LAT, COALESCE(P.INT_LABEL_LNG, '') AS INT_LABEL_LNG, "
        "COALESCE(P.INT_HEAD_ANGLE, '') AS INT_HEAD_ANGLE, COALESCE(P.INT_END_ANGLE, '') AS INT_END_ANGLE, "
        "P.INT_MINSPLIT, P.INT_MAXSPLIT, P.INT_YELLOW, P.LINK_ID "
        "FROM SCS_M_INTPHASE P INNER JOIN SCS_M_INTLC M ON P.INT_LCNO = M.INT_LCNO "
        "LEFT JOIN SCS_M_INTLC T ON T.INT_LCNO = M.MAIN_LCNO ");
    if (oneIntersection)
        sql += QStringLiteral(" WHERE (P.INT_LCNO = :INT_LCNO ) ");
    sql += QStringLiteral(" ORDER BY P.INT_LCNO, P.INT_PLANCLSS, P.INT_PHASENO, P.INT_FLOWNUMBER ");
    return sql;
}

namespace {
QString TextOf(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}
} // namespace

bool TLC_INFO_SET::LoadFromDb(const QSqlDatabase &db, QString *error)
{
    QSqlError e;
    const bool ok = LoadFromDb(db, &e);
    if (!ok && error)
        *error = e.text();
    return ok;
}

bool TLC_INFO_SET::LoadFromDb(const QSqlDatabase &db, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(LoadSql())) {
        if (error)
            *error = q.lastError();
        return false;
    }
    // Records of numbers that stay are reused so that windows holding them see the
    // reloaded identity; the rest are let go (holders keep theirs alive).
    QMap<int, PSTT_LC_INFO> old;
    old.swap(FItems);
    FVirtual.clear();
    ++FGeneration;
    Changed();
    int seq = 0;
    while (q.next()) {
        const int lcNo = q.value(0).toInt();
        if (lcNo <= 0)
            continue;
        ++seq;
        PSTT_LC_INFO info = old.value(lcNo);
        if (info)
            *info = TSTT_LC_INFO();
        else
            info = std::make_shared<TSTT_LC_INFO>();
        info->iSeq = seq;
        info->tcdv_id = lcNo;
        info->sa_id = q.value(1).toInt();
        info->tcdv_type = q.value(2).toInt();
        info->port_no = q.value(3).toInt();
        const int regFlag = q.value(4).toInt();
        info->is_use = regFlag == 1;
        info->ints_name = q.value(5).toString();
        info->lc_type = q.value(6).toInt();
        info->virtualLC_No = q.value(7).toInt();
        info->ints_id = q.value(8).toString();
        info->cx = TextOf(q.value(9));
        info->cy = TextOf(q.value(10));
        info->fep_no = 0;
        info->opr_stat = 0;
        info->opr_stat_prev = -1;
        info->flash = 0;
        info->is_OnLine = true;
        if (regFlag == 0 && info->virtualLC_No > 0)
            FVirtual.insert(lcNo, info->virtualLC_No);
        FItems.insert(lcNo, info);
    }
    return true;
}

bool TLC_INFO_SET::LoadMovementsFromDb(const QSqlDatabase &db, int nLcId, QString *error)
{
    QSqlError e;
    const bool ok = LoadMovementsFromDb(db, nLcId, &e);
    if (!ok && error)
        *error = e.text();
    return ok;
}

bool TLC_INFO_SET::LoadMovementsFromDb(const QSqlDatabase &db, int nLcId, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(MovementSql(nLcId > 0))) {
        if (error)
            *error = q.lastError();
        return false;
    }
    if (nLcId > 0)
        q.bindValue(QStringLiteral(":INT_LCNO"), nLcId);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    while (q.next()) {
        const int lcNo = q.value(0).toInt();
        const int planClass = q.value(1).toInt();
        const int phase = q.value(2).toInt();
        const int ring = q.value(3).toInt();
        const int flow = q.value(4).toInt();
        if (lcNo <= 0 || flow < 1 || flow > 18)
            continue;
        PSTT_LC_INFO info = FItems.value(lcNo);
        if (!info)
            continue;
        TMovement *m = info->Movement(planClass, phase, ring);
        if (!m)
            continue;
        m->mvmt_no = flow;
        m->phase_type = quint8(q.value(5).toInt());
        m->head_lat = TextOf(q.value(6));
        m->head_lng = TextOf(q.value(7));
        m->mid_lat = TextOf(q.value(8));
        m->mid_lng = TextOf(q.value(9));
        m->end_lat = TextOf(q.value(10));
        m->end_lng = TextOf(q.value(11));
        m->label_lat = TextOf(q.value(12));
        m->label_lng = TextOf(q.value(13));
        m->head_angle = TextOf(q.value(14));
        m->end_angle = TextOf(q.value(15));
        m->min_split = q.value(16).toInt();
        m->max_split = q.value(17).toInt();
        m->yellow = q.value(18).toInt();
        m->link_id = TextOf(q.value(19));
    }
    return true;
}
