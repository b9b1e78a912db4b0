#include "plans/PlansWindows.h"

#include <QList>
#include <QVariant>

#include "core/MainContracts.h"
#include "plans/untTcdvReservePlan.h"
#include "plans/untTcdvTod.h"
#include "core/untBaseGrid.h"
#include "plans/untSA_E_Master.h"
#include "plans/untSA_E_Merge.h"
#include "plans/untSA_S_Conf.h"
#include "plans/untSaTool.h"

namespace {

// SA_ID of the group editors that the openers hand the main window's group.
void SetGroupEditor(QWidget *w, const QString &setter, const QVariant &v)
{
    if (auto *editor = qobject_cast<TfrmBaseGrid *>(w); editor && setter == QLatin1String("SA_ID"))
        editor->SetSA_ID(v.toInt());
}

} // namespace

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
        {"actOpenSA_E_Master", "TfrmSA_E_Master",
         [](QWidget *owner) -> QWidget * { return new TfrmSA_E_Master(owner); }, SetGroupEditor},
        {"actOpenSA_E_Merge", "TfrmSA_E_Merge",
         [](QWidget *owner) -> QWidget * { return new TfrmSA_E_Merge(owner); }, SetGroupEditor},
        {"actOpenSA_S_Conf", "TfrmSA_S_Conf",
         [](QWidget *owner) -> QWidget * { return new TfrmSA_S_Conf(owner); }, SetGroupEditor},
        {"actOpenSA_E_CyclePlan", "TfrmSA_E_Cycle",
         [](QWidget *owner) -> QWidget * { return new TfrmSA_E_Cycle(owner); }, SetGroupEditor},
        {"actOpenSaTool", "TFormSaTool", [](QWidget *owner) -> QWidget * { return new TFormSaTool(owner); }, {}},
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
