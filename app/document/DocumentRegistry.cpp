#include "document/DocumentRegistry.h"

#include "core/ProgramServices.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "document/DocumentStrings.h"
#include "document/DocumentView.h"
#include "document/FileFailureTexts.h"
#include "document/NativeFile.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "gdi/CDC.h"
#include "qvcodec/CQvImageCodec.h"
#include "qvimage/QvImageViews.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

DocumentRegistry* g_instance = nullptr;

// Set on a child frame whose document is already being closed, so that closing the frame asks nothing more.
constexpr const char* kClosingProperty = "vistrelDocumentClosing";

QImage RenderDocument(CVistrelDoc& doc, bool withOverlay)
{
    CQvImage& image = doc.GetImage();
    if (image.IsEmpty())
        return QImage();
    QImage picture = QvImageToQImage(image).convertToFormat(QImage::Format_RGB32);
    if (!withOverlay || picture.isNull())
        return picture;
    CDC dc(picture);
    for (CQvGObjectContainer* overlay :
         {static_cast<CQvGObjectContainer*>(&doc.GetGObjectContainer()),
          static_cast<CQvGObjectContainer*>(&doc.GetRegionContainer())}) {
        // Drawn one to one, whatever the window's zoom and scroll are.
        const float ratio = overlay->GetRatio();
        const CPoint origin = overlay->GetRelative();
        overlay->SetRatio(1.0f);
        overlay->SetRelative(CPoint(0, 0));
        overlay->Draw(&dc, CQvGObjectContainer::kDrawAll);
        overlay->SetRatio(ratio);
        overlay->SetRelative(origin);
    }
    return picture;
}

}  // namespace

DocumentRegistry::DocumentRegistry(CQvImageCodec* codec, ProgramServices* program)
    : m_codec(codec), m_program(program), m_previousInstance(g_instance)
{
    g_instance = this;
}

DocumentRegistry::~DocumentRegistry()
{
    if (g_instance == this)
        g_instance = m_previousInstance;
    if (m_frame)
        m_frame->Hooks().closeDocuments = nullptr;
    for (const QPointer<CVistrelDoc>& doc : m_closed)
        delete doc.data();
    std::vector<CVistrelDoc*> open;
    open.swap(m_documents);
    for (CVistrelDoc* doc : open) {
        if (QMdiSubWindow* child = doc->GetChildFrame())
            child->removeEventFilter(this);
        // Views still showing it let go before it goes.
        doc->OnCloseDocument();
        delete doc;
    }
}

DocumentRegistry* DocumentRegistry::Instance()
{
    return g_instance;
}

CQvImageCodec* DocumentRegistry::Codec() const
{
    if (m_codec)
        return m_codec;
    ProgramServices* program = m_program ? m_program : TheProgram();
    return program ? &program->Codec() : nullptr;
}

void DocumentRegistry::AttachMainFrame(CMainFrame* frame)
{
    if (m_frame) {
        m_frame->removeEventFilter(this);
        m_frame->Hooks().closeDocuments = nullptr;
        disconnect(m_frame->MdiArea(), nullptr, this, nullptr);
        disconnect(m_frame, nullptr, this, nullptr);
    }
    m_frame = frame;
    if (!frame)
        return;
    connect(frame, &QObject::destroyed, this, [this, frame] {
        if (m_frame == frame)
            m_frame = nullptr;
    });
    frame->setAcceptDrops(true);
    frame->installEventFilter(this);
    frame->Hooks().closeDocuments = [this] { return CloseAllDocuments(); };
    // Told by the frame that became active: the main frame may be on its way out when the last one goes.
    connect(frame->MdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        auto* child = qobject_cast<CChildFrame*>(window);
        auto* doc = child ? dynamic_cast<CVistrelDoc*>(child->DocumentTarget()) : nullptr;
        const bool open = std::find(m_documents.begin(), m_documents.end(), doc) != m_documents.end();
        emit ActiveDocumentChanged(open ? doc : nullptr);
    });
}

// ---- making and opening

CVistrelDoc* DocumentRegistry::NewDocument(const std::string& title)
{
    auto* doc = new CVistrelDoc(m_program ? m_program : TheProgram());
    m_documents.push_back(doc);
    connect(doc, &CVistrelDoc::Closing, this, [this, doc] { OnDocumentClosing(doc); });

    if (title.empty())
        doc->SetTitle(DocumentString(docstr::IDS_UNTITLED) + std::to_string(++m_untitledCount));
    else
        doc->SetTitle(title);

    if (m_frame) {
        CCmdTarget* viewTarget = nullptr;
        QWidget* view = CreateDocumentView(*doc, viewTarget);
        CChildFrame* child = m_frame->AddChildFrame(view, viewTarget, doc);
        child->setWindowTitle(QString::fromStdString(doc->GetTitle()));
        child->installEventFilter(this);
        doc->SetChildFrame(child);
        connect(doc, &CVistrelDoc::TitleChanged, child, &QWidget::setWindowTitle);
    }
    emit DocumentOpened(doc);
    return doc;
}

CVistrelDoc* DocumentRegistry::OpenDocumentFile(const std::string& path)
{
    if (path.empty())
        return nullptr;
    if (CVistrelDoc* open = FindDocument(path))
        return open;

    // By the extension, whatever its case: "NAME.QRX" is a native file, "a.qrx.jpg" a picture.
    if (IsNativeFilePath(path)) {
        if (m_nativeOpener)
            return m_nativeOpener(path);
        AfxMessageBox(CannotOpenMessage(path, QvCodecReadFailure::None));
        return nullptr;
    }

    // The document appears only once its image is in hand, so a file that cannot be read leaves nothing behind.
    CQvImage image;
    QvCodecReadNote note;
    CQvImageCodec* codec = Codec();
    if (!codec || codec->Read(path.c_str(), &image, nullptr, 0, -1, -1, &note) != 1) {
        AfxMessageBox(CannotOpenMessage(
            path, codec ? codec->WhyReadFails(path.c_str(), nullptr, 0) : QvCodecReadFailure::None));
        return nullptr;
    }
    CVistrelDoc* doc = NewDocument(QFileInfo(QString::fromStdString(path)).fileName().toStdString());
    doc->SetPathName(path, true);
    doc->SetImage(path, std::move(image));
    if (note.reduced && note.fileBits > 8) {
        // Shown at fewer bits than the file holds: said once, here, and Save asks before it overwrites the file.
        doc->SetFileSampleBits(note.fileBits);
        AfxMessageBox(Format(DocumentString(docstr::IDS_OPENED_REDUCED).c_str(), path.c_str(), note.fileBits),
                      MB_OK | MB_ICONINFORMATION);
    }
    AttachActivePlugIns(doc);
    return doc;
}

CVistrelDoc* DocumentRegistry::FindDocument(const std::string& path)
{
    for (CVistrelDoc* doc : m_documents)
        if (doc->GetPathName() == path) {
            ActivateDocument(doc);
            return doc;
        }
    return nullptr;
}

// ---- queries

CVistrelDoc* DocumentRegistry::GetActiveDocument() const
{
    if (!m_frame)
        return nullptr;
    CChildFrame* child = m_frame->ActiveChildFrame();
    if (!child)
        return nullptr;
    auto* doc = dynamic_cast<CVistrelDoc*>(child->DocumentTarget());
    return std::find(m_documents.begin(), m_documents.end(), doc) != m_documents.end() ? doc : nullptr;
}

void DocumentRegistry::ActivateDocument(CVistrelDoc* doc)
{
    if (!m_frame || !doc || !doc->GetChildFrame())
        return;
    m_frame->MdiArea()->setActiveSubWindow(doc->GetChildFrame());
}

CVistrelView* DocumentRegistry::FindLiveView()
{
    // The live-measurement window's document has no child frame of its own, so it is not among ours.
    for (CVistrelDoc* doc : CVistrelDoc::AllDocuments())
        if (doc->IsLive())
            return doc->GetImageView();
    return nullptr;
}

void DocumentRegistry::ClearAllSelections()
{
    for (CVistrelDoc* doc : m_documents)
        doc->ClearSelections();
}

std::vector<OpenTitleEntry> DocumentRegistry::GetOpenTitles(CVistrelDoc* active)
{
    std::vector<CVistrelDoc*> order;
    if (std::find(m_documents.begin(), m_documents.end(), active) != m_documents.end())
        order.push_back(active);
    for (CVistrelDoc* doc : m_documents)
        if (doc != active)
            order.push_back(doc);

    std::vector<OpenTitleEntry> entries;
    for (CVistrelDoc* doc : order) {
        if (doc->IsLive())
            continue;
        entries.push_back({doc->GetTitle(), RenderDocument(*doc, false), RenderDocument(*doc, true)});
    }
    return entries;
}

// ---- closing

bool DocumentRegistry::CloseDocument(CVistrelDoc* doc)
{
    if (std::find(m_documents.begin(), m_documents.end(), doc) == m_documents.end())
        return false;
    if (!doc->SaveModified())
        return false;
    doc->OnCloseDocument();
    return true;
}

bool DocumentRegistry::CloseAllDocuments()
{
    const std::vector<CVistrelDoc*> open = m_documents;
    for (CVistrelDoc* doc : open)
        if (!doc->SaveModified())
            return false;
    for (CVistrelDoc* doc : open)
        doc->OnCloseDocument();
    return true;
}

void DocumentRegistry::OnDocumentClosing(CVistrelDoc* doc)
{
    const auto at = std::find(m_documents.begin(), m_documents.end(), doc);
    if (at == m_documents.end())
        return;
    m_documents.erase(at);
    disconnect(doc, nullptr, this, nullptr);
    if (QMdiSubWindow* child = doc->GetChildFrame()) {
        // The frame stops sending commands to the document at once; it is gone once the event loop runs.
        if (auto* childFrame = qobject_cast<CChildFrame*>(child))
            childFrame->SetCommandTargets(nullptr, nullptr);
        if (!child->property(kClosingProperty).toBool()) {
            child->setProperty(kClosingProperty, true);
            child->close();
        }
    }
    m_closed.erase(std::remove(m_closed.begin(), m_closed.end(), nullptr), m_closed.end());
    m_closed.emplace_back(doc);
    doc->deleteLater();
    emit DocumentClosed(doc);
}

// ---- window events

bool DocumentRegistry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_frame && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
                               event->type() == QEvent::Drop))
        return HandleDrop(event);

    if (event->type() == QEvent::Close) {
        auto* child = qobject_cast<QMdiSubWindow*>(watched);
        if (!child || child->property(kClosingProperty).toBool())
            return false;
        const auto owner = std::find_if(m_documents.begin(), m_documents.end(),
                                        [child](CVistrelDoc* doc) { return doc->GetChildFrame() == child; });
        if (owner == m_documents.end())
            return false;
        CVistrelDoc* doc = *owner;
        if (!doc->SaveModified()) {
            event->ignore();
            return true;
        }
        child->setProperty(kClosingProperty, true);
        doc->OnCloseDocument();
        return false;
    }
    return false;
}

bool DocumentRegistry::HandleDrop(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* data = drop->mimeData();
    if (!data || !data->hasUrls())
        return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                OpenDocumentFile(url.toLocalFile().toStdString());
    }
    return true;
}
