// The default drawing attributes written out by hand from their table, for byte fixtures of the stored records,
// and a guard that fixes the system language (the default font's character set follows it).
#pragma once

#include "ByteFixture.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

// Sets LC_ALL for the life of the guard.
class ScopedLanguage
{
public:
    explicit ScopedLanguage(const char* locale)
    {
        if (const char* old = std::getenv("LC_ALL"))
            m_old = old;
        setenv("LC_ALL", locale, 1);
    }
    ~ScopedLanguage()
    {
        if (m_old)
            setenv("LC_ALL", m_old->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

private:
    std::optional<std::string> m_old;
};

// The 60-byte default font under an English system: -13 high, weight 400, DEFAULT_CHARSET, "Tahoma".
inline std::vector<uint8_t> DefaultFontBytes()
{
    Bytes font(60);
    font.Put32(0, static_cast<uint32_t>(-13));
    font.Put32(16, 400);
    const uint8_t flags[8] = {0, 0, 0, 1, 3, 2, 1, 0x32};
    for (int i = 0; i < 8; ++i)
        font.data[20 + i] = flags[i];
    font.PutText(28, "Tahoma");
    return font.data;
}

// Index of each attribute int in the block of 19.
enum AttributeIndex
{
    kTextColor = 1,
    kReserved3 = 2,
    kFillPattern = 4,
    kFillColor = 5,
    kLineType = 7,
    kLineStyle = 8,
    kLineWeight = 9,
    kLineColor = 10,
    kShowLeftArrow = 11,
    kLeftArrowType = 13,
    kShowRightArrow = 14,
    kRightArrowType = 16,
};

inline std::array<int32_t, 19> DefaultAttributes()
{
    std::array<int32_t, 19> a{};
    a[kTextColor] = 0x00FF00;
    a[kReserved3] = -1;
    a[kFillPattern] = 1;
    a[kLineWeight] = 1;
    a[kLineColor] = 0xFF0000;
    a[kShowLeftArrow] = 1;
    a[kShowRightArrow] = 1;
    return a;
}

// A 148-byte attribute record of the drawing-defaults image at `offset`: pointer slots, font, 19 ints.
inline void PutPropertyImage(Bytes& image, size_t offset, const std::array<int32_t, 19>& attributes,
                             uint32_t pointerSlots = 0)
{
    for (size_t slot = 0; slot < 3; ++slot)
        image.Put32(offset + 4 * slot, pointerSlots);
    const std::vector<uint8_t> font = DefaultFontBytes();
    std::copy(font.begin(), font.end(), image.data.begin() + static_cast<long>(offset) + 12);
    for (size_t i = 0; i < 19; ++i)
        image.Put32(offset + 72 + 4 * i, static_cast<uint32_t>(attributes[i]));
}
