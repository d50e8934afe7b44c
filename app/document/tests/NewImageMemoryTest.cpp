// What a new image costs in memory, counted by the allocator while the whole program makes and shows one: at most
// about twice its pixels (the image itself and what showing it needs), not a copy per window that shows it.
#include "program/ProgramObjects.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "profile/Registry.h"
#include "testing/AllocationPeak.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdlib.h>

#if defined(__SANITIZE_ADDRESS__)

TEST(NewImageMemory, MakingAndShowingANewImageCostsAtMostTwiceItsPixels)
{
    ASSERT_TRUE(CountAllocations());
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
        CVistrelDoc* doc = nullptr;
        const long long peak = PeakBytesDuring([&] {
            doc = NewDocumentFromImage("New", kSide, kSide, QV_RGB24, nullptr);
            // The windows that show it (view, navigator, magnifier, thumbnails) draw it too.
            for (int i = 0; i < 10; ++i)
                QCoreApplication::processEvents();
        });
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->GetImage().GetWidth(), kSide);
        EXPECT_LE(peak, 2 * kPixels) << "peak " << peak << " bytes for " << kPixels << " of pixels";
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    *TheCalibrationList().GetCurrentCalibration() = savedCurrent;
    QDir::setCurrent(workingFolder);
    RegReloadStore();
}

#endif
