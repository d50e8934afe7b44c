#include "thumbstrip/CThumbnailMain.h"

#include "thumbstrip/ThumbnailLoader.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QThread>
#include <QThreadPool>

namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kStateRole = Qt::UserRole + 2;

const QStringList& ImageFilePatterns()
{
    static const QStringList patterns = {"*.bmp", "*.png", "*.jpg", "*.jpeg", "*.tif", "*.tiff"};
    return patterns;
}

QString ToQ(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

CThumbnailMain::CThumbnailMain(QWidget* parent)
    : QListWidget(parent), m_loader(&LoadThumbnail), m_pool(std::make_unique<QThreadPool>())
{
    setObjectName("ThumbnailMain");
    setViewMode(QListView::IconMode);
    setIconSize(m_box);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(64);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setWordWrap(true);
    m_pendingTile = PendingThumbnail(m_box);
    m_pendingIcon = QIcon(QPixmap::fromImage(m_pendingTile));
    m_brokenTile = BrokenThumbnail(m_box);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item && item->data(kKindRole).toInt() == kFileTile)
            emit FileActivated(item->data(kNameRole).toString());
    });
    // Leave one core to the window.
    m_pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

CThumbnailMain::~CThumbnailMain()
{
    ++m_generation;
    m_pool->clear();
    m_pool->waitForDone();
}

void CThumbnailMain::SetBkColor(COLORREF colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    setPalette(palette);
}

BOOL CThumbnailMain::Create(QWidget* parent, UINT id)
{
    setParent(parent);
    setProperty("controlId", id);
    show();
    return 1;
}

QListWidgetItem* CThumbnailMain::Find(const std::string& name) const
{
    return m_tiles.value(ToQ(name), nullptr);
}

QListWidgetItem* CThumbnailMain::NewTile(const QString& name, const QImage& picture, TileKind kind, TileState state)
{
    auto* item = new QListWidgetItem(this);
    item->setData(kNameRole, name);
    item->setData(kKindRole, int(kind));
    item->setData(kStateRole, int(state));
    // Every waiting tile shares one picture: a folder of hundreds is listed without drawing any.
    if (state == kPending)
        item->setIcon(m_pendingIcon);
    else
        SetPicture(item, picture);
    m_tiles.insert(name, item);
    return item;
}

void CThumbnailMain::SetPicture(QListWidgetItem* item, const QImage& picture)
{
    // Every tile is the same size, the picture centred on it, so the strip's rows stay even.
    QImage tile(m_box, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    const QImage fitted = picture.size().boundedTo(m_box) == picture.size()
                              ? picture
                              : picture.scaled(m_box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage((m_box.width() - fitted.width()) / 2, (m_box.height() - fitted.height()) / 2, fitted);
    painter.end();
    item->setIcon(QIcon(QPixmap::fromImage(tile)));
}

int CThumbnailMain::AddImage(const std::string& name, const QImage& image, int width, int height,
                             const std::string& text, int)
{
    if (name.empty())
        return 0;
    QImage picture = image;
    if (!picture.isNull() && width > 0 && height > 0 && picture.size() != QSize(width, height))
        picture = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (picture.isNull())
        picture = m_brokenTile;
    const QString key = ToQ(name);
    QListWidgetItem* item = Find(name);
    if (!item) {
        item = NewTile(key, picture, kDocumentTile, kReady);
    } else {
        // An open image takes over the tile of its own file.
        if (item->data(kKindRole).toInt() == kFileTile && item->data(kStateRole).toInt() == kPending)
            --m_pending;
        item->setData(kKindRole, int(kDocumentTile));
        item->setData(kStateRole, int(kReady));
        SetPicture(item, picture);
    }
    const QString title = QFileInfo(key).fileName().isEmpty() ? key : QFileInfo(key).fileName();
    item->setText(text.empty() ? title : title + "\n" + ToQ(text));
    item->setToolTip(key);
    return 1;
}

int CThumbnailMain::ReplaceImage(const std::string& oldName, const std::string& newName, int)
{
    QListWidgetItem* item = Find(oldName);
    if (!item || newName.empty())
        return 0;
    if (oldName == newName)
        return 1;
    if (QListWidgetItem* taken = Find(newName)) {
        // Saving an image over a file of the shown folder: the file's tile gives way to the open image.
        if (taken->data(kKindRole).toInt() != kFileTile)
            return 0;
        RemoveImage(newName, 0);
    }
    const QString key = ToQ(newName);
    m_tiles.remove(ToQ(oldName));
    m_tiles.insert(key, item);
    item->setData(kNameRole, key);
    QString text = item->text();
    const int lineBreak = text.indexOf('\n');
    const QString title = QFileInfo(key).fileName().isEmpty() ? key : QFileInfo(key).fileName();
    item->setText(lineBreak < 0 ? title : title + text.mid(lineBreak));
    item->setToolTip(key);
    return 1;
}

int CThumbnailMain::RemoveImage(const std::string& name, int)
{
    QListWidgetItem* item = Find(name);
    if (!item)
        return 0;
    if (item->data(kKindRole).toInt() == kFileTile && item->data(kStateRole).toInt() == kPending)
        --m_pending;
    m_tiles.remove(ToQ(name));
    delete item;
    return 1;
}

int CThumbnailMain::IsCurrentImage(const std::string& name, int) const
{
    return Find(name) ? 1 : 0;
}

int CThumbnailMain::GetSelectedCount() const
{
    return int(selectedItems().size());
}

std::string CThumbnailMain::GetCurrentName() const
{
    const QListWidgetItem* item = currentItem();
    return item ? item->data(kNameRole).toString().toStdString() : std::string();
}

std::vector<std::string> CThumbnailMain::GetSelectedNames() const
{
    std::vector<std::string> names;
    for (int row = 0; row < count(); ++row)
        if (item(row)->isSelected())
            names.push_back(item(row)->data(kNameRole).toString().toStdString());
    return names;
}

std::vector<std::string> CThumbnailMain::GetNames() const
{
    std::vector<std::string> names;
    for (int row = 0; row < count(); ++row)
        names.push_back(item(row)->data(kNameRole).toString().toStdString());
    return names;
}

void CThumbnailMain::SelectNames(const std::vector<std::string>& names)
{
    clearSelection();
    for (const std::string& name : names)
        if (QListWidgetItem* item = Find(name)) {
            item->setSelected(true);
            setCurrentItem(item, QItemSelectionModel::Select);
        }
}

CThumbnailMain::TileState CThumbnailMain::GetTileState(const std::string& name) const
{
    const QListWidgetItem* item = Find(name);
    return item ? TileState(item->data(kStateRole).toInt()) : kNoTile;
}

CThumbnailMain::TileKind CThumbnailMain::GetTileKind(const std::string& name) const
{
    const QListWidgetItem* item = Find(name);
    return item ? TileKind(item->data(kKindRole).toInt()) : kFileTile;
}

void CThumbnailMain::ClearFileTiles()
{
    ++m_generation;
    m_pool->clear();
    for (auto it = m_tiles.begin(); it != m_tiles.end();) {
        if (it.value()->data(kKindRole).toInt() == kFileTile) {
            delete it.value();
            it = m_tiles.erase(it);
        } else {
            ++it;
        }
    }
    m_pending = 0;
    std::lock_guard<std::mutex> lock(m_resultsLock);
    m_results.clear();
}

int CThumbnailMain::ShowFolder(const std::string& folder)
{
    ClearFileTiles();
    m_folder.clear();
    const QDir dir(ToQ(folder));
    if (folder.empty() || !dir.exists())
        return 0;
    m_folder = folder;
    const QFileInfoList files =
        dir.entryInfoList(ImageFilePatterns(), QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    const quint64 generation = m_generation.load();
    setUpdatesEnabled(false);
    for (const QFileInfo& file : files) {
        const QString path = file.absoluteFilePath();
        if (m_tiles.contains(path))
            continue;  // an open image already shows this file
        QListWidgetItem* item = NewTile(path, m_pendingTile, kFileTile, kPending);
        item->setText(file.fileName());
        item->setToolTip(path);
        ++m_pending;
        const QSize box = m_box;
        m_pool->start([this, generation, path, box, loader = m_loader] {
            if (generation != m_generation.load())
                return;  // the folder changed before this file's turn came
            Deliver(Result{generation, path, loader(path, box)});
        });
    }
    setUpdatesEnabled(true);
    if (m_pending == 0)
        emit FolderComplete();
    return 1;
}

void CThumbnailMain::Deliver(Result result)
{
    std::lock_guard<std::mutex> lock(m_resultsLock);
    m_results.push_back(std::move(result));
    if (m_drainPosted)
        return;
    m_drainPosted = true;
    QMetaObject::invokeMethod(this, [this] { DrainResults(); }, Qt::QueuedConnection);
}

void CThumbnailMain::DrainResults()
{
    std::vector<Result> batch;
    {
        std::lock_guard<std::mutex> lock(m_resultsLock);
        while (!m_results.empty() && int(batch.size()) < kResultsPerTurn) {
            batch.push_back(std::move(m_results.front()));
            m_results.pop_front();
        }
        m_drainPosted = !m_results.empty();
        if (m_drainPosted)
            QMetaObject::invokeMethod(this, [this] { DrainResults(); }, Qt::QueuedConnection);
    }
    for (Result& result : batch) {
        if (result.generation != m_generation.load())
            continue;
        QListWidgetItem* item = m_tiles.value(result.path, nullptr);
        if (!item || item->data(kKindRole).toInt() != kFileTile || item->data(kStateRole).toInt() != kPending)
            continue;
        const bool broken = result.image.isNull();
        item->setData(kStateRole, int(broken ? kBroken : kReady));
        SetPicture(item, broken ? m_brokenTile : result.image);
        --m_pending;
        emit ThumbnailArrived(result.path);
        if (m_pending == 0)
            emit FolderComplete();
    }
}

void CThumbnailMain::StartRename()
{
    QListWidgetItem* item = currentItem();
    if (!m_owner || !item)
        return;
    const std::string oldName = item->data(kNameRole).toString().toStdString();
    bool rejected = false;
    for (;;) {
        std::string name;
        if (!m_owner->RequestRename(name, rejected) || name.empty() || name == oldName)
            return;
        // A tile named by a path keeps its folder: only the file name is asked for, and a name is never taken
        // as a path of its own.
        std::string newName = name;
        if (QFileInfo(ToQ(oldName)).isAbsolute()) {
            if (name.find('/') != std::string::npos)
                return;
            newName = QFileInfo(ToQ(oldName)).dir().filePath(ToQ(name)).toStdString();
        }
        if (Find(newName)) {
            rejected = true;
            continue;
        }
        ReplaceImage(oldName, newName, 0);
        m_owner->Renamed(oldName, newName);
        return;
    }
}

void CThumbnailMain::BatchSaveSelected()
{
    if (!m_owner)
        return;
    std::vector<std::string> documents;
    for (const std::string& name : GetSelectedNames())
        if (GetTileKind(name) == kDocumentTile)
            documents.push_back(name);
    if (!documents.empty())
        m_owner->BatchSave(documents);
}

void CThumbnailMain::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_owner)
        m_owner->ContextMenu(GetSelectedNames(), event->globalPos());
}

void CThumbnailMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F2) {
        StartRename();
        return;
    }
    QListWidget::keyPressEvent(event);
}
