#include "plans/SaOutlines.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>

#include "core/GridExport.h"
#include "core/GridHelpers.h"
#include "core/XlsxReader.h"
#include "foundation/Cp949.h"

namespace SaOutlines {

QString LinkListOf(const QString &outline)
{
    const QJsonDocument doc = QJsonDocument::fromJson(outline.toUtf8());
    if (!doc.isObject())
        return QString();
    const QJsonValue props = doc.object().value(QStringLiteral("properties"));
    if (!props.isObject())
        return QString();
    return props.toObject().value(QStringLiteral("linkList")).toString();
}

bool ListOutlines(QSqlDatabase db, QList<TOutline> *rows, QString *error)
{
    rows->clear();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral(" SELECT SA_NO, SA_NAME, SA_LATLNGS FROM SCS_M_SAOPERATE ORDER BY SA_NO "))) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        TOutline o;
        o.SaNo = q.value(0).toInt();
        o.Name = q.value(1).toString();
        if (!q.value(2).isNull()) {
            o.LatLngs = BlobText(q.value(2));
            o.Links = LinkListOf(o.LatLngs);
        }
        rows->append(o);
    }
    return true;
}

int FirstTooLong(const QList<TOutline> &rows)
{
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].LatLngs.size() > MaxCellChars)
            return i;
    return -1;
}

bool ExportOutlines(const QString &fileName, const QList<TOutline> &rows, const QStringList &captions,
                    QString *error)
{
    const int tooLong = FirstTooLong(rows);
    if (tooLong >= 0) {
        if (error)
            *error = QStringLiteral("%1 (%2)").arg(rows[tooLong].SaNo).arg(rows[tooLong].Name);
        return false;
    }
    TXlsxTable t;
    t.Header = captions;
    t.Widths = {60, 160, 600};
    for (const TOutline &o : rows)
        t.Rows << QStringList{QString::number(o.SaNo), o.Name, o.LatLngs};
    return WriteXlsxTable(fileName, t, error);
}

bool LoadOutlines(const QString &fileName, QList<TOutline> *rows, QString *error)
{
    TXlsxReader reader;
    if (!reader.Open(fileName, error))
        return false;
    const QList<QStringList> sheet = reader.Rows(0);
    for (int r = 1; r < sheet.size(); ++r) {
        const QStringList &cells = sheet[r];
        bool ok = false;
        const int no = cells.value(0).trimmed().toInt(&ok);
        if (!ok || no <= 0)
            continue;
        TOutline o;
        o.SaNo = no;
        o.Name = cells.value(1).trimmed();
        o.LatLngs = cells.value(2).trimmed();
        rows->append(o);
    }
    return true;
}

void InsertOutlines(QSqlDatabase db, const QList<TOutline> &rows)
{
    for (const TOutline &o : rows) {
        if (o.SaNo <= 0)
            continue;
        if (o.LatLngs.trimmed().isEmpty())
            ExecSqlOrThrow(db, QStringLiteral(" UPDATE SCS_M_SAOPERATE SET SA_LATLNGS = NULL WHERE SA_NO = :SA_NO "),
                           {{QStringLiteral(":SA_NO"), o.SaNo}});
        else
            ExecSqlOrThrow(db, QStringLiteral(" UPDATE SCS_M_SAOPERATE SET SA_LATLNGS = :SA_LATLNGS WHERE SA_NO = :SA_NO "),
                           {{QStringLiteral(":SA_LATLNGS"), ToCp949(o.LatLngs)}, {QStringLiteral(":SA_NO"), o.SaNo}});
    }
}

} // namespace SaOutlines
