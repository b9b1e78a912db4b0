#include "plans/OffsetInfoUnit.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/SqlDialect.h"
#include "core/siLang.h"

namespace OffsetInfo {

namespace {
QString Phase(int i)
{
    return QStringLiteral("gtvGridPhase%1").arg(i);
}
} // namespace

TGridColumns Columns()
{
    TGridColumns cols{
        TGridColumn("INT_LCNO", siText(TextTable, "gtvGridINT_LCNO.Caption")).W(70).RO(),
        TGridColumn("INT_NAME", siText(TextTable, "gtvGridINT_NAME.Caption")).W(150).Left().RO(),
        TGridColumn("INT_TPLAN").Hidden(),
    };
    for (int i = 1; i <= Splits; ++i)
        cols << TGridColumn(Phase(i), QStringLiteral("P%1").arg(i)).W(40).Right();
    return cols;
}

int LoadOffsets(QSqlDatabase db, TGridModel *model, bool all, int saNo, int plan, QString *error)
{
    model->Clear();
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" SELECT INT_LCNO, INT_NAME FROM SCS_M_INTLC ")
              + (all ? QString() : QStringLiteral(" WHERE INT_SANO = :INT_SANO "))
              + QStringLiteral(" ORDER BY INT_LCNO, INT_NAME "));
    if (!all)
        q.bindValue(QStringLiteral(":INT_SANO"), saNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return -1;
    }
    QMap<int, int> rowOf;
    QStringList numbers;
    while (q.next()) {
        const int lc = q.value(0).toInt();
        const int rec = model->AddLoadedNamed({{"INT_LCNO", lc}, {"INT_NAME", q.value(1)}, {"INT_TPLAN", plan}},
                                              QStringLiteral("%1,%2").arg(lc).arg(plan));
        rowOf.insert(lc, rec);
        numbers << QString::number(lc);   // numbers read from the database only
    }
    if (numbers.isEmpty())
        return 0;
    QSqlQuery o(db);
    o.prepare(QStringLiteral(" SELECT INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_OFFSET FROM SCS_M_INTTPLAN "
                             " WHERE INT_LCNO IN (%1) AND INT_TPLAN = :INT_TPLAN "
                             " ORDER BY INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_OFFSET ").arg(numbers.join(',')));
    o.bindValue(QStringLiteral(":INT_TPLAN"), plan);
    if (!o.exec()) {
        if (error)
            *error = o.lastError().text();
        return -1;
    }
    while (o.next()) {
        const int index = o.value(2).toInt();
        if (index < 1 || index > Splits || !rowOf.contains(o.value(0).toInt()))
            continue;
        model->SetValue(rowOf.value(o.value(0).toInt()), model->ColumnIndex(Phase(index)), o.value(3));
    }
    return model->RecordCount();
}

int AcceptPlanNumber(int typed, int remembered)
{
    return typed >= 1 && typed <= 10 ? typed : remembered;
}

void ClearRow(TGridModel *model, int rec)
{
    for (int i = 1; i <= Splits; ++i)
        model->SetValue(rec, model->ColumnIndex(Phase(i)), QString());
    model->SetState(rec, GetStateVal(model, rec, model->StateIdx(), model->KeyValueIdx()));
}

bool PasteRow(TGridModel *model, int rec, const QString &text)
{
    const QStringList fields = text.split(QLatin1Char('\t'));
    if (fields.size() != 34 && fields.size() != 35)
        return false;
    for (int f = 19, i = 1; f < fields.size() && i <= Splits; ++f, ++i)
        model->SetValue(rec, model->ColumnIndex(Phase(i)), fields.at(f).trimmed());
    model->SetState(rec, GetStateVal(model, rec, model->StateIdx(), model->KeyValueIdx()));
    return true;
}

QString SaveOffsetSql(TDBType type)
{
    QStringList splits;
    for (const char *ring : {"A", "B"})
        for (int i = 1; i <= 8; ++i)
            splits << QStringLiteral("INT_%1SPLIT%2").arg(QLatin1String(ring)).arg(i);
    // The splits are only inserted (as 0); an existing row keeps them.
    return UpsertSqlInsertOnly(type, QStringLiteral("SCS_M_INTTPLAN"), {"INT_LCNO", "INT_TPLAN", "INT_TPLANINDEX"},
                               {"INT_OFFSET"}, splits);
}

QVariant OffsetValue(const QVariant &cell)
{
    // Numbers as loaded, typed or pasted are stored as numbers; an empty or
    // non-numeric cell (a cleared one) is stored as NULL.
    bool ok = false;
    const int v = cell.toString().trimmed().toInt(&ok);
    return ok ? QVariant(v) : QVariant(QMetaType(QMetaType::Int));
}

void SaveOffsetRow(QSqlDatabase db, TDBType type, const TGridRow &row)
{
    const QString sql = SaveOffsetSql(type);
    const QStringList key = row.KeyParts();
    for (int i = 1; i <= Splits; ++i) {
        QVariantMap p{{":INT_LCNO", key.value(0)}, {":INT_TPLAN", key.value(1)}, {":INT_TPLANINDEX", i}};
        for (int s = 1; s <= 8; ++s) {
            p.insert(QStringLiteral(":INT_ASPLIT%1").arg(s), 0);
            p.insert(QStringLiteral(":INT_BSPLIT%1").arg(s), 0);
        }
        p.insert(QStringLiteral(":INT_OFFSET"), OffsetValue(row[Phase(i)]));
        ExecSqlOrThrow(db, sql, p);
    }
}

TGridSaveResult SaveOffsets(QSqlDatabase db, TDBType type, const TGridModel &model)
{
    return SaveGridRows(model, db, [&](const TGridRow &row) { SaveOffsetRow(db, type, row); });
}

} // namespace OffsetInfo
