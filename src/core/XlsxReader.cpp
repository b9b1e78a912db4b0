#include "core/XlsxReader.h"

#include <QBuffer>
#include <QMap>
#include <QXmlStreamReader>
#include <cmath>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace {

bool ReadEntry(QuaZip &zip, const QString &name, QByteArray *data)
{
    if (!zip.setCurrentFile(name, QuaZip::csInsensitive))
        return false;
    QuaZipFile f(&zip);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *data = f.readAll();
    f.close();
    return true;
}

// The text of an <si> or <is> element: its <t> directly or the <t> of every run
// (<r>); phonetic runs (<rPh>) are left out. The reader stands on the element's start.
QString StringItem(QXmlStreamReader &x)
{
    const QString end = x.name().toString();
    QString text;
    int phonetic = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (x.name() == QLatin1String("t") && phonetic == 0)
                text += x.readElementText();
        } else if (x.isEndElement()) {
            if (x.name() == QLatin1String("rPh"))
                --phonetic;
            else if (x.name() == end)
                break;
        }
    }
    return text;
}

// "xl/worksheets/sheet1.xml" from a relationship target ("worksheets/sheet1.xml" or "/xl/...").
QString EntryOf(const QString &target)
{
    if (target.startsWith('/'))
        return target.mid(1);
    QString t = target;
    while (t.startsWith(QLatin1String("../")))
        t = t.mid(3);
    return target.startsWith(QLatin1String("../")) ? t : QStringLiteral("xl/") + t;
}

} // namespace

int TXlsxReader::ColumnNumber(const QString &letters)
{
    int n = 0;
    for (const QChar c : letters) {
        const QChar u = c.toUpper();
        if (u < 'A' || u > 'Z')
            return 0;
        n = n * 26 + (u.unicode() - 'A' + 1);
    }
    return n;
}

QString TXlsxReader::GeneralNumber(const QString &stored)
{
    bool ok = false;
    const double d = stored.trimmed().toDouble(&ok);
    if (!ok)
        return stored;
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    QString s = QString::number(d, 'g', 15);
    return s;
}

QString TXlsxReader::Cell(int sheet, int row, int column) const
{
    const QList<QStringList> rows = FSheets.value(sheet);
    if (row < 1 || row > rows.size())
        return QString();
    return rows[row - 1].value(column - 1);
}

bool TXlsxReader::Open(const QString &fileName, QString *error)
{
    FNames.clear();
    FSheets.clear();
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QuaZip zip(fileName);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(QStringLiteral("%1: not a workbook (%2)").arg(fileName).arg(zip.getZipError()));

    // Relationship id -> part of the workbook.
    QMap<QString, QString> targets;
    QByteArray data;
    if (ReadEntry(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), &data)) {
        QXmlStreamReader x(data);
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("Relationship"))
                targets.insert(x.attributes().value("Id").toString(), x.attributes().value("Target").toString());
        }
    }
    if (!ReadEntry(zip, QStringLiteral("xl/workbook.xml"), &data))
        return fail(QStringLiteral("%1: no workbook part").arg(fileName));
    QStringList parts;
    {
        QXmlStreamReader x(data);
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("sheet")) {
                FNames << x.attributes().value("name").toString();
                QString rid;
                for (const QXmlStreamAttribute &a : x.attributes())
                    if (a.name() == QLatin1String("id"))
                        rid = a.value().toString();
                parts << (targets.contains(rid) ? EntryOf(targets.value(rid))
                                                : QStringLiteral("xl/worksheets/sheet%1.xml").arg(FNames.size()));
            }
        }
        if (x.hasError())
            return fail(QStringLiteral("%1: %2").arg(fileName, x.errorString()));
    }

    QStringList shared;
    if (ReadEntry(zip, QStringLiteral("xl/sharedStrings.xml"), &data)) {
        QXmlStreamReader x(data);
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("si"))
                shared << StringItem(x);
        }
        if (x.hasError())
            return fail(QStringLiteral("%1: %2").arg(fileName, x.errorString()));
    }

    for (const QString &part : parts) {
        QList<QStringList> rows;
        if (!ReadEntry(zip, part, &data))
            return fail(QStringLiteral("%1: sheet %2 missing").arg(fileName, part));
        QXmlStreamReader x(data);
        int rowNo = 0;
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            if (x.name() == QLatin1String("row")) {
                const int r = x.attributes().value("r").toInt();
                rowNo = r > 0 ? r : rowNo + 1;
                while (rows.size() < rowNo)
                    rows << QStringList();
                continue;
            }
            if (x.name() != QLatin1String("c"))
                continue;
            const QString ref = x.attributes().value("r").toString();
            const QString type = x.attributes().value("t").toString();
            int col = 0;
            if (!ref.isEmpty()) {
                int i = 0;
                while (i < ref.size() && ref[i].isLetter())
                    ++i;
                col = ColumnNumber(ref.left(i));
            }
            if (col <= 0)
                col = rows.isEmpty() ? 1 : rows.last().size() + 1;
            if (rowNo == 0) {
                rowNo = 1;
                rows << QStringList();
            }
            QString value, text;
            bool inlineText = false;
            while (!x.atEnd()) {
                x.readNext();
                if (x.isStartElement()) {
                    if (x.name() == QLatin1String("v"))
                        value = x.readElementText();
                    else if (x.name() == QLatin1String("is")) {
                        text = StringItem(x);
                        inlineText = true;
                    }
                } else if (x.isEndElement() && x.name() == QLatin1String("c"))
                    break;
            }
            QString shown;
            if (inlineText)
                shown = text;
            else if (type == QLatin1String("s"))
                shown = shared.value(value.toInt());
            else if (type == QLatin1String("str") || type == QLatin1String("e"))
                shown = value;
            else if (type == QLatin1String("b"))
                shown = value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            else if (!value.isEmpty())
                shown = GeneralNumber(value);
            QStringList &row = rows[rowNo - 1];
            while (row.size() < col)
                row << QString();
            row[col - 1] = shown;
        }
        if (x.hasError())
            return fail(QStringLiteral("%1: %2").arg(fileName, x.errorString()));
        FSheets << rows;
    }
    zip.close();
    return true;
}
