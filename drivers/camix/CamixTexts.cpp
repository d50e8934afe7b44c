#include "camix/CamixTexts.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = CAMIX_MODEL_NAME;

const StringTableRegistrar kStrings(kModule, {
    {camix_text::IDS_NO_DIRECTSHOW, "Error: You cannot use DirectShow"},
    {camix_text::IDS_NO_HARDWARE, "Sorry, you have no video capture hardware"},
    {camix_text::IDS_NO_DEVICE, "There is no capture device!"},
    {camix_text::IDS_CANNOT_PLAY, "Error: Unknown error for playing the camera"},
    {camix_text::IDS_SETUP_TITLE, "Device Property"},
    {camix_text::IDS_VIDEO_FORMAT, "Video Format"},
    {camix_text::IDS_COLOUR_CONTROL, "Color Control"},
    {camix_text::IDS_OK, "OK"},
    {camix_text::IDS_CANCEL, "Cancel"},
});

}  // namespace

std::string CamixText(uint32_t id)
{
    return LoadString(kModule, id);
}
