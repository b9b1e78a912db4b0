#include "core/MainContracts.h"

#include <QHash>
#include <QWidget>

namespace {

QHash<QString, TWindowClassHooks> &registry()
{
    static QHash<QString, TWindowClassHooks> r;
    return r;
}

} // namespace

void TMainOpeners::Register(const QString &windowClass, TWindowClassHooks hooks)
{
    registry().insert(windowClass, std::move(hooks));
}

void TMainOpeners::Unregister(const QString &windowClass) { registry().remove(windowClass); }

bool TMainOpeners::IsRegistered(const QString &windowClass) { return registry().contains(windowClass); }

const TWindowClassHooks *TMainOpeners::Hooks(const QString &windowClass)
{
    auto it = registry().constFind(windowClass);
    return it == registry().constEnd() ? nullptr : &it.value();
}

void TMainOpeners::Apply(const TWindowClassHooks &hooks, QWidget *w, const QString &setter, const QVariant &value)
{
    if (!w)
        return;
    if (hooks.Set)
        hooks.Set(w, setter, value);
    else
        w->setProperty(setter.toLatin1().constData(), value);
}

namespace {
QList<TMainOpeners::TCloseHook> &closeHooks()
{
    static QList<TMainOpeners::TCloseHook> hooks;
    return hooks;
}
} // namespace

void TMainOpeners::AddMainCloseHook(TCloseHook hook)
{
    if (hook)
        closeHooks().append(std::move(hook));
}

void TMainOpeners::RunMainCloseHooks(QWidget *owner)
{
    for (const TCloseHook &hook : closeHooks())
        hook(owner);
}
