// The one-field input of the calibration windows: a calibration name, a lens magnification or a units-per-pixel
// factor, with a caption that says which. OK closes only when the field holds text. UI thread; RunModal.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

class CValueInputDlg : public QDialog
{
    Q_OBJECT

public:
    enum Mode
    {
        kName = 0,
        kMagnification = 1,
        kUnitsPerPixel = 2,
    };
    static constexpr int kEdit = 911;

    CValueInputDlg(Mode mode, const std::string& preset, QWidget* parent = nullptr);

    Mode GetMode() const { return m_mode; }
    // The text as typed, trimmed of surrounding blanks.
    std::string GetText() const;
    void accept() override;

    // Runs the dialog; true with the text on OK. A magnification is asked for again, showing what was typed,
    // until it is a finite number above 0 or the user cancels.
    static bool Ask(Mode mode, const std::string& preset, QWidget* parent, std::string& text);
    // A finite number above 0.
    static bool IsMagnification(const std::string& text);

private:
    Mode m_mode;
    QLineEdit* m_edit = nullptr;
};
