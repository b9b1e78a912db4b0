#pragma once
// Bit-field writers of the controller records and the 4-byte control-mode data of
// opcode 0x10, shared by the intersection control window and the VIP thread.
//
// Index = start bit * 256 + width (bit 0 the least significant), as the utility
// library's SetBitsToOneByte takes it:
//   1793 bit 7, width 1   the dual-ring flag (first byte)
//   7    bits 0..6        the control-mode code (first byte)
//   4    bits 0..3        ring A phase (second byte)
//   1028 bits 4..7        ring B phase (second byte)
// Header only, so that every library that links the centre-server link has them.

#include <QByteArray>
#include <QtGlobal>

#include "core/Quorval.h"

constexpr int CtrlModeDualRingIndex = 1793;
constexpr int CtrlModeCodeIndex = 7;
constexpr int CtrlPhaseRingAIndex = 4;
constexpr int CtrlPhaseRingBIndex = 1028;

// Writes value into a bit field of the FIRST byte of the record.
inline void SetCtrlModeBits(quint8 *record, int index, quint8 value)
{
    if (record)
        record[0] = SetBitsToOneByte(record[0], index, value);
}

// Writes value into a bit field of the SECOND byte of the record.
inline void SetCtrlPhaseBits(quint8 *record, int index, quint8 value)
{
    if (record)
        record[1] = SetBitsToOneByte(record[1], index, value);
}

// The 4 data bytes of a control-mode request (after the controller head).
struct TCtrlModeData
{
    quint8 Bytes[4] = {0, 0, 0, 0};

    static constexpr int Size = 4;
    QByteArray ToByteArray() const { return QByteArray(reinterpret_cast<const char *>(Bytes), Size); }
};

// Control-mode codes of the control window's choice list (item index 0..4).
constexpr quint8 CtrlModeCodes[5] = {0x00, 0x10, 0x12, 0x14, 0x16};

// Code of an item index; 0 for no item (-1) or an index outside the list.
inline quint8 CtrlModeCodeOfItem(int itemIndex)
{
    return (itemIndex >= 0 && itemIndex < 5) ? CtrlModeCodes[itemIndex] : quint8(0);
}

// Byte 0: bit 7 the dual-ring flag, bits 0..6 the control-mode code; bytes 1..3 zero.
inline TCtrlModeData MakeCtrlModeData(bool dualRing, quint8 modeCode)
{
    TCtrlModeData d;
    SetCtrlModeBits(d.Bytes, CtrlModeDualRingIndex, dualRing ? 1 : 0);
    SetCtrlModeBits(d.Bytes, CtrlModeCodeIndex, modeCode);
    return d;
}
