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
    // Merges every overlay object into the image, as the merge-all command does; false when it could not.
    std::function<bool()> mergeOverlay;
};

enum class OverlayMergeRule
{
    AsPreferenceSays,  // save: flatten 0 merges, 1 never, 2 asks once (message 540)
    Never,             // save as
};

// Saves to `path`: a document file when its extension is ".qrx" (any case), else a picture in the format of the
// extension. A picture save with objects in the overlay merges them first as the rule and `flattenPreference`
// say. With the grid shown and saveWithGrid set the grid is burnt into the saved pixels only; the document's
// image is as before afterwards. False when nothing was written (the user was told); an earlier file at `path` is
// then untouched.
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
