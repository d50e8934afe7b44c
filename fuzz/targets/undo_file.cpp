// An undo copy read back from its file in the temporary folder, which another process may have changed. The first
// byte picks a copy of the whole image or of a rectangle; the rest replaces the file before Undo.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "framepool/CQvFramePool.h"

#include <filesystem>

VISTREL_FUZZ_TARGET(undo_file)
{
    if (size == 0)
        return 0;
    static const std::string folder = [] {
        const std::string path = FuzzScratchFolder() + "/undo";
        std::filesystem::create_directories(path);
        return path;
    }();
    CQvFramePool::SetTempPath(folder);

    // The smallest grey image whose copy goes to a file.
    constexpr int kSide = 2048;
    static_assert(static_cast<long long>(kSide) * kSide >= CQvFramePool::kSpillBytes);
    CQvFramePool pool;
    if (!pool.GetImage().Create(QV_GRAY8, kSide, kSide, 0))
        return 0;
    const bool whole = data[0] & 1;
    if (!(whole ? pool.PushImage(-1, -1, -1, -1) : pool.PushImage(0, 0, kSide, kSide)))
        return 0;

    // The file is written in the background: it is complete before it is replaced, and removed in the background.
    CQvFramePool::WaitForUndoFiles();
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        WriteFuzzFile(entry.path().string(), data + 1, size - 1);
    pool.Undo();
    CQvFramePool::WaitForUndoFiles();
    FuzzCheck(std::filesystem::is_empty(folder), "an undo file is removed once it was used");
    return 0;
}
