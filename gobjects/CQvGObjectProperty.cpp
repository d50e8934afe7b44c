#include "gobjects/CQvGObjectProperty.h"

#include "gobjects/private/GObjectRecordLimits.h"

#include "resources/Language.h"
#include "stream/LeStream.h"
#include "strings/StoredText.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int32_t kMaxTextLength = kMaxRecordTextLength;
// 10 points at 96 dots per inch, MulDiv(10, 96, 72) pixels: every object of a read is made with it.
constexpr LONG kDefaultFontHeight = -13;

bool FitsRecord(const std::string& text)
{
    return text.size() < static_cast<size_t>(kMaxTextLength);
}

// The language a LanguageSnapshot took, and how many snapshots are alive on the thread.
thread_local LANGID t_snapshotLanguage = 0;
thread_local int t_snapshots = 0;

BYTE CharSetOfSystemLanguage()
{
    const LANGID language = t_snapshots > 0 ? t_snapshotLanguage : GetSystemDefaultLangID();
    switch (PRIMARYLANGID(language)) {
    case 0x04: return 136;  // CHINESEBIG5_CHARSET
    case 0x11: return 128;  // SHIFTJIS_CHARSET
    case 0x12: return 129;  // HANGUL_CHARSET
    default: return 1;      // DEFAULT_CHARSET
    }
}

void WriteText(LeWriter& out, const std::string& text)
{
    if (text.empty()) {
        out.Int32(0);
        return;
    }
    out.Int32(static_cast<int32_t>(text.size() + 1));
    out.Bytes(text.c_str(), text.size() + 1);
}

std::string ReadText(LeReader& in)
{
    const int32_t length = in.Int32();
    if (!in.ok() || length == 0)
        return {};
    if (length < 0 || length > kMaxTextLength) {
        in.Fail();
        return {};
    }
    std::string bytes = in.FixedText(static_cast<size_t>(length));
    if (!in.ok())
        return {};
    // Names and values are nearly always ASCII, which every encoding reads alike.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return bytes;
    return StoredTextToUtf8(bytes);
}

}  // namespace

CQvGObjectProperty::CQvGObjectProperty()
{
    Initialize();
}

CQvGObjectProperty::LanguageSnapshot::LanguageSnapshot()
{
    if (t_snapshots++ == 0)
        t_snapshotLanguage = GetSystemDefaultLangID();
}

CQvGObjectProperty::LanguageSnapshot::~LanguageSnapshot()
{
    --t_snapshots;
}

CQvGObjectProperty& CQvGObjectProperty::operator=(const CQvGObjectProperty& other)
{
    if (this == &other)
        return *this;
    m_name = other.m_name;
    m_comment = other.m_comment;
    m_font = other.m_font;
    for (Attribute a : kAssigned)
        m_attr[a] = other.m_attr[a];
    return *this;
}

void CQvGObjectProperty::Take(Stored&& stored)
{
    m_name = std::move(stored.name);
    m_comment = std::move(stored.comment);
    m_font = stored.font;
    for (Attribute a : kAssigned)
        m_attr[a] = stored.attributes[a];
}

bool CQvGObjectProperty::operator==(const CQvGObjectProperty& other) const
{
    return m_name == other.m_name && m_comment == other.m_comment &&
           std::memcmp(&m_font, &other.m_font, sizeof m_font) == 0 && m_attr == other.m_attr;
}

void CQvGObjectProperty::Swap(CQvGObjectProperty& other) noexcept
{
    std::swap(m_name, other.m_name);
    std::swap(m_comment, other.m_comment);
    std::swap(m_font, other.m_font);
    std::swap(m_attr, other.m_attr);
}

const CQvGObjectProperty::DefaultLook& CQvGObjectProperty::DefaultLookOf()
{
    // Every object starts with this look, thousands of them in a read: it is made once and copied.
    static const DefaultLook look = [] {
        DefaultLook made;
        made.font.lfHeight = kDefaultFontHeight;
        made.font.lfWeight = 400;
        made.font.lfOutPrecision = 3;   // OUT_STROKE_PRECIS
        made.font.lfClipPrecision = 2;  // CLIP_STROKE_PRECIS
        made.font.lfQuality = 1;        // DRAFT_QUALITY
        made.font.lfPitchAndFamily = 0x32;
        std::strcpy(made.font.lfFaceName, "Tahoma");

        made.attributes[TextColor] = 0x00FF00;
        made.attributes[Reserved3] = -1;
        made.attributes[FillPattern] = 1;
        made.attributes[FillColor] = 0x000000;
        made.attributes[LineType] = 0;
        made.attributes[LineWeight] = 1;
        made.attributes[LineColor] = 0xFF0000;
        made.attributes[ShowLeftArrow] = 1;
        made.attributes[LeftArrowType] = 0;
        made.attributes[ShowRightArrow] = 1;
        made.attributes[RightArrowType] = 0;
        return made;
    }();
    return look;
}

void CQvGObjectProperty::Initialize()
{
    RemoveAll();
    const DefaultLook& look = DefaultLookOf();
    m_font = look.font;
    m_font.lfCharSet = CharSetOfSystemLanguage();
    m_attr = look.attributes;
}

void CQvGObjectProperty::RemoveAll()
{
    m_name.clear();
    m_comment.clear();
}

void CQvGObjectProperty::SetColor(Attribute which, COLORREF color)
{
    if (color != CLR_AUTOMATIC)
        m_attr[which] = static_cast<int32_t>(color);
}

void CQvGObjectProperty::WriteAttributes(LeWriter& out) const
{
    out.Int32s(m_attr.data(), m_attr.size());
}

std::array<int32_t, CQvGObjectProperty::AttributeCount>
CQvGObjectProperty::ReadAttributeBlock(LeReader& in, const std::array<int32_t, AttributeCount>& colours)
{
    std::array<int32_t, AttributeCount> read{};
    in.Int32s(read.data(), read.size());
    for (Attribute color : {TextColor, FillColor, LineColor})
        if (static_cast<COLORREF>(read[color]) == CLR_AUTOMATIC)
            read[color] = colours[color];
    return read;
}

void CQvGObjectProperty::ReadAttributes(LeReader& in)
{
    m_attr = ReadAttributeBlock(in, m_attr);
}

int CQvGObjectProperty::Write(FILE* file, float version) const
{
    LeWriter out(file);
    return Write(out, version);
}

int CQvGObjectProperty::Write(LeWriter& out, float /*version*/) const
{
    if (!FitsRecord(m_name) || !FitsRecord(m_comment))
        return 0;
    WriteText(out, m_name);
    WriteText(out, m_comment);
    out.LogFont(m_font);
    WriteAttributes(out);
    return out.ok() ? 1 : 0;
}

int CQvGObjectProperty::Read(FILE* file, float version)
{
    LeReader in(file);
    return Read(in, version);
}

int CQvGObjectProperty::Read(LeReader& in, float /*version*/)
{
    std::string name = ReadText(in);
    std::string comment = ReadText(in);
    const LOGFONTA font = in.LogFont();
    const std::array<int32_t, AttributeCount> attributes = ReadAttributeBlock(in, m_attr);
    if (!in.ok())
        return 0;
    m_name = std::move(name);
    m_comment = std::move(comment);
    m_font = font;
    m_attr = attributes;
    return 1;
}

bool CQvGObjectProperty::ReadStored(LeReader& in, Stored& stored)
{
    static_assert(std::tuple_size_v<decltype(stored.attributes)> == AttributeCount);
    stored.name = ReadText(in);
    stored.comment = ReadText(in);
    stored.font = in.LogFont();
    stored.attributes = ReadAttributeBlock(in, DefaultLookOf().attributes);
    return in.ok();
}

void CQvGObjectProperty::WriteImage(LeWriter& out) const
{
    out.Zeros(12);  // vtable, name and comment pointers
    out.LogFont(m_font);
    WriteAttributes(out);
}

void CQvGObjectProperty::ReadImage(LeReader& in)
{
    in.Skip(12);
    RemoveAll();
    m_font = in.LogFont();
    ReadAttributes(in);
}

void CopyBaseProperty(CQvGObjectProperty* to, const CQvGObjectProperty* from)
{
    to->SetFont(from->GetFont());
    to->SetTextColor(from->GetTextColor());
    to->SetLineColor(from->GetLineColor());
    to->SetLineStyle(from->GetLineStyle());
    to->SetLineType(from->GetLineType());
    to->ShowLine(from->IsShowLine());
    to->SetLArrowType(from->GetLArrowType());
    to->SetRArrowType(from->GetRArrowType());
    to->SetFillColor(from->GetFillColor());
    to->ShowFill(from->IsShowFill());
}

uint32_t DifferingFields(const CQvGObjectProperty& a, const CQvGObjectProperty& b)
{
    const LOGFONTA& fa = a.GetFont();
    const LOGFONTA& fb = b.GetFont();
    uint32_t fields = 0;
    if (std::strncmp(fa.lfFaceName, fb.lfFaceName, LF_FACESIZE) != 0)
        fields |= PF_FONT_FACE;
    if (fa.lfHeight != fb.lfHeight)
        fields |= PF_FONT_HEIGHT;
    if (fa.lfWeight != fb.lfWeight)
        fields |= PF_FONT_WEIGHT;
    if (fa.lfItalic != fb.lfItalic)
        fields |= PF_FONT_ITALIC;
    if (fa.lfUnderline != fb.lfUnderline)
        fields |= PF_FONT_UNDERLINE;
    if (a.GetTextColor() != b.GetTextColor())
        fields |= PF_TEXT_COLOR;
    if (a.GetLArrowType() != b.GetLArrowType())
        fields |= PF_LEFT_ARROW_TYPE;
    if (a.GetRArrowType() != b.GetRArrowType())
        fields |= PF_RIGHT_ARROW_TYPE;
    if (a.GetLineWeight() != b.GetLineWeight())
        fields |= PF_LINE_WEIGHT;
    if (a.GetLineType() != b.GetLineType())
        fields |= PF_LINE_TYPE;
    if (a.GetLineColor() != b.GetLineColor())
        fields |= PF_LINE_COLOR;
    if (a.GetFillColor() != b.GetFillColor())
        fields |= PF_FILL_COLOR;
    return fields;
}

void CopyPropertyFields(CQvGObjectProperty* to, const CQvGObjectProperty& from, uint32_t fields)
{
    LOGFONTA font = to->GetFont();
    const LOGFONTA& source = from.GetFont();
    if (fields & PF_FONT_FACE)
        std::memcpy(font.lfFaceName, source.lfFaceName, LF_FACESIZE);
    if (fields & PF_FONT_HEIGHT)
        font.lfHeight = source.lfHeight;
    if (fields & PF_FONT_WEIGHT)
        font.lfWeight = source.lfWeight;
    if (fields & PF_FONT_ITALIC)
        font.lfItalic = source.lfItalic;
    if (fields & PF_FONT_UNDERLINE)
        font.lfUnderline = source.lfUnderline;
    to->SetFont(font);
    if (fields & PF_TEXT_COLOR)
        to->SetTextColor(from.GetTextColor());
    if (fields & PF_LEFT_ARROW_TYPE)
        to->SetLArrowType(from.GetLArrowType());
    if (fields & PF_RIGHT_ARROW_TYPE)
        to->SetRArrowType(from.GetRArrowType());
    if (fields & PF_LINE_WEIGHT)
        to->SetLineWeight(from.GetLineWeight());
    if (fields & PF_LINE_TYPE)
        to->SetLineType(from.GetLineType());
    if (fields & PF_LINE_COLOR)
        to->SetLineColor(from.GetLineColor());
    if (fields & PF_FILL_COLOR)
        to->SetFillColor(from.GetFillColor());
}
