#include "intersection/StartupVariables.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/GridHelpers.h"
#include "core/siLang.h"

namespace Startup {

namespace {

const QList<TRow> &Rows2010()
{
    static const QList<TRow> rows{
        {"INT_FULLACT", "OPR", "allow"},
        {"INT_DUALTIME", "OPR", "number"},
        {"INT_SPILLPROC", "OPR", "spilltype"},
        {"INT_SPILLCONT", "OPR", "spillcont"},
        {"INT_RING", "OPR", "ring"},
        {"INT_ACTYN", "OPR", "actuation"},
        {"INT_GAPTIME", "ACT", "number"},
        {"INT_LMTLOS", "ACT", "number"},
        {"INT_GENMAIN", "GMAP", "phase"},
        {"INT_GENDUAL", "GMAPDUAL", "phaseset"},
        {"INT_MANUALOPT", "SPC", "manual"},
        {"INT_NORMALPUSH", "SPC", "normalpush"},
        {"INT_FLASHPUSH", "SPC", "flashpush"},
        {"INT_FLASHPUSHOP", "SPC", "flashmap"},
        {"INT_PUSHCYCLE", "SPC", "pushcycle"},
        {"INT_SIGMAPMTD", "SPC", "smap"},
        {"INT_ACTPHASE1", "SPC", "facycle"},
        {"INT_ACTPHASE2", "SPC", "famethod"},
        {"INT_SPCMAIN", "EMAP", "phase"},
        {"INT_SPCDUAL", "EMAPDUAL", "phaseset"},
        {"INT_SPC1DUAL", "EMAP1", "phaseset"},
        {"INT_SPC2DUAL", "EMAP2", "phaseset"},
        {"INT_SPC3DUAL", "EMAP3", "phaseset"},
        {"INT_SPC4DUAL", "EMAP4", "phaseset"},
        {"INT_SPC5DUAL", "EMAP5", "phaseset"},
        {"INT_PREBUS", "PPC", "allow"},
        {"INT_JUMPPHASE", "PPC", "allow"},
        {"INT_PREEMERGENCY", "PPC", "allow"},
        {"INT_CHECKMONTH", "UPS", "month"},
        {"INT_POWERDIM", "UPS", "dimming"},
        {"INT_POWERFLASH", "UPS", "outflash"},
        {"INT_ARINGACT", "ARING", "phaseset"},
        {"INT_BRINGACT", "BRING", "phaseset"},
        {"INT_VOICEYN", "SOUND", "voice"},
        {"INT_DAYVOL", "SOUND", "dayvol"},
        {"INT_NIGHTVOL", "SOUND", "nightvol"},
        {"INT_VOICECYCLE", "SOUND", "interval"},
        {"INT_NIGHTSTART", "SOUND", "nightstart"},
        {"INT_NIGHTEND", "SOUND", "nightend"},
    };
    return rows;
}

const QStringList kRows2004{"INT_DUALTIME", "INT_SPILLCONT", "INT_RING",    "INT_ACTYN",
                            "INT_GAPTIME",  "INT_LMTLOS",    "INT_MANUALOPT", "INT_GENMAIN",
                            "INT_GENDUAL",  "INT_SPCMAIN",   "INT_SPCDUAL"};

const QList<QPair<QString, int>> kValueCounts{
        {"allow", 2},
        {"spillcont", 3},
        {"spilltype", 2},
        {"ring", 2},
        {"actuation", 5},
        {"manual", 2},
        {"normalpush", 2},
        {"flashpush", 2},
        {"flashmap", 2},
        {"pushcycle", 2},
        {"smap", 2},
        {"facycle", 2},
        {"famethod", 2},
        {"month", 2},
        {"dimming", 2},
        {"outflash", 2},
        {"voice", 2},
        {"dayvol", 4},
        {"nightvol", 4},
        {"interval", 4},
        {"nightstart", 8},
        {"nightend", 5}
};

QString Text(const QString &key, int language)
{
    return TsiLangDispatcher::instance()->TextIn(TextTable, key, language);
}

} // namespace

QList<TRow> Rows(TLcTypeEx type)
{
    if (type != lct2004)
        return Rows2010();
    QList<TRow> rows;
    for (const QString &c : kRows2004)
        for (const TRow &r : Rows2010())
            if (r.Column == c)
                rows << r;
    return rows;
}

QString GroupLabel(const TRow &row, int language)
{
    return Text("Group." + row.Group, language);
}

QString ItemLabel(const TRow &row, int language)
{
    return Text("Item." + row.Column, language);
}

QStringList ValueTexts(const QString &editor, int language)
{
    QStringList l;
    for (const auto &[name, count] : kValueCounts)
        if (name == editor)
            for (int i = 0; i < count; ++i)
                l << Text(QString("Value.%1.%2").arg(editor).arg(i), language);
    return l;
}

TBounds Bounds(const TRow &row)
{
    if (row.Column == "INT_DUALTIME")
        return {0, 7, false};
    if (row.Editor == "phase")
        return {1, 8, true};
    if (row.Editor == "number" || row.Editor == "phaseset")
        return {0, 255, false};
    for (const auto &[name, count] : kValueCounts)
        if (name == row.Editor)
            return {0, count - 1, false};
    return {};
}

bool Fits(const TRow &row, const QVariant &value)
{
    const TBounds b = Bounds(row);
    if (value.isNull() || value.toString().isEmpty())
        return b.EmptyAllowed;
    bool ok = false;
    const int v = value.toString().toInt(&ok);
    return ok && v >= b.Min && v <= b.Max;
}

int PhaseSetValue(const QList<int> &phases)
{
    int v = 0;
    for (int p : phases)
        if (p >= 1 && p <= 8)
            v |= 1 << (p - 1);
    return v;
}

QList<int> PhaseSetPhases(int value)
{
    QList<int> l;
    for (int p = 1; p <= 8; ++p)
        if (value & (1 << (p - 1)))
            l << p;
    return l;
}

QList<QPair<QString, QVariant>> DefaultRow()
{
    QList<QPair<QString, QVariant>> d{
        {"INT_FULLACT", 1},    {"INT_DUALTIME", 3},   {"INT_SPILLPROC", 0},    {"INT_SPILLCONT", 0},
        {"INT_RING", 1},       {"INT_ACTYN", 0},      {"INT_GENMAIN", QVariant()}, {"INT_GENDUAL", 0},
        {"INT_MANUALOPT", 0},  {"INT_NORMALPUSH", 0}, {"INT_FLASHPUSH", 0},    {"INT_FLASHPUSHOP", 0},
        {"INT_PUSHCYCLE", 0},  {"INT_SIGMAPMTD", 1},  {"INT_ACTPHASE1", 0},    {"INT_ACTPHASE2", 0},
        {"INT_SPCMAIN", QVariant()}, {"INT_SPCDUAL", 0}, {"INT_GAPTIME", 35},  {"INT_LMTLOS", 150},
        {"INT_PREBUS", 1},     {"INT_JUMPPHASE", 1},  {"INT_PREEMERGENCY", 1}};
    for (int i = 1; i <= 5; ++i)
        d.append({QString("INT_SPC%1DUAL").arg(i), 0});
    for (const char *c : {"INT_CHECKMONTH", "INT_POWERDIM", "INT_POWERFLASH", "INT_ARINGACT", "INT_BRINGACT",
                          "INT_VOICEYN", "INT_DAYVOL", "INT_NIGHTVOL", "INT_VOICECYCLE", "INT_NIGHTSTART",
                          "INT_NIGHTEND"})
        d.append({c, 0});
    return d;
}

TLoad Load(QSqlDatabase db, int lcNo, TLcTypeEx type, QVariantList *values, QString *error)
{
    const QList<TRow> rows = Rows(type);
    QStringList cols;
    for (const TRow &r : rows)
        cols << r.Column;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QSqlQuery q(db);
        q.prepare("SELECT " + cols.join(", ") + " FROM SCS_M_INTSTARTUP WHERE INT_LCNO = :INT_LCNO");
        q.bindValue(":INT_LCNO", lcNo);
        if (!q.exec()) {
            if (error)
                *error = q.lastError().text();
            return TLoad::Failed;
        }
        if (q.next()) {
            values->clear();
            for (int i = 0; i < cols.size(); ++i)
                *values << q.value(i);
            return attempt == 0 ? TLoad::Loaded : TLoad::DefaultInserted;
        }
        if (attempt == 1)
            break;
        QStringList names{"INT_LCNO"};
        QVariantMap params{{":INT_LCNO", lcNo}};
        for (const auto &[c, v] : DefaultRow()) {
            names << c;
            params[":" + c] = v;
        }
        try {
            ExecSqlOrThrow(db, "INSERT INTO SCS_M_INTSTARTUP (" + names.join(", ") + ") VALUES (:" +
                                   names.join(", :") + ")", params);
        } catch (const std::exception &e) {
            if (error)
                *error = QString::fromUtf8(e.what());
            return TLoad::Failed;
        }
    }
    return TLoad::Failed;
}

void SaveValue(QSqlDatabase db, int lcNo, const QString &column, const QVariant &value)
{
    ExecSqlOrThrow(db, " UPDATE SCS_M_INTSTARTUP SET " + column + " = :" + column + " WHERE INT_LCNO = :KEY_INT_LCNO ",
                   {{":" + column, value.isNull() ? QVariant() : QVariant(value.toInt())},
                    {":KEY_INT_LCNO", lcNo}});
}

QList<QPair<int, int>> MergedRuns(const QStringList &labels)
{
    QList<QPair<int, int>> runs;
    for (int start = 0; start < labels.size();) {
        int end = start + 1;
        while (end < labels.size() && labels.at(end) == labels.at(start))
            ++end;
        if (end - start > 1)
            runs.append({start, end - start});
        start = end;
    }
    return runs;
}

} // namespace Startup
