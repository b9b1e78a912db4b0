#pragma once
// Shared set-up of the main-window tests: a program folder with a settings file for a
// test database and the language file, and small waits.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "TestDb.h"
#include "siLang.h"

namespace MainTest {

// Loads the joined language file of the build (beside the test programs).
inline bool LoadLanguage(int language = TsiLangDispatcher::LangKorean)
{
    const bool ok = TsiLangDispatcher::instance()->LoadFromFile(QCoreApplication::applicationDirPath()
                                                                 + "/res/signal-console.sil");
    TsiLangDispatcher::instance()->SetActiveLanguage(language);
    return ok;
}

// A program folder: signal-console.ini for database `db` (plus `extra` lines) and res/.
struct ConsoleFolder
{
    QTemporaryDir dir;
    explicit ConsoleFolder(const QString &db, const QString &extra = QString())
    {
        QDir().mkpath(dir.filePath("res"));
        QFile::copy(QCoreApplication::applicationDirPath() + "/res/signal-console.sil",
                    dir.filePath("res/signal-console.sil"));
        QFile f(dir.filePath("signal-console.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(QString("[DBMS]\nDBMS_TYPE=MARIADB\n[MARIADB]\nSERVER=127.0.0.1\nPORT=%1\nDBNAME=%2\n"
                        "USER_ID=%3\nUSER_PW=%4\n[L10N]\nSIL_FILE=signal-console.sil\nLANGUAGE=Korean\n"
                        "[MAP_BOUNDS]\nSOUTH=37.40\nWEST=126.90\nNORTH=37.60\nEAST=127.20\n%5")
                    .arg(TestDb::port())
                    .arg(db, TestDb::user(), TestDb::password(), extra)
                    .toUtf8());
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

inline int Scalar(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return -1;
    }
    return q.value(0).toInt();
}

inline bool Exec(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return false;
    }
    return true;
}

// Serves events until `done` or the time-out; true when done.
inline bool WaitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(10);
    }
    return true;
}

} // namespace MainTest
