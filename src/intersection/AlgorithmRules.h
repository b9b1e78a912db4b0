#pragma once
// The algorithm parameters of one intersection without a window: the panel's
// parameters (table, kind, default), the statements of the panel and of the
// link-queue and spill-back rows, the row-state rule of the two direction
// grids, their direction check and the defaults of the link-queue row.
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "core/GridHelpers.h"
#include "core/GridModel.h"

namespace Algorithm {

enum class TTable { Algorithm, Queue }; // SCS_M_INTALGORITHM, SCS_M_INTQUEUE

struct TParam
{
    QString Column;
    TTable Table = TTable::Algorithm;
    int Choices = 0;   // number of items of a radio group; 0 for a number
    int Default = -1;  // the value Default sets; -1 when Default leaves it
};

// The panel's parameters in the order of the panel.
const QList<TParam> &Params();
inline constexpr int MaxNumber = 999999;

// Writes both panel tables (COUNT, then UPDATE or INSERT of the row of lcNo);
// a column missing from `values` is stored as 0. Throws EGridSaveError.
void SavePanel(QSqlDatabase db, int lcNo, const QHash<QString, int> &values);

// One direction grid: its table, direction column and value columns (the
// direction first).
struct TGridTable
{
    QString Table;
    QString Index;
    QStringList Values;
};
const TGridTable &LinkQueue();
const TGridTable &SpillBack();

// The statement of one changed row (key as loaded "lc,dir"; empty cells as 0).
// A row marked deleted that was never stored writes nothing. Throws.
void SaveGridRow(QSqlDatabase db, const TGridTable &table, int lcNo, const TGridRow &row);

// The state of a direction-grid row after an edit: empty -> "I", "N" -> "I"
// without a key as loaded and "M" with one; "I", "M" and "D" stay.
QString StateAfterEdit(const QString &state, bool hasKey);

// The link-queue row of direction 1 with its default values: added (state "I",
// key "lcNo,1") when the grid has none, else marked "M" unless it is "I".
// Returns its record.
int ApplyLinkQueueDefaults(TGridModel *model, int lcNo);

// Changed rows need a direction (a prepared row marked for deletion excepted);
// no two rows (any state, deleted ones included) may hold the same direction.
TGridCheckResult CheckDirections(const TGridModel &model);

} // namespace Algorithm
