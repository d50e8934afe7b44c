// What a new image costs in memory, counted by the allocator while the whole program makes and shows one: at most
// about twice its pixels (the image itself and what showing it needs), not a copy per window that shows it.
#include "core/ProgramObjects.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "profile/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>

#include <stdlib.h>

#if defined(__SANITIZE_ADDRESS__)

extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
int __sanitizer_get_ownership(const volatile void* p);
size_t __sanitizer_get_allocated_size(const volatile void* p);
}

namespace {

// Bytes held and their highest level since counting began; the allocator calls the hooks on every thread.
std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};
std::atomic<bool> g_counting{false};

void OnAllocate(const volatile void* p, size_t size)
{
    if (!p || !g_counting.load(std::memory_order_relaxed))
        return;
    const long long now = g_held += static_cast<long long>(size);
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

void OnFree(const volatile void* p)
{
    if (p && g_counting.load(std::memory_order_relaxed) && __sanitizer_get_ownership(p))
        g_held -= static_cast<long long>(__sanitizer_get_allocated_size(p));
}

}  // namespace

TEST(NewImageMemory, MakingAndShowingANewImageCostsAtMostTwiceItsPixels)
{
    // Hooks cannot be taken away again: one installation serves the whole run.
    static const int installed = __sanitizer_install_malloc_and_free_hooks(OnAllocate, OnFree);
    ASSERT_NE(installed, 0);
    QTemporaryDir root, config, runtime;
    setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    RegReloadStore();
    const QString workingFolder = QDir::currentPath();
    const CCalibKeeper savedCurrent = *TheCalibrationList().GetCurrentCalibration();
    {
        ProgramObjects program({QStringLiteral("Vistrel"), QStringLiteral("--root"), root.path()}, "/opt/x/Vistrel");
        CVistrelApp& app = program.App();
        ASSERT_TRUE(app.InitInstance());
        QCoreApplication::processEvents();

        constexpr int kSide = 3000;
        constexpr long long kPixels = 3LL * kSide * kSide;
        g_held = 0;
        g_peak = 0;
        g_counting = true;
        CVistrelDoc* doc = NewDocumentFromImage("New", kSide, kSide, QV_RGB24, nullptr);
        // The windows that show it (view, navigator, magnifier, thumbnails) draw it too.
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
        g_counting = false;
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->GetImage().GetWidth(), kSide);
        EXPECT_LE(g_peak.load(), 2 * kPixels) << "peak " << g_peak.load() << " bytes for " << kPixels << " of pixels";
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    *TheCalibrationList().GetCurrentCalibration() = savedCurrent;
    QDir::setCurrent(workingFolder);
    RegReloadStore();
}

#endif
