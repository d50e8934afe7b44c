// An overlay holding one of every shape the factory makes, created as a user clicks, must come back from the
// stream as it was: the same bytes when written again, the same values.
#include "EveryShapeClicks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Values(CQvGObjectContainer& container)
{
    std::vector<std::string> values;
    for (CQvGObject* obj : container.GetMainObjList())
        values.push_back(std::to_string(obj->GetObjShape()) + " " + obj->GetProperty().GetName() + " " +
                         obj->GetDefaultDataString());
    return values;
}

}  // namespace

TEST(AllShapesOverlay, IsWrittenReadAndWrittenAgainByteForByteWithTheSameValues)
{
    MarkerScene scene;
    for (const ShapeClicks& s : EveryShape()) {
        CQvGObject* obj = ClickToFinish(scene, s);
        ASSERT_NE(obj, nullptr) << s.shape;
        ASSERT_EQ(obj->GetState(), GS_FINISHED) << s.shape;
    }
    ASSERT_EQ(scene.container.GetMainObjList().size(), EveryShape().size());
    scene.Paint();
    const std::vector<std::string> values = Values(scene.container);
    const std::vector<uint8_t> written = scene.Stream();

    MarkerScene reloaded;
    TempStream in(written);
    ASSERT_EQ(reloaded.container.Read(in.file()), 1);
    EXPECT_EQ(Values(reloaded.container), values);
    // A label learns from its owner's paint whether its symbol is squared, which sets its width: the program paints
    // what it reads before anyone saves it again.
    reloaded.Paint();
    EXPECT_EQ(reloaded.Stream(), written);
}
