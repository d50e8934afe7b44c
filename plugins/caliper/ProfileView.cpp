#include "caliper/ProfileView.h"

#include "caliper/CaliperMain.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

QColor ColourOf(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

}  // namespace

bool caliper::NiceStep(double length, double& step, int& decimals)
{
    // A length of 0 or less (an empty profile, a calibration of 0) would never reach 1 by tens.
    if (!(length > 0.0) || !std::isfinite(length))
        return false;
    if (length < 1.0) {
        int n = 0;
        double scaled = length;
        while (scaled < 1.0) {
            scaled *= 10.0;
            ++n;
        }
        step = std::pow(10.0, -n);
        decimals = n;
        if (length < 5.0 * step) {
            step /= 2.0;
            decimals = n + 1;
        }
    } else {
        int c = 0;
        double scaled = length;
        while (scaled > 1.0) {
            scaled *= 0.1;
            ++c;
        }
        step = std::pow(10.0, c - 1);
        decimals = 1 - c;
        if (length < 5.0 * step) {
            step /= 2.0;
            decimals -= 1;
        }
    }
    return true;
}

std::string caliper::ScaleLabel(double value, int decimals)
{
    char format[16];
    std::snprintf(format, sizeof format, "%%.%df", std::abs(decimals));
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    std::string label = text;
    if (label.find('.') != std::string::npos) {
        while (!label.empty() && label.back() == '0')
            label.pop_back();
        if (!label.empty() && label.back() == '.')
            label.pop_back();
    }
    return label;
}

CProfileView::CProfileView(CaliperMain& main, QWidget* parent) : QWidget(parent), m_main(main)
{
    setObjectName("1234");
    resize(304, 204);
    // A hidden page gets its resize event only when first shown; the graph is drawn before that all the same.
    m_area = QRect(QPoint(25, 10), QPoint(width() - 10, height() - 25));
}

void CProfileView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_area = QRect(QPoint(25, 10), QPoint(width() - 10, height() - 25));
}

void CProfileView::Reload()
{
    m_profile.clear();
    CCaliperSession* session = m_main.Current();
    if (session) {
        m_unitsPerPixel = session->UnitsPerPixel();
        const CCaliperSettings& settings = session->Settings();
        m_curve = settings.Colour(caliper::kCurveColour);
        m_grid = settings.Colour(caliper::kGridColour);
        m_frame = settings.Colour(caliper::kFrameColour);
        if (const CProfileAnalyzer* analyzer = session->Analyzers().Current())
            m_profile = analyzer->SmoothedProfile();
    }
    update();
}

void CProfileView::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_RGB32);
    Draw(image);
    QPainter(this).drawImage(0, 0, image);
}

void CProfileView::Draw(QImage& image) const
{
    image.fill(palette().color(QPalette::Window));
    if (m_profile.empty())
        return;
    // m_area keeps the right and bottom lines as the graph's coordinates (QRect's right() and bottom()).
    const int left = m_area.left();
    const int top = m_area.top();
    const int right = m_area.right();
    const int bottom = m_area.bottom();
    const int n = static_cast<int>(m_profile.size());
    QPainter painter(&image);
    QFont font = parentWidget() ? parentWidget()->font() : this->font();
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);

    const QColor frame = ColourOf(m_frame);
    const QColor grid = ColourOf(m_grid);
    painter.setPen(frame);
    painter.drawLine(left, top, left, bottom);
    painter.drawLine(left, bottom, right, bottom);

    const double length = n * m_unitsPerPixel;
    double step = 0.0;
    int decimals = 0;
    if (caliper::NiceStep(length, step, decimals)) {
        const double pixelsPerUnit = (right - left) / length;
        const int labels = static_cast<int>(length / step);
        for (int k = 0; k <= labels; ++k) {
            const int x = static_cast<int>(left - 2 + k * step * pixelsPerUnit);
            painter.drawText(QPoint(x, bottom + 5 + painter.fontMetrics().ascent()),
                             QString::fromStdString(caliper::ScaleLabel(k * step, decimals)));
        }
        painter.setPen(grid);
        const int lines = static_cast<int>(length / (step / 2));
        for (int k = 1; k <= lines; ++k) {
            const int x = static_cast<int>(left + k * (step / 2) * pixelsPerUnit);
            painter.drawLine(x, bottom - 1, x, top);
        }
    }
    painter.setPen(frame);
    for (int k = 0; k <= 5; ++k)
        painter.drawText(QPoint(left - 20, bottom - 5 - k * 50 * (bottom - top) / 255 + painter.fontMetrics().ascent()),
                         QString::number(k * 50));
    painter.setPen(grid);
    for (int k = 1; k <= 11; ++k) {
        const int y = bottom - k * 25 * (bottom - top) / 255;
        painter.drawLine(left + 1, y, right, y);
    }

    painter.setPen(ColourOf(m_curve));
    const int w = right - left;
    auto yOf = [&](int sample) { return bottom - sample * (bottom - top) / m_rangeMax; };
    QPoint at(left, yOf(m_profile[0]));
    for (int i = 1; i < w; ++i) {
        const int index = std::min(static_cast<int>(static_cast<long long>(i) * n / w), n - 1);
        const QPoint to(left + i, yOf(m_profile[static_cast<size_t>(index)]));
        painter.drawLine(at, to);
        at = to;
    }
}
