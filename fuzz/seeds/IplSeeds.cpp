// Seeds of the plug-ins' DIB bridge: the packed DIBs the image library writes for every sample image.
#include "FuzzSeeds.h"
#include "SampleImages.h"

VISTREL_FUZZ_SEEDS(ipl_dib)
{
    return SampleImageDibs();
}
