#include "document/CNewImageDlg.h"

#include "document/AvailableMemory.h"
#include "document/ClipboardImage.h"
#include "document/DocumentStrings.h"
#include "qvimage/CQvImage.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
// The boxes take more than the library allows so that a size too large is refused with a reason, not clipped.
constexpr int kBoxMaximum = 999999;

QString Text(UINT id)
{
    return QString::fromStdString(DocumentString(id));
}

QSpinBox* MakeBox(QWidget* parent, const char* name)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, kBoxMaximum);
    return box;
}

}  // namespace

CNewImageDlg::CNewImageDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("CNewImageDlg");
    setWindowTitle(Text(docstr::IDS_NEW_IMAGE_TITLE));
    m_widthEdit = MakeBox(this, "widthEdit");
    m_heightEdit = MakeBox(this, "heightEdit");

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(Text(docstr::IDS_NEW_IMAGE_WIDTH), this), 0, 0);
    layout->addWidget(m_widthEdit, 0, 1);
    layout->addWidget(new QLabel(Text(docstr::IDS_NEW_IMAGE_PIXEL_UNIT), this), 0, 2);
    layout->addWidget(new QLabel(Text(docstr::IDS_NEW_IMAGE_HEIGHT), this), 1, 0);
    layout->addWidget(m_heightEdit, 1, 1);
    layout->addWidget(new QLabel(Text(docstr::IDS_NEW_IMAGE_PIXEL_UNIT), this), 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    layout->addWidget(buttons, 2, 0, 1, 3);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewImageDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewImageDlg::reject);

    OnInitDialog();
}

void CNewImageDlg::OnInitDialog()
{
    m_nWidth = kDefaultWidth;
    m_nHeight = kDefaultHeight;
    if (const std::optional<CSize> size = ClipboardDibSize()) {
        m_nWidth = size->cx;
        m_nHeight = size->cy;
    }
    m_widthEdit->setValue(m_nWidth);
    m_heightEdit->setValue(m_nHeight);
}

long long CNewImageDlg::ImageBytes(int width, int height)
{
    const long long stride = (static_cast<long long>(width) * 3 + 3) / 4 * 4;
    return stride * height;
}

bool CNewImageDlg::IsSizeAllowed(int width, int height)
{
    if (width < 1 || height < 1 || width > kQvMaxImageSide || height > kQvMaxImageSide)
        return false;
    return ImageBytes(width, height) <= kQvMaxImageBytes;
}

bool CNewImageDlg::IsMemoryAvailable(int width, int height)
{
    const long long available = AvailableMemoryBytes();
    return available < 0 || ImageBytes(width, height) * kCreationCostFactor <= available;
}

std::string CNewImageDlg::MemoryMessage(int width, int height)
{
    constexpr long long kMegabyte = 1 << 20;
    const long long needed = (ImageBytes(width, height) * kCreationCostFactor + kMegabyte - 1) / kMegabyte;
    const long long available = std::max(0LL, AvailableMemoryBytes()) / kMegabyte;
    return Format(DocumentString(docstr::IDS_NEW_IMAGE_MEMORY).c_str(), width, height, needed, available);
}

void CNewImageDlg::accept()
{
    const int width = m_widthEdit->value();
    const int height = m_heightEdit->value();
    if (!IsSizeAllowed(width, height)) {
        // Both sides in range and still refused: the pixels are more than an image may hold, which the side limit
        // alone would not explain.
        constexpr long long kMegabyte = 1 << 20;
        const bool sidesFit = width >= 1 && height >= 1 && width <= kQvMaxImageSide && height <= kQvMaxImageSide;
        AfxMessageBox(sidesFit ? Format(DocumentString(docstr::IDS_NEW_IMAGE_PIXELS).c_str(), width, height,
                                        (ImageBytes(width, height) + kMegabyte - 1) / kMegabyte,
                                        kQvMaxImageBytes / kMegabyte)
                               : Format(DocumentString(docstr::IDS_NEW_IMAGE_SIZE).c_str(), kQvMaxImageSide),
                      MB_ICONWARNING);
        return;
    }
    if (!IsMemoryAvailable(width, height)) {
        AfxMessageBox(MemoryMessage(width, height), MB_ICONWARNING);
        return;
    }
    m_nWidth = width;
    m_nHeight = height;
    QDialog::accept();
}
