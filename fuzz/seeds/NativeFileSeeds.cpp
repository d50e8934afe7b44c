// Seeds of the document file: the sample images each with an empty overlay and with one of every shape, under
// the grid kinds and a calibration, as the program writes them.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"
#include "SampleImages.h"

#include "EveryShapeClicks.h"
#include "document/NativeFile.h"

VISTREL_FUZZ_SEEDS(native_file)
{
    EnsureFuzzApplication();
    MarkerScene empty;
    MarkerScene drawn;
    for (const ShapeClicks& s : EveryShape())
        ClickToFinish(drawn, s);
    drawn.Paint();

    FuzzSeedList seeds;
    int kind = 0;
    for (const CQvImage& sample : SampleImages()) {
        for (MarkerScene* scene : {&empty, &drawn}) {
            CQvImage image = sample;
            NativeFileRecord record;
            record.image = &image;
            record.overlay = &scene->container;
            record.grid.show = 1;
            record.grid.type = 1 << (kind++ % 6);
            record.grid.ruler = kind % 2;
            record.grid.canvas = SIZE{image.GetWidth(), image.GetHeight()};
            record.calibration.SetName("seed");
            record.calibration.SetUnitsPerPixel(0.5);
            FuzzOutput out;
            if (WriteNativeFile(out.file(), record) == 1)
                seeds.push_back(out.Contents());
        }
    }
    return seeds;
}
