#include "datakeeper/CArchiveElement.h"

#include "datakeeper/CArchiveManager.h"

namespace datakeeper {

CArchiveElement::CArchiveElement(CArchiveManager* manager, std::string name)
    : m_manager(manager), m_name(std::move(name))
{
}

CArchiveElement::~CArchiveElement() = default;

CArchiveAttribute* CArchiveElement::AddAttribute(const CDataCell& data, const std::string& name)
{
    m_attributes.push_back(std::make_unique<CArchiveAttribute>(name, data));
    return m_attributes.back().get();
}

CArchiveElement* CArchiveElement::AddChild(const std::string& name)
{
    m_children.push_back(std::make_unique<CArchiveElement>(m_manager, name));
    return m_children.back().get();
}

CArchiveElement* CArchiveElement::AddChild(CArchiveElement* element)
{
    if (!element || !m_manager || element->m_manager != m_manager)
        return nullptr;
    // A free element is never an ancestor of an attached one, so taking it from the free list cannot make a cycle.
    std::unique_ptr<CArchiveElement> owned = m_manager->TakeFreeElement(element);
    if (!owned)
        return nullptr;
    m_children.push_back(std::move(owned));
    return element;
}

CArchiveAttribute* CArchiveElement::GetAttribute(const std::string& name) const
{
    for (const auto& attribute : m_attributes)
        if (attribute->GetName() == name)
            return attribute.get();
    return nullptr;
}

CArchiveAttribute* CArchiveElement::GetAttribute(int index) const
{
    return index >= 0 && index < GetAttributeCount() ? m_attributes[static_cast<size_t>(index)].get() : nullptr;
}

CArchiveElement* CArchiveElement::GetChild(const std::string& name) const
{
    for (const auto& child : m_children)
        if (child->GetName() == name)
            return child.get();
    return nullptr;
}

CArchiveElement* CArchiveElement::GetChild(int index) const
{
    return index >= 0 && index < GetChildCount() ? m_children[static_cast<size_t>(index)].get() : nullptr;
}

bool CArchiveElement::Equals(const CArchiveElement& other) const
{
    if (m_name != other.m_name || m_attributes.size() != other.m_attributes.size()
        || m_children.size() != other.m_children.size())
        return false;
    for (size_t i = 0; i < m_attributes.size(); ++i)
        if (m_attributes[i]->GetName() != other.m_attributes[i]->GetName()
            || !(m_attributes[i]->GetData() == other.m_attributes[i]->GetData()))
            return false;
    for (size_t i = 0; i < m_children.size(); ++i)
        if (!m_children[i]->Equals(*other.m_children[i]))
            return false;
    return true;
}

}  // namespace datakeeper
