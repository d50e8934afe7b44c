#include "calibration/CValueInputDlg.h"

#include "core/CalibrationTexts.h"
#include "core/CCalibrationList.h"

#include "ui/ModalDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

CValueInputDlg::CValueInputDlg(Mode mode, const std::string& preset, QWidget* parent) : QDialog(parent), m_mode(mode)
{
    setObjectName("910");
    const QString caption = CalibrationUiText(mode == kName            ? calibstr::IDS_ASK_NAME
                                              : mode == kMagnification ? calibstr::IDS_ASK_MAGNIFICATION
                                                                       : calibstr::IDS_ASK_UNITS_PER_PIXEL);
    setWindowTitle(caption);
    m_edit = new QLineEdit(QString::fromStdString(preset));
    m_edit->setObjectName(QString::number(kEdit));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CValueInputDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CValueInputDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

std::string CValueInputDlg::GetText() const
{
    return m_edit->text().trimmed().toStdString();
}

void CValueInputDlg::accept()
{
    if (GetText().empty())
        return;
    QDialog::accept();
}

bool CValueInputDlg::Ask(Mode mode, const std::string& preset, QWidget* parent, std::string& text)
{
    std::string shown = preset;
    for (;;) {
        CValueInputDlg dialog(mode, shown, parent);
        if (RunModal(dialog) != QDialog::Accepted)
            return false;
        text = dialog.GetText();
        if (text.empty())
            return false;
        // A magnification of nan, infinity, nothing or less keys records and scales by nonsense: asked again.
        if (mode != kMagnification || IsMagnification(text))
            return true;
        shown = text;
    }
}

bool CValueInputDlg::IsMagnification(const std::string& text)
{
    const double value = CCalibrationList::TextToNumber(text);
    return std::isfinite(value) && value > 0;
}
