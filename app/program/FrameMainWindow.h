// The program's main frame as start-up and shut-down drive it. UI thread.
#pragma once

#include "core/AppSeams.h"
#include "frame/CMainFrame.h"
#include "panels/CThumbnailDockWnd.h"

#include <QPointer>

#include <functional>
#include <memory>

class FrameMainWindow : public IMainWindow
{
public:
    // The frame keeps its layouts in `options.profile`; `connect` plugs the program's parts into the frame's hooks
    // once it is built.
    FrameMainWindow(const MainFrameOptions& options, std::function<void(CMainFrame&)> connect);
    ~FrameMainWindow() override;

    CMainFrame& Frame() { return *m_frame; }
    // The thumbnail dock in its pane; null before LoadFrame.
    CThumbnailDockWnd* ThumbnailDock() const { return m_thumbnails; }

    QWidget* Widget() override;
    bool LoadFrame() override;
    void AttachApplication(CVistrelApp* app) override;
    void SetReportSettingsPath(const std::string& path) override;
    void BuildCommandBars() override;
    void RestorePlacement() override;
    void RefillCalibrationBoxes() override;
    void RestoreAndRaise() override;
    void ExecuteCommand(UINT id) override;
    CVistrelDoc* GetActiveDocument() override;
    CReportManager* GetReportManager() override;

private:
    MainFrameOptions m_options;
    std::function<void(CMainFrame&)> m_connect;
    std::unique_ptr<CMainFrame> m_frame;
    std::string m_reportSettingsPath;
    QPointer<CThumbnailDockWnd> m_thumbnails;  // owned by its pane
};
