// The records file an overlay paste reads, as another process may have left it in the user's folder.
#include "FuzzCanvas.h"
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "OverlayUse.h"

#include "CCalibKeeper.h"
#include "CQvGObjectContainer.h"
#include "GObjectClipboard.h"

#include <cstdio>

VISTREL_FUZZ_TARGET(clipboard_file)
{
    EnsureFuzzApplication();
    const int put = PutRecordsOnClipboard([&](FILE* file) {
        return size == 0 || std::fwrite(data, 1, size, file) == size ? 1 : 0;
    });
    if (!put)
        return 0;
    FuzzCanvas canvas(64, 48);
    CCalibKeeper calib;
    CQvGObjectContainer container;
    container.ConnectCalibKeeper(&calib);
    container.SetCanvasWnd(&canvas);
    if (container.PasteFromClipboard())
        UseOverlayAsAUserWould(container);
    return 0;
}
