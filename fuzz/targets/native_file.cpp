// The document file: image record, preferences and grid, calibration record and overlay stream in one. What
// reads is burnt with its own grid as a save does, written again, and must read back.
#include "FuzzCanvas.h"
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "document/GridBurnIn.h"
#include "document/NativeFile.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "qvimage/CQvImage.h"

VISTREL_FUZZ_TARGET(native_file)
{
    EnsureFuzzApplication();
    // Reading replaces the library-wide defaults; each input starts from the same ones.
    static const CQvGObjectPropertyTotal initialDefaults = g_GOPropertyTotal;
    g_GOPropertyTotal = initialDefaults;

    FuzzCanvas canvas(64, 48);
    CQvImage image;
    CQvGObjectContainer overlay;
    overlay.SetCanvasWnd(&canvas);
    NativeFileRecord record;
    record.image = &image;
    record.overlay = &overlay;
    FuzzInput in(data, size);
    if (ReadNativeFile(in.file(), record) != 1)
        return 0;

    // Only modest images are painted: the grid's mask is as large as the image.
    if (static_cast<int64_t>(image.GetWidth()) * image.GetHeight() <= 1 << 20) {
        GridBurnIn burn;
        burn.Burn(image, record.grid);
        FuzzCheck(burn.Restore(image), "burnt pixels go back");
    }

    FuzzOutput written;
    FuzzCheck(WriteNativeFile(written.file(), record) == 1, "a file that was read can be written");
    const std::vector<uint8_t> bytes = written.Contents();
    CQvImage againImage;
    CQvGObjectContainer againOverlay;
    NativeFileRecord again;
    again.image = &againImage;
    again.overlay = &againOverlay;
    FuzzInput back(bytes.data(), bytes.size());
    FuzzCheck(ReadNativeFile(back.file(), again) == 1, "what the writer wrote reads back");
    FuzzCheck(again.preferences == record.preferences, "the preferences come back");
    return 0;
}
