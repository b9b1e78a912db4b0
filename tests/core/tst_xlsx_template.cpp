// The template filler of the core (core/XlsxTemplate.h) and the operation plan
// sheet templates beside the program, read back with openpyxl.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "XlsxProbe.h"
#include "core/XlsxTemplate.h"
#include "foundation/XlsxWriterLib.h"

namespace {

QByteArray Png(int w, int h, QColor colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

QString TemplateFile(const QString &type, const QString &lang)
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("template/tcdv_conf_template_%1_%2.xlsx").arg(type, lang));
}

} // namespace

class TstXlsxTemplate : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString fixture;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        // A small workbook: two sheets, names on both, a merge, a wide column B,
        // a bordered cell C2.
        const TXlsxWriterApi *x = XlsxWriterApi();
        QVERIFY(x);
        fixture = tmp.filePath("fixture.xlsx");
        lxw_workbook *wb = x->workbook_new(fixture.toUtf8().constData());
        lxw_worksheet *data = x->workbook_add_worksheet(wb, "Data");
        lxw_worksheet *other = x->workbook_add_worksheet(wb, "Other");
        lxw_format *boxed = x->workbook_add_format(wb);
        x->format_set_border(boxed, LXW_BORDER_THIN);
        x->worksheet_set_column(data, 1, 1, 20, nullptr);
        x->worksheet_write_number(data, 1, 1, 1, nullptr);
        x->worksheet_write_blank(data, 1, 2, boxed);
        x->worksheet_merge_range(data, 7, 1, 7, 3, "merged", nullptr);
        x->worksheet_write_string(other, 2, 2, "other", nullptr);
        x->workbook_define_name(wb, "Value", "=Data!$B$2");
        x->workbook_define_name(wb, "Block", "=Data!$B$4:$D$6");
        x->workbook_define_name(wb, "Far", "=Other!$C$3");
        QCOMPARE(x->workbook_close(wb), LXW_NO_ERROR);
    }

    void cellNames_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("name");
        QTest::newRow("A1") << 1 << 1 << "A1";
        QTest::newRow("Z") << 7 << 26 << "Z7";
        QTest::newRow("AA") << 3 << 27 << "AA3";
        QTest::newRow("AZ") << 9 << 52 << "AZ9";
        QTest::newRow("BA") << 112 << 53 << "BA112";
        QTest::newRow("BE") << 443 << 57 << "BE443";
        QTest::newRow("last column") << 1 << 16384 << "XFD1";
    }
    void cellNames()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, name);
        QCOMPARE(XlsxCellName(row, col), name);
        int r = 0, c = 0;
        QVERIFY(XlsxParseCell(name, &r, &c));
        QCOMPARE(r, row);
        QCOMPARE(c, col);
        QVERIFY(XlsxParseCell(QStringLiteral("$%1$%2").arg(XlsxColumnName(col)).arg(row), &r, &c));
        QCOMPARE(r, row);
        QCOMPARE(c, col);
    }

    void badCellReferences_data()
    {
        QTest::addColumn<QString>("ref");
        for (const char *ref : {"", "A0", "1A", "ABCD1", "A-1", "A1:B2", "A1B"})
            QTest::newRow(*ref ? ref : "empty") << QString::fromLatin1(ref);
    }
    void badCellReferences()
    {
        QFETCH(QString, ref);
        int r = -7, c = -7;
        QVERIFY(!XlsxParseCell(ref, &r, &c));
        QCOMPARE(r, -7);
    }

    void sheetNames_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        QTest::newRow("korean caption") << "교차로신호운영계획입출력" << "교차로신호운영계획입출력";
        QTest::newRow("forbidden characters") << "a/b:c[d]*?\\" << "a_b_c_d____";
        QTest::newRow("too long") << QString(40, 'x') << QString(31, 'x');
        QTest::newRow("empty") << "" << "Sheet1";
        QTest::newRow("blank") << "   " << "Sheet1";
        QTest::newRow("apostrophes at the ends") << "'x'" << "x";
        QTest::newRow("apostrophe inside") << "O'Neil" << "O'Neil";
    }
    void sheetNames()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(XlsxValidSheetName(given), expected);
    }

    void namesAreFound_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<TXlsxRange>("range");
        QTest::newRow("single cell") << "Value" << true << TXlsxRange{2, 2, 2, 2};
        QTest::newRow("range") << "Block" << true << TXlsxRange{4, 2, 6, 4};
        QTest::newRow("case does not matter") << "value" << true << TXlsxRange{2, 2, 2, 2};
        QTest::newRow("on another sheet") << "Far" << false << TXlsxRange{};
        QTest::newRow("missing") << "Nothing" << false << TXlsxRange{};
    }
    void namesAreFound()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(TXlsxRange, range);
        TXlsxTemplate t;
        QString error;
        QVERIFY2(t.Open(fixture, &error), qPrintable(error));
        TXlsxRange r;
        QCOMPARE(t.FindName(name, &r), found);
        if (found)
            QCOMPARE(r, range);
    }

    // Values keep their cell's format unless given one; the merge, the other
    // sheet and the untouched cells survive.
    void valuesAndFormats()
    {
        TXlsxTemplate t;
        QVERIFY(t.Open(fixture));
        const int boxed = t.CellFormat(2, 3);
        QVERIFY(boxed > 0);
        QCOMPARE(t.CellFormat(50, 50), 0);
        const int green = t.AddFormat(boxed, {QColor("#B3B3B3"), QColor("#66CC66")});
        const int grey = t.AddFormat(boxed, {QColor("#B3B3B3"), QColor()});
        QVERIFY(green != boxed && grey != green);
        t.SetText(2, 3, "0A");                 // keeps the border
        t.SetText(3, 3, "1F", green);          // new cell with the green format
        t.SetText(4, 3, "00", grey);
        t.SetNumber(2, 2, 42.5);               // replaces the number
        t.SetText(5, 2, "  padded ");          // spaces kept
        t.SetEmpty(8, 2);                      // the merge's text goes, the merge stays
        t.SetNumber(20, 1, 7);                 // a row after every row of the sheet
        t.SetNumber(1, 30, 3);                 // a row before every row of the sheet
        const QString out = tmp.filePath("values.xlsx");
        QString error;
        QVERIFY2(t.Save(out, &error), qPrintable(error));

        const QJsonObject p = XlsxProbe::Read(out, {"C2", "C3", "C4", "B2", "B5", "B8", "A20", "AD1"});
        QCOMPARE(p.value("sheets").toInt(), 2);
        QCOMPARE(p.value("merges").toArray(), QJsonArray{"B8:D8"});
        auto cell = [&](const char *ref) { return XlsxProbe::Cell(p, ref); };
        QCOMPARE(cell("C2").value("value").toString(), "0A");
        QCOMPARE(cell("C2").value("left").toString(), "thin");
        QCOMPARE(cell("C2").value("fill").toString(), "");
        QCOMPARE(cell("C3").value("value").toString(), "1F");
        QCOMPARE(cell("C3").value("fill").toString(), "66CC66");
        QCOMPARE(cell("C3").value("font").toString(), "B3B3B3");
        QCOMPARE(cell("C3").value("left").toString(), "thin");
        QCOMPARE(cell("C4").value("fill").toString(), "");
        QCOMPARE(cell("C4").value("font").toString(), "B3B3B3");
        QCOMPARE(cell("B2").value("value").toString(), "42.5");
        QCOMPARE(cell("B2").value("type").toString(), "float");
        QCOMPARE(cell("B5").value("value").toString(), "  padded ");
        QCOMPARE(cell("B8").value("value").toString(), "");
        QCOMPARE(cell("A20").value("value").toString(), "7");
        QCOMPARE(cell("AD1").value("value").toString(), "3");
    }

    // The sheet's new name reaches the references of its names, not those of
    // other sheets; an apostrophe is doubled in the reference.
    void renameCarriesNames()
    {
        TXlsxTemplate t;
        QVERIFY(t.Open(fixture));
        QCOMPARE(t.SheetName(), "Data");
        t.RenameSheet("It's new");
        TXlsxRange r;
        QVERIFY(t.FindName("Block", &r));
        QCOMPARE(r, (TXlsxRange{4, 2, 6, 4}));
        const QString out = tmp.filePath("renamed.xlsx");
        QVERIFY(t.Save(out));
        const QJsonObject p = XlsxProbe::Read(out, {});
        QCOMPARE(p.value("title").toString(), "It's new");
        const QJsonObject names = p.value("names").toObject();
        QCOMPARE(names.value("Value").toString(), "'It''s new'!$B$2");
        QCOMPARE(names.value("Block").toString(), "'It''s new'!$B$4:$D$6");
        QCOMPARE(names.value("Far").toString(), "Other!$C$3");
    }

    // Pictures on two-cell anchors: offsets are fractions of the cell, a default
    // column being 64 pixels, a 20-character column 145 pixels and a default row
    // 15 points (9525 EMU a pixel, 12700 EMU a point).
    void pictures()
    {
        TXlsxTemplate t;
        QVERIFY(t.Open(fixture));
        QVERIFY(!t.AddPicture("not a picture", "bad", {1, 1}, {2, 2}));
        QVERIFY(t.AddPicture(Png(8, 4, Qt::red), "1현시", {2, 3, 0.5, 0.25}, {4, 2, 1.0, 1.0}));
        QVERIFY(t.AddPicture(Png(4, 4, Qt::blue), "Map", {10, 1, 20 / 256.0, 185 / 1024.0},
                             {12, 5, 235 / 256.0, 944 / 1024.0}));
        const QString out = tmp.filePath("pictures.xlsx");
        QVERIFY(t.Save(out));
        const QJsonObject p = XlsxProbe::Read(out, {"B2"});
        QCOMPARE(XlsxProbe::Cell(p, "B2").value("value").toString(), "1");
        const QJsonArray pics = p.value("pictures").toArray();
        QCOMPARE(pics.size(), 2);
        const QJsonObject a = pics[0].toObject(), b = pics[1].toObject();
        QCOMPARE(a.value("name").toString(), "1현시");
        QVERIFY(a.value("png").toBool());
        QCOMPARE(a.value("from").toArray(), (QJsonArray{2, 152400, 1, 95250}));
        QCOMPARE(a.value("to").toArray(), (QJsonArray{1, 1381125, 3, 190500}));
        QCOMPARE(b.value("name").toString(), "Map");
        // 185/1024 of 64 px = 11.5625 px; 20/256 of 15 pt = 1.171875 pt.
        QCOMPARE(b.value("from").toArray(), (QJsonArray{0, 110133, 9, 14883}));
        // 944/1024 of 64 px = 59 px; 235/256 of 15 pt = 13.76953125 pt.
        QCOMPARE(b.value("to").toArray(), (QJsonArray{4, 561975, 11, 174873}));
    }

    void refusedFiles()
    {
        TXlsxTemplate t;
        QString error;
        QVERIFY(!t.Open(tmp.filePath("missing.xlsx"), &error));
        QVERIFY(!error.isEmpty());
        QFile text(tmp.filePath("text.xlsx"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("plain text, not a workbook");
        text.close();
        error.clear();
        QVERIFY(!t.Open(text.fileName(), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!t.IsOpen());
        // A cut-off workbook.
        QFile whole(fixture);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QFile cut(tmp.filePath("cut.xlsx"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(whole.readAll().left(whole.size() / 2));
        cut.close();
        QVERIFY(!t.Open(cut.fileName(), &error));
        QVERIFY(!t.Save(tmp.filePath("never.xlsx"), &error));
        QVERIFY(!QFile::exists(tmp.filePath("never.xlsx")));
    }

    // A target that cannot be created (its folder is a file): refused, and the
    // file standing there is left as it was.
    void unwritableTarget()
    {
        TXlsxTemplate t;
        QVERIFY(t.Open(fixture));
        QString error;
        QVERIFY(!t.Save(fixture + "/out.xlsx", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(t.Open(fixture));
    }

    // The four templates: one sheet each, every name of the sheet at its cell
    // (the cells the import reads), the base formats of the signal map.
    void templates_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("lang");
        for (const char *type : {"2004", "2010"})
            for (const char *lang : {"ko", "en"})
                QTest::newRow(qPrintable(QStringLiteral("%1_%2").arg(type, lang))) << type << lang;
    }
    void templates()
    {
        QFETCH(QString, type);
        QFETCH(QString, lang);
        const QString file = TemplateFile(type, lang);
        QVERIFY2(QFile::exists(file), qPrintable(file));
        TXlsxTemplate t;
        QString error;
        QVERIFY2(t.Open(file, &error), qPrintable(error));
        struct Expect { QString name; int row, col; };
        QList<Expect> cells = {
            {"Group_ID", 3, 25}, {"Tcdv_ID", 3, 37}, {"Tcdv_Name", 3, 49}, {"WeekdayPlan", 16, 1},
            {"Holyday", 19, 49}, {"Int_Type", 38, 51}, {"Tcdv_Operation", 40, 51}, {"Main_Phase", 42, 51},
            {"Tcdv_Type", 44, 51}, {"Lamp_Type", 46, 51},
            {"ReservePlan1", 15, 11}, {"ReservePlan2", 16, 11}, {"ReservePlan3", 15, 27},
            {"ReservePlan4", 16, 27}, {"ReservePlan5", 15, 43}, {"ReservePlan6", 16, 43}};
        for (int n = 1; n <= 4; ++n)
            cells.append({QStringLiteral("Plan%1").arg(n), 19, 12 * n - 11});
        for (int r = 1; r <= 8; ++r)
            cells.append({QStringLiteral("Split%1").arg(r), 36 + 2 * r, 5});
        for (int r = 9; r <= 16; ++r)
            cells.append({QStringLiteral("Split%1").arg(r), 20 + 2 * r, 30});
        for (int k = 1; k <= 8; ++k)
            cells.append({QStringLiteral("Phase%1").arg(k), 5, 5 * k + 14});
        for (const Expect &e : cells) {
            TXlsxRange r;
            QVERIFY2(t.FindName(e.name, &r), qPrintable(e.name));
            QCOMPARE(r.Top, e.row);
            QCOMPARE(r.Left, e.col);
            if (e.name.startsWith("Phase")) {
                QCOMPARE(r.Bottom, 12);
                QCOMPARE(r.Right, e.col + 4);
            }
        }
        TXlsxRange r;
        QVERIFY(t.FindName("Create_Date", &r));
        QVERIFY(t.FindName("Map", &r));
        QVERIFY(r.Bottom > r.Top && r.Right > r.Left);
        // The map does not cover the signal-map block or the places the export writes.
        QVERIFY(r.Bottom < 112);
        QVERIFY(r.Left > 49 || r.Top > 108);

        const QJsonObject p = XlsxProbe::Read(file, {"E112", "C112", "E144", "C144"});
        QCOMPARE(p.value("sheets").toInt(), 1);
        for (const char *ref : {"E112", "C112", "E144", "C144"})
            QVERIFY2(!XlsxProbe::Cell(p, ref).value("left").toString().isEmpty(), ref);
        // The first row of ring B stands apart from ring A.
        QVERIFY(XlsxProbe::Cell(p, "E144").value("border") != XlsxProbe::Cell(p, "E112").value("border"));
        QVERIFY(t.CellFormat(112, 5) != t.CellFormat(112, 3));
        QVERIFY(t.CellFormat(144, 5) != t.CellFormat(112, 5));
    }
};

QTEST_GUILESS_MAIN(TstXlsxTemplate)
#include "tst_xlsx_template.moc"
