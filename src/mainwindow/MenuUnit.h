#pragma once
// The main window's menu bar by the operator's grade and admin mode.
//
// MakeTwoLevelMenu fills the seven top-level menus of the main window from its
// actions and binds the grade rules to the actions they govern; SetActionMainMenu
// turns the array into a menu bar. What an operator sees depends only on the grade
// (1 administrator, 2 operator, 3 manager, 4 police) and admin mode.
//
// Grade rules set both Enabled and Visible of their action, once, when the menu is
// built (the grade does not change while the window lives):
//   AuthManager  grades 1 and 3
//   AuthOperator grades 1, 2 and 3
//   AuthAdmin    grade 1 (bound to no action)
//   AuthPolice   grades 1 to 4 (bound to no action)
#include <QStringList>
#include <functional>

#include "foundation/TypeUnit.h"

class QAction;
class QMenuBar;
class QFont;

bool AuthAdmin(int grade);
bool AuthManager(int grade);
bool AuthOperator(int grade);
bool AuthPolice(int grade);

// The actions governed by each rule.
const QStringList &AuthManagerActions();
const QStringList &AuthOperatorActions();

using TActionLookup = std::function<QAction *(const QString &name)>;

// Appends one entry; the caption is stored only when not empty.
void AddSubMenu(TArrayOvikMenu &SubMenu, QAction *Action, const QString &Caption = QString());

// Fills the seven top-level entries (captions from the main window's texts in the
// current language) and binds the grade rules to the actions.
void MakeTwoLevelMenu(const TActionLookup &action, bool AdminMode, int Grade, TArrayOvikTwoLevelMenu &Menu);

// Sets the enabled and visible state of the governed actions for a grade.
void ApplyGradeRules(const TActionLookup &action, int Grade);

// Builds the menu bar: the "Admin" menu only in admin mode, empty menus skipped,
// "-" entries without an action become separators.
void SetActionMainMenu(const TArrayOvikTwoLevelMenu &Menu, const QFont &MenuFont, bool AdminMode, QMenuBar *MenuBar);

// What the bar shows: one line per top-level menu, "caption: action, action, -, ..."
// with only the entries whose action is visible (tests).
QStringList MenuBarOutline(QMenuBar *bar);
