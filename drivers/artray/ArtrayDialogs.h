// The driver's two settings dialogs: "Device Property" (the library's own dialogs and the scan option dialog) and
// "Scan option" (the resolution row, set up at once when a row is clicked). Modal through the platform's modal
// hook; UI thread only. The widgets have object names a test drives them by: "ok", "cancel", "videoFormat",
// "colorControl", "analog", "scanOption"; in the scan option dialog "row<button id>" and "start<button id>".
#pragma once

#include <string>

class ArtrayCamera;
struct ArtrayModel;

void RunArtrayDevicePropertyDialog(ArtrayCamera& camera);
void RunArtrayScanOptionDialog(ArtrayCamera& camera);

// The texts of a row of the scan option dialog: "1600 x 1200" and its crop's start "[ 224 , 168 ]".
std::string ArtrayRowSizeText(const ArtrayModel& model, int row);
std::string ArtrayRowStartText(const ArtrayModel& model, int row);
