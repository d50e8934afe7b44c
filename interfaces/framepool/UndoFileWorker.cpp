#include "framepool/private/UndoFileWorker.h"

#include "framepool/private/FramePoolRecycler.h"
#include "qvimage/QvImageRecord.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <thread>
#include <utility>
#include <variant>

namespace {

// Small enough that a cancel (an undo, a closing document) is heard at once, large enough to cost no time.
constexpr size_t kChunkBytes = 1 << 20;

std::function<void()>& ChunkHook()
{
    static std::function<void()> hook;
    return hook;
}

// Names must not collide between pools, nor between programs sharing the folder.
std::string NewUndoFileName(const std::string& folder)
{
    static std::atomic<unsigned long> serial{0};
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + "undo-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".qvu";
}

// The file under the record writer's stream: written in chunks, each after a look at the cancel flag.
struct ChunkedFile
{
    int fd;
    const std::atomic<bool>* cancel;
};

ssize_t WriteChunks(void* cookie, const char* data, size_t size)
{
    const ChunkedFile& file = *static_cast<const ChunkedFile*>(cookie);
    size_t done = 0;
    while (done < size) {
        if (ChunkHook())
            ChunkHook()();
        if (file.cancel->load(std::memory_order_relaxed))
            return 0;  // the stream's error: the record is not complete
        const ssize_t written = ::write(file.fd, data + done, std::min(size - done, kChunkBytes));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return 0;
        done += static_cast<size_t>(written);
    }
    return static_cast<ssize_t>(size);
}

int CloseChunks(void* cookie)
{
    return ::close(static_cast<const ChunkedFile*>(cookie)->fd);
}

// The record of `copy` in a new file of `folder`: its path, or "" (and no file) when it failed or was cancelled.
std::string WriteRecord(const CQvImage& copy, const std::string& folder, const std::atomic<bool>& cancel)
{
    const std::string path = NewUndoFileName(folder);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::string();
    ChunkedFile chunked{fd, &cancel};
    FILE* file = ::fopencookie(&chunked, "w", cookie_io_functions_t{nullptr, WriteChunks, nullptr, CloseChunks});
    if (!file) {
        ::close(fd);
        std::remove(path.c_str());
        return std::string();
    }
    const bool written = QVWriteImage(file, &copy) == 1;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || cancel.load()) {
        std::remove(path.c_str());
        return std::string();
    }
    return path;
}

void RunJob(UndoFileJob& job)
{
    {
        std::lock_guard<std::mutex> hold(job.lock);
        // Cancelled while it waited: the owner has taken the copy back.
        if (job.state != UndoFileJob::kQueued)
            return;
        if (job.cancel.load()) {
            job.state = UndoFileJob::kStopped;
            job.changed.notify_all();
            return;
        }
        job.state = UndoFileJob::kWriting;
    }
    const std::string path = WriteRecord(job.copy, job.folder, job.cancel);
    CQvImage spare;
    {
        std::lock_guard<std::mutex> hold(job.lock);
        if (path.empty()) {
            job.state = UndoFileJob::kStopped;
        } else {
            job.path = path;
            spare = std::move(job.copy);
            job.state = UndoFileJob::kWritten;
        }
        job.changed.notify_all();
    }
    // The written copy's buffer serves the next result of its size.
    FramePoolRecycler::Offer(std::move(spare));
}

// The worker is woken by the command that hands it a copy, and must not take that command's core before the command
// is done: batch scheduling keeps a wake-up from preempting, and a lower priority keeps it behind interactive work
// on a busy machine (it still gets its share). Both are best effort.
void GiveWayToTheUiThread()
{
    const sched_param none{};
    ::sched_setscheduler(0, SCHED_BATCH, &none);
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
}

using Task = std::variant<std::shared_ptr<UndoFileJob>, std::string>;

class Worker
{
public:
    Worker() { FramePoolRecycler::Prepare(); }

    ~Worker()
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_stopping = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
    }

    void Add(Task task)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_tasks.push_back(std::move(task));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Run(); });
        m_changed.notify_all();
    }

    void WaitUntilIdle()
    {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [this] { return m_tasks.empty() && !m_busy; });
    }

private:
    void Run()
    {
        GiveWayToTheUiThread();
        std::unique_lock<std::mutex> hold(m_lock);
        for (;;) {
            m_changed.wait(hold, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_tasks.empty())
                return;
            Task task = std::move(m_tasks.front());
            m_tasks.pop_front();
            m_busy = true;
            const bool stopping = m_stopping;
            hold.unlock();
            if (auto* job = std::get_if<std::shared_ptr<UndoFileJob>>(&task)) {
                // The program ends: no owner waits for this file any more.
                if (stopping)
                    (*job)->cancel.store(true);
                RunJob(**job);
            } else {
                std::remove(std::get<std::string>(task).c_str());
            }
            task = Task();
            hold.lock();
            m_busy = false;
            m_changed.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Task> m_tasks;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

Worker& TheWorker()
{
    static Worker worker;
    return worker;
}

}  // namespace

void UndoFileWorker::Write(std::shared_ptr<UndoFileJob> job)
{
    TheWorker().Add(std::move(job));
}

void UndoFileWorker::Remove(std::string path)
{
    TheWorker().Add(std::move(path));
}

void UndoFileWorker::WaitUntilIdle()
{
    TheWorker().WaitUntilIdle();
}

void UndoFileWorker::Prepare()
{
    TheWorker();
}

void UndoFileWorker::SetChunkHook(std::function<void()> hook)
{
    ChunkHook() = std::move(hook);
}
