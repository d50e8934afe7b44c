// One private-profile file held as its lines, so that a change rewrites only the lines it touches and keeps every
// other byte as it was: comments, blank lines, lines it does not understand, each line's own break (LF, CRLF, a
// stray CR before it) and a last line without one. Names match case-insensitively (ASCII),
// the first matching section and the first matching key in it win. Not thread-safe; values are returned as
// stored (trimmed, quotes kept).
// Private to platform/inifile: dependants use PrivateProfile.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument
{
public:
    // An empty document when the file is missing; nothing when it exists but cannot be read, so that a writer
    // never replaces a file it could not see.
    static std::optional<IniDocument> Load(const std::string& path);
    bool Save(const std::string& path) const;

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;
    // Every key line of the section as "name=value".
    std::vector<std::string> KeyLines(std::string_view section) const;

    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);
    void DeleteSection(std::string_view section);
    // Replaces everything below the section's header by `lines` (created at the end when missing).
    void ReplaceSection(std::string_view section, const std::vector<std::string>& lines);

private:
    enum class Kind { Header, Key, Other };
    struct Line
    {
        Kind kind;
        std::string text;    // the line as read, without its line break; rebuilt when a key's value changes
        std::string name;    // section or key name, trimmed
        std::string value;   // key value, trimmed
        std::string end;     // the break that ended it as read (LF, CRLF; a last line may have none or a lone CR);
                             // new lines get the file's first break
    };
    struct Range
    {
        size_t header;
        size_t end;   // one past the section's last line
    };

    static IniDocument Parse(std::string_view text);
    std::string Serialize() const;
    static Line ParseLine(std::string_view text, bool inSection);
    Line NewLine(std::string_view text, bool inSection) const;
    std::optional<Range> FindSection(std::string_view section) const;
    std::optional<size_t> FindKey(const Range& range, std::string_view key) const;
    Range AppendSection(std::string_view section);

    std::vector<Line> lines_;
    std::string lineBreak_ = "\n";
    bool byteOrderMark_ = false;
};
