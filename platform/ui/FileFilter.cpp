#include "ui/FileFilter.h"

#include "strings/StringEdit.h"
#include "strings/StringQuery.h"

#include <utility>

namespace {

// "Text File (*.txt)" -> "Text File"
std::string DisplayNameWithoutPatterns(std::string name)
{
    TrimRight(name);
    if (!name.empty() && name.back() == ')') {
        const int open = ReverseFind(name, '(');
        if (open >= 0)
            name.erase(static_cast<size_t>(open));
    }
    return TrimRight(name);
}

std::string QtPatterns(const std::string& patterns)
{
    std::string joined;
    for (std::string pattern : Split(patterns, ';')) {
        Trim(pattern);
        if (pattern.empty())
            continue;
        if (pattern == "*.*")
            pattern = "*";
        joined += (joined.empty() ? "" : " ") + pattern;
    }
    return joined.empty() ? "*" : joined;
}

}  // namespace

std::vector<std::string> NameFiltersOf(const std::string& filter)
{
    const std::vector<std::string> fields = Split(filter, '|');
    std::vector<std::string> nameFilters;
    for (size_t i = 0; i + 1 < fields.size() && !fields[i].empty(); i += 2) {
        const std::string name = DisplayNameWithoutPatterns(fields[i]);
        // Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) on "(" + text + ")".
        std::string nameFilter = name.empty() ? std::string() : name + " ";
        nameFilter += '(';
        nameFilter += QtPatterns(fields[i + 1]);
        nameFilter += ')';
        nameFilters.push_back(std::move(nameFilter));
    }
    return nameFilters;
}

std::string BareExtension(const std::string& defaultExtension)
{
    std::string extension = defaultExtension;
    TrimLeft(extension, '*');
    return TrimLeft(extension, '.');
}

std::string WithDefaultExtension(const std::string& path, const std::string& defaultExtension)
{
    const std::string extension = BareExtension(defaultExtension);
    const std::string fileName = Mid(path, ReverseFind(path, '/') + 1);
    if (extension.empty() || fileName.empty() || Find(fileName, '.') >= 0)
        return path;
    return path + "." + extension;
}
