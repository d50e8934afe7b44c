#include "core/QuitOnTerminate.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full pipe already holds a request. The interrupted code may be
    // about to read errno.
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

struct QuitOnTerminate::Private
{
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction previous[std::size(kSignals)] = {};
};

QuitOnTerminate::QuitOnTerminate(std::function<void()> quit) : d(std::make_unique<Private>())
{
    if (g_pipe[0] != -1 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    d->notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [quit = std::move(quit)] {
        char bytes[64];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        quit();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &d->previous[i]);
    m_installed = true;
}

QuitOnTerminate::~QuitOnTerminate()
{
    if (!m_installed)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &d->previous[i], nullptr);
    d->notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}
