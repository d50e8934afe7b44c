// The module as the host loads it: the contract, and the sheet on the document's image with its undo.
#include "sieva/SievaViews.h"

#include "SievaTestImages.h"

#include "framepool/CQvFramePool.h"
#include "qvplglib/testing/PlugInContractTest.h"
#include "testing/MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace plugin_contract {

INSTANTIATE_TEST_SUITE_P(Sieva, PlugInContract,
                         ::testing::Values(Case{"Sieva", SIEVA_MODULE_PATH,
                                                {{"Image Filters", "Image Filters", 0}}, true}),
                         CaseName);

}  // namespace plugin_contract

namespace {

using namespace sieva_test;
using testing_support::MessageBoxes;

TEST(SievaView, CancelRestoresTheImageAndOkKeepsOnlyTheLastFilter)
{
    MessageBoxes().Reset();
    const CQvImage start = Colour({{10, 200, 30, 40}, {50, 60, 250, 80}, {90, 5, 110, 120}});
    CFilterPlgApp app;
    for (bool ok : {false, true}) {
        CQvFramePool pool;
        pool.SetImage(&start);
        int repaints = 0, resizes = 0;
        CPlgView* view = nullptr;
        ASSERT_EQ(app.CreatePlgView(7, 0, &view), 1) << "any index";
        std::unique_ptr<CPlgView> owner(view);
        view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, [&](QWidget*) { ++repaints; },
                                     [&](QWidget*) { ++resizes; }});
        CQvImage afterSharpen;
        MessageBoxes().QueueModal([&](QDialog& d) {
            d.findChild<QAbstractButton*>("4003")->click();
            d.findChild<QAbstractButton*>("4005")->click();
            d.findChild<QAbstractButton*>("4020")->click();
            afterSharpen = pool.GetImage();
            d.findChild<QDialogButtonBox*>("buttons")->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                ->click();
        });
        EXPECT_EQ(view->Run(), 1);
        EXPECT_EQ(repaints, 4);
        EXPECT_EQ(resizes, 4);
        if (ok) {
            EXPECT_EQ(Bytes(pool.GetImage()), Bytes(afterSharpen));
            EXPECT_NE(Bytes(pool.GetImage()), Bytes(start));
            ASSERT_EQ(pool.Undo(), 1);
        }
        EXPECT_EQ(pool.GetImage().GetColorModel(), start.GetColorModel());
        EXPECT_EQ(Bytes(pool.GetImage()), Bytes(start));
        EXPECT_EQ(pool.CanUndo(), 0);
    }
}

}  // namespace
