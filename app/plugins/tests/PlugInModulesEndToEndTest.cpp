// The plug-in menu as the program shows it from its own components/Plug-Ins/ folder with the real transform,
// enhance, filter and colour modules: every entry runs on an open document through the command router, one undo
// gives the image back exactly, and a cancelled dialog leaves it exactly as it was (the enhance, filter and colour
// dialogs preview on the image itself).
#include "plugins/CPlugInHost.h"

#include "program/FrameMainWindow.h"
#include "program/ProgramObjects.h"
#include "core/tests/PlugInMenuCommand.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandRouter.h"
#include "framepool/CQvFramePool.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "qvplglib/CPlgView.h"
#include "report/CReportManager.h"
#include "report/CReportPage.h"
#include "report/CReportTabBar.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"
#include "testing/MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

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
    auto* push = dialog.findChild<QAbstractButton*>(button);
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

    UINT Command(const QString& group, const QString& text) { return PlugInMenuCommand(Frame(), group, text); }

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

    // An image of mid greys with some colour, a gradient and specks: every entry has something to change. 24-bit
    // unless the entry asks for another model (8-bit grey and indexed take the pattern's first channel, 32-bit
    // adds an alpha byte).
    CVistrelDoc* NewImageDocument(const std::string& title, int model = QV_RGB24, int width = 12, int height = 9)
    {
        CVistrelDoc* doc = m_objects->App().NewDocument(title);
        CQvImage image;
        image.Create(model, width, height, 0);
        const int bpp = image.GetBitsPerPixel() / 8;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < bpp; ++c)
                    image.Get2DBuffer()[y][bpp * x + c] = static_cast<BYTE>(90 + (4 * x + 3 * y) % 120 + 7 * c);
        image.Get2DBuffer()[4][bpp * 5] = 250;
        image.Get2DBuffer()[2][bpp * 8 + (bpp > 1 ? 1 : 0)] = 5;
        if (model == QV_INDEX8) {
            RGBQUAD palette[256];
            for (int i = 0; i < 256; ++i)
                palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
            image.SetPalette(palette, 256);
        }
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
        int model = QV_RGB24;  // the document's image
    };
    const Answer cancelTorsion = [](QDialog& d) { Press(d, "2"); };
    const Answer cancelLumenor = [](QDialog& d) { PressBox(d, QDialogButtonBox::Cancel); };
    // Several filters, each from the starting image; OK keeps the last, Cancel none.
    const Answer filters = [](QDialog& d) {
        Press(d, "4003");
        Press(d, "4005");
        PressBox(d, QDialogButtonBox::Ok);
    };
    const Answer cancelFilters = [](QDialog& d) {
        Press(d, "4014");
        Press(d, "4011");
        PressBox(d, QDialogButtonBox::Cancel);
    };
    // A random table, then the other ramp: the grey image shows in colour.
    const Answer pseudoColour = [](QDialog& d) {
        Press(d, "2002");
        auto* list = d.findChild<QComboBox*>("2003");
        ASSERT_NE(list, nullptr);
        list->setCurrentIndex(1);
        PressBox(d, QDialogButtonBox::Ok);
    };
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
        {"Image Filters", "Image Filters", filters, cancelFilters},
        {"Image Filters", "Image Filters", filters, cancelFilters, QV_GRAY8},
        {"Image Filters", "Image Filters", filters, cancelFilters, QV_INDEX8},
        {"Image Filters", "Image Filters", filters, cancelFilters, QV_RGBA32},
        {"Color", "RGB to GRAY", {}, {}},
        {"Color", "RGB to GRAY", {}, {}, QV_RGBA32},
        {"Color", "RGB to GRAY", {}, {}, QV_INDEX8},
        {"Color", "Pseudo Color", pseudoColour, cancelLumenor, QV_GRAY8},
        {"Color", "Pseudo Color", pseudoColour, cancelLumenor, QV_GRAY},
    };

    // The large image's undo copies go to the program's temporary folder, and each undo comes while its file may
    // still be being written.
    int number = 0;
    for (const bool large : {false, true}) {
        for (const Entry& entry : entries) {
            SCOPED_TRACE(std::string(entry.group) + " / " + entry.text + (large ? " (large)" : ""));
            const UINT id = Command(entry.group, entry.text);
            ASSERT_NE(id, 0u) << "the menu shows the entry" << WhatTheMenuShows();
            CVistrelDoc* doc = large ? NewImageDocument("Image " + std::to_string(++number), entry.model, 1200, 1200)
                                     : NewImageDocument("Image " + std::to_string(++number), entry.model);
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
    const UINT equalize = Command("Image Enhance", "Histogram Equalize");
    const UINT flip = Command("Geometric Transform", "Flip Vertical");
    ASSERT_NE(equalize, 0u) << WhatTheMenuShows();
    ASSERT_NE(flip, 0u) << WhatTheMenuShows();
    CVistrelDoc* doc = NewImageDocument("Large", QV_RGB24, 1200, 1200);
    // Each command hands a 4 MB undo copy to the background writer; the document goes before they are written.
    for (const UINT id : {equalize, flip, equalize})
        ASSERT_TRUE(Frame().Router().Execute(id));
    ASSERT_TRUE(m_objects->Documents().CloseDocument(doc));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    CQvFramePool::WaitForUndoFiles();
    const QDir temp(m_session.root.path() + "/TEMP");
    ASSERT_TRUE(temp.exists());
    EXPECT_TRUE(temp.entryList(QDir::Files).isEmpty());
}

// The caliper keeps its settings beside the program: the file found there is put back afterwards.
class CaliperSettingsKeeper
{
public:
    CaliperSettingsKeeper()
    {
        std::ifstream file(kPath, std::ios::binary);
        m_had = file.good();
        m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    ~CaliperSettingsKeeper()
    {
        if (m_had)
            std::ofstream(kPath, std::ios::binary | std::ios::trunc) << m_bytes;
        else
            std::remove(kPath);
    }

private:
    static constexpr const char* kPath = VISTREL_PROGRAM_FOLDER "/components/Applications/DefaultSet.cst";
    bool m_had = false;
    std::string m_bytes;
};

QDialog* CaliperDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->objectName() == "5000" && dialog->isVisible())
            return dialog;
    return nullptr;
}

// The caliper from the plug-in menu on a black image with one white bar: its dialog floats at the top right; a line
// drawn across the bar with the view's mouse marks both threshold crossings on the image and lists the line in the
// document's report page, with the detailed distance in the document's units; a document opened meanwhile gets the
// caliper too; Enter (OK) ends the caliper on every document and gives each image back.
TEST_F(PlugInModulesEndToEndTest, CaliperMeasuresALineDrawnOnTheViewAndEndsWithItsDialog)
{
    const CaliperSettingsKeeper keeper;
    constexpr int kWidth = 60, kHeight = 30, kBarLeft = 18, kBarRight = 42;
    CVistrelDoc* doc = m_objects->App().NewDocument("bar");
    CQvImage bar;
    bar.Create(QV_RGB24, kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c)
                bar.Get2DBuffer()[y][3 * x + c] = x >= kBarLeft && x < kBarRight ? 255 : 0;
    doc->SetImage("bar", &bar);
    ASSERT_EQ(doc->GetCalibKeeper().SetUnitsPerPixel(0.5), 1);
    const Picture before = PictureOf(doc);
    // A second open document: the caliper attaches to it too.
    CVistrelDoc* other = NewImageDocument("Other", QV_RGB24, 40, 20);
    const Picture otherBefore = PictureOf(other);
    m_objects->Documents().ActivateDocument(doc);

    UINT command = 0;
    for (const auto& [group, item] : {std::pair{"Image Analysis", "Caliper"}, std::pair{"이미지 분석", "캘리퍼스"}})
        command = command ? command : Command(QString::fromUtf8(group), QString::fromUtf8(item));
    ASSERT_NE(command, 0u) << WhatTheMenuShows();
    Frame().Router().Execute(command);
    ASSERT_EQ(doc->ActivePlugIns().size(), 1u) << WhatTheMenuShows();
    EXPECT_EQ(other->ActivePlugIns().size(), 1u);
    QDialog* dialog = CaliperDialog();
    ASSERT_NE(dialog, nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(dialog->frameGeometry().right(), screen.right());
    EXPECT_EQ(dialog->frameGeometry().top(), screen.top());

    // Threshold crossings on, then a line drawn by two clicks on the display window.
    auto* threshold = dialog->findChild<QCheckBox*>("5012");
    ASSERT_NE(threshold, nullptr);
    threshold->setChecked(true);
    // The band 50..200 of the threshold detector, set with its spins' arrows.
    auto pressArrow = [dialog](const char* spin, const char* arrow, int times) {
        QWidget* control = dialog->findChild<QWidget*>(spin);
        ASSERT_NE(control, nullptr) << spin;
        auto* button = control->findChild<QAbstractButton*>(arrow);
        ASSERT_NE(button, nullptr) << spin << arrow;
        for (int i = 0; i < times; ++i)
            button->click();
    };
    pressArrow("5023", "up", 72);
    pressArrow("5024", "down", 78);
    EXPECT_EQ(dialog->findChild<QLineEdit*>("5021")->text(), "200");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("5022")->text(), "50");
    Press(*dialog, "5006");
    QApplication::processEvents();
    CImageDispWnd* window = doc->GetImageView()->GetDispWnd();
    CPlgView* view = doc->ActivePlugIns()[0]->view;
    ASSERT_EQ(view->ClientToImage(CPoint(5, 15)), CPoint(5, 15)) << "the image is shown at its own size";
    QTest::mouseClick(window->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 15));
    QTest::mouseClick(window->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
    QApplication::processEvents();

    // The markers in the threshold colour (green) at both edges of the bar, none at the image's sides.
    CQvImage& image = doc->GetFramePool().GetImage();
    auto greenAround = [&image](int left, int right) {
        int count = 0;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = std::max(left, 0); x < std::min(right, image.GetWidth()); ++x) {
                const BYTE* p = image.GetPixel(x, y);
                count += p[0] == 0 && p[1] == 255 && p[2] == 0 ? 1 : 0;
            }
        return count;
    };
    // (The smoothed profile enters the band a few pixels before the bar and leaves it a few pixels after.)
    EXPECT_GT(greenAround(kBarLeft - 10, kBarLeft + 4), 0) << "T0";
    EXPECT_GT(greenAround(kBarRight - 4, kBarRight + 10), 0) << "T1";
    EXPECT_EQ(greenAround(0, 3) + greenAround(kWidth - 3, kWidth), 0);

    // The caliper's tab in the report page: one row for the line, two threshold crossings.
    CReportPage* page = m_objects->App().GetReportPages()->FindPage(doc->GetImageView());
    ASSERT_TRUE(page);
    ASSERT_GE(page->mainStrip->GetTabCount(), 2);
    auto* list = qobject_cast<QTableWidget*>(page->mainStrip->GetTabWindow(page->mainStrip->GetTabCount() - 1));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->rowCount(), 1);
    ASSERT_GE(list->columnCount(), 4);
    EXPECT_EQ(list->item(0, 0)->text(), "Line - 0");
    EXPECT_EQ(list->item(0, 3)->text(), "2") << "into the band and out of it";

    // The detailed result: the crossings lie at or a little outside the 24-pixel bar, so at half a unit per pixel
    // the distance is 12 units or a little more, never the pixel count.
    dialog->findChild<QRadioButton*>("5018")->click();
    QApplication::processEvents();
    const QList<QTableWidgetItem*> thresholdRow = list->findItems("Threshold", Qt::MatchExactly);
    ASSERT_EQ(thresholdRow.size(), 1);
    const double distance = list->item(thresholdRow[0]->row(), 1)->text().toDouble();
    EXPECT_GE(distance, 12.0);
    EXPECT_LT(distance, 22.0);

    // Enter is OK: it closes the dialog and ends the caliper on every document, each with its image back.
    QTest::keyClick(dialog, Qt::Key_Return);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(doc->ActivePlugIns().empty());
    EXPECT_TRUE(other->ActivePlugIns().empty());
    EXPECT_EQ(CaliperDialog(), nullptr);
    EXPECT_TRUE(PictureOf(doc) == before);
    EXPECT_TRUE(PictureOf(other) == otherBefore);
    EXPECT_TRUE(Frame().Router().Query(command).enabled) << "the hold ends with the caliper";
}

}  // namespace

#endif  // VISTREL_PROGRAM_FOLDER
