#pragma once
// What the intersection monitor shows, built without a window: every status label
// (text and colour), the phase, detector, PPC, LSU ring, UPS and extension grids, the
// monitor page's scripts (marker, blinking, countdown knob, movement arrows, PPC sign)
// and the state the page scripts depend on (the arrow key drawn per ring, the marker
// colour last sent, the firmware module last shown). The window copies the result
// into its widgets; tests drive the model directly with live and state records.
//
// Page scripts run through an IMapBridge; a script is sent only while the page is
// ready (browser present, not loading).
#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "centrelink/RC2MMIUnit.h"
#include "core/LcStatusColor.h"

class IMapBridge;

// The main window's legend as the monitor uses it.
struct TLcMonitorLegend
{
    TLcStatusColors Status = TLcStatusColors::Defaults();
    QColor GreenMvmt = QColor(0x30, 0xCA, 0x5D);
    QColor YellowMvmt = QColor(0xFF, 0xFF, 0x80);
    // Marker shape item and outer radius per class: MI, CI, SCI, RAMP, virtual.
    int ShapeIndex[5] = {0, 0, 0, 0, 0};
    int Size[5] = {15, 15, 15, 15, 15};
    // The main window's movement-label check box.
    bool MvmtLabel = true;

    // Marker class of a live record: virtual (4) or its tcdv_type 0..3.
    static int MarkerClass(const TSTT_LC_INFO &info);
    // Corners of a class's marker: 35 for the first shape item, else item + 2.
    int Corners(int markerClass) const;
    int Radius(int markerClass) const;
};

// What the monitor page's set-up needs besides the legend.
struct TLcMonitorPageConfig
{
    int MaxZoom = 19;          // G_MAP_MAX_ZOOM
    QString TileUrl;           // G_TILE_URL
    QString MapName = QStringLiteral("OSM");
    bool AppServer = false;    // G_APP_SERVER
    int AppPort = 12022;       // G_APP_CTRL_PORT
    bool TfdtVisible = true;   // G_TFDT_VISIBLE
};

// The set-up script of the monitor page for a marker at (lat, lng); empty when the
// position is missing or not a pair of numbers (no marker, no layers).
QString LcMonitorInitScript(const TLcMonitorPageConfig &config, const TLcMonitorLegend &legend,
                            const TSTT_LC_INFO &info);

// One value label.
struct TLcMonitorLabel
{
    QString Text;
    QColor Color = Qt::white;
};

// Colour of a status label by item and value (the low byte of the field).
QColor LcMonitorStatusColor(int item, int value);

// The text of a movement number in the phase grid: circled digits for 1..15, plain
// numbers for 16..18, empty otherwise.
QString MvmtNumberText(int number);

// The ring variable of an arrow key: its first four characters and its seventh.
QString MvmtVarName(const QString &key);

class TLcMonitorModel
{
public:
    // Texts of the window's table (IDS_...); default: the monitor's language table.
    using TTextFn = std::function<QString(const QString &key)>;
    // FW_SIZE of a firmware id; nullopt without a row or after an error (then *failed).
    using TFirmwareSizeFn = std::function<std::optional<qint64>(const QString &fwId, bool *failed)>;
    // The main window's text of a controller database error code.
    using TDbErrorTextFn = std::function<QString(int code)>;

    TLcMonitorModel();

    TLcMonitorLegend Legend;
    TTextFn Text;
    TFirmwareSizeFn FirmwareSize;
    TDbErrorTextFn DbErrorText;
    // The page (may be null: no page).
    IMapBridge *Page = nullptr;

    // What one cycle reads.
    struct TCycle
    {
        const TSTT_LC_INFO *Info = nullptr;   // live record of the monitored intersection
        const TST_ITST_STATE *State = nullptr; // the record shown (the main's for a virtual one)
        QDateTime PacketTime;
        // The record is in use, or it is virtual and its main intersection's record is.
        bool InUse = false;
    };

    // Opening or switching: a new movement block; the arrow keys, the marker colour
    // and the firmware label are forgotten so that the new page gets everything.
    void Reset(const TMovementBlock &movements);
    // The per-cycle refresh. Nothing when there is no record.
    void Refresh(const TCycle &cycle);
    // Forget the drawn arrows (when the page is ready), so the next cycle sends both.
    void ClearMvmt();
    // Show or hide the page's PPC sign; nothing while loading or when unchanged.
    void SetPPCMode(bool on);
    bool PPCMode() const { return FPPCMode; }

    // --- the result -----------------------------------------------------------------
    QHash<QString, TLcMonitorLabel> Labels;
    // Phase grid: rows 0..9, phases 1..8 (columns 3..10 of the grid).
    QString PhaseCells[10][8];
    // Pictures of rows 2 and 3: movement number (0 none) and angles, per ring and phase.
    struct TPicture
    {
        int Number = 0;
        double Head = 0, End = 0;
    };
    TPicture Pictures[2][8];
    int CurrentPhase[2] = {0, 0}; // 1..8, 0 without a state record
    int HoldColumn = 0;           // phase framed in red, 0 none
    bool Occupied[32] = {};       // detector grid (2004)
    bool ColourDetectors = false;
    // PPC grid.
    QString PpcControl, PpcState, PpcKind;
    bool PpcRingOn[6] = {};       // A Hold, A Off, A jmp, B Hold, B Off, B Jmp
    bool RingGridVisible = false;
    QString RingCells[16];        // LSU1 P1, LSU1 P2, ... LSU8 P2
    int MapGroupHeight = 210;
    int PhaseGridBottomMargin = 5;
    // UPS grid: installed (flag byte not 0) and the five cells.
    bool UpsInstalled = false;
    QString UpsCells[5];
    // Extension grid: rows 0..4, directions 1..8.
    QString ExtCells[5][8];
    // Firmware progress: parts in total (FW_SIZE div 240) and done.
    int FwTotal = 0;
    int FwDone = 0;
    // The firmware lookup failed in this cycle (the window reports it once).
    bool FwLookupFailed = false;
    int FirmwareLookups = 0;
    // The arrow keys drawn per ring.
    QString TmpPhaseAMvmt() const { return FTmpMvmt[0]; }
    QString TmpPhaseBMvmt() const { return FTmpMvmt[1]; }

    // Names of the value labels, in the order of the label table.
    static const QStringList &LabelNames();

private:
    QString Tx(const QString &key) const;
    bool PageReady() const;
    void Run(const QString &script);
    void SetLabel(const QString &name, const QString &text);
    void SetColor(const QString &name, int item, int value);
    void ShowOprInfo(const TCycle &c, const TSTT_LC_INFO &info, const TST_ITST_STATE &rec);
    void ClearOprInfo(const TCycle &c, const TSTT_LC_INFO &info);
    void Show2010(const TSTT_LC_INFO &info, const TST_ITST_STATE &rec);
    void ShowPhaseInfo(const TSTT_LC_INFO &info, const TST_ITST_STATE *rec);
    void DrawRingMvmt(const TSTT_LC_INFO &info, int planClass, int phase, QString &script, int ring);

    TMovementBlock FMovements{};
    QString FTmpMvmt[2];
    QString FLCColor;
    QString FFwText;
    bool FFwKnown = false;
    bool FPPCMode = false;
};

// ---------------------------------------------------------------------------
// Spill-back list and comments (no window)
// ---------------------------------------------------------------------------

struct TSpillbackRow
{
    int LcNo = 0;
    QString Name;
    int Index = 0;
    QString Start, End; // "hh:mm"
};

// The active spill-back settings whose controlled intersection is `lcNo`, ordered by
// direction index. False with the driver's error.
QString SpillbackListSql(int dbType);
bool LoadSpillbackList(const QSqlDatabase &db, int dbType, int lcNo, QList<TSpillbackRow> *rows,
                       QSqlError *error = nullptr);

// The memo: a stored text that is rich text (CP949 escapes, \u escapes) or plain text,
// as its plain text; a plain text as a minimal rich-text document (ASCII only).
QString CommentsToPlainText(const QByteArray &stored);
QByteArray PlainTextToComments(const QString &text);
// Reading and writing INT_COMMENTS of one intersection. Load: nullopt without a row or
// after an error (*error set). Save: false with the error; nothing is committed then.
std::optional<QString> LoadComments(const QSqlDatabase &db, int lcNo, QSqlError *error = nullptr);
bool SaveComments(QSqlDatabase db, int lcNo, const QString &text, QSqlError *error = nullptr);

// ---------------------------------------------------------------------------
// Detail panel folding (design sizes)
// ---------------------------------------------------------------------------

// The detail panel is a size panel with a hot-spot bar that folds it to the bar's width
// + 1. The window's design width and the panel's design width give the window width
// with the panel folded.
constexpr int kLcMonitorDesignWidth = 1223;
constexpr int kLcMonitorDetailDesignWidth = 651;
constexpr int kLcMonitorHotSpotWidth = 20;
constexpr int LcMonitorMainPanelWidth(int windowWidth = kLcMonitorDesignWidth,
                                      int panelWidth = kLcMonitorDetailDesignWidth,
                                      int barWidth = kLcMonitorHotSpotWidth)
{
    return windowWidth + barWidth - panelWidth + 1;
}

struct TLcDetailGeometry
{
    int PanelWidth = 0;
    int WindowWidth = 0;
    // The extended-information group: shown, hidden, or left as it is (nullopt).
    std::optional<bool> ExpandInfoVisible;
};

// Folded: the panel is the bar + 1 wide and the window returns to `mainPanelWidth`.
// Unfolded: 440 wide without the extended group for types 0 and 1, 647 wide with it for
// type 2; other types keep `restoredPanelWidth`. The window then is `mainPanelWidth` +
// panel - bar - 1 wide.
TLcDetailGeometry LcMonitorDetailGeometry(bool folded, int lcType, int mainPanelWidth, int restoredPanelWidth,
                                          int barWidth = kLcMonitorHotSpotWidth);

// ---------------------------------------------------------------------------
// Addresses in the memo
// ---------------------------------------------------------------------------

struct TLcMemoUrl
{
    int Start = 0;
    int Length = 0;
    QString Url; // as it opens: "www." addresses get "http://"
};

// Every address in a memo text (http, https, ftp, file, mailto and "www." forms); a
// trailing full stop, comma, colon, semicolon, quote or closing bracket ends it.
QList<TLcMemoUrl> LcMemoUrls(const QString &text);
// The address covering character position `pos`, or an empty text.
QString LcMemoUrlAt(const QString &text, int pos);
