#include "mainwindow/MainLegendUnit.h"

#include <QAction>
#include <QCheckBox>

#include "mainwindow/MainServices.h"
#include "mainwindow/untLegend.h"
#include "mainwindow/untMain.h"

TMainLegendHandlers::TMainLegendHandlers(TfrmMain *main, TLegendPanel *panel) : QObject(main), FMain(main), FPanel(panel)
{
    connect(FPanel, &TLegendPanel::saColorMouseDown, this, &TMainLegendHandlers::SAColorSelectMouseDown);
    connect(FPanel, &TLegendPanel::stateColorMouseDown, this, &TMainLegendHandlers::LCStatusColorSelectMouseMouseDown);
    connect(FPanel, &TLegendPanel::greenMvmtMouseDown, this, &TMainLegendHandlers::GreenMvmtColorSelectMouseDown);
    connect(FPanel, &TLegendPanel::shapeChanged, this, &TMainLegendHandlers::LCShapeChange);
    connect(FPanel, &TLegendPanel::sizeChanged, this, &TMainLegendHandlers::LCSizeChange);
    connect(FPanel, &TLegendPanel::opacityChanged, this, &TMainLegendHandlers::SAOpacityChange);
    connect(FPanel, &TLegendPanel::saSizeTimer, this, &TMainLegendHandlers::ttChangeSATimer);
    connect(FPanel, &TLegendPanel::mvmtLabelClicked, this, &TMainLegendHandlers::MvmtLabelDispClick);
    connect(FPanel, &TLegendPanel::counterClicked, this, &TMainLegendHandlers::CounterClick);
}

void TMainLegendHandlers::SAColorSelectMouseDown(TColorShape *shape)
{
    const QColor c = ChooseColor(FMain, shape->Color());
    if (!c.isValid() || !FMain->PageReady())
        return; // cancelled, or the page cannot take it: the choice is dropped
    shape->SetColor(c);
    const TMapLegend l = FMain->Legend();
    if (shape == FPanel->shpSA)
        FMain->MapBridge()->ExecuteJavaScript(LegendScripts::SAColorScript(FMain->SaBounds().keys(), l.SAColor, l.SASelectedColor));
    else
        FMain->MapBridge()->ExecuteJavaScript(LegendScripts::SelectedSAColorScript(l.SASelectedColor));
}

void TMainLegendHandlers::LCStatusColorSelectMouseMouseDown(TColorShape *shape)
{
    const QColor c = ChooseColor(FMain, shape->Color());
    if (!c.isValid())
        return;
    shape->SetColor(c);
    if (!FMain->PageReady())
        return;
    const QString s = LegendScripts::StateColorScript(shape->Tag(), c, FMain->MarkerLists().LC, FMain->LcInfoSet());
    if (!s.isEmpty())
        FMain->MapBridge()->ExecuteJavaScript(s);
}

void TMainLegendHandlers::GreenMvmtColorSelectMouseDown(TColorShape *shape)
{
    const QColor c = ChooseColor(FMain, shape->Color());
    if (!c.isValid())
        return;
    shape->SetColor(c);
    FMain->RunScript(LegendScripts::GreenMvmtScript(c));
}

void TMainLegendHandlers::LCShapeChange(int tag)
{
    if (!FMain->PageReady() || tag < 0 || tag > 4)
        return;
    FMain->RunScript(LegendScripts::ShapeScript(FMain->MarkerLists().ByClass[tag], FMain->Legend().Corners(tag)));
}

void TMainLegendHandlers::LCSizeChange(int tag)
{
    if (!FMain->PageReady() || tag < 0 || tag > 4)
        return;
    FMain->RunScript(LegendScripts::SizeScript(FMain->MarkerLists().ByClass[tag], FMain->Legend().Radius(tag)));
}

void TMainLegendHandlers::SAOpacityChange()
{
    FMain->RunScript(LegendScripts::OpacityScript(FMain->SaBounds().keys(), FMain->Legend().Opacity()));
}

void TMainLegendHandlers::ttChangeSATimer() { FMain->DrawSA(); }

void TMainLegendHandlers::MvmtLabelDispClick() { FMain->RunScript(LegendScripts::MvmtLabelScript(FPanel->chxMvmtLabelDisp->isChecked())); }

void TMainLegendHandlers::CounterClick(const TStatusCounterDef &def)
{
    if (TMainServices::Current().StateListOpener)
        TMainServices::Current().StateListOpener(FMain, CounterFilter(def));
    else if (QAction *a = FMain->Action(QStringLiteral("actOpenTCDV_M_State")))
        a->trigger();
}
