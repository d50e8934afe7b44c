// Seeds of the overlay readers: an overlay with one of every shape as a user draws them, an empty one, and the
// records file a copy of every shape leaves for a paste.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"
#include "SampleImages.h"

#include "AutoEdgeScene.h"
#include "EveryShapeClicks.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectScaleMarker.h"
#include "gobjects/GObjectClipboard.h"
#include "gobjects/GObjectPropertySheet.h"
#include "ui/MessageBox.h"

#include <cmath>
#include <cstring>
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

    // The annotations that ask for their text or settings, and a picture stamp: a text box, a scale bar and a
    // 2 x 2 picture at 8 bits with its palette.
    MarkerScene annotations;
    annotations.calib.SetScaleLength(20);
    annotations.container.SetPropertySheetRunner([](const GObjectSheetRequest& request) {
        request.property->SetComment("seed\ntext");
        return IDOK;
    });
    ClickToFinish(annotations, ShapeClicks{SHAPE_TEXT, {{20, 20}, {80, 50}}});
    annotations.container.AddObject(SHAPE_SCALE_MARKER);
    if (auto* marker = dynamic_cast<CQvGObjectScaleMarker*>(annotations.container.GetCreatingObject())) {
        marker->SetOrientation(0);
        marker->ExternFinish();
        annotations.container.RepeatCreatingObject(marker);
    }
    annotations.container.AddObject(SHAPE_IMAGE);
    if (auto* stamp = dynamic_cast<CQvGObjectImage*>(annotations.container.GetCreatingObject())) {
        std::vector<uint8_t> dib(40 + 4 * 256 + 8, 0x11);
        BITMAPINFOHEADER header{40, 2, 2, 1, 8, 0, 0, 0, 0, 0, 0};
        std::memcpy(dib.data(), &header, sizeof header);
        stamp->SetImage(reinterpret_cast<BITMAPINFOHEADER*>(dib.data()));
        stamp->SetOpacity(50);
        stamp->CalInitialPos();
        stamp->Finish();
        annotations.container.RepeatCreatingObject(stamp);
    }
    seeds.push_back(annotations.Stream());

    // The automatic edge tools, snapped to the edges of a disc and a wedge drawn for them.
    AutoEdgeScene edges(EdgeImage(QV_GRAY8, 200, 150, 30, 210, [](double x, double y) {
        return std::hypot(x - 60, y - 60) < 35 || (y > 100.4 && x > 110);
    }));
    edges.Click(SHAPE_AUTO_LINE, {{120, 97}, {190, 104}});
    edges.Click(SHAPE_AUTO_CIRCLE, {{20, 58}, {100, 62}});
    edges.Click(SHAPE_AUTO_ARC, {{97, 66}, {23, 66}, {60, 22}});
    edges.Click(SHAPE_AUTO_ANGLE, {{120, 97}, {190, 104}, {114, 140}, {107, 110}});
    seeds.push_back(edges.Stream());
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

// Pictures as the image library packs them for the clipboard (every colour model), one of them turned top-down,
// and a 16-bit DIB with its bit fields as other programs put one there.
VISTREL_FUZZ_SEEDS(stamp_picture)
{
    FuzzSeedList seeds = SampleImageDibs();
    if (!seeds.empty()) {
        std::vector<uint8_t> topDown = seeds.front();
        BITMAPINFOHEADER header;
        std::memcpy(&header, topDown.data(), sizeof header);
        header.biHeight = -header.biHeight;
        std::memcpy(topDown.data(), &header, sizeof header);
        seeds.push_back(topDown);
    }
    BITMAPINFOHEADER header{40, 3, 2, 1, 16, 3, 0, 0, 0, 0, 0};
    std::vector<uint8_t> bitFields(40 + 12 + 2 * 8, 0x5A);
    std::memcpy(bitFields.data(), &header, sizeof header);
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(bitFields.data() + 40, masks, sizeof masks);
    seeds.push_back(bitFields);
    return seeds;
}
