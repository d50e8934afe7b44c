#include "panels/CThumbnailDockWnd.h"

#include "core/ProgramServices.h"
#include "core/CAppEnvironment.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "document/NativeFile.h"
#include "qvimage/QvImageViews.h"

#include <QResizeEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kMinimumPane = 100;

void FillProgramHooks(ThumbnailViewHooks& hooks)
{
    if (!hooks.documents)
        hooks.documents = [] { return CVistrelDoc::AllDocuments(); };
    if (!hooks.saveInto)
        hooks.saveInto = [](CVistrelDoc& doc, const std::string& folder, const std::string& name,
                            std::string& saved) {
            saved = folder;
            return SaveDocumentImage(&doc, saved, name.c_str(), 1) != 0;
        };
    if (!hooks.saveWithDialog)
        hooks.saveWithDialog = [](CVistrelDoc& doc, const std::string& folder, std::string& saved) {
            // The save dialog opens in the selected folder; once saved, it opens in the sample images again.
            LastFileFolder() = folder.back() == '/' ? folder : folder + "/";
            saved.clear();
            if (!SaveDocumentImage(&doc, saved, doc.GetTitle().c_str(), 0))
                return false;
            std::string sample;
            if (ProgramServices* program = TheProgram())
                program->Environment().GetSampleImageFolder(sample);
            LastFileFolder() = sample;
            return true;
        };
    if (!hooks.openFile)
        hooks.openFile = [](const std::string& path) {
            if (DocumentRegistry* registry = DocumentRegistry::Instance())
                registry->OpenDocumentFile(path);
        };
    if (!hooks.closeDocument)
        hooks.closeDocument = [](CVistrelDoc& doc) { doc.OnFileClose(); };
}

}  // namespace

CThumbnailDockWnd::CThumbnailDockWnd(ThumbnailDockOptions options, QWidget* parent)
    : QWidget(parent), m_options(std::move(options))
{
    setObjectName("ThumbnailDockWnd");
    if (!m_options.readLastFolder)
        m_options.readLastFolder = [] { return GetLastSelFolder(); };
    if (!m_options.writeLastFolder)
        m_options.writeLastFolder = [](const std::string& texts) { SetLastSelFolder(texts); };

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName("ThumbnailSplitter");
    m_splitter->setHandleWidth(4);
    m_splitter->setChildrenCollapsible(false);
    m_folders = new CThumbnailFolderView(m_options.roots);
    ThumbnailViewHooks hooks = m_options.hooks;
    FillProgramHooks(hooks);
    if (!hooks.selectedFolder)
        hooks.selectedFolder = [this] { return m_folders->SelectedFolder(); };
    m_view = new CThumbnailView(m_options.language, std::move(hooks));
    m_view->setMinimumHeight(kMinimumPane);
    m_folders->setMinimumHeight(kMinimumPane);
    m_splitter->addWidget(m_view);
    m_splitter->addWidget(m_folders);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    connect(m_folders, &CThumbnailFolderView::FolderSelected, this,
            [this](const QString& folder) { GetThumbnailMain()->ShowFolder(folder.toStdString()); });
    m_folders->RestoreSelection(m_options.readLastFolder());
}

CThumbnailDockWnd::~CThumbnailDockWnd()
{
    m_options.writeLastFolder(m_folders->SelectionTexts());
}

void CThumbnailDockWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int height = event->size().height();
    const int upper = std::max(kMinimumPane, height * 60 / 100);
    m_splitter->setSizes({upper, std::max(kMinimumPane, height - upper)});
}

void CThumbnailDockWnd::WatchDocuments(DocumentRegistry* registry)
{
    if (!registry)
        return;
    for (CVistrelDoc* doc : registry->Documents())
        Track(doc);
    // One registry at a time: watching another lets go of the first.
    disconnect(m_openedConnection);
    m_openedConnection =
        connect(registry, &DocumentRegistry::DocumentOpened, this, [this](CVistrelDoc* doc) { Track(doc); });
}

void CThumbnailDockWnd::Track(CVistrelDoc* doc)
{
    if (!doc || m_names.contains(doc))
        return;
    m_names.insert(doc, doc->DisplayName());
    connect(doc, &CVistrelDoc::ImageSet, this, [this, doc] { Refresh(doc, true); });
    connect(doc, &CVistrelDoc::ImageReplaced, this, [this, doc] { Refresh(doc, true); });
    connect(doc, &CVistrelDoc::ImageUndone, this, [this, doc] { Refresh(doc, true); });
    connect(doc, &CVistrelDoc::TitleChanged, this, [this, doc] { Refresh(doc, false); });
    connect(doc, &CVistrelDoc::NameChanged, this, [this, doc] { Refresh(doc, false); });
    connect(doc, &CVistrelDoc::Closing, this, [this, doc] { Forget(doc); });
    connect(doc, &QObject::destroyed, this, [this, doc] { Forget(doc); });
    if (doc->GetImage().GetWidth() > 0)
        Refresh(doc, true);
}

void CThumbnailDockWnd::Refresh(CVistrelDoc* doc, bool picture)
{
    auto found = m_names.find(doc);
    if (found == m_names.end())
        return;
    CThumbnailMain* strip = GetThumbnailMain();
    const std::string name = doc->DisplayName();
    if (found.value() != name) {
        if (!strip->ReplaceImage(found.value(), name, 0))
            picture = true;  // there was no tile yet under the old name
        found.value() = name;
    }
    if (!picture && strip->IsCurrentImage(name, 0))
        return;
    CQvImage& image = doc->GetImage();
    const QImage view = QvImageToQImage(image);
    if (view.isNull())
        return;
    // The tile is small: a fast scale of the picture is enough and keeps a big image from holding the window.
    const QImage small = view.scaled(96, 72, Qt::KeepAspectRatio, Qt::FastTransformation).copy();
    strip->AddImage(name, small, small.width(), small.height(),
                    std::to_string(image.GetWidth()) + "x" + std::to_string(image.GetHeight()) + "x" +
                        std::to_string(image.GetBitsPerPixel()),
                    0);
}

void CThumbnailDockWnd::Forget(CVistrelDoc* doc)
{
    auto found = m_names.find(doc);
    if (found == m_names.end())
        return;
    GetThumbnailMain()->RemoveImage(found.value(), 0);
    m_names.erase(found);
    disconnect(doc, nullptr, this, nullptr);
}
