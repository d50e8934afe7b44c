// Seeds of the bitmap-file writer: the packed DIBs the image library makes of the sample images.
#include "FuzzSeeds.h"
#include "SampleImages.h"

VISTREL_FUZZ_SEEDS(bitmap_file)
{
    return SampleImageDibs();
}
