#include "plans/untTcdvReservePlan.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"

using namespace ReservePlan;

TFormTcdvReservePlan::TFormTcdvReservePlan(QWidget *owner) : TfrmBaseGrid(owner, ReservePlan::TextTable)
{
    setObjectName(QStringLiteral("FormTcdvReservePlan"));
    resize(900, 500);
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDV_NAME);
    cbxAllTCDV = new QCheckBox(pnlTop);
    cbxAllTCDV->setObjectName(QStringLiteral("cbxAllTCDV"));
    pnlTopLayout->addWidget(cbxAllTCDV);
    pnlTopLayout->addStretch(1);
    connect(cbxAllTCDV, &QCheckBox::clicked, this, [this] { cbxAllTCDVClick(); });

    SetGridColumns(Columns(lct2004), {"INT_LCNO", "INT_FPLANINDEX"});
    FEdits.LcTypeOf = [](int lc) { return GetLcTypeEx(lc); };
    Controller()->SetEditValueChanged([this](int rec, int col) {
        TGridModel *m = GridModel();
        if (m->Column(col).Name == QLatin1String("INT_LCNO"))
            FollowLcType(m->Value(rec, col).toInt());
        FEdits.CellEdited(m, rec, col);
        // One day editor for all rows: its maximum follows the last month chosen.
        m->ColumnRef(m->ColumnIndex(QStringLiteral("INT_RSRVDAY"))).SpinMax = FEdits.DayMax;
    });
    // The lists of every row follow the controller type of the focused row.
    connect(cxGrid, &TGridView::FocusedRecordChanged, this, [this](int rec) {
        if (rec >= 0 && GridModel() && rec < GridModel()->RecordCount())
            FollowLcType(GridModel()->Value(rec, QStringLiteral("INT_LCNO")).toInt());
    });
    // The save asks no question.
    disconnect(actSave, &QAction::triggered, this, nullptr);
    connect(actSave, &QAction::triggered, this, [this] { actSaveNoQuestion(); });
    InitLanguage();
}

void TFormTcdvReservePlan::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    if (windowTitle().isEmpty())
        setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
    cbxAllTCDV->setText(Tx(QStringLiteral("cbxAllTCDV.Caption")));
    if (TGridModel *m = GridModel()) {
        const TGridColumns cols = Columns(FLCType);
        for (int c = 0; c < cols.size(); ++c)
            m->SetCaption(c, cols.at(c).Caption);
        ApplyLcType(m, FLCType);
    }
}

void TFormTcdvReservePlan::FollowLcType(int lcNo)
{
    const TLcTypeEx type = GetLcTypeEx(lcNo);
    if (type == FLCType)
        return;
    FLCType = type;
    ApplyLcType(GridModel(), type);
}

void TFormTcdvReservePlan::SetTCDV_ID(int Value)
{
    FLCType = GetLcTypeEx(Value);
    if (GridModel())
        ApplyLcType(GridModel(), FLCType);
    TfrmBaseGrid::SetTCDV_ID(Value);
}

void TFormTcdvReservePlan::cbxAllTCDVClick()
{
    const bool all = cbxAllTCDV->isChecked();
    edtTCDV->setEnabled(!all);
    SetSearched(all || LcExists(edtTCDV->text().trimmed().toInt()));
    if (Searched())
        actSearchExecute();
    else if (GridModel()) {
        GridModel()->Clear();
        SetEdited(false);
    }
    actSearch->setEnabled(Searched());
    actAdd->setEnabled(Searched());
}

void TFormTcdvReservePlan::Load()
{
    const bool all = cbxAllTCDV && cbxAllTCDV->isChecked();
    if (!all)
        FLCType = GetLcTypeEx(TCDV_ID());
    QString error;
    if (LoadReservePlans(DM->Con(), GridModel(), all, TCDV_ID(), &error) < 0)
        ShowMsgDlg(this, KitAppTitle(), error, QString(), QString(), mkError);
    ApplyLcType(GridModel(), FLCType);
}

void TFormTcdvReservePlan::actAddExecute()
{
    TGridModel *m = GridModel();
    if (!m)
        return;
    cxGrid->PostEdit();
    if (!Searched()) {
        SetSearched(true);
        actSearchExecute();
    }
    const TNewRow row = ProposeNewRow(*m, cbxAllTCDV->isChecked(), TCDV_ID());
    if (!row.Ok) {
        ShowMsgDlg(this, KitAppTitle(), row.Message, DM->T_ValidationCaption, QString(), mkWarning);
        return;
    }
    const int rec = AppendProposedRow(m, row);
    cxGrid->FocusRecord(rec);
    UpdateActions();
}

TRtnBoolStr TFormTcdvReservePlan::Validate(TGridView *TableView, bool)
{
    TRtnBoolStr r;
    if (!TableView || !TableView->GridModel())
        return r;
    const TCheckResult c = CheckReservePlanRows(*TableView->GridModel());
    if (!c.Ok) {
        r.rtn = false;
        r.msg = c.Message;
        TableView->FocusRecord(c.Record, c.Column);
    }
    return r;
}

bool TFormTcdvReservePlan::actSaveNoQuestion()
{
    if (!GridModel())
        return false;
    cxGrid->PostEdit();
    const bool ok = Controller()->Save(false, true);
    UpdateActions();
    return ok;
}

void TFormTcdvReservePlan::SaveRow(const TGridRow &row)
{
    SaveReservePlanRow(Controller()->Connection(), row, FEdits.LcTypeOf);
}
