#include "transfer/UPDNUnit.h"

#include <QStringList>

bool AllZeroBytes(const void *data, int size)
{
    const auto *p = static_cast<const quint8 *>(data);
    for (int i = 0; i < size; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

// ---------------------------------------------------------------------------
// Output map
// ---------------------------------------------------------------------------

int InOutPed::LsuLampType(int n) const
{
    if (n < 1 || n > 16)
        return 0;
    const int bit = n <= 8 ? n + 7 : n - 9;
    return GetLsuDirBits(BitFieldIndex(bit, 1));
}

void InOutPed::SetLsuLampType(int n, int type)
{
    if (n < 1 || n > 16)
        return;
    const int bit = n <= 8 ? n + 7 : n - 9;
    SetLsuDirBits(BitFieldIndex(bit, 1), quint16(type ? 1 : 0));
}

quint8 InOutPed::PedExtOf(int d) const
{
    if (d < 1 || d > 10)
        return 0;
    return GetPedExtBits((d - 1) / 2, (d % 2) ? 1028 : 4);
}

void InOutPed::SetPedExtOf(int d, quint8 v)
{
    if (d < 1 || d > 10)
        return;
    SetPedExtBits((d - 1) / 2, (d % 2) ? 1028 : 4, v);
}

// ---------------------------------------------------------------------------
// Addresses, devices, extended command
// ---------------------------------------------------------------------------

QString TAddress::ToText() const
{
    return QString::asprintf("%d.%d.%d.%d", FField1, FField2, FField3, FField4);
}

QString TDevice::VersionText() const
{
    return QString::asprintf("%d.%d.%d.%d", FVersionMajor, FVersionMinor, FVersionModule,
                             int(VersionRevision()));
}

quint8 *TExtendCommand::CmdByte(int cmdNo)
{
    switch (cmdNo) {
    case 9: return &cmd09;
    case 10: return &cmd10;
    case 11: return &cmd11;
    case 12: return &cmd12;
    case 13: return &cmd13;
    case 14: return &cmd14;
    case 16: return &cmd16;
    case 17: return &cmd17;
    default: return nullptr;
    }
}

quint8 TExtendCommand::GetCmdBits(int cmdNo, int index) const
{
    const quint8 *b = const_cast<TExtendCommand *>(this)->CmdByte(cmdNo);
    return b ? GetBitsByOneByte(*b, index) : quint8(0);
}

void TExtendCommand::SetCmdBits(int cmdNo, int index, quint8 v)
{
    if (quint8 *b = CmdByte(cmdNo))
        *b = SetBitsToOneByte(*b, index, v);
}

// ---------------------------------------------------------------------------
// Request bytes and offsets
// ---------------------------------------------------------------------------

quint8 DayPlanRequestByte(int plan, int part)
{
    quint8 b = 0;
    b = SetBitsToOneByte(b, 1028, quint8(plan - 1));
    b = SetBitsToOneByte(b, 4, quint8(part));
    return b;
}

quint8 PackInOutPedOutput(int lsu, int sort, int *correct)
{
    quint8 b = 0;
    if (lsu != 0 || sort != 0) {
        b = SetBitsToOneByte(b, 1028, quint8(lsu - 1));
        b = SetBitsToOneByte(b, 4, quint8(sort));
    }
    if (correct)
        *correct = ((lsu != 0 || sort != 0) && b == 0) ? 1 : 0;
    return b;
}

quint8 MakeFunctionTableCntl(int controlType, int spcNo)
{
    quint8 b = SetBitsToOneByte(0, 4, quint8(controlType));
    if (controlType == 4)
        b = SetBitsToOneByte(b, 1028, quint8(spcNo));
    return b;
}

int SignalMapCount(TLcTypeEx type)
{
    switch (type) {
    case lct2004: return SignalMap2004Maps;
    case lct2010_3L:
    case lct2010_4L: return SignalMap2010Maps;
    default: return 0;
    }
}

int SignalMapSize(TLcTypeEx type) { return SignalMapCount(type) * SignalMapImageSize; }

quint8 SignalMapRequestByte(TLcTypeEx type, int map, int ring, bool upload)
{
    quint8 b = 0;
    switch (type) {
    case lct2004:
        b = SetBitsToOneByte(b, 1028, map == 1 ? 0 : 15);
        b = SetBitsToOneByte(b, 4, quint8((ring == 1 ? 0 : 4) + (upload ? 8 : 0)));
        break;
    case lct2010_3L:
        b = SetBitsToOneByte(b, 1028, ring == 1 ? 3 : 4);
        b = SetBitsToOneByte(b, 4, quint8(map - 1));
        break;
    case lct2010_4L:
        b = SetBitsToOneByte(b, 1028, ring == 1 ? 1 : 2);
        b = SetBitsToOneByte(b, 4, quint8(map - 1));
        break;
    default:
        break;
    }
    return b;
}

int SignalMapRingOffset(TLcTypeEx type, quint8 requestByte)
{
    const int hi = GetBitsByOneByte(requestByte, 1028);
    const int lo = GetBitsByOneByte(requestByte, 4);
    switch (type) {
    case lct2004:
        return (hi == 0 ? 0 : 1) * SignalMapImageSize + (lo == 8 ? 0 : 1) * SignalRingSize;
    case lct2010_3L:
        if (lo >= SignalMap2010Maps)
            return -1;
        return lo * SignalMapImageSize + (hi == 3 ? 0 : 1) * SignalRingSize;
    case lct2010_4L:
        if (lo >= SignalMap2010Maps)
            return -1;
        return lo * SignalMapImageSize + (hi == 1 ? 0 : 1) * SignalRingSize;
    default:
        return -1;
    }
}

int NextDumpStartIndex(int currentIndex)
{
    const int s = currentIndex - 9;
    return s > 0 ? s : s + DumpHistoryRing;
}

bool ConflictBit(const QByteArray &map, int r, int c)
{
    if (r < 0 || r > 31 || c < 0 || c > 31 || map.size() < ConflictMapSize)
        return false;
    const quint8 b = quint8(map.at(4 * r + c / 8));
    return GetBitsByOneByte(b, BitFieldIndex(7 - c % 8, 1)) != 0;
}

void SetConflictBit(QByteArray &map, int r, int c, bool on)
{
    if (r < 0 || r > 31 || c < 0 || c > 31 || map.size() < ConflictMapSize)
        return;
    const int i = 4 * r + c / 8;
    map[i] = char(SetBitsToOneByte(quint8(map.at(i)), BitFieldIndex(7 - c % 8, 1), on ? 1 : 0));
}

QString FlashMap3LampName(quint8 nibble)
{
    switch (nibble) {
    case 0: return QStringLiteral("R0");
    case 1: return QStringLiteral("G0");
    case 2: return QStringLiteral("Y0");
    case 3: return QStringLiteral("YF");
    case 4: return QStringLiteral("RF");
    case 5: return QStringLiteral("GF");
    case 8: return QStringLiteral("X");
    default: return QString();
    }
}

// ---------------------------------------------------------------------------
// Event history texts
// ---------------------------------------------------------------------------

namespace {

const char *const TypeNames[16] = {"NONE", "SYS", "OPR", "P_P", "HST", "ERR", "LAN", "DBC",
                                   "DBG", "AVC", "PPC", "T11", "T12", "T13", "T14", "T15"};

// Named kinds of each type, from kind 1.
const QStringList &KindNames(int type)
{
    static const QStringList lists[11] = {
        {},
        {"REBOOT", "DB BROKEN", "HISTORY CLEAR ", "SCC RESTART", "PUSH BUTTON TIME OUT", "JUST FLASH"},
        {"SHUTDOWN", "FLASH ", "DINNING", "EXT_MAP", "ACTUATION", "PUSH BUTTON", "VOICE", "SPILL-BACK",
         "EXT. ACTUATION ", "UPS DIMMIN", "TEST EXT_MAP", "HOST FLASH RECOVER BY COMM. FAIL"},
        {"SHUTDOWN", "FLASH", "MANUAL", "MAN_ADV", "CMRST", "DOOR"},
        {"SHUTDOWN", "FLASH", "MANUAL ENABLE", "MAN_ADV", "MODE CHANGE", "MCU RST", "SCU RST",
         "CONFLICT RST", "CONFLICT ENABLE", "DINNING", "EXT_MAP", "ACTUATION", "HOLD PHASE",
         "OMIT PHASE", "SPILL-BACK", "PUSH BUTTON", "PPC"},
        {"HOST COMM.", "SCU COMM.", "ETC COMM.", "AC FAIL", "CONFLICT FAIL", "DB CONFLICT FAIL",
         "LAMP_FAIL", "OLD SCU REBOOT", "OLD 12V FAIL", "OLD 5V FAIL", "DB FAIL", "RTC FAIL",
         "HOST RX DATA SIZE"},
        {"SERVER REBOOT", "SERVER RECV ERROR1", "SERVER RECV ERROR2", "SERVER SELECT ERROR",
         "NO DATA WITH CONN.", "NO DATA WITHOUT CONN.", "NO DATA WITH CONN. REBOOT",
         "NO DATA WITHOUT CONN. REBOOT"},
        {"STARTUP CODE", "HOLIDAY PLAN", "WEEK PLAN", "DAY PLAN", "FUCTION TABLE", "FLASH MAP ",
         "SIGNAL MAP ", "LOOP CONFIG", "LOOP EXT. CONFIG", "GAP TIME", "RED VOL", "LTIME LOOP",
         "LAMP MAP", "PUSH MG", "LSU DIR", "CONFLICT MAP", "NETWORK", "OLD PED.", "OLD ACT.", "USER",
         "LAN", "GJ PED."},
        {"SCC RESET", "RING FAIL", "NO PLAN", "TOD FAIL", "WRONG FORCE-OFF", "WRONG RELEASE POINT",
         "WRONG PORT ", "HOST CLOCK SAVED"},
        {"REBOOT", "TIME SET", "COMMUNICATION", "WRONG OPCODE", "DORO 0x01", "DORO 0x20", "DORO 0xF0 ",
         "CMD 0xA8", "CMD 0xA9", "CMD 0xAA", "GG 0x01", "GG 0x20", "GG 0xF0"},
        {"FLAG CLEAR", "CHANGE AGENCY", "CHANGE LICENSE", "CHANGE VEHICLE", "NO ACT", "FLASH",
         "ALL RED ", "SCU CONTROL", "FORCE-OFF", "HOLD PHASE", "WRONG CODE1", "WRONG CODE2", "JUMP TO",
         "JUMP TO FLASH", "JUMP TO NORMAL", "WAKE UP", "SLEEP"},
    };
    static const QStringList none;
    return (type >= 0 && type <= 10) ? lists[type] : none;
}

QString Num3(quint8 v) { return QString::asprintf("%.3d", int(v)); }

} // namespace

QString DumpTypeName(quint8 type) { return QString::fromLatin1(TypeNames[type & 15]); }

QString DumpKindName(quint8 type, quint8 kind)
{
    const int t = type & 15;
    const int k = kind & 31;
    if (t == 0 && k == 7)
        return QStringLiteral("00_07 ");
    const QStringList &names = KindNames(t);
    if (k >= 1 && k <= names.size())
        return names.at(k - 1);
    return QString::asprintf("%.2d_%.2d", t, k);
}

QString DumpDataText(const TDumpData &d, TLcTypeEx type)
{
    const int t = d.FType;
    const int k = d.FKind;
    const quint8 *f = d.FDF;
    switch (t) {
    case 131:
        return QString::asprintf("Wrong RTC from Host %.2d-%.2d-%.2d[%.3d] %.2d:%.2d:%.2d", f[0], f[1],
                                 f[2], f[3], f[4], f[5], f[6]);
    case 132:
        return QString::asprintf(
            "Int_Cnf Phase/Step/Split/StepTime [%.3d %.3d %.3d %.3d] [%.3d %.3d %.3d %.3d]", f[0], f[1],
            f[2], f[3], f[4], f[5], f[6], f[7]);
    case 128:
    case 129:
    case 130: {
        const char *head = t == 130 ? "DWN" : t == 128 ? "EOC" : "TOD";
        return QString::asprintf("%s Cycle %s -> %s - [%s %s %s %s] [%s %s %s %s]", head,
                                 qPrintable(Num3(d.FKind)), qPrintable(Num3(d.FPara)),
                                 qPrintable(Num3(f[0])), qPrintable(Num3(f[1])), qPrintable(Num3(f[2])),
                                 qPrintable(Num3(f[3])), qPrintable(Num3(f[4])), qPrintable(Num3(f[5])),
                                 qPrintable(Num3(f[6])), qPrintable(Num3(f[7])));
    }
    case 10:
        return QStringLiteral("%1 %2 %3 %4:%5:%6:%7:%8:%9:%10:%11")
            .arg(DumpTypeName(d.FType), DumpKindName(d.FType, d.FKind),
                 (d.FPara & 1) ? QStringLiteral("Occur") : QStringLiteral("Recover"))
            .arg(f[0]).arg(f[1]).arg(f[2]).arg(f[3]).arg(f[4]).arg(f[5]).arg(f[6]).arg(f[7]);
    default:
        break;
    }
    if (t == 0 || k == 0)
        return QString::asprintf("[%.2d][%.2d][0x%.2x]", t, k, int(d.FPara));
    if (!(t == 5 && (k == 5 || k == 7)))
        return QStringLiteral("%1 %2 %3 [%4]")
            .arg(DumpTypeName(d.FType), DumpKindName(d.FType, d.FKind),
                 d.FPara == 0 ? QStringLiteral("Recover") : QStringLiteral("Occur"),
                 QString::asprintf("0x%.2x", int(d.FPara)));
    // A conflict or a lamp failure names the LSU and the lamp.
    if (type == lct2010_3L) {
        static const char *const lamps[6] = {"R1", "Y1", "G1", "R2", "Y2", "G2"};
        const QString lsu = QStringLiteral("LSU %1").arg(int(f[0]) + 1);
        const QString lamp = f[1] < 6 ? QString::fromLatin1(lamps[f[1]]) : QString::asprintf("0x%.2x", f[1]);
        return QStringLiteral("%1 %2 Occur %3 [%4 : %5 : %6]")
            .arg(DumpTypeName(d.FType), DumpKindName(d.FType, d.FKind),
                 QString::asprintf("0x%x", int(d.FPara)), lsu, lamp,
                 f[2] == 1 ? QStringLiteral("S/W") : QStringLiteral("H/W"));
    }
    if (type == lct2010_4L) {
        static const char *const lamps[6] = {"PR", "PG", "R", "Y", "A", "G"};
        const QString lsu = QStringLiteral("LSU %1").arg(int(f[0]) + 1);
        const QString lamp = f[1] < 6 ? QString::fromLatin1(lamps[f[1]]) : QString::asprintf("0x%.2x", f[1]);
        return QStringLiteral("%1 %2 Occur %3 [%4 : %5]")
            .arg(DumpTypeName(d.FType), DumpKindName(d.FType, d.FKind),
                 QString::asprintf("0x%x", int(d.FPara)), lsu, lamp);
    }
    return QString();
}
