#include "plans/PlansWindows.h"

#include <QList>
#include <QVariant>

#include "core/MainContracts.h"
#include "plans/untTcdvReservePlan.h"
#include "plans/untTcdvTod.h"

const QList<TPlansWindow> &PlansWindows()
{
    // One row per editor: {action, window class, create, set}.
    static const QList<TPlansWindow> windows{
        {"actOpenTcdvTod", "TFormTcdvTod", [](QWidget *owner) -> QWidget * { return new TFormTcdvTod(owner); },
         [](QWidget *w, const QString &setter, const QVariant &value) {
             auto *tod = qobject_cast<TFormTcdvTod *>(w);
             if (!tod)
                 return;
             if (setter == QLatin1String("TCDV_ID"))
                 tod->SetTCDV_ID(value.toInt());
             else if (setter == QLatin1String("PLAN_CLSS"))
                 tod->SetPLAN_CLSS(value.toInt());
             else if (setter == QLatin1String("IsModal"))
                 tod->SetIsModal(value.toBool());
         }},
        {"actOpenTCDV_E_ReservePlan", "TFormTcdvReservePlan",
         [](QWidget *owner) -> QWidget * { return new TFormTcdvReservePlan(owner); },
         [](QWidget *w, const QString &setter, const QVariant &value) {
             auto *plan = qobject_cast<TFormTcdvReservePlan *>(w);
             if (!plan)
                 return;
             if (setter == QLatin1String("TcdvID") || setter == QLatin1String("TCDV_ID"))
                 plan->SetTcdvID(value.toInt());
             else if (setter == QLatin1String("IsModal"))
                 plan->SetIsModal(value.toBool());
         }},
    };
    return windows;
}

void RegisterPlansWindows()
{
    for (const TPlansWindow &entry : PlansWindows()) {
        if (!entry.Create)
            continue; // the window is not built yet: its action stays without an opener
        const auto create = entry.Create;
        const auto set = entry.Set;
        TMainOpeners::Register(entry.WindowClass,
                               {[create](const TOpenContext &c) -> QWidget * { return create(c.Owner); },
                                [set](QWidget *w, const QString &setter, const QVariant &v) {
                                    if (set)
                                        set(w, setter, v);
                                },
                                {}, {}});
    }
}
