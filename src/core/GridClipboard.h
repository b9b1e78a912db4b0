#pragma once
// The row clipboard of the grids: a row is copied as text without captions,
// its fields in the given column order separated by tab characters, check-box
// columns as "Y" (1) and "N" (anything else); a pasted text is split back into
// its fields at tab characters (a final line break is dropped). A paste checks
// the field count itself: a text of another count is not a row of that grid.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TGridModel;

// Whether a column is edited with the shared check box (1 "Y", 0 "N").
bool IsCheckColumn(const TGridModel &model, int col);
// The text a row copy puts on the clipboard.
QString GridRowToClipboardText(const TGridModel &model, int rec, const QList<int> &columns);
// The fields of a clipboard text.
QStringList ClipboardRowFields(const QString &text);
// A check-box field as stored: 1 for exactly "Y", 0 otherwise.
int CheckFieldValue(const QString &field);
// A number field as a spin column takes it: invalid (NULL) for an empty field,
// the integer, or 0 when the field is not a number.
QVariant SpinFieldValue(const QString &field);
