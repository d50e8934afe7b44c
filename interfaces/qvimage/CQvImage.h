// An image of one colour model and size with its own pixel buffer, the image every subsystem works on.
// Layout: rows top-down, each row padded to a multiple of 4 bytes (GetStride); a pixel is 1 byte (grey level or
// palette index), 3 bytes B,G,R or 4 bytes B,G,R,A. Indexed models carry a palette; grey models have none (their
// levels are the grey ramp). Copying copies pixels, palette and region.
// Not thread-safe: one thread at a time may touch an image. Row pointers, pixel pointers and the region's points
// stay valid until the next Create, Initialize, Remove or assignment.
// Companion headers: QvImageDib.h (packed DIBs), QvImageRecord.h (the stored image record), QvImageOps.h (fill,
// copy, resize, conversions), QvImageViews.h (QImage and cv::Mat views sharing the pixels).
#pragma once

#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <memory>
#include <vector>

// The colour model codes an image is created with. 0 and 10 have the same layout, as have 20 and 21: 0 and 20 are
// the generic codes older images carry, 10 and 21 the ones the system creates.
enum COLOR_MODEL
{
    QV_GRAY = 0,
    QV_INDEX1 = 1,   // QV_INDEX1..QV_INDEX7: palette of up to 1 << n colours, one index byte per pixel
    QV_INDEX2 = 2,
    QV_INDEX3 = 3,
    QV_INDEX4 = 4,
    QV_INDEX5 = 5,
    QV_INDEX6 = 6,
    QV_INDEX7 = 7,
    QV_GRAY8 = 10,
    QV_INDEX8 = 11,  // palette of up to 256 colours
    QV_RGB = 20,
    QV_RGB24 = 21,
    QV_RGBA32 = 48,
};

// Kinds of the region of interest and the points each takes.
enum QV_ROI_KIND
{
    QV_ROI_NONE = 0,
    QV_ROI_RECT = 1,      // 2 points: opposite corners, both inside the region
    QV_ROI_ELLIPSE = 3,   // 2 points: opposite corners of the bounding box, both on the box
    QV_ROI_POLYGON = 4,   // 3 or more vertices
};

// The largest width or height an image may have, and the largest pixel buffer in bytes: every size read from a
// file or a DIB is checked against them before anything is allocated.
constexpr int kQvMaxImageSide = 65536;
constexpr long long kQvMaxImageBytes = 0x7FFFFFFF;

// Bits per pixel a colour model stands for: 1..7 for QV_INDEX1..7, 8, 24 or 32; 0 for an unknown code.
VISTREL_EXPORT int GetBitCount(int type);
// Bits one pixel takes in an image's buffer: 8, 24 or 32; 0 for an unknown code.
VISTREL_EXPORT int GetQvBitCount(int type);

class VISTREL_EXPORT CQvImage
{
public:
    CQvImage();
    CQvImage(const CQvImage& other);
    CQvImage(CQvImage&& other) noexcept;
    CQvImage& operator=(const CQvImage& other);
    CQvImage& operator=(CQvImage&& other) noexcept;
    virtual ~CQvImage();

    // Allocates a zero-filled image of the colour model and size (the last argument is unused, pass 0); an indexed
    // model gets the grey ramp of 1 << n entries as palette; any region is dropped. Returns 1, or 0 leaving the
    // image unchanged for an unknown model, a size outside 1..kQvMaxImageSide / kQvMaxImageBytes or pixels the
    // machine's memory cannot hold (a copy, which cannot say so, throws std::bad_alloc then, the target unchanged).
    int Create(int type, int width, int height, int reserved);
    // The same without clearing the pixels, for a decoder that writes every pixel byte of every row itself and
    // drops the image when it cannot: one pass less over a large new image. The bytes after each row's last pixel
    // (up to the stride) are zeroed all the same, so a stored or compared image never holds stray memory.
    int CreateUncleared(int type, int width, int height);
    // Back to the state of a new image: no pixels, no palette, no region, colour model QV_GRAY.
    void Initialize();
    // Frees pixels, palette and region; the colour model stays.
    void Remove();

    bool IsEmpty() const { return m_width == 0 || m_height == 0; }
    int GetColorModel() const { return m_type; }
    int GetBitsPerPixel() const { return m_bitsPerPixel; }  // GetQvBitCount of the colour model; 0 when empty
    int GetWidth() const { return m_width; }                // 0 when empty
    int GetHeight() const { return m_height; }              // 0 when empty
    int GetStride() const { return m_stride; }              // bytes per row, a multiple of 4
    BYTE* GetBuffer() { return m_pixels.get(); }            // the first byte of the top row; null when empty
    const BYTE* GetBuffer() const { return m_pixels.get(); }
    // One pointer per row, top row first; null when empty.
    BYTE** Get2DBuffer() { return m_rows.empty() ? nullptr : m_rows.data(); }
    // The first byte of pixel (x, y); null outside the image.
    BYTE* GetPixel(int x, int y);
    const BYTE* GetPixel(int x, int y) const;

    // The palette of an indexed image (empty for other models).
    int GetPaletteCount() const { return static_cast<int>(m_palette.size()); }
    RGBQUAD* GetPalette() { return m_palette.empty() ? nullptr : m_palette.data(); }
    const RGBQUAD* GetPalette() const { return m_palette.empty() ? nullptr : m_palette.data(); }
    // Replaces the palette of an indexed image with 1..(1 << n) entries; 0 (nothing changed) for other counts or
    // models.
    int SetPalette(const RGBQUAD* entries, int count);

    // The region of interest: the image takes ownership of `points` (count x,y pairs, made with new int[2 * count])
    // and frees it. Returns 1, or 0 for a kind/count that does not fit (the points are freed, the region cleared).
    int SetRoi(int kind, std::unique_ptr<int[]> points, int count);
    void ClearRoi();
    int GetRoiKind() const { return m_roiKind; }
    int GetRoiCount() const { return m_roiCount; }
    const int* GetRoiPoints() const { return m_roiPoints.get(); }  // x0, y0, x1, y1, ...

    // Text naming a colour model, for the status bar ("RGB 24-bit"); "Unknown" for a code not listed above.
    static const char* GetColorModelString(int type);

private:
    friend class QvImageAccess;
    // Create without clearing the pixels, for callers that write every byte.
    bool Allocate(int type, int width, int height);
    void CopyFrom(const CQvImage& other);

    int m_type = QV_GRAY;
    int m_bitsPerPixel = 0;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    std::unique_ptr<BYTE[]> m_pixels;
    std::vector<BYTE*> m_rows;
    std::vector<RGBQUAD> m_palette;
    int m_roiKind = QV_ROI_NONE;
    int m_roiCount = 0;
    std::unique_ptr<int[]> m_roiPoints;
};
