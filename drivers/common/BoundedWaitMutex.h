// A mutex whose lock can give up after a bound, in the place of std::timed_mutex. libstdc++ takes a timed_mutex
// through pthread_mutex_clocklock, which ThreadSanitizer does not see: every section such a lock guards then reads
// to it as unguarded, and a real race there would hide among the false ones. This one is a flag under a plain
// mutex and a condition variable, which the sanitizer follows. Lockable and TimedLockable (lock_guard, unique_lock
// with a duration). Not recursive.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class BoundedWaitMutex
{
public:
    void lock()
    {
        std::unique_lock state(m_state);
        m_free.wait(state, [this] { return !m_held; });
        m_held = true;
    }

    bool try_lock()
    {
        std::lock_guard state(m_state);
        if (m_held)
            return false;
        m_held = true;
        return true;
    }

    template <typename Rep, typename Period>
    bool try_lock_for(const std::chrono::duration<Rep, Period>& bound)
    {
        std::unique_lock state(m_state);
        if (!m_free.wait_for(state, bound, [this] { return !m_held; }))
            return false;
        m_held = true;
        return true;
    }

    void unlock()
    {
        {
            std::lock_guard state(m_state);
            m_held = false;
        }
        m_free.notify_one();
    }

private:
    std::mutex m_state;
    std::condition_variable m_free;
    bool m_held = false;
};
