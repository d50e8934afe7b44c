// One cell of the grid: text, data, image, state, format, colours, font and margin. Whatever a cell leaves unset
// (format and margin kNotSet, colours CLR_DEFAULT, no font) comes from the grid's default cell for its position.
// A cell draws and measures itself and hears of clicks on it; a derived cell class (made by the grid's cell factory,
// see CGridModel::SetDefaultCellType) changes how.
#pragma once

#include "gridctrl/GridTypes.h"

#include <memory>
#include <string>

class CDC;
class QPainter;
class QRect;

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
    // Its own copy of `font`; none makes the cell follow its default cell's font again.
    virtual void SetFont(const LOGFONTA* font);

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
    // Own font, else the default cell's; none when neither has one (the grid's font applies).
    virtual const LOGFONTA* GetFont() const;
    bool IsDefaultFont() const { return !m_font; }
    virtual std::string GetTipText() const { return m_text; }
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

    // Paints the cell into `rect` (its last pixel row and column are the grid lines'): background, focus frame,
    // heading edges, sort mark and text. False without a grid or with an empty rectangle.
    virtual bool Draw(CDC& dc, int row, int column, const RECT& rect, bool eraseBackground) const;
    // The size the cell needs for `text` in its font: text + 4 x margin wide, text + 2 x margin high (turned for
    // vertical text).
    virtual SIZE GetTextExtent(const std::string& text, CDC& dc) const;
    // Its text's extent, widened by its image and at least as high.
    SIZE GetCellExtent(CDC& dc) const;
    // Prints the cell into `rect` of a printout. With `shaded` the cell's colours are used, else black text on
    // the paper; on a `monochrome` printer a text without a background is turned to grey.
    virtual bool PrintCell(QPainter& painter, const QRect& rect, bool shaded, bool monochrome) const;
    // The colours PrintCell uses; `background` false when the paper shows through.
    void PrintColours(bool shaded, bool monochrome, COLORREF& text, COLORREF& back, bool& background) const;

    // Mouse events on the cell, with the point relative to its top left. Nothing by default.
    virtual void OnClickDown(POINT) {}
    virtual void OnClick(POINT) {}
    virtual void OnRClick(POINT) {}
    virtual void OnDblClick(POINT) {}
    virtual void OnMouseOver() {}

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
    std::unique_ptr<LOGFONTA> m_font;
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
    // Its own font only: a default cell is where the fall-back ends.
    const LOGFONTA* GetFont() const override { return m_font.get(); }
    // Takes the font (none is ignored) and measures margin, width and height on it.
    void SetFont(const LOGFONTA* font) override;

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
