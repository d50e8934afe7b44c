#include "core/CRecentFileList.h"

#include "profile/CAppProfile.h"

#include <algorithm>

namespace {

std::string EntryName(int place)
{
    return CRecentFileList::kEntryPrefix + std::to_string(place);
}

}  // namespace

void CRecentFileList::Add(const std::string& path)
{
    if (path.empty() || m_size <= 0)
        return;
    std::erase(m_files, path);
    m_files.insert(m_files.begin(), path);
    if (static_cast<int>(m_files.size()) > m_size)
        m_files.resize(static_cast<size_t>(m_size));
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < static_cast<int>(m_files.size()))
        m_files.erase(m_files.begin() + index);
}

std::string CRecentFileList::MenuText(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_files.size()))
        return {};
    // "&1 " .. "&9 "; an ampersand in the path is doubled so it shows as itself.
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (const char c : m_files[static_cast<size_t>(index)]) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}

void CRecentFileList::ReadList(CAppProfile& profile)
{
    m_files.clear();
    for (int i = 1; i <= m_size; ++i) {
        const std::string path = profile.GetProfileString(kSection, EntryName(i).c_str());
        if (!path.empty() && std::find(m_files.begin(), m_files.end(), path) == m_files.end())
            m_files.push_back(path);
    }
}

void CRecentFileList::WriteList(CAppProfile& profile) const
{
    for (int i = 1; i <= m_size; ++i) {
        const std::string entry = EntryName(i);
        if (i <= static_cast<int>(m_files.size()))
            profile.WriteProfileString(kSection, entry.c_str(), m_files[static_cast<size_t>(i - 1)].c_str());
        else
            profile.WriteProfileString(kSection, entry.c_str(), nullptr);
    }
}
