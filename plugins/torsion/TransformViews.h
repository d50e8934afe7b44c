// Torsion's five entries, one view class each (menu indexes 0 to 4). Each Run works on the attached document's
// image: 0 when nothing was done (no image, an image of fewer than 8 bits a pixel, a dialog cancelled, a
// command that changes nothing), otherwise one undo point of the whole image, the new image in place, the canvas
// adopted and repainted, and 1.
#pragma once

#include "qvplglib/CPlgView.h"

class CResizeView : public CPlgView
{
public:
    int Run() override;
};

class CRotateView : public CPlgView
{
public:
    int Run() override;
};

// The flips share their work; the axis tells them apart.
class CFlipView : public CPlgView
{
public:
    int Run() override;

protected:
    explicit CFlipView(int axis) : m_axis(axis) {}

private:
    int m_axis;
};

class CFlipVerticalView : public CFlipView
{
public:
    CFlipVerticalView() : CFlipView(0) {}
};

class CFlipHorizontalView : public CFlipView
{
public:
    CFlipHorizontalView() : CFlipView(1) {}
};

class CFlipBothView : public CFlipView
{
public:
    CFlipBothView() : CFlipView(-1) {}
};
