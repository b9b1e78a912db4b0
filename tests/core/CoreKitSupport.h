#pragma once
// Helpers of the grid kit's tests: a program folder with settings for a test
// database, the data module on it, the language file, and reading a written
// workbook back with an independent reader (python3-openpyxl).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "TestConsoleFolder.h"
#include "TestDb.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace CoreKit {

// Loads the joined language file of the build (Korean active).
using TestConsole::LoadLanguage;

// A program folder whose settings point at test database `db`, and a data module on it
// (installed as DM for the lifetime of the object).
struct TDataModule
{
    TestConsole::Folder dir;
    std::unique_ptr<TDM> dm;
    bool ok = false;

    explicit TDataModule(const QString &db) : dir(db)
    {
        dm = std::make_unique<TDM>(dir.path(), "signal-console");
        DM = dm.get();
        ok = dm->DataModuleCreate();
        dm->G_DIALOG_PATH = dir.path();
    }
    ~TDataModule()
    {
        if (DM == dm.get())
            DM = nullptr;
    }
};

// The python that has openpyxl (the system one; a user's python may lack it).
inline QString Python()
{
    return QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

// Every row of the first sheet of a workbook, each cell as text (numbers without
// a fractional part as integers), read by openpyxl. Empty list on failure (warned).
inline QList<QStringList> ReadXlsx(const QString &file)
{
    static const char *script =
        "import json, sys, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
        "def t(v):\n"
        "    if v is None: return ''\n"
        "    if isinstance(v, bool): return str(v)\n"
        "    if isinstance(v, (int, float)):\n"
        "        return str(int(v)) if float(v).is_integer() else repr(float(v))\n"
        "    return str(v)\n"
        "print(json.dumps([[t(c) for c in r] for r in ws.iter_rows(values_only=True)], ensure_ascii=False))\n";
    QProcess p;
    p.start(Python(), {"-c", script, file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("openpyxl: %s", p.readAllStandardError().constData());
        return {};
    }
    QList<QStringList> rows;
    const QJsonArray arr = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    for (const auto &r : arr) {
        QStringList row;
        for (const auto &c : r.toArray())
            row << c.toString();
        rows << row;
    }
    return rows;
}

} // namespace CoreKit
