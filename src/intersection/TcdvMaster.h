#pragma once
// The intersection master list (SCS_M_INTLC) without its window: the columns of
// the list, the checks that run before any statement, and the per-row save with
// the virtual-intersection rules (type and lamp taken from the main, the main's
// phase rows copied), the type handed on to the virtual intersections and the
// renumbering of every per-intersection table.
//
// A save is all or nothing: Check() refuses every problem before a statement
// runs, and Save() writes every changed row inside one transaction.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "core/GridHelpers.h"
#include "core/GridModel.h"

namespace TcdvMaster {

inline constexpr int MaxLcNo = 1024;
// The list window: its width beyond the columns' (row indicator, margins, scroll
// bar), and the widening while the language is English.
inline constexpr int ListFrameWidth = 60;
inline constexpr int EnglishExtraWidth = 10;
// A dotted IPv4 address, each part 0 to 255.
inline const QString IpPattern =
    QStringLiteral("^((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\.){3}(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])$");

// The nineteen columns of SCS_M_INTLC the list reads and writes, in display order.
const QStringList &Fields();
// The list query (group filter ":INT_SANO" unless allGroups) with its order clause.
QString ListSql(bool allGroups, const QString &order);
inline const QString DefaultOrder = QStringLiteral(" ORDER BY INT_SANO, INT_SAINDEX, INT_LCNO ");

// The tables whose rows follow a renumbering, in the order they are moved: the
// sixteen per-intersection tables of the controller data, then the four of the
// VMS, car timer and second spill-back data. A table the database lacks is skipped.
const QStringList &RenumberTables();
const QStringList &FollowingTables();

// A row is virtual when it names a main intersection (MAIN_LCNO 1 or more).
bool IsVirtualMain(const QVariant &mainLcNo);
// The cells of a virtual row that take fixed values and cannot be edited.
const QStringList &VirtualFixedFields();

// Whether a group exists in SCS_M_SAOPERATE.
bool GroupExists(QSqlDatabase db, int saNo);

struct TCheck
{
    enum Problem { None, Required, Duplicate, TooLarge, UnknownGroup, HeldNumber };
    Problem Kind = None;
    int Record = -1;
    QString Column;
    bool Ok() const { return Kind == None; }
};

// Every changed row (state not "N"), in record order: the required cells
// (INT_LCNO, NODE_ID, INT_SANO, and INT_LCNO not 0); no other row of the list
// (deleted ones included) with the same INT_LCNO; INT_LCNO at most 1024; the
// group registered; and a new or changed number that SCS_M_INTLC already holds
// for another intersection (a swap of two numbers included) is refused. The
// first problem ends the check.
TCheck Check(const TGridModel &model, QSqlDatabase db);
// The text of a problem (the data module's required/duplicate texts, the list's own ones).
QString ProblemText(TCheck::Problem kind);

// Records in state "M" whose INT_LCNO differs from the key as loaded.
QList<int> RenumberedRecords(const TGridModel &model);

// The statements of one changed row (throws EGridSaveError). `model` is the list
// the row belongs to: a virtual row takes its main's type from the list when the
// list holds the main.
void SaveRow(QSqlDatabase db, const TGridModel &model, const TGridRow &row);

// Copies the main's phase rows to a virtual intersection (`storedMain` the main
// it had before this save: another main drops its phase rows first); a virtual
// intersection that has phase rows keeps them.
void CopyMainPhases(QSqlDatabase db, int lcNo, int mainLcNo, int storedMain);
// The type and lamp type handed on to the intersections that name `mainLcNo`.
void PropagateLcType(QSqlDatabase db, int mainLcNo, int lcType, int lampType);
// Moves the rows of `oldNo` to `newNo` in every renumbering table that exists,
// replacing what was stored under `newNo` there.
void Renumber(QSqlDatabase db, int oldNo, int newNo);

// Check, then every changed row in one transaction (committed, or rolled back
// with nothing written). The model is not changed.
struct TSaveOutcome
{
    TCheck Check;
    TGridSaveResult Result;
    bool Ok() const { return Check.Ok() && Result.Ok; }
};
TSaveOutcome Save(const TGridModel &model, QSqlDatabase db);

} // namespace TcdvMaster
