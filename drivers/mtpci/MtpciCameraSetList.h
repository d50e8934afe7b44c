// "MTPCI_CameraSet.cfg": one line, the full path of the camera-set file the board was last set up from.
#pragma once

#include <string>

// The path the file's bytes name: the first line without its line end ("\n" or "\r\n") and at most
// kMtpciMaxCameraSetPath bytes of it (a longer line names no file).
constexpr size_t kMtpciMaxCameraSetPath = 4096;
std::string MtpciCameraSetPathOf(const std::string& bytes);

// Reads the list file: false when it cannot be opened.
bool MtpciReadCameraSetList(const std::string& listFile, std::string& cameraSet);
// Writes `cameraSet` as the list file's only line (through a temporary file and a rename).
bool MtpciWriteCameraSetList(const std::string& listFile, const std::string& cameraSet);
