#pragma once
// The grid kit's data side: a table model that keeps the rows in record order
// (the order in which they were loaded and appended) with the row-state
// protocol every editable grid of the console follows, and a sort/filter
// proxy that gives the display order.
//
// Row-state protocol:
//   - every editable grid has two hidden text columns besides its visible ones:
//     the key as loaded ("KeyValue") and the row state ("State");
//   - states: "N" unchanged, "I" inserted, "M" modified, "D" deleted; an empty
//     state is an appended row that has not been edited yet (counts as "N" when
//     saving);
//   - loading fills every row with "N" and its key as read;
//   - an operator edit posts the value, then: "" -> "I", "I" -> "I",
//     "N" -> "M", "M" -> "M", "D" stays "D";
//   - delete: a row with a key as loaded becomes "D" and stays, a row without
//     one is removed at once;
//   - save visits the rows in record order, not in display order.
#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class QSqlQuery;

// Row-state letters.
namespace RowState {
inline const QString Unchanged = QStringLiteral("N");
inline const QString Inserted = QStringLiteral("I");
inline const QString Modified = QStringLiteral("M");
inline const QString Deleted = QStringLiteral("D");
// The state after an operator edit of a row in `state`.
QString AfterEdit(const QString &state);
// Whether a save passes the row on (anything but "N" and empty).
bool IsChanged(const QString &state);
} // namespace RowState

// The state of a row as the code sees it; the letters above are only what the
// grid shows and what the statements of some tables store.
enum class TRowState { Unchanged, Inserted, Modified, Deleted };
// "I" -> Inserted, "M" -> Modified, "D" -> Deleted, anything else (also "") -> Unchanged.
TRowState RowStateFromLetter(const QString &letter);
QString RowStateLetter(TRowState state);

// One row as a save procedure receives it: its values by column name, its state
// and its key as loaded (the value that updates and deletes find the stored row by).
struct TGridRow
{
    int Record = -1;                        // record index in the grid
    TRowState State = TRowState::Unchanged;
    QString KeyValue;                       // key as loaded as text, "" when none
    QVariantMap Values;                     // column name -> value

    QVariant operator[](const QString &column) const { return Values.value(column); }
    QVariant Value(const QString &column) const { return Values.value(column); }
    QString Text(const QString &column) const { return Values.value(column).toString(); }
    // A composite key as loaded ("12,3,7") split into its parts.
    QStringList KeyParts(QChar separator = QLatin1Char(',')) const { return KeyValue.split(separator); }
    bool IsInserted() const { return State == TRowState::Inserted; }
    bool IsModified() const { return State == TRowState::Modified; }
    bool IsDeleted() const { return State == TRowState::Deleted; }
};

// One entry of a column's value list (an image combo's item): value -> text.
struct TGridItem
{
    QVariant Value;
    QString Text;
};

// One column of a grid, as an editor describes it. Plain fields with chained
// setters, so a column reads as one line:
//     TGridColumn("USER_ID").Cap("gtvGridUSER_ID.Caption").W(100).Req()
struct TGridColumn
{
    QString Name;            // field name (also the column's component name)
    QString Caption;         // header text; when CaptionKey is set it is the fallback
    QString CaptionKey;      // key of the caption in the window's text table (optional)
    int Width = 80;          // pixels
    QString Editor;          // name of a shared grid editor (repository item); empty = text
    bool Visible = true;
    bool ReadOnly = false;
    int Tag = 0;             // 1 = required (marked header, validated)
    Qt::Alignment Align = Qt::AlignCenter;
    Qt::Alignment HeaderAlign = Qt::AlignCenter;
    QString DisplayFormat;   // number format of the display ("0. 월", "#.", ",0.;-,0.")
    QString Band;            // band caption of a banded header (columns of one band are adjacent)
    bool Password = false;   // shown as bullets
    int MaxLength = 0;       // text editors: at most this many characters (0 = no limit)
    QList<TGridItem> Items;  // value list: shown as texts, edited with a combo box
    bool Spin = false;       // number editor without buttons (SpinMin..SpinMax)
    double SpinMin = 0, SpinMax = 0;

    TGridColumn() = default;
    explicit TGridColumn(const QString &name, const QString &caption = QString())
        : Name(name), Caption(caption) {}

    TGridColumn &Cap(const QString &text) { Caption = text; return *this; }
    TGridColumn &Key(const QString &captionKey) { CaptionKey = captionKey; return *this; }
    TGridColumn &W(int width) { Width = width; return *this; }
    TGridColumn &Ed(const QString &editor) { Editor = editor; return *this; }
    TGridColumn &Hidden() { Visible = false; return *this; }
    TGridColumn &RO(bool readOnly = true) { ReadOnly = readOnly; return *this; }
    TGridColumn &Req() { Tag = 1; return *this; }
    TGridColumn &Left() { Align = Qt::AlignLeft | Qt::AlignVCenter; return *this; }
    TGridColumn &Right() { Align = Qt::AlignRight | Qt::AlignVCenter; return *this; }
    TGridColumn &Fmt(const QString &format) { DisplayFormat = format; return *this; }
    TGridColumn &InBand(const QString &band) { Band = band; return *this; }
    TGridColumn &Pwd(int maxLength = 0) { Password = true; MaxLength = maxLength; return *this; }
    TGridColumn &Max(int maxLength) { MaxLength = maxLength; return *this; }
    TGridColumn &Choices(const QList<TGridItem> &items) { Items = items; return *this; }
    TGridColumn &Range(double min, double max) { Spin = true; SpinMin = min; SpinMax = max; return *this; }

    bool Required() const { return Tag == 1; }
};
using TGridColumns = QList<TGridColumn>;

// Delphi-style display formats of numbers used by the grids (dates and times
// take a Qt date format such as "yyyy-MM-dd HH:mm:ss" instead): "0." and "#."
// (integer, "#." shows 0 empty), an optional literal suffix after the format
// ("0. 월"), and ",0." with thousands separators; "pos;neg" sections.
// Null values display empty. Non-numbers are returned as text.
QString FormatGridNumber(const QString &format, const QVariant &value);

class TGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static inline const QString KeyValueName = QStringLiteral("KeyValue");
    static inline const QString StateName = QStringLiteral("State");

    explicit TGridModel(QObject *parent = nullptr);

    // Sets the columns and empties the model. With rowState, a hidden
    // "KeyValue" and "State" column are appended unless the list already has
    // columns of those names. Indexes of both are KeyValueIdx()/StateIdx() (-1
    // when absent).
    void SetColumns(const TGridColumns &columns, bool rowState = true);
    const TGridColumns &Columns() const { return FColumns; }
    const TGridColumn &Column(int col) const { return FColumns.at(col); }
    // The text of a value in a column's value list ("" when not listed).
    static QString ItemText(const TGridColumn &column, const QVariant &value);
    TGridColumn &ColumnRef(int col) { return FColumns[col]; }
    int ColumnIndex(const QString &name) const;      // -1 when unknown
    int ColumnCount() const { return FColumns.size(); }
    int KeyValueIdx() const { return FKeyValueIdx; }
    int StateIdx() const { return FStateIdx; }
    void SetKeyValueIdx(int col) { FKeyValueIdx = col; }
    void SetStateIdx(int col) { FStateIdx = col; }
    // The columns whose values together identify a row (duplicate check).
    QList<int> PrimaryKeyIdx() const { return FPrimaryKeyIdx; }
    void SetPrimaryKeyIdx(const QList<int> &cols) { FPrimaryKeyIdx = cols; }
    // The same by column names (unknown names are left out).
    void SetPrimaryKeys(const QStringList &names);
    // Header caption of a column (the text shown, after translation).
    void SetCaption(int col, const QString &caption);

    // ---- records (record order) ----
    int RecordCount() const { return FRows.size(); }
    void Clear();
    // Sets the number of records (new ones empty, no state); shortening drops the tail.
    void SetRecordCount(int count);
    // Appends an empty record with empty state; returns its record index.
    int AppendRecord();
    // Appends a record as loaded: `values` by column index (shorter lists leave
    // the rest empty), state "N", key as loaded = keyValue.
    int AddLoaded(const QVariantList &values, const QVariant &keyValue);
    // Appends a record from named values (column name -> value), state "N".
    int AddLoadedNamed(const QVariantMap &values, const QVariant &keyValue);
    // Loads every row of an executed query: fields are matched to columns by
    // name (case-insensitive); state "N"; the key as loaded is the value of
    // `keyField` (or, when keyFunc is given, what it returns for the record).
    // Returns the number of rows read.
    int LoadQuery(QSqlQuery &query, const QString &keyField,
                  const std::function<QVariant(const QSqlQuery &)> &keyFunc = {});
    void RemoveRecord(int rec);

    QVariant Value(int rec, int col) const;
    QVariant Value(int rec, const QString &name) const { return Value(rec, ColumnIndex(name)); }
    QString Text(int rec, int col) const { return Value(rec, col).toString(); }
    // Stores a value without touching the row state (loading, code).
    void SetValue(int rec, int col, const QVariant &value);
    // Stores a value as an operator edit would: posts it and moves the row state
    // (through the edit hook when one is set). Nothing happens when the value
    // does not change. Returns whether it changed.
    bool EditValue(int rec, int col, const QVariant &value);
    QVariantList RecordValues(int rec) const;

    QString State(int rec) const;                       // "" for no state
    TRowState RowStateOf(int rec) const { return RowStateFromLetter(State(rec)); }
    // The record as a save procedure gets it (every column by name).
    TGridRow Row(int rec) const;
    void SetState(int rec, const QString &state);
    QVariant KeyValue(int rec) const;
    void SetKeyValue(int rec, const QVariant &key);
    // Applies the state rule of an edit to a record (EditStateChange).
    void EditStateChange(int rec);
    // Delete rule: marks "D" when the record has a key as loaded, else removes it.
    // Returns true when the record was removed.
    bool DeleteRecord(int rec);
    // Marks the record "D" whatever its key (DelNoAddExecute).
    void MarkDeleted(int rec);

    // Whether any record's state is something other than "N" (an appended
    // record without state counts, as its indicator does).
    bool HasChanges() const;
    int ChangedCount() const;   // records a save would pass on
    // First record whose key as loaded equals `key` as text, -1 when none.
    int FindKeyValue(const QString &key) const;
    // First record whose value in `col` equals `text` as text, from `from` on.
    int FindText(int col, const QString &text, int from = 0, bool wrap = false) const;

    // After a save without reload: drops "D" records, marks the others "N" and
    // takes the key as loaded from `keyCol` (when >= 0).
    void AcceptChanges(int keyCol = -1);

    // Hooks. EditHook replaces the state rule after an operator edit (it gets
    // the record and column). CanEdit refuses editing of a cell.
    std::function<void(int rec, int col)> EditHook;
    std::function<bool(int rec, int col)> CanEdit;
    // Replaces the row indicator's text (default: the state letter unless "N").
    std::function<QString(int rec)> IndicatorText;
    // Styles of cells: answers roles other than display and edit (background,
    // foreground, font...) for a record and column; an invalid value keeps the default.
    std::function<QVariant(int rec, int col, int role)> StyleHook;

    // Qt model interface.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Read-only grids (pickers, lookups).
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
    bool ReadOnly() const { return FReadOnly; }

    // Groups several changes into one reset (BeginUpdate/EndUpdate of a grid).
    void BeginUpdate();
    void EndUpdate();

signals:
    // A record's state changed (indicator, action enabling).
    void StateChanged(int rec);
    // The set of records changed (load, append, remove).
    void RecordsChanged();

private:
    void EmitRowChanged(int rec);
    TGridColumns FColumns;
    QVector<QVector<QVariant>> FRows;
    int FKeyValueIdx = -1;
    int FStateIdx = -1;
    QList<int> FPrimaryKeyIdx;
    bool FReadOnly = false;
    int FUpdateLock = 0;
    bool FResetPending = false;
};

// Display order of a grid: sorting by the raw values (numbers as numbers,
// empty first) and filtering by plain text (a quote, bracket, % or _ is just
// a character).
class TGridProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit TGridProxyModel(QObject *parent = nullptr);
    // Accepts a row when any of `columns` (all columns when empty) contains
    // `text`, case-insensitively. An empty text accepts every row.
    void SetSearchFilter(const QString &text, const QList<int> &columns = {});
    QString SearchText() const { return FSearchText; }
    // Exact filter of one column by its text (empty text removes it), e.g. a ring filter.
    void SetColumnFilter(int col, const QString &text);
    void ClearFilters();
    // Any further condition on source rows.
    void SetRowFilter(std::function<bool(int sourceRow)> filter);

    int SourceRow(int proxyRow) const;
    int ProxyRow(int sourceRow) const;
    // Every source row, filters ignored, in the order the current sort puts them
    // (record order when unsorted): what an export of the whole grid writes.
    QList<int> AllSourceRowsSorted() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QString FSearchText;
    QList<int> FSearchColumns;
    QHash<int, QString> FColumnFilters;
    std::function<bool(int)> FRowFilter;
};

// Compares two cell values the way the grids sort them: empty first, numbers
// numerically, dates by time, texts locale-aware. <0, 0, >0.
int CompareGridValues(const QVariant &a, const QVariant &b);
