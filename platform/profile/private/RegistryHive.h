// One root of the registry and the file it lives in. Keeps the tree in memory, re-reads the file when another
// process replaced it, and writes the whole tree back after a change: at once, or when the last open batch ends.
// Not thread-safe: the store guards it.
// Private to platform/profile: dependants use Registry.h.
#pragma once

#include "profile/private/RegistryTree.h"

#include <string>
#include <sys/types.h>
#include <vector>

// The most copies of damaged files kept beside one store file ("<file>.bak", .bak2, ...); with all of them taken,
// a damaged file is left as it is and not written.
constexpr int kMaxDamagedStoreCopies = 100;

class RegistryHive
{
public:
    explicit RegistryHive(bool writable) : writable_(writable) {}
    ~RegistryHive();
    RegistryHive(const RegistryHive&) = delete;
    RegistryHive& operator=(const RegistryHive&) = delete;

    // Points the hive at `file` (empty: no file, an empty read-only tree) and reads it; changes still waiting for
    // a batch to end are written to the old file first. Problems of the old file not yet taken are forgotten.
    void Open(std::string file);
    // False for a read-only hive, while the file exists but cannot be read, and while it is damaged and no copy of
    // it could be kept: a write would replace what it could not see.
    bool Writable() const { return writable_ && !file_.empty() && !unreadable_ && !keepsDamaged_; }
    RegistryKey& Root() { return root_; }

    // Re-reads the file when it is not the one last read or written, unless changes are waiting to be written
    // (only a writer that ignores the file lock could have replaced it; the waiting changes win).
    void Refresh();
    // Records that the tree changed: writes it now, or marks it for the end of the open batch.
    void Changed();
    // Writes what is waiting now; false when the file could not be written (the change stays in memory).
    bool Flush();

    // While a batch is open, changes wait in memory and the file lock is held, so no other process can change the
    // file meanwhile; the outermost EndBatch writes what waits. Batches nest.
    void BeginBatch();
    void EndBatch();

    // What went wrong since the last call; see RegistryStoreProblem.
    std::vector<RegistryStoreProblem> TakeProblems();

    // Holds the hive's lock file for a read-modify-write across processes (already held inside a batch).
    class WriteLock
    {
    public:
        explicit WriteLock(RegistryHive& hive);
        ~WriteLock();
        WriteLock(const WriteLock&) = delete;
        WriteLock& operator=(const WriteLock&) = delete;

    private:
        RegistryHive& hive_;
    };

private:
    struct FileIdentity
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        long long modifiedNs = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    FileIdentity CurrentIdentity() const;
    void Read();
    // Keeps `text`, the damaged file as read, beside it and writes the file again from what was read; when no
    // copy can be made the file stays as it is and is not written.
    void KeepDamaged(const std::string& text);
    void Report(RegistryStoreProblem::Kind kind, std::string copy = {});
    bool Save();
    // Counted: the lock file is taken by the first holder and released by the last.
    void HoldFileLock();
    void ReleaseFileLock();
    void TakeLockFile();
    void DropLockFile();

    bool writable_;
    bool unreadable_ = false;
    bool keepsDamaged_ = false;   // damaged and no copy made: the file must not be written over
    std::vector<RegistryStoreProblem> problems_;
    std::string file_;
    FileIdentity known_;
    RegistryKey root_{""};
    int lockFd_ = -1;
    int lockHolders_ = 0;
    int openBatches_ = 0;
    bool waiting_ = false;   // changed in a batch, not yet written
};
