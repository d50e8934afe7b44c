#include "datakeeper/CDataCell.h"

#include <bit>

namespace datakeeper {

const std::string& CDataCell::GetString() const
{
    static const std::string kEmptyText;
    return m_type == kString ? m_string : kEmptyText;
}

bool CDataCell::operator==(const CDataCell& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case kInt: return m_int == other.m_int;
    case kFloat: return std::bit_cast<uint32_t>(m_float) == std::bit_cast<uint32_t>(other.m_float);
    case kString: return m_string == other.m_string;
    case kGuid: return m_guid == other.m_guid;
    case kEmpty: break;
    }
    return true;
}

}  // namespace datakeeper
