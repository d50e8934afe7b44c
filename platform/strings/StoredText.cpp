#include "strings/StoredText.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

bool IsValidUtf8(const std::string& bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        int follow = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            follow = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            follow = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            follow = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(follow) >= n)
            return false;
        for (int k = 1; k <= follow; ++k) {
            const unsigned char f = static_cast<unsigned char>(bytes[i + k]);
            if ((f & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (f & 0x3F);
        }
        static const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[follow] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<size_t>(follow) + 1;
    }
    return true;
}

std::string StoredTextToUtf8(const std::string& bytes)
{
    if (IsValidUtf8(bytes))
        return bytes;
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return bytes;
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 4);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";  // undecodable byte
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}
