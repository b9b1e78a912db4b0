#pragma once
// The main window's selection: the current group (FSA_ID) and intersection
// (FTCDV_ID), the group and intersection trees with their models, the search boxes
// and their pickers, the selection text, the pop-up menu of the trees and the
// map, and the moves of the map to a selected group or intersection. The window
// forwards its tree and selection operations here; the map page is reached through
// the window's bridge, the live state set and the hub through the window.
#include <QModelIndex>
#include <QObject>
#include <QPoint>
#include <QString>

#include "mainwindow/MainTreeModels.h"
#include "mainwindow/MainWindowBuilder.h"

class QTreeView;
class TPageMessageTable;
class TfrmMain;

class TMainSelection : public QObject
{
    Q_OBJECT
public:
    // Creates the tree models, sets them on the window's trees and connects the
    // trees, the group grid, the search boxes and their buttons.
    TMainSelection(TfrmMain *main, const TMainWindowUi &ui);

    TNodeTreeModel *SaModel() const { return FSaModel; }
    TNodeTreeModel *LcModel() const { return FLcModel; }

    int SelectedSA() const { return FSA_ID; }
    int SelectedTCDV() const { return FTCDV_ID; }
    void SetSelection(int saId, int tcdvId)
    {
        FSA_ID = saId;
        FTCDV_ID = tcdvId;
    }

    // Trees loaded from the database; the tab shows the count.
    void BuildSaTree();
    void BuildLcTree();

    QString GetBounds(int GroupID);
    void FitGroupScript(int GroupID, bool takeCurZoom);
    void ShowSelectionText();
    void SelectLCMarker(int lcNo);
    void SelectSA(int GroupID);
    void FindTreeByLcId(QTreeView *tree, int LcId);
    void FindTreeBySaId(QTreeView *tree, int GroupID);
    int FindLcSaNo(int lcNo);
    void FindSaId(int GroupID);
    void FindTcdvId(int LcId);
    void PreparePopup(const TNodeData &data, int kind, int titleImage);
    bool TreePopup(QTreeView *tree, const QModelIndex &index, const QPoint &globalPos, bool popup);

    void trvLCClick(const QModelIndex &index);
    void trvSAClick(const QModelIndex &index);
    void trvLCDblClick(const QModelIndex &index);
    void trvSADblClick(const QModelIndex &index);
    void gtvSAMotCellClick(int row);
    void edtSAEnter();
    void edtTCDVEnter();
    void edtSAButtonClick();
    void edtTCDVButtonClick();

    void PanToTCDV(int TCDV);
    void PanToTCDV(int TCDV, const QString &NODE_ID);
    void WmLocateSA(int GroupID);
    void WmLocateTCDV(int TCDV);
    void WmPanToLatLng(const QString &lat, const QString &lng);

    // After a reload: the selected group, or else the selected intersection, is
    // selected again on the map and in the trees.
    void ShowSelectionAgain();

    // The map page's selections: "SelectedLC", "SelectedSA" and "PopupMenu".
    void RegisterPageMessages(TPageMessageTable &table);
    // The intersection and group pickers of the menu: the chosen one is selected
    // and shown on the map.
    void actOpenTCDV_SExecute();
    void actOpenSA_SExecute();

private:
    TfrmMain *FMain;
    const TMainWindowUi &FUi;
    TNodeTreeModel *FSaModel = nullptr;
    TNodeTreeModel *FLcModel = nullptr;
    int FSA_ID = 0;
    int FTCDV_ID = 0;
};
