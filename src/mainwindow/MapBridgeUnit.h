#pragma once
// The two page bridges of the main window: the map view controller's (the
// program) and a recording one that runs no browser (tests, benchmarks, and a
// main window created without a map).
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/MainContracts.h"

class TMapViewController;

// The map view controller as the main window's bridge. The controller stays owned
// by its creator.
class TMapViewBridge : public IMapBridge
{
public:
    explicit TMapViewBridge(TMapViewController *controller);
    TMapViewController *Controller() const;

    void ExecuteJavaScript(const QString &script) override;
    bool BrowserExists() const override;
    bool IsLoading() const override;
    void SetIsLoading(bool loading) override;
    void SetShowLoadingPanel(bool show) override;
    void Load(const QString &url) override;
    void Reload() override;
    void ShowDevTools() override;
    void SetMapViewInit(std::function<void()> init) override;
    QWidget *View() const override;

private:
    QPointer<TMapViewController> FController;
};

// A page that only records: every script, every load and the loading state.
// Load runs the initialisation procedure at once; with AutoLoadEnd (default) a
// script that calls window.loadEnd() ends the loading state, as the page would.
class TRecordingMapBridge : public IMapBridge
{
public:
    void ExecuteJavaScript(const QString &script) override;
    bool BrowserExists() const override { return FBrowserExists; }
    bool IsLoading() const override { return FLoading; }
    void SetIsLoading(bool loading) override { FLoading = loading; }
    void SetShowLoadingPanel(bool show) override { FLoadingPanel = show; }
    void Load(const QString &url) override;
    void Reload() override;
    void ShowDevTools() override { ++FDevToolsOpened; }
    void SetMapViewInit(std::function<void()> init) override { FInit = std::move(init); }

    void SetBrowserExists(bool exists) { FBrowserExists = exists; }
    void SetAutoLoadEnd(bool on) { FAutoLoadEnd = on; }
    void SetMapUrl(const QString &url) { FMapUrl = url; }

    const QStringList &Scripts() const { return FScripts; }
    const QStringList &Loads() const { return FLoads; }
    // Scripts that contain `text`.
    QStringList ScriptsContaining(const QString &text) const;
    int CountContaining(const QString &text) const;
    void ClearScripts() { FScripts.clear(); }
    bool LoadingPanelShown() const { return FLoadingPanel; }
    int DevToolsOpened() const { return FDevToolsOpened; }
    // Recording can be switched off (benchmarks measure the script building alone).
    void SetRecording(bool on) { FRecording = on; }
    quint64 ScriptRuns() const { return FRuns; }
    qint64 ScriptBytes() const { return FBytes; }

private:
    QStringList FScripts;
    QStringList FLoads;
    std::function<void()> FInit;
    QString FMapUrl;
    bool FBrowserExists = true;
    bool FLoading = false;
    bool FLoadingPanel = false;
    bool FAutoLoadEnd = true;
    bool FRecording = true;
    int FDevToolsOpened = 0;
    quint64 FRuns = 0;
    qint64 FBytes = 0;
};
