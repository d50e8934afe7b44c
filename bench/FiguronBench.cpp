// The overlay at the sizes a busy measurement session reaches, each case beside its strongest peer in the same run:
// - painting 1,000 and 10,000 finished lines with their value labels, a mixed overlay of 10,000 objects of every
//   measurement shape and one target reticle into a 1920 x 1080 surface; peer: the primitives of the same paint
//   replayed in a plain loop (FiguronPaintReplay.h), which must give the same pixels;
// - a click among 1,000, 10,000 and 100,000 lines (on the bottom-most one and on empty ground) and among the mixed
//   overlay; peer: a flat array of the objects' boxes scanned from the top, with the exact test only for a box
//   under the click, which must pick the same object;
// - writing an overlay of 10,000 lines; peer: a hand-written writer of the same bytes into memory and one fwrite,
//   which must give the same bytes;
// - reading overlays of 10,000 and 100,000 lines into a fresh container; peer: a hand-written parser of the same
//   bytes that measures each label through the same measuring DC and text cache, which must give the labels'
//   sizes (FiguronPlainStream.h).
// Targets: a click among 10,000 under 50 microseconds and growing less than linearly to 100,000; the write within 2x
// of its peer, the read within 1.2x. Before timing, every case checks its result and its peer's (ink where the
// lines are, the right object hit, nothing hit on empty ground, a stream that reads back into the same bytes), so
// a fast wrong path fails.
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "FiguronPaintReplay.h"
#include "FiguronPlainStream.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/TextCache.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int kSurfaceWidth = 1920;
constexpr int kSurfaceHeight = 1080;
constexpr int kManyObjects = 10000;
constexpr int kMostObjects = 100000;
constexpr QRgb kBackground = 0xFFFFFFFF;

struct Segment
{
    CPoint start;
    CPoint end;
};

// Measurement lines 20 to 200 pixels long anywhere on the surface, the same on every run.
std::vector<Segment> ScatteredLines(int count)
{
    std::vector<Segment> lines;
    uint32_t state = 2024;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(range));
    };
    while (static_cast<int>(lines.size()) < count) {
        const CPoint start(next(kSurfaceWidth), next(kSurfaceHeight));
        const CPoint end(start.x - 100 + next(201), start.y - 100 + next(201));
        const int dx = end.x - start.x;
        const int dy = end.y - start.y;
        if (dx * dx + dy * dy >= 20 * 20 && end.x >= 0 && end.y >= 0 && end.x < kSurfaceWidth &&
            end.y < kSurfaceHeight)
            lines.push_back({start, end});
    }
    return lines;
}

// One short line per cell of a grid 100 cells wide of 60 x 40 pixel cells: the lower part of every cell stays
// empty, and the line of cell 0 lies under nothing else.
constexpr int kCellWidth = 60;
constexpr int kCellHeight = 40;
constexpr int kGridColumns = 100;

std::vector<Segment> GridLines(int count)
{
    std::vector<Segment> lines;
    for (int i = 0; i < count; ++i) {
        const int left = (i % kGridColumns) * kCellWidth;
        const int top = (i / kGridColumns) * kCellHeight;
        lines.push_back({CPoint(left + 5, top + 8), CPoint(left + 45, top + 8)});
    }
    return lines;
}

// Draws each line as the user would: a click, a move, a click; the container names it and gives it its label.
std::unique_ptr<CQvGObjectContainer> Overlay(const std::vector<Segment>& lines)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetDecimalPointRange(3);
    overlay->SetAutoRepeatCreatingObject(0);
    overlay->SetCanvasSize(CSize(kSurfaceWidth, kSurfaceHeight));
    for (const Segment& line : lines) {
        overlay->AddObject(SHAPE_LINE);
        overlay->LButtonDown(1, line.start);
        overlay->MouseMove(nullptr, 0, line.end);
        overlay->LButtonDown(1, line.end);
    }
    return overlay;
}

// A mixed overlay: 10,000 objects of every measurement shape, each drawn by clicks inside a 60 x 40 cell; the cells
// tile the surface and each takes about a dozen overlapping objects, as a dense session leaves them.
struct ShapeClicks
{
    OBJ_SHAPE shape;
    std::vector<CPoint> clicks;  // a right click after the last one finishes shapes that wait for it
};

const std::vector<ShapeClicks>& MeasurementShapes()
{
    static const std::vector<ShapeClicks> shapes = {
        {SHAPE_POINT, {{20, 20}}},
        {SHAPE_LINE, {{5, 8}, {45, 8}}},
        {SHAPE_RECT, {{5, 5}, {40, 25}}},
        {static_cast<OBJ_SHAPE>(3), {{10, 15}, {40, 15}}},
        {static_cast<OBJ_SHAPE>(4), {{25, 18}, {35, 18}}},
        {static_cast<OBJ_SHAPE>(5), {{5, 5}, {45, 30}}},
        {static_cast<OBJ_SHAPE>(6), {{5, 5}, {25, 20}, {45, 8}}},
        {static_cast<OBJ_SHAPE>(7), {{5, 5}, {40, 8}, {20, 30}}},
        {static_cast<OBJ_SHAPE>(9), {{5, 5}, {15, 9}, {25, 14}, {35, 18}}},
        {static_cast<OBJ_SHAPE>(10), {{25, 20}}},
        {static_cast<OBJ_SHAPE>(11), {{5, 10}, {40, 20}}},
        {static_cast<OBJ_SHAPE>(12), {{10, 5}, {30, 30}}},
        {static_cast<OBJ_SHAPE>(13), {{5, 10}, {45, 14}}},
        {static_cast<OBJ_SHAPE>(14), {{10, 5}, {14, 30}}},
        {static_cast<OBJ_SHAPE>(15), {{5, 10}, {15, 10}, {10, 16}, {30, 10}, {40, 10}, {35, 18}}},
        {static_cast<OBJ_SHAPE>(16), {{5, 5}, {45, 7}, {25, 25}}},
        {static_cast<OBJ_SHAPE>(17), {{5, 10}, {45, 10}, {15, 25}, {35, 3}}},
        {static_cast<OBJ_SHAPE>(18), {{5, 10}, {45, 12}, {15, 25}, {35, 3}}},
        {static_cast<OBJ_SHAPE>(19), {{5, 5}, {45, 10}, {5, 30}, {45, 20}}},
        {static_cast<OBJ_SHAPE>(20), {{5, 30}, {25, 5}, {45, 30}}},
        {static_cast<OBJ_SHAPE>(21), {{10, 20}, {40, 20}, {25, 5}}},
        {static_cast<OBJ_SHAPE>(28), {{5, 5}}},
        {static_cast<OBJ_SHAPE>(43), {{5, 30}, {25, 10}, {45, 30}}},
    };
    return shapes;
}

constexpr int kTargets = 2;

std::unique_ptr<CQvGObjectContainer> MixedOverlay()
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetDecimalPointRange(3);
    overlay->SetAutoRepeatCreatingObject(0);
    overlay->SetCanvasSize(CSize(kSurfaceWidth, kSurfaceHeight));
    const int columns = kSurfaceWidth / kCellWidth;
    const int rows = kSurfaceHeight / kCellHeight;
    const std::vector<ShapeClicks>& shapes = MeasurementShapes();
    int targets = 0;
    for (int i = 0; i < kManyObjects; ++i) {
        ShapeClicks s = shapes[static_cast<size_t>(i) % shapes.size()];
        // A target is a reticle over the whole image: a session places one or two, not one in every cell. The
        // rest of its turns go to points, its nearest kin.
        if (s.shape == SHAPE_TARGET && ++targets > kTargets)
            s.shape = SHAPE_POINT;
        const CSize cell((i % columns) * kCellWidth, (i / columns % rows) * kCellHeight);
        overlay->AddObject(s.shape);
        CQvGObject* obj = overlay->GetCreatingObject();
        for (CPoint p : s.clicks) {
            overlay->MouseMove(nullptr, 0, p + cell);
            overlay->LButtonDown(1, p + cell);
            overlay->LButtonUp(0, p + cell);
        }
        if (obj && obj->GetState() != GS_FINISHED)
            overlay->RButtonDown(0, s.clicks.back() + cell);
    }
    return overlay;
}

// One target in the middle of the image with the default look: the full cross-hair and a ring every 20 pixels
// out to the corners.
std::unique_ptr<CQvGObjectContainer> TargetOverlay()
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetCanvasSize(CSize(kSurfaceWidth, kSurfaceHeight));
    overlay->SetAutoRepeatCreatingObject(0);
    const CPoint centre(kSurfaceWidth / 2, kSurfaceHeight / 2);
    overlay->AddObject(SHAPE_TARGET);
    overlay->MouseMove(nullptr, 0, centre);
    overlay->LButtonDown(1, centre);
    overlay->LButtonUp(0, centre);
    return overlay;
}

// Overlays take seconds to build at 100,000 objects: each is built once, for its check and its benchmarks.
CQvGObjectContainer& Cached(const std::string& key, const std::function<std::unique_ptr<CQvGObjectContainer>()>& make)
{
    static std::map<std::string, std::unique_ptr<CQvGObjectContainer>> overlays;
    std::unique_ptr<CQvGObjectContainer>& overlay = overlays[key];
    if (!overlay)
        overlay = make();
    return *overlay;
}

CQvGObjectContainer& ScatteredOverlay(int count)
{
    return Cached("scattered" + std::to_string(count), [count] { return Overlay(ScatteredLines(count)); });
}

CQvGObjectContainer& GridOverlay(int count)
{
    return Cached("grid" + std::to_string(count), [count] { return Overlay(GridLines(count)); });
}

CQvGObjectContainer& Mixed()
{
    return Cached("mixed", MixedOverlay);
}

CQvGObjectContainer& Target()
{
    return Cached("target", TargetOverlay);
}

QImage Surface()
{
    QImage image(kSurfaceWidth, kSurfaceHeight, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

bool InkNear(const QImage& image, CPoint p)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(p.x + dx, p.y + dy) && image.pixel(p.x + dx, p.y + dy) != kBackground)
                return true;
    return false;
}

// --- Painting ---

// The replay of one paint of the overlay (labels already sized by an earlier paint), checked to give its pixels.
struct PaintPeer
{
    std::unique_ptr<PrimitiveReplay> replay;
    bool samePixels = false;
};

PaintPeer& PeerOf(const std::string& key, CQvGObjectContainer& overlay)
{
    static std::map<std::string, PaintPeer> peers;
    PaintPeer& peer = peers[key];
    if (peer.replay)
        return peer;
    QImage painted = Surface();
    {
        CDC dc(painted);
        overlay.Draw(&dc, -1);
    }
    QImage recorded = Surface();
    PrimitiveRecorder recorder(recorded);
    overlay.Draw(&recorder, -1);
    peer.replay = std::make_unique<PrimitiveReplay>(recorder);
    QImage replayed = Surface();
    {
        CDC dc(replayed);
        peer.replay->Run(dc);
    }
    peer.samePixels = replayed == painted && recorded == painted;
    std::printf("paint %s: %zu primitives, the replay %s\n", key.c_str(), peer.replay->Size(),
                peer.samePixels ? "gives the same pixels" : "gives OTHER pixels");
    return peer;
}

bool PaintingIsRight()
{
    const std::vector<Segment> lines = ScatteredLines(1000);
    CQvGObjectContainer& overlay = ScatteredOverlay(1000);
    QImage image = Surface();
    {
        CDC dc(image);
        overlay.Draw(&dc, -1);
    }
    int labelled = 0;
    for (CQvGObject* obj : overlay.GetMainObjList())
        labelled += obj->GetState() == GS_FINISHED && obj->GetLabelObject() != nullptr;
    int inkedQuarterPoints = 0;
    for (const Segment& line : lines)
        inkedQuarterPoints += InkNear(image, CPoint((3 * line.start.x + line.end.x) / 4,
                                                    (3 * line.start.y + line.end.y) / 4));
    std::printf("painting: %d of 1000 lines finished with a label, %d inked at a quarter of their length\n",
                labelled, inkedQuarterPoints);
    int finished = 0;
    for (CQvGObject* obj : Mixed().GetMainObjList())
        finished += obj->GetState() == GS_FINISHED;
    std::printf("mixed overlay: %d of %d objects of %zu shapes finished\n", finished, kManyObjects,
                MeasurementShapes().size());
    return labelled == 1000 && inkedQuarterPoints == 1000 && finished == kManyObjects &&
           PeerOf("lines1000", ScatteredOverlay(1000)).samePixels &&
           PeerOf("lines10000", ScatteredOverlay(kManyObjects)).samePixels && PeerOf("mixed", Mixed()).samePixels &&
           PeerOf("target", Target()).samePixels;
}

// Times painting onto a fresh surface.
void TimePainting(benchmark::State& state, const std::function<void(CDC&)>& paint)
{
    QImage image = Surface();
    CDC dc(image);
    for (auto _ : state) {
        state.PauseTiming();
        image.fill(kBackground);
        state.ResumeTiming();
        paint(dc);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintLinesWithLabels(benchmark::State& state)
{
    CQvGObjectContainer& overlay = ScatteredOverlay(static_cast<int>(state.range(0)));
    TimePainting(state, [&overlay](CDC& dc) { overlay.Draw(&dc, -1); });
}

void BM_PaintLinesWithLabels_PeerReplay(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const PaintPeer& peer = PeerOf("lines" + std::to_string(count), ScatteredOverlay(count));
    TimePainting(state, [&peer](CDC& dc) { peer.replay->Run(dc); });
}

void BM_PaintMixedOverlay(benchmark::State& state)
{
    TimePainting(state, [](CDC& dc) { Mixed().Draw(&dc, -1); });
}

void BM_PaintMixedOverlay_PeerReplay(benchmark::State& state)
{
    const PaintPeer& peer = PeerOf("mixed", Mixed());
    TimePainting(state, [&peer](CDC& dc) { peer.replay->Run(dc); });
}

void BM_PaintTarget(benchmark::State& state)
{
    TimePainting(state, [](CDC& dc) { Target().Draw(&dc, -1); });
}

void BM_PaintTarget_PeerReplay(benchmark::State& state)
{
    const PaintPeer& peer = PeerOf("target", Target());
    TimePainting(state, [&peer](CDC& dc) { peer.replay->Run(dc); });
}

// --- Clicks ---

// Every rectangle that can hit the object meets its box: its hit bounds, or the box of its region for a shape
// that gives none, and the boxes of its labels.
CRect ReachOf(CQvGObject* obj)
{
    CRect reach = obj->GetHitBounds();
    if (reach.IsRectEmpty()) {
        CRgn region;
        if (obj->GetHitTestRgn(region))
            region.GetRgnBox(&reach);
    }
    for (CQvGObject* label : obj->GetLabels()) {
        const CRect labelReach = ReachOf(label);
        if (!labelReach.IsRectEmpty())
            reach = reach.IsRectEmpty() ? labelReach : CRect(std::min(reach.left, labelReach.left),
                                                               std::min(reach.top, labelReach.top),
                                                               std::max(reach.right, labelReach.right),
                                                               std::max(reach.bottom, labelReach.bottom));
    }
    return reach;
}

// The peer: the objects' boxes in a flat array, scanned from the top.
class FlatBoxes
{
public:
    explicit FlatBoxes(CQvGObjectContainer& overlay)
    {
        for (CQvGObject* obj : overlay.GetMainObjList()) {
            m_objects.push_back(obj);
            m_boxes.push_back(ReachOf(obj));
        }
    }

    // As the container's HitTest: a click is a rectangle 4 pixels around it at ratio 1.
    CQvGObject* HitTest(CPoint click) const
    {
        const CRect rect(click.x - 4, click.y - 4, click.x + 4, click.y + 4);
        for (size_t i = m_boxes.size(); i-- > 0;) {
            const CRect& box = m_boxes[i];
            if (box.left < rect.right && rect.left < box.right && box.top < rect.bottom && rect.top < box.bottom &&
                m_objects[i]->IsSelected(rect))
                return m_objects[i];
        }
        return nullptr;
    }

private:
    std::vector<CRect> m_boxes;
    std::vector<CQvGObject*> m_objects;
};

CPoint BottomMostClick()
{
    return CPoint(25, 8);  // on the line of cell 0, the first object drawn
}

// Low in a cell in the middle of the grid.
CPoint EmptyClick(int count)
{
    const int rows = count / kGridColumns;
    return CPoint(kGridColumns / 2 * kCellWidth + 30, rows / 2 * kCellHeight + 34);
}

CPoint MixedClick()
{
    return CPoint(17 * kCellWidth + 52, 13 * kCellHeight + 37);
}

CQvGObject* Click(CQvGObjectContainer& overlay, CPoint p)
{
    return overlay.HitTest(CRect(p, p));
}

bool HitTestingIsRight()
{
    bool right = true;
    for (int count : {1000, kManyObjects, kMostObjects}) {
        CQvGObjectContainer& overlay = GridOverlay(count);
        const FlatBoxes peer(overlay);
        const CQvGObject* first = overlay.GetMainObjList().front();
        const bool ok = overlay.GetMainObjList().size() == static_cast<size_t>(count) &&
                        Click(overlay, BottomMostClick()) == first && peer.HitTest(BottomMostClick()) == first &&
                        Click(overlay, EmptyClick(count)) == nullptr && peer.HitTest(EmptyClick(count)) == nullptr;
        std::printf("clicks among %d lines: %s\n", count,
                    ok ? "the first object under its click, nothing on empty ground, the peer agrees" : "WRONG");
        right = right && ok;
    }
    // Clicks all over the mixed overlay: the peer and the container pick the same object every time.
    CQvGObjectContainer& mixed = Mixed();
    const FlatBoxes peer(mixed);
    int agreed = 0;
    int hits = 0;
    int clicks = 0;
    for (int y = 1; y < kSurfaceHeight; y += 13)
        for (int x = 2; x < kSurfaceWidth; x += 17) {
            CQvGObject* ours = Click(mixed, CPoint(x, y));
            agreed += ours == peer.HitTest(CPoint(x, y));
            hits += ours != nullptr;
            ++clicks;
        }
    std::printf("mixed overlay: %d of %d clicks hit, the peer agrees on %d\n", hits, clicks, agreed);
    return right && agreed == clicks && hits > clicks / 2;
}

void BM_HitTestClick(benchmark::State& state, bool bottomMost)
{
    const int count = static_cast<int>(state.range(0));
    CQvGObjectContainer& overlay = GridOverlay(count);
    const CPoint click = bottomMost ? BottomMostClick() : EmptyClick(count);
    for (auto _ : state)
        benchmark::DoNotOptimize(Click(overlay, click));
}

void BM_HitTestClick_PeerFlatBoxes(benchmark::State& state, bool bottomMost)
{
    const int count = static_cast<int>(state.range(0));
    const FlatBoxes peer(GridOverlay(count));
    const CPoint click = bottomMost ? BottomMostClick() : EmptyClick(count);
    for (auto _ : state)
        benchmark::DoNotOptimize(peer.HitTest(click));
}

void BM_HitTestMixedOverlay(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Click(Mixed(), MixedClick()));
}

void BM_HitTestMixedOverlay_PeerFlatBoxes(benchmark::State& state)
{
    const FlatBoxes peer(Mixed());
    for (auto _ : state)
        benchmark::DoNotOptimize(peer.HitTest(MixedClick()));
}

// --- Stream ---

std::vector<unsigned char> FileBytes(FILE* file)
{
    std::vector<unsigned char> bytes;
    std::fseek(file, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        bytes.clear();
    std::rewind(file);
    return bytes;
}

struct UniqueFile
{
    FILE* file = std::tmpfile();
    ~UniqueFile()
    {
        if (file)
            std::fclose(file);
    }
};

// The overlay's stream, written once after a paint: labels take their final size on their first paint (and on
// reading), and a freshly drawn overlay is painted before anyone saves it.
const std::vector<unsigned char>& StreamOf(int count)
{
    static std::map<int, std::vector<unsigned char>> streams;
    std::vector<unsigned char>& bytes = streams[count];
    if (!bytes.empty())
        return bytes;
    CQvGObjectContainer& overlay = ScatteredOverlay(count);
    QImage image = Surface();
    {
        CDC dc(image);
        overlay.Draw(&dc, -1);
    }
    UniqueFile written;
    if (written.file && overlay.Write(written.file))
        bytes = FileBytes(written.file);
    return bytes;
}

bool StreamIsRight(int count)
{
    const std::vector<unsigned char>& first = StreamOf(count);
    UniqueFile source;
    UniqueFile rewritten;
    CQvGObjectContainer reread;
    bool right = !first.empty() && source.file && rewritten.file &&
                 std::fwrite(first.data(), 1, first.size(), source.file) == first.size();
    if (right) {
        std::rewind(source.file);
        right = reread.Read(source.file) && reread.GetMainObjList().size() == static_cast<size_t>(count) &&
                reread.Write(rewritten.file) && FileBytes(rewritten.file) == first;
    }
    // The peers: the plain writer gives the same bytes; the plain reader measures every label as it sized itself.
    PlainOverlay plain;
    const bool peerParsed = right && ParsePlainOverlay(first, plain);
    const bool peerWrites = peerParsed && EmitPlainOverlay(plain) == first;
    const std::vector<CSize> measured = peerParsed ? MeasurePlainLabels(plain) : std::vector<CSize>();
    size_t labels = 0;
    size_t sameSize = 0;
    for (CQvGObject* obj : reread.GetMainObjList())
        for (CQvGObject* label : obj->GetLabels()) {
            const _RPOINT* corners = label->GetPoint();
            const CSize size(static_cast<int>(corners[1].x - corners[0].x),
                             static_cast<int>(corners[1].y - corners[0].y));
            sameSize += labels < measured.size() && measured[labels] == size;
            ++labels;
        }
    const bool peerMeasures = labels == static_cast<size_t>(count) && measured.size() == labels && sameSize == labels;
    std::printf("stream: %zu bytes for %d objects, %s; the plain writer %s, the plain reader measures %zu of %zu "
                "labels alike\n",
                first.size(), count, right ? "read back and written again byte for byte" : "WRONG",
                peerWrites ? "gives the same bytes" : "gives OTHER bytes", sameSize, labels);
    return right && peerWrites && peerMeasures;
}

void BM_WriteOverlay(benchmark::State& state)
{
    CQvGObjectContainer& overlay = ScatteredOverlay(kManyObjects);
    UniqueFile file;
    for (auto _ : state) {
        std::rewind(file.file);
        if (!overlay.Write(file.file))
            state.SkipWithError("write failed");
        std::fflush(file.file);
    }
}

void BM_WriteOverlay_PeerPlainWriter(benchmark::State& state)
{
    PlainOverlay plain;
    ParsePlainOverlay(StreamOf(kManyObjects), plain);
    UniqueFile file;
    for (auto _ : state) {
        std::rewind(file.file);
        const std::vector<unsigned char> bytes = EmitPlainOverlay(plain);
        if (std::fwrite(bytes.data(), 1, bytes.size(), file.file) != bytes.size())
            state.SkipWithError("write failed");
        std::fflush(file.file);
    }
}

// Reading an overlay again (its label texts are measured already, as when a document is reopened), or for the
// first time: state.range(1) nonzero empties the thread's text cache before every read.
void ForgetMeasuredTexts(const benchmark::State& state)
{
    if (state.range(1))
        gdi_detail::TextCache::ThisThread().Clear();
}

void BM_ReadOverlay(benchmark::State& state)
{
    const std::vector<unsigned char>& bytes = StreamOf(static_cast<int>(state.range(0)));
    UniqueFile file;
    std::fwrite(bytes.data(), 1, bytes.size(), file.file);
    for (auto _ : state) {
        state.PauseTiming();
        auto reread = std::make_unique<CQvGObjectContainer>();
        std::rewind(file.file);
        ForgetMeasuredTexts(state);
        state.ResumeTiming();
        if (!reread->Read(file.file))
            state.SkipWithError("read failed");
        state.PauseTiming();
        reread.reset();
        state.ResumeTiming();
    }
}

// The peer keeps its file buffer and records from one read to the next, as a reader tuned for speed would: memory
// freed and taken again in these amounts costs more in page faults than the parsing.
void BM_ReadOverlay_PeerPlainReader(benchmark::State& state)
{
    const std::vector<unsigned char>& bytes = StreamOf(static_cast<int>(state.range(0)));
    UniqueFile file;
    std::fwrite(bytes.data(), 1, bytes.size(), file.file);
    std::vector<unsigned char> read(bytes.size());
    PlainOverlay plain;
    ParsePlainOverlay(bytes, plain);
    for (auto _ : state) {
        state.PauseTiming();
        ForgetMeasuredTexts(state);
        state.ResumeTiming();
        std::rewind(file.file);
        if (std::fread(read.data(), 1, read.size(), file.file) != read.size() || !ParsePlainOverlay(read, plain))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(MeasurePlainLabels(plain));
    }
}

// The same plain reader handing each read's records to its caller, as a reader that builds a new document must:
// a fresh buffer and fresh records every time.
void BM_ReadOverlay_PeerPlainReaderFresh(benchmark::State& state)
{
    const std::vector<unsigned char>& bytes = StreamOf(static_cast<int>(state.range(0)));
    UniqueFile file;
    std::fwrite(bytes.data(), 1, bytes.size(), file.file);
    for (auto _ : state) {
        state.PauseTiming();
        ForgetMeasuredTexts(state);
        state.ResumeTiming();
        auto read = std::make_unique<std::vector<unsigned char>>(bytes.size());
        auto plain = std::make_unique<PlainOverlay>();
        std::rewind(file.file);
        if (std::fread(read->data(), 1, read->size(), file.file) != read->size() || !ParsePlainOverlay(*read, *plain))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(MeasurePlainLabels(*plain));
        state.PauseTiming();
        plain.reset();
        read.reset();
        state.ResumeTiming();
    }
}

constexpr int kRepetitions = 9;

void Shape(benchmark::internal::Benchmark* b, benchmark::TimeUnit unit)
{
    b->Unit(unit)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
}

void Register()
{
    Shape(benchmark::RegisterBenchmark("BM_PaintLinesWithLabels", BM_PaintLinesWithLabels)
              ->Arg(1000)
              ->Arg(kManyObjects),
          benchmark::kMillisecond);
    Shape(benchmark::RegisterBenchmark("BM_PaintLinesWithLabels_PeerReplay", BM_PaintLinesWithLabels_PeerReplay)
              ->Arg(1000)
              ->Arg(kManyObjects),
          benchmark::kMillisecond);
    Shape(benchmark::RegisterBenchmark("BM_PaintMixedOverlay", BM_PaintMixedOverlay), benchmark::kMillisecond);
    Shape(benchmark::RegisterBenchmark("BM_PaintMixedOverlay_PeerReplay", BM_PaintMixedOverlay_PeerReplay),
          benchmark::kMillisecond);
    Shape(benchmark::RegisterBenchmark("BM_PaintTarget", BM_PaintTarget), benchmark::kMillisecond);
    Shape(benchmark::RegisterBenchmark("BM_PaintTarget_PeerReplay", BM_PaintTarget_PeerReplay),
          benchmark::kMillisecond);
    for (bool bottomMost : {true, false}) {
        const std::string where = bottomMost ? "/BottomMost" : "/Empty";
        Shape(benchmark::RegisterBenchmark(("BM_HitTestClick" + where).c_str(), BM_HitTestClick, bottomMost)
                  ->Arg(1000)
                  ->Arg(kManyObjects)
                  ->Arg(kMostObjects),
              benchmark::kMicrosecond);
        Shape(benchmark::RegisterBenchmark(("BM_HitTestClick_PeerFlatBoxes" + where).c_str(),
                                           BM_HitTestClick_PeerFlatBoxes, bottomMost)
                  ->Arg(1000)
                  ->Arg(kManyObjects)
                  ->Arg(kMostObjects),
              benchmark::kMicrosecond);
    }
    Shape(benchmark::RegisterBenchmark("BM_HitTestMixedOverlay", BM_HitTestMixedOverlay), benchmark::kMicrosecond);
    Shape(benchmark::RegisterBenchmark("BM_HitTestMixedOverlay_PeerFlatBoxes", BM_HitTestMixedOverlay_PeerFlatBoxes),
          benchmark::kMicrosecond);
    Shape(benchmark::RegisterBenchmark("BM_WriteOverlay", BM_WriteOverlay), benchmark::kMillisecond);
    Shape(benchmark::RegisterBenchmark("BM_WriteOverlay_PeerPlainWriter", BM_WriteOverlay_PeerPlainWriter),
          benchmark::kMillisecond);
    for (auto [name, read] : {std::pair{"BM_ReadOverlay", &BM_ReadOverlay},
                              std::pair{"BM_ReadOverlay_PeerPlainReader", &BM_ReadOverlay_PeerPlainReader},
                              std::pair{"BM_ReadOverlay_PeerPlainReaderFresh", &BM_ReadOverlay_PeerPlainReaderFresh}})
        Shape(benchmark::RegisterBenchmark(name, read)
                  ->ArgNames({"objects", "cold"})
                  ->ArgsProduct({{kManyObjects, kMostObjects}, {0, 1}}),
              benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv)
{
    // Memory freed between iterations stays with the process: given back and faulted in again it costs more than
    // what is timed (on a busy virtual machine, tens of microseconds a page), and it would be timed only where a
    // case frees while paused.
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    mallopt(M_MMAP_THRESHOLD, std::numeric_limits<int>::max());
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Qt takes the numeric locale from the environment; stored numbers and printed figures use a point.
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    if (!PaintingIsRight() || !HitTestingIsRight() || !StreamIsRight(kManyObjects) || !StreamIsRight(kMostObjects)) {
        std::fprintf(stderr, "the overlay or a peer gave a wrong result; not timing them\n");
        return EXIT_FAILURE;
    }
    Register();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
