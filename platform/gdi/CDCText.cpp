// Text output of CDC: DrawText, TextOut and the font measures.
#include "gdi/CDC.h"

#include "CDCState.h"
#include "PenMapping.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Lines of a DrawText text: "\r\n", "\n" and "\r" each end a line; a break at the very end opens no new line.
std::vector<QString> SplitLines(const QString& text)
{
    std::vector<QString> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        lines.push_back(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.mid(start));
    return lines;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void CDC::State::WriteLine(const QFontMetrics& metrics, QPoint cell, const QString& line)
{
    State& s = *this;
    QPainter& painter = s.painter;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.translate(cell);
    if (s.now.fontDescription.lfEscapement != 0)
        painter.rotate(-s.now.fontDescription.lfEscapement / 10.0);
    if (s.now.bkMode == OPAQUE)
        painter.fillRect(QRect(0, 0, metrics.horizontalAdvance(line), metrics.height()),
                         gdi_detail::ToQColor(s.now.bkColour));
    painter.setFont(s.Font());
    painter.setPen(gdi_detail::ToQColor(s.now.textColour));
    painter.drawText(QPoint(0, metrics.ascent()), line);
    painter.restore();
}

int CDC::DrawText(std::string_view text, RECT* rect, UINT format)
{
    if (rect == nullptr)
        return 0;
    State& s = *m_state;
    const QFontMetrics metrics(s.Font(), &s.image);
    const QString all = FromUtf8(text);
    std::vector<QString> lines;
    if (format & DT_SINGLELINE) {
        if (!all.isEmpty())
            lines.push_back(QString(all).replace(u'\r', u' ').replace(u'\n', u' '));
    } else {
        lines = SplitLines(all);
    }
    const int lineHeight = metrics.height();
    const int textHeight = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        int width = 0;
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        rect->right = rect->left + width;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }

    int top = rect->top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        top += (rect->bottom - rect->top - lineHeight) / 2;

    const bool clip = !(format & DT_NOCLIP);
    if (clip) {
        s.painter.save();
        s.painter.setClipRect(QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)));
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const int width = metrics.horizontalAdvance(lines[i]);
        int left = rect->left;
        if (format & DT_CENTER)
            left += (rect->right - rect->left - width) / 2;
        else if (format & DT_RIGHT)
            left = rect->right - width;
        s.WriteLine(metrics, QPoint(left, top + lineHeight * static_cast<int>(i)), lines[i]);
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
    State& s = *m_state;
    s.WriteLine(QFontMetrics(s.Font(), &s.image), QPoint(x, y), FromUtf8(text));
    return 1;
}

CSize CDC::GetTextExtent(std::string_view text) const
{
    const QFontMetrics metrics(m_state->Font(), &m_state->image);
    return CSize(metrics.horizontalAdvance(FromUtf8(text)), metrics.height());
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const
{
    if (metrics == nullptr)
        return 0;
    const QFontMetrics font(m_state->Font(), &m_state->image);
    *metrics = TEXTMETRIC{font.height(),           font.ascent(),   font.descent(),
                          font.averageCharWidth(), font.maxWidth(), std::max(0, font.leading())};
    return 1;
}
