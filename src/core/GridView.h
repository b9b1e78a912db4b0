#pragma once
// The grid kit's view side: a table view over a TGridModel through a
// TGridProxyModel (display order), with
//   - a row indicator (vertical header) showing the state letter of each row
//     that is not "N";
//   - a column header that marks required columns (Tag 1) with a small green
//     triangle in the top-left corner and can draw bands above the columns;
//   - cell editors looked up by the shared editor (repository item) names;
//   - record/display index helpers, so callers always speak record indexes.
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

#include "core/GridModel.h"

class TsiLangLinked;

// One band of a banded header: a caption over adjacent columns.
struct TGridBand
{
    QString Caption;
    QList<int> Columns; // model column indexes
    int Tag = 0;
    // When set, the caption's last line is drawn as these parts side by side
    // (equal widths); the lines above it span the whole band.
    QStringList Parts;
};

class TGridHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit TGridHeaderView(QWidget *parent = nullptr);
    void SetBands(const QList<TGridBand> &bands);
    const QList<TGridBand> &Bands() const { return FBands; }
    bool HasBands() const { return !FBands.isEmpty(); }
    int BandOf(int column) const; // -1 when the column is in no band
    // The band row's height (0 without bands).
    int BandHeight() const;

    // Colour of the required-column mark (red 34, green 177, blue 76).
    static QColor RequiredMarkColour() { return QColor(34, 177, 76); }
    // Draws the required mark into a header section rectangle (DrawKeyColumnHeader).
    static void DrawRequiredMark(QPainter *painter, const QRect &section);

    QSize sizeHint() const override;
    // Replaces the painting of the marks over a section (default: the required mark).
    std::function<void(QPainter *, const QRect &, int logicalIndex)> CustomDraw;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent *e) override;

private:
    QList<TGridBand> FBands;
};

// Default cell editor of plain columns: a line edit, centred like the column,
// with the password echo mode and a length limit where the column asks for them.
class TGridTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};

// Value-list columns: a combo box of the column's items (mouse wheel ignored).
class TGridComboDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};

// Number columns with a range: a spin box without buttons (mouse wheel ignored,
// Ctrl+Up/Down step); an empty text stores NULL.
class TGridSpinDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};

// Swallows mouse-wheel events of an editor.
class TNoWheelFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *obj, QEvent *e) override;
};

class TGridView : public QTableView
{
    Q_OBJECT
public:
    explicit TGridView(QWidget *parent = nullptr);

    // Shows `model` (not owned: give it a parent or keep it alive longer than the
    // view). Builds the columns (ApplyColumns).
    void SetGridModel(TGridModel *model);
    TGridModel *GridModel() const { return FModel; }
    TGridProxyModel *Proxy() const { return FProxy; }
    TGridHeaderView *Header() const { return FHeader; }

    // Applies the model's column descriptions: visibility, widths, alignment,
    // editors by name, bands. Call again after changing the columns.
    void ApplyColumns();
    // Translates the captions of the columns that have a caption key, through
    // the window's text table.
    void Retranslate(const TsiLangLinked *texts);
    void Retranslate(const QString &table);

    // The editor (delegate) factory by shared editor name. The default asks the
    // shared grid resources; tests or windows may replace it.
    using TDelegateFactory = std::function<QAbstractItemDelegate *(const QString &name, QObject *parent)>;
    static void SetDelegateFactory(TDelegateFactory factory);
    // The delegate that shows column `col` (never null).
    QAbstractItemDelegate *ColumnDelegate(int col) const;
    // The text a cell shows (through its delegate's display text).
    QString DisplayText(int rec, int col) const;

    // --- record and display positions ---
    int FocusedRecord() const;                 // record index of the current row, -1 when none
    int FocusedColumn() const;                 // model column of the current cell, -1 when none
    void FocusRecord(int rec, int col = -1);   // focuses and scrolls into view
    void FocusDisplayRow(int row, int col = -1);
    int DisplayCount() const;                  // rows shown (after filtering)
    int RecordAtDisplay(int row) const;
    int DisplayOfRecord(int rec) const;
    QList<int> DisplayedRecords() const;       // record indexes in display order
    // Opens the editor of the focused cell (after a failed validation).
    void OpenFocusedEditor();
    // Finishes a pending cell edit (posts it into the model).
    void PostEdit();

    // Columns fitted to the view's width (proportionally to their widths).
    void SetFitColumns(bool fit);
    bool FitColumns() const { return FFitColumns; }
    void SetIndicatorVisible(bool visible);
    // Whole-row selection, no editing (pickers and lookups).
    void SetBrowseMode(bool browse);
    // Sum of the declared widths of the visible columns.
    int DeclaredWidth() const;
    // Enter moves to the next cell instead of being reported (editor grids).
    void SetEnterMovesToNextCell(bool on) { FEnterMoves = on; }

signals:
    void RecordDoubleClicked(int rec);
    // Enter in the grid while no cell is being edited (pickers choose the row).
    void EnterPressed();
    void FocusedRecordChanged(int rec);
    // SetGridModel gave the view another model (controllers follow it).
    void GridModelChanged(TGridModel *model);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void FitToWidth();
    TGridModel *FModel = nullptr;
    TGridProxyModel *FProxy = nullptr;
    TGridHeaderView *FHeader = nullptr;
    TGridTextDelegate *FTextDelegate = nullptr;
    TGridComboDelegate *FComboDelegate = nullptr;
    TGridSpinDelegate *FSpinDelegate = nullptr;
    QList<QPointer<QAbstractItemDelegate>> FOwnDelegates;
    bool FFitColumns = false;
    bool FEnterMoves = false;
    bool FFitting = false;
};
