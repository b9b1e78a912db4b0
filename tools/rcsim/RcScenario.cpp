#include "RcScenario.h"

#include "RcWire.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace rcsim {

namespace {

const QStringList &stateNames()
{
    static const QStringList names = {
        QStringLiteral("commfail"),   QStringLiteral("centre"),    QStringLiteral("local"),
        QStringLiteral("failure"),    QStringLiteral("transition"), QStringLiteral("flash"),
        QStringLiteral("lightsoff"),  QStringLiteral("manual"),    QStringLiteral("manualflash"),
        QStringLiteral("manuallightsoff"), QStringLiteral("phasehold"), QStringLiteral("scu"),
        QStringLiteral("ppc")};
    return names;
}

int stateOf(const QString &text, bool *ok)
{
    bool isNumber = false;
    const int n = text.toInt(&isNumber);
    if (isNumber) {
        *ok = n >= 0 && n <= 12;
        return n;
    }
    const int i = stateNames().indexOf(text.toLower());
    *ok = i >= 0;
    return i;
}

bool parseRange(const QString &text, int *first, int *last)
{
    bool ok1 = false, ok2 = false;
    if (text.contains(QLatin1Char('-'))) {
        *first = text.section(QLatin1Char('-'), 0, 0).toInt(&ok1);
        *last = text.section(QLatin1Char('-'), 1, 1).toInt(&ok2);
        return ok1 && ok2 && *first >= 1 && *last >= *first;
    }
    *first = *last = text.toInt(&ok1);
    return ok1 && *first >= 1;
}

struct Args
{
    QHash<QString, QString> values;
    int integer(const QString &key, int def, bool *ok) const
    {
        if (!values.contains(key))
            return def;
        bool good = false;
        const int v = values.value(key).toInt(&good);
        if (!good)
            *ok = false;
        return good ? v : def;
    }
    bool flag(const QString &key) const { return values.value(key) == QLatin1String("1"); }
};

void putLcst(char *rec, int index, quint8 value) { rec[kLcstOffset + index] = char(value); }

// A number in decimal or 0x hexadecimal; a list of them separated by commas.
bool parseNumbers(const QString &text, QList<int> *out)
{
    out->clear();
    for (const QString &part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int v = part.toInt(&ok, 0);
        if (!ok)
            return false;
        out->append(v);
    }
    return true;
}

bool parseStatus(const QStringList &words, const Args &args, int period, ScStatus *st, QString *why)
{
    if (!parseRange(words.value(1), &st->first, &st->last) || st->last > kLcCount) {
        *why = QStringLiteral("intersection number or range expected");
        return false;
    }
    bool ok = true;
    st->from = args.integer(QStringLiteral("from"), 0, &ok);
    st->to = args.integer(QStringLiteral("to"), period, &ok);
    auto one = [&](const char *key, int max, int *value) {
        const QString k = QString::fromLatin1(key);
        if (!args.values.contains(k))
            return true;
        QList<int> v;
        if (!parseNumbers(args.values.value(k), &v) || v.size() != 1 || v[0] < 0 || v[0] > max)
            return false;
        *value = v[0];
        return true;
    };
    auto list = [&](const char *key, QList<int> *value) {
        const QString k = QString::fromLatin1(key);
        if (!args.values.contains(k))
            return true;
        if (!parseNumbers(args.values.value(k), value) || value->size() != 4)
            return false;
        for (int v : *value)
            if (v < 0 || v > 255)
                return false;
        return true;
    };
    if (!ok || st->to < st->from || !one("ppc", 255, &st->ppc) || !one("ppcmode", 1, &st->ppcMode)
        || !list("ring", &st->ring) || !one("ups", 255, &st->ups) || !one("fw", 0xFFFF, &st->fw)
        || !one("fwidx", 0xFFFF, &st->fwIdx) || !list("occupancy", &st->occupancy)
        || !one("spillback", 15, &st->spillback) || !one("lock", 15, &st->lock) || !one("plan", 7, &st->plan)) {
        *why = QStringLiteral("bad status values");
        return false;
    }
    return true;
}

// Writes the status statements that hold for an intersection at a time of the period.
void applyStatuses(const QList<ScStatus> &statuses, const ScLc &lc, double inPeriod, char *rec)
{
    auto get = [rec](int i) { return quint8(rec[kLcstOffset + i]); };
    for (const ScStatus &s : statuses) {
        if (lc.no < s.first || lc.no > s.last || inPeriod < s.from || inPeriod >= s.to)
            continue;
        if (s.ppc >= 0)
            putLcst(rec, 22, quint8(s.ppc));
        if (s.ppcMode >= 0)
            putLcst(rec, 0, quint8((get(0) & ~0x08) | (s.ppcMode ? 0x08 : 0)));
        for (int k = 0; k < s.ring.size(); ++k)
            putLcst(rec, 25 + k, quint8(s.ring[k]));
        if (s.ups >= 0)
            putLcst(rec, 23, quint8(s.ups));
        if (s.fw >= 0) {
            putLcst(rec, 17, quint8(s.fw >> 8));
            putLcst(rec, 18, quint8(s.fw & 0xFF));
        }
        if (s.fwIdx >= 0) {
            putLcst(rec, 19, quint8(s.fwIdx >> 8));
            putLcst(rec, 20, quint8(s.fwIdx & 0xFF));
        }
        for (int k = 0; k < s.occupancy.size(); ++k)
            putLcst(rec, 6 + k, quint8(s.occupancy[k]));
        if (s.spillback >= 0)
            putLcst(rec, 16, quint8((get(16) & ~0x0F) | s.spillback));
        if (s.lock >= 0)
            putLcst(rec, 24, quint8((get(24) & ~0x0F) | s.lock));
        if (s.plan >= 0) {
            if (lc.type == 1)
                putLcst(rec, 4, quint8((get(4) & ~0x08) | (s.plan ? 0x08 : 0)));
            else
                putLcst(rec, 16, quint8((get(16) & ~0x70) | (s.plan << 4)));
        }
    }
}

} // namespace

QString Scenario::builtInText()
{
    return QStringLiteral(
        "# Built-in scenario: the demo city's four groups and forty intersections.\n"
        "period 300\n"
        "group 1 cycle=120 offset=0 split=1\n"
        "group 2 cycle=140 offset=10 split=2\n"
        "group 3 cycle=150 offset=20 split=1 control=trc\n"
        "group 4 cycle=160 offset=30 split=3 mode=local\n"
        "lc 1-10 group=1 type=demo phases=4\n"
        "lc 11-22 group=2 type=demo phases=4 actuated=1\n"
        "lc 23-33 group=3 type=demo phases=3\n"
        "lc 34-40 group=4 type=demo phases=4 mode=local\n"
        "event 3 from=20 to=60 state=failure power=1\n"
        "event 4 from=40 to=90 state=flash flash=1\n"
        "event 5 from=60 to=100 state=lightsoff lightsout=1\n"
        "event 7 from=80 to=130 state=manual police=1\n"
        "event 8 from=100 to=150 state=commfail\n"
        "event 9 from=0 to=40 state=transition\n"
        "event 10 from=120 to=170 state=phasehold\n"
        "event 13 from=150 to=200 state=manualflash flash=1\n"
        "event 14 from=170 to=220 state=manuallightsoff lightsout=1\n"
        "event 17 from=190 to=240 state=ppc\n"
        "event 19 from=200 to=260 state=local\n"
        "event 20 from=220 to=280 state=scu\n"
        "event 22 from=0 to=300 conflict=1 door=1\n"
        "event 25 from=30 to=80 state=flash flash=1\n"
        "event 28 from=240 to=290 door=1\n"
        "event 31 from=60 to=120 state=commfail\n"
        "event 35 from=100 to=160 state=centre\n");
}

Scenario Scenario::builtIn()
{
    Scenario s;
    QString error;
    parse(builtInText(), &s, &error);
    return s;
}

bool Scenario::load(const QString &fileName, Scenario *out, QString *error)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(fileName);
        return false;
    }
    return parse(QString::fromUtf8(f.readAll()), out, error);
}

bool Scenario::parse(const QString &text, Scenario *out, QString *error)
{
    Scenario s;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        const int hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line.truncate(hash);
        const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        auto fail = [&](const QString &why) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return false;
        };
        Args args;
        for (int i = 2; i < words.size(); ++i) {
            const QString &w = words.at(i);
            const int eq = w.indexOf(QLatin1Char('='));
            if (eq <= 0)
                return fail(QStringLiteral("expected key=value, got \"%1\"").arg(w));
            args.values.insert(w.left(eq).toLower(), w.mid(eq + 1).toLower());
        }
        const QString keyword = words.first().toLower();
        bool ok = true;
        if (keyword == QLatin1String("period")) {
            const int p = words.value(1).toInt(&ok);
            if (!ok || p <= 0)
                return fail(QStringLiteral("bad period"));
            s.period = p;
        } else if (keyword == QLatin1String("group")) {
            ScGroup g;
            g.no = words.value(1).toInt(&ok);
            if (!ok || g.no < 1 || g.no > kGroupCount)
                return fail(QStringLiteral("group number 1..200 expected"));
            g.cycle = args.integer(QStringLiteral("cycle"), 120, &ok);
            g.offset = args.integer(QStringLiteral("offset"), 0, &ok);
            g.split = args.integer(QStringLiteral("split"), 1, &ok);
            const QString mode = args.values.value(QStringLiteral("mode"), QStringLiteral("centre"));
            g.mode = mode == QLatin1String("local") ? 0 : 1;
            const QString control = args.values.value(QStringLiteral("control"), QStringLiteral("tod"));
            g.control = control == QLatin1String("trc") ? 1 : control == QLatin1String("manual") ? 2 : 0;
            if (!ok || g.cycle <= 0)
                return fail(QStringLiteral("bad group values"));
            s.groups.insert(g.no, g);
        } else if (keyword == QLatin1String("lc")) {
            int first = 0, last = 0;
            if (!parseRange(words.value(1), &first, &last) || last > kLcCount)
                return fail(QStringLiteral("intersection number or range 1..1024 expected"));
            for (int no = first; no <= last; ++no) {
                ScLc lc;
                lc.no = no;
                lc.group = args.integer(QStringLiteral("group"), 0, &ok);
                const QString type = args.values.value(QStringLiteral("type"), QStringLiteral("2010"));
                if (type == QLatin1String("2004"))
                    lc.type = 1;
                else if (type == QLatin1String("2010"))
                    lc.type = 2;
                else if (type == QLatin1String("demo"))
                    lc.type = no % 3 == 0 ? 1 : 2;
                else
                    return fail(QStringLiteral("type 2004, 2010 or demo expected"));
                lc.phases = qBound(1, args.integer(QStringLiteral("phases"), 4, &ok), 8);
                lc.lamps = args.integer(QStringLiteral("lamp"), lc.type == 2 && no % 2 == 0 ? 4 : 3, &ok);
                const QString mode = args.values.value(QStringLiteral("mode"), QStringLiteral("centre"));
                lc.baseState = mode == QLatin1String("local") ? 2 : 1;
                lc.dual = args.integer(QStringLiteral("dual"), 1, &ok) != 0;
                lc.actuated = args.integer(QStringLiteral("actuated"), 0, &ok) != 0;
                lc.cycle = args.integer(QStringLiteral("cycle"), 0, &ok);
                if (!ok)
                    return fail(QStringLiteral("bad intersection values"));
                s.lcs.insert(no, lc);
            }
        } else if (keyword == QLatin1String("event")) {
            ScEvent e;
            if (!parseRange(words.value(1), &e.first, &e.last) || e.last > kLcCount)
                return fail(QStringLiteral("intersection number or range expected"));
            e.from = args.integer(QStringLiteral("from"), 0, &ok);
            e.to = args.integer(QStringLiteral("to"), s.period, &ok);
            if (args.values.contains(QStringLiteral("state"))) {
                bool stateOk = false;
                e.state = stateOf(args.values.value(QStringLiteral("state")), &stateOk);
                if (!stateOk)
                    return fail(QStringLiteral("unknown state"));
            }
            e.flash = args.flag(QStringLiteral("flash"));
            e.lightsOut = args.flag(QStringLiteral("lightsout"));
            e.conflict = args.flag(QStringLiteral("conflict"));
            e.door = args.flag(QStringLiteral("door"));
            e.police = args.flag(QStringLiteral("police"));
            e.power = args.flag(QStringLiteral("power"));
            if (!ok || e.to < e.from)
                return fail(QStringLiteral("bad event times"));
            s.events.append(e);
        } else if (keyword == QLatin1String("status")) {
            ScStatus st;
            QString why;
            if (!parseStatus(words, args, s.period, &st, &why))
                return fail(why);
            s.statuses.append(st);
        } else {
            return fail(QStringLiteral("unknown statement \"%1\"").arg(words.first()));
        }
    }
    *out = s;
    return true;
}

int Scenario::cycleOf(const ScLc &lc) const
{
    if (lc.cycle > 0)
        return lc.cycle;
    const auto it = groups.constFind(lc.group);
    return it != groups.cend() && it->cycle > 0 ? it->cycle : 120;
}

ScLcView Scenario::view(int lcNo, double t) const
{
    ScLcView v;
    const auto it = lcs.constFind(lcNo);
    if (it == lcs.cend())
        return v;
    const ScLc &lc = *it;
    const double inPeriod = std::fmod(qMax(0.0, t), double(period));
    v.state = lc.baseState;
    for (const ScEvent &e : events) {
        if (lcNo < e.first || lcNo > e.last || inPeriod < e.from || inPeriod >= e.to)
            continue;
        if (e.state >= 0)
            v.state = e.state;
        v.flash = v.flash || e.flash;
        v.lightsOut = v.lightsOut || e.lightsOut;
        v.conflict = v.conflict || e.conflict;
        v.door = v.door || e.door;
        v.police = v.police || e.police;
        v.power = v.power || e.power;
    }
    const int cycle = cycleOf(lc);
    const int offset = groups.value(lc.group).offset;
    const long long tt = (long long)std::floor(qMax(0.0, t)) + offset;
    v.cycle = cycle;
    v.cycleCount = int((tt / cycle) % 256);
    const int inCycle = int(tt % cycle);
    const int split = qMax(1, cycle / lc.phases);
    v.phase = qMin(lc.phases, inCycle / split + 1);
    const int inPhase = inCycle - (v.phase - 1) * split;
    const int green = qMax(1, split - 5);
    v.step = inPhase < green ? 1 : inPhase < green + 3 ? 2 : 3;
    if (v.state == 10) { // phase hold keeps phase 1
        v.phase = 1;
        v.step = 1;
    }
    return v;
}

QByteArray Scenario::stateImage(double t, bool bigEndian) const
{
    QByteArray image(kStateImageSize, '\0');
    char *base = image.data();

    struct Counts { int members = 0, centre = 0, transition = 0, local = 0, silent = 0, failed = 0,
                    commFail = 0, flashing = 0, manual = 0; };
    QMap<int, Counts> counts;

    for (const ScLc &lc : lcs) {
        char *rec = base + kGroupCount * kGroupRecordSize + (lc.no - 1) * kLcRecordSize;
        const ScLcView v = view(lc.no, t);
        const int cycle = v.cycle;
        const int split = qMax(1, cycle / lc.phases);
        rec[0] = 1; // defined
        rec[1] = char(v.state);
        const quint16 group = quint16(lc.group);
        rec[2] = char(bigEndian ? (group >> 8) : (group & 0xFF));
        rec[3] = char(bigEndian ? (group & 0xFF) : (group >> 8));
        rec[4] = v.state == 1 ? 1 : 0;             // TRC possible
        rec[5] = 0;                                // oversaturation
        rec[6] = char(40 + (lc.no * 7) % 50);      // degree of saturation
        rec[7] = char(v.cycleCount % 4);           // transitions
        rec[8] = char(cycle & 0xFF);               // requested cycle
        for (int ring = 0; ring < 2; ++ring) {
            for (int p = 1; p <= 8; ++p) {
                const int value = p <= lc.phases && (ring == 0 || lc.dual) ? split : 0;
                rec[9 + ring * 8 + p - 1] = char(value);          // split
                rec[25 + ring * 8 + p - 1] = char(value ? value + 1 : 0); // controller's split
                rec[41 + ring * 8 + p - 1] = char(value);         // plan split
            }
        }
        rec[73] = char(v.phase);

        Counts &c = counts[lc.group];
        ++c.members;
        switch (v.state) {
        case 0: ++c.commFail; ++c.silent; break;
        case 1: ++c.centre; break;
        case 2: ++c.local; break;
        case 3: ++c.failed; break;
        case 4: ++c.transition; break;
        case 5: ++c.flashing; break;
        case 7: case 8: case 9: ++c.manual; break;
        default: break;
        }

        if (v.state == 0)
            continue; // no status from a controller that does not answer

        quint8 b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b16 = 0;
        int oprMode = v.state == 2 ? (lc.actuated ? 2 : 1) : (lc.actuated ? 4 : 5);
        if (v.state == 11)
            oprMode = 0;
        if (v.state == 12)
            oprMode = 4;
        b0 = quint8(oprMode & 0x07);
        if (lc.dual)
            b0 |= 0x10;
        if (v.power)
            b0 |= 0x80;
        if (v.state == 3)
            b0 |= 0x40; // MCU/SCU communication failure
        if (v.state == 12 && lc.type == 2)
            b0 |= 0x08;
        const bool running = v.state != 5 && v.state != 6 && v.state != 8 && v.state != 9;
        if (running) {
            b1 = quint8(((v.phase - 1) & 0x07) << 5 | ((v.step - 1) & 0x1F));
            b2 = lc.dual ? b1 : 0;
        }
        const bool flash = v.flash || v.state == 5 || v.state == 8;
        const bool lightsOut = v.lightsOut || v.state == 6 || v.state == 9;
        if (flash)
            b3 |= 0x02;
        if (lightsOut)
            b3 |= 0x04;
        if (v.conflict)
            b3 |= 0x08;
        if (v.police || v.state == 7)
            b3 |= 0x80 | 0x40; // manual progress, manual switch
        if (v.state == 8)
            b3 |= 0x20;
        if (v.state == 9)
            b3 |= 0x10;
        const int flashCause = flash ? (v.state == 8 ? 3 : 2) : 0;
        b4 = quint8((flashCause & (lc.type == 1 ? 0x0F : 0x07)) << 4);
        b4 |= 0x02 | 0x04; // conflict detection and manual operation enabled
        if (v.door)
            b4 |= 0x01;
        if (lc.type == 2)
            b4 |= 0x80; // push buttons
        if (v.conflict)
            b5 = quint8((1 << 4) | 2);
        b16 = 0x08; // spill-back control permitted
        if (lc.type == 2 && lc.lamps == 4)
            b16 |= 0x80;

        putLcst(rec, 0, b0);
        putLcst(rec, 1, b1);
        putLcst(rec, 2, b2);
        putLcst(rec, 3, b3);
        putLcst(rec, 4, b4);
        putLcst(rec, 5, b5);
        if (lc.type == 1) {
            for (int i = 6; i <= 9; ++i)
                putLcst(rec, i, quint8((lc.no + v.cycleCount + i) & 0xFF)); // detector information
        } else {
            putLcst(rec, 6, quint8((1 << lc.phases) - 1)); // pedestrian lights
            putLcst(rec, 7, 0x01);                           // push buttons
        }
        putLcst(rec, 10, quint8(v.cycleCount));
        putLcst(rec, 11, quint8(cycle & 0xFF));
        putLcst(rec, 12, quint8(cycle & 0xFF));
        putLcst(rec, 13, quint8(groups.value(lc.group).offset & 0xFF));
        putLcst(rec, 14, v.state == 10 ? 0x01 : 0);
        putLcst(rec, 15, 0);
        putLcst(rec, 16, b16);
        if (lc.type == 2) {
            putLcst(rec, 17, 0x01); // firmware module id 0x0101, most significant first
            putLcst(rec, 18, 0x01);
            putLcst(rec, 24, 0x01); // applied
            for (int i = 25; i <= 28; ++i)
                putLcst(rec, i, quint8(0x55 >> (v.phase % 2)));
        }
        applyStatuses(statuses, lc, std::fmod(qMax(0.0, t), double(period)), rec);
    }

    for (const ScGroup &g : groups) {
        char *rec = base + (g.no - 1) * kGroupRecordSize;
        const Counts c = counts.value(g.no);
        rec[0] = 1;
        rec[1] = char(g.mode);
        rec[2] = char(g.control);
        rec[3] = char(g.cycle & 0xFF);
        rec[4] = char(g.offset & 0xFF);
        rec[5] = char(g.split & 0xFF);
        rec[6] = char(c.members);
        rec[7] = char(c.centre);
        rec[8] = char(c.transition);
        rec[9] = char(c.local);
        rec[10] = char(c.silent);
        rec[11] = char(c.failed);
        rec[12] = char(c.commFail);
        rec[13] = char(c.flashing);
        rec[14] = char(c.manual);
        rec[32] = 1; // current daily plan
        rec[33] = char(g.split & 0xFF);
    }
    return image;
}

} // namespace rcsim
