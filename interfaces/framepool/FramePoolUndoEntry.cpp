#include "framepool/private/FramePoolUndoEntry.h"

#include "qvimage/QvImageOps.h"
#include "qvimage/QvImageRecord.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

// Names must not collide between pools, nor between programs sharing the folder.
std::string NewUndoFileName(const std::string& folder)
{
    static std::atomic<unsigned long> serial{0};
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + "undo-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".qvu";
}

}  // namespace

FramePoolUndoEntry::FramePoolUndoEntry(const CQvImage& image, bool whole, const CRect& rect, long long spillBytes,
                                       const std::string& tempFolder)
    : m_whole(whole), m_rect(rect), m_model(image.GetColorModel()), m_width(image.GetWidth()),
      m_height(image.GetHeight())
{
    if (whole)
        m_copy = image;
    else
        QVCopyImage(&image, &m_copy, rect);
    const long long bytes = static_cast<long long>(m_copy.GetStride()) * m_copy.GetHeight();
    if (!tempFolder.empty() && bytes >= spillBytes)
        SpillToFile(tempFolder);
}

FramePoolUndoEntry::~FramePoolUndoEntry()
{
    if (!m_filePath.empty())
        std::remove(m_filePath.c_str());
}

void FramePoolUndoEntry::SpillToFile(const std::string& tempFolder)
{
    const std::string path = NewUndoFileName(tempFolder);
    FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file)
        return;
    const bool written = QVWriteImage(file, &m_copy) == 1;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        return;
    }
    m_filePath = path;
    m_roiKind = m_copy.GetRoiKind();
    m_roiCount = m_copy.GetRoiCount();
    if (m_roiCount > 0) {
        m_roiPoints = std::make_unique<int[]>(2 * static_cast<size_t>(m_roiCount));
        std::memcpy(m_roiPoints.get(), m_copy.GetRoiPoints(), 2 * sizeof(int) * static_cast<size_t>(m_roiCount));
    }
    m_copy.Initialize();
}

bool FramePoolUndoEntry::LoadCopy(CQvImage& copy) const
{
    FILE* file = std::fopen(m_filePath.c_str(), "rb");
    if (!file)
        return false;
    const bool read = QVReadImage(file, &copy) == 1;
    std::fclose(file);
    return read;
}

int FramePoolUndoEntry::RestoreInto(CQvImage& image) const
{
    CQvImage loaded;
    if (!m_filePath.empty() && !LoadCopy(loaded))
        return 0;
    const CQvImage& copy = m_filePath.empty() ? m_copy : loaded;

    if (m_whole) {
        image = copy;
        if (!m_filePath.empty() && m_roiCount > 0) {
            auto points = std::make_unique<int[]>(2 * static_cast<size_t>(m_roiCount));
            std::memcpy(points.get(), m_roiPoints.get(), 2 * sizeof(int) * static_cast<size_t>(m_roiCount));
            image.SetRoi(m_roiKind, std::move(points), m_roiCount);
        }
        return 1;
    }

    // The copy read back from a file is checked like the image: a file changed meanwhile must not be trusted.
    if (image.GetColorModel() != m_model || image.GetWidth() != m_width || image.GetHeight() != m_height ||
        copy.GetColorModel() != m_model || copy.GetWidth() != m_rect.Width() || copy.GetHeight() != m_rect.Height())
        return 0;
    const size_t rowBytes = static_cast<size_t>(m_rect.Width()) * static_cast<size_t>(image.GetBitsPerPixel() / 8);
    for (int y = 0; y < m_rect.Height(); ++y)
        std::memcpy(image.GetPixel(m_rect.left, m_rect.top + y), copy.GetPixel(0, y), rowBytes);
    return 1;
}
