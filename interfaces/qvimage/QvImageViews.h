// Views of an image's pixels for Qt and OpenCV: no copy, writing through a view writes the image. A view is valid
// until the image is re-created, removed or assigned; an empty image gives a null QImage / an empty cv::Mat.
#pragma once

#include "qvimage/CQvImage.h"

#include <QImage>
#include <opencv2/core/mat.hpp>

// Format_Grayscale8 for grey models, Format_Indexed8 with the palette for indexed ones, Format_BGR888 for RGB,
// Format_ARGB32 (B, G, R, A in memory on little-endian machines) for RGBA.
VISTREL_EXPORT QImage QvImageToQImage(CQvImage& image);
// CV_8UC1, CV_8UC3 (B, G, R) or CV_8UC4 (B, G, R, A) with the image's stride as step.
VISTREL_EXPORT cv::Mat QvImageToMat(CQvImage& image);
