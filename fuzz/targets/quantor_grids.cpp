// The surface plot's grid files, marker lists, grid streams and BMP files. The first byte picks the reader, the
// rest is the file. Whatever the bytes: a refused file changes nothing, and whatever is taken writes a stream that
// reads back to itself, with the volume's cuts and draw mode inside the volume.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "quantor/GridFiles.h"
#include "quantor/PackedDib.h"

using namespace quantor;

namespace {

bool SameRecords(const GridScene& a, const GridScene& b, bool volume)
{
    return volume ? WriteVolumeStream(a) == WriteVolumeStream(b) : WriteSurfaceStream(a) == WriteSurfaceStream(b);
}

void CheckStreamsReadBack(const GridScene& scene, bool volume)
{
    const auto bytes = volume ? WriteVolumeStream(scene) : WriteSurfaceStream(scene);
    GridScene back;
    const bool read = volume ? ReadVolumeStream(bytes.data(), bytes.size(), back)
                             : ReadSurfaceStream(bytes.data(), bytes.size(), back);
    FuzzCheck(read, "a loaded scene's stream is read back");
    FuzzCheck(SameRecords(scene, back, volume), "the stream reads back to itself");
    if (volume)
        for (const GridData& g : back.m_arrGrids)
            FuzzCheck(g.m_nCutX >= 0 && g.m_nCutX < g.m_nSizeX && g.m_nCutY >= 0 && g.m_nCutY < g.m_nSizeY
                          && g.m_nCutZ >= 0 && g.m_nCutZ < g.m_nSizeZ && g.m_nDrawMode >= 0
                          && g.m_nDrawMode < kDrawModeCount,
                      "cuts and draw mode inside the volume");
}

GridScene StartingScene(bool volume)
{
    GridScene scene;
    GridData grid = volume ? MakeVolumeRecord(2, 2, 2, kVolumeNodes) : MakeSurfaceRecord(2, 2, 0);
    grid.m_fMinX = 0, grid.m_fMaxX = 10, grid.m_fMinY = 0, grid.m_fMaxY = 10;
    scene.m_nColorSource = volume ? kVolumeNodes : 0;
    scene.m_arrGrids.push_back(grid);
    return scene;
}

}  // namespace

VISTREL_FUZZ_TARGET(quantor_grids)
{
    if (size == 0)
        return 0;
    const uint8_t reader = data[0] % 11;
    ++data;
    --size;
    if (reader == 10) {
        const auto dib = DibFromBmpBytes(data, size);
        if (dib) {
            const auto file = BmpBytesOfDib(*dib);
            if (file)
                FuzzCheck(DibFromBmpBytes(file->data(), file->size()).has_value(), "a written BMP reads back");
        }
        return 0;
    }
    const bool volume = reader >= 4 && reader <= 6 ? true : reader == 9;
    GridScene scene = StartingScene(volume);
    const GridScene before = scene;
    bool taken = false;
    switch (reader) {
    case 0: taken = LoadSurfaceFile(data, size, 'B', scene); break;
    case 1: taken = LoadSurfaceFile(data, size, 'A', scene); break;
    case 2: taken = LoadSurfaceFile(data, size, 'C', scene); break;
    case 3: taken = LoadSurfaceFile(data, size, 'D', scene); break;
    case 4: taken = LoadVolume(data, size, 'E', scene); break;
    case 5: taken = LoadVolume(data, size, 'F', scene); break;
    case 6: taken = LoadVolume(data, size, 'V', scene); break;
    case 7: taken = LoadMarkers(data, size, scene.Current()) == MarkerLoad::Loaded; break;
    case 8: taken = ReadSurfaceStream(data, size, scene); break;
    default: taken = ReadVolumeStream(data, size, scene); break;
    }
    if (!taken) {
        FuzzCheck(SameRecords(scene, before, volume) && scene.m_nColorSource == before.m_nColorSource,
                  "a refused file changes nothing");
        return 0;
    }
    FuzzCheck(!scene.m_arrGrids.empty(), "a loaded file gives records");
    CheckStreamsReadBack(scene, volume);
    return 0;
}
