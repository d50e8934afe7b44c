#include "lumenor/EnhanceDialogs.h"
#include "lumenor/LumenorOps.h"
#include "lumenor/LumenorViews.h"

#include "LumenorTestImages.h"

#include "framepool/CQvFramePool.h"
#include "testing/FifoWatchdog.h"
#include "testing/MessageBoxRecorder.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace lumenor;
using namespace lumenor_test;
using testing_support::MessageBoxes;

namespace {

// A document as the host lends it: the pool with its image, and a count of repaints.
struct Document
{
    CQvFramePool pool;
    int repaints = 0;

    explicit Document(const CQvImage& image) { pool.SetImage(&image); }

    std::unique_ptr<CPlgView> View(CPlgApplication& app, int index)
    {
        CPlgView* view = nullptr;
        if (!app.CreatePlgView(index, 0, &view))
            return nullptr;
        view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, [this](QWidget*) { ++repaints; }, nullptr});
        return std::unique_ptr<CPlgView>(view);
    }
};

class LumenorViews : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_settings.isValid());
        SetThresholdSettingsFolder(m_settings.path().toStdString());
    }
    void TearDown() override { SetThresholdSettingsFolder(""); }

    QTemporaryDir m_settings;
    CEnhancePlgApp m_app;
};

EnhanceEntry EntryOf(CPlgApplication& app, int index)
{
    CPlgView* view = nullptr;
    EXPECT_EQ(app.CreatePlgView(index, 0, &view), 1);
    std::unique_ptr<CPlgView> owner(view);
    return dynamic_cast<CEnhanceView&>(*view).Entry();
}

TEST_F(LumenorViews, ModeStringPicksTheViewWithItsExactCase)
{
    EXPECT_EQ(EntryOf(m_app, kInvert), kInvert);
    m_app.SetMode("AutoLevel");
    EXPECT_EQ(EntryOf(m_app, kInvert), kAutoLevel);
    EXPECT_EQ(EntryOf(m_app, 99), kAutoLevel);
    m_app.SetMode("HitogramEqualize");
    EXPECT_EQ(EntryOf(m_app, kThreshold), kHistogramEqualize);
    m_app.SetMode("autolevel");
    EXPECT_EQ(EntryOf(m_app, kInvert), kInvert);
    CPlgView* untouched = nullptr;
    EXPECT_EQ(m_app.CreatePlgView(kEntryCount, 0, &untouched), 0);
    EXPECT_EQ(untouched, nullptr);
}

// The region of an image, as (kind, x0, y0, x1, y1, ...).
std::vector<int> Region(const CQvImage& image)
{
    std::vector<int> region{image.GetRoiKind()};
    region.insert(region.end(), image.GetRoiPoints(), image.GetRoiPoints() + 2 * image.GetRoiCount());
    return region;
}

TEST_F(LumenorViews, EveryPlainEntryChangesTheImageAsItsOperationDoesAndOneUndoGivesTheImageItselfBack)
{
    using Operation = bool (*)(CQvImage&);
    const std::pair<int, Operation> entries[] = {{kInvert, Invert}, {kAutoContrast, AutoContrast},
                                                 {kAutoLevel, AutoLevel}, {kHistogramEqualize, HistogramEqualize},
                                                 {kRemoveNoise, RemoveNoise}};
    for (int type : {QV_GRAY8, QV_INDEX8, QV_RGB24, QV_RGBA32})
        for (const auto& [index, operation] : entries) {
            SCOPED_TRACE("type " + std::to_string(type) + ", entry " + std::to_string(index));
            // A spike, so the noise filter has something to take away; a palette and a region that an operation in
            // place would keep.
            CQvImage start = Pattern(type, 7, 5, static_cast<unsigned>(index + 3));
            start.Get2DBuffer()[2][3 * start.GetBitsPerPixel() / 8] = 255;
            if (type == QV_INDEX8) {
                RGBQUAD palette[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
                start.SetPalette(palette, 3);
            }
            auto corners = std::make_unique<int[]>(4);
            corners[0] = 1, corners[1] = 1, corners[2] = 5, corners[3] = 3;
            start.SetRoi(QV_ROI_RECT, std::move(corners), 2);
            CQvImage expected = start;
            ASSERT_TRUE(operation(expected));

            Document document(start);
            const BYTE* pixels = document.pool.GetImage().GetBuffer();
            std::unique_ptr<CPlgView> view = document.View(m_app, index);
            ASSERT_NE(view, nullptr);
            EXPECT_EQ(view->Run(), 1);
            EXPECT_EQ(document.pool.PushCount(), 1u);
            EXPECT_GE(document.repaints, 1);
            EXPECT_TRUE(Identical(document.pool.GetImage(), expected));
            EXPECT_EQ(Region(document.pool.GetImage()), Region(expected));
            ASSERT_EQ(document.pool.Undo(), 1);
            EXPECT_TRUE(Identical(document.pool.GetImage(), start));
            EXPECT_EQ(Region(document.pool.GetImage()), Region(start));
            EXPECT_EQ(document.pool.GetImage().GetBuffer(), pixels) << "the undo point was the image, not a copy";
        }
}

TEST_F(LumenorViews, ALargeImageGoesToItsUndoFileItsBufferServesTheNextResultAndUndoIsExact)
{
    QTemporaryDir temp;
    CQvFramePool::SetTempPath(temp.path().toStdString());
    const CQvImage start = Pattern(QV_RGB24, 1200, 1200);  // 4.3 MB of pixels: an undo copy goes to a file
    using Operation = bool (*)(CQvImage&);
    const struct
    {
        int index;
        Operation operation;
        int undoFiles;  // Invert undoes itself and keeps no copy
    } entries[] = {{kInvert, Invert, 0}, {kHistogramEqualize, HistogramEqualize, 1}, {kRemoveNoise, RemoveNoise, 1}};
    for (const auto& [index, operation, undoFiles] : entries) {
        SCOPED_TRACE(index);
        CQvImage once = start;
        ASSERT_TRUE(operation(once));
        CQvImage twice = once;
        ASSERT_TRUE(operation(twice));

        Document document(start);
        const BYTE* startPixels = document.pool.GetImage().GetBuffer();
        std::unique_ptr<CPlgView> view = document.View(m_app, index);
        ASSERT_EQ(view->Run(), 1);
        document.pool.WaitForUndoFiles();
        EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files).size(), undoFiles);
        // The start went to its file: its buffer, still holding the start's bytes, takes the second result (Invert
        // works in place in it all along).
        ASSERT_EQ(view->Run(), 1);
        EXPECT_EQ(document.pool.GetImage().GetBuffer(), startPixels);
        EXPECT_TRUE(Identical(document.pool.GetImage(), twice));

        // The second undo point's file may still be being written: the undo is exact either way.
        ASSERT_EQ(document.pool.Undo(), 1);
        EXPECT_TRUE(Identical(document.pool.GetImage(), once));
        ASSERT_EQ(document.pool.Undo(), 1);
        EXPECT_TRUE(Identical(document.pool.GetImage(), start));
        CQvFramePool::WaitForUndoFiles();
        EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files).size(), 0);
    }
    CQvFramePool::SetTempPath("");
}

TEST_F(LumenorViews, ImagesOfOneAndFourBitsAreRefusedWithoutAnUndoPoint)
{
    for (int type : {QV_INDEX1, QV_INDEX4})
        for (int index = 0; index < kEntryCount; ++index) {
            const CQvImage start = MakeImage(type, 3, 1, {1, 0, 1});
            Document document(start);
            std::unique_ptr<CPlgView> view = document.View(m_app, index);
            EXPECT_EQ(view->Run(), 0) << index;
            EXPECT_EQ(document.pool.PushCount(), 0u);
            EXPECT_EQ(document.repaints, 0);
            EXPECT_TRUE(Identical(document.pool.GetImage(), start));
        }
    EXPECT_TRUE(MessageBoxes().ModalDialogs().empty());
}

template <typename T>
T* Child(QDialog& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST_F(LumenorViews, BrightnessContrastPreviewsLiveAndCancelRestores)
{
    const CQvImage start = Pattern(QV_RGBA32, 5, 3);
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Document document(start);
        CQvImage expected = start;
        MessageBoxes().QueueModal([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Brightness Contrast");
            QSlider* brightness = Child<QSlider>(dialog, "brightnessSlider");
            QSlider* contrast = Child<QSlider>(dialog, "contrastSlider");
            ASSERT_TRUE(brightness && contrast);
            EXPECT_EQ(brightness->value(), 256);
            EXPECT_EQ(contrast->value(), 200);
            EXPECT_EQ(Child<QLabel>(dialog, "brightnessValue")->text(), "0");
            brightness->setValue(246);  // +10
            EXPECT_EQ(Child<QLabel>(dialog, "brightnessValue")->text(), "10");
            contrast->setValue(100);  // factor 1.50
            EXPECT_EQ(Child<QLabel>(dialog, "contrastValue")->text(), "1.50");
            ApplyLut(start, expected, BrightnessContrastLut(10, 100));
            EXPECT_TRUE(Identical(document.pool.GetImage(), expected));
            EXPECT_GE(document.repaints, 2);
            ok ? dialog.accept() : dialog.reject();
        });
        std::unique_ptr<CPlgView> view = document.View(m_app, kBrightnessContrast);
        EXPECT_EQ(view->Run(), 1);
        ASSERT_EQ(MessageBoxes().ModalDialogs().size(), ok ? 2u : 1u);
        EXPECT_EQ(document.pool.PushCount(), 1u);
        EXPECT_TRUE(Identical(document.pool.GetImage(), ok ? expected : start));
        if (ok) {
            ASSERT_EQ(document.pool.Undo(), 1);
            EXPECT_TRUE(Identical(document.pool.GetImage(), start));
        }
    }
}

TEST_F(LumenorViews, DialogsOutliveTheDocumentWindowTheyWereOpenedOn)
{
    for (int index : {kBrightnessContrast, kThreshold}) {
        SCOPED_TRACE(index);
        const CQvImage start = Pattern(QV_GRAY8, 5, 3);
        Document document(start);
        QWidget mainWindow;
        auto* viewWindow = new QWidget(&mainWindow);
        MessageBoxes().QueueModal([&](QDialog& dialog) {
            ASSERT_EQ(dialog.parentWidget(), &mainWindow);
            // The document closes under the open dialog.
            delete viewWindow;
            dialog.reject();
        });
        std::unique_ptr<CPlgView> view = document.View(m_app, index);
        PlgViewHost host = view->GetHost();
        host.viewWindow = viewWindow;
        view->AttachHost(host);
        EXPECT_EQ(view->Run(), 1);
        EXPECT_TRUE(Identical(document.pool.GetImage(), start));
    }
}

// Presses the left button at `from` and drags to `to` in the histogram widget.
void Drag(QWidget& widget, QPoint from, QPoint to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, widget.mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, widget.mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

TEST_F(LumenorViews, ThresholdDragsTheMarkerAndCancelRestoresColour)
{
    // Levels 10, 100, 200 in grey (blue, green and red equal).
    const CQvImage start = MakeImage(QV_RGB24, 3, 1, {10, 10, 10, 100, 100, 100, 200, 200, 200});
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Document document(start);
        MessageBoxes().QueueModal([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Threshold");
            const CQvImage& shown = document.pool.GetImage();
            EXPECT_EQ(shown.GetColorModel(), QV_GRAY8);
            EXPECT_EQ(Bytes(shown), (std::vector<int>{0, 0, 255}));  // at 128
            QLabel* value = Child<QLabel>(dialog, "thresholdValue");
            QWidget* histogram = Child<QWidget>(dialog, "histogram");
            ASSERT_TRUE(value && histogram);
            EXPECT_EQ(value->text(), "128");
            const int left = CThresholdHistogram::kAreaLeft;
            const int strip = CThresholdHistogram::kAreaBottom + 10;
            // A press beside the marker drags nothing.
            Drag(*histogram, QPoint(left + 60, strip), QPoint(left + 50, strip));
            EXPECT_EQ(value->text(), "128");
            Drag(*histogram, QPoint(left + 129, strip), QPoint(left + 77, strip));
            EXPECT_EQ(value->text(), "77");
            EXPECT_EQ(Bytes(shown), (std::vector<int>{0, 255, 255}));
            EXPECT_EQ(Child<QLabel>(dialog, "blackPercent")->text(), "33.33");
            EXPECT_EQ(Child<QLabel>(dialog, "whitePercent")->text(), "66.67");
            ok ? dialog.accept() : dialog.reject();
        });
        std::unique_ptr<CPlgView> view = document.View(m_app, kThreshold);
        EXPECT_EQ(view->Run(), 1);
        EXPECT_EQ(document.pool.PushCount(), 1u);
        if (ok) {
            EXPECT_EQ(Bytes(document.pool.GetImage()), (std::vector<int>{0, 255, 255}));
            ASSERT_EQ(document.pool.Undo(), 1);
        }
        EXPECT_TRUE(Identical(document.pool.GetImage(), start));
        // The next dialog starts where this one ended, after OK and after Cancel alike.
        EXPECT_EQ(ReadThresholdSetting(ThresholdSettingsPath()), 77);
        SetThresholdSettingsFolder(m_settings.path().toStdString());
        WriteThresholdSetting(ThresholdSettingsPath(), 128);
    }
}

TEST_F(LumenorViews, AThresholdSettingThatIsNoRegularFileReadsAsTheDefault)
{
    const std::string path = ThresholdSettingsPath();
    testing_support::FifoWatchdog fifo({path});
    EXPECT_EQ(ReadThresholdSetting(path), 128);
    EXPECT_EQ(fifo.Stop(), std::vector<std::string>{}) << "the dialog would have waited for a writer";
}

TEST_F(LumenorViews, ThresholdEndsAndSettingText)
{
    const std::string path = ThresholdSettingsPath();
    EXPECT_EQ(ReadThresholdSetting(path), 128);  // no file yet
    for (const auto& [text, value] : std::vector<std::pair<std::string, int>>{
             {"77", 77}, {"300\nx", 256}, {"abc", 0}, {"-5", 0}, {"12abc", 12}}) {
        std::ofstream(path) << text;
        EXPECT_EQ(ReadThresholdSetting(path), value) << text;
    }
    std::ofstream(path) << "0";
    Document document(MakeImage(QV_GRAY8, 2, 1, {0, 255}));
    MessageBoxes().QueueModal([&](QDialog& dialog) {
        EXPECT_EQ(Child<QLabel>(dialog, "thresholdValue")->text(), "0");
        EXPECT_EQ(Child<QLabel>(dialog, "whitePercent")->text(), "100.00");
        EXPECT_EQ(Bytes(document.pool.GetImage()), (std::vector<int>{255, 255}));
        auto& threshold = dynamic_cast<CThresholdDlg&>(dialog);
        threshold.SetThreshold(400);
        EXPECT_EQ(threshold.GetThreshold(), 256);
        EXPECT_EQ(Child<QLabel>(dialog, "blackPercent")->text(), "100.00");
        dialog.accept();
    });
    std::unique_ptr<CPlgView> view = document.View(m_app, kThreshold);
    EXPECT_EQ(view->Run(), 1);
    EXPECT_EQ(Bytes(document.pool.GetImage()), (std::vector<int>{0, 0}));
    std::ifstream file(path);
    std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, "256");
}

}  // namespace
