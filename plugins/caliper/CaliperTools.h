// The caliper's drawing objects, which live in the pixels of the working copy, not in the program's overlay: the
// measuring line and circle the user draws, the text label every object gets, and the edge marker ("tag") the
// session puts at each edge found. Coordinates are image pixels, x to the right, y downwards; angles are radians
// measured with y upwards. The objects are owned by their list (CCaliperToolList); UI thread only.
#pragma once

#include "types/ColorRef.h"
#include "types/WinGeometry.h"
#include "types/WinRecords.h"

#include <QImage>
#include <QRegion>

#include <string>
#include <vector>

class CCaliperToolList;
class CDC;

namespace caliper {

// Object kinds: the codes the factory, the styles and the name table share.
enum ToolKind { kLineTool = 0, kRectKind = 1, kCircleTool = 2, kPolygonKind = 3, kLabelKind = 4, kTagKind = 5 };
constexpr int kToolKinds = 7;

// The samples of a line from p0 to p1: one pixel of length per step, the running position a double, both ends
// included when the last step lands on them; consecutive samples may repeat a pixel.
std::vector<CPoint> LineSamples(CPoint p0, CPoint p1);

// Moore-neighbour tracing of the pixels of `colour` in `image` (32-bit) from (x, y), the start pixel first; at
// most 65535 points.
std::vector<CPoint> TraceContour(const QImage& image, QRgb colour, int x, int y);

// The outline of the ellipse inscribed in `box` (left/top inclusive, right/bottom exclusive, as GDI draws it)
// clipped to an image of width x height, starting on its top row; none when the box is too flat.
std::vector<CPoint> EllipseSamples(const CRect& box, int width, int height);

}  // namespace caliper

// The look each object copies from its list at creation.
struct CToolStyle
{
    COLORREF pen = RGB(255, 0, 0);
    int penWidth = 1;
    int filled = 0;
    COLORREF fill = 0x00FF00;
    int showLabel = 0;
    COLORREF labelText = 0xFF0000;
    LOGFONTA font = DefaultFont();

    static LOGFONTA DefaultFont();
};

class CCaliperTool
{
public:
    enum State { kEmpty = 0, kFirstPoint = 1, kComplete = 2 };

    CCaliperTool(CCaliperToolList& owner, int kind) : m_owner(owner), m_kind(kind) {}
    virtual ~CCaliperTool() = default;
    CCaliperTool(const CCaliperTool&) = delete;
    CCaliperTool& operator=(const CCaliperTool&) = delete;

    int Kind() const { return m_kind; }
    int State() const { return m_state; }
    bool IsComplete() const { return m_state == kComplete; }
    int Id() const { return m_id; }
    void SetId(int id) { m_id = id; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    CToolStyle& Style() { return m_style; }
    const CToolStyle& Style() const { return m_style; }
    CCaliperTool* Label() const { return m_label; }
    void SetLabel(CCaliperTool* label) { m_label = label; }
    CCaliperTool* Parent() const { return m_parent; }
    void SetParent(CCaliperTool* parent) { m_parent = parent; }
    bool IsSelected() const { return m_selected; }
    const std::vector<CPoint>& Points() const { return m_points; }
    const QRegion& Region() const { return m_region; }
    int GrabbedHandle() const { return m_grabbed; }

    // Places the next point; -1 when complete, else the number of points.
    virtual int AddPoint(int x, int y);
    virtual void UpdateRegion() {}
    virtual void MoveHandle(int index, int x, int y);
    // Shrinks the delta so that every point stays inside the owner's image; 0 when it had to.
    virtual int ClampMove(CSize& delta) const;
    virtual void Move(int dx, int dy);
    virtual void Select(bool selected) { m_selected = selected; }
    virtual int HitPoint(int x, int y) const { return m_region.contains(QPoint(x, y)) ? 1 : 0; }
    // 1 when a point lies in the rectangle (that point becomes the grabbed handle) or the region meets it.
    virtual int HitRect(const CRect& rect);
    virtual void CreateLabel();
    virtual void Draw(CDC& dc);
    void DrawHandles(CDC& dc) const;
    void DrawLabel(CDC& dc) const;
    virtual double Direction(int x, int y) const;
    virtual std::vector<CPoint> Samples() const { return {}; }

protected:
    // The eight handles of the rectangle spanned by two corners: corners and side midpoints clockwise from the
    // top-left.
    void SetRectangleHandles(CPoint a, CPoint b);
    CRect HandleRectangle() const;
    // The pen colour of the style, width and solid, selected into dc for the duration of a drawing.
    CCaliperToolList& m_owner;
    int m_kind;
    int m_state = kEmpty;
    CToolStyle m_style;
    std::vector<CPoint> m_points;
    QRegion m_region;

private:
    CCaliperTool* m_label = nullptr;
    CCaliperTool* m_parent = nullptr;
    std::string m_name;
    int m_id = 0;
    bool m_selected = false;
    int m_grabbed = -1;
};

class CCaliperLineTool : public CCaliperTool
{
public:
    explicit CCaliperLineTool(CCaliperToolList& owner, int kind = caliper::kLineTool) : CCaliperTool(owner, kind) {}
    int AddPoint(int x, int y) override;
    void UpdateRegion() override;
    void Draw(CDC& dc) override;
    double Direction(int x, int y) const override;
    std::vector<CPoint> Samples() const override;
};

class CCaliperCircleTool : public CCaliperTool
{
public:
    explicit CCaliperCircleTool(CCaliperToolList& owner) : CCaliperTool(owner, caliper::kCircleTool) {}
    int AddPoint(int x, int y) override;
    void UpdateRegion() override;
    void MoveHandle(int index, int x, int y) override;
    void Draw(CDC& dc) override;
    double Direction(int x, int y) const override;
    std::vector<CPoint> Samples() const override;
};

class CCaliperLabel : public CCaliperTool
{
public:
    explicit CCaliperLabel(CCaliperToolList& owner) : CCaliperTool(owner, caliper::kLabelKind) {}
    // Completes the label at once, its text's box centred on (x, y).
    int AddPoint(int x, int y) override;
    void UpdateRegion() override;
    void MoveHandle(int, int, int) override {}
    void MoveTo(int x, int y);
    void CreateLabel() override {}
    void Draw(CDC& dc) override;
};

// The edge marker: a short stroke from the edge across a line (along the radius of a circle) with its label at the
// far end.
class CCaliperTag : public CCaliperLineTool
{
public:
    explicit CCaliperTag(CCaliperToolList& owner) : CCaliperLineTool(owner, caliper::kTagKind) {}
    void SetGeometry(int x, int y, double angle, int length);
    void CreateLabel() override;
    void Draw(CDC& dc) override;
    std::vector<CPoint> Samples() const override { return {}; }
};
