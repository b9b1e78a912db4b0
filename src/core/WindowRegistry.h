#pragma once
// One instance per non-modal window: an opener brings an open window to the
// front instead of opening it twice; the window frees itself when it is closed
// and its entry is cleared when it is destroyed.
//
//     bool created = false;
//     auto *w = TWindowRegistry::Open<TfrmTCDV_E_Master>(
//         [this] { return new TfrmTCDV_E_Master(this); }, &created);
//     if (created) w->setWindowTitle(act->text());
//     w->SetTCDV_ID(FSelectedLc);     // before showing
//     TWindowRegistry::Show(w);
//
// The key is the window's class name unless one is given (e.g. one intersection
// monitor per intersection: "TfrmTCDV_M:12").
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class TWindowRegistry
{
public:
    // The open window of a key, nullptr when none.
    static QWidget *Find(const QString &key);
    template <class T>
    static T *Find(const QString &key = QString())
    {
        return qobject_cast<T *>(Find(key.isEmpty() ? QString::fromLatin1(T::staticMetaObject.className()) : key));
    }

    // The open window of the key, or a new one made by `create`: it is given
    // WA_DeleteOnClose and registered. A new window is not shown (the opener sets
    // it up and calls Show); an open one is brought to the front at once.
    template <class T>
    static T *Open(const std::function<T *()> &create, bool *created = nullptr,
                   const QString &key = QString())
    {
        const QString k = key.isEmpty() ? QString::fromLatin1(T::staticMetaObject.className()) : key;
        if (T *w = qobject_cast<T *>(Find(k))) {
            if (created)
                *created = false;
            BringToFront(w);
            return w;
        }
        T *w = create ? create() : nullptr;
        if (created)
            *created = w != nullptr;
        if (w)
            Register(k, w);
        return w;
    }

    // Registers a window under a key (replacing a stale entry); it frees itself on
    // close and the entry goes when it is destroyed.
    static void Register(const QString &key, QWidget *window);
    // Shows (restoring a minimised window), raises and activates.
    static void Show(QWidget *window);
    static void BringToFront(QWidget *window);
    static QStringList Keys();
    static int Count();
    // Closes every registered window (shutdown).
    static void CloseAll();

    // A tool window created for one opening (program information, node, link and
    // group outline tools): runs it modally and frees it when it closes, so that
    // repeated openings do not pile up windows under their owner. Returns the
    // modal result; do not touch the dialog afterwards.
    static int ExecAndFree(QDialog *dialog);

private:
    static QHash<QString, QPointer<QWidget>> &Entries();
};
