#pragma once
// The controller database window: one controller's data of every kind, the
// centre copy (left) beside the controller copy (right), with download, upload,
// DB save, verify and edit buttons per kind and the all-runs over every visible
// tab. What is shown is decided by TransferWindowRules.h; the window wires it.
//
// The actions of the buttons (the transfers themselves) are attached through
// ActionHandler: a button click calls it with the button as sender, the all-run
// walk with a null sender.
#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "transfer/TransferExecutor.h"
#include "transfer/TransferWindowRules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;
class TAllExecutorPanel;
class TFormShadow;

class TfrmTCDV_C_DBUpDn : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int TCDV_ID READ TCDV_ID WRITE SetTCDV_ID)
public:
    explicit TfrmTCDV_C_DBUpDn(QWidget *AOwner = nullptr);
    ~TfrmTCDV_C_DBUpDn() override;

    int TCDV_ID() const { return FTCDV_ID; }
    int SA_ID() const { return FSA_ID; }
    TLcTypeEx LCType() const { return FLCType; }
    void SetTCDV_ID(int Value);
    void ClearControllerSide();

    // Runs for every action button (sender: the button, or null from the all-run).
    std::function<void(QPushButton *button, QObject *sender)> ActionHandler;

    // The all-runs (tag 1 download, 3 save, 4 verify; uploads have their own).
    void actAllExecutorExecute(int tag);
    void actAllUploadExecute();
    void ClickTaggedButtons(QWidget *container, int tag);
    void WMAllExecutorCancel(); // 2026
    void WMAllExecutorClose();  // 2027
    void AddAllExecutorContainer(const QString &caption);
    bool MarkAllExecutorResult(QObject *Sender, bool ok);
    // Whether closing is allowed now (FormCloseQuery).
    bool FormCloseQuery() const;
    bool Doing() const { return FExecutor.FDoing; }
    void SetDoing(bool doing);
    bool AllExecutorVisible() const { return FAllExecutorVisible; }

    TTransferExecutor &Executor() { return FExecutor; }
    TAllExecutorPanel *AllExecutorPanel() const { return FAllExecutorPanel; }
    QTabWidget *PageControl() const { return pgcUpDn; }
    QWidget *Tab(TTransferTab tab) const { return FTabs.value(tab); }
    QTableWidget *Grid(const QString &name) const { return FGrids.value(name); }
    QLabel *Label(const QString &name) const { return FLabels.value(name); }
    QPushButton *Button(const QString &name) const { return FButtons.value(name); }
    QComboBox *GennType() const { return cbxGennType; }
    QSpinBox *DayPlanSpinner() const { return spnSA_TODNO; }
    QList<QCheckBox *> DayPlanChecks() const { return grpSelDayPlan; }
    QTimer &TimerCurrTime() { return FTimerCurrTime; }

    // Centre copies of the blocks, read when their tab shows (what a download sends).
    QByteArray HStartUpCode, HSignalMap, HFlashMap, HDetector, HDayPlan, HWeekPlan, HHoliDayPlan, HFunctionTable,
        HInOutPed, HConflictMap;
    int FCorrectValue[10][6] = {};

    // Tab show handlers: reload the centre side of a tab.
    void ShowTab(TTransferTab tab);
    // The controller-side displays (after an upload).
    void DisplayLSide(TTransferTab tab);
    // The difference display of a grid pair ("Startup", "RingA", ...): a cell of a
    // row marked in its compare column whose text differs from its twin is shown
    // in red bold.
    void PaintDifferences(const QString &pair, int compareColumn);
    // An edit button: the kind's editor (opened by class name), modal; the tab's
    // centre side is read again when it has gone.
    void actEditExecute(const QString &buttonName);
    // The clock tick: the latest state image's time into the clock label.
    void UpdateCurrentTime();
    // The pause of the all-run walk: waits serving events, never blocking them.
    static void Pause(int ms);

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void BuildUi();
    QWidget *BuildTab(TTransferTab tab);
    QPushButton *AddButton(QWidget *row, const QString &name, const QString &captionKey, int tag);
    QWidget *ButtonRow(QWidget *parent, const QString &prefix, bool withEdit = true);
    QTableWidget *AddGrid(const QString &name, int columns, QWidget *parent);
    void SetTabVisibility();
    void DoingUpdate();
    void FillGennTypeItems();
    void DisplayStartup(QTableWidget *grid, const QByteArray &block);
    void DisplayRings(bool controller);
    void DisplayFlashMap(bool controller);
    void DisplayDayPlan(bool controller);
    void DisplayHoliday(QTableWidget *grid, const QByteArray &block);
    void DisplayReservation(QTableWidget *grid, QByteArray &block);
    void DisplayInOutPed(QTableWidget *grid, QTableWidget *lsuGrid, const QByteArray &block, bool centre);
    void ApplyConflictLayout(QTableWidget *grid);
    void spnSA_TODNOChange(int value);
    void actAllRun(int tag, const QString &caption);
    QString Tx(const char *key) const;

    int FTCDV_ID = 0;
    int FSA_ID = 0;
    TLcTypeEx FLCType = lctNone;
    bool FAllExecutorVisible = false;
    TTransferExecutor FExecutor;
    TAllExecutorPanel *FAllExecutorPanel = nullptr;
    QPointer<TFormShadow> Shadow;
    QTimer FTimerCurrTime;

    QTabWidget *pgcUpDn = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QCheckBox *cbxShowLog = nullptr;
    QComboBox *cbxGennType = nullptr;
    QSpinBox *spnSA_TODNO = nullptr;
    QList<QCheckBox *> grpSelDayPlan;
    QHash<int, QWidget *> FTabs;
    QHash<QString, QTableWidget *> FGrids;
    QHash<QString, QLabel *> FLabels;
    QHash<QString, QPushButton *> FButtons;
    QList<QPushButton *> FActionButtons; // disabled while busy or without a controller
};

extern QPointer<TfrmTCDV_C_DBUpDn> frmTCDV_C_DBUpDn;
