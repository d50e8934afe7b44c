#include "document/NativeFileSave.h"

#include "document/GridBurnIn.h"
#include "gobjects/CQvGObjectContainer.h"
#include "qvcodec/CQvImageCodec.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kFileStrings(
    kModule, {
                 {IDS_OPEN_TITLE, "Open", "열기"},
                 {IDS_SAVE_TITLE, "Save", "저장"},
                 {IDS_SAVE_AS_TITLE, "Save As", "다른이름으로 저장"},
                 {IDS_ASK_MERGE, "Merge the measurement (annotation) objects into the image?",
                  "측정(주석) 개체를 이미지에 병합하시겠습니까?"},
                 {IDS_FILE_CANNOT_OPEN, "Cannot open the file.", "파일을 열 수 없습니다"},
                 {IDS_FILE_CANNOT_SAVE, "\"%s\" could not be saved.", "\"%s\" 파일을 저장할 수 없습니다."},
                 {IDS_FILE_IS_OPEN, "\"%s\" is open and cannot be saved over.\nUse another file name.",
                  "\"%s\" 는 현재 열려있어 저장할 수 없습니다.\n다른 파일명을 사용하세요."},
             });

// Whether the overlay would lose objects to a picture file: only what a user drew counts.
bool HasObjects(CQvGObjectContainer& overlay)
{
    return !overlay.GetObjList()->empty();
}

bool ShouldMerge(DocumentSaveParts& parts, OverlayMergeRule rule, int flattenPreference)
{
    if (rule == OverlayMergeRule::Never || flattenPreference == 1 || !parts.overlay || !HasObjects(*parts.overlay))
        return false;
    if (flattenPreference == 0)
        return true;
    return AfxMessageBox(NativeFileString(IDS_ASK_MERGE), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string NativeFileString(UINT id)
{
    return LoadString(kModule, id);
}

bool WriteFileThroughTemporary(const std::string& path, const std::function<bool(FILE*)>& write)
{
    static std::atomic<unsigned> serial{0};
    const std::string temp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    mode_t mode = 0666;
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    if (replacing)
        mode = existing.st_mode & 07777;
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    FILE* file = ::fdopen(fd, "w+b");
    if (!file) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    bool ok = write(file);
    ok = ok && std::fflush(file) == 0 && !std::ferror(file);
    if (ok && replacing)
        ok = ::fchmod(fd, mode) == 0;  // open() applied the umask; a replaced file keeps the mode it had
    // A rename that reached the disk ahead of the data would leave an empty file after a power cut.
    ok = ok && ::fdatasync(fd) == 0;
    ok = (std::fclose(file) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

bool SaveDocumentParts(DocumentSaveParts& parts, const std::string& path, OverlayMergeRule rule,
                       int flattenPreference, const CQvImageCodec& codec)
{
    if (path.empty() || !parts.image || !parts.overlay)
        return false;
    const bool native = IsNativeFilePath(path);
    // Merged before the grid is burnt in: the merge replaces the image, and the grid's pixels must go back into
    // the image they were taken from.
    if (!native && ShouldMerge(parts, rule, flattenPreference) && parts.mergeOverlay)
        parts.mergeOverlay();

    GridBurnIn burn;
    if (parts.grid && parts.grid->show == 1 && parts.grid->saveWithGrid == 1)
        burn.Burn(*parts.image, *parts.grid);

    bool saved = false;
    if (native) {
        NativeFileRecord record;
        record.image = parts.image;
        record.overlay = parts.overlay;
        record.preferences = parts.preferences;
        if (parts.grid)
            record.grid = *parts.grid;
        record.calibration = parts.calibration;
        saved = WriteFileThroughTemporary(path, [&](FILE* file) { return WriteNativeFile(file, record) == 1; });
    } else {
        saved = codec.Save(path.c_str(), parts.image, nullptr) == 1;
    }
    burn.Restore(*parts.image);

    if (!saved)
        AfxMessageBox(Format(NativeFileString(IDS_FILE_CANNOT_SAVE).c_str(), path.c_str()), MB_OK | MB_ICONERROR);
    return saved;
}
