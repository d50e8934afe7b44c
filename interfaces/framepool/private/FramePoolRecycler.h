// The one spare pixel buffer of the program: an image that an undo file or an undo made free, kept for the next
// result of that model and size, so a command on a large image does not pay for touching fresh memory each time.
// At most one image is kept (the latest offered); it goes when the last frame pool goes.
// Internal to FramePool; thread-safe (the undo file worker offers from its own thread).
#pragma once

#include "qvimage/CQvImage.h"

class FramePoolRecycler
{
public:
    // Keeps `image` (its buffer) for later, in place of the one kept so far; an empty image is ignored.
    static void Offer(CQvImage&& image);
    // The kept image when it has this colour model and size (its pixel bytes as they were, row padding zeroed, no
    // region; an indexed image keeps its palette), or an empty image.
    static CQvImage Take(int type, int width, int height);

    // Makes the spare's keeper, so that it outlives whoever calls this first.
    static void Prepare();
    // Frame pools count themselves in and out; the spare goes with the last one.
    static void PoolOpened();
    static void PoolClosed();
};
