#include "framepool/private/FramePoolUndoEntry.h"

#include "framepool/private/ComplementUndo.h"
#include "framepool/private/FramePoolRecycler.h"
#include "framepool/private/UndoFileWrite.h"
#include "qvimage/QvImageOps.h"
#include "qvimage/QvImageRecord.h"

#include <cstdio>
#include <cstring>
#include <utility>

FramePoolUndoEntry::FramePoolUndoEntry(const CQvImage& image, bool whole, const CRect& rect, long long spillBytes,
                                       const std::string& tempFolder)
    : m_whole(whole), m_rect(rect), m_model(image.GetColorModel()), m_width(image.GetWidth()),
      m_height(image.GetHeight())
{
    CQvImage copy;
    if (whole) {
        // A buffer of that size at hand is written over instead of fresh memory being touched.
        copy = FramePoolRecycler::Take(m_model, m_width, m_height);
        copy = image;
    } else {
        QVCopyImage(&image, &copy, rect);
    }
    Keep(std::move(copy), spillBytes, tempFolder);
}

FramePoolUndoEntry::FramePoolUndoEntry(CQvImage&& image, long long spillBytes, const std::string& tempFolder)
    : m_whole(true), m_rect(0, 0, image.GetWidth(), image.GetHeight()), m_model(image.GetColorModel()),
      m_width(image.GetWidth()), m_height(image.GetHeight())
{
    Keep(std::move(image), spillBytes, tempFolder);
}

FramePoolUndoEntry::FramePoolUndoEntry(std::unique_ptr<ComplementUndo> complement)
    : m_whole(true), m_model(-1), m_width(0), m_height(0), m_complement(std::move(complement))
{
}

FramePoolUndoEntry::~FramePoolUndoEntry() = default;

void FramePoolUndoEntry::Keep(CQvImage&& copy, long long spillBytes, const std::string& tempFolder)
{
    const long long bytes = static_cast<long long>(copy.GetStride()) * copy.GetHeight();
    if (tempFolder.empty() || bytes < spillBytes) {
        m_copy = std::move(copy);
        return;
    }
    m_roiKind = copy.GetRoiKind();
    m_roiCount = copy.GetRoiCount();
    if (m_roiCount > 0) {
        m_roiPoints = std::make_unique<int[]>(2 * static_cast<size_t>(m_roiCount));
        std::memcpy(m_roiPoints.get(), copy.GetRoiPoints(), 2 * sizeof(int) * static_cast<size_t>(m_roiCount));
    }
    m_file = std::make_unique<UndoFileWrite>(std::move(copy), tempFolder);
}

void FramePoolUndoEntry::ForgetLater()
{
    if (m_file)
        m_file->RemoveLater();
}

bool FramePoolUndoEntry::TakeCopy(CQvImage& copy)
{
    if (!m_file) {
        copy = std::move(m_copy);
        return true;
    }
    // The copy is wanted now: a write still running is of no more use, and the copy is still in memory then.
    if (!m_file->Cancel()) {
        copy = m_file->TakeCopy();
        return true;
    }
    FILE* file = std::fopen(m_file->Path().c_str(), "rb");
    if (!file)
        return false;
    const bool read = QVReadImage(file, &copy) == 1;
    std::fclose(file);
    m_file->RemoveLater();
    if (read && m_roiCount > 0) {
        auto points = std::make_unique<int[]>(2 * static_cast<size_t>(m_roiCount));
        std::memcpy(points.get(), m_roiPoints.get(), 2 * sizeof(int) * static_cast<size_t>(m_roiCount));
        copy.SetRoi(m_roiKind, std::move(points), m_roiCount);
    }
    return read;
}

int FramePoolUndoEntry::RestoreInto(CQvImage& image)
{
    if (m_complement)
        return m_complement->RestoreInto(image);
    CQvImage copy;
    if (!TakeCopy(copy))
        return 0;

    if (m_whole) {
        // The image the undo replaces is nobody's any more: its buffer serves the next result of its size.
        FramePoolRecycler::Offer(std::move(image));
        image = std::move(copy);
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
