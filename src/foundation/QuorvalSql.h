#pragma once
// SQL dialect builders and table copy of the utility library.
#include <QString>
#include <QStringList>

#include "foundation/QuorvalBase.h"
#include "foundation/TypeUnit.h"

class QSqlQuery;

// ===========================================================================
// SQL dialect builders. Oracle and Tibero share the Oracle dialect; MariaDB gets
// its own. Masks are Oracle-style (YYYY, YY, MM, DD, HH24, HH, MI, SS, FF ...) and
// are translated for MariaDB. Every builder pads its text with blanks so that it
// can be glued to the surrounding SQL as it stands. Numbers go into SQL text in the
// C locale.
// ===========================================================================

// The Oracle-style mask as a MariaDB DATE_FORMAT/STR_TO_DATE format.
QString OracleMaskToMariaDB(const QString &mask);

// Date column as text in the mask.
//   bare false: a select item with its alias (else the column's name without table
//               prefix) and a separating comma: " TO_CHAR(T.COL, 'mask') AS COL, "
//   bare true:  the expression alone: " TO_CHAR(T.COL, 'mask') "
// MariaDB: DATE_FORMAT(col, '%...').
QString GetToCharStr(TDBType dbType, const QString &column, bool bare,
                     const QString &alias, const QString &mask);

// Named text parameter (":FROM_DATE") converted to a date-time with the mask;
// withAnd appends " AND " so that two calls form the bounds of a BETWEEN.
// Oracle: TO_DATE, or TO_TIMESTAMP when the mask has fractional seconds (FF).
// MariaDB: STR_TO_DATE.
QString GetToDateStr(TDBType dbType, const QString &paramName, bool withAnd,
                     const QString &mask);

// The expressions joined as text, under the alias when given; trailingComma adds ", ".
// Oracle: (a || b). MariaDB: CONCAT_WS('', a, b): like Oracle's ||, a NULL part
// counts as empty instead of making the whole text NULL.
QString GetConcat(TDBType dbType, const QStringList &expressions,
                  const QString &alias = QString(), bool trailingComma = false);

// An expression as a character value of `length` characters at most.
//   bare true: the expression alone; bare false: with " AS alias" (when given) and,
//   with trailingComma, ", ". Oracle: CAST(x AS VARCHAR2(n)); MariaDB: CAST(x AS CHAR(n)).
QString GetCastStr(TDBType dbType, const QString &expression, bool bare,
                   const QString &alias, bool trailingComma, int length);

// A row limit as a condition, so that it can follow any WHERE condition:
//   form rnfAnd (0):   " AND ROWNUM <= n "      (MariaDB: " AND ROWNUM() <= n ")
//   form rnfWhere (1): " WHERE ROWNUM <= n "    for a statement without WHERE
// MariaDB's ROWNUM() (10.6 and later) counts the accepted rows like Oracle's ROWNUM,
// so no LIMIT clause has to be placed at the end of the statement.
constexpr int rnfAnd = 0;
constexpr int rnfWhere = 1;
QString GetRowNumStr(TDBType dbType, int count, int form = rnfAnd);

// A column name as the database type accepts it in an INSERT list or SET clause:
// MariaDB gets it in back quotes (SSL is a reserved word there), each part of a
// dotted name quoted on its own; Oracle and Tibero get it unchanged.
QString GetMariaDBColumName(TDBType dbType, const QString &column);

// Replaces the target's rows of `table` by a copy of the source's rows with the key
// column set to the target, using the caller's query (its connection and open
// transaction). Values are bound; names are checked to be plain identifiers. The same
// source and target leave the table as it is. Throws EUtilityError on failure.
void CopyTable(QSqlQuery &query, TDBType dbType, const QString &table,
               const QString &keyColumn, const QVariant &source, const QVariant &target);

