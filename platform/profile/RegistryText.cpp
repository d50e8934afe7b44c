#include "profile/private/RegistryText.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char c)
{
    return c == '%' || c == '"' || c < 0x20 || c == 0x7F;
}

std::string Escaped(std::string_view text)
{
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

// The text escaped, between double quotes. Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) on
// "\"" + text + "\"".
std::string Quoted(std::string_view text)
{
    std::string out(1, '"');
    out += Escaped(text);
    out += '"';
    return out;
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

std::optional<std::string> Unescaped(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            return std::nullopt;
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// A name with a zero byte in it can never be asked for (every call takes zero-terminated names: it would reach the
// name cut at the zero, another key or value), so it is refused like any other damage.
std::optional<std::string> UnescapedName(std::string_view text)
{
    auto name = Unescaped(text);
    if (name && name->find('\0') != std::string::npos)
        return std::nullopt;
    return name;
}

// A key name is one part of a '\'-separated path: a name holding a separator (only a file can spell one, as %5C)
// would be listed by a name that opens another key or none, so it is refused like a zero byte.
std::optional<std::string> UnescapedKeyName(std::string_view text)
{
    auto name = UnescapedName(text);
    if (name && name->find('\\') != std::string::npos)
        return std::nullopt;
    return name;
}

bool IsPlainText(const std::vector<BYTE>& data)
{
    if (data.empty() || data.back() != 0)
        return false;
    for (size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] == 0)
            return false;
    return true;
}

std::string DataText(const RegistryValue& value)
{
    const std::vector<BYTE>& data = value.data;
    if (value.type == REG_DWORD && data.size() == 4) {
        const uint32_t number = data[0] | (data[1] << 8) | (data[2] << 16) | (uint32_t{data[3]} << 24);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        return text;
    }
    if (value.type == REG_SZ && IsPlainText(data))
        return Quoted(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
    std::string out = value.type == REG_BINARY ? "hex:" : "hex(" + std::to_string(value.type) + "):";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0)
            out += ',';
        out += "0123456789abcdef"[data[i] >> 4];
        out += "0123456789abcdef"[data[i] & 0x0F];
    }
    return out;
}

void WriteKey(const RegistryKey& key, const std::string& path, std::string& out)
{
    if (!path.empty() || !key.Values().empty()) {
        out += "\n[";
        out += path;
        out += "]\n";
        for (const RegistryValue& value : key.Values()) {
            out += Quoted(value.name);
            out += '=';
            out += DataText(value);
            out += '\n';
        }
    }
    key.ForEachChild([&](const RegistryKey& child) {
        const std::string name = Escaped(child.Name());
        WriteKey(child, path.empty() ? name : path + "\\" + name, out);
    });
}

std::optional<std::vector<BYTE>> HexBytes(std::string_view text)
{
    std::vector<BYTE> bytes;
    while (!text.empty()) {
        if (text.size() < 2 || HexDigit(text[0]) < 0 || HexDigit(text[1]) < 0)
            return std::nullopt;
        bytes.push_back(static_cast<BYTE>(HexDigit(text[0]) * 16 + HexDigit(text[1])));
        text.remove_prefix(2);
        if (!text.empty()) {
            if (text[0] != ',' || text.size() == 1)
                return std::nullopt;
            text.remove_prefix(1);
        }
    }
    return bytes;
}

std::optional<RegistryValue> ParseData(std::string_view text)
{
    RegistryValue value;
    if (text.starts_with("dword:")) {
        text.remove_prefix(6);
        uint32_t number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, 16);
        if (text.size() != 8 || error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        value.type = REG_DWORD;
        value.data = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
        return value;
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        const auto decoded = Unescaped(text.substr(1, text.size() - 2));
        if (!decoded)
            return std::nullopt;
        value.type = REG_SZ;
        value.data.assign(decoded->begin(), decoded->end());
        value.data.push_back(0);
        return value;
    }
    if (text.starts_with("hex:")) {
        value.type = REG_BINARY;
        text.remove_prefix(4);
    } else if (text.starts_with("hex(")) {
        text.remove_prefix(4);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value.type, 10);
        const std::string_view rest(end, static_cast<size_t>(text.data() + text.size() - end));
        if (error != std::errc() || end == text.data() || !rest.starts_with("):"))
            return std::nullopt;
        text = rest.substr(2);
    } else {
        return std::nullopt;
    }
    auto bytes = HexBytes(text);
    if (!bytes)
        return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

RegistryKey* ParseHeader(std::string_view path, RegistryKey& root)
{
    std::vector<std::string> parts;
    while (!path.empty()) {
        const size_t separator = path.find('\\');
        const auto part = UnescapedKeyName(path.substr(0, separator));
        if (!part || part->empty() || parts.size() == kMaxRegistryDepth)
            return nullptr;
        parts.push_back(*part);
        path.remove_prefix(separator == std::string_view::npos ? path.size() : separator + 1);
        if (separator != std::string_view::npos && path.empty())
            return nullptr;   // a trailing separator
    }
    RegistryKey* key = &root;
    for (const std::string& part : parts)
        key = &key->ChildOrCreate(part);
    return key;
}

bool ParseValue(std::string_view line, RegistryKey& key)
{
    const size_t close = line.find('"', 1);
    if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != '=')
        return false;
    const auto name = UnescapedName(line.substr(1, close - 1));
    auto value = ParseData(line.substr(close + 2));
    if (!name || !value)
        return false;
    key.SetValue(*name, value->type, std::move(value->data));
    return true;
}

} // namespace

std::string WriteRegistryText(const RegistryKey& root)
{
    std::string out = "; Vistrel registry store\n";
    WriteKey(root, "", out);
    return out;
}

bool ReadRegistryText(std::string_view text, RegistryKey& root)
{
    bool whole = true;
    RegistryKey* current = nullptr;   // values before any good header have no key to go to
    while (!text.empty()) {
        const size_t lineEnd = text.find('\n');
        if (lineEnd == std::string_view::npos)
            return false;   // every line is written with its break: one without it was cut off
        std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty() || line.starts_with(';'))
            continue;
        if (line.starts_with('[')) {
            current = line.ends_with(']') ? ParseHeader(line.substr(1, line.size() - 2), root) : nullptr;
            whole = whole && current;
            continue;
        }
        if (!current || !line.starts_with('"') || !ParseValue(line, *current))
            whole = false;
    }
    return whole;
}
