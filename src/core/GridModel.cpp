#include "core/GridModel.h"

#include <QCollator>
#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- row states

QString RowState::AfterEdit(const QString &state)
{
    if (state.isEmpty() || state == Inserted)
        return Inserted;
    if (state == Unchanged || state == Modified)
        return Modified;
    return state; // "D" (or anything else) keeps its state
}

bool RowState::IsChanged(const QString &state)
{
    return !state.isEmpty() && state != Unchanged;
}

TRowState RowStateFromLetter(const QString &letter)
{
    if (letter == RowState::Inserted)
        return TRowState::Inserted;
    if (letter == RowState::Modified)
        return TRowState::Modified;
    if (letter == RowState::Deleted)
        return TRowState::Deleted;
    return TRowState::Unchanged;
}

QString RowStateLetter(TRowState state)
{
    switch (state) {
    case TRowState::Inserted:
        return RowState::Inserted;
    case TRowState::Modified:
        return RowState::Modified;
    case TRowState::Deleted:
        return RowState::Deleted;
    case TRowState::Unchanged:
        break;
    }
    return RowState::Unchanged;
}

// ---------------------------------------------------------------- formats

static bool IsNumeric(const QVariant &v, double *out)
{
    if (!v.isValid() || v.isNull())
        return false;
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
    case QMetaType::ULongLong: case QMetaType::Double: case QMetaType::Float:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long:
    case QMetaType::ULong: case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
        *out = v.toDouble();
        return true;
    case QMetaType::Bool:
        return false;
    default: {
        bool ok = false;
        const QString s = v.toString().trimmed();
        if (s.isEmpty())
            return false;
        const double d = s.toDouble(&ok);
        if (ok)
            *out = d;
        return ok;
    }
    }
}

static QString FormatSection(const QString &section, double value)
{
    int start = 0;
    while (start < section.size() && !QStringLiteral("0#,.").contains(section[start]))
        ++start;
    int end = start;
    while (end < section.size() && QStringLiteral("0#,.").contains(section[end]))
        ++end;
    const QString prefix = section.left(start);
    const QString pattern = section.mid(start, end - start);
    const QString suffix = section.mid(end);
    if (pattern.isEmpty())
        return section; // only literals
    const int dot = pattern.indexOf('.');
    const QString intPart = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPart = dot < 0 ? QString() : pattern.mid(dot + 1);
    const bool thousands = intPart.contains(',');
    const int minInt = int(intPart.count('0'));
    const int maxFrac = int(fracPart.count('0') + fracPart.count('#'));
    const int minFrac = int(fracPart.count('0'));

    QString digits = QString::number(std::fabs(value), 'f', maxFrac);
    QString ip = digits, fp;
    if (const int d = digits.indexOf('.'); d >= 0) {
        ip = digits.left(d);
        fp = digits.mid(d + 1);
    }
    while (fp.size() > minFrac && fp.endsWith('0'))
        fp.chop(1);
    if (ip == QLatin1String("0") && minInt == 0)
        ip.clear();
    while (ip.size() < minInt)
        ip.prepend('0');
    if (thousands && ip.size() > 3) {
        QString grouped;
        int n = 0;
        for (int i = ip.size() - 1; i >= 0; --i) {
            grouped.prepend(ip[i]);
            if (++n % 3 == 0 && i > 0)
                grouped.prepend(',');
        }
        ip = grouped;
    }
    QString number = ip;
    if (!fp.isEmpty())
        number += '.' + fp;
    if (number.isEmpty())
        return QString(); // "#." of 0 shows nothing at all
    return prefix + number + suffix;
}

QString FormatGridNumber(const QString &format, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QDateTime)
        return format.isEmpty() ? value.toString() : value.toDateTime().toString(format);
    if (value.typeId() == QMetaType::QDate)
        return format.isEmpty() ? value.toString() : value.toDate().toString(format);
    double d = 0;
    if (format.isEmpty() || !IsNumeric(value, &d))
        return value.toString();
    const QStringList sections = format.split(';');
    if (d < 0 && sections.size() > 1)
        return FormatSection(sections.at(1), -d);
    QString text = FormatSection(sections.at(0), d);
    if (d < 0 && !text.isEmpty())
        text.prepend('-');
    return text;
}

// ---------------------------------------------------------------- model

TGridModel::TGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void TGridModel::SetColumns(const TGridColumns &columns, bool rowState)
{
    beginResetModel();
    FColumns = columns;
    FRows.clear();
    FKeyValueIdx = -1;
    FStateIdx = -1;
    FPrimaryKeyIdx.clear();
    for (int i = 0; i < FColumns.size(); ++i) {
        if (FColumns[i].Name.compare(KeyValueName, Qt::CaseInsensitive) == 0)
            FKeyValueIdx = i;
        else if (FColumns[i].Name.compare(StateName, Qt::CaseInsensitive) == 0)
            FStateIdx = i;
    }
    if (rowState) {
        if (FKeyValueIdx < 0) {
            FColumns.append(TGridColumn(KeyValueName).Hidden());
            FKeyValueIdx = FColumns.size() - 1;
        }
        if (FStateIdx < 0) {
            FColumns.append(TGridColumn(StateName).Hidden());
            FStateIdx = FColumns.size() - 1;
        }
    }
    for (int i : {FKeyValueIdx, FStateIdx})
        if (i >= 0) {
            FColumns[i].Visible = false;
            FColumns[i].ReadOnly = true;
        }
    endResetModel();
    emit RecordsChanged();
}

QString TGridModel::ItemText(const TGridColumn &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    const QString s = value.toString();
    for (const TGridItem &i : column.Items)
        if (i.Value.toString() == s)
            return i.Text;
    return QString();
}

int TGridModel::ColumnIndex(const QString &name) const
{
    for (int i = 0; i < FColumns.size(); ++i)
        if (FColumns[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TGridModel::SetCaption(int col, const QString &caption)
{
    if (col < 0 || col >= FColumns.size())
        return;
    FColumns[col].Caption = caption;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void TGridModel::BeginUpdate()
{
    if (FUpdateLock++ == 0) {
        beginResetModel();
        FResetPending = true;
    }
}

void TGridModel::EndUpdate()
{
    if (FUpdateLock == 0)
        return;
    if (--FUpdateLock == 0 && FResetPending) {
        FResetPending = false;
        endResetModel();
        emit RecordsChanged();
    }
}

void TGridModel::Clear()
{
    if (FUpdateLock) {
        FRows.clear();
        return;
    }
    beginResetModel();
    FRows.clear();
    endResetModel();
    emit RecordsChanged();
}

void TGridModel::SetRecordCount(int count)
{
    count = qMax(0, count);
    if (count == FRows.size())
        return;
    if (FUpdateLock) {
        FRows.resize(count, QVector<QVariant>(FColumns.size()));
        return;
    }
    if (count > FRows.size()) {
        beginInsertRows(QModelIndex(), FRows.size(), count - 1);
        FRows.resize(count, QVector<QVariant>(FColumns.size()));
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), count, FRows.size() - 1);
        FRows.resize(count);
        endRemoveRows();
    }
    emit RecordsChanged();
}

int TGridModel::AppendRecord()
{
    const int rec = FRows.size();
    if (FUpdateLock) {
        FRows.append(QVector<QVariant>(FColumns.size()));
        return rec;
    }
    beginInsertRows(QModelIndex(), rec, rec);
    FRows.append(QVector<QVariant>(FColumns.size()));
    endInsertRows();
    emit RecordsChanged();
    emit StateChanged(rec);
    return rec;
}

int TGridModel::AddLoaded(const QVariantList &values, const QVariant &keyValue)
{
    QVector<QVariant> row(FColumns.size());
    for (int i = 0; i < values.size() && i < row.size(); ++i)
        row[i] = values.at(i);
    if (FKeyValueIdx >= 0)
        row[FKeyValueIdx] = keyValue;
    if (FStateIdx >= 0)
        row[FStateIdx] = RowState::Unchanged;
    const int rec = FRows.size();
    if (FUpdateLock) {
        FRows.append(row);
        return rec;
    }
    beginInsertRows(QModelIndex(), rec, rec);
    FRows.append(row);
    endInsertRows();
    emit RecordsChanged();
    return rec;
}

int TGridModel::AddLoadedNamed(const QVariantMap &values, const QVariant &keyValue)
{
    QVariantList list;
    list.reserve(FColumns.size());
    for (int i = 0; i < FColumns.size(); ++i) {
        QVariant v;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (it.key().compare(FColumns[i].Name, Qt::CaseInsensitive) == 0) {
                v = it.value();
                break;
            }
        list.append(v);
    }
    return AddLoaded(list, keyValue);
}

int TGridModel::LoadQuery(QSqlQuery &query, const QString &keyField,
                          const std::function<QVariant(const QSqlQuery &)> &keyFunc)
{
    const QSqlRecord rec = query.record();
    QVector<int> map(FColumns.size(), -1);
    for (int c = 0; c < FColumns.size(); ++c) {
        if (c == FKeyValueIdx || c == FStateIdx)
            continue;
        map[c] = rec.indexOf(FColumns[c].Name);
    }
    const int keyPos = keyField.isEmpty() ? -1 : rec.indexOf(keyField);
    BeginUpdate();
    int n = 0;
    if (!query.isValid()) // not yet on a first row (QueryOpen leaves it on one)
        query.next();
    while (query.isValid()) {
        QVariantList values;
        values.reserve(FColumns.size());
        for (int c = 0; c < FColumns.size(); ++c)
            values.append(map[c] >= 0 ? query.value(map[c]) : QVariant());
        QVariant key = keyFunc ? keyFunc(query) : (keyPos >= 0 ? query.value(keyPos) : QVariant());
        if (key.isValid() && !key.isNull())
            key = key.toString();
        AddLoaded(values, key);
        ++n;
        if (!query.next())
            break;
    }
    EndUpdate();
    return n;
}

void TGridModel::RemoveRecord(int rec)
{
    if (rec < 0 || rec >= FRows.size())
        return;
    if (FUpdateLock) {
        FRows.removeAt(rec);
        return;
    }
    beginRemoveRows(QModelIndex(), rec, rec);
    FRows.removeAt(rec);
    endRemoveRows();
    emit RecordsChanged();
}

QVariant TGridModel::Value(int rec, int col) const
{
    if (rec < 0 || rec >= FRows.size() || col < 0 || col >= FColumns.size())
        return QVariant();
    return FRows[rec][col];
}

void TGridModel::EmitRowChanged(int rec)
{
    if (FUpdateLock)
        return;
    emit dataChanged(index(rec, 0), index(rec, FColumns.size() - 1));
    emit headerDataChanged(Qt::Vertical, rec, rec);
}

void TGridModel::SetValue(int rec, int col, const QVariant &value)
{
    if (rec < 0 || rec >= FRows.size() || col < 0 || col >= FColumns.size())
        return;
    FRows[rec][col] = value;
    if (!FUpdateLock) {
        emit dataChanged(index(rec, col), index(rec, col));
        if (col == FStateIdx) {
            emit headerDataChanged(Qt::Vertical, rec, rec);
            emit StateChanged(rec);
        }
    }
}

static bool SameValue(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull() || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool bn = !b.isValid() || b.isNull() || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (an || bn)
        return an == bn;
    if (a.typeId() == b.typeId())
        return a == b;
    return a.toString() == b.toString();
}

bool TGridModel::EditValue(int rec, int col, const QVariant &value)
{
    if (rec < 0 || rec >= FRows.size() || col < 0 || col >= FColumns.size())
        return false;
    if (SameValue(FRows[rec][col], value))
        return false;
    FRows[rec][col] = value;
    if (!FUpdateLock)
        emit dataChanged(index(rec, col), index(rec, col));
    if (EditHook)
        EditHook(rec, col);
    else
        EditStateChange(rec);
    return true;
}

QVariantList TGridModel::RecordValues(int rec) const
{
    QVariantList list;
    if (rec < 0 || rec >= FRows.size())
        return list;
    for (const QVariant &v : FRows[rec])
        list.append(v);
    return list;
}

QString TGridModel::State(int rec) const
{
    if (FStateIdx < 0)
        return QString();
    return Value(rec, FStateIdx).toString();
}

void TGridModel::SetState(int rec, const QString &state)
{
    if (FStateIdx < 0 || rec < 0 || rec >= FRows.size())
        return;
    FRows[rec][FStateIdx] = state.isEmpty() ? QVariant() : QVariant(state);
    if (!FUpdateLock) {
        EmitRowChanged(rec);
        emit StateChanged(rec);
    }
}

TGridRow TGridModel::Row(int rec) const
{
    TGridRow row;
    if (rec < 0 || rec >= RecordCount())
        return row;
    row.Record = rec;
    row.State = RowStateOf(rec);
    const QVariant key = KeyValue(rec);
    row.KeyValue = key.isNull() ? QString() : key.toString();
    for (int c = 0; c < FColumns.size(); ++c)
        row.Values.insert(FColumns.at(c).Name, Value(rec, c));
    return row;
}

void TGridModel::SetPrimaryKeys(const QStringList &names)
{
    FPrimaryKeyIdx.clear();
    for (const QString &n : names)
        if (const int c = ColumnIndex(n); c >= 0)
            FPrimaryKeyIdx.append(c);
}

QVariant TGridModel::KeyValue(int rec) const
{
    return FKeyValueIdx < 0 ? QVariant() : Value(rec, FKeyValueIdx);
}

void TGridModel::SetKeyValue(int rec, const QVariant &key)
{
    if (FKeyValueIdx >= 0)
        SetValue(rec, FKeyValueIdx, key);
}

void TGridModel::EditStateChange(int rec)
{
    if (FStateIdx < 0 || rec < 0 || rec >= FRows.size())
        return;
    const QString now = State(rec);
    const QString next = RowState::AfterEdit(now);
    if (next != now)
        SetState(rec, next);
}

bool TGridModel::DeleteRecord(int rec)
{
    if (rec < 0 || rec >= FRows.size())
        return false;
    if (KeyValue(rec).toString().isEmpty()) {
        RemoveRecord(rec);
        return true;
    }
    SetState(rec, RowState::Deleted);
    return false;
}

void TGridModel::MarkDeleted(int rec)
{
    SetState(rec, RowState::Deleted);
}

bool TGridModel::HasChanges() const
{
    if (FStateIdx < 0)
        return false;
    for (const auto &row : FRows)
        if (row[FStateIdx].toString() != RowState::Unchanged)
            return true;
    return false;
}

int TGridModel::ChangedCount() const
{
    int n = 0;
    for (int r = 0; r < FRows.size(); ++r)
        if (RowState::IsChanged(State(r)))
            ++n;
    return n;
}

int TGridModel::FindKeyValue(const QString &key) const
{
    if (FKeyValueIdx < 0)
        return -1;
    for (int r = 0; r < FRows.size(); ++r) {
        const QVariant &v = FRows[r][FKeyValueIdx];
        if (!v.isNull() && v.toString() == key)
            return r;
    }
    return -1;
}

int TGridModel::FindText(int col, const QString &text, int from, bool wrap) const
{
    if (col < 0 || col >= FColumns.size())
        return -1;
    const int n = FRows.size();
    for (int i = 0; i < n; ++i) {
        const int r = from + i;
        if (r >= n && !wrap)
            break;
        const int rr = r % n;
        if (FRows[rr][col].toString() == text)
            return rr;
    }
    return -1;
}

void TGridModel::AcceptChanges(int keyCol)
{
    BeginUpdate();
    for (int r = FRows.size() - 1; r >= 0; --r) {
        const QString s = State(r);
        if (s == RowState::Deleted) {
            FRows.removeAt(r);
        } else if (RowState::IsChanged(s)) {
            if (FStateIdx >= 0)
                FRows[r][FStateIdx] = RowState::Unchanged;
            if (keyCol >= 0 && FKeyValueIdx >= 0)
                FRows[r][FKeyValueIdx] = FRows[r][keyCol].toString();
        }
    }
    EndUpdate();
}

int TGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FRows.size();
}

int TGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FColumns.size();
}

QVariant TGridModel::data(const QModelIndex &idx, int role) const
{
    if (!idx.isValid() || idx.row() >= FRows.size() || idx.column() >= FColumns.size())
        return QVariant();
    const TGridColumn &c = FColumns[idx.column()];
    const QVariant &v = FRows[idx.row()][idx.column()];
    switch (role) {
    case Qt::DisplayRole:
        if (!c.Items.isEmpty())
            return ItemText(c, v);
        if (c.Password)
            return v.isNull() ? QString() : QString(v.toString().size(), QChar(0x25CF));
        if (!c.DisplayFormat.isEmpty())
            return FormatGridNumber(c.DisplayFormat, v);
        return v;
    case Qt::EditRole:
        return v;
    case Qt::TextAlignmentRole:
        return int(c.Align);
    default:
        return StyleHook ? StyleHook(idx.row(), idx.column(), role) : QVariant();
    }
}

bool TGridModel::setData(const QModelIndex &idx, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !idx.isValid())
        return false;
    if (!(flags(idx) & Qt::ItemIsEditable))
        return false;
    EditValue(idx.row(), idx.column(), value);
    return true;
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= FColumns.size())
            return QVariant();
        if (role == Qt::DisplayRole)
            return FColumns[section].Caption.isEmpty() && FColumns[section].CaptionKey.isEmpty()
                       ? FColumns[section].Name : FColumns[section].Caption;
        if (role == Qt::TextAlignmentRole)
            return int(FColumns[section].HeaderAlign | Qt::AlignVCenter);
        return QVariant();
    }
    // Row indicator: the state letter of every row that is not "N".
    if (role == Qt::DisplayRole) {
        if (IndicatorText)
            return IndicatorText(section);
        const QString s = State(section);
        return s == RowState::Unchanged ? QString() : s;
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QVariant();
}

Qt::ItemFlags TGridModel::flags(const QModelIndex &idx) const
{
    if (!idx.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (FReadOnly || idx.column() >= FColumns.size() || FColumns[idx.column()].ReadOnly)
        return f;
    if (CanEdit && !CanEdit(idx.row(), idx.column()))
        return f;
    return f | Qt::ItemIsEditable;
}

// ---------------------------------------------------------------- proxy

TGridProxyModel::TGridProxyModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(Qt::EditRole);
    setDynamicSortFilter(true);
}

void TGridProxyModel::SetSearchFilter(const QString &text, const QList<int> &columns)
{
    FSearchText = text;
    FSearchColumns = columns;
    invalidateFilter();
}

void TGridProxyModel::SetColumnFilter(int col, const QString &text)
{
    if (text.isEmpty())
        FColumnFilters.remove(col);
    else
        FColumnFilters.insert(col, text);
    invalidateFilter();
}

void TGridProxyModel::ClearFilters()
{
    FSearchText.clear();
    FSearchColumns.clear();
    FColumnFilters.clear();
    FRowFilter = nullptr;
    invalidateFilter();
}

void TGridProxyModel::SetRowFilter(std::function<bool(int)> filter)
{
    FRowFilter = std::move(filter);
    invalidateFilter();
}

int TGridProxyModel::SourceRow(int proxyRow) const
{
    return mapToSource(index(proxyRow, 0)).row();
}

int TGridProxyModel::ProxyRow(int sourceRow) const
{
    if (!sourceModel())
        return -1;
    return mapFromSource(sourceModel()->index(sourceRow, 0)).row();
}

QList<int> TGridProxyModel::AllSourceRowsSorted() const
{
    QList<int> rows;
    QAbstractItemModel *m = sourceModel();
    if (!m)
        return rows;
    const int n = m->rowCount();
    rows.reserve(n);
    for (int r = 0; r < n; ++r)
        rows.append(r);
    const int col = sortColumn();
    if (col < 0 || col >= m->columnCount())
        return rows;
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const QModelIndex ia = m->index(a, col), ib = m->index(b, col);
        return ascending ? lessThan(ia, ib) : lessThan(ib, ia);
    });
    return rows;
}

bool TGridProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    QAbstractItemModel *m = sourceModel();
    if (!m)
        return true;
    for (auto it = FColumnFilters.cbegin(); it != FColumnFilters.cend(); ++it)
        if (m->index(sourceRow, it.key(), sourceParent).data(Qt::DisplayRole).toString() != it.value())
            return false;
    if (FRowFilter && !FRowFilter(sourceRow))
        return false;
    if (FSearchText.isEmpty())
        return true;
    QList<int> cols = FSearchColumns;
    if (cols.isEmpty())
        for (int c = 0; c < m->columnCount(sourceParent); ++c)
            cols.append(c);
    for (int c : cols) {
        const QString s = m->index(sourceRow, c, sourceParent).data(Qt::DisplayRole).toString();
        if (s.contains(FSearchText, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

int CompareGridValues(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull() || a.toString().isEmpty();
    const bool bn = !b.isValid() || b.isNull() || b.toString().isEmpty();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    double da = 0, db = 0;
    if (IsNumeric(a, &da) && IsNumeric(b, &db))
        return da < db ? -1 : (da > db ? 1 : 0);
    const int ta = a.typeId(), tb = b.typeId();
    if ((ta == QMetaType::QDateTime || ta == QMetaType::QDate)
        && (tb == QMetaType::QDateTime || tb == QMetaType::QDate)) {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    static thread_local QCollator collator;
    return collator.compare(a.toString(), b.toString());
}

bool TGridProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int c = CompareGridValues(left.data(sortRole()), right.data(sortRole()));
    if (c != 0)
        return c < 0;
    return left.row() < right.row(); // stable: record order among equals
}
