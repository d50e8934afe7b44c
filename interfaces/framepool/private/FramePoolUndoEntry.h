// One undo point of a frame pool: the whole image or one rectangle of it, held in memory or, when large, in a file
// of the temporary folder that the entry removes when it goes; or, for a change that complemented every pixel byte,
// no copy at all (ComplementUndo). The file is written by the background worker
// (UndoFileWrite); whatever asks for the copy back stops that write first.
// Internal to FramePool; the owner calls every member from one thread.
#pragma once

#include "qvimage/CQvImage.h"
#include "types/WinGeometry.h"

#include <memory>
#include <string>

class ComplementUndo;
class UndoFileWrite;

class FramePoolUndoEntry
{
public:
    // Copies the part of `image` (the whole image when `whole`, else `rect`, already clipped and not empty).
    FramePoolUndoEntry(const CQvImage& image, bool whole, const CRect& rect, long long spillBytes,
                       const std::string& tempFolder);
    // Takes `image` (not empty) itself as the copy of the whole image.
    FramePoolUndoEntry(CQvImage&& image, long long spillBytes, const std::string& tempFolder);
    // Keeps no copy: the undo complements the image's pixel bytes again.
    explicit FramePoolUndoEntry(std::unique_ptr<ComplementUndo> complement);
    // Stops a write still running and removes the file.
    ~FramePoolUndoEntry();
    FramePoolUndoEntry(const FramePoolUndoEntry&) = delete;
    FramePoolUndoEntry& operator=(const FramePoolUndoEntry&) = delete;

    // Puts the copy back into `image`: the whole image, or the rectangle's pixels when the image still has the
    // colour model and size it had when the copy was made. Returns 1, or 0 leaving the image unchanged. Uses the
    // copy up: call it once, then drop the entry.
    int RestoreInto(CQvImage& image);
    // For an undo point that goes while a command runs: a write still running stops, a complete file is left to the
    // background worker to remove. The entry is dropped next.
    void ForgetLater();

private:
    // A copy of at least spillBytes pixel bytes starts its way into a file when tempFolder is given; anything else
    // stays in memory (as does a copy whose file cannot be written).
    void Keep(CQvImage&& copy, long long spillBytes, const std::string& tempFolder);
    // The copy back in memory, from wherever it is. False when its file cannot be read.
    bool TakeCopy(CQvImage& copy);

    bool m_whole;
    CRect m_rect;
    int m_model;
    int m_width;
    int m_height;
    CQvImage m_copy;  // empty while the copy is with the writer or in the file
    std::unique_ptr<UndoFileWrite> m_file;
    std::unique_ptr<ComplementUndo> m_complement;
    // The region of interest of a copy given to the writer, kept here because the stored image record has none.
    int m_roiKind = QV_ROI_NONE;
    int m_roiCount = 0;
    std::unique_ptr<int[]> m_roiPoints;
};
