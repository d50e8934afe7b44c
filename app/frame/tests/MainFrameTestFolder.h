// A test folder for tests that build the main frame: besides the settings folders it gives the frame a runtime
// folder of its own (the single-instance gate and the shared mappings live there, away from the real session's) and
// builds the frame on the test's profile and a program folder inside it. Pictures open as documents of the registry
// the test attaches to the frame.
#pragma once

#include "core/tests/CoreTestFolder.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"

#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <stdlib.h>

class MainFrameTestFolder : public CoreTestFolder
{
protected:
    void SetUp() override
    {
        CoreTestFolder::SetUp();
        std::filesystem::create_directories(Path("runtime"));
        std::filesystem::permissions(Path("runtime"), std::filesystem::perms::owner_all);
        const char* runtime = getenv("XDG_RUNTIME_DIR");
        m_savedRuntime = runtime ? runtime : "";
        setenv("XDG_RUNTIME_DIR", Path("runtime").c_str(), 1);
    }

    // The frame is gone by now: the derived fixture drops it before calling this.
    void TearDown() override
    {
        if (m_savedRuntime.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", m_savedRuntime.c_str(), 1);
        CoreTestFolder::TearDown();
    }

    // Not shown yet, so that docks can be installed before the first layout.
    void MakeMainFrame()
    {
        MainFrameOptions options;
        options.profile = &profile;
        options.programFolder = Path("program");
        frame = std::make_unique<CMainFrame>(options);
        frame->resize(1000, 800);
    }

    // A document of the registry on that picture, with its view laid out in its child frame.
    void OpenPicture(const CQvImage& image)
    {
        doc = registry->NewDocument("picture");
        doc->SetImage("", &image);
        QApplication::processEvents();
        view = doc->GetImageView();
        ASSERT_NE(view, nullptr);
    }

    CAppProfile profile{"QRX", "Vistrel"};
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<DocumentRegistry> registry;
    CVistrelDoc* doc = nullptr;
    CVistrelView* view = nullptr;

private:
    std::string m_savedRuntime;
};
