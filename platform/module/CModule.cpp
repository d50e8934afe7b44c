#include "module/CModule.h"

#include <dlfcn.h>

#include <utility>

namespace {

std::string TakeDlError(const char* fallback)
{
    const char* error = dlerror();
    return error ? error : fallback;
}

}  // namespace

CModule::~CModule()
{
    Free();
}

CModule::CModule(CModule&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)),
      m_path(std::move(other.m_path)),
      m_error(std::move(other.m_error))
{
    other.m_path.clear();
}

CModule& CModule::operator=(CModule&& other) noexcept
{
    if (this != &other) {
        Free();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_path = std::exchange(other.m_path, std::string());
        m_error = std::exchange(other.m_error, std::string());
    }
    return *this;
}

bool CModule::Load(const std::string& path)
{
    Free();
    dlerror();
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        m_error = TakeDlError("cannot load module");
        return false;
    }
    m_path = path;
    m_error.clear();
    return true;
}

void CModule::Free()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
    m_path.clear();
}

void* CModule::GetProcAddress(const char* name) const
{
    if (!m_handle) {
        m_error = "no module loaded";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(m_handle, name);
    if (!address) {
        m_error = TakeDlError("symbol has no address");
        return nullptr;
    }
    return address;
}
