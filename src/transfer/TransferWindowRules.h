#pragma once
// What the controller database window shows, decided without widgets: which tabs a
// controller type has, the rows and labels of the start-up grids, the cells of the
// centre and controller grids made from the blocks (UPDNUnit.h), the cell editors
// by row and type, the lamp colours and the difference rule. The window only wires
// these to its grids; tests drive them directly.
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "foundation/TypeUnit.h"

// ---------------------------------------------------------------------------
// Tabs
// ---------------------------------------------------------------------------

enum TTransferTab {
    ttStartUpCode = 0,
    ttSignalMap,
    ttFlashMap,
    ttDtrConfig,
    ttDayPlan,
    ttWeekHolyDayPlan,
    ttFnTable,
    ttInOutPed,
    ttConflictMap,
    ttVMSMsg,
    ttCarTimer,
    ttDumpSystem,
    ttUPS,
    ttCommandProtocol,
    ttSDProtocol,
    ttActuateVar,
    ttTabCount
};

// Object name of a tab (tbsStartUpCode ... tsbActuateVar).
QString TransferTabName(TTransferTab tab);
// Whether a tab shows for a controller type (lctNone shows what 2004 shows).
bool TransferTabVisible(TTransferTab tab, TLcTypeEx type);
// The actions that work on a controller are enabled only while nothing runs and a
// controller is chosen (DoingUpdate).
inline bool DoingUpdate(bool doing, int tcdvId) { return !doing && tcdvId > 0; }

// ---------------------------------------------------------------------------
// Start-up code grids
// ---------------------------------------------------------------------------

struct TStartupRow
{
    QString Group; // group label (column 0)
    QString Item;  // item label (column 1)
};

// Row count of the start-up grids: 11 for lct2004, 39 for the 2010 types, -1
// for lctNone (the grid keeps the rows it has).
int StartupRowCount(TLcTypeEx type);
// The labels of every row in a language (1 Korean, 2 English); composite labels
// joined with "\r\n".
QList<TStartupRow> StartupRowLabels(TLcTypeEx type, int language);
// The values of the rows from a start-up block (8 bytes for 2004, 25 for 2010).
QList<int> StartupRowValues(TLcTypeEx type, const QByteArray &block);
// Editor repository item of a start-up value row ("eriDUAL", "spin", "phase" ...).
QString StartupEditor(TLcTypeEx type, int row);

// ---------------------------------------------------------------------------
// Signal map
// ---------------------------------------------------------------------------

// The items of the map choice (cbxGennType): two for 2004, seven for 2010.
QStringList GennTypeItems(TLcTypeEx type);
// Whether cbxGennType must be rebuilt (its count does not fit the type).
inline bool GennTypeItemsNeedRebuild(int currentCount, TLcTypeEx type)
{
    return currentCount != GennTypeItems(type).size();
}
// Sub-band captions of LSU i (1..8) of the ring grids: "V"/"P", or 2i-1/2i for a
// three-lamp 2010 controller.
QStringList RingSubBandCaptions(TLcTypeEx type, int lsu);
// The 20 cells of one step (s 1..32) of ring r of map m: step, 16 lamp codes in
// hexadecimal, minimum, maximum, end of phase.
QStringList SignalMapStepCells(const QByteArray &block, int map, int ring, int step);

// Colour of a lamp-code cell ("00" .. "FF" read as decimal digits, 0 .. 99) by type:
// an invalid colour when the cell keeps its own; grey for 0.
enum TRingCellPaint { rcpDefault = 0, rcpGrey, rcpGreen, rcpAmber, rcpRed };
TRingCellPaint RingCellPaint(int code, TLcTypeEx type);
QColor RingCellColour(TRingCellPaint paint);

// ---------------------------------------------------------------------------
// Flash map
// ---------------------------------------------------------------------------

struct TFlashLabel
{
    QString Text;
    QColor Colour; // white when empty
    bool operator==(const TFlashLabel &o) const { return Text == o.Text && Colour == o.Colour; }
};

// Number of LSUs shown by type: 6 for 2004, 8 four-lamp, 16 three-lamp.
int FlashMapLsuCount(TLcTypeEx type);
// The vehicle and pedestrian labels of LSU n (1..) from a flash-map block.
TFlashLabel FlashVehicleLabel(const QByteArray &block, TLcTypeEx type, int n);
TFlashLabel FlashPedestrianLabel(const QByteArray &block, TLcTypeEx type, int n);
// The flash time of the block.
int FlashTime(const QByteArray &block, TLcTypeEx type);

// ---------------------------------------------------------------------------
// Detectors, day plans, weekly, holiday, reservation
// ---------------------------------------------------------------------------

// Rows of a detector grid (32 for 2004, 64 for 2010): channel, then type, direction,
// position, lane, use, ring, phase and compare 0 for channels in use (null otherwise).
QList<QVariantList> DetectorRows(const QByteArray &block, TLcTypeEx type);

// The 16 rows of a day-plan grid of plan n (1..10): the step's 20 bytes in the
// columns 1..16, 18..21, compare 0 in column 17 (column 0 the row number). The
// controller side leaves a row blank (empty list) when its part's header does not
// belong to plan n and row.
QList<QVariantList> DayPlanRows(const QByteArray &block, int plan, bool controllerSide);
// The plan-number spinner: a typed value above 10 reads 10, a negative one 1.
int ValidateDayPlanNo(int value);

// The holiday row's cells: IDS_4 and 30 day-plan numbers; and the month and day band
// captions of entry i (1..30).
QStringList HolidayCells(const QByteArray &block, const QString &planCaption);
QStringList HolidayBandCaptions(const QByteArray &block);

// The ten reservation rows (month, day, weekday, start hour, minute, end hour,
// minute, control type, time-difference plan); an empty entry gives an empty list.
// Control type 4 with a plan below 6 shows the plan + 6 and writes it back into the
// block; other types leave the plan cell null.
QList<QVariantList> ReservationRows(QByteArray &block);

// ---------------------------------------------------------------------------
// Output map and conflict map
// ---------------------------------------------------------------------------

// The 23 x 10 cells of an output-map grid (row, direction 0..9) from the block and
// the centre's correction flags (10 x 6, may be null).
QList<QList<int>> OutputMapCells(const QByteArray &block, const int (*correct)[6] = nullptr);
// Lamp types of LSU 1..16 ("3색"/"4색" are the editor's texts).
QList<int> LsuLampTypes(const QByteArray &block);
// Editor of an output-map row ("check", "eriImageComboBoxItemInstallYN", "spin" ...);
// empty for rows beyond 22 (the column keeps its editor).
QString InOutPedEditor(int row);
// Whether a conflict matrix cell (row r, column c, 0..31) is read-only.
bool ConflictCellReadOnly(int r, int c, TLcTypeEx type);

// The pair a grid belongs to: its name without "gtvH"/"gtvL" when that is one of
// the paired kinds ("Startup", "DtrConfig", "RingA", ...), else empty.
QString PairedGridSuffix(const QString &gridName);

// ---------------------------------------------------------------------------
// Differences and the clock
// ---------------------------------------------------------------------------

// A cell of a paired grid shows as different when its row's compare column holds 1
// and its text differs from the other grid's cell.
inline bool CellDiffers(int compare, const QString &text, const QString &otherText)
{
    return compare == 1 && text != otherText;
}

// The clock text of IDS_405 for the seven clock bytes (year in the century, month,
// day, hour, minute, second, weekday 0 Sunday) in a language.
QString ClockText(const QByteArray &clock, int language);
