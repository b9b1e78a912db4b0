#include "core/XlsxTemplate.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <cmath>

namespace {

const char *kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char *kRelDrawing = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing";
const char *kRelImage = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
const char *kRelStyles = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
const char *kRelWorksheet = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char *kRelOfficeDoc =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
const char *kPkgRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const char *kDrawingType = "application/vnd.openxmlformats-officedocument.drawing+xml";
constexpr qint64 kEmuPerPixel = 9525;
constexpr qint64 kEmuPerPoint = 12700;

// The folder part of a part name ("xl/worksheets" for "xl/worksheets/sheet1.xml").
QString PartDir(const QString &part)
{
    const int slash = part.lastIndexOf('/');
    return slash < 0 ? QString() : part.left(slash);
}

// The rels part of a part ("xl/_rels/workbook.xml.rels" for "xl/workbook.xml").
QString RelsOf(const QString &part)
{
    const QString dir = PartDir(part);
    const QString file = part.mid(dir.isEmpty() ? 0 : dir.size() + 1);
    return (dir.isEmpty() ? QString() : dir + '/') + "_rels/" + file + ".rels";
}

// A relationship target resolved against the folder of its source part.
QString ResolveTarget(const QString &sourcePart, const QString &target)
{
    if (target.startsWith('/'))
        return target.mid(1);
    const QString dir = PartDir(sourcePart);
    return QDir::cleanPath(dir.isEmpty() ? target : dir + '/' + target);
}

// A target written relative to the folder of the source part.
QString RelativeTarget(const QString &sourcePart, const QString &part)
{
    return QDir(QStringLiteral("/") + PartDir(sourcePart)).relativeFilePath(QStringLiteral("/") + part);
}

QList<QDomElement> Children(const QDomElement &parent, const QString &tag)
{
    QList<QDomElement> list;
    for (QDomElement e = parent.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag))
        list << e;
    return list;
}

// The target of the first relationship of a type in a rels document.
QString RelTarget(const QDomDocument &rels, const QString &type, const QString &id = QString())
{
    for (const QDomElement &r : Children(rels.documentElement(), "Relationship")) {
        if (!id.isEmpty() ? r.attribute("Id") == id : r.attribute("Type") == type)
            return r.attribute("Target");
    }
    return {};
}

QString Argb(const QColor &c)
{
    return QStringLiteral("FF%1%2%3")
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

void SetCount(QDomElement list, const QString &tag)
{
    list.setAttribute("count", Children(list, tag).size());
}

bool ParseXml(QDomDocument &doc, const QByteArray &bytes, const QString &part, QString *error)
{
    QString msg;
    int line = 0;
    if (doc.setContent(bytes, &msg, &line))
        return true;
    if (error)
        *error = QStringLiteral("%1: %2 (line %3)").arg(part, msg).arg(line);
    return false;
}

// The sheet-name token of a reference ("'My sheet'" or "Sheet1") without quotes.
QString UnquoteSheet(QString token)
{
    if (token.startsWith('\'') && token.endsWith('\'') && token.size() >= 2)
        token = token.mid(1, token.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return token;
}

const QRegularExpression &SheetRefPattern()
{
    static const QRegularExpression re(QStringLiteral("('(?:[^']|'')+'|[^\\s'!,():=+\\-*/&^<>\"]+)!"));
    return re;
}

} // namespace

QString XlsxColumnName(int col)
{
    QString name;
    while (col > 0) {
        const int rem = (col - 1) % 26;
        name.prepend(QChar('A' + rem));
        col = (col - 1) / 26;
    }
    return name;
}

QString XlsxCellName(int row, int col)
{
    return XlsxColumnName(col) + QString::number(row);
}

bool XlsxParseCell(const QString &ref, int *row, int *col)
{
    static const QRegularExpression re(QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?([0-9]{1,7})$"));
    const auto m = re.match(ref.trimmed());
    if (!m.hasMatch())
        return false;
    int c = 0;
    for (QChar ch : m.captured(1).toUpper())
        c = c * 26 + (ch.unicode() - 'A' + 1);
    const int r = m.captured(2).toInt();
    if (r < 1 || c < 1)
        return false;
    if (row)
        *row = r;
    if (col)
        *col = c;
    return true;
}

QString XlsxValidSheetName(const QString &name)
{
    QString n = name;
    for (QChar &ch : n) {
        if (QStringLiteral("[]:*?/\\").contains(ch) || ch.unicode() < 32)
            ch = '_';
    }
    // A name may not begin or end with an apostrophe.
    while (n.startsWith('\''))
        n.remove(0, 1);
    while (n.endsWith('\''))
        n.chop(1);
    n = n.left(31);
    return n.trimmed().isEmpty() ? QStringLiteral("Sheet1") : n;
}

TXlsxTemplate::TXlsxTemplate() = default;
TXlsxTemplate::~TXlsxTemplate() = default;

bool TXlsxTemplate::Open(const QString &fileName, QString *error)
{
    m_open = false;
    m_order.clear();
    m_parts.clear();
    m_rows.clear();
    m_colWidths.clear();
    m_rowHeights.clear();
    m_docParts.clear();
    m_drawing.clear();
    m_drawingRels.clear();
    m_drawingPath.clear();
    m_drawingRelsPath.clear();
    m_pictures = 0;
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        m_order.clear();
        m_parts.clear();
        m_rows.clear();
        return false;
    };

    QuaZip zip(fileName);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(QStringLiteral("%1: not a workbook (%2)").arg(fileName).arg(zip.getZipError()));
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        const QString name = zip.getCurrentFileName();
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1: cannot read %2").arg(fileName, name));
        const QByteArray data = f.readAll();
        f.close();
        if (f.getZipError() != 0)
            return fail(QStringLiteral("%1: damaged part %2").arg(fileName, name));
        if (!m_parts.contains(name))
            m_order << name;
        m_parts.insert(name, data);
    }
    zip.close();

    QDomDocument rootRels;
    if (!m_parts.contains("_rels/.rels") || !ParseXml(rootRels, m_parts.value("_rels/.rels"), "_rels/.rels", error))
        return fail(error && !error->isEmpty() ? *error : QStringLiteral("%1: not a workbook").arg(fileName));
    const QString workbookPath = ResolveTarget(QString(), RelTarget(rootRels, kRelOfficeDoc));
    if (!m_parts.contains(workbookPath) || !ParseXml(m_workbook, m_parts.value(workbookPath), workbookPath, error))
        return fail(QStringLiteral("%1: no workbook part").arg(fileName));
    QDomDocument wbRels;
    const QString wbRelsPath = RelsOf(workbookPath);
    if (!ParseXml(wbRels, m_parts.value(wbRelsPath), wbRelsPath, error))
        return fail(QStringLiteral("%1: no workbook relationships").arg(fileName));

    const QDomElement sheet = m_workbook.documentElement().firstChildElement("sheets").firstChildElement("sheet");
    if (sheet.isNull())
        return fail(QStringLiteral("%1: the workbook has no sheet").arg(fileName));
    m_sheetName = sheet.attribute("name");
    m_sheetPath = ResolveTarget(workbookPath, RelTarget(wbRels, kRelWorksheet, sheet.attribute("r:id")));
    if (!m_parts.contains(m_sheetPath) || !ParseXml(m_sheet, m_parts.value(m_sheetPath), m_sheetPath, error))
        return fail(QStringLiteral("%1: the first sheet cannot be read").arg(fileName));
    const QString stylesPath = ResolveTarget(workbookPath, RelTarget(wbRels, kRelStyles));
    if (!m_parts.contains(stylesPath) || !ParseXml(m_styles, m_parts.value(stylesPath), stylesPath, error))
        return fail(QStringLiteral("%1: the workbook has no styles").arg(fileName));
    if (!ParseXml(m_types, m_parts.value("[Content_Types].xml"), "[Content_Types].xml", error))
        return fail(QStringLiteral("%1: no content types").arg(fileName));
    m_sheetRelsPath = RelsOf(m_sheetPath);
    if (m_parts.contains(m_sheetRelsPath)) {
        if (!ParseXml(m_sheetRels, m_parts.value(m_sheetRelsPath), m_sheetRelsPath, error))
            return fail(QStringLiteral("%1: damaged sheet relationships").arg(fileName));
    } else {
        m_sheetRels.clear();
    }
    // These parts are written back from their documents.
    m_docParts.clear();
    m_docParts.insert(workbookPath, &m_workbook);
    m_docParts.insert(m_sheetPath, &m_sheet);
    m_docParts.insert(stylesPath, &m_styles);
    m_docParts.insert(QStringLiteral("[Content_Types].xml"), &m_types);

    // Rows, column widths and row heights of the sheet.
    const QDomElement root = m_sheet.documentElement();
    const QDomElement fmt = root.firstChildElement("sheetFormatPr");
    if (!fmt.isNull()) {
        if (fmt.hasAttribute("defaultRowHeight"))
            m_defaultRowHeight = fmt.attribute("defaultRowHeight").toDouble();
        if (fmt.hasAttribute("defaultColWidth"))
            m_defaultColWidth = fmt.attribute("defaultColWidth").toDouble();
    }
    for (const QDomElement &c : Children(root.firstChildElement("cols"), "col")) {
        for (int i = c.attribute("min").toInt(); i <= c.attribute("max").toInt() && i <= 16384; ++i)
            m_colWidths[i] = c.attribute("width").toDouble();
    }
    int next = 1;
    for (const QDomElement &r : Children(root.firstChildElement("sheetData"), "row")) {
        const int n = r.hasAttribute("r") ? r.attribute("r").toInt() : next;
        m_rows.insert(n, r);
        if (r.hasAttribute("ht"))
            m_rowHeights[n] = r.attribute("ht").toDouble();
        next = n + 1;
    }
    m_open = true;
    return true;
}

void TXlsxTemplate::RenameSheet(const QString &name)
{
    if (!m_open)
        return;
    const QString oldName = m_sheetName;
    m_sheetName = XlsxValidSheetName(name);
    QDomElement sheet = m_workbook.documentElement().firstChildElement("sheets").firstChildElement("sheet");
    sheet.setAttribute("name", m_sheetName);
    QString quoted = m_sheetName;
    quoted.replace('\'', QStringLiteral("''"));
    quoted = '\'' + quoted + '\'';
    for (QDomElement d : Children(m_workbook.documentElement().firstChildElement("definedNames"), "definedName")) {
        const QString text = d.text();
        QString out;
        qsizetype pos = 0;
        auto it = SheetRefPattern().globalMatch(text);
        while (it.hasNext()) {
            const auto m = it.next();
            out += text.mid(pos, m.capturedStart() - pos);
            out += UnquoteSheet(m.captured(1)) == oldName ? quoted + '!' : m.captured(0);
            pos = m.capturedEnd();
        }
        out += text.mid(pos);
        while (d.hasChildNodes())
            d.removeChild(d.firstChild());
        d.appendChild(m_workbook.createTextNode(out));
    }
    // The document properties list the sheet titles too.
    if (m_parts.contains("docProps/app.xml")) {
        QDomDocument app;
        if (app.setContent(m_parts.value("docProps/app.xml"))) {
            const QDomNodeList titles = app.elementsByTagName("vt:lpstr");
            for (int i = 0; i < titles.size(); ++i) {
                QDomElement e = titles.at(i).toElement();
                if (e.text() == oldName) {
                    while (e.hasChildNodes())
                        e.removeChild(e.firstChild());
                    e.appendChild(app.createTextNode(m_sheetName));
                }
            }
            m_parts["docProps/app.xml"] = app.toByteArray(-1);
        }
    }
}

QStringList TXlsxTemplate::Names() const
{
    QStringList names;
    for (const QDomElement &d : Children(m_workbook.documentElement().firstChildElement("definedNames"), "definedName"))
        names << d.attribute("name");
    return names;
}

bool TXlsxTemplate::FindName(const QString &name, TXlsxRange *range) const
{
    for (const QDomElement &d : Children(m_workbook.documentElement().firstChildElement("definedNames"), "definedName")) {
        if (d.attribute("name").compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // The first area of the reference: Sheet!$A$1 or Sheet!$A$1:$B$2.
        QString text = d.text().trimmed();
        if (text.startsWith('='))
            text.remove(0, 1);
        const auto m = SheetRefPattern().match(text);
        if (!m.hasMatch() || m.capturedStart() != 0 || UnquoteSheet(m.captured(1)) != m_sheetName)
            return false;
        QString area = text.mid(m.capturedEnd()).section(',', 0, 0);
        const QString first = area.section(':', 0, 0);
        const QString last = area.contains(':') ? area.section(':', 1, 1) : first;
        TXlsxRange r;
        if (!XlsxParseCell(first, &r.Top, &r.Left) || !XlsxParseCell(last, &r.Bottom, &r.Right))
            return false;
        if (range)
            *range = r;
        return true;
    }
    return false;
}

QDomElement TXlsxTemplate::RowElement(int row, bool create)
{
    if (m_rows.contains(row) || !create)
        return m_rows.value(row);
    QDomElement root = m_sheet.documentElement();
    QDomElement data = root.firstChildElement("sheetData");
    if (data.isNull()) {
        data = m_sheet.createElement("sheetData");
        // sheetData follows sheetPr, dimension, sheetViews, sheetFormatPr and cols.
        QDomElement after;
        for (const char *tag : {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols"}) {
            const QDomElement e = root.firstChildElement(tag);
            if (!e.isNull())
                after = e;
        }
        if (after.isNull())
            root.insertBefore(data, root.firstChild());
        else
            root.insertAfter(data, after);
    }
    QDomElement e = m_sheet.createElement("row");
    e.setAttribute("r", row);
    // QHash is unordered: find the first row after this one.
    QDomElement before;
    int beforeRow = INT_MAX;
    for (auto r = m_rows.cbegin(); r != m_rows.cend(); ++r) {
        if (r.key() > row && r.key() < beforeRow) {
            beforeRow = r.key();
            before = r.value();
        }
    }
    if (before.isNull())
        data.appendChild(e);
    else
        data.insertBefore(e, before);
    m_rows.insert(row, e);
    return e;
}

QDomElement TXlsxTemplate::CellElement(int row, int col, bool create)
{
    QDomElement r = RowElement(row, create);
    if (r.isNull())
        return {};
    int next = 1;
    for (QDomElement c = r.firstChildElement("c"); !c.isNull(); c = c.nextSiblingElement("c")) {
        int cr = next, cc = next;
        if (c.hasAttribute("r"))
            XlsxParseCell(c.attribute("r"), &cr, &cc);
        if (cc == col)
            return c;
        if (cc > col) {
            if (!create)
                return {};
            QDomElement e = m_sheet.createElement("c");
            e.setAttribute("r", XlsxCellName(row, col));
            r.insertBefore(e, c);
            return e;
        }
        next = cc + 1;
    }
    if (!create)
        return {};
    QDomElement e = m_sheet.createElement("c");
    e.setAttribute("r", XlsxCellName(row, col));
    r.appendChild(e);
    return e;
}

int TXlsxTemplate::CellFormat(int row, int col) const
{
    auto *self = const_cast<TXlsxTemplate *>(this);
    const QDomElement c = self->CellElement(row, col, false);
    if (!c.isNull())
        return c.attribute("s", "0").toInt();
    const QDomElement r = m_rows.value(row);
    if (!r.isNull() && r.attribute("customFormat") == "1")
        return r.attribute("s", "0").toInt();
    for (const QDomElement &cc : Children(m_sheet.documentElement().firstChildElement("cols"), "col")) {
        if (col >= cc.attribute("min").toInt() && col <= cc.attribute("max").toInt())
            return cc.attribute("style", "0").toInt();
    }
    return 0;
}

int TXlsxTemplate::AddFormat(int baseFormat, const TXlsxFormatChange &change)
{
    QDomElement root = m_styles.documentElement();
    QDomElement xfs = root.firstChildElement("cellXfs");
    const QList<QDomElement> list = Children(xfs, "xf");
    if (list.isEmpty())
        return 0;
    const QDomElement base = list.value(baseFormat, list.first());
    QDomElement xf = base.cloneNode(true).toElement();

    if (change.FontColor.isValid()) {
        QDomElement fonts = root.firstChildElement("fonts");
        const QList<QDomElement> fl = Children(fonts, "font");
        QDomElement font = fl.isEmpty() ? m_styles.createElement("font")
                                        : fl.value(base.attribute("fontId", "0").toInt(), fl.first())
                                              .cloneNode(true)
                                              .toElement();
        QDomElement color = font.firstChildElement("color");
        if (color.isNull()) {
            color = m_styles.createElement("color");
            // color follows sz in a font's children.
            const QDomElement sz = font.firstChildElement("sz");
            if (sz.isNull())
                font.insertBefore(color, font.firstChild());
            else
                font.insertAfter(color, sz);
        }
        for (const QString &a : {"theme", "indexed", "auto", "tint"})
            color.removeAttribute(a);
        color.setAttribute("rgb", Argb(change.FontColor));
        fonts.appendChild(font);
        SetCount(fonts, "font");
        xf.setAttribute("fontId", Children(fonts, "font").size() - 1);
        xf.setAttribute("applyFont", "1");
    }
    if (change.FillColor.isValid()) {
        QDomElement fills = root.firstChildElement("fills");
        QDomElement fill = m_styles.createElement("fill");
        QDomElement pattern = m_styles.createElement("patternFill");
        pattern.setAttribute("patternType", "solid");
        QDomElement fg = m_styles.createElement("fgColor");
        fg.setAttribute("rgb", Argb(change.FillColor));
        QDomElement bg = m_styles.createElement("bgColor");
        bg.setAttribute("indexed", "64");
        pattern.appendChild(fg);
        pattern.appendChild(bg);
        fill.appendChild(pattern);
        fills.appendChild(fill);
        SetCount(fills, "fill");
        xf.setAttribute("fillId", Children(fills, "fill").size() - 1);
        xf.setAttribute("applyFill", "1");
    }
    xfs.appendChild(xf);
    SetCount(xfs, "xf");
    return Children(xfs, "xf").size() - 1;
}

void TXlsxTemplate::SetFormat(QDomElement &cell, int format)
{
    if (format > 0)
        cell.setAttribute("s", format);
    else if (format == 0)
        cell.removeAttribute("s");
}

void TXlsxTemplate::ClearValue(QDomElement &cell)
{
    while (cell.hasChildNodes())
        cell.removeChild(cell.firstChild());
    cell.removeAttribute("t");
}

void TXlsxTemplate::SetText(int row, int col, const QString &text, int format)
{
    if (!m_open)
        return;
    const int inherited = CellFormat(row, col);
    QDomElement c = CellElement(row, col, true);
    ClearValue(c);
    SetFormat(c, format >= 0 ? format : inherited);
    if (text.isEmpty())
        return;
    c.setAttribute("t", "inlineStr");
    QDomElement is = m_sheet.createElement("is");
    QDomElement t = m_sheet.createElement("t");
    if (text.trimmed() != text)
        t.setAttribute("xml:space", "preserve");
    t.appendChild(m_sheet.createTextNode(text));
    is.appendChild(t);
    c.appendChild(is);
}

void TXlsxTemplate::SetNumber(int row, int col, double value, int format)
{
    if (!m_open)
        return;
    const int inherited = CellFormat(row, col);
    QDomElement c = CellElement(row, col, true);
    ClearValue(c);
    SetFormat(c, format >= 0 ? format : inherited);
    QDomElement v = m_sheet.createElement("v");
    v.appendChild(m_sheet.createTextNode(QString::number(value, 'g', 15)));
    c.appendChild(v);
}

void TXlsxTemplate::SetEmpty(int row, int col, int format)
{
    if (!m_open)
        return;
    const int inherited = CellFormat(row, col);
    QDomElement c = CellElement(row, col, true);
    ClearValue(c);
    SetFormat(c, format >= 0 ? format : inherited);
}

qint64 TXlsxTemplate::ColumnOffsetEmu(int col, double frac) const
{
    const double w = m_colWidths.value(col, m_defaultColWidth);
    // Column widths are stored in characters of the default font (7 pixels) with
    // the cell padding included.
    const double px = m_colWidths.contains(col) ? std::floor((256 * w + std::floor(128.0 / 7)) / 256 * 7)
                                               : std::floor(w * 7 + 5);
    return qRound64(std::clamp(frac, 0.0, 1.0) * px * kEmuPerPixel);
}

qint64 TXlsxTemplate::RowOffsetEmu(int row, double frac) const
{
    return qRound64(std::clamp(frac, 0.0, 1.0) * m_rowHeights.value(row, m_defaultRowHeight) * kEmuPerPoint);
}

QString TXlsxTemplate::NewRelId(const QDomDocument &rels) const
{
    QSet<QString> used;
    for (const QDomElement &r : Children(rels.documentElement(), "Relationship"))
        used << r.attribute("Id");
    for (int i = 1;; ++i) {
        const QString id = QStringLiteral("rId%1").arg(i);
        if (!used.contains(id))
            return id;
    }
}

bool TXlsxTemplate::LoadDrawing(QString *error)
{
    if (!m_drawing.isNull() && !m_drawing.documentElement().isNull())
        return true;
    if (m_sheetRels.documentElement().isNull()) {
        m_sheetRels.setContent(QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                          "<Relationships xmlns=\"") +
                               kPkgRelNs + "\"/>");
        if (!m_parts.contains(m_sheetRelsPath))
            m_order << m_sheetRelsPath;
    }
    QDomElement root = m_sheet.documentElement();
    const QDomElement existing = root.firstChildElement("drawing");
    if (!existing.isNull()) {
        m_drawingPath = ResolveTarget(m_sheetPath, RelTarget(m_sheetRels, QString(), existing.attribute("r:id")));
        if (!ParseXml(m_drawing, m_parts.value(m_drawingPath), m_drawingPath, error))
            return false;
        m_drawingRelsPath = RelsOf(m_drawingPath);
        if (m_parts.contains(m_drawingRelsPath)) {
            if (!ParseXml(m_drawingRels, m_parts.value(m_drawingRelsPath), m_drawingRelsPath, error))
                return false;
        } else {
            m_order << m_drawingRelsPath;
        }
    } else {
        int n = 1;
        while (m_parts.contains(QStringLiteral("xl/drawings/drawing%1.xml").arg(n)))
            ++n;
        m_drawingPath = QStringLiteral("xl/drawings/drawing%1.xml").arg(n);
        m_drawingRelsPath = RelsOf(m_drawingPath);
        m_order << m_drawingPath << m_drawingRelsPath;
        m_drawing.setContent(QByteArray(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
            "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"/>"));
        // The sheet points at its drawing.
        const QString id = NewRelId(m_sheetRels);
        QDomElement rel = m_sheetRels.createElement("Relationship");
        rel.setAttribute("Id", id);
        rel.setAttribute("Type", kRelDrawing);
        rel.setAttribute("Target", RelativeTarget(m_sheetPath, m_drawingPath));
        m_sheetRels.documentElement().appendChild(rel);
        if (!root.hasAttribute("xmlns:r"))
            root.setAttribute("xmlns:r", kRelNs);
        QDomElement d = m_sheet.createElement("drawing");
        d.setAttribute("r:id", id);
        QDomElement before;
        for (const char *tag : {"legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects",
                                "controls", "webPublishItems", "tableParts", "extLst"}) {
            const QDomElement e = root.firstChildElement(tag);
            if (!e.isNull()) {
                before = e;
                break;
            }
        }
        if (before.isNull())
            root.appendChild(d);
        else
            root.insertBefore(d, before);
        QDomElement o = m_types.createElement("Override");
        o.setAttribute("PartName", '/' + m_drawingPath);
        o.setAttribute("ContentType", kDrawingType);
        m_types.documentElement().appendChild(o);
    }
    if (m_drawingRels.documentElement().isNull())
        m_drawingRels.setContent(QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                            "<Relationships xmlns=\"") +
                                 kPkgRelNs + "\"/>");
    for (const QString &part : {m_drawingPath, m_drawingRelsPath, m_sheetRelsPath})
        m_parts.insert(part, QByteArray());
    m_docParts.insert(m_drawingPath, &m_drawing);
    m_docParts.insert(m_drawingRelsPath, &m_drawingRels);
    m_docParts.insert(m_sheetRelsPath, &m_sheetRels);
    return true;
}

bool TXlsxTemplate::AddPicture(const QByteArray &png, const QString &name, const TXlsxAnchor &from,
                               const TXlsxAnchor &to)
{
    if (!m_open || !png.startsWith("\x89PNG\r\n\x1a\n") || !LoadDrawing(nullptr))
        return false;
    int n = 1;
    while (m_parts.contains(QStringLiteral("xl/media/image%1.png").arg(n)))
        ++n;
    const QString media = QStringLiteral("xl/media/image%1.png").arg(n);
    m_parts.insert(media, png);
    m_order << media;

    bool hasPng = false;
    for (const QDomElement &d : Children(m_types.documentElement(), "Default"))
        hasPng = hasPng || d.attribute("Extension").compare("png", Qt::CaseInsensitive) == 0;
    if (!hasPng) {
        QDomElement d = m_types.createElement("Default");
        d.setAttribute("Extension", "png");
        d.setAttribute("ContentType", "image/png");
        m_types.documentElement().insertBefore(d, m_types.documentElement().firstChild());
    }
    const QString id = NewRelId(m_drawingRels);
    QDomElement rel = m_drawingRels.createElement("Relationship");
    rel.setAttribute("Id", id);
    rel.setAttribute("Type", kRelImage);
    rel.setAttribute("Target", RelativeTarget(m_drawingPath, media));
    m_drawingRels.documentElement().appendChild(rel);

    QDomDocument &d = m_drawing;
    auto el = [&](const QString &tag, const QString &text = QString()) {
        QDomElement e = d.createElement(tag);
        if (!text.isNull())
            e.appendChild(d.createTextNode(text));
        return e;
    };
    auto corner = [&](const QString &tag, const TXlsxAnchor &a) {
        QDomElement e = el(tag);
        e.appendChild(el("xdr:col", QString::number(a.Col - 1)));
        e.appendChild(el("xdr:colOff", QString::number(ColumnOffsetEmu(a.Col, a.ColFrac))));
        e.appendChild(el("xdr:row", QString::number(a.Row - 1)));
        e.appendChild(el("xdr:rowOff", QString::number(RowOffsetEmu(a.Row, a.RowFrac))));
        return e;
    };
    int shapeId = 2;
    const QDomNodeList ids = d.elementsByTagName("xdr:cNvPr");
    for (int i = 0; i < ids.size(); ++i)
        shapeId = std::max(shapeId, ids.at(i).toElement().attribute("id").toInt() + 1);

    QDomElement anchor = el("xdr:twoCellAnchor");
    anchor.setAttribute("editAs", "oneCell");
    anchor.appendChild(corner("xdr:from", from));
    anchor.appendChild(corner("xdr:to", to));
    QDomElement pic = el("xdr:pic");
    QDomElement nv = el("xdr:nvPicPr");
    QDomElement cnv = el("xdr:cNvPr");
    cnv.setAttribute("id", shapeId);
    cnv.setAttribute("name", name);
    nv.appendChild(cnv);
    QDomElement cpic = el("xdr:cNvPicPr");
    QDomElement locks = el("a:picLocks");
    locks.setAttribute("noChangeAspect", "1");
    cpic.appendChild(locks);
    nv.appendChild(cpic);
    pic.appendChild(nv);
    QDomElement fill = el("xdr:blipFill");
    QDomElement blip = el("a:blip");
    blip.setAttribute("r:embed", id);
    fill.appendChild(blip);
    QDomElement stretch = el("a:stretch");
    stretch.appendChild(el("a:fillRect"));
    fill.appendChild(stretch);
    pic.appendChild(fill);
    QDomElement sp = el("xdr:spPr");
    QDomElement xfrm = el("a:xfrm");
    QDomElement off = el("a:off");
    off.setAttribute("x", 0);
    off.setAttribute("y", 0);
    QDomElement ext = el("a:ext");
    ext.setAttribute("cx", 0);
    ext.setAttribute("cy", 0);
    xfrm.appendChild(off);
    xfrm.appendChild(ext);
    sp.appendChild(xfrm);
    QDomElement geom = el("a:prstGeom");
    geom.setAttribute("prst", "rect");
    geom.appendChild(el("a:avLst"));
    sp.appendChild(geom);
    pic.appendChild(sp);
    anchor.appendChild(pic);
    anchor.appendChild(el("xdr:clientData"));
    d.documentElement().appendChild(anchor);
    ++m_pictures;
    return true;
}

bool TXlsxTemplate::Save(const QString &fileName, QString *error)
{
    if (!m_open) {
        if (error)
            *error = QStringLiteral("no workbook is open");
        return false;
    }
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    {
        QuaZip zip(&buffer);
        if (!zip.open(QuaZip::mdCreate)) {
            if (error)
                *error = QStringLiteral("cannot pack the workbook (%1)").arg(zip.getZipError());
            return false;
        }
        for (const QString &name : m_order) {
            const QByteArray data = m_docParts.contains(name) ? m_docParts.value(name)->toByteArray(-1)
                                                               : m_parts.value(name);
            QuaZipFile f(&zip);
            if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, 8 /* deflated */, 6) ||
                f.write(data) != data.size()) {
                if (error)
                    *error = QStringLiteral("cannot pack %1").arg(name);
                return false;
            }
            f.close();
        }
        zip.close();
        if (zip.getZipError() != 0) {
            if (error)
                *error = QStringLiteral("cannot pack the workbook (%1)").arg(zip.getZipError());
            return false;
        }
    }
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(buffer.data()) != buffer.size() || !out.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(fileName, out.errorString());
        return false;
    }
    return true;
}
