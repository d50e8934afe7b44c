// The document of one open image: the picture with its undo history, the measurement and annotation overlay, the
// region-of-interest overlay, the spatial calibration, the grid, the plug-ins attached to the image, and copies of
// the display preferences and capture settings in force when it was made.
//
// Contract: UI thread only. The document owns its members by value and its attached plug-in records. Its views and
// its child frame belong to the document registry (DocumentRegistry), which tells the document about them; the
// document never deletes them. Loading, saving and the native file are reached through DocumentFileHooks so that
// this class does not depend on the file code.
#pragma once

#include "calibkeeper/CCalibKeeper.h"
#include "core/ProfileSettings.h"
#include "frame/CCmdTarget.h"
#include "framepool/CQvFramePool.h"
#include "gobjects/CQvGObjectContainer.h"
#include "latticer/CLatticer.h"
#include "qvplglib/CPlgManager.h"
#include "types/WinGeometry.h"

#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CPlgApplication;
class ProgramServices;
class CVistrelDoc;
class CVistrelView;

// The region-of-interest overlay: holds the single region shape the region commands use.
class CQvRegionContainer : public CQvGObjectContainer
{
public:
    CQvRegionContainer() = default;
    ~CQvRegionContainer() override;
};

// The capture settings as the capture dialog keeps them; a document keeps a copy from its creation.
struct CaptureSettingsRecord
{
    std::string saveFolder;
    std::string filePrefix;
    int32_t autoSave = 0;
    int32_t autoCrop = 0;
    int32_t suffixKind = 0;  // nonzero: numbered titles
    int32_t fileFormat = 0;  // 0 TIFF, 1 JPEG, other BMP
    int32_t cropX = 0;
    int32_t cropY = 0;
    int32_t cropWidth = 0;
    int32_t cropHeight = 0;
};

// The plug-in manager as the document needs it: records leaving its active list.
class IActivePlugInList
{
public:
    virtual ~IActivePlugInList() = default;
    // Takes the record's view (and whatever it shows) out of the manager's care; the caller then frees the record.
    virtual void RemoveFromActiveList(tagActiveApp* record) = 0;
    // The document's report page goes.
    virtual void RemoveReportPage(CVistrelDoc* /*doc*/) {}
};

// How a document is saved. `save` writes the document to `path` (empty: the user is asked for a file, `proposed`
// is the name offered) and gives the path written in `savedPath`; false when nothing was saved (cancelled or
// failed). `saveAs` always asks, offering `proposed`. Installed by the file code; without them saving fails.
struct DocumentFileHooks
{
    std::function<bool(CVistrelDoc& doc, const std::string& path, const std::string& proposed,
                       std::string& savedPath)>
        save;
    std::function<bool(CVistrelDoc& doc, const std::string& proposed, std::string& savedPath)> saveAs;
};

class CVistrelDoc : public QObject, public CommandMapTarget<CVistrelDoc>
{
    Q_OBJECT

public:
    // Copies the current calibration, preferences, capture settings and grid of `program` (the running program's
    // when not given), or takes the built-in defaults when there is none.
    explicit CVistrelDoc(ProgramServices* program);
    CVistrelDoc();
    ~CVistrelDoc() override;
    CVistrelDoc(const CVistrelDoc&) = delete;
    CVistrelDoc& operator=(const CVistrelDoc&) = delete;

    // ---- the members
    CQvFramePool& GetFramePool() { return m_framePool; }
    CQvImage& GetImage() { return m_framePool.GetImage(); }
    const CQvImage& GetImage() const { return m_framePool.GetImage(); }
    CQvGObjectContainer& GetGObjectContainer() { return m_gobjects; }
    CQvRegionContainer& GetRegionContainer() { return m_regions; }
    CCalibKeeper& GetCalibKeeper() { return m_calibration; }
    CLatticer& GetLatticer() { return m_grid; }
    const PreferenceSettings& GetPreferences() const { return m_preferences; }
    const CaptureSettingsRecord& GetCaptureSettings() const { return m_captureSettings; }
    // The three point lists of the line-thinning tool (a row of -1 in the middle list meaning none).
    std::vector<POINT>& GetLineProfile(int index) { return m_lineProfile[index]; }

    // ---- title, path, modified flag
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title);
    const std::string& GetPathName() const { return m_pathName; }
    // Sets the path and makes its file name the title; with addToRecent the file heads the File menu's recent files.
    void SetPathName(const std::string& path, bool addToRecent = true);
    bool IsModified() const { return m_modified; }
    // Announces ModifiedChanged when the flag changes, and every clearing (the document now matches its file).
    // Clearing leaves the flag set while the last save left the overlay's objects out of the file (a picture)
    // and the overlay still has objects: they are in no file, so closing must still ask.
    void SetModifiedFlag(bool modified = true);
    // Told by the file code after each save: whether the file written left out objects the overlay has.
    void SetObjectsLeftOut(bool leftOut) { m_objectsLeftOut = leftOut; }
    // Bits a sample of the file at the path when it holds more than the image shows (a 16-bit picture is read
    // at 8 bits); 8 otherwise. Saving over such a file asks first. A new path (SetPathName) sets it back to 8.
    int FileSampleBits() const { return m_fileSampleBits; }
    void SetFileSampleBits(int bits) { m_fileSampleBits = bits; }
    // The path, else the title: how the thumbnails and prompts name the document.
    std::string DisplayName() const;

    // ---- views and frame (set by the registry)
    void AddView(CVistrelView* view);
    void RemoveView(CVistrelView* view);
    const std::vector<CVistrelView*>& GetViews() const { return m_views; }
    // Clears the overlays' selection modes and announces SelectionsCleared.
    void ClearSelections();
    // The first view, or null.
    CVistrelView* GetImageView() const;
    void SetChildFrame(QMdiSubWindow* frame) { m_childFrame = frame; }
    QMdiSubWindow* GetChildFrame() const { return m_childFrame; }
    // Whether the document's view is the live view (set by the view).
    void SetLive(bool live) { m_live = live; }
    bool IsLive() const { return m_live; }

    // ---- the image
    // Takes the image (null: only the file name), sizes the child frame in the cascade and announces ImageSet.
    void SetImage(const std::string& path, const CQvImage* image);
    // The same, moving the pixels in: a new or freshly read image costs no second copy.
    void SetImage(const std::string& path, CQvImage&& image);
    // Assigns the image into the current one without resizing the frame and announces ImageReplaced.
    void ReplaceImage(const std::string& path, const CQvImage* image);
    // Starts an overlay object of that shape (the overlay's active image becomes this image) and announces
    // CreationStarted(false); false (nothing changed) when the overlay has none for the code.
    bool AddObjectOfType(int shape);
    // Starts the region shape and announces CreationStarted(true); the overlay's result, 0 when it has no object
    // for the code.
    int AddRegionObject(int shape);

    // ---- settings copies
    void ApplyPreferences(const PreferenceSettings& preferences);
    void ApplyCaptureSettings(const CaptureSettingsRecord& settings);

    // ---- attached plug-ins
    // The document takes ownership of the record.
    void AttachPlugIn(std::unique_ptr<tagActiveApp> record);
    const std::vector<std::unique_ptr<tagActiveApp>>& ActivePlugIns() const { return m_activeApps; }
    // True while a record of a plug-in that stays attached is here.
    bool HasResidentPlugIn() const;
    void NotifyImageChanged();
    void RemovePlugInView(CPlgApplication* application);
    // Detaches the one record (its view is deleted with it); nothing when it is not here.
    void DetachPlugIn(const tagActiveApp* record);
    void RemoveReportPage();

    // ---- close and save
    // Yes/No/Cancel prompt when modified; false when closing must not go on.
    virtual bool SaveModified();
    virtual bool DoFileSave();
    // Detaches the plug-ins and the report page, then announces Closing; the registry closes the frame and
    // deletes the document.
    virtual void OnCloseDocument();

    // ---- commands
    void OnFileSave();
    void OnFileSaveAs();
    void OnEditUndo();
    void OnUpdateFileSave(CCmdUI* ui);
    void OnUpdateEditUndo(CCmdUI* ui);
    void OnUpdateDisabled(CCmdUI* ui);
    void OnFileClose();
    void OnUpdateNotLive(CCmdUI* ui);

    // ---- program-wide seams
    static void SetFileHooks(DocumentFileHooks hooks);
    static const DocumentFileHooks& FileHooks();
    static void SetActivePlugInList(IActivePlugInList* list);
    // Where new documents take their capture settings from (none: the record's defaults).
    static void SetCaptureSettingsSource(std::function<CaptureSettingsRecord()> source);
    // True while some document holds a record of a plug-in that stays attached: undo and the plug-in commands
    // wait meanwhile. Asked of the documents themselves, so closing a document can never leave it set.
    static bool PlugInHold();
    // The documents that exist, in the order they were made.
    static const std::vector<CVistrelDoc*>& AllDocuments();
    // The program-wide cascade position of the next sized frame, 0..9.
    static int CascadeCounter();
    static void ResetCascadeCounter();

signals:
    void ImageSet();
    void ImageReplaced();
    void ImageUndone();
    void TitleChanged(const QString& title);
    void ModifiedChanged(bool modified);
    // Saved under a new name: thumbnails keyed by the old name follow.
    void NameChanged(const QString& oldName, const QString& newName);
    // The tool mode and selections of the document's windows are to be cleared.
    void SelectionsCleared();
    // A shape is being created: the image window glides the cursor to its centre and enters the tool mode (for
    // the measurement overlay it also leaves region mode).
    void CreationStarted(bool region);
    // The document is about to go; views and the registry let go of it.
    void Closing();

private:
    void PlaceChildFrame(CSize imageSize);
    void DetachRecord(size_t index);
    void FinishSave(const std::string& oldName, const std::string& savedPath);

    CQvFramePool m_framePool;
    CQvGObjectContainer m_gobjects;
    CQvRegionContainer m_regions;
    CCalibKeeper m_calibration;
    std::vector<std::unique_ptr<tagActiveApp>> m_activeApps;
    CLatticer m_grid;
    PreferenceSettings m_preferences;
    CaptureSettingsRecord m_captureSettings;
    std::vector<POINT> m_lineProfile[3];

    std::string m_title;
    std::string m_pathName;
    bool m_modified = false;
    bool m_objectsLeftOut = false;
    int m_fileSampleBits = 8;
    bool m_live = false;
    std::vector<CVistrelView*> m_views;
    QPointer<QMdiSubWindow> m_childFrame;
    // The modified flag follows the overlay's edits; goes before the overlay.
    GObjectChangeSubscription m_overlayEdits;
};
