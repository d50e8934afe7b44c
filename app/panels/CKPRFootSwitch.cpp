#include "panels/CKPRFootSwitch.h"

#include "panels/MessageWindows.h"
#include "resources/StringTable.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"

#include <cstring>

namespace {

// Device paths beyond this many are not looked at.
constexpr size_t kMaxDevicePaths = 127;

// The device's messages: the driver's own English texts.
constexpr const char* kModule = "Vistrel";
constexpr uint32_t IDS_OPEN_FAILED = 8310;
constexpr uint32_t IDS_NOT_OPEN = 8311;
constexpr uint32_t IDS_SEND_FAILED = 8312;
constexpr uint32_t IDS_PACKET_FAILED = 8313;
constexpr uint32_t IDS_CLOSE_FAILED = 8314;

const StringTableRegistrar kFootSwitchStrings(kModule, {
    {IDS_OPEN_FAILED, "Failed to open Device"},
    {IDS_NOT_OPEN, "Device not open!"},
    {IDS_SEND_FAILED, "SendPacket Failed!"},
    {IDS_PACKET_FAILED, "Failed to send USBIODS packet! Timer Disabled"},
    {IDS_CLOSE_FAILED, "Failed to close Device"},
});

bool SameId(const FootSwitchGuid& a, const FootSwitchGuid& b)
{
    return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
}

}  // namespace

CKPRFootSwitch::CKPRFootSwitch(std::unique_ptr<IFootSwitchTransport> transport)
    : m_transport(std::move(transport)), m_beepFunction([](DWORD hz, DWORD ms) { Beep(hz, ms); }), m_timer(this)
{
    setObjectName(QStringLiteral("Kv Message Window"));
    m_timer.setInterval(kPollIntervalMs);
    m_timer.setObjectName(QString::number(kPollTimerId));
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
}

CKPRFootSwitch::~CKPRFootSwitch()
{
    StopPolling();
    if (m_transport && m_transport->IsOpen()) {
        std::string ignored;
        m_transport->Close(ignored);  // no message boxes while the program goes down
    }
}

bool CKPRFootSwitch::Open()
{
    m_targets.clear();
    m_current.reset();
    if (m_opened || m_transport->IsOpen()) {
        StopPolling();
        CloseDevice();
    }
    std::vector<std::string> paths = m_transport->Enumerate();
    if (paths.size() > kMaxDevicePaths)
        paths.resize(kMaxDevicePaths);
    if (paths.empty())
        return false;
    std::string error;
    if (!m_transport->Open(paths.front(), error)) {
        MessageBox(error, LoadString(kModule, IDS_OPEN_FAILED), MB_OK | MB_ICONERROR);
        return false;
    }
    m_latch = 0;
    m_timer.start();
    m_opened = 1;
    return true;
}

void CKPRFootSwitch::AddTarget(const FootSwitchGuid& guid, void* window, UINT message)
{
    FootSwitchTarget target;
    target.id = guid;
    target.window = window;
    target.message = message;
    AddTarget(std::move(target));
}

void CKPRFootSwitch::AddTarget(FootSwitchTarget target)
{
    for (const FootSwitchTarget& known : m_targets) {
        if (SameId(known.id, target.id))
            return;
    }
    m_targets.push_back(std::move(target));
}

void CKPRFootSwitch::SelectTarget(const FootSwitchGuid& guid)
{
    for (const FootSwitchTarget& known : m_targets) {
        if (SameId(known.id, guid)) {
            m_current = guid;
            return;
        }
    }
}

const FootSwitchTarget* CKPRFootSwitch::CurrentTarget() const
{
    if (!m_current)
        return nullptr;
    for (const FootSwitchTarget& known : m_targets) {
        if (SameId(known.id, *m_current))
            return &known;
    }
    return nullptr;
}

void CKPRFootSwitch::Poll()
{
    if (m_triggering)
        return;
    if (!m_transport->IsOpen()) {
        // Stopped before the box: its own event loop would otherwise keep polling and stack more boxes.
        StopPolling();
        MessageBox(LoadString(kModule, IDS_NOT_OPEN), LoadString(kModule, IDS_SEND_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    uint8_t request[8] = {0x08, 0x12, 0x0B, 0, 0, 0, 0, 0};
    std::string error;
    if (!m_transport->Transact(request, error)) {
        StopPolling();
        CloseDevice();
        MessageBox(error, LoadString(kModule, IDS_PACKET_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    const uint8_t state = request[0];
    if (state == kFootSwitchNoReport)
        return;
    if (state & 0x01) {
        m_latch = 0;
        return;
    }
    if (m_latch)
        return;
    m_latch = 1;
    if (m_beep && m_beepFunction)
        m_beepFunction(2000, 50);
    Trigger();
}

void CKPRFootSwitch::Trigger()
{
    // A copy: the capture may register or drop targets while it runs.
    const FootSwitchTarget* current = CurrentTarget();
    if (!current)
        return;
    const FootSwitchTarget target = *current;
    // The capture may run dialogs with their own event loops; the poll waits until it is over.
    m_triggering = true;
    m_timer.stop();
    if (target.callback)
        target.callback(0);
    else if (target.window && target.message)
        SendWindowMessage(target.window, target.message, 0, 0);
    m_triggering = false;
    if (m_opened && m_transport->IsOpen())
        m_timer.start();
}

void CKPRFootSwitch::StopPolling()
{
    m_timer.stop();
    m_opened = 0;
    m_latch = 0;
}

void CKPRFootSwitch::CloseDevice()
{
    if (!m_transport->IsOpen())
        return;
    std::string error;
    if (!m_transport->Close(error))
        MessageBox(error, LoadString(kModule, IDS_CLOSE_FAILED), MB_OK | MB_ICONERROR);
}
