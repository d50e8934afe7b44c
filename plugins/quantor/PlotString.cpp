#include "quantor/PlotString.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

CPlotString& CPlotString::operator=(const char* text)
{
    m_text = text ? text : "";
    return *this;
}

int CPlotString::Compare(const char* text) const
{
    const auto* a = reinterpret_cast<const unsigned char*>(m_text.c_str());
    const auto* b = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}

namespace {

bool MatchFrom(const char* pattern, const char* text)
{
    // The last "*" seen and where the text stood then: a mismatch retries it one character further.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text) {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern == '?' || *pattern == *text) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool CPlotString::Match(const char* pattern) const
{
    return MatchFrom(pattern ? pattern : "", m_text.c_str());
}

void CPlotString::AssignDouble(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16g", value);
    std::string text = buffer;
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    m_text = text;
}

int CPlotString::Format(const char* format, ...)
{
    std::vector<char> buffer(32);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vsnprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written <= 0)
            return 0;
        if (static_cast<size_t>(written) < buffer.size()) {
            m_text.assign(buffer.data(), static_cast<size_t>(written));
            return written;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool CPlotString::Parse(char type, void* out) const
{
    const char* p = m_text.c_str();
    while (IsBlank(*p))
        ++p;
    if (*p == '\0' || out == nullptr)
        return false;
    if (type == 'b') {
        const std::string rest = p;
        unsigned char flag;
        if (rest == "true" || rest == "TRUE" || rest == "1")
            flag = 1;
        else if (rest == "false" || rest == "FALSE" || rest == "0")
            flag = 0;
        else
            return false;
        std::memcpy(out, &flag, 1);
        return true;
    }
    const bool isUnsigned = type == 'C' || type == 'S' || type == 'I' || type == 'L';
    if (isUnsigned && *p == '-')
        return false;
    char* end = nullptr;
    const double value = std::strtod(p, &end);
    if (end == p)
        return false;
    if ((type == 'f' || type == 'd') && (*end == 'f' || *end == 'F'))
        ++end;
    else if ((type == 'l' || type == 'L') && (*end == 'l' || *end == 'L'))
        ++end;
    while (IsBlank(*end))
        ++end;
    if (*end != '\0')
        return false;
    if (value == 0.0 && *p != '0')
        return false;
    double low = 0, high = 0;
    switch (type) {
    case 'C': low = 0, high = 255; break;
    case 'S': low = 0, high = 65535; break;
    case 'I': case 'L': low = 0, high = 4294967295.0; break;
    case 'c': low = -128, high = 127; break;
    case 's': low = -32768, high = 32767; break;
    case 'i': case 'l': low = -2147483648.0, high = 2147483647.0; break;
    case 'f': low = -3.402823466e38, high = 3.402823466e38; break;
    case 'd': low = -HUGE_VAL, high = HUGE_VAL; break;
    default: return false;
    }
    if (!(value >= low && value <= high))
        return false;
    switch (type) {
    case 'c': case 'C': {
        const auto v = static_cast<uint8_t>(static_cast<int>(value));
        std::memcpy(out, &v, 1);
        break;
    }
    case 's': case 'S': {
        const auto v = static_cast<uint16_t>(static_cast<int>(value));
        std::memcpy(out, &v, 2);
        break;
    }
    case 'i': case 'l': {
        const auto v = static_cast<int32_t>(value);
        std::memcpy(out, &v, 4);
        break;
    }
    case 'I': case 'L': {
        const auto v = static_cast<uint32_t>(value);
        std::memcpy(out, &v, 4);
        break;
    }
    case 'f': {
        const auto v = static_cast<float>(value);
        std::memcpy(out, &v, 4);
        break;
    }
    default:
        std::memcpy(out, &value, 8);
        break;
    }
    return true;
}

long long CPlotString::IntPower(long long base, int exponent)
{
    const bool negative = exponent < 0;
    unsigned long long e = negative ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(exponent))
                                    : static_cast<unsigned long long>(exponent);
    // Wrapping multiplication, as the integer arithmetic it stands for; never undefined behaviour.
    unsigned long long result = 1, square = static_cast<unsigned long long>(base);
    while (e) {
        if (e & 1)
            result *= square;
        square *= square;
        e >>= 1;
    }
    const auto power = static_cast<long long>(result);
    if (!negative)
        return power;
    return power == 0 ? 0 : 1 / power;
}
