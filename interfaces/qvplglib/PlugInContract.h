// The frozen contract between the host and every plug-in module: the C exports a module offers, their exact
// signatures, and the version a module was built against. Host and module both include this file, so the function
// pointer types the host looks up and the functions a module defines cannot drift apart: a module that defines an
// export with another signature fails to compile against the declarations below.
//
// A menu plug-in (loaded from components/Plug-Ins/ and shown in the plug-in menu) defines:
//   VISTREL_PLUGIN_CONTRACT()                   once, in one source file (defines PlgContractVersion)
//   PLG_EXPORT CPlgApplication* PlgConnect()    registers its entries with AddPlgInfo, returns its application
// and optionally the named services the program calls by name:
//   PLG_EXPORT void PROGZUB_PARAMETER_SET(const char* mode)
//   PLG_EXPORT int ResizeImage(CQvImage* src, CQvImage* dst)
//   PLG_EXPORT void Median(CQvImage* frames, int count, CQvImage* result)
// An extension module (registered with command ids of its own) defines ExtPlgConnect instead of PlgConnect.
//
// Rules every module keeps:
// - Exports are extern "C" with default visibility; everything else stays hidden (the build compiles modules with
//   -fvisibility=hidden), so two modules' equal names never interpose (they are loaded RTLD_NOW | RTLD_LOCAL).
// - No C++ exception leaves an export or a virtual of CPlgApplication / CPlgView: the host catches what escapes
//   PlgConnect and skips the module, but it cannot catch a crash (a signal) inside a module's code.
// - The module's global application object is constructed when the library is loaded; g++ may mark symbols
//   STB_GNU_UNIQUE, which makes dlclose keep the library, so ExitPlgApp and the destructor may run only at exit.
// - Modules and program are built by this tree with one compiler and one standard library: CPlgApplication,
//   CPlgView, CQvImage and std::string cross the boundary as C++ objects. Median's frames are an array of CQvImage
//   objects by value, so sizeof(CQvImage) must be the same on both sides: it is, because both link libQvImage.so.
#pragma once

class CPlgApplication;
class CQvImage;

// Raised whenever a signature below, a virtual of CPlgApplication / CPlgView or a record the host shares changes.
#define VISTREL_PLG_CONTRACT_VERSION 2

#define PLG_EXPORT extern "C" __attribute__((visibility("default")))

// The exports' names as the host looks them up.
constexpr const char kPlgConnectName[] = "PlgConnect";
constexpr const char kExtPlgConnectName[] = "ExtPlgConnect";
constexpr const char kPlgContractVersionName[] = "PlgContractVersion";
constexpr const char kProgzubParameterSetName[] = "PROGZUB_PARAMETER_SET";
constexpr const char kResizeImageName[] = "ResizeImage";
constexpr const char kMedianName[] = "Median";

extern "C" {
// The contract version the module was built with; the host refuses a module without it or with another one.
using PFN_PlgContractVersion = int (*)();
// Registers the module's menu entries (AddPlgInfo, in index order) and returns the module's application object,
// which the host never deletes. Null: the module offers nothing.
using PFN_PlgConnect = CPlgApplication* (*)();
// The same for an extension module.
using PFN_ExtPlgConnect = CPlgApplication* (*)();
// Hands the module a mode for the next view it creates (e.g. "AutoLevel"); the text is copied.
using PFN_PROGZUB_PARAMETER_SET = void (*)(const char* mode);
// Resizes `src` into `dst`, which the caller created at the target size with src's type; cubic interpolation.
// Returns 1.
using PFN_ResizeImage = int (*)(CQvImage* src, CQvImage* dst);
// Per pixel, the median of `count` consecutive frames of equal type and size into `result`, created by the caller
// with their type and size.
using PFN_Median = void (*)(CQvImage* frames, int count, CQvImage* result);
}

// Declarations a defining module is checked against (the host never calls these names directly).
PLG_EXPORT int PlgContractVersion();
PLG_EXPORT CPlgApplication* PlgConnect();
PLG_EXPORT CPlgApplication* ExtPlgConnect();
PLG_EXPORT void PROGZUB_PARAMETER_SET(const char* mode);
PLG_EXPORT int ResizeImage(CQvImage* src, CQvImage* dst);
PLG_EXPORT void Median(CQvImage* frames, int count, CQvImage* result);

// Defines the version export; write it once in one source file of every module.
#define VISTREL_PLUGIN_CONTRACT() \
    PLG_EXPORT int PlgContractVersion() { return VISTREL_PLG_CONTRACT_VERSION; }
