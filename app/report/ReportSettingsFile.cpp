#include "report/ReportSettingsFile.h"

#include "inifile/FileBytes.h"
#include "qvplglib/CReportListCtrl.h"
#include "stream/LeStream.h"
#include "strings/StoredText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace reportfile {

const char kHeader[33] = "REPORT CONTROL MAIN SETTING FILE";

namespace {

constexpr int32_t kHeaderLength = 32;

}  // namespace

std::vector<NamedList> Read(FILE* file, const std::function<CReportListCtrl*()>& makeList)
{
    if (!file || !makeList)
        return {};
    std::vector<NamedList> lists;
    size_t count = 0;
    {
        // Field by field straight from the stream: each list's reader continues where this one stopped.
        LeReader in(file);
        if (in.Int32() != kHeaderLength || !in.ok())
            return {};
        char header[kHeaderLength];
        if (!in.Bytes(header, sizeof header) || std::memcmp(header, kHeader, sizeof header) != 0)
            return {};
        const float version = in.Float();
        const int32_t stored = in.Int32();
        if (!in.ok() || !(version <= kVersion) || stored <= 0 || stored > kMaxLists)
            return {};
        lists.reserve(static_cast<size_t>(stored));
        count = static_cast<size_t>(stored);
    }
    for (size_t i = 0; i < count; ++i) {
        NamedList entry;
        {
            LeReader in(file);
            const int32_t length = in.Int32();
            if (!in.ok() || length < 0 || length > kMaxNameLength)
                return {};
            std::string name(static_cast<size_t>(length), '\0');
            if (length > 0 && !in.Bytes(name.data(), name.size()))
                return {};
            entry.name = StoredTextToUtf8(name);
        }
        entry.list.reset(makeList());
        if (!entry.list || !entry.list->ReadSetting(file))
            return {};
        lists.push_back(std::move(entry));
    }
    return lists;
}

std::vector<NamedList> ReadFile(const std::string& path, const std::function<CReportListCtrl*()>& makeList)
{
    if (path.empty())
        return {};
    // Read when the first image opens: a FIFO there would hold the UI for ever, so only a regular file is opened.
    FILE* file = OpenRegularFile(path);
    if (!file)
        return {};
    std::vector<NamedList> lists = Read(file, makeList);
    std::fclose(file);
    return lists;
}

bool Write(FILE* file, const std::vector<ListToWrite>& lists)
{
    if (!file || lists.empty() || lists.size() > static_cast<size_t>(kMaxLists))
        return false;
    {
        LeWriter out(file);
        out.Int32(kHeaderLength);
        out.Bytes(kHeader, kHeaderLength);
        out.Float(kVersion);
        out.Int32(static_cast<int32_t>(lists.size()));
        if (!out.ok())
            return false;
    }
    for (const ListToWrite& entry : lists) {
        if (!entry.list || entry.name.size() > static_cast<size_t>(kMaxNameLength))
            return false;
        {
            LeWriter out(file);
            out.Int32(static_cast<int32_t>(entry.name.size()));
            out.Bytes(entry.name.data(), entry.name.size());
            if (!out.ok())
                return false;
        }
        if (!entry.list->WriteSetting(file))
            return false;
    }
    return true;
}

bool WriteFile(const std::string& path, const std::vector<ListToWrite>& lists)
{
    return WriteFileAtomically(path, [&lists](FILE* file) { return Write(file, lists); });
}

}  // namespace reportfile
