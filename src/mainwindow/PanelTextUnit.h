#pragma once
// Texts of the main window's panels and host actions (the VIP panel, the
// emergency-vehicle panel, host requests, bookmarks): looked up in the main
// window's table [TfrmMain] (then [TDM]), and the C-style formatting the stored
// texts use ("%d", "%s", "%%").
#include <QString>
#include <QVariantList>

// Text of `key` in the main window's table, active language.
QString PanelText(const QString &key);
// The application title for message boxes (the data module's, else the table's).
QString PanelAppTitle();

// Fills %d and %s in order with args; "%%" gives "%". A placeholder without an
// argument is left as it stands.
QString PanelFormat(const QString &format, const QVariantList &args);

// A page variable made of a prefix and an identifier from outside ("M_" + service,
// "bus_" + unit, "car_" + vehicle): letters and digits stay, every other character
// becomes "_x" and four hexadecimal digits, so each identifier keeps its own valid
// name and nothing but a name reaches the script.
QString PanelJsVar(const QString &prefix, const QString &id);
