#include "intersection/FirmwareRegister.h"

#include <QDateTime>
#include <QFile>

#include "core/GridHelpers.h"
#include "foundation/QuorvalBase.h"

namespace FirmwareRegister {

int FwId(const TFwKey &key)
{
    return key.Kind * 10000 + key.Vendor * 100 + key.Module;
}

TFwKey Decode(int fwId)
{
    return {fwId / 10000, (fwId % 10000) / 100, fwId % 100};
}

QString SearchSql(const TFilter &filter)
{
    QStringList where;
    if (filter.Kind > 0)
        where << QStringLiteral("FLOOR(FW_ID / 10000) = :KIND");
    if (filter.Vendor >= 0)
        where << QStringLiteral("FLOOR(MOD(FW_ID, 10000) / 100) = :VENDOR");
    if (filter.Module > 0)
        where << QStringLiteral("MOD(FW_ID, 100) = :MODULE");
    return QStringLiteral("SELECT FW_ID, FW_CREDATE, FW_VER_MAJOR, FW_VER_MINOR, FW_VER_MODULE, FW_VER_REV, "
                          "FW_FILENAME, FW_SIZE, FW_BINARY, FW_CRC32 FROM SCS_M_FIRMWARE ")
           + (where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND ")))
           + QStringLiteral(" ORDER BY FW_ID");
}

void Bind(QSqlQuery &query, const TFilter &filter)
{
    if (filter.Kind > 0)
        query.bindValue(QStringLiteral(":KIND"), filter.Kind);
    if (filter.Vendor >= 0)
        query.bindValue(QStringLiteral(":VENDOR"), filter.Vendor);
    if (filter.Module > 0)
        query.bindValue(QStringLiteral(":MODULE"), filter.Module);
}

TGridColumns Columns()
{
    return {
        TGridColumn("FWType").Key("gtvGridFWType.Caption").W(60).Req().Choices({{1, "MCU"}, {2, "SCU"}}),
        TGridColumn("VendorCD").Key("gtvGridVendorCD.Caption").W(80).RO().Req(),
        TGridColumn("ModuleNo").Key("gtvGridModuleNo.Caption").W(70).Range(0, 99).Req(),
        TGridColumn("FW_CREDATE").Key("gtvGridFW_CREDATE.Caption").W(140).Fmt("yyyy-MM-dd HH:mm:ss").Req(),
        TGridColumn("FW_VER_MAJOR").Key("gtvGridFW_VER_MAJOR.Caption").W(80).Range(0, 255),
        TGridColumn("FW_VER_MINOR").Key("gtvGridFW_VER_MINOR.Caption").W(80).Range(0, 255),
        TGridColumn("FW_VER_MODULE").Key("gtvGridFW_VER_MODULE.Caption").W(80).Range(0, 255),
        TGridColumn("FW_VER_REV").Key("gtvGridFW_VER_REV.Caption").W(80).Range(0, 65535),
        TGridColumn("FW_BINARY").Key("gtvGridFW_BINARY.Caption").W(90).RO().Req(),
        TGridColumn("FW_SIZE").Key("gtvGridFW_SIZE.Caption").W(90).RO().Fmt(",0."),
        TGridColumn("FW_CRC32").Key("gtvGridFW_CRC32.Caption").W(100).RO(),
    };
}

void LoadRows(TGridModel &model, QSqlQuery &query)
{
    // The query stands on its first row (as QueryOpen leaves it) or before it.
    if (!query.isValid() && !query.next())
        return;
    do {
        const int id = query.value(0).toInt();
        const TFwKey key = Decode(id);
        const QString crc = query.value(9).toString().trimmed();
        const QByteArray bytes = query.value(8).toByteArray();
        model.AddLoadedNamed({{"FWType", key.Kind},
                              {"VendorCD", key.Vendor},
                              {"ModuleNo", key.Module},
                              {"FW_CREDATE", query.value(1)},
                              {"FW_VER_MAJOR", query.value(2)},
                              {"FW_VER_MINOR", query.value(3)},
                              {"FW_VER_MODULE", query.value(4)},
                              {"FW_VER_REV", query.value(5)},
                              {"FW_SIZE", query.value(7)},
                              {"FW_BINARY", bytes.isEmpty() ? QVariant() : QVariant(bytes)},
                              {"FW_CRC32", crc.isEmpty() ? QString() : QStringLiteral("0x") + crc}},
                             QString::number(id));
    } while (query.next());
}

QString CrcText(const QByteArray &bytes)
{
    return QStringLiteral("0x") + CRC32ToHex(GetCRC32Value(bytes));
}

TImage ReadImage(const QString &fileName)
{
    TImage image;
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        image.Error = f.errorString();
        return image;
    }
    image.Bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        image.Error = f.errorString();
        image.Bytes.clear();
        return image;
    }
    image.Crc = CrcText(image.Bytes);
    return image;
}

void SetImage(TGridModel &model, int rec, const TImage &image)
{
    model.EditValue(rec, model.ColumnIndex(QStringLiteral("FW_BINARY")), image.Bytes);
    model.SetValue(rec, model.ColumnIndex(QStringLiteral("FW_SIZE")), int(image.Bytes.size()));
    model.SetValue(rec, model.ColumnIndex(QStringLiteral("FW_CRC32")), image.Crc);
}

QString RowFwId(const TGridRow &row)
{
    auto part = [&row](const char *c) { return row.Text(QString::fromLatin1(c)).trimmed().toInt(); };
    return QString::number(FwId({part("FWType"), part("VendorCD"), part("ModuleNo")}));
}

void SaveRow(QSqlDatabase db, const TGridRow &row)
{
    QVariantMap p{{":KEY_FW_ID", row.KeyValue}};
    QString sql;
    if (row.IsDeleted()) {
        sql = QStringLiteral("DELETE FROM SCS_M_FIRMWARE WHERE FW_ID = :KEY_FW_ID");
    } else {
        auto num = [&row](const char *c) {
            const QString t = row.Text(QString::fromLatin1(c)).trimmed();
            return t.isEmpty() ? 0 : t.toInt();
        };
        QDateTime date = row["FW_CREDATE"].toDateTime();
        if (!date.isValid())
            date = QDateTime::fromString(row.Text("FW_CREDATE").trimmed(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!date.isValid())
            date = QDateTime::currentDateTime();
        // Size and CRC are those of the bytes written, whatever the cells show.
        const QByteArray bytes = row["FW_BINARY"].toByteArray();
        p.insert(":FW_ID", RowFwId(row));
        p.insert(":FW_CREDATE", date);
        p.insert(":FW_VER_MAJOR", num("FW_VER_MAJOR"));
        p.insert(":FW_VER_MINOR", num("FW_VER_MINOR"));
        p.insert(":FW_VER_MODULE", num("FW_VER_MODULE"));
        p.insert(":FW_VER_REV", num("FW_VER_REV"));
        p.insert(":FW_SIZE", int(bytes.size()));
        p.insert(":FW_BINARY", bytes);
        p.insert(":FW_CRC32", CRC32ToHex(GetCRC32Value(bytes)));
        if (row.IsInserted()) {
            p.remove(":KEY_FW_ID");
            sql = QStringLiteral("INSERT INTO SCS_M_FIRMWARE (FW_ID, FW_CREDATE, FW_VER_MAJOR, FW_VER_MINOR, "
                                 "FW_VER_MODULE, FW_VER_REV, FW_SIZE, FW_BINARY, FW_CRC32) VALUES (:FW_ID, "
                                 ":FW_CREDATE, :FW_VER_MAJOR, :FW_VER_MINOR, :FW_VER_MODULE, :FW_VER_REV, "
                                 ":FW_SIZE, :FW_BINARY, :FW_CRC32)");
        } else {
            sql = QStringLiteral("UPDATE SCS_M_FIRMWARE SET FW_ID = :FW_ID, FW_CREDATE = :FW_CREDATE, "
                                 "FW_VER_MAJOR = :FW_VER_MAJOR, FW_VER_MINOR = :FW_VER_MINOR, "
                                 "FW_VER_MODULE = :FW_VER_MODULE, FW_VER_REV = :FW_VER_REV, FW_SIZE = :FW_SIZE, "
                                 "FW_BINARY = :FW_BINARY, FW_CRC32 = :FW_CRC32 WHERE FW_ID = :KEY_FW_ID");
        }
    }
    ExecSqlOrThrow(db, sql, p);
}

} // namespace FirmwareRegister
