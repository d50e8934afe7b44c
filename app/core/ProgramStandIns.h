// What the program runs with where a part of it is not built yet: no acquisition drivers, no plug-ins, no foot
// switch. Each answers as its part does when it has nothing to offer, so start-up and shut-down run
// their whole course. UI thread.
#pragma once

#include "core/AppSeams.h"

class NoAcquireHost : public IAcquireHost
{
public:
    void SetInstClient(void*) override {}
    void SetHwndClient(QWidget*) override {}
    void InstallServers(const char*) override {}
    void SetExtTrigger(void (*)()) override {}
    void GetCurrentMode(int& mode) override { mode = 0; }
    void StopOverlay() override {}
    void ReleaseServers() override {}
    void SetDisplayWindowPos(const CRect*) override {}
};

class NoPlugIns : public IPlugInHost
{
public:
    void BindExtensionModules() override {}
    void InstallPlugIns() override {}
};

class NoMessageWindow : public IMessageWindow
{
public:
    void* CreateMessageWindow() override { return nullptr; }
};

class NoFootSwitch : public IFootSwitch
{
public:
    bool Open() override { return false; }
    void AddTarget(const FootSwitchGuid&, void*, UINT) override {}
    void SelectTarget(const FootSwitchGuid&) override {}
};
