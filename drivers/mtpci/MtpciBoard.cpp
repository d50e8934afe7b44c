#include "mtpci/MtpciBoard.h"

#include "common/AcqDriverFiles.h"
#include "mtpci/MtpciCameraSetList.h"
#include "mtpci/MtpciStrings.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QThread>

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPoll{1};

// An address inside this module, for finding the module's folder.
const void* ModuleAnchor()
{
    return reinterpret_cast<const void*>(&ModuleAnchor);
}

// Keeps this module loaded for good: a grab thread that could not be joined still runs its code.
void PinModule()
{
    Dl_info info{};
    if (dladdr(ModuleAnchor(), &info) && info.dli_fname)
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

uint32_t NewFrameBit(int number)
{
    return 1u << (4 * (number - 1));
}

bool OnUiThread()
{
    QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

}  // namespace

// The board library's roles, bound by name; each keeps the ordinal it has in the Windows library.
struct MtpciBoard::Library
{
    void* handle = nullptr;
#define MTPCI_ROLE_LIST(X)                                                                                            \
    X(1, MTPCI_OpenBoard) X(5, MTPCI_QueryChannel) X(2, MTPCI_ResetChannel) X(72, MTPCI_LoadCameraSet)              \
    X(22, MTPCI_FreeBuffers) X(56, MTPCI_AllocBuffers) X(21, MTPCI_PrepareTransfer) X(71, MTPCI_QueryPrepared)       \
    X(15, MTPCI_StartRing) X(45, MTPCI_StartSingle) X(57, MTPCI_PollRing) X(58, MTPCI_PollSingle)                    \
    X(69, MTPCI_BufferAddress) X(81, MTPCI_ReadImage) X(200, MTPCI_ConvertWide) X(17, MTPCI_StopCapture)             \
    X(3, MTPCI_CloseChannel) X(20, MTPCI_ErrorBits)
#define MTPCI_DECLARE_ROLE(ordinal, name) name##Function name = nullptr;
    MTPCI_ROLE_LIST(MTPCI_DECLARE_ROLE)
#undef MTPCI_DECLARE_ROLE

    bool Resolve()
    {
        bool all = true;
#define MTPCI_RESOLVE_ROLE(ordinal, name)                                                                             \
    name = reinterpret_cast<name##Function>(dlsym(handle, #name));                                                    \
    all = all && name != nullptr;
        MTPCI_ROLE_LIST(MTPCI_RESOLVE_ROLE)
#undef MTPCI_RESOLVE_ROLE
        return all;
    }
};

MtpciBoard::~MtpciBoard()
{
    StopAndJoinAll();
    if (!m_library)
        return;
    bool anyLost = false;
    for (int number = 1; number <= kMtpciMaxChannels; ++number) {
        Channel& channel = ChannelOf(number);
        if (channel.lost) {
            anyLost = true;
            continue;
        }
        CloseChannel(number);
        channel.view.Release();
    }
    if (!anyLost)
        dlclose(m_library->handle);
    delete m_library;
}

bool MtpciBoard::Bind()
{
    if (m_library)
        return true;
    std::string error;
    void* handle = AcqLoadVendorLibrary(ModuleAnchor(), kLibraryName, error);
    auto* library = new Library;
    library->handle = handle;
    int count = 0;
    if (!handle || !library->Resolve() || library->MTPCI_OpenBoard(&count) != 0) {
        if (handle)
            dlclose(handle);
        delete library;
        const std::string text = AcqVendorLibraryMissingOnce(m_libraryMissingTold,
            MtpciString(kTextLibraryMissing), kLibraryName);
        if (!text.empty())
            AfxMessageBox(text.c_str(), MB_OK);
        return false;
    }
    m_library = library;
    m_channelCount = std::clamp(count, 0, kMtpciMaxChannels);
    for (int number = 1; number <= kMtpciMaxChannels; ++number) {
        ChannelOf(number).present = number <= m_channelCount;
        ChannelOf(number).enabled = number <= m_channelCount;
    }
    return true;
}

std::string MtpciBoard::ChooseCameraSet()
{
    FileDialogRequest request;
    request.filter = MtpciString(kTextCameraSetFilter);
    request.defaultExtension = "ini";
    return ChooseFile(request);
}

int MtpciBoard::StartUp()
{
    if (!Bind())
        return ACQ_FAIL;
    const std::string listFile = AcqSettingsReadPath(ModuleAnchor(), kCameraSetList);
    std::string cameraSet;
    if (!MtpciReadCameraSetList(listFile, cameraSet)) {
        cameraSet = ChooseCameraSet();
        if (cameraSet.empty())
            return ACQ_FAIL;
    }
    std::error_code error;
    if (!cameraSet.empty() && std::filesystem::is_regular_file(cameraSet, error)) {
        SetUpChannels(cameraSet);
        MtpciWriteCameraSetList(AcqSettingsWritePath(ModuleAnchor(), kCameraSetList), cameraSet);
        return ACQ_OK;
    }
    AfxMessageBox(MtpciString(kTextCameraSetMissing) + cameraSet, MB_OK);
    std::filesystem::remove(listFile, error);
    return ACQ_FAIL;
}

void MtpciBoard::ChooseAndSetUp()
{
    if (!Bind())
        return;
    const std::string cameraSet = ChooseCameraSet();
    if (!cameraSet.empty())
        SetUpChannels(cameraSet);
}

void MtpciBoard::Release()
{
    std::lock_guard setup(m_setupLock);
    m_mode = ACQ_MODE_SETTING_UP;
    StopAndJoinAll();
}

void MtpciBoard::SetUpChannels(const std::string& cameraSet)
{
    std::lock_guard setup(m_setupLock);
    m_mode = ACQ_MODE_SETTING_UP;
    StopAndJoinAll();
    for (int number = 1; number <= kMtpciMaxChannels; ++number) {
        Channel& channel = ChannelOf(number);
        if (!channel.present || channel.lost)
            continue;
        if (SetUpChannel(number, cameraSet) < 0)
            AfxMessageBox(MtpciString(kTextSetupFailed), MB_OK);
        channel.display = true;
        StartThread(number);
    }
    m_mode = ACQ_MODE_IDLE;
}

// No grab thread runs (the set-up joined them all).
int MtpciBoard::SetUpChannel(int number, const std::string& cameraSet)
{
    Library& board = *m_library;
    Channel& channel = ChannelOf(number);
    CloseChannel(number);
    m_newFrames &= ~NewFrameBit(number);
    channel.hasFrame = false;
    channel.handedOver = 0;
    channel.handedOverAt = 0;
    if (!channel.present)
        return -1;
    if (!channel.enabled)
        return 0;

    MtpciChannelInfo info{};
    MtpciChannelInfo records[kMtpciMaxChannels]{};
    char cameraName[kMtpciCameraNameSize]{};
    uint32_t statusWord = 0;
    int status = board.MTPCI_QueryChannel(number, &info);
    if (status == kMtpciStatusNeedsReset) {
        board.MTPCI_ResetChannel(number);
        status = board.MTPCI_QueryChannel(number, &info);
    }
    if (status == 0)
        status = board.MTPCI_LoadCameraSet(number, cameraSet.c_str(), cameraName, records);
    if (status == 0) {
        board.MTPCI_FreeBuffers(number);
        status = board.MTPCI_AllocBuffers(number, kFrameBuffers, 0);
    }
    if (status == 0)
        status = board.MTPCI_PrepareTransfer(number);
    if (status == 0)
        status = board.MTPCI_QueryPrepared(number, &statusWord);
    channel.open = true;
    if (status != 0) {
        channel.lastStatus = status;
        return -10;
    }
    info = records[number - 1];
    channel.info = info;

    // What the view holds is what the host is told: 2-byte pixels are converted to grey, three planes are
    // stacked as one grey image of three times the height.
    const int type = info.bytesPerPixel == 3 ? 3 : 1;
    const int viewHeight = info.height * std::max(1, info.planeType);
    channel.view.Release();
    if (channel.view.Init(type, info.width, viewHeight, 1) != 1) {
        AfxMessageBox(MtpciFormat(kTextViewInitFailed, number), MB_OK);
        return -20;
    }
    try {
        const size_t frameBytes = size_t(info.bytesPerPixel) * size_t(info.width) * size_t(viewHeight);
        channel.work.assign(frameBytes, 0);
        channel.conversion.assign(info.bytesPerPixel == 2 ? frameBytes / 2 : 0, 0);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(MtpciFormat(kTextWorkBufferFailed, number), MB_OK);
        channel.view.Release();
        CloseChannel(number);
        return -30;
    }
    return 0;
}

void MtpciBoard::CloseChannel(int number)
{
    Channel& channel = ChannelOf(number);
    if (channel.open) {
        m_library->MTPCI_FreeBuffers(number);
        m_library->MTPCI_CloseChannel(number);
        channel.open = false;
    }
    channel.work.clear();
    channel.work.shrink_to_fit();
    channel.conversion.clear();
    channel.conversion.shrink_to_fit();
}

void MtpciBoard::StartThread(int number)
{
    Channel& channel = ChannelOf(number);
    if (!channel.present || !channel.enabled) {
        channel.runState = kUnusable;
        return;
    }
    int idle = kIdle;
    if (!channel.runState.compare_exchange_strong(idle, kGrabbing))
        return;
    {
        std::lock_guard done(channel.doneLock);
        channel.finished = false;
    }
    try {
        // Normal priority: raising it needs privileges a user does not have, and every wait is a 1 ms sleep.
        channel.thread = std::thread(&MtpciBoard::GrabLoop, this, number);
    } catch (const std::system_error&) {
        std::lock_guard done(channel.doneLock);
        channel.finished = true;
        channel.runState = kIdle;
    }
}

void MtpciBoard::RequestStop(int number)
{
    Channel& channel = ChannelOf(number);
    int state = channel.runState;
    while (!channel.runState.compare_exchange_weak(state, state > 0 ? kStopping : kIdle)) {
    }
}

void MtpciBoard::StopAndJoinAll()
{
    for (int number = 1; number <= kMtpciMaxChannels; ++number)
        RequestStop(number);
    for (int number = 1; number <= kMtpciMaxChannels; ++number) {
        Channel& channel = ChannelOf(number);
        if (Join(channel))
            channel.runState = kIdle;
    }
}

bool MtpciBoard::Join(Channel& channel)
{
    if (!channel.thread.joinable())
        return true;
    const auto deadline = Clock::now() + kJoinBound;
    std::unique_lock done(channel.doneLock);
    while (!channel.finished && Clock::now() < deadline) {
        done.unlock();
        LetPromptsThrough();
        done.lock();
        channel.doneSignal.wait_for(done, std::chrono::milliseconds(5));
    }
    if (channel.finished) {
        done.unlock();
        channel.thread.join();
        return true;
    }
    done.unlock();
    channel.thread.detach();
    channel.lost = true;
    PinModule();
    return false;
}

void MtpciBoard::LetPromptsThrough()
{
    if (m_prompts > 0 && OnUiThread())
        QCoreApplication::processEvents();
}

int MtpciBoard::Ask(const std::string& text, unsigned type)
{
    ++m_prompts;
    const int answer = AfxMessageBox(text, type);
    --m_prompts;
    return answer;
}

void MtpciBoard::GrabLoop(int number)
{
    Library& board = *m_library;
    Channel& channel = ChannelOf(number);
    channel.frames = 0;
    channel.started = Clock::now();
    int buffer = 0;
    auto start = [&] {
        const int status = board.MTPCI_StartRing(number);
        if (status != 0) {
            channel.lastStatus = status;
            Ask(!channel.present ? MtpciFormat(kTextBoardNotRecognised, number)
                : !channel.open  ? MtpciFormat(kTextBoardNotOpen, number)
                                 : MtpciFormat(kTextLibraryError, number, status),
                MB_OK);
        }
        buffer = 0;
        return status == 0;
    };
    auto endLoop = [&](int state) {
        int grabbing = kGrabbing;
        channel.runState.compare_exchange_strong(grabbing, state);
    };
    start();
    while (channel.runState > 0) {
        int status = 0;
        switch (WaitForBuffer(number, buffer, status)) {
        case Wait::Done: {
            const uint8_t* address = nullptr;
            status = board.MTPCI_BufferAddress(number, buffer, &address);
            if (status != 0) {
                channel.lastStatus = status;
                Ask(MtpciFormat(kTextLibraryError, number, status), MB_OK);
            } else {
                CopyFrame(number, buffer);
            }
            buffer = (buffer + 1) % kFrameBuffers;
            break;
        }
        case Wait::Idle:
            std::this_thread::sleep_for(kPoll);
            endLoop(kUnusable);
            break;
        case Wait::DmaError:
            Ask(MtpciFormat(kTextDmaError, number), MB_OK);
            if (Ask(MtpciFormat(kTextStopThreadQuestion, number), MB_YESNO) == IDYES) {
                endLoop(kStoppedOnDmaError);
            } else {
                board.MTPCI_StopCapture(number);
                start();
            }
            break;
        case Wait::Stopped:
            break;
        case Wait::LibraryError:
            channel.lastStatus = status;
            Ask(MtpciFormat(kTextLibraryError, number, status), MB_OK);
            board.MTPCI_StopCapture(number);
            // A board that cannot even restart (unplugged) is not asked again and again.
            if (!start())
                endLoop(kUnusable);
            break;
        }
    }
    board.MTPCI_StopCapture(number);
    int state = channel.runState;
    if (state == kGrabbing || state == kStopping)
        channel.runState.compare_exchange_strong(state, kIdle);
    std::lock_guard done(channel.doneLock);
    channel.finished = true;
    channel.doneSignal.notify_all();
}

MtpciBoard::Wait MtpciBoard::WaitForBuffer(int number, int buffer, int& status)
{
    Library& board = *m_library;
    Channel& channel = ChannelOf(number);
    while (channel.runState == kGrabbing) {
        const int state = board.MTPCI_PollRing(number, buffer);
        switch (state) {
        case kMtpciTransferDone: return Wait::Done;
        case kMtpciTransferDmaError: return Wait::DmaError;
        case kMtpciTransferIdle: return Wait::Idle;
        case kMtpciTransferRunning:
        case kMtpciTransferQueued: {
            uint32_t bits = 0;
            if (board.MTPCI_ErrorBits(number, &bits) == 0 && (bits & kMtpciDmaErrorMask))
                return Wait::DmaError;
            std::this_thread::sleep_for(kPoll);
            break;
        }
        default: status = state; return Wait::LibraryError;
        }
    }
    return Wait::Stopped;
}

void MtpciBoard::CopyFrame(int number, int buffer)
{
    Library& board = *m_library;
    Channel& channel = ChannelOf(number);
    ++channel.frames;
    const MtpciChannelInfo& info = channel.info;
    const int parts = info.joinFields ? 1 : info.planeType == 3 ? 3 : info.interlaced ? 2 : 1;
    for (int part = 0; part < parts; ++part) {
        const int status = board.MTPCI_ReadImage(number, buffer, part, parts, channel.work.data(),
                                                 uint32_t(channel.work.size()));
        if (status != 0) {
            channel.lastStatus = status;
            Ask(MtpciFormat(kTextLibraryError, number, status), MB_OK);
            return;
        }
    }
    if (channel.display) {
        const uint8_t* frame = channel.work.data();
        if (info.bytesPerPixel == 2) {
            board.MTPCI_ConvertWide(channel.work.data(), channel.conversion.data(),
                                    uint32_t(channel.conversion.size()));
            frame = channel.conversion.data();
        }
        LetHostTakeFrame(number);
        if (channel.view.Store(frame, 0) == 1) {
            channel.hasFrame = true;
            m_newFrames |= NewFrameBit(number);
        }
    }
    std::this_thread::sleep_for(kPoll);
}

// A grab thread that polled late finds several finished buffers in the ring and reads them one right after the
// other, faster than the host takes them; storing each over the last would lose all but the newest although the
// host keeps up with the board. So channel 1's thread gives a host that is taking frames a few milliseconds to take
// the frame it holds (the board's ring keeps the next frames meanwhile), in the 1 ms sleeps of every wait here.
// A host that took nothing lately (no live display) is not waited for.
void MtpciBoard::LetHostTakeFrame(int number)
{
    if (number != 1)
        return;
    Channel& channel = ChannelOf(number);
    const auto deadline = Clock::now() + kHandOverWait;
    while ((m_newFrames & NewFrameBit(number)) && channel.runState == kGrabbing && Clock::now() < deadline
           && Clock::now() - Clock::time_point(Clock::duration(channel.handedOverAt.load())) < kHostPolling)
        std::this_thread::sleep_for(kPoll);
}

int MtpciBoard::Acquire(BITMAPINFOHEADER* dib)
{
    if (m_mode == ACQ_MODE_SETTING_UP)
        return ACQ_FAIL;
    if (m_channelCount < 1 || !(m_newFrames.fetch_and(~NewFrameBit(1)) & NewFrameBit(1)))
        return ACQ_NO_NEW_FRAME;
    return HandOver(dib, true);
}

// The newest frame, taken by Acquire or not; before the first frame of a set-up it waits a bounded time for one.
int MtpciBoard::Snapshot(BITMAPINFOHEADER* dib)
{
    const auto deadline = Clock::now() + kSnapshotBound;
    Channel& channel = ChannelOf(1);
    while (m_mode != ACQ_MODE_SETTING_UP && m_channelCount >= 1) {
        if (channel.hasFrame) {
            m_newFrames &= ~NewFrameBit(1);
            return HandOver(dib, false);
        }
        if (Clock::now() >= deadline)
            break;
        LetPromptsThrough();
        std::this_thread::sleep_for(kPoll);
    }
    return ACQ_FAIL;
}

int MtpciBoard::HandOver(BITMAPINFOHEADER* dib, bool newOnly)
{
    Channel& channel = ChannelOf(1);
    uint64_t number = 0;
    if (!channel.view.CopyTo(0, dib, &number))
        return ACQ_FAIL;
    // The grab thread raises the new-frame bit after its store: a copy made between the two took the frame the
    // bit then announces, which must not be handed over a second time.
    const uint64_t before = channel.handedOver.exchange(number);
    channel.handedOverAt = Clock::now().time_since_epoch().count();
    return newOnly && before == number ? ACQ_NO_NEW_FRAME : ACQ_OK;
}

int MtpciBoard::Width() const
{
    return m_channels[0].view.Width();
}

int MtpciBoard::Height() const
{
    return m_channels[0].view.FrameHeight();
}

int MtpciBoard::Depth() const
{
    return m_channels[0].view.Type() * 8;
}

int MtpciBoard::RunStateOf(int channel) const
{
    return channel >= 1 && channel <= kMtpciMaxChannels ? m_channels[channel - 1].runState.load() : kUnusable;
}
