#pragma once
// The lists the main window loads from the centre database, apart from the window:
// group names and outlines, the rows of the group and intersection trees, the
// controller database error texts, the map layers kept in the database, and the
// one-row look-ups of selection (group extent, the group of an intersection, the
// intersections of a group). Every statement takes its values as bound parameters;
// text that differs between Oracle and MariaDB comes from the dialect builders.
//
// Each loader runs on the given connection and reports a database error through
// *error (the window shows it); on failure the caller's lists are left as they were.
#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include "foundation/TypeUnit.h"

namespace MainLists {

constexpr int SA_MAX = 200;
constexpr int LC_MAX = 1024;

// The empty feature collection of a missing layer.
QString EmptyFeatureCollection();

// --- groups ------------------------------------------------------------------

QString SaListSql();
// FSA_NameList (number -> name) and FSA_BoundsList (number -> outline text, only
// groups whose outline is not NULL).
bool LoadSaList(const QSqlDatabase &db, QMap<int, QString> *names, QMap<int, QString> *bounds,
                QSqlError *error = nullptr);

// One node of a tree as the loaders deliver it.
struct TTreeRow
{
    TNodeData Group;        // group node (group tree only)
    TNodeData Lc;           // intersection node; ID 0 when the group has none
};

QString SaTreeSql();
QString SaTreeGroupCountSql();
// The group tree: for each group 1..200 in order its intersections 1..1024 (rows
// outside the ranges are skipped, so a group without intersections has none).
// *groupCount: the number of groups that have at least one intersection.
bool LoadSaTree(const QSqlDatabase &db, QList<TTreeRow> *rows, int *groupCount, QSqlError *error = nullptr);

// The intersection tree: one node per intersection, its key "group-intersection"
// built by the database with the dialect's concatenation.
QString LcTreeSql(TDBType dbType);
bool LoadLcTree(const QSqlDatabase &db, TDBType dbType, QList<TNodeData> *nodes, QSqlError *error = nullptr);

// Controller type of a tree node: 2004 when INT_LCTYPE is 1, else 2010.
int TreeTypeOf(int intLcType);

// --- texts and layers --------------------------------------------------------

QString DBErrorCodesSql();
bool LoadDBErrorCodes(const QSqlDatabase &db, QMap<int, QString> *codes, QSqlError *error = nullptr);

QString MapLayersSql();
// The node layer (LAYER_NAME "NODE") and the link layer (any other name; the last
// such row wins); both start as empty collections.
bool LoadMapLayers(const QSqlDatabase &db, QString *nodeGeoJson, QString *linkGeoJson,
                   QSqlError *error = nullptr);

// --- selection look-ups --------------------------------------------------------

// GetBounds: "[lat,lng]" of the node of the group's first intersection, built by the
// database with the dialect's concatenation; empty when the group has none.
QString GetBoundsSql(TDBType dbType);
QString GetBounds(const QSqlDatabase &db, TDBType dbType, int saNo, QSqlError *error = nullptr);

// FindLcSaNo: the intersection's INT_SANO; 1 when it has no row (or on an error).
QString FindLcSaNoSql();
int FindLcSaNo(const QSqlDatabase &db, int lcNo, QSqlError *error = nullptr);

// SelectSA: the number of intersections of a group (-1 on an error) and, for a group
// of exactly one, the position of its node.
QString SaLcCountSql();
int SaLcCount(const QSqlDatabase &db, int saNo, QSqlError *error = nullptr);
QString SaSingleNodeSql();
bool SaSingleNodePos(const QSqlDatabase &db, int saNo, QString *lat, QString *lng, QSqlError *error = nullptr);

// Bookmarks of the operator at shutdown.
QString SaveBookmarksSql();
bool SaveBookmarks(const QSqlDatabase &db, const QString &userId, const QString &json,
                   QSqlError *error = nullptr);

} // namespace MainLists
