#pragma once
// The logic of the group offset table without its window: one row per
// intersection of a group (or of all), the offsets of split indexes 1..16 of
// one plan number as columns P1..P16, the row paste of a copied row and the
// row writer, an upsert per split index that creates missing rows with zero
// splits. Pasted numbers are stored as numbers; only empty or non-numeric
// cells become NULL.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "core/GridHelpers.h"
#include "core/GridModel.h"
#include "foundation/TypeUnit.h"

namespace OffsetInfo {

inline const QString TextTable = QStringLiteral("TFormTcdvOffsetInfo");
inline constexpr int Splits = 16;

TGridColumns Columns();
// Rows of the group (all: every intersection) for a plan number, offsets filled
// from the time plans. -1 and *error on a failed query.
int LoadOffsets(QSqlDatabase db, TGridModel *model, bool all, int saNo, int plan, QString *error = nullptr);
// The plan number an Enter keeps: the typed one in 1..10, else the remembered one.
int AcceptPlanNumber(int typed, int remembered);
// Clears P1..P16 of a record and sets its state.
void ClearRow(TGridModel *model, int rec);
// Pastes a copied row (34 or 35 tab-separated fields: fields from the 20th on
// into P1, P2, ...). Any other text changes nothing; false then.
bool PasteRow(TGridModel *model, int rec, const QString &text);
// The upsert of one split index's offset; a new row gets zero splits.
QString SaveOffsetSql(TDBType type);
// The value stored for a cell: its number, NULL when empty or not a number.
QVariant OffsetValue(const QVariant &cell);
// The sixteen upserts of one changed row (throws EGridSaveError).
void SaveOffsetRow(QSqlDatabase db, TDBType type, const TGridRow &row);
TGridSaveResult SaveOffsets(QSqlDatabase db, TDBType type, const TGridModel &model);

} // namespace OffsetInfo
