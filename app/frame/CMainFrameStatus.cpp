// The status bar of the main frame: the message pane and six text panes, each as wide as its text.
#include "frame/CMainFrame.h"

#include "frame/CommandIds.h"
#include "frame/FrameStrings.h"
#include "strings/Format.h"

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>

namespace {

constexpr int kPanePadding = 8;
// Decimals beyond this would only pad the pane; a damaged preference must not build a format of any length.
constexpr int kMaxDecimals = 10;

}  // namespace

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    for (UINT id : {PANE_STATUS_COLOUR, PANE_STATUS_IMAGE_SIZE, PANE_STATUS_MOUSE, PANE_STATUS_CALIBRATION,
                    PANE_STATUS_MAGNIFICATION, PANE_STATUS_UNIT}) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString::number(id));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label);
        m_statusPanes[id] = label;
        SetPaneText(id, std::string());
    }
    InitPaneTexts();
}

QLabel* CMainFrame::StatusPane(UINT paneId) const
{
    const auto found = m_statusPanes.find(paneId);
    return found == m_statusPanes.end() ? nullptr : found->second;
}

std::string CMainFrame::PaneText(UINT paneId) const
{
    if (paneId == PANE_STATUS_MESSAGE)
        return statusBar()->currentMessage().toStdString();
    QLabel* label = StatusPane(paneId);
    return label ? label->text().toStdString() : std::string();
}

void CMainFrame::SetPaneText(UINT paneId, const std::string& text)
{
    QLabel* label = StatusPane(paneId);
    if (!label)
        return;
    const QString qtext = QString::fromStdString(text);
    label->setText(qtext);
    label->setFixedWidth(statusBar()->fontMetrics().horizontalAdvance(qtext) + kPanePadding);
}

void CMainFrame::SetMessageText(const std::string& text) { statusBar()->showMessage(QString::fromStdString(text)); }

void CMainFrame::SetColorText(const std::string& text) { SetPaneText(PANE_STATUS_COLOUR, text); }
void CMainFrame::SetImageSizeText(const std::string& text) { SetPaneText(PANE_STATUS_IMAGE_SIZE, text); }
void CMainFrame::SetCalibrationNameText(const std::string& text) { SetPaneText(PANE_STATUS_CALIBRATION, text); }
void CMainFrame::SetUnitText(const std::string& text) { SetPaneText(PANE_STATUS_UNIT, text); }
void CMainFrame::SetMagnificationText(const std::string& text) { SetPaneText(PANE_STATUS_MAGNIFICATION, text); }

void CMainFrame::SetMousePosition(float x, float y)
{
    int decimals = m_hooks.decimalPlaces ? m_hooks.decimalPlaces() : 3;
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    // First pass: "(%%.%df,%%.%df)" becomes "(%.3f,%.3f)"; second pass formats the position with it.
    const std::string format = Format(FrameString(448, m_language).c_str(), decimals, decimals);
    SetPaneText(PANE_STATUS_MOUSE, Format(format.c_str(), static_cast<double>(x), static_cast<double>(y)));
}

void CMainFrame::InitPaneTexts()
{
    SetPaneText(PANE_STATUS_COLOUR, FrameString(440, m_language));
    SetPaneText(PANE_STATUS_IMAGE_SIZE, FrameString(441, m_language));
    SetPaneText(PANE_STATUS_MOUSE, FrameString(442, m_language));
}

int CMainFrame::UpdateCalibrationPanes()
{
    if (!m_calibrationNameBox || !m_magnificationBox || !m_unitBox)
        return 0;
    if (m_hooks.applyCalibrationToActiveDocument)
        m_hooks.applyCalibrationToActiveDocument();
    // A box without a selection (a calibration without a magnification) says "none": a pane left as it was would
    // describe the document shown before.
    const auto paneText = [this](UINT stringId, const QComboBox* box) {
        const std::string value =
            box->currentIndex() >= 0 ? box->currentText().toStdString() : FrameString(523, m_language);
        return Format(FrameString(stringId, m_language).c_str(), value.c_str());
    };
    SetCalibrationNameText(paneText(449, m_calibrationNameBox));
    SetMagnificationText(paneText(451, m_magnificationBox));
    SetUnitText(paneText(450, m_unitBox));
    return 1;
}
