#include "camix/CamixSetupDialog.h"

#include "camix/CamixCamera.h"
#include "camix/CamixTexts.h"
#include "ui/ModalDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPoint>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <map>

namespace {

QString Text(uint32_t id)
{
    return QString::fromStdString(CamixText(id));
}

using ColourValues = std::map<std::string, int>;

ColourValues CurrentColours(const CamixCamera& camera)
{
    ColourValues values;
    for (const CamixColourControl& control : camera.ColourControls())
        values[control.label] = control.value;
    return values;
}

void ApplyColours(CamixCamera& camera, const ColourValues& values)
{
    for (const auto& [label, value] : values)
        camera.SetColourControl(label, value);
}

// Restarts the camera in `size` and tells the host, keeping its colour settings (a new pipeline starts from the device's own).
void Restart(CamixCamera& camera, CamixSize size, const std::function<void()>& formatChanged)
{
    const ColourValues colours = CurrentColours(camera);
    if (!camera.Rebuild(size))
        return;
    ApplyColours(camera, colours);
    camera.WriteDimension(CamixSize{camera.Width(), camera.Height()});
    // Every accepted page rebuilt the stream, so the host reads the format again even when its size stayed.
    if (formatChanged)
        formatChanged();
}

QDialogButtonBox* OkCancel(QDialog& dialog)
{
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(Text(camix_text::IDS_OK), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(Text(camix_text::IDS_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

void RunFormatPage(QDialog& owner, CamixCamera& camera, const std::function<void()>& formatChanged)
{
    const std::vector<CamixSize> sizes = camera.OfferedSizes();
    if (sizes.empty())
        return;
    QDialog page(&owner);
    page.setObjectName(QStringLiteral("VideoFormatPage"));
    // 30, 30 from the dialog that owns it, not from the screen's corner.
    page.move(owner.mapToGlobal(QPoint(30, 30)));
    auto* layout = new QVBoxLayout(&page);
    auto* combo = new QComboBox(&page);
    combo->setObjectName(QStringLiteral("sizeCombo"));
    const CamixSize current{camera.Width(), camera.Height()};
    for (const CamixSize size : sizes) {
        combo->addItem(QStringLiteral("%1 x %2").arg(size.width).arg(size.height),
                       QList<QVariant>{size.width, size.height});
        if (size == current)
            combo->setCurrentIndex(combo->count() - 1);
    }
    layout->addWidget(combo);
    layout->addWidget(OkCancel(page));
    if (RunModal(page) != QDialog::Accepted)
        return;
    const QList<QVariant> chosen = combo->currentData().toList();
    if (chosen.size() != 2)
        return;
    Restart(camera, CamixSize{chosen[0].toInt(), chosen[1].toInt()}, formatChanged);
}

void RunColourPage(QDialog& owner, CamixCamera& camera)
{
    const std::vector<CamixColourControl> controls = camera.ColourControls();
    if (controls.empty())
        return;
    QDialog page(&owner);
    page.setObjectName(QStringLiteral("ColorControlPage"));
    // 30, 30 from the dialog that owns it, not from the screen's corner.
    page.move(owner.mapToGlobal(QPoint(30, 30)));
    auto* layout = new QVBoxLayout(&page);
    ColourValues before;
    for (const CamixColourControl& control : controls) {
        before[control.label] = control.value;
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QString::fromStdString(control.label), &page));
        auto* slider = new QSlider(Qt::Horizontal, &page);
        slider->setObjectName(QString::fromStdString(control.label));
        slider->setRange(control.minimum, control.maximum);
        slider->setValue(control.value);
        // The camera follows the slider at once, so the operator sees the effect on the live image.
        QObject::connect(slider, &QSlider::valueChanged, &page,
                         [&camera, label = control.label](int value) { camera.SetColourControl(label, value); });
        row->addWidget(slider);
        layout->addLayout(row);
    }
    layout->addWidget(OkCancel(page));
    if (RunModal(page) != QDialog::Accepted)
        ApplyColours(camera, before);
}

}  // namespace

void RunCamixSetupDialog(CamixCamera& camera, const std::function<void()>& formatChanged)
{
    const CamixSize openedSize{camera.Width(), camera.Height()};
    const ColourValues openedColours = CurrentColours(camera);

    QDialog dialog;
    dialog.setObjectName(QStringLiteral("CUISelectDeviceDlg"));
    dialog.setWindowTitle(Text(camix_text::IDS_SETUP_TITLE));
    auto* layout = new QVBoxLayout(&dialog);
    auto* name = new QLabel(QString::fromStdString(camera.ModelName()), &dialog);
    name->setObjectName(QStringLiteral("deviceName"));
    layout->addWidget(name);
    auto* pages = new QHBoxLayout;
    auto* format = new QPushButton(Text(camix_text::IDS_VIDEO_FORMAT), &dialog);
    format->setObjectName(QStringLiteral("videoFormatButton"));
    auto* colour = new QPushButton(Text(camix_text::IDS_COLOUR_CONTROL), &dialog);
    colour->setObjectName(QStringLiteral("colorControlButton"));
    pages->addWidget(format);
    pages->addWidget(colour);
    layout->addLayout(pages);
    layout->addWidget(OkCancel(dialog));
    QObject::connect(format, &QPushButton::clicked, &dialog,
                     [&] { RunFormatPage(dialog, camera, formatChanged); });
    QObject::connect(colour, &QPushButton::clicked, &dialog, [&] { RunColourPage(dialog, camera); });

    if (RunModal(dialog) == QDialog::Accepted)
        return;
    // Any other way out restarts the stream as it was when the dialog opened.
    const CamixSize beforeRestart{camera.Width(), camera.Height()};
    if (openedSize.width <= 0 || !camera.Rebuild(openedSize))
        return;
    ApplyColours(camera, openedColours);
    const CamixSize now{camera.Width(), camera.Height()};
    camera.WriteDimension(now);
    if (!(now == beforeRestart) && formatChanged)
        formatChanged();
}
