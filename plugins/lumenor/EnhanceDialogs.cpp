#include "lumenor/EnhanceDialogs.h"

#include "inifile/FileBytes.h"
#include "resources/StringTable.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace lumenor {

namespace {

constexpr int kBrightnessMiddle = 256;
constexpr int kContrastMiddle = 200;

constexpr const char kModule[] = "Lumenor";
constexpr uint32_t IDS_BRIGHTNESS_CONTRAST_TITLE = 20;
constexpr uint32_t IDS_BRIGHTNESS = 21;
constexpr uint32_t IDS_CONTRAST = 22;
constexpr uint32_t IDS_THRESHOLD_TITLE = 23;
constexpr uint32_t IDS_THRESHOLD_VALUE = 24;
constexpr uint32_t IDS_BLACK = 25;
constexpr uint32_t IDS_WHITE = 26;

const StringTableRegistrar kDialogStrings(kModule, {
    {IDS_BRIGHTNESS_CONTRAST_TITLE, "Brightness Contrast"},
    {IDS_BRIGHTNESS, "Brightness"},
    {IDS_CONTRAST, "Contrast"},
    {IDS_THRESHOLD_TITLE, "Threshold"},
    {IDS_THRESHOLD_VALUE, "Threshold Value"},
    {IDS_BLACK, "Black"},
    {IDS_WHITE, "White"},
});

QString Text(uint32_t id)
{
    return QString::fromStdString(LoadString(kModule, id));
}

QString Format(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

QString FormatInt(int value)
{
    return QString::number(value);
}

QSlider* MakeSlider(QWidget* parent, const char* name, int maximum, int position)
{
    auto* slider = new QSlider(Qt::Vertical, parent);
    slider->setObjectName(name);
    slider->setRange(0, maximum);
    slider->setValue(position);
    slider->setTickPosition(QSlider::NoTicks);
    // Position 0 at the top: the brightest offset and the strongest contrast are up.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    return slider;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QDialogButtonBox* MakeButtons(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName("buttons");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

CBrightnessContrastDlg::CBrightnessContrastDlg(CQvImage& image, std::function<void()> redraw, QWidget* parent)
    : QDialog(parent), m_image(image), m_source(image), m_redraw(std::move(redraw))
{
    setObjectName("CBrightnessContrastDlg");
    setWindowTitle(Text(IDS_BRIGHTNESS_CONTRAST_TITLE));
    m_brightness = MakeSlider(this, "brightnessSlider", 2 * kBrightnessMiddle, kBrightnessMiddle);
    m_contrast = MakeSlider(this, "contrastSlider", 2 * kContrastMiddle, kContrastMiddle);
    m_brightnessValue = MakeLabel(this, "brightnessValue", "0");
    // The contrast label shows the factor the slider applies, so its resting value is "1.00", not "0": a "0" at rest
    // read as "no contrast" and jumped to "1.00" on the first move, though nothing had changed.
    m_contrastValue = MakeLabel(this, "contrastValue", "1.00");

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, "brightnessCaption", Text(IDS_BRIGHTNESS)), 0, 0, Qt::AlignHCenter);
    grid->addWidget(MakeLabel(this, "contrastCaption", Text(IDS_CONTRAST)), 0, 1, Qt::AlignHCenter);
    grid->addWidget(m_brightness, 1, 0, Qt::AlignHCenter);
    grid->addWidget(m_contrast, 1, 1, Qt::AlignHCenter);
    grid->addWidget(m_brightnessValue, 2, 0, Qt::AlignHCenter);
    grid->addWidget(m_contrastValue, 2, 1, Qt::AlignHCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(MakeButtons(this));

    connect(m_brightness, &QSlider::valueChanged, this, [this] { Preview(true); });
    connect(m_contrast, &QSlider::valueChanged, this, [this] { Preview(false); });
}

void CBrightnessContrastDlg::Preview(bool brightnessMoved)
{
    const int offset = kBrightnessMiddle - m_brightness->value();
    const int contrast = m_contrast->value();
    ApplyLut(m_source, m_image, BrightnessContrastLut(offset, contrast));
    if (m_redraw)
        m_redraw();
    if (brightnessMoved)
        m_brightnessValue->setText(FormatInt(offset));
    else
        m_contrastValue->setText(Format("%.2f", (400 - contrast) / 200.0));
}

CThresholdHistogram::CThresholdHistogram(CThresholdDlg& dialog, QWidget* parent) : QWidget(parent), m_dialog(dialog)
{
    setObjectName("histogram");
    // The area, the strip 5 pixels left of it and 12 pixels wider than 256, and the strip's height below it.
    setFixedSize(kAreaLeft - 5 + 256 + 12 + 2, kAreaBottom + 5 + 12 + 2);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CThresholdHistogram::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor frame(192, 192, 255);
    const int t = m_dialog.GetThreshold();
    const Histogram& histogram = m_dialog.GetHistogram();
    const unsigned largest = std::max(1u, m_dialog.GetLargestCount());

    // The area through a bitmap one pixel larger all round.
    QImage area(256 + 2, 128 + 2, QImage::Format_RGB32);
    area.fill(Qt::white);
    {
        QPainter p(&area);
        p.setPen(frame);
        p.drawRect(0, 0, area.width() - 1, area.height() - 1);
        p.setPen(QColor(128, 128, 128));
        for (int v = 0; v < 256; ++v) {
            const int top = static_cast<int>(128 - static_cast<double>(histogram[v]) / largest * 128);
            if (top < 128)
                p.drawLine(v + 1, 128, v + 1, top);
        }
        p.setPen(QColor(0, 0, 255));
        p.drawLine(t + 1, 1, t + 1, 128);
    }
    painter.fillRect(rect(), palette().window());
    painter.drawImage(kAreaLeft - 1, kAreaTop - 1, area);

    const int stripLeft = kAreaLeft - 5;
    const int stripTop = kAreaBottom + 5;
    painter.fillRect(stripLeft, stripTop, t + 6, 12, Qt::black);
    painter.fillRect(stripLeft + t + 6, stripTop, 256 + 12 - (t + 6), 12, Qt::white);
    painter.setPen(frame);
    painter.drawRect(stripLeft, stripTop, 256 + 12 - 1, 12 - 1);
    painter.fillRect(stripLeft + t + 1, stripTop, 10, 12, QColor(0, 0, 255));
    painter.drawRect(stripLeft + t + 1, stripTop, 10 - 1, 12 - 1);
}

void CThresholdHistogram::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const int marker = kAreaLeft + m_dialog.GetThreshold() + 1;
    if (event->button() == Qt::LeftButton && at.x() >= marker - 10 && at.x() <= marker + 10 &&
        at.y() >= kAreaBottom + 6 && at.y() <= kAreaBottom + 21)
        m_dragging = true;
}

void CThresholdHistogram::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    // Level v is drawn at area left + v: the pointer's column is the threshold. Adding one more would pick the level
    // of the histogram bar right of the pointer, so the cut would never land on the bar the user points at.
    m_dialog.SetThreshold(event->position().toPoint().x() - kAreaLeft);
}

void CThresholdHistogram::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

CThresholdDlg::CThresholdDlg(CQvImage& image, std::function<void()> redraw, std::string settingsPath,
                             QWidget* parent)
    : QDialog(parent), m_image(image), m_redraw(std::move(redraw)), m_settingsPath(std::move(settingsPath))
{
    setObjectName("CThresholdDlg");
    setWindowTitle(Text(IDS_THRESHOLD_TITLE));
    m_threshold = ReadThresholdSetting(m_settingsPath);

    m_histogramView = new CThresholdHistogram(*this, this);
    m_thresholdValue = MakeLabel(this, "thresholdValue", FormatInt(m_threshold));
    m_blackPercent = MakeLabel(this, "blackPercent", "");
    m_whitePercent = MakeLabel(this, "whitePercent", "");
    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, "thresholdCaption", Text(IDS_THRESHOLD_VALUE)), 0, 0);
    grid->addWidget(m_thresholdValue, 0, 1);
    grid->addWidget(m_histogramView, 1, 0, 1, 4);
    grid->addWidget(MakeLabel(this, "blackCaption", Text(IDS_BLACK)), 2, 0);
    grid->addWidget(m_blackPercent, 2, 1);
    grid->addWidget(MakeLabel(this, "whiteCaption", Text(IDS_WHITE)), 2, 2);
    grid->addWidget(m_whitePercent, 2, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(MakeButtons(this));

    // The document turns grey at once; every threshold is then drawn from the grey levels.
    if (ToGrey(m_image, m_grey)) {
        m_image = m_grey;
        if (m_redraw)
            m_redraw();
        m_histogram = GreyHistogram(m_grey);
        m_largest = *std::max_element(m_histogram.begin(), m_histogram.end());
        Apply();
    }
}

CThresholdDlg::~CThresholdDlg()
{
    WriteThresholdSetting(m_settingsPath, m_threshold);
}

void CThresholdDlg::SetThreshold(int threshold)
{
    threshold = std::clamp(threshold, 0, 256);
    if (threshold == m_threshold)
        return;
    m_threshold = threshold;
    m_thresholdValue->setText(FormatInt(m_threshold));
    m_histogramView->update();
    Apply();
}

void CThresholdDlg::Apply()
{
    if (m_grey.IsEmpty())
        return;
    ApplyThreshold(m_grey, m_image, m_threshold);
    const unsigned long long black = CountBelow(m_histogram, m_threshold);
    const double total = static_cast<double>(m_grey.GetWidth()) * m_grey.GetHeight();
    m_blackPercent->setText(Format("%.2f", black / total * 100.0));
    m_whitePercent->setText(Format("%.2f", (total - black) / total * 100.0));
    if (m_redraw)
        m_redraw();
}

int ReadThresholdSetting(const std::string& path)
{
    // Only a regular file is opened: a FIFO at the path would hold the dialog (and the UI) for ever.
    FILE* file = path.empty() ? nullptr : OpenRegularFile(path);
    if (!file)
        return 128;
    char line[64] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    // Leading digits count, as atoi reads them; anything else is 0. strtol saturates where atoi would overflow.
    return read ? static_cast<int>(std::clamp(std::strtol(line, nullptr, 10), 0L, 256L)) : 0;
}

bool WriteThresholdSetting(const std::string& path, int threshold)
{
    if (path.empty())
        return false;
    return WriteFileAtomically(path, std::to_string(threshold));
}

}  // namespace lumenor
