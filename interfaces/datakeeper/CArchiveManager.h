// An archive: one tree of named elements with typed attributes, kept in a file (ArchiveFile.h gives its bytes).
// The manager owns the root and the free elements it makes; a Load replaces the whole tree, so pointers into the
// old tree are invalid afterwards (a failed Load keeps the tree and every pointer). Not thread-safe.
#pragma once

#include "datakeeper/CArchiveElement.h"
#include "types/VistrelExport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace datakeeper {

class VISTREL_EXPORT CArchiveManager
{
public:
    CArchiveManager();
    ~CArchiveManager();
    CArchiveManager(const CArchiveManager&) = delete;
    CArchiveManager& operator=(const CArchiveManager&) = delete;

    // The root element (named "Root" in a new archive).
    CArchiveElement* GetRoot() const { return m_root.get(); }
    // An empty, unnamed element of this archive, attached nowhere: CArchiveElement::AddChild(CArchiveElement*) hangs
    // it into the tree. Free elements the tree never took are freed with the manager.
    CArchiveElement* NewElement();

    // Writes the tree to `path` through a temporary file renamed into place; false (and GetLastError) on failure,
    // with any earlier file at `path` untouched.
    bool Save(const std::string& path);
    // Reads `path` as the new tree; false (and GetLastError) when it cannot be read or is not an archive.
    bool Load(const std::string& path);
    // The same on bytes in memory.
    std::vector<uint8_t> SaveToBytes() const;
    bool LoadFromBytes(const uint8_t* data, size_t size);

    const std::string& GetLastError() const { return m_error; }

private:
    friend class CArchiveElement;
    // Hands a free element to a parent; null when `element` is not one of this manager's free elements.
    std::unique_ptr<CArchiveElement> TakeFreeElement(CArchiveElement* element);

    std::unique_ptr<CArchiveElement> m_root;
    std::vector<std::unique_ptr<CArchiveElement>> m_free;
    std::string m_error;
};

}  // namespace datakeeper
