#include "intersection/TcdvMaster.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include "core/KitTexts.h"
#include "core/siLang.h"

namespace TcdvMaster {

namespace {

const QString kTable = QStringLiteral("TfrmTCDV_E_Master");

int IntOf(const QVariant &v)
{
    return v.toString().trimmed().toInt();
}

bool Blank(const QVariant &v)
{
    return v.isNull() || v.toString().trimmed().isEmpty();
}

// A single integer from a query (`fallback` when there is no row or it is NULL).
int ScalarOrThrow(QSqlDatabase db, const QString &sql, const QVariantMap &params, int fallback)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw EGridSaveError(q.lastError().text());
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bindValue(it.key(), it.value());
    ExecOrThrow(q);
    if (!q.next() || q.value(0).isNull())
        return fallback;
    return q.value(0).toInt();
}

// The tables of the connection, upper case.
QSet<QString> ExistingTables(QSqlDatabase db)
{
    QSet<QString> set;
    for (const QString &t : db.tables(QSql::Tables))
        set.insert(t.toUpper());
    return set;
}

// Type and lamp type of a main intersection: its row of the list when the list
// holds it, else its stored row (0 and 0 when it has none).
QPair<int, int> MainLcType(QSqlDatabase db, const TGridModel &model, int mainLcNo)
{
    const int col = model.ColumnIndex(QStringLiteral("INT_LCNO"));
    for (int rec = 0; rec < model.RecordCount(); ++rec) {
        if (model.State(rec) == RowState::Deleted)
            continue;
        if (model.Text(rec, col).trimmed() == QString::number(mainLcNo))
            return {IntOf(model.Value(rec, QStringLiteral("INT_LCTYPE"))),
                    IntOf(model.Value(rec, QStringLiteral("INT_LAMPTYPE")))};
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" SELECT INT_LCTYPE, INT_LAMPTYPE FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO "));
    q.bindValue(QStringLiteral(":INT_LCNO"), mainLcNo);
    ExecOrThrow(q);
    if (!q.next())
        return {0, 0};
    return {q.value(0).toInt(), q.value(1).toInt()};
}

// A text cell as bound: never NULL, an empty cell is an empty text.
QString TextOf(const QVariant &v)
{
    const QString s = v.toString();
    return s.isNull() ? QStringLiteral("") : s;
}

QVariant FirmwareValue(const QVariant &v)
{
    const int id = IntOf(v);
    return id == 0 ? QVariant() : QVariant(id);
}

} // namespace

const QStringList &Fields()
{
    static const QStringList f{"INT_LCNO",       "NODE_ID",        "INT_NAME",      "INT_IMPORFLAG",
                               "INT_LCTYPE",     "INT_LAMPTYPE",   "MCU_FW_ID",     "SCU_FW_ID",
                               "INT_DELTALIMIT", "INT_TRANSCYCLE", "INT_AUTOERROR", "INT_AUTOONLINE",
                               "INT_COMMTYPE",   "INT_IP",         "INT_PORT",      "MAIN_LCNO",
                               "INT_SANO",       "INT_SAINDEX",    "INT_REGFLAG"};
    return f;
}

QString ListSql(bool allGroups, const QString &order)
{
    QStringList cols;
    for (const QString &f : Fields())
        cols << QStringLiteral("T.") + f;
    QString sql = QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) + QStringLiteral(" FROM SCS_M_INTLC T");
    if (!allGroups)
        sql += QStringLiteral(" WHERE T.INT_SANO = :INT_SANO ");
    return sql + order;
}

const QStringList &RenumberTables()
{
    static const QStringList t{"SCS_M_INTALGORITHM", "SCS_M_INTCONFLICT",  "SCS_M_INTFLSMAP",   "SCS_M_INTFPLAN",
                               "SCS_M_INTLINKQUEUE", "SCS_M_INTLSU",       "SCS_M_INTOUTPED",   "SCS_M_INTPHASE",
                               "SCS_M_INTQUEUE",     "SCS_M_INTSIGMAP",    "SCS_M_INTSPILLBACK", "SCS_M_INTSTARTUP",
                               "SCS_M_INTTPLAN",     "SCS_M_INTFORCETOD",  "SCS_M_TFDTOPERATE", "SCS_M_INTPPC"};
    return t;
}

const QStringList &FollowingTables()
{
    static const QStringList t{"SCS_M_VMSMESSAGE", "SCS_M_VMSSCHEDULE", "SCS_M_CARTIMER", "SCS_M_INTSPILLBACK2"};
    return t;
}

bool IsVirtualMain(const QVariant &mainLcNo)
{
    return IntOf(mainLcNo) >= 1;
}

const QStringList &VirtualFixedFields()
{
    static const QStringList f{"INT_LCTYPE",    "INT_LAMPTYPE",   "MCU_FW_ID",    "SCU_FW_ID",
                               "INT_DELTALIMIT", "INT_TRANSCYCLE", "INT_AUTOERROR", "INT_AUTOONLINE",
                               "INT_COMMTYPE",  "INT_IP",         "INT_PORT",     "INT_REGFLAG"};
    return f;
}

bool GroupExists(QSqlDatabase db, int saNo)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" SELECT COUNT(*) AS CNT FROM SCS_M_SAOPERATE WHERE SA_NO = :SA_NO "));
    q.bindValue(QStringLiteral(":SA_NO"), saNo);
    return q.exec() && q.next() && q.value(0).toInt() > 0;
}

TCheck Check(const TGridModel &model, QSqlDatabase db)
{
    const int colNo = model.ColumnIndex(QStringLiteral("INT_LCNO"));
    const QStringList required{"INT_LCNO", "NODE_ID", "INT_SANO"};
    auto fail = [](TCheck::Problem kind, int rec, const QString &column) {
        TCheck c;
        c.Kind = kind;
        c.Record = rec;
        c.Column = column;
        return c;
    };
    for (int rec = 0; rec < model.RecordCount(); ++rec) {
        if (!RowState::IsChanged(model.State(rec)))
            continue;
        for (const QString &name : required)
            if (Blank(model.Value(rec, name)))
                return fail(TCheck::Required, rec, name);
        const QString number = model.Text(rec, colNo).trimmed();
        if (number.toInt() == 0)
            return fail(TCheck::Required, rec, QStringLiteral("INT_LCNO"));
        for (int other = 0; other < model.RecordCount(); ++other)
            if (other != rec && model.Text(other, colNo).trimmed().toInt() == number.toInt())
                return fail(TCheck::Duplicate, rec, QStringLiteral("INT_LCNO"));
        if (number.toInt() > MaxLcNo || number.toInt() < 0)
            return fail(TCheck::TooLarge, rec, QStringLiteral("INT_LCNO"));
        if (model.State(rec) != RowState::Deleted) {
            if (!GroupExists(db, IntOf(model.Value(rec, QStringLiteral("INT_SANO")))))
                return fail(TCheck::UnknownGroup, rec, QStringLiteral("INT_SANO"));
            // A new number must be free in the whole table, not only in the rows shown:
            // the renumbering would clear the rows of an intersection that holds it.
            const bool renumbered = model.State(rec) == RowState::Inserted
                                    || model.KeyValue(rec).toString().trimmed() != number;
            if (renumbered) {
                QSqlQuery q(db);
                q.prepare(QStringLiteral("SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO"));
                q.bindValue(QStringLiteral(":INT_LCNO"), number.toInt());
                if (!q.exec() || !q.next() || q.value(0).toInt() > 0)
                    return fail(TCheck::HeldNumber, rec, QStringLiteral("INT_LCNO"));
            }
        }
    }
    return {};
}

QString ProblemText(TCheck::Problem kind)
{
    switch (kind) {
    case TCheck::None:
        return {};
    case TCheck::Required:
        return KIT_T(T_CheckRequiredField);
    case TCheck::Duplicate:
    case TCheck::HeldNumber:
        return KIT_T(T_DuplicateDataMsg);
    case TCheck::TooLarge:
        return siText(kTable, QStringLiteral("IDS_5"));
    case TCheck::UnknownGroup:
        return siText(kTable, QStringLiteral("strNoGroupMsg"));
    }
    return {};
}

QList<int> RenumberedRecords(const TGridModel &model)
{
    QList<int> list;
    const int colNo = model.ColumnIndex(QStringLiteral("INT_LCNO"));
    for (int rec = 0; rec < model.RecordCount(); ++rec)
        if (model.State(rec) == RowState::Modified
            && model.Text(rec, colNo).trimmed() != model.KeyValue(rec).toString().trimmed())
            list << rec;
    return list;
}

void CopyMainPhases(QSqlDatabase db, int lcNo, int mainLcNo, int storedMain)
{
    if (mainLcNo != storedMain)
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO = :INT_LCNO "),
                       {{":INT_LCNO", lcNo}});
    const int count = ScalarOrThrow(db, QStringLiteral(" SELECT COUNT(*) AS CNT FROM SCS_M_INTPHASE WHERE INT_LCNO = :INT_LCNO "),
                                    {{":INT_LCNO", lcNo}}, 0);
    if (count == 0)
        ExecSqlOrThrow(db,
                       QStringLiteral("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_RING, INT_PHASENO, INT_PLANCLSS, "
                                      "INT_FLOWNUMBER) SELECT :INT_LCNO, INT_RING, INT_PHASENO, INT_PLANCLSS, "
                                      "INT_FLOWNUMBER FROM SCS_M_INTPHASE WHERE INT_LCNO = :MAIN_LCNO"),
                       {{":INT_LCNO", lcNo}, {":MAIN_LCNO", mainLcNo}});
}

void PropagateLcType(QSqlDatabase db, int mainLcNo, int lcType, int lampType)
{
    if (mainLcNo == 0)
        return;
    ExecSqlOrThrow(db,
                   QStringLiteral("UPDATE SCS_M_INTLC SET INT_LCTYPE = :INT_LCTYPE, INT_LAMPTYPE = :INT_LAMPTYPE "
                                  "WHERE MAIN_LCNO = :MAIN_LCNO"),
                   {{":INT_LCTYPE", lcType}, {":INT_LAMPTYPE", lampType}, {":MAIN_LCNO", mainLcNo}});
}

void Renumber(QSqlDatabase db, int oldNo, int newNo)
{
    const QSet<QString> existing = ExistingTables(db);
    for (const QString &table : RenumberTables() + FollowingTables()) {
        if (!existing.contains(table))
            continue;
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM %1 WHERE INT_LCNO = %2 ").arg(table).arg(newNo), {});
        ExecSqlOrThrow(db, QStringLiteral(" UPDATE %1 SET INT_LCNO = %2 WHERE INT_LCNO = %3 ").arg(table).arg(newNo).arg(oldNo),
                       {});
    }
}

void SaveRow(QSqlDatabase db, const TGridModel &model, const TGridRow &row)
{
    const int key = row.KeyValue.trimmed().toInt();
    if (row.State == TRowState::Deleted) {
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM SCS_M_INTLC WHERE INT_LCNO = :KEY_VALUE "), {{":KEY_VALUE", key}});
        ExecSqlOrThrow(db,
                       QStringLiteral("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO IN (SELECT INT_LCNO FROM SCS_M_INTLC "
                                      "WHERE MAIN_LCNO = :KEY_VALUE)"),
                       {{":KEY_VALUE", key}});
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM SCS_M_INTLC WHERE MAIN_LCNO = :KEY_VALUE "), {{":KEY_VALUE", key}});
        return;
    }
    if (row.State != TRowState::Inserted && row.State != TRowState::Modified)
        return;

    const int lcNo = IntOf(row["INT_LCNO"]);
    const int mainLcNo = IntOf(row["MAIN_LCNO"]);
    const bool isVirtual = mainLcNo >= 1;
    const int storedMain = ScalarOrThrow(db, QStringLiteral(" SELECT MAIN_LCNO FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO "),
                                         {{":INT_LCNO", row.IsInserted() ? lcNo : key}}, 0);

    QVariantMap v;
    v[":INT_LCNO"] = lcNo;
    v[":NODE_ID"] = TextOf(row["NODE_ID"]);
    v[":INT_NAME"] = TextOf(row["INT_NAME"]);
    v[":INT_IMPORFLAG"] = IntOf(row["INT_IMPORFLAG"]);
    v[":INT_SANO"] = IntOf(row["INT_SANO"]);
    v[":INT_SAINDEX"] = IntOf(row["INT_SAINDEX"]);
    v[":MAIN_LCNO"] = mainLcNo;
    if (isVirtual) {
        const QPair<int, int> type = MainLcType(db, model, mainLcNo);
        v[":INT_LCTYPE"] = type.first;
        v[":INT_LAMPTYPE"] = type.second;
        v[":MCU_FW_ID"] = QVariant();
        v[":SCU_FW_ID"] = QVariant();
        v[":INT_DELTALIMIT"] = QVariant();
        v[":INT_TRANSCYCLE"] = QVariant();
        v[":INT_AUTOERROR"] = -1;
        v[":INT_AUTOONLINE"] = -1;
        v[":INT_COMMTYPE"] = -1;
        v[":INT_IP"] = QStringLiteral("");
        v[":INT_PORT"] = 0;
        v[":INT_REGFLAG"] = 0;
    } else {
        v[":INT_LCTYPE"] = IntOf(row["INT_LCTYPE"]);
        v[":INT_LAMPTYPE"] = IntOf(row["INT_LAMPTYPE"]);
        v[":MCU_FW_ID"] = FirmwareValue(row["MCU_FW_ID"]);
        v[":SCU_FW_ID"] = FirmwareValue(row["SCU_FW_ID"]);
        v[":INT_DELTALIMIT"] = IntOf(row["INT_DELTALIMIT"]);
        v[":INT_TRANSCYCLE"] = IntOf(row["INT_TRANSCYCLE"]);
        v[":INT_AUTOERROR"] = IntOf(row["INT_AUTOERROR"]);
        v[":INT_AUTOONLINE"] = IntOf(row["INT_AUTOONLINE"]);
        v[":INT_COMMTYPE"] = IntOf(row["INT_COMMTYPE"]);
        v[":INT_IP"] = TextOf(row["INT_IP"]);
        v[":INT_PORT"] = IntOf(row["INT_PORT"]);
        v[":INT_REGFLAG"] = IntOf(row["INT_REGFLAG"]);
    }

    QStringList params;
    for (const QString &f : Fields())
        params << QLatin1Char(':') + f;
    if (row.IsInserted()) {
        ExecSqlOrThrow(db,
                       QStringLiteral("INSERT INTO SCS_M_INTLC (") + Fields().join(QStringLiteral(", "))
                           + QStringLiteral(") VALUES (") + params.join(QStringLiteral(", ")) + QLatin1Char(')'),
                       v);
        if (isVirtual)
            CopyMainPhases(db, lcNo, mainLcNo, storedMain);
        PropagateLcType(db, lcNo, v[":INT_LCTYPE"].toInt(), v[":INT_LAMPTYPE"].toInt());
        return;
    }

    QStringList sets;
    for (const QString &f : Fields())
        sets << f + QStringLiteral(" = :") + f;
    v[":KEY_VALUE"] = key;
    ExecSqlOrThrow(db,
                   QStringLiteral("UPDATE SCS_M_INTLC SET ") + sets.join(QStringLiteral(", "))
                       + QStringLiteral(" WHERE INT_LCNO = :KEY_VALUE"),
                   v);
    if (lcNo != key)
        Renumber(db, key, lcNo);
    if (isVirtual)
        CopyMainPhases(db, lcNo, mainLcNo, storedMain);
    PropagateLcType(db, key, v[":INT_LCTYPE"].toInt(), v[":INT_LAMPTYPE"].toInt());
}

TSaveOutcome Save(const TGridModel &model, QSqlDatabase db)
{
    TSaveOutcome out;
    out.Check = Check(model, db);
    if (!out.Check.Ok()) {
        out.Result.Ok = false;
        out.Result.Error = ProblemText(out.Check.Kind);
        return out;
    }
    out.Result = SaveGridRows(model, db, [&](const TGridRow &row) { SaveRow(db, model, row); });
    return out;
}

} // namespace TcdvMaster
