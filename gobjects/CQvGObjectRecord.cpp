// The object record: points, labels, property set, quantity fields and kind, field by field.
#include "gobjects/CQvGObject.h"

#include "gobjects/shapes/CQvGObjectLabel.h"
#include "gobjects/GObjectFactory.h"
#include "gobjects/private/GObjectRecordLimits.h"

#include "stream/LeStream.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Counts up to these are read without asking the file how much is left (which costs two seeks); larger ones must
// fit in the rest of the file. Either way items are allocated only as they are read.
constexpr int32_t kTrustedPointCount = 1024;
constexpr int32_t kTrustedLabelCount = 64;
constexpr int32_t kStackPoints = 16;
// Labels own labels only one level down in any file we write; deeper nesting is a damaged or hostile stream.
constexpr int kMaxLabelDepth = 4;
// Coordinates are image pixels; anything farther out (or not a number) is a damaged record, and would overflow
// the integer window mapping.
constexpr double kMaxCoordinate = 1.0e7;

bool CountFits(const LeReader& in, int32_t count, int32_t trusted, int64_t itemBytes)
{
    if (count < 0)
        return false;
    return count <= trusted || count <= in.RemainingBytes() / itemBytes;
}

// Per thread: a document loading on another thread is at a depth of its own.
thread_local int g_labelReadDepth = 0;

struct LabelDepthGuard
{
    LabelDepthGuard() { ++g_labelReadDepth; }
    ~LabelDepthGuard() { --g_labelReadDepth; }
    LabelDepthGuard(const LabelDepthGuard&) = delete;
    LabelDepthGuard& operator=(const LabelDepthGuard&) = delete;
};

// The sizing that the labels read on this thread wait for, if any.
thread_local CQvGObject::LabelSizingLater* t_labelSizing = nullptr;

void DiscardAll(CQvGObject::LabelList& objects)
{
    for (CQvGObject* obj : objects)
        obj->RemoveAll();
    objects.clear();
}

}  // namespace

int CQvGObject::Read(FILE* file, float version)
{
    LeReader in(file);
    return Read(in, version);
}

int CQvGObject::Read(LeReader& in, float version)
{
    const int32_t count = in.Int32();
    if (!in.ok() || !CountFits(in, count, kTrustedPointCount, 16))
        return 0;
    // Nearly every record holds a few points: they are read onto the stack, sparing an allocation per record.
    std::array<_RPOINT, kStackPoints> stackPoints;
    std::vector<_RPOINT> heapPoints;
    if (count > kStackPoints)
        heapPoints.reserve(static_cast<size_t>(std::min(count, kTrustedPointCount)));
    for (int32_t i = 0; i < count; ++i) {
        const double x = in.Double();
        const double y = in.Double();
        if (!in.ok() || !(std::fabs(x) <= kMaxCoordinate) || !(std::fabs(y) <= kMaxCoordinate))
            return 0;
        if (count <= kStackPoints)
            stackPoints[static_cast<size_t>(i)] = _RPOINT{x, y};
        else
            heapPoints.push_back(_RPOINT{x, y});
    }
    const _RPOINT* const points = count <= kStackPoints ? stackPoints.data() : heapPoints.data();

    LabelList labels;
    const int labelsRead = ReadLabels(in, version, labels);
    // Read aside and moved in at the end: a property made and copied for every record cost more than reading it.
    CQvGObjectProperty::Stored property;
    if (!labelsRead || !CQvGObjectProperty::ReadStored(in, property)) {
        DiscardAll(labels);
        return 0;
    }
    int32_t dispType = m_dispType;
    int32_t calType = m_calType;
    tagCAL_DATA defaultData = m_defaultData;
    if (version > 1.3f) {
        dispType = in.Int32();
        calType = in.Int32();
        defaultData.kind = in.Int32();
        in.Skip(4);
        defaultData.value1 = in.Double();
        defaultData.value2 = in.Double();
    }
    const int32_t kind = in.Int32();
    if (!in.ok()) {
        DiscardAll(labels);
        return 0;
    }

    // Shapes index their points by what they expect to hold: keep the room the constructor made, plus one.
    const size_t room = std::max(static_cast<size_t>(count) + 1, m_points.size());
    m_points.assign(points, points + count);
    m_points.resize(room, _RPOINT{0.0, 0.0});
    m_pointCount = count;
    RemoveNestedObjs();
    m_labels = std::move(labels);
    m_property.Take(std::move(property));
    m_dispType = dispType;
    m_calType = calType;
    m_defaultData = defaultData;
    m_kind = static_cast<QVGO_TYPE>(kind);
    // The factory makes an annotation with its base code; its record's kind gives it the annotation code back.
    NormalizeAnnotationShape();
    m_state = GS_FINISHED;
    if (m_shape == SHAPE_LABEL && t_labelSizing)
        t_labelSizing->m_labels.push_back(this);
    else
        GetMBR();
    return ReadShapeFields(in, version);
}

CQvGObject::LabelSizingLater::LabelSizingLater() : m_outer(t_labelSizing)
{
    t_labelSizing = this;
}

CQvGObject::LabelSizingLater::~LabelSizingLater()
{
    t_labelSizing = m_outer;
}

void CQvGObject::LabelSizingLater::SizeLabels()
{
    for (CQvGObject* label : m_labels)
        label->GetMBR();
    m_labels.clear();
}

int CQvGObject::ReadLabels(LeReader& in, float version, LabelList& labels)
{
    const int32_t count = in.Int32();
    if (!in.ok() || g_labelReadDepth >= kMaxLabelDepth ||
        !CountFits(in, count, kTrustedLabelCount, kMinObjectRecordSize))
        return 0;
    LabelDepthGuard depth;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t shape = in.Int32();
        if (!in.ok())
            return 0;
        CQvGObject* label = nullptr;
        if (shape == SHAPE_LABEL) {
            // The Z indicator's label is a placeholder that must stay invisible after a reload.
            label = m_shape == SHAPE_Z_INDICATOR ? new CQvGObjectDUMMYLabel : new CQvGObjectLabel;
        } else {
            label = CreateGObject(static_cast<OBJ_SHAPE>(shape));
        }
        if (!label)
            return 0;
        label->SetContainer(m_container);
        labels.push_back(label);
        if (!label->Read(in, version))
            return 0;
    }
    return 1;
}

int CQvGObject::Write(FILE* file, float version)
{
    std::vector<unsigned char> record;
    {
        LeWriter assembled(record);
        if (!Write(assembled, version))
            return 0;
    }
    LeWriter out(file);
    out.Bytes(record.data(), record.size());
    return out.ok() ? 1 : 0;
}

int CQvGObject::Write(LeWriter& out, float version)
{
    const int count = std::clamp(m_pointCount, 0, static_cast<int>(m_points.size()));
    out.Int32(m_shape);
    out.Int32(count);
    for (int i = 0; i < count; ++i) {
        out.Double(m_points[i].x);
        out.Double(m_points[i].y);
    }
    out.Int32(static_cast<int32_t>(m_labels.size()));
    bool ok = true;
    for (CQvGObject* label : m_labels)
        ok = label->Write(out, version) && ok;
    ok = m_property.Write(out, version) && ok;
    if (version > 1.3f) {
        out.Int32(m_dispType);
        out.Int32(m_calType);
        out.Int32(m_defaultData.kind);
        out.Zeros(4);
        out.Double(m_defaultData.value1);
        out.Double(m_defaultData.value2);
    }
    out.Int32(m_kind);
    WriteShapeFields(out);
    return ok && out.ok() ? 1 : 0;
}
