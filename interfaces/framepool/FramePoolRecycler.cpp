#include "framepool/private/FramePoolRecycler.h"

#include <cstring>
#include <mutex>
#include <utility>

namespace {

struct Spare
{
    std::mutex lock;
    CQvImage image;
    int pools = 0;
};

Spare& TheSpare()
{
    static Spare spare;
    return spare;
}

}  // namespace

void FramePoolRecycler::Offer(CQvImage&& image)
{
    if (image.IsEmpty())
        return;
    CQvImage previous;
    {
        Spare& spare = TheSpare();
        std::lock_guard<std::mutex> hold(spare.lock);
        previous = std::move(spare.image);
        spare.image = std::move(image);
    }
    // `previous` is freed here, outside the lock.
}

CQvImage FramePoolRecycler::Take(int type, int width, int height)
{
    CQvImage image;
    {
        Spare& spare = TheSpare();
        std::lock_guard<std::mutex> hold(spare.lock);
        if (spare.image.GetColorModel() != type || spare.image.GetWidth() != width ||
            spare.image.GetHeight() != height)
            return image;
        image = std::move(spare.image);
    }
    image.ClearRoi();
    // A result that writes every pixel leaves the padding alone: it must not keep bytes of the image before.
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(image.GetBitsPerPixel() / 8);
    const size_t padding = static_cast<size_t>(image.GetStride()) - rowBytes;
    if (padding > 0)
        for (int y = 0; y < height; ++y)
            std::memset(image.Get2DBuffer()[y] + rowBytes, 0, padding);
    return image;
}

void FramePoolRecycler::Prepare()
{
    TheSpare();
}

void FramePoolRecycler::PoolOpened()
{
    Spare& spare = TheSpare();
    std::lock_guard<std::mutex> hold(spare.lock);
    ++spare.pools;
}

void FramePoolRecycler::PoolClosed()
{
    CQvImage dropped;
    Spare& spare = TheSpare();
    std::lock_guard<std::mutex> hold(spare.lock);
    if (--spare.pools == 0)
        dropped = std::move(spare.image);
}
