#include "intersection/SpillBack.h"

namespace SpillBack {

namespace {

const QStringList kFields{"INT_LCNO", "INT_SPILLBACKINDEX", "MAIN_RING", "MAIN_PHASE", "SUB_RING", "SUB_PHASE"};

} // namespace

TGridColumns Columns()
{
    return {
        TGridColumn("INT_LCNO").Key("gtvGridINT_LCNO.Caption").W(80).Range(0, 32767).Req(),
        TGridColumn("INT_SPILLBACKINDEX").Key("gtvGridINT_SPILLBACKINDEX.Caption").W(80).Req(),
        TGridColumn("MAIN_RING").Key("gtvGridMAIN_RING.Caption").W(80),
        TGridColumn("MAIN_PHASE").Key("gtvGridMAIN_PHASE.Caption").W(80).Range(0, 255),
        TGridColumn("SUB_RING").Key("gtvGridSUB_RING.Caption").W(80),
        TGridColumn("SUB_PHASE").Key("gtvGridSUB_PHASE.Caption").W(80).Range(0, 255),
    };
}

QString SearchSql(bool all)
{
    return QStringLiteral("SELECT INT_LCNO, INT_SPILLBACKINDEX, MAIN_RING, MAIN_PHASE, SUB_RING, SUB_PHASE "
                          "FROM SCS_M_INTSPILLBACK2 ")
           + (all ? QString() : QStringLiteral("WHERE INT_LCNO = :INT_LCNO "))
           + QStringLiteral("ORDER BY INT_LCNO, INT_SPILLBACKINDEX");
}

void LoadRows(TGridModel &model, QSqlQuery &query)
{
    // The query stands on its first row (as QueryOpen leaves it) or before it.
    if (!query.isValid() && !query.next())
        return;
    do {
        QVariantMap v;
        for (int i = 0; i < kFields.size(); ++i)
            v.insert(kFields.at(i), query.value(i).isNull() ? QVariant() : QVariant(query.value(i).toInt()));
        model.AddLoadedNamed(v, v.value("INT_LCNO").toString() + ',' + v.value("INT_SPILLBACKINDEX").toString());
    } while (query.next());
}

int NewDirection(int rowCount)
{
    return rowCount % MaxDirection;
}

int BadDirection(const TGridModel &model)
{
    const int col = model.ColumnIndex("INT_SPILLBACKINDEX");
    for (int rec = 0; rec < model.RecordCount(); ++rec) {
        if (!RowState::IsChanged(model.State(rec)) || model.State(rec) == RowState::Deleted)
            continue;
        const QString text = model.Text(rec, col).trimmed();
        if (text.isEmpty())
            continue; // the required check reports it
        const int dir = text.toInt();
        if (dir < 1 || dir > MaxDirection)
            return rec;
    }
    return -1;
}

void SaveRow(QSqlDatabase db, const TGridRow &row)
{
    const QStringList key = row.KeyParts();
    QVariantMap p;
    for (const QString &f : kFields) {
        const QString text = row.Text(f).trimmed();
        p.insert(':' + f, text.isEmpty() ? 0 : text.toInt());
    }
    const QString where = QStringLiteral(" WHERE INT_LCNO = :KEY_INT_LCNO AND INT_SPILLBACKINDEX = :KEY_INT_SPILLBACKINDEX");
    QString sql;
    if (row.IsInserted()) {
        sql = "INSERT INTO SCS_M_INTSPILLBACK2 (" + kFields.join(", ")
              + ") VALUES (:INT_LCNO, :INT_SPILLBACKINDEX, :MAIN_RING, :MAIN_PHASE, :SUB_RING, :SUB_PHASE)";
    } else {
        p.insert(":KEY_INT_LCNO", key.value(0));
        p.insert(":KEY_INT_SPILLBACKINDEX", key.value(1));
        if (row.IsDeleted()) {
            p = {{":KEY_INT_LCNO", key.value(0)}, {":KEY_INT_SPILLBACKINDEX", key.value(1)}};
            sql = "DELETE FROM SCS_M_INTSPILLBACK2" + where;
        } else {
            QStringList set;
            for (const QString &f : kFields)
                set << f + " = :" + f;
            sql = "UPDATE SCS_M_INTSPILLBACK2 SET " + set.join(", ") + where;
        }
    }
    ExecSqlOrThrow(db, sql, p);
}

} // namespace SpillBack
