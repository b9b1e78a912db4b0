#pragma once
// Export of a grid to a native XLSX workbook: every row of the grid (a filter
// hides none of them, nor is the export limited to the selected ones), in the
// order of the grid's sort, with the texts their cells show; only visible columns, in their visual
// order; the column captions as the first row (a band row above them when the
// header has bands).
#include <QList>
#include <QString>
#include <QStringList>

class TGridView;

struct TXlsxTable
{
    QList<QPair<QString, int>> Bands; // band caption and number of columns it spans ("" = none)
    QStringList Header;
    QList<QStringList> Rows;
    QList<int> Widths;                // pixels, per column (optional)
};

// The table of texts a grid shows (what ExportGridToXlsx writes).
TXlsxTable GridToTable(const TGridView *view);

// Writes a table into a new workbook (one sheet). A text that reads exactly as a
// number's usual form ("12", "-3.5", not "0012" nor "1,000") is stored as a
// number so that the spreadsheet can compute with it; every other text as text.
// False with the reason in *error when the file cannot be written.
bool WriteXlsxTable(const QString &fileName, const TXlsxTable &table, QString *error = nullptr,
                    const QString &sheetName = QString());

// Writes several tables into one new workbook, one sheet each (sheet name, table), in
// this order; the first sheet is the active one.
bool WriteXlsxSheets(const QString &fileName, const QList<QPair<QString, TXlsxTable>> &sheets,
                     QString *error = nullptr);

bool ExportGridToXlsx(const TGridView *view, const QString &fileName, QString *error = nullptr);
