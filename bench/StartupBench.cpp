// Cold start of the program to its first shown main frame, against a bare QMainWindow carrying the same menus,
// toolbars and icons. Each iteration starts a fresh process of this executable in one of two child modes and takes
// the time from the spawn to the moment the child's main window is first exposed (the child reports its monotonic
// clock); the child's shut-down is not timed. Target: the program within 1.5x of the bare window and under 400 ms.
// Before timing, each child must report the same number of menus and toolbars, so a start that shows less is not
// taken for a fast one. Run under a display (xvfb-run); on the offscreen platform "exposed" comes at once.
#include "program/ProgramObjects.h"
#include "frame/CommandBarLayout.h"
#include "frame/CommandIcons.h"
#include "frame/CommandIds.h"
#include "frame/CommandInfo.h"
#include "frame/FrameStrings.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr char kProgramMode[] = "--child-program";
constexpr char kBareMode[] = "--child-bare";

int64_t MonotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Waits until the window is on the screen, then tells the parent when that was and what the window carries.
void ReportShown(QWidget& window)
{
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const int64_t shown = MonotonicNanoseconds();
    const auto menus = window.findChildren<QMenuBar*>();
    const int menuCount = menus.isEmpty() ? 0 : static_cast<int>(menus.front()->actions().size());
    const int toolbarCount = static_cast<int>(window.findChildren<QToolBar*>().size());
    std::printf("%lld %d %d\n", static_cast<long long>(shown), menuCount, toolbarCount);
    std::fflush(stdout);
}

int RunProgram(int argc, char** argv, const std::string& root)
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const QStringList arguments{QCoreApplication::applicationFilePath(), "--root", QString::fromStdString(root)};
    ProgramObjects program(arguments, QCoreApplication::applicationFilePath().toStdString());
    CVistrelApp& app = program.App();
    const bool started = app.InitInstance();
    if (started && app.GetMainWnd() && app.GetMainWnd()->Widget())
        ReportShown(*app.GetMainWnd()->Widget());
    app.ExitInstance();
    return started ? 0 : 1;
}

int RunBare(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    // What the program shows at start with no plug-ins: no plug-in menu, and four of the toolbars hidden.
    int menuIndex = 0;
    for (const MenuDefinition& definition : MainMenuLayout()) {
        if (menuIndex++ == kPluginMenuIndex)
            continue;
        QMenu* menu = window.menuBar()->addMenu(QString::fromStdString(FrameString(definition.caption, 1033)));
        for (const UINT id : definition.items) {
            const CommandInfo* info = FindCommandInfo(id);
            if (id == kSeparator || !info)
                menu->addSeparator();
            else
                menu->addAction(CommandIcon(info->icon), QString::fromStdString(CommandCaption(*info, 1033)));
        }
    }
    for (const ToolbarDefinition& definition : ToolbarLayout()) {
        QToolBar* bar = window.addToolBar(QString::number(definition.resourceId));
        for (const UINT id : definition.controls) {
            const CommandInfo* info = FindCommandInfo(id);
            if (id == kSeparator || !info)
                bar->addSeparator();
            else
                bar->addAction(CommandIcon(info->icon), QString::fromStdString(CommandCaption(*info, 1033)));
        }
        for (const UINT hidden : {TOOLBAR_AREA, TOOLBAR_ADVANCED, TOOLBAR_ATTRIBUTE, TOOLBAR_NINTH})
            if (definition.resourceId == hidden)
                bar->hide();
    }
    window.resize(1280, 800);
    window.show();
    ReportShown(window);
    return 0;
}

struct ChildReport
{
    bool ok = false;
    double secondsToShown = 0;
    int menus = 0;
    int toolbars = 0;
};

std::string g_self;
std::string g_root;

ChildReport StartChild(const char* mode)
{
    ChildReport report;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return report;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<std::string> words{g_self, mode, g_root};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int64_t spawned = MonotonicNanoseconds();
    const int failed = posix_spawn(&child, g_self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed == 0) {
        FILE* out = fdopen(pipeEnds[0], "r");
        long long shown = 0;
        if (out && std::fscanf(out, "%lld %d %d", &shown, &report.menus, &report.toolbars) == 3) {
            report.ok = true;
            report.secondsToShown = static_cast<double>(shown - spawned) / 1e9;
        }
        if (out)
            std::fclose(out);
        int status = 0;
        waitpid(child, &status, 0);
        report.ok = report.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    } else {
        close(pipeEnds[0]);
    }
    return report;
}

void TimeStarts(benchmark::State& state, const char* mode)
{
    const ChildReport program = StartChild(kProgramMode);
    const ChildReport bare = StartChild(kBareMode);
    if (!program.ok || !bare.ok || program.menus != bare.menus || program.toolbars != bare.toolbars ||
        program.menus == 0) {
        state.SkipWithError("the program and the bare window did not show the same menus and toolbars");
        return;
    }
    for (auto _ : state) {
        const ChildReport report = StartChild(mode);
        if (!report.ok) {
            state.SkipWithError("the child did not report its shown window");
            return;
        }
        state.SetIterationTime(report.secondsToShown);
    }
    state.counters["menus"] = program.menus;
    state.counters["toolbars"] = program.toolbars;
}

void BM_ColdStartProgram(benchmark::State& state)
{
    TimeStarts(state, kProgramMode);
}

void BM_ColdStart_PeerBareMainWindow(benchmark::State& state)
{
    TimeStarts(state, kBareMode);
}

BENCHMARK(BM_ColdStartProgram)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15)->Repetitions(3);
BENCHMARK(BM_ColdStart_PeerBareMainWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(3);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kProgramMode) == 0)
        return RunProgram(argc, argv, argv[2]);
    if (argc == 3 && std::strcmp(argv[1], kBareMode) == 0)
        return RunBare(argc, argv);

    // Each run starts on a root, a settings folder and a runtime folder of its own, so a running program or the
    // user's settings change nothing.
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("vistrel-startup-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch / "root");
    std::filesystem::create_directories(scratch / "config");
    std::filesystem::create_directories(scratch / "runtime");
    std::filesystem::permissions(scratch / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (scratch / "runtime").c_str(), 1);
    g_self = std::filesystem::canonical("/proc/self/exe").string();
    g_root = (scratch / "root").string();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(scratch);
    return 0;
}
