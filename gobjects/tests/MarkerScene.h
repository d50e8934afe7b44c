// A container on a fake canvas as the image window drives it, for the tests of the point, target, Z indicator,
// polygon and curvature: 0.5 units per pixel, 2 decimals, no automatic repetition, a 200 x 150 canvas. Shapes are
// made and edited through the mouse entry points, as a user clicks and drags. The library-wide drawing defaults
// are put back when the scene ends (shapes store their settings there).
#pragma once

#include "ByteFixture.h"
#include "CQvGObject.h"
#include "CQvGObjectContainer.h"
#include "CQvGObjectPropertyTotal.h"
#include "FakeCanvas.h"

#include "CCalibKeeper.h"
#include "RenderCheck.h"
#include "gdi/CDC.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

struct MarkerScene
{
    static constexpr UINT kLeftButton = MK_LBUTTON;
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

    CQvGObjectPropertyTotal savedDefaults = g_GOPropertyTotal;
    FakeCanvas canvas{kWidth, kHeight};
    CCalibKeeper calib;
    CQvGObjectContainer container;
    std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();

    MarkerScene()
    {
        calib.SetUnitsPerPixel(0.5);
        container.ConnectCalibKeeper(&calib);
        container.SetCanvasWnd(&canvas);
        container.SetCanvasSize(CSize(kWidth, kHeight));
        container.SetAutoRepeatCreatingObject(0);
        container.SetDecimalPointRange(2);
    }
    ~MarkerScene() { g_GOPropertyTotal = savedDefaults; }

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

    // The topmost object a click at p would pick, or null.
    CQvGObject* Pick(CPoint p) { return container.HitTest(CRect(p, p)); }

    // Paints the whole overlay on a blank surface of the canvas size.
    QImage Paint(float ratio = 1.0f)
    {
        QImage surface = testing_support::BlankSurface(kWidth, kHeight);
        CDC paintDc(surface);
        container.SetRatio(ratio);
        container.Draw(&paintDc, 2);
        container.SetRatio(1.0f);
        return surface;
    }

    // The container stream. A new label takes its final width when it is measured again (a paint does it for the
    // value label, reading for every label); they are all measured first so that the stream shows them as they
    // stay.
    std::vector<uint8_t> Stream()
    {
        for (CQvGObject* obj : container.GetMainObjList())
            for (CQvGObject* label : obj->GetLabels())
                label->GetMBR();
        TempStream stream;
        EXPECT_EQ(container.Write(stream.file()), 1);
        return stream.Contents();
    }

    // The box a value label of `owner` has when placed at p (and measured again, as every label is once painted).
    CRect LabelBoxAt(CQvGObject* owner, CPoint p)
    {
        CQvGObject* reference = container.CreateObject(owner->GetObjShape());
        static_cast<CQvGObject&>(*reference) = *owner;
        const CRect box = reference->AddLabelObject(p)->GetMBR();
        reference->RemoveAll();
        return box;
    }

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

// Reads `bytes` into the scene's container (emptied first) and checks that writing it again gives the same bytes.
inline void ExpectStreamRoundTrip(MarkerScene& scene, const std::vector<uint8_t>& bytes)
{
    scene.container.RemoveAll();
    TempStream in(bytes);
    ASSERT_EQ(scene.container.Read(in.file()), 1);
    EXPECT_EQ(scene.Stream(), bytes);
}

// The stream of an overlay holding one `shape` record, as the program writes it, with `points` put in.
inline std::vector<uint8_t> OverlayWithOneRecord(OBJ_SHAPE shape, const std::vector<_RPOINT>& points)
{
    MarkerScene writer;
    std::vector<uint8_t> overlay = writer.Stream();
    CQvGObject* obj = writer.container.CreateObject(shape);
    obj->SetObjShape(shape);
    obj->SetCalType();
    TempStream recordStream;
    EXPECT_EQ(obj->Write(recordStream.file(), 1.5f), 1);
    obj->RemoveAll();
    std::vector<uint8_t> record = recordStream.Contents();

    Bytes counted;
    counted.Put32(0, static_cast<uint32_t>(points.size()));
    std::copy(counted.data.begin(), counted.data.end(), record.begin() + 4);
    Bytes coordinates;
    for (const _RPOINT& p : points) {
        coordinates.PutDouble(coordinates.data.size(), p.x);
        coordinates.PutDouble(coordinates.data.size(), p.y);
    }
    record.insert(record.begin() + 8, coordinates.data.begin(), coordinates.data.end());

    constexpr size_t kObjectCountOffset = 20;
    overlay[kObjectCountOffset] = 1;
    overlay.insert(overlay.begin() + kObjectCountOffset + 4, record.begin(), record.end());
    return overlay;
}

// One object's record as the current version writes it.
inline std::vector<uint8_t> RecordOf(CQvGObject* obj)
{
    TempStream out;
    EXPECT_EQ(obj->Write(out.file(), 1.5f), 1);
    return out.Contents();
}
