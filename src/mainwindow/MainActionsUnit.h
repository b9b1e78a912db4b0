#pragma once
// The main window's action list and its window openers.
//
// Every action of the main window is one row of MainActionDefs(): its name, how it
// opens its window (the opening patterns below), which part of the current
// selection it hands over and its keyboard shortcut. Captions are the keys
// "<name>.Caption" of the window's language table.
//
// Windows are found through the registry of window classes (TMainOpeners in
// core/MainContracts.h), into which every library registers its own windows. An
// action whose window class is not registered opens nothing and says so in the
// debug output (MissingWindowClasses lists them). A non-modal window exists once:
// it is kept in the one-instance window registry (WindowRegistry.h) under its class
// name, so executing its action again brings it to the front and applies no setter.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

#include "core/MainContracts.h"

class QRect;


// How an action opens its window.
enum TOpenPattern {
    opNone = 0,     // opens no window (a handler of its own, or no effect)
    opOwned,        // one window owned by the main window, setters applied at creation
    opGeneric,      // one window owned by the application, no setter
    opApplication,  // one window owned by the application, with setters
    opModalFreed,   // modal dialog, freed after it closes
    opModal,        // modal tool, a new one each time
    opResident      // created at start-up, shown or brought to the front
};

// What of the selection an action hands over.
enum THandOver {
    hoNone = 0,
    hoGroup,        // the setters get FSA_ID
    hoLc,           // the setters get FTCDV_ID
    hoGroupThenLc,  // first setter FSA_ID, second FTCDV_ID
    hoLcThenGroup,  // first setter FTCDV_ID, second FSA_ID
    hoLcOrGroup     // TCDV_ID := FTCDV_ID when FSA_ID <= 0 or an intersection is
                    // selected, otherwise SA_ID := FSA_ID
};

struct TMainActionDef
{
    const char *Name;
    TOpenPattern Pattern;
    const char *WindowClass; // empty for opNone
    THandOver HandOver;
    const char *Setter1;     // entry property names (TCDV_ID, TcdvID, SA_ID, SaID)
    const char *Setter2;
    const char *Shortcut;    // fixed shortcut ("" none; the ten shortcuts that work
                             // only while the main window is active are not here)
    bool Separator;
    bool NoEffect;           // exists with a caption but does nothing
};

// Every action of the main window, in the order of the action list.
const QList<TMainActionDef> &MainActionDefs();
const TMainActionDef *FindMainActionDef(const QString &name);
// The shortcuts given while the main window is active (removed when it is not):
// action name, key sequence.
const QList<QPair<const char *, const char *>> &MainActiveShortcuts();

// The setters an action applies for a selection, in order (name, value).
QList<QPair<QString, QVariant>> HandOverSetters(const TMainActionDef &def, int saId, int tcdvId);

// Opens the window of an action by its pattern (one instance of a non-modal window:
// an open one is only brought to the front; modal ones are freed after use), applies
// the handed-over setters and the placement its registration asks for. set: the live
// state set (positions of the selected intersection); mainGeometry: the main
// window's position (frame) and size. False when the class is not registered or its
// factory made nothing.
bool OpenActionWindow(const TMainActionDef &def, const TOpenContext &ctx, const TLC_INFO_SET &set,
                      const QRect &mainGeometry);

// Window classes of the action list that nothing has registered yet (resident
// windows excepted).
QStringList MissingWindowClasses();
