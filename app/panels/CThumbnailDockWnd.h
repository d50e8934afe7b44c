// The thumbnail dock: the strip of thumbnails above the folder tree (60 % / 40 %, each at least 100 pixels). The
// strip shows a tile per open image, kept up to date from the documents' own announcements, and the saved images
// of the folder selected in the tree. The selected folder is restored at start and stored when the dock goes.
//
// UI thread. The dock keeps no document pointer beyond the document's own life (its entry goes on Closing).
#pragma once

#include "panels/CThumbnailFolderView.h"
#include "panels/CThumbnailView.h"

#include <QHash>
#include <QWidget>

class CVistrelDoc;
class DocumentRegistry;
class QSplitter;

struct ThumbnailDockOptions
{
    LANGID language = GetUiLanguage();  // the session's UI language unless a window is given its own
    // Roots of the folder tree; empty: the user's standard folders and "Computer".
    std::vector<FolderRoot> roots;
    // The stored folder selection; empty: VISTREL.INI [THUMBNAIL] LastSelFolder.
    std::function<std::string()> readLastFolder;
    std::function<void(const std::string&)> writeLastFolder;
    // Empty members take the program's own.
    ThumbnailViewHooks hooks;
};

class CThumbnailDockWnd : public QWidget
{
    Q_OBJECT

public:
    explicit CThumbnailDockWnd(ThumbnailDockOptions options, QWidget* parent = nullptr);
    ~CThumbnailDockWnd() override;

    CThumbnailMain* GetThumbnailMain() const { return m_view->GetThumbnailMain(); }
    CThumbnailView* ThumbnailView() const { return m_view; }
    CThumbnailFolderView* FolderView() const { return m_folders; }
    QSplitter* Splitter() const { return m_splitter; }

    // Follows the documents of `registry`: those open now and every one opened later.
    void WatchDocuments(DocumentRegistry* registry);
    // Adds or refreshes the tile of one document.
    void Track(CVistrelDoc* doc);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Refresh(CVistrelDoc* doc, bool picture);
    void Forget(CVistrelDoc* doc);

    ThumbnailDockOptions m_options;
    QSplitter* m_splitter = nullptr;
    CThumbnailView* m_view = nullptr;
    CThumbnailFolderView* m_folders = nullptr;
    QMetaObject::Connection m_openedConnection;
    QHash<CVistrelDoc*, std::string> m_names;  // each tracked document under the name its tile bears
};
