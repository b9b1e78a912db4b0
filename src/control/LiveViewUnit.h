#pragma once
// What the live views of many intersections compute, without a window: the tile
// layout and tile looks of the whole-system monitor, the cells of the group monitor,
// the filtered rows of the intersection state list. The windows (untSYS_M, untSA_M,
// untTCDV_M_State) only show what these return. Texts come from the code-to-text
// routines (data module) and from the windows' own language tables.
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

#include "core/LcStatusColor.h"

class IMainWindow;
class TLC_INFO_SET;
class TSTT_LC_INFO;
struct TST_ITST_STATE;
struct TST_VESK_STATE;

// ===========================================================================
// Shared by the live views
// ===========================================================================
namespace LiveView {

// A live view shows intersection lcNo on the main map: first `announce` (the window's
// RequestPanToTCDV signal), then the main window's pan. A number below 1 does
// nothing (false); a missing main window only announces.
bool PanToLc(int lcNo, const std::function<void(int)> &announce, IMainWindow *main);

} // namespace LiveView

// ===========================================================================
// Whole-system monitor
// ===========================================================================
namespace SysMonitor {

constexpr int kColumns = 32;
constexpr int kMinRows = 40;
constexpr int kRowHeight = 46;

// Grid rows for n intersections: ceil(n / 32), at least 40.
int GridRowCount(int n);
// Cell (x = column, y = row) of the k-th intersection (k from 1) in ascending order.
QPoint CellOf(int k);

// How one tile is drawn.
struct TTileLook
{
    bool Draw = false;      // false: the grid draws the cell as usual
    QColor Colour;          // tile colour (pen and brush)
    bool Ci = false;        // rounded rectangle (CI), else ellipse
    bool ConflictOn = false;// conflict detection enabled: band in the "감지" colour
    int Number = 0;
};

// The "감지" band colour and the "불가" band's pen.
QColor ConflictOnColour();
QColor ConflictOffPen();

// An intersection is in use when it is, or when it is virtual and its main
// intersection has a live record that is in use.
bool IsInUse(const TLC_INFO_SET &set, const TSTT_LC_INFO &info);
// The tile of intersection lcNo (no live record: not drawn). flashPhase: the blink
// phase of the window; a flashing tile with its flash flag takes the local-mode
// colour in one phase.
TTileLook TileLook(const TLC_INFO_SET &set, int lcNo, const TLcStatusColors &colors, bool flashPhase);
// Two-line hint "name(number) class\r\nstate"; empty without a live record.
QString CellHint(const TLC_INFO_SET &set, int lcNo);
// Information panel: "name (class)" and the state text; both empty without a record.
QStringList InfoTexts(const TLC_INFO_SET &set, int lcNo);

} // namespace SysMonitor

// ===========================================================================
// Group monitor
// ===========================================================================
namespace GroupMonitor {

// The window's text table.
QString Tx(const QString &key);

// Text of a group-record byte by its item type 0..18 (empty for an unlisted value).
QString GroupStateText(int value, int type);

struct TCell
{
    int Row = 0;
    int Column = 0;
    QString Text;
    bool operator==(const TCell &o) const { return Row == o.Row && Column == o.Column && Text == o.Text; }
};

// Label cells of the state grid (written once) and the value cells of a 76-byte
// group record.
QList<TCell> GroupStateLabels();
QList<TCell> GroupStateValues(const quint8 *groupRecord);
// The plan grid: 5 rows x 8 columns; column 0 holds the row labels.
QList<TCell> PlanLabels();
QList<TCell> PlanValues(const quint8 *groupRecord);

// Member list columns (19) and one member row.
QStringList MemberColumnKeys();
QStringList MemberRow(int lcNo, const QString &name, const TSTT_LC_INFO &info, const TST_ITST_STATE &rec,
                      const QDateTime &packetTime);
// Background of a cell at a column position (0-based) with a text; invalid when none.
QColor CellColour(int column, const QString &text);

} // namespace GroupMonitor

// ===========================================================================
// Intersection state list
// ===========================================================================
namespace StateList {

QString Tx(const QString &key);

constexpr int kModeItems = 6;   // last item: every mode
constexpr int kStateItems = 11; // item 10: not in use
enum TColumn {
    colNum = 0, colSA, colLC, colName, colPolice, colModel, colTime, colOprMode, colStatus, colScu,
    colPower, colLightsOut, colFlash, colManual, colConflict, colDbError, colDoor, colOffset,
    colPlanMap, colRing, colStep, colPhase, colOmit, colHold, colConflictEnable, colTrans, colCount
};

struct TFilter
{
    int ModeItem = kModeItems - 1; // "전체 운영 교차로"
    bool States[kStateItems] = {};
};

// The operation mode a radio item keeps; -1 for any.
int ModeOfItem(int item);
// Whether intersection info (record rec of the image) is listed under the filter.
bool Keep(const TFilter &filter, const TLC_INFO_SET &set, const TSTT_LC_INFO &info, const TST_ITST_STATE &rec);
// The texts of one row (colCount columns; the hidden ones empty).
QStringList RowTexts(int seq, const TSTT_LC_INFO &info, const TST_ITST_STATE &rec, const QDateTime &packetTime);
// Every listed row, intersections 1 to 1024 in ascending order.
QList<QStringList> BuildRows(const TFilter &filter, const TLC_INFO_SET &set, const TST_VESK_STATE &image,
                             const QDateTime &packetTime);
// Column captions (language table keys) and design widths (0: the grid's default).
QStringList ColumnKeys();
int ColumnWidth(int column);
bool ColumnHidden(int column);
// Background of a cell; invalid when none.
QColor CellColour(int column, const QString &text);

} // namespace StateList
