#include "core/GridHelpers.h"

#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include "core/GridView.h"
#include "core/siLang.h"
#include "core/untDM.h"

// ---------------------------------------------------------------- errors

void ExecOrThrow(QSqlQuery &query)
{
    if (!query.exec())
        throw EGridSaveError(query.lastError().text());
}

int ExecSqlOrThrow(QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw EGridSaveError(q.lastError().text());
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bindValue(it.key().startsWith(':') ? it.key() : ':' + it.key(), it.value());
    ExecOrThrow(q);
    return q.numRowsAffected();
}

QVariant NullIfEmpty(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    if (value.typeId() == QMetaType::QString && value.toString().isEmpty())
        return QVariant();
    return value;
}

// ---------------------------------------------------------------- transactions

// Transactions opened through the functions below, by connection name. The
// connections of the grid kit live on the user-interface thread, so this needs no lock.
static QHash<QString, bool> &TxOpen()
{
    static QHash<QString, bool> open;
    return open;
}

bool ConInTransaction(QSqlDatabase db)
{
    if (!db.isOpen())
        return false;
    if (db.driverName() == QLatin1String("QMYSQL") || db.driverName() == QLatin1String("QMARIADB")) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT @@in_transaction")) && q.next())
            return q.value(0).toInt() != 0;
    }
    return TxOpen().value(db.connectionName(), false);
}

static void SetTx(const QSqlDatabase &db, bool open)
{
    TxOpen().insert(db.connectionName(), open);
}

bool ConStartTransaction(QSqlDatabase db)
{
    const bool ok = db.transaction();
    if (ok)
        SetTx(db, true);
    return ok;
}

bool ConCommit(QSqlDatabase db)
{
    const bool ok = db.commit();
    if (ok)
        SetTx(db, false);
    return ok;
}

bool ConRollback(QSqlDatabase db)
{
    const bool ok = db.rollback();
    SetTx(db, false);
    return ok;
}

// ---------------------------------------------------------------- numbered grids

void InitTableView(TGridModel *model, int numberCol, int stateCol, int rows)
{
    if (!model)
        return;
    model->BeginUpdate();
    model->Clear();
    for (int r = 0; r < rows; ++r) {
        const int rec = model->AppendRecord();
        model->SetValue(rec, numberCol, r + 1);
        model->SetValue(rec, stateCol, RowState::Unchanged);
    }
    model->EndUpdate();
}

void InitTableView(TGridView *view, int numberCol, int stateCol, int rows)
{
    if (view)
        InitTableView(view->GridModel(), numberCol, stateCol, rows);
}

void InitPhaseTableView(TGridModel *model, int phaseCol, int ringCol, int rows, int stateCol)
{
    if (!model)
        return;
    model->BeginUpdate();
    model->Clear();
    for (int r = 0; r < rows; ++r) {
        const int rec = model->AppendRecord();
        model->SetValue(rec, phaseCol, r / 2 + 1);
        model->SetValue(rec, ringCol, r % 2 + 1);
        model->SetValue(rec, stateCol, RowState::Unchanged);
    }
    model->EndUpdate();
}

void InitPhaseTableView(TGridView *view, int phaseCol, int ringCol, int rows, int stateCol)
{
    if (view)
        InitPhaseTableView(view->GridModel(), phaseCol, ringCol, rows, stateCol);
}

void InitTableView_Without_KeyValue(TGridModel *model, int stateCol, int rows)
{
    if (!model)
        return;
    model->BeginUpdate();
    model->Clear();
    for (int r = 0; r < rows; ++r)
        model->SetValue(model->AppendRecord(), stateCol, RowState::Unchanged);
    model->EndUpdate();
}

void InitTableView_Without_KeyValue(TGridView *view, int stateCol, int rows)
{
    if (view)
        InitTableView_Without_KeyValue(view->GridModel(), stateCol, rows);
}

// ---------------------------------------------------------------- states

QString GetStateVal(const TGridModel *model, int rec, int stateCol, int keyCol)
{
    if (!model || rec < 0 || rec >= model->RecordCount())
        return QString();
    if (model->Text(rec, stateCol) == RowState::Deleted)
        return RowState::Deleted;
    return model->Text(rec, keyCol).isEmpty() ? RowState::Inserted : RowState::Modified;
}

QString GetStateVal(const TGridView *view, int stateCol, int keyCol)
{
    if (!view)
        return QString();
    return GetStateVal(view->GridModel(), view->FocusedRecord(), stateCol, keyCol);
}

QString GetStateVal_BandedTableView(const TGridView *view, int stateCol, int keyCol)
{
    return GetStateVal(view, stateCol, keyCol);
}

QString GetStateVal_BandedTableView_By_RecIndex(const TGridView *view, int rec, int stateCol, int keyCol)
{
    return view ? GetStateVal(view->GridModel(), rec, stateCol, keyCol) : QString();
}

void DelExecute(TGridView *view, int keyCol, int stateCol)
{
    if (!view || !view->GridModel())
        return;
    view->PostEdit();
    TGridModel *m = view->GridModel();
    const int rec = view->FocusedRecord();
    if (rec < 0)
        return;
    const int row = view->DisplayOfRecord(rec);
    if (m->Text(rec, keyCol).isEmpty()) {
        m->RemoveRecord(rec);
        view->FocusDisplayRow(qMin(row, view->DisplayCount() - 1));
    } else {
        m->SetValue(rec, stateCol, RowState::Deleted);
    }
}

void DelNoAddExecute(TGridView *view, int stateCol)
{
    if (!view || !view->GridModel())
        return;
    view->PostEdit();
    const int rec = view->FocusedRecord();
    if (rec >= 0)
        view->GridModel()->SetValue(rec, stateCol, RowState::Deleted);
}

// ---------------------------------------------------------------- checks

static QString KeyText(const TGridModel &m, int rec, const QList<int> &cols)
{
    QStringList parts;
    for (int c : cols)
        parts << m.Text(rec, c);
    return parts.join(QChar(0x1F));
}

TGridCheckResult CheckGridRows(const TGridModel &m, const QList<int> &keyCols,
                               const QList<int> &requiredCols, int stateCol, bool dupCheck,
                               bool skipEmptyKeys)
{
    TGridCheckResult r;
    const int n = m.RecordCount();
    for (int rec = 0; rec < n; ++rec) {
        if (!RowState::IsChanged(m.Text(rec, stateCol)))
            continue;
        for (int c : requiredCols) {
            if (m.Text(rec, c).isEmpty()) {
                r.Ok = false;
                r.Problem = TGridCheckResult::Required;
                r.Record = rec;
                r.Column = c;
                return r;
            }
        }
        if (!dupCheck || keyCols.isEmpty())
            continue;
        const QString key = KeyText(m, rec, keyCols);
        bool empty = true;
        for (int c : keyCols)
            empty = empty && m.Text(rec, c).isEmpty();
        if (skipEmptyKeys && empty)
            continue;
        for (int other = 0; other < n; ++other) {
            if (other == rec)
                continue;
            if (KeyText(m, other, keyCols) == key) {
                r.Ok = false;
                r.Problem = TGridCheckResult::Duplicate;
                r.Record = rec;
                r.Column = keyCols.first();
                return r;
            }
        }
    }
    return r;
}

static QString TdmText(QString TDM::*field, const char *key)
{
    if (DM)
        return DM->*field;
    return siText(QStringLiteral("TDM"), QString::fromLatin1(key));
}

TRtnBoolStr ValidateEx(TGridView *view, const QList<int> &keyCols, const QList<int> &requiredCols,
                       int stateCol, bool dupCheck, const QString &requiredMsg,
                       const QString &dupMsg)
{
    TRtnBoolStr res;
    if (!view || !view->GridModel())
        return res;
    view->PostEdit();
    const TGridCheckResult c = CheckGridRows(*view->GridModel(), keyCols, requiredCols, stateCol, dupCheck);
    if (c.Ok)
        return res;
    res.rtn = false;
    res.msg = c.Problem == TGridCheckResult::Required ? requiredMsg : dupMsg;
    view->FocusRecord(c.Record, c.Column);
    return res;
}

QList<int> RequiredColumns(const TGridModel &model)
{
    QList<int> cols;
    for (int c = 0; c < model.ColumnCount(); ++c)
        if (model.Column(c).Tag == 1)
            cols.append(c);
    return cols;
}

TRtnBoolStr Validate(TGridView *view, int keyCol, int stateCol, bool dupCheck)
{
    if (!view || !view->GridModel())
        return TRtnBoolStr();
    return ValidateEx(view, keyCol >= 0 ? QList<int>{keyCol} : QList<int>{},
                      RequiredColumns(*view->GridModel()), stateCol, dupCheck,
                      TdmText(&TDM::T_CheckRequiredField, "strCheckRequiredField"),
                      TdmText(&TDM::T_DuplicateDataMsg, "strDuplicateDataMsg"));
}

// ---------------------------------------------------------------- save protocol

TGridSaveResult SaveGridRows(const TGridModel &model, QSqlDatabase db, const TGridRowSaveProc &proc)
{
    TGridSaveResult r;
    // A transaction the caller opened stays the caller's: it commits or rolls back.
    r.OwnTransaction = !ConInTransaction(db);
    if (r.OwnTransaction && !ConStartTransaction(db)) {
        r.Ok = false;
        r.Error = db.lastError().text();
        return r;
    }
    try {
        for (int rec = 0; rec < model.RecordCount(); ++rec) {
            const QString state = model.State(rec);
            if (!RowState::IsChanged(state))
                continue;
            ++r.Count;
            const TGridRow row = model.Row(rec);
            r.LastRecord = rec;
            r.LastKey = row.KeyValue;
            r.FailedRecord = rec;
            if (row.State != TRowState::Inserted && row.KeyValue.isEmpty())
                throw EGridSaveError(QStringLiteral("Operation aborted"));
            if (proc)
                proc(row);
            r.FailedRecord = -1;
        }
        if (r.OwnTransaction && !ConCommit(db))
            throw EGridSaveError(db.lastError().text());
    } catch (const EGridSaveError &e) {
        r.Ok = false;
        r.Error = e.Message();
    } catch (const std::exception &e) {
        r.Ok = false;
        r.Error = QString::fromUtf8(e.what());
    }
    if (!r.Ok && r.OwnTransaction)
        ConRollback(db);
    return r;
}

void MergeEqualNeighbourCells(TGridView *view, int col)
{
    if (!view || !view->GridModel())
        return;
    view->clearSpans();
    const int rows = view->DisplayCount();
    int start = 0;
    for (int row = 1; row <= rows; ++row) {
        const bool same = row < rows
            && view->GridModel()->Value(view->RecordAtDisplay(row), col)
                   == view->GridModel()->Value(view->RecordAtDisplay(start), col);
        if (same)
            continue;
        if (row - start > 1)
            view->setSpan(start, col, row - start, 1);
        start = row;
    }
}
