#include "panels/FootSwitchTransport.h"

#include "resources/StringTable.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#if VISTREL_HAVE_HIDAPI
#include <hidapi.h>
#endif

namespace {

constexpr const char* kModule = "Vistrel";
constexpr uint32_t IDS_NOT_OPEN = 8311;  // the switch's own "Device not open!", registered with its messages
constexpr uint32_t IDS_ALREADY_OPEN = 8315;
constexpr uint32_t IDS_NO_HID_LIBRARY = 8316;
constexpr uint32_t IDS_STOPPED_ANSWERING = 8317;
constexpr uint32_t IDS_NO_SUPPORT = 8318;

const StringTableRegistrar kTransportStrings(kModule, {
    {IDS_ALREADY_OPEN, "The device is already open.", "장치가 이미 열려 있습니다."},
    {IDS_NO_HID_LIBRARY, "The HID library could not start.", "HID 라이브러리를 시작할 수 없습니다."},
    {IDS_STOPPED_ANSWERING, "The foot switch stopped answering.", "풋 스위치가 응답하지 않습니다."},
    {IDS_NO_SUPPORT, "This build has no foot-switch support.", "이 프로그램은 풋 스위치를 지원하지 않습니다."},
});

}  // namespace

uint8_t FootSwitchStateFromReport(const uint8_t* report, int length)
{
    if (!report || length <= 0)
        return kFootSwitchNoReport;
    for (int i = 0; i < length; ++i) {
        if (report[i] != 0)
            return 0x00;
    }
    return 0x01;
}

std::vector<std::string> OrderFootSwitchInterfaces(std::vector<FootSwitchInterface> interfaces)
{
    auto keyboard = [](const FootSwitchInterface& i) { return i.usagePage == 0x01 && i.usage == 0x06; };
    std::stable_sort(interfaces.begin(), interfaces.end(),
                     [&](const FootSwitchInterface& a, const FootSwitchInterface& b) {
                         if (keyboard(a) != keyboard(b))
                             return keyboard(a);
                         return a.interfaceNumber < b.interfaceNumber;
                     });
    std::vector<std::string> paths;
    for (const FootSwitchInterface& i : interfaces)
        paths.push_back(i.path);
    return paths;
}

#if VISTREL_HAVE_HIDAPI

namespace {

// Common single-pedal USB switches; each reports the pedal as a key that is down while the pedal is.
constexpr std::pair<unsigned short, unsigned short> kKnownPedals[] = {
    {0x0c45, 0x7403},
    {0x0c45, 0x7404},
    {0x413d, 0x2107},
};

std::vector<std::pair<unsigned short, unsigned short>> PedalIds()
{
    if (const char* chosen = std::getenv("VISTREL_FOOTSWITCH_ID")) {
        const QStringList parts = QString::fromUtf8(chosen).split(QLatin1Char(':'));
        bool vendorOk = false, productOk = false;
        if (parts.size() == 2) {
            const uint vendor = parts[0].toUInt(&vendorOk, 16);
            const uint product = parts[1].toUInt(&productOk, 16);
            if (vendorOk && productOk && vendor <= 0xffff && product <= 0xffff)
                return {{static_cast<unsigned short>(vendor), static_cast<unsigned short>(product)}};
        }
    }
    return {std::begin(kKnownPedals), std::end(kKnownPedals)};
}

std::string HidText(hid_device* device, const char* fallback)
{
    const wchar_t* text = hid_error(device);
    if (!text || !*text)
        return fallback;
    return QString::fromWCharArray(text).toStdString();
}

}  // namespace

HidFootSwitchTransport::HidFootSwitchTransport() = default;

HidFootSwitchTransport::~HidFootSwitchTransport()
{
    std::string ignored;
    Close(ignored);
    if (m_initialised)
        hid_exit();
}

std::vector<std::string> HidFootSwitchTransport::Enumerate()
{
    std::vector<std::string> paths;
    if (!m_initialised) {
        if (hid_init() != 0)
            return paths;
        m_initialised = true;
    }
    for (const auto& [vendor, product] : PedalIds()) {
        hid_device_info* list = hid_enumerate(vendor, product);
        std::vector<FootSwitchInterface> interfaces;
        for (hid_device_info* info = list; info; info = info->next) {
            if (info->path)
                interfaces.push_back({info->path, info->usage_page, info->usage, info->interface_number});
        }
        hid_free_enumeration(list);
        for (std::string& path : OrderFootSwitchInterfaces(std::move(interfaces)))
            paths.push_back(std::move(path));
    }
    return paths;
}

bool HidFootSwitchTransport::Open(const std::string& path, std::string& error)
{
    if (m_device) {
        error = LoadString(kModule, IDS_ALREADY_OPEN);
        return false;
    }
    if (!m_initialised && hid_init() != 0) {
        error = HidText(nullptr, LoadString(kModule, IDS_NO_HID_LIBRARY).c_str());
        return false;
    }
    m_initialised = true;
    hid_device* device = hid_open_path(path.c_str());
    if (!device) {
        error = HidText(nullptr, std::strerror(errno));
        return false;
    }
    m_device = device;
    return true;
}

bool HidFootSwitchTransport::Transact(uint8_t (&buffer)[8], std::string& error)
{
    auto* device = static_cast<hid_device*>(m_device);
    if (!device) {
        error = LoadString(kModule, IDS_NOT_OPEN);
        return false;
    }
    // One pending report per exchange, so a tap shorter than the poll still gives a press and then a release.
    uint8_t report[64];
    const int read = hid_read_timeout(device, report, sizeof report, 0);
    if (read < 0) {
        error = HidText(device, LoadString(kModule, IDS_STOPPED_ANSWERING).c_str());
        return false;
    }
    buffer[0] = read == 0 ? kFootSwitchNoReport : FootSwitchStateFromReport(report, read);
    return true;
}

bool HidFootSwitchTransport::Close(std::string&)
{
    if (m_device)
        hid_close(static_cast<hid_device*>(m_device));
    m_device = nullptr;
    return true;
}

#else  // built without the HID library: no switch is ever found

HidFootSwitchTransport::HidFootSwitchTransport() = default;
HidFootSwitchTransport::~HidFootSwitchTransport() = default;
std::vector<std::string> HidFootSwitchTransport::Enumerate() { return {}; }
bool HidFootSwitchTransport::Open(const std::string&, std::string& error)
{
    error = LoadString(kModule, IDS_NO_SUPPORT);
    return false;
}
bool HidFootSwitchTransport::Transact(uint8_t (&)[8], std::string& error)
{
    error = LoadString(kModule, IDS_NOT_OPEN);
    return false;
}
bool HidFootSwitchTransport::Close(std::string&) { return true; }

#endif
