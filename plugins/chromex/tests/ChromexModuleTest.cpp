// The module as the host loads it: the contract, and both entries on the document's image with its undo.
#include "chromex/ChromexViews.h"

#include "testing/ImageBytes.h"

#include "framepool/CQvFramePool.h"
#include "qvplglib/testing/PlugInContractTest.h"
#include "testing/MessageBoxRecorder.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace plugin_contract {

INSTANTIATE_TEST_SUITE_P(Chromex, PlugInContract,
                         ::testing::Values(Case{"Chromex", CHROMEX_MODULE_PATH,
                                                {{"Color", "RGB to GRAY", 0}, {"Color", "Pseudo Color", 1}}}),
                         CaseName);

}  // namespace plugin_contract

namespace {

using namespace image_bytes;
using testing_support::MessageBoxes;

struct Document
{
    CQvFramePool pool;
    int repaints = 0;

    explicit Document(const CQvImage& image) { pool.SetImage(&image); }

    std::unique_ptr<CPlgView> View(int index)
    {
        static CColorPlgApp app;
        CPlgView* view = nullptr;
        if (!app.CreatePlgView(index, 0, &view))
            return nullptr;
        view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, [this](QWidget*) { ++repaints; }, nullptr});
        return std::unique_ptr<CPlgView>(view);
    }
};

class ChromexViews : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_palettes.isValid());
        chromex::SetPaletteFolder(m_palettes.path().toStdString());
        MessageBoxes().Reset();
    }
    void TearDown() override
    {
        chromex::SetPaletteFolder("");
        MessageBoxes().Reset();
    }
    QTemporaryDir m_palettes;
};

TEST_F(ChromexViews, RgbToGrayConvertsColourOnceAndLeavesGreyAlone)
{
    Document colour(MakeImage(QV_RGB24, 2, 1, {0, 0, 255, 255, 255, 255}));
    EXPECT_EQ(colour.View(chromex::kRgbToGray)->Run(), 1);
    EXPECT_EQ(colour.pool.GetImage().GetColorModel(), QV_GRAY8);
    EXPECT_EQ(Bytes(colour.pool.GetImage()), (std::vector<int>{54, 255}));
    EXPECT_EQ(colour.repaints, 1);
    colour.pool.Undo();
    EXPECT_EQ(colour.pool.GetImage().GetColorModel(), QV_RGB24);

    Document grey(MakeImage(QV_GRAY8, 2, 1, {3, 4}));
    EXPECT_EQ(grey.View(chromex::kRgbToGray)->Run(), 0);
    EXPECT_EQ(grey.repaints, 0);
    EXPECT_EQ(grey.pool.CanUndo(), 0) << "no undo point for a grey image";
}

TEST_F(ChromexViews, PseudoColorRefusesColourImagesWithAMessage)
{
    Document colour(MakeImage(QV_RGB24, 1, 1, {1, 2, 3}));
    EXPECT_EQ(colour.View(chromex::kPseudoColor)->Run(), 0);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, "This is not a gray image..");
    EXPECT_EQ(MessageBoxes().ModalDialogs().size(), 0u);
    EXPECT_EQ(Bytes(colour.pool.GetImage()), (std::vector<int>{1, 2, 3}));
}

TEST_F(ChromexViews, PseudoColorOkKeepsTheColourImageAndCancelRestoresTheGrey)
{
    const CQvImage start = MakeImage(QV_GRAY, 2, 1, {0, 255});
    Document ok(start);
    MessageBoxes().QueueModal([](QDialog& d) {
        d.findChild<QComboBox*>("2003")->setCurrentIndex(1);  // "Blue to Red"
        d.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(ok.View(chromex::kPseudoColor)->Run(), 1);
    EXPECT_EQ(ok.pool.GetImage().GetColorModel(), QV_RGB24);
    EXPECT_EQ(Bytes(ok.pool.GetImage()), (std::vector<int>{255, 0, 0, 0, 0, 255}));
    ok.pool.Undo();
    EXPECT_EQ(ok.pool.GetImage().GetColorModel(), QV_GRAY);
    EXPECT_EQ(Bytes(ok.pool.GetImage()), (std::vector<int>{0, 255}));

    Document cancel(start);
    MessageBoxes().QueueModal([](QDialog& d) {
        d.findChild<QPushButton*>("2002")->click();
        d.reject();
    });
    EXPECT_EQ(cancel.View(chromex::kPseudoColor)->Run(), 1);
    EXPECT_EQ(cancel.pool.GetImage().GetColorModel(), QV_GRAY);
    EXPECT_EQ(Bytes(cancel.pool.GetImage()), (std::vector<int>{0, 255}));
}

}  // namespace
