#include "TestDb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QTest>

namespace TestDb {

QString serverDir()
{
    const QString env = qEnvironmentVariable("SC_TEST_DB_DIR");
    return env.isEmpty() ? QStringLiteral(SC_DEFAULT_TESTDB_DIR) : env;
}

QString sourceDir()
{
    const QString env = qEnvironmentVariable("SC_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(SC_DEFAULT_SOURCE_DIR) : env;
}

int port()
{
    QFile f(serverDir() + "/port");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().trimmed().toInt();
}

QString socket() { return serverDir() + "/mysqld.sock"; }
QString user() { return qEnvironmentVariable("SC_DB_USER", "scs"); }
QString password() { return qEnvironmentVariable("SC_DB_PASSWORD", "scs"); }

static bool runClient(const QString &db, const QByteArray &input, QString *error)
{
    QProcess p;
    QStringList args{"--no-defaults", "--socket=" + socket(), "-u" + user(), "-p" + password(),
                     "--default-character-set=utf8mb4"};
    if (!db.isEmpty())
        args << db;
    p.start("mariadb", args);
    if (!p.waitForStarted(10000)) {
        if (error) *error = "mariadb client did not start";
        return false;
    }
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error) *error = QString::fromUtf8(p.readAllStandardError());
        return false;
    }
    return true;
}

bool runScript(const QString &name, const QString &sql, QString *error)
{
    return runClient(name, sql.toUtf8(), error);
}

bool runScriptFile(const QString &name, const QString &file, QString *error)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = "cannot read " + file;
        return false;
    }
    return runClient(name, f.readAll(), error);
}

bool create(const QString &name, bool demo)
{
    QString err;
    const QString ddl = QString("DROP DATABASE IF EXISTS `%1`; CREATE DATABASE `%1` "
                                "CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;").arg(name);
    if (!runClient(QString(), ddl.toUtf8(), &err)) {
        qWarning("create database %s: %s", qPrintable(name), qPrintable(err));
        return false;
    }
    const QString db = sourceDir() + "/db/mariadb/";
    if (!runScriptFile(name, db + "schema.sql", &err)) {
        qWarning("schema.sql: %s", qPrintable(err));
        return false;
    }
    if (demo && !runScriptFile(name, db + "demo-city.sql", &err)) {
        qWarning("demo-city.sql: %s", qPrintable(err));
        return false;
    }
    // Demo operators' passwords, enciphered with the demo key (db/mariadb/demo.key).
    if (demo && QFile::exists(db + "demo-passwords.sql")
        && !runScriptFile(name, db + "demo-passwords.sql", &err)) {
        qWarning("demo-passwords.sql: %s", qPrintable(err));
        return false;
    }
    return true;
}

QSqlDatabase open(const QString &name, const QString &connectionName)
{
    const QString cn = connectionName.isEmpty() ? "testdb_" + name : connectionName;
    QSqlDatabase db = QSqlDatabase::contains(cn) ? QSqlDatabase::database(cn, false)
                                                  : QSqlDatabase::addDatabase("QMYSQL", cn);
    db.setHostName("127.0.0.1");
    db.setPort(port());
    db.setDatabaseName(name);
    db.setUserName(user());
    db.setPassword(password());
    if (!db.open())
        qWarning("open %s: %s", qPrintable(name), qPrintable(db.lastError().text()));
    return db;
}

} // namespace TestDb
