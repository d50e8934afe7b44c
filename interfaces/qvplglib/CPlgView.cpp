#include "qvplglib/CPlgView.h"

#include "qvplglib/CReportListCtrl.h"

#include <QWidget>

CPlgView::CPlgView() = default;

CPlgView::~CPlgView() = default;

int CPlgView::Run()
{
    return 0;
}

void CPlgView::OnUpdatedImage() {}

CReportListCtrl* CPlgView::CreateReportControl(QWidget* /*parent*/)
{
    return nullptr;
}

CReportListCtrl* CPlgView::GetReportControl()
{
    return m_reportControl.data();
}

void CPlgView::OnActivate(int) {}
void CPlgView::OnChar(UINT, UINT, UINT) {}
void CPlgView::OnClose() {}
void CPlgView::OnDestroy() {}
void CPlgView::OnKeyDown(UINT, UINT, UINT) {}
void CPlgView::OnKeyUp(UINT, UINT, UINT) {}
void CPlgView::OnKillFocus(QWidget*) {}
void CPlgView::OnLButtonDblClk(UINT, CPoint) {}
void CPlgView::OnLButtonDown(UINT, CPoint) {}
void CPlgView::OnLButtonUp(UINT, CPoint) {}
void CPlgView::OnMButtonDblClk(UINT, CPoint) {}
void CPlgView::OnMButtonDown(UINT, CPoint) {}
void CPlgView::OnMButtonUp(UINT, CPoint) {}
void CPlgView::OnMouseMove(UINT, CPoint) {}
void CPlgView::OnMouseMoveOnImage(UINT, CPoint) {}
void CPlgView::OnMove(int, int) {}
void CPlgView::OnRButtonDblClk(UINT, CPoint) {}
void CPlgView::OnRButtonDown(UINT, CPoint) {}
void CPlgView::OnRButtonUp(UINT, CPoint) {}

BOOL CPlgView::OnSetCursor(QWidget*, UINT, UINT)
{
    return 0;
}

void CPlgView::OnSetFocus(QWidget*) {}
void CPlgView::OnSize(UINT, int, int) {}
void CPlgView::OnSysChar(UINT, UINT, UINT) {}
void CPlgView::OnTimer(UINT) {}
void CPlgView::OnWindowPosChanged(WINDOWPOS*) {}
void CPlgView::OnWindowPosChanging(WINDOWPOS*) {}

void CPlgView::UpdateCanvasSize()
{
    if (m_host.updateCanvasSize)
        m_host.updateCanvasSize(m_host.viewWindow);
}

QWidget* CPlgView::GetDialogParent() const
{
    return m_host.viewWindow ? m_host.viewWindow->window() : nullptr;
}

void CPlgView::RedrawWindow()
{
    if (m_host.redrawWindow)
        m_host.redrawWindow(m_host.viewWindow);
}

CPoint CPlgView::ClientToImage(CPoint point, int /*reserved*/) const
{
    if (!m_calls.clientToImage)
        return CPoint(-1, -1);
    return m_calls.clientToImage(m_host.viewWindow, point);
}

void CPlgView::Destroy()
{
    if (m_calls.destroyView)
        m_calls.destroyView(this);
}
