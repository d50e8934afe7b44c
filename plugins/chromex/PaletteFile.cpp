#include "chromex/PaletteFile.h"

#include "strings/StoredText.h"
#include "inifile/FileBytes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace chromex {

namespace {

// atoi: leading blanks, a sign, digits; the rest ignored. Kept inside int by saturating, where atoi's overflow is
// undefined.
int AtoiLike(const std::string& text)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min<long long>(value * 10 + (text[at] - '0'), 2147483648LL);
    if (negative)
        value = -value;
    return static_cast<int>(std::max<long long>(std::min<long long>(value, 2147483647LL), -2147483648LL));
}

std::vector<std::string> SplitLines(const char* data, size_t size)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = 0; at <= size; ++at) {
        if (at == size || data[at] == '\n') {
            if (at == size && start == size)
                break;  // the last line ended with '\n'
            std::string line(data + start, at - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(std::move(line));
            start = at + 1;
        }
    }
    return lines;
}

}  // namespace

bool ParsePalette(const char* data, size_t size, PseudoColorPalette& palette)
{
    if (!data || size > kMaxPaletteFileBytes)
        return false;
    for (size_t at = 0; at < size; ++at)
        if (data[at] == '\0')
            return false;
    const std::vector<std::string> lines = SplitLines(data, size);
    if (lines.size() < 257)
        return false;
    for (size_t extra = 257; extra < lines.size(); ++extra)
        if (!lines[extra].empty())
            return false;
    PseudoColorPalette read;
    read.name = StoredTextToUtf8(lines[0]);
    for (int entry = 0; entry < 256; ++entry) {
        const std::string& line = lines[static_cast<size_t>(entry) + 1];
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        fields.push_back(line.substr(start));
        if (fields.size() != 4)
            return false;
        // Stored blue, green, red; the file lists red, green, blue.
        for (int colour = 0; colour < 3; ++colour)
            read.entries[3 * static_cast<size_t>(entry) + 2 - colour] =
                static_cast<uint8_t>(AtoiLike(fields[static_cast<size_t>(colour) + 1]) & 0xFF);
    }
    palette = std::move(read);
    return true;
}

bool ReadPaletteFile(const std::string& path, PseudoColorPalette& palette)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kMaxPaletteFileBytes))
        return false;
    return ParsePalette(bytes.data(), bytes.size(), palette);
}

std::string WritePalette(const PseudoColorPalette& palette)
{
    std::string out = palette.name + "\r\n";
    for (int entry = 0; entry < 256; ++entry) {
        char line[64];
        const uint8_t* bgr = &palette.entries[3 * static_cast<size_t>(entry)];
        std::snprintf(line, sizeof line, "%d\t%d\t%d\t%d\r\n", entry, bgr[2], bgr[1], bgr[0]);
        out += line;
    }
    return out;
}

}  // namespace chromex
