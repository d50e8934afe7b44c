// The overlay stream carries the window's zoom, scroll origin and canvas size. The reader takes only what a window
// could have set, so that a damaged stream cannot bring a canvas side or an origin at the ends of int into the
// painting arithmetic; and the writer bounds whatever its caller left set the same way, so that every overlay it
// writes opens again.
#include "ByteFixture.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/private/GObjectRecordLimits.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct ViewCase
{
    const char* what;
    float ratio;
    CPoint origin;
    CSize canvas;
    int read;
};

void PrintTo(const ViewCase& c, std::ostream* os)
{
    *os << c.what;
}

std::vector<uint8_t> WrittenStream(float ratio, CPoint origin, CSize canvas)
{
    CQvGObjectContainer writer;
    writer.SetAutoRepeatCreatingObject(0);
    writer.AddObject(SHAPE_POINT);
    writer.LButtonDown(0x0001, CPoint(20, 30));
    writer.SetRatio(ratio);
    writer.SetRelative(origin);
    writer.SetCanvasSize(canvas);
    TempStream out;
    EXPECT_EQ(writer.Write(out.file()), 1);
    return out.Contents();
}

// A stream whose view fields carry the case's values as they stand, written or not: ratio and origin follow the
// version at the start, the canvas size opens the nine ints that end the stream.
std::vector<uint8_t> StreamWithView(const ViewCase& c)
{
    Bytes bytes;
    bytes.data = WrittenStream(1.0f, CPoint(0, 0), CSize(800, 600));
    bytes.PutFloat(4, c.ratio);
    bytes.Put32(8, static_cast<uint32_t>(c.origin.x));
    bytes.Put32(12, static_cast<uint32_t>(c.origin.y));
    const size_t canvasAt = bytes.data.size() - 9 * 4;
    bytes.Put32(canvasAt, static_cast<uint32_t>(c.canvas.cx));
    bytes.Put32(canvasAt + 4, static_cast<uint32_t>(c.canvas.cy));
    return bytes.data;
}

class StreamViewBounds : public testing::TestWithParam<ViewCase>
{
protected:
    CQvGObjectPropertyTotal savedDefaults = g_GOPropertyTotal;
    void TearDown() override { g_GOPropertyTotal = savedDefaults; }
};

constexpr int kReach = 4 * 65536;  // kMaxOriginCanvases x kMaxCanvasSide

}  // namespace

TEST_P(StreamViewBounds, ReaderTakesOnlyWhatAWindowCouldSet)
{
    const ViewCase& c = GetParam();
    const std::vector<uint8_t> bytes = StreamWithView(c);

    CQvGObjectContainer container;
    container.SetRatio(3.0f);
    container.SetRelative(CPoint(11, 12));
    container.SetCanvasSize(CSize(640, 480));
    TempStream in(bytes);
    ASSERT_EQ(container.Read(in.file()), c.read);
    if (c.read) {
        EXPECT_EQ(container.GetRatio(), c.ratio);
        EXPECT_EQ(container.GetRelative(), c.origin);
        EXPECT_EQ(container.GetCanvasSize(), c.canvas);
        EXPECT_EQ(container.GetMainObjList().size(), 1u);
    } else {
        EXPECT_EQ(container.GetRatio(), 3.0f);
        EXPECT_EQ(container.GetRelative(), CPoint(11, 12));
        EXPECT_EQ(container.GetCanvasSize(), CSize(640, 480));
        EXPECT_TRUE(container.GetMainObjList().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, StreamViewBounds,
    testing::Values(ViewCase{"no canvas", 1.0f, CPoint(0, 0), CSize(0, 0), 1},
                    ViewCase{"largest canvas", 1.0f, CPoint(-300, 20), CSize(65536, 65536), 1},
                    ViewCase{"canvas side one too long", 1.0f, CPoint(0, 0), CSize(65537, 10), 0},
                    ViewCase{"negative canvas height", 1.0f, CPoint(0, 0), CSize(10, -1), 0},
                    ViewCase{"canvas at the end of int", 1.0f, CPoint(0, 0), CSize(INT_MIN, INT_MIN), 0},
                    ViewCase{"farthest origin", 1.0f, CPoint(-kReach, kReach), CSize(800, 600), 1},
                    ViewCase{"origin one further", 1.0f, CPoint(-kReach - 1, 0), CSize(800, 600), 0},
                    ViewCase{"origin at the end of int", 8.0f, CPoint(INT_MAX, INT_MIN), CSize(800, 600), 0},
                    ViewCase{"farthest origin at zoom 64", 64.0f, CPoint(-64 * kReach, 0), CSize(800, 600), 1},
                    ViewCase{"beyond it at zoom 64", 64.0f, CPoint(0, -64 * kReach - 1), CSize(800, 600), 0},
                    ViewCase{"any origin at a huge zoom", 1e30f, CPoint(INT_MIN, INT_MAX), CSize(800, 600), 1},
                    ViewCase{"tiny zoom keeps the bound of zoom 1", 1e-30f, CPoint(kReach + 1, 0), CSize(8, 6), 0}),
    [](const testing::TestParamInfo<ViewCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// What the writer keeps of a view its caller set, and that the result always reads back.
TEST(StreamViewWriter, BoundsTheViewSoThatTheOverlayOpensAgain)
{
    struct Case
    {
        const char* what;
        float ratio;
        CPoint origin;
        CSize canvas;
        float writtenRatio;
        CPoint writtenOrigin;
        CSize writtenCanvas;
    };
    const Case cases[] = {
        {"a view a window sets", 2.0f, CPoint(-40, 70), CSize(800, 600), 2.0f, CPoint(-40, 70), CSize(800, 600)},
        // Scrolled far at a high zoom, then zoomed out: the origin is past the reach of the new zoom.
        {"zoomed out after a far scroll", 1.0f, CPoint(5 * 65536, -6 * 65536), CSize(800, 600), 1.0f,
         CPoint(kReach, -kReach), CSize(800, 600)},
        {"origin at the ends of int", 1.0f, CPoint(INT_MAX, INT_MIN), CSize(8, 6), 1.0f, CPoint(kReach, -kReach),
         CSize(8, 6)},
        {"canvas past the largest image", 1.0f, CPoint(0, 0), CSize(70000, -5), 1.0f, CPoint(0, 0), CSize(65536, 0)},
        {"no zoom set", 0.0f, CPoint(3, 4), CSize(8, 6), 1.0f, CPoint(3, 4), CSize(8, 6)},
        {"zoom not a number", std::numeric_limits<float>::quiet_NaN(), CPoint(3, 4), CSize(8, 6), 1.0f, CPoint(3, 4),
         CSize(8, 6)},
        {"huge zoom keeps any origin", 1e30f, CPoint(INT_MIN, INT_MAX), CSize(8, 6), 1e30f, CPoint(INT_MIN, INT_MAX),
         CSize(8, 6)},
    };
    const CQvGObjectPropertyTotal savedDefaults = g_GOPropertyTotal;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempStream in(WrittenStream(c.ratio, c.origin, c.canvas));
        CQvGObjectContainer reader;
        ASSERT_EQ(reader.Read(in.file()), 1);
        EXPECT_EQ(reader.GetRatio(), c.writtenRatio);
        EXPECT_EQ(reader.GetRelative(), c.writtenOrigin);
        EXPECT_EQ(reader.GetCanvasSize(), c.writtenCanvas);
        ASSERT_EQ(reader.GetMainObjList().size(), 1u);
        const _RPOINT point = reader.GetMainObjList().front()->GetPoint()[0];
        EXPECT_EQ(point.x, 20);
        EXPECT_EQ(point.y, 30);
    }
    g_GOPropertyTotal = savedDefaults;
}
