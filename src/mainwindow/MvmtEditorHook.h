#pragma once
// The movement arrow editor as the main window opens it: its page (a map view
// controller in the editor's panel with the page's native calls and console
// messages handed to the editor), the layer threads of the page, and the opener of
// the window class (by the main window's action and by class name). Header only:
// main.cpp installs it; test programs that link the main window install it the same
// way, with their own page where they need one.
#include <QColorDialog>
#include <QWebEnginePage>
#include <functional>
#include <memory>

#include "core/MainContracts.h"
#include "core/untDM.h"
#include "intersection/untTCDV_E_PhaseMvmt.h"
#include "mainwindow/LinkThreadUnit.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/NodeThreadUnit.h"

// The editor page in the program.
inline std::shared_ptr<IMapBridge> MakeMvmtEditorPage(QWidget *window, QWidget *panel)
{
    auto *editor = qobject_cast<TfrmTCDV_E_PhaseMvmt *>(window);
    auto *c = new TMapViewController(window, panel, DM ? DM->G_EDITOR_URL : QString(), {});
    c->SetWebSecurity(false);
    for (const QString &name :
         {QStringLiteral("getLimitedNodeLink"), QStringLiteral("loadEndEx"), QStringLiteral("loadEnd")})
        c->RegisterNative(name, [editor, name](const QVariantList &args) {
            if (editor)
                editor->PageMessage(name, args);
        });
    QObject::connect(c, &TMapViewController::consoleMessage, window,
                     [editor](int, const QString &message, int, const QString &) {
                         if (editor)
                             editor->ConsoleMessage(message);
                     });
    QObject::connect(c, &TMapViewController::pageLoadFailed, window, [editor] {
        if (editor)
            editor->PageLoadFailed();
    });
    if (QWebEnginePage *page = c->Page())
        QObject::connect(page, &QWebEnginePage::renderProcessTerminated, window, [editor] {
            if (editor)
                editor->PageLoadFailed();
        });
    return std::make_shared<TMapViewBridge>(c);
}

inline TMvmtEditorHost MvmtEditorHostOfProgram()
{
    TMvmtEditorHost h;
    h.MakePage = MakeMvmtEditorPage;
    h.StartLayerThreads = [](const QString &area, QWidget *w) {
        auto *editor = qobject_cast<TfrmTCDV_E_PhaseMvmt *>(w);
        auto *bridge = editor ? dynamic_cast<TMapViewBridge *>(editor->Page()) : nullptr;
        if (!bridge || !DM)
            return;
        TNodeThread::Create(area, DM->ConnectionFactory(), bridge->Controller());
        TLinkThread::Create(area, DM->ConnectionFactory(), bridge->Controller());
    };
    return h;
}

// Installs the editor's page and registers its opener; `adjust` may change the
// host (tests: their own page).
inline void InstallMvmtEditor(std::function<void(TMvmtEditorHost &)> adjust = {})
{
    TMvmtEditorHost h = MvmtEditorHostOfProgram();
    if (adjust)
        adjust(h);
    SetMvmtEditorHost(h);
    TWindowClassHooks hooks;
    // The live record of the intersection the opener names.
    hooks.Create = [](const TOpenContext &c) -> QWidget * {
        PSTT_LC_INFO live;
        if (c.Main && c.Main->LiveLcInfoSet())
            live = c.Main->LiveLcInfoSet()->GetLcInfo(c.TCDV_ID);
        auto *w = new TfrmTCDV_E_PhaseMvmt(c.Owner, live);
        if (!live && c.TCDV_ID > 0)
            w->SetTCDV_ID(c.TCDV_ID);
        return w;
    };
    hooks.Set = [](QWidget *w, const QString &setter, const QVariant &v) {
        auto *editor = qobject_cast<TfrmTCDV_E_PhaseMvmt *>(w);
        if (!editor)
            return;
        if (setter == QLatin1String("TCDV_ID"))
            editor->SetTCDV_ID(v.toInt());
        else if (setter == QLatin1String("FLat"))
            editor->SetLat(v.toString());
        else if (setter == QLatin1String("FLng"))
            editor->SetLng(v.toString());
        else if (setter == QLatin1String("PlanClass"))
            editor->SetPlanClass(v.toInt());
    };
    hooks.Placement = oplSelectedLc;
    TMainOpeners::Register(QStringLiteral("TfrmTCDV_E_PhaseMvmt"), hooks);
}
