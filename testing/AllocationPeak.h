// The most memory a piece of work holds at once, counted by the address sanitizer's allocator on every thread.
// Only in sanitizer builds: elsewhere nothing here exists and the tests that use it are left out.
#pragma once

#if defined(__SANITIZE_ADDRESS__)

#include <atomic>
#include <cstddef>

extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
int __sanitizer_get_ownership(const volatile void* p);
size_t __sanitizer_get_allocated_size(const volatile void* p);
}

namespace allocation_peak {

// Bytes held and their highest level while counting.
inline std::atomic<long long> g_held{0};
inline std::atomic<long long> g_peak{0};
inline std::atomic<bool> g_counting{false};

inline void OnAllocate(const volatile void* p, size_t size)
{
    if (!p || !g_counting.load(std::memory_order_relaxed))
        return;
    const long long now = g_held += static_cast<long long>(size);
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

inline void OnFree(const volatile void* p)
{
    if (p && g_counting.load(std::memory_order_relaxed) && __sanitizer_get_ownership(p))
        g_held -= static_cast<long long>(__sanitizer_get_allocated_size(p));
}

}  // namespace allocation_peak

// False when the allocator refused the hooks. They cannot be taken away again: one installation serves the whole run.
inline bool CountAllocations()
{
    static const int installed =
        __sanitizer_install_malloc_and_free_hooks(allocation_peak::OnAllocate, allocation_peak::OnFree);
    return installed != 0;
}

// The most bytes held at once while `work` runs, counted from 0 when it starts (what was held before is not seen).
template <typename Work>
long long PeakBytesDuring(Work&& work)
{
    allocation_peak::g_held = 0;
    allocation_peak::g_peak = 0;
    allocation_peak::g_counting = true;
    work();
    allocation_peak::g_counting = false;
    return allocation_peak::g_peak.load();
}

#endif
