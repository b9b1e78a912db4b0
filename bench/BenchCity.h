#pragma once
// The city the benchmarks measure: 16 groups of 64 controllers. Its scenario for
// the centre-server simulator and its controllers as the console knows them.
#include <QString>

#include <memory>

#include "centrelink/RC2MMIUnit.h"

namespace BenchCity {

constexpr int kGroups = 16;
constexpr int kPerGroup = 64;

// Scenario text: a 300 s period, group g with cycle 100 + 4g and offset g, its 64
// controllers of the demo type with four phases (every other group actuated when
// `actuated`), then the lines of `events`.
inline QString Scenario(bool actuated, const QString &events)
{
    QString s = QStringLiteral("period 300\n");
    for (int g = 1; g <= kGroups; ++g)
        s += QStringLiteral("group %1 cycle=%2 offset=%3\n").arg(g).arg(100 + 4 * g).arg(g);
    for (int g = 0; g < kGroups; ++g)
        s += QStringLiteral("lc %1-%2 group=%3 type=demo phases=4%4\n")
                 .arg(g * kPerGroup + 1)
                 .arg(g * kPerGroup + kPerGroup)
                 .arg(g + 1)
                 .arg(actuated && g % 2 ? QStringLiteral(" actuated=1") : QString());
    return s + events;
}

// Controller n in use: every third one of type 1, the others of type 2, in its
// group of 64, named "교차로 n".
inline std::shared_ptr<TSTT_LC_INFO> Controller(int n)
{
    auto r = std::make_shared<TSTT_LC_INFO>();
    r->tcdv_id = n;
    r->lc_type = n % 3 == 0 ? 1 : 2;
    r->is_use = true;
    r->sa_id = (n - 1) / kPerGroup + 1;
    r->ints_name = QStringLiteral("교차로 %1").arg(n);
    return r;
}

} // namespace BenchCity
