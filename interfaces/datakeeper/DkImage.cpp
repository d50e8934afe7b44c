#include "datakeeper/DkImage.h"

namespace datakeeper {

CQvImage::~CQvImage() = default;

bool CQvImage::Create(COLOR_MODEL model, int bitsPerChannel, int width, int height, int, CQvCodecInfo*, int)
{
    Remove();
    int bytesPerPixel = 0;
    if (bitsPerChannel == 8 && model == CM_BGR)
        bytesPerPixel = 3;
    else if (bitsPerChannel == 8 && model == CM_GRAY)
        bytesPerPixel = 1;
    constexpr int64_t kMaxBytes = int64_t(1) << 30;
    if (bytesPerPixel == 0 || width < 1 || height < 1 || int64_t(width) * bytesPerPixel > kMaxBytes)
        return false;
    const int64_t stride = (int64_t(width) * bytesPerPixel + 3) / 4 * 4;
    if (stride * height > kMaxBytes)
        return false;
    m_pixels.reset(new uint8_t[static_cast<size_t>(stride * height)]());
    m_model = model;
    m_width = width;
    m_height = height;
    m_stride = static_cast<int>(stride);
    m_bytesPerPixel = bytesPerPixel;
    return true;
}

void CQvImage::Remove()
{
    m_pixels.reset();
    m_width = m_height = m_stride = m_bytesPerPixel = 0;
}

}  // namespace datakeeper
