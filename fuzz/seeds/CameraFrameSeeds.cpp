// Seeds of the camera frame path: frames of the sizes the caps announce, with the host's DIB of the same size or
// of the size before a change, bottom-up and mirrored as the camera drivers copy them.
#include "FuzzSeeds.h"

namespace {

void Put16(std::vector<uint8_t>& bytes, int value)
{
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

// Depth indexes into the target's table: 2 is 8 bits, 5 is 32 bits.
std::vector<uint8_t> Seed(int capsWidth, int capsHeight, int hostWidth, int hostHeight, uint8_t slotDepth,
                          uint8_t hostDepth, uint8_t flags, size_t frameBytes)
{
    std::vector<uint8_t> seed;
    Put16(seed, capsWidth);
    Put16(seed, capsHeight);
    Put16(seed, hostWidth);
    Put16(seed, hostHeight);
    seed.insert(seed.end(), {slotDepth, hostDepth, flags});
    for (size_t i = 0; i < frameBytes; ++i)
        seed.push_back(static_cast<uint8_t>(i * 7 + i / 13));
    return seed;
}

}  // namespace

VISTREL_FUZZ_SEEDS(camera_frame)
{
    return {
        Seed(32, 16, 32, 16, 5, 5, 1, 32 * 16 * 4),      // the camera's own: 32 bits, rows bottom-up
        Seed(32, 16, 32, -16, 5, 5, 3, 32 * 16 * 4),     // top-down host DIB, mirrored
        Seed(40, 30, 32, 16, 5, 5, 1, 40 * 30 * 4),      // the caps changed before the host noticed
        Seed(16, 12, 24, 20, 5, 5, 5, 64),               // a short frame repeated to the slot's size
        Seed(13, 7, 13, 7, 2, 2, 0, 16 * 7),             // 8 bits, rows padded to 4 bytes
        Seed(13, 7, 13, 7, 2, 5, 0, 16 * 7),             // depths that disagree
        Seed(9, 5, 9, 5, 5, 5, 0, 9 * 5 * 4 - 1),        // one byte short
    };
}
