// A comma-separated grid text file from outside, as the grid control loads it. Whatever it holds, the grid that
// comes out is rectangular and writes one line per row.
#include "FuzzTarget.h"

#include "gridctrl/GridModel.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

VISTREL_FUZZ_TARGET(grid_text)
{
    // Cells grow with columns times lines; larger inputs only repeat what these cover.
    if (size > 1024)
        return 0;
    gridctrl::CGridModel grid;
    if (!grid.FromText(std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    for (int r = 0; r < grid.GetRowCount(); ++r)
        for (int c = 0; c < grid.GetColumnCount(); ++c)
            if (!grid.GetCell(r, c))
                std::abort();
    const std::string text = grid.ToText();
    if (std::count(text.begin(), text.end(), '\n') != grid.GetRowCount())
        std::abort();
    return 0;
}
