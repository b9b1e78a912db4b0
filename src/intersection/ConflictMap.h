#pragma once
// The conflict matrix of a 2010 controller (SCS_M_INTCONFLICT): the numbering of
// the 32 load-switch outputs per lamp type, which pairs are edited and stored
// (the upper triangle; for four lamps without the "-" outputs), loading and
// saving by replacing every stored pair.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>

#include "foundation/TypeUnit.h"

namespace Conflict {

inline constexpr int Outputs = 32;
using TMatrix = std::array<std::array<int, Outputs>, Outputs>;   // [base][compared], 0 or 1

// "LSU #k" of output n, and its label ("G1"/"G2"; "PG", "A", "G", "-").
QString LsuLabel(TLcTypeEx type, int n);
QString OutputLabel(TLcTypeEx type, int n);
// A four-lamp output with remainder 3 has no conflicts.
bool Excluded(TLcTypeEx type, int n);
// Whether the pair (base y, compared x) is edited and stored.
bool Stored(TLcTypeEx type, int y, int x);
bool HasMap(TLcTypeEx type);
// The caption of the k-th LSU band over the compared outputs (k from 0 to 7):
// "LSU #k+1", for three lamps the two halves "LSU #2k+1" and "LSU #2k+2".
QString LsuBandCaption(TLcTypeEx type, int k);
// The style a cell of the grid takes (row: base output y; column: 0 to 2 the
// labels, 3 + x the compared output x): "stlSelection" for the first label
// column, "stlEven" for the other two, "stlReadOnly" where the pair is not
// edited, "stlEOP" for a pair holding 1, else "".
QString CellStyle(TLcTypeEx type, int y, int column, int value);
// The same with the grid's focus: the focused cell of an output column is
// "white"; a pair holding 1 keeps "stlEOP" and a read-only cell "stlReadOnly";
// the other cells of the focused output column and of the focused row take
// "stlSelection". The label columns keep their own styles.
QString CellStyle(TLcTypeEx type, int y, int column, int value, int focusedRow, int focusedColumn);
// The two halves of the k-th LSU band of a three-lamp controller ("LSU #2k+1",
// "LSU #2k+2"); empty for other types.
QStringList LsuBandHalves(TLcTypeEx type, int k);

// The stored matrix; pairs outside 0 to 31 (or not stored by the rule) are
// skipped. False with *error when the query fails.
bool Load(QSqlDatabase db, int lcNo, TLcTypeEx type, TMatrix *matrix, QString *error = nullptr);
// Replaces the stored matrix: one DELETE, then every stored pair (a 2004
// controller only deletes). Throws EGridSaveError; the caller holds the transaction.
int Save(QSqlDatabase db, int lcNo, TLcTypeEx type, const TMatrix &matrix);

} // namespace Conflict
