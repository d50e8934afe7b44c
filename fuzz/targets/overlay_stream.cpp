// The overlay stream of a document file.
#include "FuzzCanvas.h"
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "OverlayUse.h"

#include "CCalibKeeper.h"
#include "CQvGObjectContainer.h"
#include "CQvGObjectPropertyTotal.h"

VISTREL_FUZZ_TARGET(overlay_stream)
{
    EnsureFuzzApplication();
    // Reading replaces the library-wide defaults; each input starts from the same ones.
    static const CQvGObjectPropertyTotal initialDefaults = g_GOPropertyTotal;
    g_GOPropertyTotal = initialDefaults;

    FuzzCanvas canvas(64, 48);
    CCalibKeeper calib;
    CQvGObjectContainer container;
    container.ConnectCalibKeeper(&calib);
    container.SetCanvasWnd(&canvas);
    FuzzInput in(data, size);
    if (container.Read(in.file()) == 1)
        UseOverlayAsAUserWould(container);
    return 0;
}
