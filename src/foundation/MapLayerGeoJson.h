#pragma once
// The GeoJSON of the node and link layers of a map box, as the layer threads
// (TNodeThread, TLinkThread) put them into a page, and the page scripts that
// show them. Pure functions over a connection, so tests drive them directly.
#include <QSqlDatabase>
#include <QString>

#include "foundation/TypeUnit.h"

// A map box as Leaflet's toBBoxString() gives it: "west,south,east,north"
// (south-west longitude, south-west latitude, north-east longitude, north-east latitude).
struct TMapBox
{
    QString SouthWestLng, SouthWestLat, NorthEastLng, NorthEastLat; // the parts unchanged
    double West = 0, South = 0, East = 0, North = 0;
    bool Valid = false; // four parts, each a number

    static TMapBox FromBBoxString(const QString &text);
};

namespace MapLayerGeoJson {

// {"type":"FeatureCollection","features":[]} (what a failed or empty query gives).
QString EmptyCollection();
// A JSON string literal (quotes included).
QString JsonStr(const QString &text);

// Nodes of SCS_M_NODE inside the box (bounds included). False on a database error
// (*json is then the empty collection and *error the reason).
bool NodeGeoJson(const QSqlDatabase &db, const TMapBox &box, QString *json, QString *error = nullptr);
// Links inside the box: with the geometry setting by a spatial test of GEOM (stored
// latitude first), else by their points in SCS_M_LINK_DETAIL (every point of every
// link with at least one point of group 1 inside the box).
bool LinkGeoJson(const QSqlDatabase &db, TDBType dbType, bool geometryFunc, const TMapBox &box,
                 QString *json, QString *error = nullptr);

// The coordinate pairs of a line's well-known text (latitude first) as GeoJSON
// positions "[lng,lat],[lng,lat]" keeping the database's texts; empty when a part is
// not a pair of numbers.
QString WktToPositions(const QString &wkt);

// Spatial query of the links for a database type (the box bound as :TEXT, or for
// Oracle written into the text from the box's numbers).
QString LinkGeometrySql(TDBType dbType, const TMapBox &box);
// The box polygon "Polygon((swLat swLng,neLat swLng,neLat neLng,swLat neLng,swLat swLng))".
QString BoxPolygonText(const TMapBox &box);

// Page scripts: the layer globals nodeLayer / linkLayer (+ linkObj) from a collection,
// links kept under nodes whichever arrives first.
QString NodeLayerScript(const QString &geoJson);
QString LinkLayerScript(const QString &geoJson);

} // namespace MapLayerGeoJson
