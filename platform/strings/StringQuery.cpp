#include "strings/StringQuery.h"

#include <algorithm>
#include <cstdint>

namespace {

int Position(size_t at)
{
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

int Find(const std::string& text, const std::string& sub, int start)
{
    if (start < 0 || static_cast<size_t>(start) > text.size())
        return -1;
    return Position(text.find(sub, static_cast<size_t>(start)));
}

int Find(const std::string& text, char ch, int start)
{
    if (start < 0 || static_cast<size_t>(start) > text.size())
        return -1;
    return Position(text.find(ch, static_cast<size_t>(start)));
}

int ReverseFind(const std::string& text, char ch)
{
    return Position(text.rfind(ch));
}

std::string Mid(const std::string& text, int first)
{
    return Mid(text, first, static_cast<int>(text.size()));
}

std::string Mid(const std::string& text, int first, int count)
{
    const int64_t length = static_cast<int64_t>(text.size());
    const int64_t from = std::clamp<int64_t>(first, 0, length);
    const int64_t to = std::clamp<int64_t>(from + std::max(count, 0), from, length);
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

std::string Left(const std::string& text, int count)
{
    return text.substr(0, static_cast<size_t>(std::max(count, 0)));
}

std::string Right(const std::string& text, int count)
{
    const size_t keep = std::min(text.size(), static_cast<size_t>(std::max(count, 0)));
    return text.substr(text.size() - keep);
}

int CompareNoCase(const std::string& a, const std::string& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const unsigned char cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, from)) {
        fields.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    fields.push_back(text.substr(from));
    return fields;
}
