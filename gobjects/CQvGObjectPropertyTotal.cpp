#include "CQvGObjectPropertyTotal.h"

#include "CQvGObject.h"
#include "Edition.h"

#include "stream/LeStream.h"

#include <cstdlib>
#include <utility>

CQvGObjectPropertyTotal g_GOPropertyTotal;

namespace {

constexpr int kMeasureIndex = -1;

bool IsMeasurementCode(int shape)
{
    return (shape >= 0 && shape <= 29) || shape == SHAPE_CURVATURE;
}

// Shapes that keep settings of their own in the set (see LoadShapeDefaults).
bool HasShapeSettings(int shape)
{
    switch (shape) {
    case SHAPE_TARGET:
    case SHAPE_2LINE_ANGLE:
    case SHAPE_3POINT_ANGLE:
    case SHAPE_TEXT:
    case SHAPE_IMAGE:
    case 40:
    case 41:
    case SHAPE_SCALE_MARKER: return true;
    default: return false;
    }
}

// Index of the annotation attribute set that an annotation code uses (30-39 -> 0-9).
int AnnotationIndex(int shape)
{
    return shape >= SHAPE_ANNO_POINT && shape <= SHAPE_IMAGE ? shape - SHAPE_ANNO_POINT : kMeasureIndex;
}

}  // namespace

CQvGObjectPropertyTotal::CQvGObjectPropertyTotal()
{
    Initialize();
}

CQvGObjectPropertyTotal& CQvGObjectPropertyTotal::operator=(const CQvGObjectPropertyTotal& other)
{
    if (this == &other)
        return *this;
    const int32_t dasDispType = m_dispTypes[kDasSlot];
    m_dispTypes = other.m_dispTypes;
    m_dispTypes[kDasSlot] = dasDispType;
    m_measure = other.m_measure;
    m_angleInnerFlag = other.m_angleInnerFlag;
    m_targetGap = other.m_targetGap;
    m_targetFactor = other.m_targetFactor;
    m_targetFlags = other.m_targetFlags;
    for (int i = 0; i < kAnnotationCount; ++i)
        m_annotations[i] = other.m_annotations[i];
    m_textLineShown = other.m_textLineShown;
    m_imageOpacity = other.m_imageOpacity;
    m_scaleMarker = other.m_scaleMarker;
    m_scaleMarker1904 = other.m_scaleMarker1904;
    m_scaleMarker1908 = other.m_scaleMarker1908;
    m_scaleMarker1912 = other.m_scaleMarker1912;
    m_scaleMarker1916 = other.m_scaleMarker1916;
    m_scaleMarker1920 = other.m_scaleMarker1920;
    m_scaleMarker1924 = other.m_scaleMarker1924;
    return *this;
}

void CQvGObjectPropertyTotal::Swap(CQvGObjectPropertyTotal& other) noexcept
{
    std::swap(m_reserved4, other.m_reserved4);
    std::swap(m_dispTypes, other.m_dispTypes);
    m_measure.Swap(other.m_measure);
    std::swap(m_angleInnerFlag, other.m_angleInnerFlag);
    std::swap(m_targetGap, other.m_targetGap);
    std::swap(m_targetFactor, other.m_targetFactor);
    std::swap(m_targetFlags, other.m_targetFlags);
    for (int i = 0; i < kAnnotationCount; ++i)
        m_annotations[i].Swap(other.m_annotations[i]);
    std::swap(m_textLineShown, other.m_textLineShown);
    std::swap(m_imageOpacity, other.m_imageOpacity);
    m_scaleMarker.Swap(other.m_scaleMarker);
    std::swap(m_scaleMarker1904, other.m_scaleMarker1904);
    std::swap(m_scaleMarker1908, other.m_scaleMarker1908);
    std::swap(m_scaleMarker1912, other.m_scaleMarker1912);
    std::swap(m_scaleMarker1916, other.m_scaleMarker1916);
    std::swap(m_scaleMarker1920, other.m_scaleMarker1920);
    std::swap(m_scaleMarker1924, other.m_scaleMarker1924);
}

void CQvGObjectPropertyTotal::Initialize()
{
    const bool edition1 = g_OEMProduct == kEditionHeightWidth;
    m_reserved4 = 0;
    m_dispTypes = {
        CAL_LENGTH,                          // Line, AutoLine
        CAL_POSITION_CENTER,                 // Point, ZIndicator
        CAL_AREA,                            // Rect
        CAL_AREA,                            // Circle
        CAL_AREA,                            // CircleFromCenter
        CAL_MAX_RADIUS,                      // Ellipse
        CAL_LENGTH,                          // PolyLine
        CAL_AREA,                            // Polygon
        CAL_LENGTH,                          // BestFitLine
        CAL_POSITION_CENTER,                 // Target
        edition1 ? CAL_HEIGHT : CAL_LENGTH,  // HorizontalLine
        edition1 ? CAL_WIDTH : CAL_LENGTH,   // VerticalLine
        edition1 ? CAL_WIDTH : CAL_LENGTH,   // HorizontalLinePointToPoint
        edition1 ? CAL_HEIGHT : CAL_LENGTH,  // VerticalLinePointToPoint
        CAL_LENGTH,                          // CenterToCenter
        CAL_LENGTH,                          // Parallel
        CAL_LENGTH,                          // Perpendicular
        0,                                   // Das
        CAL_ANGLE,                           // 2LineAngle, AutoAngle
        CAL_ANGLE,                           // 3PointAngle
        CAL_MAX_RADIUS,                      // 3PointCircle, AutoCircle
        CAL_MAX_RADIUS,                      // AutoArc
        CAL_CURVATURE,                       // Curvature
    };
    m_measure.Initialize();
    m_angleInnerFlag = 1;
    m_targetGap = 20.0f;
    m_targetFactor = 1.0;
    // Rings, as a Target is built: with no shape flag a newly drawn target would show its cross-hair alone.
    m_targetFlags = 1;
    for (CQvGObjectProperty& annotation : m_annotations)
        annotation.Initialize();
    m_textLineShown = 0;
    m_imageOpacity = 100;
    m_scaleMarker.Initialize();
    m_scaleMarker.SetLineColor(0xFF0000);
    m_scaleMarker.SetFillColor(0xFFFFFF);
    m_scaleMarker.SetTextColor(0x0000FF);
    m_scaleMarker.ShowFill(1);
    m_scaleMarker1904 = 0xFF0000;
    m_scaleMarker1908 = 3;
    m_scaleMarker1912 = 10.0f;
    m_scaleMarker1916 = 0;
    m_scaleMarker1920 = 1;
    m_scaleMarker1924 = {0, 0, 20, 20, 20};
}

int CQvGObjectPropertyTotal::DispSlot(int shape)
{
    switch (shape) {
    case SHAPE_LINE:
    case SHAPE_AUTO_LINE: return 0;
    case SHAPE_POINT:
    case SHAPE_Z_INDICATOR: return 1;
    case SHAPE_RECT: return 2;
    case SHAPE_CIRCLE: return 3;
    case SHAPE_CIRCLE_FROM_CENTER: return 4;
    case SHAPE_ELLIPSE: return 5;
    case SHAPE_POLYLINE: return 6;
    case SHAPE_POLYGON: return 7;
    case SHAPE_BESTFIT_LINE: return 8;
    case SHAPE_TARGET: return 9;
    case SHAPE_HLINE: return 10;
    case SHAPE_VLINE: return 11;
    case SHAPE_HLINE_POINT_TO_POINT: return 12;
    case SHAPE_VLINE_POINT_TO_POINT: return 13;
    case SHAPE_CENTER_TO_CENTER: return 14;
    case SHAPE_PARALLEL: return 15;
    case SHAPE_PERPENDICULAR: return 16;
    case SHAPE_DAS: return kDasSlot;
    case SHAPE_2LINE_ANGLE:
    case SHAPE_AUTO_ANGLE: return 18;
    case SHAPE_3POINT_ANGLE: return 19;
    case SHAPE_3POINT_CIRCLE:
    case SHAPE_AUTO_CIRCLE: return 20;
    case SHAPE_AUTO_ARC: return 21;
    case SHAPE_CURVATURE: return 22;
    default: return -1;
    }
}

int32_t CQvGObjectPropertyTotal::GetDispType(OBJ_SHAPE shape) const
{
    const int slot = DispSlot(shape);
    return slot < 0 ? 0 : m_dispTypes[slot];
}

int CQvGObjectPropertyTotal::SetDispType(OBJ_SHAPE shape, int32_t calType)
{
    const int slot = DispSlot(shape);
    if (slot < 0)
        return 0;
    m_dispTypes[slot] = calType;
    return 1;
}

int32_t CQvGObjectPropertyTotal::GetScaleMarkerInt1924(int index) const
{
    return index >= 0 && index < 5 ? m_scaleMarker1924[index] : 0;
}

void CQvGObjectPropertyTotal::SetScaleMarkerInt1924(int index, int32_t value)
{
    if (index >= 0 && index < 5)
        m_scaleMarker1924[index] = value;
}

CQvGObjectProperty& CQvGObjectPropertyTotal::GetProperty(OBJ_SHAPE shape)
{
    return const_cast<CQvGObjectProperty&>(std::as_const(*this).GetProperty(shape));
}

const CQvGObjectProperty& CQvGObjectPropertyTotal::GetProperty(OBJ_SHAPE shape) const
{
    const int annotation = AnnotationIndex(shape);
    if (annotation != kMeasureIndex)
        return m_annotations[annotation];
    if (shape >= 40 && shape <= SHAPE_SCALE_MARKER)
        return m_scaleMarker;
    return m_measure;
}

int CQvGObjectPropertyTotal::SetProperty(QVGO_TYPE kind, const CQvGObjectProperty* prop)
{
    if (!prop)
        return 0;
    if (kind == GOTYPE_MEASURE_ALT)
        CopyBaseProperty(&m_measure, prop);
    else if (kind >= GOTYPE_POINT && kind <= GOTYPE_IMAGE)
        CopyBaseProperty(&m_annotations[kind - GOTYPE_POINT], prop);
    else if (kind == GOTYPE_SCALE_MARKER)
        CopyBaseProperty(&m_scaleMarker, prop);
    else
        return 0;
    return 1;
}

int CQvGObjectPropertyTotal::GetProperty(CQvGObject* obj, OBJ_SHAPE /*shape*/)
{
    if (!obj)
        return 0;
    obj->NormalizeAnnotationShape();
    const int code = obj->GetObjShape();
    CQvGObjectProperty& prop = obj->GetProperty();

    if (IsMeasurementCode(code))
        CopyBaseProperty(&prop, &m_measure);
    else if (code == SHAPE_SCALE_MARKER)
        CopyBaseProperty(&prop, &m_scaleMarker);

    const int slot = DispSlot(code);
    const int annotation = code >= 40 && code <= 41 ? SHAPE_IMAGE - SHAPE_ANNO_POINT : AnnotationIndex(code);
    if (slot >= 0 && slot != kDasSlot)
        obj->SetDispType(m_dispTypes[slot]);
    else if (annotation != kMeasureIndex)
        CopyBaseProperty(&prop, &m_annotations[annotation]);
    else if (code != SHAPE_SCALE_MARKER)
        return 0;

    if (code == SHAPE_TEXT)
        prop.ShowLine(m_textLineShown);
    if (HasShapeSettings(code))
        obj->LoadShapeDefaults(*this);
    return 1;
}

int CQvGObjectPropertyTotal::SetProperty(CQvGObject* obj, OBJ_SHAPE /*shape*/)
{
    if (!obj)
        return 0;
    obj->NormalizeAnnotationShape();
    const int code = obj->GetObjShape();
    const CQvGObjectProperty& prop = obj->GetProperty();

    if (IsMeasurementCode(code))
        CopyBaseProperty(&m_measure, &prop);
    else if (code == SHAPE_SCALE_MARKER)
        CopyBaseProperty(&m_scaleMarker, &prop);

    const int slot = DispSlot(code);
    const int annotation = code >= 40 && code <= 41 ? SHAPE_IMAGE - SHAPE_ANNO_POINT : AnnotationIndex(code);
    if (slot >= 0)
        m_dispTypes[slot] = obj->GetDispType();
    else if (annotation != kMeasureIndex)
        CopyBaseProperty(&m_annotations[annotation], &prop);
    else if (code != SHAPE_SCALE_MARKER)
        return 0;

    if (code == SHAPE_TEXT)
        m_textLineShown = prop.IsShowLine();
    if (HasShapeSettings(code))
        obj->StoreShapeDefaults(*this);
    return 1;
}

int CQvGObjectPropertyTotal::Write(FILE* file, float version) const
{
    LeWriter out(file);
    return Write(out, version);
}

int CQvGObjectPropertyTotal::Write(LeWriter& out, float version) const
{
    int ok = m_measure.Write(out, version);
    out.Int32(m_angleInnerFlag);
    out.Float(m_targetGap);
    out.Double(m_targetFactor);
    out.Int32(m_targetFlags);
    for (const CQvGObjectProperty& annotation : m_annotations)
        ok &= annotation.Write(out, version);
    out.Int32(m_textLineShown);
    out.Int32(m_imageOpacity);
    ok &= m_scaleMarker.Write(out, version);
    out.Int32(m_scaleMarker1920);
    out.Int32(m_scaleMarker1904);
    out.Float(m_scaleMarker1912);
    out.Int32(m_scaleMarker1916);
    out.Int32(m_scaleMarker1908);
    for (int32_t value : m_scaleMarker1924)
        out.Int32(value);
    if (version > 1.2f) {
        for (int slot = 0; slot < kDasSlot; ++slot)
            out.Int32(m_dispTypes[slot]);
        out.Int32(m_dispTypes[18]);  // 2LineAngle
        out.Int32(m_dispTypes[19]);  // 3PointAngle
        out.Int32(m_dispTypes[20]);  // 3PointCircle
        out.Int32(m_dispTypes[22]);  // Curvature
        out.Int32(m_dispTypes[21]);  // AutoArc
        out.Float(version);
        out.Float(version);
    }
    return ok && out.ok() ? 1 : 0;
}

int CQvGObjectPropertyTotal::Read(FILE* file, float version)
{
    LeReader in(file);
    return Read(in, version);
}

int CQvGObjectPropertyTotal::Read(LeReader& in, float version)
{
    CQvGObjectPropertyTotal loaded(*this);
    auto readProperty = [&](CQvGObjectProperty& prop) {
        if (in.ok() && !prop.Read(in, version))
            in.Fail();
    };

    readProperty(loaded.m_measure);
    loaded.m_angleInnerFlag = in.Int32();
    loaded.m_targetGap = in.Float();
    loaded.m_targetFactor = in.Double();
    loaded.m_targetFlags = in.Int32();
    for (CQvGObjectProperty& annotation : loaded.m_annotations)
        readProperty(annotation);
    loaded.m_textLineShown = in.Int32();
    loaded.m_imageOpacity = in.Int32();
    readProperty(loaded.m_scaleMarker);
    loaded.m_scaleMarker1920 = in.Int32();
    loaded.m_scaleMarker1904 = in.Int32();
    loaded.m_scaleMarker1912 = in.Float();
    loaded.m_scaleMarker1916 = in.Int32();
    loaded.m_scaleMarker1908 = in.Int32();
    for (int32_t& value : loaded.m_scaleMarker1924)
        value = in.Int32();
    if (version > 1.2f) {
        for (int slot = 0; slot < kDasSlot; ++slot)
            loaded.m_dispTypes[slot] = in.Int32();
        loaded.m_dispTypes[18] = in.Int32();
        loaded.m_dispTypes[19] = in.Int32();
        loaded.m_dispTypes[20] = in.Int32();
        if (version > 1.4f)
            loaded.m_dispTypes[22] = in.Int32();
        loaded.m_dispTypes[21] = in.Int32();
        in.Float();  // the writer's version, twice
        in.Float();
    }
    if (!in.ok())
        return 0;
    Swap(loaded);
    return 1;
}

std::vector<uint8_t> CQvGObjectPropertyTotal::SaveMemoryImage() const
{
    char* buffer = nullptr;
    size_t length = 0;
    FILE* file = open_memstream(&buffer, &length);
    if (!file)
        return {};

    LeWriter out(file);
    out.Zeros(4);  // vtable
    out.Int32(m_reserved4);
    for (int32_t dispType : m_dispTypes)
        out.Int32(dispType);
    m_measure.WriteImage(out);
    out.Int32(m_angleInnerFlag);
    out.Float(m_targetGap);
    out.Double(m_targetFactor);
    out.Int32(m_targetFlags);
    for (const CQvGObjectProperty& annotation : m_annotations)
        annotation.WriteImage(out);
    out.Int32(m_textLineShown);
    out.Int32(m_imageOpacity);
    m_scaleMarker.WriteImage(out);
    out.Int32(m_scaleMarker1904);
    out.Int32(m_scaleMarker1908);
    out.Float(m_scaleMarker1912);
    out.Int32(m_scaleMarker1916);
    out.Int32(m_scaleMarker1920);
    for (int32_t value : m_scaleMarker1924)
        out.Int32(value);

    const bool written = out.ok();
    const bool closed = std::fclose(file) == 0;
    std::vector<uint8_t> image;
    if (written && closed && length == kMemoryImageSize)
        image.assign(buffer, buffer + length);
    std::free(buffer);
    return image;
}

int CQvGObjectPropertyTotal::LoadMemoryImage(const void* data, size_t size)
{
    if (!data || size != kMemoryImageSize)
        return 0;
    std::vector<uint8_t> bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!file)
        return 0;

    CQvGObjectPropertyTotal loaded;
    LeReader in(file);
    in.Skip(4);  // vtable
    loaded.m_reserved4 = in.Int32();
    for (int32_t& dispType : loaded.m_dispTypes)
        dispType = in.Int32();
    loaded.m_measure.ReadImage(in);
    loaded.m_angleInnerFlag = in.Int32();
    loaded.m_targetGap = in.Float();
    loaded.m_targetFactor = in.Double();
    loaded.m_targetFlags = in.Int32();
    for (CQvGObjectProperty& annotation : loaded.m_annotations)
        annotation.ReadImage(in);
    loaded.m_textLineShown = in.Int32();
    loaded.m_imageOpacity = in.Int32();
    loaded.m_scaleMarker.ReadImage(in);
    loaded.m_scaleMarker1904 = in.Int32();
    loaded.m_scaleMarker1908 = in.Int32();
    loaded.m_scaleMarker1912 = in.Float();
    loaded.m_scaleMarker1916 = in.Int32();
    loaded.m_scaleMarker1920 = in.Int32();
    for (int32_t& value : loaded.m_scaleMarker1924)
        value = in.Int32();
    const bool ok = in.ok();
    std::fclose(file);
    if (!ok)
        return 0;
    Swap(loaded);
    return 1;
}
