// The filter sheet driven through its widgets, without showing it.
#include "sieva/FilterKernelFile.h"
#include "sieva/FilterOps.h"
#include "sieva/FilterSheet.h"
#include "gridctrl/GridCtrl.h"

#include "SievaTestImages.h"

#include "common/IplBridge.h"
#include "testing/MessageBoxRecorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace sieva;
using namespace sieva_test;
using testing_support::MessageBoxes;

namespace {

class FilterSheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        MessageBoxes().Reset();
    }
    void TearDown() override { MessageBoxes().Reset(); }

    void Open(const CQvImage& start)
    {
        m_start = start;
        m_source.reset(QvImageToIplImage(&m_start));
        m_sheet = std::make_unique<CMainFilterSheet>(
            m_source.get(),
            [this](CQvImage&& image) {
                m_shown = std::move(image);
                ++m_shows;
            },
            m_folder.path().toStdString());
    }
    template <class T>
    T* Child(const char* name)
    {
        T* child = m_sheet->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Click(const char* name) { Child<QAbstractButton>(name)->click(); }
    // What the filter makes of the starting image by itself.
    CQvImage Expected(Filter filter, int iterations = 1)
    {
        std::unique_ptr<CQvImage> page(IplImageToQvImage(m_source.get()));
        CQvImage out;
        EXPECT_TRUE(RunFilter(filter, m_source.get(), *page, iterations, out));
        return out;
    }
    void SetCell(int row, int column, const char* text) { Child<gridctrl::CGridCtrl>("grid")->SetItemText(row + 1, column + 1, text); }

    QTemporaryDir m_folder;
    CQvImage m_start;
    IplImagePtr m_source;
    std::unique_ptr<CMainFilterSheet> m_sheet;
    CQvImage m_shown;
    int m_shows = 0;
};

CQvImage Speckled(int model)
{
    CQvImage image;
    image.Create(model, 7, 6, 0);
    const int bpp = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7 * bpp; ++x)
            image.Get2DBuffer()[y][x] = static_cast<BYTE>((x * 37 + y * 91) % 200 + 20);
    return image;
}

TEST_F(FilterSheet, EveryButtonFiltersTheStartingImageNeverTheLastResult)
{
    Open(Speckled(QV_RGB24));
    const struct
    {
        const char* id;
        Filter filter;
    } buttons[] = {
        {"4001", Filter::HiPass3x3}, {"4016", Filter::HiPass5x5},   {"4003", Filter::Gaussian3x3},
        {"4014", Filter::Gaussian5x5}, {"4018", Filter::Median},    {"4020", Filter::Sharpen},
        {"4022", Filter::Min},       {"4023", Filter::Max},         {"4012", Filter::Roberts},
        {"4005", Filter::Sobel},     {"4006", Filter::Prewitt},     {"4008", Filter::Laplacian3x3},
        {"4010", Filter::Laplacian5x5}, {"4011", Filter::Erode},    {"4013", Filter::Dilate},
        {"4015", Filter::Open},      {"4017", Filter::Close},
    };
    int shows = 0;
    for (const auto& b : buttons) {
        Click(b.id);
        EXPECT_EQ(m_shows, ++shows) << b.id;
        EXPECT_EQ(Bytes(m_shown), Bytes(Expected(b.filter))) << b.id;
        EXPECT_NE(Bytes(m_shown), Bytes(m_start)) << b.id << " changes the image";
    }
    // A click on the checked button filters again.
    Click("4017");
    EXPECT_EQ(m_shows, shows + 1);
}

TEST_F(FilterSheet, EdgePairsTurnAGreyImageIntoColourWithEqualChannels)
{
    Open(Speckled(QV_GRAY8));
    Click("4005");
    ASSERT_EQ(m_shown.GetColorModel(), QV_RGB24);
    EXPECT_EQ(Channel(m_shown, 0), Channel(m_shown, 1));
    EXPECT_EQ(Channel(m_shown, 0), Channel(m_shown, 2));
    EXPECT_NE(Channel(m_shown, 0)[2][2], 0);
    Click("4003");  // the library's filters keep grey images grey
    EXPECT_EQ(m_shown.GetColorModel(), QV_GRAY8);
}

TEST_F(FilterSheet, MovingTheCountReappliesTheCheckedOperationOnly)
{
    Open(Speckled(QV_RGB24));
    QSpinBox* count = Child<QSpinBox>("4021");
    EXPECT_EQ(count->minimum(), 1);
    EXPECT_EQ(count->maximum(), 5);
    EXPECT_TRUE(Child<QLineEdit>("4019")->isReadOnly());
    count->setValue(2);
    EXPECT_EQ(m_shows, 0) << "nothing checked: the count only changes";
    Click("4015");
    count->setValue(3);
    EXPECT_EQ(m_shows, 2);
    EXPECT_EQ(Bytes(m_shown), Bytes(Expected(Filter::Open, 3)));
}

TEST_F(FilterSheet, TheUserKernelIsTypedSizedFilteredSavedAndLoadedBack)
{
    Open(Colour({{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}}));
    gridctrl::CGridCtrl* grid = Child<gridctrl::CGridCtrl>("grid");
    ASSERT_EQ(grid->GetRowCount() - 1, 3);
    ASSERT_EQ(grid->GetColumnCount() - 1, 3);
    EXPECT_EQ(QString::fromStdString(grid->GetItemText(2, 2)), "0");
    EXPECT_EQ(Child<QLineEdit>("4024")->text(), "3");
    // The centre taken as it is, a cell that is no number counts as 0.
    SetCell(1, 1, "1");
    SetCell(0, 0, "abc");
    Click("4028");
    ASSERT_EQ(m_shows, 1);
    EXPECT_EQ(Channel(m_shown), (std::vector<std::vector<int>>{{0, 0, 0, 0}, {0, 60, 70, 0}, {0, 0, 0, 0}}));

    // Saved under a new name the dialog is given; the list shows it without its extension.
    SetCell(0, 0, "0.1111111119");
    MessageBoxes().QueueFile(m_folder.filePath("sharp.flt").toStdString());
    Click("4029");
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 1u);
    EXPECT_TRUE(MessageBoxes().FileDialogs()[0].save);
    EXPECT_EQ(MessageBoxes().FileDialogs()[0].defaultExtension, "flt");
    CFilterKernel saved;
    ASSERT_EQ(saved.Load(m_folder.filePath("sharp.flt").toStdString()), 1);
    EXPECT_EQ(saved.GetValues()[0], 1.0f / 9.0f);
    std::ofstream(m_folder.filePath("a.b.flt").toStdString(), std::ios::binary) << "";

    // A bigger kernel clears every value typed before.
    Child<QSpinBox>("4025")->setValue(4);
    EXPECT_EQ(grid->GetRowCount() - 1, 4);
    EXPECT_EQ(QString::fromStdString(grid->GetItemText(2, 2)), "0");

    // Loading puts the file's kernel back with its exact values, and the counters follow it.
    QComboBox* list = Child<QComboBox>("4030");
    list->showPopup();
    list->hidePopup();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), "a.b");
    EXPECT_EQ(list->itemText(1), "sharp");
    emit list->activated(1);
    EXPECT_EQ(grid->GetRowCount() - 1, 3);
    EXPECT_EQ(Child<QSpinBox>("4025")->value(), 3);
    EXPECT_EQ(QString::fromStdString(grid->GetItemText(2, 2)), "1");
    EXPECT_EQ(m_sheet->KernelFromGrid()[0], 1.0f / 9.0f);

    // A broken file is refused with a message and the grid stays.
    emit list->activated(0);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find("a.b.flt"), std::string::npos);
    EXPECT_EQ(grid->GetRowCount() - 1, 3);
    EXPECT_EQ(QString::fromStdString(grid->GetItemText(2, 2)), "1");
}

}  // namespace

// The kernel typed through the grid's keys: typing, F2, Enter/Tab/arrows, Esc and a spreadsheet's text pasted.
TEST_F(FilterSheet, TheKernelIsTypedThroughTheGridsKeys)
{
    Open(Colour({{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}}));
    gridctrl::CGridCtrl* grid = Child<gridctrl::CGridCtrl>("grid");
    grid->resize(160, 160);
    grid->show();
    grid->setFocus();
    QApplication::processEvents();
    const auto key = [](QWidget* to, int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_NE(to, nullptr);
        QTest::keyClick(to, static_cast<Qt::Key>(k), modifiers);
        QApplication::processEvents();
    };
    ASSERT_EQ(grid->GetFocusCell(), (gridctrl::CGridCellId{1, 1}));
    // Typed, then Tab to the next value; Right on an editor opened by typing moves on too.
    QTest::keyClicks(grid, "2");
    key(grid->Editor(), Qt::Key_Tab);
    EXPECT_EQ(grid->GetFocusCell(), (gridctrl::CGridCellId{1, 2}));
    key(grid->Editor(), Qt::Key_Escape);  // the reopened editor is left without a change
    EXPECT_EQ(grid->GetItemText(1, 2), "0");
    // F2 edits the old text; Enter commits.
    key(grid, Qt::Key_Down);
    key(grid, Qt::Key_F2);
    key(grid->Editor(), Qt::Key_Backspace);
    QTest::keyClicks(grid->Editor(), "1");
    key(grid->Editor(), Qt::Key_Return);
    EXPECT_EQ(grid->GetItemText(2, 2), "1");
    // Copy the two values of the first row, paste them as the last row from a spreadsheet's text.
    grid->SetFocusCell({1, 1});
    grid->SetSelectionStart({1, 1});
    key(grid, Qt::Key_Right, Qt::ShiftModifier);
    key(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "2\t0");
    QApplication::clipboard()->setText("0\t-1\t0\r\n");
    grid->SetFocusCell({3, 1});
    key(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(m_sheet->KernelFromGrid(), (std::vector<float>{2, 0, 0, 0, 1, 0, 0, -1, 0}));
    Click("4028");
    ASSERT_EQ(m_shows, 1);
    // |2 x top-left + centre - bottom-centre| for the inner pixels: |20 + 60 - 100| and |40 + 70 - 110|.
    EXPECT_EQ(Channel(m_shown), (std::vector<std::vector<int>>{{0, 0, 0, 0}, {0, 20, 0, 0}, {0, 0, 0, 0}}));
}
