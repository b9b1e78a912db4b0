#include "control/ControlPacketUnit.h"

#include "centrelink/UpDnThread.h"

namespace {

QString line2(const QString &title, const QString &text)
{
    return FormatCText(QStringLiteral("%s : %s"), {title, text});
}

TControlExchangeFn &exchangeOverride()
{
    static TControlExchangeFn fn;
    return fn;
}

// Text of a communication failure, or an empty text when r is not one of them.
QString commFailure(int r, const TControlTextFn &t, const char *connectKey, const char *sendKey,
                    const char *receiveKey)
{
    switch (r) {
    case rcConnectFailed: return t(QString::fromLatin1(connectKey));
    case rcSendFailed: return t(QString::fromLatin1(sendKey));
    case rcReceiveFailed: return t(QString::fromLatin1(receiveKey));
    default: return QString();
    }
}

} // namespace

quint8 LcExpectedReplyOpcode(quint8 opcode)
{
    switch (opcode) {
    case opLcOprMode: return 0xE9;
    case opTodTrc: return 0xEB;
    case opCtrlMode: return 0x11;
    case opFwUpgrade: return 0x57;
    default: return 0;
    }
}

quint8 SaExpectedReplyOpcode(quint8 opcode)
{
    switch (opcode) {
    case opGroupOprMode: return 0xE7;
    case opTodTrc: return 0xEB;
    case opGroupManual: return 0xED;
    default: return 0;
    }
}

int SaExpectedReplySize(quint8 opcode) { return opcode == opGroupManual ? 3 : 1; }

void BuildLcPlainRequest(THostSimplePacket &req, THostSimplePacket &res, quint8 opcode, int lcNo,
                         const QByteArray &data)
{
    req.Reset();
    res.Reset();
    req.SetHead(opcode, ktIntersection, quint16(lcNo));
    req.AddData(data);
}

void BuildLcControllerRequest(THostSimplePacket &req, THostSimplePacket &res, quint8 opcode, int lcNo,
                              int lcType, const QByteArray &record)
{
    req.Reset();
    res.Reset();
    req.SetHead(opcode, ktIntersection, quint16(lcNo));
    req.AddDazavaHead(quint8(lcType), opcode);
    req.AddDazavaData(record);
}

void BuildSaRequest(THostSimplePacket &req, THostSimplePacket &res, quint8 opcode, int saNo,
                    const QByteArray &data)
{
    req.Reset();
    res.Reset();
    req.SetHead(opcode, ktGroup, quint16(saNo));
    req.AddData(data);
}

QByteArray SpecialCommandBytes(int lcType, const SpecialCommand_2004 &r2004,
                               const SpecialCommand_2010 &r2010)
{
    return IsLcType2004(lcType) ? RecordBytes(r2004) : RecordBytes(r2010);
}

TCommandOutcome LcCommandOutcome(quint8 opcode, int r, const THostSimplePacket &res,
                                 const QString &title, const TControlTextFn &t)
{
    TCommandOutcome o;
    const QString fail = commFailure(r, t, "IDS_30", "IDS_32", "IDS_34");
    if (!fail.isEmpty()) {
        o.text = line2(title, fail);
        return o;
    }
    const bool accepted = (r == 1 && opcode != opFwUpgrade)
        || (r == 3 && (opcode == opFwUpgrade || opcode == opCtrlMode));
    if (!accepted || r > res.DataSize) {
        o.text = line2(title, t(QStringLiteral("IDS_40")));
        return o;
    }
    const bool opcodeOk = res.Head.opcode == LcExpectedReplyOpcode(opcode);
    const quint8 v = res.Data[r - 1];
    const QString fmt = t(QStringLiteral("IDS_219"));
    switch (opcode) {
    case opLcOprMode:
        o.ok = opcodeOk;
        o.text = FormatCText(fmt, {title, v == 0x80 ? t(QStringLiteral("IDS_9")) : t(QStringLiteral("IDS_10"))});
        break;
    case opTodTrc:
        o.ok = opcodeOk;
        o.text = FormatCText(fmt, {title, v == 1 ? QStringLiteral("TRC") : QStringLiteral("TOD")});
        break;
    case opFwUpgrade:
        // The controller refused the upgrade unless it reports "No error".
        o.ok = opcodeOk && v == 0;
        o.text = FormatCText(fmt, {title, FirmwareResultText(v, t(QStringLiteral("IDS_228")))});
        break;
    case opCtrlMode:
        // "성공" only for a reply that carries the expected opcode.
        o.ok = opcodeOk && v == 1;
        o.text = line2(title, !opcodeOk ? t(QStringLiteral("IDS_36"))
                                        : (v == 1 ? t(QStringLiteral("IDS_11")) : t(QStringLiteral("IDS_40"))));
        break;
    default:
        o.text = line2(title, t(QStringLiteral("IDS_40")));
        break;
    }
    return o;
}

TCommandOutcome SpecialCommandOutcome(int r, const THostSimplePacket &res, const QString &title,
                                      const TControlTextFn &t)
{
    TCommandOutcome o;
    const QString fail = commFailure(r, t, "IDS_30", "IDS_32", "IDS_34");
    if (!fail.isEmpty()) {
        o.text = line2(title, fail);
        return o;
    }
    // A failed closing step after the reply keeps the reply that arrived; only the
    // bytes actually received are judged.
    const int n = (r == rcCloseFailed) ? int(res.DataSize) : qMin(r, int(res.DataSize));
    if (n < 2) {
        o.text = line2(title, t(QStringLiteral("IDS_40")));
        return o;
    }
    if (res.Data[1] != 0x51) {
        o.text = line2(title, t(QStringLiteral("IDS_36")));
    } else if (n >= 3 && res.Data[2] == 0) {
        // The controller's status byte 0: it refused the command.
        o.text = line2(title, t(QStringLiteral("IDS_Refused")));
    } else {
        o.ok = true;
        o.text = line2(title, t(QStringLiteral("IDS_11")));
    }
    return o;
}

TCommandOutcome PpcCommandOutcome(int r, const THostSimplePacket &res, const QString &title,
                                  const TControlTextFn &t, bool withNumber, quint32 number)
{
    TCommandOutcome o;
    QString outcome = commFailure(r, t, "IDS_30", "IDS_32", "IDS_34");
    if (outcome.isEmpty()) {
        if (r == 3 && res.DataSize >= 3) {
            if (res.Data[1] != 0x51) {
                outcome = t(QStringLiteral("IDS_36"));
            } else if (res.Data[2] == 0) {
                outcome = t(QStringLiteral("IDS_Refused"));
            } else {
                o.ok = true;
                outcome = t(QStringLiteral("IDS_11"));
            }
        } else {
            outcome = t(QStringLiteral("IDS_40"));
        }
    }
    o.text = withNumber ? FormatCText(QStringLiteral("%s : %s(%d)"), {title, outcome, qlonglong(number)})
                        : line2(title, outcome);
    return o;
}

TCommandOutcome SaCommandOutcome(quint8 opcode, int r, const THostSimplePacket &res,
                                 const QString &title, const TControlTextFn &t)
{
    TCommandOutcome o;
    const QString fail = commFailure(r, t, "IDS_18", "IDS_20", "IDS_22");
    if (!fail.isEmpty()) {
        o.text = line2(title, fail);
        return o;
    }
    const int expected = SaExpectedReplySize(opcode);
    if (r != expected || res.DataSize < expected) {
        o.text = line2(title, t(QStringLiteral("IDS_33")));
        return o;
    }
    o.ok = res.Head.opcode == SaExpectedReplyOpcode(opcode);
    const QString fmt = t(QStringLiteral("IDS_27"));
    switch (opcode) {
    case opGroupOprMode:
        o.text = FormatCText(fmt, {title, res.Data[0] == 0x80 ? t(QStringLiteral("IDS_28"))
                                                               : t(QStringLiteral("IDS_29"))});
        break;
    case opTodTrc:
        o.text = FormatCText(fmt, {title, res.Data[0] == 1 ? QStringLiteral("TRC") : QStringLiteral("TOD")});
        break;
    case opGroupManual:
        o.text = FormatCText(t(QStringLiteral("IDS_31")),
                             {title, int(res.Data[0]), int(res.Data[1]), int(res.Data[2])});
        break;
    default:
        o.ok = false;
        o.text = line2(title, t(QStringLiteral("IDS_33")));
        break;
    }
    return o;
}

int RunControlExchange(THostSimplePacket &req, THostSimplePacket &res)
{
    if (exchangeOverride())
        return exchangeOverride()(req, res);
    TUpDnThread th(&req, &res);
    th.Start();
    return th.WaitFor();
}

void SetControlExchange(TControlExchangeFn fn) { exchangeOverride() = std::move(fn); }
