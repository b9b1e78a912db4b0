#include "plans/ReservePlanUnit.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/LookupUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace ReservePlan {

namespace {

QString Tx(const QString &key)
{
    return siText(TextTable, key);
}

QList<TGridItem> Items(const QString &prefix, int last)
{
    QList<TGridItem> items;
    for (int i = 0; i <= last; ++i)
        items << TGridItem{i, Tx(QStringLiteral("%1%2").arg(prefix).arg(i))};
    return items;
}

int IntOf(const QVariant &v, int empty = 0)
{
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : empty;
}

bool IsEmpty(const QVariant &v)
{
    return v.isNull() || v.toString().trimmed().isEmpty();
}

} // namespace

bool Is2010(TLcTypeEx type)
{
    return type == lct2010_3L || type == lct2010_4L;
}

QList<TGridItem> WeekItems(TLcTypeEx type)
{
    return Items(QStringLiteral("strWeek"), Is2010(type) ? 12 : 7);
}

QList<TGridItem> FunctionItems(TLcTypeEx type)
{
    return Items(QStringLiteral("strFunction"), Is2010(type) ? 15 : 7);
}

QList<TGridItem> EmapItems()
{
    QList<TGridItem> items;
    for (int i = 6; i <= 10; ++i)
        items << TGridItem{i, QString::number(i)};
    return items;
}

QStringList DataColumns()
{
    return {"INT_LCNO", "INT_FPLANINDEX", "INT_RSRVMONTH", "INT_RSRVDAY", "INT_RSRVWKD",
            "INT_CNTLSTARTHOUR", "INT_CNTLSTARTMIN", "INT_CNTLENDHOUR", "INT_CNTLENDMIN",
            "INT_CNTLTYPE", "INT_CNTLSPCNO"};
}

TGridColumns Columns(TLcTypeEx type)
{
    auto col = [](const QString &name) {
        return TGridColumn(name, Tx(QStringLiteral("gtvGrid%1.Caption").arg(name)))
            .Key(QStringLiteral("gtvGrid%1.Caption").arg(name));
    };
    return {
        col("INT_LCNO").W(70).Range(0, 9999).Req(),
        col("INT_FPLANINDEX").W(50).Range(1, MaxEntries).Req(),
        col("INT_RSRVMONTH").W(50).Range(0, 12).Fmt("#."),
        col("INT_RSRVDAY").W(50).Range(0, 31).Fmt("#."),
        col("INT_RSRVWKD").W(150).Left().Choices(WeekItems(type)),
        col("INT_CNTLSTARTHOUR").W(60).Range(0, 23),
        col("INT_CNTLSTARTMIN").W(60).Range(0, 59),
        col("INT_CNTLENDHOUR").W(60).Range(0, 23),
        col("INT_CNTLENDMIN").W(60).Range(0, 59),
        col("INT_CNTLTYPE").W(150).Left().Choices(FunctionItems(type)),
        col("INT_CNTLSPCNO").W(60).Fmt("#."),
    };
}

void ApplyLcType(TGridModel *model, TLcTypeEx type)
{
    const int wkd = model->ColumnIndex(QStringLiteral("INT_RSRVWKD"));
    const int fn = model->ColumnIndex(QStringLiteral("INT_CNTLTYPE"));
    if (wkd >= 0)
        model->ColumnRef(wkd).Items = WeekItems(type);
    if (fn >= 0)
        model->ColumnRef(fn).Items = FunctionItems(type);
    if (model->RecordCount() > 0)
        emit model->dataChanged(model->index(0, 0),
                                model->index(model->RecordCount() - 1, model->ColumnCount() - 1));
}

int LoadReservePlans(QSqlDatabase db, TGridModel *model, bool all, int lcNo, QString *error)
{
    model->Clear();
    QString sql = QStringLiteral("SELECT %1 FROM SCS_M_INTFPLAN").arg(DataColumns().join(QStringLiteral(", ")));
    if (!all)
        sql += QStringLiteral(" WHERE INT_LCNO = :INT_LCNO ");
    sql += QStringLiteral(" ORDER BY INT_LCNO, INT_FPLANINDEX ");
    QSqlQuery q(db);
    q.prepare(sql);
    if (!all)
        q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return -1;
    }
    return model->LoadQuery(q, QString(), [](const QSqlQuery &r) {
        return QVariant(QString::number(r.value(0).toInt()) + QLatin1Char(',') + QString::number(r.value(1).toInt()));
    });
}

int DaysInMonth(int month, int year)
{
    if (month < 1 || month > 12)
        return 0;
    return QDate(year, month, 1).daysInMonth();
}

TNewRow ProposeNewRow(const TGridModel &model, bool all, int lcNo)
{
    TNewRow r;
    if (all)
        return r;
    const int index = model.RecordCount() + 1;
    if (index > MaxEntries) {
        r.Ok = false;
        r.Message = Tx(QStringLiteral("strTooManyEntries")).arg(MaxEntries);
        return r;
    }
    r.LcNo = lcNo;
    r.Index = index;
    return r;
}

int AppendProposedRow(TGridModel *model, const TNewRow &row)
{
    if (!row.Ok)
        return -1;
    const int rec = model->AppendRecord();
    if (!row.LcNo.isNull())
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("INT_LCNO")), row.LcNo);
    if (!row.Index.isNull())
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("INT_FPLANINDEX")), row.Index);
    return rec;
}

TLcTypeEx TReservePlanEdits::TypeOf(int lcNo) const
{
    return LcTypeOf ? LcTypeOf(lcNo) : GetLcTypeEx(lcNo);
}

TEditResult TReservePlanEdits::Edit(TGridModel *model, int rec, int col, const QVariant &value)
{
    TEditResult r;
    const TGridColumn &c = model->Column(col);
    if (!IsEmpty(value) && (c.Spin || !c.Items.isEmpty() || c.Name == QLatin1String("INT_CNTLSPCNO"))) {
        bool ok = false;
        const int v = value.toString().trimmed().toInt(&ok);
        int lo = int(c.SpinMin), hi = int(c.SpinMax);
        if (!c.Spin && !c.Items.isEmpty()) {
            lo = c.Items.first().Value.toInt();
            hi = c.Items.last().Value.toInt();
        } else if (c.Name == QLatin1String("INT_CNTLSPCNO")) {
            lo = 6;
            hi = 10;
        }
        if (c.Name == QLatin1String("INT_RSRVDAY"))
            hi = DayMax;
        if (!ok || v < lo || v > hi) {
            r.Ok = false;
            r.Message = Tx(QStringLiteral("strOutOfRange")).arg(c.Caption).arg(lo).arg(hi);
            return r;
        }
        if (c.Name == QLatin1String("INT_CNTLSPCNO")
            && !EmapEditable(*model, rec, TypeOf(IntOf(model->Value(rec, QStringLiteral("INT_LCNO")))))) {
            r.Ok = false;
            r.Message = Tx(QStringLiteral("strEmapOnly"));
            return r;
        }
        model->SetValue(rec, col, v);
    } else {
        model->SetValue(rec, col, QVariant());
    }
    CellEdited(model, rec, col);
    return r;
}

void TReservePlanEdits::CellEdited(TGridModel *model, int rec, int col)
{
    model->SetState(rec, GetStateVal(model, rec, model->StateIdx(), model->KeyValueIdx()));
    const QString name = model->Column(col).Name;
    if (name == QLatin1String("INT_RSRVMONTH")) {
        const int month = IntOf(model->Value(rec, col));
        if (month >= 1 && month <= 12) {
            DayMax = DaysInMonth(month, Today().year());
            const int dayCol = model->ColumnIndex(QStringLiteral("INT_RSRVDAY"));
            if (IntOf(model->Value(rec, dayCol)) > DayMax)
                model->SetValue(rec, dayCol, DayMax);
        }
    } else if (name == QLatin1String("INT_CNTLTYPE")) {
        const int lc = IntOf(model->Value(rec, QStringLiteral("INT_LCNO")));
        if (Is2010(TypeOf(lc)) && IntOf(model->Value(rec, col), -1) != 4)
            model->SetValue(rec, model->ColumnIndex(QStringLiteral("INT_CNTLSPCNO")), 0);
    }
}

bool TReservePlanEdits::EmapEditable(const TGridModel &model, int rec, TLcTypeEx type)
{
    return Is2010(type) && EmapShown(model, rec);
}

bool TReservePlanEdits::EmapShown(const TGridModel &model, int rec)
{
    return IntOf(model.Value(rec, QStringLiteral("INT_CNTLTYPE")), -1) == 4;
}

TCheckResult CheckReservePlanRows(const TGridModel &model)
{
    TCheckResult r;
    const int lcCol = model.ColumnIndex(QStringLiteral("INT_LCNO"));
    const int idxCol = model.ColumnIndex(QStringLiteral("INT_FPLANINDEX"));
    const TGridCheckResult c = CheckGridRows(model, {lcCol, idxCol}, {lcCol, idxCol}, model.StateIdx(), true);
    if (!c.Ok) {
        r.Ok = false;
        r.Record = c.Record;
        r.Column = c.Column;
        r.Message = c.Problem == TGridCheckResult::Duplicate ? DM->T_DuplicateDataMsg : DM->T_CheckRequiredField;
        return r;
    }
    for (int rec = 0; rec < model.RecordCount(); ++rec) {
        const TRowState st = model.RowStateOf(rec);
        if (st != TRowState::Inserted && st != TRowState::Modified)
            continue;
        const int index = IntOf(model.Value(rec, idxCol), -1);
        if (index < 1 || index > MaxEntries) {
            r.Ok = false;
            r.Record = rec;
            r.Column = idxCol;
            r.Message = Tx(QStringLiteral("strIndexRange")).arg(MaxEntries);
            return r;
        }
    }
    return r;
}

void SaveReservePlanRow(QSqlDatabase db, const TGridRow &row, const TLcTypeOf &lcTypeOf)
{
    const QStringList cols = DataColumns();
    const QStringList key = row.KeyParts();
    QVariantMap p;
    if (row.IsInserted() || row.IsModified()) {
        for (const QString &c : cols)
            p.insert(QLatin1Char(':') + c, IntOf(row[c]));
        const int lc = IntOf(row["INT_LCNO"]);
        const TLcTypeEx type = lcTypeOf ? lcTypeOf(lc) : GetLcTypeEx(lc);
        if (!(Is2010(type) && IntOf(row["INT_CNTLTYPE"], -1) == 4))
            p.insert(QStringLiteral(":INT_CNTLSPCNO"), 0);
    }
    if (row.IsModified() || row.IsDeleted()) {
        p.insert(QStringLiteral(":KEY_INT_LCNO"), key.value(0));
        p.insert(QStringLiteral(":KEY_INT_FPLANINDEX"), key.value(1));
    }
    const QString where = QStringLiteral(" WHERE INT_LCNO = :KEY_INT_LCNO AND INT_FPLANINDEX = :KEY_INT_FPLANINDEX");
    QString sql;
    switch (row.State) {
    case TRowState::Modified: {
        QStringList sets;
        for (const QString &c : cols)
            sets << c + QStringLiteral(" = :") + c;
        sql = QStringLiteral("UPDATE SCS_M_INTFPLAN SET ") + sets.join(QStringLiteral(", ")) + where;
        break;
    }
    case TRowState::Inserted:
        sql = QStringLiteral("INSERT INTO SCS_M_INTFPLAN (%1) VALUES (:%2)")
                  .arg(cols.join(QStringLiteral(", ")), cols.join(QStringLiteral(", :")));
        break;
    case TRowState::Deleted:
        sql = QStringLiteral("DELETE FROM SCS_M_INTFPLAN") + where;
        break;
    case TRowState::Unchanged:
        return;
    }
    ExecSqlOrThrow(db, sql, p);
}

TGridSaveResult SaveReservePlans(QSqlDatabase db, const TGridModel &model, const TLcTypeOf &lcTypeOf)
{
    return SaveGridRows(model, db, [&](const TGridRow &row) { SaveReservePlanRow(db, row, lcTypeOf); });
}

} // namespace ReservePlan
