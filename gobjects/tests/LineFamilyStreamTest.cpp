// The line family in the overlay stream: every shape drawn by clicks, written, read back and written again
// byte for byte, with the same values; each record starts with its shape code and its points as doubles.
#include "ByteFixture.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "LineFamilyScene.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Drawn
{
    OBJ_SHAPE shape;
    std::vector<CPoint> clicks;
};

const Drawn kShapes[] = {
    {SHAPE_BESTFIT_LINE, {{10, 10}, {40, 22}, {70, 30}, {100, 47}}},
    {SHAPE_HLINE, {{20, 30}, {60, 90}}},
    {SHAPE_VLINE, {{25, 35}, {75, 95}}},
    {SHAPE_HLINE_POINT_TO_POINT, {{30, 40}, {90, 70}}},
    {SHAPE_VLINE_POINT_TO_POINT, {{35, 45}, {95, 75}}},
    {SHAPE_PARALLEL, {{12, 100}, {80, 120}, {50, 140}}},
};

const int32_t kQuantities[] = {CAL_LENGTH,         CAL_WIDTH,           CAL_HEIGHT,         CAL_X_ANGLE,
                               CAL_Y_ANGLE,        CAL_POSITION_START,  CAL_POSITION_CENTER, CAL_POSITION_END};

std::vector<std::string> AllValues(CQvGObjectContainer& container)
{
    std::vector<std::string> values;
    for (CQvGObject* obj : container.GetMainObjList()) {
        for (int32_t kind : kQuantities)
            values.push_back(LineFamilyScene::Text(obj, kind));
        values.push_back(obj->GetDefaultDataString());
    }
    return values;
}

class LineFamilyStream : public ::testing::Test
{
protected:
    // Reading an overlay replaces the library-wide drawing defaults.
    void SetUp() override { savedDefaults = g_GOPropertyTotal; }
    void TearDown() override { g_GOPropertyTotal = savedDefaults; }

    CQvGObjectPropertyTotal savedDefaults;
};

}  // namespace

TEST_F(LineFamilyStream, EveryShapeSurvivesAWriteAndReadByteForByte)
{
    LineFamilyScene s;
    for (const Drawn& d : kShapes) {
        ASSERT_EQ(s.container.AddObject(d.shape), 1);
        for (CPoint p : d.clicks) {
            s.container.MouseMove(s.dc.get(), 0, p);
            s.container.LButtonDown(LineFamilyScene::kLeftButton, p);
        }
        if (d.shape == SHAPE_BESTFIT_LINE)
            s.RightClick(CPoint(150, 5));
        ASSERT_EQ(s.container.GetCreatingObject()->GetState(), GS_FINISHED) << d.shape;
    }
    // An edited shape: its label dragged off on its own.
    CQvGObject* parallel = s.container.GetMainObjList().back();
    const CRect label = parallel->GetLabelObject()->GetMBR();
    s.Drag(CPoint(label.right - 1, label.bottom - 1), CPoint(label.right + 19, label.bottom + 9));
    ASSERT_NE(parallel->GetLabelObject()->GetMBR(), label);

    TempStream first;
    ASSERT_EQ(s.container.Write(first.file()), 1);
    const std::vector<uint8_t> written = first.Contents();

    LineFamilyScene reread;
    ASSERT_EQ(reread.container.Read(first.file()), 1);
    ASSERT_EQ(reread.container.GetMainObjList().size(), std::size(kShapes));
    auto it = reread.container.GetMainObjList().begin();
    for (const Drawn& d : kShapes) {
        EXPECT_EQ((*it)->GetObjShape(), d.shape);
        EXPECT_EQ((*it)->GetState(), GS_FINISHED);
        EXPECT_EQ((*it)->GetLabelCount(), 1);
        ++it;
    }
    EXPECT_EQ(AllValues(reread.container), AllValues(s.container));

    TempStream second;
    ASSERT_EQ(reread.container.Write(second.file()), 1);
    EXPECT_EQ(second.Contents(), written);
}

TEST_F(LineFamilyStream, RecordsStartWithTheShapeAndItsPoints)
{
    LineFamilyScene s;
    for (const Drawn& d : kShapes) {
        ASSERT_EQ(s.container.AddObject(d.shape), 1);
        CQvGObject* obj = s.container.GetCreatingObject();
        for (CPoint p : d.clicks) {
            s.container.MouseMove(s.dc.get(), 0, p);
            s.container.LButtonDown(LineFamilyScene::kLeftButton, p);
        }
        if (d.shape == SHAPE_BESTFIT_LINE)
            s.RightClick(CPoint(150, 5));

        Bytes expected;
        expected.Add32(static_cast<uint32_t>(d.shape));
        expected.Add32(static_cast<uint32_t>(obj->GetPointCount()));
        for (int i = 0; i < obj->GetPointCount(); ++i) {
            expected.PutDouble(expected.data.size(), obj->GetPoint()[i].x);
            expected.PutDouble(expected.data.size(), obj->GetPoint()[i].y);
        }
        expected.Add32(1);  // the value label follows
        expected.Add32(SHAPE_LABEL);

        TempStream record;
        ASSERT_EQ(obj->Write(record.file(), 1.5f), 1);
        const std::vector<uint8_t> bytes = record.Contents();
        ASSERT_GE(bytes.size(), expected.data.size()) << d.shape;
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(expected.data.size())),
                  expected.data)
            << d.shape;
        EXPECT_EQ(obj->GetPointCount(), d.shape == SHAPE_PARALLEL ? 4 : 2) << d.shape;
    }
}
