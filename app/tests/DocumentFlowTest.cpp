// A user's session through the program's own entry points: the program starts on a fresh folder, opens a PNG,
// zooms and scrolls through the commands and scroll bars, measures a line and a circle with the mouse in a
// calibrated image, saves the document file, closes it and opens it again. What comes back must be what was saved:
// the pixels, the overlay stream byte for byte, the grid, the calibration and the display preferences.
#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "testing/MessageBoxRecorder.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include <stdlib.h>

using namespace cmd;
using testing_support::MessageBoxes;

namespace {

using Bytes = std::vector<unsigned char>;

// The overlay as its stream writes it.
Bytes OverlayStream(CQvGObjectContainer& overlay)
{
    FILE* file = std::tmpfile();
    EXPECT_EQ(overlay.Write(file), 1);
    std::fflush(file);
    const long size = std::ftell(file);
    Bytes bytes(static_cast<size_t>(size > 0 ? size : 0));
    std::rewind(file);
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        bytes.clear();
    std::fclose(file);
    return bytes;
}

// Every row's pixels (the padding at the end of a row left out).
Bytes Pixels(const CQvImage& image)
{
    Bytes bytes;
    const size_t row = static_cast<size_t>(image.GetWidth()) * static_cast<size_t>(image.GetBitsPerPixel()) / 8;
    for (int y = 0; y < image.GetHeight(); ++y) {
        const BYTE* p = image.GetPixel(0, y);
        bytes.insert(bytes.end(), p, p + row);
    }
    return bytes;
}

// The grid fields the document file keeps.
struct StoredGrid
{
    int32_t show, type;
    float gap;
    double upp;
    SIZE canvas;
    LOGPEN pen, pen2;
    std::string fontName;
    int32_t ruler, tickLength;
    COLORREF color2;

    explicit StoredGrid(const CLatticer& g)
        : show(g.show), type(g.type), gap(g.gap), upp(g.upp), canvas(g.canvas), pen(g.pen), pen2(g.pen2),
          fontName(g.font.lfFaceName), ruler(g.ruler), tickLength(g.tickLength), color2(g.color2)
    {
    }
    bool operator==(const StoredGrid& o) const
    {
        return show == o.show && type == o.type && gap == o.gap && upp == o.upp && canvas.cx == o.canvas.cx &&
               canvas.cy == o.canvas.cy && std::memcmp(&pen, &o.pen, sizeof pen) == 0 &&
               std::memcmp(&pen2, &o.pen2, sizeof pen2) == 0 && fontName == o.fontName && ruler == o.ruler &&
               tickLength == o.tickLength && color2 == o.color2;
    }
};

// The preferences the document file keeps.
std::vector<int32_t> StoredPreferences(const PreferenceSettings& p)
{
    return {p.decimalPointRange, p.displayData, p.displayMark, p.displayName, p.autoColor, p.displayRealtime};
}

CCalibKeeper Calibration(const char* name, double magnification, double unitsPerPixel)
{
    CCalibKeeper calibration;
    calibration.SetName(name);
    calibration.SetUnit(UNIT_MICROMETER);
    calibration.SetMagnification(magnification);
    calibration.SetUnitsPerPixel(unitsPerPixel);
    return calibration;
}

double Quantity(CQvGObject* object, int32_t kind)
{
    tagCAL_DATA data;
    data.kind = kind;
    EXPECT_EQ(object->GetCalData(data, 0), 1) << kind;
    return data.value1;
}

class DocumentFlowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Enter());
        savedCurrent = *TheCalibrationList().GetCurrentCalibration();
        TheCalibrationList().GetItems().clear();
        MessageBoxes().Reset();
    }
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TheCalibrationList().GetItems().clear();
        *TheCalibrationList().GetCurrentCalibration() = savedCurrent;
        session.Leave();
    }

    std::string FilePath(const char* name) const { return files.filePath(QString::fromLatin1(name)).toStdString(); }

    ProgramSessionFolders session;
    QTemporaryDir files;
    CCalibKeeper savedCurrent;
};

// Clicks at image points in the display window, as the mouse does at the window's current zoom and scroll.
void ClickAt(CImageDispWnd* wnd, CPoint image, Qt::MouseButton button = Qt::LeftButton)
{
    const CPoint client = wnd->GetZoomedPoint(image);
    QTest::mouseMove(wnd->viewport(), QPoint(client.x, client.y));
    QTest::mouseClick(wnd->viewport(), button, Qt::NoModifier, QPoint(client.x, client.y));
}

// Zooms in twice through the command route (100 % -> 150 % -> 200 %), out once and in again, then scrolls
// with the scroll bars to (100, 60).
void ZoomAndScroll(CMainFrame& frame, CImageDispWnd* wnd)
{
    for (UINT id : {ID_ZOOM_IN, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_IN})
        EXPECT_TRUE(frame.Router().Execute(id)) << id;
    wnd->horizontalScrollBar()->setValue(100);
    wnd->verticalScrollBar()->setValue(60);
    QApplication::processEvents();
}

}  // namespace

TEST_F(DocumentFlowTest, AMeasuredImageSavedAsADocumentFileComesBackIdentical)
{
    // A 400x300 picture with a different value in every pixel's channels.
    QImage picture(400, 300, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF));
    const std::string png = FilePath("specimen.png");
    ASSERT_TRUE(picture.save(QString::fromStdString(png), "PNG"));

    ProgramObjects program({QStringLiteral("Vistrel"), QStringLiteral("--root"), session.root.path()},
                           "/opt/x/Vistrel");
    CVistrelApp& app = program.App();
    ASSERT_TRUE(app.InitInstance());
    auto* frame = qobject_cast<CMainFrame*>(app.GetMainWnd()->Widget());
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 900);
    QApplication::processEvents();

    // The calibration and preferences in force when the image is opened are the document's.
    TheCalibrationList().StoreCalibration(Calibration("Lens 20x", 20.0, 0.5));
    TheCalibrationList().StoreCalibration(Calibration("Lens 5x", 5.0, 2.0));
    ASSERT_TRUE(TheCalibrationList().SelectCalibration("Lens 20x", 20.0));
    const PreferenceSettings defaults = program.Profile().preferences;
    program.Profile().preferences.decimalPointRange = 2;
    program.Profile().preferences.displayName = 1;
    program.Profile().preferences.autoColor = 1;

    CVistrelDoc* doc = app.OpenDocumentFile(png);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->GetImage().GetWidth(), 400);
    ASSERT_EQ(doc->GetImage().GetHeight(), 300);
    const BYTE* bgr = doc->GetImage().GetPixel(123, 45);
    EXPECT_EQ(qRgb(bgr[2], bgr[1], bgr[0]), picture.pixel(123, 45)) << "the file's pixels are the document's";
    EXPECT_EQ(doc->GetCalibKeeper().GetName(), "Lens 20x");
    QApplication::processEvents();
    CVistrelView* view = doc->GetImageView();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
    ASSERT_TRUE(view->IsActiveView());
    CImageDispWnd* wnd = view->GetDispWnd();
    // The frame is sized to the image: at 100 % it shows whole, without scroll bars.
    EXPECT_EQ(wnd->viewport()->size(), QSize(400, 300));
    EXPECT_FALSE(wnd->horizontalScrollBar()->isVisible());

    ZoomAndScroll(*frame, wnd);
    ASSERT_FLOAT_EQ(wnd->GetRatio(), 2.0f);
    ASSERT_EQ(wnd->GetOrigin(), CPoint(-100, -60));
    EXPECT_FLOAT_EQ(doc->GetGObjectContainer().GetRatio(), 2.0f) << "the overlay follows the zoom";
    EXPECT_EQ(doc->GetGObjectContainer().GetRelative(), CPoint(-100, -60)) << "and the scrolling";

    // A line of 100 pixels (60 across, 80 down) and a circle of 60 pixels across, drawn with the mouse; a right
    // click ends each tool.
    CQvGObjectContainer& overlay = doc->GetGObjectContainer();
    EXPECT_FALSE(doc->IsModified());
    ASSERT_TRUE(doc->AddObjectOfType(SHAPE_LINE));
    ClickAt(wnd, CPoint(80, 60));
    ClickAt(wnd, CPoint(140, 140));
    ClickAt(wnd, CPoint(140, 140), Qt::RightButton);
    ASSERT_TRUE(doc->AddObjectOfType(SHAPE_CIRCLE));
    ClickAt(wnd, CPoint(150, 50));
    ClickAt(wnd, CPoint(210, 110));
    ClickAt(wnd, CPoint(210, 110), Qt::RightButton);
    QApplication::processEvents();
    ASSERT_EQ(overlay.GetMainObjList().size(), 2u);
    EXPECT_TRUE(doc->IsModified()) << "drawn objects are unsaved work";
    CQvGObject* line = overlay.GetMainObjList().front();
    CQvGObject* circle = overlay.GetMainObjList().back();
    ASSERT_EQ(line->GetObjShape(), SHAPE_LINE);
    ASSERT_EQ(circle->GetObjShape(), SHAPE_CIRCLE);

    // The values are in micrometres at 0.5 per pixel, with the document's two decimals.
    EXPECT_DOUBLE_EQ(Quantity(line, CAL_LENGTH), 50.0);
    EXPECT_DOUBLE_EQ(Quantity(circle, CAL_DIAMETER), 30.0);
    tagCAL_DATA length;
    length.kind = CAL_LENGTH;
    EXPECT_EQ(line->GetDataString(length, 0), "50.00");
    tagCAL_DATA diameter;
    diameter.kind = CAL_DIAMETER;
    EXPECT_EQ(circle->GetDataString(diameter, 0), "30.00");

    // A grid of the document's own, unlike the program's.
    CLatticer& grid = doc->GetLatticer();
    grid.Show(1);
    grid.SetType(G_CROSS | G_CIRCLES);
    grid.SetGap(25.0f);
    grid.SetLineColor(RGB(10, 200, 30));
    grid.ShowRuler(1);
    // Painting fits the grid to the image and its calibration (the spacing in pixels stays): that is the grid
    // the file keeps.
    wnd->Invalidate();
    wnd->UpdateWindow();
    EXPECT_EQ(grid.GetUPP(), 0.5);
    EXPECT_EQ(grid.GetGap(), 12.5f);
    const StoredGrid savedGrid(grid);
    const Bytes savedOverlay = OverlayStream(overlay);
    const Bytes savedPixels = Pixels(doc->GetImage());
    const std::vector<int32_t> savedPreferences = StoredPreferences(doc->GetPreferences());
    const CCalibKeeper savedCalibration = doc->GetCalibKeeper();
    ASSERT_FALSE(savedOverlay.empty());

    // Save as the document file through the document's command; the save dialog answers with the path.
    const std::string qrx = FilePath("specimen.qrx");
    MessageBoxes().QueueFile(qrx);
    ASSERT_TRUE(frame->Router().Execute(ID_FILE_SAVE_AS));
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 1u);
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << "a document file keeps the overlay apart: nothing to ask";
    ASSERT_TRUE(std::filesystem::exists(qrx));
    EXPECT_EQ(doc->GetPathName(), qrx);
    EXPECT_FALSE(doc->IsModified());

    // Close it; nothing is left to ask.
    ASSERT_TRUE(frame->Router().Execute(ID_FILE_CLOSE));
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(program.Documents().Documents().empty());
    EXPECT_TRUE(MessageBoxes().Boxes().empty());

    // The program moves on: another calibration, the default preferences, another program grid. None of it may
    // reach the document opened from the file.
    ASSERT_TRUE(TheCalibrationList().SelectCalibration("Lens 5x", 5.0));
    program.Profile().preferences = defaults;
    program.Grid().SetGap(99.0f);

    CVistrelDoc* again = app.OpenDocumentFile(qrx);
    ASSERT_NE(again, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(again->GetPathName(), qrx);
    EXPECT_FALSE(again->IsModified());
    // The view knew the overlay before the file's objects were moved in: passing the mouse over them is no edit.
    ASSERT_NE(again->GetImageView(), nullptr);
    for (const QPoint at : {QPoint(50, 50), QPoint(120, 90), QPoint(200, 150)})
        QTest::mouseMove(again->GetImageView()->GetDispWnd()->viewport(), at);
    EXPECT_FALSE(again->IsModified());
    // The overlay stream carries the window's zoom and scroll: the reopened view is brought to the same place.
    ASSERT_NE(again->GetImageView(), nullptr);
    CImageDispWnd* wndAgain = again->GetImageView()->GetDispWnd();
    ZoomAndScroll(*frame, wndAgain);
    ASSERT_EQ(wndAgain->GetOrigin(), CPoint(-100, -60));
    wndAgain->Invalidate();
    wndAgain->UpdateWindow();
    EXPECT_EQ(Pixels(again->GetImage()), savedPixels);
    EXPECT_EQ(OverlayStream(again->GetGObjectContainer()), savedOverlay);
    EXPECT_TRUE(StoredGrid(again->GetLatticer()) == savedGrid);
    EXPECT_EQ(again->GetCalibKeeper().GetName(), savedCalibration.GetName());
    EXPECT_EQ(again->GetCalibKeeper().GetMagnification(), savedCalibration.GetMagnification());
    EXPECT_EQ(again->GetCalibKeeper().GetUnitsPerPixel(), savedCalibration.GetUnitsPerPixel());
    EXPECT_EQ(again->GetCalibKeeper().GetUnit(), savedCalibration.GetUnit());
    EXPECT_EQ(StoredPreferences(again->GetPreferences()), savedPreferences);

    // The reopened objects measure as before in the reopened calibration, and the view shows them.
    CQvGObjectContainer& reopened = again->GetGObjectContainer();
    ASSERT_EQ(reopened.GetMainObjList().size(), 2u);
    EXPECT_DOUBLE_EQ(Quantity(reopened.GetMainObjList().front(), CAL_LENGTH), 50.0);
    EXPECT_DOUBLE_EQ(Quantity(reopened.GetMainObjList().back(), CAL_DIAMETER), 30.0);
    ASSERT_NE(again->GetImageView(), nullptr);
    EXPECT_TRUE(again->GetImageView()->isVisible());
    EXPECT_TRUE(MessageBoxes().Boxes().empty());

    EXPECT_EQ(app.ExitInstance(), 0);
}
