#include "intersection/untSpillbackParameter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/untDM.h"
#include "core/untTCDV_S.h"
#include "intersection/SpillBack.h"

TFormSpillbackParameter::TFormSpillbackParameter(QWidget *owner) : TfrmBaseGrid(owner)
{
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDV_NAME);
    cbxAllTCDV = new QCheckBox(pnlTop);
    cbxAllTCDV->setObjectName(QStringLiteral("cbxAllTCDV"));
    pnlTopLayout->addWidget(cbxAllTCDV);
    pnlTopLayout->addStretch();
    SetGridColumns(SpillBack::Columns(), SpillBack::PrimaryKeys);
    cxGrid->SetEnterMovesToNextCell(true);
    cxGrid->SetFitColumns(true);
    // This window saves without asking.
    disconnect(actSave, &QAction::triggered, this, nullptr);
    connect(actSave, &QAction::triggered, this, [this] { SaveSpillBack(); });
    connect(cbxAllTCDV, &QCheckBox::toggled, this, [this](bool all) {
        edtTCDV->setEnabled(!all);
        SetSearched(all || LcExists(TCDV_ID()));
        if (Searched())
            actSearch->trigger();
        else if (GridModel())
            GridModel()->Clear();
        UpdateActions();
    });
    InitLanguage();
}

void TFormSpillbackParameter::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
    cbxAllTCDV->setText(Tx(QStringLiteral("cbxAllTCDV.Caption")));
    TGridModel *m = GridModel();
    QList<TGridItem> dirs, rings;
    for (int d = 1; d <= SpillBack::MaxDirection; ++d)
        dirs << TGridItem{d, Tx(QStringLiteral("Dir.") + QString::number(d))};
    for (int r = 1; r <= 2; ++r)
        rings << TGridItem{r, Tx(QStringLiteral("Ring.") + QString::number(r))};
    m->ColumnRef(m->ColumnIndex(QStringLiteral("INT_SPILLBACKINDEX"))).Items = dirs;
    m->ColumnRef(m->ColumnIndex(QStringLiteral("MAIN_RING"))).Items = rings;
    m->ColumnRef(m->ColumnIndex(QStringLiteral("SUB_RING"))).Items = rings;
    cxGrid->ApplyColumns();
}

void TFormSpillbackParameter::Load()
{
    const bool all = cbxAllTCDV->isChecked();
    QSqlQuery q = NewQuery();
    q.prepare(SpillBack::SearchSql(all));
    if (!all)
        q.bindValue(QStringLiteral(":INT_LCNO"), TCDV_ID());
    if (DM && DM->QueryOpen(q, this))
        SpillBack::LoadRows(*GridModel(), q);
}

void TFormSpillbackParameter::actAddExecute()
{
    TGridModel *m = GridModel();
    if (!m)
        return;
    cxGrid->PostEdit();
    if (!Searched())
        actSearch->trigger();
    const int rec = m->AppendRecord();
    if (edtTCDV->isEnabled()) {
        m->SetValue(rec, m->ColumnIndex(QStringLiteral("INT_LCNO")), edtTCDV->text().trimmed().toInt());
        m->SetValue(rec, m->ColumnIndex(QStringLiteral("INT_SPILLBACKINDEX")),
                    SpillBack::NewDirection(m->RecordCount()));
        // The row carries the intersection and a direction: it is a new row to save.
        m->SetState(rec, RowState::Inserted);
        cxGrid->FocusRecord(rec, m->ColumnIndex(QStringLiteral("INT_SPILLBACKINDEX")));
    } else {
        cxGrid->FocusRecord(rec, m->ColumnIndex(QStringLiteral("INT_LCNO")));
    }
    cxGrid->setFocus();
    UpdateActions();
}

TRtnBoolStr TFormSpillbackParameter::Validate(TGridView *TableView, bool DuplicationCheck)
{
    TRtnBoolStr r = TfrmBaseGrid::Validate(TableView, DuplicationCheck);
    if (!r.rtn || !TableView || !TableView->GridModel())
        return r;
    const TGridModel &m = *TableView->GridModel();
    const int bad = SpillBack::BadDirection(m);
    if (bad >= 0) {
        TableView->FocusRecord(bad, m.ColumnIndex(QStringLiteral("INT_SPILLBACKINDEX")));
        return {false, KIT_T(T_CheckRequiredField)};
    }
    return r;
}

bool TFormSpillbackParameter::PickTCDV(int *value)
{
    int preset = TCDV_ID();
    const int rec = cxGrid->FocusedRecord();
    if (TGridModel *m = GridModel(); m && rec >= 0) {
        const QString lc = m->Text(rec, m->ColumnIndex(QStringLiteral("INT_LCNO"))).trimmed();
        if (!lc.isEmpty())
            preset = lc.toInt();
    }
    TfrmTCDV_S dlg(this);
    dlg.setWindowTitle(KIT_T(T_TcdvSTitle));
    dlg.chxOnlySgnl->setChecked(true);
    dlg.chxOnlySgnl->setVisible(false);
    dlg.FTCDV_ID = preset;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *value = dlg.qryTCDVINT_LCNO().toString().toInt();
    return true;
}

bool TFormSpillbackParameter::SaveSpillBack()
{
    if (!HasView())
        return false;
    cxGrid->PostEdit();
    const bool ok = Controller()->Save(false, true);
    UpdateActions();
    return ok;
}

void TFormSpillbackParameter::SaveRow(const TGridRow &row)
{
    SpillBack::SaveRow(Controller()->Connection(), row);
}
