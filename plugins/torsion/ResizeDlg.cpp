#include "torsion/ResizeDlg.h"

#include "torsion/DialogText.h"

#include "ipl/IplLib.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QLineEdit* AddEdit(QFormLayout* form, int id, const char* label, int value, bool readOnly)
{
    auto* edit = new QLineEdit(QString::number(value));
    edit->setObjectName(QString::number(id));
    edit->setReadOnly(readOnly);
    if (!readOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    form->addRow(label, edit);
    return edit;
}

}  // namespace

CResizeDlg::CResizeDlg(int width, int height, QWidget* parent)
    : QDialog(parent), m_sourceWidth(width), m_sourceHeight(height), m_destWidth(width), m_destHeight(height)
{
    setObjectName(QString::number(IDD));
    setWindowTitle("Resize Dialog");

    auto* source = new QGroupBox("Source");
    auto* sourceForm = new QFormLayout(source);
    AddEdit(sourceForm, kSourceWidth, "Width", width, true);
    AddEdit(sourceForm, kSourceHeight, "Height", height, true);

    auto* dest = new QGroupBox("Destination");
    auto* destForm = new QFormLayout(dest);
    m_destWidthEdit = AddEdit(destForm, kDestWidth, "Width", width, false);
    m_destHeightEdit = AddEdit(destForm, kDestHeight, "Height", height, false);

    m_constrain = new QCheckBox("Contraint proportion");
    m_constrain->setObjectName(QString::number(kConstrain));
    m_constrain->setChecked(true);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CResizeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CResizeDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(dest);
    layout->addWidget(m_constrain);
    layout->addWidget(buttons);

    connect(m_destWidthEdit, &QLineEdit::textChanged, this, [this](const QString& text) { OnDestWidthChanged(text); });
    connect(m_destHeightEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { OnDestHeightChanged(text); });
}

void CResizeDlg::OnDestWidthChanged(const QString& text)
{
    m_destWidth = torsion::ParseSide(text);
    if (m_settingWidth || !m_constrain->isChecked() || m_sourceWidth <= 0)
        return;
    m_ratio = static_cast<double>(m_destWidth) / m_sourceWidth;
    m_settingHeight = true;
    m_destHeightEdit->setText(QString::number(torsion::Truncate(m_sourceHeight * m_ratio)));
    m_settingHeight = false;
}

void CResizeDlg::OnDestHeightChanged(const QString& text)
{
    m_destHeight = torsion::ParseSide(text);
    if (m_settingHeight || !m_constrain->isChecked() || m_sourceHeight <= 0)
        return;
    m_ratio = static_cast<double>(m_destHeight) / m_sourceHeight;
    m_settingWidth = true;
    m_destWidthEdit->setText(QString::number(torsion::Truncate(m_sourceWidth * m_ratio)));
    m_settingWidth = false;
}

void CResizeDlg::accept()
{
    if (m_destWidth <= 0 || m_destHeight <= 0) {
        MessageBox("Invalid Data !!");
        return;
    }
    m_interpolation = m_destWidth < m_sourceWidth && m_destHeight < m_sourceHeight ? kIplInterSuper : kIplInterCubic;
    QDialog::accept();
}
