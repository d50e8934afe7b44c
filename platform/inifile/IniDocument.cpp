#include "inifile/IniDocument.h"

#include "inifile/FileBytes.h"

#include <filesystem>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s)
{
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

} // namespace

std::optional<IniDocument> IniDocument::Load(const std::string& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes) && std::filesystem::exists(path))
        return std::nullopt;
    return Parse(bytes);
}

bool IniDocument::Save(const std::string& path) const
{
    return WriteFileAtomically(path, Serialize());
}

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument doc;
    if (text.starts_with(kByteOrderMark)) {
        doc.byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    const size_t firstBreak = text.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
        doc.lineBreak_ = "\r\n";

    bool inSection = false;
    while (!text.empty()) {
        const size_t lineEnd = text.find('\n');
        std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        const size_t textSize = line.ends_with('\r') ? line.size() - 1 : line.size();
        doc.lines_.push_back(ParseLine(line.substr(0, textSize), inSection));
        doc.lines_.back().end = line.substr(textSize);
        if (lineEnd != std::string_view::npos)
            doc.lines_.back().end += '\n';
        inSection = inSection || doc.lines_.back().kind == Kind::Header;
    }
    return doc;
}

IniDocument::Line IniDocument::ParseLine(std::string_view text, bool inSection)
{
    Line line{Kind::Other, std::string(text), {}, {}, {}};
    const std::string_view body = Trim(text);
    if (body.starts_with('[')) {
        const size_t close = body.find(']');
        line.kind = Kind::Header;
        line.name = Trim(body.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        return line;
    }
    const size_t equals = body.find('=');
    if (inSection && !body.starts_with(';') && equals != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = Trim(body.substr(0, equals));
        line.value = Trim(body.substr(equals + 1));
    }
    return line;
}

IniDocument::Line IniDocument::NewLine(std::string_view text, bool inSection) const
{
    Line line = ParseLine(text, inSection);
    line.end = lineBreak_;
    return line;
}

std::string IniDocument::Serialize() const
{
    std::string out;
    if (byteOrderMark_)
        out += kByteOrderMark;
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].text;
        // A last line read without a break gets one once another line follows it. A lone CR there stays and is
        // completed to CRLF, so the line reads back with the same bytes.
        const bool broken = lines_[i].end.ends_with('\n') || i + 1 == lines_.size();
        out += broken ? lines_[i].end : lines_[i].end.empty() ? lineBreak_ : lines_[i].end + "\n";
    }
    return out;
}

std::optional<IniDocument::Range> IniDocument::FindSection(std::string_view section) const
{
    section = Trim(section);   // names are kept trimmed, so a name given with blanks finds them
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Header || !SameName(lines_[i].name, section))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && lines_[end].kind != Kind::Header)
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> IniDocument::FindKey(const Range& range, std::string_view key) const
{
    key = Trim(key);
    for (size_t i = range.header + 1; i < range.end; ++i)
        if (lines_[i].kind == Kind::Key && SameName(lines_[i].name, key))
            return i;
    return std::nullopt;
}

IniDocument::Range IniDocument::AppendSection(std::string_view section)
{
    // A blank line before a new section keeps the file readable for a person editing it.
    if (!lines_.empty() && !Trim(lines_.back().text).empty())
        lines_.push_back(NewLine({}, true));
    // Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) on "[" + name + "]".
    std::string header = "[";
    header += Trim(section);
    header += ']';
    lines_.push_back(NewLine(header, true));
    return Range{lines_.size() - 1, lines_.size()};
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const
{
    const auto range = FindSection(section);
    if (!range)
        return std::nullopt;
    const auto index = FindKey(*range, key);
    if (!index)
        return std::nullopt;
    return lines_[*index].value;
}

std::vector<std::string> IniDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (line.kind == Kind::Header)
            names.push_back(line.name);
    return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const
{
    std::vector<std::string> names;
    if (const auto range = FindSection(section))
        for (size_t i = range->header + 1; i < range->end; ++i)
            if (lines_[i].kind == Kind::Key)
                names.push_back(lines_[i].name);
    return names;
}

std::vector<std::string> IniDocument::KeyLines(std::string_view section) const
{
    std::vector<std::string> result;
    if (const auto range = FindSection(section))
        for (size_t i = range->header + 1; i < range->end; ++i)
            if (lines_[i].kind == Kind::Key)
                result.push_back(lines_[i].name + "=" + lines_[i].value);
    return result;
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::optional<Range> found = FindSection(section);
    const Range range = found ? *found : AppendSection(section);
    if (const auto index = FindKey(range, key)) {
        Line& line = lines_[*index];
        line.value = value;
        line.text = line.name + "=" + line.value;
        return;
    }
    // A new key goes after the section's last key, ahead of the blank lines and comments that lead into the next one.
    size_t at = range.header + 1;
    for (size_t i = range.header + 1; i < range.end; ++i)
        if (lines_[i].kind == Kind::Key)
            at = i + 1;
    const std::string name(Trim(key));
    Line line{Kind::Key, name + "=" + std::string(value), name, std::string(value), lineBreak_};
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    if (const auto range = FindSection(section))
        if (const auto index = FindKey(*range, key))
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
}

void IniDocument::DeleteSection(std::string_view section)
{
    if (const auto range = FindSection(section))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

void IniDocument::ReplaceSection(std::string_view section, const std::vector<std::string>& lines)
{
    const std::optional<Range> found = FindSection(section);
    const Range range = found ? *found : AppendSection(section);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range.header + 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range.end));
    std::vector<Line> parsed;
    for (const std::string& text : lines)
        parsed.push_back(NewLine(text, true));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(range.header + 1), parsed.begin(), parsed.end());
}
