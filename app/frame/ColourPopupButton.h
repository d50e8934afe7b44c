// A toolbar colour control: the button applies its current colour, its arrow drops down a grid of colours with
// "Automatic" (0xFF000000) on top and a "More colours" entry that opens the colour dialog. UI thread.
#pragma once

#include "types/ColorRef.h"

#include <QToolButton>

#include <functional>

class ColourPopupButton : public QToolButton
{
public:
    // `glyph` is drawn above the colour bar ("A" for text, a pen stroke for lines when empty).
    ColourPopupButton(const QString& glyph, const QString& automaticText, const QString& moreText,
                      QWidget* parent = nullptr);

    COLORREF Colour() const { return m_colour; }
    void SetColour(COLORREF colour);

    // The button part was pressed: apply the current colour.
    std::function<void()> onApply;
    // A colour was picked from the grid or the dialog; the button already shows it.
    std::function<void(COLORREF)> onPicked;

    // The 40 colours of the grid, row by row.
    static const COLORREF kPalette[40];

    // Picks as a click on the grid does (tests, keyboard).
    void Pick(COLORREF colour);

private:
    void RefreshIcon();

    QString m_glyph;
    COLORREF m_colour = CLR_AUTOMATIC;
};
