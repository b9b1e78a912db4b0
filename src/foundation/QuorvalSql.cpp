// SQL dialect builders and the table copy of the utility library.
#include "foundation/QuorvalSql.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

bool isOracleStyle(TDBType t)
{
    return t != dtMariaDB;
}

QString quoteLiteral(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString withoutTablePrefix(const QString &column)
{
    const QString c = column.trimmed();
    const qsizetype dot = c.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? c.mid(dot + 1) : c;
}

// A plain (optionally dotted) identifier: letters, digits, _, $, #.
bool isPlainIdentifier(const QString &name)
{
    static const QRegularExpression re(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_$#]*(\\.[A-Za-z_][A-Za-z0-9_$#]*)?$"));
    return re.match(name).hasMatch();
}

bool hasFractionalSeconds(const QString &mask)
{
    // FF outside double-quoted literal text.
    bool inQuote = false;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('"')) {
            inQuote = !inQuote;
            continue;
        }
        if (!inQuote && i + 1 < mask.size() && c.toUpper() == QLatin1Char('F')
            && mask.at(i + 1).toUpper() == QLatin1Char('F'))
            return true;
    }
    return false;
}

} // namespace

QString OracleMaskToMariaDB(const QString &mask)
{
    // Longest tokens first.
    struct Tok { const char *oracle; const char *maria; };
    static const Tok toks[] = {
        {"YYYY", "%Y"}, {"HH24", "%H"}, {"HH12", "%h"}, {"MONTH", "%M"},
        {"FF1", "%f"}, {"FF2", "%f"}, {"FF3", "%f"}, {"FF4", "%f"}, {"FF5", "%f"},
        {"FF6", "%f"}, {"FF7", "%f"}, {"FF8", "%f"}, {"FF9", "%f"},
        {"MON", "%b"}, {"DAY", "%W"}, {"YY", "%y"}, {"MM", "%m"}, {"MI", "%i"},
        {"DD", "%d"}, {"DY", "%a"}, {"HH", "%h"}, {"SS", "%s"}, {"FF", "%f"},
        {"AM", "%p"}, {"PM", "%p"},
    };
    QString out;
    const QString up = mask.toUpper();
    qsizetype i = 0;
    while (i < mask.size()) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('"')) { // literal text
            qsizetype j = i + 1;
            while (j < mask.size() && mask.at(j) != QLatin1Char('"')) {
                out += mask.at(j) == QLatin1Char('%') ? QStringLiteral("%%") : QString(mask.at(j));
                ++j;
            }
            i = j + 1;
            continue;
        }
        bool matched = false;
        for (const Tok &t : toks) {
            const QLatin1StringView o(t.oracle);
            if (up.mid(i, o.size()) == o) {
                out += QLatin1StringView(t.maria);
                i += o.size();
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        out += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
        ++i;
    }
    return out;
}

QString GetToCharStr(TDBType dbType, const QString &column, bool bare, const QString &alias,
                     const QString &mask)
{
    const QString col = column.trimmed();
    const QString expr = isOracleStyle(dbType)
        ? QStringLiteral("TO_CHAR(%1, %2)").arg(col, quoteLiteral(mask))
        : QStringLiteral("DATE_FORMAT(%1, %2)").arg(col, quoteLiteral(OracleMaskToMariaDB(mask)));
    if (bare)
        return QLatin1Char(' ') + expr + QLatin1Char(' ');
    const QString name = alias.trimmed().isEmpty() ? withoutTablePrefix(col) : alias.trimmed();
    return QStringLiteral(" %1 AS %2, ").arg(expr, name);
}

QString GetToDateStr(TDBType dbType, const QString &paramName, bool withAnd, const QString &mask)
{
    QString expr;
    if (isOracleStyle(dbType)) {
        const char *fn = hasFractionalSeconds(mask) ? "TO_TIMESTAMP" : "TO_DATE";
        expr = QStringLiteral("%1(%2, %3)").arg(QLatin1StringView(fn), paramName.trimmed(),
                                                quoteLiteral(mask));
    } else {
        expr = QStringLiteral("STR_TO_DATE(%1, %2)")
                   .arg(paramName.trimmed(), quoteLiteral(OracleMaskToMariaDB(mask)));
    }
    return QLatin1Char(' ') + expr + (withAnd ? QStringLiteral(" AND ") : QStringLiteral(" "));
}

QString GetConcat(TDBType dbType, const QStringList &expressions, const QString &alias,
                  bool trailingComma)
{
    QStringList parts;
    for (const QString &e : expressions)
        parts << e.trimmed();
    QString expr;
    if (parts.isEmpty())
        expr = QStringLiteral("''");
    else if (isOracleStyle(dbType))
        expr = QLatin1Char('(') + parts.join(QStringLiteral(" || ")) + QLatin1Char(')');
    else
        expr = QStringLiteral("CONCAT_WS('', ") + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
    QString out = QLatin1Char(' ') + expr;
    if (!alias.trimmed().isEmpty())
        out += QStringLiteral(" AS ") + alias.trimmed();
    out += trailingComma ? QStringLiteral(", ") : QStringLiteral(" ");
    return out;
}

QString GetCastStr(TDBType dbType, const QString &expression, bool bare, const QString &alias,
                   bool trailingComma, int length)
{
    const int n = qMax(1, length);
    const QString expr = isOracleStyle(dbType)
        ? QStringLiteral("CAST(%1 AS VARCHAR2(%2))").arg(expression.trimmed()).arg(n)
        : QStringLiteral("CAST(%1 AS CHAR(%2))").arg(expression.trimmed()).arg(n);
    if (bare)
        return QLatin1Char(' ') + expr + QLatin1Char(' ');
    QString out = QLatin1Char(' ') + expr;
    if (!alias.trimmed().isEmpty())
        out += QStringLiteral(" AS ") + alias.trimmed();
    out += trailingComma ? QStringLiteral(", ") : QStringLiteral(" ");
    return out;
}

QString GetRowNumStr(TDBType dbType, int count, int form)
{
    const QString lead = form == rnfWhere ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
    const QString rownum = isOracleStyle(dbType) ? QStringLiteral("ROWNUM") : QStringLiteral("ROWNUM()");
    // QString::number writes in the C locale.
    return lead + rownum + QStringLiteral(" <= ") + QString::number(qMax(0, count)) + QLatin1Char(' ');
}

QString GetMariaDBColumName(TDBType dbType, const QString &column)
{
    const QString c = column.trimmed();
    if (dbType != dtMariaDB)
        return c;
    QStringList parts = c.split(QLatin1Char('.'));
    for (QString &p : parts) {
        if (p.startsWith(QLatin1Char('`')) && p.endsWith(QLatin1Char('`')) && p.size() >= 2)
            continue;
        p.replace(QLatin1Char('`'), QStringLiteral("``"));
        p = QLatin1Char('`') + p + QLatin1Char('`');
    }
    return parts.join(QLatin1Char('.'));
}

// ---------------------------------------------------------------------------

void CopyTable(QSqlQuery &query, TDBType dbType, const QString &table, const QString &keyColumn,
               const QVariant &source, const QVariant &target)
{
    const QString tbl = table.trimmed();
    const QString key = keyColumn.trimmed();
    if (!isPlainIdentifier(tbl) || !isPlainIdentifier(key) || key.contains(QLatin1Char('.')))
        throw EUtilityError(QStringLiteral("CopyTable: invalid table or key column name (%1, %2)")
                                .arg(tbl, key));
    if (!source.isValid() || source.isNull() || !target.isValid() || target.isNull())
        throw EUtilityError(QStringLiteral("CopyTable: source and target are required"));
    if (source.toString() == target.toString())
        return; // the target's rows already are the source's rows

    const QSqlDriver *driver = query.driver();
    if (!driver)
        throw EUtilityError(QStringLiteral("CopyTable: the query has no connection"));
    const QSqlRecord rec = driver->record(tbl);
    if (rec.isEmpty())
        throw EUtilityError(QStringLiteral("CopyTable: table %1 not found").arg(tbl));

    QStringList cols;
    QStringList selectItems;
    bool keyFound = false;
    for (int i = 0; i < rec.count(); ++i) {
        const QString name = rec.fieldName(i);
        const QString q = GetMariaDBColumName(dbType, name);
        cols << q;
        if (name.compare(key, Qt::CaseInsensitive) == 0) {
            selectItems << QStringLiteral("?");
            keyFound = true;
        } else {
            selectItems << q;
        }
    }
    if (!keyFound)
        throw EUtilityError(QStringLiteral("CopyTable: table %1 has no column %2").arg(tbl, key));

    const QString qTable = GetMariaDBColumName(dbType, tbl);
    const QString qKey = GetMariaDBColumName(dbType, key);

    auto run = [&query](const QString &sql, const QVariantList &values) {
        if (!query.prepare(sql))
            throw EUtilityError(query.lastError().text());
        for (const QVariant &v : values)
            query.addBindValue(v);
        if (!query.exec())
            throw EUtilityError(query.lastError().text());
        query.finish();
    };

    run(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(qTable, qKey), {target});
    run(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1 WHERE %4 = ?")
            .arg(qTable, cols.join(QStringLiteral(", ")), selectItems.join(QStringLiteral(", ")), qKey),
        {target, source});
}
