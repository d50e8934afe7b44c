// Every first-generation driver deliverable on its simulated vendor library, as the tests outside the drivers' own
// reach them: the driver module in the program's acquisition folder, the simulated library beside it (loaded first
// by its path, so the driver's load by the library's name gets that very copy), the name the host offers, the
// format it opens with when nothing is stored, and how to make its device present and free-running.
// The paths come from first_generation_sims() in drivers/CMakeLists.txt.
#pragma once

#include "artray/sim/ArtCamSimControl.h"
#include "common/testing/HostTestVendors.h"
#include "kh1300/sim/ZclSimControl.h"
#include "module/CModule.h"
#include "mtpci/sim/MtpciSimControl.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#if !defined(ACQ_DRIVER_DIR) || !defined(ZCL_SIM_LIBRARY) || !defined(MTPCI_SIM_LIBRARY) || !defined(ARTRAY_SIM_DIR)
#error "first_generation_sims() gives the test the driver folder and the simulated libraries"
#endif

// How often a free-running simulated device finishes a frame.
constexpr int kFreeRunFrameMs = 10;

inline void PrepareKh1300Sim(const std::string& vendor, const std::filesystem::path&)
{
    host_test::VendorCall<ZCLSIM_ResetFunction>(vendor, "ZCLSIM_Reset")();
    host_test::VendorCall<ZCLSIM_SetManualFunction>(vendor, "ZCLSIM_SetManual")(0);
    host_test::VendorCall<ZCLSIM_SetFrameIntervalFunction>(vendor, "ZCLSIM_SetFrameInterval")(kFreeRunFrameMs);
}

// A grey 640 x 480 camera set, chosen in the driver's camera-set list in `settings`.
inline void PrepareMtpciSim(const std::string& vendor, const std::filesystem::path& settings)
{
    host_test::VendorCall<MTSIM_ResetFunction>(vendor, "MTSIM_Reset")();
    host_test::VendorCall<MTSIM_SetManualFunction>(vendor, "MTSIM_SetManual")(0);
    host_test::VendorCall<MTSIM_SetFrameIntervalFunction>(vendor, "MTSIM_SetFrameInterval")(kFreeRunFrameMs);
    const std::filesystem::path cameraSet = settings / "Grey640.ini";
    std::ofstream(cameraSet, std::ios::binary) << "[Camera]\r\nName=Test camera\r\nWidth=640\r\nHeight=480\r\n"
                                                   "BytesPerPixel=1\r\nPlaneType=1\r\nInterlaced=0\r\n";
    std::ofstream(settings / "MTPCI_CameraSet.cfg", std::ios::binary) << cameraSet.string() << "\r\n";
}

inline void PrepareArtraySim(const std::string& vendor, const std::filesystem::path&)
{
    host_test::VendorCall<ARTSIM_ResetFunction>(vendor, "ARTSIM_Reset")();
    host_test::VendorCall<ARTSIM_SetFreeRunFunction>(vendor, "ARTSIM_SetFreeRun")(kFreeRunFrameMs);
}

struct FirstGenerationDeliverable
{
    const char* label;
    const char* module;  // the driver module's file name in the acquisition folder
    const char* vendor;  // its simulated library
    const char* name;    // what the host offers
    int width, height, bitsPerPixel;
    // A present, free-running device, and whatever files its driver opens it with (in `settings`).
    void (*prepare)(const std::string& vendor, const std::filesystem::path& settings);

    std::string DriverPath() const { return std::string(ACQ_DRIVER_DIR) + "/" + module; }
    void Prepare(const std::filesystem::path& settings) const
    {
        host_test::Vendor(vendor);
        prepare(vendor, settings);
    }
};

inline void PrintTo(const FirstGenerationDeliverable& deliverable, std::ostream* out)
{
    *out << deliverable.label;
}

// Without a stored setting each driver opens its largest format.
inline const FirstGenerationDeliverable kFirstGenerationDeliverables[] = {
    {"Kh1300", "grab_kh1300.so", ZCL_SIM_LIBRARY, "KH-1300", 1600, 1200, 24, PrepareKh1300Sim},
    {"Mtpci", "grab_mtpcitl.so", MTPCI_SIM_LIBRARY, "MTPCI-TL", 640, 480, 8, PrepareMtpciSim},
    {"Artray300MI", "grab_artray300mi.so", ARTRAY_SIM_DIR "/ArtCamSdk_300MI.so", "Artray300MI", 2048, 1536, 24,
        PrepareArtraySim},
    {"Artray500PII", "grab_artray500pii.so", ARTRAY_SIM_DIR "/ArtCamSdk_500P2.so", "Artray500PII", 2560, 1920, 24,
        PrepareArtraySim},
    {"Artray150PIII", "grab_artray150piii.so", ARTRAY_SIM_DIR "/ArtCamSdk_150P3.so", "Artray150PIII", 1360, 1024, 24,
        PrepareArtraySim},
    {"Artray", "grab_artray.so", ARTRAY_SIM_DIR "/ArtCamSdk_130MI.so", "Artray", 1280, 1024, 24, PrepareArtraySim},
    {"Artray200SH", "grab_artray200sh.so", ARTRAY_SIM_DIR "/ArtCamSdk_200SH.so", "Artray200SH", 1600, 1200, 24,
        PrepareArtraySim},
};

inline const FirstGenerationDeliverable& FirstGenerationDeliverableNamed(const std::string& label)
{
    for (const FirstGenerationDeliverable& deliverable : kFirstGenerationDeliverables)
        if (label == deliverable.label)
            return deliverable;
    ADD_FAILURE() << "no deliverable " << label;
    return kFirstGenerationDeliverables[0];
}
