#include "plans/untSA_E_Merge.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlQuery>

#include "core/GridView.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "core/untTCDV_S.h"
#include "plans/GroupStore.h"

namespace {

TGridColumn Col(const QString &name, int width)
{
    return TGridColumn(name).Key(QStringLiteral("gtvSAMerge%1.Caption").arg(name)).W(width).Range(0, 32767);
}

} // namespace

TfrmSA_E_Merge::TfrmSA_E_Merge(QWidget *owner) : TfrmBaseGrid(owner)
{
    AddSABox(lblSA, edtSA, lblSA_NAME);
    rgpMergeType = new QGroupBox(pnlTop);
    rgpMergeType->setObjectName(QStringLiteral("rgpMergeType"));
    auto *lay = new QHBoxLayout(rgpMergeType);
    lay->setContentsMargins(6, 0, 6, 0);
    rbNew = new QRadioButton(rgpMergeType);
    rbSimple = new QRadioButton(rgpMergeType);
    rbNew->setChecked(true);
    lay->addWidget(rbNew);
    lay->addWidget(rbSimple);
    pnlTopLayout->addWidget(rgpMergeType);
    pnlTopLayout->addStretch();

    TGridColumns cols{
        Col("SA_LINKINDEX", 50).Range(1, GroupStore::MaxMergeLinks).Req(),
        Col("SA_LINKSEG", 80).Req(),
        Col("SA_LINKMAININT", 80).Req(),
        Col("SA_LINKSUBINT", 80).Req(),
        Col("SA_LINKOFFSETIN", 80),
        Col("SA_LINKOFFSETAVG", 80),
        Col("SA_LINKOFFSETOUT", 80),
        TGridColumn("SA_LINKMGCOND").Key("gtvSAMergeSA_LINKMGCOND.Caption").W(120),
        Col("SA_LINKMGCYCLE", 70),
        Col("SA_LINKHOLDCYCLE", 70),
        Col("SA_LINKCYCLEGAP", 70),
        TGridColumn("SA_MGAXIS").Key("gtvSAMergeSA_MGAXIS.Caption").W(100),
        TGridColumn("SA_TARGETAXIS").Key("gtvSAMergeSA_TARGETAXIS.Caption").W(100),
    };
    for (const QString &c : GroupStore::JoinColumns())
        cols << Col(c, 80);
    SetGridColumns(cols, {"SA_LINKINDEX"});
    cxGrid->SetEnterMovesToNextCell(true);
    connect(cxGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) {
        const int col = cxGrid->FocusedColumn();
        if (col >= 0)
            CellButtonClick(cxGrid->FocusedRecord(), GridModel()->Column(col).Name);
    });
    auto changed = [this](bool checked) {
        if (!checked)
            return;
        ShowMergeColumns();
        if (SaExists(SA_ID())) {
            SetSearched(true);
            actSearch->trigger();
        }
    };
    connect(rbNew, &QRadioButton::toggled, this, changed);
    connect(rbSimple, &QRadioButton::toggled, this, changed);
    InitLanguage();
    ShowMergeColumns();
}

int TfrmSA_E_Merge::MergeType() const
{
    return rbSimple->isChecked() ? 1 : 0;
}

void TfrmSA_E_Merge::SetMergeType(int type)
{
    (type == 1 ? rbSimple : rbNew)->setChecked(true);
}

void TfrmSA_E_Merge::ShowMergeColumns()
{
    TGridModel *m = GridModel();
    const bool simple = MergeType() == 1;
    for (const QString &c : GroupStore::MergeColumns())
        m->ColumnRef(m->ColumnIndex(c)).Visible = !simple;
    for (const QString &c : GroupStore::JoinColumns())
        m->ColumnRef(m->ColumnIndex(c)).Visible = simple;
    // The key and required columns belong to the links only.
    for (const char *c : {"SA_LINKINDEX", "SA_LINKSEG", "SA_LINKMAININT", "SA_LINKSUBINT"})
        m->ColumnRef(m->ColumnIndex(QString::fromLatin1(c))).Tag = simple ? 0 : 1;
    m->SetPrimaryKeys(simple ? QStringList() : QStringList{QStringLiteral("SA_LINKINDEX")});
    cxGrid->ApplyColumns();
    UpdateActions();
    actAdd->setEnabled(actAdd->isEnabled() && !simple);
}

void TfrmSA_E_Merge::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblSA->setText(Tx(QStringLiteral("lblSA.Caption")));
    rgpMergeType->setTitle(Tx(QStringLiteral("rgpMergeType.Caption")));
    rbNew->setText(Tx(QStringLiteral("rgpMergeType.Items0")));
    rbSimple->setText(Tx(QStringLiteral("rgpMergeType.Items1")));
    if (TGridModel *m = GridModel()) {
        auto set = [&](const char *column, std::initializer_list<std::pair<int, QString>> keys) {
            QList<TGridItem> items;
            for (const auto &k : keys)
                items << TGridItem{k.first, Tx(k.second)};
            m->ColumnRef(m->ColumnIndex(QString::fromLatin1(column))).Items = items;
        };
        set("SA_LINKMGCOND", {{0, "strMergeCond0"}, {1, "strMergeCond1"}, {2, "strMergeCond2"}, {3, "strMergeCond3"}});
        set("SA_MGAXIS", {{0, "strAxis0"}, {1, "strAxis1"}});
        set("SA_TARGETAXIS", {{0, "strAxis0"}, {1, "strAxis1"}});
        cxGrid->ApplyColumns();
    }
}

void TfrmSA_E_Merge::Load()
{
    TGridModel *m = GridModel();
    QSqlQuery q = NewQuery();
    if (MergeType() == 0) {
        q.prepare("SELECT SA_NO, " + GroupStore::MergeColumns().join(", ") +
                  " FROM SCS_M_SAMERGE WHERE SA_NO = :SA_NO ORDER BY SA_LINKINDEX");
        q.bindValue(QStringLiteral(":SA_NO"), SA_ID());
        if (DM && DM->QueryOpen(q, this))
            m->LoadQuery(q, QString(), [](const QSqlQuery &r) {
                return QVariant(r.value(0).toString() + ',' + r.value(1).toString());
            });
    } else {
        q.prepare("SELECT " + GroupStore::JoinColumns().join(", ") + " FROM SCS_M_SAOPERATE WHERE SA_NO = :SA_NO");
        q.bindValue(QStringLiteral(":SA_NO"), SA_ID());
        // The one row carries the group as its key, so that Delete marks it instead of removing it.
        if (DM && DM->QueryOpen(q, this))
            m->LoadQuery(q, QString(), [this](const QSqlQuery &) { return QVariant(QString::number(SA_ID())); });
    }
}

void TfrmSA_E_Merge::actAddExecute()
{
    if (MergeType() != 0)
        return;
    if (GridModel()->RecordCount() >= GroupStore::MaxMergeLinks) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_1")), KIT_T(T_DialogCaption), QString(),
                   mkInformation);
        return;
    }
    TfrmBaseGrid::actAddExecute();
}

TRtnBoolStr TfrmSA_E_Merge::Validate(TGridView *TableView, bool DuplicationCheck)
{
    if (MergeType() != 0)
        return TRtnBoolStr(); // the simple row has no checks
    return TfrmBaseGrid::Validate(TableView, DuplicationCheck);
}

void TfrmSA_E_Merge::SaveRow(const TGridRow &row)
{
    if (MergeType() == 0)
        GroupStore::SaveMergeRow(Controller()->Connection(), SA_ID(), row);
    else
        GroupStore::SaveJoinVariables(Controller()->Connection(), SA_ID(), row);
}

void TfrmSA_E_Merge::CellButtonClick(int rec, const QString &column)
{
    TGridModel *m = GridModel();
    if (!m || rec < 0 || rec >= m->RecordCount())
        return;
    const int col = m->ColumnIndex(column);
    if (column == QLatin1String("SA_LINKSEG")) {
        int sa = 0;
        if (PickSA(&sa))
            m->EditValue(rec, col, sa);
    } else if (column == QLatin1String("SA_LINKMAININT") || column == QLatin1String("SA_LINKSUBINT")) {
        TfrmTCDV_S dlg(this);
        dlg.setWindowTitle(KIT_T(T_TcdvSTitle));
        dlg.chxOnlySgnl->setChecked(true);
        dlg.chxOnlySgnl->setVisible(false);
        dlg.FTCDV_ID = GroupStore::CellInt(m->Value(rec, col));
        if (dlg.exec() == QDialog::Accepted)
            m->EditValue(rec, col, dlg.qryTCDVINT_LCNO().toString().toInt());
    }
}
