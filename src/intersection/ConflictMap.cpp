#include "intersection/ConflictMap.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/GridHelpers.h"

namespace Conflict {

bool HasMap(TLcTypeEx type)
{
    return type == lct2010_3L || type == lct2010_4L;
}

QString LsuLabel(TLcTypeEx type, int n)
{
    return QStringLiteral("LSU #") + QString::number(type == lct2010_4L ? n / 4 + 1 : n / 2 + 1);
}

QString OutputLabel(TLcTypeEx type, int n)
{
    if (type == lct2010_4L) {
        static const char *const labels[] = {"PG", "A", "G", "-"};
        return QString::fromLatin1(labels[n % 4]);
    }
    return n % 2 == 0 ? QStringLiteral("G1") : QStringLiteral("G2");
}

bool Excluded(TLcTypeEx type, int n)
{
    return type == lct2010_4L && n % 4 == 3;
}

bool Stored(TLcTypeEx type, int y, int x)
{
    return HasMap(type) && y >= 0 && x < Outputs && y < x && !Excluded(type, y) && !Excluded(type, x);
}

bool Load(QSqlDatabase db, int lcNo, TLcTypeEx type, TMatrix *matrix, QString *error)
{
    for (auto &row : *matrix)
        row.fill(0);
    if (!HasMap(type))
        return true;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT INT_LCNO, INT_YNO, INT_XNO, INT_CONFLICTYN FROM SCS_M_INTCONFLICT "
                             "WHERE INT_LCNO = :INT_LCNO"));
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        const int y = q.value(1).toInt();
        const int x = q.value(2).toInt();
        if (Stored(type, y, x))
            (*matrix)[y][x] = q.value(3).toInt() != 0 ? 1 : 0;
    }
    return true;
}

int Save(QSqlDatabase db, int lcNo, TLcTypeEx type, const TMatrix &matrix)
{
    ExecSqlOrThrow(db, QStringLiteral("DELETE FROM SCS_M_INTCONFLICT WHERE INT_LCNO = :KEY_INT_LCNO "),
                   {{":KEY_INT_LCNO", lcNo}});
    int count = 0;
    for (int y = 0; y < Outputs; ++y)
        for (int x = 0; x < Outputs; ++x) {
            if (!Stored(type, y, x))
                continue;
            ExecSqlOrThrow(db,
                           QStringLiteral("INSERT INTO SCS_M_INTCONFLICT (INT_LCNO, INT_YNO, INT_XNO, INT_CONFLICTYN) "
                                          "VALUES (:INT_LCNO, :INT_YNO, :INT_XNO, :INT_CONFLICTYN)"),
                           {{":INT_LCNO", lcNo}, {":INT_YNO", y}, {":INT_XNO", x},
                            {":INT_CONFLICTYN", matrix[y][x] != 0 ? 1 : 0}});
            ++count;
        }
    return count;
}

QString LsuBandCaption(TLcTypeEx type, int k)
{
    if (type == lct2010_3L)
        return QStringLiteral("LSU #%1 | LSU #%2").arg(2 * k + 1).arg(2 * k + 2);
    return QStringLiteral("LSU #%1").arg(k + 1);
}

QString CellStyle(TLcTypeEx type, int y, int column, int value)
{
    if (column == 0)
        return QStringLiteral("stlSelection");
    if (column < 3)
        return QStringLiteral("stlEven");
    if (!Stored(type, y, column - 3))
        return QStringLiteral("stlReadOnly");
    return value == 1 ? QStringLiteral("stlEOP") : QString();
}

QString CellStyle(TLcTypeEx type, int y, int column, int value, int focusedRow, int focusedColumn)
{
    const QString own = CellStyle(type, y, column, value);
    if (column < 3)
        return own;
    if (y == focusedRow && column == focusedColumn)
        return QStringLiteral("white");
    if (!own.isEmpty())
        return own;
    return y == focusedRow || column == focusedColumn ? QStringLiteral("stlSelection") : QString();
}

QStringList LsuBandHalves(TLcTypeEx type, int k)
{
    if (type != lct2010_3L)
        return {};
    return {QStringLiteral("LSU #%1").arg(2 * k + 1), QStringLiteral("LSU #%1").arg(2 * k + 2)};
}

} // namespace Conflict
