#pragma once
// The flash maps of SCS_M_INTFLSMAP: the lamp codes of the load-switch outputs
// by controller type and column kind (text shown <-> value stored), which rows
// may be pasted onto which, the state rule of an edited row and the statement
// of one changed row.
#include <QRect>
#include <QSqlDatabase>
#include <QString>
#include <QVariantMap>

#include "core/GridModel.h"
#include "foundation/TypeUnit.h"

namespace Flash {

enum class TKind { Vehicle, Pedestrian };

// The text of a stored code ("" when it matches none; three lamps "P1;P2").
QString CodeText(TLcTypeEx type, TKind kind, const QVariant &value);
// The value of a text (0 for an empty or unknown text; per half for three lamps).
int CodeValue(TLcTypeEx type, TKind kind, const QString &text);
// The texts of a drop-down list (three lamps: the list of one half).
QStringList CodeTexts(TLcTypeEx type, TKind kind);

// The halves of a three-lamp output cell are the TLsuType2 of the type unit.

// The text of one half of a three-lamp cell ("G0;YF": P1 "G0", P2 "YF").
QString HalfText(const QString &text, TLsuType2 half);
// The cell text with one half replaced; the other half keeps its value.
QString WithHalf(const QString &text, TLsuType2 half, const QString &code);
// The rectangle of a half of a cell (P1 the left, P2 the right half).
QRect HalfRect(const QRect &cell, TLsuType2 half);
// The drop-down button of a half: at the right end of the half.
QRect HalfButtonRect(const QRect &cell, TLsuType2 half, int buttonWidth);
// The half whose button holds the point (ltNone elsewhere).
TLsuType2 HalfButtonAt(const QRect &cell, const QPoint &pos, int buttonWidth);
// The value list of a half: under the cell, from the cell's left edge (P1) or
// its middle (P2) to the end of that half's button.
QRect HalfListRect(const QRect &cell, TLsuType2 half, int buttonWidth, int listHeight);

// 2004 and four-lamp rows paste onto each other; three-lamp rows only onto three-lamp rows.
bool PasteCompatible(TLcTypeEx copied, TLcTypeEx target);

// The state of a row after an edit: a row that is not stored ("DB" 0) is an insert.
QString StateAfterEdit(const QString &state, bool stored);

// The statement of one changed row. `texts` holds INT_VEH1..INT_PED8 as texts,
// INT_FLASHTIME and INT_VARIABCNTL; outputs 7 and 8 of a 2004 controller are
// stored as NULL. Throws EGridSaveError.
void SaveRow(QSqlDatabase db, TLcTypeEx type, int lcNo, TRowState state, const QString &keyValue,
             const QVariantMap &texts);

} // namespace Flash
