// A caliper line dragged across a 5-megapixel image: each mouse move re-samples the line, finds its edges, redraws
// the canvas and copies it into the view's working image, as the view's mouse handler runs it. Beside it, in the
// same run, the bare copy and redraw of the same session without sampling or analysis: what a move costs at least.
// The drag is checked first: the line must carry markers after a move, and the host must have been asked to redraw.
#include "caliper/CaliperMain.h"

#include "calibkeeper/CCalibKeeper.h"
#include "framepool/CQvFramePool.h"
#include "qvplglib/PlugInContract.h"
#include "types/WinUser.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 2592, kHeight = 1944;  // 5 megapixels
constexpr int kLineY = kHeight / 2;

// Black with white vertical bars 20 pixels wide every 40 pixels, softened at each edge by one mid-grey column.
CQvImage BarPicture()
{
    CQvImage image;
    image.Create(QV_RGBA32, kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int phase = x % 40;
            const BYTE grey = phase < 20 ? 40 : 210;
            BYTE* p = image.GetPixel(x, y);
            p[0] = p[1] = p[2] = (phase == 0 || phase == 20) ? BYTE{125} : grey;
            p[3] = 255;
        }
    return image;
}

// The caliper on a host of one document, a complete line across the bars, selected and held by the button.
class DragRig
{
public:
    DragRig() : m_picture(BarPicture())
    {
        m_folder = std::filesystem::temp_directory_path() / ("caliper-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder / "settings");
        m_app.SetSettingsFolders((m_folder / "settings").string() + "/", (m_folder / "user").string() + "/");
        m_app.InitPlgApp();
        m_pool.SetImage(&m_picture);
        CPlgView* view = nullptr;
        m_app.CreatePlgView(0, 0, &view);
        m_view.reset(view);
        PlgViewHost host;
        host.framePool = &m_pool;
        host.calibration = &m_calibration;
        host.redrawWindow = [this](QWidget*) { ++redraws; };
        view->AttachHost(host);
        PlgViewCalls calls;
        calls.clientToImage = [](QWidget*, CPoint p) {
            return p.x >= 0 && p.y >= 0 && p.x < kWidth && p.y < kHeight ? p : CPoint(-1, -1);
        };
        view->AttachHostCalls(calls);
        Caliper()->Run();
        m_app.Main().Current()->SetToolMode(1);
        Click(100, kLineY);
        Click(kWidth - 100, kLineY);
        m_app.Main().Current()->SetToolMode(0);
        // Pressed on the line: the moves that follow drag it.
        Caliper()->OnLButtonDown(MK_LBUTTON, CPoint(kWidth / 2, kLineY));
    }
    ~DragRig()
    {
        m_view.reset();
        m_app.Main().Exit();
        std::filesystem::remove_all(m_folder);
    }

    CCaliperView* Caliper() const { return static_cast<CCaliperView*>(m_view.get()); }
    CCaliperSession& Session() { return *m_app.Main().Current(); }
    // The line's tool id and how many markers it carries.
    size_t LineMarkers()
    {
        const std::vector<int> ids = Session().Tools().ToolIds();
        return ids.empty() ? 0 : Session().Markers().Markers(ids.front()).size();
    }

    int redraws = 0;

private:
    void Click(int x, int y)
    {
        Caliper()->OnLButtonDown(MK_LBUTTON, CPoint(x, y));
        Caliper()->OnLButtonUp(0, CPoint(x, y));
    }

    CQvImage m_picture;
    std::filesystem::path m_folder;
    CCaliperPlgApp m_app;
    CQvFramePool m_pool;
    CCalibKeeper m_calibration;
    std::unique_ptr<CPlgView> m_view;
};

void BM_DragLineSampleAnalyseRedraw(benchmark::State& state)
{
    DragRig rig;
    const size_t before = rig.LineMarkers();
    const int redrawsBefore = rig.redraws;
    rig.Caliper()->OnMouseMoveOnImage(MK_LBUTTON, CPoint(kWidth / 2, kLineY + 1));
    if (before < 100 || rig.LineMarkers() < 100 || rig.redraws == redrawsBefore) {
        state.SkipWithError("the dragged line lost its markers or the view was not redrawn");
        return;
    }
    int offset = 0;
    for (auto _ : state) {
        offset = offset == 0 ? 1 : 0;  // one row down, one back: every move changes the line
        rig.Caliper()->OnMouseMoveOnImage(MK_LBUTTON, CPoint(kWidth / 2, kLineY + offset));
    }
    state.counters["markers"] = static_cast<double>(rig.LineMarkers());
}
BENCHMARK(BM_DragLineSampleAnalyseRedraw)->Unit(benchmark::kMillisecond);

void BM_BareCopyAndRedraw(benchmark::State& state)
{
    DragRig rig;
    CCaliperSession& session = rig.Session();
    for (auto _ : state) {
        session.Render();
        session.Push();
    }
    state.counters["markers"] = static_cast<double>(rig.LineMarkers());
}
BENCHMARK(BM_BareCopyAndRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
