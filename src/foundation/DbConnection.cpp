#include "foundation/DbConnection.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include "foundation/IniFile.h"

// ===========================================================================
// Database errors
// ===========================================================================

namespace {

// The native error number of an error (leading digits of the driver's code; Oracle
// codes may come as "ORA-03113").
int nativeNumber(const QSqlError &e)
{
    QString code = e.nativeErrorCode().trimmed();
    if (code.startsWith(QLatin1String("ORA-"), Qt::CaseInsensitive))
        code = code.mid(4);
    int end = 0;
    while (end < code.size() && code.at(end).isDigit())
        ++end;
    bool ok = false;
    const int n = code.left(end).toInt(&ok);
    return ok ? n : 0;
}

bool isGenericIoError(const QSqlError &e)
{
    return e.databaseText() == QLatin1String(" Generic I/O error.   ")
        || e.driverText() == QLatin1String(" Generic I/O error.   ")
        || e.databaseText().trimmed() == QLatin1String("Generic I/O error.");
}

} // namespace

TDbErrorClass ClassifyDbError(const QSqlError &error, bool workerThread)
{
    if (error.type() == QSqlError::NoError)
        return TDbErrorClass::NoError;
    if (isGenericIoError(error))
        return TDbErrorClass::Connection;
    const int n = nativeNumber(error);
    // MariaDB client codes: 2002/2003 cannot connect, 2006 server gone away, 2013 lost
    // during query, 2055 lost at reading; 2139 (main connection only); Oracle 3113/3114
    // end of communication channel / not connected. ORA-00001 (unique constraint) is
    // a constraint violation and is never filtered.
    switch (n) {
    case 2002: case 2003: case 2006: case 2013: case 2055: case 3113: case 3114:
        return TDbErrorClass::Connection;
    case 2139:
        return workerThread ? TDbErrorClass::Other : TDbErrorClass::Connection;
    default:
        break;
    }
    if (n == 0 && error.type() == QSqlError::ConnectionError)
        return TDbErrorClass::Connection;
    return TDbErrorClass::Other;
}

bool TUniHelper::OnError(QSqlDatabase &db, const QSqlError &error)
{
    if (ClassifyDbError(error, true) != TDbErrorClass::Connection)
        return false;
    // A lost connection stays lost: closed here, it is opened again before the
    // next statement.
    db.close();
    return true;
}

// ===========================================================================
// Connections
// ===========================================================================

TDBConnectionFactory::TDBConnectionFactory(const TDBInfo &db, int timeoutSeconds)
    : FDB(db), FTimeout(timeoutSeconds)
{
}

TDBConnectionParams TDBConnectionFactory::Params(const TDBInfo &db, int timeoutSeconds)
{
    TDBConnectionParams p;
    const int timeout = qMax(1, timeoutSeconds);
    p.UserName = db.UserID;
    p.Password = db.UserPW;
    switch (db.DBType) {
    case dtMariaDB:
        p.Driver = QStringLiteral("QMYSQL");
        p.HostName = db.Server;
        p.Port = db.Port.str().trimmed().toInt();
        if (p.Port <= 0)
            p.Port = 3306;
        p.DatabaseName = db.DBName;
        p.ConnectOptions = QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1").arg(timeout);
        break;
    case dtTibero:
        p.Driver = QStringLiteral("QODBC");
        p.DatabaseName = db.DataSource; // the ODBC data source name
        p.ConnectOptions = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(timeout);
        break;
    case dtOracle: {
        const QString server = db.Server, port = db.Port, name = db.SID;
        if (QSqlDatabase::isDriverAvailable(QStringLiteral("QOCI"))) {
            p.Driver = QStringLiteral("QOCI");
            p.DatabaseName = QStringLiteral("(DESCRIPTION=(CONNECT_TIMEOUT=%1)(ADDRESS=(PROTOCOL=TCP)"
                                            "(HOST=%2)(PORT=%3))(CONNECT_DATA=(%4=%5)))")
                                 .arg(timeout)
                                 .arg(server, port,
                                      db.IsServiceName ? QStringLiteral("SERVICE_NAME")
                                                       : QStringLiteral("SID"),
                                      name);
        } else {
            p.Driver = QStringLiteral("QODBC");
            p.DatabaseName = QStringLiteral("DRIVER={Oracle};DBQ=%1:%2/%3;")
                                 .arg(server, port, name);
            p.ConnectOptions = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(timeout);
        }
        break;
    }
    }
    return p;
}

static void applyParams(QSqlDatabase &db, const TDBConnectionParams &p)
{
    db.setHostName(p.HostName);
    if (p.Port > 0)
        db.setPort(p.Port);
    db.setDatabaseName(p.DatabaseName);
    db.setUserName(p.UserName);
    db.setPassword(p.Password);
    db.setConnectOptions(p.ConnectOptions);
}

QSqlDatabase TDBConnectionFactory::Open(const QString &name, QString *error) const
{
    const TDBConnectionParams p = Params();
    QSqlDatabase db;
    if (QSqlDatabase::contains(name)) {
        db = QSqlDatabase::database(name, false);
        if (db.driverName() != p.Driver) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            db = QSqlDatabase::addDatabase(p.Driver, name);
        }
    } else {
        db = QSqlDatabase::addDatabase(p.Driver, name);
    }
    if (db.isOpen())
        return db;
    applyParams(db, p);
    if (!db.open() && error)
        *error = db.lastError().text();
    return db;
}

QSqlDatabase TDBConnectionFactory::Ensure(const QString &name, QString *error) const
{
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            return db;
    }
    return Open(name, error);
}

bool TDBConnectionFactory::RunReading(const QString &name, const TReadWork &work, QString *error) const
{
    QString why;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QSqlDatabase db = Ensure(name, &why);
        if (!db.isOpen())
            break;
        QSqlError e;
        if (work(db, &e))
            return true;
        why = e.text();
        if (ClassifyDbError(e, true) != TDbErrorClass::Connection)
            break;
        // Lost (the server went away meanwhile): closed, and opened again for the
        // second attempt.
        db.close();
    }
    if (error)
        *error = why;
    return false;
}

void TDBConnectionFactory::Close(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QString TDBConnectionFactory::ThreadConnectionName(const QString &prefix)
{
    return prefix + QLatin1Char('_')
        + QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()), 16);
}

TThreadConnection::TThreadConnection(const TDBConnectionFactory &factory, const QString &prefix)
    : FFactory(factory)
{
    // Unique even for two connections of one thread.
    static QAtomicInt serial;
    FName = TDBConnectionFactory::ThreadConnectionName(prefix) + QLatin1Char('_')
        + QString::number(serial.fetchAndAddRelaxed(1));
    factory.Open(FName, &FError);
}

TThreadConnection::~TThreadConnection()
{
    TDBConnectionFactory::Close(FName);
}

QSqlDatabase TThreadConnection::db() const
{
    return QSqlDatabase::database(FName, false);
}

bool TThreadConnection::isOpen() const
{
    return QSqlDatabase::contains(FName) && db().isOpen();
}

QSqlDatabase TThreadConnection::Ensure()
{
    FError.clear();
    return FFactory.Ensure(FName, &FError);
}

bool TThreadConnection::RunReading(const TDBConnectionFactory::TReadWork &work, QString *error)
{
    const bool ok = FFactory.RunReading(FName, work, &FError);
    if (error)
        *error = FError;
    return ok;
}

// ===========================================================================
// Schema SQL
// ===========================================================================

namespace SchemaSql {

const QList<TSchemaColumn> &Columns()
{
    static const QList<TSchemaColumn> columns = {
        {"SCS_M_INTLC", "INT_COMMENTS", "BLOB", "BLOB", {}},
        {"SCS_M_TFDTOPERATE", "TFDT_ID", "VARCHAR2(10)", "VARCHAR(10)", {}},
        {"SCS_M_TFDTOPERATE", "TFDT_REAL_LCNO", "NUMBER(4)", "SMALLINT", {}},
        {"SCS_M_TFDTOPERATE", "TFDT_REAL_CHANNEL", "NUMBER(3)", "SMALLINT", {}},
        {"SCS_M_INTALGORITHM", "INT_DSDEGREE1", "NUMBER(3)", "SMALLINT", {}},
        {"SCS_M_INTALGORITHM", "INT_DSDEGREE2", "NUMBER(3)", "SMALLINT", {}},
        {"SCS_M_INTSPILLBACK", "INT_SPILLBACKSTARTHOUR", "NUMBER(2)", "TINYINT", {}},
        {"SCS_M_INTSPILLBACK", "INT_SPILLBACKSTARTMIN", "NUMBER(2)", "TINYINT", {}},
        {"SCS_M_INTSPILLBACK", "INT_SPILLBACKENDHOUR", "NUMBER(2)", "TINYINT", {}},
        {"SCS_M_INTSPILLBACK", "INT_SPILLBACKENDMIN", "NUMBER(2)", "TINYINT", {}},
        {"SCS_M_INTSPILLBACK", "INT_SPILLBACKACTIVE", "NUMBER(1)", "TINYINT", {}},
        {"SCS_M_INTPHASE", "LINK_ID", "VARCHAR2(10)", "VARCHAR(10)", {}},
        {"SCS_M_INTOUTPED", "INT_PEDEXT", "NUMBER(2)", "SMALLINT", {}},
        {"SCS_M_USER", "USER_UPDATE", "TIMESTAMP", "TIMESTAMP(6)",
         " UPDATE SCS_M_USER SET USER_UPDATE = :USER_UPDATE "},
        {"SCS_M_USER", "USER_CHECK", "NUMBER(2)", "TINYINT",
         " UPDATE SCS_M_USER SET USER_CHECK = :USER_CHECK "},
        {"SCS_M_USER", "BOOKMARKS", "VARCHAR2(1000)", "VARCHAR(1000)", {}},
    };
    return columns;
}

QString ExistTable(TDBType type)
{
    switch (type) {
    case dtOracle:
        return QStringLiteral(" SELECT COUNT(*) AS CNT FROM user_tab_cols WHERE TABLE_NAME = :TABLE_NAME ");
    case dtTibero:
        return QStringLiteral(" SELECT COUNT(*) AS CNT FROM USER_TAB_COLUMNS WHERE TABLE_NAME = :TABLE_NAME ");
    case dtMariaDB:
        return QStringLiteral(" SELECT COUNT(*) AS CNT FROM information_schema.COLUMNS"
                              " WHERE TABLE_SCHEMA = :SCHEMA AND TABLE_NAME = :TABLE_NAME ");
    }
    return QString();
}

QString ExistColumn(TDBType type)
{
    return ExistTable(type) + QStringLiteral(" AND COLUMN_NAME = :COLUMN_NAME ");
}

QString LayerTable(TDBType type)
{
    if (type == dtMariaDB)
        return QStringLiteral(" CREATE TABLE SCS_M_LAYER ( LAYER_NAME CHAR(4) NOT NULL,"
                              " GEOJSON MEDIUMBLOB DEFAULT NULL, PRIMARY KEY (LAYER_NAME) ) ");
    return QStringLiteral(" CREATE TABLE SCS_M_LAYER ( LAYER_NAME CHAR(4), GEOJSON BLOB,"
                          " CONSTRAINT PK_SCS_M_LAYER PRIMARY KEY(LAYER_NAME) ) ");
}

QString ForceTodTable(TDBType type)
{
    const bool maria = type == dtMariaDB;
    QStringList cols;
    cols << (maria ? "INT_LCNO SMALLINT NOT NULL" : "INT_LCNO NUMBER(4) NOT NULL");
    cols << (maria ? "INT_FORCEPLAN TINYINT NOT NULL" : "INT_FORCEPLAN NUMBER(2) NOT NULL");
    for (const char *d : {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"})
        cols << QStringLiteral("INT_%1 %2").arg(QLatin1String(d), maria ? "TINYINT" : "NUMBER(1)");
    for (const char *t : {"STARTHOUR", "STARTMIN", "ENDHOUR", "ENDMIN"})
        cols << QStringLiteral("INT_%1 %2").arg(QLatin1String(t), maria ? "TINYINT" : "NUMBER(2)");
    for (const char ring : {'A', 'B'})
        for (int i = 1; i <= 8; ++i)
            cols << QStringLiteral("INT_%1SPLIT%2 %3").arg(QChar(ring)).arg(i).arg(maria ? "SMALLINT" : "NUMBER(3)");
    cols << (maria ? "INT_OFFSET SMALLINT" : "INT_OFFSET NUMBER(3)");
    cols << (maria ? "INT_REGFLAG TINYINT" : "INT_REGFLAG NUMBER(1)");
    cols << (maria ? "PRIMARY KEY (INT_LCNO, INT_FORCEPLAN)"
                   : "CONSTRAINT SCS_M_INTFORCETOD_PK PRIMARY KEY (INT_LCNO, INT_FORCEPLAN)");
    return QStringLiteral(" CREATE TABLE SCS_M_INTFORCETOD ( ") + cols.join(QStringLiteral(", "))
        + QStringLiteral(" ) ");
}

QString AddColumn(TDBType type, const TSchemaColumn &c)
{
    if (type == dtMariaDB)
        return QStringLiteral(" ALTER TABLE %1 ADD COLUMN %2 %3 %4 ")
            .arg(c.Table, c.Column, c.MariaDBType,
                 c.MariaDBType == QLatin1String("TIMESTAMP(6)") ? QStringLiteral("NULL")
                                                                 : QStringLiteral("DEFAULT NULL"));
    return QStringLiteral(" ALTER TABLE %1 ADD %2 %3 DEFAULT %4 ")
        .arg(c.Table, c.Column, c.OracleType, QStringLiteral("NULL"));
}

} // namespace SchemaSql

// ===========================================================================
// Settings
// ===========================================================================

TDBInfo ReadDBSettings(const TIniFile &ini, bool *oraStyle)
{
    TDBInfo db;
    bool oraFunc = false;
    const QString type = ini.ReadString("DBMS", "DBMS_TYPE", "ORACLE").toUpper();
    if (type == QLatin1String("ORACLE")) {
        db.Server = ini.ReadString("ORACLE", "SERVER", "127.0.0.1");
        db.Port = ini.ReadString("ORACLE", "PORT", "1521");
        db.SID = ini.ReadString("ORACLE", "SID", "");
        if (db.SID.isEmpty()) {
            db.SID = ini.ReadString("ORACLE", "SERVICE_NAME", "ITS");
            db.IsServiceName = true;
        }
        db.UserID = ini.ReadString("ORACLE", "USER_ID", "SCS");
        db.UserPW = ini.ReadString("ORACLE", "USER_PW", "QVX");
        db.DBType = dtOracle;
        oraFunc = true;
    } else if (type == QLatin1String("TIBERO")) {
        db.DataSource = ini.ReadString("TIBERO", "DataSource", "UCT");
        db.UserID = ini.ReadString("TIBERO", "USER_ID", "SCS");
        db.UserPW = ini.ReadString("TIBERO", "USER_PW", "QVX");
        db.DBType = dtTibero;
        oraFunc = true;
    } else if (type == QLatin1String("MARIADB")) {
        db.Server = ini.ReadString("MARIADB", "SERVER", "127.0.0.1");
        db.Port = ini.ReadString("MARIADB", "PORT", "3306");
        db.DBName = ini.ReadString("MARIADB", "DBNAME", "scsdb");
        db.UserID = ini.ReadString("MARIADB", "USER_ID", "scs");
        db.UserPW = ini.ReadString("MARIADB", "USER_PW", "qvx");
        db.DBType = dtMariaDB;
        oraFunc = false;
    } else {
        // Unknown type: the settings stay empty and the connection fails.
        oraFunc = false;
    }
    if (oraStyle)
        *oraStyle = oraFunc;
    return db;
}
