// A packed DIB written as a bitmap file for a companion program: whatever its header claims, the file's sizes
// describe exactly the bytes written, and nothing is read beyond the block.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "commands/BitmapFile.h"

#include <cstring>

VISTREL_FUZZ_TARGET(bitmap_file)
{
    const std::vector<uint8_t> file = BitmapFileBytes(data, size);
    if (file.empty())
        return 0;
    uint32_t fileSize = 0, bitsOffset = 0;
    std::memcpy(&fileSize, file.data() + 2, 4);
    std::memcpy(&bitsOffset, file.data() + 10, 4);
    FuzzCheck(file.size() >= 54 && file[0] == 'B' && file[1] == 'M', "a bitmap file starts with its two headers");
    FuzzCheck(fileSize == file.size(), "the file size is the bytes written");
    FuzzCheck(bitsOffset >= 54 && bitsOffset <= file.size(), "the pixels start inside the file");
    FuzzCheck(file.size() - 14 <= size, "nothing beyond the DIB is written");
    return 0;
}
