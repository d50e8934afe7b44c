// Plug-in commands on a 20-megapixel grey and colour frame as the host runs them (the module's view on a document's
// frame pool, which keeps the undo point and writes large undo copies into a temporary folder), beside the
// plug-in's operation alone on the same pixels and OpenCV's closest call.
//
// "command": what the user waits for on the UI thread. Between runs, untimed, the image goes back to the start
// where the command changed its size or its levels, and the undo files still being written are waited for, so the
// writer of an earlier run does not share the timed part's cores. The history fills up, so from the eleventh run on
// a command also forgets its oldest undo point.
// "operation": the plug-in's own function on the image: in place for the enhance entries, into a new image for the
// transforms. "operation_into" (enhance entries): the same function writing into a second image, what a command
// that keeps the image it started from cannot go below. Invert keeps none: it works in place, and its undo
// complements the image again.
// "opencv": cv::bitwise_not and cv::equalizeHist in place (colour equalisation: three histograms and one table,
// the same work in raw calls); cv::medianBlur, cv::resize and cv::flip into a new matrix each run, as the command
// makes a new image.
//
// Run once as it is (glibc's default allocator: a colour frame of this size gets fresh pages from mmap every time),
// and once with freed memory kept for reuse:
//   MALLOC_MMAP_MAX_=0 MALLOC_TRIM_THRESHOLD_=4294967296 MALLOC_TOP_PAD_=268435456 bench/plugin_command_bench
#include "framepool/CQvFramePool.h"
#include "ipl/IplLib.h"
#include "lumenor/LumenorOps.h"
#include "module/CModule.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageViews.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/PlugInContract.h"
#include "torsion/TransformOps.h"
#include "ui/ModalDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 5472;
constexpr int kHeight = 3648;
constexpr int kResizedWidth = kWidth * 2 / 3;
constexpr int kResizedHeight = kHeight * 2 / 3;

enum class Command { Invert, Equalize, RemoveNoise, Resize, FlipVertical };

struct Entry
{
    const char* module;
    int index;
};

Entry EntryOf(Command command)
{
    switch (command) {
    case Command::Invert: return {LUMENOR_PATH, 0};
    case Command::Equalize: return {LUMENOR_PATH, 3};
    case Command::RemoveNoise: return {LUMENOR_PATH, 4};
    case Command::Resize: return {TORSION_PATH, 0};
    case Command::FlipVertical: return {TORSION_PATH, 2};
    }
    return {"", -1};
}

// The module's application, loaded once for the whole run.
CPlgApplication* Application(const char* path)
{
    static CModule lumenor;
    static CModule torsion;
    CModule& module = std::strcmp(path, LUMENOR_PATH) == 0 ? lumenor : torsion;
    if (!module.IsLoaded() && !module.Load(path)) {
        std::fprintf(stderr, "%s\n", module.GetLastError().c_str());
        return nullptr;
    }
    const auto connect = module.GetProc<PFN_PlgConnect>(kPlgConnectName);
    static CPlgApplication* lumenorApp = nullptr;
    static CPlgApplication* torsionApp = nullptr;
    CPlgApplication*& application = &module == &lumenor ? lumenorApp : torsionApp;
    if (!application && connect)
        application = connect();
    return application;
}

CQvImage Frame(const benchmark::State& state)
{
    CQvImage image;
    image.Create(state.range(0) == 1 ? QV_GRAY8 : QV_RGB24, kWidth, kHeight, 0);
    cv::Mat view = QvImageToMat(image);
    cv::RNG rng(7);
    // Not the full range, so the equalisation has levels to spread.
    rng.fill(view, cv::RNG::UNIFORM, cv::Scalar::all(30), cv::Scalar::all(220));
    return image;
}

void SetLabel(benchmark::State& state)
{
    state.SetLabel(state.range(0) == 1 ? "grey" : "colour");
}

bool SamePixels(CQvImage& a, CQvImage& b)
{
    if (a.GetColorModel() != b.GetColorModel() || a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    return cv::norm(QvImageToMat(a), QvImageToMat(b), cv::NORM_INF) == 0;
}

// The plug-in's operation alone; `image` is the source, `result` gets what the command leaves in the document.
bool RunOperation(Command command, CQvImage& image, CQvImage& result)
{
    switch (command) {
    case Command::Invert: return lumenor::Invert(image) && (result = std::move(image), true);
    case Command::Equalize: return lumenor::HistogramEqualize(image) && (result = std::move(image), true);
    case Command::RemoveNoise: return lumenor::RemoveNoise(image) && (result = std::move(image), true);
    case Command::Resize: return torsion::Resize(image, kResizedWidth, kResizedHeight, kIplInterSuper, result);
    case Command::FlipVertical: return torsion::Flip(image, 0, result);
    }
    return false;
}

// The dialog of the resize entry answered with two thirds of each side.
void AnswerDialogs()
{
    SetModalDialogHook([](QDialog& dialog) {
        if (auto* constrain = dialog.findChild<QCheckBox*>("1021"))
            constrain->setChecked(false);
        if (auto* width = dialog.findChild<QLineEdit*>("1019"))
            width->setText(QString::number(kResizedWidth));
        if (auto* height = dialog.findChild<QLineEdit*>("1020"))
            height->setText(QString::number(kResizedHeight));
        if (auto* ok = dialog.findChild<QPushButton*>("1"))
            ok->click();
    });
}

// Commands whose result the next run cannot start from, or whose every run must see the same levels.
bool ResetsBetweenRuns(Command command)
{
    return command == Command::Resize || command == Command::Equalize || command == Command::RemoveNoise;
}

void BM_Command(benchmark::State& state, Command command)
{
    const Entry entry = EntryOf(command);
    CPlgApplication* application = Application(entry.module);
    if (!application) {
        state.SkipWithError("the module did not load");
        return;
    }
    QTemporaryDir temp;
    CQvFramePool::SetTempPath(temp.path().toStdString());
    AnswerDialogs();
    const CQvImage start = Frame(state);
    CQvFramePool pool;
    CPlgView* raw = nullptr;
    application->CreatePlgView(entry.index, 0, &raw);
    std::unique_ptr<CPlgView> view(raw);
    view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, {}, {}});

    // The command leaves what the operation alone makes, and one undo gives the start back exactly.
    CQvImage source = start;
    CQvImage expected;
    pool.GetImage() = start;
    if (view->Run() != 1 || !RunOperation(command, source, expected) || !SamePixels(pool.GetImage(), expected)) {
        state.SkipWithError("the command differs from the operation");
        return;
    }
    CQvImage startCopy = start;
    if (pool.Undo() != 1 || !SamePixels(pool.GetImage(), startCopy)) {
        state.SkipWithError("undo did not give the image back");
        return;
    }

    for (auto _ : state) {
        state.PauseTiming();
        if (ResetsBetweenRuns(command))
            pool.GetImage() = start;
        pool.WaitForUndoFiles();
        state.ResumeTiming();
        if (view->Run() != 1)
            state.SkipWithError("the command did nothing");
        benchmark::DoNotOptimize(pool.GetImage().GetBuffer());
    }
    pool.WaitForUndoFiles();
    SetModalDialogHook({});
    CQvFramePool::SetTempPath("");
    SetLabel(state);
}

void BM_Operation(benchmark::State& state, Command command)
{
    const CQvImage start = Frame(state);
    CQvImage image = start;
    for (auto _ : state) {
        if (ResetsBetweenRuns(command)) {
            state.PauseTiming();
            image = start;
            state.ResumeTiming();
        }
        CQvImage result;
        if (!RunOperation(command, image, result))
            state.SkipWithError("the operation did nothing");
        benchmark::DoNotOptimize(result.GetBuffer());
        // The in-place operations handed their image on: it comes back for the next run.
        if (image.IsEmpty())
            image = std::move(result);
    }
    SetLabel(state);
}

// The enhance operations writing into a second image of the same size, warm from earlier runs: the least any
// command that keeps the image it started from has to do, as it reads one image and writes another.
void BM_OperationInto(benchmark::State& state, bool (*operation)(const CQvImage&, CQvImage&))
{
    const CQvImage source = Frame(state);
    CQvImage target = source;
    for (auto _ : state)
        if (!operation(source, target))
            state.SkipWithError("the operation did nothing");
    SetLabel(state);
}

// Three histograms and one table over the colour channels: the colour equalisation in raw calls.
void RawColourEqualize(cv::Mat& view)
{
    cv::Mat hist;
    const int size = 256;
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    cv::Mat cumulative(1, 256, CV_32S, cv::Scalar(0));
    for (int c = 0; c < 3; ++c) {
        cv::calcHist(&view, 1, &c, cv::Mat(), hist, 1, &size, ranges);
        int sum = 0;
        for (int i = 0; i < 256; ++i)
            cumulative.at<int>(i) += (sum += static_cast<int>(hist.at<float>(i)));
    }
    const double total = static_cast<double>(view.total());
    cv::Mat lut(1, 256, CV_8U);
    for (int i = 0; i < 256; ++i)
        lut.at<uchar>(i) = cv::saturate_cast<uchar>(255.0 * cumulative.at<int>(i) / (3 * total));
    cv::LUT(view, lut, view);
}

void RunOpenCv(Command command, cv::Mat& view)
{
    switch (command) {
    case Command::Invert: cv::bitwise_not(view, view); break;
    case Command::Equalize:
        if (view.channels() == 1)
            cv::equalizeHist(view, view);
        else
            RawColourEqualize(view);
        break;
    case Command::RemoveNoise: {
        cv::Mat out;
        cv::medianBlur(view, out, 3);
        benchmark::DoNotOptimize(out.data);
        break;
    }
    case Command::Resize: {
        cv::Mat out;
        cv::resize(view, out, cv::Size(kResizedWidth, kResizedHeight), 0, 0, cv::INTER_AREA);
        benchmark::DoNotOptimize(out.data);
        break;
    }
    case Command::FlipVertical: {
        cv::Mat out;
        cv::flip(view, out, 0);
        benchmark::DoNotOptimize(out.data);
        break;
    }
    }
}

void BM_OpenCv(benchmark::State& state, Command command)
{
    const CQvImage start = Frame(state);
    CQvImage image = start;
    cv::Mat view = QvImageToMat(image);
    for (auto _ : state) {
        if (command == Command::Equalize) {
            state.PauseTiming();
            image = start;
            state.ResumeTiming();
        }
        RunOpenCv(command, view);
    }
    SetLabel(state);
}

}  // namespace

#define COMMAND_BENCH(name, command)                                                                                  \
    BENCHMARK_CAPTURE(BM_Command, name, command)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();      \
    BENCHMARK_CAPTURE(BM_Operation, name, command)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();    \
    BENCHMARK_CAPTURE(BM_OpenCv, name, command)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

#define INTO_BENCH(name, operation)                                                                                   \
    BENCHMARK_CAPTURE(BM_OperationInto, name, operation)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

COMMAND_BENCH(invert, Command::Invert)
INTO_BENCH(invert, lumenor::InvertInto)
COMMAND_BENCH(equalize, Command::Equalize)
INTO_BENCH(equalize, lumenor::HistogramEqualizeInto)
COMMAND_BENCH(remove_noise, Command::RemoveNoise)
COMMAND_BENCH(resize, Command::Resize)
COMMAND_BENCH(flip_vertical, Command::FlipVertical)

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
