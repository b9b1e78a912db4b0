#pragma once
// The intersection monitor as the main window opens it: what the monitor takes of the
// main window (live set, legend, page settings, monitor list, database error texts,
// layer threads) and the factory the main window calls (TMainServices). Header only:
// main.cpp installs it; test programs that link the main window and the control
// windows install it the same way, with their own page where they need one.
#include <QWebEnginePage>
#include <functional>
#include <memory>

#include "control/untTCDV_M.h"
#include "core/untDM.h"
#include "mainwindow/LinkThreadUnit.h"
#include "mainwindow/MainServices.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/NodeThreadUnit.h"
#include "mainwindow/untMain.h"

// The monitor page in the program: a map view controller in the panel, its page
// messages handed to the monitor, and a failed load or an ended renderer clearing
// the loading flag.
inline std::shared_ptr<IMapBridge> MakeLcMonitorPage(QWidget *window, QWidget *panel)
{
    auto *monitor = qobject_cast<TfrmTCDV_M *>(window);
    // The monitor page is the one page whose loading runs the set-up.
    auto *c = new TMapViewController(window, panel, DM ? DM->G_MONITOR_URL : QString(), {});
    c->SetWebSecurity(false);
    for (const QString &name : {QStringLiteral("getLimitedNodeLink"), QStringLiteral("loadEndEx"),
                                QStringLiteral("loadEnd")})
        c->RegisterNative(name, [monitor, name](const QVariantList &args) {
            if (monitor)
                monitor->PageMessage(name, args);
        });
    QObject::connect(c, &TMapViewController::pageLoadFailed, window, [monitor] {
        if (monitor)
            monitor->PageLoadFailed();
    });
    if (QWebEnginePage *page = c->Page())
        QObject::connect(page, &QWebEnginePage::renderProcessTerminated, window, [monitor] {
            if (monitor)
                monitor->PageLoadFailed();
        });
    return std::make_shared<TMapViewBridge>(c);
}

// What the monitor takes of the main window.
inline TLcMonitorHost LcMonitorHostOf(TfrmMain *main)
{
    TLcMonitorHost h;
    h.LcInfoSet = &main->LcInfoSet();
    const TMapLegend legend = main->Legend();
    h.Legend.Status = legend.Status;
    h.Legend.GreenMvmt = legend.GreenMvmt;
    h.Legend.YellowMvmt = legend.YellowMvmt;
    for (int k = 0; k < 5; ++k) {
        h.Legend.ShapeIndex[k] = legend.ShapeIndex[k];
        h.Legend.Size[k] = legend.Size[k];
    }
    h.Legend.MvmtLabel = legend.ShowMvmtNo;
    if (DM) {
        h.PageConfig.MaxZoom = DM->G_MAP_MAX_ZOOM;
        h.PageConfig.TileUrl = DM->G_TILE_URL;
        h.PageConfig.MapName = DM->G_MAP_NAME;
        h.PageConfig.AppServer = DM->G_APP_SERVER;
        h.PageConfig.AppPort = DM->G_APP_CTRL_PORT;
        h.PageConfig.TfdtVisible = DM->G_TFDT_VISIBLE;
    }
    h.MakePage = MakeLcMonitorPage;
    TMonitorHub *hub = main->Hub();
    h.FindMonitor = [hub](int lcNo) { return hub->LcMonitor(lcNo); };
    h.Reregister = [hub](int oldNo, int newNo, QWidget *w) {
        hub->RemoveLcMonitor(oldNo);
        hub->AddLcMonitor(newNo, w);
    };
    h.DbErrorText = [main](int code) { return main->GetDBErrorCode(code); };
    h.StartLayerThreads = [](const QString &area, QWidget *w) {
        auto *m = qobject_cast<TfrmTCDV_M *>(w);
        auto *bridge = m ? dynamic_cast<TMapViewBridge *>(m->Page()) : nullptr;
        if (!bridge || !DM)
            return;
        TNodeThread::Create(area, DM->ConnectionFactory(), bridge->Controller());
        TLinkThread::Create(area, DM->ConnectionFactory(), bridge->Controller());
    };
    return h;
}

// Installs the monitor factory; `adjust` may change the host (tests: their own page).
inline void InstallLcMonitorFactory(std::function<void(TLcMonitorHost &)> adjust = {})
{
    TMainServices::Current().LcMonitorFactory = [adjust](TfrmMain *main, const PSTT_LC_INFO &info, const QColor &green,
                                                         const QColor &yellow) -> QWidget * {
        TLcMonitorHost h = LcMonitorHostOf(main);
        h.Legend.GreenMvmt = green;
        h.Legend.YellowMvmt = yellow;
        if (adjust)
            adjust(h);
        return NewLcMonitor(main, info, h);
    };
}
