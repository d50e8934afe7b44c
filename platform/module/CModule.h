// A run-time loaded module (plug-in, driver, report module): owns one dlopen handle, opened RTLD_NOW | RTLD_LOCAL
// so every symbol is resolved at load and equal names in two modules never interpose. Closing happens on
// destruction, on Free and before another Load. Move-only. Why the last load or look-up failed is kept for the
// log. Not thread-safe per object.
#pragma once

#include "types/VistrelExport.h"

#include <string>

class VISTREL_EXPORT CModule
{
public:
    CModule() = default;
    ~CModule();
    CModule(CModule&& other) noexcept;
    CModule& operator=(CModule&& other) noexcept;
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;

    // Frees the module held, then loads `path`. False when it cannot be loaded; GetLastError says why.
    bool Load(const std::string& path);
    void Free();
    bool IsLoaded() const { return m_handle != nullptr; }
    const std::string& GetPath() const { return m_path; }

    // The address of an exported symbol, or null (GetLastError says why).
    void* GetProcAddress(const char* name) const;
    template <typename Function>
    Function GetProc(const char* name) const
    {
        return reinterpret_cast<Function>(GetProcAddress(name));
    }

    const std::string& GetLastError() const { return m_error; }

private:
    void* m_handle = nullptr;
    std::string m_path;
    mutable std::string m_error;
};
