// What a CDC holds between calls (internal to the drawing layer): the painter on the target and the selected
// objects, colours and modes, mirrored onto the painter so the primitives draw without further set-up.
#pragma once

#include "gdi/CDC.h"

#include "CosmeticLine.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <optional>
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
        std::optional<QFont> qfont;  // built when text first needs it
        COLORREF textColour = RGB(0, 0, 0);
        COLORREF bkColour = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        int rop2 = R2_COPYPEN;
        int polyFillMode = ALTERNATE;
        CPoint position;
    };

    explicit State(QImage& target);

    // Mirror the attributes onto the painter.
    void SyncPen();
    void SyncBrush();
    void SyncRop();
    void SyncBackground();
    void SyncAll();

    const QFont& Font();

    // Writes one line of text with its cell's top-left corner at `cell`, turned by the font's escapement about
    // that corner, in the text colour on the background colour (OPAQUE), whatever the mix mode.
    void WriteLine(const QFontMetrics& metrics, QPoint cell, const QString& line);

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
