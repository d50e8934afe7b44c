#include "profile/Registry.h"

#include "profile/private/RegistryStore.h"

#include <cstring>
#include <string_view>

namespace {

constexpr REGSAM kWriteAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

std::string_view NameOf(const char* name)
{
    return name ? std::string_view(name) : std::string_view();
}

std::vector<std::string> Concat(const std::vector<std::string>& path, const std::vector<std::string>& more)
{
    std::vector<std::string> all = path;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

LONG CopyName(const std::string& text, char* name, DWORD* nameSize)
{
    if (!name || !nameSize)
        return ERROR_INVALID_PARAMETER;
    if (text.size() + 1 > *nameSize)
        return ERROR_MORE_DATA;
    std::memcpy(name, text.c_str(), text.size() + 1);
    *nameSize = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
}

LONG CopyData(const RegistryValue& value, DWORD* type, BYTE* data, DWORD* dataSize)
{
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    if (type)
        *type = value.type;
    if (!dataSize)
        return ERROR_SUCCESS;
    const DWORD available = *dataSize;
    *dataSize = static_cast<DWORD>(value.data.size());
    if (!data)
        return ERROR_SUCCESS;
    if (available < value.data.size())
        return ERROR_MORE_DATA;
    if (!value.data.empty())
        std::memcpy(data, value.data.data(), value.data.size());
    return ERROR_SUCCESS;
}

// Runs a change under the store lock and the hive's file lock on the freshly read tree, and has the tree written
// when the change says it changed something. `change` gets the key, the handle it was reached through and that flag.
template <class Change> LONG ChangeKey(HKEY key, const std::vector<std::string>& subPath, Change change)
{
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    const RegistryKeyHandle* handle = store.Find(key);
    if (!handle)
        return ERROR_INVALID_HANDLE;
    if (!handle->writable || !handle->hive->Writable())
        return ERROR_ACCESS_DENIED;
    const RegistryHive::WriteLock fileLock(*handle->hive);
    RegistryKey* target = store.Resolve(*handle, subPath);
    if (!target)
        return ERROR_FILE_NOT_FOUND;
    bool changed = false;
    const LONG result = change(*target, *handle, changed);
    if (changed)
        handle->hive->Changed();
    return result;
}

template <class Read> LONG ReadKey(HKEY key, Read read)
{
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    const RegistryKeyHandle* handle = store.Find(key);
    if (!handle)
        return ERROR_INVALID_HANDLE;
    const RegistryKey* target = store.Resolve(*handle);
    return target ? read(*target) : ERROR_FILE_NOT_FOUND;
}

} // namespace

LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD, REGSAM access, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    const RegistryKeyHandle* parent = store.Find(key);
    if (!parent)
        return ERROR_INVALID_HANDLE;
    const std::vector<std::string> subPath = SplitRegistryPath(NameOf(subKey));
    if (!store.Resolve(*parent, subPath))
        return ERROR_FILE_NOT_FOUND;
    const bool wantsWrite = (access & kWriteAccess) != 0;
    if (wantsWrite && !parent->hive->Writable())
        return ERROR_ACCESS_DENIED;
    *result = store.Add(RegistryKeyHandle{parent->hive, Concat(parent->path, subPath), wantsWrite});
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD, char*, DWORD, REGSAM access, void*, PHKEY result,
                    DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const std::vector<std::string> subPath = SplitRegistryPath(NameOf(subKey));
    return ChangeKey(key, {}, [&](RegistryKey& parent, const RegistryKeyHandle& parentHandle, bool& changed) {
        if (parentHandle.path.size() + subPath.size() > kMaxRegistryDepth)
            return ERROR_INVALID_PARAMETER;   // the store could not read such a key back
        bool createdAny = false;
        RegistryKey* at = &parent;
        for (const std::string& part : subPath) {
            bool created = false;
            at = &at->ChildOrCreate(part, &created);
            createdAny = createdAny || created;
        }
        changed = createdAny;
        if (disposition)
            *disposition = createdAny ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        *result = RegistryStore::Instance().Add(RegistryKeyHandle{
            parentHandle.hive, Concat(parentHandle.path, subPath), (access & kWriteAccess) != 0});
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    return store.Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegFlushKey(HKEY key)
{
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    const RegistryKeyHandle* handle = store.Find(key);
    if (!handle)
        return ERROR_INVALID_HANDLE;
    if (!store.Resolve(*handle))
        return ERROR_FILE_NOT_FOUND;
    handle->hive->Flush();   // as for any write, a file that cannot be written keeps the changes in memory
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    return ReadKey(key, [&](const RegistryKey& target) {
        const RegistryValue* value = target.Value(NameOf(valueName));
        return value ? CopyData(*value, type, data, dataSize) : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegSetValueEx(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    if (!data && dataSize > 0)
        return ERROR_INVALID_PARAMETER;
    return ChangeKey(key, {}, [&](RegistryKey& target, const RegistryKeyHandle&, bool& changed) {
        changed = target.SetValue(NameOf(valueName), type, std::vector<BYTE>(data, data + dataSize));
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValue(HKEY key, const char* valueName)
{
    return ChangeKey(key, {}, [&](RegistryKey& target, const RegistryKeyHandle&, bool& changed) {
        changed = target.RemoveValue(NameOf(valueName));
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKey(HKEY key, const char* subKey)
{
    std::vector<std::string> subPath = SplitRegistryPath(NameOf(subKey));
    if (subPath.empty())
        return ERROR_INVALID_PARAMETER;
    const std::string last = subPath.back();
    subPath.pop_back();
    return ChangeKey(key, subPath, [&](RegistryKey& parent, const RegistryKeyHandle&, bool& changed) {
        const RegistryKey* doomed = parent.Child(last);
        if (!doomed)
            return ERROR_FILE_NOT_FOUND;
        if (doomed->HasChildren())
            return ERROR_ACCESS_DENIED;
        changed = parent.RemoveChild(last);
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteTree(HKEY key, const char* subKey)
{
    std::vector<std::string> subPath = SplitRegistryPath(NameOf(subKey));
    if (subPath.empty())
        return ChangeKey(key, {}, [](RegistryKey& target, const RegistryKeyHandle&, bool& changed) {
            changed = !target.Empty();
            target.Clear();
            return ERROR_SUCCESS;
        });
    const std::string last = subPath.back();
    subPath.pop_back();
    return ChangeKey(key, subPath, [&](RegistryKey& parent, const RegistryKeyHandle&, bool& changed) {
        changed = parent.RemoveChild(last);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, char*, DWORD*, void*)
{
    return ReadKey(key, [&](const RegistryKey& target) {
        const RegistryKey* child = target.ChildAt(index);
        return child ? CopyName(child->Name(), name, nameSize) : ERROR_NO_MORE_ITEMS;
    });
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, DWORD* type, BYTE* data,
                  DWORD* dataSize)
{
    return ReadKey(key, [&](const RegistryKey& target) {
        if (index >= target.Values().size())
            return ERROR_NO_MORE_ITEMS;
        const RegistryValue& value = target.Values()[index];
        const LONG named = CopyName(value.name, name, nameSize);
        return named == ERROR_SUCCESS ? CopyData(value, type, data, dataSize) : named;
    });
}

void RegReloadStore()
{
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    store.Reload();
}

std::vector<RegistryStoreProblem> RegTakeStoreProblems()
{
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    return store.TakeProblems();
}
