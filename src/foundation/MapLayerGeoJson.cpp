#include "foundation/MapLayerGeoJson.h"

#include "foundation/JsEscape.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

TMapBox TMapBox::FromBBoxString(const QString &text)
{
    TMapBox b;
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 4)
        return b;
    b.SouthWestLng = parts.at(0).trimmed();
    b.SouthWestLat = parts.at(1).trimmed();
    b.NorthEastLng = parts.at(2).trimmed();
    b.NorthEastLat = parts.at(3).trimmed();
    bool ok[4] = {false, false, false, false};
    b.West = b.SouthWestLng.toDouble(&ok[0]);
    b.South = b.SouthWestLat.toDouble(&ok[1]);
    b.East = b.NorthEastLng.toDouble(&ok[2]);
    b.North = b.NorthEastLat.toDouble(&ok[3]);
    b.Valid = ok[0] && ok[1] && ok[2] && ok[3] && parts.size() == 4;
    return b;
}

namespace MapLayerGeoJson {

QString EmptyCollection()
{
    return QStringLiteral("{\"type\":\"FeatureCollection\",\"features\":[]}");
}

QString JsonStr(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        default:
            if (u < 0x20 || u == 0x2028 || u == 0x2029)
                out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

static QString Collection(const QStringList &features)
{
    if (features.isEmpty())
        return EmptyCollection();
    return QStringLiteral("{\"type\":\"FeatureCollection\",\"crs\":{\"type\":\"name\",\"properties\":"
                          "{\"name\":\"urn:ogc:def:crs:OGC:1.3:CRS84\"}},\"features\":[")
           + features.join(QLatin1Char(',')) + QStringLiteral("]}");
}

// The text of a stored number: a floating-point column in its shortest exact form
// (what the database itself prints), a text column as it stands when it is a number.
static QString NumText(const QVariant &v)
{
    if (v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return JsNum(v.toDouble());
    default:
        return JsNumText(v.toString(), QString());
    }
}

// The empty collection in *json; false (with the reason) when the box is not usable.
static bool StartCollection(const TMapBox &box, QString *json, QString *error)
{
    if (json)
        *json = EmptyCollection();
    if (!box.Valid) {
        if (error)
            *error = QStringLiteral("invalid map box");
        return false;
    }
    return true;
}

static bool QueryFailed(const QSqlQuery &q, QString *error)
{
    if (error)
        *error = q.lastError().text();
    return false;
}

// The box's bounds as :SW_LAT, :NW_LAT, :SW_LNG and :NW_LNG.
static void BindBox(QSqlQuery &q, const TMapBox &box)
{
    q.bindValue(QStringLiteral(":SW_LAT"), box.South);
    q.bindValue(QStringLiteral(":NW_LAT"), box.North);
    q.bindValue(QStringLiteral(":SW_LNG"), box.West);
    q.bindValue(QStringLiteral(":NW_LNG"), box.East);
}

// A GeoJSON position "[lng,lat]".
static QString Position(const QString &lng, const QString &lat)
{
    return QLatin1Char('[') + lng + QLatin1Char(',') + lat + QLatin1Char(']');
}

bool NodeGeoJson(const QSqlDatabase &db, const TMapBox &box, QString *json, QString *error)
{
    if (!StartCollection(box, json, error))
        return false;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral(
            " SELECT NODE_ID, COALESCE(NODE_NAME, '-') AS NODE_NAME, NODE_LAT, NODE_LNG FROM SCS_M_NODE "
            " WHERE NODE_LAT BETWEEN :SW_LAT AND :NW_LAT AND NODE_LNG BETWEEN :SW_LNG AND :NW_LNG "
            " ORDER BY NODE_ID "))) {
        return QueryFailed(q, error);
    }
    BindBox(q, box);
    if (!q.exec())
        return QueryFailed(q, error);
    QStringList features;
    while (q.next()) {
        const QString lat = NumText(q.value(2));
        const QString lng = NumText(q.value(3));
        if (lat.isEmpty() || lng.isEmpty())
            continue; // a node without a position has no place on the map
        QString name = q.value(1).toString();
        if (name.trimmed().isEmpty())
            name = QStringLiteral("-");
        features << QStringLiteral("{\"type\":\"Feature\",\"properties\":{\"NODE_ID\":") + JsonStr(q.value(0).toString())
                        + QStringLiteral(",\"NODE_NAME\":") + JsonStr(name)
                        + QStringLiteral("},\"geometry\":{\"type\":\"Point\",\"coordinates\":[") + lng
                        + QLatin1Char(',') + lat + QStringLiteral("]}}");
    }
    if (json)
        *json = Collection(features);
    return true;
}

QString WktToPositions(const QString &wkt)
{
    const qsizetype open = wkt.indexOf(QLatin1Char('('));
    if (open < 0)
        return QString();
    QString inner = wkt.mid(open + 1).trimmed();
    if (!inner.endsWith(QLatin1Char(')')))
        return QString();
    inner.chop(1);
    QStringList out;
    for (const QString &part : inner.split(QLatin1Char(','))) {
        const QStringList xy = part.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (xy.size() != 2)
            return QString();
        const QString lat = JsNumText(xy.at(0), QString());
        const QString lng = JsNumText(xy.at(1), QString());
        if (lat.isEmpty() || lng.isEmpty())
            return QString();
        out << Position(lng, lat);
    }
    return out.join(QLatin1Char(','));
}

QString BoxPolygonText(const TMapBox &box)
{
    const QString swLat = JsNum(box.South), swLng = JsNum(box.West);
    const QString neLat = JsNum(box.North), neLng = JsNum(box.East);
    return QStringLiteral("Polygon((%1 %2,%3 %2,%3 %4,%1 %4,%1 %2))").arg(swLat, swLng, neLat, neLng);
}

QString LinkGeometrySql(TDBType dbType, const TMapBox &box)
{
    switch (dbType) {
    case dtOracle: {
        const QString swLat = JsNum(box.South), swLng = JsNum(box.West);
        const QString neLat = JsNum(box.North), neLng = JsNum(box.East);
        const QString ordinates = QStringList{swLat, swLng, neLat, swLng, neLat, neLng, swLat, neLng, swLat, swLng}
                                      .join(QLatin1Char(','));
        return QStringLiteral(" SELECT LINK_ID, NODE_FID, NODE_TID, ROAD_NAME, SDO_UTIL.TO_WKTGEOMETRY(GEOM) AS GEOM"
                              " FROM SCS_M_LINK WHERE SDO_RELATE(GEOM, MDSYS.SDO_GEOMETRY(2003, 4326, NULL,"
                              " MDSYS.SDO_ELEM_INFO_ARRAY(1,1003,1), MDSYS.SDO_ORDINATE_ARRAY(")
               + ordinates + QStringLiteral(")), 'mask=ANYINTERACT') = 'TRUE' ORDER BY LINK_ID ");
    }
    case dtTibero:
        return QStringLiteral(" SELECT LINK_ID, NODE_FID, NODE_TID, ROAD_NAME, ST_ASTEXT(GEOM) AS GEOM FROM SCS_M_LINK"
                              " WHERE ST_INTERSECTS(GEOM, ST_GEOMFROMTEXT(:TEXT)) = 1 ORDER BY LINK_ID ");
    case dtMariaDB:
        return QStringLiteral(" SELECT LINK_ID, NODE_FID, NODE_TID, ROAD_NAME, ST_AsText(GEOM) AS GEOM FROM SCS_M_LINK"
                              " WHERE MBRIntersects(GEOM, ST_GeomFromText(:TEXT)) ORDER BY LINK_ID ");
    }
    return QString();
}

static QString LinkFeature(const QString &id, const QString &from, const QString &to, const QString &positions)
{
    return QStringLiteral("{\"type\":\"Feature\",\"properties\":{\"LINK_ID\":") + JsonStr(id)
           + QStringLiteral(",\"F_NODE\":") + JsonStr(from) + QStringLiteral(",\"T_NODE\":") + JsonStr(to)
           + QStringLiteral(",\"ROAD_NAME\":\"\"},\"geometry\":{\"type\":\"LineString\",\"coordinates\":[")
           + positions + QStringLiteral("]}}");
}

bool LinkGeoJson(const QSqlDatabase &db, TDBType dbType, bool geometryFunc, const TMapBox &box, QString *json,
                 QString *error)
{
    if (!StartCollection(box, json, error))
        return false;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QStringList features;
    if (geometryFunc) {
        if (!q.prepare(LinkGeometrySql(dbType, box)))
            return QueryFailed(q, error);
        if (dbType != dtOracle)
            q.bindValue(QStringLiteral(":TEXT"), BoxPolygonText(box));
        if (!q.exec())
            return QueryFailed(q, error);
        while (q.next()) {
            const QString positions = WktToPositions(q.value(4).toString());
            if (positions.isEmpty())
                continue; // no usable line
            features << LinkFeature(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), positions);
        }
    } else {
        if (!q.prepare(QStringLiteral(
                " SELECT D.LINK_ID, COALESCE(L.NODE_FID, '') AS NODE_FID, COALESCE(L.NODE_TID, '') AS NODE_TID,"
                " D.POINT_LAT, D.POINT_LNG FROM SCS_M_LINK_DETAIL D LEFT JOIN SCS_M_LINK L ON L.LINK_ID = D.LINK_ID"
                " WHERE D.LINK_ID IN (SELECT P.LINK_ID FROM SCS_M_LINK_DETAIL P WHERE P.GROUP_NUM = 1"
                " AND P.POINT_LAT BETWEEN :SW_LAT AND :NW_LAT AND P.POINT_LNG BETWEEN :SW_LNG AND :NW_LNG)"
                " ORDER BY D.LINK_ID, D.NUM "))) {
            return QueryFailed(q, error);
        }
        BindBox(q, box);
        if (!q.exec())
            return QueryFailed(q, error);
        QString current, from, to;
        QStringList positions;
        bool first = true;
        auto flush = [&]() {
            if (!first && !positions.isEmpty())
                features << LinkFeature(current, from, to, positions.join(QLatin1Char(',')));
        };
        while (q.next()) {
            const QString id = q.value(0).toString();
            if (first || id != current) {
                flush();
                first = false;
                current = id;
                from = q.value(1).toString();
                to = q.value(2).toString();
                positions.clear();
            }
            const QString lat = NumText(q.value(3));
            const QString lng = NumText(q.value(4));
            if (!lat.isEmpty() && !lng.isEmpty())
                positions << Position(lng, lat);
        }
        flush();
    }
    if (json)
        *json = Collection(features);
    return true;
}

static QString ParsedCollection(const QString &geoJson)
{
    return QStringLiteral("(function () { try { return JSON.parse(") + JsStr(geoJson)
           + QStringLiteral("); } catch (e) { return {\"type\":\"FeatureCollection\",\"features\":[]}; } })()");
}

QString NodeLayerScript(const QString &geoJson)
{
    return QStringLiteral(" var nodeLayer = L.geoJson(") + ParsedCollection(geoJson)
           + QStringLiteral(", { style: { weight: 2, opacity: 0.5, color: \"#ff0000\", fillOpacity: 1,"
                            " fillColor: \"#f5c272\" }, pointToLayer: function (feature, latlng) {"
                            " return L.circleMarker(latlng, { radius: 3 }); } }).addTo(map);"
                            " if (typeof linkLayer !== \"undefined\") { nodeLayer.bringToBack(); linkLayer.bringToBack(); }"
                            " else { nodeLayer.bringToBack(); } ");
}

QString LinkLayerScript(const QString &geoJson)
{
    return QStringLiteral(" var linkObj = {}; var linkLayer = L.geoJson(") + ParsedCollection(geoJson)
           + QStringLiteral(", { style: { weight: 3, opacity: 0.7, color: \"#548cba\" },"
                            " onEachFeature: function (feature, layer) { linkObj[feature.properties.LINK_ID] = layer; } })"
                            ".addTo(map);"
                            " if (typeof nodeLayer !== \"undefined\") { nodeLayer.bringToBack(); linkLayer.bringToBack(); }"
                            " else { linkLayer.bringToBack(); } ");
}

} // namespace MapLayerGeoJson
