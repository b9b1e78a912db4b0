#include "core/SqlDialect.h"

namespace {

QString Params(const QStringList &columns)
{
    QStringList out;
    for (const QString &c : columns)
        out << QLatin1Char(':') + c;
    return out.join(QStringLiteral(", "));
}

QString Assignments(const QStringList &columns, const QString &prefix = QString())
{
    QStringList out;
    for (const QString &c : columns)
        out << QStringLiteral("%1%2 = :%2").arg(prefix, c);
    return out.join(QStringLiteral(", "));
}

} // namespace

QString UpsertSql(TDBType type, const QString &table, const QStringList &keys,
                  const QStringList &values, const QString &alias)
{
    return UpsertSqlInsertOnly(type, table, keys, values, {}, alias);
}

QString UpsertSqlInsertOnly(TDBType type, const QString &table, const QStringList &keys,
                            const QStringList &values, const QStringList &insertOnly, const QString &alias)
{
    const QStringList all = keys + insertOnly + values;
    if (type == dtMariaDB) {
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(table, all.join(QStringLiteral(", ")), Params(all));
        // A row of keys only still needs an update part to be a no-op on a duplicate.
        sql += QStringLiteral(" ON DUPLICATE KEY UPDATE ")
               + (values.isEmpty() ? QStringLiteral("%1 = %1").arg(keys.first()) : Assignments(values));
        return sql;
    }
    QStringList on;
    for (const QString &k : keys)
        on << QStringLiteral("%1.%2 = :%2").arg(alias, k);
    QString sql = QStringLiteral("MERGE INTO %1 %2 USING DUAL ON (%3)")
                      .arg(table, alias, on.join(QStringLiteral(" AND ")));
    if (!values.isEmpty())
        sql += QStringLiteral(" WHEN MATCHED THEN UPDATE SET ") + Assignments(values);
    sql += QStringLiteral(" WHEN NOT MATCHED THEN INSERT (%1) VALUES (%2)")
               .arg(all.join(QStringLiteral(", ")), Params(all));
    return sql;
}

QString RowGeneratorFromSql(TDBType type, int count, const QString &column, const QString &alias)
{
    if (type == dtMariaDB)
        return QStringLiteral(" FROM (SELECT @i:=@i+1 AS %1 FROM information_schema.TABLES,(SELECT @i:=0) AS dummy LIMIT %2) %3 ")
            .arg(column)
            .arg(count)
            .arg(alias);
    return QStringLiteral(" FROM (SELECT LEVEL AS %1 FROM DUAL CONNECT BY LEVEL <= %2) %3 ").arg(column).arg(count).arg(alias);
}
