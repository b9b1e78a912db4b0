#pragma once
// The movement arrow editor: the arrows of one intersection's phases placed and
// bent on its map page, per plan class, and saved into the phase rows. The page and
// the layer threads belong to the main window's library (above this one): the
// program installs how they are made (SetMvmtEditorHost), tests their own page.
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <QWidget>
#include <functional>
#include <memory>

#include "centrelink/RC2MMIUnit.h"
#include "core/MainContracts.h"
#include "intersection/PhaseMvmt.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QToolButton;
class TsiLangLinked;

// What the editor takes of the program around it.
struct TMvmtEditorHost
{
    // Creates the arrow page in the panel (the map view controller in the program).
    std::function<std::shared_ptr<IMapBridge>(QWidget *window, QWidget *panel)> MakePage;
    // The page asks for the node and link layers of an area.
    std::function<void(const QString &area, QWidget *window)> StartLayerThreads;
    // The colour dialog: true with *color when confirmed (platform colour integers).
    std::function<bool(QWidget *owner, int *color)> ChooseColor;
};
void SetMvmtEditorHost(const TMvmtEditorHost &host);
const TMvmtEditorHost &MvmtEditorHost();

class TfrmTCDV_E_PhaseMvmt : public QWidget
{
    Q_OBJECT
public:
    // Create(owner, live record): keeps the live record and takes its number.
    TfrmTCDV_E_PhaseMvmt(QWidget *owner, const PSTT_LC_INFO &liveRecord);
    ~TfrmTCDV_E_PhaseMvmt() override;

    void SetTCDV_ID(int lcNo);
    int TCDV_ID() const { return FTCDV_ID; }
    int VirtualTCDV_ID() const { return FVirtualTCDV_ID; }
    void SetLat(const QString &lat) { FLat = lat; }
    void SetLng(const QString &lng) { FLng = lng; }
    QString Lat() const { return FLat; }
    QString Lng() const { return FLng; }
    // The plan class (1-based) chosen in the drop-down.
    int PlanClass() const;
    void SetPlanClass(int planClass);
    // The settings file (default: the program's own).
    void SetIniFileName(const QString &file) { FIniFile = file; }

    void LoadPhaseList();
    void btnSearchClick();
    void btnInitClick();
    void btnSaveClick();
    // A click on a phase button (tag = phase * 10 + ring).
    void PhaseClick(int tag);
    // A row of the phase list chosen.
    void PhaseRowChosen(int row);

    // Native calls of the page; true when handled.
    bool PageMessage(const QString &name, const QVariantList &args);
    // Console messages of the page ("savePoint:{...}", "Done").
    void ConsoleMessage(const QString &message);
    // The page set-up, run after every load.
    void InitMapView();
    // The page failed to load or its renderer ended.
    void PageLoadFailed();

    IMapBridge *Page() const { return FPage.get(); }
    const PhaseMvmt::TMvmtSettings &Settings() const { return FSettings; }
    const QStringList &MvmtList() const { return FMvmtList; }
    const TMovementBlock &Movements() const { return FMovements; }
    PSTT_LC_INFO LiveRecord() const { return FLC_INFO; }
    bool CtrlKeyDown() const { return FCtrlKeyDown; }
    int PhaseNo() const { return FPhaseNo; }
    int RingNo() const { return FRingNo; }

    // Widgets (named as in the form; tests use them).
    QTabWidget *pgcMain = nullptr;
    QComboBox *cbxGennType = nullptr;
    QTableWidget *gtvPhase = nullptr;
    QLabel *lblTCDV_ID = nullptr;
    QLabel *lblMovement = nullptr;
    QLabel *lblSelMovement = nullptr;
    QLabel *lblHint = nullptr;
    QSpinBox *edtMvmtLength = nullptr;
    QSpinBox *edtMvmtSize = nullptr;
    QSpinBox *edtOffsetXSize = nullptr;
    QSpinBox *edtOffsetYSize = nullptr;
    QSpinBox *edtOffsetLSize = nullptr;
    QSpinBox *edtResetAngle = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnInit = nullptr;
    QPushButton *btnSave = nullptr;
    QToolButton *btnDefault = nullptr;
    QToolButton *btnMove = nullptr;
    QToolButton *btnHeadRotation = nullptr;
    QToolButton *btnMiddleRotation = nullptr;
    QToolButton *btnShowDevTool = nullptr;
    QToolButton *btnWebViewRefresh = nullptr;
    QAction *actDefault = nullptr;
    QAction *actMove = nullptr;
    QAction *actHeadRotation = nullptr;
    QAction *actMiddleRotation = nullptr;
    QAction *actShowDevTool = nullptr;
    QAction *actWebViewRefresh = nullptr;
    QAction *actClose = nullptr;
    QWidget *pnlDisplay = nullptr;
    QWidget *pnlMapView = nullptr;
    QToolButton *PhaseButton(int phase, int ring) const;
    QLabel *PhaseLabel(int phase, int ring) const;

    // A colour label clicked (Ctrl held: its text colour).
    void MovementColorClick(QLabel *label);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildUi();
    void Retranslate();
    void ApplyAdminMode();
    void FillPlanClasses();
    void ReadWindowSettings();
    void WriteWindowSettings();
    void SettingsFromBoxes();
    void ShowColours();
    void HidePhaseButtons();
    void ShowPhaseButtons(int planClass);
    void SelectCurrentRow(int planClass);
    void Run(const QString &script);
    void ToolMode(const QString &mode);
    void NumberBoxChanged();
    bool LoadMovements();

    PSTT_LC_INFO FLC_INFO;
    int FTCDV_ID = 0;
    int FVirtualTCDV_ID = 0;
    int FPhaseNo = 0;
    int FRingNo = 0;
    bool FCtrlKeyDown = false;
    QStringList FMvmtList;
    TMovementBlock FMovements{};
    QString FLat, FLng;
    TLcTypeEx FLCType = lct2004;
    bool FLoadEnd[2] = {false, false};
    bool FShown = false;
    bool FFilling = false;
    QString FIniFile;
    PhaseMvmt::TMvmtSettings FSettings;
    std::unique_ptr<PhaseMvmt::TMvmtSaver> FSaver;
    std::shared_ptr<IMapBridge> FPage;
    QList<QToolButton *> FBtnGroup;
    QList<QLabel *> FLblGroup;
    TsiLangLinked *FLang = nullptr;
};
