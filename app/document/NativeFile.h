// The program's own document file (".qrx"): the image with its display preferences, grid, calibration and live
// overlay objects in one file, and the operations that open and save documents in it or in a picture format.
//
// Layout (little-endian, no magic of its own; the image record and the calibration record carry theirs):
//   the image record (QvImageRecord.h), then at +0 six int32 preferences (decimal point range, display data, display
//   mark, display name, automatic colour, display real-time result), +24 eight zero bytes, +32 int32 grid show,
//   +36 int32 grid type, +40 double units per pixel, +48 float gap, +52/+56 int32 canvas width/height, +60 the
//   pen and +76 the second pen (each uint32 style, int32 width x, int32 width y, COLORREF), +92 the 60-byte font,
//   +152 int32 ruler, int32 reserved2, int32 tick length, COLORREF color2, then the calibration record
//   (CCalibKeeper::Write) and the overlay stream (CQvGObjectContainer::Write).
//
// Contract: UI thread (the overlay is the UI thread's). The format functions need no document; the document-level
// ones (the second half) work on CVistrelDoc and report failures through the message-box layer.
#pragma once

#include "calibkeeper/CCalibKeeper.h"
#include "latticer/CLatticer.h"
#include "types/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class CQvGObjectContainer;
class CQvImage;
class CVistrelDoc;

// The file type's extension, as files are written.
constexpr const char* kNativeFileExtension = ".qrx";
// Bytes of the fixed part between the image record and the calibration record.
constexpr size_t kNativeFixedBytes = 168;

// The display preferences a document file carries, in file order.
struct NativePreferenceInts
{
    int32_t decimalPointRange = 3;
    int32_t displayData = 1;
    int32_t displayMark = 1;
    int32_t displayName = 0;
    int32_t autoColor = 0;
    int32_t displayRealtime = 0;

    bool operator==(const NativePreferenceInts&) const = default;
};

// What one document file holds. The image and the overlay are the caller's (not owned): the writer reads them, the
// reader fills them. Of `grid` only the stored fields are written and read; `reserved`, `decimal` and `saveWithGrid`
// are left as the caller set them.
struct NativeFileRecord
{
    CQvImage* image = nullptr;
    NativePreferenceInts preferences;
    CLatticer grid;
    CCalibKeeper calibration;
    CQvGObjectContainer* overlay = nullptr;
};

// Writes the whole file at the stream's position. 1, or 0 when the record has no image or overlay or the stream
// refused a byte (the caller then throws the file away).
int WriteNativeFile(FILE* file, const NativeFileRecord& record);

// Reads a whole file. Everything is checked (every record's sizes and counts, grid values a drawing can cope
// with) and nothing in `record` changes unless the whole file read well: then 1, the image replaced, the overlay's
// objects appended after those it held (its settings and the library-wide default set taken from the file).
int ReadNativeFile(FILE* file, NativeFileRecord& record);

// Whether `path` names a document file: its extension is ".qrx" in any case.
bool IsNativeFilePath(const std::string& path);

// ---- documents ----------------------------------------------------------------------------------------------

// The document's part of the file, as the document's own read and write. Reading into a document changes it only
// when the whole file read well (then 1).
int WriteDocumentFile(CVistrelDoc& doc, FILE* file);
int ReadDocumentFile(CVistrelDoc& doc, FILE* file);

// Opens a document file into a new document, first removing what cut-short saves of it left beside it
// (AtomicWriteTemps.h). The document is made only after the whole file read well; a file that cannot be opened or
// read (missing, truncated, foreign, damaged), or whose objects cannot be moved into the new document, shows
// message 767 with the path and the reason below it and gives null, and no document is left behind.
CVistrelDoc* OpenNativeDocument(const std::string& path);

// Saves the document. append nonzero: `path` is a folder and the file is `proposedName` in it. An empty path asks
// for one with the save dialog (filter entry FILE/SaveDefExtIndex of VISTREL.INI, 2 when absent; the entry chosen
// is stored back). A picture format may merge the overlay into the image first, as the save-image-flatten
// preference says (the document takes the merged image only once the file is written); the grid is burnt into a
// picture's saved pixels when shown and saveWithGrid is set, never into a document file's. A path naming the
// document's file whose samples are deeper than the image (CVistrelDoc::FileSampleBits) asks first: Yes runs Save
// As instead, No overwrites, Cancel saves nothing. On success `path` is the file written and the result TRUE, and
// the document learns whether the file left its objects out. Cancel gives FALSE quietly; a failed write shows a
// message with the reason and gives FALSE, leaving any earlier file and the document as they were.
BOOL SaveDocumentImage(CVistrelDoc* doc, std::string& path, const char* proposedName, int append);
// Always asks for the name (filter entry 2); refuses with message 769 a path another open document has; never
// merges the overlay. Choosing the document's deeper file asks as above, Yes asking for another name.
BOOL SaveDocumentImageAs(CVistrelDoc* doc, std::string& path, const char* proposedName);

// Opens `path` as a document through the program's documents (an open document with that path is activated and
// returned; a file that cannot be read shows message 767 and gives null). An empty path runs the open dialog
// (several files may be chosen, the fifth filter entry first, starting in the shared last folder, which then
// becomes the chosen files' folder) and opens every chosen file in turn, each failure told on its own and the rest
// still opened; the result is then null.
CVistrelDoc* OpenDocumentImage(const std::string& path);

// restore 0: keeps the image's pixels aside and draws the document's grid into them; restore 1: puts the kept
// pixels back. Returns 1.
int BurnGridIntoImage(CVistrelDoc* doc, int restore);

// Makes the two functions above the documents' save and save-as (CVistrelDoc::SetFileHooks).
void InstallNativeFileHooks();

// The folder the open and save dialogs start in, shared by both ("" until one of them was used).
std::string& LastFileFolder();
