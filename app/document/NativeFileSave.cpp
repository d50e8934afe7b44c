#include "document/NativeFileSave.h"

#include "document/GridBurnIn.h"
#include "gobjects/CQvGObjectContainer.h"
#include "inifile/FileBytes.h"
#include "qvcodec/CQvImageCodec.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"


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
        saved = codec.Save(path.c_str(), &pixels, nullptr) == 1;
    }
    burn.Restore(pixels);
    if (saved && useMerged && parts.adoptMerged)
        parts.adoptMerged(merged);

    if (!saved)
        AfxMessageBox(Format(NativeFileString(IDS_FILE_CANNOT_SAVE).c_str(), path.c_str()), MB_OK | MB_ICONERROR);
    return saved;
}
