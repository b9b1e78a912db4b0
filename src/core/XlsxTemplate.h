#pragma once
// Filling a workbook template (.xlsx) without a spreadsheet program.
//
// The template is unpacked with QuaZip and its parts are changed with Qt's XML
// classes; everything the filler does not touch (merges, column widths, texts,
// styles, print settings) is written back as it came. Only the first sheet is
// filled. What it does:
//   - defined names: look up the range of a name (FindName);
//   - cells: write a text, a number or nothing, keeping the cell's format or
//     giving it another one (SetText / SetNumber / SetEmpty);
//   - formats: read a cell's format and clone it with another font colour or a
//     solid fill (CellFormat / AddFormat);
//   - the sheet's name: renamed together with the references of the defined
//     names (RenameSheet);
//   - PNG pictures placed on a two-cell anchor (AddPicture).
// New workbooks without a template are written with libxlsxwriter
// (foundation/XlsxWriterLib.h); reading workbooks is a separate module.
//
// Rows and columns are counted from 1, as a spreadsheet shows them.
#include <QByteArray>
#include <QColor>
#include <QDomDocument>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

struct TXlsxRange
{
    int Top = 0;
    int Left = 0;
    int Bottom = 0;
    int Right = 0;
    bool IsValid() const { return Top > 0 && Left > 0 && Bottom >= Top && Right >= Left; }
    bool operator==(const TXlsxRange &) const = default;
};

// A corner of a picture: the cell (1-based) and the offset into it as a fraction
// of the cell's width (ColFrac) and height (RowFrac), 0..1.
struct TXlsxAnchor
{
    int Row = 1;
    int Col = 1;
    double RowFrac = 0;
    double ColFrac = 0;
};

// What a cloned format changes; an invalid colour leaves that part as it is.
struct TXlsxFormatChange
{
    QColor FontColor;
    QColor FillColor; // a solid fill
};

// "A" for 1, "Z" for 26, "AA" for 27 ...; "E112" for (112, 5).
QString XlsxColumnName(int col);
QString XlsxCellName(int row, int col);
// (row, col) of "E112" or "$E$112"; false when the text is not a cell reference.
bool XlsxParseCell(const QString &ref, int *row, int *col);
// A sheet name a workbook accepts: []:*?/\ become "_", at most 31 characters,
// never empty ("Sheet1").
QString XlsxValidSheetName(const QString &name);

class TXlsxTemplate
{
public:
    TXlsxTemplate();
    ~TXlsxTemplate();
    TXlsxTemplate(const TXlsxTemplate &) = delete;
    TXlsxTemplate &operator=(const TXlsxTemplate &) = delete;

    // Reads the template; false with the reason in *error when it is not a
    // workbook this filler understands (nothing is kept then).
    bool Open(const QString &fileName, QString *error = nullptr);
    bool IsOpen() const { return m_open; }

    QString SheetName() const { return m_sheetName; }
    // Renames the first sheet (made valid, XlsxValidSheetName) and every defined
    // name's reference to it.
    void RenameSheet(const QString &name);

    QStringList Names() const;
    // The range of a defined name on the first sheet; false when there is none.
    bool FindName(const QString &name, TXlsxRange *range) const;

    // The format (style index) of a cell; 0 for a cell without one.
    int CellFormat(int row, int col) const;
    // A new format: a copy of baseFormat with the change; returns its index.
    int AddFormat(int baseFormat, const TXlsxFormatChange &change);

    // Cell values. format -1 keeps the cell's own format.
    void SetText(int row, int col, const QString &text, int format = -1);
    void SetNumber(int row, int col, double value, int format = -1);
    void SetEmpty(int row, int col, int format = -1);

    // Places a PNG picture from one corner to the other; false when the bytes
    // are not a PNG picture.
    bool AddPicture(const QByteArray &png, const QString &name, const TXlsxAnchor &from,
                    const TXlsxAnchor &to);

    // Writes the workbook; false with the reason when the file cannot be written.
    bool Save(const QString &fileName, QString *error = nullptr);

private:
    QDomElement CellElement(int row, int col, bool create);
    QDomElement RowElement(int row, bool create);
    void SetFormat(QDomElement &cell, int format);
    void ClearValue(QDomElement &cell);
    bool LoadDrawing(QString *error);
    qint64 ColumnOffsetEmu(int col, double frac) const;
    qint64 RowOffsetEmu(int row, double frac) const;
    QString NewRelId(const QDomDocument &rels) const;

    bool m_open = false;
    QStringList m_order;                 // part names in their order in the package
    QMap<QString, QByteArray> m_parts;   // untouched parts
    QMap<QString, QDomDocument *> m_docParts; // parts written back from their documents
    QDomDocument m_workbook, m_sheet, m_styles, m_types, m_sheetRels, m_drawing, m_drawingRels;
    QString m_sheetPath, m_sheetRelsPath, m_drawingPath, m_drawingRelsPath;
    QString m_sheetName;
    QHash<int, QDomElement> m_rows;
    QMap<int, double> m_colWidths;  // width in characters by column
    QMap<int, double> m_rowHeights; // height in points by row
    double m_defaultColWidth = 8.43;
    double m_defaultRowHeight = 15;
    int m_pictures = 0;
};
