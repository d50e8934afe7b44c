// Seeds of the grid text reader: grids as the grid control saves them, and one with Windows line ends.
#include "FuzzSeeds.h"

#include "gridctrl/GridModel.h"

VISTREL_FUZZ_SEEDS(grid_text)
{
    FuzzSeedList seeds;
    for (const auto& [rows, columns] : {std::pair{1, 1}, std::pair{4, 4}, std::pair{12, 3}}) {
        gridctrl::CGridModel grid(rows, columns, 1, 1);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                grid.SetItemText(r, c, std::to_string(r * columns + c) + (c % 2 ? ".5" : ""));
        const std::string text = grid.ToText();
        seeds.emplace_back(text.begin(), text.end());
    }
    const std::string windows = "h1,h2,\r\n1,2\r\n3,4,5\r\n";
    seeds.emplace_back(windows.begin(), windows.end());
    return seeds;
}
