#pragma once
// The one builder of a link's spatial column GEOM of SCS_M_LINK from its vertices in
// SCS_M_LINK_DETAIL: the vertices are taken in NUM order and each contributes its
// latitude first, then its longitude (x = latitude, y = longitude, the reverse of
// GeoJSON). Every reader of GEOM relies on that order. A link with fewer than two
// vertices gets no line (NULL).
#include <QList>
#include <QPointF>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include "foundation/TypeUnit.h"

namespace LinkGeometry {

// UPDATE statement that rebuilds GEOM for the database type: of every link, or with
// oneLink of the link bound to :LINK_ID (text). Empty for a type without spatial support.
QString UpdateSql(TDBType type, bool oneLink);

// Rebuilds GEOM of one link (linkId given) or of every link (linkId empty) on `db`.
// On MariaDB the session's concatenation limit is raised first. False with the error.
bool Rebuild(QSqlDatabase db, TDBType type, const QString &linkId = QString(),
             QSqlError *error = nullptr);

// Well-known text of a line from (latitude, longitude) vertices: x() = latitude,
// y() = longitude. "LINESTRING(lat lng,lat lng,...)" in the C locale.
QString LineStringWkt(const QList<QPointF> &latLng);
// The vertices of such a text (x() = latitude, y() = longitude); empty when it is
// not a line string.
QList<QPointF> ParseLineStringWkt(const QString &wkt);

} // namespace LinkGeometry
