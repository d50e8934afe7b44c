// The first byte of a codec_frames input: which image of the file to read and at which size, so that the fuzzer
// reaches the readers' later pages and their scaled decoding as well as the first image at its own size.
#pragma once

#include <cstdint>

struct CodecFrameSelector
{
    int frame = 0;  // 0..3
    int size = 0;   // an index into Sizes(): 0 the image's own size

    struct Size
    {
        int width;
        int height;
    };
    static constexpr Size kSizes[] = {{-1, -1}, {5, 3}, {1, 1}, {40, 30}};

    static CodecFrameSelector From(uint8_t byte) { return {byte & 3, (byte >> 2) & 3}; }
    uint8_t Byte() const { return static_cast<uint8_t>((frame & 3) | (size & 3) << 2); }
    Size Wanted() const { return kSizes[size & 3]; }
};
