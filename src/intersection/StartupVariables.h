#pragma once
// The start-up (signal operation) variables of one intersection, the single row
// of SCS_M_INTSTARTUP shown as one grid row per column: the rows of each
// controller type with their labels and value editors, the bounds of the
// controller fields they are downloaded into, the default row and the statements.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include "foundation/TypeUnit.h"

namespace Startup {

struct TRow
{
    QString Column;   // column of SCS_M_INTSTARTUP (also the row's key as loaded)
    QString Group;    // group label key ("Group.<Group>" in the window's text table)
    QString Editor;   // "number", "phase", "phaseset" or a value list ("Value.<Editor>.<n>")
};

inline const QString TextTable = QStringLiteral("TfrmTCDV_E_SignalManagerVariable");

// The rows of a controller type: 11 for a 2004 controller, 39 for a 2010 one.
QList<TRow> Rows(TLcTypeEx type);
// Labels in a language (1 Korean, 2 English) from the window's text table.
QString GroupLabel(const TRow &row, int language);
QString ItemLabel(const TRow &row, int language);
// The merged cells of the group labels: each run of two or more equal
// neighbouring labels as (first row, number of rows).
QList<QPair<int, int>> MergedRuns(const QStringList &labels);
// The value list of a list editor (empty for the others).
QStringList ValueTexts(const QString &editor, int language);

// The range a row's value must lie in (the controller field it is downloaded
// into); an empty value is allowed only for main phases.
struct TBounds
{
    int Min = 0;
    int Max = 255;
    bool EmptyAllowed = false;
};
TBounds Bounds(const TRow &row);
bool Fits(const TRow &row, const QVariant &value);

// The value of a phase set from its ticked phases (1 to 8): bit k-1 for phase k.
int PhaseSetValue(const QList<int> &phases);
QList<int> PhaseSetPhases(int value);

// The default row of an intersection: column -> value (null for the main phases).
QList<QPair<QString, QVariant>> DefaultRow();

enum class TLoad { Loaded, DefaultInserted, Failed };
// The values of the rows of `type` (in row order). A missing row is created with
// the default values and read again; a query that fails inserts nothing.
TLoad Load(QSqlDatabase db, int lcNo, TLcTypeEx type, QVariantList *values, QString *error = nullptr);
// The UPDATE of one changed value (throws on failure, see ExecSqlOrThrow).
void SaveValue(QSqlDatabase db, int lcNo, const QString &column, const QVariant &value);

} // namespace Startup
