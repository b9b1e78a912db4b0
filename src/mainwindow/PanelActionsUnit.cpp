#include "mainwindow/PanelActionsUnit.h"

#include <QAction>
#include <QWidget>

QAction *PanelAction(QWidget *panel, const QString &name, std::function<void()> fn)
{
    auto *a = new QAction(panel);
    a->setObjectName(name);
    QObject::connect(a, &QAction::triggered, panel, [fn] { fn(); });
    panel->addAction(a);
    return a;
}
