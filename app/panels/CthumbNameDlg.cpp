#include "panels/CthumbNameDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CthumbNameDlg::CthumbNameDlg(const std::string& name, LANGID language, QWidget* parent) : QDialog(parent)
{
    const bool korean = language == UI_LANGUAGE_KOREAN;
    setObjectName("CthumbNameDlg");
    setWindowTitle(korean ? QString::fromUtf8("이름 변경") : QString("Rename"));
    m_edit = new QLineEdit(QString::fromStdString(name), this);
    m_edit->setObjectName("1053");
    m_edit->selectAll();
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(korean ? QString::fromUtf8("확인") : QString("OK"),
                                         QDialogButtonBox::AcceptRole);
    ok->setObjectName("IDOK");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(korean ? QString::fromUtf8("이름 :") : QString("Name :"), this));
    row->addWidget(m_edit, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

std::string CthumbNameDlg::Name() const
{
    return m_edit->text().trimmed().toStdString();
}
