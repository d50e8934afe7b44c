// The pseudo colour's tables: the palettes found in a folder and the two built-in ramps, the current table, random
// tables and the one previous table that "Prev" brings back.
#pragma once

#include "chromex/ChromexOps.h"
#include "chromex/PaletteFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace chromex {

// The random numbers of the random tables: 0..32767, as the formulas of the random tables expect (the C library's
// rand() here reaches 2^31 - 1 and would carry every value out of 0..255). Seeded once, so two tables made within
// the same second differ.
class Random15
{
public:
    explicit Random15(uint32_t seed) : m_state(seed) {}
    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state;
};

constexpr int kRandomMax = 32767;

// The step of a random table for one draw: S[trunc(r * 10 / 32767)] with the index kept inside the table (the
// largest draw, 32767, would give index 10, one past the ten steps: it takes the last).
double RandomStep(int draw);

class CPseudoColorTable
{
public:
    // The generator's seed; the dialog seeds from the clock once.
    explicit CPseudoColorTable(uint32_t seed);

    // Drops every palette, name and the previous table; reads every "*.pcu" of the folder in the order of the file
    // names (refused files are left out and their names reported in `refused`), then adds "Red to Blue" and
    // "Blue to Red"; the current table becomes the identity.
    void LoadPalettes(const std::string& folder, std::vector<std::string>* refused = nullptr);
    const std::vector<std::string>& Names() const { return m_names; }
    // The first palette whose name equals `name` regardless of case becomes the current table; false (table kept)
    // when none does.
    bool SelectByName(const std::string& name);
    void MakeIdentity();
    // Keeps the current table as the previous one, then makes a random table.
    void MakeRandom();
    // The previous table becomes the current one; false when there is none yet.
    bool RestorePrevious();
    bool HasPrevious() const { return m_previous != nullptr; }

    const ColourTable& Current() const { return m_current; }
    // The current table applied to the 8-bit source into the 24-bit destination of its size.
    bool Apply(const CQvImage& source, CQvImage& destination) const { return ApplyTable(m_current, source, destination); }

private:
    ColourTable m_current{};
    std::vector<PseudoColorPalette> m_palettes;
    std::vector<std::string> m_names;
    std::unique_ptr<PseudoColorPalette> m_previous;
    Random15 m_random;
};

}  // namespace chromex
