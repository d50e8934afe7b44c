// The upper pane of the thumbnail dock: the strip of thumbnails, and the answers to its requests: rename (never
// the live window's), the context menu, and the batch save of the selected images into the folder of the tree.
//
// UI thread. Holds no document pointer between calls: documents are found by their names each time.
#pragma once

#include "resources/UiLanguage.h"
#include "thumbstrip/CThumbnailMain.h"
#include "types/WinTypes.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CVistrelDoc;
class QMenu;

// Context-menu commands of the strip.
constexpr UINT ID_THUMB_SET_SAVE_PATH = 32888;
constexpr UINT ID_THUMB_BATCH_SAVE = 32890;
constexpr UINT ID_THUMB_BATCH_CLOSE = 32891;
constexpr UINT ID_THUMB_MULTI_FOCUS = 32905;
constexpr UINT ID_THUMB_RENAME = 32917;

// What the pane reaches of the program; each may stay empty (the step is then skipped).
struct ThumbnailViewHooks
{
    // Runs a command through the main window (multi-focus).
    std::function<void(UINT id)> postCommand;
    // The folder selected in the tree; empty when none.
    std::function<std::string()> selectedFolder;
    // The open documents.
    std::function<std::vector<CVistrelDoc*>()> documents;
    // Saves into `folder` under `name`, giving the path written; false when nothing was written.
    std::function<bool(CVistrelDoc& doc, const std::string& folder, const std::string& name, std::string& saved)>
        saveInto;
    // Saves an image never saved before through the save dialog opening in `folder`.
    std::function<bool(CVistrelDoc& doc, const std::string& folder, std::string& saved)> saveWithDialog;
    // Closes a document as its Close command would.
    std::function<void(CVistrelDoc& doc)> closeDocument;
    // Opens an image file as the program's Open command would.
    std::function<void(const std::string& path)> openFile;
};

class CThumbnailView : public QWidget, public IThumbOwner
{
    Q_OBJECT

public:
    CThumbnailView(LANGID language, ThumbnailViewHooks hooks, QWidget* parent = nullptr);
    ~CThumbnailView() override;

    CThumbnailMain* GetThumbnailMain() const { return m_strip; }

    // The stored batch save path, kept only when it is a path (it holds a separator); else empty.
    static std::string AcceptBatchSavePath(const std::string& stored);
    const std::string& BatchSavePath() const { return m_batchSavePath; }
    void SetBatchSavePath(const std::string& path) { m_batchSavePath = AcceptBatchSavePath(path); }

    // The context menu for `selection`, built but not shown; the caller owns it. Each action has its command id
    // as data.
    QMenu* BuildContextMenu(const std::vector<std::string>& selection);
    void OnCommand(UINT id);

    // IThumbOwner
    bool RequestRename(std::string& name, bool rejected) override;
    void ContextMenu(const std::vector<std::string>& selection, const QPoint& globalPos) override;
    void BatchSave(const std::vector<std::string>& names) override;
    void Renamed(const std::string& oldName, const std::string& newName) override;

private:
    CVistrelDoc* FindDocument(const std::string& name) const;
    CVistrelDoc* FindDocumentByPath(const QString& path) const;
    void BringForward(CVistrelDoc& doc);
    bool IsLiveName(const std::string& name) const;
    // The program's string `id` in the strip's language.
    std::string Text(UINT id) const;

    LANGID m_language;
    ThumbnailViewHooks m_hooks;
    CThumbnailMain* m_strip = nullptr;
    std::string m_batchSavePath;
    std::vector<std::string> m_selection;  // handed over with the last context menu
};
