// DataKeeper's own image class, the one the second-generation drivers fill. It shares its name with the image
// library's CQvImage, so it lives in namespace datakeeper: two classes of one mangled name in one process would
// have their vtables and members interposed.
//
// Pixels: rows top-down, each row padded to a multiple of 4 bytes (GetWidthBytes). Colour model 10 with 8 bits per
// channel is 3 bytes per pixel in the order blue, green, red; colour model 0 with 8 bits is one grey byte. The
// object owns its pixels; Create frees earlier ones. Not thread-safe: the host serialises the driver's writes
// with its reads.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>
#include <memory>

namespace datakeeper {

enum COLOR_MODEL : int
{
    CM_GRAY = 0,
    CM_BGR = 10,
};

// Codec parameters of a compressed image; no caller here passes one.
struct CQvCodecInfo;

class VISTREL_EXPORT CQvImage
{
public:
    CQvImage() = default;
    ~CQvImage();
    CQvImage(const CQvImage&) = delete;
    CQvImage& operator=(const CQvImage&) = delete;

    // Allocates zeroed pixels of that shape; false (and no pixels) for a model or channel depth it cannot hold, a
    // size below 1 or a buffer past 1 GiB. `reserved`, `codec` and `quality` are accepted and ignored.
    bool Create(COLOR_MODEL model, int bitsPerChannel, int width, int height, int reserved = 0,
                CQvCodecInfo* codec = nullptr, int quality = 255);
    // Frees the pixels; the image is empty (0 x 0, null buffer).
    void Remove();

    uint8_t* GetBuffer() { return m_pixels.get(); }
    const uint8_t* GetBuffer() const { return m_pixels.get(); }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetWidthBytes() const { return m_stride; }
    int GetBytesPerPixel() const { return m_bytesPerPixel; }
    COLOR_MODEL GetColorModel() const { return m_model; }
    bool IsEmpty() const { return !m_pixels; }
    // Bytes of the buffer: stride x height.
    int64_t GetImageSize() const { return int64_t(m_stride) * m_height; }
    uint8_t* GetRow(int row) { return m_pixels.get() + int64_t(row) * m_stride; }
    const uint8_t* GetRow(int row) const { return m_pixels.get() + int64_t(row) * m_stride; }

private:
    std::unique_ptr<uint8_t[]> m_pixels;
    COLOR_MODEL m_model = CM_BGR;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_bytesPerPixel = 0;
};

}  // namespace datakeeper
