#pragma once
// A console program folder for tests: signal-console.ini pointing at a test database
// (MariaDB over loopback) and res/ with the build's joined language file; the
// language file loaded into the dispatcher; a one-number query. Header only: test
// programs that use it link the core library.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>

#include "TestDb.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace TestConsole {

// The joined language file of the build (beside the test programs).
inline QString LanguageFile()
{
    return QCoreApplication::applicationDirPath() + "/res/signal-console.sil";
}

// Loads the joined language file and makes `language` active (1 Korean, 2 English).
inline bool LoadLanguage(int language = TsiLangDispatcher::LangKorean)
{
    auto *d = TsiLangDispatcher::instance();
    const bool ok = d->LoadFromFile(LanguageFile());
    d->SetActiveLanguage(language);
    return ok;
}

// The settings lines that reach test database `db` ([DBMS] and [MARIADB]); `port` 0
// is the fixture server's port.
inline QString DbSettings(const QString &db, int port = 0)
{
    return QString("[DBMS]\nDBMS_TYPE=MARIADB\n[MARIADB]\nSERVER=127.0.0.1\nPORT=%1\nDBNAME=%2\n"
                   "USER_ID=%3\nUSER_PW=%4\n")
        .arg(port ? port : TestDb::port())
        .arg(db, TestDb::user(), TestDb::password());
}

// The connection time-out of test programs: long enough for a loaded machine (many
// test programs open their connections at once); a refused port still fails at once.
inline QString SlowMachineTimeout()
{
    return QStringLiteral("[COM-ENV]\nDB_CONNECTION_TIMEOUT=30\n");
}

// A program folder: signal-console.ini with the database settings of `db`, the
// language settings (Korean) and then `extra` lines as they stand; res/ holds the
// language file. A time-out in `extra` holds over the long default written after it
// (the first value of a key is the one read).
struct Folder
{
    QTemporaryDir dir;
    explicit Folder(const QString &db, const QString &extra = QString(), int port = 0)
    {
        QDir().mkpath(dir.filePath("res"));
        QFile::copy(LanguageFile(), dir.filePath("res/signal-console.sil"));
        QFile f(ini());
        f.open(QIODevice::WriteOnly);
        f.write((DbSettings(db, port) + "[L10N]\nSIL_FILE=signal-console.sil\nLANGUAGE=Korean\n" + extra
                 + SlowMachineTimeout()).toUtf8());
    }
    QString path() const { return dir.path(); }
    QString ini() const { return dir.filePath("signal-console.ini"); }
    QString iniText() const
    {
        QFile f(ini());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
};

// The first column of the first row of `sql` as a number; -1 (warned) on an error or
// no row.
inline int Scalar(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return -1;
    }
    return q.value(0).toInt();
}

// A data module for window tests: the settings file of `db` in `dir`, the texts,
// the connection and the operator "tester". nullptr (warned) when it does not connect.
inline TDM *OpenDataModule(const QString &dir, const QString &db)
{
    QFile ini(QDir(dir).filePath(QStringLiteral("signal-console.ini")));
    if (!ini.open(QIODevice::WriteOnly)) {
        qWarning("cannot write %s", qPrintable(ini.fileName()));
        return nullptr;
    }
    ini.write((DbSettings(db) + SlowMachineTimeout()).toUtf8());
    ini.close();
    auto *dm = new TDM(dir, QStringLiteral("signal-console"));
    dm->LoadConfig();
    dm->UpdateStrings();
    if (!dm->ConnectDB()) {
        qWarning("the data module does not connect to %s", qPrintable(db));
        delete dm;
        return nullptr;
    }
    dm->G_APP_USER.ID = QStringLiteral("tester");
    return dm;
}

} // namespace TestConsole
