// The driver's texts: its messages and the setup dialog's captions. They live in the string table of a module
// named after the camera model, so two drivers of the family loaded at once never share (and never unload) a
// table. Any thread.
#pragma once

#include <cstdint>
#include <string>

namespace camix_text {
constexpr uint32_t IDS_NO_DIRECTSHOW = 1;
constexpr uint32_t IDS_NO_HARDWARE = 2;
constexpr uint32_t IDS_NO_DEVICE = 3;
constexpr uint32_t IDS_CANNOT_PLAY = 4;
constexpr uint32_t IDS_SETUP_TITLE = 10;
constexpr uint32_t IDS_VIDEO_FORMAT = 11;
constexpr uint32_t IDS_COLOUR_CONTROL = 12;
constexpr uint32_t IDS_OK = 13;
constexpr uint32_t IDS_CANCEL = 14;
}  // namespace camix_text

// The text of `id` in the UI language.
std::string CamixText(uint32_t id);
