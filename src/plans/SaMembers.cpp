#include "plans/SaMembers.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>

#include "core/GridHelpers.h"
#include "foundation/Cp949.h"

namespace SaMembers {

QString MembersSql()
{
    return QStringLiteral("SELECT INT_LCNO, INT_NAME, INT_SAINDEX FROM SCS_M_INTLC WHERE INT_SANO = :SA_NO "
                          "ORDER BY INT_SAINDEX, INT_LCNO");
}

QList<QVariantList> NotGrouped(QSqlDatabase db, QString *error)
{
    QList<QVariantList> rows;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT A.INT_LCNO, A.INT_NAME FROM SCS_M_INTLC A "
                               "LEFT JOIN SCS_M_SAOPERATE B ON A.INT_SANO = B.SA_NO WHERE B.SA_NO IS NULL"))) {
        if (error)
            *error = q.lastError().text();
        return rows;
    }
    while (q.next())
        rows << QVariantList{q.value(0), q.value(1)};
    return rows;
}

bool Reorder(TGridModel &m, int from, int to)
{
    const int n = m.RecordCount();
    if (from == to || from < 0 || to < 0 || from >= n || to >= n)
        return false;
    const int idx = m.ColumnIndex(QStringLiteral("INT_SAINDEX"));
    const int lc = m.ColumnIndex(QStringLiteral("INT_LCNO"));
    const int s = m.Value(from, idx).toInt();
    const int t = m.Value(to, idx).toInt();
    QList<QVariantList> rows;
    for (int r = 0; r < n; ++r)
        rows << m.RecordValues(r);
    for (int r = 0; r < n; ++r) {
        if (r == from)
            continue;
        const int v = rows[r][idx].toInt();
        const bool moves = t < s ? (t <= v && v < s) : (s < v && v <= t);
        if (moves && !rows[r][idx].isNull()) {
            rows[r][idx] = t < s ? v + 1 : v - 1;
            rows[r][m.StateIdx()] = RowState::Modified;
        }
    }
    QVariantList dragged = rows.takeAt(from);
    dragged[idx] = t;
    dragged[m.KeyValueIdx()] = dragged[lc];
    dragged[m.StateIdx()] = RowState::Modified;
    rows.insert(to, dragged);
    m.BeginUpdate();
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < m.ColumnCount(); ++c)
            m.SetValue(r, c, rows[r].value(c));
    m.EndUpdate();
    return true;
}

int NextIndex(QSqlDatabase db, int group)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" SELECT MAX(INT_SAINDEX)+1 AS MAX_VAL FROM SCS_M_INTLC WHERE INT_SANO = :INT_SANO "));
    q.bindValue(QStringLiteral(":INT_SANO"), group);
    ExecOrThrow(q);
    return q.next() ? q.value(0).toInt() : 0;
}

void MoveToGroup(QSqlDatabase db, int lcNo, int group)
{
    const int next = NextIndex(db, group);
    ExecSqlOrThrow(db, QStringLiteral("UPDATE SCS_M_INTLC SET INT_SANO = :INT_SANO, INT_SAINDEX = :INT_SAINDEX "
                                      "WHERE INT_LCNO = :INT_LCNO"),
                   {{QStringLiteral(":INT_SANO"), group}, {QStringLiteral(":INT_SAINDEX"), next},
                    {QStringLiteral(":INT_LCNO"), lcNo}});
}

void SaveGroupRow(QSqlDatabase db, const TGridRow &row)
{
    const QVariantMap values{{QStringLiteral(":SA_NO"), row["SA_NO"].toString().trimmed().toInt()},
                             {QStringLiteral(":SA_NAME"), row["SA_NAME"].toString()}};
    const QVariantMap key{{QStringLiteral(":KEY_VALUE"), row.KeyValue.trimmed().toInt()}};
    switch (row.State) {
    case TRowState::Modified: {
        QVariantMap p = values;
        p.insert(key);
        ExecSqlOrThrow(db, QStringLiteral("UPDATE SCS_M_SAOPERATE SET SA_NO = :SA_NO, SA_NAME = :SA_NAME "
                                          "WHERE SA_NO = :KEY_VALUE"), p);
        break;
    }
    case TRowState::Inserted:
        ExecSqlOrThrow(db, QStringLiteral("INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (:SA_NO, :SA_NAME)"),
                       values);
        break;
    case TRowState::Deleted:
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM SCS_M_SAOPERATE WHERE SA_NO = :KEY_VALUE "), key);
        ExecSqlOrThrow(db, QStringLiteral(" UPDATE SCS_M_NODE SET NODE_SANO = NULL WHERE NODE_SANO = :KEY_VALUE "), key);
        break;
    case TRowState::Unchanged:
        break;
    }
}

void SaveMembers(QSqlDatabase db, int group, const QString &outline, const TGridModel &m)
{
    // Zero bytes, not NULL, when no outline is held (an empty array that is not null).
    QByteArray bytes = ToCp949(outline);
    if (bytes.isNull())
        bytes = QByteArray("");
    ExecSqlOrThrow(db, QStringLiteral(" UPDATE SCS_M_SAOPERATE SET SA_LATLNGS = :SA_LATLNGS WHERE SA_NO = :SA_NO "),
                   {{QStringLiteral(":SA_LATLNGS"), QVariant(bytes)},
                    {QStringLiteral(":SA_NO"), group}});
    ExecSqlOrThrow(db, QStringLiteral(" UPDATE SCS_M_NODE SET NODE_SANO = NULL WHERE NODE_SANO = :NODE_SANO "),
                   {{QStringLiteral(":NODE_SANO"), group}});
    const int idx = m.ColumnIndex(QStringLiteral("INT_SAINDEX"));
    for (int r = 0; r < m.RecordCount(); ++r) {
        const QString order = m.Text(r, idx).trimmed();
        if (order.isEmpty())
            throw EGridSaveError(QStringLiteral("INT_LCNO %1: INT_SAINDEX").arg(m.KeyValue(r).toString()));
        ExecSqlOrThrow(db, QStringLiteral("UPDATE SCS_M_INTLC SET INT_SANO = :INT_SANO, INT_SAINDEX = :INT_SAINDEX "
                                          "WHERE INT_LCNO = :KEY_VALUE"),
                       {{QStringLiteral(":INT_SANO"), group}, {QStringLiteral(":INT_SAINDEX"), order.toInt()},
                        {QStringLiteral(":KEY_VALUE"), m.KeyValue(r).toInt()}});
    }
}

void ResetOutline(QSqlDatabase db, int group)
{
    ExecSqlOrThrow(db, QStringLiteral(" UPDATE SCS_M_SAOPERATE SET SA_LATLNGS = NULL WHERE SA_NO = :SA_NO "),
                   {{QStringLiteral(":SA_NO"), group}});
}

QString StoredOutline(QSqlDatabase db, int group, bool *exists)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" SELECT SA_LATLNGS FROM SCS_M_SAOPERATE WHERE SA_NO = :SA_NO "));
    q.bindValue(QStringLiteral(":SA_NO"), group);
    const bool found = q.exec() && q.next();
    if (exists)
        *exists = found;
    return found && !q.value(0).isNull() ? BlobText(q.value(0)) : QString();
}

QString OutlineLoadScript(const QString &outline)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(outline.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return QString();
    // Written out again by the JSON writer: "</script>" and the line separators
    // come out escaped or as plain string content, never as code.
    QString json = QString::fromUtf8(doc.toJson(QJsonDocument::Compact));
    json.replace(QStringLiteral("</"), QStringLiteral("<\\/"));
    json.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    json.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return QStringLiteral(" var SAGeoJSON = ") + json +
           QStringLiteral("; var ids = ((SAGeoJSON.properties || {}).linkList || '').split(',');"
                          " for (var id in linkObj) { if (ids.indexOf(linkObj[id].feature.properties.LINK_ID) >= 0)"
                          " { LCList.push(linkObj[id]); linkObj[id].setStyle({color: '#ff0000'}); } } ");
}

} // namespace SaMembers
