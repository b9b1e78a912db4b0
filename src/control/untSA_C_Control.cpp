#include "control/untSA_C_Control.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "control/ControlDbUnit.h"
#include "control/ControlWidgets.h"
#include "core/LookupUnit.h"
#include "core/ProgressBarThreadUnit.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untSA_S.h"
#include "centrelink/untTH_TCDV_C_Log.h"

TfrmSA_C_Control::TfrmSA_C_Control(QWidget *owner)
    : TControlRunWindow(owner)
{
    setObjectName(QStringLiteral("frmSA_C_Control"));
    FRunner.OnResultLine = [this](const QString &line) { AddSaResultLine(line); };
    BuildUi();
    pnlSelNodeDesc->clear();
    cbxShowLog->setVisible(DM && DM->G_ADMIN_MODE);
    FLang = new TsiLangLinked(this, TSaCommandRunner::LangTable(), [this] { Retranslate(); });
    FLang->Retranslate();
    DoingUpdate();
}

TfrmSA_C_Control::~TfrmSA_C_Control() = default;

QString TfrmSA_C_Control::T(const QString &key) const { return TSaCommandRunner::Text(key); }

void TfrmSA_C_Control::BuildUi()
{
    resize(720, 560);
    auto mkAction = [this](QAction *&a, const char *name, void (TfrmSA_C_Control::*slot)()) {
        a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    mkAction(actSaOpr, "actSaOpr", &TfrmSA_C_Control::actSaOprExecute);
    mkAction(actSaTodTrc, "actSaTodTrc", &TfrmSA_C_Control::actSaTodTrcExecute);
    mkAction(actSaMan, "actSaMan", &TfrmSA_C_Control::actSaManExecute);
    mkAction(actSelAllNode, "actSelAllNode", &TfrmSA_C_Control::actSelAllNodeExecute);
    mkAction(actUnselAllNode, "actUnselAllNode", &TfrmSA_C_Control::actUnselAllNodeExecute);
    mkAction(actClose, "actClose", &TfrmSA_C_Control::actCloseExecute);

    auto *root = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Horizontal, this);
    root->addWidget(split, 1);

    auto *left = new QWidget(split);
    auto *leftLay = new QVBoxLayout(left);
    leftLay->setContentsMargins(0, 0, 0, 0);
    auto *search = new QHBoxLayout();
    lblSA = ControlLabel(left, "lblSA");
    edtSA = new QLineEdit(left);
    edtSA->setObjectName(QStringLiteral("edtSA"));
    btnSA = new QPushButton(QStringLiteral("..."), left);
    btnSA->setObjectName(QStringLiteral("btnSA"));
    search->addWidget(lblSA);
    search->addWidget(edtSA, 1);
    search->addWidget(btnSA);
    leftLay->addLayout(search);
    VST = new QTreeWidget(left);
    VST->setObjectName(QStringLiteral("VST"));
    VST->setHeaderHidden(true);
    VST->setRootIsDecorated(false);
    VST->setSelectionMode(QAbstractItemView::MultiSelection);
    leftLay->addWidget(VST, 1);
    pnlSelNodeDesc = ControlLabel(left, "pnlSelNodeDesc");
    leftLay->addWidget(pnlSelNodeDesc);
    auto *sel = new QHBoxLayout();
    sel->addWidget(ControlActionButton(actSelAllNode, left));
    sel->addWidget(ControlActionButton(actUnselAllNode, left));
    leftLay->addLayout(sel);

    InstallIdEditKeys(edtSA, IdEditKindSa, nullptr, nullptr, [this](int n) { FindSaId(n); }, {}, true);
    connect(btnSA, &QPushButton::clicked, this, &TfrmSA_C_Control::btnSAClick);
    connect(VST, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int) {
        if (!FSettingChecks && item)
            item->setSelected(item->checkState(0) == Qt::Checked);
    });
    connect(VST, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *cur, QTreeWidgetItem *) {
        if (cur)
            pnlSelNodeDesc->setText(FormatCText(T(QStringLiteral("IDS_34")), {cur->data(0, Qt::UserRole).toInt()}));
        else
            pnlSelNodeDesc->clear();
    });
    connect(VST, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int) {
        if (item && item->isSelected())
            emit RequestSelectSA(item->data(0, Qt::UserRole).toInt());
    });

    auto *right = new QWidget(split);
    auto *rl = new QVBoxLayout(right);
    grpSaOpr = new TRadioGroup(right, 2);
    grpSaOpr->setObjectName(QStringLiteral("grpSaOpr"));
    grpSaOpr->SetItems({QString(), QString()});
    grpSaOpr->SetItemIndex(0);
    grpSaOpr->layout()->addWidget(ControlActionButton(actSaOpr, grpSaOpr));
    rl->addWidget(grpSaOpr);
    grpSaTodTrc = new TRadioGroup(right, 2);
    grpSaTodTrc->setObjectName(QStringLiteral("grpSaTodTrc"));
    grpSaTodTrc->SetItems({QStringLiteral("TOD"), QStringLiteral("TRC")});
    grpSaTodTrc->SetItemIndex(0);
    grpSaTodTrc->layout()->addWidget(ControlActionButton(actSaTodTrc, grpSaTodTrc));
    rl->addWidget(grpSaTodTrc);
    grpSaMan = new QGroupBox(right);
    grpSaMan->setObjectName(QStringLiteral("grpSaMan"));
    {
        auto *g = new QGridLayout(grpSaMan);
        g->addWidget(ControlLabel(grpSaMan, "lblCycleNo"), 0, 0);
        edtCycleNo = ControlSpin(grpSaMan, "edtCycleNo", 1, 6, 1);
        g->addWidget(edtCycleNo, 0, 1);
        g->addWidget(ControlLabel(grpSaMan, "lblPhaseNo"), 1, 0);
        edtPhaseNo = ControlSpin(grpSaMan, "edtPhaseNo", 1, 16, 1);
        g->addWidget(edtPhaseNo, 1, 1);
        g->addWidget(ControlLabel(grpSaMan, "lblOffsetNo"), 2, 0);
        edtOffsetNo = ControlSpin(grpSaMan, "edtOffsetNo", 1, 16, 1);
        g->addWidget(edtOffsetNo, 2, 1);
        g->addWidget(ControlActionButton(actSaMan, grpSaMan), 3, 1);
    }
    rl->addWidget(grpSaMan);
    rl->addStretch(1);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);

    lsbMsgList = new QListWidget(this);
    lsbMsgList->setObjectName(QStringLiteral("lsbMsgList"));
    lsbMsgList->setMaximumHeight(150);
    root->addWidget(lsbMsgList);
    auto *bottom = new QHBoxLayout();
    cbxShowLog = new QCheckBox(this);
    cbxShowLog->setObjectName(QStringLiteral("cbxShowLog"));
    bottom->addWidget(cbxShowLog);
    bottom->addStretch(1);
    btnClose = ControlActionButton(actClose, this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    bottom->addWidget(btnClose);
    root->addLayout(bottom);
    connect(cbxShowLog, &QCheckBox::clicked, this, [this] {
        if (frmTH_TCDV_C_Log)
            frmTH_TCDV_C_Log->setVisible(cbxShowLog->isChecked());
        activateWindow();
    });
}

void TfrmSA_C_Control::Retranslate()
{
    grpSaOpr->SetItems({T(QStringLiteral("ITEM_CenterMode")), T(QStringLiteral("ITEM_LocalMode"))});
    if (VST->currentItem())
        pnlSelNodeDesc->setText(
            FormatCText(T(QStringLiteral("IDS_34")), {VST->currentItem()->data(0, Qt::UserRole).toInt()}));
}

void TfrmSA_C_Control::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (FShownOnce)
        return;
    FShownOnce = true;
    LoadSaTree();
    if (FSaID > 0) {
        edtSA->setText(QString::number(FSaID));
        if (QTreeWidgetItem *n = MatchSaNodeId(FSaID)) {
            VST->setCurrentItem(n);
            n->setCheckState(0, Qt::Checked);
            n->setSelected(true);
            VST->scrollToItem(n);
        }
    }
}

void TfrmSA_C_Control::actCloseExecute() { close(); }

void TfrmSA_C_Control::DoingUpdate()
{
    for (QAction *a : {actSaOpr, actSaTodTrc, actSaMan})
        a->setEnabled(!FDoing);
}

void TfrmSA_C_Control::LoadSaTree()
{
    QList<TSaRow> rows;
    if (!LoadSaRows(&rows, this))
        return; // the tree keeps its nodes
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FSettingChecks = true;
    VST->setUpdatesEnabled(false);
    VST->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const TSaRow &r : rows) {
        if (r.SaNo < 1 || r.SaNo > 200)
            continue;
        auto *n = new QTreeWidgetItem(VST);
        n->setData(0, Qt::UserRole, r.SaNo);
        n->setData(0, Qt::UserRole + 1, r.SaName.left(50));
        n->setText(0, FormatCText(QStringLiteral("%.4d %s"), {r.SaNo, r.SaName.left(50)}));
        n->setIcon(0, icon);
        n->setFlags(n->flags() | Qt::ItemIsUserCheckable);
        n->setCheckState(0, Qt::Unchecked);
    }
    VST->setUpdatesEnabled(true);
    FSettingChecks = false;
    QApplication::restoreOverrideCursor();
}

QTreeWidgetItem *TfrmSA_C_Control::MatchSaNodeId(int saNo) const
{
    for (int i = 0; i < VST->topLevelItemCount(); ++i)
        if (VST->topLevelItem(i)->data(0, Qt::UserRole).toInt() == saNo)
            return VST->topLevelItem(i);
    return nullptr;
}

void TfrmSA_C_Control::FindSaId(int saNo)
{
    if (QTreeWidgetItem *n = MatchSaNodeId(saNo)) {
        VST->setCurrentItem(n);
        n->setSelected(true);
        n->setExpanded(true);
        VST->scrollToItem(n);
    }
}

QList<int> TfrmSA_C_Control::CheckedSaIds() const
{
    QList<int> ids;
    for (int i = 0; i < VST->topLevelItemCount(); ++i)
        if (VST->topLevelItem(i)->checkState(0) == Qt::Checked)
            ids << VST->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    return ids;
}

void TfrmSA_C_Control::CheckAll(bool checked)
{
    // The check handler is detached: the selection of the nodes stays as it is.
    FSettingChecks = true;
    for (int i = 0; i < VST->topLevelItemCount(); ++i)
        VST->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    FSettingChecks = false;
}

void TfrmSA_C_Control::actSelAllNodeExecute() { CheckAll(true); }
void TfrmSA_C_Control::actUnselAllNodeExecute() { CheckAll(false); }

void TfrmSA_C_Control::btnSAClick()
{
    TfrmSA_S picker(this);
    picker.setWindowTitle(DM ? DM->T_SaSTitle : QString());
    if (picker.ShowModal() == TfrmBase::mrOK && picker.SA_ID() > 0) {
        edtSA->setText(QString::number(picker.SA_ID()));
        FindSaId(picker.SA_ID());
    }
}

void TfrmSA_C_Control::AddSaResultLine(const QString &line) { AddResultLine(line); }

void TfrmSA_C_Control::ExecuteSaCommand(quint8 opcode, const QString &title)
{
    const QString appTitle = DM ? DM->G_APP_TITLE : QString();
    const QList<int> ids = CheckedSaIds();
    if (ids.isEmpty()) {
        ShowMsgDlg(this, appTitle, T(QStringLiteral("IDS_3")), T(QStringLiteral("IDS_4")), QString(), mkInformation);
        return;
    }
    if (ShowMsgDlg(this, appTitle, T(QStringLiteral("IDS_5")), T(QStringLiteral("IDS_6")), QString(), mkQuestion)
        != mrYes)
        return;
    BeginBusy();
    lsbMsgList->show();
    lsbMsgList->clear();
    TSaCommandInputs &in = FRunner.Inputs;
    in.OprMode = grpSaOpr->ItemIndex() == 0 ? 0x80 : 0x40;
    in.TodTrcMode = grpSaTodTrc->ItemIndex() == 0 ? 0 : 1;
    in.ManCtrl = TManCtrl{quint8(edtCycleNo->value()), quint8(edtPhaseNo->value()), quint8(edtOffsetNo->value())};
    // The run ends on every way out; an exception goes on to the application's handler.
    const auto endBusy = qScopeGuard([this] { EndBusy(); });
    for (int sa : ids) {
        StartProgress(FormatCText(QStringLiteral("%s - %s"), {GetSaName(sa), title}));
        QCoreApplication::processEvents();
        const bool ok = FRunner.SendSaCommand(sa, opcode, title);
        FRunner.WriteSaCommandEvent(sa, opcode, title, ok);
    }
}

void TfrmSA_C_Control::actSaOprExecute() { ExecuteSaCommand(opGroupOprMode, T(QStringLiteral("IDS_0"))); }
void TfrmSA_C_Control::actSaTodTrcExecute() { ExecuteSaCommand(opTodTrc, T(QStringLiteral("IDS_1"))); }
void TfrmSA_C_Control::actSaManExecute() { ExecuteSaCommand(opGroupManual, T(QStringLiteral("IDS_2"))); }
