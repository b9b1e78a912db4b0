#pragma once
// The group outlines (SCS_M_SAOPERATE.SA_LATLNGS) between the database and a
// workbook, without windows: the listing, the workbook written and read back
// (column A group number, B name, C outline text; row 1 the captions) and the
// update of the outlines. The outline tool's dialog only shows these rows.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace SaOutlines {

// The most characters a workbook cell holds.
inline constexpr int MaxCellChars = 32767;

struct TOutline
{
    int SaNo = 0;
    QString Name;
    QString Links;     // properties.linkList of the outline, "" when it has none
    QString LatLngs;   // the whole outline text as stored
};

// properties.linkList of an outline text (a JSON object whose member
// "properties" is an object); "" for any other text.
QString LinkListOf(const QString &outline);

// Every group with its outline, by number; false with the error when the query fails.
bool ListOutlines(QSqlDatabase db, QList<TOutline> *rows, QString *error = nullptr);

// The first row whose outline does not fit a workbook cell; -1 when all fit.
int FirstTooLong(const QList<TOutline> &rows);
// Writes the rows as one sheet under the captions (group number, name, outline).
// Refuses (false, nothing written) an outline longer than a cell holds.
bool ExportOutlines(const QString &fileName, const QList<TOutline> &rows, const QStringList &captions,
                    QString *error = nullptr);
// Reads sheet 1 from row 2: columns A, B, C trimmed; a row whose A is not a whole
// number above 0 is skipped. The rows read before a failure stay in *rows.
bool LoadOutlines(const QString &fileName, QList<TOutline> *rows, QString *error = nullptr);

// Writes the outline of every row whose number is above 0 (CP949 bytes; a blank
// outline gives NULL). Only SA_LATLNGS is touched; a group that does not exist
// changes nothing. Runs inside the caller's transaction; throws on failure.
void InsertOutlines(QSqlDatabase db, const QList<TOutline> &rows);

} // namespace SaOutlines
