#include "core/RegistryScript.h"

#include "inifile/FileBytes.h"
#include "profile/Registry.h"
#include "profile/RegistryWriteBatch.h"
#include "strings/StoredText.h"

#include <QString>

#include <string>
#include <vector>

namespace {

std::string Decode(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
        std::u16string units((bytes.size() - 2) / 2, u'\0');
        for (size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 + 2 * i]) |
                                             static_cast<uint8_t>(bytes[3 + 2 * i]) << 8);
        return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toStdString();
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return StoredTextToUtf8(std::string(bytes));
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The lines of the script with continued lines joined.
std::vector<std::string> LogicalLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string pending;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line = Trim(std::string_view(text).substr(start, end - start));
        const bool continues = !line.empty() && line.back() == '\\';
        if (continues)
            line.remove_suffix(1);
        pending += line;
        if (!continues || end == text.size()) {
            lines.push_back(std::move(pending));
            pending.clear();
        }
        start = end + 1;
    }
    return lines;
}

// A "..." text at the start of `rest`, with \\ and \" undone; `rest` then follows the closing quote.
bool TakeQuoted(std::string_view& rest, std::string& text)
{
    if (rest.empty() || rest.front() != '"')
        return false;
    text.clear();
    for (size_t i = 1; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < rest.size())
            ++i;
        text += rest[i];
    }
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexNumber(std::string_view text, uint32_t& value)
{
    text = Trim(text);
    if (text.empty() || text.size() > 8)
        return false;
    value = 0;
    for (const char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return false;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return true;
}

bool ParseHexBytes(std::string_view text, std::vector<BYTE>& bytes)
{
    bytes.clear();
    text = Trim(text);
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        if (item.size() != 2 || HexDigit(item[0]) < 0 || HexDigit(item[1]) < 0)
            return false;
        bytes.push_back(static_cast<BYTE>(HexDigit(item[0]) << 4 | HexDigit(item[1])));
        if (comma == std::string_view::npos)
            break;
        text = Trim(text.substr(comma + 1));
    }
    return true;
}

// The key path below HKEY_CURRENT_USER, or false for any other root.
bool UserSubKey(std::string_view path, std::string& subKey)
{
    const size_t slash = path.find('\\');
    const std::string_view root = path.substr(0, slash);
    if (root != "HKEY_CURRENT_USER" && root != "HKCU")
        return false;
    subKey = slash == std::string_view::npos ? std::string() : std::string(path.substr(slash + 1));
    return true;
}

class ScriptApplier
{
public:
    ~ScriptApplier() { CloseCurrent(); }

    void Line(std::string_view line)
    {
        if (line.empty() || line.front() == ';')
            return;
        if (line.front() == '[') {
            KeyLine(line);
            return;
        }
        if (m_key)
            ValueLine(line);
    }

private:
    void CloseCurrent()
    {
        if (m_key)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

    void KeyLine(std::string_view line)
    {
        CloseCurrent();
        if (line.back() != ']')
            return;
        line = line.substr(1, line.size() - 2);
        const bool remove = !line.empty() && line.front() == '-';
        if (remove)
            line.remove_prefix(1);
        std::string subKey;
        if (!UserSubKey(Trim(line), subKey))
            return;
        if (remove) {
            // Deleting a whole root would wipe every setting of the user: no script may do that.
            if (!subKey.empty())
                RegDeleteTree(HKEY_CURRENT_USER, subKey.c_str());
            return;
        }
        if (RegCreateKeyEx(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &m_key, nullptr) != ERROR_SUCCESS)
            m_key = nullptr;
    }

    void ValueLine(std::string_view line)
    {
        std::string name;
        if (line.front() == '@')
            line.remove_prefix(1);
        else if (!TakeQuoted(line, name))
            return;
        line = Trim(line);
        if (line.empty() || line.front() != '=')
            return;
        line = Trim(line.substr(1));

        if (line == "-") {
            RegDeleteValue(m_key, name.c_str());
            return;
        }
        std::string text;
        if (!line.empty() && line.front() == '"') {
            if (TakeQuoted(line, text) && Trim(line).empty())
                Set(name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), text.size() + 1);
            return;
        }
        if (line.substr(0, 6) == "dword:") {
            uint32_t value = 0;
            if (!ParseHexNumber(line.substr(6), value))
                return;
            const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                                   static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
            Set(name, REG_DWORD, bytes, 4);
            return;
        }
        DWORD type = REG_BINARY;
        if (line.substr(0, 4) == "hex(") {
            const size_t close = line.find(')');
            uint32_t parsed = 0;
            if (close == std::string_view::npos || !ParseHexNumber(line.substr(4, close - 4), parsed))
                return;
            type = parsed;
            line.remove_prefix(close + 1);
        } else if (line.substr(0, 3) == "hex") {
            line.remove_prefix(3);
        } else {
            return;
        }
        std::vector<BYTE> bytes;
        if (line.empty() || line.front() != ':' || !ParseHexBytes(line.substr(1), bytes))
            return;
        Set(name, type, bytes.data(), bytes.size());
    }

    void Set(const std::string& name, DWORD type, const BYTE* data, size_t size)
    {
        RegSetValueEx(m_key, name.c_str(), 0, type, data, static_cast<DWORD>(size));
    }

    HKEY m_key = nullptr;
};

}  // namespace

bool ImportRegistryScriptBytes(std::string_view bytes)
{
    if (bytes.size() > kMaxScriptBytes)
        return false;
    const std::vector<std::string> lines = LogicalLines(Decode(bytes));
    size_t first = 0;
    while (first < lines.size() && lines[first].empty())
        ++first;
    if (first == lines.size() || (lines[first] != "Windows Registry Editor Version 5.00" && lines[first] != "REGEDIT4"))
        return false;

    const RegistryWriteBatch batch;
    ScriptApplier applier;
    for (size_t i = first + 1; i < lines.size(); ++i)
        applier.Line(lines[i]);
    return true;
}

bool ImportRegistryScript(const std::string& path)
{
    // Read at start-up: a path that is no regular file (a FIFO would wait for ever) or is too large is refused.
    std::string bytes;
    return ReadFileBytes(path, bytes, kMaxScriptBytes) && ImportRegistryScriptBytes(bytes);
}
