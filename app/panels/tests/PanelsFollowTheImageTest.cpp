// The program with its real plug-in modules: what the panels show of an image follows every change to it, a
// plug-in's too (the status bar's image size after Resize and Rotate, the navigator's picture after Invert), and a
// click on an open image's thumbnail brings its window forward.
#include "program/FrameMainWindow.h"
#include "program/ProgramObjects.h"
#include "core/tests/PlugInMenuCommand.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/CommandRouter.h"
#include "panels/CThumbnailDockWnd.h"
#include "panels/CZoomDockWnd.h"
#include "panels/CZoomNavigatorWnd.h"
#include "view/CVistrelView.h"

#include "calibkeeper/CCalibKeeper.h"
#include "qvimage/CQvImage.h"
#include "testing/MessageBoxRecorder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#ifdef VISTREL_PROGRAM_FOLDER

using testing_support::MessageBoxes;

namespace {

class PanelsFollowTheImageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_session.Enter());
        MessageBoxes().Reset();
        m_objects = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()},
            std::string(VISTREL_PROGRAM_FOLDER) + "/Vistrel");
        ASSERT_TRUE(m_objects->App().InitInstance());
        Frame().resize(1200, 900);
        QApplication::processEvents();
    }

    void TearDown() override
    {
        if (m_objects) {
            m_objects->App().ExitInstance();
            m_objects.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_session.Leave();
        MessageBoxes().Reset();
    }

    CMainFrame& Frame() { return static_cast<FrameMainWindow*>(m_objects->App().GetMainWnd())->Frame(); }

    UINT Command(const QString& group, const QString& text) { return PlugInMenuCommand(Frame(), group, text); }

    CVistrelDoc* NewImageDocument(const std::string& title, int width, int height)
    {
        CVistrelDoc* doc = m_objects->App().NewDocument(title);
        CQvImage image;
        image.Create(QV_RGB24, width, height, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    image.Get2DBuffer()[y][3 * x + c] = static_cast<BYTE>(40 + 5 * x + 3 * y + 20 * c);
        doc->SetImage(title, &image);
        QApplication::processEvents();
        return doc;
    }

    std::string SizeText(CVistrelDoc* doc, int width, int height)
    {
        const double upp = doc->GetCalibKeeper().GetUnitsPerPixel();
        return FormatImageSizeText(Frame().Language(), m_objects->Profile().preferences.decimalPointRange,
                                   width * upp, height * upp);
    }

    ProgramSessionFolders m_session;
    std::unique_ptr<ProgramObjects> m_objects;
};

void SetText(QDialog& dialog, int id, const char* text)
{
    auto* edit = dialog.findChild<QLineEdit*>(QString::number(id));
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
}

void Press(QDialog& dialog, const char* button)
{
    auto* push = dialog.findChild<QPushButton*>(button);
    ASSERT_NE(push, nullptr) << button;
    push->click();
}

TEST_F(PanelsFollowTheImageTest, TheStatusBarAndTheNavigatorFollowWhatAPlugInDoesToTheImage)
{
    CVistrelDoc* doc = NewImageDocument("Specimen", 60, 45);
    ASSERT_EQ(m_objects->Documents().GetActiveDocument(), doc);
    ASSERT_EQ(Frame().PaneText(PANE_STATUS_IMAGE_SIZE), SizeText(doc, 60, 45));

    const UINT resize = Command("Geometric Transform", "Resize");
    const UINT rotate = Command("Geometric Transform", "Rotate");
    const UINT invert = Command("Image Enhance", "Invert");
    ASSERT_TRUE(resize && rotate && invert) << "the program folder holds the transform and enhance modules";

    MessageBoxes().QueueModal([](QDialog& d) {
        d.findChild<QCheckBox*>("1021")->setChecked(false);
        SetText(d, 1019, "30");
        SetText(d, 1020, "20");
        Press(d, "1");
    });
    ASSERT_TRUE(Frame().Router().Execute(resize));
    QApplication::processEvents();
    ASSERT_EQ(doc->GetImage().GetWidth(), 30);
    EXPECT_EQ(Frame().PaneText(PANE_STATUS_IMAGE_SIZE), SizeText(doc, 30, 20)) << "after Resize";

    MessageBoxes().QueueModal([](QDialog& d) {
        SetText(d, 1022, "90");
        Press(d, "1");
    });
    ASSERT_TRUE(Frame().Router().Execute(rotate));
    QApplication::processEvents();
    ASSERT_EQ(doc->GetImage().GetWidth(), 20);
    EXPECT_EQ(Frame().PaneText(PANE_STATUS_IMAGE_SIZE), SizeText(doc, 20, 30)) << "after Rotate";

    // Inverting keeps the size: the navigator must take the picture again all the same.
    auto* zoom = qobject_cast<CZoomDockWnd*>(Frame().Pane(PANE_MAGNIFIER)->widget());
    ASSERT_NE(zoom, nullptr);
    CZoomNavigatorWnd* navigator = zoom->Navigator();
    ASSERT_FALSE(navigator->FittedRect().IsRectEmpty()) << "the navigator shows the image";
    const QImage before = navigator->Render();
    ASSERT_TRUE(Frame().Router().Execute(invert));
    QApplication::processEvents();
    const QImage shown = navigator->Render();
    EXPECT_NE(shown, before) << "the inverted picture is shown";
    navigator->Rebuild(true);
    EXPECT_EQ(shown, navigator->Render()) << "what the navigator shows is the image as it is now";
}

TEST_F(PanelsFollowTheImageTest, AClickOnAnOpenImagesThumbnailBringsItsWindowForward)
{
    CVistrelDoc* first = NewImageDocument("First", 40, 30);
    CVistrelDoc* second = NewImageDocument("Second", 30, 40);
    ASSERT_EQ(m_objects->Documents().GetActiveDocument(), second);
    auto* dock = qobject_cast<CThumbnailDockWnd*>(Frame().Pane(PANE_THUMBNAILS)->widget());
    ASSERT_NE(dock, nullptr);
    CThumbnailMain* strip = dock->GetThumbnailMain();
    const std::vector<std::string> names = strip->GetNames();
    const auto tile = std::find(names.begin(), names.end(), first->DisplayName());
    ASSERT_NE(tile, names.end()) << "the first image has its thumbnail";
    QListWidgetItem* item = strip->item(static_cast<int>(tile - names.begin()));
    strip->scrollToItem(item);

    // A Ctrl click only selects.
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, Qt::ControlModifier, strip->visualItemRect(item).center());
    QApplication::processEvents();
    EXPECT_EQ(m_objects->Documents().GetActiveDocument(), second);

    QTest::mouseClick(strip->viewport(), Qt::LeftButton, Qt::NoModifier, strip->visualItemRect(item).center());
    QApplication::processEvents();
    EXPECT_EQ(m_objects->Documents().GetActiveDocument(), first);
    EXPECT_EQ(Frame().MdiArea()->activeSubWindow(), first->GetChildFrame());

    // A minimised window comes back as well.
    second->GetChildFrame()->showMinimized();
    QApplication::processEvents();
    const std::vector<std::string> now = strip->GetNames();
    const auto secondTile = std::find(now.begin(), now.end(), second->DisplayName());
    ASSERT_NE(secondTile, now.end());
    QListWidgetItem* secondItem = strip->item(static_cast<int>(secondTile - now.begin()));
    strip->scrollToItem(secondItem);
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, Qt::NoModifier, strip->visualItemRect(secondItem).center());
    QApplication::processEvents();
    EXPECT_EQ(m_objects->Documents().GetActiveDocument(), second);
    EXPECT_FALSE(second->GetChildFrame()->isMinimized());
}

}  // namespace

#endif  // VISTREL_PROGRAM_FOLDER
