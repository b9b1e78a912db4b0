#include "transfer/TransferWindowRules.h"

#include "core/siLang.h"
#include "foundation/QuorvalBase.h"
#include "transfer/UPDNUnit.h"

namespace {

const QString kTable = QStringLiteral("TfrmTCDV_C_DBUpDn");

QString Tx(const char *key, int language)
{
    return TsiLangDispatcher::instance()->TextIn(kTable, QString::fromLatin1(key), language);
}

quint8 At(const QByteArray &b, int i) { return i >= 0 && i < b.size() ? quint8(b.at(i)) : 0; }

int Bits(const QByteArray &b, int byteIndex, int first, int count)
{
    return GetBitsByOneByte(At(b, byteIndex), (first << 8) | count);
}

const QString kJoin = QStringLiteral("\r\n");

} // namespace

// ---------------------------------------------------------------------------

QString TransferTabName(TTransferTab tab)
{
    static const char *const names[ttTabCount] = {
        "tbsStartUpCode", "tbsSignalMap", "tbsFlashMap", "tbsDtrConfig", "tbsDayPlan", "tbsWeekHolyDayPlan",
        "tbsFnTable", "tbsInOutPed", "tbsConflictMap", "tshVMSMsg", "tshCarTimer", "tshDumpSystem", "tshUPS",
        "tshCommandProtocol", "tshSDProtocol", "tsbActuateVar"};
    return tab >= 0 && tab < ttTabCount ? QString::fromLatin1(names[tab]) : QString();
}

bool TransferTabVisible(TTransferTab tab, TLcTypeEx type)
{
    const bool is2010 = type == lct2010_3L || type == lct2010_4L;
    switch (tab) {
    case ttInOutPed:
    case ttConflictMap:
    case ttDumpSystem:
    case ttUPS:
        return is2010;
    case ttVMSMsg:
    case ttCarTimer:
    case ttSDProtocol:
    case ttActuateVar:
    case ttTabCount:
        return false;
    default:
        return true;
    }
}

// ---------------------------------------------------------------------------

int StartupRowCount(TLcTypeEx type)
{
    if (type == lct2004)
        return 11;
    if (type == lct2010_3L || type == lct2010_4L)
        return 39;
    return -1;
}

QList<TStartupRow> StartupRowLabels(TLcTypeEx type, int language)
{
    const bool korean = language == TsiLangDispatcher::LangKorean;
    auto t = [language](const char *key) { return Tx(key, language); };
    const QString gmapDual = t("IDS_647") + kJoin + t("IDS_980");
    const QString emapDual = t("IDS_233") + kJoin + t("IDS_980");
    QList<TStartupRow> rows;
    if (type == lct2004) {
        rows = {{t("IDS_975"), t("IDS_984")}, {t("IDS_975"), t("IDS_985")}, {t("IDS_975"), t("IDS_986")},
                {t("IDS_975"), t("IDS_987")}, {t("IDS_976"), t("IDS_988")}, {t("IDS_976"), t("IDS_989")},
                {t("IDS_977"), t("IDS_990")}, {t("IDS_647"), t("IDS_991")}, {gmapDual, t("IDS_992")},
                {t("IDS_233"), t("IDS_991")}, {emapDual, t("IDS_992")}};
        return rows;
    }
    if (type != lct2010_3L && type != lct2010_4L)
        return rows;
    // Item labels of rows 11 to 14 carry their second line in Korean only.
    auto pair = [&](const char *first, const char *second) {
        return korean ? t(first) + kJoin + t(second) : t(first);
    };
    rows = {{t("IDS_975"), t("IDS_1019")}, {t("IDS_975"), t("IDS_984")}, {t("IDS_975"), t("IDS_1021")},
            {t("IDS_975"), t("IDS_985")},  {t("IDS_975"), t("IDS_986")}, {t("IDS_975"), t("IDS_987")},
            {t("IDS_976"), t("IDS_988")},  {t("IDS_976"), t("IDS_989")}, {t("IDS_647"), t("IDS_991")},
            {gmapDual, t("IDS_992")},      {t("IDS_977"), t("IDS_990")}, {t("IDS_977"), pair("IDS_1028", "IDS_1029")},
            {t("IDS_977"), pair("IDS_1030", "IDS_1029")}, {t("IDS_977"), pair("IDS_1032", "IDS_1033")},
            {t("IDS_977"), pair("IDS_1034", "IDS_1035")}, {t("IDS_977"), t("IDS_1038")},
            {t("IDS_977"), t("IDS_1036")}, {t("IDS_977"), t("IDS_1037")}, {t("IDS_233"), t("IDS_991")},
            {emapDual, t("IDS_992")}};
    static const char *const spcGroups[5] = {"IDS_1004", "IDS_1006", "IDS_1008", "IDS_1010", "IDS_1012"};
    for (int k = 0; k < 5; ++k) {
        if (korean)
            rows << TStartupRow{t(spcGroups[k]) + kJoin + t("IDS_980"), t("IDS_992")};
        else if (language == TsiLangDispatcher::LangEnglish)
            rows << TStartupRow{t("IDS_233"), t("IDS_992") + QStringLiteral("(#%1)").arg(k + 1)};
        else
            rows << TStartupRow{t("IDS_233"), t("IDS_992")};
    }
    rows << TStartupRow{t("IDS_1014"), t("IDS_1048")} << TStartupRow{t("IDS_1014"), t("IDS_1049")}
         << TStartupRow{t("IDS_1014"), t("IDS_1050")} << TStartupRow{t("IDS_1015"), t("IDS_1051")}
         << TStartupRow{t("IDS_1015"), t("IDS_1052")} << TStartupRow{t("IDS_1015"), t("IDS_1053")}
         << TStartupRow{t("IDS_1016"), t("IDS_1054")} << TStartupRow{t("IDS_1017"), t("IDS_1055")}
         << TStartupRow{t("IDS_1018"), t("IDS_1056")} << TStartupRow{t("IDS_1018"), t("IDS_1057")}
         << TStartupRow{t("IDS_1018"), t("IDS_1058")} << TStartupRow{t("IDS_1018"), t("IDS_1059")}
         << TStartupRow{t("IDS_1018"), t("IDS_1060")} << TStartupRow{t("IDS_1018"), t("IDS_1061")};
    return rows;
}

QList<int> StartupRowValues(TLcTypeEx type, const QByteArray &b)
{
    if (type == lct2004)
        return {Bits(b, 0, 4, 3), Bits(b, 0, 1, 3), Bits(b, 0, 0, 1), Bits(b, 1, 4, 4), At(b, 6), At(b, 7),
                Bits(b, 3, 0, 1), Bits(b, 1, 0, 4), At(b, 2), At(b, 4), At(b, 5)};
    if (type != lct2010_3L && type != lct2010_4L)
        return {};
    QList<int> v{Bits(b, 0, 7, 1), Bits(b, 0, 4, 3), Bits(b, 0, 3, 1), Bits(b, 0, 1, 2), Bits(b, 0, 0, 1),
                 Bits(b, 1, 4, 4), At(b, 6),         At(b, 7),         Bits(b, 1, 0, 4), At(b, 2),
                 Bits(b, 3, 0, 1)};
    for (int bit = 1; bit <= 7; ++bit)
        v << Bits(b, 3, bit, 1);
    v << At(b, 4) << At(b, 5);
    for (int i = 8; i <= 12; ++i)
        v << At(b, i);
    v << Bits(b, 13, 5, 1) << Bits(b, 13, 6, 1) << Bits(b, 13, 7, 1) << Bits(b, 14, 0, 1) << Bits(b, 14, 4, 1)
      << Bits(b, 14, 5, 1) << At(b, 15) << At(b, 16) << Bits(b, 17, 6, 1) << Bits(b, 17, 2, 2)
      << Bits(b, 17, 4, 2) << Bits(b, 17, 0, 2) << Bits(b, 18, 0, 3) << Bits(b, 18, 3, 3);
    return v;
}

QString StartupEditor(TLcTypeEx type, int row)
{
    if (type == lct2004) {
        switch (row) {
        case 1: return QStringLiteral("eriSPILLCONT");
        case 2: return QStringLiteral("eriRING");
        case 3: return QStringLiteral("eriACTYN");
        case 6: return QStringLiteral("eriMANUALOPT");
        case 7:
        case 9: return QStringLiteral("phase");
        case 8:
        case 10: return QStringLiteral("eriDUAL");
        default: return QStringLiteral("spin");
        }
    }
    if (type != lct2010_3L && type != lct2010_4L)
        return {};
    switch (row) {
    case 0:
    case 25:
    case 26:
    case 27: return QStringLiteral("eriAllowYN");
    case 1:
    case 6:
    case 7: return QStringLiteral("spin");
    case 2: return QStringLiteral("eriSPILLPROC");
    case 3: return QStringLiteral("eriSPILLCONT");
    case 4: return QStringLiteral("eriRING");
    case 5: return QStringLiteral("eriACTYN");
    case 8:
    case 18: return QStringLiteral("phase");
    case 10: return QStringLiteral("eriMANUALOPT");
    case 11: return QStringLiteral("eriNORMALPUSH");
    case 12: return QStringLiteral("eriFLASHPUSH");
    case 13: return QStringLiteral("eriFLASHPUSHOP");
    case 14: return QStringLiteral("eriPUSHCYCLE");
    case 15: return QStringLiteral("eriSIGMAPMTD");
    case 16: return QStringLiteral("eriACTPHASE1");
    case 17: return QStringLiteral("eriACTPHASE2");
    case 28: return QStringLiteral("eriCHECKMONTH");
    case 29: return QStringLiteral("eriPOWERDIM");
    case 30: return QStringLiteral("eriPOWERFLASH");
    case 33: return QStringLiteral("eriVOICEYN");
    case 34: return QStringLiteral("eriDAYVOL");
    case 35: return QStringLiteral("eriNIGHTVOL");
    case 36: return QStringLiteral("eriVOICECYCLE");
    case 37: return QStringLiteral("eriNIGHTSTART");
    case 38: return QStringLiteral("eriNIGHTEND");
    default: return QStringLiteral("eriDUAL");
    }
}

// ---------------------------------------------------------------------------

QStringList GennTypeItems(TLcTypeEx type)
{
    const QString general = siText(kTable, QStringLiteral("cbxGennType.Items0"));
    if (type == lct2004)
        return {general, siText(kTable, QStringLiteral("IDS_233"))};
    if (type == lct2010_3L || type == lct2010_4L) {
        QStringList items{general};
        for (int k = 234; k <= 239; ++k)
            items << siText(kTable, QStringLiteral("IDS_%1").arg(k));
        return items;
    }
    return {};
}

QStringList RingSubBandCaptions(TLcTypeEx type, int lsu)
{
    if (type == lct2010_3L)
        return {QString::number(2 * lsu - 1), QString::number(2 * lsu)};
    return {QStringLiteral("V"), QStringLiteral("P")};
}

QStringList SignalMapStepCells(const QByteArray &block, int map, int ring, int step)
{
    const int o = SignalStepOffset(map, ring, step);
    QStringList cells{QString::number(step)};
    for (int i = 0; i < 16; ++i)
        cells << QStringLiteral("%1").arg(At(block, o + i), 2, 16, QLatin1Char('0')).toUpper();
    cells << QString::number(At(block, o + 16)) << QString::number(At(block, o + 17))
          << QString::number(At(block, o + 18));
    return cells;
}

TRingCellPaint RingCellPaint(int code, TLcTypeEx type)
{
    if (code == 0)
        return rcpGrey;
    if (type == lct2010_3L) {
        switch (code) {
        case 0x01: case 0x05: case 0x10: case 0x50: return rcpGreen;
        case 0x02: case 0x03: case 0x20: case 0x30: return rcpAmber;
        case 0x04: case 0x40: return rcpRed;
        default: break;
        }
        switch (code & 0x0F) {
        case 1: case 5: return rcpGreen;
        case 2: case 3: return rcpAmber;
        case 4: return rcpRed;
        default: return rcpDefault;
        }
    }
    switch (code) {
    case 0x01: case 0x04: case 0x10: case 0x40: return rcpGreen;
    case 0x02: case 0x03: case 0x20: return rcpAmber;
    case 0x30: return rcpRed;
    default: return rcpDefault;
    }
}

QColor RingCellColour(TRingCellPaint paint)
{
    switch (paint) {
    case rcpGrey: return QColor(0xB3, 0xB3, 0xB3);
    case rcpGreen: return QColor(0x66, 0xCC, 0x66);
    case rcpAmber: return QColor(0xFF, 0xCC, 0x33);
    case rcpRed: return QColor(0xFF, 0x8C, 0xAA);
    default: return {};
    }
}

// ---------------------------------------------------------------------------

namespace {

const QColor kRed(255, 140, 170), kYellow(255, 204, 51), kGreen(102, 204, 102), kWhite(Qt::white);

TFlashLabel Label(const QString &text)
{
    if (text.isEmpty())
        return {QString(), kWhite};
    if (text == QLatin1String("RED") || text == QLatin1String("R0") || text == QLatin1String("RF"))
        return {text, kRed};
    if (text == QLatin1String("YELLOW") || text == QLatin1String("Y0") || text == QLatin1String("YF"))
        return {text, kYellow};
    if (text == QLatin1String("OFF") || text == QLatin1String("X"))
        return {text, kWhite};
    return {text, kGreen};
}

} // namespace

int FlashMapLsuCount(TLcTypeEx type)
{
    return type == lct2004 ? 6 : type == lct2010_3L ? 16 : type == lct2010_4L ? 8 : 0;
}

TFlashLabel FlashVehicleLabel(const QByteArray &block, TLcTypeEx type, int n)
{
    if (type == lct2010_3L)
        return Label(FlashMap3LampName(At(block, n - 1) & 0x0F));
    switch (At(block, 2 * (n - 1))) {
    case 0x00: return Label(QStringLiteral("RED"));
    case 0x10: return Label(QStringLiteral("YELLOW"));
    case 0x20: return Label(QStringLiteral("ARROW"));
    case 0x30: return Label(QStringLiteral("GREEN"));
    default: return Label({});
    }
}

TFlashLabel FlashPedestrianLabel(const QByteArray &block, TLcTypeEx type, int n)
{
    if (type == lct2010_3L)
        return Label(FlashMap3LampName(At(block, n - 1) >> 4));
    switch (At(block, 2 * n - 1)) {
    case 0x00: return Label(QStringLiteral("OFF"));
    case 0x10: return Label(QStringLiteral("RED"));
    case 0x20: return Label(QStringLiteral("GREEN"));
    default: return Label({});
    }
}

int FlashTime(const QByteArray &block, TLcTypeEx type) { return At(block, type == lct2004 ? 13 : 16); }

// ---------------------------------------------------------------------------

QList<QVariantList> DetectorRows(const QByteArray &block, TLcTypeEx type)
{
    QList<QVariantList> rows;
    const int count = type == lct2004 ? 32 : 64;
    for (int ch = 1; ch <= count; ++ch) {
        QVariantList row{ch};
        const int o = (ch - 1) * DetectorEntrySize;
        if (At(block, o + 4) != 0) {
            for (int i = 0; i < DetectorEntrySize; ++i)
                row << int(At(block, o + i));
            row << 0;
        }
        rows << row;
    }
    return rows;
}

QList<QVariantList> DayPlanRows(const QByteArray &block, int plan, bool controllerSide)
{
    QList<QVariantList> rows;
    for (int r = 0; r < 16; ++r) {
        const int part = r / 8;
        const int header = DayPlanPartOffset(plan, part);
        if (controllerSide) {
            const quint8 h = At(block, header);
            if ((h >> 4) + 1 != plan || (part == 0 && (h & 0x0F) == 1) || (part == 1 && (h & 0x0F) == 0)) {
                rows << QVariantList();
                continue;
            }
        }
        const int o = header + 1 + (r % 8) * DayPlanSlotSize;
        QVariantList row{r + 1};
        for (int i = 0; i < 16; ++i)
            row << int(At(block, o + i));
        row << 0;
        for (int i = 16; i < 20; ++i)
            row << int(At(block, o + i));
        rows << row;
    }
    return rows;
}

int ValidateDayPlanNo(int value) { return value > 10 ? 10 : value < 1 ? 1 : value; }

QStringList HolidayCells(const QByteArray &block, const QString &planCaption)
{
    QStringList cells{planCaption};
    for (int i = 0; i < HolidayEntries; ++i)
        cells << QString::number(At(block, i * 3 + 2));
    return cells;
}

QStringList HolidayBandCaptions(const QByteArray &block)
{
    QStringList captions;
    for (int i = 0; i < HolidayEntries; ++i)
        captions << QString::number(At(block, i * 3)) << QString::number(At(block, i * 3 + 1));
    return captions;
}

QList<QVariantList> ReservationRows(QByteArray &block)
{
    QList<QVariantList> rows;
    for (int k = 0; k < FunctionTableCount; ++k) {
        const int o = k * 8;
        if (o + 8 > block.size() || AllZeroBytes(block.constData() + o, 8)) {
            rows << QVariantList();
            continue;
        }
        QVariantList row;
        for (int i = 0; i < 7; ++i)
            row << int(At(block, o + i));
        quint8 cntl = At(block, o + 7);
        const int controlType = cntl & 0x0F;
        row << controlType;
        if (controlType == 4) {
            int plan = cntl >> 4;
            if (plan < 6) {
                plan += 6;
                cntl = quint8((plan << 4) | controlType);
                block[o + 7] = char(cntl);
            }
            row << plan;
        } else {
            row << QVariant();
        }
        rows << row;
    }
    return rows;
}

// ---------------------------------------------------------------------------

QList<QList<int>> OutputMapCells(const QByteArray &block, const int (*correct)[6])
{
    QList<QList<int>> cells(23, QList<int>(10, 0));
    for (int d = 0; d < 10; ++d) {
        const int o = d * 11;
        const quint8 b0 = At(block, o);
        cells[0][d] = b0 & 1;
        cells[1][d] = (b0 >> 1) & 1;
        cells[2][d] = (b0 >> 2) & 1;
        cells[3][d] = (b0 >> 3) & 3;
        for (int pair = 0; pair < 6; ++pair) {
            const quint8 v = At(block, o + 1 + pair);
            const bool named = v != 0 || (correct && correct[d][pair] == 1);
            cells[4 + 2 * pair][d] = named ? (v >> 4) + 1 : 0;
            cells[5 + 2 * pair][d] = named ? v & 0x0F : 0;
        }
        cells[16][d] = At(block, o + 7) & 0x0F;
        cells[17][d] = At(block, o + 7) >> 4;
        cells[18][d] = At(block, o + 10) & 0x0F;
        cells[19][d] = At(block, o + 10) >> 4;
        cells[20][d] = At(block, o + 8);
        cells[21][d] = At(block, o + 9);
        const quint8 ext = At(block, 112 + d / 2);
        cells[22][d] = d % 2 == 0 ? ext >> 4 : ext & 0x0F;
    }
    return cells;
}

QList<int> LsuLampTypes(const QByteArray &block)
{
    InOutPed rec{};
    memcpy(&rec, block.constData(), qMin<qsizetype>(block.size(), sizeof(rec)));
    QList<int> types;
    for (int n = 1; n <= 16; ++n)
        types << rec.LsuLampType(n);
    return types;
}

QString InOutPedEditor(int row)
{
    if (row < 0 || row > 22)
        return {};
    if (row <= 2)
        return QStringLiteral("check");
    if (row == 3)
        return QStringLiteral("eriImageComboBoxItemInstallYN");
    if (row <= 15)
        return row % 2 == 0 ? QStringLiteral("spin") : QStringLiteral("eriImageComboBoxItemSort");
    if (row == 18 || row == 19)
        return QStringLiteral("eriImageComboBoxItemRing2");
    return QStringLiteral("spin");
}

bool ConflictCellReadOnly(int r, int c, TLcTypeEx type)
{
    if (r >= c)
        return true;
    return type == lct2010_4L && (r % 4 == 3 || c % 4 == 3);
}

QString PairedGridSuffix(const QString &gridName)
{
    static const QStringList pairs{"Startup",  "DtrConfig", "TFDTEx",      "RingA",    "RingB",
                                   "DayPlan",  "HolyDayPlan", "ReservePlan", "InOutPed", "LSUType",
                                   "ConflictMap", "CarTimer", "VMSMsg",     "VMSSchd"};
    if (!gridName.startsWith(QLatin1String("gtvH")) && !gridName.startsWith(QLatin1String("gtvL")))
        return {};
    const QString suffix = gridName.mid(4);
    return pairs.contains(suffix) ? suffix : QString();
}

// ---------------------------------------------------------------------------

QString ClockText(const QByteArray &clock, int language)
{
    const int year = At(clock, 0), month = At(clock, 1), day = At(clock, 2);
    const int hour = At(clock, 3), minute = At(clock, 4), second = At(clock, 5), weekday = At(clock, 6) % 7;
    const QString format = Tx("IDS_405", language);
    if (language == TsiLangDispatcher::LangEnglish) {
        static const char *const days[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
        static const char *const months[12] = {"January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December"};
        const QString monthName = month >= 1 && month <= 12 ? QString::fromLatin1(months[month - 1]) : QString();
        return QString::asprintf(format.toUtf8().constData(), days[weekday], day, monthName.toUtf8().constData(),
                                 2000 + year, hour, minute, second);
    }
    static const char *const days[7] = {"일", "월", "화", "수", "목", "금", "토"};
    return QString::asprintf(format.toUtf8().constData(), year, month, day, days[weekday], hour, minute, second);
}
