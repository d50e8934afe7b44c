// The property objects: neutral and device defaults, copies, clones, and the archive layout they save and load.
#include "capturehost/AcqProperty.h"

#include "datakeeper/CArchiveManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using datakeeper::CArchiveElement;
using datakeeper::CArchiveManager;
using datakeeper::CDataCell;

namespace {

void TestDefaults(CAcqPropertyBase& p)
{
    p.Device = "Test Board";
    p.Hue = {63, 0, 5, 1};
    p.Channel.List = {{1, "Composit"}, {0, "RGB"}, {2, "S-Video"}};
    p.Channel.Current = 3;
}

// Every kind of field away from its neutral value: name lists, two capture sizes, negative values, a Korean name.
void FillFull(CAcqPropertyBase& p)
{
    p.Device = "\xEC\xBA\xA1\xEC\xB2\x98 \xEB\xB3\xB4\xEB\x93\x9C";
    p.HWType = 7;
    p.MaxFPS = 60;
    p.Hue = {127, -127, -5, 1};
    p.Saturation = {10, -10, -1, 0};
    p.Brightness = {1, 2, 3, 4};
    p.Contrast = {-1, -2, -3, -4};
    p.Gamma = {5, 6, 7, 8};
    p.ColorMode = {1, 2, 3};
    p.Negative = {1, -1};
    p.VerticalFlip = {1, 0};
    p.HorizontalFlip = {0, 1};
    p.Sharpness = {9, 8, 7, 6};
    p.SignalOffsetH = {16, -16, -3, 1};
    p.SignalOffsetV = {1, 1, 1, 1};
    p.SignalSizeH = {16, -16, 2, 1};
    p.SignalSizeV = {2, 2, 2, 2};
    p.Channel.List = {{2, "S-Video"}, {3, "RCA-1"}, {-4, ""}};
    p.Channel.Current = 5;
    p.Signal = 1;
    p.CamSync = -1;
    p.ImageSync = 0;
    for (int mode = 0; mode < 2; ++mode) {
        p.Exposure[mode] = {mode + 1, 2, 3, -40};
        p.Gain[mode] = {mode, -mode, 3, 1};
        p.Offset[mode] = {4, 3, 2, mode};
        p.Scan[mode] = {1, mode, 3, {"centre", "left", "\xEC\x9A\xB0"}, 1, -2};
        p.Binning[mode] = {mode, {"1x1", "2x2"}};
        p.BitDepth[mode] = {12, 1, {"8 bit", "12 bit"}};
    }
    p.Scan[1].ScanCenterNames.clear();
    p.SpeedQuality = {1, -3};
    p.CaptureSize = {1, {{0.5f, "half"}, {-1.25f, "\xEC\xA0\x84\xEC\xB2\xB4"}}};
}

// Saves into a fresh archive, writes the file's bytes, reads them back and loads a fresh base object.
std::unique_ptr<CAcqPropertyBase> ThroughTheArchive(CAcqPropertyBase& saved)
{
    CArchiveManager archive;
    EXPECT_EQ(saved.Save(archive.GetRoot()), 1);
    const std::vector<uint8_t> bytes = archive.SaveToBytes();
    CArchiveManager read;
    EXPECT_TRUE(read.LoadFromBytes(bytes.data(), bytes.size())) << read.GetLastError();
    auto loaded = std::make_unique<CAcqPropertyBase>();
    EXPECT_EQ(loaded->Load(read.GetRoot()), 1);
    return loaded;
}

std::vector<std::string> AttributeNames(const CArchiveElement* e)
{
    std::vector<std::string> names;
    for (int i = 0; i < e->GetAttributeCount(); ++i)
        names.push_back(e->GetAttribute(i)->GetName());
    return names;
}

std::vector<std::string> ChildNames(const CArchiveElement* e)
{
    std::vector<std::string> names;
    for (int i = 0; i < e->GetChildCount(); ++i)
        names.push_back(e->GetChild(i)->GetName());
    return names;
}

}  // namespace

TEST(AcqProperty, NeutralAndDeviceDefaults)
{
    CAcqPropertyBase base;
    EXPECT_EQ(base.FileVersion, 4);
    EXPECT_EQ(base.HWType, 1);
    EXPECT_EQ(base.MaxFPS, 30);
    EXPECT_EQ(base.CamSync, 1);
    EXPECT_EQ(base.ImageSync, 1);
    EXPECT_TRUE(base.Channel.List.empty());
    EXPECT_NE(base.ID, datakeeper::GUID{});
    EXPECT_NE(base.ID, CAcqPropertyBase().ID);

    CAcqDeviceProperty device(TestDefaults);
    EXPECT_EQ(device.Device, "Test Board");
    EXPECT_EQ(device.Channel.Current, 3);
    device.Hue.Value = 9;
    device.Reset();
    EXPECT_EQ(device.Hue.Value, 5);  // Reset through the device's slot
}

TEST(AcqProperty, RoundTripsThroughTheArchiveFileIdentifierIncluded)
{
    struct Case { const char* label; std::function<std::unique_ptr<CAcqPropertyBase>()> make; };
    const Case cases[] = {
        {"neutral", [] { return std::make_unique<CAcqPropertyBase>(); }},
        {"device defaults", [] { return std::make_unique<CAcqDeviceProperty>(TestDefaults); }},
        {"full", [] { auto p = std::make_unique<CAcqPropertyBase>(); FillFull(*p); return p; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto saved = c.make();
        saved->FileVersion = 3;
        auto loaded = ThroughTheArchive(*saved);
        EXPECT_EQ(saved->FileVersion, 4);
        EXPECT_TRUE(loaded->SameValues(*saved));
        EXPECT_EQ(loaded->ID, saved->ID);
    }
}

TEST(AcqProperty, WritesTheArchiveLayoutWithItsExactNames)
{
    CAcqPropertyBase p;
    FillFull(p);
    CArchiveManager archive;
    p.Save(archive.GetRoot());
    const CArchiveElement* e = archive.GetRoot();
    EXPECT_EQ(AttributeNames(e), (std::vector<std::string>{"FileHeader", "FileVersion", "ID", "Device", "HWType",
                                                           "MaxFPS", "Signal", "CamSync", "ImageSync"}));
    EXPECT_EQ(e->GetAttribute("FileHeader")->GetData().GetString(), "ACQ PROPERTYBASE FILE HEADER");
    EXPECT_EQ(e->GetAttribute("ID")->GetData().GetType(), CDataCell::kGuid);
    EXPECT_EQ(ChildNames(e), (std::vector<std::string>{"Hue", "Saturation", "Brightness", "Contrast", "Gamma",
                                                       "ColorMode", "Negative", "Vertical Flip", "Horizontal Flip",
                                                       "Sharpness", "SignalOffsetH", "SignalOffsetV", "SignalSizeH",
                                                       "SignalSizeV", "Channel", "Preview", "Snapshot",
                                                       "SpeedQuality", "CaptureSize"}));
    EXPECT_EQ(AttributeNames(e->GetChild("Hue")), (std::vector<std::string>{"Max", "Min", "Value", "HWSupport"}));
    EXPECT_EQ(AttributeNames(e->GetChild("Vertical Flip")), (std::vector<std::string>{"Flip", "HWSupport"}));
    EXPECT_EQ(AttributeNames(e->GetChild("SpeedQuality")), (std::vector<std::string>{"HWSupport", "S-Q"}));
    const CArchiveElement* channel = e->GetChild("Channel");
    EXPECT_EQ(AttributeNames(channel), std::vector<std::string>{"Current"});
    EXPECT_EQ(ChildNames(channel->GetChild("Channel")), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(AttributeNames(channel->GetChild("Channel")->GetChild("1")),
              (std::vector<std::string>{"Channel", "Name"}));
    const CArchiveElement* preview = e->GetChild("Preview");
    EXPECT_EQ(ChildNames(preview), (std::vector<std::string>{"Exposure", "Gain", "Offset", "Scan", "Binning",
                                                             "Bit Depth"}));
    EXPECT_EQ(AttributeNames(preview->GetChild("Scan")),
              (std::vector<std::string>{"CenterHW", "CenterCurrent", "CenterCount", "AOIHW", "AOI"}));
    EXPECT_EQ(AttributeNames(preview->GetChild("Scan")->GetChild("ScanCenterNames")),
              (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(ChildNames(preview->GetChild("Bit Depth")), std::vector<std::string>{"BitNames"});
    const CArchiveElement* capture = e->GetChild("CaptureSize");
    EXPECT_EQ(AttributeNames(capture), std::vector<std::string>{"Current"});
    EXPECT_EQ(capture->GetChild("Captures")->GetChild("1")->GetAttribute("Ratio")->GetData().GetFloat(), -1.25f);
}

TEST(AcqProperty, LoadsOnlyUnderTheExactHeader)
{
    struct Case { const char* label; const char* header; int result; };
    const Case cases[] = {{"missing", nullptr, 0},
                          {"other case", "acq propertybase file header", 0},
                          {"header and nothing else", "ACQ PROPERTYBASE FILE HEADER", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CArchiveManager archive;
        if (c.header)
            archive.GetRoot()->AddAttribute(CDataCell(c.header), "FileHeader");
        archive.GetRoot()->AddAttribute(CDataCell(4), "HWType");  // only read under the right header
        CAcqPropertyBase p;
        FillFull(p);
        CAcqPropertyBase before;
        before.CopyFrom(&p);
        EXPECT_EQ(p.Load(archive.GetRoot()), c.result);
        p.HWType = before.HWType;  // the one value the element holds
        EXPECT_TRUE(p.SameValues(before));
    }
    // A header stored as another type is no header.
    CArchiveManager archive;
    archive.GetRoot()->AddAttribute(CDataCell(1), "FileHeader");
    CAcqPropertyBase p;
    EXPECT_EQ(p.Load(archive.GetRoot()), 0);
}

TEST(AcqProperty, KeepsTheLoadedVersionUntilTheNextSave)
{
    CAcqPropertyBase saved;
    CArchiveManager archive;
    saved.Save(archive.GetRoot());
    archive.GetRoot()->GetAttribute("FileVersion")->GetData() = CDataCell(3);
    CAcqPropertyBase p;
    ASSERT_EQ(p.Load(archive.GetRoot()), 1);
    EXPECT_EQ(p.FileVersion, 3);
    CArchiveManager again;
    p.Save(again.GetRoot());
    EXPECT_EQ(p.FileVersion, 4);
    EXPECT_EQ(again.GetRoot()->GetAttribute("FileVersion")->GetData().GetInt(), 4);
}

TEST(AcqProperty, CloneIsABaseObjectWithTheSameValues)
{
    CAcqDeviceProperty device(TestDefaults);
    std::unique_ptr<CAcqPropertyBase> clone(device.Clone());
    EXPECT_TRUE(clone->SameValues(device));
    clone->Reset();
    EXPECT_EQ(clone->Hue.Value, 0);  // the neutral values, not the device's
    EXPECT_TRUE(clone->Channel.List.empty());
    EXPECT_EQ(clone->MaxFPS, 30);
    EXPECT_EQ(clone->Device, "Test Board");  // the base Reset leaves the name
}

TEST(AcqProperty, CopyKeepsTheIdentifierRenewReplacesItAndASelfCopyChangesNothing)
{
    CAcqPropertyBase source;
    FillFull(source);
    CAcqPropertyBase copy;
    copy.CopyFrom(&source);
    EXPECT_TRUE(copy.SameValues(source));
    const datakeeper::GUID id = copy.ID;
    EXPECT_EQ(copy.Renew(), 1);
    EXPECT_NE(copy.ID, id);

    CAcqPropertyBase expected;
    expected.CopyFrom(&source);
    source.CopyFrom(&source);
    EXPECT_TRUE(source.SameValues(expected));
    source.CopyFrom(nullptr);
    EXPECT_TRUE(source.SameValues(expected));
}

TEST(AcqProperty, AnEmptyListIsStoredAndLoadedAsEmpty)
{
    CAcqPropertyBase empty;
    CArchiveManager archive;
    empty.Save(archive.GetRoot());
    const CArchiveElement* inner = archive.GetRoot()->GetChild("Channel")->GetChild("Channel");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->GetChildCount(), 0);
    CAcqDeviceProperty three(TestDefaults);
    ASSERT_EQ(three.Channel.List.size(), 3u);
    ASSERT_EQ(three.Load(archive.GetRoot()), 1);
    EXPECT_TRUE(three.Channel.List.empty());
    // An element without the inner list keeps the list and reads the rest.
    CArchiveManager partial;
    partial.GetRoot()->AddAttribute(CDataCell(kAcqPropertyFileHeader), "FileHeader");
    partial.GetRoot()->AddChild("Channel")->AddAttribute(CDataCell(1), "Current");
    CAcqDeviceProperty kept(TestDefaults);
    ASSERT_EQ(kept.Load(partial.GetRoot()), 1);
    EXPECT_EQ(kept.Channel.List.size(), 3u);
    EXPECT_EQ(kept.Channel.Current, 1);
}
