#include "control/TcdvCommandUnit.h"

#include "control/ControlDbUnit.h"
#include "centrelink/CtrlBitsUnit.h"
#include "core/LookupUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "centrelink/untTH_TCDV_C_Log.h"

namespace {

constexpr int EventCodeLcCommand = 41;
constexpr int EventKindLc = 1;

QString userId() { return DM ? DM->G_APP_USER.ID : QString(); }

void writeEvent(int value, int lcNo, const QString &text)
{
    if (DM)
        DM->WriteEventControl(userId(), EventCodeLcCommand, value, EventKindLc, false, lcNo, text);
}

} // namespace

QString TTcdvCommandRunner::Text(const QString &key) { return siText(LangTable(), key); }

QString PpcKindTitle(TPpcKind kind)
{
    switch (kind) {
    case pkRegister: return TTcdvCommandRunner::Text(QStringLiteral("IDS_312"));
    case pkDeleteSelected: return TTcdvCommandRunner::Text(QStringLiteral("IDS_313"));
    default: return TTcdvCommandRunner::Text(QStringLiteral("IDS_311"));
    }
}

int TTcdvCommandRunner::Exchange()
{
    ++FExchangeCount;
    const int r = RunControlExchange(FReq, FRes);
    return r;
}

void TTcdvCommandRunner::Title(const QString &title, int lcNo)
{
    if (frmTH_TCDV_C_Log)
        frmTH_TCDV_C_Log->DsplTitle(title, lcNo, GetLcName(lcNo));
}

void TTcdvCommandRunner::Result(int lcNo, const QString &text)
{
    if (frmTH_TCDV_C_Log)
        frmTH_TCDV_C_Log->DsplRslt(text);
    if (OnResultLine)
        OnResultLine(GetLcName(lcNo) + QStringLiteral(" - ") + text);
    if (OnExchanged)
        OnExchanged();
}

bool TTcdvCommandRunner::SendLcCommand(int lcNo, quint8 opcode, const QString &title)
{
    if (LcExpectedReplyOpcode(opcode) == 0)
        return false;
    Title(title, lcNo);
    auto t = [](const QString &key) { return Text(key); };

    switch (opcode) {
    case opLcOprMode:
        BuildLcPlainRequest(FReq, FRes, opcode, lcNo, QByteArray(1, char(Inputs.OprMode)));
        break;
    case opTodTrc:
        BuildLcPlainRequest(FReq, FRes, opcode, lcNo, QByteArray(1, char(Inputs.TodTrcMode)));
        break;
    case opCtrlMode: {
        // A control mode that was never chosen is not a mode: nothing is sent.
        if (Inputs.CtrlModeItem < 0 || Inputs.CtrlModeItem >= int(std::size(CtrlModeCodes))) {
            Result(lcNo, FormatCText(QStringLiteral("%s : %s"), {title, Text(QStringLiteral("IDS_NoCtrlMode"))}));
            return false;
        }
        // The dual-ring flag comes from the live record; without one nothing is sent.
        const PSTT_LC_INFO info = LcInfoSet ? LcInfoSet->GetLcInfo(lcNo) : PSTT_LC_INFO();
        if (!info) {
            Result(lcNo, FormatCText(QStringLiteral("%s : %s"), {title, Text(QStringLiteral("IDS_NoLiveRecord"))}));
            return false;
        }
        const int lcType = GetLcType(lcNo);
        const TCtrlModeData data = MakeCtrlModeData(info->dualRing != 0, CtrlModeCodeOfItem(Inputs.CtrlModeItem));
        BuildLcControllerRequest(FReq, FRes, opcode, lcNo, lcType, data.ToByteArray());
        break;
    }
    case opFwUpgrade: {
        // The record of another intersection is never sent: it is cleared first, and
        // an intersection without a usable firmware row gets no request.
        FFWUpgare = ZeroRecord<TFWUpgrade>();
        bool crcValid = false;
        if (!LoadFirmwareRecord(lcNo, &crcValid)) {
            Result(lcNo, FormatCText(QStringLiteral("%s : %s"), {title, Text(QStringLiteral("IDS_NoFirmware"))}));
            return false;
        }
        if (!crcValid) {
            FFWUpgare = ZeroRecord<TFWUpgrade>();
            Result(lcNo, FormatCText(QStringLiteral("%s : %s"), {title, Text(QStringLiteral("IDS_BadFirmwareCrc"))}));
            return false;
        }
        const int lcType = GetLcType(lcNo);
        BuildLcControllerRequest(FReq, FRes, opcode, lcNo, lcType, RecordBytes(FFWUpgare));
        break;
    }
    default:
        return false;
    }

    const int r = Exchange();
    const TCommandOutcome o = LcCommandOutcome(opcode, r, FRes, title, t);
    Result(lcNo, o.text);
    return o.ok;
}

void TTcdvCommandRunner::WriteLcCommandEvent(int lcNo, quint8 opcode, const QString &title, bool ok)
{
    const QString result = ok ? Text(QStringLiteral("IDS_11")) : Text(QStringLiteral("IDS_12"));
    switch (opcode) {
    case opLcOprMode: {
        const bool centre = Inputs.OprMode == 0x80;
        writeEvent(centre ? 166 : 165, lcNo,
                   FormatCText(QStringLiteral("%s(%s):%s"),
                               {title, centre ? Text(QStringLiteral("IDS_9")) : Text(QStringLiteral("IDS_10")), result}));
        break;
    }
    case opTodTrc: {
        const bool trc = Inputs.TodTrcMode == 1;
        writeEvent(trc ? 169 : 168, lcNo,
                   FormatCText(QStringLiteral("%s(%s):%s"),
                               {title, trc ? QStringLiteral("TRC") : QStringLiteral("TOD"), result}));
        break;
    }
    case opFwUpgrade:
        writeEvent(172, lcNo,
                   FormatCText(QStringLiteral("%s(%s, %s):%s"),
                               {title, Inputs.UpgradeModeText, Inputs.RebootText, result}));
        break;
    default:
        break; // control mode: no row
    }
}

void TTcdvCommandRunner::BuildSpecialCommand(int lcType)
{
    if (IsLcType2004(lcType))
        FSpCmd_2004 = BuildSpecialCommand2004(Inputs.Special);
    else
        FSpCmd_2010 = BuildSpecialCommand2010(Inputs.Special);
}

bool TTcdvCommandRunner::SendSpecialCommand(int lcNo, int lcType)
{
    const QString title = Text(QStringLiteral("IDS_28"));
    Title(title, lcNo);
    BuildSpecialCommand(lcType);
    BuildLcControllerRequest(FReq, FRes, opSpecial, lcNo, lcType,
                             SpecialCommandBytes(lcType, FSpCmd_2004, FSpCmd_2010));
    const int r = Exchange();
    const TCommandOutcome o = SpecialCommandOutcome(r, FRes, title, [](const QString &k) { return Text(k); });
    Result(lcNo, o.text);
    return o.ok;
}

void TTcdvCommandRunner::LogSpecialCommandEvents(int lcNo, int lcType, bool ok)
{
    const bool is2004 = IsLcType2004(lcType);
    const QList<TSpecialEvent> rows = is2004 ? SpecialCommandEvents(FSpCmd_2004) : SpecialCommandEvents(FSpCmd_2010);
    const int runType = is2004 ? FSpCmd_2004.run_type : FSpCmd_2010.run_type;
    const QString run = runType == 1 ? Text(QStringLiteral("IDS_43")) : Text(QStringLiteral("IDS_44"));
    const QString result = ok ? Text(QStringLiteral("IDS_11")) : Text(QStringLiteral("IDS_12"));
    for (const TSpecialEvent &e : rows) {
        QVariantList args;
        for (int a : e.Args)
            args << a;
        const QString item = FormatCText(Text(e.Key), args);
        writeEvent(e.Value, lcNo, FormatCText(QStringLiteral("%s(%s):%s"), {item, run, result}));
    }
}

bool TTcdvCommandRunner::LoadFirmwareRecord(int lcNo, bool *crcValid)
{
    if (crcValid)
        *crcValid = false;
    TFirmwareRow row;
    if (!LoadFirmwareRow(lcNo, Inputs.FwKind, &row, Owner))
        return false;
    FFWUpgare = BuildFWUpgrade(row, quint8(Inputs.UpgradeMode), quint8(Inputs.RebootFlag));
    if (crcValid)
        *crcValid = ParseFirmwareCrc32(row.FW_CRC32, nullptr);
    return true;
}

bool TTcdvCommandRunner::PpcExchange(int lcNo, int lcType, const QString &title, bool withNumber)
{
    BuildLcControllerRequest(FReq, FRes, opSpecial, lcNo, lcType, RecordBytes(FSpCmd_2010));
    const int r = Exchange();
    const TCommandOutcome o = PpcCommandOutcome(r, FRes, title, [](const QString &k) { return Text(k); },
                                                withNumber, quint32(FSpCmd_2010.ppc_number_cd));
    Result(lcNo, o.text);
    return o.ok;
}

bool TTcdvCommandRunner::SendPpcCommand(int lcNo, int lcType, TPpcKind kind)
{
    const QString title = PpcKindTitle(kind);
    Title(title, lcNo);
    FSpCmd_2010 = ZeroRecord<SpecialCommand_2010>();
    bool ok = false;
    switch (kind) {
    case pkRegister:
    case pkDeleteSelected:
        for (const TPpcEntry &e : Inputs.PpcRows) {
            if (!e.Sel || e.IntLcNo != lcNo)
                continue;
            FSpCmd_2010 = kind == pkRegister ? PpcRegisterRecord(e) : PpcDeleteRecord(e);
            ok = PpcExchange(lcNo, lcType, title, kind == pkDeleteSelected);
        }
        break;
    case pkDeleteAll:
        FSpCmd_2010 = PpcDeleteAllRecord();
        ok = PpcExchange(lcNo, lcType, title, false);
        break;
    }
    return ok;
}

bool TTcdvCommandRunner::SendPpcGetList(int lcNo, int lcType)
{
    const QString title = Text(QStringLiteral("IDS_353"));
    Title(title, lcNo);
    FSpCmd_2010 = PpcGetListRecord(Inputs.PpcManager);
    return PpcExchange(lcNo, lcType, title, false);
}
