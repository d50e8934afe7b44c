// A file of a folder shown in the thumbnail strip: whatever it holds, the loader gives no picture or one that fits
// the tile.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "thumbstrip/ThumbnailLoader.h"

VISTREL_FUZZ_TARGET(thumbnail)
{
    EnsureFuzzApplication();
    const std::string path = FuzzScratchFolder() + "/thumbnail-file";
    if (!WriteFuzzFile(path, data, size))
        return 0;
    const QSize box(96, 72);
    const QImage thumbnail = LoadThumbnail(QString::fromStdString(path), box);
    FuzzCheck(thumbnail.isNull() || (thumbnail.width() <= box.width() && thumbnail.height() <= box.height()),
              "a thumbnail fits its tile");
    return 0;
}
