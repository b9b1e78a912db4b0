#include "control/ControlRecordUnit.h"

#include <QRegularExpression>
#include <QVariant>

namespace {

quint8 b(bool v) { return v ? 1 : 0; }
quint8 clampByte(int v, int lo, int hi) { return quint8(qBound(lo, v, hi)); }

// The fields both records share, written through a generic record.
template <class R>
void fillCommon(R &r, const TSpecialCommandChoice &c)
{
    r.shutdown = b(c.Shutdown);
    r.flash = b(c.Flash);
    r.frenzy_ctl = b(c.FrenzyCtl);
    r.confl_dtr = b(c.ConflDtr);
    r.manual = b(c.Manual);
    r.confl_reset = b(c.ConflReset);
    r.scu_reset = b(c.ScuReset);
    r.mcu_reset = b(c.McuReset);
    r.active_start = b(c.ActiveStart);
    r.time_diff = b(c.TimeDiff);
    if (c.HoldOmit) {
        r.phase_hold = b(c.HoldOmitItem == 0);
        r.phase_omit = b(c.HoldOmitItem == 1);
        r.holdomit_phase = clampByte(c.HoldOmitPhase, 0, 255);
    }
    if (c.Spillback) {
        r.spillback = 1;
        r.spillback_dir = clampByte(c.SpillbackDirItem + 1, 0, 255);
        r.spillback_phase1 = clampByte(c.SpillbackPhase1, 0, 255);
        r.spillback_phase2 = clampByte(c.SpillbackPhase2, 0, 255);
    }
    r.run_type = b(c.RunTypeItem == 0);
}

template <class R>
QList<TSpecialEvent> commonEventsHead(const R &r)
{
    QList<TSpecialEvent> rows;
    if (r.mcu_reset) rows << TSpecialEvent{1, QStringLiteral("IDS_41"), {}};
    if (r.scu_reset) rows << TSpecialEvent{2, QStringLiteral("IDS_47"), {}};
    if (r.confl_reset) rows << TSpecialEvent{4, QStringLiteral("IDS_53"), {}};
    if (r.manual) rows << TSpecialEvent{8, QStringLiteral("IDS_59"), {}};
    if (r.confl_dtr) rows << TSpecialEvent{16, QStringLiteral("IDS_65"), {}};
    if (r.frenzy_ctl) rows << TSpecialEvent{32, QStringLiteral("IDS_71"), {}};
    if (r.flash) rows << TSpecialEvent{64, QStringLiteral("IDS_77"), {}};
    if (r.shutdown) rows << TSpecialEvent{128, QStringLiteral("IDS_83"), {}};
    // The EMAP item text carries the value of time_diff itself (1), not the plan.
    if (r.time_diff) rows << TSpecialEvent{161, QStringLiteral("IDS_89"), {int(r.time_diff)}};
    if (r.active_start) rows << TSpecialEvent{162, QStringLiteral("IDS_95"), {}};
    return rows;
}

template <class R>
void commonEventsTail(const R &r, QList<TSpecialEvent> &rows)
{
    if (r.phase_hold) rows << TSpecialEvent{163, QStringLiteral("IDS_101"), {int(r.holdomit_phase)}};
    if (r.phase_omit) rows << TSpecialEvent{164, QStringLiteral("IDS_107"), {int(r.holdomit_phase)}};
    if (r.spillback)
        rows << TSpecialEvent{167, QStringLiteral("IDS_113"),
                              {int(r.spillback_phase1), int(r.spillback_phase2)}};
}

} // namespace

bool TSpecialCommandChoice::AnyChosen() const
{
    return Shutdown || Flash || FrenzyCtl || ConflDtr || Manual || ConflReset || ScuReset
        || McuReset || ActiveStart || PedBtn || HoldOmit || Spillback || TimeDiff;
}

SpecialCommand_2004 BuildSpecialCommand2004(const TSpecialCommandChoice &c)
{
    auto r = ZeroRecord<SpecialCommand_2004>();
    fillCommon(r, c);
    return r;
}

SpecialCommand_2010 BuildSpecialCommand2010(const TSpecialCommandChoice &c)
{
    auto r = ZeroRecord<SpecialCommand_2010>();
    fillCommon(r, c);
    r.push_btn_enable = b(c.PedBtn);
    r.ppc_ctl = 0;
    if (c.TimeDiff)
        r.plan_no = clampByte(c.TimeDiffPlan, 0, 255);
    return r;
}

QList<TSpecialEvent> SpecialCommandEvents(const SpecialCommand_2004 &r)
{
    QList<TSpecialEvent> rows = commonEventsHead(r);
    commonEventsTail(r, rows);
    return rows;
}

QList<TSpecialEvent> SpecialCommandEvents(const SpecialCommand_2010 &r)
{
    QList<TSpecialEvent> rows = commonEventsHead(r);
    if (r.push_btn_enable) rows << TSpecialEvent{170, QStringLiteral("IDS_179"), {}};
    if (r.ppc_ctl) rows << TSpecialEvent{171, QStringLiteral("IDS_185"), {}};
    commonEventsTail(r, rows);
    return rows;
}

// ---------------------------------------------------------------------------

bool ParseFirmwareCrc32(const QString &text, quint32 *crc)
{
    if (crc)
        *crc = 0;
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('$')))
        t = t.mid(1);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        t = t.mid(2);
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    if (!hex.match(t).hasMatch())
        return false;
    bool ok = false;
    const quint32 v = t.toUInt(&ok, 16);
    if (!ok)
        return false;
    if (crc)
        *crc = v;
    return true;
}

TFWUpgrade BuildFWUpgrade(const TFirmwareRow &row, quint8 upgradeMode, quint8 rebootFlag)
{
    auto r = ZeroRecord<TFWUpgrade>();
    r.ModuleID = quint16(row.FW_ID);
    r.FileSize = quint32(row.FW_SIZE);
    r.VerMajor = quint8(row.FW_VER_MAJOR);
    r.VerMinor = quint8(row.FW_VER_MINOR);
    r.VerModule = quint8(row.FW_VER_MODULE);
    r.VerRev = quint16(row.FW_VER_REV);
    r.UpgradeMode = upgradeMode;
    r.RebootFlaag = rebootFlag;
    quint32 crc = 0;
    ParseFirmwareCrc32(row.FW_CRC32, &crc);
    r.Crc32 = crc;
    return r;
}

QString FirmwareResultText(quint8 v, const QString &manufacturerPrefix)
{
    switch (v) {
    case 0: return QStringLiteral("No error");
    case 1: return QStringLiteral("Lower version than current module");
    case 2: return QStringLiteral("Mismatched vender code");
    case 3: return QStringLiteral("CRC error");
    case 4: return QStringLiteral("Module size exceeds the initial size");
    default: return manufacturerPrefix + QString::number(v) + QLatin1Char(')');
    }
}

// ---------------------------------------------------------------------------

SpecialCommand_2010 PpcRegisterRecord(const TPpcEntry &entry)
{
    auto r = ZeroRecord<SpecialCommand_2010>();
    r.ppc_manager_add = 1;
    r.ppc_number_add = 1;
    r.ppc_manager_type = quint8(entry.PpcType);
    r.ppc_manager_cd = quint8(entry.PpcManager & 0xFF);
    r.ppc_number_cd = quint32(quint64(entry.PpcNumber) & 0xFFFFFFFFu);
    return r;
}

SpecialCommand_2010 PpcDeleteRecord(const TPpcEntry &entry)
{
    auto r = ZeroRecord<SpecialCommand_2010>();
    r.ppc_number_del = 1;
    r.ppc_number_cd = quint32(quint64(entry.PpcNumber) & 0xFFFFFFFFu);
    return r;
}

SpecialCommand_2010 PpcDeleteAllRecord()
{
    auto r = ZeroRecord<SpecialCommand_2010>();
    r.ppc_ctl = 1;
    r.run_type = 2;
    r.ppc_manager_del = 1;
    r.ppc_manager_cd = 255;
    return r;
}

SpecialCommand_2010 PpcGetListRecord(int ppcManager)
{
    auto r = ZeroRecord<SpecialCommand_2010>();
    r.ppc_ctl = 1;
    r.run_type = 2;
    r.ppc_list = 1;
    r.ppc_manager_cd = quint8(ppcManager & 0xFF);
    return r;
}

// ---------------------------------------------------------------------------

QString FormatCText(const QString &format, const QVariantList &args)
{
    QString out;
    out.reserve(format.size() + 16);
    int argIndex = 0;
    for (int i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (ch != QLatin1Char('%') || i + 1 >= format.size()) {
            out += ch;
            continue;
        }
        const QChar next = format.at(i + 1);
        if (next == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        int j = i + 1;
        int width = 0;
        if (format.at(j) == QLatin1Char('.')) {
            ++j;
            while (j < format.size() && format.at(j).isDigit())
                width = width * 10 + format.at(j++).digitValue();
        }
        if (j >= format.size()) {
            out += ch;
            continue;
        }
        const QChar conv = format.at(j);
        const QVariant arg = argIndex < args.size() ? args.at(argIndex) : QVariant();
        if (conv == QLatin1Char('s')) {
            out += arg.toString();
        } else if (conv == QLatin1Char('d')) {
            const qlonglong n = arg.toLongLong();
            QString digits = QString::number(qAbs(n));
            if (digits.size() < width)
                digits = QString(width - digits.size(), QLatin1Char('0')) + digits;
            out += (n < 0 ? QStringLiteral("-") : QString()) + digits;
        } else {
            out += ch;
            continue;
        }
        ++argIndex;
        i = j;
    }
    return out;
}
