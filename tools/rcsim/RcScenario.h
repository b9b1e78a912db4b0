#pragma once
// A scenario of the simulated city: groups with their cycles, intersections of both
// controller types that step through their phases, and events that switch an
// intersection into another state (failure, flash, lamps off, manual, local or
// centre mode, phase hold, SCU, PPC, communication failure) or raise flags for a
// time. The scenario repeats after its period. It yields the 124768-byte state
// image of any moment.
//
// File format (text, one statement a line, "#" starts a comment):
//   period <seconds>                      repeat period (default 300)
//   group <no> cycle=<s> [offset=<s>] [split=<n>] [mode=centre|local] [control=tod|trc|manual]
//   lc <no>|<from>-<to> group=<g> [type=2004|2010|demo] [phases=<n>] [lamp=3|4]
//        [mode=centre|local] [dual=0|1] [actuated=0|1] [cycle=<s>]
//   event <no>|<from>-<to> from=<s> to=<s> [state=<name>] [flash=1] [lightsout=1]
//        [conflict=1] [door=1] [police=1] [power=1]
//   status <no>|<from>-<to> [from=<s>] [to=<s>] [ppc=<byte>] [ppcmode=0|1]
//        [ring=<b25>,<b26>,<b27>,<b28>] [ups=<byte>] [fw=<module id>] [fwidx=<blocks>]
//        [occupancy=<b6>,<b7>,<b8>,<b9>] [spillback=<0..15>] [lock=<0..15>] [plan=<0..7>]
//        status bytes the monitor shows: PPC flags and LSU ring view, UPS flags,
//        firmware module and progress, detector occupancy (2004), the four
//        spill-back flags (byte 16 bits 0-3), the lock flags (byte 24 bits 0-3)
//        and the plan class; numbers decimal or 0x hexadecimal.
// States: commfail centre local failure transition flash lightsoff manual
//         manualflash manuallightsoff phasehold scu ppc (or their numbers 0..12).
// type=demo: every third intersection (3, 6, 9 ...) is of the 2004 type, the
// others of the 2010 type.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace rcsim {

struct ScGroup
{
    int no = 0;
    int cycle = 120;
    int offset = 0;
    int split = 1;
    int mode = 1;    // 0 local, 1 centre
    int control = 0; // 0 TOD, 1 TRC, 2 manual
};

struct ScLc
{
    int no = 0;
    int group = 0;
    int type = 2; // 1 the 2004 type, 2 the 2010 type
    int phases = 4;
    int lamps = 3;
    int baseState = 1; // 1 centre, 2 local
    bool dual = true;
    bool actuated = false;
    int cycle = 0; // 0: the group's
};

struct ScEvent
{
    int first = 0;
    int last = 0;
    int from = 0;
    int to = 0;
    int state = -1; // -1: keep the state
    bool flash = false;
    bool lightsOut = false;
    bool conflict = false;
    bool door = false;
    bool police = false;
    bool power = false;
};

// Status bytes set over a time (the status statement); -1 leaves a value as it is.
struct ScStatus
{
    int first = 0;
    int last = 0;
    int from = 0;
    int to = 0;
    int ppc = -1;
    int ppcMode = -1;
    QList<int> ring;
    int ups = -1;
    int fw = -1;
    int fwIdx = -1;
    QList<int> occupancy;
    int spillback = -1;
    int lock = -1;
    int plan = -1;
};

// What an intersection shows at a moment.
struct ScLcView
{
    int state = 1;
    int phase = 1; // 1..8
    int step = 1;  // 1..
    int cycle = 0;
    int cycleCount = 0;
    bool flash = false;
    bool lightsOut = false;
    bool conflict = false;
    bool door = false;
    bool police = false;
    bool power = false;
};

class Scenario
{
public:
    static Scenario builtIn();
    static QString builtInText();
    // Parses the file format; false with a reason (line number) on error.
    static bool parse(const QString &text, Scenario *out, QString *error);
    static bool load(const QString &fileName, Scenario *out, QString *error);

    int period = 300;
    QMap<int, ScGroup> groups;
    QMap<int, ScLc> lcs;
    QList<ScEvent> events;
    QList<ScStatus> statuses;

    ScLcView view(int lcNo, double t) const;
    int cycleOf(const ScLc &lc) const;
    // The whole image at scenario time t (seconds).
    QByteArray stateImage(double t, bool bigEndian) const;
};

} // namespace rcsim
