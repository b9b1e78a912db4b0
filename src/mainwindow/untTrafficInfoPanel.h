#pragma once
// The traffic-information panel ("교통정보현황"): the operator ticks intersections on
// the map; the panel lists the newest traffic row per approach of each ticked
// intersection and reads them again every five seconds while it is open.
//
// Two parts:
//   TTrafficInfoLogic  the ticked intersections (console messages of the page) and
//                      the grid rows from loaded data; no widget, tests drive it;
//   TTrafficInfoPanel  the panel widget (pnlTrafficInfo) around it: title, grid,
//                      close button, the refresh timer and the page scripts.
//
// What the main window does with it: creates it in the map's right-hand side area
// (hidden) with the page bridge; actOpenTrafficInfo toggles it (SetPanelOpen);
// actTrafficInfoClose closes it; the page's "TrafficInfoSelected" and
// "TrafficInfoUnselected" messages go to RegisterPageMessages' handlers.
#include <QStringList>
#include <QWidget>
#include <functional>

#include "core/MainContracts.h"
#include "foundation/TypeUnit.h"
#include "mainwindow/MainMapPageUnit.h"

class QSqlError;
class QTableWidget;
class QTimer;
class TPageMessageTable;

class TTrafficInfoLogic
{
public:
    // "TrafficInfoSelected" / "TrafficInfoUnselected" with the intersection number;
    // true when the selection changed (numbers of 0 or less change nothing).
    bool Select(int lcNo);
    bool Unselect(int lcNo);
    void Clear() { FSel.SetSelCount(0); }
    const TTrafficInfoSel &Sel() const { return FSel; }
    QList<int> Selected() const;

    // Loads the rows of one intersection; false with the driver's error.
    using TLoader = std::function<bool(int lcNo, QList<MainMapPage::TTrafficInfoRow> *rows, QSqlError *error)>;
    // The grid rows of every ticked intersection in the order they were ticked: number,
    // directions 1 and 2, volume, average speed, saturation, queue length, sum. Stops
    // at the first intersection that fails to load (its error in *error).
    static QStringList Cells(const MainMapPage::TTrafficInfoRow &row);
    bool Rows(const TLoader &load, QList<QStringList> *rows, QSqlError *error) const;

private:
    TTrafficInfoSel FSel;
};

class TTrafficInfoPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TTrafficInfoPanel(QWidget *parent = nullptr);

    // The main page (not owned); the loader of the rows (default: the data module's
    // connection); what to do with a load error (default: the data module's box).
    void SetPage(IMapBridge *page) { FPage = page; }
    void SetLoader(TTrafficInfoLogic::TLoader loader) { FLoader = std::move(loader); }
    void SetErrorHandler(std::function<void(const QSqlError &)> handler) { FOnError = std::move(handler); }

    TTrafficInfoLogic &Logic() { return FLogic; }
    const TTrafficInfoLogic &Logic() const { return FLogic; }

    bool IsPanelOpen() const { return isVisible(); }
    // Opening shows the panel (416 pixels wide, 426 in English), runs the show
    // scripts and starts the timer; closing runs the hide script, empties the grid
    // and stops the timer (the ticked intersections stay until actTrafficInfoClose).
    void SetPanelOpen(bool open);
    // actTrafficInfoClose: closes the panel and forgets the ticked intersections.
    void ClosePanel();
    // Reads the rows again (ttTITimer).
    void RefreshTrafficInfo();
    // The page messages of the panel.
    void RegisterPageMessages(TPageMessageTable &table);

    QTableWidget *gtvTrafficInfo = nullptr;
    QTimer *ttTITimer = nullptr;

signals:
    // The panel's close button ("닫기") was pressed.
    void closeClicked();

private:
    void RunScript(const QString &script);

    TTrafficInfoLogic FLogic;
    IMapBridge *FPage = nullptr;
    TTrafficInfoLogic::TLoader FLoader;
    std::function<void(const QSqlError &)> FOnError;
    bool FErrorShown = false;
};
