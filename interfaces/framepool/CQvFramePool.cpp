#include "framepool/CQvFramePool.h"

#include "framepool/private/ComplementUndo.h"
#include "framepool/private/FramePoolRecycler.h"
#include "framepool/private/FramePoolUndoEntry.h"
#include "framepool/private/UndoFileWorker.h"

#include <cstring>
#include <utility>

namespace {

std::string& TempFolder()
{
    static std::string folder;
    return folder;
}

}  // namespace

CQvFramePool::CQvFramePool()
{
    UndoFileWorker::Prepare();
    FramePoolRecycler::PoolOpened();
}

CQvFramePool::~CQvFramePool()
{
    m_history.clear();
    FramePoolRecycler::PoolClosed();
}

void CQvFramePool::SetTempPath(const std::string& folder)
{
    TempFolder() = folder;
}

int CQvFramePool::SetImage(const CQvImage* image)
{
    if (!image)
        return 0;
    if (image != &m_image)
        m_image = *image;
    return 1;
}

int CQvFramePool::PushImage(const CRect& rect)
{
    if (m_image.IsEmpty())
        return 0;
    const bool whole = rect == CRect(-1, -1, -1, -1);
    CRect part(0, 0, m_image.GetWidth(), m_image.GetHeight());
    if (!whole && !part.IntersectRect(part, rect))
        return 0;

    Keep(std::make_unique<FramePoolUndoEntry>(m_image, whole, part, kSpillBytes, TempFolder()));
    return 1;
}

int CQvFramePool::ReplaceImage(CQvImage&& result)
{
    if (result.IsEmpty() || &result == &m_image)
        return 0;
    if (!m_image.IsEmpty())
        Keep(std::make_unique<FramePoolUndoEntry>(std::move(m_image), kSpillBytes, TempFolder()));
    m_image = std::move(result);
    return 1;
}

int CQvFramePool::PushComplemented()
{
    if (!ComplementUndo::Fits(m_image))
        return 0;
    Keep(std::make_unique<FramePoolUndoEntry>(std::make_unique<ComplementUndo>(m_image)));
    return 1;
}

void CQvFramePool::Keep(std::unique_ptr<FramePoolUndoEntry> entry)
{
    m_history.push_back(std::move(entry));
    ++m_pushCount;
    while (m_history.size() > static_cast<size_t>(kMaxUndoPoints)) {
        m_history.front()->ForgetLater();
        m_history.pop_front();
    }
}

void CQvFramePool::WaitForUndoFiles()
{
    UndoFileWorker::WaitUntilIdle();
}

CQvImage CQvFramePool::ScratchImage(const CQvImage& like)
{
    const int model = like.GetColorModel();
    CQvImage image = FramePoolRecycler::Take(model, like.GetWidth(), like.GetHeight());
    if (image.IsEmpty() && !image.Create(model, like.GetWidth(), like.GetHeight(), 0))
        return CQvImage();
    if (like.GetPaletteCount() > 0)
        image.SetPalette(like.GetPalette(), like.GetPaletteCount());
    if (like.GetRoiCount() > 0) {
        auto points = std::make_unique<int[]>(2 * static_cast<size_t>(like.GetRoiCount()));
        std::memcpy(points.get(), like.GetRoiPoints(), 2 * sizeof(int) * static_cast<size_t>(like.GetRoiCount()));
        image.SetRoi(like.GetRoiKind(), std::move(points), like.GetRoiCount());
    }
    return image;
}

int CQvFramePool::Undo()
{
    if (m_history.empty())
        return 0;
    const std::unique_ptr<FramePoolUndoEntry> latest = std::move(m_history.back());
    m_history.pop_back();
    return latest->RestoreInto(m_image);
}
