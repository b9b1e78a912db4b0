#pragma once
// The operation plan sheet of one intersection (read-only): phases with their
// arrows, TOD patterns, day, week, reservation and special-day plans, start-up
// main phase and the map, exported into workbooks (one intersection or all).
// What the panels hold comes from intersection/TcdvConf.h, the workbook from
// intersection/TcdvConfExport.h.
#include <QPointer>
#include <QVariantList>
#include <QWidget>
#include <functional>
#include <memory>

#include "centrelink/RC2MMIUnit.h"
#include "core/MainContracts.h"
#include "intersection/TcdvConfExport.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTableWidget;
class QToolButton;
class TFormShadow;

// What the sheet takes of the program around it (set by the main window).
struct TPlanSheetHost
{
    // Creates the map page in the panel; none: the sheet has no map.
    std::function<std::shared_ptr<IMapBridge>(QWidget *window, QWidget *panel)> MakePage;
    // The page asks for the node and link layers of an area.
    std::function<void(const QString &area, QWidget *window)> StartLayerThreads;
    // The movement legend's green colour and whether labels are shown.
    std::function<QColor()> GreenMvmtColor;
    std::function<bool()> MvmtLabels;
};
void SetPlanSheetHost(const TPlanSheetHost &host);
const TPlanSheetHost &PlanSheetHost();

class TfrmTCDV_Conf : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int TCDV_ID READ TCDV_ID WRITE SetTCDV_ID)
public:
    explicit TfrmTCDV_Conf(QWidget *owner, IMainWindow *main = nullptr);
    ~TfrmTCDV_Conf() override;

    int TCDV_ID() const { return FTCDV_ID; }
    void SetTCDV_ID(int value);
    TLcTypeEx LcType() const { return FLCType; }
    QList<int> DayPlanNos() const { return FiDayPlanNOs; }

    void actSearchExecute();
    void actExportExecute();
    void actExportAllExecute();
    void actSaveMapViewExecute();
    // The progress panel's cancel or close button.
    void AllExecutorCancel();
    bool AllExecutorRunning() const { return FAllExecutorVisible; }
    // Run after each intersection of an export of all (tests cancel there).
    std::function<void(int lcNo)> OnExportAllStep;

    // Native calls of the map page; true when handled.
    bool PageMessage(const QString &name, const QVariantList &args);
    void MapViewInit();
    QString GetMovementScript() const;
    IMapBridge *MapView() const { return FMapView.get(); }
    // The map picture (the page's visible area); null without a page.
    QImage MapPicture() const;
    // What the export writes of the window.
    TcdvConf::TSheetSnapshot Snapshot() const;

    // Panels (other code and tests refer to these names).
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTcdvName = nullptr, *lblSA_NAME = nullptr, *lblTCDV_NAME = nullptr, *lblPHASE_INFO = nullptr;
    QComboBox *cbxGennType = nullptr;
    QTabBar *tcDayPlan = nullptr, *tcLcTod = nullptr;
    QTableWidget *gtvPhaseInfo = nullptr, *gtvTODWin = nullptr, *gtvDayPlan = nullptr, *gtvWeekPlan = nullptr,
                 *gtvFnTab = nullptr, *gtvSpPlan = nullptr;
    QPushButton *btnImport = nullptr, *btnSaveMap = nullptr, *btnRefresh = nullptr, *btnDevTools = nullptr;
    QToolButton *btnExport = nullptr;
    QWidget *pnlMapView = nullptr;
    QProgressBar *AllExecutorProgress = nullptr;

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    QString Tx(const char *key) const;
    void BuildUi();
    void ClearPanels();
    void InitPhaseGrid();
    void LoadPhaseGrid();
    void LoadPlanTabs();
    void LoadDayPlan();
    void LoadTODPattern();
    void LoadWeekPlan();
    void LoadReservePlan();
    void LoadSpecialDayPlan();
    void TabChanged(QTabBar *from, int index);
    bool ReportDbError(bool ok, const QString &error);
    void ShowExportResult(int result, const QString &detail);
    void StopShadow();

    IMainWindow *FMain = nullptr;
    int FTCDV_ID = 0;
    PSTT_LC_INFO FLC_INFO;
    TMovementBlock FMovements{};
    TLcTypeEx FLCType = lctNone;
    QList<int> FiDayPlanNOs;
    QString FLat, FLng;
    bool FLoadEnd[2] = {false, false};
    std::shared_ptr<IMapBridge> FMapView;
    bool FAllExecutorVisible = false;
    QPointer<TFormShadow> Shadow;
    QList<TcdvConf::TSpecialRow> FSpecial;
    QList<TcdvConf::TReserveRow> FReserve;
    bool FSyncingTabs = false;
};
