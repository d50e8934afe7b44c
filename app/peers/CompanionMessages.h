// The names, codes and identities by which the program and its companion programs (the image database, the
// automatic-measurement application, a further companion application, the pore scanner, the video recorder, the
// image-tiling tool, and programs that hand over a bitmap or a calibration) find and message each other on the
// peer bus. Messages travel by name; copy-data blocks by number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace companion {

// Registered messages, in the order the program registers them.
inline constexpr char kTlvCommand[] = "TLV COM - NEW";
inline constexpr char kNewDocFromFile[] = "QRX New Doc";
inline constexpr char kVideoRecorderFinished[] = "Video Recorder Finished";
inline constexpr char kExternalCapture[] = "External Capture";
inline constexpr char kToImageDatabase[] = "VQtoPVT_MSG";
inline constexpr char kToAutoMeasure[] = "VQtoMQ_MSG";
inline constexpr char kFromImageDatabase[] = "PVTtoVQ_MSG";
inline constexpr char kFromAutoMeasure[] = "MQtoVQ_MSG";
inline constexpr char kFromFurtherApplication[] = "JVtoVQ_MSG";
inline constexpr char kAliveRequest[] = "VQ_ALIVE_REQUEST_MSG";
inline constexpr char kAliveResponse[] = "VQ_ALIVE_RESPONSE_MSG";

// The pore scanner's messages.
inline constexpr char kPoreScanShowWindow[] = "PZ PoreScan ShowWindow";
inline constexpr char kPoreScanOpen[] = "PZ PoreScan Open";
inline constexpr char kPoreScanCalibration[] = "PZ PoreScan Calibration";

// Commands of "TLV COM - NEW" (wParam).
inline constexpr int64_t kTlvOpenWithCalibration = 0;
inline constexpr int64_t kTlvQuit = 1;
inline constexpr int64_t kTlvShowWindow = 2;

// Copy-data codes.
inline constexpr uint32_t kCopyTilingClosing = 9000;    // out: the program closes
inline constexpr uint32_t kCopyPackedDib = 9001;        // in: a packed DIB, a new "Tiling Image" document
inline constexpr uint32_t kCopyTilingHello = 9004;      // out: the program found or started the tiling tool
inline constexpr uint32_t kCopyImagePath = 9006;        // in: open an image path; out: a captured bitmap's path
inline constexpr uint32_t kCopyPathIgnored = 9007;      // in: accepted, no effect
inline constexpr uint32_t kCopyImagePathAgain = 9009;   // in: as 9006

// Sizes of the copy-data blocks the tiling tool expects.
inline constexpr size_t kTilingHelloBuffer = 12;  // zeroed, "%ld" at its start
inline constexpr size_t kTilingHelloBytes = 10;   // what is sent of it
inline constexpr size_t kPathBlockBytes = 260;    // a path of at most 259 bytes and its terminator

// Named shared memory.
inline constexpr char kTlvUnitsPerPixelMapping[] = "TLV UPP";
inline constexpr char kTlvImagePathMapping[] = "TLV Image Path";
inline constexpr size_t kTlvUnitsPerPixelView = 128;  // the double is the first 8 bytes
inline constexpr size_t kTlvImagePathView = 4096;
inline constexpr char kPoreScanCalibrationMapping[] = "PZ PoreScan Calibration";
inline constexpr char kPoreScanImageMapping[] = "PZ PoreScan Image";
inline constexpr size_t kPoreScanMappingBytes = 2048;

// Window identities.
inline constexpr char kVideoRecorderTitle[] = "Video Recorder";
inline constexpr char kImageTilingTitle32[] = "Image Tiling (32)";  // string 104
inline constexpr char kImageTilingTitle64[] = "Image Tiling (64)";  // string 105
// The pore scanner's main-window class name: a fixed value shared with that program.
inline constexpr char kPoreScanWindowClass[] = "{3D7A52E4-81C6-4F0B-9E2D-6C15B8F4A903}";

// The file the bitmap-handing companion writes before it sends "QRX New Doc", in CompanionTempFolder().
inline constexpr char kNewDocFileName[] = "newdoc.bmp";
// The tiling tool's program below the program folder's tiling folder (AppFolder::ImageTiling).
inline constexpr char kImageTilingProgram[] = "MosaicJoin64";

// The document title of a bitmap the tiling tool hands over.
inline constexpr char kTilingImageTitle[] = "Tiling Image";

}  // namespace companion
