#pragma once
// Shared set-up of the intersection editor tests: a fixture database (with or
// without the demo city), the data module on it and the language file (Korean
// active), and reading one column of a query or running a statement.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <memory>

#include "CoreKitSupport.h"

namespace EditorFixture {

struct TEditorDb
{
    QString Name;
    std::unique_ptr<CoreKit::TDataModule> Dm;

    // Creates the database (the demo city loaded when `demo` is set), opens the
    // data module on it and loads the language file.
    bool Open(const QString &name, bool demo = true)
    {
        Name = name;
        if (!TestDb::create(name, demo))
            return false;
        Dm = std::make_unique<CoreKit::TDataModule>(name);
        return Dm->ok && CoreKit::LoadLanguage();
    }
    // Runs a script on the database; the failure's text in *error.
    bool Run(const QString &sql, QString *error = nullptr) const { return TestDb::runScript(Name, sql, error); }
    void Close() { Dm.reset(); }
};

// The first column of every row of a query on `db` (NULL as "NULL"; the
// error's text as the only entry when it fails).
inline QStringList Column(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    QStringList list;
    if (!q.exec(sql))
        return {q.lastError().text()};
    while (q.next())
        list << (q.value(0).isNull() ? QStringLiteral("NULL") : q.value(0).toString());
    return list;
}

// The same on the data module's connection.
inline QStringList Column(const QString &sql)
{
    return Column(DM->Con(), sql);
}

// Runs one statement on the data module's connection; a failure is logged with
// the statement and its error.
inline bool Exec(const QString &sql)
{
    QSqlQuery q(DM->Con());
    if (!q.exec(sql)) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return false;
    }
    return true;
}

} // namespace EditorFixture
