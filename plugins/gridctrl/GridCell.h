// One cell of the grid: text, data, image, state, format, colours and margin. Whatever a cell leaves unset
// (format and margin kNotSet, colours CLR_DEFAULT) comes from the grid's default cell for its position.
#pragma once

#include "gridctrl/GridTypes.h"

#include <string>

namespace gridctrl {

class CGridModel;
class CGridDefaultCell;

class CGridCell
{
public:
    CGridCell() { Reset(); }
    virtual ~CGridCell() = default;

    virtual void SetText(std::string text) { m_text = std::move(text); }
    void SetImage(int image) { m_image = image; }
    virtual void SetData(intptr_t data) { m_data = data; }
    virtual void SetState(uint32_t state) { m_state = state; }
    void SetFormat(uint32_t format) { m_format = format; }
    void SetTextColor(COLORREF colour) { m_textColour = colour; }
    void SetBackColor(COLORREF colour) { m_backColour = colour; }
    void SetMargin(uint32_t margin) { m_margin = margin; }
    void SetGrid(const CGridModel* grid) { m_grid = grid; }

    const std::string& GetText() const { return m_text; }
    int GetImage() const { return m_image; }
    intptr_t GetData() const { return m_data; }
    virtual uint32_t GetState() const { return m_state; }
    // Own value, or the default cell's when not set.
    uint32_t GetFormat() const;
    uint32_t GetMargin() const;
    // Own colours; CLR_DEFAULT when not set.
    COLORREF GetTextColor() const { return m_textColour; }
    COLORREF GetBackColor() const { return m_backColour; }
    // Own colour, else the default cell's.
    COLORREF EffectiveTextColor() const;
    COLORREF EffectiveBackColor() const;
    const CGridModel* GetGrid() const { return m_grid; }
    // The grid's default cell for this cell's fixed state; none without a grid.
    const CGridDefaultCell* GetDefaultCell() const;

    bool IsEditing() const { return m_editing; }
    void SetEditing(bool editing) { m_editing = editing; }
    bool IsFocused() const { return GetState() & GVIS_FOCUSED; }
    bool IsFixed() const { return GetState() & GVIS_FIXED; }
    bool IsFixedCol() const { return GetState() & GVIS_FIXEDCOL; }
    bool IsFixedRow() const { return GetState() & GVIS_FIXEDROW; }
    bool IsSelected() const { return GetState() & GVIS_SELECTED; }
    bool IsReadOnly() const { return GetState() & GVIS_READONLY; }
    bool IsModified() const { return GetState() & GVIS_MODIFIED; }
    bool IsDropHighlighted() const { return GetState() & GVIS_DROPHILITED; }

    // Copies every property of `other` (its unset values stay unset).
    void Assign(const CGridCell& other);
    // Everything but the data value back to "not set".
    void Reset();

protected:
    std::string m_text;
    // A new cell holds 0 rather than whatever the memory held.
    intptr_t m_data = 0;
    int m_image = -1;
    uint32_t m_format = kNotSet;
    COLORREF m_textColour = CLR_DEFAULT;
    COLORREF m_backColour = CLR_DEFAULT;
    uint32_t m_margin = kNotSet;
    uint32_t m_state = 0;
    bool m_editing = false;
    const CGridModel* m_grid = nullptr;
};

// The cell a grid keeps for each kind of position (normal, fixed column, fixed row, fixed corner). It is always
// read-only and keeps no state or data of its own.
class CGridDefaultCell : public CGridCell
{
public:
    CGridDefaultCell();
    void SetData(intptr_t) override {}
    void SetState(uint32_t) override {}
    uint32_t GetState() const override { return m_state | GVIS_READONLY; }

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    void SetWidth(int width) { m_width = width; }
    void SetHeight(int height) { m_height = height; }
    // Margin, width and height measured on a font: a space, " XXXXXXXXXXXX ", and 3/2 of its height.
    void MeasureFont(int spaceWidth, int sampleWidth, int sampleHeight);
    int GetExtra() const { return m_extra; }
    void SetExtra(int value) { m_extra = value; }

private:
    int m_width = 30;
    int m_height = 10;
    int m_extra = 0;
};

}  // namespace gridctrl
