// What text output needs over and over, kept per thread (internal to the drawing layer): each LOGFONTA resolved
// to its QFont and metrics, and each line of text in a font with its advance and, once drawn, its shaped glyphs.
// Matching fonts and shaping text are nearly all the cost of writing text; an overlay writes the same few thousand
// labels on every repaint.
//
// Contract:
// - One cache per thread, so nothing is locked: Qt's font engines belong to the thread that made them.
// - Bounded: at most kFontCapacity fonts (the least recently used goes first) and LineCapacity() lines (when full,
//   the less recently used half goes); lines longer than kMaxLineBytes are never kept. The glyphs and coverage
//   masks of the lines drawn take at most ShapeCapacity() bytes as counted here (glyph indexes and positions, mask
//   coverage): beyond it the less recently used half of them go, and their lines keep their measure. A line
//   capacity of 0 keeps no line, so every call measures and shapes afresh, as text output did before there was a
//   cache. With the default capacities a thread's cache holds at most about 110 MiB: 131,072 lines of at most about
//   600 bytes each (a short label's line takes about 250 bytes) and 32 MiB of shapes (a drawn label about 1 KiB
//   more). So the labels of an overlay of 100,000 measurements stay measured, and about 30,000 stay drawable.
// - Emptied when the installed fonts change and when the application object goes, so no font outlives it.
#pragma once

#include "gdi/GlyphMask.h"

#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <QFont>
#include <QGlyphRun>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gdi_detail {

class TextCache;

// A LOGFONTA resolved once, with the metrics a DC reports for it (pixels).
struct ResolvedFont
{
    uint64_t id = 0;  // unique over the process's life; keys the lines laid out in this font
    const TextCache* owner = nullptr;  // the thread's cache that resolved it
    QFont font;
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int averageCharWidth = 0;
    int maxWidth = 0;
    int leading = 0;
};

// One line of text in one font.
struct LineLayout
{
    int advance = 0;
    // Shaped on the first draw, positioned for a cell whose top-left corner is (0, 0) with the baseline at the
    // font's ascent.
    std::optional<QList<QGlyphRun>> glyphs;
    // Made on the second upright draw onto a surface it can be blended onto: most lines are drawn only once.
    int uprightDraws = 0;
    std::optional<GlyphMask> mask;
};

class VISTREL_EXPORT TextCache
{
public:
    static constexpr size_t kFontCapacity = 32;
    static constexpr size_t kDefaultLineCapacity = 131072;
    static constexpr size_t kDefaultShapeCapacity = size_t{32} << 20;
    static constexpr size_t kMaxLineBytes = 256;

    // The calling thread's cache.
    static TextCache& ThisThread();

    TextCache() = default;
    TextCache(const TextCache&) = delete;
    TextCache& operator=(const TextCache&) = delete;

    // Escapement and orientation do not change the font, only how its lines are turned.
    std::shared_ptr<const ResolvedFont> Font(const LOGFONTA& font);
    // The kept layout of a UTF-8 line, measured if new; nullptr when the line is not kept. Valid until the next
    // call on this cache.
    LineLayout* Line(const ResolvedFont& font, std::string_view text);

    void SetLineCapacity(size_t lines);
    size_t LineCapacity() const { return m_lineCapacity; }
    size_t LineCount() const { return m_lines.size(); }
    void SetShapeCapacity(size_t bytes);
    size_t ShapeCapacity() const { return m_shapeCapacity; }
    // The shapes counted so far (those of the line returned last are counted on the next call).
    size_t ShapeBytes() const { return m_shapeBytes; }
    size_t FontCount() const { return m_fonts.size(); }
    void Clear();

private:
    struct FontSlot
    {
        LOGFONTA key;
        std::shared_ptr<const ResolvedFont> font;
    };
    struct LineKey
    {
        uint64_t font;
        std::string text;
    };
    struct LineKeyView
    {
        uint64_t font;
        std::string_view text;
    };
    // Looks lines up by a view of their text, so a hit copies nothing.
    struct LineKeyHash
    {
        using is_transparent = void;
        size_t operator()(const LineKeyView& key) const;
        size_t operator()(const LineKey& key) const { return (*this)(LineKeyView{key.font, key.text}); }
    };
    struct LineKeyEqual
    {
        using is_transparent = void;
        template <class A, class B>
        bool operator()(const A& a, const B& b) const
        {
            return a.font == b.font && std::string_view(a.text) == std::string_view(b.text);
        }
    };
    struct LineSlot
    {
        LineLayout layout;
        uint64_t lastUse = 0;
        size_t shapeBytes = 0;  // what its glyphs and mask were counted as
    };

    // Drops everything when the installed fonts changed since the cache last looked.
    void ForgetStaleFonts();
    // Keeps the `lines` most recently used lines. Recency is a stamp written on use, not a list kept in order: a
    // hit touches only its own entry, and the cost of sorting out the oldest is spread over many insertions.
    void KeepNewestLines(size_t lines);
    // The caller shapes a line after it is returned: its glyphs and mask are counted on the next call.
    void CountShapesOfLastLine();
    // Drops glyphs and masks, the less recently used first, until the shapes fit their capacity.
    void KeepNewestShapes();

    std::vector<FontSlot> m_fonts;  // most recently used first
    std::unordered_map<LineKey, LineSlot, LineKeyHash, LineKeyEqual> m_lines;
    uint64_t m_useClock = 0;
    size_t m_lineCapacity = kDefaultLineCapacity;
    size_t m_shapeCapacity = kDefaultShapeCapacity;
    size_t m_shapeBytes = 0;
    LineSlot* m_lastReturned = nullptr;  // nodes stay where they are while they are kept
    uint64_t m_fontGeneration = 0;
};

}  // namespace gdi_detail
