#include "foundation/LinkGeometry.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSqlQuery>

namespace LinkGeometry {

QString UpdateSql(TDBType type, bool oneLink)
{
    switch (type) {
    case dtOracle:
        // Ordinates of each vertex: latitude (K 1) then longitude (K 2), vertices by NUM.
        return QStringLiteral(
                   " UPDATE SCS_M_LINK C SET GEOM = ( CASE WHEN (SELECT COUNT(*) FROM SCS_M_LINK_DETAIL D"
                   " WHERE D.LINK_ID = C.LINK_ID) < 2 THEN NULL ELSE"
                   " MDSYS.SDO_GEOMETRY(2002, 4326, NULL, SDO_ELEM_INFO_ARRAY(1,2,1),"
                   " CAST(MULTISET(SELECT V FROM ("
                   " SELECT NUM, 1 AS K, POINT_LAT AS V FROM SCS_M_LINK_DETAIL WHERE LINK_ID = C.LINK_ID"
                   " UNION ALL"
                   " SELECT NUM, 2 AS K, POINT_LNG AS V FROM SCS_M_LINK_DETAIL WHERE LINK_ID = C.LINK_ID"
                   " ) ORDER BY NUM, K) AS MDSYS.SDO_ORDINATE_ARRAY)) END ) ")
            + (oneLink ? QStringLiteral(" WHERE C.LINK_ID = :LINK_ID ") : QString());
    case dtTibero:
        return QStringLiteral(
                   " UPDATE SCS_M_LINK A SET A.GEOM = (SELECT ST_GEOMFROMTEXT('LINESTRING(' ||"
                   " AGGR_CONCAT(POINT_LAT || ' ' || POINT_LNG, ',' ORDER BY NUM) || ')')"
                   " FROM SCS_M_LINK_DETAIL B WHERE B.LINK_ID = A.LINK_ID GROUP BY B.LINK_ID"
                   " HAVING COUNT(*) >= 2) ")
            + (oneLink ? QStringLiteral(" WHERE A.LINK_ID = :LINK_ID ") : QString());
    case dtMariaDB:
        return QStringLiteral(
                   " UPDATE SCS_M_LINK A LEFT JOIN (SELECT LINK_ID, CONCAT('LINESTRING(',"
                   " GROUP_CONCAT(POINT_LAT, ' ', POINT_LNG ORDER BY NUM SEPARATOR ','), ')') AS GEOM"
                   " FROM SCS_M_LINK_DETAIL ")
            + (oneLink ? QStringLiteral(" WHERE LINK_ID = :LINK_ID ") : QString())
            + QStringLiteral(" GROUP BY LINK_ID HAVING COUNT(*) >= 2) B ON A.LINK_ID = B.LINK_ID"
                             " SET A.GEOM = ST_GeomFromText(B.GEOM) ")
            + (oneLink ? QStringLiteral(" WHERE A.LINK_ID = :LINK_ID ") : QString());
    }
    return QString();
}

bool Rebuild(QSqlDatabase db, TDBType type, const QString &linkId, QSqlError *error)
{
    const QString sql = UpdateSql(type, !linkId.isEmpty());
    if (sql.isEmpty())
        return true;
    QSqlQuery q(db);
    if (type == dtMariaDB && !q.exec(QStringLiteral(" SET SESSION group_concat_max_len = 1000000000 "))) {
        if (error) *error = q.lastError();
        return false;
    }
    if (!q.prepare(sql)) {
        if (error) *error = q.lastError();
        return false;
    }
    if (!linkId.isEmpty())
        q.bindValue(QStringLiteral(":LINK_ID"), linkId);
    if (!q.exec()) {
        if (error) *error = q.lastError();
        return false;
    }
    return true;
}

QString LineStringWkt(const QList<QPointF> &latLng)
{
    QStringList parts;
    for (const QPointF &p : latLng)
        parts << QString::number(p.x(), 'g', QLocale::FloatingPointShortest) + QLatin1Char(' ')
            + QString::number(p.y(), 'g', QLocale::FloatingPointShortest);
    return QStringLiteral("LINESTRING(") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

QList<QPointF> ParseLineStringWkt(const QString &wkt)
{
    static const QRegularExpression re(QStringLiteral("^\\s*LINESTRING\\s*\\((.*)\\)\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    QList<QPointF> out;
    const auto m = re.match(wkt);
    if (!m.hasMatch())
        return out;
    for (const QString &pair : m.captured(1).split(QLatin1Char(','))) {
        const QStringList xy = pair.simplified().split(QLatin1Char(' '));
        if (xy.size() < 2)
            return {};
        bool ok1 = false, ok2 = false;
        const double x = xy.at(0).toDouble(&ok1), y = xy.at(1).toDouble(&ok2);
        if (!ok1 || !ok2)
            return {};
        out << QPointF(x, y);
    }
    return out;
}

} // namespace LinkGeometry
