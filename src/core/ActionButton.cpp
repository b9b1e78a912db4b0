#include "core/ActionButton.h"

#include <QAction>
#include <QPushButton>

QPushButton *NewActionButton(QWidget *parent, const char *name, QAction *action, bool followVisible)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, b, [b, action, followVisible] {
        b->setText(action->text());
        b->setEnabled(action->isEnabled());
        if (followVisible)
            b->setVisible(action->isVisible());
    });
    return b;
}

void SetActionButtonTexts(std::initializer_list<std::pair<QPushButton *, QAction *>> buttons)
{
    for (const auto &[b, a] : buttons)
        if (b)
            b->setText(a->text());
}
