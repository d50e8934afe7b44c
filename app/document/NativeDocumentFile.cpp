// The document file operations on documents: open into a new document, the document's read and write, save and
// save as with their dialogs, the grid burn-in of a document.
#include "document/NativeFile.h"

#include "core/ProgramServices.h"
#include "core/ProfileSettings.h"
#include "core/CVistrelApp.h"
#include "core/CAppEnvironment.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "document/DocumentRegistry.h"
#include "document/FileFailureTexts.h"
#include "document/GridBurnIn.h"
#include "document/NativeFileSave.h"
#include "inifile/AtomicWriteTemps.h"
#include "inifile/FileBytes.h"
#include "qvcodec/CQvImageCodec.h"
#include "strings/Format.h"
#include "ui/FileDialog.h"
#include "ui/FileFilter.h"
#include "ui/MessageBox.h"

#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <sstream>

namespace {

// The save dialog's entry for documents, and the one offered when VISTREL.INI names none.
constexpr int kDocumentFilterIndex = 2;

// Far above any document (its image is at most what the codec reads, plus the overlay); a larger file is not one.
constexpr size_t kMaxNativeFileBytes = size_t{2} << 30;

NativePreferenceInts PreferencesOf(const PreferenceSettings& p)
{
    return {p.decimalPointRange, p.displayData, p.displayMark, p.displayName, p.autoColor, p.displayRealtime};
}

PreferenceSettings WithFilePreferences(PreferenceSettings p, const NativePreferenceInts& file)
{
    p.decimalPointRange = file.decimalPointRange;
    p.displayData = file.displayData;
    p.displayMark = file.displayMark;
    p.displayName = file.displayName;
    p.autoColor = file.autoColor;
    p.displayRealtime = file.displayRealtime;
    return p;
}

const CQvImageCodec& FileCodec()
{
    if (ProgramServices* program = TheProgram())
        return program->Codec();
    static const std::unique_ptr<CQvImageCodec> own = [] {
        auto codec = std::make_unique<CQvImageCodec>();
        codec->Install("");
        return codec;
    }();
    return *own;
}

int FlattenPreference()
{
    ProgramServices* program = TheProgram();
    return program ? program->Profile().preferences.saveImageFlatten : 2;
}

GridBurnIn& PendingGridBurn()
{
    static GridBurnIn burn;
    return burn;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The filter entry (from 1) that lists the path's extension, the most specific one when several do ("All Image
// Files" lists them all); `fallback` when none does.
int FilterIndexOf(const std::string& filter, const std::string& path, int fallback)
{
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return fallback;
    const std::string pattern = "*" + name.substr(dot);
    std::vector<std::string> parts;
    std::stringstream in(filter);
    for (std::string part; std::getline(in, part, '|');)
        parts.push_back(part);
    int best = fallback;
    size_t bestCount = 0;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        std::vector<std::string> patterns;
        std::stringstream list(parts[i + 1]);
        for (std::string p; std::getline(list, p, ';');)
            patterns.push_back(p);
        for (const std::string& p : patterns)
            if (strcasecmp(p.c_str(), pattern.c_str()) == 0 && (bestCount == 0 || patterns.size() < bestCount)) {
                best = static_cast<int>(i / 2) + 1;
                bestCount = patterns.size();
            }
    }
    return best;
}

// Runs the save dialog; "" when cancelled or no format is installed. `filterIndex` in: the entry shown first; out:
// the entry the chosen name belongs to.
std::string AskSavePath(const std::string& title, const char* proposedName, int& filterIndex)
{
    const CQvImageCodec& codec = FileCodec();
    std::string filter;
    if (codec.GetFilter(filter) != 1)
        return std::string();
    std::string& folder = LastFileFolder();
    if (folder.empty())
        if (ProgramServices* program = TheProgram())
            program->Environment().GetSampleImageFolder(folder);
    FileDialogRequest request;
    request.save = true;
    request.title = title;
    request.filter = filter;
    request.defaultExtension = codec.GetDefaultExt();
    request.filterIndex = filterIndex;
    const std::string proposed = proposedName ? proposedName : "";
    if (!folder.empty())
        request.initialFile = folder + (folder.back() == '/' ? "" : "/") + proposed;
    else
        request.initialFile = proposed;
    const std::string path = ChooseFile(request);
    if (!path.empty())
        filterIndex = FilterIndexOf(filter, path, filterIndex);
    return path;
}

DocumentSaveParts PartsOf(CVistrelDoc& doc)
{
    DocumentSaveParts parts;
    parts.image = &doc.GetImage();
    parts.overlay = &doc.GetGObjectContainer();
    parts.grid = &doc.GetLatticer();
    parts.preferences = PreferencesOf(doc.GetPreferences());
    parts.calibration = doc.GetCalibKeeper();
    parts.renderMerged = [&doc](CQvImage& merged) {
        return RenderOverlayIntoImage(doc.GetImage(), doc.GetGObjectContainer(), CQvGObjectContainer::kDrawAll,
                                      merged);
    };
    parts.adoptMerged = [&doc](const CQvImage& merged) {
        // As the merge-all command: an undo point, then the merged copy replaces the image.
        doc.GetFramePool().PushImage(-1, -1, -1, -1);
        doc.GetGObjectContainer().RemoveAll();
        doc.ReplaceImage(doc.GetFramePool().GetFileName(), &merged);
        doc.SetModifiedFlag(true);
    };
    return parts;
}

// Moves the objects and settings of a scratch overlay into a document's, through the overlay's own stream (the
// objects belong to the container that read them).
bool MoveOverlay(CQvGObjectContainer& from, CQvGObjectContainer& to)
{
    FILE* file = std::tmpfile();
    if (!file)
        return false;
    bool ok = from.Write(file) == 1 && std::fflush(file) == 0;
    std::rewind(file);
    ok = ok && to.Read(file) == 1;
    std::fclose(file);
    return ok;
}

void TellCannotOpen(const std::string& path, const std::string& reason)
{
    AfxMessageBox(CannotOpenMessage(path, reason));
}

// Why a document file did not read: a file that does not even start with the image record is no document.
std::string WhyDocumentFails(const std::string& path)
{
    char magic[4] = {};
    FILE* file = std::fopen(path.c_str(), "rb");
    const bool started = file && std::fread(magic, 1, sizeof magic, file) == sizeof magic &&
                         std::memcmp(magic, "QVIM", sizeof magic) == 0;
    if (file)
        std::fclose(file);
    return FileFailureText(started ? filetext::IDS_OPEN_DAMAGED : filetext::IDS_OPEN_NOT_A_DOCUMENT);
}

std::string OpenErrorReason(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return FileFailureText(filetext::IDS_OPEN_NOT_FOUND);
    if (error == EACCES || error == EPERM)
        return FileFailureText(filetext::IDS_OPEN_NO_ACCESS);
    // The reader opens regular files only, and only up to the largest document it takes.
    if (error == EISDIR || error == ENODEV)
        return FileFailureText(filetext::IDS_OPEN_NOT_A_DOCUMENT);
    if (error == EFBIG)
        return FileFailureText(filetext::IDS_OPEN_TOO_LARGE);
    return WriteFailureReason(error);
}

// Whether `a` and `b` name the same file (the same name, or two names of one file).
bool SameFile(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

enum class Overwrite
{
    Go,
    SaveElsewhere,
    Cancel,
};

// A file whose samples are deeper than the image's would lose them to a save over it: the user decides, with
// another name offered first.
Overwrite AskBeforeReducingFile(const CVistrelDoc& doc, const std::string& path)
{
    if (doc.FileSampleBits() <= 8 || doc.GetPathName().empty() || !SameFile(path, doc.GetPathName()))
        return Overwrite::Go;
    const std::string prompt =
        Format(NativeFileString(IDS_SAVE_REDUCES_FILE).c_str(), path.c_str(), doc.FileSampleBits());
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        return Overwrite::SaveElsewhere;
    case IDNO:
        return Overwrite::Go;
    default:
        return Overwrite::Cancel;
    }
}

bool SavePartsOf(CVistrelDoc& doc, const std::string& path, OverlayMergeRule rule)
{
    DocumentSaveParts parts = PartsOf(doc);
    if (!SaveDocumentParts(parts, path, rule, FlattenPreference(), FileCodec()))
        return false;
    doc.GetFramePool().SetFileName(path);
    doc.SetObjectsLeftOut(parts.objectsLeftOut);
    return true;
}

}  // namespace

std::string& LastFileFolder()
{
    static std::string folder;
    return folder;
}

int WriteDocumentFile(CVistrelDoc& doc, FILE* file)
{
    NativeFileRecord record;
    record.image = &doc.GetImage();
    record.overlay = &doc.GetGObjectContainer();
    record.preferences = PreferencesOf(doc.GetPreferences());
    record.grid = doc.GetLatticer();
    record.calibration = doc.GetCalibKeeper();
    return WriteNativeFile(file, record);
}

int ReadDocumentFile(CVistrelDoc& doc, FILE* file)
{
    CQvImage image;
    NativeFileRecord record;
    record.image = &image;
    record.overlay = &doc.GetGObjectContainer();
    record.grid = doc.GetLatticer();
    record.calibration = doc.GetCalibKeeper();
    if (ReadNativeFile(file, record) != 1)
        return 0;
    doc.ApplyPreferences(WithFilePreferences(doc.GetPreferences(), record.preferences));
    doc.GetLatticer() = record.grid;
    doc.GetCalibKeeper() = record.calibration;
    doc.SetImage(doc.GetPathName(), &image);
    return 1;
}

CVistrelDoc* OpenNativeDocument(const std::string& path)
{
    // Saves of this file that were cut short left their temporary files beside it.
    RemoveStaleAtomicWriteTemps(path);
    // Everything is read aside first: a file that does not read whole makes no document. The path may come from a
    // companion program: only a regular file is opened (a FIFO would block the program, a device never end).
    FILE* file = OpenRegularFile(path, kMaxNativeFileBytes);
    if (!file) {
        TellCannotOpen(path, OpenErrorReason(errno));
        return nullptr;
    }
    CQvImage image;
    CQvGObjectContainer overlay;
    NativeFileRecord record;
    record.image = &image;
    record.overlay = &overlay;
    if (ProgramServices* program = TheProgram())
        record.grid = program->Grid();
    const int read = ReadNativeFile(file, record);
    std::fclose(file);
    DocumentRegistry* registry = DocumentRegistry::Instance();
    if (read != 1 || !registry) {
        TellCannotOpen(path, read != 1 ? WhyDocumentFails(path) : std::string());
        return nullptr;
    }

    CVistrelDoc* doc = registry->NewDocument(FileNameOf(path));
    if (!doc)
        return nullptr;
    if (!MoveOverlay(overlay, doc->GetGObjectContainer())) {
        // A document without the file's objects would overwrite them on the next save.
        TellCannotOpen(path, std::string());
        doc->SetModifiedFlag(false);
        doc->OnCloseDocument();
        return nullptr;
    }
    doc->SetPathName(path, true);
    doc->ApplyPreferences(WithFilePreferences(doc->GetPreferences(), record.preferences));
    doc->GetLatticer() = record.grid;
    doc->GetCalibKeeper() = record.calibration;
    doc->SetImage(path, std::move(image));
    doc->SetModifiedFlag(false);
    AttachActivePlugIns(doc);
    return doc;
}

BOOL SaveDocumentImage(CVistrelDoc* doc, std::string& path, const char* proposedName, int append)
{
    if (!doc)
        return 0;
    if (append) {
        const std::string name = proposedName ? proposedName : "";
        path = path + (!path.empty() && path.back() == '/' ? "" : "/") + name;
    } else if (path.empty()) {
        const int stored = GetSaveDefExtIndex();
        int filterIndex = stored == -1 ? kDocumentFilterIndex : stored;
        path = AskSavePath(NativeFileString(IDS_SAVE_TITLE), proposedName, filterIndex);
        if (path.empty())
            return 0;
        SetSaveDefExtIndex(filterIndex);
        LastFileFolder() = FolderOf(path);
    }
    if (path.empty())
        return 0;
    switch (AskBeforeReducingFile(*doc, path)) {
    case Overwrite::Cancel:
        return 0;
    case Overwrite::SaveElsewhere: {
        std::string elsewhere;
        if (!SaveDocumentImageAs(doc, elsewhere, FileNameOf(path).c_str()))
            return 0;
        path = elsewhere;
        return 1;
    }
    case Overwrite::Go:
        break;
    }
    return SavePartsOf(*doc, path, OverlayMergeRule::AsPreferenceSays) ? 1 : 0;
}

BOOL SaveDocumentImageAs(CVistrelDoc* doc, std::string& path, const char* proposedName)
{
    if (!doc)
        return 0;
    for (;;) {
        if (path.empty()) {
            int filterIndex = kDocumentFilterIndex;
            path = AskSavePath(NativeFileString(IDS_SAVE_AS_TITLE), proposedName, filterIndex);
            if (path.empty())
                return 0;
            // Another document showing that file would lose it under its feet.
            CVistrelDoc* open = FindDocument(path);
            if (open && open != doc) {
                AfxMessageBox(Format(NativeFileString(IDS_FILE_IS_OPEN).c_str(), path.c_str()));
                return 0;
            }
            LastFileFolder() = FolderOf(path);
        }
        const Overwrite answer = AskBeforeReducingFile(*doc, path);
        if (answer == Overwrite::Cancel)
            return 0;
        if (answer == Overwrite::Go)
            break;
        path.clear();  // the dialog again, for another name
    }
    return SavePartsOf(*doc, path, OverlayMergeRule::Never) ? 1 : 0;
}

CVistrelDoc* OpenDocumentImage(const std::string& path)
{
    if (path.empty()) {
        std::string filter;
        if (FileCodec().GetFilter(filter) != 1)
            return nullptr;
        std::string& folder = LastFileFolder();
        if (folder.empty())
            if (ProgramServices* program = TheProgram())
                program->Environment().GetSampleImageFolder(folder);
        FileDialogRequest request;
        request.title = NativeFileString(IDS_OPEN_TITLE);
        request.filter = filter;
        request.filterIndex = 5;
        request.multiSelect = true;
        if (!folder.empty())
            request.initialFile = folder + (folder.back() == '/' ? "" : "/");
        const std::vector<std::string> chosen = ChooseFiles(request);
        if (chosen.empty())
            return nullptr;
        LastFileFolder() = FolderOf(chosen.front());
        for (const std::string& file : chosen)
            OpenDocumentImage(file);
        return nullptr;
    }
    if (ProgramServices* program = TheProgram())
        return program->App().OpenDocumentFile(path);
    if (DocumentRegistry* registry = DocumentRegistry::Instance())
        return registry->OpenDocumentFile(path);
    return nullptr;
}

int BurnGridIntoImage(CVistrelDoc* doc, int restore)
{
    if (!doc)
        return 1;
    if (restore)
        PendingGridBurn().Restore(doc->GetImage());
    else
        PendingGridBurn().Burn(doc->GetImage(), doc->GetLatticer());
    return 1;
}

void InstallNativeFileHooks()
{
    DocumentFileHooks hooks;
    hooks.save = [](CVistrelDoc& doc, const std::string& path, const std::string& proposed,
                    std::string& savedPath) {
        std::string target = path;
        if (!SaveDocumentImage(&doc, target, proposed.c_str(), 0))
            return false;
        savedPath = target;
        return true;
    };
    hooks.saveAs = [](CVistrelDoc& doc, const std::string& proposed, std::string& savedPath) {
        std::string target;
        if (!SaveDocumentImageAs(&doc, target, proposed.c_str()))
            return false;
        savedPath = target;
        return true;
    };
    CVistrelDoc::SetFileHooks(std::move(hooks));
    if (DocumentRegistry* registry = DocumentRegistry::Instance())
        registry->SetNativeOpener(&OpenNativeDocument);
}
