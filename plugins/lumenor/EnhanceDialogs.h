// The two dialogs of the "Image Enhance" plug-in. Both change the document's image while they are open (live
// preview) and call `redraw` after every change; the view that runs them keeps the undo point and restores the
// image on Cancel. Built and driven without being shown: every control has an objectName.
#pragma once

#include "lumenor/LumenorOps.h"
#include "qvimage/CQvImage.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QSlider;

namespace lumenor {

// "Brightness Contrast": two vertical sliders, top = brightest and strongest. Brightness "brightnessSlider"
// 0..512 (offset 256 - position, label "brightnessValue" "%d"), contrast "contrastSlider" 0..400 (factor
// 2 - 0.005 * position, label "contrastValue" "%.2f"); both start in the middle, where the image is unchanged.
class CBrightnessContrastDlg : public QDialog
{
public:
    CBrightnessContrastDlg(CQvImage& image, std::function<void()> redraw, QWidget* parent = nullptr);

private:
    void Preview(bool brightnessMoved);

    CQvImage& m_image;
    CQvImage m_source;  // the image as it was when the dialog opened: every preview starts from it
    std::function<void()> m_redraw;
    QSlider* m_brightness = nullptr;
    QSlider* m_contrast = nullptr;
    QLabel* m_brightnessValue = nullptr;
    QLabel* m_contrastValue = nullptr;
};

class CThresholdDlg;

// The histogram of the working image with the threshold line, and the strip below it whose marker is dragged.
class CThresholdHistogram : public QWidget
{
public:
    static constexpr int kAreaLeft = 6;
    static constexpr int kAreaTop = 1;
    static constexpr int kAreaBottom = kAreaTop + 128;

    explicit CThresholdHistogram(CThresholdDlg& dialog, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CThresholdDlg& m_dialog;
    bool m_dragging = false;
};

// "Threshold": the document turns grey at once and shows black below the threshold, white from it on; the
// threshold (0..256, label "thresholdValue") is dragged on the strip under the histogram ("histogram"); the
// shares of black and white show in "blackPercent" and "whitePercent" ("%.2f"). The last threshold is kept in
// `settingsPath` when the dialog goes away, after OK or Cancel.
class CThresholdDlg : public QDialog
{
public:
    CThresholdDlg(CQvImage& image, std::function<void()> redraw, std::string settingsPath, QWidget* parent = nullptr);
    ~CThresholdDlg() override;

    int GetThreshold() const { return m_threshold; }
    void SetThreshold(int threshold);
    const Histogram& GetHistogram() const { return m_histogram; }
    unsigned GetLargestCount() const { return m_largest; }

private:
    void Apply();

    CQvImage& m_image;
    CQvImage m_grey;
    std::function<void()> m_redraw;
    std::string m_settingsPath;
    Histogram m_histogram{};
    unsigned m_largest = 0;
    int m_threshold = 128;
    CThresholdHistogram* m_histogramView = nullptr;
    QLabel* m_thresholdValue = nullptr;
    QLabel* m_blackPercent = nullptr;
    QLabel* m_whitePercent = nullptr;
};

// The threshold kept in the settings file: its first line as a number (text that is not one gives 0), 128 when
// there is no readable file; always within 0..256.
int ReadThresholdSetting(const std::string& path);
// Writes the threshold as decimal digits without a line end, through a temporary file; false when it cannot.
bool WriteThresholdSetting(const std::string& path, int threshold);

}  // namespace lumenor
