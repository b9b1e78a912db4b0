#include "intersection/TcdvConfExport.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSqlError>
#include <QSqlQuery>

#include "core/Quorval.h"
#include "core/XlsxTemplate.h"
#include "core/untCodeToText.h"

namespace TcdvConf {

namespace {

// A missing name ends the export.
struct TNameMissing
{
    QString Name;
};
struct TDbFailure
{
    QString Text;
};

TXlsxRange Name(const TXlsxTemplate &book, const QString &name)
{
    TXlsxRange r;
    if (!book.FindName(name, &r))
        throw TNameMissing{name};
    return r;
}

void Exec(QSqlQuery &q)
{
    if (!q.exec())
        throw TDbFailure{q.lastError().text()};
}

void Number(TXlsxTemplate &book, int row, int col, const QVariant &v)
{
    if (!v.isNull())
        book.SetNumber(row, col, v.toDouble());
}

} // namespace

int SheetSignalMapClasses(TLcTypeEx type)
{
    return type == lct2010_3L || type == lct2010_4L ? 5 : 2;
}

QHash<QString, int> AddSignalFormats(TXlsxTemplate &book)
{
    const QColor grey("#B3B3B3");
    const QHash<QString, QColor> fills{{"G", QColor("#66CC66")}, {"Y", QColor("#FFCC33")},
                                       {"R", QColor("#FF8CAA")}, {"E", QColor("#DC7C7C")}};
    QHash<QString, int> f;
    for (const QString &b : {QString(), QStringLiteral("B")}) {
        const int lamp = book.CellFormat(b.isEmpty() ? 112 : 144, 5);
        const int other = book.CellFormat(b.isEmpty() ? 112 : 144, 3);
        f.insert("W" + b, book.AddFormat(lamp, {grey, QColor()}));
        for (auto it = fills.cbegin(); it != fills.cend(); ++it)
            f.insert(it.key() + b, book.AddFormat(lamp, {QColor(), it.value()}));
        f.insert("E" + b + "Z", book.AddFormat(lamp, {grey, fills.value("E")}));
        f.insert("D" + b, other);
    }
    return f;
}

QByteArray ArrowPng(const TMovement &m, const QSize &size, const QColor &background)
{
    if (m.mvmt_no == 0 || size.isEmpty())
        return {};
    QImage img(size, QImage::Format_RGB32);
    img.fill(background);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        DrawSmoothMvmt(&p, QRect(QPoint(0, 0), size), m.mvmt_no == 17 || m.mvmt_no == 18,
                       m.head_angle.str().toDouble(), m.end_angle.str().toDouble(), background,
                       QColor(91, 155, 91));
    }
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

TExportResult ExportToWorkbook(QSqlDatabase db, const TSheetSnapshot &s, const QString &templateFile,
                               const QString &target, QString *detail)
{
    auto say = [&](const QString &text) {
        if (detail)
            *detail = text;
    };
    if (!QFileInfo(templateFile).isFile()) {
        say(templateFile);
        return TExportResult::TemplateMissing;
    }
    TXlsxTemplate book;
    QString error;
    if (!book.Open(templateFile, &error)) {
        say(error);
        return TExportResult::TemplateMissing;
    }
    try {
        book.RenameSheet(s.SheetName);
        TXlsxRange r = Name(book, "Group_ID");
        book.SetNumber(r.Top, r.Left, s.SaNo);
        r = Name(book, "Tcdv_ID");
        book.SetNumber(r.Top, r.Left, s.LcNo);
        r = Name(book, "Tcdv_Name");
        book.SetText(r.Top, r.Left, s.LcName);
        r = Name(book, "Create_Date");
        book.SetText(r.Top, r.Left, s.CreateDate);

        // Day plans 1-4 of the group.
        QSqlQuery q(db);
        q.prepare("SELECT SA_DPLAN, SA_DPLANINDEX, SA_STARTHOUR, SA_STARTMIN, SA_SPLIT FROM SCS_M_SADPLAN "
                  "WHERE SA_NO = :SA_NO AND SA_DPLAN IN (1, 2, 3, 4)");
        q.bindValue(":SA_NO", s.SaNo);
        Exec(q);
        while (q.next()) {
            r = Name(book, QStringLiteral("Plan%1").arg(q.value(0).toInt()));
            const int row = r.Top + q.value(1).toInt();
            book.SetText(row, r.Left + 2, QStringLiteral("%1:%2")
                                              .arg(q.value(2).toInt(), 2, 10, QLatin1Char('0'))
                                              .arg(q.value(3).toInt(), 2, 10, QLatin1Char('0')));
            Number(book, row, r.Left + 8, q.value(4));
        }

        // Week plan.
        q.prepare("SELECT SA_WEEK, SA_DPLAN FROM SCS_M_SAWPLAN WHERE SA_NO = :SA_NO ORDER BY SA_WEEK");
        q.bindValue(":SA_NO", s.SaNo);
        Exec(q);
        while (q.next()) {
            const int week = q.value(0).toInt();
            r = Name(book, "WeekdayPlan");
            if (week >= 1 && week <= 7)
                Number(book, r.Top, r.Left + week - 1, q.value(1));
        }

        // Special days: the sheet holds 16.
        for (int i = 0; i < s.Special.size() && i < kSheetSpecialDays; ++i) {
            r = Name(book, "Holyday");
            QString md = s.Special[i].MonthDay;
            if (md.isEmpty())
                md = QStringLiteral("00/00");
            book.SetText(r.Top + i + 1, r.Left + 2, md.section('/', 0, 0));
            book.SetText(r.Top + i + 1, r.Left + 4, md.section('/', 1, 1));
            Number(book, r.Top + i + 1, r.Left + 6, s.Special[i].Plan);
        }

        // Time plans 1-4.
        auto planOffset = [](int plan) { return plan == 2 ? 19 : plan == 3 ? 37 : plan == 4 ? 55 : 0; };
        q.prepare("SELECT T2.INT_TPLAN, T2.INT_TPLANINDEX, T2.INT_OFFSET, "
                  " T2.INT_ASPLIT1, T2.INT_ASPLIT2, T2.INT_ASPLIT3, T2.INT_ASPLIT4, "
                  " T2.INT_ASPLIT5, T2.INT_ASPLIT6, T2.INT_ASPLIT7, T2.INT_ASPLIT8, "
                  " T2.INT_BSPLIT1, T2.INT_BSPLIT2, T2.INT_BSPLIT3, T2.INT_BSPLIT4, "
                  " T2.INT_BSPLIT5, T2.INT_BSPLIT6, T2.INT_BSPLIT7, T2.INT_BSPLIT8 "
                  "FROM SCS_M_INTLC T1 INNER JOIN SCS_M_INTTPLAN T2 ON T1.INT_LCNO = T2.INT_LCNO "
                  "LEFT JOIN SCS_M_SAAPLAN T3 ON T3.SA_NO = T1.INT_SANO AND T3.SA_APLAN = T2.INT_TPLAN "
                  " AND T3.SA_APLANINDEX = (CASE WHEN T2.INT_TPLANINDEX = 1 THEN 1 "
                  "   WHEN T2.INT_TPLANINDEX IN (2,3,4) THEN 2 WHEN T2.INT_TPLANINDEX IN (5,6,7) THEN 3 "
                  "   WHEN T2.INT_TPLANINDEX IN (8,9,10) THEN 4 WHEN T2.INT_TPLANINDEX IN (11,12,13) THEN 5 "
                  "   WHEN T2.INT_TPLANINDEX IN (14,15,16) THEN 6 ELSE 0 END) "
                  "WHERE T3.SA_NO IS NOT NULL AND T1.INT_LCNO = :INT_LCNO AND T2.INT_TPLAN IN (1, 2, 3, 4) "
                  "ORDER BY T2.INT_TPLAN, T2.INT_TPLANINDEX");
        q.bindValue(":INT_LCNO", s.LcNo);
        Exec(q);
        while (q.next()) {
            const int index = q.value(1).toInt();
            if (index < 1 || index > 16)
                continue;
            r = Name(book, QStringLiteral("Split%1").arg(index));
            const int row = r.Top + planOffset(q.value(0).toInt());
            Number(book, row, r.Left + 2, q.value(2));
            for (int k = 1; k <= 8; ++k) {
                Number(book, row, r.Left + 3 + 2 * k, q.value(2 + k));
                Number(book, row + 1, r.Left + 3 + 2 * k, q.value(10 + k));
            }
        }

        // Cycle lengths.
        q.prepare("SELECT SA_APLAN, SA_APLANINDEX, SA_CYCLELENGTH FROM SCS_M_SAAPLAN "
                  "WHERE SA_NO = :SA_NO AND SA_APLAN IN (1, 2, 3, 4) ORDER BY SA_APLAN, SA_APLANINDEX");
        q.bindValue(":SA_NO", s.SaNo);
        Exec(q);
        static const int cycleNames[] = {1, 2, 5, 8, 11, 14};
        while (q.next()) {
            const int cycleRow = q.value(1).toInt();
            if (cycleRow < 1 || cycleRow > 6)
                continue;
            const int o = planOffset(q.value(0).toInt());
            r = Name(book, QStringLiteral("Split%1").arg(cycleNames[cycleRow - 1]));
            Number(book, r.Top + o, r.Left - 2, q.value(2));
            if (cycleRow == 4) {
                r = Name(book, "Split9");
                Number(book, r.Top + o, r.Left - 2, q.value(2));
            }
        }

        // Phases with their arrows.
        for (int k = 1; k <= 8; ++k) {
            r = Name(book, QStringLiteral("Phase%1").arg(k));
            const QString picName = QStringLiteral("%1현시").arg(k);
            const QVariant a = s.Phase[1][k - 1], b = s.Phase[3][k - 1];
            if (a.isValid() && !a.isNull()) {
                if (!s.Arrows[k - 1][0].isEmpty())
                    book.AddPicture(s.Arrows[k - 1][0], picName, {r.Top + 1, r.Left, 20 / 256.0, 185 / 1024.0},
                                    {r.Top + 3, r.Left + 4, 235 / 256.0, 944 / 1024.0});
                book.SetNumber(r.Top, r.Left, CircledToMovementNo(a.toString()));
            }
            if (b.isValid() && !b.isNull()) {
                if (!s.Arrows[k - 1][1].isEmpty())
                    book.AddPicture(s.Arrows[k - 1][1], picName, {r.Top + 4, r.Left, 20 / 256.0, 185 / 1024.0},
                                    {r.Top + 6, r.Left + 4, 235 / 256.0, 944 / 1024.0});
                book.SetNumber(r.Bottom, r.Left, CircledToMovementNo(b.toString()));
            }
        }

        // Reservations: the sheet holds 6.
        for (int n = 1; n <= s.Reserve.size() && n <= kSheetReservations; ++n) {
            const TReserveRow &f = s.Reserve[n - 1];
            r = Name(book, QStringLiteral("ReservePlan%1").arg(n));
            Number(book, r.Top, r.Left, f.Month);
            Number(book, r.Top, r.Left + 2, f.Day);
            book.SetText(r.Top, r.Left + 4, QString::number(f.WeekdayCode));
            book.SetText(r.Top, r.Left + 6, f.Start);
            book.SetText(r.Top, r.Left + 8, f.End);
            book.SetText(r.Top, r.Left + 10, QString::number(f.FunctionCode));
            if (!f.SpcNo.isEmpty())
                book.SetNumber(r.Top, r.Left + 14, f.SpcNo.toDouble());
        }

        // Attributes of the intersection and its group.
        q.prepare("SELECT INT_IMPORFLAG, INT_LCTYPE, INT_LAMPTYPE FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO");
        q.bindValue(":INT_LCNO", s.LcNo);
        Exec(q);
        if (q.next()) {
            r = Name(book, "Int_Type");
            book.SetText(r.Top, r.Left, GetImporFlagText(q.value(0).toInt()));
            r = Name(book, "Tcdv_Type");
            book.SetText(r.Top, r.Left, GetLcTypeText(q.value(1).toInt()));
            r = Name(book, "Lamp_Type");
            book.SetText(r.Top, r.Left, GetLampTypeShortText(q.value(2).toInt()));
        }
        q.prepare("SELECT SA_DEFAULTCNTLMODE FROM SCS_M_SAOPERATE WHERE SA_NO = :SA_NO");
        q.bindValue(":SA_NO", s.SaNo);
        Exec(q);
        if (q.next()) {
            r = Name(book, "Tcdv_Operation");
            book.SetText(r.Top, r.Left, GetCtrlModeText(quint8(q.value(0).toInt())));
        }
        q.prepare("SELECT MIN(INT_PHASENO) AS PHASE_NO FROM SCS_M_INTPHASE "
                  "WHERE INT_LCNO = :INT_LCNO AND INT_MAINPHASE = 1");
        q.bindValue(":INT_LCNO", s.LcNo);
        Exec(q);
        if (q.next()) {
            r = Name(book, "Main_Phase");
            Number(book, r.Top, r.Left, q.value(0));
        }

        // Signal maps of the classes the sheet holds.
        const QHash<QString, int> fmt = AddSignalFormats(book);
        const int classes = SheetSignalMapClasses(s.Type);
        for (int ring = 1; ring <= 2; ++ring) {
            q.prepare(QStringLiteral(
                          "SELECT INT_PLANCLSS, INT_STEPNO, INT_VEH1, INT_PED1, INT_VEH2, INT_PED2, INT_VEH3, "
                          " INT_PED3, INT_VEH4, INT_PED4, INT_VEH5, INT_PED5, INT_VEH6, INT_PED6, INT_VEH7, "
                          " INT_PED7, INT_VEH8, INT_PED8, INT_MINSPLIT, INT_MAXSPLIT, INT_EOP "
                          "FROM SCS_M_INTSIGMAP WHERE INT_LCNO = :INT_LCNO AND INT_PLANCLSS BETWEEN 1 AND %1 "
                          " AND INT_RING = :INT_RING ORDER BY INT_PLANCLSS, INT_STEPNO")
                          .arg(classes));
            q.bindValue(":INT_LCNO", s.LcNo);
            q.bindValue(":INT_RING", ring);
            Exec(q);
            while (q.next()) {
                const int cls = q.value(0).toInt(), step = q.value(1).toInt();
                if (step < 1 || step > 32)
                    continue;
                const int row = SignalMapRow(cls, ring, step);
                const bool firstB = ring == 2 && step == 1;
                const bool eop = q.value(20).toInt() == 1;
                const QString b = firstB ? QStringLiteral("B") : QString();
                for (int n = 1; n <= 8; ++n) {
                    for (int ped = 0; ped < 2; ++ped) {
                        const int code = q.value(2 + 2 * (n - 1) + ped).toInt();
                        const QString key = SignalCellKey(s.Type, code, firstB, eop,
                                                          ped ? TLampColumn::Pedestrian : TLampColumn::Vehicle);
                        book.SetText(row, ped ? 6 * n + 2 : 6 * n - 1,
                                     QStringLiteral("%1").arg(code & 0xFF, 2, 16, QLatin1Char('0')).toUpper(),
                                     fmt.value(key));
                    }
                }
                const int minSplit = q.value(18).toInt(), maxSplit = q.value(19).toInt();
                const int kept = -1;
                const int eFmt = eop ? fmt.value("E" + b) : kept;
                if (minSplit > 0 && maxSplit == 0) {
                    book.SetNumber(row, 53, minSplit, eFmt);
                    book.SetEmpty(row, 55, fmt.value("D" + b));
                } else if (minSplit == 0 && maxSplit > 0) {
                    book.SetEmpty(row, 53, fmt.value("D" + b));
                    book.SetNumber(row, 55, maxSplit, eFmt);
                } else {
                    book.SetEmpty(row, 53);
                    book.SetEmpty(row, 55);
                }
                if (eop)
                    book.SetText(row, 57, QStringLiteral("Y"), fmt.value("E" + b));
                else
                    book.SetEmpty(row, 57);
            }
        }

        // The map.
        r = Name(book, "Map");
        if (!s.MapPng.isEmpty())
            book.AddPicture(s.MapPng, QStringLiteral("Map"), {r.Top, r.Left, 10 / 256.0, 185 / 1024.0},
                            {r.Bottom, r.Right, 245 / 256.0, 944 / 1024.0});
    } catch (const TNameMissing &m) {
        say(m.Name);
        return TExportResult::NameMissing;
    } catch (const TDbFailure &f) {
        say(f.Text);
        return TExportResult::DbError;
    }

    if (QFileInfo::exists(target) && !QFile::remove(target)) {
        say(target);
        return TExportResult::FileInUse;
    }
    if (!book.Save(target, &error)) {
        say(error);
        return TExportResult::WriteError;
    }
    return TExportResult::Ok;
}

} // namespace TcdvConf
