// A window for the overlay targets: a small white surface that rubber bands and paints go into; every other
// request is accepted and forgotten.
#pragma once

#include "GObjectCanvas.h"

#include "gdi/CDC.h"

#include <QImage>

#include <memory>

class FuzzCanvas : public IGObjectCanvas
{
public:
    FuzzCanvas(int width, int height) : surface(width, height, QImage::Format_RGB32) { surface.fill(Qt::white); }

    void InvalidateRect(const CRect*) override {}
    void CaptureMouse() override {}
    void ReleaseMouse() override {}
    void ReleaseCursorClip() override {}
    void SetCursor(UINT) override {}
    void SendNotify(UINT) override {}
    std::unique_ptr<CDC> GetSurfaceDC() override { return std::make_unique<CDC>(surface); }

    QImage surface;
};
