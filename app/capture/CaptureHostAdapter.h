// The program's acquisition host: CaptureHost's container behind the program's seam. Drivers come from the
// program's own module folder (they are binaries shipped with the program, not user files).
// UI thread, but for the grab callback, which the container runs on its live thread.
#pragma once

#include "core/AppSeams.h"

#include "capturehost/CAcquireContainer.h"

class CaptureHostAdapter : public IAcquireHost
{
public:
    CAcquireContainer& Container() { return m_container; }

    void SetInstClient(void* instance) override { m_container.SetInstClient(instance); }
    void SetHwndClient(QWidget* mainWindow) override { m_container.SetHwndClient(mainWindow); }
    void InstallServers(const char* folder) override { m_container.InstallServers(folder); }
    void SetExtTrigger(void (*trigger)()) override { m_container.SetExtTrigger(trigger); }
    void GetCurrentMode(int& mode) override { m_container.GetCurrentMode(mode); }
    void StopOverlay() override { m_container.StopOverlay(); }
    void ReleaseServers() override { m_container.ReleaseServers(); }
    void SetDisplayWindowPos(const CRect*) override {}

    int SelectServer(int index) override { return m_container.SelectServer(index); }
    int IsSelected() override { return m_container.IsSelected(); }
    int Property(int which) override { return m_container.Property(which); }
    int Overlay() override { return m_container.Overlay(); }
    int IsOverlaySupport() override { return m_container.IsOverlaySupport(); }
    int IsOverlayWndActive() override { return m_container.IsOverlayWndActive(); }
    int FullScreenMode() override { return m_container.FullScreenMode(); }
    int RestoreScrRes() override { return m_container.RestoreScrRes(); }
    int ChangeImageSize() override { return m_container.ChangeImageSize(); }
    int GetWidth(int& width) override { return m_container.GetWidth(width); }
    int GetHeight(int& height) override { return m_container.GetHeight(height); }
    int GetHWType(int& type) override { return m_container.GetHWType(type); }
    int GetCurrentServerName(std::string& name) override { return m_container.GetCurrentServerName(name); }
    int GetCaptureSizeNDepth(int& w, int& h, int& bits) override { return m_container.GetCaptureSizeNDepth(w, h, bits); }
    int AcquireSnapshot(int count, BITMAPINFOHEADER** buffers) override
    {
        return m_container.AcquireSnapshot(count, buffers);
    }
    int GetCaptureRatio(float& ratio) override { return m_container.GetCaptureRatio(ratio); }
    void SetFuncGrabCallBack(std::function<int(const BITMAPINFOHEADER*)> callback) override
    {
        m_container.SetFuncGrabCallBack(std::move(callback));
    }
    void SetNotifyFunction(void (*notify)()) override { m_container.SetNotifyFunction(notify); }
    void SetFunc4TwainBuffer(std::function<void(const BITMAPINFOHEADER*, size_t)> callback) override
    {
        m_container.SetFunc4TwainBuffer(std::move(callback));
    }
    void SetStreamEnded(std::function<void(const std::string&)> callback) override
    {
        m_container.SetStreamEnded(std::move(callback));
    }

private:
    CAcquireContainer m_container;
};
