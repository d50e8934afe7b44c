// What a CDC holds between calls (internal to the drawing layer): the painter on the target and the selected
// objects, colours and modes, mirrored onto the painter so the primitives draw without further set-up.
#pragma once

#include "gdi/CDC.h"

#include "gdi/private/CosmeticLine.h"
#include "gdi/TextCache.h"

#include <QImage>
#include <QPainter>

#include <memory>
#include <string_view>
#include <vector>

struct CDC::State
{
    // Everything SaveDC keeps.
    struct Attributes
    {
        CPen* pen = nullptr;
        CBrush* brush = nullptr;
        CFont* font = nullptr;
        LOGPEN penDescription{};
        LOGBRUSH brushDescription{};
        LOGFONTA fontDescription{};
        std::shared_ptr<const gdi_detail::ResolvedFont> resolvedFont;  // found when text first needs it
        COLORREF textColour = RGB(0, 0, 0);
        COLORREF bkColour = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        int rop2 = R2_COPYPEN;
        int polyFillMode = ALTERNATE;
        CPoint position;
    };

    explicit State(QImage& target);
    ~State();
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Mirror the attributes onto the painter.
    void SyncPen();
    void SyncBrush();
    void SyncRop();
    void SyncBackground();
    void SyncAll();

    const gdi_detail::ResolvedFont& Font();
    // The advance of one UTF-8 line in the selected font.
    int Advance(std::string_view line);

    // Writes one UTF-8 line with its cell's top-left corner at `cell`, turned by the font's escapement about
    // that corner, in the text colour on the background colour (OPAQUE), whatever the mix mode. `clip` is the
    // rectangle the caller clipped the painter to, if it did.
    void WriteLine(QPoint cell, std::string_view line, const QRect* clip = nullptr);
    // WriteLine's ways: shaping the line as it is drawn (a line the cache does not keep), and drawing its kept
    // glyphs through the painter (turned text, and lines without a coverage mask).
    void WriteUnshaped(const gdi_detail::ResolvedFont& font, QPoint cell, std::string_view line);
    void WriteGlyphs(const gdi_detail::ResolvedFont& font, const gdi_detail::LineLayout& layout, QPoint cell);

    // The primitives write whole QRgb words into `image`. A target of another pixel format is drawn on through
    // `work`, a 32-bit copy that is converted back into the target's own pixels when the DC goes.
    QImage& target;
    QImage work;
    QImage& image;
    QPainter painter;
    Attributes now;
    std::vector<Attributes> saved;

    // Derived from `now`.
    QPen pen;
    QBrush brush;
    bool penVisible = true;
    bool brushVisible = true;
    int penWidth = 1;       // 1 for the cosmetic pens
    bool cosmetic = true;   // a visible 1-pixel pen, drawn by CosmeticLine
    int syncedBkMode = 0;   // the background last mirrored onto the painter (0: none yet)
    COLORREF syncedBkColour = 0;
    gdi_detail::LineStyle lineStyle;
};

namespace gdi_detail {

// Draws with the plain copy mode for as long as it lives (text, SetPixel and the rectangle fills ignore ROP2).
class CopyModeScope
{
public:
    explicit CopyModeScope(QPainter& painter) : m_painter(painter), m_mode(painter.compositionMode())
    {
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    ~CopyModeScope() { m_painter.setCompositionMode(m_mode); }
    CopyModeScope(const CopyModeScope&) = delete;
    CopyModeScope& operator=(const CopyModeScope&) = delete;

private:
    QPainter& m_painter;
    QPainter::CompositionMode m_mode;
};

}  // namespace gdi_detail
