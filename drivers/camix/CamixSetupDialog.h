// The set-up dialog of the camera drivers ("Device Property"): the model's name, a format page (the frame sizes the
// camera offers) and a colour page (the colour controls it offers). OK keeps what the pages changed; leaving it any
// other way restarts the camera in the format and colour it had when the dialog opened. Runs through RunModal on
// the host's UI thread.
#pragma once

#include <functional>

class CamixCamera;

// `formatChanged` is called after the camera restarted in another size (the host re-reads the size).
void RunCamixSetupDialog(CamixCamera& camera, const std::function<void()>& formatChanged);
