#pragma once
// The logic of the reservation plan editor without its window: the columns and
// their value lists by controller type, loading, the edit rules (row state,
// the day limit of the chosen month, the EMAP number that only control type 4
// of a 2010 controller keeps), the new-row proposal, the checks and the row
// statements of SCS_M_INTFPLAN.
//
// A controller downloads entries 1..10 only: a new row is not proposed beyond
// ten entries and an index outside 1..10 is refused by the check.
#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/GridHelpers.h"
#include "core/GridModel.h"
#include "foundation/TypeUnit.h"

namespace ReservePlan {

inline const QString TextTable = QStringLiteral("TFormTcdvReservePlan");
inline constexpr int MaxEntries = 10;

// The controller type of an intersection number (the data module's look-up by default).
using TLcTypeOf = std::function<TLcTypeEx(int lcNo)>;

bool Is2010(TLcTypeEx type);

// Value lists of the day-of-week and control-type columns (0..7 for 2004,
// 0..12 / 0..15 for 2010) and the EMAP numbers 6..10.
QList<TGridItem> WeekItems(TLcTypeEx type);
QList<TGridItem> FunctionItems(TLcTypeEx type);
QList<TGridItem> EmapItems();

// The eleven columns in their order (then KeyValue and State); the lists are
// those of `type`.
QStringList DataColumns();
TGridColumns Columns(TLcTypeEx type = lct2004);
// Gives the day-of-week and control-type columns the lists of another type.
void ApplyLcType(TGridModel *model, TLcTypeEx type);

// Loads the entries of one intersection (all = false) or of every one, ordered
// by intersection and index, key "lcno,index", state "N". -1 and *error on a
// failed query.
int LoadReservePlans(QSqlDatabase db, TGridModel *model, bool all, int lcNo, QString *error = nullptr);

// Days of a month in a year (0 for a month outside 1..12).
int DaysInMonth(int month, int year);

// Proposal for a new row: one intersection gives its number and the number of
// rows in the grid + 1 as index; "All" gives an empty row. Refused with a
// message when the intersection already has ten entries.
struct TNewRow
{
    bool Ok = true;
    QString Message;
    QVariant LcNo;
    QVariant Index;
};
TNewRow ProposeNewRow(const TGridModel &model, bool all, int lcNo);
// Appends the proposed row (the grid's new record); -1 when refused.
int AppendProposedRow(TGridModel *model, const TNewRow &row);

struct TEditResult
{
    bool Ok = true;
    QString Message;
};

// The edit rules of the grid. The clock of the day limit and the controller
// type look-up can be replaced (tests).
class TReservePlanEdits
{
public:
    std::function<QDate()> Today = [] { return QDate::currentDate(); };
    TLcTypeOf LcTypeOf;   // empty: GetLcTypeEx
    // The maximum of the day editor (one for all rows); a month other than 0 sets it.
    int DayMax = 31;

    TLcTypeEx TypeOf(int lcNo) const;
    // An operator's edit: the value must lie in the column's range (the day up
    // to DayMax); then stored and CellEdited runs.
    TEditResult Edit(TGridModel *model, int rec, int col, const QVariant &value);
    // After a changed cell: state "I"/"M"; a month m > 0 sets DayMax to its
    // length in the clock's year and lowers a larger day; a new control type
    // other than 4 on a 2010 intersection clears the EMAP number to 0.
    void CellEdited(TGridModel *model, int rec, int col);
    // Whether the EMAP cell opens: a 2010 type (of the focused row) and control type 4.
    static bool EmapEditable(const TGridModel &model, int rec, TLcTypeEx type);
    // Whether the EMAP cell shows its value: control type 4.
    static bool EmapShown(const TGridModel &model, int rec);
};

// The save's check: required intersection and index, no two rows with one
// key, the index in 1..10. Message empty when fine.
struct TCheckResult
{
    bool Ok = true;
    QString Message;
    int Record = -1;
    int Column = -1;
};
TCheckResult CheckReservePlanRows(const TGridModel &model);

// The statement of one changed row (throws EGridSaveError). Every value is an
// integer, an empty cell 0; the EMAP number is kept only for control type 4 on
// a 2010 intersection. "M" moves the key as loaded to the row's key.
void SaveReservePlanRow(QSqlDatabase db, const TGridRow &row, const TLcTypeOf &lcTypeOf = {});
// Every changed row in one transaction; the model is unchanged.
TGridSaveResult SaveReservePlans(QSqlDatabase db, const TGridModel &model, const TLcTypeOf &lcTypeOf = {});

} // namespace ReservePlan
