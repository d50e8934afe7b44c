#include "qvcodec/ImageFileBytes.h"

#include "qvcodec/private/CompleteImageData.h"

#include "inifile/FileBytes.h"

#include <cstdio>
#include <sys/stat.h>

bool ReadImageFileBytes(const std::string& path, QByteArray& bytes)
{
    bytes.clear();
    FILE* file = OpenRegularFile(path, kMaxImageFileBytes);
    if (!file)
        return false;
    struct stat st {};
    if (::fstat(::fileno(file), &st) == 0)
        bytes.reserve(static_cast<qsizetype>(st.st_size));
    char chunk[65536];
    bool ok = true;
    // The limit holds while reading too: the file may grow after it was opened.
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.append(chunk, static_cast<qsizetype>(got));
        if (static_cast<size_t>(bytes.size()) > kMaxImageFileBytes) {
            ok = false;
            break;
        }
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}

bool IsDecodableImageFile(const QByteArray& file, const std::string& format, int frame, ImageFileCheck check)
{
    if (format == "bmp")
        return IsCompleteBmp(file);
    if (format == "png")
        return IsCompletePng(file);
    if (format == "tiff")
        return IsCompleteTiff(file, frame);
    // The JPEG decoder reads what is there and stops at the end; its memory follows the image size the header states.
    if (format == "jpeg")
        return IsJpegWithinAllocationLimit(file) && (check == ImageFileCheck::Structure || IsCompleteJpeg(file));
    return false;
}
