// Torsion's entries on a 5-megapixel grey and colour frame, run as the host runs them (a view on a frame pool, its
// dialog answered at once) or through the ResizeImage service, against the raw OpenCV call on the same pixels.
// A view does more than the raw call by design: it keeps the undo copy of the whole image and builds the result
// as a new image that replaces the document's, so the figures show what that costs.
#include "framepool/CQvFramePool.h"
#include "module/CModule.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageViews.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/PlugInContract.h"
#include "ui/ModalDialog.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr double kAngle = 30.0;

CModule& Module()
{
    static CModule module;
    if (!module.IsLoaded() && !module.Load(TORSION_PATH))
        std::fprintf(stderr, "%s\n", module.GetLastError().c_str());
    return module;
}

CPlgApplication* Application()
{
    static CPlgApplication* application = [] {
        const auto connect = Module().GetProc<PFN_PlgConnect>(kPlgConnectName);
        return connect ? connect() : nullptr;
    }();
    return application;
}

CQvImage Frame(int channels)
{
    CQvImage image;
    image.Create(channels == 1 ? QV_GRAY8 : QV_RGB24, kWidth, kHeight, 0);
    cv::Mat view = QvImageToMat(image);
    cv::randu(view, cv::Scalar::all(0), cv::Scalar::all(256));
    return image;
}

enum class Op { Resize, ResizeShrink, Rotate, FlipVertical, FlipHorizontal, FlipBoth };

int EntryOf(Op op)
{
    switch (op) {
    case Op::Resize:
    case Op::ResizeShrink: return 0;
    case Op::Rotate: return 1;
    case Op::FlipVertical: return 2;
    case Op::FlipHorizontal: return 3;
    case Op::FlipBoth: return 4;
    }
    return -1;
}

cv::Size RotatedCanvas()
{
    const double r = kAngle * CV_PI / 180.0;
    return cv::Size(static_cast<int>(std::ceil(kWidth * std::cos(r) + kHeight * std::sin(r) - 1e-6)),
                    static_cast<int>(std::ceil(kWidth * std::sin(r) + kHeight * std::cos(r) - 1e-6)));
}

void RunRaw(Op op, const cv::Mat& src, cv::Mat& dst)
{
    switch (op) {
    case Op::Resize: cv::resize(src, dst, dst.size(), 0, 0, cv::INTER_CUBIC); break;
    case Op::ResizeShrink: cv::resize(src, dst, dst.size(), 0, 0, cv::INTER_AREA); break;
    case Op::Rotate: {
        cv::Mat m = cv::getRotationMatrix2D(cv::Point2f(kWidth / 2.0f - 0.5f, kHeight / 2.0f - 0.5f), kAngle, 1.0);
        m.at<double>(0, 2) += (dst.cols - kWidth) / 2.0;
        m.at<double>(1, 2) += (dst.rows - kHeight) / 2.0;
        cv::warpAffine(src, dst, m, dst.size(), cv::INTER_CUBIC, cv::BORDER_CONSTANT);
        break;
    }
    case Op::FlipVertical: cv::flip(src, dst, 0); break;
    case Op::FlipHorizontal: cv::flip(src, dst, 1); break;
    case Op::FlipBoth: cv::flip(src, dst, -1); break;
    }
}

cv::Size TargetSize(Op op)
{
    if (op == Op::Resize || op == Op::ResizeShrink)
        return cv::Size(kWidth * 2 / 3, kHeight * 2 / 3);
    if (op == Op::Rotate)
        return RotatedCanvas();
    return cv::Size(kWidth, kHeight);
}

// The resize through the service the capture path calls.
void BM_ResizeImage(benchmark::State& state)
{
    const auto resize = Module().GetProc<PFN_ResizeImage>(kResizeImageName);
    if (!resize) {
        state.SkipWithError("no ResizeImage");
        return;
    }
    CQvImage src = Frame(static_cast<int>(state.range(0)));
    const cv::Size size = TargetSize(Op::Resize);
    CQvImage dst;
    dst.Create(src.GetColorModel(), size.width, size.height, 0);
    // Same pixels as the raw call: the service is cubic and so is the baseline.
    cv::Mat raw(size, CV_8UC(static_cast<int>(state.range(0))));
    RunRaw(Op::Resize, QvImageToMat(src), raw);
    resize(&src, &dst);
    if (cv::norm(QvImageToMat(dst), raw, cv::NORM_INF) != 0)
        state.SkipWithError("differs from the raw call");
    for (auto _ : state) {
        resize(&src, &dst);
        benchmark::DoNotOptimize(dst.GetBuffer());
    }
}

// An entry as the host runs it: view, undo copy, dialog answered, result in place.
void BM_View(benchmark::State& state, Op op)
{
    CPlgApplication* application = Application();
    if (!application) {
        state.SkipWithError("Torsion did not load");
        return;
    }
    const CQvImage start = Frame(static_cast<int>(state.range(0)));
    SetModalDialogHook([](QDialog& dialog) {
        if (auto* angle = dialog.findChild<QLineEdit*>("1022"))
            angle->setText(QString::number(kAngle));
        if (auto* width = dialog.findChild<QLineEdit*>("1019"))
            width->setText(QString::number(kWidth * 2 / 3));
        dialog.findChild<QPushButton*>("1")->click();
    });
    CQvFramePool pool;
    CPlgView* raw = nullptr;
    application->CreatePlgView(EntryOf(op), 0, &raw);
    std::unique_ptr<CPlgView> view(raw);
    view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, {}, {}});
    const bool changesSize = op != Op::FlipVertical && op != Op::FlipHorizontal && op != Op::FlipBoth;
    pool.GetImage() = start;
    for (auto _ : state) {
        if (changesSize) {
            state.PauseTiming();
            pool.GetImage() = start;
            state.ResumeTiming();
        }
        if (view->Run() != 1)
            state.SkipWithError("the entry did nothing");
        benchmark::DoNotOptimize(pool.GetImage().GetBuffer());
    }
    SetModalDialogHook({});
}

void BM_Raw(benchmark::State& state, Op op)
{
    CQvImage src = Frame(static_cast<int>(state.range(0)));
    const cv::Mat source = QvImageToMat(src);
    cv::Mat target(TargetSize(op), source.type());
    for (auto _ : state) {
        RunRaw(op, source, target);
        benchmark::DoNotOptimize(target.data);
    }
}

}  // namespace

BENCHMARK(BM_ResizeImage)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Raw, resize_cubic, Op::Resize)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

#define VIEW_BENCH(name, op)                                                                                          \
    BENCHMARK_CAPTURE(BM_View, name, op)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();              \
    BENCHMARK_CAPTURE(BM_Raw, name, op)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

VIEW_BENCH(resize_shrink_supersample, Op::ResizeShrink)
VIEW_BENCH(rotate_30, Op::Rotate)
VIEW_BENCH(flip_vertical, Op::FlipVertical)
VIEW_BENCH(flip_horizontal, Op::FlipHorizontal)
VIEW_BENCH(flip_both, Op::FlipBoth)

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
