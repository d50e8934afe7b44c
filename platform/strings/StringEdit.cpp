#include "strings/StringEdit.h"

namespace {

constexpr const char* kWhiteSpace = " \t\n\v\f\r";

}  // namespace

std::string& TrimLeft(std::string& text)
{
    text.erase(0, text.find_first_not_of(kWhiteSpace));
    return text;
}

std::string& TrimLeft(std::string& text, char ch)
{
    text.erase(0, text.find_first_not_of(ch));
    return text;
}

std::string& TrimRight(std::string& text)
{
    const size_t last = text.find_last_not_of(kWhiteSpace);
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}

std::string& TrimRight(std::string& text, char ch)
{
    const size_t last = text.find_last_not_of(ch);
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}

std::string& Trim(std::string& text)
{
    return TrimLeft(TrimRight(text));
}

std::string& Trim(std::string& text, char ch)
{
    return TrimLeft(TrimRight(text, ch), ch);
}

int Replace(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return 0;
    int count = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
        ++count;
    }
    return count;
}

std::string& MakeLower(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string& MakeUpper(std::string& text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}
