#include "artray/ArtrayDialogs.h"

#include "artray/ArtrayCamera.h"
#include "artray/ArtrayStrings.h"
#include "ui/ModalDialog.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QString Text(ArtrayText id)
{
    return QString::fromStdString(ArtrayString(id));
}

QPushButton* AddButton(QWidget* parent, QLayout* layout, ArtrayText text, const char* name)
{
    auto* button = new QPushButton(Text(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

class ScanOptionDialog : public QDialog
{
public:
    explicit ScanOptionDialog(ArtrayCamera& camera) : m_camera(camera)
    {
        setObjectName(QStringLiteral("CUIScanOptionDlg"));
        setWindowTitle(Text(kTextScanOptionCaption));
        const ArtrayModel& model = camera.Model();
        auto* grid = new QGridLayout;
        m_rows.setExclusive(true);
        for (int row = 0; row < model.rowCount; ++row) {
            const int id = model.rows[row].buttonId;
            auto* button = new QRadioButton(QString::fromStdString(ArtrayRowSizeText(model, row)), this);
            button->setObjectName(QStringLiteral("row%1").arg(id));
            m_rows.addButton(button, id);
            auto* start = new QLabel(QString::fromStdString(ArtrayRowStartText(model, row)), this);
            start->setObjectName(QStringLiteral("start%1").arg(id));
            grid->addWidget(button, row, 0);
            grid->addWidget(start, row, 1);
        }
        // The current row, found by the width the camera hands out now.
        for (int row = 0; row < model.rowCount; ++row)
            if (model.rows[row].width == camera.Width()) {
                m_rows.button(model.rows[row].buttonId)->setChecked(true);
                break;
            }
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(grid);
        QPushButton* ok = AddButton(this, layout, kTextOk, "ok");
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(&m_rows, &QButtonGroup::idClicked, this, [this](int id) { Choose(id); });
    }

private:
    void Choose(int buttonId)
    {
        QAbstractButton* button = m_rows.button(buttonId);
        if (!button || !button->isChecked())
            return;
        const ArtrayModel& model = m_camera.Model();
        for (int row = 0; row < model.rowCount; ++row)
            if (model.rows[row].buttonId == buttonId)
                m_camera.SetUp(row);
    }

    ArtrayCamera& m_camera;
    QButtonGroup m_rows;
};

class DevicePropertyDialog : public QDialog
{
public:
    explicit DevicePropertyDialog(ArtrayCamera& camera)
    {
        setObjectName(QStringLiteral("CUISelectDeviceDlg"));
        setWindowTitle(Text(kTextDevicePropertyCaption));
        auto* layout = new QVBoxLayout(this);
        void* owner = this;
        connect(AddButton(this, layout, kTextVideoFormat, "videoFormat"), &QPushButton::clicked, this,
            [&camera, owner] { camera.RunVideoFormatDialog(owner); });
        connect(AddButton(this, layout, kTextColorControl, "colorControl"), &QPushButton::clicked, this,
            [&camera, owner] { camera.RunColorDialog(owner); });
        connect(AddButton(this, layout, kTextAnalog, "analog"), &QPushButton::clicked, this,
            [&camera, owner] { camera.RunAnalogDialog(owner); });
        connect(AddButton(this, layout, kTextScanOption, "scanOption"), &QPushButton::clicked, this,
            [&camera] { RunArtrayScanOptionDialog(camera); });
        connect(AddButton(this, layout, kTextOk, "ok"), &QPushButton::clicked, this, &QDialog::accept);
        connect(AddButton(this, layout, kTextCancel, "cancel"), &QPushButton::clicked, this, &QDialog::reject);
    }
};

std::string Formatted(ArtrayText format, int first, int second)
{
    char text[64];
    std::snprintf(text, sizeof text, ArtrayString(format).c_str(), first, second);
    return text;
}

}  // namespace

std::string ArtrayRowSizeText(const ArtrayModel& model, int row)
{
    return Formatted(kTextRowSize, model.rows[row].width, model.rows[row].height);
}

std::string ArtrayRowStartText(const ArtrayModel& model, int row)
{
    return Formatted(kTextRowStart, (model.rows[0].width - model.rows[row].width) / 2,
        (model.rows[0].height - model.rows[row].height) / 2);
}

void RunArtrayDevicePropertyDialog(ArtrayCamera& camera)
{
    DevicePropertyDialog dialog(camera);
    RunModal(dialog);
}

void RunArtrayScanOptionDialog(ArtrayCamera& camera)
{
    ScanOptionDialog dialog(camera);
    RunModal(dialog);
}
