// The report settings file "report.rfg": the lists a new report page holds, with their columns. Little-endian:
// int32 header length (32), the 32 bytes "REPORT CONTROL MAIN SETTING FILE", float32 version (at most 1.0), int32
// list count (1..kMaxLists), then per list an int32 name length (0..kMaxNameLength), the UTF-8 name bytes and the
// list's own settings record (CReportListCtrl::ReadSetting). UI thread (the lists are widgets).
// Names and column titles that are not valid UTF-8 were written on Windows and are read as CP949 and kept as UTF-8:
// such a file, written again, holds the same names in UTF-8, so only a file of UTF-8 texts round-trips byte for byte.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CReportListCtrl;
class QWidget;

namespace reportfile {

constexpr int kMaxLists = 64;
constexpr int kMaxNameLength = 256;
constexpr float kVersion = 1.0f;
extern const char kHeader[33];

struct NamedList
{
    std::string name;
    std::unique_ptr<CReportListCtrl> list;
};

// Reads the lists, each made by `makeList` (without a parent) and filled by its own settings reader. Anything
// short, out of bounds or foreign gives an empty result: no list of a bad file survives.
std::vector<NamedList> Read(FILE* file, const std::function<CReportListCtrl*()>& makeList);
std::vector<NamedList> ReadFile(const std::string& path, const std::function<CReportListCtrl*()>& makeList);

struct ListToWrite
{
    std::string name;
    const CReportListCtrl* list = nullptr;
};
bool Write(FILE* file, const std::vector<ListToWrite>& lists);
// Through a temporary file beside `path` and a rename; false leaves any earlier file as it was.
bool WriteFile(const std::string& path, const std::vector<ListToWrite>& lists);

}  // namespace reportfile
