// The overlay stream carries the window's zoom, scroll origin and canvas size. A container writes whatever its
// caller set; the reader takes only what a window could have set, so that a damaged stream cannot bring a canvas
// side or an origin at the ends of int into the painting arithmetic.
#include "ByteFixture.h"
#include "CQvGObjectContainer.h"
#include "CQvGObjectPropertyTotal.h"
#include "GObjectRecordLimits.h"

#include <gtest/gtest.h>

#include <climits>
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

std::vector<uint8_t> StreamWithView(const ViewCase& c)
{
    CQvGObjectContainer writer;
    writer.SetAutoRepeatCreatingObject(0);
    writer.AddObject(SHAPE_POINT);
    writer.LButtonDown(0x0001, CPoint(20, 30));
    writer.SetRatio(c.ratio);
    writer.SetRelative(c.origin);
    writer.SetCanvasSize(c.canvas);
    TempStream out;
    EXPECT_EQ(writer.Write(out.file()), 1);
    return out.Contents();
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
