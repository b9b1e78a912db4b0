#include "mainwindow/MainSelectionUnit.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSqlError>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeView>

#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/WindowRegistry.h"
#include "core/untDM.h"
#include "core/untSA_S.h"
#include "core/untTCDV_S.h"
#include "foundation/JsEscape.h"
#include "mainwindow/MainListsUnit.h"
#include "mainwindow/MainMapPageUnit.h"
#include "mainwindow/PageMessageTable.h"
#include "mainwindow/untMain.h"

TMainSelection::TMainSelection(TfrmMain *main, const TMainWindowUi &ui) : QObject(main), FMain(main), FUi(ui)
{
    FSaModel = new TNodeTreeModel(this);
    FLcModel = new TNodeTreeModel(this);
    FUi.trvSA->setModel(FSaModel);
    FUi.trvLC->setModel(FLcModel);

    connect(FUi.trvLC, &QTreeView::clicked, this, &TMainSelection::trvLCClick);
    connect(FUi.trvSA, &QTreeView::clicked, this, &TMainSelection::trvSAClick);
    connect(FUi.trvLC, &QTreeView::doubleClicked, this, &TMainSelection::trvLCDblClick);
    connect(FUi.trvSA, &QTreeView::doubleClicked, this, &TMainSelection::trvSADblClick);
    for (QTreeView *tree : {FUi.trvLC, FUi.trvSA})
        connect(tree, &QWidget::customContextMenuRequested, this, [this, tree](const QPoint &pos) {
            TreePopup(tree, tree->indexAt(pos), tree->viewport()->mapToGlobal(pos), true);
        });
    connect(FUi.gtvSAMot, &QTableWidget::cellClicked, this, [this](int row, int) { gtvSAMotCellClick(row); });
    connect(FUi.gtvSAMot, &QTableWidget::cellDoubleClicked, this, [this](int, int) {
        if (QAction *a = FMain->Action(QStringLiteral("actOpenSA_M")))
            a->trigger();
    });
    connect(FUi.btnSA, &QPushButton::clicked, this, &TMainSelection::edtSAButtonClick);
    connect(FUi.btnTCDV, &QPushButton::clicked, this, &TMainSelection::edtTCDVButtonClick);
    InstallIdEditKeys(FUi.edtSA, IdEditKindSa, nullptr, nullptr, [](int) {}, [this] { edtSAEnter(); });
    InstallIdEditKeys(FUi.edtTCDV, IdEditKindLc, nullptr, nullptr, [](int) {}, [this] { edtTCDVEnter(); });
}

void TMainSelection::BuildSaTree()
{
    if (!DM)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<MainLists::TTreeRow> rows;
    int groups = 0;
    QSqlError error;
    const bool ok = MainLists::LoadSaTree(DM->Con(), &rows, &groups, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        FMain->ShowDbError(error);
        return;
    }
    FUi.trvSA->setUpdatesEnabled(false);
    FSaModel->BuildSaTree(rows);
    FUi.trvSA->setUpdatesEnabled(true);
    FUi.TreePages->setTabText(FUi.TreePages->indexOf(FUi.trvSA), FMain->Tx(QStringLiteral("IDS_9")) + QStringLiteral(" (")
                                                     + QString::number(groups) + QLatin1Char(')'));
}

void TMainSelection::BuildLcTree()
{
    if (!DM)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<TNodeData> nodes;
    QSqlError error;
    const bool ok = MainLists::LoadLcTree(DM->Con(), DM->DBInfo().DBType, &nodes, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        FMain->ShowDbError(error);
        return;
    }
    FUi.trvLC->setUpdatesEnabled(false);
    FLcModel->BuildLcTree(nodes);
    FUi.trvLC->setUpdatesEnabled(true);
    FUi.TreePages->setTabText(FUi.TreePages->indexOf(FUi.trvLC), FMain->Tx(QStringLiteral("IDS_10")) + QStringLiteral(" (")
                                                     + QString::number(nodes.size()) + QLatin1Char(')'));
}

void TMainSelection::ShowSelectionText()
{
    if (!FUi.SelNodeDesc)
        return;
    FUi.SelNodeDesc->setText(MainMapPage::SelectionText(
        FMain->Tx(FTCDV_ID > 0 ? QStringLiteral("IDS_67") : QStringLiteral("IDS_68")), FSA_ID, FTCDV_ID));
}

void TMainSelection::SelectLCMarker(int lcNo)
{
    const PSTT_LC_INFO info = FMain->LcInfoSet().GetLcInfo(lcNo);
    if (!info || !FMain->MapBridge() || !FMain->MapBridge()->BrowserExists())
        return;
    FMain->MapBridge()->ExecuteJavaScript(MainMapPage::SelectLCMarkerScript(FMain->Legend(), info->cx.str(), info->cy.str()));
}

void TMainSelection::SelectSA(int GroupID)
{
    if (!DM)
        return;
    const TMapLegend legend = FMain->Legend();
    QSqlError error;
    const int count = MainLists::SaLcCount(DM->Con(), GroupID, &error);
    if (count < 0) {
        if (error.isValid())
            FMain->ShowDbError(error);
        return;
    }
    if (count == 1) {
        QString lat, lng;
        QSqlError e2;
        if (!MainLists::SaSingleNodePos(DM->Con(), GroupID, &lat, &lng, &e2)) {
            if (e2.isValid())
                FMain->ShowDbError(e2);
            return;
        }
        if (FMain->MapBridge() && FMain->MapBridge()->BrowserExists())
            FMain->MapBridge()->ExecuteJavaScript(MainMapPage::SelectSingleNodeGroupScript(legend, lat, lng));
    } else if (FMain->MapBridge() && FMain->MapBridge()->BrowserExists()) {
        FMain->MapBridge()->ExecuteJavaScript(MainMapPage::SelectGroupScript(legend, GroupID));
    }
    // The group monitor follows the selected group.
    if (IMonitorView *v = FMain->Hub()->MonitorView(mvkGroupMonitor)) {
        if (auto *w = dynamic_cast<QWidget *>(v)) {
            w->setWindowTitle(FMain->Action(QStringLiteral("actOpenSA_M"))->text() + QStringLiteral(" : ") + GetSaName(FSA_ID));
            v->SetTargetGroup(FSA_ID);
            w->show();
        } else {
            v->SetTargetGroup(FSA_ID);
        }
    }
}

QString TMainSelection::GetBounds(int GroupID)
{
    if (!DM)
        return QString();
    QSqlError error;
    const QString b = MainLists::GetBounds(DM->Con(), DM->DBInfo().DBType, GroupID, &error);
    if (error.isValid())
        FMain->ShowDbError(error);
    return b;
}

void TMainSelection::FitGroupScript(int GroupID, bool takeCurZoom)
{
    FMain->RunScript(MainMapPage::FitGroupScript(GroupID, GetBounds(GroupID), takeCurZoom));
}

int TMainSelection::FindLcSaNo(int lcNo)
{
    if (!DM)
        return 1;
    QSqlError error;
    const int sa = MainLists::FindLcSaNo(DM->Con(), lcNo, &error);
    if (error.isValid())
        FMain->ShowDbError(error);
    return sa;
}

void TMainSelection::FindTreeByLcId(QTreeView *tree, int LcId)
{
    FSA_ID = FindLcSaNo(LcId);
    FTCDV_ID = LcId;
    const QString key = QStringLiteral("%1-%2").arg(FSA_ID).arg(LcId);
    tree->setUpdatesEnabled(false);
    if (tree == FUi.trvSA) {
        const QModelIndex g = FSaModel->FindByKey(QString::number(FSA_ID));
        if (g.isValid()) {
            tree->setCurrentIndex(g);
            tree->expand(g);
        }
        const QModelIndex n = FSaModel->FindByKey(key);
        if (n.isValid())
            tree->setCurrentIndex(n);
    } else {
        const QModelIndex n = FLcModel->FindByKey(key);
        if (n.isValid())
            tree->setCurrentIndex(n);
    }
    tree->setUpdatesEnabled(true);
}

void TMainSelection::FindTreeBySaId(QTreeView *tree, int GroupID)
{
    FSA_ID = GroupID;
    FTCDV_ID = 0;
    auto *model = static_cast<TNodeTreeModel *>(tree->model());
    const QModelIndex g = model->FindByKey(QString::number(GroupID));
    if (g.isValid())
        tree->setCurrentIndex(g);
}

void TMainSelection::FindSaId(int GroupID)
{
    FUi.TreePages->setCurrentWidget(FUi.trvSA);
    FUi.trvSA->setUpdatesEnabled(false);
    const QModelIndex g = FSaModel->FindByKey(QString::number(GroupID));
    if (g.isValid()) {
        FUi.trvSA->setCurrentIndex(g);
        FUi.trvSA->expand(g);
        FUi.trvSA->scrollTo(g, QAbstractItemView::PositionAtCenter);
    }
    FUi.trvSA->setUpdatesEnabled(true);
}

void TMainSelection::FindTcdvId(int LcId)
{
    FUi.TreePages->setCurrentWidget(FUi.trvLC);
    FUi.trvLC->setUpdatesEnabled(false);
    const QModelIndex n = FLcModel->FindByKey(QStringLiteral("%1-%2").arg(GetLcSaNo(LcId)).arg(LcId));
    if (n.isValid()) {
        FUi.trvLC->setCurrentIndex(n);
        FUi.trvLC->scrollTo(n, QAbstractItemView::PositionAtCenter);
    }
    FUi.trvLC->setUpdatesEnabled(true);
}

void TMainSelection::edtSAEnter()
{
    FUi.edtTCDV->clear();
    FindSaId(VarToIntDef(FUi.edtSA->text(), 0));
}

void TMainSelection::edtTCDVEnter()
{
    const int n = VarToIntDef(FUi.edtTCDV->text(), 0);
    FindTcdvId(n);
    FUi.edtSA->setText(QString::number(GetLcSaNo(n)));
}

void TMainSelection::trvLCClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index))
        return;
    FTCDV_ID = TNodeTreeModel::Data(index).ID;
    FindTreeByLcId(FUi.trvSA, FTCDV_ID);
    ShowSelectionText();
}

void TMainSelection::trvSAClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index))
        return;
    const TNodeData d = TNodeTreeModel::Data(index);
    if (d.TreeType == 0) {
        FSA_ID = d.ID;
        FTCDV_ID = 0;
    } else {
        FTCDV_ID = d.ID;
        FindTreeByLcId(FUi.trvLC, d.ID);
    }
    ShowSelectionText();
}

void TMainSelection::trvLCDblClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index) || !FMain->PageReady())
        return;
    const TNodeData d = TNodeTreeModel::Data(index);
    const PSTT_LC_INFO info = FMain->LcInfoSet().GetLcInfo(d.ID);
    SelectLCMarker(d.ID);
    if (info)
        FMain->MapBridge()->ExecuteJavaScript(MainMapPage::PanToScript(info->cx.str(), info->cy.str()));
}

void TMainSelection::trvSADblClick(const QModelIndex &index)
{
    if (!TNodeTreeModel::HasData(index) || !FMain->PageReady())
        return;
    const TNodeData d = TNodeTreeModel::Data(index);
    if (d.TreeType != 0) {
        trvLCDblClick(index);
        return;
    }
    SelectSA(d.ID);
    FitGroupScript(d.ID, true);
}

void TMainSelection::PreparePopup(const TNodeData &data, int kind, int titleImage)
{
    FUi.pmMapCaption->setText(PopupCaption(FMain->Tx(QStringLiteral("IDS_10")), data.ID, data.TreeType));
    FUi.pmMapCaption->setIcon(TreeImage(titleImage));
    FUi.pmMapCaption->setEnabled(true);
    // Every proxy follows its action's state.
    for (QMenu *m : {FUi.pmLC, FUi.pmLcEdit, FUi.pmSaEdit})
        for (QAction *p : m->actions()) {
            const QString main = p->property("mainAction").toString();
            if (main.isEmpty())
                continue;
            if (QAction *a = FMain->Action(main)) {
                p->setText(a->text());
                // Separators carry only a grade rule (enabled for some grades).
                p->setEnabled(a->isSeparator() ? a->isEnabled() : (a->isEnabled() && a->isVisible()));
            }
        }
    SetPopupMenuItems(FUi.pmLC, kind);
}

bool TMainSelection::TreePopup(QTreeView *tree, const QModelIndex &index, const QPoint &globalPos, bool popup)
{
    if (!TNodeTreeModel::HasData(index))
        return false;
    const QRect item = tree->visualRect(index);
    const QPoint local = tree->viewport()->mapFromGlobal(globalPos);
    if (popup && !item.contains(local))
        return false;
    const TNodeData d = TNodeTreeModel::Data(index);
    if (tree == FUi.trvSA && d.TreeType == 0)
        PreparePopup(d, pkGroupNode, 0);
    else
        PreparePopup(d, pkTreeLc, d.Flag);
    if (popup)
        FUi.pmLC->popup(globalPos);
    return true;
}

void TMainSelection::gtvSAMotCellClick(int row)
{
    FTCDV_ID = 0;
    const QTableWidgetItem *item = FUi.gtvSAMot->item(row, 0);
    FSA_ID = item ? VarToIntDef(item->text(), 0) : 0;
    SelectSA(FSA_ID);
    FindTreeBySaId(FUi.trvSA, FSA_ID);
    ShowSelectionText();
}

void TMainSelection::PanToTCDV(int TCDV)
{
    if (TCDV <= 0)
        return;
    const PSTT_LC_INFO info = FMain->LcInfoSet().GetLcInfo(TCDV);
    if (!info)
        return;
    FindTreeByLcId(FUi.trvSA, TCDV);
    FindTreeByLcId(FUi.trvLC, TCDV);
    ShowSelectionText();
    SelectLCMarker(TCDV);
    if (FMain->PageReady())
        FMain->MapBridge()->ExecuteJavaScript(QStringLiteral(" map.panTo(new L.LatLng(") + JsNumText(info->cx.str())
                                   + QStringLiteral(", ") + JsNumText(info->cy.str()) + QStringLiteral("));"));
}

void TMainSelection::PanToTCDV(int TCDV, const QString &NODE_ID)
{
    if (FMain->LcInfoSet().GetLcInfo(TCDV)) {
        PanToTCDV(TCDV);
        return;
    }
    if (FMain->PageReady()) {
        const QString id = JsStr(NODE_ID);
        FMain->MapBridge()->ExecuteJavaScript(QStringLiteral("if (nodeObj[") + id + QStringLiteral("]) { map.panTo(nodeObj[") + id
                                   + QStringLiteral("].getLatLng()); } "));
    }
}

void TMainSelection::WmLocateSA(int GroupID)
{
    FindTreeBySaId(FUi.trvSA, GroupID);
    ShowSelectionText();
    if (FMain->PageReady()) {
        SelectSA(GroupID);
        FitGroupScript(GroupID, false);
    }
}

void TMainSelection::WmLocateTCDV(int TCDV)
{
    FindTreeByLcId(FUi.trvSA, TCDV);
    FindTreeByLcId(FUi.trvLC, TCDV);
    ShowSelectionText();
    const PSTT_LC_INFO info = FMain->LcInfoSet().GetLcInfo(TCDV);
    if (FMain->PageReady() && info) {
        SelectLCMarker(TCDV);
        FMain->MapBridge()->ExecuteJavaScript(MainMapPage::PanToScript(info->cx.str(), info->cy.str()));
    }
}

void TMainSelection::WmPanToLatLng(const QString &lat, const QString &lng)
{
    if (!FMain->MapBridge() || !FMain->MapBridge()->BrowserExists())
        return;
    const QString la = JsNumText(lat), ln = JsNumText(lng);
    FMain->MapBridge()->ExecuteJavaScript(QStringLiteral(" map.panTo([") + la + QLatin1Char(',') + ln
                               + QStringLiteral("]);  selMarker.setLatLng([") + la + QLatin1Char(',') + ln
                               + QStringLiteral("]); "));
}

void TMainSelection::edtSAButtonClick()
{
    auto *dlg = new TfrmSA_S(FMain);
    QPointer<TfrmSA_S> guard(dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    if (DM)
        dlg->setWindowTitle(DM->T_SaSTitle);
    const int result = dlg->ShowModal();
    const int group = guard ? dlg->SA_ID() : 0;
    delete guard.data();
    if (result == QDialog::Accepted && group > 0) {
        FUi.edtSA->setText(QString::number(group));
        FindSaId(group);
    }
}

void TMainSelection::edtTCDVButtonClick()
{
    auto *dlg = new TfrmTCDV_S(FMain);
    QPointer<TfrmTCDV_S> guard(dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    if (DM)
        dlg->setWindowTitle(DM->T_TcdvSTitle);
    if (dlg->chxOnlySgnl) {
        dlg->chxOnlySgnl->setChecked(true);
        dlg->chxOnlySgnl->hide();
    }
    dlg->FTCDV_ID = FUi.edtTCDV->text().trimmed().toInt(); // 0 when not a number
    const int result = dlg->ShowModal();
    if (guard && result == QDialog::Accepted) {
        const int lc = dlg->qryTCDVINT_LCNO().toInt();
        const int sa = dlg->qryTCDVINT_SANO().toInt();
        delete guard.data();
        if (lc > 0) {
            FUi.edtTCDV->setText(QString::number(lc));
            FUi.edtSA->setText(QString::number(sa));
            FindTcdvId(lc);
        }
        return;
    }
    delete guard.data();
}

void TMainSelection::RegisterPageMessages(TPageMessageTable &table)
{
    table.AddConsole(QStringLiteral("SelectedLC"), [this](const QString &value) {
        const int n = MainMapPage::IdAfterPrefix(value);
        if (n > 0) {
            SelectLCMarker(n);
            FindTreeByLcId(FUi.trvSA, n);
            FindTreeByLcId(FUi.trvLC, n);
            ShowSelectionText();
        }
    });
    table.AddConsole(QStringLiteral("SelectedSA"), [this](const QString &value) {
        SetSelection(MainMapPage::IdAfterPrefix(value), 0);
        SelectSA(FSA_ID);
        FindTreeBySaId(FUi.trvSA, FSA_ID);
        ShowSelectionText();
    });
    table.AddConsole(QStringLiteral("PopupMenu"), [this](const QString &) {
        const QModelIndex idx = FUi.trvSA->currentIndex();
        if (TNodeTreeModel::HasData(idx)) {
            const TNodeData d = TNodeTreeModel::Data(idx);
            PreparePopup(d, pkMapLc, d.Flag + 1);
            FUi.pmLC->popup(QCursor::pos());
        }
    });
}

void TMainSelection::actOpenTCDV_SExecute()
{
    auto *dlg = new TfrmTCDV_S(FMain);
    TWindowRegistry::Register(QStringLiteral("TfrmTCDV_S"), dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->setWindowTitle(FMain->Action(QStringLiteral("actOpenTCDV_S"))->text());
    dlg->FTCDV_ID = FTCDV_ID;
    QPointer<TfrmTCDV_S> guard(dlg);
    const int result = dlg->ShowModal();
    if (guard && result == QDialog::Accepted) {
        const int lc = dlg->qryTCDVINT_LCNO().toInt();
        const QString node = dlg->qryTCDVNODE_ID().toString();
        delete guard.data();
        PanToTCDV(lc, node);
        return;
    }
    delete guard.data();
}

void TMainSelection::actOpenSA_SExecute()
{
    auto *dlg = new TfrmSA_S(FMain);
    TWindowRegistry::Register(QStringLiteral("TfrmSA_S"), dlg);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->setWindowTitle(FMain->Action(QStringLiteral("actOpenSA_S"))->text());
    QPointer<TfrmSA_S> guard(dlg);
    const int result = dlg->ShowModal();
    const int group = guard ? dlg->SA_ID() : 0;
    delete guard.data();
    if (result == QDialog::Accepted && FMain->PageReady() && group > 0) {
        FSA_ID = group;
        FTCDV_ID = 0;
        SelectSA(group);
    }
}


void TMainSelection::ShowSelectionAgain()
{
    if (FSA_ID > 0 && FTCDV_ID == 0) {
        SelectSA(FSA_ID);
        FindTreeBySaId(FUi.trvSA, FSA_ID);
        ShowSelectionText();
    } else if (FTCDV_ID > 0) {
        const int lc = FTCDV_ID;
        SelectLCMarker(lc);
        FindTreeByLcId(FUi.trvSA, lc);
        FindTreeByLcId(FUi.trvLC, lc);
        ShowSelectionText();
    }
}
