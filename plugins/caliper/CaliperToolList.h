// The objects of one session: the user's lines and circles with their labels (CCaliperToolList), and the edge
// markers the session places (CMarkerList). The list creates, selects, moves, deletes and draws its objects; it owns
// them. Mouse input arrives in image pixels with the MK_* flags. UI thread only.
#pragma once

#include "caliper/CaliperTools.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CCaliperToolList
{
public:
    // The creation mode that selects and edits instead of drawing.
    static constexpr int kSelectMode = 8;
    static constexpr int kHitTolerance = 5;
    static constexpr int kHandleSize = 2;
    static constexpr UINT kDeleteKey = 46;

    CCaliperToolList();
    virtual ~CCaliperToolList();
    CCaliperToolList(const CCaliperToolList&) = delete;
    CCaliperToolList& operator=(const CCaliperToolList&) = delete;

    // Makes an object of kind 0, 2, 4 or 5 with the list's style, the next id and the next name of its kind; none
    // for another kind.
    CCaliperTool* Create(int kind);
    // Deletes the object (its label with it) if it is still in the list.
    void Delete(int id);
    void DeleteAll();

    // Back to select mode with fresh name counters; the objects and ids stay.
    void Reset();
    void SetImageSize(int width, int height);
    int ImageWidth() const { return m_width; }
    int ImageHeight() const { return m_height; }
    bool Clamps() const { return m_clamp; }
    void SetPenColour(COLORREF colour);
    void SetLabelColour(COLORREF colour);
    void ReapplyStyles();
    CToolStyle& StyleOf(int kind) { return m_styles.at(static_cast<size_t>(kind)); }

    int Mode() const { return m_mode; }
    // 0 when unchanged, or when a half-drawn object had to be dropped (the new mode holds at once all the same).
    int SetMode(int mode);

    int MouseDown(UINT flags, int x, int y);
    int MouseMove(UINT flags, int x, int y);
    void MouseUp(UINT flags, int x, int y);
    void KeyDown(UINT key);
    void Draw(CDC& dc);

    CCaliperTool* Find(int id) const;
    CCaliperTool* Current() const { return m_current; }
    int Count() const { return static_cast<int>(m_objects.size()); }
    CCaliperTool* At(int index) const { return m_objects.at(static_cast<size_t>(index)).get(); }
    const std::vector<int>& SelectedIds() const { return m_selection; }
    CPoint CurrentPosition() const { return m_currentPos; }
    bool RubberBandActive() const { return m_rubberBand; }
    // Ids of the lines and circles.
    std::vector<int> ToolIds() const;

private:
    void ClearSelection();
    void SelectOnly(CCaliperTool* object);
    CRect HitSquare(int x, int y) const;

    bool m_clamp = false;
    int m_width = 0;
    int m_height = 0;
    std::array<CToolStyle, caliper::kToolKinds> m_styles{};
    std::vector<std::unique_ptr<CCaliperTool>> m_objects;
    int m_nextId = 0;
    std::array<int, caliper::kToolKinds> m_nameCounters{};
    int m_mode = kSelectMode;
    CCaliperTool* m_current = nullptr;
    CPoint m_lastPos;
    CPoint m_currentPos;
    bool m_rubberBand = false;
    std::vector<int> m_selection;
};

// The edge markers, grouped by the tool they mark.
class CMarkerList : public CCaliperToolList
{
public:
    CCaliperTag* AddMarker(int toolId, int x, int y, const std::string& text, double angle);
    void RemoveMarkers(int toolId);
    // The markers of a tool, in the order they were added.
    std::vector<CCaliperTag*> Markers(int toolId) const;

private:
    struct Group
    {
        int toolId;
        std::vector<int> markerIds;
    };
    std::vector<Group> m_groups;
};
