// tcdvtmpl: writes the operation plan sheet templates
//     tcdv_conf_template_{2004,2010}_{ko,en}.xlsx
// into the folder given as its argument. The table below is the one description
// of the sheet; the four files differ only in their language and in the plan
// classes a controller type carries (2004: classes 1-2, 2010: classes 1-5).
//
// Cells are written as the sheet shows them ("E112"); the export finds every
// place it writes through the defined names, the signal-map block through its
// fixed rows (class c, step s: ring A row 67c + 44 + s, ring B row 67c + 76 + s).
#include "foundation/XlsxWriterLib.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace {

// Defined names: name, range.
struct TNameEntry
{
    const char *Name;
    const char *Range;
};

const TNameEntry kNames[] = {
    {"Group_ID", "Y3"},         {"Tcdv_ID", "AK3"},          {"Tcdv_Name", "AW3"},
    {"Create_Date", "A2"},      {"WeekdayPlan", "A16:G16"},  {"Plan1", "A19:K35"},
    {"Plan2", "M19:W35"},       {"Plan3", "Y19:AI35"},       {"Plan4", "AK19:AU35"},
    {"Holyday", "AW19:BC35"},   {"Split1", "E38"},           {"Split2", "E40"},
    {"Split3", "E42"},          {"Split4", "E44"},           {"Split5", "E46"},
    {"Split6", "E48"},          {"Split7", "E50"},           {"Split8", "E52"},
    {"Split9", "AD38"},         {"Split10", "AD40"},         {"Split11", "AD42"},
    {"Split12", "AD44"},        {"Split13", "AD46"},         {"Split14", "AD48"},
    {"Split15", "AD50"},        {"Split16", "AD52"},         {"Phase1", "S5:W12"},
    {"Phase2", "X5:AB12"},      {"Phase3", "AC5:AG12"},      {"Phase4", "AH5:AL12"},
    {"Phase5", "AM5:AQ12"},     {"Phase6", "AR5:AV12"},      {"Phase7", "AW5:BA12"},
    {"Phase8", "BB5:BF12"},     {"ReservePlan1", "K15"},     {"ReservePlan2", "K16"},
    {"ReservePlan3", "AA15"},   {"ReservePlan4", "AA16"},    {"ReservePlan5", "AQ15"},
    {"ReservePlan6", "AQ16"},   {"Int_Type", "AY38"},        {"Tcdv_Operation", "AY40"},
    {"Main_Phase", "AY42"},     {"Tcdv_Type", "AY44"},       {"Lamp_Type", "AY46"},
    {"Map", "AY50:BH108"},
};

// Labels: cell, Korean, English; a range merges its cells.
struct TLabel
{
    const char *Range;
    const char *Ko;
    const char *En;
};

const TLabel kLabels[] = {
    {"A1:BH1", "교차로 신호운영계획", "Intersection Signal Operation Plan"},
    {"U3:X3", "그룹", "Group"},
    {"AG3:AJ3", "교차로", "Int."},
    {"AS3:AV3", "교차로명", "Name"},
    {"AW3:BH3", "", ""},
    {"A5:R5", "현시구성", "Phase"},
    {"A14:G14", "주간 신호운영계획", "Weekly Plan"},
    {"A15", "일", "Sun"}, {"B15", "월", "Mon"}, {"C15", "화", "Tue"}, {"D15", "수", "Wed"},
    {"E15", "목", "Thu"}, {"F15", "금", "Fri"}, {"G15", "토", "Sat"},
    {"I14:BE14", "예약계획 (월, 일, 요일, 시작, 종료, 기능, 시차#)",
     "Reservation Plan (Month, Day, Weekday, Start, End, Function, EMAP#)"},
    {"A18:K18", "일일계획 1", "Day Plan 1"},
    {"M18:W18", "일일계획 2", "Day Plan 2"},
    {"Y18:AI18", "일일계획 3", "Day Plan 3"},
    {"AK18:AU18", "일일계획 4", "Day Plan 4"},
    {"AW18:BC18", "특수일 계획 (월, 일, 계획#)", "Holiday Plan (Month, Day, # Plan)"},
    {"A37:AW37", "TOD 패턴 (주기, 옵셋, 스플릿)", "Split (Cycle, Offset, Splits)"},
    {"AY37:BC37", "교차로 구분", "Int. Class"},
    {"AY39:BC39", "운영모드", "Operation"},
    {"AY41:BC41", "시작현시", "Main Phase"},
    {"AY43:BC43", "제어기 형식", "Controller"},
    {"AY45:BC45", "등기 형식", "Lamp Type"},
    {"AY49:BH49", "지도", "Map"},
};

// Signal-map classes: heading per class, Korean and English (class 1 general,
// the others time-difference maps).
const char *kClassKo2004[] = {"일반제", "시차제"};
const char *kClassEn2004[] = {"GMAP", "EMAP"};
const char *kClassKo2010[] = {"일반제", "시차제#1", "시차제#2", "시차제#3", "시차제#4"};
const char *kClassEn2010[] = {"GMAP", "EMAP #1", "EMAP #2", "EMAP #3", "EMAP #4"};

bool ParseCell(const QString &ref, int *row, int *col)
{
    int i = 0, c = 0;
    while (i < ref.size() && ref[i].isLetter())
        c = c * 26 + (ref[i++].toUpper().unicode() - 'A' + 1);
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    *row = r - 1;
    *col = c - 1;
    return ok && c > 0 && r > 0;
}

bool Write(const TXlsxWriterApi *x, const QString &path, bool is2010, bool korean)
{
    lxw_workbook *wb = x->workbook_new(path.toUtf8().constData());
    if (!wb)
        return false;
    const char *sheetName = korean ? "신호운영계획" : "Operation Plan";
    lxw_worksheet *ws = x->workbook_add_worksheet(wb, sheetName);

    lxw_format *title = x->workbook_add_format(wb);
    x->format_set_bold(title);
    x->format_set_font_size(title, 14);
    x->format_set_align(title, LXW_ALIGN_CENTER);
    lxw_format *label = x->workbook_add_format(wb);
    x->format_set_bold(label);
    x->format_set_align(label, LXW_ALIGN_CENTER);
    x->format_set_align(label, LXW_ALIGN_VERTICAL_CENTER);
    x->format_set_bg_color(label, 0xDDE6F0);
    x->format_set_border(label, LXW_BORDER_THIN);
    lxw_format *value = x->workbook_add_format(wb);
    x->format_set_align(value, LXW_ALIGN_CENTER);
    x->format_set_border(value, LXW_BORDER_THIN);
    // Base formats of the signal map: lamp cells (E112 / E144) and the other
    // cells of a step (C112 / C144); the first row of ring B has a heavy top edge.
    auto lamp = [&](bool ringB) {
        lxw_format *f = x->workbook_add_format(wb);
        x->format_set_align(f, LXW_ALIGN_CENTER);
        x->format_set_font_size(f, 9);
        x->format_set_border(f, LXW_BORDER_THIN);
        x->format_set_border_color(f, 0x808080);
        if (ringB)
            x->format_set_border(f, LXW_BORDER_MEDIUM);
        return f;
    };
    lxw_format *lampA = lamp(false), *lampB = lamp(true);
    lxw_format *stepA = lamp(false), *stepB = lamp(true);
    x->format_set_bg_color(stepA, 0xF2F2F2);
    x->format_set_bg_color(stepB, 0xF2F2F2);

    x->worksheet_set_column(ws, 0, 59, 3.5, nullptr);
    x->worksheet_set_landscape(ws);
    x->worksheet_set_paper(ws, 9); // A4
    x->worksheet_fit_to_pages(ws, 1, 0);

    for (const TLabel &l : kLabels) {
        const QString range = QString::fromLatin1(l.Range);
        const char *text = korean ? l.Ko : l.En;
        lxw_format *f = range.startsWith("A1:") ? title : label;
        int r1, c1, r2, c2;
        ParseCell(range.section(':', 0, 0), &r1, &c1);
        if (range.contains(':')) {
            ParseCell(range.section(':', 1, 1), &r2, &c2);
            x->worksheet_merge_range(ws, r1, c1, r2, c2, text, *text ? f : value);
        } else {
            x->worksheet_write_string(ws, r1, c1, text, f);
        }
    }
    for (const TNameEntry &n : kNames) {
        const QString formula = QStringLiteral("='%1'!").arg(QString::fromUtf8(sheetName)) +
                                QString::fromLatin1(n.Range)
                                    .split(':')
                                    .replaceInStrings(QRegularExpression("^([A-Z]+)([0-9]+)$"), "$\\1$\\2")
                                    .join(':');
        x->workbook_define_name(wb, n.Name, formula.toUtf8().constData());
    }

    // Signal-map block: a heading per class, step numbers and the base formats.
    const int classes = is2010 ? 5 : 2;
    for (int c = 1; c <= 5; ++c) {
        const int headRow = 67 * c + 44; // the row above step 1 of ring A
        if (c <= classes) {
            const char *name = korean ? (is2010 ? kClassKo2010 : kClassKo2004)[c - 1]
                                      : (is2010 ? kClassEn2010 : kClassEn2004)[c - 1];
            x->worksheet_merge_range(ws, headRow - 1, 0, headRow - 1, 56, name, label);
        }
        for (int ring = 0; ring < 2; ++ring) {
            for (int s = 1; s <= 32; ++s) {
                const int row = (ring == 0 ? 67 * c + 44 + s : 67 * c + 76 + s) - 1;
                const bool first = ring == 1 && s == 1;
                x->worksheet_write_number(ws, row, 0, s, first ? stepB : stepA);
                x->worksheet_write_string(ws, row, 1, ring == 0 ? "A" : "B", first ? stepB : stepA);
                x->worksheet_write_blank(ws, row, 2, first ? stepB : stepA);
                for (int n = 1; n <= 8; ++n) {
                    x->worksheet_write_blank(ws, row, 6 * n - 2, first ? lampB : lampA);
                    x->worksheet_write_blank(ws, row, 6 * n + 1, first ? lampB : lampA);
                }
                for (int col : {52, 54, 56})
                    x->worksheet_write_blank(ws, row, col, first ? lampB : lampA);
            }
        }
    }
    return x->workbook_close(wb) == LXW_NO_ERROR;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tcdvtmpl <folder>\n");
        return 2;
    }
    QString error;
    const TXlsxWriterApi *x = XlsxWriterApi(&error);
    if (!x) {
        std::fprintf(stderr, "tcdvtmpl: %s\n", qPrintable(error));
        return 1;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    for (bool is2010 : {false, true}) {
        for (bool korean : {true, false}) {
            const QString file = dir.filePath(QStringLiteral("tcdv_conf_template_%1_%2.xlsx")
                                                  .arg(is2010 ? "2010" : "2004", korean ? "ko" : "en"));
            if (!Write(x, file, is2010, korean)) {
                std::fprintf(stderr, "tcdvtmpl: cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
