#include "calibkeeper/CCalibKeeper.h"

#include "stream/LeStream.h"

#include <cmath>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'C', 'A', 'L', 'K'};

}  // namespace

int CCalibKeeper::Write(FILE* file) const
{
    if (!file || m_name.size() > kMaxNameBytes)
        return 0;
    LeWriter w(file);
    w.Bytes(kMagic, sizeof kMagic);
    w.UInt32(kRecordVersion);
    w.UInt32(static_cast<uint32_t>(m_name.size()));
    w.Bytes(m_name.data(), m_name.size());
    w.Int32(m_unit);
    w.Double(m_values.unitsPerPixel);
    w.Double(m_values.magnification);
    w.Double(m_values.pixelLength);
    w.Double(m_values.realLength);
    for (double v : m_values.further)
        w.Double(v);
    w.Int32(m_scaleLength);
    return w.ok() ? 1 : 0;
}

int CCalibKeeper::Read(FILE* file)
{
    if (!file)
        return 0;
    LeReader r(file);
    char magic[sizeof kMagic] = {};
    r.Bytes(magic, sizeof magic);
    const uint32_t version = r.UInt32();
    const uint32_t nameBytes = r.UInt32();
    if (!r.ok() || std::memcmp(magic, kMagic, sizeof kMagic) != 0 || version != kRecordVersion ||
        nameBytes > kMaxNameBytes)
        return 0;

    std::string name(nameBytes, '\0');
    r.Bytes(name.data(), nameBytes);
    const int32_t unit = r.Int32();
    tagCALIBRATION values{};
    values.unitsPerPixel = r.Double();
    values.magnification = r.Double();
    values.pixelLength = r.Double();
    values.realLength = r.Double();
    for (double& v : values.further)
        v = r.Double();
    const int32_t scaleLength = r.Int32();
    if (!r.ok() || unit < 0 || unit >= kUnitTypeCount || !std::isfinite(values.unitsPerPixel) ||
        !(values.unitsPerPixel > 0.0) || !std::isfinite(values.magnification))
        return 0;

    m_name = std::move(name);
    m_unit = static_cast<tagUNIT_TYPE>(unit);
    m_values = values;
    m_scaleLength = scaleLength;
    return 1;
}
