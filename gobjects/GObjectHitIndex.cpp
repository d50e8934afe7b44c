#include "gobjects/private/GObjectHitIndex.h"

#include "gobjects/CQvGObject.h"

#include "gdi/CRgn.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <unordered_map>

namespace {

// A cell is about as wide as a typical object, within these bounds (image pixels).
constexpr int64_t kSmallestCell = 16;
constexpr int64_t kLargestCell = int64_t{1} << 24;
// Cells per object at most, and how many cells an object may cover before it is listed apart (a target's
// cross-hair, a line across the image).
constexpr int64_t kCellsPerObject = 2;
constexpr int64_t kWideCells = 16;

uint64_t Mix(uint64_t h, uint64_t v)
{
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

bool Meets(const CRect& a, const CRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

CRect Unite(const CRect& a, const CRect& b)
{
    if (a.IsRectEmpty())
        return b;
    if (b.IsRectEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

// One more pixel all round: the regions' edges are exclusive, the rectangles tested against them may not be.
CRect Widened(const CRect& box)
{
    if (box.IsRectEmpty())
        return box;
    constexpr int kMost = std::numeric_limits<int>::max();
    constexpr int kLeast = std::numeric_limits<int>::min();
    return CRect(box.left > kLeast ? box.left - 1 : box.left, box.top > kLeast ? box.top - 1 : box.top,
                 box.right < kMost ? box.right + 1 : box.right, box.bottom < kMost ? box.bottom + 1 : box.bottom);
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

CRect GObjectHitIndex::Reach::Union() const
{
    return Unite(shape, labels);
}

void GObjectHitIndex::Forget(const CQvGObject* obj)
{
    if (!m_forgetAll)
        m_forgotten.insert(obj);
    m_stale = true;
}

void GObjectHitIndex::Removed(const CQvGObject* obj)
{
    Forget(obj);
    std::erase_if(m_watched, [obj](const auto& watched) { return watched.first == obj; });
}

void GObjectHitIndex::Watch(CQvGObject* obj)
{
    if (!obj)
        return;
    int64_t position = -1;
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it)
        if (it->first == obj) {
            position = it->second;
            m_watched.erase(it);
            break;
        }
    if (m_watched.size() >= kWatched)
        m_watched.erase(m_watched.begin());
    m_watched.emplace_back(obj, position);
}

void GObjectHitIndex::ForgetAll()
{
    m_forgetAll = true;
    m_forgotten.clear();
    m_stale = true;
}

uint64_t GObjectHitIndex::Fingerprint(const CQvGObject* obj)
{
    // A label stores the box it sized itself to in its points: they show a new text or symbol once it has been
    // painted or measured.
    uint64_t h = Mix(static_cast<uint64_t>(obj->GetObjShape()), static_cast<uint64_t>(obj->GetGOType()));
    const int count = std::min(obj->GetPointCount(), obj->GetPointSlots());
    h = Mix(h, static_cast<uint64_t>(count));
    const _RPOINT* points = obj->GetPoint();
    for (int i = 0; i < count; ++i) {
        h = Mix(h, std::bit_cast<uint64_t>(points[i].x));
        h = Mix(h, std::bit_cast<uint64_t>(points[i].y));
    }
    for (const CQvGObject* label : obj->GetLabels())
        h = Mix(h, Fingerprint(label));
    return Mix(h, static_cast<uint64_t>(obj->GetLabelCount()));
}

CRect GObjectHitIndex::ShapeReach(CQvGObject* obj)
{
    // A shape that gives its hit bounds promises its region inside them; for the others the region is built.
    const CRect bounds = obj->GetHitBounds();
    if (!bounds.IsRectEmpty())
        return bounds;
    CRgn region;
    RECT box{};
    if (!obj->GetHitTestRgn(region) || region.GetRgnBox(&box) == RGN_ERROR)
        return CRect();
    return CRect(box.left, box.top, box.right, box.bottom);
}

CRect GObjectHitIndex::LabelsReach(const CQvGObject* obj)
{
    CRect reach;
    for (CQvGObject* label : obj->GetLabels())
        reach = Unite(reach, Unite(ShapeReach(label), LabelsReach(label)));
    return reach;
}

void GObjectHitIndex::Recheck(size_t position, CQvGObject* obj)
{
    if (m_stale)
        return;
    if (position >= m_objects.size() || m_objects[position] != obj) {
        m_stale = true;
        return;
    }
    // Labels are sized and given their symbols as they are painted, and points may have been moved by anyone.
    if (!Unchanged(position, obj))
        m_stale = true;
}

bool GObjectHitIndex::Unchanged(size_t position, const CQvGObject* obj) const
{
    return Fingerprint(obj) == m_reach[position].fingerprint;
}

void GObjectHitIndex::Rebuild(const GObjectList& objects)
{
    // Region boxes are kept for objects still in the list whose fingerprint is the same; a list that changed
    // only here and there is matched in order, without a table.
    std::vector<CQvGObject*> previousObjects;
    std::vector<Reach> previousReach;
    if (!m_forgetAll) {
        previousObjects.swap(m_objects);
        previousReach.swap(m_reach);
        if (!m_forgotten.empty())
            for (CQvGObject*& obj : previousObjects)
                if (m_forgotten.contains(obj))
                    obj = nullptr;
    }
    std::unordered_map<const CQvGObject*, size_t> previousAt;
    auto findPrevious = [&](const CQvGObject* obj, size_t hint) -> const Reach* {
        if (hint < previousObjects.size() && previousObjects[hint] == obj)
            return &previousReach[hint];
        if (previousAt.empty())
            for (size_t i = 0; i < previousObjects.size(); ++i)
                if (previousObjects[i])
                    previousAt.emplace(previousObjects[i], i);
        const auto found = previousAt.find(obj);
        return found == previousAt.end() ? nullptr : &previousReach[found->second];
    };

    m_objects.clear();
    m_reach.clear();
    m_boxes.clear();
    m_objects.reserve(objects.size());
    m_reach.reserve(objects.size());
    m_boxes.reserve(objects.size());
    size_t hint = 0;
    for (CQvGObject* obj : objects) {
        Reach reach;
        reach.fingerprint = Fingerprint(obj);
        const Reach* previous = findPrevious(obj, hint++);
        reach.shape = previous && previous->fingerprint == reach.fingerprint ? previous->shape : ShapeReach(obj);
        reach.labels = LabelsReach(obj);
        m_objects.push_back(obj);
        m_boxes.push_back(Widened(reach.Union()));
        m_reach.push_back(reach);
    }
    m_listSize = objects.size();
    m_front = objects.empty() ? nullptr : objects.front();
    m_back = objects.empty() ? nullptr : objects.back();
    m_stale = false;
    m_forgetAll = false;
    m_forgotten.clear();
    BuildGrid();
}

void GObjectHitIndex::BuildGrid()
{
    m_cellStart.clear();
    m_cellObjects.clear();
    m_wide.clear();
    m_columns = 0;
    m_rows = 0;

    std::vector<int64_t> extents;
    extents.reserve(m_boxes.size());
    int64_t left = std::numeric_limits<int64_t>::max();
    int64_t top = left;
    int64_t right = std::numeric_limits<int64_t>::min();
    int64_t bottom = right;
    for (const CRect& box : m_boxes) {
        if (box.IsRectEmpty())
            continue;
        extents.push_back(std::max<int64_t>(int64_t{box.right} - box.left, int64_t{box.bottom} - box.top));
        left = std::min<int64_t>(left, box.left);
        top = std::min<int64_t>(top, box.top);
        right = std::max<int64_t>(right, box.right);
        bottom = std::max<int64_t>(bottom, box.bottom);
    }
    if (extents.empty())
        return;

    // Cells about the size of a typical object, and not many more cells than objects.
    const auto middle = extents.begin() + static_cast<std::ptrdiff_t>(extents.size() / 2);
    std::nth_element(extents.begin(), middle, extents.end());
    m_cell = std::clamp<int64_t>(static_cast<int64_t>(std::bit_ceil(static_cast<uint64_t>(*middle))), kSmallestCell,
                                 kLargestCell);
    const int64_t mostCells = kCellsPerObject * static_cast<int64_t>(extents.size()) + 64;
    for (;;) {
        m_originX = FloorDiv(left, m_cell);
        m_originY = FloorDiv(top, m_cell);
        m_columns = FloorDiv(right - 1, m_cell) - m_originX + 1;
        m_rows = FloorDiv(bottom - 1, m_cell) - m_originY + 1;
        if (m_columns * m_rows <= mostCells || m_cell >= kLargestCell)
            break;
        m_cell *= 2;
    }

    // Counted first, then placed: each cell lists its objects in ascending positions.
    auto cellsOf = [this](const CRect& box, int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1) {
        x0 = FloorDiv(box.left, m_cell) - m_originX;
        y0 = FloorDiv(box.top, m_cell) - m_originY;
        x1 = FloorDiv(int64_t{box.right} - 1, m_cell) - m_originX;
        y1 = FloorDiv(int64_t{box.bottom} - 1, m_cell) - m_originY;
        return (x1 - x0 + 1) * (y1 - y0 + 1) <= kWideCells;
    };
    m_cellStart.assign(static_cast<size_t>(m_columns * m_rows) + 1, 0);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        int64_t x0, y0, x1, y1;
        if (m_boxes[i].IsRectEmpty() || !cellsOf(m_boxes[i], x0, y0, x1, y1))
            continue;
        for (int64_t y = y0; y <= y1; ++y)
            for (int64_t x = x0; x <= x1; ++x)
                ++m_cellStart[static_cast<size_t>(y * m_columns + x) + 1];
    }
    for (size_t c = 1; c < m_cellStart.size(); ++c)
        m_cellStart[c] += m_cellStart[c - 1];
    m_cellObjects.resize(m_cellStart.back());
    std::vector<uint32_t> filled(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        int64_t x0, y0, x1, y1;
        if (m_boxes[i].IsRectEmpty())
            continue;
        if (!cellsOf(m_boxes[i], x0, y0, x1, y1)) {
            m_wide.push_back(static_cast<uint32_t>(i));
            continue;
        }
        for (int64_t y = y0; y <= y1; ++y)
            for (int64_t x = x0; x <= x1; ++x)
                m_cellObjects[filled[static_cast<size_t>(y * m_columns + x)]++] = static_cast<uint32_t>(i);
    }
}

const std::vector<GObjectHitIndex::Candidate>& GObjectHitIndex::Candidates(const GObjectList& objects,
                                                                          const CRect& rect)
{
    // A list that changed without a word shows in its size or its ends, an object given out in its points, box
    // or labels.
    if (m_stale || objects.size() != m_listSize ||
        (!objects.empty() && (objects.front() != m_front || objects.back() != m_back)))
        Rebuild(objects);
    bool watchedChanged = false;
    for (auto& [obj, position] : m_watched) {
        position = PositionOf(obj, position);
        watchedChanged = watchedChanged || (position >= 0 && !Unchanged(static_cast<size_t>(position), obj));
    }
    if (watchedChanged) {
        Rebuild(objects);
        for (auto& [obj, position] : m_watched)
            position = PositionOf(obj, position);
    }

    m_gathered.clear();
    m_candidates.clear();
    if (m_columns > 0) {
        const int64_t x0 = std::max<int64_t>(FloorDiv(rect.left, m_cell) - m_originX, 0);
        const int64_t y0 = std::max<int64_t>(FloorDiv(rect.top, m_cell) - m_originY, 0);
        const int64_t x1 = std::min<int64_t>(FloorDiv(int64_t{rect.right} - 1, m_cell) - m_originX, m_columns - 1);
        const int64_t y1 = std::min<int64_t>(FloorDiv(int64_t{rect.bottom} - 1, m_cell) - m_originY, m_rows - 1);
        if (x0 <= x1 && y0 <= y1 && (x1 - x0 + 1) * (y1 - y0 + 1) > static_cast<int64_t>(m_boxes.size())) {
            // A rectangle over more cells than there are objects: every object is looked at once.
            for (size_t i = 0; i < m_boxes.size(); ++i)
                m_gathered.push_back(static_cast<uint32_t>(i));
        } else {
            for (int64_t y = y0; y <= y1; ++y)
                for (int64_t x = x0; x <= x1; ++x) {
                    const size_t cell = static_cast<size_t>(y * m_columns + x);
                    m_gathered.insert(m_gathered.end(), m_cellObjects.begin() + m_cellStart[cell],
                                      m_cellObjects.begin() + m_cellStart[cell + 1]);
                }
            m_gathered.insert(m_gathered.end(), m_wide.begin(), m_wide.end());
        }
    }
    std::sort(m_gathered.begin(), m_gathered.end(), std::greater<>());
    m_gathered.erase(std::unique(m_gathered.begin(), m_gathered.end()), m_gathered.end());
    for (uint32_t i : m_gathered)
        if (Meets(m_boxes[i], rect))
            m_candidates.push_back(Candidate{m_objects[i], i});
    return m_candidates;
}

int64_t GObjectHitIndex::PositionOf(const CQvGObject* obj, int64_t hint) const
{
    if (hint >= 0 && static_cast<size_t>(hint) < m_objects.size() && m_objects[static_cast<size_t>(hint)] == obj)
        return hint;
    const auto found = std::find(m_objects.begin(), m_objects.end(), obj);
    return found == m_objects.end() ? -1 : found - m_objects.begin();
}
