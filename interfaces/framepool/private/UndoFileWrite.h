// An undo point's side of one undo copy on its way into a file of the temporary folder: the copy is handed to the
// background worker (UndoFileWorker), which writes it while the command that kept it goes on. The worker owns the
// copy until the write ended: nothing else reads or changes it meanwhile. A written copy leaves memory; a copy whose
// write failed or was cancelled comes back through TakeCopy.
// Internal to FramePool; the owner calls every member from one thread.
#pragma once

#include "qvimage/CQvImage.h"

#include <memory>
#include <string>

struct UndoFileJob;

class UndoFileWrite
{
public:
    // Hands `copy` (not empty) over for a new file in `folder`.
    UndoFileWrite(CQvImage&& copy, const std::string& folder);
    // Stops a write still waiting or running and removes the file before it returns.
    ~UndoFileWrite();
    UndoFileWrite(const UndoFileWrite&) = delete;
    UndoFileWrite& operator=(const UndoFileWrite&) = delete;

    // Waits for the write to end (after the writes handed over before it). True when the file is complete.
    bool Finish();
    // Stops the write: one still waiting at once, one running within a chunk. True when the file had been completed
    // before; otherwise the copy is back for TakeCopy.
    bool Cancel();
    // After Finish or Cancel returned true: the file.
    const std::string& Path() const;
    // After Finish or Cancel returned false: the copy, moved out.
    CQvImage TakeCopy();
    // Cancels the write and leaves a complete file to the worker to remove: for an undo point that goes while a
    // command runs, which must not wait for the disk.
    void RemoveLater();

private:
    std::shared_ptr<UndoFileJob> m_job;
};
