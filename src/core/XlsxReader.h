#pragma once
// A small reader of XLSX workbooks (no windows): the sheet names and, per sheet,
// the text every cell shows - shared, inline and rich strings joined from their
// runs, cached results of formulas, booleans as TRUE/FALSE, numbers as the
// General format shows them (whole numbers without a fraction, others with up
// to 15 significant digits). Rows and columns keep their place: an empty cell
// between filled ones is an empty text, a missing row an empty row.
#include <QList>
#include <QString>
#include <QStringList>

class TXlsxReader
{
public:
    // Opens and reads the whole workbook; false with the reason in *error.
    bool Open(const QString &fileName, QString *error = nullptr);

    QStringList SheetNames() const { return FNames; }
    int SheetCount() const { return FSheets.size(); }
    // The rows of a sheet (0 = the first), from row 1; empty for an unknown index.
    QList<QStringList> Rows(int sheet) const { return FSheets.value(sheet); }
    // The text of one cell (row and column from 1), "" outside the used range.
    QString Cell(int sheet, int row, int column) const;

    // The text a number in a cell shows under the General format.
    static QString GeneralNumber(const QString &stored);
    // Column letters to their number ("A" 1, "Z" 26, "AA" 27); 0 when not letters.
    static int ColumnNumber(const QString &letters);

private:
    QStringList FNames;
    QList<QList<QStringList>> FSheets;
};
