// The drawing attributes of one overlay object: name, comment (a label's value text, a text object's text), font,
// text colour, fill, pen and line ends. A plain value; UI thread like the objects that hold it.
// Colours are COLORREF; the colour controls' "Automatic" (0xFF000000) is never stored: setting it keeps the
// colour in force, and reading a record that holds it leaves that colour as it was.
#pragma once

#include "types/ColorRef.h"
#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

class LeReader;
class LeWriter;

class VISTREL_EXPORT CQvGObjectProperty
{
public:
    // Bytes of the attribute record inside the drawing-defaults image: 12 bytes of pointer slots, the font, 19 ints.
    static constexpr size_t kImageSize = 148;

    // The default look; the font's character set follows the system's language.
    CQvGObjectProperty();
    // Copies everything, the reserved ints included.
    CQvGObjectProperty(const CQvGObjectProperty& other) = default;
    // Copies names, font, colours, styles and line ends; the reserved ints stay.
    CQvGObjectProperty& operator=(const CQvGObjectProperty& other);
    bool operator==(const CQvGObjectProperty& other) const;
    void Swap(CQvGObjectProperty& other) noexcept;

    void Initialize();
    void RemoveAll();

    // While one lives on a thread, properties made there take the system's language as it was when the outermost
    // one began, instead of asking the environment for each property: reading an overlay makes thousands.
    class VISTREL_EXPORT LanguageSnapshot
    {
    public:
        LanguageSnapshot();
        ~LanguageSnapshot();
        LanguageSnapshot(const LanguageSnapshot&) = delete;
        LanguageSnapshot& operator=(const LanguageSnapshot&) = delete;
    };

    // Texts are UTF-8; the empty string means "no text".
    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetName() const { return m_name; }
    void SetComment(const std::string& comment) { m_comment = comment; }
    const std::string& GetComment() const { return m_comment; }

    void SetFont(const LOGFONTA& font) { m_font = font; }
    const LOGFONTA& GetFont() const { return m_font; }

    void SetTextColor(COLORREF color) { SetColor(TextColor, color); }
    COLORREF GetTextColor() const { return Color(TextColor); }

    // Fill pattern: GDI brush style, 0 solid, 1 hollow (no fill), 2 hatched. Shown means not hollow.
    void ShowFill(int show) { m_attr[FillPattern] = show ? 0 : 1; }
    int IsShowFill() const { return m_attr[FillPattern] != 1; }
    void SetFillPattern(int pattern) { m_attr[FillPattern] = pattern; }
    int GetFillPattern() const { return m_attr[FillPattern]; }
    void SetFillColor(COLORREF color) { SetColor(FillColor, color); }
    COLORREF GetFillColor() const { return Color(FillColor); }

    // Line type: GDI pen style, 0 solid ... 5 no line. Shown means not 5.
    void ShowLine(int show) { m_attr[LineType] = show ? 0 : 5; }
    int IsShowLine() const { return m_attr[LineType] != 5; }
    void SetLineType(int type) { m_attr[LineType] = type; }
    int GetLineType() const { return m_attr[LineType]; }
    // Kept for the shapes; no drawing meaning here.
    void SetLineStyle(int style) { m_attr[LineStyle] = style; }
    int GetLineStyle() const { return m_attr[LineStyle]; }
    // Pen width in pixels.
    void SetLineWeight(int weight) { m_attr[LineWeight] = weight; }
    int GetLineWeight() const { return m_attr[LineWeight]; }
    void SetLineColor(COLORREF color) { SetColor(LineColor, color); }
    COLORREF GetLineColor() const { return Color(LineColor); }

    // Line ends; the types are ARROW_TYPE values.
    void ShowLArrow(int show) { m_attr[ShowLeftArrow] = show; }
    int IsShowLArrow() const { return m_attr[ShowLeftArrow]; }
    void SetLArrowType(int type) { m_attr[LeftArrowType] = type; }
    int GetLArrowType() const { return m_attr[LeftArrowType]; }
    void ShowRArrow(int show) { m_attr[ShowRightArrow] = show; }
    int IsShowRArrow() const { return m_attr[ShowRightArrow]; }
    void SetRArrowType(int type) { m_attr[RightArrowType] = type; }
    int GetRArrowType() const { return m_attr[RightArrowType]; }

    // The property record of the overlay stream. Read returns 0 on a short or bad record and then leaves this
    // property unchanged; texts longer than 64 KiB with their terminating zero, or of negative length, are bad.
    // Write refuses (0, nothing written) a name or comment that Read would refuse.
    int Write(FILE* file, float version) const;
    int Write(LeWriter& out, float version) const;
    int Read(FILE* file, float version);
    int Read(LeReader& in, float version);

    // A property record as it was read, for a reader that takes it only once the rest of its own record is good.
    struct Stored
    {
        std::string name;
        std::string comment;
        LOGFONTA font{};
        std::array<int32_t, 19> attributes{};  // AttributeCount
    };
    // Reads a property record as a fresh property would (automatic colours become the default look's); false on
    // a short or bad record.
    static bool ReadStored(LeReader& in, Stored& stored);
    // As assigning the property read: names, font, colours, styles and line ends are taken, the reserved ints
    // stay. The texts are moved, not copied.
    void Take(Stored&& stored);

    // The 148-byte record inside the drawing-defaults image. Its pointer slots are written as zeros and ignored
    // on reading, so a property read from an image has no name and no comment.
    void WriteImage(LeWriter& out) const;
    void ReadImage(LeReader& in);

private:
    // The attribute block, in stored order.
    enum Attribute
    {
        Reserved1,
        TextColor,
        Reserved3,
        Reserved4,
        FillPattern,
        FillColor,
        Reserved7,
        LineType,
        LineStyle,
        LineWeight,
        LineColor,
        ShowLeftArrow,
        Reserved13,
        LeftArrowType,
        ShowRightArrow,
        Reserved16,
        RightArrowType,
        Reserved18,
        Reserved19,
        AttributeCount
    };

    void SetColor(Attribute which, COLORREF color);
    COLORREF Color(Attribute which) const { return static_cast<COLORREF>(m_attr[which]); }
    void WriteAttributes(LeWriter& out) const;
    // The block as read, automatic colours replaced by those of `colours`.
    static std::array<int32_t, AttributeCount> ReadAttributeBlock(LeReader& in,
                                                                  const std::array<int32_t, AttributeCount>& colours);
    // The default look but for the font's character set, which follows the system's language.
    struct DefaultLook
    {
        LOGFONTA font{};
        std::array<int32_t, AttributeCount> attributes{};
    };
    static const DefaultLook& DefaultLookOf();
    void ReadAttributes(LeReader& in);

    // The attributes that assigning a property copies: all but the reserved ones.
    static constexpr Attribute kAssigned[] = {TextColor,  FillPattern,   FillColor,      LineType,
                                              LineStyle,  LineWeight,    LineColor,      ShowLeftArrow,
                                              LeftArrowType, ShowRightArrow, RightArrowType};

    std::string m_name;
    std::string m_comment;
    LOGFONTA m_font{};
    std::array<int32_t, AttributeCount> m_attr{};
};

// Copies the drawing attributes only (not the name, the comment, the line weight or the arrow show flags):
// font, text colour, line colour, line style, line type reduced to shown (0) or hidden (5), arrow types,
// fill colour and fill reduced to shown (0) or hollow (1).
VISTREL_EXPORT void CopyBaseProperty(CQvGObjectProperty* to, const CQvGObjectProperty* from);

// The attributes the Common page edits, one bit each, so that an edit of several objects gives each only what the
// user changed and not the whole record.
enum PropertyField : uint32_t
{
    PF_FONT_FACE = 0x1,
    PF_FONT_HEIGHT = 0x2,
    PF_FONT_WEIGHT = 0x4,
    PF_FONT_ITALIC = 0x8,
    PF_FONT_UNDERLINE = 0x10,
    PF_TEXT_COLOR = 0x20,
    PF_LEFT_ARROW_TYPE = 0x40,
    PF_RIGHT_ARROW_TYPE = 0x80,
    PF_LINE_WEIGHT = 0x100,
    PF_LINE_TYPE = 0x200,
    PF_LINE_COLOR = 0x400,
    PF_FILL_COLOR = 0x800,
};
// The PropertyField bits of the attributes in which the two differ.
VISTREL_EXPORT uint32_t DifferingFields(const CQvGObjectProperty& a, const CQvGObjectProperty& b);
// Copies the attributes named by `fields` (PropertyField bits) and nothing else.
VISTREL_EXPORT void CopyPropertyFields(CQvGObjectProperty* to, const CQvGObjectProperty& from, uint32_t fields);
