// The thumbnail dock: rename never touches the live window, the context menu follows the selection, a batch save
// never writes over a file unasked, and the folder selection comes back at the next start.
#include "panels/CThumbnailDockWnd.h"

#include "commands/CommandStrings.h"
#include "program/FrameMainWindow.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CommandIds.h"
#include "profile/CAppProfile.h"
#include "panels/CthumbNameDlg.h"
#include "profile/CRegKey.h"
#include "profile/Registry.h"
#include "qvcodec/CQvImageCodec.h"
#include "resources/StringTable.h"
#include "testing/MessageBoxRecorder.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QDockWidget>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

using testing_support::MessageBoxes;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ThumbnailDockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toUtf8().constData(), 1);
        RegReloadStore();
        ASSERT_TRUE(QDir(m_root.path()).mkpath("a/b"));
        ASSERT_TRUE(QDir(m_root.path()).mkpath("out"));
    }
    void TearDown() override { RegReloadStore(); }

    // A dock over the temporary root, the documents of the test, and a save that writes the document's title.
    std::unique_ptr<CThumbnailDockWnd> MakeDock(const std::string& lastFolder = {})
    {
        ThumbnailDockOptions options;
        options.roots = {{"Top", m_root.path().toStdString()}, {"Computer", ""}};
        options.readLastFolder = [lastFolder] { return lastFolder; };
        options.writeLastFolder = [this](const std::string& texts) { m_written = texts; };
        options.hooks.documents = [this] {
            std::vector<CVistrelDoc*> docs;
            for (auto& doc : m_docs)
                docs.push_back(doc.get());
            return docs;
        };
        options.hooks.saveInto = [](CVistrelDoc& doc, const std::string& folder, const std::string& name,
                                    std::string& saved) {
            saved = QDir(QString::fromStdString(folder)).filePath(QString::fromStdString(name)).toStdString();
            QFile file(QString::fromStdString(saved));
            return file.open(QIODevice::WriteOnly) && file.write(doc.objectName().toUtf8()) > 0;
        };
        return std::make_unique<CThumbnailDockWnd>(std::move(options));
    }

    CVistrelDoc* AddDocument(const std::string& identity, const std::string& path, const std::string& title = {})
    {
        auto doc = std::make_unique<CVistrelDoc>();
        doc->setObjectName(QString::fromStdString(identity));
        if (!path.empty())
            doc->SetPathName(path, false);
        else
            doc->SetTitle(title);
        m_docs.push_back(std::move(doc));
        return m_docs.back().get();
    }

    void SelectFolder(CThumbnailDockWnd& dock, const std::string& texts)
    {
        ASSERT_TRUE(dock.FolderView()->RestoreSelection(texts)) << texts;
    }

    QTemporaryDir m_config;
    QTemporaryDir m_root;
    std::vector<std::unique_ptr<CVistrelDoc>> m_docs;
    std::string m_written;
};

TEST_F(ThumbnailDockTest, RenameRefusesTheLiveWindowAndATakenName)
{
    auto dock = MakeDock();
    CThumbnailMain* strip = dock->GetThumbnailMain();
    const std::string liveTitle = AppCommandString(appstr::IDS_LIVE_MEASURE);
    CVistrelDoc* live = AddDocument("live", "", "X0-Capture1");
    live->SetLive(true);
    AddDocument("plain", "", "X0-Capture2");
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    for (const char* name : {"X0-Capture1", "X0-Capture2", liveTitle.c_str()})
        strip->AddImage(name, picture, 40, 30, "", 0);

    for (const char* refused : {"X0-Capture1", liveTitle.c_str()}) {
        strip->SelectNames({refused});
        std::string name;
        EXPECT_FALSE(dock->ThumbnailView()->RequestRename(name, false)) << refused;
    }
    EXPECT_TRUE(MessageBoxes().ModalDialogs().empty()) << "no dialog for the live window";

    // A free name renames the tile and the document's title; a taken one is refused with string 101.
    strip->SelectNames({"X0-Capture2"});
    MessageBoxes().QueueModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("1053")->setText("X0-Capture1");
        dialog.accept();
    });
    strip->StartRename();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, LoadString("Vistrel", 101));
    EXPECT_EQ(m_docs[1]->GetTitle(), "X0-Capture2");

    MessageBoxes().QueueModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("1053")->setText("cells");
        dialog.accept();
    });
    strip->StartRename();
    EXPECT_EQ(m_docs[1]->GetTitle(), "cells");
    EXPECT_EQ(strip->IsCurrentImage("cells", 0), 1);

    // The rename command does nothing with two tiles selected.
    strip->SelectNames({"cells", "X0-Capture1"});
    dock->ThumbnailView()->OnCommand(ID_THUMB_RENAME);
    EXPECT_EQ(MessageBoxes().ModalDialogs().size(), 2u);
}

TEST_F(ThumbnailDockTest, ContextMenuFollowsSelectionAndSavePath)
{
    auto dock = MakeDock();
    CThumbnailView* view = dock->ThumbnailView();
    auto actionOf = [](QMenu& menu, UINT id) -> QAction* {
        for (QAction* action : menu.actions())
            if (action->data().toUInt() == id)
                return action;
        return nullptr;
    };
    struct Case
    {
        std::string savePath;
        std::vector<std::string> selection;
        bool batchEnabled;
        bool multiFocus;
    };
    // Tiles of open images, a live one not named as such, and a saved file of the folder.
    CThumbnailMain* strip = dock->GetThumbnailMain();
    const std::string liveTitle = AppCommandString(appstr::IDS_LIVE_MEASURE);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    for (const char* name : {"A", "B", liveTitle.c_str(), "X0-Live"})
        strip->AddImage(name, picture, 40, 30, "", 0);
    AddDocument("live", "", "X0-Live")->SetLive(true);
    {
        QFile file(m_root.path() + "/a/saved.png");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(strip->ShowFolder((m_root.path() + "/a").toStdString()), 1);
    const std::string savedFile = (m_root.path() + "/a/saved.png").toStdString();
    const Case cases[] = {
        {"/home/u/out", {"A", "B"}, true, true},
        {"C:\\x", {"A", liveTitle}, true, false},
        {"C:\\x", {"A", "X0-Live"}, true, false},
        {"C:\\x", {"A", savedFile}, true, false},
        {"", {"A", "B"}, false, true},
        {"noseparator", {"A", "B"}, false, true},
        {"/home/u/out", {}, false, false},
    };
    for (const Case& c : cases) {
        view->SetBatchSavePath(c.savePath);
        std::unique_ptr<QMenu> menu(view->BuildContextMenu(c.selection));
        ASSERT_TRUE(actionOf(*menu, ID_THUMB_BATCH_SAVE));
        EXPECT_EQ(actionOf(*menu, ID_THUMB_BATCH_SAVE)->isEnabled(), c.batchEnabled) << c.savePath;
        EXPECT_EQ(actionOf(*menu, ID_THUMB_BATCH_CLOSE)->isEnabled(), c.batchEnabled) << c.savePath;
        EXPECT_EQ(actionOf(*menu, ID_THUMB_MULTI_FOCUS) != nullptr, c.multiFocus) << c.selection.size();
        EXPECT_EQ(menu->actions().size(), c.multiFocus ? 8 : 6);
    }

    // "Set batch save folder" takes the tree's folder, which is kept in the profile for the next start.
    SelectFolder(*dock, "Top\\out");
    view->OnCommand(ID_THUMB_SET_SAVE_PATH);
    const std::string out = (m_root.path() + "/out").toStdString();
    EXPECT_EQ(view->BatchSavePath(), out);
    dock.reset();
    CRegKey key;
    std::string stored;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "SOFTWARE\\QRX", KEY_READ), ERROR_SUCCESS);
    ASSERT_EQ(key.QueryStringValue("SelectedSavePath", stored), ERROR_SUCCESS);
    EXPECT_EQ(stored, out);
    EXPECT_EQ(MakeDock()->ThumbnailView()->BatchSavePath(), out);
}

TEST_F(ThumbnailDockTest, BatchSaveAsksBeforeOverwritingAndKeepsTheFileOnNo)
{
    auto dock = MakeDock();
    CThumbnailView* view = dock->ThumbnailView();
    CVistrelDoc* first = AddDocument("first", "/data/a/img.bmp");
    CVistrelDoc* second = AddDocument("second", "/data/b/img.bmp");
    CVistrelDoc* third = AddDocument("third", "/data/c/old.bmp");
    first->SetModifiedFlag(true);
    second->SetModifiedFlag(true);

    // No folder selected: refused with a message, nothing saved.
    view->BatchSave({"/data/a/img.bmp", "/data/b/img.bmp"});
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(first->GetPathName(), "/data/a/img.bmp");

    // The second image of the same name would take the file the first now holds: refused, never asked.
    SelectFolder(*dock, "Top\\out");
    const QString target = m_root.path() + "/out/img.bmp";
    MessageBoxes().QueueAnswers({IDYES});
    view->BatchSave({"/data/a/img.bmp", "/data/b/img.bmp"});
    ASSERT_EQ(MessageBoxes().Boxes().size(), 2u);
    EXPECT_NE(MessageBoxes().Boxes()[1].type & MB_YESNO, MB_YESNO);
    EXPECT_NE(MessageBoxes().Boxes()[1].text.find(target.toStdString()), std::string::npos);
    EXPECT_EQ(ReadAll(target), "first");
    EXPECT_EQ(first->GetPathName(), target.toStdString());
    EXPECT_FALSE(first->IsModified());
    EXPECT_EQ(second->GetPathName(), "/data/b/img.bmp");
    EXPECT_TRUE(second->IsModified());
    MessageBoxes().Reset();

    // A file no open image holds is replaced only on Yes.
    const QString old = m_root.path() + "/out/old.bmp";
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("kept");
    }
    MessageBoxes().QueueAnswers({IDNO});
    view->BatchSave({"/data/c/old.bmp"});
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].type & MB_YESNO, MB_YESNO);
    EXPECT_EQ(ReadAll(old), "kept");
    EXPECT_EQ(third->GetPathName(), "/data/c/old.bmp");
    MessageBoxes().QueueAnswers({IDYES});
    view->BatchSave({"/data/c/old.bmp"});
    EXPECT_EQ(ReadAll(old), "third");
    EXPECT_EQ(third->GetPathName(), old.toStdString());
}

TEST_F(ThumbnailDockTest, BatchSavedTileGoesWithItsDocument)
{
    auto dock = MakeDock();
    CThumbnailMain* strip = dock->GetThumbnailMain();
    CVistrelDoc* doc = AddDocument("doc", "/data/a/img.bmp");
    CQvImage image;
    ASSERT_TRUE(image.Create(QV_RGB24, 64, 48, 0));
    doc->SetImage("", &image);
    dock->Track(doc);
    ASSERT_EQ(strip->IsCurrentImage("/data/a/img.bmp", 0), 1);

    SelectFolder(*dock, "Top\\out");
    dock->ThumbnailView()->BatchSave({"/data/a/img.bmp"});
    const std::string saved = (m_root.path() + "/out/img.bmp").toStdString();
    ASSERT_EQ(doc->GetPathName(), saved);
    EXPECT_EQ(strip->GetNames(), std::vector<std::string>{saved});

    doc->OnCloseDocument();
    EXPECT_EQ(strip->count(), 0) << "no tile is left behind for the closed image";
}

TEST_F(ThumbnailDockTest, RenamingASavedImageKeepsItsFolder)
{
    auto dock = MakeDock();
    CThumbnailMain* strip = dock->GetThumbnailMain();
    const QString from = m_root.path() + "/a/img.bmp";
    {
        QFile file(from);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("pixels");
    }
    CVistrelDoc* doc = AddDocument("doc", from.toStdString());
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    strip->AddImage(from.toStdString(), picture, 40, 30, "", 0);

    // The working folder must never receive the user's file.
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    strip->SelectNames({from.toStdString()});
    MessageBoxes().QueueModal([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("1053")->setText("cells.bmp");
        dialog.accept();
    });
    strip->StartRename();
    QDir::setCurrent(previous);

    const QString to = m_root.path() + "/a/cells.bmp";
    EXPECT_FALSE(QFileInfo::exists(work.path() + "/cells.bmp"));
    EXPECT_EQ(ReadAll(to), "pixels");
    EXPECT_EQ(doc->GetPathName(), to.toStdString());
    EXPECT_EQ(strip->IsCurrentImage(to.toStdString(), 0), 1);
}

TEST_F(ThumbnailDockTest, ActivatingASavedImageOpensIt)
{
    QTemporaryDir files;
    CQvImageCodec codec;
    ASSERT_GT(codec.Install(files.path().toUtf8().constData()), 0);
    DocumentRegistry registry(&codec);
    const QString path = m_root.path() + "/a/cells.png";
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(path));
    auto dock = MakeDock("Top\\a");
    dock->WatchDocuments(&registry);
    CThumbnailMain* strip = dock->GetThumbnailMain();
    ASSERT_EQ(strip->GetTileKind(path.toStdString()), CThumbnailMain::kFileTile);

    strip->SelectNames({path.toStdString()});
    emit strip->itemActivated(strip->currentItem());
    ASSERT_EQ(registry.Documents().size(), 1u);
    EXPECT_EQ(registry.Documents()[0]->GetPathName(), path.toStdString());
    EXPECT_EQ(strip->GetTileKind(path.toStdString()), CThumbnailMain::kDocumentTile) << "the open image takes the tile";
}

TEST_F(ThumbnailDockTest, DocumentsOpenedLaterGetTheirTiles)
{
    QTemporaryDir files;
    CQvImageCodec codec;
    ASSERT_GT(codec.Install(files.path().toUtf8().constData()), 0);
    DocumentRegistry registry(&codec);
    auto dock = MakeDock();
    dock->WatchDocuments(&registry);
    dock->WatchDocuments(&registry);  // watching twice tracks once
    CThumbnailMain* strip = dock->GetThumbnailMain();

    CVistrelDoc* made = registry.NewDocument("X0-Capture3");
    CQvImage image;
    ASSERT_TRUE(image.Create(QV_RGB24, 64, 48, 0));
    made->SetImage("", &image);
    EXPECT_EQ(strip->IsCurrentImage("X0-Capture3", 0), 1);

    const QString path = files.path() + "/cells.png";
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(path));
    ASSERT_TRUE(registry.OpenDocumentFile(path.toStdString()));
    EXPECT_EQ(strip->IsCurrentImage(path.toStdString(), 0), 1);
    EXPECT_EQ(strip->count(), 2);
}

TEST_F(ThumbnailDockTest, LastFolderIsRestoredAndStored)
{
    ASSERT_TRUE(QDir(m_root.path()).mkpath("we\\ird/deep"));
    {
        auto dock = MakeDock("Top\\a\\b");
        EXPECT_EQ(dock->FolderView()->SelectedFolder(), (m_root.path() + "/a/b").toStdString());
        // The strip shows the restored folder.
        EXPECT_EQ(dock->GetThumbnailMain()->GetFolder(), (m_root.path() + "/a/b").toStdString());
    }
    EXPECT_EQ(m_written, "Top\\a\\b");

    const std::map<std::string, std::string> gone = {
        {"Computer\\/mnt/gone\\x", ""}, {"Nowhere", ""}, {"Top\\a\\missing", ""}, {"", ""}};
    for (const auto& [stored, expected] : gone) {
        auto dock = MakeDock(stored);
        EXPECT_EQ(dock->FolderView()->SelectedFolder(), expected) << stored;
        EXPECT_EQ(dock->FolderView()->Tree()->currentItem(), nullptr) << stored;
    }

    // A backslash inside a folder name survives the round trip.
    {
        auto dock = MakeDock("Top\\we%5Cird\\deep");
        EXPECT_EQ(dock->FolderView()->SelectedFolder(), (m_root.path() + "/we\\ird/deep").toStdString());
    }
    EXPECT_EQ(m_written, "Top\\we%5Cird\\deep");
}

TEST(ThumbnailFolderTexts, EveryListOfNamesHasItsOwnStoredForm)
{
    using View = CThumbnailFolderView;
    const std::vector<std::vector<std::string>> lists = {
        {"Top", "a", "b"}, {"a", "\\b"}, {"a\\", "b"}, {"a\\\\", "b"}, {"a", "\\", "b"},
        {"100%", "x"}, {"50%5C", "y"}, {"%25"}, {"end\\"},
    };
    std::set<std::string> forms;
    for (const auto& texts : lists) {
        const std::string stored = View::JoinTexts(texts);
        EXPECT_TRUE(forms.insert(stored).second) << stored;
        EXPECT_EQ(View::SplitTexts(stored), texts) << stored;
    }
    // Plain names are stored as they are, and a '%' that is no escape reads as itself.
    EXPECT_EQ(View::JoinTexts({"Top", "a", "b"}), "Top\\a\\b");
    EXPECT_EQ(View::SplitTexts("Top\\100%\\x%4"), (std::vector<std::string>{"Top", "100%", "x%4"}));
}

TEST_F(ThumbnailDockTest, VolumesAreLookedIntoOnlyWhenOpened)
{
    ASSERT_TRUE(QDir(m_root.path()).mkpath("empty"));
    const QString empty = m_root.path() + "/empty";
    const QString full = m_root.path() + "/a";
    CThumbnailFolderView::SetVolumeSource([&] { return QStringList{empty, full}; });
    auto dock = MakeDock();
    CThumbnailFolderView::SetVolumeSource(nullptr);
    QTreeWidgetItem* computer = dock->FolderView()->Tree()->topLevelItem(1);
    ASSERT_EQ(computer->childCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(computer->child(i)->childCount(), 1) << "every volume offers to open, unprobed";
    QTreeWidgetItem* emptyVolume = computer->child(1);
    ASSERT_EQ(emptyVolume->text(0), empty);
    emptyVolume->setExpanded(true);
    EXPECT_EQ(emptyVolume->childCount(), 0);
    QTreeWidgetItem* fullVolume = computer->child(2);
    fullVolume->setExpanded(true);
    ASSERT_EQ(fullVolume->childCount(), 1);
    EXPECT_EQ(fullVolume->child(0)->text(0), "b");
}

TEST_F(ThumbnailDockTest, ComputerListsTheRootAndMountedVolumes)
{
    auto dock = MakeDock();
    QTreeWidgetItem* computer = dock->FolderView()->Tree()->topLevelItem(1);
    ASSERT_EQ(computer->text(0), "Computer");
    ASSERT_GE(computer->childCount(), 1);
    EXPECT_EQ(computer->child(0)->text(0), "/");
    dock->FolderView()->Tree()->setCurrentItem(computer);
    EXPECT_EQ(dock->FolderView()->SelectedFolder(), "") << "Computer itself is no folder to save into";
}

}  // namespace

namespace {

TEST_F(ThumbnailDockTest, TilesFollowTheDocuments)
{
    auto dock = MakeDock();
    CThumbnailMain* strip = dock->GetThumbnailMain();
    CVistrelDoc* doc = AddDocument("doc", "", "X0-Capture7");
    dock->Track(doc);
    EXPECT_EQ(strip->count(), 0) << "no picture yet";

    CQvImage image;
    ASSERT_TRUE(image.Create(QV_RGB24, 320, 240, 0));
    doc->SetImage("", &image);
    EXPECT_EQ(strip->IsCurrentImage("X0-Capture7", 0), 1);

    doc->SetPathName("/data/out/cells.bmp", false);
    EXPECT_EQ(strip->IsCurrentImage("X0-Capture7", 0), 0);
    EXPECT_EQ(strip->IsCurrentImage("/data/out/cells.bmp", 0), 1);

    doc->OnCloseDocument();
    EXPECT_EQ(strip->count(), 0);
}

}  // namespace

namespace {

TEST_F(ThumbnailDockTest, MainFrameHoldsTheDockInItsThumbnailPane)
{
    CAppProfile profile{"QRX", "Vistrel"};
    MainFrameOptions options;
    options.profile = &profile;
    FrameMainWindow window(options, {});
    ASSERT_TRUE(window.LoadFrame());
    QDockWidget* pane = window.Frame().Pane(PANE_THUMBNAILS);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->widget(), window.ThumbnailDock());
}

}  // namespace
