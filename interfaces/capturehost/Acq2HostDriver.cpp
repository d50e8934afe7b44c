#include "capturehost/Acq2HostDriver.h"

#include "acqdriver/AcqDib.h"
#include "capturehost/AcqDriver2Exports.h"
#include "capturehost/AcqProperty.h"
#include "datakeeper/DkImage.h"
#include "datakeeper/CArchiveManager.h"
#include "module/CModule.h"
#include "resources/StringTable.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QtDebug>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

struct Acq2HostDriver::State
{
    AcqDriver2Exports exports;
    CCriticalSection hostLock;
    datakeeper::CQvImage image;  // under hostLock
};

namespace {

// The host's results, as the first generation's header has them.
constexpr int kAcqFail = 0;
constexpr int kAcqOk = 1;
constexpr int kAcqNoNewFrame = 9;

constexpr const char* kModule = "CaptureHost2";
constexpr uint32_t IDS_PROPERTIES = 1;
constexpr uint32_t IDS_HUE = 2;
constexpr uint32_t IDS_SATURATION = 3;
constexpr uint32_t IDS_BRIGHTNESS = 4;
constexpr uint32_t IDS_CONTRAST = 5;
constexpr uint32_t IDS_INPUT = 6;
constexpr uint32_t IDS_SIGNAL = 7;
constexpr uint32_t IDS_DEFAULTS = 8;
constexpr uint32_t IDS_OK = 9;
constexpr uint32_t IDS_CANCEL = 10;
constexpr uint32_t IDS_REFUSED = 11;       // %1 the device
constexpr uint32_t IDS_NOT_SAVED = 12;     // %1 the file, %2 why
constexpr uint32_t IDS_NOT_RESTORED = 13;  // %1 the file, %2 why
const StringTableRegistrar kStrings(kModule, {
    {IDS_PROPERTIES, "Device Settings", "장치 설정"},
    {IDS_HUE, "Hue", "색조"},
    {IDS_SATURATION, "Saturation", "채도"},
    {IDS_BRIGHTNESS, "Brightness", "밝기"},
    {IDS_CONTRAST, "Contrast", "대비"},
    {IDS_INPUT, "Input", "입력"},
    {IDS_SIGNAL, "Signal format", "신호 형식"},
    {IDS_DEFAULTS, "Defaults", "기본값"},
    {IDS_OK, "OK", "확인"},
    {IDS_CANCEL, "Cancel", "취소"},
    {IDS_REFUSED, "The device %1 did not accept these settings; the previous ones stay.",
     "장치 %1이(가) 이 설정을 받아들이지 않았습니다. 이전 설정을 유지합니다."},
    {IDS_NOT_SAVED, "The device settings could not be kept in %1: %2",
     "장치 설정을 %1에 저장할 수 없습니다: %2"},
    {IDS_NOT_RESTORED, "The device settings kept in %1 were not used (%2); the device starts with its defaults.",
     "%1에 저장된 장치 설정을 사용하지 않았습니다(%2). 장치를 기본값으로 시작합니다."},
    {14, "the device refused them", "장치가 거부했습니다"},
    {15, "the file is not a settings file of this device", "이 장치의 설정 파일이 아닙니다"},
});
constexpr uint32_t IDS_WHY_REFUSED = 14;
constexpr uint32_t IDS_WHY_NOT_SETTINGS = 15;

std::string Text(uint32_t id, const std::string& first = {}, const std::string& second = {})
{
    std::string text = LoadString(kModule, id);
    if (const size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, first);
    if (const size_t at = text.find("%2"); at != std::string::npos)
        text.replace(at, 2, second);
    return text;
}

void Warn(const std::string& text)
{
    qWarning("%s", text.c_str());
    MessageBox(text, std::string(), MB_OK | MB_ICONWARNING);
}

// The open driver: its notification takes no argument.
std::mutex g_openLock;
Acq2HostDriver* g_open = nullptr;  // under g_openLock

// Copies the image's rows into a top-down DIB of the same shape; false when the two differ.
bool CopyImageToDib(const datakeeper::CQvImage& image, BITMAPINFOHEADER& dib)
{
    if (image.IsEmpty() || dib.biBitCount != 24 || dib.biWidth != image.GetWidth()
        || dib.biHeight != -image.GetHeight() || image.GetBytesPerPixel() != 3)
        return false;
    const int64_t offset = AcqDibPixelOffset(dib);
    const int64_t stride = AcqDibStride(dib.biWidth, 24);
    if (offset < 0 || stride < 0)
        return false;
    auto* rows = reinterpret_cast<uint8_t*>(&dib) + offset;
    if (stride == image.GetWidthBytes()) {
        std::memcpy(rows, image.GetBuffer(), size_t(image.GetImageSize()));
        return true;
    }
    const size_t rowBytes = size_t(std::min<int64_t>(stride, image.GetWidthBytes()));
    for (int y = 0; y < image.GetHeight(); ++y)
        std::memcpy(rows + int64_t(y) * stride, image.GetRow(y), rowBytes);
    return true;
}

}  // namespace

std::string Acq2PropertyFolder()
{
    if (const char* folder = std::getenv("VISTREL_DRIVER_SETTINGS"); folder && folder[0])
        return folder;
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        base = config;
    else if (const char* home = std::getenv("HOME"); home && home[0])
        base = std::string(home) + "/.config";
    else
        base = "/tmp";
    return base + "/Vistrel/Acquisition";
}

void Acq2PropertyDeleter::operator()(CAcqPropertyBase* property) const
{
    if (property && remove)
        remove(property);
}

std::unique_ptr<Acq2HostDriver> Acq2HostDriver::Make(const CModule& module, const std::string& file)
{
    std::unique_ptr<Acq2HostDriver> driver(new Acq2HostDriver);
    driver->m_state = std::make_unique<State>();
    driver->m_state->exports.Resolve(module);
    if (!driver->m_state->exports.HasCore())
        return nullptr;
    driver->m_archivePath = Acq2PropertyFolder() + "/" + std::filesystem::path(file).stem().string() + ".acqprop";
    return driver;
}

Acq2HostDriver::~Acq2HostDriver()
{
    Close();
}

Acq2HostDriver::Property Acq2HostDriver::NewProperty() const
{
    return Property(m_state->exports.ACQ_GetNewDeviceProperty(), Acq2PropertyDeleter{m_state->exports.ACQ_DeletePropertyBaseObject});
}

std::string Acq2HostDriver::DeviceName() const
{
    const Property defaults = NewProperty();
    return defaults ? defaults->Device : std::string();
}

bool Acq2HostDriver::Open(void* owner, void (*notify)())
{
    Close();
    {
        std::lock_guard lock(g_openLock);
        g_open = this;
    }
    m_notify = notify;
    if (m_state->exports.ACQ_SetNotityFunction)
        m_state->exports.ACQ_SetNotityFunction(&Acq2HostDriver::NotifyTrampoline);
    const Size size = m_state->exports.ACQ_Initial(1, owner, &m_state->hostLock) == 1 ? ReadSize() : Size{};
    if (AcqDibBufferSize(size.width, size.height, size.bitsPerPixel) < 0 || size.bitsPerPixel != 24) {
        m_state->exports.ACQ_Release();
        if (m_state->exports.ACQ_SetNotityFunction)
            m_state->exports.ACQ_SetNotityFunction(nullptr);
        std::lock_guard lock(g_openLock);
        g_open = nullptr;
        return false;
    }
    m_open = true;
    Reshape();

    std::string why;
    Property kept = LoadArchived(why);
    if (kept && m_state->exports.ACQ_SetProperty(kept.get()) == 1) {
        m_current = std::move(kept);
        return true;
    }
    if (kept)
        why = Text(IDS_WHY_REFUSED);
    if (!why.empty())
        Warn(Text(IDS_NOT_RESTORED, m_archivePath, why));
    Property defaults = NewProperty();
    if (defaults && m_state->exports.ACQ_SetProperty(defaults.get()) == 1)
        m_current = std::move(defaults);
    else
        m_current = NewProperty();  // what the driver runs with unless told otherwise
    return true;
}

void Acq2HostDriver::Close()
{
    if (!m_open)
        return;
    m_state->exports.ACQ_Release();
    if (m_state->exports.ACQ_SetNotityFunction)
        m_state->exports.ACQ_SetNotityFunction(nullptr);
    {
        std::lock_guard lock(g_openLock);
        if (g_open == this)
            g_open = nullptr;
    }
    AcqHostLockGuard lock(&m_state->hostLock);
    m_state->image.Remove();
    m_current.reset();
    m_open = false;
}

Acq2HostDriver::Size Acq2HostDriver::ReadSize() const
{
    Size size;
    AcqHostLockGuard lock(&m_state->hostLock);
    m_state->exports.ACQ_GetWidth(&size.width);
    m_state->exports.ACQ_GetHeight(&size.height);
    m_state->exports.ACQ_GetDepth(&size.bitsPerPixel);
    return size;
}

int Acq2HostDriver::Mode() const
{
    int mode = 0;
    if (m_state->exports.ACQ_GetCurrentMode)
        m_state->exports.ACQ_GetCurrentMode(&mode);
    return mode;
}

void Acq2HostDriver::Reshape()
{
    AcqHostLockGuard lock(&m_state->hostLock);
    int width = 0, height = 0;
    m_state->exports.ACQ_GetWidth(&width);
    m_state->exports.ACQ_GetHeight(&height);
    if (m_state->image.IsEmpty() || m_state->image.GetWidth() != width || m_state->image.GetHeight() != height)
        m_state->exports.ACQ_AllocImage(&m_state->image);
}

int Acq2HostDriver::Acquire(BITMAPINFOHEADER* dib)
{
    if (!dib || !m_open)
        return kAcqFail;
    AcqHostLockGuard lock(&m_state->hostLock);
    // The driver without a notification changes its size unannounced: follow it here.
    Reshape();
    if (dib->biWidth != m_state->image.GetWidth() || dib->biHeight != -m_state->image.GetHeight())
        return kAcqFail;
    if (m_state->exports.ACQ_Acquire(&m_state->image) != 1)
        return kAcqNoNewFrame;
    return CopyImageToDib(m_state->image, *dib) ? kAcqOk : kAcqFail;
}

void Acq2HostDriver::NotifyTrampoline()
{
    void (*notify)() = nullptr;
    {
        std::lock_guard lock(g_openLock);
        if (!g_open)
            return;
        // Inside the driver's hold of the host lock: taken again here, on the same thread.
        g_open->Reshape();
        notify = g_open->m_notify;
    }
    if (notify)
        notify();
}

Acq2HostDriver::Property Acq2HostDriver::CurrentProperty() const
{
    if (!m_current)
        return nullptr;
    Property copy = NewProperty();
    if (copy)
        copy->CopyFrom(m_current.get());
    return copy;
}

Acq2HostDriver::Property Acq2HostDriver::DefaultProperty() const
{
    return NewProperty();
}

Acq2HostDriver::Property Acq2HostDriver::LoadArchived(std::string& why) const
{
    std::error_code error;
    if (!std::filesystem::exists(m_archivePath, error))
        return nullptr;  // nothing kept yet
    datakeeper::CArchiveManager archive;
    if (!archive.Load(m_archivePath)) {
        why = archive.GetLastError();
        return nullptr;
    }
    Property kept = NewProperty();
    if (!kept)
        return nullptr;
    const std::string device = kept->Device;
    if (kept->Load(archive.GetRoot()) != 1 || kept->Device != device) {
        why = Text(IDS_WHY_NOT_SETTINGS);
        return nullptr;
    }
    return kept;
}

bool Acq2HostDriver::SaveArchive(CAcqPropertyBase& property, std::string& why) const
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(m_archivePath).parent_path(), error);
    datakeeper::CArchiveManager archive;
    property.Save(archive.GetRoot());
    if (archive.Save(m_archivePath))
        return true;
    why = archive.GetLastError();
    return false;
}

bool Acq2HostDriver::Apply(const CAcqPropertyBase& property)
{
    if (!m_open)
        return false;
    Property next = NewProperty();
    if (!next)
        return false;
    next->CopyFrom(&property);
    std::string deviceName = next->Device;
    if (m_state->exports.ACQ_SetProperty(next.get()) != 1) {
        Warn(Text(IDS_REFUSED, deviceName));
        return false;
    }
    m_current = std::move(next);
    std::string why;
    if (!SaveArchive(*m_current, why)) {
        Warn(Text(IDS_NOT_SAVED, m_archivePath, why));
        return false;
    }
    return true;
}

int Acq2HostDriver::EditProperties(QWidget* parent)
{
    Property edited = CurrentProperty();
    if (!edited)
        return 0;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Acq2PropertyDialog"));
    dialog.setWindowTitle(QString::fromStdString(Text(IDS_PROPERTIES)));
    auto* form = new QFormLayout(&dialog);

    struct RangeField
    {
        uint32_t label;
        const char* name;
        tagACQ_RANGE CAcqPropertyBase::*range;
        QSpinBox* spin = nullptr;
    };
    RangeField ranges[] = {{IDS_HUE, "hueSpin", &CAcqPropertyBase::Hue},
                           {IDS_SATURATION, "saturationSpin", &CAcqPropertyBase::Saturation},
                           {IDS_BRIGHTNESS, "brightnessSpin", &CAcqPropertyBase::Brightness},
                           {IDS_CONTRAST, "contrastSpin", &CAcqPropertyBase::Contrast}};
    for (RangeField& field : ranges) {
        const tagACQ_RANGE& range = (*edited).*field.range;
        if (!range.HWSupport)
            continue;
        field.spin = new QSpinBox(&dialog);
        field.spin->setObjectName(QString::fromLatin1(field.name));
        field.spin->setRange(std::min(range.Min, range.Max), std::max(range.Min, range.Max));
        form->addRow(QString::fromStdString(Text(field.label)), field.spin);
    }
    QComboBox* input = nullptr;
    if (edited->Channel.Count() > 0) {
        input = new QComboBox(&dialog);
        input->setObjectName(QStringLiteral("inputBox"));
        for (const tagACQ_CHANNEL& channel : edited->Channel.List)
            input->addItem(QString::fromStdString(channel.Name));
        form->addRow(QString::fromStdString(Text(IDS_INPUT)), input);
    }
    auto* signal = new QSpinBox(&dialog);
    signal->setObjectName(QStringLiteral("signalSpin"));
    signal->setRange(0, 1);
    form->addRow(QString::fromStdString(Text(IDS_SIGNAL)), signal);

    // The widgets show a property; an input index outside the list (a device's "none yet") shows no entry.
    auto show = [&](const CAcqPropertyBase& p) {
        for (RangeField& field : ranges)
            if (field.spin)
                field.spin->setValue((p.*field.range).Value);
        if (input)
            input->setCurrentIndex(p.Channel.HasCurrent() ? p.Channel.Current : -1);
        signal->setValue(std::clamp(p.Signal, 0, 1));
    };
    show(*edited);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* defaults = buttons->addButton(QString::fromStdString(Text(IDS_DEFAULTS)),
                                               QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("defaultsButton"));
    buttons->addButton(QString::fromStdString(Text(IDS_OK)), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(QString::fromStdString(Text(IDS_CANCEL)), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(defaults, &QPushButton::clicked, &dialog, [&] {
        if (Property fresh = NewProperty()) {
            edited->CopyFrom(fresh.get());
            show(*edited);
        }
    });
    form->addRow(buttons);
    if (RunModal(dialog) != QDialog::Accepted)
        return 0;

    for (RangeField& field : ranges)
        if (field.spin)
            ((*edited).*field.range).Value = field.spin->value();
    if (input && input->currentIndex() >= 0)
        edited->Channel.Current = input->currentIndex();
    edited->Signal = signal->value();
    return Apply(*edited) ? 1 : 0;
}
