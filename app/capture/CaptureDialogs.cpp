#include "capture/CaptureDialogs.h"

#include "core/CAppEnvironment.h"

#include "resources/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr const char* kModule = "Vistrel";
constexpr uint32_t IDS_OK = 8221;
constexpr uint32_t IDS_CANCEL = 8222;
constexpr uint32_t IDS_RESIZE_CAPTURE_TITLE = 8223;
constexpr uint32_t IDS_MULTI_CAPTURE_TITLE = 8224;
constexpr uint32_t IDS_COMBINE = 8225;
constexpr uint32_t IDS_COMBINE_EXPLAINED = 8226;
constexpr uint32_t IDS_CAPTURE_SETTINGS_TITLE = 8227;
constexpr uint32_t IDS_AUTO_SAVE = 8228;
constexpr uint32_t IDS_AUTO_CROP = 8229;
constexpr uint32_t IDS_TAKE_REGION = 8230;
constexpr uint32_t IDS_CHOOSE_FOLDER = 8231;
constexpr uint32_t IDS_SUFFIX_DATE = 8232;
constexpr uint32_t IDS_SUFFIX_NUMBER = 8233;
constexpr uint32_t IDS_FORMAT_TIFF = 8234;
constexpr uint32_t IDS_FORMAT_JPEG = 8235;
constexpr uint32_t IDS_FORMAT_BITMAP = 8236;

const StringTableRegistrar kCaptureDialogStrings(
    kModule,
    {
        {IDS_OK, "OK", "확인"},
        {IDS_CANCEL, "Cancel", "취소"},
        {IDS_RESIZE_CAPTURE_TITLE, "Resize Capture", "이미지 크기변환 캡쳐"},
        {IDS_MULTI_CAPTURE_TITLE, "Multi-Image Capture", "다중 이미지 캡쳐"},
        {IDS_COMBINE, "Combine :", "조합 :"},
        {IDS_COMBINE_EXPLAINED,
         "Instead of making several files, the images of a multiple capture are combined into one with the noise "
         "removed.",
         "여러장의 파일을 만드는 것이 아니라 다중캡쳐후에 노이즈를 제거하여 하나로 혼합합니다."},
        {IDS_CAPTURE_SETTINGS_TITLE, "Capture Settings", "캡쳐 설정"},
        {IDS_AUTO_SAVE, "Save automatically", "자동저장 기능 사용"},
        {IDS_AUTO_CROP, "Crop automatically", "자동 잘라내기 기능 사용"},
        {IDS_TAKE_REGION, "Get Region", "영역얻기"},
        {IDS_CHOOSE_FOLDER, "Folder Select"},
        {IDS_SUFFIX_DATE, "DATE"},
        {IDS_SUFFIX_NUMBER, "NUMBER"},
        {IDS_FORMAT_TIFF, "TIFF (*.tif)"},
        {IDS_FORMAT_JPEG, "JPEG (*.jpg)"},
        {IDS_FORMAT_BITMAP, "BITMAP (*.bmp)"},
    });

QString Text(uint32_t id)
{
    return QString::fromStdString(LoadString(kModule, id));
}

QString Id(int id)
{
    return QString::number(id);
}

void AddButtons(QDialog* dialog, QLayout* layout)
{
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(Text(IDS_OK), QDialogButtonBox::AcceptRole)->setObjectName(Id(1));
    buttons->addButton(Text(IDS_CANCEL), QDialogButtonBox::RejectRole)->setObjectName(Id(2));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

QSpinBox* AddSpin(QLayout* layout, int id, int low, int high)
{
    auto* spin = new QSpinBox;
    spin->setObjectName(Id(id));
    spin->setRange(low, high);
    layout->addWidget(spin);
    return spin;
}

}  // namespace

CResizeCaptureDlg::CResizeCaptureDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(Id(810));
    setWindowTitle(Text(IDS_RESIZE_CAPTURE_TITLE));
    auto* layout = new QVBoxLayout(this);
    m_factor = AddSpin(layout, 811, 2, 5);
    AddButtons(this, layout);
}

void CResizeCaptureDlg::showEvent(QShowEvent* event)
{
    m_factor->setValue(factor);
    QDialog::showEvent(event);
}

void CResizeCaptureDlg::accept()
{
    factor = m_factor->value();
    QDialog::accept();
}

CMultiCaptureDlg::CMultiCaptureDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(Id(890));
    setWindowTitle(Text(IDS_MULTI_CAPTURE_TITLE));
    auto* layout = new QVBoxLayout(this);
    // One capture takes at most 200 frames; offering more would only be refused later.
    m_frames = AddSpin(layout, 891, 2, 200);
    m_frames->setValue(3);
    m_combine = new QCheckBox(Text(IDS_COMBINE));
    m_combine->setObjectName(Id(893));
    layout->addWidget(m_combine);
    layout->addWidget(new QLabel(Text(IDS_COMBINE_EXPLAINED)));
    AddButtons(this, layout);
}

void CMultiCaptureDlg::accept()
{
    frames = m_frames->value();
    combine = m_combine->isChecked() ? 1 : 0;
    QDialog::accept();
}

CCaptureSettingDlg::CCaptureSettingDlg(QWidget* parent, std::function<std::optional<CRect>()> regionBounds)
    : QDialog(parent), m_regionBounds(std::move(regionBounds))
{
    setObjectName(Id(940));
    setWindowTitle(Text(IDS_CAPTURE_SETTINGS_TITLE));
    auto* grid = new QGridLayout(this);
    auto edit = [](int id) {
        auto* e = new QLineEdit;
        e->setObjectName(Id(id));
        return e;
    };
    m_autoSave = new QCheckBox(Text(IDS_AUTO_SAVE));
    m_autoSave->setObjectName(Id(941));
    m_folder = edit(942);
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setObjectName(Id(943));
    m_browse = browse;
    m_prefix = edit(944);
    m_suffix = new QComboBox;
    m_suffix->setObjectName(Id(945));
    m_autoCrop = new QCheckBox(Text(IDS_AUTO_CROP));
    m_autoCrop->setObjectName(Id(946));
    m_x = edit(947);
    m_width = edit(948);
    m_y = edit(949);
    m_height = edit(950);
    for (QLineEdit* number : {m_x, m_y, m_width, m_height})
        number->setValidator(new QIntValidator(number));
    auto* region = new QPushButton(Text(IDS_TAKE_REGION));
    region->setObjectName(Id(951));
    m_region = region;
    m_format = new QComboBox;
    m_format->setObjectName(Id(952));

    grid->addWidget(m_autoSave, 0, 0, 1, 3);
    grid->addWidget(m_folder, 1, 0, 1, 2);
    grid->addWidget(browse, 1, 2);
    grid->addWidget(m_prefix, 2, 0);
    grid->addWidget(m_suffix, 2, 1);
    grid->addWidget(m_autoCrop, 3, 0, 1, 3);
    grid->addWidget(m_x, 4, 0);
    grid->addWidget(m_y, 4, 1);
    grid->addWidget(m_width, 5, 0);
    grid->addWidget(m_height, 5, 1);
    grid->addWidget(region, 5, 2);
    grid->addWidget(m_format, 6, 0, 1, 3);
    auto* buttons = new QVBoxLayout;
    grid->addLayout(buttons, 7, 0, 1, 3);
    AddButtons(this, buttons);

    connect(m_autoSave, &QCheckBox::clicked, this, [this](bool on) {
        settings.autoSave = on ? 1 : 0;
        UpdateEnabling();
    });
    connect(m_autoCrop, &QCheckBox::clicked, this, [this](bool on) {
        settings.autoCrop = on ? 1 : 0;
        UpdateEnabling();
    });
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, Text(IDS_CHOOSE_FOLDER), m_folder->text());
        if (!folder.isEmpty()) {
            settings.saveFolder = folder.toStdString();
            m_folder->setText(folder);
        }
    });
    connect(region, &QPushButton::clicked, this, [this] {
        const std::optional<CRect> bounds = m_regionBounds ? m_regionBounds() : std::nullopt;
        if (!bounds)
            return;
        settings.cropX = bounds->left;
        settings.cropY = bounds->top;
        settings.cropWidth = bounds->right - bounds->left;
        settings.cropHeight = bounds->bottom - bounds->top;
        FillControls();
    });
}

void CCaptureSettingDlg::showEvent(QShowEvent* event)
{
    if (!m_initialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void CCaptureSettingDlg::OnInitDialog()
{
    m_initialised = true;
    m_suffix->clear();
    m_suffix->addItems({Text(IDS_SUFFIX_DATE), Text(IDS_SUFFIX_NUMBER)});
    m_format->clear();
    m_format->addItems({Text(IDS_FORMAT_TIFF), Text(IDS_FORMAT_JPEG), Text(IDS_FORMAT_BITMAP)});
    if (!settings.autoSave && settings.saveFolder.empty()) {
        std::string documents, title;
        CAppEnvironment::GetMyDocumentsFolder(documents);
        AppEnvironment().GetModuleTitle(title);
        settings.saveFolder = documents + title;
        settings.filePrefix = "New acquire image";
    }
    FillControls();
    UpdateEnabling();
}

void CCaptureSettingDlg::FillControls()
{
    m_autoSave->setChecked(settings.autoSave != 0);
    m_autoCrop->setChecked(settings.autoCrop != 0);
    m_suffix->setCurrentIndex(settings.suffixKind);
    m_format->setCurrentIndex(settings.fileFormat);
    m_folder->setText(QString::fromStdString(settings.saveFolder));
    m_prefix->setText(QString::fromStdString(settings.filePrefix));
    m_x->setText(QString::number(settings.cropX));
    m_y->setText(QString::number(settings.cropY));
    m_width->setText(QString::number(settings.cropWidth));
    m_height->setText(QString::number(settings.cropHeight));
}

void CCaptureSettingDlg::UpdateEnabling()
{
    const bool save = m_autoSave->isChecked();
    const bool crop = m_autoCrop->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_folder, m_browse, m_prefix, m_suffix})
        w->setEnabled(save);
    for (QWidget* w : std::initializer_list<QWidget*>{m_x, m_y, m_width, m_height, m_region})
        w->setEnabled(crop);
    m_format->setEnabled(save || crop);
}

void CCaptureSettingDlg::accept()
{
    settings.saveFolder = m_folder->text().toStdString();
    settings.filePrefix = m_prefix->text().toStdString();
    settings.cropX = m_x->text().toInt();
    settings.cropY = m_y->text().toInt();
    settings.cropWidth = m_width->text().toInt();
    settings.cropHeight = m_height->text().toInt();
    settings.autoSave = m_autoSave->isChecked() ? 1 : 0;
    settings.suffixKind = m_suffix->currentIndex();
    settings.autoCrop = m_autoCrop->isChecked() ? 1 : 0;
    settings.fileFormat = m_format->currentIndex();
    QDialog::accept();
}
