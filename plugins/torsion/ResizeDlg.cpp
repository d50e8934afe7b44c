#include "torsion/ResizeDlg.h"

#include "torsion/DialogText.h"

#include "ipl/IplLib.h"
#include "resources/StringTable.h"
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

constexpr const char kModule[] = "Torsion";
constexpr uint32_t IDS_TITLE = 10;
constexpr uint32_t IDS_SOURCE = 11;
constexpr uint32_t IDS_DESTINATION = 12;
constexpr uint32_t IDS_WIDTH = 13;
constexpr uint32_t IDS_HEIGHT = 14;
constexpr uint32_t IDS_CONSTRAIN = 15;
constexpr uint32_t IDS_INVALID_DATA = 16;

const StringTableRegistrar kStrings(kModule, {
    {IDS_TITLE, "Resize Dialog"},
    {IDS_SOURCE, "Source"},
    {IDS_DESTINATION, "Destination"},
    {IDS_WIDTH, "Width"},
    {IDS_HEIGHT, "Height"},
    {IDS_CONSTRAIN, "Contraint proportion"},
    {IDS_INVALID_DATA, "Invalid Data !!"},
});

QString Text(uint32_t id)
{
    return QString::fromStdString(LoadString(kModule, id));
}

QLineEdit* AddEdit(QFormLayout* form, int id, uint32_t label, int value, bool readOnly)
{
    auto* edit = new QLineEdit(QString::number(value));
    edit->setObjectName(QString::number(id));
    edit->setReadOnly(readOnly);
    if (!readOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    form->addRow(Text(label), edit);
    return edit;
}

}  // namespace

CResizeDlg::CResizeDlg(int width, int height, QWidget* parent)
    : QDialog(parent), m_sourceWidth(width), m_sourceHeight(height), m_destWidth(width), m_destHeight(height)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(Text(IDS_TITLE));

    auto* source = new QGroupBox(Text(IDS_SOURCE));
    auto* sourceForm = new QFormLayout(source);
    AddEdit(sourceForm, kSourceWidth, IDS_WIDTH, width, true);
    AddEdit(sourceForm, kSourceHeight, IDS_HEIGHT, height, true);

    auto* dest = new QGroupBox(Text(IDS_DESTINATION));
    auto* destForm = new QFormLayout(dest);
    m_destWidthEdit = AddEdit(destForm, kDestWidth, IDS_WIDTH, width, false);
    m_destHeightEdit = AddEdit(destForm, kDestHeight, IDS_HEIGHT, height, false);

    m_constrain = new QCheckBox(Text(IDS_CONSTRAIN));
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
        MessageBox(LoadString(kModule, IDS_INVALID_DATA));
        return;
    }
    m_interpolation = m_destWidth < m_sourceWidth && m_destHeight < m_sourceHeight ? kIplInterSuper : kIplInterCubic;
    QDialog::accept();
}
