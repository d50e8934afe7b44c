#include "document/CVistrelDoc.h"

#include "qvplglib/CPlgView.h"

#include "core/CVistrelApp.h"
#include "core/ProgramServices.h"
#include "core/CCalibrationList.h"
#include "core/ProfileSettings.h"
#include "document/DocumentStrings.h"
#include "frame/CommandIds.h"
#include "ui/MessageBox.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

namespace {

// The cascade restarts after this many frames.
constexpr int kCascadeSteps = 10;
int g_cascadeCounter = 0;

std::vector<CVistrelDoc*>& Documents()
{
    static std::vector<CVistrelDoc*> documents;
    return documents;
}

DocumentFileHooks& Hooks()
{
    static DocumentFileHooks hooks;
    return hooks;
}

IActivePlugInList* g_activePlugIns = nullptr;

std::function<CaptureSettingsRecord()>& CaptureSource()
{
    static std::function<CaptureSettingsRecord()> source;
    return source;
}

const CommandMapEntry<CVistrelDoc> kDocumentCommands[] = {
    CommandEntry(cmd::ID_FILE_SAVE, &CVistrelDoc::OnFileSave, &CVistrelDoc::OnUpdateNotLive),
    CommandEntry(cmd::ID_FILE_SAVE_AS, &CVistrelDoc::OnFileSaveAs, &CVistrelDoc::OnUpdateNotLive),
    CommandEntry(cmd::ID_EDIT_UNDO, &CVistrelDoc::OnEditUndo, &CVistrelDoc::OnUpdateEditUndo),
    UpdateEntry(cmd::ID_EDIT_REDO, &CVistrelDoc::OnUpdateDisabled),
    UpdateEntry(cmd::ID_FILE_SEND_MAIL, &CVistrelDoc::OnUpdateDisabled),
    CommandEntry(cmd::ID_FILE_CLOSE, &CVistrelDoc::OnFileClose, &CVistrelDoc::OnUpdateNotLive),
    UpdateEntry(cmd::ID_FILE_PRINT, &CVistrelDoc::OnUpdateNotLive),
};

// The frame's border and title bar as the style draws them around a sub-window.
struct FrameMetrics
{
    int edge;     // one side's border
    int caption;  // the title bar, border above it included
};

FrameMetrics MetricsOf(QMdiSubWindow& frame)
{
    const QMargins margins = frame.contentsMargins();
    if (!margins.isNull())
        return {margins.left(), margins.top()};
    QStyle* style = frame.style();
    const int edge = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &frame);
    QStyleOptionTitleBar option;
    option.initFrom(&frame);
    option.titleBarFlags = Qt::SubWindow;
    option.titleBarState = frame.windowState();
    return {edge, style->pixelMetric(QStyle::PM_TitleBarHeight, &option, &frame)};
}

}  // namespace

CQvRegionContainer::~CQvRegionContainer() = default;

CVistrelDoc::CVistrelDoc() : CVistrelDoc(TheProgram()) {}

CVistrelDoc::CVistrelDoc(ProgramServices* program)
{
    AddCommandMap(kDocumentCommands);
    if (program) {
        m_calibration = *program->Calibrations().GetCurrentCalibration();
        m_gobjects.ConnectCalibKeeper(&m_calibration);
        m_regions.ConnectCalibKeeper(&m_calibration);
        ApplyPreferences(program->Profile().preferences);
        m_grid = program->Grid();
    } else {
        m_gobjects.ConnectCalibKeeper(&m_calibration);
        m_regions.ConnectCalibKeeper(&m_calibration);
        ApplyPreferences(PreferenceSettings());
    }
    if (CaptureSource())
        ApplyCaptureSettings(CaptureSource()());
    m_regions.SetAutoChangeColorMode(0);
    // Whatever adds, changes or removes a measurement or annotation is unsaved work; selecting is not.
    m_overlayEdits = GObjectChangeSubscription(m_gobjects, [this](const GObjectChanges& changes) {
        if (changes.Edited())
            SetModifiedFlag(true);
    });
    Documents().push_back(this);
}

CVistrelDoc::~CVistrelDoc()
{
    auto& documents = Documents();
    documents.erase(std::remove(documents.begin(), documents.end(), this), documents.end());
    // A document deleted without a close still hands every record back: the manager's list must not keep pointers
    // to freed records, nor their views live on.
    while (!m_activeApps.empty())
        DetachRecord(0);
}

// ---- title, path, modified flag

void CVistrelDoc::SetTitle(const std::string& title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit TitleChanged(QString::fromStdString(m_title));
}

void CVistrelDoc::SetPathName(const std::string& path, bool addToRecentFiles)
{
    m_pathName = path;
    m_fileSampleBits = 8;
    if (addToRecentFiles)
        if (CVistrelApp* app = GetVistrelApp())
            app->AddToRecentFileList(path);
    SetTitle(QFileInfo(QString::fromStdString(path)).fileName().toStdString());
}

void CVistrelDoc::SetModifiedFlag(bool modified)
{
    // Clearing is announced even when the flag was already clear: a document just read or saved tells its views
    // that what it holds now is what the file holds, and they take that as their new starting point.
    if (modified == m_modified && modified)
        return;
    if (!modified && m_objectsLeftOut && !m_gobjects.GetObjList()->empty()) {
        modified = true;
        if (m_modified)
            return;
    }
    m_modified = modified;
    emit ModifiedChanged(m_modified);
}

std::string CVistrelDoc::DisplayName() const
{
    return m_pathName.empty() ? m_title : m_pathName;
}

// ---- views and frame

void CVistrelDoc::AddView(CVistrelView* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CVistrelDoc::RemoveView(CVistrelView* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

CVistrelView* CVistrelDoc::GetImageView() const
{
    return m_views.empty() ? nullptr : m_views.front();
}

void CVistrelDoc::ClearSelections()
{
    m_gobjects.SelectionMode(0);
    m_regions.SelectionMode(0);
    emit SelectionsCleared();
}

// ---- the image

void CVistrelDoc::SetImage(const std::string& path, const CQvImage* image)
{
    m_framePool.SetFileName(path);
    m_framePool.SetImage(image);
    PlaceChildFrame(CSize(GetImage().GetWidth(), GetImage().GetHeight()));
    emit ImageSet();
}

void CVistrelDoc::SetImage(const std::string& path, CQvImage&& image)
{
    m_framePool.SetFileName(path);
    GetImage() = std::move(image);
    PlaceChildFrame(CSize(GetImage().GetWidth(), GetImage().GetHeight()));
    emit ImageSet();
}

void CVistrelDoc::ReplaceImage(const std::string& path, const CQvImage* image)
{
    m_framePool.SetFileName(path);
    if (image)
        GetImage() = *image;
    emit ImageReplaced();
}

void CVistrelDoc::PlaceChildFrame(CSize imageSize)
{
    QMdiSubWindow* frame = m_childFrame;
    if (!frame || frame->isMaximized() || frame->isMinimized())
        return;
    const FrameMetrics metrics = MetricsOf(*frame);
    int width = imageSize.cx + 2 * metrics.edge;
    int height = imageSize.cy + metrics.caption + metrics.edge;

    if (g_cascadeCounter >= kCascadeSteps || Documents().size() == 1)
        g_cascadeCounter = 0;
    const int x = g_cascadeCounter * metrics.edge;
    const int y = g_cascadeCounter * metrics.caption;
    if (QMdiArea* area = frame->mdiArea()) {
        width = std::min(width, area->viewport()->width() - x);
        height = std::min(height, area->viewport()->height() - y);
    }
    frame->setGeometry(x, y, std::max(width, frame->minimumWidth()), std::max(height, frame->minimumHeight()));
    ++g_cascadeCounter;
}

bool CVistrelDoc::AddObjectOfType(int shape)
{
    m_gobjects.SetActiveImage(&GetImage());
    if (!m_gobjects.AddObject(static_cast<OBJ_SHAPE>(shape)))
        return false;
    m_gobjects.SelectionMode(0);
    emit CreationStarted(false);
    return true;
}

int CVistrelDoc::AddRegionObject(int shape)
{
    const int result = m_regions.AddObject(static_cast<OBJ_SHAPE>(shape));
    if (result) {
        m_regions.SelectionMode(0);
        emit CreationStarted(true);
    }
    return result;
}

// ---- settings copies

void CVistrelDoc::ApplyPreferences(const PreferenceSettings& preferences)
{
    // The save-flatten choice stays program-wide: saving reads it from there.
    m_preferences.decimalPointRange = preferences.decimalPointRange;
    m_preferences.displayData = preferences.displayData;
    m_preferences.displayName = preferences.displayName;
    m_preferences.displayMark = preferences.displayMark;
    m_preferences.displayRealtime = preferences.displayRealtime;
    m_preferences.autoColor = preferences.autoColor;
    m_preferences.showScaleBar = preferences.showScaleBar;

    m_gobjects.SetDecimalPointRange(preferences.decimalPointRange);
    m_gobjects.SetDisplayData(preferences.displayData);
    m_gobjects.SetDisplayName(preferences.displayName);
    m_gobjects.SetDisplayMark(preferences.displayMark);
    m_gobjects.SetDisplayRealtime(preferences.displayRealtime);
    m_gobjects.SetAutoChangeColorMode(preferences.autoColor);
}

void CVistrelDoc::ApplyCaptureSettings(const CaptureSettingsRecord& settings)
{
    m_captureSettings = settings;
}

// ---- attached plug-ins

void CVistrelDoc::AttachPlugIn(std::unique_ptr<tagActiveApp> record)
{
    if (record)
        m_activeApps.push_back(std::move(record));
}

bool CVistrelDoc::HasResidentPlugIn() const
{
    return std::any_of(m_activeApps.begin(), m_activeApps.end(),
                       [](const auto& record) { return record->info && record->info->flag == 0; });
}

void CVistrelDoc::NotifyImageChanged()
{
    for (const auto& record : m_activeApps)
        if (record->application && record->activation && record->view)
            record->view->OnUpdatedImage();
}

void CVistrelDoc::DetachRecord(size_t index)
{
    std::unique_ptr<tagActiveApp> record = std::move(m_activeApps[index]);
    m_activeApps.erase(m_activeApps.begin() + static_cast<std::ptrdiff_t>(index));
    if (g_activePlugIns)
        g_activePlugIns->RemoveFromActiveList(record.get());
}

void CVistrelDoc::RemovePlugInView(CPlgApplication* application)
{
    for (size_t i = 0; i < m_activeApps.size();) {
        if (m_activeApps[i]->application == application)
            DetachRecord(i);
        else
            ++i;
    }
}

void CVistrelDoc::DetachPlugIn(const tagActiveApp* record)
{
    for (size_t i = 0; i < m_activeApps.size(); ++i) {
        if (m_activeApps[i].get() == record) {
            DetachRecord(i);
            return;
        }
    }
}

void CVistrelDoc::RemoveReportPage()
{
    if (g_activePlugIns)
        g_activePlugIns->RemoveReportPage(this);
}

// ---- close and save

bool CVistrelDoc::SaveModified()
{
    if (!m_modified)
        return true;
    std::string name = m_pathName.empty() ? m_title : m_pathName;
    if (name.empty())
        name = DocumentString(docstr::IDS_UNTITLED);
    std::string prompt = DocumentString(docstr::IDS_ASK_TO_SAVE);
    if (const size_t at = prompt.find("%1"); at != std::string::npos)
        prompt.replace(at, 2, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave();
    default:
        return true;
    }
}

void CVistrelDoc::FinishSave(const std::string& oldName, const std::string& savedPath)
{
    SetPathName(savedPath, true);
    SetModifiedFlag(false);
    if (savedPath != oldName)
        emit NameChanged(QString::fromStdString(oldName), QString::fromStdString(savedPath));
}

bool CVistrelDoc::DoFileSave()
{
    const std::string oldName = DisplayName();
    std::string saved;
    if (!Hooks().save || !Hooks().save(*this, m_pathName, std::string(), saved) || saved.empty())
        return false;
    FinishSave(oldName, saved);
    return true;
}

void CVistrelDoc::OnCloseDocument()
{
    while (!m_activeApps.empty())
        DetachRecord(0);
    RemoveReportPage();
    emit Closing();
}

// ---- commands

void CVistrelDoc::OnFileSave()
{
    const std::string oldName = DisplayName();
    const std::string proposed = m_pathName.empty() ? m_title : std::string();
    std::string saved;
    if (Hooks().save && Hooks().save(*this, m_pathName, proposed, saved) && !saved.empty())
        FinishSave(oldName, saved);
}

void CVistrelDoc::OnFileSaveAs()
{
    if (m_pathName.empty()) {
        OnFileSave();
        return;
    }
    const std::string oldName = DisplayName();
    std::string saved;
    if (Hooks().saveAs && Hooks().saveAs(*this, m_title, saved) && !saved.empty())
        FinishSave(oldName, saved);
}

void CVistrelDoc::OnEditUndo()
{
    if (m_framePool.Undo())
        emit ImageUndone();
}

void CVistrelDoc::OnUpdateEditUndo(CCmdUI* ui)
{
    ui->Enable(m_framePool.CanUndo() && !PlugInHold());
}

void CVistrelDoc::OnUpdateDisabled(CCmdUI* ui)
{
    ui->Enable(false);
}

void CVistrelDoc::OnFileClose()
{
    if (SaveModified())
        OnCloseDocument();
}

void CVistrelDoc::OnUpdateFileSave(CCmdUI* ui)
{
    OnUpdateNotLive(ui);
}

void CVistrelDoc::OnUpdateNotLive(CCmdUI* ui)
{
    ui->Enable(!m_live);
}

// ---- program-wide seams

void CVistrelDoc::SetFileHooks(DocumentFileHooks hooks)
{
    Hooks() = std::move(hooks);
}

const DocumentFileHooks& CVistrelDoc::FileHooks()
{
    return Hooks();
}

void CVistrelDoc::SetActivePlugInList(IActivePlugInList* list)
{
    g_activePlugIns = list;
}

void CVistrelDoc::SetCaptureSettingsSource(std::function<CaptureSettingsRecord()> source)
{
    CaptureSource() = std::move(source);
}

bool CVistrelDoc::PlugInHold()
{
    const auto& documents = Documents();
    return std::any_of(documents.begin(), documents.end(),
                       [](const CVistrelDoc* doc) { return doc->HasResidentPlugIn(); });
}

const std::vector<CVistrelDoc*>& CVistrelDoc::AllDocuments()
{
    return Documents();
}

int CVistrelDoc::CascadeCounter()
{
    return g_cascadeCounter;
}

void CVistrelDoc::ResetCascadeCounter()
{
    g_cascadeCounter = 0;
}
