// A named node of an archive tree: ordered attributes and ordered child elements, each found by name (the first of
// that name, names compared exactly) or by position.
//
// Ownership: an element owns its attributes and children; the tree's root and every element made by
// CArchiveManager::NewElement belong to the manager until AddChild(CArchiveElement*) hands one to a parent. Pointers
// the calls return stay valid while the tree holds the object. Not thread-safe.
#pragma once

#include "datakeeper/CArchiveAttribute.h"
#include "datakeeper/CDataCell.h"
#include "types/VistrelExport.h"

#include <memory>
#include <string>
#include <vector>

namespace datakeeper {

class CArchiveManager;

class VISTREL_EXPORT CArchiveElement
{
public:
    CArchiveElement(CArchiveManager* manager, std::string name);
    ~CArchiveElement();
    CArchiveElement(const CArchiveElement&) = delete;
    CArchiveElement& operator=(const CArchiveElement&) = delete;

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    CArchiveManager* GetArchiveManager() const { return m_manager; }

    // Appends an attribute (names may repeat; look-ups find the first).
    CArchiveAttribute* AddAttribute(const CDataCell& data, const std::string& name);
    // Creates, attaches and returns a new child of that name.
    CArchiveElement* AddChild(const std::string& name);
    // Attaches a free element of this element's manager (NewElement); null when it is not one (already attached,
    // another manager's, this element itself or one of its ancestors), and nothing changes then.
    CArchiveElement* AddChild(CArchiveElement* element);

    CArchiveAttribute* GetAttribute(const std::string& name) const;
    CArchiveAttribute* GetAttribute(int index) const;
    int GetAttributeCount() const { return static_cast<int>(m_attributes.size()); }
    CArchiveElement* GetChild(const std::string& name) const;
    CArchiveElement* GetChild(int index) const;
    int GetChildCount() const { return static_cast<int>(m_children.size()); }

    // Same names, same attributes (names, types, values) and same children, in the same order.
    bool Equals(const CArchiveElement& other) const;

private:
    friend class CArchiveManager;

    CArchiveManager* m_manager;
    std::string m_name;
    std::vector<std::unique_ptr<CArchiveAttribute>> m_attributes;
    std::vector<std::unique_ptr<CArchiveElement>> m_children;
};

}  // namespace datakeeper
