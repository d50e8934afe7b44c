#include "datakeeper/ArchiveFile.h"

#include "datakeeper/CArchiveManager.h"
#include "stream/LeStream.h"

#include <cstring>

namespace datakeeper {

namespace {

constexpr size_t kMinAttributeBytes = 4 + 1 + 4;
constexpr size_t kMinElementBytes = 4 + 4 + 4;

void PutText(LeWriter& out, const std::string& text)
{
    out.UInt32(static_cast<uint32_t>(text.size()));
    out.Bytes(text.data(), text.size());
}

void PutElement(LeWriter& out, const CArchiveElement& element)
{
    PutText(out, element.GetName());
    out.UInt32(static_cast<uint32_t>(element.GetAttributeCount()));
    for (int i = 0; i < element.GetAttributeCount(); ++i) {
        const CArchiveAttribute& attribute = *element.GetAttribute(i);
        const CDataCell& data = attribute.GetData();
        PutText(out, attribute.GetName());
        // An attribute without a value is written as int 0: the file knows no empty type.
        const CDataCell::Type type = data.GetType() == CDataCell::kEmpty ? CDataCell::kInt : data.GetType();
        out.Bytes(&type, 1);
        switch (type) {
        case CDataCell::kInt: out.Int32(data.GetInt()); break;
        case CDataCell::kFloat: out.Float(data.GetFloat()); break;
        case CDataCell::kString: PutText(out, data.GetString()); break;
        case CDataCell::kGuid: {
            const GUID guid = data.GetGuid();
            out.UInt32(guid.Data1);
            const uint8_t shorts[4] = {uint8_t(guid.Data2), uint8_t(guid.Data2 >> 8), uint8_t(guid.Data3),
                                       uint8_t(guid.Data3 >> 8)};
            out.Bytes(shorts, 4);
            out.Bytes(guid.Data4, 8);
            break;
        }
        case CDataCell::kEmpty: break;
        }
    }
    out.UInt32(static_cast<uint32_t>(element.GetChildCount()));
    for (int i = 0; i < element.GetChildCount(); ++i)
        PutElement(out, *element.GetChild(i));
}

// A cursor over the file's bytes; the first shortage or bad value stops every later read.
class Cursor
{
public:
    Cursor(const uint8_t* data, size_t size) : m_next(data), m_end(data + size) {}

    size_t Left() const { return static_cast<size_t>(m_end - m_next); }
    bool Take(void* out, size_t size)
    {
        if (!m_error.empty() || Left() < size)
            return Fail("the file ends inside a record");
        if (size)
            std::memcpy(out, m_next, size);
        m_next += size;
        return true;
    }
    uint32_t UInt32()
    {
        uint8_t b[4] = {};
        Take(b, 4);
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    uint16_t UInt16()
    {
        uint8_t b[2] = {};
        Take(b, 2);
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    // A count of records of at least `minBytes` each, checked against the bytes left.
    bool Count(uint32_t& count, size_t minBytes, const char* what)
    {
        count = UInt32();
        if (!ok())
            return false;
        if (count > Left() / minBytes)
            return Fail(std::string("a count of ") + what + " larger than the file");
        return true;
    }
    bool Text(std::string& text)
    {
        const uint32_t length = UInt32();
        if (!ok())
            return false;
        if (length > Left())
            return Fail("a text longer than the file");
        text.assign(reinterpret_cast<const char*>(m_next), length);
        m_next += length;
        return true;
    }
    bool Fail(const std::string& why)
    {
        if (m_error.empty())
            m_error = why;
        return false;
    }
    bool ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }

private:
    const uint8_t* m_next;
    const uint8_t* m_end;
    std::string m_error;
};

bool ReadElement(Cursor& in, CArchiveElement& element, int depth)
{
    if (depth > kMaxArchiveDepth)
        return in.Fail("elements nested too deep");
    std::string name;
    if (!in.Text(name))
        return false;
    element.SetName(name);
    uint32_t attributes = 0;
    if (!in.Count(attributes, kMinAttributeBytes, "attributes"))
        return false;
    for (uint32_t i = 0; i < attributes; ++i) {
        std::string attributeName;
        uint8_t type = 0;
        if (!in.Text(attributeName) || !in.Take(&type, 1))
            return false;
        switch (type) {
        case CDataCell::kInt: element.AddAttribute(CDataCell(static_cast<int>(in.UInt32())), attributeName); break;
        case CDataCell::kFloat: {
            const uint32_t bits = in.UInt32();
            float value;
            std::memcpy(&value, &bits, 4);
            element.AddAttribute(CDataCell(value), attributeName);
            break;
        }
        case CDataCell::kString: {
            std::string text;
            if (!in.Text(text))
                return false;
            element.AddAttribute(CDataCell(text), attributeName);
            break;
        }
        case CDataCell::kGuid: {
            GUID guid;
            guid.Data1 = in.UInt32();
            guid.Data2 = in.UInt16();
            guid.Data3 = in.UInt16();
            in.Take(guid.Data4, 8);
            element.AddAttribute(CDataCell(guid), attributeName);
            break;
        }
        default: return in.Fail("an attribute of unknown type " + std::to_string(type));
        }
        if (!in.ok())
            return false;
    }
    uint32_t children = 0;
    if (!in.Count(children, kMinElementBytes, "children"))
        return false;
    for (uint32_t i = 0; i < children; ++i)
        if (!ReadElement(in, *element.AddChild(std::string()), depth + 1))
            return false;
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeArchive(const CArchiveElement& root)
{
    std::vector<uint8_t> bytes;
    {
        LeWriter out(bytes);
        out.Bytes(kArchiveMagic, sizeof kArchiveMagic);
        out.UInt32(kArchiveFormatVersion);
        PutElement(out, root);
    }
    return bytes;
}

std::unique_ptr<CArchiveElement> DecodeArchive(CArchiveManager& manager, const uint8_t* data, size_t size,
                                               std::string& error)
{
    Cursor in(data, size);
    char magic[4] = {};
    in.Take(magic, 4);
    if (!in.ok() || std::memcmp(magic, kArchiveMagic, 4) != 0) {
        error = "not an archive file";
        return nullptr;
    }
    const uint32_t version = in.UInt32();
    if (in.ok() && version != kArchiveFormatVersion) {
        error = "archive format version " + std::to_string(version) + " is not known";
        return nullptr;
    }
    auto root = std::make_unique<CArchiveElement>(&manager, std::string());
    if (in.ok() && ReadElement(in, *root, 0) && in.Left() != 0)
        in.Fail("bytes after the archive's end");
    if (!in.ok()) {
        error = in.Error();
        return nullptr;
    }
    return root;
}

}  // namespace datakeeper
