// The plug-in menu as the program shows it from its own components/Plug-Ins/ folder with the real transform and
// enhance modules: every entry runs on an open document through the command router, one undo gives the image back
// exactly, and a cancelled dialog leaves it exactly as it was (the enhance dialogs preview on the image itself).
#include "plugins/CPlugInHost.h"

#include "core/FrameMainWindow.h"
#include "core/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandRouter.h"
#include "framepool/CQvFramePool.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "testing/MessageBoxRecorder.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifdef VISTREL_PROGRAM_FOLDER

using testing_support::MessageBoxes;

namespace {

// The image as the user sees it: size, colour model and the pixel bytes (row padding left out).
struct Picture
{
    int width = 0;
    int height = 0;
    int model = 0;
    std::vector<BYTE> bytes;
    bool operator==(const Picture&) const = default;
};

Picture PictureOf(CVistrelDoc* doc)
{
    CQvImage& image = doc->GetFramePool().GetImage();
    Picture picture{image.GetWidth(), image.GetHeight(), image.GetColorModel(), {}};
    const int rowBytes = image.GetWidth() * image.GetBitsPerPixel() / 8;
    for (int y = 0; y < image.GetHeight(); ++y)
        picture.bytes.insert(picture.bytes.end(), image.Get2DBuffer()[y], image.Get2DBuffer()[y] + rowBytes);
    return picture;
}

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

void PressBox(QDialog& dialog, QDialogButtonBox::StandardButton which)
{
    auto* box = dialog.findChild<QDialogButtonBox*>("buttons");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->button(which), nullptr);
    box->button(which)->click();
}

class PlugInModulesEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_session.Enter());
        MessageBoxes().Reset();

        // The program folder as the build makes it. The threshold dialog keeps its setting beside its module: the
        // one found there is put back afterwards.
        std::ifstream setting(kThresholdSetting, std::ios::binary);
        m_hadThresholdSetting = setting.good();
        m_thresholdSetting.assign(std::istreambuf_iterator<char>(setting), std::istreambuf_iterator<char>());
        m_objects = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()},
            std::string(VISTREL_PROGRAM_FOLDER) + "/Vistrel");
        ASSERT_TRUE(m_objects->App().InitInstance());
    }

    void TearDown() override
    {
        if (m_objects) {
            m_objects->App().ExitInstance();
            m_objects.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (m_hadThresholdSetting)
            std::ofstream(kThresholdSetting, std::ios::binary | std::ios::trunc) << m_thresholdSetting;
        else
            std::remove(kThresholdSetting);
        m_session.Leave();
        MessageBoxes().Reset();
    }

    CMainFrame& Frame() { return static_cast<FrameMainWindow*>(m_objects->App().GetMainWnd())->Frame(); }

    // The entry's command, or 0 when the menu does not show it under its group.
    UINT Command(const QString& group, const QString& text)
    {
        for (QAction* groupAction : Frame().PluginMenu()->actions())
            if (groupAction->menu() && groupAction->text() == group)
                for (QAction* action : groupAction->menu()->actions())
                    if (action->text() == text)
                        return action->data().toUInt();
        return 0;
    }

    // The menu's groups and entries and the program's messages, for a failure to show why an entry is missing.
    std::string WhatTheMenuShows()
    {
        std::string out;
        for (QAction* g : Frame().PluginMenu()->actions()) {
            out += "[" + g->text().toStdString() + "]";
            if (g->menu())
                for (QAction* a : g->menu()->actions())
                    out += " <" + a->text().toStdString() + ">";
        }
        for (const auto& box : MessageBoxes().Boxes())
            out += "\nbox: " + box.text;
        return out;
    }

    // A 24-bit image of mid greys with some colour, a gradient and specks: every entry has something to change.
    CVistrelDoc* NewImageDocument(const std::string& title, int width = 12, int height = 9)
    {
        CVistrelDoc* doc = m_objects->App().NewDocument(title);
        CQvImage image;
        image.Create(QV_RGB24, width, height, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    image.Get2DBuffer()[y][3 * x + c] = static_cast<BYTE>(90 + (4 * x + 3 * y) % 120 + 7 * c);
        image.Get2DBuffer()[4][3 * 5] = 250;
        image.Get2DBuffer()[2][3 * 8 + 1] = 5;
        doc->SetImage(title, &image);
        return doc;
    }

    static constexpr const char* kThresholdSetting = VISTREL_PROGRAM_FOLDER "/components/Plug-Ins/ThresholdValue.txt";

    ProgramSessionFolders m_session;
    bool m_hadThresholdSetting = false;
    std::string m_thresholdSetting;
    std::unique_ptr<ProgramObjects> m_objects;
};

TEST_F(PlugInModulesEndToEndTest, EveryEntryRunsOnTheDocumentAndOneUndoGivesTheImageBack)
{
    using Answer = std::function<void(QDialog&)>;
    struct Entry
    {
        const char* group;
        const char* text;
        Answer ok;      // answers the entry's dialog with a change; none: the entry runs without one
        Answer cancel;
    };
    const Answer cancelTorsion = [](QDialog& d) { Press(d, "2"); };
    const Answer cancelLumenor = [](QDialog& d) { PressBox(d, QDialogButtonBox::Cancel); };
    const std::vector<Entry> entries = {
        {"Geometric Transform", "Resize",
         [](QDialog& d) {
             d.findChild<QCheckBox*>("1021")->setChecked(false);
             SetText(d, 1019, "20");
             SetText(d, 1020, "7");
             Press(d, "1");
         },
         cancelTorsion},
        {"Geometric Transform", "Rotate",
         [](QDialog& d) {
             SetText(d, 1022, "90");
             Press(d, "1");
         },
         cancelTorsion},
        {"Geometric Transform", "Flip Vertical", {}, {}},
        {"Geometric Transform", "Flip Horizontal", {}, {}},
        {"Geometric Transform", "Flip Both", {}, {}},
        {"Image Enhance", "Invert", {}, {}},
        {"Image Enhance", "Auto Contrast", {}, {}},
        {"Image Enhance", "Auto Level", {}, {}},
        {"Image Enhance", "Histogram Equalize", {}, {}},
        {"Image Enhance", "Remove Noise", {}, {}},
        {"Image Enhance", "Brightness Contrast",
         [](QDialog& d) {
             auto* brightness = d.findChild<QSlider*>("brightnessSlider");
             ASSERT_NE(brightness, nullptr);
             brightness->setValue(brightness->maximum() / 4);
             PressBox(d, QDialogButtonBox::Ok);
         },
         cancelLumenor},
        {"Image Enhance", "Threshold", [](QDialog& d) { PressBox(d, QDialogButtonBox::Ok); }, cancelLumenor},
    };

    // The large image's undo copies go to the program's temporary folder, and each undo comes while its file may
    // still be being written.
    int number = 0;
    for (const bool large : {false, true}) {
        for (const Entry& entry : entries) {
            SCOPED_TRACE(std::string(entry.group) + " / " + entry.text + (large ? " (large)" : ""));
            const UINT id = Command(entry.group, entry.text);
            ASSERT_NE(id, 0u) << "the menu shows the entry" << WhatTheMenuShows();
            CVistrelDoc* doc = large ? NewImageDocument("Image " + std::to_string(++number), 1200, 1200)
                                     : NewImageDocument("Image " + std::to_string(++number));
            ASSERT_EQ(m_objects->Documents().GetActiveDocument(), doc);
            const Picture before = PictureOf(doc);
            ASSERT_TRUE(Frame().Router().Query(id).enabled);

            const size_t dialogs = MessageBoxes().ModalDialogs().size();
            if (entry.ok)
                MessageBoxes().QueueModal(entry.ok);
            EXPECT_TRUE(Frame().Router().Execute(id));
            EXPECT_EQ(MessageBoxes().ModalDialogs().size(), dialogs + (entry.ok ? 1 : 0));
            EXPECT_NE(PictureOf(doc), before) << "the entry changes the image";
            doc->OnEditUndo();
            EXPECT_EQ(PictureOf(doc), before) << "one undo gives the image back";

            if (entry.cancel) {
                MessageBoxes().QueueModal(entry.cancel);
                EXPECT_TRUE(Frame().Router().Execute(id));
                EXPECT_EQ(MessageBoxes().ModalDialogs().size(), dialogs + 2);
                EXPECT_EQ(PictureOf(doc), before) << "a cancelled dialog leaves the image as it was";
            }
        }
    }
    // Every undo point was used: no undo file stays behind.
    CQvFramePool::WaitForUndoFiles();
    const QDir temp(m_session.root.path() + "/TEMP");
    ASSERT_TRUE(temp.exists());
    EXPECT_TRUE(temp.entryList(QDir::Files).isEmpty());
}

TEST_F(PlugInModulesEndToEndTest, ADocumentClosedWhileItsUndoFilesAreBeingWrittenLeavesNoneBehind)
{
    const UINT invert = Command("Image Enhance", "Invert");
    const UINT flip = Command("Geometric Transform", "Flip Vertical");
    ASSERT_NE(invert, 0u) << WhatTheMenuShows();
    ASSERT_NE(flip, 0u) << WhatTheMenuShows();
    CVistrelDoc* doc = NewImageDocument("Large", 1200, 1200);
    // Each command hands a 4 MB undo copy to the background writer; the document goes before they are written.
    for (const UINT id : {invert, flip, invert})
        ASSERT_TRUE(Frame().Router().Execute(id));
    ASSERT_TRUE(m_objects->Documents().CloseDocument(doc));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    CQvFramePool::WaitForUndoFiles();
    const QDir temp(m_session.root.path() + "/TEMP");
    ASSERT_TRUE(temp.exists());
    EXPECT_TRUE(temp.entryList(QDir::Files).isEmpty());
}

}  // namespace

#endif  // VISTREL_PROGRAM_FOLDER
