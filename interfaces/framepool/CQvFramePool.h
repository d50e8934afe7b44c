// The image of one document with its undo history and its file name.
//
// Contract:
// - GetImage gives the document's image itself: changing it (in place or by assignment) changes the document.
// - PushImage keeps an undo point: a copy of the rectangle (image pixels, exclusive right and bottom, clipped to
//   the image) or, for the rectangle (-1, -1, -1, -1), of the whole image with its palette and region. Undo puts
//   the latest point back and forgets it. At most kMaxUndoPoints are kept; older ones are forgotten.
// - A rectangle's undo point is put back only into an image of the colour model and size it was taken from;
//   otherwise Undo forgets it and changes nothing. SetImage and assignments through GetImage keep the history.
// - Undo copies of kSpillBytes pixel bytes or more are written to files in the temporary folder (SetTempPath,
//   program-wide) and read back on Undo; a file is removed as soon as its undo point is used or forgotten, and
//   when the pool is destroyed. Without a usable temporary folder copies stay in memory.
// - UI thread only; one pool per document, not copyable.
#pragma once

#include "qvimage/CQvImage.h"
#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <deque>
#include <memory>
#include <string>

class FramePoolUndoEntry;

class VISTREL_EXPORT CQvFramePool
{
public:
    static constexpr int kMaxUndoPoints = 10;
    static constexpr long long kSpillBytes = 4LL * 1024 * 1024;

    CQvFramePool();
    ~CQvFramePool();
    CQvFramePool(const CQvFramePool&) = delete;
    CQvFramePool& operator=(const CQvFramePool&) = delete;

    CQvImage& GetImage() { return m_image; }
    const CQvImage& GetImage() const { return m_image; }
    // Copies `image` into the pool's image; 0 (nothing changed) for null.
    int SetImage(const CQvImage* image);

    // Returns 1, or 0 (nothing kept) for an empty image or a rectangle with no pixel inside the image.
    int PushImage(const CRect& rect);
    int PushImage(int left, int top, int right, int bottom) { return PushImage(CRect(left, top, right, bottom)); }
    // Returns 1 when an undo point was put back, 0 when there was none or it no longer fitted the image.
    int Undo();
    int CanUndo() const { return m_history.empty() ? 0 : 1; }
    // How many undo points were ever kept: a caller sees whether work it handed on pushed one, also when the
    // history is full and its size stays the same.
    unsigned long long PushCount() const { return m_pushCount; }

    const std::string& GetFileName() const { return m_fileName; }
    void SetFileName(const std::string& fileName) { m_fileName = fileName; }

    // The folder for undo files of every pool created or pushed afterwards ("" for none). A trailing '/' is
    // optional.
    static void SetTempPath(const std::string& folder);

private:
    CQvImage m_image;
    std::string m_fileName;
    std::deque<std::unique_ptr<FramePoolUndoEntry>> m_history;  // oldest first
    unsigned long long m_pushCount = 0;
};
