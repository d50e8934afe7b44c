// Text output of CDC: DrawText, TextOut and the font measures. Lines are measured and shaped once per font and
// kept in the thread's TextCache; a line the cache does not keep is measured and written by Qt as it comes, which
// draws the same pixels.
#include "gdi/CDC.h"

#include "gdi/private/CDCState.h"
#include "gdi/private/PenMapping.h"

#include <QFontMetrics>
#include <QString>
#include <QTextLayout>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using gdi_detail::LineLayout;
using gdi_detail::ResolvedFont;
using gdi_detail::TextCache;

namespace {

// The painter's turn for an escapement in tenths of a degree counter-clockwise; any int, the least one included.
double EscapementDegrees(LONG escapement)
{
    return -static_cast<double>(escapement % 3600) / 10.0;
}

// Lines of a DrawText text: "\r\n", "\n" and "\r" each end a line; a break at the very end opens no new line.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text layout places tabs and other control characters otherwise than QPainter::drawText does.
bool HasControlCharacters(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// The glyphs QPainter::drawText would draw for the line, with the baseline at the font's (rounded) ascent.
QList<QGlyphRun> Shape(const ResolvedFont& font, std::string_view text)
{
    QTextLayout layout(FromUtf8(text), font.font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    // Text drawn with QPainter::drawText takes its direction from its own characters, and its first glyph
    // starts at the given point whatever that direction.
    option.setTextDirection(Qt::LayoutDirectionAuto);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(std::numeric_limits<int>::max() / 256);
    line.setPosition(QPointF(0, font.ascent - line.ascent()));
    layout.endLayout();
    return layout.glyphRuns();
}

}  // namespace

int CDC::State::Advance(std::string_view line)
{
    const ResolvedFont& font = Font();
    if (const LineLayout* layout = TextCache::ThisThread().Line(font, line))
        return layout->advance;
    return QFontMetrics(font.font).horizontalAdvance(FromUtf8(line));
}

void CDC::State::WriteLine(QPoint cell, std::string_view line, const QRect* clip)
{
    const ResolvedFont& font = Font();
    // The surface rows under the line are fetched while the line is looked up: labels lie anywhere on a large
    // surface, so those rows are rarely cached.
    if (cell.x() >= 0 && cell.x() < image.width()) {
        const uchar* bits = image.constBits();
        for (int y = std::max(cell.y(), 0); y < std::min(cell.y() + font.height, image.height()); ++y)
            __builtin_prefetch(bits + y * image.bytesPerLine() + cell.x() * 4);
    }
    LineLayout* layout = painter.layoutDirection() == Qt::LayoutDirectionAuto && !HasControlCharacters(line)
                             ? TextCache::ThisThread().Line(font, line)
                             : nullptr;
    if (layout == nullptr) {
        WriteUnshaped(font, cell, line);
        return;
    }
    if (!layout->glyphs)
        layout->glyphs = Shape(font, line);
    const bool upright = now.fontDescription.lfEscapement == 0;
    const bool clipKnown = clip != nullptr || !painter.hasClipping();
    if (upright && clipKnown && gdi_detail::GlyphMask::CanBlendOnto(painter, image)) {
        if (!layout->mask && ++layout->uprightDraws == 2)
            layout->mask = gdi_detail::GlyphMask::Make(*layout->glyphs, layout->advance, font.height);
        if (layout->mask) {
            if (now.bkMode == OPAQUE) {
                gdi_detail::CopyModeScope copy(painter);
                painter.fillRect(QRect(cell, QSize(layout->advance, font.height)),
                                 gdi_detail::ToQColor(now.bkColour));
            }
            layout->mask->Blend(image, cell, gdi_detail::ToQColor(now.textColour).rgba(),
                                clip != nullptr ? *clip : image.rect());
            return;
        }
    }
    WriteGlyphs(font, *layout, cell);
}

void CDC::State::WriteUnshaped(const ResolvedFont& font, QPoint cell, std::string_view line)
{
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.translate(cell);
    if (now.fontDescription.lfEscapement != 0)
        painter.rotate(EscapementDegrees(now.fontDescription.lfEscapement));
    if (now.bkMode == OPAQUE)
        painter.fillRect(QRect(0, 0, Advance(line), font.height), gdi_detail::ToQColor(now.bkColour));
    painter.setFont(font.font);
    painter.setPen(gdi_detail::ToQColor(now.textColour));
    painter.drawText(QPoint(0, font.ascent), FromUtf8(line));
    painter.restore();
}

void CDC::State::WriteGlyphs(const ResolvedFont& font, const LineLayout& layout, QPoint cell)
{
    // The painter's state is set and put back by hand: a full save and restore costs more than writing a short
    // label.
    const QPainter::CompositionMode mode = painter.compositionMode();
    const Qt::BGMode backgroundMode = painter.backgroundMode();
    const QPen oldPen = painter.pen();
    const QTransform transform = painter.transform();
    const bool turned = now.fontDescription.lfEscapement != 0;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBackgroundMode(Qt::TransparentMode);
    QPointF origin(cell);
    if (turned) {
        painter.translate(cell);
        painter.rotate(EscapementDegrees(now.fontDescription.lfEscapement));
        origin = QPointF(0, 0);
    }
    if (now.bkMode == OPAQUE)
        painter.fillRect(QRect(origin.toPoint(), QSize(layout.advance, font.height)),
                         gdi_detail::ToQColor(now.bkColour));
    painter.setPen(gdi_detail::ToQColor(now.textColour));
    for (const QGlyphRun& run : *layout.glyphs)
        painter.drawGlyphRun(origin, run);
    painter.setPen(oldPen);
    if (turned)
        painter.setTransform(transform);
    painter.setBackgroundMode(backgroundMode);
    painter.setCompositionMode(mode);
}

int CDC::DrawText(std::string_view text, RECT* rect, UINT format)
{
    if (rect == nullptr)
        return 0;
    State& s = *m_state;
    const ResolvedFont& font = s.Font();
    // Measuring one line (every label of an overlay as it is read) needs no list of lines: that list cost an
    // allocation per label.
    if ((format & DT_CALCRECT) && text.find_first_of("\r\n") == std::string_view::npos) {
        const int lineCount = text.empty() ? 0 : 1;
        rect->right = rect->left + (lineCount ? std::max(0, s.Advance(text)) : 0);
        rect->bottom = rect->top + font.height * lineCount;
        return font.height * lineCount;
    }
    std::string singleLine;
    std::vector<std::string_view> lines;
    if (format & DT_SINGLELINE) {
        if (!text.empty()) {
            singleLine.assign(text);
            std::replace_if(singleLine.begin(), singleLine.end(), [](char c) { return c == '\r' || c == '\n'; },
                            ' ');
            lines.push_back(singleLine);
        }
    } else {
        lines = SplitLines(text);
    }
    const int lineHeight = font.height;
    const int textHeight = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        int width = 0;
        for (std::string_view line : lines)
            width = std::max(width, s.Advance(line));
        rect->right = rect->left + width;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }

    int top = rect->top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        top += (rect->bottom - rect->top - lineHeight) / 2;

    const bool clip = !(format & DT_NOCLIP);
    const QRect clipRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
    if (clip) {
        s.painter.save();
        s.painter.setClipRect(clipRect);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        int left = rect->left;
        if (format & (DT_CENTER | DT_RIGHT)) {
            const int width = s.Advance(lines[i]);
            if (format & DT_CENTER)
                left += (rect->right - rect->left - width) / 2;
            else
                left = rect->right - width;
        }
        s.WriteLine(QPoint(left, top + lineHeight * static_cast<int>(i)), lines[i], clip ? &clipRect : nullptr);
    }
    if (clip)
        s.painter.restore();
    return (format & DT_SINGLELINE) && (format & DT_VCENTER) ? top - rect->top + textHeight : textHeight;
}

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format)
{
    if (text == nullptr)
        return 0;
    const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    return DrawText(std::string_view(text, length), rect, format);
}

BOOL CDC::TextOut(int x, int y, std::string_view text)
{
    m_state->WriteLine(QPoint(x, y), text);
    return 1;
}

CSize CDC::GetTextExtent(std::string_view text) const
{
    return CSize(m_state->Advance(text), m_state->Font().height);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const
{
    if (metrics == nullptr)
        return 0;
    const ResolvedFont& font = m_state->Font();
    *metrics = TEXTMETRIC{font.height,   font.ascent,  font.descent,
                          font.averageCharWidth, font.maxWidth, std::max(0, font.leading)};
    return 1;
}
