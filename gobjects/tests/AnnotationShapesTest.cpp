// The text box and the scale bar: what a finished creation leaves, their records byte for byte, damaged records
// refused, and their pixels on a rendered surface.
#include "MarkerScene.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectScaleMarker.h"
#include "gobjects/shapes/CQvGObjectText.h"
#include "gobjects/GObjectFactory.h"
#include "gobjects/GObjectPropertySheet.h"
#include "gobjects/ui/CObjScaleMarkerPage.h"

#include "stream/LeStream.h"
#include "types/WinUser.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include <gtest/gtest.h>

using testing_support::PixelAt;

namespace {

constexpr COLORREF kRed = 0x0000FF;  // COLORREF order
constexpr QRgb kRedRgb = 0xFF0000;   // as PixelAt reports it
constexpr QRgb kWhiteRgb = 0xFFFFFF;

// Answers the sheet at once: OK with `text` as the comment, or cancelled.
void AnswerSheet(MarkerScene& s, bool ok, std::string text = {})
{
    s.container.SetPropertySheetRunner([ok, text](const GObjectSheetRequest& request) {
        if (!ok)
            return IDCANCEL;
        request.property->SetComment(text);
        return IDOK;
    });
}

// A canvas with a window, so that what the shapes post to it arrives.
struct WindowCanvas : FakeCanvas
{
    QWidget window;
    QWidget* GetWindow() override { return &window; }
};

// Pixels of the rectangle mostly of the text colour red (glyph edges are smoothed).
int Reddish(const QImage& image, const CRect& box)
{
    int count = 0;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const QRgb p = PixelAt(image, x, y);
            count += qRed(p) > 180 && qGreen(p) < 80 && qBlue(p) < 80;
        }
    return count;
}

void DeliverPosted()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Reads a record (its shape code first) into a new object of that shape; null when refused.
CQvGObject* ReadRecord(MarkerScene& s, const std::vector<uint8_t>& record)
{
    if (record.size() < 4)
        return nullptr;
    const int32_t shape = static_cast<int32_t>(record[0] | record[1] << 8 | record[2] << 16 | record[3] << 24);
    CQvGObject* obj = CreateGObject(static_cast<OBJ_SHAPE>(shape));
    if (!obj)
        return nullptr;
    obj->SetContainer(&s.container);
    TempStream in(std::vector<uint8_t>(record.begin() + 4, record.end()));
    if (!obj->Read(in.file(), 1.5f)) {
        obj->RemoveAll();
        return nullptr;
    }
    return obj;
}

}  // namespace

TEST(TextAnnotation, AcceptedSheetSizesTheBoxToTheText)
{
    MarkerScene s;
    AnswerSheet(s, true, "Hello");
    CQvGObject* drawn = s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(150, 120)});
    ASSERT_NE(drawn, nullptr);
    auto* text = dynamic_cast<CQvGObjectText*>(drawn);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetGOType(), GOTYPE_TEXT);
    EXPECT_EQ(text->GetState(), GS_FINISHED);
    EXPECT_EQ(text->DoesGetSpecificProperty(), 1);
    const CRect bound = text->RecalTextBound();
    ASSERT_GT(bound.Width(), 0);
    EXPECT_EQ(text->GetMBR(), CRect(20, 30, 20 + bound.Width(), 30 + bound.Height()));
    EXPECT_EQ(text->GetLabelCount(), 0);

    // A single click: a box of the text's size about the click.
    CQvGObject* clicked = s.Click(SHAPE_TEXT, {CPoint(100, 80), CPoint(100, 80)});
    ASSERT_EQ(clicked->GetState(), GS_FINISHED);
    const CRect box = clicked->GetMBR();
    EXPECT_EQ(box.left, 100 - bound.Width() / 2);
    EXPECT_EQ(box.top, 80 - bound.Height() / 2);
    EXPECT_EQ(box.Width(), 2 * (bound.Width() / 2));
    EXPECT_EQ(s.container.GetMainObjList().size(), 2u);
}

TEST(TextAnnotation, CancelledOrEmptyTextRemovesTheNewBox)
{
    for (bool ok : {false, true}) {
        MarkerScene s;
        WindowCanvas canvas;
        s.container.SetCanvasWnd(&canvas);
        AnswerSheet(s, ok, "");
        CQvGObject* obj = s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(80, 60)});
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->GetState(), GS_SELECTION) << ok;
        EXPECT_EQ(s.container.GetSelectedObjectCount(), 1) << ok;
        DeliverPosted();
        EXPECT_TRUE(s.container.GetMainObjList().empty()) << ok;
    }
}

TEST(TextAnnotation, ThePostedDeletionRemovesThatBoxOnlyAndOnlyWhileItExists)
{
    // The selection changed before the deletion arrives: the box goes, the newly selected line stays.
    {
        MarkerScene s;
        WindowCanvas canvas;
        s.container.SetCanvasWnd(&canvas);
        AnswerSheet(s, false);
        s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(80, 60)});
        CQvGObject* line = s.Click(SHAPE_LINE, {CPoint(10, 100), CPoint(90, 100)});
        ASSERT_NE(line, nullptr);
        s.container.SelectionMode(1);
        s.container.SelectObjects(line, 0);
        DeliverPosted();
        ASSERT_EQ(s.container.GetMainObjList().size(), 1u);
        EXPECT_EQ(s.container.GetMainObjList().front(), line);
    }
    // The box already gone (and a new one perhaps at its address): nothing is deleted.
    {
        MarkerScene s;
        WindowCanvas canvas;
        s.container.SetCanvasWnd(&canvas);
        AnswerSheet(s, false);
        s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(80, 60)});
        s.container.RemoveAll();
        AnswerSheet(s, true, "kept");
        s.container.SelectionMode(1);
        CQvGObject* kept = s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(80, 60)});
        s.container.SelectObjects(kept, 0);
        DeliverPosted();
        ASSERT_EQ(s.container.GetMainObjList().size(), 1u);
        EXPECT_EQ(s.container.GetMainObjList().front(), kept);
    }
    // The window closed first: the deletion is dropped with it.
    {
        MarkerScene s;
        auto canvas = std::make_unique<WindowCanvas>();
        s.container.SetCanvasWnd(canvas.get());
        AnswerSheet(s, false);
        s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(80, 60)});
        s.container.SetCanvasWnd(&s.canvas);
        canvas.reset();
        DeliverPosted();
        EXPECT_EQ(s.container.GetMainObjList().size(), 1u);
    }
}

TEST(TextAnnotation, DrawsItsOutlineFillAndText)
{
    MarkerScene s;
    AnswerSheet(s, true, "WWW");
    CQvGObject* obj = s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(150, 120)});
    CQvGObjectProperty& look = obj->GetProperty();
    look.SetTextColor(kRed);
    look.SetLineType(PS_SOLID);
    look.SetLineWeight(1);
    look.SetLineColor(0x00FF00);
    look.ShowFill(0);
    const CRect box = obj->GetMBR();
    QImage surface = s.Paint();
    const int midX = (box.left + box.right) / 2;
    EXPECT_EQ(PixelAt(surface, midX, box.top), 0x00FF00u);
    EXPECT_EQ(PixelAt(surface, midX, box.bottom), 0x00FF00u);
    EXPECT_GT(Reddish(surface, box), 20);
    EXPECT_EQ(Reddish(surface, CRect(0, 0, 199, box.top - 1)), 0);

    // Outline hidden and fill shown: the box is filled behind the text, no outline.
    look.ShowLine(0);
    look.ShowFill(1);
    look.SetFillColor(0xFF0000);  // blue
    surface = s.Paint();
    EXPECT_EQ(PixelAt(surface, midX, box.top), 0x0000FFu);
    EXPECT_EQ(PixelAt(surface, midX, box.bottom + 1), 0xFFFFFFu);
    EXPECT_GT(Reddish(surface, box), 20);
    // A click anywhere on the text picks it, not only on its outline.
    EXPECT_EQ(s.Pick(CPoint(midX, (box.top + box.bottom) / 2)), obj);

    // Rubber-banded: a dotted grey frame and no text.
    QImage band = testing_support::BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight);
    CDC dc(band);
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    obj->Draw(&dc, &origin, &ratio, 1);
    EXPECT_EQ(Reddish(band, box), 0);
    EXPECT_GT(testing_support::CountColour(band, 0xC8C8C8, QRect(box.left, box.top, box.Width() + 1, 1)), 2);
    EXPECT_EQ(testing_support::CountColour(band, 0x0000FF), 0);
}

TEST(TextAnnotation, MultiLineAndRotatedTextsAreMeasuredDrawnAndStored)
{
    MarkerScene s;
    AnswerSheet(s, true, "one");
    CQvGObject* single = s.Click(SHAPE_TEXT, {CPoint(10, 10), CPoint(60, 40)});
    const CRect oneLine = static_cast<CQvGObjectText*>(single)->RecalTextBound();
    AnswerSheet(s, true, "one\ntwo");
    CQvGObject* two = s.Click(SHAPE_TEXT, {CPoint(100, 10), CPoint(150, 40)});
    auto* multi = static_cast<CQvGObjectText*>(two);
    EXPECT_EQ(multi->RecalTextBound().Height(), 2 * oneLine.Height());
    EXPECT_EQ(multi->GetMBR().Height(), 2 * oneLine.Height());
    multi->GetProperty().SetTextColor(kRed);
    multi->GetProperty().ShowLine(0);
    const CRect box = multi->GetMBR();
    QImage surface = s.Paint();
    const int middle = (box.top + box.bottom) / 2;
    EXPECT_GT(Reddish(surface, CRect(box.left, box.top, box.right, middle)), 5) << "the first line";
    EXPECT_GT(Reddish(surface, CRect(box.left, middle + 1, box.right, box.bottom)), 5) << "the second line";

    // Fonts turned a quarter either way: the box is the upright text's box turned, and the word runs up or down
    // inside it.
    const CRect upright = static_cast<CQvGObjectText*>(single)->RecalTextBound();
    CQvGObject* turned = nullptr;
    for (LONG escapement : {900, 2700, -900}) {
        s.container.RemoveAll();
        s.container.SetPropertySheetRunner([escapement](const GObjectSheetRequest& request) {
            LOGFONTA font = request.property->GetFont();
            font.lfEscapement = escapement;
            request.property->SetFont(font);
            request.property->SetComment("one");
            request.property->SetTextColor(kRed);
            request.property->ShowLine(0);
            return IDOK;
        });
        turned = s.Click(SHAPE_TEXT, {CPoint(40, 40), CPoint(60, 60)});
        ASSERT_EQ(turned->GetState(), GS_FINISHED) << escapement;
        EXPECT_EQ(turned->GetMBR(), CRect(40, 40, 40 + upright.Height(), 40 + upright.Width())) << escapement;
        surface = s.Paint();
        CRect red(1000, 1000, -1, -1);
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                if (Reddish(surface, CRect(x, y, x, y))) {
                    red.left = std::min(red.left, x);
                    red.top = std::min(red.top, y);
                    red.right = std::max(red.right, x);
                    red.bottom = std::max(red.bottom, y);
                }
        ASSERT_GE(red.right, red.left) << escapement;
        EXPECT_GT(red.Height(), red.Width()) << escapement << ": the word runs up or down, not across";
        CRect within = turned->GetMBR();
        within.InflateRect(1, 1);
        EXPECT_TRUE(within.PtInRect(red.TopLeft()) && within.PtInRect(red.BottomRight()))
            << escapement << ": drawn inside its box";
    }
    const std::vector<uint8_t> record = RecordOf(turned);
    CQvGObject* back = ReadRecord(s, record);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetProperty().GetFont().lfEscapement, -900);
    EXPECT_EQ(back->GetMBR(), turned->GetMBR());
    back->RemoveAll();
}

TEST(TextAnnotation, RecordIsTheBaseRecordAndReadsBack)
{
    MarkerScene s;
    AnswerSheet(s, true, "note");
    CQvGObject* obj = s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(150, 120)});
    const std::vector<uint8_t> record = RecordOf(obj);
    // A plain rectangle with the same base fields writes the same bytes, but for its shape code.
    CQvGObjectRect rect;
    static_cast<CQvGObject&>(rect) = *obj;
    std::vector<uint8_t> expected = RecordOf(&rect);
    ASSERT_EQ(expected.size(), record.size());
    EXPECT_EQ(record[0], 38);
    expected[0] = 38;
    EXPECT_EQ(record, expected);

    CQvGObject* back = ReadRecord(s, record);
    ASSERT_NE(back, nullptr);
    EXPECT_NE(dynamic_cast<CQvGObjectText*>(back), nullptr);
    EXPECT_EQ(back->GetProperty().GetComment(), "note");
    EXPECT_EQ(back->GetMBR(), obj->GetMBR());
    EXPECT_EQ(RecordOf(back), record);
    back->RemoveAll();
}

// A text box's record carries the rectangle's calculation mask, 0xC0F (length, width, height, diagonal, area,
// circular mil): a document read and saved again gives the same bytes, the mask included, though the box itself
// reports no value.
TEST(TextAnnotation, ADocumentReadAndSavedAgainKeepsTheRectanglesCalculationMask)
{
    MarkerScene s;
    AnswerSheet(s, true, "note");
    CQvGObject* drawn = s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(150, 120)});
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->GetCalType(), 0xC0F);
    const std::vector<uint8_t> record = RecordOf(drawn);
    Bytes stream;
    stream.data = s.Stream();
    const auto at = std::search(stream.data.begin(), stream.data.end(), record.begin(), record.end());
    ASSERT_NE(at, stream.data.end());
    // The record ends: display type, mask, value kind, 4 zeros, two doubles, object kind.
    const size_t mask = static_cast<size_t>(at - stream.data.begin()) + record.size() - 32;
    stream.Put32(mask, 0xC0F);
    const std::vector<uint8_t> fixture = stream.data;
    ASSERT_EQ(std::vector<uint8_t>(fixture.begin() + mask, fixture.begin() + mask + 4),
              (std::vector<uint8_t>{0x0F, 0x0C, 0x00, 0x00}));

    ExpectStreamRoundTrip(s, fixture);
    ASSERT_EQ(s.container.GetMainObjList().size(), 1u);
    CQvGObject* read = s.container.GetMainObjList().front();
    EXPECT_EQ(read->GetCalType(), 0xC0F);
    EXPECT_TRUE(read->IsAnnotation());
    EXPECT_EQ(read->GetLabelCount(), 0);
}

namespace {

// A scene whose calibration gives a 40-pixel bar: 0.5 units per pixel, scale length 20, x10.
struct ScaleScene : MarkerScene
{
    ScaleScene()
    {
        calib.SetScaleLength(20);
        calib.SetMagnification(10.0);
    }

    CQvGObjectScaleMarker* Make(CPoint at)
    {
        container.AddObject(SHAPE_SCALE_MARKER);
        auto* marker = dynamic_cast<CQvGObjectScaleMarker*>(container.GetCreatingObject());
        if (!marker)
            return nullptr;
        marker->EnableFinishUI(0);
        marker->SetAnchor(0);
        marker->SetFollowFlag(1);
        marker->SetBarColor(kRed);
        marker->SetOrientation(1);
        marker->SetRememberedPosition(at);
        marker->ExternFinish();
        container.RepeatCreatingObject(marker);
        return marker;
    }
};

}  // namespace

TEST(ScaleMarker, SizeAndCaptionFollowTheCalibration)
{
    ScaleScene s;
    s.calib.SetScaleLength(100);
    CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetGOType(), GOTYPE_SCALE_MARKER);
    const int T = 32;  // trunc(13 x 1.2 + 17) for the default font
    EXPECT_EQ(marker->GetBarPixels(), 200);
    EXPECT_EQ(marker->GetScaleRect(), CRect(10, 10, 250, 10 + T));
    marker->SetOrientation(0);
    EXPECT_EQ(marker->GetScaleRect(), CRect(10, 10, 10 + T, 250));
    EXPECT_EQ(marker->GetCaption(), std::string("100") + CCalibKeeper::GetSymbolString(s.calib.GetUnit()) + "  x10");

    // No usable calibration: a bar of nothing, not a division by zero.
    s.calib.SetUnitsPerPixel(0.0);
    EXPECT_GE(marker->GetBarPixels(), 0);

    struct Case
    {
        double value;
        const char* text;
    };
    const Case cases[] = {{100.0, "100"},           {1.0, "1"},         {0.5, "0.5"},
                          {0.05, "0.05"},           {0.00123, "0.001"}, {0.00000001, "0.00000001"},
                          {0.000000001, "0.000000"}};
    for (const Case& c : cases)
        EXPECT_EQ(CQvGObjectScaleMarker::FormatLength(c.value), c.text) << c.value;
}

// A new marker's caption unit is the pixel. Its caption still reads the bar in the calibration's unit, an
// uncalibrated image's bar in pixels whatever unit was chosen, and "no magnification" prints none.
TEST(ScaleMarker, CaptionFollowsTheCalibrationWithoutAUnitChosenByHand)
{
    const std::string px = CCalibKeeper::GetSymbolString(UNIT_PIXEL);
    const std::string um = CCalibKeeper::GetSymbolString(UNIT_MICROMETER);
    const std::string mm = CCalibKeeper::GetSymbolString(UNIT_MILLIMETER);
    struct Case
    {
        const char* what;
        int unit;
        double unitsPerPixel;
        double magnification;
        int captionUnit;
        std::string caption;
    };
    const Case cases[] = {
        {"uncalibrated, new marker", UNIT_PIXEL, 1.0, -1.0, UNIT_PIXEL, "100" + px},
        {"uncalibrated, millimetres chosen", UNIT_PIXEL, 1.0, -1.0, UNIT_MILLIMETER, "100" + px},
        {"calibrated, new marker", UNIT_MICROMETER, 0.5, 10.0, UNIT_PIXEL, "100" + um + "  x10"},
        {"calibrated, millimetres chosen", UNIT_MICROMETER, 0.5, 10.0, UNIT_MILLIMETER, "0.1" + mm + "  x10"},
        {"calibrated without magnification", UNIT_MICROMETER, 0.5, 0.0, UNIT_PIXEL, "100" + um},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScaleScene s;
        s.calib.SetUnit(c.unit);
        s.calib.SetUnitsPerPixel(c.unitsPerPixel);
        s.calib.SetMagnification(c.magnification);
        s.calib.SetScaleLength(100);
        CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
        ASSERT_NE(marker, nullptr);
        marker->SetCaptionUnit(c.captionUnit);
        EXPECT_EQ(marker->GetCaption(), c.caption);
        EXPECT_EQ(marker->GetCaptionUnit(), c.captionUnit) << "the choice itself is kept for the file";
    }

    // What the user sees: the page offers the unit the caption is written in.
    ScaleScene s;
    s.calib.SetUnit(UNIT_MICROMETER);
    CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
    ASSERT_NE(marker, nullptr);
    marker->SetCaptionUnit(UNIT_PIXEL);
    CObjScaleMarkerPage page(marker);
    page.OnInitDialog();
    QComboBox* units = page.findChild<QComboBox*>("units");
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->currentIndex(), UNIT_MICROMETER);
}

TEST(ScaleMarker, DrawsFiveAlternatingSegmentsAndHidesWithTheScale)
{
    ScaleScene s;
    CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
    ASSERT_NE(marker, nullptr);
    marker->GetProperty().ShowFill(0);
    QImage surface = s.Paint();
    // Box (10,10)-(90,42); deflated by 2: bar from x 32, 40 pixels long, bottom 42 - 2 - 3 = 37, 7 high.
    const int y = 37 - 4;
    const QRgb expected[] = {kRedRgb, kWhiteRgb, kRedRgb, kWhiteRgb, kRedRgb};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(PixelAt(surface, 32 + 8 * i + 4, y), expected[i]) << i;
    // The bar's outline runs over the white segments too.
    EXPECT_EQ(PixelAt(surface, 44, 30), kRedRgb);
    EXPECT_EQ(PixelAt(surface, 71, 33), kRedRgb);
    EXPECT_EQ(marker->GetMBR(), CRect(10, 10, 90, 42));

    s.container.SetShowCalibrationScale(0);
    surface = s.Paint();
    EXPECT_EQ(testing_support::CountColour(surface, kRedRgb), 0);
    EXPECT_EQ(s.Pick(CPoint(50, 20)), nullptr);
    s.container.SetShowCalibrationScale(1);
    EXPECT_EQ(s.Pick(CPoint(50, 20)), marker);
}

TEST(ScaleMarker, AMovedMarkerPlacesTheNextOne)
{
    ScaleScene s;
    CQvGObjectScaleMarker* first = s.Make(CPoint(10, 10));
    ASSERT_NE(first, nullptr);
    first->MoveTo(CSize(15, 25));
    EXPECT_EQ(first->GetRememberedPosition(), CPoint(25, 35));
    s.container.AddObject(SHAPE_SCALE_MARKER);
    auto* next = dynamic_cast<CQvGObjectScaleMarker*>(s.container.GetCreatingObject());
    ASSERT_NE(next, nullptr);
    next->ExternFinish();
    EXPECT_EQ(next->GetMBR().TopLeft(), CPoint(25, 35));
    EXPECT_EQ(next->GetBarColor(), kRed);
}

TEST(ScaleMarker, PlacedAtAnchorsOrRemovedWhenItsSheetIsCancelled)
{
    ScaleScene s;
    CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
    ASSERT_NE(marker, nullptr);
    // 200 x 150 canvas, an 80 x 32 box.
    struct Case
    {
        int anchor;
        CPoint at;
    };
    const Case cases[] = {{0, {20, 20}}, {1, {60, 20}}, {2, {100, 20}}, {3, {20, 59}}, {4, {100, 59}},
                          {5, {20, 98}}, {6, {60, 98}}, {7, {100, 98}}, {8, {60, 59}}, {42, {100, 98}}};
    for (const Case& c : cases) {
        marker->SetAnchor(c.anchor);
        marker->PlaceAtAnchor();
        EXPECT_EQ(marker->GetMBR(), CRect(c.at.x, c.at.y, c.at.x + 80, c.at.y + 32)) << c.anchor;
    }
    // Without the sheet: bottom right, margin 20, and remembered for the next one.
    EXPECT_EQ(marker->SpecificNoProperty(nullptr), 1);
    EXPECT_EQ(marker->GetPoint()[0].x, 200 - 80 - 20);
    EXPECT_EQ(marker->GetPoint()[0].y, 150 - 32 - 20);
    EXPECT_EQ(marker->GetRememberedPosition(), CPoint(100, 98));
    // In image pixels whatever the window's zoom.
    s.container.SetRatio(2.0f);
    EXPECT_EQ(marker->SpecificNoProperty(nullptr), 1);
    EXPECT_EQ(marker->GetRememberedPosition(), CPoint(100, 98));
    s.container.SetRatio(1.0f);

    WindowCanvas canvas;
    s.container.SetCanvasWnd(&canvas);
    AnswerSheet(s, false);
    s.container.RemoveAll();
    CQvGObject* cancelled = s.Click(SHAPE_SCALE_MARKER, {CPoint(30, 30), CPoint(40, 40)});
    ASSERT_NE(cancelled, nullptr);
    DeliverPosted();
    EXPECT_TRUE(s.container.GetMainObjList().empty());
}

TEST(ScaleMarker, VerticalBarRunsDownTheLeftSide)
{
    ScaleScene s;
    CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
    ASSERT_NE(marker, nullptr);
    marker->SetOrientation(0);
    marker->GetProperty().ShowFill(0);
    const QImage surface = s.Paint();
    // Box (10,10)-(42,90); deflated by 2: bar x 15..22, from y 32, 40 long.
    const QRgb expected[] = {kRedRgb, kWhiteRgb, kRedRgb, kWhiteRgb, kRedRgb};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(PixelAt(surface, 18, 32 + 8 * i + 4), expected[i]) << i;
    EXPECT_EQ(marker->GetMBR(), CRect(10, 10, 42, 90));
}

TEST(AnnotationShapes, AnOverlayOfAllThreeReadsBackAsWritten)
{
    ScaleScene s;
    AnswerSheet(s, true, "two\nlines");
    s.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(150, 120)});
    s.Make(CPoint(10, 10));
    s.container.AddObject(SHAPE_IMAGE);
    auto* stamp = dynamic_cast<CQvGObjectImage*>(s.container.GetCreatingObject());
    ASSERT_NE(stamp, nullptr);
    BITMAPINFOHEADER header{40, 1, 1, 1, 24, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> dib(44, 0x5A);
    std::memcpy(dib.data(), &header, 40);
    ASSERT_EQ(stamp->SetImage(reinterpret_cast<BITMAPINFOHEADER*>(dib.data())), 1);
    stamp->CalInitialPos();
    stamp->Finish();
    s.container.RepeatCreatingObject(stamp);
    const std::vector<uint8_t> written = s.Stream();
    ExpectStreamRoundTrip(s, written);
    ASSERT_EQ(s.container.GetMainObjList().size(), 3u);
    EXPECT_NE(dynamic_cast<CQvGObjectText*>(s.container.GetMainObjList().front()), nullptr);
    EXPECT_NE(dynamic_cast<CQvGObjectScaleMarker*>(*std::next(s.container.GetMainObjList().begin())), nullptr);
}

TEST(ScaleMarker, RecordAppendsItsTenFieldsAndAlwaysStoresAnchorSevenAndTheFlag)
{
    ScaleScene s;
    CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
    ASSERT_NE(marker, nullptr);
    marker->SetOrientation(0);
    marker->SetCaptionUnit(UNIT_MILLIMETER);
    marker->SetFollowFlag(0);
    marker->SetAnchor(3);
    const std::vector<uint8_t> record = RecordOf(marker);

    CQvGObjectText base;
    static_cast<CQvGObject&>(base) = *marker;
    Bytes expected;
    expected.Add(RecordOf(&base));
    expected.AddFloat(10.0f);
    expected.Add32(0);     // vertical
    expected.Add32(kRed);  // bar colour
    expected.Add32(3);     // the third stored setting, from the drawing defaults
    expected.Add32(1);     // follow flag, always
    expected.Add32(7);     // anchor, always
    expected.Add32(20);
    expected.Add32(10);  // remembered x, y
    expected.Add32(10);
    expected.Add32(UNIT_MILLIMETER);
    ASSERT_EQ(record.size(), expected.data.size());
    for (size_t i = 0; i < record.size(); ++i)
        ASSERT_EQ(record[i], expected.data[i]) << i << " of " << record.size();
    // Saving leaves the marker on screen as it was.
    EXPECT_EQ(marker->GetAnchor(), 3);
    EXPECT_EQ(marker->GetFollowFlag(), 0);

    CQvGObject* back = ReadRecord(s, record);
    ASSERT_NE(back, nullptr);
    auto* read = dynamic_cast<CQvGObjectScaleMarker*>(back);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetOrientation(), 0);
    EXPECT_EQ(read->GetBarColor(), kRed);
    EXPECT_EQ(read->GetCaptionUnit(), UNIT_MILLIMETER);
    EXPECT_EQ(RecordOf(read), record);
    back->RemoveAll();
}

TEST(ScaleMarker, DamagedRecordsAreRefused)
{
    ScaleScene s;
    CQvGObjectScaleMarker* marker = s.Make(CPoint(10, 10));
    const std::vector<uint8_t> record = RecordOf(marker);
    const size_t tail = record.size() - 40;

    std::vector<uint8_t> shortRecord(record.begin(), record.end() - 1);
    EXPECT_EQ(ReadRecord(s, shortRecord), nullptr);

    Bytes badUnit;
    badUnit.data = record;
    badUnit.Put32(tail + 36, 99);
    EXPECT_EQ(ReadRecord(s, badUnit.data), nullptr);

    Bytes farAway;
    farAway.data = record;
    farAway.Put32(tail + 28, 0x7FFFFFFF);
    EXPECT_EQ(ReadRecord(s, farAway.data), nullptr);
}

TEST(AnnotationShapes, HostileTextAndStampRecordsLeaveTheOverlayAsItWas)
{
    // The overlay a reader must leave alone: one line.
    MarkerScene s;
    s.Click(SHAPE_LINE, {CPoint(10, 100), CPoint(90, 100)});
    const std::vector<uint8_t> before = s.Stream();

    // An overlay of a text box "noted" and a 2 x 2 stamp at 24 bits, whose fields are then damaged one at a time.
    MarkerScene w;
    AnswerSheet(w, true, "noted");
    w.Click(SHAPE_TEXT, {CPoint(20, 30), CPoint(150, 120)});
    w.container.AddObject(SHAPE_IMAGE);
    auto* stamp = dynamic_cast<CQvGObjectImage*>(w.container.GetCreatingObject());
    ASSERT_NE(stamp, nullptr);
    BITMAPINFOHEADER header{40, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0};
    std::vector<uint8_t> dib(56, 0x33);
    std::memcpy(dib.data(), &header, 40);
    ASSERT_EQ(stamp->SetImage(reinterpret_cast<BITMAPINFOHEADER*>(dib.data())), 1);
    stamp->CalInitialPos();
    stamp->Finish();
    w.container.RepeatCreatingObject(stamp);
    const std::vector<uint8_t> good = w.Stream();

    const auto find = [&good](const std::vector<uint8_t>& pattern) {
        return static_cast<size_t>(std::search(good.begin(), good.end(), pattern.begin(), pattern.end()) - good.begin());
    };
    const size_t textAt = find({'n', 'o', 't', 'e', 'd', 0}) - 4;  // the comment's length field
    const size_t dibAt = find(std::vector<uint8_t>(dib.begin(), dib.begin() + 40));
    ASSERT_LT(dibAt, good.size());
    struct Case
    {
        const char* what;
        size_t offset;
        uint32_t value;
        int bytes;
    };
    const Case cases[] = {
        {"text length past the file", textAt, 1000000, 4},
        {"text length absurd", textAt, 0x7FFFFFFF, 4},
        {"text length negative", textAt, 0xFFFFFFFF, 4},
        {"picture width beyond its rows", dibAt + 4, 1000, 4},
        {"picture height beyond its rows", dibAt + 8, 1000, 4},
        {"most negative height", dibAt + 8, 0x80000000u, 4},
        {"16 bits per pixel", dibAt + 14, 16, 2},
        {"a 16-bit palette", dibAt + 32, 0x10000, 4},
        {"bit-field masks", dibAt + 16, 3, 4},
        {"image size past the block", dibAt + 20, 0xFFFFFFFF, 4},
        {"header size", dibAt, 124, 4},
    };
    for (const Case& c : cases) {
        Bytes damaged;
        damaged.data = good;
        if (c.bytes == 2) {
            damaged.data[c.offset] = static_cast<uint8_t>(c.value);
            damaged.data[c.offset + 1] = static_cast<uint8_t>(c.value >> 8);
        } else {
            damaged.Put32(c.offset, c.value);
        }
        TempStream in(damaged.data);
        EXPECT_EQ(s.container.Read(in.file()), 0) << c.what;
        EXPECT_EQ(s.Stream(), before) << c.what;
    }
    // Undamaged, the same bytes read, and a stamp turned top-down reads too.
    ExpectStreamRoundTrip(s, good);
    Bytes topDown;
    topDown.data = good;
    topDown.Put32(dibAt + 8, static_cast<uint32_t>(-2));
    ExpectStreamRoundTrip(s, topDown.data);
}
