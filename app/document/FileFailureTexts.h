// The texts that tell the user why a file did not open or could not be saved: message 767 with the file and the
// reason below it, and the reason a save failed, each reason an id of the text service. UI thread.
#pragma once

#include "qvcodec/CQvImageCodec.h"
#include "types/WinTypes.h"

#include <string>

namespace filetext {
constexpr UINT IDS_OPEN_NOT_FOUND = 4160;
constexpr UINT IDS_OPEN_NO_ACCESS = 4161;
constexpr UINT IDS_OPEN_NOT_A_PICTURE = 4162;
constexpr UINT IDS_OPEN_DAMAGED = 4163;
constexpr UINT IDS_OPEN_TOO_LARGE = 4164;
constexpr UINT IDS_SAVE_DISK_FULL = 4165;
constexpr UINT IDS_SAVE_READ_ONLY_DISK = 4166;
constexpr UINT IDS_SAVE_NO_PERMISSION = 4167;
constexpr UINT IDS_SAVE_NO_FOLDER = 4168;
constexpr UINT IDS_SAVE_FILE_TOO_LARGE = 4169;
constexpr UINT IDS_SAVE_NAME_TOO_LONG = 4170;
constexpr UINT IDS_SAVE_UNKNOWN_FORMAT = 4171;
constexpr UINT IDS_OPEN_NOT_A_DOCUMENT = 4175;
}  // namespace filetext

// One of the texts above in the UI language.
std::string FileFailureText(UINT id);

// Message 767, then below it the file and the reason (no reason line for QvCodecReadFailure::None), so that a user
// who opened several files knows which one failed and why.
std::string CannotOpenMessage(const std::string& path, QvCodecReadFailure reason);
// The same with a reason text of its own ("" for none).
std::string CannotOpenMessage(const std::string& path, const std::string& reason);

// The reason a system error code (errno) gives for a failed write; "" for a code none of the reasons names.
std::string WriteFailureReason(int error);
// Why a save to `path` failed with errno `error`: the code's reason, else what the file's folder shows (missing,
// read-only, no space left); "" when neither tells.
std::string SaveFailureReason(const std::string& path, int error);
