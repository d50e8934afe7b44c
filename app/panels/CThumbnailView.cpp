#include "panels/CThumbnailView.h"

#include "commands/CommandStrings.h"
#include "document/CVistrelDoc.h"
#include "document/NativeFileSave.h"
#include "panels/CthumbNameDlg.h"
#include "profile/CRegKey.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QVBoxLayout>

#include <set>

namespace {

const char* const kQrxKey = "SOFTWARE\\QRX";
const char* const kSelectedSavePath = "SelectedSavePath";

constexpr const char* kModule = "Vistrel";

// The strip's texts; the menu entries are the strings of their commands (32905, multi-focus, is the main menu's).
constexpr UINT IDS_NAME_TAKEN = 101;
constexpr UINT IDS_NO_FOLDER = 8300;
constexpr UINT IDS_REPLACE_FILE = 8301;
constexpr UINT IDS_RENAME_FAILED = 8302;

const StringTableRegistrar kThumbnailStrings(
    kModule,
    {
        {IDS_NAME_TAKEN, "The name already exists.", "이미 존재하는 이름입니다."},
        {ID_THUMB_SET_SAVE_PATH, "Set Batch Save Folder", "일괄 저장 경로 설정"},
        {ID_THUMB_BATCH_SAVE, "Save Selected Files", "선택파일 일괄 저장"},
        {ID_THUMB_BATCH_CLOSE, "Close Selected Files", "선택파일 일괄 닫기"},
        {ID_THUMB_RENAME, "Rename ...", "이름 변경 ..."},
        {IDS_NO_FOLDER, "Select the folder to save into in the folder tree.",
         "폴더 창에서 저장할 폴더를 선택하십시오."},
        {IDS_REPLACE_FILE, "%s already exists.\nDo you want to replace it?", "%s 파일이 이미 있습니다.\n바꾸시겠습니까?"},
        {IDS_RENAME_FAILED, "%s could not be renamed.", "%s 파일의 이름을 바꿀 수 없습니다."},
    });

}  // namespace

CThumbnailView::CThumbnailView(LANGID language, ThumbnailViewHooks hooks, QWidget* parent)
    : QWidget(parent), m_language(language), m_hooks(std::move(hooks))
{
    setObjectName("ThumbnailView");
    m_strip = new CThumbnailMain;
    m_strip->SetBkColor(RGB(240, 240, 240));
    m_strip->Create(this, 0xFFFF);
    m_strip->SetOwner(this);
    connect(m_strip, &CThumbnailMain::FileActivated, this, [this](const QString& path) {
        if (m_hooks.openFile)
            m_hooks.openFile(path.toStdString());
    });
    // A plain click on an open image's tile brings its window forward; Ctrl and Shift only select.
    connect(m_strip, &QListWidget::itemClicked, this, [this] {
        if (QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
            return;
        const std::string name = m_strip->GetCurrentName();
        if (name.empty() || m_strip->GetTileKind(name) != CThumbnailMain::kDocumentTile)
            return;
        if (CVistrelDoc* doc = FindDocument(name))
            BringForward(*doc);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_strip);

    CRegKey key;
    std::string stored;
    if (key.Open(HKEY_CURRENT_USER, kQrxKey, KEY_READ) == ERROR_SUCCESS &&
        key.QueryStringValue(kSelectedSavePath, stored) == ERROR_SUCCESS)
        m_batchSavePath = AcceptBatchSavePath(stored);
}

CThumbnailView::~CThumbnailView()
{
    m_strip->SetOwner(nullptr);
    CRegKey key;
    if (key.Create(HKEY_CURRENT_USER, kQrxKey) == ERROR_SUCCESS) {
        key.SetStringValue(kSelectedSavePath, m_batchSavePath);
        key.Flush();
    }
}

std::string CThumbnailView::Text(UINT id) const
{
    return LoadString(kModule, id, m_language);
}

std::string CThumbnailView::AcceptBatchSavePath(const std::string& stored)
{
    // Paths written on Windows hold backslashes, ours slashes; anything else is not a path.
    return stored.find_first_of("/\\") == std::string::npos ? std::string() : stored;
}

CVistrelDoc* CThumbnailView::FindDocument(const std::string& name) const
{
    if (!m_hooks.documents)
        return nullptr;
    for (CVistrelDoc* doc : m_hooks.documents())
        if (doc->DisplayName() == name)
            return doc;
    return nullptr;
}

CVistrelDoc* CThumbnailView::FindDocumentByPath(const QString& path) const
{
    if (!m_hooks.documents)
        return nullptr;
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (CVistrelDoc* doc : m_hooks.documents())
        if (!doc->GetPathName().empty() &&
            QFileInfo(QString::fromStdString(doc->GetPathName())).absoluteFilePath() == wanted)
            return doc;
    return nullptr;
}

void CThumbnailView::BringForward(CVistrelDoc& doc)
{
    QMdiSubWindow* frame = doc.GetChildFrame();
    QMdiArea* area = frame ? frame->mdiArea() : nullptr;
    if (!area)
        return;
    if (frame->isMinimized())
        frame->showNormal();
    area->setActiveSubWindow(frame);
}

bool CThumbnailView::IsLiveName(const std::string& name) const
{
    if (name.find(Text(appstr::IDS_LIVE_MEASURE)) != std::string::npos)
        return true;
    const CVistrelDoc* doc = FindDocument(name);
    return doc && doc->IsLive();
}

bool CThumbnailView::RequestRename(std::string& name, bool rejected)
{
    if (rejected) {
        AfxMessageBox(Text(IDS_NAME_TAKEN));
        return false;
    }
    const std::string current = m_strip->GetCurrentName();
    if (current.empty() || IsLiveName(current))
        return false;
    CthumbNameDlg dialog(QFileInfo(QString::fromStdString(current)).fileName().toStdString(), m_language, this);
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    name = dialog.Name();
    return !name.empty();
}

void CThumbnailView::Renamed(const std::string& oldName, const std::string& newName)
{
    CVistrelDoc* doc = FindDocument(oldName);
    if (doc && doc->GetPathName().empty()) {
        doc->SetTitle(newName);
        return;
    }
    // A saved image: its file takes the new name in its own folder, never over another file.
    const QString from = QString::fromStdString(oldName);
    const QString to = QString::fromStdString(newName);
    const bool sameFolder = QFileInfo(from).isAbsolute() && QFileInfo(to).isAbsolute() &&
                            QFileInfo(from).absolutePath() == QFileInfo(to).absolutePath();
    if (!sameFolder || QFileInfo::exists(to) || !QFile::rename(from, to)) {
        m_strip->ReplaceImage(newName, oldName, 0);
        AfxMessageBox(Format(Text(IDS_RENAME_FAILED).c_str(), oldName.c_str()));
        return;
    }
    if (doc)
        doc->SetPathName(newName, false);
}

QMenu* CThumbnailView::BuildContextMenu(const std::vector<std::string>& selection)
{
    m_selection = selection;
    auto* menu = new QMenu(this);
    menu->setObjectName("ThumbnailMenu");
    auto add = [&](UINT id) {
        QAction* action = menu->addAction(QString::fromStdString(Text(id)));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        return action;
    };
    add(ID_THUMB_SET_SAVE_PATH);
    menu->addSeparator();
    QAction* save = add(ID_THUMB_BATCH_SAVE);
    QAction* close = add(ID_THUMB_BATCH_CLOSE);
    QAction* focusSeparator = menu->addSeparator();
    QAction* focus = add(ID_THUMB_MULTI_FOCUS);
    menu->addSeparator();
    add(ID_THUMB_RENAME);

    const bool batch = !m_batchSavePath.empty() && !selection.empty();
    save->setEnabled(batch);
    close->setEnabled(batch);
    // Multi-focus stacks open images; the live window and the saved files of the folder are not among them.
    int focusable = 0;
    for (const std::string& name : selection)
        if (m_strip->GetTileKind(name) == CThumbnailMain::kDocumentTile && !IsLiveName(name))
            ++focusable;
    if (focusable < 2) {
        menu->removeAction(focusSeparator);
        menu->removeAction(focus);
    }
    return menu;
}

void CThumbnailView::ContextMenu(const std::vector<std::string>& selection, const QPoint& globalPos)
{
    QMenu* menu = BuildContextMenu(selection);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CThumbnailView::OnCommand(UINT id)
{
    switch (id) {
    case ID_THUMB_SET_SAVE_PATH:
        // The folder selected in the tree becomes the batch save folder.
        if (m_hooks.selectedFolder) {
            const std::string folder = m_hooks.selectedFolder();
            if (!folder.empty())
                m_batchSavePath = folder;
        }
        return;
    case ID_THUMB_BATCH_SAVE:
        m_strip->SelectNames(m_selection);
        m_strip->BatchSaveSelected();
        return;
    case ID_THUMB_BATCH_CLOSE:
        if (m_hooks.closeDocument)
            for (const std::string& name : m_selection)
                if (CVistrelDoc* doc = FindDocument(name); doc && !doc->IsLive())
                    m_hooks.closeDocument(*doc);
        return;
    case ID_THUMB_MULTI_FOCUS:
        if (m_hooks.postCommand)
            m_hooks.postCommand(ID_THUMB_MULTI_FOCUS);
        return;
    case ID_THUMB_RENAME:
        if (m_strip->GetSelectedCount() <= 1)
            m_strip->StartRename();
        return;
    default:
        return;
    }
}

void CThumbnailView::BatchSave(const std::vector<std::string>& names)
{
    const std::string folder = m_hooks.selectedFolder ? m_hooks.selectedFolder() : std::string();
    if (folder.empty() || !QFileInfo(QString::fromStdString(folder)).isDir()) {
        AfxMessageBox(Text(IDS_NO_FOLDER));
        return;
    }
    const QDir target(QString::fromStdString(folder));
    std::set<QString> written;
    for (const std::string& name : names) {
        CVistrelDoc* doc = FindDocument(name);
        if (!doc || doc->IsLive())
            continue;
        const std::string oldName = doc->DisplayName();
        std::string saved;
        if (!doc->GetPathName().empty()) {
            const QString fileName = QFileInfo(QString::fromStdString(doc->GetPathName())).fileName();
            const QString path = QDir::cleanPath(target.filePath(fileName));
            const bool own = QFileInfo(QString::fromStdString(doc->GetPathName())).absoluteFilePath() ==
                             QFileInfo(path).absoluteFilePath();
            // A file another open image shows is never saved over: that image would lose its file.
            if (CVistrelDoc* holder = FindDocumentByPath(path); holder && holder != doc) {
                AfxMessageBox(Format(NativeFileString(IDS_FILE_IS_OPEN).c_str(), path.toStdString().c_str()));
                continue;
            }
            // Two images of one name, or a file already there: the user decides, never a silent overwrite.
            if (!own && (written.count(path) || QFileInfo::exists(path)) &&
                AfxMessageBox(Format(Text(IDS_REPLACE_FILE).c_str(), path.toStdString().c_str()),
                              MB_YESNO | MB_ICONWARNING) != IDYES)
                continue;
            if (!m_hooks.saveInto || !m_hooks.saveInto(*doc, folder, fileName.toStdString(), saved))
                continue;
            written.insert(path);
        } else {
            if (!m_hooks.saveWithDialog || !m_hooks.saveWithDialog(*doc, folder, saved))
                continue;
            written.insert(QDir::cleanPath(QString::fromStdString(saved)));
        }
        doc->SetPathName(saved, true);
        doc->SetModifiedFlag(false);
        m_strip->ReplaceImage(oldName, saved, 0);
        // As every save of a document ends: whoever keys the document by its name follows it.
        if (saved != oldName)
            emit doc->NameChanged(QString::fromStdString(oldName), QString::fromStdString(saved));
    }
}
