#pragma once
// The operation plan sheet of one intersection without its window: what each
// panel shows, read from the centre database, and the rules the export follows
// (template file, lamp cell formats, movement texts). The window
// (intersection/untTCDV_Conf.h) shows these tables; the export writes them.
//
// No language text enters a statement: weekday and function columns are read
// as codes and turned into texts here (TcdvConf::WeekdayText, FunctionText).
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>

#include "centrelink/RC2MMIUnit.h"
#include "foundation/TypeUnit.h"

namespace TcdvConf {

// The language table of the sheet's texts.
inline constexpr const char *kTextTable = "TfrmTCDV_Conf";

// Entries of the plan-class list of a controller type (index + 1 = plan class):
// 2004 "일반제", "시차제"; 2010 "일반제", "시차제#1".."시차제#5".
QStringList PlanClassTexts(TLcTypeEx type);

// The day-plan numbers a tab row offers for a controller type and list index:
// general plans (<= 5) for index 0; for 2004 every plan above 5 otherwise; for
// 2010 only plan index + 5; no filter without a type.
bool PlanBelongsToClass(int plan, TLcTypeEx type, int classIndex);

// --- phase grid ------------------------------------------------------------------
// "①".."⑮" for 1..15, "16", "17", "18"; empty otherwise.
QString MovementText(int mvmt);
// The picture index of the phase grid: the movement number with 17 as 9 and 18 as 10.
int MovementPicture(int mvmt);
// "①".."⑮" -> 1..15, "16".."18" -> 16..18, any other text -> 0.
int CircledToMovementNo(const QString &text);

// The ten rows of the phase grid for a plan class (rows 0..9, phases 1..8):
// picture index and text of ring A, the same of ring B, maximum A/B, minimum A/B,
// yellow A/B; an invalid QVariant where the cell is empty.
using TPhaseGrid = std::array<std::array<QVariant, 8>, 10>;
TPhaseGrid PhaseGridOf(const TMovementBlock &block, int planClass);

// The start-up main phase of a list index (INT_GENMAIN for 0, INT_SPCMAIN for
// 1, -1 for the others); nullopt without a start-up row. False on a query error.
bool LoadStartupMain(QSqlDatabase db, int lcNo, int classIndex, std::optional<int> *main,
                     QString *error = nullptr);

// --- plan tabs and plan grids ------------------------------------------------------
// The distinct day-plan numbers of the intersection's group for the list index,
// in order (at most ten: the tab rows hold no more).
bool LoadPlanTabs(QSqlDatabase db, int lcNo, TLcTypeEx type, int classIndex, QList<int> *plans,
                  QString *error = nullptr);

struct TTodRow
{
    int Index = 0;              // INT_TPLANINDEX
    QVariant Cycle;             // SA_CYCLELENGTH of the matching cycle row
    QVariant Offset;            // INT_OFFSET
    std::array<QVariant, 8> A;  // INT_ASPLIT1..8
    std::array<QVariant, 8> B;  // INT_BSPLIT1..8
    int TotA = 0, TotB = 0;     // sums of the eight splits of each ring
};
// The cycle row (SA_APLANINDEX) of a time-plan index: 1 -> 1, 2-4 -> 2, 5-7 -> 3,
// 8-10 -> 4, 11-13 -> 5, 14-16 -> 6, otherwise 0.
int CycleRowOfTimePlan(int timePlanIndex);
// Time plans of one plan whose cycle row exists, by index.
bool LoadTODPattern(QSqlDatabase db, int lcNo, int plan, QList<TTodRow> *rows, QString *error = nullptr);

struct TDayRow
{
    int Index = 0;      // SA_DPLANINDEX
    QString Start;      // "HH:MM"
    int Cycle = 0;      // SA_CYCLE
    QVariant CycleLength;
    QVariant Offset, Split;
    QString TodAuto;    // "TRC" for 1, else "TOD"
};
// Day-plan rows of one plan with a cycle index above 0, by index.
bool LoadDayPlan(QSqlDatabase db, int lcNo, int plan, QList<TDayRow> *rows, QString *error = nullptr);

struct TWeekRow
{
    bool Exists = false;
    std::array<QVariant, 7> Days; // Sunday .. Saturday
};
bool LoadWeekPlan(QSqlDatabase db, int lcNo, TWeekRow *row, QString *error = nullptr);

struct TReserveRow
{
    int Index = 0;
    QVariant Month, Day;
    int WeekdayCode = 0, FunctionCode = 0;
    QString Weekday, Function; // texts of the codes
    QString Start, End;        // "HH:MM"
    QString SpcNo;             // time-difference plan: only for function 4 on a 2010 controller
};
QString WeekdayText(int code);   // 1..12, empty otherwise
QString FunctionText(int code);  // 1..15, empty otherwise
bool LoadReservePlan(QSqlDatabase db, int lcNo, QList<TReserveRow> *rows, QString *error = nullptr);

struct TSpecialRow
{
    int Index = 0;
    QString MonthDay; // "MM/DD"
    QVariant Plan;
};
bool LoadSpecialDayPlan(QSqlDatabase db, int saNo, QList<TSpecialRow> *rows, QString *error = nullptr);

// --- map page --------------------------------------------------------------------
// The script that pans the page to the intersection and draws its arrows of a
// plan class into MvmtLayer (movement 1..18 with a head point).
QString MovementScript(const TMovementBlock &block, int classIndex, const QString &lat, const QString &lng,
                       const QString &colourHex, bool labels);

// --- export ----------------------------------------------------------------------
// "<appPath>template/tcdv_conf_template_<2004|2010>_<ko|en>.xlsx".
QString TemplatePath(const QString &appPath, TLcTypeEx type, int language);
// The format key of a lamp cell (see the cell formats of the export).
enum class TLampColumn { Vehicle, Pedestrian };
QString SignalCellKey(TLcTypeEx type, int code, bool firstRowOfRingB, bool endOfPhase, TLampColumn column);
// Ring A and ring B rows of step 1..32 of plan class 1..5.
inline int SignalMapRow(int planClass, int ring, int step)
{
    return ring == 1 ? 67 * planClass + 44 + step : 67 * planClass + 76 + step;
}

} // namespace TcdvConf
