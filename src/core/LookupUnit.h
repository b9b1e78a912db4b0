#pragma once
// Small routines that windows of every subsystem call: one-row look-ups of an
// intersection's or group's name, type and group in the centre database; the
// signal-map cell converter, file-name cleaning and packet time conversion; the
// shared key handlers of the number edits with which operators pick an
// intersection or group by number; and three grid/focus routines.
//
// The look-ups run one statement each on the data module's connection through
// DM->QueryOpen (a database error is shown there) and return their default for a
// number below 1, no row, or an error. Nothing is cached. User-interface thread only.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

#include "foundation/TypeUnit.h"

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QWidget;
class TGridView;

// ---------------------------------------------------------------- look-ups

QString GetLcName(int lcNo);        // name; the number as text when NULL; DM->T_NotExist
bool LcExists(int lcNo);            // an intersection of this number is stored
bool SaExists(int saNo);            // a group of this number is stored
int GetLcType(int lcNo);            // INT_LCTYPE (NULL 0); default 1
bool IsLc2010(int lcNo);            // false only for type 1; default true
int GetLcImporFlag(int lcNo);       // 0 MI, 1 CI, 2 SCI, 3 RAMP; default 0
QString GetSaName(int saNo);        // group name or number as text; DM->T_NotExist
QString GetLcSaName(int lcNo);      // name of the intersection's group; DM->T_NotExist
int GetLcSaNo(int lcNo);            // group number (inner join with the groups); default 0
TLcTypeEx GetLcTypeEx(int lcNo);    // default lct2004

// ---------------------------------------------------------------- converters

// The code of one signal-map cell typed as decimal digits (see the signal-map
// editors): kind = TLcTypeEx ordinal, flag = parity of the map row (1 odd).
// A value outside the allowed set gives 0; an allowed value other than 0 is the
// text read as hexadecimal ("41" gives 65). Negative numbers give 0.
int StrToSignalCode(const QString &text, quint8 kind, quint8 flag);
// The text without " * / < > ? \ | (the colon stays).
QString RemoveInvalidFileChars(const QString &text);
// Seconds since 1 January 1970 (first four bytes, signed, host order) plus 540
// minutes; 0 gives the current local date and time.
QDateTime PacketTimeToDateTime(qint32 seconds);
QDateTime PacketTimeToDateTime(const void *time);
QDateTime PacketTimeToDateTime(const QByteArray &time);

// ---------------------------------------------------------------- number edits

constexpr int IdEditKindLc = 0; // the edit holds an intersection number
constexpr int IdEditKindSa = 1; // a group number

// Key-down handler of a number edit (call from an event filter or keyPressEvent):
// Up adds 1 (no upper limit), Down subtracts 1 while above 0; both refresh the
// edit and the labels (either may be null) and are swallowed; Ctrl+V, Ctrl+C,
// Ctrl+X paste, copy, cut (cut empties the whole edit). True when swallowed.
bool IdEditKeyDown(QLineEdit *edit, QKeyEvent *event, QLabel *nameLabel, int kind,
                   QLabel *groupLabel = nullptr);
// Key-press handler: Enter is swallowed and calls setter(number, 0 when not a
// number), focuses the edit when setFocusAfter, then runs afterProc; Backspace,
// "." and digits pass; every other character is swallowed. True when swallowed.
bool IdEditKeyPress(QLineEdit *edit, QKeyEvent *event, const std::function<void()> &afterProc,
                    const std::function<void(int)> &setter, bool setFocusAfter);
// Enter is swallowed and the action (when given) triggered. True when swallowed.
bool EnterKeyExecute(QKeyEvent *event, QAction *action);
// The refresh step: text = number, caret kept, labels updated.
void UpdateIdEditLabels(QLineEdit *edit, int number, QLabel *nameLabel, int kind, QLabel *groupLabel);
// How Up and Down step a number edit.
enum class TIdEditStep {
    // Up and Down only show the next number (IdEditKeyDown); Enter applies it.
    Show,
    // The number boxes of the editors: Up applies the number plus one; Down applies
    // the number minus one when the current number names an existing intersection
    // (group), else the number itself again; nothing is applied unless the result is
    // above 0. Only decimal digits may be typed. Enter applies the number as well.
    Apply,
};
// The one key filter of the number edits: installs both handlers on an edit
// (Enter never reaches the window's default button).
void InstallIdEditKeys(QLineEdit *edit, int kind, QLabel *nameLabel, QLabel *groupLabel,
                       std::function<void(int)> setter, std::function<void()> afterProc = {},
                       bool setFocusAfter = false, TIdEditStep step = TIdEditStep::Show);
// Installs EnterKeyExecute on a search edit.
void InstallEnterKeyExecute(QLineEdit *edit, QAction *action);

// ---------------------------------------------------------------- grid and focus

// True when the widget that has the keyboard focus lies inside the container.
bool IsFocusInside(const QWidget *container);
// When the text is a non-zero integer: focuses the first displayed row whose
// value in column `itemIndex` equals the text exactly, and scrolls to it.
void LocateGridRow(TGridView *view, int itemIndex, const QString &text);
// Numbers the tags consecutively from startValue: the bands (bands true) or the
// columns in order.
void SetGridItemTags(TGridView *view, bool bands, int startValue);
