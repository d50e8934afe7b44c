// The dialog that asks for the size of a new blank image: width and height in pixels, proposed as 640 x 480 or as
// the size of the image on the clipboard. OK is refused, with a message, for a size the image library cannot make.
// Run it with RunModal; UI thread.
#pragma once

#include <QDialog>

class QSpinBox;

class CNewImageDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CNewImageDlg(QWidget* parent = nullptr);

    // The proposal: 640 x 480, or the size of the clipboard's DIB. Called by the constructor.
    void OnInitDialog();
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }

    // Whether a 24-bit image of that size can be made.
    static bool IsSizeAllowed(int width, int height);

    void accept() override;

private:
    QSpinBox* m_widthEdit = nullptr;
    QSpinBox* m_heightEdit = nullptr;
    int m_nWidth = 640;
    int m_nHeight = 480;
};
