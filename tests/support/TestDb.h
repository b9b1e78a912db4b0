#pragma once
// Access to the private MariaDB that the test fixture starts.
#include <QSqlDatabase>
#include <QString>

namespace TestDb {

// Folder of the running fixture server (socket, port file).
QString serverDir();
int port();
QString socket();
QString user();
QString password();
// The source tree (for db/mariadb/*.sql and other fixtures).
QString sourceDir();

// Drops and creates database `name` (utf8mb4), loads db/mariadb/schema.sql and,
// when `demo` is set, db/mariadb/demo-city.sql. Fails the running test on error.
bool create(const QString &name, bool demo = true);

// Runs an SQL script file (or text) against database `name` with the mariadb client.
bool runScriptFile(const QString &name, const QString &file, QString *error = nullptr);
bool runScript(const QString &name, const QString &sql, QString *error = nullptr);

// A QMYSQL connection to database `name` over the loopback port.
QSqlDatabase open(const QString &name, const QString &connectionName = QString());

} // namespace TestDb
