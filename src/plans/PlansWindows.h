#pragma once
// The windows of the plan editors and the actions that open them.
#include <QList>
#include <QString>
#include <functional>

class QWidget;
class QVariant;

struct TPlansWindow
{
    QString Action;
    QString WindowClass;
    std::function<QWidget *(QWidget *owner)> Create;
    // Sets a published property (TCDV_ID, SA_ID, IsModal ...) of a window it created.
    std::function<void(QWidget *w, const QString &setter, const QVariant &value)> Set;
};

// The editors this library provides, by the main window's action names.
const QList<TPlansWindow> &PlansWindows();
void RegisterPlansWindows();
