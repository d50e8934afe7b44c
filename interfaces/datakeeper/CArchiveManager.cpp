#include "datakeeper/CArchiveManager.h"

#include "datakeeper/ArchiveFile.h"
#include "inifile/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace datakeeper {

CArchiveManager::CArchiveManager() : m_root(std::make_unique<CArchiveElement>(this, "Root")) {}

CArchiveManager::~CArchiveManager() = default;

CArchiveElement* CArchiveManager::NewElement()
{
    m_free.push_back(std::make_unique<CArchiveElement>(this, std::string()));
    return m_free.back().get();
}

std::unique_ptr<CArchiveElement> CArchiveManager::TakeFreeElement(CArchiveElement* element)
{
    for (auto it = m_free.begin(); it != m_free.end(); ++it) {
        if (it->get() == element) {
            std::unique_ptr<CArchiveElement> owned = std::move(*it);
            m_free.erase(it);
            return owned;
        }
    }
    return nullptr;
}

std::vector<uint8_t> CArchiveManager::SaveToBytes() const
{
    return EncodeArchive(*m_root);
}

bool CArchiveManager::LoadFromBytes(const uint8_t* data, size_t size)
{
    std::string error;
    std::unique_ptr<CArchiveElement> root = DecodeArchive(*this, data, size, error);
    if (!root) {
        m_error = error;
        return false;
    }
    m_root = std::move(root);
    m_error.clear();
    return true;
}

bool CArchiveManager::Save(const std::string& path)
{
    const std::vector<uint8_t> bytes = SaveToBytes();
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        m_error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        m_error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    m_error.clear();
    return true;
}

bool CArchiveManager::Load(const std::string& path)
{
    // A regular file only, of at most a settings file's size: a FIFO would stop the host, a device never end.
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        m_error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!LoadFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) {
        m_error = path + ": " + m_error;
        return false;
    }
    return true;
}

}  // namespace datakeeper
