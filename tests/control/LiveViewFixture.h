#pragma once
// Live records and state images for the tests of the live views: a set of
// intersections built line by line, and images held on the heap (one image is
// 124,768 bytes).
#include <cstring>
#include <memory>

#include "centrelink/RC2MMIUnit.h"

namespace LiveFixture {

struct TLc
{
    int No = 0;
    bool Use = true;
    int Type = 1;       // lc_type: 1 the 2004 layout, 2 the 2010 layout
    int OprMode = 5;
    int OprStat = 1;
    int Virtual = 0;    // main intersection of a virtual one
    int TcdvType = 0;   // 1 CI
    int Flash = 0;
    int ConflictEnable = 1;
};

inline PSTT_LC_INFO Add(TLC_INFO_SET &set, const TLc &d)
{
    auto p = std::make_shared<TSTT_LC_INFO>();
    p->tcdv_id = d.No;
    p->ints_name = QStringLiteral("교차로%1").arg(d.No);
    p->sa_id = 1;
    p->is_use = d.Use;
    p->lc_type = d.Type;
    p->oprMode = d.OprMode;
    p->opr_stat = d.OprStat;
    p->virtualLC_No = d.Virtual;
    p->tcdv_type = d.TcdvType;
    p->flash = d.Flash;
    p->conflictEnable = d.ConflictEnable;
    set.SetLcInfo(d.No, p);
    if (d.Virtual > 0)
        set.SetVirtual(d.No, d.Virtual);
    return p;
}

inline std::unique_ptr<TST_VESK_STATE> Image()
{
    auto img = std::make_unique<TST_VESK_STATE>();
    std::memset(img.get(), 0, sizeof(TST_VESK_STATE));
    return img;
}

inline std::unique_ptr<TST_VESK_STATE> Copy(const TST_VESK_STATE &from)
{
    auto img = std::make_unique<TST_VESK_STATE>();
    std::memcpy(img.get(), &from, sizeof(TST_VESK_STATE));
    return img;
}

} // namespace LiveFixture
