#include "caliper/CaliperSettings.h"
#include "inifile/FileBytes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr size_t kFirstColour = 484;
constexpr size_t kColourSlotSize = 8;

struct IntDefault
{
    size_t offset;
    int value;
};

constexpr IntDefault kIntDefaults[] = {
    {8, 0},     {12, 0},    {16, 0},    {20, 20},   {24, 2},    {28, 1},    {32, 0},  {36, 1}, {40, 1},
    {44, 0},    {48, 0},    {452, 0},   {456, 128}, {460, 128}, {464, 1},   {468, 10}, {472, 10},
    {476, 10},  {480, 10},
};

constexpr COLORREF kColourDefaults[caliper::kColourSlots] = {
    RGB(0, 255, 0),   RGB(255, 0, 0),  RGB(0, 0, 255),     RGB(192, 64, 0),  RGB(0, 64, 192),
    RGB(255, 64, 255), RGB(0, 0, 255), RGB(192, 192, 255), RGB(64, 64, 64),
};

// The bytes a file does not decide: the two leading slots and the first four bytes of each colour slot.
bool HasMeaning(size_t offset)
{
    if (offset < 8)
        return false;
    if (offset >= kFirstColour)
        return (offset - kFirstColour) % kColourSlotSize >= 4;
    return true;
}

}  // namespace

CCaliperSettings::CCaliperSettings()
{
    SetDefaults();
}

CCaliperSettings::~CCaliperSettings()
{
    if (IsBound())
        SaveDefault();
}

int CCaliperSettings::Int(size_t offset) const
{
    const uint32_t value = static_cast<uint32_t>(m_record[offset]) | (static_cast<uint32_t>(m_record[offset + 1]) << 8) |
                           (static_cast<uint32_t>(m_record[offset + 2]) << 16) |
                           (static_cast<uint32_t>(m_record[offset + 3]) << 24);
    return static_cast<int32_t>(value);
}

void CCaliperSettings::SetInt(size_t offset, int value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        m_record[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

void CCaliperSettings::SetDefaults()
{
    for (const IntDefault& field : kIntDefaults)
        SetInt(field.offset, field.value);
    for (int slot = 0; slot < caliper::kColourSlots; ++slot)
        SetColour(slot, kColourDefaults[slot]);
}

int CCaliperSettings::Detector(int kind) const
{
    if (kind < 0 || kind >= caliper::kEdgeKinds)
        return 0;
    return Int(32 + 4 * static_cast<size_t>(kind));
}

void CCaliperSettings::SetDetector(int kind, int on)
{
    if (kind >= 0 && kind < caliper::kEdgeKinds)
        SetInt(32 + 4 * static_cast<size_t>(kind), on);
}

int CCaliperSettings::MinimumWidth(int kind) const
{
    if (kind < caliper::kPeak || kind > caliper::kStepDown)
        return 0;
    return Int(468 + 4 * static_cast<size_t>(kind - caliper::kPeak));
}

void CCaliperSettings::SetMinimumWidth(int kind, int width)
{
    if (kind >= caliper::kPeak && kind <= caliper::kStepDown)
        SetInt(468 + 4 * static_cast<size_t>(kind - caliper::kPeak), width);
}

COLORREF CCaliperSettings::Colour(int slot) const
{
    if (slot < 0 || slot >= caliper::kColourSlots)
        return 0;
    const size_t at = kFirstColour + kColourSlotSize * static_cast<size_t>(slot) + 4;
    return RGB(m_record[at + 2], m_record[at + 1], m_record[at]);
}

void CCaliperSettings::SetColour(int slot, COLORREF colour)
{
    if (slot < 0 || slot >= caliper::kColourSlots)
        return;
    const size_t at = kFirstColour + kColourSlotSize * static_cast<size_t>(slot) + 4;
    m_record[at] = GetBValue(colour);
    m_record[at + 1] = GetGValue(colour);
    m_record[at + 2] = GetRValue(colour);
    m_record[at + 3] = 0;
}

void CCaliperSettings::ApplyRanges()
{
    const auto clamp = [this](size_t offset, int low, int high) { SetInt(offset, std::clamp(Int(offset), low, high)); };
    clamp(8, 0, 2);
    clamp(12, 0, 1);
    clamp(16, 0, kMaxDecimals);
    // A file may hold 0 passes (the smoothed profile is then the raw one) and half-width 0 (a window of one).
    clamp(20, 0, kMaxPasses);
    clamp(24, 0, kMaxHalfWidth);
    clamp(456, 0, 255);
    clamp(460, 0, 255);
    for (size_t offset = 464; offset <= 480; offset += 4)
        clamp(offset, 0, kMaxWidth);
}

bool CCaliperSettings::Assign(const uint8_t* data, size_t size)
{
    if (!data || size < kRecordSize)
        return false;
    for (size_t offset = 0; offset < kRecordSize; ++offset)
        if (HasMeaning(offset))
            m_record[offset] = data[offset];
    ApplyRanges();
    return true;
}

std::array<uint8_t, CCaliperSettings::kRecordSize> CCaliperSettings::Bytes() const
{
    std::array<uint8_t, kRecordSize> bytes = m_record;
    for (size_t offset = 0; offset < kRecordSize; ++offset)
        if (!HasMeaning(offset))
            bytes[offset] = 0;
    return bytes;
}

int CCaliperSettings::Load(const std::string& path)
{
    // A regular file only, of at most a settings file's size; the record is its first kRecordSize bytes.
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return 0;
    return Assign(reinterpret_cast<const uint8_t*>(bytes.data()), std::min(bytes.size(), kRecordSize)) ? 1 : 0;
}

int CCaliperSettings::Save(const std::string& path) const
{
    // Written beside the target and renamed over it, so that a failed write never leaves half a file.
    const std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return 0;
    const std::array<uint8_t, kRecordSize> bytes = Bytes();
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (!written || !closed) {
        std::filesystem::remove(temporary, error);
        return 0;
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return 0;
    }
    return 1;
}

void CCaliperSettings::Bind(const std::string& installFolder, const std::string& userFolder)
{
    m_installFolder = installFolder;
    m_userFolder = userFolder;
    if (!m_userFolder.empty() && Load(m_userFolder + kDefaultFileName))
        return;
    if (!Load(m_installFolder + kDefaultFileName))
        SetDefaults();
}

int CCaliperSettings::SaveDefault() const
{
    if (!IsBound())
        return 0;
    std::error_code error;
    if (Save(m_installFolder + kDefaultFileName)) {
        // A per-user copy from a time the install folder was read-only would win at the next start.
        if (!m_userFolder.empty())
            std::filesystem::remove(m_userFolder + kDefaultFileName, error);
        return 1;
    }
    if (m_userFolder.empty())
        return 0;
    std::filesystem::create_directories(m_userFolder, error);
    return Save(m_userFolder + kDefaultFileName);
}
