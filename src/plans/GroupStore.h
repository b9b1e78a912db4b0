#pragma once
// The data side of the group editors, without windows: the columns and statements
// of the group master list (SCS_M_SAOPERATE), the merge links (SCS_M_SAMERGE) and
// the simple join variables, the checks the editors run before a save, and the
// rows of the group and cycle-length overviews.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

#include "core/GridModel.h"

namespace GroupStore {

inline constexpr int MaxGroupNo = 200;
inline constexpr int MaxMergeLinks = 4;

// The 23 columns of the master list in their order (never SA_LATLNGS).
const QStringList &MasterColumns();
// The thirteen link columns of a merge row (SA_NO excluded).
const QStringList &MergeColumns();
// SA_SAJOINVARIABLE1 .. SA_SAJOINVARIABLE6.
const QStringList &JoinColumns();

// A whole number of a cell: empty or unreadable gives 0.
int CellInt(const QVariant &value);

// The group-number check of the changed records (state not "N", record order):
// the first whose number in `column` is below 1 (empty or 0: no group) or above
// the maximum. Record -1 when every number fits.
struct TNumberCheck
{
    int Record = -1;
    bool OverMax = false; // else: missing (below 1)
};
TNumberCheck CheckGroupNumbers(const TGridModel &model, int column);

// One changed master row: "M" updates the row found by the key as loaded (all 23
// columns, the number included), "I" inserts it, "D" deletes only that group's
// SCS_M_SAOPERATE row. Empty numbers are written as 0. Throws on failure.
void SaveMasterRow(QSqlDatabase db, const TGridRow &row);

// The SELECT of the master list (SA_NO, SA_NAME, then the parameters).
QString MasterListSql();

// One changed merge link of group `saNo`: the key as loaded is "SA_NO,SA_LINKINDEX".
void SaveMergeRow(QSqlDatabase db, int saNo, const TGridRow &row);
// The simple join variables of group `saNo`: "M" writes the six values, "D" sets
// them NULL, "I" writes nothing.
void SaveJoinVariables(QSqlDatabase db, int saNo, const TGridRow &row);

// Texts of the coded merge columns, by the keys of the window's text table:
// condition 0..3 -> "strMergeCond0".."strMergeCond3", axis 0..1 -> "strAxis0".."strAxis1";
// any other value has no key (an empty text).
QString MergeConditionKey(const QVariant &value);
QString AxisKey(const QVariant &value);

// The group overview: members of a group (INT_LCNO, INT_NAME, INT_IMPORFLAG,
// INT_SAINDEX) and its merge links, with the condition and axis columns turned
// into texts through `text` (a key as above -> the text in the current language).
struct TRows
{
    bool Ok = false;
    QString Error;
    QStringList Columns;
    QList<QVariantList> Rows;
};
TRows GroupMembers(QSqlDatabase db, int saNo);
TRows GroupMerges(QSqlDatabase db, int saNo, const std::function<QString(const QString &)> &text);
// The cycle-length overview: SA_NO, SA_NAME, SA_APLAN, SA_CYCLELENGTH1..16 for
// every group and plan (0 where the plan has no such index).
TRows CycleLengths(QSqlDatabase db);

} // namespace GroupStore
