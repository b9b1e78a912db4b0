#pragma once
// Push buttons that stand for actions: clicking one triggers its action, and it
// follows the action's text and enabled state (and, where asked, its visibility)
// whenever the action changes.
#include <QString>
#include <initializer_list>
#include <utility>

class QAction;
class QPushButton;
class QWidget;

QPushButton *NewActionButton(QWidget *parent, const char *name, QAction *action, bool followVisible = false);
// Gives each existing button its action's current text (after a language change).
void SetActionButtonTexts(std::initializer_list<std::pair<QPushButton *, QAction *>> buttons);
