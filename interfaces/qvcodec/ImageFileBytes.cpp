#include "qvcodec/ImageFileBytes.h"

#include "qvcodec/private/CompleteImageData.h"

#include "inifile/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

ImageFile::~ImageFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool ImageFile::Open(const std::string& path)
{
    FILE* stream = OpenRegularFile(path, kMaxImageFileBytes);
    if (!stream)
        return false;
    // The descriptor alone is kept: its reads by offset need no stream buffer.
    const int descriptor = ::dup(::fileno(stream));
    std::fclose(stream);
    struct stat st {};
    if (descriptor < 0 || ::fstat(descriptor, &st) != 0 || st.st_size < 0 ||
        static_cast<uint64_t>(st.st_size) > kMaxImageFileBytes) {
        if (descriptor >= 0)
            ::close(descriptor);
        return false;
    }
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = descriptor;
    m_size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool ImageFile::ReadAt(uint64_t at, void* out, size_t size) const
{
    if (m_descriptor < 0 || at > m_size || size > m_size - at)
        return false;
    auto* target = static_cast<char*>(out);
    while (size > 0) {
        const ssize_t got = ::pread(m_descriptor, target, size, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        target += got;
        at += static_cast<uint64_t>(got);
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool ImageFile::ReadAll(QByteArray& bytes) const
{
    bytes.clear();
    if (m_descriptor < 0)
        return false;
    bytes.reserve(static_cast<qsizetype>(m_size));
    char chunk[65536];
    uint64_t at = 0;
    bool ok = true;
    // The limit holds while reading too: the file may grow after it was opened.
    for (;;) {
        const ssize_t got = ::pread(m_descriptor, chunk, sizeof chunk, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        bytes.append(chunk, static_cast<qsizetype>(got));
        at += static_cast<uint64_t>(got);
        if (at > kMaxImageFileBytes) {
            ok = false;
            break;
        }
    }
    if (!ok)
        bytes.clear();
    return ok;
}

bool ReadImageFileBytes(const std::string& path, QByteArray& bytes)
{
    bytes.clear();
    ImageFile file;
    return file.Open(path) && file.ReadAll(bytes);
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
