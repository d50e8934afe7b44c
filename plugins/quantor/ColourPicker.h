// The legend's colour button: a face in its chosen colour with the button's text over it and a drop arrow, and the
// grid of 40 named colours it drops down (the popup is the object property pages' one). Unlike the property pages'
// button it tells its owner a "changed" only for colours passed over, never again after an accepted choice, and
// it may pick its text colour instead of its face. UI thread only.
#pragma once

#include "gobjects/ui/ColorPopup.h"

namespace quantor {

class CColourPicker : public CColorButton
{
public:
    // Which of the two colours a choice sets.
    enum SelectionMode { kTextColour = 1, kBackgroundColour = 2 };

    explicit CColourPicker(QWidget* parent = nullptr);

    void SetSelectionMode(SelectionMode mode);
    SelectionMode GetSelectionMode() const { return m_mode; }
    // The colour the selection mode sets (what the popup starts from and changes).
    COLORREF GetColour() const { return GetColor(); }
    void SetColour(COLORREF colour) { SetColor(colour); }
    COLORREF GetBkColour() const { return m_mode == kBackgroundColour ? GetColor() : m_other; }
    COLORREF GetTextColour() const { return m_mode == kTextColour ? GetColor() : m_other; }
    void SetBkColour(COLORREF colour);
    void SetTextColour(COLORREF colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SelectionMode m_mode = kBackgroundColour;
    COLORREF m_other;  // the colour the mode does not select
};

}  // namespace quantor
