#include "plans/GroupStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "core/GridHelpers.h"

namespace GroupStore {

const QStringList &MasterColumns()
{
    static const QStringList columns{
        "SA_NO", "SA_NAME", "SA_DEFAULTCNTLMODE", "SA_MINOPERATECYCLE", "SA_PHASEFACTOR",
        "SA_OFFSETADJSTFACTOR", "SA_TRCCNTL1", "SA_TRCCNTL2", "SA_AUTOONLINEREQ", "SA_MINCYCLELEVEL",
        "SA_MAXCYCLELEVEL", "SA_CYCLEMTD", "SA_CYCLERNG", "SA_CYCLETRANSMTD", "SA_CYCLETIMESETMTD",
        "SA_SAJOINMTD", "SA_SAJOINVARIABLE1", "SA_SAJOINVARIABLE2", "SA_SAJOINVARIABLE3",
        "SA_SAJOINVARIABLE4", "SA_SAJOINVARIABLE5", "SA_SAJOINVARIABLE6", "SA_REGFLAG"};
    return columns;
}

const QStringList &MergeColumns()
{
    static const QStringList columns{
        "SA_LINKINDEX", "SA_LINKSEG", "SA_LINKMAININT", "SA_LINKSUBINT", "SA_LINKOFFSETIN",
        "SA_LINKOFFSETAVG", "SA_LINKOFFSETOUT", "SA_LINKMGCOND", "SA_LINKMGCYCLE", "SA_LINKHOLDCYCLE",
        "SA_LINKCYCLEGAP", "SA_MGAXIS", "SA_TARGETAXIS"};
    return columns;
}

const QStringList &JoinColumns()
{
    static const QStringList columns{"SA_SAJOINVARIABLE1", "SA_SAJOINVARIABLE2", "SA_SAJOINVARIABLE3",
                                     "SA_SAJOINVARIABLE4", "SA_SAJOINVARIABLE5", "SA_SAJOINVARIABLE6"};
    return columns;
}

int CellInt(const QVariant &value)
{
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    return ok ? n : 0;
}

TNumberCheck CheckGroupNumbers(const TGridModel &model, int column)
{
    TNumberCheck r;
    for (int rec = 0; rec < model.RecordCount(); ++rec) {
        if (!RowState::IsChanged(model.State(rec)) || model.State(rec) == RowState::Deleted)
            continue;
        const int n = CellInt(model.Value(rec, column));
        if (n < 1 || n > MaxGroupNo) {
            r.Record = rec;
            r.OverMax = n > MaxGroupNo;
            return r;
        }
    }
    return r;
}

QString MasterListSql()
{
    // The list's order: number, name, the parameters, the use flag, the join settings.
    return QStringLiteral(
        "SELECT SA_NO, SA_NAME, SA_DEFAULTCNTLMODE, SA_MINOPERATECYCLE, SA_PHASEFACTOR, SA_OFFSETADJSTFACTOR, "
        "SA_TRCCNTL1, SA_TRCCNTL2, SA_AUTOONLINEREQ, SA_MINCYCLELEVEL, SA_MAXCYCLELEVEL, SA_CYCLEMTD, "
        "SA_CYCLERNG, SA_CYCLETRANSMTD, SA_CYCLETIMESETMTD, SA_REGFLAG, SA_SAJOINMTD, SA_SAJOINVARIABLE1, "
        "SA_SAJOINVARIABLE2, SA_SAJOINVARIABLE3, SA_SAJOINVARIABLE4, SA_SAJOINVARIABLE5, SA_SAJOINVARIABLE6 "
        "FROM SCS_M_SAOPERATE ORDER BY SA_NO");
}

void SaveMasterRow(QSqlDatabase db, const TGridRow &row)
{
    QVariantMap p;
    for (const QString &c : MasterColumns())
        p.insert(':' + c, c == QLatin1String("SA_NAME") ? row[c].toString() : QVariant(CellInt(row[c])));
    p.insert(QStringLiteral(":KEY_VALUE"), CellInt(row.KeyValue));
    QStringList sets, names, params;
    for (const QString &c : MasterColumns()) {
        sets << c + QStringLiteral(" = :") + c;
        names << c;
        params << ':' + c;
    }
    switch (row.State) {
    case TRowState::Modified:
        ExecSqlOrThrow(db, "UPDATE SCS_M_SAOPERATE SET " + sets.join(", ") + " WHERE SA_NO = :KEY_VALUE", p);
        break;
    case TRowState::Inserted:
        p.remove(QStringLiteral(":KEY_VALUE"));
        ExecSqlOrThrow(db, "INSERT INTO SCS_M_SAOPERATE (" + names.join(", ") + ") VALUES (" + params.join(", ") + ")",
                       p);
        break;
    case TRowState::Deleted:
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM SCS_M_SAOPERATE WHERE SA_NO = :KEY_VALUE "),
                       {{QStringLiteral(":KEY_VALUE"), CellInt(row.KeyValue)}});
        break;
    case TRowState::Unchanged:
        break;
    }
}

void SaveMergeRow(QSqlDatabase db, int saNo, const TGridRow &row)
{
    const QStringList key = row.KeyParts();
    QVariantMap p;
    QStringList sets, params;
    for (const QString &c : MergeColumns()) {
        p.insert(':' + c, CellInt(row[c]));
        sets << c + QStringLiteral(" = :") + c;
        params << ':' + c;
    }
    const QVariantMap keys{{QStringLiteral(":KEY_SA_NO"), key.value(0)},
                           {QStringLiteral(":KEY_SA_LINKINDEX"), key.value(1)}};
    switch (row.State) {
    case TRowState::Modified:
        p.insert(keys);
        ExecSqlOrThrow(db, "UPDATE SCS_M_SAMERGE SET " + sets.join(", ") +
                               " WHERE SA_NO = :KEY_SA_NO AND SA_LINKINDEX = :KEY_SA_LINKINDEX", p);
        break;
    case TRowState::Inserted:
        p.insert(QStringLiteral(":SA_NO"), saNo);
        ExecSqlOrThrow(db, "INSERT INTO SCS_M_SAMERGE (SA_NO, " + MergeColumns().join(", ") + ") VALUES (:SA_NO, " +
                               params.join(", ") + ")", p);
        break;
    case TRowState::Deleted:
        ExecSqlOrThrow(db, QStringLiteral("DELETE FROM SCS_M_SAMERGE WHERE SA_NO = :KEY_SA_NO "
                                          "AND SA_LINKINDEX = :KEY_SA_LINKINDEX"), keys);
        break;
    case TRowState::Unchanged:
        break;
    }
}

void SaveJoinVariables(QSqlDatabase db, int saNo, const TGridRow &row)
{
    if (row.State != TRowState::Modified && row.State != TRowState::Deleted)
        return;
    QVariantMap p{{QStringLiteral(":KEY_SA_NO"), saNo}};
    QStringList sets;
    for (const QString &c : JoinColumns()) {
        sets << c + QStringLiteral(" = :") + c;
        // A typed NULL: the driver binds an untyped one as an empty text.
        p.insert(':' + c, row.State == TRowState::Deleted ? QVariant(QMetaType::fromType<int>()) : QVariant(CellInt(row[c])));
    }
    ExecSqlOrThrow(db, "UPDATE SCS_M_SAOPERATE SET " + sets.join(", ") + " WHERE SA_NO = :KEY_SA_NO", p);
}

QString MergeConditionKey(const QVariant &value)
{
    if (value.isNull() || value.toString().trimmed().isEmpty())
        return QString();
    const int v = value.toInt();
    return v >= 0 && v <= 3 ? QStringLiteral("strMergeCond%1").arg(v) : QString();
}

QString AxisKey(const QVariant &value)
{
    if (value.isNull() || value.toString().trimmed().isEmpty())
        return QString();
    const int v = value.toInt();
    return v == 0 || v == 1 ? QStringLiteral("strAxis%1").arg(v) : QString();
}

namespace {

TRows Read(QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    TRows r;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        r.Error = q.lastError().text();
        return r;
    }
    for (auto it = params.begin(); it != params.end(); ++it)
        q.bindValue(it.key(), it.value());
    if (!q.exec()) {
        r.Error = q.lastError().text();
        return r;
    }
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        r.Columns << rec.fieldName(i).toUpper();
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < rec.count(); ++i)
            row << q.value(i);
        r.Rows << row;
    }
    r.Ok = true;
    return r;
}

} // namespace

TRows GroupMembers(QSqlDatabase db, int saNo)
{
    return Read(db, QStringLiteral("SELECT INT_LCNO, INT_NAME, INT_IMPORFLAG, INT_SAINDEX FROM SCS_M_INTLC "
                                   "WHERE INT_SANO = :SA_NO ORDER BY INT_SAINDEX, INT_LCNO"),
                {{QStringLiteral(":SA_NO"), saNo}});
}

TRows GroupMerges(QSqlDatabase db, int saNo, const std::function<QString(const QString &)> &text)
{
    TRows r = Read(db, "SELECT SA_NO, " + MergeColumns().join(", ") +
                           " FROM SCS_M_SAMERGE WHERE SA_NO = :SA_NO ORDER BY SA_LINKINDEX",
                   {{QStringLiteral(":SA_NO"), saNo}});
    const int cond = r.Columns.indexOf(QStringLiteral("SA_LINKMGCOND"));
    const int axis = r.Columns.indexOf(QStringLiteral("SA_MGAXIS"));
    const int target = r.Columns.indexOf(QStringLiteral("SA_TARGETAXIS"));
    auto map = [&text](const QString &key) { return key.isEmpty() || !text ? QString() : text(key); };
    for (QVariantList &row : r.Rows) {
        row[cond] = map(MergeConditionKey(row[cond]));
        row[axis] = map(AxisKey(row[axis]));
        row[target] = map(AxisKey(row[target]));
    }
    return r;
}

TRows CycleLengths(QSqlDatabase db)
{
    QStringList sums;
    for (int k = 1; k <= 16; ++k)
        sums << QStringLiteral("CAST(SUM(CASE P.SA_APLANINDEX WHEN %1 THEN COALESCE(P.SA_CYCLELENGTH, 0) ELSE 0 END) AS SIGNED) "
                               "AS SA_CYCLELENGTH%1").arg(k);
    // Names by a left join: a plan of a group without a master row is listed without a name.
    return Read(db, "SELECT P.SA_NO, MAX(O.SA_NAME) AS SA_NAME, P.SA_APLAN, " + sums.join(", ") +
                        " FROM SCS_M_SAAPLAN P LEFT JOIN SCS_M_SAOPERATE O ON O.SA_NO = P.SA_NO"
                        " GROUP BY P.SA_NO, P.SA_APLAN ORDER BY P.SA_NO, P.SA_APLAN",
                {});
}

} // namespace GroupStore
