#include "kh1300/ProfileIni.h"

#include "inifile/PrivateProfile.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reads grow their buffer by this much until the text fits.
constexpr uint32_t kReadStep = 512;
// Numbers are read from at most this many characters of a value.
constexpr size_t kNumberChars = 64;

bool Named(const char* name)
{
    return name && *name;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    return *a == *b;
}

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Most significant digit first; 0 gives "0".
std::string FormatNumber(uint64_t value, int base)
{
    char text[72];
    switch (base) {
    case 2: {
        std::string digits;
        do {
            digits.insert(digits.begin(), char('0' + (value & 1)));
            value >>= 1;
        } while (value);
        return digits;
    }
    case 8: std::snprintf(text, sizeof text, "%llo", static_cast<unsigned long long>(value)); return text;
    case 16: std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value)); return text;
    default: std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(value)); return text;
    }
}

int ReadBase(int base)
{
    return base == 2 || base == 8 || base == 16 ? base : 10;
}

// strtoul's reading: leading blanks, a sign, digits of the base as far as they go; 0 without digits.
uint32_t ParseUnsigned(const std::string& text, int base)
{
    return static_cast<uint32_t>(std::strtoull(text.c_str(), nullptr, ReadBase(base)));
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The bytes of a data block; empty for any character that is not a hex digit or an odd number of digits.
std::vector<uint8_t> DecodeBlock(const std::string& text)
{
    std::vector<uint8_t> bytes;
    if (text.size() % 2)
        return bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return {};
        bytes.push_back(uint8_t(high << 4 | low));
    }
    return bytes;
}

// Walks a list of zero-ended strings ended by an empty one.
std::vector<std::string> SplitList(const std::string& list)
{
    std::vector<std::string> items;
    for (size_t at = 0; at < list.size() && list[at];) {
        const size_t end = list.find('\0', at);
        items.push_back(list.substr(at, end - at));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return items;
}

void PutInt32(uint8_t* out, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[i] = uint8_t(bits >> (8 * i));
}

int32_t GetInt32(const uint8_t* in)
{
    return static_cast<int32_t>(uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16
                                | uint32_t(in[3]) << 24);
}

}  // namespace

CProfileIni::CProfileIni(const char* path)
{
    SetPath(path);
}

CProfileIni::~CProfileIni() = default;

void CProfileIni::SetPath(const char* path)
{
    m_path = path ? path : "";
}

int CProfileIni::GetPath(char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return 0;
    const size_t length = std::min(m_path.size(), size_t(size - 1));
    std::memcpy(buffer, m_path.data(), length);
    buffer[length] = '\0';
    return int(length);
}

int CProfileIni::WriteString(const char* section, const char* key, const char* text) const
{
    if (!Named(section) || !Named(key))
        return 0;
    return WritePrivateProfileString(section, key, text ? text : "", File());
}

int CProfileIni::WriteInt(const char* section, const char* key, int32_t value, int base) const
{
    if (base == 2 || base == 8 || base == 16)
        return WriteString(section, key, FormatNumber(static_cast<uint32_t>(value), base).c_str());
    return WriteString(section, key, std::to_string(value).c_str());
}

int CProfileIni::WriteUInt(const char* section, const char* key, uint32_t value, int base) const
{
    return WriteString(section, key, FormatNumber(value, base).c_str());
}

int CProfileIni::WriteBool(const char* section, const char* key, bool value) const
{
    return WriteString(section, key, value ? "1" : "0");
}

int CProfileIni::WriteDouble(const char* section, const char* key, double value, int precision) const
{
    // "%f" of a large double runs to hundreds of digits: measure first rather than trust a fixed buffer.
    const int length = precision > 0 ? std::snprintf(nullptr, 0, "%.*f", precision, value)
                                     : std::snprintf(nullptr, 0, "%f", value);
    if (length < 0)
        return 0;
    std::string text(size_t(length) + 1, '\0');
    if (precision > 0)
        std::snprintf(text.data(), text.size(), "%.*f", precision, value);
    else
        std::snprintf(text.data(), text.size(), "%f", value);
    text.resize(size_t(length));
    return WriteString(section, key, text.c_str());
}

int CProfileIni::WriteChar(const char* section, const char* key, char value) const
{
    const char text[2] = {value, '\0'};
    return WriteString(section, key, text);
}

int CProfileIni::WriteDataBlock(const char* section, const char* key, const void* data, int count) const
{
    if (count < 0 || (count > 0 && !data))
        return 0;
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size_t(count) * 2);
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (int i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return WriteString(section, key, text.c_str());
}

int CProfileIni::WritePoint(const char* section, const char* key, const POINT& point) const
{
    uint8_t block[8];
    PutInt32(block, point.x);
    PutInt32(block + 4, point.y);
    return WriteDataBlock(section, key, block, sizeof block);
}

int CProfileIni::WriteRect(const char* section, const char* key, const RECT& rect) const
{
    uint8_t block[16];
    PutInt32(block, rect.left);
    PutInt32(block + 4, rect.top);
    PutInt32(block + 8, rect.right);
    PutInt32(block + 12, rect.bottom);
    return WriteDataBlock(section, key, block, sizeof block);
}

int CProfileIni::WriteArray(const char* section, const char* key, const std::vector<std::string>& items, int count,
                            const char* delimiter) const
{
    const size_t taken = count < 0 ? items.size() : std::min(items.size(), size_t(count));
    const std::string separator = delimiter ? delimiter : ",";
    std::string text;
    for (size_t i = 0; i < taken; ++i) {
        if (i)
            text += separator;
        text += items[i];
    }
    return WriteString(section, key, text.c_str());
}

bool CProfileIni::ReadValue(const char* section, const char* key, std::string& value, bool numeric) const
{
    if (!Named(section) || !Named(key))
        return false;
    // Grown until the value and its zero fit with room to spare: a value that fills the buffer may be cut.
    std::vector<char> buffer;
    uint32_t length = 0;
    for (uint32_t size = kReadStep;; size += kReadStep) {
        buffer.assign(size, '\0');
        length = GetPrivateProfileString(section, key, "", buffer.data(), size, File());
        if (length + 1 < size || numeric)
            break;
    }
    value.assign(buffer.data(), length);
    if (numeric && value.size() > kNumberChars)
        value.resize(kNumberChars);
    return !value.empty();
}

std::string CProfileIni::GetString(const char* section, const char* key, const char* defaultValue) const
{
    std::string value;
    if (ReadValue(section, key, value))
        return value;
    return defaultValue ? defaultValue : "";
}

int32_t CProfileIni::GetInt(const char* section, const char* key, int32_t defaultValue, int base) const
{
    std::string value;
    if (!ReadValue(section, key, value, true))
        return defaultValue;
    return static_cast<int32_t>(ParseUnsigned(value, base));
}

uint32_t CProfileIni::GetUInt(const char* section, const char* key, uint32_t defaultValue, int base) const
{
    std::string value;
    if (!ReadValue(section, key, value, true))
        return defaultValue;
    return ParseUnsigned(value, base);
}

int32_t CProfileIni::GetIntInRange(const char* section, const char* key, int32_t defaultValue, int32_t minimum,
                                   int32_t maximum) const
{
    std::string value;
    if (!ReadValue(section, key, value, true))
        return defaultValue;
    // Parsed signed and wide, so a huge or negative number cannot wrap into the range.
    const long long number = std::strtoll(value.c_str(), nullptr, 10);
    return number >= minimum && number <= maximum ? int32_t(number) : defaultValue;
}

bool CProfileIni::GetBool(const char* section, const char* key, bool defaultValue) const
{
    std::string value;
    if (!ReadValue(section, key, value, true))
        return defaultValue;
    const std::string word = Trimmed(value);
    if (SameIgnoringCase(word.c_str(), "true") || SameIgnoringCase(word.c_str(), "yes"))
        return true;
    return std::strtoll(word.c_str(), nullptr, 10) != 0;
}

double CProfileIni::GetDouble(const char* section, const char* key, double defaultValue) const
{
    std::string value;
    if (!ReadValue(section, key, value, true))
        return defaultValue;
    // from_chars reads in the C locale whatever the user's locale is.
    std::string text = Trimmed(value);
    if (!text.empty() && text[0] == '+')
        text.erase(0, 1);
    double number = 0.0;
    if (std::from_chars(text.data(), text.data() + text.size(), number).ec != std::errc())
        return 0.0;
    return number;
}

char CProfileIni::GetChar(const char* section, const char* key, char defaultValue) const
{
    std::string value;
    if (!ReadValue(section, key, value))
        return defaultValue;
    return value[0];
}

int CProfileIni::GetDataBlock(const char* section, const char* key, void* buffer, int size, int offset) const
{
    std::string value;
    if (!ReadValue(section, key, value) || offset < 0)
        return 0;
    const std::vector<uint8_t> bytes = DecodeBlock(value);
    if (size_t(offset) >= bytes.size())
        return 0;
    const size_t available = bytes.size() - size_t(offset);
    if (!buffer)
        return int(available);
    if (size <= 0)
        return 0;
    const size_t count = std::min(available, size_t(size));
    std::memcpy(buffer, bytes.data() + offset, count);
    return int(count);
}

POINT CProfileIni::GetPoint(const char* section, const char* key, const POINT& defaultValue) const
{
    uint8_t block[8];
    if (GetDataBlock(section, key, nullptr, 0) != int(sizeof block)
        || GetDataBlock(section, key, block, sizeof block) != int(sizeof block))
        return defaultValue;
    return POINT{GetInt32(block), GetInt32(block + 4)};
}

RECT CProfileIni::GetRect(const char* section, const char* key, const RECT& defaultValue) const
{
    uint8_t block[16];
    if (GetDataBlock(section, key, nullptr, 0) != int(sizeof block)
        || GetDataBlock(section, key, block, sizeof block) != int(sizeof block))
        return defaultValue;
    return RECT{GetInt32(block), GetInt32(block + 4), GetInt32(block + 8), GetInt32(block + 12)};
}

std::vector<std::string> CProfileIni::GetArray(const char* section, const char* key, const char* delimiter) const
{
    std::vector<std::string> items;
    std::string value;
    if (!ReadValue(section, key, value))
        return items;
    const std::string separator = delimiter && *delimiter ? delimiter : ",";
    for (size_t at = 0;;) {
        const size_t end = value.find(separator, at);
        items.push_back(value.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos)
            break;
        at = end + separator.size();
    }
    return items;
}

int CProfileIni::IncreaseInt(const char* section, const char* key, int32_t increment, int base) const
{
    const int32_t value = GetInt(section, key, 0, base);
    return WriteInt(section, key, static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(increment)),
                    base);
}

int CProfileIni::IncreaseUInt(const char* section, const char* key, uint32_t increment, int base) const
{
    return WriteUInt(section, key, GetUInt(section, key, 0, base) + increment, base);
}

int CProfileIni::IncreaseDouble(const char* section, const char* key, double increment, int precision) const
{
    return WriteDouble(section, key, GetDouble(section, key, 0.0) + increment, precision);
}

int CProfileIni::InvertBool(const char* section, const char* key) const
{
    return WriteBool(section, key, !GetBool(section, key, false));
}

std::string CProfileIni::ReadList(const char* section, bool names) const
{
    std::vector<char> buffer;
    uint32_t length = 0;
    for (uint32_t size = kReadStep;; size += kReadStep) {
        buffer.assign(size, '\0');
        length = names ? GetPrivateProfileSectionNames(buffer.data(), size, File())
                       : GetPrivateProfileSection(section, buffer.data(), size, File());
        if (length + 2 < size)
            break;
    }
    return std::string(buffer.data(), length);
}

uint32_t CProfileIni::GetSection(const char* section, char* buffer, uint32_t size) const
{
    if (!Named(section))
        return 0;
    if (!buffer)
        return uint32_t(ReadList(section, false).size()) + 2;
    return GetPrivateProfileSection(section, buffer, size, File());
}

uint32_t CProfileIni::GetSectionNames(char* buffer, uint32_t size) const
{
    if (!buffer)
        return uint32_t(ReadList(nullptr, true).size()) + 2;
    return GetPrivateProfileSectionNames(buffer, size, File());
}

std::vector<std::string> CProfileIni::GetSectionNames() const
{
    return SplitList(ReadList(nullptr, true));
}

std::vector<std::string> CProfileIni::GetSectionLines(const char* section) const
{
    if (!Named(section))
        return {};
    return SplitList(ReadList(section, false));
}

std::vector<std::string> CProfileIni::GetKeyNames(const char* section) const
{
    std::vector<std::string> keys = GetSectionLines(section);
    for (std::string& line : keys)
        line = line.substr(0, line.find('='));
    return keys;
}

bool CProfileIni::SectionExists(const char* section) const
{
    if (!Named(section))
        return false;
    for (const std::string& name : GetSectionNames())
        if (SameIgnoringCase(name.c_str(), section))
            return true;
    return false;
}

bool CProfileIni::KeyExists(const char* section, const char* key) const
{
    if (!Named(section) || !Named(key))
        return false;
    return GetPrivateProfileString(section, key, kKeySentinel, File()) != kKeySentinel;
}

int CProfileIni::DeleteSection(const char* section) const
{
    if (!Named(section))
        return 0;
    return WritePrivateProfileString(section, nullptr, nullptr, File());
}

int CProfileIni::DeleteKey(const char* section, const char* key) const
{
    if (!Named(section) || !Named(key))
        return 0;
    return WritePrivateProfileString(section, key, nullptr, File());
}

int CProfileIni::CopySection(const char* from, const char* to, bool failIfExists) const
{
    if (!Named(from) || !Named(to) || SameIgnoringCase(from, to) || !SectionExists(from)
        || (failIfExists && SectionExists(to)))
        return 0;
    std::string lines = ReadList(from, false);
    lines.append(2, '\0');
    DeleteSection(to);
    return WritePrivateProfileSection(to, lines.data(), File());
}

int CProfileIni::MoveSection(const char* from, const char* to, bool failIfExists) const
{
    if (!CopySection(from, to, failIfExists))
        return 0;
    return DeleteSection(from);
}

int CProfileIni::CopyKey(const char* fromSection, const char* fromKey, const char* toSection, const char* toKey,
                         bool failIfExists) const
{
    if (!Named(fromSection) || !Named(fromKey) || !Named(toSection) || !Named(toKey))
        return 0;
    if ((SameIgnoringCase(fromSection, toSection) && SameIgnoringCase(fromKey, toKey))
        || !KeyExists(fromSection, fromKey) || (failIfExists && KeyExists(toSection, toKey)))
        return 0;
    const std::string value = GetPrivateProfileString(fromSection, fromKey, "", File());
    return WritePrivateProfileString(toSection, toKey, value.c_str(), File());
}

int CProfileIni::MoveKey(const char* fromSection, const char* fromKey, const char* toSection, const char* toKey,
                         bool failIfExists) const
{
    if (!CopyKey(fromSection, fromKey, toSection, toKey, failIfExists))
        return 0;
    return DeleteKey(fromSection, fromKey);
}
