#include "control/LiveViewUnit.h"

#include <array>

#include "centrelink/RC2MMIUnit.h"
#include "core/MainContracts.h"
#include "core/siLang.h"
#include "core/untCodeToText.h"
#include "core/untDM.h"
#include "foundation/QuorvalBase.h"

namespace {

QString timeText(const QDateTime &t) { return t.toString(QStringLiteral("hh:mm:ss")); }

QString pairText(int a, int b) { return QString::asprintf("%2d, %2d", a, b); }

// The plan-map column: the turn-left plan of a 2004 controller, the plan class of a
// 2010 controller, nothing for another type.
QString planMapText(const TSTT_LC_INFO &info)
{
    if (info.lc_type == 1)
        return GetTurnLeftText(info.planInfo);
    if (info.lc_type == 2)
        return GetPlanClassText(info.planInfo);
    return QString();
}

} // namespace

// ===========================================================================
// Whole-system monitor
// ===========================================================================
// Shared by the live views
// ===========================================================================
namespace LiveView {

bool PanToLc(int lcNo, const std::function<void(int)> &announce, IMainWindow *main)
{
    if (lcNo < 1)
        return false;
    if (announce)
        announce(lcNo);
    if (main)
        main->PanToLc(lcNo);
    return true;
}

} // namespace LiveView

// ===========================================================================
namespace SysMonitor {

int GridRowCount(int n) { return qMax(kMinRows, (n + kColumns - 1) / kColumns); }

QPoint CellOf(int k) { return QPoint((k - 1) % kColumns, (k - 1) / kColumns); }

QColor ConflictOnColour() { return TColorToQColor(4694771); }
QColor ConflictOffPen() { return TColorToQColor(15198183); }

bool IsInUse(const TLC_INFO_SET &set, const TSTT_LC_INFO &info)
{
    if (info.virtualLC_No > 0) {
        const PSTT_LC_INFO main = set.GetLcInfo(info.virtualLC_No);
        if (main && main->is_use)
            return true;
    }
    return info.is_use;
}

TTileLook TileLook(const TLC_INFO_SET &set, int lcNo, const TLcStatusColors &colors, bool flashPhase)
{
    TTileLook look;
    if (lcNo <= 0)
        return look;
    const PSTT_LC_INFO info = set.GetLcInfo(lcNo);
    if (!info)
        return look;
    look.Draw = true;
    look.Number = lcNo;
    look.Ci = info->tcdv_type == 1;
    look.ConflictOn = info->conflictEnable == 1;
    const bool inUse = IsInUse(set, *info);
    look.Colour = LcUseColor(colors, inUse, info->opr_stat, info->oprMode);
    // A flashing intersection alternates with the local-mode colour, packet by packet.
    if (inUse && info->oprMode != 3 && info->opr_stat == 5 && info->flash == 1 && flashPhase)
        look.Colour = colors.State[2];
    return look;
}

QString CellHint(const TLC_INFO_SET &set, int lcNo)
{
    const PSTT_LC_INFO info = set.GetLcInfo(lcNo);
    if (lcNo <= 0 || !info)
        return QString();
    return QStringLiteral("%1(%2) %3\r\n%4")
        .arg(info->ints_name.str())
        .arg(info->tcdv_id)
        .arg(GetImporFlagText(info->tcdv_type), GetLcStatusText(info->opr_stat));
}

QStringList InfoTexts(const TLC_INFO_SET &set, int lcNo)
{
    const PSTT_LC_INFO info = set.GetLcInfo(lcNo);
    if (lcNo <= 0 || !info)
        return {QString(), QString()};
    return {QStringLiteral("%1 (%2)").arg(info->ints_name.str(), GetImporFlagText(info->tcdv_type)),
            GetLcStatusText(info->opr_stat)};
}

} // namespace SysMonitor

// ===========================================================================
// Group monitor
// ===========================================================================
namespace GroupMonitor {

QString Tx(const QString &key) { return siText(QStringLiteral("TfrmSA_M"), key); }

QString GroupStateText(int value, int type)
{
    auto listed = [value](std::initializer_list<QString> texts) {
        return value >= 0 && value < int(texts.size()) ? *(texts.begin() + value) : QString();
    };
    switch (type) {
    case 0:
        return listed({Tx(QStringLiteral("IDS_10")), Tx(QStringLiteral("IDS_11"))});
    case 1:
        return listed({QStringLiteral("TOD"), QStringLiteral("TRC"), Tx(QStringLiteral("IDS_12"))});
    case 2:
    case 3:
    case 4:
    case 11:
        // The empty text of value 0 is the table's IDS_13, which holds nothing.
        return listed({QString(), Tx(QStringLiteral("IDS_14"))});
    case 5:
        return listed({Tx(QStringLiteral("IDS_15")), Tx(QStringLiteral("IDS_16"))});
    case 6:
        return listed({Tx(QStringLiteral("IDS_17")), Tx(QStringLiteral("IDS_18"))});
    case 7:
    case 15:
        return listed({QString(), Tx(QStringLiteral("IDS_19")), Tx(QStringLiteral("IDS_20"))});
    case 8:
    case 9:
    case 12:
    case 13:
    case 14:
    case 16:
        return QString::number(value);
    case 10:
        return listed({QString(), Tx(QStringLiteral("IDS_21")), Tx(QStringLiteral("IDS_22")),
                       Tx(QStringLiteral("IDS_23"))});
    case 17:
    case 18:
        return QString::number(value) + QStringLiteral(" %");
    default:
        return QString();
    }
}

namespace {
// Item type t sits at label cell (row, column); its value byte is 1, 2, then 13 + t.
QPoint labelCell(int type)
{
    if (type < 16)
        return QPoint((type / 4) * 2, type % 4);
    return QPoint(8, type - 16);
}
int valueByte(int type) { return type == 0 ? 1 : type == 1 ? 2 : 13 + type; }
constexpr int kItemTypes = 19;
} // namespace

QList<TCell> GroupStateLabels()
{
    QList<TCell> cells;
    for (int t = 0; t < kItemTypes; ++t) {
        const QPoint p = labelCell(t);
        cells.append({p.y(), p.x(), Tx(QStringLiteral("IDS_%1").arg(30 + t))});
    }
    return cells;
}

QList<TCell> GroupStateValues(const quint8 *r)
{
    QList<TCell> cells;
    for (int t = 0; t < kItemTypes; ++t) {
        const QPoint p = labelCell(t);
        cells.append({p.y(), p.x() + 1, GroupStateText(r[valueByte(t)], t)});
    }
    return cells;
}

QList<TCell> PlanLabels()
{
    return {{0, 0, Tx(QStringLiteral("IDS_50"))}, {1, 0, QString()}, {2, 0, QString()},
            {3, 0, Tx(QStringLiteral("IDS_51"))}, {4, 0, Tx(QStringLiteral("IDS_52"))}};
}

QList<TCell> PlanValues(const quint8 *r)
{
    // Byte of the group record per plan-grid row and column 1..7; -1 marks "*".
    static const int kMap[5][7] = {
        {-1, 36, 33, 35, 34, -1, 32},
        {37, 38, 39, 40, 41, 42, -1},
        {43, 44, 45, 46, 47, 48, -1},
        {-1, -1, 54, 56, 55, -1, -1},
        {-1, -1, 50, 51, 52, 53, -1},
    };
    QList<TCell> cells;
    for (int row = 0; row < 5; ++row)
        for (int c = 0; c < 7; ++c) {
            const int b = kMap[row][c];
            cells.append({row, c + 1, b < 0 ? QStringLiteral("*") : QString::number(r[b])});
        }
    return cells;
}

QStringList MemberColumnKeys()
{
    QStringList keys;
    for (int i = 1; i <= 19; ++i)
        keys << QStringLiteral("gtvLCListColumn%1.Caption").arg(i);
    return keys;
}

QStringList MemberRow(int lcNo, const QString &name, const TSTT_LC_INFO &info, const TST_ITST_STATE &rec,
                      const QDateTime &packetTime)
{
    QStringList r;
    r << QString::number(lcNo) << name << timeText(packetTime) << GetOprModeText(info.oprMode)
      << GetLcStatusText(rec.status) << GetCommFailText(info.commFail) << GetPowerFailText(info.powerFail)
      << GetLightOutText(info.lightsOut) << GetFlashText(info.flash) << GetPoliceManText(info.policeMan)
      << GetConflictText(info.conflict) << GetDoorOpenText(info.doorOpen) << QString::number(info.offset)
      << planMapText(info) << GetDualRingText(info.dualRing) << pairText(info.stepA + 1, info.stepB + 1)
      << pairText(info.phaseA + 1, info.phaseB + 1) << QString::number(info.phaseOmit)
      << QString::number(info.phaseHold);
    return r;
}

QColor CellColour(int column, const QString &text)
{
    // Columns 5 to 12 of the member list (0-based 4 to 11) and their flagged texts.
    if (column < 4 || column > 11 || text.isEmpty())
        return QColor();
    const QString key = QStringLiteral("IDS_%1").arg(column - 4);
    if (text != Tx(key))
        return QColor();
    return TColorToQColor(column <= 6 ? 2960895 : 4694771);
}

} // namespace GroupMonitor

// ===========================================================================
// Intersection state list
// ===========================================================================
namespace StateList {

QString Tx(const QString &key) { return siText(QStringLiteral("TfrmTCDV_M_State"), key); }

int ModeOfItem(int item)
{
    static const int kModes[] = {0, 1, 2, 4, 5};
    return item >= 0 && item < 5 ? kModes[item] : -1;
}

bool Keep(const TFilter &f, const TLC_INFO_SET &, const TSTT_LC_INFO &L, const TST_ITST_STATE &rec)
{
    const int mode = ModeOfItem(f.ModeItem);
    if (mode >= 0 && L.oprMode != mode)
        return false;
    if ((mode == 0 || mode < 0) && !L.is_use && !f.States[10])
        return false;
    if (L.virtualLC_No > 0)
        return false;
    const bool use = L.is_use;
    const int st = rec.status;
    const bool holds[kStateItems] = {
        use && st == 0,
        use && L.lightsOut == 1,
        use && L.flash == 1,
        use && (st == 7 || st == 8 || st == 9),
        use && L.conflict == 1,
        use && L.doorOpen == 1,
        use && L.conflictEnable == 0,
        use && st == 10,
        use && st == 4,
        use && st == 12,
        !use,
    };
    for (int i = 0; i < kStateItems; ++i)
        if (f.States[i] && !holds[i])
            return false;
    return true;
}

QStringList RowTexts(int seq, const TSTT_LC_INFO &L, const TST_ITST_STATE &rec, const QDateTime &packetTime)
{
    QStringList r;
    r << QString::number(seq) << QString::number(L.sa_id) << QString::number(L.tcdv_id) << L.ints_name.str()
      << QString() << QString() << timeText(packetTime) << GetOprModeText(L.oprMode) << GetLcStatusText(rec.status)
      << GetCommFailText(L.commFail) << GetPowerFailText(L.powerFail) << GetLightOutText(L.lightsOut)
      << GetFlashText(L.flash) << GetPoliceManText(L.policeMan) << GetConflictText(L.conflict)
      << GetDbErrorText(L.dbError) << GetDoorOpenText(L.doorOpen) << QString::number(L.offset) << planMapText(L)
      << GetDualRingText(L.dualRing) << pairText(L.stepA + 1, L.stepB + 1) << pairText(L.phaseA + 1, L.phaseB + 1)
      << QString::number(L.phaseOmit) << QString::number(L.phaseHold) << GetConflictEnableText(L.conflictEnable)
      << QString::number(rec.transCount);
    return r;
}

QList<QStringList> BuildRows(const TFilter &filter, const TLC_INFO_SET &set, const TST_VESK_STATE &image,
                             const QDateTime &packetTime)
{
    QList<QStringList> rows;
    for (int n = 1; n <= RC_LC_COUNT; ++n) {
        const PSTT_LC_INFO L = set.GetLcInfo(n);
        if (!L)
            continue;
        const TST_ITST_STATE &rec = image.lc_state[n - 1];
        if (!Keep(filter, set, *L, rec))
            continue;
        rows.append(RowTexts(int(rows.size()) + 1, *L, rec, packetTime));
    }
    return rows;
}

QStringList ColumnKeys()
{
    static const char *kNames[colCount] = {
        "gtvLCListNum", "gtvLCListSA_ID", "gtvLCListLC_ID", "gtvLCListLC_NAME", "gtvLCListPOLICE_NAME",
        "gtvLCListINT_MODEL", "gtvLCListColumn3", "gtvLCListColumn4", "gtvLCListColumn5", "gtvLCListColumn6",
        "gtvLCListColumn7", "gtvLCListColumn8", "gtvLCListColumn9", "gtvLCListColumn10", "gtvLCListColumn11",
        "gtvLCListColumn22", "gtvLCListColumn12", "gtvLCListColumn13", "gtvLCListColumn14", "gtvLCListColumn15",
        "gtvLCListColumn16", "gtvLCListColumn17", "gtvLCListColumn18", "gtvLCListColumn19", "gtvLCListColumn20",
        "gtvLCListColumn21"};
    QStringList keys;
    for (const char *n : kNames)
        keys << QString::fromLatin1(n) + QStringLiteral(".Caption");
    return keys;
}

int ColumnWidth(int column)
{
    static const int kWidths[colCount] = {40, 40, 40, 180, 60, 75, 70, 90, 80, 0,  45, 45, 45,
                                          45, 45, 60, 45,  45, 50, 60, 70, 70, 60, 60, 100, 60};
    return column >= 0 && column < colCount ? kWidths[column] : 0;
}

bool ColumnHidden(int column) { return column == colPolice || column == colModel; }

QColor CellColour(int column, const QString &text)
{
    if (!DM || text.isEmpty())
        return QColor();
    const QColor red(0xFF, 0x2D, 0x2D), orange(0xF3, 0xA2, 0x47);
    switch (column) {
    case colStatus:
        return text == DM->T_LC_STATUS_COMM_FAIL ? red : QColor();
    case colScu:
        return text == DM->T_COMM_FAIL_1 ? red : QColor();
    case colPower:
        return text == DM->T_POWER_FAIL_1 ? red : QColor();
    case colLightsOut:
        return text == DM->T_LIGHT_OUT_1 ? orange : QColor();
    case colFlash:
        return text == DM->T_FLASH_1 ? orange : QColor();
    case colManual:
        return text == DM->T_ON ? orange : QColor();
    case colConflict:
        return text == DM->T_CONFLICT_1 ? orange : QColor();
    case colDoor:
        return text == DM->T_DOOR_OPEN_1 ? orange : QColor();
    case colConflictEnable:
        return text == DM->T_DISABLE ? orange : QColor();
    default:
        return QColor();
    }
}

} // namespace StateList
