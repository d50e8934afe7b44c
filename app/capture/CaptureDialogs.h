// The capture dialogs: the enlargement factor (810), the multi-frame capture (890) and the capture settings (940).
// Controls carry their numbers as object names. UI thread; run them with RunModal.
#pragma once

#include "document/CVistrelDoc.h"

#include "types/WinGeometry.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

class CResizeCaptureDlg : public QDialog
{
public:
    explicit CResizeCaptureDlg(QWidget* parent = nullptr);
    int factor = 2;  // 2..5

protected:
    void showEvent(QShowEvent* event) override;
    void accept() override;

private:
    QSpinBox* m_factor;
};

class CMultiCaptureDlg : public QDialog
{
public:
    explicit CMultiCaptureDlg(QWidget* parent = nullptr);
    int frames = 3;   // 2..200: what one capture takes
    int combine = 0;  // 1: one noise-reduced image of all frames

    void accept() override;

private:
    QSpinBox* m_frames;
    QCheckBox* m_combine;
};

// The settings record is the dialog's own; read it after OK.
class CCaptureSettingDlg : public QDialog
{
public:
    // `regionBounds` answers the active document's region object's bounding rectangle, if there is one.
    explicit CCaptureSettingDlg(QWidget* parent = nullptr,
                                std::function<std::optional<CRect>()> regionBounds = {});
    CaptureSettingsRecord settings = [] {
        CaptureSettingsRecord r;
        r.cropWidth = 100;
        r.cropHeight = 100;
        return r;
    }();

    // The initial fill and the enabling rule; called when the dialog is shown (tests may call it directly).
    void OnInitDialog();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateEnabling();
    void FillControls();

    std::function<std::optional<CRect>()> m_regionBounds;
    bool m_initialised = false;
    QCheckBox* m_autoSave;
    QCheckBox* m_autoCrop;
    QComboBox* m_suffix;
    QComboBox* m_format;
    QLineEdit* m_folder;
    QLineEdit* m_prefix;
    QLineEdit* m_x;
    QLineEdit* m_y;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QWidget* m_browse;
    QWidget* m_region;
};
