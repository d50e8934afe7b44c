// The commands of one image view and its document: tool modes (hand, selection), region tools with crop and
// duplicate, merging the overlay into the pixels, cut, copy and paste of pixels and objects, object properties and
// colours, scale bars and Z indicators and the grid toggle (the report commands are CReportExportCommands'). The view owns one and asks it after its own table, so the commands sit on the view's
// place of the command route.
// UI thread only. The object works on the view's document as it is at each call; without a document every command
// does nothing and every update handler disables its item.
#pragma once

#include "frame/CCmdTarget.h"
#include "types/ColorRef.h"
#include "types/WinGeometry.h"

#include <vector>

class CImageDispWnd;
class CQvGObject;
class CQvGObjectContainer;
class CQvImage;
class CVistrelDoc;
class CVistrelView;

// Whether the clipboard holds something the overlay's paste takes: a packed DIB or a picture, overlay records,
// or a text. False without a GUI application.
bool ClipboardHasPasteableContent();
// While a companion module runs with its parameter block published ("PZ ModuleRun" in the shared memory
// "MODULE_PROGZUB_PARAMETER_RUN"), the image windows show no context menu.
bool CompanionModuleHoldsContextMenu();

class CViewCommands : public CommandMapTarget<CViewCommands>
{
public:
    // Region tools as the view keeps them.
    static constexpr int kRegionNone = -1;
    static constexpr int kRegionRectangle = 0;
    static constexpr int kRegionEllipse = 1;
    static constexpr int kRegionPolygon = 2;

    explicit CViewCommands(CVistrelView& view);

    // After another area changed the image: a region being used is ended (its tool's command runs again).
    void ApplyRegionTool();
    // A Z indicator of that height, finished at once (the companion message that carries a height). A height that
    // is not a finite number adds nothing.
    void AddZIndicator(double height);

    // --- Tool modes
    void OnHandTool();
    void OnUpdateHandTool(CCmdUI* ui);
    void OnSelectTool();
    void OnUpdateSelectTool(CCmdUI* ui);

    // --- Region tools 1320..1322, crop, duplicate
    void OnRegionTool(UINT id);
    void OnUpdateRegionTool(CCmdUI* ui);
    // An automatic measurement tool from the toolbar: the shape starts on the view's image, as from the tools dock.
    void OnAutoMeasureTool(UINT id);
    void OnUpdateAutoMeasureTool(CCmdUI* ui);
    void OnDuplicate();
    void OnUpdateDuplicate(CCmdUI* ui);
    void OnCrop();
    void OnUpdateCrop(CCmdUI* ui);

    // --- Merges 1205..1207
    void OnMerge(UINT id);
    void OnUpdateMerge(CCmdUI* ui);

    // --- Clipboard
    void OnCut();
    void OnCopy();
    void OnUpdateCopy(CCmdUI* ui);
    void OnPaste();
    void OnUpdatePaste(CCmdUI* ui);

    // --- Objects: properties, colours, scale bar, grid
    void OnProperties();
    void OnLineColour();
    void OnTextColour();
    void OnUpdateTextColour(CCmdUI* ui);
    void OnLineColourSelector();
    void OnTextColourSelector();
    void OnScaleBar();
    void OnScaleBarAfterCapture();
    void OnGridShow();

    void OnUpdateEnable(CCmdUI* ui);
    void OnUpdateDisabled(CCmdUI* ui);

private:
    CVistrelDoc* Document() const;
    CImageDispWnd& Window() const;
    bool InRegionMode() const;
    // The region overlay's shape, when there is one / when it is finished (not being drawn).
    CQvGObject* RegionShape() const;
    CQvGObject* FinishedRegionShape() const;
    // The part of the image under the region shape: its bounding box, everything outside the shape white (255).
    bool CutOutRegion(CQvGObject* shape, CQvImage& out);
    // Region mode off, the region overlay empty, no region tool, and the image without a region.
    void EndRegionMode();
    // Copy's work without ending region mode: what reached the clipboard.
    enum class Copied
    {
        Nothing,
        Objects,
        Pixels,
    };
    Copied CopySelection();
    // The image changed under the view: the window, the status panes and the modified flag follow.
    void ImageEdited();
    void PlaceScaleBar(bool afterCapture);
    void ApplyColour(bool line, COLORREF colour);
    COLORREF BarColour(bool line) const;
    static bool AnyViewLive();

    CVistrelView& m_view;
};
