#pragma once
// The messages of the main map page, routed by a table: console messages
// ("key:value") by their key and native calls by their name. The main window and
// each side panel register the messages they take; the map view controller is told
// every key and name the table holds. A message nothing registered is not taken.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

class TPageMessageTable
{
public:
    using TConsoleHandler = std::function<void(const QString &value)>;
    using TNativeHandler = std::function<void(const QVariantList &args)>;

    // One handler per key or name; a second registration replaces the first.
    void AddConsole(const QString &key, TConsoleHandler handler);
    void AddNative(const QString &name, TNativeHandler handler);

    // Runs the handler of the message; false when none is registered.
    bool Console(const QString &key, const QString &value) const;
    bool Native(const QString &name, const QVariantList &args) const;

    // In registration order.
    QStringList ConsoleKeys() const { return FConsoleOrder; }
    QStringList NativeNames() const { return FNativeOrder; }

private:
    QHash<QString, TConsoleHandler> FConsole;
    QHash<QString, TNativeHandler> FNative;
    QStringList FConsoleOrder;
    QStringList FNativeOrder;
};
