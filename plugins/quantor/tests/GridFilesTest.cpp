#include "quantor/GridFiles.h"

#include "quantor/tests/GridBytes.h"

#include <gtest/gtest.h>

#include <string>

using namespace quantor;
using quantor_test::Bytes;

namespace {

bool Load(const std::vector<uint8_t>& bytes, char letter, GridScene& scene)
{
    return LoadSurfaceFile(bytes.data(), bytes.size(), letter, scene);
}

std::vector<uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

GridScene SceneWithOneGrid()
{
    GridScene scene;
    EXPECT_TRUE(Load(quantor_test::MultiGridFile('C', 1, 3, 2), 'C', scene));
    return scene;
}

}  // namespace

TEST(GridFiles, SurferBinaryIsNormalisedWhateverItsTag)
{
    for (const char* tag : {"DSBB", "\xFF\xFF\xFF\xFF"}) {
        auto file = quantor_test::SurferBinaryFile(3, 2);
        std::memcpy(file.data(), tag, 4);
        GridScene scene;
        scene.m_nColorSource = 1;
        ASSERT_TRUE(Load(file, 'B', scene)) << tag;
        ASSERT_EQ(scene.m_arrGrids.size(), 1u);
        const GridData& g = scene.m_arrGrids[0];
        EXPECT_EQ(g.m_strName.Text(), "Surfer Binary File");
        EXPECT_EQ(scene.m_nColorSource, 0);
        EXPECT_EQ(g.m_pCoordX, (std::vector<float>{-0.5f, 0.0f, 0.5f}));
        EXPECT_EQ(g.m_pCoordY, (std::vector<float>{-0.5f, 0.5f}));
        // Heights 10..15 over z 10..20.
        ASSERT_EQ(g.m_pCoordZ.size(), 6u);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_FLOAT_EQ(g.m_pCoordZ[i], 0.1f * static_cast<float>(i) - 0.5f) << i;
        EXPECT_FLOAT_EQ(g.m_fMaxZ, 20.0f);
    }
}

TEST(GridFiles, SurferTextMatchesTheBinaryGrid)
{
    GridScene text, binary;
    ASSERT_TRUE(Load(Text("DSAA\n3 2\n0 9\n0 9\n10 20\n10 11 12\n13 14 15\n"), 'A', text));
    ASSERT_TRUE(Load(quantor_test::SurferBinaryFile(3, 2), 'B', binary));
    EXPECT_EQ(text.m_arrGrids[0].m_strName.Text(), "Surfer text File");
    EXPECT_EQ(text.m_arrGrids[0].m_pCoordZ, binary.m_arrGrids[0].m_pCoordZ);
    EXPECT_EQ(text.m_arrGrids[0].m_pCoordX, binary.m_arrGrids[0].m_pCoordX);
}

TEST(GridFiles, MultiGridHeightsPerGridOrSharedWithValues)
{
    GridScene c;
    ASSERT_TRUE(Load(quantor_test::MultiGridFile('C', 2, 3, 2), 'C', c));
    EXPECT_EQ(c.m_nColorSource, 0);
    ASSERT_EQ(c.m_arrGrids.size(), 2u);
    EXPECT_EQ(c.m_arrGrids[0].m_strName.Text(), "grid0");  // cut at the line break
    EXPECT_EQ(c.m_arrGrids[1].m_strName.Text(), "grid1");
    EXPECT_FLOAT_EQ(c.m_arrGrids[0].m_fMaxX, 20.0f);
    EXPECT_FLOAT_EQ(c.m_arrGrids[0].m_fMaxY, 100.0f);
    // Grid 1's heights run 1..4 (i + j + 1): node (1, 0) is 2.
    EXPECT_FLOAT_EQ(c.m_arrGrids[1].m_fMinZ, 1.0f);
    EXPECT_FLOAT_EQ(c.m_arrGrids[1].m_pCoordZ[1], (2.0f - 1.0f) / 3.0f - 0.5f);
    EXPECT_TRUE(c.m_arrGrids[0].m_pValues.empty());

    GridScene d;
    ASSERT_TRUE(Load(quantor_test::MultiGridFile('D', 2, 3, 2), 'D', d));
    EXPECT_EQ(d.m_nColorSource, 1);
    const GridData& g = d.m_arrGrids[1];
    EXPECT_EQ(g.m_nValueKind, 1);
    EXPECT_EQ(g.m_pCoordZ, d.m_arrGrids[0].m_pCoordZ);  // shared heights
    EXPECT_FLOAT_EQ(g.m_fMinV, 2.0f);
    EXPECT_FLOAT_EQ(g.m_fMaxV, 5.0f);
    EXPECT_FLOAT_EQ(g.m_pValues[5], 0.5f);
}

TEST(GridFiles, VolumeKindsTakeTheirZAndValues)
{
    GridScene e, f, other;
    const auto fileE = quantor_test::VolumeFile('E', 1, 2, 2, 3);
    ASSERT_TRUE(LoadVolume(fileE.data(), fileE.size(), 'E', e));
    EXPECT_EQ(e.m_nColorSource, kVolumeLayers);
    EXPECT_EQ(e.m_arrGrids[0].m_nPlotKind, 3);
    EXPECT_EQ(e.m_arrGrids[0].m_pCoordZ, (std::vector<float>{-0.5f, 0.0f, 0.5f}));  // one z per layer
    EXPECT_FLOAT_EQ(e.m_arrGrids[0].m_fMaxV, 4.0f);

    const auto fileF = quantor_test::VolumeFile('F', 1, 2, 2, 3);
    ASSERT_TRUE(LoadVolume(fileF.data(), fileF.size(), 'F', f));
    EXPECT_EQ(f.m_nColorSource, kVolumeNumbered);
    EXPECT_EQ(f.m_arrGrids[0].m_pCoordZ.size(), 12u);
    EXPECT_FLOAT_EQ(f.m_arrGrids[0].m_fMinV, 1.0f);  // layers numbered 1..3
    EXPECT_FLOAT_EQ(f.m_arrGrids[0].m_fMaxV, 3.0f);

    const auto fileX = quantor_test::VolumeFile('X', 2, 2, 2, 3);
    ASSERT_TRUE(LoadVolume(fileX.data(), fileX.size(), 'X', other));
    EXPECT_EQ(other.m_nColorSource, kVolumeNodes);
    EXPECT_EQ(other.m_arrGrids[1].m_nPlotKind, 5);
    EXPECT_FLOAT_EQ(other.m_arrGrids[1].m_fMaxV, 5.0f);
}

TEST(GridFiles, HostileFilesAreRefusedAndChangeNothing)
{
    auto shortSurfer = quantor_test::SurferBinaryFile(3, 2);
    shortSurfer.pop_back();
    auto longSurfer = quantor_test::SurferBinaryFile(3, 2);
    longSurfer.push_back(0);
    auto nanSurfer = quantor_test::SurferBinaryFile(3, 2);
    std::memset(nanSurfer.data() + 56, 0xFF, 4);
    auto hugeMulti = quantor_test::MultiGridFile('C', 1, 3, 2);
    hugeMulti[36] = 0xFF, hugeMulti[37] = 0xFF, hugeMulti[38] = 0xFF, hugeMulti[39] = 0x7F;
    auto negativeGrids = quantor_test::MultiGridFile('C', 1, 3, 2);
    negativeGrids[3] = 0x80;
    const std::pair<std::vector<uint8_t>, char> cases[] = {
        {quantor_test::SurferBinaryFile(-3, 2), 'B'},
        {quantor_test::SurferBinaryFile(1, 2), 'B'},  // one node along x would divide by zero
        {shortSurfer, 'B'},
        {longSurfer, 'B'},
        {nanSurfer, 'B'},
        {{}, 'B'},
        {Text("DSAA\n3 2\n0 9\n0 9\n10 20\n10 11 12\n13 14\n"), 'A'},
        {Text("DSAA\n100000 100000\n0 9\n0 9\n10 20\n1\n"), 'A'},
        {Text("DSAA\n3 2\n0 9\n0 9\n10 20\n10 11 12\n13 14 nan\n"), 'A'},
        {hugeMulti, 'C'},
        {negativeGrids, 'C'},
        {quantor_test::MultiGridFile('C', 2, 3, 2), 'D'},  // entries one float short
    };
    for (const auto& [bytes, letter] : cases) {
        GridScene scene = SceneWithOneGrid();
        const GridScene before = scene;
        EXPECT_FALSE(Load(bytes, letter, scene)) << letter << " " << bytes.size();
        EXPECT_EQ(scene.m_arrGrids.size(), 1u);
        EXPECT_EQ(scene.m_arrGrids[0].m_pCoordZ, before.m_arrGrids[0].m_pCoordZ);
        EXPECT_EQ(scene.m_nColorSource, before.m_nColorSource);
    }
    auto hugeVolume = quantor_test::VolumeFile('E', 1, 2, 2, 3);
    hugeVolume[44] = 0xFF, hugeVolume[45] = 0xFF, hugeVolume[46] = 0xFF, hugeVolume[47] = 0x7F;
    GridScene volume;
    EXPECT_FALSE(LoadVolume(hugeVolume.data(), hugeVolume.size(), 'E', volume));
    EXPECT_TRUE(volume.m_arrGrids.empty());
}

TEST(GridFiles, MarkersNeedAGridAndStayInItsRange)
{
    EXPECT_EQ(LoadMarkers(nullptr, 0, nullptr), MarkerLoad::NoGrid);
    GridScene scene = SceneWithOneGrid();  // x 0..20, y 0..100
    GridData& grid = scene.m_arrGrids[0];
    const auto header = Text("x y n label\n");
    EXPECT_EQ(LoadMarkers(header.data(), header.size(), &grid), MarkerLoad::NoMarkers);
    const auto outside = Text("header\n5 50 1 in\n25 50 2 out\n");
    EXPECT_EQ(LoadMarkers(outside.data(), outside.size(), &grid), MarkerLoad::OutOfRange);
    EXPECT_TRUE(grid.m_arrMarkers.empty());
    EXPECT_EQ(grid.m_bShowMarkers, 0);

    const auto good = Text("header\n5 50 1 first\r\n20 0 -2 averyverylonglabel extra\nnot a marker\n1 1 3 late\n");
    ASSERT_EQ(LoadMarkers(good.data(), good.size(), &grid), MarkerLoad::Loaded);
    ASSERT_EQ(grid.m_arrMarkers.size(), 2u);  // reading stops at the first line without four fields
    EXPECT_EQ(grid.m_bShowMarkers, 1);
    EXPECT_FLOAT_EQ(grid.m_arrMarkers[0].x, -0.25f);
    EXPECT_FLOAT_EQ(grid.m_arrMarkers[0].y, 0.0f);
    EXPECT_FLOAT_EQ(grid.m_arrMarkers[0].z, 1.0f);
    EXPECT_EQ(grid.m_arrMarkers[0].label.Text(), "first");
    EXPECT_EQ(grid.m_arrMarkers[1].number, -2);
    EXPECT_EQ(grid.m_arrMarkers[1].label.Text(), "averyverylo");  // 11 characters, as the stream keeps
}

TEST(GridFiles, SurfaceStreamLayoutIsByteExact)
{
    GridScene scene;
    scene.m_arrGrids.push_back(MakeSurfaceRecord(2, 3, 0));
    GridData& g = scene.m_arrGrids[0];
    g.m_strName = "a name longer than thirty-one characters";
    g.m_arrMarkers.push_back({0.25f, -0.25f, 1.0f, 7, "label-of-14ch"});
    const auto bytes = WriteSurfaceStream(scene);

    Bytes expected;
    expected.Text("GLDemo1.0", 12).I32(0).I32(1);
    expected.Text("a name longer than thirty-one c", 32).I32(0).I32(2).I32(3);
    for (int i = 0; i < 2 + 3 + 6; ++i)
        expected.F32(0.0f);
    for (float v : {1e30f, -1e30f, 1e30f, -1e30f, 1e30f, -1e30f})
        expected.F32(v);
    expected.I32(10).I32(10);
    expected.data.push_back(1);
    for (int v : {2, 1, 1, 1, 0, 1, 0, 1})  // plot kind, axes, floor, walls, legend, box, markers, labels
        expected.I32(v);
    expected.F32(0.0f).I32(1).I32(2).I32(0);
    expected.F32(0).F32(0).I32(0).I32(0).F32(-70).F32(0).F32(0).F32(0).F32(0).F32(-4);
    expected.F32(2.0f / 3.0f).F32(1).F32(1);
    expected.F32(0.0f).I32(20);
    for (uint32_t c : DefaultColorTable())
        expected.I32(static_cast<int32_t>(c));
    for (float v : {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 127.0f / 255, 1.0f, 1.0f,
                    127.0f / 255})
        expected.F32(v);
    expected.F32(-0.5f).I32(1).F32(0.25f).F32(-0.25f).F32(1.0f).I32(7).Text("label-of-14", 12);
    EXPECT_EQ(bytes, expected.data);

    GridScene back;
    ASSERT_TRUE(ReadSurfaceStream(bytes.data(), bytes.size(), back));
    EXPECT_EQ(WriteSurfaceStream(back), bytes);
    EXPECT_EQ(back.m_arrGrids[0].m_arrMarkers[0].label.Text(), "label-of-14");
    EXPECT_TRUE(WriteSurfaceStream(GridScene{}).empty());
}

TEST(GridFiles, StreamsRoundTripAndRefuseHostileCounts)
{
    GridScene surface;
    ASSERT_TRUE(Load(quantor_test::MultiGridFile('D', 2, 3, 2), 'D', surface));
    const auto surfaceBytes = WriteSurfaceStream(surface);
    GridScene surfaceBack;
    ASSERT_TRUE(ReadSurfaceStream(surfaceBytes.data(), surfaceBytes.size(), surfaceBack));
    EXPECT_EQ(WriteSurfaceStream(surfaceBack), surfaceBytes);
    EXPECT_EQ(surfaceBack.m_arrGrids[1].m_pValues, surface.m_arrGrids[1].m_pValues);

    for (char letter : {'E', 'F', 'X'}) {
        GridScene volume;
        const auto file = quantor_test::VolumeFile(letter, 2, 3, 2, 2);
        ASSERT_TRUE(LoadVolume(file.data(), file.size(), letter, volume));
        const auto bytes = WriteVolumeStream(volume);
        GridScene back;
        ASSERT_TRUE(ReadVolumeStream(bytes.data(), bytes.size(), back)) << letter;
        EXPECT_EQ(WriteVolumeStream(back), bytes) << letter;
    }

    // Every prefix of a stream is refused, and so is a stream with bytes after its records.
    for (size_t n = 0; n < surfaceBytes.size(); n += 7) {
        GridScene scene;
        EXPECT_FALSE(ReadSurfaceStream(surfaceBytes.data(), n, scene)) << n;
    }
    auto longer = surfaceBytes;
    longer.push_back(0);
    GridScene scene;
    EXPECT_FALSE(ReadSurfaceStream(longer.data(), longer.size(), scene));

    auto huge = surfaceBytes;
    huge[12 + 4] = 0xFF, huge[12 + 4 + 3] = 0x7F;  // record count
    EXPECT_FALSE(ReadSurfaceStream(huge.data(), huge.size(), scene));
    auto hugeX = surfaceBytes;
    hugeX[16 + 4 + 32 + 4 + 3] = 0x7F;  // first record's nx
    EXPECT_FALSE(ReadSurfaceStream(hugeX.data(), hugeX.size(), scene));
    EXPECT_TRUE(scene.m_arrGrids.empty());
}

TEST(GridFiles, VolumeStreamClampsCutsAndDrawMode)
{
    GridScene volume;
    const auto file = quantor_test::VolumeFile('E', 1, 3, 2, 2);
    ASSERT_TRUE(LoadVolume(file.data(), file.size(), 'E', volume));
    GridData& g = volume.m_arrGrids[0];
    g.m_nCutX = 99, g.m_nCutY = -5, g.m_nCutZ = 1, g.m_nDrawMode = 40;
    const auto bytes = WriteVolumeStream(volume);
    GridScene back;
    ASSERT_TRUE(ReadVolumeStream(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back.m_arrGrids[0].m_nCutX, 2);
    EXPECT_EQ(back.m_arrGrids[0].m_nCutY, 0);
    EXPECT_EQ(back.m_arrGrids[0].m_nCutZ, 1);
    EXPECT_EQ(back.m_arrGrids[0].m_nDrawMode, 24);
}
