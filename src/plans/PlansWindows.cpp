#include "plans/PlansWindows.h"

#include <QList>
#include <QVariant>

#include "core/MainContracts.h"

const QList<TPlansWindow> &PlansWindows()
{
    // One row per editor: {action, window class, create, set}.
    static const QList<TPlansWindow> windows{};
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
