#pragma once
// A map page for programs without a browser: always ready, it takes every call
// and does nothing. Tests and benchmarks derive from it and override what they
// watch (usually ExecuteJavaScript).
#include <QString>
#include <QStringList>

#include <functional>

#include "core/MainContracts.h"

class TQuietMapPage : public IMapBridge
{
public:
    void ExecuteJavaScript(const QString &) override {}
    bool BrowserExists() const override { return true; }
    bool IsLoading() const override { return false; }
    void SetIsLoading(bool) override {}
    void SetShowLoadingPanel(bool) override {}
    void Load(const QString &) override {}
    void Reload() override {}
    void SetMapViewInit(std::function<void()>) override {}
};

// A page that records its scripts and loads like the real one: a load runs the
// set-up procedure, and the set-up's window.loadEnd() ends the loading, unless the
// page is told to hang.
class TRecordingLoadPage : public IMapBridge
{
public:
    QStringList Scripts;
    bool Loading = false;
    bool Hang = false;
    std::function<void()> Init;
    void ExecuteJavaScript(const QString &s) override
    {
        Scripts << s;
        if (!Hang && s.contains(QStringLiteral("window.loadEnd();")))
            Loading = false;
    }
    bool BrowserExists() const override { return true; }
    bool IsLoading() const override { return Loading; }
    void SetIsLoading(bool l) override { Loading = l; }
    void SetShowLoadingPanel(bool) override {}
    void Load(const QString &) override
    {
        Loading = true;
        if (Init)
            Init();
    }
    void Reload() override { Load(QString()); }
    void SetMapViewInit(std::function<void()> init) override { Init = std::move(init); }
    QString All() const { return Scripts.join(QLatin1Char('\n')); }
};
