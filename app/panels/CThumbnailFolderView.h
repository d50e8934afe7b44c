// The folder tree under the thumbnail strip: home, the desktop, documents and pictures folders and "Computer" with
// the root and every mounted volume. Folders are listed when their item is first opened; the selected folder is
// what the strip shows and where a batch save writes. The selection is kept as the item texts from the root down,
// joined with '\' ('%' and '\' inside a name written as %25 and %5C), and restored at start.
//
// UI thread. Items hold their real path, so no path is ever pieced together from display texts.
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

// A root of the tree: its text and its folder (empty: "Computer", whose children are the volumes).
struct FolderRoot
{
    std::string text;
    std::string path;
};

class CThumbnailFolderView : public QWidget
{
    Q_OBJECT

public:
    // `roots` empty: the user's standard folders and "Computer".
    explicit CThumbnailFolderView(std::vector<FolderRoot> roots = {}, QWidget* parent = nullptr);

    static std::vector<FolderRoot> StandardRoots();
    // Where "Computer" takes its volumes' root folders from; empty: the mounted volumes.
    static void SetVolumeSource(std::function<QStringList()> source);

    QTreeWidget* Tree() const { return m_tree; }
    // The folder of the selected item; empty when nothing, or "Computer" itself, is selected.
    std::string SelectedFolder() const;
    // The item texts of the selection from the root down, in the stored form; empty when nothing is selected.
    std::string SelectionTexts() const;
    // Opens the items named by a stored selection and selects the last one; nothing is selected unless every
    // part is found. True when it was found.
    bool RestoreSelection(const std::string& stored);

    // The stored form and back; names without '%' or '\' are stored as they are.
    static std::string JoinTexts(const std::vector<std::string>& texts);
    static std::vector<std::string> SplitTexts(const std::string& stored);

signals:
    void FolderSelected(const QString& folder);

private:
    // `probe`: look into the folder now to give it an expand button only when it has subfolders.
    QTreeWidgetItem* AddFolderItem(QTreeWidgetItem* parent, const QString& text, const QString& path, bool probe);
    void Populate(QTreeWidgetItem* item);
    void Collapse(QTreeWidgetItem* item);
    void AddVolumes(QTreeWidgetItem* computer);

    QTreeWidget* m_tree = nullptr;
};
