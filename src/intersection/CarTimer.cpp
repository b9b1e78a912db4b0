#include "intersection/CarTimer.h"

#include "core/GridHelpers.h"
#include "foundation/QuorvalSql.h"
#include "transfer/UPDNUnit.h"

namespace CarTimer {

const QStringList &Displays()
{
    static const QStringList list{"NN", "EE", "SS", "WW", "NE", "SE", "SW", "EW",
                                  "R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8"};
    return list;
}

const QStringList &ByteColumns()
{
    static const QStringList list = [] {
        QStringList l = Displays();
        for (const QString &d : Displays())
            l << d + 'L';
        return l;
    }();
    return list;
}

QString CellName(const QString &display, int line)
{
    return display + '_' + QString::number(line);
}

TGridColumns Columns()
{
    TGridColumns c{TGridColumn("INT_SANO").Key("gtvGridINT_SANO.Caption").W(50).RO().Req(),
                   TGridColumn("INT_LCNO").Key("gtvGridINT_LCNO.Caption").W(50).RO().Req()};
    for (const QString &d : Displays())
        for (int line = 1; line <= 8; ++line)
            c << TGridColumn(CellName(d, line))
                     .Key("Line" + QString::number(line))
                     .W(36)
                     .Ed("cxEditRepositoryCheckBoxItem")
                     .InBand(d);
    c << TGridColumn("DB").Hidden();
    return c;
}

QString SearchSql(bool all)
{
    QStringList bytes;
    for (const QString &b : ByteColumns())
        bytes << "T2." + b;
    return "SELECT T1.INT_SANO, T1.INT_LCNO, " + bytes.join(", ")
           + ", CASE WHEN T2.INT_LCNO IS NULL THEN 0 ELSE 1 END AS DB "
             "FROM SCS_M_INTLC T1 LEFT JOIN SCS_M_CARTIMER T2 ON T1.INT_LCNO = T2.INT_LCNO "
           + (all ? QString() : QStringLiteral("WHERE T1.INT_SANO = :INT_SANO "))
           + "ORDER BY T1.INT_SANO, T1.INT_SAINDEX, T1.INT_LCNO";
}

void LoadRows(TGridModel &model, QSqlQuery &query)
{
    const QStringList &bytes = ByteColumns();
    // The query stands on its first row (as QueryOpen leaves it) or before it.
    if (!query.isValid() && !query.next())
        return;
    do {
        QVariantMap v{{"INT_SANO", query.value(0).toInt()}, {"INT_LCNO", query.value(1).toInt()}};
        for (int i = 0; i < bytes.size(); ++i) {
            const quint8 state = quint8(query.value(2 + i).toInt());
            const QString display = Displays().at(i % 16);
            const int first = i < 16 ? 1 : 5;
            for (int k = 0; k < 4; ++k)
                v.insert(CellName(display, first + k), int(GetCarTimerStateBits(state, FlagIndexes[k])));
        }
        v.insert("DB", query.value(2 + bytes.size()).toInt());
        model.AddLoadedNamed(v, v.value("INT_LCNO").toString());
    } while (query.next());
}

quint8 BuildByte(const TGridRow &row, const QString &display, bool left)
{
    quint8 state = 0;
    for (int k = 0; k < 4; ++k)
        state = SetCarTimerStateBits(state, FlagIndexes[k],
                                     row.Text(CellName(display, (left ? 5 : 1) + k)).trimmed().toInt() ? 1 : 0);
    return state;
}

QString StateAfterEdit(const QString &state, bool stored)
{
    if (!stored)
        return RowState::Inserted;
    return RowState::AfterEdit(state);
}

void SaveRow(QSqlDatabase db, TDBType dbType, const TGridRow &row)
{
    QVariantMap p{{":KEY_VALUE", row.KeyValue.toInt()}};
    QString sql;
    if (row.IsDeleted()) {
        sql = "DELETE FROM SCS_M_CARTIMER WHERE INT_LCNO = :KEY_VALUE";
    } else {
        QStringList names, params, set;
        for (int i = 0; i < ByteColumns().size(); ++i) {
            const QString &b = ByteColumns().at(i);
            const QString name = b == QLatin1String("SSL") ? GetMariaDBColumName(dbType, b) : b;
            p.insert(':' + b, int(BuildByte(row, Displays().at(i % 16), i >= 16)));
            names << name;
            params << ':' + b;
            set << name + " = :" + b;
        }
        if (row.IsInserted()) {
            p.remove(":KEY_VALUE");
            p.insert(":INT_LCNO", row.Text("INT_LCNO").trimmed().toInt());
            sql = "INSERT INTO SCS_M_CARTIMER (INT_LCNO, " + names.join(", ") + ") VALUES (:INT_LCNO, "
                  + params.join(", ") + ')';
        } else {
            sql = "UPDATE SCS_M_CARTIMER SET " + set.join(", ") + " WHERE INT_LCNO = :KEY_VALUE";
        }
    }
    ExecSqlOrThrow(db, sql, p);
}

} // namespace CarTimer
