#pragma once
// The logic of the TOD plan editor without its window: the plan-class list by
// controller type, the phase grid and the time-plan grid (columns, loading,
// edits with their derived values, row paste, checks) and every statement the
// editor writes (phases with their cascade to virtual intersections, time
// plans, cycle plans, plan copies, the plan-number completeness marks).
//
// The grids are TGridModel records in the order the window shows them; the
// window only connects views, boxes and questions to these functions.
//
// Intersections:
//   - lcNo is the intersection shown; mainLcNo its main intersection when it is
//     a virtual one (> 0), else 0;
//   - a virtual intersection edits only its own movement numbers and links: its
//     phase rows are stored under its own number (inserted when it has none,
//     plan values 0) and its time plan (the main intersection's) is read only;
//   - an intersection without a group reads and writes the group rows of group 0.
#include <QColor>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

#include "core/GridHelpers.h"
#include "core/GridModel.h"
#include "foundation/TypeUnit.h"

namespace TcdvTod {

// Text table of the editor.
inline const QString TextTable = QStringLiteral("TFormTcdvTod");

// ------------------------------------------------------------ plan classes

// The entries of the plan-class list for a controller type (the class is the
// index + 1): two for a 2004 controller, seven for a 2010 one. lctNone gives
// the seven entries the window starts with.
QStringList PlanClassEntries(TLcTypeEx type);

struct TPlanClassSetup
{
    QStringList Entries;   // the list after the change
    int Index = 0;         // the list index after the change
    bool Changed = false;  // the entries were replaced
};
// The list after a change of controller type: the entries of the type (lctNone
// keeps the current ones) and the remembered index when it still fits, else 1.
TPlanClassSetup SetupByLcType(TLcTypeEx type, const QStringList &current, int currentIndex);

// ------------------------------------------------------------ phases

// Picture index of a movement number: -1 for none (empty, 0 or below), the
// number for 1..8, 17 and 18, m mod 9 + 1 otherwise (9..16 give 1..8).
int GetMvmtImageIndex(const QVariant &movement);

// The 15 visible columns in their order (then KeyValue and State).
QStringList PhaseVisibleColumns();
TGridColumns PhaseColumns();
// 16 rows, row (phase - 1) * 2 + ring - 1, state "N", no key.
void InitPhaseGrid(TGridModel *model);

// Fills the phase grid of an intersection and plan class. Rows outside the grid
// (phase not 1..8, ring not 1..2) are skipped. Returns the rows placed; -1 and
// *error on a failed query (the grid stays prepared).
int LoadPhaseGrid(QSqlDatabase db, TGridModel *model, int lcNo, int planClass, int mainLcNo,
                  QString *error = nullptr);

// Whether a phase cell may be edited: never the phase number, ring and picture;
// the dual flag only on phases 1, 3, 5, 7; for a virtual intersection only the
// movement number and the link.
bool PhaseCellEditable(const TGridModel &model, int rec, int col, bool isVirtual);

// Result of an edit or a paste: refused ones carry the message and change nothing.
struct TEditResult
{
    bool Ok = true;
    QString Message;
};

// The range a typed or pasted number must lie in ({0, -1} for a column without one).
QPair<int, int> ColumnRange(const TGridModel &model, int col);

// An operator's edit of a phase cell: checks editability and range, stores the
// value, sets the row state and refreshes the movement picture.
TEditResult EditPhaseCell(TGridModel *model, int rec, int col, const QVariant &value, bool isVirtual);
// The row state and derived values after a phase cell changed (the edit hook).
void PhaseCellEdited(TGridModel *model, int rec, int col);

// Row copy: the 15 visible fields, check boxes "Y"/"N".
QString PhaseRowText(const TGridModel &model, int rec);
// Row paste of a 15-field text into a record; any other count changes nothing
// (Ok, nothing written: *applied false). A field out of its column's range
// refuses the whole paste with a message.
TEditResult PastePhaseRow(TGridModel *model, int rec, const QString &text, bool isVirtual,
                          bool *applied = nullptr);

// Required movement number in changed rows, then no two rows with the same
// phase and ring.
TGridCheckResult CheckPhaseRows(const TGridModel &model);

// Writes one changed phase row (throws EGridSaveError). Deleted rows without a
// key write nothing.
void SavePhaseRow(QSqlDatabase db, const TGridRow &row, int lcNo, int planClass, bool isVirtual);
// Every changed row in one transaction (SavePhaseRow); the model is unchanged.
TGridSaveResult SavePhases(QSqlDatabase db, const TGridModel &model, int lcNo, int planClass,
                           bool isVirtual);

// ------------------------------------------------------------ time plans

// Cycle index of a time-plan record (0-based): 1 for 0, 2 for 1-3, ... 6 for 13-15.
int CycleIndexOfRecord(int rec);
// Whether the cycle columns of a record can be edited (records 0, 1, 4, 7, 10, 13).
bool IsCycleRecord(int rec);
// Whether a cycle value written on this record is copied to the two below (1, 4, 7, 10, 13).
bool CopiesCycleDown(int rec);

// The 26 columns of a row copy in their order (then Validate, KeyValue, State).
QStringList SplitVisibleColumns();
TGridColumns SplitColumns();
bool IsCycleColumn(const QString &name);
// 16 rows numbered 1..16, ring captions, cycle indexes, state "N", no key.
void InitSplitGrid(TGridModel *model);

// Fills the time-plan grid: the group's cycle plan, then the time plan of the
// intersection (of the main one for a virtual intersection). Indexes outside
// 1..6 / 1..16 are skipped. False and *error on a failed query.
bool LoadSplitGrid(QSqlDatabase db, TGridModel *model, int lcNo, int saNo, int plan, int mainLcNo,
                   QString *error = nullptr);

bool SplitCellEditable(int rec, const QString &column, bool isVirtual);
// An operator's edit of a time-plan cell (range, editability, state, derived values).
TEditResult EditSplitCell(TGridModel *model, int rec, int col, const QVariant &value, bool isVirtual);
// The range of a split cell's editor: minimum and maximum split plus the yellow
// time of the phase row of the column's phase and ring (empty cells 0); {0, 0}
// when the phase grid has no such row. `phaseRec` gets that row (-1 when none).
QPair<int, int> SplitEditorRange(const TGridModel &phases, const QString &splitColumn, int *phaseRec = nullptr);
// The split column of the time-plan grid that belongs to a phase row: INT_ASPLITn
// for ring 1, INT_BSPLITn for ring 2 (n = phase number 1..8); empty when the row
// holds no phase number or ring.
QString SplitColumnOfPhaseRow(const TGridModel &phases, int rec);
// Background of a phase-grid cell: the focused cell white (the selection colour
// for a virtual intersection); the focused column in the selection colour, the
// phase number, ring and movement columns read only otherwise (a virtual
// intersection's columns are not highlighted: its read-only plan columns keep
// the read-only colour). An invalid colour means no background.
QColor PhaseCellBackground(const TGridModel &phases, int rec, int col, int focusedRec, int focusedCol,
                           bool isVirtual);
// The row state and derived values after a time-plan cell changed: a cycle value
// of records 1, 4, 7, 10, 13 is copied to the two below; a cycle length above 0
// ticks the active flag; a split edit recomputes the ring's sum.
void SplitCellEdited(TGridModel *model, int rec, int col);
// The sum of a row's eight A (ring 1) or B (ring 2) splits, empty cells 0.
int SumSplits(const TGridModel &model, int rec, int ring);

QString SplitRowText(const TGridModel &model, int rec);
// Paste modes: 0 the cycle columns only, 1 all but the cycle columns, 2 all.
enum TSplitPasteMode { spmCycle = 0, spmSplits = 1, spmAll = 2 };
// The mode of "행 붙여넣기" for the focused column.
TSplitPasteMode PasteModeForColumn(const QString &column);
TEditResult PasteSplitRow(TGridModel *model, int rec, const QString &text, TSplitPasteMode mode,
                          bool isVirtual, bool *applied = nullptr);

// Validation: the first record whose A sum or else B sum differs from its cycle
// length; *mark "1" (A) or "2" (B). -1 when every row matches. The marks of
// the Validate column are set.
int ValidateSplits(TGridModel *model, QString *mark = nullptr);

// Cycle length and split index in every changed row.
TGridCheckResult CheckSplitRows(const TGridModel &model);

// The statements of one row (throw EGridSaveError).
void SaveTimePlanRow(QSqlDatabase db, TDBType type, TRowState state, const QString &keyValue,
                     int lcNo, int plan, int splitIndex, const QVariantMap &values);
void SaveCyclePlanRow(QSqlDatabase db, TDBType type, TRowState state, int saNo, int plan,
                      int cycleIndex, int cycleLength, int active, int ioRatio);

struct TSplitSaveResult
{
    bool Ok = true;
    int Count = 0;
    QString Error;
};
// The save of the time-plan page in one transaction: time-plan rows, then the
// cycle rows, then `more` (the group's day, special-day and week rows), which
// adds what it wrote to the count. keepDeletedCycles: the answer No to deleting
// the cycle plans of deleted rows. Rolled back on any failure; the model is
// unchanged.
TSplitSaveResult SaveSplits(QSqlDatabase db, TDBType type, const TGridModel &model, int lcNo, int saNo,
                            int plan, bool keepDeletedCycles,
                            const std::function<int()> &more = {});

// The statement of the plan-number completeness marks.
QString CheckPlanNumbersSql(TDBType type);
// CHK of plan numbers 1..10 (index 0..9); empty when the query fails or has no row.
QVector<int> CheckPlanNumbers(QSqlDatabase db, TDBType type, int saNo, int lcNo, QString *error = nullptr);

// Copies plan `plan` (cycle plan of the group, time plan of tplanLcNo) to every
// target number other than itself, in one transaction.
TSplitSaveResult CopyPlan(QSqlDatabase db, int saNo, int tplanLcNo, int plan, const QList<int> &targets);

// The plan number a spinner value gives: 1..10, empty or 0 giving 1.
int ClampPlanNumber(int value);

} // namespace TcdvTod
