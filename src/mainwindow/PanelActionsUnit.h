#pragma once
// Actions of the main window's side panels (the VIP panel and the emergency-vehicle
// panel); their buttons come from NewActionButton (ActionButton.h).
#include <QString>
#include <functional>

class QAction;
class QWidget;

// An action of the panel named `name` that runs `fn` when triggered; the panel
// owns it and holds it among its actions.
QAction *PanelAction(QWidget *panel, const QString &name, std::function<void()> fn);
