#pragma once
// Shared set-up of the main-window tests: a program folder with a settings file for a
// test database and the language file (TestConsoleFolder.h), statements, and small waits.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "TestConsoleFolder.h"
#include "core/untDM.h"

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

// The data module on the program folder `dir`, installed as DM: short time-outs
// (read 400 ms, connection 500 ms) and the operator "admin" with role 1. Null
// (warned, DM cleared) when it does not start.
inline std::unique_ptr<TDM> OpenAdminDataModule(const QString &dir)
{
    auto dm = std::make_unique<TDM>(dir, "signal-console");
    DM = dm.get();
    if (!dm->DataModuleCreate()) {
        qWarning("the data module on %s does not start", qPrintable(dir));
        DM = nullptr;
        return nullptr;
    }
    dm->G_READ_TIMEOUT = 400;
    dm->G_CONNECTION_TIMEOUT = 500;
    dm->G_APP_USER.ID = "admin";
    dm->G_APP_USER.Role = 1;
    return dm;
}

// The intersections that have an entry in a marker script ([number, "#colour", ...]).
inline QList<int> MarkersIn(const QString &script)
{
    QList<int> out;
    static const QRegularExpression entry(QStringLiteral("\\[(\\d+),\"#"));
    for (auto it = entry.globalMatch(script); it.hasNext();)
        out << it.next().captured(1).toInt();
    return out;
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
