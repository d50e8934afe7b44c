#include "gridctrl/GridCell.h"

#include "gridctrl/GridModel.h"

namespace gridctrl {

const CGridDefaultCell* CGridCell::GetDefaultCell() const
{
    return m_grid ? &m_grid->GetDefaultCell(IsFixedRow(), IsFixedCol()) : nullptr;
}

uint32_t CGridCell::GetFormat() const
{
    if (m_format != kNotSet)
        return m_format;
    const CGridDefaultCell* fallback = GetDefaultCell();
    return fallback && fallback != this ? fallback->GetFormat() : m_format;
}

uint32_t CGridCell::GetMargin() const
{
    if (m_margin != kNotSet)
        return m_margin;
    const CGridDefaultCell* fallback = GetDefaultCell();
    return fallback && fallback != this ? fallback->GetMargin() : m_margin;
}

COLORREF CGridCell::EffectiveTextColor() const
{
    const CGridDefaultCell* fallback = GetDefaultCell();
    return m_textColour != CLR_DEFAULT || !fallback ? m_textColour : fallback->GetTextColor();
}

COLORREF CGridCell::EffectiveBackColor() const
{
    const CGridDefaultCell* fallback = GetDefaultCell();
    return m_backColour != CLR_DEFAULT || !fallback ? m_backColour : fallback->GetBackColor();
}

void CGridCell::SetFont(const LOGFONTA* font)
{
    if (!font) {
        m_font.reset();
        return;
    }
    if (!m_font)
        m_font = std::make_unique<LOGFONTA>();
    *m_font = *font;
}

const LOGFONTA* CGridCell::GetFont() const
{
    if (m_font)
        return m_font.get();
    const CGridDefaultCell* fallback = GetDefaultCell();
    return fallback && fallback != this ? fallback->GetFont() : nullptr;
}

void CGridCell::Assign(const CGridCell& other)
{
    SetText(other.GetText());
    SetImage(other.GetImage());
    SetData(other.GetData());
    SetState(other.GetState());
    SetFormat(other.m_format);
    SetTextColor(other.m_textColour);
    SetBackColor(other.m_backColour);
    SetFont(other.m_font.get());
    SetMargin(other.m_margin);
}

void CGridCell::Reset()
{
    m_state = 0;
    m_text.clear();
    m_image = -1;
    m_format = kNotSet;
    m_margin = kNotSet;
    m_editing = false;
    m_grid = nullptr;
    m_textColour = CLR_DEFAULT;
    m_backColour = CLR_DEFAULT;
    m_font.reset();
}

CGridDefaultCell::CGridDefaultCell()
{
    m_format = 0x8824;  // vertically centred, single line, no prefix, end ellipsis
    MeasureFont(-1, -1, -1);
}

void CGridDefaultCell::MeasureFont(int spaceWidth, int sampleWidth, int sampleHeight)
{
    if (spaceWidth < 0 || sampleWidth <= 0 || sampleHeight <= 0) {
        // No font could be measured.
        m_margin = 3;
        m_width = 40;
        m_height = 16;
        return;
    }
    m_margin = static_cast<uint32_t>(spaceWidth);
    m_width = sampleWidth;
    m_height = 3 * sampleHeight / 2;
}

}  // namespace gridctrl
