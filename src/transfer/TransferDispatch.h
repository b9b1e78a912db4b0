#pragma once
// Filing of accepted replies into the controller-side buffers, chosen by the
// request opcode, and the outcome of a transfer run.
//
// A copy never leaves its buffer: a selector, index or length that would place
// bytes outside their target (an out-of-range day-plan index, signal-map slot,
// VMS or spillback entry, an over-long or short reply) files nothing and fails
// its frame. A run succeeds only when the exchange ended normally (99996) and
// every frame was accepted and filed; the accepted frames are filed all the same.

#include <QByteArray>

#include "foundation/TypeUnit.h"

// The controller-side buffers of the transfer window (byte images of the blocks).
struct TTransferBuffers
{
    QByteArray LClock, LStartUpCode_2004, LStartUpCode_2010, LSignalMap_2004, LSignalMap_2010;
    QByteArray LFlashMap_2004, LFlashMap_2010, LDetector, LDayPlan, LWeekPlan, LHoliDayPlan;
    QByteArray LFunctionTable, LInOutPed, LConflictMap, LSpillBacks, LNetwork, LDevices;
    QByteArray LVMSMsgs, LVMSSchds, LCarTimer, LCarTimerStatus, LSystemBank1, LSystemBank2;
    QByteArray LDumpInfo, LDumpDatas, FExtCmd, FActuateVar, FUPSStatus, FUPSVendor, FUPSControl;
    QByteArray FCommonCmd; // any length

    TTransferBuffers() { Clear(); }
    // Every buffer zeroed at its size, FCommonCmd empty.
    void Clear();
    // All buffers in a fixed order with their names (for tests and diagnostics).
    QList<QPair<const char *, const QByteArray *>> All() const;
};

// Files one accepted frame (FReturnVal 99996) of a run with request opcode
// reqOpcode; index is the frame's position in the run. False (nothing filed)
// when the reply does not fit its buffer.
bool FileTransferReply(TTransferBuffers &buffers, TLcTypeEx type, quint16 reqOpcode,
                       const TCtrlData &frame, int index);

// Files every accepted frame of a finished run whose exchange result is
// threadResult; true when the run succeeded (see above).
bool FileTransferReplies(TTransferBuffers &buffers, TLcTypeEx type, quint16 reqOpcode,
                         const TCtrlDataArray &frames, int threadResult);
