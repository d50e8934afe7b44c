// Every choice of the caliper (tool mode, result mode, smoothing, the five edge detectors with their thresholds,
// widths and colours, the colours of the tools and the profile graph), kept as the 556-byte record that ".cst"
// files hold. One record exists per module; all measuring sessions read it. UI thread only.
//
// The record, little-endian, ints 32-bit signed; each colour is an 8-byte slot: 4 bytes without meaning, then
// blue, green, red and a reserved 0:
//   0, 4      no meaning (a reader keeps its own value)
//   8         tool mode (0 select, 1 lines, 2 circles)       12   result mode (0 basic, 1 detailed)
//   16        decimal places                                 20   smoothing passes        24   half-width
//   28        show names                                     32..48  detector switches of kinds 0..4
//   52        400 reserved bytes (kept from the last file)   452  reserved int
//   456, 460  upper and lower threshold                      464  threshold minimum run
//   468..480  minimum widths of peak, valley, step up, step down
//   484..548  colours: the five kinds, tool, profile curve, profile grid, profile frame
//
// Files are read field by field and every value that sizes or bounds a computation is brought into the range the
// dialog can set, so that no file divides by zero, hangs the smoothing or breaks a number format; other bytes are
// kept as the file has them.
#pragma once

#include "types/ColorRef.h"

#include <array>
#include <cstdint>
#include <string>

namespace caliper {

// The five edge kinds, in the order of every per-kind array, setting and report row.
enum EdgeKind { kThreshold = 0, kPeak = 1, kValley = 2, kStepUp = 3, kStepDown = 4 };
constexpr int kEdgeKinds = 5;

// The colour slots after the five kinds'.
enum ColourSlot { kToolColour = 5, kCurveColour = 6, kGridColour = 7, kFrameColour = 8 };
constexpr int kColourSlots = 9;

}  // namespace caliper

class CCaliperSettings
{
public:
    static constexpr size_t kRecordSize = 556;
    static constexpr const char* kDefaultFileName = "DefaultSet.cst";

    // The ranges the dialog sets, applied to what a file brings.
    static constexpr int kMaxPasses = 100;
    static constexpr int kMaxHalfWidth = 5;
    static constexpr int kMaxDecimals = 10;
    static constexpr int kMaxWidth = 65535;

    // A fresh record: zero bytes, then the defaults.
    CCaliperSettings();
    // Saves the default file when bound (the last state becomes the next start's default).
    ~CCaliperSettings();
    CCaliperSettings(const CCaliperSettings&) = delete;
    CCaliperSettings& operator=(const CCaliperSettings&) = delete;

    // The defaults into offsets 8..48 and 452..555; the 400 reserved bytes and the bytes without meaning stay.
    void SetDefaults();

    // Links the record to its folders and reads the default file: the per-user copy when there is one, else the
    // install folder's; the defaults when neither loads. Folders end with '/'; `userFolder` may be empty.
    void Bind(const std::string& installFolder, const std::string& userFolder);
    bool IsBound() const { return !m_installFolder.empty(); }
    const std::string& SettingsFolder() const { return m_installFolder; }
    // Writes the default file into the install folder, or, when that cannot be written (a read-only install),
    // into the per-user folder; 1 when one was written.
    int SaveDefault() const;

    // 1 when the file had at least 556 bytes: its first 556 are taken (the bytes without meaning keep their values
    // here) and the ranges applied. 0 leaves the record as it was.
    int Load(const std::string& path);
    // Writes the 556 bytes (those without meaning as zero); 1 on success.
    int Save(const std::string& path) const;
    // The record as Save writes it; Assign takes a record as Load does (false, unchanged, when it is short).
    std::array<uint8_t, kRecordSize> Bytes() const;
    bool Assign(const uint8_t* data, size_t size);

    int ToolMode() const { return Int(8); }
    void SetToolMode(int mode) { SetInt(8, mode); }
    int ResultMode() const { return Int(12); }
    void SetResultMode(int mode) { SetInt(12, mode); }
    int Decimals() const { return Int(16); }
    void SetDecimals(int decimals) { SetInt(16, decimals); }
    int Passes() const { return Int(20); }
    void SetPasses(int passes) { SetInt(20, passes); }
    int HalfWidth() const { return Int(24); }
    void SetHalfWidth(int halfWidth) { SetInt(24, halfWidth); }
    int ShowNames() const { return Int(28); }
    void SetShowNames(int show) { SetInt(28, show); }
    // The on-switch of kind 0..4; 0 for another kind.
    int Detector(int kind) const;
    void SetDetector(int kind, int on);
    int UpperThreshold() const { return Int(456); }
    void SetUpperThreshold(int value) { SetInt(456, value); }
    int LowerThreshold() const { return Int(460); }
    void SetLowerThreshold(int value) { SetInt(460, value); }
    int MinimumRun() const { return Int(464); }
    // Minimum width of the peak, valley, step-up and step-down detectors (kinds 1..4).
    int MinimumWidth(int kind) const;
    void SetMinimumWidth(int kind, int width);
    // Colour slot 0..8 as a Windows colour value (red + green * 256 + blue * 65536).
    COLORREF Colour(int slot) const;
    void SetColour(int slot, COLORREF colour);

private:
    int Int(size_t offset) const;
    void SetInt(size_t offset, int value);
    // Brings every value that sizes or bounds a computation into its range.
    void ApplyRanges();

    std::array<uint8_t, kRecordSize> m_record{};
    std::string m_installFolder;
    std::string m_userFolder;
};
