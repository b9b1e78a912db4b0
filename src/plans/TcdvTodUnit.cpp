#include "plans/TcdvTodUnit.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "core/GridClipboard.h"
#include "core/GridResources.h"
#include "core/SqlDialect.h"
#include "core/siLang.h"

namespace TcdvTod {

namespace {

const QString kCheck = QStringLiteral("cxEditRepositoryCheckBoxItem");
const QString kKeyValue = TGridModel::KeyValueName;
const QString kState = TGridModel::StateName;

QString Tx(const QString &key)
{
    return siText(TextTable, key);
}

// A numbered value as the grids hold it: NULL as 0.
int IntOf(const QVariant &v)
{
    return v.isNull() ? 0 : v.toInt();
}

// Runs a query with named values; throws with the database's text.
void Exec(QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    ExecSqlOrThrow(db, sql, params);
}

bool OpenQuery(QSqlQuery &q, const QString &sql, const QVariantMap &params, QString *error)
{
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bindValue(QLatin1Char(':') + it.key(), it.value());
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    return true;
}

const QStringList &PhasePlanValues()
{
    static const QStringList v{QStringLiteral("INT_MINSPLIT"),   QStringLiteral("INT_MAXSPLIT"),
                               QStringLiteral("INT_MDSCONTROL"), QStringLiteral("INT_MAINPHASE"),
                               QStringLiteral("INT_LANE"),       QStringLiteral("INT_FIXEDPHASE"),
                               QStringLiteral("INT_YELLOW"),     QStringLiteral("INT_EXTENDED"),
                               QStringLiteral("INT_ACTCONTROL"), QStringLiteral("INT_DUALFLAG")};
    return v;
}

QStringList SplitColumnsOfRing(QChar ring)
{
    QStringList out;
    for (int n = 1; n <= 8; ++n)
        out << QStringLiteral("INT_%1SPLIT%2").arg(ring).arg(n);
    return out;
}

// The message of a value outside its column's range.
QString RangeMessage(const TGridModel &model, int col, int lo, int hi)
{
    return Tx(QStringLiteral("strPasteRefused")).arg(model.Column(col).Caption).arg(lo).arg(hi);
}

// Checks a number against the column's range; empty passes.
bool InRange(const TGridModel &model, int col, const QVariant &value, QString *message)
{
    const auto range = ColumnRange(model, col);
    if (range.second < range.first || value.isNull() || value.toString().isEmpty())
        return true;
    bool ok = false;
    const int v = value.toString().trimmed().toInt(&ok);
    if (ok && v >= range.first && v <= range.second)
        return true;
    if (message)
        *message = RangeMessage(model, col, range.first, range.second);
    return false;
}

} // namespace

// ------------------------------------------------------------ plan classes

QStringList PlanClassEntries(TLcTypeEx type)
{
    QStringList list{Tx(QStringLiteral("strGeneralPlan"))};
    if (type == lct2004)
        return list << Tx(QStringLiteral("IDS_407"));
    for (int i = 408; i <= 413; ++i)
        list << Tx(QStringLiteral("IDS_%1").arg(i));
    return list;
}

TPlanClassSetup SetupByLcType(TLcTypeEx type, const QStringList &current, int currentIndex)
{
    TPlanClassSetup out;
    out.Entries = current;
    if (type == lct2004 && current.size() != 2) {
        out.Entries = PlanClassEntries(lct2004);
        out.Changed = true;
    } else if ((type == lct2010_3L || type == lct2010_4L) && current.size() == 2) {
        out.Entries = PlanClassEntries(type);
        out.Changed = true;
    }
    out.Index = currentIndex >= 0 && currentIndex < out.Entries.size() ? currentIndex : 1;
    return out;
}

// ------------------------------------------------------------ phases

int GetMvmtImageIndex(const QVariant &movement)
{
    if (movement.isNull() || movement.toString().trimmed().isEmpty())
        return -1;
    const int m = movement.toInt();
    if (m <= 0)
        return -1;
    if (m <= 8 || m == 17 || m == 18)
        return m;
    return m % 9 + 1;
}

QStringList PhaseVisibleColumns()
{
    return {QStringLiteral("INT_PHASENO"), QStringLiteral("INT_RING"),      QStringLiteral("INT_FLOWNUMBER"),
            QStringLiteral("Mvmt"),        QStringLiteral("INT_MINSPLIT"),  QStringLiteral("INT_MAXSPLIT"),
            QStringLiteral("INT_MDSCONTROL"), QStringLiteral("INT_MAINPHASE"), QStringLiteral("INT_LANE"),
            QStringLiteral("INT_FIXEDPHASE"), QStringLiteral("INT_YELLOW"),  QStringLiteral("INT_EXTENDED"),
            QStringLiteral("INT_ACTCONTROL"), QStringLiteral("INT_DUALFLAG"), QStringLiteral("LINK_ID")};
}

TGridColumns PhaseColumns()
{
    auto cap = [](const QString &name) { return QStringLiteral("gtvPhase%1.Caption").arg(name); };
    auto col = [&](const QString &name) {
        TGridColumn c(name, Tx(cap(name)));
        c.Key(cap(name));
        return c;
    };
    auto check = [&](const QString &name) { return col(name).Ed(kCheck).W(70); };
    auto byte = [&](const QString &name) { return col(name).Range(0, 255).Right().W(70); };
    TGridColumns cols{
        col(QStringLiteral("INT_PHASENO")).RO().W(60),
        col(QStringLiteral("INT_RING")).RO().W(50).Choices({{1, QStringLiteral("A")}, {2, QStringLiteral("B")}}),
        // The movement mask ^([1-9]|1[0-8])$ is the range 1..18 of a number.
        col(QStringLiteral("INT_FLOWNUMBER")).Range(1, 18).Req().W(80),
        col(QStringLiteral("Mvmt")).RO().W(60),
        byte(QStringLiteral("INT_MINSPLIT")),
        byte(QStringLiteral("INT_MAXSPLIT")),
        check(QStringLiteral("INT_MDSCONTROL")),
        check(QStringLiteral("INT_MAINPHASE")),
        byte(QStringLiteral("INT_LANE")),
        check(QStringLiteral("INT_FIXEDPHASE")),
        byte(QStringLiteral("INT_YELLOW")),
        check(QStringLiteral("INT_EXTENDED")),
        check(QStringLiteral("INT_ACTCONTROL")),
        check(QStringLiteral("INT_DUALFLAG")),
        col(QStringLiteral("LINK_ID")).Max(10).W(100),
    };
    return cols;
}

void InitPhaseGrid(TGridModel *model)
{
    if (model->ColumnCount() == 0)
        model->SetColumns(PhaseColumns());
    InitPhaseTableView(model, model->ColumnIndex(QStringLiteral("INT_PHASENO")),
                       model->ColumnIndex(QStringLiteral("INT_RING")), 16, model->StateIdx());
}

int LoadPhaseGrid(QSqlDatabase db, TGridModel *model, int lcNo, int planClass, int mainLcNo, QString *error)
{
    model->BeginUpdate();
    InitPhaseGrid(model);
    QSqlQuery q(db);
    QString sql;
    QVariantMap params;
    if (mainLcNo <= 0) {
        sql = QStringLiteral(
            "SELECT INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, INT_MINSPLIT, INT_MAXSPLIT, "
            "INT_MDSCONTROL, INT_MAINPHASE, INT_LANE, INT_FIXEDPHASE, INT_YELLOW, INT_EXTENDED, INT_ACTCONTROL, "
            "INT_DUALFLAG, LINK_ID, INT_LCNO AS OWN_LCNO FROM SCS_M_INTPHASE WHERE INT_LCNO = :INT_LCNO AND "
            "INT_PLANCLSS = :INT_PLANCLSS ORDER BY INT_PHASENO, INT_RING");
        params = {{QStringLiteral("INT_LCNO"), lcNo}, {QStringLiteral("INT_PLANCLSS"), planClass}};
    } else {
        // The main intersection's rows with the virtual one's own movement and link.
        // OWN_LCNO is NULL where the virtual intersection has no row of its own:
        // such a row has no key, so an edit inserts it.
        sql = QStringLiteral(
            "SELECT COALESCE(P2.INT_LCNO, :VIRT_LCNO) AS INT_LCNO, P1.INT_PLANCLSS, P1.INT_PHASENO, P1.INT_RING, "
            "COALESCE(P2.INT_FLOWNUMBER, P1.INT_FLOWNUMBER) AS INT_FLOWNUMBER, P1.INT_MINSPLIT, P1.INT_MAXSPLIT, "
            "P1.INT_MDSCONTROL, P1.INT_MAINPHASE, P1.INT_LANE, P1.INT_FIXEDPHASE, P1.INT_YELLOW, P1.INT_EXTENDED, "
            "P1.INT_ACTCONTROL, P1.INT_DUALFLAG, P2.LINK_ID, P2.INT_LCNO AS OWN_LCNO "
            "FROM SCS_M_INTPHASE P1 LEFT JOIN SCS_M_INTPHASE P2 ON P2.INT_LCNO = :OWN_LCNO "
            "AND P2.INT_PLANCLSS = P1.INT_PLANCLSS AND P2.INT_PHASENO = P1.INT_PHASENO AND P2.INT_RING = P1.INT_RING "
            "WHERE P1.INT_LCNO = :V_LCNO AND P1.INT_PLANCLSS = :INT_PLANCLSS ORDER BY P1.INT_PHASENO, P1.INT_RING");
        params = {{QStringLiteral("VIRT_LCNO"), lcNo},
                  {QStringLiteral("OWN_LCNO"), lcNo},
                  {QStringLiteral("V_LCNO"), mainLcNo},
                  {QStringLiteral("INT_PLANCLSS"), planClass}};
    }
    if (!OpenQuery(q, sql, params, error)) {
        model->EndUpdate();
        return -1;
    }
    int placed = 0;
    const QStringList names = PhaseVisibleColumns();
    while (q.next()) {
        const int phase = q.value(QStringLiteral("INT_PHASENO")).toInt();
        const int ring = q.value(QStringLiteral("INT_RING")).toInt();
        if (phase < 1 || phase > 8 || ring < 1 || ring > 2)
            continue; // no place in the grid
        const int rec = (phase - 1) * 2 + ring - 1;
        for (const QString &name : names) {
            const int col = model->ColumnIndex(name);
            if (name == QLatin1String("Mvmt"))
                model->SetValue(rec, col, GetMvmtImageIndex(q.value(QStringLiteral("INT_FLOWNUMBER"))));
            else if (name == QLatin1String("LINK_ID"))
                model->SetValue(rec, col, q.value(name).isNull() ? QVariant() : q.value(name).toString());
            else
                model->SetValue(rec, col, IntOf(q.value(name)));
        }
        const bool own = !q.value(QStringLiteral("OWN_LCNO")).isNull();
        model->SetKeyValue(rec, own ? QStringLiteral("%1,%2,%3,%4")
                                          .arg(q.value(QStringLiteral("INT_LCNO")).toInt())
                                          .arg(q.value(QStringLiteral("INT_PLANCLSS")).toInt())
                                          .arg(phase)
                                          .arg(ring)
                                    : QString());
        model->SetState(rec, RowState::Unchanged);
        ++placed;
    }
    model->EndUpdate();
    return placed;
}

bool PhaseCellEditable(const TGridModel &model, int rec, int col, bool isVirtual)
{
    if (col < 0 || col >= model.ColumnCount())
        return false;
    const QString name = model.Column(col).Name;
    if (name == QLatin1String("INT_PHASENO") || name == QLatin1String("INT_RING") || name == QLatin1String("Mvmt")
        || name == kKeyValue || name == kState)
        return false;
    if (isVirtual)
        return name == QLatin1String("INT_FLOWNUMBER") || name == QLatin1String("LINK_ID");
    if (name == QLatin1String("INT_DUALFLAG")) {
        const QVariant phase = model.Value(rec, QStringLiteral("INT_PHASENO"));
        return !phase.isNull() && phase.toInt() % 2 == 1;
    }
    return true;
}

QPair<int, int> ColumnRange(const TGridModel &model, int col)
{
    if (col < 0 || col >= model.ColumnCount() || !model.Column(col).Spin)
        return {0, -1};
    return {int(model.Column(col).SpinMin), int(model.Column(col).SpinMax)};
}

void PhaseCellEdited(TGridModel *model, int rec, int col)
{
    model->SetState(rec, GetStateVal(model, rec, model->StateIdx(), model->KeyValueIdx()));
    if (model->Column(col).Name == QLatin1String("INT_FLOWNUMBER"))
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("Mvmt")), GetMvmtImageIndex(model->Value(rec, col)));
}

TEditResult EditPhaseCell(TGridModel *model, int rec, int col, const QVariant &value, bool isVirtual)
{
    TEditResult r;
    if (!PhaseCellEditable(*model, rec, col, isVirtual)) {
        r.Ok = false;
        r.Message = Tx(QStringLiteral("strVirtualReadOnly"));
        return r;
    }
    if (!InRange(*model, col, value, &r.Message)) {
        r.Ok = false;
        return r;
    }
    QVariant v = value;
    if (model->Column(col).Spin && !v.isNull())
        v = v.toString().isEmpty() ? QVariant() : QVariant(v.toInt());
    if (model->Value(rec, col) == v && !model->Value(rec, col).isNull())
        return r;
    model->SetValue(rec, col, v);
    PhaseCellEdited(model, rec, col);
    return r;
}

QString PhaseRowText(const TGridModel &model, int rec)
{
    QList<int> cols;
    for (const QString &n : PhaseVisibleColumns())
        cols << model.ColumnIndex(n);
    return GridRowToClipboardText(model, rec, cols);
}

TEditResult PastePhaseRow(TGridModel *model, int rec, const QString &text, bool isVirtual, bool *applied)
{
    TEditResult r;
    if (applied)
        *applied = false;
    const QStringList fields = ClipboardRowFields(text);
    const QStringList names = PhaseVisibleColumns();
    if (rec < 0 || rec >= model->RecordCount() || fields.size() != names.size())
        return r;
    // First every field is checked; a refused paste leaves the row as it was.
    QVariantMap values;
    for (int i = 0; i < names.size(); ++i) {
        const int col = model->ColumnIndex(names[i]);
        if (!PhaseCellEditable(*model, rec, col, isVirtual))
            continue;
        QVariant v;
        if (IsCheckColumn(*model, col))
            v = CheckFieldValue(fields[i]);
        else if (names[i] == QLatin1String("INT_FLOWNUMBER")) {
            static const QRegularExpression mask(QStringLiteral("^([1-9]|1[0-8])$"));
            if (!fields[i].isEmpty() && !mask.match(fields[i]).hasMatch()) {
                r.Ok = false;
                r.Message = RangeMessage(*model, col, 1, 18);
                return r;
            }
            v = fields[i].isEmpty() ? QVariant() : QVariant(fields[i].toInt());
        } else if (model->Column(col).Spin) {
            v = SpinFieldValue(fields[i]);
            if (!InRange(*model, col, v, &r.Message)) {
                r.Ok = false;
                return r;
            }
        } else
            v = fields[i];
        values.insert(names[i], v);
    }
    model->BeginUpdate();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        model->SetValue(rec, model->ColumnIndex(it.key()), it.value());
    model->SetValue(rec, model->ColumnIndex(QStringLiteral("Mvmt")),
                    GetMvmtImageIndex(model->Value(rec, QStringLiteral("INT_FLOWNUMBER"))));
    model->SetState(rec, GetStateVal(model, rec, model->StateIdx(), model->KeyValueIdx()));
    model->EndUpdate();
    if (applied)
        *applied = true;
    return r;
}

TGridCheckResult CheckPhaseRows(const TGridModel &model)
{
    TGridCheckResult r = CheckGridRows(model, {}, {model.ColumnIndex(QStringLiteral("INT_FLOWNUMBER"))},
                                       model.StateIdx(), false);
    if (!r.Ok)
        return r;
    const int phaseCol = model.ColumnIndex(QStringLiteral("INT_PHASENO"));
    const int ringCol = model.ColumnIndex(QStringLiteral("INT_RING"));
    for (int j = 0; j < model.RecordCount(); ++j) {
        if (model.Text(j, phaseCol).isEmpty())
            continue;
        const QString a = model.Text(j, phaseCol) + model.Text(j, ringCol);
        for (int k = 0; k < model.RecordCount(); ++k) {
            if (k != j && model.Text(k, phaseCol) + model.Text(k, ringCol) == a) {
                r.Ok = false;
                r.Problem = TGridCheckResult::Duplicate;
                r.Record = j;
                r.Column = phaseCol;
                return r;
            }
        }
    }
    return r;
}

void SavePhaseRow(QSqlDatabase db, const TGridRow &row, int lcNo, int planClass, bool isVirtual)
{
    QVariantMap values;
    values.insert(QStringLiteral("INT_PHASENO"), IntOf(row[QStringLiteral("INT_PHASENO")]));
    values.insert(QStringLiteral("INT_RING"), IntOf(row[QStringLiteral("INT_RING")]));
    values.insert(QStringLiteral("INT_FLOWNUMBER"), IntOf(row[QStringLiteral("INT_FLOWNUMBER")]));
    for (const QString &n : PhasePlanValues())
        values.insert(n, isVirtual ? 0 : IntOf(row[n]));
    values.insert(QStringLiteral("LINK_ID"), NullIfEmpty(row.Text(QStringLiteral("LINK_ID"))));

    const QStringList key = row.KeyParts();
    auto keyParams = [&key]() {
        return QVariantMap{{QStringLiteral("KEY_INT_LCNO"), key.value(0)},
                           {QStringLiteral("KEY_INT_PLANCLSS"), key.value(1)},
                           {QStringLiteral("KEY_INT_PHASENO"), key.value(2)},
                           {QStringLiteral("KEY_INT_RING"), key.value(3)}};
    };
    const QString keyWhere = QStringLiteral(
        "INT_PLANCLSS = :KEY_INT_PLANCLSS AND INT_PHASENO = :KEY_INT_PHASENO AND INT_RING = :KEY_INT_RING");

    if (row.IsDeleted()) {
        if (row.KeyValue.isEmpty())
            return; // never stored
        Exec(db, QStringLiteral("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO = :KEY_INT_LCNO AND ") + keyWhere, keyParams());
        Exec(db,
             QStringLiteral("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO IN (SELECT INT_LCNO FROM SCS_M_INTLC "
                            "WHERE MAIN_LCNO = :KEY_INT_LCNO) AND ")
                 + keyWhere,
             keyParams());
        return;
    }
    if (row.IsModified() && !row.KeyValue.isEmpty()) {
        QVariantMap p = values;
        p.insert(keyParams());
        Exec(db,
             QStringLiteral("UPDATE SCS_M_INTPHASE SET INT_PHASENO = :INT_PHASENO, INT_RING = :INT_RING, "
                            "INT_FLOWNUMBER = :INT_FLOWNUMBER, INT_MINSPLIT = :INT_MINSPLIT, INT_MAXSPLIT = :INT_MAXSPLIT, "
                            "INT_MDSCONTROL = :INT_MDSCONTROL, INT_MAINPHASE = :INT_MAINPHASE, INT_LANE = :INT_LANE, "
                            "INT_FIXEDPHASE = :INT_FIXEDPHASE, INT_YELLOW = :INT_YELLOW, INT_EXTENDED = :INT_EXTENDED, "
                            "INT_ACTCONTROL = :INT_ACTCONTROL, INT_DUALFLAG = :INT_DUALFLAG, LINK_ID = :LINK_ID "
                            "WHERE INT_LCNO = :KEY_INT_LCNO AND ")
                 + keyWhere,
             p);
        return;
    }
    // Inserted, or modified without a stored row (a virtual intersection's row
    // shown from its main intersection): the row is inserted.
    QVariantMap p = values;
    p.insert(QStringLiteral("INT_LCNO"), lcNo);
    p.insert(QStringLiteral("INT_PLANCLSS"), planClass);
    Exec(db,
         QStringLiteral("INSERT INTO SCS_M_INTPHASE ( INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, "
                        "INT_MINSPLIT, INT_MAXSPLIT, INT_MDSCONTROL, INT_MAINPHASE, INT_LANE, INT_FIXEDPHASE, INT_YELLOW, "
                        "INT_EXTENDED, INT_ACTCONTROL, INT_DUALFLAG, LINK_ID )VALUES( :INT_LCNO, :INT_PLANCLSS, "
                        ":INT_PHASENO, :INT_RING, :INT_FLOWNUMBER, :INT_MINSPLIT, :INT_MAXSPLIT, :INT_MDSCONTROL, "
                        ":INT_MAINPHASE, :INT_LANE, :INT_FIXEDPHASE, :INT_YELLOW, :INT_EXTENDED, :INT_ACTCONTROL, "
                        ":INT_DUALFLAG, :LINK_ID )"),
         p);
    // The virtual intersections of this one get the row with the same movement,
    // unless any of them has it already.
    const QVariantMap cascade{{QStringLiteral("MAIN_LCNO"), lcNo},
                              {QStringLiteral("INT_PLANCLSS"), planClass},
                              {QStringLiteral("INT_PHASENO"), values[QStringLiteral("INT_PHASENO")]},
                              {QStringLiteral("INT_RING"), values[QStringLiteral("INT_RING")]}};
    QSqlQuery q(db);
    QString error;
    if (!OpenQuery(q,
                   QStringLiteral("SELECT COUNT(*) AS CNT FROM SCS_M_INTPHASE WHERE INT_LCNO IN (SELECT INT_LCNO FROM "
                                  "SCS_M_INTLC WHERE MAIN_LCNO = :MAIN_LCNO) AND INT_PLANCLSS = :INT_PLANCLSS AND "
                                  "INT_PHASENO = :INT_PHASENO AND INT_RING = :INT_RING"),
                   cascade, &error))
        throw EGridSaveError(error);
    if (q.next() && q.value(0).toInt() == 0) {
        QVariantMap c = cascade;
        c.insert(QStringLiteral("INT_FLOWNUMBER"), values[QStringLiteral("INT_FLOWNUMBER")]);
        Exec(db,
             QStringLiteral("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER) "
                            "SELECT INT_LCNO, :INT_PLANCLSS, :INT_PHASENO, :INT_RING, :INT_FLOWNUMBER FROM SCS_M_INTLC "
                            "WHERE MAIN_LCNO = :MAIN_LCNO"),
             c);
    }
}

TGridSaveResult SavePhases(QSqlDatabase db, const TGridModel &model, int lcNo, int planClass, bool isVirtual)
{
    TGridSaveResult result;
    const bool own = !ConInTransaction(db);
    if (own && !ConStartTransaction(db)) {
        result.Ok = false;
        result.Error = db.lastError().text();
        return result;
    }
    result.OwnTransaction = own;
    try {
        for (int rec = 0; rec < model.RecordCount(); ++rec) {
            const TGridRow row = model.Row(rec);
            if (row.State == TRowState::Unchanged || (row.IsDeleted() && row.KeyValue.isEmpty()))
                continue;
            result.FailedRecord = rec;
            SavePhaseRow(db, row, lcNo, planClass, isVirtual);
            ++result.Count;
            result.LastRecord = rec;
        }
        result.FailedRecord = -1;
        if (own && !ConCommit(db))
            throw EGridSaveError(db.lastError().text());
    } catch (const EGridSaveError &e) {
        result.Ok = false;
        result.Error = e.Message();
    } catch (const std::exception &e) {
        result.Ok = false;
        result.Error = QString::fromLocal8Bit(e.what());
    }
    if (!result.Ok && own)
        ConRollback(db);
    return result;
}

// ------------------------------------------------------------ time plans

int CycleIndexOfRecord(int rec)
{
    return rec <= 0 ? 1 : (rec - 1) / 3 + 2;
}

bool IsCycleRecord(int rec)
{
    return rec == 0 || (rec >= 1 && rec <= 13 && (rec - 1) % 3 == 0);
}

bool CopiesCycleDown(int rec)
{
    return rec >= 1 && IsCycleRecord(rec);
}

QStringList SplitVisibleColumns()
{
    QStringList out{QStringLiteral("SA_APLANINDEX"),  QStringLiteral("SA_CYCLELENGTH"),
                    QStringLiteral("SA_IORATIO"),     QStringLiteral("SA_ACTIVE"),
                    QStringLiteral("INT_TPLANINDEX"), QStringLiteral("CaptionARing"),
                    QStringLiteral("CaptionBRing")};
    for (int n = 1; n <= 8; ++n)
        out << QStringLiteral("INT_ASPLIT%1").arg(n) << QStringLiteral("INT_BSPLIT%1").arg(n);
    out << QStringLiteral("SumA") << QStringLiteral("SumB") << QStringLiteral("INT_OFFSET");
    return out;
}

bool IsCycleColumn(const QString &name)
{
    return name == QLatin1String("SA_CYCLELENGTH") || name == QLatin1String("SA_IORATIO")
        || name == QLatin1String("SA_ACTIVE");
}

TGridColumns SplitColumns()
{
    auto cap = [](const QString &name) { return QStringLiteral("gtvSplit%1.Caption").arg(name); };
    auto col = [&](const QString &name) {
        TGridColumn c(name, Tx(cap(name)));
        c.Key(cap(name));
        c.Band = c.Caption;
        return c;
    };
    TGridColumns cols{
        col(QStringLiteral("SA_APLANINDEX")).RO().W(60),
        col(QStringLiteral("SA_CYCLELENGTH")).Range(0, 255).Req().W(50),
        col(QStringLiteral("SA_IORATIO")).Range(0, 255).W(60),
        col(QStringLiteral("SA_ACTIVE")).Ed(kCheck).W(50),
        col(QStringLiteral("INT_TPLANINDEX")).RO().Req().W(60),
        col(QStringLiteral("CaptionARing")).RO().W(24),
        col(QStringLiteral("CaptionBRing")).RO().W(24),
    };
    const QString phaseBand = Tx(QStringLiteral("bndPhase.Caption"));
    for (int n = 1; n <= 8; ++n) {
        for (QChar ring : {QLatin1Char('A'), QLatin1Char('B')}) {
            TGridColumn c(QStringLiteral("INT_%1SPLIT%2").arg(ring).arg(n), QStringLiteral("%1%2").arg(ring).arg(n));
            c.Range(0, 255).W(36).InBand(phaseBand);
            cols << c;
        }
    }
    cols << col(QStringLiteral("SumA")).RO().W(44) << col(QStringLiteral("SumB")).RO().W(44)
         << col(QStringLiteral("INT_OFFSET")).Range(0, 255).Right().W(50);
    cols << TGridColumn(QStringLiteral("Validate")).Hidden();
    return cols;
}

void InitSplitGrid(TGridModel *model)
{
    if (model->ColumnCount() == 0)
        model->SetColumns(SplitColumns());
    InitTableView(model, model->ColumnIndex(QStringLiteral("INT_TPLANINDEX")), model->StateIdx(), 16);
    for (int rec = 0; rec < 16; ++rec) {
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("CaptionARing")), QStringLiteral("A"));
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("CaptionBRing")), QStringLiteral("B"));
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("SA_APLANINDEX")), CycleIndexOfRecord(rec));
    }
}

bool LoadSplitGrid(QSqlDatabase db, TGridModel *model, int lcNo, int saNo, int plan, int mainLcNo, QString *error)
{
    model->BeginUpdate();
    InitSplitGrid(model);
    bool ok = true;
    {
        QSqlQuery q(db);
        if (OpenQuery(q,
                      QStringLiteral("SELECT SA_NO, SA_APLANINDEX, SA_CYCLELENGTH, SA_IORATIO, SA_ACTIVE FROM SCS_M_SAAPLAN "
                                     "WHERE SA_NO = :SA_NO AND SA_APLAN = :SA_APLAN"),
                      {{QStringLiteral("SA_NO"), saNo}, {QStringLiteral("SA_APLAN"), plan}}, error)) {
            while (q.next()) {
                const int k = q.value(QStringLiteral("SA_APLANINDEX")).toInt();
                QList<int> recs;
                if (k == 1)
                    recs << 0;
                else if (k >= 2 && k <= 6)
                    recs << 3 * k - 5 << 3 * k - 4 << 3 * k - 3;
                for (int rec : recs) {
                    for (const QString &n : {QStringLiteral("SA_CYCLELENGTH"), QStringLiteral("SA_IORATIO"),
                                             QStringLiteral("SA_ACTIVE")})
                        model->SetValue(rec, model->ColumnIndex(n), IntOf(q.value(n)));
                    model->SetKeyValue(rec, QStringLiteral("%1,%2,%3").arg(lcNo).arg(plan).arg(rec + 1));
                }
            }
        } else
            ok = false;
    }
    if (ok) {
        QStringList sums[2];
        for (int n = 1; n <= 8; ++n) {
            sums[0] << QStringLiteral("COALESCE(INT_ASPLIT%1,0)").arg(n);
            sums[1] << QStringLiteral("COALESCE(INT_BSPLIT%1,0)").arg(n);
        }
        const QString sql = QStringLiteral("SELECT INT_LCNO, INT_TPLAN, INT_TPLANINDEX, %1, %2, INT_OFFSET, %3 AS SUM_ASPLIT, "
                                           "%4 AS SUM_BSPLIT FROM SCS_M_INTTPLAN T WHERE INT_LCNO = :INT_LCNO AND "
                                           "INT_TPLAN = :INT_TPLAN ORDER BY INT_TPLANINDEX")
                                .arg(SplitColumnsOfRing(QLatin1Char('A')).join(QStringLiteral(", ")),
                                     SplitColumnsOfRing(QLatin1Char('B')).join(QStringLiteral(", ")),
                                     sums[0].join(QLatin1Char('+')), sums[1].join(QLatin1Char('+')));
        QSqlQuery q(db);
        if (OpenQuery(q, sql, {{QStringLiteral("INT_LCNO"), mainLcNo > 0 ? mainLcNo : lcNo}, {QStringLiteral("INT_TPLAN"), plan}},
                      error)) {
            while (q.next()) {
                const int index = q.value(QStringLiteral("INT_TPLANINDEX")).toInt();
                if (index < 1 || index > 16)
                    continue; // no place in the grid
                const int rec = index - 1;
                for (const QString &n : SplitColumnsOfRing(QLatin1Char('A')) + SplitColumnsOfRing(QLatin1Char('B'))
                         + QStringList{QStringLiteral("INT_OFFSET")})
                    model->SetValue(rec, model->ColumnIndex(n), IntOf(q.value(n)));
                model->SetValue(rec, model->ColumnIndex(QStringLiteral("SumA")), IntOf(q.value(QStringLiteral("SUM_ASPLIT"))));
                model->SetValue(rec, model->ColumnIndex(QStringLiteral("SumB")), IntOf(q.value(QStringLiteral("SUM_BSPLIT"))));
                model->SetKeyValue(rec, QStringLiteral("%1,%2,%3")
                                            .arg(q.value(QStringLiteral("INT_LCNO")).toInt())
                                            .arg(q.value(QStringLiteral("INT_TPLAN")).toInt())
                                            .arg(index));
                model->SetState(rec, RowState::Unchanged);
            }
        } else
            ok = false;
    }
    model->EndUpdate();
    return ok;
}

bool SplitCellEditable(int rec, const QString &column, bool isVirtual)
{
    const bool split = column.startsWith(QLatin1String("INT_ASPLIT")) || column.startsWith(QLatin1String("INT_BSPLIT"));
    const bool cycle = IsCycleColumn(column);
    if (!split && !cycle && column != QLatin1String("INT_OFFSET"))
        return false;
    if (isVirtual)
        return false;
    return !cycle || IsCycleRecord(rec);
}

int SumSplits(const TGridModel &model, int rec, int ring)
{
    int sum = 0;
    for (const QString &n : SplitColumnsOfRing(ring == 1 ? QLatin1Char('A') : QLatin1Char('B')))
        sum += IntOf(model.Value(rec, n));
    return sum;
}

QPair<int, int> SplitEditorRange(const TGridModel &phases, const QString &splitColumn, int *phaseRec)
{
    if (phaseRec)
        *phaseRec = -1;
    static const QRegularExpression re(QStringLiteral("^INT_([AB])SPLIT([1-8])$"));
    const auto match = re.match(splitColumn);
    if (!match.hasMatch())
        return {0, 0};
    const int ring = match.captured(1) == QLatin1String("A") ? 1 : 2;
    const int phase = match.captured(2).toInt();
    for (int rec = 0; rec < phases.RecordCount(); ++rec) {
        if (phases.Value(rec, QStringLiteral("INT_PHASENO")).toInt() != phase
            || phases.Value(rec, QStringLiteral("INT_RING")).toInt() != ring)
            continue;
        if (phaseRec)
            *phaseRec = rec;
        const int yellow = IntOf(phases.Value(rec, QStringLiteral("INT_YELLOW")));
        return {IntOf(phases.Value(rec, QStringLiteral("INT_MINSPLIT"))) + yellow,
                IntOf(phases.Value(rec, QStringLiteral("INT_MAXSPLIT"))) + yellow};
    }
    return {0, 0};
}

QString SplitColumnOfPhaseRow(const TGridModel &phases, int rec)
{
    if (rec < 0 || rec >= phases.RecordCount())
        return {};
    bool okPhase = false;
    bool okRing = false;
    const int phase = phases.Value(rec, QStringLiteral("INT_PHASENO")).toInt(&okPhase);
    const int ring = phases.Value(rec, QStringLiteral("INT_RING")).toInt(&okRing);
    if (!okPhase || !okRing || phase < 1 || phase > 8 || ring < 1 || ring > 2)
        return {};
    return QStringLiteral("INT_%1SPLIT%2").arg(ring == 1 ? QLatin1Char('A') : QLatin1Char('B')).arg(phase);
}

QColor PhaseCellBackground(const TGridModel &phases, int rec, int col, int focusedRec, int focusedCol,
                           bool isVirtual)
{
    const auto styleColour = [](const char *name) {
        const TGridStyle *style = GridResources::Style(QString::fromLatin1(name));
        return style ? style->Background : QColor();
    };
    if (col < 0 || col >= phases.columnCount())
        return {};
    if (rec == focusedRec && col == focusedCol)
        return isVirtual ? styleColour("stlSelection") : QColor(Qt::white);
    const QString name = phases.Column(col).Name;
    if (isVirtual) {
        if (name == QLatin1String("INT_FLOWNUMBER") || name == QLatin1String("LINK_ID"))
            return {};
        return PhaseCellEditable(phases, rec, col, false) ? styleColour("stlReadOnly") : QColor();
    }
    if (col == focusedCol)
        return styleColour("stlSelection");
    if (name == QLatin1String("INT_PHASENO") || name == QLatin1String("INT_RING")
        || name == QLatin1String("INT_FLOWNUMBER") || name == QLatin1String("Mvmt"))
        return styleColour("stlReadOnly");
    return {};
}

void SplitCellEdited(TGridModel *model, int rec, int col)
{
    const int stateCol = model->StateIdx();
    const int keyCol = model->KeyValueIdx();
    model->SetState(rec, GetStateVal(model, rec, stateCol, keyCol));
    const QString name = model->Column(col).Name;
    if (IsCycleColumn(name)) {
        if (CopiesCycleDown(rec)) {
            for (int below = rec + 1; below <= rec + 2 && below < model->RecordCount(); ++below) {
                model->SetValue(below, col, model->Value(rec, col));
                model->SetState(below, GetStateVal(model, below, stateCol, keyCol));
            }
        }
        // A cycle length above 0 puts the cycle index in use (copied down the same way).
        if (name == QLatin1String("SA_CYCLELENGTH") && IntOf(model->Value(rec, col)) > 0) {
            const int active = model->ColumnIndex(QStringLiteral("SA_ACTIVE"));
            if (model->Value(rec, active).toInt() != 1 || model->Value(rec, active).isNull()) {
                model->SetValue(rec, active, 1);
                SplitCellEdited(model, rec, active);
            }
        }
    } else if (name.startsWith(QLatin1String("INT_ASPLIT"))) {
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("SumA")), SumSplits(*model, rec, 1));
    } else if (name.startsWith(QLatin1String("INT_BSPLIT"))) {
        model->SetValue(rec, model->ColumnIndex(QStringLiteral("SumB")), SumSplits(*model, rec, 2));
    }
}

TEditResult EditSplitCell(TGridModel *model, int rec, int col, const QVariant &value, bool isVirtual)
{
    TEditResult r;
    if (col < 0 || !SplitCellEditable(rec, model->Column(col).Name, isVirtual)) {
        r.Ok = false;
        r.Message = Tx(QStringLiteral("strVirtualReadOnly"));
        return r;
    }
    if (!InRange(*model, col, value, &r.Message)) {
        r.Ok = false;
        return r;
    }
    QVariant v = value;
    if (model->Column(col).Spin)
        v = v.isNull() || v.toString().isEmpty() ? QVariant() : QVariant(v.toInt());
    model->SetValue(rec, col, v);
    SplitCellEdited(model, rec, col);
    return r;
}

QString SplitRowText(const TGridModel &model, int rec)
{
    QList<int> cols;
    for (const QString &n : SplitVisibleColumns())
        cols << model.ColumnIndex(n);
    return GridRowToClipboardText(model, rec, cols);
}

TSplitPasteMode PasteModeForColumn(const QString &column)
{
    return column == QLatin1String("SA_APLANINDEX") || IsCycleColumn(column) ? spmCycle : spmSplits;
}

TEditResult PasteSplitRow(TGridModel *model, int rec, const QString &text, TSplitPasteMode mode, bool isVirtual,
                          bool *applied)
{
    TEditResult r;
    if (applied)
        *applied = false;
    const QStringList fields = ClipboardRowFields(text);
    const QStringList names = SplitVisibleColumns();
    if (isVirtual || rec < 0 || rec >= model->RecordCount() || fields.size() != names.size())
        return r;
    QVariantMap values;
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names[i];
        if (name == QLatin1String("SA_APLANINDEX") || name == QLatin1String("INT_TPLANINDEX")
            || name == QLatin1String("CaptionARing") || name == QLatin1String("CaptionBRing"))
            continue;
        const bool cycle = IsCycleColumn(name);
        if ((mode == spmSplits && cycle) || (mode == spmCycle && !cycle))
            continue;
        if (cycle && !IsCycleRecord(rec))
            continue;
        const int col = model->ColumnIndex(name);
        QVariant v;
        if (IsCheckColumn(*model, col))
            v = CheckFieldValue(fields[i]);
        else {
            v = SpinFieldValue(fields[i]);
            if (!InRange(*model, col, v, &r.Message)) {
                r.Ok = false;
                return r;
            }
        }
        values.insert(name, v);
    }
    if (values.isEmpty())
        return r; // nothing of the row goes to this record in this mode
    model->BeginUpdate();
    bool copiedDown = false;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const int col = model->ColumnIndex(it.key());
        model->SetValue(rec, col, it.value());
        if (IsCycleColumn(it.key()) && CopiesCycleDown(rec)) {
            model->SetValue(rec + 1, col, it.value());
            model->SetValue(rec + 2, col, it.value());
            copiedDown = true;
        }
    }
    const int stateCol = model->StateIdx();
    const int keyCol = model->KeyValueIdx();
    model->SetState(rec, GetStateVal(model, rec, stateCol, keyCol));
    if (copiedDown) {
        model->SetState(rec + 1, GetStateVal(model, rec + 1, stateCol, keyCol));
        model->SetState(rec + 2, GetStateVal(model, rec + 2, stateCol, keyCol));
    }
    model->EndUpdate();
    if (applied)
        *applied = true;
    return r;
}

int ValidateSplits(TGridModel *model, QString *mark)
{
    const int markCol = model->ColumnIndex(QStringLiteral("Validate"));
    for (int rec = 0; rec < model->RecordCount(); ++rec)
        model->SetValue(rec, markCol, QVariant());
    for (int rec = 0; rec < model->RecordCount(); ++rec) {
        const int c = IntOf(model->Value(rec, QStringLiteral("SA_CYCLELENGTH")));
        const int a = IntOf(model->Value(rec, QStringLiteral("SumA")));
        const int b = IntOf(model->Value(rec, QStringLiteral("SumB")));
        if (a != c || b != c) {
            const QString m = a != c ? QStringLiteral("1") : QStringLiteral("2");
            model->SetValue(rec, markCol, m);
            if (mark)
                *mark = m;
            return rec;
        }
    }
    return -1;
}

TGridCheckResult CheckSplitRows(const TGridModel &model)
{
    return CheckGridRows(model, {},
                         {model.ColumnIndex(QStringLiteral("SA_CYCLELENGTH")),
                          model.ColumnIndex(QStringLiteral("INT_TPLANINDEX"))},
                         model.StateIdx(), false);
}

void SaveTimePlanRow(QSqlDatabase db, TDBType type, TRowState state, const QString &keyValue, int lcNo, int plan,
                     int splitIndex, const QVariantMap &values)
{
    if (state == TRowState::Unchanged)
        return;
    if (state == TRowState::Deleted) {
        if (keyValue.isEmpty())
            return; // never stored
        const QStringList key = keyValue.split(QLatin1Char(','));
        Exec(db,
             QStringLiteral("DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO = :KEY_INT_LCNO AND INT_TPLAN = :KEY_INT_TPLAN "
                            "AND INT_TPLANINDEX = :KEY_INT_TPLANINDEX"),
             {{QStringLiteral("KEY_INT_LCNO"), key.value(0)},
              {QStringLiteral("KEY_INT_TPLAN"), key.value(1)},
              {QStringLiteral("KEY_INT_TPLANINDEX"), key.value(2)}});
        return;
    }
    const QStringList valueCols = SplitColumnsOfRing(QLatin1Char('A')) + SplitColumnsOfRing(QLatin1Char('B'))
                                + QStringList{QStringLiteral("INT_OFFSET")};
    QVariantMap p{{QStringLiteral("INT_LCNO"), lcNo},
                  {QStringLiteral("INT_TPLAN"), plan},
                  {QStringLiteral("INT_TPLANINDEX"), splitIndex}};
    for (const QString &c : valueCols)
        p.insert(c, IntOf(values.value(c)));
    Exec(db,
         UpsertSql(type, QStringLiteral("SCS_M_INTTPLAN"),
                   {QStringLiteral("INT_LCNO"), QStringLiteral("INT_TPLAN"), QStringLiteral("INT_TPLANINDEX")}, valueCols,
                   QStringLiteral("T")),
         p);
}

void SaveCyclePlanRow(QSqlDatabase db, TDBType type, TRowState state, int saNo, int plan, int cycleIndex,
                      int cycleLength, int active, int ioRatio)
{
    if (state == TRowState::Unchanged)
        return;
    if (state == TRowState::Deleted) {
        Exec(db,
             QStringLiteral("DELETE FROM SCS_M_SAAPLAN WHERE SA_NO = :KEY_SA_NO AND SA_APLAN = :KEY_SA_APLAN AND "
                            "SA_APLANINDEX = :KEY_SA_APLANINDEX"),
             {{QStringLiteral("KEY_SA_NO"), saNo},
              {QStringLiteral("KEY_SA_APLAN"), plan},
              {QStringLiteral("KEY_SA_APLANINDEX"), cycleIndex}});
        return;
    }
    Exec(db,
         UpsertSql(type, QStringLiteral("SCS_M_SAAPLAN"),
                   {QStringLiteral("SA_NO"), QStringLiteral("SA_APLAN"), QStringLiteral("SA_APLANINDEX")},
                   {QStringLiteral("SA_CYCLELENGTH"), QStringLiteral("SA_IORATIO"), QStringLiteral("SA_ACTIVE")},
                   QStringLiteral("A")),
         {{QStringLiteral("SA_NO"), saNo},
          {QStringLiteral("SA_APLAN"), plan},
          {QStringLiteral("SA_APLANINDEX"), cycleIndex},
          {QStringLiteral("SA_CYCLELENGTH"), cycleLength},
          {QStringLiteral("SA_IORATIO"), ioRatio},
          {QStringLiteral("SA_ACTIVE"), active}});
}

namespace {

// Runs `body` in a transaction (started unless one is open); rolled back on any failure.
TSplitSaveResult InTransaction(QSqlDatabase db, const std::function<void(TSplitSaveResult &)> &body)
{
    TSplitSaveResult result;
    const bool own = !ConInTransaction(db);
    if (own && !ConStartTransaction(db)) {
        result.Ok = false;
        result.Error = db.lastError().text();
        return result;
    }
    try {
        body(result);
        if (own && !ConCommit(db))
            throw EGridSaveError(db.lastError().text());
    } catch (const EGridSaveError &e) {
        result.Ok = false;
        result.Error = e.Message();
    } catch (const std::exception &e) {
        result.Ok = false;
        result.Error = QString::fromLocal8Bit(e.what());
    }
    if (!result.Ok && own)
        ConRollback(db);
    return result;
}

} // namespace

TSplitSaveResult SaveSplits(QSqlDatabase db, TDBType type, const TGridModel &model, int lcNo, int saNo, int plan,
                            bool keepDeletedCycles, const std::function<int()> &more)
{
    return InTransaction(db, [&](TSplitSaveResult &result) {
        for (int rec = 0; rec < model.RecordCount(); ++rec) {
            const TGridRow row = model.Row(rec);
            if (row.State == TRowState::Unchanged || (row.IsDeleted() && row.KeyValue.isEmpty()))
                continue;
            SaveTimePlanRow(db, type, row.State, row.KeyValue, lcNo, plan, IntOf(row[QStringLiteral("INT_TPLANINDEX")]),
                            row.Values);
            ++result.Count;
        }
        for (int rec : {0, 1, 4, 7, 10, 13}) {
            if (rec >= model.RecordCount())
                break;
            const TGridRow row = model.Row(rec);
            if (row.State == TRowState::Unchanged || (row.IsDeleted() && row.KeyValue.isEmpty()))
                continue;
            if (row.IsDeleted() && keepDeletedCycles)
                continue;
            SaveCyclePlanRow(db, type, row.State, saNo, plan, CycleIndexOfRecord(rec),
                             IntOf(row[QStringLiteral("SA_CYCLELENGTH")]), IntOf(row[QStringLiteral("SA_ACTIVE")]),
                             IntOf(row[QStringLiteral("SA_IORATIO")]));
            ++result.Count;
        }
        if (more)
            result.Count += more();
    });
}

QString CheckPlanNumbersSql(TDBType type)
{
    return QStringLiteral("SELECT C.PLAN_IDX, CASE WHEN A.APLAN_CNT > 0 AND T.TPLAN_CNT > 0 AND D.DPLAN_CNT > 0 THEN 1 "
                          "ELSE 0 END CHK")
         + RowGeneratorFromSql(type, 10, QStringLiteral("PLAN_IDX"), QStringLiteral("C"))
         + QStringLiteral(
               "LEFT JOIN (SELECT SA_APLAN, COUNT(SA_APLANINDEX) AS APLAN_CNT FROM SCS_M_SAAPLAN WHERE SA_NO = :SA_NO "
               "GROUP BY SA_APLAN) A ON A.SA_APLAN = C.PLAN_IDX "
               "LEFT JOIN (SELECT INT_TPLAN, COUNT(INT_TPLANINDEX) AS TPLAN_CNT FROM SCS_M_INTTPLAN WHERE INT_LCNO = "
               ":INT_LCNO GROUP BY INT_TPLAN) T ON T.INT_TPLAN = C.PLAN_IDX "
               "LEFT JOIN (SELECT SA_DPLAN, COUNT(SA_DPLANINDEX) AS DPLAN_CNT FROM SCS_M_SADPLAN WHERE SA_NO = :SA_NO2 "
               "GROUP BY SA_DPLAN) D ON D.SA_DPLAN = C.PLAN_IDX ORDER BY C.PLAN_IDX");
}

QVector<int> CheckPlanNumbers(QSqlDatabase db, TDBType type, int saNo, int lcNo, QString *error)
{
    QSqlQuery q(db);
    QVector<int> out;
    if (!OpenQuery(q, CheckPlanNumbersSql(type),
                   {{QStringLiteral("SA_NO"), saNo}, {QStringLiteral("SA_NO2"), saNo}, {QStringLiteral("INT_LCNO"), lcNo}},
                   error))
        return out;
    QVector<int> chk(10, -1);
    bool any = false;
    while (q.next()) {
        const int idx = q.value(0).toInt();
        if (idx >= 1 && idx <= 10) {
            chk[idx - 1] = q.value(1).toInt();
            any = true;
        }
    }
    return any ? chk : out;
}

TSplitSaveResult CopyPlan(QSqlDatabase db, int saNo, int tplanLcNo, int plan, const QList<int> &targets)
{
    return InTransaction(db, [&](TSplitSaveResult &result) {
        const QString splits = (SplitColumnsOfRing(QLatin1Char('A')) + SplitColumnsOfRing(QLatin1Char('B'))).join(QStringLiteral(", "));
        for (int n : targets) {
            if (n == plan)
                continue;
            Exec(db, QStringLiteral("DELETE FROM SCS_M_SAAPLAN WHERE SA_NO = :SA_NO AND SA_APLAN = :SA_APLAN"),
                 {{QStringLiteral("SA_NO"), saNo}, {QStringLiteral("SA_APLAN"), n}});
            Exec(db,
                 QStringLiteral("INSERT INTO SCS_M_SAAPLAN SELECT SA_NO, :DST_APLAN, SA_APLANINDEX, SA_CYCLELENGTH, "
                                "SA_IORATIO, SA_ACTIVE FROM SCS_M_SAAPLAN WHERE SA_NO = :SA_NO AND SA_APLAN = :SA_APLAN"),
                 {{QStringLiteral("DST_APLAN"), n}, {QStringLiteral("SA_NO"), saNo}, {QStringLiteral("SA_APLAN"), plan}});
            Exec(db, QStringLiteral("DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO = :INT_LCNO AND INT_TPLAN = :DST_TPLAN"),
                 {{QStringLiteral("INT_LCNO"), tplanLcNo}, {QStringLiteral("DST_TPLAN"), n}});
            Exec(db,
                 QStringLiteral("INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, %1, INT_OFFSET) SELECT "
                                "INT_LCNO, :DST_TPLAN, INT_TPLANINDEX, %1, INT_OFFSET FROM SCS_M_INTTPLAN WHERE INT_LCNO = "
                                ":INT_LCNO AND INT_TPLAN = :INT_TPLAN")
                     .arg(splits),
                 {{QStringLiteral("DST_TPLAN"), n}, {QStringLiteral("INT_LCNO"), tplanLcNo}, {QStringLiteral("INT_TPLAN"), plan}});
            ++result.Count;
        }
    });
}

int ClampPlanNumber(int value)
{
    if (value <= 0)
        return 1;
    return value > 10 ? 10 : value;
}

} // namespace TcdvTod
