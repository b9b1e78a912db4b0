#pragma once
// The VIP phase-hold panel ("긴급차량우선제어"): the operator ticks intersections on
// the map; the panel shows each ticked intersection as a block of four grid rows
// (ring A splits, ring A movements, ring B movements, ring B splits) with the
// running and the held phase, and holds, releases, advances or jumps phases
// through the centre server (TVipCtrlThread, one connection per run). Every run
// writes one operator event per command (code 41, kind 1: 163 hold, 173 advance,
// 174 jump).
//
// Two parts:
//   TVipPanelLogic  rows, selection, refresh from the live set and the state image,
//                   the command list of a run and what its results give (mmLog lines,
//                   event rows, toggles); no widget, tests drive it directly;
//   TVipPanel       the panel widget (pnlVIPControl) around it.
//
// What the main window does with TVipPanel:
//   - creates it in the map's right-hand side area (hidden), calls
//     SetSources(&LcInfoSet(), [hub] { return hub->Image(); }, MapBridge()) and, when its legend
//     is at hand, SetColorHooks(...);
//   - RegisterMonitorView(mvkVipPanel, panel): the panel refreshes after every state
//     image while it is open (WantsRefresh);
//   - actOpenVIPControl (Ctrl+P) toggles it: SetPanelOpen(!IsPanelOpen()); the
//     panel's own "닫기" closes it too and emits openChanged(false);
//   - console messages of the page: RegisterPageMessages(table) routes
//     "VIPCtrlSelected" and "VIPCtrlUnselected" to HandleConsoleMessage(key, value);
//   - the width it wants follows PreferredWidth() (signal preferredWidthChanged).
#include <QAction>
#include <QColor>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QAbstractTableModel>
#include <QWidget>
#include <functional>
#include <optional>

#include "centrelink/ExchangeLogUnit.h"
#include "core/MainContracts.h"
#include "centrelink/RC2MMIUnit.h"
#include "foundation/TypeUnit.h"

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class TVipPanel;
class TPageMessageTable;

// Grid columns (model indexes). The name column is kept in the model but drawn
// inside the number cell.
enum TVipColumn {
    vcLcNo = 0,       // gtvVIPCtrlColumn1
    vcPhase1 = 1,     // gtvVIPCtrlColumn2 .. Column9: phases 1..8
    vcPhase8 = 8,
    vcCycle = 9,      // gtvVIPCtrlColumn10
    vcName = 10,      // gtvVIPCtrlColumn11
    vcKeepPhase = 11, // gtvVIPCtrlKeepPhase (toggle)
    vcForceOff = 12,  // gtvVIPCtrlForceOffPhase ("Next")
    vcJump = 13,      // gtvVIPCtrlJumpPhase ("Go")
    vcCount = 14
};

// One grid row.
struct TVipRow
{
    int LcId = 0;
    QString Name;
    // Phase columns 1..8 at [0..7]: the split (rows 0 and 3) or the movement number
    // (rows 1 and 2, 17 and 18 shown as 9 and 10); null when nothing was written.
    QVariant Phase[8];
    // Movement rows: the live entry's movement number and its angles (texts).
    int Mvmt[8] = {};
    QString HeadAngle[8];
    QString EndAngle[8];
    int CycleCount = 0;
    int CurrentPhase = 0;                // 1-based running phase of the row's ring
    int HoldPhase = 0;                   // 0 none
    QString LcColor;                     // state colour, six hex digits (red first)
    std::optional<bool> ClickedLcCtrl;   // the advance latch; empty until first refresh
    int LcMode = 0;                      // control mode (oprMode)
    std::optional<bool> KeepPhase;       // toggle; set once from the live record
};

// Colour of a state and mode (hex text), and the not-in-use colour.
using TVipStatusColor = std::function<QString(int state, int mode)>;
using TVipUnusedColor = std::function<QColor()>;

// Texts of a run's results (the data module's T_UpDn1..24).
using TVipRunTexts = TUpDnTexts;

// One operator-event row of a run.
struct TVipEventRow
{
    int LcId = 0;
    int Value = 0; // 163 hold, 173 advance, 174 jump
    QString Text;
};

// What a run's results give.
struct TVipRunOutcome
{
    QStringList LogLines;        // lines for mmLog
    QList<TVipEventRow> Events;  // operator events (code 41, kind 1)
};

class TVipPanelLogic
{
public:
    // --- rows ---------------------------------------------------------------------
    const QList<TVipRow> &Rows() const { return FRows; }
    int RowCount() const { return int(FRows.size()); }
    int BlockCount() const { return int(FRows.size()) / 4; }
    // Block of an intersection, -1 when it is not ticked.
    int BlockOf(int lcId) const;
    int BlockLcId(int block) const;
    const TVipRow &Row(int row) const { return FRows.at(row); }
    TVipRow &RowRef(int row) { return FRows[row]; }

    // Ticking: a block of four rows and a selection entry (phase 1 for stOne, the
    // previous entry's phase for stAll). False when already ticked.
    bool AddLc(int lcId, const QString &name);
    // Unticking: the rows and the selection entry go.
    bool RemoveLc(int lcId);
    // Closing the panel: no rows, no selection entries.
    void Clear();

    // --- selection ------------------------------------------------------------------
    TVIPCtrlSel &Sel() { return FVIPCtrlSel; }
    const TVIPCtrlSel &Sel() const { return FVIPCtrlSel; }
    // Phase chosen for a block (0 when none).
    int SelectedPhase(int block) const;
    // Band header "A"k / "B"k: phase k for every block (stAll).
    void ChooseAll(int phase);
    // A cell outside the button columns: the clicked column's index for that block (stOne).
    void ChooseOne(int block, int column);

    // --- refresh --------------------------------------------------------------------
    // Refreshes every block from the live set and the image; returns the widest phase
    // (4 at least) whose band headers show.
    int Refresh(const TLC_INFO_SET *set, const TST_VESK_STATE *image, const TVipStatusColor &color,
                const TVipUnusedColor &unused);
    // One block (first row); returns the highest phase with a movement (1 at least).
    int RefreshRows(int lcId, int firstRow, const TLC_INFO_SET *set, const TST_VESK_STATE *image,
                    const TVipStatusColor &color, const TVipUnusedColor &unused);
    // Panel width for the widest phase: widest x 34 + 194, plus 17 with a scroll bar.
    static int PanelWidth(int widest, bool verticalScrollBar);

    // FClickedAdvance: an advance or jump was sent and the controller has not yet
    // left the phase it was in.
    bool ClickedAdvance() const { return FClickedAdvance; }
    void SetClickedAdvance(bool on) { FClickedAdvance = on; }

    // --- buttons ----------------------------------------------------------------------
    // Usable buttons of a row (drawing and clicks).
    static bool KeepUsable(const TVipRow &row) { return !row.ClickedLcCtrl.value_or(false); }
    static bool ForceOffUsable(const TVipRow &row) { return row.HoldPhase == 0 && row.LcMode != 0; }
    static bool JumpUsable(const TVipRow &row) { return row.HoldPhase == 0 && (row.LcMode == 1 || row.LcMode == 2); }

    // --- a run ------------------------------------------------------------------------
    enum TBuildResult { brOk = 0, brNoRows, brNoPhase };
    // The control-mode code sent with an advance or jump for a live oprMode.
    static quint8 OprModeCode(int oprMode);
    // Whether a run may start: rows exist, and for rtRun every selection entry
    // holds a phase 1..8.
    TBuildResult Validate(TRunType runType) const;
    // The command list (Validate first): stOne takes the focused block.
    // For advance and jump it sets FClickedAdvance.
    TBuildResult BuildCommands(TRunType runType, TVIPSelType selType, TCommandType commandType, int focusedBlock,
                               const TLC_INFO_SET *set, TLcDataArray &list);
    // The results: mmLog lines, toggles of held intersections and the event rows.
    // A failed connection gives one line and nothing else; a failed closing step
    // gives its line and still every command's line and event (they reached the
    // centre server).
    TVipRunOutcome ApplyResults(const TLcDataArray &list, TRunType runType, int rtnValue, const TVipRunTexts &t);
    // The text of an event row.
    static QString EventText(const TLcData &d, TRunType runType, bool success, const TVipRunTexts &t);

private:
    QList<TVipRow> FRows;
    TVIPCtrlSel FVIPCtrlSel;
    bool FClickedAdvance = false;
};

// ---------------------------------------------------------------------------
// The widget
// ---------------------------------------------------------------------------

class TVipGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TVipGridModel(TVipPanelLogic *logic, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void Reset();
    void Changed();

private:
    TVipPanelLogic *FLogic;
};

class TVipCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TVipCellDelegate(TVipPanel *panel);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The button strip of a cell: 20 pixels around its vertical centre, 2 inside each side.
    static QRect ButtonStrip(const QRect &cell);

private:
    TVipPanel *FPanel;
};

class TVipPanel : public QWidget, public IMonitorView
{
    Q_OBJECT
public:
    explicit TVipPanel(QWidget *parent = nullptr);
    ~TVipPanel() override;

    // Where the panel reads the current state image: the monitoring hub's Image().
    using TImageSource = std::function<TStateImageRef()>;
    // The live set, the source of the current image and the main page (set and page
    // not owned). The panel asks the source every time it reads the image and keeps
    // the snapshot it got while it reads, so a new image never frees one in use.
    void SetSources(const TLC_INFO_SET *set, TImageSource image, IMapBridge *page);
    // The image the panel reads now (the source's, else the latest refresh's).
    TStateImageRef CurrentImage() const;
    // Colours of the states and of unused intersections (default: the legend's defaults).
    void SetColorHooks(TVipStatusColor color, TVipUnusedColor unused);

    TVipPanelLogic &Logic() { return FLogic; }
    const TVipPanelLogic &Logic() const { return FLogic; }

    // Opening and closing (the page's selection markers come and go with it).
    bool IsPanelOpen() const { return FOpen; }
    void SetPanelOpen(bool open);
    int PreferredWidth() const { return FPreferredWidth; }

    // Console messages of the page; true when taken.
    bool HandleConsoleMessage(const QString &key, const QString &value);
    // Registers "VIPCtrlSelected" and "VIPCtrlUnselected" with the page's table.
    void RegisterPageMessages(TPageMessageTable &table);
    void LcSelected(int lcId);
    void LcUnselected(int lcId);

    // TfrmMain.RefreshVIPPanel.
    void RefreshVIPPanel();
    // Confirms and runs one set of commands (TfrmMain.ExecuteVIPControl).
    void ExecuteVIPControl(TRunType RunType, TVIPSelType SelType, TCommandType CommandType);
    bool IsRunning() const { return FRunning; }

    // IMonitorView
    void RefreshFromImage(const TMonitorRefresh &refresh) override;
    bool WantsRefresh() const override { return FOpen; }

    // Widgets and actions (tests drive them).
    QTableView *gtvVIPCtrl = nullptr;
    QPlainTextEdit *mmLog = nullptr;
    QWidget *pnlVIPCtrlLoading = nullptr;
    QAction *actVIPCtrlGoAllHold = nullptr;
    QAction *actVIPCtrlStopAllHold = nullptr;
    QAction *actVIPCtrlClose = nullptr;
    QAction *actVIPCtrlGoHold = nullptr;
    QAction *actVIPCtrlStopHold = nullptr;
    QMenu *pmVIPCtrl = nullptr;

    // Grid events (mouse handling calls them; tests too).
    void BandHeaderClick(int column);
    // Press on a cell; returns which button fired (vcKeepPhase, vcForceOff, vcJump) or -1.
    int CellMouseDown(int row, int column, const QPoint &pos);
    // Release: runs the fired command.
    void CellMouseUp();
    int FocusedRow() const;
    void SetFocusedRow(int row);

    // Styles.
    static QColor CurrentPhaseColor();
    static QColor HoldPhaseColor();
    static QColor ChosenPhasePenColor();
    static QColor ArrowColor();

signals:
    void openChanged(bool open);
    void preferredWidthChanged(int width);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildUi();
    void Retranslate();
    void UpdateActions();
    void ResetGrid();
    void ApplySpans();
    void RunScript(const QString &script);
    const TLC_INFO_SET *LiveSet() const { return FSet; }

    TVipPanelLogic FLogic;
    TVipGridModel *FModel = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblEmpty = nullptr;
    QPushButton *btnGoAllHold = nullptr;
    QPushButton *btnStopAllHold = nullptr;
    QPushButton *btnClose = nullptr;
    const TLC_INFO_SET *FSet = nullptr;
    TImageSource FImageSource;
    TStateImageRef FImage;
    IMapBridge *FPage = nullptr;
    TVipStatusColor FColor;
    TVipUnusedColor FUnused;
    bool FOpen = false;
    bool FRunning = false;
    bool FFireKeepPhase = false;
    bool FFireForceOff = false;
    bool FFireJump = false;
    int FPreferredWidth = 0;
    QPoint FMousePos;
    bool FMouseDown = false;

    friend class TVipCellDelegate;
};

// The page scripts of opening and closing the panel.
QString VipOpenScript();
QString VipCloseScript();
