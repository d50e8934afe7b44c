// The Image page of an image stamp: its opacity in percent (1 to 100). Each change shows at once on the canvas;
// Cancel puts the opacity the stamp had when the page opened back and repaints. UI thread only.
#pragma once

#include "gobjects/ui/CPropertyPage.h"

class CQvGObjectImage;
class QSpinBox;

class VISTREL_EXPORT CObjectPropertyImage : public CPropertyPage
{
public:
    // Control: spin box "opacity". A null stamp leaves the page inert.
    explicit CObjectPropertyImage(CQvGObjectImage* image = nullptr, QWidget* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnCancel() override;

private:
    void Repaint();

    CQvGObjectImage* m_image;
    QSpinBox* m_opacity;
    int m_savedOpacity = 100;
    bool m_initialised = false;
};
