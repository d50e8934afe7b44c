// Where the objects of an overlay can be hit: for each object its reach, the box outside which no rectangle hits
// it (the box of its hit region and of its labels' regions), kept in a grid of image cells, so that a click
// builds hit regions only for the few objects whose reach it meets. Internal to the container. UI thread only.
//
// Contract: the index is rebuilt from the object list on the first query after MarkStale, ForgetAll or a change
// it notices itself: another size or other first or last object in the list; or other points or label boxes than
// when its reach was taken, of an object as it is painted (Recheck) or of one of the last kWatched objects handed
// out to callers (Watch), at every query. A rebuild keeps the region boxes of objects whose points are unchanged
// (building regions is the costly part) and takes every label box afresh. Whoever changes objects in other ways (properties, shape settings) calls Forget or
// ForgetAll, and MarkStale for a change of the list, before the next query; Removed is called for an object
// before it is deleted.
#pragma once

#include "gobjects/CQvGObjectContainer.h"

#include "types/WinGeometry.h"

#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

class GObjectHitIndex
{
public:
    // The list or some objects changed: the next query rebuilds.
    void MarkStale() { m_stale = true; }
    // The object changed: its reach is taken afresh on the next query.
    void Forget(const CQvGObject* obj);
    // The object is about to be deleted.
    void Removed(const CQvGObject* obj);
    // A caller was given the object and may change it through its own calls: it is checked at every query (the
    // last kWatched objects given out are).
    void Watch(CQvGObject* obj);
    static constexpr size_t kWatched = 64;
    // Every reach is taken afresh (the zoom ratio, the canvas or the whole overlay changed).
    void ForgetAll();

    // For an object just painted or given a new value label, at `position` in the list (0 the bottom): an
    // object that is not where the index has it, or has other points or label boxes than when its reach was
    // taken, makes the index stale.
    void Recheck(size_t position, CQvGObject* obj);

    struct Candidate
    {
        CQvGObject* obj;
        int64_t position;  // in the list, 0 the bottom
    };
    // The objects of `objects` whose reach meets rect (image pixels, normalised, not empty), topmost first.
    const std::vector<Candidate>& Candidates(const GObjectList& objects, const CRect& rect);
    // Where obj is in the list as of the last query; -1 when it is not there. `hint` is where it was before.
    int64_t PositionOf(const CQvGObject* obj, int64_t hint) const;

private:
    struct Reach
    {
        uint64_t fingerprint = 0;
        CRect shape;               // box of the hit region, empty for none
        CRect labels;              // boxes of the labels' regions
        CRect Union() const;
    };

    void Rebuild(const GObjectList& objects);
    // Whether obj, at `position`, has the fingerprint it had when its reach was taken.
    bool Unchanged(size_t position, const CQvGObject* obj) const;
    void BuildGrid();
    // The object's shape, kind and points, and its labels' points.
    static uint64_t Fingerprint(const CQvGObject* obj);
    static CRect ShapeReach(CQvGObject* obj);
    static CRect LabelsReach(const CQvGObject* obj);

    bool m_stale = true;
    bool m_forgetAll = true;
    std::unordered_set<const CQvGObject*> m_forgotten;

    // As of the last rebuild, bottom first.
    std::vector<CQvGObject*> m_objects;
    std::vector<Reach> m_reach;
    std::vector<CRect> m_boxes;  // m_reach[i].Union(), inflated by a pixel
    size_t m_listSize = 0;
    const CQvGObject* m_front = nullptr;
    const CQvGObject* m_back = nullptr;

    // The grid: cells of m_cell pixels from cell (m_originX, m_originY), each listing the objects whose box meets it (ascending
    // positions); objects reaching over many cells are listed once in m_wide instead.
    int64_t m_cell = 64;
    int64_t m_originX = 0;
    int64_t m_originY = 0;
    int64_t m_columns = 0;
    int64_t m_rows = 0;
    std::vector<uint32_t> m_cellStart;  // m_columns x m_rows + 1 offsets into m_cellObjects
    std::vector<uint32_t> m_cellObjects;
    std::vector<uint32_t> m_wide;

    std::vector<std::pair<CQvGObject*, int64_t>> m_watched;  // with where each was in the list, oldest first

    std::vector<uint32_t> m_gathered;
    std::vector<Candidate> m_candidates;
};
