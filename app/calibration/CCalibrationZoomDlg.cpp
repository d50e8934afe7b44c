#include "calibration/CCalibrationZoomDlg.h"

#include "core/CalibrationTexts.h"
#include "panels/CZoomViewWnd.h"
#include "view/CImageDispWnd.h"

#include <QResizeEvent>

CCalibrationZoomDlg::CCalibrationZoomDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("185");
    setWindowTitle(CalibrationUiText(calibstr::IDS_ZOOM_TITLE));
    setWindowFlags(Qt::Widget);
    m_magnifier = new CZoomViewWnd(this);
    // Fixed pixels per image pixel with the calibration line drawn in.
    m_magnifier->SetFactor(CZoomViewWnd::kDefaultFactor);
    m_magnifier->SetOverlay(true);
    resize(160, 120);
    m_magnifier->setGeometry(0, 0, width(), height());
    m_magnifier->show();
}

void CCalibrationZoomDlg::Attach(CImageDispWnd* window)
{
    m_magnifier->Attach(window);
}

void CCalibrationZoomDlg::Refresh()
{
    m_magnifier->SyncObjects();
}

void CCalibrationZoomDlg::PlaceInParent()
{
    if (QWidget* parent = parentWidget())
        move(parent->width() - kDistanceFromCorner - width(), parent->height() - kDistanceFromCorner - height());
}

void CCalibrationZoomDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_magnifier->setGeometry(0, 0, event->size().width(), event->size().height());
}
