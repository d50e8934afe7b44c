#include "view/OverlayFingerprint.h"

#include "gobjects/CQvGObjectContainer.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// The stream starts with its version, zoom ratio, scroll origin and pixel-centring flag, and ends with nine ints:
// the canvas size and seven display settings. The objects and the default set lie between.
constexpr size_t kViewHead = 5 * 4;
constexpr size_t kEndInts = 9 * 4;
constexpr size_t kCanvasBytes = 2 * 4;

uint64_t Fnv1a(std::string_view bytes)
{
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::optional<uint64_t> OverlayFingerprint(CQvGObjectContainer& overlay)
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    if (!stream)
        return std::nullopt;
    const bool written = overlay.Write(stream) == 1;
    std::fclose(stream);
    std::optional<uint64_t> result;
    if (written && size >= kViewHead + kEndInts) {
        // The display settings after the canvas size are the document's preferences: they count.
        const std::string_view all(buffer, size);
        const size_t canvasAt = size - kEndInts;
        result = Fnv1a(all.substr(kViewHead, canvasAt - kViewHead)) ^
                 (Fnv1a(all.substr(canvasAt + kCanvasBytes)) * 31);
    }
    std::free(buffer);
    return result;
}
