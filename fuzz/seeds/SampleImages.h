// Small images of every colour model the image library stores, with varied pixels, a palette where the model has
// one and a region on one of them: the pictures behind the image seeds.
#pragma once

#include "FuzzSeeds.h"

#include "qvimage/CQvImage.h"

#include <vector>

std::vector<CQvImage> SampleImages();
// The packed DIBs the image library writes for the sample images (those it can write).
FuzzSeedList SampleImageDibs();
// Whole image files of every layout the readers take: the codec's files of the sample images, and TIFFs of 16-bit
// samples, pages, tiles, planes and compression, progressive and CMYK JPEGs, run-length BMPs.
FuzzSeedList ImageFilesOfEveryLayout();
