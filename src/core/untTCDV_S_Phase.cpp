#include "core/untTCDV_S_Phase.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSqlQuery>

#include "core/LookupUnit.h"
#include "core/untDM.h"

int MvmtPictureIndex(int n)
{
    if ((n >= 1 && n <= 8) || n == 17 || n == 18)
        return n;
    return ((n % 9) + 9) % 9 + 1;
}

TfrmTCDV_S_Phase::TfrmTCDV_S_Phase(QWidget *owner) : TfrmPickerBase(owner)
{
    resize(520, 420);
    lblTCDV = new QLabel(pnlTop);
    lblTCDV->setObjectName("lblTCDV");
    lblTCDVName = new QLabel(pnlTop);
    lblTCDVName->setObjectName("lblTCDVName");
    cbxPlanClss = new QComboBox(pnlTop);
    cbxPlanClss->setObjectName("cbxPlanClss");
    pnlTopLayout->addWidget(lblTCDV);
    pnlTopLayout->addWidget(lblTCDVName, 1);
    pnlTopLayout->addWidget(cbxPlanClss);
    btnExport->setVisible(false);

    SetColumns({
        TGridColumn("INT_LCNO").Hidden(),
        TGridColumn("INT_PLANCLSS").Hidden(),
        TGridColumn("INT_PHASENO", QString::fromUtf8("현시")).Key("gtvPhaseINT_PHASENO.Caption").W(60),
        TGridColumn("INT_RING", QString::fromUtf8("링")).Key("gtvPhaseINT_RING.Caption").W(60),
        TGridColumn("INT_FLOWNUMBER", QString::fromUtf8("이동류번호")).Key("gtvPhaseINT_FLOWNUMBER.Caption").W(80),
        TGridColumn("MOVE_FLOW", QString::fromUtf8("이동류")).Key("gtvPhaseMOVE_FLOW.Caption").W(70)
            .Ed("cxEditRepositoryImageComboBoxMvmt"),
        TGridColumn("INT_ACTCONTROL", QString::fromUtf8("감응여부")).Key("gtvPhaseINT_ACTCONTROL.Caption").W(70),
        TGridColumn("INT_DUALFLAG", QString::fromUtf8("듀얼링여부")).Key("gtvPhaseINT_DUALFLAG.Caption").W(70),
    });
    connect(cbxPlanClss, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { SetPLAN_CLSS(index + 1); });
    Grid()->Proxy()->SetRowFilter([this](int rec) {
        return FINT_RING <= 0 || Model()->Value(rec, Model()->ColumnIndex("INT_RING")).toInt() == FINT_RING;
    });
    InitLanguage();
    UpdateSelect();
}

void TfrmTCDV_S_Phase::SetTCDV_ID(int value)
{
    FTCDV_ID = value;
    lblTCDVName->setText(GetLcName(value));
}

void TfrmTCDV_S_Phase::SetINT_RING(int value)
{
    FINT_RING = value;
    Grid()->Proxy()->invalidate();
    UpdateSelect();
}

void TfrmTCDV_S_Phase::SetPLAN_CLSS(int value)
{
    FPLAN_CLSS = value;
    Model()->BeginUpdate();
    Model()->Clear();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral(
            "SELECT INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, "
            "CASE INT_ACTCONTROL WHEN 0 THEN '-' ELSE '\u25CB' END AS INT_ACTCONTROL, "
            "CASE INT_DUALFLAG WHEN 0 THEN '-' ELSE '\u25CB' END AS INT_DUALFLAG "
            "FROM SCS_M_INTPHASE WHERE INT_LCNO = :INT_LCNO AND INT_PLANCLSS = :INT_PLANCLSS "
            "ORDER BY INT_PHASENO, INT_RING"));
        q.bindValue(":INT_LCNO", FTCDV_ID);
        q.bindValue(":INT_PLANCLSS", FPLAN_CLSS);
        if (DM->QueryOpen(q, this)) {
            do {
                const int flow = q.value(4).toInt();
                Model()->AddLoaded({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(),
                                    q.value(3).toInt(), flow, MvmtPictureIndex(flow),
                                    q.value(5).toString(), q.value(6).toString()},
                                   QVariant());
            } while (q.next());
        }
    }
    Model()->EndUpdate();
    if (Grid()->DisplayCount() > 0)
        Grid()->FocusDisplayRow(0);
    UpdateSelect();
}

void TfrmTCDV_S_Phase::UpdateSelect()
{
    actSelect->setEnabled(Grid()->DisplayCount() > 0);
}

void TfrmTCDV_S_Phase::FillPlanClasses()
{
    cbxPlanClss->clear();
    const TLcTypeEx type = GetLcTypeEx(FTCDV_ID);
    if (type == lct2004) {
        cbxPlanClss->addItems({Tx("IDS_GMAP"), Tx("IDS_EMAP")});
    } else if (type == lct2010_3L || type == lct2010_4L) {
        cbxPlanClss->addItem(Tx("IDS_GMAP"));
        for (int i = 1; i <= 5; ++i)
            cbxPlanClss->addItem(Tx("IDS_EMAPn").arg(i));
        cbxPlanClss->addItem(Tx("IDS_PED"));
    }
    cbxPlanClss->setCurrentIndex(0);
}

void TfrmTCDV_S_Phase::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        FillPlanClasses();
        SetPLAN_CLSS(1);
        Grid()->setFocus();
    }
}

void TfrmTCDV_S_Phase::Retranslate()
{
    TfrmPickerBase::Retranslate();
    if (!Model() || Model()->ColumnCount() == 0)
        return;
    Model()->ColumnRef(Model()->ColumnIndex("INT_RING")).Items = {{1, Tx("IDS_ARing")}, {2, Tx("IDS_BRing")}};
    if (FShown) {
        const int i = cbxPlanClss->currentIndex();
        FillPlanClasses();
        cbxPlanClss->setCurrentIndex(i);
    }
    Grid()->viewport()->update();
}
