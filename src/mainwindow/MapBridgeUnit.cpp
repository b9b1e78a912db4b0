#include "mainwindow/MapBridgeUnit.h"

#include <QWebEngineView>

#include "mainwindow/MapViewControllerUnit.h"

// ---------------------------------------------------------------------------
// TMapViewBridge
// ---------------------------------------------------------------------------

TMapViewBridge::TMapViewBridge(TMapViewController *controller) : FController(controller) {}

TMapViewController *TMapViewBridge::Controller() const { return FController.data(); }

void TMapViewBridge::ExecuteJavaScript(const QString &script)
{
    if (FController)
        FController->ExecuteJavaScript(script);
}

bool TMapViewBridge::BrowserExists() const { return FController && FController->MapView(); }

bool TMapViewBridge::IsLoading() const { return FController ? FController->IsLoading() : true; }

void TMapViewBridge::SetIsLoading(bool loading)
{
    if (FController)
        FController->SetIsLoading(loading);
}

void TMapViewBridge::SetShowLoadingPanel(bool show)
{
    if (FController)
        FController->SetShowLoadingPanel(show);
}

void TMapViewBridge::Load(const QString &url)
{
    if (FController)
        FController->Load(url);
}

void TMapViewBridge::Reload()
{
    if (FController)
        FController->Reload();
}

void TMapViewBridge::ShowDevTools()
{
    if (FController)
        FController->ShowDevTools();
}

void TMapViewBridge::SetMapViewInit(std::function<void()> init)
{
    if (FController)
        FController->SetMapViewInit(std::move(init));
}

QWidget *TMapViewBridge::View() const { return FController ? FController->MapView() : nullptr; }

// ---------------------------------------------------------------------------
// TRecordingMapBridge
// ---------------------------------------------------------------------------

void TRecordingMapBridge::ExecuteJavaScript(const QString &script)
{
    if (!FBrowserExists)
        return;
    ++FRuns;
    FBytes += script.size();
    if (FRecording)
        FScripts << script;
    // The page's initialisation script ends by calling the native loadEnd.
    if (FAutoLoadEnd && FLoading && script.contains(QStringLiteral("window.loadEnd(")))
        FLoading = false;
}

void TRecordingMapBridge::Load(const QString &url)
{
    FLoads << url;
    FLoading = true;
    // The initialisation procedure runs only for the map page itself.
    if (FInit && (FMapUrl.isEmpty() || url == FMapUrl))
        FInit();
}

void TRecordingMapBridge::Reload() { Load(FMapUrl); }

QStringList TRecordingMapBridge::ScriptsContaining(const QString &text) const
{
    QStringList out;
    for (const QString &s : FScripts)
        if (s.contains(text))
            out << s;
    return out;
}

int TRecordingMapBridge::CountContaining(const QString &text) const
{
    int n = 0;
    for (const QString &s : FScripts)
        if (s.contains(text))
            ++n;
    return n;
}
