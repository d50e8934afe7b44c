#include "gobjects/CRealtimeResultObjBox.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>
#include <gtest/gtest.h>

#include <thread>

namespace {

class RealtimeResultBox : public ::testing::Test
{
protected:
    void TearDown() override { DestroyRealTimeResultBox_PZ(); }
};

}  // namespace

TEST_F(RealtimeResultBox, IsCreatedOnceHiddenAndDestroyedToNull)
{
    EXPECT_EQ(pRealtimeResultBox, nullptr);
    FeedRealtimeResultBox("12.000");  // no box: nothing happens
    HideRealtimeResultBox();

    CreateRealTimeResultBox_PZ();
    CRealtimeResultObjBox* box = pRealtimeResultBox;
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->IsWindowVisible());
    CreateRealTimeResultBox_PZ();
    EXPECT_EQ(pRealtimeResultBox, box);

    DestroyRealTimeResultBox_PZ();
    EXPECT_EQ(pRealtimeResultBox, nullptr);
    DestroyRealTimeResultBox_PZ();
}

TEST_F(RealtimeResultBox, FollowsTheCursorWithoutTakingTheFocus)
{
    QWidget imageWindow;
    imageWindow.setGeometry(0, 0, 400, 300);
    imageWindow.show();
    imageWindow.activateWindow();
    QApplication::processEvents();
    QWidget* const active = QApplication::activeWindow();
    ASSERT_EQ(active, &imageWindow);

    CreateRealTimeResultBox_PZ();
    QCursor::setPos(300, 200);
    FeedRealtimeResultBox("12.346");
    QApplication::processEvents();

    EXPECT_TRUE(pRealtimeResultBox->IsWindowVisible());
    EXPECT_EQ(pRealtimeResultBox->GetWindowRect(), CRect(310, 210, 410, 235));
    EXPECT_EQ(pRealtimeResultBox->GetText(), "12.346");
    EXPECT_EQ(QApplication::activeWindow(), active);

    QCursor::setPos(20, 40);
    FeedRealtimeResultBox("(5.00,10.00)");
    EXPECT_EQ(pRealtimeResultBox->GetWindowRect(), CRect(30, 50, 130, 75));
    EXPECT_EQ(pRealtimeResultBox->GetText(), "(5.00,10.00)");

    HideRealtimeResultBox();
    EXPECT_FALSE(pRealtimeResultBox->IsWindowVisible());
    EXPECT_EQ(pRealtimeResultBox->GetText(), "(5.00,10.00)");
}

TEST_F(RealtimeResultBox, IgnoresCallsFromOtherThreads)
{
    CreateRealTimeResultBox_PZ();
    pRealtimeResultBox->ShowText("before");
    std::thread([] {
        FeedRealtimeResultBox("from a grab thread");
        HideRealtimeResultBox();
        DestroyRealTimeResultBox_PZ();
        CreateRealTimeResultBox_PZ();
    }).join();
    ASSERT_NE(pRealtimeResultBox, nullptr);
    EXPECT_EQ(pRealtimeResultBox->GetText(), "before");
    EXPECT_FALSE(pRealtimeResultBox->IsWindowVisible());
}
