#pragma once
// TFormTcdvTod: the TOD plan editor of one intersection and its group, one plan
// class at a time. Its first page edits the phases and, per plan number, the
// time plan with the group's cycle plan; the statements and row rules live in
// plans/TcdvTodUnit.h, this window connects them to the grids, boxes and
// questions.
//
// Openers create it, set spnTODNo (optional), TCDV_ID and IsModal, and show it.
// After a committed save, closing raises REFRESH_TCDV_TOD on the main window.
#include <QList>

#include "core/untBase.h"
#include "foundation/TypeUnit.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class IMainWindow;
class TGridModel;
class TGridView;

class TFormTcdvTod : public TfrmBase
{
    Q_OBJECT
public:
    explicit TFormTcdvTod(QWidget *owner = nullptr);
    ~TFormTcdvTod() override;

    // Entry properties.
    void SetTCDV_ID(int lcNo);
    int TCDV_ID() const { return FTCDV_ID; }
    // Written with the index of the plan-class list: the class is index + 1.
    void SetPLAN_CLSS(int index);
    int PlanClass() const { return FPLAN_CLSS; }
    TRingType FocusedGrid() const { return FFocusedGrid; }
    // The main window whose live state set the movement editor needs (default:
    // the owner when it is the main window).
    void SetMain(IMainWindow *main) { FMain = main; }

    int SA_ID() const { return FSA_ID; }
    TLcTypeEx LcType() const { return FLCType; }
    int VirtualTCDV_ID() const { return FVirtualTCDV_ID; }
    bool IsVirtual() const { return FVirtualTCDV_ID > 0; }
    bool Searched() const { return FSearched; }
    bool PhaseEdited() const;
    bool SplitEdited() const;
    bool RefreshPending() const { return FREFRESH_TCDV_TOD; }
    int PlanNumber() const;

    // Reloads every page of the intersection shown.
    void LoadAll();
    // The controller-type adaptation of the plan-class list and pages.
    void SetupByLcType();

    TGridModel *PhaseModel() const { return FPhaseModel; }
    TGridModel *SplitModel() const { return FSplitModel; }

    // Components.
    QLabel *lblTCDV = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QToolButton *btnTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QLabel *lblSA = nullptr;
    QLabel *lblSA_NAME = nullptr;
    QComboBox *cbxGennType = nullptr;
    QPushButton *btnClose = nullptr;
    QTabWidget *pclTCDVTOD = nullptr;
    QWidget *tshPhase = nullptr;
    QWidget *tshSignalMap = nullptr;
    QWidget *tshInOutPed = nullptr;
    TGridView *gtvPhase = nullptr;
    TGridView *gtvSplit = nullptr;
    QLabel *lblTODNo = nullptr;
    QSpinBox *spnTODNo = nullptr;
    QList<QCheckBox *> grpSelSplit; // "#1".."#10"

    QAction *actPhaseSearch = nullptr;
    QAction *actPhaseSave = nullptr;
    QAction *actEditMvmt = nullptr;
    QAction *actPhaseCopy = nullptr;
    QAction *actPhasePaste = nullptr;
    QAction *actPhaseDel = nullptr;
    QAction *actSplitSearch = nullptr;
    QAction *actSplitSave = nullptr;
    QAction *actSplitValidate = nullptr;
    QAction *actSplitMultiCopy = nullptr;
    QAction *actSplitCopy = nullptr;
    QAction *actSplitPaste = nullptr;
    QAction *actSplitPasteAll = nullptr;
    QAction *actSplitDel = nullptr;
    QAction *actPhaseExport = nullptr;
    QAction *actSplitExport = nullptr;

public slots:
    void actPhaseSearchExecute();
    void actPhaseSaveExecute();
    void actEditMvmtExecute();
    void actPhaseCopyExecute();
    void actPhasePasteExecute();
    void actPhaseDelExecute();
    void actSplitSearchExecute();
    void actSplitSaveExecute();
    void actSplitValidateExecute();
    void actSplitMultiCopyExecute();
    void actSplitCopyExecute();
    void actSplitPasteExecute();
    void actSplitPasteAllExecute();
    void actSplitDelExecute();
    void spnTODNoChanged(int value);
    // Enables the actions by the window's state.
    void UpdateActions();

protected:
    void Retranslate() override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    // A modal run ends here without a close event.
    void done(int result) override;

private:
    void RaiseRefresh();
    void BuildWidgets();
    void BuildActions();
    bool Shown() const; // an intersection is shown (its name is not the not-found text)
    void LoadPhaseGrid();
    void LoadSplitGrid();
    void CheckPlanNumbers();
    void ClearGrids();
    void PhaseRowFocused(int rec);
    void PasteSplit(int mode);
    void ShowRefused(const QString &message);
    void PickIntersection();
    void ApplySplitBands();
    // Writes a grid to a workbook named after the intersection, the page and the class.
    void ExportGrid(TGridView *grid, const QString &prefixKey);

    IMainWindow *FMain = nullptr;
    TGridModel *FPhaseModel = nullptr;
    TGridModel *FSplitModel = nullptr;
    int FTCDV_ID = 0;
    int FSA_ID = 0;
    TLcTypeEx FLCType = lctNone;
    int FPLAN_CLSS = 1;
    int FVirtualTCDV_ID = 0;
    bool FSearched = false;
    bool FREFRESH_TCDV_TOD = false;
    bool FShownOnce = false;
    bool FLoading = false;
    TRingType FFocusedGrid = rtNone;
};
