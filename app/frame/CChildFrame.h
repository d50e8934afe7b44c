// The MDI child frame of an image document. Commands reach the view and document it holds before the child frame
// itself (it handles none of its own). The view and document are set by whoever creates the frame and must be
// cleared (SetCommandTargets(nullptr, nullptr)) or outlive the frame. UI thread.
#pragma once

#include "frame/CCmdTarget.h"

#include <QMdiSubWindow>

#include <functional>

class CChildFrame : public QMdiSubWindow, public CommandMapTarget<CChildFrame>
{
    Q_OBJECT

public:
    explicit CChildFrame(QWidget* parent = nullptr);

    void SetCommandTargets(CCmdTarget* view, CCmdTarget* document);
    CCmdTarget* ViewTarget() const { return m_view; }
    CCmdTarget* DocumentTarget() const { return m_document; }

    // Runs after every move of any child frame: a live display of the acquisition host follows the window.
    static void SetMovedHook(std::function<void(CChildFrame*)> hook);

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    CCmdTarget* m_view = nullptr;
    CCmdTarget* m_document = nullptr;
};
