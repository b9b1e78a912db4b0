#include "intersection/AlgorithmRules.h"

#include <QSqlQuery>
#include <QVariantMap>

namespace Algorithm {

const QList<TParam> &Params()
{
    using T = TTable;
    static const QList<TParam> params{
        {"INT_MDSSELECT", T::Algorithm, 2, 1},
        {"INT_ALPHA", T::Algorithm, 0, 60},
        {"INT_FORCETRC", T::Algorithm, 2, 0},
        {"INT_CONDEGREE1", T::Algorithm, 0, 50},
        {"INT_CONDEGREE2", T::Algorithm, 0, 30},
        {"INT_CONDEGREE3", T::Algorithm, 0, 15},
        {"INT_FDSFACTOR1", T::Algorithm, 0, 5},
        {"INT_FDSFACTOR2", T::Algorithm, 0, 3},
        {"INT_FDSFACTOR3", T::Algorithm, 0, 2},
        {"INT_FCCLY1", T::Algorithm, 0, 60},
        {"INT_FCCLY2", T::Algorithm, 0, 90},
        {"INT_FCCLC1", T::Algorithm, 0, 60},
        {"INT_FCCLC2", T::Algorithm, 0, 100},
        {"INT_ASAMAXISMAIN", T::Algorithm, 2, -1},
        {"INT_ASAMINFLOW1", T::Algorithm, 0, -1},
        {"INT_ASAMOUTFLOW1", T::Algorithm, 0, -1},
        {"INT_ASAMINFLOW2", T::Algorithm, 0, -1},
        {"INT_ASAMOUTFLOW2", T::Algorithm, 0, -1},
        {"INT_STOSCNTL1", T::Algorithm, 2, -1},
        {"INT_STOSCNTL2", T::Algorithm, 2, -1},
        {"INT_STOSCNTL3", T::Algorithm, 2, -1},
        {"INT_STOSCNTL4", T::Algorithm, 2, -1},
        {"INT_RAMPCNTLFLAG", T::Algorithm, 2, -1},
        {"INT_RAMPCNTLOFFSETMTD", T::Algorithm, 2, -1},
        {"INT_RAMPCNTLBALOFFSET", T::Algorithm, 0, -1},
        {"INT_RAMPCNTLOUTOFFSET", T::Algorithm, 0, -1},
        {"INT_RAMPCNTLDOSTDIR", T::Algorithm, 4, -1},
        {"INT_RAMPKVALUE", T::Algorithm, 0, -1},
        {"INT_WGH1", T::Queue, 0, 5},
        {"INT_WGH2", T::Queue, 0, 3},
        {"INT_WGH3", T::Queue, 0, 2},
        {"INT_SPLITCORRMTD", T::Queue, 3, 1},
        {"INT_SPLITFATOR", T::Queue, 0, 3},
        {"INT_DSDEGREE1", T::Algorithm, 0, 95},
        {"INT_DSDEGREE2", T::Algorithm, 0, 70},
    };
    return params;
}

namespace {

QStringList ColumnsOf(TTable table)
{
    QStringList cols;
    for (const TParam &p : Params())
        if (p.Table == table)
            cols << p.Column;
    return cols;
}

void SaveTable(QSqlDatabase db, const QString &table, const QStringList &cols, int lcNo,
               const QHash<QString, int> &values)
{
    QSqlQuery count(db);
    count.prepare(" SELECT COUNT(*) AS CNT FROM " + table + " WHERE INT_LCNO = :KEY_VALUE ");
    count.bindValue(":KEY_VALUE", lcNo);
    ExecOrThrow(count);
    const bool stored = count.next() && count.value(0).toInt() > 0;
    QVariantMap params;
    QStringList sets;
    for (const QString &c : cols) {
        params[":" + c] = values.value(c, 0);
        sets << c + " = :" + c;
    }
    QString sql;
    if (stored) {
        sql = "UPDATE " + table + " SET " + sets.join(", ") + " WHERE INT_LCNO = :KEY_VALUE";
        params[":KEY_VALUE"] = lcNo;
    } else {
        sql = "INSERT INTO " + table + " (INT_LCNO, " + cols.join(", ") + ") VALUES (:INT_LCNO, :" +
              cols.join(", :") + ")";
        params[":INT_LCNO"] = lcNo;
    }
    ExecSqlOrThrow(db, sql, params);
}

QVariant IntOrZero(const QVariant &v)
{
    return v.isNull() || v.toString().isEmpty() ? QVariant(0) : QVariant(v.toInt());
}

} // namespace

void SavePanel(QSqlDatabase db, int lcNo, const QHash<QString, int> &values)
{
    SaveTable(db, QStringLiteral("SCS_M_INTALGORITHM"), ColumnsOf(TTable::Algorithm), lcNo, values);
    SaveTable(db, QStringLiteral("SCS_M_INTQUEUE"), ColumnsOf(TTable::Queue), lcNo, values);
}

const TGridTable &LinkQueue()
{
    static const TGridTable t{"SCS_M_INTLINKQUEUE", "INT_DIRINDEX",
                              {"INT_DIRINDEX", "INT_DOCSPD1", "INT_DOCSPD2", "INT_THDOC", "INT_ADJSTFATOR",
                               "INT_DIRSTANDARDDS", "INT_DIRSTANDARDQL"}};
    return t;
}

const TGridTable &SpillBack()
{
    static const TGridTable t{"SCS_M_INTSPILLBACK", "INT_SPILLBACKINDEX",
                              {"INT_SPILLBACKINDEX", "INT_SPILLBACKINT", "INT_SPILLBACKPHASE1",
                               "INT_SPILLBACKPHASE2", "INT_SPILLBACKLENGTH", "INT_SPILLBACKTHOCQL",
                               "INT_SPILLBACKOFFSET", "INT_SPILLBACKSTARTHOUR", "INT_SPILLBACKSTARTMIN",
                               "INT_SPILLBACKENDHOUR", "INT_SPILLBACKENDMIN", "INT_SPILLBACKACTIVE"}};
    return t;
}

void SaveGridRow(QSqlDatabase db, const TGridTable &t, int lcNo, const TGridRow &row)
{
    const QStringList key = row.KeyValue.isEmpty() ? QStringList() : row.KeyParts();
    const QString where = " WHERE INT_LCNO = :KEY_INT_LCNO AND " + t.Index + " = :KEY_" + t.Index;
    QVariantMap params;
    QString sql;
    switch (row.State) {
    case TRowState::Unchanged:
        return;
    case TRowState::Deleted:
        if (key.size() < 2)
            return; // a prepared row that was never stored
        sql = "DELETE FROM " + t.Table + where;
        break;
    case TRowState::Modified: {
        QStringList sets;
        for (const QString &c : t.Values) {
            sets << c + " = :" + c;
            params[":" + c] = IntOrZero(row[c]);
        }
        sql = "UPDATE " + t.Table + " SET " + sets.join(", ") + where;
        break;
    }
    case TRowState::Inserted:
        for (const QString &c : t.Values)
            params[":" + c] = IntOrZero(row[c]);
        params[":INT_LCNO"] = lcNo;
        sql = "INSERT INTO " + t.Table + " (INT_LCNO, " + t.Values.join(", ") + ") VALUES (:INT_LCNO, :" +
              t.Values.join(", :") + ")";
        break;
    }
    if (row.State != TRowState::Inserted) {
        if (key.size() < 2)
            throw EGridSaveError(QStringLiteral("%1: a changed row without its stored key").arg(t.Table));
        params[":KEY_INT_LCNO"] = key.at(0);
        params[":KEY_" + t.Index] = key.at(1);
    }
    ExecSqlOrThrow(db, sql, params);
}

QString StateAfterEdit(const QString &state, bool hasKey)
{
    if (state.isEmpty())
        return RowState::Inserted;
    if (state == RowState::Unchanged)
        return hasKey ? RowState::Modified : RowState::Inserted;
    return state;
}

int ApplyLinkQueueDefaults(TGridModel *m, int lcNo)
{
    const int dirCol = m->ColumnIndex("INT_DIRINDEX");
    int rec = -1;
    for (int r = 0; r < m->RecordCount() && rec < 0; ++r)
        if (!m->Value(r, dirCol).isNull() && m->Text(r, dirCol) == QLatin1String("1"))
            rec = r;
    const auto hook = m->EditHook;
    m->EditHook = [](int, int) {}; // the state is set below
    if (rec < 0) {
        rec = m->AppendRecord();
        m->SetValue(rec, dirCol, 1);
        m->SetKeyValue(rec, QString::number(lcNo) + QStringLiteral(",1"));
        m->SetState(rec, RowState::Inserted);
    } else if (m->State(rec) != RowState::Inserted) {
        m->SetState(rec, RowState::Modified);
    }
    const QList<QPair<const char *, int>> defaults{{"INT_DOCSPD1", 70}, {"INT_DOCSPD2", 15},
                                                   {"INT_THDOC", 7},     {"INT_ADJSTFATOR", 6},
                                                   {"INT_DIRSTANDARDDS", 8}, {"INT_DIRSTANDARDQL", 200}};
    for (const auto &[col, value] : defaults)
        m->EditValue(rec, m->ColumnIndex(col), value);
    m->EditHook = hook;
    return rec;
}

TGridCheckResult CheckDirections(const TGridModel &m)
{
    const int dir = 0;
    TGridCheckResult r;
    for (int rec = 0; rec < m.RecordCount(); ++rec) {
        const QString state = m.State(rec);
        if (!RowState::IsChanged(state))
            continue;
        const QString value = m.Text(rec, dir);
        if (value.isEmpty()) {
            if (state == RowState::Deleted)
                continue; // a prepared row marked for deletion writes nothing
            return {false, TGridCheckResult::Required, rec, dir};
        }
        for (int other = 0; other < m.RecordCount(); ++other)
            if (other != rec && m.Text(other, dir) == value)
                return {false, TGridCheckResult::Duplicate, rec, dir};
    }
    return r;
}

} // namespace Algorithm
