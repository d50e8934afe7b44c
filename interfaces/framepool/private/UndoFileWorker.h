// The one background thread of the program that writes undo copies into files of the temporary folder and removes
// undo files nobody needs any more, in the order they were handed over, so that neither waits on the UI thread.
// A write is a job shared with the undo point that handed it over (UndoFileWrite); a removal is a path.
// Thread-safe. The thread starts with the first task and stops when the program ends: tasks still waiting then are
// done (removals) or dropped (writes, whose owners are gone by then).
#pragma once

#include "qvimage/CQvImage.h"
#include "types/VistrelExport.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// One undo copy on its way into a file. `copy` and `path` belong to the worker while the state is kQueued or
// kWriting and to the owner afterwards; `state` changes under `lock`, and `changed` tells of every change.
struct UndoFileJob
{
    enum State
    {
        kQueued,
        kWriting,
        kWritten,  // the file at `path` is complete; the copy has left memory
        kStopped,  // failed or cancelled: no file, the copy is still here
    };

    UndoFileJob(CQvImage&& image, std::string tempFolder) : copy(std::move(image)), folder(std::move(tempFolder)) {}

    CQvImage copy;
    const std::string folder;
    std::string path;
    std::atomic<bool> cancel{false};
    std::mutex lock;
    std::condition_variable changed;
    State state = kQueued;
};

class UndoFileWorker
{
public:
    static void Write(std::shared_ptr<UndoFileJob> job);
    static void Remove(std::string path);
    // Returns when every task handed over so far is done.
    static void WaitUntilIdle();
    // Makes the worker, so that it outlives whoever calls this first (frame pools call it when they are made).
    static void Prepare();

    // Tests only (exported for them): called on the worker thread before each chunk of a write goes to the file. Set
    // it while no write runs.
    VISTREL_EXPORT static void SetChunkHook(std::function<void()> hook);
};
