// A container on a fake canvas, calibrated at 0.5 micrometre per pixel with 2 decimals, in which tests draw the
// round and point-picked shapes as a user does: clicks, with the mouse moved to each click first.
#pragma once

#include "ByteFixture.h"
#include "CQvGObject.h"
#include "CQvGObjectContainer.h"
#include "FakeCanvas.h"

#include "CCalibKeeper.h"
#include "stream/LeStream.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

struct RoundTestScene
{
    static constexpr UINT kLeftButton = MK_LBUTTON;
    static constexpr double kUnitsPerPixel = 0.5;
    static constexpr double kMillimetresPerPixel = 0.0005;

    RoundTestScene()
    {
        calib.SetUnit(UNIT_MICROMETER);
        calib.SetUnitsPerPixel(kUnitsPerPixel);
        container.ConnectCalibKeeper(&calib);
        container.SetCanvasWnd(&canvas);
        container.SetDecimalPointRange(2);
        container.SetAutoRepeatCreatingObject(0);
    }

    // Starts the shape (showing `quantity` when nonzero) and clicks each point; returns the object.
    CQvGObject* Draw(OBJ_SHAPE shape, std::initializer_list<CPoint> clicks, int32_t quantity = 0)
    {
        EXPECT_EQ(container.AddObject(shape), 1);
        CQvGObject* obj = container.GetCreatingObject();
        if (quantity)
            obj->SetDispType(quantity);
        Click(clicks);
        return obj;
    }
    void Click(std::initializer_list<CPoint> clicks)
    {
        for (CPoint p : clicks) {
            Move(p);
            container.LButtonDown(kLeftButton, p);
            container.LButtonUp(0, p);
        }
    }
    void Move(CPoint p)
    {
        auto dc = canvas.GetSurfaceDC();
        container.MouseMove(dc.get(), 0, p);
    }
    void RightClick(CPoint p)
    {
        Move(p);
        container.RButtonDown(0, p);
    }

    static double Value(CQvGObject* obj, int32_t kind)
    {
        tagCAL_DATA data;
        data.kind = kind;
        EXPECT_EQ(obj->GetCalData(data, 0), 1) << "quantity " << kind;
        return data.value1;
    }
    static std::vector<_RPOINT> Points(const CQvGObject* obj)
    {
        return {obj->GetPoint(), obj->GetPoint() + obj->GetPointCount()};
    }

    CCalibKeeper calib;
    FakeCanvas canvas{300, 200};
    CQvGObjectContainer container;
};

// What reading does to an object, done before it is first written, so that the record compares with the one
// written after reading: its quantities set and its labels sized to their text (a new label is centred on its
// place, one read back keeps its top-left corner).
inline void PrepareForWriting(CQvGObjectContainer& container, CQvGObject* obj)
{
    obj->SetCalType();
    container.UpdateAllObjectDataLabel();
    for (CQvGObject* label : obj->GetLabels())
        label->GetMBR();
}

// Writes the object's record, reads it back into a fresh object of the container's factory and writes that again;
// expects the same bytes both times and returns the copy (owned by the caller, freed through RemoveAll).
inline CQvGObject* RoundTrip(CQvGObjectContainer& container, CQvGObject* obj, float version,
                             std::vector<uint8_t>* bytes = nullptr)
{
    TempStream first;
    EXPECT_EQ(obj->Write(first.file(), version), 1);
    const std::vector<uint8_t> written = first.Contents();
    LeReader in(first.file());
    CQvGObject* copy = container.CreateObject(static_cast<OBJ_SHAPE>(in.Int32()));
    if (!copy) {
        ADD_FAILURE() << "no object for the record's shape";
        return nullptr;
    }
    copy->SetContainer(&container);
    EXPECT_EQ(copy->Read(first.file(), version), 1);
    EXPECT_TRUE(first.AtEnd());
    copy->SetCalType();
    TempStream second;
    EXPECT_EQ(copy->Write(second.file(), version), 1);
    const std::vector<uint8_t> again = second.Contents();
    EXPECT_EQ(again.size(), written.size());
    const auto differ = std::mismatch(again.begin(), again.end(), written.begin(), written.end());
    EXPECT_TRUE(differ.first == again.end()) << "records differ from byte " << differ.first - again.begin();
    if (bytes)
        *bytes = written;
    return copy;
}
