#pragma once
// Controller status codes and flags as display words. Most words are the data
// module's translated texts (DM->T_...), read at the moment of the call, so they
// follow the active language; a few are fixed abbreviations. Plain functions without
// state; user-interface thread. "Flag" routines test for non-zero; "code" routines
// map exact values and give an empty text for any other value.
#include <QString>
#include <QtGlobal>

// Flag routines: non-zero -> first text, zero -> second text.
QString GetOversatText(int Value);
QString GetPowerFailText(int Value);
QString GetCommFailText(int Value);
QString GetDualRingText(int Value);
QString GetPoliceIngText(int Value);
QString GetPoliceManText(int Value);
QString GetPoliceFlashText(int Value);
QString GetPoliceOffText(int Value);
QString GetConflictText(int Value);
QString GetLightOutText(int Value);
QString GetFlashText(int Value);
QString GetDbErrorText(int Value);
QString GetApplyStatusText(int Value);
QString GetLockStatus1Text(int Value);
QString GetLockStatus2Text(int Value);
QString GetDbReadOnlyText(int Value);
QString GetTurnLeftText(int Value);
QString GetManEnableText(int Value);
QString GetConflictEnableText(int Value);
QString GetDoorOpenText(int Value);
QString GetSpillbackPermText(int Value);
QString GetSpillbackCtrlModeText(int Value);
QString GetSpillbackMainPhaseEndText(int Value);
QString GetSpillbackSubPhaseEndText(int Value);

// Code routines.
QString GetDefinedText(int Value);          // 0 operated, 1 not operated
QString GetTrcControlText(int Value);
QString GetLcStatusText(int Value);         // operation state 0..12
QString GetOprModeText(int Value);          // 0..6
QString GetOprModeLongText(int Value);      // 0..6
QString GetFlashCauseText(int Value);       // 1..6
QString GetPlanClassText(int Value);        // 0..6
QString GetLampTypeText(int Value);         // 0, 1
QString GetSaCtrlModeText(int Value);       // TOD / TRC / MAN
QString GetCtrlModeText(quint8 Value);      // TOD / TRC / MAN
QString GetConflictCircuitText(int Value);
QString GetConflictCircuit3LText(int Value);
QString GetImporFlagText(int Value);        // MI / CI / SCI / RAMP
QString GetLcTypeText(int Value);           // 2004 / 2010
QString GetLampTypeShortText(int Value);    // 3색 / 4색

// A 16-bit word as it lies in a packet (most significant byte first): `Value` holds the
// two bytes in memory order, e.g. read with memcpy from the packet.
QString GetNetWordText(quint16 Value);      // host-order value in decimal; 0 -> empty
int NetWordToInt(quint16 Value);            // host-order value
// The same from the two bytes themselves.
int NetWordToInt(const uchar *bytes);
QString GetNetWordText(const uchar *bytes);
