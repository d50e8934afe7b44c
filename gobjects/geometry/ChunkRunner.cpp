#include "gobjects/geometry/ChunkRunner.h"

#include <QThreadPool>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// The chunks of one RunChunks call, handed out one at a time.
class ChunkQueue
{
public:
    explicit ChunkQueue(int chunks) : m_chunks(chunks) {}

    // The next chunk, counted as begun; -1 when none is left.
    int Take()
    {
        const std::lock_guard lock(m_mutex);
        if (m_next >= m_chunks)
            return -1;
        ++m_running;
        return m_next++;
    }
    bool AnyLeft()
    {
        const std::lock_guard lock(m_mutex);
        return m_next < m_chunks;
    }
    void Done()
    {
        const std::lock_guard lock(m_mutex);
        if (--m_running == 0)
            m_idle.notify_all();
    }
    // Waits until every chunk begun is done.
    void WaitForBegun()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_running == 0; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_idle;
    const int m_chunks;
    int m_next = 0;
    int m_running = 0;
};

QThreadPool& HelperPool()
{
    static QThreadPool pool;
    return pool;
}

void RunTaken(ChunkQueue& queue, const std::function<void(int)>& work)
{
    for (int chunk = queue.Take(); chunk >= 0; chunk = queue.Take()) {
        work(chunk);
        queue.Done();
    }
}

// A helper first wakes the next one while chunks are left: waking threads is slow enough that the caller, had it
// woken them all, would have done much of the work meanwhile. `work` belongs to the caller, which waits for every
// chunk begun; a helper that wakes when the chunks are gone touches only the queue it shares.
void StartHelper(const std::shared_ptr<ChunkQueue>& queue, const std::function<void(int)>* work, int more)
{
    HelperPool().start([queue, work, more] {
        if (more > 0 && queue->AnyLeft())
            StartHelper(queue, work, more - 1);
        RunTaken(*queue, *work);
    });
}

}  // namespace

void RunChunks(int chunks, int maxHelpers, const std::function<void(int chunk)>& work)
{
    const auto queue = std::make_shared<ChunkQueue>(chunks);
    const int helpers = std::min({chunks - 1, maxHelpers, HelperPool().maxThreadCount()});
    if (helpers > 0)
        StartHelper(queue, &work, helpers - 1);
    RunTaken(*queue, work);
    queue->WaitForBegun();
}
