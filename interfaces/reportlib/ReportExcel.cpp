#include "reportlib/ReportExcel.h"

#include "strings/Format.h"

#include <xlsxwriter.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

double GetExcelVersion()
{
    return 12.0;
}

size_t ReadReportNumber(std::string_view text, double& value)
{
    // from_chars reads the C locale's form only: no blanks, no hexadecimal without its format, no locale comma.
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    if (begin == end || *begin == '+')
        return 0;
    double v = 0;
    const auto [stop, error] = std::from_chars(begin, end, v, std::chars_format::general);
    if (error != std::errc() || stop == begin || !std::isfinite(v))
        return 0;
    value = v;
    return static_cast<size_t>(stop - text.data());
}

bool ParseReportNumber(const std::string& text, double& value)
{
    double v = 0;
    if (text.empty() || ReadReportNumber(text, v) != text.size())
        return false;
    value = v;
    return true;
}

std::string MakeSheetName(const std::string& title)
{
    std::string name;
    size_t characters = 0;
    for (size_t i = 0; i < title.size() && characters < 31;) {
        const unsigned char c = static_cast<unsigned char>(title[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + length > title.size())
            length = title.size() - i;
        if (length == 1 && (c == '[' || c == ']' || c == ':' || c == '*' || c == '?' || c == '/' || c == '\\'))
            name += '_';
        else
            name.append(title, i, length);
        i += length;
        ++characters;
    }
    // A name may not begin or end with an apostrophe.
    if (!name.empty() && name.front() == '\'')
        name.front() = '_';
    if (!name.empty() && name.back() == '\'')
        name.back() = '_';
    return name.empty() ? std::string("Sheet") : name;
}

namespace {

// Unique among the names given so far, compared as Excel does, without regard to ASCII case.
std::string UniqueSheetName(const std::string& title, std::set<std::string>& used)
{
    auto folded = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    std::string name = MakeSheetName(title);
    for (int n = 2; used.contains(folded(name)); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        // Cut the base by characters so that the name stays within 31.
        std::string base = MakeSheetName(title);
        size_t keep = 0, characters = 0;
        while (keep < base.size() && characters + suffix.size() < 31) {
            ++keep;
            while (keep < base.size() && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80)
                ++keep;
            ++characters;
        }
        name = base.substr(0, keep) + suffix;
    }
    used.insert(folded(name));
    return name;
}

// The number of decimals of a cell that is a number in the form "%.*f" writes ([-]digits[.digits], no leading
// zero but a lone one, no sign on zero), with at most 15 digits, and the cell's value: any such text reads back
// from its value with its own decimals (a double keeps 15 significant digits), so the form alone tells that the
// sheet shows the number as the list does. -1 for every other cell (an exponent, a sign Excel drops, more digits
// than Excel keeps, not a number at all): it goes in as text. Told from the characters, without formatting the
// value again: a report holds hundreds of thousands of these.
int ShownDecimals(std::string_view text, double& value)
{
    size_t at = 0;
    const size_t size = text.size();
    if (at < size && text[at] == '-')
        ++at;
    const size_t integerStart = at;
    while (at < size && text[at] >= '0' && text[at] <= '9')
        ++at;
    const size_t integerDigits = at - integerStart;
    if (integerDigits == 0 || (integerDigits > 1 && text[integerStart] == '0'))
        return -1;
    size_t decimals = 0;
    if (at < size) {
        if (text[at] != '.')
            return -1;
        const size_t fractionStart = ++at;
        while (at < size && text[at] >= '0' && text[at] <= '9')
            ++at;
        decimals = at - fractionStart;
        if (at != size || decimals == 0)
            return -1;
    }
    if (integerDigits + decimals > 15)
        return -1;
    double v = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + size, v, std::chars_format::fixed);
    if (error != std::errc() || stop != text.data() + size || (v == 0 && text.front() == '-'))
        return -1;
    value = v;
    return static_cast<int>(decimals);
}

// One number format per count of decimals, made once per workbook ("0", "0.0", "0.00", ...).
class NumberFormats
{
public:
    explicit NumberFormats(lxw_workbook* workbook) : m_workbook(workbook) {}
    lxw_format* For(int decimals)
    {
        lxw_format*& format = m_formats[static_cast<size_t>(decimals)];
        if (!format) {
            format = workbook_add_format(m_workbook);
            const std::string code = decimals == 0 ? std::string("0") : "0." + std::string(static_cast<size_t>(decimals), '0');
            if (format)
                format_set_num_format(format, code.c_str());
        }
        return format;
    }

private:
    lxw_workbook* m_workbook;
    std::array<lxw_format*, 16> m_formats{};  // by decimals: a number cell has at most 15 digits
};

bool WriteTable(lxw_worksheet* sheet, const CSafeArray2D& table, lxw_row_t& row, NumberFormats& formats)
{
    for (int r = 0; r < table.GetRows(); ++r, ++row)
        for (int c = 0; c < table.GetColumns(); ++c) {
            const std::string& text = table.GetAt(r, c);
            if (text.empty())
                continue;
            double value = 0;
            lxw_error error;
            // Row 0 holds the column titles: a title that happens to be a number stays a title. A number shows in
            // the sheet exactly as the list shows it, with its own decimals (a count has none).
            const int decimals = r > 0 ? ShownDecimals(text, value) : -1;
            lxw_format* format = decimals >= 0 ? formats.For(decimals) : nullptr;
            if (format)
                error = worksheet_write_number(sheet, row, static_cast<lxw_col_t>(c), value, format);
            else
                error = worksheet_write_string(sheet, row, static_cast<lxw_col_t>(c), text.c_str(), nullptr);
            if (error != LXW_NO_ERROR)
                return false;
        }
    return true;
}

// A folder of our own beside the target (mode 0700, a name no one could take first): the library's output and its
// temporary files are opened by name, following any link, so they are made only where no one else can put one.
class PrivateFolder
{
public:
    explicit PrivateFolder(const std::string& beside)
    {
        const size_t slash = beside.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : beside.substr(0, slash + 1);
        std::string pattern = folder + (folder.back() == '/' ? "" : "/") + ".workbook-XXXXXX";
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~PrivateFolder()
    {
        if (m_path.empty())
            return;
        // Whatever the library left behind, then the folder.
        if (DIR* dir = opendir(m_path.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    unlink((m_path + "/" + name).c_str());
            }
            closedir(dir);
        }
        rmdir(m_path.c_str());
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool Made() const { return !m_path.empty(); }
    std::string& Path() { return m_path; }

private:
    std::string m_path;
};

}  // namespace

int ExportReportWorkbook(const std::string& path, const std::vector<ReportSheet>& sheets)
{
    if (sheets.empty() || path.empty())
        return 0;
    // Written in a folder of our own on the target's file system and renamed over the target once whole: a failed
    // export leaves an old file as it was, and a link planted under the target's name is replaced, never followed.
    PrivateFolder folder(path);
    if (!folder.Made())
        return 0;
    const std::string partial = folder.Path() + "/workbook.xlsx";
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to a temporary file as they are written: long reports stay small
    options.tmpdir = folder.Path().data();
    lxw_workbook* workbook = workbook_new_opt(partial.c_str(), &options);
    if (!workbook)
        return 0;
    bool ok = true;
    std::set<std::string> used;
    NumberFormats formats(workbook);
    for (const ReportSheet& source : sheets) {
        const std::string name = UniqueSheetName(source.name, used);
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, name.c_str());
        if (!sheet) {
            ok = false;
            break;
        }
        lxw_row_t row = 0;
        ok = WriteTable(sheet, source.main, row, formats);
        if (ok && (!source.statisticsTitle.empty() || !source.statistics.IsEmpty())) {
            ++row;  // a blank row between the tables
            if (!source.statisticsTitle.empty())
                ok = worksheet_write_string(sheet, row++, 0, source.statisticsTitle.c_str(), nullptr) == LXW_NO_ERROR;
            if (ok)
                ok = WriteTable(sheet, source.statistics, row, formats);
        }
        if (!ok)
            break;
    }
    // The workbook is freed whatever happened; its result says whether the file is whole.
    const bool closed = workbook_close(workbook) == LXW_NO_ERROR;
    return ok && closed && std::rename(partial.c_str(), path.c_str()) == 0 ? 1 : 0;
}
