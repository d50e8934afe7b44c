// A simulated MTPCI-TL board library: the entry points the driver binds (MtpciApi.h), over up to four channels
// that finish frames a test can identify (MtpciSimControl.h). No call waits.
#include "mtpci/MtpciApi.h"
#include "mtpci/sim/MtpciSimControl.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#define MTSIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFailStatus = 31;
constexpr int kUnpluggedStatus = 999;

struct Channel
{
    bool open = false;
    bool loaded = false;
    MtpciChannelInfo info{};
    std::vector<std::vector<uint8_t>> buffers;
    std::vector<int> bufferSeeds;
    bool capturing = false;
    std::deque<int> pushed;
    int fault = 0;
    bool stalled = false;
    int framesRead = 0;
    int generated = 0;
    int overwritten = 0;
    Clock::time_point started{};
};

struct SimState
{
    std::mutex lock;
    int channels = 4;
    bool manual = true;
    int frameMs = 0;
    bool unplugged = false;
    int loadDelayMs = 0;
    Channel channel[kMtpciMaxChannels + 1];
    std::map<std::string, int> calls;
    std::map<std::string, int> failNext;
};

SimState& Sim()
{
    static SimState state;
    return state;
}

// Counts the call; the status it must fail with, or 0.
int Enter(SimState& sim, const char* entry)
{
    ++sim.calls[entry];
    if (sim.unplugged)
        return kUnpluggedStatus;
    auto failing = sim.failNext.find(entry);
    if (failing != sim.failNext.end() && failing->second > 0) {
        --failing->second;
        return kFailStatus;
    }
    return 0;
}

Channel* Find(SimState& sim, int channel)
{
    if (channel < 1 || channel > sim.channels)
        return nullptr;
    return &sim.channel[channel];
}

int64_t FrameBytes(const MtpciChannelInfo& info)
{
    return int64_t(info.width) * info.height * info.bytesPerPixel * info.planeType;
}

// The time the board takes for one frame: the set interval, else its bytes at the bus's rate.
std::chrono::nanoseconds FramePeriod(const SimState& sim, const MtpciChannelInfo& info)
{
    if (sim.frameMs > 0)
        return std::chrono::milliseconds(sim.frameMs);
    return std::chrono::nanoseconds(std::max<int64_t>(1, FrameBytes(info) * 1'000'000'000 / kMtsimBusBytesPerSecond));
}

// The frame as the board holds it (top-down, packed; 2-byte pixels little-endian, the display byte high).
void Generate(int channel, const MtpciChannelInfo& info, int seed, std::vector<uint8_t>& out)
{
    out.resize(size_t(FrameBytes(info)));
    const int rows = info.height * info.planeType;
    const int displayColumns = info.width * (info.bytesPerPixel == 3 ? 3 : 1);
    if (info.bytesPerPixel != 2) {
        // A row's bytes count up from its first (MtsimByte): one copy out of a ramp per row. The frame is made on
        // the grab thread's poll, where a real board's DMA costs the processor nothing, so it is made cheaply.
        std::vector<uint8_t> ramp(size_t(displayColumns) + 256);
        for (size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = uint8_t(i);
        for (int row = 0; row < rows; ++row)
            std::memcpy(out.data() + size_t(row) * size_t(displayColumns),
                        ramp.data() + MtsimByte(channel, seed, row, 0), size_t(displayColumns));
        return;
    }
    size_t at = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < displayColumns; ++column) {
            out[at++] = 0x5A;
            out[at++] = MtsimByte(channel, seed, row, column);
        }
    }
}

struct CameraSet
{
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::string Value(const std::string& section, const std::string& key) const
    {
        auto s = sections.find(section);
        if (s != sections.end()) {
            auto k = s->second.find(key);
            if (k != s->second.end())
                return k->second;
        }
        return std::string();
    }
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool ReadCameraSet(const char* path, CameraSet& set)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            section = Lower(Trim(line.substr(1, line.find(']') - 1)));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            set.sections[section][Lower(Trim(line.substr(0, equals)))] = Trim(line.substr(equals + 1));
    }
    return true;
}

int Number(const CameraSet& set, int channel, const char* key, int fallback)
{
    std::string text = set.Value("channel" + std::to_string(channel), key);
    if (text.empty())
        text = set.Value("camera", key);
    return text.empty() ? fallback : std::atoi(text.c_str());
}

}  // namespace

MTSIM_EXPORT int MTPCI_OpenBoard(int* channelCount)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_OpenBoard"))
        return status;
    if (channelCount)
        *channelCount = sim.channels;
    return 0;
}

MTSIM_EXPORT int MTPCI_QueryChannel(int channel, MtpciChannelInfo* info)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_QueryChannel"))
        return status;
    Channel* c = Find(sim, channel);
    if (!c)
        return 1;
    if (c->fault == 4) {
        c->fault = 0;
        return kMtpciStatusNeedsReset;
    }
    c->open = true;
    if (info)
        *info = c->info;
    return 0;
}

MTSIM_EXPORT int MTPCI_ResetChannel(int channel)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_ResetChannel"))
        return status;
    return Find(sim, channel) ? 0 : 1;
}

MTSIM_EXPORT int MTPCI_LoadCameraSet(int channel, const char* path, char* cameraName, MtpciChannelInfo* records)
{
    SimState& sim = Sim();
    int delay = 0;
    {
        std::lock_guard lock(sim.lock);
        delay = sim.loadDelayMs;
    }
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(delay, 5000)));
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_LoadCameraSet"))
        return status;
    Channel* c = Find(sim, channel);
    CameraSet set;
    if (!c || !path || !ReadCameraSet(path, set))
        return 2;
    MtpciChannelInfo info{};
    info.width = Number(set, channel, "width", 640);
    info.height = Number(set, channel, "height", 480);
    info.bytesPerPixel = Number(set, channel, "bytesperpixel", 1);
    info.planeType = Number(set, channel, "planetype", 1);
    info.interlaced = Number(set, channel, "interlaced", 0);
    info.joinFields = Number(set, channel, "joinfields", 0);
    if (info.width < 1 || info.width > 8192 || info.height < 1 || info.height > 8192 || info.bytesPerPixel < 1
        || info.bytesPerPixel > 3 || (info.planeType != 1 && info.planeType != 3))
        return 3;
    c->info = info;
    c->loaded = true;
    if (cameraName) {
        std::string name = set.Value("camera", "name");
        name.resize(std::min<size_t>(name.size(), kMtpciCameraNameSize - 1));
        std::memcpy(cameraName, name.c_str(), name.size() + 1);
    }
    if (records)
        records[channel - 1] = info;
    return 0;
}

MTSIM_EXPORT int MTPCI_FreeBuffers(int channel)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_FreeBuffers"))
        return status;
    if (Channel* c = Find(sim, channel)) {
        c->buffers.clear();
        c->bufferSeeds.clear();
    }
    return 0;
}

MTSIM_EXPORT int MTPCI_AllocBuffers(int channel, int count, int)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_AllocBuffers"))
        return status;
    Channel* c = Find(sim, channel);
    if (!c || !c->loaded || count < 1 || count > 16)
        return 4;
    c->buffers.assign(size_t(count), std::vector<uint8_t>(size_t(FrameBytes(c->info)), 0));
    c->bufferSeeds.assign(size_t(count), -1);
    return 0;
}

MTSIM_EXPORT int MTPCI_PrepareTransfer(int channel)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_PrepareTransfer"))
        return status;
    Channel* c = Find(sim, channel);
    return c && !c->buffers.empty() ? 0 : 5;
}

MTSIM_EXPORT int MTPCI_QueryPrepared(int channel, uint32_t* status)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int failure = Enter(sim, "MTPCI_QueryPrepared"))
        return failure;
    if (status)
        *status = 0;
    return Find(sim, channel) ? 0 : 1;
}

MTSIM_EXPORT int MTPCI_StartRing(int channel)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_StartRing"))
        return status;
    Channel* c = Find(sim, channel);
    if (!c || c->buffers.empty())
        return 6;
    c->capturing = true;
    c->started = Clock::now();
    c->generated = 0;
    return 0;
}

MTSIM_EXPORT int MTPCI_StartSingle(int channel)
{
    return MTPCI_StartRing(channel);
}

MTSIM_EXPORT int MTPCI_PollRing(int channel, int buffer)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    ++sim.calls["MTPCI_PollRing"];
    if (sim.unplugged)
        return kUnpluggedStatus;
    Channel* c = Find(sim, channel);
    if (!c || !c->capturing)
        return kMtpciTransferIdle;
    if (c->fault == 2) {
        c->fault = 0;
        return kMtpciTransferDmaError;
    }
    if (c->fault == 3) {
        c->fault = 0;
        return 17;
    }
    if (c->stalled || buffer < 0 || buffer >= int(c->buffers.size()))
        return kMtpciTransferRunning;
    int seed = -1;
    if (!c->pushed.empty()) {
        seed = c->pushed.front();
        c->pushed.pop_front();
    } else if (!sim.manual) {
        const int64_t due = (Clock::now() - c->started) / FramePeriod(sim, c->info);
        if (due > c->generated) {
            // The ring holds the newest frames; older ones the driver did not read in time were overwritten.
            const int newest = int(std::max<int64_t>(c->generated, due - int64_t(c->buffers.size())));
            c->overwritten += newest - c->generated;
            c->generated = newest;
            seed = ++c->generated;
        }
    }
    if (seed < 0)
        return kMtpciTransferQueued;
    Generate(channel, c->info, seed, c->buffers[size_t(buffer)]);
    c->bufferSeeds[size_t(buffer)] = seed;
    return kMtpciTransferDone;
}

MTSIM_EXPORT int MTPCI_PollSingle(int channel)
{
    return MTPCI_PollRing(channel, 0);
}

MTSIM_EXPORT int MTPCI_BufferAddress(int channel, int buffer, const uint8_t** address)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_BufferAddress"))
        return status;
    Channel* c = Find(sim, channel);
    if (!c || buffer < 0 || buffer >= int(c->buffers.size()) || !address)
        return 7;
    *address = c->buffers[size_t(buffer)].data();
    return 0;
}

MTSIM_EXPORT int MTPCI_ReadImage(int channel, int buffer, int part, int parts, uint8_t* frame, uint32_t bytes)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (const int status = Enter(sim, "MTPCI_ReadImage"))
        return status;
    Channel* c = Find(sim, channel);
    if (!c || buffer < 0 || buffer >= int(c->buffers.size()) || !frame || parts < 1 || part < 0 || part >= parts)
        return 8;
    const std::vector<uint8_t>& source = c->buffers[size_t(buffer)];
    if (bytes < source.size())
        return 9;
    const int rows = c->info.height * c->info.planeType;
    const size_t rowBytes = source.size() / size_t(rows);
    for (int row = 0; row < rows; ++row) {
        // Interlaced fields take every other row; planes (or any other split) a block of rows each.
        const bool mine = c->info.interlaced && parts == 2 ? row % 2 == part : row * parts / rows == part;
        if (mine)
            std::memcpy(frame + size_t(row) * rowBytes, source.data() + size_t(row) * rowBytes, rowBytes);
    }
    if (part == parts - 1)
        ++c->framesRead;
    return 0;
}

MTSIM_EXPORT int MTPCI_ConvertWide(const uint8_t* wide, uint8_t* narrow, uint32_t pixels)
{
    if (!wide || !narrow)
        return 1;
    for (uint32_t i = 0; i < pixels; ++i)
        narrow[i] = wide[2 * i + 1];
    return 0;
}

MTSIM_EXPORT int MTPCI_StopCapture(int channel)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (Channel* c = Find(sim, channel))
        c->capturing = false;
    return Enter(sim, "MTPCI_StopCapture");
}

MTSIM_EXPORT int MTPCI_CloseChannel(int channel)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    if (Channel* c = Find(sim, channel)) {
        c->capturing = false;
        c->open = false;
        c->buffers.clear();
    }
    return Enter(sim, "MTPCI_CloseChannel");
}

MTSIM_EXPORT int MTPCI_ErrorBits(int channel, uint32_t* bits)
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    ++sim.calls["MTPCI_ErrorBits"];
    if (sim.unplugged)
        return kUnpluggedStatus;
    Channel* c = Find(sim, channel);
    if (bits)
        *bits = 0;
    if (c && c->fault == 1) {
        c->fault = 0;
        if (bits)
            *bits = 0x200;
    }
    return 0;
}

MTSIM_EXPORT void MTSIM_Reset()
{
    SimState& sim = Sim();
    std::lock_guard lock(sim.lock);
    sim.channels = 4;
    sim.manual = true;
    sim.frameMs = 0;
    sim.unplugged = false;
    sim.loadDelayMs = 0;
    for (Channel& c : sim.channel) {
        c.pushed.clear();
        c.fault = 0;
        c.stalled = false;
        c.framesRead = 0;
        c.generated = 0;
        c.overwritten = 0;
    }
    sim.calls.clear();
    sim.failNext.clear();
}

MTSIM_EXPORT void MTSIM_SetChannels(int count)
{
    std::lock_guard lock(Sim().lock);
    Sim().channels = std::clamp(count, 0, kMtpciMaxChannels);
}

MTSIM_EXPORT void MTSIM_SetManual(int manual)
{
    std::lock_guard lock(Sim().lock);
    Sim().manual = manual != 0;
}

MTSIM_EXPORT void MTSIM_SetFrameInterval(int frameMs)
{
    std::lock_guard lock(Sim().lock);
    Sim().frameMs = std::max(0, frameMs);
}

MTSIM_EXPORT void MTSIM_Push(int channel, int seed)
{
    std::lock_guard lock(Sim().lock);
    if (channel >= 1 && channel <= kMtpciMaxChannels)
        Sim().channel[channel].pushed.push_back(seed);
}

MTSIM_EXPORT void MTSIM_Inject(int channel, int fault)
{
    std::lock_guard lock(Sim().lock);
    if (channel >= 1 && channel <= kMtpciMaxChannels)
        Sim().channel[channel].fault = fault;
}

MTSIM_EXPORT int MTSIM_PendingFault(int channel)
{
    std::lock_guard lock(Sim().lock);
    return channel >= 1 && channel <= kMtpciMaxChannels ? Sim().channel[channel].fault : 0;
}

MTSIM_EXPORT void MTSIM_FailNext(const char* entry)
{
    std::lock_guard lock(Sim().lock);
    ++Sim().failNext[entry];
}

MTSIM_EXPORT void MTSIM_Stall(int channel, int stalled)
{
    std::lock_guard lock(Sim().lock);
    if (channel >= 1 && channel <= kMtpciMaxChannels)
        Sim().channel[channel].stalled = stalled != 0;
}

MTSIM_EXPORT void MTSIM_Unplug(int unplugged)
{
    std::lock_guard lock(Sim().lock);
    Sim().unplugged = unplugged != 0;
}

MTSIM_EXPORT void MTSIM_SetLoadDelay(int milliseconds)
{
    std::lock_guard lock(Sim().lock);
    Sim().loadDelayMs = milliseconds;
}

MTSIM_EXPORT int MTSIM_Calls(const char* entry)
{
    std::lock_guard lock(Sim().lock);
    auto found = Sim().calls.find(entry);
    return found == Sim().calls.end() ? 0 : found->second;
}

MTSIM_EXPORT int MTSIM_FramesRead(int channel)
{
    std::lock_guard lock(Sim().lock);
    return channel >= 1 && channel <= kMtpciMaxChannels ? Sim().channel[channel].framesRead : 0;
}

MTSIM_EXPORT int MTSIM_Overwritten(int channel)
{
    std::lock_guard lock(Sim().lock);
    return channel >= 1 && channel <= kMtpciMaxChannels ? Sim().channel[channel].overwritten : 0;
}

MTSIM_EXPORT int MTSIM_Capturing()
{
    std::lock_guard lock(Sim().lock);
    int count = 0;
    for (const Channel& c : Sim().channel)
        count += c.capturing ? 1 : 0;
    return count;
}

MTSIM_EXPORT int MTSIM_OpenChannels()
{
    std::lock_guard lock(Sim().lock);
    int count = 0;
    for (const Channel& c : Sim().channel)
        count += c.open ? 1 : 0;
    return count;
}
