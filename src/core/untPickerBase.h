#pragma once
// Common frame of the modal pickers: search controls on top (pnlTopLayout), a
// read-only grid, and a bottom bar with select, export and close. Double click
// or Enter in the grid and the select action end the dialog with OK (1); close
// ends it with Cancel (2). Export writes the grid to an XLSX file (rows present).
//
// Openers create the picker, configure it, run exec() (or ShowModal()), read
// the chosen row on OK (Value("FIELD") or the picker's named accessors) and free it.
#include "core/GridControllerUnit.h"
#include "core/untBase.h"

class QHBoxLayout;
class QPushButton;

class TfrmPickerBase : public TfrmBase
{
    Q_OBJECT
public:
    explicit TfrmPickerBase(QWidget *owner = nullptr, const QString &table = QString());

    TGridView *Grid() const { return FGrid; }
    TGridModel *Model() const { return FModel; }
    // The focused record (-1 when none) and a field of it (empty when none).
    int SelectedRecord() const;
    QVariant Value(const QString &field) const;
    int RowCount() const { return FGrid->DisplayCount(); }

    QWidget *pnlTop = nullptr;
    QHBoxLayout *pnlTopLayout = nullptr;
    QWidget *pnlBottom = nullptr;
    QHBoxLayout *pnlBottomLayout = nullptr;
    QPushButton *btnSelect = nullptr, *btnExport = nullptr, *btnClose = nullptr;

public slots:
    virtual void actSelectExecute();
    void actCloseExecute() override;
    void actExportExecute();

protected:
    // Columns of the list (no row-state columns).
    void SetColumns(const TGridColumns &columns);
    void UpdatePickerActions();
    void Retranslate() override;
    TGridController *Exporter() const { return FExporter; }

private:
    TGridView *FGrid = nullptr;
    TGridModel *FModel = nullptr;
    TGridController *FExporter = nullptr;
};

// LIKE pattern of a typed text matched literally inside a value:
// "%" + text with %, _ and ! escaped by "!" + "%" (use with ESCAPE '!').
QString LikeContains(const QString &text);

class QLabel;
class QLineEdit;

// A picker over one query, filtered in the list by a search box: Enter filters
// (each of the filter columns containing the typed text, taken literally) and,
// once filtered, moves into the grid; the Down key moves into the grid; any
// other key marks the list as not filtered.
class TfrmFilterPicker : public TfrmPickerBase
{
    Q_OBJECT
public:
    explicit TfrmFilterPicker(QWidget *owner = nullptr, const QString &table = QString());

    QLabel *lblSearch = nullptr;
    QLineEdit *edtSearch = nullptr;
    bool Searched() const { return FSearched; }

public slots:
    // (Re)opens the query with an empty filter.
    void LoadList();
    // Filters by the search box's text.
    void ApplyFilter();

protected:
    virtual QString ListSql() const = 0;
    virtual QList<int> FilterColumns() const = 0;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    bool FSearched = false;
    bool FShown = false;
};

// Numeric order of a text identifier in the dialect of the database type.
QString NumericOrder(const QString &column);
