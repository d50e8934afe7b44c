// A named, typed value of an archive element. Owned by its element.
#pragma once

#include "datakeeper/CDataCell.h"
#include "types/VistrelExport.h"

#include <string>

namespace datakeeper {

class VISTREL_EXPORT CArchiveAttribute
{
public:
    CArchiveAttribute(std::string name, CDataCell data) : m_name(std::move(name)), m_data(std::move(data)) {}

    const std::string& GetName() const { return m_name; }
    CDataCell& GetData() { return m_data; }
    const CDataCell& GetData() const { return m_data; }

private:
    std::string m_name;
    CDataCell m_data;
};

}  // namespace datakeeper
