// The operation plan sheet written into its template and read back with
// openpyxl (cells, fills, pictures), and the export's refusals.
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "EditorFixture.h"
#include "PlanSheetFixture.h"
#include "XlsxProbe.h"
#include "core/LookupUnit.h"
#include "foundation/XlsxWriterLib.h"
#include "intersection/TcdvConfExport.h"

using namespace TcdvConf;

namespace {

QByteArray Png(QColor c)
{
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(c);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

QString Template(const QString &type)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath("template/tcdv_conf_template_" + type + "_ko.xlsx");
}

} // namespace

class TstPlanSheetExport : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb db;
    QTemporaryDir tmp;

    // Intersection 1 as the window shows it: phase 1 ① / 17, phase 2 ⑮ only,
    // twenty special days, eight reservations, a map.
    TSheetSnapshot Snapshot1()
    {
        TSheetSnapshot s;
        s.LcNo = 1;
        s.SaNo = 1;
        s.LcName = "신사역사거리";
        s.SheetName = "교차로신호운영계획입출력";
        s.CreateDate = "작성일자 : 2026년 12월 11일";
        s.Type = lct2010_4L;
        s.Phase[0][0] = 1;
        s.Phase[1][0] = "①";
        s.Phase[2][0] = 9;
        s.Phase[3][0] = "17";
        s.Phase[0][1] = 15;
        s.Phase[1][1] = "⑮";
        s.Arrows[0][0] = Png(Qt::green);
        s.Arrows[0][1] = Png(Qt::yellow);
        s.Arrows[1][0] = Png(Qt::blue);
        for (int i = 1; i <= 20; ++i)
            s.Special.append({i, QStringLiteral("%1/%2").arg(i % 12 + 1, 2, 10, QChar('0')).arg(i, 2, 10, QChar('0')), i % 4 + 1});
        QList<TReserveRow> rows;
        LoadReservePlan(DM->Con(), 1, &rows);
        s.Reserve = rows;
        for (int n = 3; n <= 8; ++n) {
            TReserveRow r;
            r.Index = n;
            r.Month = 7;
            r.Day = n;
            r.WeekdayCode = 2;
            r.FunctionCode = 1;
            r.Start = "01:00";
            r.End = "02:00";
            s.Reserve.append(r);
        }
        s.MapPng = Png(Qt::gray);
        return s;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        QVERIFY(db.Open("plansheet_export"));
        QString error;
        QVERIFY2(db.Run(PlanSheetFixture::Sql(), &error), qPrintable(error));
    }

    // Every name's cell of a 2010 sheet as the layout says.
    void export2010()
    {
        const QString out = tmp.filePath("0001.xlsx");
        QString detail;
        QCOMPARE(ExportToWorkbook(DM->Con(), Snapshot1(), Template("2010"), out, &detail), TExportResult::Ok);
        struct C { const char *ref; const char *value; };
        const QList<C> cells = {
            {"Y3", "1"}, {"AK3", "1"}, {"AW3", "신사역사거리"}, {"A2", "작성일자 : 2026년 12월 11일"},
            // day plans 1-3 (start at L + 2, split at L + 8); plans 6 and 7 stay off the sheet
            {"C20", "00:00"}, {"I20", "1"}, {"C21", "07:30"}, {"I21", "2"}, {"C22", "22:00"},
            {"O20", "06:05"}, {"U20", "1"}, {"O21", "18:00"}, {"U21", "3"}, {"AA20", "00:00"}, {"AG20", "1"},
            {"AM20", ""},
            // week plan Sunday .. Saturday
            {"A16", "2"}, {"B16", "1"}, {"F16", "1"}, {"G16", "3"},
            // special days: month, day, plan; only 16 rows
            {"AY20", "02"}, {"BA20", "01"}, {"BC20", "2"}, {"AY35", "05"}, {"BA35", "16"}, {"BC35", "1"},
            {"AY36", ""}, {"BA36", ""}, {"BC36", ""},
            // time plans: offset at L + 2, ring A / B split k at L + 3 + 2k
            {"G38", "0"}, {"J38", "30"}, {"J39", "40"}, {"X38", "0"}, {"G40", "15"}, {"J40", "40"}, {"L40", "35"},
            {"J46", ""}, {"G46", ""},
            // cycle lengths at L - 2
            {"C38", "120"}, {"C40", "140"}, {"C57", "100"}, {"C75", "90"},
            // phases: ring A number at the top, ring B at the bottom
            {"S5", "1"}, {"S12", "17"}, {"X5", "15"}, {"X12", ""}, {"AC5", ""},
            // reservations 1, 2 and the sixth; month, day, weekday, start, end, function, EMAP number
            {"K15", "5"}, {"M15", "1"}, {"O15", "8"}, {"Q15", "08:00"}, {"S15", "09:30"}, {"U15", "4"}, {"Y15", "2"},
            {"K16", "0"}, {"O16", "1"}, {"Q16", "23:05"}, {"S16", "05:00"}, {"U16", "2"}, {"Y16", ""},
            {"AQ16", "7"}, {"AS16", "6"},
            // attributes
            {"AY38", "CI"}, {"AY40", "TOD"}, {"AY42", "2"}, {"AY44", "2010"}, {"AY46", "4색"},
            // signal maps: class 1 ring A steps 1, 2, ring B step 1; class 5 ring A step 32
            {"E112", "01"}, {"H112", "10"}, {"K112", "02"}, {"N112", "30"}, {"Q112", "00"}, {"BA112", "20"},
            {"BC112", ""}, {"BE112", ""}, {"E113", "00"}, {"H113", "05"}, {"BE113", "Y"},
            {"E144", "40"}, {"BA144", ""}, {"BC144", "30"}, {"BE144", "Y"}, {"E411", "03"}, {"E114", ""}};
        QStringList refs;
        for (const C &c : cells)
            refs << c.ref;
        const QJsonObject p = XlsxProbe::Read(out, refs);
        QCOMPARE(p.value("title").toString(), "교차로신호운영계획입출력");
        for (const C &c : cells)
            QVERIFY2(XlsxProbe::Cell(p, c.ref).value("value").toString() == QString::fromUtf8(c.value),
                     qPrintable(QStringLiteral("%1: %2").arg(c.ref, XlsxProbe::Cell(p, c.ref).value("value").toString())));
        // Names refer to the renamed sheet.
        QCOMPARE(p.value("names").toObject().value("Tcdv_ID").toString(), "'교차로신호운영계획입출력'!$AK$3");

        // Lamp cell formats: fill and font of each key.
        struct F { const char *ref; const char *fill; const char *font; };
        for (const F &f : {F{"E112", "66CC66", ""}, F{"H112", "66CC66", ""}, F{"K112", "FFCC33", ""},
                           F{"N112", "FF8CAA", ""}, F{"Q112", "", "B3B3B3"}, F{"E113", "DC7C7C", "B3B3B3"},
                           F{"H113", "DC7C7C", ""}, F{"BE113", "DC7C7C", ""}, F{"E144", "66CC66", ""},
                           F{"BC144", "DC7C7C", ""}, F{"E411", "FFCC33", ""}}) {
            const QJsonObject c = XlsxProbe::Cell(p, f.ref);
            QVERIFY2(c.value("fill").toString() == f.fill, f.ref);
            if (*f.font)
                QVERIFY2(c.value("font").toString() == f.font, f.ref);
            else
                QVERIFY2(c.value("font").toString() != "B3B3B3", f.ref);
        }
        // The first row of ring B keeps its base format's edge.
        QCOMPARE(XlsxProbe::Cell(p, "E144").value("border").toString(), "medium");
        QCOMPARE(XlsxProbe::Cell(p, "E112").value("border").toString(), "thin");

        // Pictures: three arrows on their phase cells and the map over its range
        // (0-based columns and rows in the drawing).
        QStringList pics;
        for (const QJsonValue &v : p.value("pictures").toArray()) {
            const QJsonObject o = v.toObject();
            const QJsonArray f = o.value("from").toArray(), t = o.value("to").toArray();
            pics << QStringLiteral("%1 %2,%3-%4,%5 %6")
                        .arg(o.value("name").toString())
                        .arg(f[0].toInt())
                        .arg(f[2].toInt())
                        .arg(t[0].toInt())
                        .arg(t[2].toInt())
                        .arg(o.value("png").toBool() ? "png" : "-");
        }
        pics.sort();
        QCOMPARE(pics, (QStringList{"1현시 18,5-22,7 png", "1현시 18,8-22,10 png", "2현시 23,5-27,7 png",
                                    "Map 50,49-59,107 png"}));
    }

    // A 2004 sheet carries signal-map classes 1 and 2 only.
    void export2004()
    {
        TSheetSnapshot s;
        s.LcNo = 3;
        s.SaNo = 1;
        s.LcName = "도산공원사거리";
        s.SheetName = "Output TOD";
        s.Type = lct2004;
        const QString out = tmp.filePath("0003.xlsx");
        QCOMPARE(ExportToWorkbook(DM->Con(), s, Template("2004"), out), TExportResult::Ok);
        const QJsonObject p = XlsxProbe::Read(out, {"E112", "E246", "AY44", "AY46", "J38", "S5", "K15"});
        QCOMPARE(p.value("title").toString(), "Output TOD");
        QCOMPARE(XlsxProbe::Cell(p, "E112").value("value").toString(), "04");
        QCOMPARE(XlsxProbe::Cell(p, "E112").value("fill").toString(), "66CC66");
        QCOMPARE(XlsxProbe::Cell(p, "E246").value("value").toString(), "");
        QCOMPARE(XlsxProbe::Cell(p, "AY44").value("value").toString(), "2004");
        QCOMPARE(XlsxProbe::Cell(p, "AY46").value("value").toString(), "4색");
        QCOMPARE(XlsxProbe::Cell(p, "J38").value("value").toString(), "60");
        QCOMPARE(XlsxProbe::Cell(p, "S5").value("value").toString(), "");
        QCOMPARE(p.value("pictures").toArray().size(), 0);
    }

    // Refusals: nothing is written.
    void refusals()
    {
        // A template without most names.
        const QString thin = tmp.filePath("thin.xlsx");
        const TXlsxWriterApi *x = XlsxWriterApi();
        QVERIFY(x);
        lxw_workbook *wb = x->workbook_new(thin.toUtf8().constData());
        x->workbook_add_worksheet(wb, "Sheet1");
        x->workbook_define_name(wb, "Group_ID", "=Sheet1!$Y$3");
        QCOMPARE(x->workbook_close(wb), LXW_NO_ERROR);

        const TSheetSnapshot s = Snapshot1();
        const QString out = tmp.filePath("refused.xlsx");
        QString detail;
        QCOMPARE(ExportToWorkbook(DM->Con(), s, tmp.filePath("none.xlsx"), out, &detail), TExportResult::TemplateMissing);
        QCOMPARE(ExportToWorkbook(DM->Con(), s, tmp.path(), out, &detail), TExportResult::TemplateMissing);
        QCOMPARE(ExportToWorkbook(DM->Con(), s, thin, out, &detail), TExportResult::NameMissing);
        QCOMPARE(detail, "Tcdv_ID");
        QVERIFY(!QFile::exists(out));

        // A database error.
        QCOMPARE(ExportToWorkbook(QSqlDatabase(), s, Template("2010"), out, &detail), TExportResult::DbError);
        QVERIFY(!QFile::exists(out));

        // A target that cannot be replaced (a folder with a file in it stands there).
        const QString busy = tmp.filePath("busy.xlsx");
        QVERIFY(QDir().mkpath(busy));
        QFile keep(busy + "/keep");
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.close();
        QCOMPARE(ExportToWorkbook(DM->Con(), s, Template("2010"), busy, &detail), TExportResult::FileInUse);
        QVERIFY(QFile::exists(busy + "/keep"));

        // An existing workbook is replaced.
        QFile old(out);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QCOMPARE(ExportToWorkbook(DM->Con(), s, Template("2010"), out, &detail), TExportResult::Ok);
        QVERIFY(QFileInfo(out).size() > 3);
    }
};

QTEST_MAIN(TstPlanSheetExport)
#include "tst_plansheet_export.moc"
