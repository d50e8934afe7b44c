// The dialog that asks for the size of a new blank image: width and height in pixels, proposed as 640 x 480 or as
// the size of the image on the clipboard. OK is refused, with a message, for a size the image library cannot make
// and for one whose making would need more memory than the machine has free.
// Run it with RunModal; UI thread.
#pragma once

#include <QDialog>

#include <string>

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
    // The pixel bytes of a 24-bit image of that size (rows padded to 4 bytes).
    static long long ImageBytes(int width, int height);
    // Making a new image and showing it first takes at most this many times its pixel bytes.
    static constexpr int kCreationCostFactor = 2;
    // Whether the machine has that much memory free for an allowed size (yes when it cannot tell).
    static bool IsMemoryAvailable(int width, int height);
    // The message that refuses that size for want of memory.
    static std::string MemoryMessage(int width, int height);

    void accept() override;

private:
    QSpinBox* m_widthEdit = nullptr;
    QSpinBox* m_heightEdit = nullptr;
    int m_nWidth = 640;
    int m_nHeight = 480;
};
