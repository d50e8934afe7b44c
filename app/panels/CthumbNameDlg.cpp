#include "panels/CthumbNameDlg.h"

#include "resources/StringTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kModule = "Vistrel";
constexpr uint32_t IDS_TITLE = 8303;
constexpr uint32_t IDS_OK = 8304;
constexpr uint32_t IDS_NAME_LABEL = 8305;

const StringTableRegistrar kStrings(kModule, {
    {IDS_TITLE, "Rename", "이름 변경"},
    {IDS_OK, "OK", "확인"},
    {IDS_NAME_LABEL, "Name :", "이름 :"},
});

}  // namespace

CthumbNameDlg::CthumbNameDlg(const std::string& name, LANGID language, QWidget* parent) : QDialog(parent)
{
    const auto text = [language](uint32_t id) { return QString::fromStdString(LoadString(kModule, id, language)); };
    setObjectName("CthumbNameDlg");
    setWindowTitle(text(IDS_TITLE));
    m_edit = new QLineEdit(QString::fromStdString(name), this);
    m_edit->setObjectName("1053");
    m_edit->selectAll();
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(text(IDS_OK), QDialogButtonBox::AcceptRole);
    ok->setObjectName("IDOK");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(text(IDS_NAME_LABEL), this));
    row->addWidget(m_edit, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

std::string CthumbNameDlg::Name() const
{
    return m_edit->text().trimmed().toStdString();
}
