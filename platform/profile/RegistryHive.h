// One root of the registry and the file it lives in. Keeps the tree in memory, re-reads the file when another
// process replaced it, and writes the whole tree back after a change. Not thread-safe: the store guards it.
#pragma once

#include "profile/RegistryTree.h"

#include <string>
#include <sys/types.h>

class RegistryHive
{
public:
    explicit RegistryHive(bool writable) : writable_(writable) {}

    // Points the hive at `file` (empty: no file, an empty read-only tree) and reads it.
    void Open(std::string file);
    // False for a read-only hive, and while the file exists but cannot be read: a write would replace what it
    // could not see.
    bool Writable() const { return writable_ && !file_.empty() && !unreadable_; }
    RegistryKey& Root() { return root_; }

    // Re-reads the file when it is not the one last read or written.
    void Refresh();
    // Writes the tree; false when the file could not be written (the change stays in memory).
    bool Save();

    // Holds the hive's lock file for a read-modify-write across processes.
    class WriteLock
    {
    public:
        explicit WriteLock(const RegistryHive& hive);
        ~WriteLock();
        WriteLock(const WriteLock&) = delete;
        WriteLock& operator=(const WriteLock&) = delete;

    private:
        int fd_ = -1;
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

    bool writable_;
    bool unreadable_ = false;
    std::string file_;
    FileIdentity known_;
    RegistryKey root_{""};
};
