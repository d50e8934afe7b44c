#include "framepool/CQvFramePool.h"

#include "framepool/private/FramePoolUndoEntry.h"

namespace {

std::string& TempFolder()
{
    static std::string folder;
    return folder;
}

}  // namespace

CQvFramePool::CQvFramePool() = default;
CQvFramePool::~CQvFramePool() = default;

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

    m_history.push_back(std::make_unique<FramePoolUndoEntry>(m_image, whole, part, kSpillBytes, TempFolder()));
    ++m_pushCount;
    while (m_history.size() > static_cast<size_t>(kMaxUndoPoints))
        m_history.pop_front();
    return 1;
}

int CQvFramePool::Undo()
{
    if (m_history.empty())
        return 0;
    const std::unique_ptr<FramePoolUndoEntry> latest = std::move(m_history.back());
    m_history.pop_back();
    return latest->RestoreInto(m_image);
}
