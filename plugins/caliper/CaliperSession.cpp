#include "caliper/CaliperSession.h"

#include "caliper/CaliperStrings.h"
#include "calibkeeper/CCalibKeeper.h"
#include "framepool/CQvFramePool.h"
#include "gdi/CDC.h"
#include "qvimage/QvImageOps.h"
#include "qvplglib/CPlgView.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace caliper;

int& caliper::BusyFlag()
{
    static int busy = 0;
    return busy;
}

namespace {

// Sets the busy flag for a scope and puts back what was there.
class BusyScope
{
public:
    BusyScope() : m_previous(BusyFlag()) { BusyFlag() = 1; }
    ~BusyScope() { BusyFlag() = m_previous; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int m_previous;
};

bool IsTool(const CCaliperTool* tool)
{
    return tool && (tool->Kind() == kLineTool || tool->Kind() == kCircleTool);
}

}  // namespace

CCaliperSession::CCaliperSession(CPlgView& view, CCaliperSettings& settings, Hooks hooks)
    : m_view(&view), m_settings(&settings), m_hooks(std::move(hooks)), m_analyzers(settings), m_report(settings)
{
    Begin();
}

CCaliperSession::~CCaliperSession() = default;

CQvImage* CCaliperSession::ViewImage() const
{
    CQvFramePool* pool = m_view->GetFramePool();
    return pool ? &pool->GetImage() : nullptr;
}

void CCaliperSession::ProfileChanged() const
{
    if (m_hooks.profileChanged)
        m_hooks.profileChanged();
}

int CCaliperSession::Begin()
{
    const CCalibKeeper* calibration = m_view->GetCalibKeeper();
    m_unitsPerPixel = calibration ? calibration->GetUnitsPerPixel() : 1.0;
    CQvImage* image = ViewImage();
    m_width = image ? image->GetWidth() : 0;
    m_height = image ? image->GetHeight() : 0;
    m_grey = CQvImage();
    m_untouched = QImage();
    GreyImage rows;
    if (image && !image->IsEmpty() && image->GetColorModel() == QV_RGBA32) {
        m_grey.Create(QV_GRAY8, m_width, m_height, 0);
        QvRGBA2Gray(image, &m_grey, 0.212671f, 0.71516f, 0.072169f);
        m_untouched = QImage(m_width, m_height, QImage::Format_RGB32);
        BYTE** source = image->Get2DBuffer();
        for (int y = 0; y < m_height; ++y)
            std::memcpy(m_untouched.scanLine(y), source[y], static_cast<size_t>(m_width) * 4);
        BYTE** grey = m_grey.Get2DBuffer();
        rows = GreyImage{{}, m_width, m_height};
        for (int y = 0; y < m_height; ++y)
            rows.rows.push_back(grey[y]);
    }
    m_analyzers.Bind(std::move(rows));
    // The tools stay over a new image: each gets its analyser again, so the next measurement includes it.
    for (int id : m_tools.ToolIds())
        if (CCaliperTool* tool = m_tools.Find(id); tool && tool->IsComplete()) {
            m_analyzers.Add(id, tool->Name(), tool->Samples());
            m_analyzers.Find(id)->SetPathFlag(tool->Kind() == kLineTool ? 0 : 1);
        }
    if (m_analyzers.Count())
        m_analyzers.Remove(-1);  // no current analyser until one is picked
    m_tools.Reset();
    m_tools.SetImageSize(m_width, m_height);
    m_tools.SetPenColour(m_settings->Colour(kToolColour));
    m_tools.SetLabelColour(m_settings->Colour(kToolColour));
    m_markers.Reset();
    m_markers.SetPenColour(m_settings->Colour(kToolColour));
    m_canvas = m_untouched.copy();
    return 1;
}

void CCaliperSession::Render()
{
    if (m_canvas.isNull())
        return;
    if (m_canvas.size() == m_untouched.size())
        std::memcpy(m_canvas.bits(), m_untouched.constBits(), static_cast<size_t>(m_untouched.sizeInBytes()));
    else
        m_canvas = m_untouched.scaled(m_canvas.size());
    CDC dc(m_canvas);
    m_tools.Draw(dc);
    m_markers.Draw(dc);
}

void CCaliperSession::Push()
{
    CQvImage* image = ViewImage();
    // Another size or type (the image changed while this session was not the current one) would overrun it.
    if (!image || m_canvas.isNull() || image->GetColorModel() != QV_RGBA32 || image->GetWidth() != m_width ||
        image->GetHeight() != m_height)
        return;
    BYTE** rows = image->Get2DBuffer();
    for (int y = 0; y < m_height; ++y)
        std::memcpy(rows[y], m_canvas.constScanLine(y), static_cast<size_t>(m_width) * 4);
    BusyScope busy;
    m_view->UpdateCanvasSize();
    m_view->RedrawWindow();
}

void CCaliperSession::MouseDown(UINT flags, int x, int y)
{
    CCaliperTool* before = m_tools.Current();
    if (m_tools.MouseDown(flags, x, y)) {
        CCaliperTool* tool = m_tools.Current();
        m_analyzers.Add(tool->Id(), tool->Name(), tool->Samples());
        m_analyzers.Find(tool->Id())->SetPathFlag(tool->Kind() != kLineTool ? 1 : 0);
    } else if (CCaliperTool* now = m_tools.Current(); now != before && now && m_analyzers.Select(now->Id())) {
        RebuildReport();
    }
    Render();
    Push();
}

void CCaliperSession::MouseUp(UINT flags, int x, int y)
{
    m_tools.MouseUp(flags, x, y);
    ProfileChanged();
    Measure(false);
    // The markers of the measurement show at once, and the tables follow the finished drawing or edit.
    Render();
    Push();
    RebuildReport();
}

void CCaliperSession::MouseMove(UINT flags, int x, int y)
{
    const CCaliperTool* current = m_tools.Current();
    const bool drawing = current && !current->IsComplete();
    // Without the button nothing moves: only a tool being drawn follows the pointer.
    if (!(flags & MK_LBUTTON) && !drawing) {
        m_tools.MouseMove(flags, x, y);
        return;
    }
    m_tools.MouseMove(flags, x, y);
    if (current && current->IsComplete() && m_analyzers.Find(current->Id())) {
        Measure(false);
        ProfileChanged();
    }
    Render();
    Push();
}

void CCaliperSession::KeyDown(UINT key)
{
    const std::vector<int> before = m_tools.ToolIds();
    m_tools.KeyDown(key);
    const std::vector<int> after = m_tools.ToolIds();
    for (int id : before) {
        if (std::find(after.begin(), after.end(), id) != after.end())
            continue;
        m_markers.RemoveMarkers(id);
        m_analyzers.Remove(id);
    }
    ProfileChanged();
    RebuildReport();
    Measure(true);
    Render();
    Push();
}

void CCaliperSession::MeasureTool(CCaliperTool& tool)
{
    if (!tool.IsComplete() || !m_analyzers.Find(tool.Id()))
        return;
    m_analyzers.Update(tool.Id(), tool.Samples());
    const CProfileAnalyzer& analyzer = *m_analyzers.Find(tool.Id());
    m_markers.RemoveMarkers(tool.Id());
    for (int kind = 0; kind < kEdgeKinds; ++kind) {
        if (!m_settings->Detector(kind))
            continue;
        const std::string letter = Text(kStrKindLetters + static_cast<uint32_t>(kind));
        const COLORREF colour = m_settings->Colour(kind);
        const auto& points = analyzer.EdgePoints(kind);
        for (size_t j = 0; j < points.size(); ++j) {
            const CPoint p = points[j];
            double angle = tool.Direction(p.x, p.y);
            if (tool.Kind() == kLineTool)
                angle -= std::numbers::pi / 2;
            CCaliperTag* marker = m_markers.AddMarker(tool.Id(), p.x, p.y, letter + std::to_string(j), angle);
            marker->Style().pen = colour;
            marker->Style().showLabel = m_settings->ShowNames();
            if (CCaliperTool* label = marker->Label())
                label->Style().labelText = colour;
        }
    }
}

void CCaliperSession::Measure(bool all)
{
    std::vector<int> ids;
    if (all) {
        ids = m_tools.ToolIds();
    } else {
        for (int id : m_tools.SelectedIds())
            if (IsTool(m_tools.Find(id)))
                ids.push_back(id);
        if (m_tools.SelectedIds().empty() && IsTool(m_tools.Current()))
            ids.push_back(m_tools.Current()->Id());
    }
    for (int id : ids)
        if (CCaliperTool* tool = m_tools.Find(id))
            MeasureTool(*tool);
}

void CCaliperSession::Apply()
{
    m_tools.SetPenColour(m_settings->Colour(kToolColour));
    m_tools.SetLabelColour(m_settings->Colour(kToolColour));
    m_tools.ReapplyStyles();
    m_analyzers.ReanalyzeAll();
    Measure(true);
    Render();
    Push();
    RebuildReport();
    ProfileChanged();
}

void CCaliperSession::Reanalyze()
{
    m_analyzers.ReanalyzeAll();
    ProfileChanged();
}

void CCaliperSession::SetToolMode(int mode)
{
    m_settings->SetToolMode(mode);
    m_tools.SetMode(mode == 1 ? kLineTool : mode == 2 ? kCircleTool : CCaliperToolList::kSelectMode);
}

void CCaliperSession::SetResultMode(int mode)
{
    m_settings->SetResultMode(mode);
    RebuildReport();
}

void CCaliperSession::RebuildReport()
{
    m_report.Build(m_analyzers, m_unitsPerPixel);
    auto* control = dynamic_cast<CCaliperReportCtrl*>(m_view->GetReportControl());
    if (!control)
        return;
    control->Fill(m_report.Active(), m_settings->ResultMode());
    if (m_hooks.reportFilled)
        m_hooks.reportFilled();
}
