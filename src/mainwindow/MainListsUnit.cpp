#include "mainwindow/MainListsUnit.h"

#include <QLocale>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include "foundation/Cp949.h"
#include "core/Quorval.h"

namespace MainLists {

namespace {

bool run(QSqlQuery &q, QSqlError *error)
{
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError();
    return false;
}

// Prepares `sql` (forward only), binds `value` to `name` and runs it; true when it
// gave a row, the query standing on it.
bool firstRow(QSqlQuery &q, const QString &sql, const QString &name, int value, QSqlError *error)
{
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        if (error)
            *error = q.lastError();
        return false;
    }
    q.bindValue(name, value);
    return run(q, error) && q.next();
}

// A large-object text: the foundation's one reader.
QString blobText(const QVariant &v)
{
    return BlobText(v);
}

// A number kept as text in the C locale.
QString numberText(const QVariant &v)
{
    if (v.isNull())
        return QString();
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        return v.toString().trimmed();
    return QLocale::c().toString(d, 'g', 15);
}

} // namespace

QString EmptyFeatureCollection() { return QStringLiteral("{\"type\":\"FeatureCollection\",\"features\":[]}"); }

// ---------------------------------------------------------------------------
// Groups
// ---------------------------------------------------------------------------

QString SaListSql() { return QStringLiteral(" SELECT SA_NO, SA_NAME, SA_LATLNGS FROM SCS_M_SAOPERATE  ORDER BY SA_NO "); }

bool LoadSaList(const QSqlDatabase &db, QMap<int, QString> *names, QMap<int, QString> *bounds, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(SaListSql()) || !run(q, error)) {
        if (error && !error->isValid())
            *error = q.lastError();
        return false;
    }
    QMap<int, QString> n, b;
    while (q.next()) {
        const int sa = VarToIntDef(q.value(0), 0);
        n.insert(sa, q.value(1).toString());
        if (!q.value(2).isNull())
            b.insert(sa, blobText(q.value(2)));
    }
    if (names)
        *names = n;
    if (bounds)
        *bounds = b;
    return true;
}

int TreeTypeOf(int intLcType) { return intLcType == 1 ? 2004 : 2010; }

QString SaTreeSql()
{
    return QStringLiteral(
        " SELECT T1.SA_NO, T1.SA_NAME, T2.INT_LCNO, T2.INT_NAME, T2.INT_IMPORFLAG, T2.INT_LCTYPE "
        "   FROM SCS_M_SAOPERATE T1 "
        "   LEFT JOIN SCS_M_INTLC T2 ON T1.SA_NO = T2.INT_SANO "
        "  ORDER BY T1.SA_NO, T2.INT_SAINDEX, T2.INT_LCNO ");
}

QString SaTreeGroupCountSql()
{
    return QStringLiteral(
        " SELECT COUNT(*) AS CNT FROM SCS_M_SAOPERATE T1 "
        "  WHERE EXISTS (SELECT 1 FROM SCS_M_INTLC T2 WHERE T2.INT_SANO = T1.SA_NO) ");
}

bool LoadSaTree(const QSqlDatabase &db, QList<TTreeRow> *rows, int *groupCount, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(SaTreeSql()) || !run(q, error)) {
        if (error && !error->isValid())
            *error = q.lastError();
        return false;
    }
    QList<TTreeRow> out;
    while (q.next()) {
        const int sa = VarToIntDef(q.value(0), 0);
        const int lc = VarToIntDef(q.value(2), 0);
        if (sa < 1 || sa > SA_MAX || lc < 1 || lc > LC_MAX)
            continue;
        TTreeRow r;
        r.Group.ID = sa;
        r.Group.Key = QString::number(sa);
        r.Group.Name = q.value(1).toString();
        r.Group.Flag = 0;
        r.Group.TreeType = 0;
        r.Lc.ID = lc;
        r.Lc.Key = QStringLiteral("%1-%2").arg(sa).arg(lc);
        r.Lc.Name = q.value(3).toString();
        r.Lc.Flag = qint8(VarToIntDef(q.value(4), 0));
        r.Lc.TreeType = TreeTypeOf(VarToIntDef(q.value(5), 0));
        out << r;
    }
    QSqlQuery c(db);
    c.setForwardOnly(true);
    if (!c.prepare(SaTreeGroupCountSql()) || !run(c, error)) {
        if (error && !error->isValid())
            *error = c.lastError();
        return false;
    }
    const int count = c.next() ? VarToIntDef(c.value(0), 0) : 0;
    if (rows)
        *rows = out;
    if (groupCount)
        *groupCount = count;
    return true;
}

QString LcTreeSql(TDBType dbType)
{
    return QStringLiteral(" SELECT INT_LCNO, ")
           + GetConcat(dbType, {QStringLiteral("INT_SANO"), QStringLiteral("'-'"), QStringLiteral("INT_LCNO")},
                       QStringLiteral("TREE_KEY"), true)
           + QStringLiteral(" INT_NAME, INT_IMPORFLAG, INT_LCTYPE FROM SCS_M_INTLC ORDER BY INT_LCNO ");
}

bool LoadLcTree(const QSqlDatabase &db, TDBType dbType, QList<TNodeData> *nodes, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(LcTreeSql(dbType)) || !run(q, error)) {
        if (error && !error->isValid())
            *error = q.lastError();
        return false;
    }
    QList<TNodeData> out;
    while (q.next()) {
        TNodeData d;
        d.ID = VarToIntDef(q.value(0), 0);
        d.Key = q.value(1).toString();
        d.Name = q.value(2).toString();
        d.Flag = qint8(VarToIntDef(q.value(3), 0));
        d.TreeType = TreeTypeOf(VarToIntDef(q.value(4), 0));
        out << d;
    }
    if (nodes)
        *nodes = out;
    return true;
}

// ---------------------------------------------------------------------------
// Texts and layers
// ---------------------------------------------------------------------------

QString DBErrorCodesSql()
{
    return QStringLiteral(" SELECT EVENT_VALUE AS CODE, EVENT_VALUE_DESC AS NAME FROM SCS_M_EVENT_VALUE WHERE EVENT_CODE = 19 ");
}

bool LoadDBErrorCodes(const QSqlDatabase &db, QMap<int, QString> *codes, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(DBErrorCodesSql()) || !run(q, error)) {
        if (error && !error->isValid())
            *error = q.lastError();
        return false;
    }
    QMap<int, QString> out;
    while (q.next())
        out.insert(VarToIntDef(q.value(0), 0), q.value(1).toString());
    if (codes)
        *codes = out;
    return true;
}

QString MapLayersSql() { return QStringLiteral(" SELECT LAYER_NAME, GEOJSON FROM SCS_M_LAYER "); }

bool LoadMapLayers(const QSqlDatabase &db, QString *nodeGeoJson, QString *linkGeoJson, QSqlError *error)
{
    QString node = EmptyFeatureCollection();
    QString link = EmptyFeatureCollection();
    if (nodeGeoJson)
        *nodeGeoJson = node;
    if (linkGeoJson)
        *linkGeoJson = link;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(MapLayersSql()) || !run(q, error)) {
        if (error && !error->isValid())
            *error = q.lastError();
        return false;
    }
    while (q.next()) {
        const QString name = q.value(0).toString().trimmed();
        const QString text = blobText(q.value(1));
        if (name == QLatin1String("NODE"))
            node = text;
        else
            link = text;
    }
    if (nodeGeoJson)
        *nodeGeoJson = node;
    if (linkGeoJson)
        *linkGeoJson = link;
    return true;
}

// ---------------------------------------------------------------------------
// Selection look-ups
// ---------------------------------------------------------------------------

QString GetBoundsSql(TDBType dbType)
{
    return QStringLiteral(" SELECT ")
           + GetConcat(dbType,
                       {QStringLiteral("'['"), QStringLiteral("N.NODE_LAT"), QStringLiteral("','"),
                        QStringLiteral("N.NODE_LNG"), QStringLiteral("']'")},
                       QStringLiteral("LATLNG"))
           + QStringLiteral(" FROM SCS_M_INTLC I JOIN SCS_M_NODE N ON I.NODE_ID = N.NODE_ID "
                            " WHERE I.INT_SANO = :INT_SANO "
                            " ORDER BY I.INT_SAINDEX, I.INT_LCNO ");
}

QString GetBounds(const QSqlDatabase &db, TDBType dbType, int saNo, QSqlError *error)
{
    QSqlQuery q(db);
    if (!firstRow(q, GetBoundsSql(dbType), QStringLiteral(":INT_SANO"), saNo, error))
        return QString();
    return q.value(0).toString();
}

QString FindLcSaNoSql() { return QStringLiteral(" SELECT INT_SANO FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO "); }

int FindLcSaNo(const QSqlDatabase &db, int lcNo, QSqlError *error)
{
    QSqlQuery q(db);
    if (!firstRow(q, FindLcSaNoSql(), QStringLiteral(":INT_LCNO"), lcNo, error))
        return 1;
    return VarToIntDef(q.value(0), 0);
}

QString SaLcCountSql() { return QStringLiteral(" SELECT COUNT(*) AS CNT FROM SCS_M_INTLC WHERE INT_SANO = :INT_SANO "); }

int SaLcCount(const QSqlDatabase &db, int saNo, QSqlError *error)
{
    QSqlQuery q(db);
    if (!firstRow(q, SaLcCountSql(), QStringLiteral(":INT_SANO"), saNo, error))
        return -1;
    return VarToIntDef(q.value(0), 0);
}

QString SaSingleNodeSql()
{
    return QStringLiteral(" SELECT N.NODE_LAT, N.NODE_LNG FROM SCS_M_INTLC I "
                          "   JOIN SCS_M_NODE N ON I.NODE_ID = N.NODE_ID "
                          "  WHERE I.INT_SANO = :INT_SANO ");
}

bool SaSingleNodePos(const QSqlDatabase &db, int saNo, QString *lat, QString *lng, QSqlError *error)
{
    QSqlQuery q(db);
    if (!firstRow(q, SaSingleNodeSql(), QStringLiteral(":INT_SANO"), saNo, error))
        return false;
    if (lat)
        *lat = numberText(q.value(0));
    if (lng)
        *lng = numberText(q.value(1));
    return true;
}

QString SaveBookmarksSql() { return QStringLiteral(" UPDATE SCS_M_USER SET BOOKMARKS = :BOOKMARKS WHERE USER_ID = :USER_ID "); }

bool SaveBookmarks(const QSqlDatabase &db, const QString &userId, const QString &json, QSqlError *error)
{
    QSqlQuery q(db);
    if (!q.prepare(SaveBookmarksSql())) {
        if (error)
            *error = q.lastError();
        return false;
    }
    q.bindValue(QStringLiteral(":BOOKMARKS"), json);
    q.bindValue(QStringLiteral(":USER_ID"), userId);
    return run(q, error);
}

} // namespace MainLists
