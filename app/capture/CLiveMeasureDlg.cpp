#include "capture/CLiveMeasureDlg.h"

#include "capture/ImageCapture.h"
#include "core/CVistrelApp.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "view/CVistrelView.h"
#include "view/LiveFeed.h"

#include <QPointer>
#include <QResizeEvent>

CLiveMeasureDlg::CLiveMeasureDlg(CVistrelApp& app, QWidget* parent)
    : QDialog(parent), m_document(std::make_unique<CVistrelDoc>())
{
    setObjectName(QStringLiteral("186"));
    setAttribute(Qt::WA_DeleteOnClose);
    const std::string title = CaptureString(capstr::IDS_LIVE_MEASURE);
    setWindowTitle(QString::fromStdString(title));
    m_document->SetTitle(title);
    m_view = new CVistrelView(m_document.get(), this);
    m_document->AddView(m_view);
    m_view->setGeometry(rect());
    AttachActivePlugIns(m_document.get());

    if (IAcquireHost* host = app.AcquireHost()) {
        SetHostSizedPicture(*host, *m_document);
        StartLiveVideo(*host, *m_view, true);
    }
    m_view->OnInitialUpdate();
    if (GetZoomFitMode() && !m_view->IsZoomFit())
        m_view->ToggleZoomFit();
}

CLiveMeasureDlg::~CLiveMeasureDlg()
{
    // The plug-ins attached to the window's document go back to the plug-in manager first (their views sit on
    // this window's view); then the view stops live video and leaves the document before the document goes.
    m_document->OnCloseDocument();
    delete m_view;
    m_view = nullptr;
}

void CLiveMeasureDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_view)
        m_view->setGeometry(0, 0, event->size().width(), event->size().height());
}

CLiveMeasureDlg* ShowLiveMeasureWindow(CVistrelApp& app, DocumentRegistry& documents, CMainFrame& frame)
{
    static QPointer<CLiveMeasureDlg> window;
    if (window && window->isVisible())
        return window;
    if (CVistrelView* live = app.FindLiveView())
        if (CVistrelDoc* doc = live->GetDocument(); doc && doc->GetChildFrame())
            documents.CloseDocument(doc);
    if (!window)
        window = new CLiveMeasureDlg(app, &frame);
    window->resize(640, 480);
    window->show();
    return window;
}
