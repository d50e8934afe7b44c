// An image file opened by the user (BMP, PNG, JPEG, TIFF, told by its content).
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "qvcodec/CQvImageCodec.h"

VISTREL_FUZZ_TARGET(codec)
{
    EnsureFuzzApplication();
    static CQvImageCodec codec;
    static const int installed = codec.Install("");
    if (installed == 0)
        return 0;
    const std::string path = FuzzScratchFolder() + "/image";
    if (!WriteFuzzFile(path, data, size))
        return 0;
    CQvImage image;
    if (codec.Read(path.c_str(), &image, nullptr, 0, -1, -1) == 1)
        FuzzCheck(image.GetWidth() > 0 && image.GetHeight() > 0, "an image that was read has pixels");
    else
        FuzzCheck(codec.WhyReadFails(path.c_str(), nullptr, 0) != QvCodecReadFailure::None,
                  "a file that does not read gets a reason");
    return 0;
}
