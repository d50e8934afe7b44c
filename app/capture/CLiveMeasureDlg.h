// The modeless live-measurement window (186): a document and view of its own that show live video, on which the
// user measures. The main frame shows it (command 32916); closing it removes it and stops live video.
// UI thread.
#pragma once

#include <QDialog>

#include <memory>

class CMainFrame;
class CVistrelApp;
class CVistrelDoc;
class CVistrelView;
class DocumentRegistry;

class CLiveMeasureDlg : public QDialog
{
public:
    CLiveMeasureDlg(CVistrelApp& app, QWidget* parent);
    ~CLiveMeasureDlg() override;

    CVistrelDoc* Document() const { return m_document.get(); }
    CVistrelView* View() const { return m_view; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<CVistrelDoc> m_document;
    CVistrelView* m_view = nullptr;
};

// The frame's command: nothing while the window is shown; otherwise a live view in a child frame is closed, and
// the window made when missing and shown. Returns the window.
CLiveMeasureDlg* ShowLiveMeasureWindow(CVistrelApp& app, DocumentRegistry& documents, CMainFrame& frame);
