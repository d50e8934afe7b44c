// Two overlays open at once, as two documents are: what one container does must not reach the other's state.
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLabel.h"
#include "FakeCanvas.h"
#include "TestGObject.h"

#include "stream/LeStream.h"

#include "calibkeeper/CCalibKeeper.h"
#include "testing/RenderCheck.h"
#include "gdi/CRecordingDC.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

using testing_support::ImagesMatch;

namespace {

// A container in selection mode on its own surface.
struct Window
{
    FakeCanvas canvas{160, 120};
    CQvGObjectContainer container;
    std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();

    Window()
    {
        container.SetCanvasWnd(&canvas);
        container.SelectionMode(1);
    }
};

}  // namespace

TEST(ContainerIsolation, ARubberBandInOneWindowIsErasedWhereItWasDrawnWhateverAnotherWindowDid)
{
    Window first, second;
    first.container.LButtonDown(MK_LBUTTON, CPoint(10, 10));
    first.container.MouseMove(first.dc.get(), MK_LBUTTON, CPoint(60, 40));
    // Meanwhile the other window starts and ends bands of its own.
    second.container.LButtonDown(MK_LBUTTON, CPoint(100, 90));
    second.container.MouseMove(second.dc.get(), MK_LBUTTON, CPoint(120, 100));
    second.container.LButtonUp(0, CPoint(120, 100));
    second.container.LButtonDown(MK_LBUTTON, CPoint(30, 30));
    first.container.MouseMove(first.dc.get(), MK_LBUTTON, CPoint(80, 50));

    // Only the band from where this window's drag began to where the mouse is now.
    Window alone;
    alone.container.LButtonDown(MK_LBUTTON, CPoint(10, 10));
    alone.container.MouseMove(alone.dc.get(), MK_LBUTTON, CPoint(80, 50));
    EXPECT_TRUE(ImagesMatch(first.canvas.surface, alone.canvas.surface, "isolation-rubber-band"));
}

TEST(ContainerIsolation, ADragInOneWindowMovesByThatWindowsMouseOnly)
{
    Window first, second;
    auto* line = new TestGObject;
    line->SetContainer(&first.container);
    line->SetState(GS_FINISHED);
    line->SetPoints({{10, 10}, {50, 10}});
    first.container.GetMainObjList().push_back(line);

    first.container.LButtonDown(MK_LBUTTON, CPoint(30, 10));  // grabs the line's body
    ASSERT_EQ(first.container.GetSelectedObjectCount(), 1);
    second.container.LButtonDown(MK_LBUTTON, CPoint(100, 90));
    first.container.MouseMove(nullptr, MK_LBUTTON, CPoint(35, 17));
    EXPECT_EQ(line->GetPoint()[0].x, 15);
    EXPECT_EQ(line->GetPoint()[0].y, 17);
    // A new document's overlay starts its own mouse, not the others'.
    CQvGObjectContainer third;
    first.container.MouseMove(nullptr, MK_LBUTTON, CPoint(36, 17));
    EXPECT_EQ(line->GetPoint()[0].x, 16);
    EXPECT_EQ(line->GetPoint()[0].y, 17);
}

namespace {

// The record of a measurement whose value label carries labels `depth` levels deep (each label the first of its
// owner's), as the object writes it, shape code first.
std::vector<char> NestedLabelRecord(int depth, CQvGObjectContainer& container, size_t* innermostStart)
{
    TestGObject owner;
    owner.SetContainer(&container);
    owner.SetPoints({{10, 10}, {50, 10}});
    size_t start = 4 + 4 + 16 * 2 + 4;  // shape, point count, points, label count
    CQvGObject* label = &owner;
    for (int level = 0; level < depth; ++level) {
        label = label->AddLabelObject(CPoint(30, 30));
        if (level + 1 < depth)
            start += 4 + 4 + 16 * static_cast<size_t>(label->GetPointCount()) + 4;
    }
    if (innermostStart)
        *innermostStart = start;
    std::FILE* file = std::tmpfile();
    owner.Write(file, 1.5f);
    std::vector<char> bytes(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return bytes;
}

// A stream that stops at a given byte until it is released, so that a reader can be held in the middle of a record.
class HeldStream
{
public:
    HeldStream(std::vector<char> bytes, size_t holdAt) : m_bytes(std::move(bytes)), m_holdAt(holdAt)
    {
        const cookie_io_functions_t io{&HeldStream::ReadSome, nullptr, nullptr, nullptr};
        m_file = fopencookie(this, "r", io);
        setvbuf(m_file, nullptr, _IONBF, 0);
    }
    ~HeldStream() { std::fclose(m_file); }
    std::FILE* File() const { return m_file; }

    // Waits (a few seconds at most) until the reader wants the byte it is held at.
    bool WaitUntilHeld()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_held; });
    }
    void Release()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    static ssize_t ReadSome(void* cookie, char* buffer, size_t size)
    {
        auto* self = static_cast<HeldStream*>(cookie);
        std::unique_lock<std::mutex> lock(self->m_mutex);
        if (self->m_position == self->m_holdAt && !self->m_released) {
            self->m_held = true;
            self->m_changed.notify_all();
            self->m_changed.wait_for(lock, std::chrono::seconds(10), [self] { return self->m_released; });
        }
        size_t end = std::min(self->m_bytes.size(), self->m_position + size);
        if (self->m_position < self->m_holdAt)
            end = std::min(end, self->m_holdAt);
        const size_t count = end - self->m_position;
        std::copy_n(self->m_bytes.data() + self->m_position, count, buffer);
        self->m_position = end;
        return static_cast<ssize_t>(count);
    }

    std::vector<char> m_bytes;
    size_t m_holdAt;
    size_t m_position = 0;
    bool m_held = false;
    bool m_released = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::FILE* m_file = nullptr;
};

// Reads the record (shape code first) into a fresh object of the container; whether it was read.
bool ReadRecord(std::FILE* file, CQvGObjectContainer& container)
{
    LeReader in(file);
    in.Int32();
    TestGObject obj;
    obj.SetContainer(&container);
    return in.ok() && obj.Read(file, 1.5f) == 1;
}

}  // namespace

// Two documents loading on two threads: how deep one reader is in nested labels says nothing about the other.
TEST(ContainerIsolation, LabelNestingIsCountedPerReadingThread)
{
    CQvGObjectContainer first, second;
    size_t innermost = 0;
    std::vector<char> deepBytes = NestedLabelRecord(3, first, &innermost);
    HeldStream deep(std::move(deepBytes), innermost + 8);  // held inside the third label's points
    const std::vector<char> shallow = NestedLabelRecord(2, second, nullptr);

    bool deepRead = false;
    std::thread reader([&] { deepRead = ReadRecord(deep.File(), first); });
    ASSERT_TRUE(deep.WaitUntilHeld());
    bool shallowRead = false;
    std::thread other([&] {
        std::FILE* file = fmemopen(const_cast<char*>(shallow.data()), shallow.size(), "r");
        shallowRead = ReadRecord(file, second);
        std::fclose(file);
    });
    other.join();
    deep.Release();
    reader.join();
    EXPECT_TRUE(shallowRead);
    EXPECT_TRUE(deepRead);
}

// Two documents in millimetres that show units: a mil measurement in one paints its value without a unit, a length
// in the other with one, and neither document's setting nor what its labels store changes by painting.
TEST(ContainerIsolation, AUnitlessValueLabelPaintsWithoutSwitchingItsContainersUnitsOff)
{
    CCalibKeeper calib;
    calib.SetUnit(UNIT_MILLIMETER);
    CQvGObjectContainer first, second;
    TestGObject mils, length;
    for (auto [owner, container, quantity] :
         {std::tuple{&mils, &first, CAL_CIRCULAR_MIL}, std::tuple{&length, &second, CAL_LENGTH}}) {
        container->ConnectCalibKeeper(&calib);
        owner->SetContainer(container);
        owner->SetPoints({{10, 10}, {50, 10}});
        owner->SetDispType(quantity);
        owner->AddLabelObject(CPoint(100, 100));
        const CRect stored = owner->GetLabelObject()->GetMBR();

        CRecordingDC dc;
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        owner->Draw(&dc, &origin, &ratio, CQvGObject::kPaintNormal);
        const bool unitShown = std::any_of(dc.Calls().begin(), dc.Calls().end(), [](const std::string& call) {
            return call.find("\"mm\"") != std::string::npos;
        });
        EXPECT_EQ(unitShown, quantity == CAL_LENGTH) << quantity;
        EXPECT_EQ(container->GetDisplayMark(), 1) << quantity;
        EXPECT_EQ(owner->GetLabelObject()->GetMBR(), stored) << quantity;
    }
}
