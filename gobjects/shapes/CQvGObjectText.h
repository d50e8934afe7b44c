// A box of free text laid over the image (shape 38): the text is the property's comment, drawn top-left aligned
// in the property's font and text colour inside the box outlined and filled from the property. Finishing a new box
// asks for the text in the object property sheet; a box left without text removes itself. Base of the scale marker.
// UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectRect.h"

#include <memory>

class VISTREL_EXPORT CQvGObjectText : public CQvGObjectRect
{
public:
    CQvGObjectText();

    void RemoveAll() override;
    // Rubber band (flag 1): a dotted grey frame only. Otherwise the box in the selected pen and brush, and the
    // text written into it.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The whole box widened by the zoom tolerance: a click anywhere on the text picks it.
    int GetHitTestRgn(CRgn& rgn) override;
    // The rectangle's finish, then the sheet for the text. A box that got none (or a scale marker whose sheet was
    // cancelled) is selected alone and its own deletion is posted to the canvas window, so that the container
    // removes exactly this object once this call has returned (the container still uses the object after Finish).
    // Without a canvas window nothing is posted; an object gone or a window closed before then drops the deletion.
    void Finish() override;
    // Runs the sheet; 1 when accepted with a text, which then sizes the box: a box of a single click becomes the
    // text's size centred on the click, a drawn box keeps its corner 1 and takes the text's size.
    int SpecificProperty(QWidget* parent) override;
    int DoesGetSpecificProperty() override { return 1; }
    // SetCalType stays the rectangle's: an annotation reports no value, but its record carries the rectangle's mask
    // (0xC0F), which a document read and saved again must keep.

    // The box of the text in the property's unscaled font, from (0, 0); for a font turned a quarter, the box of
    // the turned text (drawn from the box's lower-left corner upward, or from its upper-right corner downward).
    CRect RecalTextBound();

    CQvGObjectText& operator=(const CQvGObjectText& other)
    {
        CQvGObject::operator=(other);
        return *this;
    }

protected:
    // Draws the text into the mapped box (the font and colour Draw selected).
    void DrawTextInBox(CDC* dc, const CRect& box);
    // Asks the container to delete this object after the current input message (see Finish).
    void PostSelfDelete();
};
