#include "mainwindow/PageMessageTable.h"

void TPageMessageTable::AddConsole(const QString &key, TConsoleHandler handler)
{
    if (!FConsole.contains(key))
        FConsoleOrder << key;
    FConsole.insert(key, std::move(handler));
}

void TPageMessageTable::AddNative(const QString &name, TNativeHandler handler)
{
    if (!FNative.contains(name))
        FNativeOrder << name;
    FNative.insert(name, std::move(handler));
}

bool TPageMessageTable::Console(const QString &key, const QString &value) const
{
    const auto it = FConsole.constFind(key);
    if (it == FConsole.cend() || !it.value())
        return false;
    it.value()(value);
    return true;
}

bool TPageMessageTable::Native(const QString &name, const QVariantList &args) const
{
    const auto it = FNative.constFind(name);
    if (it == FNative.cend() || !it.value())
        return false;
    it.value()(args);
    return true;
}
