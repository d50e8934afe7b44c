// The resize dialog: the image's size, the size wanted and whether the proportion is kept. Widgets carry their
// control ids as object names ("1017" .. "1021", OK "1", Cancel "2"); run it with RunModal.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

class CResizeDlg : public QDialog
{
public:
    enum { IDD = 1002 };
    enum Control
    {
        kSourceWidth = 1017,
        kSourceHeight = 1018,
        kDestWidth = 1019,
        kDestHeight = 1020,
        kConstrain = 1021,
    };

    CResizeDlg(int width, int height, QWidget* parent = nullptr);

    int GetDestWidth() const { return m_destWidth; }
    int GetDestHeight() const { return m_destHeight; }
    // Cubic, or supersampling when the image shrinks both ways; set when OK closes the dialog.
    int GetInterpolation() const { return m_interpolation; }

    // OK refuses a destination side of 0 or less and stays open.
    void accept() override;

private:
    void OnDestWidthChanged(const QString& text);
    void OnDestHeightChanged(const QString& text);

    int m_sourceWidth;
    int m_sourceHeight;
    int m_destWidth;
    int m_destHeight;
    double m_ratio = 1.0;
    int m_interpolation = 0;
    // Set while one destination edit is rewritten from the other, so the rewrite does not echo back.
    bool m_settingWidth = false;
    bool m_settingHeight = false;
    QLineEdit* m_destWidthEdit = nullptr;
    QLineEdit* m_destHeightEdit = nullptr;
    QCheckBox* m_constrain = nullptr;
};
