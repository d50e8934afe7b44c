// Commands on the overlay's objects: properties, line and text colours, scale bars, Z indicators, and the grid
// toggle; and whether a companion module keeps the context menu away.
#include "view/ViewCommands.h"

#include "core/ProgramServices.h"
#include "core/ProfileSettings.h"
// The document header keeps its child frame in a QPointer, which needs the complete class.
#include <QMdiSubWindow>

#include "document/CVistrelDoc.h"
#include "frame/CMainFrame.h"
#include "frame/ColourPopupButton.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectScaleMarker.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "latticer/CLatticer.h"
#include "qvimage/CQvImage.h"
#include "winmsg/NamedMapping.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr const char* kModuleRunMapping = "MODULE_PROGZUB_PARAMETER_RUN";
constexpr const char* kModuleRunText = "PZ ModuleRun";
constexpr size_t kModuleRunBytes = 1024;

bool IsMeasurement(const CQvGObject* object)
{
    return object->GetGOType() == GOTYPE_MEASURE || object->GetGOType() == GOTYPE_MEASURE_ALT;
}

}  // namespace

bool CompanionModuleHoldsContextMenu()
{
    NamedMapping mapping;
    if (!mapping.Open(kModuleRunMapping))
        return false;
    // The block is another program's: its text is read only within the block (as it is now), terminated or not.
    const std::string block = mapping.ReadPrefix(kModuleRunBytes);
    return std::string_view(block.c_str(), strnlen(block.c_str(), block.size())) == kModuleRunText;
}

// ---------------------------------------------------------------------------------------------------------------
// Properties and colours

void CViewCommands::OnProperties()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    // A change reaches the window as its property-changed notice, which runs AfterObjectEdit.
    if (doc->GetGObjectContainer().OnPropertyAll(&Window()))
        doc->SetModifiedFlag(true);
}

COLORREF CViewCommands::BarColour(bool line) const
{
    CMainFrame* frame = m_view.MainFrame();
    ColourPopupButton* button = frame ? (line ? frame->LineColourButton() : frame->TextColourButton()) : nullptr;
    return button ? button->Colour() : CLR_AUTOMATIC;
}

void CViewCommands::ApplyColour(bool line, COLORREF colour)
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    CQvGObjectContainer& objects = doc->GetGObjectContainer();
    const GObjectList& selected = objects.GetSelectObjList();
    if (selected.empty()) {
        // Nothing selected: the colour is the default of what is drawn next.
        if (CQvGObjectPropertyTotal* defaults = objects.GetBaseProperty()) {
            if (line)
                defaults->SetLineColor(colour, static_cast<OBJ_SHAPE>(0));
            else
                defaults->SetTextColor(colour, static_cast<OBJ_SHAPE>(0));
        }
        return;
    }
    for (CQvGObject* object : selected) {
        if (line) {
            object->GetProperty().SetLineColor(colour);
        } else if (CQvGObject* label = object->GetLabelObject(); label && IsMeasurement(object)) {
            label->GetProperty().SetTextColor(colour);
        } else {
            object->GetProperty().SetTextColor(colour);
        }
    }
    if (selected.size() == 1) {
        const OBJ_SHAPE shape = selected.front()->GetObjShape();
        if (line)
            objects.SetDefaultLineColor(colour, shape);
        else
            objects.SetDefaultFontColor(colour, shape);
    }
    objects.ObjectsChanged();
    doc->SetModifiedFlag(true);
    Window().Invalidate(0);
}

void CViewCommands::OnLineColour()
{
    ApplyColour(true, BarColour(true));
}

void CViewCommands::OnTextColour()
{
    ApplyColour(false, BarColour(false));
}

// The bar's control already shows the colour the selector picked.
void CViewCommands::OnLineColourSelector()
{
    OnLineColour();
}

void CViewCommands::OnTextColourSelector()
{
    OnTextColour();
}

void CViewCommands::OnUpdateTextColour(CCmdUI* ui)
{
    CVistrelDoc* doc = Document();
    bool enable = doc != nullptr;
    if (doc && doc->GetGObjectContainer().GetSelectedObjectCount() == 1) {
        // Annotations other than text and scale markers have no text to colour.
        const CQvGObject* only = doc->GetGObjectContainer().GetSelection().front();
        const OBJ_SHAPE shape = only->GetObjShape();
        enable = !only->IsAnnotation() || shape == SHAPE_TEXT || shape == SHAPE_SCALE_MARKER;
    }
    ui->Enable(enable);
}

// ---------------------------------------------------------------------------------------------------------------
// Scale bar and Z indicator

void CViewCommands::PlaceScaleBar(bool afterCapture)
{
    CVistrelDoc* doc = Document();
    if (!doc || (afterCapture && !doc->GetPreferences().showScaleBar))
        return;
    CQvGObjectContainer& objects = doc->GetGObjectContainer();
    const CQvImage& image = doc->GetImage();
    if (objects.GetShowCalibrationScale()) {
        objects.SetAutoRepeatCreatingObject(0);
        if (objects.AddObject(SHAPE_SCALE_MARKER)) {
            CQvGObject* bar = objects.GetCreatingObject();
            // A bar the program adds after each capture is placed without asking; one the user asks for opens
            // its sheet so that the user chooses its look.
            if (afterCapture)
                static_cast<CQvGObjectScaleMarker*>(bar)->EnableFinishUI(0);
            const CPoint centre(image.GetWidth() / 2, image.GetHeight() / 2);
            for (int i = 0; i < 3 && bar->GetState() != GS_FINISHED; ++i)
                bar->AddPoint(centre);
            objects.RepeatCreatingObject(bar);
            objects.SetAutoRepeatCreatingObject(1);
            objects.SelectionMode(1);
            Window().ModifyToolMode(CImageDispWnd::kCreating, CImageDispWnd::kSelectionMode);
            objects.UnSelectAll();
            objects.SelectObjects(bar, 0);
            Window().SetAutoScroll(0);
            Window().ReleaseCursorClip();
            doc->SetModifiedFlag(true);
        }
    }
    // A scale bar placed after a capture is left unselected.
    if (afterCapture)
        objects.UnSelectAll();
    Window().AfterObjectEdit();
}

void CViewCommands::OnScaleBar()
{
    PlaceScaleBar(false);
}

void CViewCommands::OnScaleBarAfterCapture()
{
    PlaceScaleBar(true);
}

void CViewCommands::AddZIndicator(double height)
{
    CVistrelDoc* doc = Document();
    // The height comes from another module: only a number an int can hold is drawn.
    if (!doc || !std::isfinite(height) || height >= static_cast<double>(std::numeric_limits<int>::max()) ||
        height <= static_cast<double>(std::numeric_limits<int>::min()))
        return;
    CQvGObjectContainer& objects = doc->GetGObjectContainer();
    if (!objects.AddObject(SHAPE_Z_INDICATOR))
        return;
    objects.SelectionMode(0);
    Window().ModifyToolMode(CImageDispWnd::kRegionMode, 0);
    CQvGObject* indicator = objects.GetCreatingObject();
    indicator->AddPoint(CPoint(static_cast<int>(height), 0));
    indicator->Finish();
    objects.RepeatCreatingObject(indicator);
    // Automatic repetition has already started the next indicator; nobody is drawing it.
    objects.CancelObject();
    doc->SetModifiedFlag(true);
    Window().AfterObjectEdit();
}

// ---------------------------------------------------------------------------------------------------------------
// Grid

void CViewCommands::OnGridShow()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    CLatticer& grid = doc->GetLatticer();
    grid.Show(grid.IsShow() ? 0 : 1);
    Window().Invalidate(0);
    // New documents inherit the last choice.
    if (ProgramServices* program = TheProgram())
        program->Grid().Show(grid.IsShow());
}
