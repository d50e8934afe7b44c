// The list file "calibration.cst", the last-calibration file and import/export of list files.
#include "core/CCalibrationList.h"

#include "core/CalibrationStrings.h"
#include "inifile/FileBytes.h"
#include "stream/LeStream.h"
#include "strings/Format.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

constexpr char kMagic[16] = "CALIBRATIONLIST";
static_assert(sizeof kMagic == 16, "the tag is 15 letters and a zero byte");

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// A stream in memory; Bytes() closes it and gives what was written.
class MemoryOutput
{
public:
    MemoryOutput() : m_file(open_memstream(&m_buffer, &m_size)) {}
    ~MemoryOutput()
    {
        if (m_file)
            std::fclose(m_file);
        std::free(m_buffer);
    }
    MemoryOutput(const MemoryOutput&) = delete;
    MemoryOutput& operator=(const MemoryOutput&) = delete;
    FILE* file() const { return m_file; }
    std::string_view Bytes()
    {
        if (m_file)
            std::fclose(m_file);
        m_file = nullptr;
        return std::string_view(m_buffer ? m_buffer : "", m_size);
    }

private:
    char* m_buffer = nullptr;
    size_t m_size = 0;
    FILE* m_file = nullptr;
};

// The fewest bytes one calibration block can take: the shortest calibration record and its record count. Asked of
// the calibration itself, so the bound follows its record.
int64_t MinimumBlockBytes()
{
    static const int64_t bytes = [] {
        MemoryOutput out;
        CCalibKeeper().Write(out.file());
        return static_cast<int64_t>(out.Bytes().size()) + 4;
    }();
    return bytes;
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) || error;
}

// The messages of import and export.
std::string CannotOpenText()
{
    return CalibrationString(calibstr::IDS_IMPORT_CANNOT_OPEN);
}

std::string ForeignText()
{
    return CalibrationString(calibstr::IDS_IMPORT_FOREIGN);
}

std::string DamagedText()
{
    return CalibrationString(calibstr::IDS_IMPORT_DAMAGED);
}

std::string CannotSaveText()
{
    return CalibrationString(calibstr::IDS_EXPORT_CANNOT_SAVE);
}

}  // namespace

CCalibrationList::ReadStatus CCalibrationList::Read(const std::string& path)
{
    if (!Exists(path)) {
        m_lastRead = READ_MISSING;
        return m_lastRead;
    }
    m_unsafePath = path;  // until the read proves clean
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        m_lastRead = READ_UNREADABLE;
        return m_lastRead;
    }
    if (bytes.empty()) {
        m_lastRead = READ_DAMAGED;
        return m_lastRead;
    }
    FilePtr file(fmemopen(bytes.data(), bytes.size(), "rb"));
    if (!file) {
        m_lastRead = READ_DAMAGED;
        return m_lastRead;
    }
    const ReadStatus status = ReadStream(file.get());
    if (status == READ_CLEAN)
        m_unsafePath.clear();
    return status;
}

CCalibrationList::ReadStatus CCalibrationList::ReadStream(FILE* file)
{
    m_lastRead = READ_DAMAGED;
    if (!file)
        return m_lastRead;
    // Reads exactly what it is asked for, so the calibration records can be read from the same stream between.
    LeReader r(file);
    char magic[sizeof kMagic];
    if (!r.Bytes(magic, sizeof magic))
        return m_lastRead;
    if (std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        m_lastRead = READ_FOREIGN;
        return m_lastRead;
    }
    const float version = r.Float();
    const int32_t count = r.Int32();
    if (!r.ok() || count < 0)
        return m_lastRead;

    // The version tests compare as the files were made: the float against double constants, except the one
    // version told apart by exact float equality (1.6f, which is not below 1.6 as a double).
    const bool shortRecords = version < 1.5;
    const bool scaleUnset = version == 1.6f;
    const bool unitsShifted = static_cast<double>(version) < 1.6;  // the unit list gained an entry at its start
    const int64_t recordBytes = shortRecords ? 16 : 24;

    const bool countFits = count <= r.RemainingBytes() / MinimumBlockBytes();
    bool clean = true;
    // Each pass takes at least a calibration record or stops, so even an absurd count ends with the file.
    for (int32_t i = 0; i < count; ++i) {
        auto item = std::make_unique<CCalibrationListItem>();
        if (item->GetCalibration().Read(file) != 1) {
            clean = false;
            break;
        }
        int64_t records = r.Int32();
        if (!r.ok() || records < 0 || records > r.RemainingBytes() / recordBytes) {
            // Cut short or counting beyond the file: where this block's records end cannot be known, and the bytes
            // after the count may as well be the next calibration's. None of them is taken for a record.
            clean = false;
            records = 0;
        }
        std::vector<tagMagnificationRecord>& list = item->GetRecords();
        list.reserve(static_cast<size_t>(records));
        for (int64_t j = 0; j < records; ++j) {
            tagMagnificationRecord record;
            record.magnification = r.Double();
            record.unitsPerPixel = r.Double();
            if (shortRecords) {
                record.unitType = item->GetCalibration().GetUnit();
                record.scaleDefault = 0;
            } else {
                record.unitType = r.Int32();
                record.scaleDefault = r.Int32();
                if (scaleUnset)
                    record.scaleDefault = 0;
            }
            if (!r.ok())
                break;
            // A unit no calibration has stays one, which ApplyRecord skips, rather than wrapping round.
            if (unitsShifted && record.unitType < INT32_MAX)
                record.unitType += 1;
            list.push_back(record);
        }
        m_items.push_back(std::move(item));
        if (!clean || !r.ok()) {
            clean = false;
            break;
        }
    }
    m_lastRead = clean && countFits ? READ_CLEAN : READ_DAMAGED;
    return m_lastRead;
}

int CCalibrationList::WriteStream(FILE* file) const
{
    if (!file)
        return 0;
    LeWriter w(file);
    w.Bytes(kMagic, sizeof kMagic);
    w.Float(kFileVersion);
    w.Int32(static_cast<int32_t>(m_items.size()));
    for (const auto& item : m_items) {
        if (!w.ok() || item->GetCalibration().Write(file) != 1)
            return 0;
        w.Int32(static_cast<int32_t>(item->GetRecords().size()));
        for (const tagMagnificationRecord& record : item->GetRecords()) {
            w.Double(record.magnification);
            w.Double(record.unitsPerPixel);
            w.Int32(record.unitType);
            w.Int32(record.scaleDefault);
        }
    }
    return w.ok() ? 1 : 0;
}

namespace {

// "<file>.bak", or "<file>.bak2", "<file>.bak3", ... when an earlier damaged list is kept there already: a copy
// kept once is never replaced.
std::string FreeBackupPath(const std::string& path)
{
    std::string backup = path + ".bak";
    for (int n = 2; Exists(backup); ++n)
        backup = path + ".bak" + std::to_string(n);
    return backup;
}

}  // namespace

std::string CCalibrationList::KeepOriginal(const std::string& path)
{
    std::string original;
    if (!ReadFileBytes(path, original))
        return std::string();
    const std::string backup = FreeBackupPath(path);
    if (!WriteFileAtomically(backup, original))
        return std::string();
    if (m_unsafePath == path)
        m_unsafePath.clear();
    return backup;
}

CCalibrationList::ReadStatus CCalibrationList::ReadAtStartUp(const std::string& path)
{
    const ReadStatus status = Read(path);
    if (status == READ_CLEAN || status == READ_MISSING)
        return status;
    // Told now, once: the copy is made here, so the save at shut-down has nothing more to keep and says nothing.
    const std::string backup = KeepOriginal(path);
    if (backup.empty())
        AfxMessageBox(Format(CalibrationString(calibstr::IDS_LIST_DAMAGED_NOT_KEPT).c_str(), path.c_str()),
                      MB_ICONWARNING);
    else
        AfxMessageBox(Format(CalibrationString(calibstr::IDS_LIST_DAMAGED_KEPT).c_str(), path.c_str(), backup.c_str()),
                      MB_ICONWARNING);
    return status;
}

int CCalibrationList::Write(const std::string& path)
{
    MemoryOutput out;
    if (!out.file() || WriteStream(out.file()) != 1)
        return 0;
    const std::string_view bytes = out.Bytes();
    // The list came from a file that did not read completely: what it held beyond the part read stays in the
    // copy, or nothing replaces it.
    if (m_unsafePath == path && Exists(path) && KeepOriginal(path).empty())
        return 0;
    if (!WriteFileAtomically(path, bytes))
        return 0;
    if (m_unsafePath == path)
        m_unsafePath.clear();
    return 1;
}

int CCalibrationList::WriteLastCalibration(const std::string& path) const
{
    MemoryOutput out;
    if (!out.file() || m_current.Write(out.file()) != 1)
        return 0;
    return WriteFileAtomically(path, out.Bytes()) ? 1 : 0;
}

int CCalibrationList::ReadLastCalibration(const std::string& path)
{
    // A path that is no regular file (a FIFO would wait for a writer for ever) reads as a missing file.
    FilePtr file(OpenRegularFile(path));
    if (!file)
        return 0;
    CCalibKeeper last;
    if (last.Read(file.get()) != 1)
        return 0;
    SelectCalibration(last.GetName(), last.GetMagnification());
    return 1;
}

CCalibrationList::ReadStatus CCalibrationList::LoadFromFolder(const std::string& folder)
{
    const std::filesystem::path base(folder);
    const ReadStatus status = Read((base / kListFileName).string());
    ReadLastCalibration((base / kLastFileName).string());
    return status;
}

int CCalibrationList::SaveToFolder(const std::string& folder)
{
    const std::filesystem::path base(folder);
    std::error_code error;
    std::filesystem::create_directories(base, error);
    const int list = Write((base / kListFileName).string());
    const int last = WriteLastCalibration((base / kLastFileName).string());
    return list && last ? 1 : 0;
}

int CCalibrationList::SaveToFolderOrTell(const std::string& folder)
{
    if (SaveToFolder(folder) == 1)
        return 1;
    AfxMessageBox(Format(CalibrationString(calibstr::IDS_FILES_NOT_SAVED).c_str(), folder.c_str()), MB_ICONERROR);
    return 0;
}

int CCalibrationList::ImportFile(const std::string& path)
{
    CCalibrationList imported;
    switch (imported.Read(path)) {
    case READ_CLEAN:
        break;
    case READ_FOREIGN:
        AfxMessageBox(ForeignText(), MB_ICONERROR);
        return 0;
    case READ_DAMAGED:
        AfxMessageBox(DamagedText(), MB_ICONERROR);
        return 0;
    case READ_MISSING:
    case READ_UNREADABLE:
        AfxMessageBox(CannotOpenText(), MB_ICONERROR);
        return 0;
    }
    for (const auto& item : imported.GetItems()) {
        for (const tagMagnificationRecord& record : item->GetRecords()) {
            CCalibKeeper calibration = item->GetCalibration();
            ApplyRecord(calibration, record);
            StoreCalibration(calibration);
        }
    }
    return 1;
}

int CCalibrationList::ImportWithDialog()
{
    FileDialogRequest request;
    request.filter = CalibrationString(calibstr::IDS_FILE_FILTER);
    const std::string path = ChooseFile(request);
    return path.empty() ? 0 : ImportFile(path);
}

int CCalibrationList::ExportWithDialog()
{
    FileDialogRequest request;
    request.save = true;
    request.filter = CalibrationString(calibstr::IDS_FILE_FILTER);
    request.defaultExtension = ".cst";
    request.overwritePrompt = true;
    const std::string path = ChooseFile(request);
    if (path.empty())
        return 0;
    if (Write(path) != 1) {
        AfxMessageBox(CannotSaveText(), MB_ICONERROR);
        return 0;
    }
    return 1;
}
