#include "core/untCodeToText.h"

#include <QtEndian>

#include "core/untDM.h"

namespace {

QString flag(int v, const QString TDM::*on, const QString TDM::*off)
{
    if (!DM)
        return QString();
    return v != 0 ? DM->*on : DM->*off;
}

QString pick(int v, std::initializer_list<const QString TDM::*> texts, int first = 0)
{
    if (!DM)
        return QString();
    const int i = v - first;
    if (i < 0 || i >= int(texts.size()))
        return QString();
    return DM->*(*(texts.begin() + i));
}

QString fixed(int v, std::initializer_list<const char *> texts, int first = 0)
{
    const int i = v - first;
    if (i < 0 || i >= int(texts.size()))
        return QString();
    return QString::fromUtf8(*(texts.begin() + i));
}

} // namespace

QString GetOversatText(int v) { return flag(v, &TDM::T_OVERSAT_1, &TDM::T_OVERSAT_0); }
QString GetPowerFailText(int v) { return flag(v, &TDM::T_POWER_FAIL_1, &TDM::T_POWER_FAIL_0); }
QString GetCommFailText(int v) { return flag(v, &TDM::T_COMM_FAIL_1, &TDM::T_COMM_FAIL_0); }
QString GetDualRingText(int v) { return flag(v, &TDM::T_DUAL, &TDM::T_SINGLE); }
QString GetPoliceIngText(int v) { return flag(v, &TDM::T_ON, &TDM::T_OFF); }
QString GetPoliceManText(int v) { return flag(v, &TDM::T_ON, &TDM::T_OFF); }
QString GetPoliceFlashText(int v) { return flag(v, &TDM::T_ON, &TDM::T_OFF); }
QString GetPoliceOffText(int v) { return flag(v, &TDM::T_ON, &TDM::T_OFF); }
QString GetConflictText(int v) { return flag(v, &TDM::T_CONFLICT_1, &TDM::T_CONFLICT_0); }
QString GetLightOutText(int v) { return flag(v, &TDM::T_LIGHT_OUT_1, &TDM::T_LIGHT_OUT_0); }
QString GetFlashText(int v) { return flag(v, &TDM::T_FLASH_1, &TDM::T_FLASH_0); }
QString GetDbErrorText(int v) { return flag(v, &TDM::T_ERROR, &TDM::T_NORMAL); }
QString GetApplyStatusText(int v) { return flag(v, &TDM::T_APPLY_STATUS_1, &TDM::T_APPLY_STATUS_0); }
QString GetLockStatus1Text(int v) { return flag(v, &TDM::T_LOCK_STATUS1_1, &TDM::T_LOCK_STATUS1_0); }
QString GetLockStatus2Text(int v) { return flag(v, &TDM::T_LOCK_STATUS2_1, &TDM::T_LOCK_STATUS2_0); }
QString GetDbReadOnlyText(int v) { return flag(v, &TDM::T_DB_READONLY_1, &TDM::T_DB_READONLY_0); }
QString GetTurnLeftText(int v) { return flag(v, &TDM::T_TURN_LEFT_1, &TDM::T_TURN_LEFT_0); }
QString GetManEnableText(int v) { return flag(v, &TDM::T_ENABLE, &TDM::T_DISABLE); }
QString GetConflictEnableText(int v) { return flag(v, &TDM::T_ENABLE, &TDM::T_DISABLE); }
QString GetDoorOpenText(int v) { return flag(v, &TDM::T_DOOR_OPEN_1, &TDM::T_DOOR_OPEN_0); }
QString GetSpillbackPermText(int v) { return flag(v, &TDM::T_SPILLBACK_PERM_1, &TDM::T_SPILLBACK_PERM_0); }
QString GetSpillbackCtrlModeText(int v) { return flag(v, &TDM::T_SPILLBACK_CTRL_MODE_1, &TDM::T_SPILLBACK_CTRL_MODE_0); }
QString GetSpillbackMainPhaseEndText(int v) { return flag(v, &TDM::T_SPILLBACK_PHASE_END_1, &TDM::T_SPILLBACK_PHASE_END_0); }
QString GetSpillbackSubPhaseEndText(int v) { return flag(v, &TDM::T_SPILLBACK_PHASE_END_1, &TDM::T_SPILLBACK_PHASE_END_0); }

QString GetDefinedText(int v) { return pick(v, {&TDM::T_DEFINED_0, &TDM::T_DEFINED_1}); }
QString GetTrcControlText(int v) { return pick(v, {&TDM::T_TRC_CONTROL_0, &TDM::T_TRC_CONTROL_1}); }

QString GetLcStatusText(int v)
{
    return pick(v, {&TDM::T_LC_STATUS_COMM_FAIL, &TDM::T_LC_STATUS_CENTER_MODE,
                    &TDM::T_LC_STATUS_LOCAL_MODE, &TDM::T_LC_STATUS_FAIL, &TDM::T_LC_STATUS_TRANSE,
                    &TDM::T_LC_STATUS_FLASH, &TDM::T_LC_STATUS_LIGHT_OFF, &TDM::T_LC_STATUS_MAN_OPR,
                    &TDM::T_LC_STATUS_MAN_FLASH, &TDM::T_LC_STATUS_MAN_LIGHT_OFF,
                    &TDM::T_LC_STATUS_PAHSE_HOLD, &TDM::T_LC_STATUS_SCU_MODE,
                    &TDM::T_LC_STATUS_PPC_MODE});
}

QString GetOprModeText(int v)
{
    return pick(v, {&TDM::T_LC_OPRMODE_SCU_FIXCYCLE, &TDM::T_LC_OPRMODE_NOACT_OFFLINE,
                    &TDM::T_LC_OPRMODE_ACT_OFFLINE, &TDM::T_LC_OPRMODE_HALF_ACT,
                    &TDM::T_LC_OPRMODE_ACT_ONLINE, &TDM::T_LC_OPRMODE_NOACT_ONLINE,
                    &TDM::T_LC_STATUS_COMM_FAIL});
}

QString GetOprModeLongText(int v)
{
    return pick(v, {&TDM::T_LC_OPRMODE_SCU_FIXCYCLE_2, &TDM::T_LC_OPRMODE_NOACT_OFFLINE_2,
                    &TDM::T_LC_OPRMODE_ACT_OFFLINE_2, &TDM::T_LC_OPRMODE_HALF_ACT_2,
                    &TDM::T_LC_OPRMODE_ACT_ONLINE_2, &TDM::T_LC_OPRMODE_NOACT_ONLINE_2,
                    &TDM::T_LC_STATUS_COMM_FAIL});
}

QString GetFlashCauseText(int v)
{
    return pick(v, {&TDM::T_LC_FLASH_CAUSE_POWERON, &TDM::T_LC_FLASH_CAUSE_NORMAL,
                    &TDM::T_LC_FLASH_CAUSE_PPSW, &TDM::T_LC_FLASH_CAUSE_CONFLICT,
                    &TDM::T_LC_FLASH_CAUSE_DBERR, &TDM::T_LC_FLASH_CAUSE_LIGHTOFF}, 1);
}

QString GetPlanClassText(int v)
{
    return pick(v, {&TDM::T_GENERAL, &TDM::T_SPECIAL1, &TDM::T_SPECIAL2, &TDM::T_SPECIAL3,
                    &TDM::T_SPECIAL4, &TDM::T_SPECIAL5, &TDM::T_PED});
}

QString GetLampTypeText(int v) { return pick(v, {&TDM::T_3COLOR, &TDM::T_4COLOR}); }
QString GetSaCtrlModeText(int v) { return fixed(v, {"TOD", "TRC", "MAN"}); }
QString GetCtrlModeText(quint8 v) { return fixed(v, {"TOD", "TRC", "MAN"}); }
QString GetConflictCircuitText(int v) { return fixed(v, {"PR", "PG", "R", "Y", "A", "G"}); }
QString GetConflictCircuit3LText(int v)
{
    return fixed(v, {"R1", "Y1", "G1", "R2", "Y2", "G2", "BUS ERROR"});
}
QString GetImporFlagText(int v) { return fixed(v, {"MI", "CI", "SCI", "RAMP"}); }
QString GetLcTypeText(int v) { return fixed(v, {"2004", "2010"}, 1); }
QString GetLampTypeShortText(int v) { return fixed(v, {"3색", "4색"}); }

int NetWordToInt(const uchar *bytes)
{
    return qFromBigEndian<quint16>(bytes);
}

QString GetNetWordText(const uchar *bytes)
{
    const int v = NetWordToInt(bytes);
    return v == 0 ? QString() : QString::number(v);
}

int NetWordToInt(quint16 Value)
{
    return NetWordToInt(reinterpret_cast<const uchar *>(&Value));
}

QString GetNetWordText(quint16 Value)
{
    return GetNetWordText(reinterpret_cast<const uchar *>(&Value));
}
