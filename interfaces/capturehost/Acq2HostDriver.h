// The host's side of one second-generation driver (AcqDriver2.h): opens it with the settings the user kept, edits
// and keeps them, and turns the frames it writes into DataKeeper's image into the host's packed DIBs.
//
// Contract:
// - Threads: Open, Close, EditProperties and Apply run on the UI thread; Size and Acquire may run on the live
//   thread meanwhile. The host lock handed to the driver is held around reading the size, reshaping the image and
//   ACQ_Acquire; the driver holds it while the size changes and calls the notification inside it, and the
//   notification takes it again (it is recursive) to reshape the image at once.
// - Settings: the property last applied is kept in an archive file per driver module (<module name>.acqprop, in
//   Acq2PropertyFolder()), read when the device opens and written whenever the user applies new settings. A file
//   that cannot be read, or whose settings the driver refuses, is left in place and the defaults are used, with
//   a message.
// - Frames: the DIB is 24 bits, rows top-down (negative biHeight), the image's rows copied as they are; a DIB of
//   another size than the device's is refused (ACQ_FAIL), never overrun.
// - One driver of this generation is open at a time (its callback takes no argument).
// - The first generation's header declares some export names with other types, so this header includes neither.
#pragma once

#include "types/WinRecords.h"

#include <cstdint>
#include <memory>
#include <string>

class CAcqPropertyBase;
class CModule;
class QWidget;
struct AcqDriver2Exports;

// The folder of the drivers' settings: $VISTREL_DRIVER_SETTINGS when set, else the user's
// $XDG_CONFIG_HOME/Vistrel/Acquisition (~/.config when unset).
std::string Acq2PropertyFolder();

// Frees a property through the driver that made it.
struct Acq2PropertyDeleter
{
    int (*remove)(CAcqPropertyBase*) = nullptr;
    void operator()(CAcqPropertyBase* property) const;
};

class Acq2HostDriver
{
public:
    struct Size
    {
        int width = 0;
        int height = 0;  // rows, top-down
        int bitsPerPixel = 0;
    };
    using Property = std::unique_ptr<CAcqPropertyBase, Acq2PropertyDeleter>;

    // The driver of `module` (whose file is `file`), or null when it lacks the exports this generation needs.
    static std::unique_ptr<Acq2HostDriver> Make(const CModule& module, const std::string& file);
    ~Acq2HostDriver();
    Acq2HostDriver(const Acq2HostDriver&) = delete;
    Acq2HostDriver& operator=(const Acq2HostDriver&) = delete;

    // The device's name as its default property gives it ("" when it gives none).
    std::string DeviceName() const;
    // Starts the device, then applies the kept settings (or the defaults). `notify` is called inside the driver's
    // notification, after the image was reshaped. False when the device did not start (the driver told why).
    bool Open(void* owner, void (*notify)());
    void Close();
    bool IsOpen() const { return m_open; }

    Size ReadSize() const;
    // ACQ_Acquire into the image, then into `dib` (a header of ReadSize's shape, negative height): ACQ_OK,
    // ACQ_NO_NEW_FRAME, or ACQ_FAIL for a closed driver or a DIB of another shape.
    int Acquire(BITMAPINFOHEADER* dib);
    int Mode() const;

    // The settings applied now (a copy the caller owns), or null when closed.
    Property CurrentProperty() const;
    // A property holding the device's defaults.
    Property DefaultProperty() const;
    // Applies `property` and, when the driver accepts it, keeps it as the current one and writes it to the archive
    // file. False when the driver refused it (nothing changed) or the file could not be written (said so).
    bool Apply(const CAcqPropertyBase& property);
    // The settings dialog ("Acq2PropertyDialog"), run through RunModal; 1 when new settings were applied.
    int EditProperties(QWidget* parent);

    const std::string& ArchivePath() const { return m_archivePath; }

private:
    Acq2HostDriver() = default;
    Property NewProperty() const;
    // The archived settings over the defaults, or null (with `why`) when there are none or they cannot be read.
    Property LoadArchived(std::string& why) const;
    bool SaveArchive(CAcqPropertyBase& property, std::string& why) const;
    void Reshape();
    static void NotifyTrampoline();

    // The exports, the host lock the driver takes from inside its own calls, and the image it fills (under that
    // lock).
    struct State;
    std::unique_ptr<State> m_state;
    std::string m_archivePath;
    Property m_current;
    void (*m_notify)() = nullptr;
    bool m_open = false;
};
