// Seeds of the palette reader: palettes as the plug-in writes them, with "\r\n" and with '\n' line ends.
#include "FuzzSeeds.h"

#include "chromex/PaletteFile.h"

VISTREL_FUZZ_SEEDS(palette_file)
{
    chromex::PseudoColorPalette palette;
    palette.name = "Seed";
    for (int i = 0; i < 256; ++i) {
        palette.entries[3 * static_cast<size_t>(i)] = static_cast<uint8_t>(i);
        palette.entries[3 * static_cast<size_t>(i) + 1] = static_cast<uint8_t>(255 - i);
        palette.entries[3 * static_cast<size_t>(i) + 2] = static_cast<uint8_t>(i * 7);
    }
    const std::string crlf = chromex::WritePalette(palette);
    std::string lf;
    for (char c : crlf)
        if (c != '\r')
            lf += c;
    return {std::vector<uint8_t>(crlf.begin(), crlf.end()), std::vector<uint8_t>(lf.begin(), lf.end())};
}
