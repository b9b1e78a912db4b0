#include "core/WindowRegistry.h"

QHash<QString, QPointer<QWidget>> &TWindowRegistry::Entries()
{
    static QHash<QString, QPointer<QWidget>> entries;
    return entries;
}

QWidget *TWindowRegistry::Find(const QString &key)
{
    auto &e = Entries();
    auto it = e.find(key);
    if (it == e.end())
        return nullptr;
    if (it.value().isNull()) {
        e.erase(it);
        return nullptr;
    }
    return it.value().data();
}

void TWindowRegistry::Register(const QString &key, QWidget *window)
{
    if (!window)
        return;
    window->setAttribute(Qt::WA_DeleteOnClose, true);
    Entries().insert(key, window);
    QObject::connect(window, &QObject::destroyed, window, [key, window] {
        auto &e = Entries();
        auto it = e.find(key);
        // Only this window's entry: a newer window of the same key stays.
        if (it != e.end() && (it.value().isNull() || it.value().data() == window))
            e.erase(it);
    });
}

void TWindowRegistry::BringToFront(QWidget *window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    if (!window->isVisible())
        return; // not shown yet: the opener shows it
    window->raise();
    window->activateWindow();
}

void TWindowRegistry::Show(QWidget *window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

QStringList TWindowRegistry::Keys()
{
    QStringList keys;
    for (auto it = Entries().cbegin(); it != Entries().cend(); ++it)
        if (!it.value().isNull())
            keys << it.key();
    keys.sort();
    return keys;
}

int TWindowRegistry::Count()
{
    return int(Keys().size());
}

void TWindowRegistry::CloseAll()
{
    const auto entries = Entries();
    for (const auto &w : entries)
        if (w)
            w->close();
}

int TWindowRegistry::ExecAndFree(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    // QDialog::exec deletes a dialog that carries WA_DeleteOnClose once its loop ends.
    dialog->setAttribute(Qt::WA_DeleteOnClose, true);
    return dialog->exec();
}
