#pragma once
// The intersection monitor: one intersection followed live in its own window, with
// its map page (marker, countdown knob, arrows of the running phases), every status
// label, the phase, detector, PPC, LSU ring, UPS and extension grids, the spill-back
// list and the comments memo. Refreshed by the monitoring cycle (IMonitorView); what
// it shows is built by TLcMonitorModel. The main window hands it what it needs of
// itself in a TLcMonitorHost (the main window's library sits above this one).
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>

#include "centrelink/RC2MMIUnit.h"
#include "control/LcMonitorModel.h"
#include "core/MainContracts.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QToolButton;
class QUrl;
class QAction;
class TsiLangLinked;

// What the monitor takes from the main window.
struct TLcMonitorHost
{
    // The live state set (not owned).
    const TLC_INFO_SET *LcInfoSet = nullptr;
    TLcMonitorLegend Legend;
    TLcMonitorPageConfig PageConfig;
    // Creates the monitor page in the panel (the map view controller in the program).
    std::function<std::shared_ptr<IMapBridge>(QWidget *window, QWidget *panel)> MakePage;
    // The monitor list: the window monitoring an intersection (or null), and moving
    // this window's entry to another intersection.
    std::function<QWidget *(int lcNo)> FindMonitor;
    std::function<void(int oldNo, int newNo, QWidget *window)> Reregister;
    // The main window's texts of the controller database error codes.
    std::function<QString(int code)> DbErrorText;
    // The page asks for the node and link layers of an area.
    std::function<void(const QString &area, QWidget *window)> StartLayerThreads;
    // Opens an address clicked in the memo (the desktop's handler when empty).
    std::function<bool(const QUrl &url)> OpenUrl;
};

class TfrmTCDV_M : public QWidget, public IMonitorView
{
    Q_OBJECT
public:
    TfrmTCDV_M(QWidget *owner, const PSTT_LC_INFO &info, const TLcMonitorHost &host);
    ~TfrmTCDV_M() override;

    // IMonitorView
    void RefreshFromImage(const TMonitorRefresh &refresh) override;

    void DisplyTCDVSecInfo(const TMonitorRefresh &refresh);
    void ClearMvmt() { FModel.ClearMvmt(); }
    void SetTCDV_ID(int n);
    int TCDV_ID() const { return FTCDV_ID; }
    void SetPPCMode(bool on) { FModel.SetPPCMode(on); }
    bool PPCMode() const { return FModel.PPCMode(); }

    // Page messages ("getLimitedNodeLink", "loadEndEx", "loadEnd"); true when handled.
    bool PageMessage(const QString &name, const QVariantList &args);
    // The page failed to load or its renderer ended: the loading flag is cleared.
    void PageLoadFailed();
    // Runs the page set-up (the map view controller calls it after every load).
    void MapViewInit();

    // Comments memo.
    void LoadComments();
    bool SaveMemo();
    bool MemoChanged() const { return FMemoChanged; }

    // Event history of this intersection (through the window openers).
    void ShowEventHistory();

    // The detail panel's hot spot: folds or unfolds the panel and sizes the window.
    void ToggleDetailPanel();
    bool DetailFolded() const { return FDetailFolded; }
    int MainPanelWidth() const { return FMainPanelWidth; }

    const TLcMonitorModel &Model() const { return FModel; }
    IMapBridge *Page() const { return FPage.get(); }

    // Widgets (named as in the form; tests read them).
    QLineEdit *edtTCDV = nullptr;
    QLabel *lblTCDV_NAME = nullptr;
    QLabel *lblSA_ID = nullptr;
    QLabel *lblSA_NAME = nullptr;
    QToolButton *btnShowEventHistory = nullptr;
    QAction *actShowEventHistory = nullptr;
    QAction *actSaveMemo = nullptr;
    QAction *actRefresh = nullptr;
    QAction *actShowDevTools = nullptr;
    QWidget *pnlMapView = nullptr;
    QWidget *pnlMapViewControl = nullptr;
    QGroupBox *gbMapView = nullptr;
    QGroupBox *gpDetector = nullptr;
    QWidget *pnlExpandInfo = nullptr;
    QWidget *pnlDetailInfo = nullptr;
    QWidget *pnlDetailContent = nullptr;
    QToolButton *pnlDetailInfoHotSpot = nullptr;
    QGroupBox *grpExpandInfo = nullptr;
    QGroupBox *gbxSpillback = nullptr;
    QPlainTextEdit *edtMemo = nullptr;
    QProgressBar *pgbFwModuleDgIdx = nullptr;
    QTableWidget *gtvPhaseInfo = nullptr;
    QTableWidget *gtvDetector = nullptr;
    QTableWidget *gtvExpand = nullptr;
    QTableWidget *gtvPPCStatus = nullptr;
    QTableWidget *gtvRing = nullptr;
    QTableWidget *gtvUPSStatus = nullptr;
    QTableWidget *gtvSpillback = nullptr;
    QLabel *ValueLabel(const QString &name) const { return FValueLabels.value(name); }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildUi();
    void Retranslate();
    void ShowIdentity();
    void ApplyLayoutByType();
    void InitPhaseInfoGrid();
    void InitDetectorGrid();
    void ShowModel();
    void LoadSpillbackList();
    void ReportDbErrorOnce(const QString &what, const QSqlError &error);
    void OpenPicker();
    void LoadPage();
    void ApplyDetailGeometry();
    bool MemoClicked(const QPoint &pos);

    TLcMonitorHost FHost;
    PSTT_LC_INFO FLC_INFO;
    int FTCDV_ID = 0;
    int FV_TCDV_ID = 0;
    TLcTypeEx FLCType = lct2004;
    TLcMonitorModel FModel;
    std::shared_ptr<IMapBridge> FPage;
    bool FLoadEnd[2] = {false, false};
    bool FMemoChanged = false;
    bool FDetailFolded = true;
    int FMainPanelWidth = LcMonitorMainPanelWidth();
    int FRestoredPanelWidth = kLcMonitorDetailDesignWidth;
    bool FLoadingMemo = false;
    QSet<QString> FReported; // database errors already shown
    QHash<QString, QLabel *> FValueLabels;
    QHash<QString, QLabel *> FCaptionLabels;
    QPointer<QWidget> FEventHistory;
    TsiLangLinked *FLang = nullptr;
};

// A monitor as the main window's factory creates it (owner, live record, host).
TfrmTCDV_M *NewLcMonitor(QWidget *owner, const PSTT_LC_INFO &info, const TLcMonitorHost &host);
