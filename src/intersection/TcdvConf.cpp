#include "intersection/TcdvConf.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/siLang.h"

namespace TcdvConf {

namespace {

QString Tx(const char *key)
{
    return TsiLangDispatcher::instance()->Text(kTextTable, QString::fromLatin1(key));
}

QString HhMm(const QVariant &h, const QVariant &m)
{
    return QStringLiteral("%1:%2").arg(h.toInt(), 2, 10, QLatin1Char('0')).arg(m.toInt(), 2, 10, QLatin1Char('0'));
}

bool Run(QSqlQuery &q, QString *error)
{
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

// A number text as it stands, or empty when it is not a number (never script).
QString NumOrEmpty(const QString &text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok ? text.trimmed() : QString();
}

} // namespace

QStringList PlanClassTexts(TLcTypeEx type)
{
    QStringList list{Tx("GeneralPlan")};
    if (type == lct2010_3L || type == lct2010_4L) {
        for (const char *k : {"IDS_156", "IDS_157", "IDS_158", "IDS_159", "IDS_160"})
            list << Tx(k);
    } else {
        list << Tx("IDS_155");
    }
    return list;
}

bool PlanBelongsToClass(int plan, TLcTypeEx type, int classIndex)
{
    switch (type) {
    case lct2004:
        return classIndex == 0 ? plan <= 5 : plan > 5;
    case lct2010_3L:
    case lct2010_4L:
        return classIndex == 0 ? plan <= 5 : plan == classIndex + 5;
    default:
        return true;
    }
}

QString MovementText(int mvmt)
{
    if (mvmt >= 1 && mvmt <= 15)
        return QString(QChar(0x2460 + mvmt - 1));
    if (mvmt >= 16 && mvmt <= 18)
        return QString::number(mvmt);
    return {};
}

int MovementPicture(int mvmt)
{
    return mvmt == 17 ? 9 : mvmt == 18 ? 10 : mvmt;
}

int CircledToMovementNo(const QString &text)
{
    if (text.size() == 1 && text[0].unicode() >= 0x2460 && text[0].unicode() <= 0x246E)
        return text[0].unicode() - 0x2460 + 1;
    if (text == QLatin1String("16") || text == QLatin1String("17") || text == QLatin1String("18"))
        return text.toInt();
    return 0;
}

TPhaseGrid PhaseGridOf(const TMovementBlock &block, int planClass)
{
    TPhaseGrid grid{};
    if (planClass < 1 || planClass > MVMT_PLAN_CLASSES)
        return grid;
    for (int ring = 0; ring < 2; ++ring) {
        for (int p = 0; p < 8; ++p) {
            const TMovement &m = block[planClass - 1][p][ring];
            if (m.mvmt_no < 1 || m.mvmt_no > 18)
                continue;
            grid[ring * 2][p] = MovementPicture(m.mvmt_no);
            grid[ring * 2 + 1][p] = MovementText(m.mvmt_no);
            grid[4 + ring][p] = m.max_split;
            grid[6 + ring][p] = m.min_split;
            grid[8 + ring][p] = m.yellow;
        }
    }
    return grid;
}

bool LoadStartupMain(QSqlDatabase db, int lcNo, int classIndex, std::optional<int> *main, QString *error)
{
    QSqlQuery q(db);
    q.prepare("SELECT COALESCE(INT_GENMAIN, 0) INT_GENMAIN, COALESCE(INT_SPCMAIN, 0) INT_SPCMAIN "
              "FROM SCS_M_INTSTARTUP WHERE INT_LCNO = :INT_LCNO");
    q.bindValue(":INT_LCNO", lcNo);
    if (!Run(q, error))
        return false;
    main->reset();
    if (q.next())
        *main = classIndex == 0 ? q.value(0).toInt() : classIndex == 1 ? q.value(1).toInt() : -1;
    return true;
}

bool LoadPlanTabs(QSqlDatabase db, int lcNo, TLcTypeEx type, int classIndex, QList<int> *plans, QString *error)
{
    plans->clear();
    QSqlQuery q(db);
    q.prepare("SELECT DISTINCT T2.SA_DPLAN FROM SCS_M_INTLC T1, SCS_M_SADPLAN T2 "
              "WHERE T1.INT_LCNO = :INT_LCNO AND T1.INT_SANO = T2.SA_NO ORDER BY T2.SA_DPLAN");
    q.bindValue(":INT_LCNO", lcNo);
    if (!Run(q, error))
        return false;
    while (q.next() && plans->size() < 10) {
        const int plan = q.value(0).toInt();
        if (PlanBelongsToClass(plan, type, classIndex))
            plans->append(plan);
    }
    return true;
}

int CycleRowOfTimePlan(int i)
{
    if (i == 1)
        return 1;
    if (i >= 2 && i <= 16)
        return (i - 2) / 3 + 2;
    return 0;
}

bool LoadTODPattern(QSqlDatabase db, int lcNo, int plan, QList<TTodRow> *rows, QString *error)
{
    rows->clear();
    QSqlQuery q(db);
    q.prepare("SELECT T2.INT_TPLANINDEX, T3.SA_CYCLELENGTH, T2.INT_OFFSET, "
              " T2.INT_ASPLIT1, T2.INT_ASPLIT2, T2.INT_ASPLIT3, T2.INT_ASPLIT4, "
              " T2.INT_ASPLIT5, T2.INT_ASPLIT6, T2.INT_ASPLIT7, T2.INT_ASPLIT8, "
              " T2.INT_BSPLIT1, T2.INT_BSPLIT2, T2.INT_BSPLIT3, T2.INT_BSPLIT4, "
              " T2.INT_BSPLIT5, T2.INT_BSPLIT6, T2.INT_BSPLIT7, T2.INT_BSPLIT8 "
              "FROM SCS_M_INTLC T1 "
              "INNER JOIN SCS_M_INTTPLAN T2 ON T1.INT_LCNO = T2.INT_LCNO "
              "LEFT JOIN SCS_M_SAAPLAN T3 ON T3.SA_NO = T1.INT_SANO AND T3.SA_APLAN = T2.INT_TPLAN "
              " AND T3.SA_APLANINDEX = (CASE WHEN T2.INT_TPLANINDEX = 1 THEN 1 "
              "   WHEN T2.INT_TPLANINDEX IN (2,3,4) THEN 2 WHEN T2.INT_TPLANINDEX IN (5,6,7) THEN 3 "
              "   WHEN T2.INT_TPLANINDEX IN (8,9,10) THEN 4 WHEN T2.INT_TPLANINDEX IN (11,12,13) THEN 5 "
              "   WHEN T2.INT_TPLANINDEX IN (14,15,16) THEN 6 ELSE 0 END) "
              "WHERE T3.SA_NO IS NOT NULL AND T1.INT_LCNO = :INT_LCNO AND T2.INT_TPLAN = :INT_TPLAN "
              "ORDER BY T2.INT_TPLANINDEX");
    q.bindValue(":INT_LCNO", lcNo);
    q.bindValue(":INT_TPLAN", plan);
    if (!Run(q, error))
        return false;
    while (q.next()) {
        TTodRow r;
        r.Index = q.value(0).toInt();
        r.Cycle = q.value(1);
        r.Offset = q.value(2);
        for (int k = 0; k < 8; ++k) {
            r.A[k] = q.value(3 + k);
            r.B[k] = q.value(11 + k);
            r.TotA += r.A[k].toInt();
            r.TotB += r.B[k].toInt();
        }
        rows->append(r);
    }
    return true;
}

bool LoadDayPlan(QSqlDatabase db, int lcNo, int plan, QList<TDayRow> *rows, QString *error)
{
    rows->clear();
    QSqlQuery q(db);
    q.prepare("SELECT T2.SA_DPLANINDEX, T2.SA_STARTHOUR, T2.SA_STARTMIN, T2.SA_CYCLE, T3.SA_CYCLELENGTH, "
              " T2.SA_OFFSET, T2.SA_SPLIT, T2.SA_TODAUTO "
              "FROM SCS_M_INTLC T1 "
              "INNER JOIN SCS_M_SADPLAN T2 ON T1.INT_SANO = T2.SA_NO "
              "LEFT JOIN SCS_M_SAAPLAN T3 ON T3.SA_NO = T2.SA_NO AND T3.SA_APLAN = T2.SA_DPLAN "
              " AND T3.SA_APLANINDEX = T2.SA_CYCLE "
              "WHERE T1.INT_LCNO = :INT_LCNO AND T2.SA_DPLAN = :SA_DPLAN AND T2.SA_CYCLE > 0 "
              "ORDER BY T2.SA_DPLANINDEX");
    q.bindValue(":INT_LCNO", lcNo);
    q.bindValue(":SA_DPLAN", plan);
    if (!Run(q, error))
        return false;
    while (q.next()) {
        TDayRow r;
        r.Index = q.value(0).toInt();
        r.Start = HhMm(q.value(1), q.value(2));
        r.Cycle = q.value(3).toInt();
        r.CycleLength = q.value(4);
        r.Offset = q.value(5);
        r.Split = q.value(6);
        r.TodAuto = q.value(7).toInt() == 1 ? QStringLiteral("TRC") : QStringLiteral("TOD");
        rows->append(r);
    }
    return true;
}

bool LoadWeekPlan(QSqlDatabase db, int lcNo, TWeekRow *row, QString *error)
{
    *row = {};
    QSqlQuery q(db);
    q.prepare("SELECT SA_WEEK, SA_DPLAN FROM SCS_M_SAWPLAN "
              "WHERE SA_NO = (SELECT INT_SANO FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO) ORDER BY SA_WEEK");
    q.bindValue(":INT_LCNO", lcNo);
    if (!Run(q, error))
        return false;
    while (q.next()) {
        const int week = q.value(0).toInt();
        row->Exists = true;
        if (week >= 1 && week <= 7)
            row->Days[week - 1] = q.value(1);
    }
    return true;
}

QString WeekdayText(int code)
{
    static const char *keys[] = {"IDS_85", "IDS_86", "IDS_87", "IDS_88", "IDS_89", "IDS_90",
                                 "IDS_91", "IDS_92", "IDS_93", "IDS_94", "IDS_95", "IDS_96"};
    return code >= 1 && code <= 12 ? Tx(keys[code - 1]) : QString();
}

QString FunctionText(int code)
{
    static const char *keys[] = {"IDS_102", "IDS_103", "IDS_105", "IDS_106", "IDS_108",
                                 "IDS_109", "IDS_110", "IDS_111", "IDS_112", "IDS_113",
                                 "IDS_114", "IDS_115", "IDS_116", "IDS_117", "IDS_118"};
    return code >= 1 && code <= 15 ? Tx(keys[code - 1]) : QString();
}

bool LoadReservePlan(QSqlDatabase db, int lcNo, QList<TReserveRow> *rows, QString *error)
{
    rows->clear();
    QSqlQuery q(db);
    q.prepare("SELECT F.INT_FPLANINDEX, F.INT_RSRVMONTH, F.INT_RSRVDAY, F.INT_RSRVWKD, "
              " F.INT_CNTLSTARTHOUR, F.INT_CNTLSTARTMIN, F.INT_CNTLENDHOUR, F.INT_CNTLENDMIN, "
              " F.INT_CNTLTYPE, F.INT_CNTLSPCNO, L.INT_LCTYPE "
              "FROM SCS_M_INTFPLAN F LEFT JOIN SCS_M_INTLC L ON L.INT_LCNO = F.INT_LCNO "
              "WHERE F.INT_LCNO = :INT_LCNO ORDER BY F.INT_FPLANINDEX");
    q.bindValue(":INT_LCNO", lcNo);
    if (!Run(q, error))
        return false;
    while (q.next()) {
        TReserveRow r;
        r.Index = q.value(0).toInt();
        r.Month = q.value(1);
        r.Day = q.value(2);
        r.WeekdayCode = q.value(3).toInt();
        r.Weekday = WeekdayText(r.WeekdayCode);
        r.Start = HhMm(q.value(4), q.value(5));
        r.End = HhMm(q.value(6), q.value(7));
        r.FunctionCode = q.value(8).toInt();
        r.Function = FunctionText(r.FunctionCode);
        if (r.FunctionCode == 4 && q.value(10).toInt() == 2 && !q.value(9).isNull())
            r.SpcNo = QString::number(q.value(9).toInt());
        rows->append(r);
    }
    return true;
}

bool LoadSpecialDayPlan(QSqlDatabase db, int saNo, QList<TSpecialRow> *rows, QString *error)
{
    rows->clear();
    QSqlQuery q(db);
    q.prepare("SELECT SA_HPLANINDEX, SA_MON, SA_DAY, SA_DPLAN FROM SCS_M_SAHPLAN "
              "WHERE SA_NO = :SA_NO AND SA_MON > 0 AND SA_DAY > 0 ORDER BY SA_HPLANINDEX");
    q.bindValue(":SA_NO", saNo);
    if (!Run(q, error))
        return false;
    while (q.next()) {
        TSpecialRow r;
        r.Index = q.value(0).toInt();
        r.MonthDay = QStringLiteral("%1/%2")
                         .arg(q.value(1).toInt(), 2, 10, QLatin1Char('0'))
                         .arg(q.value(2).toInt(), 2, 10, QLatin1Char('0'));
        r.Plan = q.value(3);
        rows->append(r);
    }
    return true;
}

QString MovementScript(const TMovementBlock &block, int classIndex, const QString &lat, const QString &lng,
                       const QString &colourHex, bool labels)
{
    QString s = QStringLiteral(" map.panTo(new L.LatLng(%1, %2)); MvmtLayer.clearLayers();")
                    .arg(NumOrEmpty(lat).isEmpty() ? QStringLiteral("0") : NumOrEmpty(lat),
                         NumOrEmpty(lng).isEmpty() ? QStringLiteral("0") : NumOrEmpty(lng));
    if (classIndex < 0 || classIndex >= MVMT_PLAN_CLASSES)
        return s;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 2; ++j) {
            const TMovement &m = block[classIndex][i][j];
            if (m.mvmt_no < 1 || m.mvmt_no > 18 || (m.head_lat.isEmpty() && m.head_lng.isEmpty()))
                continue;
            const QString texts[8] = {m.head_lat, m.head_lng, m.mid_lat, m.mid_lng,
                                      m.end_lat,  m.end_lng,  m.label_lat, m.label_lng};
            QStringList pts;
            bool valid = true;
            for (int k = 0; k < 8; k += 2) {
                const QString a = NumOrEmpty(texts[k]), b = NumOrEmpty(texts[k + 1]);
                valid = valid && !a.isEmpty() && !b.isEmpty();
                pts << QStringLiteral("new L.LatLng(%1, %2)").arg(a, b);
            }
            const QString head = NumOrEmpty(m.head_angle), end = NumOrEmpty(m.end_angle);
            if (!valid || head.isEmpty() || end.isEmpty())
                continue;
            const QString var = QStringLiteral("mvmt%1%2%3").arg(classIndex).arg(i).arg(j);
            s += QStringLiteral(" var %1 = L.simpleMovement([%2], { color: \"#%3\", label: %4,"
                                " text: { text: L.Mvmt.circleNum[%5], attr: {visibility: \"visible\"}},"
                                " headAngle: %6, endAngle: %7 });"
                                " if (!MvmtLayer.hasLayer(%1)) { MvmtLayer.addLayer(%1); }")
                     .arg(var, pts.join(", "), colourHex, labels ? "true" : "false")
                     .arg(m.mvmt_no - 1)
                     .arg(head, end);
        }
    }
    return s;
}

QString TemplatePath(const QString &appPath, TLcTypeEx type, int language)
{
    const QString kind = type == lctNone || type == lct2004 ? QStringLiteral("2004") : QStringLiteral("2010");
    const QString lang = TsiLangDispatcher::LanguageName(language).left(2).toLower();
    QString base = appPath;
    if (!base.isEmpty() && !base.endsWith('/'))
        base += '/';
    return QStringLiteral("%1template/tcdv_conf_template_%2_%3.xlsx").arg(base, kind, lang);
}

QString SignalCellKey(TLcTypeEx type, int code, bool firstB, bool eop, TLampColumn column)
{
    const QString b = firstB ? QStringLiteral("B") : QString();
    QString colour;
    const bool ped = column == TLampColumn::Pedestrian;
    switch (type) {
    case lct2004:
    case lct2010_4L:
        if (ped) {
            if (code == 16 || code == 32)
                colour = "G";
            else if (code == 48)
                colour = "R";
        } else {
            if (code == 1 || code == 4 || code == 16 || code == 64)
                colour = "G";
            else if (code == 2 || code == 3 || code == 32)
                colour = "Y";
            else if (code == 48)
                colour = "R";
        }
        break;
    case lct2010_3L: {
        auto byCode = [](int c) -> QString {
            if (c == 1 || c == 5 || c == 16 || c == 80)
                return "G";
            if (c == 2 || c == 3 || c == 32 || c == 48)
                return "Y";
            if (c == 4 || c == 64)
                return "R";
            return {};
        };
        colour = byCode(code);
        if (colour.isEmpty()) {
            const int low = code & 0x0F;
            colour = low == 1 || low == 5 ? "G" : low == 2 || low == 3 ? "Y" : low == 4 ? "R" : "";
        }
        break;
    }
    default:
        break;
    }
    if (!colour.isEmpty())
        return colour + b;
    if (eop)
        return QStringLiteral("E") + b + (code == 0 ? QStringLiteral("Z") : QString());
    return QStringLiteral("W") + b;
}

} // namespace TcdvConf
