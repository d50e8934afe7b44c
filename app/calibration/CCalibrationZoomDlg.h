// The calibration zoom window (titled "Zoom"): a small window inside the image view that holds one magnifier over the
// view's display window, so the ends of the calibration line can be placed to the pixel. UI thread.
#pragma once

#include <QDialog>

class CImageDispWnd;
class CZoomViewWnd;

class CCalibrationZoomDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDistanceFromCorner = 20;

    // A child window of `parent` (the view), not a window of its own.
    explicit CCalibrationZoomDlg(QWidget* parent);

    void Attach(CImageDispWnd* window);
    // The magnifier takes the overlay's objects again.
    void Refresh();
    // Its bottom-right corner 20 pixels inside the parent's, size unchanged.
    void PlaceInParent();
    CZoomViewWnd* Magnifier() const { return m_magnifier; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CZoomViewWnd* m_magnifier = nullptr;
};
