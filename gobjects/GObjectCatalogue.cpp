#include "GObjectCatalogue.h"

#include "Edition.h"
#include "FiguronStrings.h"
#include "GObjectTypes.h"

#include <QImage>
#include <QString>

#include <span>
#include <vector>

namespace {

struct ToolEntry
{
    int32_t shape;
    uint32_t nameId;
    int32_t imageIndex;
};

// Every edition but 8 and 9; the image index is the position.
constexpr ToolEntry k2DMeasureTools[] = {
    {SHAPE_LINE, IDS_SHAPE_LINE, 0},
    {SHAPE_HLINE_POINT_TO_POINT, IDS_SHAPE_HLINE_POINT_TO_POINT, 1},
    {SHAPE_HLINE, IDS_SHAPE_HLINE, 2},
    {SHAPE_VLINE_POINT_TO_POINT, IDS_SHAPE_VLINE_POINT_TO_POINT, 3},
    {SHAPE_VLINE, IDS_SHAPE_VLINE, 4},
    {SHAPE_PARALLEL, IDS_SHAPE_PARALLEL, 5},
    {SHAPE_PERPENDICULAR, IDS_SHAPE_PERPENDICULAR, 6},
    {SHAPE_DAS, IDS_SHAPE_DAS, 7},
    {SHAPE_POLYLINE, IDS_SHAPE_POLYLINE, 8},
    {SHAPE_CENTER_TO_CENTER, IDS_SHAPE_CENTER_TO_CENTER, 9},
    {SHAPE_BESTFIT_LINE, IDS_SHAPE_BESTFIT_LINE, 10},
    {SHAPE_CIRCLE, IDS_SHAPE_CIRCLE, 11},
    {SHAPE_CIRCLE_FROM_CENTER, IDS_SHAPE_CIRCLE_FROM_CENTER, 12},
    {SHAPE_3POINT_CIRCLE, IDS_SHAPE_3POINT_CIRCLE, 13},
    {SHAPE_ELLIPSE, IDS_SHAPE_ELLIPSE, 14},
    {SHAPE_RECT, IDS_SHAPE_RECT, 15},
    {SHAPE_POLYGON, IDS_SHAPE_POLYGON, 16},
    {SHAPE_2LINE_ANGLE, IDS_SHAPE_2LINE_ANGLE, 17},
    {SHAPE_3POINT_ANGLE, IDS_SHAPE_3POINT_ANGLE, 18},
    {SHAPE_POINT, IDS_SHAPE_POINT, 19},
    {SHAPE_TARGET, IDS_SHAPE_TARGET, 20},
    {SHAPE_CURVATURE, IDS_SHAPE_CURVATURE, 21},
};

// Edition 8: no Das and no Curvature; the others keep their pictures.
constexpr ToolEntry k2DMeasureToolsEdition8[] = {
    {SHAPE_LINE, IDS_SHAPE_LINE, 0},
    {SHAPE_HLINE_POINT_TO_POINT, IDS_SHAPE_HLINE_POINT_TO_POINT, 1},
    {SHAPE_HLINE, IDS_SHAPE_HLINE, 2},
    {SHAPE_VLINE_POINT_TO_POINT, IDS_SHAPE_VLINE_POINT_TO_POINT, 3},
    {SHAPE_VLINE, IDS_SHAPE_VLINE, 4},
    {SHAPE_PARALLEL, IDS_SHAPE_PARALLEL, 5},
    {SHAPE_PERPENDICULAR, IDS_SHAPE_PERPENDICULAR, 6},
    {SHAPE_POLYLINE, IDS_SHAPE_POLYLINE, 8},
    {SHAPE_CENTER_TO_CENTER, IDS_SHAPE_CENTER_TO_CENTER, 9},
    {SHAPE_BESTFIT_LINE, IDS_SHAPE_BESTFIT_LINE, 10},
    {SHAPE_CIRCLE, IDS_SHAPE_CIRCLE, 11},
    {SHAPE_CIRCLE_FROM_CENTER, IDS_SHAPE_CIRCLE_FROM_CENTER, 12},
    {SHAPE_3POINT_CIRCLE, IDS_SHAPE_3POINT_CIRCLE, 13},
    {SHAPE_ELLIPSE, IDS_SHAPE_ELLIPSE, 14},
    {SHAPE_RECT, IDS_SHAPE_RECT, 15},
    {SHAPE_POLYGON, IDS_SHAPE_POLYGON, 16},
    {SHAPE_2LINE_ANGLE, IDS_SHAPE_2LINE_ANGLE, 17},
    {SHAPE_3POINT_ANGLE, IDS_SHAPE_3POINT_ANGLE, 18},
    {SHAPE_POINT, IDS_SHAPE_POINT, 19},
    {SHAPE_TARGET, IDS_SHAPE_TARGET, 20},
};

constexpr ToolEntry k2DMeasureToolsEdition9[] = {
    {SHAPE_LINE, IDS_SHAPE_LINE, 0},
    {SHAPE_HLINE, IDS_SHAPE_HLINE, 2},
    {SHAPE_VLINE, IDS_SHAPE_VLINE, 4},
    {SHAPE_3POINT_CIRCLE, IDS_SHAPE_3POINT_CIRCLE, 13},
    {SHAPE_ELLIPSE, IDS_SHAPE_ELLIPSE, 14},
    {SHAPE_RECT, IDS_SHAPE_RECT, 15},
    {SHAPE_POLYGON, IDS_SHAPE_POLYGON, 16},
    {SHAPE_3POINT_ANGLE, IDS_SHAPE_3POINT_ANGLE, 18},
};

constexpr ToolEntry kAutoMeasureTools[] = {
    {SHAPE_AUTO_LINE, IDS_AUTO_LINE, 0},
    {SHAPE_AUTO_CIRCLE, IDS_AUTO_CIRCLE, 1},
    {SHAPE_AUTO_ARC, IDS_AUTO_ARC, 2},
    {SHAPE_AUTO_ANGLE, IDS_AUTO_ANGLE, 3},
};

// The annotation tools carry the codes their objects are created with.
constexpr ToolEntry kAnnotationTools[] = {
    {SHAPE_ANNO_POINT, IDS_ANNO_POINT, 0},
    {SHAPE_ANNO_LINE, IDS_ANNO_LINE, 1},
    {SHAPE_ANNO_RECT, IDS_ANNO_RECT, 2},
    {SHAPE_ANNO_CIRCLE_FROM_CENTER, IDS_ANNO_CIRCLE, 3},
    {SHAPE_ANNO_ELLIPSE, IDS_ANNO_ELLIPSE, 4},
    {SHAPE_ANNO_POLYLINE, IDS_ANNO_POLYLINE, 5},
    {SHAPE_ANNO_POLYGON, IDS_ANNO_POLYGON, 6},
    {SHAPE_TEXT, IDS_ANNO_TEXT, 7},
};

// A catalogue as handed out: empty until requested, rebuilt from scratch after a Destroy.
class Catalogue
{
public:
    tagGObjInfo* Get(std::span<const ToolEntry> tools)
    {
        if (!m_built) {
            m_entries.clear();
            for (const ToolEntry& tool : tools)
                m_entries.push_back(tagGObjInfo{tool.shape, LoadFiguronString(tool.nameId), tool.imageIndex});
            m_built = true;
        }
        return m_entries.data();
    }
    int Count() const { return static_cast<int>(m_entries.size()); }
    void Destroy()
    {
        m_entries.clear();
        m_built = false;
    }

private:
    std::vector<tagGObjInfo> m_entries;
    bool m_built = false;
};

Catalogue g2DMeasure;
Catalogue gAutoMeasure;
Catalogue gAnnotation;

std::span<const ToolEntry> ToolsOfEdition(OEM_PRODUCT edition)
{
    if (edition == kEditionWithoutDasAndCurvature)
        return k2DMeasureToolsEdition8;
    if (edition == kEditionEightTools)
        return k2DMeasureToolsEdition9;
    return k2DMeasureTools;
}

void LoadToolStrip(const char* resource, QImage* bitmap)
{
    if (bitmap)
        bitmap->load(QString::fromLatin1(resource));
}

constexpr int kMeasurementCount = 15;

}  // namespace

tagGObjInfo* Get2DMeasureInfo()
{
    return g2DMeasure.Get(ToolsOfEdition(g_OEMProduct));
}

int Get2DMeasureInfoCount()
{
    return g2DMeasure.Count();
}

void Destroy2DMeasureInfo()
{
    g2DMeasure.Destroy();
}

tagGObjInfo* GetAutoMeasureInfo()
{
    return gAutoMeasure.Get(kAutoMeasureTools);
}

int GetAutoMeasureInfoCount()
{
    return gAutoMeasure.Count();
}

void DestroyAutoMeasureInfo()
{
    gAutoMeasure.Destroy();
}

tagGObjInfo* GetAnnotationInfo()
{
    return gAnnotation.Get(kAnnotationTools);
}

int GetAnnotationInfoCount()
{
    return gAnnotation.Count();
}

void DestroyAnnotationInfo()
{
    gAnnotation.Destroy();
}

void Get2DMeasureImageList(QImage* bitmap)
{
    LoadToolStrip(":/figuron/toolstrip4000.png", bitmap);
}

void GetAutoMeasureImageList(QImage* bitmap)
{
    LoadToolStrip(":/figuron/toolstrip4015.png", bitmap);
}

void GetAnnotationImageList(QImage* bitmap)
{
    LoadToolStrip(":/figuron/toolstrip4002.png", bitmap);
}

int GetMeasurementCount()
{
    return kMeasurementCount;
}

int GetMeasurementType(int n)
{
    return static_cast<int>(1u << (static_cast<unsigned>(n) & 31u));
}

const char* GetMeasurementName(int n)
{
    static std::string name;
    name = n >= 0 && n <= static_cast<int>(IDS_QUANTITY_LAST - IDS_QUANTITY_FIRST)
               ? LoadFiguronString(IDS_QUANTITY_FIRST + static_cast<uint32_t>(n))
               : std::string();
    return name.c_str();
}
