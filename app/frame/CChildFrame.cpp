#include "frame/CChildFrame.h"

#include "frame/CommandIcons.h"

namespace {

std::function<void(CChildFrame*)>& MovedHook()
{
    static std::function<void(CChildFrame*)> hook;
    return hook;
}

}  // namespace

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The image windows carry the program's icon, not the toolkit's.
    setWindowIcon(CommandIcon("capture"));
}

void CChildFrame::SetCommandTargets(CCmdTarget* view, CCmdTarget* document)
{
    m_view = view;
    m_document = document;
}

void CChildFrame::SetMovedHook(std::function<void(CChildFrame*)> hook) { MovedHook() = std::move(hook); }

void CChildFrame::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    if (MovedHook())
        MovedHook()(this);
}
