// Writing a document to a file, apart from the document class: the save policy (picture or document file by the
// extension, the overlay merged as the save-image-flatten preference says, the grid burnt in when asked) and the
// safe write through a temporary file. UI thread.
#pragma once

#include "document/NativeFile.h"

#include <cstdio>
#include <functional>
#include <string>

class CQvImageCodec;

// What a save takes of a document. `image`, `overlay` and `grid` are the document's own (not owned).
struct DocumentSaveParts
{
    CQvImage* image = nullptr;
    CQvGObjectContainer* overlay = nullptr;
    CLatticer* grid = nullptr;
    NativePreferenceInts preferences;
    CCalibKeeper calibration;
    // Draws every overlay object into a colour copy of the image, as the merge-all command does, leaving the
    // document as it is; false when it could not.
    std::function<bool(CQvImage& merged)> renderMerged;
    // Called once the merged copy is in the file: the document takes it and lets go of the objects, as after the
    // merge-all command. A save that fails never gets here, so it loses no object.
    std::function<void(const CQvImage& merged)> adoptMerged;
    // Set by a save that succeeded: the file holds none of the objects the overlay still has (a picture saved
    // without merging them), so the document is not all in its file.
    bool objectsLeftOut = false;
};

enum class OverlayMergeRule
{
    AsPreferenceSays,  // save: flatten 0 merges, 1 never, 2 asks once (message 540)
    Never,             // save as
};

// Saves to `path`: a document file when its extension is ".qrx" (any case), else a picture in the format of the
// extension. A picture save with objects in the overlay merges them first as the rule and `flattenPreference`
// say; the document takes the merged image only after the file was written. With the grid shown and saveWithGrid
// set the grid is burnt into a picture's saved pixels only (a document file keeps the grid as its settings); the
// document's image is as before afterwards. False when nothing was written (the user was told, with the reason
// where the system gave one or the folder shows it); an earlier file at `path` and the document are then
// untouched.
bool SaveDocumentParts(DocumentSaveParts& parts, const std::string& path, OverlayMergeRule rule,
                       int flattenPreference, const CQvImageCodec& codec);

// The program's strings of the file operations.
std::string NativeFileString(UINT id);
constexpr UINT IDS_OPEN_TITLE = 490;
constexpr UINT IDS_SAVE_TITLE = 491;
constexpr UINT IDS_SAVE_AS_TITLE = 492;
constexpr UINT IDS_ASK_MERGE = 540;
constexpr UINT IDS_FILE_CANNOT_OPEN = 767;
constexpr UINT IDS_FILE_CANNOT_SAVE = 768;  // %s: the path
constexpr UINT IDS_FILE_IS_OPEN = 769;      // %s: the path
constexpr UINT IDS_SAVE_REDUCES_FILE = 4173;  // %s: the path, %d: the file's bits a sample
