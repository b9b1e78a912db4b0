#include "transfer/TransferDispatch.h"

#include "transfer/UPDNUnit.h"

namespace {

constexpr int Accepted = 99996;

// Copies count bytes of data from `from` into target at `at`; false (nothing
// copied) when either range lies outside.
bool CopyInto(QByteArray &target, int at, const QByteArray &data, int from, int count)
{
    if (at < 0 || from < 0 || count < 0 || at + count > target.size() || from + count > data.size())
        return false;
    target.replace(at, count, data.constData() + from, count);
    return true;
}

// The whole record: the length must be exactly the target's size.
bool CopyExact(QByteArray &target, const QByteArray &data, int from, int length)
{
    if (length != target.size())
        return false;
    return CopyInto(target, 0, data, from, length);
}

quint8 At(const QByteArray &a, int i) { return i >= 0 && i < a.size() ? quint8(a.at(i)) : quint8(0); }

bool FileOptionBoard(TTransferBuffers &b, const TCtrlData &f, int length, int index)
{
    const QByteArray &d = f.FResData;
    if (d.size() < 5)
        return false;
    const quint8 kind = At(d, 3);
    const quint8 command = At(d, 4);
    switch (kind) {
    case 1:
        if (At(d, 5) == 1)
            return CopyExact(b.LSystemBank1, d, 6, length - 6);
        if (At(d, 5) == 2)
            return CopyExact(b.LSystemBank2, d, 6, length - 6);
        return false;
    case 2:
        if (command == 19)
            return index < 16 && length - 6 == int(sizeof(TVMSMsg))
                   && CopyInto(b.LVMSMsgs, index * int(sizeof(TVMSMsg)), d, 6, length - 6);
        if (command == 35)
            return CopyInto(b.LVMSSchds, index * int(sizeof(TVMSSchd)), d, 5, length - 5);
        return true;
    case 3:
        if (command == 19)
            return CopyExact(b.LCarTimer, d, 5, length - 5);
        if (command == 65)
            return CopyExact(b.LCarTimerStatus, d, 5, length - 5);
        return true;
    case 4:
        if (command == 17)
            return CopyExact(b.LDumpInfo, d, 5, length - 5);
        if (command == 19)
            return CopyInto(b.LDumpDatas, 0, d, 5, length - 5);
        return true;
    case 5:
        return CopyInto(b.LSpillBacks, index * int(sizeof(TSpillBack)), d, 5, length - 5);
    default:
        return true;
    }
}

} // namespace

void TTransferBuffers::Clear()
{
    const auto zero = [](QByteArray &a, int n) { a = QByteArray(n, 0); };
    zero(LClock, ClockSize);
    zero(LStartUpCode_2004, StartUpCode2004Size);
    zero(LStartUpCode_2010, StartUpCode2010Size);
    zero(LSignalMap_2004, SignalMap2004Size);
    zero(LSignalMap_2010, SignalMap2010Size);
    zero(LFlashMap_2004, FlashMap2004Size);
    zero(LFlashMap_2010, FlashMap2010Size);
    zero(LDetector, DetectorSize);
    zero(LDayPlan, DayPlanSize);
    zero(LWeekPlan, WeekPlanSize);
    zero(LHoliDayPlan, HoliDayPlanSize);
    zero(LFunctionTable, int(sizeof(FunctionTables)));
    zero(LInOutPed, int(sizeof(InOutPed)));
    zero(LConflictMap, ConflictMapSize);
    zero(LSpillBacks, int(sizeof(TSpillBacks)));
    zero(LNetwork, int(sizeof(TNetwork)));
    zero(LDevices, int(sizeof(TDevices)));
    zero(LVMSMsgs, int(sizeof(TVMSMsgs)));
    zero(LVMSSchds, int(sizeof(TVMSSchds)));
    zero(LCarTimer, int(sizeof(TCarTimer)));
    zero(LCarTimerStatus, int(sizeof(TCarTimerStatus)));
    zero(LSystemBank1, int(sizeof(TSystemBank1)));
    zero(LSystemBank2, int(sizeof(TSystemBank2)));
    zero(LDumpInfo, int(sizeof(TDumpInfo)));
    zero(LDumpDatas, int(sizeof(TDumpDatas)));
    zero(FExtCmd, int(sizeof(TExtendCommand)));
    zero(FActuateVar, int(sizeof(TActuateVar)));
    zero(FUPSStatus, int(sizeof(TUPSStatus)));
    zero(FUPSVendor, int(sizeof(TUPSVendor)));
    zero(FUPSControl, 1);
    FCommonCmd.clear();
}

QList<QPair<const char *, const QByteArray *>> TTransferBuffers::All() const
{
    return {{"LClock", &LClock}, {"LStartUpCode_2004", &LStartUpCode_2004},
            {"LStartUpCode_2010", &LStartUpCode_2010}, {"LSignalMap_2004", &LSignalMap_2004},
            {"LSignalMap_2010", &LSignalMap_2010}, {"LFlashMap_2004", &LFlashMap_2004},
            {"LFlashMap_2010", &LFlashMap_2010}, {"LDetector", &LDetector}, {"LDayPlan", &LDayPlan},
            {"LWeekPlan", &LWeekPlan}, {"LHoliDayPlan", &LHoliDayPlan}, {"LFunctionTable", &LFunctionTable},
            {"LInOutPed", &LInOutPed}, {"LConflictMap", &LConflictMap}, {"LSpillBacks", &LSpillBacks},
            {"LNetwork", &LNetwork}, {"LDevices", &LDevices}, {"LVMSMsgs", &LVMSMsgs},
            {"LVMSSchds", &LVMSSchds}, {"LCarTimer", &LCarTimer}, {"LCarTimerStatus", &LCarTimerStatus},
            {"LSystemBank1", &LSystemBank1}, {"LSystemBank2", &LSystemBank2}, {"LDumpInfo", &LDumpInfo},
            {"LDumpDatas", &LDumpDatas}, {"FExtCmd", &FExtCmd}, {"FActuateVar", &FActuateVar},
            {"FUPSStatus", &FUPSStatus}, {"FUPSVendor", &FUPSVendor}, {"FUPSControl", &FUPSControl},
            {"FCommonCmd", &FCommonCmd}};
}

bool FileTransferReply(TTransferBuffers &b, TLcTypeEx type, quint16 reqOpcode, const TCtrlData &f, int index)
{
    const QByteArray &d = f.FResData;
    const int length = f.FResDataSize - f.FResHeaderSize;
    switch (reqOpcode) {
    case 66: return CopyExact(b.LClock, d, 0, length);
    case 100: return CopyExact(b.FExtCmd, d, 0, length);
    case 162: return CopyExact(type == lct2004 ? b.LStartUpCode_2004 : b.LStartUpCode_2010, d, 0, length);
    case 166: return CopyExact(b.LHoliDayPlan, d, 0, length);
    case 170: return CopyExact(b.LWeekPlan, d, 0, length);
    case 178: {
        const quint8 req = At(f.FReqData, 0);
        const int plan = GetBitsByOneByte(req, 1028);
        const int half = GetBitsByOneByte(req, 4);
        if (f.FReqData.isEmpty() || plan >= DayPlanCount || half > 1 || length != DayPlanPartSize)
            return false;
        return CopyInto(b.LDayPlan, plan * DayPlanPlanSize + half * DayPlanPartSize, d, 0, length);
    }
    case 182: return CopyExact(b.LFunctionTable, d, 0, length);
    case 190: {
        // the echoed request byte, then the ring
        if (f.FReqData.isEmpty() || length != 1 + SignalRingSize)
            return false;
        const int at = SignalMapRingOffset(type, At(f.FReqData, 0));
        QByteArray &target = type == lct2004 ? b.LSignalMap_2004 : b.LSignalMap_2010;
        return at >= 0 && CopyInto(target, at, d, 1, SignalRingSize);
    }
    case 194: return CopyExact(type == lct2004 ? b.LFlashMap_2004 : b.LFlashMap_2010, d, 0, length);
    case 198: return length == 32 * DetectorEntrySize && CopyInto(b.LDetector, 0, d, 0, length);
    case 204: return length == 32 * DetectorEntrySize && CopyInto(b.LDetector, 224, d, 0, length);
    case 206: b.FCommonCmd = d; return true;
    case 210: return CopyExact(b.LInOutPed, d, 0, length);
    case 214: return CopyExact(b.LConflictMap, d, 0, length);
    case 216: return CopyExact(b.LDevices, d, 0, length);
    case 218:
        if (length == int(sizeof(TActuateVar)))
            return CopyExact(b.FActuateVar, d, 0, length);
        if (length <= 0)
            return true; // an acknowledgement without data
        return CopyExact(b.LNetwork, d, 0, length);
    case 220:
        switch (d.size()) {
        case 1: return CopyExact(b.FUPSControl, d, 0, 1);
        case 24: return CopyExact(b.FUPSStatus, d, 0, 24);
        case 60: return CopyExact(b.FUPSVendor, d, 0, 60);
        default: return true; // the acknowledgement of a download
        }
    case 84: return FileOptionBoard(b, f, length, index);
    default: return true;
    }
}

bool FileTransferReplies(TTransferBuffers &buffers, TLcTypeEx type, quint16 reqOpcode,
                         const TCtrlDataArray &frames, int threadResult)
{
    if (threadResult != Accepted)
        return false; // no connection or a failed close: nothing is filed
    bool all = !frames.isEmpty();
    for (int i = 0; i < frames.size(); ++i) {
        const TCtrlData &f = frames.at(i);
        if (f.FReturnVal != Accepted || !FileTransferReply(buffers, type, reqOpcode, f, i))
            all = false;
    }
    return all;
}
