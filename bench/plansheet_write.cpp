// Writing one operation plan sheet: the 2010 template opened, every named cell,
// the full signal map (5 plan classes x 2 rings x 32 steps, 16 coloured lamp
// cells and the split cells each), 16 arrow pictures and the map picture placed,
// the workbook saved. Prints the time per workbook beside the fixed waiting an
// export of all intersections spends per intersection (1.1 s), as a ratio.
//   bench-plansheet_write [workbooks]
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>

#include "core/XlsxTemplate.h"
#include "intersection/TcdvConf.h"
#include "intersection/TcdvConfExport.h"

using namespace TcdvConf;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    constexpr double kLimitMs = 1100.0;
    const QString tmpl = QDir(QCoreApplication::applicationDirPath()).filePath("template/tcdv_conf_template_2010_ko.xlsx");
    QTemporaryDir tmp;
    TMovement m;
    m.mvmt_no = 3;
    m.head_angle = "180";
    m.end_angle = "0";
    const QByteArray arrow = ArrowPng(m, {60, 35}, Qt::white);
    QImage mapImg(800, 600, QImage::Format_RGB32);
    mapImg.fill(Qt::darkGray);
    QByteArray map;
    QBuffer buf(&map);
    buf.open(QIODevice::WriteOnly);
    mapImg.save(&buf, "PNG");

    QElapsedTimer t;
    t.start();
    for (int run = 0; run < runs; ++run) {
        TXlsxTemplate book;
        QString error;
        if (!book.Open(tmpl, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        book.RenameSheet("교차로신호운영계획입출력");
        TXlsxRange r;
        for (const char *name : {"Group_ID", "Tcdv_ID", "Int_Type", "Tcdv_Operation", "Main_Phase", "Tcdv_Type", "Lamp_Type"})
            if (book.FindName(name, &r))
                book.SetNumber(r.Top, r.Left, 1);
        for (int p = 1; p <= 4; ++p)
            if (book.FindName(QStringLiteral("Plan%1").arg(p), &r))
                for (int i = 1; i <= 16; ++i) {
                    book.SetText(r.Top + i, r.Left + 2, "07:30");
                    book.SetNumber(r.Top + i, r.Left + 8, i);
                }
        for (int s = 1; s <= 16; ++s)
            if (book.FindName(QStringLiteral("Split%1").arg(s), &r))
                for (int o : {0, 19, 37, 55})
                    for (int k = 1; k <= 8; ++k) {
                        book.SetNumber(r.Top + o, r.Left + 3 + 2 * k, 30);
                        book.SetNumber(r.Top + o + 1, r.Left + 3 + 2 * k, 30);
                    }
        for (int k = 1; k <= 8; ++k)
            if (book.FindName(QStringLiteral("Phase%1").arg(k), &r)) {
                book.AddPicture(arrow, "arrow", {r.Top + 1, r.Left, 0.08, 0.18}, {r.Top + 3, r.Left + 4, 0.9, 0.9});
                book.AddPicture(arrow, "arrow", {r.Top + 4, r.Left, 0.08, 0.18}, {r.Top + 6, r.Left + 4, 0.9, 0.9});
            }
        const QHash<QString, int> fmt = AddSignalFormats(book);
        for (int c = 1; c <= 5; ++c)
            for (int ring = 1; ring <= 2; ++ring)
                for (int s = 1; s <= 32; ++s) {
                    const int row = SignalMapRow(c, ring, s);
                    const bool eop = s % 4 == 0;
                    for (int n = 1; n <= 8; ++n)
                        for (int ped = 0; ped < 2; ++ped) {
                            const int code = (s + n) % 3 == 0 ? 48 : 1;
                            book.SetText(row, ped ? 6 * n + 2 : 6 * n - 1, "30",
                                         fmt.value(SignalCellKey(lct2010_4L, code, ring == 2 && s == 1, eop,
                                                                 ped ? TLampColumn::Pedestrian : TLampColumn::Vehicle)));
                        }
                    book.SetNumber(row, 53, 20);
                    book.SetEmpty(row, 55, fmt.value("D"));
                    if (eop)
                        book.SetText(row, 57, "Y", fmt.value("E"));
                }
        if (book.FindName("Map", &r))
            book.AddPicture(map, "Map", {r.Top, r.Left, 0.04, 0.18}, {r.Bottom, r.Right, 0.95, 0.92});
        if (!book.Save(tmp.filePath("sheet.xlsx"), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    const double perMs = double(t.nsecsElapsed()) / 1e6 / runs;
    std::printf("write one plan sheet workbook: %.1f ms   limit %.0f ms (fixed waits per intersection)   ratio %.3f\n",
                perMs, kLimitMs, perMs / kLimitMs);
    return 0;
}
