// The caliper dialog driven through its widgets on the test host, and the profile graph it shows.
#include "caliper/CaliperDialog.h"
#include "caliper/CaliperStrings.h"
#include "caliper/HoverIconButton.h"
#include "caliper/ProfileView.h"
#include "caliper/ThemedTabCtrl.h"
#include "caliper/tests/CaliperHostFixture.h"

#include "testing/RenderCheck.h"
#include "ui/FileDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>

#include <fstream>
#include <iterator>

using namespace caliper;
using namespace caliper_test;
using testing_support::CountColour;
using testing_support::PixelAt;

namespace {

class CaliperDialogTest : public CaliperHost
{
protected:
    void TearDown() override
    {
        SetFileDialogHook(nullptr);
        CaliperHost::TearDown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CCaliperDialog* Dialog()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = dynamic_cast<CCaliperDialog*>(widget))
                return dialog;
        return nullptr;
    }
    template <class T>
    T* Child(const char* name)
    {
        auto* child = Dialog()->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Step(const char* spin, int delta, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            Child<CCaliperSpin>(spin)->Step(delta);
    }
    void Trigger(const char* command) { Child<QAction>(command)->trigger(); }
    // The file dialog answers with `path`.
    void AnswerFiles(const std::string& path)
    {
        SetFileDialogHook([this, path](const FileDialogRequest& request) {
            requests_.push_back(request);
            return path;
        });
    }
    std::vector<FileDialogRequest> requests_;
};

TEST_F(CaliperDialogTest, OpensWithTheFirstSessionInSelectModeAndTogglesItsSize)
{
    TestDocument doc(BarImage(40, 20, {{10, 4}}));
    Open(doc);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(Child<CHoverIconButton>("5008")->IsChecked(), 1);
    EXPECT_EQ(Child<CHoverIconButton>("5006")->IsChecked(), 0);
    EXPECT_EQ(Child<QLineEdit>("5010")->text().toStdString(), std::to_string(app_.Main().Settings().Passes()));

    Child<CHoverIconButton>("5006")->click();
    EXPECT_EQ(app_.Main().Settings().ToolMode(), 1);
    EXPECT_EQ(Child<CHoverIconButton>("5006")->IsChecked(), 1);
    EXPECT_EQ(Child<CHoverIconButton>("5008")->IsChecked(), 0);

    const QSize compact = Dialog()->size();
    Child<CHoverIconButton>("5003")->click();
    EXPECT_GT(Dialog()->height(), compact.height());
    EXPECT_TRUE(Child<CThemedTabCtrl>("tabs")->isVisible());
    Child<CHoverIconButton>("5003")->click();
    EXPECT_EQ(Dialog()->size(), compact);
}

TEST_F(CaliperDialogTest, ThresholdSpinsStopAtEachOther)
{
    TestDocument doc(BarImage(40, 20, {{10, 4}}));
    Open(doc);
    CCaliperSettings& settings = app_.Main().Settings();
    settings.SetUpperThreshold(120);
    settings.SetLowerThreshold(118);
    Dialog()->ReloadDetectors();
    Step("5023", -1, 5);
    EXPECT_EQ(settings.UpperThreshold(), 118);
    EXPECT_EQ(settings.LowerThreshold(), 118);
    EXPECT_EQ(Child<QLineEdit>("5021")->text(), "118");
    Step("5023", 1, 4);
    Step("5024", 1, 9);
    EXPECT_EQ(settings.LowerThreshold(), 122);
    EXPECT_EQ(settings.UpperThreshold(), 122);
    EXPECT_EQ(Child<QLineEdit>("5022")->text(), "122");
}

TEST_F(CaliperDialogTest, DetectorSwitchesResultModeAndSmoothingReachTheSession)
{
    TestDocument doc(BarImage(40, 20, {{10, 4}}));
    CCaliperView* view = Open(doc);
    QWidget reportPage;
    ASSERT_NE(view->CreateReportControl(&reportPage), nullptr);
    DrawLine(view, CPoint(2, 10), CPoint(30, 10));
    CCaliperSettings& settings = app_.Main().Settings();
    Child<QCheckBox>("5008")->setChecked(true);
    EXPECT_EQ(settings.Detector(kPeak), 1);
    Child<QCheckBox>("5008")->setChecked(false);
    EXPECT_EQ(settings.Detector(kPeak), 0);

    Child<QRadioButton>("5018")->setChecked(true);
    EXPECT_EQ(settings.ResultMode(), 1);
    EXPECT_EQ(view->GetReportControl()->GetWindowText(), "CALIPER_DETAIL");
    Child<QRadioButton>("5017")->setChecked(true);
    EXPECT_EQ(view->GetReportControl()->GetWindowText(), "CALIPER_MAIN");

    Step("5011", 1);
    EXPECT_EQ(settings.Passes(), Child<QLineEdit>("5010")->text().toInt());
    const CProfileAnalyzer* analyzer = app_.Main().Current()->Analyzers().Current();
    ASSERT_NE(analyzer, nullptr);
    EXPECT_EQ(analyzer->SmoothedProfile(), Smooth(analyzer->RawProfile(), settings.Passes(), settings.HalfWidth()));
}

TEST_F(CaliperDialogTest, LoadingASettingsFileRestartsTheSessionsOnlyWhenConfirmed)
{
    TestDocument doc(BarImage(40, 20, {{10, 4}}));
    CCaliperView* view = Open(doc);
    DrawLine(view, CPoint(2, 10), CPoint(30, 10));
    const int tools = app_.Main().Current()->Tools().Count();
    ASSERT_GT(tools, 0);

    // A file with no smoothing passes.
    CCaliperSettings saved;
    saved.SetPasses(0);
    const std::string path = (folder_ / "nopasses.cst").string();
    ASSERT_EQ(saved.Save(path), 1);
    AnswerFiles(path);

    SetMessageBoxHook([this](const MessageBoxRequest& request) {
        boxes_.push_back(request.text);
        return IDNO;
    });
    Trigger("32771");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], Text(kStrLoadWarning));
    EXPECT_EQ(app_.Main().Current()->Tools().Count(), tools);
    EXPECT_NE(app_.Main().Settings().Passes(), 0);

    SetMessageBoxHook([](const MessageBoxRequest&) { return IDYES; });
    Trigger("32771");
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_FALSE(requests_[1].save);
    EXPECT_EQ(requests_[1].defaultExtension, "cst");
    EXPECT_EQ(app_.Main().Current()->Tools().Count(), 0);
    EXPECT_EQ(Child<QLineEdit>("5010")->text(), "0");
    DrawLine(view, CPoint(2, 10), CPoint(30, 10));
    const CProfileAnalyzer* analyzer = app_.Main().Current()->Analyzers().Current();
    ASSERT_NE(analyzer, nullptr);
    EXPECT_EQ(analyzer->SmoothedProfile(), analyzer->RawProfile());
}

TEST_F(CaliperDialogTest, SaveWritesTheRecordAndResetBringsTheDefaults)
{
    TestDocument doc(BarImage(40, 20, {{10, 4}}));
    CCaliperView* view = Open(doc);
    CCaliperSettings& settings = app_.Main().Settings();
    Step("5011", 1, 3);
    const std::string path = (folder_ / "mine.cst").string();
    AnswerFiles(path);
    Trigger("32772");
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_TRUE(requests_[0].save);
    EXPECT_TRUE(requests_[0].overwritePrompt);
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto record = settings.Bytes();
    ASSERT_EQ(bytes.size(), record.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), reinterpret_cast<const char*>(record.data())));

    DrawLine(view, CPoint(2, 10), CPoint(30, 10));
    Trigger("32773");
    CCaliperSettings defaults;
    EXPECT_EQ(settings.Passes(), defaults.Passes());
    EXPECT_EQ(Child<QLineEdit>("5010")->text().toInt(), defaults.Passes());
    EXPECT_EQ(app_.Main().Current()->Tools().Count(), 0);
    EXPECT_EQ(&app_.Main().Current()->View(), view);
}

// OK ends every session; whatever the dialog still delivers afterwards (a queued spin step, a late click, a
// repaint of the graph) finds no session and touches none.
TEST_F(CaliperDialogTest, HandlersAfterOkTouchNoSession)
{
    TestDocument doc(BarImage(40, 20, {{10, 4}}));
    CCaliperView* view = Open(doc);
    DrawLine(view, CPoint(2, 10), CPoint(30, 10));
    CCaliperDialog* dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    QPointer<CCaliperDialog> alive(dialog);
    // The test host has no plug-in host: the views stay with the test, the sessions end.
    dialog->accept();
    EXPECT_EQ(app_.Main().SessionCount(), 0);
    ASSERT_FALSE(alive.isNull());
    dialog->findChild<CCaliperSpin*>("5011")->Step(1);
    dialog->findChild<CCaliperSpin*>("5028")->Step(1);
    dialog->findChild<CHoverIconButton*>("5005")->click();
    dialog->findChild<CHoverIconButton*>("5009")->click();
    dialog->findChild<CHoverIconButton*>("5007")->click();
    dialog->findChild<QRadioButton*>("5018")->setChecked(true);
    boxes_.clear();
    dialog->findChild<QAction*>("32773")->trigger();
    EXPECT_TRUE(boxes_.empty());
    QImage graph(dialog->ProfileView()->size(), QImage::Format_RGB32);
    dialog->ProfileView()->Draw(graph);
    dialog->RefreshProfile();
    EXPECT_EQ(dialog->ProfileView()->SampleCount(), 0);
    EXPECT_FALSE(dialog->isVisible());
}

struct StepCase
{
    double length;
    double step;
    std::vector<std::string> firstLabels;
};

class NiceSteps : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(NiceSteps, StepAndTrimmedLabels)
{
    double step = 0;
    int decimals = 0;
    ASSERT_TRUE(NiceStep(GetParam().length, step, decimals));
    EXPECT_DOUBLE_EQ(step, GetParam().step);
    for (size_t k = 0; k < GetParam().firstLabels.size(); ++k)
        EXPECT_EQ(ScaleLabel(static_cast<double>(k) * step, decimals), GetParam().firstLabels[k]);
}

INSTANTIATE_TEST_SUITE_P(Lengths, NiceSteps,
                         ::testing::Values(StepCase{100, 10, {"0", "10", "20"}}, StepCase{30, 5, {"0", "5", "10"}},
                                           StepCase{0.3, 0.05, {"0", "0.05", "0.1", "0.15"}},
                                           StepCase{7, 1, {"0", "1", "2"}}));

// A length of 0 or less (no samples, a calibration of 0 or below) has no scale instead of an endless search.
TEST(ProfileScale, NoStepForLengthsOfZeroOrLess)
{
    double step = 0;
    int decimals = 0;
    for (double length : {0.0, -0.5, -40.0})
        EXPECT_FALSE(NiceStep(length, step, decimals)) << length;
}

TEST_F(CaliperDialogTest, ProfileGraphDrawsFrameGridAndTheCurveUpToTheTopLine)
{
    // 100 samples along a horizontal line through white bars: levels 0 and 255.
    TestDocument doc(BarImage(120, 20, {{40, 20}}));
    CCaliperView* view = Open(doc);
    CCaliperSettings& settings = app_.Main().Settings();
    settings.SetPasses(0);
    settings.SetColour(kCurveColour, RGB(255, 0, 0));
    settings.SetColour(kGridColour, RGB(0, 255, 0));
    settings.SetColour(kFrameColour, RGB(0, 0, 255));
    DrawLine(view, CPoint(10, 10), CPoint(109, 10));
    CProfileView* graph = Dialog()->ProfileView();
    graph->Reload();
    ASSERT_GT(graph->SampleCount(), 0);
    QImage image(graph->size(), QImage::Format_RGB32);
    graph->Draw(image);
    const QRect area = graph->GraphArea();
    EXPECT_EQ(area, QRect(QPoint(25, 10), QPoint(294, 179)));
    // Frame: left edge and bottom line.
    EXPECT_EQ(PixelAt(image, area.left(), (area.top() + area.bottom()) / 2), 0x0000FFu);
    EXPECT_EQ(PixelAt(image, (area.left() + area.right()) / 2, area.bottom()), 0x0000FFu);
    // Grey 255 lies on the top line, grey 0 on the bottom line.
    EXPECT_GT(CountColour(image, 0xFF0000, QRect(area.left(), area.top(), area.width(), 1)), 0);
    EXPECT_GT(CountColour(image, 0xFF0000, QRect(area.left() + 1, area.bottom(), 10, 1)), 0);
    EXPECT_EQ(CountColour(image, 0xFF0000, QRect(0, 0, image.width(), area.top())), 0);
    // Horizontal grid: 11 lines at 25 grey levels each.
    const int y = area.bottom() - 25 * (area.bottom() - area.top()) / 255;
    EXPECT_EQ(PixelAt(image, area.right() - 1, y), 0x00FF00u);
    const std::string dump = (testing_support::FailureImageFolder() + "/caliper-profile.png").toStdString();
    if (HasFailure())
        image.save(QString::fromStdString(dump));
}

}  // namespace
