#include "document/NativeFileSave.h"

#include "document/FileFailureTexts.h"
#include "document/GridBurnIn.h"
#include "gobjects/CQvGObjectContainer.h"
#include "inifile/FileBytes.h"
#include "qvcodec/CQvImageCodec.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"

#include <strings.h>

#include <cerrno>
#include <sstream>

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
                 {IDS_SAVE_REDUCES_FILE,
                  "\"%s\" has %d bits a sample and this image only 8: saving over it replaces the file's samples "
                  "with 8-bit ones.\n\nSave under another name instead?\n(No overwrites the file.)",
                  "\"%s\" 파일은 샘플당 %d비트이고 이 이미지는 8비트입니다. 덮어 저장하면 파일의 샘플이 8비트로 "
                  "바뀝니다.\n\n다른 이름으로 저장하시겠습니까?\n(아니요를 누르면 파일을 덮어씁니다.)"},
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

// Whether the codec offers the path's extension (a name typed with another one cannot be saved as a picture).
bool CodecSavesExtensionOf(const CQvImageCodec& codec, const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    std::string filter;
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || codec.GetFilter(filter) != 1)
        return false;
    const std::string pattern = "*" + path.substr(dot);
    std::stringstream parts(filter);
    for (std::string part; std::getline(parts, part, '|');) {
        std::stringstream patterns(part);
        for (std::string p; std::getline(patterns, p, ';');)
            if (strcasecmp(p.c_str(), pattern.c_str()) == 0)
                return true;
    }
    return false;
}

}  // namespace

std::string NativeFileString(UINT id)
{
    return LoadString(kModule, id);
}

bool SaveDocumentParts(DocumentSaveParts& parts, const std::string& path, OverlayMergeRule rule,
                       int flattenPreference, const CQvImageCodec& codec)
{
    if (path.empty() || !parts.image || !parts.overlay)
        return false;
    const bool native = IsNativeFilePath(path);
    // A picture cannot hold the objects: they are drawn into a copy, and the document takes that copy only once
    // the file is written, so a failed save leaves the objects where they were.
    CQvImage merged;
    const bool useMerged = !native && ShouldMerge(parts, rule, flattenPreference) && parts.renderMerged &&
                           parts.renderMerged(merged);
    CQvImage& pixels = useMerged ? merged : *parts.image;

    // A document file keeps the grid as its settings: burnt pixels there would come back as a second grid that
    // can no longer be taken away.
    GridBurnIn burn;
    if (!native && parts.grid && parts.grid->show == 1 && parts.grid->saveWithGrid == 1)
        burn.Burn(pixels, *parts.grid);

    bool saved = false;
    int error = 0;
    if (native) {
        NativeFileRecord record;
        record.image = parts.image;
        record.overlay = parts.overlay;
        record.preferences = parts.preferences;
        if (parts.grid)
            record.grid = *parts.grid;
        record.calibration = parts.calibration;
        saved = WriteFileAtomically(path, [&](FILE* file) { return WriteNativeFile(file, record) == 1; });
    } else {
        errno = 0;
        saved = codec.Save(path.c_str(), &pixels, nullptr) == 1;
    }
    if (!saved)
        error = errno;
    burn.Restore(pixels);
    if (saved && useMerged && parts.adoptMerged)
        parts.adoptMerged(merged);
    parts.objectsLeftOut = saved && !native && HasObjects(*parts.overlay);

    if (!saved) {
        std::string message = Format(NativeFileString(IDS_FILE_CANNOT_SAVE).c_str(), path.c_str());
        const bool unknownFormat = !native && !CodecSavesExtensionOf(codec, path);
        const std::string reason = unknownFormat ? FileFailureText(filetext::IDS_SAVE_UNKNOWN_FORMAT)
                                                 : SaveFailureReason(path, error);
        if (!reason.empty())
            message += "\n" + reason;
        AfxMessageBox(message, MB_OK | MB_ICONERROR);
    }
    return saved;
}
