// The image of one document with its undo history and its file name.
//
// Contract:
// - GetImage gives the document's image itself: changing it (in place or by assignment) changes the document.
// - PushImage keeps an undo point: a copy of the rectangle (image pixels, exclusive right and bottom, clipped to
//   the image) or, for the rectangle (-1, -1, -1, -1), of the whole image with its palette and region. Undo puts
//   the latest point back and forgets it. At most kMaxUndoPoints are kept; older ones are forgotten.
// - A rectangle's undo point is put back only into an image of the colour model and size it was taken from;
//   otherwise Undo forgets it and changes nothing. SetImage and assignments through GetImage keep the history.
// - ReplaceImage keeps the whole image as an undo point without copying it: the image itself becomes the undo
//   point and the caller's new image takes its place.
// - PushComplemented keeps an undo point without any copy for a change that complemented every pixel byte of the
//   whole image: its undo complements them again, which gives the image back bit for bit. It is put back only into
//   the image the change left (same colour model, size and a sample of its bytes, so another picture put in its
//   place meanwhile is not complemented); otherwise Undo forgets it and changes nothing.
// - Undo copies of kSpillBytes pixel bytes or more are written to files in the temporary folder (SetTempPath,
//   program-wide) and read back on Undo. Without a usable temporary folder copies stay in memory.
// - One background thread writes those files, each from a copy nothing else touches meanwhile, and removes the file
//   of a point that was used or forgotten, so a command never waits for the disk. Undo of a point whose file is not
//   complete yet stops that write and takes the copy still in memory. Destroying the pool stops its writes and
//   removes its remaining files before it returns.
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
    // Puts `result` in place of the image and keeps the image it replaces, moved rather than copied, as the undo
    // point of the whole image (none when the image was empty): for commands that build a new image anyway.
    // Returns 1, or 0 (nothing changed, nothing kept) for an empty result or the pool's own image.
    int ReplaceImage(CQvImage&& result);
    // Keeps the undo point of a change just made that complemented every pixel byte of the whole image in place
    // (each byte b became 255 - b; row padding, palette and region untouched), so the command pays for no copy.
    // Returns 1, or 0 (nothing kept) for an empty image or one whose pixels are not whole bytes.
    int PushComplemented();
    // Returns 1 when an undo point was put back, 0 when there was none or it no longer fitted the image.
    int Undo();
    int CanUndo() const { return m_history.empty() ? 0 : 1; }
    // How many undo points were ever kept: a caller sees whether work it handed on pushed one, also when the
    // history is full and its size stays the same.
    unsigned long long PushCount() const { return m_pushCount; }
    // Returns when no undo file of any pool waits to be written or removed (for a caller that looks into the
    // temporary folder, and for measurements).
    static void WaitForUndoFiles();

    // An image with the colour model, size, palette and region of `like` for a result that writes every pixel
    // byte: its bytes are unspecified (a buffer that an undo file or an undo made free, when one of that model and
    // size is at hand, so a large result does not touch fresh memory), the row padding zero. Empty when `like` is
    // empty or there is no memory.
    static CQvImage ScratchImage(const CQvImage& like);

    const std::string& GetFileName() const { return m_fileName; }
    void SetFileName(const std::string& fileName) { m_fileName = fileName; }

    // The folder for undo files of every pool created or pushed afterwards ("" for none). A trailing '/' is
    // optional.
    static void SetTempPath(const std::string& folder);

private:
    void Keep(std::unique_ptr<FramePoolUndoEntry> entry);

    CQvImage m_image;
    std::string m_fileName;
    std::deque<std::unique_ptr<FramePoolUndoEntry>> m_history;  // oldest first
    unsigned long long m_pushCount = 0;
};
