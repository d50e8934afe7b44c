#include "capturehost/AcqProperty.h"

CAcqPropertyBase::CAcqPropertyBase() : ID(datakeeper::NewGuid())
{
    CAcqPropertyBase::Reset();
}

CAcqPropertyBase::~CAcqPropertyBase() = default;

void CAcqPropertyBase::Reset()
{
    MaxFPS = 30;
    Hue = Saturation = Brightness = Contrast = Gamma = tagACQ_RANGE{};
    ColorMode = tagACQ_COLORMODE{};
    Negative = tagACQ_NEGATIVE{};
    VerticalFlip = HorizontalFlip = tagACQ_FLIP{};
    Sharpness = SignalOffsetH = SignalOffsetV = SignalSizeH = SignalSizeV = tagACQ_RANGE{};
    Channel.List.clear();
    Channel.Current = 0;
    Signal = 0;
    CamSync = 1;
    ImageSync = 1;
    for (int mode = 0; mode < 2; ++mode) {
        Exposure[mode] = tagACQ_EXPOSURE{};
        Gain[mode] = Offset[mode] = tagACQ_RANGE{};
        // The name lists stay: only the ints are neutral values.
        tagACQ_SCAN& scan = Scan[mode];
        scan.CenterHW = scan.CenterCurrent = scan.CenterCount = scan.AOIHW = scan.AOI = 0;
        Binning[mode].Current = 0;
        BitDepth[mode].Bit = BitDepth[mode].Current = 0;
    }
    SpeedQuality = tagACQ_SPEEDQUALITY{};
    CaptureSize.Current = 0;
    CaptureSize.List.clear();
}

int CAcqPropertyBase::Renew()
{
    ID = datakeeper::NewGuid();
    FileVersion = kAcqPropertyFileVersion;
    HWType = 1;
    Reset();
    return 1;
}

void CAcqPropertyBase::CopyFrom(const CAcqPropertyBase* other)
{
    // Renew resets this object first: copying from itself would copy the reset values.
    if (!other || other == this)
        return;
    Renew();
    CopyValues(*other);
}

void CAcqPropertyBase::CopyValues(const CAcqPropertyBase& o)
{
    ID = o.ID;
    Device = o.Device;
    HWType = o.HWType;
    MaxFPS = o.MaxFPS;
    Hue = o.Hue;
    Saturation = o.Saturation;
    Brightness = o.Brightness;
    Contrast = o.Contrast;
    Gamma = o.Gamma;
    ColorMode = o.ColorMode;
    Negative = o.Negative;
    VerticalFlip = o.VerticalFlip;
    HorizontalFlip = o.HorizontalFlip;
    Sharpness = o.Sharpness;
    SignalOffsetH = o.SignalOffsetH;
    SignalOffsetV = o.SignalOffsetV;
    SignalSizeH = o.SignalSizeH;
    SignalSizeV = o.SignalSizeV;
    Channel = o.Channel;
    Signal = o.Signal;
    CamSync = o.CamSync;
    ImageSync = o.ImageSync;
    Exposure = o.Exposure;
    Gain = o.Gain;
    Offset = o.Offset;
    Scan = o.Scan;
    Binning = o.Binning;
    BitDepth = o.BitDepth;
    SpeedQuality = o.SpeedQuality;
    CaptureSize = o.CaptureSize;
}

CAcqPropertyBase* CAcqPropertyBase::Clone() const
{
    auto* copy = new CAcqPropertyBase;
    copy->CopyFrom(this);
    return copy;
}

bool CAcqPropertyBase::SameValues(const CAcqPropertyBase& o) const
{
    return ID == o.ID && FileVersion == o.FileVersion && Device == o.Device && HWType == o.HWType
        && MaxFPS == o.MaxFPS && Hue == o.Hue && Saturation == o.Saturation && Brightness == o.Brightness
        && Contrast == o.Contrast && Gamma == o.Gamma && ColorMode == o.ColorMode && Negative == o.Negative
        && VerticalFlip == o.VerticalFlip && HorizontalFlip == o.HorizontalFlip && Sharpness == o.Sharpness
        && SignalOffsetH == o.SignalOffsetH && SignalOffsetV == o.SignalOffsetV && SignalSizeH == o.SignalSizeH
        && SignalSizeV == o.SignalSizeV && Channel == o.Channel && Signal == o.Signal && CamSync == o.CamSync
        && ImageSync == o.ImageSync && Exposure == o.Exposure && Gain == o.Gain && Offset == o.Offset
        && Scan == o.Scan && Binning == o.Binning && BitDepth == o.BitDepth && SpeedQuality == o.SpeedQuality
        && CaptureSize == o.CaptureSize;
}

CAcqDeviceProperty::CAcqDeviceProperty(Defaults defaults) : m_defaults(defaults)
{
    CAcqDeviceProperty::Reset();
}

CAcqDeviceProperty::~CAcqDeviceProperty() = default;

void CAcqDeviceProperty::Reset()
{
    CAcqPropertyBase::Reset();
    if (m_defaults)
        m_defaults(*this);
}
