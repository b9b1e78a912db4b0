#include "intersection/PhaseMvmt.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

#include "core/GridHelpers.h"
#include "core/siLang.h"
#include "foundation/IniFile.h"
#include "foundation/JsEscape.h"
#include "foundation/QuorvalBase.h"

namespace PhaseMvmt {

namespace {

QString TextOf(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

int DigitAt(const QString &s, int index)
{
    return index < s.size() && s.at(index).isDigit() ? s.at(index).digitValue() : 0;
}

} // namespace

QStringList PlanClassTexts(TLcTypeEx type)
{
    const QString table = QStringLiteral("TfrmTCDV_E_PhaseMvmt");
    QStringList list{siText(table, QStringLiteral("strGeneralPlan"))};
    if (type == lct2004 || type == lctNone)
        return list << siText(table, QStringLiteral("IDS_0"));
    for (int i = 1; i <= 6; ++i)
        list << siText(table, QStringLiteral("IDS_%1").arg(i));
    return list;
}

QString ArrowName(int planClass, int phase, int ring)
{
    return QStringLiteral("mvmt%1%2%3").arg(planClass).arg(phase).arg(ring);
}

bool LoadMovements(QSqlDatabase db, int lcNo, TMovementBlock *block, QString *error)
{
    *block = TMovementBlock{};
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(TLC_INFO_SET::MovementSql(true))) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        const int planClass = q.value(1).toInt(), phase = q.value(2).toInt(), ring = q.value(3).toInt();
        const int flow = q.value(4).toInt();
        if (planClass < 1 || planClass > MVMT_PLAN_CLASSES || phase < 1 || phase > MVMT_PHASES || ring < 1
            || ring > MVMT_RINGS || flow < 1 || flow > 18)
            continue;
        TMovement &m = (*block)[planClass - 1][phase - 1][ring - 1];
        m.mvmt_no = flow;
        m.phase_type = quint8(flow == 17 || flow == 18 ? 1 : 0);
        m.head_lat = TextOf(q.value(6));
        m.head_lng = TextOf(q.value(7));
        m.mid_lat = TextOf(q.value(8));
        m.mid_lng = TextOf(q.value(9));
        m.end_lat = TextOf(q.value(10));
        m.end_lng = TextOf(q.value(11));
        m.label_lat = TextOf(q.value(12));
        m.label_lng = TextOf(q.value(13));
        m.head_angle = TextOf(q.value(14));
        m.end_angle = TextOf(q.value(15));
        m.min_split = q.value(16).toInt();
        m.max_split = q.value(17).toInt();
        m.yellow = q.value(18).toInt();
        m.link_id = TextOf(q.value(19));
    }
    return true;
}

const QStringList &PointColumns()
{
    static const QStringList c{"INT_HEAD_LAT", "INT_HEAD_LNG", "INT_MIDDLE_LAT", "INT_MIDDLE_LNG", "INT_END_LAT",
                               "INT_END_LNG",  "INT_LABEL_LAT", "INT_LABEL_LNG", "INT_HEAD_ANGLE", "INT_END_ANGLE"};
    return c;
}

const QStringList &PointMembers()
{
    static const QStringList m{"headPointLat", "headPointLng", "middlePointLat", "middlePointLng", "endPointLat",
                               "endPointLng",  "labelPointLat", "labelPointLng", "headAngle",     "endAngle"};
    return m;
}

bool ParseSavePoint(const QString &json, TSavePoint *point)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    point->Name = o.value(QStringLiteral("name")).toString();
    point->PlanClass = DigitAt(point->Name, 4);
    point->Phase = DigitAt(point->Name, 5);
    point->Ring = DigitAt(point->Name, 6);
    point->Values.clear();
    for (const QString &member : PointMembers())
        point->Values << o.value(member).toVariant().toString();
    return true;
}

void TMvmtSaver::Begin()
{
    FOk = true;
    FError.clear();
    FUpdated = 0;
}

TMvmtSaver::TKind TMvmtSaver::Handle(const QString &message)
{
    if (message == QLatin1String("Done"))
        return Done;
    const int colon = message.indexOf(QLatin1Char(':'));
    if (colon < 0 || message.left(colon) != QLatin1String("savePoint"))
        return Ignored;
    TSavePoint point;
    if (!ParseSavePoint(message.mid(colon + 1), &point)) {
        FOk = false;
        FError = QStringLiteral("savePoint: not a JSON object");
        return SavePoint;
    }
    SaveOne(point);
    return SavePoint;
}

void TMvmtSaver::SaveOne(const TSavePoint &point)
{
    const bool own = !ConInTransaction(FDb);
    if (own)
        ConStartTransaction(FDb);
    try {
        QStringList sets;
        QVariantMap params;
        for (int i = 0; i < PointColumns().size(); ++i) {
            sets << PointColumns().at(i) + QStringLiteral(" = :") + PointColumns().at(i);
            params.insert(QLatin1Char(':') + PointColumns().at(i), point.Values.value(i));
        }
        params.insert(QStringLiteral(":INT_LCNO"), FLcNo);
        params.insert(QStringLiteral(":INT_PLANCLSS"), point.PlanClass);
        params.insert(QStringLiteral(":INT_PHASENO"), point.Phase);
        params.insert(QStringLiteral(":INT_RING"), point.Ring);
        FUpdated += ExecSqlOrThrow(FDb,
                                   QStringLiteral(" UPDATE SCS_M_INTPHASE SET ") + sets.join(QStringLiteral(", "))
                                       + QStringLiteral(" WHERE INT_LCNO = :INT_LCNO AND INT_PLANCLSS = :INT_PLANCLSS "
                                                        "AND INT_PHASENO = :INT_PHASENO AND INT_RING = :INT_RING"),
                                   params);
        if (own && !ConCommit(FDb))
            throw EGridSaveError(FDb.lastError().text());
    } catch (const std::exception &e) {
        if (own)
            ConRollback(FDb);
        FOk = false;
        FError = QString::fromUtf8(e.what());
    }
}

void CopyToLive(const TMovementBlock &block, TSTT_LC_INFO *live)
{
    if (live)
        live->Movements = block;
}

void TMvmtSettings::Read(const QString &iniFile)
{
    const TIniFile ini(iniFile);
    MoveColor = ini.ReadInteger(Section, QStringLiteral("MOVE_COLOR"), 6146608);
    MoveFontColor = ini.ReadInteger(Section, QStringLiteral("MOVE_FONT_COLOR"), 16777215);
    SelMoveColor = ini.ReadInteger(Section, QStringLiteral("SELMOVE_COLOR"), 8421376);
    SelMoveFontColor = ini.ReadInteger(Section, QStringLiteral("SELMOVE_FONT_COLOR"), 16777215);
    MoveLength = std::clamp(ini.ReadInteger(Section, QStringLiteral("MOVE_LENGTH"), 50), 0, 200);
    MoveSize = std::clamp(ini.ReadInteger(Section, QStringLiteral("MOVE_SIZE"), 10), 0, 100);
    XOffsetSize = std::clamp(ini.ReadInteger(Section, QStringLiteral("X_OFFSET_SIZE"), 15), -50, 50);
    YOffsetSize = std::clamp(ini.ReadInteger(Section, QStringLiteral("Y_OFFSET_SIZE"), 10), -50, 50);
    LOffsetSize = std::clamp(ini.ReadInteger(Section, QStringLiteral("L_OFFSET_SIZE"), 20), -50, 50);
}

void TMvmtSettings::Write(const QString &iniFile) const
{
    TIniFile ini(iniFile);
    ini.WriteInteger(Section, QStringLiteral("MOVE_COLOR"), MoveColor);
    ini.WriteInteger(Section, QStringLiteral("MOVE_FONT_COLOR"), MoveFontColor);
    ini.WriteInteger(Section, QStringLiteral("SELMOVE_COLOR"), SelMoveColor);
    ini.WriteInteger(Section, QStringLiteral("SELMOVE_FONT_COLOR"), SelMoveFontColor);
    ini.WriteInteger(Section, QStringLiteral("MOVE_LENGTH"), MoveLength);
    ini.WriteInteger(Section, QStringLiteral("MOVE_SIZE"), MoveSize);
    ini.WriteInteger(Section, QStringLiteral("X_OFFSET_SIZE"), XOffsetSize);
    ini.WriteInteger(Section, QStringLiteral("Y_OFFSET_SIZE"), YOffsetSize);
    ini.WriteInteger(Section, QStringLiteral("L_OFFSET_SIZE"), LOffsetSize);
}

QString ColorText(int platformColor)
{
    return TColorToQColor(quint32(platformColor)).name();
}

QStringList InitMapViewScripts(const QString &lat, const QString &lng, int maxZoom, const QString &tileUrl,
                               const QString &mapName)
{
    return {QStringLiteral("initialize(%1, %2, %3, %4, %5)")
                .arg(JsNumText(lat), JsNumText(lng), JsNum(maxZoom - 1), JsStr(tileUrl), JsStr(mapName)),
            QStringLiteral(" var MvmtLayer = new L.FeatureGroup();"), QStringLiteral(" map.addLayer(MvmtLayer);"),
            QStringLiteral(" window.loadEnd();")};
}

TArrowScripts StoredArrowScripts(const TMovementBlock &block, int planClass, const QString &lat, const QString &lng,
                                 const TMvmtSettings &settings)
{
    TArrowScripts out;
    out.Scripts << QStringLiteral(" MvmtLayer.clearLayers();");
    if (planClass < 1 || planClass > MVMT_PLAN_CLASSES)
        return out;
    const QString centre = QStringLiteral("[%1, %2]").arg(JsNumText(lat), JsNumText(lng));
    for (int phase = 1; phase <= MVMT_PHASES; ++phase)
        for (int ring = 1; ring <= MVMT_RINGS; ++ring) {
            const TMovement &m = block[planClass - 1][phase - 1][ring - 1];
            if (m.mvmt_no < 1)
                continue;
            if (m.head_lat.trimmed().isEmpty()) {
                out.MissingHead = true;
                return out;
            }
            const QString texts[10] = {m.head_lat, m.head_lng, m.mid_lat, m.mid_lng, m.end_lat,
                                       m.end_lng, m.label_lat, m.label_lng, m.head_angle, m.end_angle};
            QString n[10];
            bool usable = true;
            for (int i = 0; i < 10; ++i) {
                n[i] = JsNumText(texts[i].trimmed(), QString());
                usable = usable && !n[i].isEmpty();
            }
            if (!usable)
                continue;   // a stored text that is not a number: this arrow is left out
            const QString name = ArrowName(planClass, phase, ring);
            out.Names << name;
            out.Scripts << QStringLiteral("%1 = L.movement([%2, [%3, %4], [%5, %6], [%7, %8], [%9, %10]], "
                                          "{color: %11, radius: %12, weight: %12, label: %13, headAngle: %14, "
                                          "endAngle: %15}, %16); MvmtLayer.addLayer(%1);")
                               .arg(name, centre, n[0], n[1], n[2], n[3], n[4], n[5], n[6])
                               .arg(n[7], JsStr(ColorText(settings.MoveColor)), JsNum(settings.MoveSize),
                                    JsNum(m.mvmt_no - 1), n[8], n[9], JsStr(name));
        }
    return out;
}

TArrowScripts DefaultArrowScripts(const TMovementBlock &block, int planClass, const QString &lat, const QString &lng,
                                  const TMvmtSettings &settings, int startAngle)
{
    TArrowScripts out;
    out.Scripts << QStringLiteral(" MvmtLayer.clearLayers();");
    if (planClass < 1 || planClass > MVMT_PLAN_CLASSES)
        return out;
    for (int phase = 1; phase <= MVMT_PHASES; ++phase)
        for (int ring = 1; ring <= MVMT_RINGS; ++ring) {
            const TMovement &m = block[planClass - 1][phase - 1][ring - 1];
            if (m.mvmt_no < 1)
                continue;
            out.MissingHead = out.MissingHead || m.head_lat.trimmed().isEmpty();
            const QString name = ArrowName(planClass, phase, ring);
            out.Names << name;
            out.Scripts << QStringLiteral("init(%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11);")
                               .arg(JsNumText(lat), JsNumText(lng), JsNum(m.mvmt_no - 1), JsNum(settings.MoveLength),
                                    JsNum(settings.MoveSize), JsNum(settings.XOffsetSize), JsNum(settings.YOffsetSize),
                                    JsNum(settings.LOffsetSize), JsNum(startAngle))
                               .arg(JsStr(ColorText(settings.MoveColor)), JsStr(name));
        }
    return out;
}

QString SelectScript(const QString &name, int platformColor)
{
    return QStringLiteral("if (typeof %1 !== \"undefined\") { %1.setStyle({color: %2}); selectedMovemet = %1; }")
        .arg(name, JsStr(ColorText(platformColor)));
}

QStringList SaveScripts(const QStringList &names)
{
    QStringList list;
    for (const QString &n : names)
        list << n + QStringLiteral(".getSavePoints();");
    return list << QStringLiteral(" console.log(\"Done\");");
}

} // namespace PhaseMvmt
