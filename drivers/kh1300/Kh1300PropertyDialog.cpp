#include "kh1300/Kh1300PropertyDialog.h"

#include "kh1300/Kh1300Camera.h"
#include "kh1300/Kh1300Strings.h"
#include "ui/ModalDialog.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

class Kh1300PropertyDialog : public QDialog
{
public:
    explicit Kh1300PropertyDialog(Kh1300Camera& camera) : m_camera(camera), m_remembered(camera.ResolutionIndex())
    {
        setObjectName(QStringLiteral("CUIKH1300Zcl2PropertyDlg"));
        setWindowTitle(QString::fromStdString(Kh1300String(kTextPropertyCaption)));
        auto* group = new QGroupBox(QString::fromStdString(Kh1300String(kTextResolutionGroup)), this);
        auto* rows = new QVBoxLayout(group);
        m_buttons.setExclusive(true);
        for (int index = 0; index < kKh1300ResolutionCount; ++index) {
            const Kh1300Resolution& row = kKh1300Resolutions[index];
            auto* button = new QRadioButton(QString::fromUtf8(row.text), group);
            button->setObjectName(QStringLiteral("resolution%1").arg(row.buttonId));
            m_buttons.addButton(button, row.buttonId);
            rows->addWidget(button);
        }
        Show(m_remembered);
        auto* box = new QDialogButtonBox(this);
        QPushButton* ok = box->addButton(QString::fromStdString(Kh1300String(kTextOk)), QDialogButtonBox::AcceptRole);
        ok->setObjectName(QStringLiteral("ok"));
        QPushButton* cancel =
            box->addButton(QString::fromStdString(Kh1300String(kTextCancel)), QDialogButtonBox::RejectRole);
        cancel->setObjectName(QStringLiteral("cancel"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(group);
        layout->addWidget(box);
        connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(&m_buttons, &QButtonGroup::idClicked, this, [this](int id) { Choose(id); });
    }

    // Cancel first goes back to the resolution the dialog opened with, re-opening the camera even when unchanged.
    void reject() override
    {
        m_camera.ChangeResolution(m_remembered);
        QDialog::reject();
    }

private:
    void Choose(int buttonId)
    {
        for (int index = 0; index < kKh1300ResolutionCount; ++index)
            if (kKh1300Resolutions[index].buttonId == buttonId)
                m_camera.ChangeResolution(index);
        // The buttons show what the camera runs in: a change the driver could not make is not shown as made.
        Show(m_camera.ResolutionIndex());
    }

    void Show(int index)
    {
        if (index < 0 || index >= kKh1300ResolutionCount) {
            m_buttons.setExclusive(false);
            for (QAbstractButton* button : m_buttons.buttons())
                button->setChecked(false);
            m_buttons.setExclusive(true);
            return;
        }
        m_buttons.button(kKh1300Resolutions[index].buttonId)->setChecked(true);
    }

    Kh1300Camera& m_camera;
    const int m_remembered;
    QButtonGroup m_buttons;
};

}  // namespace

void RunKh1300PropertyDialog(Kh1300Camera& camera)
{
    Kh1300PropertyDialog dialog(camera);
    RunModal(dialog);
}
