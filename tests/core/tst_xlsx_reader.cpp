// The workbook reader: each kind of cell a workbook can hold, in a workbook
// assembled part by part here, and the text it shows; sheet order and names;
// empty cells and rows keeping their place; files that are not workbooks.
#include <QTemporaryDir>
#include <QTest>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include "core/GridExport.h"
#include "core/XlsxReader.h"

namespace {

// Writes a zip of the given parts (name -> content).
bool WriteZip(const QString &file, const QList<QPair<QString, QByteArray>> &parts)
{
    QuaZip zip(file);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto &p : parts) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(p.first)))
            return false;
        f.write(p.second);
        f.close();
    }
    zip.close();
    return zip.getZipError() == 0;
}

const QByteArray kRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/other.xml\"/>"
    "</Relationships>";

// Two sheets; the second's part has a name that does not follow the count.
const QByteArray kWorkbook =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"소속 교차로\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Second\" sheetId=\"2\" r:id=\"rId2\"/></sheets>"
    "</workbook>";

// Shared strings: a plain one, a rich one of two runs with a phonetic run, one with spaces kept.
const QByteArray kShared =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"3\" uniqueCount=\"3\">"
    "<si><t>도산대로 축</t></si>"
    "<si><r><rPr><b/></rPr><t>{\"type\":</t></r><r><t xml:space=\"preserve\"> \"Feature\"}</t></r><rPh sb=\"0\" eb=\"1\"><t>X</t></rPh></si>"
    "<si><t xml:space=\"preserve\">  12  </t></si>"
    "</sst>";

QByteArray Sheet(const QByteArray &rows)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
           rows + "</sheetData></worksheet>";
}

QString Build(const QTemporaryDir &dir, const QByteArray &firstRows, const QByteArray &secondRows = QByteArray())
{
    const QString file = dir.filePath("book.xlsx");
    QFile::remove(file);
    const bool ok = WriteZip(file, {{"[Content_Types].xml", "<Types/>"},
                                    {"xl/workbook.xml", kWorkbook},
                                    {"xl/_rels/workbook.xml.rels", kRels},
                                    {"xl/sharedStrings.xml", kShared},
                                    {"xl/worksheets/sheet1.xml", Sheet(firstRows)},
                                    {"xl/worksheets/other.xml", Sheet(secondRows)}});
    return ok ? file : QString();
}

} // namespace

class TestXlsxReader : public QObject
{
    Q_OBJECT

private slots:
    // One cell in B2 of sheet 1 and the text it shows.
    void cellTexts_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("shown");
        QTest::newRow("shared string") << QByteArray("<c r=\"B2\" t=\"s\"><v>0</v></c>") << QString("도산대로 축");
        QTest::newRow("rich shared string, phonetic run left out")
            << QByteArray("<c r=\"B2\" t=\"s\"><v>1</v></c>") << QString("{\"type\": \"Feature\"}");
        QTest::newRow("shared string keeps its spaces")
            << QByteArray("<c r=\"B2\" t=\"s\"><v>2</v></c>") << QString("  12  ");
        QTest::newRow("inline string") << QByteArray("<c r=\"B2\" t=\"inlineStr\"><is><t>abc</t></is></c>") << QString("abc");
        QTest::newRow("inline rich string")
            << QByteArray("<c r=\"B2\" t=\"inlineStr\"><is><r><t>가</t></r><r><t>나</t></r></is></c>") << QString("가나");
        QTest::newRow("whole number") << QByteArray("<c r=\"B2\"><v>42</v></c>") << QString("42");
        QTest::newRow("whole number stored with a fraction") << QByteArray("<c r=\"B2\" t=\"n\"><v>7.0</v></c>") << QString("7");
        QTest::newRow("negative") << QByteArray("<c r=\"B2\"><v>-3</v></c>") << QString("-3");
        QTest::newRow("fraction") << QByteArray("<c r=\"B2\"><v>0.1</v></c>") << QString("0.1");
        QTest::newRow("binary noise cut at 15 digits")
            << QByteArray("<c r=\"B2\"><v>0.30000000000000004</v></c>") << QString("0.3");
        QTest::newRow("cached formula number") << QByteArray("<c r=\"B2\"><f>A1*2</f><v>84</v></c>") << QString("84");
        QTest::newRow("cached formula text") << QByteArray("<c r=\"B2\" t=\"str\"><f>A1&amp;\"x\"</f><v>1x</v></c>") << QString("1x");
        QTest::newRow("boolean") << QByteArray("<c r=\"B2\" t=\"b\"><v>1</v></c>") << QString("TRUE");
        QTest::newRow("error") << QByteArray("<c r=\"B2\" t=\"e\"><v>#DIV/0!</v></c>") << QString("#DIV/0!");
        QTest::newRow("styled empty cell") << QByteArray("<c r=\"B2\" s=\"1\"/>") << QString();
    }
    void cellTexts()
    {
        QFETCH(QByteArray, cell);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString file = Build(dir, "<row r=\"2\">" + cell + "</row>");
        QVERIFY(!file.isEmpty());
        TXlsxReader r;
        QString error;
        QVERIFY2(r.Open(file, &error), qPrintable(error));
        QCOMPARE(r.Cell(0, 2, 2), shown);
        QCOMPARE(r.Rows(0).size(), 2);            // row 1 missing, kept as an empty row
        QVERIFY(r.Rows(0).at(0).isEmpty());
        QCOMPARE(r.Cell(0, 2, 1), QString());     // A2 not written
    }

    void sheetsAndPlaces()
    {
        QTemporaryDir dir;
        const QString file = Build(dir,
                                   "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>0</v></c></row>"
                                   "<row r=\"3\"><c r=\"AA3\"><v>5</v></c></row>",
                                   "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>second</t></is></c></row>");
        TXlsxReader r;
        QVERIFY(r.Open(file));
        QCOMPARE(r.SheetNames(), (QStringList{"소속 교차로", "Second"}));
        QCOMPARE(r.Rows(0).at(0), (QStringList{"1", "", "도산대로 축"}));
        QCOMPARE(r.Rows(0).at(1), QStringList());
        QCOMPARE(r.Rows(0).at(2).size(), 27);
        QCOMPARE(r.Cell(0, 3, 27), QString("5"));
        QCOMPARE(r.Cell(1, 1, 1), QString("second"));
        QCOMPARE(r.Rows(2), QList<QStringList>());
        QCOMPARE(TXlsxReader::ColumnNumber("A"), 1);
        QCOMPARE(TXlsxReader::ColumnNumber("AA"), 27);
        QCOMPARE(TXlsxReader::ColumnNumber("XFD"), 16384);
        QCOMPARE(TXlsxReader::ColumnNumber("A1"), 0);
    }

    // A workbook of the kit's own writer reads back as written.
    void readsTheKitsWorkbooks()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("kit.xlsx");
        TXlsxTable t;
        t.Header = {"그룹ID", "그룹명칭", "SA_LATLNGS"};
        const QString outline = "{\"type\":\"Feature\",\"properties\":{\"linkList\":\"1,2\"},\"geometry\":null}";
        t.Rows = {{"1", "도산대로 축", outline}, {"2", "", ""}};
        QVERIFY(WriteXlsxSheets(file, {{"A", t}, {"B", TXlsxTable{{}, {"x"}, {}, {}}}}));
        TXlsxReader r;
        QVERIFY(r.Open(file));
        QCOMPARE(r.SheetNames(), (QStringList{"A", "B"}));
        QCOMPARE(r.Rows(0).at(0), t.Header);
        QCOMPARE(r.Rows(0).at(1), t.Rows[0]);
        QCOMPARE(r.Cell(0, 3, 1), QString("2"));
        QCOMPARE(r.Cell(0, 3, 3), QString());
    }

    void notAWorkbook_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("zip");
        QTest::newRow("text file") << QByteArray("hello") << false;
        QTest::newRow("zip without workbook part") << QByteArray() << true;
    }
    void notAWorkbook()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, zip);
        QTemporaryDir dir;
        const QString file = dir.filePath("bad.xlsx");
        if (zip) {
            QVERIFY(WriteZip(file, {{"other.txt", "x"}}));
        } else {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        TXlsxReader r;
        QString error;
        QVERIFY(!r.Open(file, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(r.SheetCount(), 0);
        QVERIFY(!r.Open(dir.filePath("missing.xlsx"), &error));
    }
};

QTEST_MAIN(TestXlsxReader)
#include "tst_xlsx_reader.moc"
