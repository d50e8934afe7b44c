// The grid control's texts, from its own string table.
#pragma once

#include <string>

namespace gridctrl {

enum GridStringId
{
    IDS_GRID_OUT_OF_MEMORY = 1,
    IDS_GRID_UNABLE_TO_SAVE,
    IDS_GRID_UNABLE_TO_LOAD,
    IDS_GRID_FILE_NOT_OPENED,
    IDS_GRID_PAGE_OF,
};

std::string GridString(int id);

}  // namespace gridctrl
