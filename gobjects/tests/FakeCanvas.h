// A canvas for container tests: a white RGB32 surface that rubber bands are drawn into, and a log of what the
// container asked of its window.
#pragma once

#include "gobjects/GObjectCanvas.h"

#include "gdi/CDC.h"

#include <QImage>

#include <memory>
#include <vector>

class FakeCanvas : public IGObjectCanvas
{
public:
    explicit FakeCanvas(int width = 200, int height = 150) : surface(width, height, QImage::Format_RGB32)
    {
        surface.fill(Qt::white);
    }

    void InvalidateRect(const CRect*) override { ++invalidations; }
    void CaptureMouse() override { captured = true; }
    void ReleaseMouse() override { captured = false; }
    void ReleaseCursorClip() override { ++clipReleases; }
    void SetCursor(UINT id) override { cursors.push_back(id); }
    void SendNotify(UINT message) override { notices.push_back(message); }
    std::unique_ptr<CDC> GetSurfaceDC() override { return std::make_unique<CDC>(surface); }

    QImage surface;
    int invalidations = 0;
    bool captured = false;
    int clipReleases = 0;
    std::vector<UINT> cursors;
    std::vector<UINT> notices;
};
