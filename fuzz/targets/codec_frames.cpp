// An image file opened by the user, past the first image at its own size: the input's first byte chooses the page
// and the size to read at (CodecFrameSelector.h), the rest is the file. An image that reads has the size asked for.
#include "CodecFrameSelector.h"
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "qvcodec/CQvImageCodec.h"

VISTREL_FUZZ_TARGET(codec_frames)
{
    if (size < 1)
        return 0;
    EnsureFuzzApplication();
    static CQvImageCodec codec;
    static const int installed = codec.Install("");
    if (installed == 0)
        return 0;
    const CodecFrameSelector selector = CodecFrameSelector::From(data[0]);
    const std::string path = FuzzScratchFolder() + "/frame-image";
    if (!WriteFuzzFile(path, data + 1, size - 1))
        return 0;
    const CodecFrameSelector::Size wanted = selector.Wanted();
    CQvImage image;
    QvCodecReadNote note;
    if (codec.Read(path.c_str(), &image, nullptr, selector.frame, wanted.width, wanted.height, &note) != 1)
        return 0;
    FuzzCheck(image.GetWidth() > 0 && image.GetHeight() > 0, "an image that was read has pixels");
    if (wanted.width > 0)
        FuzzCheck(image.GetWidth() == wanted.width && image.GetHeight() == wanted.height,
                  "an image read at a size has that size");
    FuzzCheck(note.fileBits == 16 || !note.reduced, "only 16-bit samples are reduced");
    return 0;
}
