// The program's catalogue of named calibrations, each with the magnifications it was measured at, and the current
// calibration that new captures and new documents copy. Kept in "calibration.cst" (the whole list; the same format
// serves for import and export of "*.cst" files) and "lastcalibration.cal" (the current calibration alone).
//
// Contract:
// - UI thread only. The list owns its items; an item owns its records.
// - Readers never trust the file: the tag "CALIBRATIONLIST" is checked and a count larger than the bytes that
//   remain is damage, so a foreign or damaged file appends at most what it really holds and never a record built
//   from another block's bytes. Whether the last read of the
//   list was clean is kept; when it was not, the next save of that same file first keeps the original beside it
//   as "<file>.bak" (or .bak2, .bak3, ... beside earlier copies), so a damaged list is never lost to the part of it
//   that could be read.
// - Every save writes a temporary file and renames it over the old one.
// - Names kNoneName (none), kTemporaryName (temporary) and "" never enter the list.
#pragma once

#include "calibkeeper/CCalibKeeper.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// One magnification of a named calibration: 24 bytes on file (two doubles, two int32).
struct tagMagnificationRecord
{
    double magnification = -1.0;  // -1: no magnification
    double unitsPerPixel = 0.0;
    int32_t unitType = 2;
    int32_t scaleDefault = 0;
};

class CCalibrationListItem
{
public:
    CCalibrationListItem() = default;
    explicit CCalibrationListItem(const CCalibKeeper& calibration) : m_calibration(calibration) {}

    // Name, unit and the values the item was made with; the name is the item's key.
    CCalibKeeper& GetCalibration() { return m_calibration; }
    const CCalibKeeper& GetCalibration() const { return m_calibration; }
    const std::string& GetName() const { return m_calibration.GetName(); }

    // In list order. Records are compared by exact equality of their magnification.
    std::vector<tagMagnificationRecord>& GetRecords() { return m_records; }
    const std::vector<tagMagnificationRecord>& GetRecords() const { return m_records; }
    // The first record of that magnification, or null.
    tagMagnificationRecord* FindRecord(double magnification);

private:
    CCalibKeeper m_calibration;
    std::vector<tagMagnificationRecord> m_records;
};

class CCalibrationList
{
public:
    // How the last Read went.
    enum ReadStatus
    {
        READ_MISSING = 0,  // no file there: nothing read, nothing to protect
        READ_CLEAN = 1,    // every calibration the file announced was read
        READ_DAMAGED = 2,  // cut short, a count beyond the file or a record that does not read
        READ_FOREIGN = 3,  // not a calibration list: nothing read
        READ_UNREADABLE = 4,  // there but not readable (no access, not a regular file, far too large)
    };

    static constexpr char kListFileName[] = "calibration.cst";
    static constexpr char kLastFileName[] = "lastcalibration.cal";
    // Written by Write; the readers also take 1.4 (16-byte records), 1.5 and 1.6.
    static constexpr float kFileVersion = 1.7f;
    // The reserved names, as calibration files store them: the UI shows them by their texts (strings 523, 524).
    static constexpr char kNoneName[] = "없음";
    static constexpr char kTemporaryName[] = "임시";

    // Empty list; the current calibration is unit 0, 1 unit per pixel, no magnification.
    CCalibrationList();
    ~CCalibrationList();
    CCalibrationList(const CCalibrationList&) = delete;
    CCalibrationList& operator=(const CCalibrationList&) = delete;

    // Never null.
    CCalibKeeper* GetCurrentCalibration() { return &m_current; }
    std::vector<std::unique_ptr<CCalibrationListItem>>& GetItems() { return m_items; }
    const std::vector<std::unique_ptr<CCalibrationListItem>>& GetItems() const { return m_items; }
    // The first item of exactly that name (case-sensitive), or null.
    CCalibrationListItem* FindByName(const std::string& name);
    // Appends and takes ownership; a null item is ignored.
    void AddItem(std::unique_ptr<CCalibrationListItem> item);
    // Removes and deletes the item; 0 when it is not in the list.
    int RemoveItem(const CCalibrationListItem* item);
    // Removes and deletes every item that has no magnification record.
    void RemoveItemsWithoutRecords();

    // When an item of that name exists the current calibration takes the name and the magnification, units per
    // pixel, unit and scale default of the item's record of that magnification, or of its first record when none
    // matches (an item without records gives only the name); returns 1. Returns 0, changing nothing, when no item
    // has that name. A stored value the calibration cannot hold (units per pixel not above 0, a unit outside 0..7)
    // leaves that value of the current calibration as it was.
    int SelectCalibration(const std::string& name, double magnification);

    // The record's magnification, units per pixel, unit and scale default into the calibration (as selecting does).
    static void ApplyRecord(CCalibKeeper& calibration, const tagMagnificationRecord& record);

    // The current calibration := calibration. Unless its name is "", kNoneName or kTemporaryName (in any case) the
    // list keeps it: the named item's records of that magnification take its units per pixel, unit and scale
    // default, a new record is appended when the item has none, and a new item is appended when no item has that
    // name.
    void StoreCalibration(const CCalibKeeper& calibration);

    // Rebuilds the list in the order of the names (the rows of the order dialog). Each name takes the first item
    // of that name not yet placed; names of no item are passed over; items no name placed keep their order after
    // the named ones, so nothing is lost. Returns 1 when the names placed every item, else 0.
    int ReorderByNames(const std::vector<std::string>& names);

    // Appends the calibrations of the file to the list (the list is never emptied first) and remembers how it
    // went (IsLastReadClean). Returns the status.
    ReadStatus Read(const std::string& path);
    // The same from a stream, read to its end; the status is remembered as for a file.
    ReadStatus ReadStream(FILE* file);
    ReadStatus GetLastReadStatus() const { return m_lastRead; }
    // True when the last read found a complete list or no file at all: only then may the program replace the file
    // without keeping the original (Write keeps it as "<file>.bak" otherwise).
    bool IsLastReadClean() const { return m_lastRead == READ_CLEAN || m_lastRead == READ_MISSING; }

    // Start-up's read of the list file: Read, and when the file is there but did not read cleanly its original is
    // kept at once as a free path + ".bak<n>" (so no later save needs to) and the user is told which file was
    // damaged and where its copy is, or that no copy could be made. Returns the status of the read.
    ReadStatus ReadAtStartUp(const std::string& path);

    // Writes the list (version 1.7) through a temporary file renamed over `path`. When the last read of that same
    // path was not clean, the original is first copied to a free path + ".bak<n>"; the list is not written when that
    // fails.
    // Returns 1 when the file was replaced; a failure leaves the old file as it was.
    [[nodiscard]] int Write(const std::string& path);
    // The list file's bytes as Write writes them; 0 when a calibration cannot be written (a name too long).
    int WriteStream(FILE* file) const;

    // "lastcalibration.cal": Write stores the current calibration (temporary file and rename), Read selects the
    // stored name and magnification in the list. Both return 1 on success; a missing or unreadable file gives 0
    // and leaves the current calibration.
    [[nodiscard]] int WriteLastCalibration(const std::string& path) const;
    int ReadLastCalibration(const std::string& path);

    // Start-up and shut-down in the calibration folder (created when missing): the list file, then the last
    // calibration. Load returns the status of the list; Save returns 1 when both files were written.
    ReadStatus LoadFromFolder(const std::string& folder);
    [[nodiscard]] int SaveToFolder(const std::string& folder);
    // SaveToFolder for a save the user asked for: a failure is told in a message box naming the folder.
    int SaveToFolderOrTell(const std::string& folder);

    // Import of a list file: stores every (calibration, magnification) pair of it with StoreCalibration. A file
    // that cannot be opened, is no calibration list or is damaged is refused as a whole with a message box, and
    // nothing changes. Returns 1 when imported.
    int ImportFile(const std::string& path);
    // The file dialogs of the calibration manager's import and export buttons, then ImportFile or Write (a
    // failed export says so). 0 when cancelled or failed.
    int ImportWithDialog();
    int ExportWithDialog();

    // A number without trailing zeros ("%f", then trailing "0"s and a trailing "." removed): 10 -> "10",
    // 2.5 -> "2.5". And back (the number at the start of the text, 0 when none). C locale.
    static std::string NumberToText(double value);
    static double TextToNumber(const std::string& text);

private:
    // Copies the original of a file whose last read was not clean to a free "<file>.bak<n>"; its path, or "" when
    // it could not be copied.
    std::string KeepOriginal(const std::string& path);

    std::vector<std::unique_ptr<CCalibrationListItem>> m_items;
    CCalibKeeper m_current;
    ReadStatus m_lastRead = READ_MISSING;
    // The file whose last read was not clean: its original is kept before the next save replaces it.
    std::string m_unsafePath;
};

// The program's one calibration list.
CCalibrationList& TheCalibrationList();
