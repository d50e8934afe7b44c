// What the two point-picked angle measurements share: line A = points 0-1 and a line B whose first point depends
// on the shape (the 2-line angle's separate line 2-3, the 3-point angle's second arm 1-2), the inner flag (1: the
// angle between the rays, 0 to 180 degrees; 0: 360 minus it) that the Angle page edits and the object record
// carries after the base record, the creation that finishes on the click after the last point, the rubber-band
// drawing and the hit bands. Only Angle is computed. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectPolyLine.h"

class VISTREL_EXPORT CQvGObjectPickedAngle : public CQvGObjectPolyLine
{
public:
    // Line A, then line B once all its points are placed; when finished, the arc of the measured angle.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Appends the point; the click after the last point finishes.
    int AddPoint(CPoint point) override;
    // Finished with exactly its points. Finished by the container (right click) while the last point still
    // follows the mouse, that point becomes the last one, so both ways give the same shape and labels.
    void Finish() override;
    // Finishes only when it could be finished by the container.
    void Cancel() override;
    // Exactly the shape's points, the last one following the mouse.
    int CanFinish() override { return m_pointCount == PointsNeeded(); }
    // The hit bands of line A and, once placed, line B.
    int GetHitTestRgn(CRgn& rgn) override;
    int CanDragAddPoint() override { return 0; }
    // The sheet with the Angle page; on OK its choice becomes the inner flag. 1 on OK, else 0 (flag unchanged).
    int SpecificProperty(QWidget* parent) override;
    // Angle only.
    void SetCalType() override;
    // Angle in degrees once the shape has all its points (during creation the last one follows the mouse).
    int GetCalData(tagCAL_DATA& data, int subItem) override;
    // The inner flag kept with the drawing defaults of the angles.
    void LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults) override;
    void StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const override;

    // The Angle page of the object's property sheet (run through the container's sheet runner, which is handed
    // this object) shows and sets the flag through these.
    int32_t GetInnerFlag() const { return m_innerFlag; }
    void SetInnerFlag(int32_t inner) { m_innerFlag = inner; }

    CQvGObjectPickedAngle& operator=(const CQvGObjectPickedAngle& other)
    {
        CQvGObject::operator=(other);
        m_innerFlag = other.m_innerFlag;
        return *this;
    }

protected:
    // After the base record, the inner flag as one int, whatever the version.
    int ReadShapeFields(LeReader& in, float version) override;
    void WriteShapeFields(LeWriter& out) override;

    // Inner flag 1.
    CQvGObjectPickedAngle() = default;

    // Points of the finished shape.
    virtual int PointsNeeded() const = 0;
    // Index of line B's first point.
    virtual int LineBStart() const = 0;
    // The angle between the rays of the two lines with the inner flag, in degrees.
    virtual double MeasureAngle() const = 0;
    // The arc's radius in window pixels, -1 for the distance to the nearer segment middle.
    virtual int ArcRadius(float ratio) const = 0;

    int32_t m_innerFlag = 1;
};
