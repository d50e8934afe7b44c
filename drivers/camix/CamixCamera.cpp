#include "camix/CamixCamera.h"

#include "camix/CamixTexts.h"

#include "profile/CRegKey.h"
#include "ui/MessageBox.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/colorbalance.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kRegistryRoot[] = "Software\\Korvelt\\";
constexpr char kDimensionValue[] = "Dimension";
constexpr int kDepth = 32;
// A stored size beyond this is not a camera's; it is ignored rather than handed to the device.
constexpr int kLargestSide = 16384;

// The simulated camera: module-wide, as everything of a driver module is.
std::mutex g_simulatedLock;
bool g_simulatedSet = false;  // a test chose; otherwise the environment does
std::string g_simulatedKind;
CamixSize g_simulatedSize{640, 480};
std::atomic<int> g_startTimeoutMs{5000};

// The simulated camera a test chose, or (with `fromEnvironment`) the one the environment asks for.
std::string SimulatedKind(CamixSize& size, bool fromEnvironment)
{
    std::lock_guard lock(g_simulatedLock);
    size = g_simulatedSize;
    std::string kind = g_simulatedKind;
    if (!g_simulatedSet) {
        if (!fromEnvironment)
            return {};
        const char* env = std::getenv("VISTREL_SIMULATED_CAMERA");
        kind = env ? env : "";
    }
    if (kind == "off")
        kind.clear();
    return kind;
}

bool GstReady()
{
    static const bool ready = [] {
        GError* error = nullptr;
        // GStreamer registers its types once per process: it must stay loaded when this module is unloaded and
        // loaded again.
        dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        const bool ok = gst_init_check(nullptr, nullptr, &error);
        if (error)
            g_error_free(error);
        return ok;
    }();
    return ready;
}

// The video sources GStreamer's device monitor finds now (references, to be released by the caller).
std::vector<GstDevice*> VideoSources()
{
    std::vector<GstDevice*> devices;
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
    if (gst_device_monitor_start(monitor)) {
        GList* list = gst_device_monitor_get_devices(monitor);
        for (GList* item = list; item; item = item->next)
            devices.push_back(GST_DEVICE(item->data));  // the list's reference passes to the vector
        g_list_free(list);
        gst_device_monitor_stop(monitor);
    }
    gst_object_unref(monitor);
    return devices;
}

std::string DisplayName(GstDevice* device)
{
    gchar* name = gst_device_get_display_name(device);
    std::string text = name ? name : "";
    g_free(name);
    return text;
}

GstElement* MakeElement(const char* factory, const char* name)
{
    return gst_element_factory_make(factory, name);
}

void SetCaps(GstElement* filter, const char* description)
{
    GstCaps* caps = gst_caps_from_string(description);
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
}

bool ValidSize(CamixSize size)
{
    return size.width > 0 && size.height > 0 && size.width <= kLargestSide && size.height <= kLargestSide;
}

void PutInt32(uint8_t* out, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[i] = uint8_t(bits >> (8 * i));
}

int32_t GetInt32(const uint8_t* in)
{
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= uint32_t(in[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

}  // namespace

CamixCamera::CamixCamera(std::string modelName, Sources sources)
    : m_modelName(std::move(modelName)), m_sources(sources)
{
}

CamixCamera::~CamixCamera()
{
    Close();
}

void CamixCamera::Simulate(const char* kind, int width, int height)
{
    std::lock_guard lock(g_simulatedLock);
    g_simulatedSet = true;
    g_simulatedKind = kind ? kind : "";
    g_simulatedSize = CamixSize{width, height};
}

void CamixCamera::SetStartTimeout(int milliseconds)
{
    g_startTimeoutMs = std::max(1, milliseconds);
}

bool CamixCamera::Open()
{
    Close();
    m_simulatedKind.clear();
    if (!GstReady()) {
        MessageBox(CamixText(camix_text::IDS_NO_DIRECTSHOW));
        return false;
    }

    // Real cameras by their display name (exact and case-sensitive), or any camera for a module that takes a
    // generic one; the simulated camera only where a test asks for it, or in its own module.
    std::vector<GstDevice*> devices;
    if (m_sources != Sources::SimulatedOnly)
        devices = VideoSources();
    for (GstDevice* device : devices) {
        if (!m_device && DisplayName(device) == m_modelName)
            m_device = GST_DEVICE(gst_object_ref(device));
    }
    if (!m_device && m_sources == Sources::ModelOrAny && !devices.empty())
        m_device = GST_DEVICE(gst_object_ref(devices.front()));
    const bool anySource = !devices.empty();
    for (GstDevice* device : devices)
        gst_object_unref(device);
    if (!m_device)
        m_simulatedKind = SimulatedKind(m_simulatedSize, m_sources == Sources::SimulatedOnly);
    if (!anySource && m_simulatedKind.empty())
        MessageBox(CamixText(camix_text::IDS_NO_HARDWARE));
    if (!m_device && m_simulatedKind.empty()) {
        MessageBox(CamixText(camix_text::IDS_NO_DEVICE));
        return false;
    }

    CamixSize stored;
    const bool haveStored = ReadDimension(stored);
    bool started = Build(haveStored ? stored : CamixSize{});
    // A camera that no longer offers the stored size still opens, in its own.
    if (!started && haveStored)
        started = Build(CamixSize{});
    if (!started) {
        Teardown();
        MessageBox(CamixText(camix_text::IDS_CANNOT_PLAY));
        return false;
    }
    WriteDimension(CamixSize{Width(), Height()});
    return true;
}

bool CamixCamera::Rebuild(CamixSize size)
{
    if (!m_device && m_simulatedKind.empty())
        return false;
    if (Build(size))
        return true;
    Teardown();
    MessageBox(CamixText(camix_text::IDS_CANNOT_PLAY));
    return false;
}

GstElement* CamixCamera::CreateSource()
{
    if (m_device)
        return gst_device_create_element(m_device, "CaptureFilter");
    std::string description;
    if (m_simulatedKind == "ball") {
        description = "videotestsrc is-live=true pattern=ball ! videobalance name=colour";
    } else if (m_simulatedKind == "appsrc" || m_simulatedKind == "stall") {
        description = "appsrc name=frames is-live=true format=time do-timestamp=true caps=video/x-raw,format=BGRx,width="
                      + std::to_string(m_simulatedSize.width) + ",height=" + std::to_string(m_simulatedSize.height)
                      + ",framerate=0/1 ! videobalance name=colour";
    } else {
        return nullptr;
    }
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (error)
        g_error_free(error);
    if (bin)
        gst_object_set_name(GST_OBJECT(bin), "CaptureFilter");
    return bin;
}

bool CamixCamera::Build(CamixSize size)
{
    Teardown();
    m_failed = false;

    GstElement* source = CreateSource();
    GstElement* sizeFilter = MakeElement("capsfilter", "size");
    GstElement* convert = MakeElement("videoconvert", "convert");
    GstElement* format = MakeElement("capsfilter", "format");
    GstElement* sink = MakeElement("appsink", "Grabber");
    GstElement* pipeline = gst_pipeline_new("camera");
    if (!source || !sizeFilter || !convert || !format || !sink || !pipeline) {
        for (GstElement* element : {source, sizeFilter, convert, format, sink, pipeline})
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        return false;
    }
    SetCaps(sizeFilter, ValidSize(size) ? ("video/x-raw,width=" + std::to_string(size.width)
                                           + ",height=" + std::to_string(size.height)).c_str()
                                        : "video/x-raw");
    SetCaps(format, "video/x-raw,format=BGRx");
    g_object_set(sink, "sync", FALSE, "drop", TRUE, "max-buffers", 1u, "emit-signals", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = [](GstAppSink* appSink, gpointer self) -> GstFlowReturn {
        return static_cast<GstFlowReturn>(OnNewSample(appSink, self));
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);

    gst_bin_add_many(GST_BIN(pipeline), source, sizeFilter, convert, format, sink, nullptr);
    m_pipeline = pipeline;
    m_source = source;
    m_colour = nullptr;
    if (GST_IS_BIN(source))
        m_colour = gst_bin_get_by_name(GST_BIN(source), "colour");
    else if (GST_IS_COLOR_BALANCE(source))
        m_colour = GST_ELEMENT(gst_object_ref(source));
    if (!gst_element_link_many(source, sizeFilter, convert, format, sink, nullptr))
        return false;

    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
    gst_bus_set_sync_handler(bus, [](GstBus* b, GstMessage* m, gpointer self) -> GstBusSyncReply {
        return static_cast<GstBusSyncReply>(OnBusSync(b, m, self));
    }, this, nullptr);
    gst_object_unref(bus);

    uint64_t framesBefore = 0;
    {
        std::lock_guard lock(m_formatLock);
        m_formatKnown = false;
        m_width = m_height = m_depth = -1;
        framesBefore = m_framesTaken;
    }
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return false;
    // The simulated camera, like a real one, delivers a first (black) frame as soon as it runs.
    if (m_simulatedKind == "appsrc") {
        const size_t bytes = size_t(m_simulatedSize.width) * size_t(m_simulatedSize.height) * 4;
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
        gst_buffer_memset(buffer, 0, 0, bytes);
        if (GstElement* frames = gst_bin_get_by_name(GST_BIN(source), "frames")) {
            gst_app_src_push_buffer(GST_APP_SRC(frames), buffer);
            gst_object_unref(frames);
        } else {
            gst_buffer_unref(buffer);
        }
    }

    std::unique_lock lock(m_formatLock);
    const bool started = m_formatSignal.wait_for(lock, std::chrono::milliseconds(g_startTimeoutMs.load()),
                                                 [&] { return m_framesTaken > framesBefore || m_failed; });
    // The first frame is in the buffer before the open returns, so no frame of this open arrives after a later one.
    return started && m_formatKnown && !m_failed;
}

void CamixCamera::Teardown()
{
    // The stream stops before the buffer goes: no frame callback runs once the pipeline is down.
    if (m_pipeline) {
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_pipeline));
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
    }
    if (m_colour)
        gst_object_unref(m_colour);
    if (m_pipeline)
        gst_object_unref(m_pipeline);
    m_pipeline = m_source = m_colour = nullptr;
    m_frames.Close();
    std::lock_guard lock(m_formatLock);
    m_formatKnown = false;
    m_width = m_height = m_depth = -1;
    m_formatSignal.notify_all();
}

void CamixCamera::Close()
{
    Teardown();
    if (m_device)
        gst_object_unref(m_device);
    m_device = nullptr;
}

int CamixCamera::Width() const
{
    std::lock_guard lock(m_formatLock);
    return m_width;
}

int CamixCamera::Height() const
{
    std::lock_guard lock(m_formatLock);
    return m_height;
}

int CamixCamera::Depth() const
{
    std::lock_guard lock(m_formatLock);
    return m_depth;
}

int CamixCamera::OnNewSample(GstAppSink* sink, void* self)
{
    static_cast<CamixCamera*>(self)->OnSample(sink);
    return GST_FLOW_OK;
}

void CamixCamera::OnSample(GstAppSink* sink)
{
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return;
    {
        std::lock_guard lock(m_formatLock);
        if (!m_formatKnown) {
            int width = 0, height = 0;
            const GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
            if (s && gst_structure_get_int(s, "width", &width) && gst_structure_get_int(s, "height", &height)
                && m_frames.Open(width, height, kDepth, /*bottomUp=*/true)) {
                m_width = width;
                m_height = height;
                m_depth = kDepth;
                m_formatKnown = true;
                m_formatSignal.notify_all();
            }
        }
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        // A frame of another length than the connected format's never reaches the buffer.
        const bool taken = m_frames.Deliver(map.data, map.size);
        gst_buffer_unmap(buffer, &map);
        if (taken) {
            std::lock_guard lock(m_formatLock);
            ++m_framesTaken;
            m_formatSignal.notify_all();
        }
    }
    gst_sample_unref(sample);
}

int CamixCamera::OnBusSync(GstBus*, GstMessage* message, void* self)
{
    static_cast<CamixCamera*>(self)->OnBusMessage(message);
    return GST_BUS_DROP;
}

void CamixCamera::OnBusMessage(GstMessage* message)
{
    // Runs on whatever thread posts: only note the failure and wake the waiters; the host's next call tears down.
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ERROR)
        return;
    m_failed = true;
    m_frames.Close();
    std::lock_guard lock(m_formatLock);
    // Nothing runs any more: the sizes say so, as after a failed open, so the host stops asking for frames.
    m_formatKnown = false;
    m_width = m_height = m_depth = -1;
    m_formatSignal.notify_all();
}

std::vector<CamixSize> CamixCamera::OfferedSizes() const
{
    std::vector<CamixSize> sizes;
    if (!m_source)
        return sizes;
    GstPad* pad = gst_element_get_static_pad(m_source, "src");
    if (!pad)
        return sizes;
    GstCaps* caps = gst_pad_query_caps(pad, nullptr);
    gst_object_unref(pad);
    static constexpr CamixSize kCommon[] = {{320, 240}, {640, 480}, {800, 600}, {1024, 768}, {1280, 720},
                                            {1280, 960}, {1600, 1200}, {1920, 1080}, {2592, 1944}};
    for (guint i = 0; caps && i < gst_caps_get_size(caps); ++i) {
        const GstStructure* s = gst_caps_get_structure(caps, i);
        if (!gst_structure_has_name(s, "video/x-raw"))
            continue;
        int width = 0, height = 0;
        if (gst_structure_get_int(s, "width", &width) && gst_structure_get_int(s, "height", &height)) {
            sizes.push_back({width, height});
            continue;
        }
        const GValue* w = gst_structure_get_value(s, "width");
        const GValue* h = gst_structure_get_value(s, "height");
        if (w && h && GST_VALUE_HOLDS_INT_RANGE(w) && GST_VALUE_HOLDS_INT_RANGE(h)) {
            for (const CamixSize size : kCommon) {
                if (size.width >= gst_value_get_int_range_min(w) && size.width <= gst_value_get_int_range_max(w)
                    && size.height >= gst_value_get_int_range_min(h) && size.height <= gst_value_get_int_range_max(h))
                    sizes.push_back(size);
            }
        }
    }
    if (caps)
        gst_caps_unref(caps);
    std::vector<CamixSize> unique;
    for (const CamixSize size : sizes)
        if (std::find(unique.begin(), unique.end(), size) == unique.end())
            unique.push_back(size);
    return unique;
}

std::vector<CamixColourControl> CamixCamera::ColourControls() const
{
    std::vector<CamixColourControl> controls;
    if (!m_colour || !GST_IS_COLOR_BALANCE(m_colour))
        return controls;
    GstColorBalance* balance = GST_COLOR_BALANCE(m_colour);
    for (const GList* item = gst_color_balance_list_channels(balance); item; item = item->next) {
        GstColorBalanceChannel* channel = GST_COLOR_BALANCE_CHANNEL(item->data);
        controls.push_back({channel->label ? channel->label : "", channel->min_value, channel->max_value,
                            gst_color_balance_get_value(balance, channel)});
    }
    return controls;
}

bool CamixCamera::SetColourControl(const std::string& label, int value)
{
    if (!m_colour || !GST_IS_COLOR_BALANCE(m_colour))
        return false;
    GstColorBalance* balance = GST_COLOR_BALANCE(m_colour);
    for (const GList* item = gst_color_balance_list_channels(balance); item; item = item->next) {
        GstColorBalanceChannel* channel = GST_COLOR_BALANCE_CHANNEL(item->data);
        if (channel->label && label == channel->label) {
            gst_color_balance_set_value(balance, channel, std::clamp(value, channel->min_value, channel->max_value));
            return true;
        }
    }
    return false;
}

bool CamixCamera::ReadDimension(CamixSize& size) const
{
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, (kRegistryRoot + m_modelName).c_str(), KEY_READ) != ERROR_SUCCESS)
        return false;
    std::vector<BYTE> bytes;
    if (key.QueryBinaryValue(kDimensionValue, bytes) != ERROR_SUCCESS || bytes.size() != 8)
        return false;
    const CamixSize stored{GetInt32(bytes.data()), GetInt32(bytes.data() + 4)};
    if (!ValidSize(stored))
        return false;
    size = stored;
    return true;
}

void CamixCamera::WriteDimension(CamixSize size) const
{
    if (!ValidSize(size))
        return;
    CRegKey key;
    if (key.Create(HKEY_CURRENT_USER, (kRegistryRoot + m_modelName).c_str()) != ERROR_SUCCESS)
        return;
    uint8_t bytes[8];
    PutInt32(bytes, size.width);
    PutInt32(bytes + 4, size.height);
    key.SetBinaryValue(kDimensionValue, bytes, sizeof bytes);
    key.Flush();
}

int CamixCamera::PushSimulatedFrame(const uint8_t* data, size_t bytes)
{
    if (!m_pipeline || m_simulatedKind != "appsrc" || !data)
        return 0;
    GstElement* frames = gst_bin_get_by_name(GST_BIN(m_source), "frames");
    if (!frames)
        return 0;
    uint64_t before = 0;
    {
        std::lock_guard lock(m_formatLock);
        before = m_framesTaken;
    }
    GstBuffer* buffer = gst_buffer_new_memdup(data, bytes);
    const GstFlowReturn pushed = gst_app_src_push_buffer(GST_APP_SRC(frames), buffer);
    gst_object_unref(frames);
    if (pushed != GST_FLOW_OK)
        return 0;
    // Bounded for a frame that never comes, generous for a busy machine: it returns as soon as the frame is taken.
    std::unique_lock lock(m_formatLock);
    return m_formatSignal.wait_for(lock, std::chrono::seconds(10),
                                   [&] { return m_framesTaken > before || m_failed; }) && !m_failed ? 1 : 0;
}

void CamixCamera::UnplugSimulated()
{
    if (!m_source)
        return;
    GstElement* frames = gst_bin_get_by_name(GST_BIN(m_source), "frames");
    if (!frames)
        return;
    GError* error = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ, "the camera was unplugged");
    gst_element_post_message(frames, gst_message_new_error(GST_OBJECT(frames), error, "simulated unplug"));
    g_error_free(error);
    gst_object_unref(frames);
}
