// The settings of a second-generation device as one object: every adjustable value with its range and whether the
// hardware offers it, for the two capture modes (preview, snapshot), and the lists of inputs and capture sizes.
// The host gets such objects from a driver, edits them, keeps them in a property archive (DataKeeper) and hands
// them back to be applied.
//
// Contract:
// - Virtual slots, in this order (host and drivers call through them): destructor, Reset, Renew, Load, Save,
//   CopyFrom, Clone. Add none before them.
// - Ownership: an object made by a driver (ACQ_GetNewDeviceProperty, Clone) is destroyed by that driver
//   (ACQ_DeletePropertyBaseObject); Clone's result belongs to the caller.
// - Built into each module from one static library with hidden visibility: each driver has its own copy, so no
//   module's Reset or vtable can bind to another's.
// - Nothing here checks a value against its range or an index against its list: ACQ_SetProperty does.
// - Not thread-safe.
#pragma once

#include "datakeeper/Guid.h"

#include <array>
#include <string>
#include <vector>

namespace datakeeper {
class CArchiveElement;
}

struct tagACQ_RANGE
{
    int Max = 0, Min = 0, Value = 0, HWSupport = 0;
    friend bool operator==(const tagACQ_RANGE&, const tagACQ_RANGE&) = default;
};
struct tagACQ_COLORMODE
{
    int HWSupport = 0, Gray = 0, Mode = 0;
    friend bool operator==(const tagACQ_COLORMODE&, const tagACQ_COLORMODE&) = default;
};
struct tagACQ_NEGATIVE
{
    int HWSupport = 0, Negative = 0;
    friend bool operator==(const tagACQ_NEGATIVE&, const tagACQ_NEGATIVE&) = default;
};
struct tagACQ_FLIP
{
    int Flip = 0, HWSupport = 0;
    friend bool operator==(const tagACQ_FLIP&, const tagACQ_FLIP&) = default;
};
struct tagACQ_EXPOSURE
{
    int Real = 0, RealHW = 0, AutoHW = 0, ExpTime = 0;
    friend bool operator==(const tagACQ_EXPOSURE&, const tagACQ_EXPOSURE&) = default;
};
struct tagACQ_SCAN
{
    int CenterHW = 0, CenterCurrent = 0, CenterCount = 0;
    std::vector<std::string> ScanCenterNames;
    int AOIHW = 0, AOI = 0;
    friend bool operator==(const tagACQ_SCAN&, const tagACQ_SCAN&) = default;
};
struct tagACQ_BINNING
{
    int Current = 0;
    std::vector<std::string> Names;
    friend bool operator==(const tagACQ_BINNING&, const tagACQ_BINNING&) = default;
};
struct tagACQ_BITDEPTH
{
    int Bit = 0, Current = 0;
    std::vector<std::string> BitNames;
    friend bool operator==(const tagACQ_BITDEPTH&, const tagACQ_BITDEPTH&) = default;
};
struct tagACQ_SPEEDQUALITY
{
    int HWSupport = 0;
    int SQ = 0;  // stored as "S-Q"
    friend bool operator==(const tagACQ_SPEEDQUALITY&, const tagACQ_SPEEDQUALITY&) = default;
};
struct tagACQ_CHANNEL
{
    int Channel = 0;  // the device's input number
    std::string Name;
    friend bool operator==(const tagACQ_CHANNEL&, const tagACQ_CHANNEL&) = default;
};
struct tagACQ_CAPTURE
{
    float Ratio = 0.0f;
    std::string Name;
    friend bool operator==(const tagACQ_CAPTURE&, const tagACQ_CAPTURE&) = default;
};

// The input list and the index of the selected entry (which may lie outside the list).
struct AcqChannelList
{
    std::vector<tagACQ_CHANNEL> List;
    int Current = 0;
    int Count() const { return static_cast<int>(List.size()); }
    bool HasCurrent() const { return Current >= 0 && Current < Count(); }
    friend bool operator==(const AcqChannelList&, const AcqChannelList&) = default;
};
struct AcqCaptureList
{
    int Current = 0;
    std::vector<tagACQ_CAPTURE> List;
    friend bool operator==(const AcqCaptureList&, const AcqCaptureList&) = default;
};

// Capture modes of the per-mode records.
constexpr int kAcqPreview = 0;
constexpr int kAcqSnapshot = 1;
constexpr int kAcqPropertyFileVersion = 4;
constexpr char kAcqPropertyFileHeader[] = "ACQ PROPERTYBASE FILE HEADER";

class CAcqPropertyBase
{
public:
    // A new ID, FileVersion 4, HWType 1, empty Device and name lists, then the neutral values (Reset).
    CAcqPropertyBase();
    virtual ~CAcqPropertyBase();
    CAcqPropertyBase(const CAcqPropertyBase&) = delete;
    CAcqPropertyBase& operator=(const CAcqPropertyBase&) = delete;

    // The neutral values: MaxFPS 30, every range and flag 0, the channel and capture lists empty with Current 0,
    // Signal 0, CamSync and ImageSync 1, every per-mode int 0, SpeedQuality 0. ID, FileVersion, Device, HWType and
    // the per-mode name lists stay as they are.
    virtual void Reset();
    // A new ID, FileVersion 4, HWType 1, then Reset; answers 1.
    virtual int Renew();
    // Reads the values an archive element holds: 0 (nothing changed) unless its "FileHeader" string is exactly the
    // property header; else 1, with every value the element lacks (or holds as another type) left as it was.
    virtual int Load(datakeeper::CArchiveElement* element);
    // Writes every value into `element` (FileVersion becomes 4 first); 1, also for a null element.
    virtual int Save(datakeeper::CArchiveElement* element);
    // Renew, then every value of `other`, ID included. Onto itself (or from null) it does nothing.
    virtual void CopyFrom(const CAcqPropertyBase* other);
    // A new base object (also of a device object) holding this one's values; the caller owns it.
    virtual CAcqPropertyBase* Clone() const;

    // Every field equal, ID and FileVersion included.
    bool SameValues(const CAcqPropertyBase& other) const;

    datakeeper::GUID ID;
    int FileVersion = kAcqPropertyFileVersion;
    std::string Device;
    int HWType = 1;
    int MaxFPS = 30;
    tagACQ_RANGE Hue, Saturation, Brightness, Contrast, Gamma;
    tagACQ_COLORMODE ColorMode;
    tagACQ_NEGATIVE Negative;
    tagACQ_FLIP VerticalFlip, HorizontalFlip;  // stored as "Vertical Flip", "Horizontal Flip"
    tagACQ_RANGE Sharpness, SignalOffsetH, SignalOffsetV, SignalSizeH, SignalSizeV;
    AcqChannelList Channel;
    int Signal = 0;
    int CamSync = 1;
    int ImageSync = 1;
    std::array<tagACQ_EXPOSURE, 2> Exposure;
    std::array<tagACQ_RANGE, 2> Gain, Offset;
    std::array<tagACQ_SCAN, 2> Scan;
    std::array<tagACQ_BINNING, 2> Binning;
    std::array<tagACQ_BITDEPTH, 2> BitDepth;  // stored as "Bit Depth"
    tagACQ_SPEEDQUALITY SpeedQuality;
    AcqCaptureList CaptureSize;

private:
    void CopyValues(const CAcqPropertyBase& other);
};

// A device's property: the base with the device's defaults on top of the neutral ones. Each driver passes its own
// defaults, so one class serves every driver.
class CAcqDeviceProperty : public CAcqPropertyBase
{
public:
    using Defaults = void (*)(CAcqPropertyBase& property);
    explicit CAcqDeviceProperty(Defaults defaults);
    ~CAcqDeviceProperty() override;
    // The base Reset, then the device's defaults.
    void Reset() override;

private:
    Defaults m_defaults;
};
