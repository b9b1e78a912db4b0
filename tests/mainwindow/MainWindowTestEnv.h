#pragma once
// Shared set-up of the main-window tests: a program folder with a settings file for a
// test database and the language file (TestConsoleFolder.h), statements, and small waits.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "TestConsoleFolder.h"

namespace MainTest {

using TestConsole::LoadLanguage;
using TestConsole::Scalar;

// A program folder for database `db` whose settings also hold the map bounds of the
// demo city, then `extra` lines.
struct ConsoleFolder : TestConsole::Folder
{
    explicit ConsoleFolder(const QString &db, const QString &extra = QString())
        : TestConsole::Folder(db, "[MAP_BOUNDS]\nSOUTH=37.40\nWEST=126.90\nNORTH=37.60\nEAST=127.20\n" + extra)
    {
    }
};

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
