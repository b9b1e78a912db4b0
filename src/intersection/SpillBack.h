#pragma once
// The spill-back phases of the intersections (SCS_M_INTSPILLBACK2) without their
// window: per intersection and approach direction (1 to 8, the controller's
// eight entries) the ring and phase kept as main and sub phase when the exit is
// blocked. Columns, search, the direction check and the row statements.
#include <QSqlDatabase>
#include <QSqlQuery>

#include "core/GridHelpers.h"
#include "core/GridModel.h"

namespace SpillBack {

inline constexpr int MaxDirection = 8;
inline const QStringList PrimaryKeys{QStringLiteral("INT_LCNO"), QStringLiteral("INT_SPILLBACKINDEX")};

TGridColumns Columns();
QString SearchSql(bool all);
void LoadRows(TGridModel &model, QSqlQuery &query);
// The direction of a new row: the number of rows (the new one included) modulo 8.
int NewDirection(int rowCount);
// The first changed record (state other than "N" and empty) whose direction is
// not 1 to 8, -1 when none.
int BadDirection(const TGridModel &model);
// The statement of one changed row (throws EGridSaveError); empty cells are 0.
void SaveRow(QSqlDatabase db, const TGridRow &row);

} // namespace SpillBack
