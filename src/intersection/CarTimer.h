#pragma once
// The countdown timer settings of the intersections of a group (SCS_M_CARTIMER)
// without their window: for each of the 16 displays a straight and a left-turn
// state byte, of which the editor shows and writes the four flags isEnable,
// isWireless, isPowerOff and isSpecial (bits 0 to 3; bits 4 to 7 are written 0).
// One grid record per intersection: INT_SANO, INT_LCNO, then eight check cells
// per display ("<display>_1" to "_4" the straight flags, "_5" to "_8" the
// left-turn flags, each in the order above) and the hidden DB flag (1 when the
// intersection has a stored row).
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include "core/GridModel.h"
#include "foundation/TypeUnit.h"

namespace CarTimer {

// The 16 displays in stored order: NN EE SS WW NE SE SW EW R1 .. R8.
const QStringList &Displays();
// The 32 byte columns: the 16 straight ones, then NNL .. R8L.
const QStringList &ByteColumns();
// The bit-field indexes of the four flags, in line order.
inline constexpr int FlagIndexes[4] = {1, 257, 513, 769};
// The check cell of a display and line (1 to 8).
QString CellName(const QString &display, int line);

TGridColumns Columns();
// The search: every intersection of ":INT_SANO" (or of all groups) with its
// stored bytes and DB.
QString SearchSql(bool all);
void LoadRows(TGridModel &model, QSqlQuery &query);
// The byte of a display's half (left: lines 5 to 8) from its four cells.
quint8 BuildByte(const TGridRow &row, const QString &display, bool left);
// The state of a record after an edit: "I" while it has no stored row, else the
// usual rule ("" and "I" -> "I", "N" and "M" -> "M", "D" stays).
QString StateAfterEdit(const QString &state, bool stored);
// The statement of one changed record (throws EGridSaveError). The left-turn south
// column SSL is named as the database type accepts it.
void SaveRow(QSqlDatabase db, TDBType dbType, const TGridRow &row);

} // namespace CarTimer
