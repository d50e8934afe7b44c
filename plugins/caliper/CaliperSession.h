// The caliper's work on one image view: the grey image the profiles are read from, the calibration factor, a canvas
// on which tools and markers are drawn over an untouched copy of the working image, the tool and marker lists, the
// analysers and the report tables. Mouse and key input become tools; each complete tool's analyser is kept up to
// date and one marker placed per edge found; the canvas is pushed back into the view's working image (the RGBA copy
// the view made). Pixels are exchanged row by row through the image's rows, so the result does not depend on how
// the image library lays rows out in memory. UI thread only.
#pragma once

#include "caliper/CaliperReport.h"
#include "caliper/CaliperSettings.h"
#include "caliper/CaliperToolList.h"
#include "caliper/ProfileAnalyzer.h"
#include "qvimage/CQvImage.h"

#include <QImage>

#include <functional>

class CPlgView;

namespace caliper {

// Set while the plug-in itself changes a view's image, so that the view ignores the change notice it causes.
int& BusyFlag();

}  // namespace caliper

class CCaliperSession
{
public:
    // What the session tells the plug-in around it.
    struct Hooks
    {
        std::function<void()> profileChanged;  // the current analyser or its profile changed
        std::function<void()> reportFilled;    // the report control was filled
    };

    CCaliperSession(CPlgView& view, CCaliperSettings& settings, Hooks hooks = {});
    ~CCaliperSession();
    CCaliperSession(const CCaliperSession&) = delete;
    CCaliperSession& operator=(const CCaliperSession&) = delete;

    // Binds to the view's image as it is now: grey image, canvas, analysers (remade for the tools there are).
    int Begin();
    void Render();
    // Copies the canvas into the view's image and has the view redraw; nothing when the image is not the RGBA copy
    // of the session's size any more.
    void Push();

    void MouseDown(UINT flags, int x, int y);
    void MouseUp(UINT flags, int x, int y);
    void MouseMove(UINT flags, int x, int y);
    void KeyDown(UINT key);
    // Re-samples the tools (all, or the selection or else the current tool) and places their markers again.
    void Measure(bool all);
    void Apply();
    void Reanalyze();
    void SetToolMode(int mode);
    void SetResultMode(int mode);
    // Builds the tables and fills the view's report control with the active one.
    void RebuildReport();

    CPlgView& View() const { return *m_view; }
    CCaliperSettings& Settings() const { return *m_settings; }
    double UnitsPerPixel() const { return m_unitsPerPixel; }
    CAnalyzerSet& Analyzers() { return m_analyzers; }
    CCaliperToolList& Tools() { return m_tools; }
    CMarkerList& Markers() { return m_markers; }
    CReportBuilder& Report() { return m_report; }
    const QImage& Canvas() const { return m_canvas; }
    const CQvImage& Grey() const { return m_grey; }

private:
    CQvImage* ViewImage() const;
    void MeasureTool(CCaliperTool& tool);
    void ProfileChanged() const;

    CPlgView* m_view;
    CCaliperSettings* m_settings;
    Hooks m_hooks;
    CQvImage m_grey;
    QImage m_untouched;
    QImage m_canvas;
    CCaliperToolList m_tools;
    CMarkerList m_markers;
    CAnalyzerSet m_analyzers;
    CReportBuilder m_report;
    double m_unitsPerPixel = 1.0;
    int m_width = 0;
    int m_height = 0;
};
