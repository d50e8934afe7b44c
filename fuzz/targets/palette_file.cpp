// A pseudo-colour palette file (".pcu") from outside. What is read must write back to a file that reads the same.
#include "FuzzTarget.h"

#include "chromex/PaletteFile.h"

#include <cstdlib>

VISTREL_FUZZ_TARGET(palette_file)
{
    chromex::PseudoColorPalette palette;
    if (!chromex::ParsePalette(reinterpret_cast<const char*>(data), size, palette))
        return 0;
    const std::string written = chromex::WritePalette(palette);
    chromex::PseudoColorPalette again;
    if (!chromex::ParsePalette(written.data(), written.size(), again) || again.entries != palette.entries)
        std::abort();
    return 0;
}
