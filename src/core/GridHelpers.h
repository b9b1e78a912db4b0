#pragma once
// Row-state helpers of the grid kit that do not need a controller: numbered
// grids, state after an edit, delete rules, validation, and the save protocol
// itself (one transaction, every changed row through a caller's procedure).
//
// The checks and the save protocol work on the model alone (no window), so tests
// drive them directly; the view versions focus the offending cell as well.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>
#include <stdexcept>

#include "core/GridModel.h"
#include "foundation/TypeUnit.h"

class TGridView;
class QSqlQuery;

// ---------------------------------------------------------------- errors

// A failure inside a save procedure. Any std::exception ends a save; this one
// carries the text shown as the failure box's detail.
class EGridSaveError : public std::runtime_error
{
public:
    explicit EGridSaveError(const QString &message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}
    QString Message() const { return FMessage; }

private:
    QString FMessage;
};

// Runs a prepared query; throws EGridSaveError with the database's text when it fails.
void ExecOrThrow(QSqlQuery &query);
// Prepares `sql` on `db`, binds the named values (":NAME" or "NAME") and runs it; throws.
// Returns the number of rows affected.
int ExecSqlOrThrow(QSqlDatabase db, const QString &sql, const QVariantMap &params);
// A value for a bound parameter: an empty text becomes NULL.
QVariant NullIfEmpty(const QVariant &value);

// ---------------------------------------------------------------- transactions

// Whether a transaction is open on the connection. MariaDB is asked
// (@@in_transaction); other databases answer from what StartTransaction /
// Commit / Rollback below recorded.
bool ConInTransaction(QSqlDatabase db);
bool ConStartTransaction(QSqlDatabase db);
bool ConCommit(QSqlDatabase db);
bool ConRollback(QSqlDatabase db);

// ---------------------------------------------------------------- numbered grids

// Empties the grid and creates `rows` records numbered 1 up in `numberCol`,
// state "N", key as loaded empty (InitTableView).
void InitTableView(TGridModel *model, int numberCol, int stateCol, int rows);
void InitTableView(TGridView *view, int numberCol, int stateCol, int rows);
// Record r gets phase r div 2 + 1 and ring r mod 2 + 1, state "N".
void InitPhaseTableView(TGridModel *model, int phaseCol, int ringCol, int rows, int stateCol);
void InitPhaseTableView(TGridView *view, int phaseCol, int ringCol, int rows, int stateCol);
// `rows` records with state "N" and nothing else.
void InitTableView_Without_KeyValue(TGridModel *model, int stateCol, int rows);
void InitTableView_Without_KeyValue(TGridView *view, int stateCol, int rows);

// Merges equal neighbouring cells of a column (in display order) into one cell
// spanning their rows; the spans set before on the view are cleared first.
// Call again after every load.
void MergeEqualNeighbourCells(TGridView *view, int col);

// ---------------------------------------------------------------- states

// The state of a record after an edit: "I" without a key as loaded, "M" with
// one; a record marked "D" stays "D".
QString GetStateVal(const TGridModel *model, int rec, int stateCol, int keyCol);
// The same for the focused record of a view ("" when none is focused).
QString GetStateVal(const TGridView *view, int stateCol, int keyCol);
QString GetStateVal_BandedTableView(const TGridView *view, int stateCol, int keyCol);
QString GetStateVal_BandedTableView_By_RecIndex(const TGridView *view, int rec, int stateCol, int keyCol);

// Delete rule on the focused record: "D" when it has a key as loaded, else removed.
void DelExecute(TGridView *view, int keyCol, int stateCol);
// The focused record becomes "D" and stays, key or not.
void DelNoAddExecute(TGridView *view, int stateCol);

// ---------------------------------------------------------------- checks

struct TGridCheckResult
{
    bool Ok = true;
    enum Kind { None, Required, Duplicate } Problem = None;
    int Record = -1;
    int Column = -1;
};

// Visits the changed records (state not "N"; empty counts as "N") in record
// order. For each: every required column must hold a text; with dupCheck, no
// other record (any state, deleted ones included) may hold the same values in
// all `keyCols`. With skipEmptyKeys, records whose key text is empty are not
// compared (Duplicate). The first problem ends the check.
TGridCheckResult CheckGridRows(const TGridModel &model, const QList<int> &keyCols,
                               const QList<int> &requiredCols, int stateCol, bool dupCheck,
                               bool skipEmptyKeys = false);

// ValidateEx: the check above on a view; focuses the offending cell. `msg` is
// requiredMsg or dupMsg.
TRtnBoolStr ValidateEx(TGridView *view, const QList<int> &keyCols, const QList<int> &requiredCols,
                       int stateCol, bool dupCheck, const QString &requiredMsg,
                       const QString &dupMsg);
// Validate: required = the Tag-1 columns, key = keyCol; texts T_CheckRequiredField
// and T_DuplicateDataMsg of the data module.
TRtnBoolStr Validate(TGridView *view, int keyCol, int stateCol, bool dupCheck);
// The Tag-1 columns of a model.
QList<int> RequiredColumns(const TGridModel &model);

// ---------------------------------------------------------------- save protocol

struct TGridSaveResult
{
    bool Ok = true;
    int Count = 0;          // records passed on to the procedure
    QString Error;          // reason of a failure (the exception's text)
    int FailedRecord = -1;  // record being saved when it failed (-1: commit or protocol)
    int LastRecord = -1;    // last record passed on
    QString LastKey;        // its key as loaded ("" when none)
    bool OwnTransaction = false; // the save started (and so ended) the transaction
};

// The procedure that writes one changed row (throws to fail the save).
using TGridRowSaveProc = std::function<void(const TGridRow &row)>;

// The save protocol: starts a transaction on `db` unless one is open; for every
// record in record order whose state is not "N" (empty counts as "N"), calls
// proc with the row (values by name, state, key as loaded). A record other than
// inserted without a key as loaded ends the save. Any exception of the procedure
// ends the save; a transaction this call started is committed after the last row
// or rolled back on a failure, one the caller had open is left to the caller
// (neither committed nor rolled back). The model is not changed at all, so after
// a failure the grid still holds every edit and state.
TGridSaveResult SaveGridRows(const TGridModel &model, QSqlDatabase db, const TGridRowSaveProc &proc);
