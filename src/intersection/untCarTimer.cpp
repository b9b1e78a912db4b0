#include "intersection/untCarTimer.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/LookupUnit.h"
#include "core/untDM.h"
#include "intersection/CarTimer.h"

TfrmCarTimer::TfrmCarTimer(QWidget *owner) : TfrmBaseGrid(owner)
{
    AddSABox(lblSA, edtSA, lblSA_NAME);
    cbxAllTCDV = new QCheckBox(pnlTop);
    cbxAllTCDV->setObjectName(QStringLiteral("cbxAllTCDV"));
    pnlTopLayout->addWidget(cbxAllTCDV);
    pnlTopLayout->addStretch();
    actAdd->setVisible(false); // rows come from the intersection list
    btnAdd->hide();

    TGridModel *m = SetGridColumns(CarTimer::Columns(), {QStringLiteral("INT_LCNO")});
    // The state rule of this grid: a record without a stored row is always inserted.
    const int db = m->ColumnIndex(QStringLiteral("DB"));
    m->EditHook = [m, db](int rec, int) {
        m->SetState(rec, CarTimer::StateAfterEdit(m->State(rec), m->Value(rec, db).toInt() == 1));
    };
    cxGrid->SetEnterMovesToNextCell(true);
    cxGrid->SetFitColumns(true);
    connect(cbxAllTCDV, &QCheckBox::toggled, this, [this](bool all) {
        edtSA->setEnabled(!all);
        SetSearched(all || SaExists(SA_ID()));
        if (Searched())
            actSearch->trigger();
        else if (GridModel())
            GridModel()->Clear();
        UpdateActions();
    });
    InitLanguage();
}

void TfrmCarTimer::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblSA->setText(Tx(QStringLiteral("lblSA.Caption")));
    cbxAllTCDV->setText(Tx(QStringLiteral("cbxAllTCDV.Caption")));
    TGridModel *m = GridModel();
    for (const QString &d : CarTimer::Displays())
        for (int line = 1; line <= 8; ++line)
            m->ColumnRef(m->ColumnIndex(CarTimer::CellName(d, line))).Band = Tx(QStringLiteral("Band.") + d);
    cxGrid->ApplyColumns();
    cxGrid->Retranslate(TextTable());
}

void TfrmCarTimer::Load()
{
    const bool all = cbxAllTCDV->isChecked();
    QSqlQuery q = NewQuery();
    q.prepare(CarTimer::SearchSql(all));
    if (!all)
        q.bindValue(QStringLiteral(":INT_SANO"), SA_ID());
    if (DM && DM->QueryOpen(q, this))
        CarTimer::LoadRows(*GridModel(), q);
}

void TfrmCarTimer::SaveRow(const TGridRow &row)
{
    CarTimer::SaveRow(Controller()->Connection(), DM ? DM->DBInfo().DBType : dtMariaDB, row);
}
