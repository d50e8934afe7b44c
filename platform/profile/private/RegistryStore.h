// The process-wide registry: the two hives, their files and the open handles. Every call takes Lock() first and
// holds it for the whole operation.
// Private to platform/profile: dependants use Registry.h.
#pragma once

#include "profile/private/RegistryHive.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

struct RegistryKeyHandle
{
    RegistryHive* hive = nullptr;
    std::vector<std::string> path;
    bool writable = false;
};

class RegistryStore
{
public:
    static RegistryStore& Instance();

    std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }

    // Re-reads both hives from the files the environment names now.
    void Reload();

    // A write batch of the writable hive (HKEY_CURRENT_USER); see RegistryWriteBatch.
    void BeginBatch() { user_.BeginBatch(); }
    void EndBatch() { user_.EndBatch(); }

    // The problems of the writable hive since the last call.
    std::vector<RegistryStoreProblem> TakeProblems() { return user_.TakeProblems(); }

    // What `key` names, or null when it is not a root and not one of our open handles.
    const RegistryKeyHandle* Find(HKEY key) const;
    HKEY Add(RegistryKeyHandle handle);
    bool Remove(HKEY key);

    // The key `handle` names, followed by `subPath`, after picking up changes to its file; null when missing.
    RegistryKey* Resolve(const RegistryKeyHandle& handle, const std::vector<std::string>& subPath = {});

private:
    RegistryStore();

    std::mutex mutex_;
    RegistryHive user_{true};
    RegistryHive machine_{false};
    RegistryKeyHandle userRoot_{&user_, {}, true};
    RegistryKeyHandle machineRoot_{&machine_, {}, false};
    std::unordered_map<HKEY, std::unique_ptr<RegistryKeyHandle>> handles_;
};
