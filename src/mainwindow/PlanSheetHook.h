#pragma once
// The operation plan sheet as the program runs it: its map page (a map view
// controller showing the intersection monitor page in the sheet's panel, the
// page's native calls handed to the sheet), the page's layer threads and the
// movement legend of the main window. Header only: main.cpp installs it.
#include <QApplication>
#include <memory>

#include "core/untDM.h"
#include "intersection/untTCDV_Conf.h"
#include "mainwindow/LinkThreadUnit.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/NodeThreadUnit.h"
#include "mainwindow/untMain.h"

inline TfrmMain *PlanSheetMainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *m = qobject_cast<TfrmMain *>(w))
            return m;
    return nullptr;
}

inline std::shared_ptr<IMapBridge> MakePlanSheetPage(QWidget *window, QWidget *panel)
{
    auto *sheet = qobject_cast<TfrmTCDV_Conf *>(window);
    auto *c = new TMapViewController(window, panel, DM ? DM->G_MONITOR_URL : QString(), {});
    for (const QString &name :
         {QStringLiteral("getLimitedNodeLink"), QStringLiteral("loadEndEx"), QStringLiteral("loadEnd")})
        c->RegisterNative(name, [sheet, name](const QVariantList &args) {
            if (sheet)
                sheet->PageMessage(name, args);
        });
    return std::make_shared<TMapViewBridge>(c);
}

inline void InstallPlanSheet()
{
    TPlanSheetHost h;
    h.MakePage = MakePlanSheetPage;
    h.StartLayerThreads = [](const QString &area, QWidget *w) {
        auto *sheet = qobject_cast<TfrmTCDV_Conf *>(w);
        auto *bridge = sheet ? dynamic_cast<TMapViewBridge *>(sheet->MapView()) : nullptr;
        if (!bridge || !DM)
            return;
        TNodeThread::Create(area, DM->ConnectionFactory(), bridge->Controller());
        TLinkThread::Create(area, DM->ConnectionFactory(), bridge->Controller());
    };
    h.GreenMvmtColor = [] {
        TfrmMain *m = PlanSheetMainWindow();
        return m ? m->Legend().GreenMvmt : QColor(0, 128, 0);
    };
    h.MvmtLabels = [] {
        TfrmMain *m = PlanSheetMainWindow();
        return m && m->Legend().ShowMvmtNo;
    };
    SetPlanSheetHost(h);
}
