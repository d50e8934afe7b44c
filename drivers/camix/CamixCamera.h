// The one camera of a Camix driver module: finds the camera by its model name among GStreamer's video sources
// (and the simulated camera, when one is asked for), runs source ! videoconvert ! BGRx ! appsink and keeps the
// newest frame in the frame slot. The camera's rows come top-down while the DIB the host hands in holds them
// bottom-up: the copy into the DIB reads them last row first, so the picture stands upright without a pass of
// its own over every frame.
//
// Threads: Open, Rebuild, Close and the setting calls run on the host's calling thread; frames arrive on
// GStreamer's streaming thread and go only into the frame slot; a source error (an unplugged camera) is noted on
// the thread that reports it and only marks the camera failed. Every wait is bounded.
#pragma once

#include "common/AcqFrameSlot.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
typedef struct _GstAppSink GstAppSink;
typedef struct _GstDevice GstDevice;

struct CamixSize
{
    int width = 0;
    int height = 0;
    bool operator==(const CamixSize&) const = default;
};

// One colour control the camera offers (brightness, contrast, ...).
struct CamixColourControl
{
    std::string label;
    int minimum = 0;
    int maximum = 0;
    int value = 0;
};

class CamixCamera
{
public:
    // Which cameras a module offers. The simulated camera has a module of its own, so it is listed beside the
    // real cameras rather than standing in for one of them.
    enum class Sources
    {
        ModelOnly,       // the real camera of the model's name
        ModelOrAny,      // that camera, or else the first other video source (a generic camera)
        SimulatedOnly,   // the simulated camera the environment or a test asks for
    };
    CamixCamera(std::string modelName, Sources sources);
    ~CamixCamera();

    const std::string& ModelName() const { return m_modelName; }

    // First open: finds the camera (telling the user when it is missing), applies the stored "Dimension", starts
    // it and waits for its first frame. Any earlier pipeline is closed first. False when nothing runs; the sizes
    // are then -1.
    bool Open();
    // Builds the pipeline again on the camera found by the last open, in `size` (0 x 0: the camera's choice).
    bool Rebuild(CamixSize size);
    // Stops the stream, closes the pipeline and drops the frame buffer. Safe while another thread copies.
    void Close();
    // A source error ended the stream (the camera was unplugged); cleared by the next open.
    bool Failed() const { return m_failed; }

    int Width() const;
    int Height() const;
    int Depth() const;

    AcqFrameSlot& Frames() { return m_frames; }

    // The sizes the camera offers, for the format page (empty when nothing runs).
    std::vector<CamixSize> OfferedSizes() const;
    // The camera's colour controls (empty when it offers none) and changing one of them.
    std::vector<CamixColourControl> ColourControls() const;
    bool SetColourControl(const std::string& label, int value);

    // "Dimension" under the model's key: width and height of the last connected format.
    bool ReadDimension(CamixSize& size) const;
    void WriteDimension(CamixSize size) const;

    // Simulated camera and test hooks (CamixTestHooks.h).
    static void Simulate(const char* kind, int width, int height);
    int PushSimulatedFrame(const uint8_t* data, size_t bytes);
    void UnplugSimulated();
    static void SetStartTimeout(int milliseconds);

private:
    bool Build(CamixSize size);
    void Teardown();
    GstElement* CreateSource();
    void OnSample(GstAppSink* sink);
    void OnBusMessage(GstMessage* message);
    static int OnNewSample(GstAppSink* sink, void* self);
    static int OnBusSync(GstBus* bus, GstMessage* message, void* self);

    const std::string m_modelName;
    const Sources m_sources;
    AcqFrameSlot m_frames;

    // The device the last open found: a real camera or the simulated one.
    GstDevice* m_device = nullptr;  // the real camera (a reference), or null
    std::string m_simulatedKind;
    CamixSize m_simulatedSize;

    GstElement* m_pipeline = nullptr;
    GstElement* m_source = nullptr;  // owned by the pipeline
    GstElement* m_colour = nullptr;  // the element offering colour controls, owned by the pipeline (or null)

    mutable std::mutex m_formatLock;  // guards the format and the frame counter
    std::condition_variable m_formatSignal;
    int m_width = -1;
    int m_height = -1;
    int m_depth = -1;
    bool m_formatKnown = false;
    uint64_t m_framesTaken = 0;
    std::atomic<bool> m_failed{false};
};
