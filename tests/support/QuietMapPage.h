#pragma once
// A map page for programs without a browser: always ready, it takes every call
// and does nothing. Tests and benchmarks derive from it and override what they
// watch (usually ExecuteJavaScript).
#include <QString>

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
