// The container stream: header, object records, the default set and the display settings, field by field,
// little-endian. The reader builds everything aside and takes it over only when the whole stream was good.
#include "gobjects/CQvGObjectContainer.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/private/GObjectChangeTracker.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/private/GObjectRecordLimits.h"

#include "stream/LeStream.h"

#include <cmath>
#include <vector>

namespace {

constexpr float kStreamVersion = 1.5f;
constexpr float kOldestVersion = 1.0f;
// Digits after the point beyond this are not a setting any build wrote.
constexpr int kMaxDecimals = 20;
// Room reserved ahead for the assembled stream: a measurement with its value label takes about 400 bytes, the
// default set and the display settings about 4 KiB. Growing past it costs only copies.
constexpr size_t kTypicalRecordBytes = 512;
constexpr size_t kTypicalTailBytes = 8192;

// Frees objects read so far unless the read succeeds and takes them.
class PendingObjects
{
public:
    PendingObjects() = default;
    PendingObjects(const PendingObjects&) = delete;
    PendingObjects& operator=(const PendingObjects&) = delete;
    ~PendingObjects()
    {
        for (CQvGObject* obj : m_objects)
            obj->RemoveAll();
    }
    void Add(CQvGObject* obj) { m_objects.push_back(obj); }
    GObjectList& List() { return m_objects; }

private:
    GObjectList m_objects;
};

struct DisplaySettings
{
    CSize canvasSize;
    int32_t autoRepeat = 0;
    int32_t autoColor = 0;
    int32_t displayName = 0;
    int32_t displayData = 0;
    int32_t displayMark = 0;
    int32_t decimals = 0;
    int32_t displayRealtime = 0;
};

}  // namespace

CQvGObject* CQvGObjectContainer::ReadObjectRecord(LeReader& in, float version)
{
    const int32_t code = in.Int32();
    if (!in.ok())
        return nullptr;
    CQvGObject* obj = CreateObject(static_cast<OBJ_SHAPE>(code));
    if (!obj)
        return nullptr;
    // The code asked for, as AddObject gives it: an annotation form is written back under its own code.
    obj->SetObjShape(static_cast<OBJ_SHAPE>(code));
    obj->SetContainer(this);
    if (!obj->Read(in, version))
    {
        obj->RemoveAll();
        return nullptr;
    }
    obj->SetCalType();
    return obj;
}

int CQvGObjectContainer::Read(FILE* file)
{
    if (!file)
        return 0;
    const ChangeScope scope(this);
    // Records are small and many: they are taken from blocks read ahead, and the language of the default fonts
    // is asked for once.
    LeReader in(file, LeReader::ReadAhead());
    const CQvGObjectProperty::LanguageSnapshot language;
    const float version = in.Float();
    const float ratio = in.Float();
    const int32_t originX = in.Int32();
    const int32_t originY = in.Int32();
    const int32_t pixelCenter = in.Int32();
    const int32_t count = in.Int32();
    if (!in.ok() || !(version >= kOldestVersion && version <= kStreamVersion) || !std::isfinite(ratio) ||
        !(ratio > 0.0f) || count < 0 || count > MaxRecordsIn(in))
        return 0;

    PendingObjects objects;
    CQvGObject::LabelSizingLater labelSizing;
    for (int32_t i = 0; i < count; ++i)
    {
        CQvGObject* obj = ReadObjectRecord(in, version);
        if (!obj)
            return 0;
        objects.Add(obj);
    }
    // With the view the records were read in, as if each had been sized as it was read.
    labelSizing.SizeLabels();

    CQvGObjectPropertyTotal defaults(*m_pPropertyTotal);
    if (!defaults.Read(in, version))
        return 0;

    DisplaySettings settings;
    settings.canvasSize.cx = in.Int32();
    settings.canvasSize.cy = in.Int32();
    settings.autoRepeat = in.Int32();
    settings.autoColor = in.Int32();
    if (version == kOldestVersion)
        in.Skip(2 * sizeof(int32_t));
    settings.displayName = in.Int32();
    settings.displayData = in.Int32();
    settings.displayMark = in.Int32();
    settings.decimals = in.Int32();
    settings.displayRealtime = in.Int32();
    if (!in.ok() || settings.decimals < 0 || settings.decimals > kMaxDecimals ||
        !IsPlausibleView(settings.canvasSize, CPoint(originX, originY), ratio))
        return 0;

    // The ratio and the canvas size the regions of every object.
    if (ratio != m_ratio || settings.canvasSize != m_canvasSize)
        BoxesMayHaveChanged();
    ObjectsChanged();
    m_ratio = ratio;
    m_origin = CPoint(originX, originY);
    m_pixelCenter = pixelCenter;
    m_objects.splice(m_objects.end(), objects.List());
    m_changes->labelsStale = true;
    m_pPropertyTotal->Swap(defaults);
    m_canvasSize = settings.canvasSize;
    m_autoRepeat = settings.autoRepeat;
    m_autoColor = settings.autoColor;
    m_displayName = settings.displayName;
    m_displayData = settings.displayData;
    m_displayMark = settings.displayMark;
    m_decimals = settings.decimals;
    m_displayRealtime = settings.displayRealtime;
    m_version = kStreamVersion;
    return 1;
}

int CQvGObjectContainer::Write(FILE* file)
{
    if (!file)
        return 0;
    // The object being drawn is not part of the overlay yet; stored, it would come back as a finished ghost.
    const CQvGObject* creating =
        (m_state == GS_FIRST_POINT || m_state == GS_ADDING) ? CreatingObject() : nullptr;

    // The whole stream is assembled first and written at once: a call into the C library per field cost twenty
    // times the assembling, and a refused record leaves the file as it was.
    // A zoom or scroll position the caller left out of range would make the stream refuse to open again.
    const StreamView view = PlausibleView(m_ratio, m_canvasSize, m_origin);
    std::vector<unsigned char> stream;
    stream.reserve(m_objects.size() * kTypicalRecordBytes + kTypicalTailBytes);
    {
        LeWriter out(stream);
        out.Float(kStreamVersion);
        out.Float(view.ratio);
        out.Int32(view.origin.x);
        out.Int32(view.origin.y);
        out.Int32(m_pixelCenter);
        out.Int32(static_cast<int32_t>(m_objects.size()) - (creating ? 1 : 0));
        for (CQvGObject* obj : m_objects)
            if (obj != creating && !obj->Write(out, kStreamVersion))
                return 0;
        if (!m_pPropertyTotal->Write(out, kStreamVersion))
            return 0;
        out.Int32(view.canvas.cx);
        out.Int32(view.canvas.cy);
        out.Int32(m_autoRepeat);
        out.Int32(m_autoColor);
        out.Int32(m_displayName);
        out.Int32(m_displayData);
        out.Int32(m_displayMark);
        out.Int32(m_decimals);
        out.Int32(m_displayRealtime);
        if (!out.ok())
            return 0;
    }
    LeWriter to(file);
    to.Bytes(stream.data(), stream.size());
    return to.ok() ? 1 : 0;
}
