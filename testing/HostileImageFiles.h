// Image files made to hurt a reader, for the tests of every reader that hands outside files to a decoder.
#pragma once

#include <QByteArray>

#include <cstdint>

namespace hostile_files {

inline uint32_t Crc32(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        crc ^= static_cast<unsigned char>(ch);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline QByteArray Be32(uint32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (24 - 8 * i));
    return bytes;
}

// 82 bytes: a valid header of a 1 x 1 grey image, then a text chunk announcing nearly 2 GB. A decoder that trusts
// the length allocates it and waits for it to arrive (tens of seconds, gigabytes of memory).
inline QByteArray PngAnnouncingMoreThanItHolds()
{
    const QByteArray header = QByteArray("IHDR") + Be32(1) + Be32(1) + QByteArray("\x08\x00\x00\x00\x00", 5);
    QByteArray file = QByteArray("\x89PNG\r\n\x1a\n", 8) + Be32(13) + header + Be32(Crc32(header));
    file += Be32(0x7FFFFFF0) + QByteArray("tEXtComment") + QByteArray(1, '\0');
    file += QByteArray(82 - file.size(), 'x');
    return file;
}

}  // namespace hostile_files
