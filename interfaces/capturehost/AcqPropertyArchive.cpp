// Save and Load of the property objects: the archive layout, names spelled exactly as stored (spaces and "S-Q"
// included).
#include "capturehost/AcqProperty.h"

#include "datakeeper/CArchiveElement.h"
#include "datakeeper/CArchiveManager.h"

#include <string>

using datakeeper::CArchiveElement;
using datakeeper::CDataCell;

namespace {

// ---- writing: every write to a null element does nothing ----

void Put(CArchiveElement* element, const char* name, const CDataCell& value)
{
    if (element)
        element->AddAttribute(value, name);
}

CArchiveElement* Child(CArchiveElement* parent, const std::string& name)
{
    return parent ? parent->AddChild(name) : nullptr;
}

// An element made free and then hung under `parent`, as list holders are.
CArchiveElement* ListChild(CArchiveElement* parent, const char* name)
{
    if (!parent || !parent->GetArchiveManager())
        return Child(parent, name);
    CArchiveElement* element = parent->GetArchiveManager()->NewElement();
    element->SetName(name);
    return parent->AddChild(element);
}

void PutRange(CArchiveElement* parent, const char* name, const tagACQ_RANGE& range)
{
    CArchiveElement* element = Child(parent, name);
    Put(element, "Max", range.Max);
    Put(element, "Min", range.Min);
    Put(element, "Value", range.Value);
    Put(element, "HWSupport", range.HWSupport);
}

void PutNames(CArchiveElement* parent, const char* name, const std::vector<std::string>& names)
{
    CArchiveElement* element = ListChild(parent, name);
    for (size_t i = 0; i < names.size(); ++i)
        Put(element, std::to_string(i).c_str(), CDataCell(names[i]));
}

// ---- reading: a missing item (or one of another type) leaves its field as it is ----

void Get(const CArchiveElement* element, const char* name, int& field)
{
    const auto* attribute = element ? element->GetAttribute(name) : nullptr;
    if (attribute && attribute->GetData().GetType() == CDataCell::kInt)
        field = attribute->GetData().GetInt();
}

void Get(const CArchiveElement* element, const char* name, float& field)
{
    const auto* attribute = element ? element->GetAttribute(name) : nullptr;
    if (attribute && attribute->GetData().GetType() == CDataCell::kFloat)
        field = attribute->GetData().GetFloat();
}

void Get(const CArchiveElement* element, const char* name, std::string& field)
{
    const auto* attribute = element ? element->GetAttribute(name) : nullptr;
    if (attribute && attribute->GetData().GetType() == CDataCell::kString)
        field = attribute->GetData().GetString();
}

void Get(const CArchiveElement* element, const char* name, datakeeper::GUID& field)
{
    const auto* attribute = element ? element->GetAttribute(name) : nullptr;
    if (attribute && attribute->GetData().GetType() == CDataCell::kGuid)
        field = attribute->GetData().GetGuid();
}

const CArchiveElement* Find(const CArchiveElement* parent, const char* name)
{
    return parent ? parent->GetChild(name) : nullptr;
}

void GetRange(const CArchiveElement* parent, const char* name, tagACQ_RANGE& range)
{
    const CArchiveElement* element = Find(parent, name);
    Get(element, "Max", range.Max);
    Get(element, "Min", range.Min);
    Get(element, "Value", range.Value);
    Get(element, "HWSupport", range.HWSupport);
}

// A present list element replaces the whole list with its string attributes, in position order.
void GetNames(const CArchiveElement* parent, const char* name, std::vector<std::string>& names)
{
    const CArchiveElement* element = Find(parent, name);
    if (!element)
        return;
    names.clear();
    for (int i = 0; i < element->GetAttributeCount(); ++i)
        names.push_back(element->GetAttribute(i)->GetData().GetString());
}

const char* const kModeNames[2] = {"Preview", "Snapshot"};

}  // namespace

int CAcqPropertyBase::Save(CArchiveElement* e)
{
    FileVersion = kAcqPropertyFileVersion;
    Put(e, "FileHeader", CDataCell(kAcqPropertyFileHeader));
    Put(e, "FileVersion", FileVersion);
    Put(e, "ID", CDataCell(ID));
    Put(e, "Device", CDataCell(Device));
    Put(e, "HWType", HWType);
    Put(e, "MaxFPS", MaxFPS);
    PutRange(e, "Hue", Hue);
    PutRange(e, "Saturation", Saturation);
    PutRange(e, "Brightness", Brightness);
    PutRange(e, "Contrast", Contrast);
    PutRange(e, "Gamma", Gamma);
    CArchiveElement* element = Child(e, "ColorMode");
    Put(element, "HWSupport", ColorMode.HWSupport);
    Put(element, "Gray", ColorMode.Gray);
    Put(element, "Mode", ColorMode.Mode);
    element = Child(e, "Negative");
    Put(element, "HWSupport", Negative.HWSupport);
    Put(element, "Negative", Negative.Negative);
    element = Child(e, "Vertical Flip");
    Put(element, "Flip", VerticalFlip.Flip);
    Put(element, "HWSupport", VerticalFlip.HWSupport);
    element = Child(e, "Horizontal Flip");
    Put(element, "Flip", HorizontalFlip.Flip);
    Put(element, "HWSupport", HorizontalFlip.HWSupport);
    PutRange(e, "Sharpness", Sharpness);
    PutRange(e, "SignalOffsetH", SignalOffsetH);
    PutRange(e, "SignalOffsetV", SignalOffsetV);
    PutRange(e, "SignalSizeH", SignalSizeH);
    PutRange(e, "SignalSizeV", SignalSizeV);

    CArchiveElement* channel = Child(e, "Channel");
    CArchiveElement* channels = ListChild(channel, "Channel");
    for (size_t i = 0; i < Channel.List.size(); ++i) {
        CArchiveElement* entry = Child(channels, std::to_string(i));
        Put(entry, "Channel", Channel.List[i].Channel);
        Put(entry, "Name", CDataCell(Channel.List[i].Name));
    }
    Put(channel, "Current", Channel.Current);

    Put(e, "Signal", Signal);
    Put(e, "CamSync", CamSync);
    Put(e, "ImageSync", ImageSync);

    for (int mode = 0; mode < 2; ++mode) {
        CArchiveElement* m = Child(e, kModeNames[mode]);
        element = Child(m, "Exposure");
        Put(element, "Real", Exposure[mode].Real);
        Put(element, "RealHW", Exposure[mode].RealHW);
        Put(element, "AutoHW", Exposure[mode].AutoHW);
        Put(element, "ExpTime", Exposure[mode].ExpTime);
        PutRange(m, "Gain", Gain[mode]);
        PutRange(m, "Offset", Offset[mode]);
        element = Child(m, "Scan");
        Put(element, "CenterHW", Scan[mode].CenterHW);
        Put(element, "CenterCurrent", Scan[mode].CenterCurrent);
        Put(element, "CenterCount", Scan[mode].CenterCount);
        PutNames(element, "ScanCenterNames", Scan[mode].ScanCenterNames);
        Put(element, "AOIHW", Scan[mode].AOIHW);
        Put(element, "AOI", Scan[mode].AOI);
        element = Child(m, "Binning");
        Put(element, "Current", Binning[mode].Current);
        PutNames(element, "Names", Binning[mode].Names);
        element = Child(m, "Bit Depth");
        Put(element, "Bit", BitDepth[mode].Bit);
        Put(element, "Current", BitDepth[mode].Current);
        PutNames(element, "BitNames", BitDepth[mode].BitNames);
    }

    element = Child(e, "SpeedQuality");
    Put(element, "HWSupport", SpeedQuality.HWSupport);
    Put(element, "S-Q", SpeedQuality.SQ);

    CArchiveElement* capture = Child(e, "CaptureSize");
    Put(capture, "Current", CaptureSize.Current);
    CArchiveElement* captures = ListChild(capture, "Captures");
    for (size_t i = 0; i < CaptureSize.List.size(); ++i) {
        CArchiveElement* entry = Child(captures, std::to_string(i));
        Put(entry, "Ratio", CDataCell(CaptureSize.List[i].Ratio));
        Put(entry, "Name", CDataCell(CaptureSize.List[i].Name));
    }
    return 1;
}

int CAcqPropertyBase::Load(CArchiveElement* e)
{
    std::string header;
    Get(e, "FileHeader", header);
    if (header != kAcqPropertyFileHeader)
        return 0;
    Get(e, "FileVersion", FileVersion);
    Get(e, "ID", ID);
    Get(e, "Device", Device);
    Get(e, "HWType", HWType);
    Get(e, "MaxFPS", MaxFPS);
    GetRange(e, "Hue", Hue);
    GetRange(e, "Saturation", Saturation);
    GetRange(e, "Brightness", Brightness);
    GetRange(e, "Contrast", Contrast);
    GetRange(e, "Gamma", Gamma);
    const CArchiveElement* element = Find(e, "ColorMode");
    Get(element, "HWSupport", ColorMode.HWSupport);
    Get(element, "Gray", ColorMode.Gray);
    Get(element, "Mode", ColorMode.Mode);
    element = Find(e, "Negative");
    Get(element, "HWSupport", Negative.HWSupport);
    Get(element, "Negative", Negative.Negative);
    element = Find(e, "Vertical Flip");
    Get(element, "Flip", VerticalFlip.Flip);
    Get(element, "HWSupport", VerticalFlip.HWSupport);
    element = Find(e, "Horizontal Flip");
    Get(element, "Flip", HorizontalFlip.Flip);
    Get(element, "HWSupport", HorizontalFlip.HWSupport);
    GetRange(e, "Sharpness", Sharpness);
    GetRange(e, "SignalOffsetH", SignalOffsetH);
    GetRange(e, "SignalOffsetV", SignalOffsetV);
    GetRange(e, "SignalSizeH", SignalSizeH);
    GetRange(e, "SignalSizeV", SignalSizeV);

    const CArchiveElement* channel = Find(e, "Channel");
    if (const CArchiveElement* channels = Find(channel, "Channel")) {
        Channel.List.clear();
        for (int i = 0; i < channels->GetChildCount(); ++i) {
            tagACQ_CHANNEL entry;
            Get(channels->GetChild(i), "Channel", entry.Channel);
            Get(channels->GetChild(i), "Name", entry.Name);
            Channel.List.push_back(entry);
        }
    }
    Get(channel, "Current", Channel.Current);

    Get(e, "Signal", Signal);
    Get(e, "CamSync", CamSync);
    Get(e, "ImageSync", ImageSync);

    for (int mode = 0; mode < 2; ++mode) {
        const CArchiveElement* m = Find(e, kModeNames[mode]);
        element = Find(m, "Exposure");
        Get(element, "Real", Exposure[mode].Real);
        Get(element, "RealHW", Exposure[mode].RealHW);
        Get(element, "AutoHW", Exposure[mode].AutoHW);
        Get(element, "ExpTime", Exposure[mode].ExpTime);
        GetRange(m, "Gain", Gain[mode]);
        GetRange(m, "Offset", Offset[mode]);
        element = Find(m, "Scan");
        Get(element, "CenterHW", Scan[mode].CenterHW);
        Get(element, "CenterCurrent", Scan[mode].CenterCurrent);
        Get(element, "CenterCount", Scan[mode].CenterCount);
        GetNames(element, "ScanCenterNames", Scan[mode].ScanCenterNames);
        Get(element, "AOIHW", Scan[mode].AOIHW);
        Get(element, "AOI", Scan[mode].AOI);
        element = Find(m, "Binning");
        Get(element, "Current", Binning[mode].Current);
        GetNames(element, "Names", Binning[mode].Names);
        element = Find(m, "Bit Depth");
        Get(element, "Bit", BitDepth[mode].Bit);
        Get(element, "Current", BitDepth[mode].Current);
        GetNames(element, "BitNames", BitDepth[mode].BitNames);
    }

    element = Find(e, "SpeedQuality");
    Get(element, "HWSupport", SpeedQuality.HWSupport);
    Get(element, "S-Q", SpeedQuality.SQ);

    const CArchiveElement* capture = Find(e, "CaptureSize");
    Get(capture, "Current", CaptureSize.Current);
    if (const CArchiveElement* captures = Find(capture, "Captures")) {
        CaptureSize.List.clear();
        for (int i = 0; i < captures->GetChildCount(); ++i) {
            tagACQ_CAPTURE entry;
            Get(captures->GetChild(i), "Ratio", entry.Ratio);
            Get(captures->GetChild(i), "Name", entry.Name);
            CaptureSize.List.push_back(entry);
        }
    }
    return 1;
}
