// The registry's keys and values in memory. A key owns its sub-keys (kept in case-insensitive name order) and its
// values (kept in creation order); names keep the case they were created with and match ignoring ASCII case.
// Not thread-safe: the store guards it.
// Private to platform/profile: dependants use Registry.h.
#pragma once

#include "profile/Registry.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct RegistryValue
{
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

class RegistryKey
{
public:
    explicit RegistryKey(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }

    RegistryKey* Child(std::string_view name) const;
    RegistryKey& ChildOrCreate(std::string_view name, bool* created = nullptr);
    bool RemoveChild(std::string_view name);
    bool HasChildren() const { return !children_.empty(); }
    bool Empty() const { return children_.empty() && values_.empty(); }
    // The index-th sub-key in name order, or null.
    const RegistryKey* ChildAt(size_t index) const;
    template <class Visit> void ForEachChild(Visit visit) const
    {
        for (const auto& [folded, child] : children_)
            visit(*child);
    }

    const RegistryValue* Value(std::string_view name) const;
    // False when the value already held exactly this type and these bytes (nothing changed).
    bool SetValue(std::string_view name, DWORD type, std::vector<BYTE> data);
    bool RemoveValue(std::string_view name);
    const std::vector<RegistryValue>& Values() const { return values_; }

    void Clear();

private:
    std::string name_;
    std::map<std::string, std::unique_ptr<RegistryKey>> children_;   // by folded name
    std::vector<RegistryValue> values_;
};

// The deepest a key may lie below its root, as on Windows: the tree is walked recursively, so a file may not ask
// for more.
constexpr size_t kMaxRegistryDepth = 512;

bool SameRegistryName(std::string_view a, std::string_view b);

// The parts of a '\'-separated key path; empty parts are skipped.
std::vector<std::string> SplitRegistryPath(std::string_view path);
