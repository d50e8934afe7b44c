// Each named edition against every detail that follows the edition: selection grips, creation cursor, the quantity
// the axis tools report and the 2D-measurement catalogue.
#include "CQvGObject.h"
#include "CQvGObjectPropertyTotal.h"
#include "Edition.h"
#include "FiguronCursors.h"
#include "GObjectCatalogue.h"

#include "RenderCheck.h"
#include "gdi/CDC.h"

#include <gtest/gtest.h>

namespace {

struct EditionCase
{
    OEM_PRODUCT edition;
    bool yellowGrips;
    uint32_t creationCursor;
    int32_t horizontalLineQuantity;
    int tools2D;
};

class NamedEdition : public ::testing::TestWithParam<EditionCase>
{
protected:
    void SetUp() override
    {
        m_saved = g_OEMProduct;
        Destroy2DMeasureInfo();
        SetOEMProduct(GetParam().edition);
    }
    void TearDown() override
    {
        Destroy2DMeasureInfo();
        SetOEMProduct(m_saved);
    }

private:
    OEM_PRODUCT m_saved = 0;
};

}  // namespace

TEST_P(NamedEdition, ChangesWhatItIsNamedForAndNothingElse)
{
    const EditionCase& c = GetParam();
    QImage surface = testing_support::BlankSurface(20, 20);
    CDC dc(surface);
    CQvGObject::DrawGrip(&dc, CPoint(10, 10));
    EXPECT_EQ(testing_support::CountColour(surface, c.yellowGrips ? 0xFFFF00 : 0x000000), 64);
    EXPECT_EQ(CreationCursorId(), c.creationCursor);
    EXPECT_EQ(CQvGObjectPropertyTotal().GetDispType(SHAPE_HLINE), c.horizontalLineQuantity);
    ASSERT_NE(Get2DMeasureInfo(), nullptr);
    EXPECT_EQ(Get2DMeasureInfoCount(), c.tools2D);
}

INSTANTIATE_TEST_SUITE_P(
    Editions, NamedEdition,
    ::testing::Values(EditionCase{kEditionHeightWidth, true, IDC_FIGURON_CREATE_EDITION1, CAL_HEIGHT, 22},
                      EditionCase{kEditionCursor4011, false, IDC_FIGURON_CREATE_EDITION3, CAL_LENGTH, 22},
                      EditionCase{kEditionOfTheProgram, false, IDC_FIGURON_CREATE, CAL_LENGTH, 22},
                      EditionCase{kEditionWithoutDasAndCurvature, false, IDC_FIGURON_CREATE, CAL_LENGTH, 20},
                      EditionCase{kEditionEightTools, false, IDC_FIGURON_CREATE, CAL_LENGTH, 8}));
