#include "control/SaCommandUnit.h"

#include "core/LookupUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "centrelink/untTH_TCDV_C_Log.h"

QString TSaCommandRunner::Text(const QString &key) { return siText(LangTable(), key); }

bool TSaCommandRunner::SendSaCommand(int saNo, quint8 opcode, const QString &title)
{
    QByteArray data;
    switch (opcode) {
    case opGroupOprMode: data = QByteArray(1, char(Inputs.OprMode)); break;
    case opTodTrc: data = QByteArray(1, char(Inputs.TodTrcMode)); break;
    case opGroupManual: data = RecordBytes(Inputs.ManCtrl); break;
    default: return false;
    }
    const QString saName = GetSaName(saNo);
    if (frmTH_TCDV_C_Log)
        frmTH_TCDV_C_Log->DsplTitleSa(title, saNo, saName);
    BuildSaRequest(FReq, FRes, opcode, saNo, data);
    ++FExchangeCount;
    const int r = RunControlExchange(FReq, FRes);
    const TCommandOutcome o = SaCommandOutcome(opcode, r, FRes, title, [](const QString &k) { return Text(k); });
    if (frmTH_TCDV_C_Log)
        frmTH_TCDV_C_Log->DsplRslt(o.text);
    if (OnResultLine)
        OnResultLine(saName + QStringLiteral(" - ") + o.text);
    return o.ok;
}

void TSaCommandRunner::WriteSaCommandEvent(int saNo, quint8 opcode, const QString &title, bool ok)
{
    if (!DM)
        return;
    const QString result = ok ? Text(QStringLiteral("IDS_9")) : Text(QStringLiteral("IDS_10"));
    int code = 0;
    int value = 0;
    QString text;
    switch (opcode) {
    case opGroupOprMode:
        // Operator rows of code 64 carry 0 for a centre-mode command and 1 for a
        // local-mode one, as the stored rows of the operator log always have. The
        // centre server's own group events under the same code use the state image's
        // meaning (0 local, 1 centre), which is what the reference texts of code 64
        // describe; keep both as they are.
        code = 64;
        value = Inputs.OprMode == 0x80 ? 0 : 1;
        text = FormatCText(QStringLiteral("%s:%s"), {title, result});
        break;
    case opTodTrc:
        code = 68;
        value = Inputs.TodTrcMode == 1 ? 1 : 0;
        text = FormatCText(QStringLiteral("%s:%s"), {title, result});
        break;
    case opGroupManual:
        code = 67;
        value = 0;
        text = FormatCText(QStringLiteral("%s(C:%d, P:%d, O:%d):%s"),
                           {title, int(Inputs.ManCtrl.CycleNo), int(Inputs.ManCtrl.PhaseNo),
                            int(Inputs.ManCtrl.OffsetNo), result});
        break;
    default:
        return;
    }
    DM->WriteEventControl(DM->G_APP_USER.ID, code, value, 2, false, saNo, text);
}
