#include "FiguronPlainStream.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CFont.h"
#include "gdi/CMeasureDC.h"
#include "gdi/GdiDefs.h"

#include <cstring>

namespace {

constexpr int32_t kShapeLine = 1;
constexpr int32_t kShapeLabel = 8;
constexpr size_t kMaxPoints = 1 << 20;

class PlainReader
{
public:
    explicit PlainReader(const std::vector<unsigned char>& bytes) : m_at(bytes.data()), m_end(m_at + bytes.size()) {}

    bool ok() const { return m_ok; }
    const unsigned char* At() const { return m_at; }
    size_t Left() const { return static_cast<size_t>(m_end - m_at); }

    void Take(void* data, size_t size)
    {
        if (!m_ok || Left() < size) {
            m_ok = false;
            std::memset(data, 0, size);
            return;
        }
        std::memcpy(data, m_at, size);
        m_at += size;
    }
    int32_t Int32()
    {
        int32_t v;
        Take(&v, 4);
        return v;
    }
    double Double()
    {
        double v;
        Take(&v, 8);
        return v;
    }
    std::string Text()
    {
        const int32_t length = Int32();
        if (length <= 0 || static_cast<size_t>(length) > Left()) {
            m_ok = m_ok && length == 0;
            return {};
        }
        std::string text(reinterpret_cast<const char*>(m_at), strnlen(reinterpret_cast<const char*>(m_at), length));
        m_at += length;
        return text;
    }

private:
    const unsigned char* m_at;
    const unsigned char* m_end;
    bool m_ok = true;
};

// Grown ahead and filled through a pointer, as a hand-written writer would.
class PlainWriter
{
public:
    explicit PlainWriter(size_t expected) : m_bytes(expected) {}

    void Put(const void* data, size_t size)
    {
        if (m_bytes.size() - m_used < size)
            m_bytes.resize(2 * m_bytes.size() + size);
        std::memcpy(m_bytes.data() + m_used, data, size);
        m_used += size;
    }
    void Int32(int32_t v) { Put(&v, 4); }
    void Double(double v) { Put(&v, 8); }
    void Text(const std::string& text)
    {
        if (text.empty()) {
            Int32(0);
            return;
        }
        Int32(static_cast<int32_t>(text.size() + 1));
        Put(text.c_str(), text.size() + 1);
    }
    std::vector<unsigned char> Take()
    {
        m_bytes.resize(m_used);
        return std::move(m_bytes);
    }

private:
    std::vector<unsigned char> m_bytes;
    size_t m_used = 0;
};

void ReadFont(PlainReader& in, LOGFONTA& font)
{
    font.lfHeight = in.Int32();
    font.lfWidth = in.Int32();
    font.lfEscapement = in.Int32();
    font.lfOrientation = in.Int32();
    font.lfWeight = in.Int32();
    in.Take(&font.lfItalic, 8);
    in.Take(font.lfFaceName, LF_FACESIZE);
}

void WriteFont(PlainWriter& out, const LOGFONTA& font)
{
    out.Int32(font.lfHeight);
    out.Int32(font.lfWidth);
    out.Int32(font.lfEscapement);
    out.Int32(font.lfOrientation);
    out.Int32(font.lfWeight);
    out.Put(&font.lfItalic, 8);
    out.Put(font.lfFaceName, LF_FACESIZE);
}

// After the shape code.
bool ReadRecord(PlainReader& in, PlainRecord& record, int depth)
{
    const int32_t count = in.Int32();
    if (!in.ok() || count < 0 || static_cast<size_t>(count) > kMaxPoints)
        return false;
    record.coordinates.resize(2 * static_cast<size_t>(count));
    for (double& v : record.coordinates)
        v = in.Double();
    const int32_t labels = in.Int32();
    if (!in.ok() || labels < 0 || (labels > 0 && depth > 0) || labels > 16)
        return false;
    record.labels.resize(static_cast<size_t>(labels));
    for (PlainRecord& label : record.labels) {
        label.shape = in.Int32();
        if (label.shape != kShapeLabel || !ReadRecord(in, label, depth + 1))
            return false;
    }
    record.property.name = in.Text();
    record.property.comment = in.Text();
    ReadFont(in, record.property.font);
    for (int32_t& v : record.property.attributes)
        v = in.Int32();
    record.dispType = in.Int32();
    record.calType = in.Int32();
    record.dataKind = in.Int32();
    in.Int32();  // padding
    record.value1 = in.Double();
    record.value2 = in.Double();
    record.kind = in.Int32();
    return in.ok();
}

void WriteRecord(PlainWriter& out, const PlainRecord& record)
{
    out.Int32(record.shape);
    out.Int32(static_cast<int32_t>(record.coordinates.size() / 2));
    out.Put(record.coordinates.data(), record.coordinates.size() * sizeof(double));
    out.Int32(static_cast<int32_t>(record.labels.size()));
    for (const PlainRecord& label : record.labels)
        WriteRecord(out, label);
    out.Text(record.property.name);
    out.Text(record.property.comment);
    WriteFont(out, record.property.font);
    out.Put(record.property.attributes.data(), sizeof record.property.attributes);
    out.Int32(record.dispType);
    out.Int32(record.calType);
    out.Int32(record.dataKind);
    out.Int32(0);
    out.Double(record.value1);
    out.Double(record.value2);
    out.Int32(record.kind);
}

}  // namespace

bool ParsePlainOverlay(const std::vector<unsigned char>& bytes, PlainOverlay& overlay)
{
    PlainReader in(bytes);
    in.Take(overlay.header.data(), overlay.header.size());
    int32_t count;
    std::memcpy(&count, overlay.header.data() + 20, 4);
    float version;
    std::memcpy(&version, overlay.header.data(), 4);
    if (!in.ok() || version != 1.5f || count < 0 || static_cast<size_t>(count) > bytes.size() / 64)
        return false;
    overlay.records.resize(static_cast<size_t>(count));
    for (PlainRecord& record : overlay.records) {
        record.shape = in.Int32();
        if (record.shape != kShapeLine || !ReadRecord(in, record, 0))
            return false;
    }
    overlay.tail.assign(in.At(), in.At() + in.Left());
    return true;
}

std::vector<unsigned char> EmitPlainOverlay(const PlainOverlay& overlay)
{
    PlainWriter out(overlay.records.size() * 512 + overlay.tail.size() + overlay.header.size());
    out.Put(overlay.header.data(), overlay.header.size());
    for (const PlainRecord& record : overlay.records)
        WriteRecord(out, record);
    out.Put(overlay.tail.data(), overlay.tail.size());
    return out.Take();
}

CSize PlainLabelMeasure::Measure(const PlainProperty& label)
{
    LOGFONTA font = label.font;
    font.lfStrikeOut = 0;
    CMeasureDC& dc = CMeasureDC::ThisThread();
    if (!m_haveFont || std::memcmp(&font, &m_font, sizeof font) != 0) {
        m_font = font;
        m_cfont.CreateFontIndirect(&m_font);
        m_haveFont = true;
        m_symbolWidth = -1;
    }
    CFont* previous = dc.SelectObject(&m_cfont);
    if (m_symbolWidth < 0)
        m_symbolWidth = CCalibKeeper::DrawSymbol(&dc, CPoint(), UNIT_PIXEL, 0, 1, 1);
    const int symbol = m_symbolWidth;
    CRect box(0, 0, 10, 10);
    dc.DrawText(label.comment, box, DT_CALCRECT | DT_NOCLIP);
    dc.SelectObject(previous);
    return CSize(box.Width() + symbol + 2, box.Height());
}

std::vector<CSize> MeasurePlainLabels(const PlainOverlay& overlay)
{
    PlainLabelMeasure measure;
    std::vector<CSize> sizes;
    sizes.reserve(overlay.records.size());
    for (const PlainRecord& record : overlay.records)
        for (const PlainRecord& label : record.labels)
            sizes.push_back(measure.Measure(label.property));
    return sizes;
}
