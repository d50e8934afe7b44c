// The caliper on a test host: views lent a frame pool and a calibration, input in image pixels (the client point
// is the image point here), the host's redraw calls counted.
#pragma once

#include "caliper/CaliperMain.h"

#include "calibkeeper/CCalibKeeper.h"
#include "framepool/CQvFramePool.h"
#include "qvplglib/PlugInContract.h"
#include "types/WinUser.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace caliper_test {

// An RGBA image, black, with white vertical bars [x, x + width).
inline CQvImage BarImage(int w, int h, std::vector<std::pair<int, int>> bars)
{
    CQvImage image;
    image.Create(QV_RGBA32, w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = image.GetPixel(x, y);
            bool white = false;
            for (const auto& [left, width] : bars)
                white = white || (x >= left && x < left + width);
            p[0] = p[1] = p[2] = white ? 255 : 0;
            p[3] = 255;
        }
    return image;
}

inline CQvImage GreyPicture(int w, int h)
{
    CQvImage image;
    image.Create(QV_GRAY8, w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.GetPixel(x, y)[0] = static_cast<BYTE>(x * 7 + y);
    return image;
}

// One document of the test host.
struct TestDocument
{
    explicit TestDocument(const CQvImage& image) { pool.SetImage(&image); }
    CQvFramePool pool;
    CCalibKeeper calibration;
    int redraws = 0;
};

class CaliperHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("caliper-host-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "settings");
        SetMessageBoxHook([this](const MessageBoxRequest& request) {
            boxes_.push_back(request.text);
            return IDYES;
        });
        app_.SetSettingsFolders((folder_ / "settings").string() + "/", (folder_ / "user").string() + "/");
        app_.InitPlgApp();
    }
    void TearDown() override
    {
        views_.clear();
        app_.Main().Exit();
        SetMessageBoxHook(nullptr);
        std::filesystem::remove_all(folder_);
    }

    // A caliper view lent to `doc`, run.
    CCaliperView* Open(TestDocument& doc, bool run = true)
    {
        CPlgView* view = nullptr;
        EXPECT_EQ(app_.CreatePlgView(0, 0, &view), 1);
        PlgViewHost host;
        host.framePool = &doc.pool;
        host.calibration = &doc.calibration;
        host.redrawWindow = [&doc](QWidget*) { ++doc.redraws; };
        view->AttachHost(host);
        PlgViewCalls calls;
        calls.clientToImage = [&doc](QWidget*, CPoint p) {
            const CQvImage& image = doc.pool.GetImage();
            return p.x >= 0 && p.y >= 0 && p.x < image.GetWidth() && p.y < image.GetHeight() ? p : CPoint(-1, -1);
        };
        view->AttachHostCalls(calls);
        views_.emplace_back(view);
        auto* caliperView = static_cast<CCaliperView*>(view);
        if (run) {
            EXPECT_EQ(caliperView->Run(), 1);
        }
        return caliperView;
    }

    static void Click(CCaliperView* view, int x, int y)
    {
        view->OnLButtonDown(MK_LBUTTON, CPoint(x, y));
        view->OnLButtonUp(0, CPoint(x, y));
    }
    // A line drawn with two clicks in line mode.
    void DrawLine(CCaliperView* view, CPoint a, CPoint b)
    {
        app_.Main().Current()->SetToolMode(1);
        Click(view, a.x, a.y);
        Click(view, b.x, b.y);
        app_.Main().Current()->SetToolMode(0);
    }

    static std::array<BYTE, 3> Bgr(const CQvImage& image, int x, int y)
    {
        const BYTE* p = image.GetPixel(x, y);
        return {p[0], p[1], p[2]};
    }

    std::filesystem::path folder_;
    std::vector<std::string> boxes_;
    CCaliperPlgApp app_;
    std::vector<std::unique_ptr<CPlgView>> views_;
};

}  // namespace caliper_test
