// One of every shape the factory makes, with the clicks that draw it on the 200 x 150 canvas of a MarkerScene: for
// tests that must hold for the whole range.
#pragma once

#include "gobjects/GObjectTypes.h"
#include "MarkerScene.h"

#include "types/WinGeometry.h"

#include <vector>

struct ShapeClicks
{
    OBJ_SHAPE shape;
    std::vector<CPoint> clicks;  // a right click after the last one finishes shapes that wait for it
};

inline const std::vector<ShapeClicks>& EveryShape()
{
    static const std::vector<ShapeClicks> shapes = {
        {SHAPE_POINT, {{20, 20}}},
        {SHAPE_LINE, {{10, 30}, {60, 42}}},
        {SHAPE_RECT, {{70, 10}, {95, 30}}},
        {static_cast<OBJ_SHAPE>(3), {{100, 20}, {130, 20}}},
        {static_cast<OBJ_SHAPE>(4), {{150, 25}, {160, 25}}},
        {static_cast<OBJ_SHAPE>(5), {{20, 60}, {50, 80}}},
        {static_cast<OBJ_SHAPE>(6), {{60, 60}, {80, 70}, {95, 58}}},
        {static_cast<OBJ_SHAPE>(7), {{110, 60}, {130, 62}, {120, 80}}},
        {static_cast<OBJ_SHAPE>(9), {{140, 60}, {150, 64}, {160, 70}, {170, 73}}},
        {static_cast<OBJ_SHAPE>(10), {{100, 100}}},
        {static_cast<OBJ_SHAPE>(11), {{20, 100}, {40, 110}}},
        {static_cast<OBJ_SHAPE>(12), {{30, 100}, {45, 120}}},
        {static_cast<OBJ_SHAPE>(13), {{50, 100}, {70, 104}}},
        {static_cast<OBJ_SHAPE>(14), {{75, 100}, {79, 125}}},
        {static_cast<OBJ_SHAPE>(15), {{10, 130}, {20, 130}, {15, 138}, {40, 130}, {50, 130}, {45, 140}}},
        {static_cast<OBJ_SHAPE>(16), {{120, 110}, {160, 112}, {140, 125}}},
        {static_cast<OBJ_SHAPE>(17), {{60, 135}, {110, 135}, {80, 145}, {95, 128}}},
        {static_cast<OBJ_SHAPE>(18), {{115, 135}, {165, 137}, {130, 145}, {150, 128}}},
        {static_cast<OBJ_SHAPE>(19), {{170, 90}, {190, 95}, {172, 110}, {190, 100}}},
        {static_cast<OBJ_SHAPE>(20), {{170, 120}, {185, 125}, {175, 140}}},
        {static_cast<OBJ_SHAPE>(21), {{150, 80}, {170, 80}, {160, 95}}},
        {static_cast<OBJ_SHAPE>(28), {{5, 5}}},
        {static_cast<OBJ_SHAPE>(43), {{10, 50}, {30, 45}, {50, 50}}},
        {static_cast<OBJ_SHAPE>(30), {{25, 25}}},
        {static_cast<OBJ_SHAPE>(31), {{12, 32}, {62, 44}}},
        {static_cast<OBJ_SHAPE>(32), {{72, 12}, {97, 32}}},
        {static_cast<OBJ_SHAPE>(34), {{152, 27}, {162, 27}}},
        {static_cast<OBJ_SHAPE>(35), {{22, 62}, {52, 82}}},
        {static_cast<OBJ_SHAPE>(36), {{62, 62}, {82, 72}, {97, 60}}},
        {static_cast<OBJ_SHAPE>(37), {{112, 62}, {132, 64}, {122, 82}}},
    };
    return shapes;
}

// Draws the shape in the scene as a user would: moves to and clicks each point, then right-clicks at the last
// one when the shape still waits for it. Returns the object (the container owns it), or null when the container
// makes no such shape.
inline CQvGObject* ClickToFinish(MarkerScene& scene, const ShapeClicks& s)
{
    if (!scene.container.AddObject(s.shape))
        return nullptr;
    CQvGObject* obj = scene.container.GetCreatingObject();
    for (CPoint p : s.clicks) {
        scene.container.MouseMove(scene.dc.get(), 0, p);
        scene.container.LButtonDown(MarkerScene::kLeftButton, p);
        scene.container.LButtonUp(0, p);
    }
    if (obj->GetState() != GS_FINISHED)
        scene.RightClick(s.clicks.back());
    return obj;
}
