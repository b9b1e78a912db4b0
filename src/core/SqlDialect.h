#pragma once
// SQL that differs by database type, built in one place:
//   - an upsert of one row by its key: MERGE ... USING DUAL for Oracle and
//     Tibero, INSERT ... ON DUPLICATE KEY UPDATE for MariaDB; every column is
//     bound by its own name (":COLUMN");
//   - a row generator of the numbers 1..count under one column name, as the
//     FROM part of a query: CONNECT BY LEVEL for Oracle and Tibero, a counter
//     over information_schema.TABLES for MariaDB.
#include <QString>
#include <QStringList>

#include "foundation/TypeUnit.h"

// Upsert of one row of `table`: `keys` find the row, `values` are updated when
// it exists; an absent row is inserted with keys and values. `alias` names the
// table in the MERGE form.
QString UpsertSql(TDBType type, const QString &table, const QStringList &keys,
                  const QStringList &values, const QString &alias = QStringLiteral("T"));
// The same with `insertOnly` columns that only an inserted row gets (bound by
// their own names); an existing row keeps them.
QString UpsertSqlInsertOnly(TDBType type, const QString &table, const QStringList &keys,
                            const QStringList &values, const QStringList &insertOnly,
                            const QString &alias = QStringLiteral("T"));

// " FROM (<numbers 1..count as column>) alias " (leading and trailing blank).
QString RowGeneratorFromSql(TDBType type, int count, const QString &column, const QString &alias);
