// The image-processing calls the plug-ins make, over an image header of their own shape. Every call wraps the
// header's pixel memory in a cv::Mat without copying and lets OpenCV (core, imgproc) do the work.
//
// What this library defines where the callers rely only on "the call does its job":
// - Images: 8-bit unsigned samples only (depth 8), pixel-interleaved (data order 0), top-left origin (origin 0),
//   1 to 4 channels, rows `widthStep` bytes apart (width x channels rounded up to `align`, 4 or 8). No region of
//   interest, mask, image id or tiling: a header asked for with any of them is refused.
// - Results: every call returns 1 when it did its work and 0 when it refused (null or invalid header, mismatched
//   channel counts or sizes, bad arguments), leaving the destination untouched. Callers that ignore the result lose
//   nothing but the work.
// - Source and destination may be the same image (or share memory): the source is then copied first.
// - Border: every neighbourhood operation (median, min, max, fixed filters, morphology, resize, rotate) repeats the
//   edge pixel outwards. So a flat image stays flat under every one of them.
// - Rounding: results are rounded to the nearest level and clamped to 0..255. The fixed filters round a half to the
//   even level (2.5 -> 2, 3.5 -> 4); supersampling of an exact factor rounds a half up.
// - Kernel anchor: (anchorX, anchorY) is the kernel cell that lies over the pixel being computed; a kernel of nCols
//   x nRows therefore reads columns x - anchorX .. x - anchorX + nCols - 1 (likewise rows). For an even kernel
//   the anchor decides the side: 2 x 2 with anchor (0, 0) reads the pixel, its right, lower and lower-right
//   neighbours.
// - Interpolation codes: 0 nearest (the source pixel the destination pixel's centre maps into), 1 linear (2 x 2
//   neighbours), 2 cubic (4 x 4 neighbours, cubic convolution with a = -0.75), 3 supersampling (the average of the
//   source area a destination pixel covers; for shrinking); add 16 to smooth the edges of a rotated image (18 = cubic
//   with smooth edges).
#pragma once

#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <cstddef>

// The image header. The fields carry the names and meanings the callers read; the header owns the pixels it
// allocated (iplAllocateImage, iplConvertFromDIB, iplCloneImage) and never pixels a caller set into imageData.
struct IplImageHeader
{
    int nSize = sizeof(IplImageHeader);
    int nChannels = 0;
    int alphaChannel = 0;
    int depth = 0;                // 8: 8-bit unsigned
    char colorModel[4] = {};      // "GRAY", "RGB" (not terminated when all four are used)
    char channelSeq[4] = {};      // "GRAY", "BGR"
    int dataOrder = 0;            // 0: pixel-interleaved
    int origin = 0;               // 0: top-left
    int align = 4;                // row alignment in bytes
    int width = 0;
    int height = 0;
    int imageSize = 0;            // height x widthStep
    char* imageData = nullptr;    // the first byte of the top row
    int widthStep = 0;            // bytes per row
    bool ownsData = false;        // imageData was allocated by this library
};

constexpr int kIplDepth8u = 8;
constexpr int kIplDataOrderPixel = 0;
constexpr int kIplOriginTopLeft = 0;
constexpr int kIplAlign4 = 4;

// Flags of iplDeallocate; kIplImageAll (31) is header, pixels, region, tiles and mask.
constexpr int kIplImageHeader = 1;
constexpr int kIplImageData = 2;
constexpr int kIplImageRoi = 4;
constexpr int kIplImageTile = 8;
constexpr int kIplImageMask = 16;
constexpr int kIplImageAll = 31;

constexpr int kIplInterNearest = 0;
constexpr int kIplInterLinear = 1;
constexpr int kIplInterCubic = 2;
constexpr int kIplInterSuper = 3;
constexpr int kIplSmoothEdge = 16;

// The largest side and pixel buffer a header may describe.
constexpr int kIplMaxSide = 65536;
constexpr long long kIplMaxBytes = 0x7FFFFFFF;

// Fixed 3 x 3 and 5 x 5 kernels of iplFixedFilter (anchor at the centre, border repeated, rounded and clamped).
enum IplFilter
{
    kIplLaplace3x3 = 4,     // -1 all round, 8 in the centre
    kIplLaplace5x5 = 5,     // -1 all round, 24 in the centre
    kIplGaussian3x3 = 6,    // (1 2 1) x (1 2 1) / 16
    kIplGaussian5x5 = 7,    // (1 4 6 4 1) x (1 4 6 4 1) / 256
    kIplHipass3x3 = 8,      // -1 all round, 9 in the centre: edges lifted, flat areas kept
    kIplHipass5x5 = 9,      // -1 all round, 25 in the centre
    kIplSharpen3x3 = 10,    // 0 -1 0 / -1 5 -1 / 0 -1 0
};

// A header without pixels, or null when the arguments describe an image this library does not take (see above;
// roi, maskROI, imageId and tileInfo must be null). colorModel and channelSeq are copied, up to four characters.
VISTREL_EXPORT IplImageHeader* iplCreateImageHeader(int nChannels, int alphaChannel, int depth, const char* colorModel,
    const char* channelSeq, int dataOrder, int origin, int align, int width, int height, void* roi, void* maskROI,
    void* imageId, void* tileInfo);
// Allocates imageSize bytes of pixels (replacing pixels the header owned); fills every byte with fillValue
// (clamped to 0..255) when doFill is not 0, else the pixels are zero.
VISTREL_EXPORT int iplAllocateImage(IplImageHeader* image, int doFill, int fillValue);
// Frees what the flag names: kIplImageData the pixels the header owns (imageData becomes null), kIplImageHeader the
// header, with its own pixels (they would have no owner left). Region, tile and mask bits free nothing: a header
// never has them. A null image is ignored.
VISTREL_EXPORT void iplDeallocate(IplImageHeader* image, int flag);
// A new header with the same layout and a copy of the pixels, or null for an invalid image.
VISTREL_EXPORT IplImageHeader* iplCloneImage(const IplImageHeader* image);
// Every sample of every pixel becomes fillValue clamped to 0..255 (row padding included).
VISTREL_EXPORT int iplSet(IplImageHeader* image, int fillValue);

// Packed DIBs: a 40..124-byte info header, the palette (biClrUsed entries up to 256, or 1 << bits when biClrUsed is
// 0; never more than 1 << bits are read), the rows padded to 4 bytes, bottom row first for a positive height, top row first
// for a negative one. Accepted: uncompressed 1, 4, 8, 24 and 32 bits.
// iplConvertFromDIB: the header's width and height must equal the DIB's (|biHeight|); allocates the pixels when the
// header has none. One channel from 1, 4 and 8 bits takes each index's palette blue (an index beyond the palette is
// 0; a palette-less DIB's index is its level); three channels take blue, green, red from the palette or the pixel,
// dropping a 32-bit alpha byte. Other combinations are refused.
VISTREL_EXPORT int iplConvertFromDIB(const BITMAPINFOHEADER* dib, IplImageHeader* image);
// Bytes a packed DIB with this header occupies (header, palette, pixels), or 0 for one iplConvertFromDIB refuses.
VISTREL_EXPORT size_t iplDibSize(const BITMAPINFOHEADER* dib);
// Writes the image's pixels into the DIB whose header (and, for 8 bits, palette) the caller wrote: one channel into
// 8 bits as indices, three channels into 24 bits; the DIB's width and |height| must match. Dithering and palette
// conversion are not done (pass 1 and 0).
VISTREL_EXPORT int iplConvertToDIB(const IplImageHeader* image, BITMAPINFOHEADER* dib, int dither, int paletteConversion);

// Geometry. The source maps onto the whole destination: xDst / xSrc and yDst / ySrc are the scale the caller wants
// and must be positive, and the destination must be the scaled size, each side truncated (src->width * xDst / xSrc,
// likewise for the height); any other destination is refused (0, untouched). Pixel centres map onto pixel centres. Interpolation as above; supersampling of an exact factor averages whole blocks.
VISTREL_EXPORT int iplResize(const IplImageHeader* src, IplImageHeader* dst, int xDst, int xSrc, int yDst, int ySrc,
    int interpolate);
// Rotation sense: a positive angle (degrees) turns the image counter-clockwise as seen on the screen. Points are in
// image coordinates: the image's top-left corner is (0, 0) and pixel (x, y) covers x..x+1, y..y+1 (its centre is
// (x + 0.5, y + 0.5)). A source point (x, y) lands at (x cos a + y sin a + xShift, -x sin a + y cos a + yShift), so
// turning about (W / 2, H / 2) turns about the image's centre and 180 degrees maps pixel x onto W - 1 - x. iplRotate
// writes only the destination pixels whose centre maps back inside the source; the rest keep their value. With
// kIplSmoothEdge the rotated image is blended into the destination with a weight that is full where the centre maps
// inside the outer source pixel centres and falls linearly (per axis, multiplied) to nothing one pixel beyond them,
// so its outline is antialiased; the weight is rounded to 1/255 and the blend to the nearest level. Supersampling is
// refused.
VISTREL_EXPORT int iplRotate(const IplImageHeader* src, IplImageHeader* dst, double angle, double xShift,
    double yShift, int interpolate);
// The shift that makes iplRotate turn about (xCenter, yCenter): the centre stays where it was.
VISTREL_EXPORT void iplGetRotateShift(double xCenter, double yCenter, double angle, double* xShift, double* yShift);
// axis 0: upside down; 1: left to right; -1: both. Source and destination have the same size.
VISTREL_EXPORT int iplMirror(const IplImageHeader* src, IplImageHeader* dst, int axis);

// Neighbourhood filters over nCols x nRows with the anchor as above; each channel separately. The median of an even
// count is the lower of the two middle values.
VISTREL_EXPORT int iplMedianFilter(const IplImageHeader* src, IplImageHeader* dst, int nCols, int nRows, int anchorX,
    int anchorY);
VISTREL_EXPORT int iplMinFilter(const IplImageHeader* src, IplImageHeader* dst, int nCols, int nRows, int anchorX,
    int anchorY);
VISTREL_EXPORT int iplMaxFilter(const IplImageHeader* src, IplImageHeader* dst, int nCols, int nRows, int anchorX,
    int anchorY);
VISTREL_EXPORT int iplFixedFilter(const IplImageHeader* src, IplImageHeader* dst, int filter);

// Morphology with the 3 x 3 square, repeated nIterations times (at least 1): erode takes the minimum, dilate the
// maximum; open erodes nIterations times then dilates as often, close the reverse.
VISTREL_EXPORT int iplErode(const IplImageHeader* src, IplImageHeader* dst, int nIterations);
VISTREL_EXPORT int iplDilate(const IplImageHeader* src, IplImageHeader* dst, int nIterations);
VISTREL_EXPORT int iplOpen(const IplImageHeader* src, IplImageHeader* dst, int nIterations);
VISTREL_EXPORT int iplClose(const IplImageHeader* src, IplImageHeader* dst, int nIterations);
