// A font from a LOGFONTA at 96 DPI: a negative height is the character (em) height in pixels, a positive one the
// cell height (ascent + descent), 0 a default size. Weight, italic, underline, strike-out, escapement and the face
// name are kept; the face resolves to the installed face with the same metrics.
#pragma once

#include "gdi/CGdiObject.h"
#include "types/WinRecords.h"

class VISTREL_EXPORT CFont : public CGdiObject
{
public:
    CFont() = default;

    Kind GetKind() const override { return Kind::Font; }

    BOOL CreateFontIndirect(const LOGFONTA* font);
    // pointSize in tenths of a point (90 = 9 pt = 12 pixels); every other field default.
    BOOL CreatePointFont(int pointSize, const char* faceName);
    // Copies the description; returns its size in bytes, 0 for an empty font.
    int GetLogFont(LOGFONTA* font) const;

    const LOGFONTA& Description() const { return m_font; }

private:
    void Clear() override { m_font = LOGFONTA{}; }

    LOGFONTA m_font{};
};
