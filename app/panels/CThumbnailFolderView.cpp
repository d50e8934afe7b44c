#include "panels/CThumbnailFolderView.h"

#include "resources/StringTable.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileIconProvider>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kPlaceholderRole = Qt::UserRole + 1;

// The roots' captions, which stand for the desktop's own names of these places.
constexpr const char* kModule = "Vistrel";
constexpr uint32_t IDS_HOME = 8330;
constexpr uint32_t IDS_DESKTOP = 8331;
constexpr uint32_t IDS_DOCUMENTS = 8332;
constexpr uint32_t IDS_PICTURES = 8333;
constexpr uint32_t IDS_COMPUTER = 8334;

const StringTableRegistrar kFolderStrings(kModule, {
    {IDS_HOME, "Home", "홈"},
    {IDS_DESKTOP, "Desktop", "바탕 화면"},
    {IDS_DOCUMENTS, "Documents", "문서"},
    {IDS_PICTURES, "Pictures", "사진"},
    {IDS_COMPUTER, "Computer", "컴퓨터"},
});

bool HasSubfolder(const QString& path)
{
    QDirIterator it(path, QDir::Dirs | QDir::NoDotAndDotDot);
    return it.hasNext();
}

void AddPlaceholder(QTreeWidgetItem* item)
{
    auto* placeholder = new QTreeWidgetItem(item);
    placeholder->setData(0, kPlaceholderRole, true);
}

std::function<QStringList()>& VolumeSource()
{
    static std::function<QStringList()> source;
    return source;
}

QStringList MountedVolumeRoots()
{
    if (VolumeSource())
        return VolumeSource()();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots.push_back(volume.rootPath());
    return roots;
}

QIcon FolderIcon()
{
    static const QIcon icon = QFileIconProvider().icon(QFileIconProvider::Folder);
    return icon;
}

}  // namespace

std::vector<FolderRoot> CThumbnailFolderView::StandardRoots()
{
    std::vector<FolderRoot> roots;
    const QString home = QDir::homePath();
    roots.push_back({LoadString(kModule, IDS_HOME), home.toStdString()});
    const std::pair<uint32_t, QStandardPaths::StandardLocation> standard[] = {
        {IDS_DESKTOP, QStandardPaths::DesktopLocation},
        {IDS_DOCUMENTS, QStandardPaths::DocumentsLocation},
        {IDS_PICTURES, QStandardPaths::PicturesLocation},
    };
    for (const auto& [text, location] : standard) {
        const QString path = QStandardPaths::writableLocation(location);
        if (!path.isEmpty() && path != home && QDir(path).exists())
            roots.push_back({LoadString(kModule, text), path.toStdString()});
    }
    roots.push_back({LoadString(kModule, IDS_COMPUTER), ""});
    return roots;
}

CThumbnailFolderView::CThumbnailFolderView(std::vector<FolderRoot> roots, QWidget* parent) : QWidget(parent)
{
    setObjectName("ThumbnailFolderView");
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName("FolderTree");
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);

    if (roots.empty())
        roots = StandardRoots();
    for (const FolderRoot& root : roots) {
        auto* item = new QTreeWidgetItem(m_tree, QStringList(QString::fromStdString(root.text)));
        item->setData(0, kPathRole, QString::fromStdString(root.path));
        item->setIcon(0, root.path.empty() ? QFileIconProvider().icon(QFileIconProvider::Computer) : FolderIcon());
        if (root.path.empty())
            AddVolumes(item);
        else
            AddPlaceholder(item);
    }

    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!item->data(0, kPathRole).toString().isEmpty())
            Populate(item);
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!item->data(0, kPathRole).toString().isEmpty())
            Collapse(item);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !item->data(0, kPlaceholderRole).toBool())
            emit FolderSelected(item->data(0, kPathRole).toString());
    });
}

void CThumbnailFolderView::SetVolumeSource(std::function<QStringList()> source)
{
    VolumeSource() = std::move(source);
}

QTreeWidgetItem* CThumbnailFolderView::AddFolderItem(QTreeWidgetItem* parent, const QString& text,
                                                     const QString& path, bool probe)
{
    auto* item = new QTreeWidgetItem(parent, QStringList(text));
    item->setData(0, kPathRole, path);
    item->setIcon(0, FolderIcon());
    if (!probe || HasSubfolder(path))
        AddPlaceholder(item);
    return item;
}

void CThumbnailFolderView::AddVolumes(QTreeWidgetItem* computer)
{
    // The root first, then every other mounted volume once (a volume mounted twice shows once). A volume is not
    // looked into until it is opened: a hung network mount must not hold up the start of the program.
    std::set<QString> seen;
    AddFolderItem(computer, "/", "/", false);
    seen.insert("/");
    for (const QString& root : MountedVolumeRoots()) {
        if (!seen.insert(root).second)
            continue;
        AddFolderItem(computer, root, root, false);
    }
}

void CThumbnailFolderView::Populate(QTreeWidgetItem* item)
{
    const bool wait = QApplication::instance() != nullptr;
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_tree->setUpdatesEnabled(false);
    qDeleteAll(item->takeChildren());
    const QDir dir(item->data(0, kPathRole).toString());
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        AddFolderItem(item, name, dir.filePath(name), true);
    m_tree->setUpdatesEnabled(true);
    if (wait)
        QApplication::restoreOverrideCursor();
}

void CThumbnailFolderView::Collapse(QTreeWidgetItem* item)
{
    qDeleteAll(item->takeChildren());
    AddPlaceholder(item);
}

std::string CThumbnailFolderView::SelectedFolder() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || item->data(0, kPlaceholderRole).toBool())
        return {};
    return item->data(0, kPathRole).toString().toStdString();
}

std::string CThumbnailFolderView::SelectionTexts() const
{
    std::vector<std::string> texts;
    for (const QTreeWidgetItem* item = m_tree->currentItem(); item; item = item->parent())
        texts.insert(texts.begin(), item->text(0).toStdString());
    return JoinTexts(texts);
}

std::string CThumbnailFolderView::JoinTexts(const std::vector<std::string>& texts)
{
    std::string joined;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i)
            joined += '\\';
        for (char c : texts[i]) {
            if (c == '%')
                joined += "%25";
            else if (c == '\\')
                joined += "%5C";
            else
                joined += c;
        }
    }
    return joined;
}

std::vector<std::string> CThumbnailFolderView::SplitTexts(const std::string& stored)
{
    // A backslash always separates; only the two escapes written above are decoded, so any other '%' reads as itself.
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        if (c == '\\') {
            parts.emplace_back();
        } else if (c == '%' && i + 2 < stored.size() && stored[i + 1] == '2' && stored[i + 2] == '5') {
            parts.back() += '%';
            i += 2;
        } else if (c == '%' && i + 2 < stored.size() && stored[i + 1] == '5' &&
                   (stored[i + 2] == 'C' || stored[i + 2] == 'c')) {
            parts.back() += '\\';
            i += 2;
        } else {
            parts.back() += c;
        }
    }
    // Values written by earlier versions may end in separators.
    while (parts.size() > 1 && parts.back().empty())
        parts.pop_back();
    if (parts.size() == 1 && parts[0].empty())
        parts.clear();
    return parts;
}

bool CThumbnailFolderView::RestoreSelection(const std::string& stored)
{
    const std::vector<std::string> parts = SplitTexts(stored);
    if (parts.empty())
        return false;
    QTreeWidgetItem* found = nullptr;
    for (const std::string& part : parts) {
        const QString text = QString::fromStdString(part);
        QTreeWidgetItem* next = nullptr;
        const int count = found ? found->childCount() : m_tree->topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* candidate = found ? found->child(i) : m_tree->topLevelItem(i);
            if (!candidate->data(0, kPlaceholderRole).toBool() && candidate->text(0) == text)
                next = candidate;
        }
        if (!next)
            return false;  // the folder is gone: better nothing than a folder the user did not pick
        found = next;
        if (&part != &parts.back())
            found->setExpanded(true);
    }
    m_tree->setCurrentItem(found);
    return true;
}
