// A container on a fake canvas as the image window drives it, for the tests of the line family: 0.5 units per
// pixel, 2 decimals, no automatic repetition, a 200 x 150 canvas. Shapes are drawn and edited with the mouse
// entry points, as a user clicks and drags.
#pragma once

#include "CQvGObject.h"
#include "CQvGObjectContainer.h"
#include "Edition.h"
#include "FakeCanvas.h"

#include "CCalibKeeper.h"
#include "gdi/CDC.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

struct LineFamilyScene
{
    static constexpr UINT kLeftButton = 0x0001;
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

    FakeCanvas canvas{kWidth, kHeight};
    CCalibKeeper calib;
    CQvGObjectContainer container;
    std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();

    LineFamilyScene()
    {
        calib.SetUnitsPerPixel(0.5);
        container.ConnectCalibKeeper(&calib);
        container.SetCanvasWnd(&canvas);
        container.SetCanvasSize(CSize(kWidth, kHeight));
        container.SetAutoRepeatCreatingObject(0);
        container.SetDecimalPointRange(2);
    }

    // Starts the shape and, for each point, moves the mouse there and clicks. Returns the object (the container
    // owns it).
    CQvGObject* Click(OBJ_SHAPE shape, std::initializer_list<CPoint> clicks)
    {
        if (!container.AddObject(shape))
            return nullptr;
        CQvGObject* obj = container.GetCreatingObject();
        for (CPoint p : clicks) {
            container.MouseMove(dc.get(), 0, p);
            container.LButtonDown(kLeftButton, p);
            container.LButtonUp(0, p);
        }
        return obj;
    }

    // Moves the mouse to p and clicks the right button.
    void RightClick(CPoint p)
    {
        container.MouseMove(dc.get(), 0, p);
        container.RButtonDown(0, p);
    }

    // In selection mode: presses the left button at `from`, drags to `to` and releases.
    void Drag(CPoint from, CPoint to)
    {
        container.SelectionMode(1);
        container.LButtonDown(kLeftButton, from);
        container.MouseMove(dc.get(), kLeftButton, to);
        container.LButtonUp(0, to);
    }

    // The value string of one quantity.
    static std::string Text(CQvGObject* obj, int32_t kind)
    {
        tagCAL_DATA data;
        data.kind = kind;
        return obj->GetDataString(data, 0);
    }

    static double Value(CQvGObject* obj, int32_t kind)
    {
        tagCAL_DATA data;
        data.kind = kind;
        EXPECT_EQ(obj->GetCalData(data, 0), 1) << kind;
        return data.value1;
    }
};

// Sets the edition for the life of the guard.
class ScopedEdition
{
public:
    explicit ScopedEdition(OEM_PRODUCT edition) : m_old(g_OEMProduct) { SetOEMProduct(edition); }
    ~ScopedEdition() { SetOEMProduct(m_old); }
    ScopedEdition(const ScopedEdition&) = delete;
    ScopedEdition& operator=(const ScopedEdition&) = delete;

private:
    OEM_PRODUCT m_old;
};
