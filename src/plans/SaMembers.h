#pragma once
// The data side of the group membership and outline editor, without windows:
// the group register rows, the members of a group and their order (reorder,
// move to another group), the member save with the held outline, the outline
// reset, the ungrouped intersections, and the scripts that hand a stored outline
// to the map page (only ever as parsed and re-written JSON).
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include "core/GridModel.h"

namespace SaMembers {

// The members of a group, by INT_SAINDEX then INT_LCNO: {INT_LCNO, INT_NAME, INT_SAINDEX}.
QString MembersSql();
// Intersections whose INT_SANO names no stored group: {INT_LCNO, INT_NAME}.
QList<QVariantList> NotGrouped(QSqlDatabase db, QString *error = nullptr);

// Drops member record `from` on member record `to` (INT_SAINDEX S onto T): the
// rows between move by one, the dragged row takes T and the target's place; every
// moved row is "M". False (nothing changed) for the same or an unknown record.
bool Reorder(TGridModel &members, int from, int to);

// The order value an intersection gets in `group` when moved there: the largest
// INT_SAINDEX + 1, 0 for a group without members.
int NextIndex(QSqlDatabase db, int group);
// Moves intersection `lcNo` into `group` at NextIndex. Runs in the caller's
// transaction; throws on failure.
void MoveToGroup(QSqlDatabase db, int lcNo, int group);

// One changed group row of the register: "M" renumbers/renames (only its
// SCS_M_SAOPERATE row), "I" inserts number and name, "D" deletes the row and
// clears NODE_SANO of the group (members keep INT_SANO and become ungrouped).
void SaveGroupRow(QSqlDatabase db, const TGridRow &row);

// The member save of `group`: the held outline (CP949 bytes; an empty text is
// stored as zero bytes), NODE_SANO of the group cleared, then every member row
// (whatever its state) written with the group and its order. An empty order
// value fails the save. Runs in the caller's transaction; throws.
void SaveMembers(QSqlDatabase db, int group, const QString &outline, const TGridModel &members);
// SA_LATLNGS of the group set to NULL; throws.
void ResetOutline(QSqlDatabase db, int group);
// The stored outline of a group (NULL and empty give ""); *exists false when the
// group has no row.
QString StoredOutline(QSqlDatabase db, int group, bool *exists = nullptr);

// The script that loads a held outline into the page: the text parsed as a JSON
// object and written out again (so nothing of it can run as script), then the
// links of its linkList chosen and coloured. Empty when the text is not a JSON
// object: such an outline is not drawn (it stays stored as it is).
QString OutlineLoadScript(const QString &outline);

} // namespace SaMembers
