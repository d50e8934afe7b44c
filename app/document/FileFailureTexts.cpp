#include "document/FileFailureTexts.h"

#include "document/DocumentStrings.h"
#include "resources/StringTable.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr const char* kModule = "Vistrel";

using namespace filetext;

const StringTableRegistrar kFailureStrings(
    kModule,
    {
        {IDS_OPEN_NOT_FOUND, "The file does not exist.", "파일이 없습니다."},
        {IDS_OPEN_NO_ACCESS, "You are not allowed to read the file.", "파일을 읽을 권한이 없습니다."},
        {IDS_OPEN_NOT_A_PICTURE, "The file is not a picture of a known format.",
         "지원하는 형식의 그림 파일이 아닙니다."},
        {IDS_OPEN_DAMAGED, "The file is damaged or incomplete.", "파일이 손상되었거나 불완전합니다."},
        {IDS_OPEN_TOO_LARGE, "The picture is too large to open.", "그림이 너무 커서 열 수 없습니다."},
        {IDS_SAVE_DISK_FULL, "The disk is full.", "디스크 공간이 부족합니다."},
        {IDS_SAVE_READ_ONLY_DISK, "The disk is read-only.", "읽기 전용 디스크입니다."},
        {IDS_SAVE_NO_PERMISSION, "You are not allowed to write there: the file or its folder is read-only.",
         "그 위치에 쓸 권한이 없습니다. 파일이나 폴더가 읽기 전용입니다."},
        {IDS_SAVE_NO_FOLDER, "The folder does not exist.", "폴더가 없습니다."},
        {IDS_SAVE_FILE_TOO_LARGE, "The file is too large for the disk.", "파일이 디스크에 저장하기에 너무 큽니다."},
        {IDS_SAVE_NAME_TOO_LONG, "The file name is too long.", "파일 이름이 너무 깁니다."},
        {IDS_SAVE_UNKNOWN_FORMAT, "Pictures of this kind cannot be saved; choose another file type.",
         "이 형식의 그림은 저장할 수 없습니다. 다른 파일 형식을 선택하세요."},
        {IDS_OPEN_NOT_A_DOCUMENT, "The file is not a document of this program.", "이 프로그램의 문서 파일이 아닙니다."},
    });

std::string Text(UINT id)
{
    return FileFailureText(id);
}

UINT OpenReasonId(QvCodecReadFailure reason)
{
    switch (reason) {
    case QvCodecReadFailure::NotFound:
        return IDS_OPEN_NOT_FOUND;
    case QvCodecReadFailure::NoAccess:
        return IDS_OPEN_NO_ACCESS;
    case QvCodecReadFailure::NotAPicture:
        return IDS_OPEN_NOT_A_PICTURE;
    case QvCodecReadFailure::Damaged:
        return IDS_OPEN_DAMAGED;
    case QvCodecReadFailure::TooLarge:
        return IDS_OPEN_TOO_LARGE;
    case QvCodecReadFailure::None:
        break;
    }
    return 0;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string FileFailureText(UINT id)
{
    return LoadString(kModule, id);
}

std::string CannotOpenMessage(const std::string& path, const std::string& reason)
{
    std::string message = DocumentString(docstr::IDS_CANNOT_OPEN) + "\n\n" + path;
    if (!reason.empty())
        message += "\n" + reason;
    return message;
}

std::string CannotOpenMessage(const std::string& path, QvCodecReadFailure reason)
{
    const UINT id = OpenReasonId(reason);
    return CannotOpenMessage(path, id ? Text(id) : std::string());
}

std::string WriteFailureReason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return Text(IDS_SAVE_DISK_FULL);
    case EROFS:
        return Text(IDS_SAVE_READ_ONLY_DISK);
    case EACCES:
    case EPERM:
        return Text(IDS_SAVE_NO_PERMISSION);
    case ENOENT:
    case ENOTDIR:
        return Text(IDS_SAVE_NO_FOLDER);
    case EFBIG:
        return Text(IDS_SAVE_FILE_TOO_LARGE);
    case ENAMETOOLONG:
        return Text(IDS_SAVE_NAME_TOO_LONG);
    default:
        return std::string();
    }
}

std::string SaveFailureReason(const std::string& path, int error)
{
    if (std::string reason = WriteFailureReason(error); !reason.empty())
        return reason;
    // A writer that lost the system's code (the picture writers do not keep it): the folder tells the usual causes.
    const std::string folder = FolderOf(path);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return Text(IDS_SAVE_NO_FOLDER);
    if (::access(folder.c_str(), W_OK) != 0)
        return WriteFailureReason(errno);
    struct statvfs space {};
    if (::statvfs(folder.c_str(), &space) == 0 && space.f_bavail == 0)
        return Text(IDS_SAVE_DISK_FULL);
    return std::string();
}
