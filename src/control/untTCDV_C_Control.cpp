#include "control/untTCDV_C_Control.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "control/ControlDbUnit.h"
#include "control/ControlWidgets.h"
#include "centrelink/CtrlBitsUnit.h"
#include "core/LookupUnit.h"
#include "core/ProgressBarThreadUnit.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untSA_S.h"
#include "core/untTCDV_S.h"
#include "centrelink/untTH_TCDV_C_Log.h"

namespace {

constexpr int RoleNodeData = Qt::UserRole;
constexpr int RoleCheckKey = Qt::UserRole + 1;

QString appTitle() { return DM ? DM->G_APP_TITLE : QString(); }

} // namespace

TfrmTCDV_C_Control::TfrmTCDV_C_Control(QWidget *owner)
    : TControlRunWindow(owner)
{
    setObjectName(QStringLiteral("frmTCDV_C_Control"));
    FRunner.Owner = this;
    FRunner.OnResultLine = [this](const QString &line) { AddResultLine(line); };
    BuildUi();
    // FormCreate
    pnlSelNodeDesc->clear();
    cbxShowLog->setVisible(DM && DM->G_ADMIN_MODE);
    FCheckingLcId = -1;
    FLang = new TsiLangLinked(this, QStringLiteral("TfrmTCDV_C_Control"), [this] { Retranslate(); });
    FLang->Retranslate();
    DoingUpdate();
}

TfrmTCDV_C_Control::~TfrmTCDV_C_Control() = default;

QString TfrmTCDV_C_Control::T(const QString &key) const { return TTcdvCommandRunner::Text(key); }

// ---------------------------------------------------------------------------
// Building the window
// ---------------------------------------------------------------------------

void TfrmTCDV_C_Control::BuildUi()
{
    resize(980, 720);
    auto mkAction = [this](QAction *&a, const char *name, void (TfrmTCDV_C_Control::*slot)()) {
        a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    mkAction(actTcdvOpr, "actTcdvOpr", &TfrmTCDV_C_Control::actTcdvOprExecute);
    mkAction(actTcdvTodTrc, "actTcdvTodTrc", &TfrmTCDV_C_Control::actTcdvTodTrcExecute);
    mkAction(actTcdvControlMode, "actTcdvControlMode", &TfrmTCDV_C_Control::actTcdvControlModeExecute);
    mkAction(actTcdvFWUpgrade, "actTcdvFWUpgrade", &TfrmTCDV_C_Control::actTcdvFWUpgradeExecute);
    mkAction(actTcdvMan, "actTcdvMan", &TfrmTCDV_C_Control::actTcdvManExecute);
    mkAction(actPPCAdd, "actPPCAdd", &TfrmTCDV_C_Control::actPPCAddExecute);
    mkAction(actPPCDel, "actPPCDel", &TfrmTCDV_C_Control::actPPCDelExecute);
    mkAction(actPPCAllDel, "actPPCAllDel", &TfrmTCDV_C_Control::actPPCAllDelExecute);
    mkAction(actPPCGetList, "actPPCGetList", &TfrmTCDV_C_Control::actPPCGetListExecute);
    mkAction(actPPCManagerGetList, "actPPCManagerGetList", &TfrmTCDV_C_Control::actPPCManagerGetListExecute);
    mkAction(actSelAllNode, "actSelAllNode", &TfrmTCDV_C_Control::actSelAllNodeExecute);
    mkAction(actUnselAllNode, "actUnselAllNode", &TfrmTCDV_C_Control::actUnselAllNodeExecute);
    mkAction(actClose, "actClose", &TfrmTCDV_C_Control::actCloseExecute);

    auto *root = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Horizontal, this);
    root->addWidget(split, 1);

    // --- left: search boxes, tree, selection ---------------------------------
    auto *left = new QWidget(split);
    auto *leftLay = new QVBoxLayout(left);
    leftLay->setContentsMargins(0, 0, 0, 0);
    auto *search = new QGridLayout();
    lblSA = ControlLabel(left, "lblSA");
    lblTCDV = ControlLabel(left, "lblTCDV");
    edtSA = new QLineEdit(left);
    edtSA->setObjectName(QStringLiteral("edtSA"));
    edtTCDV = new QLineEdit(left);
    edtTCDV->setObjectName(QStringLiteral("edtTCDV"));
    btnSA = new QPushButton(QStringLiteral("..."), left);
    btnSA->setObjectName(QStringLiteral("btnSA"));
    btnTCDV = new QPushButton(QStringLiteral("..."), left);
    btnTCDV->setObjectName(QStringLiteral("btnTCDV"));
    search->addWidget(lblSA, 0, 0);
    search->addWidget(edtSA, 0, 1);
    search->addWidget(btnSA, 0, 2);
    search->addWidget(lblTCDV, 1, 0);
    search->addWidget(edtTCDV, 1, 1);
    search->addWidget(btnTCDV, 1, 2);
    leftLay->addLayout(search);
    VST = new QTreeWidget(left);
    VST->setObjectName(QStringLiteral("VST"));
    VST->setHeaderHidden(true);
    VST->setColumnCount(1);
    VST->setSelectionMode(QAbstractItemView::MultiSelection);
    leftLay->addWidget(VST, 1);
    pnlSelNodeDesc = ControlLabel(left, "pnlSelNodeDesc");
    leftLay->addWidget(pnlSelNodeDesc);
    auto *selRow = new QHBoxLayout();
    selRow->addWidget(ControlActionButton(actSelAllNode, left));
    selRow->addWidget(ControlActionButton(actUnselAllNode, left));
    leftLay->addLayout(selRow);

    InstallIdEditKeys(edtSA, IdEditKindSa, nullptr, nullptr, [this](int n) {
        edtTCDV->clear();
        FindSaId(n);
    }, {}, true);
    InstallIdEditKeys(edtTCDV, IdEditKindLc, nullptr, nullptr, [this](int n) {
        FindTcdvId(n);
        edtSA->setText(QString::number(GetLcSaNo(n)));
    }, {}, true);
    connect(btnSA, &QPushButton::clicked, this, &TfrmTCDV_C_Control::btnSAClick);
    connect(btnTCDV, &QPushButton::clicked, this, &TfrmTCDV_C_Control::btnTCDVClick);
    connect(VST, &QTreeWidget::itemChanged, this, &TfrmTCDV_C_Control::OnItemChanged);
    connect(VST, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *cur, QTreeWidgetItem *) { OnCurrentItemChanged(cur); });
    connect(VST, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item, int) { OnItemDoubleClicked(item); });

    // --- right: the two pages --------------------------------------------------
    pgcMain = new QTabWidget(split);
    pgcMain->setObjectName(QStringLiteral("pgcMain"));
    tsCommon = new QWidget(pgcMain);
    tsCommon->setObjectName(QStringLiteral("tsCommon"));
    tsAdditional = new QWidget(pgcMain);
    tsAdditional->setObjectName(QStringLiteral("tsAdditional"));
    pgcMain->addTab(tsCommon, QString());
    pgcMain->addTab(tsAdditional, QString());
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);

    // "공통"
    auto *common = new QGridLayout(tsCommon);
    grpTcdvOpr = new TRadioGroup(tsCommon, 2);
    grpTcdvOpr->setObjectName(QStringLiteral("grpTcdvOpr"));
    grpTcdvOpr->SetItems({QString(), QString()});
    grpTcdvOpr->SetItemIndex(0);
    grpTcdvOpr->layout()->addWidget(ControlActionButton(actTcdvOpr, grpTcdvOpr));
    grpTcdvTodTrc = new TRadioGroup(tsCommon, 2);
    grpTcdvTodTrc->setObjectName(QStringLiteral("grpTcdvTodTrc"));
    grpTcdvTodTrc->SetItems({QStringLiteral("TOD"), QStringLiteral("TRC")});
    grpTcdvTodTrc->SetItemIndex(0);
    grpTcdvTodTrc->layout()->addWidget(ControlActionButton(actTcdvTodTrc, grpTcdvTodTrc));
    grpTcdvControlMode = new QGroupBox(tsCommon);
    grpTcdvControlMode->setObjectName(QStringLiteral("grpTcdvControlMode"));
    {
        auto *l = new QHBoxLayout(grpTcdvControlMode);
        cbxTcdvControlMode = new QComboBox(grpTcdvControlMode);
        cbxTcdvControlMode->setObjectName(QStringLiteral("cbxTcdvControlMode"));
        for (int i = 0; i < 5; ++i)
            cbxTcdvControlMode->addItem(
                QString(), QStringLiteral("$%1").arg(CtrlModeCodeOfItem(i), 2, 16, QLatin1Char('0')).toUpper());
        cbxTcdvControlMode->setCurrentIndex(-1);
        l->addWidget(cbxTcdvControlMode, 1);
        l->addWidget(ControlActionButton(actTcdvControlMode, grpTcdvControlMode));
    }
    common->addWidget(grpTcdvOpr, 0, 0);
    common->addWidget(grpTcdvTodTrc, 0, 1);
    common->addWidget(grpTcdvControlMode, 1, 0, 1, 2);

    grpTcdvMan = new QGroupBox(tsCommon);
    grpTcdvMan->setObjectName(QStringLiteral("grpTcdvMan"));
    {
        auto *g = new QGridLayout(grpTcdvMan);
        chxShutdown = ControlCheck(grpTcdvMan, "chxShutdown");
        chxFlash = ControlCheck(grpTcdvMan, "chxFlash");
        chxFrenzy_ctl = ControlCheck(grpTcdvMan, "chxFrenzy_ctl");
        chxConfl_dtr = ControlCheck(grpTcdvMan, "chxConfl_dtr");
        chxManual = ControlCheck(grpTcdvMan, "chxManual");
        chxConfl_reset = ControlCheck(grpTcdvMan, "chxConfl_reset");
        chxScu_reset = ControlCheck(grpTcdvMan, "chxScu_reset");
        chxMcu_reset = ControlCheck(grpTcdvMan, "chxMcu_reset");
        chxActive_start = ControlCheck(grpTcdvMan, "chxActive_start");
        chxPed_btn = ControlCheck(grpTcdvMan, "chxPed_btn");
        const QList<QCheckBox *> boxes = {chxShutdown, chxFlash, chxFrenzy_ctl, chxConfl_dtr, chxManual,
                                          chxConfl_reset, chxScu_reset, chxMcu_reset, chxActive_start, chxPed_btn};
        for (int i = 0; i < boxes.size(); ++i)
            g->addWidget(boxes.at(i), i / 5, i % 5);

        grpPhaseHoldOmmitContainer = new QGroupBox(grpTcdvMan);
        grpPhaseHoldOmmitContainer->setObjectName(QStringLiteral("grpPhaseHoldOmmitContainer"));
        grpPhaseHoldOmmitContainer->setCheckable(true);
        grpPhaseHoldOmmitContainer->setChecked(false);
        {
            auto *l = new QHBoxLayout(grpPhaseHoldOmmitContainer);
            grpPhaseHoldOmmit = new TRadioGroup(grpPhaseHoldOmmitContainer, 2);
            grpPhaseHoldOmmit->setObjectName(QStringLiteral("grpPhaseHoldOmmit"));
            grpPhaseHoldOmmit->SetItems({QString(), QString()});
            grpPhaseHoldOmmit->SetItemIndex(0);
            l->addWidget(grpPhaseHoldOmmit);
            l->addWidget(ControlLabel(grpPhaseHoldOmmitContainer, "lblHoldOmitPhaseNo"));
            edtHoldOmitPhaseNo = ControlSpin(grpPhaseHoldOmmitContainer, "edtHoldOmitPhaseNo", 1, 8, 1);
            l->addWidget(edtHoldOmitPhaseNo);
        }
        g->addWidget(grpPhaseHoldOmmitContainer, 2, 0, 1, 5);

        grpSpillBack = new QGroupBox(grpTcdvMan);
        grpSpillBack->setObjectName(QStringLiteral("grpSpillBack"));
        grpSpillBack->setCheckable(true);
        grpSpillBack->setChecked(false);
        {
            auto *l = new QGridLayout(grpSpillBack);
            l->addWidget(ControlLabel(grpSpillBack, "lblSpillBackDir"), 0, 0);
            cbxSpillBackDir = new QComboBox(grpSpillBack);
            cbxSpillBackDir->setObjectName(QStringLiteral("cbxSpillBackDir"));
            for (int i = 0; i < 8; ++i)
                cbxSpillBackDir->addItem(QString());
            cbxSpillBackDir->setCurrentIndex(4); // "북동"
            l->addWidget(cbxSpillBackDir, 0, 1);
            l->addWidget(ControlLabel(grpSpillBack, "lblMainSpillbackPhase"), 1, 0);
            edtMainSpillbackPhase = ControlSpin(grpSpillBack, "edtMainSpillbackPhase", 1, 16, 1);
            l->addWidget(edtMainSpillbackPhase, 1, 1);
            l->addWidget(ControlLabel(grpSpillBack, "lblSubSpillbackPhase"), 2, 0);
            edtSubSpillbackPhase = ControlSpin(grpSpillBack, "edtSubSpillbackPhase", 1, 16, 1);
            l->addWidget(edtSubSpillbackPhase, 2, 1);
        }
        g->addWidget(grpSpillBack, 3, 0, 1, 3);

        grpTimeDiff = new QGroupBox(grpTcdvMan);
        grpTimeDiff->setObjectName(QStringLiteral("grpTimeDiff"));
        grpTimeDiff->setCheckable(true);
        grpTimeDiff->setChecked(false);
        {
            auto *l = new QHBoxLayout(grpTimeDiff);
            l->addWidget(ControlLabel(grpTimeDiff, "lblTime_diff"));
            edtTime_diff = ControlSpin(grpTimeDiff, "edtTime_diff", 6, 10, 6);
            l->addWidget(edtTime_diff);
        }
        g->addWidget(grpTimeDiff, 3, 3, 1, 2);

        rgpRunType = new TRadioGroup(grpTcdvMan, 2);
        rgpRunType->setObjectName(QStringLiteral("rgpRunType"));
        rgpRunType->SetItems({QString(), QString()});
        rgpRunType->SetItemIndex(0);
        g->addWidget(rgpRunType, 4, 0, 1, 3);
        g->addWidget(ControlActionButton(actTcdvMan, grpTcdvMan), 4, 4);
    }
    common->addWidget(grpTcdvMan, 2, 0, 1, 2);
    common->setRowStretch(3, 1);

    // "추가"
    auto *add = new QVBoxLayout(tsAdditional);
    grpFWUpgradeContainer = new QGroupBox(tsAdditional);
    grpFWUpgradeContainer->setObjectName(QStringLiteral("grpFWUpgradeContainer"));
    {
        auto *l = new QHBoxLayout(grpFWUpgradeContainer);
        rgpFWType = new TRadioGroup(grpFWUpgradeContainer);
        rgpFWType->setObjectName(QStringLiteral("rgpFWType"));
        rgpFWType->SetItems({QStringLiteral("MCU"), QStringLiteral("SCU")});
        rgpFWType->SetItemIndex(0);
        grpCondition = new TRadioGroup(grpFWUpgradeContainer);
        grpCondition->setObjectName(QStringLiteral("grpCondition"));
        grpCondition->SetItems({QString(), QString()});
        grpCondition->SetItemIndex(0);
        grpReboot = new TRadioGroup(grpFWUpgradeContainer);
        grpReboot->setObjectName(QStringLiteral("grpReboot"));
        grpReboot->SetItems({QString(), QString(), QString()});
        grpReboot->SetItemIndex(0);
        l->addWidget(rgpFWType);
        l->addWidget(grpCondition);
        l->addWidget(grpReboot);
        l->addWidget(ControlActionButton(actTcdvFWUpgrade, grpFWUpgradeContainer));
    }
    add->addWidget(grpFWUpgradeContainer);

    rgpPPCBoard = new QGroupBox(tsAdditional);
    rgpPPCBoard->setObjectName(QStringLiteral("rgpPPCBoard"));
    {
        auto *l = new QGridLayout(rgpPPCBoard);
        auto *top = new QHBoxLayout();
        top->addWidget(ControlLabel(rgpPPCBoard, "lblPPCManager"));
        edtPPCManager = ControlSpin(rgpPPCBoard, "edtPPCManager", 1, 255, 1);
        top->addWidget(edtPPCManager);
        top->addWidget(ControlActionButton(actPPCManagerGetList, rgpPPCBoard));
        top->addWidget(ControlActionButton(actPPCGetList, rgpPPCBoard));
        top->addStretch(1);
        l->addLayout(top, 0, 0, 1, 2);

        cxVerGridPPC = new QTableWidget(3, 1, rgpPPCBoard);
        cxVerGridPPC->setObjectName(QStringLiteral("cxVerGridPPC"));
        cxVerGridPPC->horizontalHeader()->setVisible(false);
        cxVerGridPPC->horizontalHeader()->setStretchLastSection(true);
        cxVerGridPPC->setEditTriggers(QAbstractItemView::NoEditTriggers);
        cxVerGridPPC->setMaximumHeight(110);
        l->addWidget(cxVerGridPPC, 1, 0);

        auto *getList = new QWidget(rgpPPCBoard);
        auto *gl = new QVBoxLayout(getList);
        gl->setContentsMargins(0, 0, 0, 0);
        auto *labels = new QHBoxLayout();
        lblPPC_TYPE = ControlLabel(getList, "lblPPC_TYPE");
        lblPPC_MANAGER = ControlLabel(getList, "lblPPC_MANAGER");
        lblRecordCount = ControlLabel(getList, "lblRecordCount");
        labels->addWidget(lblPPC_TYPE);
        labels->addWidget(lblPPC_MANAGER);
        labels->addWidget(lblRecordCount);
        gl->addLayout(labels);
        gtvPPCGetList = new QTableWidget(0, 1, getList);
        gtvPPCGetList->setObjectName(QStringLiteral("gtvPPCGetList"));
        gtvPPCGetList->horizontalHeader()->setStretchLastSection(true);
        gtvPPCGetList->setEditTriggers(QAbstractItemView::NoEditTriggers);
        gl->addWidget(gtvPPCGetList);
        l->addWidget(getList, 1, 1);

        gtvPPC = new QTableWidget(0, colCount, rgpPPCBoard);
        gtvPPC->setObjectName(QStringLiteral("gtvPPC"));
        gtvPPC->setEditTriggers(QAbstractItemView::NoEditTriggers);
        gtvPPC->horizontalHeader()->setStretchLastSection(true);
        gtvPPC->verticalHeader()->setVisible(false);
        l->addWidget(gtvPPC, 2, 0, 1, 2);
        auto *btns = new QHBoxLayout();
        btns->addStretch(1);
        btns->addWidget(ControlActionButton(actPPCAdd, rgpPPCBoard));
        btns->addWidget(ControlActionButton(actPPCAllDel, rgpPPCBoard));
        btns->addWidget(ControlActionButton(actPPCDel, rgpPPCBoard));
        l->addLayout(btns, 3, 0, 1, 2);
    }
    add->addWidget(rgpPPCBoard, 1);

    // --- bottom ------------------------------------------------------------------
    lsbMsgList = new QListWidget(this);
    lsbMsgList->setObjectName(QStringLiteral("lsbMsgList"));
    lsbMsgList->setMaximumHeight(150);
    root->addWidget(lsbMsgList);
    auto *bottom = new QHBoxLayout();
    cbxShowLog = ControlCheck(this, "cbxShowLog");
    bottom->addWidget(cbxShowLog);
    bottom->addStretch(1);
    btnClose = ControlActionButton(actClose, this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    bottom->addWidget(btnClose);
    root->addLayout(bottom);
    connect(cbxShowLog, &QCheckBox::clicked, this, &TfrmTCDV_C_Control::cbxShowLogClick);
}

void TfrmTCDV_C_Control::Retranslate()
{
    pgcMain->setTabText(0, T(QStringLiteral("tsCommon.Caption")));
    pgcMain->setTabText(1, T(QStringLiteral("tsAdditional.Caption")));
    grpTcdvOpr->SetItems({T(QStringLiteral("ITEM_CenterMode")), T(QStringLiteral("ITEM_LocalMode"))});
    for (int i = 0; i < 5; ++i)
        cbxTcdvControlMode->setItemText(i, T(QStringLiteral("ITEM_CtrlMode%1").arg(i)));
    rgpRunType->SetItems({T(QStringLiteral("ITEM_Go")), T(QStringLiteral("ITEM_Stop"))});
    grpPhaseHoldOmmit->SetItems({T(QStringLiteral("ITEM_Hold")), T(QStringLiteral("ITEM_Omit"))});
    for (int i = 0; i < 8; ++i)
        cbxSpillBackDir->setItemText(i, T(QStringLiteral("ITEM_Dir%1").arg(i + 1)));
    grpCondition->SetItems({T(QStringLiteral("ITEM_UpgradeHigher")), T(QStringLiteral("ITEM_UpgradeForced"))});
    grpReboot->SetItems({T(QStringLiteral("ITEM_RebootNo")), T(QStringLiteral("ITEM_RebootYes")),
                         T(QStringLiteral("ITEM_RebootCancel"))});
    cxVerGridPPC->setVerticalHeaderLabels({T(QStringLiteral("IDS_259")), T(QStringLiteral("IDS_260")),
                                           T(QStringLiteral("IDS_261"))});
    gtvPPCGetList->setHorizontalHeaderLabels({T(QStringLiteral("COL_RegList"))});
    gtvPPC->setHorizontalHeaderLabels({T(QStringLiteral("COL_Sel")), T(QStringLiteral("COL_Int")),
                                       T(QStringLiteral("COL_Manager")), T(QStringLiteral("COL_Type")),
                                       T(QStringLiteral("COL_Number")), T(QStringLiteral("COL_Comments"))});
    for (int r = 0; r < gtvPPC->rowCount(); ++r) {
        if (QTableWidgetItem *it = gtvPPC->item(r, colType))
            it->setText(it->data(Qt::UserRole).toInt() == 1 ? T(QStringLiteral("ITEM_PpcBus"))
                                                            : T(QStringLiteral("ITEM_PpcEmerg")));
    }
    OnCurrentItemChanged(VST->currentItem());
}

// ---------------------------------------------------------------------------
// Showing, closing, activation
// ---------------------------------------------------------------------------

void TfrmTCDV_C_Control::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!FShownOnce) {
        FShownOnce = true;
        FormShow();
    }
}

void TfrmTCDV_C_Control::FormShow()
{
    pgcMain->setCurrentIndex(0);
    LoadTree();
    if (FTCDV_ID > 0) {
        edtSA->setText(QString::number(FSA_ID));
        edtTCDV->setText(QString::number(FTCDV_ID));
        const int sa = GetLcSaNo(FTCDV_ID);
        if (QTreeWidgetItem *g = MatchNodeKey(QString::number(sa))) {
            VST->setCurrentItem(g);
            g->setSelected(true);
            g->setExpanded(true);
        }
        if (QTreeWidgetItem *n = MatchNodeKey(QStringLiteral("%1-%2").arg(sa).arg(FTCDV_ID))) {
            VST->setCurrentItem(n);
            n->setSelected(true);
            SetNodeChecked(n, true);
        }
        if (VST->currentItem())
            VST->scrollToItem(VST->currentItem());
    } else if (FSA_ID > 0) {
        edtSA->setText(QString::number(FSA_ID));
        if (QTreeWidgetItem *g = MatchNodeKey(QString::number(FSA_ID))) {
            VST->setCurrentItem(g);
            g->setSelected(true);
            g->setExpanded(true);
            VST->scrollToItem(g);
        }
    }
}

void TfrmTCDV_C_Control::cbxShowLogClick()
{
    if (!frmTH_TCDV_C_Log)
        return;
    frmTH_TCDV_C_Log->setVisible(cbxShowLog->isChecked());
    activateWindow();
}

void TfrmTCDV_C_Control::actCloseExecute() { close(); }

void TfrmTCDV_C_Control::DoingUpdate()
{
    for (QAction *a : {actTcdvOpr, actTcdvTodTrc, actTcdvControlMode, actTcdvFWUpgrade, actTcdvMan, actPPCAdd,
                       actPPCDel, actPPCAllDel, actPPCGetList, actPPCManagerGetList})
        a->setEnabled(!FDoing);
}

// ---------------------------------------------------------------------------
// Tree
// ---------------------------------------------------------------------------

TNodeData TfrmTCDV_C_Control::NodeData(const QTreeWidgetItem *item)
{
    return item ? item->data(0, RoleNodeData).value<TNodeData>() : TNodeData();
}

void TfrmTCDV_C_Control::LoadTree()
{
    QList<TControlTreeRow> rows;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = LoadControlTreeRows(&rows, this);
    FUpdatingChecks = true;
    VST->setUpdatesEnabled(false);
    VST->clear();
    FSelectedList.clear();
    if (ok) {
        QTreeWidgetItem *group = nullptr;
        int lastSa = -1;
        const QStyle *st = style();
        for (const TControlTreeRow &r : rows) {
            if (r.SaNo < 1 || r.SaNo > 200 || r.LcNo < 1 || r.LcNo > 1024)
                continue;
            if (!group || r.SaNo != lastSa) {
                lastSa = r.SaNo;
                TNodeData d;
                d.ID = r.SaNo;
                d.Key = QString::number(r.SaNo);
                d.Name = r.SaName;
                d.Flag = 0;
                d.TreeType = 0;
                group = new QTreeWidgetItem(VST);
                group->setData(0, RoleNodeData, QVariant::fromValue(d));
                group->setData(0, RoleCheckKey, 0);
                group->setText(0, FormatCText(QStringLiteral("%.4d %s"), {d.ID, d.Name.str()}));
                group->setIcon(0, st->standardIcon(QStyle::SP_DirIcon));
                group->setFlags(group->flags() | Qt::ItemIsUserCheckable);
                group->setCheckState(0, Qt::Unchecked);
            }
            TNodeData d;
            d.ID = r.LcNo;
            d.Key = QStringLiteral("%1-%2").arg(r.SaNo).arg(r.LcNo);
            d.Name = r.LcName;
            d.Flag = qint8(r.ImporFlag);
            d.TreeType = r.LcType == 1 ? 2004 : 2010;
            auto *n = new QTreeWidgetItem(group);
            n->setData(0, RoleNodeData, QVariant::fromValue(d));
            n->setData(0, RoleCheckKey, r.LcNo);
            n->setText(0, FormatCText(QStringLiteral("%.4d %s"), {d.ID, d.Name.str()}));
            n->setIcon(0, st->standardIcon(d.TreeType == 2004 ? QStyle::SP_DriveHDIcon : QStyle::SP_ComputerIcon));
            n->setFlags(n->flags() | Qt::ItemIsUserCheckable);
            n->setCheckState(0, Qt::Unchecked);
        }
    }
    VST->setUpdatesEnabled(true);
    FUpdatingChecks = false;
    QApplication::restoreOverrideCursor();
}

QTreeWidgetItem *TfrmTCDV_C_Control::MatchNodeKey(const QString &key) const
{
    for (int i = 0; i < VST->topLevelItemCount(); ++i) {
        QTreeWidgetItem *g = VST->topLevelItem(i);
        if (NodeData(g).Key == key)
            return g;
        for (int j = 0; j < g->childCount(); ++j)
            if (NodeData(g->child(j)).Key == key)
                return g->child(j);
    }
    return nullptr;
}

void TfrmTCDV_C_Control::FindSaId(int saNo)
{
    VST->setUpdatesEnabled(false);
    if (QTreeWidgetItem *g = MatchNodeKey(QString::number(saNo))) {
        VST->setCurrentItem(g);
        g->setSelected(true);
        g->setExpanded(true);
    }
    VST->setUpdatesEnabled(true);
    if (VST->currentItem())
        VST->scrollToItem(VST->currentItem());
}

void TfrmTCDV_C_Control::FindTcdvId(int lcNo)
{
    const int sa = GetLcSaNo(lcNo);
    if (QTreeWidgetItem *g = MatchNodeKey(QString::number(sa))) {
        VST->setCurrentItem(g);
        g->setSelected(true);
        g->setExpanded(true);
    }
    if (QTreeWidgetItem *n = MatchNodeKey(QStringLiteral("%1-%2").arg(sa).arg(lcNo))) {
        VST->setCurrentItem(n);
        n->setSelected(true);
    }
    if (VST->currentItem())
        VST->scrollToItem(VST->currentItem());
}

void TfrmTCDV_C_Control::SetNodeChecked(QTreeWidgetItem *item, bool checked)
{
    if (!item)
        return;
    // As a click on the check box does: itemChanged spreads it.
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmTCDV_C_Control::OnItemChanged(QTreeWidgetItem *item, int column)
{
    if (FUpdatingChecks || column != 0 || !item)
        return;
    // One operator action: the node clicked is the check-start node; the check
    // spreads to the children (group) or the parent (intersection), then the
    // selection list and the priority-list grid follow once.
    FCheckingLcId = item->data(0, RoleCheckKey).toInt();
    FUpdatingChecks = true;
    const Qt::CheckState state = item->checkState(0);
    if (!item->parent()) {
        if (state != Qt::PartiallyChecked)
            for (int i = 0; i < item->childCount(); ++i)
                item->child(i)->setCheckState(0, state);
    } else {
        QTreeWidgetItem *p = item->parent();
        int on = 0;
        for (int i = 0; i < p->childCount(); ++i)
            if (p->child(i)->checkState(0) == Qt::Checked)
                ++on;
        p->setCheckState(0, on == 0 ? Qt::Unchecked : (on == p->childCount() ? Qt::Checked : Qt::PartiallyChecked));
    }
    FUpdatingChecks = false;
    RebuildSelectedList();
    FCheckingLcId = -1;
    LoadPpcList();
}

void TfrmTCDV_C_Control::RebuildSelectedList()
{
    FSelectedList.clear();
    for (int i = 0; i < VST->topLevelItemCount(); ++i) {
        QTreeWidgetItem *g = VST->topLevelItem(i);
        g->setSelected(g->checkState(0) != Qt::Unchecked);
        for (int j = 0; j < g->childCount(); ++j) {
            QTreeWidgetItem *n = g->child(j);
            const bool on = n->checkState(0) == Qt::Checked;
            n->setSelected(on);
            if (on)
                FSelectedList << QString::number(NodeData(n).ID);
        }
    }
}

QList<int> TfrmTCDV_C_Control::CheckedLcIds() const
{
    QList<int> ids;
    for (int i = 0; i < VST->topLevelItemCount(); ++i) {
        QTreeWidgetItem *g = VST->topLevelItem(i);
        for (int j = 0; j < g->childCount(); ++j)
            if (g->child(j)->checkState(0) == Qt::Checked)
                ids << NodeData(g->child(j)).ID;
    }
    return ids;
}

void TfrmTCDV_C_Control::CheckAllNodes(bool checked)
{
    FUpdatingChecks = true;
    VST->setUpdatesEnabled(false);
    const Qt::CheckState s = checked ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < VST->topLevelItemCount(); ++i) {
        QTreeWidgetItem *g = VST->topLevelItem(i);
        g->setCheckState(0, s);
        for (int j = 0; j < g->childCount(); ++j)
            g->child(j)->setCheckState(0, s);
    }
    VST->setUpdatesEnabled(true);
    FUpdatingChecks = false;
    RebuildSelectedList();
    LoadPpcList();
}

void TfrmTCDV_C_Control::actSelAllNodeExecute() { CheckAllNodes(true); }
void TfrmTCDV_C_Control::actUnselAllNodeExecute() { CheckAllNodes(false); }

void TfrmTCDV_C_Control::OnCurrentItemChanged(QTreeWidgetItem *current)
{
    if (!current) {
        pnlSelNodeDesc->clear();
        return;
    }
    const TNodeData d = NodeData(current);
    if (!current->parent())
        pnlSelNodeDesc->setText(FormatCText(T(QStringLiteral("IDS_280")), {d.ID}));
    else
        pnlSelNodeDesc->setText(FormatCText(T(QStringLiteral("IDS_281")), {NodeData(current->parent()).ID, d.ID}));
}

void TfrmTCDV_C_Control::OnItemDoubleClicked(QTreeWidgetItem *item)
{
    if (item && item->parent() && item->isSelected())
        emit RequestPanToTCDV(NodeData(item).ID);
}

void TfrmTCDV_C_Control::btnSAClick()
{
    TfrmSA_S picker(this);
    picker.setWindowTitle(DM ? DM->T_SaSTitle : QString());
    if (picker.ShowModal() == TfrmBase::mrOK && picker.SA_ID() > 0) {
        edtSA->setText(QString::number(picker.SA_ID()));
        FindSaId(picker.SA_ID());
    }
}

void TfrmTCDV_C_Control::btnTCDVClick()
{
    TfrmTCDV_S picker(this);
    picker.setWindowTitle(DM ? DM->T_TcdvSTitle : QString());
    picker.chxOnlySgnl->setChecked(true);
    picker.chxOnlySgnl->setVisible(false);
    picker.FTCDV_ID = edtTCDV->text().trimmed().toInt();
    if (picker.ShowModal() == TfrmBase::mrOK) {
        const int lc = picker.qryTCDVINT_LCNO().toString().toInt();
        if (lc <= 0)
            return;
        edtTCDV->setText(QString::number(lc));
        edtSA->setText(QString::number(picker.qryTCDVINT_SANO().toString().toInt()));
        FindTcdvId(lc);
    }
}

// ---------------------------------------------------------------------------
// Runs
// ---------------------------------------------------------------------------

bool TfrmTCDV_C_Control::BeginRun(bool ask)
{
    if (CheckedLcIds().isEmpty()) {
        ShowMsgDlg(this, appTitle(), T(QStringLiteral("IDS_3")), T(QStringLiteral("IDS_4")), QString(), mkInformation);
        return false;
    }
    if (ask && ShowMsgDlg(this, appTitle(), T(QStringLiteral("IDS_5")), T(QStringLiteral("IDS_6")), QString(),
                          mkQuestion) != mrYes)
        return false;
    return true;
}

void TfrmTCDV_C_Control::ReadRunInputs()
{
    TLcCommandInputs &in = FRunner.Inputs;
    in.OprMode = grpTcdvOpr->ItemIndex() == 0 ? 0x80 : 0x40;
    in.TodTrcMode = grpTcdvTodTrc->ItemIndex() == 0 ? 0 : 1;
    in.CtrlModeItem = cbxTcdvControlMode->currentIndex();
    in.FwKind = rgpFWType->ItemIndex() == 1 ? fkSCU : fkMCU;
    in.UpgradeMode = qMax(0, grpCondition->ItemIndex());
    in.RebootFlag = qMax(0, grpReboot->ItemIndex());
    in.UpgradeModeText = grpCondition->CurrentText();
    in.RebootText = grpReboot->CurrentText();
    TSpecialCommandChoice &s = in.Special;
    s.Shutdown = chxShutdown->isChecked();
    s.Flash = chxFlash->isChecked();
    s.FrenzyCtl = chxFrenzy_ctl->isChecked();
    s.ConflDtr = chxConfl_dtr->isChecked();
    s.Manual = chxManual->isChecked();
    s.ConflReset = chxConfl_reset->isChecked();
    s.ScuReset = chxScu_reset->isChecked();
    s.McuReset = chxMcu_reset->isChecked();
    s.ActiveStart = chxActive_start->isChecked();
    s.PedBtn = chxPed_btn->isChecked();
    s.HoldOmit = grpPhaseHoldOmmitContainer->isChecked();
    s.HoldOmitItem = grpPhaseHoldOmmit->ItemIndex();
    s.HoldOmitPhase = edtHoldOmitPhaseNo->value();
    s.Spillback = grpSpillBack->isChecked();
    s.SpillbackDirItem = cbxSpillBackDir->currentIndex();
    s.SpillbackPhase1 = edtMainSpillbackPhase->value();
    s.SpillbackPhase2 = edtSubSpillbackPhase->value();
    s.TimeDiff = grpTimeDiff->isChecked();
    s.TimeDiffPlan = edtTime_diff->value();
    s.RunTypeItem = rgpRunType->ItemIndex() == 0 ? 0 : 1;
    in.PpcManager = edtPPCManager->value();
    in.PpcRows = PpcRows();
}

void TfrmTCDV_C_Control::EndRun() { EndBusy(); }

void TfrmTCDV_C_Control::RunOverCheckedLcs(const std::function<QString(int)> &progressText,
                                           const std::function<void(int)> &step)
{
    BeginBusy();
    lsbMsgList->show();
    lsbMsgList->clear();
    ReadRunInputs();
    const QList<int> ids = CheckedLcIds();
    // The run ends on every way out; an exception goes on to the application's handler.
    const auto endRun = qScopeGuard([this] { EndRun(); });
    for (int lc : ids) {
        StartProgress(progressText(lc));
        QCoreApplication::processEvents();
        step(lc);
    }
}

QString TfrmTCDV_C_Control::LcProgressText(int lc) const
{
    return FormatCText(T(QStringLiteral("IDS_27")), {GetLcName(lc)});
}

void TfrmTCDV_C_Control::ExecuteLcCommand(quint8 opcode, const QString &title)
{
    if (!BeginRun(true))
        return;
    RunOverCheckedLcs(
        [&](int lc) { return FormatCText(QStringLiteral("%s - %s"), {GetLcName(lc), title}); },
        [&](int lc) {
            const bool ok = FRunner.SendLcCommand(lc, opcode, title);
            FRunner.WriteLcCommandEvent(lc, opcode, title, ok);
            ControlPause(100);
        });
}

void TfrmTCDV_C_Control::ExecuteSpecialCommand()
{
    if (CheckedLcIds().isEmpty()) {
        BeginRun(false);
        return;
    }
    ReadRunInputs();
    if (!FRunner.Inputs.Special.AnyChosen()) {
        ShowMsgDlg(this, appTitle(), T(QStringLiteral("IDS_23")), T(QStringLiteral("IDS_4")), QString(), mkInformation);
        return;
    }
    if (!BeginRun(true))
        return;
    RunOverCheckedLcs([this](int lc) { return LcProgressText(lc); },
                      [this](int lc) {
                          const int lcType = GetLcType(lc); // one look-up: head and record agree
                          const bool ok = FRunner.SendSpecialCommand(lc, lcType);
                          FRunner.LogSpecialCommandEvents(lc, lcType, ok);
                      });
}

void TfrmTCDV_C_Control::ExecutePpcCommand(TPpcKind kind)
{
    if (!BeginRun(false))
        return;
    RunOverCheckedLcs([this](int lc) { return LcProgressText(lc); },
                      [this, kind](int lc) {
                          const int lcType = GetLcType(lc);
                          if (IsLcType2004(lcType))
                              return; // the priority lists are for 2010 controllers only
                          const bool ok = FRunner.SendPpcCommand(lc, lcType, kind);
                          FRunner.LogSpecialCommandEvents(lc, lcType, ok);
                      });
}

void TfrmTCDV_C_Control::ExecutePpcGetList()
{
    if (!BeginRun(false))
        return;
    RunOverCheckedLcs([this](int lc) { return LcProgressText(lc); },
                      [this](int lc) {
                          const int lcType = GetLcType(lc);
                          if (IsLcType2004(lcType))
                              return;
                          const bool ok = FRunner.SendPpcGetList(lc, lcType);
                          FRunner.LogSpecialCommandEvents(lc, lcType, ok);
                      });
}

void TfrmTCDV_C_Control::actTcdvOprExecute() { ExecuteLcCommand(opLcOprMode, T(QStringLiteral("IDS_0"))); }
void TfrmTCDV_C_Control::actTcdvTodTrcExecute() { ExecuteLcCommand(opTodTrc, T(QStringLiteral("IDS_1"))); }
void TfrmTCDV_C_Control::actTcdvControlModeExecute()
{
    if (CheckedLcIds().isEmpty()) {
        BeginRun(false); // says that no intersection is checked
        return;
    }
    // Without a chosen mode the command is refused before anything is asked or sent.
    if (cbxTcdvControlMode->currentIndex() < 0) {
        ShowMsgDlg(this, appTitle(), T(QStringLiteral("IDS_NoCtrlMode")), T(QStringLiteral("IDS_4")), QString(),
                   mkInformation);
        cbxTcdvControlMode->setFocus();
        return;
    }
    ExecuteLcCommand(opCtrlMode, T(QStringLiteral("IDS_13")));
}
void TfrmTCDV_C_Control::actTcdvFWUpgradeExecute() { ExecuteLcCommand(opFwUpgrade, T(QStringLiteral("IDS_2"))); }
void TfrmTCDV_C_Control::actTcdvManExecute() { ExecuteSpecialCommand(); }
void TfrmTCDV_C_Control::actPPCAddExecute() { ExecutePpcCommand(pkRegister); }
void TfrmTCDV_C_Control::actPPCDelExecute() { ExecutePpcCommand(pkDeleteSelected); }
void TfrmTCDV_C_Control::actPPCAllDelExecute() { ExecutePpcCommand(pkDeleteAll); }
void TfrmTCDV_C_Control::actPPCGetListExecute() { ExecutePpcGetList(); }

// ---------------------------------------------------------------------------
// Priority lists
// ---------------------------------------------------------------------------

void TfrmTCDV_C_Control::actPPCManagerGetListExecute()
{
    TPpcManagerRow row;
    if (LoadPpcManager(edtPPCManager->value(), &row, this)) {
        cxVerGridPPC->setItem(0, 0, new QTableWidgetItem(QString::number(row.PpcManager)));
        auto *type = new QTableWidgetItem(row.PpcType == 1 ? T(QStringLiteral("ITEM_PpcBus"))
                                                           : T(QStringLiteral("ITEM_PpcEmerg")));
        type->setData(Qt::UserRole, row.PpcType);
        cxVerGridPPC->setItem(1, 0, type);
        cxVerGridPPC->setItem(2, 0, new QTableWidgetItem(row.Comments));
    } else {
        for (int r = 0; r < 3; ++r)
            cxVerGridPPC->setItem(r, 0, new QTableWidgetItem(QString()));
    }
}

void TfrmTCDV_C_Control::LoadPpcList()
{
    QList<int> ids;
    for (const QString &s : FSelectedList)
        ids << s.toInt();
    FillPpcGrid(ids.isEmpty() ? QList<TPpcEntry>() : LoadPpcEntries(ids, this));
}

void TfrmTCDV_C_Control::FillPpcGrid(const QList<TPpcEntry> &rows)
{
    gtvPPC->setRowCount(0);
    gtvPPC->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const TPpcEntry &e = rows.at(r);
        auto *sel = new QTableWidgetItem();
        sel->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        sel->setCheckState(Qt::Unchecked);
        gtvPPC->setItem(r, colSel, sel);
        gtvPPC->setItem(r, colInt, new QTableWidgetItem(QString::number(e.IntLcNo)));
        gtvPPC->setItem(r, colManager, new QTableWidgetItem(QString::number(e.PpcManager)));
        auto *type = new QTableWidgetItem(e.PpcType == 1 ? T(QStringLiteral("ITEM_PpcBus"))
                                                         : T(QStringLiteral("ITEM_PpcEmerg")));
        type->setData(Qt::UserRole, e.PpcType);
        gtvPPC->setItem(r, colType, type);
        gtvPPC->setItem(r, colNumber, new QTableWidgetItem(QString::number(e.PpcNumber)));
        gtvPPC->setItem(r, colComments, new QTableWidgetItem(e.Comments));
    }
}

QList<TPpcEntry> TfrmTCDV_C_Control::PpcRows() const
{
    QList<TPpcEntry> rows;
    for (int r = 0; r < gtvPPC->rowCount(); ++r) {
        TPpcEntry e;
        e.Sel = gtvPPC->item(r, colSel) && gtvPPC->item(r, colSel)->checkState() == Qt::Checked;
        e.IntLcNo = gtvPPC->item(r, colInt) ? gtvPPC->item(r, colInt)->text().toInt() : 0;
        e.PpcManager = gtvPPC->item(r, colManager) ? gtvPPC->item(r, colManager)->text().toInt() : 0;
        e.PpcType = gtvPPC->item(r, colType) ? gtvPPC->item(r, colType)->data(Qt::UserRole).toInt() : 0;
        e.PpcNumber = gtvPPC->item(r, colNumber) ? gtvPPC->item(r, colNumber)->text().toLongLong() : 0;
        e.Comments = gtvPPC->item(r, colComments) ? gtvPPC->item(r, colComments)->text() : QString();
        rows << e;
    }
    return rows;
}
