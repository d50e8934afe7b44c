#include "inifile/PrivateProfile.h"

#include "inifile/private/IniDocument.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// One lock for all files: a read-modify-write of one file must not interleave with another writer of it.
std::mutex& ProfileLock()
{
    static std::mutex lock;
    return lock;
}

// The files writes failed on, not yet taken; guarded by ProfileLock.
std::vector<std::string>& FailedWrites()
{
    static std::vector<std::string> files;
    return files;
}

// Saves `doc` (null: the file could not be read) to `file`; 1, or 0 with the file listed as failed.
int SaveOrRecord(const std::optional<IniDocument>& doc, const char* file)
{
    if (doc && doc->Save(file))
        return 1;
    std::vector<std::string>& failed = FailedWrites();
    if (std::find(failed.begin(), failed.end(), file) == failed.end())
        failed.emplace_back(file);
    return 0;
}

// What a reader sees: an unreadable or unnamed file reads like a missing one.
IniDocument Readable(const char* file)
{
    return file ? IniDocument::Load(file).value_or(IniDocument()) : IniDocument();
}

std::string_view Unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

uint32_t CopyText(std::string_view text, char* buffer, uint32_t size)
{
    if (!buffer || size == 0)
        return 0;
    const size_t count = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<uint32_t>(count);
}

uint32_t CopyList(const std::vector<std::string>& items, char* buffer, uint32_t size)
{
    if (!buffer || size == 0)
        return 0;
    std::string list;
    for (const std::string& item : items) {
        list += item;
        list += '\0';
    }
    if (list.empty())
        list += '\0';   // an empty list is still ended by two zeros
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<uint32_t>(items.empty() ? 0 : list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool StartsWithAfterBlanks(std::string_view line, char ch)
{
    const size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && line[first] == ch;
}

bool StartsSection(std::string_view line)
{
    return StartsWithAfterBlanks(line, '[');
}

bool FitsOnALine(const char* section, const char* key, const char* value)
{
    const std::string_view s(section);
    if (HasLineBreak(s) || s.find(']') != std::string_view::npos)
        return false;
    // A key line starting with '[' would read as a section header, one starting with ';' as a comment.
    if (key && (HasLineBreak(key) || std::strchr(key, '=') || StartsSection(key) || StartsWithAfterBlanks(key, ';')))
        return false;
    return !value || !HasLineBreak(value);
}

std::string TrimTrailingBlanks(const char* text)
{
    std::string s = text ? text : "";
    s.erase(s.find_last_not_of(" \t") + 1);
    return s;
}

} // namespace

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 uint32_t size, const char* file)
{
    std::lock_guard guard(ProfileLock());
    const IniDocument doc = Readable(file);
    if (!section)
        return CopyList(doc.SectionNames(), buffer, size);
    if (!key)
        return CopyList(doc.KeyNames(section), buffer, size);
    if (const auto value = doc.Value(section, key))
        return CopyText(Unquoted(*value), buffer, size);
    return CopyText(TrimTrailingBlanks(defaultValue), buffer, size);
}

std::string GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                    const char* file)
{
    std::lock_guard guard(ProfileLock());
    if (section && key && file)
        if (const auto value = Readable(file).Value(section, key))
            return std::string(Unquoted(*value));
    return defaultValue ? defaultValue : "";
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file)
{
    const std::string text = GetPrivateProfileString(section, key, "", file);
    if (text.empty())
        return defaultValue;
    size_t i = std::min(text.find_first_not_of(" \t"), text.size());   // blanks can remain inside quotes
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    uint32_t magnitude = 0;   // wraps like a 32-bit register on overflow, as the callers' ints always did
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[i] - '0');
    return static_cast<int>(negative ? 0u - magnitude : magnitude);
}

int WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file)
{
    if (!section || !file || !FitsOnALine(section, key, value))
        return 0;
    std::lock_guard guard(ProfileLock());
    std::optional<IniDocument> doc = IniDocument::Load(file);
    if (!doc)
        return SaveOrRecord(doc, file);
    if (!key)
        doc->DeleteSection(section);
    else if (!value)
        doc->DeleteKey(section, key);
    else
        doc->SetValue(section, key, value);
    return SaveOrRecord(doc, file);
}

uint32_t GetPrivateProfileSection(const char* section, char* buffer, uint32_t size, const char* file)
{
    std::lock_guard guard(ProfileLock());
    if (!section || !file)
        return CopyList({}, buffer, size);
    return CopyList(Readable(file).KeyLines(section), buffer, size);
}

uint32_t GetPrivateProfileSectionNames(char* buffer, uint32_t size, const char* file)
{
    std::lock_guard guard(ProfileLock());
    if (!file)
        return CopyList({}, buffer, size);
    return CopyList(Readable(file).SectionNames(), buffer, size);
}

int WritePrivateProfileSection(const char* section, const char* lines, const char* file)
{
    if (!section || !file || !FitsOnALine(section, nullptr, nullptr))
        return 0;
    std::vector<std::string> newLines;
    for (const char* line = lines; line && *line; line += std::strlen(line) + 1) {
        if (HasLineBreak(line) || StartsSection(line))
            return 0;
        newLines.emplace_back(line);
    }
    std::lock_guard guard(ProfileLock());
    std::optional<IniDocument> doc = IniDocument::Load(file);
    if (!doc)
        return SaveOrRecord(doc, file);
    if (lines)
        doc->ReplaceSection(section, newLines);
    else
        doc->DeleteSection(section);
    return SaveOrRecord(doc, file);
}

std::vector<std::string> TakeFailedPrivateProfileWrites()
{
    std::lock_guard guard(ProfileLock());
    return std::exchange(FailedWrites(), {});
}
