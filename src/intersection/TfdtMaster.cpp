#include "intersection/TfdtMaster.h"

#include <QSqlRecord>

#include "core/GridHelpers.h"

namespace TfdtMaster {

namespace {

// A cell read as an integer for a statement: an empty cell gives 0.
QVariant Int(const TGridRow &row, const QString &column)
{
    const QString text = row.Text(column).trimmed();
    return text.isEmpty() ? 0 : text.toInt();
}

const QStringList kFields{"INT_LCNO", "TFDT_NO", "TFDT_TYPE", "TFDT_USE", "TFDT_RING", "TFDT_PHASE", "TFDT_DIR",
                          "TFDT_IODIR", "TFDT_LANE", "TFDT_POSITION", "TFDT_WGHVOL", "TFDT_WGHSPD",
                          "TFDT_WGHSATURATION", "MAIN_RING", "MAIN_PHASE", "SUB_RING", "SUB_PHASE",
                          "TFDT_REGFLAG", "TFDT_ID", "TFDT_REAL_LCNO", "TFDT_REAL_CHANNEL"};

} // namespace

TGridColumns Columns()
{
    return {
        TGridColumn("INT_LCNO").Key("gtvGridINT_LCNO.Caption").W(60).RO().Req(),
        TGridColumn("TFDT_NO").Key("gtvGridTFDT_NO.Caption").W(60).Range(1, MaxChannels).Req(),
        TGridColumn("TFDT_TYPE").Key("gtvGridTFDT_TYPE.Caption").W(90),
        TGridColumn("TFDT_USE").Key("gtvGridTFDT_USE.Caption").W(90).Req(),
        TGridColumn("TFDT_RING").Key("gtvGridTFDT_RING.Caption").W(50),
        TGridColumn("TFDT_PHASE").Key("gtvGridTFDT_PHASE.Caption").W(60).Range(0, 255).Fmt("#."),
        TGridColumn("TFDT_DIR").Key("gtvGridTFDT_DIR.Caption").W(80),
        TGridColumn("TFDT_IODIR").Key("gtvGridTFDT_IODIR.Caption").W(70),
        TGridColumn("TFDT_LANE").Key("gtvGridTFDT_LANE.Caption").W(60).Range(1, 10),
        TGridColumn("TFDT_POSITION").Key("gtvGridTFDT_POSITION.Caption").W(150).Range(0, 255),
        TGridColumn("TFDT_WGHVOL").Key("gtvGridTFDT_WGHVOL.Caption").W(70).Range(0, 999),
        TGridColumn("TFDT_WGHSPD").Key("gtvGridTFDT_WGHSPD.Caption").W(70).Range(0, 999),
        TGridColumn("TFDT_WGHSATURATION").Key("gtvGridTFDT_WGHSATURATION.Caption").W(70).Range(0, 999),
        TGridColumn("MAIN_RING").Key("gtvGridMAIN_RING.Caption").W(60).Hidden(),
        TGridColumn("MAIN_PHASE").Key("gtvGridMAIN_PHASE.Caption").W(60).Range(0, 8).Hidden(),
        TGridColumn("SUB_RING").Key("gtvGridSUB_RING.Caption").W(60).Hidden(),
        TGridColumn("SUB_PHASE").Key("gtvGridSUB_PHASE.Caption").W(60).Range(0, 8).Hidden(),
        TGridColumn("TFDT_REGFLAG").Key("gtvGridTFDT_REGFLAG.Caption").W(50).Ed("cxEditRepositoryCheckBoxItem"),
        TGridColumn("TFDT_ID").Key("gtvGridTFDT_ID.Caption").W(90).Max(10),
        TGridColumn("TFDT_REAL_LCNO").Key("gtvGridTFDT_REAL_LCNO.Caption").W(80).Range(0, 32767),
        TGridColumn("TFDT_REAL_CHANNEL").Key("gtvGridTFDT_REAL_CHANNEL.Caption").W(80).Range(1, LastDirectChannel),
        TGridColumn("TFDT_POSITION_MIRROR").Key("gtvGridTFDT_POSITION_MIRROR.Caption").W(100).Range(0, 9999),
        TGridColumn("Type").Key("gtvGridType.Caption").W(60).RO(),
        TGridColumn("INT_LCTYPE").Hidden(),
    };
}

bool IsDirect(const QVariant &channel)
{
    return channel.toString().trimmed().toInt() <= LastDirectChannel;
}

QString SearchSql(bool all)
{
    return QStringLiteral(
               "SELECT T.INT_LCNO, I.INT_LCTYPE, T.TFDT_NO, T.TFDT_TYPE, T.TFDT_USE, T.TFDT_RING, T.TFDT_PHASE, "
               "T.TFDT_DIR, T.TFDT_IODIR, T.TFDT_LANE, T.TFDT_POSITION, T.TFDT_WGHVOL, T.TFDT_WGHSPD, "
               "T.TFDT_WGHSATURATION, T.MAIN_RING, T.MAIN_PHASE, T.SUB_RING, T.SUB_PHASE, T.TFDT_REGFLAG, "
               "T.TFDT_REAL_LCNO, T.TFDT_REAL_CHANNEL, T.TFDT_ID "
               "FROM SCS_M_TFDTOPERATE T LEFT JOIN SCS_M_INTLC I ON I.INT_LCNO = T.INT_LCNO ")
           + (all ? QString() : QStringLiteral("WHERE T.INT_LCNO = :INT_LCNO "))
           + QStringLiteral("ORDER BY T.INT_LCNO, T.TFDT_NO");
}

void LoadRows(TGridModel &model, QSqlQuery &query)
{
    // The query stands on its first row (as QueryOpen leaves it) or before it.
    if (!query.isValid() && !query.next())
        return;
    do {
        const QSqlRecord r = query.record();
        QVariantMap v;
        for (int i = 0; i < r.count(); ++i)
            v.insert(r.fieldName(i).toUpper(), query.value(i));
        const int lcNo = v.value("INT_LCNO").toInt();
        const int channel = v.value("TFDT_NO").toInt();
        v["INT_LCNO"] = lcNo;
        v["TFDT_NO"] = channel;
        if (!v.value("INT_LCTYPE").isNull())
            v["INT_LCTYPE"] = v.value("INT_LCTYPE").toInt();
        if (!v.value("TFDT_PHASE").isNull() && v.value("TFDT_PHASE").toInt() == 0)
            v["TFDT_PHASE"] = QVariant();
        if (v.value("TFDT_ID").toString().trimmed() == QLatin1String("0"))
            v["TFDT_ID"] = QString();
        const QVariant position = v.value("TFDT_POSITION");
        if (channel > LastDirectChannel) {
            v["TFDT_LANE"] = QVariant();
            v["TFDT_POSITION"] = QVariant();
            v["TFDT_POSITION_MIRROR"] = position;
        } else {
            v["TFDT_REAL_LCNO"] = QVariant();
            v["TFDT_REAL_CHANNEL"] = QVariant();
            if (!position.isNull())
                v["TFDT_POSITION"] = position.toInt();
        }
        model.AddLoadedNamed(v, QString::number(lcNo) + ',' + QString::number(channel));
    } while (query.next());
}

int NextChannel(const TGridModel &model)
{
    if (model.RecordCount() == 0)
        return 1;
    return model.Text(model.RecordCount() - 1, model.ColumnIndex("TFDT_NO")).trimmed().toInt() + 1;
}

bool CellEditable(const TGridModel &model, int rec, int col)
{
    if (rec < 0 || col < 0 || rec >= model.RecordCount())
        return true;
    const QString name = model.Column(col).Name;
    const bool direct = IsDirect(model.Value(rec, "TFDT_NO"));
    if (name == QLatin1String("TFDT_LANE") || name == QLatin1String("TFDT_POSITION"))
        return direct;
    if (name == QLatin1String("TFDT_REAL_LCNO") || name == QLatin1String("TFDT_REAL_CHANNEL")
        || name == QLatin1String("TFDT_POSITION_MIRROR"))
        return !direct;
    if (name.startsWith(QLatin1String("MAIN_")) || name.startsWith(QLatin1String("SUB_")))
        return model.Text(rec, model.ColumnIndex("TFDT_USE")).trimmed().toInt() == SpillBackUse;
    return !model.Column(col).ReadOnly;
}

void SaveRow(QSqlDatabase db, const TGridRow &row)
{
    const QStringList key = row.KeyParts();
    QVariantMap p{{":KEY_INT_LCNO", key.value(0)}, {":KEY_TFDT_NO", key.value(1)}};
    QString sql;
    if (row.IsDeleted()) {
        sql = "DELETE FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = :KEY_INT_LCNO AND TFDT_NO = :KEY_TFDT_NO";
    } else {
        for (const QString &f : kFields)
            p.insert(':' + f, Int(row, f));
        // The detector id is text; an empty one is written as an empty text.
        const QString id = row.Text("TFDT_ID").trimmed();
        p[":TFDT_ID"] = id.isEmpty() ? QStringLiteral("") : id;
        const QVariant null(QMetaType::fromType<int>());
        if (IsDirect(row["TFDT_NO"])) {
            p[":TFDT_REAL_LCNO"] = null;
            p[":TFDT_REAL_CHANNEL"] = null;
        } else {
            p[":TFDT_LANE"] = null;
            p[":TFDT_POSITION"] = Int(row, "TFDT_POSITION_MIRROR");
        }
        if (row.Text("TFDT_USE").trimmed().toInt() != SpillBackUse)
            for (const char *f : {":MAIN_RING", ":MAIN_PHASE", ":SUB_RING", ":SUB_PHASE"})
                p[QString::fromLatin1(f)] = null;
        QStringList params;
        for (const QString &f : kFields)
            params << ':' + f;
        if (row.IsInserted()) {
            sql = "INSERT INTO SCS_M_TFDTOPERATE (" + kFields.join(", ") + ") VALUES (" + params.join(", ") + ')';
            p.remove(":KEY_INT_LCNO");
            p.remove(":KEY_TFDT_NO");
        } else {
            QStringList set;
            for (const QString &f : kFields)
                set << f + " = :" + f;
            sql = "UPDATE SCS_M_TFDTOPERATE SET " + set.join(", ")
                  + " WHERE INT_LCNO = :KEY_INT_LCNO AND TFDT_NO = :KEY_TFDT_NO";
        }
    }
    ExecSqlOrThrow(db, sql, p);
}

} // namespace TfdtMaster
