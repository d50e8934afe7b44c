// The KH-1300's resolution dialog ("Property"): one radio button per resolution, a click changes the camera's
// resolution at once; Cancel changes it back to the one the dialog opened with.
#pragma once

class Kh1300Camera;

// Runs the dialog modally (through the modal hook). UI thread.
void RunKh1300PropertyDialog(Kh1300Camera& camera);
