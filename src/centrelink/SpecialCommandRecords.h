#pragma once
// The special-command records of opcode 0x50 as they go on the wire, and the helpers
// that turn any packed record into its bytes: the link's threads send them (the VIP
// phase hold) and the control windows fill them (control/ControlRecordUnit.h).
//   SpecialCommand_2004 (22 bytes) for 2004 controllers,
//   SpecialCommand_2010 (35 bytes) for 2010 controllers; its vehicle or route number
//   (ppc_number_cd) is always little-endian.
// The byte-order switch of the centre-server link touches none of these bytes.
#include <QByteArray>
#include <QtEndian>

#include "foundation/RecordBytes.h"

#include <cstddef>
#include <cstring>

#pragma pack(push, 1)
// ===========================================================================
// Special commands
// ===========================================================================

struct SpecialCommand_2004
{
    quint8 shutdown;
    quint8 flash;
    quint8 frenzy_ctl;
    quint8 confl_dtr;
    quint8 manual;
    quint8 confl_reset;
    quint8 scu_reset;
    quint8 mcu_reset;
    quint8 reserved1[2];
    quint8 xcontrol;
    quint8 spillback;
    quint8 phase_omit;
    quint8 phase_hold;
    quint8 active_start;
    quint8 time_diff;
    quint8 run_type;
    quint8 holdomit_phase;
    quint8 reserved2;
    quint8 spillback_dir;
    quint8 spillback_phase1;
    quint8 spillback_phase2;
};

struct SpecialCommand_2010
{
    quint8 shutdown;
    quint8 flash;
    quint8 frenzy_ctl;
    quint8 confl_dtr;
    quint8 manual;
    quint8 confl_reset;
    quint8 scu_reset;
    quint8 mcu_reset;
    quint8 ppc_ctl;
    quint8 push_btn_enable;
    quint8 xcontrol;
    quint8 spillback;
    quint8 phase_omit;
    quint8 phase_hold;
    quint8 active_start;
    quint8 time_diff;
    quint8 run_type;
    quint8 holdomit_phase;
    quint8 plan_no;
    quint8 spillback_dir;
    quint8 spillback_phase1;
    quint8 spillback_phase2;
    quint8 reserved1;
    quint8 ppc_list;
    quint8 ppc_manager_add;
    quint8 ppc_manager_del;
    quint8 ppc_number_add;
    quint8 ppc_number_del;
    quint8 ppc_manager_type;
    quint8 reserved2;
    quint8 ppc_manager_cd;
    quint32_le ppc_number_cd; // least significant byte first, whatever the link's order
};
#pragma pack(pop)

static_assert(sizeof(SpecialCommand_2004) == 22, "SpecialCommand_2004 is 22 bytes");
static_assert(sizeof(SpecialCommand_2010) == 35, "SpecialCommand_2010 is 35 bytes");
static_assert(offsetof(SpecialCommand_2010, ppc_number_cd) == 31, "ppc_number_cd at 31");

