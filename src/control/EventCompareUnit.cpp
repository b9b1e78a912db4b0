#include "control/EventCompareUnit.h"

#include <cstring>

#include "core/siLang.h"
#include "core/untCodeToText.h"
#include "foundation/IniFile.h"

namespace CurrentEvents {

QString Tx(const QString &key) { return siText(QStringLiteral("TfrmCURR_EV"), key); }

namespace {

const QString kSection = QStringLiteral("EVENT");

QString ids(int n) { return Tx(QStringLiteral("IDS_%1").arg(n)); }

// Byte 0 of a group record tells whether the group is defined (non-zero); the
// defined texts read 0 as "in operation".
QString definedText(int byte0) { return GetDefinedText(byte0 != 0 ? 0 : 1); }

// Byte 1: the group's control state, local (0) or centre (1).
QString groupStateText(int byte1)
{
    if (byte1 == 0)
        return siText(QStringLiteral("TfrmSA_M"), QStringLiteral("IDS_10"));
    if (byte1 == 1)
        return siText(QStringLiteral("TfrmSA_M"), QStringLiteral("IDS_11"));
    return QString();
}

QString conflictValue(const TLcStatus &st)
{
    const QString t = GetConflictText(st.conflict);
    if (st.conflict != 1)
        return t;
    QString f = ids(78);
    f.replace(QStringLiteral("%s"), QStringLiteral("\x01"));
    // "%s 회로:%s, LSU:%d": text, circuit, LSU number as stored.
    QString out;
    int arg = 0;
    for (QChar ch : f) {
        if (ch == QChar(1))
            out += arg++ == 0 ? t : GetConflictCircuitText(st.conflictCircuit);
        else
            out += ch;
    }
    return out.replace(QStringLiteral("%d"), QString::number(st.conflictLsuNo));
}

QString flashValue(const TLcStatus &st)
{
    const QString t = GetFlashText(st.flash);
    if (st.flash != 1 || st.flashCause == 0)
        return t;
    return QStringLiteral("%1 : %2").arg(t, GetFlashCauseText(st.flashCause));
}

} // namespace

void TEventSettings::Read(const TIniFile &ini)
{
    PowerFail = ini.ReadBool(kSection, QStringLiteral("POWER_FAIL"), false);
    ConnectionFail = ini.ReadBool(kSection, QStringLiteral("CONNECTION_FAIL"), false);
    Conflict = ini.ReadBool(kSection, QStringLiteral("CONFLICT"), false);
    DbError = ini.ReadBool(kSection, QStringLiteral("DB_ERROR"), false);
    PopupOption = ini.ReadInteger(kSection, QStringLiteral("POPUP_OPTION"), 2);
    SoundOption = ini.ReadInteger(kSection, QStringLiteral("SOUND_OPTION"), 2);
    if (PopupOption < 0 || PopupOption > 2)
        PopupOption = 2;
    if (SoundOption < 0 || SoundOption > 2)
        SoundOption = 2;
    SaPopupWin = ini.ReadBool(kSection, QStringLiteral("POPUP_WIN"), false);
    SaPlaySound = ini.ReadBool(kSection, QStringLiteral("PLAY_SOUNG"), false);
    LastEventView = ini.ReadBool(kSection, QStringLiteral("LAST_EVENT_VIEW"), false);
}

void TEventSettings::Write(TIniFile &ini) const
{
    ini.WriteBool(kSection, QStringLiteral("POWER_FAIL"), PowerFail);
    ini.WriteBool(kSection, QStringLiteral("CONNECTION_FAIL"), ConnectionFail);
    ini.WriteBool(kSection, QStringLiteral("CONFLICT"), Conflict);
    ini.WriteBool(kSection, QStringLiteral("DB_ERROR"), DbError);
    ini.WriteInteger(kSection, QStringLiteral("POPUP_OPTION"), PopupOption);
    ini.WriteInteger(kSection, QStringLiteral("SOUND_OPTION"), SoundOption);
    ini.WriteBool(kSection, QStringLiteral("POPUP_WIN"), SaPopupWin);
    ini.WriteBool(kSection, QStringLiteral("PLAY_SOUNG"), SaPlaySound);
    ini.WriteBool(kSection, QStringLiteral("LAST_EVENT_VIEW"), LastEventView);
}

QList<TEventRow> CompareSaStates(const TST_VESK_STATE &nw, const TST_VESK_STATE &old, const TCompareContext &c)
{
    QList<TEventRow> rows;
    for (int g : c.SaOutlined) {
        if (g < 1 || g > RC_GROUP_COUNT)
            continue;
        const quint8 *n = nw.grp_state[g - 1];
        const quint8 *o = old.grp_state[g - 1];
        auto add = [&](int id, const QString &cur, const QString &prev) {
            TEventRow r;
            r.Page = pgSA;
            r.Time = c.Time;
            r.Number = g;
            r.Name = c.SaNames ? c.SaNames->value(g) : QString();
            r.Event = ids(id);
            r.Current = cur;
            r.Previous = prev;
            rows.append(r);
        };
        if (n[0] != o[0])
            add(40, definedText(n[0]), definedText(o[0]));
        if (n[0] == 0)
            continue;
        if (n[1] != o[1])
            add(41, groupStateText(n[1]), groupStateText(o[1]));
        if (n[2] != o[2])
            add(42, GetSaCtrlModeText(n[2]), GetSaCtrlModeText(o[2]));
    }
    return rows;
}

QList<TEventRow> CompareLcStates(const TST_VESK_STATE &nw, const TST_VESK_STATE &old, const TCompareContext &c,
                                 const TEventSettings &s)
{
    QList<TEventRow> rows;
    if (!c.Set)
        return rows;
    for (int lc : c.LcList) {
        if (lc < 1 || lc > RC_LC_COUNT)
            continue;
        const TST_ITST_STATE &n = nw.lc_state[lc - 1];
        const TST_ITST_STATE &o = old.lc_state[lc - 1];
        if (n.defined == 0)
            continue;
        // An event of an intersection without a live record is not added.
        const PSTT_LC_INFO info = c.Set->GetLcInfo(lc);
        if (!info)
            continue;
        auto add = [&](int id, const QString &cur, const QString &prev, bool selected) {
            TEventRow r;
            r.Page = pgTCDV;
            r.Time = c.Time;
            r.Number = lc;
            r.Name = info->ints_name.str();
            r.Event = ids(id);
            r.Current = cur;
            r.Previous = prev;
            r.Selected = selected;
            rows.append(r);
        };
        if (n.status != o.status)
            add(57, GetLcStatusText(n.status), GetLcStatusText(o.status),
                s.ConnectionFail && (n.status == 0 || o.status == 0));
        if (n.GetIntGroup() != o.GetIntGroup())
            add(58, QString::number(n.GetIntGroup()), QString::number(o.GetIntGroup()), false);
        if (n.trcControl != o.trcControl)
            add(59, GetTrcControlText(n.trcControl), GetTrcControlText(o.trcControl), false);
        if (n.overSat != o.overSat)
            add(60, GetOversatText(n.overSat), GetOversatText(o.overSat), false);

        if (info->lc_type != 1 && info->lc_type != 2)
            continue;
        TLcStatus a, b; // new, old
        DecodeLcStatus(n, info->lc_type, a);
        DecodeLcStatus(o, info->lc_type, b);
        auto flagField = [&](int id, int TLcStatus::*f, QString (*text)(int), bool selected = false) {
            if (a.*f != b.*f)
                add(id, text(a.*f), text(b.*f), selected);
        };
        flagField(66, &TLcStatus::powerFail, GetPowerFailText, s.PowerFail && a.powerFail == 1);
        flagField(67, &TLcStatus::commFail, GetCommFailText);
        flagField(68, &TLcStatus::dualRing, GetDualRingText);
        flagField(69, &TLcStatus::oprMode, GetOprModeText);
        flagField(74, &TLcStatus::policeIng, GetPoliceIngText);
        flagField(75, &TLcStatus::policeMan, GetPoliceManText);
        flagField(76, &TLcStatus::policeFlash, GetPoliceFlashText);
        flagField(77, &TLcStatus::policeOff, GetPoliceOffText);
        if (a.conflict != b.conflict)
            add(80, conflictValue(a), conflictValue(b), false);
        flagField(81, &TLcStatus::lightsOut, GetLightOutText);
        if (a.flash != b.flash)
            add(84, flashValue(a), flashValue(b),
                (s.Conflict && a.flashCause == 4) || (s.DbError && a.flashCause == 5));
        flagField(85, &TLcStatus::dbError, GetDbErrorText);
        flagField(86, &TLcStatus::turnLeft, GetTurnLeftText);
        flagField(87, &TLcStatus::manEnable, GetManEnableText);
        flagField(88, &TLcStatus::conflictEnable, GetConflictEnableText);
        flagField(89, &TLcStatus::doorOpen, GetDoorOpenText);
        if (a.phaseHold != b.phaseHold)
            add(92, QString::number(a.phaseHold), QString::number(b.phaseHold), false);
        if (a.phaseOmit != b.phaseOmit)
            add(93, QString::number(a.phaseOmit), QString::number(b.phaseOmit), false);
        flagField(94, &TLcStatus::spillback_perm, GetSpillbackPermText);
        flagField(95, &TLcStatus::spillback_ctrmode, GetSpillbackCtrlModeText);
        flagField(96, &TLcStatus::spillback_mainpahse_end, GetSpillbackMainPhaseEndText);
        flagField(97, &TLcStatus::spillback_subpahse_end, GetSpillbackSubPhaseEndText);
    }
    return rows;
}

QColor RowColour(const TEventRow &row)
{
    if (row.Current == ids(0))
        return QColor(0xFF, 0x2D, 0x2D);
    const QString flash = GetFlashText(1);
    if ((!flash.isEmpty() && row.Current.contains(flash)) || row.Event == ids(84))
        return QColor(0xFF, 0xF2, 0x00);
    if (row.Event == ids(66))
        return QColor(0xFF, 0x7F, 0x27);
    return QColor();
}

void TEventList::Insert(const TEventRow &row)
{
    if (FRows.size() > kLimit)
        FRows.removeAt(kLimit);
    FRows.prepend(row);
}

TEventEffect LcEventEffect(const TEventSettings &s, bool selected, bool hidden)
{
    TEventEffect e;
    bool visible = !hidden;
    if (s.PopupOption == 0) {
        e.Show = hidden;
        visible = true;
    } else if (s.PopupOption == 1 && selected && hidden) {
        e.Show = true;
        e.Page = pgSelected;
        visible = true;
    }
    e.Sound = s.SoundOption == 0 || (s.SoundOption == 1 && selected);
    if (visible && s.LastEventView)
        e.Page = pgTCDV;
    return e;
}

TEventEffect SaEventEffect(const TEventSettings &s, bool hidden)
{
    TEventEffect e;
    if (s.SaPopupWin) {
        e.Show = hidden;
        if (s.LastEventView)
            e.Page = pgSA;
    }
    e.Sound = s.SaPlaySound;
    return e;
}

TEventTracker::TEventTracker() : FNew(std::make_unique<TST_VESK_STATE>()), FPrev(std::make_unique<TST_VESK_STATE>())
{
    std::memset(FNew.get(), 0, sizeof(TST_VESK_STATE));
    std::memset(FPrev.get(), 0, sizeof(TST_VESK_STATE));
}

QList<TEventRow> TEventTracker::Update(const TST_VESK_STATE &image, const TCompareContext &c, const TEventSettings &s)
{
    std::memcpy(FPrev.get(), FNew.get(), sizeof(TST_VESK_STATE));
    std::memcpy(FNew.get(), &image, sizeof(TST_VESK_STATE));
    ++FCount;
    if (FCount < 2)
        return {};
    QList<TEventRow> rows = CompareSaStates(*FNew, *FPrev, c);
    rows += CompareLcStates(*FNew, *FPrev, c, s);
    return rows;
}

} // namespace CurrentEvents
