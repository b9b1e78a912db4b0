#pragma once
// The intersection control window: sends operating-mode, TOD/TRC, control-mode,
// special, firmware-upgrade and priority-list commands to every checked
// intersection, one after the other, and shows each outcome in its result list.
//
// Left: the tree of groups and their registered intersections with check boxes
// (VST) and the two search boxes; right: the pages "공통" and "추가"; bottom: the
// result list, the log check box and Close. The commands themselves are built,
// sent and judged by TTcdvCommandRunner; this window collects the choices, walks
// the checked intersections and writes the event rows.
//
// Modeless, one instance (the main window's opener). A close asked for while a run
// is going waits until the run has ended.

#include <functional>

#include <QStringList>

#include "control/ControlRunWindow.h"
#include "control/TcdvCommandUnit.h"
#include "foundation/TypeUnit.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TRadioGroup;
class TsiLangLinked;
class TLC_INFO_SET;
class TProgressBarThread;

class TfrmTCDV_C_Control : public TControlRunWindow
{
    Q_OBJECT
public:
    explicit TfrmTCDV_C_Control(QWidget *owner = nullptr);
    ~TfrmTCDV_C_Control() override;

    // Set by the opener before showing.
    int SA_ID() const { return FSA_ID; }
    void SetSA_ID(int value) { FSA_ID = value; }
    int TCDV_ID() const { return FTCDV_ID; }
    void SetTCDV_ID(int value) { FTCDV_ID = value; }
    // The main window's live state set (read by the control-mode command).
    void SetLcInfoSet(const TLC_INFO_SET *set) { FRunner.LcInfoSet = set; }

    // Numbers of the checked intersections as decimal texts.
    QStringList SelectedList() const { return FSelectedList; }
    TTcdvCommandRunner &Runner() { return FRunner; }

    // Tree.
    void LoadTree();
    QTreeWidgetItem *MatchNodeKey(const QString &key) const;
    void FindSaId(int saNo);
    void FindTcdvId(int lcNo);
    // Checks or unchecks a node as the operator does (spreads to children or parent,
    // updates the selection list and reloads the priority-list grid once).
    void SetNodeChecked(QTreeWidgetItem *item, bool checked);
    // Checked intersection numbers in tree order.
    QList<int> CheckedLcIds() const;
    static TNodeData NodeData(const QTreeWidgetItem *item);

    // Runs (also reached through the actions).
    void ExecuteLcCommand(quint8 opcode, const QString &title);
    void ExecuteSpecialCommand();
    void ExecutePpcCommand(TPpcKind kind);
    void ExecutePpcGetList();
    void LoadPpcList();

    // Controls (named as the window's components).
    QTreeWidget *VST = nullptr;
    QLineEdit *edtSA = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QPushButton *btnSA = nullptr;
    QPushButton *btnTCDV = nullptr;
    QLabel *lblSA = nullptr;
    QLabel *lblTCDV = nullptr;
    QLabel *pnlSelNodeDesc = nullptr;
    QTabWidget *pgcMain = nullptr;
    QWidget *tsCommon = nullptr;
    QWidget *tsAdditional = nullptr;
    QPushButton *btnClose = nullptr;

    TRadioGroup *grpTcdvOpr = nullptr;
    TRadioGroup *grpTcdvTodTrc = nullptr;
    QGroupBox *grpTcdvControlMode = nullptr;
    QComboBox *cbxTcdvControlMode = nullptr;

    QGroupBox *grpTcdvMan = nullptr;
    QCheckBox *chxShutdown = nullptr;
    QCheckBox *chxFlash = nullptr;
    QCheckBox *chxFrenzy_ctl = nullptr;
    QCheckBox *chxConfl_dtr = nullptr;
    QCheckBox *chxManual = nullptr;
    QCheckBox *chxConfl_reset = nullptr;
    QCheckBox *chxScu_reset = nullptr;
    QCheckBox *chxMcu_reset = nullptr;
    QCheckBox *chxActive_start = nullptr;
    QCheckBox *chxPed_btn = nullptr;
    TRadioGroup *rgpRunType = nullptr;
    QGroupBox *grpPhaseHoldOmmitContainer = nullptr;
    TRadioGroup *grpPhaseHoldOmmit = nullptr;
    QSpinBox *edtHoldOmitPhaseNo = nullptr;
    QGroupBox *grpSpillBack = nullptr;
    QComboBox *cbxSpillBackDir = nullptr;
    QSpinBox *edtMainSpillbackPhase = nullptr;
    QSpinBox *edtSubSpillbackPhase = nullptr;
    QGroupBox *grpTimeDiff = nullptr;
    QSpinBox *edtTime_diff = nullptr;

    QGroupBox *grpFWUpgradeContainer = nullptr;
    TRadioGroup *rgpFWType = nullptr;
    TRadioGroup *grpCondition = nullptr;
    TRadioGroup *grpReboot = nullptr;

    QGroupBox *rgpPPCBoard = nullptr;
    QSpinBox *edtPPCManager = nullptr;
    QTableWidget *cxVerGridPPC = nullptr;
    QTableWidget *gtvPPCGetList = nullptr;
    QLabel *lblPPC_TYPE = nullptr;
    QLabel *lblPPC_MANAGER = nullptr;
    QLabel *lblRecordCount = nullptr;
    QTableWidget *gtvPPC = nullptr;

    QAction *actTcdvOpr = nullptr;
    QAction *actTcdvTodTrc = nullptr;
    QAction *actTcdvControlMode = nullptr;
    QAction *actTcdvFWUpgrade = nullptr;
    QAction *actTcdvMan = nullptr;
    QAction *actPPCAdd = nullptr;
    QAction *actPPCDel = nullptr;
    QAction *actPPCAllDel = nullptr;
    QAction *actPPCGetList = nullptr;
    QAction *actPPCManagerGetList = nullptr;
    QAction *actSelAllNode = nullptr;
    QAction *actUnselAllNode = nullptr;
    QAction *actClose = nullptr;

    // Columns of the entries grid.
    enum { colSel = 0, colInt, colManager, colType, colNumber, colComments, colCount };
    // The rows of the entries grid with their ticks.
    QList<TPpcEntry> PpcRows() const;

signals:
    // Select a group in the main window (WM_USER+100).
    void RequestSelectSA(int saNo);
    // Select an intersection and pan the map to it (WM_USER+101).
    void RequestPanToTCDV(int lcNo);

public slots:
    void actTcdvOprExecute();
    void actTcdvTodTrcExecute();
    void actTcdvControlModeExecute();
    void actTcdvFWUpgradeExecute();
    void actTcdvManExecute();
    void actPPCAddExecute();
    void actPPCDelExecute();
    void actPPCAllDelExecute();
    void actPPCGetListExecute();
    void actPPCManagerGetListExecute();
    void actSelAllNodeExecute();
    void actUnselAllNodeExecute();
    void actCloseExecute();
    void CheckAllNodes(bool checked);
    void DoingUpdate() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void BuildUi();
    void Retranslate();
    void FormShow();
    void ReadRunInputs();
    bool BeginRun(bool ask);
    void EndRun();
    // One run over the checked controllers: busy cursor, cleared result list, the
    // window's inputs read once, a progress text and one step per controller.
    void RunOverCheckedLcs(const std::function<QString(int)> &progressText, const std::function<void(int)> &step);
    QString LcProgressText(int lc) const;
    void OnItemChanged(QTreeWidgetItem *item, int column);
    void OnCurrentItemChanged(QTreeWidgetItem *current);
    void OnItemDoubleClicked(QTreeWidgetItem *item);
    void RebuildSelectedList();
    void FillPpcGrid(const QList<TPpcEntry> &rows);
    QString T(const QString &key) const override;
    void btnSAClick();
    void btnTCDVClick();
    void cbxShowLogClick();

    TTcdvCommandRunner FRunner;
    TsiLangLinked *FLang = nullptr;
    QStringList FSelectedList;
    int FCheckingLcId = -1;
    int FSA_ID = 0;
    int FTCDV_ID = 0;
    bool FShownOnce = false;
    bool FUpdatingChecks = false;
};
