// The profile graph of the caliper dialog's overview page: the smoothed grey-level profile of the current tool,
// grey level 0..255 upwards, length along the tool in calibrated units to the right. The view keeps a copy of what
// it draws, taken at each Reload, so it never reaches into a session that may end before it repaints. UI thread.
#pragma once

#include "types/ColorRef.h"

#include <QImage>
#include <QWidget>

#include <string>
#include <vector>

class CaliperMain;

namespace caliper {

// The step of the length scale and its decimals (negative: whole tens). False when the length is not a positive
// finite number: then there is no scale to draw.
bool NiceStep(double length, double& step, int& decimals);
// The scale label of `value` with |decimals| places, trailing zeros and a trailing point removed.
std::string ScaleLabel(double value, int decimals);

}  // namespace caliper

class CProfileView : public QWidget
{
public:
    explicit CProfileView(CaliperMain& main, QWidget* parent = nullptr);

    // Takes the current analyser of the current session (nothing to draw without one) and repaints.
    void Reload();
    // The graph drawn into `image` (its size is the view's).
    void Draw(QImage& image) const;

    QRect GraphArea() const { return m_area; }
    int SampleCount() const { return static_cast<int>(m_profile.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CaliperMain& m_main;
    QRect m_area;
    std::vector<int> m_profile;
    double m_unitsPerPixel = 1.0;
    COLORREF m_curve = 0;
    COLORREF m_grid = 0;
    COLORREF m_frame = 0;
    int m_rangeMax = 255;
};
