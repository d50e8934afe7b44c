#include "reportlib/ReportText.h"

#include "inifile/FileBytes.h"

namespace {

size_t CountCodePoints(const std::string& text)
{
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)  // every byte but a continuation byte starts a character
            ++count;
    return count;
}

}  // namespace

std::string PadReportCell(const std::string& text, int width)
{
    std::string out = text;
    const size_t length = CountCodePoints(text);
    if (width > 0 && length < static_cast<size_t>(width))
        out.append(static_cast<size_t>(width) - length, ' ');
    return out;
}

std::string ReportHeading(const std::string& title)
{
    return "#################### " + title + " ####################\n\n";
}

std::string FormatReportRows(const CSafeArray2D& table)
{
    std::string out;
    for (int r = 0; r < table.GetRows(); ++r) {
        for (int c = 0; c < table.GetColumns(); ++c) {
            out += PadReportCell(table.GetAt(r, c));
            out += '\t';
        }
        out += '\n';
    }
    return out;
}

std::string FormatViewReportText(const std::string& documentTitle, const std::string& mainTitle,
                                 const CSafeArray2D& main, const std::string& statisticsTitle,
                                 const CSafeArray2D& statistics)
{
    std::string out = ReportHeading(documentTitle);
    out += " " + mainTitle + " : \n\n";
    out += FormatReportRows(main);
    out += "\n\n " + statisticsTitle + " : \n\n";
    out += FormatReportRows(statistics);
    return out;
}

std::string FormatListReportText(const std::string& windowTitle, const CSafeArray2D& list)
{
    return ReportHeading(windowTitle) + FormatReportRows(list);
}

bool WriteReportTextFile(const std::string& path, const std::string& text)
{
    return WriteFileAtomically(path, text);
}
