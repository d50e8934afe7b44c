#include "gdi/CFont.h"

#include "types/Rounding.h"

#include <cstdlib>

#include <cstring>

BOOL CFont::CreateFontIndirect(const LOGFONTA* font)
{
    if (font == nullptr)
        return 0;
    m_font = *font;
    m_font.lfFaceName[LF_FACESIZE - 1] = '\0';
    return MarkCreated(true);
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName)
{
    LOGFONTA font{};
    // Tenths of a point at 96 DPI, rounded to the nearest pixel: 8 pt is 11 px, 9 pt 12 px, 11 pt 15 px.
    font.lfHeight = -std::abs(MulDiv(96, pointSize, 720));
    if (faceName != nullptr)
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&font);
}

int CFont::GetLogFont(LOGFONTA* font) const
{
    if (font == nullptr || GetSafeHandle() == nullptr)
        return 0;
    *font = m_font;
    return static_cast<int>(sizeof(LOGFONTA));
}
