#pragma once
// Database connections of every thread: error classes, the connection factory that
// worker threads open their own connections with, the worker-thread error filter,
// the database settings of the INI file and the schema check's SQL text.
#include <QList>
#include <QSqlDatabase>

#include <functional>
#include <QSqlError>
#include <QString>

#include "foundation/TypeUnit.h"

class TIniFile;


// ---------------------------------------------------------------------------
// Database errors
// ---------------------------------------------------------------------------

// Connection-class errors (lost or refused connection, server gone, I/O failure) are
// the only ones that the error filters drop. Constraint violations, syntax errors and
// every other error always reach the caller.
enum class TDbErrorClass { NoError, Connection, Other };
// workerThread: the rules of worker-thread connections (code 2139 not counted).
TDbErrorClass ClassifyDbError(const QSqlError &error, bool workerThread = false);

// ---------------------------------------------------------------------------
// Connections
// ---------------------------------------------------------------------------

// How one connection is set up for a database type (driver, host, options...).
struct TDBConnectionParams
{
    QString Driver;        // QMYSQL, QODBC or QOCI
    QString HostName;
    int Port = -1;
    QString DatabaseName;  // database, ODBC connection text or Oracle connect descriptor
    QString UserName;
    QString Password;
    QString ConnectOptions;
};

// Builds connections from the database settings. A copy can be handed to a worker
// thread, which opens its own connection with it (a QSqlDatabase belongs to the
// thread that opened it). The connection time-out is given to the driver in seconds.
class TDBConnectionFactory
{
public:
    TDBConnectionFactory() = default;
    TDBConnectionFactory(const TDBInfo &db, int timeoutSeconds);

    TDBType DBType() const { return FDB.DBType; }
    const TDBInfo &DBInfo() const { return FDB; }
    int TimeoutSeconds() const { return FTimeout; }

    // Driver parameters for a type; Oracle uses QOCI where that driver is installed,
    // ODBC otherwise.
    static TDBConnectionParams Params(const TDBInfo &db, int timeoutSeconds);
    TDBConnectionParams Params() const { return Params(FDB, FTimeout); }

    // Adds (or reuses) connection `name` set up from the settings and opens it in the
    // calling thread. The returned database is closed when opening failed; the
    // reason is in *error.
    QSqlDatabase Open(const QString &name, QString *error = nullptr) const;
    // Connection `name` open in the calling thread: an existing open one as it is,
    // else opened (again) from the settings. A connection found closed is reopened
    // before the next statement, so a database that comes back is used again.
    QSqlDatabase Ensure(const QString &name, QString *error = nullptr) const;
    // Runs statements that only read on connection `name`: the connection is
    // reopened first when it is closed, and when the work fails because the
    // connection was lost (the database was restarted meanwhile) it is closed,
    // reopened and the work runs once more. The work returns false with the
    // statement's error. False with the reason when it still fails.
    using TReadWork = std::function<bool(QSqlDatabase &db, QSqlError *error)>;
    bool RunReading(const QString &name, const TReadWork &work, QString *error = nullptr) const;
    // Closes and removes connection `name`.
    static void Close(const QString &name);
    // A connection name unique to the calling thread: prefix + "_" + thread id.
    static QString ThreadConnectionName(const QString &prefix);

private:
    TDBInfo FDB;
    int FTimeout = 3;
};

// A worker thread's own connection for the lifetime of the object; removed at the end.
// Its name is prefix + "_" + thread id + "_" + a serial number.
//     TThreadConnection con(factory, "TNodeLayerThread");
//     if (!con.isOpen()) { ... con.error() ... }
//     QSqlQuery q(con.db());
class TThreadConnection
{
public:
    TThreadConnection(const TDBConnectionFactory &factory, const QString &prefix);
    ~TThreadConnection();
    TThreadConnection(const TThreadConnection &) = delete;
    TThreadConnection &operator=(const TThreadConnection &) = delete;
    QSqlDatabase db() const;
    bool isOpen() const;
    // The connection, reopened when it was found closed (TUniHelper closes a lost one).
    QSqlDatabase Ensure();
    // TDBConnectionFactory::RunReading on this connection.
    bool RunReading(const TDBConnectionFactory::TReadWork &work, QString *error = nullptr);
    QString error() const { return FError; }
    QString name() const { return FName; }

private:
    TDBConnectionFactory FFactory;
    QString FName;
    QString FError;
};

// Error filter of worker-thread connections: connection-class errors are dropped
// (true = drop, nothing to show) and close the connection, which is reopened before
// the next statement (TDBConnectionFactory::Ensure, TThreadConnection::Ensure).
struct TUniHelper
{
    static bool OnError(QSqlDatabase &db, const QSqlError &error);
};

// ---------------------------------------------------------------------------
// Schema check (SQL text per database type)
// ---------------------------------------------------------------------------

struct TSchemaColumn
{
    QString Table;
    QString Column;
    QString OracleType;   // also Tibero
    QString MariaDBType;
    QString FollowUp;     // statement run after adding, with its parameter (or empty)
};

namespace SchemaSql {
// Columns that the check adds when missing, in order.
const QList<TSchemaColumn> &Columns();
QString ExistTable(TDBType type);
QString ExistColumn(TDBType type);
QString LayerTable(TDBType type);      // empty for a type without DDL
QString ForceTodTable(TDBType type);
QString AddColumn(TDBType type, const TSchemaColumn &column);
} // namespace SchemaSql

// The database settings of the settings file (section DBMS and the section of its
// type). *oraStyle tells whether the type takes Oracle-style SQL (Oracle, Tibero).
TDBInfo ReadDBSettings(const TIniFile &ini, bool *oraStyle = nullptr);
