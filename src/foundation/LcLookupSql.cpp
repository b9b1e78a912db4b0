#include "foundation/LcLookupSql.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

// Runs a statement with :INT_LCNO; false without a row or on failure (noted).
bool SelectOne(QSqlQuery &q, const QString &sql, int lcNo, QSqlError *error)
{
    if (error)
        *error = QSqlError();
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        if (error)
            *error = q.lastError();
        return false;
    }
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    return q.next();
}

} // namespace

TLcTypeEx SelectLcTypeEx(const QSqlDatabase &db, int lcNo, QSqlError *error)
{
    if (error)
        *error = QSqlError();
    if (lcNo < 1)
        return lct2004;
    QSqlQuery q(db);
    if (!SelectOne(q,
                   QStringLiteral("SELECT L.INT_LCTYPE, L.INT_LAMPTYPE, M.INT_LAMPTYPE, L.MAIN_LCNO, M.INT_LCNO "
                                  "FROM SCS_M_INTLC L LEFT JOIN SCS_M_INTLC M ON M.INT_LCNO = L.MAIN_LCNO "
                                  "WHERE L.INT_LCNO = :INT_LCNO"),
                   lcNo, error))
        return lct2004;
    if (q.value(0).isNull() || q.value(0).toInt() != 2)
        return lct2004;
    const bool main = !q.value(3).isNull() && q.value(3).toInt() > 0;
    if (main && q.value(4).isNull())
        return lct2004; // the main intersection is missing
    const int lamp = main ? q.value(2).toInt() : q.value(1).toInt();
    return lamp == 0 ? lct2010_3L : lct2010_4L;
}

int SelectLcSaNo(const QSqlDatabase &db, int lcNo, QSqlError *error)
{
    if (error)
        *error = QSqlError();
    if (lcNo < 1)
        return 0;
    QSqlQuery q(db);
    if (!SelectOne(q,
                   QStringLiteral("SELECT B.SA_NO FROM SCS_M_INTLC A INNER JOIN SCS_M_SAOPERATE B "
                                  "ON A.INT_SANO = B.SA_NO WHERE A.INT_LCNO = :INT_LCNO"),
                   lcNo, error))
        return 0;
    return q.value(0).toInt();
}
