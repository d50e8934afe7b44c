// The first-generation drivers as a user meets them in the program folder as built, with their simulated vendor
// libraries beside them: every deliverable is offered in Select Device, its live view shows moving frames and a
// capture opens a document of its size and depth; the format chosen in a driver's own dialog (the ARTRAY scan
// option's centred crop, the KH-1300 resolution) is what the next start of the program opens with.
#include "capture/ImageCapture.h"
#include "capture/tests/BuiltProgram.h"
#include "capture/tests/EventLoopWait.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/CVistrelDoc.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "program/ProgramObjects.h"
#include "view/CVistrelView.h"

#include "common/testing/FirstGenerationSims.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageViews.h"
#include "testing/MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QDialog>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#if defined(VISTREL_PROGRAM_FOLDER) && defined(ACQ_DRIVER_DIR)

namespace {

// Frames of the largest simulated sensors take a while in a sanitised build on a busy machine.
constexpr int kFrameWaitMs = 20000;

// Clicks the dialog's button (or radio button) of that object name.
void Click(QDialog& dialog, const char* name)
{
    auto* button = dialog.findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << dialog.objectName().toStdString() << " has no " << name;
    button->click();
}

class FirstGenerationProgram
{
protected:
    void Start(const FirstGenerationDeliverable& deliverable)
    {
        ASSERT_TRUE(session.Enter());
        ASSERT_TRUE(settings.isValid());
        // The drivers keep their settings here, never in the build's program folder.
        setenv("VISTREL_DRIVER_SETTINGS", settings.path().toUtf8().constData(), 1);
        testing_support::MessageBoxes().Reset();
        CImageCapture::TitleNumber() = 0;
        deliverable.Prepare(settings.path().toStdString());
        StartProgram();
    }

    void StartProgram()
    {
        program = StartBuiltProgram(session, frame);
        ASSERT_NE(program, nullptr);
    }

    void StopProgram()
    {
        StopBuiltProgram(program);
        frame = nullptr;
    }

    void Stop()
    {
        StopProgram();
        unsetenv("VISTREL_DRIVER_SETTINGS");
        session.Leave();
    }

    // The live view once it has shown a frame of the host's current size.
    CVistrelView* LiveView(int width, int height)
    {
        CVistrelView* live = nullptr;
        const bool shown = WaitUntil([&] {
            live = program->App().FindLiveView();
            if (!live || live->LiveFramesShown() < 2)
                return false;
            const CQvImage& image = live->GetDocument()->GetImage();
            return image.GetWidth() == width && image.GetHeight() == height;
        }, kFrameWaitMs);
        EXPECT_TRUE(shown) << "no live frame of " << width << " x " << height;
        return shown ? live : nullptr;
    }

    // Capture: the live view's document keeps the frame.
    CQvImage* Capture(CVistrelView* live)
    {
        CVistrelDoc* document = live->GetDocument();
        if (!frame->Router().Query(cmd::ID_ACQ_CAPTURE).enabled || !frame->Router().Execute(cmd::ID_ACQ_CAPTURE)) {
            ADD_FAILURE() << "the capture command did not run";
            return nullptr;
        }
        EXPECT_FALSE(document->IsLive());
        return &document->GetImage();
    }

    ProgramSessionFolders session;
    QTemporaryDir settings;
    std::unique_ptr<ProgramObjects> program;
    CMainFrame* frame = nullptr;
};

class FirstGenerationProgramTest : public FirstGenerationProgram,
                                   public ::testing::TestWithParam<FirstGenerationDeliverable>
{
protected:
    void SetUp() override { Start(GetParam()); }
    void TearDown() override { Stop(); }
};

TEST_P(FirstGenerationProgramTest, IsOfferedShowsMovingLiveFramesAndCapturesADocumentOfItsFormat)
{
    const FirstGenerationDeliverable& deliverable = GetParam();
    const QStringList offered = SelectDevice(*frame, QString::fromLatin1(deliverable.name));
    EXPECT_TRUE(offered.contains(QString::fromLatin1(deliverable.name))) << offered.join(", ").toStdString();
    IAcquireHost& host = program->AcquireHost();
    ASSERT_EQ(host.IsSelected(), 1) << "the simulated device opens";
    std::string server;
    host.GetCurrentServerName(server);
    EXPECT_EQ(server, deliverable.name);

    CVistrelView* live = LiveView(deliverable.width, deliverable.height);
    ASSERT_NE(live, nullptr);
    CQvImage first = live->GetDocument()->GetImage();
    const uint64_t seen = live->LiveFramesShown();
    ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > seen + 2; }, kFrameWaitMs));
    EXPECT_NE(QvImageToQImage(live->GetDocument()->GetImage()), QvImageToQImage(first)) << "the frames move";

    CQvImage* captured = Capture(live);
    ASSERT_NE(captured, nullptr);
    EXPECT_EQ(captured->GetWidth(), deliverable.width);
    EXPECT_EQ(captured->GetHeight(), deliverable.height);
    EXPECT_EQ(captured->GetBitsPerPixel(), deliverable.bitsPerPixel);
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty())
        << testing_support::MessageBoxes().Boxes().front().text;
    EXPECT_NE(program->App().FindLiveView(), nullptr) << "live video goes on in a new view";
}

INSTANTIATE_TEST_SUITE_P(Drivers, FirstGenerationProgramTest, ::testing::ValuesIn(kFirstGenerationDeliverables),
    [](const ::testing::TestParamInfo<FirstGenerationDeliverable>& info) { return std::string(info.param.label); });

// A format chosen in the driver's Device Settings dialog: the button that opens the dialog holding the choice (none:
// the settings dialog holds it), the choice's button, and the frame it gives; an ARTRAY row is the sensor's centre.
struct ChosenFormat
{
    const char* deliverable;
    const char* opener;
    const char* choice;
    int width, height;
    bool centredCrop;
};

void PrintTo(const ChosenFormat& format, std::ostream* out)
{
    *out << format.deliverable;
}

const ChosenFormat kChosenFormats[] = {
    {"Kh1300", nullptr, "resolution3006", 800, 600, false},
    {"Artray300MI", "scanOption", "row2006", 640, 480, true},
    {"Artray500PII", "scanOption", "row2006", 640, 480, true},
    {"Artray150PIII", "scanOption", "row2006", 640, 480, true},
    {"Artray", "scanOption", "row2003", 640, 480, true},
    {"Artray200SH", "scanOption", "row2006", 640, 480, true},
};

// The captured crop holds the sensor's centre: the simulated pixel's blue byte is its sensor column and its green
// byte its sensor row (both modulo 256), so a crop starting at (x0, y0) shows x0 + x across every row and y0 .. y0 +
// h - 1 down (or up) its rows.
void ExpectCentredCrop(CQvImage& captured, const FirstGenerationDeliverable& sensor)
{
    const QImage picture = QvImageToQImage(captured).convertToFormat(QImage::Format_RGB32);
    const int w = picture.width(), h = picture.height();
    const int x0 = (sensor.width - w) / 2, y0 = (sensor.height - h) / 2;
    int wrongColumns = 0, wrongRows = 0;
    for (int y : {0, h / 2, h - 1})
        for (int x = 0; x < w; ++x)
            wrongColumns += qBlue(picture.pixel(x, y)) != ((x0 + x) & 0xFF);
    const bool upright = qGreen(picture.pixel(0, 0)) == (y0 & 0xFF);
    for (int y = 0; y < h; ++y) {
        const int sensorRow = y0 + (upright ? y : h - 1 - y);
        wrongRows += qGreen(picture.pixel(w / 2, y)) != (sensorRow & 0xFF);
    }
    EXPECT_EQ(wrongColumns, 0) << "the crop starts at column " << x0;
    EXPECT_EQ(wrongRows, 0) << "the crop starts at row " << y0 << " and steps one sensor row";
}

class ChosenFormatTest : public FirstGenerationProgram, public ::testing::TestWithParam<ChosenFormat>
{
protected:
    void SetUp() override { Start(Deliverable()); }
    void TearDown() override { Stop(); }
    const FirstGenerationDeliverable& Deliverable() const
    {
        return FirstGenerationDeliverableNamed(GetParam().deliverable);
    }
};

TEST_P(ChosenFormatTest, TheFormatChosenInTheDriversDialogIsCapturedAndSurvivesARestart)
{
    const ChosenFormat& format = GetParam();
    const FirstGenerationDeliverable& deliverable = Deliverable();
    SelectDevice(*frame, QString::fromLatin1(deliverable.name));
    ASSERT_EQ(program->AcquireHost().IsSelected(), 1);
    ASSERT_NE(LiveView(deliverable.width, deliverable.height), nullptr);

    testing_support::MessageBoxes().QueueModal([&](QDialog& settingsDialog) {
        if (format.opener) {
            testing_support::MessageBoxes().QueueModal([&](QDialog& choiceDialog) {
                Click(choiceDialog, format.choice);
                Click(choiceDialog, "ok");
            });
            Click(settingsDialog, format.opener);
        } else {
            Click(settingsDialog, format.choice);
        }
        Click(settingsDialog, "ok");
    });
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_DEVICE_SETTINGS));
    int width = 0, height = 0;
    program->AcquireHost().GetWidth(width);
    program->AcquireHost().GetHeight(height);
    EXPECT_EQ(width, format.width);
    EXPECT_EQ(height, format.height);
    CVistrelView* live = LiveView(format.width, format.height);
    ASSERT_NE(live, nullptr) << "the live view follows the chosen format";
    CQvImage* captured = Capture(live);
    ASSERT_NE(captured, nullptr);
    ASSERT_EQ(captured->GetWidth(), format.width);
    ASSERT_EQ(captured->GetHeight(), format.height);
    if (format.centredCrop)
        ExpectCentredCrop(*captured, deliverable);

    // The next start of the program: the device opens with the format chosen before.
    StopProgram();
    deliverable.Prepare(settings.path().toStdString());
    StartProgram();
    SelectDevice(*frame, QString::fromLatin1(deliverable.name));
    ASSERT_EQ(program->AcquireHost().IsSelected(), 1);
    program->AcquireHost().GetWidth(width);
    program->AcquireHost().GetHeight(height);
    EXPECT_EQ(width, format.width);
    EXPECT_EQ(height, format.height);
    live = LiveView(format.width, format.height);
    ASSERT_NE(live, nullptr);
    captured = Capture(live);
    ASSERT_NE(captured, nullptr);
    EXPECT_EQ(captured->GetWidth(), format.width);
    EXPECT_EQ(captured->GetHeight(), format.height);
    if (format.centredCrop)
        ExpectCentredCrop(*captured, deliverable);
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty())
        << testing_support::MessageBoxes().Boxes().front().text;
}

INSTANTIATE_TEST_SUITE_P(Drivers, ChosenFormatTest, ::testing::ValuesIn(kChosenFormats),
    [](const ::testing::TestParamInfo<ChosenFormat>& info) { return std::string(info.param.deliverable); });

}  // namespace

#endif
