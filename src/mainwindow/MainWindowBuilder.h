#pragma once
// Builds the main window's widgets and actions and hands them back in one record:
// the actions of the action table, the area browser (search boxes, selection text,
// the two trees, the legend), the map area with the group grid below it, the status
// bar, the pop-up menu of the trees and the map, the tool bar with the host-request
// strip, and the side panels at the map's right edge. The builder connects nothing
// to the window's handlers; the window (and its controllers) wire what they handle.
#include <QHash>
#include <QString>
#include <functional>

#include "core/MainContracts.h"

class IMapBridge;
class QAction;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QToolBar;
class QToolButton;
class QTreeView;
class QWidget;
class TAppEmergencyPanel;
class TLegendPanel;
class TTrafficInfoPanel;
class TVipPanel;
class TLC_INFO_SET;

// The widgets and actions of the main window (owned by the window through Qt's
// parent chain; the record only points at them).
struct TMainWindowUi
{
    // Actions by name (MainActionDefs: name, separator, shortcut).
    QHash<QString, QAction *> Actions;
    QAction *Action(const QString &name) const { return Actions.value(name); }

    // Layout: the area browser at the left, the map over the monitoring panel at the right.
    QSplitter *MainSplit = nullptr;
    QSplitter *MapSplit = nullptr;
    QWidget *AreaBrowser = nullptr;
    QWidget *MapView = nullptr;
    QWidget *Mntr = nullptr;

    // Area browser.
    QLineEdit *edtSA = nullptr;
    QLineEdit *edtTCDV = nullptr;
    QPushButton *btnSA = nullptr;
    QPushButton *btnTCDV = nullptr;
    QLabel *SelNodeDesc = nullptr;
    QTabWidget *TreePages = nullptr;
    QTreeView *trvSA = nullptr;
    QTreeView *trvLC = nullptr;
    TLegendPanel *Legend = nullptr;

    // The group grid of the monitoring panel and the sum of its column widths.
    QTableWidget *gtvSAMot = nullptr;
    int GridColumnWidth = 0;

    // Status bar.
    QLabel *gsConnection = nullptr;
    QLabel *gsRequest = nullptr;
    QLabel *gsReceive = nullptr;
    QLabel *spUserID = nullptr;
    QLabel *spLat = nullptr;
    QLabel *spLng = nullptr;

    // Pop-up menu of the trees and the map.
    QMenu *pmLC = nullptr;
    QAction *pmMapCaption = nullptr;
    QMenu *pmLcEdit = nullptr;
    QMenu *pmSaEdit = nullptr;

    // Tool bar and the host-request strip.
    QToolBar *tbMain = nullptr;
    QWidget *SimpleButtons = nullptr;
    QPushButton *btnPacketSize = nullptr;
    QToolButton *btnAppEmergency = nullptr;

    // Side panels at the map's right edge (at most one open).
    TVipPanel *VipPanel = nullptr;
    TTrafficInfoPanel *TrafficInfoPanel = nullptr;
    TAppEmergencyPanel *AppEmergencyPanel = nullptr;
};

namespace MainWindowBuilder {

// The actions of the action table, children of owner and added to it.
void CreateActions(QWidget *owner, TMainWindowUi &ui);
// The central widget, splitters, area browser, trees (without models), legend, map
// area, group grid and status bar.
void BuildUi(QMainWindow *window, TMainWindowUi &ui);
// The pop-up menu: a caption, then proxies of the window's actions (each carries its
// action's name in "mainAction" and its rule in "tag"); the editing sub-menus are
// enabled by grade (intersection editors for 1 and 3, group editors for 1).
void BuildPopupMenu(QWidget *owner, int grade, TMainWindowUi &ui);
// The top row above the central widget's content: the tool bar and, at the right,
// the host-request strip; the hidden emergency and packet-size buttons.
void BuildToolBar(QMainWindow *window, TMainWindowUi &ui);
// The VIP, traffic-information and emergency panels, hidden, at the map's right edge.
void BuildSidePanels(QWidget *owner, const TLC_INFO_SET *set, std::function<TStateImageRef()> image,
                     IMapBridge *page, TMainWindowUi &ui);
// The texts of the built widgets in the current language (tx: text of a key of
// the window's table): search-box labels, group-grid captions, the pop-up's
// sub-menus and proxies, and the host-request buttons (the caption, or the hint
// of an action without one).
void Retranslate(const TMainWindowUi &ui, const std::function<QString(const QString &)> &tx);
// The grade rules of the built widgets: grades other than 1 and 3 lose the
// parameters-changed button; the pop-up's intersection editors are enabled for 1
// and 3, its group editors for 1.
void ApplyGrade(const TMainWindowUi &ui, int grade);
// A status glyph (image number) on a label: 0 receive blink, 1 request blink,
// 2 receive idle, 3 request idle, 6 connected, 7 disconnected.
void SetGlyph(QLabel *label, int index);

} // namespace MainWindowBuilder
