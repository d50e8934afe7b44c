// Seeds of the overlay readers: an overlay with one of every shape as a user draws them, an empty one, and the
// records file a copy of every shape leaves for a paste.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "EveryShapeClicks.h"
#include "GObjectClipboard.h"

#include <fstream>
#include <iterator>

VISTREL_FUZZ_SEEDS(overlay_stream)
{
    EnsureFuzzApplication();
    MarkerScene empty;
    FuzzSeedList seeds{empty.Stream()};
    MarkerScene scene;
    for (const ShapeClicks& s : EveryShape())
        ClickToFinish(scene, s);
    scene.Paint();
    seeds.push_back(scene.Stream());
    return seeds;
}

VISTREL_FUZZ_SEEDS(clipboard_file)
{
    EnsureFuzzApplication();
    MarkerScene scene;
    for (const ShapeClicks& s : EveryShape())
        ClickToFinish(scene, s);
    scene.container.SelectionMode(1);
    scene.container.SelectObjects(CRect(-1000, -1000, 1000, 1000), 0);
    if (scene.container.CopyToClipboard() != 1)
        return {};
    std::ifstream in(GObjectClipboardFilePath(), std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (file.size() < kClipboardFileMarkerSize)
        return {};
    // The target writes the marker itself, as the program does.
    return {std::vector<uint8_t>(file.begin() + kClipboardFileMarkerSize, file.end())};
}
