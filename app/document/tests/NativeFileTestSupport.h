// Helpers of the document-file tests: an overlay with lines drawn as a user draws them, byte buffers written
// field by field in the file's layout, and whole files in memory.
#pragma once

#include "gdi/CDC.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/GObjectCanvas.h"
#include "types/WinUser.h"

#include <QImage>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace nativefile_test {

using Bytes = std::vector<unsigned char>;

// A window for an overlay that is never shown.
class SilentCanvas : public IGObjectCanvas
{
public:
    SilentCanvas(int width, int height) : surface(width, height, QImage::Format_RGB32) { surface.fill(Qt::white); }
    void InvalidateRect(const CRect*) override {}
    void CaptureMouse() override {}
    void ReleaseMouse() override {}
    void ReleaseCursorClip() override {}
    void SetCursor(UINT) override {}
    void SendNotify(UINT) override {}
    std::unique_ptr<CDC> GetSurfaceDC() override { return std::make_unique<CDC>(surface); }
    QImage surface;
};

// Draws a line from a to b into the overlay with two clicks; the overlay must have the canvas as its window.
inline void ClickLine(CQvGObjectContainer& overlay, IGObjectCanvas& canvas, CPoint a, CPoint b)
{
    overlay.AddObject(SHAPE_LINE);
    std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();
    for (CPoint p : {a, b}) {
        overlay.MouseMove(dc.get(), 0, p);
        overlay.LButtonDown(MK_LBUTTON, p);
        overlay.LButtonUp(0, p);
    }
}

// Appends little-endian fields, as a hand-made fixture of a layout.
struct ByteBuilder
{
    Bytes bytes;
    ByteBuilder& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    ByteBuilder& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    ByteBuilder& F32(float v)
    {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return U32(u);
    }
    ByteBuilder& F64(double v)
    {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            bytes.push_back(static_cast<unsigned char>(u >> (8 * i)));
        return *this;
    }
    ByteBuilder& Zeros(size_t n)
    {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
    ByteBuilder& Text(const char* text, size_t length)
    {
        const size_t n = std::strlen(text);
        for (size_t i = 0; i < length; ++i)
            bytes.push_back(i < n ? static_cast<unsigned char>(text[i]) : 0);
        return *this;
    }
};

// A stream holding the bytes, positioned at the start; closed by the caller (tmpfile: a real file, as the readers
// see on disk).
inline FILE* StreamOf(const Bytes& bytes)
{
    FILE* file = std::tmpfile();
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

// Everything written to a stream by `write`.
template <typename Write>
Bytes Captured(Write write)
{
    FILE* file = std::tmpfile();
    write(file);
    std::fflush(file);
    const long size = std::ftell(file);
    Bytes bytes(static_cast<size_t>(size));
    std::rewind(file);
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        bytes.clear();
    std::fclose(file);
    return bytes;
}

}  // namespace nativefile_test
