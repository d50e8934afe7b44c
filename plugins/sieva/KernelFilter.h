// The convolution of a 24-bit image with a kernel of float values, for the edge kernels and the user's kernels.
//
// For a kernel of R rows and C columns (r0 = R / 2, c0 = C / 2) each destination pixel (i, j) with
// r0 <= i <= height - r0 - 1 and c0 <= j <= width - c0 - 1 is, per channel B, G, R:
//     | sum over k, m of K[k][m] * source(i - r0 + k, j - c0 + m) |, 255 when above,
// the kernel laid over the image as it stands (no flip), no divisor and no offset. The sum is taken in floating
// point and truncated toward zero once, after the last term: an integer kernel gives what a per-term truncation
// gives, a fractional one (nine times 1/9) no longer loses a level at every term.
// The pixels outside those rows and columns (the frame the kernel does not reach) are set to 0, whatever the
// destination held before.
// Large images are split into bands of rows computed on several threads.
#pragma once

#include "qvimage/CQvImage.h"

#include <vector>

class CKernelFilter
{
public:
    // The largest kernel side the filter takes.
    static constexpr int kMaxSide = 11;

    // Takes the images (not owned) when their colour models are equal: 1, else 0 and nothing attached.
    int Attach(CQvImage* destination, CQvImage* source);
    // Convolves the source into the destination with the kernel of `columns` x `rows` values, row by row: 1, or 0
    // when nothing is attached, the source is not 24-bit (type 21), the sizes differ or the kernel is not
    // 1..kMaxSide on each side.
    int Apply(int columns, int rows, const float* values);
    // One of the six fixed edge kernels (0..5): Roberts (0, 1), Sobel (2, 3), Prewitt (4, 5); 0 for another number.
    int ApplyFixed(int number);

private:
    CQvImage* m_destination = nullptr;
    CQvImage* m_source = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<float> m_values;
};

// Whether FixedPairMean reads the image as it is: 24-bit and grey images (a grey one stands for its 24-bit form,
// three equal channels); others are made 24-bit by the caller.
bool FixedPairMeanReads(const CQvImage& source);
// Two fixed edge kernels (ApplyFixed's numbers) over the source in one pass, each byte of `destination` the mean
// (a + b) >> 1 of the bytes ApplyFixed gives for the two over the 24-bit form of the source, frame included. The
// fixed kernels are small integers, so integer sums give exactly the bytes of the float convolution. destination
// becomes QV_RGB24 of the source's size (keeping its pixel memory when it already is one). 1, or 0 with destination
// untouched for a source FixedPairMeanReads refuses, an empty one or a number outside 0..5. Rows are split over
// OpenCV's threads.
int FixedPairMean(const CQvImage& source, int first, int second, CQvImage& destination);
