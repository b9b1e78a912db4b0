#pragma once
// Writing the operation plan sheet of one intersection into a workbook made
// from its template (core/XlsxTemplate.h), without a window: the window hands
// over what it shows (TSheetSnapshot) and shows the result's box.
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QSize>
#include <QSqlDatabase>
#include <QString>
#include <array>

#include "intersection/TcdvConf.h"

class TXlsxTemplate;

namespace TcdvConf {

// What the window shows of the intersection, as the export needs it.
struct TSheetSnapshot
{
    int LcNo = 0;
    int SaNo = 0;
    QString LcName;
    QString SheetName;      // the window's caption
    QString CreateDate;     // "작성일자 : ..." filled with today's date
    TLcTypeEx Type = lctNone;
    TPhaseGrid Phase{};     // the phase grid of the plan class shown
    std::array<std::array<QByteArray, 2>, 8> Arrows; // PNG of phase k, ring A/B; empty: none
    QList<TSpecialRow> Special;
    QList<TReserveRow> Reserve;
    QByteArray MapPng;      // empty: no map picture
};

enum class TExportResult {
    Ok,
    TemplateMissing, // no template folder or file, or not a workbook
    NameMissing,     // the template lacks a defined name (detail: the name)
    FileInUse,       // the existing target cannot be removed
    DbError,         // a query failed (detail: the error)
    WriteError       // the workbook cannot be written (detail: the reason)
};

// The sheet holds 16 special days and 6 reservations; signal-map classes 1-5
// (1-2 for a 2004 controller).
inline constexpr int kSheetSpecialDays = 16;
inline constexpr int kSheetReservations = 6;
int SheetSignalMapClasses(TLcTypeEx type);

// Writes the sheet. Nothing is written to `target` unless the result is Ok.
TExportResult ExportToWorkbook(QSqlDatabase db, const TSheetSnapshot &sheet, const QString &templateFile,
                               const QString &target, QString *detail = nullptr);

// The arrow picture of one movement as the phase grid paints it (DrawSmoothMvmt,
// arrow colour RGB(91,155,91)); empty for movement 0.
QByteArray ArrowPng(const TMovement &movement, const QSize &size, const QColor &background);

// The signal-map cell formats of one workbook, key -> format ("W" .. "DB"),
// built from the base formats in E112, C112, E144 and C144.
QHash<QString, int> AddSignalFormats(TXlsxTemplate &book);

} // namespace TcdvConf
