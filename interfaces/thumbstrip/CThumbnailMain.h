// The thumbnail strip: one tile per open image (keyed by the document's path, else its title) and one per saved
// image of the folder being shown (keyed by the file's path). Tiles of files are made on worker threads and arrive
// one by one, a bounded number per turn of the event loop, so the window keeps answering however big the folder;
// a file that cannot be read gets a broken-image tile. The owner answers the strip's requests (rename, context
// menu, batch save) through IThumbOwner.
//
// Contract: UI thread for every call. The strip owns its worker pool and waits for it when destroyed, so no
// result ever reaches a strip that is gone.
#pragma once

#include "types/ColorRef.h"
#include "types/VistrelExport.h"
#include "types/WinTypes.h"

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QListWidget>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QThreadPool;

// The strip's requests to the window that holds it (message ids of the original interface kept as names).
class IThumbOwner
{
public:
    virtual ~IThumbOwner() = default;
    // 0x412: a new name for the current tile, in `name`; `rejected` is set when the last name given was refused
    // because another tile bears it. True to rename, false to leave the name.
    virtual bool RequestRename(std::string& name, bool rejected) = 0;
    // 0x413: the context menu for the selected tiles' names, at a global screen position.
    virtual void ContextMenu(const std::vector<std::string>& selection, const QPoint& globalPos) = 0;
    // 0x3439: saving the selected open images (their names) into the owner's folder.
    virtual void BatchSave(const std::vector<std::string>& names) = 0;
    // A tile was renamed from `oldName` to `newName`.
    virtual void Renamed(const std::string& oldName, const std::string& newName) = 0;
};

class VISTREL_EXPORT CThumbnailMain : public QListWidget
{
    Q_OBJECT

public:
    enum TileKind { kDocumentTile = 0, kFileTile = 1 };
    enum TileState { kNoTile = -1, kPending = 0, kReady = 1, kBroken = 2 };
    // File thumbnails handed to their tiles in one turn of the event loop at most; the rest wait for the next turn,
    // so a burst of finished thumbnails never holds the window up (a turn also lays out and paints the strip).
    static constexpr int kResultsPerTurn = 4;
    // Makes one file's thumbnail fitted into the box, or a null image when the file cannot be read. Runs on the
    // worker threads, several at once.
    using Loader = std::function<QImage(const QString& path, const QSize& box)>;

    explicit CThumbnailMain(QWidget* parent = nullptr);
    ~CThumbnailMain() override;

    // What makes the thumbnails of files (LoadThumbnail until replaced; a test puts one that watches or holds the
    // workers). Folders shown afterwards use it.
    void SetLoader(Loader loader) { m_loader = std::move(loader); }

    // The window the strip reports to; null: the requests are dropped.
    void SetOwner(IThumbOwner* owner) { m_owner = owner; }

    void SetBkColor(COLORREF colour);
    // Makes the strip a visible child of `parent` with that control id (the object name "ThumbnailMain").
    BOOL Create(QWidget* parent, UINT id);

    // ---- tiles of open images
    // Adds (or refreshes) the tile `name` from `image`, drawn at `width` x `height` first and then fitted to the
    // tile; `text` is shown under the name. 1, or 0 when the name is empty.
    int AddImage(const std::string& name, const QImage& image, int width, int height, const std::string& text,
                 int flags);
    // Gives the tile `oldName` the name `newName`. 1, or 0 when there is no such tile or the new name is taken.
    int ReplaceImage(const std::string& oldName, const std::string& newName, int flags);
    // 1 when the tile was there.
    int RemoveImage(const std::string& name, int flags);
    // 1 when a tile bears that name.
    int IsCurrentImage(const std::string& name, int flags) const;

    // ---- selection
    int GetSelectedCount() const;
    // The name of the current tile; empty when there is none.
    std::string GetCurrentName() const;
    std::vector<std::string> GetSelectedNames() const;
    std::vector<std::string> GetNames() const;
    void SelectNames(const std::vector<std::string>& names);

    // ---- the saved images of a folder
    // Shows the images of `folder` (replacing the ones shown before); their thumbnails follow on worker threads.
    // 0 when the folder cannot be listed.
    int ShowFolder(const std::string& folder);
    const std::string& GetFolder() const { return m_folder; }
    TileState GetTileState(const std::string& name) const;
    TileKind GetTileKind(const std::string& name) const;
    // File tiles whose thumbnail has not arrived yet.
    int PendingCount() const { return m_pending; }

    // ---- the strip's own commands
    // Asks the owner for a new name for the current tile until it gives a free one or gives up.
    void StartRename();
    // Hands the selected open images to the owner's batch save.
    void BatchSaveSelected();

signals:
    // One file tile got its thumbnail (or its broken-image tile).
    void ThumbnailArrived(const QString& name);
    // Every file tile of the folder has its thumbnail.
    void FolderComplete();
    // A saved image's tile was activated (double click, Enter): the file is to be opened.
    void FileActivated(const QString& path);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Result
    {
        quint64 generation;
        QString path;
        QImage image;
    };

    QListWidgetItem* Find(const std::string& name) const;
    QListWidgetItem* NewTile(const QString& name, const QImage& picture, TileKind kind, TileState state);
    void SetPicture(QListWidgetItem* item, const QImage& picture);
    void ClearFileTiles();
    // Runs on worker threads.
    void Deliver(Result result);
    void DrainResults();

    IThumbOwner* m_owner = nullptr;
    Loader m_loader;
    QSize m_box{96, 72};
    QImage m_pendingTile;
    QIcon m_pendingIcon;
    QImage m_brokenTile;
    QHash<QString, QListWidgetItem*> m_tiles;
    std::string m_folder;
    int m_pending = 0;

    std::unique_ptr<QThreadPool> m_pool;
    std::atomic<quint64> m_generation{0};
    std::mutex m_resultsLock;
    std::deque<Result> m_results;
    bool m_drainPosted = false;  // guarded by m_resultsLock
};
