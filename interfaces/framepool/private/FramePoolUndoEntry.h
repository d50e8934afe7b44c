// One undo point of a frame pool: a copy of the whole image or of one rectangle of it, held in memory or, when
// large, in a file of the temporary folder that the entry removes when it goes.
// Internal to FramePool; not thread-safe.
#pragma once

#include "qvimage/CQvImage.h"
#include "types/WinGeometry.h"

#include <memory>
#include <string>

class FramePoolUndoEntry
{
public:
    // Copies the part of `image` (the whole image when `whole`, else `rect`, already clipped and not empty). A copy
    // of at least spillBytes pixel bytes goes to a new file in tempFolder when that folder is given and writable;
    // anything else stays in memory.
    FramePoolUndoEntry(const CQvImage& image, bool whole, const CRect& rect, long long spillBytes,
                       const std::string& tempFolder);
    ~FramePoolUndoEntry();
    FramePoolUndoEntry(const FramePoolUndoEntry&) = delete;
    FramePoolUndoEntry& operator=(const FramePoolUndoEntry&) = delete;

    // Puts the copy back into `image`: the whole image, or the rectangle's pixels when the image still has the
    // colour model and size it had when the copy was made. Returns 1, or 0 leaving the image unchanged.
    int RestoreInto(CQvImage& image) const;

private:
    void SpillToFile(const std::string& tempFolder);
    bool LoadCopy(CQvImage& copy) const;

    bool m_whole;
    CRect m_rect;
    int m_model;
    int m_width;
    int m_height;
    CQvImage m_copy;          // empty while the copy is in the file
    std::string m_filePath;
    // The region of interest of a copy in a file, kept here because the stored image record has none.
    int m_roiKind = QV_ROI_NONE;
    int m_roiCount = 0;
    std::unique_ptr<int[]> m_roiPoints;
};
